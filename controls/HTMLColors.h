#pragma once
// Colour values of the mini-HTML items' attributes.
#include "platform/vcl/Colors.h"

#include <QString>

// The colour of a name ignoring case: the sixteen basic colours ("clRed", "clNavy", ...)
// and the 24 system colours from "clBackground" to "clInfoBk"; black for any other name.
TColor HTMLColorValue(const QString& name);
// "#RRGGBB", two hexadecimal digits each; a pair that is missing or not hexadecimal reads
// as 0.
TColor HexColorValue(const QString& text);
// An attribute's colour: HexColorValue when it starts with "#", else HTMLColorValue.
TColor HTMLAttributeColor(const QString& value);
