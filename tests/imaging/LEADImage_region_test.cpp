// The picture control's region: shapes in client pixels through the display transform,
// handles as values, the mouse tools and the rubber band, the polygon's point array, the
// outline and its timer, and the floater.
#include "ImagingFixtures.h"

#include "support/TestEnv.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace imgtest;

namespace {

LColor Gradient(int x, int y) { return LRgb(std::uint8_t(x * 2), std::uint8_t(y * 2), 90); }

// A shown 300 x 200 control holding a 100 x 80 gradient, lifting enabled, a 10 x 10 region at 10, 10.
void ShowWithFloaterRegion(TLEADImage& image)
{
    image.resize(300, 200);
    LBitmap picture = MakePicture(100, 80, Gradient);
    image.setBitmap(&picture);
    L_FreeBitmap(&picture);
    ShowExposed(image);
    image.setEnableFloater(true);
    image.SetRgnRect(10, 10, 10, 10, LRGN_SET);
}

TRect Bounds(TLEADImage& image)
{
    return TRect(image.RgnLeft(), image.RgnTop(), image.RgnLeft() + image.RgnWidth(),
                 image.RgnTop() + image.RgnHeight());
}

// The region's pixels as a set of stored points, for comparing shapes.
std::vector<std::pair<int, int>> Pixels(const LRgnHandle& h)
{
    std::vector<std::pair<int, int>> out;
    const LRect b = h.Bounds();
    for (int y = b.Top; y < b.Bottom; ++y)
        for (int x = b.Left; x < b.Right; ++x)
            if (h.Contains(x, y))
                out.emplace_back(x, y);
    return out;
}

} // namespace

TEST(LEADImageRegion, ClientRectanglesMapThroughTheDisplayToBitmapPixels)
{
    const struct {
        const char* name;
        int zoom;
        bool center;
        int scrollX;
        TRect client;  // Left, Top, then Width and Height as Right and Bottom
        TRect bounds;
    } cases[] = {
        {"100 %", 100, false, 0, {10, 20, 30, 40}, {10, 20, 40, 60}},
        {"200 %", 200, false, 0, {10, 20, 30, 40}, {5, 10, 20, 30}},
        {"200 %, scrolled 50 pixels", 200, false, 50, {10, 20, 30, 40}, {30, 10, 45, 30}},
        {"50 %, centred at 100, 75", 50, true, 0, {110, 80, 20, 10}, {20, 10, 60, 30}},
        {"negative width and height", 100, false, 0, {40, 60, -30, -40}, {10, 20, 40, 60}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        image.resize(300, 200);
        image.setCenterImage(c.center);
        image.setPaintZoomFactor(c.zoom);
        Hold(image, 200, 100, kRed);
        if (c.scrollX)
            image.ScrollMessage(0, TLEADImage::scThumbPosition, c.scrollX);
        int changes = 0;
        image.OnRgnChange = [&](QObject*) { ++changes; };
        EXPECT_EQ(image.SetRgnRect(c.client.Left, c.client.Top, c.client.Right, c.client.Bottom, LRGN_SET), 1);
        EXPECT_TRUE(image.HasRgn());
        EXPECT_EQ(Bounds(image), c.bounds);
        EXPECT_EQ(changes, 1);
    }
}

TEST(LEADImageRegion, ShapesReplaceAndRemoveAndHandlesAreValues)
{
    TLEADImage image;
    image.setObjectName("Img");
    EXPECT_EQ(RaisedMessage([&] { image.SetRgnRect(0, 0, 5, 5, 1); }), "Img \nSetRgnRect: Image not allocated.");
    EXPECT_EQ(RaisedMessage([&] { image.FreeRgn(); }), "Img \nFreeRgn: Image not allocated.");
    EXPECT_EQ(RaisedMessage([&] { image.GetRgnHandle(); }), "Img \nGetRgnHandle: Image not allocated.");
    EXPECT_EQ(RaisedMessage([&] { image.SetRgnHandle({}, 0, 0, 1); }), "Img \nSetRgnHandle: Image not allocated.");
    image.resize(300, 200);
    Hold(image, 200, 100, kRed);

    // Without a region the handle is empty, and that is a success (undo and redo ask always).
    const TLEADImage::TRgnHandle none = image.GetRgnHandle();
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(image.LastError(), 1);

    // An ellipse drawn from right to left is the one drawn from left to right.
    image.SetRgnEllipse(10, 10, 50, 30, LRGN_SET);
    const auto forward = Pixels(image.GetRgnHandle());
    image.SetRgnEllipse(60, 40, -50, -30, LRGN_SET);
    EXPECT_EQ(Pixels(image.GetRgnHandle()), forward);
    EXPECT_FALSE(forward.empty());

    // Mode 1 replaces; an empty rectangle removes the region.
    image.SetRgnRect(100, 50, 20, 10, LRGN_SET);
    EXPECT_EQ(Bounds(image), TRect(100, 50, 120, 60));
    image.SetRgnRect(5, 5, 0, 10, LRGN_SET);
    EXPECT_FALSE(image.HasRgn());

    // A handle onto another control with the offset (-left, -top) gives the shape moved.
    image.SetRgnEllipse(40, 20, 30, 20, LRGN_SET);
    TLEADImage::TRgnHandle h = image.GetRgnHandle();
    TLEADImage other;
    Hold(other, 30, 20, kWhite);
    EXPECT_EQ(other.SetRgnHandle(h, -40, -20, LRGN_SET), 1);
    auto moved = Pixels(h);
    for (auto& p : moved) {
        p.first -= 40;
        p.second -= 20;
    }
    EXPECT_EQ(Pixels(other.GetRgnHandle()), moved);

    // A copy of the bitmap keeps its region.
    LBitmap copy;
    L_CopyBitmap(&copy, image.Bitmap());
    EXPECT_TRUE(L_BitmapHasRgn(&copy));
    L_FreeBitmap(&copy);

    // Handles need no freeing; deleting one empties it.
    EXPECT_TRUE(image.DeleteRgnHandle(h));
    EXPECT_TRUE(h.IsEmpty());
    EXPECT_EQ(image.FreeRgn(), 1);
    EXPECT_FALSE(image.HasRgn());
}

TEST(LEADImageRegion, MouseDragsDrawEachToolClampedToThePicture)
{
    const struct {
        const char* name;
        int tool;
        QPoint from, to;
        TRect bounds;  // empty: no region
    } cases[] = {
        {"rectangle", 1, {20, 20}, {80, 60}, {20, 20, 80, 60}},
        {"rectangle, right to left", 1, {80, 60}, {20, 20}, {20, 20, 80, 60}},
        {"rounded rectangle", 2, {20, 20}, {80, 60}, {20, 20, 80, 60}},
        {"ellipse", 3, {20, 20}, {80, 60}, {20, 20, 80, 60}},
        {"past the picture: clamped to its edges", 1, {150, 80}, {290, 190}, {150, 80, 200, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        image.resize(300, 200);
        Hold(image, 200, 100, kRed);
        ShowExposed(image);
        image.RegionTool = c.tool;
        QTest::mousePress(image.viewport(), Qt::LeftButton, {}, c.from);
        QTest::mouseMove(image.viewport(), (c.from + c.to) / 2);
        QTest::mouseMove(image.viewport(), c.to);
        EXPECT_TRUE(image.ToolActive());
        // The shape shows while it is dragged: its corner is inverted on the window.
        const QImage during = image.viewport()->grab().toImage();
        if (c.tool == 1) {
            const TRect r(std::min(c.from.x(), c.to.x()), std::min(c.from.y(), c.to.y()),
                          std::min(200, std::max(c.from.x(), c.to.x())), std::min(100, std::max(c.from.y(), c.to.y())));
            EXPECT_EQ(ColorAt(during, r.Left, r.Top), LRgb(0, 255, 255)) << "red inverted";
        }
        QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, c.to);
        EXPECT_FALSE(image.ToolActive());
        EXPECT_EQ(Bounds(image), c.bounds);
        if (c.tool == 3) {
            const TLEADImage::TRgnHandle h = image.GetRgnHandle();
            EXPECT_FALSE(h.Contains(20, 20)) << "an ellipse leaves the corners out";
            EXPECT_TRUE(h.Contains(50, 40));
        }
        if (c.tool == 2) {
            const TLEADImage::TRgnHandle h = image.GetRgnHandle();
            EXPECT_FALSE(h.Contains(20, 20)) << "a rounded corner";
            EXPECT_TRUE(h.Contains(50, 20)) << "a straight edge";
        }
        // A press with a tool starts a new shape: the old region goes.
        QTest::mousePress(image.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_FALSE(image.HasRgn());
        QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    }
}

TEST(LEADImageRegion, ARectangleDraggedPastAnEdgeReachesThatEdgeAtEveryZoom)
{
    enum Edge { kLeft, kTop, kRight, kBottom };
    const struct {
        const char* name;
        int width, height;  // the picture
        TLEADImage::TPaintSizeMode mode;
        int zoom;
    } zooms[] = {
        {"100 %", 200, 100, TLEADImage::smZoom, 100},
        {"50 %", 400, 200, TLEADImage::smZoom, 50},
        {"fitted (1024 x 768 into 300 x 200)", 1024, 768, TLEADImage::smFit, 100},
    };
    for (const auto& z : zooms)
        for (Edge edge : {kLeft, kTop, kRight, kBottom}) {
            SCOPED_TRACE(std::string(z.name) + ", edge " + std::to_string(edge));
            TLEADImage image;
            image.resize(300, 200);
            image.setPaintZoomFactor(z.zoom);
            image.setPaintSizeMode(z.mode);
            Hold(image, z.width, z.height, kRed);
            ShowExposed(image);
            image.RegionTool = 1;
            // From the middle of the picture as shown to 40 pixels beyond the edge.
            const QPoint middle(image.DstLeft() + image.DstWidth() / 2, image.DstTop() + image.DstHeight() / 2);
            QPoint beyond = middle;
            switch (edge) {
            case kLeft: beyond.setX(image.DstLeft() - 40); break;
            case kTop: beyond.setY(image.DstTop() - 40); break;
            case kRight: beyond.setX(image.DstLeft() + image.DstWidth() + 40); break;
            case kBottom: beyond.setY(image.DstTop() + image.DstHeight() + 40); break;
            }
            beyond += QPoint(edge == kTop || edge == kBottom ? 10 : 0, edge == kLeft || edge == kRight ? 10 : 0);
            QTest::mousePress(image.viewport(), Qt::LeftButton, {}, middle);
            QTest::mouseMove(image.viewport(), beyond);
            QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, beyond);
            ASSERT_TRUE(image.HasRgn()) << "shown at " << image.DstLeft() << ", " << image.DstTop() << ", "
                                        << image.DstWidth() << " x " << image.DstHeight();
            const TRect b = Bounds(image);
            switch (edge) {
            case kLeft: EXPECT_EQ(b.Left, 0); break;
            case kTop: EXPECT_EQ(b.Top, 0); break;
            case kRight: EXPECT_EQ(b.Right, z.width); break;
            case kBottom: EXPECT_EQ(b.Bottom, z.height); break;
            }
        }
}

TEST(LEADImageRegion, ThePolygonToolChosenDuringADragOrAShrunkArrayTakesThePointsSafely)
{
    const struct {
        const char* name;
        int toolAtPress;
        int capacityDuringDrag;  // -1: left alone
    } cases[] = {
        {"the rectangle tool switched to the polygon", 1, -1},
        {"the rubber band switched to the polygon", 0, -1},
        {"the polygon's array emptied", 4, 0},
        {"the polygon's array shrunk below its points", 4, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        image.resize(300, 200);
        Hold(image, 200, 100, kRed);
        ShowExposed(image);
        image.EnableRubberBand = c.toolAtPress == 0;
        image.RegionTool = c.toolAtPress;
        QTest::mousePress(image.viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseMove(image.viewport(), QPoint(80, 20));
        QTest::mouseMove(image.viewport(), QPoint(80, 30));
        image.RegionTool = 4;
        if (c.capacityDuringDrag >= 0)
            image.SetPolygonCapacity(c.capacityDuringDrag);
        for (const QPoint p : {QPoint(90, 60), QPoint(50, 80), QPoint(20, 60)})
            QTest::mouseMove(image.viewport(), p);
        EXPECT_GE(image.PolygonPointCount(), 3);
        EXPECT_LE(image.PolygonPointCount(), image.PolygonCapacity());
        QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, QPoint(20, 60));
        EXPECT_FALSE(image.ToolActive());
        EXPECT_TRUE(image.HasRgn());
        EXPECT_TRUE(image.GetRgnHandle().Contains(50, 60)) << "inside the polygon of the last points";
    }
}

TEST(LEADImageRegion, TheRubberBandMakesNoRegion)
{
    TLEADImage image;
    image.resize(300, 200);
    Hold(image, 200, 100, kRed);
    ShowExposed(image);
    image.EnableRubberBand = true;
    int bands = 0;
    image.OnRubberBand = [&](QObject*) { ++bands; };
    QTest::mousePress(image.viewport(), Qt::LeftButton, {}, QPoint(90, 70));
    QTest::mouseMove(image.viewport(), QPoint(40, 30));
    QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, QPoint(40, 30));
    EXPECT_EQ(bands, 1);
    EXPECT_EQ(image.RubberBandRect(), TRect(40, 30, 90, 70));
    EXPECT_FALSE(image.HasRgn());
}

TEST(LEADImageRegion, APolygonDragGrowsThePointArrayInStepsOfFifty)
{
    TLEADImage image;
    image.setObjectName("Img");
    image.resize(300, 200);
    Hold(image, 200, 100, kRed);
    ShowExposed(image);
    image.RegionTool = 4;
    QTest::mousePress(image.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(image.PolygonCapacity(), 50);
    // 119 more points: along the top, down the right side and back.
    for (int i = 1; i < 120; ++i) {
        const QPoint p = i < 60 ? QPoint(10 + i * 3, 10) : QPoint(187 - (i - 60) * 3, 10 + (i - 60));
        QTest::mouseMove(image.viewport(), p);
    }
    EXPECT_EQ(image.PolygonPointCount(), 120);
    EXPECT_EQ(image.PolygonCapacity(), 150);
    EXPECT_EQ(image.PolygonPoint(0), TPoint(10, 10));
    const std::string outOfRange = "Img \nPolygonPoint[]: Index out of range.";
    EXPECT_EQ(RaisedMessage([&] { image.setPolygonPoint(150, TPoint()); }), outOfRange);
    EXPECT_EQ(image.LastError(), 0);
    image.setPolygonPoint(149, TPoint(1, 1));
    EXPECT_EQ(image.LastError(), 1);
    QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, QPoint(10, 69));
    EXPECT_TRUE(image.HasRgn());
    EXPECT_EQ(image.PolygonCapacity(), 0);
    for (int index : {0, 1, 149})
        EXPECT_EQ(RaisedMessage([&] { image.setPolygonPoint(index, TPoint()); }), outOfRange) << index;
    // The polygon (a triangle-like fan below the top edge) holds a point inside it.
    EXPECT_TRUE(image.GetRgnHandle().Contains(150, 15));
    EXPECT_FALSE(image.GetRgnHandle().Contains(150, 60));
}

TEST(LEADImageRegion, TheOutlineTimerMovesTheAntsAndStopsForOtherStyles)
{
    TLEADImage image;
    image.resize(120, 100);
    image.setBackColor(clWhite);
    Hold(image, 100, 80, kGrey);
    ShowExposed(image);
    image.SetRgnRect(20, 20, 40, 30, LRGN_SET);
    image.SetRgnFrameType(2);
    EXPECT_TRUE(image.RgnFrameTimerRunning());
    // The outline lies on the region's edge, in black and white dashes.
    QImage grab = image.viewport()->grab().toImage();
    int black = 0, white = 0;
    for (int y : {19, 20})
        for (int x = 20; x < 60; ++x) {
            black += ColorAt(grab, x, y) == LRgb(0, 0, 0);
            white += ColorAt(grab, x, y) == LRgb(255, 255, 255);
        }
    EXPECT_GT(black, 10);
    EXPECT_GT(white, 10);
    EXPECT_EQ(ColorAt(grab, 30, 30), kGrey) << "inside the picture shows";
    QTest::qWait(1150);
    EXPECT_EQ(image.RgnFramePhase(), 1);
    image.SetRgnFrameType(3);
    image.RgnColor = clBlue;
    QTest::qWait(1150);
    EXPECT_FALSE(image.RgnFrameTimerRunning()) << "a filled outline stops the timer at its first tick";
    grab = image.viewport()->grab().toImage();
    EXPECT_EQ(ColorAt(grab, 30, 30), kBlue);
    EXPECT_EQ(ColorAt(grab, 70, 30), kGrey);
    image.SetRgnFrameType(1);
    EXPECT_TRUE(image.RgnFrameTimerRunning());
    image.SetRgnFrameType(0);
    EXPECT_FALSE(image.RgnFrameTimerRunning());
}

TEST(LEADImageRegion, TheFloaterIsTheRegionsPieceAndCombinesInsideAnotherRegion)
{
    TLEADImage image;
    image.resize(300, 200);
    LBitmap picture = MakePicture(100, 80, Gradient);
    image.setBitmap(&picture);
    L_FreeBitmap(&picture);
    image.SetRgnEllipse(20, 30, 40, 20, LRGN_SET);
    image.setAutoFloater(false);
    image.setFloater(image.Bitmap());
    LBitmap* floater = image.Floater();
    ASSERT_NE(floater, nullptr);
    EXPECT_EQ(floater->Width, 40);
    EXPECT_EQ(floater->Height, 20);
    LRect fb;
    L_GetBitmapRgnBounds(floater, nullptr, &fb);
    EXPECT_EQ(fb.Left, 0);
    EXPECT_EQ(fb.Top, 0);
    EXPECT_EQ(image.FloaterDstRect(), TRect(0, 0, 40, 20));

    // Into a white picture that carries the same ellipse: the picture inside, white outside.
    TLEADImage white;
    Hold(white, 40, 20, kWhite);
    white.SetRgnHandle(image.GetRgnHandle(), -20, -30, LRGN_SET);
    white.Combine(0, 0, 40, 20, floater, 0, 0, 800);
    const LBitmap* out = white.Bitmap();
    EXPECT_EQ(PixelOf(*out, 20, 10), Gradient(40, 40)) << "the middle";
    EXPECT_EQ(PixelOf(*out, 0, 0), kWhite) << "a corner outside the ellipse";
    EXPECT_EQ(PixelOf(*out, 39, 19), kWhite);
}

TEST(LEADImageRegion, ADraggedFloaterIsDroppedOverThePicture)
{
    TLEADImage image;
    image.setBackColor(clWhite);
    ShowWithFloaterRegion(image);
    int changes = 0;
    image.OnRgnChange = [&](QObject*) { ++changes; };
    QTest::mousePress(image.viewport(), Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_TRUE(image.FloaterDragging());
    QTest::mouseMove(image.viewport(), QPoint(40, 25));
    QTest::mouseMove(image.viewport(), QPoint(65, 45));
    // The piece shows at the mouse while dragged.
    const QImage during = image.viewport()->grab().toImage();
    EXPECT_EQ(ColorAt(during, 62, 42), Gradient(12, 12));
    QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, QPoint(65, 45));
    EXPECT_FALSE(image.FloaterDragging());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Bounds(image), TRect(60, 40, 70, 50)) << "the region went with the piece";
    const LBitmap* b = image.Bitmap();
    EXPECT_EQ(PixelOf(*b, 62, 42), Gradient(12, 12)) << "dropped over the picture";
    EXPECT_EQ(PixelOf(*b, 12, 12), Gradient(12, 12)) << "the first drag copies";
    EXPECT_EQ(PixelOf(*b, 75, 42), Gradient(75, 42)) << "beside it unchanged";
}

TEST(LEADImageRegion, LiftingAndDroppingAnywhereLeavesEveryPixelOutsideTheFloaterAsItWas)
{
    // The piece (10 x 10 at 10, 10 of a 100 x 80 picture) is pressed at 15, 15, dropped where
    // the mouse is released, then lifted again and dropped at 40, 30.
    const struct {
        const char* name;
        QPoint release;
    } cases[] = {
        {"inside", {55, 45}},
        {"across the left edge", {0, 45}},
        {"across the top edge", {55, 0}},
        {"across the top left corner", {0, 0}},
        {"across the right edge", {100, 45}},
        {"across the bottom edge", {55, 80}},
        {"across the bottom right corner", {100, 80}},
        {"outside", {200, 45}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        ShowWithFloaterRegion(image);
        QTest::mousePress(image.viewport(), Qt::LeftButton, {}, QPoint(15, 15));
        QTest::mouseMove(image.viewport(), c.release);
        QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, c.release);
        ASSERT_FALSE(image.FloaterDragging());
        TRect piece;  // where the piece lies at the end (empty: nowhere)
        if (image.HasRgn()) {
            const TRect dropped = Bounds(image);
            const QPoint grip((dropped.Left + dropped.Right) / 2, (dropped.Top + dropped.Bottom) / 2);
            const QPoint to = grip + QPoint(40 - dropped.Left, 30 - dropped.Top);
            QTest::mousePress(image.viewport(), Qt::LeftButton, {}, grip);
            ASSERT_TRUE(image.FloaterDragging());
            QTest::mouseMove(image.viewport(), to);
            QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, to);
            piece = Bounds(image);
            EXPECT_EQ(piece, TRect(40, 30, 40 + dropped.Width(), 30 + dropped.Height()));
        }
        const QImage seen = LeadBitmapToImage(*image.Bitmap());
        int changed = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool underPiece = x >= piece.Left && x < piece.Right && y >= piece.Top && y < piece.Bottom;
                if (!underPiece && ColorAt(seen, x, y) != Gradient(x, y) && ++changed <= 3)
                    ADD_FAILURE() << "pixel " << x << ", " << y << " changed";
            }
        EXPECT_EQ(changed, 0);
    }
}

TEST(LEADImageRegion, AnActiveFloaterTakesTheGeometricOperationsAndRefusesFastRotate)
{
    TLEADImage image;
    image.setObjectName("Img");
    ShowWithFloaterRegion(image);
    QTest::mousePress(image.viewport(), Qt::LeftButton, {}, QPoint(15, 15));
    QTest::mouseMove(image.viewport(), QPoint(65, 45));
    QTest::mouseRelease(image.viewport(), Qt::LeftButton, {}, QPoint(65, 45));
    ASSERT_EQ(Bounds(image), TRect(60, 40, 70, 50));

    EXPECT_EQ(RaisedMessage([&] { image.FastRotate(9000); }),
              "Img \nError code: -16\nFastRotate: " + S(LeadErrorText(-16)) + " ");
    EXPECT_EQ(image.LastError(), -16);

    // Size works on the piece, which is put back centred on its old place.
    EXPECT_EQ(image.Size(20, 20, 0), 1);
    EXPECT_EQ(image.BitmapWidth(), 100);
    EXPECT_EQ(image.BitmapHeight(), 80);
    EXPECT_EQ(Bounds(image), TRect(55, 35, 75, 55));
    EXPECT_EQ(PixelOf(*image.Bitmap(), 56, 36), Gradient(10, 10)) << "the piece's first pixel, doubled";
    EXPECT_EQ(PixelOf(*image.Bitmap(), 80, 60), Gradient(80, 60)) << "the picture beside it";

    // A commit with AutoFloater ends the floater and the region.
    int changes = 0;
    image.OnChange = [&](QObject*) { ++changes; };
    image.CommitRequest();
    EXPECT_EQ(image.LastError(), 1);
    EXPECT_FALSE(image.HasRgn());
    EXPECT_GT(changes, 0);
}

TEST(LEADImageRegion, TheZoomRectangleShowsInvertedOverThePicture)
{
    TLEADImage image;
    image.resize(120, 100);
    Hold(image, 100, 80, kRed);
    ShowExposed(image);
    image.setEnableZoomInRect(true);
    image.DrawZoomRect(TRect(10, 10, 30, 30), false);
    const QImage grab = image.viewport()->grab().toImage();
    EXPECT_EQ(ColorAt(grab, 9, 20), LRgb(0, 255, 255)) << "the outline, one pixel outside the rectangle";
    EXPECT_EQ(ColorAt(grab, 20, 20), kRed);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 9, 20), kRed) << "not in the back buffer";
}

TEST(LEADImageRegion, PaintRgnOnlyPaintsThePictureInsideTheRegionOnly)
{
    TLEADImage image;
    image.resize(120, 100);
    image.setBackColor(clWhite);
    image.setBackErase(true);
    Hold(image, 100, 80, kRed);
    image.SetRgnRect(10, 10, 20, 20, LRGN_SET);
    image.setPaintRgnOnly(true);
    image.Refresh();
    EXPECT_EQ(ColorAt(image.BackBuffer(), 15, 15), kRed);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 50, 50), kWhite) << "the picture outside the region is not painted";
}
