#include "platform/system/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString g_programFolder;

QString withSlash(QString s)
{
    if (!s.isEmpty() && !s.endsWith('/'))
        s += '/';
    return s;
}
} // namespace

QString ProgramFolder()
{
    if (g_programFolder.isEmpty()) {
        QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
        if (exe.isEmpty() && QCoreApplication::instance())
            exe = QCoreApplication::applicationFilePath();
        g_programFolder = withSlash(QFileInfo(exe).absolutePath());
    }
    return g_programFolder;
}

void SetProgramFolder(const QString& folder)
{
    g_programFolder = withSlash(QDir::cleanPath(folder));
}
