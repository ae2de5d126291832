// The effect numbers outside the dialog's tree: one golden picture each (settings chosen so the
// effect shows on the 64 x 48 fixture), the picture shown unchanged, the two sawtooth numbers,
// the repeatable drip and the clipboard blend.
#include "PainterTestSupport.h"
#include "editing/draw/DrawImage.h"
#include "editing/draw/fPainterEffects.h"
#include "ui_fPainterEffects.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>

using namespace painter_test;

namespace {

// The bars an effect is run with: strength, extra, and the centre bars.
struct TFurtherCase {
    int Number, Strength, Extra, CenterX, CenterY;
};

void SetBars(TPainterEffectsF& dialog, const TFurtherCase& c)
{
    Ui::TPainterEffectsF* ui = dialog.ui();
    const TBarRange* range = BarRangeOf(c.Number);
    dialog.SetBarQuietly(ui->EBar, range->Min, range->Max, c.Strength);
    dialog.SetBarQuietly(ui->extrabar, 1, 300, c.Extra);
    dialog.SetBarQuietly(ui->cxbar, 0, 100, c.CenterX);
    dialog.SetBarQuietly(ui->cybar, 0, 100, c.CenterY);
}

// Vertical bars of colour, for the clipboard blend.
QImage ColourBars(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, colours[(x / 8) % 4]);
    return img;
}

TBitmap OnePixel(int b, int g, int r)
{
    TBitmap bmp(1, 1);
    bmp.SetPixelFormat(pf24bit);
    std::uint8_t* p = bmp.ScanLine(0);
    p[0] = std::uint8_t(b), p[1] = std::uint8_t(g), p[2] = std::uint8_t(r);
    return bmp;
}

} // namespace

TEST(FurtherEffects, GoldenPictures)
{
    // Sizes in pixels are chosen for the 64 x 48 fixture (the sine waves need 3 A + 1 rows).
    const TFurtherCase cases[] = {
        {0, 60, 1, 0, 0},  {1, 60, 1, 0, 0},  {2, 50, 1, 0, 0},  {4, 3, 1, 0, 0},     {7, 10, 1, 0, 0},
        {12, 8, 1, 0, 0},  {13, 8, 1, 0, 0},  {14, 3, 8, 0, 0},  {15, 30, 1, 32, 24}, {17, 25, 4, 0, 0},
        {18, 25, 4, 0, 0}, {19, 25, 4, 0, 0}, {20, 25, 4, 0, 0}, {21, 25, 4, 0, 0},   {22, 25, 4, 0, 0},
        {23, 25, 4, 0, 0}, {24, 25, 4, 0, 0}, {32, 10, 1, 0, 0}, {33, 20, 1, 0, 0},   {34, 20, 1, 0, 0},
        {35, 20, 1, 0, 0}, {36, 20, 1, 0, 0}, {37, 20, 1, 0, 0}, {38, 20, 1, 0, 0},   {39, 20, 1, 0, 0},
        {40, 20, 1, 0, 0}, {43, 0, 1, 0, 0},  {44, 25, 1, 0, 0}, {45, 9, 1, 0, 0},    {46, 6, 1, 0, 0},
        {47, 6, 1, 0, 0},  {48, 8, 1, 0, 0},  {51, 10, 1, 0, 0}, {52, 50, 1, 0, 0},
    };
    TpelDrawImage art;
    art.PaintFX.Clock = [] { return 4711u; };
    TPainterEffectsF* dialog = art.PainterEffectsDialog();
    QGuiApplication::clipboard()->setImage(ColourBars(64, 48));
    const QList<int> tree = TreeEffectNumbers(*dialog);
    for (const TFurtherCase& c : cases) {
        EXPECT_FALSE(tree.contains(c.Number)) << c.Number;
        art.SetPicture(Landscape());
        SetBars(*dialog, c);
        ASSERT_TRUE(art.RunEffect(c.Number));
        ExpectGolden(*dialog, c.Number);
    }
    QGuiApplication::clipboard()->clear();
}

TEST(FurtherEffects, UnchangedPictureSawtoothPairAndRepeatableDrip)
{
    TpelDrawImage art;
    TPainterEffectsF* dialog = art.PainterEffectsDialog();
    const TBitmap picture = Landscape();
    const auto run = [&](const TFurtherCase& c) {
        art.SetPicture(picture);
        SetBars(*dialog, c);
        EXPECT_TRUE(art.RunEffect(c.Number));
        return dialog->ui()->Image->Picture();
    };
    EXPECT_TRUE(SamePixels(run({7, 20, 1, 0, 0}), picture));
    const TBitmap sawtooth = run({46, 40, 1, 0, 0});
    EXPECT_FALSE(SamePixels(sawtooth, picture));
    EXPECT_TRUE(SamePixels(run({47, 40, 1, 0, 0}), sawtooth));
    // The drip takes its seed from the clock: a fixed clock repeats it, another seed differs.
    art.PaintFX.Clock = [] { return 17u; };
    const TBitmap drip = run({48, 20, 1, 0, 0});
    EXPECT_TRUE(SamePixels(run({48, 20, 1, 0, 0}), drip));
    art.PaintFX.Clock = [] { return 18u; };
    EXPECT_FALSE(SamePixels(run({48, 20, 1, 0, 0}), drip));
    // Turned by 0 degrees about any centre: unchanged.
    EXPECT_TRUE(SamePixels(run({15, 0, 1, 70, 3}), picture));
}

TEST(FurtherEffects, ClipboardBlendOnlyAtEqualSize)
{
    TpelDrawImage art;
    TPainterEffectsF* dialog = art.PainterEffectsDialog();
    Ui::TPainterEffectsF* ui = dialog->ui();
    QClipboard* clipboard = QGuiApplication::clipboard();
    const TFurtherCase half{52, 50, 1, 0, 0};
    // An earlier preview that the blend must leave alone when it cannot run.
    const TBitmap earlier = OnePixel(1, 2, 3);
    art.SetPicture(earlier);
    SetBars(*dialog, {7, 0, 1, 0, 0});
    ASSERT_TRUE(art.RunEffect(7));

    const TBitmap picture = OnePixel(10, 13, 200);
    art.SetPicture(picture);
    SetBars(*dialog, half);
    clipboard->clear();
    ASSERT_TRUE(art.RunEffect(52));
    EXPECT_TRUE(SamePixels(ui->Image->Picture(), earlier)) << "no picture on the clipboard";
    EXPECT_TRUE(SamePixels(art.WorkBitmap, picture));

    clipboard->setImage(QImage(2, 1, QImage::Format_RGB32));
    ASSERT_TRUE(art.RunEffect(52));
    EXPECT_TRUE(SamePixels(ui->Image->Picture(), earlier)) << "a picture of another size";
    EXPECT_TRUE(SamePixels(art.WorkBitmap, picture));

    // Equal size at 50: the average, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
    clipboard->setImage(OnePixel(15, 14, 0).Image());
    ASSERT_TRUE(art.RunEffect(52));
    EXPECT_TRUE(SamePixels(ui->Image->Picture(), OnePixel(12, 14, 100)));
    // At 0 the picture, at 100 the clipboard's.
    SetBars(*dialog, {52, 0, 1, 0, 0});
    ASSERT_TRUE(art.RunEffect(52));
    EXPECT_TRUE(SamePixels(ui->Image->Picture(), picture));
    SetBars(*dialog, {52, 100, 1, 0, 0});
    ASSERT_TRUE(art.RunEffect(52));
    EXPECT_TRUE(SamePixels(ui->Image->Picture(), OnePixel(15, 14, 0)));
    clipboard->clear();
}
