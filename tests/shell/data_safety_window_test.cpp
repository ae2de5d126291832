// The main window never puts a text on the wrong picture and never deletes pictures it was
// not asked to: texts after removals and drops, "|" typed, the empty-list delete, stale
// numbered thumbnails, converted copies beside a user's own file, unreadable JPEGs, and one
// program per program folder.
#include "MainWindowTestSupport.h"

#include "controls/HTMListBox.h"
#include "platform/system/SingleInstance.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::FilesIn;
using kvtest::ProgramFixture;
using kvtest::ReadFile;
using kvtest::Start;
using kvtest::WriteFile;

QString Picture(const QString& path, QColor color = Qt::darkYellow)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(color);
    EXPECT_TRUE(image.save(path, "JPEG", 95));
    return path;
}

QStringList Texts()
{
    QStringList texts;
    for (const QString& item : kvtest::Lines(*MainForm->DiashowListBox))
        texts << TMainForm::PictureItemText(item);
    return texts;
}

class DataSafety : public kvtest::MainWindowFixture {
protected:

    void Fill(const QStringList& names)
    {
        kvtest::FillSourceList(source, names, [](const QString& path) { Picture(path); });
        MainForm->ui()->SpeedButton2->click();
    }
    // A click on row of the slideshow list, then typing text into the text box.
    void Click(int row)
    {
        THTMListBox& list = *MainForm->DiashowListBox;
        list.ClearSelection();
        list.setItemIndex(row);
        list.setSelected(row, true);
        MainForm->DiashowListBoxClick();
    }
    void Type(const QString& text)
    {
        QLineEdit& edit = *MainForm->ui()->TextEdit;
        edit.selectAll();
        QTest::keyClicks(&edit, text);
        MainForm->FlushPicturesIni();
    }
    QString PicturesIni() const { return QString::fromUtf8(ReadFile(folder + "Pictures.ini")); }

};

} // namespace

TEST_F(DataSafety, TypingAfterARemovalChangesNoOtherPicture)
{
    Fill({"a.jpg", "b.jpg", "c.jpg"});
    for (int row = 0; row < 3; ++row) {
        Click(row);
        Type(QString("text %1").arg(row));
    }
    // b.jpg is clicked (its preview timer runs), then removed with "<".
    Click(1);
    MainForm->ui()->SpeedButton3->click();
    EXPECT_EQ(MainForm->ui()->TextEdit->text(), "");
    // The preview that was still due must not make a neighbour current again.
    QTest::qWait(300);
    QCoreApplication::processEvents();
    Type("typed after the removal");
    EXPECT_EQ(Texts(), (QStringList{"text 0", "text 2"}));
    EXPECT_EQ(PicturesIni(), "a.jpg | text 0\r\nc.jpg | text 2\r\n");

    // Code that makes an item current shows that item's text.
    MainForm->SelectItemAfterDrop(1);
    EXPECT_EQ(MainForm->ui()->TextEdit->text(), "text 2");
}

TEST_F(DataSafety, ATypedBarBecomesABrokenBarAndStaysInTheText)
{
    Fill({"a.jpg"});
    Click(0);
    Type("Tom | Jerry");
    EXPECT_EQ(MainForm->ui()->TextEdit->text(), QString::fromUtf8("Tom ¦ Jerry"));
    EXPECT_EQ(Texts(), QStringList{QString::fromUtf8("Tom ¦ Jerry")});
    EXPECT_EQ(PicturesIni(), QString::fromUtf8("a.jpg | Tom ¦ Jerry\r\n"));
    MainForm->OpenDiashowFolder(MainForm->DiashowFolder);
    EXPECT_EQ(Texts(), QStringList{QString::fromUtf8("Tom ¦ Jerry")});
}

TEST_F(DataSafety, ADropActsAsAClickOnTheDroppedPicture)
{
    Fill({"a.jpg", "b.jpg"});
    Click(0);
    Type("text of a");
    kvtest::FillSourceList(source, {"new.jpg"}, [](const QString& path) { Picture(path); });
    THTMListBox& files = *MainForm->ui()->FileListBox;
    files.setSelected(0, true);
    MainForm->DragIndex = 1;
    MainForm->DiashowListBoxDragDrop(&files, 0, 0);
    ASSERT_EQ(TMainForm::PictureItemName(MainForm->DiashowListBox->Items()[1]), "new.jpg");
    EXPECT_EQ(MainForm->DiashowListBox->ItemIndex(), 1);
    EXPECT_EQ(MainForm->ui()->TextEdit->text(), "");
    EXPECT_EQ(MainForm->PreviewFile, "new.jpg");
    Type("text of new");
    EXPECT_EQ(Texts(), (QStringList{"text of a", "text of new", ""}));
}

TEST_F(DataSafety, AnEmptyListDeletesPicturesOnlyWhenTheUserEmptiedItAndSaysYes)
{
    // A slideshow whose list did not load (Pictures.ini lost): "<" and Delete leave every
    // picture, without a question.
    const QString show = MainForm->ArchiveRoot + "Archive_0077/";
    WriteFile(show + "Diashow.ini", "[DIASHOW]\r\nTitel=Lost\r\nTime=5\r\n");
    Picture(show + "kept1.jpg");
    Picture(show + "kept2.jpg");
    MainForm->OpenDiashowFolder("Archive_0077");
    ASSERT_EQ(MainForm->DiashowListBox->Items().Count(), 0);
    MainForm->ui()->SpeedButton3->click();
    int del = VK_DELETE;
    MainForm->DiashowListBoxKeyDown(del);
    EXPECT_EQ(FilesIn(show), (QStringList{"Diashow.ini", "kept1.jpg", "kept2.jpg"}));
    EXPECT_TRUE(kvtest::Ui().Asked().empty());

    // Emptied by the user: the leftovers go only after a Yes.
    Fill({"a.jpg"});
    Click(0);
    MainForm->ui()->SpeedButton3->click();
    kvtest::Ui().ExpectMessage(mrNo, GetLangText(10090));
    MainForm->ui()->SpeedButton3->click();
    EXPECT_EQ(FilesIn(show), (QStringList{"Diashow.ini", "Pictures.ini", "kept1.jpg", "kept2.jpg"}));
    kvtest::Ui().ExpectMessage(mrYes, GetLangText(10007)).ExpectMessage(mrYes, GetLangText(10090));
    MainForm->ui()->SpeedButton4->click();
    EXPECT_EQ(FilesIn(show), (QStringList{"Diashow.ini", "Pictures.ini"}));
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
}

TEST_F(DataSafety, AnAddedPictureGetsItsOwnThumbnailOverAStaleNumberedOne)
{
    // "_THUMB_12.jpg" is what the first turn of 2.jpg leaves, and also 12.jpg's thumbnail name.
    QDir().mkpath(folder);
    Picture(folder + "_THUMB_12.jpg", Qt::red);
    kvtest::FillSourceList(source, {"12.jpg"}, [](const QString& path) { Picture(path, Qt::blue); });
    MainForm->ui()->SpeedButton2->click();
    const QImage thumb(folder + "_THUMB_12.jpg");
    ASSERT_EQ(thumb.height(), 70);
    const QRgb middle = thumb.pixel(thumb.width() / 2, thumb.height() / 2);
    EXPECT_GT(qBlue(middle), 150);
    EXPECT_LT(qRed(middle), 100);
}

TEST_F(DataSafety, ASecondStartShowsTheRunningWindowAndEnds)
{
    TSingleInstance second(program.Folder);
    EXPECT_FALSE(second.Acquire());
    MainForm->showMinimized();
    EXPECT_TRUE(second.AskRunningToShow(3000));
    EXPECT_FALSE(MainForm->isMinimized());

    // The lock goes with the program; a lock of a process that no longer runs is taken over.
    CloseAndEnd();
    const pid_t child = ::fork();
    if (child == 0) {
        TSingleInstance dead(program.Folder);
        ::_exit(dead.Acquire() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    TSingleInstance running(program.Folder);
    EXPECT_TRUE(running.Acquire());
    // A start beside a program that does not answer says so and writes nothing.
    const QByteArray closed = ReadFile(program.Folder + "Generator.ini");
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10091));
    EXPECT_FALSE(StartProgram());
    EXPECT_EQ(ReadFile(program.Folder + "Generator.ini"), closed);
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    EndProgram();
}

TEST_F(DataSafety, AWriteProtectedPictureIsNotTurned)
{
    // 120 x 90 is turned the decoding way, 128 x 96 without decoding: both refuse.
    for (const QSize size : {QSize(120, 90), QSize(128, 96)}) {
        kvtest::FillSourceList(source, {"p.jpg"}, [size](const QString& path) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
            image.save(path, "JPEG");
        });
        MainForm->ui()->SpeedButton2->click();
        const int row = MainForm->DiashowListBox->Items().Count() - 1;
        const QString picture = folder + TMainForm::PictureItemName(MainForm->DiashowListBox->Items()[row]);
        QFile::setPermissions(picture, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        const QByteArray before = ReadFile(picture);
        Click(row);
        kvtest::Ui().ExpectMessage(mrOk, "An error occured in your application");
        MainForm->ui()->SpeedButton5->click();
        EXPECT_EQ(ReadFile(picture), before);
        EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    }
}
