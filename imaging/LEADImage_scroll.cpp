// TLEADImage: scrolling. The control keeps the scroll positions; its two scroll bars show them
// and hand the user's requests (buttons, trough, thumb, wheel) to ScrollMessage, which moves
// the picture and puts the bars back in step. A scroll moves the destination over the scaled
// picture kept by the paint (LEADImage_paint.cpp), so the picture is not scaled again.
#include "imaging/LEADImage.h"

#include "platform/vcl/Guard.h"
#include "platform/vcl/SysUtils.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {

// delta cut so that position + delta stays within 0 .. maximum.
int ClampDelta(int delta, int position, int maximum) { return std::max(-position, std::min(delta, maximum - position)); }

// One wheel notch, in eighths of a degree.
constexpr int kWheelStep = 120;

} // namespace

void TLEADImage::InitScrolling()
{
    // The framework reports mouse moves without a button too.
    viewport()->setMouseTracking(true);
    QScrollBar* bars[2] = {horizontalScrollBar(), verticalScrollBar()};
    for (int bar = 0; bar < 2; ++bar) {
        bars[bar]->setSingleStep(bar == 0 ? HLineStep() : VLineStep());
        bars[bar]->installEventFilter(this);
        connect(bars[bar], &QAbstractSlider::actionTriggered, this,
                [this, bar](int action) { Guard([&] { ScrollBarAction(bar, action); }); });
    }
}

int TLEADImage::ResolvePageStep(int bar)
{
    int& step = bar == 0 ? m_hPageStep : m_vPageStep;
    if (step == -1 && m_allocated) {
        const int extent = bar == 0 ? m_bitmap.ViewWidth() : m_bitmap.ViewHeight();
        step = int(Round(extent / 10.0));
    }
    if (step == 0)
        step = 1;
    return step;
}

void TLEADImage::SetScrollBar(int Bar, bool Redraw, int Maximum, int Minimum)
{
    QScrollBar* bar = Bar == 0 ? horizontalScrollBar() : verticalScrollBar();
    const int page = ResolvePageStep(Bar);
    // Qt's range is that of the thumb's position: the framework's nMax = Maximum + page - 1
    // with nPage = page gives the same positions.
    bar->setRange(Minimum, std::max(Minimum, Maximum));
    bar->setPageStep(std::max(1, page));
    if (Redraw)
        bar->update();
}

void TLEADImage::ScrollBy(int dx, int dy)
{
    TLeadGeometry& g = m_geom;
    dx = ClampDelta(dx, g.HScrollPos, g.HScrollMax);
    dy = ClampDelta(dy, g.VScrollPos, g.VScrollMax);
    if (dx == 0 && dy == 0)
        return;
    // One axis: the position moves, the destination (not beyond 0) and its clip with it.
    const auto scroll = [](int delta, int& position, int& edge, int& clipEdge) {
        position += delta;
        if (delta == 0)
            return;
        if (edge - delta > 0) {
            edge = 0;
            position = 0;
        } else {
            edge -= delta;
        }
        clipEdge = edge;
    };
    scroll(dx, g.HScrollPos, g.Dst.Left, g.DstClip.Left);
    scroll(dy, g.VScrollPos, g.Dst.Top, g.DstClip.Top);
    SyncScrollBars(false);
    MoveChildren(dx, dy);
    Refresh();
}

void TLEADImage::ScrollStep(int dx, int dy)
{
    m_scrolling = true;
    dx = ClampDelta(dx, m_geom.HScrollPos, m_geom.HScrollMax);
    dy = ClampDelta(dy, m_geom.VScrollPos, m_geom.VScrollMax);
    if (dx != 0 || dy != 0) {
        if (OnBeforeScroll)
            OnBeforeScroll(this);
        ScrollBy(dx, dy);
    }
    m_scrolling = false;
    if (OnScroll)
        OnScroll(this);
    UpdatePanWindow();
    UpdateMagGlass();
}

void TLEADImage::ScrollHorz(int delta) { ScrollStep(delta, 0); }
void TLEADImage::ScrollVert(int delta) { ScrollStep(0, delta); }

void TLEADImage::ScrollMessage(int Bar, int Code, int ThumbPos)
{
    if (m_enableScroll && !m_inPaint) {
        const bool horizontal = Bar == 0;
        const int position = horizontal ? m_geom.HScrollPos : m_geom.VScrollPos;
        const int maximum = horizontal ? m_geom.HScrollMax : m_geom.VScrollMax;
        const int line = horizontal ? HLineStep() : VLineStep();
        struct ScrollingScope {
            bool& flag;
            explicit ScrollingScope(bool& f) : flag(f) { flag = true; }
            ~ScrollingScope() { flag = false; }
        } scope(m_scrolling);
        int delta = 0;
        switch (Code) {
        case scLineUp: delta = -line; break;
        case scLineDown: delta = line; break;
        case scPageUp: delta = -ResolvePageStep(Bar); break;
        case scPageDown: delta = ResolvePageStep(Bar); break;
        case scThumbPosition:
        case scThumbTrack: delta = ThumbPos - position; break;
        case scTop: delta = -position; break;
        case scBottom: delta = maximum - position; break;
        default: break;
        }
        delta = ClampDelta(delta, position, maximum);
        if (delta != 0 && m_autoScroll && OnBeforeScroll)
            OnBeforeScroll(this);
        if (m_autoScroll)
            ScrollBy(horizontal ? delta : 0, horizontal ? 0 : delta);
        UpdatePanWindow();
        UpdateMagGlass();
        m_scrolling = false;
        if (m_autoScroll && OnScroll)
            OnScroll(this);
    }
    // The bars show the control's positions, also after a request that was not obeyed.
    SyncScrollBars(false);
}

void TLEADImage::ScrollBarAction(int bar, int action)
{
    QScrollBar* b = bar == 0 ? horizontalScrollBar() : verticalScrollBar();
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
    case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
    case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
    case QAbstractSlider::SliderToMinimum: code = scTop; break;
    case QAbstractSlider::SliderToMaximum: code = scBottom; break;
    case QAbstractSlider::SliderMove: code = scThumbTrack; break;
    default: break;
    }
    if (code < 0)
        return;
    // Qt has moved the thumb already: the request decides where it stays.
    ScrollMessage(bar, code, b->sliderPosition());
}

void TLEADImage::WheelMessage(int delta, bool horizontal, Qt::MouseButtons buttons)
{
    if (buttons & (Qt::LeftButton | Qt::MiddleButton | Qt::RightButton))
        return;
    if (delta == 0)
        return;
    // The sign decides the direction; small deltas (touch pads, fine wheels) add up to a notch,
    // and one message moves at most one page.
    int& rest = m_wheelRest[horizontal ? 0 : 1];
    if ((rest > 0) != (delta > 0))
        rest = 0;
    rest += delta;
    if (std::abs(rest) < kWheelStep)
        return;
    const bool back = rest > 0;  // a positive delta: up, or left (a sideways wheel)
    rest %= kWheelStep;
    ScrollMessage(horizontal ? 0 : 1, back ? scPageUp : scPageDown);
}

void TLEADImage::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const QPoint d = event->angleDelta();
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    Guard([&] { ShiftOrPlainWheel(d, shift, d.y() == 0 && d.x() != 0, event->buttons()); });
}

void TLEADImage::ShiftOrPlainWheel(const QPoint& angleDelta, bool shift, bool horizontal, Qt::MouseButtons buttons)
{
    const int delta = angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x();
    // With Shift the wheel scrolls sideways: a notch forward (a positive delta) scrolls right.
    // A sideways wheel keeps its own sign (positive: left).
    if (shift && angleDelta.y() != 0)
        WheelMessage(-delta, true, buttons);
    else
        WheelMessage(delta, shift || horizontal, buttons);
}

bool TLEADImage::eventFilter(QObject* watched, QEvent* event)
{
    // The wheel over a scroll bar follows the control's rule (along that bar).
    if (event->type() == QEvent::Wheel &&
        (watched == horizontalScrollBar() || watched == verticalScrollBar())) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const bool shift = wheel->modifiers().testFlag(Qt::ShiftModifier);
        Guard([&] {
            ShiftOrPlainWheel(wheel->angleDelta(), shift, watched == horizontalScrollBar(), wheel->buttons());
        });
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
