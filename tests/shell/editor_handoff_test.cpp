// The main window's hand-offs to the image editor: its button and the double clicks open it
// on the current slideshow picture only, and the picture's item shows the edited picture after
// the editor saved it.
#include "MainWindowTestSupport.h"
#include "WindowTestSupport.h"

#include "controls/HTMListBox.h"
#include "editing/fBildbearbeitung.h"
#include "imaging/LEADImage.h"
#include "shell/fZuschneidenTip.h"
#include "ui_fBildbearbeitung.h"
#include "ui_fZuschneidenTip.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

class EditorHandOff : public kvtest::MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        kvtest::FillSourceList(source, {"a.jpg", "b.jpg"}, [](const QString& path) {
            QImage image(80, 60, QImage::Format_RGB32);
            image.fill(Qt::green);
            QPainter(&image).fillRect(0, 0, 40, 30, Qt::red);
            EXPECT_TRUE(image.save(path, "JPEG", 90));
        });
        MainForm->ui()->SpeedButton2->click();
        ASSERT_EQ(MainForm->DiashowListBox->Items().Count(), 2);
    }

    void ClickSlideshow(int row)
    {
        THTMListBox& list = *MainForm->DiashowListBox;
        list.setItemIndex(row);
        list.OnClick(&list);
    }

};

TEST_F(EditorHandOff, DoubleClicksOpenTheEditorOnlyOnACurrentSlideshowPicture)
{
    THTMListBox& list = *MainForm->DiashowListBox;
    TLEADImage& preview = *MainForm->ui()->ViewLEADImage;
    // No current item: neither double click opens anything (an unscripted window would fail).
    list.setItemIndex(-1);
    ASSERT_TRUE(list.OnDblClick);
    list.OnDblClick(&list);
    MainForm->ui()->BildbearbeitungBitBtn->setEnabled(true);
    preview.OnDblClick(&preview);

    ClickSlideshow(1);
    EXPECT_TRUE(MainForm->ui()->BildbearbeitungBitBtn->isEnabled());
    for (const char* how : {"list", "preview", "button"}) {
        SCOPED_TRACE(how);
        QString opened;
        kvtest::Ui().ExpectModal("TBildbeaerbeitungForm", mrCancel,
                                 [&](TForm&) { opened = BildbeaerbeitungForm->SelectedPicture(); });
        if (QString(how) == "list")
            list.OnDblClick(&list);
        else if (QString(how) == "preview")
            preview.OnDblClick(&preview);
        else
            MainForm->ui()->BildbearbeitungBitBtn->click();
        EXPECT_EQ(opened, folder + "b.jpg");
    }
    // The preview's double click needs the editor button.
    MainForm->ui()->BildbearbeitungBitBtn->setEnabled(false);
    preview.OnDblClick(&preview);
}

TEST_F(EditorHandOff, SavedEditReachesThePictureAndItsThumbnail)
{
    ClickSlideshow(0);
    const QString before = MainForm->DiashowListBox->Items()[0];
    kvtest::Ui().ExpectModal("TBildbeaerbeitungForm", mrCancel, [&](TForm&) {
        BildbeaerbeitungForm->ui()->Image4->click();
        kvtest::Ui().ExpectMessage(mrYes, "Alle Änderungen an diesem Bild speichern?");
    });
    MainForm->ui()->BildbearbeitungBitBtn->click();
    const QImage edited(folder + "a.jpg");
    EXPECT_EQ(edited.size(), QSize(60, 80));
    // The item now shows a new numbered thumbnail, made from the turned picture.
    const QString after = MainForm->DiashowListBox->Items()[0];
    EXPECT_NE(after, before);
    EXPECT_TRUE(after.contains("_THUMB_")) << after.toStdString();
    const QImage thumbnail(folder + "_THUMB_a.jpg");
    EXPECT_GT(thumbnail.height(), thumbnail.width());
    EXPECT_FALSE(QFile::exists(MainForm->ProgramFolder + "UNDO_1.jpg"));
    // The preview follows the edited picture.
    const TLEADImage& preview = *MainForm->ui()->ViewLEADImage;
    EXPECT_EQ(preview.LoadedFileName(), folder + "a.jpg");
    EXPECT_EQ(preview.BitmapWidth(), 60);
}

TEST_F(EditorHandOff, TheCropHintComesBeforeThePrintFormatCropUntilItIsTurnedOff)
{
    ClickSlideshow(0);
    kvtest::Ui().ExpectModal("TBildbeaerbeitungForm", mrCancel, [&](TForm&) {
        Ui::TBildbeaerbeitungForm& ui = *BildbeaerbeitungForm->ui();
        kvtest::Ui().ExpectModal("TZuschneidenTipForm", mrNone, [](TForm& tip) {
            auto& form = static_cast<TZuschneidenTipForm&>(tip);
            form.ui()->CheckBox1->setChecked(true);
            form.ui()->CloseBitBtn->click();
        });
        ui.Image11->click();
        EXPECT_FALSE(ui.ZuschneidenPanel->isHidden());
        ui.BitBtn4->click();
        // The marker is there now: no hint (an unscripted window would fail the test).
        ui.Image11->click();
        ui.BitBtn4->click();
    });
    MainForm->ui()->BildbearbeitungBitBtn->click();
    EXPECT_TRUE(QFile::exists(MainForm->ProgramFolder + "NoZuschneidenTip.ini"));
}

} // namespace
