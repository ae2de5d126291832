#include "imaging/LEADScale.h"

#include "imaging/LEADBitmapImage.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The rows of a bitmap as seen, as B, G, R bytes: straight from the pixels for a 24-bit
// bitmap stored as seen, else through the kernel's row access and the palette.
class ViewRows {
public:
    explicit ViewRows(const LBitmap& bitmap)
        : m_bitmap(bitmap), m_width(bitmap.ViewWidth()),
          m_direct(bitmap.BitsPerPixel == 24 &&
                   (bitmap.ViewPerspective == LVP_TOP_LEFT || !L_IsViewPerspective(bitmap.ViewPerspective)))
    {
        if (!m_direct) {
            m_raw.resize(std::size_t(std::max(0, L_BytesPerLine(m_width, bitmap.BitsPerPixel))));
            m_bgr.resize(std::size_t(m_width) * 3);
        }
    }

    const std::uint8_t* Row(int y)
    {
        if (m_direct)
            return m_bitmap.Row(y);
        if (L_GetBitmapRow(&m_bitmap, m_raw.data(), y, std::uint32_t(m_raw.size())) <= 0)
            std::fill(m_raw.begin(), m_raw.end(), std::uint8_t(0));
        if (m_bitmap.BitsPerPixel == 24)
            return m_raw.data();
        LeadRowToBgr(m_raw.data(), m_width, m_bitmap.BitsPerPixel, m_bitmap.Palette(), m_bitmap.PaletteSize(),
                     m_bgr.data());
        return m_bgr.data();
    }

private:
    const LBitmap& m_bitmap;
    int m_width;
    bool m_direct;
    std::vector<std::uint8_t> m_raw;
    std::vector<std::uint8_t> m_bgr;
};

// The source pixels First .. First + Count - 1 that one destination pixel takes.
struct Span {
    int First;
    int Count;
};

// For each destination pixel start .. start + length - 1 of an axis drawn dstLength long from
// srcLength source pixels at srcStart: the whole source pixels it covers when shrinking, the
// one nearest its centre when enlarging; cut to the picture's 0 .. limit - 1.
std::vector<Span> AxisSpans(int srcStart, int srcLength, int dstLength, int start, int length, int limit)
{
    std::vector<Span> spans(static_cast<std::size_t>(length));
    const long long s = srcLength, d = dstLength;
    for (int j = 0; j < length; ++j) {
        const long long x = start + j;
        long long a, b;
        if (s >= d) {
            a = x * s / d;
            b = (x + 1) * s / d;
        } else {
            a = (2 * x + 1) * s / (2 * d);
            b = a + 1;
        }
        a = std::clamp<long long>(a + srcStart, 0, limit - 1);
        b = std::clamp<long long>(b + srcStart, a + 1, limit);
        spans[std::size_t(j)] = Span{int(a), int(b - a)};
    }
    return spans;
}

int MaxCount(const std::vector<Span>& spans)
{
    int m = 1;
    for (const Span& s : spans)
        m = std::max(m, s.Count);
    return m;
}

inline QRgb Pixel(unsigned b, unsigned g, unsigned r) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

// One destination row from a row of column sums (3 per source pixel, starting at source
// column first) over rows source rows: each pixel averages its columns.
template <class T>
void AverageColumns(const T* sums, int first, const std::vector<Span>& xs, int rows, QRgb* out)
{
    const int maxCount = MaxCount(xs);
    float inverse[64];
    std::vector<float> bigInverse;
    float* inv = inverse;
    if (maxCount >= 64) {
        bigInverse.resize(std::size_t(maxCount) + 1);
        inv = bigInverse.data();
    }
    for (int c = 1; c <= maxCount; ++c)
        inv[c] = 1.0f / (float(c) * float(rows));
    for (std::size_t j = 0; j < xs.size(); ++j) {
        const Span s = xs[j];
        const T* p = sums + std::ptrdiff_t(s.First - first) * 3;
        if (s.Count == 1 && rows == 1) {
            out[j] = Pixel(p[0], p[1], p[2]);
            continue;
        }
        std::uint64_t b = 0, g = 0, r = 0;
        for (int k = 0; k < s.Count; ++k, p += 3) {
            b += p[0];
            g += p[1];
            r += p[2];
        }
        const float f = inv[s.Count];
        out[j] = Pixel(unsigned(float(b) * f + 0.5f), unsigned(float(g) * f + 0.5f), unsigned(float(r) * f + 0.5f));
    }
}

// The box filter: rows of each destination row summed column by column, then the columns of
// each destination pixel averaged.
template <class Acc>
void BoxScale(ViewRows& rows, const std::vector<Span>& xs, const std::vector<Span>& ys, QImage& out)
{
    const int first = xs.front().First;
    const int last = xs.back().First + xs.back().Count;
    const std::size_t n = std::size_t(last - first) * 3;
    std::vector<Acc> acc(n);
    for (std::size_t i = 0; i < ys.size(); ++i) {
        const Span sy = ys[i];
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(int(i)));
        if (sy.Count == 1) {
            AverageColumns(rows.Row(sy.First) + std::ptrdiff_t(first) * 3, first, xs, 1, line);
            continue;
        }
        std::fill(acc.begin(), acc.end(), Acc(0));
        Acc* a = acc.data();
        for (int y = sy.First; y < sy.First + sy.Count; ++y) {
            const std::uint8_t* src = rows.Row(y) + std::ptrdiff_t(first) * 3;
            for (std::size_t k = 0; k < n; ++k)
                a[k] = Acc(a[k] + src[k]);
        }
        AverageColumns(a, first, xs, sy.Count, line);
    }
}

// Enlarging with interpolation: the source pixels under the piece (and one around it) drawn
// smoothly onto it.
void SmoothScale(ViewRows& rows, const LBitmap& bitmap, const TLeadScaleRequest& r, const QRect& part, QImage& out)
{
    const TLeadBox& s = r.Source;
    const double fx = double(s.Width) / r.DstWidth;
    const double fy = double(s.Height) / r.DstHeight;
    const int x0 = std::clamp(int(s.Left + part.left() * fx) - 1, 0, bitmap.ViewWidth() - 1);
    const int x1 = std::clamp(int(s.Left + (part.right() + 1) * fx) + 2, x0 + 1, bitmap.ViewWidth());
    const int y0 = std::clamp(int(s.Top + part.top() * fy) - 1, 0, bitmap.ViewHeight() - 1);
    const int y1 = std::clamp(int(s.Top + (part.bottom() + 1) * fy) + 2, y0 + 1, bitmap.ViewHeight());
    QImage crop(x1 - x0, y1 - y0, QImage::Format_RGB32);
    if (crop.isNull())
        return;
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* src = rows.Row(y) + std::ptrdiff_t(x0) * 3;
        QRgb* line = reinterpret_cast<QRgb*>(crop.scanLine(y - y0));
        for (int x = 0; x < crop.width(); ++x, src += 3)
            line[x] = Pixel(src[0], src[1], src[2]);
    }
    out.fill(Qt::black);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF target((x0 - s.Left) / fx - part.left(), (y0 - s.Top) / fy - part.top(), crop.width() / fx,
                        crop.height() / fy);
    p.drawImage(target, crop, QRectF(crop.rect()));
}

} // namespace

QImage LeadScalePicture(const LBitmap& bitmap, const TLeadScaleRequest& r)
{
    const QRect part = r.Part.intersected(QRect(0, 0, r.DstWidth, r.DstHeight));
    if (part.isEmpty() || r.Source.Width <= 0 || r.Source.Height <= 0 || !bitmap.IsAllocated() ||
        bitmap.ViewWidth() <= 0 || bitmap.ViewHeight() <= 0)
        return QImage();
    QImage out(part.size(), QImage::Format_RGB32);
    if (out.isNull())
        return QImage();
    ViewRows rows(bitmap);
    const bool shrinking = r.Source.Width >= r.DstWidth && r.Source.Height >= r.DstHeight;
    if (r.Smooth && !shrinking) {
        SmoothScale(rows, bitmap, r, part, out);
        return out;
    }
    const std::vector<Span> xs =
        AxisSpans(r.Source.Left, r.Source.Width, r.DstWidth, part.left(), part.width(), bitmap.ViewWidth());
    const std::vector<Span> ys =
        AxisSpans(r.Source.Top, r.Source.Height, r.DstHeight, part.top(), part.height(), bitmap.ViewHeight());
    // Column sums of up to 257 rows fit 16 bits.
    if (MaxCount(ys) <= 257)
        BoxScale<std::uint16_t>(rows, xs, ys, out);
    else
        BoxScale<std::uint32_t>(rows, xs, ys, out);
    return out;
}
