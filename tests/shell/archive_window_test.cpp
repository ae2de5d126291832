// The slideshow archive in the main window: new slideshows, pictures added and removed,
// reopening, and deleting a slideshow into the trash.
#include "MainWindowTestSupport.h"

#include "controls/HTMListBox.h"
#include "shell/core/Archive.h"
#include "shell/core/Language.h"
#include "shell/fNew.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// A small JPEG picture at path.
QString Picture(const QString& path, int width = 140, int height = 100)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    EXPECT_TRUE(image.save(path, "JPEG"));
    return path;
}

// A slideshow folder of the archive root with its files.
void MakeDiashow(const QString& folder, const QByteArray& title, const QByteArray& pictures,
                 const QStringList& files)
{
    Write(folder + "/Diashow.ini", "[DIASHOW]\r\nTitel=" + title + "\r\nTime=4\r\n");
    Write(folder + "/Pictures.ini", pictures);
    for (const QString& file : files)
        Picture(folder + "/" + file);
}

QStringList Items() { return kvtest::Lines(*MainForm->DiashowListBox); }

QString TrashFiles() { return QString::fromLocal8Bit(std::getenv("XDG_DATA_HOME")) + "/Trash/files/"; }

// Selects the archive line of folder; false when it is not listed.
bool SelectLine(const QString& folder)
{
    TListBox& list = *MainForm->ui()->OpenListBox;
    for (int i = 0; i < list.Items().Count(); ++i) {
        if (ArchiveLineFolder(list.Items()[i]) == folder) {
            list.setItemIndex(i);
            return true;
        }
    }
    return false;
}

class ArchiveWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        ASSERT_TRUE(Start());
        root = MainForm->ArchiveRoot;
        source = kvtest::MakeTempFolder("source");
    }
    void TearDown() override { CloseAndEnd(); }

    ProgramFixture program{"ENGLISH"};
    QString root;
    QString source;
};

} // namespace

TEST_F(ArchiveWindow, NewSlideshowReservesTheNextNameAndTheFirstPictureMakesItsFolder)
{
    const QString expected = NextArchiveName(root);
    kvtest::Ui().ExpectModal("TNewForm", kNewFormOk, [](TForm& form) {
        form.findChild<QLineEdit*>("Edit1")->setText("Summer");
    });
    MainForm->ui()->NewBitBtn->click();
    EXPECT_EQ(MainForm->DiashowFolder, expected);
    EXPECT_EQ(MainForm->DiashowTitle, "Summer");
    EXPECT_TRUE(MainForm->windowTitle().endsWith(" - Archiv: Summer")) << MainForm->windowTitle().toStdString();
    EXPECT_EQ(MainForm->ui()->PageControl1->currentIndex(), 1);
    EXPECT_FALSE(QFileInfo::exists(root + expected));

    const QString img = Picture(source + "IMG.jpg");
    MainForm->AddPictureToDiashow(img, 0);
    MainForm->AddPictureToDiashow(img, 1);
    const QString folder = root + expected + "/";
    EXPECT_EQ(kvtest::FilesIn(folder), (QStringList{"Diashow.ini", "IMG.jpg", "IMG_1.jpg", "Pictures.ini",
                                                    "_THUMB_IMG.jpg", "_THUMB_IMG_1.jpg"}));
    EXPECT_EQ(Bytes(folder + "Pictures.ini"), "IMG.jpg\r\nIMG_1.jpg\r\n");
    EXPECT_EQ(QImage(folder + "_THUMB_IMG.jpg").height(), 70);
    EXPECT_EQ(MainForm->ui()->DiashowLabel->text(), GetLangText(594) + " 2 " + GetLangText(595));
    TDiashowIni ini;
    ASSERT_TRUE(ReadDiashowIni(folder, ini));
    EXPECT_EQ(ini.Title, "Summer");

    // Reopened, the items end in the name and an empty text.
    MainForm->ListDiashows();
    ASSERT_TRUE(SelectLine(expected));
    MainForm->ui()->Open1BitBtn->click();
    QTabWidget& pages = *MainForm->ui()->PageControl1;
    EXPECT_EQ(pages.currentIndex(), 1);
    EXPECT_TRUE(pages.isTabVisible(pages.indexOf(MainForm->ui()->TabSheet1)));
    EXPECT_TRUE(pages.isTabVisible(pages.indexOf(MainForm->ui()->TabSheet4)));
    EXPECT_TRUE(MainForm->ui()->Diashow1->menuAction()->isEnabled());
    EXPECT_EQ(MainForm->DiashowFolder, expected);
    const QStringList items = Items();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0].endsWith(">IMG.jpg | ")) << items[0].toStdString();
    EXPECT_TRUE(items[1].endsWith(">IMG_1.jpg | ")) << items[1].toStdString();
    EXPECT_TRUE(items[0].startsWith("<IMG src=\"file://" + folder + "_THUMB_IMG.jpg\" align=\"top\">"));
}

TEST_F(ArchiveWindow, TheTitleDialogStartsEmptyAndRefusesAnEmptyTitle)
{
    for (const char* title : {"First", "Second"}) {
        kvtest::Ui().ExpectModal("TNewForm", kNewFormOk, [title](TForm& form) {
            QLineEdit& edit = *form.findChild<QLineEdit*>("Edit1");
            EXPECT_EQ(edit.text(), "");
            // OK with blanks only: a message, and the window refuses to close.
            edit.setText("   ");
            kvtest::Ui().ExpectMessage(mrOk, GetLangText(10092));
            EXPECT_FALSE(form.EndModal(kNewFormOk));
            edit.setText(title);
        });
        MainForm->ui()->NewBitBtn->click();
        EXPECT_EQ(MainForm->DiashowTitle, title);
    }
}

TEST_F(ArchiveWindow, AnUntitledSlideshowAsksForItsTitleAtTheFirstPicture)
{
    // After a delete the program opens a fresh untitled slideshow.
    MainForm->OpenDiashowFolder("del");
    ASSERT_EQ(MainForm->DiashowTitle, "");
    kvtest::FillSourceList(source, {"a.jpg"}, [](const QString& path) { Picture(path); });
    kvtest::Ui().ExpectModal("TNewForm", kNewFormCancel);
    MainForm->ui()->SpeedButton2->click();
    EXPECT_EQ(MainForm->DiashowListBox->Items().Count(), 0);
    EXPECT_FALSE(QFileInfo::exists(MainForm->DiashowPath()));

    kvtest::Ui().ExpectModal("TNewForm", kNewFormOk,
                             [](TForm& form) { form.findChild<QLineEdit*>("Edit1")->setText("Herbst"); });
    MainForm->ui()->SpeedButton2->click();
    EXPECT_EQ(MainForm->DiashowListBox->Items().Count(), 1);
    EXPECT_EQ(MainForm->DiashowTitle, "Herbst");
    EXPECT_EQ(MainForm->ui()->TitleEdit->text(), "Herbst");
    TDiashowIni ini;
    ASSERT_TRUE(ReadDiashowIni(MainForm->DiashowPath(), ini));
    EXPECT_EQ(ini.Title, "Herbst");
}

TEST_F(ArchiveWindow, CancelledNewSlideshowChangesNothing)
{
    MainForm->DiashowFolder = "Archive_0042";
    kvtest::Ui().ExpectModal("TNewForm", kNewFormCancel);
    MainForm->NewBitBtnClick();
    EXPECT_EQ(MainForm->DiashowFolder, "Archive_0042");
}

TEST_F(ArchiveWindow, CopyNamesAreCleanedAndMadeUnique)
{
    MainForm->OpenDiashowFolder("del");
    const QString folder = MainForm->DiashowPath();
    MainForm->AddPictureToDiashow(Picture(source + "_THUMB_a|b.jpg"), 0);
    MainForm->AddPictureToDiashow(Picture(source + "sub/_thumb_a|b.jpg"), 1);
    const QStringList files = kvtest::FilesIn(folder);
    EXPECT_TRUE(files.contains("_a_b.jpg")) << files.join(',').toStdString();
    EXPECT_TRUE(files.contains("_a_b_1.jpg")) << files.join(',').toStdString();
    EXPECT_EQ(Bytes(folder + "Pictures.ini"), "_a_b.jpg\r\n_a_b_1.jpg\r\n");
    // The copies are not taken for thumbnails of one another.
    MainForm->DeleteStaleThumbnails();
    EXPECT_TRUE(QFileInfo::exists(folder + "_a_b.jpg"));
}

TEST_F(ArchiveWindow, AFailedCopyShowsTheErrorAndInsertsNothing)
{
    MainForm->OpenDiashowFolder("del");
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10000));
    MainForm->AddPictureToDiashow(source + "missing.jpg", 0);
    EXPECT_TRUE(Items().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(MainForm->DiashowPath() + "Diashow.ini"));
    EXPECT_FALSE(QFileInfo::exists(MainForm->DiashowPath() + "Pictures.ini"));
}

TEST_F(ArchiveWindow, OpeningReadsTextsAndDropsMissingPictures)
{
    MakeDiashow(root + "Archive_0300", "Texts",
                "a.jpg | one | two\r\ngone.jpg | lost\r\nb.jpg |  a < b & c \r\nc.jpg\r\n",
                {"a.jpg", "b.jpg", "c.jpg"});
    MainForm->OpenDiashowFolder("Archive_0300");
    EXPECT_EQ(MainForm->DiashowFolder, "Archive_0300");
    EXPECT_EQ(MainForm->DiashowTitle, "Texts");
    EXPECT_EQ(MainForm->DiashowTime, "4");
    const QStringList items = Items();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(TMainForm::PictureItemText(items[0]), "one");
    EXPECT_EQ(TMainForm::PictureItemName(items[1]), "b.jpg");
    EXPECT_EQ(TMainForm::PictureItemText(items[1]), "a < b & c");
    // The item shows the text escaped: no markup comes from a picture text.
    EXPECT_FALSE(items[1].contains("a < b")) << items[1].toStdString();
    EXPECT_TRUE(QFileInfo::exists(root + "Archive_0300/_THUMB_a.jpg"));

    MainForm->SavePicturesIni();
    EXPECT_EQ(Bytes(root + "Archive_0300/Pictures.ini"), "a.jpg | one\r\nb.jpg | a < b & c\r\nc.jpg | \r\n");
    MainForm->OpenDiashowFolder("Archive_0300");
    EXPECT_EQ(TMainForm::PictureItemText(Items()[1]), "a < b & c");
    EXPECT_EQ(MainForm->ui()->DiashowLabel->text(), GetLangText(594) + " 3 " + GetLangText(595));
}

TEST_F(ArchiveWindow, FoldersThatAreNoSlideshowOpenAsAFreshOne)
{
    for (const char* folder : {"del", "NoIni"}) {
        if (QString(folder) == "NoIni")
            Picture(root + "NoIni/x.jpg");
        MainForm->DiashowTitle = "Old";
        MainForm->OpenDiashowFolder(folder);
        EXPECT_EQ(MainForm->DiashowFolder, NextArchiveName(root)) << folder;
        EXPECT_EQ(MainForm->DiashowTitle, "") << folder;
        EXPECT_TRUE(Items().isEmpty()) << folder;
        EXPECT_EQ(MainForm->windowTitle(), ProductInfo.ProductName) << folder;
    }
    EXPECT_EQ(MainForm->DiashowTime, "5");
}

TEST_F(ArchiveWindow, DeletedPictureLosesItsThumbnailOnReopen)
{
    MakeDiashow(root + "Archive_0301", "Two", "a.jpg\r\nb.jpg\r\n", {"a.jpg", "b.jpg"});
    MainForm->OpenDiashowFolder("Archive_0301");
    ASSERT_EQ(Items().size(), 2);
    MainForm->DeletePictureFromDiashow(0);
    MainForm->DeletePictureFromDiashow(5);  // no such item: nothing happens
    EXPECT_EQ(Bytes(root + "Archive_0301/Pictures.ini"), "b.jpg | \r\n");
    EXPECT_FALSE(QFileInfo::exists(root + "Archive_0301/a.jpg"));
    MainForm->OpenDiashowFolder("Archive_0301");
    EXPECT_FALSE(QFileInfo::exists(root + "Archive_0301/_THUMB_a.jpg"));
    EXPECT_TRUE(QFileInfo::exists(root + "Archive_0301/_THUMB_b.jpg"));
}

TEST_F(ArchiveWindow, OpenAndDeleteNeedASelectedLine)
{
    MainForm->ListDiashows();
    MainForm->ui()->OpenListBox->setItemIndex(-1);
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10026)).ExpectMessage(mrOk, GetLangText(10026));
    MainForm->ui()->Open1BitBtn->click();
    MainForm->ui()->Delete1BitBtn->click();
    MainForm->OpenListBoxDblClick();  // acts only on a selected line: asks nothing
}

TEST_F(ArchiveWindow, DeleteAsksAndMovesTheSlideshowToTheTrash)
{
    MakeDiashow(root + "Archive_0302", "Doomed", "a.jpg\r\n", {"a.jpg"});
    MainForm->OpenDiashowFolder("Archive_0302");
    MainForm->ListDiashows();
    ASSERT_TRUE(SelectLine("Archive_0302"));

    kvtest::Ui().ExpectMessage(mrNo, GetLangText(10008));
    MainForm->ui()->Delete1BitBtn->click();
    EXPECT_TRUE(QFileInfo::exists(root + "Archive_0302/a.jpg"));
    EXPECT_EQ(MainForm->DiashowFolder, "Archive_0302");

    kvtest::Ui().ExpectMessage(mrYes, GetLangText(10008));
    MainForm->ui()->Delete1BitBtn->click();
    EXPECT_FALSE(QFileInfo::exists(root + "Archive_0302"));
    EXPECT_EQ(Bytes(TrashFiles() + "Archive_0302/a.jpg").left(2), QByteArray("\xff\xd8"));
    EXPECT_NE(MainForm->DiashowFolder, "Archive_0302");
    EXPECT_TRUE(Items().isEmpty());
    EXPECT_FALSE(SelectLine("Archive_0302"));
}

TEST_F(ArchiveWindow, ASlideshowThatCannotGoToTheTrashStaysAndIsReported)
{
    MakeDiashow(root + "Archive_0303", "Kept", "a.jpg\r\n", {"a.jpg"});
    MainForm->ListDiashows();
    ASSERT_TRUE(SelectLine("Archive_0303"));
    const QString blocker = kvtest::MakeTempFolder("notrash") + "blocker";
    Write(blocker, "");
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + "/share"));
    kvtest::Ui().ExpectMessage(mrYes, GetLangText(10008)).ExpectMessage(mrOk, GetLangText(10009));
    MainForm->ui()->Delete1BitBtn->click();
    qputenv("XDG_DATA_HOME", saved);
    EXPECT_TRUE(QFileInfo::exists(root + "Archive_0303/a.jpg"));
    EXPECT_TRUE(SelectLine("Archive_0303"));
}

TEST_F(ArchiveWindow, MenuItemsLeadToTheArchiveTab)
{
    QTabWidget& pages = *MainForm->ui()->PageControl1;
    for (QAction* action : {MainForm->ui()->OpenDiashow1, MainForm->ui()->DeleteDiashow1}) {
        pages.setCurrentIndex(pages.count() - 1);
        action->trigger();
        EXPECT_EQ(pages.currentIndex(), 0) << action->objectName().toStdString();
    }
    kvtest::Ui().ExpectModal("TNewForm", kNewFormCancel);
    MainForm->ui()->NewDiashow1->trigger();
    EXPECT_EQ(pages.currentIndex(), 0);
}

TEST_F(ArchiveWindow, DoubleClickOnALineOpensItsSlideshow)
{
    MakeDiashow(root + "Archive_0304", "Clicked", "a.jpg\r\n", {"a.jpg"});
    MainForm->show();
    MainForm->ListDiashows();
    ASSERT_TRUE(SelectLine("Archive_0304"));
    TListBox& list = *MainForm->ui()->OpenListBox;
    const TRect r = list.ItemRect(list.ItemIndex());
    const QPoint at((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(MainForm->DiashowFolder, "Archive_0304");
    EXPECT_EQ(MainForm->DiashowTitle, "Clicked");
    EXPECT_EQ(Items().size(), 1);
}

TEST_F(ArchiveWindow, TheOpenAndDeleteMenusListASlideshowMadeInThisRun)
{
    kvtest::Ui().ExpectModal("TNewForm", kNewFormOk, [](TForm& form) {
        form.findChild<QLineEdit*>("Edit1")->setText("Fresh");
    });
    MainForm->ui()->NewBitBtn->click();
    const QString folder = MainForm->DiashowFolder;
    MainForm->AddPictureToDiashow(Picture(source + "IMG.jpg"), 0);
    for (QAction* menu : {MainForm->ui()->OpenDiashow1, MainForm->ui()->DeleteDiashow1}) {
        MainForm->ui()->PageControl1->setCurrentIndex(1);
        menu->trigger();
        EXPECT_EQ(MainForm->ui()->PageControl1->currentIndex(), 0);
        EXPECT_TRUE(SelectLine(folder)) << menu->objectName().toStdString();
    }
}
