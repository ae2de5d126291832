#include "controls/SlideshowItem.h"

#include "controls/HTMLEscape.h"

namespace {

const QLatin1String kItemHead("<IMG src=\"file://");
const QLatin1String kItemMid("\" align=\"top\">");
const QLatin1String kTextSeparator(" | ");

// The part of an item after the picture tag. Inside the tag everything is escaped, so the
// tag ends at its first ">"; an item without a tag is all tail.
QStringView ItemTail(const QString& item)
{
    const qsizetype mid = item.indexOf(kItemMid);
    if (mid >= 0)
        return QStringView(item).mid(mid + kItemMid.size());
    if (item.startsWith(QLatin1Char('<'))) {
        const qsizetype close = item.indexOf(QLatin1Char('>'));
        if (close >= 0)
            return QStringView(item).mid(close + 1);
    }
    return QStringView(item);
}

} // namespace

QString EncodeSlideshowItem(const QString& thumbnailPath, const QString& name, const QString& text,
                            bool withText)
{
    QString item = kItemHead + HTMLEscape(thumbnailPath) + kItemMid + HTMLEscape(name);
    if (withText)
        item += kTextSeparator + HTMLEscape(text);
    return item;
}

TSlideshowItem DecodeSlideshowItem(const QString& item)
{
    const QStringView tail = ItemTail(item);
    TSlideshowItem result;
    const qsizetype bar = tail.indexOf(QLatin1Char('|'));
    result.HasText = bar >= 0;
    result.Name = HTMLUnescape(tail.left(bar >= 0 ? bar : tail.size()).trimmed().toString());
    if (bar >= 0)
        result.Text = HTMLUnescape(tail.mid(bar + 1).trimmed().toString());
    return result;
}
