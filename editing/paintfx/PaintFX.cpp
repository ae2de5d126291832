// The colour routines of TpelPaintFX: per-channel tables where the result depends on one
// value only, exact integer arithmetic everywhere.
#include "editing/paintfx/PaintFX.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <thread>

#include <sys/mman.h>

TFxImage::TFxImage(int width, int height, std::uint8_t fill)
    : m_width(width > 0 ? width : 0), m_height(height > 0 ? height : 0)
{
    // Large pictures ask for huge pages before their pixels are first touched: the twist and
    // the fish eye read their copy all over, and with small pages nearly every read would
    // miss the processor's address cache.
    const std::size_t size = std::size_t(m_width) * m_height * 3;
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
    if (size >= 4 * kHugePage) {
        m_bits.reserve(size);
        const auto first = reinterpret_cast<std::uintptr_t>(m_bits.data());
        const std::uintptr_t begin = (first + kHugePage - 1) & ~(kHugePage - 1), end = (first + size) & ~(kHugePage - 1);
        if (end > begin)
            madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
    m_bits.assign(size, fill);
}

TFxImage::TFxImage(const TFxBitmap& copyOf) : TFxImage(copyOf.Width, copyOf.Height)
{
    for (int y = 0; y < m_height; ++y)
        std::copy_n(copyOf.Row(y), std::size_t(m_width) * 3, Pixel(0, y));
}

int TFxRandom::Random(int n)
{
    m_seed = m_seed * 0x08088405u + 1u;
    if (n < 1)
        return 0;
    return int((std::uint64_t(m_seed) * std::uint64_t(n)) >> 32);
}

void RunInRowBands(int width, int height, const std::function<void(int top, int bottom)>& f)
{
    if (width <= 0 || height <= 0)
        return;
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    if (cores == 1 || std::int64_t(width) * height < 1000000 || height < 2 * cores) {
        f(0, height);
        return;
    }
    const int band = (height + cores - 1) / cores;
    std::vector<std::thread> threads;
    for (int top = band; top < height; top += band)
        threads.emplace_back([&f, top, band, height] { f(top, std::min(height, top + band)); });
    f(0, std::min(height, band));
    for (std::thread& t : threads)
        t.join();
}

TFxRandom& PaintFXRandom()
{
    static TFxRandom random;
    return random;
}

double TpelPaintFX::ArcTan2(double y, double x)
{
    constexpr double halfPi = 1.5707963267948966;
    if (x == 0)
        return y > 0 ? halfPi : -halfPi;
    if (x > 0)
        return std::atan(y / x);
    return std::atan(y / x) + 2 * halfPi;
}

namespace {

using Table = std::array<std::uint8_t, 256>;

template <class F>
Table MakeTable(F f)
{
    Table t{};
    for (int c = 0; c < 256; ++c)
        t[c] = TpelPaintFX::ClampByte(f(c));
    return t;
}

void ApplyTable(const TFxBitmap& bmp, const Table& t)
{
    if (bmp.Empty())
        return;
    for (int y = 0; y < bmp.Height; ++y) {
        std::uint8_t* p = bmp.Row(y);
        for (int i = 0, n = bmp.Width * 3; i < n; ++i)
            p[i] = t[p[i]];
    }
}

template <class F>
void ForEachPixel(const TFxBitmap& bmp, F f)
{
    if (bmp.Empty())
        return;
    for (int y = 0; y < bmp.Height; ++y) {
        std::uint8_t* p = bmp.Row(y);
        for (int x = 0; x < bmp.Width; ++x, p += 3)
            f(p);
    }
}

} // namespace

namespace {

// The seed of the noise generator after steps draws from seed: its step s -> s * a + 1 taken
// steps times at once, by squaring.
std::uint32_t SeedAfter(std::uint32_t seed, std::uint64_t steps)
{
    std::uint32_t mul = 0x08088405u, add = 1u;  // one step, then two, four, ...
    std::uint32_t accMul = 1u, accAdd = 0u;     // the steps taken so far
    for (; steps; steps >>= 1) {
        if (steps & 1) {
            accMul *= mul;
            accAdd = accAdd * mul + add;
        }
        add = add * mul + add;
        mul *= mul;
    }
    return seed * accMul + accAdd;
}

// Noise with draws random numbers per pixel, in reading order: the rows split over the cores,
// each band with its own generator started where the one generator would stand at its first
// pixel, so the picture and the generator end as if the pixels were done one after another.
template <class F>
void NoiseInRowBands(const TFxBitmap& bmp, TFxRandom& random, int draws, F pixel)
{
    if (bmp.Empty())
        return;
    const std::uint32_t start = random.Seed();
    RunInRowBands(bmp.Width, bmp.Height, [&](int top, int bottom) {
        TFxRandom band(SeedAfter(start, std::uint64_t(draws) * std::uint64_t(top) * std::uint64_t(bmp.Width)));
        ForEachPixel(bmp.Rows(top, bottom), [&](std::uint8_t* p) { pixel(p, band); });
    });
    random.SetSeed(SeedAfter(start, std::uint64_t(draws) * std::uint64_t(bmp.Height) * std::uint64_t(bmp.Width)));
}

} // namespace

void TpelPaintFX::AddColorNoise(const TFxBitmap& bmp, int amount)
{
    const int half = amount / 2;
    NoiseInRowBands(bmp, *m_random, 3, [&](std::uint8_t* p, TFxRandom& random) {
        for (int c = 0; c < 3; ++c)
            p[c] = ClampByte(p[c] + random.Random(amount) - half);
    });
}

void TpelPaintFX::AddMonoNoise(const TFxBitmap& bmp, int amount)
{
    const int half = amount / 2;
    NoiseInRowBands(bmp, *m_random, 1, [&](std::uint8_t* p, TFxRandom& random) {
        const int r = random.Random(amount) - half;
        for (int c = 0; c < 3; ++c)
            p[c] = ClampByte(p[c] + r);
    });
}

void TpelPaintFX::Contrast(const TFxBitmap& bmp, int amount)
{
    ApplyTable(bmp, MakeTable([amount](int c) {
                   const int d = std::abs(c - 127) * amount / 255;
                   return c < 128 ? c - d : c + d;
               }));
}

void TpelPaintFX::Lightness(const TFxBitmap& bmp, int amount)
{
    ApplyTable(bmp, MakeTable([amount](int c) { return c + (255 - c) * amount / 255; }));
}

void TpelPaintFX::Saturation(const TFxBitmap& bmp, int amount)
{
    ForEachPixel(bmp, [amount](std::uint8_t* p) {
        const int m = (p[0] + p[1] + p[2]) / 3;
        for (int c = 0; c < 3; ++c)
            p[c] = ClampByte(m + (p[c] - m) * amount / 255);
    });
}

void TpelPaintFX::Solarize(const TFxBitmap& bmp, int threshold)
{
    // (b + g + r) div 3 > threshold, as a test on the sum; 255 - c as c xor 255, without a
    // branch (on a photo the test goes either way from pixel to pixel).
    const int sumAbove = threshold < 0 ? -1 : threshold > 255 ? 765 : 3 * threshold + 2;
    ForEachPixel(bmp, [sumAbove](std::uint8_t* p) {
        const std::uint8_t flip = std::uint8_t(-int(p[0] + p[1] + p[2] > sumAbove));
        for (int c = 0; c < 3; ++c)
            p[c] ^= flip;
    });
}

void TpelPaintFX::Posterize(const TFxBitmap& bmp, int level)
{
    if (level < 1)
        return;
    ApplyTable(bmp, MakeTable([level](int c) {
                   return int(std::nearbyint(double(c) / level)) * level;
               }));
}

void TpelPaintFX::Band(const TFxBitmap& bmp, int channel, int low, int high, bool keepOthers)
{
    // The band as a table of the channel value, so no branch depends on the picture.
    const Table band = MakeTable([low, high](int c) { return low < c && c < high ? 255 : 0; });
    if (keepOthers) {
        ForEachPixel(bmp, [&](std::uint8_t* p) { p[channel] = band[p[channel]]; });
        return;
    }
    ForEachPixel(bmp, [&](std::uint8_t* p) {
        const std::uint8_t v = band[p[channel]];
        p[0] = p[1] = p[2] = 0;
        p[channel] = v;
    });
}

void TpelPaintFX::MaskOtherColors(const TFxBitmap& bmp, std::uint32_t color)
{
    const std::uint8_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    ForEachPixel(bmp, [&](std::uint8_t* p) {
        if (p[0] != b || p[1] != g || p[2] != r)
            p[0] = p[1] = p[2] = 0;
    });
}

void TpelPaintFX::MaskColor(const TFxBitmap& bmp, std::uint32_t color)
{
    const std::uint8_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    ForEachPixel(bmp, [&](std::uint8_t* p) {
        if (p[0] == b && p[1] == g && p[2] == r)
            p[0] = p[1] = p[2] = 0;
    });
}
