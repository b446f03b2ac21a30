#pragma once
// The new-pattern dialog: asks for the stitch and row counts.

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class WholeNumberField;
class TMainForm;
class UserDialogs;

class TNewForm : public QDialog {
    Q_OBJECT

public:
    // Owned by `owner`, whose pattern and yarn list it works on.
    TNewForm(TMainForm &owner, UserDialogs &dialogs);

    // 1 once a pattern was made, 0 when cancelled; the caller resets it.
    int ModalResult = 0;

    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label2 = nullptr;
    WholeNumberField *CSpinEdit2 = nullptr; // stitches
    QLabel *Label1 = nullptr;
    WholeNumberField *CSpinEdit1 = nullptr; // rows
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

    void OKButtonClick();
    void CancelButtonClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    TMainForm &m_owner;
    UserDialogs &m_dialogs;
};

extern TNewForm *NewForm;
