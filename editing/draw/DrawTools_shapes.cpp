// The shape, line, range and fill tools of the drawing component.
#include "editing/draw/DrawTools.h"

#include "editing/draw/DrawImage.h"

std::span<const TToolRow> ShapeToolRows()
{
    return {};
}
