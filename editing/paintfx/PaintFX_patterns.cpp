// The pattern routines of TpelPaintFX: the palette colours and fractals, the smears and drips,
// the height map and the blend, which paint or mix pixels in place.
#include "editing/paintfx/PaintFX.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>

std::uint32_t TpelPaintFX::IndexToColor(int index)
{
    // RGB 0x00BBGGRR of black, navy, green, aqua, red, purple, maroon, silver, gray, blue,
    // lime, olive, fuchsia, teal, yellow, white.
    static constexpr std::uint32_t kPalette[16] = {
        0x000000, 0x800000, 0x008000, 0xFFFF00, 0x0000FF, 0x800080, 0x000080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0x008080, 0xFF00FF, 0x808000, 0x00FFFF, 0xFFFFFF,
    };
    return index >= 0 && index < 16 ? kPalette[index] : 0xFFFFFF;
}

void TpelPaintFX::Fractal(const TFxBitmap& bmp, int maxIterations, double xMin, double yMin, double xMax, double yMax,
                          bool mandelbrot)
{
    if (bmp.Empty())
        return;
    const int n = std::max(maxIterations, 16);
    std::uint8_t colors[17][3];
    for (int i = 0; i <= 16; ++i) {
        const std::uint32_t rgb = IndexToColor(i); // 16: white
        colors[i][0] = std::uint8_t(rgb >> 16), colors[i][1] = std::uint8_t(rgb >> 8), colors[i][2] = std::uint8_t(rgb);
    }
    const double dx = (xMax - xMin) / bmp.Width, dy = (yMax - yMin) / bmp.Height;
    const double step = n / 16.0;
    // Each row on its own: bands of rows over the cores on large pictures.
    RunInRowBands(bmp.Width, bmp.Height, [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* out = bmp.Row(y);
            for (int x = 0; x < bmp.Width; ++x, out += 3) {
                double zr = x * dx + xMin, zi = y * dy + yMin, cr = 0, ci = 1;
                if (mandelbrot)
                    cr = zr, ci = zi, zr = 0, zi = 0;
                int k = 0;
                double qr = 0, qi = 0;
                // The test looks at the squares of the value before the latest step.
                while (k <= n && qr + qi < 4) {
                    qr = zr * zr, qi = zi * zi;
                    zi = 2 * zr * zi + ci;
                    zr = qr - qi + cr;
                    ++k;
                }
                const int escaped = k - 1;
                const int index = escaped == n ? 0 : std::min(RoundEven(escaped / step), 16);
                std::copy_n(colors[index], 3, out);
            }
        }
    });
}

void TpelPaintFX::ZigZagSmear(const TFxBitmap& bmp, int amount)
{
    if (bmp.Empty())
        return;
    const int run = 2 * (std::max(amount, 5) / 2) + 1;
    const int half = run / 2;
    for (int y = 0; y < bmp.Height; ++y) {
        int d = y % (2 * half);
        if (d > half)
            d = 2 * half - d;
        if (d == 0)
            d = run;
        const int q = std::abs(half - y % run) + half;
        std::uint8_t* row = bmp.Row(y);
        std::uint8_t held[3];
        std::copy_n(row, 3, held);
        for (int x = 0; x < bmp.Width; ++x) {
            if (x % d == 0 || x % q == 1)
                std::copy_n(row + 3 * x, 3, held);
            std::copy_n(held, 3, row + 3 * x);
        }
    }
}

namespace {

// Rows from H - 1 - s up to 0: pixel x of row y is copied down by the offset next(c) gives
// after each pixel, starting at 0 for every row. The offset is a byte; s = min(H div 2, amount).
template <class Next>
void DropColumns(const TFxBitmap& bmp, int s, Next next)
{
    for (int y = bmp.Height - 1 - s; y >= 0; --y) {
        std::uint8_t c = 0;
        for (int x = 0; x < bmp.Width; ++x) {
            std::copy_n(bmp.Pixel(x, y), 3, bmp.Pixel(x, y + c));
            c = next(c);
        }
    }
}

int DropDepth(const TFxBitmap& bmp, int amount) { return std::clamp(amount, 0, bmp.Height / 2); }

} // namespace

void TpelPaintFX::SawtoothShift(const TFxBitmap& bmp, int amount)
{
    if (bmp.Empty())
        return;
    const int s = DropDepth(bmp, amount);
    DropColumns(bmp, s, [s](std::uint8_t c) {
        c = std::uint8_t(c + 1);
        return c > s ? std::uint8_t(0) : c;
    });
}

void TpelPaintFX::RandomDrip(const TFxBitmap& bmp, int amount)
{
    if (bmp.Empty())
        return;
    const int s = DropDepth(bmp, amount);
    std::uint32_t seed;
    if (Clock) {
        seed = Clock();
    } else {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        seed = std::uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
    m_random->SetSeed(seed);
    DropColumns(bmp, s, [&](std::uint8_t) { return std::uint8_t(m_random->Random(s)); });
}

void TpelPaintFX::HeightMap(const TFxBitmap& bmp, int amount)
{
    if (bmp.Empty())
        return;
    const TFxImage copy(bmp);
    for (int y = 0; y < bmp.Height; ++y)
        for (int x = 0; x < bmp.Width; ++x) {
            const std::uint8_t* p = copy.Pixel(x, y);
            const double m = (p[0] + p[1] + p[2]) / 3.0 / 255.0 * amount;
            const double target = y - std::nearbyint(m);
            if (target >= 0 && target < bmp.Height)
                std::copy_n(p, 3, bmp.Pixel(x, int(target)));
        }
}

void TpelPaintFX::Blend(const TFxBitmap& first, const TFxBitmap& second, const TFxBitmap& dest, double amount)
{
    if (first.Empty() || second.Width != first.Width || second.Height != first.Height || dest.Width != first.Width ||
        dest.Height != first.Height || !second.Bits || !dest.Bits)
        return;
    const double keep = 1 - amount;
    for (int y = 0; y < first.Height; ++y) {
        const std::uint8_t* a = first.Row(y);
        const std::uint8_t* b = second.Row(y);
        std::uint8_t* out = dest.Row(y);
        for (int i = 0; i < first.Width * 3; ++i) {
            // Inside 0..255 for amounts of 0..1; kept there (and NaN to 0) for any other.
            double v = keep * a[i] + amount * b[i];
            v = v > 0 ? std::min(v, 255.0) : 0.0;
            out[i] = std::uint8_t(RoundEven(v));
        }
    }
}
