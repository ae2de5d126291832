#include "platform/system/ShellFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <pwd.h>
#include <unistd.h>

TWindowsInfo WindowsInfo;

namespace {

// The base folder of an XDG variable, or home + fallback when it is unset or not absolute.
QString xdgBase(const char* variable, const QString& home, const char* fallback)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return home + QLatin1String(fallback);
}

// One value of user-dirs.dirs: "$HOME/Desktop" or "/abs/path", quoted, with backslash
// escapes. Empty when it is neither (a relative folder is not taken).
QString userDirValue(QString value, const QString& home)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size())
            ++i;
        unescaped += value[i];
    }
    if (unescaped == QLatin1String("$HOME") || unescaped.startsWith(QLatin1String("$HOME/")))
        return QDir::cleanPath(home + unescaped.mid(5));
    if (unescaped.startsWith('/'))
        return QDir::cleanPath(unescaped);
    return {};
}

// XDG_*_DIR entries of $XDG_CONFIG_HOME/user-dirs.dirs.
QHash<QString, QString> readUserDirs(const QString& configHome, const QString& home)
{
    QHash<QString, QString> dirs;
    QFile file(configHome + QLatin1String("/user-dirs.dirs"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return dirs;
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf('=');
        if (line.startsWith('#') || eq <= 0)
            continue;
        const QString folder = userDirValue(line.mid(eq + 1), home);
        if (!folder.isEmpty())
            dirs.insert(line.left(eq).trimmed(), folder);
    }
    return dirs;
}

// The configured folder; else home + "/" + fallbackName when that exists; else `otherwise`.
QString userDir(const QHash<QString, QString>& dirs, const char* key, const QString& home,
                const char* fallbackName, const QString& otherwise)
{
    const QString configured = dirs.value(QLatin1String(key));
    if (!configured.isEmpty())
        return configured;
    const QString usual = home + '/' + QLatin1String(fallbackName);
    return QFileInfo(usual).isDir() ? usual : otherwise;
}

QString logonUserName()
{
    for (const char* variable : {"USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    const passwd* account = ::getpwuid(::geteuid());
    return account && account->pw_name ? QString::fromLocal8Bit(account->pw_name) : QString();
}

QString tempPath()
{
    const QString temp = QDir::tempPath();
    return (QDir::isAbsolutePath(temp) ? QDir::cleanPath(temp) : QStringLiteral("/tmp"))
           + QLatin1Char('/');
}

} // namespace

TWindowsInfo TWindowsInfo::Read()
{
    // QDir::homePath() never gives an empty folder (the root when HOME is unset).
    const QString home = QDir::cleanPath(QDir::homePath());
    const QString configHome = xdgBase("XDG_CONFIG_HOME", home, "/.config");
    const QString dataHome = xdgBase("XDG_DATA_HOME", home, "/.local/share");
    const QString cacheHome = xdgBase("XDG_CACHE_HOME", home, "/.cache");
    const QHash<QString, QString> dirs = readUserDirs(configHome, home);

    TWindowsInfo info;
    info.Desktop = userDir(dirs, "XDG_DESKTOP_DIR", home, "Desktop", home);
    info.Personal = userDir(dirs, "XDG_DOCUMENTS_DIR", home, "Documents", home);
    info.Templates = userDir(dirs, "XDG_TEMPLATES_DIR", home, "Templates", QString());
    info.Fonts = dataHome + QLatin1String("/fonts");
    info.Programs = dataHome + QLatin1String("/applications");
    info.StartMenu = info.Programs;
    info.Startup = configHome + QLatin1String("/autostart");
    info.Cache = cacheHome;
    info.LogonUserName = logonUserName();
    info.WindowsFamily = QStringLiteral("Linux");
    info.ProgramFilesDir = QStringLiteral("/opt");
    // The program's own folder for what the old platform put into the Windows folder (the
    // screensaver copies in its system/ and system32/).
    info.SystemRoot = dataHome + QLatin1String("/korvanta");
    info.TempPath = tempPath();
    return info;
}

void InitWindowsInfo() { WindowsInfo = TWindowsInfo::Read(); }
