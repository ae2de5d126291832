// The program's start: the program folder check, the language of Generator.ini, the missing
// file messages, the main window's caption and tabs.
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
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

QString MakeProgramFolder(const QString& language, bool withGenerator = true, bool withLanguage = true)
{
    const QString folder = kvtest::MakeTempFolder("program");
    if (withGenerator) {
        QFile f(folder + "Generator.ini");
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[SETTINGS]\r\nLanguage=%1\r\nDrive=C\r\n").arg(language).toUtf8());
    }
    if (withLanguage)
        EXPECT_TRUE(QFile::copy(kvtest::SourceDir() + "data/Language.ini", folder + "Language.ini"));
    // The pictures the windows show, as in the real program folder.
    QDir().mkpath(folder + "recom");
    for (const QString& name : QDir(kvtest::SourceDir() + "data/recom").entryList(QDir::Files))
        QFile::copy(kvtest::SourceDir() + "data/recom/" + name, folder + "recom/" + name);
    return folder;
}

struct StartCase {
    const char* Language;
    const char* ArchiveTab;
};

class StartLanguage : public ::testing::TestWithParam<StartCase> {};

} // namespace

TEST_P(StartLanguage, MainWindowSpeaksTheLanguageOfGeneratorIni)
{
    SetProgramFolder(MakeProgramFolder(GetParam().Language));
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
    const QString folder = MakeProgramFolder("ENGLISH", false, false);
    SetProgramFolder(folder);
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
