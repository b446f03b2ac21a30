#include "ui/PictureView.h"

#include <QPaintEvent>
#include <QPainter>

PictureView::PictureView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::setPicture(const Picture &picture)
{
    m_picture = picture;
    resize(picture.size());
    update();
}

void PictureView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    for (const QRect &area : event->region())
        m_picture.paint(painter, area);
}
