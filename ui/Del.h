#pragma once
// The delete-yarn dialog.

#include <QDialog>

class TDelForm : public QDialog {
    Q_OBJECT

public:
    explicit TDelForm(QWidget *parent = nullptr);
};

extern TDelForm *DelForm;
