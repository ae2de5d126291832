// Colour and neighbourhood filters: grey scale, colour balance, unsharp masking, Gaussian blur
// (box passes, cost independent of the radius) and red-eye removal.
#include "platform/imagelib/ProcessInternal.h"
#include "platform/imagelib/ltimg.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

using namespace kvimg;

namespace {

// Runs body on a writable working copy of *bitmap made ready for colour work (allowGrey: an
// 8-bit grey bitmap stays grey) and commits the copy when body gives LE_SUCCESS.
template <class Body>
int RunFilter(LBitmap* bitmap, bool allowGrey, Body body)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    LBitmap work = *bitmap;
    int rc = PrepareColourWork(work, allowGrey);
    if (rc != LE_SUCCESS)
        return rc;
    std::uint8_t* bits = work.BeginWrite();
    if (!bits)
        return LE_NO_MEMORY;
    try {
        rc = body(work, bits);
    } catch (const std::bad_alloc&) {
        rc = LE_NO_MEMORY;
    }
    if (rc == LE_SUCCESS)
        *bitmap = std::move(work);
    return rc;
}

} // namespace

// ---- grey scale --------------------------------------------------------------------------------

int L_GrayScaleBitmap(LBitmap* bitmap, std::int32_t bitsPerPixel)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (bitsPerPixel != 8)
        return LE_INVALID_BITS;
    LBitmap work = *bitmap;
    int rc = MakeUpright(work);
    if (rc != LE_SUCCESS)
        return rc;
    if (work.BitsPerPixel == 8 && work.HasGreyPalette()) {
        if ((rc = PrepareColourWork(work)) == LE_SUCCESS)
            *bitmap = std::move(work);
        return rc;
    }
    LBitmap out;
    if ((rc = AllocatePixels(out, work.Width, work.Height, 8, false)) != LE_SUCCESS)
        return rc;
    std::uint8_t lut[256] = {};
    if (work.BitsPerPixel <= 8)
        for (int i = 0; i < work.PaletteSize(); ++i) {
            const LRgbQuad& q = work.Palette()[i];
            lut[i] = Luma(q.Red, q.Green, q.Blue);
        }
    std::uint8_t* dst = FreshBits(out);
    StatusSteps status(work.Height);
    for (std::int32_t y = 0; y < work.Height; ++y) {
        const std::uint8_t* s = work.Row(y);
        std::uint8_t* d = out.WriteRow(dst, y);
        if (work.BitsPerPixel == 24) {
            for (std::int32_t x = 0; x < work.Width; ++x, s += 3)
                d[x] = Luma(s[2], s[1], s[0]);
        } else {
            for (std::int32_t x = 0; x < work.Width; ++x)
                d[x] = lut[PixelIndex(s, x, work.BitsPerPixel)];
        }
        if ((rc = status.Step(y)) != LE_SUCCESS)
            return rc;
    }
    TakeAttributes(work, out, false, true);
    *bitmap = std::move(out);
    return LE_SUCCESS;
}

// ---- colour balance ------------------------------------------------------------------------------

int L_BalanceColors(LBitmap* bitmap, const double* redFactors, const double* greenFactors, const double* blueFactors)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (!redFactors || !greenFactors || !blueFactors)
        return LE_INVALID_PARAMETER;
    const double* rows[3] = {redFactors, greenFactors, blueFactors};
    for (const double* f : rows)
        for (int k = 0; k < 3; ++k)
            if (!std::isfinite(f[k]) || std::fabs(f[k]) > 16.0)
                return LE_INVALID_PARAMETER;
    return RunFilter(bitmap, false, [&](LBitmap& work, std::uint8_t* bits) {
        int rc = LE_SUCCESS;
        // lut[out][in][v]: the share of input channel `in` at value v in output channel `out`, in
        // 1/65536 (out, in: 0 red, 1 green, 2 blue).
        std::vector<std::int32_t> lut(9 * 256);
        for (int o = 0; o < 3; ++o)
            for (int i = 0; i < 3; ++i)
                for (int v = 0; v < 256; ++v)
                    lut[std::size_t((o * 3 + i) * 256 + v)] = std::int32_t(std::lround(rows[o][i] * 65536.0 * v));
        const auto L = [&](int o, int i, std::uint8_t v) { return lut[std::size_t((o * 3 + i) * 256 + v)]; };
        StatusSteps status(work.Height);
        for (std::int32_t y = 0; y < work.Height; ++y) {
            std::uint8_t* p = work.WriteRow(bits, y);
            for (std::int32_t x = 0; x < work.Width; ++x, p += 3) {
                const std::uint8_t b = p[0], g = p[1], r = p[2];
                for (int o = 0; o < 3; ++o)
                    p[2 - o] = ClampByte((L(o, 0, r) + L(o, 1, g) + L(o, 2, b) + 32768) >> 16);
            }
            if ((rc = status.Step(y)) != LE_SUCCESS)
                return rc;
        }
        return LE_SUCCESS;
    });
}

// ---- unsharp masking ---------------------------------------------------------------------------

int L_SharpenBitmap(LBitmap* bitmap, std::int32_t amount)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (amount < -1000 || amount > 1000)
        return LE_INVALID_PARAMETER;
    if (amount == 0)
        return LE_SUCCESS;
    return RunFilter(bitmap, true, [&](LBitmap& work, std::uint8_t* bits) {
        int rc = LE_SUCCESS;
        const int ch = ChannelsOf(work);
        const std::int32_t w = work.Width, h = work.Height;
        const std::size_t rowBytes = std::size_t(w) * std::size_t(ch);
        // The difference to the 3 x 3 binomial blur, in 1/16, times k / 1024: 1000 adds it twice,
        // -1000 moves all the way to the blur.
        const std::int64_t k = amount > 0 ? std::int64_t(amount) * 2048 / 1000 : std::int64_t(amount) * 1024 / 1000;
        // Horizontal sums (a + 2b + c) of the source rows y - 1, y, y + 1, kept in a ring.
        std::vector<std::uint16_t> ring(rowBytes * 3);
        const auto horizontal = [&](const std::uint8_t* row, std::uint16_t* out) {
            for (std::int32_t x = 0; x < w; ++x) {
                const std::int32_t l = std::max(x - 1, 0), r = std::min(x + 1, w - 1);
                for (int c = 0; c < ch; ++c)
                    out[std::size_t(x) * ch + c] = std::uint16_t(row[std::size_t(l) * ch + c] +
                                                                 2 * row[std::size_t(x) * ch + c] +
                                                                 row[std::size_t(r) * ch + c]);
            }
        };
        const auto ringRow = [&](std::int32_t y) { return ring.data() + rowBytes * std::size_t((y + 3) % 3); };
        horizontal(work.Row(0), ringRow(0));
        horizontal(work.Row(0), ringRow(-1));
        StatusSteps status(h);
        for (std::int32_t y = 0; y < h; ++y) {
            std::uint8_t* row = work.WriteRow(bits, y);
            horizontal(y + 1 < h ? row + work.BytesPerLine : row, ringRow(y + 1));
            const std::uint16_t* up = ringRow(y - 1);
            const std::uint16_t* mid = ringRow(y);
            const std::uint16_t* down = ringRow(y + 1);
            for (std::size_t i = 0; i < rowBytes; ++i) {
                const int v = row[i];
                const std::int64_t delta = std::int64_t(v) * 16 - (up[i] + 2 * mid[i] + down[i]);
                row[i] = ClampByte(v + int((k * delta + 8192) >> 14));
            }
            if ((rc = status.Step(y)) != LE_SUCCESS)
                return rc;
        }
        return LE_SUCCESS;
    });
}

// ---- Gaussian blur -------------------------------------------------------------------------------

namespace {

// One box pass along a padded row: out[x] = mean of in[x - r .. x + r].
void BoxRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t w, int ch, std::int32_t r, std::uint64_t inv)
{
    // in has `pad` (>= r + 1) repeated edge pixels on both sides; in points at pixel 0.
    std::uint32_t acc[4] = {0, 0, 0, 0};
    for (std::int32_t k = -r; k <= r; ++k)
        for (int c = 0; c < ch; ++c)
            acc[c] += in[std::ptrdiff_t(k) * ch + c];
    for (std::int32_t x = 0; x < w; ++x) {
        for (int c = 0; c < ch; ++c) {
            out[std::ptrdiff_t(x) * ch + c] = std::uint8_t((acc[c] * inv + (1u << 23)) >> 24);
            acc[c] += in[std::ptrdiff_t(x + r + 1) * ch + c];
            acc[c] -= in[std::ptrdiff_t(x - r) * ch + c];
        }
    }
}

// One box pass down the columns of a whole plane (src to dst), rows repeated at the edges.
void BoxColumns(const std::uint8_t* src, std::ptrdiff_t srcLine, std::uint8_t* dst, std::ptrdiff_t dstLine,
                std::int32_t h, std::size_t rowBytes, std::int32_t r, std::uint64_t inv, std::vector<std::uint32_t>& acc)
{
    const auto row = [&](std::int32_t y) { return src + std::ptrdiff_t(std::clamp(y, 0, h - 1)) * srcLine; };
    std::fill(acc.begin(), acc.end(), 0u);
    for (std::int32_t k = -r; k <= r; ++k) {
        const std::uint8_t* p = row(k);
        for (std::size_t i = 0; i < rowBytes; ++i)
            acc[i] += p[i];
    }
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* d = dst + std::ptrdiff_t(y) * dstLine;
        const std::uint8_t* add = row(y + r + 1);
        const std::uint8_t* sub = row(y - r);
        for (std::size_t i = 0; i < rowBytes; ++i) {
            d[i] = std::uint8_t((acc[i] * inv + (1u << 23)) >> 24);
            acc[i] += add[i];
            acc[i] -= sub[i];
        }
    }
}

// Radii of three box passes whose result approximates a Gaussian of sigma.
void BoxRadii(double sigma, std::int32_t radii[3])
{
    const double ideal = std::sqrt(12.0 * sigma * sigma / 3.0 + 1.0);
    auto wl = std::int32_t(std::floor(ideal));
    if (wl % 2 == 0)
        --wl;
    const std::int32_t wu = wl + 2;
    const double mIdeal = (12.0 * sigma * sigma - 3.0 * wl * wl - 12.0 * wl - 9.0) / (-4.0 * wl - 4.0);
    const auto m = std::int32_t(std::lround(mIdeal));
    for (int i = 0; i < 3; ++i)
        radii[i] = ((i < m ? wl : wu) - 1) / 2;
}

int BlurBoxes(LBitmap& work, std::uint8_t* bits, double sigma)
{
    const int ch = ChannelsOf(work);
    const std::int32_t w = work.Width, h = work.Height;
    const std::size_t rowBytes = std::size_t(w) * std::size_t(ch);
    std::int32_t radii[3];
    BoxRadii(sigma, radii);
    std::uint64_t inv[3];
    for (int i = 0; i < 3; ++i)
        inv[i] = std::uint64_t(std::llround(double(1u << 24) / double(2 * radii[i] + 1)));
    const std::int32_t pad = *std::max_element(radii, radii + 3) + 1;
    StatusSteps status(std::int64_t(h) * 4);
    int rc;
    // Rows: the three passes one row at a time, in padded buffers.
    std::vector<std::uint8_t> a((std::size_t(w) + 2 * std::size_t(pad)) * ch), b(a.size());
    const auto padEdges = [&](std::vector<std::uint8_t>& buf) {
        std::uint8_t* p = buf.data();
        for (std::int32_t k = 0; k < pad; ++k) {
            std::memcpy(p + std::size_t(k) * ch, p + std::size_t(pad) * ch, std::size_t(ch));
            std::memcpy(p + (std::size_t(pad) + w + k) * ch, p + (std::size_t(pad) + w - 1) * ch, std::size_t(ch));
        }
    };
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* row = work.WriteRow(bits, y);
        std::memcpy(a.data() + std::size_t(pad) * ch, row, rowBytes);
        for (int i = 0; i < 3; ++i) {
            std::vector<std::uint8_t>& from = (i % 2 == 0) ? a : b;
            std::vector<std::uint8_t>& to = (i % 2 == 0) ? b : a;
            padEdges(from);
            BoxRow(from.data() + std::size_t(pad) * ch, to.data() + std::size_t(pad) * ch, w, ch, radii[i], inv[i]);
        }
        std::memcpy(row, b.data() + std::size_t(pad) * ch, rowBytes);  // the third pass wrote b
        if ((rc = status.Step(y)) != LE_SUCCESS)
            return rc;
    }
    // Columns: three passes over the plane, through a second plane.
    std::vector<std::uint8_t> plane(rowBytes * std::size_t(h));
    std::vector<std::uint32_t> acc(rowBytes);
    const auto ours = std::ptrdiff_t(work.BytesPerLine), theirs = std::ptrdiff_t(rowBytes);
    BoxColumns(bits, ours, plane.data(), theirs, h, rowBytes, radii[0], inv[0], acc);
    if ((rc = status.Step(2 * std::int64_t(h))) != LE_SUCCESS)
        return rc;
    BoxColumns(plane.data(), theirs, bits, ours, h, rowBytes, radii[1], inv[1], acc);
    if ((rc = status.Step(3 * std::int64_t(h))) != LE_SUCCESS)
        return rc;
    BoxColumns(bits, ours, plane.data(), theirs, h, rowBytes, radii[2], inv[2], acc);
    for (std::int32_t y = 0; y < h; ++y)
        std::memcpy(bits + std::ptrdiff_t(y) * ours, plane.data() + std::ptrdiff_t(y) * theirs, rowBytes);
    return status.Step(4 * std::int64_t(h) - 1);
}

// Small sigmas, where box passes are too coarse: the sampled Gaussian itself.
int BlurKernel(LBitmap& work, std::uint8_t* bits, double sigma)
{
    const int ch = ChannelsOf(work);
    const std::int32_t w = work.Width, h = work.Height;
    const std::size_t rowBytes = std::size_t(w) * std::size_t(ch);
    const auto half = std::int32_t(std::ceil(3.0 * sigma));
    std::vector<std::int32_t> kernel(std::size_t(2 * half + 1));
    double sum = 0;
    std::vector<double> raw(kernel.size());
    for (std::int32_t i = -half; i <= half; ++i)
        sum += raw[std::size_t(i + half)] = std::exp(-double(i) * i / (2.0 * sigma * sigma));
    std::int32_t total = 0;
    for (std::size_t i = 0; i < kernel.size(); ++i)
        total += kernel[i] = std::int32_t(std::lround(raw[i] / sum * 16384.0));
    kernel[std::size_t(half)] += 16384 - total;
    std::vector<std::uint8_t> plane(rowBytes * std::size_t(h));
    StatusSteps status(2 * std::int64_t(h));
    int rc;
    for (std::int32_t y = 0; y < h; ++y) {
        const std::uint8_t* s = work.Row(y);
        std::uint8_t* d = plane.data() + rowBytes * std::size_t(y);
        for (std::int32_t x = 0; x < w; ++x)
            for (int c = 0; c < ch; ++c) {
                std::int32_t acc = 0;
                for (std::int32_t k = -half; k <= half; ++k)
                    acc += kernel[std::size_t(k + half)] * s[std::size_t(std::clamp(x + k, 0, w - 1)) * ch + c];
                d[std::size_t(x) * ch + c] = ClampByte((acc + 8192) >> 14);
            }
        if ((rc = status.Step(y)) != LE_SUCCESS)
            return rc;
    }
    std::vector<std::int32_t> acc(rowBytes);
    for (std::int32_t y = 0; y < h; ++y) {
        std::fill(acc.begin(), acc.end(), 0);
        for (std::int32_t k = -half; k <= half; ++k) {
            const std::uint8_t* s = plane.data() + rowBytes * std::size_t(std::clamp(y + k, 0, h - 1));
            const std::int32_t wk = kernel[std::size_t(k + half)];
            for (std::size_t i = 0; i < rowBytes; ++i)
                acc[i] += wk * s[i];
        }
        std::uint8_t* d = work.WriteRow(bits, y);
        for (std::size_t i = 0; i < rowBytes; ++i)
            d[i] = ClampByte((acc[i] + 8192) >> 14);
        if ((rc = status.Step(h + y)) != LE_SUCCESS)
            return rc;
    }
    return LE_SUCCESS;
}

} // namespace

int L_GaussianFilterBitmap(LBitmap* bitmap, std::int32_t radius)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (radius < 0)
        return LE_INVALID_PARAMETER;
    if (radius == 0)
        return LE_SUCCESS;
    return RunFilter(bitmap, true, [&](LBitmap& work, std::uint8_t* bits) {
        const double sigma = radius / 2.0;
        return sigma < 2.0 ? BlurKernel(work, bits, sigma) : BlurBoxes(work, bits, sigma);
    });
}

// ---- red eyes ------------------------------------------------------------------------------------

int L_RemoveRedeyeBitmap(LBitmap* bitmap, LColor newColor, std::int32_t threshold, std::int32_t lightness)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (lightness < 0)
        return LE_INVALID_PARAMETER;
    return RunFilter(bitmap, false, [&](LBitmap& work, std::uint8_t* bits) {
        int rc = LE_SUCCESS;
        const LRegion* region = work.Region();
        const LRect area = region ? region->Bounds : LRect{0, 0, work.Width, work.Height};
        const int margin = std::max(0, threshold) / 2;
        const std::int64_t scale = std::min<std::int64_t>(lightness, 100000);
        StatusSteps status(area.Height());
        for (std::int32_t y = area.Top; y < area.Bottom; ++y) {
            std::uint8_t* row = work.WriteRow(bits, y);
            for (std::int32_t x = area.Left; x < area.Right; ++x) {
                if (region && !region->Contains(x, y))
                    continue;
                std::uint8_t* p = row + std::ptrdiff_t(x) * 3;
                const int b = p[0], g = p[1], r = p[2];
                const int other = std::max(g, b);
                if (r - other < margin || r <= other)
                    continue;
                // The eye keeps its brightness without the red cast.
                const std::int64_t level = std::int64_t(other) * scale;
                p[0] = ClampByte(int(LBlueOf(newColor) * level / (255 * 100)));
                p[1] = ClampByte(int(LGreenOf(newColor) * level / (255 * 100)));
                p[2] = ClampByte(int(LRedOf(newColor) * level / (255 * 100)));
            }
            if ((rc = status.Step(y - area.Top)) != LE_SUCCESS)
                return rc;
        }
        return LE_SUCCESS;
    });
}
