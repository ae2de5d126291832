#include "platform/media/PcmConvert.h"
#include "platform/media/WaveIO.h"

#include "support/MediaTools.h"
#include "support/ProgramFixture.h"
#include "support/TestEnv.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <vector>

using kvtest::MakeTempFolder;
using kvtest::ReadFile;
using kvtest::WriteFile;

namespace {

QByteArray U32(std::uint32_t v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray U16(std::uint16_t v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray Chunk(const char* id, const QByteArray& data)
{
    QByteArray c = QByteArray(id, 4) + U32(std::uint32_t(data.size())) + data;
    if (data.size() & 1)
        c += '\0';
    return c;
}
QByteArray Riff(const char* form, const QByteArray& body)
{
    return Chunk("RIFF", QByteArray(form, 4) + body);
}
// A 16-byte fmt body (PCM, stereo, 44.1 kHz, 16-bit) with a given tag.
QByteArray FmtBody(std::uint16_t tag)
{
    return U16(tag) + U16(2) + U32(44100) + U32(176400) + U16(4) + U16(16);
}

QString WaveError(const QString& file)
{
    try {
        TFileWaveStream s(file);
        return QString();
    } catch (const EWaveError& e) {
        return e.Message();
    }
}

std::vector<std::int16_t> ReadAll(TPCMWaveReader& r, int block)
{
    std::vector<std::int16_t> all;
    const int ch = r.PCMFormat().nChannels;
    std::vector<std::int16_t> buf(std::size_t(block) * ch);
    r.SetPosition(0);
    for (int n; (n = r.Read(buf.data(), block)) > 0;)
        all.insert(all.end(), buf.begin(), buf.begin() + n * ch);
    return all;
}

} // namespace

TEST(WaveStream, BrokenHeadersRaiseTheirTexts)
{
    const QString dir = MakeTempFolder("headers");
    const QByteArray data = Chunk("data", QByteArray(8, '\1'));
    const struct {
        const char* name;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"empty.wav", QByteArray(), "Invalid multimedia file!"},
        {"avi-form.wav", Riff("AVI ", Chunk("fmt ", FmtBody(1)) + data), "Not a wave file!"},
        {"list-first.wav", Chunk("LIST", QByteArray("WAVE") + Chunk("fmt ", FmtBody(1))), "Not a wave file!"},
        {"mp3-tag.wav", Riff("WAVE", Chunk("fmt ", FmtBody(85) + U16(0)) + data),
         "MPEG Layer-3 compression is not supported."},
        {"short-fmt.wav", Riff("WAVE", Chunk("fmt ", FmtBody(1).left(14)) + data), "Abnormal 'fmt' size!"},
        {"no-fmt.wav", Riff("WAVE", data), "Couldn't find 'fmt' chunk!"},
        {"no-data.wav", Riff("WAVE", Chunk("fmt ", FmtBody(1))), "Couldn't find 'data' chunk!"},
        {"zero-block-align.wav",
         Riff("WAVE", Chunk("fmt ", U16(1) + U16(2) + U32(44100) + U32(0) + U16(0) + U16(16)) + data),
         "Abnormal 'fmt' size!"},
    };
    for (const auto& c : cases) {
        WriteFile(dir + c.name, c.bytes);
        EXPECT_EQ(WaveError(dir + c.name), QString::fromUtf8(c.message)) << c.name;
    }
    EXPECT_EQ(WaveError(dir + "missing.wav"), "Can't open file stream.");
}

TEST(WaveStream, ReadsOnlyTheSampleDataAndSkipsOtherChunks)
{
    // A LIST chunk before "fmt " and another behind "data": neither may turn into samples.
    const QString file = MakeTempFolder("chunks") + "tagged.wav";
    QByteArray samples;
    for (int i = 0; i < 10; ++i)
        samples += U16(std::uint16_t(1000 + i)) + U16(std::uint16_t(2000 + i));
    WriteFile(file, Riff("WAVE", Chunk("LIST", "INFOxyz") + Chunk("fmt ", FmtBody(1)) + Chunk("data", samples) +
                                     Chunk("LIST", "INFOjunkjunk")));
    TFileWaveStream s(file);
    EXPECT_EQ(s.Size(), 10);
    std::vector<std::int16_t> buf(40, -1);
    EXPECT_EQ(s.Read(buf.data(), 20), 10);
    EXPECT_EQ(buf[0], 1000);
    EXPECT_EQ(buf[19], 2009);
    EXPECT_EQ(buf[20], -1);
    EXPECT_EQ(s.Seek(4, soBeginning), 4);
    EXPECT_EQ(s.Read(buf.data(), 1), 1);
    EXPECT_EQ(buf[0], 1004);
    EXPECT_THROW(s.Seek(-1, soBeginning), EWaveError);
}

TEST(WaveStream, WrittenFileHasAnEighteenByteFmtChunkAndCorrectSizes)
{
    const QString file = MakeTempFolder("write") + "out.wav";
    const TWaveFormatEx f = PcmFormat(2, 44100, 16);
    std::vector<std::int16_t> tone(2 * 1001);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = std::int16_t((i * 37) % 2000 - 1000);
    {
        TFileWaveStream out(file, &f);
        EXPECT_EQ(out.Write(tone.data(), 1001), 1001);
    }
    const QByteArray b = ReadFile(file);
    ASSERT_EQ(b.size(), 12 + 8 + 18 + 8 + 4004);
    EXPECT_EQ(b.mid(0, 4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(b.constData() + 4), std::uint32_t(b.size() - 8));
    EXPECT_EQ(b.mid(12, 4), "fmt ");
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(b.constData() + 16), 18u);
    EXPECT_EQ(b.mid(38, 4), "data");
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(b.constData() + 42), 4004u);

    EXPECT_EQ(kvtest::Probe(file, "a:0", "stream=codec_name,sample_rate,channels"), "pcm_s16le\n44100\n2");
    EXPECT_EQ(kvtest::RunTool("soxi", {"-s", file}).out.trimmed(), "1001");
    TFileWaveStream in(file);
    TPCMWaveReader r(&in);
    EXPECT_EQ(ReadAll(r, 333), tone);
}

TEST(PCMWaveReader, CompressedEncodingsDecodeToSixteenBitInAnyBlockSize)
{
    const QString dir = MakeTempFolder("encodings");
    const struct {
        const char* name;
        QStringList soxArgs;
    } cases[] = {
        {"ima-adpcm.wav", {"-e", "ima-adpcm"}},
        {"ms-adpcm.wav", {"-e", "ms-adpcm"}},
        {"mu-law.wav", {"-e", "mu-law"}},
        {"a-law.wav", {"-e", "a-law"}},
        {"float.wav", {"-e", "floating-point", "-b", "32"}},
    };
    for (const auto& c : cases) {
        const QString file = dir + c.name;
        ASSERT_TRUE(kvtest::MakeTone(file, c.soxArgs, 1.0)) << c.name;
        TFileWaveStream in(file);
        EXPECT_NE(in.Format().wFormatTag, WAVE_FORMAT_PCM) << c.name;
        TPCMWaveReader r(&in);
        EXPECT_EQ(r.PCMFormat().wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(r.PCMFormat().wBitsPerSample, 16);
        EXPECT_EQ(r.PCMFormat().nChannels, 2);
        EXPECT_EQ(r.PCMFormat().nSamplesPerSec, 44100u);
        EXPECT_EQ(QByteArray::number(r.Size()), kvtest::RunTool("soxi", {"-s", file}).out.trimmed()) << c.name;

        const std::vector<std::int16_t> once = ReadAll(r, r.Size());
        ASSERT_EQ(once.size(), std::size_t(r.Size()) * 2) << c.name;
        EXPECT_EQ(ReadAll(r, 4000), once) << c.name;
        EXPECT_EQ(ReadAll(r, 7), once) << c.name;
        int peak = 0;
        for (std::int16_t v : once)
            peak = std::max(peak, std::abs(int(v)));
        EXPECT_GT(peak, 16000) << c.name;  // a full-scale sine, not silence or noise

        // Reading from the middle gives the same samples as the one-shot decode there.
        std::vector<std::int16_t> mid(200);
        r.SetPosition(12345);
        ASSERT_EQ(r.Read(mid.data(), 100), 100);
        EXPECT_TRUE(std::equal(mid.begin(), mid.end(), once.begin() + 2 * 12345)) << c.name;
    }
}

TEST(PCMWaveReader, FloatWithASixteenByteFmtChunkIsRead)
{
    // Tag 3 (float) without the extra-size field, then a "data" chunk: the chunk header
    // behind "fmt " must not be taken for the extra size.
    const QString file = MakeTempFolder("float16") + "float-short-fmt.wav";
    QByteArray samples;
    for (float v : {0.5f, -0.5f, 0.25f, -0.25f}) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        samples += b;
    }
    WriteFile(file, Riff("WAVE", Chunk("fmt ", U16(3) + U16(2) + U32(44100) + U32(352800) + U16(8) + U16(32)) +
                                     Chunk("data", samples)));
    TFileWaveStream in(file);
    EXPECT_EQ(in.Format().cbSize, 0);
    TPCMWaveReader r(&in);
    ASSERT_EQ(r.Size(), 2);
    std::int16_t pcm[4] = {};
    ASSERT_EQ(r.Read(pcm, 2), 2);
    EXPECT_NEAR(pcm[0], 16384, 2);
    EXPECT_NEAR(pcm[1], -16384, 2);
    EXPECT_NEAR(pcm[2], 8192, 2);
}

TEST(PCMWaveReader, PositionOutsideTheSamplesIsRefused)
{
    const QString file = MakeTempFolder("position") + "tone.wav";
    ASSERT_TRUE(kvtest::MakeTone(file, {"-b", "16"}, 0.1));
    TFileWaveStream in(file);
    TPCMWaveReader r(&in);
    EXPECT_EQ(r.Size(), 4410);
    EXPECT_THROW(r.SetPosition(4410), EWaveError);
    EXPECT_THROW(r.SetPosition(-1), EWaveError);
    r.SetPosition(4409);
    std::int16_t buf[8];
    EXPECT_EQ(r.Read(buf, 4), 1);
}

TEST(PCMConverter, EveryLayoutBecomesSixteenBitStereo)
{
    // One sample frame of a known value per layout: left = half scale positive, others 0.
    struct Case {
        TWaveFormatEx format;
        QByteArray frame;
    };
    const Case cases[] = {
        {PcmFormat(2, 44100, 8), QByteArray("\xC0\x80", 2)},
        {PcmFormat(2, 44100, 24), QByteArray("\x00\x00\x40\x00\x00\x00", 6)},
        {PcmFormat(2, 44100, 32), QByteArray("\x00\x00\x00\x40\x00\x00\x00\x00", 8)},
        {PcmFormat(1, 44100, 16), QByteArray("\x00\x40", 2)},
    };
    for (const Case& c : cases) {
        TPCMConverter conv(c.format, 2, 44100);
        QByteArray input;
        for (int i = 0; i < 1000; ++i)
            input += c.frame;
        std::vector<std::int16_t> out;
        const int n = conv.Convert(input.constData(), 1000, out);
        ASSERT_GE(n, 990) << c.format.wBitsPerSample;
        const std::int16_t left = out[2 * 500];
        EXPECT_NEAR(left, c.format.nChannels == 1 ? 0x4000 * 0.7071 : 0x4000, 400) << c.format.wBitsPerSample;
        if (c.format.nChannels == 2)
            EXPECT_NEAR(out[2 * 500 + 1], 0, 2);
    }
    EXPECT_TRUE(TPCMConverter(PcmFormat(2, 44100, 16), 2, 44100).PassThrough());
    EXPECT_THROW(TPCMConverter(PcmFormat(2, 44100, 12), 2, 44100), EWaveError);
}
