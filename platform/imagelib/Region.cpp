// Regions attached to bitmaps: a mask over its bounds, combined shape by shape.
#include "platform/imagelib/ImageInternal.h"
#include "platform/imagelib/ViewMap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

bool LRegion::Contains(std::int32_t x, std::int32_t y) const
{
    if (x < Bounds.Left || x >= Bounds.Right || y < Bounds.Top || y >= Bounds.Bottom)
        return false;
    return MaskRow(y)[x - Bounds.Left] != 0;
}

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

std::int32_t Clamp32(std::int64_t v)
{
    return std::int32_t(std::clamp<std::int64_t>(v, -(std::int64_t(1) << 30), std::int64_t(1) << 30));
}

bool ValidXForm(const LRgnXForm& x)
{
    return x.XNumerator != 0 && x.XDenominator != 0 && x.YNumerator != 0 && x.YDenominator != 0 &&
           (x.ViewPerspective == 0 || L_IsViewPerspective(x.ViewPerspective));
}

std::int32_t XFormPerspective(const LRgnXForm* x) { return (x && x->ViewPerspective) ? x->ViewPerspective : LVP_TOP_LEFT; }

// A rectangle of the caller (normalised) in stored coordinates, unclipped.
LRect CallerRectToStored(const LBitmap& b, const LRgnXForm* xf, LRect r)
{
    if (r.Left > r.Right)
        std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom)
        std::swap(r.Top, r.Bottom);
    if (xf) {
        r.Left = Clamp32(FloorDiv((std::int64_t(r.Left) + xf->XOffset) * xf->XNumerator, xf->XDenominator));
        r.Right = Clamp32(FloorDiv((std::int64_t(r.Right) + xf->XOffset) * xf->XNumerator, xf->XDenominator));
        r.Top = Clamp32(FloorDiv((std::int64_t(r.Top) + xf->YOffset) * xf->YNumerator, xf->YDenominator));
        r.Bottom = Clamp32(FloorDiv((std::int64_t(r.Bottom) + xf->YOffset) * xf->YNumerator, xf->YDenominator));
        if (r.Left > r.Right)
            std::swap(r.Left, r.Right);
        if (r.Top > r.Bottom)
            std::swap(r.Top, r.Bottom);
    }
    if (r.IsEmpty())
        return LRect{};
    return kvimg::MapViewRectToStored(r, XFormPerspective(xf), b.Width, b.Height);
}

LRect Intersect(const LRect& a, const LRect& b)
{
    LRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    return r.IsEmpty() ? LRect{} : r;
}

LRect Union(const LRect& a, const LRect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return LRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

// A shape over the stored bitmap: its rectangle and whether a pixel lies in it.
struct Shape {
    LRect full;     // unclipped, stored coordinates
    bool ellipse;
    bool Contains(std::int32_t x, std::int32_t y) const
    {
        if (x < full.Left || x >= full.Right || y < full.Top || y >= full.Bottom)
            return false;
        if (!ellipse)
            return true;
        const double rx = full.Width() / 2.0, ry = full.Height() / 2.0;
        const double dx = (x + 0.5 - full.Left - rx) / rx, dy = (y + 0.5 - full.Top - ry) / ry;
        return dx * dx + dy * dy <= 1.0;
    }
};

// A shape given as a mask over its bounds (stored coordinates).
struct MaskShape {
    LRect full;
    std::vector<std::uint8_t> mask;
    bool Contains(std::int32_t x, std::int32_t y) const
    {
        if (x < full.Left || x >= full.Right || y < full.Top || y >= full.Bottom)
            return false;
        return mask[std::size_t(y - full.Top) * std::size_t(full.Width()) + std::size_t(x - full.Left)] != 0;
    }
};

// The bitmap's region combined with a shape (its bounds in stored coordinates, unclipped).
template <class S>
int CombineWith(LBitmap* b, const S& shape, std::uint32_t mode)
{
    const LRect whole{0, 0, b->Width, b->Height};
    const LRect shapeBounds = Intersect(shape.full, whole);
    const LRegion* old = b->Region();
    const LRect oldBounds = old ? old->Bounds : LRect{};

    LRect area;
    switch (mode) {
    case LRGN_AND: area = Intersect(oldBounds, shapeBounds); break;
    case LRGN_SET: area = shapeBounds; break;
    case LRGN_AND_NOT: area = oldBounds; break;
    case LRGN_SET_NOT: area = whole; break;
    default: area = Union(oldBounds, shapeBounds); break;
    }
    std::shared_ptr<LRegion> out;
    if (!area.IsEmpty()) {
        out = std::make_shared<LRegion>();
        out->Bounds = area;
        out->Mask.assign(std::size_t(area.Width()) * std::size_t(area.Height()), 0);
        LRect tight{area.Right, area.Bottom, area.Left, area.Top};
        for (std::int32_t y = area.Top; y < area.Bottom; ++y) {
            std::uint8_t* m = out->Mask.data() + std::size_t(y - area.Top) * std::size_t(area.Width());
            for (std::int32_t x = area.Left; x < area.Right; ++x) {
                const bool o = old && old->Contains(x, y);
                const bool s = shape.Contains(x, y);
                bool in;
                switch (mode) {
                case LRGN_AND: in = o && s; break;
                case LRGN_SET: in = s; break;
                case LRGN_OR: in = o || s; break;
                case LRGN_XOR: in = o != s; break;
                case LRGN_AND_NOT: in = o && !s; break;
                default: in = !s; break;
                }
                if (in) {
                    m[x - area.Left] = 1;
                    tight = LRect{std::min(tight.Left, x), std::min(tight.Top, y), std::max(tight.Right, x + 1),
                                  std::max(tight.Bottom, y + 1)};
                }
            }
        }
        if (tight.IsEmpty()) {
            out.reset();
        } else if (!(tight == area)) {
            auto shrunk = std::make_shared<LRegion>();
            shrunk->Bounds = tight;
            shrunk->Mask.resize(std::size_t(tight.Width()) * std::size_t(tight.Height()));
            for (std::int32_t y = tight.Top; y < tight.Bottom; ++y)
                std::copy_n(out->MaskRow(y) + (tight.Left - area.Left), tight.Width(),
                            shrunk->Mask.data() + std::size_t(y - tight.Top) * std::size_t(tight.Width()));
            out = std::move(shrunk);
        }
    }
    LBitmapAccess::SetRegion(*b, std::move(out));
    return LE_SUCCESS;
}

int CheckArguments(const LBitmap* b, const LRgnXForm* xf, std::uint32_t mode)
{
    if (!b || !b->IsAllocated())
        return LE_NO_BITMAP;
    if (mode > LRGN_SET_NOT || (xf && !ValidXForm(*xf)))
        return LE_INVALID_PARAMETER;
    return LE_SUCCESS;
}

int CombineShape(LBitmap* b, const LRgnXForm* xf, const LRect* rect, std::uint32_t mode, bool ellipse)
{
    const int check = CheckArguments(b, xf, mode);
    if (check != LE_SUCCESS)
        return check;
    if (!rect)
        return LE_INVALID_PARAMETER;
    return CombineWith(b, Shape{CallerRectToStored(*b, xf, *rect), ellipse}, mode);
}

// A point of the caller in the coordinates of the picture as seen through the transform.
void CallerPointToView(const LRgnXForm* xf, std::int64_t x, std::int64_t y, double& vx, double& vy)
{
    if (!xf) {
        vx = double(x);
        vy = double(y);
        return;
    }
    vx = double((x + xf->XOffset) * xf->XNumerator) / xf->XDenominator;
    vy = double((y + xf->YOffset) * xf->YNumerator) / xf->YDenominator;
}

// A mask made in view coordinates (view bounds vb, inside(x, y) for view pixels) moved into
// stored coordinates.
template <class F>
MaskShape ViewMaskToStored(const LBitmap& b, std::int32_t vp, const LRect& vb, F inside)
{
    MaskShape shape;
    if (vb.IsEmpty())
        return shape;
    shape.full = kvimg::MapViewRectToStored(vb, vp, b.Width, b.Height);
    shape.mask.assign(std::size_t(shape.full.Width()) * std::size_t(shape.full.Height()), 0);
    const kvimg::ViewMap map = kvimg::ViewMap::For(vp, b.Width, b.Height);
    for (std::int32_t y = vb.Top; y < vb.Bottom; ++y)
        for (std::int32_t x = vb.Left; x < vb.Right; ++x) {
            if (!inside(x, y))
                continue;
            std::int32_t sx = 0, sy = 0;
            map.ToStored(x, y, sx, sy);
            if (sx >= shape.full.Left && sx < shape.full.Right && sy >= shape.full.Top && sy < shape.full.Bottom)
                shape.mask[std::size_t(sy - shape.full.Top) * std::size_t(shape.full.Width()) +
                           std::size_t(sx - shape.full.Left)] = 1;
        }
    return shape;
}

} // namespace

int L_SetBitmapRgnRect(LBitmap* bitmap, const LRgnXForm* xform, const LRect* rect, std::uint32_t combineMode)
{
    return CombineShape(bitmap, xform, rect, combineMode, false);
}

int L_SetBitmapRgnEllipse(LBitmap* bitmap, const LRgnXForm* xform, const LRect* rect, std::uint32_t combineMode)
{
    return CombineShape(bitmap, xform, rect, combineMode, true);
}

int L_FreeBitmapRgn(LBitmap* bitmap)
{
    if (!bitmap)
        return LE_NO_BITMAP;
    LBitmapAccess::SetRegion(*bitmap, nullptr);
    return LE_SUCCESS;
}

bool L_BitmapHasRgn(const LBitmap* bitmap) { return bitmap && bitmap->Region() != nullptr; }

int L_GetBitmapRgnBounds(const LBitmap* bitmap, const LRgnXForm* xform, LRect* bounds)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (!bounds || (xform && !ValidXForm(*xform)))
        return LE_INVALID_PARAMETER;
    const LRegion* r = bitmap->Region();
    if (!r) {
        *bounds = LRect{};
        return LE_SUCCESS;
    }
    LRect v = kvimg::MapStoredRectToView(r->Bounds, XFormPerspective(xform), bitmap->Width, bitmap->Height);
    if (xform) {
        // Inverse of the caller transform; edges round outwards so that the bounds cover the region.
        auto outer = [](std::int32_t e, std::int32_t num, std::int32_t den, std::int32_t off, bool up) {
            const std::int64_t a = std::int64_t(e) * den;
            const std::int64_t q = up ? -FloorDiv(-a, num) : FloorDiv(a, num);
            return Clamp32(q - off);
        };
        LRect o{outer(v.Left, xform->XNumerator, xform->XDenominator, xform->XOffset, false),
                outer(v.Top, xform->YNumerator, xform->YDenominator, xform->YOffset, false),
                outer(v.Right, xform->XNumerator, xform->XDenominator, xform->XOffset, true),
                outer(v.Bottom, xform->YNumerator, xform->YDenominator, xform->YOffset, true)};
        if (o.Left > o.Right)
            std::swap(o.Left, o.Right);
        if (o.Top > o.Bottom)
            std::swap(o.Top, o.Bottom);
        v = o;
    }
    *bounds = v;
    return LE_SUCCESS;
}

bool L_IsPtInBitmapRgn(const LBitmap* bitmap, std::int32_t row, std::int32_t col)
{
    return bitmap && bitmap->Region() && bitmap->Region()->Contains(col, row);
}

namespace {

// A rectangle with corners rounded by quarters of an ellipse of radii rx, ry.
struct RoundShape {
    LRect full;
    double rx, ry;
    bool Contains(std::int32_t x, std::int32_t y) const
    {
        if (x < full.Left || x >= full.Right || y < full.Top || y >= full.Bottom)
            return false;
        const double px = x + 0.5, py = y + 0.5;
        const double left = full.Left + rx, right = full.Right - rx, top = full.Top + ry, bottom = full.Bottom - ry;
        if ((px >= left && px <= right) || (py >= top && py <= bottom) || rx <= 0 || ry <= 0)
            return true;
        const double cx = px < left ? left : right, cy = py < top ? top : bottom;
        const double dx = (px - cx) / rx, dy = (py - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    }
};

} // namespace

int L_SetBitmapRgnRoundRect(LBitmap* bitmap, const LRgnXForm* xform, const LRect* rect, std::int32_t ellipseWidth,
                            std::int32_t ellipseHeight, std::uint32_t combineMode)
{
    const int check = CheckArguments(bitmap, xform, combineMode);
    if (check != LE_SUCCESS)
        return check;
    if (!rect)
        return LE_INVALID_PARAMETER;
    const LRect full = CallerRectToStored(*bitmap, xform, *rect);
    double ew = std::abs(double(ellipseWidth)), eh = std::abs(double(ellipseHeight));
    if (xform) {
        ew = ew * std::abs(xform->XNumerator) / std::abs(xform->XDenominator);
        eh = eh * std::abs(xform->YNumerator) / std::abs(xform->YDenominator);
    }
    if (L_IsViewSwapped(XFormPerspective(xform)))
        std::swap(ew, eh);
    ew = std::min(ew, double(full.Width()));
    eh = std::min(eh, double(full.Height()));
    return CombineWith(bitmap, RoundShape{full, ew / 2, eh / 2}, combineMode);
}

int L_SetBitmapRgnPolygon(LBitmap* bitmap, const LRgnXForm* xform, const LPoint* points, std::uint32_t count,
                          std::uint32_t fillMode, std::uint32_t combineMode)
{
    const int check = CheckArguments(bitmap, xform, combineMode);
    if (check != LE_SUCCESS)
        return check;
    if (!points || (fillMode != LPOLY_ALTERNATE && fillMode != LPOLY_WINDING))
        return LE_INVALID_PARAMETER;
    const std::int32_t vp = XFormPerspective(xform);
    const bool swapped = L_IsViewSwapped(vp);
    const std::int32_t viewW = swapped ? bitmap->Height : bitmap->Width;
    const std::int32_t viewH = swapped ? bitmap->Width : bitmap->Height;
    std::vector<double> xs(count), ys(count);
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        CallerPointToView(xform, points[i].X, points[i].Y, xs[i], ys[i]);
        minX = i ? std::min(minX, xs[i]) : xs[i];
        maxX = i ? std::max(maxX, xs[i]) : xs[i];
        minY = i ? std::min(minY, ys[i]) : ys[i];
        maxY = i ? std::max(maxY, ys[i]) : ys[i];
    }
    LRect vb{};
    if (count >= 3) {
        vb = LRect{Clamp32(std::int64_t(std::floor(minX))), Clamp32(std::int64_t(std::floor(minY))),
                   Clamp32(std::int64_t(std::ceil(maxX))), Clamp32(std::int64_t(std::ceil(maxY)))};
        vb = Intersect(vb, LRect{0, 0, viewW, viewH});
    }
    // Scan lines through the pixel centres: the crossings of the edges, filled by the mode.
    std::vector<std::uint8_t> viewMask(std::size_t(std::max(0, vb.Width())) * std::size_t(std::max(0, vb.Height())), 0);
    std::vector<std::pair<double, int>> crossings;
    for (std::int32_t y = vb.Top; y < vb.Bottom; ++y) {
        const double yc = y + 0.5;
        crossings.clear();
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t j = (i + 1) % count;
            const double y0 = ys[i], y1 = ys[j];
            if (y0 == y1 || yc < std::min(y0, y1) || yc >= std::max(y0, y1))
                continue;
            crossings.emplace_back(xs[i] + (yc - y0) * (xs[j] - xs[i]) / (y1 - y0), y1 > y0 ? 1 : -1);
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
            winding += fillMode == LPOLY_ALTERNATE ? 1 : crossings[k].second;
            const bool inside = fillMode == LPOLY_ALTERNATE ? (winding % 2) != 0 : winding != 0;
            if (!inside)
                continue;
            const double from = crossings[k].first, to = crossings[k + 1].first;
            const std::int32_t x0 = std::max(vb.Left, std::int32_t(std::ceil(from - 0.5)));
            const std::int32_t x1 = std::min(vb.Right, std::int32_t(std::ceil(to - 0.5)));
            for (std::int32_t x = x0; x < x1; ++x)
                viewMask[std::size_t(y - vb.Top) * std::size_t(vb.Width()) + std::size_t(x - vb.Left)] = 1;
        }
    }
    const MaskShape shape = ViewMaskToStored(*bitmap, vp, vb, [&](std::int32_t x, std::int32_t y) {
        return viewMask[std::size_t(y - vb.Top) * std::size_t(vb.Width()) + std::size_t(x - vb.Left)] != 0;
    });
    return CombineWith(bitmap, shape, combineMode);
}

int L_GetBitmapRgnHandle(const LBitmap* bitmap, LRgnHandle* region)
{
    if (!region)
        return LE_INVALID_PARAMETER;
    region->Region.reset();
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    region->Region = LBitmapAccess::RegionPtr(*bitmap);
    return LE_SUCCESS;
}

int L_SetBitmapRgnHandle(LBitmap* bitmap, const LRgnXForm* xform, const LRgnHandle* region, std::uint32_t combineMode)
{
    const int check = CheckArguments(bitmap, xform, combineMode);
    if (check != LE_SUCCESS)
        return check;
    if (!region || (xform && (xform->XNumerator != xform->XDenominator || xform->YNumerator != xform->YDenominator)))
        return LE_INVALID_PARAMETER;
    const std::int32_t dx = xform ? xform->XOffset : 0, dy = xform ? xform->YOffset : 0;
    struct Moved {
        LRect full;
        const LRegion* r;
        std::int32_t dx, dy;
        bool Contains(std::int32_t x, std::int32_t y) const { return r && r->Contains(x - dx, y - dy); }
    };
    const LRect b = region->Bounds();
    const LRect full = region->IsEmpty() ? LRect{} : LRect{b.Left + dx, b.Top + dy, b.Right + dx, b.Bottom + dy};
    return CombineWith(bitmap, Moved{full, region->Region.get(), dx, dy}, combineMode);
}
