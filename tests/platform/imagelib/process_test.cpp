// Processing calls of the kernel: geometry, resizing, colour, filters, red eyes, fill, combine,
// aborts, the screen service, the next-load decode hint, and a crash sweep over depths and sizes.
#include "ImageFixtures.h"

#include "platform/imagelib/imagelib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace fixtures;

namespace {

constexpr Rgb kRedPx{255, 0, 0}, kGreenPx{0, 255, 0}, kBluePx{0, 0, 255}, kWhitePx{255, 255, 255};

Rgb Uniform(std::uint8_t v) { return Rgb{v, v, v}; }

// A 4 x 3 picture with four distinct corners over the pattern.
LBitmap Corners()
{
    return MakeRgb(4, 3, [](std::int32_t x, std::int32_t y) {
        if (x == 0 && y == 0)
            return kRedPx;
        if (x == 3 && y == 0)
            return kGreenPx;
        if (x == 0 && y == 2)
            return kBluePx;
        if (x == 3 && y == 2)
            return kWhitePx;
        return Pattern(x, y);
    });
}

LBitmap Grey8(std::int32_t w, std::int32_t h, const std::function<std::uint8_t(std::int32_t, std::int32_t)>& f)
{
    LBitmap b;
    L_CreateBitmap(&b, w, h, 8);  // grey ramp palette
    std::uint8_t* p = b.BeginWrite();
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            b.WriteRow(p, y)[x] = f(x, y);
    return b;
}

} // namespace

// ---- geometry ------------------------------------------------------------------------------------

TEST(Geometry, QuarterTurnsAndMirrorsArePermutations)
{
    struct Case {
        const char* name;
        std::function<int(LBitmap*)> op;
        std::int32_t w, h;
        // Where the picture's pixel (x, y) of the 4 x 3 source lands.
        std::function<std::pair<int, int>(int, int)> to;
    };
    const std::vector<Case> cases = {
        {"rotate 9000", [](LBitmap* b) { return L_RotateBitmap(b, 9000, LROTATE_RESIZE, 0); }, 3, 4,
         [](int x, int y) { return std::pair{2 - y, x}; }},
        {"rotate 18000", [](LBitmap* b) { return L_RotateBitmap(b, 18000, LROTATE_RESIZE, 0); }, 4, 3,
         [](int x, int y) { return std::pair{3 - x, 2 - y}; }},
        {"rotate 27000", [](LBitmap* b) { return L_RotateBitmap(b, 27000, LROTATE_RESIZE, 0); }, 3, 4,
         [](int x, int y) { return std::pair{y, 3 - x}; }},
        {"rotate -9000", [](LBitmap* b) { return L_RotateBitmap(b, -9000, LROTATE_RESIZE, 0); }, 3, 4,
         [](int x, int y) { return std::pair{y, 3 - x}; }},
        {"rotate 36000", [](LBitmap* b) { return L_RotateBitmap(b, 36000, LROTATE_RESIZE, 0); }, 4, 3,
         [](int x, int y) { return std::pair{x, y}; }},
        {"view perspective 9000", [](LBitmap* b) { return L_RotateBitmapViewPerspective(b, 9000); }, 3, 4,
         [](int x, int y) { return std::pair{2 - y, x}; }},
        {"view perspective 27000", [](LBitmap* b) { return L_RotateBitmapViewPerspective(b, 27000); }, 3, 4,
         [](int x, int y) { return std::pair{y, 3 - x}; }},
        {"flip", L_FlipBitmap, 4, 3, [](int x, int y) { return std::pair{x, 2 - y}; }},
        {"reverse", L_ReverseBitmap, 4, 3, [](int x, int y) { return std::pair{3 - x, y}; }},
    };
    const LBitmap source = Corners();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LBitmap b = source;
        ASSERT_EQ(c.op(&b), LE_SUCCESS);
        ASSERT_EQ(b.Width, c.w);
        ASSERT_EQ(b.Height, c.h);
        EXPECT_EQ(b.BitsPerPixel, 24);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const auto [tx, ty] = c.to(x, y);
                EXPECT_EQ(PixelAt(b, tx, ty), PixelAt(source, x, y)) << x << "," << y;
            }
    }
    // The corner rule in words: a clockwise quarter turn moves the top-left corner to the top right.
    LBitmap turned = source;
    ASSERT_EQ(L_RotateBitmap(&turned, 9000, LROTATE_RESIZE, 0), LE_SUCCESS);
    EXPECT_EQ(PixelAt(turned, 2, 0), kRedPx);
    EXPECT_EQ(PixelAt(turned, 0, 0), kBluePx);
}

TEST(Geometry, PermutationsKeepPaletteDepthsAndCarryTheRegion)
{
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        const LBitmap source = MakeIndexed(5, 3, bits);
        LBitmap b = source;
        const LRect corner{0, 0, 1, 1};
        ASSERT_EQ(L_SetBitmapRgnRect(&b, nullptr, &corner, LRGN_SET), LE_SUCCESS);
        ASSERT_EQ(L_ReverseBitmap(&b), LE_SUCCESS);
        EXPECT_EQ(b.BitsPerPixel, bits);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(PixelAt(b, 4 - x, y), PixelAt(source, x, y));
        EXPECT_TRUE(L_IsPtInBitmapRgn(&b, 0, 4));
        EXPECT_FALSE(L_IsPtInBitmapRgn(&b, 0, 0));
        ASSERT_EQ(L_RotateBitmap(&b, 9000, LROTATE_RESIZE, 0), LE_SUCCESS);
        EXPECT_TRUE(L_IsPtInBitmapRgn(&b, 4, 2));  // the top-right pixel turned to the bottom right
    }
}

TEST(Geometry, FreeAnglesGrowAndFillTheCorners)
{
    const LBitmap source = MakeRgb(20, 20, [](std::int32_t, std::int32_t) { return Uniform(100); });
    LBitmap grown = source;
    ASSERT_EQ(L_RotateBitmap(&grown, 4500, LROTATE_RESIZE, LRgb(255, 255, 255)), LE_SUCCESS);
    EXPECT_EQ(grown.Width, 29);  // ceil(20 * sqrt 2)
    EXPECT_EQ(grown.Height, 29);
    EXPECT_EQ(PixelAt(grown, 0, 0), kWhitePx);
    EXPECT_EQ(PixelAt(grown, 14, 14), Uniform(100));
    LBitmap kept = source;
    ASSERT_EQ(L_RotateBitmap(&kept, 4500, 0, LRgb(255, 0, 0)), LE_SUCCESS);
    EXPECT_EQ(kept.Width, 20);
    EXPECT_EQ(PixelAt(kept, 0, 0), kRedPx);
    EXPECT_EQ(PixelAt(kept, 10, 10), Uniform(100));
    // A grey picture stays grey and takes the fill colour's grey level.
    LBitmap grey = Grey8(9, 9, [](std::int32_t, std::int32_t) { return 50; });
    ASSERT_EQ(L_RotateBitmap(&grey, 3000, LROTATE_RESIZE, LRgb(255, 255, 255)), LE_SUCCESS);
    EXPECT_EQ(grey.BitsPerPixel, 8);
    EXPECT_EQ(PixelAt(grey, 0, 0), Uniform(255));
    EXPECT_EQ(L_RotateBitmapViewPerspective(&grey, 4500), LE_INVALID_PARAMETER);
}

// ---- resizing --------------------------------------------------------------------------------------

TEST(Resize, SizesFlagsAndUniformPictures)
{
    struct Case {
        std::int32_t w, h, toW, toH;
        std::uint32_t flags;
    };
    const Case cases[] = {{1024, 768, 93, 70, LSIZE_BICUBIC}, {200, 150, 352, 264, LSIZE_RESAMPLE},
                          {200, 150, 93, 70, LSIZE_NORMAL},  {7, 5, 1, 1, LSIZE_BICUBIC},
                          {1, 9, 4, 3, LSIZE_RESAMPLE},      {9, 1, 2, 5, LSIZE_BICUBIC}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " -> " + std::to_string(c.toW) + "x" +
                     std::to_string(c.toH) + " flags " + std::to_string(c.flags));
        LBitmap b = MakeRgb(c.w, c.h, [](std::int32_t, std::int32_t) { return Rgb{200, 30, 90}; });
        ASSERT_EQ(L_SizeBitmap(&b, c.toW, c.toH, c.flags), LE_SUCCESS);
        EXPECT_EQ(b.Width, c.toW);
        EXPECT_EQ(b.Height, c.toH);
        const LBitmap expected = MakeRgb(c.toW, c.toH, [](std::int32_t, std::int32_t) { return Rgb{200, 30, 90}; });
        EXPECT_EQ(MaxDifference(b, expected), 0) << "a uniform picture stays uniform";
    }
}

TEST(Resize, ShrinkingFineDetailDoesNotAlias)
{
    // One-pixel stripes: sampling would give stripes or a flat black or white; filtering gives grey.
    for (std::uint32_t flags : {LSIZE_RESAMPLE, LSIZE_BICUBIC}) {
        LBitmap b = MakeRgb(1024, 768, [](std::int32_t x, std::int32_t y) { return Uniform(((x + y) & 1) ? 255 : 0); });
        ASSERT_EQ(L_SizeBitmap(&b, 93, 70, flags), LE_SUCCESS);
        for (int y = 0; y < 70; y += 7)
            for (int x = 0; x < 93; x += 7)
                EXPECT_NEAR(PixelAt(b, x, y).g, 128, 6) << flags << " at " << x << "," << y;
    }
}

TEST(Resize, NearestDoublesPixelsAndKeepsThePalette)
{
    const LBitmap source = MakeIndexed(4, 2, 4);
    LBitmap b = source;
    ASSERT_EQ(L_SizeBitmap(&b, 8, 4, LSIZE_NORMAL), LE_SUCCESS);
    EXPECT_EQ(b.BitsPerPixel, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(PixelAt(b, x, y), PixelAt(source, x / 2, y / 2));
    LBitmap resampled = source;
    ASSERT_EQ(L_SizeBitmap(&resampled, 8, 4, LSIZE_RESAMPLE), LE_SUCCESS);
    EXPECT_EQ(resampled.BitsPerPixel, 24);
}

TEST(Resize, EnlargingInterpolatesBetweenNeighbours)
{
    LBitmap b = MakeRgb(2, 1, [](std::int32_t x, std::int32_t) { return Uniform(x ? 200 : 0); });
    ASSERT_EQ(L_SizeBitmap(&b, 8, 1, LSIZE_RESAMPLE), LE_SUCCESS);
    int previous = -1;
    for (int x = 0; x < 8; ++x) {
        EXPECT_GE(PixelAt(b, x, 0).g, previous);
        previous = PixelAt(b, x, 0).g;
    }
    EXPECT_EQ(PixelAt(b, 0, 0).g, 0);
    EXPECT_EQ(PixelAt(b, 7, 0).g, 200);
}

TEST(Resize, InvalidSizesLeaveThePicture)
{
    const LBitmap source = Corners();
    for (auto [w, h] : {std::pair{0, 3}, std::pair{4, 0}, std::pair{-5, 3}}) {
        LBitmap b = source;
        EXPECT_EQ(L_SizeBitmap(&b, w, h, LSIZE_BICUBIC), LE_INVALID_SIZE);
        EXPECT_TRUE(b.SharesPixelsWith(source));
        EXPECT_EQ(b.Width, 4);
    }
    LBitmap empty;
    EXPECT_EQ(L_SizeBitmap(&empty, 4, 4, 0), LE_NO_BITMAP);
}

TEST(Resize, TheRegionScalesWithThePicture)
{
    LBitmap b = MakeRgb(10, 10);
    const LRect r{2, 2, 4, 4};
    ASSERT_EQ(L_SetBitmapRgnRect(&b, nullptr, &r, LRGN_SET), LE_SUCCESS);
    ASSERT_EQ(L_SizeBitmap(&b, 20, 20, LSIZE_BICUBIC), LE_SUCCESS);
    LRect bounds;
    ASSERT_EQ(L_GetBitmapRgnBounds(&b, nullptr, &bounds), LE_SUCCESS);
    EXPECT_EQ(bounds, (LRect{4, 4, 8, 8}));
}

// ---- colour ------------------------------------------------------------------------------------------

TEST(Colour, GreyScaleOfPureRed)
{
    LBitmap b = MakeRgb(3, 2, [](std::int32_t, std::int32_t) { return kRedPx; });
    ASSERT_EQ(L_GrayScaleBitmap(&b, 8), LE_SUCCESS);
    EXPECT_EQ(b.BitsPerPixel, 8);
    EXPECT_TRUE(b.HasGreyPalette());
    EXPECT_EQ(PixelAt(b, 1, 1), Uniform(76));  // 0.299 x 255
    EXPECT_EQ(L_GrayScaleBitmap(&b, 16), LE_INVALID_BITS);
    LBitmap palette = MakeIndexed(4, 4, 4);
    ASSERT_EQ(L_GrayScaleBitmap(&palette, 8), LE_SUCCESS);
    EXPECT_EQ(palette.BitsPerPixel, 8);
}

TEST(Colour, SepiaOfAGreyPictureTakesItsTint)
{
    LBitmap b = Grey8(4, 4, [](std::int32_t, std::int32_t) { return 128; });
    const double red[3] = {1.0, 0, 0}, green[3] = {0, 0.83, 0}, blue[3] = {0, 0, 0.34};
    ASSERT_EQ(L_BalanceColors(&b, red, green, blue), LE_SUCCESS);
    EXPECT_EQ(b.BitsPerPixel, 24);
    EXPECT_EQ(PixelAt(b, 2, 2), (Rgb{128, 106, 44}));
}

TEST(Colour, AnOffDiagonalWeightMovesAChannel)
{
    LBitmap b = MakeRgb(2, 2, [](std::int32_t, std::int32_t) { return Rgb{10, 200, 30}; });
    const double red[3] = {0, 1.0, 0}, green[3] = {0, 1.0, 0}, blue[3] = {0, 0, 1.0};
    ASSERT_EQ(L_BalanceColors(&b, red, green, blue), LE_SUCCESS);
    EXPECT_EQ(PixelAt(b, 0, 0), (Rgb{200, 200, 30}));
    const double huge[3] = {100, 0, 0}, notANumber[3] = {std::nan(""), 0, 0};
    EXPECT_EQ(L_BalanceColors(&b, huge, green, blue), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_BalanceColors(&b, notANumber, green, blue), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_BalanceColors(&b, nullptr, green, blue), LE_INVALID_PARAMETER);
}

// ---- filters ------------------------------------------------------------------------------------------

namespace {
LBitmap StepEdge() { return MakeRgb(16, 4, [](std::int32_t x, std::int32_t) { return Uniform(x < 8 ? 50 : 200); }); }
} // namespace

TEST(Filters, SharpenOvershootsAStepEdge)
{
    LBitmap b = StepEdge();
    ASSERT_EQ(L_SharpenBitmap(&b, 850), LE_SUCCESS);
    EXPECT_LT(PixelAt(b, 7, 1).g, 50);
    EXPECT_GT(PixelAt(b, 8, 1).g, 200);
    EXPECT_EQ(PixelAt(b, 2, 1).g, 50);
    EXPECT_EQ(PixelAt(b, 13, 1).g, 200);
    LBitmap soft = StepEdge();
    ASSERT_EQ(L_SharpenBitmap(&soft, -1000), LE_SUCCESS);
    EXPECT_GT(PixelAt(soft, 7, 1).g, 50);
    EXPECT_LT(PixelAt(soft, 8, 1).g, 200);
}

TEST(Filters, BlurSpreadsAStepEdgeMonotonically)
{
    for (int radius : {1, 4, 30}) {
        SCOPED_TRACE(radius);
        LBitmap b = StepEdge();
        ASSERT_EQ(L_GaussianFilterBitmap(&b, radius), LE_SUCCESS);
        EXPECT_GT(PixelAt(b, 7, 2).g, 50);
        EXPECT_LT(PixelAt(b, 8, 2).g, 200);
        for (int x = 1; x < 16; ++x)
            EXPECT_GE(PixelAt(b, x, 2).g, PixelAt(b, x - 1, 2).g);
    }
}

TEST(Filters, ZeroAmountsChangeNothingAndRangesAreChecked)
{
    const LBitmap source = StepEdge();
    LBitmap b = source;
    EXPECT_EQ(L_SharpenBitmap(&b, 0), LE_SUCCESS);
    EXPECT_EQ(L_GaussianFilterBitmap(&b, 0), LE_SUCCESS);
    EXPECT_EQ(b.Generation(), source.Generation());
    EXPECT_EQ(L_SharpenBitmap(&b, 1001), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_SharpenBitmap(&b, -1001), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_GaussianFilterBitmap(&b, -1), LE_INVALID_PARAMETER);
    EXPECT_TRUE(b.SharesPixelsWith(source));
}

TEST(Filters, UniformPicturesStayUniform)
{
    for (int radius : {2, 3, 200}) {
        LBitmap b = MakeRgb(37, 23, [](std::int32_t, std::int32_t) { return Rgb{77, 140, 201}; });
        const LBitmap copy = MakeRgb(37, 23, [](std::int32_t, std::int32_t) { return Rgb{77, 140, 201}; });
        ASSERT_EQ(L_GaussianFilterBitmap(&b, radius), LE_SUCCESS);
        EXPECT_EQ(MaxDifference(b, copy), 0) << radius;
        ASSERT_EQ(L_SharpenBitmap(&b, 1000), LE_SUCCESS);
        EXPECT_EQ(MaxDifference(b, copy), 0);
    }
    LBitmap grey = Grey8(5, 5, [](std::int32_t, std::int32_t) { return 90; });
    ASSERT_EQ(L_GaussianFilterBitmap(&grey, 10), LE_SUCCESS);
    EXPECT_EQ(grey.BitsPerPixel, 8);
    EXPECT_EQ(PixelAt(grey, 4, 4), Uniform(90));
}

// ---- red eyes, fill, combine --------------------------------------------------------------------------

TEST(Redeye, ChangesRedPixelsInsideTheRegionOnly)
{
    // Red everywhere but a skin-coloured column.
    LBitmap b = MakeRgb(20, 20, [](std::int32_t x, std::int32_t) { return x == 10 ? Rgb{220, 170, 140} : Rgb{200, 40, 30}; });
    const LBitmap source = b;
    const LRect eye{5, 5, 15, 15};
    ASSERT_EQ(L_SetBitmapRgnEllipse(&b, nullptr, &eye, LRGN_SET), LE_SUCCESS);
    ASSERT_EQ(L_RemoveRedeyeBitmap(&b, LRgb(0, 0, 0), 140, 60), LE_SUCCESS);
    int changed = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = L_IsPtInBitmapRgn(&b, y, x);
            if (!inside || x == 10)
                EXPECT_EQ(PixelAt(b, x, y), PixelAt(source, x, y)) << x << "," << y;
            else
                changed += PixelAt(b, x, y) == Rgb{0, 0, 0};
        }
    EXPECT_GT(changed, 50);
    // The new colour at the eye's brightness times the lightness.
    LBitmap bright = MakeRgb(2, 2, [](std::int32_t, std::int32_t) { return Rgb{250, 100, 50}; });
    ASSERT_EQ(L_RemoveRedeyeBitmap(&bright, LRgb(255, 255, 255), 140, 100), LE_SUCCESS);
    EXPECT_EQ(PixelAt(bright, 0, 0), Uniform(100));
    EXPECT_EQ(L_RemoveRedeyeBitmap(&bright, 0, 140, -1), LE_INVALID_PARAMETER);
}

TEST(Fill, ARectangleRegionChangesExactlyItsPixels)
{
    for (int bits : {8, 24}) {
        LBitmap b = bits == 24 ? MakeRgb(10, 8) : Grey8(10, 8, [](std::int32_t x, std::int32_t) { return std::uint8_t(x); });
        const LBitmap source = b;
        const LRect r{3, 4, 5, 6};
        ASSERT_EQ(L_SetBitmapRgnRect(&b, nullptr, &r, LRGN_SET), LE_SUCCESS);
        ASSERT_EQ(L_FillBitmap(&b, LRgb(255, 255, 255)), LE_SUCCESS);
        EXPECT_EQ(b.BitsPerPixel, bits);
        int changed = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x)
                if (!(PixelAt(b, x, y) == PixelAt(source, x, y))) {
                    ++changed;
                    EXPECT_EQ(PixelAt(b, x, y), kWhitePx);
                }
        EXPECT_EQ(changed, 4) << bits;
    }
    LBitmap palette = MakeIndexed(3, 3, 1);
    ASSERT_EQ(L_FillBitmap(&palette, LRgb(1, 2, 3)), LE_SUCCESS);
    EXPECT_EQ(palette.BitsPerPixel, 24);
    EXPECT_EQ(PixelAt(palette, 2, 2), (Rgb{1, 2, 3}));
}

TEST(Combine, CopiesTheClippedRectangleInsideTheDestinationRegion)
{
    LBitmap dst = MakeRgb(8, 8, [](std::int32_t, std::int32_t) { return Uniform(0); });
    const LBitmap src = MakeIndexed(4, 4, 8);
    // The rectangle starts left of the destination: its first column falls away.
    ASSERT_EQ(L_CombineBitmap(&dst, -1, 2, 4, 4, &src, 0, 0, LCB_COPY), LE_SUCCESS);
    EXPECT_EQ(PixelAt(dst, 0, 2), PixelAt(src, 1, 0));
    EXPECT_EQ(PixelAt(dst, 2, 5), PixelAt(src, 3, 3));
    EXPECT_EQ(PixelAt(dst, 3, 2), Uniform(0));
    LBitmap limited = MakeRgb(8, 8, [](std::int32_t, std::int32_t) { return Uniform(0); });
    const LRect r{1, 1, 2, 2};
    ASSERT_EQ(L_SetBitmapRgnRect(&limited, nullptr, &r, LRGN_SET), LE_SUCCESS);
    ASSERT_EQ(L_CombineBitmap(&limited, 0, 0, 8, 8, &src, 0, 0, 0), LE_SUCCESS);
    EXPECT_EQ(PixelAt(limited, 1, 1), PixelAt(src, 1, 1));
    EXPECT_EQ(PixelAt(limited, 0, 0), Uniform(0));
    EXPECT_EQ(PixelAt(limited, 2, 2), Uniform(0));
    EXPECT_EQ(L_CombineBitmap(&limited, 0, 0, 8, 8, &src, 0, 0, 1), LE_NOT_SUPPORTED);
    EXPECT_EQ(L_CombineBitmap(&limited, 0, 0, -1, 8, &src, 0, 0, 0), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_CombineBitmap(&limited, 100, 100, 8, 8, &src, 0, 0, 0), LE_SUCCESS);
    // A bitmap combined into itself reads the pixels from before the copy.
    LBitmap self = MakeRgb(4, 1, [](std::int32_t x, std::int32_t) { return Uniform(std::uint8_t(x * 10)); });
    ASSERT_EQ(L_CombineBitmap(&self, 1, 0, 3, 1, &self, 0, 0, 0), LE_SUCCESS);
    EXPECT_EQ(PixelAt(self, 3, 0), Uniform(20));
}

// ---- progress and aborts ------------------------------------------------------------------------------

TEST(Progress, AnAbortLeavesThePictureAsItWas)
{
    struct Counter {
        int calls = 0;
    } counter;
    const auto stopSecond = [](std::int32_t, void* user) {
        auto* c = static_cast<Counter*>(user);
        return ++c->calls >= 2 ? 0 : 1;
    };
    L_SetStatusCallBack(stopSecond, &counter, nullptr, nullptr);
    const std::vector<std::function<int(LBitmap*)>> ops = {
        [](LBitmap* b) { return L_SizeBitmap(b, 50, 40, LSIZE_BICUBIC); },
        [](LBitmap* b) { return L_GaussianFilterBitmap(b, 20); },
        [](LBitmap* b) { return L_SharpenBitmap(b, 500); },
        [](LBitmap* b) { return L_GrayScaleBitmap(b, 8); },
        [](LBitmap* b) { return L_RotateBitmap(b, 1000, 1, 0); },
    };
    const LBitmap source = MakeRgb(120, 90);
    for (std::size_t i = 0; i < ops.size(); ++i) {
        counter.calls = 0;
        LBitmap b = source;
        EXPECT_EQ(ops[i](&b), LE_USER_ABORT) << i;
        EXPECT_TRUE(b.SharesPixelsWith(source)) << i;
    }
    L_SetStatusCallBack(nullptr, nullptr, nullptr, nullptr);
}

// ---- the screen service -------------------------------------------------------------------------------

TEST(ScreenCapture, GoesThroughTheInstalledService)
{
    LBitmap b;
    const LRect r{10, 20, 30, 25};
    L_SetScreenService(nullptr);
    EXPECT_EQ(L_ScreenCaptureBitmap(&b, &r), LE_NOT_SUPPORTED);
    static LRect asked;
    LScreenService fake;
    fake.ScreenSize = [](void*, std::int32_t* w, std::int32_t* h) {
        *w = 640;
        *h = 480;
        return LE_SUCCESS;
    };
    fake.Capture = [](void*, const LRect* rect, LBitmap* out) {
        asked = *rect;
        return L_CreateBitmap(out, rect->Width(), rect->Height(), 24);
    };
    L_SetScreenService(&fake);
    ASSERT_EQ(L_ScreenCaptureBitmap(&b, &r), LE_SUCCESS);
    EXPECT_EQ(asked, r);
    EXPECT_EQ(b.Width, 20);
    EXPECT_EQ(b.Height, 5);
    const LRect empty{5, 5, 5, 9};
    EXPECT_EQ(L_ScreenCaptureBitmap(&b, &empty), LE_INVALID_PARAMETER);
    std::int32_t w = 0, h = 0;
    EXPECT_EQ(L_GetScreenSize(&w, &h), LE_SUCCESS);
    EXPECT_EQ(w, 640);
    L_SetScreenService(nullptr);
}

// ---- the next-load decode hint ------------------------------------------------------------------------

TEST(DecodeHint, TheNextLoadTakesTheOneShotHintWhateverItsFormat)
{
    const Bytes jpeg = Saved(MakeRgb(256, 128), LFMT_JFIF);
    const Bytes png = Saved(MakeRgb(8, 8), LFMT_PNG);
    LBitmap b;
    ASSERT_EQ(L_SetNextLoadDecodeHint(0, 32), LE_SUCCESS);
    LFileInfo info;
    ASSERT_EQ(L_FileInfoMemory(jpeg.data(), jpeg.size(), &info, 0, nullptr), LE_SUCCESS);  // no load: stays armed
    ASSERT_EQ(L_LoadBitmapMemory(jpeg.data(), jpeg.size(), &b, 0, LORDER_BGR, nullptr, &info), LE_SUCCESS);
    EXPECT_EQ(b.Height, 32);
    EXPECT_EQ(info.Height, 128);
    ASSERT_EQ(L_LoadBitmapMemory(jpeg.data(), jpeg.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_SUCCESS);
    EXPECT_EQ(b.Height, 128);
    // A load of another format takes the hint too, so it never reaches a later load.
    ASSERT_EQ(L_SetNextLoadDecodeHint(0, 16), LE_SUCCESS);
    ASSERT_EQ(L_LoadBitmapMemory(png.data(), png.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_SUCCESS);
    ASSERT_EQ(L_LoadBitmapMemory(jpeg.data(), jpeg.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_SUCCESS);
    EXPECT_EQ(b.Height, 128);
    EXPECT_EQ(L_SetNextLoadDecodeHint(-1, 0), LE_INVALID_PARAMETER);
}

// ---- crash sweep ----------------------------------------------------------------------------------------

TEST(Sweep, EveryOperationOnEveryDepthAndShape)
{
    struct Depth {
        const char* name;
        std::function<LBitmap(std::int32_t, std::int32_t)> make;
    };
    const std::vector<Depth> depths = {
        {"1 bit", [](std::int32_t w, std::int32_t h) { return MakeIndexed(w, h, 1); }},
        {"4 bits", [](std::int32_t w, std::int32_t h) { return MakeIndexed(w, h, 4); }},
        {"8 bits palette", [](std::int32_t w, std::int32_t h) { return MakeIndexed(w, h, 8); }},
        {"8 bits grey", [](std::int32_t w, std::int32_t h) {
             return Grey8(w, h, [](std::int32_t x, std::int32_t y) { return std::uint8_t(x * 7 + y * 3); });
         }},
        {"24 bits", [](std::int32_t w, std::int32_t h) { return MakeRgb(w, h); }},
    };
    const double r[3] = {0.5, 0.3, 0.2}, g[3] = {0.1, 0.8, 0.1}, bl[3] = {0.2, 0.2, 0.6};
    struct Op {
        const char* name;
        std::function<int(LBitmap*)> run;
    };
    const LBitmap other = MakeIndexed(3, 5, 4);
    const std::vector<Op> ops = {
        {"size nearest", [](LBitmap* b) { return L_SizeBitmap(b, 3, 7, 0); }},
        {"size resample", [](LBitmap* b) { return L_SizeBitmap(b, 11, 2, LSIZE_RESAMPLE); }},
        {"size bicubic", [](LBitmap* b) { return L_SizeBitmap(b, 1, 1, LSIZE_BICUBIC); }},
        {"rotate 9000", [](LBitmap* b) { return L_RotateBitmap(b, 9000, 1, 0); }},
        {"rotate 9000 kept", [](LBitmap* b) { return L_RotateBitmap(b, 9000, 0, 0); }},
        {"rotate 1234", [](LBitmap* b) { return L_RotateBitmap(b, 1234, 1, LRgb(9, 9, 9)); }},
        {"rotate -500 kept", [](LBitmap* b) { return L_RotateBitmap(b, -500, 0, 0); }},
        {"view perspective", [](LBitmap* b) { return L_RotateBitmapViewPerspective(b, 27000); }},
        {"flip", L_FlipBitmap},
        {"reverse", L_ReverseBitmap},
        {"grey", [](LBitmap* b) { return L_GrayScaleBitmap(b, 8); }},
        {"balance", [&](LBitmap* b) { return L_BalanceColors(b, r, g, bl); }},
        {"sharpen", [](LBitmap* b) { return L_SharpenBitmap(b, 1000); }},
        {"soften", [](LBitmap* b) { return L_SharpenBitmap(b, -400); }},
        {"blur 1", [](LBitmap* b) { return L_GaussianFilterBitmap(b, 1); }},
        {"blur 200", [](LBitmap* b) { return L_GaussianFilterBitmap(b, 200); }},
        {"red eye", [](LBitmap* b) { return L_RemoveRedeyeBitmap(b, LRgb(10, 20, 30), 60, 200); }},
        {"fill", [](LBitmap* b) { return L_FillBitmap(b, LRgb(1, 2, 3)); }},
        {"combine", [&](LBitmap* b) { return L_CombineBitmap(b, 1, -1, 5, 5, &other, 0, 1, 0); }},
        {"expand", L_ExpandBitmapTo24},
    };
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{1, 1}, {1, 7}, {7, 1}, {5, 3}, {13, 9}};
    for (const Depth& d : depths)
        for (auto [w, h] : sizes)
            for (bool withRegion : {false, true})
                for (const Op& op : ops) {
                    SCOPED_TRACE(std::string(d.name) + " " + std::to_string(w) + "x" + std::to_string(h) + " " + op.name +
                                 (withRegion ? " with a region" : ""));
                    LBitmap b = d.make(w, h);
                    if (withRegion) {
                        const LRect rr{0, 0, (w + 1) / 2, (h + 1) / 2};
                        ASSERT_EQ(L_SetBitmapRgnEllipse(&b, nullptr, &rr, LRGN_SET), LE_SUCCESS);
                    }
                    ASSERT_EQ(op.run(&b), LE_SUCCESS);
                    ASSERT_TRUE(b.IsAllocated());
                    ASSERT_GT(b.Width, 0);
                    ASSERT_GT(b.Height, 0);
                    // Every row can be read back.
                    std::vector<std::uint8_t> row(std::size_t(b.BytesPerLine) + 4);
                    for (int y = 0; y < b.ViewHeight(); ++y)
                        ASSERT_GT(L_GetBitmapRow(&b, row.data(), y, std::uint32_t(row.size())), 0);
                    if (const LRegion* region = b.Region()) {
                        EXPECT_FALSE(region->Bounds.IsEmpty());
                        EXPECT_LE(region->Bounds.Right, b.Width);
                        EXPECT_LE(region->Bounds.Bottom, b.Height);
                    }
                }
}
