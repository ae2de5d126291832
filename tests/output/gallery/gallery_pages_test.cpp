// The gallery's pieces without a window: web names, the grid, the web sizes, colours and the
// style sheet.
#include "output/gallery/GalleryPages.h"

#include <QSet>
#include <gtest/gtest.h>

TEST(WebFileName, MakesNamesSafeForTheWeb)
{
    struct Case {
        QString name, web;
    } cases[] = {
        {"IMG 1", "img_1"},
        {"IMG-1", "img_1"},
        {QString::fromUtf8("Größe"), "groesse"},
        {QString::fromUtf8("ÄÖÜ"), "aeoeue"},
        {"a&b", "aab"},
        {"x:y", "xxy"},
        {"a*(b)\\c/d<e>", "axxbxxcxdxex"},
        {"Party #2", "party__2"},          // "#" would start a fragment in a link
        {"what?100%", "what_100_"},
        {QString::fromUtf8("Café €5"), "caf___5"},
        {QString::fromUtf8("Åsa"), QString::fromUtf8("Åsa")},  // other letters stay
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WebFileName(c.name), c.web) << c.name.toStdString();
    EXPECT_EQ(WebNameOfFile("Party #2.final.JPG"), "party__2");
    EXPECT_EQ(WebNameOfFile(".hidden.jpg"), "hidden");
}

TEST(WebFileName, CollidingNamesGetDistinctFiles)
{
    struct Case {
        QStringList files, webs;
    } cases[] = {
        {{"IMG 1.jpg", "IMG-1.jpg"}, {"img_1", "img_1_2"}},
        {{"a.b.jpg", "a.c.jpg", "a.jpg"}, {"a", "a_2", "a_3"}},
        {{"A.jpg", "a.JPG"}, {"a", "a_2"}},
        {{"x.jpg", "x_thumb.jpg"}, {"x", "x_thumb_2"}},  // x_thumb.jpg is x's overview picture
        {{"x_thumb.jpg", "x.jpg"}, {"x_thumb", "x_2"}},
        {{"Gallery.jpg"}, {"gallery_2"}},                 // gallery.html is the overview
        {{"img_1_2.jpg", "IMG 1.jpg", "IMG-1.jpg"}, {"img_1_2", "img_1", "img_1_3"}},
    };
    for (const Case& c : cases) {
        const QStringList webs = UniqueWebNames(c.files);
        EXPECT_EQ(webs, c.webs) << c.files.join(", ").toStdString();
    }
}

TEST(GalleryGrid, RowsColumnsAndEmptyCells)
{
    struct Case {
        int count, perRow, rows, cols, percent, empty;
    } cases[] = {
        {10, 4, 3, 4, 25, 2}, {5, 4, 2, 3, 33, 1}, {7, 3, 3, 3, 33, 2}, {1, 4, 1, 1, 100, 0},
        {4, 4, 1, 4, 25, 0},  {3, 0, 3, 1, 100, 0},  // below one per row counts as one
        {0, 4, 0, 0, 100, 0},
    };
    for (const Case& c : cases) {
        const TGalleryGrid g = GalleryGrid(c.count, c.perRow);
        EXPECT_EQ(g.Rows, c.rows) << c.count << "/" << c.perRow;
        EXPECT_EQ(g.Cols, c.cols) << c.count << "/" << c.perRow;
        EXPECT_EQ(g.Percent, c.percent) << c.count << "/" << c.perRow;
        EXPECT_EQ(g.EmptyCells, c.empty) << c.count << "/" << c.perRow;
    }
}

TEST(GalleryGrid, EveryPictureHasACellAndNoRowIsWiderThanAsked)
{
    for (int perRow = 1; perRow <= 12; ++perRow)
        for (int count = 1; count <= 60; ++count) {
            const TGalleryGrid g = GalleryGrid(count, perRow);
            EXPECT_GE(g.Rows * g.Cols, count);
            EXPECT_LE(g.Cols, perRow);
            EXPECT_LT(g.EmptyCells, g.Cols) << "a row of empty cells";
        }
}

TEST(WebSizes, TheShorterSideIsTheChosenSize)
{
    struct Case {
        int w, h, small, large, tw, th, lw, lh;
    } cases[] = {
        {800, 600, 80, 250, 107, 80, 333, 250},
        {600, 800, 80, 250, 80, 107, 250, 333},
        {500, 500, 80, 250, 80, 80, 250, 250},
        {6000, 4000, 80, 250, 120, 80, 375, 250},
        {10, 1000, 80, 250, 80, 8000, 250, 25000},
        {800, 600, 0, 0, 1, 1, 1, 1},
    };
    for (const Case& c : cases) {
        const TWebSizes s = WebSizes(c.w, c.h, c.small, c.large);
        EXPECT_EQ(s.ThumbWidth, c.tw) << c.w << "x" << c.h;
        EXPECT_EQ(s.ThumbHeight, c.th) << c.w << "x" << c.h;
        EXPECT_EQ(s.LargeWidth, c.lw) << c.w << "x" << c.h;
        EXPECT_EQ(s.LargeHeight, c.lh) << c.w << "x" << c.h;
    }
}

TEST(LayoutCss, ColoursAreRedGreenBlue)
{
    EXPECT_EQ(ColorToWebHex(4), "#040000");
    EXPECT_EQ(ColorToWebHex(0x004080FF), "#FF8040");
    EXPECT_EQ(ColorToWebHex(0), "#000000");
    EXPECT_EQ(ColorToWebHex(clNone), "#000000");

    const QStringList css = LayoutCssLines(4, 0x004080FF);
    EXPECT_EQ(css.first(), "");
    EXPECT_EQ(css.count("\tcolor:#040000;"), 6);
    EXPECT_TRUE(css.contains("\tbackground-color :#FF8040;"));
    EXPECT_EQ(css.count("}"), 6);
}

TEST(GalleryPages, TextsAndTitlesAreEscaped)
{
    const QList<TGalleryEntry> entries{{"a", "a.jpg", "<script>alert(1)</script> & more", 107, 80}};
    TGalleryLook look{"ENGLISH", "Tom & <Jerry>", true};
    const QString overview = GalleryBodyLines(entries, 4, look).join("\n");
    const QString page = PictureBodyLines(entries, 0, look).join("\n");
    for (const QString& markup : {overview, page}) {
        EXPECT_FALSE(markup.contains("<script>"));
        EXPECT_TRUE(markup.contains("&lt;script&gt;alert(1)&lt;/script&gt; &amp; more"));
    }
    EXPECT_TRUE(page.contains("Tom &amp; &lt;Jerry&gt;"));
    EXPECT_TRUE(GalleryHeadLines(look, TProductInfo()).join("\n").contains("Tom &amp; &lt;Jerry&gt;"));
}

TEST(GalleryPages, OnePictureLinksToItself)
{
    const QList<TGalleryEntry> entries{{"solo", "solo.jpg", "", 80, 80}};
    const QStringList page = PictureBodyLines(entries, 0, TGalleryLook{"GERMAN", "t", false});
    EXPECT_TRUE(page.contains("[<A HREF=\"solo.html\">Voriges Bild</A>] "));
    EXPECT_TRUE(page.contains("[<A HREF=\"solo.html\">N&auml;chstes Bild</A>] "));
    const QStringList cells = GalleryBodyLines(entries, 4, TGalleryLook{"GERMAN", "t", false});
    EXPECT_TRUE(cells.contains("<td align=\"center\" width=\"100%\">"));
    EXPECT_FALSE(PictureBodyLines(entries, 0, TGalleryLook{"FRENCH", "t", false}).join("").contains("HREF"))
        << "no navigation in another language";
}
