// The music titles of a slideshow get their numbers ("Audio" + three digits, which is all the
// player plays) on every way through the slideshow settings tab, and titles that no list ever
// held get theirs before the slideshow is shown, exported or installed.
#include "MainWindowTestSupport.h"

#include "output/AudioFixtures.h"
#include "output/ExportCheckList.h"
#include "output/fExport.h"
#include "shell/core/Archive.h"
#include "shell/fWizardMake.h"
#include "ui_fExport.h"
#include "ui_fWizardMake.h"

#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::FilesIn;
using kvtest::ProgramFixture;
using kvtest::ReadFile;
using kvtest::Start;

const QString kTune = "Bumble Bee - Tessmark.mp3";

QStringList AudioIn(const QString& folder)
{
    return FilesIn(folder).filter(QRegularExpression("\\.(mp3|wav)$", QRegularExpression::CaseInsensitiveOption));
}

class AudioNumbering : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        program.InstallPlayer();
        kvtest::WriteFile(program.Folder + "NoWer.ini", "");
        ASSERT_TRUE(Start());
        root = MainForm->ArchiveRoot;
        // The first sample open with its pictures and the tune of the first start.
        MainForm->OpenDiashowFolder("Archive_0001");
        ASSERT_GT(MainForm->DiashowListBox->Count(), 0);
        QTabWidget& pages = *MainForm->ui()->PageControl1;
        for (QWidget* sheet : {MainForm->ui()->TabSheet1, MainForm->ui()->TabSheet4})
            pages.setTabVisible(pages.indexOf(sheet), true);
        MainForm->SetDiashowMenusEnabled(true);
        folder = MainForm->DiashowPath();
        ASSERT_EQ(AudioIn(folder), QStringList{kTune});
        song = kvtest::MakeTempFolder("music") + "song.mp3";
        kvtest::Mp3(song, {"-b", "128"}, 0.5);
    }
    void TearDown() override { CloseAndEnd(); }

    // The tab "4. Schritt" clicked, the make wizard answered with the radio button radio.
    void MakeBy(QRadioButton* radio)
    {
        kvtest::Ui().ExpectModal("TMakeWizzard", mrOk, [radio](TForm&) { radio->setChecked(true); });
        MainForm->ui()->PageControl1->setCurrentIndex(2);
        MainForm->PageControl1Change(2);
        ASSERT_EQ(MainForm->ui()->PageControl1->currentWidget(), MainForm->ui()->TabSheet3);
    }
    static void Tick(TForm& form, const QStringList& folders)
    {
        TExportCheckList& list = *static_cast<TExportForm&>(form).ui()->CheckListBox;
        for (int i = 0; i < list.Count(); ++i)
            list.setChecked(i, folders.contains(ArchiveLineFolder(list.Items()[i])));
    }

    ProgramFixture program{"GERMAN"};
    QString root, folder, song;
};

} // namespace

TEST_F(AudioNumbering, ATitleAddedOnTheSettingsTabIsNumberedOnEveryWayThrough)
{
    Ui::TMakeWizzard& wizard = *MakeWizzard->ui();
    struct Way {
        const char* What;
        std::function<void()> In;
        std::function<void()> Out;
    };
    const auto abbrechen = [] { MainForm->ui()->AbbrechenBitBtn->click(); };
    const Way ways[] = {
        {"the make wizard's PC show, then Abbrechen", [&] { MakeBy(wizard.PCRadioButton); }, abbrechen},
        {"the make wizard's video CD, then Abbrechen", [&] { MakeBy(wizard.DVDRadioButton); }, abbrechen},
        {"back from the general settings by a tab click, then Abbrechen",
         [&] {
             MakeBy(wizard.PCRadioButton);
             MainForm->Allgemein1Click();
             MainForm->ui()->PageControl1->setCurrentIndex(3);
             MainForm->PageControl1Change(3);
         },
         abbrechen},
        {"the make wizard's PC show, then a tab click on the general settings",
         [&] { MakeBy(wizard.PCRadioButton); },
         [] {
             MainForm->Allgemein1Click();
             MainForm->PageControl1Change(4);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.What);
        for (const QString& name : AudioIn(folder))
            QFile::remove(folder + name);
        ASSERT_TRUE(QFile::copy(program.Folder + kTune, folder + kTune));
        way.In();
        kvtest::Ui().ExpectOpenFile({song});
        MainForm->ui()->OpenAudioBitBtn->click();
        way.Out();
        EXPECT_EQ(kvtest::Ui().Pending(), 0u);
        EXPECT_EQ(AudioIn(folder), (QStringList{"Audio001.mp3", "Audio002.mp3"}));
        EXPECT_EQ(ReadFile(folder + "Audio001.mp3"), ReadFile(program.Folder + kTune));
        EXPECT_EQ(ReadFile(folder + "Audio002.mp3"), ReadFile(song));
        // Back on the picture tab for the next way.
        MainForm->AbbrechenBitBtnClick();
    }
}

TEST_F(AudioNumbering, TitlesNoListHeldAreNumberedBeforeAShowAnExportOrAScreensaver)
{
    const QString other = root + "Archive_0002/";
    ASSERT_EQ(AudioIn(other), QStringList{kTune});
    // A title put into the open slideshow by hand, after the tune in the order of names.
    kvtest::Tone(folder + "zz.wav", 44100, 2, 0.3);

    // The show: the open slideshow's titles, in the order of their names.
    MainForm->SaveDiashow(true);
    EXPECT_EQ(AudioIn(folder), (QStringList{"Audio001.mp3", "Audio002.wav"}));
    EXPECT_EQ(ReadFile(folder + "Audio001.mp3"), ReadFile(program.Folder + kTune));

    // The CD-ROM export and the screensaver: the other slideshow ticked there, and its copy.
    struct Case {
        const char* What;
        QRadioButton* Choice;
        QString Copy;
    };
    const Case cases[] = {
        {"the CD-ROM export", MakeWizzard->ui()->CDROMRadioButton, MainForm->ExportFolder + "Archive_0002/"},
        {"the screensaver", MakeWizzard->ui()->ScreenSaverRadioButton, MainForm->ScreensaverFolder + "Archive_0002/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        for (const QString& name : AudioIn(other))
            QFile::rename(other + name, other + kTune);
        c.Choice->setChecked(true);
        kvtest::Ui().ExpectModal("TExportForm", mrOk, [](TForm& f) { Tick(f, {"Archive_0002"}); });
        kvtest::Ui().ExpectModal("TAnweisungForm", mrOk);
        MainForm->RunMakeWizardChoice();
        EXPECT_EQ(kvtest::Ui().Pending(), 0u);
        EXPECT_EQ(AudioIn(other), QStringList{"Audio001.mp3"});
        EXPECT_EQ(AudioIn(c.Copy), QStringList{"Audio001.mp3"});
        c.Choice->setChecked(false);
    }
}

TEST(AudioTitleNumbers, NumberingKeepsTheOrderOfTheNamesAndLeavesNumberedTitlesAlone)
{
    const QString folder = kvtest::MakeTempFolder("show");
    for (const char* name : {"b.mp3", "Audio001.wav", "A.mp3", "c.WAV", "note.txt"})
        kvtest::WriteFile(folder + name, name);
    // The settings' order: MP3 and WAV titles by their paths, ignoring case.
    EXPECT_EQ(SlideshowAudioFiles(folder), (QStringList{folder + "A.mp3", folder + "Audio001.wav", folder + "b.mp3",
                                                        folder + "c.WAV"}));
    EXPECT_TRUE(NumberAudioTitles(folder));
    EXPECT_EQ(FilesIn(folder), (QStringList{"Audio001.mp3", "Audio002.wav", "Audio003.mp3", "Audio004.WAV", "note.txt"}));
    EXPECT_EQ(ReadFile(folder + "Audio001.mp3"), "A.mp3");
    EXPECT_EQ(ReadFile(folder + "Audio002.wav"), "Audio001.wav");
    EXPECT_EQ(ReadFile(folder + "Audio003.mp3"), "b.mp3");
    EXPECT_FALSE(NumberAudioTitles(folder)) << "numbered titles stay";
    EXPECT_FALSE(NumberAudioTitles(kvtest::MakeTempFolder("empty")));
    EXPECT_FALSE(NumberAudioTitles(QString()));
}
