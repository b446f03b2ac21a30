#include "ui/GridView.h"

#include <QPainter>
#include <QScrollBar>

GridView::GridView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("MainScrollBox"));
    viewport()->setObjectName(QStringLiteral("MainPaintBox"));
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
    viewport()->update();
}

void GridView::repaintAll()
{
    viewport()->update();
}

void GridView::paintEvent(QPaintEvent *)
{
}

void GridView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void GridView::updateScrollBars()
{
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_paintArea.width() - view.width()));
    verticalScrollBar()->setRange(0, std::max(0, m_paintArea.height() - view.height()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setPageStep(view.height());
}
