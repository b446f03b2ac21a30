#pragma once
// Asks the window manager for a frame with a title bar and no buttons, that
// moves but neither resizes, minimises, maximises nor closes. Qt offers no
// flags for it: without a button hint it leaves every function allowed.
// Window managers that keep their buttons anyway (openbox keeps close and
// minimise) still drop resizing; the window itself refuses the rest.

class QWidget;

// Harmless off X11. Call before the window is first shown.
void askForMoveOnlyFrame(QWidget &window);
