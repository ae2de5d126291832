#include "platform/vcl/SysUtils.h"

#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

// ---- Text ---------------------------------------------------------------------------------

namespace {

bool isBlankOrControl(QChar c) { return c.unicode() <= 32; }

QChar asciiUpper(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') ? QChar(char16_t(u - 32)) : c;
}

QChar asciiLower(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') ? QChar(char16_t(u + 32)) : c;
}

} // namespace

QString Trim(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlankOrControl(s[b]))
        ++b;
    while (e > b && isBlankOrControl(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QString TrimLeft(const QString& s)
{
    qsizetype b = 0;
    while (b < s.size() && isBlankOrControl(s[b]))
        ++b;
    return s.mid(b);
}

QString TrimRight(const QString& s)
{
    qsizetype e = s.size();
    while (e > 0 && isBlankOrControl(s[e - 1]))
        --e;
    return s.left(e);
}

QString UpperCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = asciiUpper(c);
    return r;
}

QString LowerCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = asciiLower(c);
    return r;
}

QString AnsiUpperCase(const QString& s) { return s.toUpper(); }
QString AnsiLowerCase(const QString& s) { return s.toLower(); }

int CompareText(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int d = int(asciiUpper(a[i]).unicode()) - int(asciiUpper(b[i]).unicode());
        if (d != 0)
            return d;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(const QString& a, const QString& b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int AnsiCompareText(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

bool AnsiSameText(const QString& a, const QString& b) { return AnsiCompareText(a, b) == 0; }

QString QuotedStr(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

// ---- Integers ---------------------------------------------------------------------------

QString IntToStr(int value) { return QString::number(value); }
QString IntToStr(long value) { return QString::number(value); }
QString IntToStr(long long value) { return QString::number(value); }
QString IntToStr(unsigned value) { return QString::number(value); }
QString IntToStr(unsigned long value) { return QString::number(value); }
QString IntToStr(unsigned long long value) { return QString::number(value); }

namespace {

QString hexDigits(unsigned long long value, int digits)
{
    QString r = QString::number(value, 16).toUpper();
    if (r.size() < digits)
        r = QString(digits - r.size(), QLatin1Char('0')) + r;
    return r;
}

} // namespace

QString IntToHex(int value, int digits) { return hexDigits(static_cast<std::uint32_t>(value), digits); }
QString IntToHex(long value, int digits) { return IntToHex(static_cast<long long>(value), digits); }
QString IntToHex(long long value, int digits)
{
    return hexDigits(static_cast<unsigned long long>(value), digits);
}

namespace {

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The framework's integer syntax (see StrToInt). `bits` is 32 or 64; hexadecimal values use
// the full unsigned width and wrap into the signed type.
bool parseInteger(QStringView s, int bits, bool allowDollar, long long& out)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (allowDollar && i < n && s[i] == QLatin1Char('$')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == QLatin1Char('0')
               && (s[i + 1] == QLatin1Char('x') || s[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;

    const unsigned long long unsignedMax = bits == 32 ? 0xFFFFFFFFull : ~0ull;
    const unsigned long long positiveMax = unsignedMax >> 1;
    const unsigned long long base = hex ? 16 : 10;
    unsigned long long value = 0;
    for (; i < n; ++i) {
        const int digit = hex ? hexValue(s[i]) : (s[i].isDigit() && s[i].unicode() < 128
                                                      ? s[i].unicode() - '0' : -1);
        if (digit < 0)
            return false;
        if (value > (unsignedMax - unsigned(digit)) / base)
            return false;
        value = value * base + unsigned(digit);
    }
    if (!hex && value > positiveMax + (negative ? 1 : 0))
        return false;
    if (negative)
        value = (0ull - value) & unsignedMax;
    if (bits == 32)
        out = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    else
        out = static_cast<long long>(value);
    return true;
}

[[noreturn]] void throwNotInteger(const QString& s)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
}

[[noreturn]] void throwNotFloat(const QString& s)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
}

} // namespace

bool TryStrToInt(const QString& s, int& value)
{
    long long v = 0;
    if (!parseInteger(s, 32, true, v))
        return false;
    value = int(v);
    return true;
}

bool TryStrToInt64(const QString& s, long long& value)
{
    return parseInteger(s, 64, true, value);
}

int StrToInt(const QString& s)
{
    int v = 0;
    if (!TryStrToInt(s, v))
        throwNotInteger(s);
    return v;
}

long long StrToInt64(const QString& s)
{
    long long v = 0;
    if (!TryStrToInt64(s, v))
        throwNotInteger(s);
    return v;
}

int StrToIntDef(const QString& s, int def)
{
    int v = 0;
    return TryStrToInt(s, v) ? v : def;
}

long long StrToInt64Def(const QString& s, long long def)
{
    long long v = 0;
    return TryStrToInt64(s, v) ? v : def;
}

// ---- Floating point ---------------------------------------------------------------------

QChar LocaleDecimalSeparator()
{
    const QString p = QLocale::system().decimalPoint();
    return p.isEmpty() ? QLatin1Char('.') : p[0];
}

namespace {

// strtod in the "C" locale, whatever the process locale is.
locale_t cLocale()
{
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return loc;
}

// Converts an ASCII number in C syntax; false on overflow. Underflow gives 0 or a denormal.
bool convertAscii(const std::string& text, double& value)
{
    errno = 0;
    char* end = nullptr;
    const double v = strtod_l(text.c_str(), &end, cLocale());
    if (end != text.c_str() + text.size())
        return false;
    if (errno == ERANGE && std::isinf(v))
        return false;
    value = v;
    return true;
}

// Checks the number syntax with the given decimal separator(s) and rewrites it in C syntax.
// `allowExponent` false: digits and one separator only.
bool toAsciiNumber(QStringView s, QChar sep1, QChar sep2, bool allowExponent, std::string& out)
{
    out.clear();
    qsizetype i = 0;
    const qsizetype n = s.size();
    const auto isDigit = [&](qsizetype k) {
        return k < n && s[k].unicode() >= '0' && s[k].unicode() <= '9';
    };
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        if (s[i] == QLatin1Char('-'))
            out += '-';
        ++i;
    }
    int digits = 0;
    for (; isDigit(i); ++i, ++digits)
        out += char(s[i].unicode());
    if (i < n && (s[i] == sep1 || s[i] == sep2)) {
        out += '.';
        ++i;
        for (; isDigit(i); ++i, ++digits)
            out += char(s[i].unicode());
    }
    if (digits == 0)
        return false;
    if (allowExponent && i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        out += 'e';
        ++i;
        if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
            out += char(s[i++].unicode());
        if (!isDigit(i))
            return false;
        for (; isDigit(i); ++i)
            out += char(s[i].unicode());
    }
    return i == n;
}

bool parseFloat(const QString& s, QChar sep1, QChar sep2, bool allowExponent, double& value)
{
    std::string ascii;
    return toAsciiNumber(QStringView(Trim(s)), sep1, sep2, allowExponent, ascii)
        && convertAscii(ascii, value);
}

} // namespace

bool TryStrToFloat(const QString& s, double& value, QChar decimalSeparator)
{
    return parseFloat(s, decimalSeparator, decimalSeparator, true, value);
}

bool TryStrToFloat(const QString& s, double& value)
{
    return TryStrToFloat(s, value, LocaleDecimalSeparator());
}

double StrToFloat(const QString& s, QChar decimalSeparator)
{
    double v = 0;
    if (!TryStrToFloat(s, v, decimalSeparator))
        throwNotFloat(s);
    return v;
}

double StrToFloat(const QString& s) { return StrToFloat(s, LocaleDecimalSeparator()); }

double StrToFloatDef(const QString& s, double def, QChar decimalSeparator)
{
    double v = 0;
    return TryStrToFloat(s, v, decimalSeparator) ? v : def;
}

double StrToFloatDef(const QString& s, double def)
{
    return StrToFloatDef(s, def, LocaleDecimalSeparator());
}

bool TryParseUserDecimal(const QString& s, double& value)
{
    return parseFloat(s, QLatin1Char(','), QLatin1Char('.'), false, value);
}

double ParseUserDecimal(const QString& s)
{
    double v = 0;
    if (!TryParseUserDecimal(s, v))
        throwNotFloat(s);
    return v;
}

namespace {

// A finite value as decimal digits: |value| = 0.d1 d2 d3 ... * 10^pointPos, no leading zero
// digit; no digits for zero. Taken to 18 significant digits and then rounded half away from
// zero to the places asked for, as the framework formats numbers.
struct Decimal {
    bool negative = false;
    std::string digits;
    int pointPos = 0;
};

Decimal decompose(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0)
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, 17);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    for (std::size_t k = 0; k < e; ++k)
        if (text[k] != '.')
            d.digits += text[k];
    d.pointPos = std::atoi(text.c_str() + e + 1) + 1;
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero, and drops trailing zeros.
void roundDigits(Decimal& d, int keep)
{
    if (keep < int(d.digits.size())) {
        const bool up = keep >= 0 && d.digits[std::size_t(keep)] >= '5';
        d.digits.resize(std::size_t(std::max(keep, 0)));
        if (up) {
            int k = keep - 1;
            while (k >= 0 && d.digits[std::size_t(k)] == '9')
                d.digits[std::size_t(k--)] = '0';
            if (k >= 0) {
                ++d.digits[std::size_t(k)];
            } else {
                d.digits.insert(d.digits.begin(), '1');
                ++d.pointPos;
            }
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

Decimal significantDigits(double value, int count)
{
    Decimal d = decompose(value);
    roundDigits(d, count);
    return d;
}

char digitAt(const Decimal& d, int index)
{
    return index >= 0 && index < int(d.digits.size()) ? d.digits[std::size_t(index)] : '0';
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString exponentText(int exponent, bool alwaysSign, int minDigits)
{
    QString r = QString::number(std::abs(exponent));
    if (r.size() < minDigits)
        r = QString(minDigits - r.size(), QLatin1Char('0')) + r;
    if (exponent < 0)
        return QLatin1Char('-') + r;
    return alwaysSign ? QLatin1Char('+') + r : r;
}

// Digits `from` .. `to` - 1 of d (zeros outside its digits).
QString digitRange(const Decimal& d, int from, int to)
{
    QString r;
    for (int k = from; k < to; ++k)
        r += QLatin1Char(digitAt(d, k));
    return r;
}

QString sign(const Decimal& d)
{
    return d.negative && !d.digits.empty() ? QStringLiteral("-") : QString();
}

// The shortest of fixed and scientific notation with `precision` significant digits.
QString formatGeneral(double value, int precision, QChar sep)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    precision = std::clamp(precision, 1, 18);
    const Decimal d = significantDigits(value, precision);
    if (d.digits.empty())
        return QStringLiteral("0");
    const int count = int(d.digits.size());
    QString r = sign(d);
    if (d.pointPos > precision || d.pointPos < -3) {
        r += QLatin1Char(d.digits[0]);
        if (count > 1)
            r += sep + digitRange(d, 1, count);
        return r + QLatin1Char('E') + exponentText(d.pointPos - 1, false, 0);
    }
    r += d.pointPos > 0 ? digitRange(d, 0, d.pointPos) : QStringLiteral("0");
    if (count > d.pointPos)
        r += sep + digitRange(d, d.pointPos, count);
    return r;
}

// "-d.ddd…E+ddd" with `precision` significant digits.
QString formatExponent(double value, int precision, QChar sep)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    precision = std::clamp(precision, 1, 18);
    const Decimal d = significantDigits(value, precision);
    const int exponent = d.digits.empty() ? 0 : d.pointPos - 1;
    QString r = sign(d) + QLatin1Char(digitAt(d, 0));
    if (precision > 1)
        r += sep + digitRange(d, 1, precision);
    return r + QLatin1Char('E') + exponentText(exponent, true, 3);
}

// Fixed notation with `decimals` places; a value that rounds to zero has no minus sign.
QString formatFixed(double value, int decimals, QChar sep)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    decimals = std::clamp(decimals, 0, 18);
    Decimal d = decompose(value);
    roundDigits(d, d.pointPos + decimals);
    QString r = sign(d) + (d.pointPos > 0 ? digitRange(d, 0, d.pointPos) : QStringLiteral("0"));
    if (decimals > 0)
        r += sep + digitRange(d, d.pointPos, d.pointPos + decimals);
    return r;
}

} // namespace

QString FloatToStr(double value, QChar decimalSeparator)
{
    return formatGeneral(value, 15, decimalSeparator);
}

QString FloatToStr(double value) { return FloatToStr(value, LocaleDecimalSeparator()); }

namespace {

// Doubles from -2^63 up to (not including) 2^63 fit into 64 bits.
void checkInt64Range(double value)
{
    if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0))
        throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
}

} // namespace

long long Round(double value)
{
    double r = std::floor(value);
    const double fraction = value - r;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(r, 2.0) != 0))
        r += 1;
    checkInt64Range(r);
    return static_cast<long long>(r);
}

long long Trunc(double value)
{
    const double r = std::trunc(value);
    checkInt64Range(r);
    return static_cast<long long>(r);
}

// ---- Format -----------------------------------------------------------------------------

namespace {

[[noreturn]] void throwInvalidFormat(const QString& format)
{
    throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
}

[[noreturn]] void throwMissingArgument(const QString& format)
{
    throw EConvertError(QStringLiteral("No argument for format '%1'").arg(format));
}

QString padDigits(QString digits, int precision)
{
    if (digits.size() < precision)
        digits = QString(precision - digits.size(), QLatin1Char('0')) + digits;
    return digits;
}

} // namespace

QString Format(QChar sep, const QString& format, std::initializer_list<TVarRec> args)
{
    const TVarRec* const argv = args.begin();
    const int argc = int(args.size());
    int next = 0;
    const auto take = [&]() -> const TVarRec& {
        if (next >= argc)
            throwMissingArgument(format);
        return argv[next++];
    };
    const auto takeInt = [&]() -> int {
        const TVarRec& a = take();
        if (a.kind() != TVarRec::Kind::Integer && a.kind() != TVarRec::Kind::Int64)
            throwInvalidFormat(format);
        return int(a.toInt());
    };

    QString out;
    const qsizetype n = format.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = format[i];
        if (c != QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i < n && format[i] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        const auto readNumber = [&]() -> int {
            if (i < n && format[i] == QLatin1Char('*')) {
                ++i;
                return takeInt();
            }
            int v = 0;
            while (i < n && format[i].unicode() >= '0' && format[i].unicode() <= '9') {
                v = std::min(v * 10 + (format[i].unicode() - '0'), 100000);
                ++i;
            }
            return v;
        };
        // Optional "index:" selects the argument.
        qsizetype k = i;
        while (k < n && format[k].isDigit())
            ++k;
        if (k > i && k < n && format[k] == QLatin1Char(':')) {
            next = format.mid(i, k - i).toInt();
            i = k + 1;
        }
        bool leftAlign = false;
        if (i < n && format[i] == QLatin1Char('-')) {
            leftAlign = true;
            ++i;
        }
        const int width = readNumber();
        int precision = -1;
        if (i < n && format[i] == QLatin1Char('.')) {
            ++i;
            precision = readNumber();
        }
        if (i >= n)
            throwInvalidFormat(format);
        const char16_t type = asciiLower(format[i]).unicode();
        ++i;

        QString piece;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            const TVarRec& a = take();
            if (a.kind() != TVarRec::Kind::Integer && a.kind() != TVarRec::Kind::Int64)
                throwInvalidFormat(format);
            long long v = a.toInt();
            unsigned long long magnitude;
            bool negative = false;
            if (type == 'd') {
                negative = v < 0;
                magnitude = negative ? 0ull - static_cast<unsigned long long>(v)
                                     : static_cast<unsigned long long>(v);
            } else {
                magnitude = a.kind() == TVarRec::Kind::Integer
                    ? static_cast<std::uint32_t>(static_cast<int>(v))
                    : static_cast<unsigned long long>(v);
            }
            QString digits = QString::number(magnitude, type == 'x' ? 16 : 10).toUpper();
            piece = (negative ? QStringLiteral("-") : QString()) + padDigits(digits, precision);
            break;
        }
        case 's': {
            const TVarRec& a = take();
            if (a.kind() != TVarRec::Kind::String)
                throwInvalidFormat(format);
            piece = precision >= 0 ? a.toString().left(precision) : a.toString();
            break;
        }
        case 'f':
        case 'e':
        case 'g': {
            const TVarRec& a = take();
            if (a.kind() == TVarRec::Kind::String)
                throwInvalidFormat(format);
            const double v = a.toFloat();
            if (type == 'f')
                piece = formatFixed(v, precision < 0 ? 2 : precision, sep);
            else if (type == 'e')
                piece = formatExponent(v, precision < 0 ? 15 : precision, sep);
            else
                piece = formatGeneral(v, precision < 0 ? 15 : precision, sep);
            break;
        }
        default:
            throwInvalidFormat(format);
        }
        if (piece.size() < width) {
            const QString fill(width - piece.size(), QLatin1Char(' '));
            piece = leftAlign ? piece + fill : fill + piece;
        }
        out += piece;
    }
    return out;
}

QString Format(const QString& format, std::initializer_list<TVarRec> args)
{
    return Format(LocaleDecimalSeparator(), format, args);
}

// ---- Random numbers ---------------------------------------------------------------------

std::int32_t RandSeed = 0;

namespace {

std::uint32_t nextRandom()
{
    const std::uint32_t s = static_cast<std::uint32_t>(RandSeed) * 0x08088405u + 1u;
    RandSeed = static_cast<std::int32_t>(s);
    return s;
}

} // namespace

void Randomize()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    RandSeed = static_cast<std::int32_t>(static_cast<std::uint32_t>(ticks ^ (ticks >> 32)));
}

int Random(int range)
{
    const std::uint32_t r = nextRandom();
    if (range <= 0)
        return 0;
    return int((std::uint64_t(r) * std::uint64_t(range)) >> 32);
}

double Random() { return double(nextRandom()) / 4294967296.0; }

// ---- File names -------------------------------------------------------------------------

namespace {

const QChar kDelimiter = QLatin1Char('/');

// Position of the extension's dot in the last component, or -1.
qsizetype extensionDot(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > path.lastIndexOf(kDelimiter) ? dot : -1;
}

} // namespace

QString IncludeTrailingPathDelimiter(const QString& path)
{
    if (path.isEmpty() || path.endsWith(kDelimiter))
        return path;
    return path + kDelimiter;
}

QString ExcludeTrailingPathDelimiter(const QString& path)
{
    if (path.size() > 1 && path.endsWith(kDelimiter))
        return path.left(path.size() - 1);
    return path;
}

QString ExtractFileName(const QString& path) { return path.mid(path.lastIndexOf(kDelimiter) + 1); }

QString ExtractFilePath(const QString& path) { return path.left(path.lastIndexOf(kDelimiter) + 1); }

QString ExtractFileDir(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(kDelimiter);
    if (slash < 0)
        return QString();
    return path.left(slash == 0 ? 1 : slash);
}

QString ExtractFileExt(const QString& path)
{
    const qsizetype dot = extensionDot(path);
    return dot < 0 ? QString() : path.mid(dot);
}

QString ChangeFileExt(const QString& path, const QString& extension)
{
    const qsizetype dot = extensionDot(path);
    return (dot < 0 ? path : path.left(dot)) + extension;
}
