#include "ui/Effects1.h"

TDisplayForm *DisplayForm = nullptr;

TDisplayForm::TDisplayForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("DisplayForm");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    move(527, 278);
    resize(104, 109);
}

void TDisplayForm::setSwatchColor(model::TColor color)
{
    m_swatch = color;
    update();
}
