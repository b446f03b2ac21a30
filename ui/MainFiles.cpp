#include "ui/Application.h"
#include "ui/GridView.h"
#include "ui/Main.h"
#include "ui/Memo.h"
#include "ui/NotesText.h"
#include "ui/UserDialogs.h"

#include "model/PatternFile.h"

#include <QFile>
#include <QScrollBar>
#include <optional>

namespace {

FileDialogRequest patternFileRequest(const QString &title, const QString &lastChosen)
{
    return { title, QStringLiteral("Файл рисунка (*.plw)"), QStringLiteral("plw"), lastChosen };
}

std::string onDisk(const QString &fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

QString notesFileName(const QString &patternFileName)
{
    return QFile::decodeName(model::NotesFileName(onDisk(patternFileName)).c_str());
}

QString cannotReadText(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(fileName, reason);
}

QString loadFailureText(const QString &fileName, const model::PatternFileFailure &failure)
{
    using Kind = model::PatternFileFailure::Kind;
    switch (failure.kind) {
    case Kind::TooLarge:
        return QStringLiteral("Рисунок в файле «%1» слишком велик: %2 × %3")
            .arg(fileName)
            .arg(failure.stitchCount)
            .arg(failure.rowCount);
    case Kind::CannotRead:
        return cannotReadText(fileName, QString::fromLocal8Bit(failure.reason.c_str()));
    case Kind::Damaged:
    case Kind::CannotWrite:
        break;
    }
    return QStringLiteral("Файл «%1» повреждён или не является файлом рисунка").arg(fileName);
}

// The notes beside a pattern file: nothing when there is no notes file, an
// error text when there is one that cannot be read.
struct NotesRead {
    std::optional<QString> text;
    QString error;
};

NotesRead readNotesFile(const QString &patternFileName)
{
    const QString name = notesFileName(patternFileName);
    NotesRead result;
    if (!QFile::exists(name))
        return result;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = cannotReadText(name, file.errorString());
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = cannotReadText(name, file.errorString());
        return result;
    }
    result.text = DecodeNotes(bytes);
    return result;
}

} // namespace

void TMainForm::MenuOpenClick()
{
    const QString fileName
        = m_dialogs.openFileName(this, patternFileRequest(QStringLiteral("Открытие рисунка..."), OpenDialogFileName));
    if (fileName.isEmpty())
        return;
    OpenDialogFileName = fileName;

    // Read and check everything before the open pattern is put at risk; the
    // save below may even overwrite the very file chosen.
    model::PatternFileResult loaded = model::LoadPatternFile(onDisk(fileName));
    if (!loaded.ok) {
        ShowErrorReport(m_dialogs, loadFailureText(fileName, loaded.failure));
        return;
    }
    const NotesRead notes = readNotesFile(fileName);

    if (Pattern.exists()) {
        if (!AskToSaveBeforeLeaving(QString(), int(UserDialogs::Icon::Warning)))
            return;
        model::Discard(Pattern);
    }

    Pattern = std::move(loaded.loaded.pattern);
    setPalette(loaded.loaded.palette);
    EnablePalette(true);
    PrepareEditor();
    MainScrollBox->horizontalScrollBar()->setSingleStep(CellPitch - 1);
    MainScrollBox->verticalScrollBar()->setSingleStep(CellPitch - 1);
    // Row 1 is at the bottom of the pattern.
    MainScrollBox->verticalScrollBar()->setValue(MainScrollBox->verticalScrollBar()->maximum());

    if (notes.text)
        MemoForm->setNotesText(*notes.text);
    else if (!notes.error.isEmpty())
        ShowErrorReport(m_dialogs, notes.error);
}

bool TMainForm::MenuSaveClick()
{
    if (!Pattern.exists())
        return false;
    const QString fileName
        = m_dialogs.saveFileName(this, patternFileRequest(QStringLiteral("Сохранение рисунка..."), SaveDialogFileName));
    if (fileName.isEmpty())
        return false;
    SaveDialogFileName = fileName;

    const QByteArray notes = EncodeNotes(MemoForm ? MemoForm->notesText() : QString());
    const model::SaveResult saved = model::SavePatternFile(
        onDisk(fileName), Pattern, palette(), std::string(notes.constData(), std::size_t(notes.size())));
    if (!saved.ok) {
        const QString failedName = saved.failure.fileName == onDisk(fileName) ? fileName : notesFileName(fileName);
        QString reason = QString::fromLocal8Bit(saved.failure.reason.c_str());
        if (saved.failure.notesReplaced)
            reason += QStringLiteral("; файл текста «%1» уже заменён новым").arg(notesFileName(fileName));
        ShowErrorReport(m_dialogs, QStringLiteral("Не удалось сохранить файл «%1»: %2").arg(failedName, reason));
        return false;
    }
    ClearModified();
    m_dialogs.message(
        this, QString(), QStringLiteral("Рисунок успешно сохранен"), QMessageBox::Ok, UserDialogs::Icon::Information);
    return true;
}
