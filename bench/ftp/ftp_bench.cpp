// The upload of a small gallery (26 files, 300 KB in all) to a real FTP server on 127.0.0.1
// (pyftpdlib, tests/support/ftp_server.py), the way the upload window sends it: one
// connection, one file after the other, into a server folder that does not exist yet. Against
// curl's command line uploading the same files over one connection (-T "{a,b,...}"
// --ftp-create-dirs) in the same run.
//
//   ftp_bench [--files N] [--bytes N] [--runs N] [--server ftp_server.py]
#include "platform/net/FtpClient.h"
#include "support/CameraPicture.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <unistd.h>

using namespace benchsupport;

namespace {

const QString kUser = QStringLiteral("anna"), kPassword = QStringLiteral("secret");

bool Ours(int port, const QStringList& files, const QString& serverFolder)
{
    TFtpClient client;
    client.Host = QStringLiteral("127.0.0.1");
    client.Port = port;
    client.UserID = kUser;
    client.Password = kPassword;
    try {
        client.Connect();
    } catch (const EFtpError& e) {
        std::fprintf(stderr, "connect: %s\n", e.what());
        return false;
    }
    for (const QString& file : files) {
        if (!client.Upload(file, serverFolder + QLatin1Char('/') + QFileInfo(file).fileName())) {
            std::fprintf(stderr, "upload of %s: %s\n", qPrintable(file), qPrintable(client.LastFailureText()));
            return false;
        }
    }
    client.Disconnect();
    return true;
}

bool Peer(const QString& curl, int port, const QString& folder, const QStringList& files, const QString& serverFolder)
{
    QStringList names;
    for (const QString& file : files)
        names << QFileInfo(file).fileName();
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(curl, {QStringLiteral("-s"), QStringLiteral("-S"), QStringLiteral("--ftp-create-dirs"), QStringLiteral("-T"),
                         QLatin1Char('{') + names.join(QLatin1Char(',')) + QLatin1Char('}'),
                         QStringLiteral("ftp://%1:%2@127.0.0.1:%3/%4/").arg(kUser, kPassword).arg(port).arg(serverFolder)});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "curl failed: %s\n", process.readAllStandardError().constData());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.addOptions({{QStringLiteral("files"), QStringLiteral("Files in the gallery."), QStringLiteral("n"), QStringLiteral("26")},
                        {QStringLiteral("bytes"), QStringLiteral("Bytes of all files together."), QStringLiteral("n"),
                         QStringLiteral("307200")},
                        {QStringLiteral("runs"), QStringLiteral("Runs of each; the best counts."), QStringLiteral("n"),
                         QStringLiteral("5")},
                        {QStringLiteral("server"), QStringLiteral("The FTP server script."), QStringLiteral("file"),
                         QStringLiteral(KV_SOURCE_DIR "/tests/support/ftp_server.py")}});
    options.process(app);
    const int count = std::max(1, options.value(QStringLiteral("files")).toInt());
    const int bytes = std::max(count, options.value(QStringLiteral("bytes")).toInt());
    const int runs = std::max(1, options.value(QStringLiteral("runs")).toInt());

    QTemporaryDir work;
    const QString local = work.path() + QStringLiteral("/gallery");
    const QString root = work.path() + QStringLiteral("/server");
    QDir().mkpath(local);
    QDir().mkpath(root);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        QByteArray data(bytes / count, Qt::Uninitialized);
        for (int b = 0; b < data.size(); ++b)
            data[b] = char((b * 31 + i * 7) & 0xFF);
        const QString file = local + QStringLiteral("/picture_%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
            return 1;
        files << file;
    }

    QProcess server;
    server.start(QStringLiteral("/usr/bin/python3"), {options.value(QStringLiteral("server")), root, kUser, kPassword});
    if (!server.waitForStarted(10000) || !server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the FTP server did not start: %s\n", server.readAllStandardError().constData());
        return 1;
    }
    const int port = server.readLine().trimmed().toInt();

    std::printf("FTP upload: %d files, %d KB in all, to pyftpdlib on 127.0.0.1 into a new nested folder each run\n",
                count, bytes / 1024);
    std::printf("cores usable: %d (nproc online %ld); best of %d runs each\n\n", QThread::idealThreadCount(),
                ::sysconf(_SC_NPROCESSORS_ONLN), runs);
    int run = 0;
    const double ours = BestOf(runs, [&] { return Ours(port, files, QStringLiteral("ours/run%1/galerie").arg(++run)); });
    if (ours < 0)
        return 1;
    std::printf("ours (one connection)   %8.1f ms  (%5.1f ms a file)\n", ours * 1000, ours * 1000 / count);
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (curl.isEmpty()) {
        std::printf("curl not on PATH: no ratio\n");
        return 0;
    }
    run = 0;
    const double peer = BestOf(runs, [&] { return Peer(curl, port, local, files, QStringLiteral("peer/run%1/galerie").arg(++run)); });
    server.kill();
    server.waitForFinished(5000);
    if (peer < 0)
        return 1;
    std::printf("curl -T {...}           %8.1f ms  (%5.1f ms a file)\n", peer * 1000, peer * 1000 / count);
    std::printf("ratio ours / curl: %.3f\n", ours / peer);
    return 0;
}
