// Lookup of a tool's row by its name over both tool tables.
#include "editing/draw/DrawTools.h"

const TToolRow* FindToolRow(const QString& name)
{
    for (std::span<const TToolRow> rows : {ShapeToolRows(), BrushToolRows()})
        for (const TToolRow& row : rows)
            if (name == QLatin1String(row.Name))
                return &row;
    return nullptr;
}
