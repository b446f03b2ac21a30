#pragma once
// Asks the window manager to let a window it does not decorate be moved, and
// neither resized, minimised, maximised nor closed by its own shortcuts or
// gestures. Qt offers no flags for it: a frameless window leaves every
// function allowed. The window itself refuses the close the hint cannot stop.

class QWidget;

// Harmless off X11. Call before the window is first shown.
void askToOnlyMove(QWidget &window);
