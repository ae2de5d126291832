// Making the show: saving the slideshow and the player's settings, starting the player, the
// make wizard and the table that carries its choice out.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "controls/HTMListBox.h"
#include "output/fExport.h"
#include "output/fOnlineFotoEntwicklung.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Files.h"
#include "shell/core/Archive.h"
#include "shell/core/Language.h"
#include "shell/core/PlayerData.h"
#include "shell/core/ProductInfo.h"
#include "shell/core/Settings.h"
#include "shell/fMain_internal.h"
#include "shell/fShortHelp.h"
#include "shell/fWizardMake.h"
#include "shell/fZuschneidenTip2.h"
#include "ui_fExport.h"
#include "ui_fMain.h"
#include "ui_fShortHelp.h"
#include "ui_fWizardMake.h"

#include <QProcess>
#include <QRadioButton>

// One row per choice of the make wizard, in the order the choices are carried out. Run is
// the main window's entry into the window that makes the output; a row whose window is not
// built yet has none, and its radio button stays disabled in the wizard.
const std::vector<TMainForm::TMakeChoiceRow>& TMainForm::MakeChoiceTable()
{
    static const std::vector<TMakeChoiceRow> table = {
        {"PrintRadioButton", &TMainForm::MakePrintSelected},     // print selection, then the picture list
        {"PrintAllRadioButton", &TMainForm::MakePrintAll},       // the picture list of all pictures
        {"ThumbnailRadioButton", &TMainForm::MakePrintThumbnails},  // the thumbnail sheet
        {"BetrachterRadioButton", &TMainForm::MakeViewer},       // the picture viewer
        {"FotoEntwickungRadioButton", &TMainForm::MakeOnlinePhotoExport},
        {"FotoLaborRadioButton", &TMainForm::MakePhotoLabExport},
        {"PCRadioButton", &TMainForm::MakeShowSettingsTab},
        // The video CD continues from the slideshow settings tab as the PC show does.
        {"DVDRadioButton", &TMainForm::MakeShowSettingsTab},
        {"CDROMRadioButton", &TMainForm::MakeCDROMExport},
        {"HTMLRadioButton", &TMainForm::MakeHTMLGallery},
        {"ScreenSaverRadioButton", &TMainForm::MakeScreensaver},
    };
    return table;
}

TPlayerSettings TMainForm::PlayerSettingsFromControls() const
{
    TPlayerSettings s;
    s.StopDiashowAtEnd = !m_ui->EndlessPlayCheckBox->isChecked();
    s.Fullscreen = m_ui->FullscreenCheckBox->isChecked();
    s.Manuell = m_ui->FullscreenCheckBox->isChecked() && m_ui->ManuellCheckBox->isChecked();
    s.PictureTextVisible = m_ui->TextCheckBox->isChecked();
    s.FileNameVisible = m_ui->PictureNameCheckBox->isChecked();
    s.BKGColor = int(BKGColor);
    s.TextColor = int(TextColor);
    s.EffectMode = m_ui->ONRadioButton->isChecked()    ? TEffectMode::On
                   : m_ui->RNDRadioButton->isChecked() ? TEffectMode::Random
                                                       : TEffectMode::Off;
    s.Effect = EffectNumber;
    s.TextOffset = TextOffset;
    return s;
}

QString TMainForm::PlayerPath() const
{
    return ArchiveRoot + PlayerProgramName(LanguageName);
}

void TMainForm::SaveDiashow(bool start)
{
    DiashowTitle = m_ui->TitleEdit->text();
    setWindowTitle(ProductInfo.ProductName + QStringLiteral(" - Archiv: ") + DiashowTitle);
    if (DiashowTitle.trimmed().isEmpty()) {
        MessageDlg(GetLangText(10001), mtInformation, {mbOK});
        return;
    }
    if (!DiashowListBox || DiashowListBox->Count() == 0) {
        MessageDlg(GetLangText(10002), mtInformation, {mbOK});
        return;
    }
    TBusyCursor busy;
    NumberUnlistedAudioTitles(DiashowPath());
    SavePicturesIni();
    WriteDiashowIni(DiashowPath(), TDiashowIni{DiashowTitle, DiashowTime});
    WritePlayerSettings(ArchiveRoot + QStringLiteral("Settings.ini"), PlayerSettingsFromControls());
    if (start) {
        // The player finds its data beside itself, whatever the current folder.
        const QString player = PlayerPath();
        if (!FileExists(player) || !QProcess::startDetached(player, {QStringLiteral("TEST")}, QString()))
            MessageDlg(QStringLiteral("Unable to start ") + player, mtError, {mbOK});
    }
}

void TMainForm::ShowMakingTabs(bool making)
{
    // Going back to the picture tabs leaves the slideshow settings tab without a tab click.
    if (!making)
        LeaveAudioTab();
    QTabWidget& pages = *m_ui->PageControl1;
    for (QWidget* sheet : {m_ui->TabSheet5, m_ui->TabSheet1, m_ui->TabSheet4})
        pages.setTabVisible(pages.indexOf(sheet), !making);
    pages.setTabVisible(pages.indexOf(m_ui->TabSheet3), making);
    pages.setCurrentIndex(making ? 3 : 1);
}

void TMainForm::MakeDiashowBitBtnClick()
{
    if (MakeWizzard->ui()->DVDRadioButton->isChecked()) {
        // The video takes the titles in the order the user gave them.
        LeaveAudioTab();
        if (ShowVideoWizard)
            ShowVideoWizard();
        ShowMakingTabs(false);
    } else if (MakeWizzard->ui()->PCRadioButton->isChecked()) {
        RenumberAudioTitles();
        StopAudioAndRunMakeWizard(false);
        Ui::TAnweisungForm& hint = *AnweisungForm->ui();
        hint.NeroBitBtn->hide();
        hint.MakeLabel->setText(GetLangText(4602));
        hint.MakeSubLabel->setText(GetLangText(4611));
        hint.IconImage->show();
        hint.IconLabel->show();
        SaveDiashow(true);
        AnweisungForm->ShowModal();
        ShowMakingTabs(false);
    }
}

void TMainForm::StopAudioAndRunMakeWizard(bool ask)
{
    StopAudioAndListTitles();
    if (!ask) {
        RunMakeWizardChoice();
        return;
    }
    EnableMakeChoices();
    if (MakeWizzard->ShowModal() == mrOk)
        RunMakeWizardChoice();
}

void TMainForm::EnableMakeChoices()
{
    // Only rows without a window are switched off; a choice designed disabled stays so.
    for (const TMakeChoiceRow& row : MakeChoiceTable()) {
        if (QRadioButton* radio = MakeWizzard->Choice(row.Radio); radio && !row.Run)
            radio->setEnabled(false);
    }
}

void TMainForm::RunMakeWizardChoice()
{
    AnweisungForm->ui()->IconImage->hide();
    AnweisungForm->ui()->IconLabel->hide();
    SaveSettings();
    SaveDiashow(false);
    for (const TMakeChoiceRow& row : MakeChoiceTable()) {
        const QRadioButton* radio = MakeWizzard->Choice(row.Radio);
        if (radio && radio->isChecked() && row.Run)
            (this->*row.Run)();
    }
}

void TMainForm::MakeWizardChoiceClick(const char* radioName)
{
    if (DiashowListBox && DiashowListBox->Count() > 0) {
        if (QRadioButton* radio = MakeWizzard->Choice(radioName))
            radio->setChecked(true);
        StopAudioAndRunMakeWizard(false);
        m_ui->PageControl1->setCurrentIndex(1);
    } else {
        m_ui->PageControl1->setCurrentIndex(1);
        MessageDlg(GetLangText(10010), mtInformation, {mbOK});
    }
}

// ---- the rows ---------------------------------------------------------------------------------

void TMainForm::MakeShowSettingsTab()
{
    ShowMakingTabs(true);
}

bool TMainForm::AskExportSelection(LangText label, bool cropTip)
{
    ExportForm->ui()->DoLabel->setText(label.Text());
    if (cropTip && !MarkerFileExists(ProgramFolder + QStringLiteral("NoZuschneidenTip2.ini")))
        ZuschneidenTipForm2->ShowModal();
    return ExportForm->ShowModal() == mrOk;
}

void TMainForm::ShowExportDone(LangText label)
{
    Ui::TAnweisungForm& hint = *AnweisungForm->ui();
    hint.NeroBitBtn->hide();
    hint.MakeLabel->setText(label.Text());
    hint.MakeSubLabel->setText(GetLangText(4620) + QLatin1Char(' ') + ExportFolder + QLatin1Char(' ') +
                               GetLangText(4621));
}

void TMainForm::MakeOnlinePhotoExport()
{
    if (!AskExportSelection(LangText(2604), true))
        return;
    {
        TBusyCursor busy;
        RecreateExportFolder();
        ExportToCDFolder(1);
    }
    OnlineFotoForm->ShowModal();
    m_ui->PageControl1->setCurrentIndex(1);
}

void TMainForm::MakePhotoLabExport()
{
    if (!AskExportSelection(LangText(2602), true))
        return;
    ShowExportDone(LangText(4603));
    {
        TBusyCursor busy;
        RecreateExportFolder();
        ExportToCDFolder(1);
    }
    AnweisungForm->ShowModal();
}

void TMainForm::MakeCDROMExport()
{
    if (!AskExportSelection(LangText(2602), false))
        return;
    ShowExportDone(LangText(4628));
    {
        TBusyCursor busy;
        RecreateExportFolder();
        SaveDiashow(false);
        ExportToCDFolder(0);
    }
    AnweisungForm->ShowModal();
}

void TMainForm::MakeScreensaver()
{
    SaveDiashow(false);
    InstallScreensaver();
}
