// Korvanta: the program's entry.
#include "shell/Start.h"
#include "shell/Windows.h"
#include "shell/fMain.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Qt Multimedia plays MP3 through its ffmpeg backend; Qt WebEngine cannot sandbox root.
    setenv("QT_MEDIA_BACKEND", "ffmpeg", 0);
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
