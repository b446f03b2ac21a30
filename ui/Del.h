#pragma once
// The delete-yarn dialog: lists the yarn names; each deletion is saved at once.

#include <QDialog>

class QListWidget;
class QPushButton;

class TDelForm : public QDialog {
    Q_OBJECT

public:
    explicit TDelForm(QWidget *parent = nullptr);

    QListWidget *ListBox = nullptr;
    QPushButton *DelButton = nullptr;
    QPushButton *OKButton = nullptr;

    void FormActivate();
    void DelButtonClick();
    void OKButtonClick();

protected:
    void showEvent(QShowEvent *event) override;
};

extern TDelForm *DelForm;
