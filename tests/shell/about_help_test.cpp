// The about box, the help menu and every shell open of the small dialogs with its fixed
// failure text.
#include "WindowTestSupport.h"
#include "shell/Windows.h"
#include "support/ScriptedUi.h"

#include "shell/fAbout.h"
#include "shell/fMain_help.h"
#include "shell/fNoDriver.h"
#include "shell/fShortHelp.h"
#include "ui_fAbout.h"
#include "ui_fNoDriver.h"
#include "ui_fShortHelp.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>

namespace {

using kvtest::TestProgramFolder;

const QString kBrowserText =
    "Unable to start internet browser! Make sure you have it properly set-up on your system!";
const QString kMailText = "Unable to start mail client. Make sure you have it properly set-up on your system.";

QString FileUrl(const QString& path) { return QUrl::fromLocalFile(path).toString(); }

// The help pages the handlers open, copied into the test's program folder.
void CopyHelpPages(const QString& folder)
{
    QDir().mkpath(folder + "help");
    for (const char* page : {"index.html", "vcd.html", "ripper.html"})
        ASSERT_TRUE(QFile::copy(kvtest::SourceDir() + "data/help/" + page, folder + "help/" + page));
}

} // namespace

TEST(AboutBox, ShowsTheProductInformation)
{
    TestProgramFolder program("ENGLISH");
    QWidget host;
    TAboutBox box(&host);
    const Ui::TAboutBox& ui = *box.ui();
    EXPECT_EQ(box.windowTitle(), ProductInfo.ProductName);
    EXPECT_EQ(ui.ProductName->text(), ProductInfo.ProductName);
    EXPECT_EQ(ui.Version->text(), ProductInfo.VersionText);
    EXPECT_EQ(ui.Copyright->text(), ProductInfo.CompanyName);
    EXPECT_EQ(ui.URLLabel->text(), ProductInfo.WebText);
    EXPECT_EQ(ui.MailLabel->text(), ProductInfo.MailAddress);
    EXPECT_FALSE(ui.Image1->pixmap().isNull());
    EXPECT_EQ(ui.URLLabel->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(ui.MailLabel->cursor().shape(), Qt::PointingHandCursor);

    kvtest::Ui().ExpectShellOpen();
    QTest::mouseClick(ui.URLLabel, Qt::LeftButton);
    kvtest::Ui().ExpectShellOpen();
    QTest::mouseClick(ui.MailLabel, Qt::LeftButton);
    kvtest::Ui().ExpectShellOpen();
    ui.UpdateButton->click();
    const auto opened = kvtest::Ui().AskedOf(TAskKind::ShellOpen);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0].Text, ProductInfo.WebURL);
    EXPECT_EQ(opened[1].Text, "mailto:" + ProductInfo.MailAddress);
    EXPECT_EQ(opened[2].Text, ProductInfo.WebURL);

    kvtest::Ui().ExpectModal("TAboutBox", mrNone, [&](TForm&) { ui.OKButton->click(); });
    EXPECT_EQ(box.ShowModal(), mrOk);
}

TEST(AboutBox, ContactOnlyShowsAContactLinkAndNoMailLine)
{
    TestProgramFolder program;
    ProductInfo.ContactOnly = 1;
    QWidget host;
    TAboutBox box(&host);
    EXPECT_EQ(box.ui()->URLLabel->text(), "Kontakt");
    EXPECT_EQ(box.ui()->MailLabel->text(), "");
    kvtest::Ui().ExpectShellOpen();
    QTest::mouseClick(box.ui()->URLLabel, Qt::LeftButton);
    EXPECT_EQ(kvtest::Ui().AskedOf(TAskKind::ShellOpen).at(0).Text, ProductInfo.WebURL);
}

TEST(AboutBox, AMissingPictureIsReportedWhenTheBoxIsMadeAndTheTextsStillShow)
{
    TestProgramFolder program;
    ASSERT_TRUE(QFile::remove(program.Folder + "recom/about.png"));
    kvtest::Ui().ExpectMessage(mrOk, program.Folder + "recom/about.png");
    QWidget host;
    TAboutBox box(&host);
    EXPECT_EQ(box.ui()->Version->text(), ProductInfo.VersionText);
    EXPECT_TRUE(box.ui()->Image1->pixmap().isNull());
}

TEST(HelpMenu, InfoShowsTheAboutBox)
{
    TestProgramFolder program;
    QWidget host;
    TAboutBox box(&host);
    AboutBox = &box;
    kvtest::Ui().ExpectModal("TAboutBox", mrOk);
    Info1Click();
    AboutBox = nullptr;
}

TEST(HelpMenu, TheHelpFileAndTheWebPageOpenThroughTheShell)
{
    TestProgramFolder program;
    CopyHelpPages(program.Folder);
    kvtest::Ui().ExpectShellOpen();
    Hilfedatei1Click();
    kvtest::Ui().ExpectShellOpen();
    Update1Click();
    const auto opened = kvtest::Ui().AskedOf(TAskKind::ShellOpen);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].Text, FileUrl(program.Folder + "help/" + ProductInfo.HelpFile));
    EXPECT_EQ(opened[1].Text, ProductInfo.WebURL);
}

// Every shell open of the help menu and the small dialogs: the target, and the exact fixed
// text when the launch fails.
struct OpenCase {
    const char* Name;
    std::function<void(QWidget& host)> Run;
    std::function<QString(const QString& programFolder)> Target;
    QString FailureText;
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.Name; }

class FailingShellOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(FailingShellOpen, ShowsTheFixedTextAndNothingElse)
{
    const OpenCase& c = GetParam();
    TestProgramFolder program;
    CopyHelpPages(program.Folder);
    QWidget host;
    kvtest::Ui().ExpectShellOpen(false);
    kvtest::Ui().ExpectMessage(mrOk, c.FailureText);
    c.Run(host);
    const auto& asked = kvtest::Ui().Asked();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Text, c.Target(program.Folder));
    EXPECT_EQ(asked[1].Text, c.FailureText);
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, FailingShellOpen,
    ::testing::Values(
        OpenCase{"HelpFile", [](QWidget&) { Hilfedatei1Click(); },
                 [](const QString& f) { return FileUrl(f + "help/index.html"); }, kBrowserText},
        OpenCase{"Update", [](QWidget&) { Update1Click(); },
                 [](const QString&) { return ProductInfo.WebURL; }, kMailText},
        OpenCase{"AboutLink",
                 [](QWidget& host) {
                     TAboutBox box(&host);
                     QTest::mouseClick(box.ui()->URLLabel, Qt::LeftButton);
                 },
                 [](const QString&) { return ProductInfo.WebURL; }, kMailText},
        OpenCase{"AboutMail",
                 [](QWidget& host) {
                     TAboutBox box(&host);
                     QTest::mouseClick(box.ui()->MailLabel, Qt::LeftButton);
                 },
                 [](const QString&) { return "mailto:" + ProductInfo.MailAddress; }, kMailText},
        OpenCase{"AboutUpdate",
                 [](QWidget& host) {
                     TAboutBox box(&host);
                     box.ui()->UpdateButton->click();
                 },
                 [](const QString&) { return ProductInfo.WebURL; }, kMailText},
        OpenCase{"RipperHelp",
                 [](QWidget& host) {
                     TNoDriverForm form(&host);
                     form.ui()->DownloadButton->click();
                 },
                 [](const QString& f) { return FileUrl(f + "help/ripper.html"); }, kBrowserText},
        OpenCase{"BurningHelp",
                 [](QWidget& host) {
                     TAnweisungForm form(&host);
                     form.ui()->NeroBitBtn->click();
                 },
                 [](const QString& f) { return FileUrl(f + "help/vcd.html"); }, kBrowserText}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(HelpMenu, AMissingHelpFileFailsWithoutLaunchingAnything)
{
    TestProgramFolder program;
    kvtest::Ui().ExpectMessage(mrOk, kBrowserText);
    Hilfedatei1Click();
    EXPECT_TRUE(kvtest::Ui().AskedOf(TAskKind::ShellOpen).empty());
}
