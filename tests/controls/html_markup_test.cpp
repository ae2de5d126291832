// The text side of the items: plain text, colour names, the escape pair and picture sources.
#include "controls/HTMLColors.h"
#include "controls/HTMLEscape.h"
#include "controls/HTMLRender.h"

#include <gtest/gtest.h>

TEST(HTMLToPlainText, DropsTagsAndHiddenRunsAndBreaksLines)
{
    struct Case {
        QString item, plain;
    } cases[] = {
        {"<b>a</b><br>b<z>hidden</z>", "a\r\nb"},
        {"<B>a</B><BR>b<Z>hidden</Z>", "a\r\nb"},
        {"a<Z>mixed case</z>b", "ab"},
        {"x<HR>y<hr>z", "x\r\ny\r\nz"},
        {"<IMG src=\"file:///home/u/Archive_0001/_THUMB_a.jpg\" align=\"top\">a.jpg | Urlaub", "a.jpg | Urlaub"},
        {"Tom&amp;Jerry &euro;", "Tom&amp;Jerry &euro;"},  // entities stay as written
        {"a<z>never closed", "a"},
        {"a<b", "a"},
        {"<FONT color=\"clRed\" size=\"3\">red</FONT> text", "red text"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HTMLToPlainText(c.item), c.plain) << c.item.toStdString();
}

TEST(HTMLEscape, RoundTripsEveryText)
{
    const QString texts[] = {"Tom&Jerry.jpg", "a<b>c.jpg", "&amp; stays &amp;", "&lt;", "say \"cheese\"",
                             "Urlaub 2004 | Strand", "&&", "", "plain"};
    for (const QString& t : texts) {
        const QString e = HTMLEscape(t);
        EXPECT_FALSE(e.contains('<') || e.contains('>') || e.contains('"')) << e.toStdString();
        EXPECT_EQ(HTMLUnescape(e), t) << t.toStdString();
    }
    EXPECT_EQ(HTMLEscape("Tom&Jerry <1>"), "Tom&amp;Jerry &lt;1&gt;");
    EXPECT_EQ(HTMLUnescape("a &AMP; b &unknown; &"), "a & b &unknown; &");
    EXPECT_EQ(HTMLUnescape("&amp;lt;"), "&lt;") << "one pass only";
}

TEST(HTMLColors, NamesAndSystemColours)
{
    struct Case {
        const char* name;
        TColor color;
    } cases[] = {
        {"clRed", RGB(255, 0, 0)},       {"clBlack", RGB(0, 0, 0)},       {"clBlue", RGB(0, 0, 255)},
        {"clGreen", RGB(0, 128, 0)},     {"clAqua", RGB(0, 255, 255)},    {"clYellow", RGB(255, 255, 0)},
        {"clFuchsia", RGB(255, 0, 255)}, {"clWhite", RGB(255, 255, 255)}, {"clLime", RGB(0, 255, 0)},
        {"clSilver", RGB(192, 192, 192)}, {"clGray", RGB(128, 128, 128)}, {"clOlive", RGB(128, 128, 0)},
        {"clNavy", RGB(0, 0, 128)},      {"clPurple", RGB(128, 0, 128)},  {"clTeal", RGB(0, 128, 128)},
        {"clMaroon", RGB(128, 0, 0)},
        {"clBackground", SystemColorValue(1)},      {"clActiveCaption", SystemColorValue(2)},
        {"clInactiveCaption", SystemColorValue(3)}, {"clMenu", SystemColorValue(4)},
        {"clWindow", SystemColorValue(5)},          {"clWindowFrame", SystemColorValue(6)},
        {"clMenuText", SystemColorValue(7)},        {"clWindowText", SystemColorValue(8)},
        {"clCaptionText", SystemColorValue(9)},     {"clActiveBorder", SystemColorValue(10)},
        {"clInactiveBorder", SystemColorValue(11)}, {"clAppWorkSpace", SystemColorValue(12)},
        {"clHighlight", SystemColorValue(13)},      {"clHighlightText", SystemColorValue(14)},
        {"clBtnFace", SystemColorValue(15)},        {"clBtnShadow", SystemColorValue(16)},
        {"clGrayText", SystemColorValue(17)},       {"clBtnText", SystemColorValue(18)},
        {"clInactiveCaptionText", SystemColorValue(19)}, {"clBtnHighlight", SystemColorValue(20)},
        {"cl3DDkShadow", SystemColorValue(21)},     {"cl3DLight", SystemColorValue(22)},
        {"clInfoText", SystemColorValue(23)},       {"clInfoBk", SystemColorValue(24)},
        {"CLRED", clRed},                           {"clred", clRed},
        {"red", clBlack},                           {"clNonsense", clBlack},
        {"", clBlack},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HTMLColorValue(c.name), c.color) << c.name;
}

TEST(HTMLColors, HexadecimalValues)
{
    struct Case {
        const char* text;
        TColor color;
    } cases[] = {
        {"#FF0000", clRed}, {"#00ff80", RGB(0, 255, 128)}, {"#0000FF", clBlue}, {"#123456", RGB(0x12, 0x34, 0x56)},
        {"#12", RGB(0x12, 0, 0)}, {"#GG00FF", RGB(0, 0, 255)}, {"#", clBlack}, {"#-10000", RGB(0, 0, 0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HexColorValue(c.text), c.color) << c.text;
    EXPECT_EQ(HTMLAttributeColor("#FF0000"), clRed);
    EXPECT_EQ(HTMLAttributeColor("ClReD"), clRed);
}

TEST(HTMLPictureSources, ListsTheCachedAddressesUnescaped)
{
    const QString item = "<IMG src=\"file:///a/Tom&amp;Jerry/_THUMB_x.jpg\" align=\"top\">x.jpg"
                         "<img SRC=\"named\"><IMG src=\"IDX:2\"><IMG src=\"file:///b.gif\"><IMG src=\"file:///b.gif\">";
    EXPECT_EQ(HTMLPictureSources(item), QStringList({"file:///a/Tom&Jerry/_THUMB_x.jpg", "file:///b.gif"}));
    EXPECT_TRUE(HTMLPictureSources("no pictures").isEmpty());
}
