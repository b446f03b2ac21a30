#include "ui/Picture.h"

TPictureForm *PictureForm = nullptr;

TPictureForm::TPictureForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("PictureForm");
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint);
    move(583, 72);
    setWindowTitle(QStringLiteral("Двойной клик для загрузки рисунка"));
    resize(223, 506);
}
