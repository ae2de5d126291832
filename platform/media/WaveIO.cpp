#include "platform/media/WaveIO.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>
#include <cstring>
#include <limits>

TWaveFormatEx PcmFormat(int channels, int sampleRate, int bitsPerSample)
{
    TWaveFormatEx f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = std::uint16_t(channels);
    f.nSamplesPerSec = std::uint32_t(sampleRate);
    f.wBitsPerSample = std::uint16_t(bitsPerSample);
    f.nBlockAlign = std::uint16_t(channels * ((bitsPerSample + 7) / 8));
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    f.cbSize = 0;
    return f;
}

// ---------------------------------------------------------------------------------------
// TWaveStream

TWaveStream::TWaveStream(TRiffFile* file, const TWaveFormatEx* format, const QByteArray& extra)
    : m_file(file)
{
    if (!format) {
        ReadHeader();
        return;
    }
    m_writing = true;
    m_format = *format;
    m_format.cbSize = std::uint16_t(extra.size());
    m_riffChunk.Id = FourCC("RIFF");
    m_riffChunk.FormType = FourCC("WAVE");
    TChunkInfo fmt;
    fmt.Id = FourCC("fmt ");
    m_dataChunk.Id = FourCC("data");
    if (!m_file->CreateChunk(m_riffChunk) || !m_file->CreateChunk(fmt) ||
        m_file->Write(&m_format, sizeof m_format) != std::int64_t(sizeof m_format) ||
        m_file->Write(extra.constData(), extra.size()) != extra.size() || !m_file->Ascend(fmt) ||
        !m_file->CreateChunk(m_dataChunk))
        throw EWaveError(QStringLiteral("Error writing to file."));
    m_format.cbSize = 0;  // the copy keeps the first 18 bytes only
    m_dataOffset = m_dataChunk.DataOffset;
}

TWaveStream::~TWaveStream()
{
    try {
        Close();
    } catch (...) {
    }
}

void TWaveStream::ReadHeader()
{
    TChunkInfo first;
    if (!m_file->Seek(0) || !m_file->Descend(first, nullptr, TDescend::Any))
        throw EWaveError(QStringLiteral("Invalid multimedia file!"));
    if (first.Id != FourCC("RIFF") || first.FormType != FourCC("WAVE"))
        throw EWaveError(QStringLiteral("Not a wave file!"));
    m_riffChunk = first;
    // A truncated file may claim more than it holds: search only what is there.
    m_riffChunk.Size = std::uint32_t(std::min<std::int64_t>(first.Size, m_file->FileSize() - first.DataOffset));

    TChunkInfo fmt;
    fmt.Id = FourCC("fmt ");
    if (!m_file->Descend(fmt, &m_riffChunk, TDescend::FindChunk))
        throw EWaveError(QStringLiteral("Couldn't find 'fmt' chunk!"));
    if (fmt.Size < 16)
        throw EWaveError(QStringLiteral("Abnormal 'fmt' size!"));
    TWaveFormatEx f;
    if (m_file->Read(&f, 16) != 16)
        throw EWaveError(QStringLiteral("Error reading 'fmt' chunk!"));
    f.cbSize = 0;
    // Writers of float and other formats often leave the extra size out of a 16-byte
    // chunk: that means no extra bytes (never the next chunk's header).
    if (f.wFormatTag != WAVE_FORMAT_PCM && fmt.Size >= 18) {
        if (m_file->Read(&f.cbSize, 2) != 2)
            throw EWaveError(QStringLiteral("Error reading 'waveformatex' length!"));
    }
    m_extra.resize(f.cbSize);
    if (f.cbSize > 0 && (fmt.Size < 18u + f.cbSize || m_file->Read(m_extra.data(), f.cbSize) != f.cbSize))
        throw EWaveError(QStringLiteral("Error reading 'waveformatex'!"));
    m_format = f;
    if (f.wFormatTag == WAVE_FORMAT_MPEGLAYER3)
        throw EWaveError(QStringLiteral("MPEG Layer-3 compression is not supported."));
    if (f.nBlockAlign == 0 || f.nChannels == 0)
        throw EWaveError(QStringLiteral("Abnormal 'fmt' size!"));

    if (!m_file->Ascend(fmt))
        throw EWaveError(QStringLiteral("Error ascending from 'fmt' chunk!"));
    if (!m_file->Seek(m_riffChunk.DataOffset + 4))
        throw EWaveError(QStringLiteral("Error seeking data!"));
    TChunkInfo data;
    data.Id = FourCC("data");
    if (!m_file->Descend(data, &m_riffChunk, TDescend::FindChunk))
        throw EWaveError(QStringLiteral("Couldn't find 'data' chunk!"));
    m_dataChunk = data;
    m_dataOffset = data.DataOffset;
    m_dataEnd = std::min<std::int64_t>(data.DataOffset + data.Size, m_file->FileSize());
    m_size = int(std::min<std::int64_t>((m_dataEnd - m_dataOffset) / f.nBlockAlign,
                                        std::numeric_limits<int>::max()));
    m_file->Seek(m_dataOffset);
}

int TWaveStream::Read(void* buffer, int count)
{
    if (count <= 0)
        return 0;
    std::int64_t bytes = std::int64_t(count) * m_format.nBlockAlign;
    if (!m_writing) {
        // Never read past the sample data into the chunks behind it.
        const std::int64_t left = std::max<std::int64_t>(0, m_dataEnd - m_file->Pos());
        bytes = std::min(bytes, left - left % m_format.nBlockAlign);
    }
    const std::int64_t got = m_file->Read(buffer, bytes);
    if (got < 0)
        throw EWaveError(QStringLiteral("Error reading from file."));
    return int(got / m_format.nBlockAlign);
}

int TWaveStream::Write(const void* buffer, int count)
{
    if (count <= 0)
        return 0;
    const std::int64_t bytes = std::int64_t(count) * m_format.nBlockAlign;
    if (!m_writing || m_closed || m_file->Pos() + bytes > 0xFFFFFFF0ll)
        throw EWaveError(QStringLiteral("Error writing to file."));
    const std::int64_t put = m_file->Write(buffer, bytes);
    if (put < 0)
        throw EWaveError(QStringLiteral("Error writing to file."));
    return int(put / m_format.nBlockAlign);
}

int TWaveStream::Seek(int offset, TSeekOrigin origin)
{
    const std::int64_t step = std::int64_t(offset) * m_format.nBlockAlign;
    std::int64_t target = 0;
    switch (origin) {
    case soBeginning: target = m_dataOffset + step; break;
    case soCurrent: target = m_file->Pos() + step; break;
    case soEnd: target = (m_writing ? m_file->FileSize() : m_dataEnd) + step; break;
    }
    if (target < m_dataOffset || !m_file->Seek(target))
        throw EWaveError(QStringLiteral("Seeking to an invalid location in the file."));
    return int((target - m_dataOffset) / m_format.nBlockAlign);
}

void TWaveStream::Close()
{
    if (!m_writing || m_closed)
        return;
    m_closed = true;
    if (!m_file->Seek(m_file->FileSize()) || !m_file->Ascend(m_dataChunk) || !m_file->Ascend(m_riffChunk))
        throw EWaveError(QStringLiteral("Cannot ascend chunk."));
    if (!m_file->Flush())
        throw EWaveError(QStringLiteral("Cannot flush."));
}

// ---------------------------------------------------------------------------------------
// TFileWaveStream

TOwnedRiffFile::TOwnedRiffFile(const QString& fileName, bool create) : Owned(std::make_unique<TRiffFile>())
{
    if (!Owned->Open(fileName, create))
        throw EWaveError(QStringLiteral("Can't open file stream."));
}

TFileWaveStream::TFileWaveStream(const QString& fileName, const TWaveFormatEx* format)
    : TOwnedRiffFile(fileName, format != nullptr), TWaveStream(Owned.get(), format)
{
}

TFileWaveStream::~TFileWaveStream()
{
    try {
        Close();
    } catch (...) {
    }
}

// ---------------------------------------------------------------------------------------
// TPCMWaveReader

// libsndfile reading the whole RIFF file through the stream's file.
struct TPCMWaveReader::Decoder {
    TRiffFile* file = nullptr;
    std::int64_t pos = 0;
    SNDFILE* sf = nullptr;
    SF_INFO info{};
    sf_count_t sfPos = 0;
    std::vector<float> floats;

    static sf_count_t Length(void* user) { return static_cast<Decoder*>(user)->file->FileSize(); }
    static sf_count_t SeekTo(sf_count_t offset, int whence, void* user)
    {
        auto* d = static_cast<Decoder*>(user);
        std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? d->pos : d->file->FileSize();
        d->pos = std::max<std::int64_t>(0, base + offset);
        return d->pos;
    }
    static sf_count_t ReadAt(void* ptr, sf_count_t count, void* user)
    {
        auto* d = static_cast<Decoder*>(user);
        if (!d->file->Seek(d->pos))
            return 0;
        const std::int64_t got = d->file->Read(ptr, count);
        if (got <= 0)
            return 0;
        d->pos += got;
        return got;
    }
    static sf_count_t WriteAt(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t Tell(void* user) { return static_cast<Decoder*>(user)->pos; }

    ~Decoder()
    {
        if (sf)
            sf_close(sf);
    }
};

TPCMWaveReader::TPCMWaveReader(TWaveStream* source) : m_source(source)
{
    const TWaveFormatEx& f = source->Format();
    if (f.wFormatTag == WAVE_FORMAT_PCM) {
        m_pcmFormat = f;
        m_pcmFormat.cbSize = 0;
        m_size = source->Size();
        return;
    }
    m_decoder = std::make_unique<Decoder>();
    m_decoder->file = &source->File();
    SF_VIRTUAL_IO io{&Decoder::Length, &Decoder::SeekTo, &Decoder::ReadAt, &Decoder::WriteAt, &Decoder::Tell};
    m_decoder->sf = sf_open_virtual(&io, SFM_READ, &m_decoder->info, m_decoder.get());
    if (!m_decoder->sf || m_decoder->info.channels <= 0 || m_decoder->info.samplerate <= 0)
        throw EWaveError(QStringLiteral("Can't suggest pcm format."));
    m_pcmFormat = PcmFormat(m_decoder->info.channels, m_decoder->info.samplerate, 16);
    m_size = int(std::min<sf_count_t>(m_decoder->info.frames, std::numeric_limits<int>::max()));
}

TPCMWaveReader::~TPCMWaveReader() = default;

void TPCMWaveReader::SetPosition(int position)
{
    if (position == m_position)
        return;
    if (position < 0 || position > m_size - 1)
        throw EWaveError(QStringLiteral("Position out of bounds."));
    m_position = position;
}

int TPCMWaveReader::Read(void* buffer, int count)
{
    if (count < 1)
        return 0;
    if (!m_decoder) {
        m_source->Seek(m_position, soBeginning);
        const int got = m_source->Read(buffer, count);
        m_position += got;
        return got;
    }
    count = std::min(count, m_size - m_position);
    if (count <= 0)
        return 0;
    Decoder& d = *m_decoder;
    if (d.sfPos != m_position) {
        if (sf_seek(d.sf, m_position, SEEK_SET) < 0)
            throw EWaveError(QStringLiteral("Unable to convert sample."));
        d.sfPos = m_position;
    }
    // Read as floats (full scale 1.0; integer encodings come as value / 32768) and scaled
    // here: libsndfile's own float-to-short reading either truncates or normalises a
    // quiet float file to its peak.
    const int channels = m_pcmFormat.nChannels;
    d.floats.resize(std::size_t(count) * channels);
    const sf_count_t got = sf_readf_float(d.sf, d.floats.data(), count);
    if (got < 0)
        throw EWaveError(QStringLiteral("Unable to convert sample."));
    auto* out = static_cast<std::int16_t*>(buffer);
    for (std::size_t i = 0; i < std::size_t(got) * channels; ++i)
        out[i] = std::int16_t(std::clamp(std::lrint(double(d.floats[i]) * 32768.0), -32768L, 32767L));
    d.sfPos += got;
    m_position += int(got);
    return int(got);
}
