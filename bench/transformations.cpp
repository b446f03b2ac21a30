// Each whole-pattern operation on patterns from the largest new one to the
// largest square and the longest strips, beside the cost of copying the same
// cells into a fresh array.
#include "Interleaved.h"


#include "model/Limits.h"
#include "model/Transformations.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <iterator>
#include <map>
#include <random>

namespace {

struct Size {
    std::int32_t stitches, rows;
};
constexpr Size Sizes[] = { { 400, 800 }, { 3200, 6400 }, { 8192, 8192 }, { 1048576, 64 }, { 64, 1048576 } };

const model::Pattern &benchPattern(int size)
{
    static std::map<int, model::Pattern> made;
    model::Pattern &p = made[size];
    if (!p.exists()) {
        model::CreateBlank(p, Sizes[size].stitches, Sizes[size].rows);
        std::mt19937 rng(1);
        for (model::TColor &c : p.Cells)
            c = rng() & 0x00FFFFFF;
    }
    return p;
}

// Each operation against copying the same cells into a fresh cell array,
// which takes memory of the same kind as the result's, alternately.
void Transform(benchmark::State &state)
{
    const auto t = model::Transform(state.range(0));
    const model::Pattern &old = benchPattern(int(state.range(1)));
    bench::interleaved(
        state,
        [&] {
            model::Pattern result = model::Apply(t, old);
            benchmark::DoNotOptimize(result.Cells.data());
            benchmark::ClobberMemory();
        },
        [&] {
            model::CellArray copy;
            copy.resize(old.Cells.size());
            std::memcpy(copy.data(), old.Cells.data(), old.Cells.size() * sizeof(model::TColor));
            benchmark::DoNotOptimize(copy.data());
            benchmark::ClobberMemory();
        });
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(old.Cells.size() * sizeof(model::TColor)));
}

const char *const Names[model::TransformCount] = { "CopyHorizontal", "CopyVertical", "RotateLeft", "ReverseHorizontal",
    "ReverseVertical", "RotateRight", "DoubleRows", "DoubleColumns", "Negative", "MirrorHorizontal", "MirrorVertical",
    "InsertEmptyRows", "KeepLeftHalf", "KeepTopHalf", "KeepEvenRows", "KeepEvenColumns", "RemoveInsertedRows" };

[[maybe_unused]] const bool registered = [] {
    for (int i = 0; i < model::TransformCount; ++i)
        for (int size = 0; size < int(std::size(Sizes)); ++size) {
            const model::Counts counts = model::ResultCounts(model::Transform(i), Sizes[size].stitches, Sizes[size].rows);
            if (model::fitsLimits(counts.StitchCount, counts.RowCount))
            {
                auto *b = benchmark::RegisterBenchmark(Names[i], Transform)
                              ->Args({ i, size })
                              ->ArgNames({ "op", "size" })
                              ->UseManualTime()
                              ->Unit(benchmark::kMillisecond);
                // Enough pairs for a median even where one run takes a second.
                if (size > 0)
                    b->Iterations(8);
            }
        }
    return true;
}();

} // namespace
