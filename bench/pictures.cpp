// Picture readers against their hostile inputs. A metafile of 200 ellipses
// the size of the largest picture: painting the part a window shows, against
// rasterising its whole natural size as a reader without a recorded drawing
// must. A valid progressive JPEG of 694 scans, refused at the work budget,
// against the ordinary progressive file of the same picture. Many small fills
// under one clip, against the same fills without it.
#include "OffscreenApplication.h"
#include "PictureFixtures.h"

#include "picture/JpegReader.h"
#include "picture/MetafileReader.h"

#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const Picture &largeMetafile()
{
    static const Picture decoded = [] {
        offscreenApplication();
        QTemporaryDir dir;
        const int width = 16384, height = 4096;
        return decodeEmf(emfDrawing(dir.filePath("large.emf"), width, height, [&](const RecordAdder &add, EMFHANDLES *table) {
            uint32_t brush = 0;
            add(createbrushindirect_set(&brush, table, logbrush_set(U_BS_SOLID, colorref_set(255, 0, 0), 0)));
            add(selectobject_set(brush, table));
            for (int i = 0; i < 200; ++i)
                add(U_EMRELLIPSE_set(rectl_set(pointl_set(0, 0), pointl_set(width, height))));
        })).value();
    }();
    return decoded;
}

void BM_MetafileShownPart(benchmark::State &state)
{
    const Picture picture = largeMetafile();
    QImage window(223, 506, QImage::Format_RGB32);
    const QRect shown(8000, 1800, 223, 506);
    for (auto _ : state) {
        QPainter painter(&window);
        painter.translate(-shown.topLeft());
        picture.paint(painter, shown);
    }
}
BENCHMARK(BM_MetafileShownPart)->Unit(benchmark::kMillisecond);

void BM_MetafileWholeRaster(benchmark::State &state)
{
    const Picture picture = largeMetafile();
    for (auto _ : state)
        benchmark::DoNotOptimize(picture.toImage());
}
BENCHMARK(BM_MetafileWholeRaster)->Unit(benchmark::kMillisecond)->Iterations(2);

// 10,000 small fills, as a map or a chart holds, with or without one clip
// rectangle over them all: painting the window's part of each.
Picture manyFills(bool clipped)
{
    offscreenApplication();
    QTemporaryDir dir;
    return decodeEmf(emfDrawing(dir.filePath("fills.emf"), 672, 480, [&](const RecordAdder &add, EMFHANDLES *table) {
        uint32_t brush = 0;
        add(createbrushindirect_set(&brush, table, logbrush_set(U_BS_SOLID, colorref_set(0, 0, 255), 0)));
        add(selectobject_set(brush, table));
        if (clipped)
            add(U_EMRINTERSECTCLIPRECT_set(rectl_set(pointl_set(10, 10), pointl_set(660, 470))));
        for (int i = 0; i < 10000; ++i)
            add(U_EMRRECTANGLE_set(rectl_set(pointl_set(i % 600, i % 400), pointl_set(i % 600 + 20, i % 400 + 20))));
    })).value();
}

void BM_MetafileManyFills(benchmark::State &state)
{
    const Picture picture = manyFills(state.range(0) != 0);
    QImage window(223, 506, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&window);
        picture.paint(painter, window.rect());
    }
}
BENCHMARK(BM_MetafileManyFills)->ArgName("clipped")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

const QImage &photo()
{
    static const QImage image = [] {
        QImage picture(2048, 2048, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 7 % 256, y * 3 % 256, (x ^ y) % 256));
        return picture;
    }();
    return image;
}

void BM_JpegOrdinaryProgressive(benchmark::State &state)
{
    const QByteArray file = jpegBytes(photo(), JpegKind::Progressive);
    for (auto _ : state) {
        if (!decodeJpeg(file).ok())
            std::abort();
    }
}
BENCHMARK(BM_JpegOrdinaryProgressive)->Unit(benchmark::kMillisecond);

void BM_JpegScanHeavyRefused(benchmark::State &state)
{
    const QByteArray file = jpegBytes(photo(), JpegKind::ScanHeavy);
    for (auto _ : state) {
        if (decodeJpeg(file).ok())
            std::abort();
    }
}
BENCHMARK(BM_JpegScanHeavyRefused)->Unit(benchmark::kMillisecond);

} // namespace
