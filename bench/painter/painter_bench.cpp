// The effects of the painter effects tree on a 24-megapixel camera-like picture (6000 x 4000,
// fine detail), each at the middle of its strength bar: on one core (the process held to one
// core, so routines that start threads of their own count as one core too), and for the
// routines whose rows are independent the rows split over every core (checked equal to the
// one-core run). The sine curve and the skew run as the drawing component runs them.
// Beside them ImageMagick's nearest operator (convert-im6.q16 on one thread and on every core,
// its time to read and write the picture subtracted). Prints the best of several runs, the
// ratios ImageMagick / ours (one core against one thread, every core against every core) and
// the core count.
//
//   painter_bench [--work DIR] [--runs N] [--no-peer] [--only NAME-PREFIX] [--cpu-time] [--digest]
//
// --cpu-time gives the one-core column in processor time of the thread (steadier when other
// work loads the machine); --digest prints a digest of every result (24 MP and odd sizes) to
// compare two builds instead of timing.
#include "editing/draw/DrawImage.h"
#include "editing/paintfx/PaintFX.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <sched.h>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kW = 6000, kH = 4000;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

TFxImage Camera(int w = kW, int h = kH)
{
    TFxImage img(w, h);
    std::uint32_t s = 2463534242u;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s ^= s << 13, s ^= s >> 17, s ^= s << 5;
            const int n = int(s & 31) - 16;
            std::uint8_t* p = img.Pixel(x, y);
            p[0] = TpelPaintFX::ClampByte((x * 255 / w) / 2 + 60 + n);
            p[1] = TpelPaintFX::ClampByte(((x / 40 + y / 40) % 2 ? 140 : 90) + n);
            p[2] = TpelPaintFX::ClampByte(y * 255 / h + n);
        }
    return img;
}

// The view of rows [top, bottom) of bmp.
TFxBitmap Band(const TFxBitmap& bmp, int top, int bottom)
{
    return {bmp.Row(top), bmp.Width, bottom - top, bmp.Stride};
}

// Runs f over bands of rows on every core; align keeps band starts on multiples (mosaic).
void Parallel(const TFxBitmap& bmp, int align, const std::function<void(const TFxBitmap&)>& f)
{
    const int cores = std::max(1u, std::thread::hardware_concurrency());
    int rows = (bmp.Height + cores - 1) / cores;
    rows = (rows + align - 1) / align * align;
    std::vector<std::thread> threads;
    for (int top = 0; top < bmp.Height; top += rows)
        threads.emplace_back([&, top] { f(Band(bmp, top, std::min(bmp.Height, top + rows))); });
    for (auto& t : threads)
        t.join();
}

struct Effect {
    const char* name;
    std::function<void(TpelPaintFX&, const TFxBitmap& work, const TFxBitmap& copy)> run;
    int align;  // 0: rows are not independent
    const char* peer;  // ImageMagick's operator, or nullptr
    // Routines that read a copy: rows top .. bottom - 1 of the whole picture.
    std::function<void(TpelPaintFX&, const TFxBitmap& work, const TFxBitmap& copy, int top, int bottom)> rows = {};
    // Routines of the drawing component, on its work bitmap (they split the rows themselves).
    std::function<void(TpelDrawImage&)> component = {};
    // Library routines that split the rows over the cores themselves.
    bool splitsItself = false;
};

double WallMs(const std::function<void()>& f)
{
    const auto a = Clock::now();
    f();
    return Ms(a, Clock::now());
}

double Best(int runs, const std::function<void()>& f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto a = Clock::now();
        f();
        best = std::min(best, Ms(a, Clock::now()));
    }
    return best;
}

// The processor time of the calling thread: steadier than the clock on a loaded machine.
double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Keeps the calling thread, and the threads it starts, on one core (one) or lets them use every
// core the process had at the start.
void PinToOneCore(bool one)
{
    static cpu_set_t every = [] {
        cpu_set_t set;
        sched_getaffinity(0, sizeof set, &set);
        return set;
    }();
    cpu_set_t set = every;
    if (one) {
        CPU_ZERO(&set);
        CPU_SET(std::max(0, sched_getcpu()), &set);
    }
    sched_setaffinity(0, sizeof set, &set);
}

// A routine of the drawing component on its work bitmap, loaded with picture (not timed); the
// result into out. Returns the time of the routine.
double RunComponent(TpelDrawImage& d, const std::function<void(TpelDrawImage&)>& run, const TFxImage& picture,
                    TFxImage& out, bool cpuTime)
{
    {
        TBitmap bitmap(picture.Width(), picture.Height());
        bitmap.SetPixelFormat(pf24bit);
        const TFxBitmap v = FxView(bitmap);
        for (int y = 0; y < picture.Height(); ++y)
            std::copy_n(picture.Pixel(0, y), std::size_t(picture.Width()) * 3, v.Row(y));
        d.WorkBitmap = bitmap;
    }
    const auto a = Clock::now();
    const double cpuA = ThreadCpuMs();
    run(d);
    const double ms = cpuTime ? ThreadCpuMs() - cpuA : Ms(a, Clock::now());
    out = TFxImage(FxView(d.WorkBitmap));
    return ms;
}

// FNV-1a over the pixels: a digest to compare the results of two builds.
std::uint64_t Digest(const TFxImage& img)
{
    std::uint64_t h = 14695981039346656037ull;
    for (std::uint8_t b : img.Bytes())
        h = (h ^ b) * 1099511628211ull;
    return h;
}

double RunPeer(const std::string& work, const std::string& op, int runs, bool oneThread)
{
    const std::string cmd = std::string(oneThread ? "MAGICK_THREAD_LIMIT=1 " : "") + "convert-im6.q16 " + work +
                            "/in.ppm " + op + " " + work + "/out.ppm";
    return Best(runs, [&] {
        if (std::system(cmd.c_str()) != 0)
            std::fprintf(stderr, "failed: %s\n", cmd.c_str());
    });
}

} // namespace

int main(int argc, char** argv)
{
    std::string work = "/tmp/painter-bench";
    int runs = 3;
    bool peer = true;
    std::string only;  // run only the effects whose name starts with this
    bool cpuTime = false;  // one-core column in processor time of the thread, not clock time
    bool digest = false;  // print a digest of every result instead of timing
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--work") && i + 1 < argc)
            work = argv[++i];
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--no-peer"))
            peer = false;
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            only = argv[++i];
        else if (!std::strcmp(argv[i], "--cpu-time"))
            cpuTime = true;
        else if (!std::strcmp(argv[i], "--digest"))
            digest = true, peer = false;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TpelDrawImage drawImage;
    const TFxImage original = Camera();
    if (peer) {
        std::system(("mkdir -p " + work).c_str());
        FILE* f = std::fopen((work + "/in.ppm").c_str(), "wb");
        std::fprintf(f, "P6\n%d %d\n255\n", kW, kH);
        std::vector<std::uint8_t> rgb(std::size_t(kW) * 3);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                const std::uint8_t* p = original.Pixel(x, y);
                rgb[3 * x] = p[2], rgb[3 * x + 1] = p[1], rgb[3 * x + 2] = p[0];
            }
            std::fwrite(rgb.data(), 1, rgb.size(), f);
        }
        std::fclose(f);
    }
    // The 21 effects of the tree at the middle of their bars (the colour filters with the
    // hidden low bar at 1), then the routines of the brightness, colour and contrast panel.
    const std::vector<Effect> effects = {
        {"16 SineCurve 5", {}, 0, nullptr, {}, [](TpelDrawImage& d) { d.ApplySineCurve(5); }},
        {"25 Emboss", [](auto& fx, auto& w, auto&) { fx.Emboss(w); }, 0, "-emboss 1"},
        {"41 Skew 50", {}, 0, nullptr, {}, [](TpelDrawImage& d) { d.SkewPicture(50); }},
        {"42 Plasma 50", [](auto& fx, auto& w, auto& c) { fx.Plasma(c, c, 10, 50, w); }, 0, nullptr},
        {"53 Solarize 127", [](auto& fx, auto& w, auto&) { fx.Solarize(w, 127); }, 1, "-solarize 50%"},
        {"54 Posterize 128", [](auto& fx, auto& w, auto&) { fx.Posterize(w, 128); }, 1, "+dither -posterize 3"},
        {"3 GaussianBlur 10", [](auto& fx, auto& w, auto&) { fx.GaussianBlur(w, 10); }, 0, "-blur 0x6"},
        {"5 AddColorNoise 100", [](auto& fx, auto& w, auto&) { fx.AddColorNoise(w, 100); }, 0, "+noise Uniform", {},
         {}, true},
        {"6 AddMonoNoise 100", [](auto& fx, auto& w, auto&) { fx.AddMonoNoise(w, 100); }, 0, nullptr, {}, {}, true},
        {"8 EdgeBlend 9", [](auto& fx, auto& w, auto&) { fx.EdgeBlend(w, 9); }, 0, nullptr},
        {"9 Mosaic 16", [](auto& fx, auto& w, auto&) { fx.Mosaic(w, 16); }, 16, "-scale 6.25% -scale 1600%"},
        {"10 Twist 25", [](auto& fx, auto& w, auto& c) { fx.Twist(c, w, 25); }, 0, "-swirl 90",
         [](TpelPaintFX& fx, const TFxBitmap& w, const TFxBitmap& c, int t, int b) { fx.Twist(c, w, 25, t, b); }},
        {"11 FishEye 0.5", [](auto& fx, auto& w, auto& c) { fx.FishEye(c, w, 0.5); }, 0, "-implode -0.5",
         [](TpelPaintFX& fx, const TFxBitmap& w, const TFxBitmap& c, int t, int b) { fx.FishEye(c, w, 0.5, t, b); }},
        {"26 FilterRed 1..128", [](auto& fx, auto& w, auto&) { fx.FilterRed(w, 1, 128); }, 1, nullptr},
        {"27 FilterGreen 1..128", [](auto& fx, auto& w, auto&) { fx.FilterGreen(w, 1, 128); }, 1, nullptr},
        {"28 FilterBlue 1..128", [](auto& fx, auto& w, auto&) { fx.FilterBlue(w, 1, 128); }, 1, nullptr},
        {"29 FilterXRed 1..128", [](auto& fx, auto& w, auto&) { fx.FilterXRed(w, 1, 128); }, 1, nullptr},
        {"30 FilterXGreen 1..128", [](auto& fx, auto& w, auto&) { fx.FilterXGreen(w, 1, 128); }, 1, nullptr},
        {"31 FilterXBlue 1..128", [](auto& fx, auto& w, auto&) { fx.FilterXBlue(w, 1, 128); }, 1, nullptr},
        {"49 TileSplit 51", [](auto& fx, auto& w, auto&) { fx.TileSplit(w, 51); }, 0, nullptr},
        {"50 TileOverlap 51", [](auto& fx, auto& w, auto&) { fx.TileOverlap(w, 51); }, 0, nullptr},
        {"Lightness 40", [](auto& fx, auto& w, auto&) { fx.Lightness(w, 40); }, 1, nullptr},
        {"Saturation 350", [](auto& fx, auto& w, auto&) { fx.Saturation(w, 350); }, 1, "-modulate 100,137"},
        {"Contrast 100", [](auto& fx, auto& w, auto&) { fx.Contrast(w, 100); }, 1, nullptr},
    };
    if (digest) {
        // The results on the 24-megapixel picture and on odd sizes, one line per effect, with
        // a few settings beyond the middle of the bars.
        std::vector<Effect> all = effects;
        all.insert(all.end(), {
            {"Twist 1", [](auto& fx, auto& w, auto& c) { fx.Twist(c, w, 1); }, 0, nullptr},
            {"Twist 50", [](auto& fx, auto& w, auto& c) { fx.Twist(c, w, 50); }, 0, nullptr},
            {"FishEye 0.01", [](auto& fx, auto& w, auto& c) { fx.FishEye(c, w, 0.01); }, 0, nullptr},
            {"FishEye 0.78", [](auto& fx, auto& w, auto& c) { fx.FishEye(c, w, 0.78); }, 0, nullptr},
            {"FishEye 1", [](auto& fx, auto& w, auto& c) { fx.FishEye(c, w, 1.0); }, 0, nullptr},
            {"GaussianBlur 0", [](auto& fx, auto& w, auto&) { fx.GaussianBlur(w, 0); }, 0, nullptr},
            {"SplitBlur 700", [](auto& fx, auto& w, auto&) { fx.SplitBlur(w, 700); }, 0, nullptr},
            {"AddColorNoise 7", [](auto& fx, auto& w, auto&) { fx.AddColorNoise(w, 7); }, 0, nullptr},
            {"AddMonoNoise 200", [](auto& fx, auto& w, auto&) { fx.AddMonoNoise(w, 200); }, 0, nullptr},
            {"Saturation 0", [](auto& fx, auto& w, auto&) { fx.Saturation(w, 0); }, 0, nullptr},
            {"Saturation 500", [](auto& fx, auto& w, auto&) { fx.Saturation(w, 500); }, 0, nullptr},
            {"Solarize 0", [](auto& fx, auto& w, auto&) { fx.Solarize(w, 0); }, 0, nullptr},
            {"Plasma 100 t37", [](auto& fx, auto& w, auto& c) { fx.Plasma(c, c, 37, 100, w); }, 0, nullptr},
            {"EdgeBlend 3", [](auto& fx, auto& w, auto&) { fx.EdgeBlend(w, 3); }, 0, nullptr},
            {"Emboss twice", [](auto& fx, auto& w, auto&) { fx.Emboss(w), fx.Emboss(w); }, 0, nullptr},
        });
        for (auto [w, h] : {std::pair{kW, kH}, {1531, 1013}, {777, 1201}, {2, 3}}) {
            const TFxImage picture = w == kW && h == kH ? original : Camera(w, h);
            for (const Effect& e : all) {
                if (!only.empty() && std::string(e.name).rfind(only, 0) != 0)
                    continue;
                TFxRandom random(12345);
                TpelPaintFX fx(&random);
                TFxImage result = picture, copy = picture;
                if (e.component)
                    RunComponent(drawImage, e.component, picture, result, false);
                else
                    e.run(fx, result.View(), copy.View());
                std::printf("%5d x %-5d %-22s %016llx\n", w, h, e.name, (unsigned long long)Digest(result));
            }
        }
        return 0;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    double peerBase = 0, peerBaseAll = 0;
    if (peer) {
        peerBase = RunPeer(work, "", runs, true);
        peerBaseAll = RunPeer(work, "", runs, false);
    }
    std::printf("painter effects on %d x %d (24 MP), best of %d, %u cores; ImageMagick on one thread and on "
                "every core, its read+write (%.0f / %.0f ms) subtracted\n",
                kW, kH, runs, cores, peerBase, peerBaseAll);
    std::printf("%-24s %9s %9s %9s %9s %8s %8s\n", "effect", "1 core ms", "all ms", "IM 1 ms", "IM all ms",
                "IM/ours1", "IM/ours");
    TFxRandom random;  // the noise starts from one seed in every run, so the runs compare
    TpelPaintFX fx(&random);
    for (const Effect& e : effects) {
        if (!only.empty() && std::string(e.name).rfind(only, 0) != 0)
            continue;
        // The copy is made from a view, as the drawing component makes it.
        TFxImage work1 = original, copy(const_cast<TFxImage&>(original).View());
        double one = 1e300;
        for (int i = 0; i < runs; ++i) {
            if (e.component) {
                PinToOneCore(true);
                one = std::min(one, RunComponent(drawImage, e.component, original, work1, cpuTime));
                PinToOneCore(false);
                continue;
            }
            work1 = original;
            random.SetSeed(1);
            PinToOneCore(true);
            const auto a = Clock::now();
            const double cpuA = ThreadCpuMs();
            e.run(fx, work1.View(), copy.View());
            one = std::min(one, cpuTime ? ThreadCpuMs() - cpuA : Ms(a, Clock::now()));
            PinToOneCore(false);
        }
        // Every core: one run into out (loaded with the picture first), its time.
        std::function<double(TFxImage& out)> split;
        if (e.component) {
            split = [&](TFxImage& out) { return RunComponent(drawImage, e.component, original, out, false); };
        } else if (e.splitsItself) {
            split = [&](TFxImage& out) {
                out = original;
                random.SetSeed(1);
                return WallMs([&] { e.run(fx, out.View(), copy.View()); });
            };
        } else if (e.rows) {
            split = [&](TFxImage& out) {
                out = original;
                const TFxBitmap whole = out.View(), src = copy.View();
                return WallMs([&] {
                    RunInRowBands(kW, kH, [&](int top, int bottom) {
                        TpelPaintFX local;
                        e.rows(local, whole, src, top, bottom);
                    });
                });
            };
        } else if (e.align) {
            split = [&](TFxImage& out) {
                out = original;
                return WallMs([&] {
                    Parallel(out.View(), e.align, [&](const TFxBitmap& band) {
                        TpelPaintFX local;
                        e.run(local, band, band);
                    });
                });
            };
        }
        std::string all = "-";
        if (split) {
            double best = 1e300;
            TFxImage workN;
            for (int i = 0; i < runs; ++i)
                best = std::min(best, split(workN));
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.0f%s", best, workN == work1 ? "" : " (DIFFERS)");
            all = buf;
        }
        std::string im = "-", imAll = "-", ratio = "-", ratioAll = "-";
        if (peer && e.peer) {
            const double t = std::max(1.0, RunPeer(work, e.peer, runs, true) - peerBase);
            const double tAll = std::max(1.0, RunPeer(work, e.peer, runs, false) - peerBaseAll);
            // Ours on every core: the split run where there is one, else the one-core run.
            const double oursAll = all == "-" ? one : std::atof(all.c_str());
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.0f", t);
            im = buf;
            std::snprintf(buf, sizeof buf, "%.0f", tAll);
            imAll = buf;
            std::snprintf(buf, sizeof buf, "%.1f", t / one);
            ratio = buf;
            std::snprintf(buf, sizeof buf, "%.1f", tAll / std::max(1.0, oursAll));
            ratioAll = buf;
        }
        std::printf("%-24s %9.0f %9s %9s %9s %8s %8s\n", e.name, one, all.c_str(), im.c_str(), imAll.c_str(),
                    ratio.c_str(), ratioAll.c_str());
        std::fflush(stdout);
    }
    return 0;
}
