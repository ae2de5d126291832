#pragma once
// The brushes of TpelDrawImage that work with its picture, its work bitmap and its effect
// library: the adjustment, distortion and shape brushes, the pixel brush, the gradient rows
// and columns, and the textures with their blurred variants.
//
// The adjustment, distortion and shape brushes read the 2r x 2r patch around their centre
// from WorkBitmap, the snapshot taken when the drag began, so they never accumulate: every
// call shows the snapshot with one fresh effect disc. The patch is moved inside the picture,
// and a brush larger than the picture shrinks to the largest square that fits.
#include "editing/brush/Textures.h"
#include "platform/vcl/Graphics.h"

class TpelDrawImage;

// The canvas copies by source copy while it lives, whatever mode a range tool left behind.
class TSourceCopy {
public:
    explicit TSourceCopy(TCanvas& canvas) : m_canvas(canvas), m_saved(canvas.CopyMode) { canvas.CopyMode = cmSrcCopy; }
    ~TSourceCopy() { m_canvas.CopyMode = m_saved; }
    TSourceCopy(const TSourceCopy&) = delete;
    TSourceCopy& operator=(const TSourceCopy&) = delete;

private:
    TCanvas& m_canvas;
    TCopyMode m_saved;
};

// AdjustBrush kinds: the effect library's lightness, contrast and saturation.
enum TAdjustKind { akLightness = 0, akContrast = 1, akSaturation = 2 };

// DistortBrush modes.
enum TDistortMode {
    dmFishEye = 3,     // the library's fish eye, amount as given
    dmRotate = 4,      // rotation about the patch centre by amount degrees
    dmTwist = 5,       // the library's twist with round(amount)
    dmRipple = 6,      // RippleBitmap with amount
    dmSqueezeFirst = 7,  // 7..13: row squeeze of that mode with round(amount)
    dmSqueezeLast = 13,
    dmSplitFirst = 14,   // 14, 15: row split of that mode with round(amount)
    dmSplitLast = 15,
};

// ShapeBrush modes: a band across (vertical stretch) or down (horizontal stretch) the patch,
// stretched over the square, as a box or as an oval.
enum TShapeBrushMode { sbVerBox = 0, sbHorBox = 1, sbVerOval = 2, sbHorOval = 3 };

void AdjustBrush(TpelDrawImage& image, TPoint centre, int kind, int amount, int r);
void DistortBrush(TpelDrawImage& image, TPoint centre, int mode, double amount, int r);
// The band is 2s wide or high, s = round(max(|amount|, 1) * r / 180) within 5..r. The box
// modes draw the square over the picture as it stands (a stroke leaves a trail of boxes); the
// oval modes show the snapshot with one oval.
void ShapeBrush(TpelDrawImage& image, TPoint centre, int mode, double amount, int r);

// ColorBrush with the pen width as radius: operations 0..8 on the picture as it stands,
// 9..13 on the snapshot in WorkBitmap, so that those accumulate along the stroke, and the
// picture then shows the snapshot's changed square.
void PaintColorBrush(TpelDrawImage& image, int x, int y, int operation);

// One smoothed gradient line on the picture (24 bits).
void GradientRow(TpelDrawImage& image, int x1, int x2, int y, TColor from, TColor to);
void GradientColumn(TpelDrawImage& image, int y1, int y2, int x, TColor from, TColor to);

// The texture of kind over the whole picture, tiled by the drag from start to end, drawing
// with the pen colour and the effect library's random generator. With blur, the result is
// then blurred: rectangles and ovals first by the library's Gaussian blur of strength 4, all
// by the ring blur.
void PaintTexture(TpelDrawImage& image, TTexture kind, TPoint start, TPoint end, bool blur);
