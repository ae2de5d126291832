#pragma once
// The texture fills of the drawing tools: random lines, rectangles, ovals, curves or
// polylines in the pen colour (with its lighter and darker tints), tiled over the client area
// by the size of the drag from start to end.
#include "platform/vcl/Graphics.h"

#include <functional>

// A random whole number in 0..n-1 (0 when n is below 1). Tests pass their own.
using TRandom = std::function<int(int)>;
int SystemRandom(int n);

enum class TTexture { Lines, Rects, Ovals, Curves, Poly };

// Tiles of |dx| x |dy| pixels (at least 3 x 3; 1 x 1 for lines) from (0, 0) while a tile's
// origin lies on the area. In a tile of width w and height h the shapes' points are
// origin + random(L) across and origin + random(round(h / w * L)) down, L the drag's rounded
// length, so shapes may reach past their tile. The pen and brush colours are kept.
void TextureFill(TCanvas& canvas, int width, int height, TPoint start, TPoint end, TTexture kind,
                 const TRandom& random = SystemRandom);
