#pragma once
// The scroll area and its paint surface. The surface is virtual: its logical
// size is the paint-area size, and only the exposed part is ever rendered, so
// the largest patterns scroll without a widget millions of pixels tall.

#include "model/Pattern.h"

#include <QAbstractScrollArea>
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
    void repaintAll();

    // Mouse events in paint-area pixels (scroll offset added).
    std::function<void(Qt::MouseButton button, Qt::MouseButtons held, QPoint position)> onMouseDown;
    std::function<void(Qt::MouseButtons held, QPoint position)> onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateScrollBars();

    const model::Pattern *m_pattern = nullptr;
    int m_pitch = 20;
    QSize m_paintArea;
};
