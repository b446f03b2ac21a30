#include "support/WindowFixture.h"

#include "ui/New.h"
#include "ui/WholeNumberField.h"

#include <QLineEdit>

void WindowTest::SetUp()
{
    static_cast<PurlwiseApplication *>(QCoreApplication::instance())->setDialogs(&dialogs);
    windows = std::make_unique<ApplicationWindows>(dialogs);
    form = &windows->main();
    form->show();
}

void WindowTest::TearDown()
{
    windows.reset();
    static_cast<PurlwiseApplication *>(QCoreApplication::instance())->setDialogs(nullptr);
}

void WindowTest::newPattern(int stitches, int rows)
{
    if (form->Pattern.exists())
        dialogs.messageAnswers.push_back(QMessageBox::No);
    dialogs.modalHandlers.push_back([stitches, rows](QDialog &) {
        NewForm->CSpinEdit2->lineEdit()->setText(QString::number(stitches));
        NewForm->CSpinEdit1->lineEdit()->setText(QString::number(rows));
        NewForm->OKButtonClick();
        return NewForm->result();
    });
    form->MenuNewClick();
}
