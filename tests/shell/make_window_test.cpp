// Making the show from the main window: saving and starting the player, the make wizard and
// its dispatch, the tab change, the export folders, the screensaver install and the import.
#include "MainWindowTestSupport.h"

#include "output/ExportCheckList.h"
#include "output/fExport.h"
#include "platform/system/ShellFolders.h"
#include "platform/vcl/IniFiles.h"
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"
#include "shell/fWizardMake.h"
#include "ui_fExport.h"
#include "ui_fWizardMake.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::FilesIn;
using kvtest::ProgramFixture;
using kvtest::ReadFile;
using kvtest::Start;
using kvtest::WriteFile;

// A player stand-in that writes its arguments and its working folder beside itself.
const QByteArray kRecordingPlayer = "#!/bin/sh\n"
                                    "d=$(dirname \"$0\")\n"
                                    "{ printf '%s\\n' \"$@\"; pwd; } > \"$d/args.tmp\"\n"
                                    "mv \"$d/args.tmp\" \"$d/args.txt\"\n";

QByteArray WaitForFile(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(path) && timer.elapsed() < 10000)
        QTest::qWait(20);
    return ReadFile(path);
}

class Making : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        const QString player = program.Folder + "diashow/Diashow-Player";
        WriteFile(player, kRecordingPlayer);
        QFile::setPermissions(player, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        WriteFile(program.Folder + "NoWer.ini", "");
        ASSERT_TRUE(Start());
        root = MainForm->ArchiveRoot;
        pages = MainForm->ui()->PageControl1;
    }
    void TearDown() override { CloseAndEnd(); }

    // The sample slideshow open with its five pictures, its tabs shown.
    void OpenSample()
    {
        MainForm->OpenDiashowFolder("Archive_0001");
        ASSERT_EQ(MainForm->DiashowListBox->Count(), 5);
        for (QWidget* sheet : {MainForm->ui()->TabSheet1, MainForm->ui()->TabSheet4})
            pages->setTabVisible(pages->indexOf(sheet), true);
        MainForm->SetDiashowMenusEnabled(true);
        MainForm->show();
    }
    // A user's click on tab index.
    void ClickTab(int index)
    {
        QTabBar* bar = pages->tabBar();
        ASSERT_TRUE(bar->isTabVisible(index));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    TIniFile RootSettings() const { return TIniFile(root + "Settings.ini"); }
    static void Tick(TForm& form, const QStringList& folders)
    {
        TExportCheckList& list = *static_cast<TExportForm&>(form).ui()->CheckListBox;
        for (int i = 0; i < list.Count(); ++i)
            list.setChecked(i, folders.contains(ArchiveLineFolder(list.Items()[i])));
    }

    ProgramFixture program{"GERMAN"};
    QString root;
    QTabWidget* pages = nullptr;
};

TEST_F(Making, SaveGuardsWriteAndStartNothing)
{
    const QByteArray settings = ReadFile(root + "Settings.ini");
    const QByteArray diashowIni = ReadFile(root + "Archive_0001/Diashow.ini");
    struct Case {
        const char* title;
        bool pictures;
        const char* text;
    };
    for (const Case c : {Case{"  ", true, "Titel"}, Case{"Urlaub", false, "keine Bilder"}}) {
        SCOPED_TRACE(c.text);
        OpenSample();
        if (!c.pictures)
            MainForm->DiashowListBox->Items().Clear();
        MainForm->ui()->TitleEdit->setText(c.title);
        kvtest::Ui().ExpectMessage(mrOk, c.text);
        MainForm->SaveDiashow(true);
        EXPECT_EQ(kvtest::Ui().Pending(), 0u);
        EXPECT_EQ(ReadFile(root + "Settings.ini"), settings);
        EXPECT_EQ(ReadFile(root + "Archive_0001/Diashow.ini"), diashowIni);
    }
    QTest::qWait(300);
    EXPECT_FALSE(QFileInfo::exists(root + "args.txt"));
}

TEST_F(Making, SaveWritesSettingsAndStartsThePlayerWithTest)
{
    OpenSample();
    Ui::TMainForm& ui = *MainForm->ui();
    struct Case {
        bool full, manual, endless;
        QRadioButton* effect;
        std::map<QString, QString> keys;
    };
    const Case cases[] = {
        {true, true, true, ui.RNDRadioButton,
         {{"Fullscreen", "TRUE"}, {"Manuell", "TRUE"}, {"StopDiashowAtEnd", "FALSE"}, {"EffectMode", "RANDOM"}}},
        {false, true, false, ui.ONRadioButton,
         {{"Fullscreen", "FALSE"}, {"Manuell", "FALSE"}, {"StopDiashowAtEnd", "TRUE"}, {"EffectMode", "ON"}}},
    };
    for (const Case& c : cases) {
        ui.FullscreenCheckBox->setChecked(c.full);
        ui.ManuellCheckBox->setChecked(c.manual);
        ui.EndlessPlayCheckBox->setChecked(c.endless);
        c.effect->setChecked(true);
        MainForm->BKGColor = 0x102030;
        MainForm->TextColor = 0xFFFF;
        MainForm->TextOffset = 33;
        MainForm->EffectNumber = 7;
        MainForm->ui()->TitleEdit->setText("Panorama neu");
        MainForm->SaveDiashow(false);
        const TIniFile ini = RootSettings();
        for (const auto& [key, value] : c.keys)
            EXPECT_EQ(ini.ReadString("SETTINGS", key, ""), value) << key.toStdString();
        EXPECT_EQ(ini.ReadString("SETTINGS", "BKGColor", ""), "1056816");
        EXPECT_EQ(ini.ReadString("SETTINGS", "TextColor", ""), "65535");
        EXPECT_EQ(ini.ReadString("SETTINGS", "TextOffset", ""), "33");
        EXPECT_EQ(ini.ReadString("SETTINGS", "Effect", ""), "7");
    }
    EXPECT_EQ(TIniFile(root + "Archive_0001/Diashow.ini").ReadString("DIASHOW", "Titel", ""), "Panorama neu");
    EXPECT_FALSE(QFileInfo::exists(root + "args.txt"));

    MainForm->SaveDiashow(true);
    const QStringList lines = QString::fromUtf8(WaitForFile(root + "args.txt")).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], "TEST");
}

TEST_F(Making, PlayerThatCannotStartIsNamed)
{
    OpenSample();
    ASSERT_TRUE(QFile::remove(root + "Diashow-Player"));
    kvtest::Ui().ExpectMessage(mrOk, "Unable to start " + root + "Diashow-Player");
    MainForm->SaveDiashow(true);
}

TEST_F(Making, WizardNeedsAChoiceAndOffersOnlyBuiltOutputs)
{
    OpenSample();
    MainForm->EnableMakeChoices();
    Ui::TMakeWizzard& w = *MakeWizzard->ui();
    for (QRadioButton* built : {w.PCRadioButton, w.CDROMRadioButton, w.ScreenSaverRadioButton, w.FotoLaborRadioButton,
                                w.PrintRadioButton, w.PrintAllRadioButton, w.ThumbnailRadioButton,
                                w.BetrachterRadioButton, w.HTMLRadioButton, w.DVDRadioButton})
        EXPECT_TRUE(built->isEnabled()) << built->objectName().toStdString();
    // A choice whose window is not built is never offered; the online photo row is designed off.
    for (const TMainForm::TMakeChoiceRow& row : TMainForm::MakeChoiceTable()) {
        if (!row.Run) {
            EXPECT_FALSE(MakeWizzard->Choice(row.Radio)->isEnabled()) << row.Radio;
        }
    }
    EXPECT_FALSE(w.FotoEntwickungRadioButton->isEnabled());

    int result = -1;
    kvtest::Ui().ExpectModal("TMakeWizzard", mrNone, [&](TForm& form) {
        kvtest::Ui().ExpectMessage(mrOk, GetLangText(10027));
        static_cast<TMakeWizzard&>(form).ui()->WeiterBitBtn->click();
        EXPECT_EQ(form.ModalResult(), mrNone);
        static_cast<TMakeWizzard&>(form).ui()->PCRadioButton->setChecked(true);
        static_cast<TMakeWizzard&>(form).ui()->WeiterBitBtn->click();
        result = form.ModalResult();
    });
    MakeWizzard->ShowModal();
    EXPECT_EQ(result, mrOk);
}

TEST_F(Making, TabChangesOfTheUserOnly)
{
    OpenSample();
    // Page 0 lists the archive afresh.
    WriteFile(root + "Archive_0042/Diashow.ini", "[DIASHOW]\r\nTitel=Neu\r\n");
    pages->setCurrentIndex(0);
    EXPECT_FALSE(kvtest::Lines(*MainForm->ui()->OpenListBox).join('|').contains("Archive_0042"))
        << "a page set by code runs nothing";
    pages->setCurrentIndex(1);
    ClickTab(0);
    EXPECT_TRUE(kvtest::Lines(*MainForm->ui()->OpenListBox).join('|').contains("Archive_0042 Neu"));

    // Page 3 lists the audio titles; leaving it renumbers them, leaving another page does not.
    const QString folder = root + "Archive_0001/";
    ASSERT_TRUE(QFileInfo::exists(folder + "Bumble Bee - Tessmark.mp3"));
    pages->setTabVisible(3, true);
    ClickTab(3);
    EXPECT_TRUE(MainForm->AudioTabVisited);
    EXPECT_EQ(MainForm->ui()->AudioListBox->Count(), 1);
    ClickTab(1);
    EXPECT_FALSE(MainForm->AudioTabVisited);
    EXPECT_EQ(FilesIn(folder).filter(".mp3"), QStringList({"Audio001.mp3"}));
    ASSERT_TRUE(QFile::copy(folder + "Audio001.mp3", folder + "later.mp3"));
    ClickTab(0);
    ClickTab(1);
    EXPECT_EQ(FilesIn(folder).filter(".mp3"), QStringList({"Audio001.mp3", "later.mp3"}));

    // Page 2 shows the make wizard; cancelled, nothing is carried out.
    ClickTab(1);
    kvtest::Ui().ExpectModal("TMakeWizzard", mrCancel);
    ClickTab(2);
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);

    // Page 2 with an empty slideshow: back to page 1 and text 10010, no wizard.
    MainForm->DiashowListBox->Items().Clear();
    pages->setCurrentIndex(1);
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10010));
    ClickTab(2);
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
}

TEST_F(Making, ShowOnThePcFromTheMakeTab)
{
    OpenSample();
    kvtest::Ui().ExpectModal("TMakeWizzard", mrNone, [](TForm& form) {
        static_cast<TMakeWizzard&>(form).ui()->PCRadioButton->setChecked(true);
        static_cast<TMakeWizzard&>(form).ui()->WeiterBitBtn->click();
    });
    ClickTab(2);
    // The slideshow settings tab alone.
    EXPECT_EQ(pages->currentWidget(), MainForm->ui()->TabSheet3);
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(MainForm->ui()->TabSheet1)));
    EXPECT_FALSE(QFileInfo::exists(root + "args.txt"));

    kvtest::Ui().ExpectModal("TAnweisungForm", mrOk);
    MainForm->ui()->MakeDiashowBitBtn->click();
    EXPECT_EQ(WaitForFile(root + "args.txt").split('\n').value(0), "TEST");
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_TRUE(pages->isTabVisible(pages->indexOf(MainForm->ui()->TabSheet1)));
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(MainForm->ui()->TabSheet3)));
}

TEST_F(Making, ExportFolders)
{
    OpenSample();
    const QString exportFolder = MainForm->ExportFolder;
    WriteFile(exportFolder + "old/stale.jpg", "old");

    // The photo lab: the crop tip, the selection, the JPEG pictures without thumbnails.
    kvtest::Ui().ExpectModal("TZuschneidenTipForm2", mrOk);
    kvtest::Ui().ExpectModal("TExportForm", mrOk, [](TForm& f) { Tick(f, {"Archive_0002"}); });
    kvtest::Ui().ExpectModal("TAnweisungForm", mrOk);
    MainForm->ui()->CDfrFotolaborerstellen1->trigger();
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    EXPECT_EQ(QDir(exportFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"Archive_0002"}));
    const QStringList lab = FilesIn(exportFolder + "Archive_0002");
    EXPECT_FALSE(lab.isEmpty());
    for (const QString& name : lab)
        EXPECT_TRUE(name.endsWith(".jpg") && !name.contains("_THUMB")) << name.toStdString();

    // The CD-ROM: the root files and the whole slideshows, the photo lab's export gone.
    MakeWizzard->ui()->CDROMRadioButton->setChecked(true);
    kvtest::Ui().ExpectModal("TExportForm", mrOk, [](TForm& f) { Tick(f, {"Archive_0001"}); });
    kvtest::Ui().ExpectModal("TAnweisungForm", mrOk);
    MainForm->RunMakeWizardChoice();
    EXPECT_EQ(FilesIn(exportFolder), FilesIn(root));
    EXPECT_TRUE(FilesIn(exportFolder).contains("Diashow-Player"));
    EXPECT_EQ(FilesIn(exportFolder + "Archive_0001"), FilesIn(root + "Archive_0001"));
    EXPECT_FALSE(QFileInfo::exists(exportFolder + "Archive_0002"));
}

TEST_F(Making, ScreensaverInstall)
{
    OpenSample();
    const QString saver = MainForm->ScreensaverFolder;
    const QString system = AddBackslash(WindowsInfo.SystemRoot);
    WriteFile(saver + "mine.txt", "kept");
    // A display-settings program and an xscreensaver configuration of the user.
    const QString bin = program.Home + "bin/";
    WriteFile(bin + "xscreensaver-settings", "#!/bin/sh\ntouch \"$HOME/settings-ran\"\n");
    QFile::setPermissions(bin + "xscreensaver-settings", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", (bin + ":").toLocal8Bit() + path);
    const QByteArray config = "mode:\t\trandom\nprograms:\t\\\n  maze -root \\n\\\n  xmatrix -root \\n\n\nlock:\tFalse\n";
    WriteFile(program.Home + ".xscreensaver", config);

    MakeWizzard->ui()->ScreenSaverRadioButton->setChecked(true);
    kvtest::Ui().ExpectModal("TExportForm", mrCancel, [](TForm& f) { Tick(f, {"Archive_0001"}); });
    MainForm->RunMakeWizardChoice();
    EXPECT_EQ(FilesIn(saver), QStringList({"mine.txt"})) << "Cancel changes nothing";
    EXPECT_FALSE(QFileInfo::exists(system + "system"));
    EXPECT_EQ(ReadFile(program.Home + ".xscreensaver"), config);

    kvtest::Ui().ExpectModal("TExportForm", mrOk, [](TForm& f) { Tick(f, {"Archive_0001"}); });
    kvtest::Ui().ExpectModal("TAnweisungForm", mrOk);
    MainForm->RunMakeWizardChoice();
    qputenv("PATH", path);
    for (const char* sub : {"system/", "system32/"})
        EXPECT_EQ(ReadFile(system + sub + "Diashow.scr"), kRecordingPlayer) << sub;
    EXPECT_FALSE(QFileInfo::exists(saver + "mine.txt"));
    EXPECT_EQ(FilesIn(saver + "Archive_0001"), FilesIn(root + "Archive_0001"));
    const TIniFile settings(saver + "Settings.ini");
    EXPECT_EQ(settings.ReadString("SETTINGS", "Fullscreen", ""), "TRUE");
    EXPECT_EQ(settings.ReadString("SETTINGS", "TextOffset", ""), RootSettings().ReadString("SETTINGS", "TextOffset", "x"));
    const QByteArray registered = ReadFile(program.Home + ".xscreensaver");
    EXPECT_EQ(registered.count("Diashow.scr' -root"), 1);
    EXPECT_TRUE(registered.startsWith("mode:\t\trandom\nprograms:\t\\\n"));
    EXPECT_TRUE(registered.endsWith("  maze -root \\n\\\n  xmatrix -root \\n\n\nlock:\tFalse\n"));
    WaitForFile(program.Home + "settings-ran");
    EXPECT_TRUE(QFileInfo::exists(program.Home + "settings-ran"));
}

TEST_F(Making, ImportAsksThenImportsAndLists)
{
    const QString source = MainForm->ImportSourceFolder();
    EXPECT_EQ(source, program.Home + "diashow/");
    WriteFile(source + "Diashow_3/Diashow.ini", "[DIASHOW]\r\nTitel=Alt\r\n");
    WriteFile(source + "Diashow_3/a.jpg", "a");
    kvtest::Ui().ExpectMessage(mrNo, "Vintrel");
    MainForm->DiashowsvonVintrelimportieren1Click();
    EXPECT_FALSE(QFileInfo::exists(root + "Archive_1001"));

    kvtest::Ui().ExpectMessage(mrYes, "Vintrel");
    MainForm->DiashowsvonVintrelimportieren1Click();
    EXPECT_EQ(FilesIn(root + "Archive_1001"), QStringList({"Diashow.ini", "a.jpg"}));
    EXPECT_TRUE(kvtest::Lines(*MainForm->ui()->OpenListBox).contains("Archive_1001 Alt"));
    EXPECT_EQ(pages->currentIndex(), 0);
}

} // namespace
