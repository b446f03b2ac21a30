#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

QMessageBox::StandardButton ScriptedDialogs::message(
    QWidget *, const QString &caption, const QString &text, QMessageBox::StandardButtons buttons, Icon icon)
{
    messages.push_back({ caption, text, buttons, icon });
    if (messageAnswers.empty()) {
        ADD_FAILURE() << "unexpected message: " << text.toStdString();
        return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
    }
    const auto answer = messageAnswers.front();
    messageAnswers.pop_front();
    EXPECT_TRUE(buttons.testFlag(answer)) << "answer not offered for: " << text.toStdString();
    return answer;
}

QString ScriptedDialogs::openFileName(QWidget *, const FileDialogRequest &request)
{
    openRequests.push_back(request);
    if (openAnswers.empty()) {
        ADD_FAILURE() << "unexpected open dialog";
        return {};
    }
    const QString answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::saveFileName(QWidget *, const FileDialogRequest &request)
{
    saveRequests.push_back(request);
    if (saveAnswers.empty()) {
        ADD_FAILURE() << "unexpected save dialog";
        return {};
    }
    const QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

std::optional<QColor> ScriptedDialogs::chooseColor(QWidget *parent, const QColor &initial)
{
    if (colorDialogs)
        return colorDialogs->chooseColor(parent, initial);
    if (colorAnswers.empty()) {
        ADD_FAILURE() << "unexpected colour dialog";
        return std::nullopt;
    }
    const auto answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer;
}

int ScriptedDialogs::runModal(QDialog &dialog)
{
    modalWindows.push_back(dialog.objectName());
    if (modalHandlers.empty()) {
        ADD_FAILURE() << "unexpected modal window " << dialog.objectName().toStdString();
        return 0;
    }
    auto handler = std::move(modalHandlers.front());
    modalHandlers.pop_front();
    // Shown as a real window so activation and show events run, without a modal loop.
    dialog.show();
    QCoreApplication::processEvents();
    const int result = handler(dialog);
    dialog.hide();
    return result;
}

bool ScriptedDialogs::printDialog(QWidget *, QPrinter &)
{
    ++printDialogRuns;
    if (printAnswers.empty()) {
        ADD_FAILURE() << "unexpected print dialog";
        return false;
    }
    const bool answer = printAnswers.front();
    printAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::printerSetupDialog(QWidget *, QPrinter &printer)
{
    printerSetupRuns.push_back(&printer);
}

bool ScriptedDialogs::allAnswersUsed() const
{
    return messageAnswers.empty() && openAnswers.empty() && saveAnswers.empty() && colorAnswers.empty()
        && modalHandlers.empty() && printAnswers.empty();
}

std::function<int(QDialog &)> clickButton(const QString &buttonName)
{
    return [buttonName](QDialog &dialog) {
        auto *button = dialog.findChild<QAbstractButton *>(buttonName);
        if (!button) {
            ADD_FAILURE() << "no button " << buttonName.toStdString();
            return 0;
        }
        QTest::mouseClick(button, Qt::LeftButton);
        return dialog.result();
    };
}

std::function<int(QDialog &)> closeByCloseBox()
{
    return [](QDialog &dialog) {
        dialog.close();
        return dialog.result();
    };
}
