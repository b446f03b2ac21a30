#include "ui/About.h"

#include "ui/AppIcon.h"
#include "ui/DialogParts.h"
#include "ui/FontFamilies.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <cmath>

TAboutForm *AboutForm = nullptr;

namespace {

// Texts a packager may set when building.
#ifndef PURLWISE_ABOUT_NAME
#define PURLWISE_ABOUT_NAME "Purlwise"
#endif
#ifndef PURLWISE_ABOUT_EMAIL
#define PURLWISE_ABOUT_EMAIL "purlwise@example.org"
#endif
#ifndef PURLWISE_ABOUT_WEBSITE
#define PURLWISE_ABOUT_WEBSITE "https://purlwise.example.org"
#endif
#ifndef PURLWISE_ABOUT_TOWN
#define PURLWISE_ABOUT_TOWN ""
#endif
#ifndef PURLWISE_ABOUT_NOTICE
#define PURLWISE_ABOUT_NOTICE "© 2026"
#endif

const QColor Navy(0, 0, 128);
const QColor Blue(0, 0, 255);

// Point sizes are turned into pixels at 96 dpi, the resolution the box was laid out for.
int pointsToPixels(double points)
{
    return int(std::lround(points * 96 / 72));
}

// A named family is kept as named: an explicit "any style" stops the
// application font's sans-serif hint from being inherited.
QFont namedFont(const QString &family, int pixels, bool bold = false, bool italic = false)
{
    QFont font(family);
    font.setStyleHint(QFont::AnyStyle);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont defaultFont()
{
    QFont font(resolvedFamily(QStringLiteral("MS Sans Serif")));
    font.setStyleHint(QFont::AnyStyle);
    font.setPointSize(8);
    return font;
}

// The shown form of the site address: no scheme, no trailing slash.
QString siteText(const QString &site)
{
    const QUrl url(site);
    QString text = url.host().isEmpty() ? site : url.host() + url.path();
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

// The classic 16-colour palette that icons of this size were drawn in.
const QList<QRgb> &sixteenColours()
{
    static const QList<QRgb> colours { qRgb(0, 0, 0), qRgb(128, 0, 0), qRgb(0, 128, 0), qRgb(128, 128, 0),
        qRgb(0, 0, 128), qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192), qRgb(128, 128, 128),
        qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 255), qRgb(0, 255, 255),
        qRgb(255, 255, 255) };
    return colours;
}

} // namespace

QPixmap aboutBoxIcon()
{
    const QImage drawn = applicationIcon(32);
    // Colours reduced to the palette; transparency kept as an on-off mask, as in an icon.
    QImage opaque(drawn.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    {
        QPainter painter(&opaque);
        painter.drawImage(0, 0, drawn);
    }
    QImage reduced = opaque.convertToFormat(QImage::Format_Indexed8, sixteenColours(), Qt::ThresholdDither)
                         .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < reduced.height(); ++y) {
        for (int x = 0; x < reduced.width(); ++x) {
            if (qAlpha(drawn.pixel(x, y)) < 128)
                reduced.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    return QPixmap::fromImage(reduced);
}

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent)
    , openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    setObjectName("AboutForm");
    setWindowTitle(QStringLiteral("О программе..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowCloseButtonHint);
    setFixedSize(299, 306);
    setMouseTracking(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(134, 6, 33, 33);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = addLabel(this, "Label1", QStringLiteral("Проектировщик рисунков для вязальных машин"),
        namedFont(QStringLiteral("Times New Roman"), 19), Navy);
    Label1->setGeometry(43, 45, 216, 42);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);

    Label2 = addLabel(this, "Label2", QStringLiteral("Версия 2.3.1.0"), defaultFont(), Qt::black);
    Label2->move(119, 103);
    Label8 = addLabel(this, "Label8", QStringLiteral("от 10.03.06"), defaultFont(), Qt::black);
    Label8->move(127, 128);

    Label6 = addLabel(this, "Label6", QString::fromUtf8(PURLWISE_ABOUT_NAME),
        namedFont(QStringLiteral("Arial"), 21, true, true), Qt::black);
    Label6->setGeometry(37, 152, 233, 24);
    Label6->setAlignment(Qt::AlignCenter);

    Label4 = addLabel(this, "Label4", QString::fromUtf8(PURLWISE_ABOUT_EMAIL),
        namedFont(QStringLiteral("Times New Roman"), 16), Navy);
    Label4->setGeometry(64, 181, 185, 25);
    Label4->setAlignment(Qt::AlignCenter);

    Label7 = addLabel(this, "Label7", siteText(QString::fromUtf8(PURLWISE_ABOUT_WEBSITE)),
        namedFont(QStringLiteral("MS Sans Serif"), 13, true), Blue);
    Label7->setGeometry(56, 213, 193, 29);
    Label7->setAlignment(Qt::AlignCenter);

    Label5 = addLabel(this, "Label5", QString::fromUtf8(PURLWISE_ABOUT_TOWN), defaultFont(), Qt::black);
    Label5->move(22, 258);
    Label3 = addLabel(this, "Label3", QString::fromUtf8(PURLWISE_ABOUT_NOTICE), defaultFont(), Qt::black);
    Label3->move(204, 257);
    for (QLabel *label : { Label2, Label8, Label5, Label3 })
        whenShown(*label, [label] { label->adjustSize(); });

    OKButton = addDialogButton(this, "OKButton", QStringLiteral("OK"), QRect(108, 253, 75, 25));
    OKButton->setFont(defaultFont());
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutForm::OKButtonClick);

    for (QLabel *link : { Label4, Label7 }) {
        link->setCursor(Qt::PointingHandCursor);
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }
    // Moving over any other control changes nothing, so its moves stop there.
    for (QWidget *other :
        std::initializer_list<QWidget *> { Image1, Label1, Label2, Label3, Label5, Label6, Label8, OKButton })
        other->setAttribute(Qt::WA_NoMousePropagation);
}

void TAboutForm::OKButtonClick()
{
    accept();
}

void TAboutForm::Label4Click()
{
    openUrl(QUrl(QStringLiteral("mailto:") + QString::fromUtf8(PURLWISE_ABOUT_EMAIL)));
}

void TAboutForm::Label7Click()
{
    openUrl(QUrl(QString::fromUtf8(PURLWISE_ABOUT_WEBSITE)));
}

void TAboutForm::Label4MouseMove()
{
    QFont font = Label4->font();
    font.setPixelSize(pointsToPixels(14));
    Label4->setFont(font);
}

void TAboutForm::Label7MouseMove()
{
    QFont font = Label7->font();
    font.setPixelSize(pointsToPixels(12));
    Label7->setFont(font);
}

void TAboutForm::FormMouseMove()
{
    QFont email = Label4->font();
    email.setPixelSize(pointsToPixels(12));
    Label4->setFont(email);
    QFont site = Label7->font();
    site.setPixelSize(pointsToPixels(10));
    Label7->setFont(site);
}

void TAboutForm::mouseMoveEvent(QMouseEvent *event)
{
    FormMouseMove();
    QDialog::mouseMoveEvent(event);
}

bool TAboutForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label4 || watched == Label7) {
        if (event->type() == QEvent::MouseMove) {
            if (watched == Label4)
                Label4MouseMove();
            else
                Label7MouseMove();
            return true;
        }
        // A click is a left press and release over the same label.
        if (event->type() == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            auto *label = static_cast<QLabel *>(watched);
            if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
                if (watched == Label4)
                    Label4Click();
                else
                    Label7Click();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::showEvent(QShowEvent *event)
{
    // Centred the first time; afterwards where the user left it. The icon is
    // reduced to its colours then too, not at start-up.
    if (!m_placed) {
        m_placed = true;
        Image1->setPixmap(aboutBoxIcon());
        centreOnDesktop(*this);
    }
    QDialog::showEvent(event);
}
