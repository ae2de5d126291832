#include "platform/system/ShellDelete.h"

#include "platform/system/ShellFileOps.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString Clean(const QString& path)
{
    return QDir::cleanPath(path);
}

QString FreeTarget(const QString& target)
{
    if (!QFileInfo::exists(target))
        return target;
    for (int n = 2;; ++n) {
        const QString candidate = target + QStringLiteral(" (%1)").arg(n);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

} // namespace

bool ShellFileOperation(const QString& operation, bool renameOnCollision, const QString& target,
                        const QString& source, bool simpleProgress, bool silent, bool noConfirmation)
{
    Q_UNUSED(simpleProgress);
    Q_UNUSED(silent);
    Q_UNUSED(noConfirmation);
    if (source.isEmpty() || !QFileInfo(source).isDir())
        return false;
    const QString op = operation.toUpper();
    const QString from = Clean(source);
    if (op == QLatin1String("DELETE"))
        return MoveToTrash(from);
    if (target.isEmpty())
        return false;
    QString to = Clean(target);
    if (renameOnCollision)
        to = FreeTarget(to);
    if (op == QLatin1String("COPY"))
        return CopyFolder(from, to);
    if (op == QLatin1String("MOVE") || op == QLatin1String("RENAME")) {
        if (QFileInfo::exists(to))
            return false;
        return QDir().rename(from, to);
    }
    return false;
}

bool ShellDelete(const QString& path)
{
    return ShellFileOperation(QStringLiteral("DELETE"), false, QString(), path, false, true, true);
}
