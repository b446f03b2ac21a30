#pragma once
// Assistive tools find a program's windows by their role, and give places
// inside a window relative to it. Qt presents a top-level window that is a
// plain widget (the tool windows) as a pane of the application, so tools
// miss it and get its contents' window-relative places in screen terms.

// Presents every such window as a window. Call before the windows are made.
void presentToolWindowsAsWindows();
