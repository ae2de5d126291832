// The MPEG audio reader and the tag readers: header tables, the frame search and its bounds,
// ID3v2 offsets, VBR headers and the encoder guess.
#include "AudioFixtures.h"

#include "output/audio/ByteSource.h"
#include "output/audio/MPEGaudio.h"

#include <vector>

namespace {

struct HeaderCase {
    const char* what;
    std::uint8_t bytes[4];
    int bitRate;
    int sampleRate;
    int length;
};

TEST(MpegAudioTables, HeaderDecodesToRatesAndFrameLength)
{
    const HeaderCase cases[] = {
        {"MPEG 1 Layer III 128 kbit/s 44.1 kHz", {0xFF, 0xFB, 0x90, 0x64}, 128, 44100, 417},
        {"same, padded", {0xFF, 0xFB, 0x92, 0x64}, 128, 44100, 418},
        {"MPEG 1 Layer II 384 kbit/s 32 kHz padded", {0xFF, 0xFD, 0xEA, 0x00}, 384, 32000, 1729},
        {"MPEG 1 Layer I 448 kbit/s 48 kHz padded", {0xFF, 0xFF, 0xE6, 0x00}, 448, 48000, 452},
        {"MPEG 2 Layer III 64 kbit/s 22.05 kHz", {0xFF, 0xF3, 0x80, 0xC0}, 64, 22050, 208},
        {"MPEG 2.5 Layer III 8 kbit/s 8 kHz", {0xFF, 0xE3, 0x18, 0xC0}, 8, 8000, 72},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(TMPEGaudio::IsFrameHeader(c.bytes));
        const TFrameData f = TMPEGaudio::DecodeHeader(c.bytes);
        EXPECT_EQ(TMPEGaudio::TableBitRate(f.VersionID, f.LayerID, f.BitRateID), c.bitRate);
        EXPECT_EQ(TMPEGaudio::TableSampleRate(f.VersionID, f.SampleRateID), c.sampleRate);
        EXPECT_EQ(TMPEGaudio::FrameLength(f), c.length);
    }
}

TEST(MpegAudioTables, HeaderRulesRejectReservedFields)
{
    const std::uint8_t good[4] = {0xFF, 0xFB, 0x90, 0x64};
    struct Broken {
        const char* what;
        int byte;
        std::uint8_t value;
    } broken[] = {{"no sync byte", 0, 0xFE},       {"sync bits of byte 1", 1, 0xDB},
                  {"reserved version", 1, 0xEB},   {"layer 0", 1, 0xF9},
                  {"bit rate index 0", 2, 0x00},   {"bit rate index 15", 2, 0xF0},
                  {"sample rate index 3", 2, 0x9C}, {"emphasis 2", 3, 0x66}};
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.what);
        std::uint8_t h[4] = {good[0], good[1], good[2], good[3]};
        h[b.byte] = b.value;
        EXPECT_FALSE(TMPEGaudio::IsFrameHeader(h));
    }
    EXPECT_EQ(TMPEGaudio::TableBitRate(1, 1, 9), 0);
    EXPECT_EQ(TMPEGaudio::TableBitRate(3, 0, 9), 0);
    EXPECT_EQ(TMPEGaudio::TableSampleRate(1, 0), 0);
}

// Frames of header h, each filled to its length, count times.
QByteArray Frames(const std::uint8_t (&h)[4], int count)
{
    const int length = TMPEGaudio::FrameLength(TMPEGaudio::DecodeHeader(h));
    QByteArray frame(length, '\x55');
    memcpy(frame.data(), h, 4);
    return frame.repeated(count);
}

TEST(MpegAudioSearch, ConfirmingHeaderOutsideTheBytesReadIsNotLookedAt)
{
    // A padded frame of 1729 bytes at the last search position puts the confirming header at
    // 3458, just past the block. The buffer ends there, so a read beyond it shows under ASan.
    const std::uint8_t h[4] = {0xFF, 0xFD, 0xEA, 0x00};
    std::vector<std::uint8_t> block(TMPEGaudio::BlockSize, 0);
    memcpy(block.data() + 1729, h, 4);
    TMPEGaudio mpeg;
    EXPECT_FALSE(mpeg.FindFrame(block.data(), int(block.size())));
    EXPECT_FALSE(mpeg.Frame.Found);

    // A short read: the frame's successor would lie past the end of a small file.
    std::vector<std::uint8_t> shortRead(500, 0);
    const std::uint8_t h128[4] = {0xFF, 0xFB, 0x90, 0x64};
    memcpy(shortRead.data() + 10, h128, 4);
    EXPECT_FALSE(mpeg.FindFrame(shortRead.data(), int(shortRead.size())));

    // Inside the bytes read the same pair is found.
    std::vector<std::uint8_t> two(417 + 4, 0);
    memcpy(two.data(), h128, 4);
    memcpy(two.data() + 417, h128, 4);
    EXPECT_TRUE(mpeg.FindFrame(two.data(), int(two.size())));
    EXPECT_EQ(mpeg.Frame.Position, 0);
    EXPECT_EQ(mpeg.Frame.Size, 417);
}

TEST(MpegAudioSearch, Id3v2SizeMovesTheSearchAndASizeBeyondTheFileIsZero)
{
    const std::uint8_t h[4] = {0xFF, 0xFB, 0x90, 0x64};
    QByteArray tag("ID3\x03\x00\x00\x00\x00\x02\x01", 10);
    tag.append(QByteArray(257, '\0'));
    const QByteArray audio = Frames(h, 20);
    TMPEGaudio mpeg;
    auto source = TByteSource::OfData(tag + audio);
    ASSERT_TRUE(mpeg.Read(*source));
    EXPECT_TRUE(mpeg.ID3v2.Exists);
    EXPECT_EQ(mpeg.ID3v2.VersionID, 3);
    EXPECT_EQ(mpeg.ID3v2.Size, 267);
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.Frame.Position, 0);  // inside the block that starts after the tag
    EXPECT_EQ(mpeg.TotalFrames(), 20);
    EXPECT_TRUE(mpeg.Valid());

    QByteArray huge("ID3\x04\x00\x00\x7F\x7F\x7F\x7F", 10);
    source = TByteSource::OfData(huge + audio);
    ASSERT_TRUE(mpeg.Read(*source));
    EXPECT_TRUE(mpeg.ID3v2.Exists);
    EXPECT_EQ(mpeg.ID3v2.Size, 0);
}

TEST(MpegAudioSearch, ShortUnreadableAndFramelessFiles)
{
    TMPEGaudio mpeg;
    auto tiny = TByteSource::OfData(QByteArray(127, '\xFF'));
    EXPECT_FALSE(mpeg.Read(*tiny));  // the last 128 bytes cannot be read
    EXPECT_FALSE(mpeg.ReadFromFile(kvtest::TestRoot() + QStringLiteral("/missing.mp3")));

    auto noise = TByteSource::OfData(QByteArray(10000, '\x11'));
    EXPECT_TRUE(mpeg.Read(*noise));
    EXPECT_FALSE(mpeg.Frame.Found);
    EXPECT_FALSE(mpeg.Valid());
    EXPECT_EQ(mpeg.Version(), QStringLiteral("MPEG ?"));
    EXPECT_EQ(mpeg.Layer(), QStringLiteral("Layer ?"));
    EXPECT_EQ(mpeg.ChannelMode(), QStringLiteral("Unknown"));
    EXPECT_EQ(mpeg.Duration(), 0);
}

TEST(MpegAudioSearch, SecondBlockFromTheMiddleOfTheFile)
{
    // No frame in the first 3458 bytes: the search goes on at the middle of the file.
    const std::uint8_t h[4] = {0xFF, 0xFB, 0x90, 0x64};
    const QByteArray data = QByteArray(20000, '\0') + Frames(h, 60);
    auto source = TByteSource::OfData(data);
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.Read(*source));
    ASSERT_TRUE(mpeg.Frame.Found);
    const int middle = int(data.size()) / 2;
    EXPECT_EQ(mpeg.Frame.Position, (20000 - middle + 417 * 100) % 417);
}

// A Xing frame: MPEG 1 Layer III 128 kbit/s stereo, the VBR header at 36.
QByteArray XingFile(const QByteArray& vendor, int frames, int bytes)
{
    const std::uint8_t h[4] = {0xFF, 0xFB, 0x90, 0x64};
    QByteArray data = Frames(h, 40);
    char* v = data.data() + 36;
    memcpy(v, "Xing", 4);
    qToBigEndian<quint32>(15, v + 4);
    qToBigEndian<quint32>(quint32(frames), v + 8);
    qToBigEndian<quint32>(quint32(bytes), v + 12);
    v[119] = 57;
    memcpy(v + 120, vendor.constData(), 8);
    return data;
}

TEST(MpegAudioVbr, XingHeaderGivesRateDurationAndEncoder)
{
    struct Case {
        QByteArray vendor;
        const char* encoder;
    } cases[] = {{"LAME3.93", "LAME 3.93"}, {"LAME    ", "LAME"}, {"GOGO1.00", "GoGo"}, {"\0\0\0\0\0\0\0\0", "Xing"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoder);
        auto source = TByteSource::OfData(XingFile(c.vendor.leftJustified(8, '\0', true), 1000, 1000 * 418));
        TMPEGaudio mpeg;
        ASSERT_TRUE(mpeg.Read(*source));
        ASSERT_TRUE(mpeg.VBR.Found);
        EXPECT_EQ(mpeg.VBR.ID, QByteArray("Xing"));
        EXPECT_EQ(mpeg.VBR.Frames, 1000);
        EXPECT_EQ(mpeg.VBR.Scale, 57);
        EXPECT_EQ(mpeg.Encoder(), QString::fromLatin1(c.encoder));
        EXPECT_EQ(mpeg.BitRate(), 128);  // 418 bytes per unpadded frame at 44.1 kHz
        EXPECT_NEAR(mpeg.Duration(), 1152.0 * 1000 / 44100, 1e-9);
        EXPECT_EQ(mpeg.TotalFrames(), 1000);
    }
}

TEST(MpegAudioVbr, VbriHeaderIsFhg)
{
    const std::uint8_t h[4] = {0xFF, 0xFB, 0x90, 0x64};
    QByteArray data = Frames(h, 10);
    char* v = data.data() + 36;
    memcpy(v, "VBRI", 4);
    v[9] = 80;
    qToBigEndian<quint32>(500 * 417, v + 10);
    qToBigEndian<quint32>(500, v + 14);
    auto source = TByteSource::OfData(data);
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.Read(*source));
    EXPECT_EQ(mpeg.VBR.ID, QByteArray("VBRI"));
    EXPECT_EQ(mpeg.VBR.Frames, 500);
    EXPECT_EQ(mpeg.VBR.Scale, 80);
    EXPECT_EQ(mpeg.EncoderID(), MPEG_ENCODER_FHG);
    EXPECT_EQ(mpeg.Encoder(), QStringLiteral("FhG"));
}

TEST(MpegAudioVbr, EncoderGuessedFromTheFrame)
{
    struct Case {
        const char* what;
        std::uint8_t h[4];
        int id;
    } cases[] = {
        {"original and CRC: LAME", {0xFF, 0xFA, 0xB0, 0x44}, MPEG_ENCODER_LAME},
        {"joint stereo, neither copyright nor original: FhG", {0xFF, 0xFB, 0xB0, 0x40}, MPEG_ENCODER_FHG},
        {"stereo at 112 kbit/s: Blade", {0xFF, 0xFB, 0x80, 0x00}, MPEG_ENCODER_BLADE},
        {"copyright and original without CRC: Xing", {0xFF, 0xFB, 0xB0, 0x4C}, MPEG_ENCODER_XING},
        {"dual channel with CRC: Shine", {0xFF, 0xFA, 0xB0, 0x80}, MPEG_ENCODER_SHINE},
        {"mono without marks: unknown", {0xFF, 0xFB, 0xB0, 0xC0}, MPEG_ENCODER_UNKNOWN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray data = Frames(c.h, 20);
        // Keep the bytes after each header non-zero, so that no frame counts as a Xing frame.
        auto source = TByteSource::OfData(data);
        TMPEGaudio mpeg;
        ASSERT_TRUE(mpeg.Read(*source));
        ASSERT_TRUE(mpeg.Frame.Found);
        EXPECT_EQ(mpeg.EncoderID(), c.id);
    }
}

} // namespace
