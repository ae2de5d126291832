#pragma once
// The picture scaled for the screen: a piece of the destination that a source rectangle of the
// picture is drawn into, as a QImage::Format_RGB32 image. Shrinking averages the source pixels
// each destination pixel covers (a box filter over whole pixels, read straight from the
// bitmap's rows, so that a large photo is never converted as a whole); enlarging repeats
// pixels, or with Smooth interpolates between them.
#include "imaging/LEADGeometry.h"
#include "platform/imagelib/ltkrn.h"

#include <QImage>
#include <QRect>

struct TLeadScaleRequest {
    TLeadBox Source;      // pixels of the picture as seen; beyond its edges the edge repeats
    int DstWidth = 0;     // the size Source is drawn at
    int DstHeight = 0;
    QRect Part;           // the piece wanted, in destination pixels
    bool Smooth = false;  // enlarging interpolates
};

// The piece of the destination (Part cut to 0, 0 .. DstWidth, DstHeight), or a null image when
// that is empty, the source rectangle is empty or the bitmap holds no pixels.
QImage LeadScalePicture(const LBitmap& bitmap, const TLeadScaleRequest& request);
