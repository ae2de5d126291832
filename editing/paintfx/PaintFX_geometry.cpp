// The neighbourhood and geometry routines of TpelPaintFX: blurs, mosaic, relief, edge blend,
// twist, fish eye, plasma and tiles.
#include "editing/paintfx/PaintFX.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <emmintrin.h>

namespace {

// Wraps a neighbour index outside 0..n-1 back into the picture: a negative index i becomes
// n - 1 - ((-i) mod n), one beyond n - 1 becomes i mod n. Done in floating point, so a far
// source point (the fish eye's factor grows without bound towards its rim) never overflows.
int WrapIndex(long long v, int n)
{
    if (v >= 0 && v < n)
        return int(v);
    if (v < 0)
        return -v < n ? int(n - 1 + v) : n - 1 - int((-v) % n);
    return v < 2LL * n ? int(v - n) : int(v % n);
}

int WrapIndex(double i, int n)
{
    if (i >= 0 && i <= n - 1)
        return int(i);
    // Integer arithmetic while the index fits comfortably, floating point beyond.
    if (std::fabs(i) < 1e15)
        return WrapIndex(static_cast<long long>(i), n);
    if (i < 0)
        return n - 1 - int(std::fmod(-i, double(n)));
    return int(std::fmod(i, double(n)));
}

// The four neighbours of a source point and its fractions.
struct TSamplePoint {
    const std::uint8_t *p00, *p10, *p01, *p11;
    double fx, fy;
};

TSamplePoint LocateFar(const TFxBitmap& source, double sx, double sy)
{
    if (!std::isfinite(sx) || !std::isfinite(sy)) {
        sx = 0;
        sy = 0;
    }
    const double fx0 = std::floor(sx), fy0 = std::floor(sy);
    const int x0 = WrapIndex(fx0, source.Width), x1 = WrapIndex(fx0 + 1, source.Width);
    const int y0 = WrapIndex(fy0, source.Height), y1 = WrapIndex(fy0 + 1, source.Height);
    return {source.Pixel(x0, y0), source.Pixel(x1, y0), source.Pixel(x0, y1), source.Pixel(x1, y1), sx - fx0, sy - fy0};
}

// Points within a billion pixels take their integer parts by a cut and a step down (the same
// as floor there), and an index test on whole numbers.
[[gnu::always_inline]] inline TSamplePoint Locate(const TFxBitmap& source, double sx, double sy)
{
    if (!(std::fabs(sx) < 1e9 && std::fabs(sy) < 1e9))  // also not a number or infinite
        return LocateFar(source, sx, sy);
    int x0 = int(sx), y0 = int(sy);
    x0 -= x0 > sx;
    y0 -= y0 > sy;
    const double fx = sx - x0, fy = sy - y0;
    if (unsigned(x0) < unsigned(source.Width - 1) && unsigned(y0) < unsigned(source.Height - 1)) {
        const std::uint8_t* p = source.Pixel(x0, y0);
        return {p, p + 3, p + source.Stride, p + source.Stride + 3, fx, fy};
    }
    const int x1 = WrapIndex(x0 + 1LL, source.Width), y1 = WrapIndex(y0 + 1LL, source.Height);
    x0 = WrapIndex(static_cast<long long>(x0), source.Width);
    y0 = WrapIndex(static_cast<long long>(y0), source.Height);
    return {source.Pixel(x0, y0), source.Pixel(x1, y0), source.Pixel(x0, y1), source.Pixel(x1, y1), fx, fy};
}

// The three channels of a pixel as doubles: blue and green in lo, red (and 0) in hi.
[[gnu::always_inline]] inline void Channels(const std::uint8_t* p, __m128d& lo, __m128d& hi)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i bytes = _mm_cvtsi32_si128(p[0] | p[1] << 8 | p[2] << 16);
    const __m128i ints = _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
    lo = _mm_cvtepi32_pd(ints);
    hi = _mm_cvtepi32_pd(_mm_unpackhi_epi64(ints, ints));
}

// The channels of the pixels at p and p + 3 (six bytes read), as Channels gives them; the
// second lane of hi0 holds the next byte instead of 0 (the lanes never mix).
[[gnu::always_inline]] inline void PairChannels(const std::uint8_t* p, __m128d& lo0, __m128d& hi0, __m128d& lo1,
                                                __m128d& hi1)
{
    std::uint32_t first4;
    std::uint16_t last2;
    std::memcpy(&first4, p, 4);
    std::memcpy(&last2, p + 4, 2);
    const __m128i zero = _mm_setzero_si128();
    const __m128i bytes = _mm_insert_epi16(_mm_cvtsi32_si128(int(first4)), last2, 2);
    const __m128i words = _mm_unpacklo_epi8(bytes, zero);
    const __m128i first = _mm_unpacklo_epi16(words, zero);
    const __m128i second = _mm_unpacklo_epi16(_mm_srli_si128(words, 6), zero);
    lo0 = _mm_cvtepi32_pd(first);
    hi0 = _mm_cvtepi32_pd(_mm_unpackhi_epi64(first, first));
    lo1 = _mm_cvtepi32_pd(second);
    hi1 = _mm_cvtepi32_pd(_mm_unpackhi_epi64(second, second));
}

// The bilinear mix of the four neighbours by the fractions, rounded half to even per channel
// and kept to 0 .. 255. Two channels at a time, each lane the same operations in the same
// order as p00 * w00 + p10 * w10 + p01 * w01 + p11 * w11 on one channel.
[[gnu::always_inline]] inline void Mix(const TSamplePoint& s, std::uint8_t* out)
{
    const double fx = s.fx, fy = s.fy;
    const __m128d w00 = _mm_set1_pd((1 - fx) * (1 - fy)), w10 = _mm_set1_pd(fx * (1 - fy)),
                  w01 = _mm_set1_pd((1 - fx) * fy), w11 = _mm_set1_pd(fx * fy);
    __m128d lo00, hi00, lo10, hi10, lo01, hi01, lo11, hi11;
    if (s.p10 == s.p00 + 3 && s.p11 == s.p01 + 3) {
        PairChannels(s.p00, lo00, hi00, lo10, hi10);
        PairChannels(s.p01, lo01, hi01, lo11, hi11);
    } else {
        Channels(s.p00, lo00, hi00);
        Channels(s.p10, lo10, hi10);
        Channels(s.p01, lo01, hi01);
        Channels(s.p11, lo11, hi11);
    }
    __m128d lo = _mm_add_pd(_mm_mul_pd(lo00, w00), _mm_mul_pd(lo10, w10));
    __m128d hi = _mm_add_pd(_mm_mul_pd(hi00, w00), _mm_mul_pd(hi10, w10));
    lo = _mm_add_pd(_mm_add_pd(lo, _mm_mul_pd(lo01, w01)), _mm_mul_pd(lo11, w11));
    hi = _mm_add_pd(_mm_add_pd(hi, _mm_mul_pd(hi01, w01)), _mm_mul_pd(hi11, w11));
    // Rounded half to even (adding and taking away 1.5 * 2^52 leaves the nearest whole number
    // under the default rounding mode), cut to integers (exact) and packed with saturation,
    // which keeps each channel to 0 .. 255.
    const __m128d shift = _mm_set1_pd(6755399441055744.0);
    lo = _mm_sub_pd(_mm_add_pd(lo, shift), shift);
    hi = _mm_sub_pd(_mm_add_pd(hi, shift), shift);
    const __m128i ints = _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
    const __m128i packed = _mm_packs_epi32(ints, ints);
    const int bgr = _mm_cvtsi128_si32(_mm_packus_epi16(packed, packed));
    out[0] = std::uint8_t(bgr);
    out[1] = std::uint8_t(bgr >> 8);
    out[2] = std::uint8_t(bgr >> 16);
}

// Every pixel of rows top .. bottom - 1 of dest (bottom < 0: to the last row) takes the
// sample of source at the point map gives for its offset (dx, dy) and distance r from the
// centre (cx, cy); the centre itself samples the centre. Each pixel's value depends on its
// own place only, so the order of the visits is free; they go ring by ring about the centre,
// from the outside in. Twist and fish eye move a point along its circle or along its ray,
// so the pixels of one thin ring read a thin ring of the source, one after the other, and
// the picture is read from memory a few times rather than once per pixel. Within a row the
// ring is walked from both ends at once, and a row is walked with its mirror row, so the
// four pixels at one distance come one after another (map may keep what it worked out for
// the last distance).
template <class Map>
void Remap(const TFxBitmap& source, const TFxBitmap& dest, int top, int bottom, double cx, double cy, Map map)
{
    constexpr int kRingWidth = 4;
    top = std::max(0, top);
    bottom = bottom < 0 ? dest.Height : std::min(bottom, dest.Height);
    if (top >= bottom)
        return;
    // The source points of a batch of pixels are worked out first and their rows fetched
    // ahead, then the batch is sampled: the reads of many pixels wait on memory at once.
    struct Job {
        std::uint8_t* out;
        TSamplePoint at;
    };
    constexpr int kBatch = 32;
    Job jobs[kBatch];
    int pending = 0;
    const auto flush = [&] {
        for (int i = 0; i < pending; ++i)
            Mix(jobs[i].at, jobs[i].out);
        pending = 0;
    };
    // (dx, dy) = (x - cx, y - cy), r = sqrt(dx * dx + dy * dy).
    const auto visit = [&](int x, int y, double dx, double dy, double r) __attribute__((always_inline)) {
        double sx = cx, sy = cy;
        if (r != 0)
            map(x, y, dx, dy, r, sx, sy);
        const TSamplePoint at = Locate(source, sx, sy);
        __builtin_prefetch(at.p00);
        __builtin_prefetch(at.p01);
        if (at.p10 != at.p00 + 3) {  // wrapped to the other side
            __builtin_prefetch(at.p10);
            __builtin_prefetch(at.p11);
        }
        jobs[pending++] = {dest.Pixel(x, y), at};
        if (pending == kBatch)
            flush();
    };
    // The centre is a whole or half pixel, so column x and column 2 cx - x lie alike about it
    // (their offsets are the exact negatives), and so do rows y and 2 cy - y.
    const int mirrorSumX = int(2 * cx), mirrorSumY = int(2 * cy);
    // The rows of the band, each with its mirror row when that lies in the band below it; every
    // pair keeps the next unvisited column from the left and its mirror column.
    struct Walk {
        int y, mirror;  // mirror < 0: none
        double dy, dy2;
        int left, right;
    };
    std::vector<Walk> walks;
    walks.reserve(std::size_t(bottom - top));
    for (int y = top; y < bottom; ++y) {
        const int m = mirrorSumY - y;
        if (m < y && m >= top)
            continue;  // walked with its mirror
        const double dy = y - cy;
        walks.push_back({y, m > y && m < bottom ? m : -1, dy, dy * dy, 0, mirrorSumX});
    }
    const double farX = std::max(cx, dest.Width - 1 - cx), farY = std::max(std::fabs(top - cy), std::fabs(bottom - 1 - cy));
    const int rings = int(std::sqrt(farX * farX + farY * farY)) / kRingWidth + 1;
    for (int ring = rings - 1; ring >= 0; --ring) {
        // Ring 0 takes every pixel left over, so each pixel is visited exactly once.
        const double inner = double(ring) * kRingWidth, inner2 = inner * inner;
        for (Walk& w : walks) {
            while (w.left <= w.right) {
                const double dx = w.left - cx, r2 = dx * dx + w.dy2;
                if (r2 < inner2)
                    break;
                // The columns left and right, and the rows y and mirror, lie alike about the
                // centre when it sits on the middle column (row): then their offsets are the
                // exact negatives and their distance the same.
                // A mirror column past the last one (the centre at W / 2) has no pixel.
                const double r = std::sqrt(r2);
                const bool right = w.right != w.left && w.right < dest.Width;
                visit(w.left, w.y, dx, w.dy, r);
                if (right)
                    visit(w.right, w.y, -dx, w.dy, r);
                if (w.mirror >= 0) {
                    visit(w.left, w.mirror, dx, -w.dy, r);
                    if (right)
                        visit(w.right, w.mirror, -dx, -w.dy, r);
                }
                ++w.left;
                --w.right;
            }
        }
    }
    flush();
}

bool SameSize(const TFxBitmap& a, const TFxBitmap& b)
{
    return !a.Empty() && a.Width == b.Width && a.Height == b.Height && !b.Empty();
}

} // namespace

void TpelPaintFX::SplitBlur(const TFxBitmap& bmp, int amount)
{
    if (amount < 1 || bmp.Empty())
        return;
    const int w = bmp.Width, h = bmp.Height;
    const auto blurPixel = [&](std::uint8_t* p, const std::uint8_t* upRow, const std::uint8_t* downRow, int x) {
        const int left = x - amount < 0 ? x : x - amount;
        const int right = x + amount >= w ? std::min(w - x, w - 1) : x + amount;
        const std::uint8_t* ul = upRow + 3 * left;
        const std::uint8_t* ll = downRow + 3 * left;
        const std::uint8_t* ur = upRow + 3 * right;
        const std::uint8_t* lr = downRow + 3 * right;
        for (int c = 0; c < 3; ++c)
            p[c] = std::uint8_t((ul[c] + ll[c] + ur[c] + lr[c]) >> 2);
    };
    for (int y = 0; y < h; ++y) {
        const int up = y - amount < 0 ? y : y - amount;
        // The lower row mirrors to H - y near the bottom; on pictures no higher than the
        // amount that is H itself for the first row, so it is kept to the last row.
        const int down = y + amount >= h ? std::min(h - y, h - 1) : y + amount;
        std::uint8_t* row = bmp.Row(y);
        const std::uint8_t* upRow = bmp.Row(up);
        const std::uint8_t* downRow = bmp.Row(down);
        if (up == y || down == y || 2 * amount >= w) {
            // Samples from this very row: pixel by pixel, as the picture stands.
            for (int x = 0; x < w; ++x)
                blurPixel(row + 3 * x, upRow, downRow, x);
            continue;
        }
        // Every sample lies in other rows: the middle of the row in one straight pass.
        for (int x = 0; x < amount; ++x)
            blurPixel(row + 3 * x, upRow, downRow, x);
        const int off = 3 * amount;
        std::uint8_t* __restrict out = row;
        const std::uint8_t* __restrict u = upRow;
        const std::uint8_t* __restrict d = downRow;
        for (int k = off, end = 3 * (w - amount); k < end; ++k)
            out[k] = std::uint8_t((u[k - off] + d[k - off] + u[k + off] + d[k + off]) >> 2);
        for (int x = w - amount; x < w; ++x)
            blurPixel(row + 3 * x, upRow, downRow, x);
    }
}

void TpelPaintFX::GaussianBlur(const TFxBitmap& bmp, int amount)
{
    for (int i = 0; i <= amount; ++i)
        SplitBlur(bmp, 3);
}

void TpelPaintFX::Mosaic(const TFxBitmap& bmp, int size)
{
    if (size < 1 || bmp.Empty())
        return;
    for (int top = 0; top < bmp.Height; top += size) {
        const int bottom = std::min(bmp.Height, top + size);
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* row = bmp.Row(y);
            for (int x0 = 0; x0 < bmp.Width; x0 += size) {
                const std::uint8_t* src = bmp.Pixel(x0, top);
                const std::uint8_t b = src[0], g = src[1], r = src[2];
                for (int x = x0, end = std::min(bmp.Width, x0 + size); x < end; ++x) {
                    row[3 * x] = b;
                    row[3 * x + 1] = g;
                    row[3 * x + 2] = r;
                }
            }
        }
    }
}

void TpelPaintFX::Emboss(const TFxBitmap& bmp)
{
    if (bmp.Empty())
        return;
    for (int y = 0; y + 1 < bmp.Height; ++y) {
        std::uint8_t* row = bmp.Row(y);
        const std::uint8_t* below = bmp.Row(y + 1);
        for (int x = 0; x + 3 < bmp.Width; ++x)
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = std::uint8_t((255 - below[3 * (x + 3) + c] + row[3 * x + c]) >> 1);
    }
}

void TpelPaintFX::EdgeBlend(const TFxBitmap& bmp, int amount)
{
    if (amount < 1 || bmp.Empty())
        return;
    const int w = bmp.Width, h = bmp.Height;
    // An amount of 1 would name the row (column) just past the picture as the far end.
    const int b = std::min(h / amount, h - 1);
    const int c = std::min(w / amount, w - 1);
    std::copy_n(bmp.Row(h - 1), std::size_t(w) * 3, bmp.Row(0));
    if (b > 0) {
        const std::uint8_t* row0 = bmp.Row(0);
        const std::uint8_t* rowb = bmp.Row(b);
        for (int i = 1; i < b; ++i) {
            std::uint8_t* row = bmp.Row(i);
            for (int k = 0; k < w * 3; ++k)
                row[k] = ClampByte(RoundEven(row0[k] + double(rowb[k] - row0[k]) / b * i));
        }
    }
    if (c > 0) {
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = bmp.Row(y);
            std::uint8_t* last = row + 3 * (w - 1);
            std::copy_n(row, 3, last);
            std::uint8_t anchor[3];
            std::copy_n(row + 3 * (w - c), 3, anchor);
            for (int i = 1; i < c; ++i) {
                std::uint8_t* p = row + 3 * (w - 1 - i);
                for (int k = 0; k < 3; ++k)
                    p[k] = ClampByte(RoundEven(last[k] + double(anchor[k] - last[k]) / c * i));
            }
        }
    }
}

void TpelPaintFX::Twist(const TFxBitmap& source, const TFxBitmap& dest, int amount, int top, int bottom)
{
    if (amount == 0 || !SameSize(source, dest))
        return;
    constexpr double halfPi = 1.5707963267948966;
    Remap(source, dest, top, bottom, (dest.Width - 1) / 2.0, (dest.Height - 1) / 2.0,
          [amount, lastR = -1.0, c = 0.0, s = 0.0](int, int, double dx, double dy, double r, double& sx,
                                                   double& sy) mutable {
              // The point turned by pi/2 - r / amount: the same as taking the angle
              // ArcTan2(dy, dx) - r / amount + pi/2 at distance r, without the arc tangent.
              // The turn depends on r alone: mirrored pixels reuse the last one.
              if (r != lastR) {
                  const double turn = halfPi - r / amount;
                  c = std::cos(turn), s = std::sin(turn);
                  lastR = r;
              }
              sx += dx * c - dy * s;
              sy += dy * c + dx * s;
          });
}

void TpelPaintFX::FishEye(const TFxBitmap& source, const TFxBitmap& dest, double amount, int top, int bottom)
{
    if (!SameSize(source, dest))
        return;
    const double bigR = dest.Width * amount;
    const double cx = dest.Width / 2.0, cy = dest.Height / 2.0;
    // The scale s of a pixel at distance r: R / 2 * k with k = 1 / (1 - r / R) - 1; false
    // when it is not worked out there (r is 0 or R, R is 0, or k is 0), where the pixel keeps
    // the scale of the pixel before it in reading order (0 before the first).
    const auto scaleAt = [bigR](double r, double& s) {
        if (r == 0 || bigR == 0 || r == bigR)
            return false;
        const double k = 1 / (1 - r / bigR) - 1;
        if (k == 0)
            return false;
        s = bigR / 2 * k;
        return true;
    };
    // The scale depends on r alone where it is worked out: mirrored pixels reuse the last one.
    double lastR = -1, lastS = 0;
    Remap(source, dest, top, bottom, cx, cy, [&](int x, int y, double dx, double dy, double r, double& sx, double& sy) {
        double s = 0;
        if (r == lastR) {
            s = lastS;
        } else if (scaleAt(r, s)) {
            lastR = r;
            lastS = s;
        } else if (bigR != 0) {
            for (long long i = (long long)y * dest.Width + x - 1; i >= 0; --i) {
                const double bx = double(i % dest.Width) - cx, by = double(i / dest.Width) - cy;
                if (scaleAt(std::sqrt(bx * bx + by * by), s))
                    break;
            }
        }
        sx += dx * s / r;
        sy += dy * s / r;
    });
}

void TpelPaintFX::Plasma(const TFxBitmap& source, const TFxBitmap& map, int turbulence, int amount,
                         const TFxBitmap& dest)
{
    if (!SameSize(source, dest) || !SameSize(map, dest))
        return;
    if (turbulence < 10)
        turbulence = 10;
    int tx[256], ty[256];
    for (int i = 0; i < 256; ++i) {
        tx[i] = RoundEven(std::sin(double(i) / turbulence) * amount);
        ty[i] = RoundEven(std::cos(double(i) / turbulence) * amount);
    }
    for (int y = 0; y < dest.Height; ++y) {
        const std::uint8_t* m = map.Row(y);
        std::uint8_t* d = dest.Row(y);
        for (int x = 0; x < dest.Width; ++x) {
            const int v = m[3 * x];
            const int sx = x + tx[v], sy = y + ty[v];
            if (sx >= 0 && sx < dest.Width && sy >= 0 && sy < dest.Height)
                std::copy_n(source.Pixel(sx, sy), 3, d + 3 * x);
        }
    }
}

void TpelPaintFX::Tiles(const TFxBitmap& bmp, int amount, bool overlap)
{
    if (bmp.Empty())
        return;
    const int t = std::min({bmp.Width / 2, bmp.Height / 2, amount});
    // A tile below one pixel (a picture one pixel wide or high) would step by 0.
    if (t < 1)
        return;
    TFxImage tile(t, t);
    for (int y = 0; y < t; ++y)
        for (int x = 0; x < t; ++x)
            std::copy_n(bmp.Pixel(int(std::int64_t(x) * bmp.Width / t), int(std::int64_t(y) * bmp.Height / t)), 3,
                        tile.Pixel(x, y));
    const int step = overlap ? std::max(1, RoundEven(2.0 * t / 3)) : t;
    for (int gy = 0; gy < bmp.Height; gy += step)
        for (int gx = 0; gx < bmp.Width; gx += step)
            for (int y = 0; y < t && gy + y < bmp.Height; ++y)
                std::copy_n(tile.Pixel(0, y), std::size_t(std::min(t, bmp.Width - gx)) * 3, bmp.Pixel(gx, gy + y));
}
