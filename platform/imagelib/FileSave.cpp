// Saving: format and depth checks, rows from the bitmap or the save-row callback, safe replace.
#include "platform/imagelib/FileIo.h"
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace kvimg {
namespace {

using EncodeFn = int (*)(const EncodeJob&, RowSource&, Writer&);

struct SavePlan {
    EncodeJob job;
    EncodeFn encode = nullptr;
    std::int32_t srcBits = 0;
};

bool IsGreyRamp(const LBitmap& b)
{
    const LRgbQuad* p = b.Palette();
    for (int i = 0; i < 256; ++i)
        if (p[i].Red != i || p[i].Green != i || p[i].Blue != i)
            return false;
    return true;
}

int Plan(const LBitmap& b, std::int32_t format, std::int32_t bits, std::int32_t qFactor,
         const LSaveOptions& options, SavePlan& plan)
{
    if (!b.IsAllocated())
        return LE_NO_BITMAP;
    const bool jpeg = format == LFMT_JFIF || format == LFMT_JPEG_422;
    if (jpeg)
        plan.encode = EncodeJpeg;
    else if (format == LFMT_BMP)
        plan.encode = EncodeBmp;
    else if (format == LFMT_PNG)
        plan.encode = EncodePng;
    else
        return LE_NOT_SUPPORTED;
    if (options.PageNumber > 1 || (options.Flags & (LSO_REPLACE_PAGE | LSO_INSERT_PAGE)))
        return LE_NOT_SUPPORTED; // these formats hold one page
    const std::int32_t src = b.BitsPerPixel;
    EncodeJob& job = plan.job;
    if (jpeg) {
        if (qFactor < 2 || qFactor > 255)
            return LE_INVALID_QFACTOR;
        if (bits == 0)
            bits = (src <= 8 && b.HasGreyPalette()) ? 8 : 24;
        if (bits != 8 && bits != 24)
            return LE_INVALID_BITS;
        job.grey = bits == 8;
        job.quality = L_JpegQualityOfQFactor(qFactor);
        job.subsample422 = format == LFMT_JPEG_422;
    } else {
        if (bits == 0)
            bits = src;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
            return LE_INVALID_BITS;
        if (bits < src)
            return LE_NOT_SUPPORTED; // no colour reduction
        if (bits <= 8) {
            job.paletteCount = 1 << bits;
            std::copy(b.Palette(), b.Palette() + b.PaletteSize(), job.palette);
        }
        job.grey = format == LFMT_PNG && bits == 8 && src == 8 && IsGreyRamp(b);
    }
    job.format = format;
    job.bits = bits;
    job.width = b.ViewWidth();
    job.height = b.ViewHeight();
    job.xResolution = b.IsViewSwapped() ? b.YResolution : b.XResolution;
    job.yResolution = b.IsViewSwapped() ? b.XResolution : b.YResolution;
    plan.srcBits = src;
    return LE_SUCCESS;
}

inline std::uint8_t Luma(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return std::uint8_t((r * 19595u + g * 38470u + b * 7471u + 32768u) >> 16);
}

// Rows of the picture as seen, from the bitmap or the save-row callback, converted to the
// encoder's layout; reports progress through the status callback.
class SaveRows final : public RowSource {
public:
    SaveRows(LBitmap& bitmap, const SavePlan& plan, LSaveRowCallback callback, void* userData)
        : b_(bitmap), plan_(plan), callback_(callback), userData_(userData)
    {
        srcLine_ = L_BytesPerLine(plan.job.width, plan.srcBits);
        outLine_ = L_BytesPerLine(plan.job.width, plan.job.bits);
        direct_ = !callback_ && b_.ViewPerspective == LVP_TOP_LEFT;
        // JPEG grey rows are grey values; PNG grey rows are the indices of a grey ramp as they stand.
        const bool jpegGrey = plan.job.grey && plan.job.format != LFMT_PNG;
        convert_ = plan.job.bits != plan.srcBits || jpegGrey;
    }

    int Next(std::int32_t count, const std::uint8_t** rows) override
    {
        count = std::min(count, plan_.job.height - y_);
        if (count <= 0)
            return LE_FILE_READ;
        const std::uint8_t* srcRows[256];
        count = std::min<std::int32_t>(count, 256);
        if (direct_) {
            for (std::int32_t i = 0; i < count; ++i)
                srcRows[i] = b_.Row(y_ + i);
        } else {
            band_.resize(std::size_t(srcLine_) * std::size_t(count));
            if (callback_) {
                const int rc = CallbackResult(callback_(&b_, band_.data(), y_, count, userData_));
                if (rc != LE_SUCCESS)
                    return rc;
            } else {
                for (std::int32_t i = 0; i < count; ++i)
                    if (L_GetBitmapRow(&b_, band_.data() + std::size_t(i) * srcLine_, y_ + i, std::uint32_t(srcLine_)) !=
                        srcLine_)
                        return LE_FILE_READ;
            }
            for (std::int32_t i = 0; i < count; ++i)
                srcRows[i] = band_.data() + std::size_t(i) * srcLine_;
        }
        if (convert_) {
            conv_.resize(std::size_t(outLine_) * std::size_t(count));
            for (std::int32_t i = 0; i < count; ++i) {
                std::uint8_t* out = conv_.data() + std::size_t(i) * outLine_;
                Convert(srcRows[i], out);
                rows[i] = out;
            }
        } else {
            std::copy(srcRows, srcRows + count, rows);
        }
        y_ += count;
        return ReportStatus(std::int32_t(std::int64_t(y_) * 100 / plan_.job.height));
    }

private:
    void Convert(const std::uint8_t* src, std::uint8_t* out) const
    {
        const std::int32_t w = plan_.job.width;
        const LRgbQuad* pal = b_.Palette();
        if (plan_.job.bits == 24) {
            ExpandRowToBgr(src, plan_.srcBits, pal, w, out);
        } else if (plan_.job.grey) {
            for (std::int32_t x = 0; x < w; ++x) {
                if (plan_.srcBits == 24) {
                    out[x] = Luma(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                } else {
                    const LRgbQuad& q = pal[PixelIndex(src, x, plan_.srcBits)];
                    out[x] = Luma(q.Red, q.Green, q.Blue);
                }
            }
        } else {
            std::memset(out, 0, std::size_t(outLine_));
            RepackIndices(src, plan_.srcBits, w, out, plan_.job.bits);
        }
    }

    LBitmap& b_;
    const SavePlan& plan_;
    LSaveRowCallback callback_;
    void* userData_;
    std::int32_t srcLine_ = 0, outLine_ = 0, y_ = 0;
    bool direct_ = false, convert_ = false;
    std::vector<std::uint8_t> band_, conv_;
};

int RunSave(const char* fileName, std::vector<std::uint8_t>* memory, LBitmap* bitmap, std::int32_t format,
            std::int32_t bits, std::int32_t qFactor, LSaveRowCallback callback, void* userData,
            const LSaveOptions* given)
{
    if (!bitmap)
        return LE_NO_BITMAP;
    const LSaveOptions options = ResolveSaveOptions(given);
    SavePlan plan;
    int rc = Plan(*bitmap, format, bits, qFactor, options, plan);
    if (rc != LE_SUCCESS)
        return rc;
    try {
        SaveRows rows(*bitmap, plan, callback, userData);
        if (memory) {
            std::vector<std::uint8_t> out;
            MemoryWriter writer(out);
            rc = plan.encode(plan.job, rows, writer);
            if (rc == LE_SUCCESS)
                memory->swap(out);
            return rc;
        }
        SafeFileWriter writer;
        rc = writer.Open(fileName);
        if (rc == LE_SUCCESS)
            rc = plan.encode(plan.job, rows, writer);
        if (rc == LE_SUCCESS)
            rc = writer.Commit();
        return rc;
    } catch (const std::bad_alloc&) {
        return LE_NO_MEMORY;
    }
}

} // namespace
} // namespace kvimg

int L_SaveFile(const char* fileName, LBitmap* bitmap, std::int32_t format, std::int32_t bitsPerPixel,
               std::int32_t qFactor, std::uint32_t, LSaveRowCallback callback, void* userData,
               const LSaveOptions* options)
{
    if (!fileName || !*fileName)
        return LE_INVALID_FILENAME;
    if (kvimg::IsPagedFormat(format)) {
        if (!bitmap || !bitmap->IsAllocated())
            return LE_NO_BITMAP;
        LBitmap page = *bitmap;
        if (callback) {
            const int rc = kvimg::CollectSaveRows(*bitmap, callback, userData, page);
            if (rc != LE_SUCCESS)
                return rc;
        }
        const int rc = kvimg::SavePagedFormat(fileName, {page}, format, bitsPerPixel, kvimg::ResolveSaveOptions(options));
        L_FreeBitmap(&page);
        return rc;
    }
    return kvimg::RunSave(fileName, nullptr, bitmap, format, bitsPerPixel, qFactor, callback, userData, options);
}

int L_SaveBitmap(const char* fileName, const LBitmap* bitmap, std::int32_t format, std::int32_t bitsPerPixel,
                 std::int32_t qFactor, const LSaveOptions* options)
{
    if (!fileName || !*fileName)
        return LE_INVALID_FILENAME;
    if (!bitmap)
        return LE_NO_BITMAP;
    if (kvimg::IsPagedFormat(format))
        return kvimg::SavePagedFormat(fileName, {*bitmap}, format, bitsPerPixel, kvimg::ResolveSaveOptions(options));
    LBitmap copy = *bitmap; // shares the pixels; the save only reads them
    return kvimg::RunSave(fileName, nullptr, &copy, format, bitsPerPixel, qFactor, nullptr, nullptr, options);
}

int L_SaveBitmapMemory(std::vector<std::uint8_t>* memory, const LBitmap* bitmap, std::int32_t format,
                       std::int32_t bitsPerPixel, std::int32_t qFactor, const LSaveOptions* options)
{
    if (!memory)
        return LE_INVALID_PARAMETER;
    if (!bitmap)
        return LE_NO_BITMAP;
    LBitmap copy = *bitmap;
    return kvimg::RunSave(nullptr, memory, &copy, format, bitsPerPixel, qFactor, nullptr, nullptr, options);
}

int L_SaveBitmapList(const char* fileName, const LBitmapList* list, std::int32_t format, std::int32_t bitsPerPixel,
                     std::int32_t qFactor, const LSaveOptions* options)
{
    if (!list)
        return LE_INVALID_PARAMETER;
    if (!kvimg::IsPagedFormat(format) && format != LFMT_JFIF && format != LFMT_JPEG_422 && format != LFMT_BMP &&
        format != LFMT_PNG)
        return LE_NOT_SUPPORTED;
    std::uint32_t count = 0;
    L_GetBitmapListCount(list, &count);
    if (count == 0)
        return LE_NO_BITMAP;
    if (!fileName || !*fileName)
        return LE_INVALID_FILENAME;
    if (kvimg::IsPagedFormat(format)) {
        std::vector<LBitmap> pages(count);
        for (std::uint32_t i = 0; i < count; ++i)
            L_GetBitmapListItem(list, std::int32_t(i), &pages[i]);
        return kvimg::SavePagedFormat(fileName, pages, format, bitsPerPixel, kvimg::ResolveSaveOptions(options));
    }
    if (count > 1)
        return LE_NOT_SUPPORTED;
    LBitmap page;
    L_GetBitmapListItem(list, 0, &page);
    return L_SaveBitmap(fileName, &page, format, bitsPerPixel, qFactor, options);
}
