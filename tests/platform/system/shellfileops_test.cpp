#include "platform/system/ShellFileOps.h"

#include "platform/vcl/Files.h"

#include "tests/platform/vcl/files/FileFixtures.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using kvtest::readFile;
using kvtest::writeFile;

ino_t inodeOf(const QString& path) { return kvtest::statOf(path).st_ino; }

QString trashFolder() { return QString::fromLocal8Bit(std::getenv("XDG_DATA_HOME")) + "/Trash"; }

} // namespace

TEST(Trash, MovesAFolderWithItsContents)
{
    const QString dir = kvtest::MakeTempFolder("trash");
    writeFile(dir + "Archive_0001/Pictures.ini", "[PICTURES]\n");
    writeFile(dir + "single.jpg", "jpg");

    QString error;
    ASSERT_TRUE(MoveToTrash(dir + "Archive_0001", &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir + "Archive_0001"));
    EXPECT_EQ(readFile(trashFolder() + "/files/Archive_0001/Pictures.ini"),
              QByteArray("[PICTURES]\n"));
    EXPECT_TRUE(QFileInfo::exists(trashFolder() + "/info/Archive_0001.trashinfo"));

    ASSERT_TRUE(MoveToTrash(dir + "single.jpg"));
    EXPECT_EQ(readFile(trashFolder() + "/files/single.jpg"), QByteArray("jpg"));
}

TEST(Trash, FailsWithoutATrashAndKeepsTheItem)
{
    const QString dir = kvtest::MakeTempFolder("notrash");
    writeFile(dir + "keep.jpg", "data");
    QString error;
    EXPECT_FALSE(MoveToTrash(dir + "missing.jpg", &error));
    EXPECT_TRUE(error.contains("missing.jpg")) << error.toStdString();

    // No trash can be made: its folder would lie below a regular file.
    writeFile(dir + "blocker", "");
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir + "blocker/share"));
    error.clear();
    const bool moved = MoveToTrash(dir + "keep.jpg", &error);
    qputenv("XDG_DATA_HOME", saved);
    EXPECT_FALSE(moved);
    EXPECT_TRUE(error.contains("keep.jpg")) << error.toStdString();
    EXPECT_EQ(readFile(dir + "keep.jpg"), QByteArray("data"));
}

TEST(CopyFolder, CopiesTreesAndReplacesChangedCopies)
{
    const QString src = kvtest::MakeTempFolder("kit");
    const QString dst = kvtest::MakeTempFolder("target") + "encoder";
    writeFile(src + "Lame_enc.dll", "lame");
    writeFile(src + ".hidden", "h");
    writeFile(src + "sub/deep/b.txt", "b");
    ASSERT_TRUE(QFile::setPermissions(src + "Lame_enc.dll",
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QString error;
    ASSERT_TRUE(CopyFolder(src, dst, true, &error)) << error.toStdString();
    EXPECT_EQ(readFile(dst + "/Lame_enc.dll"), QByteArray("lame"));
    EXPECT_EQ(readFile(dst + "/.hidden"), QByteArray("h"));
    EXPECT_EQ(readFile(dst + "/sub/deep/b.txt"), QByteArray("b"));
    EXPECT_TRUE(QFileInfo(dst + "/Lame_enc.dll").isExecutable());

    // Second start: a changed copy is replaced, an unchanged one is left as it is, files only
    // in the target stay.
    const ino_t unchanged = inodeOf(dst + "/sub/deep/b.txt");
    writeFile(dst + "/Lame_enc.dll", "changed by someone");
    writeFile(dst + "/extra.txt", "mine");
    ASSERT_TRUE(CopyFolder(src, dst));
    EXPECT_EQ(readFile(dst + "/Lame_enc.dll"), QByteArray("lame"));
    EXPECT_EQ(inodeOf(dst + "/sub/deep/b.txt"), unchanged);
    EXPECT_EQ(readFile(dst + "/extra.txt"), QByteArray("mine"));

    // A changed source of the same size is copied again.
    writeFile(src + "sub/deep/b.txt", "B");
    struct timespec later[2] = {{2000000000, 0}, {2000000000, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(src + "sub/deep/b.txt").constData(), later, 0);
    ASSERT_TRUE(CopyFolder(src, dst));
    EXPECT_EQ(readFile(dst + "/sub/deep/b.txt"), QByteArray("B"));
}

TEST(CopyFolder, FilesOnlyAndRefusals)
{
    const QString src = kvtest::MakeTempFolder("flat");
    writeFile(src + "a.txt", "a");
    writeFile(src + "sub/b.txt", "b");
    const QString flat = kvtest::MakeTempFolder("flatcopy");
    ASSERT_TRUE(CopyFolder(src, flat, false));
    EXPECT_EQ(readFile(flat + "a.txt"), QByteArray("a"));
    EXPECT_FALSE(QFileInfo::exists(flat + "sub"));

    QString error;
    EXPECT_FALSE(CopyFolder(src, src + "sub/inner", true, &error));
    EXPECT_FALSE(QFileInfo::exists(src + "sub/inner"));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(CopyFolder(src + "missing", flat));

    // A link back up the tree does not make the copy run forever.
    ASSERT_TRUE(QFile::link(src, src + "sub/loop"));
    const QString looped = kvtest::MakeTempFolder("looped");
    EXPECT_TRUE(CopyFolder(src, looped));
    EXPECT_EQ(readFile(looped + "sub/b.txt"), QByteArray("b"));
}

TEST(CopyFolder, AFailedPartIsReportedAndTheRestCopied)
{
    const QString src = kvtest::MakeTempFolder("partsrc");
    writeFile(src + "a.txt", "a");
    writeFile(src + "sub/b.txt", "b");
    writeFile(src + "z.txt", "z");
    const QString dst = kvtest::MakeTempFolder("partdst");
    writeFile(dst + "sub", "a file where the folder should go");

    QString error;
    EXPECT_FALSE(CopyFolder(src, dst, true, &error));
    EXPECT_TRUE(error.contains(QDir::cleanPath(dst + "sub"))) << error.toStdString();
    EXPECT_EQ(readFile(dst + "a.txt"), QByteArray("a"));
    EXPECT_EQ(readFile(dst + "z.txt"), QByteArray("z"));
}
