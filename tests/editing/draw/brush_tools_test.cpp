// The brush tools of the drawing component: one golden picture per tool on a photo-like
// picture through the mouse handlers, a crash sweep over tiny and odd pictures, and the
// brushes that work on the snapshot with small hand-made pictures.
#include "ToolTestUtil.h"
#include "editing/brush/BrushPixels.h"
#include "editing/brush/jvAirBrush.h"
#include "editing/draw/DrawBrushes.h"
#include "editing/draw/DrawImage.h"
#include "editing/draw/DrawTools.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tooltest;

namespace {

// A component showing picture with the shared tool setup, the pen penWidth wide.
std::unique_ptr<TpelDrawImage> BrushImage(const TBitmap& picture, int penWidth = 8)
{
    auto im = MakeToolImage(picture);
    im->Canvas().Pen.Width = penWidth;
    return im;
}

// Press at the first point, moves through the others, release at the last.
Script Stroke(const std::vector<TPoint>& points, TShiftState shift = 0)
{
    Script s{{Step::Down, points.front().X, points.front().Y, shift}};
    for (std::size_t i = 1; i < points.size(); ++i)
        s.push_back({Step::Move, points[i].X, points[i].Y, shift});
    s.push_back({Step::Up, points.back().X, points.back().Y, shift});
    return s;
}

void Draw(TpelDrawImage& im, const char* tool, const Script& script)
{
    im.setShape(QString::fromLatin1(tool));
    RunMouse(im, script);
}

const TToolRow& Row(const char* name)
{
    const TToolRow* row = FindToolRow(QString::fromLatin1(name));
    if (!row)
        throw std::runtime_error(std::string("no row for ") + name);
    return *row;
}

// A steep drag: the angle-driven brushes get a clear amount (about 67 degrees) and the
// radius brushes a radius of 26.
const std::vector<TPoint> kStroke = {{20, 28}, {23, 35}, {26, 42}, {28, 47}, {30, 52}};

// An air brush whose clock says 150 ms more at every reading, set from outside.
std::unique_ptr<TjvAirBrush> SteadyAirBrush()
{
    auto brush = std::make_unique<TjvAirBrush>([t = std::int64_t(0)]() mutable { return t += 150; });
    brush->SetSize(24);
    brush->SetColor(RGB(200, 0, 160));
    brush->SetIntensity(60);
    return brush;
}

std::set<std::string> BrushRowNames()
{
    std::set<std::string> names;
    for (const TToolRow& row : BrushToolRows())
        names.insert(row.Name);
    return names;
}

QRgb PixelOf(const TpelDrawImage& d, int x, int y)
{
    return d.Picture().Image().pixel(x, y);
}

TBitmap Flat(int w, int h, int grey)
{
    TBitmap b(w, h);
    b.Canvas().Brush.Color = RGB(grey, grey, grey);
    b.Canvas().FillRect(TRect(0, 0, w, h));
    return b;
}

} // namespace

TEST(BrushTools, EveryToolNameOfTheListHasItsRowAndNoOther)
{
    const std::set<std::string> expected = {
        "airbrush", "zoombrush", "zoomkeepbrush", "fisheyebrush", "fisheyefixbrush", "twistbrush", "rimplebrush",
        "rotatebrush", "mbHor", "mbTop", "mbBottom", "mbDiamond", "mbWaste", "mbRound", "mbRound2", "mbSplitRound",
        "mbSplitWaste", "mbVerBox", "mbHorBox", "mbVerOval", "mbHorOval", "brightnessbrush", "contrastbrush",
        "saturationbrush", "bluebrush", "greenbrush", "redbrush", "notbluebrush", "notgreenbrush", "notredbrush",
        "halfbluebrush", "halfgreenbrush", "halfredbrush", "darkerbrush", "lighterbrush", "graybrush",
        "rollmixbrush", "smoothbrush", "gradientbrush", "mixbrush", "texlines", "texrects", "texovals", "texcurves",
        "texpoly", "blurlines", "blurrects", "blurovals", "blurcurves", "blurpoly"};
    EXPECT_EQ(BrushRowNames(), expected);
    TpelDrawImage d;
    for (const std::string& name : expected) {
        EXPECT_TRUE(d.ToolNames.contains(QString::fromStdString(name))) << name;
        EXPECT_EQ(FindToolRow(QString::fromStdString(name)), &Row(name.c_str())) << name;
    }
    // The brushes whose effect circle travels with the mouse while Alt is held.
    for (const char* name : {"fisheyefixbrush", "twistbrush", "rimplebrush", "rotatebrush", "mbHor", "mbSplitWaste",
                             "mbVerBox", "mbHorOval", "brightnessbrush", "saturationbrush"})
        EXPECT_TRUE(Row(name).AltMoves) << name;
    for (const char* name : {"fisheyebrush", "zoombrush", "darkerbrush", "gradientbrush", "texlines"})
        EXPECT_FALSE(Row(name).AltMoves) << name;
}

TEST(BrushTools, GoldenPicturePerTool)
{
    for (const std::string& name : BrushRowNames()) {
        SCOPED_TRACE(name);
        // Textures in thin lines show their pattern; the fish eye gets a lens of radius 20.
        const bool texture = name.starts_with("tex") || name.starts_with("blur");
        auto im = BrushImage(PhotoPicture(), texture ? 1 : name == "fisheyebrush" ? 20 : 8);
        if (name == "airbrush")
            im->AirBrush = SteadyAirBrush();
        PaintFXRandom().SetSeed(32);
        Draw(*im, name.c_str(), Stroke(kStroke));
        ExpectGolden(im->Picture(), QStringLiteral("tool-") + QString::fromStdString(name));
        // Every tool but the plain zoom brush, which puts the picture back at the release,
        // changes the picture (a white picture would hide the colour brushes).
        if (name != "zoombrush")
            EXPECT_FALSE(SamePixels(im->Picture(), PhotoPicture()));
    }
}

// Pictures of one pixel, one row, one column and odd sizes, thin and huge pens, strokes
// leaving the picture, with and without Alt: nothing may read or write off the pictures.
TEST(BrushTools, SweepOverTinyAndOddPictures)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 5}, {5, 3}, {13, 7}, {4, 31}};
    const std::vector<TPoint> strokes[] = {
        {{0, 0}, {0, 0}},
        {{1, 1}, {-40, 3}, {90, -20}, {3, 200}},
        {{-5, -5}, {-300, -300}},
    };
    for (const TToolRow& row : BrushToolRows())
        for (auto [w, h] : sizes)
            for (int pen : {1, 60})
                for (TShiftState shift : {TShiftState(0), ssAlt})
                    for (const auto& stroke : strokes) {
                        auto im = BrushImage(PhotoPicture(w, h), pen);
                        im->AirBrush = SteadyAirBrush();
                        Draw(*im, row.Name, Stroke(stroke, shift));
                        EXPECT_EQ(im->Picture().Width(), w) << row.Name;
                        EXPECT_EQ(im->Picture().Height(), h) << row.Name;
                    }
}

TEST(BrushTools, TheComponentsOwnAirBrushPaintsNothingUntilSetFromOutside)
{
    auto im = BrushImage(PhotoPicture());
    im->AirBrush = std::make_unique<TjvAirBrush>([t = std::int64_t(0)]() mutable { return t += 150; });
    Draw(*im, "airbrush", Stroke(kStroke));
    EXPECT_TRUE(SamePixels(im->Picture(), PhotoPicture()));
}

TEST(BrushTools, ZoomKeepBrushTurnsIntoAThinFreehandPenAndKeepsTheZoom)
{
    auto keep = BrushImage(PhotoPicture());
    Draw(*keep, "zoomkeepbrush", DragScript(10, 10, 30, 30));
    EXPECT_EQ(keep->Shape(), "freehand");
    EXPECT_EQ(keep->Canvas().Pen.Width, 2);
    EXPECT_FALSE(SamePixels(keep->Picture(), PhotoPicture()));

    auto zoom = BrushImage(PhotoPicture());
    Draw(*zoom, "zoombrush", DragScript(10, 10, 30, 30));
    EXPECT_EQ(zoom->Shape(), "zoombrush");
    EXPECT_TRUE(SamePixels(zoom->Picture(), PhotoPicture()));  // the plain zoom brush puts the picture back
}

// With Alt held the effect circle travels with the mouse: a drag sets radius 12 and
// lightness 50 about (10, 10); moving on with Alt carries that disc along to (40, 10).
TEST(BrushTools, AltMovesTheEffectCircleWithTheMouse)
{
    const QImage photo = PhotoPicture().Image();
    auto im = BrushImage(PhotoPicture());
    Draw(*im, "brightnessbrush", {{Step::Down, 10, 10}, {Step::Move, 10, 22}, {Step::Move, 40, 22, ssAlt}, {Step::Up, 40, 22, ssAlt}});
    EXPECT_EQ(im->Drag.StartPoint, TPoint(40, 10));
    EXPECT_NE(PixelOf(*im, 40, 12), photo.pixel(40, 12));
    EXPECT_EQ(PixelOf(*im, 12, 12), photo.pixel(12, 12));
}

// The range tools leave the canvas copying in source-invert mode; the brushes that copy
// pixels draw the same as after a plain copy mode.
TEST(BrushTools, BrushesCopyPlainlyAfterARangeTool)
{
    for (const char* name : {"brightnessbrush", "mbVerBox", "mbHorOval", "zoomkeepbrush", "airbrush"}) {
        auto plain = BrushImage(PhotoPicture()), inverted = BrushImage(PhotoPicture());
        inverted->Canvas().CopyMode = cmSrcInvert;
        for (auto* im : {plain.get(), inverted.get()}) {
            im->AirBrush = SteadyAirBrush();
            Draw(*im, name, Stroke(kStroke));
        }
        EXPECT_TRUE(SamePixels(plain->Picture(), inverted->Picture())) << name;
        EXPECT_EQ(inverted->Canvas().CopyMode, cmSrcInvert) << name;
    }
}

// Flat grey 200 on 9 x 9: the adjustment to lightness -255 gives 2 * 200 - 255 = 145 inside the
// disc. A brush far larger than the picture, centred off it, shrinks to radius 4 about (4, 4):
// the 8 x 8 patch at the top left; row 8 and column 8 stay.
TEST(BrushPatch, AdjustBrushLargerThanThePictureStaysOnIt)
{
    auto d = BrushImage(Flat(9, 9, 200));
    d->SnapshotPicture();
    AdjustBrush(*d, TPoint(-5, 50), akLightness, -255, 100);
    const QRgb grey = qRgb(200, 200, 200), darker = qRgb(145, 145, 145);
    EXPECT_EQ(PixelOf(*d, 4, 4), darker);
    EXPECT_EQ(PixelOf(*d, 1, 4), darker);
    for (auto [x, y] : {std::pair(0, 0), std::pair(7, 0), std::pair(0, 7), std::pair(7, 7)})
        EXPECT_EQ(PixelOf(*d, x, y), grey) << x << "," << y;  // outside the disc
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(PixelOf(*d, 8, i), grey);
        EXPECT_EQ(PixelOf(*d, i, 8), grey);
    }
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_TRUE(PixelOf(*d, x, y) == grey || PixelOf(*d, x, y) == darker);
}

// Each call shows the snapshot with one fresh disc: the disc of the call before is gone.
// A pen far wider than the picture paints as one just covering it, without a brush square of
// the pen's size (2^20 pixels a side: more memory than there is).
TEST(BrushPatch, ColourBrushWithAHugePenPaintsAsOneCoveringThePicture)
{
    for (int operation : {0, 9, 13}) {
        TBitmap expected = PhotoPicture();
        ColorBrush(expected, 30, 20, operation, 400);
        auto im = BrushImage(PhotoPicture(), 1 << 20);
        PaintColorBrush(*im, 30, 20, operation);
        EXPECT_TRUE(SamePixels(im->Picture(), expected)) << operation;
    }
}

TEST(BrushPatch, BrushesRedrawFromTheSnapshotAndNeverAccumulate)
{
    const TBitmap flat = Flat(40, 20, 200);
    auto d = BrushImage(flat);
    d->SnapshotPicture();
    AdjustBrush(*d, TPoint(8, 10), akLightness, -255, 6);
    EXPECT_EQ(PixelOf(*d, 8, 10), qRgb(145, 145, 145));
    AdjustBrush(*d, TPoint(8, 10), akLightness, -255, 6);
    EXPECT_EQ(PixelOf(*d, 8, 10), qRgb(145, 145, 145));  // not 2 * 145 - 255
    AdjustBrush(*d, TPoint(30, 10), akContrast, -255, 6);
    EXPECT_EQ(PixelOf(*d, 8, 10), qRgb(200, 200, 200));
    EXPECT_EQ(PixelOf(*d, 30, 10), qRgb(127, 127, 127));
    // The distortions alike: a twist of a flat patch changes nothing, and the disc before is gone.
    DistortBrush(*d, TPoint(20, 10), dmTwist, 5, 6);
    EXPECT_TRUE(SamePixels(d->Picture(), flat));
}

// A patch whose left half is black and right half grey 100, turned by 180 degrees about its
// centre: inside the disc the halves change places, exactly (no column shifted by one).
TEST(BrushPatch, RotationTurnsAboutThePatchCentre)
{
    TBitmap halves = Flat(20, 20, 100);
    halves.Canvas().Brush.Color = clBlack;
    halves.Canvas().FillRect(TRect(0, 0, 10, 20));
    auto d = BrushImage(halves);
    d->SnapshotPicture();
    DistortBrush(*d, TPoint(10, 10), dmRotate, 180, 8);  // patch 2..17
    for (int y = 6; y <= 13; ++y)
        for (int x = 4; x <= 15; ++x)
            EXPECT_EQ(qRed(PixelOf(*d, x, y)), x < 10 ? 100 : 0) << x << "," << y;
    EXPECT_EQ(qRed(PixelOf(*d, 1, 10)), 0);     // outside the patch
    EXPECT_EQ(qRed(PixelOf(*d, 18, 10)), 100);
}

// Rows of distinct greys (row y has value 10 * y). The shape brush stretches a band of the
// snapshot over its square: the vertical modes a band of rows cy - s .. cy + s - 1 from top to
// bottom, the horizontal modes a band of columns. At the least amount s is 5; at 180 degrees
// it is the radius, so the band is the whole square and the box shows the picture unchanged.
TEST(BrushPatch, ShapeBrushStretchesItsBandOverTheSquare)
{
    TBitmap rows(24, 24), cols(24, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            rows.Canvas().SetPixel(x, y, RGB(10 * y, 10 * y, 10 * y));
            cols.Canvas().SetPixel(x, y, RGB(10 * x, 10 * x, 10 * x));
        }
    struct Case {
        int mode;
        const TBitmap* picture;
    };
    for (const Case& c : {Case{sbVerBox, &rows}, Case{sbHorBox, &cols}, Case{sbVerOval, &rows}, Case{sbHorOval, &cols}}) {
        auto d = BrushImage(*c.picture);
        d->SnapshotPicture();
        ShapeBrush(*d, TPoint(10, 10), c.mode, 0, 8);  // square 2..17, s = 5: band 5..14
        const bool vertical = c.mode == sbVerBox || c.mode == sbVerOval;
        auto value = [&](int along, int across) {
            return qRed(vertical ? PixelOf(*d, across, along) : PixelOf(*d, along, across));
        };
        // The middle of the square's first and last line shows the band's first and last line.
        EXPECT_EQ(value(2, 10), 50) << c.mode;
        EXPECT_EQ(value(17, 10), 140) << c.mode;
        // Outside the square the picture stands.
        EXPECT_EQ(value(1, 10), 10) << c.mode;
        EXPECT_EQ(value(18, 10), 180) << c.mode;
        // The box covers its corners; the oval leaves them to the snapshot.
        const bool oval = c.mode >= sbVerOval;
        EXPECT_EQ(value(2, 2), oval ? 20 : 50) << c.mode;

        auto whole = BrushImage(*c.picture);
        whole->SnapshotPicture();
        ShapeBrush(*whole, TPoint(10, 10), c.mode, 180, 8);
        EXPECT_TRUE(SamePixels(whole->Picture(), *c.picture)) << c.mode;
    }
}

// The tool changed during a drag: a move arrives without the press that takes the snapshot,
// while WorkBitmap holds a small copied range. The picture keeps its size and content outside
// the brush.
TEST(BrushTools, AMoveWithoutItsPressKeepsThePicture)
{
    const QImage photo = PhotoPicture().Image();
    for (const char* name : {"darkerbrush", "smoothbrush", "fisheyefixbrush", "brightnessbrush", "mbVerOval", "mbHorBox"}) {
        auto im = BrushImage(PhotoPicture());
        im->WorkBitmap = TBitmap(5, 5);
        im->Drag.StartPoint = TPoint(20, 20);
        Row(name).Move(*im, TToolEvent{mbLeft, 0, 30, 30});
        ASSERT_EQ(im->Picture().Width(), 64) << name;
        ASSERT_EQ(im->Picture().Height(), 64) << name;
        EXPECT_EQ(PixelOf(*im, 63, 0), photo.pixel(63, 0)) << name;
        EXPECT_EQ(PixelOf(*im, 0, 63), photo.pixel(0, 63)) << name;
    }
}
