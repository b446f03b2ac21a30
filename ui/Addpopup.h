#pragma once
// The add-yarn dialog.

#include <QDialog>

class TAddFromPopupForm : public QDialog {
    Q_OBJECT

public:
    explicit TAddFromPopupForm(QWidget *parent = nullptr);
};

extern TAddFromPopupForm *AddFromPopupForm;
