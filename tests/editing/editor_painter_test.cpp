// The editor's painter buttons: the dialog's OK becomes one undo step of the full picture,
// "Abbrechen" leaves the editor as it was, and the accepted picture comes back through
// TakeArtResult (with the sharpening of the automatic improvement).
#include "EditorFixture.h"

#include "editing/draw/ArtHandoff.h"
#include "editing/draw/DrawImage.h"
#include "editing/draw/fPainterEffects.h"
#include "editing/paintfx/PaintFX.h"
#include "platform/vcl/Application.h"
#include "ui_fBildbearbeitung.h"
#include "ui_fPainterEffects.h"

#include <QLinearGradient>
#include <QPushButton>
#include <QSlider>

namespace {

using kvtest::EditorTest;
using kvtest::FileBytes;

// Soft gradients with a few hard shapes, like a photo.
QImage PhotoLike(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, w, h);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(230, 200, 120));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(180, 40, 30));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(w / 5, h / 4, w / 3, h / 2));
    p.setBrush(QColor(30, 140, 60));
    p.drawRect(QRect(w * 3 / 5, h / 2, w / 4, h / 3));
    return image;
}

// Mean of |a - b| over every channel; -1 for pictures of different sizes.
double MeanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// Mean of max - min of the channels: higher for a more saturated picture.
double MeanSaturation(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum += std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
        }
    return sum / (double(image.width()) * image.height());
}

class EditorPainterTest : public EditorTest {
protected:
    // The view's picture, exactly (through an uncompressed save).
    QImage ViewPicture()
    {
        const QString file = ProgramFolder + QStringLiteral("view.bmp");
        EXPECT_EQ(View().Save(file, 6, 24, 0, 0), 1);
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }
    // The picture file as the view loads it.
    QImage DecodedPicture()
    {
        TLEADImage fresh;
        EXPECT_EQ(fresh.Load(Picture, 0, 1, -1), 1);
        const QString file = ProgramFolder + QStringLiteral("fresh.bmp");
        EXPECT_EQ(fresh.Save(file, 6, 24, 0, 0), 1);
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }
    // Shows the painter dialog by button and runs interact in it.
    void WithPainterDialog(QPushButton* button, const std::function<void(TPainterEffectsF&)>& interact)
    {
        kvtest::Ui().ExpectModal(QStringLiteral("TPainterEffectsF"), mrCancel,
                                 [&](TForm& form) { interact(static_cast<TPainterEffectsF&>(form)); });
        button->click();
    }
};

TEST_F(EditorPainterTest, EffectOkIsOneUndoStepOfTheFullPictureAndUndoGivesThePictureBack)
{
    WritePicture(PhotoLike(240, 160));
    WithEditor(
        [&] {
            Ui::TBildbeaerbeitungForm& ui = *Editor().ui();
            const QImage before = ViewPicture();
            WithPainterDialog(ui.Image17, [&](TPainterEffectsF& dialog) {
                EXPECT_FALSE(dialog.ui()->EffectPanel->isHidden());
                EXPECT_EQ(dialog.DrawImage->Picture().Width(), kArtPreviewWidth) << "previewed on the copy";
                ASSERT_TRUE(dialog.SelectEffect(9));  // "Mosaik": 2..30 at 15
                dialog.EListClick();
                dialog.SaveBitBtnClick();
            });
            EXPECT_EQ(Editor().UndoIndex, 1);
            EXPECT_EQ(Editor().UndoTop, 1);
            EXPECT_TRUE(ui.UndoImage->isEnabled());
            EXPECT_TRUE(UndoFileExists(1));
            EXPECT_TRUE(UndoFileExists(2));
            EXPECT_FALSE(UndoFileExists(3));
            EXPECT_EQ(Screen->Cursor(), crDefault);

            // 15-pixel blocks over the whole picture at its own size, from the working copy
            // the dialog read (UNDO_1 holds the same bytes).
            TBitmap expected = ReadPictureFile(Editor().UndoFile(1));
            TpelPaintFX().Mosaic(FxView(expected), 15);
            const QImage after = ViewPicture();
            ASSERT_EQ(after.size(), QSize(240, 160));
            EXPECT_LT(MeanDifference(after, expected.Image().convertToFormat(QImage::Format_RGB32)), 2.0);
            EXPECT_GT(MeanDifference(after, before), 3.0) << "the mosaic is there";
            EXPECT_LT(MeanDifference(QImage(Editor().TempFile()).convertToFormat(QImage::Format_RGB32), after), 2.0);

            ui.UndoImage->click();
            EXPECT_EQ(Editor().UndoIndex, 0);
            EXPECT_TRUE(ViewPicture() == DecodedPicture()) << "undo gives the picture back exactly";
        });
}

TEST_F(EditorPainterTest, AbbrechenLeavesTheEditorAsItWas)
{
    WritePicture(PhotoLike(240, 160));
    WithEditor([&] {
        Ui::TBildbeaerbeitungForm& ui = *Editor().ui();
        const QImage before = ViewPicture();
        const struct {
            QPushButton* button;
            std::function<void(TPainterEffectsF&)> change;
        } rows[] = {
            {ui.Image17, [](TPainterEffectsF& d) {
                 EXPECT_TRUE(d.SelectEffect(10));
                 d.EListClick();
             }},
            {ui.Image14, [](TPainterEffectsF& d) { d.ui()->KontrastTrackBar->setValue(120); }},
            {ui.Image12, [](TPainterEffectsF&) {}},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.button->objectName().toStdString());
            WithPainterDialog(row.button, [&](TPainterEffectsF& dialog) {
                row.change(dialog);
                EXPECT_TRUE(dialog.ui()->SaveBitBtn->isEnabled());
                dialog.AbortBitBtnClick();
            });
            EXPECT_EQ(Editor().UndoIndex, 0);
            EXPECT_FALSE(UndoFileExists(1));
            EXPECT_FALSE(ui.UndoImage->isEnabled());
            EXPECT_TRUE(ViewPicture() == before);
            EXPECT_EQ(Screen->Cursor(), crDefault);
        }
    });
}

TEST_F(EditorPainterTest, AutoImproveOkStoresAMoreSaturatedSharpenedPicture)
{
    WritePicture(PhotoLike(240, 160));
    WithEditor(
        [&] {
            const QImage before = ViewPicture();
            WithPainterDialog(Editor().ui()->Image12, [&](TPainterEffectsF& dialog) {
                EXPECT_FALSE(dialog.ui()->AutomaticPanel->isHidden());
                EXPECT_EQ(dialog.DrawImage->Picture().Width(), 240) << "the full picture is improved";
                dialog.SaveBitBtnClick();
            });
            EXPECT_EQ(Editor().UndoIndex, 1);
            const QImage after = ViewPicture();
            ASSERT_EQ(after.size(), before.size());
            EXPECT_GT(MeanSaturation(after), MeanSaturation(before) * 1.2);
            // The working copy holds what the view shows (format 4:2:2, nearly lossless).
            EXPECT_LT(MeanDifference(QImage(Editor().TempFile()).convertToFormat(QImage::Format_RGB32), after), 2.0);
        },
        mrNo);
}

TEST_F(EditorPainterTest, TakeArtResultLoadsTheWorkBitmapAndSharpensOnlyWhenAsked)
{
    WritePicture(PhotoLike(120, 80));
    WithEditor(
        [&] {
            const QImage result = PhotoLike(90, 60).convertToFormat(QImage::Format_BGR888).mirrored(true, false);
            // What the editor should show: the work bitmap through JPEG quality 90, loaded
            // by the imaging control, sharpened by 850 for the automatic improvement.
            ASSERT_TRUE(result.save(ProgramFolder + "q90.jpg", "JPEG", 90));
            const auto expected = [&](bool sharpen) {
                TLEADImage control;
                EXPECT_EQ(control.Load(ProgramFolder + "q90.jpg", 0, 1, -1), 1);
                if (sharpen)
                    control.Sharpen(850);
                EXPECT_EQ(control.Save(ProgramFolder + "expected.bmp", 6, 24, 0, 0), 1);
                return QImage(ProgramFolder + "expected.bmp").convertToFormat(QImage::Format_RGB32);
            };
            for (const bool sharpen : {false, true}) {
                SCOPED_TRACE(sharpen);
                Editor().Art->WorkBitmap.SetImage(result, pf24bit);
                const int n = Editor().UndoIndex;
                Editor().TakeArtResult(sharpen);
                EXPECT_EQ(Editor().UndoIndex, n + 1);
                EXPECT_TRUE(UndoFileExists(n + 2)) << "the redo file of the step";
                EXPECT_TRUE(ViewPicture() == expected(sharpen));
                EXPECT_EQ(Screen->Cursor(), crDefault);
            }
            EXPECT_FALSE(expected(true) == expected(false));
        },
        mrNo);
}

} // namespace
