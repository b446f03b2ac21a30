#pragma once
// Answers message boxes, file and colour dialogs and modal windows from
// queues filled by the test, and records what was asked.

#include "ui/UserDialogs.h"

#include <QDialog>
#include <deque>
#include <functional>
#include <vector>

struct MessageRecord {
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
    UserDialogs::Icon icon;
};

class ScriptedDialogs : public UserDialogs {
public:
    // What to answer next; an unexpected question fails the test and is cancelled.
    std::deque<QMessageBox::StandardButton> messageAnswers;
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    // When set, colour dialogs are real ones run by it, for tests that need a real modal loop.
    UserDialogs *colorDialogs = nullptr;
    // Each handler plays the user in one modal window and returns its result.
    std::deque<std::function<int(QDialog &)>> modalHandlers;
    // Whether the user confirms each print dialog.
    std::deque<bool> printAnswers;
    // Whether the system is said to have a printer; tests print to PDF files.
    bool hasPrinter = true;

    std::vector<MessageRecord> messages;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<QString> modalWindows; // object names, in order
    int printDialogRuns = 0;
    std::vector<QPrinter *> printerSetupRuns; // the printer each set-up dialog was given

    QMessageBox::StandardButton message(QWidget *parent, const QString &caption, const QString &text,
        QMessageBox::StandardButtons buttons, Icon icon) override;
    QString openFileName(QWidget *parent, const FileDialogRequest &request) override;
    QString saveFileName(QWidget *parent, const FileDialogRequest &request) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;
    int runModal(QDialog &dialog) override;
    bool printDialog(QWidget *parent, QPrinter &printer) override;
    void printerSetupDialog(QWidget *parent, QPrinter &printer) override;
    bool printerInstalled() override { return hasPrinter; }

    // True when every scripted answer was used.
    bool allAnswersUsed() const;
};

// A modal handler that presses the dialog's button named `buttonName` (e.g. "OKButton").
std::function<int(QDialog &)> clickButton(const QString &buttonName);
// A modal handler that closes the dialog by its close box.
std::function<int(QDialog &)> closeByCloseBox();
