// Canvas text: the font's units, the layout of DrawText (with fixed metrics) and the
// drawing of text on a real canvas.
#include "FakeTextMetrics.h"

#include "platform/vcl/CanvasText.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Graphics.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include <climits>

namespace {

// The box around every pixel that is not white, or an empty rectangle.
TRect InkBox(const QImage& img)
{
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != QColor(Qt::white)) {
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x + 1);
                b = std::max(b, y + 1);
            }
    return l == INT_MAX ? TRect() : TRect(l, t, r, b);
}

QImage White(int w, int h)
{
    QImage img(w, h, QImage::Format_BGR888);
    img.fill(Qt::white);
    return img;
}

} // namespace

TEST(Font, SizeAndHeightFollowThePixelsPerInch)
{
    struct Case {
        int size, height;
    } cases[] = {{8, -11}, {10, -13}, {12, -16}, {14, -19}, {16, -21}, {20, -27}};
    for (const Case& c : cases) {
        TFont f;
        f.SetSize(c.size);
        EXPECT_EQ(f.Height(), c.height) << c.size;
        TFont g;
        g.SetHeight(c.height);
        EXPECT_EQ(g.Size(), c.size) << c.height;
    }
    TFont f;
    EXPECT_EQ(f.Name, "MS Sans Serif");
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Color, clWindowText);
    f.SetPixelsPerInch(192);
    EXPECT_EQ(f.Size(), 4);  // the same pixels are half the points at twice the resolution
}

TEST(Font, MulDivRoundsHalvesAwayFromZero)
{
    struct Case {
        int a, b, c, expected;
    } cases[] = {{8, 96, 72, 11}, {-11, 72, 96, -8}, {1, 1, 2, 1}, {-1, 1, 2, -1}, {3, 1, -2, -2},
                 {7, 0, 3, 0},    {5, 5, 0, -1},     {INT_MAX, 2, 2, INT_MAX}};
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << " " << c.b << " " << c.c;
}

TEST(Font, QtFontCarriesPixelSizeStylesAndMappedFace)
{
    TFont f;
    f.Style = {fsBold, fsUnderline};
    QFont q = f.ToQFont();
    EXPECT_EQ(q.pixelSize(), 11);
    EXPECT_TRUE(q.bold());
    EXPECT_FALSE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.strikeOut());
    f.Style = {fsItalic, fsStrikeOut};
    q = f.ToQFont();
    EXPECT_FALSE(q.bold());
    EXPECT_TRUE(q.italic());
    EXPECT_FALSE(q.underline());
    EXPECT_TRUE(q.strikeOut());

    // A positive height is the whole cell.
    f.SetHeight(20);
    EXPECT_NEAR(QFontMetrics(f.ToQFont()).height(), 20, 1);

    // The dialog fonts of the old platform draw with the default sans-serif face.
    QFont sans("Sans Serif");
    sans.setStyleHint(QFont::SansSerif);
    const QString expected = QFontInfo(sans).family();
    for (const char* face : {"MS Sans Serif", "ms shell dlg", "MS Shell Dlg 2"}) {
        TFont g;
        g.Name = face;
        EXPECT_EQ(QFontInfo(g.ToQFont()).family(), expected) << face;
    }
}

TEST(CanvasFont, EveryCanvasGetsItsOwnFontOnFirstUse)
{
    InitCanvasText();
    TCanvas a, b;
    ASSERT_NE(a.Font(), nullptr);
    ASSERT_NE(b.Font(), nullptr);
    EXPECT_NE(a.Font(), b.Font());
    a.Font()->SetSize(20);
    EXPECT_EQ(b.Font()->Size(), 8);
    EXPECT_EQ(&CanvasFont(a), a.Font());
}

// ---- the layout of DrawText, with every character 6 pixels wide and lines 10 high ----

struct LayoutCase {
    const char* name;
    QString text;
    unsigned flags;
    QStringList texts;
    std::vector<std::pair<int, int>> positions;
};

TEST(DrawTextLayout, PlacesLinesByFlags)
{
    const TRect area(10, 20, 70, 60);  // 10 characters wide, 4 lines high
    const LayoutCase cases[] = {
        {"left top", "abc", DT_SINGLELINE, {"abc"}, {{10, 20}}},
        {"right", "abc", DT_SINGLELINE | DT_RIGHT, {"abc"}, {{52, 20}}},
        {"centre", "abc", DT_SINGLELINE | DT_CENTER, {"abc"}, {{31, 20}}},
        {"bottom", "abc", DT_SINGLELINE | DT_BOTTOM, {"abc"}, {{10, 50}}},
        {"vcenter", "abc", DT_SINGLELINE | DT_VCENTER, {"abc"}, {{10, 35}}},
        {"vcenter needs single line", "abc", DT_VCENTER, {"abc"}, {{10, 20}}},
        {"line ends", "ab\r\ncd\nef\rg", DT_LEFT, {"ab", "cd", "ef", "g"}, {{10, 20}, {10, 30}, {10, 40}, {10, 50}}},
        {"single line joins", "ab\r\ncd", DT_SINGLELINE, {"ab  cd"}, {{10, 20}}},
        {"word break", "aaa bbb ccc dddd", DT_WORDBREAK, {"aaa bbb", "ccc dddd"}, {{10, 20}, {10, 30}}},
        {"long word stays whole", "abcdefghijklmn xy", DT_WORDBREAK, {"abcdefghijklmn", "xy"}, {{10, 20}, {10, 30}}},
        {"no break without the flag", "aaa bbb ccc dddd", DT_LEFT, {"aaa bbb ccc dddd"}, {{10, 20}}},
        {"ellipsis", "abcdefghijklmnop", DT_SINGLELINE | DT_END_ELLIPSIS, {"abcdefghi\u2026"}, {{10, 20}}},
        {"ellipsis only when too long", "abcdefghij", DT_SINGLELINE | DT_END_ELLIPSIS, {"abcdefghij"}, {{10, 20}}},
        {"tabs", "a\tb", DT_SINGLELINE | DT_EXPANDTABS, {"a", "b"}, {{10, 20}, {58, 20}}},
        {"ampersand is text", "Tom&Jerry.jpg", DT_SINGLELINE, {"Tom&Jerry.jpg"}, {{10, 20}}},
        {"doubled ampersand stays doubled", "a&&b", DT_SINGLELINE | DT_NOPREFIX, {"a&&b"}, {{10, 20}}},
    };
    for (const LayoutCase& c : cases) {
        FakeTextMetrics m;
        QImage img = White(100, 100);
        TCanvas canvas(&img);
        TRect r = area;
        const int h = DrawText(m, canvas, TFont(), clNone, c.text, r, c.flags);
        EXPECT_EQ(m.Texts(), c.texts) << c.name;
        ASSERT_EQ(m.Calls.size(), c.positions.size()) << c.name;
        for (size_t i = 0; i < m.Calls.size(); ++i) {
            EXPECT_EQ(m.Calls[i].x, c.positions[i].first) << c.name << " line " << i;
            EXPECT_EQ(m.Calls[i].y, c.positions[i].second) << c.name << " line " << i;
            EXPECT_EQ(m.Calls[i].clip, area) << c.name;
        }
        EXPECT_EQ(r, area) << c.name << ": drawing leaves the rectangle alone";
        const int lines = (c.flags & DT_SINGLELINE) ? 1 : int(c.texts.size());
        EXPECT_EQ(h, lines * 10) << c.name;
    }
}

TEST(DrawTextLayout, CalcRectMeasuresWithoutDrawing)
{
    struct Case {
        QString text;
        unsigned flags;
        int width, height;
    } cases[] = {
        {"abc", DT_SINGLELINE, 18, 10},
        {"", DT_SINGLELINE, 0, 10},
        {"ab\r\ncdef\nx", DT_LEFT, 24, 30},
        {"aaa bbb ccc dddd", DT_WORDBREAK, 48, 20},
        {"abcdefghijklmnop", DT_SINGLELINE | DT_END_ELLIPSIS, 96, 10},  // the whole width
        {"a\tb", DT_SINGLELINE | DT_EXPANDTABS, 54, 10},
        {"Tom&Jerry.jpg", DT_SINGLELINE | DT_BOTTOM, 78, 10},
    };
    for (const Case& c : cases) {
        FakeTextMetrics m;
        QImage img = White(10, 10);
        TCanvas canvas(&img);
        TRect r(10, 20, 70, 60);
        EXPECT_EQ(DrawText(m, canvas, TFont(), clNone, c.text, r, c.flags | DT_CALCRECT), c.height) << c.text.toStdString();
        EXPECT_EQ(r, TRect(10, 20, 10 + c.width, 20 + c.height)) << c.text.toStdString();
        EXPECT_TRUE(m.Calls.empty());
    }
}

TEST(DrawTextLayout, NoClipAndBackgroundReachTheLine)
{
    FakeTextMetrics m;
    QImage img = White(10, 10);
    TCanvas canvas(&img);
    TRect r(0, 0, 5, 5);
    DrawText(m, canvas, TFont(), clYellow, "abc", r, DT_SINGLELINE | DT_NOCLIP);
    ASSERT_EQ(m.Calls.size(), 1u);
    EXPECT_TRUE(PtInRect(m.Calls[0].clip, TPoint(500, 500)));
    EXPECT_EQ(m.Calls[0].background, clYellow);
}

// ---- real fonts on a real canvas ----

TEST(CanvasText, ExtentsOfTheCanvasFont)
{
    QImage img = White(10, 10);
    TCanvas canvas(&img);
    EXPECT_EQ(TextExtent(canvas, "").cx, 0);
    const int h = TextHeight(canvas, "gh");
    EXPECT_EQ(h, QFontMetrics(CanvasFont(canvas).ToQFont()).height());
    EXPECT_GT(h, 8);
    // The ampersand is measured as a character.
    EXPECT_GT(TextWidth(canvas, "A&B"), TextWidth(canvas, "AB"));
    TRect r(0, 0, 1000, 1000);
    DrawText(canvas, "Tom&Jerry.jpg", r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(r.Width(), TextWidth(canvas, "Tom&Jerry.jpg"));
    // A bigger font is taller.
    CanvasFont(canvas).SetSize(20);
    EXPECT_GT(TextHeight(canvas, "gh"), h);
}

TEST(CanvasText, TextOutDrawsInTheFontColourInsideItsExtent)
{
    QImage img = White(120, 40);
    TCanvas canvas(&img);
    canvas.Brush.Style = bsClear;
    CanvasFont(canvas).Color = clRed;
    TextOut(canvas, 5, 6, "HHH");
    const TSize ext = TextExtent(canvas, "HHH");
    const TRect ink = InkBox(img);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_GE(ink.Left, 5);
    EXPECT_GE(ink.Top, 6);
    EXPECT_LE(ink.Right, 5 + ext.cx);
    EXPECT_LE(ink.Bottom, 6 + ext.cy);
    // Smoothed edges mix red into white: every ink pixel is red over white, some strongly.
    bool strong = false;
    for (int y = ink.Top; y < ink.Bottom; ++y)
        for (int x = ink.Left; x < ink.Right; ++x) {
            const QColor c = img.pixelColor(x, y);
            EXPECT_EQ(c.red(), 255);
            EXPECT_EQ(c.green(), c.blue());
            strong |= c.green() < 100;
        }
    EXPECT_TRUE(strong);
    EXPECT_EQ(canvas.PenPos, TPoint(5 + ext.cx, 6));
}

TEST(CanvasText, SolidBrushFillsBehindTextAndClearBrushDoesNot)
{
    for (TBrushStyle style : {bsSolid, bsClear}) {
        QImage img = White(60, 30);
        TCanvas canvas(&img);
        canvas.Brush = TBrush{clBlue, style};
        TextOut(canvas, 2, 2, "i");
        EXPECT_EQ(img.pixelColor(2, 2), style == bsSolid ? QColor(0, 0, 255) : QColor(Qt::white));
    }
}

TEST(CanvasText, TextRectFillsAndClipsToItsRectangle)
{
    QImage img = White(80, 30);
    TCanvas canvas(&img);
    canvas.Brush = TBrush{clYellow, bsSolid};
    CanvasFont(canvas).Color = clBlack;
    TextRect(canvas, Rect(0, 0, 12, 30), 0, 5, "WWWWWWWW");
    EXPECT_EQ(img.pixelColor(11, 0), QColor(255, 255, 0));
    const TRect ink = InkBox(img);
    EXPECT_EQ(ink.Right, 12) << "nothing beyond the rectangle";
}

TEST(CanvasText, RotatedTextRunsUpwards)
{
    QImage img = White(60, 120);
    TCanvas canvas(&img);
    canvas.Brush.Style = bsClear;
    CanvasFont(canvas).Color = clBlack;
    CanvasFont(canvas).Orientation = 900;
    TextOut(canvas, 20, 100, "HHHHHH");
    const TRect ink = InkBox(img);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_LE(ink.Bottom, 101);
    EXPECT_GE(ink.Left, 20);
}

TEST(CanvasText, FocusRectInvertsEveryOtherEdgePixelAndUndoesItself)
{
    QImage img(12, 8, QImage::Format_BGR888);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            img.setPixelColor(x, y, QColor(10 * x, 20 * y, 100));
    const QImage before = img;
    TCanvas canvas(&img);
    DrawFocusRect(canvas, Rect(2, 1, 10, 7));
    EXPECT_NE(img.pixelColor(2, 1), before.pixelColor(2, 1));
    EXPECT_EQ(img.pixelColor(3, 1), before.pixelColor(3, 1));
    EXPECT_EQ(img.pixelColor(2, 1).red(), 255 - before.pixelColor(2, 1).red());
    EXPECT_EQ(img.pixelColor(5, 4), before.pixelColor(5, 4)) << "inside untouched";
    EXPECT_EQ(img.pixelColor(10, 1), before.pixelColor(10, 1)) << "right edge exclusive";
    DrawFocusRect(canvas, Rect(2, 1, 10, 7));
    EXPECT_EQ(img, before);
}
