#pragma once
// TForm: the base of every window, with the framework's form life cycle.
//
// The form loader: a window's constructor ends with Load([this] { ui.setupUi(this); }), which
//  1. runs setupUi in the loading state (IsLoading(child) is true for every object below the
//     window, so setters called by setupUi can tell a form description from a program change);
//  2. calls Loaded() on every object below the window that implements ILoaded;
//  3. makes every button with a ModalResult dynamic property set the window's ModalResult
//     when clicked (before the button's own handler runs);
//  4. calls BindEvents(), the window's binding table (each connection through Bind, so the
//     handler runs inside the guard);
//  5. calls FormCreate() inside the guard (an exception is shown; the window stays usable).
// Exceptions of steps 1-4 leave Load.
//
// Hooks, each run inside the guard:
//  - FormShow: whenever the window is shown by the program.
//  - FormActivate: when the window becomes the program's active window: when it is shown and
//    when focus comes back to it from another window of this program; not when the user
//    returns to it from another program, and not when a message box or common dialog over it
//    closes.
//  - FormCloseQuery / FormClose: when the window closes (the close box, Close(), or a modal
//    result). FormClose's action starts as caHide; caNone keeps the window open, caFree
//    frees it later, caMinimize minimises it. Closing the main window ends the program;
//    during long work (TLongWork, ProcessMessages) its close request is held and replayed
//    when the work has returned.
//  - FormDestroy: from Free() or Release(), before the window and its child windows go.
//
// ModalResult is the dynamic property "ModalResult". ShowModal shows the window modally
// (through the interaction service) and returns its ModalResult; while the window is modal,
// setting a non-zero ModalResult closes it once the current handler has returned (so the
// handler may still reset it). Closing a modal window by its close box gives mrCancel.
#include "platform/vcl/Guard.h"
#include "platform/vcl/Interaction.h"

#include <QDialog>
#include <QPointer>

#include <functional>

// Objects with work to do once their window's description has been read.
class ILoaded {
public:
    virtual ~ILoaded() = default;
    virtual void Loaded() = 0;
};

// True while the window above object is being loaded (the framework's csLoading).
bool IsLoading(const QObject* object);

enum TCloseAction { caNone, caHide, caFree, caMinimize };

class TForm : public QDialog {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    // The form loader (see above); call it at the end of the most-derived constructor.
    void Load(const std::function<void()>& setupUi);
    bool Loading() const;

    int ModalResult() const;
    void SetModalResult(int result);
    int ShowModal();
    // Shows the window and makes it the active window.
    void Show();
    // Runs the FormDestroy hooks (this window's, then its child windows') and deletes the
    // window now (Free) or from the event loop (Release).
    void Free();
    void Release();

    // The program's active window (the last TForm activated and not hidden since).
    static TForm* ActiveForm();

    // For interaction services. ExecModal runs the window's modal loop and returns its
    // ModalResult (mrCancel when it ended without one). BeginModal shows the window as a
    // modal window without a loop; EndModal(result) then closes it as a ModalResult of
    // result would (FormCloseQuery, FormClose) and hides it even when the hooks refuse, in
    // which case it returns false.
    int ExecModal();
    void BeginModal();
    bool EndModal(int result);
    bool InModal() const { return m_modal != ModalState::None; }

public slots:
    void reject() override;

protected:
    virtual void BindEvents() {}
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormActivate() {}
    virtual void FormCloseQuery(bool& /*canClose*/) {}
    virtual void FormClose(TCloseAction& /*action*/) {}
    virtual void FormDestroy() {}

    // Bind(sender, signal, handler): a binding table entry of this window; handler is a
    // member function of the window (or a callable), run inside the guard.
    template <class Sender, class Signal, class Handler>
    QMetaObject::Connection Bind(Sender* sender, Signal signal, Handler handler,
                                 TGuardMode mode = TGuardMode::Show)
    {
        return ::Bind(sender, signal, this, std::move(handler), mode);
    }

    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    enum class ModalState { None, Loop, Scripted };
    // FormCloseQuery, then FormClose with action starting at caHide; false when the window
    // stays open.
    bool RunCloseHooks(TCloseAction& action);
    void ModalResultChanged();
    void CloseModalLoop();
    void RunDestroyHooks();
    void BindModalButtons();

    ModalState m_modal = ModalState::None;
    bool m_modalCheckQueued = false;
    bool m_closing = false;
    bool m_destroyed = false;
};

// Held close requests of the main window and user input held back by ProcessMessages.
class TLongWork {
public:
    TLongWork();
    ~TLongWork();
    TLongWork(const TLongWork&) = delete;
    TLongWork& operator=(const TLongWork&) = delete;
    // True inside a TLongWork scope or a ProcessMessages call.
    static bool Active();
};
