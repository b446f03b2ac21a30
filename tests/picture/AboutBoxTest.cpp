// The about box through the menu: its layout and fonts, the hover effect on
// the two links, and a click on a link reaching the link opener.
#include "support/WindowFixture.h"
#include "ui/About.h"

#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>

namespace {

using AboutBoxTest = WindowTest;

// Opens the box from its menu item and lets `user` act in it before OK.
void runAbout(TMainForm *form, ScriptedDialogs &dialogs, const std::function<void(TAboutForm &)> &user)
{
    dialogs.modalHandlers.push_back([user](QDialog &dialog) {
        user(static_cast<TAboutForm &>(dialog));
        QTest::mouseClick(static_cast<TAboutForm &>(dialog).OKButton, Qt::LeftButton);
        return dialog.result();
    });
    form->MenuAbout->trigger();
}

// The pointer moves over a point of a control, through the window as the system sends it.
void moveOver(QWidget *control, QPoint point)
{
    QTest::mouseMove(control->window()->windowHandle(), control->mapTo(control->window(), point));
}

std::pair<int, int> linkSizes(const TAboutForm &about)
{
    return { about.Label4->font().pixelSize(), about.Label7->font().pixelSize() };
}

} // namespace

TEST_F(AboutBoxTest, LabelsSitWhereDesignedInTheirNamedFonts)
{
    runAbout(form, dialogs, [](TAboutForm &about) {
        EXPECT_EQ(about.size(), QSize(299, 306));
        EXPECT_TRUE(about.OKButton->isDefault());
        struct Expected {
            QLabel *label;
            QRect geometry;
            QString family;
            int pixels;
        };
        const Expected table[] = {
            { about.Label1, { 43, 45, 216, 42 }, "Liberation Serif", 19 },
            { about.Label6, { 37, 152, 233, 24 }, "Liberation Sans", 21 },
            { about.Label4, { 64, 181, 185, 25 }, "Liberation Serif", 16 },
            { about.Label7, { 56, 213, 193, 29 }, {}, 13 },
        };
        for (const Expected &e : table) {
            SCOPED_TRACE(e.label->objectName().toStdString());
            EXPECT_EQ(e.label->geometry(), e.geometry);
            EXPECT_EQ(QFontInfo(e.label->font()).pixelSize(), e.pixels);
            if (!e.family.isEmpty()) {
                EXPECT_EQ(QFontInfo(e.label->font()).family(), e.family);
            }
        }
        EXPECT_EQ(about.Label2->pos(), QPoint(119, 103));
        EXPECT_EQ(about.Label8->pos(), QPoint(127, 128));
        EXPECT_EQ(about.Label4->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(about.Label7->cursor().shape(), Qt::PointingHandCursor);

        const QImage icon = about.Image1->pixmap().toImage();
        EXPECT_EQ(icon.size(), QSize(32, 32));
        QSet<QRgb> colours;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (qAlpha(icon.pixel(x, y)) == 255)
                    colours.insert(icon.pixel(x, y));
        EXPECT_GE(colours.size(), 3);
        EXPECT_LE(colours.size(), 16);
    });
}

TEST_F(AboutBoxTest, LinksGrowUnderTheMouseAndShrinkOnlyOverTheBackground)
{
    runAbout(form, dialogs, [](TAboutForm &about) {
        const std::pair<int, int> designed { 16, 13 };
        EXPECT_EQ(linkSizes(about), designed);
        moveOver(about.Label4, about.Label4->rect().center());
        EXPECT_EQ(linkSizes(about), std::make_pair(19, 13));
        // Straight onto the other link: the first stays enlarged.
        moveOver(about.Label7, about.Label7->rect().center());
        EXPECT_EQ(linkSizes(about), std::make_pair(19, 16));
        moveOver(&about, QPoint(10, 10));
        EXPECT_EQ(linkSizes(about), designed);
        moveOver(about.Label4, about.Label4->rect().center());
        // Other controls change nothing.
        moveOver(about.Label2, QPoint(2, 2));
        moveOver(about.OKButton, QPoint(5, 5));
        EXPECT_EQ(linkSizes(about), std::make_pair(19, 13));
    });
    // The sizes left by the last movement are there at the next showing.
    runAbout(form, dialogs, [](TAboutForm &about) { EXPECT_EQ(linkSizes(about), std::make_pair(19, 13)); });
}

TEST_F(AboutBoxTest, LinkClicksOpenTheAddressesAndTheBoxStaysOpen)
{
    std::vector<QUrl> opened;
    AboutForm->openUrl = [&opened](const QUrl &url) {
        opened.push_back(url);
        return false;
    };
    runAbout(form, dialogs, [](TAboutForm &about) {
        QTest::mouseClick(about.Label4, Qt::LeftButton);
        EXPECT_TRUE(about.isVisible());
        QTest::mouseClick(about.Label7, Qt::LeftButton);
        QTest::mouseClick(about.Label2, Qt::LeftButton);
        EXPECT_TRUE(about.isVisible());
        EXPECT_EQ(about.result(), 0);
    });
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], QUrl("mailto:purlwise@example.org"));
    EXPECT_EQ(opened[1], QUrl("https://purlwise.example.org"));
    EXPECT_EQ(dialogs.modalWindows, std::vector<QString>({ "AboutForm" }));
}
