// Saving in the formats the row encoders do not take: GIF, which holds several pages (every page
// a frame), and MacPaint, one black-and-white page of 576 x 720. Pages can be appended to a
// GIF's pages, replace one of them or be inserted before one; the file is then written again
// whole, through the safe writer (temporary file beside the target, synced, renamed over it).
#include "platform/imagelib/FileIo.h"
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

#include <gif_lib.h>

namespace kvimg {
namespace {

constexpr std::int32_t kMacPaintWidth = 576;
constexpr std::int32_t kMacPaintHeight = 720;
constexpr std::int32_t kMacPaintHeader = 512;

inline std::uint8_t Luma(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return std::uint8_t((r * 19595u + g * 38470u + b * 7471u + 32768u) >> 16);
}

// Row y of a page as seen, as B, G, R triples.
bool BgrRow(const LBitmap& page, std::int32_t y, std::vector<std::uint8_t>& raw, std::vector<std::uint8_t>& bgr)
{
    const std::int32_t w = page.ViewWidth();
    const std::int32_t line = L_BytesPerLine(w, page.BitsPerPixel);
    raw.resize(std::size_t(line));
    bgr.resize(std::size_t(w) * 3);
    if (L_GetBitmapRow(&page, raw.data(), y, std::uint32_t(line)) != line)
        return false;
    if (page.BitsPerPixel == 24)
        std::memcpy(bgr.data(), raw.data(), bgr.size());
    else
        ExpandRowToBgr(raw.data(), page.BitsPerPixel, page.Palette(), w, bgr.data());
    return true;
}

// ---- GIF ----------------------------------------------------------------------------------------

// A page as palette indices with at most `colours` entries.
struct IndexedPage {
    std::int32_t width = 0, height = 0;
    std::vector<GifByteType> pixels;
    std::vector<GifColorType> palette;
    std::int32_t delay = 0;  // hundredths of a second
};

int ToIndexed(const LBitmap& page, std::int32_t colours, IndexedPage& out)
{
    const std::int32_t w = page.ViewWidth(), h = page.ViewHeight();
    out.width = w;
    out.height = h;
    out.delay = std::clamp(page.Delay / 10, 0, 65535);
    out.pixels.assign(std::size_t(w) * std::size_t(h), 0);
    out.palette.clear();
    std::vector<std::uint8_t> raw, bgr;
    if (page.BitsPerPixel <= 8 && (1 << page.BitsPerPixel) <= colours) {
        // The page's own palette and indices.
        const std::int32_t line = L_BytesPerLine(w, page.BitsPerPixel);
        raw.resize(std::size_t(line));
        for (std::int32_t y = 0; y < h; ++y) {
            if (L_GetBitmapRow(&page, raw.data(), y, std::uint32_t(line)) != line)
                return LE_FILE_READ;
            for (std::int32_t x = 0; x < w; ++x)
                out.pixels[std::size_t(y) * w + x] = PixelIndex(raw.data(), x, page.BitsPerPixel);
        }
        for (std::int32_t i = 0; i < (1 << page.BitsPerPixel); ++i) {
            const LRgbQuad& q = page.Palette()[i];
            out.palette.push_back(GifColorType{q.Red, q.Green, q.Blue});
        }
        return LE_SUCCESS;
    }
    // The exact colours when there are few enough, else a reduction to `colours`.
    std::unordered_map<std::uint32_t, GifByteType> index;
    bool exact = true;
    for (std::int32_t y = 0; y < h && exact; ++y) {
        if (!BgrRow(page, y, raw, bgr))
            return LE_FILE_READ;
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint8_t* p = bgr.data() + 3 * x;
            const std::uint32_t key = std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
            auto it = index.find(key);
            if (it == index.end()) {
                if (std::int32_t(index.size()) == colours) {
                    exact = false;
                    break;
                }
                it = index.emplace(key, GifByteType(index.size())).first;
                out.palette.push_back(GifColorType{p[2], p[1], p[0]});
            }
            out.pixels[std::size_t(y) * w + x] = it->second;
        }
    }
    if (exact)
        return LE_SUCCESS;
    std::vector<GifByteType> red(out.pixels.size()), green(out.pixels.size()), blue(out.pixels.size());
    for (std::int32_t y = 0; y < h; ++y) {
        if (!BgrRow(page, y, raw, bgr))
            return LE_FILE_READ;
        for (std::int32_t x = 0; x < w; ++x) {
            const std::size_t at = std::size_t(y) * w + x;
            blue[at] = bgr[3 * std::size_t(x)];
            green[at] = bgr[3 * std::size_t(x) + 1];
            red[at] = bgr[3 * std::size_t(x) + 2];
        }
    }
    int size = colours;
    out.palette.assign(std::size_t(colours), GifColorType{0, 0, 0});
    if (GifQuantizeBuffer(unsigned(w), unsigned(h), &size, red.data(), green.data(), blue.data(), out.pixels.data(),
                          out.palette.data()) != GIF_OK)
        return LE_NO_MEMORY;
    out.palette.resize(std::size_t(std::max(size, 1)));
    return LE_SUCCESS;
}

int WriteToWriter(GifFileType* gif, const GifByteType* data, int size)
{
    return static_cast<Writer*>(gif->UserData)->Write(data, std::size_t(size)) ? size : 0;
}

struct GifLayout {
    std::int32_t canvasWidth = 0, canvasHeight = 0;
    bool loop = false;
    std::int32_t loopCount = 0;
    std::int32_t colours = 256;
};

int EncodeGif(const std::vector<LBitmap>& pages, const GifLayout& layout, Writer& out)
{
    std::int32_t screenW = layout.canvasWidth, screenH = layout.canvasHeight;
    for (const LBitmap& p : pages) {
        screenW = std::max(screenW, p.ViewWidth());
        screenH = std::max(screenH, p.ViewHeight());
    }
    if (screenW <= 0 || screenH <= 0 || screenW > 65535 || screenH > 65535)
        return LE_INVALID_SIZE;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, &WriteToWriter, &error);
    if (!gif)
        return LE_FILE_WRITE;
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, screenW, screenH, 8, 0, nullptr) == GIF_OK;
    if (ok && layout.loop) {
        unsigned char app[] = "NETSCAPE2.0";
        unsigned char sub[] = {1, std::uint8_t(layout.loopCount & 0xff), std::uint8_t((layout.loopCount >> 8) & 0xff)};
        ok = EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
             EGifPutExtensionBlock(gif, 11, app) == GIF_OK && EGifPutExtensionBlock(gif, 3, sub) == GIF_OK &&
             EGifPutExtensionTrailer(gif) == GIF_OK;
    }
    int rc = LE_SUCCESS;
    IndexedPage indexed;
    for (std::size_t i = 0; ok && rc == LE_SUCCESS && i < pages.size(); ++i) {
        rc = ToIndexed(pages[i], layout.colours, indexed);
        if (rc != LE_SUCCESS)
            break;
        // The frame stays on the screen (disposal 1) for its delay.
        unsigned char gce[4] = {0x04, std::uint8_t(indexed.delay & 0xff), std::uint8_t(indexed.delay >> 8), 0};
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce) == GIF_OK;
        // A colour table has a power of two of entries, at least 2.
        std::size_t entries = 2;
        while (entries < indexed.palette.size())
            entries *= 2;
        indexed.palette.resize(entries, GifColorType{0, 0, 0});
        ColorMapObject* map = GifMakeMapObject(int(entries), indexed.palette.data());
        ok = ok && map && EGifPutImageDesc(gif, 0, 0, indexed.width, indexed.height, false, map) == GIF_OK;
        GifFreeMapObject(map);
        for (std::int32_t y = 0; ok && y < indexed.height; ++y)
            ok = EGifPutLine(gif, indexed.pixels.data() + std::size_t(y) * indexed.width, indexed.width) == GIF_OK;
        if (ok)
            rc = ReportStatus(std::int32_t((i + 1) * 100 / pages.size()));
    }
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    if (rc != LE_SUCCESS)
        return rc;
    return ok && closed ? LE_SUCCESS : LE_FILE_WRITE;
}

// ---- MacPaint -----------------------------------------------------------------------------------

// One row packed with PackBits: runs of 3 or more equal bytes as a count byte of 1 - n and the
// byte, other bytes as a count byte of n - 1 and the bytes (n up to 128).
void PackBits(const std::uint8_t* in, std::size_t size, std::vector<std::uint8_t>& out)
{
    std::size_t i = 0;
    while (i < size) {
        std::size_t run = 1;
        while (i + run < size && run < 128 && in[i + run] == in[i])
            ++run;
        if (run >= 3) {
            out.push_back(std::uint8_t(257 - run));
            out.push_back(in[i]);
            i += run;
            continue;
        }
        std::size_t literal = 0;
        while (i + literal < size && literal < 128) {
            if (i + literal + 2 < size && in[i + literal] == in[i + literal + 1] && in[i + literal] == in[i + literal + 2])
                break;
            ++literal;
        }
        out.push_back(std::uint8_t(literal - 1));
        out.insert(out.end(), in + i, in + i + literal);
        i += literal;
    }
}

int EncodeMacPaint(const LBitmap& page, Writer& out)
{
    if (page.ViewWidth() != kMacPaintWidth || page.ViewHeight() != kMacPaintHeight)
        return LE_INVALID_SIZE;
    std::vector<std::uint8_t> header(kMacPaintHeader, 0);
    header[3] = 2;  // version 2: the header's patterns are given (all white)
    if (!out.Write(header.data(), header.size()))
        return LE_FILE_WRITE;
    std::vector<std::uint8_t> raw, bgr, packed;
    std::uint8_t bits[kMacPaintWidth / 8];
    for (std::int32_t y = 0; y < kMacPaintHeight; ++y) {
        if (!BgrRow(page, y, raw, bgr))
            return LE_FILE_READ;
        // A set bit is black: the dark half of the grey scale.
        std::memset(bits, 0, sizeof bits);
        for (std::int32_t x = 0; x < kMacPaintWidth; ++x) {
            const std::uint8_t* p = bgr.data() + 3 * x;
            if (Luma(p[2], p[1], p[0]) < 128)
                bits[x >> 3] = std::uint8_t(bits[x >> 3] | (0x80 >> (x & 7)));
        }
        packed.clear();
        PackBits(bits, sizeof bits, packed);
        if (!out.Write(packed.data(), packed.size()))
            return LE_FILE_WRITE;
        if (y % 32 == 31 || y == kMacPaintHeight - 1) {
            const int rc = ReportStatus((y + 1) * 100 / kMacPaintHeight);
            if (rc != LE_SUCCESS)
                return rc;
        }
    }
    return LE_SUCCESS;
}

// ---- pages of an existing file ------------------------------------------------------------------

int CollectPage(LFileInfo*, LBitmap* bitmap, std::uint8_t*, std::uint32_t flags, std::int32_t, std::int32_t,
                void* userData)
{
    // The page is whole before its first band arrives.
    if (flags & LRF_PAGE_FIRST) {
        auto* pages = static_cast<std::vector<LBitmap>*>(userData);
        pages->emplace_back();
        if (L_CopyBitmap(&pages->back(), bitmap) != LE_SUCCESS)
            return LE_NO_MEMORY;
    }
    return LE_SUCCESS;
}

int ReadPages(const char* fileName, std::vector<LBitmap>& pages)
{
    // Reading the old pages is part of the save: no progress of its own.
    LStatusCallback status = nullptr;
    void* statusData = nullptr;
    L_SetStatusCallBack(nullptr, nullptr, &status, &statusData);
    LLoadOptions options;
    L_GetDefaultLoadFileOption(&options);
    options.PageNumber = 1;
    LBitmap work;
    LFileInfo info;
    const int rc = L_LoadFile(fileName, &work, 0, LORDER_BGR, 0, &CollectPage, &pages, &options, &info);
    L_FreeBitmap(&work);
    L_SetStatusCallBack(status, statusData, nullptr, nullptr);
    return rc;
}

void FreePages(std::vector<LBitmap>& pages)
{
    for (LBitmap& p : pages)
        L_FreeBitmap(&p);
    pages.clear();
}

} // namespace

bool IsPagedFormat(std::int32_t format) { return format == LFMT_GIF || format == LFMT_MACPAINT; }

int SavePagedFormat(const char* fileName, const std::vector<LBitmap>& pages, std::int32_t format, std::int32_t bits,
                    const LSaveOptions& options)
{
    if (pages.empty())
        return LE_NO_BITMAP;
    for (const LBitmap& p : pages)
        if (!p.IsAllocated())
            return LE_NO_BITMAP;
    if (bits != 0 && bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return LE_INVALID_BITS;
    const bool replace = (options.Flags & LSO_REPLACE_PAGE) != 0;
    const bool insert = (options.Flags & LSO_INSERT_PAGE) != 0;
    const bool append = !replace && !insert && options.PageNumber > 1;
    try {
        if (format == LFMT_MACPAINT) {
            // One page a file.
            if (replace || insert || append || pages.size() != 1)
                return LE_NOT_SUPPORTED;
            SafeFileWriter writer;
            int rc = writer.Open(fileName);
            if (rc == LE_SUCCESS)
                rc = EncodeMacPaint(pages.front(), writer);
            return rc == LE_SUCCESS ? writer.Commit() : rc;
        }
        GifLayout layout;
        layout.colours = bits == 1 || bits == 4 ? 1 << bits : 256;
        layout.canvasWidth = options.CanvasWidth;
        layout.canvasHeight = options.CanvasHeight;
        layout.loop = (options.Flags & LSO_LOOP) != 0;
        layout.loopCount = options.LoopCount;
        std::vector<LBitmap> all;
        std::vector<LBitmap> old;
        if (replace || insert || append) {
            LFileInfo info;
            int rc = L_FileInfo(fileName, &info, 0, nullptr);
            if (rc == LE_FILE_NOT_FOUND && append) {
                all = pages;  // appending to no file starts one
            } else {
                if (rc == LE_SUCCESS && info.Format != LFMT_GIF)
                    rc = LE_FILE_FORMAT;
                if (rc == LE_SUCCESS)
                    rc = ReadPages(fileName, old);
                if (rc != LE_SUCCESS) {
                    FreePages(old);
                    return rc;
                }
                // The old file's screen and loop stay unless the options give their own.
                layout.canvasWidth = std::max(layout.canvasWidth, info.CanvasWidth);
                layout.canvasHeight = std::max(layout.canvasHeight, info.CanvasHeight);
                if (!layout.loop && (info.Flags & LFI_HAS_LOOP)) {
                    layout.loop = true;
                    layout.loopCount = info.LoopCount;
                }
                const std::size_t n = old.size();
                const std::size_t at = std::size_t(std::max(options.PageNumber, 1)) - 1;
                if ((replace && at >= n) || (insert && at > n)) {
                    FreePages(old);
                    return LE_PAGE_NOT_FOUND;
                }
                const std::size_t keep = append ? n : at;
                all.assign(old.begin(), old.begin() + std::ptrdiff_t(keep));
                all.insert(all.end(), pages.begin(), pages.end());
                all.insert(all.end(), old.begin() + std::ptrdiff_t(keep + (replace ? 1 : 0)), old.end());
            }
        } else {
            all = pages;
        }
        SafeFileWriter writer;
        int rc = writer.Open(fileName);
        if (rc == LE_SUCCESS)
            rc = EncodeGif(all, layout, writer);
        if (rc == LE_SUCCESS)
            rc = writer.Commit();
        FreePages(old);
        return rc;
    } catch (const std::bad_alloc&) {
        return LE_NO_MEMORY;
    }
}

int CollectSaveRows(LBitmap& bitmap, LSaveRowCallback callback, void* userData, LBitmap& out)
{
    const std::int32_t w = bitmap.ViewWidth(), h = bitmap.ViewHeight();
    int rc = L_CreateBitmap(&out, w, h, bitmap.BitsPerPixel, bitmap.Palette(), bitmap.PaletteSize());
    if (rc != LE_SUCCESS)
        return rc;
    std::uint8_t* bits = out.BeginWrite();
    constexpr std::int32_t kBand = 16;
    const std::int32_t line = L_BytesPerLine(w, bitmap.BitsPerPixel);
    std::vector<std::uint8_t> band(std::size_t(line) * kBand);
    for (std::int32_t y = 0; bits && y < h; y += kBand) {
        const std::int32_t lines = std::min(kBand, h - y);
        rc = CallbackResult(callback(&bitmap, band.data(), y, lines, userData));
        if (rc != LE_SUCCESS) {
            L_FreeBitmap(&out);
            return rc;
        }
        for (std::int32_t i = 0; i < lines; ++i)
            std::memcpy(out.WriteRow(bits, y + i), band.data() + std::size_t(i) * line, std::size_t(line));
    }
    out.Delay = bitmap.Delay;
    return bits ? LE_SUCCESS : LE_NO_MEMORY;
}

} // namespace kvimg
