// Reading a source folder into the source list: JPEG folders in place, other formats through
// JPEG copies in the temporary folder, the list items, pictures that cannot be converted, the
// copies this run made, the picture dialog and the status line of a shown picture. And the
// thumbnails: their size and frame, the white corners, when an existing one is kept, the
// cache key, and pictures that cannot be read.
#include "MainWindowTestSupport.h"

#include "controls/HTMListBox.h"
#include "imaging/LEADImage.h"
#include "platform/vcl/IniFiles.h"
#include "shell/core/Archive.h"
#include "shell/core/SourceFolder.h"

#include <QColor>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QStatusBar>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using kvtest::CloseAndEnd;
using kvtest::FilesIn;
using kvtest::ReadFile;
using kvtest::ProgramFixture;
using kvtest::Start;
using kvtest::WriteFile;

void WritePicture(const QString& path, const char* format, int width = 120, int height = 90,
                  QColor color = QColor(40, 160, 90))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QDir().mkpath(QFileInfo(path).path());
    ASSERT_TRUE(image.save(path, format)) << path.toStdString();
}

// The file names the source list shows, in its order.
QStringList ListedNames()
{
    QStringList names;
    for (const QString& item : MainForm->ui()->FileListBox->Items().ToStringList())
        names << item.mid(item.indexOf("align=\"top\">") + 12);
    return names;
}

class SourceFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_program.Ready());
        ASSERT_TRUE(Start());
        Pictures = m_program.Home + "Fotos/";
        QDir().mkpath(Pictures);
    }
    void TearDown() override { CloseAndEnd(); }

    ProgramFixture m_program{"ENGLISH"};
    QString Pictures;
};

bool NearWhite(QRgb pixel) { return qRed(pixel) > 225 && qGreen(pixel) > 225 && qBlue(pixel) > 225; }

// The thumbnail maker, on the same folders.
class Thumbnail : public SourceFolder {};

} // namespace

TEST_F(SourceFolder, JpegFolderIsReadInPlace)
{
    for (const char* name : {"b.jpg", "a.JPG", "c&d <1>.jpg"})
        WritePicture(Pictures + name, "JPG");
    WriteFile(Pictures + "notes.txt", "x");
    MainForm->SourceFolder = Pictures;
    const QString cwd = QDir::currentPath();
    MainForm->BilderEinlesen(Pictures);

    EXPECT_EQ(MainForm->SourceFolder, Pictures);
    EXPECT_TRUE(FilesIn(MainForm->TempPicFolder).isEmpty());
    EXPECT_EQ(FilesIn(Pictures).size(), 4);
    EXPECT_EQ(QDir::currentPath(), cwd);
    EXPECT_EQ(ListedNames(), QStringList({"a.JPG", "b.jpg", "c&amp;d &lt;1&gt;.jpg"}));
    const QStringList items = MainForm->ui()->FileListBox->Items().ToStringList();
    ASSERT_EQ(items.size(), 3);
    const QString thumb = MainForm->ThumbnailPath(Pictures + "a.JPG", true);
    EXPECT_EQ(items[0], "<IMG src=\"file://" + thumb + "\" align=\"top\">a.JPG");
    for (const char* name : {"a.JPG", "b.jpg", "c&d <1>.jpg"})
        EXPECT_TRUE(QFileInfo::exists(MainForm->ThumbnailPath(Pictures + name, true))) << name;
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_FALSE(MainForm->ui()->PicProgressBar->isVisible());
    EXPECT_EQ(MainForm->ui()->StatusBar1->currentMessage(), "");
    EXPECT_TRUE(kvtest::Ui().Asked().empty());
}

TEST_F(SourceFolder, OtherFormatsAreReadThroughJpegCopiesInTheTemporaryFolder)
{
    WritePicture(Pictures + "a.jpg", "JPG");
    WritePicture(Pictures + "x.bmp", "BMP", 200, 100);
    WritePicture(Pictures + "y.jpeg", "JPG");
    WriteFile(MainForm->TempPicFolder + "stale.jpg", "old");
    MainForm->BilderEinlesen(Pictures);

    const QString temp = MainForm->TempPicFolder;
    EXPECT_EQ(MainForm->SourceFolder, temp);
    EXPECT_EQ(ListedNames(), QStringList({"a.jpg", "x_bmp.jpg", "y_jpeg.jpg"}));
    EXPECT_EQ(FilesIn(temp), QStringList({"a.jpg", "x.bmp", "x_bmp.jpg", "y.jpeg", "y_jpeg.jpg"}));
    // the folder read stays as it was
    EXPECT_EQ(FilesIn(Pictures), QStringList({"a.jpg", "x.bmp", "y.jpeg"}));
    EXPECT_EQ(QImage(temp + "x_bmp.jpg").size(), QSize(200, 100));
    EXPECT_EQ(QImage(MainForm->ThumbnailPath(temp + "x_bmp.jpg", true)).size(), QSize(140, 70));
    QStringList copies = MainForm->ConvertedCopies;
    copies.sort();
    EXPECT_EQ(copies, QStringList({temp + "x_bmp.jpg", temp + "y_jpeg.jpg"}));
    EXPECT_TRUE(kvtest::Ui().Asked().empty());
}

TEST_F(SourceFolder, UnreadablePictureIsSkippedAndNamedAfterTheRead)
{
    WritePicture(Pictures + "good.jpg", "JPG");
    WritePicture(Pictures + "fine.bmp", "BMP");
    WriteFile(Pictures + "broken.bmp", "BM but nothing else");
    kvtest::Ui().ExpectMessage(mrOk, "broken.bmp");
    MainForm->BilderEinlesen(Pictures);

    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    EXPECT_EQ(ListedNames(), QStringList({"fine_bmp.jpg", "good.jpg"}));
    EXPECT_EQ(MainForm->SkippedPictures, QStringList({"broken.bmp"}));
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_FALSE(MainForm->ui()->PicProgressBar->isVisible());
    const auto boxes = kvtest::Ui().AskedOf(TAskKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].Text.startsWith(GetLangText(14002)));
    EXPECT_FALSE(boxes[0].Text.contains("fine.bmp"));
}

TEST_F(SourceFolder, APictureDeepInLongFolderNamesGetsItsThumbnail)
{
    QString deep = Pictures;
    for (int i = 0; i < 5; ++i)
        deep += QString("Urlaub am Meer mit der ganzen Familie im Sommer %1/").arg(i);
    ASSERT_GT(MakeDosName(deep + "a.jpg").toUtf8().size(), 240);
    WritePicture(deep + "a.jpg", "JPG");
    MainForm->BilderEinlesen(deep);
    EXPECT_EQ(ListedNames(), QStringList{"a.jpg"});
    EXPECT_EQ(QImage(MainForm->ThumbnailPath(deep + "a.jpg", true)).height(), 70);
}

TEST_F(SourceFolder, AUsersOwnFileBesideAConversionIsKept)
{
    WritePicture(Pictures + "scan.bmp", "BMP", 200, 100, QColor(200, 20, 20));
    WritePicture(Pictures + "scan_bmp.jpg", "JPG", 60, 120, QColor(20, 20, 200));
    MainForm->BilderEinlesen(Pictures);

    const QString temp = MainForm->TempPicFolder;
    EXPECT_EQ(ListedNames(), QStringList({"scan_bmp.jpg", "scan_bmp_1.jpg"}));
    EXPECT_EQ(QImage(temp + "scan_bmp.jpg").size(), QSize(60, 120));
    EXPECT_EQ(QImage(temp + "scan_bmp_1.jpg").size(), QSize(200, 100));
    EXPECT_EQ(MainForm->ConvertedCopies, QStringList({temp + "scan_bmp_1.jpg"}));
}

TEST_F(SourceFolder, UnreadableJpegsAreLeftOutAndNamed)
{
    WritePicture(Pictures + "good.jpg", "JPG");
    WriteFile(Pictures + "empty.jpg", "");
    WriteFile(Pictures + "text.jpg", "not a picture at all");
    WritePicture(Pictures + "whole.jpg", "JPG", 300, 200);
    const QByteArray whole = ReadFile(Pictures + "whole.jpg");
    WriteFile(Pictures + "cut.jpg", whole.left(whole.size() / 2));
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(14002));
    MainForm->BilderEinlesen(Pictures);

    EXPECT_EQ(ListedNames(), QStringList({"good.jpg", "whole.jpg"}));
    QStringList skipped = MainForm->SkippedPictures;
    skipped.sort();
    EXPECT_EQ(skipped, QStringList({"cut.jpg", "empty.jpg", "text.jpg"}));
    const auto boxes = kvtest::Ui().AskedOf(TAskKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    for (const char* name : {"cut.jpg", "empty.jpg", "text.jpg"})
        EXPECT_TRUE(boxes[0].Text.contains(name)) << name;
}

TEST_F(SourceFolder, OnlyTheCopiesThisRunMadeAreDeleted)
{
    // a user's own file that happens to be named like a copy
    WritePicture(Pictures + "mine_bmp.jpg", "JPG");
    WritePicture(Pictures + "x.bmp", "BMP");
    MainForm->BilderEinlesen(Pictures);
    const QString temp = MainForm->TempPicFolder;
    ASSERT_EQ(FilesIn(temp), QStringList({"mine_bmp.jpg", "x.bmp", "x_bmp.jpg"}));

    MainForm->DeleteOwnConvertedCopies(Pictures);
    EXPECT_EQ(FilesIn(Pictures), QStringList({"mine_bmp.jpg", "x.bmp"}));
    MainForm->DeleteOwnConvertedCopies(temp);
    EXPECT_EQ(FilesIn(temp), QStringList({"mine_bmp.jpg", "x.bmp"}));
    EXPECT_TRUE(MainForm->ConvertedCopies.isEmpty());
}

TEST_F(SourceFolder, PictureDialogStartsWhereTheUserChoseLast)
{
    // No folder chosen yet: the desktop's Pictures folder.
    const QString xdgPictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir().mkpath(xdgPictures);
    WritePicture(Pictures + "a.bmp", "BMP");
    QStringList startedIn;
    const auto answer = [&](const QStringList& files) {
        kvtest::Ui().Expect(TAskKind::OpenFile, [&startedIn, files](TAskRequest& request) {
            startedIn << request.Data.value("InitialDir").toString();
            return TAskAnswer(mrOk, files);
        });
    };
    answer({Pictures + "a.bmp"});
    MainForm->OpenBitBtnClick();
    // Read through the temporary folder, yet the user's folder is remembered.
    EXPECT_EQ(MainForm->SourceFolder, MainForm->TempPicFolder);
    answer({});
    MainForm->OpenBitBtnClick();
    CloseAndEnd();
    EXPECT_EQ(TIniFile(m_program.Folder + "Generator.ini").ReadString("SETTINGS", "SourcePicturesPath", ""), Pictures);
    ASSERT_TRUE(Start());
    answer({});
    MainForm->OpenBitBtnClick();
    EXPECT_EQ(startedIn, (QStringList{xdgPictures + "/", Pictures, Pictures}));
}

TEST_F(SourceFolder, PictureDialogReadsTheChosenFolder)
{
    WritePicture(Pictures + "a.jpg", "JPG");
    QVariantMap seen;
    kvtest::Ui().Expect(TAskKind::OpenFile, [&](TAskRequest& request) {
        seen = request.Data;
        return TAskAnswer(mrOk, {Pictures + "a.jpg"});
    });
    const QString cwd = QDir::currentPath();
    MainForm->OpenBitBtnClick();

    EXPECT_EQ(MainForm->SourceFolder, Pictures);
    EXPECT_EQ(ListedNames(), QStringList({"a.jpg"}));
    EXPECT_EQ(QDir::currentPath(), cwd);
    const QString filter = seen.value("Filter").toString();
    for (const char* pattern : {"*.jpg", "*.JPG", "*.jpeg", "*.JPEG", "*.bmp", "*.BMP", "*.tif", "*.TIF", "*.tiff",
                                "*.TIFF", "*.gif", "*.GIF"})
        EXPECT_TRUE(filter.split('|').value(1).split(';').contains(pattern)) << pattern;

    // cancelled: nothing changes
    kvtest::Ui().ExpectOpenFile({});
    MainForm->OpenBitBtnClick();
    EXPECT_EQ(ListedNames(), QStringList({"a.jpg"}));
}

TEST_F(SourceFolder, PictureInsideTheSelectedSlideshowReopensTheDialog)
{
    TListBox& archive = *MainForm->ui()->OpenListBox;
    ASSERT_GT(archive.Items().Count(), 0);
    archive.setItemIndex(0);
    const QString show = MainForm->ArchiveRoot + ArchiveLineFolder(archive.Items()[0]) + "/";
    WritePicture(show + "inside.jpg", "JPG");
    WritePicture(Pictures + "a.jpg", "JPG");
    MainForm->SourceFolder = Pictures;

    kvtest::Ui()
        .ExpectOpenFile({show + "inside.jpg"})
        .ExpectMessage(mrOk, GetLangText(10003))
        .ExpectOpenFile({Pictures + "a.jpg"});
    MainForm->OpenBitBtnClick();
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    EXPECT_EQ(MainForm->SourceFolder, Pictures);
    EXPECT_EQ(ListedNames(), QStringList({"a.jpg"}));
}

TEST_F(SourceFolder, StatusLineDescribesTheShownPicture)
{
    WritePicture(Pictures + "shown.jpg", "JPG", 64, 48);
    TLEADImage& view = *MainForm->ui()->ViewLEADImage;
    ASSERT_EQ(view.Load(Pictures + "shown.jpg", 0, 1, -1), 1);
    MainForm->ShowPictureInfo(Pictures + "shown.jpg");
    const QString line = MainForm->ui()->StatusBar1->currentMessage();
    const QString name = FileFormatName(view.InfoFormat());
    const QString head = name == "NOT SUPPORTED" ? "     " + QString::number(view.InfoFormat()) : "   " + name;
    EXPECT_EQ(line, head + "     64x48     " + QString::number(view.BitmapBits()) + "Bit Farben       " +
                        view.InfoCompress() + " shown.jpg");
}

TEST_F(SourceFolder, ReadShowsItsProgressInTheStatusBar)
{
    WritePicture(Pictures + "a.jpg", "JPG");
    WritePicture(Pictures + "x.bmp", "BMP");
    QStringList messages;
    QObject::connect(MainForm->ui()->StatusBar1, &QStatusBar::messageChanged,
                     [&messages](const QString& text) { messages << text; });
    MainForm->BilderEinlesen(Pictures);

    // two files and the folder's own two entries
    EXPECT_TRUE(messages.contains("Bilder kopieren 25%"));
    EXPECT_TRUE(messages.contains("Bilder kopieren 50%"));
    const QString reading = GetLangText(14000) + " %1 " + GetLangText(14001);
    EXPECT_TRUE(messages.contains(reading.arg(0)));   // conversion, before the first file
    EXPECT_TRUE(messages.contains(reading.arg(50)));  // thumbnails: 1 of 2 JPEGs done
    EXPECT_TRUE(messages.contains("Fertig"));
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(MainForm->ui()->StatusBar1->currentMessage(), "");
}

TEST_F(Thumbnail, IsSeventyHighFramedWithWhiteCorners)
{
    struct SizeCase {
        int Width, Height, ThumbWidth;
    };
    const SizeCase cases[] = {{1024, 768, 93}, {768, 1024, 52}, {1000, 1500, 47}, {70, 70, 70}};
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(QString("%1x%2").arg(c.Width).arg(c.Height).toStdString());
        const QString file = Pictures + QString("p%1x%2.jpg").arg(c.Width).arg(c.Height);
        WritePicture(file, "JPG", c.Width, c.Height, QColor(200, 30, 30));
        ASSERT_TRUE(MainForm->MakeThumbnail(file, 70, true, false));
        const QString target = MainForm->ThumbnailPath(file, true);
        EXPECT_TRUE(target.startsWith(m_program.Folder + "thumbs/"));
        QImage thumb(target);
        ASSERT_FALSE(thumb.isNull());
        EXPECT_EQ(thumb.width(), c.ThumbWidth);
        EXPECT_EQ(thumb.height(), 70);
        const int w = thumb.width(), h = thumb.height();
        // bottom-left and top-right 2 x 2 squares are white
        for (const QPoint p : {QPoint(0, h - 1), QPoint(1, h - 2), QPoint(w - 1, 0), QPoint(w - 2, 1)})
            EXPECT_TRUE(NearWhite(thumb.pixel(p))) << p.x() << "," << p.y();
        // the picture itself lies inside the frame
        const QRgb centre = thumb.pixel(w / 2, h / 2);
        EXPECT_GT(qRed(centre), 150);
        EXPECT_LT(qGreen(centre), 90);
        // the frame is not the picture
        const QRgb edge = thumb.pixel(w / 2, 0);
        EXPECT_FALSE(qRed(edge) > 150 && qGreen(edge) < 90) << std::hex << edge;
    }
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(Thumbnail, ExistingTargetIsKeptUnlessForced)
{
    const QString file = Pictures + "Bild-1.jpg";
    WritePicture(file, "JPG", 300, 200);
    for (const bool inThumbs : {true, false}) {
        SCOPED_TRACE(inThumbs);
        const QString target = MainForm->ThumbnailPath(file, inThumbs);
        WriteFile(target, "old");
        EXPECT_TRUE(MainForm->MakeThumbnail(file, 70, inThumbs, false));
        EXPECT_EQ(ReadFile(target), "old");
        EXPECT_TRUE(MainForm->MakeThumbnail(file, 70, inThumbs, true));
        EXPECT_EQ(QImage(target).size(), QSize(105, 70));
    }
    EXPECT_EQ(MainForm->ThumbnailPath(file, false), Pictures + "_THUMB_Bild-1.jpg");
}

TEST_F(Thumbnail, AnotherFileUnderTheSamePathGetsItsOwnCacheEntry)
{
    const QString file = Pictures + "same.jpg";
    WritePicture(file, "JPG", 400, 300);
    ASSERT_TRUE(MainForm->MakeThumbnail(file, 70, true, false));
    const QString first = MainForm->ThumbnailPath(file, true);
    EXPECT_EQ(MainForm->ThumbnailPath(file, true), first);  // reused while the file stays

    WritePicture(file, "JPG", 300, 400, QColor(20, 20, 200));
    const QString second = MainForm->ThumbnailPath(file, true);
    EXPECT_NE(second, first);
    ASSERT_TRUE(MainForm->MakeThumbnail(file, 70, true, false));
    EXPECT_EQ(QImage(second).size(), QSize(52, 70));
    EXPECT_EQ(QImage(first).size(), QSize(93, 70));
    // the flat name still leads the cache name
    EXPECT_TRUE(QFileInfo(second).fileName().startsWith(MakeDosName(file) + "_"));
}

TEST_F(Thumbnail, UnreadablePictureGivesNoThumbnailAndNoError)
{
    const QStringList files = {Pictures + "broken.jpg", Pictures + "empty.jpg", Pictures + "missing.jpg"};
    WriteFile(files[0], "this is no picture at all");
    WriteFile(files[1], "");
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_NO_THROW(EXPECT_FALSE(MainForm->MakeThumbnail(file, 70, true, false)));
        EXPECT_FALSE(QFileInfo::exists(MainForm->ThumbnailPath(file, true)));
        EXPECT_EQ(Screen->Cursor(), crDefault);
    }
    EXPECT_TRUE(kvtest::Ui().Asked().empty());
}

TEST_F(SourceFolder, ReadListsEveryReadablePictureInFolderOrder)
{
    // Enough pictures to keep every worker busy, of several shapes, and one that is none.
    QStringList names;
    for (int i = 0; i < 24; ++i) {
        const QString name = QString("p%1.jpg").arg(i, 2, 10, QChar('0'));
        WritePicture(Pictures + name, "JPG", 100 + 37 * (i % 5), 90 + 23 * (i % 3), QColor(10 * i, 200 - 5 * i, 90));
        names << name;
    }
    WriteFile(Pictures + "q_broken.jpg", "not a picture");
    kvtest::Ui().ExpectMessage(mrOk, "q_broken.jpg");
    MainForm->BilderEinlesen(Pictures);

    EXPECT_EQ(ListedNames(), names);
    EXPECT_EQ(MainForm->SkippedPictures, QStringList{"q_broken.jpg"});
    EXPECT_FALSE(QFileInfo::exists(MainForm->ThumbnailPath(Pictures + "q_broken.jpg", true)));
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        const QImage thumb(MainForm->ThumbnailPath(Pictures + names[i], true));
        EXPECT_EQ(thumb.height(), 70);
        EXPECT_EQ(thumb.width(), int(std::nearbyint(70.0 * (100 + 37 * (i % 5)) / (90 + 23 * (i % 3)))));
    }
}
