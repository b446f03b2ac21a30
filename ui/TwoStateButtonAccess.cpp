#include "ui/TwoStateButtonAccess.h"

#include <QAccessibleWidget>
#include <QToolButton>

namespace {

class TwoStateButtonAccessible : public QAccessibleWidget {
public:
    explicit TwoStateButtonAccessible(QToolButton *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << pressAction() << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() || actionName == toggleAction()) {
            if (widget()->isEnabled())
                button()->click();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    QToolButton *button() const { return static_cast<QToolButton *>(widget()); }
};

QAccessibleInterface *twoStateButtonFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QToolButton"))
        return nullptr;
    auto *button = qobject_cast<QToolButton *>(object);
    return button && button->isCheckable() ? new TwoStateButtonAccessible(button) : nullptr;
}

} // namespace

void installTwoStateButtonAccess()
{
    static const bool installed = [] {
        QAccessible::installFactory(twoStateButtonFactory);
        return true;
    }();
    (void)installed;
}
