#include "editing/PictureWriter.h"

#include "platform/imagelib/lterr.h"
#include "platform/imagelib/ltfil.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/SafeFile.h"

#include <new>

TPictureWriter::~TPictureWriter()
{
    Finish();
}

void TPictureWriter::Queue(const LBitmap& bitmap, const QString& fileName, int format, int bits, int qFactor)
{
    // The same pixels seen the same way in the same format and quality give the same bytes.
    std::shared_ptr<TEncodeJob> encode;
    for (const std::shared_ptr<TEncodeJob>& e : m_encodes) {
        if (e->Generation == bitmap.Generation() && e->Perspective == bitmap.ViewPerspective &&
            e->XResolution == bitmap.XResolution && e->YResolution == bitmap.YResolution && e->Format == format &&
            e->Bits == bits && e->QFactor == qFactor) {
            encode = e;
            break;
        }
    }
    if (!encode) {
        encode = std::make_shared<TEncodeJob>(TEncodeJob{bitmap.Generation(), bitmap.ViewPerspective,
                                                         bitmap.XResolution, bitmap.YResolution, format, bits,
                                                         qFactor, LBitmap(), {}});
        const int copied = bitmap.IsAllocated() ? L_CopyBitmap(&encode->Bitmap, &bitmap) : LE_NO_BITMAP;
        LSaveOptions options;
        L_GetDefaultSaveFileOption(&options);
        options.PageNumber = 1;
        options.Passes = 0;
        options.Flags |= LSO_DEFAULT;
        options.Flags &= ~(LSO_BACKGROUND | LSO_PALETTE | LSO_LOOP);
        // The worker only reads the copy; it is released here, on the caller's thread.
        const LBitmap* source = &encode->Bitmap;
        encode->Result = std::async(std::launch::async, [source, copied, options, format, bits, qFactor] {
                             TEncoded out;
                             if (copied != LE_SUCCESS) {
                                 out.Code = copied;
                                 return out;
                             }
                             try {
                                 out.Code = L_SaveBitmapMemory(&out.Bytes, source, format, bits, qFactor, &options);
                             } catch (const std::bad_alloc&) {
                                 out.Code = LE_NO_MEMORY;
                             }
                             return out;
                         }).share();
        m_encodes.push_back(encode);
    }

    // Written after the write before it, and only when that one succeeded.
    std::shared_future<TResult> previous = m_jobs.empty() ? std::shared_future<TResult>() : m_jobs.back();
    std::shared_future<TEncoded> encoded = encode->Result;
    m_jobs.push_back(std::async(std::launch::async, [previous, encoded, fileName] {
                         if (previous.valid()) {
                             const TResult& before = previous.get();
                             if (before.Code != LE_SUCCESS)
                                 return before;
                         }
                         const TEncoded& e = encoded.get();
                         if (e.Code != LE_SUCCESS)
                             return TResult{e.Code, fileName, QString()};
                         try {
                             WriteFileSafely(fileName,
                                             QByteArray::fromRawData(reinterpret_cast<const char*>(e.Bytes.data()),
                                                                     qsizetype(e.Bytes.size())));
                         } catch (const Exception& error) {
                             return TResult{LE_FILE_WRITE, fileName, error.Message()};
                         }
                         return TResult{};
                     }).share());
}

TPictureWriter::TResult TPictureWriter::Finish()
{
    TResult result;
    if (!m_jobs.empty()) {
        // The last write carries the first failure of the chain; a write that threw (no
        // memory for the file's buffers) counts as a failed write.
        try {
            result = m_jobs.back().get();
        } catch (...) {
            result = TResult{LE_FILE_WRITE, QString(), QString()};
        }
    }
    // Every write has ended once the last one has (each waits for the one before it).
    for (const std::shared_future<TResult>& job : m_jobs)
        job.wait();
    m_jobs.clear();
    for (const std::shared_ptr<TEncodeJob>& e : m_encodes)
        e->Result.wait();
    m_encodes.clear();
    return result;
}
