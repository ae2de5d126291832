// Pixel checks of the canvas: the framework's drawing conventions on a 24-bit picture.
#include "platform/vcl/Graphics.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// The picture as rows of characters: '.' white, '#' black, 'o' any other colour.
std::vector<std::string> Art(TBitmap& b)
{
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string row;
        for (int x = 0; x < b.Width(); ++x) {
            const TColor c = b.Canvas().Pixels[x][y];
            row += c == clWhite ? '.' : c == clBlack ? '#' : 'o';
        }
        rows.push_back(row);
    }
    return rows;
}

// A picture where no two neighbours share a colour and no pixel is black or white.
void Gradient(TBitmap& b)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.Canvas().Pixels[x][y] = RGB(20 + x * 7 % 200, 30 + y * 11 % 200, 40 + (x + y) * 3 % 200);
}

using Pixels = std::set<std::pair<int, int>>;

Pixels Differences(TBitmap& a, TBitmap& b)
{
    Pixels out;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (TColor(a.Canvas().Pixels[x][y]) != TColor(b.Canvas().Pixels[x][y]))
                out.insert({x, y});
    return out;
}

bool SamePicture(const TBitmap& a, const TBitmap& b) { return a.Image() == b.Image(); }

} // namespace

TEST(Canvas, FillRectExcludesRightAndBottom)
{
    TBitmap b(6, 5);
    b.Canvas().Brush.Color = clBlack;
    b.Canvas().FillRect(Rect(1, 1, 4, 3));
    b.Canvas().FillRect(Rect(5, 4, 5, 9));    // empty: nothing
    b.Canvas().FillRect(Rect(-3, 4, 1, 99));  // clipped to the picture
    EXPECT_EQ(Art(b), (std::vector<std::string>{
                          "......",
                          ".###..",
                          ".###..",
                          "......",
                          "#.....",
                      }));
}

TEST(Canvas, LineToExcludesItsLastPixelAndMovesThePen)
{
    TBitmap b(6, 6);
    TCanvas& c = b.Canvas();
    c.MoveTo(0, 0);
    c.LineTo(4, 0);  // x = 0..3
    EXPECT_EQ(c.PenPos, Point(4, 0));
    c.MoveTo(5, 1);
    c.LineTo(5, 4);  // y = 1..3
    c.MoveTo(0, 2);
    c.LineTo(3, 5);  // (0,2) (1,3) (2,4)
    c.MoveTo(3, 3);
    c.LineTo(3, 3);  // zero length: nothing
    EXPECT_EQ(Art(b), (std::vector<std::string>{
                          "####..",
                          ".....#",
                          "#....#",
                          ".#...#",
                          "..#...",
                          "......",
                      }));
}

TEST(Canvas, FiguresStayInsideTheirBoundsAndPsClearDropsTheLastRowAndColumn)
{
    TBitmap b(7, 6);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clRed;
    c.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Art(b), (std::vector<std::string>{
                          ".......",
                          ".#####.",
                          ".#ooo#.",
                          ".#ooo#.",
                          ".#####.",
                          ".......",
                      }));

    TBitmap n(7, 6);
    n.Canvas().Brush.Color = clRed;
    n.Canvas().Pen.Style = psClear;
    n.Canvas().Rectangle(1, 1, 6, 5);
    n.Canvas().Ellipse(0, 0, 0, 9);  // empty
    EXPECT_EQ(Art(n), (std::vector<std::string>{
                          ".......",
                          ".oooo..",
                          ".oooo..",
                          ".oooo..",
                          ".......",
                          ".......",
                      }));

    // a rectangle given right-to-left is the same rectangle
    TBitmap r(7, 6);
    r.Canvas().Brush.Color = clRed;
    r.Canvas().Rectangle(6, 5, 1, 1);
    EXPECT_TRUE(SamePicture(r, b));

    // an ellipse touches all four sides of its bounds and is symmetric in them
    for (int size : {5, 9, 12}) {
        TBitmap e(size + 2, size + 2);
        e.Canvas().Brush.Color = clRed;
        e.Canvas().Ellipse(1, 1, size + 1, size + 1);
        const std::vector<std::string> art = Art(e);
        EXPECT_EQ(art.front(), std::string(size + 2, '.'));
        EXPECT_EQ(art.back(), std::string(size + 2, '.'));
        EXPECT_NE(art[1].find('#'), std::string::npos) << size;
        EXPECT_NE(art[size].find('#'), std::string::npos) << size;
        for (int y = 0; y < size + 2; ++y) {
            EXPECT_EQ(art[y], std::string(art[y].rbegin(), art[y].rend())) << size << " row " << y;
            EXPECT_EQ(art[y], art[size + 1 - y]) << size << " row " << y;
            EXPECT_EQ(art[y][0], '.');
        }
        EXPECT_EQ(art[(size + 2) / 2][(size + 2) / 2], 'o');
    }
}

// Every figure touches each of its pixels once: drawn once in an inverting pen mode it changes
// exactly the pixels that pmCopy paints, and drawn twice it restores the picture.
TEST(Canvas, InvertingPenModesTouchEachPixelOnceAndRestoreWhenDrawnTwice)
{
    using Draw = std::function<void(TCanvas&)>;
    struct Figure {
        const char* name;
        Draw draw;
    };
    const TPoint star[] = {{20, 2}, {28, 36}, {4, 14}, {36, 14}, {12, 36}};
    const TPoint zigzag[] = {{2, 2}, {30, 5}, {3, 20}, {35, 30}, {10, 38}};
    const TPoint curve[] = {{2, 30}, {10, 0}, {30, 60}, {38, 10}};
    const Figure figures[] = {
        {"line", [](TCanvas& c) { c.MoveTo(3, 37); c.LineTo(36, 4); }},
        {"rectangle", [](TCanvas& c) { c.Rectangle(4, 6, 33, 30); }},
        {"ellipse", [](TCanvas& c) { c.Ellipse(2, 3, 37, 31); }},
        {"small ellipse", [](TCanvas& c) { c.Ellipse(10, 10, 13, 14); }},
        {"round rect", [](TCanvas& c) { c.RoundRect(3, 3, 35, 33, 12, 9); }},
        {"star", [&](TCanvas& c) { c.Polygon(star); }},
        {"polyline", [&](TCanvas& c) { c.Polyline(zigzag); }},
        {"bezier", [&](TCanvas& c) { c.PolyBezier(curve); }},
        {"arc", [](TCanvas& c) { c.Arc(3, 3, 35, 35, 35, 19, 19, 3); }},
        {"pie", [](TCanvas& c) { c.Pie(3, 3, 35, 35, 35, 19, 3, 19); }},
        {"chord", [](TCanvas& c) { c.Chord(3, 3, 35, 35, 35, 3, 3, 35); }},
        {"wide rectangle", [](TCanvas& c) { c.Pen.Width = 3; c.Rectangle(5, 5, 30, 30); }},
        {"dotted line", [](TCanvas& c) { c.Pen.Style = psDot; c.MoveTo(0, 20); c.LineTo(40, 21); }},
        {"off-picture line", [](TCanvas& c) { c.MoveTo(-1000000, -999990); c.LineTo(1000000, 1000030); }},
    };
    struct Mode {
        TPenMode mode;
        TColor pen;
    };
    const Mode modes[] = {{pmNot, clRed}, {pmXor, clWhite}, {pmNotXor, clBlack}};

    for (const Figure& f : figures) {
        TBitmap background(40, 40);
        Gradient(background);
        TBitmap copied = background;
        copied.Canvas().Brush.Style = bsClear;
        copied.Canvas().Pen.Color = RGB(1, 2, 3);
        f.draw(copied.Canvas());
        const Pixels painted = Differences(copied, background);
        ASSERT_FALSE(painted.empty()) << f.name;

        for (const Mode& m : modes) {
            TBitmap b = background;
            TCanvas& c = b.Canvas();
            c.Brush.Style = bsClear;
            c.Pen.Mode = m.mode;
            c.Pen.Color = m.pen;
            f.draw(c);
            EXPECT_EQ(Differences(b, background), painted) << f.name << " mode " << m.mode;
            c.Pen = TPen{clBlack, 1, psSolid, m.mode};
            c.Pen.Color = m.pen;
            f.draw(c);
            EXPECT_TRUE(SamePicture(b, background)) << f.name << " mode " << m.mode;
        }
    }
}

TEST(Canvas, PenModesCombinePenAndPicture)
{
    struct Case {
        TPenMode mode;
        TColor expected;
    };
    const TColor pen = 0x0F0F33, dst = 0x3355AA;
    const Case cases[] = {
        {pmCopy, pen},          {pmNot, ~dst & 0xFFFFFF},       {pmXor, pen ^ dst},
        {pmNotXor, ~(pen ^ dst) & 0xFFFFFF}, {pmMask, pen & dst}, {pmMerge, pen | dst},
        {pmNop, dst},           {pmBlack, clBlack},             {pmWhite, clWhite},
        {pmNotCopy, ~pen & 0xFFFFFF},   {pmMaskNotPen, ~pen & dst & 0xFFFFFF},
    };
    for (const Case& c : cases) {
        TBitmap b(3, 1);
        b.Canvas().Pixels[0][0] = dst;
        b.Canvas().Pen.Color = pen;
        b.Canvas().Pen.Mode = c.mode;
        b.Canvas().MoveTo(0, 0);
        b.Canvas().LineTo(1, 0);
        EXPECT_EQ(TColor(b.Canvas().Pixels[0][0]), c.expected) << "mode " << c.mode;
        EXPECT_EQ(TColor(b.Canvas().Pixels[1][0]), clWhite);
    }
}

TEST(Canvas, BrushStylesAndDashGaps)
{
    TBitmap h(4, 18);
    h.Canvas().Brush.Color = clBlack;
    h.Canvas().Brush.Style = bsHorizontal;
    h.Canvas().FillRect(Rect(0, 0, 4, 18));
    for (int y = 0; y < 18; ++y)
        EXPECT_EQ(TColor(h.Canvas().Pixels[2][y]) == clBlack, y % 8 == 0) << y;

    TBitmap clear(8, 8);
    clear.Canvas().Brush.Style = bsClear;
    clear.Canvas().FillRect(Rect(0, 0, 8, 8));
    clear.Canvas().FloodFill(1, 1, clWhite, fsSurface);
    EXPECT_EQ(Art(clear)[3], "........");

    // psDot: three on, three off; the gaps take a solid brush and leave the picture otherwise
    TBitmap solid(12, 1), open(12, 1);
    for (TBitmap* b : {&solid, &open}) {
        b->Canvas().Pen.Style = psDot;
        b->Canvas().Brush.Color = clRed;
        b->Canvas().Brush.Style = b == &solid ? bsSolid : bsClear;
        b->Canvas().MoveTo(0, 0);
        b->Canvas().LineTo(12, 0);
    }
    EXPECT_EQ(Art(solid)[0], "###ooo###ooo");
    EXPECT_EQ(Art(open)[0], "###...###...");
}

TEST(Canvas, StretchDrawMirrorsAReversedRectangle)
{
    TBitmap src(4, 1);
    const TColor row[] = {clRed, clLime, clBlue, clBlack};
    for (int x = 0; x < 4; ++x)
        src.Canvas().Pixels[x][0] = row[x];
    const auto rowOf = [](TBitmap& b) {
        std::vector<TColor> out;
        for (int x = 0; x < b.Width(); ++x)
            out.push_back(b.Canvas().Pixels[x][0]);
        return out;
    };
    struct Case {
        const char* name;
        TRect dest;
        std::vector<TColor> expected;
    };
    const Case cases[] = {
        {"same size", Rect(0, 0, 4, 1), {clRed, clLime, clBlue, clBlack, clWhite, clWhite}},
        {"mirrored", Rect(4, 0, 0, 1), {clBlack, clBlue, clLime, clRed, clWhite, clWhite}},
        {"mirrored, offset", Rect(6, 0, 2, 1), {clWhite, clWhite, clBlack, clBlue, clLime, clRed}},
        {"doubled", Rect(0, 0, 8, 1), {clRed, clRed, clLime, clLime, clBlue, clBlue}},
        {"halved", Rect(0, 0, 2, 1), {clLime, clBlack, clWhite, clWhite, clWhite, clWhite}},
        {"empty", Rect(3, 0, 3, 1), {clWhite, clWhite, clWhite, clWhite, clWhite, clWhite}},
    };
    for (const Case& c : cases) {
        TBitmap dst(6, 1);
        dst.Canvas().StretchDraw(c.dest, src);
        EXPECT_EQ(rowOf(dst), c.expected) << c.name;
    }

    // a reversed source mirrors as well; reversing both does not
    TBitmap a(4, 1), b(4, 1);
    a.Canvas().CopyRect(Rect(0, 0, 4, 1), src.Canvas(), Rect(4, 0, 0, 1));
    b.Canvas().CopyRect(Rect(4, 0, 0, 1), src.Canvas(), Rect(4, 0, 0, 1));
    EXPECT_EQ(rowOf(a), (std::vector<TColor>{clBlack, clBlue, clLime, clRed}));
    EXPECT_EQ(rowOf(b), (std::vector<TColor>{clRed, clLime, clBlue, clBlack}));

    // upside down
    TBitmap col(1, 3), flipped(1, 3);
    col.Canvas().Pixels[0][0] = clRed;
    col.Canvas().Pixels[0][2] = clBlue;
    flipped.Canvas().StretchDraw(Rect(0, 3, 1, 0), col);
    EXPECT_EQ(TColor(flipped.Canvas().Pixels[0][0]), clBlue);
    EXPECT_EQ(TColor(flipped.Canvas().Pixels[0][2]), clRed);
}

TEST(Canvas, CopyModesAndTransparentDraws)
{
    TBitmap background(5, 5);
    Gradient(background);
    TBitmap sprite(3, 3);
    Gradient(sprite);

    TBitmap b = background;
    b.Canvas().CopyMode = cmSrcInvert;
    b.Canvas().Draw(1, 1, sprite);
    EXPECT_EQ(Differences(b, background).size(), 9u);
    b.Canvas().Draw(1, 1, sprite);
    EXPECT_TRUE(SamePicture(b, background));

    // a copy onto an overlapping part of its own picture reads the old pixels
    TBitmap self = background, expected = background;
    self.Canvas().CopyRect(Rect(1, 0, 5, 5), self.Canvas(), Rect(0, 0, 4, 5));
    expected.Canvas().CopyRect(Rect(1, 0, 5, 5), background.Canvas(), Rect(0, 0, 4, 5));
    EXPECT_TRUE(SamePicture(self, expected));

    // the transparent colour (by default the bottom-left pixel) is left out
    TBitmap mask(3, 3);
    mask.Canvas().Brush.Color = clBlack;
    mask.Canvas().FillRect(Rect(1, 0, 2, 3));
    mask.Transparent = true;
    EXPECT_EQ(mask.TransparentColor(), clWhite);
    TBitmap t = background;
    t.Canvas().Draw(0, 0, mask);
    EXPECT_EQ(Differences(t, background), (Pixels{{1, 0}, {1, 1}, {1, 2}}));
    mask.SetTransparentColor(clBlack);
    TBitmap u = background;
    u.Canvas().Draw(0, 0, mask);
    EXPECT_EQ(Differences(u, background).size(), 6u);
}

TEST(Canvas, FloodFillSurfaceAndBorder)
{
    const auto boxed = [] {
        TBitmap b(10, 10);
        b.Canvas().Brush.Style = bsClear;
        b.Canvas().Rectangle(2, 2, 8, 8);
        b.Canvas().Brush.Style = bsSolid;
        b.Canvas().Brush.Color = clRed;
        return b;
    };
    const std::vector<std::string> inside = {
        "..........", "..........", "..######..", "..#oooo#..", "..#oooo#..",
        "..#oooo#..", "..#oooo#..", "..######..", "..........", "..........",
    };
    TBitmap s = boxed();
    s.Canvas().FloodFill(4, 4, clWhite, fsSurface);
    EXPECT_EQ(Art(s), inside);
    TBitmap f = boxed();
    f.Canvas().FloodFill(5, 6, clBlack, fsBorder);
    EXPECT_EQ(Art(f), inside);

    // starting on a pixel that does not belong to the area does nothing
    TBitmap none = boxed(), plain = boxed();
    none.Canvas().FloodFill(2, 2, clWhite, fsSurface);
    none.Canvas().FloodFill(2, 2, clBlack, fsBorder);
    none.Canvas().FloodFill(-1, 3, clWhite, fsSurface);
    EXPECT_TRUE(SamePicture(none, plain));

    // the fill spreads to the four neighbours only: a diagonal line holds it
    TBitmap d(6, 6);
    d.Canvas().MoveTo(0, 5);
    d.Canvas().LineTo(6, -1);
    d.Canvas().Brush.Color = clRed;
    d.Canvas().FloodFill(0, 0, clWhite, fsSurface);
    EXPECT_EQ(Art(d), (std::vector<std::string>{"ooooo#", "oooo#.", "ooo#..", "oo#...", "o#....", "#....."}));
}

TEST(Canvas, PixelsAndClipRect)
{
    TBitmap b(4, 3);
    TCanvas& c = b.Canvas();
    c.Pixels[3][2] = clBlue;
    c.Pixels[4][0] = clBlack;  // outside: ignored
    EXPECT_EQ(TColor(c.Pixels[3][2]), clBlue);
    EXPECT_EQ(TColor(c.Pixels[4][0]), -1);
    EXPECT_EQ(TColor(c.Pixels[0][-1]), -1);
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 4, 3));

    c.SetClipRect(Rect(1, 1, 3, 9));
    EXPECT_EQ(c.ClipRect(), Rect(1, 1, 3, 3));
    c.Brush.Color = clBlack;
    c.FillRect(Rect(0, 0, 4, 3));
    EXPECT_EQ(TColor(c.Pixels[0][0]), -1);
    c.ResetClipRect();
    EXPECT_EQ(Art(b), (std::vector<std::string>{"....", ".##.", ".##o"}));

    TBitmap empty;
    empty.Canvas().Rectangle(0, 0, 5, 5);
    empty.Canvas().FloodFill(0, 0, clWhite, fsSurface);
    EXPECT_EQ(TColor(empty.Canvas().Pixels[0][0]), -1);
}

// A canvas over a painter draws the same pixels as one over the picture itself.
TEST(Canvas, PainterTargetDrawsTheSamePixels)
{
    const auto drawAll = [](TCanvas& c) {
        c.Brush.Color = clRed;
        c.FillRect(Rect(2, 2, 20, 12));
        c.Pen.Color = clBlue;
        c.Rectangle(5, 5, 25, 25);
        c.Pen.Mode = pmXor;
        c.Pen.Color = clWhite;
        c.Brush.Style = bsClear;
        c.Ellipse(0, 0, 30, 20);
        c.MoveTo(0, 29);
        c.LineTo(29, 0);
    };
    QImage direct(30, 30, QImage::Format_RGB32);
    direct.fill(Qt::white);
    QImage painted = direct.copy();
    {
        TCanvas c(&direct);
        drawAll(c);
    }
    {
        QPainter p(&painted);
        TCanvas c(&p);
        EXPECT_EQ(c.ClipRect(), Rect(0, 0, 30, 30));
        drawAll(c);
        EXPECT_EQ(TColor(c.Pixels[1][1]), -1);  // a painter cannot be read
    }
    EXPECT_EQ(direct, painted);
}
