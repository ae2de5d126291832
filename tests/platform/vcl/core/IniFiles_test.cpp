#include "platform/vcl/IniFiles.h"

#include "FileHelpers.h"
#include "platform/vcl/Exceptions.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using coretest::entries;
using coretest::readBytes;
using coretest::writeBytes;

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

const QByteArray kSettings =
    "; written by hand\r\n"
    "orphan=before any section\r\n"
    "[SETTINGS]\r\n"
    "Language = english \r\n"
    "  DefaultTime=  \"2,5\"  \r\n"
    "Title='Urlaub 2004'\r\n"
    "Mixed=\"only one side\r\n"
    "Inner=a \"b\" c\r\n"
    "Empty=\r\n"
    "Equals=a=b\r\n"
    "no equals sign here\r\n"
    ";Commented=1\r\n"
    "Effect=3\r\n"
    "effect=4\r\n"
    "\r\n"
    "[english]\r\n"
    "1=Hello\r\n"
    "[Settings]\r\n"
    "Effect=5\r\n"
    "Late=from the second copy\r\n";

QString makeIni(const QString& name, const QByteArray& bytes)
{
    const QString file = kvtest::MakeTempFolder(name) + "Generator.ini";
    writeBytes(file, bytes);
    return file;
}

TEST(IniRead, WindowsProfileSemantics)
{
    const TIniFile ini(makeIni("ini-read", kSettings));
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"SETTINGS", "Language", "english"},
        {"settings", "LANGUAGE", "english"},
        {" Settings ", " language ", "english"},
        {"SETTINGS", "DefaultTime", "2,5"},
        {"SETTINGS", "Title", "Urlaub 2004"},
        {"SETTINGS", "Mixed", "\"only one side"},
        {"SETTINGS", "Inner", "a \"b\" c"},
        {"SETTINGS", "Empty", ""},
        {"SETTINGS", "Equals", "a=b"},
        {"SETTINGS", "Effect", "3"},         // the first of duplicate keys
        {"SETTINGS", "Late", "from the second copy"},
        {"ENGLISH", "1", "Hello"},
        {"SETTINGS", "no equals sign here", "<def>"},
        {"SETTINGS", ";Commented", "<def>"},
        {"SETTINGS", "Commented", "<def>"},
        {"SETTINGS", "orphan", "<def>"},
        {"SETTINGS", "Missing", "<def>"},
        {"NOSUCH", "Language", "<def>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<def>"), c.value) << c.section << "/" << c.key;

    EXPECT_TRUE(ini.SectionExists("english"));
    EXPECT_FALSE(ini.SectionExists("german"));
    EXPECT_TRUE(ini.ValueExists("settings", "empty"));
    EXPECT_FALSE(ini.ValueExists("settings", "missing"));
    EXPECT_EQ(ini.ReadSections(), (QStringList{"SETTINGS", "english"}));
    EXPECT_EQ(ini.ReadSection("english"), QStringList{"1"});
    EXPECT_EQ(ini.ReadSection("settings"),
              (QStringList{"Language", "DefaultTime", "Title", "Mixed", "Inner", "Empty", "Equals",
                           "Effect", "Late"}));
    EXPECT_EQ(ini.ReadSectionValues("ENGLISH"), QStringList{"1=Hello"});
}

TEST(IniRead, IntegersAndBooleans)
{
    QByteArray text = "[N]\n";
    struct Case {
        const char* value;
        int integer;  // with default -1
        bool boolean; // with default true
    };
    const Case cases[] = {
        {"12", 12, true},       {"-5", -5, true},          {"+5", 5, true},
        {"0", 0, false},        {"0x1F", 31, true},        {"0X10", 16, true},
        {"  7  ", 7, true},     {"\"8\"", 8, true},        {"0xFFFFFFFF", -1, true},
        {"12abc", -1, true},    {"abc", -1, true},         {"", -1, true},
        {"$10", -1, true},      {"-$10", -1, true},        {"1.5", -1, true},
        {"99999999999", -1, true}, {"FALSE", -1, true},   {"0x", -1, true},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        text += "k" + QByteArray::number(int(i)) + "=" + cases[i].value + "\n";
    const TIniFile ini(makeIni("ini-int", text));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const QString key = "K" + QString::number(i);
        EXPECT_EQ(ini.ReadInteger("n", key, -1), cases[i].integer) << cases[i].value;
        EXPECT_EQ(ini.ReadBool("n", key, true), cases[i].boolean) << cases[i].value;
    }
    EXPECT_FALSE(ini.ReadBool("n", "FALSE-is-not-an-integer", false));
    EXPECT_EQ(ini.ReadInteger("n", "missing", 42), 42);
}

TEST(IniRead, EncodingsOfTheFile)
{
    const TIniFile latin(makeIni("ini-1252", "[GERMAN]\r\n1=Gr\xFC\xDF" "e \xE4\r\n"));
    EXPECT_EQ(latin.ReadString("german", "1", ""), u("Grüße ä"));

    const TIniFile bom(makeIni("ini-bom", "\xEF\xBB\xBF[GERMAN]\n1=\xC3\xA4\n"));
    EXPECT_EQ(bom.ReadString("GERMAN", "1", ""), u("ä")) << "the mark is not part of the name";

    const TIniFile keys(makeIni("ini-keys", "[\xC3\x84rger]\n\xC3\xA4=1\n"));
    EXPECT_EQ(keys.ReadString(u("ärger"), u("Ä"), ""), "1") << "case is ignored beyond ASCII";
}

TEST(IniRead, MissingFileGivesDefaultsAndIsNotCreated)
{
    const QString dir = kvtest::MakeTempFolder("ini-missing");
    TIniFile ini(dir + "Generator.ini");
    EXPECT_EQ(ini.ReadString("SETTINGS", "Language", "GERMAN"), "GERMAN");
    EXPECT_EQ(ini.ReadInteger("SETTINGS", "Effect", 1), 1);
    EXPECT_TRUE(ini.ReadBool("SETTINGS", "x", true));
    EXPECT_FALSE(ini.SectionExists("SETTINGS"));
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    ini.EraseSection("SETTINGS");
    ini.DeleteKey("SETTINGS", "Effect");
    EXPECT_TRUE(entries(dir).isEmpty());

    // A folder in the file's place reads as empty too.
    QDir().mkpath(dir + "folder.ini");
    EXPECT_EQ(TIniFile(dir + "folder.ini").ReadString("a", "b", "def"), "def");
}

TEST(IniWrite, KeepsTheRestOfTheFile)
{
    const QString file = makeIni("ini-write",
                                 "; settings\r\n"
                                 "[SETTINGS]\r\n"
                                 "Language=ENGLISH\r\n"
                                 "effect = 3 ; old\r\n"
                                 "Effect=9\r\n"
                                 "\r\n"
                                 "; drives below\r\n"
                                 "[DRIVES]\r\n"
                                 "D=/media/user/STICK\r\n");
    TIniFile ini(file);
    ini.WriteInteger("settings", "EFFECT", 7);       // replaces the first occurrence
    ini.WriteString("SETTINGS", "Drive", "D");       // appended to the section
    ini.WriteBool("NEW", "Flag", true);              // a new section at the end
    ini.WriteString("drives", "E", "/media/user/CARD");
    EXPECT_EQ(readBytes(file),
              "; settings\r\n"
              "[SETTINGS]\r\n"
              "Language=ENGLISH\r\n"
              "effect=7\r\n"
              "Effect=9\r\n"
              "Drive=D\r\n"
              "\r\n"
              "; drives below\r\n"
              "[DRIVES]\r\n"
              "D=/media/user/STICK\r\n"
              "E=/media/user/CARD\r\n"
              "\r\n"
              "[NEW]\r\n"
              "Flag=1\r\n");
    EXPECT_EQ(ini.ReadInteger("SETTINGS", "Effect", 0), 7);
    EXPECT_TRUE(ini.ReadBool("new", "flag", false));
    EXPECT_EQ(entries(QFileInfo(file).path()), QStringList{"Generator.ini"});
}

TEST(IniWrite, CreatesTheFileAndConvertsItToUtf8)
{
    const QString dir = kvtest::MakeTempFolder("ini-create");
    TIniFile ini(dir + "Generator.ini");
    ini.WriteString("SETTINGS", "DefaultTime", "5");
    EXPECT_EQ(readBytes(dir + "Generator.ini"), "[SETTINGS]\r\nDefaultTime=5\r\n");

    // An old Windows-1252 file with LF endings keeps its text when a key is written.
    const QString old = makeIni("ini-convert", "[TEXT]\nA=K\xF6ln\n");
    TIniFile o(old);
    o.WriteString("TEXT", "B", u("Zürich"));
    EXPECT_EQ(readBytes(old), "[TEXT]\r\nA=K\xC3\xB6ln\r\nB=Z\xC3\xBCrich\r\n");
}

TEST(IniWrite, ValuesReadBackAsWritten)
{
    const QString dir = kvtest::MakeTempFolder("ini-values");
    TIniFile ini(dir + "a.ini");
    const QString values[] = {
        "plain", " padded ", "'quoted'", "\"double\"", "\"one side", "", "a=b", ";x", u("ä€"),
    };
    for (const QString& v : values) {
        ini.WriteString("S", "K", v);
        EXPECT_EQ(TIniFile(dir + "a.ini").ReadString("S", "K", "<def>"), v) << v.toStdString();
    }
    // A line break cannot start a new line (or a new section) in the file.
    ini.WriteString("S", "K", "a\r\n[EVIL]\nb=c");
    EXPECT_EQ(ini.ReadString("S", "K", ""), "a [EVIL] b=c");
    EXPECT_FALSE(ini.SectionExists("EVIL"));
    ini.WriteString("S", "K", "plain");
    EXPECT_EQ(readBytes(dir + "a.ini"), "[S]\r\nK=plain\r\n");
}

TEST(IniWrite, EraseSectionAndDeleteKeyTakeEveryCopy)
{
    const QString file = makeIni("ini-erase",
                                 "[A]\nx=1\nx=2\ny=3\n[B]\nz=1\n[a]\nx=4\nw=5\n");
    TIniFile ini(file);
    ini.DeleteKey("a", "X");
    EXPECT_FALSE(ini.ValueExists("A", "x")) << "no later copy comes to light";
    EXPECT_EQ(ini.ReadSection("A"), (QStringList{"y", "w"}));
    ini.EraseSection("A");
    EXPECT_EQ(ini.ReadSections(), QStringList{"B"});
    EXPECT_EQ(readBytes(file), "[B]\r\nz=1\r\n");
}

TEST(IniWrite, FailureRaisesAndLeavesNothing)
{
    const QString dir = kvtest::MakeTempFolder("ini-fail");
    writeBytes(dir + "plain", "x");
    TIniFile below(dir + "plain/Generator.ini");
    try {
        below.WriteString("SETTINGS", "Drive", "D");
        ADD_FAILURE() << "wrote below a file";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(dir + "plain/Generator.ini")) << e.Message().toStdString();
    }
    EXPECT_THROW(TIniFile(dir + "missing/Generator.ini").WriteString("S", "K", "V"), Exception);
    EXPECT_EQ(readBytes(dir + "plain"), "x");
    EXPECT_EQ(entries(dir), QStringList{"plain"}) << "no parent folder made, no temporary left";

    // A file that exists but cannot be read is not replaced by a file of one key.
    QDir().mkpath(dir + "folder.ini");
    EXPECT_THROW(TIniFile(dir + "folder.ini").WriteString("S", "K", "V"), Exception);
    EXPECT_TRUE(QFileInfo(dir + "folder.ini").isDir());
}

TEST(IniRefresh, SeesOtherWriters)
{
    const QString file = makeIni("ini-refresh", "[S]\nK=1\n");
    TIniFile reader(file);
    EXPECT_EQ(reader.ReadString("S", "K", ""), "1");

    TIniFile writer(file);
    writer.WriteString("S", "K", "2");  // same size, new file through the safe replace
    EXPECT_EQ(reader.ReadString("S", "K", ""), "2");

    writeBytes(file, "[S]\nK=three\n");  // rewritten in place by some other program
    EXPECT_EQ(reader.ReadString("S", "K", ""), "three");

    // A write by a reader with an old copy keeps what the other writer stored.
    writer.WriteString("S", "Other", "x");
    reader.WriteString("S", "Mine", "y");
    EXPECT_EQ(writer.ReadString("S", "Other", ""), "x");
    EXPECT_EQ(writer.ReadString("S", "Mine", ""), "y");

    QFile::remove(file);
    EXPECT_EQ(reader.ReadString("S", "K", "gone"), "gone");
}

} // namespace
