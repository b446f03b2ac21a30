#pragma once
// Bounded little-endian reads over one metafile record. Every offset and
// length is checked in 64-bit arithmetic against the record's end before the
// read, and a failed check throws, so a walker cannot read past its record.

#include "model/LittleEndian.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

struct MetafileInvalid : std::runtime_error {
    MetafileInvalid()
        : std::runtime_error("Metafile is not valid")
    {
    }
};

class RecordBytes {
public:
    RecordBytes(const unsigned char *data, std::uint64_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    std::uint64_t size() const { return m_size; }
    const unsigned char *data() const { return m_data; }

    bool has(std::uint64_t offset, std::uint64_t length) const { return offset <= m_size && length <= m_size - offset; }
    void require(std::uint64_t offset, std::uint64_t length) const
    {
        if (!has(offset, length))
            throw MetafileInvalid();
    }
    // Room for count items of itemSize bytes at offset; the product cannot
    // wrap because both factors stay below 2^32.
    void requireArray(std::uint64_t offset, std::uint64_t count, std::uint64_t itemSize) const
    {
        if (count > 0xFFFFFFFFu || itemSize > 0xFFFFu)
            throw MetafileInvalid();
        require(offset, count * itemSize);
    }

    std::uint8_t u8(std::uint64_t offset) const
    {
        require(offset, 1);
        return m_data[offset];
    }
    std::uint16_t u16(std::uint64_t offset) const
    {
        require(offset, 2);
        return model::ReadLittle16(m_data + offset);
    }
    std::int16_t i16(std::uint64_t offset) const { return std::int16_t(u16(offset)); }
    std::uint32_t u32(std::uint64_t offset) const
    {
        require(offset, 4);
        return model::ReadLittle32(m_data + offset);
    }
    std::int32_t i32(std::uint64_t offset) const { return std::int32_t(u32(offset)); }
    float f32(std::uint64_t offset) const
    {
        const std::uint32_t bits = u32(offset);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // A sub-range of this record, itself bounded.
    RecordBytes slice(std::uint64_t offset, std::uint64_t length) const
    {
        require(offset, length);
        return RecordBytes(m_data + offset, length);
    }

private:
    const unsigned char *m_data;
    std::uint64_t m_size;
};
