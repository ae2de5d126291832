#include "platform/net/FtpClient.h"

#include "platform/vcl/SafeFile.h"

#include <curl/curl.h>

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QUrl>

#include <exception>
#include <mutex>
#include <optional>

namespace {

const char* const kTransactionNames[] = {"ChangeDir",   "MakeDir",  "Delete",     "RemoveDir", "List",
                                         "Rename",      "UploadRestore", "DownloadRestore", "Download", "Upload",
                                         "UploadAppend", "ReInit",  "Allocate",   "NList",     "DoCommand"};

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// "." and ".." and empty steps taken out of an absolute path.
QString Normalized(const QString& absolute)
{
    QStringList out;
    for (const QString& step : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("."))
            continue;
        if (step == QLatin1String("..")) {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out << step;
    }
    return QLatin1Char('/') + out.join(QLatin1Char('/'));
}

// Codes after which the control connection is gone.
bool ConnectionLost(CURLcode code)
{
    switch (code) {
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_LOGIN_DENIED:
        return true;
    default:
        return false;
    }
}

// The longest sleep of the perform loop between looks at the connection.
constexpr long kPollMs = 5;

struct CurlList {
    curl_slist* list = nullptr;
    ~CurlList() { curl_slist_free_all(list); }
    void Add(const QString& line) { list = curl_slist_append(list, line.toUtf8().constData()); }
};

} // namespace

QString FtpTransactionName(TFtpTransaction transaction)
{
    const int i = int(transaction);
    return i >= 0 && i < int(std::size(kTransactionNames)) ? QString::fromLatin1(kTransactionNames[i]) : QString();
}

struct TFtpClient::Impl {
    TFtpClient& client;
    CURLM* multi = nullptr;  // holds the connection between calls
    CURL* curl = nullptr;
    bool connected = false;
    bool busy = false;
    bool aborted = false;
    bool closeAfterCall = false;
    bool binary = true;
    QString cwd = QStringLiteral("/");
    int lastReply = 0;
    QString failureReply;  // the last reply of 400 and above
    QString failureText;   // why the last call failed
    QString writeFailure;  // why the local file of a download could not be written
    char errorBuffer[CURL_ERROR_SIZE] = {};
    QStringList replies;
    std::exception_ptr pending;
    QFile* upload = nullptr;
    TSafeFile* download = nullptr;
    bool uploading = false;
    curl_off_t lastSent = -1, lastReceived = -1;
    QElapsedTimer idleClock;

    explicit Impl(TFtpClient& c) : client(c) {}

    // The host as typed, without an "ftp://" in front or a "/" behind.
    QString HostName() const
    {
        QString host = client.Host.trimmed();
        if (host.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive))
            host = host.mid(6);
        while (host.endsWith(QLatin1Char('/')))
            host.chop(1);
        return host;
    }

    QString BaseUrl() const
    {
        QString host = HostName();
        if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
            host = QLatin1Char('[') + host + QLatin1Char(']');
        return QStringLiteral("ftp://") + host + QLatin1Char(':') + QString::number(client.Port) + QLatin1Char('/');
    }

    // The absolute server path of path (relative ones to the current folder).
    QString Absolute(const QString& path) const
    {
        return Normalized(path.startsWith(QLatin1Char('/')) ? path : cwd + QLatin1Char('/') + path);
    }

    // The address of an absolute server path: "%2F" makes the path absolute for curl.
    QByteArray UrlOf(const QString& absolute) const
    {
        QByteArray url = BaseUrl().toUtf8() + "%2F";
        const QStringList steps = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        for (int i = 0; i < steps.size(); ++i) {
            if (i > 0)
                url += '/';
            url += QUrl::toPercentEncoding(steps[i]);
        }
        return url;
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<Impl*>(user);
        const QString line = QString::fromUtf8(data, qsizetype(size * count)).trimmed();
        if (line.size() >= 3 && line[0].isDigit() && line[1].isDigit() && line[2].isDigit()) {
            self->replies << line;
            if (line.size() == 3 || line[3] == QLatin1Char(' ')) {
                self->lastReply = line.left(3).toInt();
                if (self->lastReply >= 400)
                    self->failureReply = line;
            }
        }
        return size * count;
    }

    static int OnProgress(void* user, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal, curl_off_t upNow)
    {
        auto* self = static_cast<Impl*>(user);
        // Nothing may leave through curl's frames: an exception is kept and raised afterwards.
        try {
            if (self->uploading && upNow != self->lastSent && self->client.OnPacketSent) {
                self->lastSent = upNow;
                self->client.OnPacketSent(std::int64_t(upNow), std::int64_t(upTotal));
            }
            if (self->download && downNow != self->lastReceived && self->client.OnPacketRecvd) {
                self->lastReceived = downNow;
                self->client.OnPacketRecvd(std::int64_t(downNow), std::int64_t(downTotal));
            }
            // curl calls back very often; the window needs its events a few dozen times a
            // second, not at every call.
            if (self->client.Idle && (!self->idleClock.isValid() || self->idleClock.elapsed() >= 20)) {
                self->idleClock.start();
                self->client.Idle();
            }
        } catch (...) {
            self->pending = std::current_exception();
            return 1;
        }
        return self->aborted ? 1 : 0;
    }

    static size_t OnRead(char* buffer, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<Impl*>(user);
        const qint64 n = self->upload ? self->upload->read(buffer, qint64(size * count)) : 0;
        return n < 0 ? CURL_READFUNC_ABORT : size_t(n);
    }

    static size_t OnWrite(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<Impl*>(user);
        if (!self->download)
            return 0;  // curl stops with a write error
        try {
            self->download->Write(data, qint64(size * count));
        } catch (const std::exception& e) {
            self->writeFailure = QString::fromUtf8(e.what());
            return 0;
        }
        return size * count;
    }

    bool EnsureHandle()
    {
        if (curl && multi)
            return true;
        GlobalInit();
        if (!multi)
            multi = curl_multi_init();
        if (!curl)
            curl = curl_easy_init();
        return curl && multi;
    }

    void FreeHandle()
    {
        // The easy handle goes first: the connection it used lives in the multi handle.
        if (curl)
            curl_easy_cleanup(curl);
        curl = nullptr;
        if (multi)
            curl_multi_cleanup(multi);
        multi = nullptr;
    }

    long TimeOutMs() const { return client.TimeOut > 0 ? long(client.TimeOut) : 10000L; }

    // The options every call shares; the call's own come after. transferBytes: the size of
    // the file a transfer sends (0 for a command).
    void Prepare(std::int64_t transferBytes = 0)
    {
        curl_easy_reset(curl);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        errorBuffer[0] = 0;
        curl_easy_setopt(curl, CURLOPT_USERNAME, client.UserID.toUtf8().constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, client.Password.toUtf8().constData());
        const long timeout = TimeOutMs();
        const long seconds = std::max(1L, timeout / 1000);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeout);
        // A transfer times out only when nothing moves for the time-out: the low-speed limit
        // watches the bytes on their way. The server's reply after the last byte comes only
        // once it has read what the socket buffers still hold, which the client cannot see;
        // that wait gets the time the whole file would take at 1 KB a second (at least a
        // minute). Commands move no data: their replies get the time-out.
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, seconds);
        const long replyWait = transferBytes > 0 ? std::max(60L, seconds + long(transferBytes / 1024)) : seconds;
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, replyWait);
        curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
        curl_easy_setopt(curl, CURLOPT_TCP_KEEPIDLE, seconds);
        curl_easy_setopt(curl, CURLOPT_TCP_KEEPINTVL, seconds);
        // Transfers change into the file's folder step by step (the folders an upload needs
        // are made on the way); curl stays in a folder from one file to the next. Commands
        // carry absolute paths and no folder in their address.
        curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_MULTICWD));
        curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 1L);
        curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, binary ? 0L : 1L);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Impl::OnProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        replies.clear();
        lastReply = 0;
        failureReply.clear();
        failureText.clear();
        writeFailure.clear();
        aborted = false;
        pending = nullptr;
        lastSent = lastReceived = -1;
    }

    // Runs the prepared call on the connection kept in the multi handle. curl's own loop
    // (curl_easy_perform) sleeps up to a second whenever the reply to EPSV or PASV came in
    // with the one before it, which made every passive transfer wait; this loop looks again
    // after a few milliseconds at most.
    CURLcode Perform()
    {
        busy = true;
        CURLcode code = CURLE_OK;
        if (curl_multi_add_handle(multi, curl) != CURLM_OK) {
            busy = false;
            return CURLE_FAILED_INIT;
        }
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                code = CURLE_FAILED_INIT;
                break;
            }
            if (running == 0)
                break;
            long wait = -1;
            curl_multi_timeout(multi, &wait);
            if (wait < 0 || wait > kPollMs)
                wait = kPollMs;
            curl_multi_poll(multi, nullptr, 0, int(wait), nullptr);
        }
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == curl)
                code = message->data.result;
        }
        curl_multi_remove_handle(multi, curl);
        busy = false;
        return code;
    }

    // Why a call failed: the server's reply when it refused, else curl's reason.
    void NoteFailure(CURLcode code)
    {
        if (!writeFailure.isEmpty())
            failureText = writeFailure;
        else if (!failureReply.isEmpty())
            failureText = failureReply;
        else if (errorBuffer[0])
            failureText = QString::fromUtf8(errorBuffer);
        else
            failureText = QString::fromUtf8(curl_easy_strerror(code));
    }

    // After a call: the kept exception, a close asked for meanwhile.
    void Finish()
    {
        if (closeAfterCall) {
            closeAfterCall = false;
            client.Disconnect();
        }
        if (pending) {
            std::exception_ptr e = pending;
            pending = nullptr;
            std::rethrow_exception(e);
        }
    }

    // Reports a finished transaction; true on success.
    bool Report(TFtpTransaction t, CURLcode code)
    {
        if (code == CURLE_OK) {
            if (client.OnSuccess)
                client.OnSuccess(t);
            return true;
        }
        NoteFailure(code);
        if (lastReply == 500 || lastReply == 502 || lastReply == 504) {
            if (client.OnUnSupportedFunction)
                client.OnUnSupportedFunction(t);
        } else if (client.OnFailure) {
            client.OnFailure(t);
        }
        if (ConnectionLost(code) && code != CURLE_ABORTED_BY_CALLBACK) {
            if (client.OnError)
                client.OnError(int(code), QString::fromUtf8(curl_easy_strerror(code)));
            closeAfterCall = true;
        }
        return false;
    }

    // A command without transfer (MKD, RMD, DELE, CWD) sent after login.
    bool Command(TFtpTransaction t, const QString& command)
    {
        if (!connected || busy)
            return false;
        Prepare();
        CurlList quote;
        quote.Add(command);
        curl_easy_setopt(curl, CURLOPT_URL, (BaseUrl().toUtf8()).constData());
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(curl, CURLOPT_QUOTE, quote.list);
        const CURLcode code = Perform();
        const bool ok = Report(t, code);
        Finish();
        return ok;
    }
};

TFtpClient::TFtpClient() : d(std::make_unique<Impl>(*this)) {}

TFtpClient::~TFtpClient() { d->FreeHandle(); }

void TFtpClient::Connect()
{
    if (d->busy)
        throw EFtpError("The connection is busy.");
    if (d->connected)
        Disconnect();
    if (d->HostName().isEmpty())
        throw EFtpError("Invalid Host");
    if (Port <= 0 || Port > 65535)
        throw EFtpError("Invalid port");
    if (!d->EnsureHandle())
        throw EFtpError("Cannot start the FTP client.");
    d->Prepare();
    CurlList quote;
    quote.Add(QStringLiteral("PWD"));
    curl_easy_setopt(d->curl, CURLOPT_URL, d->BaseUrl().toUtf8().constData());
    curl_easy_setopt(d->curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(d->curl, CURLOPT_QUOTE, quote.list);
    const CURLcode code = d->Perform();
    if (d->pending) {
        std::exception_ptr e = d->pending;
        d->pending = nullptr;
        std::rethrow_exception(e);
    }
    if (code != CURLE_OK) {
        d->FreeHandle();
        // The component's own words where it had them.
        if (code == CURLE_COULDNT_RESOLVE_HOST)
            throw EFtpError("Invalid Host");
        if (code == CURLE_COULDNT_CONNECT || code == CURLE_OPERATION_TIMEDOUT)
            throw EFtpError("Connection Failed");
        if (code == CURLE_ABORTED_BY_CALLBACK)
            throw EFtpError("Aborted");
        throw EFtpError(curl_easy_strerror(code));
    }
    // The login folder, from the reply to PWD: 257 "/folder" ...
    d->cwd = QStringLiteral("/");
    for (const QString& reply : d->replies) {
        if (!reply.startsWith(QLatin1String("257")))
            continue;
        const int open = int(reply.indexOf(QLatin1Char('"')));
        const int close = int(reply.lastIndexOf(QLatin1Char('"')));
        if (open >= 0 && close > open)
            d->cwd = Normalized(reply.mid(open + 1, close - open - 1).replace(QStringLiteral("\"\""), QStringLiteral("\"")));
    }
    d->connected = true;
    if (OnHostResolved)
        OnHostResolved();
    if (OnConnect)
        OnConnect();
}

void TFtpClient::Disconnect()
{
    if (d->busy) {
        // Inside a call (from Idle or an event): stop it and close once it has returned.
        d->aborted = true;
        d->closeAfterCall = true;
        return;
    }
    const bool was = d->connected;
    d->connected = false;
    d->FreeHandle();
    if (was && OnDisconnect)
        OnDisconnect();
}

bool TFtpClient::Connected() const { return d->connected; }

void TFtpClient::SetMode(int mode) { d->binary = mode != 1; }

QString TFtpClient::CurrentDir() const { return d->cwd; }

int TFtpClient::LastReply() const { return d->lastReply; }

QString TFtpClient::LastFailureText() const { return d->failureText; }

void TFtpClient::Abort() { d->aborted = true; }

bool TFtpClient::ChangeDir(const QString& folder)
{
    const QString target = d->Absolute(folder);
    if (!d->Command(TFtpTransaction::ChangeDir, QStringLiteral("CWD ") + target))
        return false;
    d->cwd = target;
    return true;
}

bool TFtpClient::MakeDirectory(const QString& folder)
{
    return d->Command(TFtpTransaction::MakeDir, QStringLiteral("MKD ") + d->Absolute(folder));
}

bool TFtpClient::RemoveDir(const QString& folder)
{
    return d->Command(TFtpTransaction::RemoveDir, QStringLiteral("RMD ") + d->Absolute(folder));
}

bool TFtpClient::Delete(const QString& file)
{
    return d->Command(TFtpTransaction::Delete, QStringLiteral("DELE ") + d->Absolute(file));
}

bool TFtpClient::Upload(const QString& localFile, const QString& remoteFile)
{
    if (!d->connected || d->busy)
        return false;
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly)) {
        d->failureText = file.errorString();
        if (OnFailure)
            OnFailure(TFtpTransaction::Upload);
        return false;
    }
    d->Prepare(file.size());
    const QByteArray url = d->UrlOf(d->Absolute(remoteFile));
    curl_easy_setopt(d->curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(d->curl, CURLOPT_UPLOAD, 1L);
    // The folders of the target that the server does not have yet are made.
    curl_easy_setopt(d->curl, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_RETRY));
    curl_easy_setopt(d->curl, CURLOPT_READFUNCTION, &Impl::OnRead);
    curl_easy_setopt(d->curl, CURLOPT_READDATA, d.get());
    curl_easy_setopt(d->curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
    d->upload = &file;
    d->uploading = true;
    if (OnTransactionStart)
        OnTransactionStart();
    const CURLcode code = d->Perform();
    d->upload = nullptr;
    d->uploading = false;
    if (OnTransactionStop)
        OnTransactionStop();
    const bool ok = d->Report(TFtpTransaction::Upload, code);
    d->Finish();
    return ok;
}

bool TFtpClient::Download(const QString& remoteFile, const QString& localFile)
{
    if (!d->connected || d->busy)
        return false;
    // The local file is replaced only by a whole download: a full disk or a broken transfer
    // leaves the old file as it was.
    std::optional<TSafeFile> file;
    try {
        file.emplace(localFile);
    } catch (const std::exception& e) {
        d->failureText = QString::fromUtf8(e.what());
        if (OnFailure)
            OnFailure(TFtpTransaction::Download);
        return false;
    }
    d->Prepare(1);
    const QByteArray url = d->UrlOf(d->Absolute(remoteFile));
    curl_easy_setopt(d->curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(d->curl, CURLOPT_WRITEFUNCTION, &Impl::OnWrite);
    curl_easy_setopt(d->curl, CURLOPT_WRITEDATA, d.get());
    d->download = &*file;
    if (OnTransactionStart)
        OnTransactionStart();
    CURLcode code = d->Perform();
    d->download = nullptr;
    if (OnTransactionStop)
        OnTransactionStop();
    if (code == CURLE_OK) {
        try {
            file->Commit();
        } catch (const std::exception& e) {
            d->writeFailure = QString::fromUtf8(e.what());
            code = CURLE_WRITE_ERROR;
        }
    }
    const bool ok = d->Report(TFtpTransaction::Download, code);
    d->Finish();
    return ok;
}
