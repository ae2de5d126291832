// Bitmap records, copy on write, view perspectives and regions.
#include "ImageFixtures.h"

#include "platform/imagelib/ImageInternal.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace fixtures;

TEST(BitmapRecord, InitAndCreateFillTheNamedFields)
{
    struct Case {
        std::int32_t w, h, bits, bytesPerLine;
    } cases[] = {{0, 0, 0, 0}, {1, 1, 1, 4}, {33, 2, 1, 8}, {9, 3, 4, 8}, {5, 4, 8, 8}, {5, 4, 24, 16}, {4, 4, 24, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << "x" << c.bits);
        LBitmap b;
        ASSERT_EQ(L_InitBitmap(&b, c.w, c.h, c.bits), LE_SUCCESS);
        EXPECT_EQ(b.Width, c.w);
        EXPECT_EQ(b.Height, c.h);
        EXPECT_EQ(b.BitsPerPixel, c.bits);
        EXPECT_EQ(b.BytesPerLine, c.bytesPerLine);
        EXPECT_EQ(b.Flags & LBF_ALLOCATED, 0u);
        EXPECT_FALSE(b.IsAllocated());
        EXPECT_EQ(b.ViewPerspective, LVP_TOP_LEFT);
        if (c.w == 0)
            continue;
        ASSERT_EQ(L_CreateBitmap(&b, c.w, c.h, c.bits), LE_SUCCESS);
        EXPECT_TRUE(b.IsAllocated());
        EXPECT_EQ(b.Flags & LBF_ALLOCATED, LBF_ALLOCATED);
        EXPECT_EQ(b.BytesPerLine, c.bytesPerLine);
        EXPECT_EQ(b.PaletteSize(), c.bits <= 8 ? 1 << c.bits : 0);
        EXPECT_EQ(b.Row(0)[0], 0);
        ASSERT_EQ(L_FreeBitmap(&b), LE_SUCCESS);
        EXPECT_FALSE(b.IsAllocated());
        EXPECT_EQ(b.Width, 0);
    }
}

TEST(BitmapRecord, CreateRefusesBadSizesBeforeAllocating)
{
    struct Case {
        std::int32_t w, h, bits;
        int expected;
    } cases[] = {
        {0, 10, 24, LE_INVALID_SIZE},   {10, -1, 24, LE_INVALID_SIZE}, {10, 10, 16, LE_INVALID_BITS},
        {10, 10, 32, LE_INVALID_BITS},  {60000, 60000, 24, LE_NO_MEMORY}, {1 << 25, 1, 1, LE_INVALID_SIZE},
    };
    for (const Case& c : cases) {
        LBitmap b;
        EXPECT_EQ(L_CreateBitmap(&b, c.w, c.h, c.bits), c.expected) << c.w << "x" << c.h << "x" << c.bits;
        EXPECT_FALSE(b.IsAllocated());
    }
}

TEST(BitmapRecord, DefaultPaletteIsAGreyRampAndGivenOnesAreKept)
{
    LBitmap grey;
    ASSERT_EQ(L_CreateBitmap(&grey, 2, 2, 8), LE_SUCCESS);
    EXPECT_TRUE(grey.HasGreyPalette());
    EXPECT_EQ(grey.Palette()[0], (LRgbQuad{0, 0, 0, 0}));
    EXPECT_EQ(grey.Palette()[255], (LRgbQuad{255, 255, 255, 0}));
    const LBitmap colour = MakeIndexed(4, 4, 4);
    EXPECT_FALSE(colour.HasGreyPalette());
    EXPECT_EQ(colour.Palette()[5], PaletteColour(4, 5));
}

TEST(BitmapRecord, TwentyFourBitRowsPaintThroughAQImageViewWithoutACopy)
{
    const LBitmap b = MakeRgb(7, 5);
    const QImage view(b.Bits(), b.Width, b.Height, b.BytesPerLine, QImage::Format_BGR888);
    EXPECT_EQ(view.constBits(), b.Bits());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const Rgb p = Pattern(x, y);
            EXPECT_EQ(view.pixel(x, y), qRgb(p.r, p.g, p.b)) << x << "," << y;
        }
}

TEST(CopyOnWrite, CopiesShareUntilOneWrites)
{
    LBitmap a = MakeRgb(16, 8);
    LBitmap b, c;
    ASSERT_EQ(L_CopyBitmap(&b, &a), LE_SUCCESS);
    ASSERT_EQ(L_CopyBitmapHandle(&c, &a), LE_SUCCESS);
    LBitmapList* list = nullptr;
    ASSERT_EQ(L_CreateBitmapList(&list), LE_SUCCESS);
    ASSERT_EQ(L_InsertBitmapListItem(list, -1, &a), LE_SUCCESS);
    LBitmap item;
    ASSERT_EQ(L_GetBitmapListItem(list, 0, &item), LE_SUCCESS);
    for (const LBitmap* other : {&b, &c, &item}) {
        EXPECT_TRUE(other->SharesPixelsWith(a));
        EXPECT_EQ(other->Bits(), a.Bits());
        EXPECT_EQ(other->Generation(), a.Generation());
    }

    const std::uint64_t before = a.Generation();
    std::uint8_t* bits = b.BeginWrite();
    ASSERT_NE(bits, nullptr);
    bits[0] = 0x5a;
    EXPECT_FALSE(b.SharesPixelsWith(a));
    EXPECT_NE(b.Generation(), before);
    EXPECT_EQ(a.Generation(), before);
    EXPECT_NE(a.Row(0)[0], 0x5a); // the others still see the old pixels
    EXPECT_EQ(item.Row(0)[0], a.Row(0)[0]);
    EXPECT_EQ(std::memcmp(a.Row(1), b.Row(1), std::size_t(a.BytesPerLine)), 0); // the copy carried the rest

    // A handle nobody shares is written in place, with a new generation every time.
    const std::uint8_t* place = b.Bits();
    const std::uint64_t g1 = b.Generation();
    EXPECT_EQ(b.BeginWrite(), place);
    EXPECT_NE(b.Generation(), g1);

    // Freeing one handle leaves the others their pixels.
    L_FreeBitmap(&a);
    EXPECT_TRUE(item.IsAllocated());
    EXPECT_TRUE(c.IsAllocated());
    L_DestroyBitmapList(list);
    EXPECT_TRUE(item.IsAllocated());
}

TEST(CopyOnWrite, GenerationsAreUniqueAcrossBitmapsAndFollowPaletteChanges)
{
    LBitmap a = MakeIndexed(4, 4, 8), b = MakeIndexed(4, 4, 8);
    EXPECT_NE(a.Generation(), b.Generation());
    LBitmap shared = a;
    const std::uint64_t g = a.Generation();
    LRgbQuad red{0, 0, 255, 0};
    ASSERT_EQ(a.SetPalette(&red, 1), LE_SUCCESS);
    EXPECT_NE(a.Generation(), g);
    EXPECT_EQ(shared.Generation(), g);
    EXPECT_EQ(shared.Palette()[0], PaletteColour(8, 0));
    EXPECT_EQ(a.Palette()[0], red);
    LBitmap empty;
    EXPECT_EQ(empty.Generation(), 0u);
    EXPECT_EQ(empty.BeginWrite(), nullptr);
}

TEST(CopyOnWrite, CopyBitmapNeedsPixelsButCopyHandleTakesAnyRecord)
{
    LBitmap empty, dst;
    EXPECT_EQ(L_CopyBitmap(&dst, &empty), LE_NO_BITMAP);
    L_InitBitmap(&empty, 3, 3, 8);
    EXPECT_EQ(L_CopyBitmapHandle(&dst, &empty), LE_SUCCESS);
    EXPECT_EQ(dst.Width, 3);
    EXPECT_FALSE(dst.IsAllocated());
}

// The stored pixel that the view perspective shows at (x, y), by the perspective's definition.
static void StoredOf(std::int32_t vp, std::int32_t W, std::int32_t H, std::int32_t x, std::int32_t y, std::int32_t& sx,
                     std::int32_t& sy)
{
    switch (vp) {
    case LVP_TOP_LEFT: sx = x, sy = y; break;
    case LVP_TOP_RIGHT: sx = W - 1 - x, sy = y; break;
    case LVP_BOTTOM_RIGHT: sx = W - 1 - x, sy = H - 1 - y; break;
    case LVP_BOTTOM_LEFT: sx = x, sy = H - 1 - y; break;
    case LVP_LEFT_TOP: sx = y, sy = x; break;                 // stored row 0 is the left column
    case LVP_RIGHT_TOP: sx = y, sy = H - 1 - x; break;        // stored row 0 is the right column
    case LVP_LEFT_BOTTOM: sx = W - 1 - y, sy = x; break;      // stored column 0 at the bottom
    default: sx = W - 1 - y, sy = H - 1 - x; break;           // RIGHT_BOTTOM
    }
}

TEST(ViewPerspective, SwappedPerspectivesSwapTheViewSizeAndRowsFollowTheDefinition)
{
    for (std::int32_t bits : {1, 4, 8, 24}) {
        const LBitmap stored = bits == 24 ? MakeRgb(11, 6) : MakeIndexed(11, 6, bits);
        for (std::int32_t vp = 1; vp <= 8; ++vp) {
            SCOPED_TRACE(testing::Message() << "bits " << bits << " perspective " << vp);
            LBitmap b = stored;
            b.ViewPerspective = vp;
            const bool swapped = vp == 4 || vp == 5 || vp == 7 || vp == 8;
            EXPECT_EQ(b.IsViewSwapped(), swapped);
            EXPECT_EQ(b.ViewWidth(), swapped ? 6 : 11);
            EXPECT_EQ(b.ViewHeight(), swapped ? 11 : 6);
            LBitmap plain = stored;
            for (std::int32_t y = 0; y < b.ViewHeight(); ++y)
                for (std::int32_t x = 0; x < b.ViewWidth(); ++x) {
                    std::int32_t sx, sy;
                    StoredOf(vp, 11, 6, x, y, sx, sy);
                    ASSERT_EQ(PixelAt(b, x, y), PixelAt(plain, sx, sy)) << x << "," << y;
                }
        }
    }
}

TEST(ViewPerspective, ChangingThePerspectiveKeepsThePicture)
{
    for (std::int32_t bits : {4, 24}) {
        const LBitmap original = bits == 24 ? MakeRgb(9, 5) : MakeIndexed(9, 5, bits);
        for (std::int32_t from = 1; from <= 8; ++from)
            for (std::int32_t to : {0, 1, 4, 6, 7, 8}) {
                SCOPED_TRACE(testing::Message() << bits << " bits, " << from << " -> " << to);
                LBitmap b = original;
                b.ViewPerspective = from;
                const LBitmap seen = b;
                ASSERT_EQ(L_ChangeBitmapViewPerspective(nullptr, &b, to), LE_SUCCESS);
                EXPECT_EQ(b.ViewPerspective, to == 0 ? 1 : to);
                ASSERT_EQ(b.ViewWidth(), seen.ViewWidth());
                ASSERT_EQ(b.ViewHeight(), seen.ViewHeight());
                EXPECT_EQ(MaxDifference(b, seen), 0);
            }
    }
    LBitmap src = MakeRgb(4, 3), dst;
    src.ViewPerspective = LVP_RIGHT_TOP;
    ASSERT_EQ(L_ChangeBitmapViewPerspective(&dst, &src, LVP_TOP_LEFT), LE_SUCCESS);
    EXPECT_EQ(src.ViewPerspective, LVP_RIGHT_TOP); // the source stays as it was
    EXPECT_EQ(dst.Width, 3);
    EXPECT_EQ(dst.Height, 4);
    EXPECT_EQ(L_ChangeBitmapViewPerspective(nullptr, &src, 9), LE_INVALID_PARAMETER);
    LBitmap empty;
    EXPECT_EQ(L_ChangeBitmapViewPerspective(nullptr, &empty, 1), LE_NO_BITMAP);
}

TEST(ViewPerspective, GetBitmapRowCopiesAtMostTheBufferAndChecksTheRow)
{
    LBitmap b = MakeRgb(5, 3);
    std::uint8_t buf[64];
    EXPECT_EQ(L_GetBitmapRow(&b, buf, 0, sizeof buf), 16);
    EXPECT_EQ(L_GetBitmapRow(&b, buf, 2, 4), 4);
    EXPECT_EQ(L_GetBitmapRow(&b, buf, 3, sizeof buf), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_GetBitmapRow(&b, buf, -1, sizeof buf), LE_INVALID_PARAMETER);
    b.ViewPerspective = LVP_LEFT_BOTTOM;
    EXPECT_EQ(L_GetBitmapRow(&b, buf, 4, sizeof buf), 12); // 3 pixels wide when seen
    LBitmap empty;
    EXPECT_EQ(L_GetBitmapRow(&empty, buf, 0, sizeof buf), LE_NO_BITMAP);
}

TEST(ViewPerspective, OrientationValuesShowTheStoredPixelsUpright)
{
    // What a camera stores for each orientation value, given the upright picture U (w x h):
    // turning the stored pixels by the perspective must give U back.
    const std::int32_t w = 6, h = 4;
    const LBitmap upright = MakeRgb(w, h);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const std::int32_t vp = L_ViewPerspectiveFromOrientation(orientation);
        // The inverse transform of vp applied to U gives the stored pixels.
        LBitmap stored;
        ASSERT_EQ(kvimg::RenderView(upright, vp == 4 ? 7 : (vp == 7 ? 4 : vp), stored), LE_SUCCESS);
        LBitmap turned = stored;
        ASSERT_EQ(kvimg::ApplyOrientation(turned, orientation), LE_SUCCESS);
        EXPECT_EQ(turned.Width, w);
        EXPECT_EQ(turned.Height, h);
        EXPECT_EQ(MaxDifference(turned, upright), 0);
    }
    // Orientation 6: the camera was turned clockwise; the stored top row is the right column.
    LBitmap six = MakeRgb(3, 2);
    ASSERT_EQ(kvimg::ApplyOrientation(six, 6), LE_SUCCESS);
    EXPECT_EQ(six.Width, 2);
    EXPECT_EQ(PixelAt(six, 1, 0), Pattern(0, 0));
    EXPECT_EQ(PixelAt(six, 0, 0), Pattern(0, 1));
    EXPECT_EQ(L_ViewPerspectiveFromOrientation(0), LVP_TOP_LEFT);
    EXPECT_EQ(L_ViewPerspectiveFromOrientation(9), LVP_TOP_LEFT);
}

static int CountInRegion(const LBitmap& b)
{
    int n = 0;
    for (std::int32_t y = 0; y < b.Height; ++y)
        for (std::int32_t x = 0; x < b.Width; ++x)
            n += L_IsPtInBitmapRgn(&b, y, x) ? 1 : 0;
    return n;
}

TEST(Region, RectanglesCombineByMode)
{
    const LRect a{2, 2, 6, 6}, b{4, 4, 8, 8};
    struct Case {
        std::uint32_t mode;
        int pixels;
        LRect bounds;
    } cases[] = {
        {LRGN_SET, 16, {4, 4, 8, 8}},      {LRGN_AND, 4, {4, 4, 6, 6}},      {LRGN_OR, 28, {2, 2, 8, 8}},
        {LRGN_XOR, 24, {2, 2, 8, 8}},      {LRGN_AND_NOT, 12, {2, 2, 6, 6}}, {LRGN_SET_NOT, 100 - 16, {0, 0, 10, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        LBitmap bmp = MakeRgb(10, 10);
        ASSERT_EQ(L_SetBitmapRgnRect(&bmp, nullptr, &a, LRGN_SET), LE_SUCCESS);
        ASSERT_EQ(L_SetBitmapRgnRect(&bmp, nullptr, &b, c.mode), LE_SUCCESS);
        EXPECT_EQ(CountInRegion(bmp), c.pixels);
        LRect bounds;
        ASSERT_EQ(L_GetBitmapRgnBounds(&bmp, nullptr, &bounds), LE_SUCCESS);
        EXPECT_EQ(bounds, c.bounds);
    }
}

TEST(Region, EmptyResultsRemoveTheRegionAndCopiesCarryIt)
{
    LBitmap bmp = MakeRgb(10, 10);
    EXPECT_FALSE(L_BitmapHasRgn(&bmp));
    const LRect r{1, 1, 3, 3}, far{6, 6, 9, 9}, outside{20, 20, 30, 30};
    ASSERT_EQ(L_SetBitmapRgnRect(&bmp, nullptr, &r, LRGN_SET), LE_SUCCESS);
    LBitmap copy;
    L_CopyBitmap(&copy, &bmp);
    ASSERT_EQ(L_SetBitmapRgnRect(&bmp, nullptr, &far, LRGN_AND), LE_SUCCESS);
    EXPECT_FALSE(L_BitmapHasRgn(&bmp));
    EXPECT_TRUE(L_BitmapHasRgn(&copy)); // the copy keeps the region it was given
    EXPECT_EQ(CountInRegion(copy), 4);
    ASSERT_EQ(L_SetBitmapRgnRect(&copy, nullptr, &outside, LRGN_SET), LE_SUCCESS);
    EXPECT_FALSE(L_BitmapHasRgn(&copy));
    ASSERT_EQ(L_SetBitmapRgnRect(&bmp, nullptr, &r, LRGN_SET), LE_SUCCESS);
    EXPECT_EQ(L_FreeBitmapRgn(&bmp), LE_SUCCESS);
    EXPECT_FALSE(L_BitmapHasRgn(&bmp));
    LBitmap empty;
    EXPECT_EQ(L_SetBitmapRgnRect(&empty, nullptr, &r, LRGN_SET), LE_NO_BITMAP);
    EXPECT_EQ(L_SetBitmapRgnRect(&bmp, nullptr, &r, 99), LE_INVALID_PARAMETER);
}

TEST(Region, EllipseDrawnEitherWayIsTheSameAndStaysInsideItsRectangle)
{
    LBitmap a = MakeRgb(40, 30), b = MakeRgb(40, 30);
    const LRect forward{5, 4, 35, 24}, backward{35, 24, 5, 4};
    ASSERT_EQ(L_SetBitmapRgnEllipse(&a, nullptr, &forward, LRGN_SET), LE_SUCCESS);
    ASSERT_EQ(L_SetBitmapRgnEllipse(&b, nullptr, &backward, LRGN_SET), LE_SUCCESS);
    EXPECT_EQ(a.Region()->Mask, b.Region()->Mask);
    EXPECT_EQ(a.Region()->Bounds, (LRect{5, 4, 35, 24}));
    EXPECT_TRUE(L_IsPtInBitmapRgn(&a, 14, 20));  // the centre
    EXPECT_FALSE(L_IsPtInBitmapRgn(&a, 4, 5));   // a corner of the rectangle
    const int n = CountInRegion(a);
    EXPECT_NEAR(n, 3.14159 * 15 * 10, 15);
}

TEST(Region, TransformScalesOffsetsAndTurnsCoordinates)
{
    LBitmap bmp = MakeRgb(20, 10);
    // The caller sees the picture at half size, moved by (3, 2) on its screen.
    LRgnXForm fromScreen{0, 2, 1, 2, 1, -3, -2};
    const LRect onScreen{4, 3, 6, 5};
    ASSERT_EQ(L_SetBitmapRgnRect(&bmp, &fromScreen, &onScreen, LRGN_SET), LE_SUCCESS);
    EXPECT_EQ(bmp.Region()->Bounds, (LRect{2, 2, 6, 6}));
    LRect back;
    ASSERT_EQ(L_GetBitmapRgnBounds(&bmp, &fromScreen, &back), LE_SUCCESS);
    EXPECT_EQ(back, onScreen);
    // Coordinates of the picture turned clockwise (perspective 4): its top-left pixel is stored
    // at the bottom-left.
    LRgnXForm turned{LVP_RIGHT_TOP, 1, 1, 1, 1, 0, 0};
    const LRect corner{0, 0, 1, 1};
    ASSERT_EQ(L_SetBitmapRgnRect(&bmp, &turned, &corner, LRGN_SET), LE_SUCCESS);
    EXPECT_TRUE(L_IsPtInBitmapRgn(&bmp, 9, 0));
    LRgnXForm bad{0, 1, 0, 1, 1, 0, 0};
    EXPECT_EQ(L_SetBitmapRgnRect(&bmp, &bad, &corner, LRGN_SET), LE_INVALID_PARAMETER);
}

TEST(Region, FollowsThePixelsThroughAPerspectiveChange)
{
    LBitmap bmp = MakeRgb(8, 4);
    const LRect r{0, 0, 2, 1};
    ASSERT_EQ(L_SetBitmapRgnRect(&bmp, nullptr, &r, LRGN_SET), LE_SUCCESS);
    bmp.ViewPerspective = LVP_RIGHT_TOP;
    ASSERT_EQ(L_ChangeBitmapViewPerspective(nullptr, &bmp, LVP_TOP_LEFT), LE_SUCCESS);
    // Stored row 0 became the right column: pixels (0,0) and (1,0) are now (3,0) and (3,1).
    EXPECT_EQ(CountInRegion(bmp), 2);
    EXPECT_TRUE(L_IsPtInBitmapRgn(&bmp, 0, 3));
    EXPECT_TRUE(L_IsPtInBitmapRgn(&bmp, 1, 3));
}
