// The rotation, row squeeze and row split routines (also the distortion brushes' modes), the
// waves, fractals, smears, drips, height map and blend, worked by hand on small pictures.
#include "editing/paintfx/PaintFX.h"

#include <gtest/gtest.h>

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
    const Transfer quarter = [](TpelPaintFX& fx, const TFxBitmap& s, const TFxBitmap& d) { fx.SmoothRotate(s, d, 1, 1, 90); };
    EXPECT_EQ(Transferred({{10, 20}, {30, 40}}, {{0, 0}, {0, 0}}, quarter), (Rows{{30, 10}, {40, 20}}));
    // Half a turn about the middle of an even-sized picture reverses it.
    const Transfer half = [](TpelPaintFX& fx, const TFxBitmap& s, const TFxBitmap& d) { fx.SmoothRotate(s, d, 2, 1, 180); };
    EXPECT_EQ(Transferred({{1, 2, 3, 4}, {5, 6, 7, 8}}, {{0, 0, 0, 0}, {0, 0, 0, 0}}, half),
              (Rows{{8, 7, 6, 5}, {4, 3, 2, 1}}));
    // Turned by 45 degrees the corners have no source: they keep what the destination held.
    const Transfer diagonal = [](TpelPaintFX& fx, const TFxBitmap& s, const TFxBitmap& d) { fx.SmoothRotate(s, d, 2, 2, 45); };
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
        {row, 0, 7, row},                       // no narrowing
        {row, 1, 7, {{10, 20, 40, 40}}},        // into columns 1 .. 2: each takes the pixel under its centre
        {row, 3, 7, {{10, 40, 20, 40}}},        // crossed ends: mirrored into columns 1 .. 2
        {row, 2, 7, row},                       // a span of no width leaves the row
        {row, 9, 7, {{30, 30, 20, 20}}},        // crossed ends beyond the picture: mirrored and widened
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
    EXPECT_EQ(InPlace(in, split(3, 14)), (Rows{{1, 2, 3, 4, 5, 6}, {11, 12, 14, 15, 16, 16}, {21, 22, 23, 24, 25, 26}}));
    // o = 1: each half shrinks into one pixel, the one under its centre.
    EXPECT_EQ(InPlace(in, split(1, 14)), (Rows{{1, 2, 3, 4, 5, 6}, {12, 12, 13, 14, 15, 16}, {21, 22, 23, 24, 25, 26}}));
    // Mode 15 follows the cosine: the top and bottom rows.
    EXPECT_EQ(InPlace(in, split(1, 15)), (Rows{{2, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16}, {22, 22, 23, 24, 25, 26}}));
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
