#pragma once
// The 44-byte header of a wave file, read as it stands from the file's first 44 bytes
// (little-endian; no field is checked).
#include <QByteArray>
#include <QString>

#include <cstdint>

struct TWaveHeader {
    QByteArray RIFFHeader;      // "RIFF"
    std::uint32_t FileSize = 0; // RIFF size
    QByteArray WAVEHeader;      // "WAVE"
    QByteArray FormatHeader;    // "fmt "
    std::uint32_t FormatSize = 0;
    std::uint16_t FormatID = 0;     // format tag (1 = PCM)
    std::uint16_t ChannelNumber = 0;
    std::uint32_t SampleRate = 0;
    std::uint32_t BytesPerSecond = 0;
    std::uint16_t BlockAlign = 0;
    std::uint16_t BitsPerSample = 0;
    QByteArray DataHeader;      // "data"
    std::uint32_t DataSize = 0;

    // The header of bytes (at least 44 of them; false otherwise).
    bool Parse(const QByteArray& bytes);
    // The header of path. Raises EInOutError for a file that cannot be opened or that is
    // shorter than 44 bytes.
    static TWaveHeader ReadFromFile(const QString& path);

    // Seconds of sound, as the audio info shows them: data size / sample rate / 4 (four
    // bytes per sample frame assumed); 0 for a sample rate of 0.
    double Duration() const;
    // Only two channels count as stereo (the video sound track takes nothing else).
    bool IsStereo() const { return ChannelNumber == 2; }
};

// Seconds as "h:nn:ss" (whole seconds, cut).
QString FormatHMS(double seconds);
