#include "model/PatternFile.h"

#include "model/Limits.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace model {

namespace {

using Kind = PatternFileFailure::Kind;

std::uint32_t readUint32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void putUint32(std::uint8_t *p, std::uint32_t value)
{
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
    p[2] = std::uint8_t(value >> 16);
    p[3] = std::uint8_t(value >> 24);
}

// Cells are stored little-endian; only a big-endian host has to turn them round.
void cellsFromFileOrder(CellArray &cells)
{
    if constexpr (std::endian::native == std::endian::big) {
        for (TColor &cell : cells)
            cell = readUint32(reinterpret_cast<const std::uint8_t *>(&cell));
    }
}

PatternFileResult failed(Kind kind, int error = 0)
{
    PatternFileResult result;
    result.failure.kind = kind;
    if (error != 0) {
        const FileStatus status = FileStatus::fromErrno(error);
        result.failure.reason = status.reason;
        result.failure.error = status.error;
    }
    return result;
}

struct Header {
    std::int64_t stitchCount = 0;
    std::int64_t rowCount = 0;
    Palette palette {};
    std::size_t cellOffset = 0;
    std::size_t cellCount() const { return std::size_t(stitchCount) * std::size_t(rowCount); }
};

// Reads the counts and palette of either layout and checks the counts. On
// failure the result says why; on success it is left alone.
bool parseHeader(const std::uint8_t *data, std::size_t size, Header &header, PatternFileResult &result)
{
    if (size < 4) {
        result = failed(Kind::Damaged);
        return false;
    }
    const std::uint8_t *palette;
    if (std::int32_t(readUint32(data)) == PatternFileVersion) {
        if (size < HeaderSize) {
            result = failed(Kind::Damaged);
            return false;
        }
        header.stitchCount = std::int32_t(readUint32(data + 4));
        header.rowCount = std::int32_t(readUint32(data + 8));
        palette = data + 12;
        header.cellOffset = HeaderSize;
    } else {
        if (size < LegacyHeaderSize) {
            result = failed(Kind::Damaged);
            return false;
        }
        header.stitchCount = data[0];
        header.rowCount = data[1];
        palette = data + 2;
        header.cellOffset = LegacyHeaderSize;
    }
    if (header.stitchCount < 1 || header.rowCount < 1) {
        result = failed(Kind::Damaged);
        return false;
    }
    if (!fitsLimits(header.stitchCount, header.rowCount)) {
        result = failed(Kind::TooLarge);
        result.failure.stitchCount = header.stitchCount;
        result.failure.rowCount = header.rowCount;
        return false;
    }
    for (int slot = 0; slot < PaletteSize; ++slot)
        header.palette[slot] = readUint32(palette + 4 * slot);
    return true;
}

PatternFileResult withCells(const Header &header, CellArray &&cells)
{
    PatternFileResult result;
    result.ok = true;
    result.loaded.pattern.StitchCount = std::int32_t(header.stitchCount);
    result.loaded.pattern.RowCount = std::int32_t(header.rowCount);
    result.loaded.pattern.Cells = std::move(cells);
    result.loaded.palette = header.palette;
    return result;
}

// Reads until size bytes are in or the file ends; returns the count read, or -1.
ssize_t readFully(int fd, void *buffer, std::size_t size, off_t offset)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, static_cast<char *>(buffer) + done, size - done, offset + off_t(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    return ssize_t(done);
}

struct FileHandle {
    int fd;
    ~FileHandle()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::string NotesFileName(const std::string &patternFileName)
{
    return patternFileName + ".txt";
}

FileContent ReadNotesFile(const std::string &patternFileName)
{
    return ReadRegularFile(NotesFileName(patternFileName), NotesFileLimit);
}

std::vector<std::uint8_t> EncodePatternFile(const Pattern &pattern, const Palette &palette)
{
    std::vector<std::uint8_t> bytes(HeaderSize + 4 * pattern.Cells.size());
    putUint32(bytes.data(), std::uint32_t(PatternFileVersion));
    putUint32(bytes.data() + 4, std::uint32_t(pattern.StitchCount));
    putUint32(bytes.data() + 8, std::uint32_t(pattern.RowCount));
    for (int slot = 0; slot < PaletteSize; ++slot)
        putUint32(bytes.data() + 12 + 4 * slot, palette[slot]);
    std::uint8_t *out = bytes.data() + HeaderSize;
    for (TColor cell : pattern.Cells) {
        putUint32(out, cell);
        out += 4;
    }
    return bytes;
}

PatternFileResult DecodePatternFile(const std::uint8_t *data, std::size_t size)
{
    Header header;
    PatternFileResult result;
    if (!parseHeader(data, size, header, result))
        return result;
    if ((size - header.cellOffset) / 4 < header.cellCount())
        return failed(Kind::Damaged);
    try {
        CellArray cells(header.cellCount());
        std::memcpy(cells.data(), data + header.cellOffset, 4 * cells.size());
        cellsFromFileOrder(cells);
        return withCells(header, std::move(cells));
    } catch (const std::bad_alloc &) {
        return failed(Kind::CannotRead, ENOMEM);
    }
}

PatternFileResult LoadPatternFile(const std::string &fileName)
{
    int error = 0;
    const FileHandle file { OpenRegularFile(fileName, error) };
    if (file.fd < 0)
        return failed(Kind::CannotRead, error);

    std::uint8_t head[HeaderSize];
    const ssize_t headSize = readFully(file.fd, head, sizeof head, 0);
    if (headSize < 0)
        return failed(Kind::CannotRead, errno);
    Header header;
    PatternFileResult result;
    if (!parseHeader(head, std::size_t(headSize), header, result))
        return result;
    // A file too short for its counts is refused before its cells are allocated.
    struct stat info;
    if (::fstat(file.fd, &info) == 0 && (std::uint64_t(info.st_size) - header.cellOffset) / 4 < header.cellCount())
        return failed(Kind::Damaged);

    try {
        // One read straight into the new cells; they need no filling first.
        CellArray cells;
        cells.resize(header.cellCount());
        const std::size_t wanted = 4 * cells.size();
        const ssize_t got = readFully(file.fd, cells.data(), wanted, off_t(header.cellOffset));
        if (got < 0)
            return failed(Kind::CannotRead, errno);
        if (std::size_t(got) < wanted)
            return failed(Kind::Damaged);
        cellsFromFileOrder(cells);
        return withCells(header, std::move(cells));
    } catch (const std::bad_alloc &) {
        return failed(Kind::CannotRead, ENOMEM);
    }
}

namespace {

// Streams the version 2 layout without building a second copy of the cells.
FileStatus writePatternBytes(AtomicFile &file, const Pattern &pattern, const Palette &palette)
{
    std::uint8_t head[HeaderSize];
    putUint32(head, std::uint32_t(PatternFileVersion));
    putUint32(head + 4, std::uint32_t(pattern.StitchCount));
    putUint32(head + 8, std::uint32_t(pattern.RowCount));
    for (int slot = 0; slot < PaletteSize; ++slot)
        putUint32(head + 12 + 4 * slot, palette[slot]);
    FileStatus status = file.write(head, sizeof head);
    if (!status.ok())
        return status;
    if constexpr (std::endian::native == std::endian::little) {
        return file.write(pattern.Cells.data(), 4 * pattern.Cells.size());
    } else {
        std::uint8_t chunk[1 << 16];
        std::size_t next = 0;
        while (next < pattern.Cells.size() && status.ok()) {
            const std::size_t count = std::min(pattern.Cells.size() - next, sizeof chunk / 4);
            for (std::size_t i = 0; i < count; ++i)
                putUint32(chunk + 4 * i, pattern.Cells[next + i]);
            status = file.write(chunk, 4 * count);
            next += count;
        }
        return status;
    }
}

SaveResult cannotWrite(const std::string &fileName, const FileStatus &status, bool notesReplaced = false)
{
    SaveResult result;
    result.ok = false;
    result.failure.kind = Kind::CannotWrite;
    result.failure.fileName = fileName;
    result.failure.reason = status.reason;
    result.failure.error = status.error;
    result.failure.notesReplaced = notesReplaced;
    return result;
}

} // namespace

SaveResult SavePatternFile(const std::string &fileName, const Pattern &pattern, const Palette &palette,
    const std::string &notesBytes, const FileSystemCalls &calls)
{
    const std::string notesName = NotesFileName(fileName);
    AtomicFile patternFile(fileName, calls);
    AtomicFile notesFile(notesName, calls);
    // Neither file may be replaced unless both may; checked before the long write and again before the renames.
    const auto checkBoth = [&]() -> SaveResult {
        for (const AtomicFile *file : { &patternFile, &notesFile }) {
            if (FileStatus status = CheckReplaceable(file->target()); !status.ok())
                return cannotWrite(file == &patternFile ? fileName : notesName, status);
        }
        return {};
    };
    if (SaveResult checked = checkBoth(); !checked.ok)
        return checked;

    FileStatus status = patternFile.open();
    if (status.ok())
        status = writePatternBytes(patternFile, pattern, palette);
    if (status.ok())
        status = patternFile.finish();
    if (!status.ok())
        return cannotWrite(fileName, status);

    status = notesFile.open();
    if (status.ok())
        status = notesFile.write(notesBytes.data(), notesBytes.size());
    if (status.ok())
        status = notesFile.finish();
    if (!status.ok())
        return cannotWrite(notesName, status);
    if (SaveResult checked = checkBoth(); !checked.ok)
        return checked;
    // The pattern's rename flushes the folder for both when they share it.
    const bool sameFolder = std::filesystem::path(notesFile.target()).parent_path()
        == std::filesystem::path(patternFile.target()).parent_path();
    if (status.ok())
        status = notesFile.commit(!sameFolder);
    if (!status.ok())
        return cannotWrite(notesName, status);

    status = patternFile.commit();
    if (!status.ok())
        return cannotWrite(fileName, status, true);
    return {};
}

} // namespace model
