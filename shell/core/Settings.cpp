#include "shell/core/Settings.h"

#include "platform/vcl/IniFiles.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Helpers.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("SETTINGS");

QString boolText(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

// Upper-cased value equals `word`.
bool isWord(const TIniFile& ini, const QString& key, const char* word)
{
    return UpperCase(ini.ReadString(kSection, key, QString())) == QLatin1String(word);
}

} // namespace

TProgramSettings LoadSettings(const QString& fileName)
{
    const TIniFile ini(fileName);
    TProgramSettings s;
    s.DiashowTime = ini.ReadString(kSection, QStringLiteral("DefaultTime"), QString());
    s.EndlessPlay = isWord(ini, QStringLiteral("StopDiashowAtEnd"), "FALSE");
    s.Fullscreen = !isWord(ini, QStringLiteral("Fullscreen"), "FALSE");
    s.Manuell = !isWord(ini, QStringLiteral("Manuell"), "FALSE");
    s.PictureTextVisible = isWord(ini, QStringLiteral("PictureTextVisible"), "TRUE");
    s.FileNameVisible = isWord(ini, QStringLiteral("FileNameVisible"), "TRUE");
    s.BKGColor = ini.ReadInteger(kSection, QStringLiteral("BKGColor"), 0);
    s.TextColor = ini.ReadInteger(kSection, QStringLiteral("TextColor"), 0);

    const QString mode = ini.ReadString(kSection, QStringLiteral("EffectMode"), QStringLiteral("OFF"));
    if (mode == QLatin1String("ON"))
        s.EffectMode = TEffectMode::On;
    else if (mode == QLatin1String("OFF"))
        s.EffectMode = TEffectMode::Off;
    else if (mode == QLatin1String("RANDOM"))
        s.EffectMode = TEffectMode::Random;
    else
        s.EffectMode = TEffectMode::None;

    s.PrintPreview = ini.ReadString(kSection, QStringLiteral("PrintPreview"), QStringLiteral("TRUE"))
                     == QLatin1String("TRUE");
    s.EffectNumber = ini.ReadInteger(kSection, QStringLiteral("Effect"), 1);
    s.TextOffset = ini.ReadInteger(kSection, QStringLiteral("TextOffset"), 0);

    s.SourceFolder = ini.ReadString(kSection, QStringLiteral("SourcePicturesPath"), QString());
    const QString drive = ini.ReadString(kSection, QStringLiteral("Drive"), QString());
    s.ArchiveDrive = drive.isEmpty() ? QStringLiteral("C") : UpperCase(AddBackslash(drive));
    return s;
}

void SaveSettings(const QString& fileName, const TProgramSettings& s)
{
    // All keys in one replace of the file: a program killed meanwhile leaves the old set.
    TIniFile ini(fileName);
    ini.BeginUpdate();
    ini.WriteString(kSection, QStringLiteral("DefaultTime"), s.DiashowTime);
    ini.WriteString(kSection, QStringLiteral("StopDiashowAtEnd"), boolText(!s.EndlessPlay));
    ini.WriteString(kSection, QStringLiteral("Fullscreen"), boolText(s.Fullscreen));
    ini.WriteString(kSection, QStringLiteral("Manuell"), boolText(s.Fullscreen && s.Manuell));
    ini.WriteString(kSection, QStringLiteral("PictureTextVisible"), boolText(s.PictureTextVisible));
    ini.WriteString(kSection, QStringLiteral("FileNameVisible"), boolText(s.FileNameVisible));
    ini.WriteInteger(kSection, QStringLiteral("BKGColor"), s.BKGColor);
    ini.WriteInteger(kSection, QStringLiteral("TextColor"), s.TextColor);
    switch (s.EffectMode) {
    case TEffectMode::Off:
        ini.WriteString(kSection, QStringLiteral("EffectMode"), QStringLiteral("OFF"));
        break;
    case TEffectMode::On:
        ini.WriteString(kSection, QStringLiteral("EffectMode"), QStringLiteral("ON"));
        break;
    case TEffectMode::Random:
        ini.WriteString(kSection, QStringLiteral("EffectMode"), QStringLiteral("RANDOM"));
        break;
    case TEffectMode::None:
        break;
    }
    ini.WriteInteger(kSection, QStringLiteral("Effect"), s.EffectNumber);
    ini.WriteInteger(kSection, QStringLiteral("TextOffset"), s.TextOffset);
    ini.WriteString(kSection, QStringLiteral("PrintPreview"), boolText(s.PrintPreview));
    ini.WriteString(kSection, QStringLiteral("SourcePicturesPath"), s.SourceFolder);
    ini.WriteString(kSection, QStringLiteral("Drive"), s.ArchiveDrive);
    ini.EndUpdate();
}

void SaveArchiveDrive(const QString& fileName, const QString& drive)
{
    TIniFile(fileName).WriteString(kSection, QStringLiteral("Drive"), drive);
}

void LoadEffectList(TStringList& list, const QString& fileName)
{
    list.LoadFromFile(fileName);
}

int EffectLineWord(const QString& line, int word)
{
    return StrToInt(ExtractWord(word, line, QStringLiteral(";")));
}

TEffectLine ParseEffectLine(const QString& line)
{
    // In the order in which the picture control takes them: the effect number last, after
    // the delay, grain and passes it uses.
    TEffectLine e;
    e.EffectDelay = EffectLineWord(line, 2);
    e.EffectGrain = EffectLineWord(line, 3);
    e.PaintMaxPasses = EffectLineWord(line, 4);
    e.PaintEffect = EffectLineWord(line, 1);
    e.WandSize = EffectLineWord(line, 5);
    return e;
}

TEffectLine EffectLineOf(const TStringList& list, int effectNumber)
{
    return ParseEffectLine(list[effectNumber - 1]);
}

void WriteMarkerFile(const QString& fileName)
{
    TStringList().SaveToFile(fileName);
}

bool MarkerFileExists(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && !info.isDir();
}

bool DeleteMarkerFile(const QString& fileName)
{
    if (!MarkerFileExists(fileName))
        return true;
    return QFile::remove(fileName);
}
