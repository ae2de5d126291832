// The program's start: the program folder check, the language of Generator.ini, the missing
// file messages, the main window's caption and tabs.
#include "platform/vcl/Forms.h"
#include "support/ProgramFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestEnv.h"

#include "platform/system/ProgramFolder.h"
#include "shell/Start.h"
#include "shell/Windows.h"
#include "shell/core/Language.h"
#include "shell/fMain.h"
#include "ui_fMain.h"

#include <QDir>
#include <QFile>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

struct StartCase {
    const char* Language;
    const char* ArchiveTab;
};

class StartLanguage : public ::testing::TestWithParam<StartCase> {};

} // namespace

TEST_P(StartLanguage, MainWindowSpeaksTheLanguageOfGeneratorIni)
{
    kvtest::ProgramFixture program(GetParam().Language);
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(StartProgram());
    ASSERT_NE(MainForm, nullptr);
    EXPECT_TRUE(MainForm->windowTitle().startsWith("Korvanta"));
    EXPECT_EQ(MainForm->ui()->PageControl1->tabText(0), QString::fromUtf8(GetParam().ArchiveTab));
    EXPECT_EQ(MainForm->ui()->PageControl1->currentIndex(), 0);
    EXPECT_EQ(MainForm->ProgramFolder, ProgramFolder());
    EndProgram();
    EXPECT_EQ(MainForm, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Languages, StartLanguage,
                         ::testing::Values(StartCase{"GERMAN", "Archiv"}, StartCase{"ENGLISH", "Archive"},
                                           StartCase{"SWEDISH", "Arkiv"}),
                         [](const auto& info) { return std::string(info.param.Language); });

TEST(Start, MissingFilesAreReportedAndTheStartGoesOn)
{
    kvtest::ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    const QString folder = program.Folder;
    ASSERT_TRUE(QFile::remove(folder + "Generator.ini"));
    ASSERT_TRUE(QFile::remove(folder + "Language.ini"));
    kvtest::Ui().ExpectMessage(mrOk, folder + "Generator.ini nicht gefunden!");
    kvtest::Ui().ExpectMessage(mrOk, folder + "Language.ini nicht gefunden!");
    ASSERT_TRUE(StartProgram());
    EXPECT_EQ(LanguageName, QString("GERMAN"));
    EXPECT_EQ(MainForm->ui()->PageControl1->tabText(0), QString());
    EndProgram();
}

TEST(Start, AProgramFolderThatCannotBeWrittenStopsTheStart)
{
    // A "folder" that is a regular file cannot hold the program's files, even for root.
    const QString base = kvtest::MakeTempFolder("notafolder");
    QFile f(base + "program");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString folder = base + "program/";

    const QString message = CheckProgramFolderWritable(folder);
    EXPECT_TRUE(message.contains(base + "program")) << message.toStdString();
    EXPECT_TRUE(CheckProgramFolderWritable(base).isEmpty());

    SetProgramFolder(folder);
    kvtest::Ui().ExpectMessage(mrOk, "cannot be written");
    EXPECT_FALSE(StartProgram());
    EXPECT_EQ(MainForm, nullptr);
    EndProgram();
}

TEST(StartTranslations, QtsOwnButtonsSpeakTheChosenLanguage)
{
    struct Case {
        const char* language;
        const char* yes;
        const char* no;
    };
    const Case cases[] = {{"GERMAN", "&Ja", "&Nein"}, {"ENGLISH", "&Yes", "&No"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        kvtest::ProgramFixture program(c.language);
        ASSERT_TRUE(program.Ready());
        ASSERT_TRUE(StartProgram());
        QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), c.yes);
        EXPECT_EQ(box.button(QMessageBox::No)->text(), c.no);
        EndProgram();
    }
    QMessageBox after(QMessageBox::Question, "", "", QMessageBox::Yes);
    EXPECT_EQ(after.button(QMessageBox::Yes)->text(), "&Yes");
}

TEST(StartWindows, DialogWindowsHaveNoMaximiseButton)
{
    kvtest::ProgramFixture program("GERMAN");
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(StartProgram());
    QStringList dialogs;
    for (TForm* form : MainForm->findChildren<TForm*>(Qt::FindDirectChildrenOnly)) {
        const QString name = form->metaObject()->className();
        const Qt::WindowFlags flags = form->windowFlags();
        const bool maximised = name == "TPrintSelectForm" || name == "TOnlineFotoForm" || name == "TWerbungForm" ||
                               name == "TBetrachterForm" || name == "TDVDForm" || name == "TBildbeaerbeitungForm";
        if ((flags & Qt::WindowType_Mask) == Qt::Dialog && !maximised) {
            dialogs << name;
            // Explicit hints: the window manager offers what they name and nothing more.
            EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << name.toStdString();
            EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint) << name.toStdString();
            EXPECT_TRUE(flags & Qt::WindowCloseButtonHint) << name.toStdString();
        }
    }
    EXPECT_TRUE(dialogs.contains("TAboutBox"));
    EXPECT_TRUE(MainForm->windowFlags() & Qt::WindowMaximizeButtonHint);
    EndProgram();
}
