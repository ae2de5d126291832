// The advertisement window: its product pages (button and picture alike), the marker that
// keeps it away, its full-screen geometry and its pictures.
#include "MainWindowTestSupport.h"

#include "shell/fWerbung.h"
#include "ui_fWerbung.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <set>

namespace {

using kvtest::ProgramFixture;
using kvtest::Start;

} // namespace

TEST(Werbung, ButtonAndPictureOfAProductOpenTheSamePage)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    const TWerbungForm& form = *WerbungForm;
    const char* const buttons[] = {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5"};
    const char* const pictures[] = {"Image1", "Image4", "Image5", "Image3", "Image2"};
    std::set<QString> pages;
    for (size_t i = 0; i < form.Products().size(); ++i) {
        const TWerbungForm::TProduct& product = form.Products()[i];
        SCOPED_TRACE(buttons[i]);
        EXPECT_EQ(product.Button->objectName(), buttons[i]);
        EXPECT_EQ(product.Picture->objectName(), pictures[i]);
        EXPECT_EQ(product.Button->text(), "Mehr Infos...");
        EXPECT_FALSE(product.Picture->pixmap().isNull());

        kvtest::Ui().ExpectShellOpen();
        product.Button->click();
        kvtest::Ui().ExpectShellOpen();
        QTest::mouseClick(product.Picture, Qt::LeftButton);
        const auto opened = kvtest::Ui().AskedOf(TAskKind::ShellOpen);
        ASSERT_EQ(opened.size(), 2 * (i + 1));
        const QString page = opened[2 * i].Text;
        EXPECT_EQ(opened[2 * i + 1].Text, page);
        const QUrl url(page);
        EXPECT_TRUE(url.host().endsWith("example.org")) << page.toStdString();
        EXPECT_TRUE(url.path().startsWith("/products/m_ge_")) << page.toStdString();
        EXPECT_TRUE(url.path().endsWith(".html")) << page.toStdString();
        pages.insert(page);
    }
    EXPECT_EQ(pages.size(), 5u);
    EXPECT_TRUE(pages.count(TWerbungForm::ProductPage("korvanta")));
    EXPECT_EQ(form.windowTitle(), "Top-Produkte von Tessmark");
    EXPECT_FALSE(form.ui()->Image9->pixmap().isNull());
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(form.geometry(), QGuiApplication::primaryScreen()->availableGeometry());
    EndProgram();
}

TEST(Werbung, AFailedOpenShowsTheMailClientText)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    kvtest::Ui().ExpectShellOpen(false);
    kvtest::Ui().ExpectMessage(mrOk, "Unable to start mail client. Make sure you have it properly set-up on your system.");
    WerbungForm->ui()->BitBtn3->click();
    EndProgram();
}

TEST(Werbung, TheTickedBoxKeepsTheWindowAwayFromLaterCloses)
{
    ProgramFixture program;
    ASSERT_TRUE(program.Ready());
    const QString marker = program.Folder + "NoWer.ini";

    // Closed unticked: nothing written, and the window comes again next time.
    ASSERT_TRUE(Start());
    kvtest::Ui().ExpectModal("TWerbungForm", mrOk);
    kvtest::CloseAndEnd();
    EXPECT_FALSE(QFileInfo::exists(marker));

    ASSERT_TRUE(Start());
    kvtest::Ui().ExpectModal("TWerbungForm", mrOk, [](TForm& form) {
        static_cast<TWerbungForm&>(form).ui()->CheckBox1->setChecked(true);
    });
    kvtest::CloseAndEnd();
    EXPECT_TRUE(QFileInfo(marker).isFile());
    EXPECT_EQ(QFileInfo(marker).size(), 0);

    ASSERT_TRUE(Start());
    kvtest::CloseAndEnd();  // no window: an unscripted one would fail the test
    EXPECT_EQ(kvtest::Ui().AskedOf(TAskKind::ModalWindow).size(), 2u);
}
