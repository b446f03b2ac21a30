// Saving and loading pattern files, each against writing or reading the same
// bytes plainly, run alternately in one run. A save writes two new files (the
// pattern and its notes) and replaces the old ones, so the baselines write two
// new files too; the flushed baseline flushes both files and the folder, as
// the save does.
#include "Interleaved.h"
#include "support/FileSupport.h"

#include "model/LargeMemory.h"
#include "model/PatternFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

const std::string &scratch()
{
    static const ScratchFolder folder;
    static const std::string name = folder.path().string();
    return name;
}

const std::string Notes = "notes";

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
    return scratch() + "/bench-" + std::to_string(state.range(0)) + ".plw";
}

void setBytes(benchmark::State &state, std::size_t bytes)
{
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

// A new file in place of the old one: the old is removed, not truncated.
void writeNewFile(const std::string &name, const void *data, std::size_t size, bool sync)
{
    ::unlink(name.c_str());
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, data, size) != ssize_t(size))
        std::abort();
    if (sync)
        ::fsync(fd);
    ::close(fd);
}

void syncFolder(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::fsync(fd);
    ::close(fd);
}

void Save(benchmark::State &state)
{
    const bool sync = state.range(2) != 0;
    const model::Pattern pattern = benchPattern(std::int32_t(state.range(0)), std::int32_t(state.range(1)));
    const auto bytes = model::EncodePatternFile(pattern, model::WhitePalette());
    model::FileSystemCalls calls = model::FileSystemCalls::system();
    calls.syncToDisk = sync;
    const std::string name = fileFor(state), plain = name + ".plain";
    bench::interleaved(
        state,
        [&] {
            if (!model::SavePatternFile(name, pattern, model::WhitePalette(), Notes, calls).ok())
                state.SkipWithError("save failed");
        },
        [&] {
            writeNewFile(plain, bytes.data(), bytes.size(), sync);
            writeNewFile(plain + ".txt", Notes.data(), Notes.size(), sync);
            if (sync)
                syncFolder(scratch());
        });
    setBytes(state, bytes.size());
}

void Load(benchmark::State &state)
{
    const std::string name = fileFor(state), plain = name + ".plain";
    const auto bytes = model::EncodePatternFile(
        benchPattern(std::int32_t(state.range(0)), std::int32_t(state.range(1))), model::WhitePalette());
    model::SavePatternFile(
        name, benchPattern(std::int32_t(state.range(0)), std::int32_t(state.range(1))), model::WhitePalette(), "");
    writeNewFile(plain, bytes.data(), bytes.size(), false);
    bench::interleaved(
        state,
        [&] {
            model::Outcome<model::LoadedPattern> result = model::LoadPatternFile(name);
            if (!result.ok())
                state.SkipWithError("load failed");
            benchmark::DoNotOptimize(result.value().pattern.Cells.data());
        },
        [&] {
            // Into fresh memory of the kind the loaded cells get (huge pages when large).
            const int fd = ::open(plain.c_str(), O_RDONLY | O_CLOEXEC);
            void *buffer = model::allocateLarge(bytes.size());
            if (fd < 0 || !buffer || ::read(fd, buffer, bytes.size()) != ssize_t(bytes.size()))
                std::abort();
            ::close(fd);
            benchmark::DoNotOptimize(buffer);
            model::releaseLarge(buffer, bytes.size());
        });
    setBytes(state, bytes.size());
}

} // namespace

BENCHMARK(Save)
    ->ArgNames({ "stitches", "rows", "fsync" })
    ->ArgsProduct({ { 400 }, { 800 }, { 0, 1 } })
    ->Args({ 3200, 6400, 0 })
    ->Args({ 3200, 6400, 1 })
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Load)
    ->ArgNames({ "stitches", "rows" })
    ->Args({ 400, 800 })
    ->Args({ 3200, 6400 })
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
