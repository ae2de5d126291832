// JPEG decode and encode through the imaging kernel against djpeg and cjpeg
// (libjpeg-turbo-progs), in the same run, on a camera-like 24-megapixel picture that the
// benchmark makes itself. Prints the best of several runs, the ratios and the core count.
//
//   jpeg_bench [--work DIR] [--runs N]
//
// Like with like: our decode goes from the file's bytes in memory to a bitmap in memory;
// djpeg reads the file (from the page cache) and writes PPM to /dev/null. Our encode goes from
// a bitmap to bytes in memory; cjpeg reads a PPM file (page cache) and writes to /dev/null,
// with the same quality and sampling. The file variants (L_LoadFile, L_SaveBitmap with its
// fsync'ed safe replace) are printed beside them.
#include "platform/imagelib/imagelib.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kWidth = 6000, kHeight = 4000;
constexpr int kQFactor = 15; // quality 91, typical of a camera
constexpr int kFormat = LFMT_JPEG_422;

using Clock = std::chrono::steady_clock;

double BestOf(int runs, const std::function<bool()>& once)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        if (!once())
            return -1;
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return best;
}

std::string FindTool(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string p = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= p.size()) {
        const std::size_t end = p.find(':', start);
        const std::string dir = p.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return {};
}

// Runs a program with stdout to /dev/null; true when it exits with 0.
bool Run(const std::vector<std::string>& args)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A picture with what cameras record: smooth light, fine texture and sensor noise.
LBitmap CameraLikePicture()
{
    LBitmap b;
    if (L_CreateBitmap(&b, kWidth, kHeight, 24) != LE_SUCCESS) {
        std::fprintf(stderr, "cannot allocate the picture\n");
        std::exit(1);
    }
    std::uint8_t* bits = b.BeginWrite();
    std::uint32_t rng = 0x9e3779b9u;
    std::vector<float> sx(kWidth * 3);
    for (int x = 0; x < kWidth; ++x)
        for (int c = 0; c < 3; ++c)
            sx[std::size_t(x) * 3 + c] = float(std::sin(x * (0.0021 + 0.0004 * c)) * 55.0 + std::sin(x * 0.31 + c) * 14.0);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = b.WriteRow(bits, y);
        const float sy = float(std::cos(y * 0.0017) * 45.0);
        const float fine = float(std::sin(y * 0.27) * 12.0);
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) {
                rng ^= rng << 13;
                rng ^= rng >> 17;
                rng ^= rng << 5;
                const float noise = float(int(rng & 31) - 16) * 0.4f;
                const float v = 120.0f + sx[std::size_t(x) * 3 + c] + sy + fine * ((x >> 2) & 1 ? 1.0f : -1.0f) + noise;
                row[3 * x + (2 - c)] = std::uint8_t(std::clamp(v, 0.0f, 255.0f));
            }
    }
    return b;
}

bool WritePpm(const std::string& path, const LBitmap& b)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << b.Width << " " << b.Height << "\n255\n";
    std::vector<char> row(std::size_t(b.Width) * 3);
    for (int y = 0; y < b.Height; ++y) {
        const std::uint8_t* p = b.Row(y);
        for (int x = 0; x < b.Width; ++x) {
            row[3 * std::size_t(x)] = char(p[3 * x + 2]);
            row[3 * std::size_t(x) + 1] = char(p[3 * x + 1]);
            row[3 * std::size_t(x) + 2] = char(p[3 * x]);
        }
        out.write(row.data(), std::streamsize(row.size()));
    }
    return bool(out);
}

void PrintLine(const char* what, double ours, double peer, const char* peerName)
{
    if (peer > 0)
        std::printf("%-34s %8.1f ms   %-8s %8.1f ms   ratio %.2f\n", what, ours * 1000, peerName, peer * 1000, ours / peer);
    else
        std::printf("%-34s %8.1f ms   (%s not run)\n", what, ours * 1000, peerName);
}

} // namespace

int main(int argc, char** argv)
{
    std::string work = std::filesystem::temp_directory_path() / "korvanta-jpeg-bench";
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--work") == 0)
            work = argv[i + 1];
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    std::filesystem::create_directories(work);
    const std::string jpegPath = work + "/camera.jpg", ppmPath = work + "/camera.ppm", outPath = work + "/saved.jpg";

    std::printf("JPEG benchmark: %d x %d (%.1f megapixels), format %d (4:2:2), quality factor %d = quality %d\n",
                kWidth, kHeight, kWidth * kHeight / 1e6, kFormat, kQFactor, L_JpegQualityOfQFactor(kQFactor));
    std::printf("cores (nproc): %ld; best of %d runs\n", ::sysconf(_SC_NPROCESSORS_ONLN), runs);

    const LBitmap picture = CameraLikePicture();
    std::vector<std::uint8_t> jpeg;
    if (L_SaveBitmapMemory(&jpeg, &picture, kFormat, 24, kQFactor, nullptr) != LE_SUCCESS) {
        std::fprintf(stderr, "encoding failed\n");
        return 1;
    }
    {
        std::ofstream out(jpegPath, std::ios::binary);
        out.write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    }
    if (!WritePpm(ppmPath, picture)) {
        std::fprintf(stderr, "cannot write %s\n", ppmPath.c_str());
        return 1;
    }
    std::printf("test picture: %.2f MB as JPEG\n\n", jpeg.size() / 1e6);

    const std::string djpeg = FindTool("djpeg"), cjpeg = FindTool("cjpeg");
    if (djpeg.empty() || cjpeg.empty())
        std::printf("djpeg/cjpeg not found (Debian package libjpeg-turbo-progs): peers not run\n");

    // Decode.
    const double oursDecode = BestOf(runs, [&] {
        LBitmap b;
        return L_LoadBitmapMemory(jpeg.data(), jpeg.size(), &b, 0, LORDER_BGR, nullptr, nullptr) == LE_SUCCESS;
    });
    const double oursDecodeFile = BestOf(runs, [&] {
        LBitmap b;
        return L_LoadFile(jpegPath.c_str(), &b, 0, LORDER_BGR, 0, nullptr, nullptr, nullptr, nullptr) == LE_SUCCESS;
    });
    const double peerDecode = djpeg.empty() ? -1 : BestOf(runs, [&] { return Run({djpeg, "-ppm", jpegPath}); });
    const double peerDecodeBmp = djpeg.empty() ? -1 : BestOf(runs, [&] { return Run({djpeg, "-bmp", jpegPath}); });

    // Encode.
    std::size_t oursSize = 0;
    const double oursEncode = BestOf(runs, [&] {
        std::vector<std::uint8_t> out;
        const bool ok = L_SaveBitmapMemory(&out, &picture, kFormat, 24, kQFactor, nullptr) == LE_SUCCESS;
        oursSize = out.size();
        return ok;
    });
    const double oursEncodeFile =
        BestOf(runs, [&] { return L_SaveBitmap(outPath.c_str(), &picture, kFormat, 24, kQFactor, nullptr) == LE_SUCCESS; });
    const std::string quality = std::to_string(L_JpegQualityOfQFactor(kQFactor));
    const double peerEncode =
        cjpeg.empty() ? -1 : BestOf(runs, [&] { return Run({cjpeg, "-quality", quality, "-sample", "2x1", ppmPath}); });

    PrintLine("decode, memory to bitmap", oursDecode, peerDecode, "djpeg -ppm");
    PrintLine("decode, file to bitmap", oursDecodeFile, peerDecode, "djpeg -ppm");
    PrintLine("decode, memory to bitmap", oursDecode, peerDecodeBmp, "djpeg -bmp");
    PrintLine("encode, bitmap to memory", oursEncode, peerEncode, "cjpeg");
    PrintLine("encode, bitmap to file (fsync)", oursEncodeFile, peerEncode, "cjpeg");
    std::printf("\nencoded size: ours %.2f MB\n", oursSize / 1e6);
    std::filesystem::remove(ppmPath);
    std::filesystem::remove(jpegPath);
    std::filesystem::remove(outPath);
    const bool withinTarget = peerDecode <= 0 || (oursDecode <= peerDecode * 1.10 && oursEncode <= peerEncode * 1.10);
    std::printf("target (within 10 %% of djpeg/cjpeg): %s\n", withinTarget ? "met" : "NOT met");
    return 0;
}
