#pragma once
// Plain text inside a mini-HTML item: names and texts are escaped when an item is built and
// unescaped wherever they are taken back out of one, so that the files and the player keep
// the plain text.
#include <QString>

// "&" -> "&amp;", "<" -> "&lt;", ">" -> "&gt;", '"' -> "&quot;".
QString HTMLEscape(const QString& text);
// The inverse of HTMLEscape, in one pass from the left ("&amp;lt;" gives "&lt;"), ignoring
// the case of the four names as the item drawing does. Any other "&" is kept as it stands.
QString HTMLUnescape(const QString& text);
