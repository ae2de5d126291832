// Building a slideshow in the main window, continued: turning and mirroring pictures,
// dragging pictures in from the source list and within the slideshow list, keys, and the
// title and time edits.
#include "MainWindowTestSupport.h"

#include "controls/HTMLEscape.h"
#include "controls/HTMListBox.h"
#include "imaging/LEADImage.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include "controls/SlideshowItem.h"

#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

// 120 x 90: red on the left half and the top, blue elsewhere (the bottom right quarter).
QString Picture(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            if (x < 60 && y < 45)
                image.setPixel(x, y, qRgb(255, 0, 0));
    EXPECT_TRUE(image.save(path, "JPEG", 95));
    return path;
}

bool Reddish(QRgb c)
{
    return qRed(c) > 150 && qBlue(c) < 100;
}

QStringList Names()
{
    QStringList names;
    for (const QString& item : kvtest::Lines(*MainForm->DiashowListBox))
        names << TMainForm::PictureItemName(item);
    return names;
}

QList<int> SelectedRows(const THTMListBox& list)
{
    QList<int> rows;
    for (int i = 0; i < list.Items().Count(); ++i)
        if (list.Selected(i))
            rows << i;
    return rows;
}

class TurnDrag : public kvtest::MainWindowFixture {
protected:

    void SetSource(const QStringList& names)
    {
        kvtest::FillSourceList(source, names, [](const QString& path) { Picture(path); });
    }
    void Fill(const QStringList& names)
    {
        SetSource(names);
        MainForm->ui()->SpeedButton2->click();
        ASSERT_EQ(Names(), names);
    }
    // A list tall enough that no point used below is in the scrolling margins.
    void MakeTall()
    {
        THTMListBox& list = *MainForm->DiashowListBox;
        list.setMinimumHeight(900);
        MainForm->resize(MainForm->width(), 1400);
        QCoreApplication::processEvents();
        list.setTopIndex(0);
    }
    TPoint Middle(int row) const
    {
        const TRect r = MainForm->DiashowListBox->ItemRect(row);
        return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    QStringList PicturesIni() const
    {
        return QString::fromUtf8(kvtest::ReadFile(folder + "Pictures.ini")).split("\r\n", Qt::SkipEmptyParts);
    }

};

} // namespace

TEST_F(TurnDrag, RotatingTwiceSwapsSidesAndNumbersTheThumbnails)
{
    Fill({"a.jpg", "b.jpg"});
    THTMListBox& list = *MainForm->DiashowListBox;
    list.setItemIndex(1);
    // The preview holds another picture: the rotation must still turn b.jpg.
    QImage other(200, 40, QImage::Format_RGB32);
    other.fill(Qt::green);
    ASSERT_TRUE(other.save(source + "other.jpg", "JPEG"));
    MainForm->ui()->ViewLEADImage->Load(source + "other.jpg", 0, 1, -1);

    MainForm->ui()->SpeedButton5->click();
    EXPECT_EQ(QImage(folder + "b.jpg").size(), QSize(90, 120));
    EXPECT_EQ(QImage(folder + "a.jpg").size(), QSize(120, 90));
    EXPECT_TRUE(list.Items()[1].contains("_THUMB_1b.jpg"));
    EXPECT_EQ(QImage(folder + "_THUMB_1b.jpg").height(), 70);
    // An item without a text gets no text separator (it would show as "b.jpg |").
    EXPECT_FALSE(DecodeSlideshowItem(list.Items()[1]).HasText) << list.Items()[1].toStdString();
    EXPECT_EQ(SelectedRows(list), QList<int>{1});
    // The preview shows the turned picture, and the status line its new size.
    EXPECT_EQ(MainForm->ui()->ViewLEADImage->BitmapWidth(), 90);
    EXPECT_TRUE(MainForm->ui()->StatusBar1->currentMessage().contains("90x120"))
        << MainForm->ui()->StatusBar1->currentMessage().toStdString();

    // A text stays with its picture.
    const QString item = MainForm->PictureItem(folder + "_THUMB_1b.jpg", "b.jpg", "Am Strand", true);
    list.Items().Delete(1);
    list.Items().Insert(1, item);
    list.setItemIndex(1);
    MainForm->ui()->SpeedButton5->click();
    EXPECT_EQ(QImage(folder + "b.jpg").size(), QSize(120, 90));
    EXPECT_TRUE(list.Items()[1].contains("_THUMB_2b.jpg"));
    EXPECT_EQ(DecodeSlideshowItem(list.Items()[1]).Text, "Am Strand");
    EXPECT_TRUE(QFileInfo::exists(folder + "_THUMB_1b.jpg"));
    EXPECT_EQ(Names(), (QStringList{"a.jpg", "b.jpg"}));
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_TRUE(kvtest::Ui().Asked().empty());
}

TEST_F(TurnDrag, AFailedTurnIsReportedAndChangesNothing)
{
    Fill({"a.jpg"});
    MainForm->DiashowListBox->setItemIndex(0);
    // The slideshow's copy is no picture any more.
    {
        QFile file(folder + "a.jpg");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
    }
    const QString item = MainForm->DiashowListBox->Items()[0];
    kvtest::Ui().ExpectMessage(mrOk, "An error occured in your application, \n");
    MainForm->ui()->SpeedButton6->click();
    EXPECT_EQ(kvtest::ReadFile(folder + "a.jpg"), QByteArray("not a picture"));
    EXPECT_EQ(MainForm->DiashowListBox->Items()[0], item);
    EXPECT_FALSE(QFileInfo::exists(folder + "_THUMB_1a.jpg"));
    EXPECT_EQ(Screen->Cursor(), crDefault);
    ASSERT_EQ(kvtest::Ui().Asked().size(), 1u);
    EXPECT_EQ(kvtest::Ui().Asked()[0].Caption, "Error");
}

TEST_F(TurnDrag, EachTurnMovesTheRedQuarter)
{
    // Where the red top-left quarter of the 120 x 90 picture lands, as a corner of the result.
    struct Case {
        const char* button;
        QSize size;
        QPoint redCorner;
    };
    const QList<Case> cases = {
        {"SpeedButton5", {90, 120}, {80, 5}},   // right: top left goes top right
        {"SpeedButton6", {90, 120}, {5, 110}},  // left: top left goes bottom left
        {"SpeedButton7", {120, 90}, {110, 80}},
        {"SpeedButton9", {120, 90}, {110, 5}},  // left and right swapped
        {"SpeedButton10", {120, 90}, {5, 80}},  // top and bottom swapped
    };
    for (const Case& c : cases) {
        kvtest::OpenNewSlideshow();
        folder = MainForm->DiashowPath();
        Fill({"p.jpg"});
        MainForm->DiashowListBox->setItemIndex(0);
        MainForm->findChild<QToolButton*>(c.button)->click();
        const QImage turned(folder + "p.jpg");
        EXPECT_EQ(turned.size(), c.size) << c.button;
        EXPECT_TRUE(Reddish(turned.pixel(c.redCorner))) << c.button;
        EXPECT_FALSE(Reddish(turned.pixel(c.size.width() - 1 - c.redCorner.x(), c.size.height() - 1 - c.redCorner.y())))
            << c.button;
    }
}

TEST_F(TurnDrag, TurningWithoutACurrentPictureDoesNothing)
{
    // A source picture was clicked and previewed, the slideshow list is empty.
    SetSource({"s.jpg"});
    MainForm->ui()->ViewLEADImage->Load(source + "s.jpg", 0, 1, -1);
    const QByteArray before = kvtest::ReadFile(source + "s.jpg");
    for (const char* button : {"SpeedButton5", "SpeedButton6", "SpeedButton7", "SpeedButton9", "SpeedButton10"}) {
        QToolButton* b = MainForm->findChild<QToolButton*>(button);
        b->setEnabled(true);
        b->click();
        EXPECT_EQ(Screen->Cursor(), crDefault) << button;
    }
    EXPECT_EQ(kvtest::ReadFile(source + "s.jpg"), before);
    EXPECT_TRUE(kvtest::Ui().Asked().empty());
    if (MainForm->DiashowListBox) {
        EXPECT_EQ(MainForm->DiashowListBox->Items().Count(), 0);
    }
}

TEST_F(TurnDrag, DroppedSourcePicturesLandInSourceOrder)
{
    struct Case {
        int dropRow;  // -1: below the last item
        QStringList expected;
        int selected;
    };
    const QList<Case> cases = {
        {2, {"a.jpg", "b.jpg", "x.jpg", "y.jpg", "z.jpg", "c.jpg", "d.jpg"}, 2},
        {0, {"x.jpg", "y.jpg", "z.jpg", "a.jpg", "b.jpg", "c.jpg", "d.jpg"}, 0},
        {-1, {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "x.jpg", "y.jpg", "z.jpg"}, 4},
    };
    for (const Case& c : cases) {
        kvtest::OpenNewSlideshow();
        folder = MainForm->DiashowPath();
        Fill({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
        MakeTall();
        THTMListBox& list = *MainForm->DiashowListBox;
        ASSERT_GT(list.ClientHeight(), 500);
        SetSource({"w.jpg", "x.jpg", "y.jpg", "z.jpg"});
        THTMListBox& files = *MainForm->ui()->FileListBox;
        files.ClearSelection();
        for (int row : {1, 2, 3})
            files.setSelected(row, true);

        bool accept = true;
        MainForm->FileListBoxDragOver(accept);
        EXPECT_FALSE(accept);
        const TPoint at = c.dropRow >= 0 ? Middle(c.dropRow) : TPoint(10, list.ItemRect(3).Bottom + 20);
        accept = false;
        MainForm->DiashowListBoxDragOver(&files, at.X, at.Y, accept);
        EXPECT_TRUE(accept);
        MainForm->DiashowListBoxDragDrop(&files, at.X, at.Y);

        EXPECT_EQ(Names(), c.expected) << c.dropRow;
        EXPECT_EQ(PicturesIni(), c.expected) << c.dropRow;
        EXPECT_EQ(SelectedRows(list), QList<int>{c.selected}) << c.dropRow;
        EXPECT_EQ(list.ItemIndex(), c.selected) << c.dropRow;
        EXPECT_FALSE(MainForm->DragFromSourceList);
    }
}

TEST_F(TurnDrag, ForeignDragsAreRefused)
{
    Fill({"a.jpg"});
    bool accept = true;
    MainForm->DiashowListBoxDragOver(MainForm->ui()->OpenListBox, 5, 5, accept);
    EXPECT_FALSE(accept);
}

TEST_F(TurnDrag, InternalMoveReordersListAndPicturesIni)
{
    Fill({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    MakeTall();
    THTMListBox& list = *MainForm->DiashowListBox;
    ASSERT_GT(list.ClientHeight(), 500);
    // A source drag passed over earlier: the move must not become an add.
    bool accept = true;
    MainForm->FileListBoxDragOver(accept);

    const TPoint from = Middle(0);
    const TPoint to = Middle(2);
    MainForm->DiashowListBoxMouseDown(from.X, from.Y);
    MainForm->DiashowListBoxDragOver(&list, to.X, to.Y, accept);
    ASSERT_TRUE(accept);
    MainForm->DiashowListBoxDragDrop(&list, to.X, to.Y);
    MainForm->DiashowListBoxEndDrag(&list, to.X, to.Y);

    const QStringList expected = {"b.jpg", "c.jpg", "a.jpg", "d.jpg"};
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(PicturesIni(), expected);
    EXPECT_EQ(SelectedRows(list), QList<int>{2});
    EXPECT_EQ(MainForm->DragScrollPos, 1);

    // A plain click also ends a drag, without a target: the clicked selection stays.
    list.ClearSelection();
    list.setSelected(1, true);
    list.setSelected(3, true);
    MainForm->DiashowListBoxEndDrag(nullptr, 0, 0);
    EXPECT_EQ(SelectedRows(list), (QList<int>{1, 3}));
}

TEST_F(TurnDrag, DeleteKeyRemovesSelectedSlideshowPicturesFromEitherList)
{
    for (const bool fromSource : {false, true}) {
        kvtest::OpenNewSlideshow();
        folder = MainForm->DiashowPath();
        Fill({"a.jpg", "b.jpg", "c.jpg"});
        THTMListBox& list = *MainForm->DiashowListBox;
        list.ClearSelection();
        list.setSelected(0, true);
        list.setSelected(2, true);
        QWidget* target = fromSource ? static_cast<QWidget*>(MainForm->ui()->FileListBox) : &list;
        QTest::keyClick(target, Qt::Key_Delete);
        EXPECT_EQ(Names(), QStringList{"b.jpg"}) << fromSource;
        EXPECT_FALSE(QFileInfo::exists(folder + "a.jpg")) << fromSource;
        EXPECT_EQ(PicturesIni(), QStringList{"b.jpg"}) << fromSource;
    }
    // Shift and Ctrl are tracked while held.
    QTest::keyPress(MainForm->DiashowListBox, Qt::Key_Control);
    EXPECT_TRUE(MainForm->ShiftCtrlDown);
    QTest::keyRelease(MainForm->DiashowListBox, Qt::Key_Control);
    EXPECT_FALSE(MainForm->ShiftCtrlDown);
}

TEST_F(TurnDrag, TitleAndTimeEditsKeepTheSlideshowFields)
{
    QTest::keyClicks(MainForm->ui()->TitleEdit, "Sommer");
    QLineEdit& sec = *MainForm->ui()->SecEdit;
    sec.clear();
    QTest::keyClicks(&sec, "7x");
    EXPECT_TRUE(MainForm->DiashowTitle.endsWith("Sommer"));
    EXPECT_EQ(MainForm->DiashowTime, "7x");
}

TEST_F(TurnDrag, DraggingWithTheMouseAddsAndMoves)
{
    Fill({"a.jpg", "b.jpg", "c.jpg"});
    // The drag finds its target on the screen.
    MainForm->ui()->PageControl1->setCurrentWidget(MainForm->ui()->TabSheet1);
    MainForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    MakeTall();
    THTMListBox& list = *MainForm->DiashowListBox;
    ASSERT_TRUE(list.isVisible());
    THTMListBox& files = *MainForm->ui()->FileListBox;
    SetSource({"x.jpg", "y.jpg"});
    files.ClearSelection();
    files.setSelected(0, true);
    files.setSelected(1, true);
    QCoreApplication::processEvents();
    ASSERT_GT(list.ClientHeight(), 500);

    auto press = [](THTMListBox& l, QPoint p) { QTest::mousePress(l.viewport(), Qt::LeftButton, {}, p); };
    auto move = [](THTMListBox& l, QPoint p) { QTest::mouseMove(l.viewport(), p); };
    auto release = [](THTMListBox& l, QPoint p) { QTest::mouseRelease(l.viewport(), Qt::LeftButton, {}, p); };
    auto point = [&list](int row) {
        const TRect r = list.ItemRect(row);
        return QPoint(20, (r.Top + r.Bottom) / 2);
    };

    const TRect first = files.ItemRect(0);
    const QPoint start(20, (first.Top + first.Bottom) / 2);
    press(files, start);
    move(files, start + QPoint(8, 0));
    move(list, point(1));
    release(list, point(1));
    EXPECT_EQ(Names(), (QStringList{"a.jpg", "x.jpg", "y.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(SelectedRows(list), QList<int>{1});

    press(list, point(0));
    move(list, point(0) + QPoint(8, 0));
    move(list, point(3));
    release(list, point(3));
    const QStringList moved = {"x.jpg", "y.jpg", "b.jpg", "a.jpg", "c.jpg"};
    EXPECT_EQ(Names(), moved);
    EXPECT_EQ(PicturesIni(), moved);
    EXPECT_EQ(SelectedRows(list), QList<int>{3});

    // A plain click selects the clicked item alone, not the item at the end of the last drag.
    press(list, point(1));
    release(list, point(1));
    EXPECT_EQ(SelectedRows(list), QList<int>{1});
    EXPECT_EQ(Names(), moved);
}
