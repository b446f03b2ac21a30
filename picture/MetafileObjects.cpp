#include "picture/MetafileObjects.h"

void MetafileObjectTable::addToFreeSlot(MetafileObject object)
{
    for (MetafileObject &slot : m_objects) {
        if (slot.kind == MetafileObject::Empty) {
            slot = std::move(object);
            return;
        }
    }
}

void MetafileObjectTable::remove(std::uint32_t index)
{
    if (MetafileObject *object = slot(index))
        *object = MetafileObject();
}

void MetafileObjectTable::select(std::uint32_t index, MetafileCanvas &canvas) const
{
    if (index >= m_objects.size())
        return;
    const MetafileObject &object = m_objects[index];
    switch (object.kind) {
    case MetafileObject::Pen:
        canvas.selectPen(object.style, object.width, object.colour);
        break;
    case MetafileObject::Brush:
        canvas.selectBrush(object.style, object.colour, object.hatch);
        break;
    case MetafileObject::PatternBrush:
        canvas.selectPatternBrush(object.pattern);
        break;
    case MetafileObject::Font:
        canvas.state.font = object.font;
        break;
    case MetafileObject::Empty:
    case MetafileObject::Other:
        break;
    }
}
