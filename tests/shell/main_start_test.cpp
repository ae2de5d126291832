// The main window's start: the archive on drive C with its samples, the player kit and the
// player's texts, the work folders, the desktop link, the window as it first shows, and the
// starts that stop early.
#include "MainWindowTestSupport.h"

#include "platform/system/ShellFolders.h"
#include "platform/vcl/IniFiles.h"
#include "shell/core/Language.h"

#include <QFileInfo>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::FilesIn;
using kvtest::ProgramFixture;
using kvtest::ReadFile;
using kvtest::Start;
using kvtest::VisibleTabs;
using kvtest::WriteFile;

const QString kTune = "Bumble Bee - Tessmark.mp3";

struct LanguageCase {
    const char* Language;
    const char* Archive;      // below drive C
    const char* Video;
    const char* Screensaver;  // below the documents
    const char* Player;       // in the archive root, and the desktop link's name
    const char* OtherPlayer;
    const char* Autorun;      // the kit file that becomes Autorun.inf
};

const LanguageCase kLanguages[] = {
    {"GERMAN", "Korvanta/", "DVD-Diashow/", "Diashow_Screensaver/", "Diashow-Player", "Slideshow-Player",
     "Autorun.inf"},
    {"ENGLISH", "Korvanta/", "DVD-Slideshow/", "Slideshow_Screensaver/", "Slideshow-Player", "Diashow-Player",
     "Slideshow-Autorun.inf"},
    {"SWEDISH", "Korvanta/", "DVD-Slideshow/", "Slideshow_Screensaver/", "Slideshow-Player", "Diashow-Player",
     "Slideshow-Autorun.inf"},
};

class StartByLanguage : public ::testing::TestWithParam<LanguageCase> {};

} // namespace

TEST_P(StartByLanguage, FirstStartMakesTheArchiveWithSamplesKitAndPlayerTexts)
{
    const LanguageCase& c = GetParam();
    ProgramFixture program(c.Language);
    ASSERT_TRUE(program.Ready());
    program.InstallPlayer();
    WriteFile(program.Desktop + "Diashow-Player.exe", "an old player");
    ASSERT_TRUE(Start());
    const TMainForm& main = *MainForm;

    const QString root = program.Home + c.Archive;
    EXPECT_EQ(main.ArchiveRoot, root);
    EXPECT_EQ(main.VideoFolder, program.Home + c.Video);
    EXPECT_EQ(main.EncoderFolder, program.Home + c.Video + "encoder/");
    EXPECT_EQ(main.ExportFolder, program.Home + "CDROM-Export/");
    EXPECT_EQ(main.ScreensaverFolder, program.Documents + c.Screensaver);
    EXPECT_EQ(main.MyDocumentsFolder, program.Documents);
    EXPECT_EQ(main.TempPicFolder, program.Folder + "temppic/");

    // The samples, each with the tune.
    for (const QString sample : {"Archive_0001/", "Archive_0002/"}) {
        SCOPED_TRACE(sample.toStdString());
        const QString shipped = program.Folder + "diashow/" + sample;
        QStringList expected = FilesIn(shipped);
        expected.append(kTune);
        expected.sort();
        EXPECT_EQ(FilesIn(root + sample), expected);
        EXPECT_EQ(ReadFile(root + sample + "Diashow.ini"), ReadFile(shipped + "Diashow.ini"));
        EXPECT_EQ(ReadFile(root + sample + kTune), ReadFile(program.Folder + kTune));
        EXPECT_FALSE(ReadFile(root + sample + kTune).isEmpty());
    }
    EXPECT_EQ(TIniFile(root + "del/Diashow.ini").ReadString("DIASHOW", "Titel", ""), "SPECIALDUMMY");
    EXPECT_TRUE(QFileInfo(root + "del/Pictures.ini").isFile());
    EXPECT_EQ(QFileInfo(root + "del/Pictures.ini").size(), 0);

    // The player kit under the language's names.
    EXPECT_EQ(ReadFile(root + "Autorun.inf"), ReadFile(program.Folder + "diashow/" + c.Autorun));
    EXPECT_EQ(ReadFile(root + c.Player), ReadFile(program.Folder + "diashow/Diashow-Player"));
    EXPECT_TRUE(QFileInfo(root + c.Player).isExecutable());
    EXPECT_FALSE(QFileInfo::exists(root + c.OtherPlayer));
    for (const char* name : {"play.ply", "intro.ply", "Settings.ini"})
        EXPECT_EQ(ReadFile(root + name), ReadFile(program.Folder + "diashow/" + name)) << name;
    EXPECT_EQ(ReadFile(root + "Effects.ini"), ReadFile(program.Folder + "Effects.ini"));
    const TIniFile texts(root + "Language.ini");
    for (int n = 100001; n <= 100004; ++n) {
        EXPECT_FALSE(GetLangText(n).isEmpty()) << n;
        EXPECT_EQ(texts.ReadString("PLAYER", QString::number(n), ""), GetLangText(n)) << n;
    }

    // The work folders, and the encoder files in the video folder.
    for (const QString& folder : {program.Folder + "thumbs", program.Folder + "temppic", program.Folder + "gallery",
                                 main.EncoderFolder})
        EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
    EXPECT_EQ(FilesIn(main.EncoderFolder), FilesIn(program.Folder + "encoder/"));
    EXPECT_FALSE(FilesIn(main.EncoderFolder).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(main.ExportFolder));

    // The desktop: the link under the language's name, the old player gone.
    EXPECT_EQ(FilesIn(program.Desktop), QStringList{QString(c.Player) + ".desktop"});

    // The window: the archive tab alone, the two samples listed, the first selected.
    EXPECT_EQ(kvtest::Lines(*main.ui()->OpenListBox), (QStringList{"Archive_0001 Panorama", "Archive_0002 Aurora"}));
    EXPECT_EQ(main.ui()->OpenListBox->ItemIndex(), 0);
    EXPECT_EQ(VisibleTabs(), QStringList{"TabSheet5"});
    EXPECT_EQ(main.ui()->PageControl1->currentIndex(), 0);
    EXPECT_TRUE(main.windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(main.ui()->PicProgressBar->isHidden());
    EXPECT_EQ(main.windowTitle(), ProductInfo.ProductName + " " + ProductInfo.EditionText);
    EXPECT_EQ(main.VideoFrameRate, 25);
    EXPECT_EQ(main.TransitionFrames, 12);
    EXPECT_TRUE(main.DiashowFolder.isEmpty());
    ASSERT_NE(main.DiashowListBox, nullptr);
    EXPECT_EQ(main.DiashowListBox->parentWidget(), main.ui()->ListBoxPanel);
    EXPECT_TRUE(main.EffectList && main.EffectList->Count() == 127);
    EXPECT_EQ(main.ui()->SpinEdit1->maximum(), 127);
    EXPECT_TRUE(main.WorkList1 && main.WorkList2);
    EndProgram();
}

INSTANTIATE_TEST_SUITE_P(Languages, StartByLanguage, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return std::string(info.param.Language); });

TEST(Start, SecondStartKeepsTheSamplesAndRenewsTemplateKitEncoderAndLink)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    program.InstallPlayer();
    ASSERT_TRUE(Start());
    const QString root = MainForm->ArchiveRoot;
    const QString encoder = MainForm->EncoderFolder;
    EndProgram();

    // The user's changes to a sample, and changes to what the program owns.
    WriteFile(root + "Archive_0001/Diashow.ini", "[DIASHOW]\r\nTitel=Meine Berge\r\nTime=3\r\n");
    ASSERT_TRUE(QFile::remove(root + "Archive_0002/Alba.jpg"));
    const QStringList owned = {root + "del/Diashow.ini", root + "play.ply", root + "Settings.ini", root + "Autorun.inf",
                               root + "Slideshow-Player", root + "Effects.ini", encoder + "ReadMe.txt",
                               program.Desktop + "Slideshow-Player.desktop"};
    QList<QByteArray> before;
    for (const QString& file : owned) {
        before.push_back(ReadFile(file));
        WriteFile(file, "changed by the user");
    }
    TIniFile(root + "Language.ini").WriteString("PLAYER", "100001", "changed");

    ASSERT_TRUE(Start());
    EXPECT_EQ(TIniFile(root + "Archive_0001/Diashow.ini").ReadString("DIASHOW", "Titel", ""), "Meine Berge");
    EXPECT_FALSE(QFileInfo::exists(root + "Archive_0002/Alba.jpg"));
    for (qsizetype i = 0; i < owned.size(); ++i)
        EXPECT_EQ(ReadFile(owned[i]), before[i]) << owned[i].toStdString();
    EXPECT_EQ(TIniFile(root + "Language.ini").ReadString("PLAYER", "100001", ""), GetLangText(100001));
    EXPECT_EQ(kvtest::Lines(*MainForm->ui()->OpenListBox),
              (QStringList{"Archive_0001 Meine Berge", "Archive_0002 Aurora"}));
    EndProgram();
}

TEST(Start, AnArchiveRootThatExistsGetsNoSamples)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(QDir().mkpath(program.ArchiveRoot()));
    ASSERT_TRUE(Start());
    EXPECT_EQ(QDir(program.ArchiveRoot()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(MainForm->ui()->OpenListBox->Count(), 0);
    EXPECT_EQ(MainForm->ui()->OpenListBox->ItemIndex(), -1);
    EXPECT_TRUE(QFileInfo(program.ArchiveRoot() + "Settings.ini").isFile());
    EndProgram();
}

TEST(Start, NoDesktopLinkWithoutADesktopFolderOrWithoutThePlayer)
{
    {
        // No player in the kit.
        ProgramFixture program("GERMAN");
        ASSERT_TRUE(program.Ready());
        QFile::remove(program.Folder + "diashow/Diashow-Player");
        ASSERT_TRUE(Start());
        EXPECT_EQ(FilesIn(program.Desktop), QStringList());
        EXPECT_FALSE(QFileInfo::exists(program.ArchiveRoot() + "Diashow-Player"));
        EndProgram();
    }
    {
        // The desktop folder named in user-dirs.dirs does not exist: no link anywhere, and
        // the home folder that stands in for it is left alone.
        ProgramFixture program("GERMAN");
        ASSERT_TRUE(program.Ready());
        program.InstallPlayer();
        ASSERT_TRUE(QDir(program.Desktop).removeRecursively());
        WriteFile(program.Home + "Diashow-Player.exe", "the user's own file");
        ASSERT_TRUE(Start());
        EXPECT_TRUE(QFileInfo(program.ArchiveRoot() + "Diashow-Player").isFile());
        EXPECT_FALSE(QFileInfo::exists(program.Desktop));
        EXPECT_EQ(FilesIn(program.Home), QStringList{"Diashow-Player.exe"});
        EndProgram();
    }
}

TEST(Start, TheDesktopLinkStartsThePlayerOfTheArchiveRoot)
{
    ProgramFixture program("GERMAN");
    ASSERT_TRUE(program.Ready());
    program.InstallPlayer();
    ASSERT_TRUE(Start());
    const QString link = program.Desktop + "Diashow-Player.desktop";
    EXPECT_EQ(ReadFile(link), TMainForm::PlayerDesktopEntry("Diashow-Player", program.ArchiveRoot() + "Diashow-Player")
                                  .toUtf8());
    EXPECT_TRUE(QFileInfo(link).isExecutable());
    EndProgram();
}

TEST(DesktopEntry, QuotesThePlayersPathAsDesktopEntriesWantIt)
{
    struct Case {
        const char* Path;
        const char* Exec;
        const char* Folder;
    };
    const Case cases[] = {
        {"/home/anna/Korvanta/Diashow-Player", R"("/home/anna/Korvanta/Diashow-Player")", "/home/anna/Korvanta"},
        {"/home/a b/Slideshow/Slideshow-Player", R"("/home/a b/Slideshow/Slideshow-Player")", "/home/a b/Slideshow"},
        // Quote, back quote, dollar and backslash are escaped inside the quotes, and the
        // backslashes once more as every value's backslash is; "%" is doubled.
        {R"(/m/"x"/Diashow-Player)", R"("/m/\\"x\\"/Diashow-Player")", R"(/m/"x")"},
        {"/m/`a`$b/Diashow-Player", R"("/m/\\`a\\`\\$b/Diashow-Player")", "/m/`a`$b"},
        {R"(/m/a\b/Diashow-Player)", R"("/m/a\\\\b/Diashow-Player")", R"(/m/a\\b)"},
        {"/m/100%/Diashow-Player", R"("/m/100%%/Diashow-Player")", "/m/100%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        const QStringList lines = TMainForm::PlayerDesktopEntry("Diashow-Player", c.Path).split('\n');
        EXPECT_EQ(lines.value(0), "[Desktop Entry]");
        EXPECT_TRUE(lines.contains("Type=Application"));
        EXPECT_TRUE(lines.contains("Name=Diashow-Player"));
        EXPECT_TRUE(lines.contains(QString("Exec=") + c.Exec));
        EXPECT_TRUE(lines.contains(QString("Path=") + c.Folder));
        EXPECT_TRUE(lines.contains("Terminal=false"));
    }
}

TEST(Start, AnUnknownDriveStopsTheStartWithAnErrorNamingTheDrive)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Ready());
    program.SetSetting("Drive", "Q");
    kvtest::WriteFile(program.Folder + "NoWer.ini", "");
    kvtest::Ui().ExpectMessage(mrOk, "\"Q\"");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(MainForm->ArchiveRoot.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(program.Home + "Korvanta"));
    EXPECT_FALSE(QFileInfo::exists(program.Home + "DVD-Diashow"));
    EXPECT_EQ(MainForm->ui()->OpenListBox->Count(), 0);
    CloseAndEnd();
    // The settings were read, so the close writes them back as they were.
    EXPECT_EQ(TIniFile(program.Folder + "Generator.ini").ReadString("SETTINGS", "Drive", ""), "Q");
}

TEST(Start, AMissingEffectListStopsTheStartAndTheCloseLeavesTheSettingsAlone)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Ready());
    program.SetSetting("Drive", "C");
    program.SetSetting("EffectMode", "RANDOM");
    kvtest::WriteFile(program.Folder + "NoWer.ini", "");
    ASSERT_TRUE(QFile::remove(program.Folder + "Effects.ini"));
    const QByteArray settings = ReadFile(program.Folder + "Generator.ini");

    kvtest::Ui().ExpectMessage(mrOk, "Effects.ini");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(MainForm->SettingsLoaded());
    EXPECT_FALSE(QFileInfo::exists(program.ArchiveRoot()));
    CloseAndEnd();
    EXPECT_EQ(ReadFile(program.Folder + "Generator.ini"), settings);
}

TEST(Start, AMissingBannerIsReportedAndTheStartGoesOn)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Ready());
    program.SetSetting("DefaultTime", "8");
    program.SetSetting("EffectMode", "ON");
    program.SetSetting("Effect", "17");
    kvtest::WriteFile(program.Folder + "NoWer.ini", "");
    ASSERT_TRUE(QFile::remove(program.Folder + "recom/banner.png"));
    const TIniFile ini(program.Folder + "Generator.ini");
    QStringList before;
    for (const QString& key : ini.ReadSection("SETTINGS"))
        before.append(key + "=" + ini.ReadString("SETTINGS", key, ""));

    // The main window reports it, and so does the online photo window, which shows it too.
    kvtest::Ui().ExpectMessage(mrOk, program.Folder + "recom/banner.png");
    kvtest::Ui().ExpectMessage(mrOk, program.Folder + "recom/banner.png");
    ASSERT_TRUE(Start());
    EXPECT_EQ(kvtest::Ui().Asked().size(), 2u);
    EXPECT_TRUE(MainForm->SettingsLoaded());
    EXPECT_EQ(MainForm->ui()->OpenListBox->Count(), 2);
    EXPECT_TRUE(MainForm->ui()->Image2->pixmap().isNull());
    CloseAndEnd();
    QStringList after;
    for (const QString& line : before)
        after.append(line.section('=', 0, 0) + "=" + ini.ReadString("SETTINGS", line.section('=', 0, 0), "?"));
    EXPECT_EQ(after, before);
}
