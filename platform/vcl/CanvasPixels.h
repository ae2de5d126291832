#pragma once
// Internal to the canvas: pixel access on QImage rows and the raster operations.
#include "platform/vcl/Graphics.h"

#include <QImage>
#include <QPainter>

namespace canvas_detail {

// Reads and writes pixels of a QImage as 0x00BBGGRR values; fast for the formats TBitmap
// uses, correct (through QImage::pixel) for the others.
class PixelAccess {
public:
    explicit PixelAccess(QImage& image);
    TColor Get(int x, int y) const;
    void Set(int x, int y, TColor c);
    // Pixels x0..x1-1 of row y.
    void SetRun(int y, int x0, int x1, TColor c);
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }

private:
    enum class Kind { Bgr888, Rgb888, Rgb32, Argb32, Generic };
    QImage& m_image;
    Kind m_kind;
};

// The pen mode applied to a source (pen or brush) and a destination colour.
TColor ApplyPenMode(TPenMode mode, TColor src, TColor dst);
// A three-operand raster operation: source, destination and pattern (the brush colour).
TColor ApplyRop3(TCopyMode rop, TColor src, TColor dst, TColor pattern);
// The pen mode with the same effect as rop when rop ignores the pattern, else pmCopy.
TPenMode PenModeOfRop3(TCopyMode rop);
QPainter::CompositionMode CompositionOf(TPenMode mode);

} // namespace canvas_detail
