// Colour values and rectangles with the framework's conventions.
#include "platform/vcl/Colors.h"
#include "platform/vcl/Types.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

// Sets an application palette for one test and restores the previous one.
class PaletteScope {
public:
    explicit PaletteScope(const QPalette& p) : m_saved(QApplication::palette()) { QApplication::setPalette(p); }
    ~PaletteScope() { QApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

} // namespace

TEST(Colors, PlainValuesAreBgrAndMatchQColor)
{
    EXPECT_EQ(clRed, RGB(255, 0, 0));
    EXPECT_EQ(clBlue, 0xFF0000);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412);
    EXPECT_EQ(ToQColor(clAqua), QColor(0, 255, 255));
    EXPECT_EQ(ToQColor(clMaroon), QColor(128, 0, 0));
    EXPECT_EQ(FromQColor(QColor(1, 2, 3)), 0x030201);
    EXPECT_EQ(FromQColor(QColor(1, 2, 3, 7)), 0x030201);  // alpha ignored
}

TEST(Colors, SystemColoursResolveThroughTheApplicationPalette)
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(10, 20, 30));
    p.setColor(QPalette::Base, QColor(40, 50, 60));
    p.setColor(QPalette::Highlight, QColor(70, 80, 90));
    p.setColor(QPalette::HighlightedText, QColor(1, 2, 3));
    p.setColor(QPalette::Text, QColor(4, 5, 6));
    p.setColor(QPalette::ToolTipBase, QColor(7, 8, 9));
    PaletteScope scope(p);

    struct Case {
        TColor color;
        TColor expected;
    };
    const Case cases[] = {
        {clBtnFace, RGB(10, 20, 30)},       {clWindow, RGB(40, 50, 60)},
        {clHighlight, RGB(70, 80, 90)},     {clHighlightText, RGB(1, 2, 3)},
        {clWindowText, RGB(4, 5, 6)},       {clInfoBk, RGB(7, 8, 9)},
        // the older form of a system colour: only the top bit set
        {TColor(0x8000000F), RGB(10, 20, 30)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColorToRGB(c.color), c.expected) << std::hex << c.color;
        EXPECT_EQ(ToQColor(c.color), QColor(GetRValue(c.expected), GetGValue(c.expected), GetBValue(c.expected)));
    }
    // the stored default of a picture control's background is the button face
    EXPECT_EQ(clBtnFace, -16777201);
}

TEST(Colors, NoneAndDefaultAreNotSystemColours)
{
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
    EXPECT_EQ(ColorToRGB(clWhite), clWhite);
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_TRUE(IsSystemColor(clBtnShadow));
}

TEST(Rects, RightAndBottomAreExclusive)
{
    const TRect r = Rect(2, 3, 6, 5);
    EXPECT_EQ(r.Width(), 4);
    EXPECT_EQ(r.Height(), 2);
    EXPECT_EQ(r.ToQRect(), QRect(2, 3, 4, 2));
    EXPECT_EQ(TRect::FromQRect(QRect(2, 3, 4, 2)), r);
    EXPECT_EQ(Bounds(2, 3, 4, 2), r);

    struct Case {
        TPoint p;
        bool inside;
    };
    const Case cases[] = {{{2, 3}, true}, {{5, 4}, true}, {{6, 4}, false}, {{5, 5}, false}, {{1, 3}, false}, {{2, 2}, false}};
    for (const Case& c : cases)
        EXPECT_EQ(PtInRect(r, c.p), c.inside) << c.p.X << "," << c.p.Y;
    EXPECT_TRUE(Rect(4, 4, 4, 9).IsEmpty());
    EXPECT_TRUE(Rect(5, 0, 1, 3).IsEmpty());
    EXPECT_EQ(Rect(5, 7, 1, 3).Normalized(), Rect(1, 3, 5, 7));
}

TEST(Rects, IntersectUnionOffsetInflate)
{
    struct Case {
        TRect a, b;
        bool overlap;
        TRect common;
    };
    const Case cases[] = {
        {Rect(0, 0, 10, 10), Rect(5, 5, 15, 15), true, Rect(5, 5, 10, 10)},
        {Rect(0, 0, 10, 10), Rect(10, 0, 20, 10), false, Rect(0, 0, 0, 0)},  // touching edges
        {Rect(0, 0, 10, 10), Rect(2, 2, 3, 3), true, Rect(2, 2, 3, 3)},
        {Rect(0, 0, 10, 10), Rect(-5, 20, 5, 30), false, Rect(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        TRect out(9, 9, 9, 9);
        EXPECT_EQ(IntersectRect(out, c.a, c.b), c.overlap);
        EXPECT_EQ(out, c.common);
    }

    TRect u;
    EXPECT_TRUE(UnionRect(u, Rect(0, 0, 2, 2), Rect(5, 6, 7, 8)));
    EXPECT_EQ(u, Rect(0, 0, 7, 8));
    EXPECT_TRUE(UnionRect(u, Rect(3, 3, 3, 9), Rect(5, 6, 7, 8)));  // an empty one does not count
    EXPECT_EQ(u, Rect(5, 6, 7, 8));

    TRect r = Rect(1, 2, 3, 4);
    OffsetRect(r, 10, -2);
    EXPECT_EQ(r, Rect(11, 0, 13, 2));
    InflateRect(r, 1, 2);
    EXPECT_EQ(r, Rect(10, -2, 14, 4));
    InflateRect(r, -1, -2);
    EXPECT_TRUE(EqualRect(r, Rect(11, 0, 13, 2)));
}
