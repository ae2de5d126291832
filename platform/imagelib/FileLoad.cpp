// Loading: format sniffing, file information, page delivery to the load-row callback, feeds.
#include "platform/imagelib/FileIo.h"
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <new>
#include <vector>

namespace kvimg {

const Codec* FindCodec(const std::uint8_t* data, std::size_t size)
{
    static const Codec* const kCodecs[] = {&kJpegCodec, &kPngCodec, &kGifCodec, &kTiffCodec, &kBmpCodec};
    for (const Codec* c : kCodecs)
        if (c->sniff(data, size))
            return c;
    return nullptr;
}

namespace {

// A sink result that ends decoding after the one page a load without callback wants.
constexpr int kPageTaken = 2;
// Rows per band handed to a load-row callback.
constexpr std::int32_t kBandRows = 32;

// What a file holds: its codec (or raw pixels described by the load-info callback) and the
// information of the page asked for, upright.
struct Described {
    const Codec* codec = nullptr;
    bool raw = false;
    LLoadInfo rawInfo;
    LFileInfo info;
};

int Describe(const char* fileName, const std::uint8_t* data, std::size_t size, std::int32_t page, Described& d)
{
    d.codec = FindCodec(data, size);
    int rc;
    if (d.codec) {
        rc = d.codec->info(data, size, page, &d.info);
    } else if (AskLoadInfo(fileName, &d.rawInfo)) {
        d.raw = true;
        rc = RawInfo(d.rawInfo, size, &d.info);
    } else {
        return LE_FILE_FORMAT;
    }
    if (rc != LE_SUCCESS)
        return rc;
    LFileInfo& i = d.info;
    if (page >= i.TotalPages)
        return LE_PAGE_NOT_FOUND;
    if (L_IsViewSwapped(L_ViewPerspectiveFromOrientation(i.Orientation))) {
        std::swap(i.Width, i.Height);
        std::swap(i.XResolution, i.YResolution);
        std::swap(i.CanvasWidth, i.CanvasHeight);
    }
    i.PageNumber = page + 1;
    i.SizeDisk = std::int64_t(size);
    const int sizeCheck = CheckSize(i.Width, i.Height, i.BitsPerPixel);
    if (sizeCheck != LE_SUCCESS)
        return sizeCheck;
    i.BytesPerLine = L_BytesPerLine(i.Width, i.BitsPerPixel);
    return LE_SUCCESS;
}

class DeliverySink final : public PageSink {
public:
    DeliverySink(LBitmap* bitmap, std::int32_t bits, LLoadRowCallback callback, void* userData, LFileInfo& info,
                 Budget& budget)
        : bitmap_(bitmap), bits_(bits), callback_(callback), userData_(userData), info_(info), budget_(budget)
    {
    }

    int pages = 0;
    bool partial = false; // a page came from data that ended early

    int Page(DecodedPage& page, std::int32_t pageIndex) override
    {
        int rc = ReportStatus(100); // the page is decoded
        if (rc != LE_SUCCESS)
            return rc;
        if (page.validRows >= 0)
            partial = true;
        if (page.orientation != 1) {
            rc = ApplyOrientation(page.bitmap, page.orientation, &budget_);
            page.validRows = -1; // a turned partial page: every row exists, the damage is spread
        }
        if (rc == LE_SUCCESS)
            rc = ConvertDepth(page.bitmap, bits_, &budget_);
        if (rc != LE_SUCCESS)
            return rc;
        ++pages;
        LBitmap& b = page.bitmap;
        info_.PageNumber = pageIndex + 1;
        if (pages > 1) {
            info_.Width = b.Width;
            info_.Height = b.Height;
            info_.BitsPerPixel = b.BitsPerPixel;
            info_.BytesPerLine = b.BytesPerLine;
        }
        if (!callback_) {
            *bitmap_ = std::move(b);
            return kPageTaken;
        }
        // The callback may copy or free *bitmap_; `held` keeps the rows alive meanwhile.
        const LBitmap held = b;
        *bitmap_ = b;
        std::uint8_t* bits = FreshBits(const_cast<LBitmap&>(held));
        const bool complete = page.validRows < 0;
        const std::int32_t rows = complete ? held.Height : std::min(page.validRows, held.Height);
        for (std::int32_t row = 0; row < rows; row += kBandRows) {
            const std::int32_t n = std::min(kBandRows, rows - row);
            std::uint32_t flags = 0;
            if (row == 0)
                flags |= LRF_PAGE_FIRST | LRF_PASS_FIRST;
            if (complete && row + n == rows)
                flags |= LRF_PAGE_LAST | LRF_PASS_LAST;
            rc = CallbackResult(callback_(&info_, bitmap_, held.WriteRow(bits, row), flags, row, n, userData_));
            if (rc != LE_SUCCESS)
                return rc;
        }
        return LE_SUCCESS;
    }

private:
    LBitmap* bitmap_;
    std::int32_t bits_;
    LLoadRowCallback callback_;
    void* userData_;
    LFileInfo& info_;
    Budget& budget_;
};

int StatusProgress(void*, std::int32_t percent) { return ReportStatus(percent); }

int CheckLoadArguments(const LBitmap* bitmap, std::int32_t bits, std::int32_t order)
{
    if (!bitmap)
        return LE_NO_BITMAP;
    if (bits != 0 && bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return LE_INVALID_BITS;
    if (order != LORDER_BGR && order != LORDER_BGR_OR_GRAY)
        return LE_INVALID_PARAMETER;
    return LE_SUCCESS;
}

int RunLoad(const char* fileName, const std::uint8_t* data, std::size_t size, LBitmap* bitmap, std::int32_t bits,
            std::int32_t order, LLoadRowCallback callback, void* userData, const LLoadOptions* given,
            LFileInfo* infoOut, bool tolerant)
{
    if (const int rc = CheckLoadArguments(bitmap, bits, order); rc != LE_SUCCESS)
        return rc;
    LLoadOptions options = ResolveLoadOptions(given);
    TakeNextDecodeHint(options);
    const std::int32_t page = std::max(options.PageNumber, 1) - 1;
    Described d;
    int rc = Describe(fileName, data, size, page, d);
    if (rc == LE_SUCCESS) {
        if (infoOut)
            *infoOut = d.info;
        Budget budget;
        DecodeContext ctx;
        ctx.firstPage = page;
        ctx.tolerant = tolerant;
        ctx.budget = &budget;
        ctx.progress = StatusProgress;
        if (d.codec == &kJpegCodec) {
            ctx.minWidth = options.DecodeMinWidth;
            ctx.minHeight = options.DecodeMinHeight;
            if (!given)
                ConsumeDecodeHint();
        }
        DeliverySink sink(bitmap, bits, callback, userData, d.info, budget);
        try {
            rc = d.raw ? RawDecode(d.rawInfo, data, size, ctx, sink) : d.codec->decode(data, size, ctx, sink);
        } catch (const std::bad_alloc&) {
            rc = LE_NO_MEMORY;
        }
        if (rc == kPageTaken)
            rc = sink.partial ? LE_FILE_READ : LE_SUCCESS;
        else if (rc == LE_SUCCESS && sink.pages > 0)
            rc = LE_SUCCESS;
        else if (rc == LE_SUCCESS)
            rc = LE_FILE_READ; // the file announced a page but held none
    }
    if (rc != LE_SUCCESS && rc != LE_STOP_PAGES && !tolerant)
        L_FreeBitmap(bitmap);
    return rc;
}

} // namespace
} // namespace kvimg

using namespace kvimg;

int L_FileInfoMemory(const std::uint8_t* data, std::size_t size, LFileInfo* info, std::uint32_t,
                     const LLoadOptions* options)
{
    if (!info)
        return LE_INVALID_PARAMETER;
    const LLoadOptions o = ResolveLoadOptions(options);
    Described d;
    const int rc = Describe(nullptr, data, size, std::max(o.PageNumber, 1) - 1, d);
    if (rc == LE_SUCCESS)
        *info = d.info;
    return rc;
}

int L_FileInfo(const char* fileName, LFileInfo* info, std::uint32_t flags, const LLoadOptions* options)
{
    if (!info)
        return LE_INVALID_PARAMETER;
    std::vector<std::uint8_t> data;
    int rc = ReadWholeFile(fileName, data);
    if (rc != LE_SUCCESS)
        return rc;
    const LLoadOptions o = ResolveLoadOptions(options);
    Described d;
    rc = Describe(fileName, data.data(), data.size(), std::max(o.PageNumber, 1) - 1, d);
    if (rc == LE_SUCCESS)
        *info = d.info;
    return rc;
}

int L_LoadFile(const char* fileName, LBitmap* bitmap, std::int32_t bitsPerPixel, std::int32_t order,
               std::uint32_t, LLoadRowCallback callback, void* userData, const LLoadOptions* options,
               LFileInfo* info)
{
    std::vector<std::uint8_t> data;
    const int rc = ReadWholeFile(fileName, data);
    if (rc != LE_SUCCESS) {
        if (bitmap)
            L_FreeBitmap(bitmap);
        return rc;
    }
    return RunLoad(fileName, data.data(), data.size(), bitmap, bitsPerPixel, order, callback, userData, options,
                   info, false);
}

int L_LoadBitmapMemory(const std::uint8_t* data, std::size_t size, LBitmap* bitmap, std::int32_t bitsPerPixel,
                       std::int32_t order, const LLoadOptions* options, LFileInfo* info)
{
    if (!data && size > 0)
        return LE_INVALID_PARAMETER;
    return RunLoad(nullptr, data, size, bitmap, bitsPerPixel, order, nullptr, nullptr, options, info, false);
}

// ---- feed loads ------------------------------------------------------------------------------

struct LFeedLoad {
    LBitmap* bitmap = nullptr;
    std::int32_t bits = 0;
    std::int32_t order = LORDER_BGR;
    LLoadRowCallback callback = nullptr;
    void* userData = nullptr;
    LLoadOptions options;
    std::vector<std::uint8_t> data;
    int state = LE_SUCCESS; // a failure code once the data cannot be a picture
    bool recognised = false;
};

int L_StartFeedLoad(LBitmap* bitmap, std::int32_t bitsPerPixel, std::int32_t order, std::uint32_t,
                    LLoadRowCallback callback, void* userData, LFeedLoad** handle, const LLoadOptions* options)
{
    if (!handle)
        return LE_INVALID_PARAMETER;
    *handle = nullptr;
    if (const int rc = CheckLoadArguments(bitmap, bitsPerPixel, order); rc != LE_SUCCESS)
        return rc;
    auto* feed = new (std::nothrow) LFeedLoad;
    if (!feed)
        return LE_NO_MEMORY;
    feed->bitmap = bitmap;
    feed->bits = bitsPerPixel;
    feed->order = order;
    feed->callback = callback;
    feed->userData = userData;
    feed->options = ResolveLoadOptions(options);
    TakeNextDecodeHint(feed->options);
    if (!options)
        ConsumeDecodeHint();
    *handle = feed;
    return LE_SUCCESS;
}

int L_FeedLoad(LFeedLoad* handle, const std::uint8_t* data, std::size_t size)
{
    if (!handle)
        return LE_INVALID_PARAMETER;
    if (handle->state != LE_SUCCESS)
        return handle->state;
    if (!data && size > 0)
        return LE_INVALID_PARAMETER;
    if (handle->data.size() + size > MemoryLimit())
        return handle->state = LE_NO_MEMORY;
    try {
        handle->data.insert(handle->data.end(), data, data + size);
    } catch (const std::bad_alloc&) {
        return handle->state = LE_NO_MEMORY;
    }
    // Every signature the kernel knows (with the BMP header size) fits in the first 32 bytes.
    if (!handle->recognised && handle->data.size() >= 32) {
        LLoadInfo raw;
        if (!FindCodec(handle->data.data(), handle->data.size()) && !AskLoadInfo(nullptr, &raw))
            return handle->state = LE_FILE_FORMAT;
        handle->recognised = true;
    }
    return LE_SUCCESS;
}

int L_StopFeedLoad(LFeedLoad* handle)
{
    if (!handle)
        return LE_INVALID_PARAMETER;
    int rc = handle->state;
    if (rc == LE_SUCCESS)
        rc = RunLoad(nullptr, handle->data.data(), handle->data.size(), handle->bitmap, handle->bits, handle->order,
                     handle->callback, handle->userData, &handle->options, nullptr, true);
    delete handle;
    return rc;
}
