#pragma once
// Little-endian integers in byte buffers, as the pattern file, bitmaps and
// metafiles store them, read and written the same on any host.

#include <cstdint>
#include <vector>

namespace model {

inline std::uint16_t ReadLittle16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

inline std::uint32_t ReadLittle32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline void PutLittle32(std::uint8_t *p, std::uint32_t value)
{
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
    p[2] = std::uint8_t(value >> 16);
    p[3] = std::uint8_t(value >> 24);
}

inline void AppendLittle16(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

inline void AppendLittle32(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    AppendLittle16(out, value & 0xFFFFu);
    AppendLittle16(out, value >> 16);
}

} // namespace model
