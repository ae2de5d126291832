// BMP, our own reader and writer.
//
// Reads Windows headers (40, 52, 56, 108, 124 bytes), OS/2 1.x (12) and 2.x (16 to 64) headers;
// 1, 4 and 8 bits with a palette, 16 and 32 bits with or without bit fields, 24 bits; RLE8 and
// RLE4; bottom-up and top-down rows. 16- and 32-bit pictures load as 24 bits. Every read is
// checked against the size of the data. Writes 1, 4, 8 and 24 bits, uncompressed, bottom-up.
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <vector>

namespace kvimg {
namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;

std::uint32_t U16(const std::uint8_t* p) { return std::uint32_t(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) { return U16(p) | (U16(p + 2) << 16); }

struct BmpHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0, height = 0;
    bool topDown = false;
    std::uint32_t bits = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t masks[3] = {};
    std::int32_t xres = 96, yres = 96;
    bool os2v1 = false, os2v2 = false;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntry = 4;
    std::uint32_t paletteCount = 0;
    std::size_t dataOffset = 0;
};

bool WindowsHeader(std::uint32_t hs) { return hs == 40 || hs == 52 || hs == 56 || hs == 108 || hs == 124; }
bool Os2v2Header(std::uint32_t hs) { return hs >= 16 && hs <= 64 && !WindowsHeader(hs); }

bool SniffBmp(const std::uint8_t* data, std::size_t size)
{
    if (size < 18 || data[0] != 'B' || data[1] != 'M')
        return false;
    const std::uint32_t hs = U32(data + 14);
    return hs == 12 || WindowsHeader(hs) || Os2v2Header(hs);
}

std::int32_t PpmToDpi(std::int32_t ppm) { return ppm > 0 && ppm < 4000000 ? std::max(1, (ppm * 254 + 5000) / 10000) : 96; }

int ParseBmp(const std::uint8_t* data, std::size_t size, BmpHeader& h)
{
    if (!SniffBmp(data, size))
        return LE_FILE_FORMAT;
    h.headerSize = U32(data + 14);
    const std::uint32_t offBits = U32(data + 10);
    if (size < 14 + std::min<std::uint32_t>(h.headerSize, 40))
        return LE_FILE_READ;
    const std::uint8_t* ih = data + 14;
    std::int64_t height;
    if (h.headerSize == 12) {
        h.os2v1 = true;
        h.width = std::int32_t(U16(ih + 4));
        height = std::int32_t(U16(ih + 6));
        h.bits = U16(ih + 10);
        h.paletteEntry = 3;
    } else {
        h.os2v2 = Os2v2Header(h.headerSize);
        h.width = std::int32_t(U32(ih + 4));
        height = std::int32_t(U32(ih + 8));
        h.bits = U16(ih + 14);
        auto field = [&](std::uint32_t at) { return h.headerSize >= at + 4 ? U32(ih + at) : 0u; };
        h.compression = field(16);
        h.xres = PpmToDpi(std::int32_t(field(24)));
        h.yres = PpmToDpi(std::int32_t(field(28)));
        h.paletteCount = field(32);
    }
    if (h.width <= 0 || height == 0 || height == INT_MIN)
        return LE_INVALID_SIZE;
    h.topDown = height < 0;
    h.height = std::int32_t(height < 0 ? -height : height);
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return LE_SUBTYPE_NOT_SUPPORTED;
    std::size_t maskBytes = 0;
    if (h.os2v2 && h.compression != kRgb && h.compression != kRle8 && h.compression != kRle4)
        return LE_UNKNOWN_COMPRESSION; // OS/2 Huffman 1D and RLE24
    switch (h.compression) {
    case kRgb: break;
    case kRle8:
        if (h.bits != 8)
            return LE_FILE_FORMAT;
        break;
    case kRle4:
        if (h.bits != 4)
            return LE_FILE_FORMAT;
        break;
    case kBitfields:
    case kAlphaBitfields:
        if (h.bits != 16 && h.bits != 32)
            return LE_FILE_FORMAT;
        // Masks follow a 40-byte header, or lie inside the larger ones at the same place.
        if (size < 14 + 40 + 12)
            return LE_FILE_READ;
        for (int i = 0; i < 3; ++i)
            h.masks[i] = U32(data + 14 + 40 + 4 * i);
        if (h.headerSize == 40)
            maskBytes = h.compression == kAlphaBitfields ? 16 : 12;
        break;
    default: return LE_UNKNOWN_COMPRESSION;
    }
    if (h.compression == kRgb && (h.bits == 16 || h.bits == 32)) {
        h.masks[0] = h.bits == 16 ? 0x7c00 : 0xff0000;
        h.masks[1] = h.bits == 16 ? 0x03e0 : 0x00ff00;
        h.masks[2] = h.bits == 16 ? 0x001f : 0x0000ff;
    }
    h.paletteOffset = 14 + std::size_t(h.headerSize) + maskBytes;
    if (h.bits <= 8) {
        const std::uint32_t full = 1u << h.bits;
        h.paletteCount = (h.paletteCount == 0 || h.paletteCount > full) ? full : h.paletteCount;
    } else {
        h.paletteCount = 0;
    }
    h.dataOffset = offBits != 0 ? offBits : h.paletteOffset + h.paletteCount * h.paletteEntry;
    if (h.dataOffset >= size)
        return LE_FILE_READ;
    return LE_SUCCESS;
}

int InfoBmp(const std::uint8_t* data, std::size_t size, std::int32_t, LFileInfo* info)
{
    BmpHeader h;
    const int rc = ParseBmp(data, size, h);
    if (rc != LE_SUCCESS)
        return rc;
    *info = LFileInfo{};
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    info->Format = h.os2v1 ? LFMT_OS2 : (h.os2v2 ? LFMT_OS2_2 : (rle ? LFMT_BMP_RLE : LFMT_BMP));
    info->Width = info->CanvasWidth = h.width;
    info->Height = info->CanvasHeight = h.height;
    info->BitsPerPixel = h.bits <= 8 ? std::int32_t(h.bits) : 24;
    info->TotalPages = 1;
    info->XResolution = h.xres;
    info->YResolution = h.yres;
    info->Compression = h.compression == kRle8 ? "RLE8"
                        : h.compression == kRle4 ? "RLE4"
                        : (h.compression == kBitfields || h.compression == kAlphaBitfields) ? "Bitfields"
                                                                                             : "Uncompressed";
    return LE_SUCCESS;
}

// One channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0, width = 0;
    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (m) {
            shift = std::countr_zero(m);
            width = std::popcount(m >> shift);
        }
    }
    std::uint8_t Get(std::uint32_t px) const
    {
        if (!mask)
            return 0;
        const std::uint32_t v = (px & mask) >> shift;
        if (width >= 8)
            return std::uint8_t(v >> (width - 8));
        return std::uint8_t(v * 255 / ((1u << width) - 1));
    }
};

void ConvertRow(const BmpHeader& h, const std::uint8_t* src, std::uint8_t* dst, std::size_t rowBytes)
{
    if (h.bits <= 8) {
        std::memcpy(dst, src, std::min<std::size_t>(rowBytes, (std::size_t(h.width) * h.bits + 7) / 8));
        return;
    }
    if (h.bits == 24) {
        std::memcpy(dst, src, std::size_t(h.width) * 3);
        return;
    }
    const Channel r(h.masks[0]), g(h.masks[1]), b(h.masks[2]);
    for (std::int32_t x = 0; x < h.width; ++x, dst += 3) {
        const std::uint32_t px = h.bits == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
        dst[0] = b.Get(px);
        dst[1] = g.Get(px);
        dst[2] = r.Get(px);
    }
}

// Decodes RLE8/RLE4 data into b (file rows run bottom-up unless top-down). Returns true when the
// data held the whole picture (an end-of-bitmap code, or the last row reached).
bool DecodeRle(const BmpHeader& h, const std::uint8_t* data, std::size_t size, LBitmap& b)
{
    std::uint8_t* bits = FreshBits(b);
    const bool rle4 = h.compression == kRle4;
    std::size_t pos = h.dataOffset;
    std::int64_t x = 0, y = 0;
    auto put = [&](std::uint8_t v) {
        if (x < h.width && y < h.height)
            SetPixelIndex(b.WriteRow(bits, std::int32_t(h.topDown ? y : h.height - 1 - y)), std::int32_t(x), h.bits, v);
        ++x;
    };
    while (pos + 2 <= size) {
        const std::uint8_t n = data[pos], c = data[pos + 1];
        pos += 2;
        if (n > 0) {
            for (int i = 0; i < n; ++i)
                put(rle4 ? ((i & 1) ? (c & 0x0f) : (c >> 4)) : c);
            continue;
        }
        if (c == 0) {
            x = 0;
            ++y;
        } else if (c == 1) {
            return true;
        } else if (c == 2) {
            if (pos + 2 > size)
                return false;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else {
            const std::size_t bytes = rle4 ? (c + 1u) / 2 : c;
            if (pos + bytes > size)
                return false;
            for (int i = 0; i < c; ++i)
                put(rle4 ? ((i & 1) ? (data[pos + i / 2] & 0x0f) : (data[pos + i / 2] >> 4)) : data[pos + i]);
            pos += bytes + (bytes & 1);
        }
        if (y >= h.height)
            return true;
    }
    // Some writers end with the last row and neither end-of-line nor end-of-bitmap.
    return y >= h.height || (y == h.height - 1 && x >= h.width);
}

int DecodeBmp(const std::uint8_t* data, std::size_t size, const DecodeContext& ctx, PageSink& sink)
{
    if (ctx.firstPage > 0)
        return LE_PAGE_NOT_FOUND;
    BmpHeader h;
    int rc = ParseBmp(data, size, h);
    if (rc != LE_SUCCESS)
        return rc;
    DecodedPage page;
    LBitmap& b = page.bitmap;
    const std::int32_t bits = h.bits <= 8 ? std::int32_t(h.bits) : 24;
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    rc = AllocatePixels(b, h.width, h.height, bits, rle || bits < 8, ctx.budget);
    if (rc != LE_SUCCESS)
        return rc;
    b.XResolution = h.xres;
    b.YResolution = h.yres;
    if (bits <= 8) {
        LRgbQuad* pal = FreshPalette(b);
        std::fill(pal, pal + 256, LRgbQuad{});
        for (std::uint32_t i = 0; i < h.paletteCount; ++i) {
            const std::size_t at = h.paletteOffset + i * h.paletteEntry;
            if (at + h.paletteEntry > size)
                break;
            pal[i] = LRgbQuad{data[at], data[at + 1], data[at + 2], 0};
        }
    }
    std::uint8_t* out = FreshBits(b);
    bool complete;
    std::int32_t validRows = -1;
    if (rle) {
        complete = DecodeRle(h, data, size, b);
    } else {
        const std::uint64_t rowBytes = ((std::uint64_t(h.width) * h.bits + 31) / 32) * 4;
        const std::uint64_t available = (size - h.dataOffset) / rowBytes;
        const std::int32_t rows = std::int32_t(std::min<std::uint64_t>(available, std::uint64_t(h.height)));
        complete = rows == h.height;
        std::int32_t next = 0;
        for (std::int32_t r = 0; r < rows; ++r) {
            const std::int32_t y = h.topDown ? r : h.height - 1 - r;
            ConvertRow(h, data + h.dataOffset + std::size_t(r) * rowBytes, b.WriteRow(out, y), std::size_t(rowBytes));
            if (r >= next) {
                rc = ctx.Progress(r, rows);
                if (rc != LE_SUCCESS)
                    return rc;
                next = r + std::max(1, rows / 20);
            }
        }
        if (!complete) {
            // Rows that never came are white (bottom-up files lose their top rows).
            for (std::int32_t r = rows; r < h.height; ++r)
                std::memset(b.WriteRow(out, h.topDown ? r : h.height - 1 - r), 0xff, std::size_t(b.BytesPerLine));
            if (h.topDown)
                validRows = rows;
        }
    }
    if (!complete && !ctx.tolerant)
        return LE_FILE_READ;
    page.validRows = complete ? -1 : validRows;
    rc = sink.Page(page, 0);
    if (rc != LE_SUCCESS)
        return rc;
    return complete ? LE_SUCCESS : LE_FILE_READ;
}

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v & 0xffff);
    Put16(p + 2, v >> 16);
}

} // namespace

int EncodeBmp(const EncodeJob& job, RowSource& rows, Writer& out)
{
    const std::uint64_t rowBytes = ((std::uint64_t(job.width) * job.bits + 31) / 32) * 4;
    const std::uint32_t paletteCount = job.bits <= 8 ? (1u << job.bits) : 0;
    const std::uint64_t dataOffset = 14 + 40 + 4ull * paletteCount;
    const std::uint64_t fileSize = dataOffset + rowBytes * std::uint64_t(job.height);
    if (fileSize > 0xffffffffull)
        return LE_INVALID_SIZE;
    std::vector<std::uint8_t> head(std::size_t(dataOffset), 0);
    std::uint8_t* p = head.data();
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, std::uint32_t(fileSize));
    Put32(p + 10, std::uint32_t(dataOffset));
    Put32(p + 14, 40);
    Put32(p + 18, std::uint32_t(job.width));
    Put32(p + 22, std::uint32_t(job.height));
    Put16(p + 26, 1);
    Put16(p + 28, std::uint32_t(job.bits));
    Put32(p + 30, kRgb);
    Put32(p + 34, std::uint32_t(rowBytes * std::uint64_t(job.height)));
    Put32(p + 38, std::uint32_t(std::max(1, job.xResolution) * 10000ull / 254));
    Put32(p + 42, std::uint32_t(std::max(1, job.yResolution) * 10000ull / 254));
    Put32(p + 46, paletteCount);
    for (std::uint32_t i = 0; i < paletteCount; ++i) {
        std::uint8_t* q = p + 54 + 4 * i;
        q[0] = job.palette[i].Blue;
        q[1] = job.palette[i].Green;
        q[2] = job.palette[i].Red;
    }
    if (!out.Write(head.data(), head.size()))
        return LE_FILE_WRITE;
    for (std::int32_t y = 0; y < job.height;) {
        const std::int32_t n = std::min(job.rowsPerBatch, job.height - y);
        const std::uint8_t* src[256];
        const int rc = rows.Next(n, src);
        if (rc != LE_SUCCESS)
            return rc;
        for (std::int32_t i = 0; i < n; ++i) {
            const std::uint64_t at = dataOffset + std::uint64_t(job.height - 1 - (y + i)) * rowBytes;
            if (!out.WriteAt(at, src[i], std::size_t(rowBytes)))
                return LE_FILE_WRITE;
        }
        y += n;
    }
    return LE_SUCCESS;
}

const Codec kBmpCodec{"bmp", SniffBmp, InfoBmp, DecodeBmp};

} // namespace kvimg
