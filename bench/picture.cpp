// A 4000 x 3000 photo made into a 200 x 300 pattern of 4 colours, and into the
// dialog's largest preview of 400 x 800 cells, each against one pass over the
// photo's pixels that reads every byte (their sum), run alternately.
#include "Interleaved.h"

#include "model/PictureToPattern.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct Photo {
    std::int32_t width = 4000, height = 3000;
    std::vector<std::uint8_t> rgba;
    Photo()
        : rgba(std::size_t(width) * std::size_t(height) * 4)
    {
        // Smooth shading with fine noise, as a camera gives.
        std::uint32_t noise = 12345;
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x) {
                noise = noise * 1103515245u + 12345u;
                std::uint8_t *p = &rgba[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
                const int grain = int(noise >> 28) - 8;
                p[0] = std::uint8_t(std::clamp(x * 255 / width + grain, 0, 255));
                p[1] = std::uint8_t(std::clamp(y * 255 / height + grain, 0, 255));
                p[2] = std::uint8_t(std::clamp((x + y) % 256 + grain, 0, 255));
                p[3] = 255;
            }
    }
    model::PictureView view() const { return { rgba.data(), width, height, std::int64_t(width) * 4 }; }
};

const Photo &photo()
{
    static const Photo made;
    return made;
}

// Reads every byte of the photo once: what any conversion must at least do.
void onePass(const Photo &source)
{
    std::uint64_t sum = 0;
    for (std::uint8_t byte : source.rgba)
        sum += byte;
    benchmark::DoNotOptimize(sum);
}

void BM_PhotoToPattern(benchmark::State &state)
{
    const Photo &source = photo();
    bench::interleaved(
        state,
        [&] {
            auto made = model::ConvertPicture(source.view(), { 200, 300, 4, false });
            benchmark::DoNotOptimize(made);
        },
        [&] { onePass(source); });
}
BENCHMARK(BM_PhotoToPattern)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LargestPreview(benchmark::State &state)
{
    const Photo &source = photo();
    bench::interleaved(
        state,
        [&] {
            auto made = model::ConvertPicture(source.view(), { 400, 800, int(state.range(0)), state.range(1) != 0 });
            benchmark::DoNotOptimize(made);
        },
        [&] { onePass(source); });
}
BENCHMARK(BM_LargestPreview)->Args({ 4, 0 })->Args({ 16, 1 })->UseManualTime()->Unit(benchmark::kMillisecond);

// The preview's two steps apart: averaging, then reducing the colours.
void BM_LargestPreviewAveraging(benchmark::State &state)
{
    const Photo &source = photo();
    for (auto _ : state) {
        auto made = model::AverageCells(source.view(), 400, 800);
        benchmark::DoNotOptimize(made);
    }
}
BENCHMARK(BM_LargestPreviewAveraging)->Unit(benchmark::kMillisecond);

void BM_LargestPreviewColours(benchmark::State &state)
{
    const auto cells = model::AverageCells(photo().view(), 400, 800);
    for (auto _ : state) {
        auto made = model::ReduceColours(cells.value(), int(state.range(0)), state.range(1) != 0);
        benchmark::DoNotOptimize(made);
    }
}
BENCHMARK(BM_LargestPreviewColours)->Args({ 4, 0 })->Args({ 16, 1 })->Unit(benchmark::kMillisecond);

} // namespace
