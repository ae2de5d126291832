#include "output/audio/MPEGaudio.h"

#include "output/audio/ByteSource.h"
#include "platform/vcl/SysUtils.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// kbit/s by version, layer and index. Version: 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1;
// layer: 0 reserved, 1 Layer III, 2 Layer II, 3 Layer I.
constexpr int kNone[16] = {};
constexpr int kMpeg1L1[16] = {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0};
constexpr int kMpeg1L2[16] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0};
constexpr int kMpeg1L3[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int kMpeg2L1[16] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
constexpr int kMpeg2L23[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr const int* kBitRates[4][4] = {
    {kNone, kMpeg2L23, kMpeg2L23, kMpeg2L1},  // MPEG 2.5
    {kNone, kNone, kNone, kNone},             // reserved
    {kNone, kMpeg2L23, kMpeg2L23, kMpeg2L1},  // MPEG 2
    {kNone, kMpeg1L3, kMpeg1L2, kMpeg1L1},    // MPEG 1
};

constexpr int kSampleRates[4][4] = {
    {11025, 12000, 8000, 0},
    {0, 0, 0, 0},
    {22050, 24000, 16000, 0},
    {44100, 48000, 32000, 0},
};

constexpr const char* kVersionText[4] = {"MPEG 2.5", "MPEG ?", "MPEG 2", "MPEG 1"};
constexpr const char* kLayerText[4] = {"Layer ?", "Layer III", "Layer II", "Layer I"};
constexpr const char* kModeText[5] = {"Stereo", "Joint Stereo", "Dual Channel", "Mono", "Unknown"};
constexpr const char* kEmphasisText[4] = {"None", "50/15 ms", "Unknown", "CCIT J.17"};
constexpr const char* kEncoderText[7] = {"Unknown", "Xing", "FhG", "LAME", "Blade", "GoGo", "Shine"};

constexpr int kVersionMpeg1 = 3;
constexpr int kLayerI = 3;
constexpr int kModeStereo = 0;
constexpr int kModeJoint = 1;
constexpr int kModeDual = 2;
constexpr int kModeMono = 3;

int BigEndian32(const std::uint8_t* p)
{
    return int((std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
               std::uint32_t(p[3]));
}

int CoefficientOf(const TFrameData& f)
{
    if (f.VersionID == kVersionMpeg1)
        return f.LayerID == kLayerI ? 48 : 144;
    return f.LayerID == kLayerI ? 24 : 72;
}

int PaddingOf(const TFrameData& f)
{
    if (!f.PaddingBit)
        return 0;
    return f.LayerID == kLayerI ? 4 : 1;
}

} // namespace

int TMPEGaudio::TableBitRate(int versionID, int layerID, int bitRateID)
{
    if (versionID < 0 || versionID > 3 || layerID < 0 || layerID > 3 || bitRateID < 0 || bitRateID > 15)
        return 0;
    return kBitRates[versionID][layerID][bitRateID];
}

int TMPEGaudio::TableSampleRate(int versionID, int sampleRateID)
{
    if (versionID < 0 || versionID > 3 || sampleRateID < 0 || sampleRateID > 3)
        return 0;
    return kSampleRates[versionID][sampleRateID];
}

bool TMPEGaudio::IsFrameHeader(const std::uint8_t* h)
{
    return h[0] == 0xFF && (h[1] & 0xE0) == 0xE0 && ((h[1] >> 3) & 3) != 1 && ((h[1] >> 1) & 3) != 0 &&
           (h[2] >> 4) != 0 && (h[2] >> 4) != 15 && ((h[2] >> 2) & 3) != 3 && (h[3] & 3) != 2;
}

TFrameData TMPEGaudio::DecodeHeader(const std::uint8_t* h)
{
    TFrameData f;
    std::memcpy(f.Data.data(), h, 4);
    f.VersionID = (h[1] >> 3) & 3;
    f.LayerID = (h[1] >> 1) & 3;
    f.ProtectionBit = (h[1] & 1) == 0;
    f.BitRateID = h[2] >> 4;
    f.SampleRateID = (h[2] >> 2) & 3;
    f.PaddingBit = (h[2] >> 1) & 1;
    f.PrivateBit = h[2] & 1;
    f.ModeID = h[3] >> 6;
    f.ModeExtensionID = (h[3] >> 4) & 3;
    f.CopyrightBit = (h[3] >> 3) & 1;
    f.OriginalBit = (h[3] >> 2) & 1;
    f.EmphasisID = h[3] & 3;
    return f;
}

int TMPEGaudio::FrameLength(const TFrameData& f)
{
    const int sampleRate = TableSampleRate(f.VersionID, f.SampleRateID);
    if (sampleRate <= 0)
        return 0;
    const int bitRate = TableBitRate(f.VersionID, f.LayerID, f.BitRateID);
    return int(Trunc(double(CoefficientOf(f)) * bitRate * 1000 / sampleRate)) + PaddingOf(f);
}

void TMPEGaudio::ResetData()
{
    FileLength = 0;
    WaveHeader = false;
    VBR = TVBRData{};
    Frame = TFrameData{};
    Frame.VersionID = 1;
    Frame.SampleRateID = 3;
    Frame.ModeID = 4;
    Frame.ModeExtensionID = 4;
    Frame.EmphasisID = 2;
    ID3v1.ResetData();
    ID3v2.ResetData();
}

bool TMPEGaudio::FindFrame(const std::uint8_t* data, int len)
{
    const int last = std::min(BlockSize / 2, len - 4);
    for (int p = 0; p <= last; ++p) {
        if (!IsFrameHeader(data + p))
            continue;
        const TFrameData candidate = DecodeHeader(data + p);
        const int length = FrameLength(candidate);
        const int q = p + length;
        // The confirming header must lie inside the bytes read.
        if (length <= 0 || q + 4 > len || !IsFrameHeader(data + q))
            continue;
        Frame = candidate;
        Frame.Found = true;
        Frame.Position = p;
        Frame.Size = std::uint16_t(length);
        Frame.Xing = p + 10 <= len && std::all_of(data + p + 4, data + p + 10, [](std::uint8_t b) { return b == 0; });
        const bool mono = Frame.ModeID == kModeMono;
        const int d = p + (Frame.VersionID == kVersionMpeg1 ? (mono ? 21 : 36) : (mono ? 13 : 21));
        const std::uint8_t* v = data + d;
        if (d + 4 <= len && std::memcmp(v, "Xing", 4) == 0) {
            VBR.Found = true;
            VBR.ID = "Xing";
            if (d + 16 <= len) {
                VBR.Frames = BigEndian32(v + 8);
                VBR.Bytes = BigEndian32(v + 12);
            }
            if (d + 120 <= len)
                VBR.Scale = v[119];
            if (d + 128 <= len)
                VBR.VendorID = QByteArray(reinterpret_cast<const char*>(v + 120), 8);
        } else if (d + 4 <= len && std::memcmp(v, "VBRI", 4) == 0) {
            VBR.Found = true;
            VBR.ID = "VBRI";
            if (d + 10 <= len)
                VBR.Scale = v[9];
            if (d + 18 <= len) {
                VBR.Bytes = BigEndian32(v + 10);
                VBR.Frames = BigEndian32(v + 14);
            }
        }
        return true;
    }
    return false;
}

bool TMPEGaudio::ReadFromFile(const QString& fileName)
{
    const auto source = TByteSource::OfFile(fileName);
    return Read(*source);
}

bool TMPEGaudio::Read(TByteSource& source)
{
    ResetData();
    if (!ID3v1.Read(source) || !ID3v2.Read(source)) {
        ResetData();
        return false;
    }
    FileLength = int(std::min<qint64>(source.Size(), INT32_MAX));
    QByteArray block;
    if (!source.Read(ID3v2.Size, BlockSize, block)) {
        ResetData();
        return false;
    }
    const int at = ID3v2.Size + 8;
    WaveHeader = at + 4 <= block.size() && block.mid(at, 4) == "WAVE";
    bool found = FindFrame(reinterpret_cast<const std::uint8_t*>(block.constData()), int(block.size()));
    if (!found && block.size() == BlockSize) {
        if (!source.Read((qint64(FileLength) - ID3v2.Size) / 2, BlockSize, block)) {
            ResetData();
            return false;
        }
        found = FindFrame(reinterpret_cast<const std::uint8_t*>(block.constData()), int(block.size()));
    }
    if (!found)
        ResetData();
    return true;
}

int TMPEGaudio::Coefficient() const { return CoefficientOf(Frame); }

int TMPEGaudio::Padding() const { return PaddingOf(Frame); }

int TMPEGaudio::SampleRate() const { return TableSampleRate(Frame.VersionID, Frame.SampleRateID); }

int TMPEGaudio::BitRate() const
{
    if (VBR.Found && VBR.Frames > 0) {
        const int rate = SampleRate();
        if (rate <= 0)
            return 0;
        return int(Round((double(VBR.Bytes) / VBR.Frames - Padding()) * rate / Coefficient() / 1000));
    }
    return TableBitRate(Frame.VersionID, Frame.LayerID, Frame.BitRateID);
}

double TMPEGaudio::Duration() const
{
    if (!Frame.Found)
        return 0;
    const int rate = SampleRate();
    if (VBR.Found && VBR.Frames >= 1)
        return rate > 0 ? double(Coefficient()) * VBR.Frames * 8 / rate : 0;
    const int bitRate = TableBitRate(Frame.VersionID, Frame.LayerID, Frame.BitRateID);
    if (bitRate <= 0)
        return 0;
    return double(qint64(FileLength) - ID3v2.Size - Frame.Position) * 8 / bitRate / 1000;
}

int TMPEGaudio::TotalFrames() const
{
    if (VBR.Found)
        return VBR.Frames;
    if (!Frame.Found || Frame.Size == 0)
        return 0;
    return int((qint64(FileLength) - ID3v2.Size - Frame.Position) / Frame.Size);
}

bool TMPEGaudio::Valid() const
{
    const int bitRate = BitRate();
    return Frame.Found && bitRate >= 8 && bitRate <= 448 && Duration() >= 0.1;
}

std::uint8_t TMPEGaudio::EncoderID() const
{
    if (!Frame.Found)
        return MPEG_ENCODER_UNKNOWN;
    if (VBR.Found) {
        std::uint8_t id = MPEG_ENCODER_UNKNOWN;
        const QByteArray vendor = VBR.VendorID.left(4);
        if (vendor == "LAME")
            id = MPEG_ENCODER_LAME;
        else if (vendor == "GOGO" || vendor == "MPGE")
            id = MPEG_ENCODER_GOGO;
        if (VBR.ID == "Xing" && id == MPEG_ENCODER_UNKNOWN)
            id = MPEG_ENCODER_XING;
        if (VBR.ID == "VBRI")
            id = MPEG_ENCODER_FHG;
        return id;
    }
    // Guessed from the frame, each later rule overriding the earlier.
    const TFrameData& f = Frame;
    std::uint8_t id = MPEG_ENCODER_UNKNOWN;
    if (f.OriginalBit && f.ProtectionBit)
        id = MPEG_ENCODER_LAME;
    if (f.ModeID == kModeJoint && !f.CopyrightBit && !f.OriginalBit)
        id = MPEG_ENCODER_FHG;
    if (TableBitRate(f.VersionID, f.LayerID, f.BitRateID) <= 112 && f.ModeID == kModeStereo)
        id = MPEG_ENCODER_BLADE;
    if (f.CopyrightBit && f.OriginalBit && !f.ProtectionBit)
        id = MPEG_ENCODER_XING;
    if (f.Xing && f.OriginalBit)
        id = MPEG_ENCODER_XING;
    if (WaveHeader)
        id = MPEG_ENCODER_FHG;
    if (f.ModeID == kModeDual && f.ProtectionBit)
        id = MPEG_ENCODER_SHINE;
    return id;
}

QString TMPEGaudio::Version() const { return QString::fromLatin1(kVersionText[Frame.VersionID & 3]); }

QString TMPEGaudio::Layer() const { return QString::fromLatin1(kLayerText[Frame.LayerID & 3]); }

QString TMPEGaudio::ChannelMode() const { return QString::fromLatin1(kModeText[std::min<int>(Frame.ModeID, 4)]); }

QString TMPEGaudio::Emphasis() const { return QString::fromLatin1(kEmphasisText[Frame.EmphasisID & 3]); }

QString TMPEGaudio::Encoder() const
{
    const std::uint8_t id = EncoderID();
    QString text = QString::fromLatin1(kEncoderText[std::min<int>(id, 6)]);
    if (VBR.Found && id == MPEG_ENCODER_LAME && VBR.VendorID.size() >= 8) {
        const QByteArray v = VBR.VendorID.mid(4, 4);
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        if (digit(v[0]) && v[1] == '.' && digit(v[2]) && digit(v[3]))
            text += QLatin1Char(' ') + QString::fromLatin1(v);
    }
    return text;
}
