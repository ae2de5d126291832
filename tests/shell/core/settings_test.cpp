#include "shell/core/Settings.h"

#include "platform/vcl/IniFiles.h"
#include "platform/vcl/StringList.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <functional>

namespace {

QString writeSettings(const QByteArray& bytes)
{
    const QString path = kvtest::MakeTempFolder("settings") + "Generator.ini";
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

// The "key=value" lines of a file, without section headers and blank lines.
QStringList keyLines(const QString& path)
{
    TStringList lines;
    lines.LoadFromFile(path);
    QStringList result;
    for (const QString& line : lines.List()) {
        const QString t = line.trimmed();
        if (!t.isEmpty() && !t.startsWith('['))
            result.append(t);
    }
    return result;
}

QStringList keysOf(const QStringList& lines)
{
    QStringList keys;
    for (const QString& l : lines)
        keys.append(l.section('=', 0, 0));
    return keys;
}

} // namespace

TEST(LoadSettings, NoFileAndNoKeysGiveTheDefaults)
{
    const TProgramSettings missing = LoadSettings(kvtest::MakeTempFolder("none") + "Generator.ini");
    const TProgramSettings empty = LoadSettings(writeSettings("[SETTINGS]\n"));
    for (const TProgramSettings& s : {missing, empty}) {
        EXPECT_EQ(s.DiashowTime, "");
        EXPECT_FALSE(s.EndlessPlay);
        EXPECT_TRUE(s.Fullscreen);
        EXPECT_TRUE(s.Manuell);
        EXPECT_FALSE(s.PictureTextVisible);
        EXPECT_FALSE(s.FileNameVisible);
        EXPECT_EQ(s.BKGColor, 0);
        EXPECT_EQ(s.TextColor, 0);
        EXPECT_EQ(s.EffectMode, TEffectMode::Off);
        EXPECT_TRUE(s.PrintPreview);
        EXPECT_EQ(s.EffectNumber, 1);
        EXPECT_EQ(s.TextOffset, 0);
        EXPECT_EQ(s.ArchiveDrive, "C");
        EXPECT_EQ(s, TProgramSettings());
    }
}

TEST(LoadSettings, KeysTable)
{
    using Check = std::function<bool(const TProgramSettings&)>;
    struct Case {
        const char* line;
        Check check;
    };
    const Case cases[] = {
        {"DefaultTime=2,5", [](auto& s) { return s.DiashowTime == "2,5"; }},
        // Booleans are upper-cased before the comparison.
        {"StopDiashowAtEnd=false", [](auto& s) { return s.EndlessPlay; }},
        {"StopDiashowAtEnd=TRUE", [](auto& s) { return !s.EndlessPlay; }},
        {"StopDiashowAtEnd=no", [](auto& s) { return !s.EndlessPlay; }},
        {"Fullscreen=False", [](auto& s) { return !s.Fullscreen; }},
        {"Fullscreen=0", [](auto& s) { return s.Fullscreen; }},
        {"Manuell=FALSE", [](auto& s) { return !s.Manuell; }},
        {"Manuell=true", [](auto& s) { return s.Manuell; }},
        {"PictureTextVisible=true", [](auto& s) { return s.PictureTextVisible; }},
        {"PictureTextVisible=1", [](auto& s) { return !s.PictureTextVisible; }},
        {"FileNameVisible=TRUE", [](auto& s) { return s.FileNameVisible; }},
        // EffectMode and PrintPreview are compared exactly.
        {"EffectMode=ON", [](auto& s) { return s.EffectMode == TEffectMode::On; }},
        {"EffectMode=on", [](auto& s) { return s.EffectMode == TEffectMode::None; }},
        {"EffectMode=RANDOM", [](auto& s) { return s.EffectMode == TEffectMode::Random; }},
        {"EffectMode=Random", [](auto& s) { return s.EffectMode == TEffectMode::None; }},
        {"EffectMode=OFF", [](auto& s) { return s.EffectMode == TEffectMode::Off; }},
        {"EffectMode=", [](auto& s) { return s.EffectMode == TEffectMode::None; }},
        {"PrintPreview=true", [](auto& s) { return !s.PrintPreview; }},
        {"PrintPreview=TRUE", [](auto& s) { return s.PrintPreview; }},
        {"PrintPreview=FALSE", [](auto& s) { return !s.PrintPreview; }},
        {"BKGColor=16777215", [](auto& s) { return s.BKGColor == 16777215; }},
        {"TextColor=0xFF", [](auto& s) { return s.TextColor == 255; }},
        {"TextColor=white", [](auto& s) { return s.TextColor == 0; }},
        {"Effect=42", [](auto& s) { return s.EffectNumber == 42; }},
        {"Effect=abc", [](auto& s) { return s.EffectNumber == 1; }},
        {"TextOffset=12", [](auto& s) { return s.TextOffset == 12; }},
        // The drive letter is upper-cased; a missing letter falls back to the home folder.
        {"Drive=d", [](auto& s) { return s.ArchiveDrive == "D"; }},
        {"Drive=E", [](auto& s) { return s.ArchiveDrive == "E"; }},
        {"Drive=", [](auto& s) { return s.ArchiveDrive == "C"; }},
    };
    for (const auto& c : cases) {
        const TProgramSettings s = LoadSettings(writeSettings(QByteArray("[SETTINGS]\n") + c.line + "\n"));
        EXPECT_TRUE(c.check(s)) << c.line;
    }
}

TEST(LoadSettings, SectionAndKeysIgnoreCase)
{
    const TProgramSettings s = LoadSettings(writeSettings("[settings]\ndrive=f\neffect=7\n"));
    EXPECT_EQ(s.ArchiveDrive, "F");
    EXPECT_EQ(s.EffectNumber, 7);
}

TEST(SaveSettings, NewFileHasEveryKeyButLanguageInOrder)
{
    const QString path = kvtest::MakeTempFolder("save") + "Generator.ini";
    TProgramSettings s;
    s.DiashowTime = "5";
    s.EndlessPlay = true;
    s.PictureTextVisible = true;
    s.TextColor = 16777215;
    s.EffectMode = TEffectMode::Random;
    s.EffectNumber = 17;
    s.TextOffset = 10;
    s.SourceFolder = "/home/user/Bilder/";
    s.ArchiveDrive = "D";
    SaveSettings(path, s);

    EXPECT_EQ(keyLines(path), QStringList({
                                  "DefaultTime=5",
                                  "StopDiashowAtEnd=FALSE",
                                  "Fullscreen=TRUE",
                                  "Manuell=TRUE",
                                  "PictureTextVisible=TRUE",
                                  "FileNameVisible=FALSE",
                                  "BKGColor=0",
                                  "TextColor=16777215",
                                  "EffectMode=RANDOM",
                                  "Effect=17",
                                  "TextOffset=10",
                                  "PrintPreview=TRUE",
                                  "SourcePicturesPath=/home/user/Bilder/",
                                  "Drive=D",
                              }));
}

TEST(SaveSettings, ManuellIsTrueOnlyWithFullScreen)
{
    struct Case {
        bool fullscreen;
        bool manuell;
        const char* written;
    };
    const Case cases[] = {
        {true, true, "TRUE"},
        {false, true, "FALSE"},
        {true, false, "FALSE"},
        {false, false, "FALSE"},
    };
    for (const auto& c : cases) {
        const QString path = kvtest::MakeTempFolder("manuell") + "Generator.ini";
        TProgramSettings s;
        s.Fullscreen = c.fullscreen;
        s.Manuell = c.manuell;
        SaveSettings(path, s);
        EXPECT_EQ(TIniFile(path).ReadString("SETTINGS", "Manuell", "?"), c.written)
            << "fullscreen " << c.fullscreen << " manuell " << c.manuell;
    }
}

TEST(SaveSettings, NoCheckedEffectButtonLeavesTheKeyAsItWas)
{
    const QString path = writeSettings("[SETTINGS]\nEffectMode=RANDOM\n");
    TProgramSettings s;
    s.EffectMode = TEffectMode::None;
    SaveSettings(path, s);
    EXPECT_EQ(TIniFile(path).ReadString("SETTINGS", "EffectMode", "?"), "RANDOM");

    const QString fresh = kvtest::MakeTempFolder("fresh") + "Generator.ini";
    SaveSettings(fresh, s);
    EXPECT_FALSE(keysOf(keyLines(fresh)).contains("EffectMode"));
}

TEST(SaveSettings, InstallerLanguageKeySurvivesAndIsNeverAdded)
{
    const QString path = writeSettings("[SETTINGS]\nLanguage=SWEDISH\nDrive=C\n");
    SaveSettings(path, LoadSettings(path));
    SaveSettings(path, LoadSettings(path));
    EXPECT_EQ(TIniFile(path).ReadString("SETTINGS", "Language", "?"), "SWEDISH");
    EXPECT_EQ(keysOf(keyLines(path)).count("Language"), 1);

    const QString fresh = kvtest::MakeTempFolder("fresh") + "Generator.ini";
    SaveSettings(fresh, TProgramSettings());
    EXPECT_FALSE(TIniFile(fresh).ValueExists("SETTINGS", "Language"));
}

TEST(SaveSettings, RoundTrip)
{
    const QString path = kvtest::MakeTempFolder("roundtrip") + "Generator.ini";
    TProgramSettings s;
    s.DiashowTime = "2,5";
    s.EndlessPlay = true;
    s.Fullscreen = true;
    s.Manuell = false;
    s.PictureTextVisible = true;
    s.FileNameVisible = true;
    s.BKGColor = 0x123456;
    s.TextColor = 0xFFFFFF;
    s.EffectMode = TEffectMode::On;
    s.PrintPreview = false;
    s.EffectNumber = 127;
    s.TextOffset = 750;
    s.ArchiveDrive = "D";
    s.SourceFolder = "/home/user/Bilder/";
    SaveSettings(path, s);
    const TProgramSettings loaded = LoadSettings(path);
    EXPECT_EQ(loaded, s);

    // Saving what was loaded changes nothing.
    const QStringList first = keyLines(path);
    SaveSettings(path, LoadSettings(path));
    EXPECT_EQ(keyLines(path), first);
}

TEST(SaveSettings, UnwritableTargetRaises)
{
    const QString folder = kvtest::MakeTempFolder("blocked");
    QFile f(folder + "file");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_THROW(SaveSettings(folder + "file/Generator.ini", TProgramSettings()), Exception);
}

TEST(EffectLine, FiveWordsInOrder)
{
    const TEffectLine e = ParseEffectLine("1005;2;5;1;3");
    EXPECT_EQ(e.PaintEffect, 1005);
    EXPECT_EQ(e.EffectDelay, 2);
    EXPECT_EQ(e.EffectGrain, 5);
    EXPECT_EQ(e.PaintMaxPasses, 1);
    EXPECT_EQ(e.WandSize, 3);
    EXPECT_EQ(EffectLineWord("1005;2;5;1;3", 5), 3);
    EXPECT_EQ(ParseEffectLine("2000;0;8;2;0;extra").PaintMaxPasses, 2);  // further words unused
}

TEST(EffectLine, BadOrMissingWordRaisesConvertError)
{
    for (const char* line : {"", "1005;2;5;1", "1005;;2;5;1", "1005;x;5;1;3", "1005;2;5;1;3.5",
                             "1005;2;5;1;3 ", "a;2;5;1;3", ";;;;"}) {
        EXPECT_THROW(ParseEffectLine(line), EConvertError) << '"' << line << '"';
    }
}

TEST(EffectLine, NumberBeyondTheListRaisesIndexError)
{
    TStringList list;
    list.Add("2000;1;5;1;0");
    list.Add("3000;2;6;1;0");
    EXPECT_EQ(EffectLineOf(list, 2).PaintEffect, 3000);
    EXPECT_EQ(EffectLineOf(list, 1).PaintEffect, 2000);
    EXPECT_THROW(EffectLineOf(list, 3), EStringListError);
    EXPECT_THROW(EffectLineOf(list, 0), EStringListError);
}

TEST(MarkerFile, WrittenEmptyTestedAndDeleted)
{
    const QString folder = kvtest::MakeTempFolder("marker");
    const QString marker = folder + "NoTip.ini";
    EXPECT_FALSE(MarkerFileExists(marker));
    EXPECT_TRUE(DeleteMarkerFile(marker));  // nothing to delete

    WriteMarkerFile(marker);
    EXPECT_TRUE(MarkerFileExists(marker));
    EXPECT_EQ(QFileInfo(marker).size(), 0);

    QFile f(marker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old contents");
    f.close();
    WriteMarkerFile(marker);
    EXPECT_EQ(QFileInfo(marker).size(), 0);

    EXPECT_TRUE(DeleteMarkerFile(marker));
    EXPECT_FALSE(MarkerFileExists(marker));
}

TEST(MarkerFile, FolderOfThatNameIsNoMarker)
{
    const QString folder = kvtest::MakeTempFolder("marker");
    QDir().mkpath(folder + "NoWer.ini");
    EXPECT_FALSE(MarkerFileExists(folder + "NoWer.ini"));
}

TEST(MarkerFile, UnwritableTargetRaises)
{
    const QString folder = kvtest::MakeTempFolder("marker");
    QFile f(folder + "file");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_THROW(WriteMarkerFile(folder + "file/NoTip.ini"), Exception);
}
