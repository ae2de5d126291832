#include "editing/brush/BrushColors.h"

#include <algorithm>
#include <cstdlib>

int ClampToRange(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

int ClampByte(int value)
{
    return ClampToRange(value, 0, 255);
}

TColor MixColors(TColor c1, TColor c2, int percent)
{
    const TColor a = ColorToRGB(c1);
    const TColor b = ColorToRGB(c2);
    const int p = std::min(std::abs(percent), 100);
    auto mix = [p](int x, int y) { return x * p / 100 + y * (100 - p) / 100; };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

TColor LighterColor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    const int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
    const int m = (r + g + b) / 3 + 510;
    return MixColors(rgb, RGB((r + m) / 4, (g + m) / 4, (b + m) / 4), 36);
}

TColor DarkerColor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    // 82 % in integers: the same truncation as the floating-point product.
    auto dark = [](int x) { return x * 82 / 100; };
    return MixColors(rgb, RGB(dark(GetRValue(rgb)), dark(GetGValue(rgb)), dark(GetBValue(rgb))), 52);
}

TColor AverageColor(TColor c1, TColor c2)
{
    const TColor a = ColorToRGB(c1);
    const TColor b = ColorToRGB(c2);
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}
