// Drawing effects of the kernel: the framed shape with shadow and background picture, bevel
// frames and gradients, on bitmap surfaces and on 32-bit buffers.
#include "ImageFixtures.h"

#include "platform/imagelib/imagelib.h"

#include <gtest/gtest.h>

#include <vector>

using namespace fixtures;

namespace {

constexpr Rgb kSilver{192, 192, 192}, kShadow{234, 234, 234}, kWhite{255, 255, 255};

// The frame of the program's thumbnails: a 1-pixel silver border, a raised white band of 5,
// a light shadow of 2 down and right, the picture inside.
LEfx3dShape ThumbnailFrame(std::int32_t w, std::int32_t h, const LBitmap* picture)
{
    LEfx3dShape s;
    s.Rect = LRect{0, 0, w, h};
    s.PatternStyle = LEFX_PATTERN_TRANSPARENT;
    s.Background = picture;
    s.BackgroundStyle = LEFX_BACK_TRANSPARENT;
    s.BorderColor = LRgb(192, 192, 192);
    s.BorderStyle = 0;
    s.BorderThickness = 1;
    s.InnerStyle = LEFX_BAND_RAISED;
    s.InnerThickness = 5;
    s.InnerHiliteColor = LRgb(255, 255, 255);
    s.InnerShadowColor = LRgb(255, 255, 255);
    s.OuterThickness = 5;
    s.OuterShadowColor = LRgb(0, 0, 255);
    s.ShadowColor = LRgb(234, 234, 234);
    s.ShadowXDepth = 2;
    s.ShadowYDepth = 2;
    return s;
}

} // namespace

TEST(Shape, TheThumbnailFrameOverItsOwnPicture)
{
    // A red picture with a green centre; it is drawn shrunk into the frame's inside.
    LBitmap b = MakeRgb(93, 70, [](std::int32_t x, std::int32_t y) {
        return (x > 30 && x < 62 && y > 20 && y < 50) ? Rgb{0, 200, 0} : Rgb{200, 0, 0};
    });
    const LBitmap picture = b;  // shares the pixels until the drawing writes
    LEfxSurface surface;
    ASSERT_EQ(L_EfxSurfaceOfBitmap(&b, &surface), LE_SUCCESS);
    const LEfx3dShape frame = ThumbnailFrame(93, 70, &picture);
    ASSERT_EQ(L_EfxDraw3dShape(&surface, &frame), LE_SUCCESS);
    EXPECT_EQ(b.Width, 93);
    EXPECT_EQ(b.Height, 70);
    EXPECT_EQ(PixelAt(b, 0, 0), kSilver);
    EXPECT_EQ(PixelAt(b, 90, 67), kSilver);        // the body's bottom-right corner
    EXPECT_EQ(PixelAt(b, 92, 69), kShadow);        // the shadow
    EXPECT_EQ(PixelAt(b, 91, 35), kShadow);
    EXPECT_EQ(PixelAt(b, 3, 3), kWhite);           // the band
    EXPECT_EQ(PixelAt(b, 46, 35), (Rgb{0, 200, 0})); // the picture in the middle
    EXPECT_EQ(PixelAt(b, 8, 8), (Rgb{200, 0, 0}));
    // The corners the shadow leaves bare keep what was there.
    EXPECT_EQ(PixelAt(b, 92, 0), (Rgb{200, 0, 0}));
    EXPECT_EQ(PixelAt(b, 0, 69), (Rgb{200, 0, 0}));
    EXPECT_EQ(PixelAt(picture, 0, 0), (Rgb{200, 0, 0})) << "the background copy is untouched";
}

TEST(Shape, BandsBordersAndBackgroundStyles)
{
    struct Case {
        const char* name;
        std::function<void(LEfx3dShape&)> change;
        std::int32_t x, y;
        Rgb expected;
    };
    const LBitmap tile = MakeRgb(2, 2, [](std::int32_t x, std::int32_t y) { return (x + y) % 2 ? Rgb{0, 0, 0} : Rgb{9, 9, 9}; });
    const std::vector<Case> cases = {
        {"outer inset band: shadow on top", [](LEfx3dShape& s) { s.OuterStyle = LEFX_BAND_INSET; }, 5, 0, Rgb{0, 0, 255}},
        {"outer raised band: shadow at the bottom", [](LEfx3dShape& s) { s.OuterStyle = LEFX_BAND_RAISED; }, 5, 37,
         Rgb{0, 0, 255}},
        {"no border", [](LEfx3dShape& s) { s.BorderStyle = 5; }, 0, 0, kWhite},
        {"opaque back colour", [](LEfx3dShape& s) {
             s.Background = nullptr;
             s.BackgroundStyle = LEFX_BACK_OPAQUE;
             s.PatternBackColor = LRgb(1, 2, 3);
         }, 20, 20, Rgb{1, 2, 3}},
        {"horizontal pattern", [](LEfx3dShape& s) {
             s.Background = nullptr;
             s.BackgroundStyle = LEFX_BACK_OPAQUE;
             s.PatternStyle = 2;
             s.PatternForeColor = LRgb(7, 7, 7);
         }, 20, 6, Rgb{7, 7, 7}},
        {"tiled", [&](LEfx3dShape& s) {
             s.Background = &tile;
             s.BackgroundStyle = LEFX_BACK_TILED;
         }, 7, 6, Rgb{0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LBitmap b = MakeRgb(40, 40, [](std::int32_t, std::int32_t) { return Rgb{100, 100, 100}; });
        const LBitmap picture = b;
        LEfxSurface surface;
        ASSERT_EQ(L_EfxSurfaceOfBitmap(&b, &surface), LE_SUCCESS);
        LEfx3dShape s = ThumbnailFrame(40, 40, &picture);
        c.change(s);
        ASSERT_EQ(L_EfxDraw3dShape(&surface, &s), LE_SUCCESS);
        EXPECT_EQ(PixelAt(b, c.x, c.y), c.expected);
    }
}

TEST(Shape, RefusesWhatItCannotDraw)
{
    LBitmap b = MakeRgb(10, 10);
    LEfxSurface surface;
    ASSERT_EQ(L_EfxSurfaceOfBitmap(&b, &surface), LE_SUCCESS);
    LEfx3dShape s = ThumbnailFrame(10, 10, nullptr);
    s.Shape = 2001;
    EXPECT_EQ(L_EfxDraw3dShape(&surface, &s), LE_NOT_SUPPORTED);
    s = ThumbnailFrame(10, 10, nullptr);
    s.BorderThickness = -1;
    EXPECT_EQ(L_EfxDraw3dShape(&surface, &s), LE_INVALID_PARAMETER);
    LBitmap empty;
    s = ThumbnailFrame(10, 10, &empty);
    EXPECT_EQ(L_EfxDraw3dShape(&surface, &s), LE_INVALID_PARAMETER);
    // Far outside the surface or with no room for the body: nothing to draw.
    s = ThumbnailFrame(10, 10, nullptr);
    s.Rect = LRect{-500, -500, -400, -400};
    EXPECT_EQ(L_EfxDraw3dShape(&surface, &s), LE_SUCCESS);
    s.Rect = LRect{0, 0, 1, 1};
    EXPECT_EQ(L_EfxDraw3dShape(&surface, &s), LE_SUCCESS);
    LBitmap grey;
    L_CreateBitmap(&grey, 4, 4, 8);
    EXPECT_EQ(L_EfxSurfaceOfBitmap(&grey, &surface), LE_INVALID_BITS);
}

TEST(Frame, BevelsFromTheOutsideIn)
{
    std::vector<std::uint8_t> buffer(20 * 20 * 4, 0);
    LEfxSurface surface{buffer.data(), 20, 20, 80, 4};
    const LRect r{0, 0, 20, 20};
    ASSERT_EQ(L_EfxDrawFrame(&surface, &r, LEFX_FRAME_OUTER_RAISED, 2, LRgb(1, 2, 3), 1, LRgb(50, 50, 50),
                             LRgb(60, 60, 60), 1, LRgb(10, 10, 10), LRgb(20, 20, 20)),
              LE_SUCCESS);
    const auto at = [&](int x, int y) {
        const std::uint8_t* p = buffer.data() + (y * 20 + x) * 4;
        return Rgb{p[2], p[1], p[0]};
    };
    EXPECT_EQ(at(0, 0), (Rgb{20, 20, 20}));    // raised outer: highlight top left
    EXPECT_EQ(at(19, 19), (Rgb{10, 10, 10}));
    EXPECT_EQ(at(1, 1), (Rgb{1, 2, 3}));       // the frame band
    EXPECT_EQ(at(2, 10), (Rgb{1, 2, 3}));
    EXPECT_EQ(at(3, 3), (Rgb{50, 50, 50}));    // inset inner: shadow top left
    EXPECT_EQ(at(16, 16), (Rgb{60, 60, 60}));
    EXPECT_EQ(at(10, 10), (Rgb{0, 0, 0}));
    EXPECT_EQ(buffer[(1 * 20 + 1) * 4 + 3], 0xff);  // opaque in a 32-bit buffer
}

TEST(Gradient, StylesRunFromStartToEnd)
{
    struct Case {
        std::uint32_t style;
        std::int32_t sx, sy;  // where the start colour is
        std::int32_t ex, ey;  // where the end colour is
    };
    const Case cases[] = {{1000, 0, 5, 31, 5}, {1004, 5, 0, 5, 31}, {1008, 31, 5, 0, 5},
                          {2000, 16, 16, 0, 0}, {2001, 0, 0, 16, 16}, {3000, 16, 16, 0, 16},
                          {4000, 16, 16, 0, 0}, {5000, 0, 5, 16, 5}, {5004, 0, 0, 31, 31},
                          {5006, 31, 31, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        LBitmap b = MakeRgb(32, 32);
        LEfxSurface surface;
        ASSERT_EQ(L_EfxSurfaceOfBitmap(&b, &surface), LE_SUCCESS);
        const LRect r{0, 0, 32, 32};
        ASSERT_EQ(L_EfxGradientFillRect(&surface, &r, c.style, LRgb(255, 0, 0), LRgb(0, 0, 255), 16), LE_SUCCESS);
        EXPECT_GT(PixelAt(b, c.sx, c.sy).r, 200);
        EXPECT_GT(PixelAt(b, c.ex, c.ey).b, 200);
    }
    LBitmap b = MakeRgb(4, 4);
    LEfxSurface surface;
    ASSERT_EQ(L_EfxSurfaceOfBitmap(&b, &surface), LE_SUCCESS);
    const LRect r{0, 0, 4, 4};
    EXPECT_EQ(L_EfxGradientFillRect(&surface, &r, 1016, 0, 0, 16), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_EfxGradientFillRect(&surface, &r, 1000, 0, 0, 1), LE_INVALID_PARAMETER);
    EXPECT_TRUE(L_EfxIsGradientStyle(5007));
    EXPECT_FALSE(L_EfxIsGradientStyle(3002));
}
