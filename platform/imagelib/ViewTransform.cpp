// View perspectives: rendering a bitmap as seen, EXIF orientation, rows as seen.
#include "platform/imagelib/ImageInternal.h"
#include "platform/imagelib/ViewMap.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kvimg {

ViewMap ViewMap::For(std::int32_t vp, std::int32_t w, std::int32_t h)
{
    // sx = ax*x + bx*y + cx, sy = ay*x + by*y + cy for a pixel (x, y) of the view.
    switch (vp) {
    case LVP_TOP_RIGHT: return {-1, 0, w - 1, 0, 1, 0};
    case LVP_BOTTOM_RIGHT: return {-1, 0, w - 1, 0, -1, h - 1};
    case LVP_BOTTOM_LEFT: return {1, 0, 0, 0, -1, h - 1};
    case LVP_LEFT_TOP: return {0, 1, 0, 1, 0, 0};
    case LVP_RIGHT_TOP: return {0, 1, 0, -1, 0, h - 1};
    case LVP_LEFT_BOTTOM: return {0, -1, w - 1, 1, 0, 0};
    case LVP_RIGHT_BOTTOM: return {0, -1, w - 1, -1, 0, h - 1};
    default: return {1, 0, 0, 0, 1, 0};
    }
}

void ViewMap::ToView(std::int32_t sx, std::int32_t sy, std::int32_t& x, std::int32_t& y) const
{
    // The matrix is a signed permutation: its inverse is its transpose.
    const std::int32_t dx = sx - cx, dy = sy - cy;
    x = ax * dx + ay * dy;
    y = bx * dx + by * dy;
}

std::int32_t InverseViewPerspective(std::int32_t vp)
{
    if (vp == LVP_RIGHT_TOP)
        return LVP_LEFT_BOTTOM;
    if (vp == LVP_LEFT_BOTTOM)
        return LVP_RIGHT_TOP;
    return vp;
}

namespace {
LRect MapRect(const LRect& r, std::int32_t vp, std::int32_t w, std::int32_t h, bool toView)
{
    const ViewMap m = ViewMap::For(vp, w, h);
    std::int32_t x0, y0, x1, y1;
    if (toView) {
        m.ToView(r.Left, r.Top, x0, y0);
        m.ToView(r.Right - 1, r.Bottom - 1, x1, y1);
    } else {
        m.ToStored(r.Left, r.Top, x0, y0);
        m.ToStored(r.Right - 1, r.Bottom - 1, x1, y1);
    }
    return LRect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1};
}
} // namespace

LRect MapStoredRectToView(const LRect& r, std::int32_t vp, std::int32_t w, std::int32_t h)
{
    return MapRect(r, vp, w, h, true);
}

LRect MapViewRectToStored(const LRect& r, std::int32_t vp, std::int32_t w, std::int32_t h)
{
    return MapRect(r, vp, w, h, false);
}

namespace {

// Copies the view (dw x dh) of a stored plane through map m, in tiles so that turned pictures
// read memory in cache-sized pieces.
template <int Bits>
void RenderPlane(const std::uint8_t* src, std::int32_t srcLine, std::uint8_t* dst, std::int32_t dstLine,
                 std::int32_t dw, std::int32_t dh, const ViewMap& m)
{
    constexpr std::int32_t kTile = 64;
    for (std::int32_t ty = 0; ty < dh; ty += kTile) {
        const std::int32_t yEnd = std::min(dh, ty + kTile);
        for (std::int32_t tx = 0; tx < dw; tx += kTile) {
            const std::int32_t xEnd = std::min(dw, tx + kTile);
            for (std::int32_t y = ty; y < yEnd; ++y) {
                std::uint8_t* d = dst + std::ptrdiff_t(y) * dstLine;
                std::int32_t sx = m.ax * tx + m.bx * y + m.cx;
                std::int32_t sy = m.ay * tx + m.by * y + m.cy;
                for (std::int32_t x = tx; x < xEnd; ++x, sx += m.ax, sy += m.ay) {
                    const std::uint8_t* s = src + std::ptrdiff_t(sy) * srcLine;
                    if constexpr (Bits == 24) {
                        std::memcpy(d + 3 * x, s + 3 * sx, 3);
                    } else if constexpr (Bits == 8) {
                        d[x] = s[sx];
                    } else {
                        SetPixelIndex(d, x, Bits, PixelIndex(s, sx, Bits));
                    }
                }
            }
        }
    }
}

void RenderAnyPlane(std::int32_t bits, const std::uint8_t* src, std::int32_t srcLine, std::uint8_t* dst,
                    std::int32_t dstLine, std::int32_t dw, std::int32_t dh, const ViewMap& m)
{
    switch (bits) {
    case 24: RenderPlane<24>(src, srcLine, dst, dstLine, dw, dh, m); break;
    case 8: RenderPlane<8>(src, srcLine, dst, dstLine, dw, dh, m); break;
    case 4: RenderPlane<4>(src, srcLine, dst, dstLine, dw, dh, m); break;
    default: RenderPlane<1>(src, srcLine, dst, dstLine, dw, dh, m); break;
    }
}

std::shared_ptr<const LRegion> RenderRegion(const LRegion& r, std::int32_t vp, std::int32_t w, std::int32_t h)
{
    auto out = std::make_shared<LRegion>();
    out->Bounds = MapStoredRectToView(r.Bounds, vp, w, h);
    const std::int32_t bw = r.Bounds.Width(), bh = r.Bounds.Height();
    out->Mask.resize(r.Mask.size());
    const ViewMap m = ViewMap::For(vp, bw, bh);
    RenderPlane<8>(r.Mask.data(), bw, out->Mask.data(), out->Bounds.Width(), out->Bounds.Width(),
                   out->Bounds.Height(), m);
    return out;
}

} // namespace

int RenderView(const LBitmap& src, std::int32_t vp, LBitmap& dst, Budget* budget)
{
    if (!src.IsAllocated())
        return LE_NO_BITMAP;
    const bool swap = L_IsViewSwapped(vp);
    const std::int32_t dw = swap ? src.Height : src.Width;
    const std::int32_t dh = swap ? src.Width : src.Height;
    LBitmap out;
    int rc = AllocatePixels(out, dw, dh, src.BitsPerPixel, src.BitsPerPixel < 8, budget);
    if (rc != LE_SUCCESS)
        return rc;
    RenderAnyPlane(src.BitsPerPixel, src.Bits(), src.BytesPerLine, FreshBits(out), out.BytesPerLine, dw, dh,
                   ViewMap::For(vp, src.Width, src.Height));
    if (src.PaletteSize() > 0)
        std::copy(src.Palette(), src.Palette() + 256, FreshPalette(out));
    out.XResolution = swap ? src.YResolution : src.XResolution;
    out.YResolution = swap ? src.XResolution : src.YResolution;
    out.Delay = src.Delay;
    if (const LRegion* r = src.Region())
        LBitmapAccess::SetRegion(out, RenderRegion(*r, vp, src.Width, src.Height));
    dst = std::move(out);
    return LE_SUCCESS;
}

int ApplyOrientation(LBitmap& b, std::int32_t orientation, Budget* budget)
{
    const std::int32_t vp = L_ViewPerspectiveFromOrientation(orientation);
    if (vp == LVP_TOP_LEFT)
        return LE_SUCCESS;
    return RenderView(b, vp, b, budget);
}

} // namespace kvimg

std::int32_t L_ViewPerspectiveFromOrientation(std::int32_t orientation)
{
    // EXIF orientation -> the perspective whose view shows the stored pixels upright.
    static constexpr std::int32_t kMap[9] = {LVP_TOP_LEFT,     LVP_TOP_LEFT,   LVP_TOP_RIGHT,
                                             LVP_BOTTOM_RIGHT, LVP_BOTTOM_LEFT, LVP_LEFT_TOP,
                                             LVP_RIGHT_TOP,    LVP_RIGHT_BOTTOM, LVP_LEFT_BOTTOM};
    return (orientation >= 1 && orientation <= 8) ? kMap[orientation] : LVP_TOP_LEFT;
}

std::int32_t L_GetBitmapRow(const LBitmap* bitmap, std::uint8_t* buffer, std::int32_t row, std::uint32_t bytes)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (!buffer || row < 0 || row >= bitmap->ViewHeight())
        return LE_INVALID_PARAMETER;
    const std::int32_t vw = bitmap->ViewWidth();
    const std::int32_t line = L_BytesPerLine(vw, bitmap->BitsPerPixel);
    const std::int32_t n = std::int32_t(std::min<std::uint64_t>(bytes, std::uint64_t(line)));
    if (bitmap->ViewPerspective == LVP_TOP_LEFT || !L_IsViewPerspective(bitmap->ViewPerspective)) {
        std::memcpy(buffer, bitmap->Row(row), std::size_t(n));
        return n;
    }
    std::vector<std::uint8_t> tmp;
    std::uint8_t* out = buffer;
    if (n < line) {
        tmp.assign(std::size_t(line), 0);
        out = tmp.data();
    } else {
        std::memset(out, 0, std::size_t(line));
    }
    // One row of the view is a plane one row high whose origin is moved to that row.
    kvimg::ViewMap m = kvimg::ViewMap::For(bitmap->ViewPerspective, bitmap->Width, bitmap->Height);
    m.cx += m.bx * row;
    m.cy += m.by * row;
    kvimg::RenderAnyPlane(bitmap->BitsPerPixel, bitmap->Bits(), bitmap->BytesPerLine, out, line, vw, 1, m);
    if (out != buffer)
        std::memcpy(buffer, out, std::size_t(n));
    return n;
}

int L_ChangeBitmapViewPerspective(LBitmap* dst, LBitmap* src, std::int32_t viewPerspective)
{
    if (!src || !src->IsAllocated())
        return LE_NO_BITMAP;
    if (viewPerspective == 0)
        viewPerspective = LVP_TOP_LEFT;
    if (!L_IsViewPerspective(viewPerspective) || !L_IsViewPerspective(src->ViewPerspective))
        return LE_INVALID_PARAMETER;
    LBitmap* target = dst ? dst : src;
    if (src->ViewPerspective == viewPerspective) {
        if (target != src)
            *target = *src;
        return LE_SUCCESS;
    }
    LBitmap upright;
    int rc = kvimg::RenderView(*src, src->ViewPerspective, upright);
    if (rc != LE_SUCCESS)
        return rc;
    if (viewPerspective != LVP_TOP_LEFT) {
        // Stored so that the new perspective shows the upright picture.
        rc = kvimg::RenderView(upright, kvimg::InverseViewPerspective(viewPerspective), upright);
        if (rc != LE_SUCCESS)
            return rc;
        upright.ViewPerspective = viewPerspective;
    }
    *target = std::move(upright);
    return LE_SUCCESS;
}
