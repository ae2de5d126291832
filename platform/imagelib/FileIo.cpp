// Reading whole inputs and writing outputs through a temporary file.
#include "platform/imagelib/FileIo.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace kvimg {

int ReadWholeFile(const char* fileName, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (!fileName || !*fileName)
        return LE_INVALID_FILENAME;
    const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return (errno == ENOENT || errno == ENOTDIR) ? LE_FILE_NOT_FOUND : LE_FILE_OPEN;
    struct stat st {};
    int rc = LE_SUCCESS;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        rc = LE_FILE_OPEN;
    } else if (std::uint64_t(st.st_size) > MemoryLimit()) {
        rc = LE_NO_MEMORY;
    } else {
        try {
            out.resize(std::size_t(st.st_size));
        } catch (const std::bad_alloc&) {
            rc = LE_NO_MEMORY;
        }
        std::size_t got = 0;
        while (rc == LE_SUCCESS && got < out.size()) {
            const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                rc = LE_FILE_READ;
            if (n <= 0)
                break;
            got += std::size_t(n);
        }
        out.resize(got); // a file that shrank while being read gives what was there
    }
    ::close(fd);
    if (rc != LE_SUCCESS)
        out.clear();
    return rc;
}

bool MemoryWriter::Write(const void* data, std::size_t size) noexcept
{
    try {
        const auto* p = static_cast<const std::uint8_t*>(data);
        out_.insert(out_.end(), p, p + size);
        return true;
    } catch (...) {
        return false;
    }
}

bool MemoryWriter::WriteAt(std::uint64_t offset, const void* data, std::size_t size) noexcept
{
    try {
        if (offset + size > out_.size())
            out_.resize(std::size_t(offset + size));
        std::memcpy(out_.data() + offset, data, size);
        return true;
    } catch (...) {
        return false;
    }
}

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
std::atomic<unsigned> g_tempCounter{0};

// Writes all bytes, at the file position (offset < 0) or at an absolute offset.
bool WriteFully(int fd, const std::uint8_t* p, std::size_t n, std::int64_t offset = -1) noexcept
{
    while (n > 0) {
        const ssize_t w = offset < 0 ? ::write(fd, p, n) : ::pwrite(fd, p, n, off_t(offset));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= std::size_t(w);
        if (offset >= 0)
            offset += w;
    }
    return true;
}
} // namespace

SafeFileWriter::~SafeFileWriter() { Discard(); }

void SafeFileWriter::Discard() noexcept
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

int SafeFileWriter::Open(const char* target)
{
    if (!target || !*target)
        return LE_INVALID_FILENAME;
    final_ = target;
    struct stat st {};
    if (::lstat(target, &st) == 0 && S_ISLNK(st.st_mode)) {
        // Replace the file the link points to, not the link.
        if (char* real = ::realpath(target, nullptr)) {
            final_ = real;
            std::free(real);
        }
    }
    const bool exists = ::stat(final_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return LE_FILE_WRITE;
    if (exists && !S_ISREG(st.st_mode)) {
        direct_ = true;
        fd_ = ::open(final_.c_str(), O_WRONLY | O_CLOEXEC);
        return fd_ >= 0 ? LE_SUCCESS : LE_FILE_WRITE;
    }
    // A picture whose mode grants nobody write access was protected on purpose: it is not
    // replaced, also not by root, who could write it anyway.
    if (exists && ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                   (::access(final_.c_str(), W_OK) != 0 && errno == EACCES)))
        return LE_FILE_WRITE;
    const std::size_t slash = final_.rfind('/');
    dir_ = slash == std::string::npos ? std::string(".") : final_.substr(0, slash + 1);
    // An unnamed file first: a program killed while it writes leaves nothing behind. It gets
    // its name only on Commit, for the moment of the rename.
    fd_ = ::open(dir_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        unnamed_ = true;
    } else {
        const int tempErr = errno;
        if (tempErr != EOPNOTSUPP && tempErr != EISDIR && tempErr != EINVAL)
            return LE_FILE_WRITE;
        if (MakeNamedTemp() < 0)
            return LE_FILE_WRITE;
    }
    if (exists)
        ::fchmod(fd_, st.st_mode & 07777);
    return LE_SUCCESS;
}

int SafeFileWriter::MakeNamedTemp()
{
    const std::size_t slash = final_.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : final_.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? final_ : final_.substr(slash + 1);
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp_ = dir + "." + base + ".kvtmp" + std::to_string(::getpid()) + "-" +
                std::to_string(g_tempCounter.fetch_add(1));
        fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        temp_.clear();
    else if (fd_ < 0)
        fd_ = fd;
    return fd;
}

bool SafeFileWriter::Flush() noexcept
{
    if (failed_ || fd_ < 0)
        return false;
    if (!buffer_.empty()) {
        if (!WriteFully(fd_, buffer_.data(), buffer_.size()))
            failed_ = true;
        pos_ += buffer_.size();
        buffer_.clear();
    }
    return !failed_;
}

bool SafeFileWriter::Write(const void* data, std::size_t size) noexcept
{
    if (failed_ || fd_ < 0)
        return false;
    const auto* p = static_cast<const std::uint8_t*>(data);
    try {
        if (buffer_.capacity() < kBufferSize)
            buffer_.reserve(kBufferSize);
    } catch (...) {
        // Unbuffered then.
    }
    if (buffer_.size() + size > buffer_.capacity()) {
        if (!Flush())
            return false;
        if (size >= buffer_.capacity()) {
            if (!WriteFully(fd_, p, size))
                failed_ = true;
            pos_ += size;
            return !failed_;
        }
    }
    buffer_.insert(buffer_.end(), p, p + size);
    return true;
}

bool SafeFileWriter::WriteAt(std::uint64_t offset, const void* data, std::size_t size) noexcept
{
    if (!Flush())
        return false;
    if (!WriteFully(fd_, static_cast<const std::uint8_t*>(data), size, std::int64_t(offset)))
        failed_ = true;
    return !failed_;
}

int SafeFileWriter::Commit()
{
    if (!Flush())
        return LE_FILE_WRITE;
    if (direct_) {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? LE_SUCCESS : LE_FILE_WRITE;
    }
    if (::fsync(fd_) != 0)
        return LE_FILE_WRITE;
    if (unnamed_) {
        // The written file gets a temporary name beside the target, then takes its place.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        bool linked = false;
        for (int attempt = 0; attempt < 100 && !linked; ++attempt) {
            const std::size_t slash = final_.rfind('/');
            const std::string base = slash == std::string::npos ? final_ : final_.substr(slash + 1);
            temp_ = dir_ + "." + base + ".kvtmp" + std::to_string(::getpid()) + "-" +
                    std::to_string(g_tempCounter.fetch_add(1));
            linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp_.c_str(), AT_SYMLINK_FOLLOW) == 0;
            if (!linked && errno != EEXIST)
                break;
        }
        if (!linked) {
            temp_.clear();
            return LE_FILE_WRITE;
        }
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        return LE_FILE_WRITE;
    }
    fd_ = -1;
    if (::rename(temp_.c_str(), final_.c_str()) != 0)
        return LE_FILE_WRITE;
    temp_.clear();
    const std::size_t slash = final_.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : final_.substr(0, slash + 1);
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return LE_SUCCESS;
}

} // namespace kvimg
