// The thumbnails of a folder read: camera-size JPEGs the benchmark makes itself, turned into
// framed 70-pixel-high thumbnails the way the main window's folder read makes them (on a pool
// of QThread::idealThreadCount() workers, results taken in folder order), against
// vipsthumbnail (VIPS_CONCURRENCY=1, all files in one process) in the same run. Run it under
// `taskset -c 0` for the one-core figures: the pool then has one worker.
//
//   folder_read_bench [--work DIR] [--runs N] [--files N]
#include "imaging/ThumbnailMaker.h"
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

constexpr int kLong = 6000, kShort = 4000;  // 24 megapixels
constexpr int kQFactor = 15;                // quality 91, as a camera writes

using Clock = std::chrono::steady_clock;

double BestOf(int runs, const std::function<bool()>& once)
{
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        if (!once())
            return -1;
        const double t = std::chrono::duration<double>(Clock::now() - t0).count();
        best = best < 0 ? t : std::min(best, t);
    }
    return best;
}

// Runs a program with VIPS_CONCURRENCY=1, output discarded; true on exit code 0.
bool RunOneThreaded(const QString& program, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VIPS_CONCURRENCY"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    const bool ok = process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok)
        std::fprintf(stderr, "%s failed (exit code %d): %s\n", qPrintable(program), process.exitCode(),
                     process.readAllStandardError().constData());
    return ok;
}

// A camera-like picture: broad light falling off to the corners, structure at several scales,
// hard edges and per-pixel sensor noise. Every fourth picture is portrait.
LBitmap CameraPicture(int seed)
{
    const bool portrait = seed % 4 == 3;
    const int w = portrait ? kShort : kLong, h = portrait ? kLong : kShort;
    LBitmap b;
    if (L_CreateBitmap(&b, w, h, 24) != LE_SUCCESS)
        return b;
    std::uint8_t* bits = b.BeginWrite();
    std::uint32_t rng = 0x9e3779b9u * std::uint32_t(seed + 7);
    std::vector<float> columns(std::size_t(w) * 3);
    for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c)
            columns[std::size_t(x) * 3 + c] = float(std::cos(x * (0.0021 + 0.0004 * c) + seed) * 45.0 +
                                                    std::sin(x * (0.19 + 0.01 * (seed % 3)) + c) * 12.0);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b.WriteRow(bits, y);
        const float light = float(std::sin(y * 0.0011 + seed * 0.3) * 35.0);
        const float band = ((y / 280 + seed) % 4 == 0) ? 30.0f : 0.0f;
        for (int x = 0; x < w; ++x) {
            const float edge = band != 0.0f && ((x / 310) & 1) ? band : 0.0f;
            for (int c = 0; c < 3; ++c) {
                rng ^= rng << 13;
                rng ^= rng >> 17;
                rng ^= rng << 5;
                const float v = 120.0f + columns[std::size_t(x) * 3 + c] + light + edge +
                                float(int(rng & 31) - 16) * 0.5f;
                row[3 * x + c] = std::uint8_t(std::clamp(v, 0.0f, 255.0f));
            }
        }
    }
    return b;
}

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
    std::filesystem::create_directories(pictures);
    std::filesystem::create_directories(out);

    std::vector<std::string> files;
    double megabytes = 0;
    for (int i = 0; i < count; ++i) {
        const std::string name = pictures + "/IMG_" + std::to_string(1000 + i) + ".jpg";
        if (!std::filesystem::exists(name)) {
            LBitmap b = CameraPicture(i);
            const int rc = L_SaveBitmap(name.c_str(), &b, LFMT_JPEG_422, 24, kQFactor, nullptr);
            L_FreeBitmap(&b);
            if (rc != LE_SUCCESS) {
                std::fprintf(stderr, "cannot write %s\n", name.c_str());
                return 1;
            }
        }
        megabytes += double(std::filesystem::file_size(name)) / 1e6;
        files.push_back(name);
    }

    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    std::printf("Folder read: %d camera JPEGs of %d x %d (%.1f MB on average), thumbnails 70 pixels high\n", count,
                kLong, kShort, megabytes / count);
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
