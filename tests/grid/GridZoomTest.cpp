// Zoom through the list and the buttons, the scroll ranges and positions it
// sets, the no-pattern state, and the largest pattern the program allows.
#include "GridReference.h"
#include "model/Limits.h"
#include "support/WindowFixture.h"
#include "ui/Effects1.h"
#include "ui/GridView.h"

#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

class GridZoomTest : public WindowTest {
protected:
    QScrollBar *vertical() { return form->MainScrollBox->verticalScrollBar(); }
    QScrollBar *horizontal() { return form->MainScrollBox->horizontalScrollBar(); }
    QWidget *surface() { return form->MainScrollBox->viewport(); }
    void choose(const QString &entry)
    {
        const int index = form->CBZoom->findText(entry);
        ASSERT_GE(index, 0);
        form->CBZoom->setCurrentIndex(index);
        emit form->CBZoom->activated(index);
    }
    QString status() const { return form->StatusPanels[1]->text(); }
    // What the window shows of the paint surface, as drawn so far.
    QImage shownOnScreen()
    {
        const QPoint origin = surface()->mapTo(form, QPoint(0, 0));
        return form->screen()
            ->grabWindow(form->winId(), origin.x(), origin.y(), surface()->width(), surface()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(GridZoomTest, ListEntriesGivePitchesAndSizeTheGrid)
{
    newPattern(24, 100);
    EXPECT_EQ(form->MainScrollBox->paintAreaSize(), QSize(456, 1900));
    const std::pair<const char *, int> table[]
        = { { "10", 2 }, { "25", 5 }, { "50", 10 }, { "100", 20 }, { "150", 30 }, { "200", 40 }, { "500", 100 } };
    for (auto [entry, pitch] : table) {
        choose(entry);
        EXPECT_EQ(form->CellPitch(), pitch) << entry;
        const QSize area(24 * (pitch - 1), 100 * (pitch - 1));
        EXPECT_EQ(form->MainScrollBox->paintAreaSize(), area) << entry;
        EXPECT_EQ(vertical()->maximum(), std::max(0, area.height() - surface()->height())) << entry;
        EXPECT_EQ(horizontal()->maximum(), std::max(0, area.width() - surface()->width())) << entry;
        EXPECT_EQ(vertical()->singleStep(), pitch - 1) << entry;
        EXPECT_EQ(horizontal()->singleStep(), pitch - 1) << entry;
        EXPECT_EQ(status(), " ") << "the list leaves the status bar alone";
    }
}

TEST_F(GridZoomTest, ButtonsStepThePitchAndTheListDoesNotFollow)
{
    newPattern(24, 100);
    QTest::mouseClick(form->BZoomPlus, Qt::LeftButton);
    EXPECT_EQ(form->CellPitch(), 21);
    EXPECT_EQ(status(), "21");
    EXPECT_EQ(form->CBZoom->currentText(), "100");
    EXPECT_EQ(form->MainScrollBox->paintAreaSize(), QSize(480, 2000));
    EXPECT_EQ(vertical()->singleStep(), 20);

    QTest::mouseClick(form->BZoomMinus, Qt::LeftButton);
    QTest::mouseClick(form->BZoomMinus, Qt::LeftButton);
    EXPECT_EQ(form->CellPitch(), 19);
    EXPECT_EQ(status(), "19");

    // "-" does nothing at 5 or below; "+" goes on from there.
    choose("25");
    form->BZoomMinusClick();
    EXPECT_EQ(form->CellPitch(), 5);
    EXPECT_EQ(status(), "19");
    choose("10");
    form->BZoomMinusClick();
    EXPECT_EQ(form->CellPitch(), 2);
    form->BZoomPlusClick();
    EXPECT_EQ(form->CellPitch(), 3);
    EXPECT_EQ(status(), "3");
    EXPECT_EQ(form->MainScrollBox->paintAreaSize(), QSize(48, 200));
}

TEST_F(GridZoomTest, ZoomScalesTheVerticalPositionAndKeepsTheHorizontal)
{
    newPattern(100, 100);
    vertical()->setValue(190);
    horizontal()->setValue(50);
    choose("200");
    EXPECT_EQ(vertical()->value(), 380);
    EXPECT_EQ(horizontal()->value(), 50);

    // 41 x 381 / 40 = 390.5: truncated.
    vertical()->setValue(381);
    form->Zoom(41);
    EXPECT_EQ(vertical()->value(), 390);
    // A button keeps the position: old and new pitch are the same by then.
    form->BZoomPlusClick();
    EXPECT_EQ(vertical()->value(), 390);
}

TEST_F(GridZoomTest, ScrollingShowsTheRightPartOfTheGrid)
{
    newPattern(100, 100);
    for (model::TColor &cell : form->Pattern.Cells)
        cell = model::TColor(&cell - form->Pattern.Cells.data()) * 2654435761u & 0x00FFFFFF;
    form->DrawGrid();
    QCoreApplication::processEvents();
    // Small steps scroll by moving what is drawn; only the uncovered strip is new.
    for (QPoint to : { QPoint(0, 7), QPoint(13, 7), QPoint(13, 300), QPoint(0, 0), QPoint(1200, 1500) }) {
        horizontal()->setValue(to.x());
        vertical()->setValue(to.y());
        QCoreApplication::processEvents();
        const QRect window(form->MainScrollBox->scrollOffset(), surface()->size());
        const QString difference = firstDifference(shownOnScreen(),
            referenceGrid(form->Pattern, 20, QSize(1900, 1900), window, form->MainScrollBox->backgroundColor()));
        EXPECT_TRUE(difference.isEmpty()) << "at " << to.x() << "," << to.y() << ": " << difference.toStdString();
    }
}

TEST_F(GridZoomTest, WithoutAPatternNothingIsDrawnAndButtonsOnlyChangeThePitch)
{
    newPattern(24, 100);
    dialogs.messageAnswers.push_back(QMessageBox::No);
    dialogs.modalHandlers.push_back(clickButton("CancelButton"));
    form->MenuNewClick();
    ASSERT_FALSE(form->Pattern.exists());
    ASSERT_TRUE(form->BZoomPlus->isEnabled());

    QTest::mouseClick(form->BZoomPlus, Qt::LeftButton);
    EXPECT_EQ(form->CellPitch(), 21);
    EXPECT_EQ(form->MainScrollBox->paintAreaSize(), QSize(0, 0));
    EXPECT_EQ(vertical()->maximum(), 0);
    QTest::mouseClick(form->BZoomMinus, Qt::LeftButton);
    QTest::mouseClick(form->BZoomMinus, Qt::LeftButton);
    EXPECT_EQ(form->CellPitch(), 19);
    EXPECT_EQ(status(), " ");

    const QImage shown = surface()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage background(shown.size(), QImage::Format_RGB32);
    background.fill(form->MainScrollBox->backgroundColor());
    EXPECT_EQ(shown, background);
}

TEST_F(GridZoomTest, LargestPatternScrollsToItsEndAndPaintsTheRightCells)
{
    const int stitches = int(model::MaxCount);
    model::CreateBlank(form->Pattern, stitches, 64);
    form->PrepareEditor();
    EXPECT_EQ(form->MainScrollBox->paintAreaSize(), QSize(19 * stitches, 19 * 64));

    // Straight after sizing, as Open does: the end must stay the end once
    // the scroll bars have taken their place.
    horizontal()->setValue(horizontal()->maximum());
    vertical()->setValue(vertical()->maximum());
    QCoreApplication::processEvents();
    EXPECT_EQ(vertical()->value(), vertical()->maximum());
    EXPECT_EQ(form->MainScrollBox->scrollOffset().y() + surface()->height(), 19 * 64);
    const QPoint offset = form->MainScrollBox->scrollOffset();
    EXPECT_EQ(offset.x() + surface()->width(), 19 * stitches);

    // Press on the last cell, one pixel inside its bottom-right corner.
    form->CurrentColor = 0x000000FF;
    const QPoint last(19 * stitches - 2 - offset.x(), 19 * 64 - 2 - offset.y());
    QTest::mousePress(surface(), Qt::LeftButton, {}, last);
    QMouseEvent move(QEvent::MouseMove, last, surface()->mapToGlobal(last), Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(surface(), &move);
    QCoreApplication::processEvents();
    EXPECT_EQ(DisplayForm->Label4->text(), "1048576");
    EXPECT_EQ(DisplayForm->Label3->text(), "1");
    EXPECT_EQ(form->Pattern.at(stitches - 1, 63), 0x000000FFu);
    EXPECT_EQ(std::count(form->Pattern.Cells.begin(), form->Pattern.Cells.end(), model::White), 64 * stitches - 1);

    const QImage shown = shownOnScreen();
    EXPECT_EQ(shown.pixelColor(last), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(last - QPoint(17, 0)), QColor(Qt::black)) << "its left outline";
    EXPECT_EQ(shown.pixelColor(last - QPoint(19, 0)), QColor(Qt::white)) << "the stitch before it";

    // "+" stops where the paint area would leave the 32-bit range.
    form->Zoom(2047);
    form->BZoomPlusClick();
    EXPECT_EQ(form->CellPitch(), 2048);
    EXPECT_EQ(status(), "2048");
    form->BZoomPlusClick();
    EXPECT_EQ(form->CellPitch(), 2048);
    EXPECT_EQ(form->MainScrollBox->paintAreaSize().width(), 2047 * stitches);
    // The last stitch's left outline, 100 pixels into the view.
    horizontal()->setValue(2047 * (stitches - 1) - 100);
    vertical()->setValue(0);
    QCoreApplication::processEvents();
    const QImage far = shownOnScreen();
    EXPECT_EQ(far.pixelColor(100, 10), QColor(Qt::black));
    EXPECT_EQ(far.pixelColor(99, 10), QColor(Qt::white));
    EXPECT_EQ(far.pixelColor(101, 10), QColor(Qt::white));
    EXPECT_EQ(far.pixelColor(101, 0), QColor(Qt::black)) << "the top outline";
}

TEST_F(GridZoomTest, PatternThatOutgrowsThePitchBringsThePitchDown)
{
    newPattern(24, 100);
    form->setCellPitch(3000);
    model::CreateBlank(form->Pattern, int(model::MaxCount), 1);
    form->RefreshAfterTransform();
    EXPECT_EQ(form->CellPitch(), 2048);
    EXPECT_EQ(form->MainScrollBox->paintAreaSize(), QSize(2047 * int(model::MaxCount), 2047));
}
