// The MPEG module on the frames of a slideshow of 100 pictures at 5 s each with 12
// transition frames between neighbours and a 4-second end card (13,800 frames, 552 s of
// video), for a PAL VCD and a PAL SVCD, against ffmpeg encoding the same frame files with
// the same holds (a concat list with durations) with -target pal-vcd / pal-svcd in the same
// run. Prints the times, the ratio, the real-time factors and the core count.
//
//   video_bench [--work DIR] [--runs N] [--pictures N]
#include "support/CameraPicture.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLibrary>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using benchsupport::BestOf;

using OpenProc = int (*)(const char* const*, const char* const*);
using EncodeProc = int (*)();

constexpr int kHold = 125;        // 5 s at 25 frames per second
constexpr int kTransition = 12;
constexpr int kEndCardHold = 100;

// A photo-like frame: a gradient sky, a horizon, shapes and fine noise.
QImage MakePicture(QSize size, int seed)
{
    QRandomGenerator rng(seed);
    QImage img(size, QImage::Format_RGB888);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(rng.bounded(360), 120, 230));
    sky.setColorAt(1, QColor::fromHsv(rng.bounded(360), 200, 90));
    p.fillRect(img.rect(), sky);
    for (int i = 0; i < 40; ++i) {
        p.setBrush(QColor::fromHsv(rng.bounded(360), rng.bounded(256), rng.bounded(256)));
        p.setPen(Qt::NoPen);
        p.drawEllipse(rng.bounded(size.width()), rng.bounded(size.height()), 10 + rng.bounded(80),
                      10 + rng.bounded(60));
    }
    p.end();
    for (int y = 0; y < img.height(); ++y) {
        uchar* row = img.scanLine(y);
        for (int x = 0; x < img.width() * 3; ++x)
            row[x] = uchar(std::clamp(int(row[x]) + int(rng.bounded(17)) - 8, 0, 255));
    }
    return img;
}

// Writes the frame sequence and hold list as the producer does, plus the ffmpeg concat list.
bool MakeFolder(const QString& dir, QSize size, int pictures)
{
    QDir().mkpath(dir);
    QFile holds(dir + "/Test_quantity.nno"), concat(dir + "/concat.txt");
    if (!holds.open(QIODevice::WriteOnly) || !concat.open(QIODevice::WriteOnly))
        return false;
    concat.write("ffconcat version 1.0\n");
    int index = 0;
    QImage prev;
    QString last;
    for (int k = 0; k <= pictures; ++k) {  // the last one is the end card
        QImage key = MakePicture(size, k + 1);
        if (!prev.isNull()) {
            for (int t = 1; t <= kTransition; ++t) {  // a wipe from the left
                QImage frame = prev.copy();
                QPainter p(&frame);
                const int w = size.width() * t / (kTransition + 1);
                p.drawImage(QRect(0, 0, w, size.height()), key, QRect(0, 0, w, size.height()));
                p.end();
                last = QString("Test_%1.jpg").arg(index++, 4, 10, QChar('0'));
                if (!frame.save(dir + "/" + last, "JPG", 85))
                    return false;
                concat.write(QString("file '%1'\nduration 0.04\n").arg(last).toUtf8());
            }
        }
        last = QString("Test_%1.jpg").arg(index++, 4, 10, QChar('0'));
        if (!key.save(dir + "/" + last, "JPG", 85))
            return false;
        const int hold = k == pictures ? kEndCardHold : kHold;
        holds.write(QString("%1*%2\r\n").arg(last).arg(hold).toUtf8());
        concat.write(QString("file '%1'\nduration %2\n").arg(last).arg(hold / 25.0).toUtf8());
        prev = key;
    }
    concat.write(QString("file '%1'\n").arg(last).toUtf8());  // the last duration counts
    return true;
}

bool Run(const QString& program, const QStringList& args, const QString& dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"work", "work folder", "dir", QDir::tempPath() + "/korvanta-video-bench"});
    parser.addOption({"runs", "runs per tool", "n", "1"});
    parser.addOption({"pictures", "pictures in the slideshow", "n", "100"});
    parser.process(app);
    const QString work = parser.value("work");
    const int runs = parser.value("runs").toInt();
    const int pictures = parser.value("pictures").toInt();
    const long long frames = (long long)pictures * kHold + kEndCardHold + (long long)pictures * kTransition;
    const double seconds = frames / 25.0;

    QLibrary lib(QCoreApplication::applicationDirPath() + "/mpdx_dll.so");
    auto open = reinterpret_cast<OpenProc>(lib.resolve("OpenMPDX"));
    auto encode = reinterpret_cast<EncodeProc>(lib.resolve("EncodeMPDX"));
    if (!open || !encode) {
        std::fprintf(stderr, "mpdx_dll.so not found beside the benchmark\n");
        return 1;
    }
    std::printf("%d pictures, %lld frames, %.0f s of video, %d cores\n", pictures, frames, seconds,
                QThread::idealThreadCount());

    const struct {
        const char* name;
        QSize size;
        const char* target;
    } modes[] = {{"PAL VCD", {352, 288}, "pal-vcd"}, {"PAL SVCD", {480, 576}, "pal-svcd"}};
    for (const auto& m : modes) {
        const QString dir = work + "/" + QString(m.target);
        if (!QFile::exists(dir + "/concat.txt") && !MakeFolder(dir, m.size, pictures)) {
            std::fprintf(stderr, "cannot make the frames in %s\n", qPrintable(dir));
            return 1;
        }
        if (!QFile::exists(dir + "/Input.wav") &&
            !Run("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", "Input.wav", "synth", QString::number(seconds),
                         "pluck", "220", "pluck", "330"},
                 dir))
            return 1;
        const QByteArray folder = dir.toUtf8(), output = (dir + "/module.mpg").toUtf8();
        const double ours = BestOf(runs, [&] {
            const char* f = folder.constData();
            const char* o = output.constData();
            open(&f, &o);
            return encode() == 0;
        });
        const double theirs = BestOf(runs, [&] {
            return Run("ffmpeg", {"-v", "error", "-y", "-f", "concat", "-safe", "0", "-i", "concat.txt", "-i",
                                  "Input.wav", "-target", m.target, "-t", QString::number(seconds), "ffmpeg.mpg"},
                       dir);
        });
        std::printf("%-9s module %7.2f s (%5.1fx real time)   ffmpeg -target %s %7.2f s (%5.1fx)   ratio %.2f\n",
                    m.name, ours, seconds / ours, m.target, theirs, seconds / theirs, theirs / ours);
    }
    return 0;
}
