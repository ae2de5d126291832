// The main window's settings handlers: the drive question, colours and text offset, the
// options that show or hide others, and the tip of the day at the first activation.
#include "MainWindowTestSupport.h"
#include "WindowTestSupport.h"

#include "platform/vcl/IniFiles.h"
#include "shell/core/Language.h"
#include "shell/fTip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

class GeneralSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        program.SetSetting("Drive", "C");
        ASSERT_TRUE(Start());
    }
    void TearDown() override { CloseAndEnd(); }

    QString Setting(const QString& key) const
    {
        return TIniFile(program.Folder + "Generator.ini").ReadString("SETTINGS", key, "<none>");
    }

    // The user picks drive letter in the drive box (a volume mounted at folder).
    void ChooseDrive(const QString& letter, const QString& folder)
    {
        QComboBox& box = *MainForm->ui()->DriveComboBox1;
        if (box.findData(letter) < 0)
            box.addItem(letter.toLower() + ":  " + folder, letter);
        const int index = box.findData(letter);
        box.setCurrentIndex(index);
        emit box.activated(index);
    }

    ProgramFixture program{"ENGLISH"};
};

QColor PanelColor(const QWidget& panel) { return panel.palette().color(QPalette::Window); }

} // namespace

TEST_F(GeneralSettings, TheDriveQuestionAnsweredNoKeepsTheDriveTheProgramStartedWith)
{
    const Ui::TMainForm& ui = *MainForm->ui();
    MainForm->Allgemein1Click();
    EXPECT_EQ(ui.PageControl1->currentWidget(), ui.TabSheet2);
    ChooseDrive("D", kvtest::MakeTempFolder("stick"));
    EXPECT_TRUE(MainForm->DriveChanged);
    EXPECT_EQ(MainForm->ArchiveDrive, "D");

    // No slideshow is open: only the settings are saved.
    kvtest::Ui().ExpectMessage(mrNo, GetLangText(10021));
    ui.Uebernehmen2BitBtn->click();
    EXPECT_EQ(MainForm->ArchiveDrive, "C");
    EXPECT_EQ(ui.DriveComboBox1->currentData().toString(), "C");
    EXPECT_EQ(Setting("Drive"), "C");
    EXPECT_FALSE(MainForm->DriveChanged);
    EXPECT_FALSE(ui.PageControl1->isTabVisible(ui.PageControl1->indexOf(ui.TabSheet2)));
    EXPECT_EQ(ui.PageControl1->currentIndex(), 0) << "the archive tab, while the picture tab is hidden";

    // Applying again without a change asks nothing.
    MainForm->Allgemein1Click();
    ui.Uebernehmen2BitBtn->click();
    EXPECT_EQ(kvtest::Ui().Asked().size(), 1u);
}

TEST_F(GeneralSettings, TheDriveQuestionAnsweredYesSavesTheNewDriveAndEnds)
{
    MainForm->Show();
    ChooseDrive("D", kvtest::MakeTempFolder("stick"));
    kvtest::Ui()
        .ExpectMessage(mrYes, GetLangText(10021))
        .ExpectMessage(mrOk, GetLangText(10022));
    MainForm->ui()->Uebernehmen2BitBtn->click();
    EXPECT_EQ(Setting("Drive"), "D");
    EXPECT_FALSE(MainForm->isVisible());
}

TEST_F(GeneralSettings, ColoursAndTheTextOffsetReachTheFieldsAndThePanels)
{
    const Ui::TMainForm& ui = *MainForm->ui();
    kvtest::Ui().ExpectColor(TColor(0x0000FF)).ExpectColor(TColor(0x00FF00)).ExpectColor(std::nullopt);
    ui.BKGColorButton->click();
    ui.TextcolorButton->click();
    EXPECT_EQ(MainForm->BKGColor, TColor(0x0000FF));
    EXPECT_EQ(PanelColor(*ui.BKGColorPanel), QColor(255, 0, 0));
    EXPECT_EQ(MainForm->TextColor, TColor(0x00FF00));
    EXPECT_EQ(PanelColor(*ui.TextColorPanel), QColor(0, 255, 0));
    ui.BKGColorButton->click();  // cancelled: unchanged
    EXPECT_EQ(MainForm->BKGColor, TColor(0x0000FF));

    ui.SpinEdit2->setValue(321);
    EXPECT_EQ(MainForm->TextOffset, 321);
}

TEST_F(GeneralSettings, OptionsShowTheirDependentControls)
{
    const Ui::TMainForm& ui = *MainForm->ui();
    for (const bool on : {true, false, true}) {
        ui.FullscreenCheckBox->setChecked(on);
        EXPECT_EQ(ui.ManuellCheckBox->isHidden(), !on);
    }
    ui.ONRadioButton->setChecked(true);
    EXPECT_FALSE(ui.EffectPanel->isHidden());
    ui.RNDRadioButton->setChecked(true);
    EXPECT_TRUE(ui.EffectPanel->isHidden());
    ui.OFFRadioButton->setChecked(true);
    EXPECT_TRUE(ui.EffectPanel->isHidden());
}

TEST_F(GeneralSettings, TheTipShowsOncePerRunAndTheTipsBoxTurnsItBackOn)
{
    // At the first activation only.
    QFile::remove(program.Folder + "NoTip.ini");
    kvtest::Ui().ExpectModal("TTipForm", mrOk);
    MainForm->Show();
    QCoreApplication::processEvents();
    kvtest::SwitchAwayAndBack(*MainForm);
    kvtest::Ui().ExpectModal("TNewForm", mrCancel);
    MainForm->ui()->NewBitBtn->click();  // a modal window closing activates the main window
    QCoreApplication::processEvents();

    // Ticking the box deletes the marker and shows the tip; unticking does nothing.
    kvtest::WriteTextFile(program.Folder + "NoTip.ini", "");
    kvtest::Ui().ExpectModal("TTipForm", mrOk);
    MainForm->ui()->TipsCheckBox->setChecked(true);
    EXPECT_FALSE(QFile::exists(program.Folder + "NoTip.ini"));
    kvtest::WriteTextFile(program.Folder + "NoTip.ini", "");
    MainForm->ui()->TipsCheckBox->setChecked(false);
    EXPECT_TRUE(QFile::exists(program.Folder + "NoTip.ini"));
}

TEST(GeneralSettingsStart, NoTipWhenTheMarkerExists)
{
    ProgramFixture program("ENGLISH");  // writes NoTip.ini
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(QFile::exists(program.Folder + "NoTip.ini"));
    ASSERT_TRUE(Start());
    MainForm->Show();  // an unscripted tip window would fail the test
    QCoreApplication::processEvents();
    CloseAndEnd();
}
