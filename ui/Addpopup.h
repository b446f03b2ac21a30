#pragma once
// The add-yarn dialog: names the colour of the slot the yarn menu was opened
// on and appends it to the yarn list.

#include "model/Pattern.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TMainForm;
class UserDialogs;

class TAddFromPopupForm : public QDialog {
    Q_OBJECT

public:
    // Owned by `owner`; messages go to `dialogs`.
    TAddFromPopupForm(TMainForm &owner, UserDialogs &dialogs);

    // The colour of the yarn to add; every right press on a swatch sets it.
    model::TColor YarnColor = model::White;

    QLabel *Label1 = nullptr;
    QFrame *Panel = nullptr;
    QLabel *Label = nullptr;
    QLineEdit *Edit = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

    void FormActivate();
    void OKButtonClick();
    void CancelButtonClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    TMainForm &m_owner;
    UserDialogs &m_dialogs;
};

extern TAddFromPopupForm *AddFromPopupForm;
