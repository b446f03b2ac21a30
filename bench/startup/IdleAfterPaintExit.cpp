// Linked into both start-up programs: ends the process the first time the
// event loop goes idle after the main window has been painted and handed to
// the screen. Everything a start-up queues behind that paint (the program's
// other windows) has run by then, so the time of the whole process is the
// time until the program is ready for input.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <cstdio>
#include <cstdlib>

namespace {

class IdleAfterPaintExit : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && qobject_cast<QMainWindow *>(watched)) {
            m_seen = true;
            QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, [] {
                std::fflush(nullptr);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

void installIdleAfterPaintExit()
{
    QCoreApplication::instance()->installEventFilter(new IdleAfterPaintExit);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installIdleAfterPaintExit)
