// The thumbnailer on the largest patterns the program allows (2^26 cells as a
// square, a wide strip and a tall strip) against the same program on a pattern
// with one cell per pixel of the same thumbnail, which costs only the start,
// the header and the PNG. Each run is a real process;
// its CPU time and peak memory come from the kernel. A run over 0.5 s of CPU
// or 64 MB fails the benchmark.
#include "Interleaved.h"
#include "support/FileSupport.h"

#include "model/Pattern.h"
#include "model/PatternFile.h"
#include "model/PatternThumbnail.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

constexpr double CpuLimitSeconds = 0.5;
constexpr double MemoryLimitBytes = 64.0 * 1024 * 1024;

const ScratchFolder &scratch()
{
    static const ScratchFolder folder;
    return folder;
}

// A pattern file of the given counts with stripes of colour, written a row at a time.
std::string largeFile(std::int32_t stitches, std::int32_t rows)
{
    const std::string name = scratch().file(std::to_string(stitches) + "x" + std::to_string(rows) + ".plw");
    if (fs::exists(name))
        return name;
    model::Pattern head;
    head.StitchCount = stitches;
    head.RowCount = rows;
    std::vector<std::uint8_t> bytes = model::EncodePatternFile(head, model::Palette {});
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(model::HeaderSize));
    std::vector<model::TColor> row(static_cast<std::size_t>(stitches));
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::size_t s = 0; s < row.size(); ++s)
            row[s] = (s + std::size_t(r)) % 5 == 0 ? 0x000000FF : model::White;
        out.write(reinterpret_cast<const char *>(row.data()), std::streamsize(4 * row.size()));
    }
    return name;
}

struct ChildCost {
    bool succeeded = false;
    double cpuSeconds = 0;
    double peakBytes = 0;
};

ChildCost runThumbnailer(const std::string &input, const std::string &size)
{
    const std::string output = scratch().file("thumbnail.png");
    std::vector<std::string> args = { PURLWISE_THUMBNAILER, "-s", size, input, output };
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return {};
    int status = 0;
    rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child)
        return {};
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return { WIFEXITED(status) && WEXITSTATUS(status) == 0, seconds(usage.ru_utime) + seconds(usage.ru_stime),
        double(usage.ru_maxrss) * 1024 };
}

void thumbnail(benchmark::State &state)
{
    const std::string input = largeFile(std::int32_t(state.range(0)), std::int32_t(state.range(1)));
    const auto [width, height] = model::ThumbnailSize(state.range(0), state.range(1), int(state.range(2)));
    const std::string small = largeFile(width, height);
    const std::string size = std::to_string(state.range(2));
    ChildCost worst;
    bool failed = false;
    bench::interleaved(
        state,
        [&] {
            const ChildCost cost = runThumbnailer(input, size);
            failed = failed || !cost.succeeded;
            worst.cpuSeconds = std::max(worst.cpuSeconds, cost.cpuSeconds);
            worst.peakBytes = std::max(worst.peakBytes, cost.peakBytes);
        },
        [&] { runThumbnailer(small, size); });
    state.counters["worst_cpu_ms"] = worst.cpuSeconds * 1e3;
    state.counters["worst_peak_MB"] = worst.peakBytes / (1024 * 1024);
    if (failed)
        state.SkipWithError("the thumbnailer failed");
    else if (worst.cpuSeconds > CpuLimitSeconds)
        state.SkipWithError("over 0.5 s of CPU");
    else if (worst.peakBytes > MemoryLimitBytes)
        state.SkipWithError("over 64 MB");
}

} // namespace

BENCHMARK(thumbnail)
    ->ArgNames({ "stitches", "rows", "size" })
    ->Args({ 8192, 8192, 256 })
    ->Args({ 8192, 8192, 1024 })
    ->Args({ 1 << 20, 64, 1024 })
    ->Args({ 64, 1 << 20, 1024 })
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6);
