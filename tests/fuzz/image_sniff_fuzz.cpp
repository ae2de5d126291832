// Format sniffing and the public loading calls on arbitrary data: file information, a load of
// every page through the load-row callback, and a feed load in pieces.
#include "ImageFuzz.h"

namespace {
int CountRows(LFileInfo*, LBitmap* bitmap, std::uint8_t* buffer, std::uint32_t, std::int32_t row, std::int32_t lines,
              void* user)
{
    if (!bitmap->IsAllocated() || row < 0 || lines <= 0 || row + lines > bitmap->Height ||
        buffer != bitmap->Bits() + std::ptrdiff_t(row) * bitmap->BytesPerLine)
        std::abort();
    *static_cast<std::int64_t*>(user) += lines;
    return 1;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    imagefuzz::Setup();
    static const std::uint8_t nothing = 0;
    if (!data)
        data = &nothing;
    kvimg::FindCodec(data, size);
    LFileInfo info;
    const int infoRc = L_FileInfoMemory(data, size, &info, 0, nullptr);
    LBitmap b;
    const int loadRc = L_LoadBitmapMemory(data, size, &b, 0, LORDER_BGR, nullptr, nullptr);
    if (loadRc == LE_SUCCESS && (infoRc != LE_SUCCESS || b.Width != info.Width || b.Height != info.Height))
        std::abort();
    if (loadRc != LE_SUCCESS && b.IsAllocated())
        std::abort();

    std::int64_t rows = 0;
    LFeedLoad* feed = nullptr;
    LBitmap fed;
    if (L_StartFeedLoad(&fed, 0, LORDER_BGR, 0, CountRows, &rows, &feed, nullptr) != LE_SUCCESS)
        std::abort();
    const std::size_t piece = 1 + (size > 0 ? data[0] % 61 : 0);
    for (std::size_t at = 0; at < size; at += piece)
        if (L_FeedLoad(feed, data + at, std::min(piece, size - at)) < 1)
            break;
    L_StopFeedLoad(feed);
    return 0;
}
