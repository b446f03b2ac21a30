#include "ui/NotesEdit.h"

#include "ui/NotesParagraphs.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

NotesEdit::NotesEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &NotesEdit::keepCursorBeforePieceEnd);
}

bool NotesEdit::isAfterPieceEnd(int position) const
{
    if (!m_cut || position <= 0)
        return false;
    const QTextBlock block = document()->findBlock(position);
    return position == block.position() + block.length() - 1 && document()->characterAt(position - 1) == PieceEnd;
}

// The cursor never rests after a piece's mark: what is typed there would
// follow the mark and turn the piece's end into a line end. It stands before
// the mark instead, where it looks the same; a step right from there goes on
// to the next piece.
void NotesEdit::keepCursorBeforePieceEnd()
{
    if (m_movingCursor)
        return;
    QTextCursor cursor = textCursor();
    int position = cursor.position(), anchor = cursor.anchor();
    const bool selection = cursor.hasSelection();
    if (isAfterPieceEnd(position))
        position += m_steppingRight ? 1 : -1;
    if (!selection)
        anchor = position;
    else if (isAfterPieceEnd(anchor))
        --anchor;
    if (position != cursor.position() || anchor != cursor.anchor()) {
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        const QScopedValueRollback moving(m_movingCursor, true);
        setTextCursor(cursor);
    }
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
    // Deleting across a piece's end must take the letter the user sees beyond
    // it, never the mark or the break: those would turn it into a line end.
    const QTextCursor cursor = textCursor();
    const int position = cursor.position();
    const QScopedValueRollback stepping(m_steppingRight, event == QKeySequence::MoveToNextChar
        || event == QKeySequence::SelectNextChar || event == QKeySequence::MoveToNextWord
        || event == QKeySequence::SelectNextWord);
    const bool forward = event->key() == Qt::Key_Delete && isAfterPieceEnd(position + 1);
    const bool backward = event->key() == Qt::Key_Backspace && cursor.atBlockStart() && isAfterPieceEnd(position - 1);
    if (cursor.hasSelection() || !(forward || backward)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QTextCursor across = cursor;
    across.setPosition(forward ? position + 2 : position - 2);
    const QScopedValueRollback moving(m_movingCursor, true);
    setTextCursor(across);
    QPlainTextEdit::keyPressEvent(event);
    if (forward) {
        across.setPosition(position);
        setTextCursor(across);
    }
}

QMimeData *NotesEdit::createMimeDataFromSelection() const
{
    // Copied text is the notes' own: no marks, no breaks between pieces.
    auto *data = new QMimeData;
    data->setText(NotesOfParagraphs(textCursor().selection().toRawText(), m_cut));
    return data;
}
