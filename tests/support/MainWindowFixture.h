#pragma once
// The program started in a fixture's program folder (English), an empty source folder and a
// fresh, titled slideshow open in the main window; the main window closes as its close box
// does when the test ends. Main window tests derive their fixture from it:
//
//   class Building : public kvtest::MainWindowFixture { ... };
//   TEST_F(Building, ...) { ... source ... folder ... }
#include "support/ProgramFixture.h"
#include "support/TestEnv.h"

#include "shell/Start.h"
#include "shell/Windows.h"
#include "shell/fMain.h"
#include "ui_fMain.h"

#include <QString>
#include <gtest/gtest.h>

namespace kvtest {

// StartProgram in the fixture's program folder; fails the test when no main window came.
inline ::testing::AssertionResult Start()
{
    if (!StartProgram())
        return ::testing::AssertionFailure() << "the start stopped";
    if (!MainForm)
        return ::testing::AssertionFailure() << "no main window";
    return ::testing::AssertionSuccess();
}

// A fresh slideshow with a title, as "Neue Diashow anlegen" leaves it: the template opened
// under the next free name (an untitled slideshow would ask for a title at its first picture).
inline void OpenNewSlideshow(const QString& title = QStringLiteral("Test"))
{
    MainForm->OpenDiashowFolder(QStringLiteral("del"));
    MainForm->ui()->TitleEdit->setText(title);
}

// The close box of the main window (FormClose runs), then the windows go.
inline void CloseAndEnd()
{
    if (MainForm)
        MainForm->close();
    EndProgram();
}

class MainWindowFixture : public ::testing::Test {
protected:
    // A derived SetUp calls this first and returns when HasFatalFailure().
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        ASSERT_TRUE(Start());
        source = MakeTempFolder("source");
        OpenNewSlideshow();
        folder = MainForm->DiashowPath();
    }
    void TearDown() override { CloseAndEnd(); }

    ProgramFixture program{"ENGLISH"};
    QString source;  // an empty folder for source pictures
    QString folder;  // the open slideshow's folder
};

} // namespace kvtest
