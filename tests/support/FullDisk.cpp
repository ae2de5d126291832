#include "FullDisk.h"

#include "TestEnv.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvtest {

namespace {

const char* const kFiller = "filler";

// Writes until the disk refuses another byte.
void FillToTheLastByte(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    while (::write(fd, "x", 1) > 0) {
    }
    ::close(fd);
}

} // namespace

FullDisk::FullDisk() : m_folder(MakeTempFolder(QStringLiteral("fulldisk")))
{
    const QByteArray dir = QFile::encodeName(m_folder);
    m_mounted = ::mount("tmpfs", dir.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k,mode=0755") == 0;
}

FullDisk::~FullDisk()
{
    Release();
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

void FullDisk::Fill()
{
    if (m_filled)
        return;
    m_filled = true;
    if (m_mounted) {
        FillToTheLastByte(QFile::encodeName(m_folder + QLatin1String(kFiller)));
        return;
    }
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_savedLimit = limit.rlim_cur;
    limit.rlim_cur = 0;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

void FullDisk::FillLeaving(long long bytes)
{
    Fill();
    if (!m_mounted)
        return;
    const QByteArray filler = QFile::encodeName(m_folder + QLatin1String(kFiller));
    struct stat st {};
    if (::stat(filler.constData(), &st) == 0)
        (void)::truncate(filler.constData(), std::max<off_t>(0, st.st_size - off_t(bytes)));
}

void FullDisk::Release()
{
    if (!m_filled)
        return;
    m_filled = false;
    if (m_mounted) {
        QFile::remove(m_folder + QLatin1String(kFiller));
        return;
    }
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_savedLimit;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace kvtest
