// The further routines of TpelPaintFX: rotation, row squeezes and splits, waves, fractals,
// smears and drips, the height map and the blend.
#include "editing/paintfx/PaintFX.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

int RoundEven(double v) { return int(std::nearbyint(v)); }

// Stretches the row of srcWidth pixels into the span left .. right (right exclusive) of
// row y of dest, as the canvas' stretching draw does: every target pixel takes the source
// pixel under its centre; a span with right < left receives the row mirrored into
// right .. left. Target pixels outside dest are skipped.
void StretchRow(const std::uint8_t* row, int srcWidth, const TFxBitmap& dest, int y, long long left, long long right)
{
    if (srcWidth <= 0 || y < 0 || y >= dest.Height || left == right)
        return;
    const bool mirror = right < left;
    const long long d0 = std::min(left, right), len = std::max(left, right) - d0;
    const long long x0 = std::max(d0, 0LL), x1 = std::min(d0 + len, (long long)dest.Width);
    std::uint8_t* out = dest.Row(y);
    for (long long x = x0; x < x1; ++x) {
        long long k = x - d0;
        if (mirror)
            k = len - 1 - k;
        const long long sx = ((2 * k + 1) * srcWidth) / (2 * len);
        std::copy_n(row + 3 * sx, 3, out + 3 * x);
    }
}

// y / (h - 1), taken as 0 on a picture one row high.
double RowFraction(int y, int h) { return h > 1 ? double(y) / (h - 1) : 0.0; }

} // namespace

void TpelPaintFX::SmoothRotate(const TFxBitmap& source, const TFxBitmap& dest, int cx, int cy, double angle)
{
    if (source.Empty() || dest.Empty())
        return;
    const double a = -angle * std::numbers::pi / 180;
    const double s = std::sin(a), c = std::cos(a);
    const int dw = (dest.Width - source.Width) / 2, dh = (dest.Height - source.Height) / 2;
    const int sw = source.Width, sh = source.Height;
    const auto rows = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            const double Y = 2.0 * (double(y) - cy) + 1;
            std::uint8_t* out = dest.Row(y);
            for (int x = 0; x < dest.Width; ++x, out += 3) {
                const double X = 2.0 * (double(x) - cx) + 1;
                const double sx = (X * c - Y * s - 1) / 2 + cx - dw;
                const double sy = (X * s + Y * c - 1) / 2 + cy - dh;
                const double rx = std::nearbyint(sx), ry = std::nearbyint(sy);
                if (!(rx >= 0 && rx < sw && ry >= 0 && ry < sh))
                    continue;
                const int ix = int(rx), iy = int(ry);
                const double fx = sx - rx, fy = sy - ry;
                const int ix1 = ClampRange(ix + 1, 0, sw - 1), iy1 = ClampRange(iy + 1, 0, sh - 1);
                const std::uint8_t* p00 = source.Pixel(ix, iy);
                const std::uint8_t* p10 = source.Pixel(ix1, iy);
                const std::uint8_t* p01 = source.Pixel(ix, iy1);
                const std::uint8_t* p11 = source.Pixel(ix1, iy1);
                for (int ch = 0; ch < 3; ++ch) {
                    const double upper = p00[ch] + (p10[ch] - p00[ch]) * fx;
                    const double lower = p01[ch] + (p11[ch] - p01[ch]) * fx;
                    out[ch] = ClampByte(RoundEven(upper + (lower - upper) * fy));
                }
            }
        }
    };
    // Each destination row depends on the source alone: bands of rows over the cores, unless
    // the two are one picture (then rows read what earlier rows wrote, in order).
    if (source.Bits == dest.Bits)
        rows(0, dest.Height);
    else
        RunInRowBands(dest.Width, dest.Height, rows);
}

void TpelPaintFX::RowSqueeze(const TFxBitmap& source, const TFxBitmap& dest, int amount, int mode)
{
    if (source.Empty() || dest.Empty())
        return;
    const int w = source.Width, h = source.Height;
    const double pi = std::numbers::pi;
    std::vector<std::uint8_t> row(std::size_t(w) * 3);
    for (int y = 0; y < h && y < dest.Height; ++y) {
        long long o = 0;
        bool centred = false;
        switch (mode) {
        case 7: o = amount; break;
        case 8: o = RoundEven(double(h - 1 - y) / h * amount); break;
        case 9: o = RoundEven(double(y) / h * amount); break;
        case 10: o = RoundEven(std::fabs(std::cos(RowFraction(y, h) * pi)) * amount); break;
        case 11: o = RoundEven(std::fabs(std::sin(RowFraction(y, h) * pi)) * amount); break;
        case 12: o = RoundEven(std::fabs(std::sin(RowFraction(y, h) * pi)) * amount), centred = true; break;
        case 13: o = RoundEven(std::fabs(std::sin(RowFraction(y, h) * 2 * pi)) * amount), centred = true; break;
        default: break;
        }
        const long long left = centred ? w / 2 - o : o;
        const long long right = centred ? w / 2 + o : w - o;
        std::copy_n(source.Row(y), row.size(), row.data());
        StretchRow(row.data(), w, dest, y, left, right);
    }
}

void TpelPaintFX::RowSplit(const TFxBitmap& source, const TFxBitmap& dest, int amount, int mode)
{
    if (source.Empty() || dest.Empty())
        return;
    const int w = source.Width, h = source.Height;
    if (amount == 0) {
        if (source.Bits == dest.Bits)
            return;
        const int cols = std::min(w, dest.Width);
        for (int y = 0; y < std::min(h, dest.Height); ++y)
            std::copy_n(source.Row(y), std::size_t(cols) * 3, dest.Row(y));
        return;
    }
    const int half = w / 2;
    if (half == 0)
        return; // halves of no pixel: nothing to draw
    const int a = std::min(amount, half);
    const double pi = std::numbers::pi;
    std::vector<std::uint8_t> leftHalf(std::size_t(half) * 3), rightHalf(std::size_t(half) * 3);
    long long o = 1;
    for (int y = 0; y < h && y < dest.Height; ++y) {
        std::copy_n(source.Row(y), leftHalf.size(), leftHalf.data());
        std::copy_n(source.Row(y) + 3 * half, rightHalf.size(), rightHalf.data());
        if (mode == 14)
            o = RoundEven(std::fabs(std::sin(RowFraction(y, h) * pi)) * a);
        else if (mode == 15)
            o = RoundEven(std::fabs(std::cos(RowFraction(y, h) * pi)) * a);
        StretchRow(leftHalf.data(), half, dest, y, 0, o);
        StretchRow(rightHalf.data(), half, dest, y, (long long)w - 1 - o, (long long)w - 1);
    }
}

void TpelPaintFX::SineWave(const TFxBitmap& bmp, int amplitude, int factor, int mode)
{
    if (bmp.Empty() || amplitude < 1)
        return;
    const long long a = amplitude, h = bmp.Height;
    if (h - 1 - 2 * a < a)
        return; // fewer than 3 A + 1 rows
    const TFxImage copy(bmp);
    const double k = (std::numbers::pi / 2) / amplitude;
    // The offset of the column after x (column 0 takes offset 0).
    std::vector<int> offset(std::size_t(bmp.Width) + 1, 0);
    for (int x = 0; x < bmp.Width; ++x) {
        const double kx = k * x;
        double o = 0;
        switch (mode) {
        case 0: o = amplitude * std::sin(kx); break;
        case 1: o = amplitude * std::sin(kx) * std::cos(kx); break;
        case 2: o = amplitude * std::sin(kx) * std::sin(factor * kx); break;
        default: break;
        }
        offset[std::size_t(x) + 1] = RoundEven(o);
    }
    for (int r = int(h - 1 - 2 * a); r >= amplitude; --r) {
        const std::uint8_t* in = copy.Pixel(0, r);
        for (int x = 0; x < bmp.Width; ++x)
            std::copy_n(in + 3 * x, 3, bmp.Pixel(x, r + amplitude + offset[std::size_t(x)]));
    }
}

void TpelPaintFX::ShiftWave(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period, int variant)
{
    if (source.Empty() || dest.Width != source.Width || dest.Height != source.Height)
        return;
    const int w = source.Width, h = source.Height;
    if (source.Bits != dest.Bits)
        for (int y = 0; y < h; ++y)
            std::copy_n(source.Row(y), std::size_t(w) * 3, dest.Row(y));
    if (period < 1)
        return;
    const double a = amplitude;
    // Row term R(y) and column term C(x) of the variant.
    const auto rowTerm = [&](int y) {
        const double t = (y % period) / a;
        switch (variant) {
        case 4:
        case 7: return a * std::sin(t);
        case 8: return a * std::sin(t) * std::cos(1.5 * t);
        default: return a * std::cos(t);
        }
    };
    const auto columnTerm = [&](int x) {
        const double u = (x % period) / a;
        switch (variant) {
        case 4: return -a * std::cos(u);
        case 6: return -std::tan(u) / a;
        case 7: return -std::tan(u) / (a * a);
        case 8: return -a * std::sin(2 * u) * std::cos(u);
        default: return -a * std::sin(u);
        }
    };
    // The column term depends on x alone: once per column.
    std::vector<double> columns(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x)
        columns[std::size_t(x)] = columnTerm(x);
    const auto place = [&](int x, int y, double r) {
        const double c = columns[std::size_t(x)];
        double col = x + c + r, row = y + r + c;
        if (variant == 2)
            col = x + c - r, row = y + r - c;
        else if (variant == 3)
            col = x - c + r, row = y - r + c;
        // The comparisons come before any conversion, so NaN and far targets write nothing.
        const double tx = std::nearbyint(std::fabs(col)), ty = std::nearbyint(std::fabs(row));
        if (tx < w && ty < h)
            std::copy_n(source.Pixel(x, y), 3, dest.Pixel(int(tx), int(ty)));
    };
    if (variant == 5) {
        for (int y = h - 1; y >= 0; --y) {
            const double r = rowTerm(y);
            for (int x = w - 1; x >= 0; --x)
                place(x, y, r);
        }
        return;
    }
    for (int y = 0; y < h; ++y) {
        const double r = rowTerm(y);
        for (int x = 0; x < w; ++x)
            place(x, y, r);
    }
}

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
