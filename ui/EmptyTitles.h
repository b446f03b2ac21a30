#pragma once
// Qt never leaves a window title empty on X11: it puts the application's name
// in its place. Windows whose caption is empty must show an empty title bar,
// so their title is cleared on the X server once Qt has set it.

class QCoreApplication;

// Watches every top-level window of the application; harmless off X11.
void keepEmptyTitlesEmpty(QCoreApplication &app);
