#pragma once
// The delete-yarn dialog: lists the yarn names; each deletion is saved at once.

#include <QDialog>

class QListWidget;
class QPushButton;
class TMainForm;

class TDelForm : public QDialog {
    Q_OBJECT

public:
    // Owned by `owner`, whose pattern and yarn list it works on.
    explicit TDelForm(TMainForm &owner);

    QListWidget *ListBox = nullptr;
    QPushButton *DelButton = nullptr;
    QPushButton *OKButton = nullptr;

    void FormActivate();
    void DelButtonClick();
    void OKButtonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TMainForm &m_owner;
};

extern TDelForm *DelForm;
