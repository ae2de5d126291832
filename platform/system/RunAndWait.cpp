#include "platform/system/RunAndWait.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

QString FindProgram(const QString& folder, const QString& program)
{
    if (program.isEmpty())
        return {};
    const QFileInfo direct(QDir::isAbsolutePath(program) ? program : QDir(folder).filePath(program));
    if ((QDir::isAbsolutePath(program) || !folder.isEmpty()) && direct.isFile() && direct.isExecutable())
        return direct.absoluteFilePath();
    if (QDir::isAbsolutePath(program) || program.contains(QLatin1Char('/')))
        return {};
    return QStandardPaths::findExecutable(program);
}

int RunAndWait(const TRunAndWait& run)
{
    const QString path = FindProgram(run.Folder, run.Program);
    if (path.isEmpty())
        return -1;
    QProcess process;
    if (!run.Folder.isEmpty())
        process.setWorkingDirectory(run.Folder);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(path, QProcess::splitCommand(run.Parameters));
    if (!process.waitForStarted(10000))
        return -1;
    const int poll = run.PollMilliseconds > 0 ? run.PollMilliseconds : 50;
    while (process.state() != QProcess::NotRunning) {
        if (run.ProcessEvents)
            run.ProcessEvents();
        if (run.StopWaiting && run.StopWaiting()) {
            process.kill();
            process.waitForFinished(5000);
            return -2;
        }
        // Blocks up to one poll, so that the loop sleeps while the program runs.
        process.waitForFinished(poll);
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}
