#pragma once
// The reference picture window.

#include <QWidget>

class TPictureForm : public QWidget {
    Q_OBJECT

public:
    explicit TPictureForm(QWidget *parent = nullptr);
};

extern TPictureForm *PictureForm;
