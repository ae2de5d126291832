// The slideshow player program: plays the slideshows beside it (or its screensaver folder)
// with the settings the main window wrote there. It finds everything from its own folder,
// never from the current one.
#include "platform/system/ShellFolders.h"
#include "player/Player.h"
#include "player/PlayerOptions.h"
#include "shell/core/MediaBackend.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    UseFfmpegMediaBackend();
    QGuiApplication app(argc, argv);
    InitWindowsInfo();

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    // The program's own path as it was started, so that a screensaver copy is known by its
    // name even when it is a link.
    const QString self = QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                         QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    const TPlayerOptions options = ParsePlayerOptions(arguments, self, WindowsInfo.Personal,
                                                      qEnvironmentVariable("XSCREENSAVER_WINDOW"));
    TPlayer player(options);
    if (!qEnvironmentVariableIsEmpty("KORVANTA_PLAYER_TIMING"))
        player.SetTiming(&sinceStart);
    QObject::connect(&player, &TPlayer::Ended, &app, [] { QCoreApplication::exit(0); });
    if (!player.Start()) {
        std::fprintf(stderr, "No slideshow with pictures in %s\n", qPrintable(options.Folder));
        return 2;
    }
    return app.exec();
}
