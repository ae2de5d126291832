// The editor window: the undo and redo protocol through Temp.jpg and UNDO_<n>.jpg, closing
// with and without the save question, the status line, the zoom and scroll rules, the pan,
// and the size refusal.
#include "EditorFixture.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Interaction.h"
#include "ui_fBildbearbeitung.h"

#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QStatusBar>
#include <QSpinBox>
#include "ui_fSize.h"

namespace {

using kvtest::EditorTest;
using kvtest::FileBytes;
using kvtest::Quadrants;

struct ProtocolRow {
    const char* action;
    int n, top;
    bool undo, redo;
    std::vector<int> undoFiles;
    int width, height;
    const char* quadrants;  // of Temp.jpg after the action
};

TEST_F(EditorTest, UndoRedoProtocolFollowsTheTrace)
{
    WritePicture(kvtest::FourColourPicture(64, 48));
    const std::vector<ProtocolRow> rows = {
        {"90", 1, 1, true, false, {1, 2}, 48, 64, "bryg"},
        {"mirror", 2, 2, true, false, {1, 2, 3}, 48, 64, "rbgy"},
        {"undo", 1, 2, true, true, {1, 2, 3}, 48, 64, "bryg"},
        {"undo", 0, 2, false, true, {1, 2, 3}, 64, 48, "rgby"},
        {"redo", 1, 2, true, true, {1, 2, 3}, 48, 64, "bryg"},
        {"redo", 2, 2, true, false, {1, 2, 3}, 48, 64, "rbgy"},
        {"undo", 1, 2, true, true, {1, 2, 3}, 48, 64, "bryg"},
        {"180", 2, 2, true, false, {1, 2, 3}, 48, 64, "gyrb"},
    };
    WithEditor(
        [&] {
            Ui::TBildbeaerbeitungForm& ui = *Editor().ui();
            EXPECT_FALSE(ui.UndoImage->isEnabled());
            EXPECT_FALSE(ui.RedoImage->isEnabled());
            for (const ProtocolRow& row : rows) {
                SCOPED_TRACE(row.action);
                const QString action = row.action;
                if (action == "90")
                    ui.Image4->click();
                else if (action == "180")
                    ui.Image5->click();
                else if (action == "mirror")
                    ui.Image6->click();
                else if (action == "undo")
                    ui.UndoImage->click();
                else
                    ui.RedoImage->click();
                EXPECT_EQ(Editor().UndoIndex, row.n);
                EXPECT_EQ(Editor().UndoTop, row.top);
                EXPECT_EQ(ui.UndoImage->isEnabled(), row.undo);
                EXPECT_EQ(ui.UndoBitBtn1->isEnabled(), row.undo);
                EXPECT_EQ(ui.RedoImage->isEnabled(), row.redo);
                for (int n = 1; n <= 5; ++n) {
                    const bool expected = std::find(row.undoFiles.begin(), row.undoFiles.end(), n) != row.undoFiles.end();
                    EXPECT_EQ(UndoFileExists(n), expected) << "UNDO_" << n;
                }
                EXPECT_EQ(View().BitmapWidth(), row.width);
                EXPECT_EQ(View().BitmapHeight(), row.height);
                EXPECT_EQ(Quadrants(Editor().TempFile()), QString(row.quadrants));
                EXPECT_EQ(Screen->Cursor(), crDefault);
            }
        },
        mrNo);
    EXPECT_GT(Refreshes, 0);
}

TEST_F(EditorTest, UndoToTheStartGivesTheDecodedPictureItself)
{
    // Noise shows any JPEG round trip that a copy of the picture would add.
    QImage noise(96, 64, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate() | 0xFF000000u);
    WritePicture(noise, "JPEG", 80);
    QByteArray edited, original;
    WithEditor(
        [&] {
            Editor().ui()->Image3->click();
            Editor().ui()->Image7->click();
            Editor().ui()->UndoImage->click();
            Editor().ui()->UndoImage->click();
            ASSERT_EQ(Editor().UndoIndex, 0);
            ASSERT_EQ(View().Save(ProgramFolder + "view.bmp", 6, 24, 0, 0), 1);
        });
    TLEADImage fresh;
    ASSERT_EQ(fresh.Load(Picture, 0, 1, -1), 1);
    ASSERT_EQ(fresh.Save(ProgramFolder + "fresh.bmp", 6, 24, 0, 0), 1);
    EXPECT_EQ(FileBytes(ProgramFolder + "view.bmp"), FileBytes(ProgramFolder + "fresh.bmp"));
}

TEST_F(EditorTest, CloseAsksOnlyAfterAChangeAndReplacesThePictureOnlyOnYes)
{
    struct Row {
        const char* name;
        bool change;
        int answer;  // 0: no question
        bool replaced;
    };
    for (const Row& row : {Row{"no change", false, 0, false}, Row{"change, Yes", true, mrYes, true},
                           Row{"change, No", true, mrNo, false}}) {
        SCOPED_TRACE(row.name);
        WritePicture(kvtest::FourColourPicture(64, 48));
        const QByteArray before = FileBytes(Picture);
        WithEditor(
            [&] {
                if (row.change)
                    Editor().ui()->Image4->click();
            },
            row.answer);
        EXPECT_EQ(kvtest::Ui().Pending(), 0u);
        if (row.replaced) {
            EXPECT_EQ(FileBytes(Picture), FileBytes(Editor().TempFile()));
            EXPECT_EQ(Quadrants(Picture), "bryg");
        } else {
            EXPECT_EQ(FileBytes(Picture), before);
        }
        for (int n = 1; n <= 3; ++n)
            EXPECT_FALSE(UndoFileExists(n)) << n;
    }
}

TEST_F(EditorTest, AFailedSaveAtCloseKeepsTheWorkingCopyAndSaysSo)
{
    WritePicture(kvtest::FourColourPicture(64, 48));
    const QByteArray before = FileBytes(Picture);
    // A target whose parent is a file cannot be written.
    QFile blocker(SlideshowFolder + "blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString original = Picture;
    kvtest::Ui().ExpectModal("TBildbeaerbeitungForm", mrCancel, [&](TForm&) {
        Editor().ui()->Image4->click();
        Picture = SlideshowFolder + "blocker/bild.jpg";
    });
    kvtest::Ui().ExpectMessage(mrYes, "Alle Änderungen");
    kvtest::Ui().ExpectMessage(mrOk, "nicht");
    Editor().ShowModal();
    EXPECT_EQ(FileBytes(original), before);
    EXPECT_TRUE(QFile::exists(Editor().TempFile()));
    EXPECT_EQ(Quadrants(Editor().TempFile()), "bryg");
    EXPECT_TRUE(UndoFileExists(1));
}

TEST_F(EditorTest, AFailedChangeTakesItsUndoStepBack)
{
    WritePicture(kvtest::FourColourPicture(64, 48));
    WithEditor(
        [&] {
            Editor().ui()->Image4->click();
            ASSERT_EQ(Editor().UndoIndex, 1);
            // The change fails after its undo step was written.
            bool failed = false;
            try {
                Editor().ApplyChange([&] {
                    // The change gets as far as writing Temp.jpg before it fails.
                    View().Flip();
                    Editor().SaveTemp();
                    throw Exception(QStringLiteral("kaputt"));
                });
            } catch (const Exception&) {
                failed = true;
            }
            EXPECT_TRUE(failed);
            EXPECT_EQ(Editor().UndoIndex, 1);
            EXPECT_EQ(Editor().UndoTop, 1);
            EXPECT_FALSE(UndoFileExists(3));
            EXPECT_EQ(Quadrants(Editor().TempFile()), "bryg");
            ASSERT_EQ(View().Save(ProgramFolder + "view.jpg", 10, 24, 3, 0), 1);
            EXPECT_EQ(Quadrants(ProgramFolder + "view.jpg"), "bryg");
            // Undo and redo go on from the last completed change.
            Editor().ui()->UndoImage->click();
            EXPECT_EQ(Editor().UndoIndex, 0);
            EXPECT_EQ(Quadrants(Editor().TempFile()), "rgby");
            Editor().ui()->RedoImage->click();
            EXPECT_EQ(Quadrants(Editor().TempFile()), "bryg");
        },
        mrNo);
}

TEST_F(EditorTest, AnImagingErrorLeavesNoHourglassAndNoUndoStep)
{
    WritePicture(kvtest::FourColourPicture(64, 48));
    WithEditor(
        [&] {
            // Temp.jpg cannot be written once the program folder's place is taken by a file.
            const QString folder = ProgramFolder;
            QFile blocker(folder + "blocker");
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
            blocker.close();
            Editor().ProgramFolder = folder + "blocker/";
            kvtest::Ui().ExpectMessage(mrOk, "BildbViewLEADImage");
            Editor().ui()->Image4->click();
            EXPECT_EQ(Screen->Cursor(), crDefault);
            EXPECT_EQ(Editor().UndoIndex, 0);
            EXPECT_FALSE(Editor().ui()->UndoImage->isEnabled());
            EXPECT_EQ(View().BitmapWidth(), 64);
            Editor().ProgramFolder = folder;
        });
}

TEST_F(EditorTest, AFailedUndoFileWriteTakesTheStepBackAndSaysSo)
{
    WritePicture(kvtest::FourColourPicture(64, 48));
    WithEditor([&] {
        // The redo file of the first change cannot be written: its name is taken by a folder.
        ASSERT_TRUE(QDir(ProgramFolder).mkdir("UNDO_2.jpg"));
        kvtest::Ui().ExpectMessage(mrOk, "BildbViewLEADImage");
        Editor().ui()->Image4->click();
        EXPECT_EQ(Editor().UndoIndex, 0);
        EXPECT_EQ(Editor().UndoTop, 0);
        EXPECT_FALSE(Editor().ui()->UndoImage->isEnabled());
        EXPECT_FALSE(UndoFileExists(1));
        EXPECT_EQ(Quadrants(Editor().TempFile()), "rgby");
        EXPECT_EQ(View().BitmapWidth(), 64);
        EXPECT_EQ(Screen->Cursor(), crDefault);
        // Once the name is free the same turn goes through.
        ASSERT_TRUE(QDir(ProgramFolder).rmdir("UNDO_2.jpg"));
        Editor().ui()->Image4->click();
        EXPECT_EQ(Editor().UndoIndex, 1);
        EXPECT_TRUE(UndoFileExists(2));
        EXPECT_EQ(Quadrants(Editor().TempFile()), "bryg");
        Editor().ui()->UndoImage->click();
    });
}

TEST_F(EditorTest, SizeOutsideTheLimitsIsRefusedBeforeAnyUndoStep)
{
    WritePicture(kvtest::FourColourPicture(64, 48));
    struct Row {
        int width, height;
        bool refused;
    };
    WithEditor(
        [&] {
            for (const Row& row : {Row{-10, 48, true}, Row{64, 0, true}, Row{20000, 10001, true}, Row{32, 24, false}}) {
                SCOPED_TRACE(row.width);
                const int n = Editor().UndoIndex;
                kvtest::Ui().ExpectModal("TSizeForm", mrOk, [&](TForm&) {
                    SizeForm->ui()->SeitenCheckBox->setChecked(false);
                    SizeForm->ui()->SpinEdit1->setValue(row.width);
                    SizeForm->ui()->SpinEdit2->setValue(row.height);
                });
                if (row.refused)
                    kvtest::Ui().ExpectMessage(mrOk, "200 Megapixel");
                kvtest::ActivateSomethingElse();
                Editor().ui()->Image10->click();
                EXPECT_EQ(Screen->Cursor(), crDefault);
                EXPECT_EQ(Editor().UndoIndex, row.refused ? n : n + 1);
                EXPECT_EQ(UndoFileExists(1), !row.refused);
                if (!row.refused) {
                    EXPECT_EQ(View().BitmapWidth(), row.width);
                    EXPECT_EQ(View().BitmapHeight(), row.height);
                }
            }
            SizeForm->ui()->SeitenCheckBox->setChecked(true);
        },
        mrNo);
}

TEST_F(EditorTest, StatusLineNamesFileFormatSizeAndColours)
{
    struct Row {
        const char* name;
        const char* format;
        const char* starts;
    };
    for (const Row& row : {Row{"bild.jpg", "JPEG", "bild.jpg    JPEG  4:1:1     64x48     24Bit Farben       JPEG 4:2:0"},
                           Row{"bild.bmp", "BMP", "bild.bmp    Windows BMP     64x48     24Bit Farben       "}}) {
        Picture = SlideshowFolder + row.name;
        ASSERT_TRUE(kvtest::FourColourPicture(64, 48).convertToFormat(QImage::Format_RGB888).save(Picture, row.format));
        WithEditor([&] {
            const QString text = Editor().ui()->StatusBar1->currentMessage();
            EXPECT_TRUE(text.startsWith(row.starts)) << text.toStdString();
            EXPECT_EQ(text, Editor().PictureInfoText());
        });
    }
}

TEST_F(EditorTest, ScrollStepsAreAFifthOfThePicturePlusOne)
{
    WritePicture(QImage(1024, 768, QImage::Format_RGB32));
    WithEditor([&] {
        EXPECT_EQ(View().HScrollStep(), 205);
        EXPECT_EQ(View().VScrollStep(), 154);
    });
}

TEST_F(EditorTest, EinpassenZoomsOnePercentBelowTheFitAndNeverBelowTwo)
{
    struct Row {
        int width, height;
    };
    for (const Row& row : {Row{2000, 1500}, Row{40000, 40}}) {
        SCOPED_TRACE(row.width);
        QImage image(row.width, row.height, QImage::Format_RGB32);
        image.fill(Qt::gray);
        WritePicture(image);
        WithEditor([&] {
            Editor().ui()->Button1->click();
            EXPECT_EQ(View().PaintZoomFactor(), 100);
            Editor().ui()->EinpassenBitBtn->click();
            const int zoom = View().PaintZoomFactor();
            View().setPaintSizeMode(TLEADImage::smFit);
            const int fitted = View().PaintZoomFactor();
            EXPECT_EQ(zoom, std::max(2, fitted - 1));
            EXPECT_EQ(Editor().ui()->ZoomTrackBar->value(), zoom);
            EXPECT_EQ(Editor().ui()->ZoomLabel->text(), QStringLiteral("Zoom: %1%").arg(zoom));
        });
    }
}

TEST_F(EditorTest, PanningPastTheEdgeKeepsTheClipOnThePicture)
{
    QImage image(2000, 1500, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    WritePicture(image);
    WithEditor([&] {
        Editor().ui()->ZoomTrackBar->setValue(200);
        Editor().ViewMouseDown(100, 100);
        for (int step = 1; step <= 10; ++step)
            Editor().ViewMouseMove(100 + step * 800, 100 + step * 600);
        Editor().ViewMouseUp();
        EXPECT_EQ(View().DstClipLeft(), View().DstLeft());
        EXPECT_EQ(View().DstClipTop(), View().DstTop());
        EXPECT_EQ(View().DstClipWidth(), View().DstWidth());
        EXPECT_EQ(View().DstClipHeight(), View().DstHeight());
        // A move with the button up only follows the mouse.
        const int left = View().DstLeft();
        Editor().ViewMouseMove(10, 10);
        EXPECT_EQ(View().DstLeft(), left);
    });
}

TEST_F(EditorTest, ToolButtonsWithoutTheirWindowStayDisabled)
{
    WritePicture(kvtest::FourColourPicture(64, 48));
    // Every tool window is there; one entry taken away leaves its button off.
    Editor().PainterEffects = nullptr;
    WithEditor([&] {
        Ui::TBildbeaerbeitungForm& ui = *Editor().ui();
        for (QPushButton* on : {ui.Image3, ui.Image4, ui.Image5, ui.Image6, ui.Image7, ui.Image9, ui.Image10,
                                ui.Image11, ui.Image12, ui.Image14, ui.Image15, ui.Image16, ui.Image19})
            EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
        EXPECT_FALSE(ui.Image17->isEnabled());
    });
}

} // namespace
