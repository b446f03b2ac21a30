#include "ui/Preview.h"

TPreviewForm *PreviewForm = nullptr;

TPreviewForm::TPreviewForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("PreviewForm");
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    resize(792, 529);
}
