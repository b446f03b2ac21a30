#include "ui/Main.h"

void TMainForm::MenuOpenClick()
{
}

bool TMainForm::MenuSaveClick()
{
    return false;
}
