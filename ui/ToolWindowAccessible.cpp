#include "ui/ToolWindowAccessible.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

QAccessibleInterface *toolWindowFactory(const QString &className, QObject *object)
{
    // Asked once per class up the hierarchy: answer for the window's own
    // class, and only where Qt has nothing closer than a plain widget.
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->isWindow() || className != QLatin1String(object->metaObject()->className())
        || object->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void presentToolWindowsAsWindows()
{
    static const bool installed = [] {
        QAccessible::installFactory(toolWindowFactory);
        return true;
    }();
    (void)installed;
}
