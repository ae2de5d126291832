// One golden picture per shape, line, range and fill tool: each tool driven by a mouse script
// over a 64 x 64 photo-like picture.
#include "ToolTestUtil.h"

#include "editing/draw/DrawTools.h"
#include "editing/paintfx/PaintFX.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tooltest;

namespace {

struct GoldenCase {
    const char* Tool;
    Script Mouse;
    std::function<void(TpelDrawImage&)> Setup = {};
};

// A stroke through several points with the button held.
Script Stroke(std::initializer_list<std::pair<int, int>> points)
{
    auto it = points.begin();
    Script s{{Step::Down, it->first, it->second}};
    for (++it; it != points.end(); ++it)
        s.push_back({Step::Move, it->first, it->second});
    s.push_back({Step::Up, (points.end() - 1)->first, (points.end() - 1)->second});
    return s;
}

const Script kWave = Stroke({{6, 10}, {14, 22}, {22, 14}, {30, 30}, {40, 20}, {50, 40}, {58, 34}});

void Range(TpelDrawImage& im) { im.Drag.RangeRect = TRect{36, 26, 55, 41}; }
void Anchor(TpelDrawImage& im)
{
    RunMouse(im, {{Step::Right, 40, 10}});
    im.Canvas().Pen.Width = 8;
}
void ThreeStars(TpelDrawImage& im) { im.setstars(3); }

// Three vertices, the mouse moving between the clicks, then the right button.
const Script kPolyClicks{{Step::Down, 6, 50},  {Step::Up, 6, 50},    {Step::Move, 20, 30}, {Step::Move, 30, 8},
                         {Step::Down, 30, 8},  {Step::Up, 30, 8},    {Step::Move, 45, 30}, {Step::Move, 58, 50},
                         {Step::Down, 58, 50}, {Step::Up, 58, 50},   {Step::Move, 40, 60}, {Step::Right, 40, 60}};

void WidePen(TpelDrawImage& im) { im.Canvas().Pen.Width = 30; }

const Script kArcClicks = Then(DragScript(8, 8, 56, 48), Then(ClickScript(56, 20), ClickScript(8, 40)));

std::vector<GoldenCase> Cases()
{
    return {
        {"rangemove", DragScript(10, 4, 30, 16), Range},
        {"rangesmear", DragScript(10, 4, 30, 16), Range},
        {"freehand", kWave},
        {"waveline", kWave},
        {"fastwaveline", kWave},
        {"colorwaveline", kWave},
        {"borderwaveline", kWave},
        {"decoline", kWave, [](TpelDrawImage& im) { im.Canvas().Pen.Color = TColor(0x30C0F0); }},
        {"spray", kWave, [](TpelDrawImage&) { PaintFXRandom().SetSeed(7); }},
        {"sline", Stroke({{6, 6}, {20, 8}, {34, 9}, {36, 30}, {37, 50}, {56, 52}})},
        {"vmirror", kWave},
        {"hmirror", kWave},
        {"cmirror", kWave},
        {"mirror4", kWave},
        {"cloneall", DragScript(8, 40, 30, 44), Anchor},
        {"clonenottarget", DragScript(8, 40, 30, 44), Anchor},
        {"paste", ClickScript(4, 4), Range},
        {"pastecolor", ClickScript(4, 4),
         [](TpelDrawImage& im) {
             Range(im);
             im.Canvas().Brush.Color = TColor(0x1E28AA);  // the roof
         }},
        {"pastecolorx", ClickScript(4, 4),
         [](TpelDrawImage& im) {
             Range(im);
             im.Canvas().Brush.Color = TColor(0x1E28AA);
         }},
        {"transcopy", ClickScript(4, 4), Range},
        {"sym", Stroke({{32, 10}, {36, 14}, {40, 12}, {44, 18}}), [](TpelDrawImage& im) { im.setstarpoints(6); }},
        {"snapshot", DragScript(5, 5, 30, 30)},
        {"bars", DragScript(5, 20, 40, 35)},
        {"border", DragScript(0, 0, 6, 4)},
        {"line", DragScript(5, 5, 58, 40)},
        {"polyline", kPolyClicks},
        {"polygon", kPolyClicks},
        {"polybezier", Then(DragScript(4, 50, 60, 50), Then(Script{{Step::Move, 50, 10, ssCtrl}, {Step::Move, 60, 20}},
                                                               DragScript(60, 20, 30, 60)))},
        {"rectangle", DragScript(6, 6, 58, 50), ThreeStars},
        {"roundrect", DragScript(6, 6, 58, 50), ThreeStars},
        {"ellipse", DragScript(6, 6, 58, 50), ThreeStars},
        {"globe", DragScript(6, 6, 58, 58)},
        {"maze", DragScript(4, 4, 60, 60)},
        {"blocks", Stroke({{3, 3}, {12, 10}, {20, 20}, {30, 24}}), [](TpelDrawImage& im) { im.setblocks(8); }},
        {"interprect", DragScript(4, 4, 60, 60)},
        {"intercolumn", DragScript(10, 10, 50, 40)},
        {"intersphere", DragScript(8, 8, 56, 40)},
        {"multisphere", DragScript(2, 20, 62, 34)},
        {"dropletsphere", DragScript(2, 20, 62, 34)},
        {"wavesphere", DragScript(2, 20, 62, 34)},
        {"risingwavesphere", DragScript(30, 2, 40, 62)},
        {"decooval", DragScript(6, 6, 58, 58), WidePen},
        {"decobar", DragScript(4, 32, 60, 32), WidePen},
        {"cone", DragScript(20, 6, 8, 58)},
        {"star", DragScript(32, 32, 32, 4), [](TpelDrawImage& im) { im.setstars(2); }},
        {"spiral", DragScript(32, 32, 60, 32)},
        {"spiro", DragScript(44, 32, 54, 32)},
        {"chord", kArcClicks},
        {"arc", kArcClicks},
        {"pie", kArcClicks},
        {"cube", Then(DragScript(10, 24, 40, 54), DragScript(40, 54, 50, 44)),
         [](TpelDrawImage& im) { im.Canvas().Brush.Style = bsClear; }},
        {"skewrect", Then(DragScript(8, 10, 40, 10), DragScript(40, 10, 56, 46))},
        {"triangle", Then(DragScript(8, 54, 56, 54), DragScript(56, 54, 30, 6))},
        {"bezier", Then(DragScript(4, 56, 60, 56), Then(DragScript(60, 56, 10, 4), DragScript(10, 4, 56, 8)))},
        {"floodfill", ClickScript(40, 30)},
        {"paintpick", ClickScript(40, 30)},
        {"rotatetext", DragScript(10, 50, 50, 10)},
    };
}

} // namespace

TEST(ShapeToolsGolden, EveryShapeToolOnAPhoto)
{
    for (const GoldenCase& c : Cases()) {
        SCOPED_TRACE(c.Tool);
        ASSERT_NE(FindToolRow(QString::fromLatin1(c.Tool)), nullptr);
        auto im = MakeToolImage(PhotoPicture());
        if (c.Setup)
            c.Setup(*im);
        im->setShape(QString::fromLatin1(c.Tool));
        RunMouse(*im, c.Mouse);
        ExpectGolden(im->Picture(), QStringLiteral("tool-") + QString::fromLatin1(c.Tool));
    }
}

// Every shape row has a golden case above.
TEST(ShapeToolsGolden, EveryBaseRowHasACase)
{
    QStringList covered;
    for (const GoldenCase& c : Cases())
        covered << QString::fromLatin1(c.Tool);
    for (const TToolRow& row : ShapeToolRows()) {
        const QString name = QString::fromLatin1(row.Name);
        if (name.back().isDigit())
            continue;  // a stage of a multi-click tool
        EXPECT_TRUE(covered.contains(name)) << row.Name;
    }
}
