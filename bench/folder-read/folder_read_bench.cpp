// The thumbnails of a folder read: camera-size JPEGs the benchmark makes itself, turned into
// framed 70-pixel-high thumbnails the way the main window's folder read makes them (on a pool
// of QThread::idealThreadCount() workers, results taken in folder order), against
// vipsthumbnail (VIPS_CONCURRENCY=1, all files in one process) in the same run. Run it under
// `taskset -c 0` for the one-core figures: the pool then has one worker.
//
// --list then fills a shown source list (THTMListBox) with the thumbnails one item at a time,
// painting every 15 ms, as the main window does after its read, and prints the time from the
// last thumbnail to the complete list, the memory the list adds and the process's peak, in
// place of the vipsthumbnail comparison. With
// --photo WxH the folder holds photos of that size made here (smaller than the camera's, for
// folders of thousands, e.g. --files 10000 --photo 1600x1200 --runs 1 --list).
//
//   folder_read_bench [--work DIR] [--runs N] [--files N] [--photo WxH] [--list]
#include "controls/HTMLEscape.h"
#include "controls/HTMListBox.h"
#include "lists/ResidentMemory.h"
#include "imaging/ThumbnailMaker.h"
#include "support/CameraPicture.h"
#include "platform/imagelib/imagelib.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
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
#include <memory>
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

// Photos of width x height (gradients under noise, quality 90) made on the pool when missing.
std::vector<std::string> Photos(const std::string& folder, int count, int width, int height, QThreadPool& pool)
{
    std::filesystem::create_directories(folder);
    std::vector<std::string> files;
    std::atomic<bool> ok = true;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder + "/P" + std::to_string(width) + "x" + std::to_string(height) + "_" +
                        std::to_string(10000 + i) + ".jpg");
        if (std::filesystem::exists(files.back()))
            continue;
        pool.start([&ok, i, width, height, name = files.back()] {
            QImage image(width, height, QImage::Format_RGB32);
            QRandomGenerator rng(quint32(i + 1));
            const int hue = int(rng.bounded(360));
            for (int y = 0; y < height; ++y) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < width; ++x)
                    row[x] = QColor::fromHsv((hue + x / 16) % 360, 80 + (y * 150) / height,
                                             std::min(255, 60 + (x * 150) / width + int(rng.bounded(40))))
                                 .rgb();
            }
            if (!image.save(QString::fromStdString(name), "JPEG", 90))
                ok = false;
        });
    }
    pool.waitForDone();
    return ok ? files : std::vector<std::string>();
}

// The source list after the read: one item per thumbnail, painted every 15 ms; milliseconds,
// and in *listedKb the resident memory the filled list adds.
double FillList(const std::vector<std::string>& files, const std::string& out, long* listedKb)
{
    const long before = StatusKilobytes("VmRSS");
    THTMListBox list;
    list.resize(300, 700);
    list.show();
    QCoreApplication::processEvents();
    QElapsedTimer sincePaint;
    sincePaint.start();
    const auto t0 = Clock::now();
    for (const std::string& file : files) {
        if (sincePaint.elapsed() >= 15) {
            QCoreApplication::processEvents();
            sincePaint.restart();
        }
        const std::string stem = std::filesystem::path(file).stem().string();
        const QString thumb = QString::fromStdString(out + "/" + stem + "_thumb.jpg");
        list.Items().Add(QStringLiteral("<IMG src=\"file://") + HTMLEscape(thumb) + QStringLiteral("\" align=\"top\">") +
                         HTMLEscape(QString::fromStdString(stem + ".jpg")));
    }
    list.viewport()->repaint();
    QCoreApplication::processEvents();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    *listedKb = StatusKilobytes("VmRSS") - before;
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::string(argv[i]) == "--list";
    if (listing)
        qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    std::unique_ptr<QCoreApplication> application(listing ? new QApplication(argc, argv)
                                                          : new QCoreApplication(argc, argv));
    QCoreApplication& app = *application;
    QCommandLineParser options;
    options.addOptions({{QStringLiteral("work"), QStringLiteral("Folder for pictures and thumbnails."), QStringLiteral("dir"),
                         QString::fromStdString((std::filesystem::temp_directory_path() / "korvanta-folder-read-bench").string())},
                        {QStringLiteral("runs"), QStringLiteral("Runs; the best counts."), QStringLiteral("n"), QStringLiteral("3")},
                        {QStringLiteral("files"), QStringLiteral("Pictures in the folder."), QStringLiteral("n"), QStringLiteral("100")},
                        {QStringLiteral("photo"), QStringLiteral("Photos of this size instead of camera pictures."), QStringLiteral("WxH")},
                        {QStringLiteral("list"), QStringLiteral("Fill the source list with the thumbnails afterwards.")}});
    options.process(app);
    // Absolute: vipsthumbnail places a relative output name beside each picture.
    const std::string work = std::filesystem::absolute(options.value(QStringLiteral("work")).toStdString()).string();
    const int runs = std::max(1, options.value(QStringLiteral("runs")).toInt());
    const int count = std::max(1, options.value(QStringLiteral("files")).toInt());
    const std::string pictures = work + "/pictures", out = work + "/out";
    std::filesystem::create_directories(out);
    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    double megabytes = 0;
    int width = kLong, height = kShort;
    const QStringList photo = options.value(QStringLiteral("photo")).split(QLatin1Char('x'));
    if (photo.size() == 2) {
        width = std::max(16, photo[0].toInt());
        height = std::max(16, photo[1].toInt());
    }
    const std::vector<std::string> files = photo.size() == 2 ? Photos(pictures, count, width, height, pool)
                                                             : CameraPictures(pictures, count, &megabytes);
    if (files.empty())
        return 1;
    if (photo.size() == 2) {
        for (const std::string& file : files)
            megabytes += double(std::filesystem::file_size(file)) / 1e6;
        megabytes /= double(files.size());
    }

    std::printf("Folder read: %d JPEGs of %d x %d (%.1f MB on average), thumbnails 70 pixels high\n", count,
                width, height, megabytes);
    std::printf("cores usable: %d (nproc online %ld); workers: %d; vipsthumbnail with VIPS_CONCURRENCY=1; best of %d\n\n",
                QThread::idealThreadCount(), ::sysconf(_SC_NPROCESSORS_ONLN), pool.maxThreadCount(), runs);

    const double ours = BestOf(runs, [&] { return ReadFolder(files, out, pool); });
    if (ours < 0) {
        std::fprintf(stderr, "our thumbnails failed\n");
        return 1;
    }
    if (options.isSet(QStringLiteral("list"))) {
        long listed = 0;
        const double fill = FillList(files, out, &listed);
        std::printf("thumbnails (%d workers) %.1f ms; %.1f ms from the last thumbnail to the complete list of %d "
                    "items; the list adds %ld kB (%.1f kB an item); peak %ld kB\n",
                    pool.maxThreadCount(), ours * 1000, fill, count, listed, double(listed) / count,
                    StatusKilobytes("VmHWM"));
        return 0;
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
