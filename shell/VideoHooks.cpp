// The video CD production's view of the main window: what the wizard and the producer read
// and the windows they hand over to.
#include "shell/VideoHooks.h"
#include "shell/Windows.h"

#include "controls/HTMListBox.h"
#include "output/VideoContext.h"
#include "output/fDVD.h"
#include "output/fWizardDVD.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/fMain.h"
#include "shell/fShortHelp.h"
#include "ui_fMain.h"
#include "ui_fShortHelp.h"

void InstallVideoHooks()
{
    VideoHooks.Context = [] {
        TVideoContext c;
        TMainForm& m = *MainForm;
        c.ProgramFolder = AddBackslash(m.ProgramFolder);
        c.ArchiveRoot = AddBackslash(m.ArchiveRoot);
        c.DiashowFolder = m.DiashowFolder;
        c.DiashowTitle = m.DiashowTitle;
        c.DiashowTime = m.DiashowTime;
        c.VideoFolder = AddBackslash(m.VideoFolder);
        c.EncoderFolder = AddBackslash(m.EncoderFolder);
        c.LanguageName = LanguageName;
        c.Drive = m.ArchiveDrive.isEmpty() ? QLatin1Char('C') : m.ArchiveDrive.at(0);
        c.PictureCount = m.DiashowListBox ? m.DiashowListBox->Count() : 0;
        c.VideoFrameRate = m.VideoFrameRate;
        c.TransitionFrames = m.TransitionFrames;
        c.DrawText = m.ui()->TextCheckBox->isChecked();
        c.TransitionsOff = m.ui()->OFFRadioButton->isChecked();
        c.RandomEffect = m.ui()->RNDRadioButton->isChecked();
        c.EffectNumber = m.ui()->SpinEdit1->value();
        c.TextColor = m.TextColor;
        c.BKGColor = m.BKGColor;
        c.TextOffset = m.TextOffset;
        c.AudioTitles = m.ui()->AudioListBox->Items().ToStringList();
        return c;
    };
    VideoHooks.SavePicturesIni = [] { MainForm->SavePicturesIni(); };
    VideoHooks.ShowInstructions = [](const QString& make, const QString& sub, bool burnButton, bool icon) {
        Ui::TAnweisungForm& hint = *AnweisungForm->ui();
        hint.NeroBitBtn->setVisible(burnButton);
        hint.IconImage->setVisible(icon);
        hint.IconLabel->setVisible(icon);
        hint.MakeLabel->setText(make);
        hint.MakeSubLabel->setText(sub);
        AnweisungForm->ShowModal();
    };
    MainForm->ShowVideoWizard = [] { DVDWizardForm->ShowModal(); };
}
