#include "ui/Effects1.h"

#include "ui/ColourConversion.h"
#include "ui/DialogParts.h"
#include "ui/MoveOnlyWindow.h"
#include "ui/PaletteSwatch.h"
#include "ui/ToolTitleStrip.h"
#include "ui/ToolWindowMinimise.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

TDisplayForm *DisplayForm = nullptr;

namespace {

constexpr int OuterWidth = 104;
constexpr int ClientHeight = 109;

// A square as large as its box allows, centred across it and flush with its
// top, outlined in black and filled with the swatch colour.
class SwatchSquare : public QWidget {
public:
    SwatchSquare(const model::TColor &colour, QWidget *parent)
        : QWidget(parent)
        , m_colour(colour)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const int side = std::min(width(), height());
        QPainter painter(this);
        painter.setPen(Qt::black);
        painter.setBrush(toQColor(m_colour));
        painter.drawRect((width() - side) / 2, (height() - side) / 2, side - 1, side - 1);
    }

private:
    const model::TColor &m_colour;
};

QFont timesBold(int pixels)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

} // namespace

TDisplayForm::TDisplayForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DisplayForm"));
    // A small title bar to drag it by: no caption, no buttons, so the user
    // cannot close it. The window manager's frames come with buttons, so the
    // bar is the window's own. A tool window stays above its owner, the main
    // window, and below the dialogs.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    askToOnlyMove(*this);
    keepOwnerUpWhenMinimised(*this, [] {});
    setAccessibleName(QStringLiteral("Положение указателя"));
    auto *strip = new ToolTitleStrip(*this);
    ClientArea = new QWidget(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip);
    layout->addWidget(ClientArea);
    ClientArea->setFixedHeight(ClientHeight);
    resize(104, strip->height() + ClientHeight);
    // The bar takes its height as the window is shown, before it is placed.
    new WindowPlacement(*this, WindowPlacement::When::FirstShowing, false, [strip](const QMargins &frame) {
        return QRect(527, 278, OuterWidth, strip->height() + ClientHeight + frame.top() + frame.bottom());
    });

    Bevel = new QFrame(ClientArea);
    Bevel->setObjectName(QStringLiteral("Bevel"));
    Bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel->setGeometry(0, 1, 97, 107);

    Shape = new SwatchSquare(m_swatch, ClientArea);
    Shape->setObjectName(QStringLiteral("Shape"));
    Shape->setAccessibleName(QStringLiteral("Текущий цвет"));
    Shape->setGeometry(18, 10, 61, 53);

    // No fixed accessible names: assistive tools read what the labels show.
    Label1 = addLabelAt(ClientArea, "Label1", QStringLiteral("Петля:"), timesBold(15), QPoint(11, 71));
    Label4 = addLabelAt(ClientArea, "Label4", QString(), timesBold(19), QPoint(64, 68), Qt::blue);
    Label2 = addLabelAt(ClientArea, "Label2", QStringLiteral("Ряд:"), timesBold(15), QPoint(30, 87));
    Label3 = addLabelAt(ClientArea, "Label3", QString(), timesBold(19), QPoint(64, 85), Qt::blue);
    // Each caption labels its number for assistive tools.
    Label1->setBuddy(Label4);
    Label2->setBuddy(Label3);
    FormCreate();
}

void TDisplayForm::closeEvent(QCloseEvent *event)
{
    // Only New, Open and the editor's end show and hide it.
    event->ignore();
}

void TDisplayForm::FormCreate()
{
    resize(104, height());
}

void TDisplayForm::showPosition(int stitchNumber, int rowNumber)
{
    Label4->setText(QString::number(stitchNumber));
    Label3->setText(QString::number(rowNumber));
    int right = width();
    for (QLabel *number : { Label4, Label3 }) {
        number->adjustSize();
        right = std::max(right, number->geometry().right() + 4);
    }
    // Numbers of the largest patterns would not fit the design width.
    if (right > width())
        resize(right, height());
}

void TDisplayForm::setSwatchColor(model::TColor color)
{
    m_swatch = color;
    Shape->update();
}
