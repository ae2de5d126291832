#pragma once
// Helpers of the main window tests: the source list filled, the lines of a list, the files of
// a folder (the started program and its fixture are in support/MainWindowFixture.h).
#include "support/MainWindowFixture.h"
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
#include "controls/HTMLEscape.h"
#include "controls/HTMListBox.h"

#include <QDir>
#include <QTabWidget>
#include <functional>
#include <QStringList>
#include <gtest/gtest.h>

namespace kvtest {

// The source list as a read of `source` leaves it: each picture made by makePicture, then an
// item of its thumbnail under thumbFolder and the escaped name.
inline void FillSourceList(const QString& source, const QStringList& names,
                           const std::function<void(const QString&)>& makePicture,
                           const QString& thumbFolder = QStringLiteral("file:///thumbs/"))
{
    MainForm->SourceFolder = source;
    TListBoxItems& items = MainForm->ui()->FileListBox->Items();
    items.Clear();
    for (const QString& name : names) {
        makePicture(source + name);
        items.Add("<IMG src=\"" + thumbFolder + name + "\" align=\"top\">" + HTMLEscape(name));
    }
}

// The object names of the main window's tabs that show, in order.
inline QStringList VisibleTabs()
{
    QStringList tabs;
    const QTabWidget& pages = *MainForm->ui()->PageControl1;
    for (int i = 0; i < pages.count(); ++i)
        if (pages.isTabVisible(i))
            tabs.append(pages.widget(i)->objectName());
    return tabs;
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
