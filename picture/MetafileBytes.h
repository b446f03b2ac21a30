#pragma once
// Bounded little-endian reads over one metafile record. Every offset and
// length is checked in 64-bit arithmetic against the record's end before the
// read. A read that does not fit gives zero and marks the fault its walker
// shares with every record and slice of the file; the walker checks the mark
// after each record and refuses the file, so nothing is read past a record.

#include "model/LittleEndian.h"

#include <cstdint>
#include <cstring>

class RecordBytes {
public:
    RecordBytes(const unsigned char *data, std::uint64_t size, bool &fault)
        : m_data(data)
        , m_size(size)
        , m_fault(&fault)
    {
    }

    std::uint64_t size() const { return m_size; }
    const unsigned char *data() const { return m_data; }
    // Whether any read of this file so far did not fit.
    bool failed() const { return *m_fault; }
    // Marks the file's fault for a structure no single read can check.
    void fail() const { *m_fault = true; }

    bool has(std::uint64_t offset, std::uint64_t length) const { return offset <= m_size && length <= m_size - offset; }
    // Like has, but a range that does not fit marks the fault.
    [[nodiscard]] bool require(std::uint64_t offset, std::uint64_t length) const
    {
        if (has(offset, length))
            return true;
        fail();
        return false;
    }
    // Room for count items of itemSize bytes at offset; the product cannot
    // wrap because both factors stay below 2^32.
    [[nodiscard]] bool requireArray(std::uint64_t offset, std::uint64_t count, std::uint64_t itemSize) const
    {
        if (count <= 0xFFFFFFFFu && itemSize <= 0xFFFFu)
            return require(offset, count * itemSize);
        fail();
        return false;
    }

    std::uint8_t u8(std::uint64_t offset) const { return require(offset, 1) ? m_data[offset] : 0; }
    std::uint16_t u16(std::uint64_t offset) const
    {
        return require(offset, 2) ? model::ReadLittle16(m_data + offset) : 0;
    }
    std::int16_t i16(std::uint64_t offset) const { return std::int16_t(u16(offset)); }
    std::uint32_t u32(std::uint64_t offset) const
    {
        return require(offset, 4) ? model::ReadLittle32(m_data + offset) : 0;
    }
    std::int32_t i32(std::uint64_t offset) const { return std::int32_t(u32(offset)); }
    float f32(std::uint64_t offset) const
    {
        const std::uint32_t bits = u32(offset);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // A sub-range of this record, itself bounded; empty when it does not fit.
    RecordBytes slice(std::uint64_t offset, std::uint64_t length) const
    {
        if (!require(offset, length))
            return RecordBytes(m_data, 0, *m_fault);
        return RecordBytes(m_data + offset, length, *m_fault);
    }

private:
    const unsigned char *m_data;
    std::uint64_t m_size;
    bool *m_fault;
};
