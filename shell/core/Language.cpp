#include "shell/core/Language.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/SysUtils.h"

#include <QFileInfo>

QString LanguageFolder;
QString LanguageName;
std::unique_ptr<TIniFile> LanguageIni;

namespace {

QStringList g_recorded;
TLanguageMessageHandler g_handler;

void report(const QString& message)
{
    if (g_handler)
        g_handler(message);
    else
        g_recorded.append(message);
}

bool fileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace

void SetLanguageMessageHandler(TLanguageMessageHandler handler)
{
    g_handler = std::move(handler);
}

QStringList RecordedLanguageMessages()
{
    return g_recorded;
}

void ClearRecordedLanguageMessages()
{
    g_recorded.clear();
}

void LoadLanguage()
{
    LanguageFolder = ProgramFolder();

    const QString generator = LanguageFolder + QStringLiteral("Generator.ini");
    if (!fileExists(generator))
        report(LanguageFolder + QStringLiteral("Generator.ini nicht gefunden!"));
    {
        const TIniFile ini(generator);
        const QString value = ini.ReadString(QStringLiteral("SETTINGS"), QStringLiteral("Language"),
                                             QStringLiteral("GERMAN"));
        // Upper-cased, so that "english" is English for the texts and for every comparison
        // of the windows; an unknown language falls back to German, named in a message.
        LanguageName = value.trimmed().toUpper();
        if (!KnownLanguages().contains(LanguageName)) {
            report(LanguageFolder + QStringLiteral("Generator.ini: Sprache \"%1\" unbekannt, GERMAN wird verwendet!")
                                        .arg(value));
            LanguageName = QStringLiteral("GERMAN");
        }
    }

    const QString language = LanguageFolder + QStringLiteral("Language.ini");
    LanguageIni = std::make_unique<TIniFile>(language);
    if (!fileExists(language))
        report(LanguageFolder + QStringLiteral("Language.ini nicht gefunden!"));
    else if (!LanguageIni->SectionExists(LanguageName))
        report(LanguageFolder + QStringLiteral("Language.ini: [%1] nicht gefunden!").arg(LanguageName));
}

QStringList KnownLanguages()
{
    return {QStringLiteral("GERMAN"), QStringLiteral("ENGLISH"), QStringLiteral("SWEDISH")};
}

void UnloadLanguage()
{
    LanguageIni.reset();
    LanguageName.clear();
    LanguageFolder.clear();
}

QString GetLangText(int number)
{
    if (!LanguageIni)
        return QString();
    return LanguageIni->ReadString(LanguageName, IntToStr(number), QString());
}
