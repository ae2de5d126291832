#include "platform/vcl/SafeFile.h"

#include "platform/vcl/Exceptions.h"
#include "platform/vcl/TextCodec.h"

#include <QSaveFile>

#include <cerrno>
#include <system_error>
#include <unistd.h>

// What a QIODevice writer (QImageWriter) writes goes through WriteAll, so that a short write
// is never taken for a whole one.
class TSafeFile::TDevice : public QIODevice {
public:
    explicit TDevice(TSafeFile& file) : m_file(file) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (!m_file.WriteAll(data, size)) {
            setErrorString(m_file.m_failure);
            return -1;
        }
        return size;
    }

private:
    TSafeFile& m_file;
};

TSafeFile::TSafeFile(const QString& fileName) : m_fileName(fileName)
{
    if (IsWriteProtected(fileName))
        Fail(QStringLiteral("The file is write-protected."));
    m_file = std::make_unique<QSaveFile>(fileName);
    // Unbuffered, so that every failed write (a full disk) is seen when it is made: Qt's
    // commit renames even after a failed flush of its buffer.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        Fail(m_file->errorString());
}

// The QSaveFile removes its temporary file when it goes uncommitted.
TSafeFile::~TSafeFile() = default;

void TSafeFile::Fail(const QString& reason)
{
    // The temporary file goes before the error is raised.
    m_device.reset();
    m_file.reset();
    throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(m_fileName, reason));
}

bool TSafeFile::WriteAll(const char* data, qint64 size)
{
    if (!m_failure.isEmpty() || !m_file)
        return false;
    while (size > 0) {
        const qint64 written = m_file->write(data, size);
        if (written <= 0) {
            m_failure = m_file->error() != QFileDevice::NoError ? m_file->errorString()
                                                                 : QStringLiteral("The write failed.");
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void TSafeFile::CheckWrites()
{
    if (!m_file)
        Fail(QStringLiteral("The file is closed."));
    if (!m_failure.isEmpty())
        Fail(m_failure);
}

void TSafeFile::Write(const char* data, qint64 size)
{
    CheckWrites();
    if (!WriteAll(data, size))
        Fail(m_failure);
}

QIODevice& TSafeFile::Device()
{
    CheckWrites();
    if (!m_device)
        m_device = std::make_unique<TDevice>(*this);
    return *m_device;
}

void TSafeFile::Commit()
{
    CheckWrites();
    // Qt's commit does not look at its own sync: a file system that finds no room for the
    // bytes only when they go to the disk reports it here.
    if (m_file->handle() >= 0 && ::fsync(m_file->handle()) != 0 && errno != EINVAL && errno != EROFS)
        Fail(QString::fromStdString(std::error_code(errno, std::generic_category()).message()));
    if (!m_file->commit())
        Fail(m_file->errorString());
    m_device.reset();
    m_file.reset();
}

void WriteFileSafely(const QString& fileName, const QByteArray& data)
{
    TSafeFile file(fileName);
    file.Write(data);
    file.Commit();
}
