#include "shell/fMain_help.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Dialogs.h"
#include "shell/core/ProductInfo.h"
#include "shell/fAbout.h"

bool ShellOpenOrComplain(const QString& target, const char* failureText)
{
    if (ShellOpen(target) > 32)
        return true;
    ShowMessage(QString::fromLatin1(failureText));
    return false;
}

void Hilfedatei1Click()
{
    ShellOpenOrComplain(ProgramFolder() + QStringLiteral("help/") + ProductInfo.HelpFile, kBrowserStartFailure);
}

void Update1Click()
{
    ShellOpenOrComplain(ProductInfo.WebURL, kMailStartFailure);
}

void Info1Click()
{
    if (AboutBox)
        AboutBox->ShowModal();
}
