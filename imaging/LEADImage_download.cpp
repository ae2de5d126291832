// TLEADImage: loading a picture from an address (BitmapDataPath). The download runs on the GUI
// thread's event loop through Qt's network access; every block that arrives goes to the feed
// load, so the picture is decoded while it comes. OnReadyStateChanged fires False at the start
// and True at the end; OnStatus reports the percentage with EnableProgressEvent. A download
// that fails after it started (a missing page, a refused connection, a broken transfer) ends
// quietly: the control is empty and LastError holds the code.
#include "imaging/LEADImage.h"

#include "platform/vcl/Guard.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

// The code of a transfer that went wrong.
int DownloadFailureCode(const QNetworkReply& reply)
{
    switch (reply.error()) {
    case QNetworkReply::NoError: return LE_SUCCESS;
    case QNetworkReply::ContentNotFoundError:
    case QNetworkReply::ContentGoneError:
    case QNetworkReply::HostNotFoundError: return LE_FILE_NOT_FOUND;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::AuthenticationRequiredError: return LE_FILE_OPEN;
    case QNetworkReply::OperationCanceledError: return LE_USER_ABORT;
    default: return LE_FILE_READ;
    }
}

// An HTTP answer that carries no picture (an error page).
bool IsErrorAnswer(const QNetworkReply& reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() >= 400;
}

} // namespace

void TLEADImage::setBitmapDataPath(const QString& path)
{
    // A running download ends first: its feed stops and the control empties.
    if (!m_downloadFinished)
        CancelDownload();
    if (m_busy)
        throw ELeadImageError(ComponentName() + QStringLiteral(": Can not be Interruptted"));
    ClearImage();
    m_bitmapDataPath = path;
    if (path.isEmpty()) {
        // Only the emptying was asked for: no failure to report.
        SetLastError(0);
        return;
    }
    const QUrl url(path);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
                           scheme != QLatin1String("file"))) {
        BitmapChanged();
        ReportResult(QStringLiteral("BitmapDataPath"), LE_FILE_NOT_FOUND);
        return;
    }
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    // The start: the feed load, then the ready state.
    m_downloadFinished = false;
    SuspendMethodErrors();
    int code = LE_FAILURE;
    try {
        code = StartFeedLoad(0, 0, -1);
    } catch (...) {
        ResumeMethodErrors();
        m_downloadFinished = true;
        throw;
    }
    ResumeMethodErrors();
    if (code != LE_SUCCESS) {
        m_downloadFinished = true;
        RaiseResult(path, code);
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, [this] { Guard([this] { DownloadData(); }); });
    connect(m_reply, &QNetworkReply::downloadProgress, this,
            [this](qint64 received, qint64 total) { Guard([&] { DownloadProgress(received, total); }); });
    connect(m_reply, &QNetworkReply::finished, this, [this] { Guard([this] { DownloadFinished(); }); });
    if (OnReadyStateChanged)
        OnReadyStateChanged(this, false);
    SetLastError(1);
}

void TLEADImage::DownloadData()
{
    if (!m_reply || m_downloadFinished)
        return;
    if (IsErrorAnswer(*m_reply)) {
        m_reply->readAll();  // an error page is no picture
        return;
    }
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty() || !m_feed)
        return;
    SuspendMethodErrors();
    int code = LE_FAILURE;
    try {
        code = FeedLoad(data.constData(), data.size());
    } catch (...) {
        ResumeMethodErrors();
        throw;
    }
    ResumeMethodErrors();
    if (code != LE_SUCCESS)
        EndDownload(code);
}

void TLEADImage::DownloadProgress(qint64 received, qint64 total)
{
    if (m_downloadFinished || !m_enableProgressEvent || !OnStatus || IsErrorAnswer(*m_reply))
        return;
    OnStatus(this, total > 0 ? int(received * 100 / total) : 0);
}

void TLEADImage::DownloadFinished()
{
    if (!m_reply || m_downloadFinished)
        return;
    DownloadData();  // what is left
    if (m_downloadFinished)
        return;
    int code = DownloadFailureCode(*m_reply);
    if (code == LE_SUCCESS && IsErrorAnswer(*m_reply))
        code = LE_FILE_NOT_FOUND;
    if (code == LE_SUCCESS && m_enableProgressEvent && OnStatus)
        OnStatus(this, 100);
    EndDownload(code);
}

void TLEADImage::EndDownload(int code)
{
    QNetworkReply* reply = std::exchange(m_reply, nullptr);
    if (reply) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
    if (code == LE_SUCCESS && m_feed) {
        SuspendMethodErrors();
        try {
            code = StopFeedLoad();
        } catch (...) {
            code = LE_FAILURE;
        }
        ResumeMethodErrors();
    } else if (code != LE_SUCCESS) {
        CancelFeedLoad();
        EmptyPicture();
        DropFloaterPiece();
        BitmapChanged();
    }
    m_downloadFinished = true;
    SetLastError(code);
    if (OnReadyStateChanged && !(m_stateFlags & kStateDestroying))
        OnReadyStateChanged(this, true);
}

void TLEADImage::CancelDownload()
{
    QNetworkReply* reply = std::exchange(m_reply, nullptr);
    if (reply) {
        // No signal of it reaches the control any more.
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        if (m_stateFlags & kStateDestroying)
            delete reply;
        else
            reply->deleteLater();
    }
    if (m_downloadFinished)
        return;
    m_downloadFinished = true;
    CancelFeedLoad();
    if (!(m_stateFlags & kStateDestroying)) {
        EmptyPicture();
        DropFloaterPiece();
    }
}
