#pragma once
// Small pieces every fixed dialog is made of.

#include <functional>

#include <QColor>
#include <QRect>
#include <QString>

class QDialog;
class QEvent;
class QFont;
class QLabel;
class QPushButton;
class QWidget;

// Name, title and frame of a dialog the user cannot resize; a valid `size`
// also fixes its size (some dialogs know theirs only once laid out).
void setUpFixedDialog(QDialog &dialog, const char *name, const QString &title, QSize size = QSize());

// A label in its own face and, when `colour` is valid, its own colour.
// `name` may be null for labels nothing looks up.
QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QFont &font, const QColor &colour = {});
// The same, placed at `topLeft` and sized to its text.
QLabel *addLabelAt(QWidget *parent, const char *name, const QString &text, const QFont &font, QPoint topLeft,
    const QColor &colour = {});

// A push button with its object name (tests and handlers find it by name).
QPushButton *addDialogButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry);

// Places the window in the middle of the desktop it is on.
void centreOnDesktop(QWidget &window);

// Runs `call` now if the widget is visible, else when it is first shown,
// before it is painted. Measuring text loads its font, a few milliseconds for
// each face at start-up; windows that start hidden measure when shown.
void whenShown(QWidget &widget, std::function<void()> call);

// True for a press of Return or Enter: fields where Enter acts as OK.
bool isEnterKeyPress(const QEvent *event);
