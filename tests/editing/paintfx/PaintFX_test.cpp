#include "editing/paintfx/PaintFX.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

// A grey picture from rows of values (every channel the same).
TFxImage Grey(const std::vector<std::vector<int>>& rows)
{
    TFxImage img(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                img.Pixel(x, y)[c] = std::uint8_t(rows[y][x]);
    return img;
}

std::vector<std::vector<int>> GreyValues(const TFxImage& img)
{
    std::vector<std::vector<int>> rows(img.Height(), std::vector<int>(img.Width()));
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const std::uint8_t* p = img.Pixel(x, y);
            EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << "pixel " << x << "," << y << " is not grey";
            rows[y][x] = p[0];
        }
    return rows;
}

// One pixel (blue, green, red) through a routine.
struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Bgr& p) { return os << "(" << p.b << "," << p.g << "," << p.r << ")"; }

Bgr Through(const std::function<void(TpelPaintFX&, const TFxBitmap&)>& f, Bgr in)
{
    TFxImage img(1, 1);
    img.Pixel(0, 0)[0] = std::uint8_t(in.b);
    img.Pixel(0, 0)[1] = std::uint8_t(in.g);
    img.Pixel(0, 0)[2] = std::uint8_t(in.r);
    TpelPaintFX fx;
    f(fx, img.View());
    return {img.Pixel(0, 0)[0], img.Pixel(0, 0)[1], img.Pixel(0, 0)[2]};
}

// A picture with every byte different, for "leaves the picture unchanged" checks.
TFxImage Ramp(int w, int h)
{
    TFxImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                img.Pixel(x, y)[c] = std::uint8_t((x * 37 + y * 91 + c * 53) % 256);
    return img;
}

using Fx = std::function<void(TpelPaintFX&, const TFxBitmap&)>;

} // namespace

TEST(PaintFXColour, ChannelTables)
{
    struct Case {
        const char* what;
        Fx f;
        Bgr in, out;
    };
    const Case cases[] = {
        {"Contrast(-255) pulls to 127", [](auto& fx, auto& b) { fx.Contrast(b, -255); }, {0, 200, 255}, {127, 127, 127}},
        {"Contrast(255)", [](auto& fx, auto& b) { fx.Contrast(b, 255); }, {100, 127, 200}, {73, 127, 255}},
        {"Contrast(100)", [](auto& fx, auto& b) { fx.Contrast(b, 100); }, {27, 128, 227}, {0, 128, 255}},
        {"Lightness(255) gives white", [](auto& fx, auto& b) { fx.Lightness(b, 255); }, {0, 77, 254}, {255, 255, 255}},
        {"Lightness(-255) is 2c - 255", [](auto& fx, auto& b) { fx.Lightness(b, -255); }, {127, 128, 255}, {0, 1, 255}},
        {"Lightness(100)", [](auto& fx, auto& b) { fx.Lightness(b, 100); }, {0, 100, 255}, {100, 160, 255}},
        {"Saturation(0) gives grey", [](auto& fx, auto& b) { fx.Saturation(b, 0); }, {0, 100, 200}, {100, 100, 100}},
        {"Saturation(500)", [](auto& fx, auto& b) { fx.Saturation(b, 500); }, {0, 100, 200}, {0, 100, 255}},
        {"Saturation(250) on (200,100,0)", [](auto& fx, auto& b) { fx.Saturation(b, 250); }, {0, 100, 200}, {2, 100, 198}},
        {"Posterize(100) 250", [](auto& fx, auto& b) { fx.Posterize(b, 100); }, {250, 255, 150}, {200, 255, 200}},
        {"Posterize(100) halves to even", [](auto& fx, auto& b) { fx.Posterize(b, 100); }, {50, 149, 0}, {0, 100, 0}},
        {"Solarize(0) inverts a mean above 0", [](auto& fx, auto& b) { fx.Solarize(b, 0); }, {0, 1, 2}, {255, 254, 253}},
        {"Solarize(0) keeps a mean of 0", [](auto& fx, auto& b) { fx.Solarize(b, 0); }, {0, 1, 1}, {0, 1, 1}},
        {"Solarize(100) at the threshold", [](auto& fx, auto& b) { fx.Solarize(b, 100); }, {100, 100, 102}, {100, 100, 102}},
        {"FilterRed inside", [](auto& fx, auto& b) { fx.FilterRed(b, 1, 128); }, {9, 9, 2}, {0, 0, 255}},
        {"FilterRed at Low", [](auto& fx, auto& b) { fx.FilterRed(b, 1, 128); }, {9, 9, 1}, {0, 0, 0}},
        {"FilterRed at High", [](auto& fx, auto& b) { fx.FilterRed(b, 1, 128); }, {9, 9, 128}, {0, 0, 0}},
        {"FilterGreen", [](auto& fx, auto& b) { fx.FilterGreen(b, 1, 128); }, {9, 127, 9}, {0, 255, 0}},
        {"FilterBlue", [](auto& fx, auto& b) { fx.FilterBlue(b, 1, 128); }, {200, 9, 9}, {0, 0, 0}},
        {"FilterXRed keeps the others", [](auto& fx, auto& b) { fx.FilterXRed(b, 1, 128); }, {9, 8, 50}, {9, 8, 255}},
        {"FilterXGreen", [](auto& fx, auto& b) { fx.FilterXGreen(b, 1, 128); }, {9, 200, 7}, {9, 0, 7}},
        {"FilterXBlue", [](auto& fx, auto& b) { fx.FilterXBlue(b, 1, 128); }, {60, 8, 7}, {255, 8, 7}},
        {"MaskColor hits the colour", [](auto& fx, auto& b) { fx.MaskColor(b, 0x00332211); }, {0x33, 0x22, 0x11}, {0, 0, 0}},
        {"MaskColor keeps others", [](auto& fx, auto& b) { fx.MaskColor(b, 0x00332211); }, {0x33, 0x22, 0x12}, {0x33, 0x22, 0x12}},
        {"MaskOtherColors keeps the colour", [](auto& fx, auto& b) { fx.MaskOtherColors(b, 0x00332211); }, {0x33, 0x22, 0x11}, {0x33, 0x22, 0x11}},
        {"MaskOtherColors blackens others", [](auto& fx, auto& b) { fx.MaskOtherColors(b, 0x00332211); }, {0x34, 0x22, 0x11}, {0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Through(c.f, c.in), c.out) << c.what;
}

TEST(PaintFXColour, NeutralSettingsLeaveThePictureUnchanged)
{
    const std::pair<const char*, Fx> cases[] = {
        {"Contrast(0)", [](auto& fx, auto& b) { fx.Contrast(b, 0); }},
        {"Lightness(0)", [](auto& fx, auto& b) { fx.Lightness(b, 0); }},
        {"Saturation(255)", [](auto& fx, auto& b) { fx.Saturation(b, 255); }},
        {"Posterize(1)", [](auto& fx, auto& b) { fx.Posterize(b, 1); }},
        {"Solarize(255)", [](auto& fx, auto& b) { fx.Solarize(b, 255); }},
        {"Mosaic(1)", [](auto& fx, auto& b) { fx.Mosaic(b, 1); }},
        {"SplitBlur(0)", [](auto& fx, auto& b) { fx.SplitBlur(b, 0); }},
        {"AddColorNoise(0)", [](auto& fx, auto& b) { fx.AddColorNoise(b, 0); }},
    };
    const TFxImage original = Ramp(16, 16);
    for (const auto& [what, f] : cases) {
        TFxImage img = original;
        TpelPaintFX fx;
        f(fx, img.View());
        EXPECT_EQ(img, original) << what;
    }
}

TEST(PaintFXNoise, OffsetsStayInRangeAndRepeatWithTheSeed)
{
    TFxRandom rnd(1234);
    EXPECT_EQ(rnd.Random(0), 0);
    TpelPaintFX fx(&rnd);
    for (int amount : {1, 2, 11, 200}) {
        const int lo = 128 - amount / 2, hi = 128 + amount - 1 - amount / 2;
        TFxImage color(40, 40, 128), mono(40, 40, 128);
        rnd.SetSeed(7);
        fx.AddColorNoise(color.View(), amount);
        fx.AddMonoNoise(mono.View(), amount);
        int seenLo = 255, seenHi = 0;
        for (std::uint8_t v : color.Bytes()) {
            seenLo = std::min<int>(seenLo, v);
            seenHi = std::max<int>(seenHi, v);
        }
        EXPECT_EQ(seenLo, lo) << amount;
        EXPECT_EQ(seenHi, hi) << amount;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const std::uint8_t* p = mono.Pixel(x, y);
                ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << "mono noise differs per channel";
                ASSERT_TRUE(p[0] >= lo && p[0] <= hi);
            }
        TFxImage again(40, 40, 128);
        rnd.SetSeed(7);
        fx.AddColorNoise(again.View(), amount);
        EXPECT_EQ(again, color) << "the same seed gives the same noise";
    }
}

// Pictures of a megapixel or more get their noise in bands of rows on several threads; the
// picture and the generator must end exactly as when the draws are taken pixel by pixel.
TEST(PaintFXNoise, BandsOfRowsDrawAsOneGenerator)
{
    for (auto [w, h] : {std::pair{1201, 901}, {37, 5}}) {
        const TFxImage original = Ramp(w, h);
        for (bool color : {true, false}) {
            TFxRandom random(99), plainRandom(99);
            TFxImage noisy = original, plain = original;
            TpelPaintFX fx(&random);
            color ? fx.AddColorNoise(noisy.View(), 60) : fx.AddMonoNoise(noisy.View(), 60);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    std::uint8_t* p = plain.Pixel(x, y);
                    const int mono = color ? 0 : plainRandom.Random(60) - 30;
                    for (int c = 0; c < 3; ++c)
                        p[c] = TpelPaintFX::ClampByte(p[c] + (color ? plainRandom.Random(60) - 30 : mono));
                }
            EXPECT_EQ(noisy, plain) << (color ? "colour " : "mono ") << w << "x" << h;
            EXPECT_EQ(random.Seed(), plainRandom.Seed()) << "the generator goes on where the pixels left it";
        }
    }
}

TEST(PaintFXMath, ArcTan2Convention)
{
    const double pi = 3.14159265358979323846;
    struct Case {
        double y, x, angle;
    };
    const Case cases[] = {{0, 0, -pi / 2},    {1, 0, pi / 2},       {-1, 0, -pi / 2},
                          {1, 1, pi / 4},     {1, -1, 3 * pi / 4},  {-1, -1, 5 * pi / 4},
                          {0, -1, pi},        {-1, 1, -pi / 4}};
    for (const Case& c : cases)
        EXPECT_NEAR(TpelPaintFX::ArcTan2(c.y, c.x), c.angle, 1e-12) << c.y << "," << c.x;
    EXPECT_EQ(TpelPaintFX::ClampByte(-1), 0);
    EXPECT_EQ(TpelPaintFX::ClampByte(256), 255);
    EXPECT_EQ(TpelPaintFX::ClampRange(5, 10, 20), 10);
    EXPECT_EQ(TpelPaintFX::ClampRange(25, 10, 20), 20);
    EXPECT_EQ(TpelPaintFX::ClampRange(15, 10, 20), 15);
}

TEST(PaintFXBlur, SplitBlurReadsThePictureAsItStands)
{
    // Worked by hand: each pixel averages the four corner samples, taken from the picture
    // with the rows and pixels before it already blurred; near the bottom and right edges
    // the samples mirror to H - y and W - x.
    TFxImage img = Grey({{0, 40, 80}, {120, 160, 200}, {240, 20, 60}});
    TpelPaintFX fx;
    fx.SplitBlur(img.View(), 1);
    EXPECT_EQ(GreyValues(img), (std::vector<std::vector<int>>{{80, 120, 140}, {115, 130, 70}, {122, 92, 130}}));
}

TEST(PaintFXBlur, SamplesStayInsideSmallPictures)
{
    // The mirrored sample of the first row (column) is H (W) itself when the amount reaches
    // the height (width); it is kept to the last row (column).
    TFxImage wide = Grey({{0, 100}});
    TpelPaintFX fx;
    fx.SplitBlur(wide.View(), 1);
    EXPECT_EQ(GreyValues(wide), (std::vector<std::vector<int>>{{50, 75}}));
    TFxImage tall = Grey({{0}, {100}});
    fx.SplitBlur(tall.View(), 1);
    EXPECT_EQ(GreyValues(tall), (std::vector<std::vector<int>>{{50}, {75}}));
    for (auto [w, h] : {std::pair{1, 1}, {1, 3}, {3, 1}, {2, 3}, {3, 3}}) {
        TFxImage img = Ramp(w, h);
        fx.SplitBlur(img.View(), 5);
        fx.GaussianBlur(img.View(), 2);
    }
}

TEST(PaintFXGeometry, MosaicEmbossAndEdgeBlendByHand)
{
    TpelPaintFX fx;
    TFxImage mosaic = Grey({{0, 40, 80}, {120, 160, 200}, {240, 20, 60}});
    fx.Mosaic(mosaic.View(), 2);
    EXPECT_EQ(GreyValues(mosaic), (std::vector<std::vector<int>>{{0, 0, 80}, {0, 0, 80}, {240, 240, 60}}));

    TFxImage relief(4, 2, 0);
    std::uint8_t* p = relief.Pixel(0, 0);
    p[0] = 10, p[1] = 20, p[2] = 30;
    std::uint8_t* q = relief.Pixel(3, 1);
    q[0] = 55, q[1] = 5, q[2] = 255;
    TFxImage expected = relief;
    expected.Pixel(0, 0)[0] = 105, expected.Pixel(0, 0)[1] = 135, expected.Pixel(0, 0)[2] = 15;
    fx.Emboss(relief.View());
    EXPECT_EQ(relief, expected);

    // Amount 3 on 3 x 6: row 0 takes the last row, row 1 lies half way to row 2, and each
    // row's last pixel takes its first.
    TFxImage band = Grey({{0, 1, 2}, {10, 11, 12}, {20, 21, 22}, {30, 31, 32}, {40, 41, 42}, {50, 51, 52}});
    fx.EdgeBlend(band.View(), 3);
    EXPECT_EQ(GreyValues(band), (std::vector<std::vector<int>>{
                                    {50, 51, 50}, {35, 36, 35}, {20, 21, 20}, {30, 31, 30}, {40, 41, 40}, {50, 51, 50}}));
    // Amount 2 on 6 x 1: the last three pixels blend from the first pixel to column W - c.
    TFxImage row = Grey({{0, 10, 20, 30, 40, 50}});
    fx.EdgeBlend(row.View(), 2);
    EXPECT_EQ(GreyValues(row), (std::vector<std::vector<int>>{{0, 10, 20, 20, 10, 0}}));
}

TEST(PaintFXGeometry, TwistAndFishEyeOnTinyAndFlatPictures)
{
    TpelPaintFX fx;
    for (auto [w, h] : {std::pair{1, 1}, {5, 5}, {7, 3}}) {
        TFxImage flat(w, h, 77), copy = flat;
        fx.Twist(copy.View(), flat.View(), 10);
        EXPECT_EQ(flat, copy) << "twist " << w << "x" << h;
        fx.FishEye(copy.View(), flat.View(), 0.5);
        EXPECT_EQ(flat, copy) << "fish eye " << w << "x" << h;
    }
    TFxImage one = Ramp(1, 1), oneCopy = one;
    fx.Twist(oneCopy.View(), one.View(), 1);
    EXPECT_EQ(one, oneCopy);

    // With a very large amount the twist is a quarter turn: (x, y) takes (cx - dy, cy + dx).
    TFxImage turn = Grey({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}), source = turn;
    fx.Twist(source.View(), turn.View(), 1000000000);
    EXPECT_EQ(GreyValues(turn), (std::vector<std::vector<int>>{{3, 6, 9}, {2, 5, 8}, {1, 4, 7}}));
}

TEST(PaintFXGeometry, FishEyeNearItsRimStaysInRange)
{
    // On a 199 x 300 preview at strength 78 the factor 1 / (1 - r / R) - 1 sends source points
    // billions of pixels away; they wrap back into the picture.
    TpelPaintFX fx;
    TFxImage img = Ramp(199, 300), copy = img;
    fx.FishEye(copy.View(), img.View(), 0.78);
    for (double amount : {0.01, 0.5, 1.0, 1.0 / 199, 100.0}) {
        TFxImage again = Ramp(13, 40), source = again;
        fx.FishEye(source.View(), again.View(), amount);
    }
    // R exactly equal to a distance: k and s are kept from the pixel before.
    TFxImage exact = Ramp(4, 4), exactCopy = exact;
    fx.FishEye(exactCopy.View(), exact.View(), 0.5);
    SUCCEED();
}

TEST(PaintFXGeometry, PlasmaWithBlueZeroShiftsDownByTheAmount)
{
    // Blue 0 in the map gives dx = round(sin 0 * A) = 0 and dy = round(cos 0 * A) = A.
    TFxImage dest = Grey({{10}, {20}, {30}, {40}}), source = dest, map(1, 4, 0);
    TpelPaintFX fx;
    fx.Plasma(source.View(), map.View(), 1, 1, dest.View());
    EXPECT_EQ(GreyValues(dest), (std::vector<std::vector<int>>{{20}, {30}, {40}, {40}}));
}

TEST(PaintFXGeometry, TilesRepeatAReducedCopy)
{
    TpelPaintFX fx;
    TFxImage img = Grey({{10, 20, 30, 40}, {50, 60, 70, 80}, {90, 100, 110, 120}, {130, 140, 150, 160}});
    fx.TileSplit(img.View(), 2);
    EXPECT_EQ(GreyValues(img), (std::vector<std::vector<int>>{
                                   {10, 30, 10, 30}, {90, 110, 90, 110}, {10, 30, 10, 30}, {90, 110, 90, 110}}));
    // A picture one pixel wide or high has no tile of a pixel or more: nothing changes
    // (the step would otherwise be 0 and never end).
    for (auto [w, h] : {std::pair{1, 9}, {9, 1}, {1, 1}}) {
        TFxImage thin = Ramp(w, h), before = thin;
        fx.TileSplit(thin.View(), 50);
        fx.TileOverlap(thin.View(), 50);
        EXPECT_EQ(thin, before);
    }
}

// Every routine of the effect tree, at the lowest, start and highest strength of its bar,
// over pictures of one pixel, one row, one column and odd sizes (run under the sanitizers).
TEST(PaintFXSweep, TreeEffectsOverOddSizes)
{
    struct Effect {
        const char* name;
        int min, start, max;
        std::function<void(TpelPaintFX&, const TFxBitmap&, int)> run;
    };
    const auto copyRun = [](auto op) {
        return [op](TpelPaintFX& fx, const TFxBitmap& b, int v) {
            TFxImage copy(b);
            op(fx, copy.View(), b, v);
        };
    };
    const std::vector<Effect> effects = {
        {"GaussianBlur", 0, 0, 20, [](auto& fx, auto& b, int v) { fx.GaussianBlur(b, v); }},
        {"AddColorNoise", 0, 0, 200, [](auto& fx, auto& b, int v) { fx.AddColorNoise(b, v); }},
        {"AddMonoNoise", 0, 0, 200, [](auto& fx, auto& b, int v) { fx.AddMonoNoise(b, v); }},
        {"EdgeBlend", 3, 5, 15, [](auto& fx, auto& b, int v) { fx.EdgeBlend(b, v); }},
        {"Mosaic", 2, 15, 30, [](auto& fx, auto& b, int v) { fx.Mosaic(b, v); }},
        {"Twist", 1, 10, 50, copyRun([](auto& fx, auto s, auto& d, int v) { fx.Twist(s, d, v); })},
        {"FishEye", 1, 1, 100, copyRun([](auto& fx, auto s, auto& d, int v) { fx.FishEye(s, d, v / 100.0); })},
        {"Emboss", 0, 0, 100, [](auto& fx, auto& b, int) { fx.Emboss(b); }},
        {"FilterRed", 0, 128, 255, [](auto& fx, auto& b, int v) { fx.FilterRed(b, 1, v); }},
        {"FilterGreen", 0, 128, 255, [](auto& fx, auto& b, int v) { fx.FilterGreen(b, 1, v); }},
        {"FilterBlue", 0, 128, 255, [](auto& fx, auto& b, int v) { fx.FilterBlue(b, 1, v); }},
        {"FilterXRed", 0, 128, 255, [](auto& fx, auto& b, int v) { fx.FilterXRed(b, 1, v); }},
        {"FilterXGreen", 0, 128, 255, [](auto& fx, auto& b, int v) { fx.FilterXGreen(b, 1, v); }},
        {"FilterXBlue", 0, 128, 255, [](auto& fx, auto& b, int v) { fx.FilterXBlue(b, 1, v); }},
        {"Plasma", 1, 1, 100, copyRun([](auto& fx, auto s, auto& d, int v) {
             TFxImage map(s);
             fx.Plasma(s, map.View(), 10, v, d);
         })},
        {"TileSplit", 3, 3, 100, [](auto& fx, auto& b, int v) { fx.TileSplit(b, v); }},
        {"TileOverlap", 3, 3, 100, [](auto& fx, auto& b, int v) { fx.TileOverlap(b, v); }},
        {"Solarize", 0, 1, 255, [](auto& fx, auto& b, int v) { fx.Solarize(b, v); }},
        {"Posterize", 1, 1, 255, [](auto& fx, auto& b, int v) { fx.Posterize(b, v); }},
    };
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 5}, {5, 3}, {13, 7}, {4, 31}};
    TpelPaintFX fx;
    for (const Effect& e : effects)
        for (auto [w, h] : sizes)
            for (int v : {e.min, e.start, e.max}) {
                TFxImage img = Ramp(w, h);
                e.run(fx, img.View(), v);
                ASSERT_EQ(img.Width(), w) << e.name;
            }
}

TEST(PaintFXGeometry, BandsOfRowsGiveTheWholeResult)
{
    // R = 10 * 0.5 = 5 about the centre (5, 4): pixel (0, 4) lies exactly on the rim and keeps k and s from the row
    // above, also when its band starts there.
    TpelPaintFX fx;
    const TFxImage original = Ramp(10, 8);
    TFxImage whole = original, banded = original, copy = original;
    fx.FishEye(copy.View(), whole.View(), 0.5);
    for (int top = 0; top < 8; top += 4)
        fx.FishEye(copy.View(), banded.View(), 0.5, top, top + 4);
    EXPECT_EQ(banded, whole);
    whole = original, banded = original;
    fx.Twist(copy.View(), whole.View(), 3);
    for (int top : {0, 4})
        fx.Twist(copy.View(), banded.View(), 3, top, top + 4);
    EXPECT_EQ(banded, whole);
}

namespace {

// The twist and the fish eye worked out pixel by pixel in reading order, straight from their
// formulas: the neighbours of the source point, wrapped into the picture, mixed bilinearly and
// rounded half to even.
struct PlainRemap {
    const TFxImage& source;

    static int Wrap(double i, int n)
    {
        if (i < 0)
            return n - 1 - int(std::fmod(-i, double(n)));
        return i > n - 1 ? int(std::fmod(i, double(n))) : int(i);
    }

    void Sample(double sx, double sy, std::uint8_t* out) const
    {
        if (!std::isfinite(sx) || !std::isfinite(sy))
            sx = sy = 0;
        const double x0 = std::floor(sx), y0 = std::floor(sy), fx = sx - x0, fy = sy - y0;
        const int w = source.Width(), h = source.Height();
        const std::uint8_t* p00 = source.Pixel(Wrap(x0, w), Wrap(y0, h));
        const std::uint8_t* p10 = source.Pixel(Wrap(x0 + 1, w), Wrap(y0, h));
        const std::uint8_t* p01 = source.Pixel(Wrap(x0, w), Wrap(y0 + 1, h));
        const std::uint8_t* p11 = source.Pixel(Wrap(x0 + 1, w), Wrap(y0 + 1, h));
        const double w00 = (1 - fx) * (1 - fy), w10 = fx * (1 - fy), w01 = (1 - fx) * fy, w11 = fx * fy;
        for (int c = 0; c < 3; ++c)
            out[c] = TpelPaintFX::ClampByte(
                int(std::nearbyint(p00[c] * w00 + p10[c] * w10 + p01[c] * w01 + p11[c] * w11)));
    }

    TFxImage Twist(int amount) const
    {
        TFxImage out(source.Width(), source.Height());
        const double cx = (source.Width() - 1) / 2.0, cy = (source.Height() - 1) / 2.0;
        for (int y = 0; y < out.Height(); ++y)
            for (int x = 0; x < out.Width(); ++x) {
                const double dx = x - cx, dy = y - cy, r = std::sqrt(dx * dx + dy * dy);
                double sx = cx, sy = cy;
                if (r != 0) {
                    const double turn = 1.5707963267948966 - r / amount;
                    const double c = std::cos(turn), s = std::sin(turn);
                    sx += dx * c - dy * s;
                    sy += dy * c + dx * s;
                }
                Sample(sx, sy, out.Pixel(x, y));
            }
        return out;
    }

    TFxImage FishEye(double amount) const
    {
        TFxImage out(source.Width(), source.Height());
        const double bigR = source.Width() * amount, cx = source.Width() / 2.0, cy = source.Height() / 2.0;
        double k = 0, s = 0;  // kept from pixel to pixel where they are not worked out
        for (int y = 0; y < out.Height(); ++y)
            for (int x = 0; x < out.Width(); ++x) {
                const double dx = x - cx, dy = y - cy, r = std::sqrt(dx * dx + dy * dy);
                double sx = cx, sy = cy;
                if (r != 0) {
                    if (bigR != 0 && r != bigR) {
                        k = 1 / (1 - r / bigR) - 1;
                        if (k != 0)
                            s = bigR / 2 * k;
                    }
                    sx += dx * s / r;
                    sy += dy * s / r;
                }
                Sample(sx, sy, out.Pixel(x, y));
            }
        return out;
    }
};

// A picture with detail in every direction, so a source point off by a pixel shows.
TFxImage Detailed(int w, int h)
{
    TFxImage img(w, h);
    std::uint32_t seed = 12345u + std::uint32_t(w) * 7919u + std::uint32_t(h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                seed = seed * 1664525u + 1013904223u;
                img.Pixel(x, y)[c] = std::uint8_t(seed >> 24);
            }
    return img;
}

} // namespace

// The routines visit the pixels in their own order (ring by ring, mirrored pixels together);
// every pixel must still equal the plain formula, for whole pictures and for bands of rows
// (each band pairs only the mirror rows it holds).
TEST(PaintFXGeometry, TwistAndFishEyeEqualThePlainFormula)
{
    TpelPaintFX fx;
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 3}, {1, 9}, {9, 1}, {7, 5}, {31, 17}, {64, 33}, {101, 77}, {40, 120}};
    for (auto [w, h] : sizes) {
        const TFxImage original = Detailed(w, h);
        const PlainRemap plain{original};
        const auto bands = [&](const std::function<void(const TFxBitmap& src, const TFxBitmap& dst, int top, int bottom)>& run) {
            TFxImage whole = original, banded = original, copy = original;
            run(copy.View(), whole.View(), 0, -1);
            // Uneven bands: the middle one holds some mirror pairs, the others none.
            const int cuts[] = {0, h / 5, h / 5 + (h + 1) / 2, h};
            for (int i = 0; i < 3; ++i)
                run(copy.View(), banded.View(), cuts[i], cuts[i + 1]);
            EXPECT_EQ(banded, whole) << w << "x" << h << " in bands";
            return whole;
        };
        for (int amount : {1, 3, 25, 50})
            EXPECT_EQ(bands([&](auto s, auto d, int t, int b) { fx.Twist(s, d, amount, t, b); }), plain.Twist(amount))
                << "twist " << amount << " on " << w << "x" << h;
        for (double amount : {0.01, 0.3, 0.5, 0.78, 1.0})
            EXPECT_EQ(bands([&](auto s, auto d, int t, int b) { fx.FishEye(s, d, amount, t, b); }),
                      plain.FishEye(amount))
                << "fish eye " << amount << " on " << w << "x" << h;
    }
    // Near the rim of a preview the fish eye's source points lie far outside and wrap.
    const TFxImage preview = Detailed(199, 300);
    TFxImage result = preview, copy = preview;
    fx.FishEye(copy.View(), result.View(), 0.78);
    EXPECT_EQ(result, PlainRemap{preview}.FishEye(0.78));
}

TEST(PaintFXBands, RowBandsCoverEveryRowOnce)
{
    for (auto [w, h] : {std::pair{0, 5}, {1, 1}, {3, 7}, {2000, 600}, {1000, 1001}, {100000, 10}}) {
        std::vector<std::atomic<int>> seen(std::max(0, h));
        RunInRowBands(w, h, [&](int top, int bottom) {
            for (int y = top; y < bottom; ++y)
                ++seen[y];
        });
        for (int y = 0; y < h; ++y)
            ASSERT_EQ(seen[y].load(), w > 0 ? 1 : 0) << w << "x" << h << " row " << y;
    }
}
