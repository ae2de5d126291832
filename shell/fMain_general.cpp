// The main window's activation, the general settings tab (drive, tips) and the look of the
// show on the slideshow settings tab (colours, text offset).
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Files.h"
#include "shell/core/Language.h"
#include "shell/fMain_internal.h"
#include "shell/fTip.h"
#include "ui_fMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

void TMainForm::BindGeneralEvents()
{
    Bind(m_ui->Allgemein1, &QAction::triggered, &TMainForm::Allgemein1Click);
    Bind(m_ui->Uebernehmen2BitBtn, &QPushButton::clicked, &TMainForm::Uebernehmen2BitBtnClick);
    // A drive chosen by the user (never by code) is a change of the archive's drive.
    Bind(m_ui->DriveComboBox1, &QComboBox::activated, [this](int) {
        DriveComboBox1Click();
        DriveComboBox1Change();
    });
    Bind(m_ui->BKGColorButton, &QPushButton::clicked, &TMainForm::BKGColorButtonClick);
    Bind(m_ui->TextcolorButton, &QPushButton::clicked, &TMainForm::TextcolorButtonClick);
    Bind(m_ui->SpinEdit2, &QSpinBox::valueChanged, &TMainForm::SpinEdit2Change);
    Bind(m_ui->TipsCheckBox, &QCheckBox::toggled, &TMainForm::TipsCheckBoxClick);
}

void TMainForm::FormActivate()
{
    // Once per run, at the first activation: a tip after every modal window closed would keep
    // the user from ever getting past it.
    if (m_tipOffered)
        return;
    m_tipOffered = true;
    if (!FileExists(ProgramFolder + QStringLiteral("NoTip.ini")))
        TipForm->ShowModal();
}

void TMainForm::Allgemein1Click()
{
    QTabWidget& pages = *m_ui->PageControl1;
    pages.setTabVisible(pages.indexOf(m_ui->TabSheet2), true);
    pages.setCurrentWidget(m_ui->TabSheet2);
}

void TMainForm::Uebernehmen2BitBtnClick()
{
    SaveSettings();
    // Without an open slideshow (a start that stopped early) there is nothing to save.
    if (!DiashowFolder.isEmpty())
        SaveDiashow(false);
    if (DriveChanged) {
        DriveChanged = false;
        if (MessageDlg(GetLangText(10021), mtConfirmation, {mbYes, mbNo}) == mrYes) {
            MessageDlg(GetLangText(10022), mtInformation, {mbOK});
            SaveSettings();
            close();
            return;
        }
        // No: the archive stays on the drive the program started with, in the box and in
        // Generator.ini (which the first save above already changed).
        ArchiveDrive = m_startDrive;
        SelectDrive(ArchiveDrive);
        SaveSettings();
    }
    QTabWidget& pages = *m_ui->PageControl1;
    pages.setTabVisible(pages.indexOf(m_ui->TabSheet2), false);
    // The picture tab; while it is hidden (no slideshow open, or a show being made) the
    // first tab that shows.
    int page = pages.indexOf(m_ui->TabSheet1);
    if (!pages.isTabVisible(page)) {
        page = 0;
        while (page + 1 < pages.count() && !pages.isTabVisible(page))
            ++page;
    }
    pages.setCurrentIndex(page);
}

void TMainForm::DriveComboBox1Click()
{
    if (!DriveChanged)
        m_startDrive = ArchiveDrive;
    DriveChanged = true;
}

void TMainForm::DriveComboBox1Change()
{
    const QString letter = m_ui->DriveComboBox1->currentData().toString();
    if (!letter.isEmpty())
        ArchiveDrive = letter;
}

namespace {

// Asks for a colour starting at color; true and the new colour in color on OK.
bool AskColor(TColor& color)
{
    TColorDialog dialog;
    dialog.Color = color;
    if (!dialog.Execute())
        return false;
    color = dialog.Color;
    return true;
}

} // namespace

void TMainForm::BKGColorButtonClick()
{
    if (AskColor(BKGColor))
        SetPanelColor(*m_ui->BKGColorPanel, BKGColor);
}

void TMainForm::TextcolorButtonClick()
{
    if (AskColor(TextColor))
        SetPanelColor(*m_ui->TextColorPanel, TextColor);
}

void TMainForm::SpinEdit2Change()
{
    TextOffset = m_ui->SpinEdit2->value();
}

void TMainForm::TipsCheckBoxClick()
{
    // Only ticking the box turns the tips back on; taking the tick away does nothing.
    if (!m_ui->TipsCheckBox->isChecked())
        return;
    DeleteFile(ProgramFolder + QStringLiteral("NoTip.ini"));
    TipForm->ShowModal();
}
