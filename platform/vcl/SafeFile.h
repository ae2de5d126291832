#pragma once
// Files replaced whole or not at all.
//
// TSafeFile writes a file through a temporary file beside it. Every write is checked as it is
// made (nothing is buffered in the process), and Commit flushes the file to the disk and
// renames it over the target only when every byte got there. A failure, or a TSafeFile that
// ends without Commit (an exception, an abort), removes the temporary file and leaves the old
// file as it was. Failures raise Exception "Cannot create file \"<name>\". <reason>", the
// reason as the system gives it ("No space left on device"). An existing file that nobody may
// write is refused (also for root). Missing parent folders are not created.
//
//   TSafeFile file(name);
//   file.Write(header);  ...  file.Write(body);
//   file.Commit();
//
// Device() is the open file for writers that take a QIODevice (QImageWriter); a write that
// failed there is raised by CheckWrites and Commit.
#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;
class QSaveFile;

class TSafeFile {
public:
    explicit TSafeFile(const QString& fileName);
    ~TSafeFile();
    TSafeFile(const TSafeFile&) = delete;
    TSafeFile& operator=(const TSafeFile&) = delete;

    void Write(const char* data, qint64 size);
    void Write(const QByteArray& data) { Write(data.constData(), data.size()); }
    QIODevice& Device();
    // Raises when a write failed (also one made through Device()).
    void CheckWrites();
    // Makes the written bytes the file; afterwards nothing more can be written.
    void Commit();
    const QString& FileName() const { return m_fileName; }

private:
    class TDevice;
    [[noreturn]] void Fail(const QString& reason);
    // Writes every byte (a disk that takes part of them says why at the next try); false
    // with m_failure set when the disk refused.
    bool WriteAll(const char* data, qint64 size);

    QString m_fileName;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<TDevice> m_device;
    QString m_failure;
};

// Replaces (or creates) the file with `data` through TSafeFile.
void WriteFileSafely(const QString& fileName, const QByteArray& data);
