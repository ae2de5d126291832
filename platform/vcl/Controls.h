#pragma once
// What the framework's controls share: the event types with their framework signatures, key
// codes and shift states, and the framework's drag and drop between controls.
//
// Drag and drop: a control that takes part implements TDragControl. BeginDrag(source) starts
// a drag at the mouse position; with immediate false it begins only once the mouse has moved
// the threshold (5 pixels) with the button held, and a release before that is a click. While
// the drag runs, every mouse move asks the control under the mouse (DoDragOver with
// dsDragEnter, then dsDragMove; dsDragLeave for the one it left) whether it takes the drag.
// On release over a control that accepted it, the target gets DoDragDrop(source, X, Y) and
// then the source DoEndDrag(target, X, Y), both in the target's client coordinates; otherwise
// the source gets DoEndDrag(nullptr, 0, 0). Escape cancels the drag. The drag runs inside the
// program (no Qt drag object), so tests drive it with ordinary mouse events.
#include "platform/vcl/Types.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

class QKeyEvent;
class QWidget;

// Shift state bits of the framework.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;
constexpr TShiftState ssDouble = 0x40;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Virtual-key codes of the framework ('0'..'9' and 'A'..'Z' are their characters).
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;
constexpr int VK_PAUSE = 19;
constexpr int VK_CAPITAL = 20;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PRIOR = 33;
constexpr int VK_NEXT = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_INSERT = 45;
constexpr int VK_DELETE = 46;
constexpr int VK_NUMPAD0 = 96;
constexpr int VK_MULTIPLY = 106;
constexpr int VK_ADD = 107;
constexpr int VK_SUBTRACT = 109;
constexpr int VK_DECIMAL = 110;
constexpr int VK_DIVIDE = 111;
constexpr int VK_F1 = 112;
constexpr int VK_OEM_1 = 186;       // ;
constexpr int VK_OEM_PLUS = 187;    // =
constexpr int VK_OEM_COMMA = 188;
constexpr int VK_OEM_MINUS = 189;
constexpr int VK_OEM_PERIOD = 190;
constexpr int VK_OEM_2 = 191;       // /
constexpr int VK_OEM_3 = 192;       // `
constexpr int VK_OEM_4 = 219;       // [
constexpr int VK_OEM_5 = 220;       // backslash
constexpr int VK_OEM_6 = 221;       // ]
constexpr int VK_OEM_7 = 222;       // '

// The framework's key code of a Qt key event (0 for a key it has no code for).
int VirtualKeyCode(const QKeyEvent& event);
// The shift state of keyboard modifiers and mouse buttons.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
// The framework's button of a Qt mouse button: left, right and middle; false for any other
// button (back, forward, extra buttons), which the controls ignore.
bool MouseButtonOf(Qt::MouseButton button, TMouseButton& out);

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TMouseEvent = std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;
// Setting Key to 0 keeps the control from acting on the key.
using TKeyEvent = std::function<void(QObject* Sender, int& Key, TShiftState Shift)>;
using TContextPopupEvent = std::function<void(QObject* Sender, TPoint MousePos, bool& Handled)>;

enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// Accept starts true when the handler is called; the handler clears it to refuse.
using TDragOverEvent =
    std::function<void(QObject* Sender, QObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(QObject* Sender, QObject* Source, int X, int Y)>;
// Target is null (and X, Y are 0) when no control took the drag.
using TEndDragEvent = std::function<void(QObject* Sender, QObject* Target, int X, int Y)>;

// A control that can be dragged and dropped on.
class TDragControl {
public:
    virtual ~TDragControl();
    // The object handed to the events as Sender, Source and Target (the control itself).
    virtual QObject* DragSender() = 0;
    // The widget whose client coordinates the events use, and which must be under the mouse.
    virtual QWidget* DragClient() = 0;
    // Target side: accept starts false; the default refuses every drag.
    virtual void DoDragOver(QObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DoDragDrop(QObject* source, int x, int y);
    // Source side: the drag ended; moved is false when the mouse was released before the
    // drag began (a click), in which case target is null.
    virtual void DoEndDrag(QObject* target, int x, int y, bool moved);
};

// The framework's drag threshold in pixels.
constexpr int kDragThreshold = 5;

// Starts dragging source (see above) from startGlobal (default: the cursor position); a
// running drag is cancelled first. threshold < 0 means kDragThreshold.
void BeginDrag(TDragControl* source, bool immediate, int threshold = -1,
               std::optional<QPoint> startGlobal = std::nullopt);
// True from BeginDrag until the drag has ended.
bool DragActive();
// True once the drag has begun (the threshold passed).
bool Dragging();
// Ends a running drag as Escape does.
void CancelDrag();
// The drag control under a point in global coordinates (a disabled one does not count).
TDragControl* FindDragTarget(const QPoint& globalPos);
