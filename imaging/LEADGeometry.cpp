#include "imaging/LEADGeometry.h"

#include "platform/vcl/SysUtils.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

constexpr double kMaxExtent = double(1 << 30);

// Round of a value kept within +-2^30, so that sums of extents stay inside 32 bits.
int RoundClamped(double v) { return int(Round(std::clamp(v, -kMaxExtent, kMaxExtent))); }

} // namespace

int LeadScaledExtent(int size, double zoom)
{
    if (zoom > 0)
        return std::max(0, RoundClamped(zoom * size));
    if (zoom < 0)
        return std::max(0, RoundClamped(size / (1.0 - zoom)));
    return 1;
}

int LeadMulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long p = static_cast<long long>(a) * b;
    long long q = p / c;
    if (2 * std::llabs(p % c) >= std::llabs(static_cast<long long>(c)))
        q += (p < 0) != (c < 0) ? -1 : 1;
    return int(std::clamp<long long>(q, INT_MIN, INT_MAX));
}

TPoint LeadViewToStored(int x, int y, int vp, int w, int h)
{
    switch (vp) {
    case 2: return TPoint(w - 1 - x, y);          // mirrored left to right
    case 3: return TPoint(w - 1 - x, h - 1 - y);  // turned by 180 degrees
    case 4: return TPoint(y, h - 1 - x);          // turned 90 degrees clockwise
    case 5: return TPoint(y, x);                  // transposed
    case 6: return TPoint(x, h - 1 - y);          // flipped top to bottom
    case 7: return TPoint(w - 1 - y, x);          // turned 90 degrees counter-clockwise
    case 8: return TPoint(w - 1 - y, h - 1 - x);  // transverse
    default: return TPoint(x, y);
    }
}

void TLeadGeometry::AutoSizeRects(const TLeadLayoutInput& in)
{
    int w = in.PictureWidth;
    int h = in.PictureHeight;
    if (in.UseDPI) {
        w = LeadMulDiv(w, in.ScreenXDpi, std::max(1, in.PictureXResolution));
        h = LeadMulDiv(h, in.ScreenYDpi, std::max(1, in.PictureYResolution));
    }
    if (w <= 0 || h <= 0) {
        Dst.Width = Dst.Height = 0;
        if (in.AutoScroll)
            HScrollMax = VScrollMax = 0;
        return;
    }
    const double iw = in.ClientWidth - 2 * in.FrameWidth;
    const double ih = in.ClientHeight - 2 * in.FrameWidth;
    switch (in.SizeMode) {
    case TLeadSizeMode::Normal:
    case TLeadSizeMode::Zoom: break;  // the factors stay as the writers left them
    case TLeadSizeMode::Stretch:
        Dst.Width = int(iw);
        Dst.Height = int(ih);
        ZoomX = iw / w;
        ZoomY = ih / h;
        break;
    case TLeadSizeMode::FitSides:
        ZoomX = iw / w;
        ZoomY = ZoomX;
        break;
    case TLeadSizeMode::Fit: {
        const double zx = iw / w;
        const double zy = ih / h;
        ZoomX = ZoomY = zy < zx ? zy : zx;
        break;
    }
    }
    Dst.Height = LeadScaledExtent(h, ZoomY);
    Dst.Width = LeadScaledExtent(w, ZoomX);
    DstClip = Dst;
}

void TLeadGeometry::CenterDstRect(const TLeadLayoutInput& in)
{
    TLeadBox box = Dst;
    if (Narrower())
        box.Left = int(Round(ViewWidth / 2.0) - Round(Dst.Width / 2.0));
    if (Shorter())
        box.Top = int(Round(ViewHeight / 2.0 - Dst.Height / 2.0));
    Dst = TLeadBox(box.Left, box.Top, std::abs(box.Width), std::abs(box.Height));
    DstClip = box;
    DstRect = box.ToRect();
    OffsetRect(DstRect, in.FrameWidth, in.FrameWidth);
}

TPoint TLeadGeometry::Recalc(const TLeadLayoutInput& in)
{
    ViewHeight = in.ClientHeight - 2 * in.FrameWidth;
    ViewWidth = in.ClientWidth - 2 * in.FrameWidth;
    TPoint moved;
    if (!in.Scrolling) {
        if (in.AutoSetRects)
            AutoSizeRects(in);
        VScrollMax = std::max(0, Dst.Height - ViewHeight);
        HScrollMax = std::max(0, Dst.Width - ViewWidth);
        const int h = std::clamp(HScrollPos, 0, HScrollMax);
        const int v = std::clamp(VScrollPos, 0, VScrollMax);
        moved = TPoint(h - HScrollPos, v - VScrollPos);
        HScrollPos = h;
        VScrollPos = v;
        if (!in.AutoSize && in.AutoScroll) {
            Dst.Left = -HScrollPos;
            Dst.Top = -VScrollPos;
        }
        if (in.AutoSetRects) {
            DstClip = Dst;
            DstRect = Dst.ToRect();
            OffsetRect(DstRect, in.FrameWidth, in.FrameWidth);
        }
    }
    if (in.CenterImage && (Narrower() || Shorter()))
        CenterDstRect(in);
    return moved;
}

void TLeadGeometry::ResetSrcRects(int pictureWidth, int pictureHeight)
{
    Src = TLeadBox(0, 0, pictureWidth, pictureHeight);
    SrcClip = Src;
}

TPoint TLeadGeometry::ResetToNormal(int pictureWidth, int pictureHeight)
{
    const TPoint moved(-HScrollPos, -VScrollPos);
    HScrollPos = VScrollPos = 0;
    ZoomX = ZoomY = 1.0;
    Dst.Height = RoundClamped(pictureHeight * ZoomY);
    Dst.Width = RoundClamped(pictureWidth * ZoomX);
    return moved;
}

void TLeadGeometry::SetDstWidth(int width, int pictureWidth)
{
    Dst.Width = std::max(0, width);
    ZoomX = pictureWidth != 0 ? double(Dst.Width) / pictureWidth : 1.0;
}

void TLeadGeometry::SetDstHeight(int height, int pictureHeight)
{
    Dst.Height = height;
    ZoomY = pictureHeight != 0 ? double(Dst.Height) / pictureHeight : 1.0;
}

int TLeadGeometry::ZoomPercent(TLeadSizeMode mode) const
{
    const double zoom = mode == TLeadSizeMode::Stretch && ZoomY < ZoomX ? ZoomY : ZoomX;
    return RoundClamped(zoom * 100);
}

bool TLeadGeometry::ClientToView(int x, int y, int frameWidth, int& viewX, int& viewY) const
{
    viewX = viewY = 0;
    if (Dst.Width == 0 || Dst.Height == 0)
        return false;
    const long long dx = static_cast<long long>(x) - (static_cast<long long>(Dst.Left) + frameWidth);
    const long long dy = static_cast<long long>(y) - (static_cast<long long>(Dst.Top) + frameWidth);
    viewX = int(dx * Src.Width / Dst.Width + Src.Left);
    viewY = int(dy * Src.Height / Dst.Height + Src.Top);
    return true;
}
