// The picture control's animation playback (enabling, the recursion limit of zero delays, a
// GIF played in order with its delays, looping) and its drawing canvas (the client-to-bitmap
// mapping under zoom, the window canvas clipped to the inner area).
#include "ImagingFixtures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

using namespace imgtest;

namespace {

LColor ShownColor(TLEADImage& image) { return ColorAt(image.BackBuffer(), 2, 2); }

// A list of `count` frames with a delay of 0, frame i of colour (i, 0, 0).
void HoldFrames(TLEADImage& image, int count)
{
    LBitmapList* list = nullptr;
    L_CreateBitmapList(&list);
    for (int i = 0; i < count; ++i) {
        LBitmap b = MakePicture(8, 8, [i](int, int) { return LRgb(std::uint8_t(i), 0, 0); });
        b.Delay = 0;
        L_InsertBitmapListItem(list, -1, &b);
        L_FreeBitmap(&b);
    }
    image.setBitmapList(list);
    L_DestroyBitmapList(list);
    image.RefreshCanvasInfo();
}

} // namespace

TEST(LEADImageAnimation, EnablingNeedsAPictureAndTwiceIsANoOp)
{
    TLEADImage image;
    image.setObjectName("Img");
    EXPECT_EQ(RaisedMessage([&] { image.AnimationEnable(true); }), "Img \nAnimationEnable: No bitmap list.");
    EXPECT_EQ(image.LastError(), -2);

    HoldFrames(image, 3);
    std::vector<bool> fired;
    image.OnAnimate = [&](QObject*, bool on) { fired.push_back(on); };
    image.AnimationEnable(true);
    EXPECT_TRUE(image.AnimationPlaying());
    image.SetLastError(7);
    image.AnimationEnable(true);
    EXPECT_EQ(image.LastError(), 1);
    EXPECT_EQ(fired, std::vector<bool>{true}) << "the second call does nothing";
    image.AnimationEnable(false);
    EXPECT_FALSE(image.AnimationPlaying());
    EXPECT_EQ(fired, (std::vector<bool>{true, false}));
    EXPECT_EQ(image.BitmapListCount(), 3) << "the list stays";
}

TEST(LEADImageAnimation, ZeroDelaysAdvanceAtMostFiftyFramesBeforeTheTimerRuns)
{
    TLEADImage image;
    image.resize(8, 8);
    HoldFrames(image, 400);
    image.AnimationEnable(true);
    auto* timer = image.findChild<QTimer*>("PlaybackTimer");
    ASSERT_NE(timer, nullptr);
    QElapsedTimer clock;
    clock.start();
    while (image.PlaybackFrameIndex() == 0 && clock.elapsed() < 5000) {
        QThread::msleep(2);
        QApplication::processEvents();
    }
    // One run of the timer: the step and at most 50 more at once, then the timer again.
    EXPECT_GE(image.PlaybackFrameIndex(), 2);
    EXPECT_LE(image.PlaybackFrameIndex(), 51);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(ShownColor(image), LRgb(std::uint8_t(image.PlaybackFrameIndex() - 1), 0, 0));
}

TEST(LEADImageAnimation, AGifPlaysItsFramesInOrderWithItsDelaysAndStops)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("three.gif");
    ASSERT_TRUE(WriteTimedGif(path, 6, 4, {{1, 10}, {2, 20}, {3, 5}}, -1));
    TLEADImage image;
    image.resize(6, 4);
    image.setAutoAnimate(true);
    std::vector<bool> animate;
    image.OnAnimate = [&](QObject*, bool on) { animate.push_back(on); };
    ASSERT_EQ(image.Load(path, 0, 1, -1), 1);
    EXPECT_TRUE(image.AnimationPlaying());
    EXPECT_FALSE(image.LoopAnimation());

    // Watch the frames as they come (the timer may run a little early: coarse timers).
    std::vector<std::pair<LColor, qint64>> seen;
    QElapsedTimer clock;
    clock.start();
    while (image.AnimationPlaying() && clock.elapsed() < 5000) {
        const LColor now = ShownColor(image);
        if (seen.empty() || seen.back().first != now)
            seen.emplace_back(now, clock.elapsed());
        QApplication::processEvents();
        QThread::msleep(1);
    }
    std::vector<LColor> colors;
    for (const auto& s : seen)
        if (s.first != LRgb(0, 0, 0))  // the blank first frame of the canvas
            colors.push_back(s.first);
    ASSERT_GE(colors.size(), 3u);
    EXPECT_EQ(std::vector<LColor>(colors.begin(), colors.begin() + 3), (std::vector<LColor>{kRed, kGreen, kBlue}));
    const auto at = [&](LColor c) {
        for (const auto& s : seen)
            if (s.first == c)
                return s.second;
        return qint64(-1);
    };
    EXPECT_GE(at(kGreen) - at(kRed), 85) << "the red frame shows 100 ms";
    EXPECT_GE(at(kBlue) - at(kGreen), 175) << "the green frame shows 200 ms";
    EXPECT_FALSE(image.AnimationPlaying()) << "no loop: it ends after the last frame";
    EXPECT_EQ(animate, (std::vector<bool>{true, false}));
}

TEST(LEADImageAnimation, AGifWithALoopCountOfZeroLoops)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("loop.gif");
    ASSERT_TRUE(WriteTimedGif(path, 4, 4, {{1, 0}, {2, 0}}, 0));
    TLEADImage image;
    image.setAutoAnimate(true);
    ASSERT_EQ(image.Load(path, 0, 1, -1), 1);
    EXPECT_TRUE(image.LoopAnimation());
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(2);
    }
    EXPECT_TRUE(image.AnimationPlaying());
    // A new load ends the playback of the old list.
    ASSERT_TRUE(WriteTiffPages(dir.filePath("one.tif"), {kRed}, 4, 4));
    ASSERT_EQ(image.Load(dir.filePath("one.tif"), 0, 1, -1), 1);
    EXPECT_FALSE(image.AnimationPlaying());
}

TEST(LEADImageCanvas, DrawingOnTheBitmapMapsClientPointsUnderZoom)
{
    TLEADImage image;
    image.resize(100, 80);
    Hold(image, 40, 30, kWhite);
    image.setPaintZoomFactor(200);
    image.setDrawPersistence(true);
    image.setDrawFillColor(clRed);
    image.setDrawFillStyle(bsSolid);
    TCanvas* canvas = image.BeginDrawCanvas(false);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(image.DrawMapping().map(QPointF(20, 20)), QPointF(10, 10));
    canvas->FillRect(TRect(20, 20, 22, 22));
    image.EndDrawCanvas(canvas);
    const auto pixel = [&](int x, int y) {
        const std::uint8_t* p = image.Bitmap()->Row(y) + 3 * x;
        return LRgb(p[2], p[1], p[0]);
    };
    EXPECT_EQ(pixel(10, 10), kRed);
    EXPECT_EQ(pixel(11, 11), kWhite);
    EXPECT_EQ(pixel(9, 10), kWhite);
}

TEST(LEADImageCanvas, DrawingOnTheWindowStaysInsideTheFrame)
{
    TLEADImage image;
    image.resize(60, 40);
    image.setFrameThickness(2);
    image.setFrameInnerThickness(1);
    image.setFrameOuterThickness(1);
    EXPECT_EQ(image.FrameWidth(), 4);
    Hold(image, 20, 10, kWhite);
    const TRect client = image.ClientRect(), inner = image.InnerClientRect();
    EXPECT_EQ(inner, TRect(4, 4, client.Right - 4, client.Bottom - 4));
    image.Refresh();
    image.setDrawFillColor(clBlue);
    image.setDrawFillStyle(bsSolid);
    TCanvas* canvas = image.BeginDrawCanvas(false);
    ASSERT_NE(canvas, nullptr);
    canvas->FillRect(TRect(0, 0, 60, 40));
    image.EndDrawCanvas(canvas);
    const QImage shown = image.BackBuffer();
    EXPECT_EQ(ColorAt(shown, inner.Left, inner.Top), kBlue);
    EXPECT_EQ(ColorAt(shown, inner.Right - 1, inner.Bottom - 1), kBlue);
    EXPECT_NE(ColorAt(shown, inner.Left - 1, inner.Top), kBlue);
    EXPECT_NE(ColorAt(shown, inner.Right, inner.Bottom - 1), kBlue);
}
