// Drawing effects on a surface: gradients, bevel frames and framed 3D shapes with a shadow
// and a background picture.
#include "platform/imagelib/ProcessInternal.h"
#include "platform/imagelib/ltefx.h"
#include "platform/imagelib/lteffect.h"
#include "platform/imagelib/ltimg.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>
#include <vector>

using namespace kvimg;

namespace {

LRect Normalised(LRect r)
{
    if (r.Left > r.Right)
        std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom)
        std::swap(r.Top, r.Bottom);
    return r;
}

LRect Intersect(const LRect& a, const LRect& b)
{
    const LRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                  std::min(a.Bottom, b.Bottom)};
    return r.IsEmpty() ? LRect{} : r;
}

LRect Shrunk(const LRect& r, std::int32_t by)
{
    const LRect s{r.Left + by, r.Top + by, r.Right - by, r.Bottom - by};
    return s.IsEmpty() ? LRect{} : s;
}

bool ValidSurface(const LEfxSurface* s)
{
    return s && s->Bits && s->Width > 0 && s->Height > 0 && (s->BytesPerPixel == 3 || s->BytesPerPixel == 4) &&
           s->BytesPerLine >= s->Width * s->BytesPerPixel;
}

std::uint8_t* At(const LEfxSurface& s, std::int32_t x, std::int32_t y)
{
    return s.Bits + std::ptrdiff_t(y) * s.BytesPerLine + std::ptrdiff_t(x) * s.BytesPerPixel;
}

void Put(const LEfxSurface& s, std::uint8_t* p, std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    p[0] = b;
    p[1] = g;
    p[2] = r;
    if (s.BytesPerPixel == 4)
        p[3] = 0xff;
}

void PutColor(const LEfxSurface& s, std::int32_t x, std::int32_t y, LColor c)
{
    if (x >= 0 && y >= 0 && x < s.Width && y < s.Height)
        Put(s, At(s, x, y), LBlueOf(c), LGreenOf(c), LRedOf(c));
}

void FillRect(const LEfxSurface& s, const LRect& r, LColor c)
{
    const LRect a = Intersect(r, LRect{0, 0, s.Width, s.Height});
    for (std::int32_t y = a.Top; y < a.Bottom; ++y) {
        std::uint8_t* p = At(s, a.Left, y);
        for (std::int32_t x = a.Left; x < a.Right; ++x, p += s.BytesPerPixel)
            Put(s, p, LBlueOf(c), LGreenOf(c), LRedOf(c));
    }
}

// One bevel ring per pixel of thickness inside r: the top and left edges in `top`, the right
// and bottom edges in `bottom`. r shrinks by the thickness.
void Bevel(const LEfxSurface& s, LRect& r, std::int32_t thickness, bool raised, LColor hilite, LColor shadow)
{
    const LColor top = raised ? hilite : shadow, bottom = raised ? shadow : hilite;
    for (std::int32_t i = 0; i < thickness && !r.IsEmpty(); ++i) {
        FillRect(s, LRect{r.Left, r.Top, r.Right - 1, r.Top + 1}, top);
        FillRect(s, LRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1}, top);
        FillRect(s, LRect{r.Right - 1, r.Top, r.Right, r.Bottom}, bottom);
        FillRect(s, LRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottom);
        r = Shrunk(r, 1);
    }
}

// A ring of `thickness` pixels in a pen style; r shrinks by the thickness.
void Ring(const LEfxSurface& s, LRect& r, std::int32_t thickness, std::int32_t style, LColor c)
{
    // On/off runs of the styles, repeated along each edge.
    static const std::vector<int> kRuns[5] = {{1}, {6, 2}, {1, 1}, {6, 2, 1, 2}, {6, 2, 1, 2, 1, 2}};
    const std::vector<int>& runs = kRuns[std::clamp(style, 0, 4)];
    int period = 0;
    for (int v : runs)
        period += v;
    const auto on = [&](std::int32_t t) {
        int k = int(((t % period) + period) % period);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (k < runs[i])
                return i % 2 == 0;
            k -= runs[i];
        }
        return true;
    };
    for (std::int32_t i = 0; i < thickness && !r.IsEmpty(); ++i) {
        for (std::int32_t x = r.Left; x < r.Right; ++x)
            if (on(x - r.Left)) {
                PutColor(s, x, r.Top, c);
                PutColor(s, x, r.Bottom - 1, c);
            }
        for (std::int32_t y = r.Top; y < r.Bottom; ++y)
            if (on(y - r.Top)) {
                PutColor(s, r.Left, y, c);
                PutColor(s, r.Right - 1, y, c);
            }
        r = Shrunk(r, 1);
    }
}

// The colour of a pixel of a bitmap stored top-left, as B, G, R.
void ReadPixel(const LBitmap& b, std::int32_t x, std::int32_t y, std::uint8_t out[3])
{
    const std::uint8_t* row = b.Row(y);
    if (b.BitsPerPixel == 24) {
        std::memcpy(out, row + 3 * std::ptrdiff_t(x), 3);
        return;
    }
    const LRgbQuad& q = b.Palette()[PixelIndex(row, x, b.BitsPerPixel)];
    out[0] = q.Blue;
    out[1] = q.Green;
    out[2] = q.Red;
}

void Blend(const LEfxSurface& s, std::uint8_t* p, const std::uint8_t bgr[3], bool half)
{
    if (half)
        Put(s, p, std::uint8_t((p[0] + bgr[0] + 1) / 2), std::uint8_t((p[1] + bgr[1] + 1) / 2),
            std::uint8_t((p[2] + bgr[2] + 1) / 2));
    else
        Put(s, p, bgr[0], bgr[1], bgr[2]);
}

// The background picture in the inside: stretched (styles 0..2) or tiled (3, 4).
int DrawBackground(const LEfxSurface& s, const LRect& inside, const LEfx3dShape& shape)
{
    LBitmap picture = *shape.Background;
    int rc = MakeUpright(picture);
    if (rc != LE_SUCCESS)
        return rc;
    LRect part = Normalised(shape.BackgroundRect);
    part = part.IsEmpty() ? LRect{0, 0, picture.Width, picture.Height}
                          : Intersect(part, LRect{0, 0, picture.Width, picture.Height});
    const LRect visible = Intersect(inside, LRect{0, 0, s.Width, s.Height});
    if (part.IsEmpty() || visible.IsEmpty())
        return LE_SUCCESS;
    const int style = shape.BackgroundStyle;
    const bool half = style == LEFX_BACK_TRANSLUCENT || style == LEFX_BACK_TRANSLUCENT_TILED;
    std::uint8_t bgr[3];
    if (style == LEFX_BACK_TILED || style == LEFX_BACK_TRANSLUCENT_TILED) {
        for (std::int32_t y = visible.Top; y < visible.Bottom; ++y) {
            std::uint8_t* p = At(s, visible.Left, y);
            const std::int32_t py = part.Top + (y - inside.Top) % part.Height();
            for (std::int32_t x = visible.Left; x < visible.Right; ++x, p += s.BytesPerPixel) {
                ReadPixel(picture, part.Left + (x - inside.Left) % part.Width(), py, bgr);
                Blend(s, p, bgr, half);
            }
        }
        return LE_SUCCESS;
    }
    try {
        // The part as B, G, R rows, resampled to the inside's size.
        const std::int32_t pw = part.Width(), ph = part.Height(), iw = inside.Width(), ih = inside.Height();
        std::vector<std::uint8_t> src(std::size_t(pw) * std::size_t(ph) * 3);
        for (std::int32_t y = 0; y < ph; ++y)
            for (std::int32_t x = 0; x < pw; ++x)
                ReadPixel(picture, part.Left + x, part.Top + y, src.data() + (std::size_t(y) * pw + x) * 3);
        std::vector<std::uint8_t> scaled;
        const std::uint8_t* from = src.data();
        if (pw != iw || ph != ih) {
            scaled.resize(std::size_t(iw) * std::size_t(ih) * 3);
            rc = ResamplePixels(src.data(), pw, ph, pw * 3, 3, scaled.data(), iw, ih, iw * 3, LSIZE_BICUBIC, nullptr);
            if (rc != LE_SUCCESS)
                return rc;
            from = scaled.data();
        }
        for (std::int32_t y = visible.Top; y < visible.Bottom; ++y) {
            std::uint8_t* p = At(s, visible.Left, y);
            const std::uint8_t* q = from + (std::size_t(y - inside.Top) * iw + std::size_t(visible.Left - inside.Left)) * 3;
            for (std::int32_t x = visible.Left; x < visible.Right; ++x, p += s.BytesPerPixel, q += 3)
                Blend(s, p, q, half);
        }
    } catch (const std::bad_alloc&) {
        return LE_NO_MEMORY;
    }
    return LE_SUCCESS;
}

void DrawPattern(const LEfxSurface& s, const LRect& inside, std::int32_t style, LColor c)
{
    constexpr std::int32_t kSpacing = 8;
    const LRect visible = Intersect(inside, LRect{0, 0, s.Width, s.Height});
    const auto mod = [](std::int32_t v) { return ((v % kSpacing) + kSpacing) % kSpacing == 0; };
    for (std::int32_t y = visible.Top; y < visible.Bottom; ++y)
        for (std::int32_t x = visible.Left; x < visible.Right; ++x) {
            const std::int32_t u = x - inside.Left, v = y - inside.Top;
            const bool h = mod(v), vert = mod(u), down = mod(u - v), up = mod(u + v);
            bool on = false;
            switch (style) {
            case 2: on = h; break;
            case 3: on = vert; break;
            case 4: on = down; break;
            case 5: on = up; break;
            case 6: on = h || vert; break;
            case 7: on = down || up; break;
            default: break;
            }
            if (on)
                PutColor(s, x, y, c);
        }
}

} // namespace

int L_EfxSurfaceOfBitmap(LBitmap* bitmap, LEfxSurface* surface)
{
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (!surface)
        return LE_INVALID_PARAMETER;
    if (bitmap->BitsPerPixel != 24)
        return LE_INVALID_BITS;
    if (bitmap->ViewPerspective != LVP_TOP_LEFT)
        return LE_NOT_SUPPORTED;
    std::uint8_t* bits = bitmap->BeginWrite();
    if (!bits)
        return LE_NO_MEMORY;
    *surface = LEfxSurface{bits, bitmap->Width, bitmap->Height, bitmap->BytesPerLine, 3};
    return LE_SUCCESS;
}

bool L_EfxIsGradientStyle(std::uint32_t style)
{
    return (style >= 1000 && style <= 1015) || (style >= 2000 && style <= 2007) || (style >= 3000 && style <= 3001) ||
           (style >= 4000 && style <= 4001) || (style >= 5000 && style <= 5007);
}

int L_EfxGradientFillRect(LEfxSurface* surface, const LRect* rect, std::uint32_t style, LColor startColor,
                          LColor endColor, std::uint32_t steps)
{
    if (!ValidSurface(surface) || !rect)
        return LE_INVALID_PARAMETER;
    if (!L_EfxIsGradientStyle(style) || steps < 2 || steps > 265)
        return LE_INVALID_PARAMETER;
    const LEfxSurface& s = *surface;
    const LRect r = Normalised(*rect);
    const LRect visible = Intersect(r, LRect{0, 0, s.Width, s.Height});
    const double hw = r.Width() / 2.0, hh = r.Height() / 2.0;
    const double cx = r.Left + hw, cy = r.Top + hh;
    const std::uint32_t family = style / 1000, variant = style % 1000;
    const double angle = (family == 5 ? variant * 45.0 : variant * 22.5) * std::numbers::pi / 180.0;
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double extent = std::max(1e-9, std::fabs(hw * ca) + std::fabs(hh * sa));
    const auto ratio = [](double a, double b) { return b > 0 ? std::fabs(a) / b : 0.0; };
    for (std::int32_t y = visible.Top; y < visible.Bottom; ++y)
        for (std::int32_t x = visible.Left; x < visible.Right; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            double t = 0;
            bool reversed = false;
            switch (family) {
            case 1: t = (dx * ca + dy * sa + extent) / (2 * extent); break;
            case 2: {
                const std::uint32_t kind = variant / 2;
                const double tx = ratio(dx, hw), ty = ratio(dy, hh);
                t = kind == 0 ? std::max(tx, ty) : kind == 1 ? ty : kind == 2 ? tx : std::min(tx, ty);
                reversed = variant % 2 == 1;
                break;
            }
            case 3: t = std::hypot(ratio(dx, hw), ratio(dy, hh)); reversed = variant == 1; break;
            case 4: t = ratio(dx, hw) + ratio(dy, hh); reversed = variant == 1; break;
            default:
                if (variant < 4) {
                    t = std::fabs(dx * ca + dy * sa) / extent;
                    reversed = true;
                } else {
                    // Out of a corner (top left, top right, bottom right, bottom left).
                    const double fx = (variant == 5 || variant == 6) ? hw - dx : hw + dx;
                    const double fy = variant >= 6 ? hh - dy : hh + dy;
                    t = std::hypot(fx, fy) / std::max(1e-9, std::hypot(2 * hw, 2 * hh));
                }
                break;
            }
            t = std::clamp(t, 0.0, 1.0);
            if (reversed)
                t = 1.0 - t;
            const auto band = std::min<std::uint32_t>(steps - 1, std::uint32_t(t * steps));
            const auto mix = [&](std::uint8_t a, std::uint8_t b) {
                return std::uint8_t(a + (int(b) - int(a)) * int(band) / int(steps - 1));
            };
            Put(s, At(s, x, y), mix(LBlueOf(startColor), LBlueOf(endColor)), mix(LGreenOf(startColor), LGreenOf(endColor)),
                mix(LRedOf(startColor), LRedOf(endColor)));
        }
    return LE_SUCCESS;
}

int L_EfxDrawFrame(LEfxSurface* surface, const LRect* rect, std::uint32_t flags, std::uint32_t thickness, LColor color,
                   std::uint32_t innerWidth, LColor innerShadow, LColor innerHilite, std::uint32_t outerWidth,
                   LColor outerShadow, LColor outerHilite)
{
    if (!ValidSurface(surface) || !rect)
        return LE_INVALID_PARAMETER;
    const auto clampWidth = [](std::uint32_t v) { return std::int32_t(std::min<std::uint32_t>(v, 1u << 16)); };
    LRect r = Normalised(*rect);
    Bevel(*surface, r, clampWidth(outerWidth), (flags & LEFX_FRAME_OUTER_RAISED) != 0, outerHilite, outerShadow);
    Ring(*surface, r, clampWidth(thickness), 0, color);
    Bevel(*surface, r, clampWidth(innerWidth), (flags & LEFX_FRAME_INNER_RAISED) != 0, innerHilite, innerShadow);
    return LE_SUCCESS;
}

int L_EfxDraw3dShape(LEfxSurface* surface, const LEfx3dShape* shape)
{
    if (!ValidSurface(surface) || !shape)
        return LE_INVALID_PARAMETER;
    const LEfx3dShape& sh = *shape;
    if (sh.Shape != LEFX_SHAPE_RECTANGLE)
        return LE_NOT_SUPPORTED;
    const auto bandOk = [](std::int32_t v) { return v >= -1 && v <= 2; };
    if (sh.BackgroundStyle < -1 || sh.BackgroundStyle > 4 || sh.PatternStyle < 0 || sh.PatternStyle > 7 ||
        sh.BorderStyle < 0 || sh.BorderStyle > 5 || !bandOk(sh.InnerStyle) || !bandOk(sh.OuterStyle) ||
        sh.BorderThickness < 0 || sh.InnerThickness < 0 || sh.OuterThickness < 0)
        return LE_INVALID_PARAMETER;
    if (sh.Background && !sh.Background->IsAllocated())
        return LE_INVALID_PARAMETER;
    const LEfxSurface& s = *surface;
    const LRect whole = Normalised(sh.Rect);
    // The body leaves room for the shadow on the side the depths point to.
    LRect body = whole;
    (sh.ShadowXDepth >= 0 ? body.Right : body.Left) -= sh.ShadowXDepth;
    (sh.ShadowYDepth >= 0 ? body.Bottom : body.Top) -= sh.ShadowYDepth;
    if (body.IsEmpty())
        return LE_SUCCESS;
    if (sh.ShadowXDepth != 0 || sh.ShadowYDepth != 0)
        FillRect(s, LRect{body.Left + sh.ShadowXDepth, body.Top + sh.ShadowYDepth, body.Right + sh.ShadowXDepth,
                          body.Bottom + sh.ShadowYDepth},
                 sh.ShadowColor);
    LRect r = body;
    if (sh.OuterStyle > 0)
        Bevel(s, r, sh.OuterThickness, sh.OuterStyle == LEFX_BAND_RAISED, sh.OuterHiliteColor, sh.OuterShadowColor);
    if (sh.BorderStyle != 5)
        Ring(s, r, sh.BorderThickness, sh.BorderStyle, sh.BorderColor);
    if (sh.InnerStyle > 0)
        Bevel(s, r, sh.InnerThickness, sh.InnerStyle == LEFX_BAND_RAISED, sh.InnerHiliteColor, sh.InnerShadowColor);
    if (r.IsEmpty())
        return LE_SUCCESS;
    const int style = sh.BackgroundStyle;
    if (style == LEFX_BACK_OPAQUE)
        FillRect(s, r, sh.PatternBackColor);
    if (sh.Background) {
        if (const int rc = DrawBackground(s, r, sh); rc != LE_SUCCESS)
            return rc;
    } else if (style == LEFX_BACK_TRANSLUCENT || style == LEFX_BACK_TRANSLUCENT_TILED) {
        const std::uint8_t back[3] = {LBlueOf(sh.PatternBackColor), LGreenOf(sh.PatternBackColor),
                                      LRedOf(sh.PatternBackColor)};
        const LRect visible = Intersect(r, LRect{0, 0, s.Width, s.Height});
        for (std::int32_t y = visible.Top; y < visible.Bottom; ++y)
            for (std::int32_t x = visible.Left; x < visible.Right; ++x)
                Blend(s, At(s, x, y), back, true);
    }
    DrawPattern(s, r, sh.PatternStyle, sh.PatternForeColor);
    return LE_SUCCESS;
}

int L_EfxPatternFillRect(LEfxSurface* surface, const LRect* rect, std::int32_t pattern, LColor backColor,
                         LColor foreColor)
{
    if (!ValidSurface(surface) || !rect)
        return LE_INVALID_PARAMETER;
    const LRect r = Normalised(*rect);
    const std::int32_t style = pattern >= 0 && pattern <= 7 ? pattern : LEFX_PATTERN_SOLID;
    if (style == LEFX_PATTERN_SOLID)
        FillRect(*surface, r, foreColor);
    else if (style != LEFX_PATTERN_TRANSPARENT) {
        FillRect(*surface, r, backColor);
        DrawPattern(*surface, r, style, foreColor);
    }
    return LE_SUCCESS;
}
