#include "output/audio/ID3v1.h"

#include "output/audio/ByteSource.h"

#include <QStringDecoder>

namespace {

QString Field(const QByteArray& tag, int from, int len)
{
    QByteArray raw = tag.mid(from, len);
    const int nul = raw.indexOf('\0');
    if (nul >= 0)
        raw.truncate(nul);
    QStringDecoder decode("windows-1252");
    return QString(decode(raw)).trimmed();
}

} // namespace

void TID3v1::ResetData()
{
    Exists = false;
    Title.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Comment.clear();
}

bool TID3v1::ReadFromFile(const QString& fileName)
{
    const auto source = TByteSource::OfFile(fileName);
    return Read(*source);
}

bool TID3v1::Read(TByteSource& source)
{
    ResetData();
    const qint64 size = source.Size();
    QByteArray tag;
    if (size < 128 || !source.Read(size - 128, 128, tag) || tag.size() < 128)
        return false;
    if (tag.startsWith("TAG")) {
        Exists = true;
        Title = Field(tag, 3, 30);
        Artist = Field(tag, 33, 30);
        Album = Field(tag, 63, 30);
        Year = Field(tag, 93, 4);
        Comment = Field(tag, 97, 30);
    }
    return true;
}
