// The main window's hand-offs to the image editor.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "editing/fBildbearbeitung.h"
#include "editing/fLeadEffects.h"
#include "editing/fSize.h"
#include "imaging/LEADImage.h"
#include "platform/vcl/Files.h"
#include "shell/fVerschiebenTip.h"
#include "shell/fZuschneidenTip.h"
#include "ui_fMain.h"

#include <QPushButton>

void TMainForm::BindEditor()
{
    BildbeaerbeitungForm->ProgramFolder = ProgramFolder;
    BildbeaerbeitungForm->SelectedPicture = [this] { return SelectedPicture; };
    BildbeaerbeitungForm->RefreshSelectedThumbnail = [this] { RefreshSelectedThumbnail(); };
    BildbeaerbeitungForm->MainCaption = [this] { return windowTitle(); };
    BildbeaerbeitungForm->ShowPanTip = [] { VerschiebenTipForm->ShowModal(); };
    BildbeaerbeitungForm->ShowCropTip = [] { ZuschneidenTipForm->ShowModal(); };
    LeadEffectsForm->ProgramFolder = ProgramFolder;
    SizeForm->ProgramFolder = ProgramFolder;
    Bind(m_ui->BildbearbeitungBitBtn, &QPushButton::clicked, &TMainForm::BildbearbeitungBitBtnClick);
    m_ui->ViewLEADImage->OnDblClick = [this](QObject*) { Guard([this] { ViewLEADImageDblClick(); }); };
}

bool TMainForm::SlideshowPictureCurrent() const
{
    return DiashowListBox && DiashowListBox->ItemIndex() >= 0 &&
           DiashowListBox->ItemIndex() < DiashowListBox->Items().Count();
}

void TMainForm::BildbearbeitungBitBtnClick()
{
    SelectedPicturePath();
    if (SelectedPicture.isEmpty() || !FileExists(SelectedPicture))
        return;
    BildbeaerbeitungForm->ShowModal();
}

void TMainForm::DiashowListBoxDblClick()
{
    if (SlideshowPictureCurrent())
        BildbearbeitungBitBtnClick();
}

void TMainForm::ViewLEADImageDblClick()
{
    if (m_ui->BildbearbeitungBitBtn->isEnabled() && SlideshowPictureCurrent())
        BildbearbeitungBitBtnClick();
}
