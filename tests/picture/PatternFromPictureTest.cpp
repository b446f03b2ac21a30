// "Создать рисунок по картинке...": the picture window's menu and the dialog,
// through New's save question, with the fields typed into as a user would.
#include "PictureFixtures.h"
#include "support/WindowFixture.h"
#include "ui/FromPicture.h"
#include "ui/Messages.h"
#include "ui/PaletteSwatch.h"
#include "ui/Picture.h"
#include "ui/WholeNumberField.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <set>

namespace {

// 4 x 3 cells of 10 x 10 pixels in three yarns and white.
const QRgb Yarns[] = { qRgb(200, 30, 30), qRgb(20, 90, 200), qRgb(30, 140, 40), qRgb(255, 255, 255) };

class PatternFromPictureTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        newPattern(5, 5);
        form->ShowHidePictureButton->click();
    }
    void loadFlatPicture() // through the open dialog, as the user loads one
    {
        QImage image(40, 30, QImage::Format_RGB32);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                image.setPixel(x, y, Yarns[(x / 10 + y / 10) % 4]);
        const QString path = dir.filePath("flat.bmp");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bmpBytes(image));
        file.close();
        dialogs.openAnswers.push_back(path);
        QTest::mouseDClick(PictureForm->Image, Qt::LeftButton, {}, QPoint(1, 1));
        PictureForm->finishLoading();
    }
    // The right button on the picture: the menu opens with its one item.
    QAction *openMenu()
    {
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), PictureForm->Image->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(PictureForm->Image, &click);
        EXPECT_TRUE(PictureForm->PictureMenu->isVisible());
        EXPECT_EQ(PictureForm->PictureMenu->actions(), QList<QAction *> { PictureForm->CreatePatternMenu });
        return PictureForm->CreatePatternMenu;
    }
    static void type(WholeNumberField *field, const QString &text)
    {
        field->lineEdit()->selectAll();
        QTest::keyClicks(field->lineEdit(), text);
    }
    // Plays the user: 4 stitches at a square gauge, so the rows follow to 3.
    std::function<int(QDialog &)> fillIn(const char *button)
    {
        return [this, button](QDialog &dialog) {
            auto &from = static_cast<TFromPictureForm &>(dialog);
            type(from.StitchesEdit, "4");
            type(from.GaugeRowsEdit, "28");
            QCoreApplication::processEvents(); // the preview follows once typing pauses
            rowsShown = from.RowsEdit->text();
            previewSize = from.Preview->cells().size();
            return clickButton(button)(dialog);
        };
    }
    QTemporaryDir dir;
    QString rowsShown;
    QSize previewSize;
};

} // namespace

TEST_F(PatternFromPictureTest, MenuItemIsEnabledOnlyWithAPictureAndOpensTheDialog)
{
    EXPECT_FALSE(openMenu()->isEnabled());
    PictureForm->PictureMenu->hide();
    loadFlatPicture();
    QAction *item = openMenu();
    EXPECT_TRUE(item->isEnabled());
    dialogs.modalHandlers.push_back(fillIn("CancelButton"));
    item->trigger();
    EXPECT_EQ(dialogs.modalWindows.back(), QStringLiteral("FromPictureForm"));
    EXPECT_EQ(rowsShown, QStringLiteral("3"));
    EXPECT_EQ(previewSize, QSize(4, 3));
    // Cancel changes nothing and asks nothing.
    EXPECT_EQ(form->Pattern.StitchCount, 5);
    EXPECT_FALSE(form->SaveToolButn->isEnabled());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PatternFromPictureTest, OkGoesThroughTheSaveQuestionLikeNew)
{
    loadFlatPicture();
    const model::Pattern before = form->Pattern;

    dialogs.modalHandlers.push_back(fillIn("OKButton"));
    dialogs.messageAnswers.push_back(QMessageBox::Cancel);
    openMenu()->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Messages::SaveQuestion);
    EXPECT_EQ(form->Pattern, before);
    EXPECT_FALSE(form->SaveToolButn->isEnabled());

    dialogs.modalHandlers.push_back(fillIn("OKButton"));
    dialogs.messageAnswers.push_back(QMessageBox::No);
    openMenu()->trigger();
    ASSERT_EQ(form->Pattern.StitchCount, 4);
    ASSERT_EQ(form->Pattern.RowCount, 3);
    const auto colour = [](QRgb c) { return model::TColor(qRed(c) | qGreen(c) << 8 | qBlue(c) << 16); };
    for (int r = 0; r < 3; ++r)
        for (int s = 0; s < 4; ++s)
            EXPECT_EQ(form->Pattern.at(s, r), colour(Yarns[(s + r) % 4])) << s << "," << r;
    // Three yarns in the first slotColours, the rest white; the new pattern is unsaved.
    std::set<model::TColor> slotColours;
    for (const PaletteSwatch *swatch : form->Panels)
        slotColours.insert(swatch->color());
    EXPECT_EQ(
        slotColours, (std::set<model::TColor> { colour(Yarns[0]), colour(Yarns[1]), colour(Yarns[2]), model::White }));
    EXPECT_TRUE(form->SaveToolButn->isEnabled());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(PatternFromPictureTest, RowsStopAtTheLimitAndTheDialogSaysSo)
{
    loadFlatPicture();
    dialogs.modalHandlers.push_back([](QDialog &dialog) {
        auto &from = static_cast<TFromPictureForm &>(dialog);
        struct Step {
            WholeNumberField *field;
            const char *text, *rows;
            bool noted;
        };
        // 400 stitches of a 4:3 picture at 28 x 200 would be 2143 rows.
        for (const Step &step : { Step { from.StitchesEdit, "400", "386", false },
                 Step { from.GaugeRowsEdit, "200", "800", true }, Step { from.GaugeRowsEdit, "36", "386", false },
                 Step { from.GaugeRowsEdit, "200", "800", true }, Step { from.RowsEdit, "700", "700", false } }) {
            type(step.field, step.text);
            EXPECT_EQ(from.RowsEdit->text(), step.rows) << step.text;
            EXPECT_EQ(from.RowsLimitLabel->isVisible(), step.noted) << step.text;
        }
        return int(QDialog::Rejected);
    });
    openMenu()->trigger();
}
