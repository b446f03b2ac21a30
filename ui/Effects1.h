#pragma once
// The cursor read-out tool window: stitch and row under the pointer and a
// swatch of the current colour.

#include "model/Pattern.h"

#include <QWidget>

class TDisplayForm : public QWidget {
    Q_OBJECT

public:
    explicit TDisplayForm(QWidget *parent = nullptr);

    void setSwatchColor(model::TColor color);
    model::TColor swatchColor() const { return m_swatch; }

private:
    model::TColor m_swatch = model::White;
};

extern TDisplayForm *DisplayForm;
