#pragma once
// A two-state tool button. Assistive tools see it as a checkable button whose
// press and toggle actions do exactly what a click does, so the window it
// shows or hides follows. Qt's own toggle action flips the button only.

#include <QToolButton>

class TwoStateToolButton : public QToolButton {
    Q_OBJECT

public:
    explicit TwoStateToolButton(QWidget *parent = nullptr);
};
