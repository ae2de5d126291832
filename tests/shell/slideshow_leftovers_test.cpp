// What a slideshow leaves behind: hidden copies of a save that was killed half way go when the
// slideshow is opened, and a picture taken out of the slideshow never shows in the preview.
#include "MainWindowTestSupport.h"

#include "imaging/LEADImage.h"

#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

class SlideshowLeftovers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        kvtest::WriteFile(program.Folder + "NoWer.ini", "");
        ASSERT_TRUE(Start());
        folder = MainForm->ArchiveRoot + "Archive_0001/";
        MainForm->KeyboardModifiers = [] { return Qt::NoModifier; };
    }
    void TearDown() override { CloseAndEnd(); }

    void ClickSlideshow(int row)
    {
        THTMListBox& list = *MainForm->DiashowListBox;
        for (int i = 0; i < list.Count(); ++i)
            list.setSelected(i, i == row);
        list.setItemIndex(row);
        list.OnClick(&list);
    }
    QString Name(int row) const { return TMainForm::PictureItemName(MainForm->DiashowListBox->Items()[row]); }
    TLEADImage& View() const { return *MainForm->ui()->ViewLEADImage; }
    bool Shows(const QString& name) const
    {
        return !View().isHidden() && View().LoadedFileName() == folder + name && View().Bitmap() != nullptr;
    }

    ProgramFixture program;
    QString folder;
};

} // namespace

TEST_F(SlideshowLeftovers, HiddenCopiesOfAKilledSaveGoWhenTheSlideshowIsOpened)
{
    const QString own = QString(".kvcopy%1-3").arg(::getpid());
    // A process number above any the system gives: its copy is left over.
    for (const QString& name : {QString(".kvcopy999999999-0"), own})
        kvtest::WriteFile(folder + name, "half a picture");
    // Being written this moment, by another program (process 1 runs) or by one that names none.
    for (const QString& name : {QString(".kvcopy1-0"), QString(".kvcopy-a1B2c3")})
        kvtest::WriteFile(folder + name, "a picture on its way");
    MainForm->OpenDiashowFolder("Archive_0001");
    EXPECT_FALSE(QFileInfo::exists(folder + own));
    EXPECT_FALSE(QFileInfo::exists(folder + ".kvcopy999999999-0"));
    EXPECT_TRUE(QFileInfo::exists(folder + ".kvcopy1-0"));
    EXPECT_TRUE(QFileInfo::exists(folder + ".kvcopy-a1B2c3"));
    EXPECT_EQ(MainForm->DiashowListBox->Count(), 5);
}

TEST_F(SlideshowLeftovers, APictureTakenOutOfTheSlideshowNeverShowsInThePreview)
{
    MainForm->OpenDiashowFolder("Archive_0001");
    ASSERT_EQ(MainForm->DiashowListBox->Count(), 5);
    MainForm->BindDiashowListBox(MainForm->DiashowListBox);  // as once the list is in its panel

    // Shown, then taken out with "<": the preview goes.
    const QString first = Name(0);
    ClickSlideshow(0);
    MainForm->Timer1Timer();
    ASSERT_TRUE(Shows(first));
    MainForm->SpeedButton3Click();
    ASSERT_EQ(MainForm->DiashowListBox->Count(), 4);
    EXPECT_TRUE(View().isHidden());
    EXPECT_EQ(View().Bitmap(), nullptr);

    // Clicked and taken out by the Delete key before the preview came: it never comes.
    const QString second = Name(0);
    ClickSlideshow(0);
    int del = 46;
    MainForm->DiashowListBoxKeyDown(del);
    QTest::qWait(400);
    EXPECT_FALSE(Shows(second));
    EXPECT_FALSE(MainForm->Timer1->isActive());

    // Another picture shows again at its click.
    const QString third = Name(0);
    ClickSlideshow(0);
    MainForm->Timer1Timer();
    EXPECT_TRUE(Shows(third));
}
