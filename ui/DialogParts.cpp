#include "ui/DialogParts.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

QPushButton *addDialogButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

void setUpFixedDialog(QDialog &dialog, const char *name, const QString &title, QSize size)
{
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setWindowTitle(title);
    dialog.setWindowFlags(
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    if (size.isValid())
        dialog.setFixedSize(size);
}

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QFont &font, const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    if (colour.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
    return label;
}

QLabel *addLabelAt(
    QWidget *parent, const char *name, const QString &text, const QFont &font, QPoint topLeft, const QColor &colour)
{
    QLabel *label = addLabel(parent, name, text, font, colour);
    label->move(topLeft);
    whenShown(*label, [label] { label->adjustSize(); });
    return label;
}

namespace {

class FirstShowCall : public QObject {
public:
    FirstShowCall(QWidget &widget, std::function<void()> call)
        : QObject(&widget)
        , m_call(std::move(call))
    {
        widget.installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            m_call();
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_call;
};

} // namespace

void whenShown(QWidget &widget, std::function<void()> call)
{
    if (widget.isVisible())
        call();
    else
        new FirstShowCall(widget, std::move(call));
}

void centreOnDesktop(QWidget &window)
{
    if (const QScreen *desktop = window.screen())
        window.move(desktop->geometry().center() - window.rect().center());
}

bool isEnterKeyPress(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
