#pragma once
// Result codes of the imaging kernel as English texts, the exceptions of the picture control
// and the reporting operations that turn a failure code into an exception.
//
// Codes follow the kernel's convention: 1 success, 0 or negative a failure.
#include "platform/vcl/Exceptions.h"

#include <QString>

// The text for a result code: -916 to -901 and -400 to 1 from the tables (1 gives an empty
// text), any other code "Undefined Error: " followed by the code.
QString LeadErrorText(int code);

// Fixed texts of the picture control's database link and address download.
inline constexpr const char* kInvalidFieldTypeText =
    "TLEADImage.DataField can only be connected to columns of type Blob";
inline constexpr const char* kUrlmonMissingText =
    "Unable to locate \"URLMON.DLL\".\rInternet feature disabled.";

// A failure of an imaging operation; ErrorCode is the code the message was made for.
class ELeadImageError : public Exception {
public:
    explicit ELeadImageError(const QString& message, int errorCode = 0)
        : Exception(message), ErrorCode(errorCode) {}
    int ErrorCode;
};

// A database field that cannot hold a picture was linked to the control.
class EInvalidFieldType : public Exception {
public:
    EInvalidFieldType() : Exception(QString::fromLatin1(kInvalidFieldTypeText)) {}
    using Exception::Exception;
};

// An operation called in a state that does not allow it (a feed load that was not started).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// The reporting state and operations of the picture control, which derives from this class.
// Every message opens with the control's name and a blank; raises that "ignore
// EnableMethodErrors" happen whatever the switch says.
class TLeadErrorReporter {
public:
    TLeadErrorReporter() = default;
    TLeadErrorReporter(const TLeadErrorReporter&) = delete;
    TLeadErrorReporter& operator=(const TLeadErrorReporter&) = delete;
    virtual ~TLeadErrorReporter() = default;

    // The code of the last operation; 1 after construction.
    int LastError() const { return m_lastError; }
    void SetLastError(int code) { m_lastError = code; }

    // Off: failing operations return their code instead of raising.
    bool EnableMethodErrors() const { return m_enableMethodErrors; }
    void setEnableMethodErrors(bool on) { m_enableMethodErrors = on; }

    // "<name> \nError code: <code>\n<operation>: <text for code> "
    QString FailureMessage(const QString& operation, int code) const;

    // Stores code; raises the failure message when code is not 1 and EnableMethodErrors is
    // on, else returns code.
    int ReportResult(const QString& operation, int code);
    // The same, raising only when raiseOnError is also true.
    int ReportResultIf(const QString& operation, int code, bool raiseOnError);
    // Stores code and raises the failure message, even for code 1.
    [[noreturn]] void RaiseResult(const QString& operation, int code);

    // Raises through RaiseResult: "Animation" with -16 while an animation plays, then
    // "Processing not allowed" with 0 while processing is locked.
    void CheckProcessingAllowed();
    // CheckProcessingAllowed; then, unless skipCheck is 1, LastError -2 and
    // "<name> \n<operation>: Image not allocated." when no image is held, else LastError 1.
    // Returns LastError.
    int CheckAllocated(const QString& operation, int skipCheck = 0);

    // LastError -2 and "<name> \n<operation>: Image not allocated.".
    [[noreturn]] void RaiseNotAllocated(const QString& operation);
    // LastError := code and "<name> \n<operation>: <detail>", e.g. ("BitmapListCount",
    // "No bitmap list.", -2), ("DataField", "No DataLink.", 0).
    [[noreturn]] void RaiseOperationError(const QString& operation, const QString& detail, int code);
    // LastError -13 and "<name> \n <property>: Invalid value passed.".
    [[noreturn]] void RaiseInvalidValue(const QString& propertyName);
    // "<name> \n<text>" with LastError left as it is (property checks that keep LastError).
    [[noreturn]] void RaiseText(const QString& text, int code) const;

    // Switch EnableMethodErrors off and back to what it was. Calls nest: only the outermost
    // pair saves and restores; a resume without a suspend does nothing.
    void SuspendMethodErrors();
    void ResumeMethodErrors();

protected:
    // The control's component name, which opens every message.
    virtual QString ComponentName() const = 0;
    // The control holds an image (its working bitmap is valid).
    virtual bool IsImageHeld() const = 0;
    // An animation is playing back.
    virtual bool IsAnimationPlaying() const = 0;
    // A bitmap device context is handed out, or a load, save or status callback runs.
    virtual bool IsProcessingLocked() const = 0;

private:
    int m_lastError = 1;
    bool m_enableMethodErrors = true;
    bool m_savedMethodErrors = true;
    int m_suspendDepth = 0;
};
