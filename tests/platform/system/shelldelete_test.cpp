// Folder operations of the shell: a deleted folder goes to the trash or stays where it is.
#include "platform/system/ShellDelete.h"

#include "tests/platform/vcl/files/FileFixtures.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using kvtest::readFile;
using kvtest::writeFile;

QString TrashFiles() { return QString::fromLocal8Bit(std::getenv("XDG_DATA_HOME")) + "/Trash/files/"; }

} // namespace

TEST(ShellDelete, MovesAFolderToTheTrash)
{
    const QString dir = kvtest::MakeTempFolder("shelldelete");
    ASSERT_TRUE(QDir().mkpath(dir + "Archive_0003"));
    writeFile(dir + "Archive_0003/IMG.jpg", "jpg");
    ASSERT_TRUE(ShellDelete(dir + "Archive_0003"));
    EXPECT_FALSE(QFileInfo::exists(dir + "Archive_0003"));
    EXPECT_EQ(readFile(TrashFiles() + "Archive_0003/IMG.jpg"), QByteArray("jpg"));
}

TEST(ShellDelete, RefusesWhatIsNoFolderAndKeepsAFolderWithoutTrash)
{
    const QString dir = kvtest::MakeTempFolder("shellrefuse");
    writeFile(dir + "file.jpg", "data");
    EXPECT_FALSE(ShellDelete(dir + "file.jpg"));
    EXPECT_FALSE(ShellDelete(dir + "missing"));
    EXPECT_FALSE(ShellDelete(QString()));
    EXPECT_EQ(readFile(dir + "file.jpg"), QByteArray("data"));

    ASSERT_TRUE(QDir().mkpath(dir + "keep"));
    writeFile(dir + "keep/a.jpg", "a");
    writeFile(dir + "blocker", "");
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir + "blocker/share"));
    const bool deleted = ShellDelete(dir + "keep");
    qputenv("XDG_DATA_HOME", saved);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(readFile(dir + "keep/a.jpg"), QByteArray("a"));
}

TEST(ShellFileOperation, CopiesMovesAndRenamesFolders)
{
    const QString dir = kvtest::MakeTempFolder("shellops");
    ASSERT_TRUE(QDir().mkpath(dir + "src"));
    writeFile(dir + "src/a.jpg", "a");
    EXPECT_TRUE(ShellFileOperation("copy", false, dir + "copy", dir + "src", false, true, true));
    EXPECT_EQ(readFile(dir + "copy/a.jpg"), QByteArray("a"));
    // A copy onto an existing folder with rename on collision goes beside it.
    EXPECT_TRUE(ShellFileOperation("COPY", true, dir + "copy", dir + "src", false, true, true));
    EXPECT_EQ(readFile(dir + "copy (2)/a.jpg"), QByteArray("a"));
    EXPECT_FALSE(ShellFileOperation("MOVE", false, dir + "copy", dir + "src", false, true, true));
    EXPECT_TRUE(ShellFileOperation("Move", false, dir + "moved", dir + "src", false, true, true));
    EXPECT_FALSE(QFileInfo::exists(dir + "src"));
    EXPECT_TRUE(ShellFileOperation("RENAME", false, dir + "renamed", dir + "moved", false, true, true));
    EXPECT_EQ(readFile(dir + "renamed/a.jpg"), QByteArray("a"));
    EXPECT_FALSE(ShellFileOperation("SHRED", false, dir + "x", dir + "renamed", false, true, true));
    EXPECT_FALSE(ShellFileOperation("COPY", false, dir + "x", dir + "renamed/a.jpg", false, true, true));
}
