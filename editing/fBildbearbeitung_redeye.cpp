// The editor's red-eye panel: an ellipse drawn round each eye, the red inside it turned into
// the chosen eye colour, further eyes marked until "<-- Zurück".
#include "editing/fBildbearbeitung.h"
#include "editing/EditorInternal.h"

#include "imaging/LEADImage.h"
#include "platform/vcl/Dialogs.h"
#include "ui_fBildbearbeitung.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

// The eye colours of the choice box, in its order ($00BBGGRR).
constexpr TColor kEyeColours[] = {
    0x000000,  // "Pupillenfarbe (Schwarz)"
    0xA00000,  // "Blau"
    0x004000,  // "Grün"
    0x808080,  // "Grau"
    0x004080,  // "Braun"
    0x808000,  // "Blau-Grün"
};

void MarkEyes(TLEADImage& view)
{
    view.RegionTool = 3;
    view.SetRgnFrameType(2);
    view.setCursor(crCross);
}

} // namespace

void TBildbeaerbeitungForm::Image19Click()
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    TLEADImage* view = ui.BildbViewLEADImage;
    RedEyeMode = true;
    ui.RadioButton_Frei->setChecked(true);
    ResetMarking();
    if (view->HasRgn())
        view->FreeRgn();  // an earlier marking is not an eye
    ui.ZuschneidenPanel->hide();
    ui.EffectsPanel->hide();
    ui.RedeyePanel->show();
    view->Save(TempFile(), 23, 24, 4, 0);
    MarkTool = 3;
    MarkEyes(*view);
    ui.ZoomPanel->hide();
}

void TBildbeaerbeitungForm::DoBitBtnClick()
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    TLEADImage* view = ui.BildbViewLEADImage;
    if (view->BitmapWidth() <= 0 || !view->HasRgn()) {
        MessageDlg(QStringLiteral("Sie müssen zuerst einem Bereich markieren! Ziehen Sie hierzu mit gedrückter "
                                  "Maustaste über das Bild!"),
                   mtInformation, {mbOK});
        return;
    }
    const int choice = ui.ComboBox1->currentIndex();
    if (choice < 0 || choice >= int(std::size(kEyeColours))) {
        MessageDlg(QStringLiteral("Bitte wählen Sie zuerst eine Augenfarbe aus!"), mtInformation, {mbOK});
        return;
    }
    EyeColor = kEyeColours[choice];
    TEditorBusy busy;
    // The thumbnail is made again only when the panel is left ("<-- Zurück").
    ApplyChange(
        [&] {
            view->RemoveRedeye(EyeColor, ui.ThersholdTrackBar->value(), ui.LighnessTrackBar->value());
            view->ForceRepaint();
            SaveTemp();
            view->ForceRepaint();
        },
        false);
    MarkEyes(*view);
}

void TBildbeaerbeitungForm::BitBtn3Click()
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    TLEADImage* view = ui.BildbViewLEADImage;
    ui.RedeyePanel->hide();
    ui.ZuschneidenPanel->hide();
    ui.EffectsPanel->show();
    CommitChange(true);
    view->setAutoFloater(false);
    view->SetRgnFrameType(0);
    if (view->HasRgn())
        view->FreeRgn();
    MarkTool = 0;
    view->RegionTool = 0;
    view->setCursor(crCross);
    ui.ZoomPanel->show();
    RedEyeMode = false;
}

void TBildbeaerbeitungForm::RoteAugenHelpLabelClick()
{
    if (ShellOpen(ProgramFolder + QStringLiteral("help/roteaugen.html")) <= 32)
        ShowMessage(QStringLiteral(
            "Unable to start internet browser! Make sure you have it properly set-up on your system!"));
}
