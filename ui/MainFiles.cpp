#include "ui/FileNames.h"
#include "ui/GridView.h"
#include "ui/IncomingFiles.h"
#include "ui/Main.h"
#include "ui/Memo.h"
#include "ui/Messages.h"
#include "ui/NotesText.h"
#include "ui/UserDialogs.h"

#include "model/PatternFile.h"

#include <QScrollBar>

namespace {

FileDialogRequest patternFileRequest(const QString &title, const QString &lastChosen)
{
    return { title, QStringLiteral("Файл рисунка (*.plw)"), QStringLiteral("plw"), lastChosen };
}

// A pattern file and its notes, both read and checked.
struct ChosenFile {
    model::LoadedPattern pattern;
    QString notes;
};

model::Outcome<ChosenFile> readChosenFile(const QString &fileName)
{
    model::Outcome<model::LoadedPattern> loaded = model::LoadPatternFile(ModelFileName(fileName));
    if (!loaded.ok())
        return loaded.failure();
    // Notes that exist but cannot be shown would be wiped by the next save.
    const model::Outcome<std::string> notes = model::ReadNotesFile(ModelFileName(fileName));
    if (!notes.ok())
        return notes.failure();
    return ChosenFile { std::move(loaded.value()), DecodeNotes(QByteArray::fromStdString(notes.value())) };
}

} // namespace

void TMainForm::MenuOpenClick()
{
    const QString fileName
        = m_dialogs.openFileName(this, patternFileRequest(QStringLiteral("Открытие рисунка..."), OpenDialogFileName));
    if (fileName.isEmpty())
        return;
    openPatternFile(fileName);
}

void TMainForm::openPatternFile(const QString &fileName)
{
    OpenDialogFileName = fileName;

    // Read and check everything before the open pattern is put at risk.
    model::Outcome<ChosenFile> chosen = readChosenFile(fileName);
    if (!chosen.ok()) {
        ReportFailure(m_dialogs, chosen.failure());
        return;
    }

    if (Pattern.exists()) {
        const int savesBefore = m_completedSaves;
        if (!AskToSaveBeforeLeaving(QString(), UserDialogs::Icon::Warning))
            return;
        // The save may have written over the very files chosen.
        if (m_completedSaves != savesBefore) {
            chosen = readChosenFile(fileName);
            if (!chosen.ok()) {
                ReportFailure(m_dialogs, chosen.failure());
                return;
            }
        }
        model::Discard(Pattern);
    }

    Pattern = std::move(chosen.value().pattern.pattern);
    setYarnPalette(chosen.value().pattern.palette);
    EnablePalette(true);
    PrepareEditor();
    MainScrollBox->horizontalScrollBar()->setSingleStep(CellPitch() - 1);
    MainScrollBox->verticalScrollBar()->setSingleStep(CellPitch() - 1);
    // Row 1 is at the bottom of the pattern.
    MainScrollBox->verticalScrollBar()->setValue(MainScrollBox->verticalScrollBar()->maximum());
    MemoForm->setNotesText(chosen.value().notes);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    AcceptDragOf(event, DroppedPatternFile);
}

void TMainForm::dropEvent(QDropEvent *event)
{
    TakeDropOf(event, DroppedPatternFile, this, [this](const QString &fileName) { openPatternFile(fileName); });
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
    const model::Outcome<> saved = model::SavePatternFile(
        ModelFileName(fileName), Pattern, yarnPalette(), std::string(notes.constData(), std::size_t(notes.size())));
    if (!saved.ok()) {
        ReportFailure(m_dialogs, saved.failure());
        return false;
    }
    ClearModified();
    ++m_completedSaves;
    m_dialogs.message(this, QString(), Messages::PatternSaved, QMessageBox::Ok, UserDialogs::Icon::Information);
    return true;
}
