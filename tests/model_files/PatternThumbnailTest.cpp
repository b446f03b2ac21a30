// Thumbnails of pattern files: every pixel against the loaded pattern sampled
// at the pixel's centre, in both ways the cells are read, and the files refused.
#include "support/FileSupport.h"

#include "model/PatternFile.h"
#include "model/PatternThumbnail.h"

#include <gtest/gtest.h>

using namespace model;

namespace {

// Every cell a different colour, so a cell sampled from the wrong place shows.
std::string numberedFile(const ScratchFolder &folder, std::int32_t stitches, std::int32_t rows)
{
    Pattern pattern;
    CreateBlank(pattern, stitches, rows);
    for (std::size_t i = 0; i < pattern.Cells.size(); ++i)
        pattern.Cells[i] = TColor(i * 2654435761u) & 0x00FFFFFFu;
    const std::string name = folder.file(std::to_string(stitches) + "x" + std::to_string(rows) + ".plw");
    const std::vector<std::uint8_t> bytes = EncodePatternFile(pattern, WhitePalette());
    writeBytes(name, std::string(bytes.begin(), bytes.end()));
    return name;
}

} // namespace

TEST(PatternThumbnailTest, EveryPixelIsTheCellUnderItsCentre)
{
    const ScratchFolder folder;
    struct Case {
        std::int32_t stitches, rows;
        int size, width, height;
    };
    const Case cases[] = {
        { 3, 2, 6, 6, 4 }, // cells grow to 2 x 2 pixels
        { 3, 2, 8, 6, 4 }, // by whole pixels only
        { 2, 5, 4, 2, 4 }, // taller than wide, rounded
        { 1000, 10, 100, 100, 1 }, // a strip keeps one pixel
        { 1500, 900, 5000, 1024, 614 }, // the size is capped
        { (1 << 18) + 3, 3, 7, 7, 1 }, // rows too wide to read whole
    };
    for (const Case &c : cases) {
        const std::string name = numberedFile(folder, c.stitches, c.rows);
        const Outcome<LoadedPattern> loaded = LoadPatternFile(name);
        const Outcome<Thumbnail> made = PatternThumbnail(name, c.size);
        ASSERT_TRUE(made.ok()) << name;
        const Thumbnail &thumbnail = made.value();
        ASSERT_EQ(thumbnail.width, c.width) << name;
        ASSERT_EQ(thumbnail.height, c.height) << name;
        for (int y = 0; y < thumbnail.height; ++y)
            for (int x = 0; x < thumbnail.width; ++x) {
                const auto s = std::int32_t((x + 0.5) * c.stitches / thumbnail.width);
                const auto r = std::int32_t((y + 0.5) * c.rows / thumbnail.height);
                ASSERT_EQ(thumbnail.pixels[std::size_t(y * thumbnail.width + x)], loaded.value().pattern.at(s, r))
                    << name << " pixel " << x << "," << y;
            }
    }
}

TEST(PatternThumbnailTest, FilesThatCannotOpenGiveNoThumbnail)
{
    const ScratchFolder folder;
    std::string header;
    for (std::uint32_t word : { 2u, 3u, 2u })
        putLe32(header, word);
    header += std::string(64, '\xFF');
    std::string huge;
    for (std::uint32_t word : { 2u, 1u << 14, 1u << 14 })
        putLe32(huge, word);
    huge += std::string(64, '\xFF');
    const std::pair<const char *, std::string> files[] = {
        { "short.plw", header + std::string(23, '\0') },
        { "empty.plw", "" },
        { "huge.plw", huge + std::string(4096, '\0') },
        { "header-only.plw", header.substr(0, 40) },
    };
    for (const auto &[name, bytes] : files) {
        writeBytes(folder.file(name), bytes);
        EXPECT_FALSE(PatternThumbnail(folder.file(name), 128).ok()) << name;
    }
    EXPECT_FALSE(PatternThumbnail(folder.file("missing.plw"), 128).ok());
}
