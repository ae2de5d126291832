// The item engine with fixed text metrics: every character 6 pixels wide, lines 10 high.
// Pictures and fills are drawn on a real canvas; text is recorded.
#include "ItemFixture.h"

#include "controls/HTMLEscape.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// A thumbnail as the thumbnail maker writes it: 70 pixels high, here one colour.
QString WriteThumbnail(const QString& folder, const QString& name, int width = 93, QColor color = Qt::red)
{
    QImage img(width, 70, QImage::Format_RGB32);
    img.fill(color);
    const QString path = folder + name;
    EXPECT_TRUE(img.save(path, "JPEG", 95));
    return path;
}

bool Near(QColor a, QColor b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

TEST(HTMLRender, EmptyItemIsOneLineHigh)
{
    Item item("");
    const THTMLRenderResult m = item.Measure();
    EXPECT_EQ(m.Height, 10);
    EXPECT_EQ(m.Width, 0);
    EXPECT_TRUE(item.Draw().PlainText.isEmpty());
    EXPECT_TRUE(item.metrics.Calls.empty());
}

TEST(HTMLRender, PlainTextOfTheRunsLaidOut)
{
    Item item("<B>a</B><BR>b<Z>hidden</Z> c");
    const THTMLRenderResult r = item.Draw();
    EXPECT_EQ(r.PlainText, "a\rbhidden c");
    EXPECT_FALSE(item.metrics.Find("hidden")) << "hidden runs are not drawn";
    EXPECT_EQ(item.Drawn("a").font.Style, TFontStyles({fsBold}));
    EXPECT_TRUE(item.Drawn("b").font.Style.Empty());
    EXPECT_EQ(r.Height, 20);
    EXPECT_EQ(item.Measure().PlainText, r.PlainText);
}

TEST(HTMLRender, FontSizeTags)
{
    struct Case {
        const char* size;
        int points;
    } cases[] = {{"1", 8}, {"2", 10}, {"3", 12}, {"4", 14}, {"5", 16}, {"20", 20}, {"7", 7}};
    for (const Case& c : cases) {
        Item item(QString("<FONT size=\"%1\">x</FONT>y").arg(c.size));
        item.Draw();
        EXPECT_EQ(item.Drawn("x").font.Size(), c.points) << c.size;
        EXPECT_EQ(item.Drawn("y").font.Size(), 8) << "closing tag restores the starting size";
    }
}

TEST(HTMLRender, FontFaceColourAndBackground)
{
    struct Case {
        const char* attrs;
        TColor color;
    } cases[] = {
        {"color=\"#FF0000\"", clRed}, {"color=\"clRed\"", clRed},   {"COLOR=\"CLRED\"", clRed},
        {"color=\"clNavy\"", clNavy}, {"color=\"nonsense\"", clBlack}, {"color=\"\"", clGreen},
        {"bgcolor=\"clRed\"", clGreen},  // BGCOLOR is not the font colour
    };
    for (const Case& c : cases) {
        Item item(QString("<FONT %1>x</FONT>y").arg(c.attrs));
        CanvasFont(item.canvas).Color = clGreen;
        item.Draw();
        EXPECT_EQ(item.Drawn("x").font.Color, c.color) << c.attrs;
        EXPECT_EQ(item.Drawn("y").font.Color, clGreen) << c.attrs;
    }
    Item item("<FONT face=\"Courier\" bgcolor=\"#FFFF00\">x</FONT>y");
    item.Draw();
    EXPECT_EQ(item.Drawn("x").font.Name, "Courier");
    EXPECT_EQ(item.Drawn("x").background, clYellow);
    EXPECT_EQ(item.Drawn("y").font.Name, "MS Sans Serif");
    EXPECT_EQ(item.Drawn("y").background, clNone);
}

TEST(HTMLRender, SelectedItemKeepsTheSelectionFontColour)
{
    const QString text = "<FONT color=\"clRed\" bgcolor=\"clYellow\">x</FONT>y<A href=\"t\">z</A>";
    for (bool selected : {false, true}) {
        Item item(text);
        CanvasFont(item.canvas).Color = clHighlightText;
        item.req.Selected = selected;
        item.Draw();
        EXPECT_EQ(item.Drawn("x").font.Color, selected ? clHighlightText : clRed);
        EXPECT_EQ(item.Drawn("x").background, selected ? clNone : clYellow);
        EXPECT_EQ(item.Drawn("y").font.Color, clHighlightText);
        EXPECT_EQ(item.Drawn("z").font.Color, selected ? clHighlightText : clBlue);
        EXPECT_TRUE(item.Drawn("z").font.Style.Contains(fsUnderline));
    }
}

TEST(HTMLRender, NamedEntities)
{
    struct Case {
        QString item, drawn;
    } cases[] = {
        {"&euro;", QString(QChar(0x20AC))},
        {"&permil;", QString(QChar(0x2030))},
        {"&trade;", QString(QChar(0x2122))},
        {"&sect;&reg;&copy;&para;&quot;", QString::fromUtf16(u"\u00A7\u00AE\u00A9\u00B6\"")},
        {"&EURO;", QString(QChar(0x20AC))},
        {"Tom&amp;Jerry", "Tom&Jerry"},
        {"&amp;lt;", "&lt;"},
        {"&amp;euro;", "&euro;"},
        {"a&nbsp;b", "a b"},
        {"&lt;B&gt;x", "<B>x"},
        {"&unknown; & &", "&unknown; & &"},
    };
    for (const Case& c : cases) {
        Item item(c.item);
        item.req.WordWrap = false;
        const THTMLRenderResult r = item.Draw();
        EXPECT_EQ(item.metrics.Texts(), QStringList{c.drawn}) << c.item.toStdString();
        EXPECT_EQ(r.PlainText, c.drawn);
        EXPECT_TRUE(item.Drawn(c.drawn).font.Style.Empty()) << "&lt;B&gt; opens no tag";
    }
}

TEST(HTMLRender, AmpersandInAFileNameIsDrawnAndUnderlinesNothing)
{
    for (const QString& text : {QString("Tom&Jerry.jpg"), HTMLEscape("Tom&Jerry.jpg")}) {
        Item item("<B></B>" + text);
        item.Draw();
        EXPECT_EQ(item.metrics.Texts(), QStringList{"Tom&Jerry.jpg"}) << text.toStdString();
        EXPECT_FALSE(item.Drawn("Tom&Jerry.jpg").font.Style.Contains(fsUnderline));
        EXPECT_EQ(item.Measure().Width, 13 * 6);
    }
}

TEST(HTMLRender, EscapedTextsDrawAsTheyWere)
{
    const QString names[] = {"Tom&Jerry.jpg", "a<b>c.jpg", "x &amp; y", "&euro;.jpg", "say \"cheese\"", "<BR>"};
    for (const QString& name : names) {
        Item item(HTMLEscape(name));
        item.req.WordWrap = false;
        const THTMLRenderResult r = item.Draw();
        EXPECT_EQ(item.metrics.Texts().join(QString()), name);
        EXPECT_EQ(r.PlainText, name);
        EXPECT_EQ(HTMLUnescape(HTMLEscape(name)), name);
    }
}

TEST(HTMLRender, WordWrapBreaksAtBlanks)
{
    Item item("aaaa bbbb cccc", TRect(0, 0, 61, 100));  // ten characters from x = 1
    const THTMLRenderResult r = item.Draw();
    EXPECT_EQ(item.metrics.Texts(), QStringList({"aaaa ", "bbbb ", "cccc"}));
    EXPECT_EQ(item.Drawn("aaaa ").x, 1);
    EXPECT_EQ(item.Drawn("bbbb ").x, 31);
    EXPECT_EQ(item.Drawn("cccc").x, 1);
    EXPECT_EQ(item.Drawn("cccc").y, 10);
    EXPECT_EQ(r.Height, 20);
    EXPECT_EQ(r.Width, 54) << "the trailing blank does not count";
    EXPECT_EQ(r.PlainText, "aaaa bbbb cccc");
    const THTMLRenderResult m = item.Measure();
    EXPECT_EQ(m.Height, 20);
    EXPECT_EQ(m.Width, 54);
}

TEST(HTMLRender, WordWrapKeepsWordsTogether)
{
    // "bb" continues "aaaa" without a blank: no break inside the word.
    Item item("aaaaaaa<B>bbbbbb</B>", TRect(0, 0, 61, 100));
    EXPECT_EQ(item.Measure().Height, 10);
    // A word wider than the rectangle stays on the line it reached.
    Item wide("a abcdefghijklmnop", TRect(0, 0, 61, 100));
    EXPECT_EQ(wide.Measure().Height, 10);
}

TEST(HTMLRender, WithoutWordWrapALongLineEndsInAnEllipsis)
{
    Item item("aaaa bbbb cccc", TRect(0, 0, 61, 100));
    item.req.WordWrap = false;
    const THTMLRenderResult r = item.Draw();
    EXPECT_EQ(item.metrics.Texts(), QStringList{QString::fromUtf16(u"aaaa bbbb\u2026")});
    EXPECT_EQ(r.Height, 10);
    EXPECT_EQ(r.Width, 84) << "measured at full length";
    EXPECT_EQ(r.PlainText, "aaaa bbbb cccc");
}

TEST(HTMLRender, ThumbnailSetsTheLineHeightAndAlignTopRaisesTheText)
{
    const QString folder = kvtest::MakeTempFolder("thumb");
    const QString thumb = WriteThumbnail(folder, "_THUMB_a.jpg");
    struct Case {
        const char* align;
        int textY;
    } cases[] = {{" align=\"top\"", 0}, {" ALIGN=\"TOP\"", 0}, {" align=\"middle\"", 30}, {"", 60}};
    for (const Case& c : cases) {
        Item item(QString("<IMG src=\"file://%1\"%2>a.jpg | Urlaub").arg(thumb, c.align), TRect(0, 0, 400, 150));
        const THTMLRenderResult m = item.Measure();
        EXPECT_EQ(m.Height, 70) << c.align;
        EXPECT_EQ(m.Width, 93 + 14 * 6) << c.align;
        const THTMLRenderResult r = item.Draw();
        EXPECT_EQ(r.Height, 70);
        EXPECT_EQ(r.PlainText, "a.jpg | Urlaub");
        EXPECT_EQ(item.metrics.Texts(), QStringList({"a.jpg ", "| ", "Urlaub"}));
        EXPECT_EQ(item.Drawn("a.jpg ").x, 94) << c.align;
        EXPECT_EQ(item.Drawn("a.jpg ").y, c.textY) << c.align;
        EXPECT_EQ(item.Drawn("Urlaub").x, 94 + 8 * 6);
        EXPECT_TRUE(Near(item.Pixel(1, 0), Qt::red));
        EXPECT_TRUE(Near(item.Pixel(93, 69), Qt::red));
        EXPECT_EQ(item.Pixel(0, 0), QColor(Qt::white)) << "text starts at left + 1";
        EXPECT_EQ(item.Pixel(94, 35), QColor(Qt::white));
        ASSERT_EQ(item.cache.Count(), 1) << "measured and drawn from one cache entry";
        EXPECT_EQ(item.cache.Picture(0)->URL(), "file://" + thumb);
    }
}

TEST(HTMLRender, LineSpacingAndPictureSize)
{
    const QString folder = kvtest::MakeTempFolder("spacing");
    const QString thumb = WriteThumbnail(folder, "t.jpg", 40);
    Item item(QString("<IMG src=\"file://%1\" align=\"top\">x<BR>y").arg(thumb));
    item.req.LineSpacing = 4;
    const THTMLRenderResult r = item.Draw();
    EXPECT_EQ(r.Height, 74 + 14);
    EXPECT_EQ(item.Drawn("x").y, 4) << "the spacing lies above the line";
    EXPECT_EQ(item.Drawn("y").y, 74 + 4);
    EXPECT_EQ(item.Pixel(20, 3), QColor(Qt::white));
    EXPECT_TRUE(Near(item.Pixel(20, 4), Qt::red));

    // WIDTH and HEIGHT stretch the picture.
    Item sized(QString("<IMG src=\"file://%1\" width=\"20\" height=\"30\">x").arg(thumb));
    const THTMLRenderResult s = sized.Draw();
    EXPECT_EQ(s.Height, 30);
    EXPECT_EQ(s.Width, 26);
    EXPECT_TRUE(Near(sized.Pixel(20, 15), Qt::red));
    EXPECT_EQ(sized.Pixel(22, 15), QColor(Qt::white));
}

TEST(HTMLRender, PictureThatDoesNotFitBeginsTheNextLine)
{
    const QString folder = kvtest::MakeTempFolder("fit");
    const QString thumb = WriteThumbnail(folder, "t.jpg", 50);
    Item item(QString("abcdefghij<IMG src=\"file://%1\">").arg(thumb), TRect(0, 0, 100, 200));
    EXPECT_EQ(item.Measure().Height, 10 + 70);
    // On a line narrower than the picture it stays.
    Item narrow(QString("ab<IMG src=\"file://%1\">").arg(thumb), TRect(0, 0, 40, 200));
    EXPECT_EQ(narrow.Measure().Height, 70);
}

TEST(HTMLRender, HitTestFindsTheAnchorUnderThePoint)
{
    // Runs: "go " 1..19, "here" 19..43, " " 43..49, "and " 49..73, "there" 73..103.
    Item item("go <A href=\"target1\">here</A> and <A href=\"t2\">there</A>");
    struct Case {
        int x, y;
        bool hit;
        const char* anchor;
        int index;
        TRect rect;
    } cases[] = {
        {25, 5, true, "target1", 0, TRect(19, 0, 43, 10)},
        {19, 0, true, "target1", 0, TRect(19, 0, 43, 10)},
        {80, 9, true, "t2", 1, TRect(73, 0, 103, 10)},
        {5, 5, false, "", -1, TRect()},
        {45, 5, false, "", -1, TRect()},
        {25, 10, false, "", -1, TRect()},
    };
    for (const Case& c : cases) {
        const THTMLRenderResult r = item.HitTest(c.x, c.y);
        EXPECT_EQ(r.Hit, c.hit) << c.x << "," << c.y;
        EXPECT_EQ(r.Anchor, c.anchor) << c.x << "," << c.y;
        EXPECT_EQ(r.HitAnchorIndex, c.index) << c.x << "," << c.y;
        EXPECT_EQ(r.HitAnchorRect, c.rect) << c.x << "," << c.y;
        EXPECT_EQ(r.AnchorCount, 2);
    }
    EXPECT_TRUE(item.metrics.Calls.empty()) << "the hit-test pass draws nothing";
    EXPECT_EQ(item.image.pixelColor(20, 5), QColor(Qt::white));
}

TEST(HTMLRender, AnchorStyleHoverAndFocus)
{
    Item item("go <A href=\"one\">here</A> <A href=\"two\">there</A>");
    item.req.HoverStyle = true;
    item.req.HoverAnchor = 1;
    item.req.HoverFontColor = clRed;
    item.req.FocusAnchor = 0;
    const THTMLRenderResult r = item.Draw();
    EXPECT_FALSE(item.Drawn("here").font.Style.Contains(fsUnderline));
    EXPECT_EQ(item.Drawn("here").font.Color, clBlack);
    EXPECT_TRUE(item.Drawn("there").font.Style.Contains(fsUnderline));
    EXPECT_EQ(item.Drawn("there").font.Color, clRed);
    EXPECT_FALSE(item.Drawn("go ").font.Style.Contains(fsUnderline));
    EXPECT_EQ(r.FocusAnchor, "one");
    // The focus frame runs one pixel wider than the anchor: (18, 0) to (44, 10).
    EXPECT_EQ(item.Pixel(18, 0), QColor(Qt::black));
    EXPECT_EQ(item.Pixel(43, 9), QColor(Qt::black));
    EXPECT_EQ(item.Pixel(30, 5), QColor(Qt::white));
}

TEST(HTMLRender, PictureInsideAnAnchorHits)
{
    const QString folder = kvtest::MakeTempFolder("anchorpic");
    const QString thumb = WriteThumbnail(folder, "t.jpg", 30);
    Item item(QString("<A href=\"pic\"><IMG src=\"file://%1\" alt=\"Beach\"></A> <IMG src=\"file://%1\" alt=\"Free\">")
                  .arg(thumb));
    THTMLRenderResult r = item.HitTest(10, 30);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.Anchor, "pic");
    EXPECT_EQ(r.ImageAlt, "Beach");
    EXPECT_EQ(r.HitAnchorIndex, 0);
    r = item.HitTest(45, 30);
    EXPECT_FALSE(r.Hit) << "a picture outside anchors is no hit";
    EXPECT_EQ(r.ImageAlt, "Free");
}

TEST(HTMLRender, ListBullets)
{
    Item item("<UL><LI>one</LI><UL><LI>two</LI></UL></UL>");
    const THTMLRenderResult r = item.Draw();
    const QString bullet = QString(QChar(0x2022));
    EXPECT_EQ(item.metrics.Texts(), QStringList({bullet, "one", "o", "two"}));
    EXPECT_EQ(item.Drawn(bullet).x, 1);
    EXPECT_EQ(item.Drawn("one").x, 13);
    EXPECT_EQ(item.Drawn("o").x, 13);
    EXPECT_EQ(item.Drawn("two").x, 25);
    EXPECT_EQ(item.Drawn("two").y, item.Drawn("o").y);
    EXPECT_GT(item.Drawn("two").y, item.Drawn("one").y);
    EXPECT_EQ(r.PlainText, "onetwo");
    // A second LI on one line breaks it.
    Item two("<LI>a<LI>b");
    two.Draw();
    EXPECT_EQ(two.Drawn("b").y, 10);
}

TEST(HTMLRender, ParagraphAlignmentIndentAndBackground)
{
    struct Case {
        const char* tag;
        int x;
    } cases[] = {
        {"<P align=\"right\">", 100 - 18},
        {"<P align=\"center\">", 1 + (100 - 1 - 18) / 2},
        {"<P align=\"left\">", 1},
        {"<P indent=\"10\">", 11},
    };
    for (const Case& c : cases) {
        Item item(QString("%1abc</P>").arg(c.tag), TRect(0, 0, 100, 100));
        item.Draw();
        EXPECT_EQ(item.Drawn("abc").x, c.x) << c.tag;
    }
    Item item("<P bgcolor=\"clYellow\">a</P>b", TRect(0, 0, 100, 100));
    item.Draw();
    EXPECT_EQ(item.Pixel(50, 5), QColor(Qt::yellow));
    EXPECT_EQ(item.Pixel(50, 11), QColor(Qt::yellow)) << "2 pixels taller";
    EXPECT_EQ(item.Pixel(50, 15), QColor(Qt::white));
    EXPECT_EQ(item.Drawn("b").y, 10);
}

TEST(HTMLRender, SubscriptSuperscriptShadowAndErrorMark)
{
    Item sub("a<SUB>b</SUB><SUP>c</SUP>");
    const THTMLRenderResult r = sub.Draw();
    EXPECT_EQ(r.Height, 10 + 2 + 2);
    EXPECT_EQ(sub.Drawn("a").y, 2);
    EXPECT_EQ(sub.Drawn("b").y, 4);
    EXPECT_EQ(sub.Drawn("c").y, 0);

    Item shadow("<SHAD>x</SHAD>");
    shadow.req.ShadowOffset = 2;
    shadow.req.ShadowColor = clSilver;
    shadow.Draw();
    ASSERT_EQ(shadow.metrics.Calls.size(), 2u);
    EXPECT_EQ(shadow.metrics.Calls[0].font.Color, clSilver);
    EXPECT_EQ(shadow.metrics.Calls[0].x, 3);
    EXPECT_EQ(shadow.metrics.Calls[0].y, 2);
    EXPECT_EQ(shadow.metrics.Calls[1].font.Color, clBlack);
    EXPECT_EQ(shadow.metrics.Calls[1].x, 1);

    Item error("<E>wrong</E>");
    error.Draw();
    int red = 0;
    for (int y = 8; y <= 11; ++y)
        for (int x = 0; x < 40; ++x)
            red += error.Pixel(x, y) == QColor(Qt::red);
    EXPECT_GT(red, 20);
    EXPECT_EQ(error.Pixel(10, 4), QColor(Qt::white));
}

TEST(HTMLRender, HighlightBlinkRotationAndPosition)
{
    Item hi("<HI>x</HI>y");
    hi.Draw();
    EXPECT_EQ(hi.Drawn("x").background, clHighlight);
    EXPECT_EQ(hi.Drawn("x").font.Color, clHighlightText);
    EXPECT_EQ(hi.Drawn("y").background, clNone);
    EXPECT_EQ(hi.Drawn("y").font.Color, clBlack);

    for (bool on : {true, false}) {
        Item blink("<BLINK>x</BLINK>y");
        blink.canvas.Brush.Color = clYellow;
        blink.req.BlinkOn = on;
        blink.Draw();
        EXPECT_EQ(blink.Drawn("x").font.Color, on ? clBlack : clYellow);
        EXPECT_EQ(blink.Drawn("y").font.Color, clBlack);
    }

    Item rotated("<R a=\"90\">x</R>y<IND x=\"50\">z");
    rotated.Draw();
    EXPECT_EQ(rotated.Drawn("x").font.Orientation, 900);
    EXPECT_EQ(rotated.Drawn("y").font.Orientation, 0);
    EXPECT_EQ(rotated.Drawn("z").x, 50);
}

TEST(HTMLRender, BodyBackgroundAndRule)
{
    Item body("<BODY bgcolor=\"clYellow\">x", TRect(4, 0, 50, 20));
    body.Draw();
    EXPECT_EQ(body.Pixel(2, 10), QColor(Qt::yellow)) << "filled from left - 2";
    EXPECT_EQ(body.Pixel(1, 10), QColor(Qt::white));
    EXPECT_EQ(body.Pixel(49, 19), QColor(Qt::yellow));

    Item selected("<BODY bgcolor=\"clYellow\">x", TRect(4, 0, 50, 20));
    selected.req.Selected = true;
    selected.Draw();
    EXPECT_EQ(selected.Pixel(10, 10), QColor(Qt::white));

    Item gradient("<BODY bgcolor=\"#000000\" bgcolorto=\"#FFFFFF\" dir=\"V\">x", TRect(0, 0, 64, 64));
    gradient.Draw();
    EXPECT_LT(gradient.Pixel(32, 1).red(), 10);
    EXPECT_GT(gradient.Pixel(32, 62).red(), 240);
    EXPECT_EQ(gradient.Pixel(1, 32), gradient.Pixel(62, 32)) << "bands run top to bottom";

    Item rule("a<HR>b", TRect(0, 0, 50, 50));
    rule.Draw();
    EXPECT_EQ(rule.Pixel(25, 10), QColor(Qt::black));
    EXPECT_EQ(rule.Drawn("b").y, 10);
}

TEST(HTMLRender, BottomOfTheRectangleCutsDrawingButNotMeasuring)
{
    Item item("a<BR>b<BR>c", TRect(0, 0, 100, 15));
    const THTMLRenderResult r = item.Draw();
    EXPECT_EQ(item.metrics.Texts(), QStringList({"a"}));
    EXPECT_EQ(r.Height, 10);
    EXPECT_EQ(item.Measure().Height, 30);
}

TEST(HTMLRender, TagWithoutCloseEndsTheText)
{
    Item item("ab<B c d");
    const THTMLRenderResult r = item.Draw();
    EXPECT_EQ(item.metrics.Texts(), QStringList({"ab"}));
    EXPECT_EQ(r.PlainText, "ab");
    EXPECT_EQ(r.Height, 10);
    Item unknown("a<UNKNOWN x=\"1\">b<#comment>c");
    unknown.req.WordWrap = false;
    EXPECT_EQ(unknown.Draw().PlainText, "ab#commentc");
}

TEST(HTMLRender, FontCarriesFromLineToLine)
{
    Item item("<B>a<BR>b</B><BR>c", TRect(0, 0, 100, 100));
    item.Draw();
    EXPECT_TRUE(item.Drawn("b").font.Style.Contains(fsBold));
    EXPECT_FALSE(item.Drawn("c").font.Style.Contains(fsBold));
    EXPECT_EQ(item.Drawn("c").y, 20);
}

TEST(HTMLRender, ImageListPictures)
{
    TImageList images(8, 12);
    QImage green(8, 12, QImage::Format_RGB32);
    green.fill(Qt::green);
    images.Add(green);
    Item item("<IMG src=\"IDX:0\">a<IMG src=\"IDX:5\">b");
    item.req.Images = &images;
    const THTMLRenderResult r = item.Draw();
    EXPECT_EQ(r.Height, 12);
    EXPECT_EQ(r.Width, 8 + 12);
    EXPECT_EQ(item.Pixel(4, 6), QColor(Qt::green));
    EXPECT_EQ(item.Drawn("b").x, 1 + 8 + 6) << "an index outside the list takes no room";
}
