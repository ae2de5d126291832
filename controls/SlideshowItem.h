#pragma once
// The items of the slideshow list: the thumbnail's picture tag, the picture's file name and,
// when a text was set, " | " and the text. Names and texts are escaped in the item (so that
// "Tom&Jerry.jpg" shows as typed); every reader outside the list control takes them back
// through DecodeSlideshowItem, never by cutting the item text itself.
#include <QString>

struct TSlideshowItem {
    QString Name;          // the picture's file name in the slideshow folder, as on disk
    QString Text;          // the picture's text, as typed
    bool HasText = false;  // the item carries a text part (it may be empty)
};

// The item for a picture: thumbnail path, name and text escaped; the text part only when
// withText is set.
QString EncodeSlideshowItem(const QString& thumbnailPath, const QString& name, const QString& text,
                            bool withText = true);

// Name and text of an item, trimmed and unescaped. The name ends at the first "|" (names in a
// slideshow never hold one); the text is everything after it, so a text may hold "|" itself.
// An item without a picture tag is read as "name | text".
TSlideshowItem DecodeSlideshowItem(const QString& item);
