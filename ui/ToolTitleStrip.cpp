#include "ui/ToolTitleStrip.h"

#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTitleBar>
#include <QWindow>

namespace {

QStyleOptionTitleBar titleBarOption(const QWidget &strip)
{
    QStyleOptionTitleBar option;
    option.initFrom(&strip);
    // A tool window's bar with the label area only: no icon, caption or buttons.
    option.titleBarFlags = Qt::Tool;
    option.subControls = QStyle::SC_TitleBarLabel;
    // Active while its own window has the keyboard, as the window manager
    // shows the frames it draws; the style reads the state from the bar's flags.
    const bool active = strip.window()->windowHandle() && QGuiApplication::focusWindow() == strip.window()->windowHandle();
    option.titleBarState = active ? int(QStyle::State_Active) : 0;
    option.state.setFlag(QStyle::State_Active, active);
    option.palette.setCurrentColorGroup(active ? QPalette::Active : QPalette::Inactive);
    return option;
}

} // namespace

ToolTitleStrip::ToolTitleStrip(QWidget &window)
    : QWidget(&window)
{
    setObjectName(QStringLiteral("TitleStrip"));
    setFixedHeight(stripHeight());
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, qOverload<>(&QWidget::update));
}

int ToolTitleStrip::stripHeight() const
{
    // As high as the title bar the window manager gives the owner, once known.
    if (const QWidget *owner = window()->parentWidget()) {
        const QMargins frame = WindowPlacement::frameMargins(*owner->window());
        if (frame.top() > frame.bottom())
            return frame.top() - frame.bottom();
    }
    const QStyleOptionTitleBar option = titleBarOption(*this);
    return style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, this);
}

void ToolTitleStrip::showEvent(QShowEvent *)
{
    setFixedHeight(stripHeight());
}

void ToolTitleStrip::paintEvent(QPaintEvent *)
{
    QStyleOptionTitleBar option = titleBarOption(*this);
    option.rect = rect();
    QPainter painter(this);
    style()->drawComplexControl(QStyle::CC_TitleBar, &option, &painter, this);
}

void ToolTitleStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The window manager's own move keeps to its rules (edges, other windows);
    // without one, the strip moves the window itself.
    QWindow *handle = window()->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    m_grip = event->globalPosition().toPoint() - window()->pos();
}

void ToolTitleStrip::mouseMoveEvent(QMouseEvent *event)
{
    if (m_grip && event->buttons().testFlag(Qt::LeftButton))
        window()->move(event->globalPosition().toPoint() - *m_grip);
}

void ToolTitleStrip::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_grip.reset();
}
