#include "output/audio/ID3v2.h"

#include "output/audio/ByteSource.h"

void TID3v2::ResetData()
{
    Exists = false;
    VersionID = 0;
    Size = 0;
}

bool TID3v2::ReadFromFile(const QString& fileName)
{
    const auto source = TByteSource::OfFile(fileName);
    return Read(*source);
}

bool TID3v2::Read(TByteSource& source)
{
    ResetData();
    const qint64 fileSize = source.Size();
    QByteArray header;
    if (fileSize < 0 || !source.Read(0, 10, header) || header.size() < 10)
        return false;
    const auto byte = [&](int i) { return static_cast<std::uint8_t>(header[i]); };
    if (header.startsWith("ID3")) {
        Exists = true;
        VersionID = byte(3);
        // Synchsafe size: seven bits per byte.
        const qint64 size = qint64(byte(6)) * 2097152 + qint64(byte(7)) * 16384 + qint64(byte(8)) * 128 +
                            qint64(byte(9)) + 10;
        Size = size > fileSize ? 0 : int(size);
    }
    return true;
}
