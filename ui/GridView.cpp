#include "ui/GridView.h"

#include "model/GridRaster.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

namespace {

// Paint-area pixels are 32-bit; a drag far past the end must not wrap around.
int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

GridView::GridView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("MainScrollBox"));
    setFrameShape(QFrame::NoFrame);
    QWidget *surface = viewport();
    surface->setObjectName(QStringLiteral("MainPaintBox"));
    surface->setAccessibleName(QStringLiteral("Сетка рисунка"));
    surface->setMouseTracking(true);
    // Every exposed pixel is rendered by paintEvent, background included.
    surface->setBackgroundRole(QPalette::Window);
    surface->setAutoFillBackground(false);
    surface->setAttribute(Qt::WA_OpaquePaintEvent);
    for (QScrollBar *bar : { horizontalScrollBar(), verticalScrollBar() })
        bar->setTracking(true);
}

void GridView::setPattern(const model::Pattern *pattern)
{
    m_pattern = pattern;
    viewport()->update();
}

void GridView::setCellPitch(int pitch)
{
    m_pitch = pitch;
    viewport()->update();
}

void GridView::setPaintAreaSize(int width, int height)
{
    m_paintArea = QSize(width, height);
    updateScrollBars();
    // Show or hide the scroll bars now rather than on a later event, so the
    // ranges are final for a caller that scrolls right after (Open scrolls to the end).
    QEvent layout(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &layout);
    viewport()->update();
}

void GridView::setLineStep(int pixels)
{
    horizontalScrollBar()->setSingleStep(pixels);
    verticalScrollBar()->setSingleStep(pixels);
}

QPoint GridView::scrollOffset() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QPoint GridView::toPaintArea(QPointF viewportPosition) const
{
    const QPoint offset = scrollOffset();
    const QPoint inView = viewportPosition.toPoint();
    return QPoint(clampToInt(qint64(inView.x()) + offset.x()), clampToInt(qint64(inView.y()) + offset.y()));
}

void GridView::repaintAll()
{
    viewport()->update();
}

void GridView::repaintCell(model::CellIndex cell)
{
    if (m_pitch < 2)
        return;
    const model::PixelRect square = model::cellSquare(cell, m_pitch);
    const QPoint offset = scrollOffset();
    // The square in viewport pixels; far-off cells stay out of int range.
    const qint64 left = square.x - offset.x();
    const qint64 top = square.y - offset.y();
    const QRect shown = viewport()->rect();
    if (left >= shown.right() + 1 || top >= shown.bottom() + 1 || left + square.width <= 0 || top + square.height <= 0)
        return;
    viewport()->update(QRect(int(left), int(top), int(square.width), int(square.height)) & shown);
}

QColor GridView::backgroundColor() const
{
    return viewport()->palette().color(QPalette::Window);
}

void GridView::renderArea(const QRect &area, QImage &image, QPoint at) const
{
    const QRect target = QRect(at, area.size()) & image.rect();
    if (target.isEmpty())
        return;
    static const model::Pattern none;
    const model::Pattern &pattern = m_pattern ? *m_pattern : none;
    const model::PixelRect rect { area.x() + qint64(target.x() - at.x()), area.y() + qint64(target.y() - at.y()),
        target.width(), target.height() };
    const model::PixelBuffer out { reinterpret_cast<model::Pixel *>(image.scanLine(target.y())) + target.x(),
        image.bytesPerLine() / qsizetype(sizeof(model::Pixel)) };
    model::renderGrid(
        pattern, m_pitch, { m_paintArea.width(), m_paintArea.height() }, rect, out, backgroundColor().rgb());
}

void GridView::paintEvent(QPaintEvent *event)
{
    QWidget *surface = viewport();
    QPainter painter(surface);
    const QPoint offset = scrollOffset();
    // Beside the grid, and everywhere when there is none, a plain fill will do.
    const bool drawable = m_pattern && m_pattern->exists() && m_pitch >= 2;
    const QRect grid = drawable ? QRect(-offset, m_paintArea) : QRect();
    const QRegion beside = event->region() - grid;
    for (const QRect &rect : beside)
        painter.fillRect(rect, backgroundColor());
    const QRegion onGrid = event->region() & grid;
    if (onGrid.isEmpty())
        return;

    // Straight into the window's backing store when it is a plain 32-bit
    // image at one device pixel per pixel: no scratch image, no second copy.
    QPaintDevice *device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    const QTransform toDevice = painter.deviceTransform();
    if (device && device->devType() == QInternal::Image && toDevice.type() <= QTransform::TxTranslate) {
        QImage &store = *static_cast<QImage *>(device);
        if (store.isDetached()
            && (store.format() == QImage::Format_RGB32 || store.format() == QImage::Format_ARGB32_Premultiplied)) {
            const QPoint shift(qRound(toDevice.dx()), qRound(toDevice.dy()));
            for (const QRect &exposed : onGrid)
                renderArea(exposed.translated(offset), store, exposed.topLeft() + shift);
            return;
        }
    }
    for (const QRect &exposed : onGrid) {
        QImage scratch(exposed.size(), QImage::Format_RGB32);
        renderArea(exposed.translated(offset), scratch, QPoint(0, 0));
        painter.drawImage(exposed.topLeft(), scratch);
    }
}

void GridView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void GridView::scrollContentsBy(int dx, int dy)
{
    // Moves what is already drawn; only the uncovered strip is rendered.
    viewport()->scroll(dx, dy);
}

void GridView::mousePressEvent(QMouseEvent *event)
{
    const QPoint position = toPaintArea(event->position());
    const bool onPaintArea = position.x() >= 0 && position.y() >= 0 && position.x() < m_paintArea.width()
        && position.y() < m_paintArea.height();
    // A release the view never saw (a modal box took it) must not linger here.
    m_pressedOnPaintArea &= event->buttons();
    m_pressedOnPaintArea.setFlag(event->button(), onPaintArea);
    if (onPaintArea && onMouseDown)
        onMouseDown(event->button(), event->buttons(), position);
    event->accept();
}

void GridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
}

void GridView::mouseMoveEvent(QMouseEvent *event)
{
    m_pressedOnPaintArea &= event->buttons();
    if (onMouseMove)
        onMouseMove(m_pressedOnPaintArea, toPaintArea(event->position()));
    event->accept();
}

void GridView::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressedOnPaintArea &= event->buttons();
    event->accept();
}

void GridView::updateScrollBars()
{
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_paintArea.width() - view.width()));
    verticalScrollBar()->setRange(0, std::max(0, m_paintArea.height() - view.height()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setPageStep(view.height());
}
