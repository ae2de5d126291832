// Resizing: nearest pixel, triangle and bicubic resampling with filters that widen when
// shrinking; and the helpers the processing calls share (upright, working depth, regions).
#include "platform/imagelib/ProcessInternal.h"
#include "platform/imagelib/ltimg.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace kvimg {

int MakeUpright(LBitmap& b)
{
    if (b.ViewPerspective == LVP_TOP_LEFT || !L_IsViewPerspective(b.ViewPerspective)) {
        b.ViewPerspective = LVP_TOP_LEFT;
        return LE_SUCCESS;
    }
    return RenderView(b, b.ViewPerspective, b);
}

int PrepareColourWork(LBitmap& b, bool allowGrey)
{
    int rc = MakeUpright(b);
    if (rc != LE_SUCCESS || b.BitsPerPixel == 24)
        return rc;
    if (!allowGrey || b.BitsPerPixel != 8 || !b.HasGreyPalette())
        return ConvertDepth(b, 24);
    const LRgbQuad* pal = b.Palette();
    bool ramp = true;
    for (int i = 0; i < 256 && ramp; ++i)
        ramp = pal[i].Red == i;
    if (ramp)
        return LE_SUCCESS;
    // Indices become grey levels.
    LBitmap out;
    rc = AllocatePixels(out, b.Width, b.Height, 8, false);
    if (rc != LE_SUCCESS)
        return rc;
    std::uint8_t* dst = FreshBits(out);
    for (std::int32_t y = 0; y < b.Height; ++y) {
        const std::uint8_t* s = b.Row(y);
        std::uint8_t* d = out.WriteRow(dst, y);
        for (std::int32_t x = 0; x < b.Width; ++x)
            d[x] = pal[s[x]].Red;
    }
    TakeAttributes(b, out, false, true);
    b = std::move(out);
    return LE_SUCCESS;
}

std::shared_ptr<const LRegion> MapRegion(const LRegion& old, std::int32_t w, std::int32_t h,
                                         const std::function<bool(std::int32_t, std::int32_t, std::int32_t&, std::int32_t&)>& source,
                                         const LRect& box)
{
    const LRect area{std::max(0, box.Left), std::max(0, box.Top), std::min(w, box.Right), std::min(h, box.Bottom)};
    if (area.IsEmpty())
        return nullptr;
    std::vector<std::uint8_t> mask(std::size_t(area.Width()) * std::size_t(area.Height()), 0);
    LRect tight{area.Right, area.Bottom, area.Left, area.Top};
    for (std::int32_t y = area.Top; y < area.Bottom; ++y)
        for (std::int32_t x = area.Left; x < area.Right; ++x) {
            std::int32_t sx, sy;
            if (source(x, y, sx, sy) && old.Contains(sx, sy)) {
                mask[std::size_t(y - area.Top) * std::size_t(area.Width()) + std::size_t(x - area.Left)] = 1;
                tight.Left = std::min(tight.Left, x);
                tight.Top = std::min(tight.Top, y);
                tight.Right = std::max(tight.Right, x + 1);
                tight.Bottom = std::max(tight.Bottom, y + 1);
            }
        }
    if (tight.IsEmpty())
        return nullptr;
    auto out = std::make_shared<LRegion>();
    out->Bounds = tight;
    out->Mask.resize(std::size_t(tight.Width()) * std::size_t(tight.Height()));
    for (std::int32_t y = tight.Top; y < tight.Bottom; ++y)
        std::memcpy(out->Mask.data() + std::size_t(y - tight.Top) * std::size_t(tight.Width()),
                    mask.data() + std::size_t(y - area.Top) * std::size_t(area.Width()) + std::size_t(tight.Left - area.Left),
                    std::size_t(tight.Width()));
    return out;
}

std::shared_ptr<const LRegion> MapRegion(const LRegion& old, std::int32_t w, std::int32_t h,
                                         const std::function<bool(std::int32_t, std::int32_t, std::int32_t&, std::int32_t&)>& source)
{
    return MapRegion(old, w, h, source, LRect{0, 0, w, h});
}

namespace {

constexpr int kWeightBits = 14;
constexpr std::int32_t kWeightOne = 1 << kWeightBits;
constexpr std::int32_t kRound = 1 << (kWeightBits - 1);

double Triangle(double x)
{
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

double CatmullRom(double x)
{
    x = std::fabs(x);
    if (x < 1.0)
        return (1.5 * x - 2.5) * x * x + 1.0;
    if (x < 2.0)
        return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
    return 0.0;
}

// The input samples and weights of every output pixel along one axis.
struct Taps {
    std::int32_t stride = 0;
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> count;
    std::vector<std::int32_t> weights; // stride per output pixel
};

Taps MakeTaps(std::int32_t in, std::int32_t out, std::uint32_t filter)
{
    const bool cubic = (filter & LSIZE_BICUBIC) != 0;
    const double scale = double(out) / double(in);
    const double stretch = scale < 1.0 ? 1.0 / scale : 1.0;
    const double support = (cubic ? 2.0 : 1.0) * stretch;
    Taps t;
    t.stride = std::min<std::int32_t>(in, std::int32_t(std::ceil(2.0 * support)) + 2);
    t.first.resize(std::size_t(out));
    t.count.resize(std::size_t(out));
    t.weights.assign(std::size_t(out) * std::size_t(t.stride), 0);
    std::vector<double> w(std::size_t(t.stride));
    for (std::int32_t i = 0; i < out; ++i) {
        const double centre = (i + 0.5) / scale - 0.5;
        const auto lo = std::int32_t(std::ceil(centre - support));
        const auto hi = std::int32_t(std::floor(centre + support));
        // Samples beyond the edges repeat the edge pixels.
        const std::int32_t first = std::clamp(lo, 0, in - 1);
        const std::int32_t last = std::clamp(hi, 0, in - 1);
        const std::int32_t n = std::min(last - first + 1, t.stride);
        std::fill(w.begin(), w.end(), 0.0);
        double sum = 0;
        for (std::int32_t j = lo; j <= hi; ++j) {
            const double v = cubic ? CatmullRom((j - centre) / stretch) : Triangle((j - centre) / stretch);
            const std::int32_t k = std::clamp(std::clamp(j, 0, in - 1) - first, 0, n - 1);
            w[std::size_t(k)] += v;
            sum += v;
        }
        std::int32_t* wi = t.weights.data() + std::size_t(i) * std::size_t(t.stride);
        if (sum <= 1e-9) {
            wi[0] = kWeightOne;
            t.first[std::size_t(i)] = std::clamp(std::int32_t(std::lround(centre)), 0, in - 1);
            t.count[std::size_t(i)] = 1;
            continue;
        }
        std::int32_t total = 0, biggest = 0;
        for (std::int32_t k = 0; k < n; ++k) {
            wi[k] = std::int32_t(std::lround(w[std::size_t(k)] / sum * kWeightOne));
            total += wi[k];
            if (wi[k] > wi[biggest])
                biggest = k;
        }
        wi[biggest] += kWeightOne - total;  // the weights sum exactly to one
        t.first[std::size_t(i)] = first;
        t.count[std::size_t(i)] = n;
    }
    return t;
}

template <int C>
void HorizontalRow(const std::uint8_t* src, std::uint8_t* dst, std::int32_t dstW, const Taps& t)
{
    for (std::int32_t x = 0; x < dstW; ++x) {
        const std::int32_t* w = t.weights.data() + std::size_t(x) * std::size_t(t.stride);
        const std::uint8_t* s = src + std::ptrdiff_t(t.first[std::size_t(x)]) * C;
        const std::int32_t n = t.count[std::size_t(x)];
        std::int32_t acc[C] = {};
        for (std::int32_t k = 0; k < n; ++k, s += C)
            for (int c = 0; c < C; ++c)
                acc[c] += w[k] * s[c];
        for (int c = 0; c < C; ++c)
            dst[std::ptrdiff_t(x) * C + c] = ClampByte((acc[c] + kRound) >> kWeightBits);
    }
}

void HorizontalAny(int channels, const std::uint8_t* src, std::uint8_t* dst, std::int32_t dstW, const Taps& t)
{
    switch (channels) {
    case 1: HorizontalRow<1>(src, dst, dstW, t); break;
    case 3: HorizontalRow<3>(src, dst, dstW, t); break;
    default: HorizontalRow<4>(src, dst, dstW, t); break;
    }
}

} // namespace

int ResamplePixels(const std::uint8_t* src, std::int32_t srcW, std::int32_t srcH, std::int32_t srcLine, int channels,
                   std::uint8_t* dst, std::int32_t dstW, std::int32_t dstH, std::int32_t dstLine, std::uint32_t filter,
                   StatusSteps* status)
{
    try {
        const std::size_t rowBytes = std::size_t(dstW) * std::size_t(channels);
        // Horizontal pass into a buffer of srcH rows of the new width (skipped when the width
        // stays).
        std::vector<std::uint8_t> tmp;
        const std::uint8_t* mid = src;
        std::ptrdiff_t midLine = srcLine;
        if (dstW != srcW) {
            const Taps h = MakeTaps(srcW, dstW, filter);
            tmp.resize(rowBytes * std::size_t(srcH));
            for (std::int32_t y = 0; y < srcH; ++y) {
                HorizontalAny(channels, src + std::ptrdiff_t(y) * srcLine, tmp.data() + rowBytes * std::size_t(y), dstW, h);
                if (status) {
                    if (const int rc = status->Step(y); rc != LE_SUCCESS)
                        return rc;
                }
            }
            mid = tmp.data();
            midLine = std::ptrdiff_t(rowBytes);
        }
        if (dstH == srcH) {
            for (std::int32_t y = 0; y < dstH; ++y)
                std::memcpy(dst + std::ptrdiff_t(y) * dstLine, mid + std::ptrdiff_t(y) * midLine, rowBytes);
            return LE_SUCCESS;
        }
        const Taps v = MakeTaps(srcH, dstH, filter);
        std::vector<std::int32_t> acc(rowBytes);
        for (std::int32_t y = 0; y < dstH; ++y) {
            std::fill(acc.begin(), acc.end(), 0);
            const std::int32_t* w = v.weights.data() + std::size_t(y) * std::size_t(v.stride);
            const std::int32_t first = v.first[std::size_t(y)];
            for (std::int32_t k = 0; k < v.count[std::size_t(y)]; ++k) {
                const std::uint8_t* row = mid + std::ptrdiff_t(first + k) * midLine;
                const std::int32_t wk = w[k];
                for (std::size_t i = 0; i < rowBytes; ++i)
                    acc[i] += wk * row[i];
            }
            std::uint8_t* d = dst + std::ptrdiff_t(y) * dstLine;
            for (std::size_t i = 0; i < rowBytes; ++i)
                d[i] = ClampByte((acc[i] + kRound) >> kWeightBits);
            if (status) {
                if (const int rc = status->Step(srcH + y); rc != LE_SUCCESS)
                    return rc;
            }
        }
        return LE_SUCCESS;
    } catch (const std::bad_alloc&) {
        return LE_NO_MEMORY;
    }
}

} // namespace kvimg

using namespace kvimg;

int L_ExpandBitmapTo24(LBitmap* bitmap)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    LBitmap work = *bitmap;
    const int rc = PrepareColourWork(work, false);
    if (rc == LE_SUCCESS)
        *bitmap = std::move(work);
    return rc;
}

int L_SizeBitmap(LBitmap* bitmap, std::int32_t width, std::int32_t height, std::uint32_t flags)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (width < 1 || height < 1 || width > kMaxDimension || height > kMaxDimension)
        return LE_INVALID_SIZE;
    LBitmap work = *bitmap;
    const bool filtered = (flags & (LSIZE_RESAMPLE | LSIZE_BICUBIC)) != 0;
    int rc = filtered ? PrepareColourWork(work) : MakeUpright(work);
    if (rc != LE_SUCCESS)
        return rc;
    const std::int32_t bits = work.BitsPerPixel;
    if ((rc = CheckSize(width, height, bits)) != LE_SUCCESS)
        return rc;
    LBitmap out;
    if ((rc = AllocatePixels(out, width, height, bits, bits < 8)) != LE_SUCCESS)
        return rc;
    std::uint8_t* dst = FreshBits(out);
    const std::int32_t sw = work.Width, sh = work.Height;
    StatusSteps status(filtered ? std::int64_t(sh) + height : height);
    if (filtered) {
        rc = ResamplePixels(work.Bits(), sw, sh, work.BytesPerLine, ChannelsOf(work), dst, width, height,
                            out.BytesPerLine, flags & LSIZE_BICUBIC ? LSIZE_BICUBIC : LSIZE_RESAMPLE, &status);
    } else {
        // The pixel whose centre lies under each output pixel's centre.
        std::vector<std::int32_t> xs(std::size_t(width), 0);
        for (std::int32_t x = 0; x < width; ++x)
            xs[std::size_t(x)] = std::int32_t((std::int64_t(2 * x + 1) * sw) / (std::int64_t(2) * width));
        for (std::int32_t y = 0; y < height && rc == LE_SUCCESS; ++y) {
            const std::int32_t sy = std::int32_t((std::int64_t(2 * y + 1) * sh) / (std::int64_t(2) * height));
            const std::uint8_t* s = work.Row(sy);
            std::uint8_t* d = out.WriteRow(dst, y);
            if (bits == 24) {
                for (std::int32_t x = 0; x < width; ++x)
                    std::memcpy(d + 3 * x, s + 3 * xs[std::size_t(x)], 3);
            } else if (bits == 8) {
                for (std::int32_t x = 0; x < width; ++x)
                    d[x] = s[xs[std::size_t(x)]];
            } else {
                for (std::int32_t x = 0; x < width; ++x)
                    SetPixelIndex(d, x, bits, PixelIndex(s, xs[std::size_t(x)], bits));
            }
            rc = status.Step(y);
        }
    }
    if (rc != LE_SUCCESS)
        return rc;
    TakeAttributes(work, out, true, false);
    if (const LRegion* r = work.Region()) {
        const auto source = [&](std::int32_t x, std::int32_t y, std::int32_t& sx, std::int32_t& sy) {
            sx = std::int32_t((std::int64_t(2 * x + 1) * sw) / (std::int64_t(2) * width));
            sy = std::int32_t((std::int64_t(2 * y + 1) * sh) / (std::int64_t(2) * height));
            return true;
        };
        const LRect box{std::int32_t(std::int64_t(r->Bounds.Left) * width / sw) - 1,
                        std::int32_t(std::int64_t(r->Bounds.Top) * height / sh) - 1,
                        std::int32_t(std::int64_t(r->Bounds.Right) * width / sw) + 2,
                        std::int32_t(std::int64_t(r->Bounds.Bottom) * height / sh) + 2};
        LBitmapAccess::SetRegion(out, MapRegion(*r, width, height, source, box));
    }
    *bitmap = std::move(out);
    return LE_SUCCESS;
}
