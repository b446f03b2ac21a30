#pragma once
// The print preview.

#include <QDialog>

class TPreviewForm : public QDialog {
    Q_OBJECT

public:
    explicit TPreviewForm(QWidget *parent = nullptr);
};

extern TPreviewForm *PreviewForm;
