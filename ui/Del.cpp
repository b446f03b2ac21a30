#include "ui/Del.h"

TDelForm *DelForm = nullptr;

TDelForm::TDelForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("DelForm");
    setWindowTitle(QStringLiteral("Удаление шерсти из списка"));
    resize(297, 343);
}
