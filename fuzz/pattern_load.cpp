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
    const model::Outcome<model::LoadedPattern> fromFile = model::LoadPatternFile(fileName);
    ::unlink(fileName.c_str());
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
