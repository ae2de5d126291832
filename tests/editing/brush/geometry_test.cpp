// Point geometry and outlines of the drawing tools.
#include "editing/brush/ShapeGeometry.h"

#include "BrushTestUtil.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

static std::ostream& operator<<(std::ostream& os, const TPoint& p)
{
    return os << "(" << p.X << "," << p.Y << ")";
}

namespace {

constexpr double kPi = std::numbers::pi;

TEST(ShapeGeometry, RadiusScaleAndRotate)
{
    EXPECT_EQ(DragRadius(TPoint(0, 0), TPoint(3, 0)), 10);
    EXPECT_EQ(DragRadius(TPoint(0, 0), TPoint(7, 7)), 10);
    EXPECT_EQ(DragRadius(TPoint(0, 0), TPoint(8, 8)), 11);
    EXPECT_EQ(DragRadius(TPoint(5, 5), TPoint(35, 45)), 50);

    EXPECT_EQ(ScalePoint(TPoint(0, 0), TPoint(3, 4), 2), TPoint(6, 8));
    EXPECT_EQ(ScalePoint(TPoint(10, 10), TPoint(10, 30), 0.5), TPoint(10, 20));  // vertical
    EXPECT_EQ(ScalePoint(TPoint(0, 0), TPoint(-10, 0), 0.5), TPoint(-5, 0));
    EXPECT_EQ(ScalePoint(TPoint(4, 4), TPoint(4, 4), 3), TPoint(4, 4));

    EXPECT_EQ(RotatePoint(TPoint(0, 0), TPoint(10, 0), kPi / 2), TPoint(0, 10));
    EXPECT_EQ(RotatePoint(TPoint(5, 5), TPoint(15, 5), kPi), TPoint(-5, 5));
}

TEST(ShapeGeometry, StarStepsByItsPointCountAndHoldsAtMostThirteen)
{
    const TPoint centre(50, 50);
    const TPoint first(50, 10);
    // Five points: 144 degrees a vertex (pentagram), 72 for the polygon (pentagon).
    const std::vector<TPoint> star = StarVertices(centre, first, 5, false);
    ASSERT_EQ(star.size(), 5u);
    EXPECT_EQ(star[0], first);
    EXPECT_EQ(star[1], TPoint(74, 82));
    EXPECT_EQ(star[2], TPoint(12, 38));
    const std::vector<TPoint> pentagon = StarVertices(centre, first, 5, true);
    EXPECT_EQ(pentagon[1], TPoint(88, 38));
    // Six points have no star step: a hexagon either way.
    EXPECT_EQ(StarVertices(centre, first, 6, false), StarVertices(centre, first, 6, true));

    EXPECT_EQ(StarVertices(centre, first, 13, false).size(), 13u);
    EXPECT_EQ(StarVertices(centre, first, 20, false).size(), 13u);
    EXPECT_TRUE(StarVertices(centre, first, 0, false).empty());
    EXPECT_TRUE(StarVertices(centre, first, -4, false).empty());

    // Drawing more points than the vertex array holds stays inside it (checked by ASan).
    TBitmap b(100, 100);
    TStarPoints points{};
    b.Canvas().Brush.Color = clBlack;
    DrawStar(b.Canvas(), points, centre, first, 40, false);
    EXPECT_EQ(points[0], first);
    EXPECT_EQ(b.Canvas().Pixel(50, 50), clBlack);
}

TEST(ShapeGeometry, SymmetryRepeatsTheStrokeAboutThePictureCentre)
{
    EXPECT_EQ(SymmetryPoints(50, 10, 100, 100, 4),
              (std::vector<TPoint>{TPoint(50, 10), TPoint(90, 50), TPoint(50, 90), TPoint(10, 50)}));
    EXPECT_EQ(SymmetryPoints(50, 10, 100, 100, 99).size(), 13u);

    TBitmap b(100, 100);
    TStarPoints points;
    points.fill(TPoint(50, 50));
    DrawSymmetry(b.Canvas(), points, 50, 10, 100, 100, 4);
    EXPECT_EQ(points[1], TPoint(90, 50));
    for (auto [x, y] : {std::pair(50, 30), std::pair(70, 50), std::pair(50, 70), std::pair(30, 50)})
        EXPECT_EQ(b.Canvas().Pixel(x, y), clBlack) << x << "," << y;
    EXPECT_EQ(b.Canvas().Pixel(70, 30), clWhite);
}

TEST(ShapeGeometry, SpiralPointsTurnAndShrinkInHundredths)
{
    const std::vector<TPoint> p = SpiralPoints(TPoint(0, 0), TPoint(100, 0), 1, 9, 0.99);
    ASSERT_EQ(p.size(), 36u);
    EXPECT_EQ(p[0], TPoint(0, 99));
    EXPECT_EQ(p[1], TPoint(-98, 0));
    EXPECT_EQ(p[2], TPoint(0, -97));
    EXPECT_EQ(SpiralPoints(TPoint(3, 3), TPoint(40, 3), 3, 1, 0.99).size(), 108u);

    TBitmap b(60, 60);
    b.Canvas().MoveTo(50, 30);
    DrawSpiral(b.Canvas(), TPoint(30, 30), TPoint(50, 30), 2, 1, 0.99);
    EXPECT_EQ(b.Canvas().Pixel(50, 30), clBlack);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clWhite);
}

TEST(ShapeGeometry, SpirographReturnsItsRefusalShowsNoBoxAndDrawsNothing)
{
    struct Case {
        int width, height;
        TPoint p1, p2;
        const char* message;
    };
    const Case cases[] = {
        {256, 200, TPoint(150, 100), TPoint(160, 100), "image must be square for spirographs"},
        {100, 100, TPoint(90, 50), TPoint(90, 70), "sum of radi to large"},
        {100, 100, TPoint(70, 50), TPoint(73, 50), "both radi must be >5"},
        {100, 100, TPoint(52, 50), TPoint(62, 50), "both radi must be >5"},
    };
    // The library shows nothing itself: the tool that called it does (an unscripted box
    // would fail the test).
    for (const Case& c : cases) {
        TBitmap b(c.width, c.height);
        const TBitmap before(b);
        EXPECT_EQ(DrawSpirograph(b.Canvas(), c.width, c.height, c.p1, c.p2, 40), c.message);
        EXPECT_TRUE(brushtest::SamePixels(b, before)) << c.message;
    }

    // Radii 20 and 10 about (50, 50): the curve stays within 30 pixels of the centre.
    TBitmap b(100, 100);
    EXPECT_EQ(DrawSpirograph(b.Canvas(), 100, 100, TPoint(70, 50), TPoint(80, 50), 1), QString());
    int inked = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (b.Canvas().Pixel(x, y) != clWhite) {
                ++inked;
                EXPECT_LE(std::hypot(x - 50.0, y - 50.0), 31.0) << x << "," << y;
            }
    EXPECT_GT(inked, 0);
    EXPECT_TRUE(kvtest::Ui().Asked().empty());
}

TEST(ShapeGeometry, TriangleOutlineIsClosed)
{
    TBitmap b(6, 6);
    DrawTriangleOutline(b.Canvas(), {TPoint(0, 0), TPoint(4, 0), TPoint(0, 4)});
    EXPECT_EQ(brushtest::Art(b), (std::vector<std::string>{"#####.", "#..#..", "#.#...", "##....",
                                                           "#.....", "......"}));
    TBitmap s(8, 6);
    DrawSkewRectOutline(s.Canvas(), {TPoint(2, 0), TPoint(7, 0), TPoint(5, 4), TPoint(0, 4)});
    EXPECT_EQ(s.Canvas().Pixel(6, 0), clBlack);
    EXPECT_EQ(s.Canvas().Pixel(0, 4), clBlack);
    EXPECT_EQ(s.Canvas().Pixel(1, 2), clBlack);  // the closing edge
}

TEST(ShapeGeometry, CubeShowsTheSideFacesOfItsDepth)
{
    struct Case {
        TPoint depth;
        std::vector<TPoint> inked;
        std::vector<TPoint> clear;
    };
    // Front face the square (10, 10)..(20, 20); points 0..3 clockwise from the top left.
    const Case cases[] = {
        {TPoint(5, -5), {{22, 8}, {12, 8}, {25, 10}, {22, 18}}, {{12, 18}}},
        {TPoint(5, 5), {{22, 12}, {22, 22}, {20, 25}, {12, 22}}, {{8, 8}, {12, 12}}},
        {TPoint(-5, 5), {{8, 12}, {8, 22}, {5, 18}, {18, 22}}, {{18, 12}}},
        {TPoint(-5, -5), {{18, 8}, {8, 8}, {5, 12}, {8, 18}}, {{18, 18}}},
        {TPoint(-5, 0), {{10, 15}, {15, 10}}, {{8, 10}, {8, 20}, {5, 15}}},
    };
    for (const Case& c : cases) {
        TBitmap b(32, 32);
        const TPoint p2(20, 20);
        DrawCubeOutline(b.Canvas(), {TPoint(10, 10), TPoint(20, 10), p2, TPoint(10, 20),
                                     TPoint(p2.X + c.depth.X, p2.Y + c.depth.Y)});
        for (const TPoint& q : c.inked)
            EXPECT_EQ(b.Canvas().Pixel(q.X, q.Y), clBlack) << c.depth << " at " << q;
        for (const TPoint& q : c.clear)
            EXPECT_EQ(b.Canvas().Pixel(q.X, q.Y), clWhite) << c.depth << " at " << q;
    }
}

TEST(ShapeGeometry, BlockCellIsAtLeastOnePixel)
{
    struct Case {
        int x, y, width, height, blocks;
        TRect cell;
    };
    const Case cases[] = {
        {37, 23, 100, 50, 10, TRect(30, 20, 40, 25)},
        {37, 23, 100, 50, 200, TRect(37, 23, 38, 24)},  // more blocks than pixels
        {37, 23, 100, 50, 60, TRect(37, 23, 38, 24)},
        {37, 23, 100, 50, 0, TRect(0, 0, 100, 50)},
        {0, 0, 1, 1, 32, TRect(0, 0, 1, 1)},
    };
    for (const Case& c : cases) {
        const TRect r = BlockCell(c.x, c.y, c.width, c.height, c.blocks);
        EXPECT_EQ(r.TopLeft(), c.cell.TopLeft()) << c.blocks;
        EXPECT_EQ(r.Right, c.cell.Right) << c.blocks;
        EXPECT_EQ(r.Bottom, c.cell.Bottom) << c.blocks;
    }
}

}  // namespace

namespace {

TEST(ShapeGeometry, BarsSnapToTheEdgesAndBordersFrameTheClientArea)
{
    struct Case {
        int y1, y2;
        int top, bottom;  // the filled rows, bottom exclusive
    };
    const Case cases[] = {{5, 20, 0, 20}, {10, 20, 10, 20}, {15, 31, 15, 40}, {15, 30, 15, 30}};
    for (const Case& c : cases) {
        TBitmap b(4, 40);
        b.Canvas().Brush.Color = clBlack;
        DrawBars(b.Canvas(), 4, 40, c.y1, c.y2);
        for (int y = 0; y < 40; ++y)
            EXPECT_EQ(b.Canvas().Pixel(3, y), y >= c.top && y < c.bottom ? clBlack : clWhite)
                << c.y1 << ".." << c.y2 << " row " << y;
    }

    TBitmap b(7, 6);
    b.Canvas().Brush.Color = clBlack;
    DrawBorder(b.Canvas(), 7, 6, 2, 1);
    EXPECT_EQ(brushtest::Art(b), (std::vector<std::string>{"#######", "##...##", "##...##", "##...##",
                                                           "##...##", "#######"}));
}

}  // namespace

namespace {

TEST(ShapeGeometry, DecoratedStrokesStepFromTheBrushToThePenColour)
{
    for (bool oval : {false, true}) {
        TBitmap b(80, 80);
        b.Canvas().Pen.Color = clBlack;
        b.Canvas().Pen.Width = 30;
        b.Canvas().Brush.Color = clYellow;
        if (oval)
            DecoOval(b.Canvas(), TPoint(10, 10), TPoint(70, 70), clWhite);
        else
            DecoBar(b.Canvas(), TPoint(10, 40), TPoint(70, 40), clWhite);
        EXPECT_EQ(b.Canvas().Pen.Width, 30) << oval;
        EXPECT_EQ(b.Canvas().Pen.Color, clBlack) << oval;
        EXPECT_EQ(b.Canvas().Brush.Style, bsSolid) << oval;
        // The last, narrowest stroke reaches the pen colour; the widest is a light grey.
        const TPoint axis = oval ? TPoint(10, 40) : TPoint(40, 40);
        const TPoint rim = oval ? TPoint(40, 40) : TPoint(40, 40 - 14);
        EXPECT_EQ(b.Canvas().Pixel(axis.X, axis.Y), clBlack) << oval;
        if (!oval) {
            const int grey = GetRValue(b.Canvas().Pixel(rim.X, rim.Y));
            EXPECT_GT(grey, 150) << oval;
            EXPECT_LT(grey, 255) << oval;
        } else {
            EXPECT_EQ(b.Canvas().Pixel(rim.X, rim.Y), clWhite);  // the brush is clear inside
        }
    }

    // A thin pen steps three times its width a stroke and never fails.
    TBitmap thin(20, 20);
    thin.Canvas().Pen.Width = 0;
    DecoBar(thin.Canvas(), TPoint(2, 10), TPoint(18, 10), clWhite);
    EXPECT_EQ(thin.Canvas().Pen.Width, 0);
}

}  // namespace
