// Ini files from arbitrary bytes: reading never fails, and a key written is read back as
// written (line breaks become blanks, surrounding blanks stay through the quotes), while every
// other section keeps its keys.
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = QDir::tempPath() + QStringLiteral("/kv-ini-fuzz-%1.ini").arg(::getpid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TIniFile ini(path);
    const QStringList sections = ini.ReadSections();
    QStringList before;
    for (const QString& section : sections)
        before << ini.ReadSectionValues(section);

    // The last 16 bytes, decoded, are the value written.
    const QString value = DecodeText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).right(16));
    try {
        ini.WriteString(QStringLiteral("FuzzSection"), QStringLiteral("FuzzKey"), value);
    } catch (...) {
        QFile::remove(path);
        return 0;
    }
    TIniFile again(path);
    QString expected = value;
    expected.replace(QLatin1String("\r\n"), QLatin1String(" "));
    expected.replace(QLatin1Char('\r'), QLatin1Char(' '));
    expected.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (again.ReadString(QStringLiteral("FuzzSection"), QStringLiteral("FuzzKey"), QStringLiteral("<none>")) != expected)
        std::abort();
    QFile::remove(path);
    return 0;
}
