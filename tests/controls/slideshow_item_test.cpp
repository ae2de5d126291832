// Slideshow list items: name and text come back as typed, whatever the item escaping did.
#include "controls/SlideshowItem.h"

#include <gtest/gtest.h>

TEST(SlideshowItem, DecodesNameAndTextAsTyped)
{
    const QString tag = QStringLiteral("<IMG src=\"file:///home/u/Korvanta/Archive_0001/_THUMB_x.jpg\" align=\"top\">");
    struct Case {
        QString item, name, text;
        bool hasText;
    } cases[] = {
        {tag + "Tom&amp;Jerry.jpg | a &lt; b", "Tom&Jerry.jpg", "a < b", true},
        {tag + "a.jpg", "a.jpg", "", false},
        {tag + "a.jpg | ", "a.jpg", "", true},
        {tag + "a.jpg | x | y", "a.jpg", "x | y", true},  // a text may hold the separator
        {tag + "&quot;q&quot;.jpg | &lt;script&gt;", "\"q\".jpg", "<script>", true},
        {tag + "a.jpg | &amp;lt;", "a.jpg", "&lt;", true},  // unescaped once, not twice
        {"<IMG src=\"file:///t.jpg\">b.jpg | text", "b.jpg", "text", true},
        {"c.jpg | plain line", "c.jpg", "plain line", true},
        {"", "", "", false},
    };
    for (const Case& c : cases) {
        const TSlideshowItem d = DecodeSlideshowItem(c.item);
        EXPECT_EQ(d.Name, c.name) << c.item.toStdString();
        EXPECT_EQ(d.Text, c.text) << c.item.toStdString();
        EXPECT_EQ(d.HasText, c.hasText) << c.item.toStdString();
    }
}

TEST(SlideshowItem, EncodeThenDecodeKeepsEveryName)
{
    const QString names[] = {"Tom&Jerry.jpg", "a>b.jpg", "say \"cheese\".jpg", "Größe.jpg", "&amp;.jpg"};
    const QString texts[] = {"", "a < b & c", "x | y", "<b>bold</b>", "&lt;"};
    for (const QString& n : names)
        for (const QString& t : texts) {
            const QString item = EncodeSlideshowItem("/home/a\"b>/_THUMB_" + n, n, t);
            const TSlideshowItem d = DecodeSlideshowItem(item);
            EXPECT_EQ(d.Name, n) << item.toStdString();
            EXPECT_EQ(d.Text, t) << item.toStdString();
            EXPECT_TRUE(d.HasText);
        }
    const TSlideshowItem bare = DecodeSlideshowItem(EncodeSlideshowItem("/t/_THUMB_a.jpg", "a.jpg", "", false));
    EXPECT_EQ(bare.Name, "a.jpg");
    EXPECT_FALSE(bare.HasText);
}
