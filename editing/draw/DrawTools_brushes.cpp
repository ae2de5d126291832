// The brush, texture and air-brush tools of the drawing component.
#include "editing/draw/DrawTools.h"

#include "editing/draw/DrawImage.h"

std::span<const TToolRow> BrushToolRows()
{
    return {};
}
