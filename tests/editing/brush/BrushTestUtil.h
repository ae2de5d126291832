#pragma once
// Small pictures for the brush tests, shown as rows of characters.
#include "platform/vcl/Graphics.h"
#include "support/SamePixels.h"

#include <string>
#include <vector>

namespace brushtest {

// '.' white, '#' the given ink, 'o' any other colour.
inline std::vector<std::string> Art(const TBitmap& b, TColor ink = clBlack)
{
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string row;
        for (int x = 0; x < b.Width(); ++x) {
            const TColor c = b.Canvas().Pixel(x, y);
            row += c == clWhite ? '.' : c == ink ? '#' : 'o';
        }
        rows.push_back(row);
    }
    return rows;
}

inline void Fill(TBitmap& b, TColor c)
{
    b.Canvas().Brush.Style = bsSolid;
    b.Canvas().Brush.Color = c;
    b.Canvas().FillRect(TRect(0, 0, b.Width(), b.Height()));
}

// A picture where neighbours differ and no pixel is white.
inline void Photo(TBitmap& b)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.Canvas().SetPixel(x, y, RGB(20 + x * 7 % 200, 30 + y * 11 % 200, 40 + (x + y) * 3 % 200));
}

using ::SamePixels;

}  // namespace brushtest
