// TLEADImage: the region of the picture (shapes in client pixels, handles, bounds), the mouse
// tools that draw it (rectangle, rounded rectangle, ellipse, polygon, rubber band), and its
// outline on the window: a frame, a moving frame ("marching ants", one step a second) or a
// fill. The shapes being dragged and the outline are overlays of the paint event; the back
// buffer holds the picture only.
#include "imaging/LEADImage.h"

#include "platform/vcl/Guard.h"

#include <QPainter>

#include <algorithm>

namespace {

// A corner of the stored pixel grid (0 .. w, 0 .. h) as a corner of the grid as seen through
// view perspective vp.
QPointF StoredCornerToView(double x, double y, int vp, int w, int h)
{
    switch (vp) {
    case 2: return {w - x, y};
    case 3: return {w - x, h - y};
    case 4: return {h - y, x};
    case 5: return {y, x};
    case 6: return {x, h - y};
    case 7: return {y, w - x};
    case 8: return {h - y, w - x};
    default: return {x, y};
    }
}

TRect Normalised(TPoint a, TPoint b)
{
    return TRect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y));
}

// The corner ellipse of the rounded rectangle tool.
constexpr int kRoundCorner = 50;
// The polygon's array grows by this many points.
constexpr int kPolygonStep = 50;

} // namespace

// ---- shapes and handles ---------------------------------------------------------------------------

LRgnXForm TLEADImage::FromDisplay() const
{
    // From the display to the bitmap: client pixels (less the frame) scaled by Src over Dst,
    // less the destination's offset.
    LRgnXForm xf;
    if (m_geom.Dst.Width > 0 && m_geom.Dst.Height > 0 && m_geom.Src.Width > 0 && m_geom.Src.Height > 0) {
        xf.XNumerator = m_geom.Src.Width;
        xf.XDenominator = m_geom.Dst.Width;
        xf.YNumerator = m_geom.Src.Height;
        xf.YDenominator = m_geom.Dst.Height;
        xf.XOffset = -m_geom.Dst.Left;
        xf.YOffset = -m_geom.Dst.Top;
    }
    return xf;
}

int TLEADImage::SetRgnShape(const QString& operation, int Left, int Top, int Width, int Height, int CombineMode,
                            bool ellipse)
{
    CheckProcessingAllowed();
    if (!m_allocated)
        RaiseNotAllocated(operation);
    const LRgnXForm xf = FromDisplay();
    const LRect rect{Left, Top, Left + Width, Top + Height};
    const int code = ellipse ? L_SetBitmapRgnEllipse(&m_bitmap, &xf, &rect, std::uint32_t(CombineMode))
                             : L_SetBitmapRgnRect(&m_bitmap, &xf, &rect, std::uint32_t(CombineMode));
    if (code == LE_SUCCESS)
        RegionChanged();
    return ReportResult(operation, code);
}

int TLEADImage::SetRgnRect(int Left, int Top, int Width, int Height, int CombineMode)
{
    return SetRgnShape(QStringLiteral("SetRgnRect"), Left, Top, Width, Height, CombineMode, false);
}

int TLEADImage::SetRgnEllipse(int Left, int Top, int Width, int Height, int CombineMode)
{
    return SetRgnShape(QStringLiteral("SetRgnEllipse"), Left, Top, Width, Height, CombineMode, true);
}

void TLEADImage::RegionChanged()
{
    if (UpdateRgnBounds() == LE_SUCCESS && m_enableFloater)
        KeepFloaterBackground();
    StoreWorkingBitmap();
    if (m_paintRgnOnly || m_rgnFrameType != 0)
        Invalidate();
    if (OnRgnChange)
        OnRgnChange(this);
}

int TLEADImage::UpdateRgnBounds()
{
    if (!m_allocated)
        return 0;
    LRect bounds;
    const int code = L_GetBitmapRgnBounds(&m_bitmap, nullptr, &bounds);
    if (code == LE_SUCCESS && bounds.IsEmpty() && L_BitmapHasRgn(&m_bitmap)) {
        L_FreeBitmapRgn(&m_bitmap);
        if (m_enableFloater)
            FreeFloaterDisplay();
        StoreWorkingBitmap();
    }
    return code;
}

bool TLEADImage::HasRgn()
{
    SetLastError(1);
    return m_allocated && L_BitmapHasRgn(&m_bitmap);
}

int TLEADImage::FreeRgn()
{
    CheckProcessingAllowed();
    if (!m_allocated)
        RaiseNotAllocated(QStringLiteral("FreeRgn"));
    const int code = L_FreeBitmapRgn(&m_bitmap);
    if (m_enableFloater)
        FreeFloaterDisplay();
    StoreWorkingBitmap();
    Invalidate();
    return ReportResult(QStringLiteral("FreeRgn"), code);
}

TLEADImage::TRgnHandle TLEADImage::GetRgnHandle()
{
    if (!m_allocated)
        RaiseNotAllocated(QStringLiteral("GetRgnHandle"));
    TRgnHandle handle;
    ReportResult(QStringLiteral("GetRgnHandle"), L_GetBitmapRgnHandle(&m_bitmap, &handle));
    return handle;
}

int TLEADImage::SetRgnHandle(const TRgnHandle& hRgn, int XOffset, int YOffset, int CombineMode)
{
    CheckProcessingAllowed();
    if (!m_allocated)
        RaiseNotAllocated(QStringLiteral("SetRgnHandle"));
    LRgnXForm xf;
    xf.XOffset = XOffset;
    xf.YOffset = YOffset;
    const int code = L_SetBitmapRgnHandle(&m_bitmap, &xf, &hRgn, std::uint32_t(CombineMode));
    if (code == LE_SUCCESS)
        RegionChanged();
    return ReportResult(QStringLiteral("SetRgnHandle"), code);
}

bool TLEADImage::DeleteRgnHandle(TRgnHandle& hRgn)
{
    hRgn = TRgnHandle();
    SetLastError(1);
    return true;
}

namespace {
LRect RegionBounds(const LBitmap& b, bool allocated)
{
    LRect r;
    if (allocated)
        L_GetBitmapRgnBounds(&b, nullptr, &r);
    return r;
}
} // namespace

int TLEADImage::RgnLeft() const { return RegionBounds(m_bitmap, m_allocated).Left; }
int TLEADImage::RgnTop() const { return RegionBounds(m_bitmap, m_allocated).Top; }
int TLEADImage::RgnWidth() const { return RegionBounds(m_bitmap, m_allocated).Width(); }
int TLEADImage::RgnHeight() const { return RegionBounds(m_bitmap, m_allocated).Height(); }

// ---- the polygon's points ---------------------------------------------------------------------------

TPoint TLEADImage::PolygonPoint(int Index)
{
    if (Index < 0 || Index >= PolygonCapacity()) {
        SetLastError(0);
        RaiseText(QStringLiteral("PolygonPoint[]: Index out of range."), 0);
    }
    SetLastError(1);
    return m_polygon[std::size_t(Index)];
}

void TLEADImage::setPolygonPoint(int Index, const TPoint& Point)
{
    if (Index < 0 || Index >= PolygonCapacity()) {
        SetLastError(0);
        RaiseText(QStringLiteral("PolygonPoint[]: Index out of range."), 0);
    }
    m_polygon[std::size_t(Index)] = Point;
    SetLastError(1);
}

void TLEADImage::SetPolygonCapacity(int Count)
{
    m_polygon.resize(std::size_t(std::max(0, Count)));
    m_polygonCount = std::min(m_polygonCount, PolygonCapacity());
    SetLastError(1);
}

// ---- the outline ------------------------------------------------------------------------------------

void TLEADImage::SetRgnFrameType(int Type)
{
    if (Type == 0) {
        m_outlineTimer.stop();
        Invalidate();
    } else if (!m_outlineTimer.isActive()) {
        m_outlineTimer.start(1000, this);
    }
    m_rgnFrameType = Type;
    viewport()->update();
    SetLastError(1);
}

void TLEADImage::StepRegionOutline()
{
    if (m_rgnFrameType != 1 && m_rgnFrameType != 2) {
        m_outlineTimer.stop();
        return;
    }
    if (m_rgnFrameType == 2)
        m_rgnFramePhase = (m_rgnFramePhase + 1) % 8;
    if (m_allocated && L_BitmapHasRgn(&m_bitmap))
        viewport()->update();  // an overlay: the back buffer stays
}

QTransform TLEADImage::StoredToClient() const
{
    // Stored grid -> grid as seen -> client pixels (the to-display transform).
    const int vp = m_bitmap.ViewPerspective;
    const int w = m_bitmap.Width, h = m_bitmap.Height;
    const QPointF o = StoredCornerToView(0, 0, vp, w, h);
    const QPointF ex = StoredCornerToView(1, 0, vp, w, h) - o;
    const QPointF ey = StoredCornerToView(0, 1, vp, w, h) - o;
    const QTransform toView(ex.x(), ex.y(), ey.x(), ey.y(), o.x(), o.y());
    const TLeadGeometry& g = m_geom;
    const double sx = g.Src.Width > 0 ? double(g.Dst.Width) / g.Src.Width : 1.0;
    const double sy = g.Src.Height > 0 ? double(g.Dst.Height) / g.Src.Height : 1.0;
    const int f = FrameWidth();
    QTransform toClient;
    toClient.translate(g.Dst.Left + f, g.Dst.Top + f);
    toClient.scale(sx, sy);
    toClient.translate(-g.Src.Left, -g.Src.Top);
    return toView * toClient;
}

const TLEADImage::RegionShapes& TLEADImage::CurrentRegionShapes()
{
    const LRegion* r = m_allocated ? m_bitmap.Region() : nullptr;
    if (m_regionShapes.Made && (r ? m_regionShapes.Bounds == r->Bounds && m_regionShapes.Mask == r->Mask
                                  : m_regionShapes.Mask.empty()))
        return m_regionShapes;
    m_regionShapes = RegionShapes();
    m_regionShapes.Made = true;
    if (!r)
        return m_regionShapes;
    m_regionShapes.Bounds = r->Bounds;
    m_regionShapes.Mask = r->Mask;
    const LRect& b = r->Bounds;
    const int w = b.Width(), h = b.Height();
    const auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && r->Mask[std::size_t(y) * w + x]; };
    // The area: one rectangle per run of a row (rows are the bands of the region).
    std::vector<QRect> runs;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w;) {
            if (!in(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < w && in(x, y))
                ++x;
            runs.emplace_back(b.Left + start, b.Top + y, x - start, 1);
        }
    m_regionShapes.Area.setRects(runs.data(), int(runs.size()));
    // The outline: the pixel edges between inside and outside, joined along rows and columns.
    QPainterPath& path = m_regionShapes.Outline;
    for (int y = 0; y <= h; ++y)
        for (int x = 0; x < w;) {
            if (in(x, y) == in(x, y - 1)) {
                ++x;
                continue;
            }
            const int start = x;
            const bool below = in(x, y);
            while (x < w && in(x, y) != in(x, y - 1) && in(x, y) == below)
                ++x;
            path.moveTo(b.Left + start, b.Top + y);
            path.lineTo(b.Left + x, b.Top + y);
        }
    for (int x = 0; x <= w; ++x)
        for (int y = 0; y < h;) {
            if (in(x, y) == in(x - 1, y)) {
                ++y;
                continue;
            }
            const int start = y;
            const bool right = in(x, y);
            while (y < h && in(x, y) != in(x - 1, y) && in(x, y) == right)
                ++y;
            path.moveTo(b.Left + x, b.Top + start);
            path.lineTo(b.Left + x, b.Top + y);
        }
    return m_regionShapes;
}

void TLEADImage::PaintRegionOverlays(QPainter& painter)
{
    const int f = FrameWidth();
    if (m_rgnFrameType != 0 && m_allocated && L_BitmapHasRgn(&m_bitmap)) {
        const RegionShapes& shapes = CurrentRegionShapes();
        const QTransform t = StoredToClient();
        const QRect clip = m_geom.DstClip.ToRect().ToQRect().translated(f, f) & ClientRect().ToQRect();
        painter.save();
        painter.setClipRect(clip);
        if (m_rgnFrameType == 3) {
            painter.setClipRegion(t.map(shapes.Area), Qt::IntersectClip);
            painter.fillRect(clip, ToQColor(ColorToRGB(RgnColor)));
        } else {
            // Black dashes over white; the dashes move with the phase.
            const QPainterPath outline = t.map(shapes.Outline);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::white, 1));
            painter.drawPath(outline);
            QPen dashes(Qt::black, 1, Qt::CustomDashLine);
            dashes.setDashPattern({4, 4});
            dashes.setDashOffset(8 - m_rgnFramePhase);
            painter.setPen(dashes);
            painter.drawPath(outline);
        }
        painter.restore();
    }
    if (m_toolActive) {
        // The shape being dragged, inverting what lies under it.
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, 1, RegionTool == 0 ? Qt::DotLine : Qt::SolidLine));
        const TRect r = Normalised(m_toolStart, m_toolCurrent);
        const QRect q(r.Left, r.Top, r.Width(), r.Height());
        switch (RegionTool) {
        case 2: painter.drawRoundedRect(q, kRoundCorner / 2.0, kRoundCorner / 2.0); break;
        case 3: painter.drawEllipse(q); break;
        case 4: {
            QPolygon line;
            for (int i = 0; i < m_polygonCount; ++i)
                line << QPoint(m_polygon[std::size_t(i)].X, m_polygon[std::size_t(i)].Y);
            painter.drawPolyline(line);
            break;
        }
        default: painter.drawRect(q); break;
        }
        painter.restore();
    }
}

void TLEADImage::DrawPictureInRegion(const QRect& dstRect, const QRect& clip)
{
    if (!m_allocated || !L_BitmapHasRgn(&m_bitmap)) {
        DrawPicture(dstRect, clip);
        return;
    }
    const QImage before = m_surface.copy();
    DrawPicture(dstRect, clip);
    // Outside the region the buffer stays as it was.
    const QRegion inside = StoredToClient().map(CurrentRegionShapes().Area);
    QPainter p(&m_surface);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setClipRegion(QRegion(m_surface.rect()).subtracted(inside));
    p.drawImage(0, 0, before);
}

// ---- the mouse tools ----------------------------------------------------------------------------------

QRect TLEADImage::ToolArea() const
{
    const TRect inner = InnerClientRect();
    return inner.ToQRect() & m_geom.DstRect.ToQRect();
}

void TLEADImage::ToolMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // The tools answer the left button only: a right press (a context menu) keeps the region.
    if (button != mbLeft || (shift & ssDouble) || PointInFloater(x, y) || IsProcessingLocked() ||
        m_animationPlaying || m_magGlassActive)
        return;
    const QRect area = ToolArea();
    m_toolActive = false;
    setFocus(Qt::MouseFocusReason);
    if (!area.contains(x, y) || !m_allocated)
        return;
    if (m_enableFloater && L_BitmapHasRgn(&m_bitmap) &&
        L_IsPtInBitmapRgn(&m_bitmap, ClientToBitmapY(x, y), ClientToBitmapX(x, y))) {
        LiftFloater(x, y);
        return;
    }
    if (RegionTool != 0) {
        if (m_autoFloater)
            FreeFloaterDisplay();
        if (L_BitmapHasRgn(&m_bitmap))
            FreeRgn();  // a new shape replaces the old region
    }
    if (RegionTool == 0 && !EnableRubberBand)
        return;
    m_toolActive = true;
    RgnCombineMode = LRGN_SET;
    if (RegionTool == 4) {
        m_polygon.assign(kPolygonStep, TPoint());
        m_polygon[0] = TPoint(x, y);
        m_polygonCount = 1;
    }
    if (EnableRubberBand)
        m_rubberBand = TRect();
    m_toolStart = m_toolCurrent = TPoint(x, y);
    viewport()->update();
}

void TLEADImage::ToolMouseMove(TShiftState, int& x, int& y)
{
    if (IsProcessingLocked() || m_animationPlaying || m_magGlassActive)
        return;
    if (m_floaterDragging) {
        MoveFloaterTo(x, y);
        return;
    }
    if (!m_toolActive)
        return;
    const QRect area = ToolArea();
    if (area.isEmpty())
        return;
    // A shape's right and bottom edges are exclusive: the drag may reach one past the last
    // column and row, so that a shape dragged past the picture takes its edge pixels too.
    x = std::clamp(x, area.left(), area.left() + area.width());
    y = std::clamp(y, area.top(), area.top() + area.height());
    m_toolCurrent = TPoint(x, y);
    if (RegionTool == 4) {
        // The tool may have been switched to the polygon during the drag, or the array
        // shrunk by SetPolygonCapacity: the point goes into an array with room for it.
        if (m_polygonCount >= PolygonCapacity())
            m_polygon.resize(std::size_t(m_polygonCount) + kPolygonStep);
        if (m_polygonCount == 0)
            m_polygon[std::size_t(m_polygonCount++)] = m_toolStart;
        m_polygon[std::size_t(m_polygonCount)] = m_toolCurrent;
        ++m_polygonCount;
        if (m_polygonCount >= PolygonCapacity())
            m_polygon.resize(m_polygon.size() + kPolygonStep);
    } else if (RegionTool == 0 && EnableRubberBand) {
        m_rubberBand = TRect(m_toolStart.X, m_toolStart.Y, x, y);
    }
    viewport()->update();
}

void TLEADImage::ToolMouseUp(TMouseButton button, TShiftState shift, int&, int&)
{
    if ((shift & ssDouble) || IsProcessingLocked() || m_animationPlaying)
        return;
    if (m_floaterDragging && button == mbLeft) {
        DropFloater();
        return;
    }
    if (!m_toolActive || button != mbLeft)
        return;
    m_toolActive = false;
    viewport()->update();
    if (RegionTool == 0) {
        if (EnableRubberBand) {
            m_rubberBand = Normalised(m_toolStart, m_toolCurrent);
            if (OnRubberBand)
                OnRubberBand(this);
        }
        return;
    }
    const int f = FrameWidth();
    TRect r = Normalised(m_toolStart, m_toolCurrent);
    OffsetRect(r, -f, -f);
    const LRgnXForm xf = FromDisplay();
    const LRect rect{r.Left, r.Top, r.Right, r.Bottom};
    int code = LE_SUCCESS;
    switch (RegionTool) {
    case 1: code = L_SetBitmapRgnRect(&m_bitmap, &xf, &rect, RgnCombineMode); break;
    case 2: code = L_SetBitmapRgnRoundRect(&m_bitmap, &xf, &rect, kRoundCorner, kRoundCorner, RgnCombineMode); break;
    case 3: code = L_SetBitmapRgnEllipse(&m_bitmap, &xf, &rect, RgnCombineMode); break;
    case 4: {
        // The polygon in the same coordinates as the rectangle (the frame taken off).
        std::vector<LPoint> points(static_cast<std::size_t>(m_polygonCount));
        for (int i = 0; i < m_polygonCount; ++i)
            points[std::size_t(i)] = LPoint{m_polygon[std::size_t(i)].X - f, m_polygon[std::size_t(i)].Y - f};
        code = L_SetBitmapRgnPolygon(&m_bitmap, &xf, points.data(), std::uint32_t(points.size()), LPOLY_ALTERNATE,
                                     RgnCombineMode);
        m_polygon.clear();
        m_polygonCount = 0;
        break;
    }
    default: return;
    }
    SetLastError(code);
    if (code == LE_SUCCESS)
        RegionChanged();
}
