#pragma once
// Two bitmaps show the same picture: the same size and the same colour in every pixel,
// whatever their pixel formats.
#include "platform/vcl/Graphics.h"

#include <QImage>

inline bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           a.Image().convertToFormat(QImage::Format_RGB32) == b.Image().convertToFormat(QImage::Format_RGB32);
}
