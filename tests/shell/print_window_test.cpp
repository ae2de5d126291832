// Printing from the main window: the print menus and button, the size dialog before the
// picture list, preview or print, and a machine without a printer.
#include "MainWindowTestSupport.h"
#include "support/PdfTools.h"

#include "controls/HTMLCheckList.h"
#include "controls/HTMListBox.h"
#include "output/fPrintSelect.h"
#include "output/fPrintSize.h"
#include "output/fQRForm.h"
#include "platform/report/Report.h"
#include "shell/core/Language.h"
#include "ui_fPrintSelect.h"
#include "ui_fPrintSize.h"
#include "shell/fWizardMake.h"
#include "ui_fWizardMake.h"

#include <QCheckBox>
#include <QImage>
#include <QMenu>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

class Printing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        kvtest::WriteFile(program.Folder + "NoWer.ini", "");
        ASSERT_TRUE(Start());
        MainForm->OpenDiashowFolder("del");
        MainForm->ui()->TitleEdit->setText("Hafenfest");
        // The printer: none unless a test names one; printed reports go into PDF files.
        kvtest::Ui().Allow(TAskKind::Printer, [this](TAskRequest& r) {
            const QString action = r.Data.value("Action").toString();
            if (action == "DefaultPrinter") {
                TAskAnswer answer{printer.isEmpty() ? 0 : 1};
                answer.Value = printer;
                return answer;
            }
            actions << action;
            EXPECT_EQ(Screen->Cursor(), crDefault) << "the pages are made; the hourglass is gone";
            auto* report = qobject_cast<TQuickRep*>(r.Data.value("Report").value<QObject*>());
            EXPECT_TRUE(report);
            if (report) {
                printed = kvtest::MakeTempFolder("printed") + action + ".pdf";
                QPdfWriter writer(printed);
                report->ApplyPageLayout(writer);
                EXPECT_TRUE(report->Render(writer));
            }
            return TAskAnswer{1};
        });
    }
    void TearDown() override { CloseAndEnd(); }

    void AddPictures(int count)
    {
        const QString source = kvtest::MakeTempFolder("source");
        for (int i = 1; i <= count; ++i) {
            const QString path = source + QString("Hafen_%1.jpg").arg(i);
            QImage image(900, 600, QImage::Format_RGB32);
            image.fill(QColor(30 * i, 90, 160));
            ASSERT_TRUE(image.save(path, "JPEG"));
            MainForm->AddPictureToDiashow(path, -1);
        }
    }
    // The size dialog answered with OK after choosing radio.
    void ExpectSize(QRadioButton* (*radio)(Ui::TPrintSizeWizard&))
    {
        kvtest::Ui().ExpectModal("TPrintSizeWizard", mrNone, [radio](TForm&) {
            radio(*PrintSizeWizard->ui())->setChecked(true);
            PrintSizeWizard->ui()->SaveBitBtn->click();
        });
    }
    void SetPreview(bool on) { MainForm->ui()->PrintPreviewCheckBox->setChecked(on); }

    ProgramFixture program;
    QString printer;
    QStringList actions;
    QString printed;
};

QRadioButton* Format10x15(Ui::TPrintSizeWizard& ui) { return ui.RadioButton10_15; }
QRadioButton* DinA5(Ui::TPrintSizeWizard& ui) { return ui.DINA5RadioButton; }

} // namespace

TEST_F(Printing, WithoutAPrinterThePreviewAndAPdfFileWorkAndPaperIsRefused)
{
    AddPictures(2);
    MainForm->ui()->PageControl1->setCurrentIndex(0);

    // Preview: the pages are made and shown.
    SetPreview(true);
    ExpectSize(Format10x15);
    MainForm->ui()->AlleDrucken1->trigger();
    EXPECT_EQ(actions, QStringList{"Preview"});
    EXPECT_EQ(kvtest::PdfImages(printed).size(), 2u);
    EXPECT_EQ(kvtest::PdfImages(printed)[0].Width, 571);
    EXPECT_EQ(MainForm->ui()->PageControl1->currentIndex(), 1);
    EXPECT_EQ(MainForm->PrintChoices.PrintWidth, 571);
    EXPECT_TRUE(MainForm->PrintChoices.PrintAll);

    // Printing: the pages go into the PDF file the user names.
    SetPreview(false);
    const QString pdf = kvtest::MakeTempFolder("out") + "Hafenfest.pdf";
    ExpectSize(DinA5);
    kvtest::Ui().ExpectSaveFile(pdf);
    MainForm->ui()->AlleBilderausdemKorvantadrucken1->trigger();
    EXPECT_NEAR(kvtest::PdfPageInfo(pdf).WidthPt, 419.5, 1.0);
    EXPECT_EQ(kvtest::PdfImages(pdf).size(), 2u);

    // On paper: no PDF file named, the printer's two messages and no report.
    ExpectSize(DinA5);
    kvtest::Ui().ExpectSaveFile(QString());
    kvtest::Ui().ExpectMessage(mrOk, "Kein Standard-Drucker");
    kvtest::Ui().ExpectMessage(mrOk, "Der Ausdruck kann nicht gestartet werden.");
    MainForm->ui()->AlleDrucken1->trigger();
    EXPECT_EQ(actions, QStringList{"Preview"});
    EXPECT_TRUE(QDir(QDir::tempPath()).entryList({"korvanta-print-*"}, QDir::Dirs).isEmpty());
}

TEST_F(Printing, TheSheetAndTheSelectedPicturesGoToTheDefaultPrinter)
{
    printer = "Laser im Flur";
    AddPictures(5);
    SetPreview(false);
    EXPECT_EQ(MainForm->DefaultPrinterName(), printer);

    // The thumbnail sheet asks no size.
    MainForm->ui()->bersichtThumbnailsDrucken2->trigger();
    EXPECT_EQ(actions, QStringList{"Print"});
    EXPECT_EQ(kvtest::PdfImages(printed).size(), 5u);
    EXPECT_TRUE(kvtest::PdfText(printed).contains("Hafenfest"));

    // The chosen pictures: the selection, then the size.
    kvtest::Ui().ExpectModal("TPrintSelectForm", mrNone, [](TForm&) {
        PrintSelectForm->ui()->HTMLCheckList1->setChecked(3, true);
        PrintSelectForm->ui()->PrintBitBtn->click();
    });
    ExpectSize(Format10x15);
    MainForm->ui()->AusgewhlteDrucken1->trigger();
    EXPECT_FALSE(MainForm->PrintChoices.PrintAll);
    EXPECT_EQ(actions, (QStringList{"Print", "Print"}));
    const auto images = kvtest::PdfImages(printed);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].Width, 571);

    // Cancelling the size dialog prints nothing.
    kvtest::Ui().ExpectModal("TPrintSizeWizard", mrCancel);
    MainForm->ui()->AlleDrucken1->trigger();
    EXPECT_EQ(actions.size(), 2);
}

TEST_F(Printing, TheMakeWizardsPrintChoiceIsCarriedOut)
{
    printer = "Laser";
    AddPictures(3);
    SetPreview(false);
    kvtest::Ui().ExpectModal("TMakeWizzard", mrNone, [](TForm&) {
        MakeWizzard->ui()->ThumbnailRadioButton->setChecked(true);
        MakeWizzard->ui()->WeiterBitBtn->click();
    });
    MainForm->StopAudioAndRunMakeWizard(true);
    EXPECT_EQ(actions, QStringList{"Print"});
    EXPECT_EQ(kvtest::PdfImages(printed).size(), 3u);
    EXPECT_EQ(MainForm->ui()->PageControl1->currentIndex(), 1);
}

TEST_F(Printing, AnEmptySlideshowPrintsNothingAndTheButtonOffersThePopUp)
{
    MainForm->ui()->PageControl1->setCurrentIndex(0);
    for (QAction* item : {MainForm->ui()->AlleDrucken1, MainForm->ui()->AusgewhlteDrucken1,
                          MainForm->ui()->bersichtThumbnailsDrucken1}) {
        kvtest::Ui().ExpectMessage(mrOk, GetLangText(10010));
        item->trigger();
        EXPECT_EQ(MainForm->ui()->PageControl1->currentIndex(), 1);
    }
    EXPECT_TRUE(actions.isEmpty());

    QMenu& popup = *MainForm->ui()->PopupMenu1;
    MainForm->ui()->DruckenBitBtn->click();
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.actions().size(), 3);
    popup.hide();
}
