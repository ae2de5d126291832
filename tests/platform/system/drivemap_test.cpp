#include "platform/system/DriveMap.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"

#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QString folder(const char* name) { return QDir::cleanPath(kvtest::MakeTempFolder(name)); }

QString mountLine(const QString& point, const char* type = "ext4", const char* options = "rw")
{
    QString escaped = point;
    escaped.replace(' ', "\\040");
    return QStringLiteral("/dev/sdx1 %1 %2 %3,relatime 0 0\n").arg(escaped, type, options);
}

class DriveMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        programFolder = kvtest::MakeTempFolder("prog");
        SetProgramFolder(programFolder);
        stick = folder("STICK");
        card = folder("My Card");
        disk = folder("disk");
    }
    void TearDown() override
    {
        ClearDriveMapOverrides();
        SetFolderGuard({});
        SetProgramFolder(savedFolder);
    }
    QString stored(const QString& letter) const
    {
        TIniFile ini(programFolder + "Generator.ini");
        return ini.ReadString("DRIVES", letter, "<none>");
    }
    void writeStored(const QString& key, const QString& value)
    {
        TIniFile ini(programFolder + "Generator.ini");
        ini.WriteString("DRIVES", key, value);
    }

    const QString savedFolder = ProgramFolder();
    QString programFolder, stick, card, disk;
};

} // namespace

TEST_F(DriveMapTest, OnlyWritableRealVolumesGetLetters)
{
    const QString home = QDir::cleanPath(QDir::homePath());
    SetMountTableOverride("proc /proc proc rw,nosuid 0 0\n"
                          "/dev/vda / ext4 rw 0 0\n"
                          "overlay / overlay rw,lowerdir=/x 0 0\n"
                          + mountLine("/boot") + mountLine("/boot/efi", "vfat")
                          + mountLine(stick, "vfat")
                          + mountLine(disk, "ext4", "ro")
                          + mountLine(folder("tmp"), "tmpfs")
                          + mountLine(folder("snap"), "squashfs")
                          + mountLine(home) + mountLine("/home")
                          + mountLine("/run/user/0", "fuse.gvfsd-fuse")
                          + mountLine(card, "exfat")
                          + mountLine(stick, "vfat"));  // mounted twice: one drive
    InitDriveMap();
    EXPECT_EQ(DriveLetters(), (QList<QChar>{'C', 'D', 'E'}));
    EXPECT_EQ(DriveRoot('C'), home + "/");
    EXPECT_EQ(DriveRoot('D'), stick + "/");
    EXPECT_EQ(DriveRoot('e'), card + "/");  // the escaped blank is read back
    EXPECT_EQ(DriveRoot('F'), QString());
    EXPECT_EQ(stored("D"), stick);
    EXPECT_EQ(stored("E"), card);
    EXPECT_TRUE(DriveReady('C'));
    EXPECT_TRUE(DriveReady('D'));
    EXPECT_FALSE(DriveReady('F'));
}

TEST_F(DriveMapTest, LettersSurviveAReloadAndAbsentVolumes)
{
    SetMountTableOverride(mountLine(stick) + mountLine(card));
    InitDriveMap();
    ASSERT_EQ(DriveRoot('D'), stick + "/");
    ASSERT_EQ(DriveRoot('E'), card + "/");

    // Next run: the stick is away, a new disk has come.
    SetMountTableOverride(mountLine(disk) + mountLine(card));
    SetFreeSpaceOverride(card, 123456789);
    SetFreeSpaceOverride(stick, 999);
    InitDriveMap();
    EXPECT_EQ(DriveLetters(), (QList<QChar>{'C', 'D', 'E', 'F'}));
    EXPECT_EQ(DriveRoot('D'), stick + "/");
    EXPECT_EQ(DriveRoot('F'), disk + "/");
    EXPECT_FALSE(DriveReady('D'));
    EXPECT_EQ(DriveFreeSpace('D'), 0);
    EXPECT_EQ(DriveFreeSpace('E'), 123456789);
    EXPECT_GT(DriveFreeSpace('F'), 0);  // the real figure of its folder
    EXPECT_GT(DriveFreeSpace('C'), 0);
    EXPECT_EQ(DriveFreeSpace('Q'), 0);

    // The stick's mount point folder is still there, but nothing may be made in it.
    EXPECT_FALSE(ForceDirectories(stick + "/Korvanta/del"));
    EXPECT_FALSE(CreateDir(stick + "/Korvanta"));
    EXPECT_FALSE(DirectoryExists(stick + "/Korvanta"));
    try {
        ForceDirectoriesOrRaise(stick + "/Korvanta");
        ADD_FAILURE() << "a folder was made on an absent volume";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains("drive D:")) << e.Message().toStdString();
    }
    EXPECT_TRUE(ForceDirectories(card + "/Korvanta/del"));
    EXPECT_TRUE(ForceDirectories(QDir::homePath() + "/Korvanta"));

    // Back again: the same letter, folders can be made.
    SetMountTableOverride(mountLine(stick));
    EXPECT_TRUE(DriveReady('D'));
    EXPECT_TRUE(ForceDirectories(stick + "/Korvanta"));
}

TEST_F(DriveMapTest, StoredLettersAreKeptAndJunkIgnored)
{
    writeStored("D", "/media/user/OLD");
    writeStored("C", stick);     // C is always the home folder
    writeStored("DD", stick);
    writeStored("G", "relative/path");
    writeStored("h", disk);
    writeStored("I", disk);      // a folder with a letter already
    SetMountTableOverride(mountLine(stick) + mountLine(disk));
    InitDriveMap();
    EXPECT_EQ(DriveLetters(), (QList<QChar>{'C', 'D', 'E', 'H'}));
    EXPECT_EQ(DriveRoot('D'), "/media/user/OLD/");
    EXPECT_EQ(DriveRoot('E'), stick + "/");  // the first free letter
    EXPECT_EQ(DriveRoot('H'), disk + "/");
    EXPECT_EQ(DriveRoot('C'), QDir::cleanPath(QDir::homePath()) + "/");
    EXPECT_EQ(stored("E"), stick);
}

TEST_F(DriveMapTest, ResolvingTheDriveSetting)
{
    SetMountTableOverride(mountLine(stick));
    InitDriveMap();
    struct Case {
        const char* value;
        QChar letter;  // 0: an error naming `named`
        const char* named;
    };
    const Case cases[] = {
        {"", 'C', ""},       {"  ", 'C', ""},      {"C", 'C', ""},     {"c", 'C', ""},
        {"D", 'D', ""},      {"d", 'D', ""},       {"D:\\", 'D', ""},  {"D:", 'D', ""},
        {"Q", QChar(), "\"Q\""}, {"q:\\", QChar(), "\"Q\""}, {"Data", QChar(), "\"Data\""},
        {"/media", QChar(), "\"/media\""},
    };
    for (const Case& c : cases) {
        if (!c.letter.isNull()) {
            EXPECT_EQ(ResolveDrive(c.value), c.letter) << c.value;
            continue;
        }
        try {
            ResolveDrive(c.value);
            ADD_FAILURE() << "no error for " << c.value;
        } catch (const EDriveError& e) {
            EXPECT_TRUE(e.Message().contains(c.named)) << e.Message().toStdString();
        }
    }
}

TEST_F(DriveMapTest, AVolumeSeenLaterGetsTheNextLetter)
{
    SetMountTableOverride(mountLine(stick));
    InitDriveMap();
    SetMountTableOverride(mountLine(stick) + mountLine(card));
    EXPECT_EQ(ResolveDrive("E"), QChar('E'));  // seen while resolving
    EXPECT_EQ(stored("E"), card);
}

TEST_F(DriveMapTest, UnwritableProgramFolderKeepsLettersForTheRun)
{
    // Generator.ini cannot be written: its folder lies below a regular file.
    QFile blocker(programFolder + "blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetProgramFolder(programFolder + "blocker");
    SetMountTableOverride(mountLine(card));
    EXPECT_NO_THROW(InitDriveMap());
    EXPECT_EQ(DriveRoot('D'), card + "/");
    EXPECT_TRUE(DriveReady('D'));
}
