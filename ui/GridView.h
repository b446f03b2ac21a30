#pragma once
// The scroll area and its paint surface. The surface is virtual: its logical
// size is the paint-area size, and only the exposed part is ever rendered, so
// the largest patterns scroll without a widget millions of pixels tall.

#include "model/GridGeometry.h"
#include "model/Pattern.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <functional>

class GridView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit GridView(QWidget *parent = nullptr);

    // The pattern drawn; nullptr or a pattern without cells draws nothing.
    void setPattern(const model::Pattern *pattern);
    void setCellPitch(int pitch);
    int cellPitch() const { return m_pitch; }
    // The paint area's size, which is also the scroll range.
    void setPaintAreaSize(int width, int height);
    QSize paintAreaSize() const { return m_paintArea; }
    // The distance one click on a scroll arrow moves, for both bars.
    void setLineStep(int pixels);
    // Top-left of the visible window, in paint-area pixels.
    QPoint scrollOffset() const;
    QPoint toPaintArea(QPointF viewportPosition) const;
    void repaintAll();
    // Repaints the one cell's square where it is in view.
    void repaintCell(model::CellIndex cell);

    // Renders the paint-area pixels of `area` into image with area's top-left at `at`.
    void renderArea(const QRect &area, QImage &image, QPoint at) const;
    QColor backgroundColor() const;

    // Mouse events in paint-area pixels (scroll offset added). A press is
    // reported only on the paint area; moves anywhere over the view, and
    // beyond it while a button pressed on it is held. A move reports as held
    // only the buttons pressed on the paint area: a drag that starts beside
    // the grid paints nothing.
    std::function<void(Qt::MouseButton button, Qt::MouseButtons held, QPoint position)> onMouseDown;
    std::function<void(Qt::MouseButtons held, QPoint position)> onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void updateScrollBars();

    const model::Pattern *m_pattern = nullptr;
    int m_pitch = 20;
    QSize m_paintArea;
    Qt::MouseButtons m_pressedOnPaintArea;
};
