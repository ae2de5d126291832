#include "platform/media/AviWriter.h"

#include "platform/media/WaveIO.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/SafeFile.h"
#include "platform/vcl/SysUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

const QString kWaitText = QStringLiteral(
    ".. bitte warten, der Vorgang kann je nach Größe der Diashow und Rechenleistung Ihres PCs mehrere "
    "Minuten bis Stunden dauern!");

constexpr std::uint32_t AVIF_HASINDEX = 0x10;
constexpr std::uint32_t AVIF_ISINTERLEAVED = 0x100;
constexpr std::uint32_t AVIIF_KEYFRAME = 0x10;

// Little-endian bytes of headers and chunks.
class Bytes {
public:
    Bytes& U16(std::uint16_t v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_data.append(b, 2);
        return *this;
    }
    Bytes& U32(std::uint32_t v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_data.append(b, 4);
        return *this;
    }
    Bytes& Tag(const char* fourcc)
    {
        m_data.append(fourcc, 4);
        return *this;
    }
    Bytes& Raw(const QByteArray& b)
    {
        m_data.append(b);
        return *this;
    }
    Bytes& Chunk(const char* fourcc, const QByteArray& body)
    {
        Tag(fourcc).U32(std::uint32_t(body.size())).Raw(body);
        if (body.size() & 1)
            m_data.append('\0');
        return *this;
    }
    Bytes& List(const char* type, const QByteArray& body)
    {
        return Tag("LIST").U32(std::uint32_t(body.size() + 4)).Tag(type).Raw(body);
    }
    const QByteArray& Data() const { return m_data; }

private:
    QByteArray m_data;
};

// The wave file's format and sample bytes, copied unchanged.
struct AudioTrack {
    QByteArray format;  // WAVEFORMATEX with its extra bytes
    TWaveFormatEx header;
    std::unique_ptr<TFileWaveStream> stream;
    std::int64_t bytes = 0;
};

std::int64_t Padded(std::int64_t n)
{
    return n + (n & 1);
}

// The output file through TSafeFile, with QSaveFile's calls: a write, the flush or the
// rename that fails raises "Unable to write output file" with the file's name and the
// system's reason, and leaves an earlier file as it was.
class OutputFile {
public:
    explicit OutputFile(const QString& name)
    {
        Raise([&] { m_file.emplace(name); });
    }
    qint64 write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    qint64 write(const char* data, qint64 size)
    {
        Raise([&] { m_file->Write(data, size); });
        return size;
    }
    bool commit()
    {
        Raise([&] { m_file->Commit(); });
        return true;
    }

private:
    template <class F>
    static void Raise(F&& f)
    {
        try {
            f();
        } catch (const Exception& e) {
            throw EAviError(QStringLiteral("Unable to write output file\n") + e.Message());
        }
    }
    std::optional<TSafeFile> m_file;
};

// What follows a failure's text: the file and the system's words (QFile says "Unknown error"
// for a failed write; errno of that write says more).
QString Cause(const QString& file, int error, const QFileDevice& device)
{
    return QLatin1Char(' ') + file + QStringLiteral(": ") +
           (error ? QString::fromLocal8Bit(std::strerror(error)) : device.errorString());
}

} // namespace

TAviWriter::TAviWriter(const QString& encoderFolder, QObject* parent)
    : QObject(parent), m_tempFileName(encoderFolder + QStringLiteral("AWTemp.avi"))
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize();
    Height = size.height() / 10;
    Width = size.width() / 10;
}

TAviWriter::~TAviWriter() = default;

void TAviWriter::SetWavFileName(const QString& name)
{
    if (name.compare(m_wavFileName, Qt::CaseInsensitive) == 0)
        return;
    const QString suffix = QFileInfo(name).fileName().contains('.')
                               ? QFileInfo(name).fileName().mid(QFileInfo(name).fileName().lastIndexOf('.'))
                               : QString();
    if (suffix.toLower() != QStringLiteral(".wav"))
        throw EAviError(QStringLiteral("WavFileName must name a file with the .wav extension"));
    m_wavFileName = name;
}

void TAviWriter::Progress(const QString& msg)
{
    Msg = msg;
    if (OnProgress)
        OnProgress(this, Stage, PercentDone, RedrawNow, R, Msg);
}

void TAviWriter::Write()
{
    const int n = int(Bitmaps.size());
    if (n == 0)
        throw EAviError(QStringLiteral("No bitmaps on the Bitmaps list"));
    Progress(QStringLiteral(" Video mit %1 Bildern erzeugen").arg(n));
    for (int i = 0; i < n; ++i)
        if (!Bitmaps[i])
            throw EAviError(QStringLiteral("Bitmaps[%1] is not a TBitmap").arg(i));
    if (Width <= 0 || Height <= 0 || FrameTime <= 0)
        throw EAviError(QStringLiteral("Failed to create AVI video stream"));

    const std::int64_t rowBytes = (std::int64_t(Width) * 3 + 3) / 4 * 4;
    const std::int64_t imageSize = rowBytes * Height;

    // The frames into the work file.
    {
        QFile work(m_tempFileName);
        if (!work.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw EAviError(QStringLiteral("Failed to create AVI video work file") + Cause(m_tempFileName, 0, work));
        Progress(QStringLiteral(" Video zum schreiben geöffnet"));
        Progress(QStringLiteral(" Video-Stream zum schreiben geöffnet"));
        QImage frame(Width, Height, QImage::Format_BGR888);
        if (frame.isNull())
            throw EAviError(QStringLiteral("Failed to retrieve bitmap info"));
        QByteArray dib(imageSize, '\0');
        for (int i = 0; i < n; ++i) {
            PercentDone = std::uint8_t(Round(double(i) / n * 100));
            Progress(QStringLiteral("Bild Nr.%1 schreiben").arg(i + 1));
            const QImage& source = Bitmaps[i]->Image();
            if (source.isNull()) {
                frame.fill(Qt::white);
            } else if (Stretch) {
                QPainter p(&frame);
                p.drawImage(QRect(0, 0, Width, Height), source);
            } else {
                // The bitmap unscaled at the top left, on the colour of its own top-left pixel.
                frame.fill(QColor(source.pixel(0, 0)));
                QPainter p(&frame);
                p.drawImage(0, 0, source);
            }
            // Bottom-up rows of blue, green, red, padded to 4 bytes.
            for (int y = 0; y < Height; ++y)
                std::memcpy(dib.data() + (Height - 1 - y) * rowBytes, frame.constScanLine(y), std::size_t(Width) * 3);
            errno = 0;
            if (work.write(dib) != dib.size())
                throw EAviError(QStringLiteral("Failed to add frame to AVI. Err=%1")
                                    .arg(quint32(work.error()), 8, 16, QChar('0'))
                                    .toUpper() +
                                Cause(m_tempFileName, errno, work));
        }
        errno = 0;
        if (!work.flush())
            throw EAviError(QStringLiteral("Could not create Video Stream") + Cause(m_tempFileName, errno, work));
    }

    AudioTrack audio;
    if (!m_wavFileName.isEmpty()) {
        if (!QFile::exists(m_wavFileName))
            throw EAviError(QStringLiteral("A disk error occurred while opening the audio file."));
        try {
            audio.stream = std::make_unique<TFileWaveStream>(m_wavFileName);
        } catch (const EWaveError&) {
            throw EAviError(
                QStringLiteral("The file could not be read, indicating a corrupt file or an unrecognized format."));
        }
        Progress(QStringLiteral("Audio Datei zum schreiben geöffnet"));
        audio.header = audio.stream->Format();
        audio.header.cbSize = std::uint16_t(audio.stream->FormatExtra().size());
        audio.format = QByteArray(reinterpret_cast<const char*>(&audio.header), sizeof audio.header) +
                       audio.stream->FormatExtra();
        audio.bytes = std::int64_t(audio.stream->Size()) * audio.header.nBlockAlign;
        if (audio.header.nAvgBytesPerSec == 0)
            throw EAviError(QStringLiteral("Unable to get audio stream"));
        Progress(QStringLiteral("Audio-Stream zum schreiben geöffnet"));
        Progress(QStringLiteral("Audio zu Video hinzufügen"));
    }

    Progress(QStringLiteral("Video schreiben..."));
    Progress(kWaitText);

    // Audio bytes behind frame i: the sound of its time, whole blocks; the rest after the last.
    const bool withAudio = audio.stream != nullptr;
    const int align = withAudio ? audio.header.nBlockAlign : 1;
    auto audioEnd = [&](int frame) -> std::int64_t {
        if (!withAudio)
            return 0;
        if (frame >= n)
            return audio.bytes;
        const std::int64_t at = std::int64_t(audio.header.nAvgBytesPerSec) * FrameTime * frame / 1000;
        return std::min(audio.bytes, at / align * align);
    };

    // Sizes first: the file is refused before it is written when it would be too large.
    std::vector<std::pair<std::int64_t, std::int64_t>> audioChunks;  // start, length per chunk
    if (withAudio) {
        for (int i = 1; i <= n; ++i) {
            const std::int64_t from = audioEnd(i - 1), to = audioEnd(i);
            if (to > from || i == n)
                audioChunks.emplace_back(from, to - from);
            else
                audioChunks.emplace_back(from, 0);
        }
    }
    std::int64_t moviBytes = 4 + n * (8 + Padded(imageSize));
    std::int64_t indexEntries = n;
    for (const auto& c : audioChunks)
        if (c.second > 0) {
            moviBytes += 8 + Padded(c.second);
            ++indexEntries;
        }

    Bytes avih;
    avih.U32(std::uint32_t(std::min<std::int64_t>(std::int64_t(FrameTime) * 1000, 0xFFFFFFFF)))
        .U32(std::uint32_t(std::min<std::int64_t>(imageSize * 1000 / FrameTime +
                                                       (withAudio ? audio.header.nAvgBytesPerSec : 0),
                                                   0xFFFFFFFF)))
        .U32(0)
        .U32(AVIF_HASINDEX | (withAudio ? AVIF_ISINTERLEAVED : 0))
        .U32(std::uint32_t(n))
        .U32(0)
        .U32(withAudio ? 2 : 1)
        .U32(0)
        .U32(std::uint32_t(Width))
        .U32(std::uint32_t(Height))
        .U32(0).U32(0).U32(0).U32(0);
    Bytes vstrh;
    vstrh.Tag("vids").U32(0).U32(0).U16(0).U16(0).U32(0)
        .U32(std::uint32_t(FrameTime)).U32(1000).U32(0).U32(std::uint32_t(n))
        .U32(0).U32(0xFFFFFFFF).U32(0)
        .U16(0).U16(0).U16(std::uint16_t(Width)).U16(std::uint16_t(Height));
    Bytes vstrf;  // BITMAPINFOHEADER
    vstrf.U32(40).U32(std::uint32_t(Width)).U32(std::uint32_t(Height)).U16(1).U16(24).U32(0)
        .U32(std::uint32_t(imageSize)).U32(0).U32(0).U32(0).U32(0);
    Bytes vstrl;
    vstrl.Chunk("strh", vstrh.Data()).Chunk("strf", vstrf.Data());
    Bytes hdrlBody;
    hdrlBody.Chunk("avih", avih.Data()).List("strl", vstrl.Data());
    if (withAudio) {
        Bytes astrh;
        const std::int64_t blocks = audio.bytes / align;
        astrh.Tag("auds").U32(0).U32(0).U16(0).U16(0).U32(0)
            .U32(align).U32(audio.header.nAvgBytesPerSec).U32(0).U32(std::uint32_t(blocks))
            .U32(std::uint32_t(std::min<std::int64_t>(audio.header.nAvgBytesPerSec, 0xFFFFFFFF)))
            .U32(0xFFFFFFFF).U32(std::uint32_t(align))
            .U16(0).U16(0).U16(0).U16(0);
        Bytes astrl;
        astrl.Chunk("strh", astrh.Data()).Chunk("strf", audio.format);
        hdrlBody.List("strl", astrl.Data());
    }
    Bytes head;
    head.List("hdrl", hdrlBody.Data());
    const std::int64_t riffBytes = 4 + head.Data().size() + 8 + moviBytes + 8 + indexEntries * 16;
    if (riffBytes + 8 > MaxFileSize)
        throw EAviError(QStringLiteral("Unable to write output file"));

    // The output, through a temporary file beside it.
    if (FileName.isEmpty())
        throw EAviError(QStringLiteral("Unable to write output file"));
    OutputFile out(FileName);
    QFile work(m_tempFileName);
    if (!work.open(QIODevice::ReadOnly))
        throw EAviError(QStringLiteral("Unable to write output file"));
    Bytes top;
    top.Tag("RIFF").U32(std::uint32_t(riffBytes)).Tag("AVI ").Raw(head.Data())
        .Tag("LIST").U32(std::uint32_t(moviBytes)).Tag("movi");
    bool ok = out.write(top.Data()) == top.Data().size();
    Bytes index;
    std::int64_t offset = 4;  // from the "movi" tag
    QByteArray frameBytes;
    QByteArray audioBytes;
    auto writeChunk = [&](const char* id, const QByteArray& body) {
        Bytes h;
        h.Tag(id).U32(std::uint32_t(body.size()));
        ok = ok && out.write(h.Data()) == 8 && out.write(body) == body.size() &&
             (!(body.size() & 1) || out.write("\0", 1) == 1);
        index.Tag(id).U32(AVIIF_KEYFRAME).U32(std::uint32_t(offset)).U32(std::uint32_t(body.size()));
        offset += 8 + Padded(body.size());
    };
    if (withAudio)
        audio.stream->Seek(0, soBeginning);
    for (int i = 0; i < n && ok; ++i) {
        frameBytes = work.read(imageSize);
        if (frameBytes.size() != imageSize)
            throw EAviError(QStringLiteral("Unable to write output file"));
        writeChunk("00db", frameBytes);
        if (withAudio && audioChunks[i].second > 0) {
            audioBytes.resize(audioChunks[i].second);
            const int blocks = int(audioChunks[i].second / align);
            if (audio.stream->Read(audioBytes.data(), blocks) != blocks)
                throw EAviError(QStringLiteral("A disk error occurred while reading the audio file."));
            writeChunk("01wb", audioBytes);
        }
    }
    ok = ok && out.write(Bytes().Tag("idx1").U32(std::uint32_t(index.Data().size())).Data()) == 8 &&
         out.write(index.Data()) == index.Data().size();
    work.close();
    if (!ok || !out.commit())
        throw EAviError(QStringLiteral("Unable to write output file"));
    audio.stream.reset();
    QFile::remove(m_tempFileName);

    Progress(QStringLiteral("Video speichern"));
    Progress(kWaitText);
}
