#pragma once
// A private X server (Xvfb) with a window manager (openbox), for tests that
// need what only a real desktop gives: frames, titles, stacking. Window
// properties are read from the server with the X utilities, input is sent with
// xdotool. Every wait is bounded; the destructor stops whatever was started.

#include <QMargins>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <optional>

class XDesktop {
public:
    using Window = quint32;

    XDesktop() = default;
    ~XDesktop();
    XDesktop(const XDesktop &) = delete;
    XDesktop &operator=(const XDesktop &) = delete;

    // The programs a desktop needs that are not installed; empty when all are.
    static QStringList missingTools();
    // Starts the server on a free display and the window manager on it,
    // again on another display when one of them dies or hangs. On failure
    // returns false and says why in `error`.
    bool start(QSize screen, QString *error);

    // The environment for a program shown on this desktop.
    QProcessEnvironment environment() const;
    // Starts a program on this desktop; it is killed if the test dies first.
    void startProgram(QProcess &process, const QString &program, const QStringList &arguments = {}) const;

    // Managed windows, bottom to top.
    QList<Window> stacking() const;
    // The first managed window with exactly this title; 0 if there is none.
    Window findWindow(const QString &title) const;
    // Any window with exactly this title, also one the window manager has not taken yet.
    Window findAnyWindow(const QString &title) const;
    // Stops or continues the window manager, as a busy machine can hold it back.
    void pauseWindowManager(bool paused);
    // _NET_WM_NAME; nothing when the window has none.
    std::optional<QString> title(Window window) const;
    QMargins frameExtents(Window window) const;
    QRect clientGeometry(Window window) const;
    // The window with its frame, on the screen.
    QRect frameGeometry(Window window) const { return clientGeometry(window).marginsAdded(frameExtents(window)); }
    QRect workArea() const;
    // Mapped and not hidden by an unmapped ancestor; false for an unknown window.
    bool viewable(Window window) const;
    // The window with the keyboard, as the window manager says; 0 for none.
    Window activeWindow() const;
    // Minimised: WM_STATE says Iconic.
    bool iconic(Window window) const;

    // Runs xdotool with these arguments; false when it failed or hung.
    bool xdotool(const QStringList &arguments) const;
    // The process's main thread is asleep, waiting for something (as in an event loop).
    static bool sleeping(qint64 pid);
    // Polls until the condition holds or the time is up.
    static bool waitFor(const std::function<bool()> &condition, int milliseconds = 20000);

private:
    bool startOnce(QSize screen, QString *error);
    QString tool(const QString &program, const QStringList &arguments) const;
    void stop();

    QTemporaryDir m_home;
    QProcess m_server;
    QProcess m_manager;
    QString m_display;
};
