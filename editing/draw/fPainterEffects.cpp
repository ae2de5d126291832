// TPainterEffectsF: the panels, the effect tree, the bar ranges and OK / Abbrechen.
#include "editing/draw/fPainterEffects.h"

#include "editing/draw/DrawImage.h"
#include "imaging/LEADImage.h"
#include "platform/imagelib/ltkrn.h"
#include "platform/vcl/Application.h"
#include "ui_fPainterEffects.h"

#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>

#include <algorithm>
#include <cstring>

namespace {

// The strength bar per effect number 0-54: maximum, minimum, start position.
constexpr TBarRange kBarRanges[55] = {
    /* 0 */ {100, 0, 0},   /* 1 */ {255, 0, 0},   /* 2 */ {100, 0, 0},   /* 3 */ {20, 0, 0},
    /* 4 */ {30, 0, 0},    /* 5 */ {200, 0, 0},   /* 6 */ {200, 0, 0},   /* 7 */ {20, 0, 0},
    /* 8 */ {15, 3, 5},    /* 9 */ {30, 2, 15},   /* 10 */ {50, 1, 10},  /* 11 */ {100, 1, 1},
    /* 12 */ {200, 1, 15}, /* 13 */ {200, 1, 15}, /* 14 */ {10, 1, 1},   /* 15 */ {360, 0, 0},
    /* 16 */ {10, 1, 1},   /* 17 */ {400, 1, 1},  /* 18 */ {400, 1, 1},  /* 19 */ {400, 1, 1},
    /* 20 */ {400, 1, 1},  /* 21 */ {400, 1, 1},  /* 22 */ {400, 1, 1},  /* 23 */ {400, 1, 1},
    /* 24 */ {400, 1, 1},  /* 25 */ {100, 0, 0},  /* 26 */ {255, 0, 128}, /* 27 */ {255, 0, 128},
    /* 28 */ {255, 0, 128}, /* 29 */ {255, 0, 128}, /* 30 */ {255, 0, 128}, /* 31 */ {255, 0, 128},
    /* 32 */ {255, 0, 0},  /* 33 */ {255, 0, 0},  /* 34 */ {255, 0, 0},  /* 35 */ {255, 0, 0},
    /* 36 */ {255, 0, 0},  /* 37 */ {255, 0, 0},  /* 38 */ {255, 0, 0},  /* 39 */ {255, 0, 0},
    /* 40 */ {255, 0, 0},  /* 41 */ {100, 0, 0},  /* 42 */ {100, 1, 1},  /* 43 */ {100, 0, 0},
    /* 44 */ {100, 0, 0},  /* 45 */ {127, 5, 19}, /* 46 */ {100, 3, 3},  /* 47 */ {100, 3, 3},
    /* 48 */ {100, 3, 3},  /* 49 */ {100, 3, 3},  /* 50 */ {100, 3, 3},  /* 51 */ {100, 1, 1},
    /* 52 */ {100, 0, 0},  /* 53 */ {255, 0, 1},  /* 54 */ {255, 1, 1},
};

// The effect tree: effect number and caption, in tree order.
struct TTreeEntry {
    int Number;
    const char* Caption;
};
const TTreeEntry kTree[] = {
    {16, "Licht-Teilen"},     {25, "Relief"},       {41, "Schräge"},        {42, "Plasma"},
    {53, "Solarisieren"},     {54, "Poster-Effekt"}, {3, "Unschärfe Gauss "}, {5, "Rauschen in Farbe"},
    {6, "Rauschen Schwarz-Weiß"}, {8, "Bewegung"},  {9, "Mosaik"},          {10, "Wirbel"},
    {11, "Fischauge"},        {26, "Rot"},          {27, "Grün"},           {28, "Blau"},
    {29, "XRot"},             {30, "XGrün"},        {31, "XBlau"},          {49, "Kacheln geteilt"},
    {50, "Kachlen überlappend"},
};

// A 24-bit copy of bitmap for the picture control.
void ShowBitmapIn(TLEADImage* control, const TBitmap& bitmap)
{
    if (bitmap.Empty()) {
        control->setBitmap(nullptr);
        return;
    }
    TBitmap copy = bitmap;
    copy.SetPixelFormat(pf24bit);
    LBitmap lb;
    if (L_CreateBitmap(&lb, copy.Width(), copy.Height(), 24) != LE_SUCCESS)
        return;
    std::uint8_t* bits = lb.BeginWrite();
    for (int y = 0; bits && y < copy.Height(); ++y)
        std::memcpy(lb.WriteRow(bits, y), copy.ScanLine(y), std::size_t(copy.Width()) * 3);
    control->setBitmap(&lb);
    L_FreeBitmap(&lb);
}

} // namespace

const TBarRange* BarRangeOf(int effectNumber)
{
    return effectNumber >= 0 && effectNumber <= 54 ? &kBarRanges[effectNumber] : nullptr;
}

TPainterEffectsF::TPainterEffectsF(QWidget* owner) : TForm(owner), m_ui(std::make_unique<Ui::TPainterEffectsF>())
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint);
    Load([this] { m_ui->setupUi(this); });
}

TPainterEffectsF::~TPainterEffectsF() = default;

void TPainterEffectsF::FormCreate()
{
    for (const TTreeEntry& e : kTree) {
        auto* item = new QTreeWidgetItem(m_ui->ETree, {QString::fromUtf8(e.Caption)});
        item->setData(0, Qt::UserRole, e.Number);
    }
}

void TPainterEffectsF::BindEvents()
{
    Bind(m_ui->ETree, &QTreeWidget::itemClicked, &TPainterEffectsF::EListClick);
    for (QScrollBar* bar : {m_ui->EBar, m_ui->cxbar, m_ui->cybar, m_ui->extrabar})
        Bind(bar, &QScrollBar::valueChanged, &TPainterEffectsF::EBarChange);
    for (QSlider* bar : {m_ui->HelligkeitTrackBar, m_ui->FarbeTrackBar, m_ui->KontrastTrackBar}) {
        Bind(bar, &QSlider::valueChanged, [this, bar] { TrackBarChange(bar->isSliderDown()); });
        // A drag only marks the adjustment pending; letting go applies it.
        Bind(bar, &QSlider::sliderReleased, [this] { TrackBarChange(false); });
    }
    Bind(m_ui->ZuruecksetzenButton, &QPushButton::clicked, &TPainterEffectsF::ZuruecksetzenButtonClick);
    Bind(m_ui->SaveBitBtn, &QPushButton::clicked, &TPainterEffectsF::SaveBitBtnClick);
    Bind(m_ui->AbortBitBtn, &QPushButton::clicked, &TPainterEffectsF::AbortBitBtnClick);
}

void TPainterEffectsF::SetBarQuietly(QScrollBar* bar, int min, int max, int position)
{
    const QSignalBlocker block(bar);
    bar->setMinimum(min);
    bar->setMaximum(max);
    bar->setValue(position);
}

void TPainterEffectsF::SetBarPositionQuietly(QScrollBar* bar, int position)
{
    const QSignalBlocker block(bar);
    bar->setValue(position);
}

void TPainterEffectsF::SetBarRange(int max, int min, int position)
{
    SetBarQuietly(m_ui->EBar, min, std::max(min, max), position);
    EBarChange();
}

int TPainterEffectsF::SelectedEffect() const
{
    const QTreeWidgetItem* item = m_ui->ETree->currentItem();
    if (!item || !item->isSelected())
        return -1;
    return item->data(0, Qt::UserRole).toInt();
}

bool TPainterEffectsF::SelectEffect(int number)
{
    for (int i = 0; i < m_ui->ETree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_ui->ETree->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toInt() == number) {
            const QSignalBlocker block(m_ui->ETree);
            m_ui->ETree->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

void TPainterEffectsF::EListClick()
{
    const int number = SelectedEffect();
    if (number < 0)
        return;
    m_ui->SaveBitBtn->setEnabled(true);
    if (const TBarRange* r = BarRangeOf(number))
        SetBarRange(r->Max, r->Min, r->Position);
}

void TPainterEffectsF::EBarChange()
{
    const int number = SelectedEffect();
    if (number < 0)
        return;
    m_ui->SaveBitBtn->setEnabled(true);
    if (number <= 54 && DrawImage && DrawImage->RunEffect(number)) {
        ShowPreview();
        if (OnEffectPreviewed)
            OnEffectPreviewed(number, m_ui->EBar->value());
    }
}

void TPainterEffectsF::ShowPreview()
{
    ShowBitmapIn(m_ui->LEADImage1, m_ui->Image->Picture());
}

const TBitmap& TPainterEffectsF::PreviewPicture() const
{
    return m_ui->Image->Picture();
}

void TPainterEffectsF::SetTrackBars(int brightness, int color, int contrast)
{
    {
        const QSignalBlocker b1(m_ui->HelligkeitTrackBar), b2(m_ui->FarbeTrackBar), b3(m_ui->KontrastTrackBar);
        m_ui->HelligkeitTrackBar->setValue(brightness);
        m_ui->FarbeTrackBar->setValue(color);
        m_ui->KontrastTrackBar->setValue(contrast);
    }
    BrightnessValue = brightness;
    ColorValue = color;
    ContrastValue = contrast;
    m_ui->HelligkeitLabel->setText(QStringLiteral("Helligkeit: %1").arg(BrightnessValue));
    m_ui->FarbeLabel->setText(QStringLiteral("Farbe: %1").arg(ColorValue - 250));
    m_ui->KontrastLabel->setText(QStringLiteral("Kontrast: %1").arg(ContrastValue));
}

void TPainterEffectsF::FormShow()
{
    if (DrawImage) {
        m_ui->Image->SetPicture(DrawImage->Picture());
        m_ui->Image1->SetPicture(DrawImage->Picture());
        ShowBitmapIn(m_ui->LEADImage2, DrawImage->Picture());
        ShowPreview();
    }
    SetTrackBars(0, 250, 0);
    AdjustPending = true;
    HelligkeitTrackBarChange();
    m_ui->SaveBitBtn->setEnabled(false);
    if (m_autoImproveOnShow)
        AutoImprove();
}

void TPainterEffectsF::TrackBarChange(bool sliderDown)
{
    if (sliderDown)
        AdjustPending = true;
    else
        ApplyAdjustment();
}

void TPainterEffectsF::HelligkeitTrackBarChange()
{
    TrackBarChange(m_ui->HelligkeitTrackBar->isSliderDown());
}

void TPainterEffectsF::ApplyAdjustment()
{
    if (!AdjustPending || !DrawImage)
        return;
    SetTrackBars(m_ui->HelligkeitTrackBar->value(), m_ui->FarbeTrackBar->value(), m_ui->KontrastTrackBar->value());
    DrawImage->AdjustBrightnessColorContrast(BrightnessValue, ColorValue, ContrastValue);
    ShowPreview();
    m_ui->SaveBitBtn->setEnabled(true);
}

void TPainterEffectsF::ZuruecksetzenButtonClick()
{
    SetTrackBars(0, 250, 0);
    AdjustPending = true;
    HelligkeitTrackBarChange();
}

void TPainterEffectsF::SaveBitBtnClick()
{
    SetBusyCursor(true);
    struct TCursorBack {
        ~TCursorBack() { SetBusyCursor(false); }
    } cursorBack;
    if (!m_ui->HelligkeitPanel->isHidden()) {
        if (Host)
            Host->LoadTempIntoArt();
        SetTrackBars(m_ui->HelligkeitTrackBar->value(), m_ui->FarbeTrackBar->value(), m_ui->KontrastTrackBar->value());
        AdjustPending = false;
        if (DrawImage)
            DrawImage->AdjustBrightnessColorContrast(BrightnessValue, ColorValue, ContrastValue);
    }
    if (!m_ui->EffectPanel->isHidden()) {
        // No effect selected (a Ctrl+click takes the selection away): nothing to apply, and
        // the preview copy in Art must not become the picture.
        if (SelectedEffect() < 0) {
            SetModalResult(mrOk);
            return;
        }
        const int position = m_ui->EBar->value();
        if (Host)
            Host->LoadTempIntoArt();
        SetBarPositionQuietly(m_ui->EBar, position);
        EBarChange();
    }
    if (Host)
        Host->TakeArtResult(!m_ui->AutomaticPanel->isHidden());
    SetModalResult(mrOk);
}

void TPainterEffectsF::AbortBitBtnClick()
{
    SetBusyCursor(false);
    SetModalResult(mrCancel);
}

void TPainterEffectsF::AutoImprove()
{
    if (Host)
        Host->LoadTempIntoArt();
    SetTrackBars(0, 350, 0);
    AdjustPending = true;
    HelligkeitTrackBarChange();
    m_ui->SaveBitBtn->setEnabled(true);
    SetBusyCursor(false);
}
