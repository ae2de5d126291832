// The editor's crop panel (free and print-format crop, the rectangle drawn in the format's
// ratio, the minimum sizes, the cut) and its red-eye panel.
#include "EditorFixture.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Interaction.h"
#include "ui_fBildbearbeitung.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QUrl>

#include <optional>

namespace {

using kvtest::EditorTest;

constexpr QRgb kSkin = 0xFFE6B996;   // (230, 185, 150)
constexpr QRgb kPupil = 0xFFC8281E;  // (200, 40, 30)

// A face: skin, white eyes with a brown iris and a red pupil with a small highlight, red lips.
// The eyes' centres are at (left, 90) and (right, 90) of a 320 x 240 picture.
constexpr QPoint kLeftEye(110, 90), kRightEye(210, 90);
constexpr int kPupilRadius = 9;

QImage RedEyeFace()
{
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(QColor(90, 120, 160));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kSkin));
    p.drawEllipse(QRect(40, 10, 240, 220));
    for (const QPoint eye : {kLeftEye, kRightEye}) {
        p.setBrush(Qt::white);
        p.drawEllipse(eye, 28, 16);
        p.setBrush(QColor(110, 70, 40));
        p.drawEllipse(eye, 15, 15);
        p.setBrush(QColor(kPupil));
        p.drawEllipse(eye, kPupilRadius, kPupilRadius);
        p.setBrush(Qt::white);
        p.drawEllipse(eye + QPoint(3, -3), 2, 2);
    }
    p.setBrush(QColor(190, 60, 60));
    p.drawEllipse(QPoint(160, 175), 40, 12);
    return image;
}

// Noise, so that every pixel of a cut can be traced back.
QImage NoisePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + y * 3) & 255, (x * 13 ^ y * 5) & 255, (x + y * 11) & 255));
    return image;
}

class CropTest : public EditorTest {
protected:
    // The view's picture as it is now, read back exactly.
    QImage ViewPixels()
    {
        const QString path = ProgramFolder + QStringLiteral("probe.bmp");
        View().Save(path, 6, 24, 0, 0);
        return QImage(path).convertToFormat(QImage::Format_RGB32);
    }
    // The view at 100 %, its picture's top-left corner at the client's (client = bitmap pixels).
    void ShowActualSize()
    {
        View().setPaintSizeMode(TLEADImage::smNormal);
        View().ForceRepaint();
    }
    void Drag(QPoint from, QPoint to)
    {
        QWidget* port = View().viewport();
        QTest::mousePress(port, Qt::LeftButton, {}, from);
        QTest::mouseMove(port, (from + to) / 2);
        QTest::mouseMove(port, to);
        QTest::mouseRelease(port, Qt::LeftButton, {}, to);
    }
    // A region given in bitmap pixels (the view shows the picture at 100 %).
    void Mark(QRect r, bool ellipse = false)
    {
        const int x = View().DstLeft() + r.x(), y = View().DstTop() + r.y();
        ASSERT_EQ(ellipse ? View().SetRgnEllipse(x, y, r.width(), r.height(), 1)
                          : View().SetRgnRect(x, y, r.width(), r.height(), 1),
                  1);
    }
    std::optional<QRect> Region()
    {
        if (!View().HasRgn())
            return std::nullopt;
        return QRect(View().RgnLeft(), View().RgnTop(), View().RgnWidth(), View().RgnHeight());
    }
    QRadioButton* Format(const char* name)
    {
        return Editor().ui()->ZuschneidenPanel->findChild<QRadioButton*>(QString::fromLatin1(name));
    }
    void PickFormat(const char* name, bool upright)
    {
        Format(name)->setChecked(true);
        (upright ? Editor().ui()->RadioButton2 : Editor().ui()->RadioButtonHor)->setChecked(true);
    }
};

// ---- the panels ---------------------------------------------------------------------------------

TEST_F(CropTest, EachEntryShowsItsPanelAndMarkingTool)
{
    WritePicture(kvtest::FourColourPicture(64, 48));
    int tips = 0;
    Editor().ShowCropTip = [&] { ++tips; };
    WithEditor([&] {
        Ui::TBildbeaerbeitungForm& ui = *Editor().ui();
        ui.Image11->click();
        EXPECT_EQ(tips, 1) << "the crop tip comes first while its marker is missing";
        EXPECT_TRUE(ui.RadioButton9_13->isChecked());
        EXPECT_FALSE(ui.ZuschneidenPanel->isHidden());
        EXPECT_TRUE(ui.EffectsPanel->isHidden());
        EXPECT_TRUE(ui.ZoomPanel->isHidden());
        EXPECT_FALSE(ui.FormatAnpassungGroupBox1->isHidden());
        EXPECT_EQ(View().RegionTool, 1);
        EXPECT_EQ(View().RgnFrameType(), 2);
        Mark(QRect(1, 1, 40, 30));
        ui.BitBtn4->click();
        EXPECT_FALSE(View().HasRgn()) << "a cancelled marking is gone";
        EXPECT_TRUE(ui.ZuschneidenPanel->isHidden());
        EXPECT_FALSE(ui.EffectsPanel->isHidden());
        EXPECT_FALSE(ui.ZoomPanel->isHidden());
        EXPECT_EQ(View().RgnFrameType(), 0);

        // The format stays for the next crop; with the marker the tip is not shown again.
        ui.RadioButton13_18->setChecked(true);
        QFile(ProgramFolder + QStringLiteral("NoZuschneidenTip.ini")).open(QIODevice::WriteOnly);
        ui.Image11->click();
        EXPECT_EQ(tips, 1);
        EXPECT_TRUE(ui.RadioButton13_18->isChecked());
        ui.BitBtn4->click();

        ui.Image9->click();
        EXPECT_TRUE(ui.RadioButton_Frei->isChecked());
        EXPECT_TRUE(ui.FormatAnpassungGroupBox1->isHidden());
        EXPECT_TRUE(ui.FormatAnpassungGroupBox2->isHidden());
        EXPECT_EQ(View().RegionTool, 1);
        ui.BitBtn4->click();

        ui.Image19->click();
        EXPECT_TRUE(Editor().RedEyeMode);
        EXPECT_FALSE(ui.RedeyePanel->isHidden());
        EXPECT_TRUE(ui.EffectsPanel->isHidden());
        EXPECT_EQ(View().RegionTool, 3);
        EXPECT_EQ(View().RgnFrameType(), 2);
        EXPECT_EQ(ui.ComboBox1->currentIndex(), 0);
        EXPECT_EQ(ui.ThersholdTrackBar->value(), 140);
        EXPECT_EQ(ui.LighnessTrackBar->value(), 60);
        ui.BitBtn3->click();
        EXPECT_FALSE(Editor().RedEyeMode);
        EXPECT_EQ(View().RegionTool, 0);
        EXPECT_FALSE(ui.EffectsPanel->isHidden());
    });
}

// ---- the rectangle in the format's ratio -------------------------------------------------------------

TEST_F(CropTest, TheFormatRectangleFollowsTheDrag)
{
    WritePicture(NoisePicture(1600, 1200));
    struct Case {
        const char* name;
        const char* format;
        bool upright;
        QPoint from, to;
        std::optional<QRect> region;
    };
    const QRect r(100, 100, 300, 200);
    const std::vector<Case> cases = {
        {"right and down", "RadioButton10_15", false, {100, 100}, {400, 300}, r},
        {"left and up", "RadioButton10_15", false, {400, 300}, {100, 100}, r},
        {"right and up: the height flips", "RadioButton10_15", false, {100, 300}, {400, 100}, r},
        {"left and down: the height flips", "RadioButton10_15", false, {400, 100}, {100, 300}, r},
        {"upright", "RadioButton10_15", true, {100, 50}, {300, 90}, QRect(100, 50, 200, 300)},
        {"9 x 13 lying", "RadioButton9_13", false, {10, 10}, {140, 50}, QRect(10, 10, 130, 90)},
        {"20 x 30 upright", "RadioButton20_30", true, {10, 10}, {110, 20}, QRect(10, 10, 100, 150)},
        {"leaving the view at the bottom", "RadioButton10_15", true, {100, 200}, {500, 210}, std::nullopt},
    };
    WithEditor([&] {
        ShowActualSize();
        ASSERT_EQ(View().DstLeft(), 0);
        ASSERT_EQ(View().DstTop(), 0);
        ASSERT_LT(View().viewport()->height(), 800) << "the last case must leave the view";
        Editor().ui()->Image11->click();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            PickFormat(c.format, c.upright);
            Drag(c.from, c.to);
            EXPECT_EQ(Region(), c.region);
            if (c.region)
                EXPECT_EQ(Editor().ui()->XLabel->text(),
                          QStringLiteral("Zuschnitt: %1x%2 Pixel").arg(c.region->width()).arg(c.region->height()));
        }
    });
}

TEST_F(CropTest, AFormatRectanglePastThePictureShownSmallerThanTheViewIsRefused)
{
    // A wide picture fitted into the view leaves white bands above and below it.
    WritePicture(NoisePicture(1600, 600));
    WithEditor([&] {
        View().setPaintSizeMode(TLEADImage::smFit);
        View().ForceRepaint();
        Editor().ui()->Image11->click();
        PickFormat("RadioButton10_15", false);
        const int top = View().DstTop(), bottom = top + View().DstHeight();
        const int left = View().DstLeft();
        ASSERT_GT(top, 40);
        // Inside the picture: the region keeps the ratio.
        const QPoint start(left + 30, bottom - 120);
        Drag(start, start + QPoint(150, 10));
        ASSERT_TRUE(Region());
        EXPECT_NEAR(double(Region()->width()) / Region()->height(), 1.5, 0.03);
        // Past its bottom edge while still inside the view: no region.
        ASSERT_LT(bottom + 40, View().viewport()->height());
        Drag(start, start + QPoint(240, 10));
        EXPECT_EQ(Region(), std::nullopt);
        // Starting in the band above the picture: no region either.
        Drag(QPoint(left + 30, top / 2), QPoint(left + 150, top + 60));
        EXPECT_EQ(Region(), std::nullopt);
    });
}

// ---- the minimum sizes and the cut -------------------------------------------------------------------

TEST_F(CropTest, TheMinimumSideOfEachFormatDecidesBeforeAnythingChanges)
{
    struct Case {
        const char* name;
        const char* format;
        bool upright;
        QRect region;  // bitmap pixels
        const char* refusal;  // null: cropped
    };
    const std::vector<Case> cases = {
        {"10 x 15 lying at 768", "RadioButton10_15", false, QRect(0, 0, 768, 512), nullptr},
        {"10 x 15 lying at 767", "RadioButton10_15", false, QRect(0, 0, 767, 511),
         "Um gute 10x15 Fotoabzüge zu erhalten sollte das zugeschnittene Bild eine Mindestbreite von 768 Pixel haben! "},
        {"10 x 15 upright: the height counts", "RadioButton10_15", true, QRect(10, 0, 400, 768), nullptr},
        {"10 x 15 upright at 767", "RadioButton10_15", true, QRect(10, 0, 1000, 767),
         "Um gute 10x15 Fotoabzüge zu erhalten sollte das zugeschnittene Bild eine Mindesthöhe von 768 Pixel haben! "},
        {"20 x 30 lying at 1519", "RadioButton20_30", false, QRect(0, 0, 1519, 100),
         "Um gute 20x30 Fotoabzüge zu erhalten sollte das zugeschnittene Bild eine Mindestbreite von 1520 Pixel haben! "},
        {"free: never checked", "RadioButton_Frei", false, QRect(5, 6, 40, 30), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WritePicture(NoisePicture(1600, 1200));
        Refreshes = 0;
        WithEditor(
            [&] {
                ShowActualSize();
                Editor().ui()->Image11->click();
                PickFormat(c.format, c.upright);
                ASSERT_EQ(View().SetRgnRect(c.region.x(), c.region.y(), c.region.width(), c.region.height(), 1), 1);
                if (c.refusal)
                    kvtest::Ui().ExpectMessage(mrOk, QString::fromUtf8(c.refusal));
                Editor().ui()->AusfuehrenBitBtn->click();
                if (c.refusal) {
                    EXPECT_EQ(Region(), c.region);
                    EXPECT_EQ(View().BitmapWidth(), 1600);
                    EXPECT_EQ(Editor().UndoIndex, 0);
                    EXPECT_EQ(Refreshes, 0);
                    EXPECT_FALSE(Editor().ui()->ZuschneidenPanel->isHidden());
                } else {
                    EXPECT_EQ(View().BitmapWidth(), c.region.width());
                    EXPECT_EQ(View().BitmapHeight(), c.region.height());
                    EXPECT_EQ(Editor().UndoIndex, 1);
                    EXPECT_TRUE(Editor().ui()->ZuschneidenPanel->isHidden());
                }
            },
            c.refusal ? 0 : mrNo);
    }
}

TEST_F(CropTest, WithoutARegionNothingIsCropped)
{
    WritePicture(kvtest::FourColourPicture(64, 48));
    WithEditor([&] {
        Editor().ui()->Image9->click();
        kvtest::Ui().ExpectMessage(mrOk, QStringLiteral("Sie müssen zuerst einem Bereich markieren!"));
        Editor().ui()->AusfuehrenBitBtn->click();
        EXPECT_EQ(View().BitmapWidth(), 64);
        EXPECT_EQ(Editor().UndoIndex, 0);
    });
}

TEST_F(CropTest, TheCutKeepsExactPixelsAndWhitensOutsideAnEllipse)
{
    WritePicture(NoisePicture(400, 300), "PNG");
    WithEditor(
        [&] {
            ShowActualSize();
            const QImage before = ViewPixels();
            Editor().ui()->Image9->click();
            Mark(QRect(50, 40, 120, 90));
            Editor().ui()->AusfuehrenBitBtn->click();
            EXPECT_EQ(Editor().UndoIndex, 1);
            EXPECT_EQ(Refreshes, 1) << "committed";
            EXPECT_FALSE(View().HasRgn());
            EXPECT_EQ(ViewPixels(), before.copy(50, 40, 120, 90));
            EXPECT_EQ(QImage(Editor().TempFile()).size(), QSize(120, 90));

            ShowActualSize();
            const QImage rect = ViewPixels();
            Editor().ui()->Image9->click();
            Mark(QRect(10, 10, 80, 60), true);
            Editor().ui()->AusfuehrenBitBtn->click();
            EXPECT_EQ(Editor().UndoIndex, 2);
            const QImage cut = ViewPixels();
            ASSERT_EQ(cut.size(), QSize(80, 60));
            for (const QPoint corner : {QPoint(0, 0), QPoint(79, 0), QPoint(0, 59), QPoint(79, 59)})
                EXPECT_EQ(cut.pixel(corner), qRgb(255, 255, 255)) << corner.x() << "," << corner.y();
            EXPECT_EQ(cut.pixel(40, 30), rect.pixel(50, 40));
            EXPECT_EQ(cut.pixel(2, 30), rect.pixel(12, 40)) << "the ellipse reaches its sides";

            Editor().ui()->UndoImage->click();
            EXPECT_EQ(View().BitmapWidth(), 120);
            Editor().ui()->UndoImage->click();
            EXPECT_EQ(View().BitmapWidth(), 400);
        });
}

// ---- red eyes ----------------------------------------------------------------------------------------

class RedEyeTest : public CropTest {
protected:
    // Marks an ellipse round the eye (bitmap pixels; the view shows the picture at 100 %).
    void MarkEye(QPoint eye)
    {
        const int r = kPupilRadius + 6;
        Mark(QRect(eye.x() - r, eye.y() - r, 2 * r, 2 * r), true);
    }
    static bool Dark(QRgb c) { return qRed(c) < 50 && qGreen(c) < 50 && qBlue(c) < 50; }
};

TEST_F(RedEyeTest, RedPupilsTurnDarkAndNothingElseChanges)
{
    WritePicture(RedEyeFace(), "PNG");
    WithEditor(
        [&] {
            ShowActualSize();
            Ui::TBildbeaerbeitungForm& ui = *Editor().ui();
            ui.Image19->click();
            const QImage before = ViewPixels();
            for (const QPoint eye : {kLeftEye, kRightEye}) {
                MarkEye(eye);
                ui.DoBitBtn->click();
                EXPECT_EQ(View().RegionTool, 3) << "ready for the next eye";
                EXPECT_EQ(View().RgnFrameType(), 2);
            }
            EXPECT_EQ(Editor().UndoIndex, 2);
            EXPECT_EQ(Refreshes, 0) << "the thumbnail waits for Zurück";
            const QImage after = ViewPixels();
            int pupils = 0;
            for (int y = 0; y < before.height(); ++y)
                for (int x = 0; x < before.width(); ++x) {
                    if (before.pixel(x, y) == kPupil) {
                        pupils += Dark(after.pixel(x, y));
                        EXPECT_TRUE(Dark(after.pixel(x, y))) << x << "," << y;
                    } else {
                        ASSERT_EQ(after.pixel(x, y), before.pixel(x, y)) << x << "," << y;
                    }
                }
            EXPECT_GT(pupils, 400);

            ui.BitBtn3->click();
            EXPECT_EQ(Refreshes, 1);
            EXPECT_FALSE(Editor().RedEyeMode);
        },
        mrNo);
}

TEST_F(RedEyeTest, UndoInRedEyeModeKeepsTheToolAndTheRegion)
{
    WritePicture(RedEyeFace(), "PNG");
    WithEditor(
        [&] {
            ShowActualSize();
            Ui::TBildbeaerbeitungForm& ui = *Editor().ui();
            ui.Image19->click();
            MarkEye(kLeftEye);
            ui.DoBitBtn->click();
            EXPECT_TRUE(Dark(ViewPixels().pixel(kLeftEye - QPoint(4, 0))));
            MarkEye(kRightEye);
            const std::optional<QRect> marked = Region();
            ui.UndoBitBtn1->click();
            EXPECT_EQ(Editor().UndoIndex, 0);
            EXPECT_EQ(ViewPixels().pixel(kLeftEye - QPoint(4, 0)), kPupil);
            EXPECT_EQ(View().RegionTool, 3);
            EXPECT_EQ(View().RgnFrameType(), 2);
            EXPECT_EQ(Region(), marked);
            ui.RedoImage->click();
            EXPECT_TRUE(Dark(ViewPixels().pixel(kLeftEye - QPoint(4, 0))));
            EXPECT_EQ(View().RegionTool, 3);
        },
        mrNo);
}

TEST_F(RedEyeTest, WithoutARegionOrAColourNothingChanges)
{
    WritePicture(RedEyeFace(), "PNG");
    WithEditor([&] {
        ShowActualSize();
        Ui::TBildbeaerbeitungForm& ui = *Editor().ui();
        ui.Image19->click();
        kvtest::Ui().ExpectMessage(mrOk, QStringLiteral("Sie müssen zuerst einem Bereich markieren!"));
        ui.DoBitBtn->click();
        MarkEye(kLeftEye);
        ui.ComboBox1->setCurrentIndex(-1);
        kvtest::Ui().ExpectMessage(mrOk, QStringLiteral("Bitte wählen Sie zuerst eine Augenfarbe aus!"));
        ui.DoBitBtn->click();
        EXPECT_EQ(Editor().UndoIndex, 0);
        EXPECT_EQ(ViewPixels().pixel(kLeftEye - QPoint(4, 0)), kPupil);
    });
}

TEST_F(RedEyeTest, TheHelpPageOpensFromTheProgramFolder)
{
    // The shipped page, in the program folder as the build puts it there.
    const QString page = ProgramFolder + QStringLiteral("help/roteaugen.html");
    QDir().mkpath(ProgramFolder + QStringLiteral("help"));
    ASSERT_TRUE(QFile::copy(kvtest::SourceDir() + QStringLiteral("data/help/roteaugen.html"), page));
    kvtest::Ui().ExpectShellOpen(true);
    Editor().RoteAugenHelpLabelClick();
    const auto opened = kvtest::Ui().AskedOf(TAskKind::ShellOpen);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].Text, QUrl::fromLocalFile(page).toString());
    kvtest::Ui().ExpectShellOpen(false);
    kvtest::Ui().ExpectMessage(mrOk, QStringLiteral("Unable to start internet browser!"));
    Editor().RoteAugenHelpLabelClick();
}

} // namespace
