// The size dialog (units, resolution, aspect lock) and the colour dialog (colour weights,
// sharpen and blur, sepia, OK and Cancel).
#include "EditorFixture.h"

#include "editing/SizeUnits.h"
#include "platform/vcl/Exceptions.h"
#include "ui_fLeadEffects.h"
#include "ui_fSize.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <string>

namespace {

using kvtest::EditorTest;
using kvtest::FileBytes;

TEST(SizeUnits, LengthsInAGermanLocale)
{
    const QChar comma(',');
    EXPECT_EQ(PixelsToLengthText(3000, 300, 1, comma), "25,40");
    EXPECT_EQ(PixelsToLengthText(2000, 300, 1, comma), "16,93");
    EXPECT_EQ(PixelsToLengthText(3000, 300, 10, comma), "254,00");
    EXPECT_EQ(PixelsToLengthText(2000, 300, 10, comma), "169,33");
    EXPECT_EQ(LengthTextToPixels("25,40", 300, 1, comma), 3000);
    EXPECT_EQ(LengthTextToPixels("169,33", 300, 10, comma), 2000);
    EXPECT_EQ(LengthTextToPixels("", 300, 1, comma), 0);
    // A length far beyond any picture stays a number the dialog can hold.
    EXPECT_EQ(LengthTextToPixels("1e300", 600, 1, comma), INT_MAX);
}

// The size dialog over a 3000 x 2000 picture, shown modally while body runs.
class SizeDialog : public EditorTest {
protected:
    void WithDialog(const std::function<void(Ui::TSizeForm&)>& body, int result = mrOk)
    {
        SizeForm->InWidth = 3000;
        SizeForm->InHeight = 2000;
        kvtest::Ui().ExpectModal("TSizeForm", result, [&](TForm&) { body(*SizeForm->ui()); });
        kvtest::ActivateSomethingElse();
        SizeForm->ShowModal();
    }
};

TEST_F(SizeDialog, LengthsFollowUnitAndResolution)
{
    const QChar sep = LocaleDecimalSeparator();
    WithDialog([&](Ui::TSizeForm& ui) {
        EXPECT_EQ(ui.SpinEdit1->value(), 3000);
        EXPECT_EQ(ui.SpinEdit2->value(), 2000);
        ui.ComboBox2->setCurrentIndex(1);
        SizeForm->ComboBox2Change();
        EXPECT_FALSE(ui.cmPanel->isHidden());
        EXPECT_EQ(ui.BreitEdit->text(), QString("25") + sep + "40");
        EXPECT_EQ(ui.HochEdit->text(), QString("16") + sep + "93");
        EXPECT_EQ(ui.BreitLabel->text(), "Breite in cm");
        ui.ComboBox2->setCurrentIndex(2);
        SizeForm->ComboBox2Change();
        EXPECT_EQ(ui.BreitEdit->text(), QString("254") + sep + "00");
        EXPECT_EQ(ui.HochEdit->text(), QString("169") + sep + "33");
        EXPECT_EQ(ui.HochLabel->text(), "Höhe in mm");
        // Half the width in millimetres gives half the picture on OK.
        ui.BreitEdit->setText(QString("127") + sep + "00");
        EXPECT_EQ(ui.HochEdit->text(), QString("84") + sep + "67");
        ui.SaveBitBtn->click();
    });
    EXPECT_EQ(SizeForm->OutWidth, 1500);
    EXPECT_EQ(SizeForm->OutHeight, 1000);
    // The unit is kept for the next use; back to pixels for the other tests.
    SizeForm->ui()->ComboBox2->setCurrentIndex(0);
    SizeForm->ComboBox2Change();
}

// Typed key by key into one box: every keystroke changes the value, and the other box follows
// (with the lock) while the typed value stays as typed.
TEST_F(SizeDialog, TypedValuesStayAsTypedAndTheOtherBoxFollowsWithTheLock)
{
    struct Row {
        bool locked;
        int box;  // 1: width, 2: height
        const char* typed;
        int width, height;
    };
    const Row rows[] = {
        {true, 1, "1800", 1800, 1200},
        {true, 1, "1501", 1501, 1001},
        {true, 2, "1001", 1502, 1001},  // 1501.5 rounds half to even
        {true, 2, "500", 750, 500},
        {false, 1, "1800", 1800, 2000},
        {false, 2, "999", 3000, 999},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.typed) + (row.locked ? " locked" : " free") + " in box " +
                     std::to_string(row.box));
        WithDialog([&](Ui::TSizeForm& ui) {
            ui.SeitenCheckBox->setChecked(row.locked);
            QSpinBox* box = row.box == 1 ? ui.SpinEdit1 : ui.SpinEdit2;
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, QString::fromLatin1(row.typed));
            EXPECT_EQ(ui.SpinEdit1->value(), row.width);
            EXPECT_EQ(ui.SpinEdit2->value(), row.height);
            ui.SaveBitBtn->click();
        });
        EXPECT_EQ(SizeForm->OutWidth, row.width);
        EXPECT_EQ(SizeForm->OutHeight, row.height);
    }
    SizeForm->ui()->SeitenCheckBox->setChecked(true);
}

TEST(LeadEffectsLabels, SharpenLabelRoundsTenthsHalfToEven)
{
    EXPECT_EQ(TLeadEffectsForm::SharpenLabelText(-500), "Wert: -50%");
    EXPECT_EQ(TLeadEffectsForm::SharpenLabelText(500), "Wert: 50%");
    EXPECT_EQ(TLeadEffectsForm::SharpenLabelText(-5), "Wert: 0%");
    EXPECT_EQ(TLeadEffectsForm::SharpenLabelText(15), "Wert: 2%");
}

// The colour dialog over a flat picture in the editor.
class ColourDialog : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        QImage flat(40, 30, QImage::Format_RGB32);
        flat.fill(QColor(200, 160, 120));
        WritePicture(flat, "BMP");
    }
    static QColor Centre(TLEADImage& image, const QString& file)
    {
        EXPECT_EQ(image.Save(file, 6, 24, 0, 0), 1);
        const QImage saved(file);
        return saved.pixelColor(saved.width() / 2, saved.height() / 2);
    }
    static void ExpectNear(const QColor& c, int r, int g, int b)
    {
        EXPECT_NEAR(c.red(), r, 1);
        EXPECT_NEAR(c.green(), g, 1);
        EXPECT_NEAR(c.blue(), b, 1);
    }
};

TEST_F(ColourDialog, ColourWeightsPreviewOnReleaseAndOkMakesThemTheNewPicture)
{
    WithEditor(
        [&] {
            kvtest::Ui().ExpectModal("TLeadEffectsForm", mrCancel, [&](TForm&) {
                Ui::TLeadEffectsForm& ui = *LeadEffectsForm->ui();
                EXPECT_FALSE(ui.RGBPanel->isHidden());
                EXPECT_TRUE(ui.SharpenPanel->isHidden());
                // Held: only noted. Released: previewed.
                ui.RedTrackBar->setSliderDown(true);
                ui.RedTrackBar->setValue(50);
                EXPECT_TRUE(LeadEffectsForm->Pending);
                EXPECT_EQ(ui.RedLabel->text(), "Rot: 100%");
                ui.RedTrackBar->setSliderDown(false);
                EXPECT_FALSE(LeadEffectsForm->Pending);
                EXPECT_EQ(ui.RedLabel->text(), "Rot: 50%");
                // A key change previews at once.
                ui.BlueTrackBar->setValue(10);
                EXPECT_EQ(ui.BlueLabel->text(), "Blau: 10%");
                ExpectNear(Centre(*ui.LEADImage1, ProgramFolder + "p.bmp"), 100, 160, 12);
                ui.SaveBitBtn->click();
            });
            Editor().ui()->Image15->click();
            EXPECT_EQ(Editor().UndoIndex, 1);
            ExpectNear(Centre(View(), ProgramFolder + "v.bmp"), 100, 160, 12);
        },
        mrNo);
}

TEST_F(ColourDialog, SepiaOnGreyWeightsAndCancelLeavesTheEditorAlone)
{
    WithEditor([&] {
        kvtest::Ui().ExpectModal("TLeadEffectsForm", mrCancel, [&](TForm&) {
            Ui::TLeadEffectsForm& ui = *LeadEffectsForm->ui();
            ui.SepiaButton->click();
            const QColor c = Centre(*ui.LEADImage1, ProgramFolder + "p.bmp");
            EXPECT_NEAR(c.green(), c.red() * 0.83, 1.5);
            EXPECT_NEAR(c.blue(), c.red() * 0.34, 1.5);
            EXPECT_GT(c.red(), 140);
            ui.AbortBitBtn->click();
        });
        Editor().ui()->Image15->click();
        EXPECT_EQ(Editor().UndoIndex, 0);
        EXPECT_FALSE(Editor().ui()->UndoImage->isEnabled());
        ExpectNear(Centre(View(), ProgramFolder + "v.bmp"), 200, 160, 120);
        // Temp.jpg is still the view as the editor wrote it before the dialog.
        ASSERT_EQ(View().Save(ProgramFolder + "again.jpg", 10, 24, 3, 0), 1);
        EXPECT_EQ(FileBytes(Editor().TempFile()), FileBytes(ProgramFolder + "again.jpg"));
    });
}

// The previews hold the picture at full size only while the dialog is open: a later opening
// over another picture must not paint this one while that loads.
TEST_F(ColourDialog, ClosingLetsThePreviewCopiesGo)
{
    WithEditor([&] {
        kvtest::Ui().ExpectModal("TLeadEffectsForm", mrCancel, [&](TForm&) {
            Ui::TLeadEffectsForm& ui = *LeadEffectsForm->ui();
            EXPECT_TRUE(ui.LEADImage1->Allocated());
            EXPECT_TRUE(ui.LEADImage2->Allocated());
            ui.AbortBitBtn->click();
        });
        Editor().ui()->Image16->click();
        EXPECT_FALSE(LeadEffectsForm->ui()->LEADImage1->Allocated());
        EXPECT_FALSE(LeadEffectsForm->ui()->LEADImage2->Allocated());
    });
}

TEST_F(ColourDialog, SharpenSliderBlursBelowZeroAndSharpensAbove)
{
    WithEditor(
        [&] {
            kvtest::Ui().ExpectModal("TLeadEffectsForm", mrCancel, [&](TForm&) {
                Ui::TLeadEffectsForm& ui = *LeadEffectsForm->ui();
                EXPECT_FALSE(ui.SharpenPanel->isHidden());
                EXPECT_EQ(ui.SharpenLabel->text(), "Wert: 0%");
                ui.SharpenTrackBar->setValue(-500);
                EXPECT_EQ(ui.SharpenLabel->text(), "Wert: -50%");
                EXPECT_EQ(LeadEffectsForm->SharpenValue, -500);
                ui.Button1->click();
                EXPECT_EQ(ui.SharpenTrackBar->value(), 0);
                EXPECT_EQ(ui.SharpenLabel->text(), "Wert: 0%");
                ui.AbortBitBtn->click();
            });
            Editor().ui()->Image16->click();
            EXPECT_EQ(Editor().UndoIndex, 0);
        });
}

} // namespace
