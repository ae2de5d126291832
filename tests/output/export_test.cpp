// The export selection: the slideshows it offers, the nothing-ticked message, cancelling, and
// an activation by the user coming back from another program.
#include "shell/WindowTestSupport.h"
#include "shell/Windows.h"
#include "support/ScriptedUi.h"

#include "output/ExportCheckList.h"
#include "output/ExportList.h"
#include "output/fExport.h"
#include "platform/vcl/Application.h"
#include "ui_fExport.h"

#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using kvtest::TestProgramFolder;
using kvtest::WriteTextFile;

void MakeDiashow(const QString& folder, const QByteArray& diashowIni)
{
    WriteTextFile(folder + "/Diashow.ini", diashowIni);
}

} // namespace

TEST(ExportList, ListsOnlyTitledSlideshowFolders)
{
    const QString archive = kvtest::MakeTempFolder("archive");
    MakeDiashow(archive + "Archive_0001", "[DIASHOW]\r\nTitel=Urlaub\r\n");
    MakeDiashow(archive + "del", "[DIASHOW]\r\nTitel=Vorlage\r\n");
    QDir().mkpath(archive + "Archive_0002");  // no Diashow.ini
    WriteTextFile(archive + "Archive_0002/Pictures.ini", "[PICTURES]\r\n");
    MakeDiashow(archive + "Archive_0004.old", "[DIASHOW]\r\nTitel=Alt\r\n");
    EXPECT_EQ(ListDiashows(archive), QStringList{"Archive_0001 Urlaub"});
}

TEST(ExportList, KeepsTheScanOrderAndLeavesOutFilesAndDeletedSlideshows)
{
    const QString archive = kvtest::MakeTempFolder("archive");
    MakeDiashow(archive + "archive_0010", "[diashow]\r\ntitel=Kleingeschrieben\r\n");
    MakeDiashow(archive + "Archive_0003", "[DIASHOW]\r\nDefaultTime=5\r\n");  // no title
    MakeDiashow(archive + "Archive_0002", "[DIASHOW]\r\nTitel=Geburtstag mit Oma\r\n");
    MakeDiashow(archive + "Archive_0005_Deleted", "[DIASHOW]\r\nTitel=Weg\r\n");
    MakeDiashow(archive + ".hidden", "[DIASHOW]\r\nTitel=Versteckt\r\n");
    WriteTextFile(archive + "Archive_0006", "a file, not a folder");
    QDir().mkpath(archive + "Archive_0007/Diashow.ini");  // a folder of that name
    EXPECT_EQ(ListDiashows(archive), (QStringList{"Archive_0002 Geburtstag mit Oma", "Archive_0003 ",
                                                  "archive_0010 Kleingeschrieben"}));
    EXPECT_TRUE(ListDiashows(archive + "missing/").isEmpty());
}

class ExportFormTest : public ::testing::Test {
protected:
    ExportFormTest()
    {
        MakeDiashow(archive + "Archive_0001", "[DIASHOW]\r\nTitel=Urlaub\r\n");
        MakeDiashow(archive + "Archive_0002", "[DIASHOW]\r\nTitel=Ostern\r\n");
        form.Paths = [this] { return TOutputPaths{archive, archive + "CDROM-Export/"}; };
        form.GoToPage1 = [this] { ++turnedToPage1; };
    }

    TestProgramFolder program;
    QString archive = kvtest::MakeTempFolder("archive");
    QWidget host;
    TExportForm form{&host};
    int turnedToPage1 = 0;
};

TEST_F(ExportFormTest, NothingTickedAsksForASlideshowAndTheDialogStays)
{
    EXPECT_EQ(form.windowTitle(), GetLangText(2600));
    kvtest::Ui().ExpectModal("TExportForm", mrNone, [&](TForm& f) {
        TExportCheckList& list = *form.ui()->CheckListBox;
        ASSERT_EQ(list.Items().Count(), 2);
        EXPECT_EQ(list.Items()[0], QString("Archive_0001 Urlaub"));
        kvtest::Ui().ExpectMessage(mrOk, GetLangText(10029));
        form.ui()->OpenBitBtn->click();
        EXPECT_EQ(f.ModalResult(), mrNone);
        EXPECT_TRUE(f.isVisible());
        const auto& box = kvtest::Ui().Asked().back();
        EXPECT_EQ(box.Type, mtInformation);
        EXPECT_EQ(box.Buttons, TMsgDlgButtons{mbOK});

        list.setChecked(1, true);
        form.ui()->OpenBitBtn->click();
    });
    EXPECT_EQ(kvtest::ShowModal(form), mrOk);
    EXPECT_EQ(CheckedLines(*form.ui()->CheckListBox), QStringList{"Archive_0002 Ostern"});
    EXPECT_EQ(turnedToPage1, 0);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(ExportFormTest, CancellingTurnsTheMainWindowToItsSecondPage)
{
    kvtest::Ui().ExpectModal("TExportForm", mrNone, [&](TForm&) { form.ui()->BitBtn1->click(); });
    EXPECT_EQ(kvtest::ShowModal(form), mrCancel);
    EXPECT_EQ(turnedToPage1, 1);
}

TEST_F(ExportFormTest, EachShowingListsAfreshButComingBackFromAnotherProgramKeepsTheTicks)
{
    kvtest::Ui().ExpectModal("TExportForm", mrNone, [&](TForm& f) {
        TExportCheckList& list = *form.ui()->CheckListBox;
        list.setChecked(0, true);
        MakeDiashow(archive + "Archive_0003", "[DIASHOW]\r\nTitel=Neu\r\n");
        kvtest::SwitchAwayAndBack(f);
        EXPECT_EQ(list.Items().Count(), 2);
        EXPECT_EQ(CheckedLines(list), QStringList{"Archive_0001 Urlaub"});
        form.ui()->BitBtn1->click();
    });
    kvtest::ShowModal(form);

    kvtest::Ui().ExpectModal("TExportForm", mrNone, [&](TForm&) {
        EXPECT_EQ(form.ui()->CheckListBox->Count(), 3);
        EXPECT_TRUE(CheckedLines(*form.ui()->CheckListBox).isEmpty());
        form.ui()->BitBtn1->click();
    });
    kvtest::ShowModal(form);
}
