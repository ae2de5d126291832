// The display geometry as plain values: size modes, zoom, centring, scroll ranges, client to
// picture coordinates and the view perspectives.
#include "imaging/LEADGeometry.h"
#include "platform/imagelib/imagelib.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>

// How a failing check shows a box.
static void PrintTo(const TLeadBox& b, std::ostream* os)
{
    *os << "(" << b.Left << ", " << b.Top << ", " << b.Width << " x " << b.Height << ")";
}

namespace {

TLeadLayoutInput Input(TLeadSizeMode mode, int pw, int ph, int cw, int ch, bool center = false, int frame = 0)
{
    TLeadLayoutInput in;
    in.SizeMode = mode;
    in.PictureWidth = pw;
    in.PictureHeight = ph;
    in.ClientWidth = cw;
    in.ClientHeight = ch;
    in.CenterImage = center;
    in.FrameWidth = frame;
    return in;
}

TEST(LeadGeometry, SizeModesGiveTheDestinationTheZoomAndTheScrollRanges)
{
    const struct {
        const char* name;
        TLeadSizeMode mode;
        double zoom;  // the factors before the layout (Normal and Zoom keep them)
        int pw, ph, cw, ch;
        bool center;
        int frame;
        double zoomX, zoomY;
        TLeadBox dst;
        int hmax, vmax;
    } cases[] = {
        {"fit, wider than the control", TLeadSizeMode::Fit, 1, 400, 300, 200, 200, false, 0, 0.5, 0.5, {0, 0, 200, 150}, 0, 0},
        {"fit, wider, centred", TLeadSizeMode::Fit, 1, 400, 300, 200, 200, true, 0, 0.5, 0.5, {0, 25, 200, 150}, 0, 0},
        {"fit, taller, centred", TLeadSizeMode::Fit, 1, 300, 600, 200, 200, true, 0, 1 / 3.0, 1 / 3.0, {50, 0, 100, 200}, 0, 0},
        {"fit enlarges a small picture", TLeadSizeMode::Fit, 1, 100, 50, 200, 200, true, 0, 2, 2, {0, 50, 200, 100}, 0, 0},
        {"fit inside a frame", TLeadSizeMode::Fit, 1, 400, 300, 220, 220, true, 10, 0.5, 0.5, {0, 25, 200, 150}, 0, 0},
        {"normal, wider and taller", TLeadSizeMode::Normal, 1, 400, 300, 200, 200, false, 0, 1, 1, {0, 0, 400, 300}, 200, 100},
        {"normal, wider, centred", TLeadSizeMode::Normal, 1, 400, 100, 200, 200, true, 0, 1, 1, {0, 50, 400, 100}, 200, 0},
        {"normal, small, centred", TLeadSizeMode::Normal, 1, 100, 50, 200, 200, true, 0, 1, 1, {50, 75, 100, 50}, 0, 0},
        {"normal, small, not centred", TLeadSizeMode::Normal, 1, 100, 50, 200, 200, false, 0, 1, 1, {0, 0, 100, 50}, 0, 0},
        {"zoom 200 %", TLeadSizeMode::Zoom, 2, 400, 300, 200, 200, false, 0, 2, 2, {0, 0, 800, 600}, 600, 400},
        {"zoom 200 %, taller", TLeadSizeMode::Zoom, 2, 50, 300, 200, 200, true, 0, 2, 2, {50, 0, 100, 600}, 0, 400},
        {"zoom 0 % gives one pixel", TLeadSizeMode::Zoom, 0, 400, 300, 200, 200, false, 0, 0, 0, {0, 0, 1, 1}, 0, 0},
        {"a negative factor shrinks", TLeadSizeMode::Zoom, -1, 400, 300, 200, 200, false, 0, -1, -1, {0, 0, 200, 150}, 0, 0},
        {"stretch", TLeadSizeMode::Stretch, 1, 400, 300, 200, 100, false, 0, 0.5, 1 / 3.0, {0, 0, 200, 100}, 0, 0},
        {"fit sides", TLeadSizeMode::FitSides, 1, 400, 300, 200, 100, false, 0, 0.5, 0.5, {0, 0, 200, 150}, 0, 50},
        {"no picture", TLeadSizeMode::Fit, 1, 0, 0, 200, 200, true, 0, 1, 1, {100, 100, 0, 0}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLeadGeometry g;
        g.ZoomX = g.ZoomY = c.zoom;
        g.ResetSrcRects(c.pw, c.ph);
        g.Recalc(Input(c.mode, c.pw, c.ph, c.cw, c.ch, c.center, c.frame));
        EXPECT_DOUBLE_EQ(g.ZoomX, c.zoomX);
        EXPECT_DOUBLE_EQ(g.ZoomY, c.zoomY);
        EXPECT_EQ(g.Dst, c.dst);
        EXPECT_EQ(g.DstClip, c.dst);
        EXPECT_EQ(g.HScrollMax, c.hmax);
        EXPECT_EQ(g.VScrollMax, c.vmax);
        EXPECT_EQ(g.ViewWidth, c.cw - 2 * c.frame);
        TRect expected = c.dst.ToRect();
        OffsetRect(expected, c.frame, c.frame);
        EXPECT_EQ(g.DstRect, expected) << "DstRect is in client pixels, frame included";
    }
}

TEST(LeadGeometry, ScaledExtentRoundsHalvesToEven)
{
    const struct {
        int size;
        double zoom;
        int extent;
    } cases[] = {
        {5, 0.5, 2}, {7, 0.5, 4}, {401, 0.5, 200}, {10, 0, 1}, {10, -1, 5}, {9, -1, 4}, {9, -3, 2}, {0, 2, 0},
        {1 << 20, 1e6, 1 << 30},  // kept within 2^30
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadScaledExtent(c.size, c.zoom), c.extent) << c.size << " at " << c.zoom;
}

TEST(LeadGeometry, CentringUsesTheInnerAreaAndItsOwnRounding)
{
    // Left: round(width / 2) - round(picture / 2); top: round(height / 2 - picture / 2).
    const struct {
        int cw, ch, pw, ph;
        int left, top;
    } cases[] = {
        {201, 201, 150, 100, 25, 50},  // 100 - 75; round(50.5) = 50
        {203, 203, 151, 101, 26, 51},  // 102 - 76; round(51) = 51
        {200, 200, 199, 199, 0, 0},    // 100 - 100; round(0.5) = 0
        {201, 201, 150, 150, 25, 26},  // 100 - 75; round(25.5) = 26: the two axes differ
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cw << " x " << c.ch << ", picture " << c.pw << " x " << c.ph);
        TLeadGeometry g;
        g.ResetSrcRects(c.pw, c.ph);
        g.Recalc(Input(TLeadSizeMode::Normal, c.pw, c.ph, c.cw, c.ch, true));
        EXPECT_EQ(g.Dst.Left, c.left);
        EXPECT_EQ(g.Dst.Top, c.top);
    }
}

TEST(LeadGeometry, ScrollPositionsAreClampedToTheRangesAndTheDestinationFollowsThem)
{
    TLeadGeometry g;
    g.ZoomX = g.ZoomY = 2;
    g.ResetSrcRects(400, 300);
    TLeadLayoutInput in = Input(TLeadSizeMode::Zoom, 400, 300, 200, 200);
    g.HScrollPos = 100;
    g.VScrollPos = 1000;
    EXPECT_EQ(g.Recalc(in), TPoint(0, 400 - 1000)) << "the change children move by";
    EXPECT_EQ(g.VScrollPos, 400);
    EXPECT_EQ(g.Dst, TLeadBox(-100, -400, 800, 600));

    // A smaller zoom shrinks the ranges; the positions follow.
    g.ZoomX = g.ZoomY = 0.5;
    EXPECT_EQ(g.Recalc(in), TPoint(-100, -400));
    EXPECT_EQ(g.Dst, TLeadBox(0, 0, 200, 150));

    // Without AutoScroll the destination keeps its place; while scrolling everything stays.
    g.Dst.Left = 7;
    in.AutoScroll = false;
    g.Recalc(in);
    EXPECT_EQ(g.Dst.Left, 7);
    in.Scrolling = true;
    g.ZoomX = g.ZoomY = 3;
    g.Recalc(in);
    EXPECT_EQ(g.Dst, TLeadBox(7, 0, 200, 150));
    EXPECT_EQ(g.ViewWidth, 200);
}

TEST(LeadGeometry, NormalModeStartsAtTheTopLeftWithZoomOne)
{
    TLeadGeometry g;
    g.ZoomX = 3;
    g.ZoomY = 2;
    g.HScrollPos = 30;
    g.VScrollPos = 40;
    EXPECT_EQ(g.ResetToNormal(120, 80), TPoint(-30, -40));
    EXPECT_EQ(g.HScrollPos, 0);
    EXPECT_EQ(g.VScrollPos, 0);
    EXPECT_EQ(g.ZoomX, 1.0);
    EXPECT_EQ(g.Dst.Width, 120);
    EXPECT_EQ(g.Dst.Height, 80);
}

TEST(LeadGeometry, DestinationSizeWritesSetTheZoom)
{
    TLeadGeometry g;
    g.SetDstWidth(-5, 100);
    EXPECT_EQ(g.Dst.Width, 0);
    EXPECT_EQ(g.ZoomX, 0.0);
    g.SetDstWidth(250, 100);
    EXPECT_EQ(g.ZoomX, 2.5);
    g.SetDstHeight(-5, 100);
    EXPECT_EQ(g.Dst.Height, -5) << "stored as given";
    EXPECT_EQ(g.ZoomY, -0.05);
    g.SetDstHeight(30, 0);
    EXPECT_EQ(g.ZoomY, 1.0) << "no picture: factor 1";
}

TEST(LeadGeometry, ZoomPercentReadsTheSmallerFactorOnlyInStretchMode)
{
    TLeadGeometry g;
    g.ZoomX = 0.5;
    g.ZoomY = 0.255;
    EXPECT_EQ(g.ZoomPercent(TLeadSizeMode::Stretch), 26);
    EXPECT_EQ(g.ZoomPercent(TLeadSizeMode::Fit), 50);
    EXPECT_EQ(g.ZoomPercent(TLeadSizeMode::Zoom), 50);
    g.ZoomY = 0.7;
    EXPECT_EQ(g.ZoomPercent(TLeadSizeMode::Stretch), 50);
    g.ZoomX = 0.125;  // 12.5 % rounds to the even 12
    EXPECT_EQ(g.ZoomPercent(TLeadSizeMode::Zoom), 12);
}

TEST(LeadGeometry, PaintSizeUseDpiScalesThePictureByTheResolutions)
{
    TLeadGeometry g;
    TLeadLayoutInput in = Input(TLeadSizeMode::Normal, 300, 150, 500, 500);
    in.UseDPI = true;
    in.PictureXResolution = 300;
    in.PictureYResolution = 150;
    in.ScreenXDpi = in.ScreenYDpi = 96;
    g.Recalc(in);
    EXPECT_EQ(g.Dst, TLeadBox(0, 0, 96, 96));
    in.PictureXResolution = 0;  // taken as 1
    g.Recalc(in);
    EXPECT_EQ(g.Dst.Width, 300 * 96);
}

TEST(LeadGeometry, ClientPointsMapToPicturePixelsAndBack)
{
    // Enlarged: the client pixel in the middle of a picture pixel's square gives that pixel.
    // Shrunk: the picture pixel a client pixel gives has its middle in that client pixel.
    const struct {
        const char* name;
        TLeadSizeMode mode;
        double zoom;
        int frame;
        bool center;
    } cases[] = {
        {"3 x enlarged, framed", TLeadSizeMode::Zoom, 3, 4, false},
        {"fit (7.4 x), centred, framed", TLeadSizeMode::Fit, 1, 2, true},
        {"shrunk to a quarter, centred", TLeadSizeMode::Zoom, 0.25, 0, true},
    };
    constexpr int pw = 40, ph = 24;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLeadGeometry g;
        g.ZoomX = g.ZoomY = c.zoom;
        g.ResetSrcRects(pw, ph);
        g.Recalc(Input(c.mode, pw, ph, 300, 200, c.center, c.frame));
        const int left = g.Dst.Left + c.frame, top = g.Dst.Top + c.frame;
        const long long dw = g.Dst.Width, dh = g.Dst.Height;
        const auto middle = [](long long v, long long size, long long count) { return (2 * v + 1) * size / (2 * count); };
        int vx = -1, vy = -1;
        if (dw >= pw) {
            for (int x = 0; x < pw; ++x)
                for (int y = 0; y < ph; ++y) {
                    ASSERT_TRUE(g.ClientToView(left + int(middle(x, dw, pw)), top + int(middle(y, dh, ph)), c.frame, vx, vy));
                    EXPECT_EQ(vx, x);
                    EXPECT_EQ(vy, y);
                }
        } else {
            for (int x = 0; x < dw; ++x)
                for (int y = 0; y < dh; ++y) {
                    ASSERT_TRUE(g.ClientToView(left + x, top + y, c.frame, vx, vy));
                    EXPECT_EQ(middle(vx, dw, pw), x);
                    EXPECT_EQ(middle(vy, dh, ph), y);
                }
        }
    }
    TLeadGeometry empty;
    int x = 5, y = 5;
    EXPECT_FALSE(empty.ClientToView(10, 10, 0, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST(LeadGeometry, ViewToStoredAgreesWithTheKernelsViewRowsForEveryPerspective)
{
    // A 3 x 2 bitmap whose pixels all differ: each pixel of every view row must be the stored
    // pixel that LeadViewToStored names.
    LBitmap b;
    ASSERT_EQ(L_CreateBitmap(&b, 3, 2, 24), LE_SUCCESS);
    std::uint8_t* bits = b.BeginWrite();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            b.WriteRow(bits, y)[3 * x] = std::uint8_t(10 * y + x + 1);
    for (int vp = 1; vp <= 8; ++vp) {
        SCOPED_TRACE(vp);
        b.ViewPerspective = vp;
        std::uint8_t row[16] = {};
        for (int vy = 0; vy < b.ViewHeight(); ++vy) {
            ASSERT_GT(L_GetBitmapRow(&b, row, vy, sizeof row), 0);
            for (int vx = 0; vx < b.ViewWidth(); ++vx) {
                const TPoint s = LeadViewToStored(vx, vy, vp, 3, 2);
                ASSERT_TRUE(s.X >= 0 && s.X < 3 && s.Y >= 0 && s.Y < 2) << vx << ", " << vy;
                EXPECT_EQ(row[3 * vx], 10 * s.Y + s.X + 1) << vx << ", " << vy;
            }
        }
    }
    L_FreeBitmap(&b);
}

TEST(LeadGeometry, MulDivRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(LeadMulDiv(10, 3, 4), 8);
    EXPECT_EQ(LeadMulDiv(-10, 3, 4), -8);
    EXPECT_EQ(LeadMulDiv(10, 3, -4), -8);
    EXPECT_EQ(LeadMulDiv(9, 3, 4), 7);
    EXPECT_EQ(LeadMulDiv(3000, 96, 300), 960);
    EXPECT_EQ(LeadMulDiv(1 << 30, 8, 2), INT_MAX) << "kept inside 32 bits";
    EXPECT_EQ(LeadMulDiv(5, 5, 0), -1);
}

} // namespace
