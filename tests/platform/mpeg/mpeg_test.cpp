// The MPEG module as the video producer uses it: loaded from the program folder by name,
// fed a frame folder through OpenMPDX and run by EncodeMPDX; the streams are judged by
// ffprobe, ffmpeg and vcdimager.
#include "support/FullDisk.h"
#include "support/MediaTools.h"
#include "support/ProgramFixture.h"
#include "support/TestEnv.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QLibrary>
#include <QPainter>
#include <gtest/gtest.h>

using kvtest::MakeTempFolder;
using kvtest::Probe;
using kvtest::RunTool;

namespace {

using OpenProc = int (*)(const char* const*, const char* const*);
using EncodeProc = int (*)();
using ErrorProc = const char* (*)();

// Loads the module and encodes folder into output: EncodeMPDX's result (0 made the file),
// with the module's reason for a failure; -1 when the module or an entry is missing.
int EncodeWithModule(const QString& folder, const QString& output, QString* reason = nullptr)
{
    QLibrary lib(kvtest::ProgramFixture::BuildDir() + "mpdx_dll.so");
    if (!lib.load())
        return -1;
    auto open = reinterpret_cast<OpenProc>(lib.resolve("OpenMPDX"));
    auto encode = reinterpret_cast<EncodeProc>(lib.resolve("EncodeMPDX"));
    auto error = reinterpret_cast<ErrorProc>(lib.resolve("ErrorMPDX"));
    if (!open || !encode || !error)
        return -1;
    const QByteArray f = folder.toUtf8(), o = output.toUtf8();
    const char* folderText = f.constData();
    const char* outputText = o.constData();
    open(&folderText, &outputText);
    const int result = encode();
    if (reason)
        *reason = QString::fromUtf8(error());
    return result;
}

// A frame: a flat colour with a white square, so each picture is told by its colour.
void WriteFrame(const QString& file, QSize size, QColor colour)
{
    QImage img(size, QImage::Format_RGB888);
    img.fill(colour);
    QPainter p(&img);
    p.fillRect(size.width() / 8, size.height() / 8, size.width() / 6, size.height() / 6, Qt::white);
    p.end();
    ASSERT_TRUE(img.save(file, "JPG", 90));
}

// A sequence as the producer writes it: key frames with holds, transition frames between.
struct Picture {
    QColor colour;
    int hold;
};
int WriteSequence(const QString& folder, QSize size, const std::vector<Picture>& pictures, int transitionFrames)
{
    QByteArray holds;
    int i = 0, total = 0;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        const QString name = QString("Test_%1.jpg").arg(i++, 4, 10, QChar('0'));
        WriteFrame(folder + name, size, pictures[k].colour);
        holds += name.toUtf8() + "*" + QByteArray::number(pictures[k].hold) + "\r\n";
        total += pictures[k].hold;
        if (k + 1 == pictures.size())
            break;
        for (int t = 0; t < transitionFrames; ++t, ++total)
            WriteFrame(folder + QString("Test_%1.jpg").arg(i++, 4, 10, QChar('0')), size, Qt::gray);
    }
    kvtest::WriteFile(folder + "Test_quantity.nno", holds);
    return total;
}

// The colour at the middle right of the frame shown at the given second.
QColor ColourAt(const QString& video, double seconds)
{
    const auto r = RunTool("ffmpeg", {"-v", "error", "-ss", QString::number(seconds), "-i", video, "-frames:v", "1",
                                      "-vf", "scale=64:64", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    if (r.out.size() != 64 * 64 * 3)
        return {};
    const auto* px = reinterpret_cast<const unsigned char*>(r.out.constData()) + (32 * 64 + 48) * 3;
    return QColor(px[0], px[1], px[2]);
}

bool Near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 && std::abs(a.blue() - b.blue()) < 40;
}

} // namespace

TEST(MpegModule, EveryModeMakesAStreamThatVcdimagerAccepts)
{
    const struct {
        QSize size;
        const char* codec;
        const char* rate;
        const char* vcdType;
    } modes[] = {
        {{352, 288}, "mpeg1video", "25/1", "vcd2"},
        {{352, 240}, "mpeg1video", "30000/1001", "vcd2"},
        {{480, 576}, "mpeg2video", "25/1", "svcd"},
        {{480, 480}, "mpeg2video", "30000/1001", "svcd"},
    };
    const QColor red(220, 30, 30), green(30, 200, 40), blue(30, 40, 220);
    for (const auto& m : modes) {
        const QString mode = QString("%1x%2").arg(m.size.width()).arg(m.size.height());
        const QString dir = MakeTempFolder("mode-" + mode);
        const int total = WriteSequence(dir, m.size, {{red, 20}, {green, 30}, {blue, 25}}, 6);
        ASSERT_EQ(total, 87);
        ASSERT_TRUE(kvtest::MakeTone(dir + "Input.wav", {"-b", "16"}, 3.0));
        const QString out = dir + "out.mpg";
        ASSERT_EQ(EncodeWithModule(dir, out), 0) << "mpdx_dll.so missing in the program folder";
        ASSERT_TRUE(QFile::exists(out)) << mode.toStdString();

        EXPECT_EQ(Probe(out, "v:0", "stream=codec_name,width,height,r_frame_rate"),
                  QString("%1\n%2\n%3\n%4").arg(m.codec).arg(m.size.width()).arg(m.size.height()).arg(m.rate))
            << mode.toStdString();
        EXPECT_EQ(Probe(out, "a:0", "stream=codec_name,sample_rate,channels"), "mp2\n44100\n2") << mode.toStdString();
        const QStringList dar = Probe(out, "v:0", "stream=display_aspect_ratio").split(':');
        ASSERT_EQ(dar.size(), 2);
        EXPECT_NEAR(dar[0].toDouble() / dar[1].toDouble(), 4.0 / 3.0, 0.01) << mode.toStdString();
        EXPECT_NEAR(Probe(out, "", "format=duration").toDouble(), total / 25.0, 0.12) << mode.toStdString();

        // Decodes from end to end without an error, and shows the pictures at their times.
        const auto decode = RunTool("ffmpeg", {"-v", "error", "-i", out, "-f", "null", "-"});
        EXPECT_EQ(decode.exitCode, 0);
        EXPECT_TRUE(decode.err.trimmed().isEmpty()) << decode.err.constData();
        EXPECT_TRUE(Near(ColourAt(out, 0.4), red)) << mode.toStdString();
        EXPECT_TRUE(Near(ColourAt(out, 1.6), green)) << mode.toStdString();
        EXPECT_TRUE(Near(ColourAt(out, 3.2), blue)) << mode.toStdString();

        const QString cd = MakeTempFolder("cd-" + mode);
        const auto image = RunTool("vcdimager", {"-t", m.vcdType, out}, cd);
        EXPECT_EQ(image.exitCode, 0) << mode.toStdString() << image.err.constData() << image.out.constData();
        EXPECT_FALSE(image.out.contains("error")) << image.out.constData();
    }
}

TEST(MpegModule, ShortSoundTrackIsPaddedToTheVideoLength)
{
    const QString dir = MakeTempFolder("pad");
    WriteSequence(dir, {352, 288}, {{Qt::darkCyan, 250}}, 0);
    // One second of sound, as long as the shipped silent track the producer copies.
    const QString empty = kvtest::ProgramFixture::BuildDir() + "empty.wav";
    EXPECT_EQ(Probe(empty, "a:0", "stream=codec_name,sample_rate,channels,duration"), "pcm_s16le\n44100\n2\n1.000000");
    ASSERT_TRUE(kvtest::MakeTone(dir + "Input.wav", {"-b", "16"}, 1.0));
    const QString out = dir + "padded.mpg";
    ASSERT_EQ(EncodeWithModule(dir, out), 0);
    ASSERT_TRUE(QFile::exists(out));
    const auto pcm = RunTool("ffmpeg", {"-v", "error", "-i", out, "-map", "0:a", "-f", "s16le", "-ac", "2", "-"});
    const double seconds = pcm.out.size() / 4.0 / 44100.0;
    EXPECT_NEAR(seconds, 10.0, 0.1);
    // The tone is there in the first second and silence after it.
    auto peak = [&](double from, double to) {
        const auto* s = reinterpret_cast<const qint16*>(pcm.out.constData());
        int p = 0;
        for (qsizetype i = qsizetype(from * 44100) * 2; i < qsizetype(to * 44100) * 2 && i < pcm.out.size() / 2; ++i)
            p = std::max(p, std::abs(int(s[i])));
        return p;
    };
    EXPECT_GT(peak(0.2, 0.8), 10000);
    EXPECT_LT(peak(2.0, 9.5), 100);
}

TEST(MpegModule, NothingIsWrittenWithoutFrames)
{
    const QString dir = MakeTempFolder("empty");
    kvtest::WriteFile(dir + "Test_quantity.nno", "Test_0000.jpg*100\r\n");
    kvtest::WriteFile(dir + "Test_0001.jpg", "not a picture");
    const QString out = dir + "none.mpg";
    QString reason;
    EXPECT_EQ(EncodeWithModule(dir + "missing/", out, &reason), 1);
    EXPECT_TRUE(reason.contains(dir + "missing")) << reason.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(EncodeWithModule(dir, out, &reason), 1);  // a frame that is no JPEG
    EXPECT_TRUE(reason.contains("Test_0001.jpg")) << reason.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_FALSE(QFile::exists(out + ".part"));
}

TEST(MpegModule, AFullDiskIsNamedWithTheFileAndTheSystemsReason)
{
    kvtest::FullDisk disk;
    const QString dir = MakeTempFolder("full");
    WriteSequence(dir, {352, 288}, {{Qt::darkCyan, 100}}, 0);
    const QString out = disk.Folder() + "full.mpg";
    disk.Fill();
    QString reason;
    const int result = EncodeWithModule(dir, out, &reason);
    disk.Release();
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(reason.contains(out)) << reason.toStdString();
    EXPECT_TRUE(reason.contains(disk.Mounted() ? "No space left on device" : "File too large")) << reason.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_FALSE(QFile::exists(out + ".part"));
}
