// Loading a pattern from a file gives exactly what decoding the same bytes
// in memory gives: the same pattern and palette, or the same refusal. The
// file's thumbnail is refused with it, or shows the cells under its pixels.
#include "model/PatternFile.h"
#include "model/PatternThumbnail.h"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// On a memory file system when there is one: every run writes a file.
std::string scratchFile()
{
    const std::string folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return folder + "/purlwise-fuzz-" + std::to_string(::getpid()) + ".plw";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string fileName = scratchFile();
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, data, size) != ssize_t(size) || ::close(fd) != 0)
        std::abort();
    const model::Outcome<model::LoadedPattern> fromFile = model::LoadPatternFile(fileName);
    const int side = 1 + int(size % 40);
    const model::Outcome<model::Thumbnail> thumbnail = model::PatternThumbnail(fileName, side);
    ::unlink(fileName.c_str());
    if (thumbnail.ok() != fromFile.ok())
        std::abort();
    if (thumbnail.ok()) {
        const model::Pattern &pattern = fromFile.value().pattern;
        const model::Thumbnail &picture = thumbnail.value();
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (picture.pixels[std::size_t(y * picture.width + x)]
                    != pattern.at(std::int32_t((2 * std::int64_t(x) + 1) * pattern.StitchCount / (2 * picture.width)),
                        std::int32_t((2 * std::int64_t(y) + 1) * pattern.RowCount / (2 * picture.height))))
                    std::abort();
    }
    const model::Outcome<model::LoadedPattern> fromMemory = model::DecodePatternFile({ data, size });

    if (fromFile.ok() != fromMemory.ok())
        std::abort();
    if (fromFile.ok()) {
        if (fromFile.value().pattern != fromMemory.value().pattern
            || fromFile.value().palette != fromMemory.value().palette)
            std::abort();
    } else if (const model::Failure &file = fromFile.failure(), &memory = fromMemory.failure(); file.kind != memory.kind
               || file.error != memory.error || file.stitchCount != memory.stitchCount
               || file.rowCount != memory.rowCount) {
        std::abort();
    }
    return 0;
}
