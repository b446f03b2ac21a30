#include "support/ModalGuard.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

void whenModalUp(std::function<void(QWidget &)> user)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, user = std::move(user)] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (!modal && ++*tries < 500)
            return;
        poll->stop();
        poll->deleteLater();
        if (!modal) {
            ADD_FAILURE() << "no modal window came up";
            return;
        }
        user(*modal);
        if (!modal || !modal->isVisible())
            return;
        ADD_FAILURE() << "the modal window " << modal->objectName().toStdString() << " was left open";
        if (auto *dialog = qobject_cast<QDialog *>(modal.data()))
            dialog->reject();
        else
            modal->close();
    });
    poll->start();
}
