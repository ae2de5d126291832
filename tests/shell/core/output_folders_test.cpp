// Export folders, the screensaver files, the xscreensaver entry and the import.
#include "platform/vcl/IniFiles.h"
#include "shell/core/Archive.h"
#include "shell/core/OutputFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList Files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStringList Folders(const QString& folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

// An archive root with the player kit and two slideshows.
QString MakeArchive(const QString& root)
{
    for (const char* name : {"Diashow-Player", "Settings.ini", "Language.ini", "play.ply"})
        Write(root + name, name);
    Write(root + "Settings.ini", "[SETTINGS]\r\nFullscreen=FALSE\r\nTextColor=255\r\n");
    for (const char* show : {"Archive_0001", "Archive_0002"}) {
        const QString f = root + show + "/";
        for (const char* name : {"a.jpg", "B.JPG", "_THUMB_a.jpg", "Diashow.ini", "Pictures.ini", "Audio001.mp3"})
            Write(f + name, QByteArray(show) + name);
    }
    return root;
}

TEST(ExportFolders, PhotoLabAndCdRom)
{
    QTemporaryDir dir;
    const QString root = MakeArchive(dir.path() + "/Korvanta/");
    const QString lab = dir.path() + "/lab/";
    QDir().mkpath(lab);
    int steps = 0;
    ExportSlideshows(root, lab, {"Archive_0002"}, 1, [&](int done, int total) {
        ++steps;
        EXPECT_EQ(total, 1);
    });
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(Files(lab), QStringList()) << "the photo lab gets no root files";
    EXPECT_EQ(Folders(lab), QStringList({"Archive_0002"}));
    EXPECT_EQ(Files(lab + "Archive_0002"), QStringList({"B.JPG", "a.jpg"}));

    const QString cd = dir.path() + "/cd/";
    QDir().mkpath(cd);
    ExportSlideshows(root, cd, {"Archive_0001", "Archive_0002"}, 0);
    EXPECT_EQ(Files(cd), Files(root));
    EXPECT_EQ(Read(cd + "Diashow-Player"), "Diashow-Player");
    for (const char* show : {"Archive_0001", "Archive_0002"})
        EXPECT_EQ(Files(cd + show), Files(root + show));
}

TEST(ScreensaverFiles, PlayerCopiesAndFullScreen)
{
    QTemporaryDir dir;
    TScreensaverInstall in;
    in.ArchiveRoot = MakeArchive(dir.path() + "/Korvanta/");
    in.ScreensaverFolder = dir.path() + "/docs/Diashow_Screensaver/";
    QDir().mkpath(in.ScreensaverFolder);
    in.SystemRoot = dir.path() + "/data/korvanta/";
    in.PlayerName = "Diashow-Player";
    in.ScreensaverName = "Diashow.scr";
    in.Folders = {"Archive_0001"};
    const QString installed = InstallScreensaverFiles(in);
    EXPECT_EQ(installed, in.SystemRoot + "system/Diashow.scr");
    for (const char* sub : {"system/", "system32/"})
        EXPECT_EQ(Read(in.SystemRoot + sub + "Diashow.scr"), "Diashow-Player") << sub;
    EXPECT_EQ(Folders(in.ScreensaverFolder), QStringList({"Archive_0001"}));
    EXPECT_EQ(Files(in.ScreensaverFolder + "Archive_0001"), Files(in.ArchiveRoot + "Archive_0001"));
    const TIniFile settings(in.ScreensaverFolder + "Settings.ini");
    EXPECT_EQ(settings.ReadString("SETTINGS", "Fullscreen", ""), "TRUE");
    EXPECT_EQ(settings.ReadString("SETTINGS", "TextColor", ""), "255");
    EXPECT_EQ(TIniFile(in.ArchiveRoot + "Settings.ini").ReadString("SETTINGS", "Fullscreen", ""), "FALSE")
        << "the root's settings stay";
}

TEST(ScreensaverFiles, XScreensaverProgramsEntry)
{
    const QString cmd = "/home/a b/.local/share/korvanta/system/Diashow.scr";
    const QByteArray entry = "  \"Korvanta Diashow\"  '/home/a b/.local/share/korvanta/system/Diashow.scr' -root";
    struct Case {
        const char* what;
        QByteArray before;
        QByteArray after;
    };
    const QByteArray head = "# XScreenSaver Preferences File\nmode:\t\trandom\ntimeout:\t0:10:00\n";
    const QByteArray programs = "programs:\t\t\t\t\t\t\t      \\\n"
                                "\t\t\t\t maze -root\t\t\t\t    \\n\\\n"
                                "- GL: \t\t\t\t superquadrics -root\t\t\t    \\n\\\n"
                                "\t\t\t\t xmatrix -root\t\t\t\t    \\n\n";
    const QByteArray tail = "\n\npointerPollTime:\t0:00:05\n";
    const Case cases[] = {
        {"added first, the rest kept", head + programs + tail,
         head + "programs:\t\t\t\t\t\t\t      \\\n" + entry + "\\n\\\n" + programs.mid(programs.indexOf('\n') + 1) + tail},
        {"no programs resource", head, head + "programs:\t\\\n" + entry + "\\n\n"},
        {"empty programs value", head + "programs:\n" + tail, head + "programs:\t\\\n" + entry + "\\n\n" + tail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray once = RegisterXScreensaverProgram(c.before, "Korvanta Diashow", cmd);
        EXPECT_EQ(once, c.after);
        EXPECT_EQ(RegisterXScreensaverProgram(once, "Korvanta Diashow", cmd), once) << "registered once";
    }
    // An entry of ours that was last: replaced, the entry before it ends the list again.
    const QByteArray lastOurs = head + "programs:\t\\\n  maze -root \\n\\\n" + entry + "\\n\n" + tail;
    EXPECT_EQ(RegisterXScreensaverProgram(lastOurs, "Korvanta Diashow", cmd),
              head + "programs:\t\\\n" + entry + "\\n\\\n  maze -root \\n\n" + tail);
}

TEST(Import, NumbersBySourceAndNeverOverwritesOtherSlideshows)
{
    QTemporaryDir dir;
    const QString source = dir.path() + "/diashow/";
    const QString root = dir.path() + "/Korvanta/";
    for (const char* name : {"Archive_0001", "Archive_0002"})
        Write(root + name + "/Diashow.ini", "[DIASHOW]\r\nTitel=x\r\n");
    Write(source + "Diashow_3/a.jpg", "3a");
    Write(source + "Diashow_3/.hidden", "dot");
    Write(source + "Diashow_7/b.jpg", "7b");
    Write(source + "Diashow_7/Diashow.ini", "[DIASHOW]\r\nTitel=Sieben\r\n");
    Write(source + "Fotos/c.jpg", "not a slideshow");

    EXPECT_EQ(ImportOldSlideshows(source, root), QStringList({"Archive_1001", "Archive_1002"}));
    EXPECT_EQ(Files(root + "Archive_1001"), QStringList({"a.jpg"})) << "dot entries are skipped";
    EXPECT_EQ(Read(root + "Archive_1002/b.jpg"), "7b");

    // The user makes a slideshow (the next free number), a new old slideshow appears, the
    // imported ones change at their source.
    EXPECT_EQ(NextArchiveName(root), "Archive_1003");
    Write(root + "Archive_1003/Diashow.ini", "[DIASHOW]\r\nTitel=Mine\r\n");
    Write(root + "Archive_1003/mine.jpg", "mine");
    Write(source + "Diashow_9/d.jpg", "9d");
    Write(source + "Diashow_3/a.jpg", "3a new");

    EXPECT_EQ(ImportOldSlideshows(source, root), QStringList({"Archive_1001", "Archive_1002", "Archive_1004"}));
    EXPECT_EQ(Read(root + "Archive_1001/a.jpg"), "3a new");
    EXPECT_EQ(Read(root + "Archive_1004/d.jpg"), "9d");
    EXPECT_EQ(Files(root + "Archive_1003"), QStringList({"Diashow.ini", "mine.jpg"}));
    EXPECT_EQ(Read(root + "Archive_1003/Diashow.ini"), "[DIASHOW]\r\nTitel=Mine\r\n");
}

} // namespace
