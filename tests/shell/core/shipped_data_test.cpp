// Checks of the data shipped beside the program (data/): every text number that the code
// looks up exists in every language of Language.ini, the effect list is well-formed, the
// default settings are sensible, and the build copies the data without resetting settings.
#include "shell/core/Helpers.h"
#include "shell/core/Settings.h"

#include "platform/vcl/IniFiles.h"
#include "platform/vcl/StringList.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

namespace {

const QStringList kLanguages = {"GERMAN", "ENGLISH", "SWEDISH"};

QString dataFile(const QString& name)
{
    return kvtest::SourceDir() + "data/" + name;
}

// The checks below read the source tree; without it they would pass on nothing.
::testing::AssertionResult sourceTreeFound()
{
    if (QFileInfo(dataFile("Language.ini")).isFile() && QFileInfo(kvtest::SourceDir() + "shell").isDir())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "source tree not found at \"" << kvtest::SourceDir().toStdString()
           << "\" (KORVANTA_SOURCE_DIR is " << (std::getenv("KORVANTA_SOURCE_DIR") ? "set)" : "not set)");
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text numbers named in a piece of source: GetLangText(<n>), LangText(<n>) and
// LangTextRange(<first>, <last>) (both ends included). A range that is reversed or larger
// than 1000 texts is returned in `bad` as written.
std::set<int> textNumbersIn(const QString& source, QStringList* bad = nullptr)
{
    static const QRegularExpression single(QStringLiteral(R"(\b(?:GetLangText|LangText)\s*\(\s*(\d+)\s*\))"));
    static const QRegularExpression range(
        QStringLiteral(R"(\bLangTextRange\s*\(\s*(\d+)\s*,\s*(\d+)\s*\))"));
    std::set<int> numbers;
    for (auto it = single.globalMatch(source); it.hasNext();)
        numbers.insert(it.next().captured(1).toInt());
    for (auto it = range.globalMatch(source); it.hasNext();) {
        const auto m = it.next();
        const int first = m.captured(1).toInt();
        const int last = m.captured(2).toInt();
        if (last < first || last - first >= 1000) {
            if (bad)
                bad->append(m.captured(0));
            continue;
        }
        for (int n = first; n <= last; ++n)
            numbers.insert(n);
    }
    return numbers;
}

// Every text number of the program's code, with the files that name it.
std::map<int, QStringList> textNumbersOfTheProgram(QStringList& bad)
{
    std::map<int, QStringList> numbers;
    const QString root = kvtest::SourceDir();
    for (const char* dir : {"shell", "imaging", "controls", "editing", "output", "player"}) {
        QDirIterator it(root + dir, {"*.cpp", "*.h", "*.hpp", "*.cc"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString rel = path.mid(root.size());
            QStringList badHere;
            for (int n : textNumbersIn(QString::fromUtf8(readBytes(path)), &badHere))
                numbers[n].append(rel);
            for (const QString& b : badHere)
                bad.append(rel + ": " + b);
        }
    }
    return numbers;
}

// Section name (upper-cased) -> key -> how often the key occurs, read line by line.
std::map<QString, QMap<QString, int>> rawSections(const QString& text)
{
    std::map<QString, QMap<QString, int>> sections;
    QString current;
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            current = line.mid(1, line.size() - 2).trimmed().toUpper();
            sections[current];
            continue;
        }
        const int eq = line.indexOf('=');
        if (eq > 0 && !current.isEmpty())
            sections[current][line.left(eq).trimmed().toUpper()]++;
    }
    return sections;
}

bool inEffectNumberSet(int n)
{
    static const int ranges[][2] = {
        {1000, 1001},   {2000, 2554},   {3000, 3005},   {4000, 4029},   {5000, 5263},
        {6000, 6525},   {7000, 7263},   {8000, 8259},   {9000, 9001},   {10000, 10003},
        {11000, 11006}, {12000, 12009}, {13000, 13007}, {14000, 14007}, {15000, 15035},
        {16000, 16035},
    };
    for (const auto& r : ranges) {
        if (n >= r[0] && n <= r[1])
            return true;
    }
    return false;
}

} // namespace

TEST(TextNumberScan, FindsEveryWrittenForm)
{
    const QString source = R"(
        caption = GetLangText(515);
        hint = GetLangText( 100001 ) + GetLangText(n) + GetLangText(base + 3);
        const Caption table[] = {{"GroupBox3", LangText(1101)}, {"Label8", LangText (1102)}};
        // LangTextRange(7000, 7002): the tips, looked up in a loop
        MyGetLangText(99);
    )";
    EXPECT_EQ(textNumbersIn(source), (std::set<int>{515, 1101, 1102, 7000, 7001, 7002, 100001}));

    QStringList bad;
    EXPECT_TRUE(textNumbersIn("LangTextRange(7002, 7000) LangTextRange(1, 5000)", &bad).empty());
    EXPECT_EQ(bad.size(), 2);
}

TEST(LanguageFile, EveryTextNumberOfTheCodeExistsInEveryLanguage)
{
    ASSERT_TRUE(sourceTreeFound());
    QStringList bad;
    const auto numbers = textNumbersOfTheProgram(bad);
    EXPECT_TRUE(bad.isEmpty()) << "unusable text ranges:\n" << bad.join('\n').toStdString();

    const TIniFile ini(dataFile("Language.ini"));
    QStringList missing;
    for (const auto& [number, files] : numbers) {
        for (const QString& section : kLanguages) {
            if (ini.ReadString(section, QString::number(number), QString()).isEmpty())
                missing.append(QString("text %1 missing in section %2 (used in %3)")
                                   .arg(number)
                                   .arg(section, files.join(", ")));
        }
    }
    EXPECT_TRUE(missing.isEmpty()) << "data/Language.ini:\n" << missing.join('\n').toStdString();
}

TEST(LanguageFile, IsUtf8WithTheSameTextsInEveryLanguageOnce)
{
    ASSERT_TRUE(sourceTreeFound());
    const QByteArray bytes = readBytes(dataFile("Language.ini"));
    ASSERT_FALSE(bytes.isEmpty());
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    ASSERT_FALSE(decoder.hasError()) << "not valid UTF-8";

    const auto sections = rawSections(text);
    for (const QString& language : kLanguages)
        ASSERT_EQ(sections.count(language), 1u) << "no section " << language.toStdString();

    const QMap<QString, int>& german = sections.at("GERMAN");
    for (const QString& language : kLanguages) {
        const QMap<QString, int>& keys = sections.at(language);
        for (auto it = keys.begin(); it != keys.end(); ++it) {
            // A repeated key hides the later text: only the first one is read.
            EXPECT_EQ(it.value(), 1) << language.toStdString() << " repeats key " << it.key().toStdString();
            bool isNumber = false;
            it.key().toInt(&isNumber);
            EXPECT_TRUE(isNumber) << language.toStdString() << " key " << it.key().toStdString();
        }
        EXPECT_EQ(keys.keys(), german.keys()) << language.toStdString() << " differs from GERMAN";
    }

    const TIniFile ini(dataFile("Language.ini"));
    for (const QString& language : kLanguages) {
        for (const QString& key : ini.ReadSection(language))
            EXPECT_FALSE(ini.ReadString(language, key, QString()).isEmpty())
                << language.toStdString() << " " << key.toStdString() << " is empty";
    }
}

TEST(EffectsFile, HoldsOneValidLineForEveryEffectNumber)
{
    ASSERT_TRUE(sourceTreeFound());
    TStringList list;
    LoadEffectList(list, dataFile("Effects.ini"));
    ASSERT_EQ(list.Count(), 127);
    std::set<int> numbers;
    for (int n = 1; n <= list.Count(); ++n) {
        SCOPED_TRACE(QString("effect %1: %2").arg(n).arg(list[n - 1]).toStdString());
        EXPECT_EQ(WordCount(list[n - 1], ";"), 5);
        TEffectLine e;
        ASSERT_NO_THROW(e = EffectLineOf(list, n));
        EXPECT_TRUE(inEffectNumberSet(e.PaintEffect));
        EXPECT_NE(e.PaintEffect, 1000) << "no effect at all";
        EXPECT_GE(e.EffectDelay, 0);
        EXPECT_GE(e.EffectGrain, 1);
        EXPECT_LE(e.EffectGrain, 256);
        EXPECT_GE(e.PaintMaxPasses, 1);
        EXPECT_LE(e.PaintMaxPasses, 64);
        EXPECT_GE(e.WandSize, 0);
        // 64 steps with their waits take about a second.
        EXPECT_GE(e.EffectDelay * 64, 500);
        EXPECT_LE(e.EffectDelay * 64, 1500);
        EXPECT_TRUE(numbers.insert(e.PaintEffect).second) << "every line another effect";
    }
}

TEST(GeneratorFile, ShippedSettings)
{
    ASSERT_TRUE(sourceTreeFound());
    const QString path = dataFile("Generator.ini");
    EXPECT_EQ(TIniFile(path).ReadString("SETTINGS", "Language", "?"), "GERMAN");
    const TProgramSettings s = LoadSettings(path);
    EXPECT_EQ(s.ArchiveDrive, "C");
    EXPECT_EQ(s.DiashowTime, "5");
    EXPECT_EQ(s.TextColor, 16777215);
    EXPECT_EQ(s.BKGColor, 0);
    EXPECT_EQ(s.EffectMode, TEffectMode::Off);
    EXPECT_TRUE(s.Fullscreen);
    EXPECT_FALSE(s.Manuell);
    EXPECT_FALSE(s.EndlessPlay);
    EXPECT_TRUE(s.PictureTextVisible);
    EXPECT_FALSE(s.FileNameVisible);
    EXPECT_TRUE(s.PrintPreview);
    EXPECT_EQ(s.EffectNumber, 1);
    EXPECT_EQ(s.TextOffset, 0);
}

TEST(DataCopy, ReplacesShippedFilesButKeepsTheUsersSettings)
{
    ASSERT_TRUE(sourceTreeFound());
    const QString source = kvtest::MakeTempFolder("data");
    const QString target = kvtest::MakeTempFolder("program");
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    write(source + "Generator.ini", "[SETTINGS]\nLanguage=GERMAN\n");
    write(source + "Language.ini", "[GERMAN]\n515=Abbrechen\n");
    write(source + "recom/banner.txt", "banner");
    write(source + "CMakeLists.txt", "# build file\n");

    const auto copy = [&] {
        QProcess p;
        p.start("cmake", {"-DSOURCE_DIR=" + source, "-DTARGET_DIR=" + target,
                          "-DUSER_FILES=Generator.ini", "-P",
                          kvtest::SourceDir() + "data/CopyData.cmake"});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    };

    copy();
    EXPECT_EQ(readBytes(target + "Generator.ini"), "[SETTINGS]\nLanguage=GERMAN\n");
    EXPECT_EQ(readBytes(target + "Language.ini"), "[GERMAN]\n515=Abbrechen\n");
    EXPECT_EQ(readBytes(target + "recom/banner.txt"), "banner");
    EXPECT_FALSE(QFile::exists(target + "CMakeLists.txt"));

    write(target + "Generator.ini", "[SETTINGS]\nLanguage=ENGLISH\nDrive=D\n");  // the user's
    write(source + "Language.ini", "[GERMAN]\n515=Abbruch\n");                   // a new text
    copy();
    EXPECT_EQ(readBytes(target + "Generator.ini"), "[SETTINGS]\nLanguage=ENGLISH\nDrive=D\n");
    EXPECT_EQ(readBytes(target + "Language.ini"), "[GERMAN]\n515=Abbruch\n");

    QFile::remove(target + "Generator.ini");
    copy();
    EXPECT_EQ(readBytes(target + "Generator.ini"), "[SETTINGS]\nLanguage=GERMAN\n");
}
