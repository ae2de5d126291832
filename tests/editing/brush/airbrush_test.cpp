// The air brush: its setter rules, the dab shapes, the blend and the metering clock.
#include "editing/brush/jvAirBrush.h"

#include "BrushTestUtil.h"

#include <gtest/gtest.h>

using brushtest::Art;

namespace {

TEST(AirBrush, SettersKeepTheirRangesAndBuildTheDabOnlyWhenAsked)
{
    TjvAirBrush a;
    EXPECT_EQ(a.Size(), 40);
    EXPECT_EQ(a.Intensity(), 10);
    EXPECT_EQ(a.Color(), clBlack);
    EXPECT_EQ(a.Shape(), absRound);
    EXPECT_EQ(a.Interval(), 100);
    EXPECT_TRUE(a.BrushBitmap().Empty());

    // Out of range, or equal to the current value: ignored, nothing built.
    for (int size : {5, 9, 201, 40}) {
        a.SetSize(size);
        EXPECT_EQ(a.Size(), 40) << size;
        EXPECT_TRUE(a.BrushBitmap().Empty()) << size;
    }
    for (int size : {10, 200}) {
        a.SetSize(size);
        EXPECT_EQ(a.Size(), size);
        EXPECT_EQ(a.BrushBitmap().Width(), size);
        EXPECT_EQ(a.BrushBitmap().Height(), size);
    }
    for (int intensity : {0, 101, -3}) {
        a.SetIntensity(intensity);
        EXPECT_EQ(a.Intensity(), 10) << intensity;
    }
    a.SetIntensity(1);
    EXPECT_EQ(a.Intensity(), 1);
    a.SetIntensity(100);
    EXPECT_EQ(a.Intensity(), 100);
    a.SetInterval(-5);
    EXPECT_EQ(a.Interval(), -5);

    // Colour and shape always rebuild, also with the same value.
    TjvAirBrush b;
    b.SetColor(clBlack);
    EXPECT_EQ(b.BrushBitmap().Width(), 40);
    TjvAirBrush c;
    c.SetShape(absRound);
    EXPECT_EQ(c.BrushBitmap().Width(), 40);
    EXPECT_TRUE(c.BrushBitmap().Transparent);
    EXPECT_EQ(c.BrushBitmap().TransparentColor(), clWhite);
}

TEST(AirBrush, TheSevenDabShapesAtSizeTen)
{
    struct Case {
        TAirBrushShape shape;
        std::vector<std::string> art;
    };
    const std::vector<Case> cases = {
        {absSquare, {"#########.", "#########.", "#########.", "#########.", "#########.",
                     "#########.", "#########.", "#########.", "#########.", ".........."}},
        {absHorizontal, {"..........", "..........", "########..", "########..", "########..",
                         "########..", "..........", "..........", "..........", ".........."}},
        {absVertical, {"..####....", "..####....", "..####....", "..####....", "..####....",
                       "..####....", "..####....", "..####....", "..........", ".........."}},
        // Dots on the 3-pixel grid strictly inside radius 5 of (5, 5).
        {absSpray, {"..........", "..........", "..........", "...#..#..#", "..........",
                    "..........", "...#..#..#", "..........", "..........", "...#..#..."}},
    };
    for (const Case& c : cases) {
        TjvAirBrush a;
        a.SetSize(10);
        a.SetShape(c.shape);
        EXPECT_EQ(Art(a.BrushBitmap()), c.art) << int(c.shape);
    }

    // The round dab and the two bands, by the pixels that must and must not be inked.
    struct Probe {
        TAirBrushShape shape;
        std::vector<TPoint> inked;
        std::vector<TPoint> clear;
    };
    const std::vector<Probe> probes = {
        {absRound, {{5, 5}, {1, 5}, {5, 1}, {8, 5}}, {{0, 0}, {9, 0}, {0, 9}, {9, 9}}},
        {absLeftSlash, {{1, 0}, {4, 4}, {5, 5}, {8, 8}}, {{9, 0}, {0, 9}, {8, 1}, {1, 8}}},
        {absRightSlash, {{1, 8}, {4, 5}, {5, 4}, {8, 1}}, {{0, 0}, {9, 9}, {1, 1}, {8, 8}}},
    };
    for (const Probe& p : probes) {
        TjvAirBrush a;
        a.SetSize(10);
        a.SetColor(clRed);
        a.SetShape(p.shape);
        const TCanvas& c = a.BrushBitmap().Canvas();
        for (const TPoint& q : p.inked)
            EXPECT_EQ(c.Pixel(q.X, q.Y), clRed) << int(p.shape) << " at " << q.X << "," << q.Y;
        for (const TPoint& q : p.clear)
            EXPECT_EQ(c.Pixel(q.X, q.Y), clWhite) << int(p.shape) << " at " << q.X << "," << q.Y;
    }
}

TEST(AirBrush, AnUntouchedBrushPaintsNothing)
{
    TBitmap picture(30, 30);
    brushtest::Photo(picture);
    const TBitmap before(picture);
    TjvAirBrush a;
    a.SetIntensity(100);  // intensity alone builds no dab
    a.PaintAt(picture.Canvas(), 15, 15);
    EXPECT_TRUE(brushtest::SamePixels(picture, before));
}

TEST(AirBrush, BlendsTheDabOverAFlatBackgroundAndLeavesWhiteOut)
{
    const TColor ground = RGB(200, 100, 50);
    struct Case {
        int intensity;
        TColor inside;
    };
    // round((1 - f) * background + f * dab) per channel, dab colour RGB(10, 20, 250).
    const Case cases[] = {
        {30, RGB(143, 76, 110)},
        {100, RGB(10, 20, 250)},
        {1, RGB(198, 99, 52)},
    };
    for (const Case& c : cases) {
        TBitmap picture(20, 20);
        brushtest::Fill(picture, ground);
        TjvAirBrush a;
        a.SetSize(10);
        a.SetColor(RGB(10, 20, 250));
        a.SetShape(absSquare);
        a.SetIntensity(c.intensity);
        a.PaintAt(picture.Canvas(), 10, 10);  // the dab covers 5..14; its last row and column are white
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool inside = x >= 5 && x <= 13 && y >= 5 && y <= 13;
                ASSERT_EQ(picture.Canvas().Pixel(x, y), inside ? c.inside : ground)
                    << c.intensity << " at " << x << "," << y;
            }
    }

    // A dab half off the picture paints the part that lies on it.
    TBitmap picture(8, 8);
    brushtest::Fill(picture, ground);
    TjvAirBrush a;
    a.SetSize(10);
    a.SetShape(absSquare);
    a.SetIntensity(100);
    a.PaintAt(picture.Canvas(), 0, 0);
    EXPECT_EQ(picture.Canvas().Pixel(0, 0), clBlack);
    EXPECT_EQ(picture.Canvas().Pixel(3, 3), clBlack);
    EXPECT_EQ(picture.Canvas().Pixel(4, 4), ground);
}

TEST(AirBrush, IntervalCountsOnlyWhenMoreThanIntervalPassed)
{
    std::int64_t now = 1000;
    TjvAirBrush a([&now] { return now; });
    EXPECT_EQ(a.LastPaintTime(), 1000);
    struct Step {
        std::int64_t at;
        bool elapsed;
    };
    const Step steps[] = {{1000, false}, {1100, false}, {1101, true}, {1201, false},
                          {1202, true}, {1202, false}, {5000, true}};
    for (const Step& s : steps) {
        now = s.at;
        EXPECT_EQ(a.IntervalElapsed(), s.elapsed) << s.at;
    }
    EXPECT_EQ(a.LastPaintTime(), 5000);
}

}  // namespace
