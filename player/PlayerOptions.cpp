#include "player/PlayerOptions.h"

#include "shell/core/Helpers.h"
#include "shell/core/PlayerData.h"

#include <QFileInfo>

namespace {

// "0x3a00007" or decimal; 0 when it is neither.
unsigned long long WindowIdOf(const QString& text)
{
    bool ok = false;
    const QString t = text.trimmed();
    const unsigned long long id = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toULongLong(&ok, 16)
                                                                                         : t.toULongLong(&ok, 10);
    return ok ? id : 0;
}

} // namespace

TPlayerOptions ParsePlayerOptions(const QStringList& arguments, const QString& programPath,
                                  const QString& documentsFolder, const QString& windowVariable)
{
    TPlayerOptions o;
    const QFileInfo program(programPath);
    o.Folder = AddBackslash(program.absolutePath());
    const QString saverFolder = ScreensaverFolderOf(program.fileName());
    if (!saverFolder.isEmpty()) {
        o.Mode = TPlayerOptions::TMode::Screensaver;
        o.Folder = AddBackslash(documentsFolder) + saverFolder;
    }
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a.compare(QLatin1String("TEST"), Qt::CaseInsensitive) == 0 && o.Mode != TPlayerOptions::TMode::Screensaver) {
            o.Mode = TPlayerOptions::TMode::Test;
        } else if (a == QLatin1String("-root") || a == QLatin1String("--root")) {
            o.HackProtocol = true;
        } else if ((a == QLatin1String("-window-id") || a == QLatin1String("--window-id")) && i + 1 < arguments.size()) {
            o.HackProtocol = true;
            o.WindowId = WindowIdOf(arguments[++i]);
        }
    }
    // xscreensaver names its window in the environment; only a screensaver copy or a hack
    // started with -root takes it.
    if ((o.HackProtocol || o.Mode == TPlayerOptions::TMode::Screensaver) && o.WindowId == 0 &&
        WindowIdOf(windowVariable) != 0) {
        o.HackProtocol = true;
        o.WindowId = WindowIdOf(windowVariable);
    }
    return o;
}
