#pragma once
// Assistive tools see a two-state tool button as a checkable button whose
// press and toggle actions do exactly what a click does, so the window it
// shows or hides follows. Qt's own toggle action flips the button only.

// Installs the accessibility factory; safe to call more than once.
void installTwoStateButtonAccess();
