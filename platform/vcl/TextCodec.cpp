#include "platform/vcl/TextCodec.h"

#include "platform/vcl/Exceptions.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; the unassigned bytes map to the C1
// control of the same value, as Windows does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);

// The Windows-1252 byte of a code point, or -1.
int windows1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return int(cp);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == cp)
            return 0x80 + i;
    return -1;
}

QString decodeWindows1252ByTable(const QByteArray& bytes)
{
    QString r(bytes.size(), Qt::Uninitialized);
    QChar* out = r.data();
    for (const char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b));
    }
    return r;
}

} // namespace

bool IsValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        int length;
        char32_t cp;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)))
            || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        p += length;
    }
    return true;
}

QString DecodeWindows1252(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid())
        return decodeWindows1252ByTable(bytes);
    return decoder.decode(bytes);
}

QString DecodeText(const QByteArray& bytes)
{
    // A file that declares itself UTF-8 by its byte order mark stays UTF-8 even with a stray
    // bad sequence (shown as U+FFFD) rather than turning the mark into "ï»¿".
    // The decoder keeps a U+FEFF after the mark: it is the text's own first character.
    const auto utf8 = [](QByteArrayView view) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return QString(decoder.decode(view));
    };
    if (bytes.startsWith(kUtf8Bom))
        return utf8(QByteArrayView(bytes).sliced(3));
    if (IsValidUtf8(bytes))
        return utf8(bytes);
    return DecodeWindows1252(bytes);
}

QByteArray EncodeText(const QString& text) { return text.toUtf8(); }

QByteArray EncodeWindows1252Html(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t cp = text[i].unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(cp))
            cp = 0xFFFD;
        const int b = windows1252Byte(cp);
        if (b >= 0)
            out += char(b);
        else
            out += "&#" + QByteArray::number(quint32(cp)) + ';';
    }
    return out;
}

QByteArray ReadFileBytes(const QString& fileName)
{
    QFile file(fileName);
    const auto fail = [&](const QString& reason) {
        const int code = QFileInfo::exists(fileName) ? 5 : 2;
        throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason), code);
    };
    if (QFileInfo(fileName).isDir())
        fail(QStringLiteral("It is a folder"));
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(file.errorString());
    return data;
}

QString ReadTextFile(const QString& fileName) { return DecodeText(ReadFileBytes(fileName)); }

bool IsWriteProtected(const QString& fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // The mode counts for every user: root could write anyway, but a file that nobody may
    // write was protected on purpose.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::access(name.constData(), W_OK) != 0 && errno == EACCES;
}

QByteArray EncodeTextFile(const QString& text)
{
    // A text that starts with U+FEFF would lose it to the reader, which takes it for the
    // mark: a real mark in front keeps it.
    if (text.startsWith(QChar(0xFEFF)))
        return kUtf8Bom + text.toUtf8();
    return text.toUtf8();
}
