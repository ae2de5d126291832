#pragma once
// The imaging kernel: reading and writing picture files.
//
// The format of a file is found from its content, never from its name. Readers: JPEG, BMP,
// GIF (every frame a page, composed on the logical screen), TIFF (every directory a page),
// PNG. Writers: JPEG (formats 10 and 23), BMP (6) and PNG (75). The format numbers and the
// compression texts are listed in docs/imagelib-formats.md.
//
// Pictures whose EXIF (JPEG) or TIFF orientation is 2 to 8 are turned upright while loading:
// file information reports the upright size, rows reach callbacks upright, and the bitmap has
// view perspective LVP_TOP_LEFT.
#include "platform/imagelib/ltkrn.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// ---- format numbers --------------------------------------------------------------------------
inline constexpr std::int32_t LFMT_GIF = 2;
inline constexpr std::int32_t LFMT_TIF = 3;
inline constexpr std::int32_t LFMT_BMP = 6;
inline constexpr std::int32_t LFMT_JFIF = 10;              // JPEG 4:4:4 or grey
inline constexpr std::int32_t LFMT_JTIF = 11;              // TIFF with JPEG compression
inline constexpr std::int32_t LFMT_OS2 = 14;               // OS/2 1.x BMP
inline constexpr std::int32_t LFMT_TIF_LZW = 17;
inline constexpr std::int32_t LFMT_JPEG_411 = 21;          // JPEG 4:2:0 and 4:1:1
inline constexpr std::int32_t LFMT_JPEG_422 = 23;
inline constexpr std::int32_t LFMT_TIF_CCITT = 25;         // modified Huffman (CCITT RLE)
inline constexpr std::int32_t LFMT_CCITT_G3_1D = 27;
inline constexpr std::int32_t LFMT_CCITT_G3_2D = 28;
inline constexpr std::int32_t LFMT_CCITT_G4 = 29;
inline constexpr std::int32_t LFMT_MACPAINT = 51;          // written only: 576 x 720, black and white
inline constexpr std::int32_t LFMT_OS2_2 = 74;             // OS/2 2.x BMP
inline constexpr std::int32_t LFMT_PNG = 75;
inline constexpr std::int32_t LFMT_BMP_RLE = 84;
inline constexpr std::int32_t LFMT_TIF_CMYK = 85;
inline constexpr std::int32_t LFMT_TIF_CMYK_LZW = 86;
inline constexpr std::int32_t LFMT_TIF_PACKBITS = 87;
inline constexpr std::int32_t LFMT_TIF_CMYK_PACKBITS = 88;
inline constexpr std::int32_t LFMT_TIF_YCC = 93;
inline constexpr std::int32_t LFMT_TIF_YCC_LZW = 94;
inline constexpr std::int32_t LFMT_TIF_YCC_PACKBITS = 95;

// ---- file information ------------------------------------------------------------------------
inline constexpr std::uint32_t LFI_HAS_PALETTE = 1;    // Palette holds the file's (global) palette
inline constexpr std::uint32_t LFI_HAS_BACKGROUND = 2; // BackgroundColor is the file's
inline constexpr std::uint32_t LFI_HAS_LOOP = 4;       // the file carries a loop count (GIF)
inline constexpr std::uint32_t LFI_PROGRESSIVE = 8;    // progressive JPEG
inline constexpr std::uint32_t LFI_INTERLACED = 16;    // interlaced GIF or PNG

struct LFileInfo {
    std::int32_t Format = 0;          // LFMT_*
    std::int32_t Width = 0;           // of the page as loaded at full size, upright
    std::int32_t Height = 0;
    std::int32_t BitsPerPixel = 0;    // depth of the bitmap a load with bits 0 gives
    std::int32_t BytesPerLine = 0;
    std::int32_t XResolution = 96;    // dots per inch
    std::int32_t YResolution = 96;
    std::int32_t TotalPages = 0;
    std::int32_t PageNumber = 1;      // the page described (1-based)
    std::int32_t Orientation = 1;     // EXIF/TIFF orientation of the stored pixels (1: upright)
    std::string Compression;          // e.g. "JPEG 4:2:2", "LZW", "RLE8", "Uncompressed"
    std::uint32_t Flags = 0;          // LFI_*
    std::int32_t CanvasWidth = 0;     // GIF logical screen (other formats: the page size)
    std::int32_t CanvasHeight = 0;
    LColor BackgroundColor = 0;       // with LFI_HAS_BACKGROUND
    std::int32_t LoopCount = 0;       // with LFI_HAS_LOOP; 0 = forever
    std::int32_t PaletteCount = 0;    // with LFI_HAS_PALETTE
    LRgbQuad Palette[256] = {};
    std::int64_t SizeDisk = 0;        // bytes of the file
};

// ---- options ---------------------------------------------------------------------------------
struct LLoadOptions {
    std::uint32_t Flags = 0;          // accepted for compatibility; no bit changes a load
    std::int32_t PageNumber = 1;      // first page to load; 0 and 1 both mean the first page
    std::int32_t Passes = 0;
    // Reduced-size decode hint: a JPEG is decoded at the smallest scale of 1/8, 1/4, 1/2 or 1
    // that still gives at least this width and height (upright); 0 = full size. File
    // information keeps reporting the full size. A hint in the thread's default options
    // (L_SetDefaultLoadFileOption) is used by the next JPEG load without explicit options and
    // is then cleared.
    std::int32_t DecodeMinWidth = 0;
    std::int32_t DecodeMinHeight = 0;
};

inline constexpr std::uint32_t LSO_BACKGROUND = 4;    // BackgroundColor is set
inline constexpr std::uint32_t LSO_PALETTE = 8;       // Palette is set
inline constexpr std::uint32_t LSO_DEFAULT = 16;      // set in the defaults; no effect here
inline constexpr std::uint32_t LSO_LOOP = 32;         // LoopCount is set
inline constexpr std::uint32_t LSO_REPLACE_PAGE = 1024;
inline constexpr std::uint32_t LSO_INSERT_PAGE = 2048;

struct LSaveOptions {
    std::uint32_t Flags = LSO_DEFAULT;
    // Where the pages go (GIF; the other formats hold one page and take only 1): 1 writes a
    // new file; above 1 appends to the file's pages (a missing file is started); with
    // LSO_REPLACE_PAGE the pages replace page PageNumber, with LSO_INSERT_PAGE they go before
    // it (one past the last page appends). A page beyond those: LE_PAGE_NOT_FOUND.
    std::int32_t PageNumber = 1;
    std::int32_t Passes = 0;
    LColor BackgroundColor = 0;
    std::int32_t CanvasWidth = 0;
    std::int32_t CanvasHeight = 0;
    std::int32_t LoopCount = 0;
    std::int32_t PaletteCount = 0;
    LRgbQuad Palette[256] = {};
};

// PDF rendering options (kept for the callers; the kernel reads no PDF). Ranges: resolutions
// >= 0; DisplayDepth 1, 4, 8 or 24; TextAlpha and GraphicsAlpha 1, 2 or 4; UseLibFonts 0 or 1.
struct LPdfOptions {
    std::int32_t XResolution = 96;
    std::int32_t YResolution = 96;
    std::int32_t DisplayDepth = 24;
    std::int32_t TextAlpha = 4;
    std::int32_t GraphicsAlpha = 1;
    std::int32_t UseLibFonts = 1;
};

// Options for vector pictures (kept for the callers). ViewMode 0..3, sizes >= 0.
struct LRasterizeOptions {
    std::int32_t ViewMode = 1;
    std::int32_t ViewportWidth = 640;
    std::int32_t ViewportHeight = 480;
    std::int32_t WmfResolution = 0;
};

// The JPEG 2000 save record, 28 words as the caller fills them (kept, not interpreted: the
// kernel writes no JPEG 2000).
struct LJ2KOptions {
    std::uint32_t Words[28] = {};
};

// ---- callbacks -------------------------------------------------------------------------------
// For every callback: returning 1 goes on. Returning a negative code stops the operation with
// that code as its result; returning 0 (or any other value) stops it with LE_USER_ABORT.

// Progress of loads and saves, 0..100 per page.
using LStatusCallback = int (*)(std::int32_t percent, void* userData);

// Rows of a load. bitmap is the page being loaded (fully decoded and upright; the callback may
// copy the handle or free it); buffer points to `lines` rows of it from `row` on (BytesPerLine
// apart). flags: LRF_*. A page's first band has LRF_PAGE_FIRST | LRF_PASS_FIRST, its last band
// LRF_PAGE_LAST | LRF_PASS_LAST. LE_STOP_PAGES (-29) stops once the wanted pages are in.
inline constexpr std::uint32_t LRF_PAGE_FIRST = 1;
inline constexpr std::uint32_t LRF_PAGE_LAST = 2;
inline constexpr std::uint32_t LRF_PASS_FIRST = 4;
inline constexpr std::uint32_t LRF_PASS_LAST = 8;
using LLoadRowCallback = int (*)(LFileInfo* info, LBitmap* bitmap, std::uint8_t* buffer, std::uint32_t flags,
                                 std::int32_t row, std::int32_t lines, void* userData);

// Rows of a save: fill `lines` rows of the picture as seen (from `row` on) into buffer, each
// L_BytesPerLine(ViewWidth(), BitsPerPixel) bytes long, in the bitmap's depth.
using LSaveRowCallback = int (*)(LBitmap* bitmap, std::uint8_t* buffer, std::int32_t row, std::int32_t lines,
                                 void* userData);

// Asked when the data is of no known format. Returning 1 with Width, Height and BitsPerPixel
// set makes the kernel read the data as raw pixels: rows top-down, padded to 4 bytes, from
// byte Offset on, 1/4/8 bits grey or 24 bits B, G, R. Format is what file information reports.
struct LLoadInfo {
    std::int32_t Format = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t BitsPerPixel = 0;
    std::int32_t XResolution = 0;
    std::int32_t YResolution = 0;
    std::int32_t Offset = 0;
    std::uint32_t Flags = 0;
};
using LLoadInfoCallback = int (*)(const char* fileName, LLoadInfo* info, void* userData);

// Installs the calling thread's callbacks; the previous ones come back through the old*
// pointers (each may be null). A null callback removes it.
int L_SetStatusCallBack(LStatusCallback callback, void* userData, LStatusCallback* oldCallback, void** oldUserData);
int L_GetStatusCallBack(LStatusCallback* callback, void** userData);
int L_SetLoadInfoCallBack(LLoadInfoCallback callback, void* userData, LLoadInfoCallback* oldCallback,
                          void** oldUserData);

// The calling thread's option sets. A null pointer to a setter restores the defaults.
int L_GetDefaultLoadFileOption(LLoadOptions* options);
int L_SetDefaultLoadFileOption(const LLoadOptions* options);
int L_GetDefaultSaveFileOption(LSaveOptions* options);
int L_SetDefaultSaveFileOption(const LSaveOptions* options);
int L_GetPDFOptions(LPdfOptions* options);
int L_SetPDFOptions(const LPdfOptions* options);          // LE_INVALID_PARAMETER out of range
int L_GetRasterizeOptions(LRasterizeOptions* options);
int L_SetRasterizeOptions(const LRasterizeOptions* options); // LE_INVALID_PARAMETER out of range
int L_GetJ2KOptions(LJ2KOptions* options);
int L_SetJ2KOptions(const LJ2KOptions* options);

// ---- reading ---------------------------------------------------------------------------------
// Information about the page options->PageNumber (null options: the thread's defaults).
// flags is accepted for compatibility (pages are always counted).
int L_FileInfo(const char* fileName, LFileInfo* info, std::uint32_t flags, const LLoadOptions* options);
int L_FileInfoMemory(const std::uint8_t* data, std::size_t size, LFileInfo* info, std::uint32_t flags,
                     const LLoadOptions* options);

// Byte orders a load accepts; the kernel always stores B, G, R and keeps grey pictures as
// 8 bits with a grey palette, so both mean the same.
inline constexpr std::int32_t LORDER_BGR = 1;
inline constexpr std::int32_t LORDER_BGR_OR_GRAY = 4;

// Load flags, accepted for compatibility: the kernel always allocates and fills the bitmap.
inline constexpr std::uint32_t LLF_ALLOCATE = 1;
inline constexpr std::uint32_t LLF_STORE = 2;

// Loads a file. bitsPerPixel 0 keeps the file's depth; 24 expands palette pictures; 4 and 8
// expand lower palette depths; a depth below the picture's gives LE_NOT_SUPPORTED.
// Without a callback: the page options->PageNumber goes into *bitmap.
// With a callback: every page from options->PageNumber on is decoded into *bitmap in turn and
// handed to the callback in bands, until the file ends or the callback stops the load (its
// LE_STOP_PAGES is returned as it stands).
// On failure (LE_STOP_PAGES aside) *bitmap is freed: truncated data gives LE_FILE_READ and no
// bitmap. info, when given, receives the information of the first page loaded.
int L_LoadFile(const char* fileName, LBitmap* bitmap, std::int32_t bitsPerPixel, std::int32_t order,
               std::uint32_t flags, LLoadRowCallback callback, void* userData, const LLoadOptions* options,
               LFileInfo* info);
// The same from memory, one page, without callback.
int L_LoadBitmapMemory(const std::uint8_t* data, std::size_t size, LBitmap* bitmap, std::int32_t bitsPerPixel,
                       std::int32_t order, const LLoadOptions* options, LFileInfo* info);

// A load whose bytes arrive in blocks. L_FeedLoad returns a positive value while the data can
// still be a picture (LE_FILE_FORMAT once 32 bytes show no known signature); L_StopFeedLoad
// decodes what arrived, hands the rows to the callback as L_LoadFile does, and frees the
// handle (always, also after a failed L_FeedLoad). When the data ends early, the rows that
// could be decoded still reach the callback (the last page without its LRF_PAGE_LAST band) and
// the result is LE_FILE_READ.
struct LFeedLoad; // opaque
int L_StartFeedLoad(LBitmap* bitmap, std::int32_t bitsPerPixel, std::int32_t order, std::uint32_t flags,
                    LLoadRowCallback callback, void* userData, LFeedLoad** handle, const LLoadOptions* options);
int L_FeedLoad(LFeedLoad* handle, const std::uint8_t* data, std::size_t size);
int L_StopFeedLoad(LFeedLoad* handle);

// ---- writing ---------------------------------------------------------------------------------
// Formats: LFMT_JFIF (10, JPEG 4:4:4), LFMT_JPEG_422 (23, JPEG 4:2:2), LFMT_BMP (6), LFMT_PNG
// (75); any other format gives LE_NOT_SUPPORTED. bitsPerPixel 0 keeps the bitmap's depth;
// JPEG takes 8 (grey) and 24, BMP and PNG 1, 4, 8 and 24; a depth below the bitmap's gives
// LE_NOT_SUPPORTED (no colour reduction), other values LE_INVALID_BITS. qFactor (JPEG only)
// runs from 2 (best) to 255 (smallest); outside that range LE_INVALID_QFACTOR. The picture is
// written as seen through its view perspective, without an orientation tag.
//
// A file is replaced safely: the data goes to a temporary file beside the target, which is
// synced and renamed over the target only when everything was written. A failure or an abort
// (by a callback) leaves the old file as it was and no temporary file. Failures to create or
// write the output give LE_FILE_WRITE.
int L_SaveBitmap(const char* fileName, const LBitmap* bitmap, std::int32_t format, std::int32_t bitsPerPixel,
                 std::int32_t qFactor, const LSaveOptions* options);
// Saves the pages of a list. GIF (format 2) takes every page as a frame (24-bit pages are
// reduced to 256 colours, or to 2 or 16 with bits 1 or 4; the page's Delay is the frame's
// delay), placed into the file's pages as options->PageNumber says. MacPaint (format 51) takes
// one page of exactly 576 x 720 (else LE_INVALID_SIZE) in black and white, whatever its depth.
// The other formats hold one page, so the list must have exactly one (more: LE_NOT_SUPPORTED,
// none: LE_NO_BITMAP). L_SaveBitmap and L_SaveFile write GIF and MacPaint the same way.
int L_SaveBitmapList(const char* fileName, const LBitmapList* list, std::int32_t format, std::int32_t bitsPerPixel,
                     std::int32_t qFactor, const LSaveOptions* options);
// As L_SaveBitmap, but the rows come from callback (when given). flags is accepted for
// compatibility (palette choice for colour reduction, which the kernel does not do).
inline constexpr std::uint32_t LSF_FIXED_PALETTE = 1;
inline constexpr std::uint32_t LSF_OPTIMIZED_PALETTE = 2;
int L_SaveFile(const char* fileName, LBitmap* bitmap, std::int32_t format, std::int32_t bitsPerPixel,
               std::int32_t qFactor, std::uint32_t flags, LSaveRowCallback callback, void* userData,
               const LSaveOptions* options);
// The same into memory (the vector is replaced by the file's bytes).
int L_SaveBitmapMemory(std::vector<std::uint8_t>* memory, const LBitmap* bitmap, std::int32_t format,
                       std::int32_t bitsPerPixel, std::int32_t qFactor, const LSaveOptions* options);

// Lossless turns and mirrors of a JPEG file (as the viewer shows it).
inline constexpr std::int32_t LJXF_ROTATE90 = 1;   // 90 degrees clockwise
inline constexpr std::int32_t LJXF_ROTATE180 = 2;
inline constexpr std::int32_t LJXF_ROTATE270 = 3;  // 90 degrees anticlockwise
inline constexpr std::int32_t LJXF_MIRROR = 4;     // left and right swapped
inline constexpr std::int32_t LJXF_FLIP = 5;       // top and bottom swapped
// Turns or mirrors the JPEG file in place without decoding it: the picture as shown (its
// Exif orientation applied) is transformed, and the file then carries orientation 1. Every
// other byte of the file stays (markers, quantisation tables, Huffman coding). Written
// through the safe replace. LE_NOT_SUPPORTED, with nothing written, when the file is no JPEG
// or its size is no whole number of blocks in the direction that moves (the caller turns it
// by decoding instead); read and write errors as usual.
int L_TransformJpegLossless(const char* fileName, std::int32_t operation);

// The libjpeg quality (1..100) that a quality factor of 2..255 stands for; 0 outside the range.
std::int32_t L_JpegQualityOfQFactor(std::int32_t qFactor);
