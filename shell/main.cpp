// Korvanta: the program's entry.
#include "shell/Start.h"
#include "shell/Windows.h"
#include "shell/core/MediaBackend.h"
#include "shell/fMain.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    UseFfmpegMediaBackend();
    // Qt WebEngine cannot sandbox root.
    if (geteuid() == 0)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvanta"));

    int result = 1;
    if (StartProgram()) {
        MainForm->Show();
        result = app.exec();
    }
    EndProgram();
    return result;
}
