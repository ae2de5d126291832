// PNG through libpng.
//
// libpng reports errors by longjmp; as with JPEG, every libpng call that can fail runs in a
// small phase function that sets the jump point and holds no object with a destructor.
// Loading: 16-bit samples are reduced to 8 bits; transparency (alpha channel or tRNS) is
// flattened on white. Palette pictures stay palette pictures (2-bit ones become 4-bit).
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include <png.h>

namespace kvimg {
namespace {

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    bool eof = false;
    char message[96] = {};
};

void OnPngRead(png_structp p, png_bytep out, png_size_t n)
{
    auto* r = static_cast<PngReader*>(png_get_io_ptr(p));
    if (n > r->size - r->pos) {
        r->eof = true;
        png_error(p, "unexpected end of data");
    }
    std::memcpy(out, r->data + r->pos, n);
    r->pos += n;
}

void OnPngError(png_structp p, png_const_charp message)
{
    auto* r = static_cast<PngReader*>(png_get_error_ptr(p));
    if (r && message)
        std::strncpy(r->message, message, sizeof r->message - 1);
    png_longjmp(p, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// headerPhase: errors before the pixels mean "not a PNG we can read"; later ones damaged data.
int ReadFailure(const PngReader& r, bool headerPhase)
{
    if (r.eof)
        return LE_FILE_READ;
    if (std::strstr(r.message, "CRC"))
        return LE_CRC;
    if (std::strstr(r.message, "emory"))
        return LE_NO_MEMORY;
    if (std::strstr(r.message, "width") || std::strstr(r.message, "height") || std::strstr(r.message, "limits"))
        return LE_INVALID_SIZE;
    return headerPhase ? LE_FILE_FORMAT : LE_FILE_READ;
}

// Limits and checks of every reader (calls that cannot fail).
void ConfigureReader(png_structp png)
{
    png_set_user_limits(png, kMaxDimension, kMaxDimension);
    png_set_chunk_malloc_max(png, 8u << 20);
    if (IgnoreChecksums()) {
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    }
}

int PhaseReadInfo(PngReader* r)
{
    if (setjmp(png_jmpbuf(r->png)))
        return ReadFailure(*r, true);
    png_set_read_fn(r->png, r, OnPngRead);
    ConfigureReader(r->png);
    png_read_info(r->png, r->info);
    return LE_SUCCESS;
}

struct ReaderHolder {
    PngReader r;
    explicit ReaderHolder(const std::uint8_t* data, std::size_t size)
    {
        r.data = data;
        r.size = size;
        r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, OnPngError, OnPngWarning);
        if (r.png)
            r.info = png_create_info_struct(r.png);
    }
    ~ReaderHolder()
    {
        if (r.png)
            png_destroy_read_struct(&r.png, r.info ? &r.info : nullptr, nullptr);
    }
    bool ok() const { return r.png && r.info; }
};

// The header as the kernel loads it.
struct PngLayout {
    png_uint_32 width = 0, height = 0;
    int depth = 0, type = 0, interlace = 0;
    std::int32_t bits = 0;     // bitmap depth
    std::int32_t rowBytes = 0; // bytes of one row as libpng hands it out (after the transforms)
    bool direct = false;       // libpng's rows are the bitmap's rows
};

PngLayout LayoutOf(png_structp png, png_infop info)
{
    PngLayout l;
    png_get_IHDR(png, info, &l.width, &l.height, &l.depth, &l.type, &l.interlace, nullptr, nullptr);
    const int d8 = std::min(l.depth, 8);
    switch (l.type) {
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_GRAY:
        l.bits = d8 == 2 ? 4 : d8;
        l.direct = d8 != 2;
        l.rowBytes = std::int32_t((std::uint64_t(l.width) * d8 + 7) / 8);
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        l.bits = 8;
        l.rowBytes = std::int32_t(std::min<std::uint64_t>(std::uint64_t(l.width) * 2, 0x7fffffff));
        break;
    case PNG_COLOR_TYPE_RGB:
        l.bits = 24;
        l.direct = true;
        l.rowBytes = std::int32_t(std::min<std::uint64_t>(std::uint64_t(l.width) * 3, 0x7fffffff));
        break;
    default: // RGB + alpha
        l.bits = 24;
        l.rowBytes = std::int32_t(std::min<std::uint64_t>(std::uint64_t(l.width) * 4, 0x7fffffff));
        break;
    }
    return l;
}

inline std::uint8_t OnWhite(unsigned c, unsigned a) { return std::uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

void FlattenRow(const PngLayout& l, const std::uint8_t* src, std::uint8_t* dst)
{
    const std::int32_t w = std::int32_t(l.width);
    if (l.type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        for (std::int32_t x = 0; x < w; ++x)
            dst[x] = OnWhite(src[2 * x], src[2 * x + 1]);
    } else if (l.type == PNG_COLOR_TYPE_RGB_ALPHA) {
        for (std::int32_t x = 0; x < w; ++x, src += 4, dst += 3) {
            dst[0] = OnWhite(src[0], src[3]);
            dst[1] = OnWhite(src[1], src[3]);
            dst[2] = OnWhite(src[2], src[3]);
        }
    } else { // 2-bit palette or grey
        RepackIndices(src, 2, w, dst, 4);
    }
}

// Palette of the bitmap: the PNG palette or grey levels, transparency flattened on white.
void BuildPalette(png_structp png, png_infop info, const PngLayout& l, LRgbQuad* pal)
{
    std::fill(pal, pal + 256, LRgbQuad{});
    png_bytep trnsAlpha = nullptr;
    int trnsCount = 0;
    png_color_16p trnsColor = nullptr;
    const bool hasTrns = png_get_tRNS(png, info, &trnsAlpha, &trnsCount, &trnsColor) != 0;
    if (l.type == PNG_COLOR_TYPE_PALETTE) {
        png_colorp colors = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &colors, &count))
            for (int i = 0; i < std::min(count, 256); ++i) {
                const unsigned a = (hasTrns && trnsAlpha && i < trnsCount) ? trnsAlpha[i] : 255;
                pal[i] = LRgbQuad{OnWhite(colors[i].blue, a), OnWhite(colors[i].green, a), OnWhite(colors[i].red, a), 0};
            }
        return;
    }
    const int levels = 1 << std::min(l.depth, 8);
    for (int i = 0; i < levels; ++i) {
        const auto v = std::uint8_t(i * 255 / (levels - 1));
        pal[i] = LRgbQuad{v, v, v, 0};
    }
    if (l.type == PNG_COLOR_TYPE_GRAY && hasTrns && trnsColor) {
        const unsigned v = l.depth == 16 ? trnsColor->gray >> 8 : trnsColor->gray;
        if (v < unsigned(levels))
            pal[v] = LRgbQuad{255, 255, 255, 0};
    }
}

void WhitenTransparentColour(png_structp png, png_infop info, const PngLayout& l, LBitmap& b, std::uint8_t* bits)
{
    png_color_16p c = nullptr;
    if (l.type != PNG_COLOR_TYPE_RGB || !png_get_tRNS(png, info, nullptr, nullptr, &c) || !c)
        return;
    const int shift = l.depth == 16 ? 8 : 0;
    const std::uint8_t r = std::uint8_t(c->red >> shift), g = std::uint8_t(c->green >> shift),
                       bl = std::uint8_t(c->blue >> shift);
    for (std::int32_t y = 0; y < b.Height; ++y) {
        std::uint8_t* p = b.WriteRow(bits, y);
        for (std::int32_t x = 0; x < b.Width; ++x, p += 3)
            if (p[0] == bl && p[1] == g && p[2] == r)
                p[0] = p[1] = p[2] = 255;
    }
}

void ResolutionOf(png_structp png, png_infop info, std::int32_t& x, std::int32_t& y)
{
    png_uint_32 rx = 0, ry = 0;
    int unit = 0;
    x = y = 96;
    if (png_get_pHYs(png, info, &rx, &ry, &unit) && unit == PNG_RESOLUTION_METER && rx > 0 && ry > 0 &&
        rx < 10000000 && ry < 10000000) {
        x = std::int32_t((rx * 254ull + 5000) / 10000);
        y = std::int32_t((ry * 254ull + 5000) / 10000);
    }
}

bool SniffPng(const std::uint8_t* data, std::size_t size)
{
    static const std::uint8_t kSig[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    return size >= 8 && std::memcmp(data, kSig, 8) == 0;
}

int InfoPng(const std::uint8_t* data, std::size_t size, std::int32_t, LFileInfo* info)
{
    ReaderHolder h(data, size);
    if (!h.ok())
        return LE_NO_MEMORY;
    const int rc = PhaseReadInfo(&h.r);
    if (rc != LE_SUCCESS)
        return rc;
    const PngLayout l = LayoutOf(h.r.png, h.r.info);
    *info = LFileInfo{};
    info->Format = LFMT_PNG;
    info->Width = std::int32_t(std::min<png_uint_32>(l.width, 0x7fffffff));
    info->Height = std::int32_t(std::min<png_uint_32>(l.height, 0x7fffffff));
    info->BitsPerPixel = l.bits;
    info->TotalPages = 1;
    info->CanvasWidth = info->Width;
    info->CanvasHeight = info->Height;
    ResolutionOf(h.r.png, h.r.info, info->XResolution, info->YResolution);
    info->Compression = l.interlace != PNG_INTERLACE_NONE ? "Deflate, interlaced" : "Deflate";
    if (l.interlace != PNG_INTERLACE_NONE)
        info->Flags |= LFI_INTERLACED;
    return LE_SUCCESS;
}

// Decoding runs libpng's progressive reader over the data in pieces: rows come out as soon as
// their data is in, so data that ends early still gives every row that arrived, and progress is
// reported between the pieces (never from inside libpng). The callbacks below only copy bytes.
struct PngProgress {
    PngLayout layout;
    LBitmap* bitmap = nullptr;
    std::uint8_t* bits = nullptr;
    std::uint8_t* temp = nullptr; // interlaced rows that need converting: the whole picture
    bool interlaced = false;
    int passes = 1;
    std::int64_t rowsSeen = 0;
    std::int32_t completeRows = 0; // not interlaced: rows stored
    bool ended = false;
};

void OnProgressiveInfo(png_structp png, png_infop info)
{
    auto* s = static_cast<PngProgress*>(png_get_progressive_ptr(png));
    const int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16)
        png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_RGB_ALPHA)
        png_set_bgr(png);
    s->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

void OnProgressiveRow(png_structp png, png_bytep row, png_uint_32 y, int)
{
    auto* s = static_cast<PngProgress*>(png_get_progressive_ptr(png));
    if (!row || y >= s->layout.height)
        return;
    ++s->rowsSeen;
    const PngLayout& l = s->layout;
    if (s->interlaced) {
        png_bytep target = l.direct ? s->bitmap->WriteRow(s->bits, std::int32_t(y))
                                    : s->temp + std::size_t(y) * std::size_t(l.rowBytes);
        png_progressive_combine_row(png, target, row);
        return;
    }
    if (l.direct)
        std::memcpy(s->bitmap->WriteRow(s->bits, std::int32_t(y)), row, std::size_t(l.rowBytes));
    else
        FlattenRow(l, row, s->bitmap->WriteRow(s->bits, std::int32_t(y)));
    s->completeRows = std::int32_t(y) + 1;
}

void OnProgressiveEnd(png_structp png, png_infop)
{
    static_cast<PngProgress*>(png_get_progressive_ptr(png))->ended = true;
}

int PhaseStartProgressive(PngReader* r, PngProgress* s)
{
    if (setjmp(png_jmpbuf(r->png)))
        return ReadFailure(*r, true);
    ConfigureReader(r->png);
    png_set_progressive_read_fn(r->png, s, OnProgressiveInfo, OnProgressiveRow, OnProgressiveEnd);
    return LE_SUCCESS;
}

int PhaseProcess(PngReader* r, const std::uint8_t* data, std::size_t size)
{
    if (setjmp(png_jmpbuf(r->png)))
        return ReadFailure(*r, false);
    png_process_data(r->png, r->info, const_cast<png_bytep>(data), size);
    return LE_SUCCESS;
}

int DecodePng(const std::uint8_t* data, std::size_t size, const DecodeContext& ctx, PageSink& sink)
{
    if (ctx.firstPage > 0)
        return LE_PAGE_NOT_FOUND;
    // The header first, with the pulling reader: it gives the size before anything is allocated.
    ReaderHolder header(data, size);
    if (!header.ok())
        return LE_NO_MEMORY;
    int rc = PhaseReadInfo(&header.r);
    if (rc != LE_SUCCESS)
        return rc;
    PngProgress s;
    s.layout = LayoutOf(header.r.png, header.r.info);
    const PngLayout& l = s.layout;
    rc = CheckSize(std::int32_t(std::min<png_uint_32>(l.width, 0x7fffffff)),
                   std::int32_t(std::min<png_uint_32>(l.height, 0x7fffffff)), l.bits);
    if (rc != LE_SUCCESS)
        return rc;
    s.interlaced = l.interlace != PNG_INTERLACE_NONE;
    DecodedPage page;
    LBitmap& b = page.bitmap;
    rc = AllocatePixels(b, std::int32_t(l.width), std::int32_t(l.height), l.bits, s.interlaced || l.bits < 8,
                        ctx.budget);
    if (rc != LE_SUCCESS)
        return rc;
    s.bitmap = &b;
    s.bits = FreshBits(b);
    BuildPalette(header.r.png, header.r.info, l, FreshPalette(b));
    ResolutionOf(header.r.png, header.r.info, b.XResolution, b.YResolution);
    // Interlaced pictures fill their rows over several passes: they start from white.
    if (s.interlaced && l.direct && l.type != PNG_COLOR_TYPE_PALETTE)
        std::memset(s.bits, 0xff, b.DataSize());
    std::vector<std::uint8_t> temp;
    if (s.interlaced && !l.direct) {
        const std::uint64_t bytes = std::uint64_t(l.rowBytes) * l.height;
        if (bytes > MemoryLimit())
            return LE_NO_MEMORY;
        temp.assign(std::size_t(bytes), 0xff);
        s.temp = temp.data();
    }

    ReaderHolder reader(data, size);
    if (!reader.ok())
        return LE_NO_MEMORY;
    rc = PhaseStartProgressive(&reader.r, &s);
    constexpr std::size_t kPiece = 64 << 10;
    for (std::size_t at = 0; rc == LE_SUCCESS && at < size && !s.ended; at += kPiece) {
        rc = PhaseProcess(&reader.r, data + at, std::min(kPiece, size - at));
        const int p = ctx.Progress(std::int32_t(std::min<std::int64_t>(s.rowsSeen, 0x7fffffff)),
                                   std::int32_t(std::min<std::int64_t>(std::int64_t(s.passes) * l.height, 0x7fffffff)));
        if (p != LE_SUCCESS)
            return p;
    }
    // Complete when the end was seen, or (not interlaced) every row arrived; a damaged chunk
    // after the pixels does not spoil them.
    const bool complete = s.ended || (!s.interlaced && s.completeRows == b.Height);
    if (!complete) {
        if (rc == LE_SUCCESS)
            rc = LE_FILE_READ;
        if (!ctx.tolerant)
            return rc;
        page.validRows = s.interlaced ? 0 : s.completeRows;
        if (page.validRows < b.Height)
            std::memset(b.WriteRow(s.bits, page.validRows), 0xff,
                        std::size_t(b.Height - page.validRows) * std::size_t(b.BytesPerLine));
    }
    if (s.interlaced && !l.direct)
        for (png_uint_32 y = 0; y < l.height; ++y)
            FlattenRow(l, temp.data() + std::size_t(y) * std::size_t(l.rowBytes), b.WriteRow(s.bits, std::int32_t(y)));
    WhitenTransparentColour(header.r.png, header.r.info, l, b, s.bits);
    const int delivered = sink.Page(page, 0);
    if (delivered != LE_SUCCESS)
        return delivered;
    return complete ? LE_SUCCESS : rc;
}

// ---- encoding --------------------------------------------------------------------------------

struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    Writer* out = nullptr;
    bool writeFailed = false;
    char message[96] = {};
};

void OnPngWrite(png_structp p, png_bytep data, png_size_t n)
{
    auto* w = static_cast<PngWriter*>(png_get_io_ptr(p));
    if (!w->out->Write(data, n)) {
        w->writeFailed = true;
        png_error(p, "write failed");
    }
}

void OnPngFlush(png_structp) {}

void OnPngWriteError(png_structp p, png_const_charp message)
{
    auto* w = static_cast<PngWriter*>(png_get_error_ptr(p));
    if (w && message)
        std::strncpy(w->message, message, sizeof w->message - 1);
    png_longjmp(p, 1);
}

int WriteFailure(const PngWriter& w)
{
    if (w.writeFailed)
        return LE_FILE_WRITE;
    return std::strstr(w.message, "emory") ? LE_NO_MEMORY : LE_INVALID_PARAMETER;
}

int PhaseBeginWrite(PngWriter* w, const EncodeJob* job)
{
    if (setjmp(png_jmpbuf(w->png)))
        return WriteFailure(*w);
    png_set_write_fn(w->png, w, OnPngWrite, OnPngFlush);
    int type = PNG_COLOR_TYPE_PALETTE;
    int depth = job->bits;
    if (job->bits == 24) {
        type = PNG_COLOR_TYPE_RGB;
        depth = 8;
    } else if (job->grey) {
        type = PNG_COLOR_TYPE_GRAY;
    }
    png_set_IHDR(w->png, w->info, png_uint_32(job->width), png_uint_32(job->height), depth, type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_color colors[256];
        for (int i = 0; i < job->paletteCount; ++i)
            colors[i] = png_color{job->palette[i].Red, job->palette[i].Green, job->palette[i].Blue};
        png_set_PLTE(w->png, w->info, colors, job->paletteCount);
    }
    png_set_pHYs(w->png, w->info, png_uint_32(std::max(1, job->xResolution) * 10000ull / 254),
                 png_uint_32(std::max(1, job->yResolution) * 10000ull / 254), PNG_RESOLUTION_METER);
    png_write_info(w->png, w->info);
    if (type == PNG_COLOR_TYPE_RGB)
        png_set_bgr(w->png);
    return LE_SUCCESS;
}

int PhaseWriteRow(PngWriter* w, png_const_bytep row)
{
    if (setjmp(png_jmpbuf(w->png)))
        return WriteFailure(*w);
    png_write_row(w->png, row);
    return LE_SUCCESS;
}

int PhaseEndWrite(PngWriter* w)
{
    if (setjmp(png_jmpbuf(w->png)))
        return WriteFailure(*w);
    png_write_end(w->png, w->info);
    return LE_SUCCESS;
}

} // namespace

int EncodePng(const EncodeJob& job, RowSource& rows, Writer& out)
{
    struct Holder {
        PngWriter w;
        Holder()
        {
            w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &w, OnPngWriteError, OnPngWarning);
            if (w.png)
                w.info = png_create_info_struct(w.png);
        }
        ~Holder()
        {
            if (w.png)
                png_destroy_write_struct(&w.png, w.info ? &w.info : nullptr);
        }
    } h;
    if (!h.w.png || !h.w.info)
        return LE_NO_MEMORY;
    h.w.out = &out;
    int rc = PhaseBeginWrite(&h.w, &job);
    for (std::int32_t y = 0; rc == LE_SUCCESS && y < job.height;) {
        const std::int32_t n = std::min(job.rowsPerBatch, job.height - y);
        const std::uint8_t* src[256];
        rc = rows.Next(n, src);
        for (std::int32_t i = 0; rc == LE_SUCCESS && i < n; ++i)
            rc = PhaseWriteRow(&h.w, src[i]);
        y += n;
    }
    if (rc == LE_SUCCESS)
        rc = PhaseEndWrite(&h.w);
    return rc;
}

const Codec kPngCodec{"png", SniffPng, InfoPng, DecodePng};

} // namespace kvimg
