#pragma once
// Printing, from a module of the program's own loaded on first use: Qt's
// printing library is the largest the program would otherwise load at
// start-up, and most sessions never print.

class QPrinter;
class QWidget;

struct PrintingFunctions {
    // A high-resolution printer for the system's default printer; the caller owns it.
    QPrinter *(*makePrinter)();
    bool (*printerInstalled)();
    // Whether the printer reported an error for the page just printed.
    bool (*printerFailed)(const QPrinter &printer);
    // The print dialog: one whole page straight to the printer. True when confirmed.
    bool (*printDialog)(QWidget *parent, QPrinter &printer);
    // Printer, paper and orientation; whatever is confirmed stays in the printer.
    void (*pageSetupDialog)(QWidget *parent, QPrinter &printer);
};

// Loads the module the first time; throws std::runtime_error, naming the
// module, when it cannot be loaded.
const PrintingFunctions &printing();
