// Slideshow list items from arbitrary text: decoding never fails, and an item made from any
// name (without "|", trimmed) and text (trimmed) gives both back.
#include "controls/SlideshowItem.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const TSlideshowItem any = DecodeSlideshowItem(input);
    if (any.Name.contains(QLatin1Char('|')) && !any.HasText)
        std::abort();

    // Three fields separated by NUL: thumbnail path, name, text.
    const QStringList parts = input.split(QChar(0));
    const QString thumb = parts.value(0);
    QString name = parts.value(1).trimmed();
    name.replace(QLatin1Char('|'), QLatin1Char('_'));
    const QString text = parts.value(2).trimmed();
    const TSlideshowItem back = DecodeSlideshowItem(EncodeSlideshowItem(thumb, name, text));
    if (back.Name != name || back.Text != text || !back.HasText)
        std::abort();
    return 0;
}
