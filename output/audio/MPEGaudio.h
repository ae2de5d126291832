#pragma once
// TMPEGaudio: the MPEG audio reader. It finds the first valid frame of an MP3 file (a frame
// header confirmed by the header of the frame after it) within a block of 3458 bytes after
// the ID3v2 tag, or within a second block from the middle of the file, reads a Xing or VBRI
// header of a variable-bit-rate file, and derives bit rate, duration, frame count and a guess
// of the encoder.
#include "output/audio/ID3v1.h"
#include "output/audio/ID3v2.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

class TByteSource;

// The variable-bit-rate header of the first frame.
struct TVBRData {
    bool Found = false;
    QByteArray ID;        // "Xing" or "VBRI"
    int Frames = 0;       // total frames
    int Bytes = 0;        // total bytes
    std::uint8_t Scale = 0;
    QByteArray VendorID;  // 8 bytes: the encoder's name and version ("LAME3.10")
};

// The first valid frame.
struct TFrameData {
    bool Found = false;
    int Position = 0;          // offset inside the block in which it was found
    std::uint16_t Size = 0;    // frame length in bytes
    bool Xing = false;         // the six bytes after the header are zero
    std::array<std::uint8_t, 4> Data{};  // the raw header
    std::uint8_t VersionID = 0;  // 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1
    std::uint8_t LayerID = 0;    // 1 Layer III, 2 Layer II, 3 Layer I
    bool ProtectionBit = false;  // CRC-protected
    std::uint16_t BitRateID = 0;
    std::uint16_t SampleRateID = 0;
    bool PaddingBit = false;
    bool PrivateBit = false;
    std::uint8_t ModeID = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    std::uint8_t ModeExtensionID = 0;
    bool CopyrightBit = false;
    bool OriginalBit = false;
    std::uint8_t EmphasisID = 0;
};

// Encoder IDs.
enum : std::uint8_t { MPEG_ENCODER_UNKNOWN, MPEG_ENCODER_XING, MPEG_ENCODER_FHG, MPEG_ENCODER_LAME,
                      MPEG_ENCODER_BLADE, MPEG_ENCODER_GOGO, MPEG_ENCODER_SHINE };

class TMPEGaudio {
public:
    // The size of a search block.
    static constexpr int BlockSize = 3458;

    int FileLength = 0;
    bool WaveHeader = false;
    TVBRData VBR;
    TFrameData Frame;
    TID3v1 ID3v1;
    TID3v2 ID3v2;

    TMPEGaudio() { ResetData(); }

    // Reads fileName; false when it cannot be read (or has fewer than 128 bytes). A file
    // without a valid frame reads as true with nothing found.
    bool ReadFromFile(const QString& fileName);
    bool Read(TByteSource& source);

    bool Valid() const;
    int BitRate() const;        // kbit/s
    int SampleRate() const;     // Hz
    double Duration() const;    // seconds
    int TotalFrames() const;
    std::uint8_t EncoderID() const;
    QString Version() const;
    QString Layer() const;
    QString ChannelMode() const;
    QString Emphasis() const;
    QString Encoder() const;

    // ---- the frame tables -----------------------------------------------------------------
    // Bit rate in kbit/s (0 for the reserved version, layer 0 and indexes 0 and 15).
    static int TableBitRate(int versionID, int layerID, int bitRateID);
    // Sample rate in Hz (0 for the reserved version and index 3).
    static int TableSampleRate(int versionID, int sampleRateID);
    // True when the 4 bytes at header are a frame header by the seven rules.
    static bool IsFrameHeader(const std::uint8_t* header);
    // Decodes the 4 header bytes.
    static TFrameData DecodeHeader(const std::uint8_t* header);
    // The length in bytes of frame (0 when its sample rate is unknown).
    static int FrameLength(const TFrameData& frame);
    // Searches data (len bytes, as read) for the first frame confirmed by the next header;
    // only bytes inside data are ever looked at. Fills Frame and VBR when found.
    bool FindFrame(const std::uint8_t* data, int len);

private:
    void ResetData();
    int Coefficient() const;
    int Padding() const;
};
