#include "shell/core/Helpers.h"

#include <QByteArray>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace {

bool isPathDelimiter(QChar c)
{
    return c == QChar(u'\0') || c == QChar(u'/');
}

// 0-based index of the last path delimiter, -1 when there is none.
int lastPathDelimiter(const QString& path)
{
    for (int i = path.size() - 1; i >= 0; --i) {
        if (isPathDelimiter(path[i]))
            return i;
    }
    return -1;
}

bool isDelimiter(QChar c, const QString& delimiters)
{
    return delimiters.contains(c);
}

// The 0-based index of the first character of the n-th word, -1 when there is none.
int wordStart(int n, const QString& s, const QString& delimiters)
{
    if (n <= 0)
        return -1;
    int count = 0;
    int i = 0;
    const int len = s.size();
    while (i < len) {
        while (i < len && isDelimiter(s[i], delimiters))
            ++i;
        if (i >= len)
            break;
        if (++count == n)
            return i;
        while (i < len && !isDelimiter(s[i], delimiters))
            ++i;
    }
    return -1;
}

bool isDigit(QChar c)
{
    return c >= QChar(u'0') && c <= QChar(u'9');
}

// Checks the plain number syntax; returns 0 when the whole text is a number, otherwise the
// 1-based position of the first character that cannot continue it (size + 1 when the text
// ends before the number is complete).
int plainNumberError(const QString& t)
{
    const int len = t.size();
    int i = 0;
    if (i < len && (t[i] == QChar(u'+') || t[i] == QChar(u'-')))
        ++i;
    bool digits = false;
    while (i < len && isDigit(t[i])) {
        ++i;
        digits = true;
    }
    if (i < len && t[i] == QChar(u'.')) {
        ++i;
        while (i < len && isDigit(t[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return i + 1;
    if (i < len && (t[i] == QChar(u'e') || t[i] == QChar(u'E'))) {
        ++i;
        if (i < len && (t[i] == QChar(u'+') || t[i] == QChar(u'-')))
            ++i;
        if (i >= len || !isDigit(t[i]))
            return i + 1;
        while (i < len && isDigit(t[i]))
            ++i;
    }
    return i < len ? i + 1 : 0;
}

// strtod in the "C" locale, whatever locale the process runs in.
locale_t cLocale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return loc;
}

} // namespace

QString AddBackslash(const QString& s)
{
    if (s.isEmpty())
        return s;
    if (s.size() < 3 && !s.contains(QChar(u'/')))
        return s;
    if (s.endsWith(QChar(u'/')))
        return s;
    return s + QChar(u'/');
}

QString ExtractDirPart(const QString& path)
{
    const int i = lastPathDelimiter(path);  // 0-based
    if (i < 0)
        return QString();
    if (i == 0)
        return path.left(1);
    if (path[i] == QChar(u'/'))
        return path.left(i);
    return path.left(i + 1);  // NUL: kept
}

QString ExtractFileBaseName(const QString& path)
{
    const QString name = path.mid(lastPathDelimiter(path) + 1);
    const int dot = name.lastIndexOf(QChar(u'.'));
    return dot < 0 ? name : name.left(dot);
}

bool WordPosition(int n, const QString& s, const QString& delimiters, int& position)
{
    const int start = wordStart(n, s, delimiters);
    if (start < 0)
        return false;
    position = start + 1;
    return true;
}

QString ExtractWord(int n, const QString& s, const QString& delimiters)
{
    const int start = wordStart(n, s, delimiters);
    if (start < 0)
        return QString();
    int end = start;
    while (end < s.size() && !isDelimiter(s[end], delimiters))
        ++end;
    return s.mid(start, end - start);
}

int WordCount(const QString& s, const QString& delimiters)
{
    int count = 0;
    bool inWord = false;
    for (QChar c : s) {
        const bool delimiter = isDelimiter(c, delimiters);
        if (!delimiter && !inWord)
            ++count;
        inWord = !delimiter;
    }
    return count;
}

QString PadLeft(const QString& s, QChar fill, int length)
{
    if (s.size() >= length)
        return s;
    return QString(length - s.size(), fill) + s;
}

QString PadRight(const QString& s, QChar fill, int length)
{
    if (s.size() >= length)
        return s;
    return s + QString(length - s.size(), fill);
}

bool StrToDouble(const QString& s, double& value, QChar decimalSeparator)
{
    if (s.isEmpty())
        return false;
    QString t = s;
    while (!t.isEmpty() && t.back().unicode() <= 32)
        t.chop(1);
    if (t.isEmpty())
        return false;
    int first = 0;
    while (first < t.size() && t[first] == QChar(u' '))
        ++first;
    t = t.mid(first);
    if (t.isEmpty())
        t = QStringLiteral("0");

    const int sep = t.indexOf(decimalSeparator);
    if (sep >= 0) {
        if (sep == t.size() - 1)
            t.chop(1);
        else
            t[sep] = QChar(u'.');
    }

    const int bad = plainNumberError(t);
    if (bad != 0) {
        value = bad;
        return false;
    }
    const QByteArray ascii = t.toLatin1();  // only digits, sign, '.', 'e' remain
    errno = 0;
    const double v = strtod_l(ascii.constData(), nullptr, cLocale());
    if (errno == ERANGE && std::isinf(v)) {
        value = t.size() + 1;
        return false;
    }
    value = v;
    return true;
}
