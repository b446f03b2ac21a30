// Saving and loading pattern files against a plain write and read of the same
// bytes. The save is measured with and without its flush to disk, so the
// cost of the format and the temporary files can be told from that of fsync.
#include "model/PatternFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

struct Scratch {
    std::string folder;
    Scratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "purlwise-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

const Scratch &scratch()
{
    static Scratch instance;
    return instance;
}

model::Pattern benchPattern(std::int32_t stitches, std::int32_t rows)
{
    model::Pattern pattern;
    model::CreateBlank(pattern, stitches, rows);
    for (std::size_t i = 0; i < pattern.Cells.size(); ++i)
        pattern.Cells[i] = (i % 7 == 0) ? 0x000000FF : model::White;
    return pattern;
}

std::string fileFor(const benchmark::State &state)
{
    return scratch().folder + "/bench-" + std::to_string(state.range(0)) + ".plw";
}

void setBytes(benchmark::State &state, std::size_t bytes)
{
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

void plainWrite(const std::string &name, const std::vector<std::uint8_t> &bytes, bool sync)
{
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
        std::abort();
    if (sync)
        ::fsync(fd);
    ::close(fd);
}

void BM_SavePattern(benchmark::State &state, bool sync)
{
    const model::Pattern pattern = benchPattern(std::int32_t(state.range(0)), std::int32_t(state.range(1)));
    model::FileSystemCalls calls = model::FileSystemCalls::system();
    calls.syncToDisk = sync;
    const std::string name = fileFor(state);
    for (auto _ : state) {
        if (!model::SavePatternFile(name, pattern, model::WhitePalette(), "notes", calls).ok)
            state.SkipWithError("save failed");
    }
    setBytes(state, model::HeaderSize + 4 * pattern.Cells.size());
}

void BM_PlainWrite(benchmark::State &state, bool sync)
{
    const auto bytes = model::EncodePatternFile(
        benchPattern(std::int32_t(state.range(0)), std::int32_t(state.range(1))), model::WhitePalette());
    const std::string name = fileFor(state) + ".plain";
    for (auto _ : state)
        plainWrite(name, bytes, sync);
    setBytes(state, bytes.size());
}

void BM_LoadPattern(benchmark::State &state)
{
    const std::string name = fileFor(state);
    model::SavePatternFile(
        name, benchPattern(std::int32_t(state.range(0)), std::int32_t(state.range(1))), model::WhitePalette(), "");
    std::size_t size = 0;
    for (auto _ : state) {
        model::PatternFileResult result = model::LoadPatternFile(name);
        if (!result.ok)
            state.SkipWithError("load failed");
        size = model::HeaderSize + 4 * result.loaded.pattern.Cells.size();
        benchmark::DoNotOptimize(result.loaded.pattern.Cells.data());
    }
    setBytes(state, size);
}

void BM_PlainRead(benchmark::State &state)
{
    const auto bytes = model::EncodePatternFile(
        benchPattern(std::int32_t(state.range(0)), std::int32_t(state.range(1))), model::WhitePalette());
    const std::string name = fileFor(state) + ".plain";
    plainWrite(name, bytes, false);
    for (auto _ : state) {
        const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        std::unique_ptr<char[]> buffer(new char[bytes.size()]);
        if (fd < 0 || ::read(fd, buffer.get(), bytes.size()) != ssize_t(bytes.size()))
            std::abort();
        ::close(fd);
        benchmark::DoNotOptimize(buffer.get());
    }
    setBytes(state, bytes.size());
}

void sizes(benchmark::internal::Benchmark *bench)
{
    bench->Args({ 400, 800 })->Args({ 3200, 6400 })->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK_CAPTURE(BM_SavePattern, no_fsync, false)->Apply(sizes);
BENCHMARK_CAPTURE(BM_PlainWrite, no_fsync, false)->Apply(sizes);
BENCHMARK_CAPTURE(BM_SavePattern, fsync, true)->Apply(sizes);
BENCHMARK_CAPTURE(BM_PlainWrite, fsync, true)->Apply(sizes);
BENCHMARK(BM_LoadPattern)->Apply(sizes);
BENCHMARK(BM_PlainRead)->Apply(sizes);
