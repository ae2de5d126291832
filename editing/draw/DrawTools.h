#pragma once
// The drawing tools of TpelDrawImage: one row per tool name (the value of Shape, compared
// whole and case-sensitive) with its press, move and release actions. The mouse handlers of
// the component run the common steps around these actions.
//
// The rows live in two tables: the shape, line, range and fill tools, and the brush, texture
// and air-brush tools. A name is in at most one of them.
#include "platform/vcl/Controls.h"

#include <QString>

#include <span>

class TpelDrawImage;

struct TToolEvent {
    TMouseButton Button = mbLeft;
    TShiftState Shift = 0;
    int X = 0;
    int Y = 0;
};

using TToolAction = void (*)(TpelDrawImage& image, const TToolEvent& event);

struct TToolRow {
    const char* Name = "";
    TToolAction Down = nullptr;
    TToolAction Move = nullptr;
    TToolAction Up = nullptr;
    // With Alt held, a move first adds its step to StartPoint, so the effect circle travels
    // with the mouse.
    bool AltMoves = false;
};

// The shape, line, range and fill tools (DrawTools_shapes.cpp).
std::span<const TToolRow> ShapeToolRows();
// The brush, texture and air-brush tools (DrawTools_brushes.cpp).
std::span<const TToolRow> BrushToolRows();
// The row answering to a tool name, or nullptr: names no row answers to do nothing.
const TToolRow* FindToolRow(const QString& name);
