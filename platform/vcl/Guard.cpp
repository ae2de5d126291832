#include "platform/vcl/Guard.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Exceptions.h"

#include <QCoreApplication>
#include <QSet>
#include <QStringList>

#include <new>

namespace {

thread_local int g_queueDepth = 0;

// The error boxes queued by paint, timer and mouse-move handlers.
struct Batch {
    QStringList pending;
    QSet<QString> seen;
    bool scheduled = false;
};

Batch& QueuedBatch()
{
    static Batch batch;
    return batch;
}

QString BoxText(QString message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        message += QLatin1Char('.');
    return message;
}

void ShowErrorBox(const QString& message) noexcept
{
    try {
        TAskRequest request;
        request.Kind = TAskKind::MessageBox;
        request.Type = mtError;
        request.Caption = Application->Title();
        request.Text = BoxText(message);
        request.Buttons = {mbOK};
        request.DefaultResult = mrOk;
        Interaction().Ask(request);
    } catch (...) {
        qWarning("Cannot show the error message: %s", qUtf8Printable(message));
    }
}

void ShowPending();

// The batch ends after the events that its boxes caused have run; messages that came
// meanwhile and are new are shown first.
void EndBatch()
{
    Batch& batch = QueuedBatch();
    if (!batch.pending.isEmpty()) {
        ShowPending();
        return;
    }
    batch.seen.clear();
    batch.scheduled = false;
}

void ShowPending()
{
    Batch& batch = QueuedBatch();
    while (!batch.pending.isEmpty())
        ShowErrorBox(batch.pending.takeFirst());
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { EndBatch(); }, Qt::QueuedConnection);
}

void QueueErrorBox(const QString& message)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        ShowErrorBox(message);
        return;
    }
    Batch& batch = QueuedBatch();
    if (batch.seen.contains(message))
        return;
    batch.seen.insert(message);
    batch.pending.append(message);
    if (!batch.scheduled) {
        batch.scheduled = true;
        QMetaObject::invokeMethod(app, [] { ShowPending(); }, Qt::QueuedConnection);
    }
}

} // namespace

namespace guard_detail {

ModeScope::ModeScope(TGuardMode mode) : m_queue(mode == TGuardMode::Queue)
{
    if (m_queue)
        ++g_queueDepth;
}

ModeScope::~ModeScope()
{
    if (m_queue)
        --g_queueDepth;
}

TGuardMode ModeScope::Current() { return g_queueDepth > 0 ? TGuardMode::Queue : TGuardMode::Show; }

} // namespace guard_detail

QString ExceptionMessage(std::exception_ptr e)
{
    if (!e)
        return QString();
    try {
        std::rethrow_exception(e);
    } catch (const Exception& x) {
        return x.Message();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& x) {
        return QString::fromUtf8(x.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred");
    }
}

void ShowException(const QString& message, TGuardMode mode) noexcept
{
    try {
        if (mode == TGuardMode::Queue || g_queueDepth > 0)
            QueueErrorBox(message);
        else
            ShowErrorBox(message);
    } catch (...) {
        qWarning("Cannot show the error message: %s", qUtf8Printable(message));
    }
}

void HandleException(std::exception_ptr e, TGuardMode mode) noexcept
{
    QString message;
    try {
        message = ExceptionMessage(e);
    } catch (...) {
        message = QStringLiteral("An unknown error occurred");
    }
    ShowException(message, mode);
}
