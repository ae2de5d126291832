// Filling, combining two bitmaps, and the screen capture service.
#include "platform/imagelib/ProcessInternal.h"
#include "platform/imagelib/ltimg.h"

#include <algorithm>
#include <cstring>
#include <mutex>

using namespace kvimg;

int L_FillBitmap(LBitmap* bitmap, LColor color)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    LBitmap work = *bitmap;
    int rc = PrepareColourWork(work);
    if (rc != LE_SUCCESS)
        return rc;
    std::uint8_t* bits = work.BeginWrite();
    if (!bits)
        return LE_NO_MEMORY;
    const int ch = ChannelsOf(work);
    const std::uint8_t pixel[3] = {ch == 1 ? Luma(LRedOf(color), LGreenOf(color), LBlueOf(color)) : LBlueOf(color),
                                   LGreenOf(color), LRedOf(color)};
    const LRegion* region = work.Region();
    const LRect area = region ? region->Bounds : LRect{0, 0, work.Width, work.Height};
    for (std::int32_t y = area.Top; y < area.Bottom; ++y) {
        std::uint8_t* p = work.WriteRow(bits, y) + std::ptrdiff_t(area.Left) * ch;
        const std::uint8_t* mask = region ? region->MaskRow(y) : nullptr;
        for (std::int32_t x = area.Left; x < area.Right; ++x, p += ch)
            if (!mask || mask[x - area.Left])
                std::memcpy(p, pixel, std::size_t(ch));
    }
    *bitmap = std::move(work);
    return LE_SUCCESS;
}

int L_CombineBitmap(LBitmap* dst, std::int32_t xDst, std::int32_t yDst, std::int32_t width, std::int32_t height,
                    const LBitmap* src, std::int32_t xSrc, std::int32_t ySrc, std::uint32_t flags)
{
    if (!dst || !dst->IsAllocated() || !src || !src->IsAllocated())
        return LE_NO_BITMAP;
    if (flags != 0 && flags != LCB_COPY)
        return LE_NOT_SUPPORTED;
    if (width < 0 || height < 0)
        return LE_INVALID_PARAMETER;
    LBitmap source = *src;
    int rc = MakeUpright(source);
    LBitmap work = *dst;
    if (rc == LE_SUCCESS)
        rc = PrepareColourWork(work);
    if (rc != LE_SUCCESS)
        return rc;
    // Clip the rectangle to both bitmaps (64-bit: the caller's numbers may be anything).
    std::int64_t dx = xDst, dy = yDst, sx = xSrc, sy = ySrc, w = width, h = height;
    const auto clipStart = [](std::int64_t& a, std::int64_t& b, std::int64_t& n) {
        const std::int64_t shift = std::max<std::int64_t>({0, -a, -b});
        a += shift;
        b += shift;
        n -= shift;
    };
    clipStart(dx, sx, w);
    clipStart(dy, sy, h);
    w = std::min({w, std::int64_t(work.Width) - dx, std::int64_t(source.Width) - sx});
    h = std::min({h, std::int64_t(work.Height) - dy, std::int64_t(source.Height) - sy});
    if (w <= 0 || h <= 0)
        return LE_SUCCESS;
    std::uint8_t* bits = work.BeginWrite();
    if (!bits)
        return LE_NO_MEMORY;
    const int ch = ChannelsOf(work);
    const LRegion* region = work.Region();
    std::vector<std::uint8_t> line(std::size_t(w) * 3);
    for (std::int64_t row = 0; row < h; ++row) {
        const auto ty = std::int32_t(dy + row);
        const std::uint8_t* s = source.Row(std::int32_t(sy + row));
        // The source pixels as B, G, R.
        if (source.BitsPerPixel == 24) {
            std::memcpy(line.data(), s + 3 * sx, line.size());
        } else {
            for (std::int64_t i = 0; i < w; ++i) {
                const LRgbQuad& q = source.Palette()[PixelIndex(s, std::int32_t(sx + i), source.BitsPerPixel)];
                line[std::size_t(3 * i)] = q.Blue;
                line[std::size_t(3 * i + 1)] = q.Green;
                line[std::size_t(3 * i + 2)] = q.Red;
            }
        }
        std::uint8_t* d = work.WriteRow(bits, ty) + dx * ch;
        for (std::int64_t i = 0; i < w; ++i, d += ch) {
            if (region && !region->Contains(std::int32_t(dx + i), ty))
                continue;
            const std::uint8_t* p = line.data() + 3 * i;
            if (ch == 1)
                d[0] = Luma(p[2], p[1], p[0]);
            else
                std::memcpy(d, p, 3);
        }
    }
    *dst = std::move(work);
    return LE_SUCCESS;
}

// ---- the screen capture service -------------------------------------------------------------------

namespace {
std::mutex g_screenLock;
LScreenService g_screen;

LScreenService InstalledScreen()
{
    std::lock_guard lock(g_screenLock);
    return g_screen;
}
} // namespace

int L_SetScreenService(const LScreenService* service, LScreenService* old)
{
    std::lock_guard lock(g_screenLock);
    if (old)
        *old = g_screen;
    g_screen = service ? *service : LScreenService{};
    return LE_SUCCESS;
}

bool L_HasScreenService() { return InstalledScreen().Capture != nullptr; }

int L_GetScreenSize(std::int32_t* width, std::int32_t* height)
{
    if (!width || !height)
        return LE_INVALID_PARAMETER;
    const LScreenService s = InstalledScreen();
    if (!s.ScreenSize)
        return LE_NOT_SUPPORTED;
    return s.ScreenSize(s.User, width, height);
}

int L_ScreenCaptureBitmap(LBitmap* bitmap, const LRect* rect)
{
    if (!bitmap)
        return LE_NO_BITMAP;
    if (!rect || rect->IsEmpty())
        return LE_INVALID_PARAMETER;
    const LScreenService s = InstalledScreen();
    if (!s.Capture)
        return LE_NOT_SUPPORTED;
    LBitmap out;
    const int rc = s.Capture(s.User, rect, &out);
    if (rc != LE_SUCCESS)
        return rc;
    if (!out.IsAllocated())
        return LE_NO_BITMAP;
    *bitmap = std::move(out);
    return LE_SUCCESS;
}
