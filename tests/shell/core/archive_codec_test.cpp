// Slideshow folders on disk: the next free folder name, unique copy names, Diashow.ini and
// Pictures.ini, and the removal of thumbnails whose picture is gone.
#include "shell/core/Archive.h"

#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void Touch(const QString& path, const QByteArray& bytes = "x")
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(NextArchiveName, TakesOneMoreThanTheHighestNumberedFolder)
{
    struct Case {
        QStringList folders;
        QStringList files;
        const char* expected;
    };
    const Case cases[] = {
        {{}, {}, "Archive_0002"},
        {{"Archive_0001", "Archive_0009", "Archive_0004"}, {}, "Archive_0010"},
        {{"Archive_x", "del", "Archive_0003"}, {}, "Archive_0004"},
        {{"Archive_0050.old", "Archive_0002"}, {"Archive_0077"}, "Archive_0003"},
        {{"Archive_12345"}, {}, "Archive_12346"},
        {{"Other_0020"}, {}, "Archive_0021"},
    };
    for (const Case& c : cases) {
        const QString root = kvtest::MakeTempFolder("next");
        for (const QString& folder : c.folders)
            ASSERT_TRUE(QDir().mkpath(root + folder));
        for (const QString& file : c.files)
            Touch(root + file);
        EXPECT_EQ(NextArchiveName(root), c.expected) << c.folders.join(',').toStdString();
    }
}

TEST(MakeUniqueFileName, NumbersBeforeTheExtensionUntilFree)
{
    const QString folder = kvtest::MakeTempFolder("unique");
    Touch(folder + "IMG.jpg");
    EXPECT_EQ(MakeUniqueFileName(folder + "IMG.jpg"), folder + "IMG_1.jpg");
    Touch(folder + "IMG_1.jpg");
    EXPECT_EQ(MakeUniqueFileName(folder + "IMG.jpg"), folder + "IMG_2.jpg");
    Touch(folder + "a.b.jpg");
    EXPECT_EQ(MakeUniqueFileName(folder + "a.b.jpg"), folder + "a.b_1.jpg");
    Touch(folder + "noext");
    EXPECT_EQ(MakeUniqueFileName(folder + "noext"), folder + "noext_1");
}

TEST(ArchivePictureName, KeepsMarkupAndThumbnailPrefixOutOfCopyNames)
{
    const std::pair<const char*, const char*> cases[] = {
        {"IMG.jpg", "IMG.jpg"},
        {"a|b>c<d\"e.jpg", "a_b_c_d_e.jpg"},
        {"  blank.jpg ", "blank.jpg"},
        {"_THUMB_IMG.jpg", "_IMG.jpg"},
        {"_thumbnail.jpg", "nail.jpg"},
        {"_THUMB_THUMBx.jpg", "x.jpg"},
        {"_Thumb_Thumb", "Picture"},
        {"   ", "Picture"},
    };
    for (const auto& [in, out] : cases) {
        const QString name = ArchivePictureName(in);
        EXPECT_EQ(name, out) << in;
        EXPECT_FALSE(name.startsWith("_THUMB", Qt::CaseInsensitive)) << in;
    }
}

TEST(DiashowIni, RoundTripsTitleAndTimeAndReportsAMissingFile)
{
    const QString folder = kvtest::MakeTempFolder("ini");
    TDiashowIni ini;
    EXPECT_FALSE(ReadDiashowIni(folder, ini));
    WriteDiashowIni(folder, {"Sommer in Å", "7,5"});
    ASSERT_TRUE(ReadDiashowIni(folder, ini));
    EXPECT_EQ(ini.Title, "Sommer in Å");
    EXPECT_EQ(ini.Time, "7,5");
    Touch(folder + "Diashow.ini", "[DIASHOW]\r\nTitel=  Padded  \r\n");
    ASSERT_TRUE(ReadDiashowIni(folder, ini));
    EXPECT_EQ(ini.Title, "Padded");
    EXPECT_EQ(ini.Time, "");
}

TEST(PicturesIni, ParsesNameAndFirstText)
{
    struct Case {
        const char* line;
        const char* name;
        const char* text;
        bool hasText;
    };
    const Case cases[] = {
        {"IMG.jpg", "IMG.jpg", "", false},
        {"IMG.jpg | ", "IMG.jpg", "", true},
        {"a.jpg | one | two", "a.jpg", "one", true},
        {"a.jpg || one", "a.jpg", "one", true},
        {" a.jpg |  a < b & c ", "a.jpg", "a < b & c", true},
    };
    for (const Case& c : cases) {
        const TPictureLine line = TPictureLine::Parse(c.line);
        EXPECT_EQ(line.Name, c.name) << c.line;
        EXPECT_EQ(line.Text, c.text) << c.line;
        EXPECT_EQ(line.HasText, c.hasText) << c.line;
    }
}

TEST(PicturesIni, WritesCrlfLinesWithoutHeaderAndReadsThemBack)
{
    const QString folder = kvtest::MakeTempFolder("pictures");
    WritePicturesIni(folder, {{"IMG.jpg", "", false}, {"IMG_1.jpg", "a < b & c", true}, {"x.jpg", "", true}});
    EXPECT_EQ(Bytes(folder + "Pictures.ini"), "IMG.jpg\r\nIMG_1.jpg | a < b & c\r\nx.jpg | \r\n");
    const QList<TPictureLine> lines = ReadPicturesIni(folder);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1].Text, "a < b & c");
    EXPECT_FALSE(lines[0].HasText);
    EXPECT_TRUE(lines[2].HasText);
    EXPECT_TRUE(ReadPicturesIni(folder + "missing").isEmpty());
}

TEST(PicturesIni, NamesThatLeaveTheFolderAreDropped)
{
    const QString folder = kvtest::MakeTempFolder("escape");
    QFile f(folder + "Pictures.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("../../Fotos/x.jpg | fremd\r\n../../../etc/passwd\r\nok.jpg | gut\r\n.\r\n.. | oben\r\n"
            "sub/y.jpg\r\n..jpg\r\n");
    f.close();
    QStringList names;
    for (const TPictureLine& line : ReadPicturesIni(folder))
        names << line.Name;
    EXPECT_EQ(names, (QStringList{"ok.jpg", "..jpg"}));
    for (const char* name : {"", ".", "..", "a/b.jpg", "/etc/passwd"})
        EXPECT_FALSE(IsPlainFileName(name)) << name;
}

TEST(PicturesIni, AFailedWriteKeepsTheOldFile)
{
    const QString folder = kvtest::MakeTempFolder("keep");
    WritePicturesIni(folder, {{"IMG.jpg", "", false}});
    Touch(folder + "blocker");
    EXPECT_ANY_THROW(WritePicturesIni(folder + "blocker", {{"x.jpg", "", false}}));
    EXPECT_EQ(Bytes(folder + "Pictures.ini"), "IMG.jpg\r\n");
}

TEST(DeleteStaleThumbnails, RemovesThumbnailsWithoutTheirPicture)
{
    const QString folder = kvtest::MakeTempFolder("thumbs");
    for (const char* name : {"IMG.jpg", "my__photo.jpg", "_THUMB_IMG.jpg", "_THUMB_3IMG.jpg", "_thumb_IMG.jpg",
                             "_THUMB_gone.jpg", "_THUMB_my__photo.jpg", "_THUMBS.txt", "Pictures.ini"})
        Touch(folder + name);
    DeleteStaleThumbnails(folder);
    QStringList left = QDir(folder).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{"IMG.jpg", "Pictures.ini", "_THUMBS.txt", "_THUMB_IMG.jpg", "_THUMB_my__photo.jpg",
                           "_thumb_IMG.jpg", "my__photo.jpg"}));
    DeleteStaleThumbnails(QString());  // no folder: nothing happens
}
