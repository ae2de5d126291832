// The online photo window: the two panes' addresses at each showing, none when the user comes
// back from another program, and the banner.
#include "shell/WindowTestSupport.h"
#include "shell/Windows.h"
#include "support/ScriptedUi.h"

#include "output/fOnlineFotoEntwicklung.h"
#include "platform/webview/WebBrowser.h"
#include "ui_fOnlineFotoEntwicklung.h"

#include <QLabel>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

using kvtest::TestProgramFolder;

struct Navigation {
    QString Browser;
    QString Address;
};

// The navigations of the browser panes so far, as the scripted service recorded them.
std::vector<Navigation> Navigations()
{
    std::vector<Navigation> out;
    for (const auto& r : kvtest::Ui().AskedOf(TAskKind::WebView))
        out.push_back({r.Data.value("Browser").toString(), r.Text});
    return out;
}

} // namespace

TEST(OnlineFotoForm, EachShowingOpensTheServicePageAndTheExportFolder)
{
    TestProgramFolder program;
    const QString exportFolder = kvtest::TestHome() + "/CDROM-Export/";
    QWidget host;
    TOnlineFotoForm form(&host);
    form.Paths = [&] { return TOutputPaths{kvtest::TestHome() + "/Korvanta/", exportFolder}; };
    EXPECT_EQ(form.windowTitle(), "Online Foto Entwicklung");
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(form.ui()->Image2->pixmap().isNull());

    kvtest::Ui().Allow(TAskKind::WebView, [](TAskRequest&) { return TAskAnswer{1}; });
    kvtest::Ui().ExpectModal("TOnlineFotoForm", mrCancel, [&](TForm& f) {
        const auto shown = Navigations();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].Browser, "WebBrowser1");
        EXPECT_EQ(QUrl(shown[0].Address).scheme(), "https");
        EXPECT_EQ(QUrl(shown[0].Address).path(), "/products/fotoentwicklung");
        EXPECT_EQ(shown[1].Browser, "WebBrowser2");
        EXPECT_EQ(shown[1].Address, "file://" + exportFolder);

        kvtest::SwitchAwayAndBack(f);
        EXPECT_EQ(Navigations().size(), 2u) << "the pages stay where the user left them";
    });
    kvtest::ShowModal(form);

    kvtest::Ui().ExpectModal("TOnlineFotoForm", mrCancel);
    kvtest::ShowModal(form);
    EXPECT_EQ(Navigations().size(), 4u);
}

TEST(OnlineFotoForm, AMissingBannerIsReportedWhenTheWindowIsMade)
{
    TestProgramFolder program;
    ASSERT_TRUE(QFile::remove(program.Folder + "recom/banner.png"));
    kvtest::Ui().ExpectMessage(mrOk, program.Folder + "recom/banner.png");
    QWidget host;
    TOnlineFotoForm form(&host);
    EXPECT_TRUE(form.ui()->Image2->pixmap().isNull());
}
