#include "platform/vcl/CanvasPixels.h"

#include <algorithm>

namespace canvas_detail {

namespace {
constexpr TColor kMask = 0xFFFFFF;
}

PixelAccess::PixelAccess(QImage& image) : m_image(image)
{
    switch (image.format()) {
    case QImage::Format_BGR888: m_kind = Kind::Bgr888; break;
    case QImage::Format_RGB888: m_kind = Kind::Rgb888; break;
    case QImage::Format_RGB32: m_kind = Kind::Rgb32; break;
    case QImage::Format_ARGB32: m_kind = Kind::Argb32; break;
    default: m_kind = Kind::Generic; break;
    }
}

TColor PixelAccess::Get(int x, int y) const
{
    const uchar* row = m_image.constScanLine(y);
    switch (m_kind) {
    case Kind::Bgr888: {
        const uchar* p = row + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
    case Kind::Rgb888: {
        const uchar* p = row + 3 * x;
        return RGB(p[0], p[1], p[2]);
    }
    case Kind::Rgb32:
    case Kind::Argb32: {
        const QRgb v = reinterpret_cast<const QRgb*>(row)[x];
        return RGB(qRed(v), qGreen(v), qBlue(v));
    }
    case Kind::Generic: break;
    }
    return FromQColor(m_image.pixelColor(x, y));
}

void PixelAccess::Set(int x, int y, TColor c)
{
    uchar* row = m_image.scanLine(y);
    switch (m_kind) {
    case Kind::Bgr888: {
        uchar* p = row + 3 * x;
        p[0] = uchar(GetBValue(c));
        p[1] = uchar(GetGValue(c));
        p[2] = uchar(GetRValue(c));
        return;
    }
    case Kind::Rgb888: {
        uchar* p = row + 3 * x;
        p[0] = uchar(GetRValue(c));
        p[1] = uchar(GetGValue(c));
        p[2] = uchar(GetBValue(c));
        return;
    }
    case Kind::Rgb32:
    case Kind::Argb32:
        reinterpret_cast<QRgb*>(row)[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        return;
    case Kind::Generic: break;
    }
    m_image.setPixelColor(x, y, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
}

void PixelAccess::SetRun(int y, int x0, int x1, TColor c)
{
    uchar* row = m_image.scanLine(y);
    switch (m_kind) {
    case Kind::Bgr888: {
        const uchar b = uchar(GetBValue(c)), g = uchar(GetGValue(c)), r = uchar(GetRValue(c));
        for (uchar* p = row + 3 * x0; p < row + 3 * x1; p += 3) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
        return;
    }
    case Kind::Rgb32:
    case Kind::Argb32:
        std::fill(reinterpret_cast<QRgb*>(row) + x0, reinterpret_cast<QRgb*>(row) + x1,
                  qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        return;
    default:
        for (int x = x0; x < x1; ++x)
            Set(x, y, c);
        return;
    }
}

TColor ApplyPenMode(TPenMode mode, TColor s, TColor d)
{
    TColor r;
    switch (mode) {
    case pmBlack: r = 0; break;
    case pmWhite: r = kMask; break;
    case pmNop: r = d; break;
    case pmNot: r = ~d; break;
    case pmCopy: r = s; break;
    case pmNotCopy: r = ~s; break;
    case pmMergePenNot: r = s | ~d; break;
    case pmMaskPenNot: r = s & ~d; break;
    case pmMergeNotPen: r = ~s | d; break;
    case pmMaskNotPen: r = ~s & d; break;
    case pmMerge: r = s | d; break;
    case pmNotMerge: r = ~(s | d); break;
    case pmMask: r = s & d; break;
    case pmNotMask: r = ~(s & d); break;
    case pmXor: r = s ^ d; break;
    case pmNotXor: r = ~(s ^ d); break;
    default: r = s; break;
    }
    return r & kMask;
}

TColor ApplyRop3(TCopyMode rop, TColor s, TColor d, TColor p)
{
    // The code's third byte is the truth table over (pattern, source, destination) bits.
    const unsigned table = (rop >> 16) & 0xFF;
    TColor r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(table & (1u << i)))
            continue;
        const TColor pp = (i & 4) ? p : ~p;
        const TColor ss = (i & 2) ? s : ~s;
        const TColor dd = (i & 1) ? d : ~d;
        r |= pp & ss & dd;
    }
    return r & kMask;
}

TPenMode PenModeOfRop3(TCopyMode rop)
{
    const unsigned table = (rop >> 16) & 0xFF;
    if ((table >> 4) != (table & 0x0F))
        return pmCopy;  // depends on the pattern
    for (int m = pmBlack; m <= pmNotXor; ++m) {
        unsigned t = 0;
        for (unsigned i = 0; i < 4; ++i) {
            const TColor s = (i & 2) ? 1 : 0;
            const TColor d = (i & 1) ? 1 : 0;
            if (ApplyPenMode(TPenMode(m), s, d) & 1)
                t |= 1u << i;
        }
        if (t == (table & 0x0F))
            return TPenMode(m);
    }
    return pmCopy;
}

QPainter::CompositionMode CompositionOf(TPenMode mode)
{
    using C = QPainter::CompositionMode;
    switch (mode) {
    case pmBlack: return C::RasterOp_ClearDestination;
    case pmWhite: return C::RasterOp_SetDestination;
    case pmNop: return C::CompositionMode_Destination;
    case pmNot: return C::RasterOp_NotDestination;
    case pmCopy: return C::CompositionMode_Source;
    case pmNotCopy: return C::RasterOp_NotSource;
    case pmMergePenNot: return C::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return C::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return C::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return C::RasterOp_NotSourceAndDestination;
    case pmMerge: return C::RasterOp_SourceOrDestination;
    case pmNotMerge: return C::RasterOp_NotSourceAndNotDestination;
    case pmMask: return C::RasterOp_SourceAndDestination;
    case pmNotMask: return C::RasterOp_NotSourceOrNotDestination;
    case pmXor: return C::RasterOp_SourceXorDestination;
    case pmNotXor: return C::RasterOp_NotSourceXorDestination;
    }
    return C::CompositionMode_Source;
}

} // namespace canvas_detail
