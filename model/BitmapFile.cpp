#include "model/BitmapFile.h"

#include "model/LittleEndian.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace model {

namespace {

constexpr std::uint32_t HeadersSize = 14 + 40;
constexpr std::size_t StagingBytes = 256 * 1024;

// Bitmap lines are padded to whole 32-bit words.
std::uint64_t lineBytes(const BitmapSource &picture)
{
    const std::uint64_t bits = picture.colourTable.empty() ? 24 : 8;
    return (std::uint64_t(picture.width) * bits + 31) / 32 * 4;
}

// Blue, green and red of each pixel in three bytes; returns the end of out.
// Four pixels go into three words at a time, a quarter of the stores of
// writing byte by byte.
std::uint8_t *packBlueGreenRed(const Pixel *in, std::size_t count, std::uint8_t *out)
{
    std::size_t x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 4 <= count; x += 4, out += 12) {
            const std::uint32_t a = in[x], b = in[x + 1], c = in[x + 2], d = in[x + 3];
            const std::uint32_t words[3]
                = { (a & 0xFFFFFFu) | (b << 24), ((b >> 8) & 0xFFFFu) | (c << 16), ((c >> 16) & 0xFFu) | (d << 8) };
            std::memcpy(out, words, sizeof words);
        }
    }
    for (; x < count; ++x, out += 3) {
        out[0] = std::uint8_t(in[x]);
        out[1] = std::uint8_t(in[x] >> 8);
        out[2] = std::uint8_t(in[x] >> 16);
    }
    return out;
}

} // namespace

std::uint64_t bitmapFileSize(const BitmapSource &picture)
{
    if (picture.width < 1 || picture.height < 1 || picture.colourTable.size() > 256)
        return 0;
    const std::uint64_t size
        = HeadersSize + 4 * picture.colourTable.size() + lineBytes(picture) * std::uint64_t(picture.height);
    return size <= 0xFFFFFFFFu ? size : 0;
}

Outcome<> WriteBitmapFile(const std::string &target, const BitmapSource &picture, const FileSystemCalls &calls)
{
    const std::uint64_t fileSize = bitmapFileSize(picture);
    if (fileSize == 0)
        return Failure::fromErrno(Failure::Kind::CannotWrite, target, EINVAL);
    const bool indexed = !picture.colourTable.empty();
    const std::size_t stride = std::size_t(lineBytes(picture));
    const std::uint32_t pixelsAt = HeadersSize + 4 * std::uint32_t(picture.colourTable.size());

    std::vector<std::uint8_t> staging;
    staging.reserve(std::max(StagingBytes, stride));
    staging.push_back('B');
    staging.push_back('M');
    AppendLittle32(staging, std::uint32_t(fileSize));
    AppendLittle32(staging, 0); // reserved
    AppendLittle32(staging, pixelsAt);
    AppendLittle32(staging, 40); // the info header's size
    AppendLittle32(staging, std::uint32_t(picture.width));
    AppendLittle32(staging, std::uint32_t(picture.height)); // positive: the bottom line comes first
    AppendLittle16(staging, 1); // planes
    AppendLittle16(staging, indexed ? 8 : 24);
    AppendLittle32(staging, 0); // no compression
    AppendLittle32(staging, std::uint32_t(fileSize - pixelsAt));
    AppendLittle32(staging, 2835); // 72 dots per inch, in dots per metre
    AppendLittle32(staging, 2835);
    AppendLittle32(staging, std::uint32_t(picture.colourTable.size()));
    AppendLittle32(staging, 0); // every colour matters
    for (const Pixel colour : picture.colourTable) {
        staging.push_back(std::uint8_t(colour));
        staging.push_back(std::uint8_t(colour >> 8));
        staging.push_back(std::uint8_t(colour >> 16));
        staging.push_back(0);
    }

    const auto writeLines = [&](AtomicFile &file) {
        Outcome<> written;
        for (std::int32_t y = picture.height - 1; y >= 0 && written.ok(); --y) {
            if (staging.size() + stride > staging.capacity()) {
                written = file.write(std::as_bytes(std::span(staging)));
                staging.clear();
            }
            const std::size_t at = staging.size();
            staging.resize(at + stride);
            std::uint8_t *out = staging.data() + at;
            if (indexed) {
                std::memcpy(out, picture.line(y), std::size_t(picture.width));
                std::fill(out + picture.width, out + stride, 0);
            } else {
                out = packBlueGreenRed(static_cast<const Pixel *>(picture.line(y)), std::size_t(picture.width), out);
                std::fill(out, staging.data() + at + stride, 0);
            }
        }
        return written.ok() ? file.write(std::as_bytes(std::span(staging))) : written;
    };
    return WriteFileAtomically(target, writeLines, calls, Backup::Keep);
}

} // namespace model
