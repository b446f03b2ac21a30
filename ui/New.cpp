#include "ui/New.h"

#include "model/Pattern.h"
#include "ui/Main.h"
#include "ui/WholeNumberField.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TNewForm *NewForm = nullptr;

TNewForm::TNewForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("NewForm"));
    setWindowTitle(QStringLiteral("Новый рисунок"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(233, 146);

    GroupBox1 = new QGroupBox(QStringLiteral(" Задайте количество "), this);
    GroupBox1->setGeometry(8, 8, 217, 89);

    Label2 = new QLabel(QStringLiteral("Петель"), GroupBox1);
    Label2->setGeometry(16, 26, 60, 16);
    CSpinEdit2 = new WholeNumberField(1, 400, 24, GroupBox1);
    CSpinEdit2->setObjectName(QStringLiteral("CSpinEdit2"));
    CSpinEdit2->setGeometry(96, 22, 105, 24);
    Label2->setBuddy(CSpinEdit2);
    CSpinEdit2->setAccessibleName(Label2->text());

    Label1 = new QLabel(QStringLiteral("Рядов"), GroupBox1);
    Label1->setGeometry(16, 58, 60, 16);
    CSpinEdit1 = new WholeNumberField(1, 800, 100, GroupBox1);
    CSpinEdit1->setObjectName(QStringLiteral("CSpinEdit1"));
    CSpinEdit1->setGeometry(96, 54, 105, 24);
    Label1->setBuddy(CSpinEdit1);
    CSpinEdit1->setAccessibleName(Label1->text());
    CSpinEdit1->installEventFilter(this);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(32, 109, 75, 25);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(126, 109, 75, 25);

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
    model::CreateBlank(MainForm->Pattern, stitches, rows);
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
    if (watched == CSpinEdit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKButtonClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TNewForm::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = this->screen())
        move(screen->geometry().center() - rect().center());
    CSpinEdit2->setFocus();
    QDialog::showEvent(event);
}
