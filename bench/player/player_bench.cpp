// The slideshow player against feh (Debian's fast image viewer) on the same X screen:
//  - start to the first picture on the screen: the program is started and the screen's middle
//    pixel is read until the picture shows there, for the player ("TEST" on a slideshow of
//    24-megapixel photos) and for `feh -F` on the first photo of it, alternately;
//  - the turns: the player reports how long each turn waited for its decode and when its
//    first transition step was painted (KORVANTA_PLAYER_TIMING).
// Prints the medians, the ratio and the core count.
//
//   player_bench --player build/bench/diashow/Diashow-Player --work DIR [--runs N]   (DISPLAY set)
#include "platform/imagelib/imagelib.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <numeric>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLong = 6000, kShort = 4000;

// A photo-like picture: light falling off, waves at two scales, edges, sensor noise; bright
// enough that the screen's middle is never black.
bool WritePhoto(const QString& path, int seed)
{
    LBitmap b;
    if (L_CreateBitmap(&b, kLong, kShort, 24) != LE_SUCCESS)
        return false;
    std::uint8_t* bits = b.BeginWrite();
    std::uint32_t noise = 2654435761u * std::uint32_t(seed + 1);
    for (int y = 0; y < kShort; ++y) {
        std::uint8_t* row = b.WriteRow(bits, y);
        const double fall = 1.0 - 0.3 * std::abs(y - kShort / 2) / double(kShort);
        for (int x = 0; x < kLong; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const double wave = 40 * std::sin(x * 0.004 + seed) + 15 * std::sin((x + y) * 0.09);
            const double edge = ((x / 400 + y / 300 + seed) & 3) == 0 ? 35 : 0;
            for (int c = 0; c < 3; ++c) {
                const double v = (110 + 20 * c + wave + edge) * fall + double(int(noise >> (27 - c)) & 15) - 8;
                row[3 * x + c] = std::uint8_t(std::clamp(v, 30.0, 255.0));
            }
        }
    }
    LSaveOptions save;
    L_GetDefaultSaveFileOption(&save);
    const int rc = L_SaveBitmap(QFile::encodeName(path).constData(), &b, 10, 24, 16, &save);
    L_FreeBitmap(&b);
    return rc == LE_SUCCESS;
}

void WriteText(const QString& path, const QByteArray& text)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(text);
}

// Milliseconds from the start of program until the screen's middle stops being black (-1
// when it never does within 20 s); the process is left running.
qint64 TimeToFirstPicture(QProcess& process, const QString& program, const QStringList& args)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint middle = screen->geometry().center();
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    while (timer.elapsed() < 20000) {
        const QImage pixel = screen->grabWindow(0, middle.x(), middle.y(), 1, 1).toImage();
        if (!pixel.isNull() && qGray(pixel.pixel(0, 0)) > 20)
            return timer.elapsed();
        QThread::usleep(500);
    }
    return -1;
}

void Blank(QScreen* screen)
{
    // Wait until the screen is black again (the previous program's window is gone).
    const QPoint middle = screen->geometry().center();
    for (int i = 0; i < 2000; ++i) {
        const QImage pixel = screen->grabWindow(0, middle.x(), middle.y(), 1, 1).toImage();
        if (!pixel.isNull() && qGray(pixel.pixel(0, 0)) <= 20)
            return;
        QThread::msleep(2);
    }
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QString player, work;
    int runs = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--player")
            player = args[++i];
        else if (args[i] == "--work")
            work = args[++i];
        else if (args[i] == "--runs")
            runs = std::max(1, args[++i].toInt());
    }
    const QString feh = QStandardPaths::findExecutable("feh");
    if (player.isEmpty() || work.isEmpty() || feh.isEmpty()) {
        std::fprintf(stderr, "usage: player_bench --player PATH --work DIR [--runs N]; feh must be installed\n");
        return 2;
    }
    const QString folder = QDir(work).absolutePath() + "/player/";
    const QString show = folder + "Archive_0001/";
    QDir().mkpath(show);
    constexpr int kPictures = 6;
    QByteArray lines;
    for (int i = 0; i < kPictures; ++i) {
        const QString name = QString("photo%1.jpg").arg(i);
        if (!QFile::exists(show + name) && !WritePhoto(show + name, i)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(show + name));
            return 1;
        }
        lines += name.toUtf8() + " | Foto " + QByteArray::number(i + 1) + "\r\n";
    }
    WriteText(show + "Pictures.ini", lines);
    WriteText(show + "Diashow.ini", "[DIASHOW]\r\nTitel=Bench\r\nTime=1,5\r\n");
    WriteText(folder + "Settings.ini", "[SETTINGS]\r\nStopDiashowAtEnd=TRUE\r\nFullscreen=TRUE\r\nManuell=FALSE\r\n"
                                       "PictureTextVisible=TRUE\r\nFileNameVisible=FALSE\r\nBKGColor=0\r\n"
                                       "TextColor=16777215\r\nEffectMode=ON\r\nEffect=1\r\nTextOffset=20\r\n");
    WriteText(folder + "Effects.ini", "2000;1;5;1;0\r\n");
    QFile::remove(folder + "Diashow-Player");
    QFile::copy(player, folder + "Diashow-Player");

    QScreen* screen = QGuiApplication::primaryScreen();
    std::vector<double> playerFirst, fehFirst, waits, firstSteps;
    for (int r = 0; r < runs; ++r) {
        {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("KORVANTA_PLAYER_TIMING", "1");
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(QDir::tempPath());
            const qint64 t = TimeToFirstPicture(p, folder + "Diashow-Player", {"TEST"});
            if (t >= 0)
                playerFirst.push_back(double(t));
            p.waitForFinished(60000);
            const QString err = QString::fromUtf8(p.readAllStandardError());
            static const QRegularExpression wait("turn-wait-ms (\\d+)"), step("turn-first-step-ms (\\d+)");
            for (auto it = wait.globalMatch(err); it.hasNext();)
                waits.push_back(it.next().captured(1).toDouble());
            for (auto it = step.globalMatch(err); it.hasNext();)
                firstSteps.push_back(it.next().captured(1).toDouble());
        }
        Blank(screen);
        {
            QProcess p;
            const qint64 t = TimeToFirstPicture(p, feh, {"-F", "--hide-pointer", show + "photo0.jpg"});
            if (t >= 0)
                fehFirst.push_back(double(t));
            p.terminate();
            p.waitForFinished(5000);
        }
        Blank(screen);
    }
    const double player1 = Median(playerFirst), feh1 = Median(fehFirst);
    std::printf("cores %d, screen %dx%d, %d runs, pictures %dx%d\n", QThread::idealThreadCount(),
                screen->size().width(), screen->size().height(), runs, kLong, kShort);
    std::printf("first picture on the screen: player %.0f ms, feh -F %.0f ms, ratio player/feh %.2f\n", player1, feh1,
                feh1 > 0 ? player1 / feh1 : 0.0);
    std::printf("turns: %zu, waited for a decode: max %.0f ms, total %.0f ms; first transition step after the turn: "
                "median %.0f ms\n",
                waits.size(), waits.empty() ? 0.0 : *std::max_element(waits.begin(), waits.end()),
                std::accumulate(waits.begin(), waits.end(), 0.0), Median(firstSteps));
    return 0;
}
