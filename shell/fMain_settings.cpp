// Generator.ini on the settings controls, and the effect line of the effect preview.
#include "shell/fMain.h"

#include "platform/system/DriveMap.h"
#include "shell/core/Helpers.h"
#include "shell/core/Settings.h"
#include "ui_fMain.h"

#include <QRadioButton>

namespace {

// Checks the button of mode, or none (the buttons exclude each other, so unchecking all
// needs their exclusion off for a moment).
void CheckEffectMode(Ui::TMainForm& ui, TEffectMode mode)
{
    QRadioButton* const buttons[] = {ui.ONRadioButton, ui.OFFRadioButton, ui.RNDRadioButton};
    const TEffectMode modes[] = {TEffectMode::On, TEffectMode::Off, TEffectMode::Random};
    for (int i = 0; i < 3; ++i) {
        if (modes[i] == mode) {
            buttons[i]->setChecked(true);
            return;
        }
    }
    for (QRadioButton* button : buttons) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

TEffectMode CheckedEffectMode(const Ui::TMainForm& ui)
{
    if (ui.OFFRadioButton->isChecked())
        return TEffectMode::Off;
    if (ui.ONRadioButton->isChecked())
        return TEffectMode::On;
    if (ui.RNDRadioButton->isChecked())
        return TEffectMode::Random;
    return TEffectMode::None;
}

} // namespace

void TMainForm::LoadSettings()
{
    const TProgramSettings s = ::LoadSettings(ProgramFolder + QStringLiteral("Generator.ini"));
    DiashowTime = s.DiashowTime;
    m_ui->SecEdit->setText(s.DiashowTime);
    m_ui->EndlessPlayCheckBox->setChecked(s.EndlessPlay);
    m_ui->FullscreenCheckBox->setChecked(s.Fullscreen);
    FullscreenCheckBoxClick();
    m_ui->ManuellCheckBox->setChecked(s.Manuell);
    m_ui->TextCheckBox->setChecked(s.PictureTextVisible);
    m_ui->PictureNameCheckBox->setChecked(s.FileNameVisible);
    BKGColor = s.BKGColor;
    TextColor = s.TextColor;
    CheckEffectMode(*m_ui, s.EffectMode);
    OFFRadioButtonClick();
    m_ui->PrintPreviewCheckBox->setChecked(s.PrintPreview);
    EffectNumber = s.EffectNumber;
    m_ui->SpinEdit1->setValue(s.EffectNumber);
    TextOffset = s.TextOffset;
    m_ui->SpinEdit2->setValue(s.TextOffset);
    ArchiveDrive = s.ArchiveDrive;
    SourcePicturesPath = s.SourceFolder;
    FillDriveComboBox();
    SelectDrive(ArchiveDrive);
    m_settingsLoaded = true;
}

void TMainForm::SaveSettings()
{
    if (!m_settingsLoaded) {
        // The start stopped before the settings were read: the controls hold no settings of
        // the user's, only the drive chosen since is written.
        SaveArchiveDrive(ProgramFolder + QStringLiteral("Generator.ini"), ArchiveDrive);
        return;
    }
    TProgramSettings s;
    s.DiashowTime = DiashowTime;
    s.EndlessPlay = m_ui->EndlessPlayCheckBox->isChecked();
    s.Fullscreen = m_ui->FullscreenCheckBox->isChecked();
    s.Manuell = m_ui->ManuellCheckBox->isChecked();
    s.PictureTextVisible = m_ui->TextCheckBox->isChecked();
    s.FileNameVisible = m_ui->PictureNameCheckBox->isChecked();
    s.BKGColor = BKGColor;
    s.TextColor = TextColor;
    s.EffectMode = CheckedEffectMode(*m_ui);
    s.EffectNumber = EffectNumber;
    s.TextOffset = TextOffset;
    s.PrintPreview = m_ui->PrintPreviewCheckBox->isChecked();
    s.SourceFolder = SourcePicturesPath;
    s.ArchiveDrive = ArchiveDrive;
    ::SaveSettings(ProgramFolder + QStringLiteral("Generator.ini"), s);
}

void TMainForm::FillDriveComboBox()
{
    QComboBox& box = *m_ui->DriveComboBox1;
    box.clear();
    for (const QChar letter : DriveLetters()) {
        QString root = DriveRoot(letter);
        if (root.size() > 1 && root.endsWith(QLatin1Char('/')))
            root.chop(1);
        box.addItem(QStringLiteral("%1:  %2").arg(letter.toLower()).arg(root), QString(letter));
    }
}

void TMainForm::SelectDrive(const QString& drive)
{
    // A letter the drive map does not know selects nothing.
    m_ui->DriveComboBox1->setCurrentIndex(m_ui->DriveComboBox1->findData(drive.left(1).toUpper()));
}

void TMainForm::ApplyEffectLine(int effectNumber)
{
    TLEADImage& image = *m_ui->LEADImage1;
    image.setBackErase(true);
    // The words go in one by one, the effect after the delay, grain and passes it uses: a
    // word that is no number stops with the properties before it set.
    const QString line = (*EffectList)[effectNumber - 1];
    image.setEffectDelay(EffectLineWord(line, 2));
    image.setEffectGrain(EffectLineWord(line, 3));
    image.setPaintMaxPasses(EffectLineWord(line, 4));
    image.setPaintEffect(EffectLineWord(line, 1));
    image.setWandColor(clBlack);
    image.setWandSize(EffectLineWord(line, 5));
    image.setBackErase(false);
    image.Refresh();
}

void TMainForm::FullscreenCheckBoxClick()
{
    m_ui->ManuellCheckBox->setVisible(m_ui->FullscreenCheckBox->isChecked());
}

void TMainForm::OFFRadioButtonClick()
{
    m_ui->EffectPanel->setVisible(m_ui->ONRadioButton->isChecked());
}
