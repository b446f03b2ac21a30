#include "ui/Reformat.h"

TReFormatForm *ReFormatForm = nullptr;

TReFormatForm::TReFormatForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("ReFormatForm");
    setWindowTitle(QStringLiteral("Изменение размера рисунка"));
    resize(321, 180);
}
