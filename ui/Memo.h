#pragma once
// The notes window: the free text that belongs to the pattern.

#include "ui/NotesEdit.h"

#include <QWidget>

class TMemoForm : public QWidget {
    Q_OBJECT

public:
    explicit TMemoForm(QWidget *parent = nullptr);

    NotesEdit *Memo = nullptr;

    // Lines separated by "\n". Setting the text is not an edit by the user.
    QString notesText() const;
    void setNotesText(const QString &text);

signals:
    // On every edit the user makes.
    void edited();
    // The close box hid the window.
    void closedByUser();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormResize();
};

extern TMemoForm *MemoForm;
