// TLEADImage: animation playback of the bitmap list on a timer, and the drawing canvas on the
// bitmap or the window.
#include "imaging/LEADImage.h"

#include "platform/vcl/Font.h"
#include "platform/vcl/Guard.h"

#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QTransform>

#include <algorithm>
#include <chrono>

namespace {

// Steps of the playback run one inside the other at most this often before the timer (and
// with it the message loop) has its turn again.
constexpr int kPlaybackRecursionLimit = 50;
// The process-wide count of playback steps run in a row.
int g_playbackRecursion = 0;

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void TLEADImage::PlaybackDeleter::operator()(LPlayback* p) const { L_DestroyPlayback(p); }

struct TLEADImage::DrawCanvasState {
    std::unique_ptr<QPainter> Painter;
    std::unique_ptr<TCanvas> Canvas;
    bool Persistent = false;
};

void TLEADImage::DrawCanvasDeleter::operator()(DrawCanvasState* s) const { delete s; }

QTimer* TLEADImage::PlaybackTimer()
{
    if (!m_playbackTimer) {
        m_playbackTimer = new QTimer(this);
        m_playbackTimer->setObjectName(QStringLiteral("PlaybackTimer"));
        m_playbackTimer->setSingleShot(false);
        connect(m_playbackTimer, &QTimer::timeout, this,
                [this] { Guard([this] { PlaybackStep(); }, TGuardMode::Queue); });
    }
    return m_playbackTimer;
}

int TLEADImage::PlaybackFrameIndex() const
{
    std::uint32_t index = 0;
    if (m_playback)
        L_GetPlaybackIndex(m_playback.get(), &index);
    return int(index);
}

void TLEADImage::StopPlayback()
{
    if (m_playbackTimer)
        m_playbackTimer->stop();
    m_playback.reset();
    m_animationPlaying = false;
    m_animationEnabled = false;
}

void TLEADImage::AnimationEnable(bool Enable)
{
    if (!m_list && !m_allocated)
        RaiseOperationError(QStringLiteral("AnimationEnable"), QStringLiteral("No bitmap list."), -2);
    if ((m_stateFlags & kStateBitmapLocked) || m_busy)
        RaiseResult(QStringLiteral("Processing not allowed"), 0);
    if (Enable == m_animationEnabled) {
        SetLastError(1);
        return;
    }
    QTimer* timer = PlaybackTimer();
    timer->setInterval(1);
    if (Enable)
        timer->start();
    else
        timer->stop();
    m_animationEnabled = Enable;
    if (Enable) {
        L_FreeBitmapRgn(&m_bitmap);
        int code = StoreWorkingBitmap();
        if (code == LE_SUCCESS)
            code = PrepareFirstFrame();
        if (code == LE_SUCCESS) {
            Refresh();
            LPlayback* playback = nullptr;
            code = L_CreatePlayback(&playback, &m_bitmap, m_list);
            m_playback.reset(playback);
            if (code == LE_SUCCESS)
                code = L_SetPlaybackIndex(playback, 0);
        }
        if (code == LE_SUCCESS)
            m_animationPlaying = true;
        SetLastError(code);
    } else {
        m_animationPlaying = false;
        m_playback.reset();
        SetLastError(m_list ? RestoreFromList() : LE_SUCCESS);
    }
    if (OnAnimate)
        OnAnimate(this, Enable);
    if (LastError() != 1) {
        timer->stop();
        m_animationEnabled = false;
        timer->setInterval(0);
        ReportResult(QStringLiteral("AnimationEnable"), LastError());
    }
}

void TLEADImage::PlaybackStep()
{
    QTimer* timer = PlaybackTimer();
    if (!m_loadGuard)
        timer->stop();
    const std::int64_t started = NowMs();
    if (!m_playback)
        return;
    const QPointer<TLEADImage> self(this);
    std::int32_t state = 0;
    L_GetPlaybackState(m_playback.get(), &state);
    if (state != LPB_STATE_ENDED) {
        for (;;) {
            if (L_ProcessPlayback(m_playback.get(), NowMs(), &state) != LE_SUCCESS)
                break;
            if (state == LPB_STATE_FRAME_READY) {
                PaintCurrentFrame();
                L_ProcessPlayback(m_playback.get(), NowMs(), &state);
                break;
            }
            if (state == LPB_STATE_WAITING) {
                L_CancelPlaybackWait(m_playback.get());
                continue;
            }
            if (state == LPB_STATE_ENDED && !m_loadGuard) {
                if (m_loopAnimation) {
                    L_SetPlaybackIndex(m_playback.get(), 0);
                    continue;
                }
                AnimationEnable(false);
                return;
            }
            break;
        }
    }
    if (!self || m_loadGuard || !m_playback)
        return;
    std::uint32_t delay = 0;
    L_GetPlaybackDelay(m_playback.get(), &delay);
    const std::int64_t remaining = std::max<std::int64_t>(std::min<std::uint32_t>(delay, 32767) - (NowMs() - started), 0);
    if (remaining == 0 && g_playbackRecursion < kPlaybackRecursionLimit) {
        ++g_playbackRecursion;
        PlaybackStep();
        return;
    }
    timer->setInterval(int(std::max<std::int64_t>(remaining, 1)));
    timer->start();
    g_playbackRecursion = 0;
}

bool TLEADImage::IsAnimatedFile() const
{
    // The animation formats (AVI, FLI, ANI, FLC) and a GIF of more than one page; other files
    // of several pages (TIFF) are pages, not frames.
    static constexpr int kAnimationFormats[] = {59, 61, 119, 134};
    const int format = m_fileInfo.Format;
    return (format == LFMT_GIF && m_fileInfo.TotalPages > 1) ||
           std::find(std::begin(kAnimationFormats), std::end(kAnimationFormats), format) != std::end(kAnimationFormats);
}

void TLEADImage::EndPlaybackForLoad()
{
    if (m_animationEnabled)
        AnimationEnable(false);
}

void TLEADImage::StartAutoAnimation()
{
    if (!m_autoAnimate || !IsAnimatedFile() || ListItemCount(m_list) < 2)
        return;
    m_loopAnimation = m_autoAnimationLoop == 1 ||
                      (m_fileInfo.Format == LFMT_GIF && (m_fileInfo.Flags & LFI_HAS_LOOP) && m_fileInfo.LoopCount == 0);
    AnimationEnable(true);
}

// ---- the drawing canvas ----------------------------------------------------------------------

QTransform TLEADImage::ClientToBitmapTransform() const
{
    // Client point -> bitmap pixel: the destination rectangle (moved by the frame) onto the
    // source rectangle, each axis on its own.
    const int f = FrameWidth();
    const double sx = m_geom.Dst.Width != 0 ? double(m_geom.Src.Width) / m_geom.Dst.Width : 1.0;
    const double sy = m_geom.Dst.Height != 0 ? double(m_geom.Src.Height) / m_geom.Dst.Height : 1.0;
    const double ox = m_geom.Dst.Left + f, oy = m_geom.Dst.Top + f;
    return QTransform(sx, 0, 0, sy, m_geom.Src.Left - sx * ox, m_geom.Src.Top - sy * oy);
}

TCanvas* TLEADImage::BeginDrawCanvas(bool ForText)
{
    if (m_drawCanvas)
        EndDrawCanvas(m_drawCanvas->Canvas.get());
    auto state = std::unique_ptr<DrawCanvasState, DrawCanvasDeleter>(new DrawCanvasState);
    state->Persistent = m_drawPersistence;
    QImage* target = nullptr;
    if (m_drawPersistence) {
        if (!m_allocated || !GetBitmapDC())
            return nullptr;
        target = &m_bitmapDCImage;
    } else {
        if (!GetControlDC())
            return nullptr;
        target = &m_surface;
    }
    state->Painter = std::make_unique<QPainter>(target);
    if (m_drawPersistence) {
        m_drawMapping = ClientToBitmapTransform();
        state->Painter->setTransform(m_drawMapping);
    } else {
        state->Painter->setClipRect(InnerClientRect().ToQRect());
    }
    state->Canvas = std::make_unique<TCanvas>(state->Painter.get());
    TCanvas& c = *state->Canvas;
    c.Pen.Mode = TPenMode(m_drawMode);
    if (ForText) {
        auto font = std::make_shared<TFont>();
        font->Name = m_textFont.family();
        font->SetHeight(-std::max(1, m_textFont.pixelSize() > 0 ? m_textFont.pixelSize()
                                                                 : m_textFont.pointSize() * 96 / 72));
        font->Color = m_drawPenColor;
        c.SetFont(font);
        state->Painter->setFont(m_textFont);
    } else {
        c.Pen.Color = m_drawPenColor;
        c.Pen.Width = m_drawPenWidth;
        c.Pen.Style = TPenStyle(m_drawPenStyle);
        c.Brush.Color = m_drawFillColor;
        c.Brush.Style = TBrushStyle(m_drawFillStyle);
    }
    state->Painter->setBackgroundMode(Qt::TransparentMode);
    m_drawCanvas = std::move(state);
    SetLastError(1);
    return m_drawCanvas->Canvas.get();
}

void TLEADImage::EndDrawCanvas(TCanvas* canvas)
{
    if (!m_drawCanvas || (canvas && canvas != m_drawCanvas->Canvas.get()))
        return;
    const bool persistent = m_drawCanvas->Persistent;
    m_drawCanvas.reset();
    if (persistent) {
        ReleaseBitmapDC();
        Invalidate();
    } else {
        ReleaseControlDC();
    }
}
