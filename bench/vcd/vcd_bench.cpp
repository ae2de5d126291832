// The whole video production of a slideshow: 100 camera-size JPEGs at 5 s each with
// transitions and a music title, as PAL VCD and PAL SVCD on the MPEG road (MakeVideo from the
// frames to the .mpg), against ffmpeg making a crossfaded slideshow of the same pictures
// (copies scaled to 768 pixels made before the timing) with -target pal-vcd / pal-svcd; then
// the AVI road as PAL VCD (the AVI and its MPEG stream), timed whole.
//
//   vcd_bench --program DIR [--work DIR] [--pictures DIR] [--files N]
#include "output/VideoContext.h"
#include "output/fCheckAudio.h"
#include "output/fDVD.h"
#include "output/fWave.h"
#include "output/fWizardDVD.h"
#include "platform/system/ProgramFolder.h"
#include "shell/Windows.h"
#include "shell/core/Language.h"
#include "support/CameraPicture.h"
#include "ui_fWizardDVD.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QRadioButton>
#include <QThread>

#include <cstdio>

using namespace benchsupport;


namespace {

double Seconds(const std::function<bool()>& f)
{
    const auto t0 = Clock::now();
    if (!f())
        return -1;
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

bool Run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.addOptions({{"program", "The program folder (the bench tree).", "dir"},
                        {"work", "Work folder.", "dir", QDir::tempPath() + "/vcd-bench"},
                        {"pictures", "Folder of camera pictures (made when missing).", "dir"},
                        {"files", "Number of pictures.", "n", "100"}});
    options.process(app);
    const QString programDir = QDir(options.value("program")).absolutePath() + "/";
    const QString work = QDir(options.value("work")).absolutePath() + "/";
    const int count = options.value("files").toInt();
    const QString pictures =
        options.value("pictures").isEmpty() ? work + "pictures" : QDir(options.value("pictures")).absolutePath();
    QDir().mkpath(work);
    SetProgramFolder(programDir);
    LoadLanguage();

    double megabytes = 0;
    const std::vector<std::string> files = CameraPictures(pictures.toStdString(), count, &megabytes);
    if (int(files.size()) < count) {
        std::fprintf(stderr, "no camera pictures\n");
        return 1;
    }
    const QString show = work + "archive/Archive_0001/";
    QDir(work + "archive").removeRecursively();
    QDir().mkpath(show);
    QDir().mkpath(work + "video/encoder");
    QByteArray list;
    QStringList small;
    QDir().mkpath(work + "small");
    for (int i = 0; i < count; ++i) {
        const QString name = QString("pic%1.jpg").arg(i + 1, 4, 10, QChar('0'));
        QFile::remove(show + name);
        QFile::copy(QString::fromStdString(files[std::size_t(i)]), show + name);
        list += (name + " | Bild " + QString::number(i + 1) + "\r\n").toUtf8();
        // The peer's inputs: 768 pixels on the long side, made before the timing.
        const QString s = work + "small/" + name;
        if (!QFileInfo::exists(s)) {
            QImageReader r(show + name);
            const QSize size = r.size();
            r.setScaledSize(size.scaled(768, 768, Qt::KeepAspectRatio));
            r.read().save(s, "JPG", 90);
        }
        small << s;
    }
    QFile f(show + "Pictures.ini");
    f.open(QIODevice::WriteOnly);
    f.write(list);
    f.close();
    const QString song = work + "music.wav";
    Run("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", song, "synth", "600", "sine", "220-880", "vol", "0.3"});

    TVideoContext ctx;
    ctx.ProgramFolder = programDir;
    ctx.ArchiveRoot = work + "archive/";
    ctx.DiashowFolder = "Archive_0001";
    ctx.DiashowTitle = "Bench";
    ctx.DiashowTime = "5";
    ctx.VideoFolder = work + "video/";
    ctx.EncoderFolder = work + "video/encoder/";
    ctx.LanguageName = "ENGLISH";
    ctx.PictureCount = count;
    ctx.DrawText = true;
    ctx.TextColor = 0xFFFFFF;
    ctx.EffectNumber = 1;
    ctx.AudioTitles = {song};
    VideoHooks.Context = [&ctx] { return ctx; };
    VideoHooks.ShowInstructions = [](const QString&, const QString&, bool, bool) {};

    CheckAudioForm = new TCheckAudioForm();
    WaveForm = new TWaveForm();
    DVDWizardForm = new TDVDWizardForm();
    DVDForm = new TDVDForm();
    std::printf("Video production: %d camera JPEGs (%.1f MB on average) at 5 s with transitions and music, "
                "%d cores\n",
                count, megabytes, QThread::idealThreadCount());
    for (const bool svcd : {false, true}) {
        const QString mode = svcd ? "SVCD" : "VCD";
        DVDWizardForm->ui()->PalRadioButton->setChecked(true);
        (svcd ? DVDWizardForm->ui()->NanoSVCDRadioButton : DVDWizardForm->ui()->NanoVCDRadioButton)->setChecked(true);
        DVDForm->HighQuality = true;
        DVDForm->VideoMode = mode;
        const QString ours = work + "video/bench_" + mode + ".mpg";
        QFile::remove(ours);
        const double t = Seconds([&] {
            DVDForm->MakeVideo();
            return QFileInfo::exists(ours);
        });
        // The length of our video (pictures, transitions and the end card).
        QProcess probe;
        probe.start("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", ours});
        probe.waitForFinished(-1);
        const double length = QString::fromUtf8(probe.readAllStandardOutput()).trimmed().toDouble();
        // The peer: every picture looped for 5 s, neighbours joined by a 0.5 s crossfade.
        QStringList args{"-v", "error", "-y"};
        for (const QString& s : small)
            args << "-loop" << "1" << "-t" << "5" << "-i" << s;
        args << "-i" << song;
        QString graph;
        const QString fit = svcd ? "scale=480:576:force_original_aspect_ratio=decrease,pad=480:576:(ow-iw)/2:(oh-ih)/2"
                                 : "scale=352:288:force_original_aspect_ratio=decrease,pad=352:288:(ow-iw)/2:(oh-ih)/2";
        for (int i = 0; i < count; ++i)
            graph += QString("[%1:v]%2,setsar=1,fps=25,format=yuv420p[s%1];").arg(i).arg(fit);
        QString last = "s0";
        for (int i = 1; i < count; ++i) {
            const QString out = QString("x%1").arg(i);
            graph += QString("[%1][s%2]xfade=transition=fade:duration=0.5:offset=%3[%4];")
                         .arg(last)
                         .arg(i)
                         .arg(i * 4.5, 0, 'f', 1)
                         .arg(out);
            last = out;
        }
        graph.chop(1);
        const QString peerOut = work + "peer_" + mode + ".mpg";
        args << "-filter_complex" << graph << "-map" << "[" + last + "]" << "-map" << QString("%1:a").arg(count)
             << "-shortest" << "-target" << (svcd ? "pal-svcd" : "pal-vcd") << peerOut;
        const double p = Seconds([&] { return Run("ffmpeg", args); });
        std::printf("  PAL %-4s ours %7.1f s (%.1fx faster than its %.0f s of video)   ffmpeg %7.1f s   ratio %.2f\n",
                    qPrintable(mode), t, t > 0 ? length / t : 0.0, length, p, t > 0 && p > 0 ? p / t : 0.0);
    }
    // The AVI road (no transitions): the AVI, then its frames and music as the burnable stream.
    DVDWizardForm->ui()->VCDRadioButton->setChecked(true);
    DVDForm->HighQuality = false;
    DVDForm->VideoMode = "VCD";
    const QString avi = work + "video/bench_VCD.avi", stream = work + "video/bench_VCD.mpg";
    QFile::remove(avi);
    QFile::remove(stream);
    const double road = Seconds([&] {
        DVDForm->MakeVideo();
        return QFileInfo::exists(avi);
    });
    std::printf("  AVI road PAL VCD: %.1f s in all (AVI %s, MPEG stream %s)\n", road,
                QFileInfo::exists(avi) ? "made" : "missing", QFileInfo::exists(stream) ? "made" : "missing");
    return 0;
}
