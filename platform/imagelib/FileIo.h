#pragma once
// Reading whole inputs and writing outputs safely (kernel-private).
#include "platform/imagelib/ImageInternal.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kvimg {

// Reads a whole regular file. Missing: LE_FILE_NOT_FOUND; not openable or not a regular file:
// LE_FILE_OPEN; read error: LE_FILE_READ; larger than the memory limit: LE_NO_MEMORY.
int ReadWholeFile(const char* fileName, std::vector<std::uint8_t>& out);

class MemoryWriter final : public Writer {
public:
    explicit MemoryWriter(std::vector<std::uint8_t>& out) : out_(out) { out_.clear(); }
    bool Write(const void* data, std::size_t size) noexcept override;
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t size) noexcept override;

private:
    std::vector<std::uint8_t>& out_;
};

// Writes a file through a temporary file beside it that replaces the target on Commit. The
// temporary file is unnamed while it is written (where the file system allows), so that a
// killed program leaves nothing behind. A target that exists and is not a regular file (a
// device such as /dev/full) is written directly; an existing file that is write-protected
// (no write bit in its mode, also for root) is refused with LE_FILE_WRITE. Without Commit
// (failure, abort, exception) the temporary file is removed.
class SafeFileWriter final : public Writer {
public:
    SafeFileWriter() = default;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    ~SafeFileWriter() override;

    int Open(const char* target);
    bool Write(const void* data, std::size_t size) noexcept override;
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t size) noexcept override;
    int Commit();

private:
    bool Flush() noexcept;
    void Discard() noexcept;
    int MakeNamedTemp();

    int fd_ = -1;
    bool direct_ = false;
    bool unnamed_ = false;
    std::string dir_;
    std::string final_;
    std::string temp_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t pos_ = 0; // file offset of buffer_[0]
    bool failed_ = false;
};

// GIF and MacPaint, which the row encoders do not write (FileSavePages.cpp): pages written, or
// (GIF) placed into the existing file's pages as options.PageNumber and its flags say.
bool IsPagedFormat(std::int32_t format);
int SavePagedFormat(const char* fileName, const std::vector<LBitmap>& pages, std::int32_t format, std::int32_t bits,
                    const LSaveOptions& options);
// out := a bitmap of the rows the save-row callback hands out for bitmap.
int CollectSaveRows(LBitmap& bitmap, LSaveRowCallback callback, void* userData, LBitmap& out);

} // namespace kvimg
