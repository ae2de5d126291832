#pragma once
// The interaction service: everything that waits for a person goes through Interaction().Ask:
// message boxes, modal windows and their results, the common dialogs (open file, save file,
// select folder, colour), shell opens, and later started programs, audio playback, the web
// view and the printer.
//
// The production service (TQtInteraction) shows real Qt dialogs; the kinds it does not build
// in are served by handlers that their own layers register with SetHandler. Tests install a
// scripted service that answers from a script, records what was asked and fails the test on
// an unscripted box or modal window (tests/support/ScriptedUi.h).
#include "platform/vcl/Colors.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <initializer_list>

class TForm;

// Modal results; Application->MessageBox returns the same numbers (IDOK = 1 ... IDNO = 7).
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;
constexpr int mrAll = 8;
constexpr int mrNoToAll = 9;
constexpr int mrYesToAll = 10;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

// A set of message box buttons, written as the framework writes it: {mbYes, mbNo}.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (TMsgDlgBtn b : buttons)
            m_bits |= 1u << b;
    }
    constexpr TMsgDlgButtons& Add(TMsgDlgBtn b)
    {
        m_bits |= 1u << b;
        return *this;
    }
    constexpr bool Contains(TMsgDlgBtn b) const { return m_bits & (1u << b); }
    constexpr bool IsEmpty() const { return m_bits == 0; }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;
    constexpr unsigned Bits() const { return m_bits; }

private:
    unsigned m_bits = 0;
};
constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The modal result a button gives (mbHelp gives mrNone).
int ModalResultOf(TMsgDlgBtn b);

enum class TAskKind {
    MessageBox,    // Type, Caption, Text, Buttons, DefaultResult -> Result (a modal result)
    ModalWindow,   // Form, ClassName, Caption -> Result (the window's ModalResult)
    OpenFile,      // Caption, Text (file name), Data -> Result 1 and Files, or Result 0
    SaveFile,      // as OpenFile
    SelectFolder,  // Caption, Text (start folder) -> Result 1 and Files[0], or Result 0
    Color,         // Caption, Data["Color"] -> Result 1 and Color, or Result 0
    ShellOpen,     // Text (URL) -> Result non-zero when something was launched
    StartProgram,
    AudioPlayback,
    WebView,
    Printer,
};
// "MessageBox", "ModalWindow", ... (for messages and test output).
QString AskKindName(TAskKind kind);

struct TAskRequest {
    TAskKind Kind = TAskKind::MessageBox;
    QString Caption;
    QString Text;
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons;
    int DefaultResult = mrNone;  // the modal result of the default button
    QString ClassName;           // modal windows: the window's class name
    TForm* Form = nullptr;       // modal windows
    // File dialogs: "Filter" (framework form "Text|*.jpg;*.png|All|*.*"), "FilterIndex"
    // (1-based), "InitialDir", "DefaultExt", "Options" (the dialog's option bits).
    // Colour: "Color" (the start colour). Later kinds add their own keys.
    QVariantMap Data;
};

struct TAskAnswer {
    TAskAnswer() = default;
    explicit TAskAnswer(int result, QStringList files = {}) : Result(result), Files(std::move(files)) {}

    int Result = 0;
    QStringList Files;
    TColor Color = clNone;
    QVariant Value;  // file dialogs: the chosen filter index; later kinds: their own
};

class TInteraction {
public:
    virtual ~TInteraction();
    virtual TAskAnswer Ask(TAskRequest& request) = 0;
};

// The service in use (the production service unless another was installed).
TInteraction& Interaction();
// Installs service (not owned; nullptr restores the production service); returns the
// previous one.
TInteraction* SetInteraction(TInteraction* service);

// Opens url with the desktop's opener (program, "xdg-open" on the PATH) and waits up to
// waitMs for its exit while the window keeps painting: 1 when it exited with 0 or still runs
// (a browser on its way), 0 when it could not start or exited with another code (no browser
// set up). A process still running is reaped when it ends.
int OpenUrlAndWait(const QString& url, const QString& program = QStringLiteral("xdg-open"), int waitMs = 2000);

// Real dialogs, on top of the active window.
class TQtInteraction : public TInteraction {
public:
    using Handler = std::function<TAskAnswer(TAskRequest&)>;
    TAskAnswer Ask(TAskRequest& request) override;
    // Serves kind with handler in production (for the kinds that later layers bring).
    static void SetHandler(TAskKind kind, Handler handler);
};
