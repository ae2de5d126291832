// TBitmap: 24-bit BGR scanlines, sizes, pixel formats and BMP files.
#include "platform/vcl/Graphics.h"

#include "support/TestEnv.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(Bitmap, ScanLinesAreBlueGreenRed)
{
    TBitmap b(3, 2);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(b.Image().format(), QImage::Format_BGR888);
    b.Canvas().Pixels[1][1] = RGB(10, 20, 30);
    const std::uint8_t* row = b.ScanLine(1);
    EXPECT_EQ(row[3], 30);
    EXPECT_EQ(row[4], 20);
    EXPECT_EQ(row[5], 10);
    b.ScanLine(0)[0] = 0xFF;  // blue of pixel (0, 0)
    b.ScanLine(0)[1] = 0;
    b.ScanLine(0)[2] = 0;
    EXPECT_EQ(TColor(b.Canvas().Pixels[0][0]), clBlue);

    for (int y : {-1, 2})
        EXPECT_THROW(b.ScanLine(y), EInvalidGraphic) << y;
    TBitmap empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
}

TEST(Bitmap, SetSizeKeepsTheTopLeftAndAddsWhite)
{
    TBitmap b(2, 2);
    b.Canvas().Pixels[1][1] = clRed;
    b.SetSize(3, 4);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 4);
    EXPECT_EQ(TColor(b.Canvas().Pixels[1][1]), clRed);
    EXPECT_EQ(TColor(b.Canvas().Pixels[2][3]), clWhite);
    b.SetWidth(1);
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(TColor(b.Canvas().Pixels[0][0]), clWhite);
    b.SetHeight(-5);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Height(), 0);

    // a copy is independent of its original
    TBitmap a(2, 1);
    TBitmap c = a;
    c.Canvas().Pixels[0][0] = clBlack;
    EXPECT_EQ(TColor(a.Canvas().Pixels[0][0]), clWhite);
}

TEST(Bitmap, PixelFormats)
{
    TBitmap b(2, 1);
    b.Canvas().Pixels[1][0] = RGB(1, 2, 3);
    b.SetPixelFormat(pf32bit);
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    const std::uint8_t* row = b.ScanLine(0);
    EXPECT_EQ(row[4], 3);  // blue, green, red, unused
    EXPECT_EQ(row[5], 2);
    EXPECT_EQ(row[6], 1);
    EXPECT_EQ(TColor(b.Canvas().Pixels[1][0]), RGB(1, 2, 3));
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(TColor(b.Canvas().Pixels[1][0]), RGB(1, 2, 3));
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pfCustom})
        EXPECT_THROW(b.SetPixelFormat(f), EInvalidGraphic) << f;
    EXPECT_EQ(b.PixelFormat(), pf24bit);
}

TEST(Bitmap, BmpFilesRoundTrip)
{
    const QString dir = kvtest::MakeTempFolder("bmp");
    TBitmap b(3, 2);  // an odd width: rows are padded in the file
    b.Canvas().Pixels[0][0] = RGB(200, 100, 50);
    b.Canvas().Pixels[2][1] = clBlue;
    b.SaveToFile(dir + "a.bmp");

    QFile f(dir + "a.bmp");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_GE(bytes.size(), 30);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(int(uchar(bytes[28])), 24);  // bits per pixel

    TBitmap back;
    back.LoadFromFile(dir + "a.bmp");
    EXPECT_EQ(back.PixelFormat(), pf24bit);
    EXPECT_EQ(back.Image(), b.Image());
}

TEST(Bitmap, BadFilesRaise)
{
    const QString dir = kvtest::MakeTempFolder("badbmp");
    QFile png(dir + "png-named-bmp.bmp");
    ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    QImage(2, 2, QImage::Format_RGB32).save(&png, "png");
    png.close();
    QFile blocker(dir + "file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    TBitmap b(2, 2);
    EXPECT_THROW(b.LoadFromFile(dir + "missing.bmp"), EInvalidGraphic);
    EXPECT_THROW(b.LoadFromFile(dir + "png-named-bmp.bmp"), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 2);  // unchanged by a failed load
    try {
        b.SaveToFile(dir + "file/a.bmp");
        ADD_FAILURE() << "saving below a file succeeded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_TRUE(e.Message().contains("file/a.bmp")) << e.Message().toStdString();
    }
    EXPECT_THROW(TBitmap().SaveToFile(dir + "empty.bmp"), EInvalidGraphic);
    EXPECT_FALSE(QFile::exists(dir + "empty.bmp"));
}
