// Printing: the print copies and the bands they make, the picture lists on A4 and A5 and the
// thumbnail sheet judged on the printed PDF, the clean-up of a run, pictures that cannot be
// read, the print selection's Print.txt and the print size dialog.
#include "shell/WindowTestSupport.h"
#include "support/PdfTools.h"
#include "support/ProgramFixture.h"
#include "support/ScriptedUi.h"

#include "controls/HTMLCheckList.h"
#include "controls/SlideshowItem.h"
#include "output/fPrintSelect.h"
#include "output/fPrintSize.h"
#include "output/fQRForm.h"
#include "output/fQRFormThumbnails.h"
#include "ui_fPrintSelect.h"
#include "ui_fPrintSize.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

using kvtest::TestProgramFolder;

// An item of the slideshow list, as the main window makes it.
QString Item(const QString& folder, const QString& name, const QString& text)
{
    return EncodeSlideshowItem(folder + "_THUMB_" + name, name, text);
}

void WritePicture(const QString& path, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 80, 40));
    ASSERT_TRUE(image.save(path, "JPG")) << path.toStdString();
}

QSize PictureSize(const QString& path)
{
    return QImageReader(path).size();
}

// A slideshow folder in an archive, pictures given by name and size, and the print source of
// a run over them.
class PrintRun : public ::testing::Test {
protected:
    void AddPicture(const QString& name, int width, int height, const QString& text = QString())
    {
        WritePicture(folder + name, width, height);
        source.Items.append(Item(folder, name, text));
    }
    std::function<TPrintSource()> Source()
    {
        return [this] { return source; };
    }
    QString Pdf(const QString& name) { return kvtest::MakeTempFolder("pdf-" + name) + name + ".pdf"; }

    TestProgramFolder program;
    QString archive = kvtest::MakeTempFolder("archive");
    QString folder = archive + "Archive_0003/";
    TPrintSource source = [this] {
        QDir().mkpath(folder);
        TPrintSource s;
        s.ProgramFolder = program.Folder;
        s.ArchiveRoot = archive;
        s.DiashowFolder = "Archive_0003";
        s.Title = "Sommer am See";
        s.Choices.PrintAll = true;
        return s;
    }();
};

} // namespace

TEST_F(PrintRun, CopiesKeepTheAspectAndSetTheBandHeight)
{
    AddPicture("quer.jpg", 3000, 2000);
    AddPicture("hoch.jpg", 2000, 3000);
    TQRListForm report;
    report.Source = Source();
    report.PrintWidth = 495;
    report.QuickRep1.BeforePrint();
    const QString copyFolder = report.CopyFolder();
    ASSERT_FALSE(copyFolder.isEmpty());
    EXPECT_FALSE(copyFolder.startsWith(folder));

    struct Expected {
        QSize copy;
        int band;
    };
    for (const Expected& e : {Expected{{495, 330}, 360}, Expected{{330, 495}, 525}}) {
        bool more = false;
        report.QuickRep1.NeedData(more);
        ASSERT_TRUE(more);
        EXPECT_EQ(report.QRImage1->Picture.size(), e.copy);
        EXPECT_EQ(report.QuickRep1.DetailBand.Height, e.band);
        EXPECT_EQ(report.QRImage1->Top, 18);
        EXPECT_EQ(report.QRLabel3->Top, 0);
    }
    EXPECT_EQ(PictureSize(copyFolder + "_PRINT_quer.jpg"), QSize(495, 330));
    EXPECT_EQ(PictureSize(copyFolder + "_PRINT_hoch.jpg"), QSize(330, 495));
    bool more = true;
    report.QuickRep1.NeedData(more);
    EXPECT_FALSE(more);
    report.CleanUpAfterPrint();
}

TEST_F(PrintRun, TheWidthStaysWithinThePaper)
{
    struct Case {
        int width;
        bool a5;
        int copy;
    };
    // A4 prints 697 pixels wide, A5 463.
    const Case cases[] = {{495, false, 495}, {0, false, 1}, {-40, false, 1}, {1134, false, 697},
                          {495, true, 463}, {457, true, 457}};
    TQRListForm a4;
    TQRListA5Form a5;
    for (const Case& c : cases) {
        TQRListForm& report = c.a5 ? a5 : a4;
        report.PrintWidth = c.width;
        EXPECT_EQ(report.CopySize(), c.copy) << c.width << (c.a5 ? " on A5" : " on A4");
    }
}

TEST_F(PrintRun, A4ListWithTextsAndWithoutTheTitle)
{
    AddPicture("Boot & Steg.jpg", 3000, 2000, "Boot & Steg <früh>");  // escaped in the item
    AddPicture("hoch.jpg", 2000, 3000, "Leuchtturm");
    source.Choices.PrintPictureText = true;
    source.Choices.PrintHeadline = false;
    TQRListForm report;
    report.Source = Source();
    const QString pdf = Pdf("a4");
    ASSERT_TRUE(report.QuickRep1.PrintToPdf(pdf));
    report.CleanUpAfterPrint();

    const QString text = kvtest::PdfText(pdf);
    EXPECT_TRUE(text.contains("Boot & Steg <früh>")) << text.toStdString();
    EXPECT_FALSE(text.contains("&amp;"));
    EXPECT_TRUE(text.contains("Leuchtturm"));
    EXPECT_FALSE(text.contains("Sommer am See"));
    const auto images = kvtest::PdfImages(pdf);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(QSize(images[0].Width, images[0].Height), QSize(495, 330));
    EXPECT_NEAR(495.0 / images[0].XPpi * 2.54, 13.1, 0.1);
    const kvtest::PdfInfo info = kvtest::PdfPageInfo(pdf);
    EXPECT_NEAR(info.WidthPt, 595.3, 1.0);
    EXPECT_EQ(info.Pages, 1);  // 40 + 360 + 525 of 1002 pixels
}

TEST_F(PrintRun, A5ListPrintsOnA5WithTitleAndNoTexts)
{
    AddPicture("quer.jpg", 1200, 800, "nicht gedruckt");
    source.Choices.PrintHeadline = true;
    TQRListA5Form report;
    report.Source = Source();
    report.PrintWidth = 457;
    const QString pdf = Pdf("a5");
    ASSERT_TRUE(report.QuickRep1.PrintToPdf(pdf));
    report.CleanUpAfterPrint();
    const kvtest::PdfInfo info = kvtest::PdfPageInfo(pdf);
    EXPECT_NEAR(info.WidthPt, 419.5, 1.0);
    EXPECT_NEAR(info.HeightPt, 595.3, 1.0);
    const QString text = kvtest::PdfText(pdf);
    EXPECT_TRUE(text.contains("Sommer am See"));
    EXPECT_FALSE(text.contains("nicht gedruckt"));
}

TEST_F(PrintRun, ThumbnailSheetFourPerBandWithNamesTitleAndPageNumber)
{
    for (int i = 1; i <= 5; ++i)
        AddPicture(QString("Bild_%1.jpg").arg(i), 800 + 100 * i, 600);
    source.Choices.PrintHeadline = false;  // the sheet shows the title all the same
    TQRThumbnailForm report;
    report.Source = Source();

    report.QuickRep1.BeforePrint();
    int bands = 0;
    bool more = true;
    QStringList secondBand;
    while (more) {
        report.QuickRep1.NeedData(more);
        if (!more)
            break;
        ++bands;
        if (bands == 2) {
            for (TQRLabel* label : report.QRLabels)
                secondBand << label->Caption;
            EXPECT_FALSE(report.QRImages[0]->Picture.isNull());
            EXPECT_TRUE(report.QRImages[1]->Picture.isNull());
        }
    }
    EXPECT_EQ(bands, 2);
    EXPECT_EQ(secondBand, (QStringList{"Bild_5.jpg", "", "", ""}));
    report.CleanUpAfterPrint();

    const QString pdf = Pdf("sheet");
    ASSERT_TRUE(report.QuickRep1.PrintToPdf(pdf));
    report.CleanUpAfterPrint();
    const auto images = kvtest::PdfImages(pdf);
    ASSERT_EQ(images.size(), 5u);
    EXPECT_EQ(images[0].Width, 120);
    const QString text = kvtest::PdfText(pdf);
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(text.contains(QString("Bild_%1.jpg").arg(i))) << text.toStdString();
    EXPECT_TRUE(text.contains("Sommer am See"));
    EXPECT_TRUE(text.contains(QRegularExpression("(^|\\s)1\\s*\\f?\\s*$"))) << text.toStdString();
}

TEST_F(PrintRun, CleanUpRemovesTheRunsCopiesAndNothingOfTheSlideshow)
{
    AddPicture("IMG.jpg", 900, 600);
    // The user's own files whose names look like print copies.
    WritePicture(folder + "Urlaub_print_1.jpg", 40, 30);
    WritePicture(folder + "_PRINT_x.jpg", 40, 30);
    WritePicture(folder + "_PRINT_IMG.jpg", 40, 30);
    const QByteArray own = kvtest::ReadFile(folder + "_PRINT_IMG.jpg");
    TQRListForm report;
    report.Source = Source();
    report.QuickRep1.BeforePrint();
    bool more = false;
    report.QuickRep1.NeedData(more);
    ASSERT_TRUE(more);
    const QString copyFolder = report.CopyFolder();
    EXPECT_TRUE(QFileInfo::exists(copyFolder + "_PRINT_IMG.jpg"));

    report.CleanUpAfterPrint();
    EXPECT_FALSE(QFileInfo::exists(copyFolder));
    EXPECT_TRUE(report.PrintList().isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{"IMG.jpg", "Urlaub_print_1.jpg", "_PRINT_IMG.jpg", "_PRINT_x.jpg"}));
    EXPECT_EQ(kvtest::ReadFile(folder + "_PRINT_IMG.jpg"), own);

    // The copies go with the report too, when no clean-up came.
    QString leftOver;
    {
        TQRListForm other;
        other.Source = Source();
        other.QuickRep1.BeforePrint();
        other.QuickRep1.NeedData(more);
        leftOver = other.CopyFolder();
        EXPECT_TRUE(QFileInfo::exists(leftOver));
    }
    EXPECT_FALSE(QFileInfo::exists(leftOver));
}

TEST_F(PrintRun, PicturesThatCannotBeReadAreLeftOutAndNamed)
{
    AddPicture("eins.jpg", 600, 400);
    kvtest::WriteTextFile(folder + "kaputt.jpg", "no picture at all");
    source.Items.append(Item(folder, "kaputt.jpg", ""));
    source.Items.append(Item(folder, "fehlt.jpg", ""));
    AddPicture("zwei.jpg", 600, 400);

    TQRListForm list;
    list.Source = Source();
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10280));
    const QString pdf = Pdf("skip");
    ASSERT_TRUE(list.QuickRep1.PrintToPdf(pdf));
    EXPECT_EQ(list.Skipped(), (QStringList{"kaputt.jpg", "fehlt.jpg"}));
    const auto& asked = kvtest::Ui().Asked();
    ASSERT_FALSE(asked.empty());
    EXPECT_TRUE(asked.back().Text.contains("kaputt.jpg") && asked.back().Text.contains("fehlt.jpg"));
    EXPECT_EQ(kvtest::PdfImages(pdf).size(), 2u);
    list.CleanUpAfterPrint();

    TQRThumbnailForm sheet;
    sheet.Source = Source();
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10280));
    const QString sheetPdf = Pdf("skip-sheet");
    ASSERT_TRUE(sheet.QuickRep1.PrintToPdf(sheetPdf));
    EXPECT_EQ(kvtest::PdfImages(sheetPdf).size(), 2u);
    const QString text = kvtest::PdfText(sheetPdf);
    EXPECT_TRUE(text.contains(QRegularExpression("eins\\.jpg\\s+zwei\\.jpg"))) << text.toStdString();
    EXPECT_FALSE(text.contains("kaputt"));
    sheet.CleanUpAfterPrint();
}

TEST_F(PrintRun, SelectedPicturesComeFromPrintTxt)
{
    AddPicture("a.jpg", 600, 400);
    AddPicture("b.jpg", 600, 400);
    AddPicture("c.jpg", 600, 400);
    source.Choices.PrintAll = false;
    kvtest::WriteTextFile(program.Folder + "Print.txt", (source.Items[2] + "\r\n" + source.Items[0] + "\r\n").toUtf8());
    TQRThumbnailForm sheet;
    sheet.Source = Source();
    sheet.QuickRep1.BeforePrint();
    EXPECT_EQ(sheet.PrintList(), (QStringList{source.Items[2], source.Items[0]}));
    bool more = false;
    sheet.QuickRep1.NeedData(more);
    EXPECT_EQ(sheet.QRLabels[0]->Caption, QString("c.jpg"));
    EXPECT_EQ(sheet.QRLabels[1]->Caption, QString("a.jpg"));
    sheet.CleanUpAfterPrint();
}

TEST_F(PrintRun, PrintSelectionWritesTheCheckedItemsToPrintTxt)
{
    source.Items = {"  " + Item(folder, "a.jpg", "eins") + "  ", Item(folder, "b.jpg", ""),
                    Item(folder, "a.jpg", "eins"), Item(folder, "c.jpg", "drei")};
    QWidget host;
    TPrintSelectForm form(&host);
    form.Source = Source();
    const QString printTxt = program.Folder + "Print.txt";

    kvtest::Ui().ExpectModal("TPrintSelectForm", mrNone, [&](TForm&) {
        THTMLCheckList& list = *form.ui()->HTMLCheckList1;
        ASSERT_EQ(list.Items().Count(), 4);
        EXPECT_EQ(list.ItemHeight(), 70);
        EXPECT_EQ(list.GetCheckedCount(), 0);
        kvtest::Ui().ExpectMessage(mrOk, GetLangText(10011));
        form.ui()->PrintBitBtn->click();
        EXPECT_FALSE(QFileInfo::exists(printTxt));
        list.setChecked(0, true);
        list.setChecked(2, true);
        list.setChecked(3, true);
        form.ui()->PrintBitBtn->click();
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(kvtest::ReadFile(printTxt), (Item(folder, "a.jpg", "eins") + "\r\n" + Item(folder, "a.jpg", "eins") +
                                           "\r\n" + Item(folder, "c.jpg", "drei") + "\r\n")
                                              .toUtf8());

    // Each showing starts afresh, nothing checked; "Abbrechen" ends with 3.
    kvtest::Ui().ExpectModal("TPrintSelectForm", mrNone, [&](TForm&) {
        EXPECT_EQ(form.ui()->HTMLCheckList1->GetCheckedCount(), 0);
        form.ui()->AbortBitBtn->click();
    });
    EXPECT_EQ(kvtest::ShowModal(form), mrAbort);
}

TEST_F(PrintRun, PicturesTurnedInThisRunShowTheirThumbnails)
{
    // A turn leaves the item on a numbered thumbnail ("_THUMB_1a.jpg") beside the renewed
    // "_THUMB_a.jpg"; removing another picture then cleans the numbered one away as stale,
    // while the slideshow list still shows it from memory.
    WritePicture(folder + "a.jpg", 40, 60);
    WritePicture(folder + "_THUMB_a.jpg", 46, 70);
    WritePicture(folder + "b.jpg", 60, 40);
    WritePicture(folder + "_THUMB_1b.jpg", 70, 46);
    const QString turned = EncodeSlideshowItem(folder + "_THUMB_1a.jpg", "a.jpg", "gedreht");
    const QString kept = EncodeSlideshowItem(folder + "_THUMB_1b.jpg", "b.jpg", "");
    source.Items = {turned, kept};
    QWidget host;
    TPrintSelectForm form(&host);
    form.Source = Source();
    kvtest::Ui().ExpectModal("TPrintSelectForm", mrNone, [&](TForm&) {
        THTMLCheckList& list = *form.ui()->HTMLCheckList1;
        ASSERT_EQ(list.Items().Count(), 2);
        EXPECT_EQ(list.Items()[0], EncodeSlideshowItem(folder + "_THUMB_a.jpg", "a.jpg", "gedreht"));
        EXPECT_EQ(list.Items()[1], kept) << "a numbered thumbnail that is there is shown";
        // The turned picture's thumbnail is drawn: its colour in the item's row.
        const QImage shown = list.grab().toImage();
        bool drawn = false;
        for (int y = 0; y < std::min(70, shown.height()) && !drawn; ++y)
            for (int x = 0; x < shown.width() && !drawn; ++x)
                drawn = qRed(shown.pixel(x, y)) > 150 && qGreen(shown.pixel(x, y)) < 120 && qBlue(shown.pixel(x, y)) < 90;
        EXPECT_TRUE(drawn);
        list.setChecked(0, true);
        form.ui()->PrintBitBtn->click();
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(kvtest::ReadFile(program.Folder + "Print.txt"), (turned + "\r\n").toUtf8())
        << "Print.txt keeps the slideshow's item";
}

TEST(PrintSelect, TheWindowFitsA1600x1000ScreenWithItsFrame)
{
    // The screen and the window frames come from the offscreen platform's configuration, so
    // the check runs in a child of this test program.
    if (!qEnvironmentVariableIsSet("KV_PRINT_SELECT_SCREEN")) {
        const QString config = kvtest::MakeTempFolder("screen") + "screen.json";
        kvtest::WriteFile(config, R"({"windowFrameMargins": true, "screens": [{"name": "wide", "x": 0, "y": 0,
                                      "width": 1600, "height": 1000, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KV_PRINT_SELECT_SCREEN", "1");
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=PrintSelect.TheWindowFitsA1600x1000ScreenWithItsFrame"});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QByteArray out = child.readAllStandardOutput() + child.readAllStandardError();
        EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
        return;
    }
    TestProgramFolder program("GERMAN");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ASSERT_EQ(screen.size(), QSize(1600, 1000));
    QWidget main;
    main.setGeometry(screen.adjusted(0, 20, 0, 0));
    main.show();
    TPrintSelectForm form(&main);
    for (int showing = 0; showing < 2; ++showing) {
        form.Show();
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        // A window manager maximises the window a moment later.
        QElapsedTimer settle;
        settle.start();
        do
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        while (!available.contains(form.frameGeometry()) && settle.elapsed() < 2000);
        EXPECT_TRUE(available.contains(form.frameGeometry())) << showing;
        for (QWidget* button : {static_cast<QWidget*>(form.ui()->PrintBitBtn), static_cast<QWidget*>(form.ui()->AbortBitBtn)}) {
            const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
            EXPECT_TRUE(button->isVisible());
            EXPECT_TRUE(available.contains(onScreen)) << button->objectName().toStdString() << " at " << onScreen.y()
                                                      << "+" << onScreen.height();
        }
        form.close();
    }
}

TEST(PrintSize, SizesOfTheChoicesAndOfATypedWidthInAGermanLocale)
{
    TestProgramFolder program;
    QWidget host;
    TPrintSizeWizard wizard(&host);
    TPrintChoices choices;
    choices.PrintWidth = 1;
    wizard.SetChoices(&choices);
    wizard.DecimalSeparator = QLatin1Char(',');
    auto& ui = *wizard.ui();
    EXPECT_EQ(wizard.windowTitle(), QString("Größe"));

    struct Radio {
        QRadioButton* button;
        int width;
        const char* paper;
    };
    for (const Radio& r : {Radio{ui.RadioButton10_15, 571, "A4"}, Radio{ui.RadioButton13_18, 686, "A4"},
                           Radio{ui.DINA4RadioButton, 686, "A4"}, Radio{ui.DINA5RadioButton, 457, "A5"},
                           Radio{ui.RadioButton9_13, 495, "A4"}}) {
        r.button->setChecked(true);
        EXPECT_EQ(choices.PrintWidth, r.width);
        EXPECT_EQ(choices.PaperFormat, QString(r.paper));
        EXPECT_TRUE(ui.SizePanel->isHidden());
    }

    ui.DINA5RadioButton->setChecked(true);
    ui.RadioButton_Frei->setChecked(true);
    EXPECT_FALSE(ui.SizePanel->isHidden());
    EXPECT_EQ(choices.PaperFormat, QString("A5"));  // another size keeps the paper
    EXPECT_EQ(choices.PrintWidth, 495) << "the 13 cm the field shows";

    struct Typed {
        const char* text;
        int width;
        bool message;
    };
    const Typed typed[] = {{"10", 381, false},   {"13", 495, false}, {"20", 762, false}, {"12,5", 476, false},
                           {"13.5", 495, true},  {"abc", 495, true}, {"0", 1, false},    {"-3", 1, false},
                           {"13,", 495, false}, {"1e300", 3807692, false}, {"", 495, false}};
    for (const Typed& t : typed) {
        choices.PrintWidth = 7;
        if (t.message)
            kvtest::Ui().ExpectMessage(mrOk, "Keine gültige Zahl!");
        ui.Edit1->setText(t.text);
        EXPECT_EQ(choices.PrintWidth, t.width) << t.text;
    }
    EXPECT_EQ(choices.PaperFormat, QString("A5"));
}

TEST(PrintSize, TheCheckBoxesWaitForOkWhileTheSizeDoesNot)
{
    TestProgramFolder program;
    QWidget host;
    TPrintSizeWizard wizard(&host);
    TPrintChoices choices;
    wizard.SetChoices(&choices);
    auto& ui = *wizard.ui();

    kvtest::Ui().ExpectModal("TPrintSizeWizard", mrNone, [&](TForm&) {
        ui.RadioButton13_18->setChecked(true);
        ui.TextCheckBox->setChecked(true);
        ui.HeadLineCheckBox->setChecked(true);
        ui.AbortBitBtn->click();
    });
    EXPECT_EQ(wizard.ShowModal(), mrCancel);
    EXPECT_EQ(choices.PrintWidth, 686);
    EXPECT_FALSE(choices.PrintPictureText);
    EXPECT_FALSE(choices.PrintHeadline);

    kvtest::Ui().ExpectModal("TPrintSizeWizard", mrNone, [&](TForm&) { ui.SaveBitBtn->click(); });
    EXPECT_EQ(kvtest::ShowModal(wizard), mrOk);
    EXPECT_TRUE(choices.PrintPictureText);
    EXPECT_TRUE(choices.PrintHeadline);
}
