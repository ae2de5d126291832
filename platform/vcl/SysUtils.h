#pragma once
// Strings, numbers and file names with the framework's semantics.
//
// Numbers that go into or come out of files are locale-free: use the overloads taking a
// decimal separator with '.', never the C library's printf/strtod (the C library runs in the
// user's locale once the application object exists). The overloads without a separator use
// the program's decimal separator, QLocale::system().decimalPoint(), as the framework did.
#include "platform/vcl/Exceptions.h"

#include <QChar>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <initializer_list>
#include <type_traits>

// An invalid floating point operation (Round or Trunc of NaN, infinity or an out-of-range value).
class EInvalidOp : public Exception {
public:
    using Exception::Exception;
};

// ---- Text ---------------------------------------------------------------------------------

// Trim removes every character with a code up to 32 (blanks and control characters) at both
// ends; TrimLeft and TrimRight at one end.
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);

// ASCII letters only, as the framework's UpperCase/LowerCase.
QString UpperCase(const QString& s);
QString LowerCase(const QString& s);
// Every letter (ä -> Ä).
QString AnsiUpperCase(const QString& s);
QString AnsiLowerCase(const QString& s);

// CompareText/SameText ignore the case of ASCII letters and compare ordinally (< 0, 0, > 0);
// the Ansi forms ignore the case of every letter.
int CompareText(const QString& a, const QString& b);
bool SameText(const QString& a, const QString& b);
int AnsiCompareText(const QString& a, const QString& b);
bool AnsiSameText(const QString& a, const QString& b);

// 'it''s' for it's.
QString QuotedStr(const QString& s);

// ---- Integers ---------------------------------------------------------------------------

QString IntToStr(int value);
QString IntToStr(long value);
QString IntToStr(long long value);
QString IntToStr(unsigned value);
QString IntToStr(unsigned long value);
QString IntToStr(unsigned long long value);
// Upper-case hexadecimal, at least `digits` digits; negative values as two's complement of
// their own width (IntToHex(-1, 2) is "FFFFFFFF").
QString IntToHex(int value, int digits);
QString IntToHex(long value, int digits);
QString IntToHex(long long value, int digits);

// Leading blanks, an optional sign, then decimal digits or "$"/"0x"/"0X" and hexadecimal
// digits (hexadecimal up to FFFFFFFF, wrapping as the framework does: "$FFFFFFFF" is -1).
// Anything else, trailing blanks included, raises EConvertError
// "'abc' is not a valid integer value"; so does a value outside the type's range.
int StrToInt(const QString& s);
long long StrToInt64(const QString& s);
int StrToIntDef(const QString& s, int def);
long long StrToInt64Def(const QString& s, long long def);
bool TryStrToInt(const QString& s, int& value);
bool TryStrToInt64(const QString& s, long long& value);

// ---- Floating point ---------------------------------------------------------------------

// The program's decimal separator: QLocale::system().decimalPoint().
QChar LocaleDecimalSeparator();

// Blanks around the number are allowed, then an optional sign, digits with at most one
// decimal separator, an optional exponent ("E", optional sign, digits). Anything else raises
// EConvertError "'x' is not a valid floating point value".
double StrToFloat(const QString& s);
double StrToFloat(const QString& s, QChar decimalSeparator);
double StrToFloatDef(const QString& s, double def);
double StrToFloatDef(const QString& s, double def, QChar decimalSeparator);
bool TryStrToFloat(const QString& s, double& value);
bool TryStrToFloat(const QString& s, double& value, QChar decimalSeparator);

// Decimal numbers typed by the user (seconds per picture): "," and "." are both accepted as
// the decimal separator in every locale; blanks around it allowed; no exponent, no thousands.
// "2,5", "2.5", "5," and ",5" are accepted.
bool TryParseUserDecimal(const QString& s, double& value);
// As TryParseUserDecimal, raising EConvertError "'x' is not a valid floating point value".
double ParseUserDecimal(const QString& s);

// 15 significant digits (rounded half away from zero) in the shortest form: fixed notation while the decimal exponent
// lies between -4 and 15 digits before the point ("0.0001", "123456789012345"), otherwise
// "1.5E20", "1E-5", "-2.25E-7". NaN and infinities give "NAN", "INF" and "-INF".
QString FloatToStr(double value);
QString FloatToStr(double value, QChar decimalSeparator);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). NaN, infinities and values outside 64 bits raise EInvalidOp.
long long Round(double value);
// Cuts towards zero (-2.7 -> -2). NaN, infinities and values outside 64 bits raise EInvalidOp.
long long Trunc(double value);

// ---- Format -----------------------------------------------------------------------------

// One argument of Format.
class TVarRec {
public:
    enum class Kind { Integer, Int64, Float, String };
    TVarRec(int v) : m_kind(Kind::Integer), m_int(v) {}
    TVarRec(unsigned v) : m_kind(Kind::Int64), m_int(v) {}
    TVarRec(long v) : m_kind(Kind::Int64), m_int(v) {}
    TVarRec(long long v) : m_kind(Kind::Int64), m_int(v) {}
    TVarRec(unsigned long v) : m_kind(Kind::Int64), m_int(static_cast<long long>(v)) {}
    TVarRec(unsigned long long v) : m_kind(Kind::Int64), m_int(static_cast<long long>(v)) {}
    TVarRec(double v) : m_kind(Kind::Float), m_float(v) {}
    TVarRec(float v) : m_kind(Kind::Float), m_float(v) {}
    TVarRec(const QString& v) : m_kind(Kind::String), m_string(v) {}
    TVarRec(const char* v) : m_kind(Kind::String), m_string(QString::fromUtf8(v)) {}
    TVarRec(QChar v) : m_kind(Kind::String), m_string(v) {}
    TVarRec(bool) = delete;

    Kind kind() const { return m_kind; }
    long long toInt() const { return m_int; }
    double toFloat() const { return m_kind == Kind::Float ? m_float : double(m_int); }
    const QString& toString() const { return m_string; }

private:
    Kind m_kind;
    long long m_int = 0;
    double m_float = 0;
    QString m_string;
};

// Format("%s has %d pictures", {title, count}) or Format("%s has %d pictures", title, count).
// Conversions: "%" ["-"] [width] ["." precision] type, width and precision may be "*" (taken
// from the arguments); width pads with blanks on the left ("-": on the right).
//   %d  integer; the precision is the least number of digits (zero padded)
//   %u  integer, negative values as unsigned of their width
//   %x  upper-case hexadecimal (negative as two's complement); precision as for %d
//   %s  string (also a character); the precision is the most characters taken
//   %f  fixed, precision decimals (default 2)
//   %e  scientific "-d.ddd…E+ddd", precision significant digits (default 15)
//   %g  as FloatToStr, precision significant digits (default 15)
//   %%  a percent sign
// Floating values are rounded half away from zero in their decimal form, as the framework
// formats them ("%.1f" of 0.25 is "0.3"; 2.675 is stored as 2.67499… and gives "2.67").
// They use the program's decimal separator; the overloads taking a separator use
// the given one. An unknown type or an argument of the wrong kind raises EConvertError
// "Format '%s' invalid or incompatible with argument"; a missing one
// "No argument for format '%s'".
QString Format(const QString& format, std::initializer_list<TVarRec> args);
QString Format(QChar decimalSeparator, const QString& format, std::initializer_list<TVarRec> args);
template <typename F, typename... Args>
    requires std::is_convertible_v<const F&, QString> && (!std::is_same_v<F, QChar>)
    && (std::is_constructible_v<TVarRec, const Args&> && ...)
QString Format(const F& format, const Args&... args)
{
    return Format(QString(format), {TVarRec(args)...});
}

// ---- Random numbers ---------------------------------------------------------------------

// The seed of the generator; set it for a reproducible sequence.
extern std::int32_t RandSeed;
// Seeds from the clock.
void Randomize();
// 0 .. range - 1 (0 when range <= 0); the framework's linear congruential generator.
int Random(int range);
// 0 <= x < 1.
double Random();

// ---- File names -------------------------------------------------------------------------
// Native paths with '/' as the only delimiter.

// Appends '/' unless the path already ends with one; an empty path stays empty.
QString IncludeTrailingPathDelimiter(const QString& path);
// Removes one trailing '/' (the root "/" stays).
QString ExcludeTrailingPathDelimiter(const QString& path);
// "/a/b.txt" -> "b.txt".
QString ExtractFileName(const QString& path);
// "/a/b.txt" -> "/a/" (with the delimiter); "b.txt" -> "".
QString ExtractFilePath(const QString& path);
// "/a/b.txt" -> "/a" (without the delimiter, except for the root).
QString ExtractFileDir(const QString& path);
// "/a/b.tar.gz" -> ".gz"; "" when the name has no dot ("/a.b/c" has none).
QString ExtractFileExt(const QString& path);
// Replaces the extension (or appends one): ChangeFileExt("/a/b.bmp", ".jpg") -> "/a/b.jpg";
// an empty extension removes it.
QString ChangeFileExt(const QString& path, const QString& extension);
