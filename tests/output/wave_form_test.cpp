// The sound track: its length at the block boundary, the wrap to the first title, the
// conversion of every title to 16-bit stereo 44.1 kHz, empty titles, and the output closed
// when a title fails.
#include "output/fWave.h"
#include "platform/media/WaveIO.h"
#include "support/MediaTools.h"
#include "support/ProgramFixture.h"
#include "support/TestEnv.h"
#include "ui_fWave.h"

#include <QFile>
#include <gtest/gtest.h>

#include <memory>

using kvtest::MakeTempFolder;
using kvtest::RunTool;

namespace {

struct LogRecorder : IProductionLog {
    QStringList log, memo;
    void WriteLog(const QString& line) override { log << line; }
    void AddMemoLine(const QString& line) override { memo << line; }
};

// A 440 Hz sine at half scale: sox -n -r rate -c channels <format> file synth s sine 440 vol 0.5
QString Tone(const QString& dir, const QString& name, double seconds, const QStringList& format = {"-b", "16"},
             int channels = 2, int rate = 44100)
{
    const QString file = dir + name;
    QStringList args{"-n", "-r", QString::number(rate), "-c", QString::number(channels)};
    args << format << file << "synth" << QString::number(seconds) << "sine" << "440" << "vol" << "0.5";
    EXPECT_EQ(RunTool("sox", args).exitCode, 0) << name.toStdString();
    return file;
}

struct Track {
    LogRecorder rec;
    std::unique_ptr<TWaveForm> form = std::make_unique<TWaveForm>();
    QString output;
    explicit Track(const QString& dir, const QStringList& songs, int seconds) : output(dir + "Input.wav")
    {
        form->Log = &rec;
        form->SongFiles = songs;
        form->OutputFile = output;
        form->TrackSeconds = seconds;
    }
};

std::vector<std::int16_t> Samples(const QString& wav)
{
    TFileWaveStream in(wav);
    EXPECT_EQ(in.Format().wBitsPerSample, 16);
    EXPECT_EQ(in.Format().nChannels, 2);
    EXPECT_EQ(in.Format().nSamplesPerSec, 44100u);
    std::vector<std::int16_t> s(std::size_t(in.Size()) * 2);
    in.Read(s.data(), in.Size());
    return s;
}

} // namespace

TEST(SoundTrack, WrapsToTheFirstTitleAndEndsAtTheBlockBoundaryPastTheTarget)
{
    const QString dir = MakeTempFolder("wrap");
    Track t(dir, {Tone(dir, "Inp001.wav", 10.0)}, 25);
    t.form->MakeSoundTrack();
    // 441,000 twice, then 56 blocks of 4000 reach 1,102,500.
    EXPECT_EQ(RunTool("soxi", {"-s", t.output}).out.trimmed(), "1106000");
    EXPECT_EQ(kvtest::Probe(t.output, "a:0", "stream=codec_name,sample_rate,channels"), "pcm_s16le\n44100\n2");
    EXPECT_EQ(t.rec.log, (QStringList{"     read audio Inp001.wav", "     open audio Input.wav",
                                      "     write audio Inp001.wav", "     read audio Inp001.wav",
                                      "     write audio Inp001.wav", "     read audio Inp001.wav",
                                      "     write audio Inp001.wav", "     Audio created Input.wav"}));
    EXPECT_EQ(t.rec.memo.last(), "Audio createdInput.wav");
    EXPECT_EQ(t.form->ui()->ProgressBar1->value(), 0);
}

TEST(SoundTrack, ATitleLongerThanTheTargetIsTheOnlyOneRead)
{
    const QString dir = MakeTempFolder("long");
    Track t(dir, {Tone(dir, "Inp001.wav", 3.0), Tone(dir, "Inp002.wav", 1.0)}, 1);
    t.form->MakeSoundTrack();
    EXPECT_EQ(RunTool("soxi", {"-s", t.output}).out.trimmed(), "48000");  // 12 blocks
    EXPECT_FALSE(t.rec.log.join('\n').contains("Inp002"));
}

TEST(SoundTrack, EveryTitleBecomesCleanSixteenBitStereo)
{
    // Half a second each: 16-bit stereo first, then layouts that were once copied raw.
    const QString dir = MakeTempFolder("mixed");
    const QStringList songs{
        Tone(dir, "s16.wav", 0.5),
        Tone(dir, "u8.wav", 0.5, {"-b", "8"}),
        Tone(dir, "s24.wav", 0.5, {"-b", "24"}),
        Tone(dir, "six-channels.wav", 0.5, {"-b", "16"}, 6),
        Tone(dir, "mono-22050.wav", 0.5, {"-b", "16"}, 1, 22050),
        Tone(dir, "ima-adpcm.wav", 0.5, {"-e", "ima-adpcm"}),
    };
    Track t(dir, songs, 3);
    t.form->MakeSoundTrack();
    const std::vector<std::int16_t> s = Samples(t.output);
    ASSERT_GE(s.size(), std::size_t(3 * 44100 * 2));
    for (int part = 0; part < songs.size(); ++part) {
        int peak = 0, jump = 0;
        const std::size_t from = std::size_t(part * 22050 + 500) * 2, to = std::size_t((part + 1) * 22050 - 500) * 2;
        for (std::size_t i = from; i < to; ++i) {
            peak = std::max(peak, std::abs(int(s[i])));
            if (i >= from + 2)
                jump = std::max(jump, std::abs(int(s[i]) - int(s[i - 2])));
        }
        // A 440 Hz sine moves at most about 1,030 per sample at half scale; raw bytes of
        // another layout read as 16-bit stereo jump all over the range.
        EXPECT_GT(peak, 8000) << songs[part].toStdString();
        EXPECT_LT(jump, 2500) << songs[part].toStdString();
    }
}

TEST(SoundTrack, EmptyTitlesAreSkippedAndAPassWithoutSoundEndsTheTrack)
{
    const QString dir = MakeTempFolder("empty");
    const QString empty = dir + "empty.wav";
    {
        const TWaveFormatEx f = PcmFormat(2, 44100, 16);
        TFileWaveStream header(empty, &f);
    }
    ASSERT_EQ(RunTool("soxi", {"-s", empty}).out.trimmed(), "0");
    {
        Track t(dir, {empty, Tone(dir, "one-second.wav", 1.0)}, 3);
        t.form->MakeSoundTrack();
        EXPECT_EQ(RunTool("soxi", {"-s", t.output}).out.trimmed(), "132300");  // three whole passes
    }
    {
        Track t(dir, {empty, empty}, 5);
        t.form->MakeSoundTrack();
        EXPECT_EQ(RunTool("soxi", {"-s", t.output}).out.trimmed(), "0");
        EXPECT_EQ(t.rec.log.last(), "     Audio created Input.wav");
    }
}

TEST(SoundTrack, AFailingTitleLeavesACompleteTrackAndPassesTheErrorOn)
{
    const QString dir = MakeTempFolder("failing");
    const QString bad = dir + "Inp002.wav";
    kvtest::WriteFile(bad, QByteArray("RIFF\x04\0\0\0AVI ", 12));
    Track t(dir, {Tone(dir, "Inp001.wav", 0.5), bad}, 10);
    try {
        t.form->MakeSoundTrack();
        FAIL() << "no exception";
    } catch (const EWaveError& e) {
        EXPECT_EQ(e.Message(), "Not a wave file! " + bad);  // the text, then the title it is about
    }
    EXPECT_EQ(RunTool("soxi", {"-s", t.output}).out.trimmed(), "22050");
    EXPECT_EQ(t.rec.log.last(), "     Audio created Input.wav");
}
