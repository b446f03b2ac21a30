#pragma once
// Start-up: the application object with its general error report, the
// Russian translations, and the eleven windows created once in a fixed order.

#include <QApplication>
#include <functional>
#include <memory>

class TMainForm;
class UserDialogs;

inline constexpr const char *ApplicationTitle = "Purlwise";

class PurlwiseApplication : public QApplication {
    Q_OBJECT

public:
    PurlwiseApplication(int &argc, char **argv);

    // Where the general error report goes; the application does not own it.
    void setDialogs(UserDialogs *dialogs) { m_dialogs = dialogs; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    UserDialogs *m_dialogs = nullptr;
};

// Loads Qt's own Russian texts (standard buttons, dialogs). Returns false,
// harmlessly, when they are not installed.
bool InstallRussianTranslations(QCoreApplication &app);

// Owns the eleven windows; they live until this is destroyed.
class ApplicationWindows {
public:
    // The program makes the ten windows after the main one right after the
    // main window's first paint, so the window appears sooner; user input
    // that comes earlier makes them at once, before any handler sees it.
    enum class Companions { Now, AfterFirstPaint };

    // `made` runs after each window is created, in order. A failure goes to
    // the general error report and leaves no window; made after the first
    // paint, it also ends the event loop.
    explicit ApplicationWindows(
        UserDialogs &dialogs, Companions when = Companions::Now, std::function<void(QWidget &)> made = {});
    ~ApplicationWindows();
    ApplicationWindows(const ApplicationWindows &) = delete;
    ApplicationWindows &operator=(const ApplicationWindows &) = delete;

    TMainForm &main() { return *m_main; }
    // False when making them failed; none is left then.
    bool created() const { return m_main != nullptr; }
    // Runs call from the event loop once all eleven windows exist; never if making them fails.
    void whenComplete(std::function<void()> call);

private:
    // Runs make; on an exception reports it and releases every window.
    bool attempt(const std::function<void()> &make);
    void createCompanions();

    UserDialogs &m_dialogs;
    std::function<void(QWidget &)> m_made;
    std::unique_ptr<TMainForm> m_main;
    std::unique_ptr<QObject> m_firstPaintWatch;
    std::unique_ptr<QObject> m_earlyInputGuard;
    bool m_companions = false; // making them was attempted
    bool m_companionsMade = false;
    bool m_releaseOnFailure = true;
    std::function<void()> m_whenComplete;
};
