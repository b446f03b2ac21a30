// The one test that runs a real modal loop: the Qt message box behind the
// dialogs interface shows the caption, text, icon and Russian buttons asked
// for and reports the button pressed.
#include "support/ModalGuard.h"
#include "ui/UserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

TEST(QtUserDialogs, MessageBoxShowsWhatWasAskedAndReturnsTheAnswer)
{
    QtUserDialogs dialogs;
    QString caption, text, noButtonText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModalUp([&](QWidget &modal) {
        auto *box = qobject_cast<QMessageBox *>(&modal);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        QAbstractButton *no = box->button(QMessageBox::No);
        ASSERT_NE(no, nullptr);
        noButtonText = no->text();
        no->click();
    });
    const auto answer = dialogs.message(nullptr, QStringLiteral("Выход"), QStringLiteral("Сохранить?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, UserDialogs::Icon::Question);
    EXPECT_EQ(answer, QMessageBox::No);
    EXPECT_EQ(caption, QStringLiteral("Выход"));
    EXPECT_EQ(text, QStringLiteral("Сохранить?"));
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(noButtonText, QStringLiteral("&Нет"));
}

TEST(QtUserDialogs, ModalLeftOpenByAFailedStepIsClosedAndFailsTheTest)
{
    QtUserDialogs dialogs;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    EXPECT_NONFATAL_FAILURE(
        {
            whenModalUp([](QWidget &) {});
            answer = dialogs.message(nullptr, QStringLiteral("Выход"), QStringLiteral("Сохранить?"),
                QMessageBox::Yes | QMessageBox::No, UserDialogs::Icon::Question);
        },
        "was left open");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_NE(answer, QMessageBox::Yes);
}
