#include "shell/RunProgram.h"

#include "platform/system/RunAndWait.h"
#include "platform/vcl/Application.h"

TAskAnswer RunProgramRequest(TAskRequest& request)
{
    TRunAndWait run;
    run.Folder = request.Data.value(QStringLiteral("Folder")).toString();
    run.Program = request.Data.value(QStringLiteral("Program")).toString();
    run.Parameters = request.Data.value(QStringLiteral("Parameters")).toString();
    run.ProcessEvents = [] { Application->ProcessMessages(); };
    run.StopWaiting = [] { return Application->Terminated(); };
    return TAskAnswer{RunAndWait(run)};
}

void RegisterRunProgram()
{
    static bool registered = false;
    if (!registered) {
        TQtInteraction::SetHandler(TAskKind::StartProgram, &RunProgramRequest);
        registered = true;
    }
}
