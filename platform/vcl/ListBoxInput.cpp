// The list control: mouse, keys and focus, and the list's own handling of them.
#include "platform/vcl/ListBox.h"
#include "platform/vcl/ListBoxInternal.h"

#include "platform/vcl/CanvasText.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Guard.h"
#include "platform/vcl/StringList.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimerEvent>

#include <algorithm>
#include <numeric>
using namespace listbox_detail;

// ---- events ---------------------------------------------------------------------------------

void TCustomListBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    Guard([&] {
        UpdateScrollBars();
        Resized();
    }, TGuardMode::Queue);
}

void TCustomListBox::scrollContentsBy(int, int) { viewport()->update(); }

void TCustomListBox::timerEvent(QTimerEvent* event)
{
    Guard([&] {
        if (event->timerId() == m_remeasureTimer.timerId())
            RemeasureItems();
        else
            TimerFired(event->timerId());
    }, TGuardMode::Queue);
}

bool TCustomListBox::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        bool handled = false;
        Guard([&] { handled = ShowHintAt(help->pos(), help->globalPos()); }, TGuardMode::Queue);
        if (handled)
            return true;
    } else if (event->type() == QEvent::Leave) {
        Guard([&] { MouseLeave(); }, TGuardMode::Queue);
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TCustomListBox::mousePressEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonOf(event->button(), button))
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    m_pressGlobal = event->globalPosition().toPoint();
    Guard([&] {
        FlushRemeasure();
        MouseDown(button, shift, p.x(), p.y());
    });
}

void TCustomListBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    Guard([&] { MouseMove(shift, p.x(), p.y()); }, TGuardMode::Queue);
}

void TCustomListBox::mouseReleaseEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonOf(event->button(), button))
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    Guard([&] { MouseUp(button, shift, p.x(), p.y()); });
}

void TCustomListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons()) | ssDouble;
    Guard([&] { DblClick(shift, p.x(), p.y()); });
}

void TCustomListBox::keyPressEvent(QKeyEvent* event)
{
    int key = VirtualKeyCode(*event);
    const TShiftState shift = ShiftStateOf(event->modifiers());
    const QString text = event->text();
    Guard([&] {
        FlushRemeasure();
        KeyDown(key, shift, text);
    });
    // Keys a dialog acts on go on to the window.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->ignore();
        break;
    default:
        event->accept();
    }
}

void TCustomListBox::keyReleaseEvent(QKeyEvent* event)
{
    int key = VirtualKeyCode(*event);
    const TShiftState shift = ShiftStateOf(event->modifiers());
    Guard([&] { KeyUp(key, shift); });
    event->accept();
}

void TCustomListBox::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    InvalidateItem(m_itemIndex);
    Guard([&] { DoEnter(); });
}

void TCustomListBox::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    InvalidateItem(m_itemIndex);
    Guard([&] { DoExit(); });
}

void TCustomListBox::contextMenuEvent(QContextMenuEvent* event)
{
    bool handled = false;
    Guard([&] {
        if (OnContextPopup)
            OnContextPopup(this, TPoint::FromQPoint(event->pos()), handled);
    });
    if (handled)
        event->accept();
    else
        event->ignore();
}

// ---- the list's own handling ----------------------------------------------------------------

void TCustomListBox::SelectByMouse(int index, TShiftState shift)
{
    if (index < 0 || index >= Count())
        return;
    if (!m_multiSelect) {
        setItemIndex(index);
    } else if (m_extendedSelect) {
        if (shift & ssShift) {
            SelectRange(m_anchor >= 0 ? m_anchor : index, index, shift & ssCtrl);
        } else if (shift & ssCtrl) {
            m_entries[size_t(index)].selected = !m_entries[size_t(index)].selected;
            m_anchor = index;
        } else {
            SelectRange(index, index, false);
            m_anchor = index;
        }
        SetCaret(index);
    } else {
        m_entries[size_t(index)].selected = !m_entries[size_t(index)].selected;
        m_anchor = index;
        SetCaret(index);
    }
    viewport()->update();
    Click();
}

void TCustomListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    bool startDrag = false;
    if (button == mbLeft) {
        const int index = ItemAtPos(TPoint(x, y), true);
        m_pressIndex = index;
        m_pressShift = shift;
        m_clickOnRelease = false;
        m_tracking = false;
        const bool automatic = m_dragMode == dmAutomatic && index >= 0;
        // A press on an item of the selection keeps the selection for dragging it; the
        // click takes effect on release when no drag followed.
        const bool keepForDrag = automatic && m_multiSelect && m_entries[size_t(index)].selected &&
                                 (!(shift & ssShift) || (shift & ssCtrl));
        if (keepForDrag) {
            m_clickOnRelease = true;
            startDrag = true;
        } else if (index >= 0) {
            SelectByMouse(index, shift);
            m_tracking = !automatic;
            startDrag = automatic && !(m_multiSelect && (shift & (ssCtrl | ssShift)));
        }
    }
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
    if (startDrag && m_pressIndex >= 0 && m_pressIndex < Count())
        BeginDrag(false);
}

void TCustomListBox::MouseMove(TShiftState shift, int x, int y)
{
    if (m_tracking && (shift & ssLeft) && !DragActive()) {
        const int index = ItemAtPos(TPoint(x, y), true);
        if (index >= 0 && index != m_itemIndex) {
            if (!m_multiSelect) {
                setItemIndex(index);
                Click();
            } else if (m_extendedSelect) {
                SelectRange(m_anchor >= 0 ? m_anchor : index, index, m_pressShift & ssCtrl);
                SetCaret(index);
                Click();
            }
        }
    }
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TCustomListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        m_tracking = false;
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TCustomListBox::DblClick(TShiftState shift, int x, int y)
{
    if (OnDblClick)
        OnDblClick(this);
    if (OnMouseDown)
        OnMouseDown(this, mbLeft, shift, x, y);
}

void TCustomListBox::KeyDown(int& key, TShiftState shift, const QString&)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    if (key == 0 || Count() == 0)
        return;
    if (IsNavigationKey(key)) {
        MoveCaretByKey(key, shift);
    } else if (key == VK_SPACE && m_multiSelect && !m_extendedSelect && m_itemIndex >= 0) {
        m_entries[size_t(m_itemIndex)].selected = !m_entries[size_t(m_itemIndex)].selected;
        InvalidateItem(m_itemIndex);
        Click();
    }
}

void TCustomListBox::MoveCaretByKey(int key, TShiftState shift)
{
    const int n = Count();
    const int cur = m_itemIndex;
    const int page = std::max(1, VisibleCount() - 1);
    int target = cur;
    switch (key) {
    case VK_UP:
    case VK_LEFT: target = cur < 0 ? 0 : cur - 1; break;
    case VK_DOWN:
    case VK_RIGHT: target = cur < 0 ? 0 : cur + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = n - 1; break;
    case VK_PRIOR: target = cur < 0 ? 0 : cur - page; break;
    case VK_NEXT: target = cur < 0 ? 0 : cur + page; break;
    default: return;
    }
    target = std::clamp(target, 0, n - 1);
    if (!m_multiSelect) {
        if (target != cur) {
            setItemIndex(target);
            Click();
        }
        return;
    }
    if (m_extendedSelect) {
        if (shift & ssShift) {
            SelectRange(m_anchor >= 0 ? m_anchor : target, target, false);
        } else if (!(shift & ssCtrl)) {
            SelectRange(target, target, false);
            m_anchor = target;
        }
    }
    SetCaret(target);
    viewport()->update();
    Click();
}

void TCustomListBox::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TCustomListBox::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TCustomListBox::DoExit()
{
    if (OnExit)
        OnExit(this);
}
