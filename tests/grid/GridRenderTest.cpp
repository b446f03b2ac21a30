// The fast renderer and the painted viewport against the slow drawing of
// every cell, and the paint surface's accessible name.
#include "GridReference.h"
#include "support/WindowFixture.h"
#include "ui/GridView.h"

#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <random>

namespace {

model::Pattern randomPattern(std::mt19937 &random, int stitches, int rows)
{
    const model::TColor colours[] = { model::White, model::Black, 0x000000FF, 0x00FF8000, 0x0012AB34, 0x00808080 };
    model::Pattern pattern;
    model::CreateBlank(pattern, stitches, rows);
    for (model::TColor &cell : pattern.Cells)
        cell = colours[random() % 6];
    return pattern;
}

} // namespace

TEST(GridRender, FastRendererMatchesCellByCellPainting)
{
    std::mt19937 random(2024);
    GridView view;
    const QColor background = view.backgroundColor();
    for (int pitch : { 2, 5, 20, 100 }) {
        for (int trial = 0; trial < 12; ++trial) {
            const int stitches = trial == 0 ? 1 : 1 + int(random() % 30);
            const int rows = trial == 0 ? 1 : 1 + int(random() % 30);
            const model::Pattern pattern = randomPattern(random, stitches, rows);
            const auto area = *model::paintAreaFor(stitches, rows, pitch);
            const QSize paintArea(area.width, area.height);
            view.setPattern(&pattern);
            view.setCellPitch(pitch);
            view.setPaintAreaSize(area.width, area.height);

            // The whole area with a margin, then random rectangles across its edges.
            std::vector<QRect> exposed = { QRect(-3, -3, area.width + 9, area.height + 9) };
            for (int i = 0; i < 6; ++i)
                exposed.emplace_back(int(random() % (area.width + 10)) - 5, int(random() % (area.height + 10)) - 5,
                    1 + int(random() % 120), 1 + int(random() % 120));
            for (const QRect &rect : exposed) {
                QImage fast(rect.size(), QImage::Format_RGB32);
                view.renderArea(rect, fast, QPoint(0, 0));
                const QString difference
                    = firstDifference(fast, referenceGrid(pattern, pitch, paintArea, rect, background));
                ASSERT_TRUE(difference.isEmpty())
                    << "pitch " << pitch << ", " << stitches << " x " << rows << ", rect " << rect.x() << ","
                    << rect.y() << " " << rect.width() << "x" << rect.height() << ": " << difference.toStdString();
            }
        }
    }
}

using GridViewTest = WindowTest;

TEST_F(GridViewTest, PaintedViewportShowsTheGridAndWindowBackgroundBeyondIt)
{
    newPattern(24, 100);
    std::mt19937 random(5);
    for (model::TColor &cell : form->Pattern.Cells)
        cell = random() % 3 ? model::White : 0x000000FF;
    form->DrawGrid();
    GridView *view = form->MainScrollBox;
    QWidget *surface = view->viewport();
    ASSERT_GT(surface->width(), 456) << "the pattern should be narrower than the view";

    for (int position : { 0, 37, view->verticalScrollBar()->maximum() }) {
        view->verticalScrollBar()->setValue(position);
        surface->repaint();
        const QImage expected = referenceGrid(
            form->Pattern, 20, QSize(456, 1900), QRect(QPoint(0, position), surface->size()), view->backgroundColor());
        // Rendered on request, and as the window itself shows it.
        const QPoint inWindow = surface->mapTo(form, QPoint(0, 0));
        const QImage shown[] = { surface->grab().toImage(),
            form->screen()
                ->grabWindow(form->winId(), inWindow.x(), inWindow.y(), surface->width(), surface->height())
                .toImage() };
        for (const QImage &picture : shown) {
            const QString difference = firstDifference(picture.convertToFormat(QImage::Format_RGB32), expected);
            EXPECT_TRUE(difference.isEmpty()) << "scrolled to " << position << ": " << difference.toStdString();
        }
    }
    // Beyond the grid is the window's own colour, not the white of an empty cell.
    EXPECT_EQ(view->backgroundColor(), form->QWidget::palette().color(QPalette::Window));
}

TEST_F(GridViewTest, PaintSurfaceIsOneNamedAccessibleElement)
{
    QWidget *surface = form->MainScrollBox->viewport();
    EXPECT_EQ(surface->accessibleName(), QStringLiteral("Сетка рисунка"));
    EXPECT_EQ(surface->objectName(), QStringLiteral("MainPaintBox"));
    EXPECT_TRUE(surface->findChildren<QWidget *>().isEmpty());
}
