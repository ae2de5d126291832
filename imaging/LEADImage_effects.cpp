// TLEADImage: painting through the kernel's numbered effects. The picture (and a gradient or
// pattern behind it) is painted over what the back buffer shows, in PaintMaxPasses passes that
// share the effect's steps. Every step is painted on the window at once when the paint runs
// outside a paint event, followed by the EffectDelay wait, and
// reported through OnStatus as step x 100 div steps, so a 64-step effect reports 64 times and
// ends with exactly one 100; the plain paint (1000) reports 100 once. A handler that switches
// EnableProgressEvent off stops the paint where it is.
#include "imaging/LEADImage.h"

#include "platform/vcl/Colors.h"
#include "platform/vcl/Guard.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

LColor ToKernel(TColor color) { return LColor(ColorToRGB(color)) & 0x00ffffffu; }


LEfxSurface SurfaceOf(QImage& image)
{
    return LEfxSurface{image.bits(), image.width(), image.height(), std::int32_t(image.bytesPerLine()), 4};
}

// The part `part` of a 32-bit image as a read-only surface.
LEfxSurface SurfaceOf(const QImage& image, const QRect& part)
{
    auto* bits = const_cast<std::uint8_t*>(image.constBits()) + std::ptrdiff_t(part.top()) * image.bytesPerLine() +
                 std::ptrdiff_t(part.left()) * 4;
    return LEfxSurface{bits, part.width(), part.height(), std::int32_t(image.bytesPerLine()), 4};
}

// The colour table of the display adjustments: intensity (-1000..1000 moves every level by up
// to 255), contrast (-1000..1000 scales the distance from the middle grey down to nothing or
// up to twice) and gamma (in hundredths; 100 leaves the levels).
std::array<std::uint8_t, 256> AdjustmentTable(int contrast, int intensity, int gamma)
{
    std::array<std::uint8_t, 256> lut{};
    const double c = 1.0 + std::clamp(contrast, -1000, 1000) / 1000.0;
    const double shift = std::clamp(intensity, -1000, 1000) * 255.0 / 1000.0;
    const double g = gamma > 0 ? 100.0 / gamma : 1.0;
    for (int v = 0; v < 256; ++v) {
        double x = 255.0 * std::pow(v / 255.0, g);
        x = (x - 127.5) * c + 127.5 + shift;
        lut[std::size_t(v)] = std::uint8_t(std::clamp(std::lround(x), 0L, 255L));
    }
    return lut;
}

} // namespace

bool TLEADImage::DisplayAdjusted() const
{
    return m_paintContrast != 0 || m_paintIntensity != 0 || m_paintGamma != 100;
}

QImage TLEADImage::AdjustedForDisplay(const QImage& image, const QRect& piece) const
{
    QImage out(piece.size(), QImage::Format_RGB32);
    if (out.isNull())
        return out;
    const std::array<std::uint8_t, 256> lut = AdjustmentTable(m_paintContrast, m_paintIntensity, m_paintGamma);
    for (int y = 0; y < out.height(); ++y) {
        const std::uint8_t* from = image.constScanLine(piece.top() + y) + std::ptrdiff_t(piece.left()) * 4;
        std::uint8_t* p = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x, p += 4, from += 4) {
            p[0] = lut[from[0]];
            p[1] = lut[from[1]];
            p[2] = lut[from[2]];
            p[3] = 0xff;
        }
    }
    return out;
}

void TLEADImage::EffectPlanDeleter::operator()(LEfxEffectPlan* p) const { L_EfxDestroyEffectPlan(p); }

void TLEADImage::setSkipEffectDelay(bool on) { m_skipEffectDelay = on; }

bool TLEADImage::EffectPaintPending() const
{
    if (!m_surfaceStale || m_inPaint)
        return false;
    const bool picture = m_allocated && !m_animationPlaying && !m_paintRgnOnly && m_paintEffect != 1000;
    const bool background = m_transitionStyle != etsNone && m_transitionEffect != 1000;
    return picture || background;
}

void TLEADImage::ShowEffectStep(const QRect& area)
{
    if (m_inPaintEvent || !viewport()->isVisible())
        return;
    viewport()->repaint(area);
    if (m_effectDelay <= 0 || m_skipEffectDelay)
        return;
    // The wait runs no events: a timer (a spin box's auto-repeat, a preview timer) must not
    // start another change in the middle of this one. The step is on the screen already.
    QThread::msleep(unsigned(m_effectDelay));
}

bool TLEADImage::RunEffect(std::uint32_t effect, const QRect& area, const QImage& to, const QRect& piece,
                           unsigned type, bool unseen)
{
    const std::uint32_t steps = L_EfxEffectSteps(effect);
    const bool report = type == 1;
    // The plain paint puts every pixel of the new content in place at once: a copy of it, with
    // no plan (a repaint of an unchanged picture costs no more than that copy).
    const bool plain = steps == 1 && !m_useTransparentColor;
    // The plan of the last effect of this type is kept: repeated transitions of one size (the
    // player, the frames of a video) make their reveal map once.
    CachedPlan& cached = m_effectPlans[type == 1 ? 1 : 0];
    const LEfxEffectPlan* plan = nullptr;
    if (!area.isEmpty() && !plain) {
        LEfxEffectParams p;
        p.Effect = effect;
        p.Grain = std::uint32_t(std::clamp(m_effectGrain, 1, 256));
        p.WandColor = ToKernel(m_wandColor);
        p.WandSize = std::uint32_t(std::max(0, m_wandSize));
        p.UseTransparentColor = m_useTransparentColor;
        p.TransparentColor = ToKernel(m_transparentColor);
        const std::array<std::uint32_t, 8> key = {p.Effect,   p.Grain, p.WandColor, p.WandSize,
                                                  p.UseTransparentColor, p.TransparentColor,
                                                  std::uint32_t(area.width()), std::uint32_t(area.height())};
        if (!cached.Plan || cached.Key != key) {
            cached.Plan.reset();
            LEfxEffectPlan* made = nullptr;
            if (L_EfxCreateEffectPlan(&p, area.width(), area.height(), &made) == LE_SUCCESS) {
                cached.Plan.reset(made);
                cached.Key = key;
            }
        }
        plan = cached.Plan.get();
    }
    const LRect rect{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    const QPointer<TLEADImage> self(this);
    const auto paintSteps = [&](std::uint32_t from, std::uint32_t upTo) {
        if (plain && !area.isEmpty() && !to.isNull()) {
            CopyOntoSurface(area.topLeft(), to, piece);
        } else if (plan) {
            LEfxSurface screen = SurfaceOf(m_surface);
            const LEfxSurface source = to.isNull() ? LEfxSurface{} : SurfaceOf(to, piece);
            L_EfxPaintEffectSteps(plan, &screen, &rect, &source, from, upTo, steps);
        }
    };
    // The progress report of one step; false when the paint is to stop here.
    const auto progress = [&](std::uint32_t step) {
        if (!report || !m_enableProgressEvent)
            return true;
        const bool went = FireStatus(int(step * 100 / steps));
        return self && went && m_enableProgressEvent;
    };

    if (OnPaintNotify)
        OnPaintNotify(this, 0, type);
    if (!self)
        return false;
    const auto passes = std::uint32_t(std::max(1, m_paintMaxPasses));
    std::uint32_t done = 0;
    for (std::uint32_t pass = 1; pass <= passes; ++pass) {
        if (steps == 1) {
            // The plain paint: every pass paints the whole picture; one report at the end.
            paintSteps(0, 1);
            if (!unseen)
                ShowEffectStep(area);
            if (!self || (pass == passes && !progress(1)))
                return false;
        } else {
            const std::uint32_t last = pass * steps / passes;
            for (std::uint32_t step = done + 1; step <= last; ++step) {
                paintSteps(step - 1, step);
                done = step;
                if (!unseen)
                    ShowEffectStep(area);
                if (!self || !progress(step))
                    return false;
            }
        }
        if (m_paintNotificationDelay > 0)
            QThread::msleep(unsigned(m_paintNotificationDelay));
        if (OnPaintNotify)
            OnPaintNotify(this, pass, type);
        if (!self)
            return false;
    }
    return true;
}

bool TLEADImage::PaintPictureEffect(const QRect& dstRect, const QRect& clip)
{
    QRect visible, piece;
    // Held here, the pixels outlive a new scaled copy that a handler of the steps may cause.
    const QImage to = DisplayedPart(dstRect, clip, visible, piece);
    if (to.isNull())
        visible = QRect();
    // The same picture painted again over itself changes nothing on the window: its steps run
    // (and report) without being shown or waited for.
    const Shown now{m_allocated ? m_bitmap.Generation() : 0, visible, m_paintContrast, m_paintIntensity,
                    m_paintGamma};
    const bool unseen = now == m_shown && !m_backErase && m_transitionStyle == etsNone && !visible.isEmpty();
    const QPointer<TLEADImage> self(this);
    const bool finished = RunEffect(std::uint32_t(m_paintEffect), visible, to, piece, 1, unseen);
    if (!self)
        return false;
    m_shown = finished ? now : Shown{};
    RethrowPending();
    return finished;
}

void TLEADImage::PaintTransitionEffect(const QRect& area)
{
    if (area.isEmpty()) {
        // The passes are notified all the same.
        RunEffect(std::uint32_t(m_transitionEffect), QRect(), QImage(), QRect(), 0, true);
        return;
    }
    // The gradient or pattern at the area's size, painted in over what the buffer shows.
    QImage to = m_surface.copy(area).convertToFormat(QImage::Format_RGB32);
    LEfxSurface s = SurfaceOf(to);
    const LRect all{0, 0, to.width(), to.height()};
    if (m_transitionStyle == etsGradient)
        L_EfxGradientFillRect(&s, &all, std::uint32_t(m_gradientStyle), ToKernel(m_gradientStartColor),
                              ToKernel(m_gradientEndColor), std::uint32_t(std::clamp(m_gradientSteps, 2, 265)));
    else
        L_EfxPatternFillRect(&s, &all, int(m_patternStyle), ToKernel(m_patternBackColor), ToKernel(m_patternForeColor));
    RunEffect(std::uint32_t(m_transitionEffect), area, to, to.rect(), 0, false);
}

void TLEADImage::RunDeferredPaint()
{
    // The press that asked for the effect ends first (a spin box steps on while its button is
    // held), then the transition plays.
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(15, this, [this] { Guard([this] { RunDeferredPaint(); }, TGuardMode::Queue); });
        return;
    }
    m_deferredPaint = false;
    if (m_surfaceStale)
        Paint();
    viewport()->update();
}
