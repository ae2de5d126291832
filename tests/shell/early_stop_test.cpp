// A start of the main window that stops early (an unknown drive letter, a drive that is known
// but not mounted, a missing Effects.ini): the error is shown, and the window that stays is
// safe to use: only the archive tab, no progress bar, no slideshow to make, every button and
// tab that can be reached does nothing harmful, and the general settings offer another drive.
#include "MainWindowTestSupport.h"

#include "platform/vcl/IniFiles.h"
#include "shell/core/Language.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;
using kvtest::VisibleTabs;

struct StopCase {
    const char* What;
    std::function<void(const ProgramFixture&)> Arrange;
    QString Message;      // a part of the error the start shows
    QString DriveShown;   // the drive the settings show ("" when none of the map)
};

QString Setting(const ProgramFixture& program, const QString& key)
{
    return TIniFile(program.Folder + "Generator.ini").ReadString("SETTINGS", key, "<none>");
}

} // namespace

TEST(EarlyStop, TheWindowStaysSafeAndAnotherDriveCanBeChosen)
{
    const StopCase cases[] = {
        {"an unknown drive letter", [](const ProgramFixture& p) { p.SetSetting("Drive", "Q"); }, "\"Q\"", ""},
        {"a drive that is not mounted",
         [](const ProgramFixture& p) {
             TIniFile(p.Folder + "Generator.ini").WriteString("DRIVES", "D", kvtest::MakeTempFolder("stick") + "away");
             p.SetSetting("Drive", "D");
         },
         "D:", "D"},
        {"a missing Effects.ini",
         [](const ProgramFixture& p) {
             p.SetSetting("Drive", "C");
             QFile::remove(p.Folder + "Effects.ini");
         },
         "Effects.ini", "C"},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.What);
        ProgramFixture program;
        ASSERT_TRUE(program.Ready());
        c.Arrange(program);
        kvtest::WriteFile(program.Folder + "NoWer.ini", "");
        const QString effectMode = Setting(program, "EffectMode");
        kvtest::Ui().ExpectMessage(mrOk, c.Message);
        ASSERT_TRUE(Start());
        ASSERT_EQ(kvtest::Ui().Pending(), 0u);
        ASSERT_TRUE(MainForm->StartStopped());
        Ui::TMainForm& ui = *MainForm->ui();

        // Only the archive tab, no progress, no slideshow to make.
        EXPECT_EQ(VisibleTabs(), QStringList{"TabSheet5"});
        EXPECT_EQ(ui.PageControl1->currentWidget(), ui.TabSheet5);
        EXPECT_TRUE(ui.PicProgressBar->isHidden());
        EXPECT_FALSE(ui.NewBitBtn->isEnabled());
        EXPECT_FALSE(ui.NewDiashow1->isEnabled());
        EXPECT_FALSE(QFileInfo::exists(program.ArchiveRoot()));

        // ">", a double click in the source list, "<", "<<" and the Delete key, with nothing
        // to add or remove.
        kvtest::Ui().ExpectMessage(mrOk, GetLangText(10004)).ExpectMessage(mrOk, GetLangText(10004));
        MainForm->SpeedButton1Click();
        MainForm->FileListBoxDblClick();
        MainForm->SpeedButton3Click();
        kvtest::Ui().ExpectMessage(mrYes, GetLangText(10007));
        MainForm->SpeedButton4Click();
        int del = 46;
        MainForm->DiashowListBoxKeyDown(del);
        EXPECT_EQ(kvtest::Ui().Pending(), 0u);

        // A tab change to each tab that shows.
        for (int i = 0; i < ui.PageControl1->count(); ++i) {
            if (!ui.PageControl1->isTabVisible(i))
                continue;
            ui.PageControl1->setCurrentIndex(i);
            MainForm->PageControl1Change(i);
        }
        EXPECT_EQ(ui.OpenListBox->Count(), 0);

        // The settings menu: the general settings with the drive the settings name.
        ASSERT_TRUE(ui.EinstellungenDiashow1->menuAction()->isEnabled());
        ASSERT_TRUE(ui.Allgemein1->isEnabled());
        ui.Allgemein1->trigger();
        EXPECT_EQ(ui.PageControl1->currentWidget(), ui.TabSheet2);
        QComboBox& drives = *ui.DriveComboBox1;
        ASSERT_GE(drives.findData("C"), 0);
        EXPECT_EQ(drives.currentData().toString(), c.DriveShown);

        // Applying without a change saves no slideshow (there is none) and goes back to the
        // archive tab.
        ui.Uebernehmen2BitBtn->click();
        EXPECT_EQ(ui.PageControl1->currentWidget(), ui.TabSheet5);
        EXPECT_EQ(VisibleTabs(), QStringList{"TabSheet5"});
        EXPECT_EQ(Setting(program, "EffectMode"), effectMode) << "the user's settings stay";

        // Drive C chosen: the program ends, and the next start builds the archive there.
        ui.Allgemein1->trigger();
        const int driveC = drives.findData("C");
        drives.setCurrentIndex(driveC);
        emit drives.activated(driveC);
        kvtest::Ui().ExpectMessage(mrYes, GetLangText(10021)).ExpectMessage(mrOk, GetLangText(10022));
        MainForm->Show();
        ui.Uebernehmen2BitBtn->click();
        EXPECT_EQ(kvtest::Ui().Pending(), 0u);
        EXPECT_FALSE(MainForm->isVisible());
        EXPECT_EQ(Setting(program, "Drive"), "C");
        EXPECT_EQ(Setting(program, "EffectMode"), effectMode);
        EndProgram();

        if (!QFileInfo::exists(program.Folder + "Effects.ini"))
            ASSERT_TRUE(QFile::copy(ProgramFixture::BuildDir() + "Effects.ini", program.Folder + "Effects.ini"));
        ASSERT_TRUE(Start());
        EXPECT_FALSE(MainForm->StartStopped());
        EXPECT_EQ(MainForm->ArchiveRoot, program.ArchiveRoot());
        EXPECT_EQ(MainForm->ui()->OpenListBox->Count(), 2);
        EXPECT_TRUE(MainForm->ui()->NewBitBtn->isEnabled());
        CloseAndEnd();
        kvtest::Ui().Reset();
    }
}
