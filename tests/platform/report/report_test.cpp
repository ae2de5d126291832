// The band report: layout pixels of 96 per inch on the page, the flow of records over pages,
// a record taller than a page, paper sizes, and printing through the interaction service.
#include "support/PdfTools.h"
#include "support/ScriptedUi.h"
#include "support/TestEnv.h"

#include "platform/report/Report.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

QImage Picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    return image;
}

// A report whose records are the given heights, each with a picture as wide as the band is
// high minus 30 and a caption; title "Reisebericht" and a page number in the footer.
struct Fixture {
    explicit Fixture(std::vector<int> heights) : Heights(std::move(heights))
    {
        Report.ReportTitle = QStringLiteral("Korvanta Test");
        Report.TitleBand.Height = 40;
        Title = Report.TitleBand.AddLabel(8, 8);
        Title->Bold = true;
        Title->FontHeight = 16;
        Report.DetailBand.Height = 306;
        Caption = Report.DetailBand.AddLabel(8, 0);
        Image = Report.DetailBand.AddImage(8, 18);
        Report.PageFooterBand.Height = 24;
        Report.PageFooterBand.AddLabel(8, 4)->PageNumber = true;
        Report.BeforePrint = [this] {
            Next = 0;
            Title->Caption = QStringLiteral("Reisebericht");
        };
        Report.NeedData = [this](bool& more) {
            more = Next < int(Heights.size());
            if (!more)
                return;
            const int h = Heights[size_t(Next)];
            Report.DetailBand.Height = h;
            Caption->Caption = QStringLiteral("Bild%1").arg(Next + 1);
            Image->Picture = Picture(std::max(1, h - 30) * 3 / 2, std::max(1, h - 30));
            ++Next;
        };
    }

    std::vector<int> Heights;
    TQuickRep Report;
    TQRLabel* Title = nullptr;
    TQRLabel* Caption = nullptr;
    TQRImage* Image = nullptr;
    int Next = 0;
};

} // namespace

TEST(Report, PicturesPrintAt96PixelsPerInchWithTitleAndPageNumbers)
{
    Fixture f({360});
    f.Image->Picture = Picture(495, 330);
    f.Report.NeedData = [&](bool& more) { more = f.Next++ == 0; };
    const QString pdf = kvtest::MakeTempFolder("pdf") + "one.pdf";
    ASSERT_TRUE(f.Report.PrintToPdf(pdf));

    const auto images = kvtest::PdfImages(pdf);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].Width, 495);
    EXPECT_EQ(images[0].Height, 330);
    // 495 pixels at 96 per inch: 13.1 cm on the paper.
    const double cm = 495.0 / images[0].XPpi * 2.54;
    EXPECT_NEAR(cm, 13.1, 0.1);
    const QString text = kvtest::PdfText(pdf);
    EXPECT_TRUE(text.contains("Reisebericht")) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("(^|\\s)1\\s*\\f?\\s*$"))) << text.toStdString();
    const kvtest::PdfInfo info = kvtest::PdfPageInfo(pdf);
    EXPECT_EQ(info.Pages, 1);
    EXPECT_NEAR(info.WidthPt, 595.3, 1.0);   // A4
    EXPECT_NEAR(info.HeightPt, 841.9, 1.0);
}

TEST(Report, RecordsFlowOverPagesAndATallRecordPrintsAloneClipped)
{
    struct Case {
        std::vector<int> heights;
        int pages;
        std::vector<int> pageOfImage;
    };
    // A4 holds 1026 layout pixels: 40 title, 24 footer, so 962 on page one and 1002 after.
    const Case cases[] = {
        {{300, 300, 300, 300, 300, 300}, 2, {1, 1, 1, 2, 2, 2}},
        {{100, 3000, 100}, 3, {1, 2, 3}},  // taller than a page: alone, no endless paging
        {{3000}, 1, {1}},
        {{}, 1, {}},
    };
    for (const Case& c : cases) {
        Fixture f(c.heights);
        const QString pdf = kvtest::MakeTempFolder("flow") + "flow.pdf";
        ASSERT_TRUE(f.Report.PrintToPdf(pdf));
        EXPECT_EQ(f.Report.PageCount(), c.pages);
        EXPECT_EQ(kvtest::PdfPageInfo(pdf).Pages, c.pages);
        std::vector<int> pageOfImage;
        for (const kvtest::PdfImage& image : kvtest::PdfImages(pdf))
            pageOfImage.push_back(image.Page);
        EXPECT_EQ(pageOfImage, c.pageOfImage) << c.heights.size() << " records";
    }
}

TEST(Report, A5PaperAndItsPrintableWidth)
{
    Fixture f({100});
    f.Report.Page.PaperWidth = 1480;
    f.Report.Page.PaperHeight = 2100;
    EXPECT_EQ(f.Report.PrintableWidth(), 463);   // 148 - 2 x 12.7 mm
    EXPECT_EQ(f.Report.PrintableHeight(), 697);
    const QString pdf = kvtest::MakeTempFolder("a5") + "a5.pdf";
    ASSERT_TRUE(f.Report.PrintToPdf(pdf));
    const kvtest::PdfInfo info = kvtest::PdfPageInfo(pdf);
    EXPECT_NEAR(info.WidthPt, 419.5, 1.0);
    EXPECT_NEAR(info.HeightPt, 595.3, 1.0);
}

TEST(Report, PrintAndPreviewGoThroughTheInteractionServiceWithTheTitle)
{
    Fixture f({200, 200});
    const QString pdf = kvtest::MakeTempFolder("print") + "printer.pdf";
    QString title;
    kvtest::Ui().Expect(TAskKind::Printer, [&](TAskRequest& r) {
        EXPECT_EQ(r.Data.value("Action").toString(), QString("Print"));
        title = r.Caption;
        auto* report = qobject_cast<TQuickRep*>(r.Data.value("Report").value<QObject*>());
        EXPECT_EQ(report, &f.Report);
        return TAskAnswer{1};
    });
    EXPECT_TRUE(f.Report.Print());
    EXPECT_EQ(title, QString("Korvanta Test"));
    EXPECT_EQ(f.Report.PageCount(), 1);

    kvtest::Ui().Expect(TAskKind::Printer, [&](TAskRequest& r) {
        EXPECT_EQ(r.Data.value("Action").toString(), QString("Preview"));
        return TAskAnswer{1};
    });
    f.Report.Preview();

    kvtest::Ui().Expect(TAskKind::Printer, [](TAskRequest&) { return TAskAnswer{0}; });
    EXPECT_TRUE(TQuickRep::DefaultPrinter().isEmpty());
}
