#pragma once
// The add-yarn dialog: names the colour of the slot the yarn menu was opened
// on and appends it to the yarn list.

#include "model/Pattern.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class TAddFromPopupForm : public QDialog {
    Q_OBJECT

public:
    explicit TAddFromPopupForm(QWidget *parent = nullptr);

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
};

extern TAddFromPopupForm *AddFromPopupForm;
