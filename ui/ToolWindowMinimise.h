#pragma once
// Some window managers (openbox among them) offer a minimise button on tool
// windows and, when it is used, minimise the owner and all its tool windows
// together; with no task bar the whole program then looks gone. A tool window
// watched here undoes that: the owner comes back, and the tool window does
// what `instead` says (hide as by its close box, or come back itself).

#include <functional>

class QWidget;

// `tool` is a tool window whose parent is its owner. A minimise that the
// owner started (the user minimised the main window) is left alone.
void keepOwnerUpWhenMinimised(QWidget &tool, std::function<void()> instead);
