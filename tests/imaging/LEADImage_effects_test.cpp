// The picture control's effect paint: the progress contract that video production counts on
// (swept over every effect number), passes and their notifications, stopping from OnStatus,
// the EffectDelay waits, steps reaching the window, the transparent colour, the transition
// background and the display adjustments.
#include "ImagingFixtures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace imgtest;

namespace {

constexpr LColor kOld = LRgb(20, 40, 60), kNew = LRgb(220, 200, 30);

void HoldSolid(TLEADImage& image, int w, int h, LColor c)
{
    LBitmap b = MakePicture(w, h, [c](int, int) { return c; });
    image.setBitmap(&b);
    L_FreeBitmap(&b);
}

int CountColor(const QImage& image, LColor c)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += ColorAt(image, x, y) == c;
    return n;
}

std::vector<int> AllEffects()
{
    static const int kRanges[][2] = {{1000, 1001},   {2000, 2554},   {3000, 3005},   {4000, 4029},
                                     {5000, 5263},   {6000, 6525},   {7000, 7263},   {8000, 8259},
                                     {9000, 9001},   {10000, 10003}, {11000, 11006}, {12000, 12009},
                                     {13000, 13007}, {14000, 14007}, {15000, 15035}, {16000, 16035}};
    std::vector<int> all;
    for (const auto& r : kRanges)
        for (int n = r[0]; n <= r[1]; ++n)
            all.push_back(n);
    return all;
}

void Show(TLEADImage& image)
{
    image.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&image));
    QApplication::processEvents();
}

// Counts the paint events of a widget.
struct PaintEvents : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        count += e->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

// Every effect number: 64 reports (the plain paint one), rising, step x 100 div 64, one 100 at
// the end, 60 of them below 94 %; half way the buffer shows both pictures; at the end it is
// what the plain paint gives.
TEST(LEADImageEffects, EveryNumberKeepsTheProgressContract)
{
    constexpr int w = 32, h = 24;
    TLEADImage plain;
    plain.resize(w, h);
    HoldSolid(plain, w, h, kNew);
    plain.Refresh();
    const QImage expected = plain.BackBuffer().copy();

    TLEADImage image;
    image.resize(w, h);
    image.setEffectGrain(2);
    image.setEnableProgressEvent(true);
    std::vector<int> reports;
    int halfOld = 0, halfNew = 0;
    image.OnStatus = [&](QObject*, int percent) {
        reports.push_back(percent);
        if (reports.size() == 32) {
            halfOld = CountColor(image.BackBuffer(), kOld);
            halfNew = CountColor(image.BackBuffer(), kNew);
        }
    };
    for (const int effect : AllEffects()) {
        SCOPED_TRACE(effect);
        image.setPaintEffect(1000);
        HoldSolid(image, w, h, kOld);
        image.Refresh();
        image.setPaintEffect(effect);
        HoldSolid(image, w, h, kNew);
        reports.clear();
        image.Refresh();
        if (effect == 1000) {
            ASSERT_EQ(reports, std::vector<int>{100});
        } else {
            ASSERT_EQ(reports.size(), 64u);
            for (int k = 1; k <= 64; ++k)
                ASSERT_EQ(reports[std::size_t(k - 1)], k * 100 / 64) << k;
            EXPECT_EQ(std::count_if(reports.begin(), reports.end(), [](int p) { return p < 94; }), 60);
            EXPECT_GT(halfOld, 0);
            EXPECT_GT(halfNew, 0);
        }
        ASSERT_EQ(image.BackBuffer(), expected);
    }
}

TEST(LEADImageEffects, PassesShareTheStepsAndNotifyAroundEachPass)
{
    const struct {
        int effect, passes;
        std::vector<std::size_t> reportsAfterPass;  // reports counted at OnPaintNotify(n, 1)
    } cases[] = {
        {1000, 3, {0, 0, 0, 1}},  // three whole paints, one report at the end
        {2000, 1, {0, 64}},
        {2000, 3, {0, 21, 42, 64}},
        {5003, 64, {}},  // one step a pass
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.effect << " in " << c.passes);
        TLEADImage image;
        image.resize(40, 30);
        HoldSolid(image, 40, 30, kNew);
        image.setPaintMaxPasses(c.passes);
        image.setPaintEffect(c.effect);
        image.setEnableProgressEvent(true);
        std::size_t reports = 0;
        std::vector<std::size_t> atNotify;
        image.OnStatus = [&](QObject*, int) { ++reports; };
        image.OnPaintNotify = [&](QObject*, unsigned, unsigned type) {
            if (type == 1)
                atNotify.push_back(reports);
        };
        image.Refresh();
        EXPECT_EQ(atNotify.size(), std::size_t(c.passes + 1));
        if (!c.reportsAfterPass.empty()) {
            EXPECT_EQ(atNotify, c.reportsAfterPass);
        }
        EXPECT_EQ(reports, c.effect == 1000 ? 1u : 64u);
    }
}

TEST(LEADImageEffects, SwitchingProgressOffInOnStatusStopsThePaint)
{
    // The capture of a video transition stops at 94 %: the wipe from the left is then short of
    // its right edge.
    TLEADImage image;
    image.resize(64, 8);
    HoldSolid(image, 64, 8, kOld);
    image.Refresh();
    image.setEffectGrain(1);
    image.setPaintEffect(5000);
    HoldSolid(image, 64, 8, kNew);
    image.setEnableProgressEvent(true);
    std::vector<int> reports;
    image.OnStatus = [&](QObject*, int percent) {
        reports.push_back(percent);
        if (percent >= 94)
            image.setEnableProgressEvent(false);
    };
    image.Refresh();
    ASSERT_EQ(reports.size(), 61u);
    EXPECT_EQ(reports.back(), 95);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 0, 4), kNew);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 63, 4), kOld);
}

TEST(LEADImageEffects, StepsReachTheWindowWithTheirDelayUnlessSkipped)
{
    TLEADImage image;
    image.resize(48, 32);
    HoldSolid(image, 48, 32, kOld);
    Show(image);
    image.Refresh();
    image.setPaintEffect(6001);
    image.setEffectDelay(3);
    PaintEvents events;
    image.viewport()->installEventFilter(&events);
    HoldSolid(image, 48, 32, kNew);
    QElapsedTimer clock;
    clock.start();
    image.Refresh();
    EXPECT_GE(clock.elapsed(), 64 * 3);
    EXPECT_GE(events.count, 64) << "every step is painted on the window";

    // The capture of video frames skips the waits.
    image.setSkipEffectDelay(true);
    image.setEffectDelay(50);
    HoldSolid(image, 48, 32, kOld);
    clock.restart();
    image.Refresh();
    EXPECT_LT(clock.elapsed(), 64 * 50);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 24, 16), kOld);
}

TEST(LEADImageEffects, AnInvalidatedEffectPaintsAfterThePaintEvent)
{
    TLEADImage image;
    image.resize(40, 30);
    HoldSolid(image, 40, 30, kOld);
    Show(image);
    image.Refresh();
    image.setPaintEffect(2000);
    image.setEnableProgressEvent(true);
    int reports = 0;
    image.OnStatus = [&](QObject*, int) { ++reports; };
    HoldSolid(image, 40, 30, kNew);  // invalidates
    for (int i = 0; i < 10 && reports < 64; ++i)
        QApplication::processEvents();
    EXPECT_EQ(reports, 64);
    EXPECT_EQ(ColorAt(image.BackBuffer(), 20, 15), kNew);
}

TEST(LEADImageEffects, TheTransparentColorIsLeftOutAndShowsTheTransitionBehind)
{
    // A picture whose left half is the transparent colour, over a left-to-right gradient from
    // red to blue painted through an effect.
    TLEADImage image;
    image.resize(40, 20);
    image.setPaintSizeMode(TLEADImage::smStretch);
    LBitmap b = MakePicture(40, 20, [](int x, int) { return x < 20 ? kGreen : kNew; });
    image.setBitmap(&b);
    L_FreeBitmap(&b);
    image.setUseTransparentColor(true);
    image.setTransparentColor(TColor(kGreen));
    image.setTransitionStyle(TLEADImage::etsGradient);
    image.setGradientStyle(1000);
    image.setGradientStartColor(TColor(kRed));
    image.setGradientEndColor(TColor(kBlue));
    image.setTransitionEffect(8001);
    image.setPaintEffect(2000);
    image.Refresh();
    const QImage shown = image.BackBuffer();
    EXPECT_EQ(ColorAt(shown, 0, 10), kRed);
    EXPECT_NE(ColorAt(shown, 19, 10), kGreen);
    EXPECT_EQ(ColorAt(shown, 30, 10), kNew);
    EXPECT_EQ(CountColor(shown, kGreen), 0);
}

TEST(LEADImageEffects, ContrastIntensityAndGammaChangeTheDisplayOnly)
{
    const struct {
        int contrast, intensity, gamma;
        LColor shown;
    } cases[] = {
        {0, 0, 100, LRgb(100, 150, 200)},
        {0, 1000, 100, LRgb(255, 255, 255)},
        {0, -1000, 100, LRgb(0, 0, 0)},
        {-1000, 0, 100, LRgb(128, 128, 128)},
        {0, 0, 200, LRgb(160, 196, 226)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.contrast << " " << c.intensity << " " << c.gamma);
        TLEADImage image;
        image.resize(20, 10);
        HoldSolid(image, 20, 10, LRgb(100, 150, 200));
        image.setPaintContrast(c.contrast);
        image.setPaintIntensity(c.intensity);
        image.setPaintGamma(c.gamma);
        image.Refresh();
        const LColor shown = ColorAt(image.BackBuffer(), 5, 5);
        EXPECT_NEAR(LRedOf(shown), LRedOf(c.shown), 1);
        EXPECT_NEAR(LGreenOf(shown), LGreenOf(c.shown), 1);
        EXPECT_NEAR(LBlueOf(shown), LBlueOf(c.shown), 1);
        const std::uint8_t* p = image.Bitmap()->Row(5) + 15;
        EXPECT_EQ(LRgb(p[2], p[1], p[0]), LRgb(100, 150, 200)) << "the bitmap keeps its pixels";
    }
}

// Under the sanitizers of the test build: every effect number, and every gradient behind the
// picture, on controls and pictures of one pixel, one row, one column and odd sizes.
TEST(LEADImageEffects, NoNumberFailsOnTinyOrOddSizes)
{
    const QSize sizes[] = {{1, 1}, {1, 9}, {9, 1}, {7, 5}};
    for (const QSize& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        TLEADImage image;
        image.resize(size);
        image.setPaintSizeMode(TLEADImage::smStretch);
        image.setWandSize(2);
        image.setEffectGrain(3);
        HoldSolid(image, size.width() * 3 + 1, size.height() + 2, kNew);
        for (const int effect : AllEffects()) {
            image.setPaintEffect(effect);
            image.Refresh();
        }
        image.setTransitionStyle(TLEADImage::etsGradient);
        image.setTransitionEffect(2001);
        image.setUseTransparentColor(true);
        for (const int style : {1000, 1015, 2000, 2007, 3000, 3001, 4000, 4001, 5000, 5007}) {
            image.setGradientStyle(style);
            image.Refresh();
        }
        image.setTransitionStyle(TLEADImage::etsPattern);
        for (int pattern = 0; pattern < 8; ++pattern) {
            image.setPatternStyle(pattern);
            image.Refresh();
        }
        EXPECT_FALSE(image.BackBuffer().isNull());
    }
}
