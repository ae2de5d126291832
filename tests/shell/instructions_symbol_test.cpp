// The instructions window after each output: the symbol that its text announces ("You will
// recognise your result by this symbol:") where the show is made for the PC, and neither text
// nor symbol where an output hides them.
#include "MainWindowTestSupport.h"

#include "output/fExport.h"
#include "shell/fShortHelp.h"
#include "shell/fWizardMake.h"
#include "ui_fExport.h"
#include "ui_fShortHelp.h"
#include "ui_fWizardMake.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;
using kvtest::WriteFile;

class InstructionsSymbol : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        WriteFile(program.Folder + "diashow/Diashow-Player", "#!/bin/sh\n");
        QFile::setPermissions(program.Folder + "diashow/Diashow-Player",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        WriteFile(program.Folder + "NoWer.ini", "");
        WriteFile(program.Folder + "NoZuschneidenTip2.ini", "");
        ASSERT_TRUE(Start());
        MainForm->OpenDiashowFolder("Archive_0001");
        MainForm->SetDiashowMenusEnabled(true);
        MainForm->show();
    }
    void TearDown() override { CloseAndEnd(); }

    // What the instructions window showed when it came up.
    struct Shown {
        bool label = false, symbol = false;
        QImage picture;
    };
    void ExpectInstructions(Shown& shown)
    {
        kvtest::Ui().ExpectModal("TAnweisungForm", mrOk, [&](TForm&) {
            const Ui::TAnweisungForm& ui = *AnweisungForm->ui();
            shown.label = ui.IconLabel->isVisible();
            shown.symbol = ui.IconImage->isVisible();
            shown.picture = ui.IconImage->pixmap().toImage();
        });
    }

    ProgramFixture program;
};

} // namespace

TEST_F(InstructionsSymbol, ThePcShowShowsTheDesktopEntrysIconAndOtherOutputsNeither)
{
    // The slideshow's desktop entry with an icon of its own (a red square).
    const QString icon = kvtest::MakeTempFolder("icon") + "player.png";
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(icon));
    WriteFile(TAnweisungForm::DesktopEntryPath(), "[Desktop Entry]\nType=Application\nName=Diashow-Player\nIcon=" +
                                                      icon.toUtf8() + "\nExec=true\n");

    struct Case {
        const char* output;
        std::function<void()> prior;  // the windows that come before the instructions
        std::function<void()> make;
        bool symbol;
    } cases[] = {
        {"PC show", [] { MakeWizzard->ui()->PCRadioButton->setChecked(true); },
         [] { MainForm->MakeDiashowBitBtnClick(); }, true},
        {"photo lab export", [] { kvtest::Ui().ExpectModal("TExportForm", mrOk); },
         [] {
             MakeWizzard->ui()->FotoLaborRadioButton->setChecked(true);
             MainForm->RunMakeWizardChoice();
         },
         false},
        {"PC show again", [] { MakeWizzard->ui()->PCRadioButton->setChecked(true); },
         [] { MainForm->MakeDiashowBitBtnClick(); }, true},
        {"HTML gallery", [] { kvtest::Ui().ExpectModal("THTMLForm", mrCancel); },
         [] { MainForm->MakeHTMLGallery(); }, false},
    };
    for (const Case& c : cases) {
        Shown shown;
        c.prior();
        ExpectInstructions(shown);
        c.make();
        EXPECT_EQ(kvtest::Ui().Pending(), 0u) << c.output;
        EXPECT_EQ(shown.label, c.symbol) << c.output << ": the text";
        EXPECT_EQ(shown.symbol, c.symbol) << c.output << ": the symbol";
        if (c.symbol) {
            ASSERT_FALSE(shown.picture.isNull()) << c.output;
            const QColor middle = shown.picture.pixelColor(shown.picture.width() / 2, shown.picture.height() / 2);
            EXPECT_EQ(middle, QColor(Qt::red)) << c.output << ": the entry's own icon";
        }
        kvtest::Ui().Reset();
    }
}

TEST(InstructionsSymbolOf, AnEntryWithoutItsOwnIconShowsAProgramIcon)
{
    const QString entry = kvtest::MakeTempFolder("desktop") + "Slideshow-Player.desktop";
    WriteFile(entry, "[Desktop Entry]\nType=Application\nName=Slideshow-Player\nExec=true\n");
    EXPECT_FALSE(TAnweisungForm::DesktopEntryIcon(entry).pixmap(48).isNull());
    EXPECT_FALSE(TAnweisungForm::DesktopEntryIcon(entry + ".missing").pixmap(48).isNull());
}
