// A list item drawn with the machine's fonts into a picture.
#include "support/TestEnv.h"
#include "controls/HTMLRender.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

TEST(ItemDrawing, ThumbnailAndTextOnARealCanvas)
{
    const QString folder = kvtest::MakeTempFolder("Archive_0001");
    QImage thumb(93, 70, QImage::Format_RGB32);
    thumb.fill(QColor(0, 0, 200));
    ASSERT_TRUE(thumb.save(folder + "_THUMB_a.jpg", "JPEG", 95));

    QImage image(300, 80, QImage::Format_BGR888);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    CanvasFont(canvas).Color = clBlack;
    THTMLPictureCache cache;
    THTMLRenderRequest req;
    req.Canvas = &canvas;
    req.Text = "<IMG src=\"file://" + folder + "_THUMB_a.jpg\" align=\"top\">a.jpg | Urlaub";
    req.Rect = Rect(2, 2, 298, 78);
    req.Pictures = &cache;

    THTMLRenderRequest measure = req;
    measure.MeasureOnly = true;
    const THTMLRenderResult m = RenderHTMLText(measure);
    EXPECT_EQ(m.Height, 70);
    EXPECT_GT(m.Width, 93);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white)) << "measuring draws nothing";

    const THTMLRenderResult r = RenderHTMLText(req);
    EXPECT_EQ(r.Height, 70);
    // The thumbnail from (3, 2) to (96, 72).
    for (QPoint p : {QPoint(3, 2), QPoint(50, 40), QPoint(95, 71)}) {
        const QColor c = image.pixelColor(p);
        EXPECT_LT(c.red(), 40) << p.x() << "," << p.y();
        EXPECT_GT(c.blue(), 160) << p.x() << "," << p.y();
    }
    EXPECT_EQ(image.pixelColor(2, 40), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(3, 73), QColor(Qt::white));
    // Text beside the thumbnail, at its top: dark pixels in the first text line only.
    const int lineHeight = QFontMetrics(CanvasFont(canvas).ToQFont()).height();
    int top = 0, below = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 97; x < 300; ++x)
            if (image.pixelColor(x, y).lightness() < 128)
                ++(y < 2 + lineHeight ? top : below);
    EXPECT_GT(top, 20);
    EXPECT_EQ(below, 0);
    EXPECT_EQ(r.PlainText, "a.jpg | Urlaub");
}
