// Each whole-pattern operation on a 3200 x 6400 pattern, beside the cost of
// copying the same cells into a fresh array.

#include "model/Transformations.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <random>

namespace {

const model::Pattern &benchPattern()
{
    static const model::Pattern pattern = [] {
        model::Pattern p;
        model::CreateBlank(p, 3200, 6400);
        std::mt19937 rng(1);
        for (model::TColor &c : p.Cells)
            c = rng() & 0x00FFFFFF;
        return p;
    }();
    return pattern;
}

void BM_CopyBaseline(benchmark::State &state)
{
    const model::Pattern &old = benchPattern();
    for (auto _ : state) {
        model::CellArray dst;
        dst.resize(old.Cells.size());
        std::memcpy(dst.data(), old.Cells.data(), old.Cells.size() * sizeof(model::TColor));
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(old.Cells.size() * sizeof(model::TColor)));
}

void BM_Transform(benchmark::State &state)
{
    const auto t = model::Transform(state.range(0));
    const model::Pattern &old = benchPattern();
    for (auto _ : state) {
        model::Pattern result = model::Apply(t, old);
        benchmark::DoNotOptimize(result.Cells.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(old.Cells.size() * sizeof(model::TColor)));
}

const char *const Names[model::TransformCount] = { "CopyHorizontal", "CopyVertical", "RotateLeft", "ReverseHorizontal",
    "ReverseVertical", "RotateRight", "DoubleRows", "DoubleColumns", "Negative", "MirrorHorizontal", "MirrorVertical",
    "InsertEmptyRows", "KeepLeftHalf", "KeepTopHalf", "KeepEvenRows", "KeepEvenColumns", "RemoveInsertedRows" };

[[maybe_unused]] const bool registered = [] {
    benchmark::RegisterBenchmark("CopyBaseline", BM_CopyBaseline)->Unit(benchmark::kMillisecond);
    for (int i = 0; i < model::TransformCount; ++i)
        benchmark::RegisterBenchmark(Names[i], BM_Transform)->Arg(i)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
