#include "controls/HTMLEscape.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<QChar, const char*>, 4> kEscapes{{
    {QChar('&'), "&amp;"},
    {QChar('<'), "&lt;"},
    {QChar('>'), "&gt;"},
    {QChar('"'), "&quot;"},
}};

} // namespace

QString HTMLEscape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        bool escaped = false;
        for (const auto& [ch, entity] : kEscapes) {
            if (c == ch) {
                out += QLatin1String(entity);
                escaped = true;
                break;
            }
        }
        if (!escaped)
            out += c;
    }
    return out;
}

QString HTMLUnescape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        bool matched = false;
        if (text[i] == QLatin1Char('&')) {
            for (const auto& [ch, entity] : kEscapes) {
                const QLatin1String e(entity);
                if (QStringView(text).mid(i).startsWith(e, Qt::CaseInsensitive)) {
                    out += ch;
                    i += e.size();
                    matched = true;
                    break;
                }
            }
        }
        if (!matched)
            out += text[i++];
    }
    return out;
}
