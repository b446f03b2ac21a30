#include "ui/Effects.h"

TEffectsForm *EffectsForm = nullptr;

TEffectsForm::TEffectsForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("EffectsForm");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
    move(527, 120);
    resize(115, 130);
}

void TEffectsForm::setOperationsEnabled(bool)
{
}
