// The two picture controls of the painter effects dialog as the user sees them: the whole
// picture, centred, without scroll bars, and the 199-pixel preview copy at its own size.
#include "editing/draw/ArtHandoff.h"
#include "editing/draw/DrawImage.h"
#include "editing/draw/fPainterEffects.h"
#include "imaging/LEADImage.h"
#include "support/ScriptedUi.h"
#include "ui_fPainterEffects.h"

#include <gtest/gtest.h>

#include <QScrollBar>

#include <cstdlib>

namespace {

TBitmap Picture(int w, int h)
{
    TBitmap b(w, h);
    b.SetPixelFormat(pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x)
            b.ScanLine(y)[x] = std::uint8_t(x + y);
    return b;
}

// The control shows its whole picture, centred, no scroll bar; a picture no larger than the
// control is shown at its own size.
void ExpectFittedPreview(const TLEADImage* c, const char* name)
{
    SCOPED_TRACE(name);
    EXPECT_FALSE(c->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(c->verticalScrollBar()->isVisible());
    EXPECT_NE(c->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_NE(c->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    const QSize client = c->contentsRect().size();
    ASSERT_GT(c->BitmapWidth(), 0);
    ASSERT_GT(client.width(), 0);
    const int right = client.width() - c->DstLeft() - c->DstWidth();
    const int bottom = client.height() - c->DstTop() - c->DstHeight();
    EXPECT_GE(c->DstLeft(), 0);
    EXPECT_GE(c->DstTop(), 0);
    EXPECT_GE(right, 0);
    EXPECT_GE(bottom, 0);
    // The control halves the view and the picture apart, each rounded: up to 2 pixels apart.
    EXPECT_LE(std::abs(c->DstLeft() - right), 2) << "centred across";
    EXPECT_LE(std::abs(c->DstTop() - bottom), 2) << "centred down";
    EXPECT_TRUE(c->DstWidth() == client.width() || c->DstHeight() == client.height()) << "fitted";
    if (c->BitmapWidth() <= client.width() && c->BitmapHeight() <= client.height()) {
        EXPECT_EQ(c->DstWidth(), c->BitmapWidth()) << "not enlarged";
        EXPECT_EQ(c->DstHeight(), c->BitmapHeight()) << "not enlarged";
    }
}

} // namespace

// Landscape and portrait pictures, both panels, before and after an effect runs.
TEST(PainterEffectsDialog, PreviewsShowTheWholePictureCentredWithoutScrollBars)
{
    TpelDrawImage art;
    for (auto [w, h] : {std::pair{400, 300}, std::pair{300, 400}, std::pair{1000, 100}})
        for (TPainterMode mode : {TPainterMode::Adjust, TPainterMode::Effects}) {
            SCOPED_TRACE(testing::Message() << w << "x" << h << (mode == TPainterMode::Adjust ? " adjust" : " effects"));
            kvtest::Ui().ExpectModal("TPainterEffectsF", mrCancel, [mode](TForm& form) {
                auto& dialog = static_cast<TPainterEffectsF&>(form);
                Ui::TPainterEffectsF* ui = dialog.ui();
                ExpectFittedPreview(ui->LEADImage2, "Original");
                ExpectFittedPreview(ui->LEADImage1, "Vorschau");
                if (mode == TPainterMode::Effects) {
                    EXPECT_TRUE(dialog.SelectEffect(9));
                    dialog.EListClick();
                    ExpectFittedPreview(ui->LEADImage1, "Vorschau after Mosaik");
                }
                dialog.AbortBitBtnClick();
            });
            EXPECT_FALSE(RunPainterEffects(art, Picture(w, h), mode));
        }
}
