#include "output/PrintChoices.h"

#include "controls/HTMLEscape.h"
#include "shell/core/Helpers.h"

namespace {

const QLatin1String kItemMid("\" align=\"top\">");

// The part of an item after the thumbnail's markup: the name, then " | " and the text.
QString ItemTail(const QString& item)
{
    const int mid = item.indexOf(kItemMid);
    if (mid >= 0)
        return item.mid(mid + kItemMid.size());
    const int close = item.indexOf(QLatin1Char('>'));
    return close >= 0 ? item.mid(close + 1) : item;
}

} // namespace

TPrintLine ParsePrintLine(const QString& item)
{
    const QString tail = ItemTail(item.trimmed());
    const QString bar = QStringLiteral("|");
    return {HTMLUnescape(ExtractWord(1, tail, bar).trimmed()), HTMLUnescape(ExtractWord(2, tail, bar).trimmed())};
}
