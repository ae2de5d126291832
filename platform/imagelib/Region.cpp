// Regions attached to bitmaps: a mask over its bounds, combined shape by shape.
#include "platform/imagelib/ImageInternal.h"
#include "platform/imagelib/ViewMap.h"

#include <algorithm>
#include <cmath>

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

int CombineShape(LBitmap* b, const LRgnXForm* xf, const LRect* rect, std::uint32_t mode, bool ellipse)
{
    if (!b || !b->IsAllocated())
        return LE_NO_BITMAP;
    if (!rect || mode > LRGN_SET_NOT || (xf && !ValidXForm(*xf)))
        return LE_INVALID_PARAMETER;
    const LRect whole{0, 0, b->Width, b->Height};
    const Shape shape{CallerRectToStored(*b, xf, *rect), ellipse};
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
