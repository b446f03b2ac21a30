#pragma once
// Every message box, file dialog, colour dialog and modal window run goes
// through this interface, so tests can answer them from a script instead of
// real modal loops.

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

struct FileDialogRequest {
    QString title;
    QString filter; // Qt filter text, e.g. "Файл рисунка (*.plw)"
    QString defaultSuffix; // without the dot
    QString initialPath; // the name last chosen, offered again
};

class UserDialogs {
public:
    enum class Icon { None, Information, Warning, Critical, Question };

    virtual ~UserDialogs() = default;

    // Returns the button pressed; closing the box counts as its escape button.
    virtual QMessageBox::StandardButton message(
        QWidget *parent, const QString &caption, const QString &text, QMessageBox::StandardButtons buttons, Icon icon)
        = 0;
    // An empty result means the dialog was cancelled.
    virtual QString openFileName(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual QString saveFileName(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) = 0;
    // Runs a window modally and returns its QDialog result.
    virtual int runModal(QDialog &dialog) = 0;
    // The print dialog on printer; true when the user confirmed printing.
    virtual bool printDialog(QWidget *parent, QPrinter &printer) = 0;
    // Printer, paper and orientation; whatever is confirmed stays in printer.
    virtual void printerSetupDialog(QWidget *parent, QPrinter &printer) = 0;
    // Whether the system has at least one printer to print on.
    virtual bool printerInstalled();
};

// The real thing: standard Qt dialogs.
class QtUserDialogs : public UserDialogs {
public:
    QMessageBox::StandardButton message(QWidget *parent, const QString &caption, const QString &text,
        QMessageBox::StandardButtons buttons, Icon icon) override;
    QString openFileName(QWidget *parent, const FileDialogRequest &request) override;
    QString saveFileName(QWidget *parent, const FileDialogRequest &request) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;
    int runModal(QDialog &dialog) override;
    bool printDialog(QWidget *parent, QPrinter &printer) override;
    void printerSetupDialog(QWidget *parent, QPrinter &printer) override;
};
