#pragma once
// The pattern file: version 2 written and read, the older layout without a
// version word read only. All numbers little-endian. A save also writes the
// notes file beside the pattern file; both are replaced only when complete.

#include "model/AtomicFile.h"
#include "model/Pattern.h"
#include "model/RegularFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace model {

inline constexpr std::int32_t PatternFileVersion = 2;
inline constexpr std::size_t HeaderSize = 76; // version, two counts, palette
inline constexpr std::size_t LegacyHeaderSize = 66; // two byte counts, palette

// motif.plw keeps its notes in motif.plw.txt.
std::string NotesFileName(const std::string &patternFileName);

// Larger notes files are refused rather than read: no one types that much,
// and the notes window would take minutes and gigabytes to show them.
inline constexpr std::size_t NotesFileLimit = std::size_t(16) << 20;
// The notes file's bytes; a missing notes file, or one whose name would be
// too long to exist, is empty notes.
Outcome<std::string> ReadNotesFile(const std::string &patternFileName);

struct LoadedPattern {
    Pattern pattern;
    Palette palette {};
};

// The version 2 bytes of a pattern and palette.
std::vector<std::uint8_t> EncodePatternFile(const Pattern &pattern, const Palette &palette);
// Reads either layout from memory; bytes after the last cell are ignored.
// Fails with Damaged, TooLarge (with the counts read), or CannotRead with
// ENOMEM when the cells find no memory.
Outcome<LoadedPattern> DecodePatternFile(std::span<const std::uint8_t> bytes);
// The counts and palette of either layout, and where the cells start.
struct PatternFileHeader {
    std::int64_t stitchCount = 0;
    std::int64_t rowCount = 0;
    Palette palette {};
    std::size_t cellOffset = 0;
    std::size_t cellCount() const { return std::size_t(stitchCount) * std::size_t(rowCount); }
};
// Reads and checks the header of an open file, and that the file is long
// enough for its cells, without reading them. Fails as LoadPatternFile does.
Outcome<PatternFileHeader> ReadPatternFileHeader(const ReadableFile &file);

// Reads either layout from a file, checking it completely before giving a
// pattern. Fails as DecodePatternFile does, naming the file, or with CannotRead.
Outcome<LoadedPattern> LoadPatternFile(const std::string &fileName);

// Writes the pattern file and its notes file (the bytes as they go on disk),
// holding the folder's lock so that saves by two copies take turns. Notes
// the reader would refuse are refused (CannotWrite, EFBIG) before anything
// is written. Both targets are checked first (see CheckReplaceable) and
// written to temporary files; then both are checked again, and the notes
// file and the pattern file are renamed into place, each replaced file kept
// as its backup (BackupFileName). When the pattern's rename fails the old
// notes are put back. A CannotWrite failure names the file that could not be
// written.
Outcome<> SavePatternFile(const std::string &fileName, const Pattern &pattern, const Palette &palette,
    const std::string &notesBytes, const FileSystemCalls &calls = FileSystemCalls::system());

} // namespace model
