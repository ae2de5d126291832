#include "output/audio/WaveHeader.h"

#include "platform/vcl/Exceptions.h"

#include <QFile>
#include <QtEndian>

#include <cmath>

bool TWaveHeader::Parse(const QByteArray& b)
{
    if (b.size() < 44)
        return false;
    const auto* p = reinterpret_cast<const uchar*>(b.constData());
    RIFFHeader = b.mid(0, 4);
    FileSize = qFromLittleEndian<quint32>(p + 4);
    WAVEHeader = b.mid(8, 4);
    FormatHeader = b.mid(12, 4);
    FormatSize = qFromLittleEndian<quint32>(p + 16);
    FormatID = qFromLittleEndian<quint16>(p + 20);
    ChannelNumber = qFromLittleEndian<quint16>(p + 22);
    SampleRate = qFromLittleEndian<quint32>(p + 24);
    BytesPerSecond = qFromLittleEndian<quint32>(p + 28);
    BlockAlign = qFromLittleEndian<quint16>(p + 32);
    BitsPerSample = qFromLittleEndian<quint16>(p + 34);
    DataHeader = b.mid(36, 4);
    DataSize = qFromLittleEndian<quint32>(p + 40);
    return true;
}

TWaveHeader TWaveHeader::ReadFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()), 2);
    TWaveHeader header;
    if (!header.Parse(file.read(44)))
        throw EInOutError(QStringLiteral("Read beyond end of file \"%1\"").arg(path), 38);
    return header;
}

double TWaveHeader::Duration() const
{
    if (SampleRate == 0)
        return 0;
    return double(DataSize) / SampleRate / 4;
}

QString FormatHMS(double seconds)
{
    const long long total = seconds > 0 ? (long long)std::floor(seconds) : 0;
    return QStringLiteral("%1:%2:%3")
        .arg(total / 3600)
        .arg(total / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}
