#pragma once
// Shared body of the picture fuzz targets: a decoder on its own (every page, strict and
// tolerant), then the data through the public loading calls and, for small pictures, through
// the writers and back.
#include "platform/imagelib/ImageInternal.h"

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace imagefuzz {

inline void Setup()
{
    static const bool done = [] {
        kvimg::SetMemoryLimit(std::size_t(4) << 20); // declared sizes beyond 4 MB fail fast
        kvimg::SetIgnoreChecksums(true);              // lets mutations past CRC and Adler-32
        return true;
    }();
    (void)done;
}

// Reads every byte of every page, so that a page with bad geometry shows up under ASan.
class TouchSink final : public kvimg::PageSink {
public:
    unsigned sum = 0;
    int Page(kvimg::DecodedPage& page, std::int32_t) override
    {
        const LBitmap& b = page.bitmap;
        if (!b.IsAllocated() || b.BytesPerLine != L_BytesPerLine(b.Width, b.BitsPerPixel))
            std::abort();
        for (std::int32_t y = 0; y < b.Height; ++y)
            sum += b.Row(y)[0] + b.Row(y)[b.BytesPerLine - 1];
        return LE_SUCCESS;
    }
};

inline void CheckPicture(const LBitmap& b)
{
    if (b.Width <= 0 || b.Height <= 0 || b.ViewPerspective != LVP_TOP_LEFT)
        std::abort();
    if (std::uint64_t(b.Width) * std::uint64_t(b.Height) > (1u << 16))
        return;
    // Small pictures go through every writer and must load back at the same size.
    for (std::int32_t format : {LFMT_BMP, LFMT_PNG, LFMT_JFIF}) {
        std::vector<std::uint8_t> out;
        const int rc = L_SaveBitmapMemory(&out, &b, format, 0, 20, nullptr);
        // JPEG holds at most 65500 pixels a side.
        if (rc == LE_INVALID_SIZE && format == LFMT_JFIF && std::max(b.Width, b.Height) > 65500)
            continue;
        if (rc != LE_SUCCESS)
            std::abort();
        LBitmap back;
        if (L_LoadBitmapMemory(out.data(), out.size(), &back, 0, LORDER_BGR, nullptr, nullptr) != LE_SUCCESS ||
            back.Width != b.Width || back.Height != b.Height)
            std::abort();
    }
}

inline int FuzzCodec(const kvimg::Codec& codec, const std::uint8_t* data, std::size_t size)
{
    Setup();
    static const std::uint8_t nothing = 0;
    if (!data)
        data = &nothing;
    LFileInfo info;
    codec.info(data, size, 0, &info);
    for (bool tolerant : {false, true}) {
        kvimg::Budget budget;
        kvimg::DecodeContext ctx;
        ctx.tolerant = tolerant;
        ctx.budget = &budget;
        ctx.minWidth = int(size % 7) * 3; // now and then a reduced JPEG decode
        TouchSink sink;
        codec.decode(data, size, ctx, sink);
    }
    LBitmap b;
    LFileInfo loaded;
    if (L_LoadBitmapMemory(data, size, &b, 0, LORDER_BGR, nullptr, &loaded) == LE_SUCCESS) {
        if (b.Width != loaded.Width || b.Height != loaded.Height)
            std::abort();
        CheckPicture(b);
    }
    return 0;
}

} // namespace imagefuzz
