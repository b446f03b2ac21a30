// The printing module: everything the program asks of Qt's printing library.
#include "ui/Printing.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

QPrinter *makePrinter()
{
    return new QPrinter(QPrinter::HighResolution);
}

bool printerInstalled()
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

bool printerFailed(const QPrinter &printer)
{
    return printer.printerState() == QPrinter::Error;
}

bool printDialog(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    // One whole page straight to the printer: no range, no selection, no file.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

void pageSetupDialog(QWidget *parent, QPrinter &printer)
{
    QPageSetupDialog dialog(&printer, parent);
    dialog.exec();
}

const PrintingFunctions functions { makePrinter, printerInstalled, printerFailed, printDialog, pageSetupDialog };

} // namespace

extern "C" Q_DECL_EXPORT const PrintingFunctions *purlwisePrintingFunctions()
{
    return &functions;
}
