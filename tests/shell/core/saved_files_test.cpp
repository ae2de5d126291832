// Every file the program saves is replaced whole or not at all: on a full disk the old file
// stays and the save raises; each save replaces its file once.
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/TextCodec.h"
#include "shell/core/Archive.h"
#include "shell/core/Settings.h"
#include "support/FullDisk.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList Entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                               QDir::Name);
    names.removeAll("filler");
    return names;
}

TProgramSettings SomeSettings(const QString& time)
{
    TProgramSettings s;
    s.DiashowTime = time;
    s.BKGColor = 255;
    s.TextColor = 65280;
    s.EffectMode = TEffectMode::Random;
    s.SourceFolder = "/home/user/Bilder/";
    return s;
}

struct SavedFile {
    const char* name;
    QByteArray old;
    std::function<void(const QString& folder)> save;  // raises or returns false on failure
};

const SavedFile kSavedFiles[] = {
    {"Generator.ini", "[SETTINGS]\r\nLanguage=ENGLISH\r\nDefaultTime=3\r\n",
     [](const QString& f) { SaveSettings(f + "Generator.ini", SomeSettings("7")); }},
    {"Diashow.ini", "[DIASHOW]\r\nTitel=Urlaub\r\nTime=5\r\n",
     [](const QString& f) { WriteDiashowIni(f, {"Sommer", "4"}); }},
    {"Pictures.ini", "a.jpg | Strand\r\nb.jpg\r\n",
     [](const QString& f) { WritePicturesIni(f, {{"a.jpg", "Meer", true}, {"c.jpg", "", false}}); }},
    {"Language.ini", "[PLAYER]\r\n100001=Ende\r\n",
     [](const QString& f) {
         TIniFile ini(f + "Language.ini");
         ini.WriteString("PLAYER", "100001", "End");
     }},
    {"list.txt", "one\r\ntwo\r\n",
     [](const QString& f) {
         TStringList list;
         list.Add("three");
         list.SaveToFile(f + "list.txt");
     }},
    {"copy.jpg", "old picture",
     [](const QString& f) {
         if (!CopyFile(kvtest::TestRoot() + "/source.jpg", f + "copy.jpg", false))
             throw Exception("copy failed");
     }},
};

TEST(SavedFiles, AFullDiskLeavesEveryFileAsItWasAndRaises)
{
    Write(kvtest::TestRoot() + "/source.jpg", QByteArray(20000, 'p'));
    for (const SavedFile& file : kSavedFiles) {
        SCOPED_TRACE(file.name);
        kvtest::FullDisk disk;
        const QString path = disk.Folder() + file.name;
        Write(path, file.old);
        disk.Fill();
        EXPECT_THROW(file.save(disk.Folder()), Exception);
        disk.Release();
        EXPECT_EQ(Read(path), file.old);
        EXPECT_EQ(Entries(disk.Folder()), QStringList{file.name});
        // With room again the same save goes through.
        file.save(disk.Folder());
        EXPECT_NE(Read(path), file.old);
    }
}

TEST(SavedFiles, AWriteProtectedFileIsRefusedAlsoForRoot)
{
    const QString folder = kvtest::MakeTempFolder("protected");
    for (const SavedFile& file : kSavedFiles) {
        SCOPED_TRACE(file.name);
        const QString path = folder + file.name;
        Write(path, file.old);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (QByteArray(file.name) == "copy.jpg") {
            // A copy replaces its target as the user asked (the archive never copies over a
            // picture); only the text and settings files refuse.
            continue;
        }
        EXPECT_THROW(file.save(folder), Exception);
        EXPECT_EQ(Read(path), file.old);
    }
}

// The names replaced in folder while fn runs, one entry per replace (each safe write renames
// its temporary file over the target).
QStringList Replaces(const QString& folder, const std::function<void()>& fn)
{
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    EXPECT_GE(fd, 0);
    ::inotify_add_watch(fd, QFile::encodeName(folder).constData(), IN_MOVED_TO);
    fn();
    QStringList names;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            const QString name = event->len ? QString::fromUtf8(event->name) : QString();
            names << name;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    ::close(fd);
    return names;
}

TEST(SavedFiles, EachSaveReplacesItsFileOnce)
{
    // A program killed between two replaces would leave two settings sets mixed; with one
    // replace per save the file holds the old set or the new one.
    const QString folder = kvtest::MakeTempFolder("once");
    Write(folder + "Generator.ini", "[SETTINGS]\r\nLanguage=SWEDISH\r\n");
    SaveSettings(folder + "Generator.ini", SomeSettings("2"));
    EXPECT_EQ(Replaces(folder, [&] { SaveSettings(folder + "Generator.ini", SomeSettings("9")); }),
              QStringList{"Generator.ini"});
    const TProgramSettings read = LoadSettings(folder + "Generator.ini");
    EXPECT_EQ(read.DiashowTime, "9");
    EXPECT_EQ(read.TextColor, 65280);
    EXPECT_EQ(read.EffectMode, TEffectMode::Random);
    EXPECT_EQ(TIniFile(folder + "Generator.ini").ReadString("SETTINGS", "Language", ""), "SWEDISH");

    WriteDiashowIni(folder, {"Alt", "5"});
    EXPECT_EQ(Replaces(folder, [&] { WriteDiashowIni(folder, {"Neu", "8"}); }), QStringList{"Diashow.ini"});
}

TEST(SavedFiles, HeldIniWritesAreReadBackAndDroppedWithoutEndUpdate)
{
    const QString path = kvtest::MakeTempFolder("held") + "x.ini";
    Write(path, "[A]\r\nk=1\r\n");
    {
        TIniFile ini(path);
        ini.BeginUpdate();
        ini.WriteString("A", "k", "2");
        ini.WriteString("B", "n", "3");
        EXPECT_EQ(ini.ReadString("A", "k", ""), "2");
        EXPECT_EQ(ini.ReadString("b", "N", ""), "3");
        EXPECT_EQ(Read(path), "[A]\r\nk=1\r\n");
    }
    EXPECT_EQ(Read(path), "[A]\r\nk=1\r\n");
}

TEST(SavedFiles, ATextStartingWithTheMarkCharacterKeepsIt)
{
    const QString folder = kvtest::MakeTempFolder("bom");
    const QString name = QString(QChar(0xFEFF)) + "bild.jpg";
    WritePicturesIni(folder, {{name, "Text", true}, {"b.jpg", "", false}});
    const QList<TPictureLine> lines = ReadPicturesIni(folder);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].Name, name);
    EXPECT_TRUE(Read(folder + "Pictures.ini").startsWith("\xEF\xBB\xBF\xEF\xBB\xBF"));
    // Without that character no mark is written.
    WritePicturesIni(folder, {{"a.jpg", "", false}});
    EXPECT_EQ(Read(folder + "Pictures.ini"), "a.jpg\r\n");
}

} // namespace
