#pragma once
// The title bar of a tool window the window manager does not decorate: a
// strip in the style's small title-bar look, with no caption and no buttons,
// that moves its window when dragged. Some window managers (openbox among
// them) put close and minimise buttons on every frame they draw whatever the
// hints ask, so a title bar without them has to be the window's own.

#include <QPoint>
#include <QWidget>
#include <optional>

class ToolTitleStrip : public QWidget {
public:
    // The owner lays it out across the top of `window`, which should be frameless.
    explicit ToolTitleStrip(QWidget &window);

    // The height of the owner's title bar, else the style's for a tool window;
    // set again each time the strip is shown.
    int stripHeight() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Where the pointer holds the window while this strip moves it itself.
    std::optional<QPoint> m_grip;
};
