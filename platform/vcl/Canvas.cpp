// TCanvas: every figure is turned into a set of pixels (the outline traced one pixel at a
// time, the inside taken from a coverage mask), and each pixel is combined with the picture
// exactly once. That keeps the framework's pen modes exact, which QPainter alone cannot.
#include "platform/vcl/CanvasPixels.h"
#include "platform/vcl/Graphics.h"

#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <unordered_set>

using namespace canvas_detail;

namespace {

constexpr TColor kRgbMask = 0xFFFFFF;
TCanvas::FontFactory g_fontFactory = nullptr;

TColor Resolve(TColor c) { return ColorToRGB(c) & kRgbMask; }

std::uint64_t Key(int x, int y) { return (std::uint64_t(std::uint32_t(y)) << 32) | std::uint32_t(x); }

int Mod(long long v, int m)
{
    const long long r = v % m;
    return int(r < 0 ? r + m : r);
}

// Where the pixels of one drawing call go: straight into the picture, or as runs through
// the painter. Pixels outside the clip rectangle are dropped.
class Sink {
public:
    Sink(QImage* image, QPainter* painter, const TRect& clip) : m_painter(painter), m_clip(clip)
    {
        if (image)
            m_pixels.emplace(*image);
        if (m_painter) {
            m_painter->save();
            m_painter->setRenderHint(QPainter::Antialiasing, false);
            m_painter->setPen(Qt::NoPen);
        }
    }
    ~Sink()
    {
        Flush();
        if (m_painter)
            m_painter->restore();
    }
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;

    const TRect& Clip() const { return m_clip; }

    void Put(int x, int y, TColor src, TPenMode mode)
    {
        if (mode == pmNop || !PtInRect(m_clip, TPoint(x, y)))
            return;
        if (m_pixels) {
            const TColor d = mode == pmCopy ? 0 : m_pixels->Get(x, y);
            m_pixels->Set(x, y, ApplyPenMode(mode, src, d));
            return;
        }
        if (m_run && y == m_runY && x == m_runX1 && src == m_runColor && mode == m_runMode) {
            ++m_runX1;
            return;
        }
        Flush();
        m_run = true;
        m_runY = y;
        m_runX0 = x;
        m_runX1 = x + 1;
        m_runColor = src;
        m_runMode = mode;
    }

    // Pixels x0..x1-1 of row y in one colour.
    void PutRun(int y, int x0, int x1, TColor src, TPenMode mode)
    {
        if (mode == pmNop || y < m_clip.Top || y >= m_clip.Bottom)
            return;
        x0 = std::max(x0, m_clip.Left);
        x1 = std::min(x1, m_clip.Right);
        if (m_pixels && mode == pmCopy && x0 < x1) {
            m_pixels->SetRun(y, x0, x1, src);
            return;
        }
        for (int x = x0; x < x1; ++x)
            Put(x, y, src, mode);
    }

    // A pixel combined by a three-operand raster operation.
    void PutRop3(int x, int y, TColor src, TCopyMode rop, TColor pattern)
    {
        if (!m_pixels) {
            Put(x, y, src, PenModeOfRop3(rop));
            return;
        }
        if (!PtInRect(m_clip, TPoint(x, y)))
            return;
        if (rop == cmSrcCopy)
            m_pixels->Set(x, y, src);
        else
            m_pixels->Set(x, y, ApplyRop3(rop, src, m_pixels->Get(x, y), pattern));
    }

    void Flush()
    {
        if (!m_run || !m_painter)
            return;
        m_painter->setCompositionMode(CompositionOf(m_runMode));
        m_painter->fillRect(QRect(m_runX0, m_runY, m_runX1 - m_runX0, 1),
                            QColor(GetRValue(m_runColor), GetGValue(m_runColor), GetBValue(m_runColor)));
        m_run = false;
    }

private:
    std::optional<PixelAccess> m_pixels;
    QPainter* m_painter;
    TRect m_clip;
    bool m_run = false;
    int m_runY = 0, m_runX0 = 0, m_runX1 = 0;
    TColor m_runColor = 0;
    TPenMode m_runMode = pmCopy;
};

// The brush at one pixel: false where it leaves the picture alone (bsClear, hatch gaps).
class BrushSampler {
public:
    explicit BrushSampler(const TBrush& b) : m_style(b.Style), m_color(Resolve(b.Color)) {}
    bool Empty() const { return m_style == bsClear; }
    bool Solid() const { return m_style == bsSolid; }
    TColor Color() const { return m_color; }
    bool At(int x, int y, TColor& c) const
    {
        c = m_color;
        const bool h = Mod(y, 8) == 0, v = Mod(x, 8) == 0;
        const bool f = Mod((long long)x - y, 8) == 0, b = Mod((long long)x + y, 8) == 0;
        switch (m_style) {
        case bsSolid: return true;
        case bsClear: return false;
        case bsHorizontal: return h;
        case bsVertical: return v;
        case bsFDiagonal: return f;
        case bsBDiagonal: return b;
        case bsCross: return h || v;
        case bsDiagCross: return f || b;
        }
        return false;
    }

private:
    TBrushStyle m_style;
    TColor m_color;
};

// Whether pixel `index` of a thin styled line is drawn in the pen colour (else it is a gap).
bool DashOn(TPenStyle style, long long index)
{
    static const int dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6},
                     dashDotDot[] = {9, 3, 3, 3, 3, 3};
    std::span<const int> runs;
    switch (style) {
    case psDash: runs = dash; break;
    case psDot: runs = dot; break;
    case psDashDot: runs = dashDot; break;
    case psDashDotDot: runs = dashDotDot; break;
    default: return true;
    }
    int period = 0;
    for (int r : runs)
        period += r;
    int pos = Mod(index, period);
    for (size_t i = 0; i < runs.size(); ++i) {
        if (pos < runs[i])
            return i % 2 == 0;
        pos -= runs[i];
    }
    return true;
}

// Visits the pixels of the line from (x0, y0) towards (x1, y1), without (x1, y1), that lie
// inside clip. `index` numbers the pixels of the whole figure (for dash patterns) and
// advances by the line's length. Only the part inside clip is walked.
template <class Visit>
void TraceLine(int x0, int y0, int x1, int y1, const TRect& clip, long long& index, Visit&& visit)
{
    const long long dx = (long long)x1 - x0, dy = (long long)y1 - y0;
    const long long adx = std::llabs(dx), ady = std::llabs(dy);
    const long long n = std::max(adx, ady);
    if (n == 0)
        return;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    long long lo = 0, hi = n;
    const auto limit = [&](long long start, int s, int cmin, int cmax) {
        if (s > 0) {
            lo = std::max(lo, cmin - start);
            hi = std::min(hi, cmax - start);
        } else {
            lo = std::max(lo, start - cmax + 1);
            hi = std::min(hi, start - cmin + 1);
        }
    };
    if (xMajor)
        limit(x0, sx, clip.Left, clip.Right);
    else
        limit(y0, sy, clip.Top, clip.Bottom);
    const long long major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    for (long long i = lo; i < hi; ++i) {
        const long long m = (2 * i * minor + major) / (2 * major);
        const long long x = xMajor ? x0 + sx * i : x0 + sx * m;
        const long long y = xMajor ? y0 + sy * m : y0 + sy * i;
        if (x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom)
            visit(int(x), int(y), index + i);
    }
    index += n;
}

// Visits the outline through pts: each segment without its end point, closed figures with
// the segment back to the start. A closed figure whose points all coincide is one pixel.
template <class Visit>
void TracePoints(std::vector<QPoint> pts, bool closed, const TRect& clip, Visit&& visit)
{
    pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
    if (closed && pts.size() > 1 && pts.front() == pts.back())
        pts.pop_back();
    if (pts.empty())
        return;
    long long index = 0;
    if (pts.size() == 1) {
        if (closed && PtInRect(clip, TPoint(pts[0].x(), pts[0].y())))
            visit(pts[0].x(), pts[0].y(), 0LL);
        return;
    }
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        TraceLine(pts[i].x(), pts[i].y(), pts[i + 1].x(), pts[i + 1].y(), clip, index, visit);
    if (closed)
        TraceLine(pts.back().x(), pts.back().y(), pts.front().x(), pts.front().y(), clip, index, visit);
}

std::vector<QPoint> RoundPolygon(const QPolygonF& poly)
{
    std::vector<QPoint> pts;
    pts.reserve(poly.size());
    for (const QPointF& p : poly)
        pts.emplace_back(int(std::floor(p.x() + 0.5)), int(std::floor(p.y() + 0.5)));
    return pts;
}

// The pixels (x, y) of an area whose point (x, y) lies inside a path (pixel coordinates
// are the integer points, so a path through pixel indices covers its boundary pixels as the
// painter's fill rule decides), computed over the part of the path inside `limit`.
class Mask {
public:
    Mask() = default;
    Mask(const QPainterPath& path, const TRect& limit)
    {
        if (path.isEmpty())
            return;
        const QRectF b = path.boundingRect();
        const auto clampInt = [](double v) {
            return int(std::clamp(v, double(std::numeric_limits<int>::min() / 2),
                                  double(std::numeric_limits<int>::max() / 2)));
        };
        TRect r(clampInt(std::floor(b.left()) - 1), clampInt(std::floor(b.top()) - 1),
                clampInt(std::ceil(b.right()) + 2), clampInt(std::ceil(b.bottom()) + 2));
        if (!IntersectRect(m_area, r, limit))
            return;
        m_image = QImage(m_area.Width(), m_area.Height(), QImage::Format_Grayscale8);
        if (m_image.isNull()) {
            m_area = TRect();
            return;
        }
        m_image.fill(0);
        QPainter p(&m_image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(0.5 - m_area.Left, 0.5 - m_area.Top);
        p.fillPath(path, Qt::white);
    }

    // Visits the runs (y, x0, x1 exclusive) of unmarked area pixels inside clip.
    template <class Visit>
    void ForEachRun(const TRect& clip, Visit&& visit) const
    {
        TRect r;
        if (!IntersectRect(r, m_area, clip))
            return;
        for (int y = r.Top; y < r.Bottom; ++y) {
            const uchar* row = m_image.constScanLine(y - m_area.Top);
            const int end = r.Right - m_area.Left;
            for (int i = r.Left - m_area.Left; i < end;) {
                if (row[i] != kInside) {
                    ++i;
                    continue;
                }
                const int start = i;
                while (i < end && row[i] == kInside)
                    ++i;
                visit(y, start + m_area.Left, i + m_area.Left);
            }
        }
    }

    // Visits the unmarked area pixels inside clip.
    template <class Visit>
    void ForEach(const TRect& clip, Visit&& visit) const
    {
        ForEachRun(clip, [&](int y, int x0, int x1) {
            for (int x = x0; x < x1; ++x)
                visit(x, y);
        });
    }

    // Visits the area pixels inside clip with one of their four neighbours outside the area.
    template <class Visit>
    void ForEachBoundary(const TRect& clip, Visit&& visit) const
    {
        const int w = m_area.Width();
        const auto rowAt = [&](int y) -> const uchar* {
            return y >= m_area.Top && y < m_area.Bottom ? m_image.constScanLine(y - m_area.Top) : nullptr;
        };
        ForEachRun(clip, [&](int y, int x0, int x1) {
            const uchar* up = rowAt(y - 1);
            const uchar* down = rowAt(y + 1);
            const uchar* row = rowAt(y);
            for (int x = x0; x < x1; ++x) {
                const int i = x - m_area.Left;
                const bool edge = i == 0 || i == w - 1 || !row[i - 1] || !row[i + 1] || !up || !up[i] || !down || !down[i];
                if (edge)
                    visit(x, y);
            }
        });
    }

    // Takes the pixel out of the area's inside (it belongs to the outline).
    void Mark(int x, int y)
    {
        if (PtInRect(m_area, TPoint(x, y)) && Byte(x, y) == kInside)
            m_image.scanLine(y - m_area.Top)[x - m_area.Left] = kMarked;
    }

private:
    static constexpr uchar kInside = 255, kMarked = 1;
    uchar Byte(int x, int y) const { return m_image.constScanLine(y - m_area.Top)[x - m_area.Left]; }

    TRect m_area;
    QImage m_image;
};

TRect Grown(TRect r)
{
    InflateRect(r, 1, 1);
    return r;
}

} // namespace

// A figure to draw. `line` is its centre line through pixel indices: traced one pixel at a
// time for thin pens, stroked for wide ones. `region`, given for the curved figures, is the
// area they cover: its inner boundary is their thin outline and its inside their filling;
// `keep` then picks the boundary pixels that belong to an open arc. `centre` orders the
// boundary pixels for dash patterns.
struct FigureSpec {
    QPainterPath line;
    bool closed = false;
    bool filled = false;
    std::optional<QPainterPath> region;
    std::function<bool(int, int)> keep;
    QPointF centre;
};

// The drawing work of TCanvas; a friend, so it reads the target and clip directly.
class CanvasRaster {
public:
    explicit CanvasRaster(TCanvas& c) : m_c(c) {}

    bool CanDraw() const { return (m_c.m_image && !m_c.m_image->isNull()) || m_c.m_painter; }
    Sink MakeSink() const { return Sink(ImageTarget(), m_c.m_painter, m_c.ClipRect()); }
    QImage* ImageTarget() const { return m_c.m_image && !m_c.m_image->isNull() ? m_c.m_image : nullptr; }

    // Outlines the figure with the pen and fills it with the brush; each pixel is drawn once.
    void Figure(const FigureSpec& f)
    {
        if (!CanDraw())
            return;
        const TPen& pen = m_c.Pen;
        const BrushSampler brush(m_c.Brush);
        const TColor penColor = Resolve(pen.Color);
        const int width = std::max(1, pen.Width);
        Sink sink = MakeSink();
        const TRect clip = sink.Clip();
        const bool noPen = pen.Style == psClear;
        if (noPen && (!f.filled || brush.Empty()))
            return;
        const auto putBrush = [&](int x, int y) {
            TColor c;
            if (brush.At(x, y, c))
                sink.Put(x, y, c, pen.Mode);
        };
        // The inside: the region (curved figures) or the area of the closed line.
        const bool fill = f.filled && !brush.Empty();
        Mask inside;
        if (f.region && (fill || (!noPen && width == 1)))
            inside = Mask(*f.region, Grown(clip));
        else if (fill)
            inside = Mask(f.line, clip);
        const auto fillInside = [&] {
            if (brush.Solid())
                inside.ForEachRun(clip, [&](int y, int x0, int x1) { sink.PutRun(y, x0, x1, brush.Color(), pen.Mode); });
            else
                inside.ForEach(clip, putBrush);
        };
        std::unordered_set<std::uint64_t> outline;

        if (noPen) {
            // The whole figure takes the brush, its traced boundary included.
            if (!f.region)
                TraceOutline(f.line, f.closed, clip, [&](int x, int y, long long) {
                    if (outline.insert(Key(x, y)).second) {
                        inside.Mark(x, y);
                        putBrush(x, y);
                    }
                });
            fillInside();
            return;
        }

        std::vector<std::pair<QPoint, bool>> penPixels;  // pixel, drawn in the pen colour
        const TPenStyle style = pen.Style == psInsideFrame || width > 1 ? psSolid : pen.Style;
        const auto add = [&](int x, int y, long long index) {
            if (outline.insert(Key(x, y)).second)
                penPixels.push_back({QPoint(x, y), DashOn(style, index)});
        };
        if (width == 1) {
            if (f.region) {
                std::vector<QPoint> boundary;
                inside.ForEachBoundary(clip, [&](int x, int y) {
                    if (!f.keep || f.keep(x, y))
                        boundary.emplace_back(x, y);
                });
                if (style != psSolid) {  // dashes run round the figure
                    const auto angle = [&](const QPoint& p) {
                        return std::atan2(f.centre.y() - p.y(), p.x() - f.centre.x());
                    };
                    std::stable_sort(boundary.begin(), boundary.end(),
                                     [&](const QPoint& a, const QPoint& b) { return angle(a) < angle(b); });
                }
                for (size_t i = 0; i < boundary.size(); ++i)
                    add(boundary[i].x(), boundary[i].y(), (long long)i);
            } else {
                TraceOutline(f.line, f.closed, clip, add);
            }
        } else {
            QPainterPathStroker stroker;
            stroker.setWidth(width);
            stroker.setCapStyle(Qt::RoundCap);
            stroker.setJoinStyle(Qt::RoundJoin);
            QPainterPath stroke = stroker.createStroke(f.line);
            stroke.setFillRule(Qt::WindingFill);
            Mask(stroke, clip).ForEach(clip, [&](int x, int y) { add(x, y, 0); });
        }
        if (fill) {
            for (const auto& pixel : penPixels)
                inside.Mark(pixel.first.x(), pixel.first.y());
            fillInside();
        }
        for (const auto& [p, on] : penPixels) {
            if (on)
                sink.Put(p.x(), p.y(), penColor, pen.Mode);
            else if (brush.Solid())
                sink.Put(p.x(), p.y(), brush.Color(), pen.Mode);
        }
    }

    void Line(const QPainterPath& path, bool closed, bool filled)
    {
        FigureSpec f;
        f.line = path;
        f.closed = closed;
        f.filled = filled;
        Figure(f);
    }

    template <class Visit>
    static void TraceOutline(const QPainterPath& path, bool closed, const TRect& clip, Visit&& visit)
    {
        for (const QPolygonF& poly : path.toSubpathPolygons())
            TracePoints(RoundPolygon(poly), closed, clip, visit);
    }

    // Brush pixels over r (pen mode not applied), for FillRect.
    void BrushRect(const TRect& r)
    {
        if (!CanDraw())
            return;
        const BrushSampler brush(m_c.Brush);
        if (brush.Empty())
            return;
        Sink sink = MakeSink();
        TRect area;
        if (!IntersectRect(area, r.Normalized(), sink.Clip()))
            return;
        QImage* image = ImageTarget();
        if (brush.Solid() && image && image->format() == QImage::Format_BGR888) {
            const TColor c = brush.Color();
            const uchar px[3] = {uchar(GetBValue(c)), uchar(GetGValue(c)), uchar(GetRValue(c))};
            for (int y = area.Top; y < area.Bottom; ++y) {
                uchar* p = image->scanLine(y) + 3 * area.Left;
                for (int x = area.Left; x < area.Right; ++x, p += 3) {
                    p[0] = px[0];
                    p[1] = px[1];
                    p[2] = px[2];
                }
            }
            return;
        }
        for (int y = area.Top; y < area.Bottom; ++y) {
            for (int x = area.Left; x < area.Right; ++x) {
                TColor c;
                if (brush.At(x, y, c))
                    sink.Put(x, y, c, pmCopy);
            }
        }
    }

    // Stretches source of src into dest by rop; mirrored rectangles mirror.
    void Blit(const TRect& dest, const QImage& src, const TRect& source, TCopyMode rop,
              bool transparent, TColor transparentColor)
    {
        if (!CanDraw() || src.isNull())
            return;
        const TRect d = dest.Normalized(), s = source.Normalized();
        if (d.IsEmpty() || s.IsEmpty())
            return;
        const bool mirrorX = (dest.Right < dest.Left) != (source.Right < source.Left);
        const bool mirrorY = (dest.Bottom < dest.Top) != (source.Bottom < source.Top);
        const QImage srcImage = src;  // shared: a copy onto its own picture reads the old pixels
        PixelAccess in(const_cast<QImage&>(srcImage));
        Sink sink = MakeSink();
        TRect area;
        if (!IntersectRect(area, d, sink.Clip()))
            return;
        const auto map = [](int k, int dLen, int sStart, int sLen, bool mirror) {
            if (mirror)
                k = dLen - 1 - k;
            return sStart + int(((2LL * k + 1) * sLen) / (2LL * dLen));
        };
        std::vector<int> xs(area.Width());
        for (int x = area.Left; x < area.Right; ++x)
            xs[x - area.Left] = map(x - d.Left, d.Width(), s.Left, s.Width(), mirrorX);
        QImage* image = ImageTarget();
        if (image && rop == cmSrcCopy && !transparent && !mirrorX && !mirrorY && d.Width() == s.Width() &&
            d.Height() == s.Height() && image->format() == srcImage.format() && image->depth() % 8 == 0) {
            // An unscaled copy between pictures of one format: whole rows at a time.
            const int bpp = image->depth() / 8;
            for (int y = area.Top; y < area.Bottom; ++y) {
                const int sy = s.Top + (y - d.Top);
                const int sx0 = std::max(s.Left + (area.Left - d.Left), 0);
                const int sx1 = std::min(s.Left + (area.Right - d.Left), srcImage.width());
                if (sy < 0 || sy >= srcImage.height() || sx1 <= sx0)
                    continue;
                const int x0 = d.Left + (sx0 - s.Left);
                std::memmove(image->scanLine(y) + size_t(x0) * bpp, srcImage.constScanLine(sy) + size_t(sx0) * bpp,
                             size_t(sx1 - sx0) * bpp);
            }
            return;
        }
        const TColor pattern = Resolve(m_c.Brush.Color);
        const TColor key = Resolve(transparentColor);
        for (int y = area.Top; y < area.Bottom; ++y) {
            const int sy = map(y - d.Top, d.Height(), s.Top, s.Height(), mirrorY);
            if (sy < 0 || sy >= in.Height())
                continue;
            for (int x = area.Left; x < area.Right; ++x) {
                const int sx = xs[x - area.Left];
                if (sx < 0 || sx >= in.Width())
                    continue;
                const TColor c = in.Get(sx, sy);
                if (transparent && c == key)
                    continue;
                sink.PutRop3(x, y, c, transparent ? cmSrcCopy : rop, pattern);
            }
        }
    }

    void FloodFill(int x, int y, TColor color, TFillStyle style)
    {
        QImage* image = ImageTarget();
        if (!image)
            return;
        const TRect clip = m_c.ClipRect();
        if (!PtInRect(clip, TPoint(x, y)))
            return;
        PixelAccess px(*image);
        const TColor target = Resolve(color);
        const auto matches = [&](int cx, int cy) {
            const bool same = px.Get(cx, cy) == target;
            return style == fsSurface ? same : !same;
        };
        if (!matches(x, y))
            return;
        const int w = clip.Width();
        std::vector<std::uint8_t> seen(size_t(w) * size_t(clip.Height()), 0);
        const auto mark = [&](int cx, int cy) -> std::uint8_t& {
            return seen[size_t(cy - clip.Top) * size_t(w) + size_t(cx - clip.Left)];
        };
        struct Span {
            int y, x0, x1;  // x1 exclusive
        };
        std::vector<Span> spans;
        std::vector<TPoint> stack{TPoint(x, y)};
        while (!stack.empty()) {
            const TPoint p = stack.back();
            stack.pop_back();
            if (mark(p.X, p.Y) || !matches(p.X, p.Y))
                continue;
            int l = p.X, r = p.X + 1;
            while (l > clip.Left && !mark(l - 1, p.Y) && matches(l - 1, p.Y))
                --l;
            while (r < clip.Right && !mark(r, p.Y) && matches(r, p.Y))
                ++r;
            for (int i = l; i < r; ++i)
                mark(i, p.Y) = 1;
            spans.push_back({p.Y, l, r});
            for (int ny : {p.Y - 1, p.Y + 1}) {
                if (ny < clip.Top || ny >= clip.Bottom)
                    continue;
                bool inRun = false;
                for (int i = l; i < r; ++i) {
                    const bool open = !mark(i, ny) && matches(i, ny);
                    if (open && !inRun)
                        stack.push_back(TPoint(i, ny));
                    inRun = open;
                }
            }
        }
        const BrushSampler brush(m_c.Brush);
        if (brush.Empty())
            return;
        Sink sink = MakeSink();
        for (const Span& s : spans)
            for (int i = s.x0; i < s.x1; ++i) {
                TColor c;
                if (brush.At(i, s.y, c))
                    sink.Put(i, s.y, c, pmCopy);
            }
    }

private:
    TCanvas& m_c;
};

namespace {

// The pixel box of a figure given by exclusive bounds: its corners as pixel indices. Without
// a pen the framework's figures lose their last column and row.
QRectF FigureBox(int left, int top, int right, int bottom, bool noPen)
{
    const TRect r = TRect(left, top, right, bottom).Normalized();
    const int shrink = noPen ? 2 : 1;
    return QRectF(r.Left, r.Top, r.Width() - shrink, r.Height() - shrink);
}

bool BoxDrawable(const QRectF& box) { return box.width() >= 0 && box.height() >= 0; }

// The box shrunk so that a wide psInsideFrame pen stays inside the figure's bounds.
QRectF InsideFrame(const QRectF& box, const TPen& pen)
{
    if (pen.Style != psInsideFrame || pen.Width <= 1)
        return box;
    const double inset = (pen.Width - 1) / 2.0;
    QRectF r = box.adjusted(inset, inset, -inset, -inset);
    if (r.width() < 0 || r.height() < 0)
        r = QRectF(box.center(), box.center());
    return r;
}

// The area of a curved figure in a pixel box: the pixels from its first to its last index.
QRectF AreaBox(const QRectF& box) { return box.adjusted(-0.5, -0.5, 0.5, 0.5); }

// The parametric angle (degrees, counter-clockwise) of the point (x, y) seen from the box's
// centre, as QPainterPath's arc functions take it.
double AngleIn(const QRectF& box, double x, double y)
{
    const double rx = std::max(box.width() / 2, 1e-9), ry = std::max(box.height() / 2, 1e-9);
    const QPointF c = box.center();
    return std::atan2(-(y - c.y()) / ry, (x - c.x()) / rx) * 180.0 / std::numbers::pi;
}

double Sweep(double start, double end)
{
    double sweep = std::fmod(end - start, 360.0);
    if (sweep <= 0)
        sweep += 360;
    return sweep;
}

enum class ArcKind { Open, Chord, Pie };

QPainterPath ArcPath(const QRectF& box, double start, double sweep, ArcKind kind)
{
    QPainterPath path;
    if (kind == ArcKind::Pie) {
        path.moveTo(box.center());
        path.arcTo(box, start, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(box, start);
        path.arcTo(box, start, sweep);
        if (kind == ArcKind::Chord)
            path.closeSubpath();
    }
    return path;
}

// A closed curved figure in the bounds, its outline made by shape(box).
void CurvedFigure(TCanvas& canvas, int left, int top, int right, int bottom,
                  const std::function<QPainterPath(const QRectF&)>& shape)
{
    const QRectF box = InsideFrame(FigureBox(left, top, right, bottom, canvas.Pen.Style == psClear), canvas.Pen);
    if (!BoxDrawable(box))
        return;
    FigureSpec f;
    f.line = shape(box);
    f.region = shape(AreaBox(box));
    f.closed = f.filled = true;
    f.centre = box.center();
    CanvasRaster(canvas).Figure(f);
}

void ArcFigure(TCanvas& canvas, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, ArcKind kind)
{
    const bool filled = kind != ArcKind::Open;
    const QRectF box = FigureBox(x1, y1, x2, y2, filled && canvas.Pen.Style == psClear);
    if (!BoxDrawable(box))
        return;
    const double start = AngleIn(box, x3, y3);
    const double sweep = Sweep(start, AngleIn(box, x4, y4));
    FigureSpec f;
    f.line = ArcPath(box, start, sweep, kind);
    f.closed = f.filled = filled;
    f.centre = box.center();
    if (filled) {
        f.region = ArcPath(AreaBox(box), start, sweep, kind);
    } else {
        QPainterPath ellipse;
        ellipse.addEllipse(AreaBox(box));
        f.region = ellipse;
        f.keep = [box, start, sweep](int x, int y) {
            const double d = std::fmod(AngleIn(box, x, y) - start + 720.0, 360.0);
            return d <= sweep + 1e-9;
        };
    }
    CanvasRaster(canvas).Figure(f);
}

QPainterPath PointsPath(std::span<const TPoint> points, bool close)
{
    QPainterPath path;
    if (points.empty())
        return path;
    path.moveTo(points[0].X, points[0].Y);
    for (size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i].X, points[i].Y);
    if (close)
        path.closeSubpath();
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

} // namespace

TCanvas::TCanvas() = default;
TCanvas::TCanvas(QImage* image) : m_image(image) {}
TCanvas::TCanvas(QPainter* painter) : m_painter(painter) {}
TCanvas::~TCanvas() = default;

void TCanvas::SetTarget(QImage* image)
{
    m_image = image;
    m_painter = nullptr;
}

void TCanvas::SetTarget(QPainter* painter)
{
    m_painter = painter;
    m_image = nullptr;
}

void TCanvas::MoveTo(int x, int y) { PenPos = TPoint(x, y); }

void TCanvas::LineTo(int x, int y)
{
    QPainterPath path;
    path.moveTo(PenPos.X, PenPos.Y);
    path.lineTo(x, y);
    PenPos = TPoint(x, y);
    CanvasRaster(*this).Line(path, false, false);
}

void TCanvas::FillRect(const TRect& r) { CanvasRaster(*this).BrushRect(r); }

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    const QRectF box = InsideFrame(FigureBox(left, top, right, bottom, Pen.Style == psClear), Pen);
    if (!BoxDrawable(box))
        return;
    QPainterPath path;
    path.moveTo(box.topLeft());
    path.lineTo(box.topRight());
    path.lineTo(box.bottomRight());
    path.lineTo(box.bottomLeft());
    path.closeSubpath();
    CanvasRaster(*this).Line(path, true, true);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    const double rx = std::abs(cornerWidth) / 2.0, ry = std::abs(cornerHeight) / 2.0;
    CurvedFigure(*this, left, top, right, bottom, [rx, ry](const QRectF& box) {
        QPainterPath path;
        path.addRoundedRect(box, rx, ry);
        return path;
    });
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    CurvedFigure(*this, left, top, right, bottom, [](const QRectF& box) {
        QPainterPath path;
        path.addEllipse(box);
        return path;
    });
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    ArcFigure(*this, x1, y1, x2, y2, x3, y3, x4, y4, ArcKind::Open);
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    ArcFigure(*this, x1, y1, x2, y2, x3, y3, x4, y4, ArcKind::Chord);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    ArcFigure(*this, x1, y1, x2, y2, x3, y3, x4, y4, ArcKind::Pie);
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    if (points.size() < 2)
        return;
    CanvasRaster(*this).Line(PointsPath(points, true), true, true);
}

void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (points.size() < 2)
        return;
    CanvasRaster(*this).Line(PointsPath(points, false), false, false);
}

void TCanvas::PolyBezier(std::span<const TPoint> points)
{
    if (points.size() < 4)
        return;
    QPainterPath path;
    path.moveTo(points[0].X, points[0].Y);
    for (size_t i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i].X, points[i].Y, points[i + 1].X, points[i + 1].Y, points[i + 2].X, points[i + 2].Y);
    CanvasRaster(*this).Line(path, false, false);
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    CanvasRaster(*this).FloodFill(x, y, color, style);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& src, const TRect& source)
{
    if (!src.m_image)
        return;
    CanvasRaster(*this).Blit(dest, *src.m_image, source, CopyMode, false, clNone);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    StretchDraw(Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap);
}

void TCanvas::StretchDraw(const TRect& r, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    CanvasRaster(*this).Blit(r, bitmap.Image(), Rect(0, 0, bitmap.Width(), bitmap.Height()), CopyMode,
                             bitmap.Transparent, bitmap.TransparentColor());
}

TColor TCanvas::Pixel(int x, int y) const
{
    if (!m_image || m_image->isNull() || !PtInRect(ClipRect(), TPoint(x, y)))
        return -1;
    return PixelAccess(*m_image).Get(x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    CanvasRaster raster(*this);
    if (!raster.CanDraw())
        return;
    raster.MakeSink().Put(x, y, Resolve(color), pmCopy);
}

TRect TCanvas::ClipRect() const
{
    TRect r;
    if (m_image && !m_image->isNull()) {
        r = Rect(0, 0, m_image->width(), m_image->height());
    } else if (m_painter && m_painter->isActive()) {
        if (m_painter->hasClipping())
            r = TRect::FromQRect(m_painter->clipBoundingRect().toAlignedRect());
        else if (m_painter->device())
            r = Rect(0, 0, m_painter->device()->width(), m_painter->device()->height());
    }
    if (m_hasClip)
        IntersectRect(r, r, m_clip);
    return r;
}

void TCanvas::SetClipRect(const TRect& r)
{
    m_clip = r.Normalized();
    m_hasClip = true;
}

void TCanvas::ResetClipRect() { m_hasClip = false; }

void TCanvas::WithPainter(const std::function<void(QPainter&)>& f)
{
    if (m_image && !m_image->isNull()) {
        QPainter p(m_image);
        if (m_hasClip)
            p.setClipRect(ClipRect().ToQRect());
        f(p);
    } else if (m_painter && m_painter->isActive()) {
        struct Restore {
            QPainter* p;
            ~Restore() { p->restore(); }
        } restore{m_painter};
        m_painter->save();
        if (m_hasClip)
            m_painter->setClipRect(m_clip.ToQRect(), Qt::IntersectClip);
        f(*m_painter);
    }
}

TFont* TCanvas::Font()
{
    if (!m_font && g_fontFactory)
        m_font = g_fontFactory();
    return m_font.get();
}

void TCanvas::SetFontFactory(FontFactory factory) { g_fontFactory = factory; }
