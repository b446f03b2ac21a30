#pragma once
// The real program on a desktop of its own (Xvfb with openbox), for the tests
// of what only a window manager shows: frames, stacking, focus, minimising.
#include "support/XDesktop.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

inline const QString MainTitle = QStringLiteral("Проектировщик рисунков для вязальной машины");
inline const QString NewTitle = QStringLiteral("Новый рисунок");
inline const QString NotesTitle = QStringLiteral("Текст");

class Program {
public:
    Program(const XDesktop &desktop, const QString &folder, const QStringList &arguments = {})
    {
        m_process.setWorkingDirectory(folder);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        desktop.startProgram(m_process, QStringLiteral(PURLWISE_PROGRAM), arguments);
    }
    ~Program()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    // QProcess notices an exit only when asked.
    bool running() { return m_process.state() == QProcess::Running && !m_process.waitForFinished(0); }
    bool sleeping() const { return XDesktop::sleeping(m_process.processId()); }
    // Stops or continues the program, as a busy machine can hold it back.
    void pause(bool paused) { ::kill(pid_t(m_process.processId()), paused ? SIGSTOP : SIGCONT); }
private:
    QProcess m_process;
};

class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QStringList missing = XDesktop::missingTools();
        if (!missing.isEmpty())
            GTEST_SKIP() << "not installed: " << missing.join(QLatin1Char(' ')).toStdString();
        QString error;
        ASSERT_TRUE(desktop.start(QSize(1280, 800), &error)) << error.toStdString();
    }

    // The main window of a program just started; 0 when it never came.
    XDesktop::Window mainWindow() const
    {
        XDesktop::Window main = 0;
        XDesktop::waitFor([&] { return (main = desktop.findWindow(MainTitle)) != 0; });
        return main;
    }

    // New with its dialog's defaults; Enter is OK there.
    void newPattern(XDesktop::Window main) const
    {
        ASSERT_TRUE(desktop.xdotool({ "windowactivate", "--sync", QString::number(main), "key", "ctrl+n" }));
        XDesktop::Window dialog = 0;
        ASSERT_TRUE(XDesktop::waitFor([&] { return (dialog = desktop.findWindow(NewTitle)) != 0; }));
        ASSERT_TRUE(desktop.xdotool({ "key", "Return" }));
        ASSERT_TRUE(XDesktop::waitFor([&] { return !desktop.stacking().contains(dialog); }));
    }

    XDesktop desktop;
    QTemporaryDir folder; // the yarn list is looked for in the working folder
};
