// Linked into both start-up programs: ends the process when, after the main
// window has been painted and handed to the screen, the event loop is about
// to wait with all the program's windows made (STARTUP_WINDOWS of them) and
// nothing left in its queue. The loop announces a wait even with events
// queued, so the windows are counted and the queue is emptied first: the time
// of the whole process is the time until the program is ready for input.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <cstdio>
#include <cstdlib>

namespace {

// Menus are top-level widgets too; they are not windows of the program.
int windows()
{
    int count = 0;
    for (const QWidget *widget : QApplication::topLevelWidgets())
        count += widget->windowType() != Qt::Popup && widget->windowType() != Qt::ToolTip;
    return count;
}

class IdleAfterPaintExit : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && qobject_cast<QMainWindow *>(watched)) {
            m_seen = true;
            QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, [] {
                if (windows() < STARTUP_WINDOWS)
                    return;
                QCoreApplication::sendPostedEvents();
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
