// TLEADImage: painting. Paint draws into the control's back buffer (frame, background,
// transition, picture); the paint event copies the buffer onto the window and draws the
// overlays on top of it. The picture goes through a scaled copy kept while the bitmap's
// generation, the source rectangle, the destination size and the scaling stay, so repainting
// an unchanged picture costs one copy. Palettes and display modes have nothing to do on a
// true-colour screen: their properties are kept and otherwise inert.
#include "imaging/LEADImage.h"

#include "imaging/LEADScale.h"
#include "platform/vcl/Guard.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// Paints under way in all controls.
int g_paintsInProgress = 0;

// A destination of up to this many pixels is scaled as a whole (scrolling it then needs no
// new scaling); a larger one is scaled around the part that shows.
constexpr qint64 kWholeDestination = qint64(4) * 1024 * 1024;

QColor ColorOf(TColor c) { return ToQColor(ColorToRGB(c)); }

// The part of the destination dst that the source columns and rows of clip land on, when the
// source rectangle src is drawn into dst.
QRect SourceClipOnDestination(const TLeadBox& src, const TLeadBox& clip, const QRect& dst)
{
    if (src.Width <= 0 || src.Height <= 0)
        return QRect();
    const auto map = [](long long v, long long from, long long length, long long to, long long size) {
        return to + (v - from) * size / length;
    };
    const long long left = map(clip.Left, src.Left, src.Width, dst.left(), dst.width());
    const long long right = map(qint64(clip.Left) + clip.Width, src.Left, src.Width, dst.left(), dst.width());
    const long long top = map(clip.Top, src.Top, src.Height, dst.top(), dst.height());
    const long long bottom = map(qint64(clip.Top) + clip.Height, src.Top, src.Height, dst.top(), dst.height());
    const auto c = [](long long v) { return int(std::clamp<long long>(v, -(1LL << 30), 1LL << 30)); };
    return QRect(QPoint(c(left), c(top)), QPoint(c(right) - 1, c(bottom) - 1));
}

// Marks a paint that runs inside the window's paint event.
struct TPaintEventScope {
    bool& flag;
    const bool was;
    explicit TPaintEventScope(bool& f) : flag(f), was(f) { flag = true; }
    ~TPaintEventScope() { flag = was; }
};

} // namespace

int TLEADImage::PaintsInProgress() { return g_paintsInProgress; }

TRect TLEADImage::ClientRect() const
{
    const QSize s = ClientSize();
    return TRect(0, 0, s.width(), s.height());
}

TRect TLEADImage::InnerClientRect() const
{
    TRect r = ClientRect();
    InflateRect(r, -FrameWidth(), -FrameWidth());
    return r;
}

void TLEADImage::Invalidate()
{
    m_surfaceStale = true;
    viewport()->update();
}

void TLEADImage::Refresh()
{
    m_surfaceStale = true;
    if (viewport()->isVisible())
        viewport()->repaint();
    // Not on the screen (or not exposed), or an effect (which the paint event leaves for
    // later): the back buffer is painted now all the same.
    if (m_surfaceStale) {
        Guard([this] { Paint(); }, TGuardMode::Queue);
        viewport()->update();
    }
}

// ---- writers ---------------------------------------------------------------------------------

void TLEADImage::setBackErase(bool on)
{
    const bool was = m_backErase;
    m_backErase = on;
    SetLastError(1);
    if (was && !on && m_autoRepaint)
        Refresh();
}

void TLEADImage::setPaintRgnOnly(bool on)
{
    m_paintRgnOnly = on;
    SetLastError(1);
    if (m_autoRepaint)
        Refresh();
}

void TLEADImage::UpdateOpacity()
{
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, !m_transparent);
    m_surface = QImage();  // the next paint makes it in the format for the setting
}

// ---- the paint sequence ------------------------------------------------------------------------

void TLEADImage::PrepareSurface()
{
    const QSize size = ClientSize();
    const QImage::Format format = m_transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (m_surface.size() == size && m_surface.format() == format)
        return;
    m_surface = QImage(size, format);
    m_shown = Shown{};
    if (!m_surface.isNull())
        m_surface.fill(m_transparent ? QColor(Qt::transparent) : ColorOf(m_backColor));
}

void TLEADImage::FillOutside(const QRect& area, const QRect& hole, const QColor& color)
{
    if (m_surface.isNull() || area.isEmpty())
        return;
    QPainter p(&m_surface);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (!hole.isEmpty())
        p.setClipRegion(QRegion(area).subtracted(QRegion(hole)));
    p.fillRect(area, color);
}

void TLEADImage::DrawFrame(const QRect& client)
{
    QPainter p(&m_surface);
    QRect r = client;
    // A bevel: the top and left edges in one colour, the bottom and right in the other, one
    // ring per pixel of thickness.
    const auto bevel = [&](int thickness, bool raised, TColor hilite, TColor shadow) {
        const QColor top = ColorOf(raised ? hilite : shadow);
        const QColor bottom = ColorOf(raised ? shadow : hilite);
        for (int i = 0; i < thickness && r.width() > 0 && r.height() > 0; ++i) {
            p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), top);
            p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), top);
            p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottom);
            p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottom);
            r.adjust(1, 1, -1, -1);
        }
    };
    bevel(m_frameOuterThickness, m_frameOuterStyle == fosRaised, m_frameOuterHiliteColor, m_frameOuterShadowColor);
    if (m_frameThickness > 0 && !r.isEmpty()) {
        const QRect hole = r.adjusted(m_frameThickness, m_frameThickness, -m_frameThickness, -m_frameThickness);
        p.save();
        p.setClipRegion(QRegion(r).subtracted(QRegion(hole.isValid() ? hole : QRect())));
        p.fillRect(r, ColorOf(m_frameColor));
        p.restore();
        r = hole;
    }
    bevel(m_frameInnerThickness, m_frameInnerStyle == fisRaised, m_frameInnerHiliteColor, m_frameInnerShadowColor);
}

const QImage* TLEADImage::ScaledPart(const QRect& dstRect, const QRect& clip, QRect& visible, QPoint& offset)
{
    visible = QRect();
    if (!m_allocated || m_surface.isNull() || dstRect.width() <= 0 || dstRect.height() <= 0)
        return nullptr;
    visible = dstRect & clip & SourceClipOnDestination(m_geom.Src, m_geom.SrcClip, dstRect);
    if (visible.isEmpty())
        return nullptr;
    const QRect part = visible.translated(-dstRect.topLeft());
    const QSize destination = dstRect.size();
    const bool smooth = m_paintScaling != psNormal;
    const std::uint64_t generation = m_bitmap.Generation();
    ScaledPicture& c = m_scaled;
    if (c.Image.isNull() || c.Generation != generation || !(c.Source == m_geom.Src) ||
        c.Destination != destination || c.Smooth != smooth || !c.Part.contains(part)) {
        const QRect whole(QPoint(0, 0), destination);
        QRect wanted = whole;
        if (qint64(destination.width()) * destination.height() > kWholeDestination) {
            const QSize margin = m_surface.size() / 2;
            wanted = part.adjusted(-margin.width(), -margin.height(), margin.width(), margin.height()) & whole;
        }
        c.Image = QImage();  // the old copy goes before the new one is made
        c.Image = LeadScalePicture(m_bitmap, TLeadScaleRequest{m_geom.Src, destination.width(),
                                                               destination.height(), wanted, smooth});
        c.Generation = generation;
        c.Source = m_geom.Src;
        c.Destination = destination;
        c.Smooth = smooth;
        c.Part = wanted;
        if (c.Image.isNull())
            return nullptr;
    }
    offset = part.topLeft() - c.Part.topLeft();
    return &c.Image;
}

QImage TLEADImage::DisplayedPart(const QRect& dstRect, const QRect& clip, QRect& visible, QRect& piece)
{
    QPoint offset;
    const QImage* scaled = ScaledPart(dstRect, clip, visible, offset);
    piece = QRect();
    if (!scaled)
        return QImage();
    piece = QRect(offset, visible.size());
    if (!DisplayAdjusted())
        return *scaled;  // shares the pixels
    QImage adjusted = AdjustedForDisplay(*scaled, piece);
    piece = adjusted.rect();
    return adjusted;
}

void TLEADImage::CopyOntoSurface(const QPoint& at, const QImage& image, const QRect& piece)
{
    QPainter p(&m_surface);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(at, image, piece);
}

void TLEADImage::DrawPicture(const QRect& dstRect, const QRect& clip)
{
    QRect visible, piece;
    const QImage shown = DisplayedPart(dstRect, clip, visible, piece);
    if (!shown.isNull())
        CopyOntoSurface(visible.topLeft(), shown, piece);
}

void TLEADImage::Paint()
{
    if (!Visible() || m_inPaint)
        return;
    TLEADImage* const previous = SwapStatusImage(this);
    m_inPaint = true;
    ++g_paintsInProgress;
    m_surfaceStale = false;  // an Invalidate while this paint runs asks for the next one
    const auto finish = [&] {
        --g_paintsInProgress;
        m_inPaint = false;
        if (!m_surface.isNull()) {
            TCanvas canvas(&m_surface);
            AfterPaintHook(&canvas);
        }
        SwapStatusImage(previous);
    };
    try {
        PaintSequence();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TLEADImage::PaintSequence()
{
    TLeadGeometry& g = m_geom;
    // The scroll bars and the destination follow the scroll positions (a centred axis stays).
    if (m_autoScroll && !m_autoSize) {
        SyncScrollBars(false);
        if (!m_centerImage || !g.Narrower())
            g.Dst.Left = -g.HScrollPos;
        if (!m_centerImage || !g.Shorter())
            g.Dst.Top = -g.VScrollPos;
    }
    PrepareSurface();
    m_changedFlags &= ~kChangedPicture;
    const int f = FrameWidth();
    const QRect client(QPoint(0, 0), m_surface.size());
    const QRect inner = client.adjusted(f, f, -f, -f);
    if (!m_surface.isNull() && f != 0)
        DrawFrame(client);
    if (m_surface.isNull() || inner.isEmpty()) {
        if (OnPaint)
            OnPaint(this);
        return;
    }
    const QColor back = ColorOf(m_backColor);
    if (m_transparent)
        FillOutside(inner, QRect(), Qt::transparent);  // what lies beneath shows through

    const QRect dstClip = g.DstClip.ToRect().ToQRect().translated(f, f);
    g.DstRect = g.Dst.ToRect();
    OffsetRect(g.DstRect, f, f);
    const QRect dstRect = g.DstRect.ToQRect();
    const bool transition = m_transitionStyle != etsNone;
    if (!m_transparent && !m_backErase && m_allocated)
        FillOutside(inner, dstClip, back);
    const QRect paintClip =
        QRect(g.DstClip.Left + f, g.DstClip.Top + f, g.DstClip.Width + g.HScrollPos, g.DstClip.Height + g.VScrollPos) &
        inner;

    // The background behind the picture.
    if (!transition) {
        if (!m_transparent && (m_backErase || (m_useTransparentColor && m_allocated) || !m_allocated))
            FillOutside(inner, QRect(), back);
    } else {
        if (!m_transparent && m_backErase && (!m_scrolling || m_paintRgnOnly || m_useTransparentColor))
            FillOutside(inner, QRect(), back);
        PaintTransitionEffect(dstRect & inner);
    }

    if (m_allocated) {
        if (!m_transparent && transition) {
            if (m_backErase)
                FillOutside(inner, QRect(), back);
            else if (!m_scrolling)
                FillOutside(inner, dstClip, back);
        }
        // While an animation plays (and for a region-only paint, which the region code draws)
        // the picture is painted once without passes.
        if (!m_animationPlaying && !m_paintRgnOnly)
            PaintPictureEffect(dstRect, paintClip);
        else if (!m_animationPlaying)
            DrawPictureInRegion(dstRect, paintClip);
        else
            DrawPicture(dstRect, paintClip);
    }
    if (OnPaint)
        OnPaint(this);
}

void TLEADImage::PaintCurrentFrame()
{
    if (m_inPaint)
        return;
    struct InPaintScope {
        bool& flag;
        explicit InPaintScope(bool& f) : flag(f) { flag = true; }
        ~InPaintScope() { flag = false; }
    } scope(m_inPaint);
    PrepareSurface();
    const int f = FrameWidth();
    const QRect inner = QRect(QPoint(0, 0), m_surface.size()).adjusted(f, f, -f, -f);
    TRect dst = m_geom.Dst.ToRect();
    OffsetRect(dst, f, f);
    const QRect paintClip = QRect(m_geom.DstClip.Left + f, m_geom.DstClip.Top + f,
                                  m_geom.DstClip.Width + m_geom.HScrollPos, m_geom.DstClip.Height + m_geom.VScrollPos) &
                            inner;
    m_geom.DstRect = dst;
    DrawPicture(dst.ToQRect(), paintClip);
    viewport()->update();
}

// ---- the window ------------------------------------------------------------------------------

void TLEADImage::paintEvent(QPaintEvent* event)
{
    Guard(
        [&] {
            // An effect is painted outside the paint event, so that each of its steps reaches
            // the screen; until then the window shows what the buffer holds.
            if (EffectPaintPending() && m_surface.size() == ClientSize()) {
                if (!m_deferredPaint) {
                    m_deferredPaint = true;
                    QMetaObject::invokeMethod(
                        this, [this] { Guard([this] { RunDeferredPaint(); }, TGuardMode::Queue); },
                        Qt::QueuedConnection);
                }
            } else if (m_surfaceStale || m_surface.size() != ClientSize()) {
                const TPaintEventScope scope(m_inPaintEvent);
                Paint();
            }
            QPainter p(viewport());
            if (m_surface.isNull()) {
                if (!m_transparent)
                    p.fillRect(event->rect(), ColorOf(m_backColor));
            } else {
                p.drawImage(event->rect().topLeft(), m_surface, event->rect());
            }
            PaintControlOverlays(p);
            DrawOverlays(p);
        },
        TGuardMode::Queue);
}

TCanvas* TLEADImage::GetControlDC()
{
    if (!m_controlDC) {
        // Drawing lands on the back buffer and shows until the next paint.
        if (m_surfaceStale || m_surface.size() != ClientSize())
            Paint();
        if (!m_surface.isNull())
            m_controlDC = std::make_unique<TCanvas>(&m_surface);
    }
    SetLastError(m_controlDC ? 1 : 0);
    return m_controlDC.get();
}

void TLEADImage::ReleaseControlDC()
{
    if (m_controlDC) {
        m_controlDC.reset();
        viewport()->update();
    }
}
