// The preview of the main window: clicks in the source and slideshow lists, their timers,
// and the picture tools.
#include "MainWindowTestSupport.h"

#include "controls/HTMLEscape.h"
#include "controls/HTMListBox.h"
#include "imaging/LEADImage.h"

#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include "support/WaitFor.h"
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

void Picture(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(Qt::green);
    EXPECT_TRUE(image.save(path, "JPEG", 90));
}

class Preview : public kvtest::MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        // Nobody holds a key unless a test says so.
        MainForm->KeyboardModifiers = [this] { return modifiers; };
    }

    void SetSource(const QStringList& names)
    {
        kvtest::FillSourceList(source, names, [](const QString& path) { Picture(path); });
    }
    // The source pictures into the slideshow; the second one gets a text.
    void Fill(const QStringList& names)
    {
        SetSource(names);
        MainForm->ui()->SpeedButton2->click();
        TListBoxItems& items = MainForm->DiashowListBox->Items();
        ASSERT_EQ(items.Count(), names.size());
        items.Delete(1);
        items.Insert(1, TMainForm::PictureItem(folder + "_THUMB_" + names[1], names[1], "Beach & sea", true));
    }
    void ClickSlideshow(int row)
    {
        THTMListBox& list = *MainForm->DiashowListBox;
        list.setItemIndex(row);
        ASSERT_TRUE(list.OnClick);
        list.OnClick(&list);
    }
    void ClickSource(int row)
    {
        THTMListBox& list = *MainForm->ui()->FileListBox;
        list.setItemIndex(row);
        ASSERT_TRUE(list.OnClick);
        list.OnClick(&list);
    }
    QString Shown() const { return MainForm->ui()->ViewLEADImage->LoadedFileName(); }
    bool TurnsEnabled() const
    {
        const auto* ui = MainForm->ui();
        const bool on = ui->SpeedButton5->isEnabled();
        for (QToolButton* b : {ui->SpeedButton6, ui->SpeedButton7, ui->SpeedButton9, ui->SpeedButton10})
            EXPECT_EQ(b->isEnabled(), on) << b->objectName().toStdString();
        return on;
    }

    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

} // namespace

TEST_F(Preview, SlideshowClickShowsPictureAndTextAfterTheTimer)
{
    Fill({"a.jpg", "b.jpg", "c.jpg"});
    ClickSlideshow(1);
    EXPECT_EQ(MainForm->ui()->TextEdit->text(), "Beach & sea");
    EXPECT_EQ(MainForm->SelectedPicture, folder + "b.jpg");
    EXPECT_TRUE(TurnsEnabled());
    EXPECT_TRUE(MainForm->ui()->BildbearbeitungBitBtn->isEnabled());
    ASSERT_TRUE(MainForm->Timer1->isActive());
    EXPECT_NE(Shown(), folder + "b.jpg");
    MainForm->Timer1Timer();
    EXPECT_EQ(Shown(), folder + "b.jpg");
    EXPECT_FALSE(MainForm->Timer1->isActive());
    // The text shown by the click is no edit of the user's.
    EXPECT_FALSE(MainForm->PicturesIniPending());
    EXPECT_EQ(TMainForm::PictureItemText(MainForm->DiashowListBox->Items()[1]), "Beach & sea");
    EXPECT_EQ(MainForm->DiashowListBox->ItemIndex(), 1);
}

TEST_F(Preview, RealTimerLoadsThePicture)
{
    Fill({"a.jpg", "b.jpg"});
    ClickSlideshow(0);
    EXPECT_TRUE(kvtest::WaitFor([&] { return Shown() == folder + "a.jpg"; })) << Shown().toStdString();
}

TEST_F(Preview, HeldShiftOrCtrlKeepsTheTimerWaiting)
{
    Fill({"a.jpg", "b.jpg"});
    for (Qt::KeyboardModifiers held : {Qt::KeyboardModifiers(Qt::ShiftModifier),
                                       Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        MainForm->LastPreviewItem.clear();
        modifiers = held;
        MainForm->ShiftCtrlDown = true;
        ClickSlideshow(1);
        MainForm->Timer1Timer();
        EXPECT_NE(Shown(), folder + "b.jpg");
        EXPECT_TRUE(MainForm->Timer1->isActive());
        EXPECT_TRUE(MainForm->ShiftCtrlDown);
        MainForm->Timer1->stop();
    }
}

TEST_F(Preview, ReleasedKeyTheListMissedEndsTheWait)
{
    Fill({"a.jpg", "b.jpg"});
    MainForm->ShiftCtrlDown = true;
    modifiers = Qt::NoModifier;
    ClickSlideshow(1);
    MainForm->Timer1Timer();
    EXPECT_FALSE(MainForm->ShiftCtrlDown);
    EXPECT_EQ(Shown(), folder + "b.jpg");
    EXPECT_FALSE(MainForm->Timer1->isActive());
}

TEST_F(Preview, SourceClickLoadsFromTheSourceFolder)
{
    SetSource({"x.jpg", "y & z.jpg"});
    // The working folder is elsewhere: the source folder alone locates the picture.
    QDir::setCurrent(QDir::tempPath());
    ClickSource(1);
    ASSERT_TRUE(MainForm->Timer2->isActive());
    MainForm->Timer2Timer();
    EXPECT_EQ(Shown(), source + "y & z.jpg");
    EXPECT_FALSE(MainForm->Timer2->isActive());
}

TEST_F(Preview, SourceClickWithEmptySlideshowLeavesTurnsDisabled)
{
    SetSource({"x.jpg"});
    ASSERT_EQ(MainForm->DiashowListBox->Items().Count(), 0);
    ClickSource(0);
    EXPECT_FALSE(TurnsEnabled());
    EXPECT_FALSE(MainForm->ui()->BildbearbeitungBitBtn->isEnabled());
}

TEST_F(Preview, SourceClickAfterSlideshowClickKeepsTurnsForTheCurrentPicture)
{
    Fill({"a.jpg", "b.jpg"});
    ClickSlideshow(0);
    ClickSource(1);
    EXPECT_TRUE(TurnsEnabled());
    MainForm->Timer2Timer();
    EXPECT_EQ(Shown(), source + "b.jpg");
    // The slideshow's current item is as it was.
    EXPECT_EQ(MainForm->DiashowListBox->ItemIndex(), 0);
}
