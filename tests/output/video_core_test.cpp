// Video CD production without windows: the output file name, the seconds per picture in any
// locale, the estimates, the free space and track length rounding, frame sizes, the placement
// of a picture in a frame (also for the non-square pixels of a 4:3 screen), the text band and
// the order of the frame files.
#include "output/video/VideoCore.h"
#include "platform/vcl/Exceptions.h"

#include <QImageWriter>
#include <QLocale>
#include <QTemporaryDir>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>

using namespace video;

TEST(VideoFileName, Table)
{
    const struct {
        const char* title;
        const char* name;
    } cases[] = {
        {"Mein Urlaub: Nizza & C\u00F4te", "mein_urlaubx_nizza_a_c_te"},
        {"\u00C4rger", "aerger"},
        {"\u00C7a va", "\u00C7a_va"},
        {"a/b\\c", "axbxc"},
        {"\u20AC", "_"},
        {"", ""},
        {"Stra\u00DFe \u00D6l \u00FCber", "strasse_oel_ueber"},
        {"x*?<>|\"", "xx_xx|_"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeVideoFileName(QString::fromUtf8(c.title)), QString::fromUtf8(c.name)) << c.title;
}

TEST(VideoSeconds, CommaAndDotInEveryLocale)
{
    for (const char* locale : {"en_US", "de_DE", "sv_SE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        EXPECT_DOUBLE_EQ(SecondsPerPicture("5.5"), 5.5) << locale;
        EXPECT_DOUBLE_EQ(SecondsPerPicture("5,5"), 5.5) << locale;
        EXPECT_DOUBLE_EQ(SecondsPerPicture("4"), 4.0) << locale;
        EXPECT_THROW(SecondsPerPicture("fünf"), EConvertError) << locale;
    }
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(DotToComma("1.2.3"), "1,2.3");
}

TEST(VideoEstimate, FourKinds)
{
    // 20 pictures at 5 s: n = 21.
    EXPECT_EQ(EstimateMB(TVideoKind::VCD, 21, 5, 25, 12), 82);
    EXPECT_EQ(EstimateMB(TVideoKind::NanoVCD, 21, 5, 25, 12), 62);
    EXPECT_EQ(EstimateMB(TVideoKind::SVCD, 21, 5, 25, 12), 126);  // (18.9 + 23.226) * 3 = 126.378
    EXPECT_EQ(EstimateMB(TVideoKind::NanoSVCD, 21, 5, 25, 12), 116);  // 22.68 + 63 + 30.24 = 115.92
}

TEST(VideoEstimate, FreeMegabytesHalvesToEven)
{
    const long long mb = 1048576;
    EXPECT_EQ(FreeMBFromBytes(0), 0);
    EXPECT_EQ(FreeMBFromBytes(mb / 2), 0);           // 0.5 -> 0
    EXPECT_EQ(FreeMBFromBytes(mb + mb / 2), 2);      // 1.5 -> 2
    EXPECT_EQ(FreeMBFromBytes(2 * mb + mb / 2), 2);  // 2.5 -> 2
    EXPECT_EQ(FreeMBFromBytes(2 * mb + mb / 2 + 1), 3);
    EXPECT_EQ(FreeMBFromBytes(4609 * mb), 4609);
}

TEST(VideoTrack, LengthTable)
{
    const struct {
        bool mpeg;
        int p;
        double s;
        int j;
        long long seconds;
    } cases[] = {
        {false, 2, 2, 0, 8},        // 4 + 4
        {false, 3, 2.5, 0, 12},     // 7.5 -> 8
        {false, 5, 2.5, 0, 16},     // 12.5 -> 12
        {true, 3, 5, 3, 19},        // no transitions
        {true, 3, 5, 40, 20},       // 37 / 25 = 1.48 -> 1
        {true, 3, 5, 65, 21},       // 62 / 25 = 2.48 -> 2
        {true, 3, 5, 65 + 63, 24},  // 125 / 25 = 5 -> 5
        {true, 1, 4.5, 63, 10},     // 4.5 -> 4, 62 / 25 = 2.48 -> 2
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrackSeconds(c.mpeg, c.p, c.s, c.j, 25), c.seconds) << c.p << " " << c.s << " " << c.j;
    EXPECT_EQ(HoldFrames(5.5), 138);
    EXPECT_EQ(HoldFrames(4.5), 112);
    EXPECT_EQ(HoldFrames(2), 50);
}

TEST(VideoFrame, Sizes)
{
    EXPECT_EQ(FrameSizeFor(true, false).Width, 352);
    EXPECT_EQ(FrameSizeFor(true, false).Height, 288);
    EXPECT_EQ(FrameSizeFor(true, true).Width, 576);
    EXPECT_EQ(FrameSizeFor(true, true).Height, 480);
    EXPECT_EQ(FrameSizeFor(false, false).Height, 240);
    EXPECT_EQ(FrameSizeFor(false, true).Width, 480);
}

TEST(VideoFrame, PlacementTable)
{
    const struct {
        int pw, ph, w, h;
        double par;
        int x, y, pwOut, phOut;
    } cases[] = {
        {4000, 3000, 352, 288, 1.0, 0, 12, 352, 264},
        {3000, 4000, 352, 288, 1.0, 68, 0, 216, 288},
        {1100, 1000, 352, 288, 1.0, 17, 0, 317, 288},  // fitted inside, never cropped
        {1000, 1000, 352, 288, 1.0, 32, 0, 288, 288},
        {1000, 1000, 352, 240, 1.0, 56, 0, 240, 240},
        {4000, 3000, 352, 240, 1.0, 16, 0, 320, 240},  // 4:3 in NTSC VCD: whole
        {200, 150, 352, 288, 1.0, 76, 69, 200, 150},   // not enlarged
        // 4:3 screen pixels: a 4:3 picture fills the frame, a square one keeps its look.
        {4000, 3000, 352, 288, DisplayPixelAspect(352, 288), 0, 0, 352, 288},
        {4000, 3000, 352, 240, DisplayPixelAspect(352, 240), 0, 0, 352, 240},
        {4000, 3000, 480, 480, DisplayPixelAspect(480, 480), 0, 0, 480, 480},
        {1000, 1000, 352, 288, DisplayPixelAspect(352, 288), 44, 0, 264, 288},
    };
    for (const auto& c : cases) {
        const TPlacement p = PlacePicture(c.pw, c.ph, c.w, c.h, c.par);
        EXPECT_EQ(p.X, c.x) << c.pw << "x" << c.ph << " in " << c.w << "x" << c.h << " par " << c.par;
        EXPECT_EQ(p.Y, c.y) << c.pw << "x" << c.ph << " in " << c.w << "x" << c.h;
        EXPECT_EQ(p.Width, c.pwOut) << c.pw << "x" << c.ph << " in " << c.w << "x" << c.h;
        EXPECT_EQ(p.Height, c.phOut) << c.pw << "x" << c.ph << " in " << c.w << "x" << c.h;
    }
}

TEST(VideoFrame, ComposedByPixelProbes)
{
    // A white 4000x3000-shaped picture (scaled to its placement) on a blue background.
    const TPlacement at = PlacePicture(4000, 3000, 352, 288);
    QImage pic(at.Width, at.Height, QImage::Format_RGB888);
    pic.fill(Qt::white);
    TFrameStyle style;
    style.Background = QColor(0, 0, 255);
    style.TextColor = QColor(255, 255, 0);
    QImage f = ComposeFrame(pic, at, 352, 288, style);
    EXPECT_EQ(f.size(), QSize(352, 288));
    EXPECT_EQ(f.pixelColor(176, 5), QColor(0, 0, 255));   // above the picture
    EXPECT_EQ(f.pixelColor(176, 12), QColor(Qt::white));  // its first row
    EXPECT_EQ(f.pixelColor(176, 275), QColor(Qt::white)); // its last row
    EXPECT_EQ(f.pixelColor(176, 276), QColor(0, 0, 255));

    // The band in the background colour at the bottom, also without a text.
    style.DrawText = true;
    style.TextOffset = 10;
    for (const QString& text : {QString(), QStringLiteral("WWWW")}) {
        style.Text = text;
        f = ComposeFrame(pic, at, 352, 288, style);
        EXPECT_EQ(f.pixelColor(2, 275), QColor(0, 0, 255)) << text.toStdString();   // band over the picture
        EXPECT_EQ(f.pixelColor(2, 270), QColor(0, 0, 255)) << text.toStdString();
        EXPECT_EQ(f.pixelColor(2, 250), QColor(Qt::white)) << text.toStdString();  // picture above the band
        bool yellow = false;
        for (int x = 140; x < 212; ++x)
            for (int y = 255; y < 278; ++y)
                yellow |= f.pixelColor(x, y).red() > 200 && f.pixelColor(x, y).blue() < 80;
        EXPECT_EQ(yellow, !text.isEmpty()) << text.toStdString();
    }
}

TEST(VideoFrame, APictureIsPlacedAsItsExifOrientationShowsIt)
{
    // Stored 400x200 with the orientation "turn by 90 degrees": shown 200 wide and 400 high.
    QTemporaryDir dir;
    const QString path = dir.filePath("upright.jpg");
    QImage stored(400, 200, QImage::Format_RGB888);
    stored.fill(Qt::white);
    QImageWriter writer(path, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(stored)) << writer.errorString().toStdString();

    TPlacement at;
    QString error;
    const QImage frame = LoadPictureForFrame(path, 352, 288, 1.0, at, &error);
    ASSERT_FALSE(frame.isNull()) << error.toStdString();
    EXPECT_EQ(at.Height, 288);
    EXPECT_EQ(at.Width, 144);
    EXPECT_EQ(frame.size(), QSize(144, 288));
}

TEST(VideoFrame, FileOrder)
{
    // Key frame, then its transition frames by counter, then the next picture; numbers of
    // any length compare as numbers.
    QStringList names = {"/e/inp0002_Key.jpg", "/e/inp0001002.jpg", "/e/inp0001_Key.jpg",
                         "/e/inp0001001.jpg",  "/e/inp10000_Key.jpg", "/e/inp9999012.jpg",
                         "/e/inp9999_Key.jpg", "/e/inp10000001.jpg", "/e/Temp.jpg"};
    std::sort(names.begin(), names.end(), FrameFileLess);
    const QStringList expected = {"/e/inp0001_Key.jpg", "/e/inp0001001.jpg",  "/e/inp0001002.jpg",
                                  "/e/inp0002_Key.jpg", "/e/inp9999_Key.jpg", "/e/inp9999012.jpg",
                                  "/e/inp10000_Key.jpg", "/e/inp10000001.jpg", "/e/Temp.jpg"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(SequenceFileName(7), "Test_0007.jpg");
    EXPECT_EQ(SequenceFileName(12345), "Test_12345.jpg");
}
