// Building a slideshow in the main window: pictures copied in from the source list and taken
// out again, and the pictures' texts kept in Pictures.ini.
#include "MainWindowTestSupport.h"

#include "controls/HTMLEscape.h"
#include "controls/HTMListBox.h"
#include "shell/core/Language.h"
#include "shell/fNew.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

QString Picture(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    EXPECT_TRUE(image.save(path, "JPEG"));
    return path;
}

QStringList Names()
{
    QStringList names;
    for (const QString& item : kvtest::Lines(*MainForm->DiashowListBox))
        names << TMainForm::PictureItemName(item);
    return names;
}

QStringList Texts()
{
    QStringList texts;
    for (const QString& item : kvtest::Lines(*MainForm->DiashowListBox))
        texts << TMainForm::PictureItemText(item);
    return texts;
}

class Building : public kvtest::MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        root = MainForm->ArchiveRoot;
    }

    // The source list as a read of source leaves it: the thumbnail, then the escaped name.
    void SetSource(const QStringList& names)
    {
        kvtest::FillSourceList(source, names, [](const QString& path) { Picture(path); }, "file:///thumbs/a>b/");
    }
    void SelectSource(const QList<int>& rows)
    {
        THTMListBox& list = *MainForm->ui()->FileListBox;
        list.ClearSelection();
        for (int row : rows)
            list.setSelected(row, true);
    }
    void SelectSlideshow(const QList<int>& rows)
    {
        THTMListBox& list = *MainForm->DiashowListBox;
        list.ClearSelection();
        for (int row : rows)
            list.setSelected(row, true);
    }
    // Slideshow pictures a.jpg .. as the ">>" button adds them.
    void Fill(const QStringList& names)
    {
        SetSource(names);
        MainForm->ui()->SpeedButton2->click();
        ASSERT_EQ(Names(), names);
    }
    QByteArray PicturesIni() const { return kvtest::ReadFile(folder + "Pictures.ini"); }
    // A user typing into TextEdit with item row current.
    void Type(int row, const QString& text)
    {
        MainForm->DiashowListBox->setItemIndex(row);
        QLineEdit& edit = *MainForm->ui()->TextEdit;
        edit.clear();
        QTest::keyClicks(&edit, text);
    }

    QString root;
};

} // namespace

TEST_F(Building, AddButtonsCopyInSourceOrder)
{
    struct Case {
        const char* button;
        QList<int> selected;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"SpeedButton1", {2, 0}, {"a&b.jpg", "c.jpg"}},
        {"SpeedButton1", {1}, {"b.jpg"}},
        {"SpeedButton2", {1}, {"a&b.jpg", "b.jpg", "c.jpg"}},
    };
    for (const Case& c : cases) {
        kvtest::OpenNewSlideshow();
        folder = MainForm->DiashowPath();
        // Sorted as the source list shows them; "&" is escaped in the item, not in the file.
        SetSource({"a&b.jpg", "b.jpg", "c.jpg"});
        SelectSource(c.selected);
        MainForm->findChild<QToolButton*>(c.button)->click();
        EXPECT_EQ(Names(), c.expected) << c.button;
        QByteArray ini;
        for (const QString& name : c.expected)
            ini += name.toUtf8() + "\r\n";
        EXPECT_EQ(PicturesIni(), ini) << c.button;
        EXPECT_TRUE(QFileInfo::exists(folder + c.expected.first())) << c.button;
        EXPECT_FALSE(MainForm->ui()->PicProgressBar->isVisible()) << c.button;
    }
    // Added again, the pictures go after the ones there, as unique copies.
    SelectSource({0});
    MainForm->ui()->SpeedButton1->click();
    EXPECT_EQ(Names().last(), "a&b_1.jpg");
}

TEST_F(Building, ADoubleClickInTheSourceListAdds)
{
    SetSource({"a.jpg", "b.jpg"});
    SelectSource({1});
    THTMListBox& files = *MainForm->ui()->FileListBox;
    ASSERT_TRUE(files.OnDblClick);
    files.OnDblClick(&files);
    EXPECT_EQ(Names(), QStringList{"b.jpg"});
}

TEST_F(Building, EmptySelectionsAreExplained)
{
    SetSource({"a.jpg"});
    SelectSource({});
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10004));
    MainForm->ui()->SpeedButton1->click();
    SetSource({});
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10005));
    MainForm->ui()->SpeedButton2->click();
    EXPECT_TRUE(Names().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder + "Pictures.ini"));

    Fill({"a.jpg", "b.jpg"});
    SelectSlideshow({});
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10006));
    MainForm->ui()->SpeedButton3->click();
    EXPECT_EQ(Names(), (QStringList{"a.jpg", "b.jpg"}));
}

TEST_F(Building, RemoveSelectedKeepsTheOthersAndTheirTexts)
{
    Fill({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    Type(2, "third");
    SelectSlideshow({0, 3});
    MainForm->ui()->SpeedButton3->click();
    EXPECT_EQ(Names(), (QStringList{"b.jpg", "c.jpg"}));
    EXPECT_EQ(PicturesIni(), "b.jpg\r\nc.jpg | third\r\n");
    const QStringList files = kvtest::FilesIn(folder);
    EXPECT_FALSE(files.contains("a.jpg"));
    EXPECT_FALSE(files.contains("_THUMB_a.jpg")) << files.join(',').toStdString();
    EXPECT_TRUE(files.contains("_THUMB_c.jpg"));
}

TEST_F(Building, RemoveOnAListEmptiedByCodeDeletesNothing)
{
    Fill({"a.jpg"});
    MainForm->DiashowListBox->Items().Clear();
    Picture(folder + "stray.jpg");
    MainForm->ui()->SpeedButton3->click();
    EXPECT_EQ(kvtest::FilesIn(folder), (QStringList{"Diashow.ini", "Pictures.ini", "_THUMB_a.jpg", "a.jpg", "stray.jpg"}));
    EXPECT_TRUE(kvtest::Ui().Asked().empty());
}

TEST_F(Building, RemoveAllAsksFirst)
{
    Fill({"a.jpg", "b.jpg"});
    kvtest::Ui().ExpectMessage(mrNo, GetLangText(10007));
    MainForm->ui()->SpeedButton4->click();
    EXPECT_EQ(Names(), (QStringList{"a.jpg", "b.jpg"}));
    EXPECT_TRUE(QFileInfo::exists(folder + "_THUMB_b.jpg"));

    kvtest::Ui().ExpectMessage(mrYes, GetLangText(10007));
    MainForm->ui()->SpeedButton4->click();
    EXPECT_TRUE(Names().isEmpty());
    EXPECT_EQ(kvtest::FilesIn(folder), (QStringList{"Diashow.ini", "Pictures.ini"}));
    EXPECT_EQ(PicturesIni(), "");
}

TEST_F(Building, TypedTextGoesIntoTheItemAndIsSavedAfterAPause)
{
    Fill({"a.jpg", "b.jpg"});
    Type(1, "x < y & z");
    EXPECT_EQ(Texts(), (QStringList{"", "x < y & z"}));
    EXPECT_TRUE(MainForm->PicturesIniPending());
    EXPECT_EQ(PicturesIni(), "a.jpg\r\nb.jpg\r\n");
    EXPECT_TRUE(QTest::qWaitFor([] { return !MainForm->PicturesIniPending(); }, 5 * TMainForm::PicturesIniDelay));
    EXPECT_EQ(PicturesIni(), "a.jpg\r\nb.jpg | x < y & z\r\n");

    // Program code clearing the edit (as removing a picture does) changes no text.
    MainForm->DiashowListBox->setItemIndex(0);
    MainForm->ui()->TextEdit->setText("not typed");
    MainForm->ui()->TextEdit->clear();
    EXPECT_EQ(Texts(), (QStringList{"", "x < y & z"}));
    EXPECT_FALSE(MainForm->PicturesIniPending());

    // Retyped, the item keeps its picture and takes only the new text.
    Type(1, "new");
    EXPECT_EQ(Names(), (QStringList{"a.jpg", "b.jpg"}));
    EXPECT_EQ(Texts(), (QStringList{"", "new"}));
}

TEST_F(Building, TypedTextWithoutACurrentItemChangesNothing)
{
    Fill({"a.jpg"});
    Type(-1, "lost");
    EXPECT_EQ(Texts(), QStringList{""});
    EXPECT_FALSE(MainForm->PicturesIniPending());
}

TEST_F(Building, PendingTextsAreSavedBeforeTheCloseAndBeforeAnotherSlideshow)
{
    // Opening another slideshow.
    Fill({"a.jpg"});
    const QString first = folder;
    Type(0, "kept on open");
    kvtest::OpenNewSlideshow();
    EXPECT_FALSE(MainForm->PicturesIniPending());
    EXPECT_EQ(kvtest::ReadFile(first + "Pictures.ini"), "a.jpg | kept on open\r\n");
    // Nothing of the first slideshow lands in the new one.
    EXPECT_FALSE(QFileInfo::exists(MainForm->DiashowPath() + "Pictures.ini"));

    // A new slideshow.
    folder = MainForm->DiashowPath();
    Fill({"b.jpg"});
    Type(0, "kept on new");
    kvtest::Ui().ExpectModal("TNewForm", kNewFormOk, [](TForm& form) {
        form.findChild<QLineEdit*>("Edit1")->setText("Next");
    });
    MainForm->ui()->NewBitBtn->click();
    EXPECT_EQ(PicturesIni(), "b.jpg | kept on new\r\n");

    // The close.
    kvtest::OpenNewSlideshow();
    folder = MainForm->DiashowPath();
    Fill({"c.jpg"});
    Type(0, "kept on close");
    ASSERT_TRUE(MainForm->PicturesIniPending());
    CloseAndEnd();
    EXPECT_EQ(PicturesIni(), "c.jpg | kept on close\r\n");
}
