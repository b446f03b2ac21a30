// Linked into both start-up programs: ends the process as soon as the first
// main window has been painted and handed to the screen, so the time of the
// whole process is the time to the first picture.
#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaintExit : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && qobject_cast<QMainWindow *>(watched)) {
            m_seen = true;
            // Queued, so the children's paint and the flush of this frame finish first.
            QTimer::singleShot(0, [] {
                std::fflush(nullptr);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

void installFirstPaintExit()
{
    QCoreApplication::instance()->installEventFilter(new FirstPaintExit);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installFirstPaintExit)
