#pragma once
// The cursor read-out tool window: stitch and row under the pointer and a
// swatch of the current colour.

#include "model/Pattern.h"

#include <QWidget>

class QFrame;
class QLabel;

class TDisplayForm : public QWidget {
    Q_OBJECT

public:
    explicit TDisplayForm(QWidget *parent = nullptr);

    void setSwatchColor(model::TColor color);
    model::TColor swatchColor() const { return m_swatch; }
    // The user-facing stitch and row numbers under the pointer.
    void showPosition(int stitchNumber, int rowNumber);

    QWidget *ClientArea = nullptr; // below the title bar, holding the controls
    QFrame *Bevel = nullptr;
    QWidget *Shape = nullptr; // the swatch
    QLabel *Label1 = nullptr; // "Петля:"
    QLabel *Label2 = nullptr; // "Ряд:"
    QLabel *Label3 = nullptr; // row number
    QLabel *Label4 = nullptr; // stitch number

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();

    model::TColor m_swatch = model::White;
};

extern TDisplayForm *DisplayForm;
