#include "support/XDesktop.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace {

// A loaded machine (two cores shared by parallel builds) can take many
// seconds for what is instant on an idle one; only a hang may fail.
constexpr int ToolTimeout = 20000;
constexpr int ServerTimeout = 60000;
constexpr int Attempts = 3;

QList<quint32> numbersAfter(const QString &text, QChar mark)
{
    QList<quint32> numbers;
    const qsizetype start = text.indexOf(mark);
    if (start < 0)
        return numbers;
    static const QRegularExpression number(QStringLiteral("0x[0-9a-fA-F]+|\\d+"));
    for (const auto &match : number.globalMatch(text.mid(start + 1))) {
        bool ok = false;
        const quint32 value = match.captured().toUInt(&ok, 0);
        if (ok)
            numbers.append(value);
    }
    return numbers;
}

// The server, the window manager and the program die with the test, even when it is killed.
void dieWithTheTest(QProcess &process)
{
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

// QProcess notices an exit only when asked or from an event loop.
bool alive(QProcess &process)
{
    return process.state() != QProcess::NotRunning && !process.waitForFinished(0);
}

void finish(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

} // namespace

XDesktop::~XDesktop()
{
    stop();
}

void XDesktop::stop()
{
    finish(m_manager);
    finish(m_server);
}

QStringList XDesktop::missingTools()
{
    QStringList missing;
    for (const char *program : { "Xvfb", "openbox", "xprop", "xwininfo", "xdotool" }) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            missing << QString::fromLatin1(program);
    }
    return missing;
}

bool XDesktop::start(QSize screen, QString *error)
{
    if (!m_home.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    // A server or window manager that dies on a busy machine is started again, on another display.
    QStringList failures;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        QString failure;
        if (startOnce(screen, &failure))
            return true;
        failures << failure;
        stop();
    }
    *error = failures.join(QStringLiteral("; "));
    return false;
}

bool XDesktop::startOnce(QSize screen, QString *error)
{
    // The server picks a free display itself and writes its number to the pipe.
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    m_server.setStandardErrorFile(QProcess::nullDevice());
    dieWithTheTest(m_server);
    m_server.start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()), QStringLiteral("-nolisten"),
            QStringLiteral("tcp") });
    const QDeadlineTimer serverDeadline(ServerTimeout);
    while (!m_server.canReadLine() && alive(m_server) && !serverDeadline.hasExpired())
        m_server.waitForReadyRead(100);
    const QString number = QString::fromLatin1(m_server.readLine()).trimmed();
    if (number.isEmpty()) {
        *error = alive(m_server) ? QStringLiteral("Xvfb gave no display in time") : QStringLiteral("Xvfb died");
        return false;
    }
    m_display = QLatin1Char(':') + number;

    m_manager.setProcessEnvironment(environment());
    m_manager.setStandardOutputFile(QProcess::nullDevice());
    const QString log = m_home.filePath(QStringLiteral("openbox.log"));
    m_manager.setStandardErrorFile(log);
    dieWithTheTest(m_manager);
    m_manager.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
    m_manager.waitForStarted(ToolTimeout);
    const bool managed = waitFor(
        [this] {
            return alive(m_manager) && alive(m_server)
                && tool(QStringLiteral("xprop"), { QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK") })
                       .contains(QLatin1Char('#'));
        },
        ServerTimeout);
    // Its start-up done, it waits for events; only then may a test hold it back.
    int idle = 0;
    const bool settled = managed && waitFor([&] {
        idle = sleeping(m_manager.processId()) ? idle + 1 : 0;
        return idle == 5;
    }, ServerTimeout);
    if (!settled) {
        QFile messages(log);
        messages.open(QIODevice::ReadOnly);
        *error = QStringLiteral("openbox did not take the display %1 (%2, server %3): %4")
                     .arg(m_display, alive(m_manager) ? QStringLiteral("running") : QStringLiteral("died"),
                         alive(m_server) ? QStringLiteral("running") : QStringLiteral("died"),
                         QString::fromLocal8Bit(messages.readAll()));
        return false;
    }
    return true;
}

void XDesktop::startProgram(QProcess &process, const QString &program, const QStringList &arguments) const
{
    process.setProcessEnvironment(environment());
    dieWithTheTest(process);
    process.start(program, arguments);
    process.waitForStarted(ToolTimeout);
}

QProcessEnvironment XDesktop::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    // Nothing of the user's own desktop settings, nothing written into their home.
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("XAUTHORITY"));
    return environment;
}

QString XDesktop::tool(const QString &program, const QStringList &arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForFinished(ToolTimeout)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool XDesktop::xdotool(const QStringList &arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(ToolTimeout)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool XDesktop::sleeping(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype state = text.lastIndexOf(')') + 2; // after the program's name
    return state > 1 && state < text.size() && text.at(state) == 'S';
}

bool XDesktop::waitFor(const std::function<bool()> &condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

QList<XDesktop::Window> XDesktop::stacking() const
{
    return numbersAfter(
        tool(QStringLiteral("xprop"), { QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING") }),
        QLatin1Char('#'));
}

XDesktop::Window XDesktop::findWindow(const QString &wanted) const
{
    for (Window window : stacking()) {
        if (title(window) == wanted)
            return window;
    }
    return 0;
}

XDesktop::Window XDesktop::findAnyWindow(const QString &wanted) const
{
    const QString pattern = QLatin1Char('^') + QRegularExpression::escape(wanted) + QLatin1Char('$');
    const QStringList found = tool(QStringLiteral("xdotool"), { QStringLiteral("search"), QStringLiteral("--name"), pattern })
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return found.isEmpty() ? 0 : found.constFirst().toUInt();
}

void XDesktop::pauseWindowManager(bool paused)
{
    if (m_manager.processId() > 0)
        ::kill(pid_t(m_manager.processId()), paused ? SIGSTOP : SIGCONT);
}

std::optional<QString> XDesktop::title(Window window) const
{
    const QString text = tool(QStringLiteral("xprop"),
        { QStringLiteral("-id"), QString::number(window), QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME") });
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt; // "not found"
    // xprop prints an empty property as nothing at all after the "=".
    const qsizetype open = text.indexOf(QLatin1Char('"'), equals);
    const qsizetype close = text.lastIndexOf(QLatin1Char('"'));
    if (open < 0 || close <= open)
        return QString();
    return text.sliced(open + 1, close - open - 1);
}

QMargins XDesktop::frameExtents(Window window) const
{
    const QList<quint32> sides
        = numbersAfter(tool(QStringLiteral("xprop"),
                           { QStringLiteral("-id"), QString::number(window), QStringLiteral("-notype"),
                               QStringLiteral("_NET_FRAME_EXTENTS") }),
            QLatin1Char('='));
    if (sides.size() != 4)
        return {};
    return QMargins(int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3]));
}

QRect XDesktop::clientGeometry(Window window) const
{
    const QString text = tool(QStringLiteral("xwininfo"), { QStringLiteral("-id"), QString::number(window) });
    auto field = [&text](const char *name) {
        static const QString pattern = QStringLiteral("%1:\\s*(-?\\d+)");
        const auto match = QRegularExpression(pattern.arg(QString::fromLatin1(name))).match(text);
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"));
}

QRect XDesktop::workArea() const
{
    const QList<quint32> area
        = numbersAfter(tool(QStringLiteral("xprop"),
                           { QStringLiteral("-root"), QStringLiteral("-notype"), QStringLiteral("_NET_WORKAREA") }),
            QLatin1Char('='));
    if (area.size() < 4)
        return {};
    return QRect(int(area[0]), int(area[1]), int(area[2]), int(area[3]));
}

bool XDesktop::viewable(Window window) const
{
    return tool(QStringLiteral("xwininfo"), { QStringLiteral("-id"), QString::number(window) })
        .contains(QStringLiteral("IsViewable"));
}

bool XDesktop::iconic(Window window) const
{
    return tool(QStringLiteral("xprop"), { QStringLiteral("-id"), QString::number(window), QStringLiteral("WM_STATE") })
        .contains(QStringLiteral("Iconic"));
}

XDesktop::Window XDesktop::activeWindow() const
{
    const QList<quint32> active
        = numbersAfter(tool(QStringLiteral("xprop"), { QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW") }),
            QLatin1Char('#'));
    return active.isEmpty() ? 0 : active.constFirst();
}
