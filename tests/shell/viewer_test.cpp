// The picture viewer: the pictures of the selected slideshow (never its thumbnails), paging
// with wrap-around by buttons and keys, the zoom steps, and pictures that cannot be loaded.
#include "MainWindowTestSupport.h"
#include "WindowTestSupport.h"

#include "imaging/LEADImage.h"
#include "shell/core/Archive.h"
#include "shell/fBetrachter.h"
#include "shell/fWizardMake.h"
#include "shell/core/Language.h"
#include "ui_fMain.h"
#include "ui_fBetrachter.h"

#include <QRadioButton>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

void Picture(const QString& path, int width, int height)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(path, "JPEG")) << path.toStdString();
}

class Viewer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        ASSERT_TRUE(Start());
        root = MainForm->ArchiveRoot;
    }
    void TearDown() override { CloseAndEnd(); }

    // A slideshow folder "Archive_0500" holding files (name, width, height; width 0 writes a
    // file that is no picture), listed and selected in the archive list.
    void MakeSelectedSlideshow(const std::vector<std::tuple<QString, int, int>>& files)
    {
        const QString folder = root + "Archive_0500/";
        Write(folder + "Diashow.ini", "[DIASHOW]\r\nTitel=Viewer\r\nTime=4\r\n");
        Write(folder + "Pictures.ini", "");
        for (const auto& [name, width, height] : files) {
            if (width > 0)
                Picture(folder + name, width, height);
            else
                Write(folder + name, "not a picture");
        }
        MainForm->ListDiashows();
        TListBox& list = *MainForm->ui()->OpenListBox;
        for (int i = 0; i < list.Items().Count(); ++i)
            if (ArchiveLineFolder(list.Items()[i]) == "Archive_0500")
                list.setItemIndex(i);
        ASSERT_EQ(ArchiveLineFolder(list.Items()[list.ItemIndex()]), "Archive_0500");
    }

    // Shows the viewer modally and runs body while it is open.
    void WithViewer(const std::function<void(TBetrachterForm&)>& body)
    {
        kvtest::Ui().ExpectModal("TBetrachterForm", mrCancel, [&](TForm&) { body(*BetrachterForm); });
        kvtest::ShowModal(*BetrachterForm);
    }

    ProgramFixture program{"ENGLISH"};
    QString root;
};

QString ShownName(TBetrachterForm& viewer)
{
    const int i = viewer.CurrentIndex;
    return QFileInfo(viewer.ui()->PicturesListBox->Items()[i]).fileName();
}

} // namespace

TEST_F(Viewer, ListsThePicturesInNameOrderWithoutThumbnailsAndPagesWithWrapAround)
{
    MakeSelectedSlideshow({{"b.JPG", 60, 40}, {"a.jpg", 40, 60}, {"_THUMB_a.jpg", 20, 20}, {"c.png", 10, 10}});
    WithViewer([](TBetrachterForm& viewer) {
        QStringList names;
        const TListBoxItems& items = viewer.ui()->PicturesListBox->Items();
        for (int i = 0; i < items.Count(); ++i)
            names << QFileInfo(items[i]).fileName();
        EXPECT_EQ(names, (QStringList{"a.jpg", "b.JPG"}));
        EXPECT_EQ(ShownName(viewer), "a.jpg");
        EXPECT_EQ(viewer.ui()->LEADImage1->BitmapWidth(), 40);
        EXPECT_TRUE(viewer.windowTitle().startsWith("a.jpg    ")) << viewer.windowTitle().toStdString();
        EXPECT_TRUE(viewer.windowTitle().endsWith(MainForm->windowTitle()));

        // Keys as the picture control passes them on, and the buttons.
        struct Step {
            int Key;  // 0: a button
            QToolButton* Button;
            const char* Shown;
        };
        const Step steps[] = {
            {39, nullptr, "b.JPG"},  // Right
            {39, nullptr, "a.jpg"},  // Right on the last shows the first
            {37, nullptr, "b.JPG"},  // Left on the first shows the last
            {33, nullptr, "a.jpg"},  // Page Up: next
            {34, nullptr, "b.JPG"},  // Page Down: previous
            {38, nullptr, "a.jpg"},  // Up: next
            {40, nullptr, "b.JPG"},  // Down: previous
            {0, viewer.ui()->SpeedButton2, "a.jpg"},
            {0, viewer.ui()->SpeedButton1, "b.JPG"},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.Key);
            if (step.Button) {
                step.Button->click();
            } else {
                int key = step.Key;
                viewer.ui()->LEADImage1->OnKeyDown(viewer.ui()->LEADImage1, key, 0);
            }
            EXPECT_EQ(ShownName(viewer), step.Shown);
        }
        EXPECT_EQ(viewer.ui()->LEADImage1->BitmapWidth(), 60);
        // A key the viewer does not page with changes nothing.
        int home = 36;
        viewer.ui()->LEADImage1->OnKeyDown(viewer.ui()->LEADImage1, home, 0);
        EXPECT_EQ(ShownName(viewer), "b.JPG");
    });
}

TEST_F(Viewer, KeysOfTheWindowPageToo)
{
    MakeSelectedSlideshow({{"a.jpg", 40, 30}, {"b.jpg", 30, 40}});
    WithViewer([](TBetrachterForm& viewer) {
        QTest::keyClick(&viewer, Qt::Key_Right);
        EXPECT_EQ(ShownName(viewer), "b.jpg");
        QTest::keyClick(&viewer, Qt::Key_PageDown);
        EXPECT_EQ(ShownName(viewer), "a.jpg");
    });
}

TEST_F(Viewer, ZoomStepsOfTenKeepAFactorBelowTwelve)
{
    MakeSelectedSlideshow({{"a.jpg", 400, 300}});
    WithViewer([](TBetrachterForm& viewer) {
        TLEADImage& image = *viewer.ui()->LEADImage1;
        struct Case {
            int From;
            bool In;
            int To;
        };
        for (const Case& c : {Case{15, false, 5}, Case{11, false, 11}, Case{5, true, 15}, Case{12, false, 2},
                              Case{100, true, 110}}) {
            SCOPED_TRACE(c.From);
            image.setPaintSizeMode(TLEADImage::smZoom);
            image.setPaintZoomFactor(c.From);
            (c.In ? viewer.ui()->SpeedButton3 : viewer.ui()->SpeedButton4)->click();
            EXPECT_EQ(image.PaintSizeMode(), TLEADImage::smZoom);
            EXPECT_EQ(image.PaintZoomFactor(), c.To);
        }
        // The next picture is shown fitted again.
        viewer.ui()->SpeedButton2->click();
        EXPECT_EQ(image.PaintSizeMode(), TLEADImage::smFit);
    });
}

TEST_F(Viewer, APictureThatCannotBeLoadedIsSkippedSilently)
{
    MakeSelectedSlideshow({{"a.jpg", 40, 30}, {"broken.jpg", 0, 0}, {"c.jpg", 50, 20}});
    WithViewer([](TBetrachterForm& viewer) {
        const QString title = viewer.windowTitle();
        viewer.ui()->SpeedButton2->click();  // broken.jpg: no box (the scripted service would fail)
        EXPECT_EQ(ShownName(viewer), "broken.jpg");
        EXPECT_EQ(viewer.ui()->LEADImage1->BitmapWidth(), 40);  // the previous picture stays
        EXPECT_EQ(viewer.windowTitle(), title);
        viewer.ui()->SpeedButton2->click();
        EXPECT_EQ(viewer.ui()->LEADImage1->BitmapWidth(), 50);
        EXPECT_TRUE(viewer.windowTitle().startsWith("c.jpg    "));
    });
}

TEST_F(Viewer, EachShowingStartsAtTheFirstPicture)
{
    MakeSelectedSlideshow({{"a.jpg", 40, 30}, {"b.jpg", 30, 40}});
    WithViewer([](TBetrachterForm& viewer) { viewer.ui()->SpeedButton2->click(); });
    WithViewer([](TBetrachterForm& viewer) { EXPECT_EQ(ShownName(viewer), "a.jpg"); });
}

TEST_F(Viewer, TheViewerButtonNeedsASelectionAndAPicture)
{
    // No line selected: 10026, no viewer.
    MainForm->ui()->OpenListBox->setItemIndex(-1);
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10026));
    MainForm->ui()->BetrachterBitBtn->click();

    // Only a thumbnail in the folder: 10031, no viewer.
    MakeSelectedSlideshow({{"_THUMB_a.jpg", 20, 20}});
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10031));
    MainForm->ui()->BetrachterBitBtn->click();

    // A picture: the viewer shows it.
    Picture(root + "Archive_0500/a.jpg", 40, 30);
    kvtest::Ui().ExpectModal("TBetrachterForm", mrCancel, [](TForm&) {
        EXPECT_EQ(ShownName(*BetrachterForm), "a.jpg");
    });
    MainForm->ui()->BetrachterBitBtn->click();
}

TEST_F(Viewer, TheMakeWizardsViewerChoiceShowsTheViewerAndReturnsToThePictureTab)
{
    MakeSelectedSlideshow({{"a.jpg", 40, 30}});
    // The listing selects the open slideshow's line again, by its title.
    MainForm->ui()->OpenListBox->setItemIndex(-1);
    MainForm->DiashowTitle = "Viewer";
    ASSERT_TRUE(MakeWizzard->Choice("BetrachterRadioButton")->isEnabled());
    MakeWizzard->Choice("BetrachterRadioButton")->setChecked(true);
    kvtest::Ui().ExpectModal("TBetrachterForm", mrCancel);
    MainForm->MakeViewer();
    EXPECT_EQ(MainForm->ui()->PageControl1->currentIndex(), 1);
}
