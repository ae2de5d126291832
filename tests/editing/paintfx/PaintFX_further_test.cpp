// The rotation, row squeeze and row split routines (also the distortion brushes' modes), the
// waves, fractals, smears, drips, height map and blend, worked by hand on small pictures.
#include "editing/paintfx/PaintFX.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<int>>;

// A picture whose pixels carry one value in all three channels.
TFxImage FromRows(const Rows& rows)
{
    TFxImage img(int(rows.front().size()), int(rows.size()));
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            std::fill_n(img.Pixel(x, y), 3, std::uint8_t(rows[y][x]));
    return img;
}

// The blue channel of every pixel (the pictures here are grey).
Rows ToRows(const TFxImage& img)
{
    Rows rows(img.Height(), std::vector<int>(img.Width()));
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            rows[y][x] = img.Pixel(x, y)[0];
    return rows;
}

// Distinct values in every channel, for "unchanged" checks.
TFxImage Pattern(int w, int h)
{
    TFxImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                img.Pixel(x, y)[c] = std::uint8_t((x * 41 + y * 73 + c * 97 + 5) % 256);
    return img;
}

// A source-to-destination routine run on rows, with the destination starting as dest.
using Transfer = std::function<void(TpelPaintFX&, const TFxBitmap& source, const TFxBitmap& dest)>;
Rows Transferred(const Rows& source, const Rows& dest, const Transfer& f)
{
    TFxImage s = FromRows(source), d = FromRows(dest);
    TpelPaintFX fx;
    f(fx, s.View(), d.View());
    return ToRows(d);
}

// The same routine with one bitmap as source and destination.
Rows InPlace(const Rows& rows, const Transfer& f)
{
    TFxImage img = FromRows(rows);
    TpelPaintFX fx;
    f(fx, img.View(), img.View());
    return ToRows(img);
}

} // namespace

TEST(PaintFXRotate, ZeroDegreesIsTheIdentityForAnyCentre)
{
    const TFxImage source = Pattern(7, 5);
    for (auto [cx, cy] : {std::pair{3, 2}, {0, 0}, {100, -50}}) {
        TFxImage src = source, dest(7, 5, 9);
        TpelPaintFX().SmoothRotate(src.View(), dest.View(), cx, cy, 0);
        EXPECT_EQ(dest, source) << cx << "," << cy;
    }
}

TEST(PaintFXRotate, QuarterAndHalfTurnsByHand)
{
    const Transfer quarter = [](TpelPaintFX& fx, const TFxBitmap& s, const TFxBitmap& d) {
        fx.SmoothRotate(s, d, 1, 1, 90);
    };
    EXPECT_EQ(Transferred({{10, 20}, {30, 40}}, {{0, 0}, {0, 0}}, quarter), (Rows{{30, 10}, {40, 20}}));
    // Half a turn about the middle of an even-sized picture reverses it.
    const Transfer half = [](TpelPaintFX& fx, const TFxBitmap& s, const TFxBitmap& d) {
        fx.SmoothRotate(s, d, 2, 1, 180);
    };
    EXPECT_EQ(Transferred({{1, 2, 3, 4}, {5, 6, 7, 8}}, {{0, 0, 0, 0}, {0, 0, 0, 0}}, half),
              (Rows{{8, 7, 6, 5}, {4, 3, 2, 1}}));
    // Turned by 45 degrees the corners have no source: they keep what the destination held.
    const Transfer diagonal = [](TpelPaintFX& fx, const TFxBitmap& s, const TFxBitmap& d) {
        fx.SmoothRotate(s, d, 2, 2, 45);
    };
    const Rows turned = Transferred(Rows(5, std::vector<int>(5, 200)), Rows(5, std::vector<int>(5, 7)), diagonal);
    EXPECT_EQ(turned[0][0], 7);
    EXPECT_EQ(turned[4][4], 7);
    EXPECT_EQ(turned[2][2], 200);
}

TEST(PaintFXRowSqueeze, SpansByHand)
{
    const Rows row = {{10, 20, 30, 40}};
    const auto squeeze = [](int amount, int mode) {
        return [=](TpelPaintFX& fx, const TFxBitmap& s, const TFxBitmap& d) { fx.RowSqueeze(s, d, amount, mode); };
    };
    struct Case {
        Rows in;
        int amount, mode;
        Rows out;
    };
    const Case cases[] = {
        {row, 0, 7, row},                // no narrowing
        {row, 1, 7, {{10, 20, 40, 40}}}, // into columns 1 .. 2: each takes the pixel under its centre
        {row, 3, 7, {{10, 40, 20, 40}}}, // crossed ends: mirrored into columns 1 .. 2
        {row, 2, 7, row},                // a span of no width leaves the row
        {row, 9, 7, {{30, 30, 20, 20}}}, // crossed ends beyond the picture: mirrored and widened
        // Mode 8 narrows the top: o = round((H - 1 - y) / H * A).
        {{{10, 20, 30, 40}, {50, 60, 70, 80}}, 2, 8, {{10, 20, 40, 40}, {50, 60, 70, 80}}},
        // Mode 9 the bottom: o = round(y / H * A).
        {{{10, 20, 30, 40}, {50, 60, 70, 80}}, 2, 9, {{10, 20, 30, 40}, {50, 60, 80, 80}}},
        // Mode 12: a centred span of width 2 o, o = round(|sin(y / (H - 1) pi)| A): only the middle row.
        {{{1, 2, 3, 4}, {10, 20, 30, 40}, {5, 6, 7, 8}}, 1, 12, {{1, 2, 3, 4}, {10, 20, 40, 40}, {5, 6, 7, 8}}},
        // Mode 10 on a single row takes y / (H - 1) as 0: o = A.
        {row, 1, 10, {{10, 20, 40, 40}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InPlace(c.in, squeeze(c.amount, c.mode)), c.out) << "amount " << c.amount << " mode " << c.mode;
}

TEST(PaintFXRowSplit, HalvesByHand)
{
    const Rows in = {{1, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16}, {21, 22, 23, 24, 25, 26}};
    const auto split = [](int amount, int mode) {
        return [=](TpelPaintFX& fx, const TFxBitmap& s, const TFxBitmap& d) { fx.RowSplit(s, d, amount, mode); };
    };
    // Amount 0 copies the source.
    EXPECT_EQ(Transferred(in, Rows(3, std::vector<int>(6, 0)), split(0, 14)), in);
    // Mode 14: o = round(|sin(y / (H - 1) pi)| min(A, W div 2)); only the middle row has o > 0.
    // o = 3: both halves keep their width (the right one moved one left), the last column stays.
    EXPECT_EQ(InPlace(in, split(3, 14)),
              (Rows{{1, 2, 3, 4, 5, 6}, {11, 12, 14, 15, 16, 16}, {21, 22, 23, 24, 25, 26}}));
    // o = 1: each half shrinks into one pixel, the one under its centre.
    EXPECT_EQ(InPlace(in, split(1, 14)),
              (Rows{{1, 2, 3, 4, 5, 6}, {12, 12, 13, 14, 15, 16}, {21, 22, 23, 24, 25, 26}}));
    // A picture one row high takes y / (H - 1) as 0: the cosine mode splits its row.
    EXPECT_EQ(InPlace({{1, 2, 3, 4, 5, 6}}, split(1, 15)), (Rows{{2, 2, 3, 4, 5, 6}}));
    EXPECT_EQ(InPlace({{1, 2, 3, 4, 5, 6}}, split(1, 14)), (Rows{{1, 2, 3, 4, 5, 6}}));
    // One pixel wide: halves of no pixel draw nothing.
    EXPECT_EQ(InPlace({{7}, {8}, {9}}, split(5, 14)), (Rows{{7}, {8}, {9}}));
    // Mode 15 follows the cosine: the top and bottom rows.
    EXPECT_EQ(InPlace(in, split(1, 15)),
              (Rows{{2, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16}, {22, 22, 23, 24, 25, 26}}));
}

// The row routines and the rotation at the limits of the bars (and beyond) over one pixel, one
// row, one column and odd sizes: nothing is read or written outside the pictures.
TEST(PaintFXSweep, DistortionRoutinesOverOddSizes)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 5}, {5, 3}, {13, 7}, {4, 31}};
    TpelPaintFX fx;
    for (auto [w, h] : sizes) {
        for (int amount : {-3, 0, 1, 2, 3, 128, 255, 100000}) {
            for (int mode = 7; mode <= 15; ++mode) {
                TFxImage img = Pattern(w, h);
                if (mode <= 13)
                    fx.RowSqueeze(img.View(), img.View(), amount, mode);
                else
                    fx.RowSplit(img.View(), img.View(), amount, mode);
                TFxImage other(w + 2, h + 1);
                TFxImage src = Pattern(w, h);
                if (mode <= 13)
                    fx.RowSqueeze(src.View(), other.View(), amount, mode);
                else
                    fx.RowSplit(src.View(), other.View(), amount, mode);
            }
        }
        for (double angle : {0.0, 1.0, 45.0, 90.0, 359.0, -720.5, 1e12}) {
            TFxImage src = Pattern(w, h), dest(w, h), wide(w + 3, h + 2);
            fx.SmoothRotate(src.View(), dest.View(), w / 2, h / 2, angle);
            fx.SmoothRotate(src.View(), wide.View(), -5, 1000, angle);
        }
    }
}

TEST(PaintFXWaves, SineWaveByHand)
{
    const auto wave = [](int amplitude, int factor, int mode) {
        return [=](TpelPaintFX& fx, const TFxBitmap& b, const TFxBitmap&) { fx.SineWave(b, amplitude, factor, mode); };
    };
    // Amplitude 1: only row 1 moves, down by 1 plus the offset of the column before
    // (round(sin(x pi / 2)) is 0 for column 0 and 1 for column 1).
    const Rows in = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    EXPECT_EQ(InPlace(in, wave(1, 0, 0)), (Rows{{1, 2, 3}, {4, 5, 6}, {4, 5, 9}, {10, 11, 6}}));
    // Mode 1 multiplies by cos(x pi / 2): every offset rounds to 0, the row moves straight down.
    EXPECT_EQ(InPlace(in, wave(1, 0, 1)), (Rows{{1, 2, 3}, {4, 5, 6}, {4, 5, 6}, {10, 11, 12}}));
    // Fewer than 3 A + 1 rows: unchanged (amplitude 15 on 40 rows, 1 on 3 rows).
    const TFxImage tall = Pattern(5, 40);
    TFxImage img = tall;
    TpelPaintFX().SineWave(img.View(), 15, 0, 0);
    EXPECT_EQ(img, tall);
    EXPECT_EQ(InPlace({{1}, {2}, {3}}, wave(1, 0, 0)), (Rows{{1}, {2}, {3}}));
}

TEST(PaintFXWaves, ShiftWavesWithPeriodOne)
{
    // Period 1: every p(v) is 0, so R and C are constants. Amplitude 1:
    // 1, 5: R = 1, C = 0: one pixel right and down (row 0 and column 0 keep theirs).
    // 2: column |x - 1|, row y + 1: column 1 takes column 0, then column 2 overwrites it.
    // 4: R = 0, C = -1: column |x - 1|, row |y - 1|.
    const Rows in = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    const Rows zero = Rows(3, std::vector<int>(3, 0));
    const auto wave = [](void (TpelPaintFX::*f)(const TFxBitmap&, const TFxBitmap&, double, int)) {
        return [=](TpelPaintFX& fx, const TFxBitmap& s, const TFxBitmap& d) { (fx.*f)(s, d, 1.0, 1); };
    };
    EXPECT_EQ(Transferred(in, zero, wave(&TpelPaintFX::ShiftWave1)), (Rows{{1, 2, 3}, {4, 1, 2}, {7, 4, 5}}));
    EXPECT_EQ(Transferred(in, zero, wave(&TpelPaintFX::ShiftWave5)), (Rows{{1, 2, 3}, {4, 1, 2}, {7, 4, 5}}));
    EXPECT_EQ(Transferred(in, zero, wave(&TpelPaintFX::ShiftWave2)), (Rows{{1, 2, 3}, {2, 3, 6}, {5, 6, 9}}));
    EXPECT_EQ(Transferred(in, zero, wave(&TpelPaintFX::ShiftWave4)), (Rows{{5, 6, 3}, {8, 9, 6}, {7, 8, 9}}));
}

TEST(PaintFXFractal, PaletteAndEscapeCounts)
{
    struct Entry {
        int index;
        std::uint32_t rgb;
    };
    for (Entry e : {Entry{0, 0x000000},
                    {1, 0x800000},
                    {2, 0x008000},
                    {3, 0xFFFF00},
                    {4, 0x0000FF},
                    {7, 0xC0C0C0},
                    {14, 0x00FFFF},
                    {15, 0xFFFFFF},
                    {16, 0xFFFFFF},
                    {-1, 0xFFFFFF}})
        EXPECT_EQ(TpelPaintFX::IndexToColor(e.index), e.rgb) << e.index;

    // One pixel at the window's top left: its point is (xMin, yMin).
    const auto pixel = [](double re, double im, bool mandelbrot, int iterations = 16) {
        TFxImage img(1, 1, 77);
        TpelPaintFX().Fractal(img.View(), iterations, re, im, re + 1, im + 1, mandelbrot);
        const std::uint8_t* p = img.Pixel(0, 0);
        return std::vector<int>{p[2], p[1], p[0]}; // red, green, blue
    };
    // Mandelbrot c = 1.5: z1 = 1.5, z2 = 3.75 escapes: n = 2, green.
    EXPECT_EQ(pixel(1.5, 0, true), (std::vector<int>{0, 128, 0}));
    // The point 0 never escapes: black.
    EXPECT_EQ(pixel(0, 0, true), (std::vector<int>{0, 0, 0}));
    // Julia (c = i): z0 = 1.9 gives z1 = 3.61 + i: n = 1, navy. |z0|^2 of 4 or more: black.
    EXPECT_EQ(pixel(1.9, 0, false), (std::vector<int>{0, 0, 128}));
    EXPECT_EQ(pixel(3, 0, false), (std::vector<int>{0, 0, 0}));
    // Fewer iterations than 16 count as 16.
    EXPECT_EQ(pixel(1.5, 0, true, 2), (std::vector<int>{0, 128, 0}));
    // 64 iterations: n = 2 gives round(2 / 4) = 0 (black), yet it escaped.
    EXPECT_EQ(pixel(1.5, 0, true, 64), (std::vector<int>{0, 0, 0}));
}

TEST(PaintFXSmears, ZigZagSawtoothAndDripByHand)
{
    // Zig-zag with amount 5 (run 5, h = 2) on rows of values 10 x + y: row 0 runs from
    // column 0 (x mod 5 = 0) and column 1 (x mod 4 = 1), then 5; rows 1 to 3 stay; row 4
    // repeats row 0's pattern.
    Rows in(5, std::vector<int>(8));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            in[y][x] = 10 * x + y;
    Rows zig = in;
    zig[0] = {0, 10, 10, 10, 10, 50, 50, 50};
    zig[4] = {4, 14, 14, 14, 14, 54, 54, 54};
    EXPECT_EQ(InPlace(in, [](TpelPaintFX& fx, const TFxBitmap& b, const TFxBitmap&) { fx.ZigZagSmear(b, 5); }), zig);
    // Even amounts count as the odd one above, below 5 as 5.
    EXPECT_EQ(InPlace(in, [](TpelPaintFX& fx, const TFxBitmap& b, const TFxBitmap&) { fx.ZigZagSmear(b, 4); }), zig);

    // Sawtooth with amount 2 (s = 2): column x moves down by x mod 3 rows.
    const Rows grid = {{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}, {30, 31, 32, 33}, {40, 41, 42, 43}};
    EXPECT_EQ(InPlace(grid, [](TpelPaintFX& fx, const TFxBitmap& b, const TFxBitmap&) { fx.SawtoothShift(b, 2); }),
              (Rows{{0, 1, 2, 3}, {10, 1, 12, 13}, {20, 11, 2, 23}, {30, 21, 12, 33}, {40, 41, 22, 43}}));

    // The drip never moves the first pixel of a row, and repeats with the clock's seed.
    TFxRandom random;
    TpelPaintFX fx(&random);
    fx.Clock = [] { return 1234u; };
    const TFxImage source = Pattern(40, 30);
    TFxImage a = source, b = source;
    fx.RandomDrip(a.View(), 10);
    fx.RandomDrip(b.View(), 10);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, source);
    for (int y = 0; y < 30; ++y)
        EXPECT_TRUE(std::equal(a.Pixel(0, y), a.Pixel(0, y) + 3, source.Pixel(0, y))) << y;
    // Another seed, another drip.
    fx.Clock = [] { return 99u; };
    TFxImage c = source;
    fx.RandomDrip(c.View(), 10);
    EXPECT_NE(c, a);
}

TEST(PaintFXHeightMap, BrightPixelsRiseByTheirBrightness)
{
    // One column of 102 rows: white at 101 and 50, grey 128 at 90, black elsewhere.
    Rows in(102, std::vector<int>(1, 0));
    in[101][0] = 255, in[50][0] = 255, in[90][0] = 128;
    Rows out = in;
    out[1][0] = 255;  // 101 - 100
    out[40][0] = 128; // 90 - round(128 / 255 * 100) = 90 - 50
    // The white pixel at row 50 would land above the picture: not copied.
    EXPECT_EQ(InPlace(in, [](TpelPaintFX& fx, const TFxBitmap& b, const TFxBitmap&) { fx.HeightMap(b, 100); }), out);
}

TEST(PaintFXBlend, MixesByTheAmount)
{
    const Rows first = {{10, 13, 200}}, second = {{15, 14, 0}};
    const auto blend = [&](double k) {
        TFxImage a = FromRows(first), b = FromRows(second), out(3, 1);
        TpelPaintFX().Blend(a.View(), b.View(), out.View(), k);
        return ToRows(out);
    };
    EXPECT_EQ(blend(0), first);
    EXPECT_EQ(blend(1), second);
    // Halves to the even neighbour: 12.5 -> 12, 13.5 -> 14.
    EXPECT_EQ(blend(0.5), (Rows{{12, 14, 100}}));
    // Other sizes: nothing happens.
    TFxImage a = FromRows(first), small(2, 1, 9), out(3, 1, 5);
    TpelPaintFX().Blend(a.View(), small.View(), out.View(), 0.5);
    EXPECT_EQ(out, TFxImage(3, 1, 5));
}

// The in-place and wave routines at the ends of their bars and beyond, over one pixel, one
// row, one column and odd sizes.
TEST(PaintFXSweep, FurtherRoutinesOverOddSizes)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 5}, {5, 3}, {13, 7}, {4, 31}};
    using Wave = void (TpelPaintFX::*)(const TFxBitmap&, const TFxBitmap&, double, int);
    const Wave waves[] = {&TpelPaintFX::ShiftWave1, &TpelPaintFX::ShiftWave2, &TpelPaintFX::ShiftWave3,
                          &TpelPaintFX::ShiftWave4, &TpelPaintFX::ShiftWave5, &TpelPaintFX::ShiftWave6,
                          &TpelPaintFX::ShiftWave7, &TpelPaintFX::ShiftWave8};
    TFxRandom random(5);
    TpelPaintFX fx(&random);
    for (auto [w, h] : sizes) {
        for (int amount : {-5, 0, 1, 2, 3, 5, 19, 100, 127, 300, 100000}) {
            const auto run = [&](const std::function<void(const TFxBitmap&)>& f) {
                TFxImage img = Pattern(w, h);
                f(img.View());
            };
            for (int mode = 0; mode <= 3; ++mode)
                run([&](const TFxBitmap& b) { fx.SineWave(b, amount, 10, mode); });
            run([&](const TFxBitmap& b) { fx.ZigZagSmear(b, amount); });
            run([&](const TFxBitmap& b) { fx.SawtoothShift(b, amount); });
            run([&](const TFxBitmap& b) { fx.RandomDrip(b, amount); });
            run([&](const TFxBitmap& b) { fx.HeightMap(b, amount); });
            run([&](const TFxBitmap& b) {
                fx.Fractal(b, amount, amount * 0.028 - 2.25, -1.5, 0.75, 1.5, amount % 2 == 0);
            });
            run([&](const TFxBitmap& b) { fx.Blend(b, b, b, amount / 100.0); });
            for (Wave wave : waves)
                for (double amplitude : {0.0, 0.5, 1.0, 300.0}) {
                    TFxImage src = Pattern(w, h), dest(w, h);
                    (fx.*wave)(src.View(), dest.View(), amplitude, amount);
                }
        }
    }
}
