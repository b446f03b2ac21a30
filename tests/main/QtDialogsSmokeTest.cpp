// The one test that runs a real modal loop: the Qt message box behind the
// dialogs interface shows the caption, text, icon and Russian buttons asked
// for and reports the button pressed.
#include "ui/UserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

TEST(QtUserDialogs, MessageBoxShowsWhatWasAskedAndReturnsTheAnswer)
{
    QtUserDialogs dialogs;
    QString caption, text, noButtonText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
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
