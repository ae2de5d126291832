// Painting a camera-like 24-megapixel picture fitted into a 1280 x 800 picture control: the
// first paint (the picture is scaled) and a repeated paint (the scaled copy is reused), each
// through Refresh on a shown control, so the copy onto the window is counted too. Beside them,
// Qt's own smooth scaling of the same picture to the same size, from its BGR rows and from a
// 32-bit copy, as the reference. Prints the best and the median of several runs and the core
// count.
//
//   display_bench [--runs N]
#include "imaging/LEADImage.h"
#include "platform/imagelib/imagelib.h"

#include <QApplication>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;
constexpr int kClientWidth = 1280, kClientHeight = 800;

using Clock = std::chrono::steady_clock;

struct Times {
    double best = 0;
    double median = 0;
};

// Runs once() runs times (prepare() before each, not timed); milliseconds.
Times Measure(int runs, const std::function<void()>& prepare, const std::function<void()>& once)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto t0 = Clock::now();
        once();
        t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    return Times{t.front(), t[t.size() / 2]};
}

// A picture with the fine detail of a photo: smooth gradients under pixel noise and edges.
LBitmap CameraLikePicture()
{
    LBitmap b;
    if (L_CreateBitmap(&b, kWidth, kHeight, 24) != LE_SUCCESS)
        return b;
    std::uint8_t* bits = b.BeginWrite();
    std::uint32_t state = 2463534242u;
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = b.WriteRow(bits, y);
        for (int x = 0; x < kWidth; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = int(state & 31) - 16;
            const int edge = ((x / 37 + y / 53) & 1) ? 40 : 0;
            row[3 * x] = std::uint8_t(std::clamp(x * 200 / kWidth + noise + edge, 0, 255));
            row[3 * x + 1] = std::uint8_t(std::clamp(y * 200 / kHeight + noise, 0, 255));
            row[3 * x + 2] = std::uint8_t(std::clamp(((x + y) & 255) / 2 + 60 + noise - edge, 0, 255));
        }
    }
    return b;
}

void Print(const char* what, const Times& t, unsigned cores, const char* target)
{
    std::printf("%-44s best %8.2f ms  median %8.2f ms  (%u cores)%s\n", what, t.best, t.median, cores, target);
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 7;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

    LBitmap picture = CameraLikePicture();
    if (!picture.IsAllocated()) {
        std::fprintf(stderr, "display_bench: no memory for the picture\n");
        return 1;
    }
    std::printf("picture %d x %d, control %d x %d, fit mode, centred\n", kWidth, kHeight, kClientWidth,
                kClientHeight);

    // The first paint: a new control each run, so nothing scaled is kept.
    std::unique_ptr<TLEADImage> control;
    const auto newControl = [&] {
        control.reset();
        control = std::make_unique<TLEADImage>();
        control->resize(kClientWidth, kClientHeight);
        control->setPaintSizeMode(TLEADImage::smFit);
        control->setCenterImage(true);
        control->setBackColor(clWhite);
        control->show();
        QApplication::processEvents();
        control->setBitmap(&picture);  // shares the pixels, copies nothing
    };
    int paints = 0;
    const Times first = Measure(runs, newControl, [&] {
        control->OnPaint = [&](QObject*) { ++paints; };
        control->Refresh();
    });
    std::printf("first paints counted: %d of %d, window exposed: %s\n", paints, runs,
                control->windowHandle() && control->windowHandle()->isExposed() ? "yes" : "no");
    const Times again = Measure(std::max(runs, 20), [] {}, [&] { control->Refresh(); });
    const TLeadGeometry& g = control->Geometry();
    std::printf("destination %d x %d at (%d, %d)\n", g.Dst.Width, g.Dst.Height, g.Dst.Left, g.Dst.Top);
    Print("first paint (scaling and copy)", first, cores, first.best < 60 ? "" : "  ABOVE 60 ms");
    Print("repeated paint (scaled copy kept)", again, cores, again.best < 2 ? "" : "  ABOVE 2 ms");

    // The reference: Qt's smooth scaling to the same size.
    const QImage bgr(picture.Bits(), kWidth, kHeight, picture.BytesPerLine, QImage::Format_BGR888);
    const QSize size(g.Dst.Width, g.Dst.Height);
    QImage sink;
    const Times qtBgr = Measure(std::min(runs, 3), [] {}, [&] {
        sink = bgr.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    });
    const QImage rgb32 = bgr.convertToFormat(QImage::Format_RGB32);
    const Times qtRgb = Measure(std::min(runs, 3), [] {}, [&] {
        sink = rgb32.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    });
    Print("Qt smooth scaling from BGR888", qtBgr, cores, "");
    Print("Qt smooth scaling from RGB32 (copy not timed)", qtRgb, cores, "");
    std::printf("first paint against Qt from BGR888: %.1fx faster\n", qtBgr.best / first.best);
    control.reset();
    L_FreeBitmap(&picture);
    return 0;
}
