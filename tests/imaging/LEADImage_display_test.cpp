// The picture control's display: size modes and centring as painted, zoom writes, the form
// loader's rule, scroll bars, client to bitmap coordinates, the paint sequence (frame, passes,
// notifications, the paint counter), merged repaints, BackErase, keys and resizing.
#include "ImagingFixtures.h"

#include "platform/vcl/Forms.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace imgtest;

namespace {

constexpr LColor kBack = LRgb(0, 128, 0);  // clGreen

void Show(TLEADImage& image)
{
    image.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&image));
    QApplication::processEvents();
}

// Counts the control's paints.
struct PaintCounter {
    explicit PaintCounter(TLEADImage& image)
    {
        image.OnPaint = [this](QObject*) { ++paints; };
    }
    int paints = 0;
};

// The painted area's rows (columns) of the picture colour in the back buffer, as [first, last).
std::pair<int, int> Extent(const QImage& buffer, LColor color, bool horizontal, int at)
{
    int first = -1, last = -1;
    const int n = horizontal ? buffer.width() : buffer.height();
    for (int i = 0; i < n; ++i) {
        const LColor c = horizontal ? ColorAt(buffer, i, at) : ColorAt(buffer, at, i);
        if (c == color) {
            if (first < 0)
                first = i;
            last = i + 1;
        }
    }
    return {first, last};
}

TEST(LEADImageDisplay, SizeModesPlaceAndPaintThePictureOnTheBackColour)
{
    const struct {
        const char* name;
        TLEADImage::TPaintSizeMode mode;
        int zoom;  // percent, for the zoom mode
        int pw, ph;
        bool center;
        TLeadBox dst;  // where the picture lands in the client area
    } cases[] = {
        {"fit, wider, centred", TLEADImage::smFit, 0, 600, 200, true, {0, 50, 300, 100}},
        {"fit, wider, at the top", TLEADImage::smFit, 0, 600, 200, false, {0, 0, 300, 100}},
        {"fit, taller, centred", TLEADImage::smFit, 0, 100, 400, true, {125, 0, 50, 200}},
        {"normal, small, centred", TLEADImage::smNormal, 0, 100, 60, true, {100, 70, 100, 60}},
        {"normal, small, at the top left", TLEADImage::smNormal, 0, 100, 60, false, {0, 0, 100, 60}},
        {"zoom 50 %, centred", TLEADImage::smZoom, 50, 400, 300, true, {50, 25, 200, 150}},
        {"zoom 200 %, centred", TLEADImage::smZoom, 200, 100, 60, true, {50, 40, 200, 120}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        image.resize(300, 200);
        image.setBackColor(clGreen);
        image.setCenterImage(c.center);
        if (c.mode == TLEADImage::smZoom)
            image.setPaintZoomFactor(c.zoom);
        else
            image.setPaintSizeMode(c.mode);
        Hold(image, c.pw, c.ph, kRed);
        EXPECT_EQ(image.PaintSizeMode(), c.mode);
        EXPECT_EQ(image.DstWidth(), c.dst.Width);
        EXPECT_EQ(image.DstHeight(), c.dst.Height);
        EXPECT_EQ(image.DstRect(), c.dst.ToRect());

        // Painted without a window: the back buffer holds it.
        image.Refresh();
        const QImage buffer = image.BackBuffer();
        ASSERT_EQ(buffer.size(), QSize(300, 200));
        const TRect r = c.dst.ToRect();
        // The last picture row is a grey ramp (MakeBitmap's mark): check the rows above it.
        const int bottom = r.Bottom - std::max(1, c.dst.Height / c.ph);
        for (const TPoint p : {TPoint(r.Left, r.Top), TPoint(r.Right - 1, r.Top), TPoint(r.Left, bottom - 1),
                               TPoint(r.Right - 1, bottom - 1)})
            EXPECT_EQ(ColorAt(buffer, p.X, p.Y), kRed) << p.X << ", " << p.Y;
        for (const TPoint p : {TPoint(r.Left - 1, r.Top), TPoint(r.Right, r.Top), TPoint(r.Left, r.Top - 1),
                               TPoint(r.Left, r.Bottom)})
            if (p.X >= 0 && p.Y >= 0 && p.X < 300 && p.Y < 200) {
                EXPECT_EQ(ColorAt(buffer, p.X, p.Y), kBack) << p.X << ", " << p.Y;
            }
        const auto across = Extent(buffer, kRed, true, r.Top);
        EXPECT_EQ(across, std::make_pair(r.Left, r.Right));
    }
}

TEST(LEADImageDisplay, APictureLargerThanTheControlStartsAtTheTopLeftWithScrollRanges)
{
    const struct {
        const char* name;
        TLEADImage::TPaintSizeMode mode;
        int zoom;
        int pw, ph;
        bool taller;
    } cases[] = {
        {"normal, wider only", TLEADImage::smNormal, 100, 400, 120, false},
        {"zoom 250 %, wider and taller", TLEADImage::smZoom, 250, 200, 120, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        image.resize(300, 200);
        image.setBackColor(clGreen);
        image.setCenterImage(true);
        if (c.mode == TLEADImage::smZoom)
            image.setPaintZoomFactor(c.zoom);
        else
            image.setPaintSizeMode(c.mode);
        Hold(image, c.pw, c.ph, kRed);
        EXPECT_EQ(image.DstWidth(), c.pw * c.zoom / 100);
        EXPECT_EQ(image.DstHeight(), c.ph * c.zoom / 100);
        EXPECT_EQ(image.DstLeft(), 0);
        EXPECT_EQ(image.HScrollMax(), image.DstWidth() - image.ViewWidth());
        EXPECT_GT(image.HScrollMax(), 0);
        image.Refresh();
        const QImage buffer = image.BackBuffer();
        if (c.taller) {
            EXPECT_EQ(image.DstTop(), 0);
            EXPECT_EQ(image.VScrollMax(), image.DstHeight() - image.ViewHeight());
            EXPECT_EQ(ColorAt(buffer, 0, 0), kRed);
        } else {
            // Centred from top to bottom within the client that the scroll bar leaves.
            EXPECT_EQ(image.VScrollMax(), 0);
            EXPECT_LE(std::abs(2 * image.DstTop() + image.DstHeight() - image.ViewHeight()), 1);
            EXPECT_EQ(ColorAt(buffer, 0, image.DstTop()), kRed);
            EXPECT_EQ(ColorAt(buffer, 0, image.DstTop() - 1), kBack);
        }
    }
}

TEST(LEADImageDisplay, ZoomFactorWrites)
{
    TLEADImage image;
    image.setObjectName("Img");
    image.resize(300, 200);
    Hold(image, 400, 300, kRed);
    image.setPaintSizeMode(TLEADImage::smFit);
    EXPECT_EQ(image.PaintZoomFactor(), 67) << "fitted: 200 / 300";

    // 0 is a valid factor: one pixel.
    image.setPaintZoomFactor(0);
    EXPECT_EQ(image.PaintSizeMode(), TLEADImage::smZoom);
    EXPECT_EQ(image.DstWidth(), 1);
    EXPECT_EQ(image.DstHeight(), 1);
    EXPECT_EQ(image.LastError(), 1);
    image.Refresh();
    EXPECT_TRUE(Near(ColorAt(image.BackBuffer(), 0, 0), kRed, 2)) << "the whole picture in one pixel";
    EXPECT_FALSE(Near(ColorAt(image.BackBuffer(), 1, 0), kRed, 2));

    // A negative factor raises and changes nothing.
    image.setPaintSizeMode(TLEADImage::smFit);
    EXPECT_EQ(RaisedMessage([&] { image.setPaintZoomFactor(-5); }), "Img \nPaintZoomFactor: Invalid value passed.");
    EXPECT_EQ(image.LastError(), -13);
    EXPECT_EQ(image.PaintSizeMode(), TLEADImage::smFit);
    EXPECT_EQ(image.DstWidth(), 267);
    EXPECT_EQ(image.PaintZoomFactor(), 67);

    // The viewer's zoom step: from the fitted factor, repaint off while the mode changes.
    image.setAutoRepaint(false);
    const int factor = image.PaintZoomFactor() + 10;
    image.setPaintSizeMode(TLEADImage::smZoom);
    image.setPaintZoomFactor(factor);
    image.setAutoRepaint(true);
    EXPECT_EQ(image.DstWidth(), 308);
    EXPECT_EQ(image.PaintZoomFactor(), 77);

    // Stretching reads the smaller factor; a write of mode 0 goes back to 100 %.
    image.setPaintSizeMode(TLEADImage::smStretch);
    EXPECT_EQ(image.DstWidth(), image.ViewWidth());
    EXPECT_EQ(image.ZoomX(), 0.75);
    EXPECT_EQ(image.PaintZoomFactor(), 67) << "the smaller factor, 200 / 300";
    image.setPaintSizeMode(TLEADImage::smNormal);
    EXPECT_EQ(image.PaintZoomFactor(), 100);
    EXPECT_EQ(image.DstWidth(), 400);
}

// A window whose description makes one picture control with the given property writes.
class ZoomForm : public TForm {
public:
    explicit ZoomForm(const std::function<void(TLEADImage&)>& describe)
    {
        Load([&] {
            image = new TLEADImage(this);
            image->setObjectName("ViewLEADImage");
            describe(*image);
        });
    }
    TLEADImage* image = nullptr;
};

TEST(LEADImageDisplay, AZoomFactorFromAFormDescriptionKeepsTheDescribedSizeMode)
{
    ZoomForm form([](TLEADImage& image) {
        image.setProperty("PaintSizeMode", TLEADImage::smFit);
        image.setProperty("PaintZoomFactor", 50);
    });
    ASSERT_NE(form.image, nullptr);
    EXPECT_EQ(form.image->PaintSizeMode(), TLEADImage::smFit);
    // After loading the same write switches to the zoom mode.
    form.image->setPaintZoomFactor(50);
    EXPECT_EQ(form.image->PaintSizeMode(), TLEADImage::smZoom);
    EXPECT_EQ(form.image->PaintZoomFactor(), 50);
}

TEST(LEADImageDisplay, ScrollBarsShowWhenThePictureIsLargerAndTheClientShrinks)
{
    TLEADImage image;
    image.resize(300, 200);
    Show(image);
    QScrollBar* h = image.horizontalScrollBar();
    QScrollBar* v = image.verticalScrollBar();
    const struct {
        const char* name;
        int zoom;
        int pw, ph;
        bool hbar, vbar;
    } cases[] = {
        {"fits", 100, 295, 199, false, false},
        {"only wider", 100, 400, 100, true, false},
        {"taller, and then wider than what the bar leaves", 100, 295, 210, true, true},
        {"zoomed", 200, 400, 300, true, true},
        {"zoomed out again", 50, 400, 300, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Hold(image, c.pw, c.ph, kRed);
        image.setPaintZoomFactor(c.zoom);
        QApplication::processEvents();
        EXPECT_EQ(h->isVisible(), c.hbar);
        EXPECT_EQ(v->isVisible(), c.vbar);
        const TRect client = image.ClientRect();
        EXPECT_EQ(image.viewport()->size(), QSize(client.Width(), client.Height())) << "the viewport is the client";
        EXPECT_EQ(client.Width(), 300 - (c.vbar ? v->width() : 0));
        EXPECT_EQ(client.Height(), 200 - (c.hbar ? h->height() : 0));
        EXPECT_EQ(image.HScrollMax(), std::max(0, c.pw * c.zoom / 100 - client.Width()));
        EXPECT_EQ(image.VScrollMax(), std::max(0, c.ph * c.zoom / 100 - client.Height()));
        EXPECT_EQ(h->maximum(), image.HScrollMax());
        EXPECT_EQ(v->maximum(), image.VScrollMax());
    }
    // Fitted to the width, a picture a little taller than the control needs the vertical bar
    // only while the bar is not there: the bar stays and the layout settles.
    Hold(image, 300, 201, kRed);
    image.setPaintSizeMode(TLEADImage::smFitSides);
    QApplication::processEvents();
    EXPECT_TRUE(v->isVisible());
    EXPECT_FALSE(h->isVisible());
    EXPECT_EQ(image.DstWidth(), image.ViewWidth());
    EXPECT_EQ(image.viewport()->width(), image.ViewWidth());

    // Fit mode never needs a bar.
    Hold(image, 2000, 1500, kRed);
    image.setPaintSizeMode(TLEADImage::smFit);
    QApplication::processEvents();
    EXPECT_FALSE(h->isVisible());
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(image.ClientRect(), TRect(0, 0, 300, 200));
}

TEST(LEADImageDisplay, ClientToBitmapNamesThePixelPaintedThere)
{
    // Every pixel of the picture has its own colour; the control shows it enlarged inside a
    // frame. At each client point the colour painted is that of the bitmap pixel named.
    LBitmap picture = MakePicture(8, 6, [](int x, int y) { return LRgb(std::uint8_t(30 * x), std::uint8_t(40 * y), 99); });
    for (int vp : {LVP_TOP_LEFT, LVP_RIGHT_TOP, LVP_BOTTOM_LEFT}) {
        SCOPED_TRACE(vp);
        picture.ViewPerspective = vp;
        TLEADImage image;
        image.resize(200, 150);
        image.setFrameThickness(3);
        image.setCenterImage(true);
        image.setPaintZoomFactor(300);
        image.setBitmap(&picture);
        image.Refresh();
        const QImage buffer = image.BackBuffer();
        const TRect dst = image.DstRect();
        int checked = 0;
        for (int y = dst.Top; y < dst.Bottom; y += 2)
            for (int x = dst.Left; x < dst.Right; x += 2) {
                const int bx = image.ClientToBitmapX(x, y);
                const int by = image.ClientToBitmapY(x, y);
                ASSERT_TRUE(bx >= 0 && bx < 8 && by >= 0 && by < 6) << x << ", " << y;
                EXPECT_EQ(ColorAt(buffer, x, y), LRgb(std::uint8_t(30 * bx), std::uint8_t(40 * by), 99))
                    << x << ", " << y;
                ++checked;
            }
        EXPECT_GT(checked, 100);
    }
    L_FreeBitmap(&picture);

    TLEADImage empty;
    EXPECT_EQ(empty.ClientToBitmapX(10, 10), 0);
    EXPECT_EQ(empty.ClientToBitmapY(10, 10), 0);
}

TEST(LEADImageDisplay, TheFrameSurroundsTheInnerArea)
{
    TLEADImage image;
    image.resize(100, 80);
    image.setBackColor(clGreen);
    image.setFrameOuterThickness(2);
    image.setFrameOuterStyle(TLEADImage::fosRaised);
    image.setFrameOuterHiliteColor(clWhite);
    image.setFrameOuterShadowColor(clGray);
    image.setFrameThickness(3);
    image.setFrameColor(clRed);
    image.setFrameInnerThickness(1);  // inset: shadow at the top left
    image.setFrameInnerShadowColor(clBlue);
    image.setFrameInnerHiliteColor(clYellow);
    image.setPaintSizeMode(TLEADImage::smFit);
    Hold(image, 1000, 1000, kOrange);
    EXPECT_EQ(image.FrameWidth(), 6);
    EXPECT_EQ(image.ViewWidth(), 88);
    EXPECT_EQ(image.DstRect(), TRect(6, 6, 74, 74)) << "fitted into 88 x 68 at the frame's corner";
    image.Refresh();
    const QImage b = image.BackBuffer();
    EXPECT_EQ(ColorAt(b, 0, 0), kWhite);
    EXPECT_EQ(ColorAt(b, 1, 40), kWhite);
    EXPECT_EQ(ColorAt(b, 99, 79), kGrey);
    EXPECT_EQ(ColorAt(b, 50, 78), kGrey);
    EXPECT_EQ(ColorAt(b, 2, 2), kRed);
    EXPECT_EQ(ColorAt(b, 97, 50), kRed);
    EXPECT_EQ(ColorAt(b, 5, 30), kBlue);
    EXPECT_EQ(ColorAt(b, 94, 30), LRgb(255, 255, 0));
    EXPECT_EQ(ColorAt(b, 6, 6), kOrange);
    EXPECT_EQ(ColorAt(b, 80, 30), kBack) << "the inner area beside the picture";

    // A frame that leaves no inner area: the frame is drawn and OnPaint still fires.
    PaintCounter counter(image);
    image.setFrameThickness(60);
    image.Refresh();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 50, 40), kRed);
}

TEST(LEADImageDisplay, OnPaintNotifyFiresBeforeAndAfterEachPass)
{
    using Notes = std::vector<std::pair<unsigned, unsigned>>;
    const struct {
        const char* name;
        int passes;
        TLEADImage::TTransitionStyle transition;
        bool picture;
        Notes notes;  // (pass, type): type 0 the background, 1 the picture
    } cases[] = {
        {"three passes", 3, TLEADImage::etsNone, true, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}},
        {"one pass", 1, TLEADImage::etsNone, true, {{0, 1}, {1, 1}}},
        {"gradient behind", 2, TLEADImage::etsGradient, true, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}},
        {"pattern, no picture", 2, TLEADImage::etsPattern, false, {{0, 0}, {1, 0}, {2, 0}}},
        {"nothing to paint", 4, TLEADImage::etsNone, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        image.resize(60, 40);
        image.setPaintSizeMode(TLEADImage::smFit);
        image.setPaintMaxPasses(c.passes);
        image.setTransitionStyle(c.transition);
        if (c.picture)
            Hold(image, 30, 20, kRed);
        Notes notes;
        std::vector<LColor> shown;
        image.OnPaintNotify = [&](QObject* sender, unsigned pass, unsigned type) {
            EXPECT_EQ(sender, &image);
            notes.emplace_back(pass, type);
            shown.push_back(ColorAt(image.BackBuffer(), 30, 10));
        };
        image.Refresh();
        EXPECT_EQ(notes, c.notes);
        // After a picture pass the back buffer already shows the picture (video frames read it).
        if (c.picture) {
            EXPECT_EQ(shown.back(), kRed);
        }
    }
}

TEST(LEADImageDisplay, PaintWaitsTheNotificationDelayAfterEachPass)
{
    TLEADImage image;
    image.resize(40, 30);
    Hold(image, 40, 30, kRed);
    image.setPaintMaxPasses(3);
    image.setPaintNotificationDelay(15);
    QElapsedTimer clock;
    clock.start();
    image.Refresh();
    EXPECT_GE(clock.elapsed(), 45);
}

TEST(LEADImageDisplay, TwoInvalidatesInARowGiveOnePaintAndRefreshPaintsAtOnce)
{
    TLEADImage image;
    image.resize(80, 60);
    Hold(image, 40, 30, kRed);
    Show(image);
    PaintCounter counter(image);
    image.Invalidate();
    image.Invalidate();
    EXPECT_EQ(counter.paints, 0) << "posted, not painted";
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    image.Refresh();
    EXPECT_EQ(counter.paints, 2);
    // A write with AutoRepaint asks for a repaint; several writes still give one.
    image.setPaintSizeMode(TLEADImage::smFit);
    image.setCenterImage(true);
    image.setPaintDither(TLEADImage::pdDiffusion);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 3);
    // A change asked for while the control paints gives one more paint afterwards.
    bool changed = false;
    image.OnPaint = [&](QObject*) {
        ++counter.paints;
        if (!changed) {
            changed = true;
            image.setBackColor(clBlue);
        }
    };
    image.Refresh();
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 5);
    // A hidden control does not paint.
    image.hide();
    image.Refresh();
    EXPECT_EQ(counter.paints, 5);
}

TEST(LEADImageDisplay, BackEraseWrite)
{
    const struct {
        const char* name;
        bool before, after, autoRepaint;
        int paints;
    } cases[] = {
        {"switched on", false, true, true, 0},
        {"switched off", true, false, true, 1},
        {"switched off without AutoRepaint", true, false, false, 0},
        {"off again", false, false, true, 0},
        {"on again", true, true, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        image.resize(40, 30);
        Hold(image, 10, 10, kRed);
        image.setAutoRepaint(c.autoRepaint);
        image.setBackErase(c.before);
        PaintCounter counter(image);
        image.SetLastError(7);
        image.setBackErase(c.after);
        EXPECT_EQ(image.BackErase(), c.after);
        EXPECT_EQ(image.LastError(), 1);
        EXPECT_EQ(counter.paints, c.paints) << "at once";
    }
}

TEST(LEADImageDisplay, ThePaintCounterAndInPaintHoldForThePaintEvenWhenAHandlerRaises)
{
    TLEADImage outer, inner;
    outer.resize(40, 30);
    inner.resize(40, 30);
    int seen = 0;
    inner.OnPaint = [&](QObject*) {
        seen = TLEADImage::PaintsInProgress();
        EXPECT_TRUE(inner.InPaint());
    };
    outer.OnPaint = [&](QObject*) {
        EXPECT_TRUE(outer.InPaint());
        EXPECT_EQ(TLEADImage::PaintsInProgress(), 1);
        inner.Paint();
        outer.Paint();  // a nested paint of the same control is ignored
    };
    outer.Paint();
    EXPECT_EQ(seen, 2) << "both controls paint at that moment";
    EXPECT_EQ(TLEADImage::PaintsInProgress(), 0);
    EXPECT_FALSE(outer.InPaint());

    outer.OnPaint = [](QObject*) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(outer.Paint(), std::runtime_error);
    EXPECT_FALSE(outer.InPaint());
    EXPECT_EQ(TLEADImage::PaintsInProgress(), 0);
    int paints = 0;
    outer.OnPaint = [&](QObject*) { ++paints; };
    outer.Paint();
    EXPECT_EQ(paints, 1) << "the next paint runs";
}

TEST(LEADImageDisplay, DstWritesScrollWithAutoScrollAndChildControlsFollow)
{
    TLEADImage image;
    image.resize(300, 200);
    image.setPaintZoomFactor(200);
    Hold(image, 400, 300, kRed);  // 800 x 600
    auto* label = new QLabel("over the picture", &image);
    label->move(10, 20);
    ASSERT_GT(image.HScrollMax(), 100);

    image.setDstLeft(5);
    EXPECT_EQ(image.DstLeft(), 0) << "a value above 0 changes nothing";
    image.setDstLeft(-40);
    EXPECT_EQ(image.DstLeft(), -40);
    EXPECT_EQ(image.HScrollPos(), 40);
    EXPECT_EQ(label->pos(), QPoint(-30, 20));
    image.setDstTop(-100000);
    EXPECT_EQ(image.VScrollPos(), image.VScrollMax()) << "as far as the range allows";
    EXPECT_EQ(image.DstTop(), -image.VScrollMax());
    EXPECT_EQ(image.verticalScrollBar()->value(), image.VScrollMax());
    image.Refresh();
    EXPECT_EQ(ColorAt(image.BackBuffer(), 0, 0), kRed);

    // A new picture starts at the top left again; the label goes back to its place.
    Hold(image, 400, 300, kBlue);
    EXPECT_EQ(image.HScrollPos(), 0);
    EXPECT_EQ(image.DstLeft(), 0);
    EXPECT_EQ(label->pos(), QPoint(10, 20));

    // Without AutoScroll the writes store.
    image.setAutoScroll(false);
    image.setDstLeft(5);
    EXPECT_EQ(image.DstLeft(), 5);
    image.setAutoSetRects(false);
    image.setDstWidth(-5);
    EXPECT_EQ(image.DstWidth(), 0);
    image.setDstHeight(-5);
    EXPECT_EQ(image.DstHeight(), -5);
    image.SetDstRect(2, 3, 40, 30);
    EXPECT_EQ(image.DstRect(), TRect(2, 3, 42, 33));
    EXPECT_EQ(image.ZoomX(), 0.1);
    EXPECT_EQ(image.SetDstClipRect(2, 3, 20, 30), 1);
    image.Refresh();
    const QImage b = image.BackBuffer();
    EXPECT_EQ(ColorAt(b, 12, 10), kBlue) << "inside the clip";
    EXPECT_NE(ColorAt(b, 30, 10), kBlue) << "outside the clip";
}

TEST(LEADImageDisplay, KeysFireOnKeyDownWithTheFrameworksKeyCodes)
{
    TLEADImage image;
    image.resize(200, 100);
    image.setPaintZoomFactor(300);
    Hold(image, 400, 300, kRed);
    Show(image);
    image.setFocus();
    QApplication::setActiveWindow(&image);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&image));
    ASSERT_TRUE(image.hasFocus());
    std::vector<std::pair<int, unsigned>> keys;
    image.OnKeyDown = [&](QObject*, int& key, TLEADImage::TShiftState shift) { keys.emplace_back(key, shift); };
    QTest::keyClick(&image, Qt::Key_Home);
    QTest::keyClick(&image, Qt::Key_End);
    QTest::keyClick(&image, Qt::Key_PageDown, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::keyClick(&image, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(&image, Qt::Key_A);
    using K = std::vector<std::pair<int, unsigned>>;
    // The shift keys go down first and count as keys of their own, as in the framework.
    const unsigned shiftCtrl = TLEADImage::ssShift | TLEADImage::ssCtrl;
    EXPECT_EQ(keys, (K{{36, 0},
                       {35, 0},
                       {16, TLEADImage::ssShift},
                       {17, shiftCtrl},
                       {34, shiftCtrl},
                       {18, TLEADImage::ssAlt},
                       {39, TLEADImage::ssAlt},
                       {65, 0}}));
    EXPECT_EQ(image.HScrollPos(), 1) << "Right scrolled a line";
    EXPECT_EQ(image.VScrollPos(), image.VPageStep()) << "Page Down scrolled a page";

    const struct {
        int qt, vk;
    } codes[] = {{Qt::Key_Z, 90},      {Qt::Key_5, 53},      {Qt::Key_F1, 112},     {Qt::Key_F12, 123},
                 {Qt::Key_PageUp, 33}, {Qt::Key_Left, 37},   {Qt::Key_Down, 40},    {Qt::Key_Delete, 46},
                 {Qt::Key_Return, 13}, {Qt::Key_Escape, 27}, {Qt::Key_Space, 32},   {Qt::Key_Shift, 16},
                 {Qt::Key_Minus, 189}, {Qt::Key_VolumeUp, 0}};
    for (const auto& c : codes)
        EXPECT_EQ(TLEADImage::VirtualKeyCode(c.qt), c.vk) << c.qt;
}

TEST(LEADImageDisplay, AResizeLaysThePictureOutAgainAndFiresOnResize)
{
    TLEADImage image;
    image.resize(200, 100);
    image.setPaintSizeMode(TLEADImage::smFit);
    image.setCenterImage(true);
    Hold(image, 400, 400, kRed);
    Show(image);
    int resizes = 0;
    image.OnResize = [&](QObject*) { ++resizes; };
    EXPECT_EQ(image.DstRect(), TRect(50, 0, 150, 100));
    image.resize(100, 300);
    QApplication::processEvents();
    EXPECT_GE(resizes, 1);
    EXPECT_EQ(image.DstRect(), TRect(0, 100, 100, 200));
    EXPECT_EQ(image.BackBuffer().size(), QSize(100, 300));
    EXPECT_EQ(ColorAt(image.grab().toImage(), 50, 150), kRed);
}

TEST(LEADImageDisplay, ThePaintShowsEveryChangeOfThePixelsTheSourceAndTheScaling)
{
    TLEADImage image;
    image.resize(100, 100);
    image.setPaintSizeMode(TLEADImage::smFit);
    Hold(image, 200, 200, kRed);
    image.Refresh();
    EXPECT_EQ(ColorAt(image.BackBuffer(), 20, 20), kRed);

    // Drawing on the bitmap gives its pixels a new generation: the scaled copy is made again.
    TCanvas* canvas = image.GetBitmapDC();
    ASSERT_NE(canvas, nullptr);
    canvas->Brush.Color = clBlue;
    canvas->FillRect(Rect(0, 0, 100, 100));
    image.ReleaseBitmapDC();
    image.Refresh();
    EXPECT_EQ(ColorAt(image.BackBuffer(), 20, 20), kBlue);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 70, 20), kRed);

    // The same picture, smoothly scaled, and a new picture of the same size and colour layout.
    image.setPaintScaling(TLEADImage::psResample);
    image.Refresh();
    EXPECT_EQ(ColorAt(image.BackBuffer(), 20, 20), kBlue);
    Hold(image, 200, 200, kOrange);
    image.Refresh();
    EXPECT_EQ(ColorAt(image.BackBuffer(), 20, 20), kOrange);

    // An animation frame paints only the picture: no background, no OnPaint.
    int paints = 0;
    image.OnPaint = [&](QObject*) { ++paints; };
    image.setPaintSizeMode(TLEADImage::smNormal);  // 200 x 200 from the top left
    canvas = image.GetBitmapDC();
    canvas->Brush.Color = clBlue;
    canvas->FillRect(Rect(0, 0, 200, 200));
    image.ReleaseBitmapDC();
    image.PaintCurrentFrame();
    EXPECT_EQ(ColorAt(image.BackBuffer(), 80, 80), kBlue);
    EXPECT_EQ(paints, 0);
}

TEST(LEADImageDisplay, DroppingFilesHandsOnAndLoadsOnlyTheFirst)
{
    const QString dir = kvtest::MakeTempFolder("drop");
    ASSERT_EQ(SaveWithKernel(dir + "first.bmp", 30, 20, kRed, LFMT_BMP), 1);
    ASSERT_EQ(SaveWithKernel(dir + "second.bmp", 50, 40, kBlue, LFMT_BMP), 1);
    const struct {
        const char* name;
        bool allowed, autoLoad;
        int width;  // of the picture held afterwards
        QStringList handed;
    } cases[] = {
        {"loaded", true, true, 30, {dir + "first.bmp"}},
        {"handed on only", true, false, 0, {dir + "first.bmp"}},
        {"not allowed", false, true, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        image.resize(100, 100);
        image.setDropFilesAllowed(c.allowed);
        image.setDropAutoLoad(c.autoLoad);
        QStringList handed;
        image.OnDropFile = [&](QObject*, const QString& file) { handed << file; };
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dir + "first.bmp"), QUrl::fromLocalFile(dir + "second.bmp")});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image.viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.allowed);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image.viewport(), &drop);
        EXPECT_EQ(handed, c.handed);
        EXPECT_EQ(image.BitmapWidth(), c.width);
    }
}

TEST(LEADImageDisplay, AutoSizeGivesTheControlThePicturesSize)
{
    TLEADImage image;
    image.resize(300, 200);
    image.setAutoSize(true);
    image.setFrameThickness(2);
    Hold(image, 120, 80, kRed);
    EXPECT_EQ(image.size(), QSize(124, 84));
    EXPECT_FALSE(image.horizontalScrollBar()->isVisibleTo(&image));
    EXPECT_EQ(image.ViewWidth(), 120);
    EXPECT_EQ(image.DstRect(), TRect(2, 2, 122, 82));
}

TEST(LEADImageDisplay, ATransparentControlShowsWhatLiesBeneathBesideThePicture)
{
    QWidget parent;
    parent.resize(120, 80);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 0));
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    auto* image = new TLEADImage(&parent);
    image->setGeometry(10, 10, 100, 60);
    image->setTransparent(true);
    image->setCenterImage(true);
    Hold(*image, 20, 20, kRed);
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(ColorAt(shot, 60, 40), kRed) << "the picture";
    EXPECT_EQ(ColorAt(shot, 15, 15), LRgb(255, 255, 0)) << "beside it, the parent";
    EXPECT_EQ(image->BackBuffer().format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(qAlpha(image->BackBuffer().pixel(5, 5)), 0);
}

// A control that draws an overlay over its picture.
class OverlaidImage : public TLEADImage {
protected:
    void DrawOverlays(QPainter& painter) override { painter.fillRect(QRect(0, 0, 5, 5), Qt::magenta); }
};

TEST(LEADImageDisplay, OverlaysShowOnTheWindowButNotInTheBackBuffer)
{
    OverlaidImage image;
    image.resize(40, 40);
    image.setPaintSizeMode(TLEADImage::smFit);
    Hold(image, 40, 40, kRed);
    const QImage shot = image.grab().toImage();
    EXPECT_EQ(ColorAt(shot, 2, 2), LRgb(255, 0, 255));
    EXPECT_EQ(ColorAt(shot, 20, 20), kRed);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 2, 2), kRed);
}

// The overlays over the picture (the floater, the region's outline, the control's own) show
// again after every repaint of the kept scaled copy.
TEST(LEADImageDisplay, TheOverlaysShowAfterEveryRepaint)
{
    OverlaidImage image;
    image.resize(70, 50);
    image.setPaintSizeMode(TLEADImage::smStretch);
    Hold(image, 70, 50, kGrey);
    // A blue floater in the top left corner (under the control's own overlay), a region filled
    // with red in the middle.
    TLEADImage piece;
    Hold(piece, 10, 10, kBlue);
    piece.SetRgnRect(0, 0, 10, 10, LRGN_SET);
    image.setAutoFloater(false);
    image.setFloater(piece.Bitmap());
    image.SetRgnRect(30, 20, 10, 10, LRGN_SET);
    image.RgnColor = clRed;
    image.SetRgnFrameType(3);
    Show(image);
    for (const std::string repaint : {"first", "refresh", "refresh again", "invalidate"}) {
        SCOPED_TRACE(repaint);
        if (repaint == "invalidate") {
            image.Invalidate();
            QApplication::processEvents();
        } else if (repaint != "first") {
            image.Refresh();
        }
        const QImage shot = image.viewport()->grab().toImage();
        EXPECT_EQ(ColorAt(shot, 2, 2), LRgb(255, 0, 255)) << "the control's own overlay";
        EXPECT_EQ(ColorAt(shot, 7, 7), kBlue) << "the floater";
        EXPECT_EQ(ColorAt(shot, 35, 25), kRed) << "the filled region";
        EXPECT_EQ(ColorAt(shot, 50, 10), kGrey) << "the picture";
        EXPECT_EQ(ColorAt(image.BackBuffer(), 35, 25), kGrey) << "the back buffer holds the picture only";
    }
}

} // namespace
