#include "platform/vcl/Files.h"

#include "platform/vcl/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

struct TSearchState {
    struct Entry {
        QString Name;
        qint64 Size;
        int Attr;
        qint64 Time;
    };
    std::vector<Entry> Entries;
    size_t Next = 0;
};

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

// stat() following links; false for an empty path.
bool statPath(const QString& path, struct stat& st)
{
    return !path.isEmpty() && ::stat(native(path).constData(), &st) == 0;
}

// The write bit that applies to this process: the owner's, the group's or the others'.
mode_t writeBitFor(const struct stat& st)
{
    if (st.st_uid == geteuid())
        return S_IWUSR;
    if (st.st_gid == getegid())
        return S_IWGRP;
    gid_t groups[256];
    const int n = getgroups(256, groups);
    for (int i = 0; i < n; ++i)
        if (groups[i] == st.st_gid)
            return S_IWGRP;
    return S_IWOTH;
}

bool isHiddenName(const QString& name)
{
    return name.startsWith('.') && name != QLatin1String(".") && name != QLatin1String("..");
}

// st is null for an entry whose link leads nowhere.
int attributesOf(const QString& name, const struct stat* st)
{
    int attr = 0;
    if (!st)
        attr = faSysFile;
    else if (S_ISDIR(st->st_mode))
        attr = faDirectory;
    else if (S_ISREG(st->st_mode))
        attr = (st->st_mode & writeBitFor(*st)) ? faArchive : faReadOnly;
    else
        attr = faSysFile;
    if (isHiddenName(name))
        attr |= faHidden;
    return attr;
}

// The framework's error numbers for the errno values a file operation can give.
int errorNumber(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return 3;
    case EACCES:
    case EPERM:
        return 5;
    case EROFS:
        return 19;
    case EBUSY:
        return 32;
    case ENOSPC:
    case EDQUOT:
        return 112;
    case EEXIST:
        return 183;
    case ENAMETOOLONG:
        return 206;
    default:
        return 29;
    }
}

bool sameUpper(QChar a, QChar b) { return a == b || a.toUpper() == b.toUpper(); }

// "*" and "?" over the whole name, case ignored.
bool wildMatch(QStringView name, QStringView mask)
{
    qsizetype n = 0, m = 0, starM = -1, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            starM = m++;
            starN = n;
        } else if (m < mask.size() && (mask[m] == u'?' || sameUpper(mask[m], name[n]))) {
            ++n;
            ++m;
        } else if (starM >= 0) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

int rankOfDots(const QString& name)
{
    if (name == QLatin1String("."))
        return 0;
    if (name == QLatin1String(".."))
        return 1;
    return 2;
}

void fill(TSearchRec& rec, const TSearchState::Entry& e)
{
    rec.Name = e.Name;
    rec.Size = e.Size;
    rec.Attr = e.Attr;
    rec.Time = e.Time;
}

TFolderGuard& folderGuard()
{
    static TFolderGuard guard;
    return guard;
}

QString absoluteClean(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString parentOf(const QString& absPath)
{
    const qsizetype slash = absPath.lastIndexOf('/');
    return slash <= 0 ? QStringLiteral("/") : absPath.left(slash);
}

struct FolderError {
    QString Reason;
    int Code = 0;
};

// Makes the folder (every missing level when `all`); false with the reason otherwise.
bool makeFolder(const QString& path, bool all, FolderError& error)
{
    if (path.isEmpty()) {
        error = {QStringLiteral("no folder given"), 3};
        return false;
    }
    const QString abs = absoluteClean(path);
    // Before anything else: a folder left in the mount point of an absent volume does not
    // count as made either.
    if (const TFolderGuard& guard = folderGuard()) {
        const QString refusal = guard(abs);
        if (!refusal.isEmpty()) {
            error = {refusal, 21};
            return false;
        }
    }
    if (all && DirectoryExists(abs))
        return true;
    if (all) {
        const QString parent = parentOf(abs);
        if (parent != abs && !DirectoryExists(parent) && !makeFolder(parent, true, error))
            return false;
    }
    if (::mkdir(native(abs).constData(), 0777) == 0)
        return true;
    const int err = errno;
    if (all && err == EEXIST && DirectoryExists(abs))
        return true;
    if (err == EEXIST)
        error = {DirectoryExists(abs) ? QStringLiteral("the folder exists already")
                                      : QStringLiteral("\"%1\" exists and is not a folder").arg(abs),
                 errorNumber(err)};
    else
        error = {QString::fromLocal8Bit(std::strerror(err)), errorNumber(err)};
    return false;
}

[[noreturn]] void raiseFolderError(const QString& path, const FolderError& error)
{
    throw EInOutError(QStringLiteral("Folder \"%1\" could not be made: %2").arg(path, error.Reason),
                      error.Code);
}

// rename() that fails with EEXIST when `to` exists.
bool renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the flag: check first.
    struct stat st;
    if (::lstat(to.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool copyContents(int in, int out)
{
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(out, buffer.data(), size_t(n)))
            return false;
    }
}

// Writes the open source into a temporary file in `folder`, with its mode and time; the
// temporary file's name, or empty on failure (nothing is left behind then).
QByteArray writeTemporaryCopy(int in, const struct stat& srcStat, const QString& folder)
{
    const struct timespec times[2] = {srcStat.st_atim, srcStat.st_mtim};
    const auto fill = [&](int out) {
        return copyContents(in, out) && ::fchmod(out, srcStat.st_mode & 0777) == 0 &&
               ::futimens(out, times) == 0 && ::fsync(out) == 0;
    };
    // Unnamed while it is written, so that a program killed meanwhile leaves nothing behind;
    // it is named only for the moment before the rename.
    const int unnamed = ::open(native(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (unnamed >= 0) {
        bool ok = fill(unnamed);
        QByteArray name;
        if (ok) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(unnamed);
            static std::atomic<unsigned> counter{0};
            for (int attempt = 0; attempt < 100; ++attempt) {
                const QByteArray candidate = native(folder) + "/.kvcopy" + QByteArray::number(::getpid()) + "-" +
                                             QByteArray::number(counter.fetch_add(1));
                if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, candidate.constData(), AT_SYMLINK_FOLLOW) == 0) {
                    name = candidate;
                    break;
                }
                if (errno != EEXIST)
                    break;
            }
        }
        ok = (::close(unnamed) == 0) && ok && !name.isEmpty();
        if (!ok && !name.isEmpty())
            ::unlink(name.constData());
        return ok ? name : QByteArray();
    }
    QByteArray name = native(folder) + "/.kvcopy-XXXXXX";
    const int out = ::mkostemp(name.data(), O_CLOEXEC);
    if (out < 0)
        return {};
    bool ok = fill(out);
    ok = (::close(out) == 0) && ok;
    if (!ok) {
        ::unlink(name.constData());
        return {};
    }
    return name;
}

} // namespace

// ---- Scans --------------------------------------------------------------------------------

bool MatchesMask(const QString& name, const QString& mask)
{
    if (mask.isEmpty())
        return false;
    if (wildMatch(name, mask))
        return true;
    // "name.*" also takes "name", so "*.*" takes every name.
    if (mask.endsWith(QLatin1String(".*")) && wildMatch(name, QStringView(mask).chopped(2)))
        return true;
    // "*." takes the names without a dot.
    if (mask.endsWith('.') && !name.contains('.'))
        return wildMatch(name, QStringView(mask).chopped(1));
    return false;
}

int CompareFileNames(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = a[i].toUpper().unicode();
        const char16_t cb = b[i].toUpper().unicode();
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int FindFirst(const QString& path, int attrMask, TSearchRec& rec)
{
    FindClose(rec);
    const qsizetype slash = path.lastIndexOf('/');
    const QString folder = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/")
                                                                        : path.left(slash);
    const QString mask = path.mid(slash + 1);

    DIR* dir = ::opendir(native(folder).constData());
    if (!dir)
        return errno == EACCES ? kErrorAccessDenied : kErrorPathNotFound;

    const int excluded = ~attrMask & (faHidden | faSysFile | faVolumeID | faDirectory);
    auto state = std::make_shared<TSearchState>();
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray raw(e->d_name);
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw || !MatchesMask(name, mask))
            continue;  // a name that does not survive as text cannot be opened by it
        struct stat st;
        const bool found = ::fstatat(dirfd(dir), e->d_name, &st, 0) == 0;
        const int attr = attributesOf(name, found ? &st : nullptr);
        if (attr & excluded)
            continue;
        const bool isFile = found && S_ISREG(st.st_mode);
        state->Entries.push_back({name, isFile ? qint64(st.st_size) : 0, attr,
                                  found ? qint64(st.st_mtim.tv_sec) : 0});
    }
    ::closedir(dir);

    std::sort(state->Entries.begin(), state->Entries.end(),
              [](const TSearchState::Entry& a, const TSearchState::Entry& b) {
                  const int ra = rankOfDots(a.Name), rb = rankOfDots(b.Name);
                  if (ra != rb)
                      return ra < rb;
                  const int c = CompareFileNames(a.Name, b.Name);
                  return c != 0 ? c < 0 : a.Name < b.Name;
              });
    if (state->Entries.empty())
        return kErrorFileNotFound;
    fill(rec, state->Entries[0]);
    state->Next = 1;
    rec.FindHandle = std::move(state);
    return 0;
}

int FindNext(TSearchRec& rec)
{
    TSearchState* state = rec.FindHandle.get();
    if (!state || state->Next >= state->Entries.size())
        return kErrorNoMoreFiles;
    fill(rec, state->Entries[state->Next++]);
    return 0;
}

void FindClose(TSearchRec& rec) { rec.FindHandle.reset(); }

void ForEachFile(const QString& mask, const std::function<void(const QString& name)>& fn)
{
    TSearchRec rec;
    if (FindFirst(mask, faReadOnly | faHidden | faArchive, rec) == 0) {
        do {
            fn(rec.Name);
        } while (FindNext(rec) == 0);
    }
    FindClose(rec);
}

// ---- Existence ------------------------------------------------------------------------------

bool FileExists(const QString& path)
{
    struct stat st;
    return statPath(path, st) && S_ISREG(st.st_mode);
}

bool DirectoryExists(const QString& path)
{
    struct stat st;
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

// ---- Folders --------------------------------------------------------------------------------

bool CreateDir(const QString& path)
{
    FolderError error;
    return makeFolder(path, false, error);
}

void MkDir(const QString& path)
{
    FolderError error;
    if (!makeFolder(path, false, error))
        raiseFolderError(path, error);
}

bool ForceDirectories(const QString& path)
{
    FolderError error;
    return makeFolder(path, true, error);
}

void ForceDirectoriesOrRaise(const QString& path)
{
    FolderError error;
    if (!makeFolder(path, true, error))
        raiseFolderError(path, error);
}

bool RemoveDir(const QString& path)
{
    return !path.isEmpty() && ::rmdir(native(path).constData()) == 0;
}

void SetFolderGuard(TFolderGuard guard) { folderGuard() = std::move(guard); }

// ---- Files ----------------------------------------------------------------------------------

bool CopyFile(const QString& src, const QString& dst, bool failIfExists)
{
    if (src.isEmpty() || dst.isEmpty())
        return false;
    // A link as target: its file is replaced, the link stays.
    QString target = absoluteClean(dst);
    const QFileInfo dstInfo(target);
    if (dstInfo.isSymLink() && !dstInfo.symLinkTarget().isEmpty())
        target = dstInfo.symLinkTarget();
    const QByteArray targetName = native(target);

    const int in = ::open(native(src).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat srcStat;
    if (::fstat(in, &srcStat) != 0 || !S_ISREG(srcStat.st_mode)) {
        ::close(in);
        return false;
    }
    struct stat dstStat;
    if (::stat(targetName.constData(), &dstStat) == 0) {
        const bool sameFile = dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino;
        if (failIfExists || !S_ISREG(dstStat.st_mode) || sameFile) {
            ::close(in);
            return !failIfExists && sameFile;
        }
    } else if (errno != ENOENT) {
        ::close(in);
        return false;
    }

    const QByteArray temporary = writeTemporaryCopy(in, srcStat, parentOf(target));
    ::close(in);
    if (temporary.isEmpty())
        return false;
    const bool renamed = failIfExists ? renameNoReplace(temporary, targetName)
                                      : ::rename(temporary.constData(), targetName.constData()) == 0;
    if (!renamed)
        ::unlink(temporary.constData());
    return renamed;
}

bool DeleteFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QByteArray name = native(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if (S_ISREG(st.st_mode) && (attributesOf(QString(), &st) & faReadOnly))
        return false;
    return ::unlink(name.constData()) == 0;
}

bool RenameFile(const QString& oldName, const QString& newName)
{
    if (oldName.isEmpty() || newName.isEmpty())
        return false;
    const QByteArray from = native(oldName), to = native(newName);
    struct stat a, b;
    if (::lstat(from.constData(), &a) != 0)
        return false;
    // Only the case changes on a file system that ignores case: the "existing" target is the
    // file itself.
    if (::lstat(to.constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino)
        return ::rename(from.constData(), to.constData()) == 0;
    return renameNoReplace(from, to);
}

int FileGetAttr(const QString& path)
{
    if (path.isEmpty())
        return -1;
    const QByteArray name = native(path);
    const QString fileName = QFileInfo(path).fileName();
    struct stat st;
    if (::stat(name.constData(), &st) == 0)
        return attributesOf(fileName, &st);
    if (::lstat(name.constData(), &st) == 0)
        return attributesOf(fileName, nullptr);
    return -1;
}

int FileSetAttr(const QString& path, int attr)
{
    struct stat st;
    if (!statPath(path, st))
        return 2;
    if (!S_ISREG(st.st_mode))
        return 0;
    const mode_t mode = (attr & faReadOnly) ? (st.st_mode & ~mode_t(0222)) : (st.st_mode | S_IWUSR);
    if (::chmod(native(path).constData(), mode & 07777) != 0)
        return errorNumber(errno);
    return 0;
}

qint64 FileAge(const QString& path)
{
    struct stat st;
    return statPath(path, st) && S_ISREG(st.st_mode) ? qint64(st.st_mtim.tv_sec) : -1;
}

qint64 FileSize(const QString& path)
{
    struct stat st;
    return statPath(path, st) && S_ISREG(st.st_mode) ? qint64(st.st_size) : -1;
}

qint64 DiskFree(const QString& path)
{
    struct statvfs vfs;
    if (path.isEmpty() || ::statvfs(native(path).constData(), &vfs) != 0)
        return -1;
    return qint64(vfs.f_bavail) * qint64(vfs.f_frsize);
}
