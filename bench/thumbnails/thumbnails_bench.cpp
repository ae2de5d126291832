// The program's thumbnail path against vipsthumbnail (libvips-tools) and ImageMagick
// (convert-im6.q16 -thumbnail), in the same run, single-threaded, over camera-like 24-megapixel
// JPEGs the benchmark makes itself. Also times a 24-megapixel quarter turn and a radius-200
// blur. Prints the best of several runs, the ratios and the core count.
//
//   thumbnails_bench [--work DIR] [--runs N] [--files N]
//
// Our path is the thumbnail maker's, through the picture control: the load size hint, Load,
// Size(w, 70, 4) with w from the file's full size, DrawShape(2000) with the thumbnail frame, the
// two white corners, Save as format 23 with quality factor 2 (quality 100, written safely:
// temporary file, fsync, rename). vipsthumbnail gets all files in one process (as we are one
// process); ImageMagick runs once per file. Both write quality 100.
#include "imaging/LEADImage.h"
#include "platform/imagelib/imagelib.h"

#include <QApplication>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kLong = 6000, kShort = 4000;
constexpr int kThumbHeight = 70;
constexpr int kQFactor = 15;  // quality 91, as a camera writes

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double BestOf(int runs, const std::function<bool()>& once)
{
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        if (!once())
            return -1;
        const double t = Seconds(t0);
        best = best < 0 ? t : std::min(best, t);
    }
    return best;
}

std::string OnPath(const char* name)
{
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/bin:/bin";
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find(':', start);
        const std::string dir = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string file = (dir.empty() ? std::string(".") : dir) + "/" + name;
        if (::access(file.c_str(), X_OK) == 0)
            return file;
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
}

// Runs a program with the extra environment, output to /dev/null; true when it exits with 0.
bool Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> envStore(extraEnv);
    for (char** e = environ; *e; ++e)
        envStore.emplace_back(*e);
    std::vector<char*> envp, argv;
    for (auto& e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argStore(args);
    for (auto& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A photo-like picture: broad light, textures of several scales, edges and sensor noise; seed
// makes each file different. Every fifth picture is portrait.
LBitmap Photo(int seed)
{
    const bool portrait = seed % 5 == 4;
    const int w = portrait ? kShort : kLong, h = portrait ? kLong : kShort;
    LBitmap b;
    if (L_CreateBitmap(&b, w, h, 24) != LE_SUCCESS)
        return b;
    std::uint8_t* bits = b.BeginWrite();
    std::uint32_t rng = 0x2545f491u * std::uint32_t(seed + 1);
    const double f1 = 0.0017 + 0.0003 * (seed % 7), f2 = 0.23 + 0.02 * (seed % 5), phase = seed * 0.7;
    std::vector<float> across(std::size_t(w) * 3);
    for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c)
            across[std::size_t(x) * 3 + c] =
                float(std::sin(x * (f1 + 0.0002 * c) + phase) * 50.0 + std::sin(x * f2 + c * 1.3) * 13.0);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b.WriteRow(bits, y);
        const float down = float(std::cos(y * 0.0013 + phase) * 40.0);
        const float fine = float(std::sin(y * (f2 + 0.05)) * 11.0);
        const bool edge = (y / 333 + seed) % 3 == 0;
        for (int x = 0; x < w; ++x) {
            const float step = edge && ((x / 250) & 1) ? 35.0f : 0.0f;
            for (int c = 0; c < 3; ++c) {
                rng ^= rng << 13;
                rng ^= rng >> 17;
                rng ^= rng << 5;
                const float noise = float(int(rng & 31) - 16) * 0.45f;
                const float v = 118.0f + across[std::size_t(x) * 3 + c] + down + fine * (((x >> 1) & 1) ? 1.0f : -1.0f) +
                                step + noise;
                row[3 * x + (2 - c)] = std::uint8_t(std::clamp(v, 0.0f, 255.0f));
            }
        }
    }
    return b;
}

// The thumbnail frame of the program's thumbnail maker.
void ThumbnailSettings(TLEADImage& image)
{
    image.setShadowColor(15395562);
    image.setShadowXDepth(2);
    image.setShadowYDepth(2);
    image.setShapeBorderColor(clSilver);
    image.setShapeBorderStyle(0);
    image.setShapeBorderThickness(1);
    image.setShapeInnerBandStyle(1);
    image.setShapeInnerBandThickness(5);
    image.setShapeInnerBandShadowColor(clWhite);
    image.setShapeOuterBandThickness(5);
    image.setShapeOuterBandShadowColor(clBlue);
    image.setPatternStyle(TLEADImage::epsTransparent);
    image.setShapeBackgroundStyle(1);
}

struct Steps {
    double load = 0, size = 0, shape = 0, save = 0;
};

bool MakeThumbnail(TLEADImage& image, const std::string& file, const std::string& target, Steps& steps)
{
    auto t = Clock::now();
    image.SetLoadSizeHint(0, kThumbHeight);
    if (image.Load(QString::fromStdString(file), 0, 1, -1) != 1)
        return false;
    steps.load += Seconds(t);
    t = Clock::now();
    const int width = int(std::nearbyint(double(kThumbHeight) * image.InfoWidth() / image.InfoHeight()));
    if (image.Size(width, kThumbHeight, 4) != 1)
        return false;
    steps.size += Seconds(t);
    t = Clock::now();
    image.setDrawPersistence(true);
    image.setShapeWidth(image.BitmapWidth());
    image.setShapeHeight(image.BitmapHeight());
    if (image.DrawShape(2000, image.Bitmap()) != 1)
        return false;
    image.setAutoRepaint(true);
    const int w = image.BitmapWidth(), h = image.BitmapHeight();
    image.SetRgnRect(0, h - 2, 2, 2, 1);
    image.Fill(RGB(255, 255, 255));
    image.SetRgnRect(w - 2, 0, 2, 2, 1);
    image.Fill(RGB(255, 255, 255));
    steps.shape += Seconds(t);
    t = Clock::now();
    if (image.Save(QString::fromStdString(target), 23, 24, 2, 0) != 1)
        return false;
    steps.save += Seconds(t);
    return true;
}

void Ratio(const char* what, double ours, double peer, const char* peerName, int files)
{
    if (peer > 0)
        std::printf("%-36s ours %8.1f ms (%5.1f ms each)   %-14s %8.1f ms (%6.1f ms each)   ratio %.2f\n", what,
                    ours * 1000, ours * 1000 / files, peerName, peer * 1000, peer * 1000 / files, ours / peer);
    else
        std::printf("%-36s ours %8.1f ms   (%s not run)\n", what, ours * 1000, peerName);
}

} // namespace

int main(int argc, char** argv)
{
    std::string work = (std::filesystem::temp_directory_path() / "korvanta-thumbnails-bench").string();
    int runs = 3, files = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--work") == 0)
            work = argv[i + 1];
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(1, std::atoi(argv[i + 1]));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);

    const std::string pictures = work + "/pictures", out = work + "/out";
    std::filesystem::create_directories(pictures);
    std::filesystem::create_directories(out);
    std::printf("Thumbnail benchmark: %d camera-like JPEGs of %d x %d (%.0f megapixels), thumbnails %d pixels high\n",
                files, kLong, kShort, kLong * kShort / 1e6, kThumbHeight);
    std::printf("cores (nproc): %ld; everything single-threaded; best of %d runs\n", ::sysconf(_SC_NPROCESSORS_ONLN), runs);

    std::vector<std::string> names;
    double megabytes = 0;
    for (int i = 0; i < files; ++i) {
        const std::string name = pictures + "/photo" + std::to_string(100 + i) + ".jpg";
        if (!std::filesystem::exists(name)) {
            LBitmap b = Photo(i);
            if (L_SaveBitmap(name.c_str(), &b, LFMT_JPEG_422, 24, kQFactor, nullptr) != LE_SUCCESS) {
                std::fprintf(stderr, "cannot write %s\n", name.c_str());
                return 1;
            }
            L_FreeBitmap(&b);
        }
        megabytes += double(std::filesystem::file_size(name)) / 1e6;
        names.push_back(name);
    }
    std::printf("pictures: %.1f MB on average\n\n", megabytes / files);

    // Ours.
    TLEADImage image;
    ThumbnailSettings(image);
    Steps steps;
    int oursRuns = 0;
    const double ours = BestOf(runs, [&] {
        ++oursRuns;
        for (const std::string& name : names) {
            const std::string target = out + "/_THUMB_" + std::filesystem::path(name).filename().string();
            if (!MakeThumbnail(image, name, target, steps))
                return false;
        }
        return true;
    });
    if (ours < 0) {
        std::fprintf(stderr, "our thumbnail path failed: %s\n", image.LastErrorText().toLocal8Bit().constData());
        return 1;
    }

    // "x70": a height, the width following the picture.
    const std::string heightArg = std::string("x").append(std::to_string(kThumbHeight));
    // vipsthumbnail, one process for all files.
    const std::string vips = OnPath("vipsthumbnail");
    double peerVips = -1;
    if (!vips.empty()) {
        std::vector<std::string> args = {vips, "--size", heightArg, "-o",
                                         out + "/%s_vips.jpg[Q=100]"};
        args.insert(args.end(), names.begin(), names.end());
        peerVips = BestOf(runs, [&] { return Spawn(args, {"VIPS_CONCURRENCY=1"}); });
    }
    // ImageMagick, one process per file (its -thumbnail decodes the whole picture).
    const std::string magick = OnPath("convert-im6.q16");
    double peerMagick = -1;
    if (!magick.empty()) {
        peerMagick = BestOf(std::min(runs, 2), [&] {
            for (const std::string& name : names)
                if (!Spawn({magick, name, "-thumbnail", heightArg, "-quality", "100",
                            out + "/" + std::filesystem::path(name).stem().string() + "_magick.jpg"},
                           {"MAGICK_THREAD_LIMIT=1", "OMP_NUM_THREADS=1"}))
                    return false;
            return true;
        });
    }

    Ratio("thumbnails (load, size, frame, save)", ours, peerVips, "vipsthumbnail", files);
    Ratio("", ours, peerMagick, "convert-im6.q16", files);
    const double perRun = double(oursRuns) * files;
    std::printf("  our steps per thumbnail: load %.1f ms, size %.2f ms, frame and corners %.2f ms, save %.2f ms\n",
                steps.load * 1000 / perRun, steps.size * 1000 / perRun, steps.shape * 1000 / perRun,
                steps.save * 1000 / perRun);
    if (peerMagick > 0)
        std::printf("  ImageMagick takes %.1f times as long as we do\n", peerMagick / ours);
    std::printf("\n");

    // A quarter turn and a radius-200 blur of a 24-megapixel picture, through the kernel.
    const LBitmap photo = Photo(0);
    const double turn = BestOf(runs, [&] {
        LBitmap b = photo;
        return L_RotateBitmap(&b, 9000, LROTATE_RESIZE, 0) == LE_SUCCESS;
    });
    const double blur = BestOf(runs, [&] {
        LBitmap b = photo;
        return L_GaussianFilterBitmap(&b, 200) == LE_SUCCESS;
    });
    const double full = BestOf(runs, [&] {
        LBitmap b;
        return L_LoadFile(names.front().c_str(), &b, 0, LORDER_BGR, 0, nullptr, nullptr, nullptr, nullptr) == LE_SUCCESS;
    });
    std::printf("%-36s %8.1f ms\n", "quarter turn, 24 megapixels", turn * 1000);
    std::printf("%-36s %8.1f ms\n", "Gaussian blur radius 200, 24 MP", blur * 1000);
    std::printf("%-36s %8.1f ms  (for scale: a full decode of one picture)\n", "full-size JPEG decode", full * 1000);
    return 0;
}
