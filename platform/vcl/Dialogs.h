#pragma once
// Message boxes, the common dialogs and the shell open, all through the interaction service.
#include "platform/vcl/Colors.h"
#include "platform/vcl/Interaction.h"

#include <QString>
#include <QStringList>

// Flags of Application->MessageBox.
constexpr int MB_OK = 0x0;
constexpr int MB_OKCANCEL = 0x1;
constexpr int MB_ABORTRETRYIGNORE = 0x2;
constexpr int MB_YESNOCANCEL = 0x3;
constexpr int MB_YESNO = 0x4;
constexpr int MB_RETRYCANCEL = 0x5;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONSTOP = MB_ICONERROR;
constexpr int MB_ICONHAND = MB_ICONERROR;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONWARNING = 0x30;
constexpr int MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr int MB_ICONINFORMATION = 0x40;
constexpr int MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr int MB_DEFBUTTON1 = 0x000;
constexpr int MB_DEFBUTTON2 = 0x100;
constexpr int MB_DEFBUTTON3 = 0x200;
// Results of Application->MessageBox.
constexpr int IDOK = mrOk;
constexpr int IDCANCEL = mrCancel;
constexpr int IDABORT = mrAbort;
constexpr int IDRETRY = mrRetry;
constexpr int IDIGNORE = mrIgnore;
constexpr int IDYES = mrYes;
constexpr int IDNO = mrNo;

// A message box of the type's caption ("Warning", "Error", "Information", "Confirm"; the
// application title for mtCustom) with the buttons; returns the modal result of the button
// pressed. The default button is OK, else Yes, else Retry; closing the box answers Cancel,
// else No, else OK.
int MessageDlg(const QString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// The message under the application title with an OK button.
void ShowMessage(const QString& message);
// The box of Application->MessageBox: MB_ flags in, IDOK .. IDNO out.
int MessageBoxFlags(const QString& text, const QString& caption, int flags);

// Options of the file dialogs (bits).
constexpr unsigned ofReadOnly = 0x1;
constexpr unsigned ofOverwritePrompt = 0x2;
constexpr unsigned ofHideReadOnly = 0x4;
constexpr unsigned ofNoChangeDir = 0x8;
constexpr unsigned ofAllowMultiSelect = 0x200;
constexpr unsigned ofPathMustExist = 0x800;
constexpr unsigned ofFileMustExist = 0x1000;

// The framework's open dialog. Filter is "Text|masks|Text|masks" (masks separated by ';',
// matched without regard to case; "*.*" matches every name). A successful Execute sets
// FileName and Files and, unless ofNoChangeDir, makes the chosen file's folder the process's
// current folder, as the framework's dialog did.
class TOpenDialog {
public:
    TOpenDialog() = default;
    virtual ~TOpenDialog() = default;

    QString Title;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    QString FileName;
    QString DefaultExt;
    unsigned Options = ofHideReadOnly;
    QStringList Files;

    // False when the user cancelled.
    bool Execute();

protected:
    explicit TOpenDialog(TAskKind kind) : m_kind(kind) {}

private:
    TAskKind m_kind = TAskKind::OpenFile;
};

// The save dialog: asks before replacing a file only with ofOverwritePrompt.
class TSaveDialog : public TOpenDialog {
public:
    TSaveDialog() : TOpenDialog(TAskKind::SaveFile) {}
};

class TColorDialog {
public:
    TColor Color = clBlack;
    QString Title;
    // False when the user cancelled (Color is then unchanged).
    bool Execute();
};

// Asks for a folder, starting at directory; true and the chosen folder in directory on OK.
bool SelectDirectory(const QString& caption, const QString& root, QString& directory);

// The filter in Qt's form ("Text (*.[jJ][pP][gG])"), masks made case-insensitive and "*.*"
// turned into "*".
QString QtFileFilter(const QString& frameworkFilter);

// Shell open results (ShellExecute-like: above 32 is success).
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_NOASSOC = 31;
constexpr int kShellOpenOk = 42;

// Opens a web address, mail address ("mailto:") or local file or folder (an absolute or
// relative path, or a "file:" URL) with the user's preferred application. A local target
// that does not exist gives SE_ERR_FNF without launching anything; a launch that fails gives
// SE_ERR_NOASSOC; success gives kShellOpenOk.
int ShellOpen(const QString& target);
