#pragma once
// Runs the command-line tools that judge media files in the tests (sox, soxi, ffprobe,
// ffmpeg, vcdimager).
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kvtest {

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ToolResult RunTool(const QString& program, const QStringList& args, const QString& workDir = {})
{
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    ToolResult r;
    if (!p.waitForStarted(10000))
        return r;
    p.waitForFinished(300000);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// ffprobe's value of one entry ("stream=codec_name") of one stream ("v:0", "a:0"; empty for
// the format section).
inline QString Probe(const QString& file, const QString& stream, const QString& entry)
{
    QStringList args{"-v", "error"};
    if (!stream.isEmpty())
        args << "-select_streams" << stream;
    args << "-show_entries" << entry << "-of" << "default=nw=1:nk=1" << file;
    return QString::fromUtf8(RunTool("ffprobe", args).out).trimmed();
}

// Makes a tone with sox: sox -n <format args> file synth <seconds> sine <freq>.
inline bool MakeTone(const QString& file, const QStringList& formatArgs, double seconds, int channels = 2,
                     int rate = 44100)
{
    QStringList args{"-n", "-r", QString::number(rate), "-c", QString::number(channels)};
    args << formatArgs << file << "synth" << QString::number(seconds) << "sine" << "440";
    return RunTool("sox", args).exitCode == 0;
}

} // namespace kvtest
