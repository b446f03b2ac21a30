#include "ui/New.h"

#include "model/Pattern.h"
#include "ui/DialogParts.h"
#include "ui/Main.h"
#include "ui/Messages.h"
#include "ui/WholeNumberField.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TNewForm *NewForm = nullptr;

TNewForm::TNewForm(TMainForm &owner, UserDialogs &dialogs)
    : QDialog(&owner)
    , m_owner(owner)
    , m_dialogs(dialogs)
{
    setUpFixedDialog(*this, "NewForm", QStringLiteral("Новый рисунок"), QSize(233, 146));

    GroupBox1 = new QGroupBox(QStringLiteral(" Задайте количество "), this);
    GroupBox1->setGeometry(8, 8, 217, 89);

    // A count field with the label that names it, on one line of the group.
    auto addCountField
        = [this](QLabel *&label, const QString &caption, const char *name, int top, int maximum, int value) {
              label = new QLabel(caption, GroupBox1);
              label->setGeometry(16, top + 4, 60, 16);
              auto *field = new WholeNumberField(1, maximum, value, GroupBox1);
              field->setObjectName(QString::fromLatin1(name));
              field->setGeometry(96, top, 105, 24);
              label->setBuddy(field);
              field->setAccessibleName(caption);
              return field;
          };
    CSpinEdit2 = addCountField(Label2, QStringLiteral("Петель"), "CSpinEdit2", 22, 400, 24);
    CSpinEdit1 = addCountField(Label1, QStringLiteral("Рядов"), "CSpinEdit1", 54, 800, 100);
    CSpinEdit1->installEventFilter(this);

    OKButton = addDialogButton(this, "OKButton", QStringLiteral("OK"), QRect(32, 109, 75, 25));
    OKButton->setDefault(true);
    CancelButton = addDialogButton(this, "CancelButton", QStringLiteral("Отмена"), QRect(126, 109, 75, 25));

    setTabOrder(CSpinEdit2, CSpinEdit1);
    setTabOrder(CSpinEdit1, OKButton);
    setTabOrder(OKButton, CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &TNewForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TNewForm::CancelButtonClick);
}

void TNewForm::OKButtonClick()
{
    const int rows = CSpinEdit1->readValue();
    const int stitches = CSpinEdit2->readValue();
    if (const model::Outcome<> made = model::CreateBlank(m_owner.Pattern, stitches, rows); !made.ok()) {
        // The dialog stays open, so smaller counts can be tried.
        ReportFailure(m_dialogs, made.failure(), Activity::Creating);
        return;
    }
    ModalResult = 1;
    done(1);
}

void TNewForm::CancelButtonClick()
{
    ModalResult = 0;
    done(0);
}

bool TNewForm::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the row field makes the pattern, as OK does.
    if (watched == CSpinEdit1 && isEnterKeyPress(event)) {
        OKButtonClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TNewForm::showEvent(QShowEvent *event)
{
    centreOnDesktop(*this);
    CSpinEdit2->setFocus();
    QDialog::showEvent(event);
}
