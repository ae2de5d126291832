#pragma once
// String and path helpers used all over the program for building paths and splitting list
// lines. Positions are 1-based; inputs are never changed.
//
// Paths are native Linux paths: the path delimiters are NUL and '/'. A ':' is an ordinary
// character of a name. A drive letter on its own ("D", as Generator.ini stores it) is left
// alone by AddBackslash.
#include "platform/vcl/SysUtils.h"

#include <QChar>
#include <QString>

// S with a trailing '/' where a folder needs one:
//   ""  -> ""         "D" -> "D" (shorter than 3 characters and no '/': unchanged)
//   "/a" -> "/a/"     "/x/" -> "/x/"     "abc" -> "abc/"
QString AddBackslash(const QString& s);

// The folder part of a path, without its trailing '/' except for the root:
//   "/dir/a.txt" -> "/dir"     "/a.txt" -> "/"     "file.txt" -> ""
QString ExtractDirPart(const QString& path);

// The file name without folder and without extension: "/a/b.c/photo" -> "photo",
// "a.b.jpg" -> "a.b".
QString ExtractFileBaseName(const QString& path);

// Words are maximal runs of characters not in `delimiters`; runs of delimiters count once and
// leading or trailing delimiters make no empty words. The n-th word (from 1) or "" when there
// is none: ExtractWord(2, "name | text", "|") is " text" (callers trim where they need to).
QString ExtractWord(int n, const QString& s, const QString& delimiters);
// The 1-based position of the n-th word's first character; false when there is none.
bool WordPosition(int n, const QString& s, const QString& delimiters, int& position);
int WordCount(const QString& s, const QString& delimiters);

// S padded to `length` characters with `fill` on the left (PadLeft("7", '0', 4) is "0007") or
// on the right; a longer S is returned unchanged, never cut.
QString PadLeft(const QString& s, QChar fill, int length);
QString PadRight(const QString& s, QChar fill, int length);

// Converts a typed number. Trailing blanks and control characters are dropped, then leading
// and trailing blanks; the first `decimalSeparator` becomes the decimal point ("5," is 5).
// The rest must be a plain number: optional sign, digits with at most one '.', an optional
// exponent ("E", optional sign, digits). The parse does not depend on the C locale.
// Empty or blank input: false, `value` unchanged. Any other failure: false and `value` is the
// 1-based position of the first bad character (one past the end when the text stops early,
// also for a number too large for a double).
bool StrToDouble(const QString& s, double& value, QChar decimalSeparator = LocaleDecimalSeparator());
