#include "platform/media/Riff.h"

#include <cerrno>
#include <cstring>

#include <QtEndian>

TRiffFile::~TRiffFile()
{
    Close();
}

bool TRiffFile::Open(const QString& fileName, bool create)
{
    Close();
    m_file.setFileName(fileName);
    return create ? m_file.open(QIODevice::ReadWrite | QIODevice::Truncate)
                  : m_file.open(QIODevice::ReadOnly);
}

void TRiffFile::Close()
{
    if (m_file.isOpen())
        m_file.close();
}

bool TRiffFile::Descend(TChunkInfo& chunk, const TChunkInfo* parent, TDescend how)
{
    const std::int64_t end = parent ? parent->DataOffset + parent->Size : m_file.size();
    for (;;) {
        const std::int64_t at = m_file.pos();
        if (at + 8 > end)
            return false;
        std::uint8_t head[12];
        if (m_file.read(reinterpret_cast<char*>(head), 8) != 8)
            return false;
        TChunkInfo found;
        found.Id = qFromLittleEndian<std::uint32_t>(head);
        found.Size = qFromLittleEndian<std::uint32_t>(head + 4);
        found.DataOffset = at + 8;
        const bool hasForm = found.Id == FourCC("RIFF") || found.Id == FourCC("LIST");
        if (hasForm) {
            if (found.Size < 4 || m_file.read(reinterpret_cast<char*>(head + 8), 4) != 4)
                return false;
            found.FormType = qFromLittleEndian<std::uint32_t>(head + 8);
        }
        bool match = true;
        switch (how) {
        case TDescend::Any: break;
        case TDescend::FindChunk: match = found.Id == chunk.Id; break;
        case TDescend::FindRiff: match = found.Id == FourCC("RIFF") && found.FormType == chunk.FormType; break;
        case TDescend::FindList: match = found.Id == FourCC("LIST") && found.FormType == chunk.FormType; break;
        }
        if (match) {
            chunk = found;
            return true;
        }
        // Skip the chunk and its pad byte.
        const std::int64_t next = found.DataOffset + found.Size + (found.Size & 1);
        if (next > end || !m_file.seek(next))
            return false;
    }
}

bool TRiffFile::Ascend(TChunkInfo& chunk)
{
    if (chunk.Dirty) {
        const std::int64_t end = m_file.pos();
        const std::int64_t size = end - chunk.DataOffset;
        if (size < 0 || size > 0xFFFFFFFFll)
            return false;
        chunk.Size = std::uint32_t(size);
        if (!m_file.seek(chunk.DataOffset - 4) || !WriteU32(chunk.Size) || !m_file.seek(end))
            return false;
        if ((chunk.Size & 1) && m_file.write("\0", 1) != 1)
            return false;
        chunk.Dirty = false;
        return true;
    }
    return m_file.seek(chunk.DataOffset + chunk.Size + (chunk.Size & 1));
}

bool TRiffFile::CreateChunk(TChunkInfo& chunk)
{
    const bool hasForm = chunk.Id == FourCC("RIFF") || chunk.Id == FourCC("LIST");
    chunk.DataOffset = m_file.pos() + 8;
    chunk.Size = hasForm ? 4 : 0;
    chunk.Dirty = true;
    if (!WriteU32(chunk.Id) || !WriteU32(chunk.Size))
        return false;
    return !hasForm || WriteU32(chunk.FormType);
}

std::int64_t TRiffFile::Read(void* buffer, std::int64_t bytes)
{
    return m_file.read(static_cast<char*>(buffer), bytes);
}

std::int64_t TRiffFile::Write(const void* buffer, std::int64_t bytes)
{
    errno = 0;
    const std::int64_t put = m_file.write(static_cast<const char*>(buffer), bytes);
    if (put != bytes && errno != 0)
        m_writeErrno = errno;
    return put;
}

QString TRiffFile::ErrorString() const
{
    // QFile reports a failed write as "Unknown error"; the system's errno says more.
    return m_writeErrno ? QString::fromLocal8Bit(std::strerror(m_writeErrno)) : m_file.errorString();
}

bool TRiffFile::Seek(std::int64_t offset)
{
    return offset >= 0 && m_file.seek(offset);
}

bool TRiffFile::WriteU32(std::uint32_t v)
{
    std::uint8_t b[4];
    qToLittleEndian(v, b);
    return m_file.write(reinterpret_cast<const char*>(b), 4) == 4;
}
