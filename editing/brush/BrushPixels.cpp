#include "editing/brush/BrushPixels.h"

#include "editing/brush/BrushColors.h"
#include "platform/vcl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>

namespace {

void Ensure24(TBitmap& b)
{
    if (b.PixelFormat() != pf24bit)
        b.SetPixelFormat(pf24bit);
}

TRect Normalised(const TRect& r)
{
    return TRect(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                 std::max(r.Top, r.Bottom));
}

bool OnBitmap(const TBitmap& b, int x, int y)
{
    return x >= 0 && y >= 0 && x < b.Width() && y < b.Height();
}

std::uint8_t* At(TBitmap& b, int x, int y)
{
    return b.ScanLine(y) + 3 * x;
}

// Blue, green, red of a colour, in scanline order.
std::array<int, 3> Channels(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb)};
}

// The pixel at (x, y) becomes the rounded mean of its four neighbours, unless it lies off the
// bitmap or on its border.
void SmoothPixel(TBitmap& b, int x, int y)
{
    if (x < 1 || y < 1 || x >= b.Width() - 1 || y >= b.Height() - 1)
        return;
    std::uint8_t* p = At(b, x, y);
    const std::uint8_t* l = At(b, x - 1, y);
    const std::uint8_t* r = At(b, x + 1, y);
    const std::uint8_t* u = At(b, x, y - 1);
    const std::uint8_t* d = At(b, x, y + 1);
    for (int k = 0; k < 3; ++k)
        p[k] = std::uint8_t(Round((l[k] + r[k] + u[k] + d[k]) / 4.0));
}

// One gradient run; pixel(i) gives the position of the i-th pixel of the run.
template <typename Pos>
void GradientRun(TBitmap& b, int a1, int a2, TColor from, TColor to, Pos pos)
{
    const auto f = Channels(from);
    const auto t = Channels(to);
    const int span = a2 - a1;
    std::array<double, 3> step{};
    if (span != 0)
        for (int k = 0; k < 3; ++k)
            step[k] = double(t[k] - f[k]) / span;
    const int lo = std::min(a1, a2);
    const int hi = std::max(a1, a2);
    for (int a = lo; a <= hi; ++a) {
        const auto [x, y] = pos(a);
        if (!OnBitmap(b, x, y))
            continue;
        std::uint8_t* p = At(b, x, y);
        const int n = a - lo + 1;  // the step is added before every pixel
        for (int k = 0; k < 3; ++k)
            p[k] = std::uint8_t(ClampByte(int(Round(f[k] + n * step[k]))));
    }
}

}  // namespace

void GradientHLine(TBitmap& bitmap, int x1, int x2, int y, TColor from, TColor to, bool smooth)
{
    Ensure24(bitmap);
    GradientRun(bitmap, x1, x2, from, to, [y](int x) { return std::pair(x, y); });
    if (smooth) {
        SmoothPixel(bitmap, std::min(x1, x2) - 1, y);
        SmoothPixel(bitmap, std::max(x1, x2) + 1, y);
    }
}

void GradientVLine(TBitmap& bitmap, int y1, int y2, int x, TColor from, TColor to, bool smooth)
{
    Ensure24(bitmap);
    GradientRun(bitmap, y1, y2, from, to, [x](int y) { return std::pair(x, y); });
    if (smooth) {
        SmoothPixel(bitmap, x, std::min(y1, y2) - 1);
        SmoothPixel(bitmap, x, std::max(y1, y2) + 1);
    }
}

std::vector<int> EllipseHalfWidths(int a, int b)
{
    a = std::abs(a);
    b = std::abs(b);
    std::vector<int> half(std::size_t(b) + 1, 0);
    auto plot = [&half](long long x, long long y) {
        if (y >= 0 && y < (long long)half.size())
            half[std::size_t(y)] = std::max(half[std::size_t(y)], int(x));
    };
    const double a2 = double(a) * a;
    const double b2 = double(b) * b;
    long long x = 0;
    long long y = b;
    double dx = 0;
    double dy = 2 * a2 * y;
    // Region 1: the slope is below 1; x steps every time.
    double d1 = b2 - a2 * b + a2 / 4;
    while (dx < dy) {
        plot(x, y);
        ++x;
        dx += 2 * b2;
        if (d1 < 0) {
            d1 += dx + b2;
        } else {
            --y;
            dy -= 2 * a2;
            d1 += dx - dy + b2;
        }
    }
    // Region 2: y steps every time.
    double d2 = b2 * (x + 0.5) * (x + 0.5) + a2 * double(y - 1) * double(y - 1) - a2 * b2;
    while (y >= 0) {
        plot(x, y);
        --y;
        dy -= 2 * a2;
        if (d2 > 0) {
            d2 += a2 - dy;
        } else {
            ++x;
            dx += 2 * b2;
            d2 += dx - dy + a2;
        }
    }
    return half;
}

void ShadedEllipse(TBitmap& bitmap, TPoint centre, int a, int b, TColor c1, TColor c2)
{
    const std::vector<int> half = EllipseHalfWidths(a, b);
    for (int v = int(half.size()) - 1; v >= 0; --v) {
        const int h = half[std::size_t(v)];
        GradientHLine(bitmap, centre.X - h, centre.X + h, centre.Y + v, c1, c2, true);
        if (v != 0)
            GradientHLine(bitmap, centre.X - h, centre.X + h, centre.Y - v, c1, c2, true);
    }
}

void InterRect(TBitmap& bitmap, TRect r)
{
    Ensure24(bitmap);
    r = Normalised(r);
    if (!OnBitmap(bitmap, r.Left, r.Top) || !OnBitmap(bitmap, r.Right, r.Bottom))
        return;
    // 20-bit fixed point: 1 << 20 is one colour step; values carry half a step so that the
    // final shift rounds instead of cutting.
    constexpr int kShift = 20;
    constexpr std::int64_t kHalf = std::int64_t(1) << (kShift - 1);
    std::array<int, 3> tl, tr, bl, br;
    for (int k = 0; k < 3; ++k) {
        tl[k] = At(bitmap, r.Left, r.Top)[k];
        tr[k] = At(bitmap, r.Right, r.Top)[k];
        bl[k] = At(bitmap, r.Left, r.Bottom)[k];
        br[k] = At(bitmap, r.Right, r.Bottom)[k];
    }
    const int h = r.Bottom - r.Top;
    const int w = r.Right - r.Left;
    std::array<std::int64_t, 3> left, right, leftStep{}, rightStep{};
    for (int k = 0; k < 3; ++k) {
        left[k] = (std::int64_t(tl[k]) << kShift) + kHalf;
        right[k] = (std::int64_t(tr[k]) << kShift) + kHalf;
        if (h > 0) {
            leftStep[k] = ((std::int64_t(bl[k]) - tl[k]) << kShift) / h;
            rightStep[k] = ((std::int64_t(br[k]) - tr[k]) << kShift) / h;
        }
    }
    for (int y = r.Top; y <= r.Bottom; ++y) {
        std::array<std::int64_t, 3> v = left, step{};
        if (w > 0)
            for (int k = 0; k < 3; ++k)
                step[k] = (right[k] - left[k]) / w;
        std::uint8_t* p = At(bitmap, r.Left, y);
        for (int x = r.Left; x <= r.Right; ++x, p += 3)
            for (int k = 0; k < 3; ++k) {
                p[k] = std::uint8_t(ClampByte(int(v[k] >> kShift)));
                v[k] += step[k];
            }
        for (int k = 0; k < 3; ++k) {
            left[k] += leftStep[k];
            right[k] += rightStep[k];
        }
    }
}

void InterColumn(TBitmap& bitmap, TRect r)
{
    Ensure24(bitmap);
    if (!OnBitmap(bitmap, 0, r.Top) || !OnBitmap(bitmap, r.Right, r.Bottom))
        return;
    const TColor a = bitmap.Canvas().Pixel(0, r.Top);
    const TColor b = bitmap.Canvas().Pixel(r.Right, r.Bottom);
    for (int y = std::min(r.Top, r.Bottom); y <= std::max(r.Top, r.Bottom); ++y)
        GradientHLine(bitmap, r.Left, r.Right, y, a, b, true);
}

void RingBlur(TBitmap& bitmap, const TRingKernel& kernel)
{
    Ensure24(bitmap);
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    if (w == 0 || h == 0)
        return;
    const TBitmap source(bitmap);
    int sum = 0;
    for (const auto& row : kernel)
        for (int v : row)
            sum += v;
    if (sum == 0)
        sum = 1;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            std::array<int, 3> acc{};
            for (int j = 0; j < 5; ++j) {
                const std::uint8_t* row = source.ScanLine(std::clamp(y + j - 2, 0, h - 1));
                for (int i = 0; i < 5; ++i) {
                    const int weight = kernel[std::size_t(j)][std::size_t(i)];
                    if (weight == 0)
                        continue;
                    const std::uint8_t* p = row + 3 * std::clamp(x + i - 2, 0, w - 1);
                    for (int k = 0; k < 3; ++k)
                        acc[k] += weight * p[k];
                }
            }
            for (int k = 0; k < 3; ++k)
                out[3 * x + k] = std::uint8_t(ClampByte(acc[k] / sum));
        }
    }
}

void RippleBitmap(const TBitmap& source, TBitmap& target, double amount)
{
    if (!(amount >= 1))
        amount = 1;
    const int c = source.Width() / 2;
    // The ring's radius is width div 2: a patch narrower than 2 pixels has no disc (and its
    // distance ratio would divide by zero).
    if (c == 0)
        return;
    TBitmap src(source);
    Ensure24(src);
    Ensure24(target);
    const double amplitude = c / amount;
    const int cy = source.Height() / 2;
    for (int y = 0; y < src.Height(); ++y)
        for (int x = 0; x < src.Width(); ++x) {
            const double dx = x - c;
            const double dy = c - y;
            const double d = std::sqrt(dx * dx + dy * dy);
            const double moved = d + std::sin(d / c * amount * 2 * std::numbers::pi) * amplitude;
            if (!(moved >= 0 && moved < c))
                continue;
            const double theta = std::atan2(dy, dx);
            const int tx = int(Round(moved * std::cos(theta))) + c;
            const int ty = int(Round(moved * std::sin(theta))) + cy;
            if (!OnBitmap(target, tx, ty))
                continue;
            const std::uint8_t* s = At(src, x, y);
            std::uint8_t* t = At(target, tx, ty);
            t[0] = s[0];
            t[1] = s[1];
            t[2] = s[2];
        }
}

void ColorBrush(TBitmap& bitmap, int x, int y, int operation, int r)
{
    Ensure24(bitmap);
    r = std::max(r, 5);
    const int side = 2 * r;
    const int left = x - r;
    const int top = y - r;
    // The patch: the square around (x, y); parts off the bitmap read as white.
    std::vector<std::uint8_t> patch(std::size_t(side) * side * 3, 255);
    auto px = [&patch, side](int i, int j) { return &patch[(std::size_t(j) * side + i) * 3]; };
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i)
            if (OnBitmap(bitmap, left + i, top + j))
                std::copy_n(At(bitmap, left + i, top + j), 3, px(i, j));

    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) {
            std::uint8_t* p = px(i, j);  // blue, green, red
            switch (operation) {
            case 0: p[1] = p[2] = 0; break;
            case 1: p[0] = p[2] = 0; break;
            case 2: p[0] = p[1] = 0; break;
            case 3: p[0] = 0; break;
            case 4: p[1] = 0; break;
            case 5: p[2] = 0; break;
            case 6: p[0] = std::uint8_t(p[0] * 9 / 10); break;
            case 7: p[1] = std::uint8_t(p[1] * 9 / 10); break;
            case 8: p[2] = std::uint8_t(p[2] * 9 / 10); break;
            case 9:
                for (int k = 0; k < 3; ++k)
                    p[k] = std::uint8_t(Round(p[k] * 10 / 11.0));
                break;
            case 10:
                for (int k = 0; k < 3; ++k)
                    p[k] = std::uint8_t(std::min<long long>(255, Round(p[k] * 11 / 10.0)));
                break;
            case 11: {
                const auto grey = std::uint8_t(Round((p[0] + p[1] + p[2]) / 3.0));
                p[0] = p[1] = p[2] = grey;
                break;
            }
            case 12: {
                const std::uint8_t blue = p[0];
                p[0] = p[1];
                p[1] = p[2];
                p[2] = blue;
                break;
            }
            case 13:
                if (i > 0 && j > 0 && i < side - 1 && j < side - 1)
                    for (int k = 0; k < 3; ++k)
                        p[k] = std::uint8_t(Round(
                            (px(i - 1, j)[k] + px(i + 1, j)[k] + px(i, j - 1)[k] + px(i, j + 1)[k]) / 4.0));
                break;
            default:
                return;
            }
        }

    // Back into the bitmap: the disc inscribed in the square, white pixels left out.
    const double rr = double(r) * r;
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) {
            const double cx = i + 0.5 - r;
            const double cy = j + 0.5 - r;
            if (cx * cx + cy * cy > rr || !OnBitmap(bitmap, left + i, top + j))
                continue;
            const std::uint8_t* p = px(i, j);
            if (p[0] == 255 && p[1] == 255 && p[2] == 255)
                continue;
            std::copy_n(p, 3, At(bitmap, left + i, top + j));
        }
}

std::vector<TSphereCircle> SphereCircles(TRect r, TSphereFamily family)
{
    r = Normalised(r);
    const int width = r.Right - r.Left;
    const int height = r.Bottom - r.Top;
    const int hw = width / 2;
    const int hh = height / 2;
    const int n = std::max(hw, hh) / (std::min(hw, hh) + 1);
    std::vector<TSphereCircle> circles;
    if (n == 0)
        return circles;
    const int cw = width / n;
    const int ch = height / n;
    const bool across = cw > ch;
    const int cell = across ? cw : ch;
    const int extent = across ? width : height;
    const int rho = family == TSphereFamily::Row ? cell / 2 : cell / 2 * 4 / 5;
    for (int k = 0; k < n; ++k) {
        const int p = family == TSphereFamily::Row ? k * cell + cell / 2 : k * cell + rho;
        int radius = rho;
        if ((family == TSphereFamily::Wave || family == TSphereFamily::RisingWave) && extent > 0) {
            // A rising row along the width starts small; every other wave starts large.
            const double phase = family == TSphereFamily::RisingWave && across ? 0 : std::numbers::pi / 2;
            radius = int(std::abs(Round(std::sin(p * std::numbers::pi / extent - phase) * rho)));
        }
        const TPoint centre = across ? TPoint(r.Left + p, r.Top + hh) : TPoint(r.Left + hw, r.Top + p);
        circles.push_back({centre, radius});
    }
    return circles;
}

void DrawSpheres(TBitmap& bitmap, TRect r, TSphereFamily family, TColor c1, TColor c2)
{
    for (const TSphereCircle& c : SphereCircles(r, family))
        ShadedEllipse(bitmap, c.Centre, c.Radius, c.Radius, c1, c2);
}

void Sphere(TBitmap& bitmap, TRect r, TColor c1, TColor c2)
{
    r = Normalised(r);
    const int hw = (r.Right - r.Left) / 2;
    const int hh = (r.Bottom - r.Top) / 2;
    ShadedEllipse(bitmap, TPoint(r.Left + hw, r.Top + hh), hw, hh, c1, c2);
}

TBrushPatch ClampBrushPatch(TPoint centre, int r, int width, int height)
{
    r = std::max(0, std::min({r, (width - 1) / 2, (height - 1) / 2}));
    auto clampAxis = [r](int c, int size) {
        c = std::max(c, r);
        if (c + r > size - 1)
            c = size - 1 - r;
        return c;
    };
    return {TPoint(clampAxis(centre.X, width), clampAxis(centre.Y, height)), r};
}

TRect ZoomBrush(TCanvas& canvas, const TBitmap& zoom, int x, int y, int r)
{
    const int maxX = zoom.Width() - 1;
    const int maxY = zoom.Height() - 1;
    const TRect square(std::clamp(x - r, 0, std::max(maxX, 0)), std::clamp(y - r, 0, std::max(maxY, 0)),
                       std::clamp(x + r, 0, std::max(maxX, 0)), std::clamp(y + r, 0, std::max(maxY, 0)));
    if (zoom.Empty() || square.Right <= square.Left || square.Bottom <= square.Top)
        return TRect();
    canvas.CopyRect(TRect(0, 0, zoom.Width(), zoom.Height()), zoom.Canvas(), square);
    return square;
}

void StretchBandIntoSquare(const TBitmap& band, TBitmap& square)
{
    if (band.Empty() || square.Empty())
        return;
    TBitmap opaque(band);
    opaque.Transparent = false;
    square.Canvas().CopyMode = cmSrcCopy;
    square.Canvas().StretchDraw(TRect(0, 0, square.Width(), square.Height()), opaque);
}
