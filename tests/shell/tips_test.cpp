// The tip of the day and the crop hint: the tip series, the language's tip folder, the
// "don't show again" markers, and the tips shipped beside the program.
#include "WindowTestSupport.h"
#include "shell/Windows.h"
#include "support/ScriptedUi.h"

#include "shell/core/Settings.h"
#include "shell/fTip.h"
#include "shell/fZuschneidenTip.h"
#include "shell/fZuschneidenTip2.h"
#include "ui_fTip.h"
#include "ui_fZuschneidenTip.h"
#include "ui_fZuschneidenTip2.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using kvtest::TestProgramFolder;
using kvtest::WriteTextFile;

void WriteTips(const QString& folder, int count)
{
    for (int n = 1; n <= count; ++n)
        WriteTextFile(folder + QString("tips/%1.tpp").arg(n, 4, 10, QChar('0')),
                      QString("Tipp %1\r\nzweite Zeile").arg(n).toUtf8());
}

QString TipText(int n) { return QString("Tipp %1\nzweite Zeile").arg(n); }

} // namespace

TEST(TipForm, EachShowingStartsAtTheFirstTipAndNextStopsAfterTheLast)
{
    TestProgramFolder program;
    WriteTips(program.Folder, 3);
    QWidget host;
    TTipForm form(&host);
    Ui::TTipForm& ui = *form.ui();

    for (int showing = 0; showing < 2; ++showing) {
        SCOPED_TRACE(showing);
        kvtest::Ui().ExpectModal("TTipForm", mrOk, [&](TForm&) {
            EXPECT_EQ(form.TipNumber, 1);
            EXPECT_EQ(ui.Memo1->toPlainText(), TipText(1));
            ui.NextTipBitBtn->click();
            ui.NextTipBitBtn->click();
            EXPECT_EQ(ui.Memo1->toPlainText(), TipText(3));
            EXPECT_TRUE(ui.NextTipBitBtn->isEnabled());
            ui.NextTipBitBtn->click();  // there is no tip 4
            EXPECT_FALSE(ui.NextTipBitBtn->isEnabled());
            EXPECT_EQ(ui.Memo1->toPlainText(), TipText(3));
        });
        kvtest::ShowModal(form);
    }
}

TEST(TipForm, WithoutTipFilesTheMemoStaysEmptyAndNextIsDisabledAtOnce)
{
    TestProgramFolder program;
    QWidget host;
    TTipForm form(&host);
    kvtest::Ui().ExpectModal("TTipForm", mrOk, [&](TForm&) {
        EXPECT_TRUE(form.ui()->Memo1->toPlainText().isEmpty());
        EXPECT_FALSE(form.ui()->NextTipBitBtn->isEnabled());
    });
    kvtest::ShowModal(form);
}

TEST(TipForm, TheTipsFollowTheLanguage)
{
    struct Case {
        const char* Language;
        const char* Folder;
    };
    const Case cases[] = {
        {"GERMAN", "tips/"},
        {"ENGLISH", "tips/ENGLISH/"},
        {"SWEDISH", "tips/SWEDISH/"},
        {"english", "tips/ENGLISH/"},  // the value is upper-cased when it is read
        {"FRENCH", "tips/"},           // an unknown language is German
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Language);
        TestProgramFolder program(c.Language);
        EXPECT_EQ(TTipForm::TipFileName(7), program.Folder + c.Folder + "0007.tpp");
        EXPECT_EQ(TTipForm::TipFileName(12345), program.Folder + c.Folder + "12345.tpp");
    }
}

// Both windows with a "don't show again" box: closing ticked writes the marker, closing
// unticked writes and deletes nothing, and every showing starts unticked.
struct MarkerCase {
    const char* ClassName;
    const char* Marker;
    std::function<std::unique_ptr<TForm>(QWidget*)> Make;
    std::function<QCheckBox*(TForm&)> Box;
    std::function<QPushButton*(TForm&)> Close;
};

void PrintTo(const MarkerCase& c, std::ostream* os) { *os << c.ClassName; }

class MarkerWindows : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerWindows, TheTickWritesTheMarkerOnlyForTheShowingItWasGivenIn)
{
    const MarkerCase& c = GetParam();
    TestProgramFolder program;
    const QString marker = program.Folder + c.Marker;
    QWidget host;
    std::unique_ptr<TForm> form = c.Make(&host);
    const auto showAndClose = [&](bool tick) {
        kvtest::Ui().ExpectModal(c.ClassName, mrNone, [&](TForm& f) {
            EXPECT_FALSE(c.Box(f)->isChecked()) << "the box starts unticked";
            c.Box(f)->setChecked(tick);
            c.Close(f)->click();
        });
        EXPECT_EQ(kvtest::ShowModal(*form), mrOk);
    };

    showAndClose(false);
    EXPECT_FALSE(MarkerFileExists(marker));

    showAndClose(true);
    EXPECT_TRUE(MarkerFileExists(marker));
    EXPECT_EQ(QFileInfo(marker).size(), 0);

    showAndClose(false);  // closing unticked deletes nothing
    EXPECT_TRUE(MarkerFileExists(marker));

    // The user turns the hints back on; the window, made once, was last closed ticked.
    ASSERT_TRUE(DeleteMarkerFile(marker));
    kvtest::Ui().ExpectModal(c.ClassName, mrNone, [&](TForm& f) { c.Close(f)->click(); });
    kvtest::ShowModal(*form);
    EXPECT_FALSE(MarkerFileExists(marker));
}

INSTANTIATE_TEST_SUITE_P(
    Hints, MarkerWindows,
    ::testing::Values(
        MarkerCase{"TTipForm", "NoTip.ini",
                   [](QWidget* p) { return std::make_unique<TTipForm>(p); },
                   [](TForm& f) { return static_cast<TTipForm&>(f).ui()->CheckBox1; },
                   [](TForm& f) { return static_cast<TTipForm&>(f).ui()->CloseBitBtn; }},
        MarkerCase{"TZuschneidenTipForm", "NoZuschneidenTip.ini",
                   [](QWidget* p) { return std::make_unique<TZuschneidenTipForm>(p); },
                   [](TForm& f) { return static_cast<TZuschneidenTipForm&>(f).ui()->CheckBox1; },
                   [](TForm& f) { return static_cast<TZuschneidenTipForm&>(f).ui()->CloseBitBtn; }},
        MarkerCase{"TZuschneidenTipForm2", "NoZuschneidenTip2.ini",
                   [](QWidget* p) { return std::make_unique<TZuschneidenTipForm2>(p); },
                   [](TForm& f) { return static_cast<TZuschneidenTipForm2&>(f).ui()->CheckBox1; },
                   [](TForm& f) { return static_cast<TZuschneidenTipForm2&>(f).ui()->CloseBitBtn; }}),
    [](const auto& info) { return std::string(info.param.ClassName); });

TEST(TipForm, AMarkerThatCannotBeWrittenIsReportedAndTheWindowCloses)
{
    TestProgramFolder program;
    // A folder in the marker's place: even root cannot write the file.
    QDir().mkpath(program.Folder + "NoTip.ini");
    QWidget host;
    TTipForm form(&host);
    kvtest::Ui().ExpectModal("TTipForm", mrNone, [&](TForm&) {
        form.ui()->CheckBox1->setChecked(true);
        form.ui()->CloseBitBtn->click();
    });
    kvtest::Ui().ExpectMessage(mrOk, "NoTip.ini");
    EXPECT_EQ(kvtest::ShowModal(form), mrOk);
}

TEST(ShippedTips, EveryLanguageHasTheSameSeriesOfReadableTips)
{
    int german = 0;
    for (const char* language : {"", "ENGLISH/", "SWEDISH/"}) {
        SCOPED_TRACE(language);
        const QString folder = kvtest::SourceDir() + "data/tips/" + language;
        int count = 0;
        while (QFileInfo::exists(folder + QString("%1.tpp").arg(count + 1, 4, 10, QChar('0'))))
            ++count;
        EXPECT_GE(count, 10);
        if (!*language)
            german = count;
        EXPECT_EQ(count, german) << "every language has the same tips";
        // The series has no gap: no tip file lies beyond the first missing number.
        QDirIterator it(folder, {"*.tpp"}, QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            EXPECT_LE(QFileInfo(path).baseName().toInt(), count) << path.toStdString();
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString text = utf8(bytes);
            EXPECT_FALSE(utf8.hasError()) << path.toStdString();
            EXPECT_GT(text.trimmed().size(), 40) << path.toStdString();
        }
    }
}
