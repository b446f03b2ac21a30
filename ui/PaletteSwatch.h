#pragma once
// One of the 16 tool-bar colour swatches: a lowered 22 x 22 panel showing a
// palette slot's colour.

#include "model/Pattern.h"

#include <QFrame>

class PaletteSwatch : public QFrame {
    Q_OBJECT

public:
    PaletteSwatch(int slot, QWidget *parent = nullptr);

    int slot() const { return m_slot; }
    model::TColor color() const { return m_color; }
    void setColor(model::TColor color);

signals:
    void clicked(PaletteSwatch *swatch);
    void doubleClicked(PaletteSwatch *swatch);
    void mousePressed(PaletteSwatch *swatch, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int m_slot;
    model::TColor m_color = model::White;
    bool m_doubleClicked = false;
};
