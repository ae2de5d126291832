// TIFF through libtiff, read from memory. Every directory is a page.
//
// Palette and grey pages of 1, 2, 4 or 8 bits in strips are read row by row and keep their
// depth (2 bits become 4); everything else (RGB, CMYK, YCbCr, 16 bits, tiles, planar data) goes
// through libtiff's RGBA interface, reduced to 8 bits per sample, alpha flattened on white,
// grey pages as 8-bit grey. libtiff's messages are silenced.
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <mutex>
#include <vector>

#include <tiffio.h>

namespace kvimg {
namespace {

struct TiffInput {
    const std::uint8_t* data;
    std::size_t size;
    std::uint64_t pos;
    bool error;
};

tmsize_t OnRead(thandle_t h, void* buf, tmsize_t n)
{
    auto* in = static_cast<TiffInput*>(h);
    if (n <= 0 || in->pos >= in->size)
        return 0;
    const std::size_t take = std::min<std::uint64_t>(std::uint64_t(n), in->size - in->pos);
    std::memcpy(buf, in->data + in->pos, take);
    in->pos += take;
    return tmsize_t(take);
}

tmsize_t OnWrite(thandle_t, void*, tmsize_t) { return 0; }

toff_t OnSeek(thandle_t h, toff_t off, int whence)
{
    auto* in = static_cast<TiffInput*>(h);
    std::uint64_t base = whence == SEEK_CUR ? in->pos : (whence == SEEK_END ? in->size : 0);
    const std::uint64_t target = base + off;
    if (target < base && whence != SEEK_SET)
        return toff_t(-1);
    in->pos = whence == SEEK_SET ? off : target;
    return in->pos;
}

int OnClose(thandle_t) { return 0; }
toff_t OnSize(thandle_t h) { return static_cast<TiffInput*>(h)->size; }

int OnMap(thandle_t h, void** base, toff_t* size)
{
    auto* in = static_cast<TiffInput*>(h);
    *base = const_cast<std::uint8_t*>(in->data);
    *size = in->size;
    return 1;
}

void OnUnmap(thandle_t, void*, toff_t) {}

int OnMessage(TIFF*, void* user, const char*, const char*, va_list)
{
    if (user)
        static_cast<TiffInput*>(user)->error = true;
    return 1; // handled: nothing reaches the global handlers
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffHolder {
    TiffInput in;
    TIFF* tif = nullptr;
    TiffHolder(const std::uint8_t* data, std::size_t size) : in{data, size, 0, false}
    {
        static std::once_flag quiet;
        std::call_once(quiet, [] {
            // Messages without a file (before one is open) would go to stderr otherwise.
            TIFFSetErrorHandler(nullptr);
            TIFFSetWarningHandler(nullptr);
        });
        TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
        if (!opts)
            return;
        TIFFOpenOptionsSetMaxSingleMemAlloc(opts, tmsize_t(std::min<std::size_t>(MemoryLimit(), 0x7fffffffffff)));
        TIFFOpenOptionsSetErrorHandlerExtR(opts, OnMessage, &in);
        TIFFOpenOptionsSetWarningHandlerExtR(opts, OnWarning, nullptr);
        tif = TIFFClientOpenExt("memory", "r", &in, OnRead, OnWrite, OnSeek, OnClose, OnSize, OnMap, OnUnmap, opts);
        TIFFOpenOptionsFree(opts);
    }
    ~TiffHolder()
    {
        if (tif)
            TIFFClose(tif);
    }
};

struct TiffPage {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bps = 1, spp = 1, photometric = PHOTOMETRIC_MINISBLACK, compression = COMPRESSION_NONE;
    std::uint16_t planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
    std::uint32_t group3 = 0;
    bool tiled = false;
    std::int32_t xres = 96, yres = 96;

    // Read row by row into a palette bitmap.
    bool Native() const
    {
        return spp == 1 && !tiled && (bps == 1 || bps == 2 || bps == 4 || bps == 8) &&
               (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK ||
                photometric == PHOTOMETRIC_PALETTE);
    }
    bool Grey() const
    {
        return spp == 1 && (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK);
    }
    std::int32_t Bits() const
    {
        if (Native())
            return bps == 2 ? 4 : bps;
        return Grey() ? 8 : 24;
    }
};

TiffPage ReadPage(TIFF* tif)
{
    TiffPage p;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &p.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &p.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &p.bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &p.spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &p.compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &p.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &p.orientation);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &p.photometric))
        p.photometric = p.spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    if (p.compression == COMPRESSION_CCITTFAX3)
        TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &p.group3);
    p.tiled = TIFFIsTiled(tif) != 0;
    float xr = 0, yr = 0;
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xr) && TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yr) && xr > 0 &&
        yr > 0 && xr < 1e6f && yr < 1e6f && unit != RESUNIT_NONE) {
        const float f = unit == RESUNIT_CENTIMETER ? 2.54f : 1.0f;
        p.xres = std::max(1, int(xr * f + 0.5f));
        p.yres = std::max(1, int(yr * f + 0.5f));
    }
    return p;
}

std::int32_t FormatOf(const TiffPage& p)
{
    const bool cmyk = p.photometric == PHOTOMETRIC_SEPARATED;
    const bool ycc = p.photometric == PHOTOMETRIC_YCBCR;
    switch (p.compression) {
    case COMPRESSION_NONE: return cmyk ? LFMT_TIF_CMYK : (ycc ? LFMT_TIF_YCC : LFMT_TIF);
    case COMPRESSION_LZW: return cmyk ? LFMT_TIF_CMYK_LZW : (ycc ? LFMT_TIF_YCC_LZW : LFMT_TIF_LZW);
    case COMPRESSION_PACKBITS: return cmyk ? LFMT_TIF_CMYK_PACKBITS : (ycc ? LFMT_TIF_YCC_PACKBITS : LFMT_TIF_PACKBITS);
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW: return LFMT_TIF_CCITT;
    case COMPRESSION_CCITTFAX3: return (p.group3 & GROUP3OPT_2DENCODING) ? LFMT_CCITT_G3_2D : LFMT_CCITT_G3_1D;
    case COMPRESSION_CCITTFAX4: return LFMT_CCITT_G4;
    case COMPRESSION_JPEG:
    case COMPRESSION_OJPEG: return LFMT_JTIF;
    default: return LFMT_TIF;
    }
}

std::string CompressionText(const TiffPage& p)
{
    switch (p.compression) {
    case COMPRESSION_NONE: return "Uncompressed";
    case COMPRESSION_LZW: return "LZW";
    case COMPRESSION_PACKBITS: return "PackBits";
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW: return "CCITT RLE";
    case COMPRESSION_CCITTFAX3: return (p.group3 & GROUP3OPT_2DENCODING) ? "CCITT G3 2D" : "CCITT G3 1D";
    case COMPRESSION_CCITTFAX4: return "CCITT G4";
    case COMPRESSION_JPEG:
    case COMPRESSION_OJPEG: return "JPEG";
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE: return "Deflate";
    default: return "Compression " + std::to_string(p.compression);
    }
}

bool SniffTiff(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return false;
    return (data[0] == 'I' && data[1] == 'I' && (data[2] == 42 || data[2] == 43) && data[3] == 0) ||
           (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && (data[3] == 42 || data[3] == 43));
}

int InfoTiff(const std::uint8_t* data, std::size_t size, std::int32_t page, LFileInfo* info)
{
    TiffHolder h(data, size);
    if (!h.tif)
        return h.in.error ? LE_FILE_READ : LE_FILE_FORMAT;
    const std::int32_t count = std::int32_t(TIFFNumberOfDirectories(h.tif));
    if (page > 0 && page < count && !TIFFSetDirectory(h.tif, tdir_t(page)))
        return LE_FILE_READ;
    const TiffPage p = ReadPage(h.tif);
    *info = LFileInfo{};
    info->Format = FormatOf(p);
    info->Width = info->CanvasWidth = std::int32_t(std::min<std::uint32_t>(p.width, 0x7fffffff));
    info->Height = info->CanvasHeight = std::int32_t(std::min<std::uint32_t>(p.height, 0x7fffffff));
    info->BitsPerPixel = p.Bits();
    info->TotalPages = std::max(count, 1);
    info->Orientation = (p.orientation >= 1 && p.orientation <= 8) ? p.orientation : 1;
    info->XResolution = p.xres;
    info->YResolution = p.yres;
    info->Compression = CompressionText(p);
    return LE_SUCCESS;
}

void NativePalette(TIFF* tif, const TiffPage& p, LRgbQuad* pal)
{
    const int n = 1 << p.bps;
    std::fill(pal, pal + 256, LRgbQuad{});
    std::uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (p.photometric == PHOTOMETRIC_PALETTE && TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) && r && g && b) {
        // Colour maps hold 16-bit values; some writers put 8-bit ones there.
        const bool eightBit = std::all_of(r, r + n, [](std::uint16_t v) { return v < 256; }) &&
                              std::all_of(g, g + n, [](std::uint16_t v) { return v < 256; }) &&
                              std::all_of(b, b + n, [](std::uint16_t v) { return v < 256; });
        const int shift = eightBit ? 0 : 8;
        for (int i = 0; i < n; ++i)
            pal[i] = LRgbQuad{std::uint8_t(b[i] >> shift), std::uint8_t(g[i] >> shift), std::uint8_t(r[i] >> shift), 0};
        return;
    }
    for (int i = 0; i < n; ++i) {
        auto v = std::uint8_t(i * 255 / (n - 1));
        if (p.photometric == PHOTOMETRIC_MINISWHITE)
            v = std::uint8_t(255 - v);
        pal[i] = LRgbQuad{v, v, v, 0};
    }
}

// Reads the page's rows into b; returns the rows read before an error (b.Height when all).
std::int32_t ReadNative(TIFF* tif, const TiffPage& p, LBitmap& b, const DecodeContext& ctx, int& stop)
{
    const tmsize_t line = TIFFScanlineSize(tif);
    const std::uint64_t need = (std::uint64_t(p.width) * p.bps + 7) / 8;
    if (line <= 0 || std::uint64_t(line) < need)
        return 0;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(line));
    std::uint8_t* bits = FreshBits(b);
    std::int32_t next = 0;
    for (std::int32_t y = 0; y < b.Height; ++y) {
        if (TIFFReadScanline(tif, row.data(), std::uint32_t(y), 0) < 0)
            return y;
        if (p.bps == 2)
            RepackIndices(row.data(), 2, b.Width, b.WriteRow(bits, y), 4);
        else
            std::memcpy(b.WriteRow(bits, y), row.data(), std::size_t(need));
        if (y >= next) {
            stop = ctx.Progress(y, b.Height);
            if (stop != LE_SUCCESS)
                return y;
            next = y + std::max(1, b.Height / 20);
        }
    }
    return b.Height;
}

std::int32_t ReadRgba(TIFF* tif, LBitmap& b, const DecodeContext& ctx, int& stop, int& failure)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message)) {
        failure = LE_SUBTYPE_NOT_SUPPORTED;
        return 0;
    }
    TIFFRGBAImage img;
    std::memset(&img, 0, sizeof img);
    if (!TIFFRGBAImageBegin(&img, tif, 1, message)) {
        failure = LE_SUBTYPE_NOT_SUPPORTED;
        return 0;
    }
    struct End {
        TIFFRGBAImage* img;
        ~End() { TIFFRGBAImageEnd(img); } // also when a progress callback throws
    } end{&img};
    img.req_orientation = img.orientation; // stored order: the kernel turns the page itself
    const std::int32_t w = b.Width;
    const std::int32_t band = std::int32_t(std::clamp<std::int64_t>((16 << 20) / (std::int64_t(w) * 4), 1, 64));
    std::vector<std::uint32_t> raster;
    try {
        raster.resize(std::size_t(w) * std::size_t(band));
    } catch (const std::bad_alloc&) {
        failure = LE_NO_MEMORY;
        return 0;
    }
    std::uint8_t* bits = FreshBits(b);
    const bool grey = b.BitsPerPixel == 8;
    std::int32_t y = 0;
    for (; y < b.Height; y += band) {
        const std::int32_t n = std::min(band, b.Height - y);
        img.row_offset = y;
        img.col_offset = 0;
        if (!TIFFRGBAImageGet(&img, raster.data(), std::uint32_t(w), std::uint32_t(n)))
            break;
        for (std::int32_t i = 0; i < n; ++i) {
            const std::uint32_t* src = raster.data() + std::size_t(i) * std::size_t(w);
            std::uint8_t* dst = b.WriteRow(bits, y + i);
            for (std::int32_t x = 0; x < w; ++x) {
                // Alpha comes premultiplied: on white, a colour gains what the alpha leaves out.
                const std::uint32_t v = src[x];
                const unsigned cover = 255 - TIFFGetA(v);
                if (grey) {
                    dst[x] = std::uint8_t(std::min(255u, TIFFGetR(v) + cover));
                } else {
                    dst[3 * x] = std::uint8_t(std::min(255u, TIFFGetB(v) + cover));
                    dst[3 * x + 1] = std::uint8_t(std::min(255u, TIFFGetG(v) + cover));
                    dst[3 * x + 2] = std::uint8_t(std::min(255u, TIFFGetR(v) + cover));
                }
            }
        }
        stop = ctx.Progress(y + n, b.Height);
        if (stop != LE_SUCCESS)
            break;
    }
    return std::min(y, b.Height);
}

int DecodeTiff(const std::uint8_t* data, std::size_t size, const DecodeContext& ctx, PageSink& sink)
{
    TiffHolder h(data, size);
    if (!h.tif)
        return h.in.error ? LE_FILE_READ : LE_FILE_FORMAT;
    const std::int32_t count = std::int32_t(TIFFNumberOfDirectories(h.tif));
    if (ctx.firstPage >= count)
        return LE_PAGE_NOT_FOUND;
    for (std::int32_t index = ctx.firstPage; index < count; ++index) {
        if (!TIFFSetDirectory(h.tif, tdir_t(index)))
            return LE_FILE_READ;
        const TiffPage p = ReadPage(h.tif);
        DecodedPage page;
        page.orientation = (p.orientation >= 1 && p.orientation <= 8) ? p.orientation : 1;
        LBitmap& b = page.bitmap;
        int rc = AllocatePixels(b, std::int32_t(std::min<std::uint32_t>(p.width, 0x7fffffff)),
                                std::int32_t(std::min<std::uint32_t>(p.height, 0x7fffffff)), p.Bits(), p.Bits() < 8,
                                ctx.budget);
        if (rc != LE_SUCCESS)
            return rc;
        b.XResolution = p.xres;
        b.YResolution = p.yres;
        int stop = LE_SUCCESS, failure = LE_FILE_READ;
        std::int32_t rows;
        if (p.Native()) {
            NativePalette(h.tif, p, FreshPalette(b));
            rows = ReadNative(h.tif, p, b, ctx, stop);
        } else {
            rows = ReadRgba(h.tif, b, ctx, stop, failure);
        }
        if (stop != LE_SUCCESS)
            return stop;
        const bool damaged = rows < b.Height;
        if (damaged) {
            if (!ctx.tolerant || failure != LE_FILE_READ)
                return failure;
            std::uint8_t* bits = FreshBits(b);
            std::memset(b.WriteRow(bits, rows), 0xff, std::size_t(b.Height - rows) * b.BytesPerLine);
            page.validRows = rows;
        }
        rc = sink.Page(page, index);
        if (rc != LE_SUCCESS)
            return rc;
        if (damaged)
            return LE_FILE_READ;
    }
    return LE_SUCCESS;
}

} // namespace

const Codec kTiffCodec{"tiff", SniffTiff, InfoTiff, DecodeTiff};

} // namespace kvimg
