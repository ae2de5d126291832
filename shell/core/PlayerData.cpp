#include "shell/core/PlayerData.h"

#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace {

const QString kSection = QStringLiteral("SETTINGS");

QString Bool(bool value) { return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); }

bool ReadFlag(const TIniFile& ini, const QString& key, bool def)
{
    const QString value = UpperCase(ini.ReadString(kSection, key, QString()).trimmed());
    if (value == QLatin1String("TRUE"))
        return true;
    if (value == QLatin1String("FALSE"))
        return false;
    return def;
}

} // namespace

void WritePlayerSettings(const QString& fileName, const TPlayerSettings& s)
{
    TIniFile ini(fileName);
    ini.WriteString(kSection, QStringLiteral("StopDiashowAtEnd"), Bool(s.StopDiashowAtEnd));
    ini.WriteString(kSection, QStringLiteral("Fullscreen"), Bool(s.Fullscreen));
    ini.WriteString(kSection, QStringLiteral("Manuell"), Bool(s.Fullscreen && s.Manuell));
    ini.WriteString(kSection, QStringLiteral("PictureTextVisible"), Bool(s.PictureTextVisible));
    ini.WriteString(kSection, QStringLiteral("FileNameVisible"), Bool(s.FileNameVisible));
    ini.WriteString(kSection, QStringLiteral("BKGColor"), QString::number(s.BKGColor));
    ini.WriteString(kSection, QStringLiteral("TextColor"), QString::number(s.TextColor));
    const char* mode = s.EffectMode == TEffectMode::On ? "ON" : s.EffectMode == TEffectMode::Random ? "RANDOM" : "OFF";
    ini.WriteString(kSection, QStringLiteral("EffectMode"), QLatin1String(mode));
    ini.WriteString(kSection, QStringLiteral("Effect"), QString::number(s.Effect));
    ini.WriteString(kSection, QStringLiteral("TextOffset"), QString::number(s.TextOffset));
}

TPlayerSettings ReadPlayerSettings(const QString& fileName)
{
    TPlayerSettings s;
    const TIniFile ini(fileName);
    s.StopDiashowAtEnd = ReadFlag(ini, QStringLiteral("StopDiashowAtEnd"), s.StopDiashowAtEnd);
    s.Fullscreen = ReadFlag(ini, QStringLiteral("Fullscreen"), s.Fullscreen);
    s.Manuell = s.Fullscreen && ReadFlag(ini, QStringLiteral("Manuell"), s.Manuell);
    s.PictureTextVisible = ReadFlag(ini, QStringLiteral("PictureTextVisible"), s.PictureTextVisible);
    s.FileNameVisible = ReadFlag(ini, QStringLiteral("FileNameVisible"), s.FileNameVisible);
    s.BKGColor = ini.ReadInteger(kSection, QStringLiteral("BKGColor"), s.BKGColor);
    s.TextColor = ini.ReadInteger(kSection, QStringLiteral("TextColor"), s.TextColor);
    const QString mode = ini.ReadString(kSection, QStringLiteral("EffectMode"), QStringLiteral("OFF"));
    s.EffectMode = mode == QLatin1String("ON")       ? TEffectMode::On
                   : mode == QLatin1String("RANDOM") ? TEffectMode::Random
                                                     : TEffectMode::Off;
    s.Effect = ini.ReadInteger(kSection, QStringLiteral("Effect"), s.Effect);
    s.TextOffset = ini.ReadInteger(kSection, QStringLiteral("TextOffset"), s.TextOffset);
    return s;
}

double DiashowSeconds(const QString& typed)
{
    double value = 0;
    if (!TryParseUserDecimal(typed, value) || !(value > 0) || value > 86400)
        return 5;
    return value;
}

QStringList AudioTitles(const QString& folder)
{
    static const QRegularExpression pattern(QStringLiteral("^Audio[0-9]{3}\\.(mp3|wav)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QString base = AddBackslash(folder);
    QStringList titles;
    for (const QString& name : QDir(base).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase)) {
        if (pattern.match(name).hasMatch())
            titles.append(base + name);
    }
    return titles;
}

QStringList PlayerSlideshows(const QString& folder)
{
    QStringList names;
    for (const TArchiveEntry& entry : ArchiveEntries(AddBackslash(folder)))
        names.append(entry.Folder);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return CompareFileNames(a, b) < 0; });
    return names;
}

QString LastWrittenSlideshow(const QString& folder)
{
    const QString base = AddBackslash(folder);
    QString best;
    QDateTime bestTime;
    for (const QString& name : PlayerSlideshows(base)) {
        for (const char* file : {"Diashow.ini", "Pictures.ini"}) {
            const QFileInfo info(base + name + QLatin1Char('/') + QLatin1String(file));
            if (info.exists() && (best.isEmpty() || info.lastModified() > bestTime)) {
                best = name;
                bestTime = info.lastModified();
            }
        }
    }
    return best;
}

QStringList PlayerPlayList(const QString& folder)
{
    const QString base = AddBackslash(folder);
    const QStringList shows = PlayerSlideshows(base);
    const auto known = [&shows](const QString& name) {
        return std::any_of(shows.begin(), shows.end(), [&](const QString& s) { return s.compare(name, Qt::CaseInsensitive) == 0; });
    };
    QStringList list;
    const QString intro = TIniFile(base + QStringLiteral("intro.ply"))
                              .ReadString(QStringLiteral("INTRO"), QStringLiteral("Diashow"), QString()).trimmed();
    if (!intro.isEmpty() && known(intro))
        list.append(intro);

    const TIniFile play(base + QStringLiteral("play.ply"));
    std::map<long long, QString> ordered;
    static const QRegularExpression key(QStringLiteral("^Diashow([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    for (const QString& name : play.ReadSection(QStringLiteral("PLAYLIST"))) {
        const auto match = key.match(name);
        if (match.hasMatch())
            ordered.emplace(match.captured(1).toLongLong(), play.ReadString(QStringLiteral("PLAYLIST"), name, QString()).trimmed());
    }
    QStringList named;
    for (const auto& [number, show] : ordered) {
        if (known(show))
            named.append(show);
    }
    list += named.isEmpty() ? shows : named;
    return list;
}

TShow ReadShow(const QString& folder)
{
    TShow show;
    show.Folder = AddBackslash(folder);
    TDiashowIni ini;
    if (ReadDiashowIni(show.Folder, ini)) {
        show.Title = ini.Title;
        show.Seconds = DiashowSeconds(ini.Time);
    }
    for (const TPictureLine& line : ReadPicturesIni(show.Folder)) {
        const QString path = show.Folder + line.Name;
        if (QFileInfo(path).isFile())
            show.Pictures.append({path, line.Name, line.Text});
    }
    show.AudioTitles = AudioTitles(show.Folder);
    return show;
}

QString PlayerProgramName(const QString& language)
{
    return language == QLatin1String("GERMAN") ? QStringLiteral("Diashow-Player") : QStringLiteral("Slideshow-Player");
}

QString ScreensaverProgramName(const QString& language)
{
    return language == QLatin1String("GERMAN") ? QStringLiteral("Diashow.scr") : QStringLiteral("Slideshow.scr");
}

QString ScreensaverFolderOf(const QString& programName)
{
    if (programName.compare(QLatin1String("Diashow.scr"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Diashow_Screensaver/");
    if (programName.compare(QLatin1String("Slideshow.scr"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Slideshow_Screensaver/");
    return QString();
}
