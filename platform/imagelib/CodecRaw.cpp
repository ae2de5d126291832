// Raw pixels described by the load-info callback: rows top-down, padded to 4 bytes, from an
// offset on; 1, 4 or 8 bits grey or 24 bits B, G, R.
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <cstring>

namespace kvimg {

namespace {
bool ValidRaw(const LLoadInfo& raw)
{
    const bool depth = raw.BitsPerPixel == 1 || raw.BitsPerPixel == 4 || raw.BitsPerPixel == 8 || raw.BitsPerPixel == 24;
    return depth && raw.Width > 0 && raw.Height > 0 && raw.Offset >= 0;
}
} // namespace

int RawInfo(const LLoadInfo& raw, std::size_t, LFileInfo* info)
{
    if (!ValidRaw(raw))
        return LE_INVALID_PARAMETER;
    *info = LFileInfo{};
    info->Format = raw.Format;
    info->Width = info->CanvasWidth = raw.Width;
    info->Height = info->CanvasHeight = raw.Height;
    info->BitsPerPixel = raw.BitsPerPixel;
    info->TotalPages = 1;
    if (raw.XResolution > 0 && raw.YResolution > 0) {
        info->XResolution = raw.XResolution;
        info->YResolution = raw.YResolution;
    }
    info->Compression = "Raw";
    return LE_SUCCESS;
}

int RawDecode(const LLoadInfo& raw, const std::uint8_t* data, std::size_t size, const DecodeContext& ctx,
              PageSink& sink)
{
    if (!ValidRaw(raw))
        return LE_INVALID_PARAMETER;
    if (ctx.firstPage > 0)
        return LE_PAGE_NOT_FOUND;
    DecodedPage page;
    LBitmap& b = page.bitmap;
    int rc = AllocatePixels(b, raw.Width, raw.Height, raw.BitsPerPixel, true, ctx.budget);
    if (rc != LE_SUCCESS)
        return rc;
    if (raw.XResolution > 0 && raw.YResolution > 0) {
        b.XResolution = raw.XResolution;
        b.YResolution = raw.YResolution;
    }
    const std::size_t line = std::size_t(b.BytesPerLine);
    const std::size_t offset = std::size_t(raw.Offset);
    const std::size_t available = offset < size ? (size - offset) / line : 0;
    const std::int32_t rows = std::int32_t(std::min<std::size_t>(available, std::size_t(b.Height)));
    std::uint8_t* bits = FreshBits(b);
    for (std::int32_t y = 0; y < rows; ++y)
        std::memcpy(b.WriteRow(bits, y), data + offset + std::size_t(y) * line, line);
    const bool complete = rows == b.Height;
    if (!complete && !ctx.tolerant)
        return LE_FILE_READ;
    if (!complete)
        page.validRows = rows;
    rc = sink.Page(page, 0);
    if (rc != LE_SUCCESS)
        return rc;
    return complete ? LE_SUCCESS : LE_FILE_READ;
}

} // namespace kvimg
