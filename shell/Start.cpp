#include "shell/Start.h"

#include "platform/system/ProgramFolder.h"
#include "platform/system/ShellFolders.h"
#include "platform/vcl/Application.h"
#include "shell/Windows.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "shell/fMain.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

TMainForm* MainForm = nullptr;

QString CheckProgramFolderWritable(const QString& folder)
{
    const QString message = QStringLiteral(
        "The program folder %1 cannot be written. Korvanta keeps its settings and work files "
        "there; make the folder writable and start the program again.").arg(QDir::toNativeSeparators(folder));
    if (!QFileInfo(folder).isDir())
        return message;
    QTemporaryFile probe(folder + QStringLiteral(".write-test-XXXXXX"));
    if (!probe.open())
        return message;
    return QString();
}

bool StartProgram()
{
    // Unit initialisations.
    InitWindowsInfo();

    const QString stop = CheckProgramFolderWritable(ProgramFolder());
    if (!stop.isEmpty()) {
        MessageDlg(stop, mtError, {mbOK});
        return false;
    }

    SetLanguageMessageHandler([](const QString& message) { MessageDlg(message, mtError, {mbOK}); });
    LoadLanguage();
    FillProductInfo();
    Application->SetTitle(ProductInfo.ProductName);

    // The windows, each stored in its global before the next is made.
    MainForm = new TMainForm();
    Application->SetMainForm(MainForm);
    return true;
}

void EndProgram()
{
    if (MainForm) {
        MainForm->Free();
        MainForm = nullptr;
    }
    UnloadLanguage();
}
