// The picture control's scrolling: the scroll request table, page and line steps, the wheel
// rule, the scroll bars driven by hand, the keys, AutoScroll and the scroll step writers.
#include "ImagingFixtures.h"

#include "support/TestEnv.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <vector>

using namespace imgtest;

namespace {

// A control of 200 x 100 holding a 600 x 1000 picture at 100 %: page steps 60 and 100.
struct Scrolled {
    TLEADImage image;
    int before = 0, after = 0;
    Scrolled()
    {
        image.resize(200, 100);
        Hold(image, 600, 1000, kRed);
        image.OnBeforeScroll = [this](QObject*) { ++before; };
        image.OnScroll = [this](QObject*) { ++after; };
    }
    int Pos(int bar) const { return bar == 0 ? image.HScrollPos() : image.VScrollPos(); }
    int Max(int bar) const { return bar == 0 ? image.HScrollMax() : image.VScrollMax(); }
    QScrollBar* Bar(int bar) { return bar == 0 ? image.horizontalScrollBar() : image.verticalScrollBar(); }
    void MoveTo(int bar, int pos) { image.ScrollMessage(bar, TLEADImage::scThumbPosition, pos); }
};

void SendWheel(TLEADImage& image, int delta, Qt::KeyboardModifiers mods = {}, Qt::MouseButtons buttons = {})
{
    const QPoint at(20, 20);
    QWheelEvent e(at, image.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), buttons, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(image.viewport(), &e);
}

} // namespace

TEST(LEADImageScroll, ScrollRequestsMoveByTheirStepWithinTheRange)
{
    constexpr int kMax = -1;  // the bar's maximum
    const struct {
        const char* name;
        int bar, code, thumb, start, expected;
    } cases[] = {
        {"line up, vertical: 2", 1, TLEADImage::scLineUp, 0, 50, 48},
        {"line down, vertical: 2", 1, TLEADImage::scLineDown, 0, 50, 52},
        {"line left: 1", 0, TLEADImage::scLineUp, 0, 30, 29},
        {"line right: 1", 0, TLEADImage::scLineDown, 0, 30, 31},
        {"page up stops at 0", 1, TLEADImage::scPageUp, 0, 50, 0},
        {"page down: a tenth of the picture", 1, TLEADImage::scPageDown, 0, 50, 150},
        {"page right: a tenth of the width", 0, TLEADImage::scPageDown, 0, 30, 90},
        {"thumb position", 1, TLEADImage::scThumbPosition, 300, 50, 300},
        {"thumb track past the end stops at the maximum", 1, TLEADImage::scThumbTrack, 100000, 50, kMax},
        {"thumb track before the start stops at 0", 0, TLEADImage::scThumbTrack, -7, 30, 0},
        {"top", 1, TLEADImage::scTop, 0, 50, 0},
        {"bottom", 1, TLEADImage::scBottom, 0, 50, kMax},
        {"an unknown code does nothing", 1, 9, 0, 50, 50},
        {"line down at the maximum stays", 1, TLEADImage::scLineDown, 0, kMax, kMax},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scrolled s;
        ASSERT_EQ(s.image.VScrollMax(), 1000 - s.image.ViewHeight());
        ASSERT_EQ(s.image.HScrollMax(), 600 - s.image.ViewWidth());
        s.MoveTo(c.bar, c.start == kMax ? s.Max(c.bar) : c.start);
        s.before = s.after = 0;
        s.image.ScrollMessage(c.bar, c.code, c.thumb);
        const int expected = c.expected == kMax ? s.Max(c.bar) : c.expected;
        EXPECT_EQ(s.Pos(c.bar), expected);
        EXPECT_EQ(c.bar == 0 ? s.image.DstLeft() : s.image.DstTop(), -expected) << "the picture moves with it";
        EXPECT_EQ(s.Bar(c.bar)->value(), expected) << "the bar shows the position";
        const bool moved = expected != (c.start == kMax ? s.Max(c.bar) : c.start);
        EXPECT_EQ(s.before, moved ? 1 : 0) << "OnBeforeScroll only before a move";
        EXPECT_EQ(s.after, 1) << "OnScroll after every request";
    }
}

TEST(LEADImageScroll, RequestsAreRefusedWithoutEnableScrollAndMoveNothingWithoutAutoScroll)
{
    Scrolled s;
    s.image.setEnableScroll(false);
    s.image.ScrollMessage(1, TLEADImage::scPageDown);
    EXPECT_EQ(s.image.VScrollPos(), 0);
    EXPECT_EQ(s.after, 0);
    s.image.setEnableScroll(true);
    s.image.setAutoScroll(false);
    s.image.ScrollMessage(1, TLEADImage::scPageDown);
    EXPECT_EQ(s.image.VScrollPos(), 0);
    EXPECT_EQ(s.before + s.after, 0) << "no scroll events without AutoScroll";
    s.image.setAutoScroll(true);
    s.image.ScrollMessage(1, TLEADImage::scPageDown);
    EXPECT_EQ(s.image.VScrollPos(), 100);
}

TEST(LEADImageScroll, PageStepsAreATenthOfTheFirstPictureAndStay)
{
    TLEADImage image;
    image.resize(200, 100);
    EXPECT_EQ(image.VPageStep(), -1) << "automatic until a picture is there";
    EXPECT_EQ(image.HLineStep(), 1);
    EXPECT_EQ(image.VLineStep(), 2);
    Hold(image, 601, 1000, kRed);
    EXPECT_EQ(image.VPageStep(), 100);
    EXPECT_EQ(image.HPageStep(), 60);
    Hold(image, 300, 3000, kBlue);
    EXPECT_EQ(image.VPageStep(), 100) << "kept after the picture changed";
    image.ScrollMessage(1, TLEADImage::scPageDown);
    EXPECT_EQ(image.VScrollPos(), 100);
    EXPECT_EQ(image.verticalScrollBar()->pageStep(), 100);

    // A picture of fewer than five rows still pages by one.
    TLEADImage small;
    small.resize(50, 50);
    Hold(small, 4, 4, kRed);
    EXPECT_EQ(small.VPageStep(), 1);
}

TEST(LEADImageScroll, APictureSmallerThanTheInnerAreaHasNoRangesAndNoBars)
{
    TLEADImage image;
    image.resize(300, 200);
    Hold(image, 100, 80, kRed);
    ShowExposed(image);
    EXPECT_EQ(image.HScrollMax(), 0);
    EXPECT_EQ(image.VScrollMax(), 0);
    EXPECT_FALSE(image.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(image.verticalScrollBar()->isVisible());
    image.ScrollMessage(1, TLEADImage::scBottom);
    EXPECT_EQ(image.VScrollPos(), 0);
}

TEST(LEADImageScroll, TheWheelMovesAtMostAPagePerMessageBySignAndAddsUpSmallDeltas)
{
    const struct {
        const char* name;
        std::vector<int> deltas;
        Qt::KeyboardModifiers mods;
        Qt::MouseButtons buttons;
        int h, v;  // positions after the messages, starting at 300, 300
    } cases[] = {
        {"a notch back scrolls down a page", {-120}, {}, {}, 300, 400},
        {"a notch forward scrolls up a page", {120}, {}, {}, 300, 200},
        {"a large delta still one page", {-600}, {}, {}, 300, 400},
        {"small positive deltas scroll up, not down", {40, 40}, {}, {}, 300, 300},
        {"three of 40 make a notch", {40, 40, 40}, {}, {}, 300, 200},
        {"small deltas add up in both directions", {-50, -50, -50, -50, -50}, {}, {}, 300, 500},
        {"a change of direction starts again", {-100, 100}, {}, {}, 300, 300},
        {"zero does nothing", {0, 0}, {}, {}, 300, 300},
        {"Shift and a notch forward scroll right a page", {120}, Qt::ShiftModifier, {}, 360, 300},
        {"Shift and a notch back scroll left a page", {-120}, Qt::ShiftModifier, {}, 240, 300},
        {"ignored while a button is held", {-120}, {}, Qt::LeftButton, 300, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scrolled s;
        s.MoveTo(0, 300);
        s.MoveTo(1, 300);
        for (int d : c.deltas)
            SendWheel(s.image, d, c.mods, c.buttons);
        EXPECT_EQ(s.image.HScrollPos(), c.h);
        EXPECT_EQ(s.image.VScrollPos(), c.v);
    }
}

TEST(LEADImageScroll, DraggingTheThumbScrollsThePictureAndTheBarFollowsThePositions)
{
    Scrolled s;
    ShowExposed(s.image);
    QScrollBar* bar = s.image.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    ASSERT_FALSE(thumb.isEmpty());
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar, thumb.center() + QPoint(0, 10));
    QTest::mouseMove(bar, thumb.center() + QPoint(0, 20));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb.center() + QPoint(0, 20));
    EXPECT_GT(s.image.VScrollPos(), 0);
    EXPECT_EQ(bar->value(), s.image.VScrollPos());
    EXPECT_EQ(s.image.DstTop(), -s.image.VScrollPos()) << "the bar and the picture agree";
    EXPECT_GT(s.after, 0);

    // The other way: a scroll of the control moves the bar.
    s.image.setDstLeft(-77);
    EXPECT_EQ(s.image.horizontalScrollBar()->value(), 77);

    // Refused requests leave the bar where the picture is.
    s.image.setEnableScroll(false);
    const int before = s.image.VScrollPos();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(s.image.VScrollPos(), before);
    EXPECT_EQ(bar->value(), before);
}

TEST(LEADImageScroll, KeysScrollFirstThenFireOnKeyDownButHomeAndEndDoNot)
{
    Scrolled s;
    ShowExposed(s.image);
    s.image.setFocus();
    QApplication::setActiveWindow(&s.image);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.image));
    s.MoveTo(0, 100);
    s.MoveTo(1, 300);
    std::vector<std::pair<int, QPoint>> seen;  // key and the positions OnKeyDown saw
    s.image.OnKeyDown = [&](QObject*, int& key, TLEADImage::TShiftState) {
        seen.emplace_back(key, QPoint(s.image.HScrollPos(), s.image.VScrollPos()));
    };
    const struct {
        Qt::Key key;
        int vk;
        QPoint after;
    } steps[] = {
        {Qt::Key_PageDown, 34, {100, 400}}, {Qt::Key_PageUp, 33, {100, 300}}, {Qt::Key_Down, 40, {100, 302}},
        {Qt::Key_Up, 38, {100, 300}},       {Qt::Key_Right, 39, {101, 300}},  {Qt::Key_Left, 37, {100, 300}},
        {Qt::Key_Home, 36, {100, 300}},     {Qt::Key_End, 35, {100, 300}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.vk);
        seen.clear();
        QTest::keyClick(&s.image, step.key);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].first, step.vk);
        EXPECT_EQ(seen[0].second, step.after) << "scrolled before OnKeyDown";
    }
    s.image.setEnableKeyboard(false);
    QTest::keyClick(&s.image, Qt::Key_PageDown);
    EXPECT_EQ(s.image.VScrollPos(), 300);
}

TEST(LEADImageScroll, AutoScrollAndScrollStepWrites)
{
    Scrolled s;
    s.MoveTo(0, 100);
    s.MoveTo(1, 300);
    s.image.setAutoScroll(false);
    EXPECT_EQ(s.image.verticalScrollBar()->maximum(), 0) << "no range without AutoScroll";
    s.image.setAutoScroll(true);
    EXPECT_EQ(s.image.VScrollPos(), 300);
    EXPECT_EQ(s.image.DstTop(), -300);
    EXPECT_EQ(s.image.verticalScrollBar()->maximum(), s.image.VScrollMax());
    EXPECT_EQ(s.image.LastError(), 1);

    s.image.setObjectName("Img");
    EXPECT_EQ(RaisedMessage([&] { s.image.setHScrollStep(0); }), "Img \nHScrollStep: Scroll step out of range.");
    EXPECT_EQ(s.image.VScrollPos(), 300) << "a refused write changes nothing";
    s.image.setHScrollStep(5);
    EXPECT_EQ(s.image.HScrollPos(), 0);
    EXPECT_EQ(s.image.VScrollPos(), 0);
    EXPECT_EQ(s.image.DstTop(), 0);
    EXPECT_EQ(s.image.verticalScrollBar()->value(), 0);
}
