// Colour helpers and pixel primitives of the drawing tools, on small hand-computed pictures.
#include "editing/brush/BrushColors.h"
#include "editing/brush/BrushPixels.h"

#include "BrushTestUtil.h"

#include <gtest/gtest.h>

namespace {

TColor Grey(int v)
{
    return RGB(v, v, v);
}

std::vector<int> GreyRow(const TBitmap& b, int y)
{
    std::vector<int> row;
    for (int x = 0; x < b.Width(); ++x)
        row.push_back(GetRValue(b.Canvas().Pixel(x, y)));
    return row;
}

TEST(BrushColors, MixLightenDarkenAverageAndClamp)
{
    struct Case {
        const char* what;
        TColor got;
        TColor want;
    };
    const Case cases[] = {
        {"mix 30 %", MixColors(RGB(200, 100, 0), RGB(0, 50, 255), 30), RGB(60, 65, 178)},
        {"mix -30 % as 30 %", MixColors(RGB(200, 100, 0), RGB(0, 50, 255), -30), RGB(60, 65, 178)},
        {"mix above 100 % is the first", MixColors(RGB(1, 2, 3), RGB(200, 200, 200), 150), RGB(1, 2, 3)},
        {"mix white and black", MixColors(clWhite, clBlack, 50), Grey(127)},
        {"lighter black", LighterColor(clBlack), Grey(81)},
        {"lighter colour", LighterColor(RGB(100, 0, 200)), RGB(149, 97, 201)},
        {"darker white", DarkerColor(clWhite), Grey(232)},
        {"darker colour", DarkerColor(RGB(100, 0, 200)), RGB(91, 0, 182)},
        {"average", AverageColor(RGB(255, 0, 11), RGB(0, 0, 2)), RGB(127, 0, 6)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;
    EXPECT_EQ(ClampByte(-3), 0);
    EXPECT_EQ(ClampByte(300), 255);
    EXPECT_EQ(ClampByte(17), 17);
    EXPECT_EQ(ClampToRange(5, 10, 20), 10);
    EXPECT_EQ(ClampToRange(25, 10, 20), 20);
}

TEST(BrushPixels, GradientLineStepsBeforeEachPixelClampsAndSmoothsItsEnds)
{
    TBitmap b(7, 3);
    GradientHLine(b, 1, 4, 1, Grey(0), Grey(90), true);
    // 30 per pixel; x = 0 lies on the border and stays; x = 5 takes the mean of its neighbours.
    EXPECT_EQ(GreyRow(b, 1), (std::vector<int>{255, 30, 60, 90, 120, 221, 255}));
    EXPECT_EQ(GreyRow(b, 0), std::vector<int>(7, 255));

    // Reversed ends run from the left with a negative step, clamped at 0.
    TBitmap r(7, 1);
    GradientHLine(r, 4, 1, 0, Grey(0), Grey(90), false);
    EXPECT_EQ(GreyRow(r, 0), (std::vector<int>{255, 0, 0, 0, 0, 255, 255}));

    // Off the bitmap nothing is written; a single pixel takes the start colour.
    TBitmap v(1, 5);
    GradientVLine(v, -3, 2, 0, Grey(100), Grey(100), true);
    GradientVLine(v, 4, 4, 0, Grey(7), Grey(200), false);
    EXPECT_EQ(GetRValue(v.Canvas().Pixel(0, 0)), 100);
    EXPECT_EQ(GetRValue(v.Canvas().Pixel(0, 2)), 100);
    EXPECT_EQ(GetRValue(v.Canvas().Pixel(0, 3)), 255);
    EXPECT_EQ(GetRValue(v.Canvas().Pixel(0, 4)), 7);
}

TEST(BrushPixels, ShadedEllipseFollowsTheMidpointTrace)
{
    struct Case {
        int a, b;
        std::vector<int> half;
    };
    const Case cases[] = {
        {2, 2, {2, 2, 1}},
        {4, 2, {4, 3, 2}},
        {2, 4, {2, 2, 2, 1, 0}},
        {-2, -2, {2, 2, 1}},
        {0, 0, {0}},
        {3, 0, {0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EllipseHalfWidths(c.a, c.b), c.half) << c.a << "x" << c.b;

    TBitmap b(11, 9);
    ShadedEllipse(b, TPoint(5, 4), 4, 2, clBlack, clBlack);
    const std::vector<std::string> art = brushtest::Art(b);
    EXPECT_EQ(art[2].substr(3, 5), "#####");  // v = 2, half-width 2
    EXPECT_EQ(art[3].substr(2, 7), "#######");
    EXPECT_EQ(art[4].substr(1, 9), "#########");
    EXPECT_EQ(art[5].substr(2, 7), "#######");
    EXPECT_EQ(art[6].substr(3, 5), "#####");
    EXPECT_EQ(art[0], "...........");
    EXPECT_EQ(art[8], "...........");
}

TEST(BrushPixels, InterRectBlendsTheCornersInFixedPoint)
{
    TBitmap b(5, 4);
    b.Canvas().SetPixel(1, 1, Grey(0));
    b.Canvas().SetPixel(3, 1, Grey(200));
    b.Canvas().SetPixel(1, 3, Grey(100));
    b.Canvas().SetPixel(3, 3, Grey(40));
    InterRect(b, TRect(3, 3, 1, 1));  // normalised first
    EXPECT_EQ(GreyRow(b, 0), std::vector<int>(5, 255));
    EXPECT_EQ(GreyRow(b, 1), (std::vector<int>{255, 0, 100, 200, 255}));
    EXPECT_EQ(GreyRow(b, 2), (std::vector<int>{255, 50, 85, 120, 255}));
    EXPECT_EQ(GreyRow(b, 3), (std::vector<int>{255, 100, 70, 40, 255}));

    // Thirds: the steps round, and the far corner keeps its exact value.
    TBitmap row(4, 1);
    row.Canvas().SetPixel(0, 0, Grey(0));
    row.Canvas().SetPixel(3, 0, Grey(100));
    InterRect(row, TRect(0, 0, 3, 0));
    EXPECT_EQ(GreyRow(row, 0), (std::vector<int>{0, 33, 67, 100}));

    // Channels blend on their own.
    TBitmap c(2, 1);
    c.Canvas().SetPixel(0, 0, RGB(255, 0, 10));
    c.Canvas().SetPixel(1, 0, RGB(0, 255, 30));
    InterRect(c, TRect(0, 0, 1, 0));
    EXPECT_EQ(c.Canvas().Pixel(1, 0), RGB(0, 255, 30));

    // A rectangle reaching off the bitmap changes nothing.
    TBitmap off(4, 4);
    brushtest::Photo(off);
    const TBitmap before(off);
    InterRect(off, TRect(1, 1, 4, 3));
    InterRect(off, TRect(-1, 0, 2, 2));
    EXPECT_TRUE(brushtest::SamePixels(off, before));
}

TEST(BrushPixels, InterColumnRunsFromTheLeftEdgeToTheFarCorner)
{
    TBitmap b(5, 3);
    b.Canvas().SetPixel(0, 0, Grey(0));
    b.Canvas().SetPixel(3, 2, Grey(60));
    InterColumn(b, TRect(1, 0, 3, 2));
    EXPECT_EQ(GreyRow(b, 0), (std::vector<int>{0, 30, 60, 90, 255}));
    EXPECT_EQ(GreyRow(b, 1), (std::vector<int>{255, 30, 60, 90, 255}));
    EXPECT_EQ(GreyRow(b, 2), (std::vector<int>{255, 30, 60, 90, 255}));
}

TEST(BrushPixels, RingBlurTakesTheMeanTwoStepsAway)
{
    TBitmap flat(6, 5);
    brushtest::Fill(flat, RGB(12, 130, 250));
    const TBitmap before(flat);
    RingBlur(flat);
    EXPECT_TRUE(brushtest::SamePixels(flat, before));

    TBitmap dot(5, 5);
    brushtest::Fill(dot, clBlack);
    dot.Canvas().SetPixel(2, 2, clWhite);
    RingBlur(dot);
    struct Probe {
        int x, y, value;
    };
    // Clamped coordinates: the corners and edge midpoints see the centre once (255 / 16).
    for (const Probe& p : {Probe{2, 2, 0}, Probe{0, 0, 15}, Probe{4, 4, 15}, Probe{2, 0, 15},
                           Probe{1, 1, 0}, Probe{3, 2, 0}})
        EXPECT_EQ(dot.Canvas().Pixel(p.x, p.y), Grey(p.value)) << p.x << "," << p.y;

    TBitmap empty;
    RingBlur(empty);
    EXPECT_TRUE(empty.Empty());
}

TEST(BrushPixels, RippleKeepsOutsideTheDiscAndLeavesNarrowPatchesAlone)
{
    // A patch one pixel wide has no disc: nothing is written (no division by zero).
    for (auto [w, h] : {std::pair(1, 1), std::pair(1, 9)}) {
        TBitmap source(w, h);
        brushtest::Photo(source);
        TBitmap target(w, h);
        brushtest::Fill(target, Grey(77));
        const TBitmap before(target);
        RippleBitmap(source, target, 3);
        EXPECT_TRUE(brushtest::SamePixels(target, before)) << w << "x" << h;
    }

    auto ripple = [](double amount) {
        TBitmap source(9, 9);
        brushtest::Photo(source);
        TBitmap target(9, 9);
        brushtest::Fill(target, Grey(77));
        RippleBitmap(source, target, amount);
        return target;
    };
    for (double amount : {1.0, 2.5, 40.0}) {
        const TBitmap target = ripple(amount);
        EXPECT_EQ(target.Canvas().Pixel(0, 0), Grey(77)) << amount;
        EXPECT_EQ(target.Canvas().Pixel(8, 8), Grey(77)) << amount;
        EXPECT_NE(target.Canvas().Pixel(4, 4), Grey(77)) << amount;
    }
    // An amount below 1 counts as 1.
    EXPECT_TRUE(brushtest::SamePixels(ripple(0), ripple(1)));
    EXPECT_TRUE(brushtest::SamePixels(ripple(-4), ripple(1)));

    // Wide and flat: the disc is cut by the patch's height, nothing lands off it.
    TBitmap source(12, 2);
    brushtest::Photo(source);
    TBitmap target(12, 2);
    RippleBitmap(source, target, 2);
}

TEST(BrushPixels, ColorBrushOperationsInsideTheDisc)
{
    const TColor ground = RGB(240, 120, 60);
    struct Case {
        int op;
        TColor centre;
    };
    const Case cases[] = {
        {0, RGB(0, 0, 60)},      {1, RGB(0, 120, 0)},     {2, RGB(240, 0, 0)},
        {3, RGB(240, 120, 0)},   {4, RGB(240, 0, 60)},    {5, RGB(0, 120, 60)},
        {6, RGB(240, 120, 54)},  {7, RGB(240, 108, 60)},  {8, RGB(216, 120, 60)},
        {9, RGB(218, 109, 55)},  {10, RGB(255, 132, 66)}, {11, Grey(140)},
        {12, RGB(60, 240, 120)}, {13, ground},
    };
    for (const Case& c : cases) {
        TBitmap b(20, 20);
        brushtest::Fill(b, ground);
        ColorBrush(b, 10, 10, c.op, 3);  // a radius below 5 counts as 5
        EXPECT_EQ(b.Canvas().Pixel(10, 10), c.centre) << c.op;
        EXPECT_EQ(b.Canvas().Pixel(14, 10), c.centre) << c.op;  // inside the disc of radius 5
        EXPECT_EQ(b.Canvas().Pixel(15, 10), ground) << c.op;    // outside the square
        EXPECT_EQ(b.Canvas().Pixel(5, 5), ground) << c.op;      // the square's corner
    }

    // White stays white and is never written; a brush over the corner reaches what is there.
    TBitmap white(8, 8);
    ColorBrush(white, 0, 0, 10, 5);
    EXPECT_EQ(white.Canvas().Pixel(0, 0), clWhite);
    TBitmap corner(8, 8);
    brushtest::Fill(corner, ground);
    ColorBrush(corner, 0, 0, 2, 5);
    EXPECT_EQ(corner.Canvas().Pixel(0, 0), RGB(240, 0, 0));
}

}  // namespace

namespace {

TEST(BrushPixels, SphereFamiliesLayTheirCirclesAlongTheLongerSide)
{
    struct Case {
        const char* what;
        TRect r;
        TSphereFamily family;
        std::vector<std::array<int, 3>> circles;  // centre x, centre y, radius
    };
    const Case cases[] = {
        // hw = 50, hh = 10: 50 div 11 = 4 cells of 25, radius 12.
        {"row", TRect(0, 0, 100, 20), TSphereFamily::Row,
         {{12, 10, 12}, {37, 10, 12}, {62, 10, 12}, {87, 10, 12}}},
        {"row, corners swapped", TRect(100, 20, 0, 0), TSphereFamily::Row,
         {{12, 10, 12}, {37, 10, 12}, {62, 10, 12}, {87, 10, 12}}},
        {"column", TRect(0, 0, 20, 100), TSphereFamily::Row,
         {{10, 12, 12}, {10, 37, 12}, {10, 62, 12}, {10, 87, 12}}},
        {"droplets", TRect(0, 0, 100, 20), TSphereFamily::Droplets,
         {{9, 10, 9}, {34, 10, 9}, {59, 10, 9}, {84, 10, 9}}},
        {"wave", TRect(0, 0, 100, 20), TSphereFamily::Wave,
         {{9, 10, 9}, {34, 10, 4}, {59, 10, 3}, {84, 10, 8}}},
        {"rising wave", TRect(0, 0, 100, 20), TSphereFamily::RisingWave,
         {{9, 10, 3}, {34, 10, 8}, {59, 10, 9}, {84, 10, 4}}},
        {"rising wave down a column keeps the wave's phase", TRect(0, 0, 20, 100),
         TSphereFamily::RisingWave, {{10, 9, 9}, {10, 34, 4}, {10, 59, 3}, {10, 84, 8}}},
        {"square: no cell", TRect(0, 0, 10, 10), TSphereFamily::Row, {}},
        {"empty", TRect(3, 3, 3, 3), TSphereFamily::Wave, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::array<int, 3>> got;
        for (const TSphereCircle& s : SphereCircles(c.r, c.family))
            got.push_back({s.Centre.X, s.Centre.Y, s.Radius});
        EXPECT_EQ(got, c.circles) << c.what;
    }

    // Spheres drawn on a small picture stay on it.
    TBitmap b(30, 8);
    DrawSpheres(b, TRect(0, 0, 30, 8), TSphereFamily::Row, clBlack, clBlack);
    EXPECT_EQ(b.Canvas().Pixel(3, 4), clBlack);
    Sphere(b, TRect(-5, -5, 40, 20), clRed, clBlue);
}

}  // namespace

namespace {

TEST(BrushPixels, BrushPatchStaysOnThePictureAlsoWhenLargerThanIt)
{
    struct Case {
        TPoint centre;
        int r, width, height;
        TPoint wantCentre;
        int wantRadius;
    };
    const Case cases[] = {
        {TPoint(50, 50), 10, 100, 100, TPoint(50, 50), 10},
        {TPoint(3, 95), 10, 100, 100, TPoint(10, 89), 10},  // pushed in from the edges
        {TPoint(5, 5), 80, 100, 60, TPoint(29, 29), 29},    // larger than the picture
        {TPoint(0, 0), 10, 2, 2, TPoint(0, 0), 0},
        {TPoint(-40, 7), 500, 1, 9, TPoint(0, 7), 0},
    };
    for (const Case& c : cases) {
        const TBrushPatch p = ClampBrushPatch(c.centre, c.r, c.width, c.height);
        EXPECT_EQ(p.Radius, c.wantRadius) << c.r << " on " << c.width << "x" << c.height;
        EXPECT_EQ(p.Centre.X, c.wantCentre.X) << c.r << " on " << c.width << "x" << c.height;
        EXPECT_EQ(p.Centre.Y, c.wantCentre.Y) << c.r << " on " << c.width << "x" << c.height;
        EXPECT_GE(p.Centre.X - p.Radius, 0);
        EXPECT_GE(p.Centre.Y - p.Radius, 0);
        EXPECT_LE(p.Centre.X + p.Radius, std::max(c.width - 1, 0));
        EXPECT_LE(p.Centre.Y + p.Radius, std::max(c.height - 1, 0));
    }
}

TEST(BrushPixels, ZoomBrushStretchesTheCutSquareOverTheCanvas)
{
    TBitmap zoom(8, 8);
    brushtest::Fill(zoom, clWhite);
    zoom.Canvas().Brush.Color = clRed;
    zoom.Canvas().FillRect(TRect(0, 0, 4, 4));
    TBitmap view(8, 8);
    // Around (1, 1) with r 3: the square is cut to (0, 0, 4, 4), all red.
    const TRect used = ZoomBrush(view.Canvas(), zoom, 1, 1, 3);
    EXPECT_EQ(used, TRect(0, 0, 4, 4));
    EXPECT_EQ(view.Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(view.Canvas().Pixel(7, 7), clRed);

    // A square that the cut leaves empty draws nothing.
    TBitmap untouched(8, 8);
    EXPECT_EQ(ZoomBrush(untouched.Canvas(), zoom, -20, -20, 3), TRect());
    EXPECT_EQ(untouched.Canvas().Pixel(0, 0), clWhite);
    EXPECT_EQ(ZoomBrush(untouched.Canvas(), TBitmap(), 2, 2, 3), TRect());
}

}  // namespace

namespace {

TEST(BrushPixels, ABandIsStretchedOverTheWholeSquare)
{
    // A 10 x 2 band: top row red, bottom row blue, stretched into a 10 x 10 square.
    TBitmap band(10, 2);
    band.Canvas().Brush.Color = clRed;
    band.Canvas().FillRect(TRect(0, 0, 10, 1));
    band.Canvas().Brush.Color = clBlue;
    band.Canvas().FillRect(TRect(0, 1, 10, 2));
    band.Transparent = true;  // white or not, every pixel of the band is carried over
    TBitmap square(10, 10);
    StretchBandIntoSquare(band, square);
    EXPECT_EQ(square.Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(square.Canvas().Pixel(9, 4), clRed);
    EXPECT_EQ(square.Canvas().Pixel(0, 5), clBlue);
    EXPECT_EQ(square.Canvas().Pixel(9, 9), clBlue);
}

}  // namespace
