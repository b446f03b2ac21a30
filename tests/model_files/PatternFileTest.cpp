// The pattern file layouts, byte for byte, and the files the reader refuses.
#include "support/FileSupport.h"

#include "model/Limits.h"
#include "model/PatternFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <random>

using namespace model;
using Kind = Failure::Kind;

namespace {

Palette countingPalette()
{
    Palette palette;
    for (int slot = 0; slot < PaletteSize; ++slot)
        palette[slot] = 0x00010203u * std::uint32_t(slot + 1);
    return palette;
}

// Every cell a different colour, so a cell out of place shows.
Pattern numberedPattern(std::int32_t stitches, std::int32_t rows)
{
    Pattern pattern;
    CreateBlank(pattern, stitches, rows);
    for (std::size_t i = 0; i < pattern.Cells.size(); ++i)
        pattern.Cells[i] = TColor(0x00A00000u + i);
    return pattern;
}

std::string asString(const std::vector<std::uint8_t> &bytes)
{
    return { bytes.begin(), bytes.end() };
}

Outcome<LoadedPattern> decode(const std::string &bytes)
{
    return DecodePatternFile(std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
}

std::string versionTwoHeader(std::int32_t stitches, std::int32_t rows)
{
    std::string bytes;
    putLe32(bytes, 2);
    putLe32(bytes, std::uint32_t(stitches));
    putLe32(bytes, std::uint32_t(rows));
    for (TColor colour : countingPalette())
        putLe32(bytes, colour);
    return bytes;
}

std::string legacyFile(int stitches, int rows, std::size_t cellsWritten)
{
    std::string bytes;
    bytes.push_back(char(stitches));
    bytes.push_back(char(rows));
    for (TColor colour : countingPalette())
        putLe32(bytes, colour);
    for (std::size_t i = 0; i < cellsWritten; ++i)
        putLe32(bytes, TColor(0x00B00000u + i));
    return bytes;
}

} // namespace

TEST(PatternFileLayout, VersionTwoIsHeaderPaletteThenCellsRowByRow)
{
    const Pattern pattern = numberedPattern(24, 100);
    const std::string bytes = asString(EncodePatternFile(pattern, countingPalette()));
    ASSERT_EQ(bytes.size(), 9676u);
    EXPECT_EQ(le32At(bytes, 0), 2u);
    EXPECT_EQ(le32At(bytes, 4), 24u);
    EXPECT_EQ(le32At(bytes, 8), 100u);
    for (int slot = 0; slot < PaletteSize; ++slot)
        EXPECT_EQ(le32At(bytes, 12 + 4 * slot), countingPalette()[slot]) << "slot " << slot + 1;
    // Stitch 5 of grid row 7, little-endian.
    EXPECT_EQ(le32At(bytes, 76 + 4 * (5 + 7 * 24)), pattern.at(5, 7));
    EXPECT_EQ(std::uint8_t(bytes[76]), 0x00);
    EXPECT_EQ(std::uint8_t(bytes[78]), 0xA0);
    EXPECT_EQ(le32At(bytes, 9672), pattern.Cells.back());

    EXPECT_EQ(EncodePatternFile(numberedPattern(1, 1), WhitePalette()).size(), 80u);
}

TEST(PatternFileLayout, LegacyFileOpensWithItsPaletteAndCells)
{
    ScratchFolder folder;
    const std::string name = folder.file("old.plw");
    const std::string bytes = legacyFile(10, 5, 50);
    ASSERT_EQ(bytes.size(), 266u);
    writeBytes(name, bytes);

    for (const Outcome<LoadedPattern> &result : { LoadPatternFile(name), decode(bytes) }) {
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.value().pattern.StitchCount, 10);
        EXPECT_EQ(result.value().pattern.RowCount, 5);
        EXPECT_EQ(result.value().palette, countingPalette());
        ASSERT_EQ(result.value().pattern.Cells.size(), 50u);
        for (std::size_t i = 0; i < 50; ++i)
            EXPECT_EQ(result.value().pattern.Cells[i], le32At(bytes, 66 + 4 * i));
    }
}

TEST(PatternFileLayout, SaveAndLoadRestoreEverythingForRandomPatterns)
{
    ScratchFolder folder;
    std::mt19937 random(20240611);
    for (int round = 0; round < 20; ++round) {
        Pattern pattern;
        CreateBlank(pattern, std::int32_t(random() % 400 + 1), std::int32_t(random() % 800 + 1));
        for (TColor &cell : pattern.Cells)
            cell = random() & 0x00FFFFFF;
        Palette palette;
        for (TColor &slot : palette)
            slot = random() & 0x00FFFFFF;
        std::string notes(random() % 300, '\0');
        for (char &c : notes)
            c = char(random());

        const std::string name = folder.file("motif" + std::to_string(round) + ".plw");
        ASSERT_TRUE(SavePatternFile(name, pattern, palette, notes).ok());
        const Outcome<LoadedPattern> loaded = LoadPatternFile(name);
        ASSERT_TRUE(loaded.ok());
        EXPECT_EQ(loaded.value().pattern, pattern);
        EXPECT_EQ(loaded.value().palette, palette);
        EXPECT_EQ(readBytes(NotesFileName(name)), notes);
        EXPECT_EQ(readBytes(name), asString(EncodePatternFile(pattern, palette)));
    }
}

TEST(PatternFileLayout, BytesAfterTheLastCellAreIgnored)
{
    const Pattern pattern = numberedPattern(3, 2);
    const std::string bytes = asString(EncodePatternFile(pattern, countingPalette())) + "trailing";
    const Outcome<LoadedPattern> result = decode(bytes);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value().pattern, pattern);
    EXPECT_TRUE(decode(legacyFile(2, 3, 7)).ok());
}

TEST(PatternFileLayout, NotesFileIsThePatternNameWithTxtAppended)
{
    EXPECT_EQ(NotesFileName("/home/knit/motif.plw"), "/home/knit/motif.plw.txt");
    EXPECT_EQ(NotesFileName("noext"), "noext.txt");
}

TEST(PatternFileRefusal, DamagedOrOversizedFilesAreRefusedWithTheRightReason)
{
    const std::string full = asString(EncodePatternFile(numberedPattern(4, 3), countingPalette()));
    struct Case {
        const char *what;
        std::string bytes;
        Kind kind;
        std::int64_t stitches = 0, rows = 0;
    };
    const Case cases[] = {
        { "empty file", "", Kind::Damaged },
        { "three bytes", "\x02\x00\x00", Kind::Damaged },
        { "version word only", full.substr(0, 4), Kind::Damaged },
        { "header one byte short", full.substr(0, 75), Kind::Damaged },
        { "last cell one byte short", full.substr(0, full.size() - 1), Kind::Damaged },
        { "no cells at all", full.substr(0, 76), Kind::Damaged },
        { "zero stitches", versionTwoHeader(0, 3) + std::string(48, 'x'), Kind::Damaged },
        { "zero rows", versionTwoHeader(3, 0), Kind::Damaged },
        { "negative stitches", versionTwoHeader(-4, 3) + std::string(48, 'x'), Kind::Damaged },
        { "negative rows", versionTwoHeader(3, -1), Kind::Damaged },
        { "stitches over the limit", versionTwoHeader(std::int32_t(MaxCount + 1), 1), Kind::TooLarge, MaxCount + 1, 1 },
        { "rows over the limit", versionTwoHeader(1, std::int32_t(MaxCount + 1)), Kind::TooLarge, 1, MaxCount + 1 },
        { "cells over the limit", versionTwoHeader(1 << 14, 1 << 13), Kind::TooLarge, 1 << 14, 1 << 13 },
        // At the limit the counts pass, so the missing cells are what is wrong.
        { "cells at the limit, missing", versionTwoHeader(1 << 13, 1 << 13), Kind::Damaged },
        { "largest counts", versionTwoHeader(0x7FFFFFFF, 0x7FFFFFFF), Kind::TooLarge, 0x7FFFFFFF, 0x7FFFFFFF },
        { "legacy with no stitches", legacyFile(0, 5, 0), Kind::Damaged },
        { "legacy with no rows", legacyFile(5, 0, 0), Kind::Damaged },
        { "legacy header short", legacyFile(1, 1, 0).substr(0, 65), Kind::Damaged },
        { "legacy cells short", legacyFile(10, 5, 49), Kind::Damaged },
    };
    ScratchFolder folder;
    const std::string name = folder.file("bad.plw");
    for (const Case &c : cases) {
        writeBytes(name, c.bytes);
        for (const Outcome<LoadedPattern> &result : { decode(c.bytes), LoadPatternFile(name) }) {
            ASSERT_FALSE(result.ok()) << c.what;
            EXPECT_EQ(result.failure().kind, c.kind) << c.what;
            if (c.kind == Kind::TooLarge) {
                EXPECT_EQ(result.failure().stitchCount, c.stitches) << c.what;
                EXPECT_EQ(result.failure().rowCount, c.rows) << c.what;
            }
        }
        // The file named, so the message can say which one.
        EXPECT_EQ(LoadPatternFile(name).failure().fileName, name) << c.what;
    }
}

TEST(PatternFileRefusal, UnreadableFilesGiveTheSystemsReason)
{
    ScratchFolder folder;
    const Outcome<LoadedPattern> missing = LoadPatternFile(folder.file("absent.plw"));
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure().kind, Kind::CannotRead);
    EXPECT_EQ(missing.failure().error, ENOENT);

    fs::create_directory(folder.file("folder.plw"));
    const Outcome<LoadedPattern> folderResult = LoadPatternFile(folder.file("folder.plw"));
    EXPECT_FALSE(folderResult.ok());
    EXPECT_EQ(folderResult.failure().kind, Kind::CannotRead);
    EXPECT_EQ(folderResult.failure().error, EISDIR);
}
