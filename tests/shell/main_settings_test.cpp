// Generator.ini on the settings controls of the main window, both ways, with the handlers
// that LoadSettings runs; and the effect line on the effect preview.
#include "MainWindowTestSupport.h"

#include "imaging/LEADImage.h"
#include "imaging/LErrCode.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/IniFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

using kvtest::ProgramFixture;
using kvtest::Start;

QString Setting(const ProgramFixture& program, const QString& key)
{
    return TIniFile(program.Folder + "Generator.ini").ReadString("SETTINGS", key, "<none>");
}

QColor PanelColor(const QWidget& panel) { return panel.palette().color(QPalette::Window); }

// The two pictures of the effect preview, one red and one blue.
bool WritePreviewPictures(const QString& folder)
{
    for (const auto& [name, color] : {std::pair{"Preview1.jpg", Qt::red}, std::pair{"Preview2.jpg", Qt::blue}}) {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(color);
        if (!picture.save(folder + name))
            return false;
    }
    return true;
}

} // namespace

TEST(Settings, RoundTripThroughTheControls)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    const std::pair<const char*, const char*> values[] = {
        {"DefaultTime", "7,5"}, {"StopDiashowAtEnd", "false"}, {"Fullscreen", "TRUE"}, {"Manuell", "True"},
        {"PictureTextVisible", "true"}, {"FileNameVisible", "TRUE"}, {"BKGColor", "255"}, {"TextColor", "65280"},
        {"EffectMode", "RANDOM"}, {"Effect", "42"}, {"TextOffset", "120"}, {"PrintPreview", "FALSE"},
        {"Drive", "c"},
    };
    for (const auto& [key, value] : values)
        program.SetSetting(key, value);
    ASSERT_TRUE(Start());
    TMainForm& main = *MainForm;
    const Ui::TMainForm& ui = *main.ui();

    EXPECT_EQ(main.DiashowTime, "7,5");
    EXPECT_EQ(ui.SecEdit->text(), "7,5");
    EXPECT_TRUE(ui.EndlessPlayCheckBox->isChecked());  // "false" is upper-cased first
    EXPECT_TRUE(ui.FullscreenCheckBox->isChecked());
    EXPECT_TRUE(ui.ManuellCheckBox->isChecked());
    EXPECT_FALSE(ui.ManuellCheckBox->isHidden());
    EXPECT_TRUE(ui.TextCheckBox->isChecked());
    EXPECT_TRUE(ui.PictureNameCheckBox->isChecked());
    EXPECT_EQ(main.BKGColor, 255);
    EXPECT_EQ(main.TextColor, 65280);
    EXPECT_EQ(PanelColor(*ui.BKGColorPanel), QColor(255, 0, 0));
    EXPECT_EQ(PanelColor(*ui.TextColorPanel), QColor(0, 255, 0));
    EXPECT_TRUE(ui.RNDRadioButton->isChecked());
    EXPECT_TRUE(ui.EffectPanel->isHidden());
    EXPECT_FALSE(ui.PrintPreviewCheckBox->isChecked());
    EXPECT_EQ(main.EffectNumber, 42);
    EXPECT_EQ(ui.SpinEdit1->value(), 42);
    EXPECT_EQ(main.TextOffset, 120);
    EXPECT_EQ(ui.SpinEdit2->value(), 120);
    EXPECT_EQ(main.ArchiveDrive, "C");
    EXPECT_EQ(ui.DriveComboBox1->currentData().toString(), "C");

    // The user changes the controls; the handlers follow, and the file takes the controls.
    ui.FullscreenCheckBox->click();
    EXPECT_TRUE(ui.ManuellCheckBox->isHidden());
    ui.ONRadioButton->click();
    EXPECT_FALSE(ui.EffectPanel->isHidden());
    ui.TextCheckBox->click();
    ui.EndlessPlayCheckBox->click();
    ui.PrintPreviewCheckBox->click();
    main.SaveSettings();
    const std::pair<const char*, const char*> saved[] = {
        {"DefaultTime", "7,5"}, {"StopDiashowAtEnd", "TRUE"}, {"Fullscreen", "FALSE"},
        {"Manuell", "FALSE"},  // checked, but only with full screen
        {"PictureTextVisible", "FALSE"}, {"FileNameVisible", "TRUE"}, {"BKGColor", "255"}, {"TextColor", "65280"},
        {"EffectMode", "ON"}, {"Effect", "42"}, {"TextOffset", "120"}, {"PrintPreview", "TRUE"},
        {"SourcePicturesPath", ""}, {"Drive", "C"}, {"Language", "ENGLISH"},
    };
    for (const auto& [key, value] : saved)
        EXPECT_EQ(Setting(program, key), value) << key;
    EndProgram();
}

namespace {

struct EffectModeCase {
    const char* Value;  // nullptr: no key
    const char* Checked;
    bool PanelShown;
    const char* Saved;  // what the file holds after a save
};

class SettingsEffectMode : public ::testing::TestWithParam<EffectModeCase> {};

} // namespace

TEST_P(SettingsEffectMode, ChecksTheButtonOfTheExactValueOrNone)
{
    const EffectModeCase& c = GetParam();
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    if (c.Value)
        program.SetSetting("EffectMode", c.Value);
    else
        TIniFile(program.Folder + "Generator.ini").DeleteKey("SETTINGS", "EffectMode");
    ASSERT_TRUE(Start());
    const Ui::TMainForm& ui = *MainForm->ui();
    QStringList checked;
    for (const QRadioButton* b : {ui.ONRadioButton, ui.OFFRadioButton, ui.RNDRadioButton})
        if (b->isChecked())
            checked.append(b->objectName());
    EXPECT_EQ(checked.join(","), c.Checked);
    EXPECT_EQ(!ui.EffectPanel->isHidden(), c.PanelShown);
    MainForm->SaveSettings();
    EXPECT_EQ(Setting(program, "EffectMode"), c.Saved);
    EndProgram();
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsEffectMode,
                         ::testing::Values(EffectModeCase{"ON", "ONRadioButton", true, "ON"},
                                           EffectModeCase{"OFF", "OFFRadioButton", false, "OFF"},
                                           EffectModeCase{"RANDOM", "RNDRadioButton", false, "RANDOM"},
                                           EffectModeCase{"on", "", false, "on"},
                                           EffectModeCase{"", "", false, ""},
                                           EffectModeCase{nullptr, "OFFRadioButton", false, "OFF"}),
                         [](const auto& info) {
                             const char* v = info.param.Value;
                             return std::string(!v ? "NoKey" : !*v ? "Empty" : v[0] == 'o' ? "LowerCaseOn" : v);
                         });

TEST(Settings, FullScreenOffHidesTheManualOptionAndSavesItOff)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    program.SetSetting("Fullscreen", "false");
    program.SetSetting("Manuell", "TRUE");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(MainForm->ui()->FullscreenCheckBox->isChecked());
    EXPECT_TRUE(MainForm->ui()->ManuellCheckBox->isChecked());
    EXPECT_TRUE(MainForm->ui()->ManuellCheckBox->isHidden());
    MainForm->SaveSettings();
    EXPECT_EQ(Setting(program, "Manuell"), "FALSE");
    EndProgram();
}

TEST(Settings, EffectLinesGoOntoThePreviewOnePropertyAfterTheOther)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    kvtest::WriteFile(program.Folder + "Effects.ini",
                      "2005;2;5;1;3\r\n"
                      "2010;x;7;2;1\r\n"
                      "2010;4;7;2;y\r\n"
                      "1005;4;7;2;1\r\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(MainForm->ui()->SpinEdit1->maximum(), 4);
    TLEADImage& image = *MainForm->ui()->LEADImage1;
    image.setWandColor(clRed);

    MainForm->ApplyEffectLine(1);
    EXPECT_EQ(image.PaintEffect(), 2005);
    EXPECT_EQ(image.EffectDelay(), 2);
    EXPECT_EQ(image.EffectGrain(), 5);
    EXPECT_EQ(image.PaintMaxPasses(), 1);
    EXPECT_EQ(image.WandSize(), 3);
    EXPECT_EQ(image.WandColor(), clBlack);
    EXPECT_FALSE(image.BackErase());

    // A word that is no number stops there: what came before stays set, BackErase stays on.
    EXPECT_THROW(MainForm->ApplyEffectLine(2), EConvertError);
    EXPECT_TRUE(image.BackErase());
    EXPECT_EQ(image.EffectDelay(), 2);
    EXPECT_EQ(image.PaintEffect(), 2005);
    EXPECT_THROW(MainForm->ApplyEffectLine(3), EConvertError);
    EXPECT_EQ(image.EffectDelay(), 4);
    EXPECT_EQ(image.EffectGrain(), 7);
    EXPECT_EQ(image.PaintMaxPasses(), 2);
    EXPECT_EQ(image.PaintEffect(), 2010);
    EXPECT_EQ(image.WandSize(), 3);
    // The picture control refuses an effect number outside its sets.
    EXPECT_THROW(MainForm->ApplyEffectLine(4), ELeadImageError);
    EXPECT_EQ(image.PaintEffect(), 2010);
    EXPECT_THROW(MainForm->ApplyEffectLine(5), EStringListError);
    EXPECT_THROW(MainForm->ApplyEffectLine(0), EStringListError);
    EndProgram();
}

TEST(Settings, TheEffectPreviewShowsEachChoiceAsATransitionBetweenThePreviewPictures)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    QStringList lines;
    for (int n = 0; n < 130; ++n)
        lines << QString("%1;0;%2;1;0").arg(2000 + n).arg(1 + n % 5);
    kvtest::WriteFile(program.Folder + "Effects.ini", (lines.join("\n") + "\n").toUtf8());
    ASSERT_TRUE(WritePreviewPictures(program.Folder));
    ASSERT_TRUE(Start());
    QSpinBox& spin = *MainForm->ui()->SpinEdit1;
    TLEADImage& image = *MainForm->ui()->LEADImage1;
    EXPECT_EQ(spin.maximum(), 130);

    spin.setValue(7);
    EXPECT_EQ(MainForm->EffectNumber, 7);
    EXPECT_EQ(image.PaintEffect(), 2006);
    EXPECT_EQ(image.EffectGrain(), 2);
    EXPECT_EQ(image.PaintSizeMode(), TLEADImage::smFit);
    const QString first = QFileInfo(image.LoadedFileName()).fileName();
    EXPECT_TRUE(first == "Preview1.jpg" || first == "Preview2.jpg") << first.toStdString();

    // Showing it again loads the other picture, so the effect plays once more.
    MainForm->ui()->ShowAgainButton->click();
    const QString second = QFileInfo(image.LoadedFileName()).fileName();
    EXPECT_NE(second, first);
    EXPECT_EQ(image.PaintEffect(), 2006);

    // Numbers above 127 become 127.
    spin.setValue(129);
    EXPECT_EQ(spin.value(), 127);
    EXPECT_EQ(MainForm->EffectNumber, 127);
    EXPECT_EQ(image.PaintEffect(), 2126);

    // A missing preview picture is passed over without a message.
    ASSERT_TRUE(QFile::remove(program.Folder + "Preview1.jpg"));
    ASSERT_TRUE(QFile::remove(program.Folder + "Preview2.jpg"));
    spin.setValue(3);
    EXPECT_EQ(image.PaintEffect(), 2002);
    EndProgram();
}

TEST(Settings, EveryLineOfTheShippedEffectListPlaysOnThePreview)
{
    ProgramFixture program("GERMAN");
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(WritePreviewPictures(program.Folder));
    ASSERT_TRUE(Start());
    QSpinBox& spin = *MainForm->ui()->SpinEdit1;
    TLEADImage& image = *MainForm->ui()->LEADImage1;
    ASSERT_EQ(spin.maximum(), 127);
    MainForm->ui()->ONRadioButton->setChecked(true);
    image.resize(280, 210);  // as laid out on the tab
    image.setSkipEffectDelay(true);
    image.setEnableProgressEvent(true);
    int reports = 0, hundreds = 0;
    image.OnStatus = [&](QObject*, int percent) {
        ++reports;
        hundreds += percent == 100;
    };
    spin.setValue(2);
    for (int n = 1; n <= 127; ++n) {
        SCOPED_TRACE(n);
        spin.setValue(n);
        EXPECT_EQ(MainForm->EffectNumber, n);
        reports = hundreds = 0;
        image.Refresh();  // the transition to the picture just loaded
        EXPECT_EQ(reports, 64);
        EXPECT_EQ(hundreds, 1);
    }
    EndProgram();
}
