// Repainting a full-HD view of the grid. Through the real widget, copy to the
// window included, against a widget of the same size that only fills itself;
// and the scan-line renderer alone against drawing every cell with QPainter
// and against a plain fill of the same image.
#include "Interleaved.h"
#include "OffscreenApplication.h"

#include "model/GridGeometry.h"
#include "ui/ColourConversion.h"
#include "ui/GridView.h"
#include "ui/PaletteSwatch.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <random>

namespace {

const QSize Viewport(1920, 1080);

const model::Pattern &pattern(int stitches, int rows)
{
    static std::map<std::pair<int, int>, model::Pattern> made;
    model::Pattern &p = made[{ stitches, rows }];
    if (!p.exists()) {
        model::CreateBlank(p, stitches, rows);
        std::mt19937 random(1);
        const model::TColor colours[] = { model::White, model::Black, 0x000000FF, 0x0000FF00, 0x00FF0000 };
        for (model::TColor &cell : p.Cells)
            cell = colours[random() % 5];
    }
    return p;
}

// The view scrolled to the middle of the paint area.
QPoint middleOf(const model::Pattern &p, int pitch)
{
    const auto area = *model::paintAreaFor(p.StitchCount, p.RowCount, pitch);
    return QPoint(std::max(0, (area.width - Viewport.width()) / 2), std::max(0, (area.height - Viewport.height()) / 2));
}

// A grid view showing p at pitch, as the main window sets it up.
void setUpView(GridView &view, const model::Pattern &p, int pitch)
{
    const auto area = *model::paintAreaFor(p.StitchCount, p.RowCount, pitch);
    view.setPattern(&p);
    view.setCellPitch(pitch);
    view.setPaintAreaSize(area.width, area.height);
}

void ScanLines(benchmark::State &state)
{
    offscreenApplication();
    const model::Pattern &p = pattern(int(state.range(0)), int(state.range(1)));
    const int pitch = int(state.range(2));
    GridView view;
    setUpView(view, p, pitch);
    QImage image(Viewport, QImage::Format_RGB32);
    const QRect exposed(middleOf(p, pitch), Viewport);
    for (auto _ : state) {
        view.renderArea(exposed, image, QPoint(0, 0));
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Every cell of the pattern, one drawRect each, whatever is in view.
void EveryCellDrawRect(benchmark::State &state)
{
    offscreenApplication();
    const model::Pattern &p = pattern(int(state.range(0)), int(state.range(1)));
    const int pitch = int(state.range(2));
    const int step = pitch - 1;
    QImage image(Viewport, QImage::Format_RGB32);
    const QPoint origin = middleOf(p, pitch);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.translate(-origin);
        painter.setPen(QPen(Qt::black, 1));
        for (int r = 0; r < p.RowCount; ++r)
            for (int s = 0; s < p.StitchCount; ++s) {
                painter.setBrush(toQColor(p.at(s, r)));
                painter.drawRect(s * step, r * step, pitch - 1, pitch - 1);
            }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The floor for a repaint of the window: a plain fill of the whole surface.
class FillWidget : public QWidget {
public:
    FillWidget() { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::white);
    }
};

void Widget(benchmark::State &state)
{
    offscreenApplication();
    const model::Pattern &p = pattern(int(state.range(0)), int(state.range(1)));
    const int pitch = int(state.range(2));
    GridView view;
    setUpView(view, p, pitch);
    view.resize(Viewport);
    view.show();
    const QPoint middle = middleOf(p, pitch);
    view.horizontalScrollBar()->setValue(middle.x());
    view.verticalScrollBar()->setValue(middle.y());
    QCoreApplication::processEvents();
    FillWidget floor;
    floor.resize(view.viewport()->size());
    floor.show();
    QCoreApplication::processEvents();
    state.counters["viewport_px"] = double(view.viewport()->width()) * view.viewport()->height();
    state.counters["floor_px"] = double(floor.width()) * floor.height();
    bench::interleaved(
        state, [&] { view.viewport()->repaint(); }, [&] { floor.repaint(); });
}

void Fill(benchmark::State &state)
{
    QImage image(Viewport, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(QColor(Qt::white));
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(Widget)
    ->ArgNames({ "stitches", "rows", "pitch" })
    ->Args({ 400, 800, 2 })
    ->Args({ 400, 800, 5 })
    ->Args({ 400, 800, 20 })
    ->Args({ 400, 800, 100 })
    ->Args({ 3200, 6400, 20 })
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(Fill)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanLines)
    ->ArgNames({ "stitches", "rows", "pitch" })
    ->Args({ 400, 800, 2 })
    ->Args({ 400, 800, 5 })
    ->Args({ 400, 800, 20 })
    ->Args({ 400, 800, 100 })
    ->Args({ 3200, 6400, 2 })
    ->Args({ 3200, 6400, 20 })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(EveryCellDrawRect)
    ->ArgNames({ "stitches", "rows", "pitch" })
    ->Args({ 400, 800, 2 })
    ->Args({ 400, 800, 5 })
    ->Args({ 400, 800, 20 })
    ->Args({ 400, 800, 100 })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(EveryCellDrawRect)
    ->ArgNames({ "stitches", "rows", "pitch" })
    ->Args({ 3200, 6400, 2 })
    ->Args({ 3200, 6400, 20 })
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
