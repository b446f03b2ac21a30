#include "ui/Main.h"

void TMainForm::CB1MenuClick()
{
}

void TMainForm::PicSizeMenuClick()
{
}

void TMainForm::AppendJournalCode(char)
{
}

void TMainForm::UndoMenuClick()
{
}
