#include "editing/brush/Textures.h"

#include "editing/brush/BrushColors.h"
#include "platform/vcl/SysUtils.h"

#include <QRandomGenerator>

#include <array>
#include <cmath>
#include <cstdlib>

int SystemRandom(int n)
{
    return n < 1 ? 0 : int(QRandomGenerator::global()->bounded(n));
}

namespace {

// Shapes per tile and points per shape.
struct TextureShape {
    int count;
    int points;
};

TextureShape ShapeOf(TTexture kind)
{
    switch (kind) {
    case TTexture::Lines: return {10, 2};
    case TTexture::Rects:
    case TTexture::Ovals: return {3, 2};
    case TTexture::Curves:
    case TTexture::Poly: return {10, 4};
    }
    return {0, 0};
}

}  // namespace

void TextureFill(TCanvas& canvas, int width, int height, TPoint start, TPoint end, TTexture kind,
                 const TRandom& random)
{
    const int dx = end.X - start.X;
    const int dy = end.Y - start.Y;
    const int least = kind == TTexture::Lines ? 1 : 3;
    const int tw = std::max(std::abs(dx), least);
    const int th = std::max(std::abs(dy), least);
    const int length = int(Round(std::hypot(double(dx), double(dy))));
    const int down = int(Round(double(th) / tw * length));

    const TColor c = canvas.Pen.Color;
    const TColor savedBrush = canvas.Brush.Color;
    const TColor lighter = LighterColor(c);
    const TColor darker = DarkerColor(c);
    const TextureShape shape = ShapeOf(kind);

    for (int oy = 0; oy <= height - 1; oy += th)
        for (int ox = 0; ox <= width - 1; ox += tw)
            for (int s = 0; s < shape.count; ++s) {
                std::array<TPoint, 4> p;
                for (int i = 0; i < shape.points; ++i) {
                    const int x = ox + random(length);
                    const int y = oy + random(down);
                    p[std::size_t(i)] = TPoint(x, y);
                }
                switch (kind) {
                case TTexture::Lines: {
                    const std::array<std::pair<TColor, int>, 3> passes{
                        std::pair(c, 0), std::pair(lighter, -1), std::pair(darker, 1)};
                    for (const auto& [colour, shift] : passes) {
                        canvas.Pen.Color = colour;
                        canvas.MoveTo(p[0].X + shift, p[0].Y + shift);
                        canvas.LineTo(p[1].X + shift, p[1].Y + shift);
                    }
                    break;
                }
                case TTexture::Rects:
                case TTexture::Ovals: {
                    const std::array<std::pair<TColor, TRect>, 3> layers{
                        std::pair(darker, TRect(p[0].X, p[0].Y, p[1].X + 2, p[1].Y + 2)),
                        std::pair(lighter, TRect(p[0].X - 2, p[0].Y - 2, p[1].X, p[1].Y)),
                        std::pair(c, TRect(p[0].X, p[0].Y, p[1].X, p[1].Y))};
                    for (const auto& [colour, r] : layers) {
                        canvas.Pen.Color = colour;
                        canvas.Brush.Color = colour;
                        if (kind == TTexture::Rects)
                            canvas.Rectangle(r);
                        else
                            canvas.Ellipse(r);
                    }
                    break;
                }
                case TTexture::Curves:
                    canvas.PolyBezier(p);
                    break;
                case TTexture::Poly:
                    canvas.Polyline(p);
                    break;
                }
            }
    canvas.Pen.Color = c;
    canvas.Brush.Color = savedBrush;
}
