#include "model/PatternFile.h"

#include "model/FolderLock.h"
#include "model/Limits.h"
#include "model/LittleEndian.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <new>

namespace model {

namespace {

using Kind = Failure::Kind;

// Cells are stored little-endian; only a big-endian host has to turn them round.
void cellsFromFileOrder(CellArray &cells)
{
    if constexpr (std::endian::native == std::endian::big) {
        for (TColor &cell : cells)
            cell = ReadLittle32(reinterpret_cast<const std::uint8_t *>(&cell));
    }
}

Failure damaged(const std::string &fileName)
{
    return Failure::of(Kind::Damaged, fileName);
}

Failure outOfMemory(const std::string &fileName)
{
    return Failure::fromErrno(Kind::CannotRead, fileName, ENOMEM);
}

using Header = PatternFileHeader;

// Reads the counts and palette of either layout and checks the counts.
Outcome<Header> parseHeader(std::span<const std::uint8_t> bytes, const std::string &fileName)
{
    if (bytes.size() < 4)
        return damaged(fileName);
    Header header;
    const std::uint8_t *palette;
    if (std::int32_t(ReadLittle32(bytes.data())) == PatternFileVersion) {
        if (bytes.size() < HeaderSize)
            return damaged(fileName);
        header.stitchCount = std::int32_t(ReadLittle32(bytes.data() + 4));
        header.rowCount = std::int32_t(ReadLittle32(bytes.data() + 8));
        palette = bytes.data() + 12;
        header.cellOffset = HeaderSize;
    } else {
        if (bytes.size() < LegacyHeaderSize)
            return damaged(fileName);
        header.stitchCount = bytes[0];
        header.rowCount = bytes[1];
        palette = bytes.data() + 2;
        header.cellOffset = LegacyHeaderSize;
    }
    if (header.stitchCount < 1 || header.rowCount < 1)
        return damaged(fileName);
    if (!fitsLimits(header.stitchCount, header.rowCount))
        return Failure::tooLarge(header.stitchCount, header.rowCount, fileName);
    for (int slot = 0; slot < PaletteSize; ++slot)
        header.palette[slot] = ReadLittle32(palette + 4 * slot);
    return header;
}

// The version 2 header; the one writer of it, for the bytes in memory and the file alike.
std::array<std::uint8_t, HeaderSize> encodeHeader(const Pattern &pattern, const Palette &palette)
{
    std::array<std::uint8_t, HeaderSize> head;
    PutLittle32(head.data(), std::uint32_t(PatternFileVersion));
    PutLittle32(head.data() + 4, std::uint32_t(pattern.StitchCount));
    PutLittle32(head.data() + 8, std::uint32_t(pattern.RowCount));
    for (int slot = 0; slot < PaletteSize; ++slot)
        PutLittle32(head.data() + 12 + 4 * slot, palette[slot]);
    return head;
}

LoadedPattern withCells(const Header &header, CellArray &&cells)
{
    LoadedPattern loaded;
    loaded.pattern.StitchCount = std::int32_t(header.stitchCount);
    loaded.pattern.RowCount = std::int32_t(header.rowCount);
    loaded.pattern.Cells = std::move(cells);
    loaded.palette = header.palette;
    return loaded;
}

} // namespace

std::string NotesFileName(const std::string &patternFileName)
{
    return patternFileName + ".txt";
}

Outcome<std::string> ReadNotesFile(const std::string &patternFileName)
{
    Outcome<std::string> read = ReadWholeFile(NotesFileName(patternFileName), NotesFileLimit);
    // A pattern whose name is nearly as long as a name may be cannot have notes beside it.
    if (!read.ok() && (read.failure().missingFile() || read.failure().error == ENAMETOOLONG))
        return std::string();
    return read;
}

std::vector<std::uint8_t> EncodePatternFile(const Pattern &pattern, const Palette &palette)
{
    const auto head = encodeHeader(pattern, palette);
    std::vector<std::uint8_t> bytes(HeaderSize + 4 * pattern.Cells.size());
    std::copy(head.begin(), head.end(), bytes.begin());
    std::uint8_t *out = bytes.data() + HeaderSize;
    for (TColor cell : pattern.Cells) {
        PutLittle32(out, cell);
        out += 4;
    }
    return bytes;
}

Outcome<LoadedPattern> DecodePatternFile(std::span<const std::uint8_t> bytes)
{
    const Outcome<Header> parsed = parseHeader(bytes, {});
    if (!parsed.ok())
        return parsed.failure();
    const Header &header = parsed.value();
    if ((bytes.size() - header.cellOffset) / 4 < header.cellCount())
        return damaged({});
    try {
        CellArray cells(header.cellCount());
        std::memcpy(cells.data(), bytes.data() + header.cellOffset, 4 * cells.size());
        cellsFromFileOrder(cells);
        return withCells(header, std::move(cells));
    } catch (const std::bad_alloc &) {
        return outOfMemory({});
    }
}

Outcome<PatternFileHeader> ReadPatternFileHeader(const ReadableFile &file)
{
    std::uint8_t head[HeaderSize];
    const Outcome<std::size_t> headSize = file.readAt(std::as_writable_bytes(std::span(head)), 0);
    if (!headSize.ok())
        return headSize.failure();
    const Outcome<Header> parsed = parseHeader(std::span(head, headSize.value()), file.name());
    if (!parsed.ok())
        return parsed.failure();
    // A file too short for its counts is refused before anything reads its cells.
    if ((file.size() - parsed.value().cellOffset) / 4 < parsed.value().cellCount())
        return damaged(file.name());
    return parsed;
}

Outcome<LoadedPattern> LoadPatternFile(const std::string &fileName)
{
    const Outcome<ReadableFile> opened = ReadableFile::open(fileName);
    if (!opened.ok())
        return opened.failure();
    const ReadableFile &file = opened.value();
    const Outcome<Header> parsed = ReadPatternFileHeader(file);
    if (!parsed.ok())
        return parsed.failure();
    const Header &header = parsed.value();

    try {
        // One read straight into the new cells; they need no filling first.
        CellArray cells;
        cells.resize(header.cellCount());
        const std::span<std::byte> wanted = std::as_writable_bytes(std::span(cells));
        const Outcome<std::size_t> got = file.readAt(wanted, header.cellOffset);
        if (!got.ok())
            return got.failure();
        if (got.value() < wanted.size())
            return damaged(fileName);
        cellsFromFileOrder(cells);
        return withCells(header, std::move(cells));
    } catch (const std::bad_alloc &) {
        return outOfMemory(fileName);
    }
}

namespace {

Outcome<> checkBoth(AtomicFile &patternFile, AtomicFile &notesFile)
{
    Outcome<> checked = patternFile.checkTargets();
    return checked.ok() ? notesFile.checkTargets() : checked;
}

// Streams the version 2 layout without building a second copy of the cells.
Outcome<> writePatternBytes(AtomicFile &file, const Pattern &pattern, const Palette &palette)
{
    const auto head = encodeHeader(pattern, palette);
    Outcome<> written = file.write(std::as_bytes(std::span(head)));
    if (!written.ok())
        return written;
    if constexpr (std::endian::native == std::endian::little) {
        return file.write(std::as_bytes(std::span(pattern.Cells)));
    } else {
        std::uint8_t chunk[1 << 16];
        std::size_t next = 0;
        while (next < pattern.Cells.size() && written.ok()) {
            const std::size_t count = std::min(pattern.Cells.size() - next, sizeof chunk / 4);
            for (std::size_t i = 0; i < count; ++i)
                PutLittle32(chunk + 4 * i, pattern.Cells[next + i]);
            written = file.write(std::as_bytes(std::span(chunk, 4 * count)));
            next += count;
        }
        return written;
    }
}

} // namespace

Outcome<> SavePatternFile(const std::string &fileName, const Pattern &pattern, const Palette &palette,
    const std::string &notesBytes, const FileSystemCalls &calls)
{
    const std::string notesName = NotesFileName(fileName);
    // What is written must open again: notes past the read limit are refused before anything is written.
    if (notesBytes.size() > NotesFileLimit)
        return Failure::fromErrno(Failure::Kind::CannotWrite, notesName, EFBIG);
    // Two copies saving the same pattern take turns, so the pair on disk comes from one save.
    const Outcome<FolderLock> lock = FolderLock::acquire(fileName);
    if (!lock.ok())
        return lock.failure();

    AtomicFile patternFile(fileName, calls, Backup::Keep);
    AtomicFile notesFile(notesName, calls, Backup::Keep);
    // Neither file may be replaced unless both may; checked before the long write and again before the renames.
    Outcome<> done = checkBoth(patternFile, notesFile);
    if (done.ok())
        done = patternFile.open();
    if (done.ok())
        done = notesFile.open();
    if (done.ok())
        done = writePatternBytes(patternFile, pattern, palette);
    if (done.ok())
        done = patternFile.finish();
    if (done.ok())
        done = notesFile.write(std::as_bytes(std::span(notesBytes)));
    if (done.ok())
        done = notesFile.finish();
    if (done.ok())
        done = checkBoth(patternFile, notesFile);
    if (done.ok())
        done = notesFile.replace();
    if (!done.ok())
        return done;
    if (done = patternFile.replace(); !done.ok()) {
        // The old notes go back, so the pair on disk stays the old one.
        Failure failure = done.failure();
        failure.notesReplaced = !notesFile.undo().ok();
        return failure;
    }
    if (done = notesFile.keepBackup(false); !done.ok()) {
        patternFile.undo();
        return done;
    }
    if (done = patternFile.keepBackup(false); !done.ok()) {
        Failure failure = done.failure();
        failure.notesReplaced = true;
        return failure;
    }
    // One flush of each folder makes all the renames durable.
    SyncFolder(FolderOf(patternFile.target()), calls);
    if (FolderOf(notesFile.target()) != FolderOf(patternFile.target()))
        SyncFolder(FolderOf(notesFile.target()), calls);
    return {};
}

} // namespace model
