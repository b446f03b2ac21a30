#include "ui/ToolWindowMinimise.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class OwnerKeeper : public QObject {
public:
    OwnerKeeper(QWidget &tool, std::function<void()> instead)
        : QObject(&tool)
        , m_tool(tool)
        , m_instead(std::move(instead))
    {
        tool.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::WindowStateChange || !m_tool.isMinimized())
            return false;
        QWidget *owner = m_tool.parentWidget() ? m_tool.parentWidget()->window() : nullptr;
        // The minimise came from the tool window when it was the active one (its
        // button was pressed) or when the owner stayed up (it went alone).
        const bool fromTool = QApplication::activeWindow() == &m_tool || !owner || !owner->isMinimized();
        if (!fromTool)
            return false;
        // After the window manager has finished minimising the whole family.
        QTimer::singleShot(0, this, [this, owner] {
            if (owner && owner->isMinimized())
                owner->showNormal();
            m_tool.setWindowState(m_tool.windowState() & ~Qt::WindowMinimized);
            m_instead();
        });
        return false;
    }

private:
    QWidget &m_tool;
    std::function<void()> m_instead;
};

} // namespace

void keepOwnerUpWhenMinimised(QWidget &tool, std::function<void()> instead)
{
    new OwnerKeeper(tool, std::move(instead));
}
