#include "platform/system/ShellFileOps.h"

#include "platform/vcl/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace {

void setError(QString* error, const QString& text)
{
    if (error && error->isEmpty())
        *error = text;
}

bool isUnder(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder + '/');
}

// The copy in dst is the one made from src (CopyFile keeps size and time).
bool sameCopy(const QString& src, const QString& dst)
{
    const QFileInfo a(src), b(dst);
    return b.isFile() && a.size() == b.size() && a.lastModified() == b.lastModified();
}

bool copyTree(const QString& src, const QString& dst, bool recursive, QSet<QString>& visited,
              QString* error)
{
    // A link back to a folder already being copied would never end.
    const QString canonical = QFileInfo(src).canonicalFilePath();
    if (visited.contains(canonical))
        return true;
    visited.insert(canonical);

    if (!ForceDirectories(dst)) {
        setError(error, QStringLiteral("Folder \"%1\" could not be made.").arg(dst));
        return false;
    }
    bool ok = true;
    const int mask = faReadOnly | faHidden | faArchive | (recursive ? faDirectory : 0);
    TSearchRec rec;
    for (int found = FindFirst(src + QLatin1String("/*"), mask, rec); found == 0;
         found = FindNext(rec)) {
        if (rec.Name == QLatin1String(".") || rec.Name == QLatin1String(".."))
            continue;
        const QString from = src + '/' + rec.Name;
        const QString to = dst + '/' + rec.Name;
        if (rec.Attr & faDirectory) {
            ok = copyTree(from, to, recursive, visited, error) && ok;
        } else if (!sameCopy(from, to) && !CopyFile(from, to, false)) {
            setError(error, QStringLiteral("\"%1\" could not be copied to \"%2\".").arg(from, to));
            ok = false;
        }
    }
    FindClose(rec);
    return ok;
}

} // namespace

bool MoveToTrash(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink())) {
        setError(error, QStringLiteral("\"%1\" does not exist.").arg(path));
        return false;
    }
    // Without a usable trash in the data folder Qt falls back to "files" and "info" below the
    // current folder; refuse before that can happen.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString trash = QDir::cleanPath(data) + QLatin1String("/Trash");
    if (!QDir::isAbsolutePath(data) || !ForceDirectories(trash + QLatin1String("/files"))
        || !ForceDirectories(trash + QLatin1String("/info"))) {
        setError(error, QStringLiteral("\"%1\" could not be moved to the trash: there is no trash "
                                       "folder.").arg(path));
        return false;
    }
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash)) {
        setError(error, QStringLiteral("\"%1\" could not be moved to the trash.").arg(path));
        return false;
    }
    if (!QDir::isAbsolutePath(inTrash)) {
        // Landed below the current folder after all: put it back.
        QFile::remove(QFileInfo(inTrash).absolutePath() + QLatin1String("/../info/")
                      + QFileInfo(inTrash).fileName() + QLatin1String(".trashinfo"));
        QFile::rename(inTrash, path);
        setError(error, QStringLiteral("\"%1\" could not be moved to the trash.").arg(path));
        return false;
    }
    return true;
}

bool CopyFolder(const QString& src, const QString& dst, bool recursive, QString* error)
{
    const QString from = QDir::cleanPath(QFileInfo(src).absoluteFilePath());
    const QString to = QDir::cleanPath(QFileInfo(dst).absoluteFilePath());
    if (src.isEmpty() || !DirectoryExists(from)) {
        setError(error, QStringLiteral("Folder \"%1\" does not exist.").arg(src));
        return false;
    }
    if (isUnder(to, from) || isUnder(to, QFileInfo(from).canonicalFilePath())) {
        setError(error, QStringLiteral("Folder \"%1\" cannot be copied into itself.").arg(src));
        return false;
    }
    QSet<QString> visited;
    return copyTree(from, to, recursive, visited, error);
}
