#pragma once
// Picture sizes in pixels and as lengths at a resolution: the size dialog's conversions.
// unitFactor is 1 for centimetres and 10 for millimetres; lengths are written and read with
// the decimal separator given (the locale's by default).
#include "platform/vcl/SysUtils.h"

#include <QString>

// pixels / dpi * 2.54 * unitFactor, with two decimals.
QString PixelsToLengthText(int pixels, int dpi, int unitFactor, QChar separator = LocaleDecimalSeparator());
// A typed length (text that is no number counts as what StrToDouble leaves, 0 when empty) as
// round(length / 2.54 * dpi / unitFactor) pixels, halves to even, kept within int.
int LengthTextToPixels(const QString& text, int dpi, int unitFactor, QChar separator = LocaleDecimalSeparator());
// A length with two decimals.
QString LengthText(double length, QChar separator = LocaleDecimalSeparator());
// A typed length as a number (0 when empty; what StrToDouble leaves otherwise).
double LengthValue(const QString& text, QChar separator = LocaleDecimalSeparator());
