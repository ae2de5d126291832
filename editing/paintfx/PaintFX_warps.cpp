// The warping routines of TpelPaintFX: the smooth rotation, the row squeezes and splits and the
// waves, which move pixels along rows and columns.
#include "editing/paintfx/PaintFX.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

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
