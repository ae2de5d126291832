#pragma once
// The frame a picture control is set up with (its Shape..., Shadow... and Pattern...
// properties from the form description), as plain values that worker threads can use.
#include "imaging/ThumbnailMaker.h"

class TLEADImage;

ThumbnailFrame ShapeFrameOf(const TLEADImage& image);
