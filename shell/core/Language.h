#pragma once
// The language service: numbered texts of the chosen language from Language.ini.
//
// Generator.ini (section SETTINGS, key Language) names the language; Language.ini holds one
// section per language (GERMAN, ENGLISH, SWEDISH) whose keys are decimal text numbers.
// The value is upper-cased when it is read, so "english" is English for the texts and for the
// windows that compare LanguageName with "ENGLISH" to pick file and folder names; a value
// that names none of the three languages gives GERMAN.
//
// Every text number the code uses must exist in every section of data/Language.ini; a test
// scans the source tree for the numbers. It finds them written in one of these forms, always
// with a decimal literal:
//   GetLangText(<number>)                     a lookup
//   LangText(<number>)                        a number in a table, e.g. a caption table
//                                             { "AbbrechenBitBtn", LangText(<number>) }
//   LangTextRange(<first>, <last>)            a comment naming a range that a loop looks up
//                                             (both ends included)
#include "platform/vcl/IniFiles.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The program folder with a trailing '/'.
extern QString LanguageFolder;
// The section of the chosen language, upper-cased: GERMAN, ENGLISH or SWEDISH ("GERMAN" when
// Generator.ini has no key or names another language).
extern QString LanguageName;
// Language.ini of the program folder, open from LoadLanguage to the end of the run.
extern std::unique_ptr<TIniFile> LanguageIni;

// Receives the messages of LoadLanguage about missing files. The start of the program installs
// one that shows an error box through the application object; until then (and after
// SetLanguageMessageHandler(nullptr)) the messages are recorded.
using TLanguageMessageHandler = std::function<void(const QString& message)>;
void SetLanguageMessageHandler(TLanguageMessageHandler handler);
QStringList RecordedLanguageMessages();
void ClearRecordedLanguageMessages();

// The three languages, as LanguageName spells them.
QStringList KnownLanguages();

// Fills LanguageFolder and LanguageName and opens LanguageIni. A missing Generator.ini or
// Language.ini is reported (LanguageFolder + "Generator.ini nicht gefunden!", or
// "Language.ini nicht gefunden!") and the start goes on: the default language, empty texts.
// So are an unknown language (named, German used instead) and a Language.ini without the
// chosen language's section (named).
void LoadLanguage();
// Closes LanguageIni and clears the globals.
void UnloadLanguage();

// The text with key `number` in section LanguageName; "" when the key or section is missing.
QString GetLangText(int number);

// A text number in a table (see above).
struct LangText {
    int Number;
    constexpr explicit LangText(int number) : Number(number) {}
    QString Text() const { return GetLangText(Number); }
};
