#include "controls/HTMLMarkup.h"

#include "controls/HTMLRender.h"
#include "platform/vcl/SysUtils.h"

#include <algorithm>
#include <array>

namespace htmlmarkup {
namespace {

struct Entity {
    const char* name;
    char16_t ch;
};

constexpr std::array<Entity, 8> kNamed{{
    {"&quot;", u'"'},
    {"&sect;", u'\u00A7'},
    {"&permil;", u'\u2030'},
    {"&reg;", u'\u00AE'},
    {"&copy;", u'\u00A9'},
    {"&para;", u'\u00B6'},
    {"&trade;", u'\u2122'},
    {"&euro;", u'\u20AC'},
}};

constexpr std::array<Entity, 4> kRun{{
    {"&nbsp;", u' '},
    {"&lt;", u'<'},
    {"&gt;", u'>'},
    {"&amp;", u'&'},
}};

// The entity of table starting at s[i], or nullptr.
template <size_t N>
const Entity* EntityAt(const QString& s, qsizetype i, const std::array<Entity, N>& table)
{
    const QStringView rest = QStringView(s).mid(i);
    for (const Entity& e : table)
        if (rest.startsWith(QLatin1String(e.name), Qt::CaseInsensitive))
            return &e;
    return nullptr;
}

// Decodes the entities of the tables in s, in one pass.
template <class... Tables>
QString Decode(const QString& s, const Tables&... tables)
{
    if (!s.contains(QLatin1Char('&')))
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        const Entity* e = nullptr;
        if (s[i] == QLatin1Char('&'))
            ((e = e ? e : EntityAt(s, i, tables)), ...);
        if (e) {
            out += QChar(e->ch);
            i += qsizetype(qstrlen(e->name));
        } else {
            out += s[i++];
        }
    }
    return out;
}

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool IsNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'); }

} // namespace

QString Preprocess(const QString& text)
{
    QString out;
    out.reserve(text.size());
    bool inTag = false;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (inTag) {
            inTag = c != QLatin1Char('>');
        } else if (c == QLatin1Char('<')) {
            inTag = true;
        } else if (c == QLatin1Char('&')) {
            if (const Entity* e = EntityAt(text, i, kNamed)) {
                out += QChar(e->ch);
                i += qsizetype(qstrlen(e->name));
                continue;
            }
        }
        out += c;
        ++i;
    }
    const qsizetype hash = out.indexOf(QLatin1String("<#"));
    if (hash >= 0) {
        out.remove(hash, 1);
        const qsizetype close = out.indexOf(QLatin1Char('>'), hash);
        if (close >= 0)
            out.remove(close, 1);
    }
    out.replace(QLatin1Char('\r'), QLatin1String("<BR>"));
    out.remove(QLatin1Char('\n'));
    return out;
}

QString DecodeRun(const QString& run) { return Decode(run, kRun); }

Tag::Tag(const QString& raw) : m_raw(raw)
{
    qsizetype i = 1;
    if (i < raw.size() && raw[i] == QLatin1Char('/')) {
        m_closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < raw.size() && raw[i].isLetter())
        ++i;
    m_name = raw.mid(nameStart, i - nameStart).toUpper();
    // Attributes: name, optional blanks, "=", optional blanks, a quoted value.
    const qsizetype end = raw.endsWith(QLatin1Char('>')) ? raw.size() - 1 : raw.size();
    while (i < end) {
        if (!IsNameChar(raw[i])) {
            if (raw[i] == QLatin1Char('"')) {  // a stray quoted value belongs to no name
                const qsizetype q = raw.indexOf(QLatin1Char('"'), i + 1);
                i = q < 0 ? end : q + 1;
            } else {
                ++i;
            }
            continue;
        }
        const qsizetype n0 = i;
        while (i < end && IsNameChar(raw[i]))
            ++i;
        QString name = raw.mid(n0, i - n0).toUpper();
        QString value;
        qsizetype j = i;
        while (j < end && IsBlank(raw[j]))
            ++j;
        if (j < end && raw[j] == QLatin1Char('=')) {
            ++j;
            while (j < end && IsBlank(raw[j]))
                ++j;
            if (j < end && raw[j] == QLatin1Char('"')) {
                const qsizetype q = raw.indexOf(QLatin1Char('"'), j + 1);
                const qsizetype stop = q < 0 || q > end ? end : q;
                value = Decode(raw.mid(j + 1, stop - j - 1), kNamed, kRun);
                j = stop + 1;
            } else {
                while (j < end && !IsBlank(raw[j]))
                    ++j;
            }
            i = j;
        }
        m_attrs.emplace_back(std::move(name), std::move(value));
    }
}

QString Tag::Attr(const char* name) const
{
    const QLatin1String n(name);
    for (const auto& [k, v] : m_attrs)
        if (k.compare(n, Qt::CaseInsensitive) == 0)
            return v;
    return QString();
}

QString Tag::FirstValue() const
{
    const qsizetype q1 = m_raw.indexOf(QLatin1Char('"'));
    if (q1 < 0)
        return QString();
    const qsizetype q2 = m_raw.indexOf(QLatin1Char('"'), q1 + 1);
    if (q2 < 0)
        return QString();
    return Decode(m_raw.mid(q1 + 1, q2 - q1 - 1), kNamed, kRun);
}

int ToInt(const QString& s)
{
    // Far beyond any size or position an item can use, and far from overflowing.
    constexpr int kLimit = 1000000;
    return std::clamp(StrToIntDef(s.trimmed(), 0), -kLimit, kLimit);
}

} // namespace htmlmarkup

QString HTMLToPlainText(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("<BR>"), QLatin1String("\r\n"), Qt::CaseInsensitive);
    s.replace(QLatin1String("<HR>"), QLatin1String("\r\n"), Qt::CaseInsensitive);
    // Hidden runs, to their closing tag or to the end.
    for (qsizetype open; (open = s.indexOf(QLatin1String("<z>"), 0, Qt::CaseInsensitive)) >= 0;) {
        const qsizetype close = s.indexOf(QLatin1String("</z>"), open, Qt::CaseInsensitive);
        s.remove(open, close < 0 ? s.size() - open : close + 4 - open);
    }
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('<')) {
            out += s[i];
            continue;
        }
        const qsizetype close = s.indexOf(QLatin1Char('>'), i);
        if (close < 0)
            break;
        i = close;
    }
    return out;
}

QStringList HTMLPictureSources(const QString& text)
{
    QStringList out;
    const QString s = htmlmarkup::Preprocess(text);
    for (qsizetype i = 0; (i = s.indexOf(QLatin1Char('<'), i)) >= 0;) {
        const qsizetype close = s.indexOf(QLatin1Char('>'), i);
        if (close < 0)
            break;
        const htmlmarkup::Tag tag(s.mid(i, close - i + 1));
        if (!tag.Closing() && tag.Name() == QLatin1String("IMG")) {
            const QString src = tag.Attr("SRC");
            if (src.contains(QLatin1String("://")) && !out.contains(src))
                out << src;
        }
        i = close + 1;
    }
    return out;
}
