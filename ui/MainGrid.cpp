#include "model/GridGeometry.h"
#include "ui/Effects1.h"
#include "ui/GridView.h"
#include "ui/Main.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <climits>
#include <cmath>

int TMainForm::CellPitch() const
{
    return MainScrollBox->cellPitch();
}

void TMainForm::setCellPitch(int pitch)
{
    MainScrollBox->setCellPitch(pitch);
}

void TMainForm::DrawGrid()
{
    MainScrollBox->repaintAll();
}

void TMainForm::Zoom(int newPitch)
{
    const int oldPitch = CellPitch();
    QScrollBar *vertical = MainScrollBox->verticalScrollBar();
    const int oldPosition = vertical->value();
    // Without a pattern only the pitch changes; the paint area stays 0 x 0.
    if (!Pattern.exists()) {
        setCellPitch(newPitch);
        return;
    }
    const auto area = model::paintAreaFor(Pattern.StitchCount, Pattern.RowCount, newPitch);
    if (!area || newPitch < 2)
        return;
    setCellPitch(newPitch);
    SizePaintArea(area->width, area->height);
    MainScrollBox->setLineStep(newPitch - 1);
    if (oldPitch > 0)
        vertical->setValue(int(std::trunc(double(newPitch) * oldPosition / oldPitch)));
    DrawGrid();
}

void TMainForm::CBZoomChange()
{
    Zoom(CBZoom->currentText().toInt() / 5);
}

void TMainForm::BZoomPlusClick()
{
    const int pitch = CellPitch();
    if (!Pattern.exists()) {
        if (pitch < INT_MAX)
            setCellPitch(pitch + 1);
        return;
    }
    // Scroll positions are 32-bit: the paint area must stay within them.
    if (pitch >= model::largestPitchFor(Pattern.StitchCount, Pattern.RowCount))
        return;
    // The pitch moves first, so Zoom keeps the scroll position as it is.
    setCellPitch(pitch + 1);
    Zoom(pitch + 1);
    StatusPanels[1]->setText(QString::number(CellPitch()));
}

void TMainForm::BZoomMinusClick()
{
    const int pitch = CellPitch();
    if (pitch <= 5)
        return;
    setCellPitch(pitch - 1);
    if (!Pattern.exists())
        return;
    Zoom(pitch - 1);
    StatusPanels[1]->setText(QString::number(CellPitch()));
}

void TMainForm::paintCell(int s, int r, model::TColor colour)
{
    Pattern.at(s, r) = colour;
    MainScrollBox->repaintCell({ s, r });
}

void TMainForm::MainPaintBoxMouseDown(Qt::MouseButton button, Qt::MouseButtons, int X, int Y)
{
    if (!PatternOpen || !Pattern.exists())
        return;
    SetModified();
    const auto cell = model::cellAt(Pattern.StitchCount, Pattern.RowCount, CellPitch(), X, Y);
    if (!cell)
        return;
    if (button == Qt::LeftButton)
        paintCell(cell->s, cell->r, CurrentColor);
    else if (button == Qt::RightButton)
        paintCell(cell->s, cell->r, model::White);
}

void TMainForm::MainPaintBoxMouseMove(Qt::MouseButtons held, int X, int Y)
{
    if (!PatternOpen || !Pattern.exists())
        return;
    const QPoint origin = MainScrollBox->scrollOffset();
    const QSize view = MainScrollBox->viewport()->size();
    // The visible window, its far edges included.
    if (qint64(X) < origin.x() || qint64(X) > qint64(origin.x()) + view.width() || qint64(Y) < origin.y()
        || qint64(Y) > qint64(origin.y()) + view.height())
        return;
    const auto cell = model::cellAt(Pattern.StitchCount, Pattern.RowCount, CellPitch(), X, Y);
    if (!cell)
        return;
    if (held & Qt::RightButton)
        paintCell(cell->s, cell->r, model::White);
    else if (held & Qt::LeftButton)
        paintCell(cell->s, cell->r, CurrentColor);
    if (DisplayForm)
        DisplayForm->showPosition(model::StitchNumber(cell->s), model::RowNumber(Pattern, cell->r));
}

void TMainForm::connectGridView()
{
    MainScrollBox->onMouseDown = [this](Qt::MouseButton button, Qt::MouseButtons held, QPoint position) {
        MainPaintBoxMouseDown(button, held, position.x(), position.y());
    };
    MainScrollBox->onMouseMove
        = [this](Qt::MouseButtons held, QPoint position) { MainPaintBoxMouseMove(held, position.x(), position.y()); };
}

void TMainForm::SizePaintArea(int width, int height)
{
    MainScrollBox->setPaintAreaSize(width, height);
}

void TMainForm::RefreshAfterTransform()
{
    if (!Pattern.exists()) {
        SizePaintArea(0, 0);
        return;
    }
    // A transformation can outgrow the 32-bit paint area at a large pitch.
    setCellPitch(std::min(CellPitch(), model::largestPitchFor(Pattern.StitchCount, Pattern.RowCount)));
    const auto area = model::paintAreaFor(Pattern.StitchCount, Pattern.RowCount, CellPitch());
    SizePaintArea(area->width, area->height);
    DrawGrid();
}

void TMainForm::AfterTransform(bool coloursInverted)
{
    if (coloursInverted)
        update();
    RefreshAfterTransform();
    SetModified();
}
