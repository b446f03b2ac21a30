#include "ui/Addpopup.h"

#include "model/YarnList.h"
#include "ui/ColourConversion.h"
#include "ui/DialogParts.h"
#include "ui/Main.h"
#include "ui/Messages.h"
#include "ui/PaletteSwatch.h"
#include "ui/UserDialogs.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TAddFromPopupForm *AddFromPopupForm = nullptr;

namespace {

QFont boldFont(QFont font)
{
    font.setBold(true);
    font.setPixelSize(13);
    return font;
}

} // namespace

TAddFromPopupForm::TAddFromPopupForm(TMainForm &owner, UserDialogs &dialogs)
    : QDialog(&owner)
    , m_owner(owner)
    , m_dialogs(dialogs)
{
    setUpFixedDialog(*this, "AddFromPopupForm", QString(), QSize(273, 109));

    Label1 = addLabelAt(this, "Label1", QStringLiteral("Цвет"), boldFont(font()), QPoint(15, 10));

    Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setGeometry(63, 6, 57, 25);
    Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel->setAutoFillBackground(true);

    Label = addLabelAt(this, "Label", QStringLiteral("Название пряжи"), boldFont(font()), QPoint(133, 10));

    Edit = new QLineEdit(this);
    Edit->setObjectName(QStringLiteral("Edit"));
    Edit->setGeometry(8, 42, 257, 21);
    Edit->setAccessibleName(Label->text());
    Edit->installEventFilter(this);
    // The yarn list file gives back whole only names of up to this many bytes.
    Edit->setMaxLength(int(model::YarnLineLimit) - 2);
    Label->setBuddy(Edit);

    OKButton = addDialogButton(this, "OKButton", QStringLiteral("OK"), QRect(40, 74, 75, 25));
    CancelButton = addDialogButton(this, "CancelButton", QStringLiteral("Отмена"), QRect(157, 74, 75, 25));
    // Enter belongs to the name field's own handler, not to a default button.
    OKButton->setAutoDefault(false);
    CancelButton->setAutoDefault(false);

    setTabOrder(Edit, OKButton);
    setTabOrder(OKButton, CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &TAddFromPopupForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TAddFromPopupForm::CancelButtonClick);
}

void TAddFromPopupForm::FormActivate()
{
    Edit->clear();
    QPalette colours = Panel->palette();
    colours.setColor(QPalette::Window, toQColor(YarnColor));
    Panel->setPalette(colours);
    Edit->setFocus();
}

void TAddFromPopupForm::OKButtonClick()
{
    // Only a truly empty name is refused; a name of spaces is a name.
    if (Edit->text().isEmpty()) {
        m_dialogs.message(
            this, Messages::WarningCaption, Messages::NoYarnName, QMessageBox::Ok, UserDialogs::Icon::Warning);
        Edit->setFocus();
        return;
    }
    if (!TMainForm::YarnNameStorable(Edit->text())) {
        m_dialogs.message(
            this, Messages::WarningCaption, Messages::YarnNameNotStorable, QMessageBox::Ok, UserDialogs::Icon::Warning);
        Edit->setFocus();
        return;
    }
    m_owner.AddYarnItem(Edit->text(), YarnColor);
    done(1);
}

void TAddFromPopupForm::CancelButtonClick()
{
    done(0);
}

bool TAddFromPopupForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit && isEnterKeyPress(event)) {
        OKButtonClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAddFromPopupForm::showEvent(QShowEvent *event)
{
    centreOnDesktop(*this);
    QDialog::showEvent(event);
    FormActivate();
}
