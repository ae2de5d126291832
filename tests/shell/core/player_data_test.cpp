// What the player reads beside it: its settings, the seconds per picture, the slideshows it
// plays and their audio titles.
#include "platform/vcl/IniFiles.h"
#include "shell/core/PlayerData.h"

#include <QDateTime>
#include <map>
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

void Show(const QString& root, const QString& name, const QByteArray& time = "5")
{
    Write(root + name + "/Diashow.ini", "[DIASHOW]\r\nTitel=" + name.toUtf8() + "\r\nTime=" + time + "\r\n");
    Write(root + name + "/Pictures.ini", "");
}

void SetTime(const QString& path, const QDateTime& time)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
}

TEST(PlayerSettings, WrittenKeysAndTheirReading)
{
    struct Case {
        const char* what;
        TPlayerSettings settings;
        std::map<QString, QString> keys;
    };
    TPlayerSettings manualWindow;
    manualWindow.Fullscreen = false;
    manualWindow.Manuell = true;
    TPlayerSettings manualFull;
    manualFull.Manuell = true;
    manualFull.StopDiashowAtEnd = false;
    TPlayerSettings colours;
    colours.BKGColor = 0x123456;
    colours.TextColor = 255;
    colours.TextOffset = 40;
    colours.EffectMode = TEffectMode::Random;
    colours.Effect = 17;
    colours.PictureTextVisible = false;
    colours.FileNameVisible = true;
    TPlayerSettings on;
    on.EffectMode = TEffectMode::On;
    const Case cases[] = {
        {"manual needs full screen", manualWindow, {{"Fullscreen", "FALSE"}, {"Manuell", "FALSE"}}},
        {"manual and endless", manualFull,
         {{"Fullscreen", "TRUE"}, {"Manuell", "TRUE"}, {"StopDiashowAtEnd", "FALSE"}}},
        {"colours, offset, random effect", colours,
         {{"BKGColor", "1193046"}, {"TextColor", "255"}, {"TextOffset", "40"}, {"EffectMode", "RANDOM"},
          {"Effect", "17"}, {"PictureTextVisible", "FALSE"}, {"FileNameVisible", "TRUE"}}},
        {"effect on", on, {{"EffectMode", "ON"}, {"StopDiashowAtEnd", "TRUE"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString file = dir.filePath("Settings.ini");
        Write(file, "[SETTINGS]\r\nOther=kept\r\n");
        WritePlayerSettings(file, c.settings);
        const TIniFile ini(file);
        for (const auto& [key, value] : c.keys)
            EXPECT_EQ(ini.ReadString("SETTINGS", key, "<none>"), value) << key.toStdString();
        EXPECT_EQ(ini.ReadString("SETTINGS", "Other", ""), "kept");
        TPlayerSettings expected = c.settings;
        expected.Manuell = expected.Fullscreen && expected.Manuell;
        EXPECT_EQ(ReadPlayerSettings(file), expected);
    }
}

TEST(PlayerSettings, ReadingOddValues)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Settings.ini");
    Write(file, "[SETTINGS]\nFullscreen=false\nManuell=TRUE\nEffectMode=on\nBKGColor=x\nTextColor=0x0000FF\n");
    const TPlayerSettings s = ReadPlayerSettings(file);
    EXPECT_FALSE(s.Fullscreen);
    EXPECT_FALSE(s.Manuell) << "manual stepping only with full screen";
    EXPECT_EQ(s.EffectMode, TEffectMode::Off) << "the effect mode is compared exactly";
    EXPECT_EQ(s.BKGColor, 0);
    EXPECT_EQ(s.TextColor, 255);
    EXPECT_EQ(ReadPlayerSettings(dir.filePath("missing.ini")), TPlayerSettings{});
}

TEST(PlayerData, SecondsPerPicture)
{
    const std::pair<const char*, double> cases[] = {
        {"2,5", 2.5}, {"2.5", 2.5}, {" 3 ", 3}, {"x", 5}, {"", 5}, {"0", 5}, {"-1", 5}, {"0,2", 0.2},
    };
    for (const auto& [typed, seconds] : cases)
        EXPECT_DOUBLE_EQ(DiashowSeconds(typed), seconds) << typed;
}

TEST(PlayerData, SlideshowsTestShowAndPlayList)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    for (const char* name : {"Archive_0010", "Archive_0002", "Archive_0003"})
        Show(root, name);
    Show(root, "del");
    Show(root, "Archive_0004.old");
    Show(root, "Sonstiges");
    QDir().mkpath(root + "Archive_0005");  // no Diashow.ini
    // Every folder the archive lists, whatever its name.
    EXPECT_EQ(PlayerSlideshows(root), QStringList({"Archive_0002", "Archive_0003", "Archive_0010", "Sonstiges"}));

    // TEST: the slideshow whose Diashow.ini or Pictures.ini was written last.
    const QDateTime base = QDateTime::currentDateTime().addSecs(-100);
    for (const char* name : {"Archive_0010", "Archive_0002", "Archive_0003", "Sonstiges"}) {
        SetTime(root + name + "/Diashow.ini", base);
        SetTime(root + name + "/Pictures.ini", base);
    }
    SetTime(root + "Archive_0003/Pictures.ini", base.addSecs(50));
    EXPECT_EQ(LastWrittenSlideshow(root), "Archive_0003");
    SetTime(root + "Archive_0002/Diashow.ini", base.addSecs(60));
    EXPECT_EQ(LastWrittenSlideshow(root), "Archive_0002");
    SetTime(root + "del/Diashow.ini", base.addSecs(90));
    EXPECT_EQ(LastWrittenSlideshow(root), "Archive_0002") << "the template is never played";

    // No play list: every slideshow in name order.
    EXPECT_EQ(PlayerPlayList(root), QStringList({"Archive_0002", "Archive_0003", "Archive_0010", "Sonstiges"}));
    Write(root + "intro.ply", "[INTRO]\r\nDiashow=Archive_0010\r\n");
    Write(root + "play.ply", "[PLAYLIST]\r\nDiashow2=Archive_0002\r\nDiashow10=del\r\nDiashow1=Archive_0003\r\n"
                             "Diashow3=Archive_0099\r\n");
    EXPECT_EQ(PlayerPlayList(root), QStringList({"Archive_0010", "Archive_0003", "Archive_0002"}));
}

TEST(PlayerData, ShowWithPicturesTextsAndMusic)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/Archive_0001/";
    Show(dir.path() + "/", "Archive_0001", "2,5");
    Write(folder + "Pictures.ini", "a.jpg | Am Meer\r\ngone.jpg | fehlt\r\nb.jpg\r\n");
    for (const char* name : {"a.jpg", "b.jpg", "Audio002.mp3", "Audio001.WAV", "Audio1.mp3", "Audio003.ogg", "x.mp3"})
        Write(folder + name, "x");
    const TShow show = ReadShow(folder);
    EXPECT_EQ(show.Title, "Archive_0001");
    EXPECT_DOUBLE_EQ(show.Seconds, 2.5);
    ASSERT_EQ(show.Pictures.size(), 2);
    EXPECT_EQ(show.Pictures[0].Path, folder + "a.jpg");
    EXPECT_EQ(show.Pictures[0].Text, "Am Meer");
    EXPECT_EQ(show.Pictures[1].Name, "b.jpg");
    EXPECT_EQ(show.Pictures[1].Text, "");
    EXPECT_EQ(show.AudioTitles, QStringList({folder + "Audio001.WAV", folder + "Audio002.mp3"}));
}

TEST(PlayerData, ProgramNames)
{
    EXPECT_EQ(PlayerProgramName("GERMAN"), "Diashow-Player");
    EXPECT_EQ(PlayerProgramName("SWEDISH"), "Slideshow-Player");
    EXPECT_EQ(ScreensaverProgramName("GERMAN"), "Diashow.scr");
    EXPECT_EQ(ScreensaverProgramName("ENGLISH"), "Slideshow.scr");
    EXPECT_EQ(ScreensaverFolderOf("Diashow.scr"), "Diashow_Screensaver/");
    EXPECT_EQ(ScreensaverFolderOf("Slideshow.scr"), "Slideshow_Screensaver/");
    EXPECT_EQ(ScreensaverFolderOf("Diashow-Player"), "");
}

} // namespace
