// The make wizard's gallery choice from the running program: the gallery window over the open
// slideshow, then the hint that the gallery is made.
#include "MainWindowTestSupport.h"

#include "output/fHTML.h"
#include "shell/fShortHelp.h"
#include "shell/fWizardMake.h"
#include "ui_fHTML.h"
#include "ui_fShortHelp.h"
#include "ui_fWizardMake.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

TEST(MakeGallery, TheWizardsChoiceMakesTheGalleryOfTheOpenSlideshow)
{
    kvtest::ProgramFixture program;
    ASSERT_TRUE(program.Ready());
    kvtest::WriteFile(program.Folder + "NoWer.ini", "");
    ASSERT_TRUE(kvtest::Start());
    MainForm->OpenDiashowFolder("Archive_0001");
    ASSERT_EQ(MainForm->DiashowListBox->Count(), 5);
    MainForm->ui()->TitleEdit->setText("Panorama & more");

    MakeWizzard->ui()->HTMLRadioButton->setChecked(true);
    kvtest::Ui().ExpectModal("THTMLForm", mrOk, [](TForm& f) { static_cast<THTMLForm&>(f).ui()->BitBtn1->click(); });
    kvtest::Ui().ExpectShellOpen(true);
    QString hint;
    kvtest::Ui().ExpectModal("TAnweisungForm", mrOk, [&](TForm&) { hint = AnweisungForm->ui()->MakeLabel->text(); });
    MainForm->RunMakeWizardChoice();
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    EXPECT_EQ(hint, GetLangText(4604));

    const QString gallery = program.Folder + "gallery/";
    const QStringList pages = QDir(gallery).entryList({"*.html"}, QDir::Files);
    EXPECT_EQ(pages.size(), 6) << pages.join(", ").toStdString();  // the overview and five pictures
    EXPECT_EQ(QDir(gallery).entryList({"*_thumb.jpg"}, QDir::Files).size(), 5);
    EXPECT_TRUE(kvtest::ReadFile(gallery + "gallery.html").contains("Panorama &amp; more"));
    // The shipped settings give dark text on white, so a first gallery can be read.
    const QByteArray css = kvtest::ReadFile(gallery + "layout.css");
    EXPECT_TRUE(css.contains("background-color :#FFFFFF;")) << css.toStdString();
    EXPECT_TRUE(css.contains("\tcolor:#040000;"));
    kvtest::CloseAndEnd();
}
