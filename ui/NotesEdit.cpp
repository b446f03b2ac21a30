#include "ui/NotesEdit.h"

#include "ui/NotesParagraphs.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

NotesEdit::NotesEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
}

QString NotesEdit::notes() const
{
    // The raw text keeps non-breaking spaces, which the plain-text view turns into spaces.
    return NotesOfParagraphs(document()->toRawText(), m_cut);
}

void NotesEdit::setNotes(const QString &notes)
{
    // The text goes into a fresh document before the view sees it: no undo
    // records, no layout per line, no second pass to set the format.
    const NotesParagraphs paragraphs = ParagraphsOfNotes(notes);
    QTextDocument *const old = document();
    auto *fresh = new QTextDocument(this);
    fresh->setDefaultFont(old->defaultFont());
    fresh->setUndoRedoEnabled(false);
    fresh->setPlainText(paragraphs.text);
    fresh->setDocumentLayout(new QPlainTextDocumentLayout(fresh));
    fresh->setUndoRedoEnabled(old->isUndoRedoEnabled());
    fresh->setModified(false);
    const int width = cursorWidth();
    // The view deletes the document it made itself; the ones set here are ours.
    QTextDocument *const ours = old->parent() == this ? old : nullptr;
    {
        const QSignalBlocker blocker(this);
        setDocument(fresh);
    }
    setCursorWidth(width);
    delete ours;
    m_cut = paragraphs.cut;
}

void NotesEdit::keyPressEvent(QKeyEvent *event)
{
    // Backspace right after the end of a piece would take only the invisible
    // mark and turn the piece's end into a line end: take the letter the user sees.
    QTextCursor cursor = textCursor();
    if (m_cut && event->key() == Qt::Key_Backspace && !cursor.hasSelection() && cursor.atBlockEnd()
        && document()->characterAt(cursor.position() - 1) == PieceEnd) {
        cursor.setPosition(cursor.position() - 1);
        setTextCursor(cursor);
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData *NotesEdit::createMimeDataFromSelection() const
{
    // Copied text is the notes' own: no marks, no breaks between pieces.
    auto *data = new QMimeData;
    data->setText(NotesOfParagraphs(textCursor().selection().toRawText(), m_cut));
    return data;
}
