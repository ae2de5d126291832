#pragma once
// Raw file access for the tests of the text, list and ini code.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace coretest {

inline void writeBytes(const QString& fileName, const QByteArray& bytes)
{
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write test fixture %s", qPrintable(fileName));
    f.write(bytes);
}

inline QByteArray readBytes(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

// Every entry of a folder (hidden ones too), for checking that no temporary file was left.
inline QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace coretest
