#pragma once
// Helpers shared by the files of the list control (ListBox*.cpp).
#include "platform/vcl/ListBox.h"

#include <QString>

namespace listbox_detail {

inline QString OutOfBounds(int index)
{
    return QStringLiteral("List index out of bounds (%1)").arg(index);
}

inline bool IsNavigationKey(int key)
{
    switch (key) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
    case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
        return true;
    default:
        return false;
    }
}

// Where an index lands after the item at `from` moved to `to`.
inline int MovedIndex(int i, int from, int to)
{
    if (i < 0)
        return i;
    if (i == from)
        return to;
    if (from < to && i > from && i <= to)
        return i - 1;
    if (from > to && i >= to && i < from)
        return i + 1;
    return i;
}

} // namespace listbox_detail
