// Drawing the preview of the largest new pattern (400 x 800): the scan-line
// renderer the preview uses against one QPainter rectangle per cell.
#include "model/PreviewImage.h"
#include "ui/PaletteSwatch.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <random>

namespace {

const model::Pattern &largest()
{
    static model::Pattern p;
    if (!p.exists()) {
        model::CreateBlank(p, 400, 800);
        std::mt19937 random(1);
        for (model::TColor &cell : p.Cells)
            cell = random() & 0x00FFFFFF;
    }
    return p;
}

QImage imageFor(const model::Pattern &p, int s)
{
    return QImage(p.StitchCount * s + 1, p.RowCount * s + 1, QImage::Format_RGB32);
}

void Renderer(benchmark::State &state)
{
    const model::Pattern &p = largest();
    const int s = int(state.range(0));
    QImage image = imageFor(p, s);
    for (auto _ : state) {
        model::renderPreview(
            p, s, state.range(1) != 0, { reinterpret_cast<model::Pixel *>(image.bits()), image.bytesPerLine() / 4 });
        benchmark::DoNotOptimize(image.bits());
    }
}

void PainterPerCell(benchmark::State &state)
{
    const model::Pattern &p = largest();
    const int s = int(state.range(0));
    const bool grid = state.range(1) != 0;
    QImage image = imageFor(p, s);
    for (auto _ : state) {
        QPainter painter(&image);
        for (int j = 0; j < p.RowCount; ++j)
            for (int k = 0; k < p.StitchCount; ++k) {
                const QColor colour = toQColor(p.at(k, j));
                painter.setPen(grid ? QColor(Qt::black) : colour);
                painter.setBrush(colour);
                painter.drawRect(k * s, j * s, s, s); // outline at k*s and k*s+s
            }
        painter.end();
        benchmark::DoNotOptimize(image.bits());
    }
}

} // namespace

BENCHMARK(Renderer)->ArgsProduct({ { 1, 4, 20 }, { 0, 1 } })->Unit(benchmark::kMillisecond);
BENCHMARK(PainterPerCell)->ArgsProduct({ { 1, 4, 20 }, { 0, 1 } })->Unit(benchmark::kMillisecond);
