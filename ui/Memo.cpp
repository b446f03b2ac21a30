#include "ui/Memo.h"

#include <QPlainTextEdit>

TMemoForm *MemoForm = nullptr;

TMemoForm::TMemoForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("MemoForm");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Текст"));
    resize(359, 229);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setAccessibleName(windowTitle());
    Memo->setGeometry(5, 5, width() - 10, height() - 10);
    Memo->setEnabled(false);
    connect(Memo, &QPlainTextEdit::textChanged, this, [this] {
        if (onEdited)
            onEdited();
    });
}

QString TMemoForm::notesText() const
{
    return Memo->toPlainText();
}

void TMemoForm::setNotesText(const QString &text)
{
    const QSignalBlocker blocker(Memo);
    Memo->setPlainText(text);
}
