#pragma once
// The reference picture at its natural size. It paints only the exposed part,
// so a metafile's drawing costs what the window shows, not its whole size.

#include "picture/PictureDecode.h"

#include <QWidget>

class PictureView : public QWidget {
public:
    explicit PictureView(QWidget *parent = nullptr);

    // Takes the picture's size as its own.
    void setPicture(const Picture &picture);
    const Picture &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Picture m_picture;
};
