#pragma once
// Wave files read and written sample by sample over our RIFF layer, and a reader that
// delivers PCM from a wave file of any encoding.
//
// A sample here is one sample frame: one value per channel, nBlockAlign bytes.
//  - TWaveStream reads a wave header (with the classic error texts) or writes one; a stream
//    in write mode is a half-written file until Close (or the destructor) fills in the sizes.
//  - TFileWaveStream opens the file itself.
//  - TPCMWaveReader passes PCM through unchanged and decodes every other encoding that
//    libsndfile knows (IMA and MS ADPCM, mu-law, A-law, float, extensible) to 16-bit PCM with
//    the source's rate and channels.
#include "platform/media/Riff.h"
#include "platform/vcl/Exceptions.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class EWaveError : public Exception {
public:
    using Exception::Exception;
};

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;
constexpr std::uint16_t WAVE_FORMAT_MPEGLAYER3 = 85;

#pragma pack(push, 1)
struct TWaveFormatEx {
    std::uint16_t wFormatTag = WAVE_FORMAT_PCM;
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;
};
#pragma pack(pop)
static_assert(sizeof(TWaveFormatEx) == 18);

// A PCM format with the derived block alignment and byte rate.
TWaveFormatEx PcmFormat(int channels, int sampleRate, int bitsPerSample);

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TWaveStream {
public:
    // Write mode when format is given (its 18 bytes plus extra are written as the "fmt "
    // chunk), read mode otherwise. The file must be open; it is not owned.
    TWaveStream(TRiffFile* file, const TWaveFormatEx* format, const QByteArray& extra = {});
    virtual ~TWaveStream();
    TWaveStream(const TWaveStream&) = delete;
    TWaveStream& operator=(const TWaveStream&) = delete;

    virtual int Read(void* buffer, int count);
    virtual int Seek(int offset, TSeekOrigin origin);
    virtual int Write(const void* buffer, int count);

    // Write mode: fills in the chunk sizes and flushes; raises "Cannot ascend chunk." or
    // "Cannot flush.". Safe to call twice; the destructor calls it and swallows failures.
    void Close();

    const TWaveFormatEx& Format() const { return m_format; }
    // The bytes after the 18-byte header (read mode).
    const QByteArray& FormatExtra() const { return m_extra; }
    std::int64_t DataOffset() const { return m_dataOffset; }
    // Samples in the "data" chunk (read mode; only what the file really holds).
    int Size() const { return m_size; }
    TRiffFile& File() { return *m_file; }

private:
    void ReadHeader();

    TRiffFile* m_file;
    TWaveFormatEx m_format;
    QByteArray m_extra;
    std::int64_t m_dataOffset = 0;
    std::int64_t m_dataEnd = 0;  // read mode: end of the sample bytes
    int m_size = 0;
    bool m_writing = false;
    bool m_closed = false;
    TChunkInfo m_dataChunk;
    TChunkInfo m_riffChunk;
};

// Holds the file of a TFileWaveStream, made before the stream reads its header and closed
// after it (also when the header read fails).
struct TOwnedRiffFile {
    explicit TOwnedRiffFile(const QString& fileName, bool create);
    std::unique_ptr<TRiffFile> Owned;
};

class TFileWaveStream : private TOwnedRiffFile, public TWaveStream {
public:
    // Opens fileName for reading (no format) or creates it for writing; raises "Can't open
    // file stream." when that fails, then reads or writes the header.
    explicit TFileWaveStream(const QString& fileName, const TWaveFormatEx* format = nullptr);
    ~TFileWaveStream() override;
};

class TPCMWaveReader {
public:
    // Raises "Can't suggest pcm format." for an encoding that cannot be decoded.
    explicit TPCMWaveReader(TWaveStream* source);
    ~TPCMWaveReader();
    TPCMWaveReader(const TPCMWaveReader&) = delete;
    TPCMWaveReader& operator=(const TPCMWaveReader&) = delete;

    // Reads up to count PCM samples; returns the samples read.
    int Read(void* buffer, int count);
    int Position() const { return m_position; }
    // Raises "Position out of bounds." for a value outside 0 .. Size - 1 (other than the
    // current position).
    void SetPosition(int position);
    int Size() const { return m_size; }
    const TWaveFormatEx& PCMFormat() const { return m_pcmFormat; }

private:
    struct Decoder;
    TWaveStream* m_source;
    TWaveFormatEx m_pcmFormat;
    int m_position = 0;
    int m_size = 0;
    std::unique_ptr<Decoder> m_decoder;  // for sources that are not PCM
};
