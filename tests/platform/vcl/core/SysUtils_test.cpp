#include "platform/vcl/SysUtils.h"

#include "tests/support/TestEnv.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>

namespace {

const QChar kDot = QLatin1Char('.');
const QChar kComma = QLatin1Char(',');

TEST(RoundTrunc, RoundHalvesToEvenTruncTowardsZero)
{
    struct Case {
        double value;
        long long round;
        long long trunc;
    };
    const Case cases[] = {
        {2.5, 2, 2},        {3.5, 4, 3},       {-2.5, -2, -2},    {-3.5, -4, -3},
        {0.5, 0, 0},        {1.5, 2, 1},       {-0.5, 0, 0},      {2.4999999, 2, 2},
        {2.5000001, 3, 2},  {-2.6, -3, -2},    {-2.4, -2, -2},    {0.0, 0, 0},
        {-0.1, 0, 0},       {1e15 + 0.5, 1000000000000000, 1000000000000000},
        {4503599627370497.0, 4503599627370497, 4503599627370497},
        {-9.2233720368547758e18, std::numeric_limits<long long>::min(),
         std::numeric_limits<long long>::min()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Round(c.value), c.round) << c.value;
        EXPECT_EQ(Trunc(c.value), c.trunc) << c.value;
    }
}

TEST(RoundTrunc, ValuesWithoutAnIntegerRaise)
{
    for (double v : {std::nan(""), HUGE_VAL, -HUGE_VAL, 9.2233720368547758e18, 1e300}) {
        EXPECT_THROW(Round(v), EInvalidOp) << v;
        EXPECT_THROW(Trunc(v), EInvalidOp) << v;
    }
}

TEST(StrToInt, AcceptedForms)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"12", 12},          {"-12", -12},          {"+7", 7},
        {"  42", 42},        {"0x1F", 31},          {"0X1f", 31},
        {"$ff", 255},        {"-0x10", -16},        {"-$10", -16},
        {"007", 7},          {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<int>::min()},
        {"0xFFFFFFFF", -1},  {"$80000000", std::numeric_limits<int>::min()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
        int v = 0;
        EXPECT_TRUE(TryStrToInt(c.text, v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(StrToIntDef(c.text, -99), c.value) << c.text;
    }
}

TEST(StrToInt, RejectedFormsRaiseTheFrameworkMessage)
{
    const QString bad[] = {
        "",       "abc",    "12abc",  "12 ",     "1.5",        "2147483648", "-2147483649",
        "0x",     "$",      "-",      "+",       "0x1G",       "1 2",        "0x100000000",
        "--1",    "1e3",    QString::fromUtf8("\u0661\u0662"), "\t5",
    };
    for (const QString& s : bad) {
        try {
            StrToInt(s);
            ADD_FAILURE() << "accepted " << s.toStdString();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + s + "' is not a valid integer value");
        }
        int v = 123;
        EXPECT_FALSE(TryStrToInt(s, v)) << s.toStdString();
        EXPECT_EQ(v, 123) << "a failed TryStrToInt keeps the value";
        EXPECT_EQ(StrToIntDef(s, -99), -99) << s.toStdString();
    }
}

TEST(StrToInt, SixtyFourBitRange)
{
    EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<long long>::max());
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<long long>::min());
    EXPECT_EQ(StrToInt64("0xFFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(StrToInt64Def("x", 5), 5);
}

TEST(StrToFloat, AcceptedAndRejectedWithEachSeparator)
{
    struct Case {
        const char* text;
        QChar sep;
        double value;
    };
    const Case ok[] = {
        {"1.5", kDot, 1.5},          {" -2.25e3 ", kDot, -2250},   {"5.", kDot, 5},
        {".5", kDot, 0.5},           {"1E-3", kDot, 0.001},        {"+4", kDot, 4},
        {"1,5", kComma, 1.5},        {"-0,25", kComma, -0.25},     {"1e-400", kDot, 0},
        {"12", kComma, 12},
    };
    for (const Case& c : ok) {
        EXPECT_DOUBLE_EQ(StrToFloat(c.text, c.sep), c.value) << c.text;
        EXPECT_DOUBLE_EQ(StrToFloatDef(c.text, -1, c.sep), c.value) << c.text;
    }
    struct Bad {
        const char* text;
        QChar sep;
    };
    const Bad bad[] = {
        {"1,5", kDot}, {"1.5", kComma}, {"abc", kDot}, {"", kDot},     {"1e", kDot},
        {"inf", kDot}, {"nan", kDot},   {"1.2.3", kDot}, {"1e400", kDot}, {".", kDot},
        {"1 000", kDot}, {"0x10", kDot}, {"-", kDot},
    };
    for (const Bad& b : bad) {
        try {
            StrToFloat(b.text, b.sep);
            ADD_FAILURE() << "accepted " << b.text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QString("'%1' is not a valid floating point value").arg(b.text));
        }
        EXPECT_EQ(StrToFloatDef(b.text, -1, b.sep), -1) << b.text;
    }
}

TEST(StrToFloat, DefaultSeparatorIsTheProgramLocale)
{
    const QChar sep = LocaleDecimalSeparator();
    const QString text = QString("2") + sep + "3";
    EXPECT_DOUBLE_EQ(StrToFloat(text), 2.3);
    EXPECT_EQ(FloatToStr(2.3), text);
}

TEST(ParseUserDecimal, CommaAndDotInEveryLocale)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case ok[] = {{"2,5", 2.5}, {"2.5", 2.5}, {" 3 ", 3}, {"5,", 5}, {",5", 0.5}, {"-1.25", -1.25}};
    for (const Case& c : ok) {
        double v = 0;
        EXPECT_TRUE(TryParseUserDecimal(c.text, v)) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        EXPECT_DOUBLE_EQ(ParseUserDecimal(c.text), c.value) << c.text;
    }
    for (const char* bad : {"2,5,1", "2.5,1", "abc", "", "1e3", ",", "1 5"}) {
        double v = 7;
        EXPECT_FALSE(TryParseUserDecimal(bad, v)) << bad;
        EXPECT_EQ(v, 7);
        EXPECT_THROW(ParseUserDecimal(bad), EConvertError) << bad;
    }
}

TEST(FloatToStr, ShortestFormWithFifteenDigits)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-1.5, "-1.5"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {100, "100"},
        {123456789012345.0, "123456789012345"},
        {1e14, "100000000000000"},
        {1e15, "1E15"},
        {1234567890123456.0, "1.23456789012346E15"},
        {999999999999999.9, "1E15"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {0.00001, "1E-5"},
        {1.5e-7, "1.5E-7"},
        {-2.25e-7, "-2.25E-7"},
        {1e20, "1E20"},
        {1.5e300, "1.5E300"},
        {5e-324, "4.94065645841247E-324"},
        {std::nan(""), "NAN"},
        {HUGE_VAL, "INF"},
        {-HUGE_VAL, "-INF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FloatToStr(c.value, kDot), c.text) << c.value;
    EXPECT_EQ(FloatToStr(1.5, kComma), "1,5");
    EXPECT_EQ(FloatToStr(1.5e20, kComma), "1,5E20");
}

TEST(FloatToStr, TextReadsBackToTheSameNumber)
{
    for (double v : {0.1, 2.5, 1.0 / 7, 12345.678, 1e-10, 6.02214076e23, -0.003}) {
        const QString text = FloatToStr(v, kDot);
        EXPECT_NEAR(StrToFloat(text, kDot), v, std::fabs(v) * 1e-14) << text.toStdString();
    }
}

TEST(Format, Conversions)
{
    struct Case {
        QString result;
        const char* expected;
    };
    const Case cases[] = {
        {Format(kDot, "%d", {42}), "42"},
        {Format(kDot, "%5d|", {42}), "   42|"},
        {Format(kDot, "%-5d|", {42}), "42   |"},
        {Format(kDot, "%.3d", {42}), "042"},
        {Format(kDot, "%.3d", {-5}), "-005"},
        {Format(kDot, "%d", {-2147483647 - 1}), "-2147483648"},
        {Format(kDot, "%d", {9000000000LL}), "9000000000"},
        {Format(kDot, "%u", {-1}), "4294967295"},
        {Format(kDot, "%x", {255}), "FF"},
        {Format(kDot, "%x", {-1}), "FFFFFFFF"},
        {Format(kDot, "%x", {-1LL}), "FFFFFFFFFFFFFFFF"},
        {Format(kDot, "%.4x", {255}), "00FF"},
        {Format(kDot, "%s and %s", {QString("a"), "b"}), "a and b"},
        {Format(kDot, "[%6s]", {QString::fromUtf8("äb")}), "[    äb]"},
        {Format(kDot, "[%-4s]", {"ab"}), "[ab  ]"},
        {Format(kDot, "%.2s", {"abc"}), "ab"},
        {Format(kDot, "%s", {QChar('x')}), "x"},
        {Format(kDot, "%f", {1.0}), "1.00"},
        {Format(kDot, "%f", {3}), "3.00"},
        {Format(kDot, "%.1f", {0.25}), "0.3"},
        {Format(kDot, "%.2f", {0.125}), "0.13"},
        {Format(kDot, "%.2f", {2.675}), "2.67"},
        {Format(kDot, "%.0f", {2.5}), "3"},
        {Format(kDot, "%.0f", {0.4}), "0"},
        {Format(kDot, "%.1f", {-0.04}), "0.0"},
        {Format(kDot, "%.1f", {-0.05}), "-0.1"},
        {Format(kDot, "%.2f", {99.999}), "100.00"},
        {Format(kDot, "%.3f", {0.0005}), "0.001"},
        {Format(kDot, "%8.2f|", {3.14159}), "    3.14|"},
        {Format(kDot, "%f", {1e20}), "100000000000000000000.00"},
        {Format(kComma, "%.1f", {2.5}), "2,5"},
        {Format(kDot, "%g", {0.5}), "0.5"},
        {Format(kDot, "%g", {1e20}), "1E20"},
        {Format(kDot, "%.3g", {1234.5}), "1.23E3"},
        {Format(kDot, "%e", {1234.5}), "1.23450000000000E+003"},
        {Format(kDot, "%.3e", {-0.00012345}), "-1.23E-004"},
        {Format(kDot, "%.2e", {0.0}), "0.0E+000"},
        {Format(kDot, "100%%", {}), "100%"},
        {Format(kDot, "%*d", {5, 42}), "   42"},
        {Format(kDot, "%.*f", {1, 2.25}), "2.3"},
        {Format(kDot, "%1:s %0:s", {"a", "b"}), "b a"},
        {Format(kDot, "%D %S", {1, "x"}), "1 x"},
        {Format("%s has %d pictures", QString("Urlaub"), 12), "Urlaub has 12 pictures"},
        {Format("no arguments"), "no arguments"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, c.expected);
}

QString formatError(const char* format, std::initializer_list<TVarRec> args)
{
    try {
        Format(kDot, format, args);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "accepted";
}

TEST(Format, WrongOrMissingArgumentsRaise)
{
    const QString invalid = "Format '%1' invalid or incompatible with argument";
    EXPECT_EQ(formatError("%d", {"text"}), invalid.arg("%d"));
    EXPECT_EQ(formatError("%d", {1.5}), invalid.arg("%d"));
    EXPECT_EQ(formatError("%s", {3}), invalid.arg("%s"));
    EXPECT_EQ(formatError("%f", {"x"}), invalid.arg("%f"));
    EXPECT_EQ(formatError("%q", {1}), invalid.arg("%q"));
    EXPECT_EQ(formatError("50%", {}), invalid.arg("50%"));
    EXPECT_EQ(formatError("%*d", {"x", 1}), invalid.arg("%*d"));
    EXPECT_EQ(formatError("%d %d", {1}), "No argument for format '%d %d'");
    EXPECT_EQ(formatError("%*d", {}), "No argument for format '%*d'");
}

// Makes the C library run in a German locale (decimal comma) for the test's duration;
// generates the locale into the test folder when the system has none.
class GermanCLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
            const QString dir = kvtest::MakeTempFolder("locale");
            QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", dir + "de_DE.UTF-8"});
            setenv("LOCPATH", dir.toLocal8Bit().constData(), 1);
            if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
                unsetenv("LOCPATH");
                GTEST_SKIP() << "no German locale available";
            }
        }
    }
    void TearDown() override
    {
        std::setlocale(LC_ALL, m_saved.c_str());
        unsetenv("LOCPATH");
    }

private:
    std::string m_saved;
};

TEST_F(GermanCLocale, FileNumbersStayLocaleFree)
{
    // The C library now reads "2.5" as 2: our conversions must not go through it.
    ASSERT_EQ(std::strtod("2.5", nullptr), 2.0);

    EXPECT_DOUBLE_EQ(StrToFloat("2.5", kDot), 2.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-1.25e2", kDot), -125);
    EXPECT_THROW(StrToFloat("2,5", kDot), EConvertError);
    EXPECT_EQ(FloatToStr(2.5, kDot), "2.5");
    EXPECT_EQ(FloatToStr(1.5e-7, kDot), "1.5E-7");
    EXPECT_EQ(Format(kDot, "%.2f %g %e", {2.5, 0.75, 1.0}), "2.50 0.75 1.00000000000000E+000");
    EXPECT_DOUBLE_EQ(ParseUserDecimal("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(ParseUserDecimal("2,5"), 2.5);
    EXPECT_EQ(StrToInt("1234"), 1234);
}

TEST(Text, TrimAndCase)
{
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a \x01"), "  a");
    EXPECT_EQ(Trim(QString::fromUtf8("\u00A0a\u00A0")), QString::fromUtf8("\u00A0a\u00A0"))
        << "only codes up to 32 are trimmed";
    EXPECT_EQ(Trim(" \t "), "");

    EXPECT_EQ(UpperCase(QString::fromUtf8("äbc")), QString::fromUtf8("äBC"));
    EXPECT_EQ(LowerCase(QString::fromUtf8("ÄBC")), QString::fromUtf8("Äbc"));
    EXPECT_EQ(AnsiUpperCase(QString::fromUtf8("äbc")), QString::fromUtf8("ÄBC"));
    EXPECT_EQ(AnsiLowerCase(QString::fromUtf8("ÄBC")), QString::fromUtf8("äbc"));

    EXPECT_TRUE(SameText("GERMAN", "german"));
    EXPECT_FALSE(SameText(QString::fromUtf8("ä"), QString::fromUtf8("Ä")));
    EXPECT_TRUE(AnsiSameText(QString::fromUtf8("ä"), QString::fromUtf8("Ä")));
    EXPECT_FALSE(SameText("ab", "abc"));
    EXPECT_LT(CompareText("a", "B"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("ab", "ABC"), 0);
    EXPECT_EQ(CompareText("Key", "kEY"), 0);
    EXPECT_LT(AnsiCompareText(QString::fromUtf8("äa"), QString::fromUtf8("Äb")), 0);

    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(QuotedStr(""), "''");
}

TEST(Text, IntegerText)
{
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(9000000000LL), "9000000000");
    EXPECT_EQ(IntToStr(std::size_t(7)), "7");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0xABCDE, 2), "ABCDE");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(-1LL, 2), "FFFFFFFFFFFFFFFF");
}

TEST(Random, SeededSequenceRepeatsAndStaysInRange)
{
    RandSeed = 12345;
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i)
        first.push_back(Random(10));
    RandSeed = 12345;
    std::set<int> seen;
    for (int i = 0; i < 1000; ++i) {
        const int v = Random(10);
        ASSERT_EQ(v, first[std::size_t(i)]) << "at " << i;
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 10u) << "every value of the range comes up";
    EXPECT_GE(*seen.begin(), 0);
    EXPECT_LE(*seen.rbegin(), 9);

    for (int i = 0; i < 1000; ++i) {
        const double x = Random();
        ASSERT_GE(x, 0.0);
        ASSERT_LT(x, 1.0);
    }
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    EXPECT_EQ(Random(1), 0);

    RandSeed = 1;
    const int a = Random(1 << 30);
    RandSeed = 2;
    EXPECT_NE(Random(1 << 30), a) << "the seed matters";
    Randomize();
    const std::int32_t s1 = RandSeed;
    Random(5);
    EXPECT_NE(RandSeed, s1) << "each draw advances the seed";
}

TEST(FileNames, Parts)
{
    struct Case {
        const char* path;
        const char* name;
        const char* filePath;
        const char* dir;
        const char* ext;
        const char* toJpg;
    };
    const Case cases[] = {
        {"/a/b.txt", "b.txt", "/a/", "/a", ".txt", "/a/b.jpg"},
        {"/a/b.tar.gz", "b.tar.gz", "/a/", "/a", ".gz", "/a/b.tar.jpg"},
        {"/a.b/c", "c", "/a.b/", "/a.b", "", "/a.b/c.jpg"},
        {"b.txt", "b.txt", "", "", ".txt", "b.jpg"},
        {"/b", "b", "/", "/", "", "/b.jpg"},
        {"/a/", "", "/a/", "/a", "", "/a/.jpg"},
        {".hidden", ".hidden", "", "", ".hidden", ".jpg"},
        {"", "", "", "", "", ".jpg"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
        EXPECT_EQ(ExtractFilePath(c.path), c.filePath) << c.path;
        EXPECT_EQ(ExtractFileDir(c.path), c.dir) << c.path;
        EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
        EXPECT_EQ(ChangeFileExt(c.path, ".jpg"), c.toJpg) << c.path;
    }
    EXPECT_EQ(ChangeFileExt("/a/b.bmp", ""), "/a/b");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a"), "/a");
}

} // namespace
