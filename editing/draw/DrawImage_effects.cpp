// The effect routines of TpelDrawImage, the colour adjustment and the two entry points into
// the painter effects dialog.
#include "editing/draw/DrawImage.h"

#include "editing/draw/fPainterEffects.h"
#include "platform/vcl/Application.h"
#include "ui_fPainterEffects.h"

#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

// The bar positions an effect routine reads.
struct TBars {
    int Strength;  // EBar
    int Extra;     // extrabar
    int CenterX;   // cxbar
    int CenterY;   // cybar
};

using TEffectRun = void (*)(TpelDrawImage&, const TFxBitmap&, const TBars&);

struct TEffectRoutine {
    int Number;
    TEffectRun Run;
    // The routine shows its result itself (or leaves the preview as it is).
    bool ShowsItself = false;
};

// Routines that read an unchanged copy of the picture and write into it.
void WithCopy(const TFxBitmap& work, const std::function<void(const TFxBitmap& copy)>& f)
{
    TFxImage copy(work);
    f(copy.View());
}

// The wave family: a copy of the picture is the source, the work bitmap the destination.
template <void (TpelPaintFX::*Wave)(const TFxBitmap&, const TFxBitmap&, double, int)>
void ShiftWave(TpelDrawImage& d, const TFxBitmap& w, const TBars& b)
{
    WithCopy(w, [&](const TFxBitmap& c) { (d.PaintFX.*Wave)(c, w, double(b.Extra), b.Strength); });
}

// The row squeezes copy each row before drawing it: the work bitmap is source and destination.
template <int Mode>
void RowSqueeze(TpelDrawImage& d, const TFxBitmap& w, const TBars& b)
{
    d.PaintFX.RowSqueeze(w, w, b.Strength, Mode);
}

// The strength bar moves the window's left edge, the extra bar its top edge.
template <bool Mandelbrot>
void Fractal(TpelDrawImage& d, const TFxBitmap& w, const TBars& b)
{
    d.PaintFX.Fractal(w, 16, b.Strength * 0.028 - 2.25, b.Extra * 0.009 - 1.5, 0.75, 1.5, Mandelbrot);
}

// One row per effect number 0-54 (the routines of the tree, then the others).
const TEffectRoutine kEffects[] = {
    {3, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.GaussianBlur(w, b.Strength); }},
    {5, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.AddColorNoise(w, b.Strength); }},
    {6, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.AddMonoNoise(w, b.Strength); }},
    {8, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.EdgeBlend(w, b.Strength); }},
    {9, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.Mosaic(w, b.Strength); }},
    {10, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) {
         WithCopy(w, [&](const TFxBitmap& c) {
             RunInRowBands(w.Width, w.Height, [&](int top, int bottom) { d.PaintFX.Twist(c, w, b.Strength, top, bottom); });
         });
     }},
    {11, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) {
         WithCopy(w, [&](const TFxBitmap& c) {
             RunInRowBands(w.Width, w.Height,
                           [&](int top, int bottom) { d.PaintFX.FishEye(c, w, b.Strength / 100.0, top, bottom); });
         });
     }},
    {16, [](TpelDrawImage& d, const TFxBitmap&, const TBars& b) { d.ApplySineCurve(b.Strength); }},
    {25, [](TpelDrawImage& d, const TFxBitmap& w, const TBars&) { d.PaintFX.Emboss(w); }},
    {26, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.FilterRed(w, b.Extra, b.Strength); }},
    {27, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.FilterGreen(w, b.Extra, b.Strength); }},
    {28, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.FilterBlue(w, b.Extra, b.Strength); }},
    {29, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.FilterXRed(w, b.Extra, b.Strength); }},
    {30, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.FilterXGreen(w, b.Extra, b.Strength); }},
    {31, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.FilterXBlue(w, b.Extra, b.Strength); }},
    {41, [](TpelDrawImage& d, const TFxBitmap&, const TBars& b) { d.SkewPicture(b.Strength); }},
    {42, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) {
         TFxImage pixels(w), map(w);
         d.PaintFX.Plasma(pixels.View(), map.View(), b.Extra, b.Strength, w);
     }},
    {49, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.TileSplit(w, b.Strength); }},
    {50, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.TileOverlap(w, b.Strength); }},
    {53, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.Solarize(w, b.Strength); }},
    {54, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.Posterize(w, b.Strength); }},

    // The further effects, without a place in the tree.
    {0, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.Contrast(w, b.Strength); }},
    {1, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.Saturation(w, b.Strength); }},
    {2, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.Lightness(w, b.Strength); }},
    {4, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.SplitBlur(w, b.Strength); }},
    {7, [](TpelDrawImage& d, const TFxBitmap&, const TBars&) { d.PaintFX.EmptyEffect(); }},
    {12, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.SineWave(w, b.Strength, 0, 0); }},
    {13, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.SineWave(w, b.Strength, 0, 1); }},
    {14, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.SineWave(w, b.Extra, b.Strength, 2); }},
    {15, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) {
         WithCopy(w, [&](const TFxBitmap& c) { d.PaintFX.SmoothRotate(c, w, b.CenterX, b.CenterY, b.Strength); });
     }},
    {17, ShiftWave<&TpelPaintFX::ShiftWave1>}, {18, ShiftWave<&TpelPaintFX::ShiftWave2>},
    {19, ShiftWave<&TpelPaintFX::ShiftWave3>}, {20, ShiftWave<&TpelPaintFX::ShiftWave4>},
    {21, ShiftWave<&TpelPaintFX::ShiftWave5>}, {22, ShiftWave<&TpelPaintFX::ShiftWave6>},
    {23, ShiftWave<&TpelPaintFX::ShiftWave7>}, {24, ShiftWave<&TpelPaintFX::ShiftWave8>},
    {32, RowSqueeze<7>}, {33, RowSqueeze<8>}, {34, RowSqueeze<9>}, {35, RowSqueeze<10>},
    {36, RowSqueeze<11>}, {37, RowSqueeze<12>}, {38, RowSqueeze<13>},
    {39, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.RowSplit(w, w, b.Strength, 14); }},
    {40, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.RowSplit(w, w, b.Strength, 15); }},
    {43, Fractal<true>},
    {44, Fractal<false>},
    {45, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.ZigZagSmear(w, b.Strength); }},
    {46, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.SawtoothShift(w, b.Strength); }},
    {47, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.SawtoothShift(w, b.Strength); }},
    {48, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.RandomDrip(w, b.Strength); }},
    {51, [](TpelDrawImage& d, const TFxBitmap& w, const TBars& b) { d.PaintFX.HeightMap(w, b.Strength); }},
    {52, [](TpelDrawImage& d, const TFxBitmap&, const TBars& b) { d.BlendWithClipboard(b.Strength); }, true},
};

} // namespace

QList<int> TpelDrawImage::EffectNumbers()
{
    QList<int> numbers;
    for (const TEffectRoutine& e : kEffects)
        numbers << e.Number;
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void TpelDrawImage::RefreshWorkBitmap()
{
    WorkBitmap = Picture();
    if (!WorkBitmap.Empty())
        WorkBitmap.SetPixelFormat(pf24bit);
}

void TpelDrawImage::ShowWorkBitmap()
{
    TImage* image = m_dialog->ui()->Image;
    image->SetPicture(WorkBitmap);
    image->repaint();
}

bool TpelDrawImage::RunEffect(int number)
{
    const auto* e = std::find_if(std::begin(kEffects), std::end(kEffects),
                                 [number](const TEffectRoutine& r) { return r.Number == number; });
    if (e == std::end(kEffects))
        return false;
    Ui::TPainterEffectsF* ui = m_dialog->ui();
    // Plasma raises the hidden extra bar to its lowest turbulence first (a bar set from code
    // runs no change handler).
    if (number == 42 && ui->extrabar->value() < 10)
        m_dialog->SetBarPositionQuietly(ui->extrabar, 10);
    const TBars bars{ui->EBar->value(), ui->extrabar->value(), ui->cxbar->value(), ui->cybar->value()};
    RefreshWorkBitmap();
    // Routines of the tree that change each pixel on its own: the rows split over the cores.
    constexpr int kPerPixel[] = {26, 27, 28, 29, 30, 31, 53, 54};
    const TFxBitmap work = FxView(WorkBitmap);
    if (std::find(std::begin(kPerPixel), std::end(kPerPixel), number) != std::end(kPerPixel))
        RunInRowBands(work.Width, work.Height,
                      [&](int top, int bottom) { e->Run(*this, work.Rows(top, bottom), bars); });
    else
        e->Run(*this, work, bars);
    if (!e->ShowsItself)
        ShowWorkBitmap();
    return true;
}

void TpelDrawImage::ApplySineCurve(int count)
{
    if (count <= 0 || WorkBitmap.Empty())
        return;
    // count passes through the curve, folded into one table.
    std::array<std::uint8_t, 256> table;
    for (int i = 0; i < 256; ++i)
        table[i] = std::uint8_t(i);
    for (int n = 0; n < count; ++n)
        for (auto& v : table)
            v = SineCurve[v];
    const TFxBitmap w = FxView(WorkBitmap);
    RunInRowBands(w.Width, w.Height, [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* p = w.Row(y);
            for (int i = 0; i < w.Width * 3; ++i)
                p[i] = table[p[i]];
        }
    });
}

void TpelDrawImage::SkewPicture(int amount)
{
    if (WorkBitmap.Empty())
        return;
    const int w = WorkBitmap.Width(), h = WorkBitmap.Height();
    const double k = amount / 100.0;
    const double s = w / (k * h + w);
    TBitmap skewed(w, h);  // places that receive no pixel stay white
    skewed.SetPixelFormat(pf24bit);
    const TFxBitmap src = FxView(WorkBitmap), dst = FxView(skewed);
    RunInRowBands(w, h, [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            const double shift = std::nearbyint(k * y);
            for (int x = 0; x < w; ++x) {
                // On tall pictures the last column would land on W itself: kept to W - 1.
                const int target = std::clamp(int(std::nearbyint((shift + x) * s)), 0, w - 1);
                std::copy_n(src.Pixel(x, y), 3, dst.Pixel(target, y));
            }
        }
    });
    WorkBitmap = skewed;
}

void TpelDrawImage::AdjustBrightnessColorContrast(int brightness, int saturation, int contrast)
{
    RefreshWorkBitmap();
    const TFxBitmap w = FxView(WorkBitmap);
    // Each pixel on its own: the rows are split over the cores.
    RunInRowBands(w.Width, w.Height, [&](int top, int bottom) {
        const TFxBitmap rows = w.Rows(top, bottom);
        PaintFX.Lightness(rows, brightness);
        PaintFX.Saturation(rows, saturation);
        PaintFX.Contrast(rows, contrast);
    });
    ShowWorkBitmap();
}

void TpelDrawImage::PrepareDialogBars()
{
    Ui::TPainterEffectsF* ui = m_dialog->ui();
    m_dialog->SetBarQuietly(ui->cxbar, ui->cxbar->minimum(), m_dialog->width(), m_dialog->width() / 2);
    m_dialog->SetBarQuietly(ui->cybar, ui->cybar->minimum(), m_dialog->height(), m_dialog->height() / 2);
}

void TpelDrawImage::ShowEffectsDialog(bool adjustPanel)
{
    PrepareDialogBars();
    Ui::TPainterEffectsF* ui = m_dialog->ui();
    ui->HelligkeitPanel->setVisible(adjustPanel);
    ui->EffectPanel->setVisible(!adjustPanel);
    ui->AutomaticPanel->hide();
    m_dialog->SetAutoImproveOnShow(false);
    m_dialog->ShowModal();
}

void TpelDrawImage::AutoImprovePicture()
{
    PrepareDialogBars();
    Ui::TPainterEffectsF* ui = m_dialog->ui();
    ui->HelligkeitPanel->hide();
    ui->EffectPanel->hide();
    ui->AutomaticPanel->show();
    // Shown modally: the editor beneath must not close while the dialog can still write the
    // accepted picture into it.
    m_dialog->SetAutoImproveOnShow(true);
    m_dialog->ShowModal();
}
