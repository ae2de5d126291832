// JPEG through libjpeg-turbo.
//
// libjpeg reports errors by longjmp. Every call into it that can fail runs inside one of the
// small "phase" functions below, each of which sets the jump point itself and holds no object
// with a destructor; the C++ code around them owns all memory. No callback of ours runs inside
// a libjpeg frame except the destination manager, which only hands bytes to a Writer
// (noexcept).
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace kvimg {
namespace {

constexpr int kMaxScans = 500; // progressive files with more scans are refused (denial of service)
constexpr std::int32_t kBatch = 16;

struct JpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int sawEof;
    int writeFailed;
    int tooManyScans;
};

[[noreturn]] void OnErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

void OnEmitMessage(j_common_ptr cinfo, int level)
{
    auto* e = reinterpret_cast<JpegError*>(cinfo->err);
    if (level < 0) {
        if (e->pub.msg_code == JWRN_JPEG_EOF)
            e->sawEof = 1;
        e->pub.num_warnings++;
    }
}

void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        reinterpret_cast<JpegError*>(cinfo->err)->tooManyScans = 1;
        cinfo->err->error_exit(cinfo);
    }
}

void InitError(JpegError& e)
{
    std::memset(&e, 0, sizeof e);
    jpeg_std_error(&e.pub);
    e.pub.error_exit = OnErrorExit;
    e.pub.emit_message = OnEmitMessage;
    e.pub.output_message = OnOutputMessage;
}

int FailureCode(const JpegError& e)
{
    if (e.writeFailed)
        return LE_FILE_WRITE;
    if (e.tooManyScans)
        return LE_FILE_FORMAT;
    switch (e.pub.msg_code) {
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
    case JERR_TFILE_CREATE:
        return LE_NO_MEMORY;
    case JERR_BAD_PRECISION:
    case JERR_NOT_COMPILED:
        return LE_SUBTYPE_NOT_SUPPORTED;
    case JERR_IMAGE_TOO_BIG:
    case JERR_EMPTY_IMAGE:
        return LE_INVALID_SIZE;
    default:
        return e.sawEof ? LE_FILE_READ : LE_FILE_FORMAT;
    }
}

// ---- decoding --------------------------------------------------------------------------------

struct JpegDecoder {
    jpeg_decompress_struct cinfo;
    JpegError err;
    jpeg_progress_mgr progress;
};

int PhaseReadHeader(JpegDecoder* d, const std::uint8_t* data, std::size_t size)
{
    if (setjmp(d->err.jump))
        return FailureCode(d->err);
    jpeg_create_decompress(&d->cinfo);
    d->cinfo.mem->max_memory_to_use = long(std::min<std::size_t>(MemoryLimit(), 0x7fffffff));
    d->progress.progress_monitor = OnProgress;
    d->cinfo.progress = &d->progress;
    jpeg_mem_src(&d->cinfo, data, (unsigned long)size);
    jpeg_save_markers(&d->cinfo, JPEG_APP0 + 1, 0xffff);
    jpeg_read_header(&d->cinfo, TRUE);
    return LE_SUCCESS;
}

int PhaseSetup(JpegDecoder* d, J_COLOR_SPACE out, unsigned scaleNum)
{
    if (setjmp(d->err.jump))
        return FailureCode(d->err);
    d->cinfo.out_color_space = out;
    d->cinfo.scale_num = scaleNum;
    d->cinfo.scale_denom = 8;
    jpeg_calc_output_dimensions(&d->cinfo);
    return LE_SUCCESS;
}

int PhaseStart(JpegDecoder* d)
{
    if (setjmp(d->err.jump))
        return FailureCode(d->err);
    jpeg_start_decompress(&d->cinfo);
    return LE_SUCCESS;
}

int PhaseReadRows(JpegDecoder* d, JSAMPARRAY rows, JDIMENSION count)
{
    if (setjmp(d->err.jump))
        return FailureCode(d->err);
    JDIMENSION got = 0;
    while (got < count && d->cinfo.output_scanline < d->cinfo.output_height)
        got += jpeg_read_scanlines(&d->cinfo, rows + got, count - got);
    return LE_SUCCESS;
}

struct DecoderHolder {
    std::unique_ptr<JpegDecoder> d = std::make_unique<JpegDecoder>();
    DecoderHolder()
    {
        std::memset(&d->cinfo, 0, sizeof d->cinfo);
        std::memset(&d->progress, 0, sizeof d->progress);
        InitError(d->err);
        d->cinfo.err = &d->err.pub;
    }
    ~DecoderHolder() { jpeg_destroy_decompress(&d->cinfo); }
};

std::int32_t OrientationOf(const jpeg_decompress_struct& c)
{
    for (jpeg_saved_marker_ptr m = c.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0)
            return ExifOrientation(m->data, m->data_length);
    return 1;
}

void ResolutionOf(const jpeg_decompress_struct& c, std::int32_t& x, std::int32_t& y)
{
    x = y = 96;
    if (!c.saw_JFIF_marker || c.X_density == 0 || c.Y_density == 0)
        return;
    if (c.density_unit == 1) {
        x = c.X_density;
        y = c.Y_density;
    } else if (c.density_unit == 2) {
        x = (c.X_density * 254 + 50) / 100;
        y = (c.Y_density * 254 + 50) / 100;
    }
}

bool IsCmyk(const jpeg_decompress_struct& c)
{
    return c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
}

void DescribeHeader(const jpeg_decompress_struct& c, LFileInfo* info)
{
    *info = LFileInfo{};
    info->Width = std::int32_t(c.image_width);
    info->Height = std::int32_t(c.image_height);
    info->BitsPerPixel = c.num_components == 1 ? 8 : 24;
    info->TotalPages = 1;
    info->Orientation = OrientationOf(c);
    ResolutionOf(c, info->XResolution, info->YResolution);
    if (c.progressive_mode)
        info->Flags |= LFI_PROGRESSIVE;
    std::string kind;
    info->Format = LFMT_JFIF;
    if (c.num_components == 1) {
        kind = "grey";
    } else if (IsCmyk(c)) {
        kind = "CMYK";
    } else if (c.num_components >= 3) {
        const int h = c.comp_info[0].h_samp_factor / std::max(1, c.comp_info[1].h_samp_factor);
        const int v = c.comp_info[0].v_samp_factor / std::max(1, c.comp_info[1].v_samp_factor);
        if (h == 2 && v == 1) {
            info->Format = LFMT_JPEG_422;
            kind = "4:2:2";
        } else if (h == 2 && v == 2) {
            info->Format = LFMT_JPEG_411;
            kind = "4:2:0";
        } else if (h == 4 && v == 1) {
            info->Format = LFMT_JPEG_411;
            kind = "4:1:1";
        } else if (h == 1 && v == 1) {
            kind = "4:4:4";
        } else {
            kind = std::to_string(c.comp_info[0].h_samp_factor) + "x" + std::to_string(c.comp_info[0].v_samp_factor);
        }
    }
    info->Compression = std::string(c.progressive_mode ? "Progressive JPEG " : "JPEG ") + kind;
    info->CanvasWidth = info->Width;
    info->CanvasHeight = info->Height;
}

bool SniffJpeg(const std::uint8_t* data, std::size_t size)
{
    return size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff;
}

int InfoJpeg(const std::uint8_t* data, std::size_t size, std::int32_t, LFileInfo* info)
{
    DecoderHolder h;
    const int rc = PhaseReadHeader(h.d.get(), data, size);
    if (rc != LE_SUCCESS)
        return rc;
    DescribeHeader(h.d->cinfo, info);
    return LE_SUCCESS;
}

// The smallest of 1/8, 2/8, 4/8 and 8/8 that keeps at least the wanted size (stored orientation).
unsigned ScaleFor(std::uint32_t w, std::uint32_t h, std::int32_t minW, std::int32_t minH)
{
    if (minW <= 0 && minH <= 0)
        return 8;
    for (unsigned m : {1u, 2u, 4u}) {
        const std::uint64_t sw = (std::uint64_t(w) * m + 7) / 8, sh = (std::uint64_t(h) * m + 7) / 8;
        if (sw >= std::uint64_t(std::max(minW, 0)) && sh >= std::uint64_t(std::max(minH, 0)))
            return m;
    }
    return 8;
}

void CmykRowToBgr(const std::uint8_t* src, std::int32_t width, bool inverted, std::uint8_t* dst)
{
    // Adobe writes CMYK inverted (0 = full ink); plain CMYK has 255 = full ink.
    for (std::int32_t x = 0; x < width; ++x, src += 4, dst += 3) {
        unsigned c = src[0], m = src[1], y = src[2], k = src[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        dst[0] = std::uint8_t((y * k + 127) / 255);
        dst[1] = std::uint8_t((m * k + 127) / 255);
        dst[2] = std::uint8_t((c * k + 127) / 255);
    }
}

int DecodeJpeg(const std::uint8_t* data, std::size_t size, const DecodeContext& ctx, PageSink& sink)
{
    if (ctx.firstPage > 0)
        return LE_PAGE_NOT_FOUND;
    DecoderHolder h;
    JpegDecoder* d = h.d.get();
    int rc = PhaseReadHeader(d, data, size);
    if (rc != LE_SUCCESS)
        return rc;
    jpeg_decompress_struct& c = d->cinfo;
    const std::int32_t orientation = OrientationOf(c);
    const bool cmyk = IsCmyk(c);
    const J_COLOR_SPACE out = c.num_components == 1 ? JCS_GRAYSCALE : (cmyk ? JCS_CMYK : JCS_EXT_BGR);
    const bool swapped = L_IsViewSwapped(L_ViewPerspectiveFromOrientation(orientation));
    const unsigned scale = ScaleFor(c.image_width, c.image_height, swapped ? ctx.minHeight : ctx.minWidth,
                                    swapped ? ctx.minWidth : ctx.minHeight);
    rc = PhaseSetup(d, out, scale);
    if (rc != LE_SUCCESS)
        return rc;
    DecodedPage page;
    page.orientation = orientation;
    LBitmap& b = page.bitmap;
    rc = AllocatePixels(b, std::int32_t(c.output_width), std::int32_t(c.output_height), out == JCS_GRAYSCALE ? 8 : 24,
                        false, ctx.budget);
    if (rc != LE_SUCCESS)
        return rc;
    ResolutionOf(c, b.XResolution, b.YResolution);
    b.XResolution = std::max<std::int32_t>(1, std::int32_t(b.XResolution * scale / 8));
    b.YResolution = std::max<std::int32_t>(1, std::int32_t(b.YResolution * scale / 8));
    rc = PhaseStart(d);
    if (rc != LE_SUCCESS)
        return rc;
    if (d->err.sawEof && !ctx.tolerant)
        return LE_FILE_READ;

    std::uint8_t* bits = FreshBits(b);
    std::vector<std::uint8_t> cmykRows;
    if (cmyk)
        cmykRows.resize(std::size_t(b.Width) * 4 * kBatch);
    const bool eofBeforeRows = d->err.sawEof != 0; // progressive: all scans were read in PhaseStart
    std::int32_t y = 0;
    std::int32_t nextReport = 0;
    while (y < b.Height) {
        const std::int32_t n = std::min(kBatch, b.Height - y);
        JSAMPROW rows[kBatch];
        for (std::int32_t i = 0; i < n; ++i)
            rows[i] = cmyk ? cmykRows.data() + std::size_t(i) * b.Width * 4 : b.WriteRow(bits, y + i);
        rc = PhaseReadRows(d, rows, JDIMENSION(n));
        if (rc != LE_SUCCESS)
            return rc;
        if (d->err.sawEof && !eofBeforeRows) {
            if (!ctx.tolerant)
                return LE_FILE_READ;
            page.validRows = y;
            break;
        }
        if (cmyk)
            for (std::int32_t i = 0; i < n; ++i)
                CmykRowToBgr(rows[i], b.Width, c.saw_Adobe_marker, b.WriteRow(bits, y + i));
        y += n;
        if (y >= nextReport) {
            rc = ctx.Progress(y, b.Height);
            if (rc != LE_SUCCESS)
                return rc;
            nextReport = y + std::max(1, b.Height / 20);
        }
    }
    if (page.validRows >= 0)
        std::memset(b.WriteRow(bits, page.validRows), 0x80, std::size_t(b.Height - page.validRows) * b.BytesPerLine);
    rc = sink.Page(page, 0);
    if (rc != LE_SUCCESS)
        return rc;
    return d->err.sawEof ? LE_FILE_READ : LE_SUCCESS;
}

// ---- encoding --------------------------------------------------------------------------------

constexpr std::size_t kOutBuffer = 1 << 16;

struct JpegEncoder {
    jpeg_compress_struct cinfo;
    JpegError err;
    jpeg_destination_mgr dest;
    Writer* writer;
    JOCTET buffer[kOutBuffer];
};

void OnInitDestination(j_compress_ptr c)
{
    auto* e = static_cast<JpegEncoder*>(c->client_data);
    e->dest.next_output_byte = e->buffer;
    e->dest.free_in_buffer = kOutBuffer;
}

boolean OnEmptyOutput(j_compress_ptr c)
{
    auto* e = static_cast<JpegEncoder*>(c->client_data);
    if (!e->writer->Write(e->buffer, kOutBuffer)) {
        e->err.writeFailed = 1;
        ERREXIT(c, JERR_FILE_WRITE);
    }
    e->dest.next_output_byte = e->buffer;
    e->dest.free_in_buffer = kOutBuffer;
    return TRUE;
}

void OnTermDestination(j_compress_ptr c)
{
    auto* e = static_cast<JpegEncoder*>(c->client_data);
    const std::size_t n = kOutBuffer - e->dest.free_in_buffer;
    if (n > 0 && !e->writer->Write(e->buffer, n)) {
        e->err.writeFailed = 1;
        ERREXIT(c, JERR_FILE_WRITE);
    }
}

int PhaseBeginCompress(JpegEncoder* e, const EncodeJob* job)
{
    if (setjmp(e->err.jump))
        return FailureCode(e->err);
    jpeg_create_compress(&e->cinfo);
    e->cinfo.client_data = e;
    e->dest.init_destination = OnInitDestination;
    e->dest.empty_output_buffer = OnEmptyOutput;
    e->dest.term_destination = OnTermDestination;
    e->cinfo.dest = &e->dest;
    e->cinfo.image_width = JDIMENSION(job->width);
    e->cinfo.image_height = JDIMENSION(job->height);
    e->cinfo.input_components = job->grey ? 1 : 3;
    e->cinfo.in_color_space = job->grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&e->cinfo);
    jpeg_set_quality(&e->cinfo, job->quality, TRUE);
    if (!job->grey) {
        e->cinfo.comp_info[0].h_samp_factor = job->subsample422 ? 2 : 1;
        e->cinfo.comp_info[0].v_samp_factor = 1;
        for (int i = 1; i < 3; ++i)
            e->cinfo.comp_info[i].h_samp_factor = e->cinfo.comp_info[i].v_samp_factor = 1;
    }
    e->cinfo.density_unit = 1;
    e->cinfo.X_density = UINT16(std::clamp(job->xResolution, 1, 65535));
    e->cinfo.Y_density = UINT16(std::clamp(job->yResolution, 1, 65535));
    jpeg_start_compress(&e->cinfo, TRUE);
    return LE_SUCCESS;
}

int PhaseWriteRows(JpegEncoder* e, JSAMPARRAY rows, JDIMENSION count)
{
    if (setjmp(e->err.jump))
        return FailureCode(e->err);
    jpeg_write_scanlines(&e->cinfo, rows, count);
    return LE_SUCCESS;
}

int PhaseFinishCompress(JpegEncoder* e)
{
    if (setjmp(e->err.jump))
        return FailureCode(e->err);
    jpeg_finish_compress(&e->cinfo);
    return LE_SUCCESS;
}

} // namespace

int EncodeJpeg(const EncodeJob& job, RowSource& rows, Writer& out)
{
    struct Holder {
        std::unique_ptr<JpegEncoder> e = std::make_unique<JpegEncoder>();
        Holder()
        {
            std::memset(&e->cinfo, 0, sizeof e->cinfo);
            std::memset(&e->dest, 0, sizeof e->dest);
            InitError(e->err);
            e->cinfo.err = &e->err.pub;
        }
        ~Holder() { jpeg_destroy_compress(&e->cinfo); }
    } h;
    JpegEncoder* e = h.e.get();
    e->writer = &out;
    int rc = PhaseBeginCompress(e, &job);
    for (std::int32_t y = 0; rc == LE_SUCCESS && y < job.height;) {
        const std::int32_t n = std::min(kBatch, job.height - y);
        const std::uint8_t* src[kBatch];
        rc = rows.Next(n, src);
        if (rc != LE_SUCCESS)
            break;
        JSAMPROW ptrs[kBatch];
        for (std::int32_t i = 0; i < n; ++i)
            ptrs[i] = const_cast<JSAMPROW>(src[i]);
        rc = PhaseWriteRows(e, ptrs, JDIMENSION(n));
        y += n;
    }
    if (rc == LE_SUCCESS)
        rc = PhaseFinishCompress(e);
    return rc;
}

const Codec kJpegCodec{"jpeg", SniffJpeg, InfoJpeg, DecodeJpeg};

} // namespace kvimg
