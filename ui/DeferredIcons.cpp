#include "ui/DeferredIcons.h"

#include <QIconEngine>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace {

// Makes the icon on its first use; until then it only says it is not empty.
class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make)
        : m_shared(std::make_shared<Shared>(Shared { std::move(make), std::nullopt }))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("deferred"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }

private:
    struct Shared {
        std::function<QIcon()> make;
        std::optional<QIcon> icon;
    };

    // Copies of the icon share the one made.
    const QIcon &icon() const
    {
        if (!m_shared->icon)
            m_shared->icon = m_shared->make();
        return *m_shared->icon;
    }

    std::shared_ptr<Shared> m_shared;
};

} // namespace

QIcon DeferredIconStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icon, option, widget);
    // The option does not outlive this call; the arrows depend only on the
    // layout direction, which the widget gives.
    // Held weakly: a bar's icon may outlive its bar or the style.
    QPointer<QWidget> owner(const_cast<QWidget *>(widget));
    QPointer<DeferredIconStyle> style(const_cast<DeferredIconStyle *>(this));
    return QIcon(new DeferredIconEngine([style, owner, icon]() -> QIcon {
        return style ? style->QProxyStyle::standardIcon(icon, nullptr, owner.data()) : QIcon();
    }));
}
