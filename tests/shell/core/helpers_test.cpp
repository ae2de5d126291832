#include "shell/core/Helpers.h"

#include <gtest/gtest.h>


namespace {

struct PathCase {
    QString input;
    QString expected;
};

} // namespace

TEST(AddBackslash, FolderGetsOneTrailingSlashDriveLettersStay)
{
    const PathCase cases[] = {
        {"", ""},
        {"D", "D"},          // a drive letter of Generator.ini
        {"ab", "ab"},        // shorter than 3 characters without '/'
        {"C:", "C:"},        // ':' is an ordinary character
        {"/", "/"},
        {"/a", "/a/"},
        {"a/", "a/"},
        {"/x", "/x/"},
        {"/x/", "/x/"},
        {"abc", "abc/"},
        {"/home/user/Bilder", "/home/user/Bilder/"},
        {"/home/user/Bilder/", "/home/user/Bilder/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddBackslash(c.input), c.expected) << "input \"" << c.input.toStdString() << '"';
}

TEST(ExtractDirPart, FolderWithoutTrailingSlashExceptRoot)
{
    const QChar nul(u'\0');
    const PathCase cases[] = {
        {"file.txt", ""},
        {"", ""},
        {"/", "/"},
        {"/a.txt", "/"},
        {"/dir/a.txt", "/dir"},
        {"/dir/sub/", "/dir/sub"},
        {"a/b", "a"},
        {"C:a.txt", ""},        // no ':' rule on Linux
        {"/m:/x", "/m:"},
        {QString("ab") + nul + "cd", QString("ab") + nul},  // NUL ends a path and is kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractDirPart(c.input), c.expected) << "input \"" << c.input.toStdString() << '"';
}

TEST(ExtractFileBaseName, NameWithoutFolderAndLastExtension)
{
    const QString longName(300, QChar(u'n'));
    const PathCase cases[] = {
        {"/a/b.c/photo", "photo"},   // the dot belongs to the folder
        {"a.b.jpg", "a.b"},
        {"/x/y.jpg", "y"},
        {"noext", "noext"},
        {"/a/", ""},
        {"C:photo.jpg", "C:photo"},
        {"/p/" + longName + ".jpg", longName},  // never cut to 260 characters
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractFileBaseName(c.input), c.expected) << "input \"" << c.input.toStdString() << '"';
}

TEST(ExtractWord, RunsOfDelimitersCountOnce)
{
    struct Case {
        int n;
        QString s;
        QString delimiters;
        QString expected;
    };
    const Case cases[] = {
        {1, "Archive_0003 Urlaub 2004", " ", "Archive_0003"},
        {3, "Archive_0003 Urlaub 2004", " ", "2004"},
        {2, "a||b", "|", "b"},
        {2, "name | text", "|", " text"},   // the leading blank stays
        {1, "name | text", "|", "name "},
        {3, "a b", " ", ""},
        {1, "", " ", ""},
        {0, "a b", " ", ""},
        {-1, "a b", " ", ""},
        {1, "  lead", " ", "lead"},
        {2, "a;b;c;", ";", "b"},
        {2, "a b|c", " |", "b"},
        {3, "a b|c", " |", "c"},
        {1, "abc", "", "abc"},
        {2, "1005;2;5;1;3", ";", "2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractWord(c.n, c.s, c.delimiters), c.expected)
            << "word " << c.n << " of \"" << c.s.toStdString() << '"';
    }
}

TEST(WordPosition, OneBasedStartOfWord)
{
    int pos = -7;
    EXPECT_TRUE(WordPosition(2, "a||b", "|", pos));
    EXPECT_EQ(pos, 4);
    EXPECT_TRUE(WordPosition(1, "  x", " ", pos));
    EXPECT_EQ(pos, 3);
    pos = -7;
    EXPECT_FALSE(WordPosition(3, "a b", " ", pos));
    EXPECT_FALSE(WordPosition(0, "a b", " ", pos));
    EXPECT_EQ(pos, -7);
}

TEST(WordCount, CountsWordsNotDelimiters)
{
    struct Case {
        QString s;
        QString delimiters;
        int expected;
    };
    const Case cases[] = {
        {"", ";", 0},
        {";;;", ";", 0},
        {"a;;b;", ";", 2},
        {";a", ";", 1},
        {"Archive_0003 Urlaub 2004", " ", 3},
        {"a b|c", " |", 3},
        {"abc", "", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WordCount(c.s, c.delimiters), c.expected) << '"' << c.s.toStdString() << '"';
}

TEST(PadLeft, PadsButNeverCuts)
{
    EXPECT_EQ(PadLeft("7", '0', 4), "0007");
    EXPECT_EQ(PadLeft("12", '0', 3), "012");
    EXPECT_EQ(PadLeft("12345", '0', 4), "12345");
    EXPECT_EQ(PadLeft("12", '0', 2), "12");
    EXPECT_EQ(PadLeft("", 'x', 3), "xxx");
    EXPECT_EQ(PadLeft("5", '0', 0), "5");
    EXPECT_EQ(PadLeft("5", '0', -3), "5");
    EXPECT_EQ(PadRight("ab", '.', 4), "ab..");
    EXPECT_EQ(PadRight("abcde", '.', 4), "abcde");
}

TEST(StrToDouble, ConvertsWithTheGivenSeparator)
{
    struct Case {
        QString s;
        QChar separator;
        double expected;
    };
    const Case cases[] = {
        {"2,5", u',', 2.5},
        {"2.5", u'.', 2.5},
        {"2.5", u',', 2.5},      // the plain parser's point is always accepted
        {"5,", u',', 5},         // a separator at the end is dropped
        {"5.", u'.', 5},
        {",5", u',', 0.5},
        {"  3  ", u',', 3},
        {"3\t\r\n", u',', 3},
        {"-7", u',', -7},
        {"+7", u',', 7},
        {"1,5E2", u',', 150},
        {"2e-3", u',', 0.002},
        {"1e-400", u',', 0},     // below the smallest double: zero
        {"0012", u',', 12},
    };
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_TRUE(StrToDouble(c.s, v, c.separator)) << '"' << c.s.toStdString() << '"';
        EXPECT_DOUBLE_EQ(v, c.expected) << '"' << c.s.toStdString() << '"';
    }
}

TEST(StrToDouble, FailureGivesPositionOfFirstBadCharacter)
{
    struct Case {
        QString s;
        QChar separator;
        double position;
    };
    const Case cases[] = {
        {"abc", u',', 1},
        {"12x", u',', 3},
        {"2,5", u'.', 2},
        {"1,5,5", u',', 4},      // only the first separator is the decimal point
        {"1.5.5", u',', 4},
        {"-", u',', 2},          // the text ends before a digit
        {"1e", u',', 3},
        {"1e+", u',', 4},
        {" x", u',', 1},         // leading blanks are removed first
        {"\t5", u',', 1},        // only blanks, not tabs, are removed in front
        {"1 2", u',', 2},
        {"1e999", u',', 6},      // too large for a double
        {"inf", u',', 1},
        {"0x10", u',', 2},
    };
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_FALSE(StrToDouble(c.s, v, c.separator)) << '"' << c.s.toStdString() << '"';
        EXPECT_EQ(v, c.position) << '"' << c.s.toStdString() << '"';
    }
}

TEST(StrToDouble, EmptyOrBlankLeavesValueUnchanged)
{
    for (const char* s : {"", " ", " \t\r\n"}) {
        double v = 99;
        EXPECT_FALSE(StrToDouble(s, v, u','));
        EXPECT_EQ(v, 99);
    }
}

TEST(StrToDouble, DefaultSeparatorIsTheProgramLocales)
{
    double v = 0;
    ASSERT_TRUE(StrToDouble(QString("2") + LocaleDecimalSeparator() + "5", v));
    EXPECT_DOUBLE_EQ(v, 2.5);
}
