#include "ui/About.h"

TAboutForm *AboutForm = nullptr;

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("AboutForm");
    setWindowTitle(QStringLiteral("О программе..."));
    resize(299, 306);
}
