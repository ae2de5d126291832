// The texture fills: tiling by the drag, the random ranges and the three colour layers.
#include "editing/brush/BrushColors.h"
#include "editing/brush/Textures.h"

#include "BrushTestUtil.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Answers from a repeating list and records every range asked for.
struct ScriptedRandom {
    explicit ScriptedRandom(std::vector<int> v) : values(std::move(v)) {}
    std::vector<int> values;
    std::vector<int> bounds;
    std::size_t next = 0;
    TRandom Fn()
    {
        return [this](int n) {
            bounds.push_back(n);
            return values[next++ % values.size()];
        };
    }
};

TEST(Textures, TilesByTheDragAndDrawsFromItsRanges)
{
    struct Case {
        TTexture kind;
        TPoint end;  // the drag starts at (0, 0)
        std::size_t calls;
        std::set<int> bounds;
    };
    const Case cases[] = {
        // 5 x 5 tiles over 10 x 10: 4 tiles, 10 lines of 2 points; L = 7.
        {TTexture::Lines, TPoint(5, 5), 4 * 10 * 4, {7}},
        // 2 x 2 is raised to 3 x 3: 16 tiles, 3 rectangles of 2 points; L = 3.
        {TTexture::Rects, TPoint(2, -2), 16 * 3 * 4, {3}},
        // 3 x 4 tiles: 4 x 3 tiles; L = 5 across, round(4 / 3 * 5) = 7 down.
        {TTexture::Curves, TPoint(-3, 4), 12 * 10 * 8, {5, 7}},
        // No drag: lines tile by single pixels with a range of 0.
        {TTexture::Lines, TPoint(0, 0), 100 * 10 * 4, {0}},
    };
    for (const Case& c : cases) {
        TBitmap b(10, 10);
        ScriptedRandom r({0, 1});
        TextureFill(b.Canvas(), 10, 10, TPoint(0, 0), c.end, c.kind, r.Fn());
        EXPECT_EQ(r.bounds.size(), c.calls) << int(c.kind);
        EXPECT_EQ(std::set<int>(r.bounds.begin(), r.bounds.end()), c.bounds) << int(c.kind);
    }
}

TEST(Textures, ShapesAreLayeredInThePenColourAndItsTints)
{
    const TColor c = RGB(200, 40, 0);
    // One tile (10 x 10), each rectangle (3, 3)-(7, 7): darker down-right, lighter up-left.
    TBitmap rects(10, 10);
    rects.Canvas().Pen.Color = c;
    rects.Canvas().Brush.Color = clAqua;
    ScriptedRandom r({3, 3, 7, 7});
    TextureFill(rects.Canvas(), 10, 10, TPoint(0, 0), TPoint(10, 10), TTexture::Rects, r.Fn());
    EXPECT_EQ(rects.Canvas().Pixel(8, 8), DarkerColor(c));
    EXPECT_EQ(rects.Canvas().Pixel(7, 7), DarkerColor(c));
    EXPECT_EQ(rects.Canvas().Pixel(1, 1), LighterColor(c));
    EXPECT_EQ(rects.Canvas().Pixel(5, 5), c);
    EXPECT_EQ(rects.Canvas().Pixel(0, 0), clWhite);
    EXPECT_EQ(rects.Canvas().Pen.Color, c);
    EXPECT_EQ(rects.Canvas().Brush.Color, clAqua);

    // Each line (2, 5)-(8, 5) in c, once more lighter one up-left and darker one down-right.
    TBitmap lines(10, 10);
    lines.Canvas().Pen.Color = c;
    ScriptedRandom l({2, 5, 8, 5});
    TextureFill(lines.Canvas(), 10, 10, TPoint(0, 0), TPoint(10, 10), TTexture::Lines, l.Fn());
    EXPECT_EQ(lines.Canvas().Pixel(5, 5), c);
    EXPECT_EQ(lines.Canvas().Pixel(5, 4), LighterColor(c));
    EXPECT_EQ(lines.Canvas().Pixel(5, 6), DarkerColor(c));
    EXPECT_EQ(lines.Canvas().Pixel(5, 7), clWhite);

    // Ovals, curves and polylines draw in the pen colour on any size, the smallest included.
    for (TTexture kind : {TTexture::Ovals, TTexture::Curves, TTexture::Poly})
        for (auto [w, h] : {std::pair(1, 1), std::pair(1, 7), std::pair(13, 5)}) {
            TBitmap b(w, h);
            b.Canvas().Pen.Color = c;
            TextureFill(b.Canvas(), w, h, TPoint(4, 4), TPoint(9, 1), kind);
            EXPECT_EQ(b.Canvas().Pen.Color, c);
        }
}

}  // namespace
