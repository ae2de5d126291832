#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Files.h"

#include "tests/platform/vcl/files/FileFixtures.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using kvtest::allEntries;
using kvtest::readFile;
using kvtest::writeFile;

mode_t modeOf(const QString& path) { return kvtest::statOf(path).st_mode & 07777; }

// Every name a scan returns, in order; "<n>" when FindFirst fails with n.
QStringList scan(const QString& pathWithMask, int attr)
{
    TSearchRec rec;
    const int first = FindFirst(pathWithMask, attr, rec);
    if (first != 0)
        return {QStringLiteral("<%1>").arg(first)};
    QStringList names;
    do
        names << rec.Name;
    while (FindNext(rec) == 0);
    FindClose(rec);
    return names;
}

} // namespace

// ---- Scans ----------------------------------------------------------------------------------

class ScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = kvtest::MakeTempFolder("scan");
        for (const char* name : {"a.jpg", "B.JPG", "ab.jpg", "c.jpeg", "README", "x.tar.gz",
                                 ".hidden"})
            writeFile(dir + name);
        QDir().mkpath(dir + "sub");
        QDir().mkpath(dir + ".cfg");
    }
    QString dir;
};

TEST_F(ScanTest, MasksAndAttributes)
{
    struct Case {
        const char* mask;
        int attr;
        QStringList expected;
    };
    const QStringList dots{".", ".."};
    const Case cases[] = {
        {"*.JPG", 0, {"a.jpg", "ab.jpg", "B.JPG"}},
        {"*.jpg", faAnyFile & ~faDirectory & ~faHidden, {"a.jpg", "ab.jpg", "B.JPG"}},
        {"*.*", 0, {"a.jpg", "ab.jpg", "B.JPG", "c.jpeg", "README", "x.tar.gz"}},
        {"*", 0, {"a.jpg", "ab.jpg", "B.JPG", "c.jpeg", "README", "x.tar.gz"}},
        {"?.jpg", 0, {"a.jpg", "B.JPG"}},
        {"a?.jpg", 0, {"ab.jpg"}},
        {"*.jp?", 0, {"a.jpg", "ab.jpg", "B.JPG"}},
        {"*.", 0, {"README"}},
        {"readme.*", 0, {"README"}},
        {"*.gz", 0, {"x.tar.gz"}},
        {"*.tar", 0, {"<2>"}},
        {"*", faHidden, {".hidden", "a.jpg", "ab.jpg", "B.JPG", "c.jpeg", "README", "x.tar.gz"}},
        {"*", faDirectory,
         dots + QStringList{"a.jpg", "ab.jpg", "B.JPG", "c.jpeg", "README", "sub", "x.tar.gz"}},
        {"*.*", faDirectory | faHidden,
         dots + QStringList{".cfg", ".hidden", "a.jpg", "ab.jpg", "B.JPG", "c.jpeg", "README",
                            "sub", "x.tar.gz"}},
        {"SUB", faDirectory, {"sub"}},
        {"sub", 0, {"<2>"}},
        {"", faAnyFile, {"<2>"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scan(dir + c.mask, c.attr), c.expected) << c.mask << " attr " << c.attr;
}

TEST_F(ScanTest, MissingFolderAndFileAsFolder)
{
    EXPECT_EQ(scan(dir + "nope/*.*", faAnyFile), QStringList{"<3>"});
    EXPECT_EQ(scan(dir + "README/*.*", faAnyFile), QStringList{"<3>"});
}

TEST_F(ScanTest, FindNextAfterTheEndAndAfterClose)
{
    TSearchRec rec;
    ASSERT_EQ(FindFirst(dir + "a.jpg", 0, rec), 0);
    EXPECT_EQ(FindNext(rec), kErrorNoMoreFiles);
    EXPECT_EQ(FindNext(rec), kErrorNoMoreFiles);
    ASSERT_EQ(FindFirst(dir + "*.jpg", 0, rec), 0);
    FindClose(rec);
    EXPECT_EQ(FindNext(rec), kErrorNoMoreFiles);
}

TEST(Scan, OrderIsOrdinalOnUpperCase)
{
    const QString dir = kvtest::MakeTempFolder("order");
    // Upper-casing puts "_" (0x5F) after the letters, digits compare one by one, and names
    // that differ in case only come in ordinal order.
    for (const char* name : {"b", "_x", "a_", "aZ", "a", "A", "9", "10", "x"})
        writeFile(dir + name);
    EXPECT_EQ(scan(dir + "*", 0),
              (QStringList{"10", "9", "A", "a", "aZ", "a_", "b", "x", "_x"}));
    // "." and ".." come first even before names that sort below the dot.
    writeFile(dir + "!bang");
    EXPECT_EQ(scan(dir + "*", faDirectory).mid(0, 3), (QStringList{".", "..", "!bang"}));
}

TEST(Scan, MatchesMaskTable)
{
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    };
    const Case cases[] = {
        {"Photo.JPG", "*.jpg", true}, {"photo.jpeg", "*.jpg", false},
        {"README", "*.*", true},      {".", "*.*", true},
        {"a", "?", true},             {"ab", "?", false},
        {"", "?", false},             {"ä.txt", "Ä.TXT", true},
        {"abc", "a*c", true},         {"abcbc", "a*bc", true},
        {"abcd", "a*c", false},       {"UNDO_12.jpg", "UNDO*.jpg", true},
        {"a.b", "*.", false},         {"ab", "a*?", true},
        {"a", "a*?", false},          {"x", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesMask(QString::fromUtf8(c.name), QString::fromUtf8(c.mask)), c.match)
            << c.name << " / " << c.mask;
}

TEST(Scan, RecordFieldsAndAttributes)
{
    const QString dir = kvtest::MakeTempFolder("attr");
    writeFile(dir + "normal.txt", "12345");
    writeFile(dir + "locked.txt");
    ASSERT_EQ(::chmod(QFile::encodeName(dir + "locked.txt").constData(), 0444), 0);
    writeFile(dir + ".dot");
    QDir().mkpath(dir + "folder");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "pipe").constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(dir + "gone", dir + "dangling"));
    ASSERT_TRUE(QFile::link(dir + "normal.txt", dir + "link.txt"));

    struct Case {
        const char* name;
        int attr;
    };
    const Case cases[] = {
        {"normal.txt", faArchive},  {"locked.txt", faReadOnly}, {".dot", faArchive | faHidden},
        {"folder", faDirectory},    {"pipe", faSysFile},        {"dangling", faSysFile},
        {"link.txt", faArchive},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileGetAttr(dir + c.name), c.attr) << c.name;
    EXPECT_EQ(FileGetAttr(dir + "absent"), -1);

    // System entries only when asked for.
    EXPECT_FALSE(scan(dir + "*", faAnyFile & ~faSysFile).contains("pipe"));
    EXPECT_TRUE(scan(dir + "*", faAnyFile).contains("pipe"));

    TSearchRec rec;
    ASSERT_EQ(FindFirst(dir + "normal.txt", faAnyFile, rec), 0);
    EXPECT_EQ(rec.Size, 5);
    EXPECT_EQ(rec.Attr, faArchive);
    EXPECT_EQ(rec.Time, FileAge(dir + "normal.txt"));
    EXPECT_GT(rec.Time, 1600000000);
    ASSERT_EQ(FindFirst(dir + "folder", faDirectory, rec), 0);
    EXPECT_EQ(rec.Size, 0);
    ASSERT_EQ(FindFirst(dir + ".", faDirectory, rec), 0);
    EXPECT_EQ(rec.Attr, faDirectory);
    FindClose(rec);
}

TEST(Attributes, SetReadOnlyAndBack)
{
    const QString file = kvtest::MakeTempFolder("setattr") + "f.txt";
    writeFile(file);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0664), 0);
    EXPECT_EQ(FileSetAttr(file, faReadOnly), 0);
    EXPECT_EQ(modeOf(file), mode_t(0444));
    EXPECT_EQ(FileGetAttr(file), faReadOnly);
    EXPECT_EQ(FileSetAttr(file, faArchive), 0);
    EXPECT_EQ(FileGetAttr(file), faArchive);
    EXPECT_NE(FileSetAttr(file + ".absent", 0), 0);
}

// ---- Existence, sizes, free space ---------------------------------------------------------

TEST(Existence, FilesFoldersAndLinks)
{
    const QString dir = kvtest::MakeTempFolder("exist");
    writeFile(dir + "f", "abc");
    QDir().mkpath(dir + "d");
    ASSERT_TRUE(QFile::link(dir + "d", dir + "dlink"));
    ASSERT_TRUE(QFile::link(dir + "f", dir + "flink"));

    EXPECT_TRUE(FileExists(dir + "f"));
    EXPECT_TRUE(FileExists(dir + "flink"));
    EXPECT_FALSE(FileExists(dir + "d"));
    EXPECT_FALSE(FileExists(dir + "missing"));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_TRUE(DirectoryExists(dir + "d"));
    EXPECT_TRUE(DirectoryExists(dir + "dlink"));
    EXPECT_FALSE(DirectoryExists(dir + "f"));

    EXPECT_EQ(FileSize(dir + "f"), 3);
    EXPECT_EQ(FileSize(dir + "d"), -1);
    EXPECT_EQ(FileAge(dir + "d"), -1);
    EXPECT_EQ(FileAge(dir + "missing"), -1);
    EXPECT_GT(DiskFree(dir), 0);
    EXPECT_EQ(DiskFree(dir + "missing"), -1);
}

// ---- Folders --------------------------------------------------------------------------------

TEST(Folders, CreateAndRemove)
{
    const QString dir = kvtest::MakeTempFolder("folders");
    writeFile(dir + "file");

    EXPECT_TRUE(CreateDir(dir + "one"));
    EXPECT_FALSE(CreateDir(dir + "one"));           // exists
    EXPECT_FALSE(CreateDir(dir + "two/three"));     // parent missing
    EXPECT_FALSE(CreateDir(dir + "file/x"));        // parent is a file

    EXPECT_TRUE(ForceDirectories(dir + "a/b/c"));
    EXPECT_TRUE(DirectoryExists(dir + "a/b/c"));
    EXPECT_TRUE(ForceDirectories(dir + "a/b/c/"));  // exists already
    EXPECT_FALSE(ForceDirectories(dir + "file/x/y"));
    EXPECT_FALSE(ForceDirectories(dir + "file"));
    EXPECT_FALSE(ForceDirectories(QString()));

    EXPECT_FALSE(RemoveDir(dir + "a"));             // not empty
    EXPECT_TRUE(RemoveDir(dir + "a/b/c"));
    EXPECT_FALSE(DirectoryExists(dir + "a/b/c"));
    EXPECT_FALSE(RemoveDir(dir + "file"));
}

TEST(Folders, RaisingVariantsNameTheFolder)
{
    const QString dir = kvtest::MakeTempFolder("raise");
    writeFile(dir + "file");
    struct Case {
        QString path;
        bool force;
        int code;
    };
    const Case cases[] = {
        {dir + "file/sub", true, 183},  // "file" is in the way
        {dir + "file/sub", false, 3},
        {dir + "missing/sub", false, 3},
        {dir + "file", false, 183},
    };
    for (const Case& c : cases) {
        try {
            c.force ? ForceDirectoriesOrRaise(c.path) : MkDir(c.path);
            ADD_FAILURE() << "no error for " << c.path.toStdString();
        } catch (const EInOutError& e) {
            EXPECT_TRUE(e.Message().contains(c.path)) << e.Message().toStdString();
            EXPECT_EQ(e.ErrorCode, c.code) << c.path.toStdString();
        }
    }
    EXPECT_NO_THROW(MkDir(dir + "new"));
    EXPECT_NO_THROW(ForceDirectoriesOrRaise(dir + "new/x/y"));
    EXPECT_NO_THROW(ForceDirectoriesOrRaise(dir + "new/x/y"));
}

TEST(Folders, GuardRefusesEvenExistingFolders)
{
    const QString dir = kvtest::MakeTempFolder("guard");
    QDir().mkpath(dir + "away/left");
    const QString away = QDir::cleanPath(dir + "away");
    SetFolderGuard([away](const QString& folder) {
        return folder == away || folder.startsWith(away + '/') ? QStringLiteral("volume away")
                                                               : QString();
    });
    EXPECT_FALSE(ForceDirectories(dir + "away/left"));
    EXPECT_FALSE(ForceDirectories(dir + "away/new/deep"));
    EXPECT_FALSE(CreateDir(dir + "away/new"));
    EXPECT_FALSE(DirectoryExists(dir + "away/new"));
    try {
        MkDir(dir + "away/new");
        ADD_FAILURE() << "MkDir made a folder the guard refused";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains("volume away")) << e.Message().toStdString();
    }
    EXPECT_TRUE(ForceDirectories(dir + "elsewhere/x"));  // outside the guarded folder
    SetFolderGuard({});
    EXPECT_TRUE(ForceDirectories(dir + "away/new"));
}

// ---- Files ----------------------------------------------------------------------------------

TEST(CopyFile, KeepsModeAndTime)
{
    const QString dir = kvtest::MakeTempFolder("copy");
    writeFile(dir + "tool", "#!/bin/sh\n");
    ASSERT_EQ(::chmod(QFile::encodeName(dir + "tool").constData(), 0755), 0);
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(dir + "tool").constData(), old, 0), 0);

    ASSERT_TRUE(CopyFile(dir + "tool", dir + "copy", false));
    EXPECT_EQ(readFile(dir + "copy"), QByteArray("#!/bin/sh\n"));
    EXPECT_EQ(modeOf(dir + "copy"), mode_t(0755));
    EXPECT_EQ(FileAge(dir + "copy"), 1000000000);
    EXPECT_EQ(allEntries(dir), (QStringList{"copy", "tool"}));
}

TEST(CopyFile, ExistingTargets)
{
    const QString dir = kvtest::MakeTempFolder("exists");
    writeFile(dir + "src", "new");
    writeFile(dir + "dst", "old");

    EXPECT_FALSE(CopyFile(dir + "src", dir + "dst", true));
    EXPECT_EQ(readFile(dir + "dst"), QByteArray("old"));
    EXPECT_TRUE(CopyFile(dir + "src", dir + "dst", false));
    EXPECT_EQ(readFile(dir + "dst"), QByteArray("new"));
    EXPECT_TRUE(CopyFile(dir + "src", dir + "fresh", true));
    EXPECT_EQ(readFile(dir + "fresh"), QByteArray("new"));

    // A link as target: the file it points to gets the copy, the link stays a link.
    writeFile(dir + "real", "old");
    ASSERT_TRUE(QFile::link(dir + "real", dir + "link"));
    EXPECT_TRUE(CopyFile(dir + "src", dir + "link", false));
    EXPECT_TRUE(QFileInfo(dir + "link").isSymLink());
    EXPECT_EQ(readFile(dir + "real"), QByteArray("new"));

    // The file onto itself changes nothing.
    EXPECT_TRUE(CopyFile(dir + "src", dir + "src", false));
    EXPECT_EQ(readFile(dir + "src"), QByteArray("new"));
}

TEST(CopyFile, FailuresLeaveTheTargetAlone)
{
    const QString dir = kvtest::MakeTempFolder("fail");
    writeFile(dir + "src", "data");
    writeFile(dir + "dst", "keep");
    writeFile(dir + "plain");
    QDir().mkpath(dir + "folder");

    EXPECT_FALSE(CopyFile(dir + "missing", dir + "dst", false));
    EXPECT_FALSE(CopyFile(dir + "folder", dir + "dst", false));
    EXPECT_FALSE(CopyFile(dir + "src", dir + "folder", false));     // a folder is never replaced
    EXPECT_TRUE(DirectoryExists(dir + "folder"));
    EXPECT_FALSE(CopyFile(dir + "src", dir + "plain/sub", false));  // parent is a regular file
    EXPECT_FALSE(CopyFile(dir + "src", QString(), false));
    // A source that fails while it is read: the target keeps its content, no temporary remains.
    EXPECT_FALSE(CopyFile("/proc/self/mem", dir + "dst", false));
    EXPECT_EQ(readFile(dir + "dst"), QByteArray("keep"));
    EXPECT_EQ(readFile(dir + "plain"), QByteArray("x"));
    EXPECT_EQ(allEntries(dir), (QStringList{"dst", "folder", "plain", "src"}));
}

TEST(DeleteAndRename, Table)
{
    const QString dir = kvtest::MakeTempFolder("delete");
    writeFile(dir + "normal");
    writeFile(dir + "locked");
    ASSERT_EQ(FileSetAttr(dir + "locked", faReadOnly), 0);
    QDir().mkpath(dir + "folder");
    ASSERT_TRUE(QFile::link(dir + "gone", dir + "dangling"));

    EXPECT_TRUE(DeleteFile(dir + "normal"));
    EXPECT_FALSE(FileExists(dir + "normal"));
    EXPECT_FALSE(DeleteFile(dir + "locked"));  // read-only files stay
    EXPECT_TRUE(FileExists(dir + "locked"));
    EXPECT_FALSE(DeleteFile(dir + "folder"));
    EXPECT_TRUE(DeleteFile(dir + "dangling"));
    EXPECT_FALSE(DeleteFile(dir + "missing"));

    writeFile(dir + "a", "A");
    writeFile(dir + "b", "B");
    EXPECT_FALSE(RenameFile(dir + "a", dir + "b"));  // never over an existing file
    EXPECT_EQ(readFile(dir + "a"), QByteArray("A"));
    EXPECT_EQ(readFile(dir + "b"), QByteArray("B"));
    EXPECT_TRUE(RenameFile(dir + "a", dir + "c"));
    EXPECT_EQ(readFile(dir + "c"), QByteArray("A"));
    EXPECT_FALSE(FileExists(dir + "a"));
    EXPECT_TRUE(RenameFile(dir + "folder", dir + "renamed"));
    EXPECT_TRUE(DirectoryExists(dir + "renamed"));
    EXPECT_FALSE(RenameFile(dir + "missing", dir + "x"));
}
