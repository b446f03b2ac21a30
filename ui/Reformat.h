#pragma once
// The resize dialog: new row and stitch counts, and on which side rows and
// stitches are added or removed.

#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class WholeNumberField;
class TMainForm;
class UserDialogs;

class TReFormatForm : public QDialog {
    Q_OBJECT

public:
    // Owned by `owner`; messages go to `dialogs`.
    TReFormatForm(TMainForm &owner, UserDialogs &dialogs);

    QLabel *Label1 = nullptr;
    QLabel *RowLabel = nullptr;
    QLabel *Label4 = nullptr;
    WholeNumberField *CSpinEdit2 = nullptr; // rows
    QLabel *Label3 = nullptr;
    QLabel *LoopLabel = nullptr;
    QLabel *Label2 = nullptr;
    WholeNumberField *CSpinEdit4 = nullptr; // stitches
    // Rows: item 0 "Сверху", item 1 "Снизу".
    QGroupBox *RadioGroup = nullptr;
    std::array<QRadioButton *, 2> RadioGroupItems {};
    // Stitches: item 0 "Справа", item 1 "Слева".
    QGroupBox *RadioGroup1 = nullptr;
    std::array<QRadioButton *, 2> RadioGroup1Items {};
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

    void FormActivate();
    void CSpinEdit2Change();
    void CSpinEdit4Change();
    void OKButtonClick();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void placeCountLines();

    TMainForm &m_owner;
    UserDialogs &m_dialogs;
    int m_fieldWidth = 64;
    bool m_countLinesPlaced = false;
};

extern TReFormatForm *ReFormatForm;
