#pragma once
// Conversions between kernel bitmaps and QImage for the picture control.
#include "platform/imagelib/ltkrn.h"

#include <QImage>

// The picture as seen through its view perspective. A 24-bit bitmap stored top-left is shown
// without a copy (the image refers to the bitmap's pixels and is valid while they are);
// everything else is converted (1, 4 and 8 bits to an indexed image with the palette).
QImage LeadBitmapToImage(const LBitmap& bitmap);

// A row of width pixels of the given depth (1, 4 or 8 bits: palette indices, leftmost pixel in
// the high bits; 24 bits: B, G, R) as B, G, R bytes at out (3 x width bytes).
void LeadRowToBgr(const std::uint8_t* row, int width, int bits, const LRgbQuad* palette, int paletteCount,
                  std::uint8_t* out);

// dst := src expanded to 24 bits through its palette, keeping size, view perspective,
// resolution and delay (a 24-bit src is copied as it is). Returns a kernel result code.
int LeadExpandTo24(const LBitmap& src, LBitmap& dst);

// Fills every pixel of an allocated bitmap with colour (0x00BBGGRR); a palette bitmap takes
// the nearest palette entry. Returns a kernel result code.
int LeadFillBitmap(LBitmap& bitmap, LColor color);
