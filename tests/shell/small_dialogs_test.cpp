// The new-slideshow title dialog, the CD ripper's driver hint, the instructions after making
// a show, the open choice, their texts in the three languages, and the help pages and
// pictures shipped for them.
#include "WindowTestSupport.h"
#include "shell/Windows.h"
#include "support/ScriptedUi.h"

#include "platform/vcl/Application.h"
#include "shell/fAbout.h"
#include "shell/fNew.h"
#include "shell/fNoDriver.h"
#include "shell/fOpen.h"
#include "shell/fShortHelp.h"
#include "shell/fTip.h"
#include "shell/fVerschiebenTip.h"
#include "ui_fNew.h"
#include "ui_fNoDriver.h"
#include "ui_fOpen.h"
#include "ui_fShortHelp.h"
#include "ui_fTip.h"
#include "ui_fVerschiebenTip.h"

#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>

namespace {

using kvtest::TestProgramFolder;

} // namespace

TEST(NewForm, EnterGivesOkAndEscapeCancelFromEveryControl)
{
    TestProgramFolder program;
    QWidget host;
    TNewForm form(&host);
    Ui::TNewForm& ui = *form.ui();
    struct Case {
        const char* Control;
        QWidget* Target;
        Qt::Key Key;
        int Result;
    };
    const Case cases[] = {
        {"Edit1", ui.Edit1, Qt::Key_Return, 1},   {"Edit1", ui.Edit1, Qt::Key_Escape, 3},
        {"Edit1", ui.Edit1, Qt::Key_Enter, 1},    {"form", &form, Qt::Key_Return, 1},
        {"form", &form, Qt::Key_Escape, 3},       {"BitBtn1", ui.BitBtn1, Qt::Key_Escape, 3},
        {"BitBtn2", ui.BitBtn2, Qt::Key_Return, 1}, {"BitBtn2", ui.BitBtn2, Qt::Key_Escape, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Control) + " key " + std::to_string(c.Key));
        ui.Edit1->setText("Urlaub 2024");  // the caller fills the title
        kvtest::Ui().ExpectModal("TNewForm", mrNone, [&](TForm&) {
            c.Target->setFocus();
            QTest::keyClick(c.Target, c.Key);
        });
        EXPECT_EQ(kvtest::ShowModal(form), c.Result);
        EXPECT_EQ(ui.Edit1->text(), "Urlaub 2024");  // the caller reads it back
    }

    // Typing still types; the buttons give their own results.
    kvtest::Ui().ExpectModal("TNewForm", mrNone, [&](TForm&) {
        ui.Edit1->clear();
        QTest::keyClicks(ui.Edit1, "Ostern");
        ui.BitBtn2->click();
    });
    EXPECT_EQ(kvtest::ShowModal(form), kNewFormCancel);
    EXPECT_EQ(ui.Edit1->text(), "Ostern");
    kvtest::Ui().ExpectModal("TNewForm", mrNone, [&](TForm&) { ui.BitBtn1->click(); });
    EXPECT_EQ(kvtest::ShowModal(form), kNewFormOk);
}

TEST(NoDriverForm, DownloadOpensTheRipperHelpPageAndCloses)
{
    TestProgramFolder program;
    QDir().mkpath(program.Folder + "help");
    ASSERT_TRUE(QFile::copy(kvtest::SourceDir() + "data/help/ripper.html", program.Folder + "help/ripper.html"));
    QWidget host;
    TNoDriverForm form(&host);
    EXPECT_EQ(form.ui()->Memo1->toPlainText(), GetLangText(3701));
    EXPECT_EQ(form.ui()->Memo1->document()->blockCount(), 1);
    EXPECT_EQ(form.ui()->Memo2->toPlainText(), GetLangText(3702));

    kvtest::Ui().ExpectModal("TNoDriverForm", mrNone, [&](TForm& f) {
        kvtest::Ui().ExpectShellOpen();
        form.ui()->DownloadButton->click();
        EXPECT_FALSE(f.isVisible());
    });
    kvtest::ShowModal(form);
    EXPECT_EQ(kvtest::Ui().AskedOf(TAskKind::ShellOpen).at(0).Text,
              QUrl::fromLocalFile(program.Folder + "help/ripper.html").toString());

    kvtest::Ui().ExpectModal("TNoDriverForm", mrNone, [&](TForm& f) {
        form.ui()->AboartButton->click();
        EXPECT_FALSE(f.isVisible());
    });
    kvtest::ShowModal(form);
    EXPECT_EQ(kvtest::Ui().AskedOf(TAskKind::ShellOpen).size(), 1u);
}

TEST(AnweisungForm, OkTurnsTheMainWindowToItsSecondPage)
{
    TestProgramFolder program;
    QWidget host;
    TAnweisungForm form(&host);
    int turned = 0;
    form.GoToPage1 = [&] { ++turned; };
    form.ui()->MakeLabel->setText("Ihre Diashow ist fertig.");  // as a caller does
    kvtest::Ui().ExpectModal("TAnweisungForm", mrNone, [&](TForm&) {
        EXPECT_EQ(form.ui()->MakeLabel->text(), "Ihre Diashow ist fertig.");
        form.ui()->OkBitBtn->click();
    });
    EXPECT_EQ(kvtest::ShowModal(form), mrOk);
    EXPECT_EQ(turned, 1);
}

TEST(OpenForm, TheModePicksTheTextsAndTheOpenButtonAnswersInModesZeroAndOne)
{
    TestProgramFolder program;
    QWidget host;
    TOpenForm form(&host);
    struct Case {
        int Mode;
        int Label;
        int Button;
    };
    for (const Case& c : {Case{0, 4203, 4204}, Case{1, 4205, 4206}}) {
        SCOPED_TRACE(c.Mode);
        form.Mode = c.Mode;
        kvtest::Ui().ExpectModal("TOpenForm", mrNone, [&](TForm&) {
            EXPECT_EQ(form.ui()->DoLabel->text(), GetLangText(c.Label));
            EXPECT_EQ(form.ui()->OpenBitBtn->text(), GetLangText(c.Button));
            EXPECT_EQ(Screen->Cursor(), crHourGlass);
            form.ui()->OpenBitBtn->click();
        });
        EXPECT_EQ(kvtest::ShowModal(form), 1);
        EXPECT_EQ(Screen->Cursor(), crDefault);
    }

    form.Mode = 2;  // another mode: open does nothing, cancel gives 3
    kvtest::Ui().ExpectModal("TOpenForm", mrNone, [&](TForm& f) {
        form.ui()->OpenBitBtn->click();
        EXPECT_EQ(f.ModalResult(), mrNone);
        form.ui()->BitBtn2->click();
    });
    EXPECT_EQ(kvtest::ShowModal(form), 3);
}

TEST(VerschiebenTipForm, WeiterCloses)
{
    QWidget host;
    TVerschiebenTipForm form(&host);
    EXPECT_EQ(form.windowTitle(), "Tipps");
    EXPECT_TRUE(form.ui()->Memo1->toPlainText().startsWith("Wählen Sie den gewünschten Bildausschnitt"));
    kvtest::Ui().ExpectModal("TVerschiebenTipForm", mrNone, [&](TForm&) { form.ui()->CloseBitBtn->click(); });
    EXPECT_EQ(kvtest::ShowModal(form), mrOk);
}

// The captions of the numbered texts, in each language of the shipped Language.ini.
struct CaptionCase {
    const char* Language;
    const char* Tip;
    const char* New;
    const char* NoDriver;
    const char* Anweisung;
    const char* Open;
};

void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.Language; }

class Captions : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(Captions, ComeFromTheLanguageFile)
{
    const CaptionCase& c = GetParam();
    TestProgramFolder program(c.Language);
    QWidget host;
    EXPECT_EQ(TTipForm(&host).windowTitle(), QString::fromUtf8(c.Tip));
    EXPECT_EQ(TNewForm(&host).windowTitle(), QString::fromUtf8(c.New));
    EXPECT_EQ(TNoDriverForm(&host).windowTitle(), QString::fromUtf8(c.NoDriver));
    EXPECT_EQ(TAnweisungForm(&host).windowTitle(), QString::fromUtf8(c.Anweisung));
    EXPECT_EQ(TOpenForm(&host).windowTitle(), QString::fromUtf8(c.Open));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, Captions,
    ::testing::Values(
        CaptionCase{"GERMAN", "Tipp des Tages", "Neue Diashow", "CD-Ripper nicht gefunden", "So geht es weiter", "Öffnen"},
        CaptionCase{"ENGLISH", "Tip of the day", "New slideshow", "CD ripper not found", "What to do next", "Open"},
        CaptionCase{"SWEDISH", "Dagens tips", "Nytt bildspel", "Cd-rippern hittades inte", "Så går du vidare", "Öppna"}),
    [](const auto& info) { return std::string(info.param.Language); });

TEST(ShippedHelp, EveryPageTheProgramOpensExistsAndItsLinksLead)
{
    const QString help = kvtest::SourceDir() + "data/help/";
    QStringList pages = {"vcd.html", "ripper.html"};
    for (const char* language : {"GERMAN", "ENGLISH", "SWEDISH"})
        pages.append(MakeProductInfo(language).HelpFile);
    pages.removeDuplicates();
    static const QRegularExpression link(R"re((?:href|src)="([^"#:]*)(?:#([^"]*))?")re");
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        QFile f(help + page);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(html.startsWith("<!DOCTYPE html>"));
        EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">"));
        for (const char* id : {"id=\"de\"", "id=\"en\"", "id=\"sv\""})
            EXPECT_TRUE(html.contains(id)) << id;
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            const QString target = m.captured(1).isEmpty() ? page : m.captured(1);
            QFile t(help + target);
            ASSERT_TRUE(t.open(QIODevice::ReadOnly)) << "link to " << target.toStdString();
            if (!m.captured(2).isEmpty()) {
                EXPECT_TRUE(QString::fromUtf8(t.readAll()).contains("id=\"" + m.captured(2) + "\""))
                    << "anchor " << m.captured(0).toStdString();
            }
        }
    }
    QFile ripper(help + "ripper.html");
    ASSERT_TRUE(ripper.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ripper.readAll().contains("apt install cdparanoia"));
}

TEST(ShippedPictures, EveryPictureOfTheProductInformationLoads)
{
    for (const char* language : {"GERMAN", "ENGLISH", "SWEDISH"}) {
        const TProductInfo info = MakeProductInfo(language);
        for (const QString& name : {info.AboutImage, info.SideImage, info.BannerImage}) {
            const QString path = kvtest::SourceDir() + "data/recom/" + name;
            SCOPED_TRACE(path.toStdString());
            QImageReader reader(path);
            const QImage image = reader.read();
            ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
            EXPECT_LE(QFileInfo(path).size(), 32 * 1024) << "kept small";
            if (name == info.BannerImage) {
                EXPECT_LE(image.height(), 41) << "fits the banner panel";
            }
        }
    }
}
