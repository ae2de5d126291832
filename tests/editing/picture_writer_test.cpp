// The editor's queued saves: the bytes of a direct save, in the order queued, a later change
// of the bitmap not reaching a queued save, and no write after a failed one.
#include "EditorFixture.h"

#include "editing/PictureWriter.h"
#include "platform/imagelib/lterr.h"
#include "platform/imagelib/ltfil.h"

namespace {

using kvtest::FileBytes;

LBitmap Noise(int w, int h, std::uint8_t seed)
{
    LBitmap b;
    EXPECT_EQ(L_CreateBitmap(&b, w, h, 24), LE_SUCCESS);
    std::uint8_t* bits = b.BeginWrite();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x)
            b.WriteRow(bits, y)[x] = std::uint8_t((x * 7 + y * 13 + seed * 31) ^ (x * y));
    return b;
}

QByteArray DirectSave(const LBitmap& b, const QString& file, int format, int qFactor)
{
    LSaveOptions options;
    L_GetDefaultSaveFileOption(&options);
    EXPECT_EQ(L_SaveBitmap(QFile::encodeName(file).constData(), &b, format, 24, qFactor, &options), LE_SUCCESS);
    return FileBytes(file);
}

TEST(PictureWriter, WritesTheBytesOfADirectSaveInOrderFromTheBitmapAsQueued)
{
    const QString folder = kvtest::MakeTempFolder("writer");
    LBitmap picture = Noise(120, 80, 1);
    const QByteArray jfif = DirectSave(picture, folder + "direct10.jpg", 10, 3);
    const QByteArray jpeg422 = DirectSave(picture, folder + "direct23.jpg", 23, 2);

    TPictureWriter writer;
    writer.Queue(picture, folder + "a.jpg", 10, 24, 3);
    writer.Queue(picture, folder + "same.jpg", 23, 24, 2);
    writer.Queue(picture, folder + "b.jpg", 10, 24, 3);  // encoded once with a.jpg
    // The bitmap changes after the saves were queued: they keep the picture as it was.
    std::uint8_t* bits = picture.BeginWrite();
    std::fill(bits, bits + picture.DataSize(), std::uint8_t(0));
    writer.Queue(picture, folder + "same.jpg", 10, 24, 3);  // the later save of one file wins
    EXPECT_TRUE(writer.Pending());
    const TPictureWriter::TResult result = writer.Finish();
    EXPECT_EQ(result.Code, LE_SUCCESS);
    EXPECT_FALSE(writer.Pending());
    EXPECT_EQ(FileBytes(folder + "a.jpg"), jfif);
    EXPECT_EQ(FileBytes(folder + "b.jpg"), jfif);
    EXPECT_EQ(FileBytes(folder + "same.jpg"), DirectSave(picture, folder + "black.jpg", 10, 3));
    EXPECT_NE(FileBytes(folder + "same.jpg"), jpeg422);
}

TEST(PictureWriter, NoWriteAfterAFailedOne)
{
    const QString folder = kvtest::MakeTempFolder("writer-fail");
    ASSERT_TRUE(QDir(folder).mkdir("taken.jpg"));
    const LBitmap picture = Noise(40, 30, 2);
    TPictureWriter writer;
    writer.Queue(picture, folder + "first.jpg", 10, 24, 3);
    writer.Queue(picture, folder + "taken.jpg", 10, 24, 3);
    writer.Queue(picture, folder + "after.jpg", 10, 24, 3);
    writer.Queue(picture, folder + "bad.jpg", 10, 24, 1);  // a quality factor the kernel refuses
    const TPictureWriter::TResult result = writer.Finish();
    EXPECT_EQ(result.Code, LE_FILE_WRITE);
    EXPECT_EQ(result.FileName, folder + "taken.jpg");
    EXPECT_TRUE(QFile::exists(folder + "first.jpg"));
    EXPECT_FALSE(QFile::exists(folder + "after.jpg"));
    EXPECT_FALSE(QFile::exists(folder + "bad.jpg"));

    // An encode that fails is the failure of its write.
    writer.Queue(picture, folder + "bad.jpg", 10, 24, 1);
    EXPECT_EQ(writer.Finish().Code, LE_INVALID_QFACTOR);
    EXPECT_FALSE(QFile::exists(folder + "bad.jpg"));
}

} // namespace
