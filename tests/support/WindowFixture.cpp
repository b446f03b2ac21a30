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

bool WindowTest::showsPicture(QWidget &widget, const QImage &picture)
{
    const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage wanted = picture.convertToFormat(QImage::Format_ARGB32);
    const auto matchesAt = [&](int left, int top) {
        for (int y = 0; y < wanted.height(); ++y)
            for (int x = 0; x < wanted.width(); ++x)
                if (qAlpha(wanted.pixel(x, y)) == 255 && shown.pixel(left + x, top + y) != wanted.pixel(x, y))
                    return false;
        return true;
    };
    for (int top = 0; top + wanted.height() <= shown.height(); ++top)
        for (int left = 0; left + wanted.width() <= shown.width(); ++left)
            if (matchesAt(left, top))
                return true;
    return false;
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
