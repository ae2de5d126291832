#pragma once
// Helpers of the main window tests: the program started in a fixture's folder, the main
// window closed as its close box does, and the lines of a list.
#include "support/ProgramFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestEnv.h"

#include "platform/vcl/Application.h"
#include "shell/core/ProductInfo.h"

#include "shell/Start.h"
#include "shell/Windows.h"
#include "shell/fMain.h"
#include "ui_fMain.h"

#include "platform/vcl/ListBox.h"

#include <QDir>
#include <QStringList>
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

// The close box of the main window (FormClose runs), then the windows go.
inline void CloseAndEnd()
{
    if (MainForm)
        MainForm->close();
    EndProgram();
}

inline QStringList Lines(const TCustomListBox& list)
{
    return list.Items().ToStringList();
}

// The names of the files directly in folder, sorted.
inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace kvtest
