#include "ui/Application.h"
#include "ui/GridView.h"
#include "ui/Main.h"
#include "ui/Memo.h"
#include "ui/NotesText.h"
#include "ui/SystemError.h"
#include "ui/UserDialogs.h"

#include "model/PatternFile.h"

#include <QFile>
#include <QScrollBar>

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

QString cannotReadText(const QString &fileName, int error)
{
    return QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(fileName, SystemErrorText(error));
}

QString tooLargeText(const QString &fileName)
{
    return QStringLiteral("Файл «%1» слишком велик").arg(fileName);
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
        return cannotReadText(fileName, failure.error);
    case Kind::Damaged:
    case Kind::CannotWrite:
        break;
    }
    return QStringLiteral("Файл «%1» повреждён или не является файлом рисунка").arg(fileName);
}

// A pattern file and its notes, both read and checked, or why not.
struct ChosenFile {
    model::PatternFileResult pattern;
    QString notes; // empty when there is no notes file
    QString error; // set when the Open must be refused
};

ChosenFile readChosenFile(const QString &fileName)
{
    ChosenFile chosen;
    chosen.pattern = model::LoadPatternFile(onDisk(fileName));
    if (!chosen.pattern.ok) {
        chosen.error = loadFailureText(fileName, chosen.pattern.failure);
        return chosen;
    }
    // Notes that exist but cannot be shown would be wiped by the next save.
    const model::FileContent notes = model::ReadNotesFile(onDisk(fileName));
    if (notes.tooLarge)
        chosen.error = tooLargeText(notesFileName(fileName));
    else if (notes.error != 0)
        chosen.error = cannotReadText(notesFileName(fileName), notes.error);
    else if (!notes.missing)
        chosen.notes = DecodeNotes(QByteArray::fromStdString(notes.bytes));
    return chosen;
}

} // namespace

void TMainForm::MenuOpenClick()
{
    const QString fileName
        = m_dialogs.openFileName(this, patternFileRequest(QStringLiteral("Открытие рисунка..."), OpenDialogFileName));
    if (fileName.isEmpty())
        return;
    OpenDialogFileName = fileName;

    // Read and check everything before the open pattern is put at risk.
    ChosenFile chosen = readChosenFile(fileName);
    if (!chosen.error.isEmpty()) {
        ShowErrorReport(m_dialogs, chosen.error);
        return;
    }

    if (Pattern.exists()) {
        const int savesBefore = m_completedSaves;
        if (!AskToSaveBeforeLeaving(QString(), UserDialogs::Icon::Warning))
            return;
        // The save may have written over the very files chosen.
        if (m_completedSaves != savesBefore) {
            chosen = readChosenFile(fileName);
            if (!chosen.error.isEmpty()) {
                ShowErrorReport(m_dialogs, chosen.error);
                return;
            }
        }
        model::Discard(Pattern);
    }

    Pattern = std::move(chosen.pattern.loaded.pattern);
    setYarnPalette(chosen.pattern.loaded.palette);
    EnablePalette(true);
    PrepareEditor();
    MainScrollBox->horizontalScrollBar()->setSingleStep(CellPitch() - 1);
    MainScrollBox->verticalScrollBar()->setSingleStep(CellPitch() - 1);
    // Row 1 is at the bottom of the pattern.
    MainScrollBox->verticalScrollBar()->setValue(MainScrollBox->verticalScrollBar()->maximum());
    MemoForm->setNotesText(chosen.notes);
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
        onDisk(fileName), Pattern, yarnPalette(), std::string(notes.constData(), std::size_t(notes.size())));
    if (!saved.ok) {
        const QString failedName = saved.failure.fileName == onDisk(fileName) ? fileName : notesFileName(fileName);
        QString reason = SystemErrorText(saved.failure.error);
        if (saved.failure.notesReplaced)
            reason += QStringLiteral("; файл текста «%1» уже заменён новым").arg(notesFileName(fileName));
        ShowErrorReport(m_dialogs, QStringLiteral("Не удалось сохранить файл «%1»: %2").arg(failedName, reason));
        return false;
    }
    ClearModified();
    ++m_completedSaves;
    m_dialogs.message(
        this, QString(), QStringLiteral("Рисунок успешно сохранен"), QMessageBox::Ok, UserDialogs::Icon::Information);
    return true;
}
