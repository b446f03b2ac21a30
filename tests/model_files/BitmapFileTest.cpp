#include "model/BitmapFile.h"

#include "support/FileSupport.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// Header fields in file order: sizes and offsets little-endian, lines bottom first.
std::string bitmapHeader(std::uint32_t fileSize, std::uint32_t pixelsAt, std::int32_t width, std::int32_t height,
    std::uint16_t bits, std::uint32_t colours)
{
    std::string bytes = "BM";
    putLe32(bytes, fileSize);
    putLe32(bytes, 0);
    putLe32(bytes, pixelsAt);
    putLe32(bytes, 40);
    putLe32(bytes, std::uint32_t(width));
    putLe32(bytes, std::uint32_t(height));
    bytes += std::string("\x01\x00", 2);
    bytes.push_back(char(bits));
    bytes.push_back(0);
    putLe32(bytes, 0);
    putLe32(bytes, fileSize - pixelsAt);
    putLe32(bytes, 2835);
    putLe32(bytes, 2835);
    putLe32(bytes, colours);
    putLe32(bytes, 0);
    return bytes;
}

} // namespace

TEST(BitmapFile, IndexedAndTrueColourPicturesGiveExactFiles)
{
    ScratchFolder folder;
    // 8-bit: a table of black and red, lines of 3 bytes padded to 4.
    const std::uint8_t indexed[2][3] = { { 1, 0, 1 }, { 0, 0, 1 } };
    model::BitmapSource small { 3, 2, { 0xFF000000u, 0xFFFF0000u },
        [&](std::int32_t y) -> const void * { return indexed[y]; } };
    std::string want = bitmapHeader(14 + 40 + 8 + 8, 14 + 40 + 8, 3, 2, 8, 2);
    want += std::string("\0\0\0\0\0\0\xFF\0", 8) + std::string("\0\0\x01\0", 4) + std::string("\x01\0\x01\0", 4);
    // 24-bit: blue-green-red triples, lines of 6 bytes padded to 8.
    const model::Pixel pixels[2][2] = { { 0xFF102030u, 0xFF405060u }, { 0xFFA0B0C0u, 0xFFD0E0F0u } };
    model::BitmapSource rgb { 2, 2, {}, [&](std::int32_t y) -> const void * { return pixels[y]; } };
    std::string wantRgb = bitmapHeader(14 + 40 + 16, 14 + 40, 2, 2, 24, 0);
    wantRgb += std::string("\xC0\xB0\xA0\xF0\xE0\xD0\0\0", 8) + std::string("\x30\x20\x10\x60\x50\x40\0\0", 8);

    for (const auto &[source, bytes] : { std::pair { small, want }, std::pair { rgb, wantRgb } }) {
        const std::string name = folder.file("picture.bmp");
        writeBytes(name, "an older and much longer file that the bitmap replaces...............................");
        EXPECT_EQ(model::bitmapFileSize(source), bytes.size());
        ASSERT_TRUE(model::WriteBitmapFile(name, source).ok());
        EXPECT_EQ(readBytes(name), bytes);
    }
    EXPECT_EQ(folder.names(), (std::vector<std::string> { "picture.bmp", "picture.bmp~" }));
}

TEST(BitmapFile, LargePictureIsWrittenInPiecesAndAFailureKeepsTheOldFile)
{
    ScratchFolder folder;
    const std::string name = folder.file("large.bmp");
    std::vector<model::Pixel> line(1000, 0xFF336699u);
    model::BitmapSource picture { 1000, 1000, {}, [&](std::int32_t) -> const void * { return line.data(); } };
    const std::uint64_t size = model::bitmapFileSize(picture);
    ASSERT_EQ(size, 14 + 40 + 3000u * 1000u);

    for (const std::size_t failAt : { std::size_t(0), std::size_t(5), std::size_t(-1) }) {
        writeBytes(name, "old");
        std::size_t writes = 0, largest = 0;
        model::FileSystemCalls calls = model::FileSystemCalls::system();
        calls.write = [&](int fd, const void *data, std::size_t bytes) -> ssize_t {
            if (writes++ == failAt) {
                errno = EIO;
                return -1;
            }
            largest = std::max(largest, bytes);
            return ::write(fd, data, bytes);
        };
        const model::Outcome<> status = model::WriteBitmapFile(name, picture, calls);
        EXPECT_EQ(status.ok(), failAt == std::size_t(-1)) << failAt;
        EXPECT_LE(largest, std::size_t(256 * 1024)) << "never the whole file at once";
        EXPECT_EQ(readBytes(name).size(), status.ok() ? size : 3u);
        const std::vector<std::string> kept { "large.bmp", "large.bmp~" };
        EXPECT_EQ(folder.names(), status.ok() ? kept : std::vector<std::string> { "large.bmp" });
    }
    EXPECT_EQ(model::bitmapFileSize({ 0, 10, {}, {} }), 0u);
    EXPECT_EQ(model::bitmapFileSize({ 10, 10, std::vector<model::Pixel>(257), {} }), 0u);
    EXPECT_GT(model::bitmapFileSize({ 32767, 32767, {}, {} }), 0u);
    EXPECT_EQ(model::bitmapFileSize({ 40000, 40000, {}, {} }), 0u); // 4 GB and more
}

// Every width from one pixel to past two groups of four: each line holds the
// pixels' blue, green and red bytes in order, then zeros to a whole word.
TEST(BitmapFile, TrueColourLinesOfEveryWidthHoldEachPixelsBytes)
{
    ScratchFolder folder;
    const std::string name = folder.file("line.bmp");
    std::vector<model::Pixel> line;
    for (std::uint32_t x = 0; x < 11; ++x)
        line.push_back(0xFF000000u | (0x10203u * (x + 1) * 17));
    for (std::int32_t width = 1; width <= 11; ++width) {
        const model::BitmapSource picture { width, 1, {}, [&](std::int32_t) -> const void * { return line.data(); } };
        ASSERT_TRUE(model::WriteBitmapFile(name, picture).ok());
        std::string want;
        for (std::int32_t x = 0; x < width; ++x)
            for (const int shift : { 0, 8, 16 })
                want += char(line[std::size_t(x)] >> shift);
        want.resize((want.size() + 3) / 4 * 4, '\0');
        EXPECT_EQ(readBytes(name).substr(14 + 40), want) << width << " pixels";
    }
}
