// The main window's form: every component the program refers to, under its name and of its
// kind; the tabs in page order; the captions by language; the menus of an open slideshow.
#include "MainWindowTestSupport.h"

#include "controls/HTMListBox.h"
#include "imaging/LEADImage.h"
#include "platform/vcl/IniFiles.h"
#include "shell/core/Language.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <set>

namespace {

using kvtest::ProgramFixture;
using kvtest::Start;

// Components that the window's code names, beside those of the caption table, with the
// class each must be (a widget of that class or derived from it).
const std::pair<const char*, const char*> kComponents[] = {
    {"PageControl1", "QTabWidget"},     {"OpenListBox", "TListBox"},     {"FileListBox", "THTMListBox"},
    {"ListBoxPanel", "QFrame"},         {"AudioListBox", "TListBox"},    {"ViewLEADImage", "TLEADImage"},
    {"LEADImage1", "TLEADImage"},       {"LEADImage3", "TLEADImage"},       {"Image2", "QLabel"},
    {"StatusBar1", "QStatusBar"},       {"PicProgressBar", "QProgressBar"}, {"SecEdit", "QLineEdit"},
    {"TitleEdit", "QLineEdit"},         {"TextEdit", "QLineEdit"},          {"SpinEdit1", "QSpinBox"},
    {"SpinEdit2", "QSpinBox"},          {"EffectPanel", "QFrame"},          {"BKGColorPanel", "QFrame"},
    {"TextColorPanel", "QFrame"},       {"DriveComboBox1", "QComboBox"},    {"PrintPreviewCheckBox", "QCheckBox"},
    {"Uebernehmen2BitBtn", "QPushButton"}, {"FotolaborBitBtn", "QPushButton"}, {"DruckenBitBtn", "QPushButton"},
    {"PopupMenu1", "QMenu"},            {"Import1", "QMenu"},               {"Datei1", "QMenu"},
    {"DiashowsvonVintrelimportieren1", "QAction"}, {"bersichtThumbnailsDrucken1", "QAction"},
    {"bersichtThumbnailsDrucken2", "QAction"},     {"AlleBilderausdemKorvantadrucken1", "QAction"},
    {"AusgewhlteBilderausdemKorvantadrucken1", "QAction"}, {"Timer1", "QTimer"}, {"Timer2", "QTimer"},
};

QStringList ActionNames(const QWidget& menu)
{
    QStringList names;
    for (const QAction* action : menu.actions())
        names.append(action->menu() ? action->menu()->objectName() : action->objectName());
    names.removeAll(QString());
    return names;
}

} // namespace

TEST(MainWindowForm, HoldsEveryComponentOfTheCaptionTableAndTheCode)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    std::set<std::pair<std::string, bool>> seen;
    for (const TMainCaption& caption : TMainForm::CaptionTable()) {
        SCOPED_TRACE(caption.Component);
        EXPECT_TRUE(seen.insert({caption.Component, caption.Hint}).second) << "listed twice";
        const QObject* component = MainForm->findChild<QObject*>(caption.Component);
        ASSERT_NE(component, nullptr);
        const QString text = caption.Text.Text();
        EXPECT_FALSE(text.isEmpty());
        if (caption.Hint) {
            EXPECT_EQ(component->property("toolTip").toString(), text);
            continue;
        }
        const QTabWidget& pages = *MainForm->ui()->PageControl1;
        if (const int tab = pages.indexOf(qobject_cast<QWidget*>(const_cast<QObject*>(component))); tab >= 0)
            EXPECT_EQ(pages.tabText(tab), text);
        else if (auto* menu = qobject_cast<const QMenu*>(component))
            EXPECT_EQ(menu->title(), text);
        else if (auto* group = qobject_cast<const QGroupBox*>(component))
            EXPECT_EQ(group->title(), text);
        else
            EXPECT_EQ(component->property("text").toString(), text);
    }
    for (const auto& [name, className] : kComponents) {
        SCOPED_TRACE(name);
        const QObject* component = MainForm->findChild<QObject*>(name);
        ASSERT_NE(component, nullptr);
        EXPECT_TRUE(component->inherits(className)) << component->metaObject()->className();
    }
    EndProgram();
}

TEST(MainWindowForm, TabsInPageOrderAndMenusInTheMenuBar)
{
    QDialog window;
    Ui::TMainForm ui;
    ui.setupUi(&window);
    QStringList tabs;
    for (int i = 0; i < ui.PageControl1->count(); ++i)
        tabs.append(ui.PageControl1->widget(i)->objectName());
    EXPECT_EQ(tabs, (QStringList{"TabSheet5", "TabSheet1", "TabSheet4", "TabSheet3", "TabSheet2"}));

    EXPECT_EQ(ActionNames(*ui.MainMenu1),
              (QStringList{"Datei1", "Diashow1", "Drucken1", "Import1", "EinstellungenDiashow1", "Hilfe1"}));
    EXPECT_EQ(ActionNames(*ui.Datei1), (QStringList{"NewDiashow1", "OpenDiashow1", "DeleteDiashow1", "Programmbeenden1"}));
    EXPECT_EQ(ActionNames(*ui.Diashow1), QStringList{"CDfrFotolaborerstellen1"});
    EXPECT_EQ(ActionNames(*ui.Drucken1),
              (QStringList{"AusgewhlteDrucken1", "AlleDrucken1", "bersichtThumbnailsDrucken1"}));
    EXPECT_EQ(ActionNames(*ui.Import1), QStringList{"DiashowsvonVintrelimportieren1"});
    EXPECT_EQ(ActionNames(*ui.EinstellungenDiashow1), QStringList{"Allgemein1"});
    EXPECT_EQ(ActionNames(*ui.Hilfe1), (QStringList{"Hilfedatei1", "Update1", "Info1"}));
    EXPECT_EQ(ActionNames(*ui.PopupMenu1), (QStringList{"AlleBilderausdemKorvantadrucken1",
                                                         "AusgewhlteBilderausdemKorvantadrucken1",
                                                         "bersichtThumbnailsDrucken2"}));
    // Another EffectMode value than the three checks none, so the form checks none either.
    for (const QRadioButton* b : {ui.ONRadioButton, ui.OFFRadioButton, ui.RNDRadioButton})
        EXPECT_FALSE(b->isChecked()) << b->objectName().toStdString();
    EXPECT_TRUE(ui.LEADImage3->isHidden());
}

namespace {

struct CaptionCase {
    const char* Language;
    const char* Hint589;
    const char* Caption591;
    const char* Tab584;
};

class MainWindowCaptions : public ::testing::TestWithParam<CaptionCase> {};

} // namespace

TEST_P(MainWindowCaptions, ComeFromTheLanguageFile)
{
    const CaptionCase& c = GetParam();
    ProgramFixture program(c.Language);
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    const Ui::TMainForm& ui = *MainForm->ui();
    const TIniFile texts(program.Folder + "Language.ini");
    EXPECT_EQ(ui.OpenBitBtn->toolTip(), QString::fromUtf8(c.Hint589));
    EXPECT_EQ(ui.OpenBitBtn->text(), QString::fromUtf8(c.Caption591));
    EXPECT_EQ(ui.PageControl1->tabText(ui.PageControl1->indexOf(ui.TabSheet5)), QString::fromUtf8(c.Tab584));
    EXPECT_EQ(ui.AusgewhlteDrucken1->text(), texts.ReadString(c.Language, "6207", "?"));
    EXPECT_EQ(ui.AlleDrucken1->text(), texts.ReadString(c.Language, "6209", "?"));
    EXPECT_EQ(ui.Datei1->title(), QString::fromUtf8(c.Tab584));
    EndProgram();
}

INSTANTIATE_TEST_SUITE_P(
    Languages, MainWindowCaptions,
    ::testing::Values(CaptionCase{"GERMAN", "Ein Bild auswählen: sein Ordner liefert die Bilder", "Auswahl Bilder",
                                  "Archiv"},
                      CaptionCase{"ENGLISH", "Choose a picture: its folder supplies the pictures", "Choose pictures",
                                  "Archive"}),
    [](const auto& info) { return std::string(info.param.Language); });

TEST(MainWindowMenus, TheSlideshowMenusWaitForAnOpenSlideshowAndHelpWorks)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    const Ui::TMainForm& ui = *MainForm->ui();
    for (const QMenu* menu : {ui.Diashow1, ui.Drucken1, ui.Import1, ui.EinstellungenDiashow1})
        EXPECT_FALSE(menu->menuAction()->isEnabled()) << menu->objectName().toStdString();
    EXPECT_FALSE(ui.CDfrFotolaborerstellen1->isEnabled());
    EXPECT_TRUE(ui.Datei1->menuAction()->isEnabled());
    EXPECT_TRUE(ui.Hilfe1->menuAction()->isEnabled());
    MainForm->SetDiashowMenusEnabled(true);
    for (const QMenu* menu : {ui.Diashow1, ui.Drucken1, ui.Import1, ui.EinstellungenDiashow1})
        EXPECT_TRUE(menu->menuAction()->isEnabled()) << menu->objectName().toStdString();
    EXPECT_TRUE(ui.CDfrFotolaborerstellen1->isEnabled());

    kvtest::Ui().ExpectModal("TAboutBox", mrOk);
    ui.Info1->trigger();
    kvtest::Ui().ExpectShellOpen();
    ui.Update1->trigger();
    EXPECT_EQ(kvtest::Ui().AskedOf(TAskKind::ShellOpen).at(0).Text, ProductInfo.WebURL);
    EndProgram();
}

TEST(MainWindowList, TheSlideshowListIsMadeAgainAndTheOldOneGoesLater)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    QPointer<THTMListBox> first = MainForm->DiashowListBox;
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->MultiSelect());
    EXPECT_EQ(first->ItemHeight(), 70);
    EXPECT_EQ(first->DragMode(), dmAutomatic);
    EXPECT_EQ(first->Color(), clWhite);
    EXPECT_TRUE(first->IncrLookup());
    MainForm->FreeDiashowListBox();
    EXPECT_EQ(MainForm->DiashowListBox, nullptr);
    EXPECT_TRUE(first);  // still there until the event loop runs
    MainForm->CreateDiashowListBox();
    EXPECT_EQ(MainForm->findChild<THTMListBox*>("DiashowListBox"), MainForm->DiashowListBox);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    EXPECT_TRUE(MainForm->DiashowListBox);
    EndProgram();
}
