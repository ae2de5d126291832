// Rotating and mirroring: quarter turns and mirrors as exact pixel permutations, other angles
// bilinear with a fill colour.
#include "platform/imagelib/ProcessInternal.h"
#include "platform/imagelib/ltimg.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace kvimg;

namespace {

// The picture as seen, re-stored through view perspective vp (a permutation), top-left.
int Permute(LBitmap* bitmap, std::int32_t vp)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    LBitmap work = *bitmap;
    int rc = MakeUpright(work);
    if (rc == LE_SUCCESS && vp != LVP_TOP_LEFT)
        rc = RenderView(work, vp, work);
    if (rc == LE_SUCCESS)
        *bitmap = std::move(work);
    return rc;
}

// Clockwise quarter turns 0..3 as the perspective that shows them.
constexpr std::int32_t kQuarterView[4] = {LVP_TOP_LEFT, LVP_RIGHT_TOP, LVP_BOTTOM_RIGHT, LVP_LEFT_BOTTOM};

std::int32_t NormalisedAngle(std::int32_t angle) { return std::int32_t(((std::int64_t(angle) % 36000) + 36000) % 36000); }

// A turn by any angle: every output pixel samples the source bilinearly; samples outside the
// source take the fill colour, so the edges blend into it.
int TurnFree(LBitmap* bitmap, std::int32_t angle, bool grow, LColor fill)
{
    LBitmap work = *bitmap;
    int rc = PrepareColourWork(work);
    if (rc != LE_SUCCESS)
        return rc;
    const double theta = angle / 100.0 * std::numbers::pi / 180.0;
    const double c = std::cos(theta), s = std::sin(theta);
    const std::int32_t sw = work.Width, sh = work.Height;
    std::int32_t dw = sw, dh = sh;
    if (grow) {
        dw = std::max(1, std::int32_t(std::ceil(std::fabs(sw * c) + std::fabs(sh * s) - 1e-6)));
        dh = std::max(1, std::int32_t(std::ceil(std::fabs(sw * s) + std::fabs(sh * c) - 1e-6)));
    }
    const int ch = ChannelsOf(work);
    if ((rc = CheckSize(dw, dh, work.BitsPerPixel)) != LE_SUCCESS)
        return rc;
    LBitmap out;
    if ((rc = AllocatePixels(out, dw, dh, work.BitsPerPixel, false)) != LE_SUCCESS)
        return rc;
    std::uint8_t fillPixel[3] = {LBlueOf(fill), LGreenOf(fill), LRedOf(fill)};
    if (ch == 1)
        fillPixel[0] = Luma(LRedOf(fill), LGreenOf(fill), LBlueOf(fill));
    // Source position of an output pixel centre: the inverse turn about the centres.
    const auto sourceOf = [&](double x, double y, double& sx, double& sy) {
        const double dx = x + 0.5 - dw / 2.0, dy = y + 0.5 - dh / 2.0;
        sx = dx * c + dy * s + sw / 2.0 - 0.5;
        sy = -dx * s + dy * c + sh / 2.0 - 0.5;
    };
    std::uint8_t* dst = FreshBits(out);
    StatusSteps status(dh);
    for (std::int32_t y = 0; y < dh; ++y) {
        std::uint8_t* d = out.WriteRow(dst, y);
        for (std::int32_t x = 0; x < dw; ++x, d += ch) {
            double fx, fy;
            sourceOf(x, y, fx, fy);
            const auto x0 = std::int32_t(std::floor(fx)), y0 = std::int32_t(std::floor(fy));
            if (x0 < -1 || y0 < -1 || x0 >= sw || y0 >= sh) {
                std::copy(fillPixel, fillPixel + ch, d);
                continue;
            }
            const double ax = fx - x0, ay = fy - y0;
            const double wts[4] = {(1 - ax) * (1 - ay), ax * (1 - ay), (1 - ax) * ay, ax * ay};
            double acc[3] = {0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const std::int32_t px = x0 + (k & 1), py = y0 + (k >> 1);
                const std::uint8_t* p = (px >= 0 && py >= 0 && px < sw && py < sh) ? work.Row(py) + std::ptrdiff_t(px) * ch
                                                                                     : fillPixel;
                for (int i = 0; i < ch; ++i)
                    acc[i] += wts[k] * p[i];
            }
            for (int i = 0; i < ch; ++i)
                d[i] = ClampByte(int(std::lround(acc[i])));
        }
        if ((rc = status.Step(y)) != LE_SUCCESS)
            return rc;
    }
    TakeAttributes(work, out, true, false);
    if (const LRegion* r = work.Region()) {
        // The region turns with the pixels (nearest pixel); only the turned bounds are scanned.
        const auto source = [&](std::int32_t x, std::int32_t y, std::int32_t& sx, std::int32_t& sy) {
            double fx, fy;
            sourceOf(x, y, fx, fy);
            sx = std::int32_t(std::lround(fx));
            sy = std::int32_t(std::lround(fy));
            return true;
        };
        double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
        for (const auto& [px, py] : {std::pair{r->Bounds.Left, r->Bounds.Top}, std::pair{r->Bounds.Right, r->Bounds.Top},
                                     std::pair{r->Bounds.Left, r->Bounds.Bottom},
                                     std::pair{r->Bounds.Right, r->Bounds.Bottom}}) {
            const double dx = px - sw / 2.0, dy = py - sh / 2.0;
            const double ox = dx * c - dy * s + dw / 2.0, oy = dx * s + dy * c + dh / 2.0;
            minX = std::min(minX, ox);
            maxX = std::max(maxX, ox);
            minY = std::min(minY, oy);
            maxY = std::max(maxY, oy);
        }
        const LRect box{std::int32_t(std::floor(minX)) - 1, std::int32_t(std::floor(minY)) - 1,
                        std::int32_t(std::ceil(maxX)) + 1, std::int32_t(std::ceil(maxY)) + 1};
        LBitmapAccess::SetRegion(out, MapRegion(*r, dw, dh, source, box));
    }
    *bitmap = std::move(out);
    return LE_SUCCESS;
}

} // namespace

int L_RotateBitmap(LBitmap* bitmap, std::int32_t angle, std::uint32_t flags, LColor fillColor)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    const std::int32_t a = NormalisedAngle(angle);
    const bool grow = (flags & LROTATE_RESIZE) != 0;
    // A quarter turn that keeps the size of a picture that is not square is no permutation:
    // it is sampled like any angle.
    if (a % 9000 == 0 && (grow || a == 18000 || bitmap->Width == bitmap->Height || a == 0))
        return Permute(bitmap, kQuarterView[a / 9000]);
    return TurnFree(bitmap, a, grow, fillColor);
}

int L_RotateBitmapViewPerspective(LBitmap* bitmap, std::int32_t angle)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (angle % 9000 != 0)
        return LE_INVALID_PARAMETER;
    return Permute(bitmap, kQuarterView[NormalisedAngle(angle) / 9000]);
}

int L_FlipBitmap(LBitmap* bitmap) { return Permute(bitmap, LVP_BOTTOM_LEFT); }

int L_ReverseBitmap(LBitmap* bitmap) { return Permute(bitmap, LVP_TOP_RIGHT); }
