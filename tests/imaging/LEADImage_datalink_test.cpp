// The picture control linked to a blob column of an SQLite table: the header rules of the
// stored blob, the column type check, and a changed picture written back on post.
#include "ImagingFixtures.h"

#include "platform/db/DataSource.h"
#include "support/TestEnv.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace imgtest;

namespace {

QByteArray WithHeader(const QByteArray& file, qint32 headerSize = 24)
{
    QByteArray blob(24, '\0');
    std::copy_n("LTOCXBND", 8, blob.data());
    qToLittleEndian<qint32>(headerSize, blob.data() + 8);
    qToLittleEndian<qint32>(qint32(file.size()), blob.data() + 12);
    return blob + file;
}

// A database with the table pictures(id, name TEXT, picture BLOB, untyped): row 1 a blob with
// the header, row 2 the bare file, row 3 a header whose size reaches past the blob.
struct PictureTable {
    QTemporaryDir dir;
    QString file = dir.filePath("pictures.sqlite");
    QByteArray jpeg;

    PictureTable()
    {
        const QString picture = dir.filePath("p.jpg");
        SaveWithKernel(picture, 40, 30, kBlue, 10);
        jpeg = ReadBytes(picture);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fixture");
            db.setDatabaseName(file);
            db.open();
            QSqlQuery q(db);
            q.exec("CREATE TABLE pictures (id INTEGER PRIMARY KEY, name TEXT, picture BLOB, untyped)");
            for (const QByteArray& blob : {WithHeader(jpeg), jpeg, WithHeader(jpeg, 100000)}) {
                q.prepare("INSERT INTO pictures (name, picture, untyped) VALUES ('x', ?, NULL)");
                q.addBindValue(blob);
                q.exec();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase("fixture");
    }
};

} // namespace

TEST(LEADImageDataLink, BlobsLoadByTheirHeaderRules)
{
    PictureTable t;
    TDataSource source;
    source.Open(t.file, "pictures");
    TLEADImage image;
    image.setEnableMethodErrors(false);
    image.setDataSource(&source);
    image.setDataField("picture");
    ASSERT_TRUE(image.Allocated()) << "with the header";
    EXPECT_EQ(image.BitmapWidth(), 40);
    EXPECT_TRUE(Near(PixelOf(*image.Bitmap(), 20, 15), kBlue, 8));
    EXPECT_FALSE(image.DataModified());

    source.Next();
    ASSERT_TRUE(image.Allocated()) << "without the tag, from byte 0";
    EXPECT_EQ(image.BitmapHeight(), 30);

    source.Next();
    EXPECT_FALSE(image.Allocated()) << "a header larger than the blob leaves nothing to load";
    EXPECT_NE(image.LastError(), 1);

    // A NULL field: an empty control, no failure.
    image.setDataField("untyped");
    EXPECT_FALSE(image.Allocated());
    EXPECT_EQ(image.LastError(), 1);
}

TEST(LEADImageDataLink, RawPixelsInABlobAreDescribedByOnLoadInfo)
{
    // 4 x 2 red pixels of 24 bits (rows of 12 bytes) behind the blob header.
    QByteArray raw;
    for (int i = 0; i < 8; ++i)
        raw.append(char(0)).append(char(0)).append(char(255));
    QTemporaryDir dir;
    const QString file = dir.filePath("raw.sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "raw");
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        q.exec("CREATE TABLE pictures (id INTEGER PRIMARY KEY, picture BLOB)");
        q.prepare("INSERT INTO pictures (picture) VALUES (?)");
        q.addBindValue(WithHeader(raw));
        q.exec();
        db.close();
    }
    QSqlDatabase::removeDatabase("raw");

    TDataSource source;
    source.Open(file, "pictures");
    TLEADImage image;
    image.setEnableMethodErrors(false);
    int asked = 0;
    image.OnLoadInfo = [&](QObject* sender) {
        ++asked;
        auto* control = static_cast<TLEADImage*>(sender);
        control->LoadInfo.Format = LFMT_BMP;
        control->LoadInfo.Width = 4;
        control->LoadInfo.Height = 2;
        control->LoadInfo.BitsPerPixel = 24;
    };
    image.setDataSource(&source);
    image.setDataField("picture");
    EXPECT_GE(asked, 1);
    ASSERT_TRUE(image.Allocated());
    EXPECT_EQ(image.BitmapWidth(), 4);
    EXPECT_EQ(PixelOf(*image.Bitmap(), 3, 1), kRed);
}

TEST(LEADImageDataLink, OnlyBlobColumnsCanBeLinked)
{
    PictureTable t;
    TDataSource source;
    source.Open(t.file, "pictures");
    TLEADImage image;
    image.setDataSource(&source);
    for (const char* column : {"name", "id"}) {
        SCOPED_TRACE(column);
        try {
            image.setDataField(column);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidFieldType& e) {
            EXPECT_EQ(S(e.Message()), "TLEADImage.DataField can only be connected to columns of type Blob");
        }
    }
    EXPECT_NO_THROW(image.setDataField("untyped")) << "a column without a declared type holds anything";
}

TEST(LEADImageDataLink, AChangedPictureIsWrittenBackOnPost)
{
    PictureTable t;
    TDataSource source;
    source.Open(t.file, "pictures");
    TLEADImage image;
    image.setDataSource(&source);
    image.setDataField("picture");
    image.setDataSaveFormat(LFMT_BMP);
    LBitmap changed = MakePicture(20, 10, [](int x, int y) { return LRgb(std::uint8_t(x * 10), std::uint8_t(y * 20), 7); });
    image.setBitmap(&changed);
    EXPECT_TRUE(image.DataModified());
    source.Post();
    EXPECT_FALSE(image.DataModified());

    // Read back through another source on the same file.
    TDataSource again;
    again.Open(t.file, "pictures");
    const QByteArray blob = again.FieldValue("picture").toByteArray();
    EXPECT_TRUE(blob.startsWith("LTOCXBND"));
    EXPECT_EQ(qFromLittleEndian<qint32>(blob.constData() + 8), 24);
    EXPECT_EQ(qFromLittleEndian<qint32>(blob.constData() + 12), blob.size() - 24);
    TLEADImage reader;
    reader.setDataSource(&again);
    reader.setDataField("picture");
    ASSERT_TRUE(reader.Allocated());
    ASSERT_EQ(reader.BitmapWidth(), 20);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(PixelOf(*reader.Bitmap(), x, y), PixelOf(changed, x, y)) << x << ", " << y;
    L_FreeBitmap(&changed);

    // Unchanged or read-only pictures are not written.
    image.setReadOnly(true);
    Hold(image, 5, 5, kRed);
    source.Post();
    TDataSource third;
    third.Open(t.file, "pictures");
    EXPECT_EQ(third.FieldValue("picture").toByteArray(), blob);
}
