#include "ui/Addpopup.h"

TAddFromPopupForm *AddFromPopupForm = nullptr;

TAddFromPopupForm::TAddFromPopupForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("AddFromPopupForm");
    setWindowTitle(QStringLiteral(""));
    resize(273, 109);
}
