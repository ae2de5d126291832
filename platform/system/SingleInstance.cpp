#include "platform/system/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>

namespace {

const QLatin1String kLockName(".korvanta.lock");
const QLatin1String kRequestName(".korvanta.show");

} // namespace

TSingleInstance::TSingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent), m_folder(programFolder.endsWith(QLatin1Char('/')) ? programFolder : programFolder + QLatin1Char('/')),
      m_lock(m_folder + kLockName)
{
    // Held for the whole run: never stale by age, only when its process is gone.
    m_lock.setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Acquire()
{
    if (m_lock.isLocked())
        return true;
    if (!m_lock.tryLock(0))
        return false;
    // A request left by a start that gave up waiting is no request.
    QFile::remove(m_folder + kRequestName);
    return true;
}

bool TSingleInstance::AskRunningToShow(int timeoutMs)
{
    const QString request = m_folder + kRequestName;
    {
        QFile file(request);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(QByteArray::number(QCoreApplication::applicationPid()));
    }
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (!QFileInfo::exists(request))
            return true;
        QThread::msleep(10);
    }
    QFile::remove(request);
    return false;
}

void TSingleInstance::OnShowRequest(std::function<void()> show)
{
    m_show = std::move(show);
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        m_watcher->addPath(m_folder);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { CheckRequest(); });
    }
}

void TSingleInstance::CheckRequest()
{
    const QString request = m_folder + kRequestName;
    if (!QFileInfo::exists(request))
        return;
    QFile::remove(request);
    if (m_show)
        m_show();
}
