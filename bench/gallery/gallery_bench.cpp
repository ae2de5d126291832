// The web pictures of an HTML gallery: camera-size JPEGs the benchmark makes itself, each
// turned into its framed overview picture and page picture (80 and 250 pixels on the shorter
// side) the way the gallery window makes them (every core, results taken in slideshow order),
// against ImageMagick making the same two sizes per picture (convert-im6.q16 -thumbnail, twice
// per picture, one picture after the other; ImageMagick uses the cores itself) in the same run.
//
//   gallery_bench [--work DIR] [--pictures DIR] [--runs N] [--peer-runs N] [--files N]
#include "output/gallery/GalleryPictures.h"
#include "support/CameraPicture.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace benchsupport;

namespace {

constexpr int kSmall = 80, kLarge = 250;

bool Ours(const std::vector<std::string>& files, const std::string& out)
{
    std::vector<TWebPictureJob> jobs;
    for (const std::string& file : files) {
        const std::string stem = std::filesystem::path(file).stem().string();
        TWebPictureJob job;
        job.Source = QString::fromStdString(file);
        job.ThumbTarget = QString::fromStdString(out + "/" + stem + "_thumb.jpg");
        job.LargeTarget = QString::fromStdString(out + "/" + stem + ".jpg");
        job.SmallX = kSmall;
        job.LargeX = kLarge;
        job.Look.Frame.innerStyle = 1;       // raised, as the gallery window's frame
        job.Look.Frame.backgroundStyle = 1;  // the picture inside the bands
        job.Look.Frame.shadowXDepth = job.Look.Frame.shadowYDepth = 4;
        job.Look.Frame.shadowColor = WebShadowColor(job.Look.Background);
        jobs.push_back(job);
    }
    bool all = true;
    RunWebPictureJobs(jobs, 0, [&](int, const TWebPictureResult& r) { all = all && r.Ok; }, {});
    return all;
}

bool Peer(const QString& convert, const std::vector<std::string>& files, const std::string& out)
{
    for (const std::string& file : files) {
        const std::string stem = std::filesystem::path(file).stem().string();
        // The same pixel sizes as ours: the shorter side 80 and 250 (a camera picture is 3:2).
        const TWebSizes s = WebSizes(kLong, kShort, kSmall, kLarge);
        const bool portrait = (&file - files.data()) % 4 == 3;
        const auto box = [&](int w, int h) {
            return QString::fromStdString(portrait ? std::to_string(h) + "x" + std::to_string(w)
                                                   : std::to_string(w) + "x" + std::to_string(h));
        };
        for (const auto& [size, target] : {std::pair{box(s.ThumbWidth, s.ThumbHeight), out + "/" + stem + "_im_thumb.jpg"},
                                           std::pair{box(s.LargeWidth, s.LargeHeight), out + "/" + stem + "_im.jpg"}}) {
            QProcess process;
            process.start(convert, {QString::fromStdString(file), QStringLiteral("-thumbnail"), size,
                                    QString::fromStdString(target)});
            if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
                std::fprintf(stderr, "%s failed: %s\n", qPrintable(convert), process.readAllStandardError().constData());
                return false;
            }
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString temp = QString::fromStdString((std::filesystem::temp_directory_path() / "korvanta-gallery-bench").string());
    QCommandLineParser options;
    options.addOptions({{QStringLiteral("work"), QStringLiteral("Folder for the web pictures."), QStringLiteral("dir"), temp},
                        {QStringLiteral("pictures"), QStringLiteral("Folder of the camera pictures (made when missing)."),
                         QStringLiteral("dir"), QString()},
                        {QStringLiteral("runs"), QStringLiteral("Runs of ours; the best counts."), QStringLiteral("n"),
                         QStringLiteral("3")},
                        {QStringLiteral("peer-runs"), QStringLiteral("Runs of ImageMagick; the best counts."),
                         QStringLiteral("n"), QStringLiteral("1")},
                        {QStringLiteral("files"), QStringLiteral("Pictures in the gallery."), QStringLiteral("n"),
                         QStringLiteral("100")}});
    options.process(app);
    const std::string work = std::filesystem::absolute(options.value(QStringLiteral("work")).toStdString()).string();
    const std::string pictures = options.value(QStringLiteral("pictures")).isEmpty()
                                     ? work + "/pictures"
                                     : std::filesystem::absolute(options.value(QStringLiteral("pictures")).toStdString()).string();
    const int runs = std::max(1, options.value(QStringLiteral("runs")).toInt());
    const int peerRuns = std::max(1, options.value(QStringLiteral("peer-runs")).toInt());
    const int count = std::max(1, options.value(QStringLiteral("files")).toInt());
    const std::string out = work + "/out";
    std::filesystem::create_directories(out);
    double megabytes = 0;
    const std::vector<std::string> files = CameraPictures(pictures, count, &megabytes);
    if (files.empty())
        return 1;

    std::printf("Gallery: %d camera JPEGs of %d x %d (%.1f MB on average) into framed web pictures, %d and %d pixels "
                "on the shorter side\n",
                count, kLong, kShort, megabytes, kSmall, kLarge);
    std::printf("cores usable: %d (nproc online %ld); ours: best of %d, ImageMagick: best of %d\n\n",
                QThread::idealThreadCount(), ::sysconf(_SC_NPROCESSORS_ONLN), runs, peerRuns);

    const double ours = BestOf(runs, [&] { return Ours(files, out); });
    if (ours < 0) {
        std::fprintf(stderr, "our web pictures failed\n");
        return 1;
    }
    std::printf("ours (%d workers)        %9.1f ms  (%6.1f ms a picture)\n", QThread::idealThreadCount(), ours * 1000,
                ours * 1000 / count);
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert-im6.q16"));
    if (convert.isEmpty()) {
        std::printf("convert-im6.q16 not on PATH: no ratio\n");
        return 0;
    }
    const double peer = BestOf(peerRuns, [&] { return Peer(convert, files, out); });
    if (peer < 0) {
        std::printf("ImageMagick failed: no ratio\n");
        return 0;
    }
    std::printf("convert-im6.q16 x2     %9.1f ms  (%6.1f ms a picture)\n", peer * 1000, peer * 1000 / count);
    std::printf("ratio ours / ImageMagick: %.3f   (ImageMagick takes %.1f times as long)\n", ours / peer, peer / ours);
    return 0;
}
