#include "ui/LazyIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <memory>
#include <utility>

namespace {

class LazyIconEngine : public QIconEngine {
public:
    explicit LazyIconEngine(std::function<QIcon()> make)
        : m_made(std::make_shared<Made>(std::move(make)))
    {
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // Asked when widgets are laid out; every icon made here has a picture.
    bool isNull() override { return false; }
    // Copies share the drawing, so it is done once however often the icon is copied.
    QIconEngine *clone() const override { return new LazyIconEngine(*this); }
    QString key() const override { return QStringLiteral("LazyIconEngine"); }

private:
    struct Made {
        explicit Made(std::function<QIcon()> make)
            : make(std::move(make))
        {
        }
        std::function<QIcon()> make;
        QIcon icon;
    };
    QIcon &icon()
    {
        if (m_made->make)
            m_made->icon = std::exchange(m_made->make, {})();
        return m_made->icon;
    }
    std::shared_ptr<Made> m_made;
};

} // namespace

QIcon lazyIcon(std::function<QIcon()> make)
{
    return QIcon(new LazyIconEngine(std::move(make)));
}
