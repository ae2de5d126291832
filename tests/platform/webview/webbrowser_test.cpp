// The browser pane: navigation goes through the interaction service; without Qt WebEngine
// the production handler opens the page in the system browser.
#include "support/ScriptedUi.h"

#include "platform/webview/WebBrowser.h"

#include <QLabel>
#include <gtest/gtest.h>

TEST(WebBrowser, NavigateAsksTheServiceWithTheAddressAndThePane)
{
    TWebBrowser pane;
    pane.setObjectName("WebBrowser1");
    kvtest::Ui().Expect(TAskKind::WebView, [&](TAskRequest& r) {
        EXPECT_EQ(r.Text, "https://example.com/a?b=c");
        EXPECT_EQ(r.Data.value("Browser").toString(), "WebBrowser1");
        EXPECT_EQ(r.Data.value("Pane").value<QObject*>(), &pane);
        return TAskAnswer{1};
    });
    pane.Navigate("https://example.com/a?b=c");
}

TEST(WebBrowser, WithoutWebEngineThePageOpensInTheSystemBrowser)
{
    if (TWebBrowser::Embedded())
        GTEST_SKIP() << "built with Qt WebEngine: the pane shows pages itself";
    TWebBrowser pane;
    kvtest::Ui().ExpectShellOpen(false);
    pane.ShowPage("https://example.com/");
    QLabel* link = pane.findChild<QLabel*>();
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->text().startsWith("Unable to start internet browser!"));
    EXPECT_TRUE(link->text().contains("href=\"https://example.com/\""));

    kvtest::Ui().ExpectShellOpen(true);
    pane.ShowPage("https://example.com/b");
    EXPECT_FALSE(link->text().contains("Unable"));
}
