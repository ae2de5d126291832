#include "platform/vcl/Controls.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Guard.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <cstdlib>

int VirtualKeyCode(const QKeyEvent& event)
{
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;  // the same codes
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (event.modifiers() & Qt::KeypadModifier) ? VK_NUMPAD0 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return (event.modifiers() & Qt::KeypadModifier) ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Minus: return (event.modifiers() & Qt::KeypadModifier) ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return (event.modifiers() & Qt::KeypadModifier) ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash: return (event.modifiers() & Qt::KeypadModifier) ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Semicolon: return VK_OEM_1;
    case Qt::Key_QuoteLeft: return VK_OEM_3;
    case Qt::Key_BracketLeft: return VK_OEM_4;
    case Qt::Key_Backslash: return VK_OEM_5;
    case Qt::Key_BracketRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: return VK_OEM_7;
    default: return 0;
    }
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ssShift;
    if (modifiers & Qt::AltModifier)
        s |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

bool MouseButtonOf(Qt::MouseButton button, TMouseButton& out)
{
    switch (button) {
    case Qt::LeftButton: out = mbLeft; return true;
    case Qt::RightButton: out = mbRight; return true;
    case Qt::MiddleButton: out = mbMiddle; return true;
    default: return false;
    }
}

void ForgetDragControl(TDragControl* control) noexcept;

TDragControl::~TDragControl() { ForgetDragControl(this); }

void TDragControl::DoDragOver(QObject*, int, int, TDragState, bool& accept) { accept = false; }

void TDragControl::DoDragDrop(QObject*, int, int) {}

void TDragControl::DoEndDrag(QObject*, int, int, bool) {}

namespace {

QWidget* WidgetAtGlobal(const QPoint& globalPos)
{
    if (QWidget* w = QApplication::widgetAt(globalPos))
        return w;
    // Platforms without a window stack (offscreen) may not find it: search the windows.
    const QList<QWidget*> tops = QApplication::topLevelWidgets();
    for (auto it = tops.crbegin(); it != tops.crend(); ++it) {
        QWidget* top = *it;
        if (!top->isVisible() || !top->geometry().contains(globalPos))
            continue;
        QWidget* child = top->childAt(top->mapFromGlobal(globalPos));
        return child ? child : top;
    }
    return nullptr;
}

// One drag at a time, tracked through an application event filter while it runs.
class DragTracker : public QObject {
public:
    void Begin(TDragControl* source, bool immediate, int threshold, const QPoint& start)
    {
        if (m_active)
            Cancel();
        QWidget* client = source ? source->DragClient() : nullptr;
        if (!client)
            return;
        m_source = source;
        m_sourceWidget = client;
        m_start = start;
        m_lastPos = start;
        m_threshold = threshold < 0 ? kDragThreshold : threshold;
        m_active = true;
        m_started = false;
        m_target = nullptr;
        m_targetWidget = nullptr;
        m_accepted = false;
        qApp->installEventFilter(this);
        if (immediate)
            Start(m_start);
    }

    bool Active() const { return m_active; }

    // A control goes away: the drag forgets it without calling it (a source ends the drag).
    void Forget(TDragControl* control) noexcept
    {
        if (!m_active)
            return;
        if (control == m_target) {
            m_target = nullptr;
            m_targetWidget = nullptr;
            m_accepted = false;
        }
        if (control == m_source) {
            if (QCoreApplication* app = QCoreApplication::instance())
                app->removeEventFilter(this);
            RestoreCursor();
            m_active = false;
            m_started = false;
            m_source = nullptr;
            m_sourceWidget = nullptr;
            m_target = nullptr;
            m_targetWidget = nullptr;
        }
    }
    bool Started() const { return m_active && m_started; }

    void Cancel()
    {
        if (!m_active)
            return;
        Finish(m_lastPos, false);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_active)
            return false;
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            const QPoint global = me->globalPosition().toPoint();
            if (!(me->buttons() & Qt::LeftButton) && !(me->buttons() & Qt::RightButton)) {
                Finish(global, true);
                return true;
            }
            if (!m_started) {
                if (std::abs(global.x() - m_start.x()) >= m_threshold ||
                    std::abs(global.y() - m_start.y()) >= m_threshold)
                    Start(global);
            } else {
                MoveTo(global);
            }
            return true;
        }
        case QEvent::MouseButtonRelease:
            Finish(static_cast<QMouseEvent*>(event)->globalPosition().toPoint(), true);
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                Finish(m_lastPos, false);
                return true;
            }
            return false;
        default:
            (void)watched;
            return false;
        }
    }

private:
    bool SourceAlive() const { return m_sourceWidget; }

    void Start(const QPoint& global)
    {
        m_started = true;
        if (Screen->Cursor() == crDefault) {
            QGuiApplication::setOverrideCursor(QCursor(CursorShapeOf(crNoDrop)));
            m_cursorSet = true;
        }
        MoveTo(global);
    }

    void ShowCursor()
    {
        if (m_cursorSet)
            QGuiApplication::changeOverrideCursor(QCursor(CursorShapeOf(m_accepted ? crDrag : crNoDrop)));
    }

    void RestoreCursor()
    {
        if (m_cursorSet)
            QGuiApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }

    // Follows the mouse: leave the old target, enter the new one or move over it.
    void MoveTo(const QPoint& global)
    {
        m_lastPos = global;
        if (!SourceAlive())
            return;
        TDragControl* target = FindDragTarget(global);
        if (m_target && !m_targetWidget)
            m_target = nullptr;  // the old target went away
        QObject* source = m_source->DragSender();
        if (target != m_target) {
            if (m_target) {
                TDragControl* old = m_target;
                const QPoint p = m_targetWidget->mapFromGlobal(global);
                Guard([&] {
                    bool ignored = false;
                    old->DoDragOver(source, p.x(), p.y(), dsDragLeave, ignored);
                }, TGuardMode::Queue);
            }
            m_target = target;
            m_targetWidget = target ? target->DragClient() : nullptr;
            m_accepted = false;
            if (target)
                Over(global, dsDragEnter);
        } else if (target) {
            Over(global, dsDragMove);
        }
        if (!m_target)
            m_accepted = false;
        ShowCursor();
    }

    void Over(const QPoint& global, TDragState state)
    {
        QObject* source = m_source->DragSender();
        const QPoint p = m_targetWidget->mapFromGlobal(global);
        bool accept = false;
        TDragControl* target = m_target;
        Guard([&] { target->DoDragOver(source, p.x(), p.y(), state, accept); }, TGuardMode::Queue);
        m_accepted = accept;
    }

    // Ends the drag: drop (when the target accepted) and end, from a clean state, since the
    // handlers may start another drag or open a window.
    void Finish(const QPoint& global, bool drop)
    {
        const bool started = m_started;
        if (started && drop && global != m_lastPos)
            MoveTo(global);
        TDragControl* source = SourceAlive() ? m_source : nullptr;
        TDragControl* target = m_targetWidget ? m_target : nullptr;
        QPointer<QWidget> targetWidget = m_targetWidget;
        QPointer<QWidget> sourceWidget = m_sourceWidget;
        const bool accepted = started && drop && target && m_accepted;
        const QPoint p = targetWidget ? targetWidget->mapFromGlobal(global) : QPoint();

        qApp->removeEventFilter(this);
        RestoreCursor();
        m_active = false;
        m_started = false;
        m_source = nullptr;
        m_target = nullptr;
        m_sourceWidget = nullptr;
        m_targetWidget = nullptr;

        if (!source)
            return;
        QObject* sourceSender = source->DragSender();
        if (accepted) {
            Guard([&] { target->DoDragDrop(sourceSender, p.x(), p.y()); });
            QObject* targetSender = targetWidget ? target->DragSender() : nullptr;
            if (sourceWidget)
                Guard([&] { source->DoEndDrag(targetSender, targetSender ? p.x() : 0, targetSender ? p.y() : 0, true); });
            return;
        }
        if (started && target && targetWidget)
            Guard([&] {
                bool ignored = false;
                target->DoDragOver(sourceSender, p.x(), p.y(), dsDragLeave, ignored);
            });
        if (sourceWidget)
            Guard([&] { source->DoEndDrag(nullptr, 0, 0, started); });
    }

    bool m_active = false;
    bool m_started = false;
    bool m_accepted = false;
    bool m_cursorSet = false;
    int m_threshold = kDragThreshold;
    QPoint m_start;
    QPoint m_lastPos;
    TDragControl* m_source = nullptr;
    QPointer<QWidget> m_sourceWidget;
    TDragControl* m_target = nullptr;
    QPointer<QWidget> m_targetWidget;
};

DragTracker* g_tracker = nullptr;  // made by the first drag, lives as long as the process

DragTracker& Tracker()
{
    if (!g_tracker)
        g_tracker = new DragTracker;
    return *g_tracker;
}

} // namespace

void ForgetDragControl(TDragControl* control) noexcept
{
    if (g_tracker)
        g_tracker->Forget(control);
}

TDragControl* FindDragTarget(const QPoint& globalPos)
{
    for (QWidget* w = WidgetAtGlobal(globalPos); w; w = w->parentWidget()) {
        if (auto* control = dynamic_cast<TDragControl*>(w)) {
            QWidget* client = control->DragClient();
            return client && client->isEnabled() ? control : nullptr;
        }
        if (w->isWindow())
            break;
    }
    return nullptr;
}

void BeginDrag(TDragControl* source, bool immediate, int threshold, std::optional<QPoint> startGlobal)
{
    Tracker().Begin(source, immediate, threshold, startGlobal ? *startGlobal : QCursor::pos());
}

bool DragActive() { return Tracker().Active(); }

bool Dragging() { return Tracker().Started(); }

void CancelDrag() { Tracker().Cancel(); }
