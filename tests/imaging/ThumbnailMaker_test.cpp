// The widget-free thumbnail maker against the picture control's own thumbnail steps.
#include "imaging/LEADImage.h"
#include "imaging/ThumbnailMaker.h"
#include "platform/imagelib/imagelib.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A picture with smooth light, fine texture and a few edges, 24 bits or grey.
QString WritePicture(const QString& path, int w, int h, int bits)
{
    LBitmap b;
    EXPECT_EQ(L_CreateBitmap(&b, w, h, 24), LE_SUCCESS);
    std::uint8_t* data = b.BeginWrite();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b.WriteRow(data, y);
        for (int x = 0; x < w; ++x) {
            row[3 * x + 0] = std::uint8_t((x * 255) / w);
            row[3 * x + 1] = std::uint8_t((y * 255) / h);
            row[3 * x + 2] = std::uint8_t(((x / 16 + y / 16) & 1) ? 200 : 40);
        }
    }
    EXPECT_EQ(L_SaveBitmap(QFile::encodeName(path).constData(), &b, LFMT_JPEG_422, bits, 15, nullptr), LE_SUCCESS);
    L_FreeBitmap(&b);
    return path;
}

// The main window's thumbnail steps through a picture control set up as its hidden one.
bool ControlThumbnail(const QString& file, const QString& target, int height)
{
    TLEADImage image;
    image.setBackColor(16777215);
    image.setShadowColor(15395562);
    image.setShadowXDepth(2);
    image.setShadowYDepth(2);
    image.setShapeBorderColor(12632256);
    image.setShapeBorderThickness(1);
    image.setShapeInnerBandThickness(5);
    image.setShapeInnerBandShadowColor(16777215);
    image.setShapeOuterBandThickness(5);
    image.setShapeOuterBandShadowColor(16711680);
    image.setPatternStyle(TLEADImage::epsTransparent);
    image.SetLoadSizeHint(0, height);
    if (image.Load(file, 0, 1, -1) != 1)
        return false;
    const int width = qMax(1, int(std::nearbyint(double(height) * image.InfoWidth() / image.InfoHeight())));
    image.Size(width, height, 4);
    image.setDrawPersistence(true);
    image.setShapeWidth(image.BitmapWidth());
    image.setShapeHeight(image.BitmapHeight());
    image.DrawShape(2000, image.Bitmap());
    const int w = image.BitmapWidth(), h = image.BitmapHeight();
    image.SetRgnRect(0, h - 2, 2, 2, 1);
    image.Fill(RGB(255, 255, 255));
    image.SetRgnRect(w - 2, 0, 2, 2, 1);
    image.Fill(RGB(255, 255, 255));
    return image.Save(target, 23, 24, 2, 0) == 1;
}

struct Pixels {
    LBitmap b;
    Pixels(const QString& path)
    {
        EXPECT_EQ(L_LoadFile(QFile::encodeName(path).constData(), &b, 24, LORDER_BGR, LLF_ALLOCATE | LLF_STORE,
                             nullptr, nullptr, nullptr, nullptr),
                  LE_SUCCESS);
    }
    ~Pixels() { L_FreeBitmap(&b); }
    const std::uint8_t* At(int x, int y) const { return b.Bits() + std::ptrdiff_t(y) * b.BytesPerLine + 3 * x; }
};

} // namespace

TEST(ThumbnailMaker, MatchesThePictureControl)
{
    QTemporaryDir dir;
    struct Case {
        int w, h, bits, expectedWidth;
    };
    // 52.5 rounds to the even 52.
    const Case cases[] = {{1024, 768, 24, 93}, {1000, 1500, 24, 47}, {768, 1024, 24, 52}, {800, 600, 8, 93}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " " << c.bits);
        const QString file = WritePicture(dir.filePath(QStringLiteral("p%1x%2_%3.jpg").arg(c.w).arg(c.h).arg(c.bits)),
                                          c.w, c.h, c.bits);
        const QString ours = dir.filePath(QStringLiteral("ours.jpg")), control = dir.filePath(QStringLiteral("control.jpg"));
        ASSERT_TRUE(MakeThumbnailFile(file, ours, 70));
        ASSERT_TRUE(ControlThumbnail(file, control, 70));
        const Pixels a(ours), b(control);
        ASSERT_EQ(a.b.Width, c.expectedWidth);
        ASSERT_EQ(a.b.Height, 70);
        ASSERT_EQ(b.b.Width, a.b.Width);
        ASSERT_EQ(b.b.Height, a.b.Height);
        int worst = 0;
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < a.b.Width; ++x) {
                const bool edge = x < 12 || y < 12 || x >= a.b.Width - 12 || y >= 70 - 12;
                for (int k = 0; k < 3; ++k) {
                    const int d = std::abs(int(a.At(x, y)[k]) - int(b.At(x, y)[k]));
                    if (edge) {
                        ASSERT_EQ(d, 0) << "frame pixel " << x << "," << y;
                    }
                    worst = std::max(worst, d);
                }
            }
        EXPECT_LE(worst, 4);
        // The two white corners (as white as the JPEG keeps them).
        for (const auto& [x, y] : {std::pair{0, 68}, std::pair{1, 69}, std::pair{a.b.Width - 1, 0},
                                   std::pair{a.b.Width - 2, 1}})
            for (int k = 0; k < 3; ++k)
                EXPECT_GE(a.At(x, y)[k], 235) << x << "," << y;
    }
}

TEST(ThumbnailMaker, FailuresWriteNothing)
{
    QTemporaryDir dir;
    const QString good = WritePicture(dir.filePath(QStringLiteral("good.jpg")), 320, 240, 24);
    QFile junk(dir.filePath(QStringLiteral("junk.jpg")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture at all, only text");
    junk.close();
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const struct {
        QString file, target;
        int height;
    } cases[] = {
        {dir.filePath(QStringLiteral("missing.jpg")), dir.filePath(QStringLiteral("t1.jpg")), 70},
        {junk.fileName(), dir.filePath(QStringLiteral("t2.jpg")), 70},
        {good, dir.filePath(QStringLiteral("t3.jpg")), 0},
        {good, dir.filePath(QStringLiteral("file/t4.jpg")), 70},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString() + " -> " + c.target.toStdString());
        EXPECT_FALSE(MakeThumbnailFile(c.file, c.target, c.height));
        EXPECT_FALSE(QFile::exists(c.target));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);  // no temporary file left
}

TEST(ThumbnailMaker, ThreadsGiveTheSameFiles)
{
    QTemporaryDir dir;
    const QString file = WritePicture(dir.filePath(QStringLiteral("src.jpg")), 900, 600, 24);
    ASSERT_TRUE(MakeThumbnailFile(file, dir.filePath(QStringLiteral("one.jpg")), 70));
    QFile one(dir.filePath(QStringLiteral("one.jpg")));
    ASSERT_TRUE(one.open(QIODevice::ReadOnly));
    const QByteArray expected = one.readAll();
    bool made[16] = {};
    QThreadPool pool;
    pool.setMaxThreadCount(8);
    for (int i = 0; i < 16; ++i)
        pool.start([&, i] { made[i] = MakeThumbnailFile(file, dir.filePath(QStringLiteral("t%1.jpg").arg(i)), 70); });
    pool.waitForDone();
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(made[i]);
        QFile f(dir.filePath(QStringLiteral("t%1.jpg").arg(i)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), expected) << i;
    }
}
