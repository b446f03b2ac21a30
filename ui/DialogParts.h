#pragma once
// Small pieces every fixed dialog is made of.

#include <QRect>
#include <QString>

class QEvent;
class QPushButton;
class QWidget;

// A push button with its object name (tests and handlers find it by name).
QPushButton *addDialogButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry);

// Places the window in the middle of the desktop it is on.
void centreOnDesktop(QWidget &window);

// True for a press of Return or Enter: fields where Enter acts as OK.
bool isEnterKeyPress(const QEvent *event);
