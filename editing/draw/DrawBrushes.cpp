// The brushes of the drawing component over its picture, work bitmap and effect library.
#include "editing/draw/DrawBrushes.h"

#include "editing/brush/BrushPixels.h"
#include "editing/draw/DrawImage.h"
#include "platform/vcl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

TBitmap Bitmap24(int width, int height)
{
    TBitmap b(width, height);
    b.SetPixelFormat(pf24bit);
    return b;
}

// The part r (right and bottom excluded) of source as a 24-bit bitmap.
TBitmap CopyPart(const TBitmap& source, const TRect& r)
{
    TBitmap part = Bitmap24(r.Right - r.Left, r.Bottom - r.Top);
    TSourceCopy copy(part.Canvas());
    part.Canvas().CopyRect(TRect(0, 0, part.Width(), part.Height()), source.Canvas(), r);
    return part;
}

// Outside the disc inscribed in the square the bitmap becomes white: a white square with a
// black disc, black transparent, drawn over it.
void MaskToDisc(TBitmap& square)
{
    TBitmap mask(square.Width(), square.Height());
    TCanvas& m = mask.Canvas();
    m.Brush.Style = bsSolid;
    m.Brush.Color = clBlack;
    m.Pen.Color = clBlack;
    m.Pen.Style = psSolid;
    m.Pen.Width = 1;
    m.Ellipse(0, 0, mask.Width(), mask.Height());
    mask.TransparentMode = tmFixed;
    mask.SetTransparentColor(clBlack);
    mask.Transparent = true;
    TSourceCopy copy(square.Canvas());
    square.Canvas().Draw(0, 0, mask);
}

void MakeWhiteTransparent(TBitmap& b)
{
    b.TransparentMode = tmFixed;
    b.SetTransparentColor(clWhite);
    b.Transparent = true;
}

// WorkBitmap holds the snapshot of the drag's start, unless a move arrives without the press
// that takes it (the tool was changed during the drag) while WorkBitmap holds something else,
// such as a copied range: then the picture as it stands becomes the snapshot, so the picture
// never takes a bitmap of another size.
void EnsureSnapshot(TpelDrawImage& image)
{
    if (image.WorkBitmap.Width() != image.Picture().Width() || image.WorkBitmap.Height() != image.Picture().Height())
        image.SnapshotPicture();
}

// Both 24 bits and of one size: rows copy from one to the other.
bool SameLayout(const TBitmap& a, const TBitmap& b)
{
    return a.Width() == b.Width() && a.Height() == b.Height() && a.PixelFormat() == pf24bit && b.PixelFormat() == pf24bit;
}

// The part r of the picture takes WorkBitmap's pixels there: where the picture differs from
// WorkBitmap only inside r, it then equals WorkBitmap, without copying the whole picture.
void CopyBackFromWorkBitmap(TpelDrawImage& image, TRect r)
{
    TBitmap& picture = image.Picture();
    const TBitmap& work = image.WorkBitmap;
    if (!SameLayout(picture, work)) {
        picture = work;  // shares the pixels until the next write
        picture.Transparent = false;
        return;
    }
    r = TRect(std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, work.Width()), std::min(r.Bottom, work.Height()));
    for (int y = r.Top; y < r.Bottom; ++y)
        std::copy_n(work.ScanLine(y) + 3 * r.Left, 3 * std::max(r.Right - r.Left, 0), picture.ScanLine(y) + 3 * r.Left);
}

// The picture shows the snapshot in WorkBitmap again: during a drag it differs from the
// snapshot only where the last patch was drawn.
void RestoreSnapshot(TpelDrawImage& image)
{
    CopyBackFromWorkBitmap(image, image.Drag.BrushPatch);
    image.Drag.BrushPatch = TRect();
}

// The brush patch about centre on the snapshot, moved and shrunk onto it; radius 0 when there
// is nothing to do.
TBrushPatch SnapshotPatch(TpelDrawImage& image, TPoint centre, int r)
{
    EnsureSnapshot(image);
    const TBitmap& work = image.WorkBitmap;
    if (work.Empty())
        return {centre, 0};
    return ClampBrushPatch(centre, r, work.Width(), work.Height());
}

// The frame of the adjustment and distortion brushes: effect(patch) makes the changed patch;
// only its disc is shown, over the snapshot.
template <typename Effect>
void PatchBrush(TpelDrawImage& image, TPoint centre, int r, Effect effect)
{
    const TBrushPatch p = SnapshotPatch(image, centre, r);
    if (p.Radius == 0)
        return;
    const TBitmap& work = image.WorkBitmap;
    const int side = 2 * p.Radius;
    const TPoint topLeft(p.Centre.X - p.Radius, p.Centre.Y - p.Radius);
    const TBitmap patch = CopyPart(work, TRect(topLeft.X, topLeft.Y, topLeft.X + side, topLeft.Y + side));
    TBitmap result = effect(patch);
    MaskToDisc(result);
    MakeWhiteTransparent(result);
    RestoreSnapshot(image);
    TSourceCopy copy(image.Canvas());
    image.Canvas().Draw(topLeft.X, topLeft.Y, result);
    image.Drag.BrushPatch = TRect(topLeft.X, topLeft.Y, topLeft.X + side, topLeft.Y + side);
    image.Changed();
}

int RoundToInt(double v)
{
    return int(Round(v));
}

} // namespace

void AdjustBrush(TpelDrawImage& image, TPoint centre, int kind, int amount, int r)
{
    PatchBrush(image, centre, r, [&](const TBitmap& patch) {
        TBitmap result(patch);
        const TFxBitmap view = FxView(result);
        switch (kind) {
        case akLightness: image.PaintFX.Lightness(view, amount); break;
        case akContrast: image.PaintFX.Contrast(view, amount); break;
        case akSaturation: image.PaintFX.Saturation(view, amount); break;
        default: break;
        }
        return result;
    });
}

void DistortBrush(TpelDrawImage& image, TPoint centre, int mode, double amount, int r)
{
    PatchBrush(image, centre, r, [&](const TBitmap& patch) {
        // Places the distortion writes nothing to stay white, so the snapshot shows there.
        TBitmap result = Bitmap24(patch.Width(), patch.Height());
        TBitmap source(patch);
        const TFxBitmap from = FxView(source);
        const TFxBitmap to = FxView(result);
        switch (mode) {
        case dmFishEye: image.PaintFX.FishEye(from, to, amount); break;
        case dmTwist: image.PaintFX.Twist(from, to, RoundToInt(amount)); break;
        case dmRipple: RippleBitmap(patch, result, amount); break;
        case dmRotate: image.PaintFX.SmoothRotate(from, to, patch.Width() / 2, patch.Height() / 2, amount); break;
        default:
            if (mode >= dmSqueezeFirst && mode <= dmSqueezeLast)
                image.PaintFX.RowSqueeze(from, to, RoundToInt(amount), mode);
            else if (mode >= dmSplitFirst && mode <= dmSplitLast)
                image.PaintFX.RowSplit(from, to, RoundToInt(amount), mode);
            break;
        }
        return result;
    });
}

void ShapeBrush(TpelDrawImage& image, TPoint centre, int mode, double amount, int r)
{
    if (mode < sbVerBox || mode > sbHorOval)
        return;
    const TBrushPatch p = SnapshotPatch(image, centre, r);
    if (p.Radius == 0)
        return;
    const TBitmap& work = image.WorkBitmap;
    r = p.Radius;
    const int cx = p.Centre.X, cy = p.Centre.Y;
    const int s = std::min(std::max(RoundToInt(std::max(std::abs(amount), 1.0) * r / 180), 5), r);
    const bool across = mode == sbVerBox || mode == sbVerOval;
    const TRect band = across ? TRect(cx - r, cy - s, cx + r, cy + s) : TRect(cx - s, cy - r, cx + s, cy + r);
    TBitmap square = Bitmap24(2 * r, 2 * r);
    StretchBandIntoSquare(CopyPart(work, band), square);
    const bool oval = mode == sbVerOval || mode == sbHorOval;
    if (oval) {
        MaskToDisc(square);
        MakeWhiteTransparent(square);
        RestoreSnapshot(image);
    }
    TSourceCopy copy(image.Canvas());
    image.Canvas().Draw(cx - r, cy - r, square);
    if (oval)
        image.Drag.BrushPatch = TRect(cx - r, cy - r, cx + r, cy + r);
    image.Changed();
}

void PaintColorBrush(TpelDrawImage& image, int x, int y, int operation)
{
    const int r = std::max(image.Canvas().Pen.Width, 5);
    if (operation <= 8) {
        // On the picture as it stands (the same as on a fresh copy of it).
        if (!image.Picture().Empty())
            ColorBrush(image.Picture(), x, y, operation, r);
    } else {
        // On the snapshot, which the picture equals outside the brush's square.
        EnsureSnapshot(image);
        if (image.WorkBitmap.Empty())
            return;
        ColorBrush(image.WorkBitmap, x, y, operation, r);
        CopyBackFromWorkBitmap(image, TRect(x - r, y - r, x + r, y + r));
    }
    image.Changed();
}

void GradientRow(TpelDrawImage& image, int x1, int x2, int y, TColor from, TColor to)
{
    if (!image.Picture().Empty())
        GradientHLine(image.Picture(), x1, x2, y, from, to, true);
    image.Changed();
}

void GradientColumn(TpelDrawImage& image, int y1, int y2, int x, TColor from, TColor to)
{
    if (!image.Picture().Empty())
        GradientVLine(image.Picture(), y1, y2, x, from, to, true);
    image.Changed();
}

void PaintTexture(TpelDrawImage& image, TTexture kind, TPoint start, TPoint end, bool blur)
{
    if (image.Picture().Empty())
        return;
    TextureFill(image.Canvas(), image.Picture().Width(), image.Picture().Height(), start, end, kind,
                [](int n) { return PaintFXRandom().Random(n); });
    if (blur) {
        image.SnapshotPicture();
        if (kind == TTexture::Rects || kind == TTexture::Ovals)
            image.PaintFX.GaussianBlur(FxView(image.WorkBitmap), 4);
        RingBlur(image.WorkBitmap);
        image.Picture() = image.WorkBitmap;
    }
    image.Changed();
}
