// TLEADImage: the framework's events of the window: mouse presses, moves, releases, clicks
// and double clicks, key releases, focus, and dragging the control between controls (the
// framework layer's drag manager, platform/vcl/Controls.h). Every entry from Qt runs in the
// guard. Keys that scroll and file drops are in LEADImage_display.cpp.
#include "imaging/LEADImage.h"

#include "platform/vcl/Guard.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

// ---- Qt's events ---------------------------------------------------------------------------------

void TLEADImage::mousePressEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonOf(event->button(), button))
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    Guard([&] {
        if (button == mbLeft && m_dragMode == dmAutomatic) {
            StartDragAt(false, -1, event->globalPosition().toPoint());
            return;
        }
        MouseDown(button, shift, p.x(), p.y());
    });
}

void TLEADImage::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    Guard([&] { MouseMove(shift, p.x(), p.y()); }, TGuardMode::Queue);
}

void TLEADImage::mouseReleaseEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonOf(event->button(), button))
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    Guard([&] { MouseUp(button, shift, p.x(), p.y()); });
}

void TLEADImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonOf(event->button(), button))
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons()) | ssDouble;
    Guard([&] {
        if (button == mbLeft) {
            if (m_dragMode == dmAutomatic) {
                StartDragAt(false, -1, event->globalPosition().toPoint());
                return;
            }
            DblClick(shift, p.x(), p.y());
        } else {
            MouseDown(button, shift, p.x(), p.y());
        }
    });
}

void TLEADImage::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its key-down only, as in the framework.
    if (event->isAutoRepeat())
        return;
    int key = VirtualKeyCode(event->key());
    const TShiftState shift = ShiftStateOf(event->modifiers());
    Guard([&] {
        if (OnKeyUp)
            OnKeyUp(this, key, shift);
    });
}

void TLEADImage::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    Guard([&] {
        if (OnEnter)
            OnEnter(this);
    });
}

bool TLEADImage::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave && m_magGlassActive) {
        m_magGlassAt = QPoint(-1, -1);
        viewport()->update();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

// ---- the framework's handlers ------------------------------------------------------------------

void TLEADImage::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        m_clicked = !(shift & ssDouble);
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
    ToolMouseDown(button, shift, x, y);
}

void TLEADImage::MouseMove(TShiftState shift, int x, int y)
{
    if (m_magGlassActive) {
        m_magGlassAt = QPoint(x, y);
        viewport()->update();
        if ((MagGlassOptions[0] & 2) && OnMagGlassCursor)
            OnMagGlassCursor(this);
    }
    ToolMouseMove(shift, x, y);
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TLEADImage::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const int upX = x, upY = y;
    ToolMouseUp(button, shift, x, y);
    if (button == mbLeft && m_clicked) {
        m_clicked = false;
        const TRect client = ClientRect();
        if (upX >= client.Left && upX < client.Right && upY >= client.Top && upY < client.Bottom && OnClick)
            OnClick(this);
    }
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TLEADImage::DblClick(TShiftState shift, int x, int y)
{
    if (OnDblClick)
        OnDblClick(this);
    MouseDown(mbLeft, shift, x, y);
}

// ---- dragging the control ------------------------------------------------------------------------

void TLEADImage::BeginDrag(bool immediate, int threshold) { StartDragAt(immediate, threshold, std::nullopt); }

void TLEADImage::StartDragAt(bool immediate, int threshold, std::optional<QPoint> globalStart)
{
    QObject* dragObject = nullptr;
    if (OnStartDrag)
        OnStartDrag(this, dragObject);
    ::BeginDrag(this, immediate, threshold, globalStart);
}

void TLEADImage::DoDragOver(QObject* source, int x, int y, TDragState state, bool& accept)
{
    accept = false;
    if (OnDragOver) {
        accept = true;
        OnDragOver(this, source, x, y, state, accept);
    }
}

void TLEADImage::DoDragDrop(QObject* source, int x, int y)
{
    if (OnDragDrop)
        OnDragDrop(this, source, x, y);
}

void TLEADImage::DoEndDrag(QObject* target, int x, int y, bool)
{
    if (OnEndDrag)
        OnEndDrag(this, target, x, y);
}
