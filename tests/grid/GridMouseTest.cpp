// Painting with the mouse on the grid and the cursor read-out, driven by
// real mouse events on the paint surface.
#include "support/WindowFixture.h"
#include "ui/Effects1.h"
#include "ui/GridView.h"

#include <QLabel>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

constexpr model::TColor Red = 0x000000FF;

// Collects the regions painted on a widget.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget *widget) { widget->installEventFilter(this); }
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++paints;
        }
        return false;
    }
};

void flushPaints()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class GridMouseTest : public WindowTest {
protected:
    QWidget *surface() { return form->MainScrollBox->viewport(); }
    void press(Qt::MouseButton button, QPoint at) { QTest::mousePress(surface(), button, {}, at); }
    void release(Qt::MouseButton button, QPoint at) { QTest::mouseRelease(surface(), button, {}, at); }
    // A move with the given buttons held, as the window system reports it.
    void move(Qt::MouseButtons held, QPoint at)
    {
        QMouseEvent event(QEvent::MouseMove, at, surface()->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(surface(), &event);
    }
    int countOf(model::TColor colour) const
    {
        return int(std::count(form->Pattern.Cells.begin(), form->Pattern.Cells.end(), colour));
    }
    QString stitchShown() const { return DisplayForm->Label4->text(); }
    QString rowShown() const { return DisplayForm->Label3->text(); }
};

TEST_F(GridMouseTest, SharedOutlineBelongsToTheCellRightOfIt)
{
    newPattern(24, 100);
    form->CurrentColor = Red;
    press(Qt::LeftButton, { 18, 0 });
    release(Qt::LeftButton, { 18, 0 });
    EXPECT_EQ(form->Pattern.at(0, 0), Red);
    EXPECT_EQ(countOf(Red), 1);

    form->CurrentColor = 0x00FF0000;
    press(Qt::LeftButton, { 19, 0 });
    release(Qt::LeftButton, { 19, 0 });
    EXPECT_EQ(form->Pattern.at(1, 0), 0x00FF0000u);
    EXPECT_EQ(form->Pattern.at(0, 0), Red);
}

TEST_F(GridMouseTest, EachButtonPressDoesItsOwnThingAndMarksModified)
{
    struct Case {
        Qt::MouseButton button;
        model::TColor before;
        model::TColor after;
    };
    const Case cases[] = {
        { Qt::LeftButton, model::White, Red },
        { Qt::RightButton, Red, model::White },
        { Qt::MiddleButton, Red, Red },
    };
    for (const Case &c : cases) {
        newPattern(24, 100);
        form->CurrentColor = Red;
        form->Pattern.at(2, 3) = c.before;
        ASSERT_FALSE(form->Modified());
        press(c.button, { 2 * 19 + 5, 3 * 19 + 5 });
        release(c.button, { 2 * 19 + 5, 3 * 19 + 5 });
        EXPECT_TRUE(form->Modified()) << c.button;
        EXPECT_EQ(form->Pattern.at(2, 3), c.after) << c.button;
        EXPECT_EQ(countOf(model::White), 2399 + (c.after == model::White)) << c.button << ": only the pressed cell";
    }
}

TEST_F(GridMouseTest, DragPaintsOnlyTheCellsUnderReportedPositions)
{
    newPattern(24, 100);
    form->CurrentColor = Red;
    press(Qt::LeftButton, { 5, 5 });
    move(Qt::LeftButton, { 5, 5 });
    move(Qt::LeftButton, { 3 * 19 + 5, 5 });
    move(Qt::LeftButton, { 3 * 19 + 5, 2 * 19 + 1 });
    release(Qt::LeftButton, { 3 * 19 + 5, 2 * 19 + 1 });
    EXPECT_EQ(form->Pattern.at(0, 0), Red);
    EXPECT_EQ(form->Pattern.at(3, 0), Red);
    EXPECT_EQ(form->Pattern.at(3, 2), Red);
    EXPECT_EQ(countOf(Red), 3) << "cells between reported positions stay as they were";

    // Right held paints white, and so do both buttons held together.
    const QPoint elsewhere(10 * 19 + 5, 10 * 19 + 5);
    press(Qt::RightButton, elsewhere);
    move(Qt::RightButton, { 3 * 19 + 5, 5 });
    EXPECT_EQ(form->Pattern.at(3, 0), model::White);
    press(Qt::LeftButton, elsewhere);
    move(Qt::LeftButton | Qt::RightButton, { 5, 5 });
    EXPECT_EQ(form->Pattern.at(0, 0), model::White);
    release(Qt::LeftButton, elsewhere);
    release(Qt::RightButton, elsewhere);
    // The middle button alone never paints.
    press(Qt::MiddleButton, elsewhere);
    move(Qt::MiddleButton, { 3 * 19 + 5, 2 * 19 + 1 });
    EXPECT_EQ(form->Pattern.at(3, 2), Red);
    release(Qt::MiddleButton, elsewhere);
}

TEST_F(GridMouseTest, ReadOutShowsStitchFromTheLeftAndRowFromTheBottom)
{
    newPattern(24, 100);
    EXPECT_TRUE(stitchShown().isEmpty());
    EXPECT_TRUE(rowShown().isEmpty());

    move(Qt::NoButton, { 0, 0 });
    EXPECT_EQ(stitchShown(), "1");
    EXPECT_EQ(rowShown(), "100");

    // The bottom-right cell, scrolled into view.
    QScrollBar *vertical = form->MainScrollBox->verticalScrollBar();
    vertical->setValue(vertical->maximum());
    const QPoint bottomRight(455, 1899 - vertical->value());
    move(Qt::NoButton, bottomRight);
    EXPECT_EQ(stitchShown(), "24");
    EXPECT_EQ(rowShown(), "1");
    EXPECT_EQ(countOf(model::White), 2400) << "moving with no button changes no cell";
    EXPECT_FALSE(form->Modified());

    vertical->setValue(0);
    move(Qt::NoButton, { 19 * 5 + 1, 19 * 7 });
    EXPECT_EQ(stitchShown(), "6");
    EXPECT_EQ(rowShown(), "93");
}

TEST_F(GridMouseTest, PointsOutsideTheVisibleWindowOrThePatternDoNothing)
{
    newPattern(24, 100);
    form->CurrentColor = Red;
    move(Qt::NoButton, { 40, 40 });
    const QString stitch = stitchShown(), row = rowShown();

    // Past the grid's right edge but inside the view.
    press(Qt::LeftButton, { 600, 10 });
    move(Qt::LeftButton, { 600, 10 });
    move(Qt::LeftButton, { 456, 10 });
    // Dragged off the view: above it and left of it.
    move(Qt::LeftButton, { 10, -1 });
    move(Qt::LeftButton, { -1, 10 });
    release(Qt::LeftButton, { -1, 10 });
    EXPECT_EQ(countOf(Red), 0);
    EXPECT_EQ(stitchShown(), stitch);
    EXPECT_EQ(rowShown(), row);
    EXPECT_FALSE(form->Modified()) << "a press beside the grid is not a press on it";

    // Dragging from the grid, the visible window's far edge counts as inside
    // it; one pixel past it, the first pixel of the next cell, does not.
    press(Qt::LeftButton, { 5, 5 });
    const int height = surface()->height();
    const int k = (height + 1) / 19 + 2;
    QScrollBar *vertical = form->MainScrollBox->verticalScrollBar();
    vertical->setValue(19 * k - height - 1);
    ASSERT_EQ(vertical->value(), 19 * k - height - 1);
    move(Qt::LeftButton, { 5, height });
    EXPECT_EQ(form->Pattern.at(0, k - 1), Red);
    move(Qt::LeftButton, { 5, height + 1 });
    EXPECT_EQ(form->Pattern.at(0, k), model::White);
    EXPECT_EQ(countOf(Red), 2); // the pressed cell and the one at the edge
    release(Qt::LeftButton, { 5, height + 1 });
}

TEST_F(GridMouseTest, PressRepaintsOnlyTheCellItChanged)
{
    newPattern(24, 100);
    form->CurrentColor = Red;
    flushPaints();
    PaintRecorder recorder(surface());
    press(Qt::LeftButton, { 19 + 3, 19 + 3 });
    flushPaints();
    EXPECT_GE(recorder.paints, 1);
    EXPECT_EQ(recorder.painted, QRegion(19, 19, 20, 20));

    // Scrolled, the square moves with the view.
    QScrollBar *vertical = form->MainScrollBox->verticalScrollBar();
    vertical->setValue(50);
    flushPaints();
    recorder.painted = QRegion();
    form->CurrentColor = 0x00FF0000;
    move(Qt::LeftButton, { 19 + 3, 19 * 4 + 3 - 50 });
    flushPaints();
    EXPECT_EQ(form->Pattern.at(1, 4), 0x00FF0000u);
    EXPECT_EQ(recorder.painted, QRegion(19, 19 * 4 - 50, 20, 20));

    // What reached the window: the new colour inside, the outline around it.
    const QPoint origin = surface()->mapTo(form, QPoint(0, 0));
    const QImage shown = form->screen()->grabWindow(form->winId(), origin.x(), origin.y(), 100, 100).toImage();
    EXPECT_EQ(shown.pixelColor(19 + 5, 19 * 4 + 5 - 50), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(19, 19 * 4 + 5 - 50), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(19 + 5, 19 * 3 + 5 - 50), QColor(Qt::white));
}

TEST_F(GridMouseTest, NothingHappensWithoutAPattern)
{
    ASSERT_FALSE(form->Pattern.exists());
    press(Qt::LeftButton, { 5, 5 });
    move(Qt::LeftButton, { 5, 5 });
    form->MainPaintBoxMouseDown(Qt::LeftButton, Qt::LeftButton, 5, 5);
    form->MainPaintBoxMouseMove(Qt::LeftButton, 5, 5);
    EXPECT_FALSE(form->Modified());
    EXPECT_TRUE(stitchShown().isEmpty());
}

TEST_F(GridMouseTest, ReadOutWindowCannotBeClosedAndWidensForLongNumbers)
{
    const Qt::WindowFlags flags = DisplayForm->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::Tool));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(DisplayForm->width(), 104);
    newPattern(2, 2);
    EXPECT_FALSE(DisplayForm->close());
    EXPECT_TRUE(DisplayForm->isVisible());

    // With no window manager to move it, the bar above the controls drags it.
    QWidget *bar = DisplayForm->childAt(DisplayForm->width() / 2, 0);
    ASSERT_TRUE(bar && !DisplayForm->ClientArea->isAncestorOf(bar));
    const QPoint start = DisplayForm->pos();
    QTest::mousePress(bar, Qt::LeftButton, {}, { 5, 5 });
    QTest::mouseMove(bar, { 35, 25 });
    QTest::mouseRelease(bar, Qt::LeftButton, {}, { 35, 25 });
    EXPECT_EQ(DisplayForm->pos(), start + QPoint(30, 20));

    // Seven-digit numbers widen the window rather than being cut off.
    DisplayForm->showPosition(1048576, 1048576);
    EXPECT_GE(DisplayForm->width(), DisplayForm->Label4->geometry().right());
}

TEST_F(GridMouseTest, ReadOutWindowFollowsTheEditorAndShowsTheSwatch)
{
    EXPECT_FALSE(DisplayForm->isVisible());
    newPattern(24, 100);
    EXPECT_TRUE(DisplayForm->isVisible());

    DisplayForm->setSwatchColor(Red);
    const QImage swatch = DisplayForm->Shape->grab().toImage();
    EXPECT_EQ(swatch.pixelColor(30, 26), QColor(Qt::red));
    EXPECT_EQ(swatch.pixelColor(4, 0), QColor(Qt::black)) << "a 53-pixel square centred in the 61-pixel box";

    move(Qt::NoButton, { 0, 0 });
    // New cancelled: the window hides and keeps its numbers.
    dialogs.messageAnswers.push_back(QMessageBox::No);
    dialogs.modalHandlers.push_back(clickButton("CancelButton"));
    form->MenuNewClick();
    EXPECT_FALSE(DisplayForm->isVisible());
    EXPECT_EQ(stitchShown(), "1");
    EXPECT_EQ(DisplayForm->swatchColor(), model::White);
}

TEST_F(GridMouseTest, OnlyAPressOnTheGridStartsADragThatPaints)
{
    struct Case {
        const char *what;
        QPoint pressAt;
        bool paints;
    };
    // The 24-stitch grid ends at x = 456; the view goes on beyond it.
    const Case cases[] = {
        { "press beside the grid", { 600, 10 }, false },
        { "press on the grid", { 5, 10 }, true },
    };
    for (const Case &c : cases) {
        newPattern(24, 100);
        form->CurrentColor = Red;
        QTest::mousePress(surface(), Qt::LeftButton, {}, c.pressAt);
        QTest::mouseMove(surface(), { 3 * 19 + 5, 10 });
        QTest::mouseMove(surface(), { 4 * 19 + 5, 10 });
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, { 4 * 19 + 5, 10 });
        EXPECT_EQ(form->Pattern.at(3, 0) == Red, c.paints) << c.what;
        EXPECT_EQ(form->Pattern.at(4, 0) == Red, c.paints) << c.what;
        EXPECT_EQ(form->Modified(), c.paints) << c.what << ": the pattern is changed exactly when cells are";
    }
}
