// The thumbnails of a folder read: camera-size JPEGs the benchmark makes itself, turned into
// framed 70-pixel-high thumbnails the way the main window's folder read makes them (on a pool
// of QThread::idealThreadCount() workers, results taken in folder order), against
// vipsthumbnail (VIPS_CONCURRENCY=1, all files in one process) in the same run. Run it under
// `taskset -c 0` for the one-core figures: the pool then has one worker.
//
//   folder_read_bench [--work DIR] [--runs N] [--files N]
#include "imaging/ThumbnailMaker.h"
#include "support/CameraPicture.h"
#include "platform/imagelib/imagelib.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace benchsupport;

// The folder read's thumbnail step: every picture to the pool, taken back in order.
bool ReadFolder(const std::vector<std::string>& files, const std::string& out, QThreadPool& pool)
{
    std::vector<std::atomic<int>> done(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString file = QString::fromStdString(files[i]);
        const QString target =
            QString::fromStdString(out + "/" + std::filesystem::path(files[i]).stem().string() + "_thumb.jpg");
        pool.start([&done, i, file, target] { done[i] = MakeThumbnailFile(file, target, 70) ? 1 : 2; });
    }
    bool all = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        while (done[i] == 0)
            QThread::usleep(200);
        all = all && done[i] == 1;
    }
    pool.waitForDone();
    return all;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.addOptions({{QStringLiteral("work"), QStringLiteral("Folder for pictures and thumbnails."), QStringLiteral("dir"),
                         QString::fromStdString((std::filesystem::temp_directory_path() / "korvanta-folder-read-bench").string())},
                        {QStringLiteral("runs"), QStringLiteral("Runs; the best counts."), QStringLiteral("n"), QStringLiteral("3")},
                        {QStringLiteral("files"), QStringLiteral("Pictures in the folder."), QStringLiteral("n"), QStringLiteral("100")}});
    options.process(app);
    // Absolute: vipsthumbnail places a relative output name beside each picture.
    const std::string work = std::filesystem::absolute(options.value(QStringLiteral("work")).toStdString()).string();
    const int runs = std::max(1, options.value(QStringLiteral("runs")).toInt());
    const int count = std::max(1, options.value(QStringLiteral("files")).toInt());
    const std::string pictures = work + "/pictures", out = work + "/out";
    std::filesystem::create_directories(out);
    double megabytes = 0;
    const std::vector<std::string> files = CameraPictures(pictures, count, &megabytes);
    if (files.empty())
        return 1;

    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    std::printf("Folder read: %d camera JPEGs of %d x %d (%.1f MB on average), thumbnails 70 pixels high\n", count,
                kLong, kShort, megabytes);
    std::printf("cores usable: %d (nproc online %ld); workers: %d; vipsthumbnail with VIPS_CONCURRENCY=1; best of %d\n\n",
                QThread::idealThreadCount(), ::sysconf(_SC_NPROCESSORS_ONLN), pool.maxThreadCount(), runs);

    const double ours = BestOf(runs, [&] { return ReadFolder(files, out, pool); });
    if (ours < 0) {
        std::fprintf(stderr, "our thumbnails failed\n");
        return 1;
    }
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    double peer = -1;
    if (!vips.isEmpty()) {
        QStringList args = {QStringLiteral("--size"), QStringLiteral("x70"), QStringLiteral("-o"),
                            QString::fromStdString(out + "/%s_vips.jpg[Q=100]")};
        for (const std::string& file : files)
            args << QString::fromStdString(file);
        peer = BestOf(runs, [&] { return RunOneThreaded(vips, args); });
    }
    if (vips.isEmpty())
        std::printf("vipsthumbnail not on PATH\n");
    std::printf("ours (%d workers)      %8.1f ms  (%5.1f ms a picture)\n", pool.maxThreadCount(), ours * 1000,
                ours * 1000 / count);
    if (peer > 0) {
        std::printf("vipsthumbnail         %8.1f ms  (%5.1f ms a picture)\n", peer * 1000, peer * 1000 / count);
        std::printf("ratio ours / vipsthumbnail: %.2f   (vipsthumbnail takes %.2f times as long)\n", ours / peer,
                    peer / ours);
    } else {
        std::printf("vipsthumbnail did not run: no ratio\n");
    }
    return 0;
}
