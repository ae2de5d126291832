#pragma once
// Points and rectangles with the framework's conventions.
//
// A TRect holds Left, Top, Right and Bottom. Right and Bottom are exclusive: the rectangle
// (0, 0, 10, 5) covers the pixels x = 0..9 and y = 0..4, so Width() = Right - Left and
// Height() = Bottom - Top. A rectangle with Right <= Left or Bottom <= Top is empty; the
// stretching draws of the canvas read Right < Left (Bottom < Top) as a mirrored target.
#include <QPoint>
#include <QRect>

struct TPoint {
    int X = 0;
    int Y = 0;

    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) {}

    constexpr bool operator==(const TPoint&) const = default;
    QPoint ToQPoint() const { return QPoint(X, Y); }
    static TPoint FromQPoint(const QPoint& p) { return TPoint(p.x(), p.y()); }
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int left, int top, int right, int bottom)
        : Left(left), Top(top), Right(right), Bottom(bottom) {}
    constexpr TRect(const TPoint& topLeft, const TPoint& bottomRight)
        : Left(topLeft.X), Top(topLeft.Y), Right(bottomRight.X), Bottom(bottomRight.Y) {}

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return TPoint(Left, Top); }
    constexpr TPoint BottomRight() const { return TPoint(Right, Bottom); }
    // True when the rectangle covers no pixel (Right <= Left or Bottom <= Top).
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // Left <= Right and Top <= Bottom, swapping where needed.
    constexpr TRect Normalized() const
    {
        return TRect(Left < Right ? Left : Right, Top < Bottom ? Top : Bottom,
                     Left < Right ? Right : Left, Top < Bottom ? Bottom : Top);
    }
    constexpr bool operator==(const TRect&) const = default;

    // The same pixels as a QRect (QRect's right() and bottom() are inclusive).
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    static TRect FromQRect(const QRect& r) { return TRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height()); }
};

constexpr TPoint Point(int x, int y) { return TPoint(x, y); }
constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect(left, top, right, bottom); }
// A rectangle from its top-left corner and size.
constexpr TRect Bounds(int left, int top, int width, int height)
{
    return TRect(left, top, left + width, top + height);
}

// True when p lies inside r: Left <= X < Right and Top <= Y < Bottom.
constexpr bool PtInRect(const TRect& r, const TPoint& p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// dst := the common part of a and b; returns false and sets dst to (0, 0, 0, 0) when they
// do not overlap (rectangles that only touch do not overlap).
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
// dst := the smallest rectangle holding a and b; an empty rectangle does not count.
// Returns false when both are empty (dst is then (0, 0, 0, 0)).
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
// Moves r by (dx, dy).
bool OffsetRect(TRect& r, int dx, int dy);
// Grows r by dx on the left and right and dy on the top and bottom (negative shrinks).
bool InflateRect(TRect& r, int dx, int dy);
constexpr bool EqualRect(const TRect& a, const TRect& b) { return a == b; }
// The framework's IsRectEmpty.
constexpr bool IsRectEmpty(const TRect& r) { return r.IsEmpty(); }
