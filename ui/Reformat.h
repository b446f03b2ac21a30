#pragma once
// The resize dialog.

#include <QDialog>

class TReFormatForm : public QDialog {
    Q_OBJECT

public:
    explicit TReFormatForm(QWidget *parent = nullptr);
};

extern TReFormatForm *ReFormatForm;
