// The picture control's processing operations: the bracket (undo copy, aborts, OnChange,
// reporting), geometry, filters, regions, red eyes, shapes, the screen capture rectangle, the
// load size hint, and a sweep over depths and sizes.
#include "ImagingFixtures.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace imgtest;

namespace {

// A control named like the thumbnail maker's, holding picture.
void Hold(TLEADImage& image, LBitmap picture)
{
    image.setObjectName(QStringLiteral("LEADImage3"));
    image.setBitmap(&picture);
    L_FreeBitmap(&picture);
}

LColor At(TLEADImage& image, int x, int y) { return PixelOf(*image.Bitmap(), x, y); }

// Counts OnChange.
struct ChangeCounter {
    int changes = 0;
    explicit ChangeCounter(TLEADImage& image)
    {
        image.OnChange = [this](QObject*) { ++changes; };
    }
};

// Pixels that differ between two bitmaps of the same size.
int ChangedPixels(const LBitmap& a, const LBitmap& b)
{
    int n = 0;
    const QImage ia = LeadBitmapToImage(a), ib = LeadBitmapToImage(b);
    for (int y = 0; y < ia.height(); ++y)
        for (int x = 0; x < ia.width(); ++x)
            n += ia.pixel(x, y) != ib.pixel(x, y);
    return n;
}

const double kRedOnly[3] = {1, 0, 0}, kGreenOnly[3] = {0, 1, 0}, kBlueOnly[3] = {0, 0, 1};

// ---- reporting --------------------------------------------------------------------------------

TEST(LEADImageProcess, EveryOperationRaisesImageNotAllocatedOnAnEmptyControl)
{
    LBitmap source = MakeBitmap(4, 4, kRed);
    const std::vector<std::pair<const char*, std::function<void(TLEADImage&)>>> ops = {
        {"Size", [](TLEADImage& i) { i.Size(10, 10, 4); }},
        {"Rotate", [](TLEADImage& i) { i.Rotate(9000, 1, clWhite); }},
        {"FastRotate", [](TLEADImage& i) { i.FastRotate(9000); }},
        {"Flip", [](TLEADImage& i) { i.Flip(); }},
        {"Reverse", [](TLEADImage& i) { i.Reverse(); }},
        {"GrayScale", [](TLEADImage& i) { i.GrayScale(8); }},
        {"Sharpen", [](TLEADImage& i) { i.Sharpen(850); }},
        {"GaussianFilter", [](TLEADImage& i) { i.GaussianFilter(5); }},
        {"BalanceColors", [](TLEADImage& i) { i.BalanceColors(kRedOnly, kGreenOnly, kBlueOnly); }},
        {"Combine", [&](TLEADImage& i) { i.Combine(0, 0, 4, 4, &source, 0, 0, 800); }},
        {"Fill", [](TLEADImage& i) { i.Fill(clWhite); }},
        {"RemoveRedeye", [](TLEADImage& i) { i.RemoveRedeye(clBlack, 140, 60); }},
        {"SetRgnRect", [](TLEADImage& i) { i.SetRgnRect(0, 0, 2, 2, 1); }},
    };
    for (const auto& [name, op] : ops) {
        TLEADImage image;
        image.setObjectName(QStringLiteral("LEADImage3"));
        image.setEnableMethodErrors(false);
        EXPECT_EQ(RaisedMessage([&] { op(image); }), std::string("LEADImage3 \n") + name + ": Image not allocated.");
        EXPECT_EQ(image.LastError(), -2) << name;
        EXPECT_EQ(image.StateFlags(), 0) << name;
    }
    L_FreeBitmap(&source);
}

TEST(LEADImageProcess, DrawShapeWithoutACanvasGivesMinusOne)
{
    for (bool persistence : {true, false}) {
        TLEADImage image;  // empty, never painted: neither the bitmap nor the window can be drawn on
        image.setObjectName(QStringLiteral("LEADImage3"));
        image.setDrawPersistence(persistence);
        EXPECT_EQ(RaisedMessage([&] { image.DrawShape(2000, nullptr); }),
                  "LEADImage3 \nError code: -1\nDrawShape: Not enough memory available ");
        image.setEnableMethodErrors(false);
        EXPECT_EQ(image.DrawShape(2000, nullptr), -1);
        EXPECT_EQ(image.LastError(), -1);
    }
}

TEST(LEADImageProcess, AFailedCallKeepsThePictureStillStoresItAndReports)
{
    TLEADImage image;
    Hold(image, MakeBitmap(8, 6, kOrange));
    ChangeCounter counter(image);
    const std::uint64_t before = image.Bitmap()->Generation();
    EXPECT_EQ(RaisedMessage([&] { image.Size(0, 70, 4); }), "LEADImage3 \nError code: -11\nSize: Invalid width/height ");
    image.setEnableMethodErrors(false);
    EXPECT_EQ(image.Size(10, 0, 4), -11);
    EXPECT_EQ(image.LastError(), -11);
    EXPECT_EQ(image.BitmapWidth(), 8);
    EXPECT_EQ(image.Bitmap()->Generation(), before);
    EXPECT_EQ(counter.changes, 2);  // a failed call still ends with OnChange
    EXPECT_EQ(image.StateFlags(), 0);
    EXPECT_FALSE(image.Busy());
}

TEST(LEADImageProcess, ProcessingIsRefusedWhileABitmapContextIsOut)
{
    TLEADImage image;
    Hold(image, MakeBitmap(8, 6, kOrange));
    ASSERT_NE(image.GetBitmapDC(), nullptr);
    image.setEnableMethodErrors(false);
    for (const auto& op : std::vector<std::function<void()>>{[&] { image.Size(4, 4, 2); }, [&] { image.Flip(); },
                                                             [&] { image.GaussianFilter(3); }}) {
        EXPECT_EQ(RaisedMessage(op), "LEADImage3 \nError code: 0\nProcessing not allowed: Function not successful ");
    }
    image.ReleaseBitmapDC();
    EXPECT_EQ(image.Size(4, 4, 2), 1);
}

// ---- the bracket ----------------------------------------------------------------------------------

TEST(LEADImageProcess, AnAbortFromOnStatusRestoresThePictureWithoutOnChange)
{
    TLEADImage image;
    Hold(image, MakePicture(400, 300, [](int x, int y) { return LRgb(std::uint8_t(x), std::uint8_t(y), 9); }));
    ChangeCounter counter(image);
    const std::uint64_t before = image.Bitmap()->Generation();
    image.setEnableMethodErrors(false);
    image.setEnableProgressEvent(true);
    int reports = 0;
    bool bitmapHiddenDuringTheCall = false;
    image.OnStatus = [&](QObject*, int) {
        ++reports;
        bitmapHiddenDuringTheCall = image.Bitmap() == nullptr;
        image.setEnableProgressEvent(false);  // the program's way to stop a running operation
    };
    EXPECT_EQ(image.Size(93, 70, 4), LE_USER_ABORT);
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(bitmapHiddenDuringTheCall);
    EXPECT_EQ(counter.changes, 0);
    EXPECT_EQ(image.BitmapWidth(), 400);
    EXPECT_EQ(image.Bitmap()->Generation(), before);
    EXPECT_EQ(image.StateFlags(), 0);
    EXPECT_FALSE(image.Busy());
    // The next operation starts with the abort flags cleared.
    image.setEnableProgressEvent(true);
    image.OnStatus = nullptr;
    EXPECT_EQ(image.Size(93, 70, 4), 1);
    EXPECT_EQ(counter.changes, 1);
    EXPECT_EQ(image.BitmapWidth(), 93);
    EXPECT_EQ(PageColors(image).size(), 1u);
}

TEST(LEADImageProcess, AnExceptionFromOnStatusComesOutAfterThePictureIsBack)
{
    TLEADImage image;
    Hold(image, MakeBitmap(200, 100, kGreen));
    ChangeCounter counter(image);
    image.setEnableProgressEvent(true);
    image.OnStatus = [](QObject*, int) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(image.GaussianFilter(30), std::runtime_error);
    EXPECT_EQ(counter.changes, 0);
    EXPECT_FALSE(image.Busy());
    EXPECT_EQ(image.StateFlags(), 0);
    ASSERT_NE(image.Bitmap(), nullptr);
    EXPECT_EQ(At(image, 50, 50), kGreen);
}

TEST(LEADImageProcess, ZeroSharpenAndZeroBlurSucceedAndChangeNothing)
{
    TLEADImage image;
    Hold(image, MakePicture(16, 8, [](int x, int) { return x < 8 ? LRgb(50, 50, 50) : LRgb(200, 200, 200); }));
    const std::uint64_t before = image.Bitmap()->Generation();
    EXPECT_EQ(image.GaussianFilter(0), 1);
    EXPECT_EQ(image.Sharpen(0), 1);
    EXPECT_EQ(image.Bitmap()->Generation(), before);
    EXPECT_EQ(image.Sharpen(850), 1);
    EXPECT_LT(LRedOf(At(image, 7, 4)), 50);
    EXPECT_EQ(image.GaussianFilter(100), 1);  // the colour dialog's blur at slider position -500
    EXPECT_GT(LRedOf(At(image, 7, 4)), 50);
}

// ---- geometry ---------------------------------------------------------------------------------------

TEST(LEADImageProcess, TurnsMirrorsAndSizesReachTheList)
{
    struct Case {
        const char* name;
        std::function<int(TLEADImage&)> op;
        int w, h;
        LColor topLeft;
    };
    const std::vector<Case> cases = {
        {"Rotate 9000", [](TLEADImage& i) { return i.Rotate(9000, 1, clWhite); }, 480, 640, kBlue},
        {"Rotate 18000", [](TLEADImage& i) { return i.Rotate(18000, 1, clWhite); }, 640, 480, kGreen},
        {"Rotate 27000", [](TLEADImage& i) { return i.Rotate(27000, 1, clWhite); }, 480, 640, kOrange},
        {"FastRotate 9000", [](TLEADImage& i) { return i.FastRotate(9000); }, 480, 640, kBlue},
        {"Flip", [](TLEADImage& i) { return i.Flip(); }, 640, 480, kBlue},
        {"Reverse", [](TLEADImage& i) { return i.Reverse(); }, 640, 480, kOrange},
        {"Size 4", [](TLEADImage& i) { return i.Size(93, 70, 4); }, 93, 70, kRed},
        {"Size 2", [](TLEADImage& i) { return i.Size(960, 720, 2); }, 960, 720, kRed},
    };
    // Quadrants: red top left, orange top right, blue bottom left, green bottom right.
    const auto quadrants = [](int x, int y) {
        return y < 240 ? (x < 320 ? kRed : kOrange) : (x < 320 ? kBlue : kGreen);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        Hold(image, MakePicture(640, 480, quadrants));
        ChangeCounter counter(image);
        ASSERT_EQ(c.op(image), 1);
        EXPECT_EQ(image.BitmapWidth(), c.w);
        EXPECT_EQ(image.BitmapHeight(), c.h);
        EXPECT_EQ(At(image, 0, 0), c.topLeft);
        EXPECT_EQ(counter.changes, 1);
        EXPECT_EQ(PageColors(image).front(), At(image, 1, 1));  // the list holds the new page
        EXPECT_EQ(image.SrcWidth(), c.w);                       // the display follows the new size
    }
}

TEST(LEADImageProcess, ColourOperationsThroughTheControl)
{
    TLEADImage image;
    Hold(image, MakeBitmap(6, 6, LRgb(128, 128, 128)));
    ASSERT_EQ(image.GrayScale(8), 1);
    EXPECT_EQ(image.BitmapBits(), 8);
    const double green[3] = {0, 0.83, 0}, blue[3] = {0, 0, 0.34};
    ASSERT_EQ(image.BalanceColors(kRedOnly, green, blue), 1);
    EXPECT_EQ(image.BitmapBits(), 24);
    EXPECT_EQ(At(image, 2, 2), LRgb(128, 106, 44));
}

// ---- regions, fill, red eyes, combine ---------------------------------------------------------------

TEST(LEADImageProcess, FillInATwoByTwoRectangleRegionChangesFourPixels)
{
    TLEADImage image;
    Hold(image, MakePicture(93, 70, [](int x, int y) { return LRgb(std::uint8_t(x), std::uint8_t(y), 40); }));
    const LBitmap before = *image.Bitmap();
    // The thumbnail corners: bottom left and top right.
    ASSERT_EQ(image.SetRgnRect(0, 70 - 2, 2, 2, 1), 1);
    EXPECT_TRUE(image.HasRgn());
    EXPECT_EQ(image.RgnLeft(), 0);
    EXPECT_EQ(image.RgnTop(), 68);
    EXPECT_EQ(image.RgnWidth(), 2);
    EXPECT_EQ(image.RgnHeight(), 2);
    ASSERT_EQ(image.Fill(RGB(255, 255, 255)), 1);
    EXPECT_EQ(ChangedPixels(before, *image.Bitmap()), 4);
    EXPECT_EQ(At(image, 1, 69), kWhite);
    ASSERT_EQ(image.SetRgnRect(93 - 2, 0, 2, 2, 1), 1);
    ASSERT_EQ(image.Fill(RGB(255, 255, 255)), 1);
    EXPECT_EQ(ChangedPixels(before, *image.Bitmap()), 8);
    EXPECT_EQ(At(image, 92, 0), kWhite);
}

TEST(LEADImageProcess, RedeyeChangesOnlyTheEllipseAndFiresNoOnChange)
{
    TLEADImage image;
    Hold(image, MakeBitmap(40, 30, LRgb(200, 30, 30), 24));
    ASSERT_EQ(image.SetRgnEllipse(10, 5, 20, 20, 1), 1);
    const LBitmap before = *image.Bitmap();
    ChangeCounter counter(image);
    ASSERT_EQ(image.RemoveRedeye(clBlack, 140, 60), 1);
    EXPECT_EQ(counter.changes, 0);
    EXPECT_EQ(At(image, 20, 15), LRgb(0, 0, 0));
    EXPECT_EQ(At(image, 2, 2), LRgb(200, 30, 30));
    EXPECT_EQ(At(image, 10, 5), LRgb(200, 30, 30));  // the ellipse's bounding corner is outside it
    const int changed = ChangedPixels(before, *image.Bitmap());
    EXPECT_GT(changed, 250);
    EXPECT_LT(changed, 400);  // about pi x 10 x 10
    LBitmap page;
    ASSERT_EQ(L_GetBitmapListItem(image.BitmapList(), 0, &page), LE_SUCCESS);
    EXPECT_EQ(PixelOf(page, 20, 15), LRgb(0, 0, 0)) << "the list keeps the change";
    L_FreeBitmap(&page);
}

TEST(LEADImageProcess, CombineTakesTheWholeSourceRectangleDespiteItsRegion)
{
    TLEADImage image;
    Hold(image, MakeBitmap(10, 10, kWhite));
    LBitmap source = MakeBitmap(4, 4, kBlue);
    const LRect corner{0, 0, 1, 1};
    ASSERT_EQ(L_SetBitmapRgnRect(&source, nullptr, &corner, LRGN_SET), LE_SUCCESS);
    ASSERT_EQ(image.Combine(2, 2, 4, 4, &source, 0, 0, 800), 1);
    EXPECT_EQ(At(image, 2, 2), kBlue);
    EXPECT_EQ(At(image, 5, 4), kBlue);
    EXPECT_EQ(At(image, 6, 6), kWhite);
    EXPECT_TRUE(L_BitmapHasRgn(&source)) << "the caller's bitmap keeps its region";
    image.setEnableMethodErrors(false);
    EXPECT_EQ(image.Combine(0, 0, 4, 4, nullptr, 0, 0, 800), -2);
    L_FreeBitmap(&source);
}

// ---- shapes ------------------------------------------------------------------------------------------

// The thumbnail maker's control as its form sets it up.
void ThumbnailSettings(TLEADImage& image)
{
    image.setShadowColor(15395562);
    image.setShadowXDepth(2);
    image.setShadowYDepth(2);
    image.setShapeBorderColor(clSilver);
    image.setShapeBorderStyle(0);
    image.setShapeBorderThickness(1);
    image.setShapeInnerBandStyle(1);
    image.setShapeInnerBandThickness(5);
    image.setShapeInnerBandShadowColor(clWhite);
    image.setShapeOuterBandThickness(5);
    image.setShapeOuterBandShadowColor(clBlue);
    image.setPatternStyle(TLEADImage::epsTransparent);
    image.setShapeBackgroundStyle(1);
}

LBitmap ThumbnailPicture()
{
    return MakePicture(93, 70, [](int x, int y) { return (x > 30 && x < 62 && y > 20 && y < 50) ? kGreen : kRed; });
}

// The shape over the whole picture as shown (its destination), or at its own size.
void DrawThumbnailFrame(TLEADImage& image, bool asShown = false)
{
    image.setDrawPersistence(true);
    image.setShapeWidth(asShown ? image.DstWidth() : image.BitmapWidth());
    image.setShapeHeight(asShown ? image.DstHeight() : image.BitmapHeight());
    ASSERT_EQ(image.DrawShape(2000, image.Bitmap()), 1);
}

TEST(LEADImageProcess, DrawShapeFramesTheThumbnail)
{
    TLEADImage image;
    ThumbnailSettings(image);
    Hold(image, ThumbnailPicture());
    DrawThumbnailFrame(image);
    EXPECT_EQ(image.BitmapWidth(), 93);
    EXPECT_EQ(image.BitmapHeight(), 70);
    EXPECT_EQ(At(image, 0, 0), LRgb(192, 192, 192));   // the border at the edge
    EXPECT_EQ(At(image, 92, 69), LRgb(234, 234, 234)); // the shadow at the bottom right
    EXPECT_EQ(At(image, 46, 35), kGreen);              // the picture in the middle
    EXPECT_EQ(At(image, 92, 0), kRed);                 // left bare for the caller's white corner
    EXPECT_EQ(PageColors(image).front(), LRgb(255, 255, 255)) << "the list holds the framed page";
}

TEST(LEADImageProcess, DrawShapeScalesByTheZoomAndTakesZeroAsOneHundred)
{
    const auto framed = [](int zoom) {
        TLEADImage image;
        ThumbnailSettings(image);
        Hold(image, ThumbnailPicture());
        if (zoom != 100)
            image.setPaintZoomFactor(zoom);
        DrawThumbnailFrame(image, zoom > 0);
        LBitmap copy = *image.Bitmap();
        return copy;
    };
    const LBitmap normal = framed(100);
    const LBitmap zero = framed(0);
    EXPECT_EQ(ChangedPixels(normal, zero), 0);
    // At 200 % every thickness halves: the 1-pixel border rounds away, the shadow is 1 deep.
    const LBitmap doubled = framed(200);
    EXPECT_EQ(PixelOf(doubled, 0, 0), kWhite);
    EXPECT_EQ(PixelOf(doubled, 92, 69), LRgb(234, 234, 234));
    EXPECT_EQ(PixelOf(doubled, 91, 68), kWhite);
}

TEST(LEADImageProcess, DrawShapeMapsItsRectangleThroughTheDisplay)
{
    // At 50 % the destination (the picture as shown) is half the size: a shape rectangle equal
    // to it frames the whole bitmap, with the border twice as thick in bitmap pixels.
    TLEADImage image;
    image.resize(300, 200);
    ThumbnailSettings(image);
    image.setShapeBorderThickness(2);
    image.setShapeInnerBandThickness(0);
    image.setShapeOuterBandThickness(0);
    image.setShadowXDepth(0);
    image.setShadowYDepth(0);
    image.setPaintZoomFactor(50);
    Hold(image, MakePicture(120, 80, [](int, int) { return kRed; }));
    ASSERT_EQ(image.DstWidth(), 60);
    image.setDrawPersistence(true);
    image.setShapeLeft(image.DstLeft());
    image.setShapeTop(image.DstTop());
    image.setShapeWidth(image.DstWidth());
    image.setShapeHeight(image.DstHeight());
    ASSERT_EQ(image.DrawShape(2000, image.Bitmap()), 1);
    const LColor silver = LRgb(192, 192, 192);
    for (const TPoint p : {TPoint(0, 40), TPoint(3, 40), TPoint(119, 40), TPoint(60, 0), TPoint(60, 79)})
        EXPECT_EQ(At(image, p.X, p.Y), silver) << p.X << ", " << p.Y;
    EXPECT_EQ(At(image, 5, 40), kRed) << "inside the border";
}

TEST(LEADImageProcess, DrawShapeOnAPalettePictureMakesIt24Bits)
{
    TLEADImage image;
    ThumbnailSettings(image);
    Hold(image, MakeBitmap(30, 20, kBlue, 8));
    DrawThumbnailFrame(image);
    EXPECT_EQ(image.BitmapBits(), 24);
    EXPECT_EQ(At(image, 0, 0), LRgb(192, 192, 192));
}

TEST(LEADImageProcess, WithoutPersistenceShapesAndFramesGoOnTheWindow)
{
    TLEADImage image;
    image.resize(120, 100);
    Hold(image, MakeBitmap(20, 20, kOrange));
    image.Paint();
    ASSERT_FALSE(image.BackBuffer().isNull());
    const std::uint64_t before = image.Bitmap()->Generation();
    image.setShapeLeft(40);
    image.setShapeTop(30);
    image.setShapeWidth(30);
    image.setShapeHeight(20);
    image.setShapeBorderThickness(2);
    image.setShapeBorderColor(clRed);
    image.setShapeBackgroundStyle(0);
    image.setPatternBackColor(clBlue);
    ASSERT_EQ(image.DrawShape(2000, nullptr), 1);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 40, 30), kRed);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 55, 40), kBlue);
    EXPECT_EQ(image.Bitmap()->Generation(), before) << "the picture itself is not drawn on";
    image.setFrameOuterStyle(TLEADImage::fosRaised);
    image.setFrameOuterHiliteColor(clLime);
    image.setFrameOuterShadowColor(clRed);
    image.setFrameThickness(1);
    image.setFrameColor(clBlue);
    image.setFrameInnerThickness(0);
    image.setFrameOuterThickness(1);
    image.Paint();
    ASSERT_EQ(image.DrawFrame(TRect(80, 60, 100, 80)), 1);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 80, 60), kGreen);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 99, 79), kRed);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 81, 70), kBlue);
}

// ---- the screen capture -------------------------------------------------------------------------------

struct FakeScreen {
    static inline std::vector<LRect> asked;
    FakeScreen()
    {
        asked.clear();
        LScreenService s;
        s.ScreenSize = [](void*, std::int32_t* w, std::int32_t* h) {
            *w = 1000;
            *h = 800;
            return LE_SUCCESS;
        };
        s.Capture = [](void*, const LRect* r, LBitmap* out) {
            asked.push_back(*r);
            return L_CreateBitmap(out, r->Width(), r->Height(), 24);
        };
        L_SetScreenService(&s);
    }
    ~FakeScreen() { L_SetScreenService(nullptr); }
};

TEST(LEADImageProcess, CaptureScreenAtAsksForTheClientSizeAroundThePoint)
{
    FakeScreen screen;
    struct Case {
        int zoom, x, y;
        LRect expected;
    };
    const Case cases[] = {
        {100, 500, 400, {425, 325, 575, 475}},
        {0, 500, 400, {425, 325, 575, 475}},  // a zoom of 0 counts as 100 %
        {200, 500, 400, {463, 363, 538, 438}},
        {50, 500, 400, {350, 250, 650, 550}},
        {100, 10, 790, {0, 715, 85, 800}},    // clipped to the screen
        {100, 2000, -50, {999, 0, 1000, 25}}, // at least one pixel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zoom);
        TLEADImage image;
        image.resize(150, 150);
        if (c.zoom != 100)
            image.setPaintZoomFactor(c.zoom);
        FakeScreen::asked.clear();
        ASSERT_EQ(image.CaptureScreenAt(TPoint(c.x, c.y), true), 1);
        ASSERT_EQ(FakeScreen::asked.size(), 1u);
        EXPECT_EQ(FakeScreen::asked[0], c.expected);
        EXPECT_EQ(image.BitmapWidth(), c.expected.Width());
        EXPECT_EQ(image.CaptureRect(), TRect(c.expected.Left, c.expected.Top, c.expected.Right, c.expected.Bottom));
    }
}

TEST(LEADImageProcess, ZoomOutlineTogglesLikeAnXorDrawing)
{
    TLEADImage image;
    image.DrawZoomRect(TRect(10, 10, 20, 20), false);
    EXPECT_FALSE(image.ZoomOutlineShown()) << "only with EnableZoomInRect";
    image.setEnableZoomInRect(true);
    image.DrawZoomRect(TRect(10, 10, 20, 20), false);
    EXPECT_TRUE(image.ZoomOutlineShown());
    EXPECT_EQ(image.ZoomOutline(), TRect(9, 9, 21, 21));
    image.DrawZoomRect(TRect(10, 10, 20, 20), false);
    EXPECT_FALSE(image.ZoomOutlineShown());
    image.DrawZoomRect(TRect(10, 10, 10, 20), false);
    EXPECT_FALSE(image.ZoomOutlineShown());
}

// ---- the load size hint --------------------------------------------------------------------------------

TEST(LEADImageProcess, TheLoadSizeHintReducesOnlyTheNextLoad)
{
    const QString path = kvtest::MakeTempFolder(QStringLiteral("hint")) + QStringLiteral("camera.jpg");
    LBitmap big = MakeBitmap(256, 128, kOrange);
    ASSERT_EQ(L_SaveBitmap(QFile::encodeName(path).constData(), &big, LFMT_JPEG_422, 24, 2, nullptr), LE_SUCCESS);
    L_FreeBitmap(&big);
    TLEADImage image;
    image.SetLoadSizeHint(0, 16);
    ASSERT_EQ(image.Load(path, 0, 1, -1), 1);
    EXPECT_EQ(image.BitmapHeight(), 32);  // the largest reduction keeping twice the height
    EXPECT_EQ(image.InfoWidth(), 256);
    EXPECT_EQ(image.InfoHeight(), 128);
    // The thumbnail path: sizes from the file information.
    const int width = int(std::nearbyint(70.0 * image.InfoWidth() / image.InfoHeight()));
    ASSERT_EQ(image.Size(width, 70, 4), 1);
    EXPECT_EQ(image.BitmapWidth(), 140);
    ASSERT_EQ(image.Load(path, 0, 1, -1), 1);
    EXPECT_EQ(image.BitmapHeight(), 128);

    // The hint belongs to the control that was given it: another control's load is full size.
    TLEADImage other;
    image.SetLoadSizeHint(0, 16);
    ASSERT_EQ(other.Load(path, 0, 1, -1), 1);
    EXPECT_EQ(other.BitmapHeight(), 128);
    ASSERT_EQ(image.Load(path, 0, 1, -1), 1);
    EXPECT_EQ(image.BitmapHeight(), 32);
}

// ---- sweep --------------------------------------------------------------------------------------------

TEST(LEADImageProcess, SweepOverDepthsAndSizes)
{
    const auto make = [](int bits, bool grey, int w, int h) {
        LBitmap b;
        L_CreateBitmap(&b, w, h, bits);
        if (!grey && bits <= 8) {
            LRgbQuad pal[256];
            for (int i = 0; i < 256; ++i)
                pal[i] = LRgbQuad{std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3), 0};
            b.SetPalette(pal, b.PaletteSize());
        }
        std::uint8_t* p = b.BeginWrite();
        for (int y = 0; y < h; ++y)
            for (int i = 0; i < b.BytesPerLine; ++i)
                b.WriteRow(p, y)[i] = std::uint8_t(i * 31 + y * 17);
        return b;
    };
    const std::vector<std::pair<const char*, std::function<int(TLEADImage&)>>> ops = {
        {"Size", [](TLEADImage& i) { return i.Size(5, 3, 4); }},
        {"Size nearest", [](TLEADImage& i) { return i.Size(2, 9, 0); }},
        {"Rotate", [](TLEADImage& i) { return i.Rotate(9000, 1, clWhite); }},
        {"Rotate free", [](TLEADImage& i) { return i.Rotate(1500, 1, clWhite); }},
        {"FastRotate", [](TLEADImage& i) { return i.FastRotate(18000); }},
        {"Flip", [](TLEADImage& i) { return i.Flip(); }},
        {"Reverse", [](TLEADImage& i) { return i.Reverse(); }},
        {"GrayScale", [](TLEADImage& i) { return i.GrayScale(8); }},
        {"Sharpen", [](TLEADImage& i) { return i.Sharpen(850); }},
        {"GaussianFilter", [](TLEADImage& i) { return i.GaussianFilter(200); }},
        {"BalanceColors", [](TLEADImage& i) { return i.BalanceColors(kGreenOnly, kRedOnly, kBlueOnly); }},
        {"RemoveRedeye", [](TLEADImage& i) { return i.RemoveRedeye(clBlack, 60, 200); }},
        {"Fill", [](TLEADImage& i) { return i.Fill(clWhite); }},
        {"SetRgnRect", [](TLEADImage& i) { return i.SetRgnRect(0, 0, 1, 1, 1); }},
        {"DrawShape", [](TLEADImage& i) {
             i.setDrawPersistence(true);
             i.setShapeWidth(i.BitmapWidth());
             i.setShapeHeight(i.BitmapHeight());
             i.setShadowXDepth(2);
             i.setShapeBorderThickness(1);
             return i.DrawShape(2000, i.Bitmap());
         }},
    };
    const std::pair<int, bool> depths[] = {{1, false}, {4, false}, {8, true}, {8, false}, {24, false}};
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {7, 5}};
    for (auto [bits, grey] : depths)
        for (auto [w, h] : sizes) {
            TLEADImage image;
            Hold(image, make(bits, grey, w, h));
            LBitmap source = make(bits, grey, w, h);
            for (const auto& [name, op] : ops) {
                SCOPED_TRACE(std::to_string(bits) + (grey ? " grey " : " ") + std::to_string(w) + "x" + std::to_string(h) +
                             " " + name);
                ASSERT_EQ(op(image), 1);
                ASSERT_TRUE(image.Allocated());
                ASSERT_EQ(image.StateFlags(), 0);
                ASSERT_GT(image.BitmapWidth(), 0);
                ASSERT_EQ(image.Combine(0, 0, 3, 3, &source, 0, 0, 800), 1);
            }
            L_FreeBitmap(&source);
        }
}

} // namespace
