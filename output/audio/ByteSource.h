#pragma once
// Random access to the bytes of a file or of a buffer, for the audio readers: a reader asks
// for a range and gets the bytes that exist there (fewer at the end, none past it).
#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Size in bytes; -1 when the source cannot be read at all.
    virtual qint64 Size() const = 0;
    // Up to len bytes from pos; false on a read error.
    virtual bool Read(qint64 pos, qint64 len, QByteArray& out) = 0;

    // A file opened for reading (Size() -1 when it cannot be opened).
    static std::unique_ptr<TByteSource> OfFile(const QString& path);
    // A buffer (kept by value).
    static std::unique_ptr<TByteSource> OfData(const QByteArray& data);
};
