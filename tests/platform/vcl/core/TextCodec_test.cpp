#include "platform/vcl/TextCodec.h"

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

TEST(TextCodec, DecodesUtf8OrWindows1252)
{
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"plain ascii", "plain ascii"},
        {"", ""},
        {"\xC3\xA4", u("ä")},                               // UTF-8
        {"\xEF\xBB\xBF\xC3\xA4x", u("äx")},                 // UTF-8, the mark skipped
        {"\xEF\xBB\xBF", ""},
        {"\xF0\x9F\x98\x80", u("😀")},
        {"\xE4", u("ä")},                                   // Windows-1252
        {"Gr\xFC\xDF" "e \x80 \x84\x93", u("Grüße € „“")}, // Windows-1252, 0x80..0x9F not C1
        {"\xC3\xA4\xE4", u("Ã¤ä")},                         // one bad byte: the whole file is 1252
        {"\xC0\xAF", u("À¯")},                              // overlong form is not UTF-8
        {"\xED\xA0\x80", u("í\u00A0€")},                    // encoded surrogate is not UTF-8
        {"\xC3", u("Ã")},                                   // truncated sequence
        {"\xF4\x90\x80\x80", u("ô\u0090€€")},               // beyond U+10FFFF
        {QByteArray("a\0b", 3), QString::fromUtf8("a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeText(c.bytes), c.text) << c.bytes.toHex().toStdString();
}

TEST(TextCodec, ByteOrderMarkKeepsAFileUtf8EvenWithABadByte)
{
    const QString text = DecodeText("\xEF\xBB\xBF\xC3\xA4\xFF");
    EXPECT_EQ(text.left(1), u("ä"));
    EXPECT_FALSE(text.contains(u("ï»¿")));
}

TEST(TextCodec, EncodesUtf8WithoutMark)
{
    EXPECT_EQ(EncodeText(u("ä€")), QByteArray("\xC3\xA4\xE2\x82\xAC"));
    EXPECT_EQ(EncodeText(""), QByteArray());
}

TEST(TextCodec, Windows1252ForHtmlUsesReferencesOutsideTheCodePage)
{
    EXPECT_EQ(EncodeWindows1252Html(u("Grüße €")), QByteArray("Gr\xFC\xDF" "e \x80"));
    EXPECT_EQ(EncodeWindows1252Html(u("a→b")), QByteArray("a&#8594;b"));
    EXPECT_EQ(EncodeWindows1252Html(u("😀")), QByteArray("&#128512;"));
    EXPECT_EQ(EncodeWindows1252Html(QString(QChar(0xD800))), QByteArray("&#65533;"));
    EXPECT_EQ(EncodeWindows1252Html(QString(QChar(0x0080))), QByteArray("&#128;"))
        << "a C1 control is no Windows-1252 character";

    // Every byte decodes to a character that encodes back to the same byte.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString decoded = DecodeWindows1252(all);
    ASSERT_EQ(decoded.size(), 256);
    EXPECT_EQ(EncodeWindows1252Html(decoded), all);
}

TEST(SafeWrite, ReplacesAndCreatesWithoutLeftovers)
{
    const QString dir = kvtest::MakeTempFolder("safewrite");
    const QString file = dir + "a.txt";
    WriteFileSafely(file, "first");
    EXPECT_EQ(readBytes(file), "first");
    WriteFileSafely(file, "second, longer");
    EXPECT_EQ(readBytes(file), "second, longer");
    WriteFileSafely(file, "");
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(QFileInfo(file).size(), 0);
    EXPECT_EQ(entries(dir), QStringList{"a.txt"});
}

TEST(SafeWrite, FailureNamesTheFileAndChangesNothing)
{
    const QString dir = kvtest::MakeTempFolder("safewrite-fail");
    writeBytes(dir + "plain", "I am a file");
    QDir().mkpath(dir + "folder");
    for (const QString& target : {dir + "plain/a.txt", dir + "missing/a.txt", dir + "folder"}) {
        try {
            WriteFileSafely(target, "data");
            ADD_FAILURE() << "wrote " << target.toStdString();
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().startsWith("Cannot create file \"" + target + "\""))
                << e.Message().toStdString();
        }
    }
    EXPECT_EQ(readBytes(dir + "plain"), "I am a file");
    EXPECT_TRUE(QFileInfo(dir + "folder").isDir());
    EXPECT_TRUE(entries(dir + "folder").isEmpty());
    EXPECT_EQ(entries(dir), (QStringList{"folder", "plain"}));
}

TEST(ReadFile, MissingOrFolderRaisesNamingTheFile)
{
    const QString dir = kvtest::MakeTempFolder("readfile");
    struct Case {
        QString path;
        int code;
    };
    for (const Case& c : {Case{dir + "none.txt", 2}, Case{dir, 5}}) {
        try {
            ReadFileBytes(c.path);
            ADD_FAILURE() << "read " << c.path.toStdString();
        } catch (const EInOutError& e) {
            EXPECT_TRUE(e.Message().startsWith("Cannot open file \"" + c.path + "\". "))
                << e.Message().toStdString();
            EXPECT_EQ(e.ErrorCode, c.code);
        }
    }
    writeBytes(dir + "x.txt", "\xE4");
    EXPECT_EQ(ReadTextFile(dir + "x.txt"), u("ä"));
}

} // namespace
