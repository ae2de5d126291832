#pragma once
// A RIFF file opened for chunk-wise reading and writing, with the multimedia file model:
// descend into a chunk (optionally searching for an id or a form type), ascend from it
// (on write, this fills in the chunk's size and pads it to an even length), create chunks.
// Positions are absolute file offsets. Sizes are 32 bits, as RIFF has them.
#include <QFile>
#include <QString>

#include <cstdint>

// A four-character code as stored in the file (first character in the lowest byte).
constexpr std::uint32_t FourCC(const char (&s)[5])
{
    return std::uint32_t(std::uint8_t(s[0])) | std::uint32_t(std::uint8_t(s[1])) << 8 |
           std::uint32_t(std::uint8_t(s[2])) << 16 | std::uint32_t(std::uint8_t(s[3])) << 24;
}

struct TChunkInfo {
    std::uint32_t Id = 0;
    std::uint32_t Size = 0;         // bytes of data (not counting the 8-byte header)
    std::uint32_t FormType = 0;     // for "RIFF" and "LIST" chunks
    std::int64_t DataOffset = 0;    // file offset of the data (after the header)
    bool Dirty = false;             // created for writing; its size is written on ascend
};

enum class TDescend { Any, FindChunk, FindRiff, FindList };

class TRiffFile {
public:
    TRiffFile() = default;
    ~TRiffFile();
    TRiffFile(const TRiffFile&) = delete;
    TRiffFile& operator=(const TRiffFile&) = delete;

    // Opens for reading, or creates (truncating) for reading and writing.
    bool Open(const QString& fileName, bool create);
    void Close();
    bool IsOpen() const { return m_file.isOpen(); }
    // The system's words for the last failure ("No space left on device").
    QString ErrorString() const;

    // Descends into the next chunk from the current position; with Find* it skips chunks
    // until one has the wanted id (FindChunk) or form type (FindRiff, FindList), not going
    // past the end of parent. False at the end or on a broken header.
    bool Descend(TChunkInfo& chunk, const TChunkInfo* parent, TDescend how);
    // Moves behind the chunk; for a chunk created here, writes its size and pads it.
    bool Ascend(TChunkInfo& chunk);
    // Writes a chunk header (with the form type for "RIFF" and "LIST") at the current
    // position; the chunk's size is written by Ascend.
    bool CreateChunk(TChunkInfo& chunk);

    std::int64_t Read(void* buffer, std::int64_t bytes);
    std::int64_t Write(const void* buffer, std::int64_t bytes);
    bool Seek(std::int64_t offset);
    std::int64_t Pos() const { return m_file.pos(); }
    std::int64_t FileSize() const { return m_file.size(); }
    bool Flush() { return m_file.flush(); }

private:
    bool WriteU32(std::uint32_t v);
    QFile m_file;
    int m_writeErrno = 0;  // errno of the last write that failed
};
