#include "picture/PictureDecode.h"

#include <QPainter>

void Picture::paint(QPainter &painter, const QRect &area) const
{
    const QRect shown = area & QRect(QPoint(0, 0), m_size);
    if (shown.isEmpty())
        return;
    if (!m_drawing) {
        painter.drawImage(shown.topLeft(), m_image, shown);
        return;
    }
    painter.save();
    painter.setClipRect(shown);
    painter.fillRect(shown, Qt::white);
    painter.drawPicture(0, 0, *m_drawing);
    painter.restore();
}

QImage Picture::toImage() const
{
    if (!m_drawing)
        return m_image;
    QImage image(m_size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    paint(painter, image.rect());
    return image;
}
