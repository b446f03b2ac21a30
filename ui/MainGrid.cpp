#include "ui/GridView.h"
#include "ui/Main.h"

void TMainForm::DrawGrid()
{
    MainScrollBox->repaintAll();
}

void TMainForm::Zoom(int newPitch)
{
    CellPitch = newPitch;
}

void TMainForm::CBZoomChange()
{
}

void TMainForm::BZoomPlusClick()
{
}

void TMainForm::BZoomMinusClick()
{
}

void TMainForm::MainPaintBoxMouseDown(Qt::MouseButton, Qt::MouseButtons, int, int)
{
}

void TMainForm::MainPaintBoxMouseMove(Qt::MouseButtons, int, int)
{
}

void TMainForm::SizePaintArea(int width, int height)
{
    MainScrollBox->setPaintAreaSize(width, height);
}

void TMainForm::RefreshAfterTransform()
{
    SizePaintArea(Pattern.StitchCount * (CellPitch - 1), Pattern.RowCount * (CellPitch - 1));
    DrawGrid();
}
