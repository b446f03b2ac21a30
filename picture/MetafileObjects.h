#pragma once
// The object table both metafile kinds keep: pens, brushes and fonts a
// record creates into a slot and a later record selects by its index.

#include "picture/MetafileCanvas.h"

#include <QImage>
#include <cstdint>
#include <vector>

struct MetafileObject {
    // Other holds a slot for objects that draw nothing here, such as palettes.
    enum Kind { Empty, Pen, Brush, PatternBrush, Font, Other } kind = Empty;
    std::uint32_t style = 0, colour = 0, hatch = 0;
    double width = 0;
    MetafileFont font;
    QImage pattern;

    static MetafileObject pen(std::uint32_t style, double width, std::uint32_t colour)
    {
        MetafileObject object;
        object.kind = Pen;
        object.style = style;
        object.width = width;
        object.colour = colour;
        return object;
    }
    static MetafileObject brush(std::uint32_t style, std::uint32_t colour, std::uint32_t hatch)
    {
        MetafileObject object;
        object.kind = Brush;
        object.style = style;
        object.colour = colour;
        object.hatch = hatch;
        return object;
    }
};

class MetafileObjectTable {
public:
    explicit MetafileObjectTable(std::size_t size)
        : m_objects(size)
    {
    }

    // None for an index past the table.
    MetafileObject *slot(std::uint32_t index) { return index < m_objects.size() ? &m_objects[index] : nullptr; }
    // WMF names no slot: a new object takes the lowest free one, and none when
    // the table is full.
    void addToFreeSlot(MetafileObject object);
    void remove(std::uint32_t index);
    // Makes the object in the slot the canvas's pen, brush or font; an empty
    // slot or an index past the table changes nothing.
    void select(std::uint32_t index, MetafileCanvas &canvas) const;

private:
    std::vector<MetafileObject> m_objects;
};
