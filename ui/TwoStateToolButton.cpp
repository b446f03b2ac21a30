#include "ui/TwoStateToolButton.h"

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
    if (className != QLatin1String(TwoStateToolButton::staticMetaObject.className()))
        return nullptr;
    auto *button = qobject_cast<TwoStateToolButton *>(object);
    return button ? new TwoStateButtonAccessible(button) : nullptr;
}

} // namespace

TwoStateToolButton::TwoStateToolButton(QWidget *parent)
    : QToolButton(parent)
{
    setCheckable(true);
    static const bool installed = [] {
        QAccessible::installFactory(twoStateButtonFactory);
        return true;
    }();
    (void)installed;
}
