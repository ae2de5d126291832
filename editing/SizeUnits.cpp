#include "editing/SizeUnits.h"

#include "shell/core/Helpers.h"

#include <algorithm>
#include <climits>
#include <cmath>

QString LengthText(double length, QChar separator)
{
    return Format(separator, QStringLiteral("%.2f"), {length});
}

double LengthValue(const QString& text, QChar separator)
{
    double value = 0;
    StrToDouble(text, value, separator);
    return value;
}

QString PixelsToLengthText(int pixels, int dpi, int unitFactor, QChar separator)
{
    return LengthText(double(pixels) / dpi * 2.54 * unitFactor, separator);
}

int LengthTextToPixels(const QString& text, int dpi, int unitFactor, QChar separator)
{
    const double pixels = LengthValue(text, separator) / 2.54 * dpi / unitFactor;
    if (!std::isfinite(pixels))
        return 0;
    return int(Round(std::clamp(pixels, double(INT_MIN), double(INT_MAX))));
}
