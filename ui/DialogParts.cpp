#include "ui/DialogParts.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

QPushButton *addDialogButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

void centreOnDesktop(QWidget &window)
{
    if (const QScreen *desktop = window.screen())
        window.move(desktop->geometry().center() - window.rect().center());
}

bool isEnterKeyPress(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
