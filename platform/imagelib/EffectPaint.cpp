// Painting the numbered effects: the plan (a reveal map of 16-bit times, one per grain block)
// and the steps, which write only the pixels that change: those revealed since the last step
// and the wand in front of them.
#include "platform/imagelib/EffectInternal.h"
#include "platform/imagelib/lteffect.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

using namespace kvimg::efx;

struct LEfxEffectPlan {
    std::int32_t Width = 0, Height = 0, Grain = 1;
    std::int32_t BlocksX = 0, BlocksY = 0;
    std::vector<std::uint16_t> Map;   // BlocksX x BlocksY reveal times (fractions of 65536)
    // The blocks in the order of their reveal times, and those times (rising): a step visits
    // only the blocks it changes.
    std::vector<std::uint32_t> Order;
    std::vector<std::uint16_t> Times;
    // The number of blocks with a time below t.
    std::uint32_t Below(std::uint32_t t) const
    {
        if (t > 65535)
            return std::uint32_t(Times.size());
        return std::uint32_t(std::lower_bound(Times.begin(), Times.end(), std::uint16_t(t)) - Times.begin());
    }
    std::uint32_t WandTime = 0;       // the wand's depth in reveal time; 0: none
    bool WandIsNextStep = false;      // random orders: the wand marks the next step's blocks
    LColor WandColor = 0;
    bool UseTransparentColor = false;
    LColor TransparentColor = 0;
};

namespace {

bool ValidSurface(const LEfxSurface* s)
{
    return s && s->Bits && s->Width > 0 && s->Height > 0 && (s->BytesPerPixel == 3 || s->BytesPerPixel == 4) &&
           s->BytesPerLine >= s->Width * s->BytesPerPixel;
}

std::uint32_t Threshold(std::uint32_t step, std::uint32_t steps)
{
    return std::uint32_t(std::uint64_t(step) * 65536u / steps);
}

// Copies n pixels of "to" onto the surface, leaving out the transparent colour when asked.
void CopyRun(const LEfxEffectPlan& plan, std::uint8_t* dst, int dstBpp, const std::uint8_t* src, int srcBpp, int n)
{
    if (!plan.UseTransparentColor && dstBpp == srcBpp) {
        std::memcpy(dst, src, std::size_t(n) * std::size_t(dstBpp));
        if (dstBpp == 4)
            for (int i = 0; i < n; ++i)
                dst[4 * i + 3] = 0xff;
        return;
    }
    const std::uint8_t tb = LBlueOf(plan.TransparentColor), tg = LGreenOf(plan.TransparentColor),
                       tr = LRedOf(plan.TransparentColor);
    for (int i = 0; i < n; ++i, dst += dstBpp, src += srcBpp) {
        if (plan.UseTransparentColor && src[0] == tb && src[1] == tg && src[2] == tr)
            continue;
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        if (dstBpp == 4)
            dst[3] = 0xff;
    }
}

void FillRun(std::uint8_t* dst, int bpp, LColor c, int n)
{
    const std::uint8_t b = LBlueOf(c), g = LGreenOf(c), r = LRedOf(c);
    for (int i = 0; i < n; ++i, dst += bpp) {
        dst[0] = b;
        dst[1] = g;
        dst[2] = r;
        if (bpp == 4)
            dst[3] = 0xff;
    }
}

// The reveal times of the block rows [first, last).
void FillRows(LEfxEffectPlan& p, const Look& look, std::int32_t first, std::int32_t last)
{
    Spot s;
    s.width = p.Width;
    s.height = p.Height;
    s.grain = p.Grain;
    for (std::int32_t by = first; by < last; ++by) {
        const std::int32_t y0 = by * p.Grain;
        s.y = y0 + std::min(p.Grain, p.Height - y0) / 2.0;
        std::uint16_t* row = p.Map.data() + std::size_t(by) * std::size_t(p.BlocksX);
        for (std::int32_t bx = 0; bx < p.BlocksX; ++bx) {
            const std::int32_t x0 = bx * p.Grain;
            s.x = x0 + std::min(p.Grain, p.Width - x0) / 2.0;
            const double t = std::clamp(RevealTime(look, s), 0.0, 1.0);
            row[bx] = std::uint16_t(std::min(65535.0, std::floor(t * 65536.0)));
        }
    }
}

// The whole map; a large one (a fine grain on a large picture) in bands on several threads,
// each writing rows of its own.
void FillMap(LEfxEffectPlan& p, const Look& look)
{
    constexpr std::size_t kBlocksPerThread = 1 << 18;
    const std::size_t wanted = p.Map.size() / kBlocksPerThread;
    const auto threads = std::int32_t(std::min<std::size_t>({wanted, std::max(1u, std::thread::hardware_concurrency()),
                                                             8u, std::size_t(p.BlocksY)}));
    if (threads < 2) {
        FillRows(p, look, 0, p.BlocksY);
        return;
    }
    std::vector<std::thread> workers;
    try {
        for (std::int32_t i = 1; i < threads; ++i)
            workers.emplace_back(FillRows, std::ref(p), std::cref(look), p.BlocksY * i / threads,
                                 p.BlocksY * (i + 1) / threads);
    } catch (const std::system_error&) {
        // No more threads: this one does the rest.
        const std::int32_t done = p.BlocksY * std::int32_t(workers.size() + 1) / threads;
        FillRows(p, look, done, p.BlocksY);
    }
    FillRows(p, look, 0, p.BlocksY / threads);
    for (std::thread& t : workers)
        t.join();
}

// Order and Times from the map: a counting sort for large maps, a stable sort for small ones
// (so that a plan of a few blocks needs no table of every time).
void SortBlocks(LEfxEffectPlan& p)
{
    const std::size_t n = p.Map.size();
    p.Order.resize(n);
    if (n >= 65536) {
        std::vector<std::uint32_t> next(65537, 0);
        for (const std::uint16_t t : p.Map)
            ++next[std::size_t(t) + 1];
        for (std::size_t t = 1; t < next.size(); ++t)
            next[t] += next[t - 1];
        for (std::uint32_t i = 0; i < n; ++i)
            p.Order[next[p.Map[i]]++] = i;
    } else {
        for (std::uint32_t i = 0; i < n; ++i)
            p.Order[i] = i;
        std::stable_sort(p.Order.begin(), p.Order.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return p.Map[a] < p.Map[b]; });
    }
    p.Times.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        p.Times[i] = p.Map[p.Order[i]];
}

} // namespace

int L_EfxCreateEffectPlan(const LEfxEffectParams* params, std::int32_t width, std::int32_t height, LEfxEffectPlan** plan)
{
    if (!params || !plan)
        return LE_INVALID_PARAMETER;
    *plan = nullptr;
    bool valid = false;
    const Look look = LookOf(params->Effect, &valid);
    if (!valid || params->Grain < 1 || params->Grain > 256 || width < 1 || height < 1)
        return LE_INVALID_PARAMETER;
    try {
        auto p = std::make_unique<LEfxEffectPlan>();
        p->Width = width;
        p->Height = height;
        p->Grain = std::int32_t(params->Grain);
        p->BlocksX = (width + p->Grain - 1) / p->Grain;
        p->BlocksY = (height + p->Grain - 1) / p->Grain;
        p->Map.assign(std::size_t(p->BlocksX) * std::size_t(p->BlocksY), 0);
        p->WandColor = params->WandColor;
        p->UseTransparentColor = params->UseTransparentColor;
        p->TransparentColor = params->TransparentColor;
        if (look.family != Family::None) {
            FillMap(*p, look);
            if (params->WandSize > 0) {
                const double span = FrontSpan(look, width, height);
                if (span > 0)
                    p->WandTime = std::uint32_t(std::min(65536.0, std::ceil(params->WandSize * 65536.0 / span)));
                else
                    p->WandIsNextStep = true;
            }
        }
        SortBlocks(*p);
        *plan = p.release();
    } catch (const std::bad_alloc&) {
        return LE_NO_MEMORY;
    }
    return LE_SUCCESS;
}

int L_EfxDestroyEffectPlan(LEfxEffectPlan* plan)
{
    delete plan;
    return LE_SUCCESS;
}

std::uint32_t L_EfxEffectRevealAt(const LEfxEffectPlan* plan, std::int32_t x, std::int32_t y)
{
    if (!plan || x < 0 || y < 0 || x >= plan->Width || y >= plan->Height)
        return 0;
    return plan->Map[std::size_t(y / plan->Grain) * std::size_t(plan->BlocksX) + std::size_t(x / plan->Grain)];
}

int L_EfxPaintEffectSteps(const LEfxEffectPlan* plan, LEfxSurface* surface, const LRect* rect, const LEfxSurface* to,
                          std::uint32_t fromStep, std::uint32_t step, std::uint32_t steps)
{
    if (!plan || !ValidSurface(surface) || !rect || !ValidSurface(to) || steps < 1 || step > steps || fromStep > step)
        return LE_INVALID_PARAMETER;
    if (rect->Width() != plan->Width || rect->Height() != plan->Height || to->Width < plan->Width ||
        to->Height < plan->Height)
        return LE_INVALID_PARAMETER;
    if (fromStep == step)
        return LE_SUCCESS;
    const LEfxSurface& s = *surface;
    // Reveal times in [lo, hi) become "to"; [wandLo, wandHi) becomes the wand.
    const std::uint32_t lo = fromStep == 0 ? 0 : Threshold(fromStep, steps);
    const std::uint32_t hi = step == steps ? 65536u : Threshold(step, steps);
    std::uint32_t wandLo = hi, wandHi = hi;
    if (step < steps && (plan->WandTime > 0 || plan->WandIsNextStep)) {
        const std::uint32_t depth = plan->WandIsNextStep ? Threshold(step + 1, steps) - hi : plan->WandTime;
        wandHi = hi + depth;
        if (fromStep > 0)
            wandLo = std::max(hi, lo + depth);  // the part of the band painted before stays
    }
    const bool wand = wandHi > wandLo;
    // Columns and rows of the plan's area that lie on the surface.
    const std::int32_t ax0 = std::max(0, -rect->Left), ay0 = std::max(0, -rect->Top);
    const std::int32_t ax1 = std::min(plan->Width, s.Width - rect->Left);
    const std::int32_t ay1 = std::min(plan->Height, s.Height - rect->Top);
    if (ax0 >= ax1 || ay0 >= ay1)
        return LE_SUCCESS;
    const std::int32_t g = plan->Grain;
    const int bpp = s.BytesPerPixel, tbpp = to->BytesPerPixel;
    // The blocks whose times lie in [from, upTo): the new picture, or the wand.
    const auto visit = [&](std::uint32_t from, std::uint32_t upTo, bool isWand) {
        const std::uint32_t first = plan->Below(from);
        const std::uint32_t last = plan->Below(upTo);
        for (std::uint32_t i = first; i < last; ++i) {
            const std::uint32_t block = plan->Order[i];
            const std::int32_t by = std::int32_t(block / std::uint32_t(plan->BlocksX));
            const std::int32_t bx = std::int32_t(block - std::uint32_t(by) * std::uint32_t(plan->BlocksX));
            const std::int32_t x0 = std::max(ax0, bx * g), x1 = std::min(ax1, bx * g + g);
            const std::int32_t y0 = std::max(ay0, by * g), y1 = std::min(ay1, by * g + g);
            if (x0 >= x1)
                continue;
            for (std::int32_t y = y0; y < y1; ++y) {
                std::uint8_t* d = s.Bits + std::ptrdiff_t(y + rect->Top) * s.BytesPerLine +
                                  std::ptrdiff_t(x0 + rect->Left) * bpp;
                if (isWand)
                    FillRun(d, bpp, plan->WandColor, x1 - x0);
                else
                    CopyRun(*plan, d, bpp, to->Bits + std::ptrdiff_t(y) * to->BytesPerLine + std::ptrdiff_t(x0) * tbpp,
                            tbpp, x1 - x0);
            }
        }
    };
    visit(lo, hi, false);
    if (wand)
        visit(wandLo, wandHi, true);
    return LE_SUCCESS;
}

int L_EfxComposeEffectStep(const LEfxEffectPlan* plan, LEfxSurface* out, const LEfxSurface* from,
                           const LEfxSurface* to, std::uint32_t step, std::uint32_t steps)
{
    if (!plan || !ValidSurface(out) || !ValidSurface(from) || !ValidSurface(to) || steps < 1 || step > steps)
        return LE_INVALID_PARAMETER;
    if (out->Width < plan->Width || out->Height < plan->Height || from->Width < plan->Width ||
        from->Height < plan->Height)
        return LE_INVALID_PARAMETER;
    for (std::int32_t y = 0; y < plan->Height; ++y) {
        std::uint8_t* d = out->Bits + std::ptrdiff_t(y) * out->BytesPerLine;
        const std::uint8_t* f = from->Bits + std::ptrdiff_t(y) * from->BytesPerLine;
        if (out->BytesPerPixel == from->BytesPerPixel) {
            std::memcpy(d, f, std::size_t(plan->Width) * std::size_t(out->BytesPerPixel));
        } else {
            for (std::int32_t x = 0; x < plan->Width; ++x, d += out->BytesPerPixel, f += from->BytesPerPixel) {
                d[0] = f[0];
                d[1] = f[1];
                d[2] = f[2];
                if (out->BytesPerPixel == 4)
                    d[3] = 0xff;
            }
        }
    }
    const LRect r{0, 0, plan->Width, plan->Height};
    return L_EfxPaintEffectSteps(plan, out, &r, to, 0, step, steps);
}
