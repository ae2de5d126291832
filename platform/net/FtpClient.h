#pragma once
// TFtpClient: an FTP client over libcurl with the operations and events the program's FTP
// window expects: connect (host, integer port, user, password, time-out), binary mode, change,
// make and remove folders, delete, upload, download, the current folder, abort and
// disconnect. One control connection is opened at Connect and reused by every command until
// Disconnect. An upload makes the folders of its target that the server does not have. Every call blocks the calling thread; Idle runs often meanwhile (the window
// processes its events there), and Abort from inside Idle stops the transfer in progress.
//
// Paths are server paths: absolute ("/htdocs/x.jpg") or relative to the current folder that
// the client tracks. Nothing is lower-cased or otherwise changed.
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

// The transactions, numbered as the events report them.
enum class TFtpTransaction {
    ChangeDir = 0,
    MakeDir,
    Delete,
    RemoveDir,
    List,
    Rename,
    UploadRestore,
    DownloadRestore,
    Download,
    Upload,
    UploadAppend,
    ReInit,
    Allocate,
    NList,
    DoCommand,
};
// "ChangeDir", "MakeDir", ... "DoCommand".
QString FtpTransactionName(TFtpTransaction transaction);

// A failure to connect (its text says why).
class EFtpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TFtpClient {
public:
    TFtpClient();
    ~TFtpClient();
    TFtpClient(const TFtpClient&) = delete;
    TFtpClient& operator=(const TFtpClient&) = delete;

    QString Host;  // a name or address; an "ftp://" typed in front is ignored
    int Port = 21;
    QString UserID;
    QString Password;
    // ms: for the connection, every reply to a command, and a transfer that stands still.
    int TimeOut = 10000;

    // Logs in and learns the login folder. Raises EFtpError (and stays disconnected) when the
    // host is unknown, the connection is refused or times out, or the login is refused.
    void Connect();
    // Closes the connection (after the call in progress, when called from Idle).
    void Disconnect();
    bool Connected() const;
    // 2: binary (the default); 1: ASCII.
    void SetMode(int mode);

    // Each returns true on success and reports OnSuccess, OnFailure or OnUnSupportedFunction
    // with its transaction. Nothing is sent while disconnected (false, no event).
    bool ChangeDir(const QString& folder);  // "../" goes up
    bool MakeDirectory(const QString& folder);
    bool RemoveDir(const QString& folder);
    bool Delete(const QString& file);
    bool Upload(const QString& localFile, const QString& remoteFile);
    bool Download(const QString& remoteFile, const QString& localFile);
    // The current folder, absolute ("/" at the top).
    QString CurrentDir() const;

    // Stops the transfer in progress (from Idle or an event); the call returns false.
    void Abort();

    // Events, on the calling thread.
    std::function<void(TFtpTransaction)> OnSuccess;
    std::function<void(TFtpTransaction)> OnFailure;
    std::function<void(TFtpTransaction)> OnUnSupportedFunction;
    std::function<void()> OnConnect;
    std::function<void()> OnDisconnect;
    std::function<void()> OnHostResolved;
    std::function<void()> OnTransactionStart;
    std::function<void()> OnTransactionStop;
    std::function<void(std::int64_t sent, std::int64_t total)> OnPacketSent;
    std::function<void(std::int64_t received, std::int64_t total)> OnPacketRecvd;
    // The connection broke during a command (curl's code and text); the client is
    // disconnected afterwards.
    std::function<void(int number, const QString& text)> OnError;
    // Runs while a call waits on the network.
    std::function<void()> Idle;

    // The server's reply code of the last command (0 when none came).
    int LastReply() const;
    // Why the last failed call failed: the server's refusal as it replied ("550 No such
    // file"), else the client's reason ("Operation too slow ..."). Valid in OnFailure.
    QString LastFailureText() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
