#pragma once
// TPictureWriter: saves pictures on worker threads, each file written whole (a temporary
// beside it, renamed over it) and in the order the saves were queued.
//
// Every file is written through TSafeFile: a write that fails (a full disk) leaves the old
// file as it was.
//
// A queued save holds a copy of the bitmap that shares its pixels (the kernel copies them
// when the caller writes to the bitmap afterwards), so the caller goes on at once. Saves of
// the same pixels with the same format and quality are encoded once. When a write fails, the
// writes queued after it are not made, as if the saves had run one after the other and
// stopped at the failure. Finish waits for every queued write and says which one failed.
#include "platform/imagelib/ltkrn.h"

#include <QString>

#include <cstdint>
#include <future>
#include <memory>
#include <vector>

class TPictureWriter {
public:
    struct TResult {
        int Code = 1;      // 1, or the kernel's failure code of the first write that failed
        QString FileName;  // the file of that write
        QString Message;   // a failed write's error, with the file's name and the system's reason
    };

    TPictureWriter() = default;
    ~TPictureWriter();
    TPictureWriter(const TPictureWriter&) = delete;
    TPictureWriter& operator=(const TPictureWriter&) = delete;

    // Queues bitmap to be saved as fileName (format, bits per pixel and quality factor as
    // for the kernel's save).
    void Queue(const LBitmap& bitmap, const QString& fileName, int format, int bits, int qFactor);
    // Waits until every queued write is done; the first failure, or Code 1.
    TResult Finish();
    bool Pending() const { return !m_jobs.empty(); }

private:
    struct TEncoded {
        int Code = 1;
        std::vector<std::uint8_t> Bytes;
    };
    struct TEncodeJob {
        // What makes two saves write the same bytes.
        std::uint64_t Generation;
        std::int32_t Perspective, XResolution, YResolution, Format, Bits, QFactor;
        LBitmap Bitmap;  // released on the caller's thread only
        std::shared_future<TEncoded> Result;
    };
    std::vector<std::shared_ptr<TEncodeJob>> m_encodes;
    std::vector<std::shared_future<TResult>> m_jobs;
};
