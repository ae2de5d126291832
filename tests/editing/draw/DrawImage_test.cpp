#include "PainterTestSupport.h"
#include "editing/draw/ArtHandoff.h"
#include "editing/draw/DrawImage.h"
#include "editing/draw/fPainterEffects.h"
#include "support/ScriptedUi.h"
#include "support/TestEnv.h"
#include "ui_fPainterEffects.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QSlider>
#include <QTreeWidget>

#include <vector>

using painter_test::SamePixels;

namespace {

// A picture with fine detail in every channel.
TBitmap Photo(int w, int h)
{
    TBitmap b(w, h);
    b.SetPixelFormat(pf24bit);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = b.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            p[3 * x] = std::uint8_t((x * 7 + y * 3) % 256);
            p[3 * x + 1] = std::uint8_t((x * 13 + y * 29) % 256);
            p[3 * x + 2] = std::uint8_t((200 + x - y) % 256);
        }
    }
    return b;
}

TBitmap Filled(int w, int h, int b, int g, int r)
{
    TBitmap bmp(w, h);
    bmp.SetPixelFormat(pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = bmp.ScanLine(y) + 3 * x;
            p[0] = std::uint8_t(b), p[1] = std::uint8_t(g), p[2] = std::uint8_t(r);
        }
    return bmp;
}

std::vector<int> Pixel(const TBitmap& b, int x, int y)
{
    const std::uint8_t* p = b.ScanLine(y) + 3 * x;
    return {p[2], p[1], p[0]};  // red, green, blue
}

} // namespace

TEST(DrawImage, NewComponentAndLoaded)
{
    TpelDrawImage art;
    EXPECT_EQ(art.width(), 256);
    EXPECT_EQ(art.height(), 256);
    EXPECT_EQ(art.Shape(), "line");
    EXPECT_EQ(art.stars(), 1);
    EXPECT_EQ(art.starpoints(), 5);
    EXPECT_EQ(art.blocks(), 32);
    EXPECT_EQ(art.spirals(), 3);
    ASSERT_EQ(art.ToolNames.size(), 100);
    EXPECT_EQ(art.ToolNames.first(), "airbrush");
    EXPECT_EQ(art.ToolNames.last(), "zoomkeepbrush");
    EXPECT_TRUE(art.ToolNames.contains("decoval"));
    ASSERT_NE(art.AirBrush, nullptr);
    ASSERT_NE(art.PainterEffectsDialog(), nullptr);
    EXPECT_EQ(art.PainterEffectsDialog()->DrawImage, &art);

    const std::pair<int, int> curve[] = {{0, 0}, {1, 2}, {64, 98}, {128, 181}, {255, 255}};
    for (auto [i, v] : curve)
        EXPECT_EQ(art.SineCurve[i], v) << i;

    art.Loaded();
    EXPECT_TRUE(art.AutoSize());
    EXPECT_TRUE(SamePixels(art.Picture(), Filled(256, 256, 255, 255, 255)));
    EXPECT_EQ(art.Canvas().Brush.Style, bsClear);
    EXPECT_EQ(art.Canvas().Pen.Color, clBlack);

    art.DoColorPicked(clRed);  // no handler: nothing happens
    QObject* sender = nullptr;
    TColor picked = clNone;
    art.onColorPicked = [&](QObject* s, TColor c) { sender = s, picked = c; };
    art.DoColorPicked(clRed);
    EXPECT_EQ(sender, &art);
    EXPECT_EQ(picked, clRed);
}

TEST(DrawImage, TwoComponentsEachFreeTheirOwnDialog)
{
    auto first = std::make_unique<TpelDrawImage>();
    auto second = std::make_unique<TpelDrawImage>();
    EXPECT_NE(first->PainterEffectsDialog(), second->PainterEffectsDialog());
    first.reset();
    EXPECT_EQ(second->PainterEffectsDialog()->DrawImage, second.get());
    second.reset();
}

TEST(DrawImage, WorkBitmapsCopyTheirRangeOfThePicture)
{
    TpelDrawImage art;
    art.SetPicture(Photo(9, 7));

    art.Drag.RangeCopyMode = cmSrcInvert;
    art.SnapshotPicture();
    EXPECT_EQ(art.Drag.RangeCopyMode, cmSrcCopy);
    EXPECT_EQ(art.Drag.RangeRect, (TRect{0, 0, 8, 6}));
    EXPECT_TRUE(SamePixels(art.WorkBitmap, art.Picture()));

    // Inclusive corners: (2, 1)-(4, 3) is 3 x 3 pixels starting at (2, 1).
    art.CopyCloneArea(TRect{2, 1, 4, 3});
    ASSERT_EQ(art.WorkBitmap.Width(), 3);
    ASSERT_EQ(art.WorkBitmap.Height(), 3);
    EXPECT_EQ(Pixel(art.WorkBitmap, 0, 0), Pixel(art.Picture(), 2, 1));
    EXPECT_EQ(Pixel(art.WorkBitmap, 2, 2), Pixel(art.Picture(), 4, 3));

    art.Drag.RangeRect = TRect{1, 1, 2, 2};
    art.ClearWorkBitmap(clRed);
    EXPECT_TRUE(SamePixels(art.WorkBitmap, Filled(2, 2, 0, 0, 255)));

    art.Drag.StartPoint = TPoint{10, 10};
    art.Drag.LastPoint = TPoint{4, 4};
    art.MoveStartPoint(6, 1);
    EXPECT_EQ(art.Drag.StartPoint, (TPoint{12, 7}));
}

TEST(DrawImageEffects, AdjustmentRunsLightnessThenSaturationThenContrast)
{
    TpelDrawImage art;
    const TImage* image = art.PainterEffectsDialog()->ui()->Image;
    art.SetPicture(Filled(2, 2, 0, 100, 200));
    art.AdjustBrightnessColorContrast(0, 250, 0);  // the dialog's reset values
    EXPECT_EQ(Pixel(image->Picture(), 1, 1), (std::vector<int>{198, 100, 2}));

    // Lightness before contrast: 100 -> 160 -> 193 (the other order gives 144).
    art.SetPicture(Filled(1, 1, 100, 100, 100));
    art.AdjustBrightnessColorContrast(100, 255, 255);
    EXPECT_EQ(Pixel(image->Picture(), 0, 0), (std::vector<int>{193, 193, 193}));
}

TEST(DrawImageEffects, SineCurveSkewAndPlasmaWrappers)
{
    TpelDrawImage art;
    Ui::TPainterEffectsF* ui = art.PainterEffectsDialog()->ui();
    art.SetPicture(Filled(3, 3, 1, 64, 128));
    art.RefreshWorkBitmap();
    art.ApplySineCurve(2);
    EXPECT_EQ(Pixel(art.WorkBitmap, 2, 2), (std::vector<int>{art.SineCurve[art.SineCurve[128]],
                                                            art.SineCurve[art.SineCurve[64]],
                                                            art.SineCurve[art.SineCurve[1]]}));

    const TBitmap photo = Photo(31, 17);
    art.SetPicture(photo);
    art.RefreshWorkBitmap();
    art.SkewPicture(0);
    EXPECT_TRUE(SamePixels(art.WorkBitmap, photo)) << "strength 0 leaves the picture as it is";

    // On tall pictures the last column would land one past the right edge.
    art.SetPicture(Photo(199, 700));
    art.RefreshWorkBitmap();
    art.SkewPicture(100);
    ASSERT_EQ(art.WorkBitmap.Width(), 199);
    // The last pixel of the last row lands on column round(897 * 199 / 899) = 199: kept at 198.
    EXPECT_EQ(Pixel(art.WorkBitmap, 198, 699), Pixel(Photo(199, 700), 198, 699));

    // The hidden extra bar stays at 1 until Plasma raises it to its lowest turbulence 10.
    ASSERT_EQ(ui->extrabar->value(), 1);
    art.SetPicture(photo);
    EXPECT_TRUE(art.RunEffect(42));
    EXPECT_EQ(ui->extrabar->value(), 10);

    // An empty picture leaves an empty Image.
    art.SetPicture(TBitmap());
    EXPECT_TRUE(art.RunEffect(9));
    EXPECT_TRUE(ui->Image->Picture().Empty());
}

// Every effect number 0-54 through its routine, at the lowest, start and highest strength of
// its bar, with the hidden bars at both ends, over pictures of one pixel, one row, one column
// and odd sizes (under the sanitizers: nothing is read or written outside the pictures). The
// clipboard holds a picture of the same size, so the clipboard blend runs too.
TEST(DrawImageEffects, EveryEffectNumberOverOddSizes)
{
    TpelDrawImage art;
    TPainterEffectsF* dialog = art.PainterEffectsDialog();
    Ui::TPainterEffectsF* ui = dialog->ui();
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 5}, {5, 3}, {17, 11}};
    ASSERT_EQ(TpelDrawImage::EffectNumbers().size(), 55);
    for (int number = 0; number <= 54; ++number) {
        const TBarRange* range = BarRangeOf(number);
        ASSERT_NE(range, nullptr) << number;
        for (auto [w, h] : sizes) {
            QGuiApplication::clipboard()->setImage(Photo(w, h).Image());
            for (int v : {range->Min, range->Position, range->Max})
                for (bool far : {false, true}) {
                    art.SetPicture(Photo(w, h));
                    dialog->SetBarQuietly(ui->EBar, range->Min, range->Max, v);
                    dialog->SetBarQuietly(ui->extrabar, 1, 300, far ? 300 : 1);
                    dialog->SetBarQuietly(ui->cxbar, 0, 1000, far ? 1000 : w / 2);
                    dialog->SetBarQuietly(ui->cybar, 0, 1000, far ? 1000 : h / 2);
                    ASSERT_TRUE(art.RunEffect(number));
                    EXPECT_EQ(ui->Image->Picture().Width(), w) << number;
                    EXPECT_EQ(ui->Image->Picture().Height(), h) << number;
                }
        }
    }
    QGuiApplication::clipboard()->clear();
}

TEST(PainterEffectsDialog, TreeAndBarRanges)
{
    TpelDrawImage art;
    TPainterEffectsF* dialog = art.PainterEffectsDialog();
    Ui::TPainterEffectsF* ui = dialog->ui();
    const QStringList captions = {"Licht-Teilen", "Relief", "Schräge", "Plasma", "Solarisieren", "Poster-Effekt",
                                  "Unschärfe Gauss ", "Rauschen in Farbe", "Rauschen Schwarz-Weiß", "Bewegung",
                                  "Mosaik", "Wirbel", "Fischauge", "Rot", "Grün", "Blau", "XRot", "XGrün", "XBlau",
                                  "Kacheln geteilt", "Kachlen überlappend"};
    ASSERT_EQ(ui->ETree->topLevelItemCount(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        EXPECT_EQ(ui->ETree->topLevelItem(i)->text(0), captions[i]);
        EXPECT_TRUE(TpelDrawImage::EffectNumbers().contains(ui->ETree->topLevelItem(i)->data(0, Qt::UserRole).toInt()));
    }

    art.SetPicture(Photo(199, 120));
    std::vector<std::pair<int, int>> runs;
    dialog->OnEffectPreviewed = [&](int number, int strength) { runs.push_back({number, strength}); };
    struct Case {
        int number, min, max, position;
    };
    const Case cases[] = {{9, 2, 30, 15}, {8, 3, 15, 5}, {26, 0, 255, 128}, {16, 1, 10, 1}};
    for (const Case& c : cases) {
        runs.clear();
        ASSERT_TRUE(dialog->SelectEffect(c.number));
        dialog->EListClick();
        EXPECT_EQ(ui->EBar->minimum(), c.min) << c.number;
        EXPECT_EQ(ui->EBar->maximum(), c.max) << c.number;
        EXPECT_EQ(ui->EBar->value(), c.position) << c.number;
        EXPECT_EQ(runs, (std::vector<std::pair<int, int>>{{c.number, c.position}})) << "EBarChange runs once";
    }
    // The user moving the bar runs the effect with the new position.
    runs.clear();
    ui->EBar->setValue(3);
    EXPECT_EQ(runs, (std::vector<std::pair<int, int>>{{16, 3}}));
}

TEST(PainterEffectsDialog, OkOnMosaicRunsItOnTheFullPicture)
{
    TpelDrawImage art;
    const TBitmap full = Photo(400, 300);
    kvtest::Ui().ExpectModal("TPainterEffectsF", mrCancel, [](TForm& form) {
        auto& dialog = static_cast<TPainterEffectsF&>(form);
        EXPECT_FALSE(dialog.ui()->SaveBitBtn->isEnabled()) << "OK needs a change first";
        EXPECT_EQ(dialog.ui()->EffectPanel->isHidden(), false);
        EXPECT_EQ(dialog.DrawImage->Picture().Width(), kArtPreviewWidth);
        ASSERT_TRUE(dialog.SelectEffect(9));
        dialog.EListClick();
        EXPECT_TRUE(dialog.ui()->SaveBitBtn->isEnabled());
        EXPECT_EQ(dialog.PreviewPicture().Width(), kArtPreviewWidth);
        dialog.SaveBitBtnClick();
    });
    const auto result = RunPainterEffects(art, full, TPainterMode::Effects);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->Sharpen);
    TBitmap expected = full;
    TpelPaintFX().Mosaic(FxView(expected), 15);
    EXPECT_TRUE(SamePixels(result->Picture, expected)) << "15-pixel blocks at full size";
}

TEST(PainterEffectsDialog, AdjustmentOkAndCancel)
{
    TpelDrawImage art;
    const TBitmap full = Filled(300, 200, 0, 100, 200);
    kvtest::Ui().ExpectModal("TPainterEffectsF", mrCancel, [](TForm& form) {
        auto& dialog = static_cast<TPainterEffectsF&>(form);
        EXPECT_FALSE(dialog.ui()->HelligkeitPanel->isHidden());
        EXPECT_EQ(dialog.ui()->FarbeLabel->text(), "Farbe: 0");
        EXPECT_FALSE(dialog.ui()->SaveBitBtn->isEnabled());
        dialog.ui()->KontrastTrackBar->setValue(100);
        EXPECT_TRUE(dialog.ui()->SaveBitBtn->isEnabled());
        EXPECT_EQ(dialog.ui()->KontrastLabel->text(), "Kontrast: 100");
        dialog.SaveBitBtnClick();
    });
    const auto result = RunPainterEffects(art, full, TPainterMode::Adjust);
    ASSERT_TRUE(result);
    TBitmap expected = full;
    TpelPaintFX fx;
    fx.Saturation(FxView(expected), 250);
    fx.Contrast(FxView(expected), 100);
    EXPECT_TRUE(SamePixels(result->Picture, expected));

    kvtest::Ui().ExpectModal("TPainterEffectsF", mrCancel, [](TForm& form) {
        auto& dialog = static_cast<TPainterEffectsF&>(form);
        dialog.ui()->HelligkeitTrackBar->setValue(200);
        dialog.AbortBitBtnClick();
    });
    EXPECT_FALSE(RunPainterEffects(art, full, TPainterMode::Adjust)) << "Abbrechen hands nothing back";
}

TEST(PainterEffectsDialog, AutoImproveOkStoresAMoreSaturatedPicture)
{
    TpelDrawImage art;
    const TBitmap full = Filled(250, 100, 60, 100, 140);
    kvtest::Ui().ExpectModal("TPainterEffectsF", mrCancel, [](TForm& form) {
        auto& dialog = static_cast<TPainterEffectsF&>(form);
        EXPECT_FALSE(dialog.ui()->AutomaticPanel->isHidden());
        EXPECT_TRUE(dialog.ui()->HelligkeitPanel->isHidden());
        EXPECT_TRUE(dialog.ui()->EffectPanel->isHidden());
        EXPECT_TRUE(dialog.ui()->SaveBitBtn->isEnabled());
        EXPECT_EQ(dialog.ui()->FarbeLabel->text(), "Farbe: 100");
        EXPECT_EQ(dialog.DrawImage->Picture().Width(), 250) << "the full picture is adjusted";
        dialog.SaveBitBtnClick();
    });
    const auto result = RunPainterEffects(art, full, TPainterMode::AutoImprove);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->Sharpen);
    // m = 100: 100 +- 40 * 350 / 255 = 100 +- 54.
    EXPECT_EQ(Pixel(result->Picture, 10, 10), (std::vector<int>{154, 100, 46}));

    kvtest::Ui().ExpectModal("TPainterEffectsF", mrCancel,
                             [](TForm& form) { static_cast<TPainterEffectsF&>(form).AbortBitBtnClick(); });
    EXPECT_FALSE(RunPainterEffects(art, full, TPainterMode::AutoImprove));
}

TEST(ArtHandoff, PreviewCopyAndWorkingCopyFiles)
{
    struct Case {
        int w, h, previewHeight;
    };
    // 199 * h / w rounded with halves to even: 149.25, 1.5, 2.5.
    for (const Case& c : {Case{400, 300, 149}, Case{398, 3, 2}, Case{398, 5, 2}, Case{4000, 1, 1}}) {
        const TBitmap preview = MakeArtPreview(Photo(c.w, c.h));
        EXPECT_EQ(preview.Width(), kArtPreviewWidth);
        EXPECT_EQ(preview.Height(), c.previewHeight) << c.w << "x" << c.h;
    }

    const QString folder = kvtest::MakeTempFolder("art");
    ASSERT_TRUE(Photo(400, 300).Image().save(folder + "Temp.jpg", "JPG", 90));
    TpelDrawImage art;
    LoadTempPreviewIntoArt(art, folder + "Temp.jpg");
    EXPECT_EQ(art.Picture().Width(), 199);
    EXPECT_EQ(art.Picture().Height(), 149);
    LoadTempIntoArt(art, folder + "Temp.jpg");
    EXPECT_EQ(art.Picture().Width(), 400);
    EXPECT_THROW(LoadTempIntoArt(art, folder + "missing.jpg"), EInvalidGraphic);
    EXPECT_EQ(art.Picture().Width(), 400) << "a failed load keeps the picture";
}

TEST(DrawImageEffects, FullSizeTwistAndAdjustmentMatchTheOneThreadRun)
{
    // Large enough to be split over the cores.
    TpelDrawImage art;
    const TBitmap photo = Photo(1400, 900);
    art.SetPicture(photo);
    TPainterEffectsF* dialog = art.PainterEffectsDialog();
    dialog->SetBarQuietly(dialog->ui()->EBar, 1, 50, 10);
    ASSERT_TRUE(art.RunEffect(10));
    TBitmap expected = photo, copy = photo;
    TpelPaintFX().Twist(FxView(copy), FxView(expected), 10);
    EXPECT_TRUE(SamePixels(dialog->ui()->Image->Picture(), expected));

    art.AdjustBrightnessColorContrast(40, 300, -60);
    expected = photo;
    TpelPaintFX fx;
    fx.Lightness(FxView(expected), 40);
    fx.Saturation(FxView(expected), 300);
    fx.Contrast(FxView(expected), -60);
    EXPECT_TRUE(SamePixels(dialog->ui()->Image->Picture(), expected));
}

TEST(DrawImageEffects, EffectsSplitOverTheCoresMatchTheOneThreadRun)
{
    // Large enough to be split over the cores; each result against the routine run on the
    // whole picture on one thread (sine curve and skew against their plain formulas).
    TpelDrawImage art;
    const TBitmap photo = Photo(1400, 900);
    art.SetPicture(photo);
    TPainterEffectsF* dialog = art.PainterEffectsDialog();
    const auto bitmapOf = [](const std::function<void(const TFxBitmap&)>& f, const TBitmap& from) {
        TBitmap b = from;
        f(FxView(b));
        return b;
    };
    struct Case {
        int number, strength;
        std::function<void(const TFxBitmap&)> expected;
    };
    TpelPaintFX fx;
    const Case cases[] = {
        {26, 128, [&](auto& b) { fx.FilterRed(b, 1, 128); }},    {27, 128, [&](auto& b) { fx.FilterGreen(b, 1, 128); }},
        {28, 200, [&](auto& b) { fx.FilterBlue(b, 1, 200); }},   {29, 128, [&](auto& b) { fx.FilterXRed(b, 1, 128); }},
        {30, 60, [&](auto& b) { fx.FilterXGreen(b, 1, 60); }},   {31, 128, [&](auto& b) { fx.FilterXBlue(b, 1, 128); }},
        {53, 127, [&](auto& b) { fx.Solarize(b, 127); }},        {54, 100, [&](auto& b) { fx.Posterize(b, 100); }},
        {16, 3, [&](auto& b) {
             for (int y = 0; y < b.Height; ++y)
                 for (int i = 0; i < b.Width * 3; ++i)
                     for (int n = 0; n < 3; ++n)
                         b.Row(y)[i] = art.SineCurve[b.Row(y)[i]];
         }},
    };
    for (const Case& c : cases) {
        dialog->SetBarQuietly(dialog->ui()->EBar, 0, 255, c.strength);
        ASSERT_TRUE(art.RunEffect(c.number));
        EXPECT_TRUE(SamePixels(dialog->ui()->Image->Picture(), bitmapOf(c.expected, photo))) << c.number;
    }

    dialog->SetBarQuietly(dialog->ui()->EBar, 0, 100, 37);
    ASSERT_TRUE(art.RunEffect(41));
    TBitmap skewed(1400, 900), source = photo;
    skewed.SetPixelFormat(pf24bit);
    const TFxBitmap from = FxView(source), to = FxView(skewed);
    const double k = 0.37, s = 1400 / (k * 900 + 1400);
    for (int y = 0; y < 900; ++y)
        for (int x = 0; x < 1400; ++x)
            std::copy_n(from.Pixel(x, y), 3,
                        to.Pixel(std::min(1399, int(std::nearbyint((std::nearbyint(k * y) + x) * s))), y));
    EXPECT_TRUE(SamePixels(dialog->ui()->Image->Picture(), skewed));
}
