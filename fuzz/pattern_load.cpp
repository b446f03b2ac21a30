// Loading a pattern from a file gives exactly what decoding the same bytes
// in memory gives: the same pattern and palette, or the same refusal.
#include "model/PatternFile.h"

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
    const model::PatternFileResult fromFile = model::LoadPatternFile(fileName);
    ::unlink(fileName.c_str());
    const model::PatternFileResult fromMemory = model::DecodePatternFile(data, size);

    if (fromFile.ok != fromMemory.ok)
        std::abort();
    if (fromFile.ok) {
        if (fromFile.loaded.pattern != fromMemory.loaded.pattern
            || fromFile.loaded.palette != fromMemory.loaded.palette)
            std::abort();
    } else if (fromFile.failure.kind != fromMemory.failure.kind || fromFile.failure.error != fromMemory.failure.error
        || fromFile.failure.stitchCount != fromMemory.failure.stitchCount
        || fromFile.failure.rowCount != fromMemory.failure.rowCount) {
        std::abort();
    }
    return 0;
}
