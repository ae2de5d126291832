// TLEADImage: the floater, a piece of the picture cut out along the region. With EnableFloater
// a press inside the region lifts it; it follows the mouse and is dropped (copied over the
// picture through its region) on release. The windows may also give the control a floater of
// their own (Floater write, AutoFloater off) and place it with FloaterDstRect. The piece is
// drawn by the paint event over the back buffer (PaintFloater), so nothing on the screen has to
// be saved and put back while it moves.
#include "imaging/LEADImage.h"

#include "imaging/LEADScale.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// dst := the rectangle of src (cut to it), with src's region inside it moved to dst's origin.
// *copied (when given) is the rectangle taken, after the cut; empty when nothing was taken.
int CopyRectWithRegion(LBitmap& dst, const LBitmap& src, LRect r, LRect* copied = nullptr)
{
    r.Left = std::max(0, r.Left);
    r.Top = std::max(0, r.Top);
    r.Right = std::min(src.Width, r.Right);
    r.Bottom = std::min(src.Height, r.Bottom);
    L_FreeBitmap(&dst);
    if (copied)
        *copied = LRect{};
    if (r.IsEmpty())
        return LE_INVALID_PARAMETER;
    int code = L_CreateBitmap(&dst, r.Width(), r.Height(), src.BitsPerPixel, src.Palette(), src.PaletteSize());
    if (code == LE_SUCCESS)
        code = L_CombineBitmap(&dst, 0, 0, r.Width(), r.Height(), &src, r.Left, r.Top, LCB_COPY);
    if (code == LE_SUCCESS && L_BitmapHasRgn(&src)) {
        LRgnHandle region;
        L_GetBitmapRgnHandle(&src, &region);
        LRgnXForm xf;
        xf.XOffset = -r.Left;
        xf.YOffset = -r.Top;
        code = L_SetBitmapRgnHandle(&dst, &xf, &region, LRGN_SET);
    }
    if (code != LE_SUCCESS)
        L_FreeBitmap(&dst);
    else if (copied)
        *copied = r;
    return code;
}

} // namespace

bool TLEADImage::FloaterActive() const { return m_enableFloater && m_floaterBitmap.IsAllocated(); }

// ---- reading and giving the floater ------------------------------------------------------------------

LBitmap* TLEADImage::Floater()
{
    int code = LE_SUCCESS;
    LBitmap* result = nullptr;
    if (m_autoFloater) {
        if (!m_allocated || !L_BitmapHasRgn(&m_bitmap)) {
            code = m_allocated ? LE_SUCCESS : LE_NO_BITMAP;
        } else {
            LRect bounds;
            L_GetBitmapRgnBounds(&m_bitmap, nullptr, &bounds);
            code = CopyRectWithRegion(m_floaterCopy, m_bitmap, bounds);
            if (code == LE_SUCCESS)
                result = &m_floaterCopy;
        }
    } else if (m_floaterBitmap.IsAllocated()) {
        result = &m_floaterBitmap;
    }
    ReportResult(QStringLiteral("Floater"), code);
    return result;
}

void TLEADImage::setFloater(const LBitmap* bitmap)
{
    if (!m_allocated) {
        SetLastError(LE_NO_BITMAP);
        return;
    }
    m_autoFloater = false;
    FreeFloaterDisplay();
    L_FreeBitmap(&m_floaterBitmap);
    int code = LE_SUCCESS;
    if (bitmap && bitmap->IsAllocated()) {
        LRect bounds{0, 0, bitmap->Width, bitmap->Height};
        if (L_BitmapHasRgn(bitmap))
            L_GetBitmapRgnBounds(bitmap, nullptr, &bounds);
        code = CopyRectWithRegion(m_floaterBitmap, *bitmap, bounds);
        if (code == LE_SUCCESS && m_autoSetRects) {
            m_floaterDstRect = TRect(0, 0, m_floaterBitmap.ViewWidth(), m_floaterBitmap.ViewHeight());
            const TRect inner = InnerClientRect();
            m_floaterDstClipRect = TRect(0, 0, inner.Width(), inner.Height());
        }
    }
    RebuildFloaterDisplay();
    viewport()->update();
    ReportResult(QStringLiteral("Floater"), code);
}

// ---- placing it ------------------------------------------------------------------------------------

int TLEADImage::SetFloaterDstRect(int Left, int Top, int Width, int Height)
{
    const bool resized = Width != m_floaterDstRect.Width() || Height != m_floaterDstRect.Height();
    m_floaterDstRect = TRect(Left, Top, Left + Width, Top + Height);
    if (resized)
        RebuildFloaterDisplay();
    viewport()->update();
    SetLastError(1);
    return 1;
}

int TLEADImage::SetFloaterDstClipRect(int Left, int Top, int Width, int Height)
{
    m_floaterDstClipRect = TRect(Left, Top, Left + Width, Top + Height);
    viewport()->update();
    SetLastError(1);
    return 1;
}

void TLEADImage::SetFloaterDstLeft(int Left)
{
    SetFloaterDstRect(Left, m_floaterDstRect.Top, m_floaterDstRect.Width(), m_floaterDstRect.Height());
}

void TLEADImage::SetFloaterDstTop(int Top)
{
    SetFloaterDstRect(m_floaterDstRect.Left, Top, m_floaterDstRect.Width(), m_floaterDstRect.Height());
}

void TLEADImage::SetFloaterVisible(bool Visible)
{
    m_floaterVisible = Visible;
    if (m_floaterBitmap.IsAllocated())
        RebuildFloaterDisplay();
    viewport()->update();
    SetLastError(1);
}

int TLEADImage::RebuildFloaterDisplay()
{
    m_floaterDisplay = m_floaterBitmap.IsAllocated();
    viewport()->update();
    return m_floaterDisplay ? 1 : -1;
}

void TLEADImage::FreeFloaterDisplay()
{
    if (m_floaterDisplay)
        viewport()->update();
    m_floaterDisplay = false;
}

bool TLEADImage::PointInFloater(int X, int Y) const
{
    if (!m_floaterBitmap.IsAllocated() || !m_floaterVisible || !m_floaterDisplay)
        return false;
    const int f = FrameWidth();
    const QRect dst = m_floaterDstRect.ToQRect().translated(f, f);
    const QRect clip = m_floaterDstClipRect.ToQRect().translated(f, f);
    if (!(dst & clip).contains(X, Y) || dst.width() <= 0 || dst.height() <= 0)
        return false;
    const int vx = (X - dst.left()) * m_floaterBitmap.ViewWidth() / dst.width();
    const int vy = (Y - dst.top()) * m_floaterBitmap.ViewHeight() / dst.height();
    const TPoint s = LeadViewToStored(vx, vy, m_floaterBitmap.ViewPerspective, m_floaterBitmap.Width,
                                      m_floaterBitmap.Height);
    return !L_BitmapHasRgn(&m_floaterBitmap) || L_IsPtInBitmapRgn(&m_floaterBitmap, s.Y, s.X);
}

void TLEADImage::PaintFloater(QPainter& painter)
{
    if (!m_floaterBitmap.IsAllocated() || !m_floaterVisible || !m_floaterDisplay)
        return;
    const int f = FrameWidth();
    const QRect dst = m_floaterDstRect.ToQRect().translated(f, f);
    const QRect clip = m_floaterDstClipRect.ToQRect().translated(f, f) & InnerClientRect().ToQRect();
    if (dst.isEmpty() || clip.isEmpty())
        return;
    const QImage piece = LeadScalePicture(
        m_floaterBitmap, TLeadScaleRequest{TLeadBox(0, 0, m_floaterBitmap.ViewWidth(), m_floaterBitmap.ViewHeight()),
                                           dst.width(), dst.height(), QRect(QPoint(0, 0), dst.size()),
                                           m_paintScaling != psNormal});
    painter.save();
    painter.setClipRect(clip);
    if (L_BitmapHasRgn(&m_floaterBitmap) && m_floaterBitmap.ViewPerspective == LVP_TOP_LEFT) {
        // Only the piece's region shows.
        LRgnHandle region;
        L_GetBitmapRgnHandle(&m_floaterBitmap, &region);
        const LRegion* r = region.Region.get();
        std::vector<QRect> runs;
        for (int y = r->Bounds.Top; y < r->Bounds.Bottom; ++y)
            for (int x = r->Bounds.Left; x < r->Bounds.Right;) {
                if (!r->Contains(x, y)) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < r->Bounds.Right && r->Contains(x, y))
                    ++x;
                runs.emplace_back(start, y, x - start, 1);
            }
        QRegion area;
        area.setRects(runs.data(), int(runs.size()));
        QTransform t;
        t.translate(dst.left(), dst.top());
        t.scale(double(dst.width()) / m_floaterBitmap.Width, double(dst.height()) / m_floaterBitmap.Height);
        painter.setClipRegion(t.map(area), Qt::IntersectClip);
    }
    painter.drawImage(dst.topLeft(), piece);
    painter.restore();
}

// ---- lifting, dragging and dropping with the mouse ------------------------------------------------

void TLEADImage::KeepFloaterBackground()
{
    LRect bounds;
    if (L_GetBitmapRgnBounds(&m_bitmap, nullptr, &bounds) != LE_SUCCESS || bounds.IsEmpty())
        return;
    const int code = CopyRectWithRegion(m_floaterBackground, m_bitmap, bounds, &m_floaterBackgroundAt);
    if (code != LE_SUCCESS && EnableMethodErrors())
        RaiseText(QStringLiteral("Error code: %1\nError Allocating Floater Bitmaps: %2 ").arg(code).arg(LeadErrorText(code)),
                  code);
    m_floaterSource = bounds;
}

void TLEADImage::PutBackFloaterBackground()
{
    // The background was cut to the picture where it was taken: it goes back to that place,
    // not to the piece's place, which may reach past the picture's edges.
    if (m_floaterBackground.IsAllocated() && !m_floaterBackgroundAt.IsEmpty())
        L_CombineBitmap(&m_bitmap, m_floaterBackgroundAt.Left, m_floaterBackgroundAt.Top, m_floaterBackground.Width,
                        m_floaterBackground.Height, &m_floaterBackground, 0, 0, LCB_COPY);
}

void TLEADImage::LiftFloater(int x, int y)
{
    LRect bounds;
    L_GetBitmapRgnBounds(&m_bitmap, nullptr, &bounds);
    if (bounds.IsEmpty())
        return;
    // The piece with its region; the picture keeps its pixels (the background of an earlier
    // drop is put back first, so that a piece moved again leaves no copy behind).
    LRect taken;
    const int code = CopyRectWithRegion(m_floaterBitmap, m_bitmap, bounds, &taken);
    L_FreeBitmapRgn(&m_bitmap);
    if (m_floaterBackground.IsAllocated()) {
        PutBackFloaterBackground();
    } else if (code == LE_SUCCESS) {
        L_CopyBitmap(&m_floaterBackground, &m_floaterBitmap);
        m_floaterBackgroundAt = taken;
    }
    if (code != LE_SUCCESS || !m_floaterBackground.IsAllocated()) {
        SetLastError(code == LE_SUCCESS ? -1 : code);
        RaiseText(QStringLiteral("Error Allocating Floater Bitmaps."), LastError());
    }
    m_floaterSource = bounds;
    // On the screen where it lies in the picture (relative to the inner area).
    const QRect onScreen =
        StoredToClient().mapRect(QRect(bounds.Left, bounds.Top, bounds.Width(), bounds.Height())).translated(-FrameWidth(), -FrameWidth());
    m_floaterDstRect = TRect(onScreen.left(), onScreen.top(), onScreen.left() + onScreen.width(),
                             onScreen.top() + onScreen.height());
    const TRect inner = InnerClientRect();
    m_floaterDstClipRect = TRect(0, 0, inner.Width(), inner.Height());
    m_floaterVisible = true;
    m_floaterDisplay = true;
    m_floaterDragOffset = TPoint();
    m_toolStart = TPoint(x, y);
    m_floaterDragging = true;
    StoreWorkingBitmap();
    Invalidate();
}

void TLEADImage::MoveFloaterTo(int x, int y)
{
    if (!m_floaterDisplay)
        return;
    if (m_autoFloater) {
        const int dx = x - m_toolStart.X, dy = y - m_toolStart.Y;
        m_floaterDragOffset = TPoint(m_floaterDragOffset.X + dx, m_floaterDragOffset.Y + dy);
        m_toolStart = TPoint(x, y);
        OffsetRect(m_floaterDstRect, dx, dy);
    }
    viewport()->update();
}

void TLEADImage::DropFloater()
{
    m_floaterDragging = false;
    if (!m_floaterBitmap.IsAllocated())
        return;
    // The drag in picture pixels (rounded down, also for negative offsets).
    const auto scaled = [](int offset, int src, int dst) {
        return dst > 0 ? int(std::floor(double(offset) * src / dst)) : 0;
    };
    const int left = m_floaterSource.Left + scaled(m_floaterDragOffset.X, m_geom.Src.Width, m_geom.Dst.Width);
    const int top = m_floaterSource.Top + scaled(m_floaterDragOffset.Y, m_geom.Src.Height, m_geom.Dst.Height);
    const int w = m_floaterBitmap.Width, h = m_floaterBitmap.Height;
    // The pixels under the new place, as far as it lies on the picture: they are put back
    // there when the piece is lifted again.
    CopyRectWithRegion(m_floaterBackground, m_bitmap, LRect{left, top, left + w, top + h}, &m_floaterBackgroundAt);
    LRgnHandle region;
    L_GetBitmapRgnHandle(&m_floaterBitmap, &region);
    LRgnXForm xf;
    xf.XOffset = left;
    xf.YOffset = top;
    L_SetBitmapRgnHandle(&m_bitmap, &xf, &region, LRGN_SET);
    // The piece is copied over the picture through the region, without progress reports.
    L_CombineBitmap(&m_bitmap, left, top, w, h, &m_floaterBitmap, 0, 0, LCB_COPY);
    m_floaterSource = LRect{left, top, left + w, top + h};
    m_floaterDisplay = false;
    UpdateRgnBounds();
    StoreWorkingBitmap();
    m_changedFlags |= kChangedPicture;
    Refresh();
    UpdatePanWindow();
    UpdateMagGlass();
    if (OnRgnChange)
        OnRgnChange(this);
}

int TLEADImage::ReseatFloater()
{
    if (!m_floaterBitmap.IsAllocated())
        return 1;
    // The old place gets its pixels back; the changed piece is centred on it.
    PutBackFloaterBackground();
    const int w = m_floaterBitmap.Width, h = m_floaterBitmap.Height;
    const int left = m_floaterSource.Left + (m_floaterSource.Width() - w) / 2;
    const int top = m_floaterSource.Top + (m_floaterSource.Height() - h) / 2;
    L_FreeBitmapRgn(&m_bitmap);
    if (CopyRectWithRegion(m_floaterBackground, m_bitmap, LRect{left, top, left + w, top + h},
                           &m_floaterBackgroundAt) != LE_SUCCESS &&
        !(left >= m_bitmap.Width || top >= m_bitmap.Height)) {
        SetLastError(-1);
        RaiseText(QStringLiteral("Not enough memory to allocate background bitmap."), -1);
    }
    LRgnHandle region;
    L_GetBitmapRgnHandle(&m_floaterBitmap, &region);
    LRgnXForm xf;
    xf.XOffset = left;
    xf.YOffset = top;
    if (region.IsEmpty()) {
        const LRect all{left, top, left + w, top + h};
        L_SetBitmapRgnRect(&m_bitmap, nullptr, &all, LRGN_SET);
    } else {
        L_SetBitmapRgnHandle(&m_bitmap, &xf, &region, LRGN_SET);
    }
    const int code = L_CombineBitmap(&m_bitmap, left, top, w, h, &m_floaterBitmap, 0, 0, LCB_COPY);
    m_floaterSource = LRect{left, top, left + w, top + h};
    Invalidate();
    return code;
}

// ---- the switches --------------------------------------------------------------------------------

void TLEADImage::setAutoFloater(bool on)
{
    if (on != m_autoFloater) {
        m_autoFloater = on;
        FreeFloaterDisplay();
        if (on) {
            L_FreeBitmap(&m_floaterBitmap);
        } else {
            m_enableFloater = false;
        }
    }
    SetLastError(1);
}

void TLEADImage::setEnableFloater(bool on)
{
    if (m_floaterDragging || !m_autoFloater) {
        SetLastError(0);
        return;
    }
    if (!on)
        FreeFloaterDisplay();
    m_enableFloater = on;
    SetLastError(1);
}

// ---- the processing operations' part -------------------------------------------------------------

LBitmap* TLEADImage::FloaterTarget()
{
    LRect bounds;
    if (L_BitmapHasRgn(&m_bitmap) && L_GetBitmapRgnBounds(&m_bitmap, nullptr, &bounds) == LE_SUCCESS &&
        !bounds.IsEmpty()) {
        const int code = CopyRectWithRegion(m_floaterBitmap, m_bitmap, bounds);
        if (code != LE_SUCCESS)
            ReportResult(QStringLiteral("Floater"), code);
        m_floaterSource = bounds;
    }
    return &m_floaterBitmap;
}

void TLEADImage::GreyFloater(int bitsPerPixel)
{
    if (!m_enableFloater || !m_floaterVisible || !m_floaterBitmap.IsAllocated())
        return;
    // Without progress reports; a piece that cannot be made grey is dropped.
    const bool progress = m_enableProgressEvent;
    m_enableProgressEvent = false;
    const int code = L_GrayScaleBitmap(&m_floaterBitmap, bitsPerPixel);
    m_enableProgressEvent = progress;
    if (code != LE_SUCCESS)
        DropFloaterPiece();
}

void TLEADImage::DropFloaterPiece()
{
    FreeFloaterDisplay();
    m_floaterDragging = false;
    L_FreeBitmap(&m_floaterBitmap);
    L_FreeBitmap(&m_floaterBackground);
    L_FreeBitmap(&m_floaterCopy);
    m_floaterSource = LRect{};
    m_floaterBackgroundAt = LRect{};
}

void TLEADImage::CommitRequest()
{
    if (m_animationPlaying) {
        SetLastError(LE_NOT_SUPPORTED);
        return;
    }
    if (m_stateFlags & kStateBitmapLocked) {
        SetLastError(0);
        return;
    }
    if (m_allocated)
        StoreWorkingBitmap();
    BitmapChanged();
    if (m_autoFloater) {
        if (m_enableFloater)
            FreeFloaterDisplay();
        if (m_allocated)
            FreeRgn();
    } else if (m_floaterBitmap.IsAllocated()) {
        RebuildFloaterDisplay();
    }
    BitmapChanged();
    MarkDataModified();
    SetLastError(1);
}
