#include "platform/media/AviWriter.h"
#include "platform/media/WaveIO.h"
#include "platform/vcl/Graphics.h"

#include "support/MediaTools.h"
#include "support/ProgramFixture.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using kvtest::MakeTempFolder;
using kvtest::Probe;
using kvtest::RunTool;

namespace {

// A bitmap of random pixels: any row or channel slip shows.
std::unique_ptr<TBitmap> NoiseBitmap(int w, int h, int seed)
{
    auto b = std::make_unique<TBitmap>(w, h);
    QRandomGenerator rng(seed);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b->ScanLine(y);
        for (int x = 0; x < w * 3; ++x)
            row[x] = std::uint8_t(rng.bounded(256));
    }
    return b;
}

// Frame i of an AVI as RGB bytes, decoded by ffmpeg.
QByteArray DecodedFrame(const QString& avi, int i)
{
    return RunTool("ffmpeg", {"-v", "error", "-i", avi, "-vf", QString("select=eq(n\\,%1)").arg(i), "-frames:v", "1",
                              "-f", "rawvideo", "-pix_fmt", "rgb24", "-"})
        .out;
}

QByteArray RgbBytes(const TBitmap& b, int w, int h)
{
    const QImage rgb = b.Image().copy(0, 0, w, h).convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    for (int y = 0; y < h; ++y)
        bytes.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), w * 3);
    return bytes;
}

struct Recorded {
    std::vector<int> percents;
    QStringList messages;
};

} // namespace

TEST(AviWriter, FramesDecodeToTheSourcePixelsAtTheFrameTime)
{
    const QString dir = MakeTempFolder("avi");
    // 50 pixels: rows of 150 bytes padded to 152.
    std::vector<std::unique_ptr<TBitmap>> frames;
    TAviWriter writer(dir);
    for (int i = 0; i < 4; ++i) {
        frames.push_back(NoiseBitmap(50, 30, i + 1));
        writer.Bitmaps.append(frames.back().get());
    }
    writer.Width = 50;
    writer.Height = 30;
    writer.FrameTime = 5000;
    writer.FileName = dir + "four.avi";
    Recorded rec;
    writer.OnProgress = [&](TAviWriter*, TProgressStage, std::uint8_t percent, bool, const TRect&, const QString& msg) {
        rec.messages << msg;
        if (msg.startsWith("Bild Nr."))
            rec.percents.push_back(percent);
    };
    writer.Write();

    EXPECT_EQ(rec.percents, (std::vector<int>{0, 25, 50, 75}));
    EXPECT_EQ(rec.messages.first(), " Video mit 4 Bildern erzeugen");
    EXPECT_TRUE(rec.messages.contains("Bild Nr.4 schreiben"));
    EXPECT_EQ(rec.messages.last().left(12), ".. bitte war");
    EXPECT_FALSE(QFile::exists(writer.TempFileName()));

    const QString avi = writer.FileName;
    EXPECT_EQ(Probe(avi, "v:0", "stream=codec_name,width,height,r_frame_rate,nb_frames"), "rawvideo\n50\n30\n1/5\n4");
    EXPECT_EQ(Probe(avi, "", "format=nb_streams"), "1");
    EXPECT_EQ(DecodedFrame(avi, 0), RgbBytes(*frames[0], 50, 30));
    EXPECT_EQ(DecodedFrame(avi, 3), RgbBytes(*frames[3], 50, 30));
}

TEST(AviWriter, SoundIsCopiedUnchangedFromTheWaveFile)
{
    const QString dir = MakeTempFolder("avi-audio");
    const QString wav = dir + "Input.wav";
    ASSERT_TRUE(kvtest::MakeTone(wav, {"-b", "16"}, 3.3));
    std::vector<std::unique_ptr<TBitmap>> frames;
    TAviWriter writer(dir);
    for (int i = 0; i < 3; ++i) {
        frames.push_back(NoiseBitmap(32, 24, i));
        writer.Bitmaps.append(frames.back().get());
    }
    writer.Width = 32;
    writer.Height = 24;
    writer.FrameTime = 1000;  // 3 s of video, 3.3 s of sound: the rest follows the last frame
    writer.FileName = dir + "sound.avi";
    writer.SetWavFileName(wav);
    writer.Write();

    TFileWaveStream in(wav);
    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    f.seek(in.DataOffset());
    const QByteArray data = f.read(std::int64_t(in.Size()) * 4);
    EXPECT_EQ(Probe(writer.FileName, "a:0", "stream=codec_name,sample_rate,channels"), "pcm_s16le\n44100\n2");
    const auto copied =
        RunTool("ffmpeg", {"-v", "error", "-i", writer.FileName, "-map", "0:a", "-c", "copy", "-f", "s16le", "-"});
    EXPECT_EQ(copied.out.size(), data.size());
    EXPECT_TRUE(copied.out == data);
    EXPECT_EQ(RunTool("ffmpeg", {"-v", "error", "-i", writer.FileName, "-f", "null", "-"}).err, "");
}

TEST(AviWriter, WithoutStretchBitmapsAreCutOrPlacedOnTheirCornerColour)
{
    const QString dir = MakeTempFolder("avi-place");
    auto large = NoiseBitmap(400, 300, 7);
    auto small = NoiseBitmap(200, 100, 8);
    TAviWriter writer(dir);
    writer.Bitmaps = {large.get(), small.get()};
    writer.Width = 352;
    writer.Height = 288;
    writer.Stretch = false;
    writer.FileName = dir + "placed.avi";
    writer.Write();

    EXPECT_EQ(DecodedFrame(writer.FileName, 0), RgbBytes(*large, 352, 288));
    const QByteArray second = DecodedFrame(writer.FileName, 1);
    ASSERT_EQ(second.size(), 352 * 288 * 3);
    const QRgb corner = small->Image().pixel(0, 0);
    auto at = [&](int x, int y) {
        const char* p = second.constData() + (y * 352 + x) * 3;
        return qRgb(std::uint8_t(p[0]), std::uint8_t(p[1]), std::uint8_t(p[2]));
    };
    EXPECT_EQ(at(199, 99), small->Image().pixel(199, 99));
    EXPECT_EQ(at(200, 0), corner);
    EXPECT_EQ(at(0, 100), corner);
    EXPECT_EQ(at(351, 287), corner);
}

TEST(AviWriter, RefusalsKeepTheirTextsAndLeaveFilesAlone)
{
    const QString dir = MakeTempFolder("avi-refuse");
    TAviWriter writer(dir);
    writer.FileName = dir + "out.avi";
    auto message = [&](const std::function<void()>& f) {
        try {
            f();
        } catch (const EAviError& e) {
            return e.Message();
        }
        return QString();
    };
    EXPECT_EQ(message([&] { writer.Write(); }), "No bitmaps on the Bitmaps list");

    writer.SetWavFileName(dir + "Track.WAV");
    EXPECT_EQ(message([&] { writer.SetWavFileName(dir + "track.mp3"); }),
              "WavFileName must name a file with the .wav extension");
    EXPECT_EQ(writer.WavFileName(), dir + "Track.WAV");
    EXPECT_EQ(message([&] { writer.SetWavFileName(""); }), "WavFileName must name a file with the .wav extension");
    writer.SetWavFileName(dir + "TRACK.wav");  // the same name ignoring case: kept as it was
    EXPECT_EQ(writer.WavFileName(), dir + "Track.WAV");

    auto frame = NoiseBitmap(16, 16, 1);
    writer.Bitmaps = {frame.get(), nullptr};
    writer.Width = writer.Height = 16;
    EXPECT_EQ(message([&] { writer.Write(); }), "Bitmaps[1] is not a TBitmap");
    writer.Bitmaps = {frame.get()};
    EXPECT_EQ(message([&] { writer.Write(); }), "A disk error occurred while opening the audio file.");

    // Past the size limit nothing is written and an earlier file stays as it was.
    kvtest::WriteFile(writer.FileName, "earlier video");
    writer.SetWavFileName(dir + "other.wav");
    ASSERT_TRUE(kvtest::MakeTone(dir + "other.wav", {"-b", "16"}, 0.5));
    writer.MaxFileSize = 4096;
    EXPECT_EQ(message([&] { writer.Write(); }), "Unable to write output file");
    EXPECT_EQ(kvtest::ReadFile(writer.FileName), "earlier video");
    writer.MaxFileSize = TAviWriter::kAviMaxFileSize;
    writer.Write();
    EXPECT_EQ(Probe(writer.FileName, "", "format=nb_streams"), "2");
}
