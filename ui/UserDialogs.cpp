#include "ui/UserDialogs.h"

#include "ui/Printing.h"

#include <QApplication>
#include <QColorDialog>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFileDialog>
#include <QPointer>
#include <QWindow>

namespace {

// When a modal window closes, the window manager gives the keyboard to the
// main window. The user goes on where they were: in the window that was
// active before, with its caret where it was.
class FocusReturn {
public:
    FocusReturn()
    {
        // Right after another modal window, the keyboard may not be back yet
        // where that one sent it (nowhere, or still with the owner); that
        // window is still the one to go back to.
        const Target &last = lastTarget();
        QWidget *active = QApplication::activeWindow();
        if (last.window && !last.until.hasExpired() && (!active || active == ownerOf(*last.window)))
            m_target = last;
        else
            m_target = { active, QApplication::focusWidget(), {} };
    }
    ~FocusReturn()
    {
        QWidget *window = m_target.window;
        if (!window || !window->isVisible())
            return;
        activate(m_target);
        lastTarget() = { m_target.window, m_target.widget, QDeadlineTimer(2000) };
        // A window manager may hand the keyboard to the owner after our request
        // (openbox does when the modal window's unmapping is processed late):
        // while the target has not had it back, that hand-over is undone.
        auto *watch = new QObject(window);
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, watch,
            [watch, target = m_target, until = QDeadlineTimer(1000)](QWindow *focused) {
                QWidget *window = target.window;
                if (!window || focused == window->windowHandle() || until.hasExpired()) {
                    watch->deleteLater();
                    return;
                }
                const QWidget *owner = ownerOf(*window);
                if (owner && focused == owner->windowHandle() && !QApplication::activeModalWidget())
                    activate(target);
            });
    }
    FocusReturn(const FocusReturn &) = delete;
    FocusReturn &operator=(const FocusReturn &) = delete;

private:
    struct Target {
        QPointer<QWidget> window;
        QPointer<QWidget> widget;
        QDeadlineTimer until;
    };
    static QWidget *ownerOf(const QWidget &window)
    {
        return window.parentWidget() ? window.parentWidget()->window() : nullptr;
    }
    static void activate(const Target &target)
    {
        target.window->activateWindow();
        if (target.widget && target.widget->isVisible() && target.widget->window() == target.window)
            target.widget->setFocus(Qt::OtherFocusReason);
    }
    static Target &lastTarget()
    {
        static Target target;
        return target;
    }
    Target m_target;
};

QMessageBox::Icon toQtIcon(UserDialogs::Icon icon)
{
    switch (icon) {
    case UserDialogs::Icon::Information:
        return QMessageBox::Information;
    case UserDialogs::Icon::Warning:
        return QMessageBox::Warning;
    case UserDialogs::Icon::Critical:
        return QMessageBox::Critical;
    case UserDialogs::Icon::Question:
        return QMessageBox::Question;
    case UserDialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString runFileDialog(QWidget *parent, const FileDialogRequest &request, QFileDialog::AcceptMode mode)
{
    const FocusReturn focusReturn;
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(mode);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // Neither dialog asks before overwriting nor insists the file exists.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.initialPath.isEmpty())
        dialog.selectFile(request.initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool UserDialogs::printerInstalled()
{
    return printing().printerInstalled();
}

QMessageBox::StandardButton QtUserDialogs::message(
    QWidget *parent, const QString &caption, const QString &text, QMessageBox::StandardButtons buttons, Icon icon)
{
    const FocusReturn focusReturn;
    QMessageBox box(toQtIcon(icon), caption, text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

QString QtUserDialogs::openFileName(QWidget *parent, const FileDialogRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString QtUserDialogs::saveFileName(QWidget *parent, const FileDialogRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

std::optional<QColor> QtUserDialogs::chooseColor(QWidget *parent, const QColor &initial)
{
    const FocusReturn focusReturn;
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

int QtUserDialogs::runModal(QDialog &dialog)
{
    const FocusReturn focusReturn;
    return dialog.exec();
}

bool QtUserDialogs::printDialog(QWidget *parent, QPrinter &printer)
{
    const PrintingFunctions &functions = printing();
    const FocusReturn focusReturn;
    return functions.printDialog(parent, printer);
}

void QtUserDialogs::printerSetupDialog(QWidget *parent, QPrinter &printer)
{
    const PrintingFunctions &functions = printing();
    const FocusReturn focusReturn;
    functions.pageSetupDialog(parent, printer);
}
