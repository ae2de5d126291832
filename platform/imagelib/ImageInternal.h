#pragma once
// Kernel-private pieces shared by the bitmap code, the codecs and the file drivers. Not part of
// the public interface; tests and fuzz targets may use it.
#include "platform/imagelib/ltfil.h"
#include "platform/imagelib/ltkrn.h"

#include <cstddef>
#include <cstdint>
#include <memory>

struct LPixelFree {
    void operator()(std::uint8_t* p) const noexcept;
};

struct LPixelStore {
    // Allocated by kvimg::AllocateBytes (large buffers in huge pages, see there).
    std::unique_ptr<std::uint8_t[], LPixelFree> bytes;
    std::size_t size = 0;
    LRgbQuad palette[256] = {};
    std::uint64_t generation = 0;
};

struct LBitmapAccess {
    static const std::shared_ptr<LPixelStore>& Store(const LBitmap& b) { return b.store_; }
    static void SetStore(LBitmap& b, std::shared_ptr<LPixelStore> s) { b.store_ = std::move(s); }
    static const std::shared_ptr<const LRegion>& RegionPtr(const LBitmap& b) { return b.region_; }
    static void SetRegion(LBitmap& b, std::shared_ptr<const LRegion> r) { b.region_ = std::move(r); }
};

namespace kvimg {

// ---- limits ----------------------------------------------------------------------------------
// Largest pixel buffer one bitmap may have, and the most a single load may allocate in pages
// (1 GiB each by default). Declared sizes beyond it fail with LE_NO_MEMORY before allocating.
std::size_t MemoryLimit();
void SetMemoryLimit(std::size_t bytes);
// Largest width or height the kernel accepts (LE_INVALID_SIZE beyond it).
inline constexpr std::int32_t kMaxDimension = 1 << 24;

// Skips checksum tests of the codecs that have them (PNG CRC and Adler-32), so that a fuzzer
// reaches the decoders behind them. Process-wide; off by default.
void SetIgnoreChecksums(bool on);
bool IgnoreChecksums();

// Pixel bytes charged during one load.
struct Budget {
    std::uint64_t used = 0;
};

std::uint64_t NextGeneration();

// Pixel memory: nullptr when it cannot be had. Buffers of several megabytes are aligned to
// 2 MiB and marked for transparent huge pages: a 24-megapixel bitmap then costs a few dozen
// page faults instead of eighteen thousand when it is first written.
std::uint8_t* AllocateBytes(std::size_t size, bool zero) noexcept;

// ---- the calling thread's callbacks and options ----------------------------------------------
// Calls the status callback (when one is installed); 1 to go on, else the result to stop with.
int ReportStatus(std::int32_t percent);
// Asks the load-info callback about data of no known format; true when it described raw pixels.
bool AskLoadInfo(const char* fileName, LLoadInfo* info);
LLoadOptions ResolveLoadOptions(const LLoadOptions* given);
// Clears the one-shot decode hint of the thread's default load options.
void ConsumeDecodeHint();
// Takes the hint of L_SetNextLoadDecodeHint into options (unless they carry one) and disarms it.
void TakeNextDecodeHint(LLoadOptions& options);
LSaveOptions ResolveSaveOptions(const LSaveOptions* given);

// The callback rule: 1 goes on, a negative value is the result, anything else is an abort.
inline int CallbackResult(int v) { return v == 1 ? 1 : (v < 0 ? v : LE_USER_ABORT); }

// Bytes of a w x h bitmap at `bits`, or 0 when the size is invalid or too large.
std::uint64_t PixelBytes(std::int32_t width, std::int32_t height, std::int32_t bits);
// The code for a declared size: 1 when it can be allocated, else LE_INVALID_SIZE or LE_NO_MEMORY.
int CheckSize(std::int32_t width, std::int32_t height, std::int32_t bits);

// Gives b fresh pixels (w x h x bits, view perspective top-left, default palette). zero fills
// them with 0; otherwise they are left for the caller to write completely. The budget, when
// given, is charged. Returns a result code; b is left empty on failure.
int AllocatePixels(LBitmap& b, std::int32_t width, std::int32_t height, std::int32_t bits, bool zero,
                   Budget* budget = nullptr);
// Writable pointer to pixels the caller just allocated (no copy-on-write test, no new generation).
std::uint8_t* FreshBits(LBitmap& b);
LRgbQuad* FreshPalette(LBitmap& b);
void DefaultPalette(std::int32_t bits, LRgbQuad* palette);

// ---- pixel helpers ---------------------------------------------------------------------------
// Palette index of pixel x in a packed row of 1, 4 or 8 bits.
inline std::uint8_t PixelIndex(const std::uint8_t* row, std::int32_t x, std::int32_t bits)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0f) : (row[x >> 1] >> 4);
    default: return row[x];
    }
}
inline void SetPixelIndex(std::uint8_t* row, std::int32_t x, std::int32_t bits, std::uint8_t v)
{
    switch (bits) {
    case 1: {
        const std::uint8_t m = std::uint8_t(0x80 >> (x & 7));
        row[x >> 3] = v ? (row[x >> 3] | m) : (row[x >> 3] & ~m);
        break;
    }
    case 4:
        row[x >> 1] = (x & 1) ? std::uint8_t((row[x >> 1] & 0xf0) | (v & 0x0f))
                              : std::uint8_t((row[x >> 1] & 0x0f) | (v << 4));
        break;
    default: row[x] = v;
    }
}
// A row of `width` palette pixels as B, G, R triples.
void ExpandRowToBgr(const std::uint8_t* src, std::int32_t bits, const LRgbQuad* palette, std::int32_t width,
                    std::uint8_t* dst);
// Re-packs `width` indices from srcBits to dstBits (dstBits >= srcBits; 1, 2, 4 or 8 bits).
void RepackIndices(const std::uint8_t* src, std::int32_t srcBits, std::int32_t width, std::uint8_t* dst,
                   std::int32_t dstBits);
// Turns b into a bitmap of `bits` (0 keeps it): palette depths expand to higher palette depths
// or to 24 bits; lower depths give LE_NOT_SUPPORTED.
int ConvertDepth(LBitmap& b, std::int32_t bits, Budget* budget = nullptr);

// ---- view perspective ------------------------------------------------------------------------
// dst becomes the picture of src as seen through view perspective vp, stored top-left.
int RenderView(const LBitmap& src, std::int32_t vp, LBitmap& dst, Budget* budget = nullptr);
// Turns a bitmap stored with an EXIF/TIFF orientation upright (orientation 1: nothing).
int ApplyOrientation(LBitmap& b, std::int32_t orientation, Budget* budget = nullptr);

// ---- decoding --------------------------------------------------------------------------------
struct DecodeContext {
    std::int32_t firstPage = 0;   // 0-based
    bool tolerant = false;        // data that ends early still gives the rows decoded so far
    std::int32_t minWidth = 0;    // reduced JPEG decode, upright size (0: full size)
    std::int32_t minHeight = 0;
    Budget* budget = nullptr;
    // Progress of the current page; returns 1 to go on, else the result to stop with.
    int (*progress)(void* self, std::int32_t percent) = nullptr;
    void* progressSelf = nullptr;

    int Progress(std::int32_t done, std::int32_t total) const
    {
        if (!progress || total <= 0)
            return 1;
        return progress(progressSelf, std::int32_t(std::int64_t(done) * 100 / total));
    }
};

struct DecodedPage {
    LBitmap bitmap;
    std::int32_t orientation = 1;  // of the stored pixels
    std::int32_t validRows = -1;   // in tolerant mode: rows decoded before the data ended (-1: all)
};

class PageSink {
public:
    virtual ~PageSink() = default;
    // Called for every page from firstPage on. Returns 1 for the next page; anything else stops
    // the decoder, which returns that value.
    virtual int Page(DecodedPage& page, std::int32_t pageIndex) = 0;
};

struct Codec {
    const char* name;
    bool (*sniff)(const std::uint8_t* data, std::size_t size);
    // Information about page (0-based) in stored orientation; Orientation set when known.
    int (*info)(const std::uint8_t* data, std::size_t size, std::int32_t page, LFileInfo* info);
    // Decodes pages from ctx.firstPage on into sink. Returns 1 when the last page was delivered,
    // the sink's value when it stopped, or a failure code.
    int (*decode)(const std::uint8_t* data, std::size_t size, const DecodeContext& ctx, PageSink& sink);
};

extern const Codec kJpegCodec;
extern const Codec kPngCodec;
extern const Codec kGifCodec;
extern const Codec kTiffCodec;
extern const Codec kBmpCodec;
// The codec whose signature the data carries, or nullptr.
const Codec* FindCodec(const std::uint8_t* data, std::size_t size);

// Raw pixels described by a load-info record.
int RawInfo(const LLoadInfo& raw, std::size_t size, LFileInfo* info);
int RawDecode(const LLoadInfo& raw, const std::uint8_t* data, std::size_t size, const DecodeContext& ctx,
              PageSink& sink);

// Orientation value (1..8) of an APP1 payload that starts with "Exif\0\0"; 1 when there is none
// or the data is damaged.
std::int32_t ExifOrientation(const std::uint8_t* data, std::size_t size);
// Where the orientation tag's value (two bytes) lies in the Exif block (from its start), and
// whether the block is little-endian; 0 when the block has no readable orientation tag.
std::size_t ExifOrientationValue(const std::uint8_t* data, std::size_t size, bool& little);

// ---- encoding --------------------------------------------------------------------------------
class Writer {
public:
    virtual ~Writer() = default;
    virtual bool Write(const void* data, std::size_t size) noexcept = 0;
    // Writes at an absolute offset (used by BMP rows, which go bottom-up).
    virtual bool WriteAt(std::uint64_t offset, const void* data, std::size_t size) noexcept = 0;
};

// Rows for an encoder, top-down, already in the encoder's layout.
class RowSource {
public:
    virtual ~RowSource() = default;
    // Points rows[0..count-1] at the next `count` rows. Returns 1 or the code to stop with.
    virtual int Next(std::int32_t count, const std::uint8_t** rows) = 0;
};

// What an encoder writes. Layout of the rows: bits 24: B, G, R triples; bits 8 with grey:
// one grey byte per pixel; 1, 4, 8 with a palette: packed indices.
struct EncodeJob {
    std::int32_t format = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bits = 24;
    bool grey = false;             // 8-bit rows are grey values (JPEG grey, PNG grey)
    std::int32_t quality = 75;     // JPEG: libjpeg quality
    bool subsample422 = false;     // JPEG: 4:2:2 instead of 4:4:4
    std::int32_t xResolution = 96;
    std::int32_t yResolution = 96;
    std::int32_t paletteCount = 0;
    LRgbQuad palette[256] = {};
    std::int32_t rowsPerBatch = 16;
};

int EncodeJpeg(const EncodeJob& job, RowSource& rows, Writer& out);
int EncodePng(const EncodeJob& job, RowSource& rows, Writer& out);
int EncodeBmp(const EncodeJob& job, RowSource& rows, Writer& out);

} // namespace kvimg
