#pragma once
// The one place a metafile kind's records are dispatched: each record type,
// named by libUEMF's constant, maps to the player's handler for it. To draw
// one more record, add its line to the player's table and the handler.

#include "picture/MetafileBytes.h"

#include <array>
#include <cstdint>
#include <initializer_list>

template <typename Player, std::size_t TypeCount> class MetafileRecordTable {
public:
    using Handler = void (Player::*)(const RecordBytes &);
    struct Entry {
        std::uint32_t type;
        Handler handler;
    };

    MetafileRecordTable(std::initializer_list<Entry> entries)
    {
        for (const Entry &entry : entries)
            m_handlers.at(entry.type) = entry.handler;
    }

    // Plays one record; a type without a handler is skipped. False when a read
    // did not fit the record, which makes the file invalid.
    bool play(Player &player, std::uint32_t type, const RecordBytes &record) const
    {
        if (type < TypeCount && m_handlers[type])
            (player.*m_handlers[type])(record);
        return !record.failed();
    }

private:
    std::array<Handler, TypeCount> m_handlers {};
};
