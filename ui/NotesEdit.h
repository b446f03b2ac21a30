#pragma once
// The notes window's text box: plain text whose long lines may be held in
// pieces (ui/NotesParagraphs.h), looking, editing, copying and saving as one.

#include <QPlainTextEdit>

class NotesEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit NotesEdit(QWidget *parent = nullptr);

    // Lines separated by "\n".
    QString notes() const;
    // Replaces the text without an undo step and without textChanged.
    void setNotes(const QString &notes);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    // Is `position` just after the mark that ends a piece (the end of its paragraph)?
    bool isAfterPieceEnd(int position) const;
    void keepCursorBeforePieceEnd();

    bool m_cut = false;
    bool m_movingCursor = false;
    bool m_steppingRight = false;
};
