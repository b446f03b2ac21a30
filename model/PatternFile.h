#pragma once
// The pattern file: version 2 written and read, the older layout without a
// version word read only. All numbers little-endian. A save also writes the
// notes file beside the pattern file; both are replaced only when complete.

#include "model/AtomicFile.h"
#include "model/Pattern.h"
#include "model/RegularFile.h"

#include <cstddef>
#include <cstdint>
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
// The notes file's bytes; a missing file is reported as missing, not as an error.
FileContent ReadNotesFile(const std::string &patternFileName);

struct PatternFileFailure {
    enum class Kind {
        CannotRead, // the file could not be opened or read; reason holds why
        Damaged, // short, or counts below 1
        TooLarge, // counts beyond the program's limits
        CannotWrite, // reason holds why; fileName says which of the two files
    };
    Kind kind = Kind::Damaged;
    std::string reason; // DescribeSystemError(error)
    int error = 0; // for CannotRead and CannotWrite
    std::string fileName;
    std::int64_t stitchCount = 0; // the counts read, for TooLarge
    std::int64_t rowCount = 0;
    // For CannotWrite: the notes file was already replaced when the pattern file could not be.
    bool notesReplaced = false;
};

struct LoadedPattern {
    Pattern pattern;
    Palette palette {};
};

// Either a pattern or why there is none.
struct PatternFileResult {
    bool ok = false;
    LoadedPattern loaded;
    PatternFileFailure failure;
};

// The version 2 bytes of a pattern and palette.
std::vector<std::uint8_t> EncodePatternFile(const Pattern &pattern, const Palette &palette);
// Reads either layout from memory; bytes after the last cell are ignored.
PatternFileResult DecodePatternFile(const std::uint8_t *data, std::size_t size);
// Reads either layout from a file, checking it completely before giving a pattern.
PatternFileResult LoadPatternFile(const std::string &fileName);

// Writes the pattern file and its notes file (the bytes as they go on disk).
// Both targets are checked first (see CheckReplaceable) and written to
// temporary files; then both are checked again, and the notes file and the
// pattern file are renamed into place. Returns the failure, if any.
struct SaveResult {
    bool ok = true;
    PatternFileFailure failure;
};
SaveResult SavePatternFile(const std::string &fileName, const Pattern &pattern, const Palette &palette,
    const std::string &notesBytes, const FileSystemCalls &calls = FileSystemCalls::system());

} // namespace model
