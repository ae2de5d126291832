#pragma once
// Pixel primitives of the drawing tools, on 24-bit bitmaps (rows of blue, green, red).
// Each takes the bitmap it works on, so the drawing component passes its work bitmap.
// A bitmap in another pixel format is turned to 24 bits first.
#include "platform/vcl/Graphics.h"

#include <array>
#include <vector>

// Fills row y from min(x1, x2) to max(x1, x2): each channel starts at from's value and adds
// (to - from) / (x2 - x1) before every pixel (nothing when x1 = x2), rounded and clamped to
// 0..255. Pixels off the bitmap are skipped. With smooth, the pixels just left and just right
// of the run become the mean of their four neighbours (not on the bitmap's border).
void GradientHLine(TBitmap& bitmap, int x1, int x2, int y, TColor from, TColor to, bool smooth);
// The same down column x from min(y1, y2) to max(y1, y2).
void GradientVLine(TBitmap& bitmap, int y1, int y2, int x, TColor from, TColor to, bool smooth);

// The half-widths of a filled ellipse with semi-axes a and b as the midpoint method traces it:
// element v is the half-width on the rows v above and below the centre (v = 0..|b|).
std::vector<int> EllipseHalfWidths(int a, int b);
// The filled ellipse centred on centre, each row a smoothed gradient from c1 to c2.
void ShadedEllipse(TBitmap& bitmap, TPoint centre, int a, int b, TColor c1, TColor c2);

// Every pixel of r (corners included; normalised first) becomes the bilinear blend of r's
// four corner pixels. Nothing happens unless r lies inside the bitmap.
void InterRect(TBitmap& bitmap, TRect r);
// Every row of r gets a smoothed gradient from the pixel at x = 0 of r's top row to the
// pixel at r's bottom-right corner. Nothing happens unless both lie on the bitmap.
void InterColumn(TBitmap& bitmap, TRect r);

using TRingKernel = std::array<std::array<int, 5>, 5>;
// 1 on the border of the 5 x 5 square, 0 inside.
constexpr TRingKernel RingKernel{{{1, 1, 1, 1, 1}, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}, {1, 1, 1, 1, 1}}};
// Each pixel becomes the kernel-weighted sum of its 5 x 5 neighbourhood (coordinates clamped
// to the bitmap) divided by the weights' sum (1 when it is 0), clamped to 0..255.
void RingBlur(TBitmap& bitmap, const TRingKernel& kernel = RingKernel);

// Rings the disc of radius width div 2 of source outwards and inwards by a sine of the
// distance, writing into target (same size); target pixels that receive nothing keep their
// content. amount below 1 counts as 1. A source narrower than 2 pixels changes nothing.
void RippleBitmap(const TBitmap& source, TBitmap& target, double amount);

// The pixel brush: operation 0..13 (channel filters, darken, lighten, grey, channel
// rotation, neighbour smoothing) on the disc of radius r (at least 5) around (x, y). Pixels
// outside the disc, and pure white ones inside it, keep their value.
void ColorBrush(TBitmap& bitmap, int x, int y, int operation, int r);

// The shaded spheres over a rectangle (normalised first), each circle a ShadedEllipse from c1
// to c2. Sphere fills the rectangle's inscribed ellipse; the families put a row of circles
// along the rectangle's longer side.
enum class TSphereFamily { Row, Droplets, Wave, RisingWave };
struct TSphereCircle {
    TPoint Centre;
    int Radius;
};
// The circles of a family: n = max(hw, hh) div (min(hw, hh) + 1) cells (none when n is 0),
// hw and hh the rectangle's half sides.
std::vector<TSphereCircle> SphereCircles(TRect r, TSphereFamily family);
void DrawSpheres(TBitmap& bitmap, TRect r, TSphereFamily family, TColor c1, TColor c2);
void Sphere(TBitmap& bitmap, TRect r, TColor c1, TColor c2);

// The patch of a distortion, adjustment or shape brush: the square centre +- Radius
// (corners included) moved inside the picture. A brush larger than the picture is shrunk to
// the largest square that fits, so the patch never reaches off it; Radius is 0 (nothing to
// do) on a picture narrower or lower than 3 pixels.
struct TBrushPatch {
    TPoint Centre;
    int Radius;
};
TBrushPatch ClampBrushPatch(TPoint centre, int r, int width, int height);

// The zoom brush: the square of zoom around (x, y) with half side r, cut to zoom's pixels,
// stretched over the area (0, 0, zoom's width, height) of canvas. Returns the square used
// (empty when nothing was drawn).
TRect ZoomBrush(TCanvas& canvas, const TBitmap& zoom, int x, int y, int r);

// The shape brushes' transformation: the band (a strip across or down the patch) stretched
// over the whole square.
void StretchBandIntoSquare(const TBitmap& band, TBitmap& square);
