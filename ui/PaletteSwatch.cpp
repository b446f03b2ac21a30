#include "ui/PaletteSwatch.h"

#include "ui/ColourConversion.h"

#include <QMouseEvent>
#include <QPainter>
#include <utility>

PaletteSwatch::PaletteSwatch(int slot, QWidget *parent)
    : QFrame(parent)
    , m_slot(slot)
{
    setObjectName(QStringLiteral("Panel%1").arg(slot));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFixedSize(22, 22);
    setAccessibleName(QStringLiteral("Цвет %1").arg(slot));
}

void PaletteSwatch::setColor(model::TColor color)
{
    m_color = color;
    update();
}

void PaletteSwatch::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), isEnabled() ? toQColor(m_color) : toQColor(m_color).lighter(105));
    }
    QFrame::paintEvent(event);
}

void PaletteSwatch::mousePressEvent(QMouseEvent *event)
{
    // The colour dialog opened by a double click may swallow its release, so
    // a new press always starts a new click.
    m_doubleClicked = false;
    emit mousePressed(this, event->button());
    QFrame::mousePressEvent(event);
}

void PaletteSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    // The release that ends a double click is not a click of its own.
    const bool endsDoubleClick = std::exchange(m_doubleClicked, false);
    if (event->button() == Qt::LeftButton && !endsDoubleClick && rect().contains(event->position().toPoint()))
        emit clicked(this);
    QFrame::mouseReleaseEvent(event);
}

void PaletteSwatch::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_doubleClicked = true;
        emit doubleClicked(this);
    }
    QFrame::mouseDoubleClickEvent(event);
}
