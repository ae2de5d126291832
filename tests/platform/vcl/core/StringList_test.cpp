#include "platform/vcl/StringList.h"

#include "FileHelpers.h"
#include "tests/support/TestEnv.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <functional>

namespace {

using coretest::entries;
using coretest::readBytes;
using coretest::writeBytes;

TStringList listOf(const QStringList& items)
{
    TStringList l;
    for (const QString& s : items)
        l.Add(s);
    return l;
}

QString message(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EStringListError& e) {
        return e.Message();
    }
    return "no error";
}

TEST(StringListText, SplitsAtEveryLineEnding)
{
    struct Case {
        QString text;
        QStringList lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n", {""}},
        {"\n\n", {"", ""}},
        {"", {}},
        {" x \t", {" x \t"}},
        {QString::fromUtf8("a\0b\nc", 5), {QString::fromUtf8("a\0b", 3), "c"}},
    };
    for (const Case& c : cases) {
        TStringList l;
        l.SetText(c.text);
        EXPECT_EQ(l.List(), c.lines) << c.text.toStdString();
    }
    EXPECT_EQ(listOf({"a", "", "b"}).Text(), "a\r\n\r\nb\r\n");
    EXPECT_EQ(TStringList().Text(), "");
}

TEST(StringListFile, SavesCrlfUtf8AndEmptyListAsEmptyFile)
{
    const QString dir = kvtest::MakeTempFolder("strings-save");
    listOf({"eins", QString::fromUtf8("zwei ä"), ""}).SaveToFile(dir + "a.txt");
    EXPECT_EQ(readBytes(dir + "a.txt"), "eins\r\nzwei \xC3\xA4\r\n\r\n");

    // A marker file: an empty list gives a file of 0 bytes, also over an older one.
    TStringList().SaveToFile(dir + "NoTip.ini");
    EXPECT_TRUE(QFileInfo::exists(dir + "NoTip.ini"));
    EXPECT_EQ(QFileInfo(dir + "NoTip.ini").size(), 0);
    writeBytes(dir + "old.ini", "old content");
    TStringList().SaveToFile(dir + "old.ini");
    EXPECT_EQ(QFileInfo(dir + "old.ini").size(), 0);
    EXPECT_EQ(entries(dir), (QStringList{"NoTip.ini", "a.txt", "old.ini"}));
}

TEST(StringListFile, LoadsEveryEncodingAndLineEnding)
{
    const QString dir = kvtest::MakeTempFolder("strings-load");
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"1005;2;5;1;3\r\n1006;2;5;1;3\r\n", {"1005;2;5;1;3", "1006;2;5;1;3"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"Gr\xFC\xDF" "e\r\n", {QString::fromUtf8("Grüße")}},
        {"\xEF\xBB\xBFK\xC3\xB6ln\n", {QString::fromUtf8("Köln")}},
        {"", {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString file = dir + QString::number(++n) + ".txt";
        writeBytes(file, c.bytes);
        TStringList l;
        l.LoadFromFile(file);
        EXPECT_EQ(l.List(), c.lines) << c.bytes.toStdString();
    }
}

TEST(StringListFile, FailuresNameTheFileAndKeepTheList)
{
    const QString dir = kvtest::MakeTempFolder("strings-fail");
    TStringList l = listOf({"keep"});
    try {
        l.LoadFromFile(dir + "missing.txt");
        ADD_FAILURE() << "loaded a missing file";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains("\"" + dir + "missing.txt\""));
    }
    EXPECT_EQ(l.List(), QStringList{"keep"});

    writeBytes(dir + "plain", "x");
    try {
        l.SaveToFile(dir + "plain/list.txt");
        ADD_FAILURE() << "saved below a file";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(dir + "plain/list.txt"));
    }
    EXPECT_EQ(entries(dir), QStringList{"plain"});
}

TEST(StringListSorted, KeepsOrderCaseInsensitivelyAndFinds)
{
    TStringList l;
    l.SetSorted(true);
    for (const char* s : {"delta", "Bravo", "alpha", "Charlie"})
        l.Add(s);
    EXPECT_EQ(l.List(), (QStringList{"alpha", "Bravo", "Charlie", "delta"}));

    int index = -1;
    EXPECT_TRUE(l.Find("CHARLIE", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(l.Find("bz", index));
    EXPECT_EQ(index, 2) << "where it would go";
    EXPECT_FALSE(l.Find("zulu", index));
    EXPECT_EQ(index, 4);
    EXPECT_EQ(l.IndexOf("bravo"), 1);
    EXPECT_EQ(l.IndexOf("echo"), -1);

    TStringList u = listOf({"b", "a", "B"});
    EXPECT_EQ(u.IndexOf("B"), 0) << "case-insensitive, first match";
    EXPECT_EQ(u.IndexOf("c"), -1);
    u.SetSorted(true);
    EXPECT_EQ(u.List(), (QStringList{"a", "b", "B"})) << "sorting is stable";
}

TEST(StringListSorted, Duplicates)
{
    TStringList l;
    l.SetSorted(true);
    l.Add("b");
    l.Add("a");
    EXPECT_EQ(l.Add("B"), 1) << "dupIgnore gives the index of the item already there";
    EXPECT_EQ(l.List(), (QStringList{"a", "b"}));

    l.SetDuplicates(TDuplicates::dupError);
    EXPECT_EQ(message([&] { l.Add("A"); }), "Duplicates not allowed");
    EXPECT_EQ(l.List(), (QStringList{"a", "b"}));
    EXPECT_EQ(message([&] { l.SetText("c\nd\nC\n"); }), "Duplicates not allowed");
    EXPECT_EQ(l.List(), (QStringList{"a", "b"})) << "a failing SetText keeps the list";

    l.SetDuplicates(TDuplicates::dupAccept);
    l.Add("A");
    l.Add("a");
    EXPECT_EQ(l.List(), (QStringList{"a", "A", "a", "b"})) << "equal items in the order added";

    TStringList unsorted;
    unsorted.SetDuplicates(TDuplicates::dupError);
    unsorted.Add("x");
    unsorted.Add("x");
    EXPECT_EQ(unsorted.Count(), 2) << "Duplicates applies to sorted lists only";
}

TEST(StringListSorted, PositionalChangesAreRefusedWithoutLoss)
{
    TStringList l = listOf({"b", "a"});
    l.SetSorted(true);
    const QString refused = "Operation not allowed on sorted list";
    EXPECT_EQ(message([&] { l.Insert(0, "z"); }), refused);
    EXPECT_EQ(message([&] { l.SetString(0, "z"); }), refused);
    EXPECT_EQ(message([&] { l.Move(0, 1); }), refused);
    EXPECT_EQ(l.List(), (QStringList{"a", "b"}));
}

TEST(StringListIndex, OutOfBoundsRaisesWithTheIndex)
{
    TStringList l = listOf({"a", "b"});
    EXPECT_EQ(message([&] { (void)l[2]; }), "List index out of bounds (2)");
    EXPECT_EQ(message([&] { (void)l[-1]; }), "List index out of bounds (-1)");
    EXPECT_EQ(message([&] { (void)l.Strings(5); }), "List index out of bounds (5)");
    EXPECT_EQ(message([&] { l.Delete(2); }), "List index out of bounds (2)");
    EXPECT_EQ(message([&] { l.Insert(3, "x"); }), "List index out of bounds (3)");
    EXPECT_EQ(message([&] { l.Move(0, 2); }), "List index out of bounds (2)");
    EXPECT_EQ(message([&] { l.Exchange(-1, 0); }), "List index out of bounds (-1)");
    EXPECT_EQ(message([&] { l.SetString(2, "x"); }), "List index out of bounds (2)");
    EXPECT_EQ(l.List(), (QStringList{"a", "b"}));

    l.Insert(2, "c");  // at the end is allowed
    l.Move(2, 0);
    l.Exchange(1, 2);
    l.Delete(0);
    l[0] = "B";
    EXPECT_EQ(l.List(), (QStringList{"B", "a"}));
}

} // namespace
