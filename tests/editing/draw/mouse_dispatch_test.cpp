// The mouse handlers of the drawing component: the stage machine of the multi-click tools,
// the polygon family, the shift-state rules, the tools' edge cases, real Qt mouse events, and
// a crash sweep of every tool name over tiny and odd picture sizes.
#include "ToolTestUtil.h"

#include "editing/draw/DrawTools.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QTest>
#include <QWidget>

#include <functional>
#include <set>
#include <string>

using namespace tooltest;

namespace {

TBitmap White(int w, int h)
{
    TBitmap b(w, h);
    b.SetPixelFormat(pf24bit);
    return b;
}

std::unique_ptr<TpelDrawImage> BlackPenOnWhite(int w, int h)
{
    auto im = MakeToolImage(White(w, h));
    im->Canvas().Pen.Color = clBlack;
    im->Canvas().Pen.Width = 1;
    im->Canvas().Brush.Style = bsClear;
    return im;
}

TColor At(TpelDrawImage& im, int x, int y) { return im.Canvas().Pixel(x, y); }

} // namespace

// Each release advances the stage by one; the last release draws the figure; a press in the
// final stage starts the tool over.
TEST(MouseDispatch, MultiClickToolsStepThroughTheirStages)
{
    struct Case {
        const char* Tool;
        std::vector<Script> Clicks;
        std::vector<const char*> Stages;  // Shape after each release
        const char* Final;                 // after a further press
    };
    const std::vector<Case> cases{
        {"chord", {DragScript(8, 8, 56, 48), ClickScript(56, 20), ClickScript(8, 40)}, {"chord1", "chord2", "chord3"}, "chord"},
        {"arc", {DragScript(8, 8, 56, 48), ClickScript(56, 20), ClickScript(8, 40)}, {"arc1", "arc2", "arc3"}, "arc"},
        {"pie", {DragScript(8, 8, 56, 48), ClickScript(56, 20), ClickScript(8, 40)}, {"pie1", "pie2", "pie3"}, "pie"},
        {"cube", {DragScript(10, 24, 40, 54), DragScript(40, 54, 50, 44)}, {"cube1", "cube2"}, "cube"},
        {"skewrect", {DragScript(8, 10, 40, 10), DragScript(40, 10, 56, 46)}, {"skewrect1", "skewrect2"}, "skewrect"},
        {"triangle", {DragScript(8, 54, 56, 54), DragScript(56, 54, 30, 6)}, {"triangle1", "triangle2"}, "triangle"},
        {"bezier", {DragScript(4, 56, 60, 56), DragScript(60, 56, 10, 4), DragScript(10, 4, 56, 8)}, {"bezier1", "bezier2", "bezier"}, "bezier"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Tool);
        auto im = MakeToolImage(PhotoPicture());
        im->setShape(QString::fromLatin1(c.Tool));
        for (size_t i = 0; i < c.Clicks.size(); ++i) {
            const TBitmap before = im->Picture();
            RunMouse(*im, c.Clicks[i]);
            EXPECT_EQ(im->Shape(), QString::fromLatin1(c.Stages[i])) << "after release " << i + 1;
            if (i + 1 == c.Clicks.size())
                EXPECT_FALSE(SamePixels(before, im->Picture())) << "the last release draws";
        }
        RunMouse(*im, {{Step::Down, 30, 30}});
        EXPECT_EQ(im->Shape(), QString::fromLatin1(c.Final));
        RunMouse(*im, {{Step::Up, 30, 30}});
    }
}

// The chord's last release fills the chord with the brush, leaving the rest of the ellipse's
// rubber band taken away.
TEST(MouseDispatch, ChordIsFilledAndItsRubberEllipseTakenAway)
{
    auto im = BlackPenOnWhite(64, 64);
    im->Canvas().Brush.Style = bsSolid;
    im->Canvas().Brush.Color = clRed;
    im->setShape("chord");
    // Corners (8, 8)-(56, 48); from the ray to the right to the ray to the left: the upper half.
    RunMouse(*im, Then(DragScript(8, 8, 56, 48), Then(ClickScript(60, 28), ClickScript(2, 28))));
    EXPECT_EQ(im->Shape(), "chord3");
    EXPECT_EQ(At(*im, 32, 20), clRed);
    EXPECT_EQ(At(*im, 32, 40), clWhite);  // the lower half of the ellipse: nothing left behind
    EXPECT_EQ(At(*im, 32, 47), clWhite);
}

TEST(MouseDispatch, PolygonClosesOnTheRightButton)
{
    const Script threePoints{{Step::Down, 10, 50}, {Step::Up, 10, 50}, {Step::Move, 30, 10}, {Step::Down, 30, 10},
                             {Step::Up, 30, 10},   {Step::Move, 50, 50}, {Step::Down, 50, 50}, {Step::Up, 50, 50}};
    auto im = BlackPenOnWhite(64, 64);
    im->Canvas().Brush.Style = bsSolid;
    im->Canvas().Brush.Color = clRed;
    im->setShape("polygon");
    RunMouse(*im, threePoints);
    EXPECT_TRUE(im->Drag.MouseIsDown) << "the figure stays open between clicks";
    EXPECT_EQ(im->Drag.PolyCount, 3);
    RunMouse(*im, {{Step::Right, 50, 50}});
    EXPECT_EQ(At(*im, 30, 40), clRed);
    EXPECT_EQ(At(*im, 10, 50), clBlack);
    EXPECT_EQ(im->Drag.PolyCount, 0);
    EXPECT_FALSE(im->Drag.MouseIsDown);

    // Two points: the right button draws nothing and ends the figure.
    auto two = BlackPenOnWhite(64, 64);
    two->Canvas().Brush.Style = bsSolid;
    two->Canvas().Brush.Color = clRed;
    two->setShape("polygon");
    RunMouse(*two, {{Step::Down, 10, 50}, {Step::Up, 10, 50}, {Step::Down, 30, 10}, {Step::Up, 30, 10}});
    const TBitmap before = two->Picture();
    RunMouse(*two, {{Step::Right, 50, 50}});
    EXPECT_TRUE(SamePixels(before, two->Picture()));
    EXPECT_EQ(two->Drag.PolyCount, 0);
    EXPECT_FALSE(two->Drag.MouseIsDown);

    // A polyline ends on the right button without drawing; more than 100 vertices stop at 100.
    auto line = BlackPenOnWhite(64, 64);
    line->setShape("polyline");
    for (int i = 0; i < 120; ++i)
        RunMouse(*line, ClickScript(i % 60, i % 50));
    EXPECT_EQ(line->Drag.PolyCount, 100);
    const TBitmap drawn = line->Picture();
    RunMouse(*line, {{Step::Right, 5, 5}});
    EXPECT_TRUE(SamePixels(drawn, line->Picture()));
    EXPECT_EQ(line->Drag.PolyCount, 0);
    EXPECT_FALSE(line->Drag.MouseIsDown);
}

// The tool changed between events: a polygon still collecting points leaves no drag behind
// (moving the mouse with no button held draws nothing for the new tool), and a range snapshot
// changed during its drag gives back the pen width and brush style it borrowed.
TEST(MouseDispatch, AToolChangedBetweenEventsLeavesNothingPending)
{
    for (const char* pending : {"polygon", "polyline", "polybezier"}) {
        for (const char* next : {"line", "freehand", "smoothbrush"}) {
            SCOPED_TRACE(std::string(pending) + " -> " + next);
            auto im = BlackPenOnWhite(64, 64);
            im->setShape(pending);
            RunMouse(*im, {{Step::Down, 10, 50}, {Step::Up, 10, 50}, {Step::Down, 30, 10}, {Step::Up, 30, 10}});
            im->setShape(next);
            const TBitmap before = im->Picture();
            im->MouseMove(0, 50, 40);
            im->MouseMove(0, 20, 30);
            EXPECT_TRUE(SamePixels(before, im->Picture()));
            EXPECT_FALSE(im->Drag.MouseIsDown);
            EXPECT_EQ(im->Drag.PolyCount, 0);
        }
    }

    auto snap = BlackPenOnWhite(64, 64);
    snap->Canvas().Pen.Width = 3;
    snap->Canvas().Brush.Style = bsSolid;
    snap->setShape("snapshot");
    RunMouse(*snap, {{Step::Down, 5, 5}, {Step::Move, 20, 20}});
    ASSERT_EQ(snap->Canvas().Pen.Width, 1);
    snap->setShape("line");
    RunMouse(*snap, {{Step::Up, 30, 30}});
    EXPECT_EQ(snap->Canvas().Pen.Width, 3);
    EXPECT_EQ(snap->Canvas().Brush.Style, bsSolid);
    // Passing through "snapshot" without its press borrows nothing and gives nothing back.
    snap->Canvas().Pen.Width = 5;
    snap->setShape("freehand");
    RunMouse(*snap, {{Step::Down, 5, 5}});
    snap->setShape("snapshot");
    snap->setShape("line");
    EXPECT_EQ(snap->Canvas().Pen.Width, 5);
}

TEST(MouseDispatch, CtrlAltMovesAndReleasesDoNothing)
{
    auto im = BlackPenOnWhite(64, 64);
    im->setShape("freehand");
    RunMouse(*im, {{Step::Down, 5, 5}, {Step::Move, 10, 10}});
    const TBitmap before = im->Picture();
    RunMouse(*im, {{Step::Move, 50, 50, ssCtrl | ssAlt}});
    EXPECT_TRUE(SamePixels(before, im->Picture()));
    EXPECT_EQ(im->Drag.LastPoint, TPoint(10, 10));
    RunMouse(*im, {{Step::Up, 50, 50, ssCtrl | ssAlt}});
    EXPECT_TRUE(im->Drag.MouseIsDown);
    // Ctrl or Alt alone moves as usual.
    RunMouse(*im, {{Step::Move, 30, 10, ssAlt}});
    EXPECT_EQ(At(*im, 20, 10), clBlack);
    RunMouse(*im, {{Step::Up, 30, 10, ssCtrl}});
    EXPECT_FALSE(im->Drag.MouseIsDown);
}

// With the pen mode not-xor the last rubber band is the line: the release adds nothing. In
// copy mode the line is drawn over its rubber band. Either way the picture is the one line.
TEST(MouseDispatch, LineIsItsLastRubberBandOrDrawnOverIt)
{
    for (TPenMode mode : {pmNotXor, pmCopy}) {
        SCOPED_TRACE(int(mode));
        auto im = BlackPenOnWhite(64, 64);
        auto expected = BlackPenOnWhite(64, 64);
        for (TpelDrawImage* p : {im.get(), expected.get()}) {
            p->Canvas().Pen.Mode = mode;
            p->Canvas().Pen.Color = clBlue;
        }
        im->setShape("line");
        RunMouse(*im, DragScript(5, 5, 50, 30));
        expected->Canvas().MoveTo(5, 5);
        expected->Canvas().LineTo(50, 30);
        EXPECT_TRUE(SamePixels(expected->Picture(), im->Picture()));
        EXPECT_EQ(im->Canvas().Pen.Mode, mode);
    }
}

// With Alt held, a move of a tool marked "Alt moves" carries StartPoint along by the mouse
// step; other tools keep StartPoint where the press put it.
TEST(MouseDispatch, AltMovesCarryTheStartPointOnlyForTheirTools)
{
    for (std::span<const TToolRow> rows : {ShapeToolRows(), BrushToolRows()})
        for (const TToolRow& row : rows) {
            SCOPED_TRACE(row.Name);
            auto im = MakeToolImage(PhotoPicture());
            im->setShape(QString::fromLatin1(row.Name));
            RunMouse(*im, {{Step::Down, 20, 20}, {Step::Move, 24, 22}, {Step::Move, 30, 25, ssAlt}});
            if (!im->Drag.MouseIsDown || im->Shape() != QLatin1String(row.Name))
                continue;  // the tool ended its drag itself
            EXPECT_EQ(im->Drag.StartPoint, row.AltMoves ? TPoint(26, 23) : TPoint(20, 20));
            RunMouse(*im, {{Step::Up, 30, 25}});
        }
}

TEST(MouseDispatch, VMirrorDrawsTheStrokeMirroredAcrossTheWidth)
{
    auto im = BlackPenOnWhite(256, 256);
    im->setShape("vmirror");
    RunMouse(*im, DragScript(10, 10, 20, 10, 0, 1));
    EXPECT_EQ(At(*im, 10, 10), clBlack);
    EXPECT_EQ(At(*im, 19, 10), clBlack);
    EXPECT_EQ(At(*im, 246, 10), clBlack);
    EXPECT_EQ(At(*im, 237, 10), clBlack);
    EXPECT_EQ(At(*im, 236, 10), clWhite);
    EXPECT_EQ(At(*im, 128, 10), clWhite);
}

// The spirograph tool shows the primitive's refusal in a plain message box and draws nothing.
TEST(MouseDispatch, SpirographToolShowsTheRefusal)
{
    struct Case {
        int width, height;
        int x0, y0, x1, y1;
        const char* message;
    };
    const Case cases[] = {
        {64, 48, 40, 24, 50, 24, "image must be square for spirographs"},
        {64, 64, 60, 32, 62, 50, "sum of radi to large"},
        {64, 64, 34, 32, 50, 32, "both radi must be >5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        kvtest::Ui().Reset();
        auto im = BlackPenOnWhite(c.width, c.height);
        im->setShape("spiro");
        const TBitmap before(im->Picture());
        kvtest::Ui().ExpectMessage(mrOk, c.message);
        RunMouse(*im, DragScript(c.x0, c.y0, c.x1, c.y1));
        ASSERT_EQ(kvtest::Ui().Asked().size(), 1u);
        EXPECT_EQ(kvtest::Ui().Asked()[0].Type, mtCustom);
        EXPECT_EQ(kvtest::Ui().Asked()[0].Text, QString::fromLatin1(c.message));
        EXPECT_TRUE(SamePixels(im->Picture(), before));
    }
}

TEST(MouseDispatch, SnapshotThenPasteCopiesTheMarkedRange)
{
    auto im = MakeToolImage(PhotoPicture(128, 128));
    const TBitmap original = im->Picture();
    const int width = im->Canvas().Pen.Width;
    im->setShape("snapshot");
    RunMouse(*im, DragScript(10, 60, 30, 80));
    EXPECT_EQ(im->Shape(), "");
    EXPECT_TRUE(SamePixels(original, im->Picture())) << "the dotted rubber band is taken away";
    EXPECT_EQ(im->Canvas().Brush.Style, bsSolid);
    EXPECT_EQ(im->Canvas().Pen.Width, width);
    EXPECT_EQ(im->Drag.RangeRect, TRect(10, 60, 30, 80));

    im->setShape("paste");
    RunMouse(*im, ClickScript(100, 100));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(At(*im, 100 + x, 100 + y), original.Canvas().Pixel(10 + x, 60 + y)) << x << "," << y;
}

TEST(MouseDispatch, PaintPickSetsTheBrushAndRaisesTheEvent)
{
    auto im = MakeToolImage(PhotoPicture());
    const TColor roof = At(*im, 40, 30);
    im->setShape("paintpick");
    RunMouse(*im, ClickScript(40, 30));
    EXPECT_EQ(im->Canvas().Brush.Color, roof);
    EXPECT_EQ(im->Shape(), "");

    std::vector<TColor> picked;
    im->onColorPicked = [&](QObject* sender, TColor c) {
        EXPECT_EQ(sender, im.get());
        picked.push_back(c);
    };
    im->setShape("paintpick");
    RunMouse(*im, ClickScript(20, 20, ssAlt));
    const TColor left = At(*im, 15, 20), right = At(*im, 25, 20);
    const TColor mean = RGB((GetRValue(left) + GetRValue(right)) / 2, (GetGValue(left) + GetGValue(right)) / 2,
                            (GetBValue(left) + GetBValue(right)) / 2);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0], mean);

    // A release off the picture (the drag left the control) picks the nearest edge pixel,
    // never the "no pixel" value.
    im->setShape("paintpick");
    RunMouse(*im, DragScript(10, 10, -30, 200));
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(picked[1], At(*im, 0, 63));
}

TEST(MouseDispatch, RightClickAnchorsAndCtrlShiftSnapsToIt)
{
    auto im = BlackPenOnWhite(64, 64);
    im->setShape("line");
    RunMouse(*im, {{Step::Right, 7, 9}});
    EXPECT_EQ(im->Drag.AnchorPoint, TPoint(7, 9));
    RunMouse(*im, {{Step::Down, 50, 50, ssCtrl | ssShift}});
    EXPECT_EQ(im->Drag.StartPoint, TPoint(7, 9));
    EXPECT_EQ(QCursor::pos(), im->mapToGlobal(QPoint(7, 9)));
    RunMouse(*im, {{Step::Move, 40, 9}, {Step::Up, 40, 9}});
    EXPECT_EQ(At(*im, 7, 9), clBlack);
    EXPECT_EQ(At(*im, 39, 9), clBlack);
}

// Shapes whose name no row answers to draw nothing, and so does the empty name that
// "snapshot" and "paintpick" leave behind; the list's spelling "decoval" is such a name.
TEST(MouseDispatch, UnknownNamesDrawNothing)
{
    for (const char* name : {"", "Line", "decoval", "nosuchtool"}) {
        auto im = MakeToolImage(PhotoPicture());
        const TBitmap before = im->Picture();
        im->setShape(QString::fromLatin1(name));
        RunMouse(*im, Then(DragScript(5, 5, 50, 50), ClickScript(20, 20)));
        EXPECT_TRUE(SamePixels(before, im->Picture())) << name;
    }
    EXPECT_NE(FindToolRow("decooval"), nullptr);
}

// The cloning tools copy from the spot whose offset to the stroke is the one from the anchor
// (the right click) to the press.
TEST(MouseDispatch, CloneCopiesFromTheAnchorOffset)
{
    auto im = MakeToolImage(PhotoPicture());
    const TBitmap original = im->Picture();
    im->Canvas().Pen.Width = 4;
    im->setShape("cloneall");
    RunMouse(*im, Then({{Step::Right, 36, 28}}, DragScript(5, 5, 5, 5, 0, 1)));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(*im, 5 + x, 5 + y), original.Canvas().Pixel(36 + x, 28 + y));
}

// A pen far wider than the picture clones as one just reaching past it: no square of the
// pen's size (2^20 or more pixels a side) is made or overflows the coordinates.
TEST(MouseDispatch, CloneWithAHugePenCopiesAsOneReachingPastThePicture)
{
    for (const char* tool : {"cloneall", "clonenottarget"}) {
        SCOPED_TRACE(tool);
        const Script mouse = Then({{Step::Right, 30, 24}}, DragScript(10, 8, 20, 14, 0, 2));
        auto expected = MakeToolImage(PhotoPicture());
        expected->Canvas().Pen.Width = 70;
        expected->setShape(tool);
        RunMouse(*expected, mouse);
        for (int pen : {1 << 20, 0x7fffffff}) {
            auto im = MakeToolImage(PhotoPicture());
            im->Canvas().Pen.Width = pen;
            im->setShape(tool);
            RunMouse(*im, mouse);
            EXPECT_TRUE(SamePixels(im->Picture(), expected->Picture())) << pen;
        }
    }
}

// A drag that leaves the control keeps arriving at it until the release.
TEST(MouseDispatch, DragOutsideTheControlKeepsArriving)
{
    QWidget window;
    window.resize(200, 200);
    auto* im = new TpelDrawImage(&window);
    im->setAutoSize(true);
    im->SetPicture(White(64, 64));
    im->move(50, 50);
    im->Canvas().Pen.Color = clBlack;
    im->setShape("line");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWindow* w = window.windowHandle();
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_TRUE(im->Drag.MouseIsDown);
    EXPECT_EQ(im->Drag.StartPoint, TPoint(10, 10));
    QTest::mouseMove(w, QPoint(150, 60));   // right of the control, inside the window
    EXPECT_EQ(im->Drag.LastPoint, TPoint(100, 10));
    QTest::mouseMove(w, QPoint(80, 260));   // below the window
    EXPECT_EQ(im->Drag.LastPoint, TPoint(30, 210));
    QTest::mouseMove(w, QPoint(140, 60));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(140, 60));
    EXPECT_FALSE(im->Drag.MouseIsDown);
    EXPECT_EQ(At(*im, 63, 10), clBlack);  // the line runs to the control's edge
    EXPECT_EQ(At(*im, 13, 40), clWhite);  // the rubber band to the point below was taken away
}

// Buttons other than left, right and middle start no stroke: a back-button click draws nothing.
TEST(MouseDispatch, OtherButtonsDrawNothing)
{
    QWidget window;
    window.resize(200, 200);
    auto* im = new TpelDrawImage(&window);
    im->setAutoSize(true);
    im->SetPicture(White(64, 64));
    im->Canvas().Pen.Color = clBlack;
    im->setShape("line");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWindow* w = window.windowHandle();
    for (Qt::MouseButton button : {Qt::BackButton, Qt::ForwardButton}) {
        QTest::mousePress(w, button, {}, QPoint(10, 10));
        EXPECT_FALSE(im->Drag.MouseIsDown) << button;
        QTest::mouseMove(w, QPoint(50, 10));
        QTest::mouseRelease(w, button, {}, QPoint(50, 10));
        EXPECT_EQ(At(*im, 30, 10), clWhite) << button;
    }
}

// Property values past what the figures hold: a star or symmetry of 40 points draws with the
// 13 its vertex array holds, more blocks than pixels give one-pixel cells, no stars draw nothing.
TEST(MouseDispatch, PropertiesPastTheirLimitsStayOnTheirArrays)
{
    struct Case {
        const char* Tool;
        std::function<void(TpelDrawImage&)> Set;
        Script Mouse;
        bool Draws;
    };
    const std::vector<Case> cases{
        {"star", [](TpelDrawImage& im) { im.setstarpoints(40); }, DragScript(32, 32, 32, 4), true},
        {"star", [](TpelDrawImage& im) { im.setstars(0); }, DragScript(32, 32, 32, 4), false},
        {"sym", [](TpelDrawImage& im) { im.setstarpoints(40); }, DragScript(32, 10, 40, 14), true},
        {"blocks", [](TpelDrawImage& im) { im.setblocks(1000); }, ClickScript(20, 20), true},
        {"blocks", [](TpelDrawImage& im) { im.setblocks(-3); }, ClickScript(20, 20), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Tool);
        auto im = BlackPenOnWhite(64, 64);
        im->Canvas().Brush.Style = bsSolid;
        im->Canvas().Brush.Color = clRed;
        c.Set(*im);
        im->setShape(QString::fromLatin1(c.Tool));
        RunMouse(*im, c.Mouse);
        EXPECT_EQ(!SamePixels(White(64, 64), im->Picture()), c.Draws);
    }
    auto cell = BlackPenOnWhite(64, 64);
    cell->Canvas().Brush.Style = bsSolid;
    cell->Canvas().Brush.Color = clRed;
    cell->setblocks(1000);
    cell->setShape("blocks");
    RunMouse(*cell, ClickScript(20, 20));
    EXPECT_EQ(At(*cell, 20, 20), clRed);
    EXPECT_EQ(At(*cell, 21, 20), clWhite);
}

// Every tool name, stage name and row name, driven with every shift state, over pictures of
// 1 x 1, 1 x N, N x 1 and odd sizes: nothing may crash or read or write off the picture.
TEST(MouseDispatch, EveryToolSurvivesTinyAndOddPictures)
{
    kvtest::Ui().Allow(TAskKind::MessageBox, [](TAskRequest&) { return TAskAnswer(mrOk); });
    std::set<QString> names;
    {
        TpelDrawImage probe;
        for (const QString& n : probe.ToolNames)
            names.insert(n);
    }
    for (std::span<const TToolRow> rows : {ShapeToolRows(), BrushToolRows()})
        for (const TToolRow& row : rows)
            names.insert(QString::fromLatin1(row.Name));
    for (const char* extra : {"rotatetext", "spray", "waveline", "fastwaveline", "colorwaveline", "borderwaveline",
                              "decoline", "decooval"})
        names.insert(QString::fromLatin1(extra));

    const std::vector<std::pair<int, int>> sizes{{1, 1}, {1, 9}, {9, 1}, {3, 2}, {7, 5}, {13, 11}};
    for (const QString& name : names) {
        for (const auto& [w, h] : sizes) {
            SCOPED_TRACE(name.toStdString() + " " + std::to_string(w) + "x" + std::to_string(h));
            auto im = MakeToolImage(PhotoPicture(w, h));
            im->Drag.RangeRect = TRect{0, 0, w, h};
            for (TShiftState shift : {TShiftState(0), ssAlt, ssShift, ssCtrl, ssCtrl | ssShift}) {
                im->setShape(name);
                RunMouse(*im, {{Step::Right, w / 2, h / 2}});
                RunMouse(*im, Then(DragScript(0, 0, w + 40, h + 40, shift), DragScript(w - 1, h - 1, -30, -20, shift)));
                RunMouse(*im, Then(ClickScript(w / 2, h / 2, shift), ClickScript(w, h, shift)));
                RunMouse(*im, {{Step::Move, w / 3, h}, {Step::Right, -5, h + 5, shift}});
            }
            EXPECT_EQ(im->Picture().Width(), w);
            EXPECT_EQ(im->Picture().Height(), h);
        }
    }
}
