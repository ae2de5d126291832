#pragma once
// The application object: Application (title, main window, event processing, message boxes,
// exception display), Screen (the cursor, the screen size) and everything a window needs
// (the guard, the forms, the dialogs, the interaction service).
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Guard.h"
#include "platform/vcl/Interaction.h"

#include <QEvent>
#include <QPointer>
#include <QString>

#include <exception>

class TApplication {
public:
    // The caption of ShowMessage and the error boxes; the application name until set.
    QString Title() const;
    void SetTitle(const QString& title) { m_title = title; }

    // The main window: the first TForm made without a parent, unless set.
    TForm* MainForm() const { return m_mainForm; }
    void SetMainForm(TForm* form) { m_mainForm = form; }

    // Processes the pending events with user input held back (held-back input arrives
    // afterwards); a close request of the main window meanwhile is held (see TLongWork).
    void ProcessMessages();

    // Shows the error box for e, as the guard does.
    void HandleException(std::exception_ptr e = std::current_exception(),
                         TGuardMode mode = TGuardMode::Show) noexcept
    {
        ::HandleException(e, mode);
    }
    void ShowException(const QString& message) noexcept { ::ShowException(message); }

    // The framework's Application->MessageBox (MB_ flags, IDOK .. IDNO).
    int MessageBox(const QString& text, const QString& caption, int flags = MB_OK)
    {
        return MessageBoxFlags(text, caption, flags);
    }

    // Ends the program: leaves the event loop once control returns to it.
    void Terminate();
    bool Terminated() const { return m_terminated; }

private:
    QString m_title;
    QPointer<TForm> m_mainForm;
    bool m_terminated = false;
};

extern TApplication* const Application;

// Cursor values of the framework.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// The Qt cursor shape of a framework cursor (crDefault gives the arrow).
Qt::CursorShape CursorShapeOf(TCursor cursor);

class TScreen {
public:
    // The program-wide cursor: one value, set and reset (never a stack). Anything but
    // crDefault overrides every window's own cursor until crDefault is set again.
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor);
    // The primary screen's size in pixels.
    int Width() const;
    int Height() const;
    TForm* ActiveForm() const { return TForm::ActiveForm(); }

private:
    TCursor m_cursor = crDefault;
    bool m_overridden = false;
};

extern TScreen* const Screen;

// True for the events a person makes: mouse, keys, wheel, touch, tablet, context menu and
// shortcuts (the ones ProcessMessages holds back).
bool IsUserInput(QEvent::Type type);

// Screen->SetCursor(busy ? crHourGlass : crDefault).
void SetBusyCursor(bool busy);

// The hourglass for the life of the object; the default cursor afterwards.
class TBusyCursor {
public:
    TBusyCursor() { Screen->SetCursor(crHourGlass); }
    ~TBusyCursor() { Screen->SetCursor(crDefault); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

