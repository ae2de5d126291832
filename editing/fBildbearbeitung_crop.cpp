// The editor's crop panel: the free crop, the crop to a print format with the rectangle drawn
// on the view in the format's side ratio, the minimum size each format needs for a good
// print, and the cut to the marked region.
#include "editing/fBildbearbeitung.h"
#include "editing/EditorInternal.h"

#include "imaging/LEADImage.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Files.h"
#include "ui_fBildbearbeitung.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

constexpr TColor kWhite = 0xFFFFFF;

// One print format: the side ratio (short : long) and the smallest side, in pixels, that the
// format needs for a good print (the width when lying, the height when upright).
struct TPrintFormat {
    QRadioButton* Ui::TBildbeaerbeitungForm::*Button;
    const char* Name;
    int Short, Long;
    int Minimum;
};

constexpr TPrintFormat kPrintFormats[] = {
    {&Ui::TBildbeaerbeitungForm::RadioButton9_13, "9x13", 9, 13, 640},
    {&Ui::TBildbeaerbeitungForm::RadioButton10_15, "10x15", 10, 15, 768},
    {&Ui::TBildbeaerbeitungForm::RadioButton13_18, "13x18", 13, 18, 1280},
    {&Ui::TBildbeaerbeitungForm::RadioButton20_30, "20x30", 20, 30, 1520},
};

// The checked format, or null for the free crop.
const TPrintFormat* CheckedFormat(const Ui::TBildbeaerbeitungForm& ui)
{
    for (const TPrintFormat& format : kPrintFormats)
        if ((ui.*format.Button)->isChecked())
            return &format;
    return nullptr;
}

// The height that goes with width w; the division cuts towards zero.
int FormatHeight(const TPrintFormat& format, bool horizontal, int w)
{
    return horizontal ? w * format.Short / format.Long : w * format.Long / format.Short;
}

// A region left from earlier marking is not part of a new one.
void ForgetMarking(TLEADImage& view)
{
    if (view.HasRgn())
        view.FreeRgn();
}

void ShowCropPanel(Ui::TBildbeaerbeitungForm& ui)
{
    ui.EffectsPanel->hide();
    ui.RedeyePanel->hide();
    ui.ZuschneidenPanel->show();
}

} // namespace

void TBildbeaerbeitungForm::BindCropAndRedEye()
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    FreeCrop = [this] { Image9Click(); };
    PrintFormatCrop = [this] { Image11Click(); };
    RedEye = [this] { Image19Click(); };
    Bind(ui.AusfuehrenBitBtn, &QPushButton::clicked, &TBildbeaerbeitungForm::AusfuehrenBitBtnClick);
    Bind(ui.BitBtn4, &QPushButton::clicked, &TBildbeaerbeitungForm::BitBtn4Click);
    Bind(ui.DoBitBtn, &QPushButton::clicked, &TBildbeaerbeitungForm::DoBitBtnClick);
    Bind(ui.BitBtn3, &QPushButton::clicked, &TBildbeaerbeitungForm::BitBtn3Click);
    Bind(ui.RoteAugenHelpLabel, &QLabel::linkActivated, [this] { RoteAugenHelpLabelClick(); });
    Bind(ui.ThersholdTrackBar, &QSlider::valueChanged, [this] { EyeThreshold = m_ui->ThersholdTrackBar->value(); });
    Bind(ui.LighnessTrackBar, &QSlider::valueChanged, [this] { EyeLightness = m_ui->LighnessTrackBar->value(); });
    ui.ComboBox1->setCurrentIndex(0);
    EyeThreshold = ui.ThersholdTrackBar->value();
    EyeLightness = ui.LighnessTrackBar->value();

    // The print-format rectangle follows the control's own handling of the same events.
    TLEADImage* view = ui.BildbViewLEADImage;
    view->OnMouseDown = [this, before = view->OnMouseDown](QObject* sender, TMouseButton button, TShiftState shift,
                                                           int x, int y) {
        if (before)
            before(sender, button, shift, x, y);
        if (button == mbLeft)
            Guard([&] { CropMouseDown(x, y); });
    };
    view->OnMouseMove = [this, before = view->OnMouseMove](QObject* sender, TShiftState shift, int x, int y) {
        if (before)
            before(sender, shift, x, y);
        Guard([&] { CropMouseMove(x, y); }, TGuardMode::Queue);
    };
    view->OnMouseUp = [this, before = view->OnMouseUp](QObject* sender, TMouseButton button, TShiftState shift,
                                                       int x, int y) {
        if (before)
            before(sender, button, shift, x, y);
        Guard([&] { CropMouseUp(); });
    };
}

// ---- the two entry buttons ----------------------------------------------------------------------
// Both run after the button's own preparation (marking reset, Temp.jpg written).

namespace {

// The crop panel with the rectangle tool and the moving outline; the format boxes only for
// the print-format crop.
void StartCropMarking(TBildbeaerbeitungForm& form, bool formats)
{
    Ui::TBildbeaerbeitungForm& ui = *form.ui();
    TLEADImage* view = ui.BildbViewLEADImage;
    form.ResetMarking();
    ForgetMarking(*view);
    ui.XLabel->clear();
    ui.ZoomPanel->hide();
    form.MarkTool = 1;
    view->RegionTool = 1;
    ShowCropPanel(ui);
    view->SetRgnFrameType(2);
    view->setCursor(crCross);
    ui.FormatAnpassungGroupBox1->setVisible(formats);
    ui.FormatAnpassungGroupBox2->setVisible(formats);
}

} // namespace

void TBildbeaerbeitungForm::Image9Click()
{
    m_ui->RadioButton_Frei->setChecked(true);
    StartCropMarking(*this, false);
}

void TBildbeaerbeitungForm::Image11Click()
{
    if (ShowCropTip && !FileExists(ProgramFolder + QStringLiteral("NoZuschneidenTip.ini")))
        ShowCropTip();
    if (!CheckedFormat(*m_ui))
        m_ui->RadioButton9_13->setChecked(true);
    StartCropMarking(*this, true);
}

// ---- the rectangle in the format's ratio ---------------------------------------------------------

void TBildbeaerbeitungForm::CropMouseDown(int x, int y)
{
    // Only while the crop panel is up: elsewhere the mouse pans the picture.
    if (m_ui->ZuschneidenPanel->isHidden())
        return;
    m_cropX0 = x;
    m_cropY0 = y;
    m_cropW = 0;
    m_cropH = 0;
    m_cropDragging = true;
}

void TBildbeaerbeitungForm::CropMouseMove(int x, int y)
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    if (!m_cropDragging || ui.ZuschneidenPanel->isHidden())
        return;
    ui.XLabel->clear();
    const TPrintFormat* format = CheckedFormat(ui);
    if (!format)
        return;  // the control's own rectangle tool marks the region
    TLEADImage* view = ui.BildbViewLEADImage;
    m_cropW = x - m_cropX0;
    m_cropH = FormatHeight(*format, ui.RadioButtonHor->isChecked(), m_cropW);
    // Left and down, or right and up: the rectangle follows the pointer vertically.
    if ((x < m_cropX0 && y > m_cropY0) || (x > m_cropX0 && y < m_cropY0))
        m_cropH = -m_cropH;
    const int viewWidth = view->viewport()->width();
    const int viewHeight = view->viewport()->height();
    m_cropValid = x != 0 && y != 0 && x < viewWidth && y < viewHeight;
    const int x1 = m_cropX0 + m_cropW;
    const int y1 = m_cropY0 + m_cropH;
    if (x1 < 0 || y1 < 0 || x1 > viewWidth || y1 > viewHeight)
        m_cropValid = false;
    // Neither corner may leave the picture as shown: a rectangle reaching past its edge would
    // be cut there and lose the format's ratio.
    const int left = view->DstLeft(), top = view->DstTop();
    const int right = left + view->DstWidth(), bottom = top + view->DstHeight();
    const auto onPicture = [&](int px, int py) { return px >= left && px <= right && py >= top && py <= bottom; };
    if (!onPicture(m_cropX0, m_cropY0) || !onPicture(x1, y1))
        m_cropValid = false;
    SetCropRegion();
}

void TBildbeaerbeitungForm::CropMouseUp()
{
    if (!m_cropDragging)
        return;
    m_cropDragging = false;
    if (!m_ui->ZuschneidenPanel->isHidden() && CheckedFormat(*m_ui))
        SetCropRegion();
}

void TBildbeaerbeitungForm::SetCropRegion()
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    if (m_cropValid)
        view->SetRgnRect(m_cropX0, m_cropY0, m_cropW, m_cropH, 1);
    else
        view->SetRgnRect(0, 0, 0, 0, 1);
    if (view->HasRgn())
        m_ui->XLabel->setText(QStringLiteral("Zuschnitt: %1x%2 Pixel").arg(view->RgnWidth()).arg(view->RgnHeight()));
}

// ---- the cut ----------------------------------------------------------------------------------------

void TBildbeaerbeitungForm::AusfuehrenBitBtnClick()
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    TLEADImage* view = ui.BildbViewLEADImage;
    const bool hasRegion = view->BitmapWidth() > 0 && view->HasRgn();
    if (const TPrintFormat* format = CheckedFormat(ui)) {
        const bool horizontal = ui.RadioButtonHor->isChecked();
        const int side = !hasRegion ? 0 : horizontal ? view->RgnWidth() : view->RgnHeight();
        if (side < format->Minimum) {
            MessageDlg(QStringLiteral("Um gute %1 Fotoabzüge zu erhalten sollte das zugeschnittene Bild eine %2 von "
                                      "%3 Pixel haben! ")
                           .arg(QLatin1String(format->Name),
                                horizontal ? QStringLiteral("Mindestbreite") : QStringLiteral("Mindesthöhe"))
                           .arg(format->Minimum),
                       mtInformation, {mbOK});
            return;
        }
    }
    if (!hasRegion) {
        MessageDlg(QStringLiteral("Sie müssen zuerst einem Bereich markieren! Ziehen Sie hierzu mit gedrückter "
                                  "Maustaste über das Bild!"),
                   mtInformation, {mbOK});
        return;
    }
    TEditorBusy busy;
    ApplyChange([&] {
        CutToRegion();
        view->ForceRepaint();
        DropFloater();
        SaveTemp();
        view->ForceRepaint();
        ui.RedeyePanel->hide();
        ui.ZuschneidenPanel->hide();
        ui.EffectsPanel->show();
        ui.ZoomPanel->show();
    });
    m_cropX0 = m_cropY0 = m_cropW = m_cropH = 0;
    m_cropValid = false;
    m_cropDragging = false;
    m_panned = false;
}

void TBildbeaerbeitungForm::CutToRegion()
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    TLEADImage* view = ui.BildbViewLEADImage;
    TLEADImage* temp = ui.TempLEADImage;
    const int left = view->RgnLeft(), top = view->RgnTop();
    const int width = view->RgnWidth(), height = view->RgnHeight();
    view->setAutoRepaint(false);
    struct TRepaintBack {
        TLEADImage* view;
        ~TRepaintBack() { view->setAutoRepaint(true); }
    } repaintBack{view};
    // A white picture of the region's bounding rectangle; the region, moved to its corner,
    // limits the copy of the view's pixels to the region itself.
    temp->setBitmap(view->Bitmap());
    temp->FreeRgn();
    temp->Size(width, height, 0);
    temp->Fill(kWhite);
    TLEADImage::TRgnHandle region = view->GetRgnHandle();
    temp->SetRgnHandle(region, -left, -top, 1);
    view->DeleteRgnHandle(region);
    view->FreeRgn();
    temp->Combine(0, 0, width, height, view->Bitmap(), left, top, 800);
    temp->FreeRgn();
    if (ViewFloater(*view))
        view->setFloater(nullptr);
    view->setBitmap(temp->Bitmap());
}

void TBildbeaerbeitungForm::BitBtn4Click()
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    TLEADImage* view = ui.BildbViewLEADImage;
    ui.RedeyePanel->hide();
    ui.ZuschneidenPanel->hide();
    ui.EffectsPanel->show();
    view->setAutoFloater(false);
    view->SetRgnFrameType(0);
    SavedFrameType = 0;
    ForgetMarking(*view);
    view->setCursor(crCross);
    ui.ZoomPanel->show();
}
