// GIF through giflib. Every frame becomes a page: the frame composed on the logical screen as
// it shows after the frames before it (disposal methods and transparency applied). The screen
// starts in the background colour (black without a global colour table). Pages are 8 bits with
// the global palette when no frame has a local colour table, else 24 bits.
//
// The file structure is walked by our own bounded reader for the information; giflib decodes the
// frames through its low-level calls (never DGifSlurp, which allocates whatever a header asks).
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <gif_lib.h>

namespace kvimg {
namespace {

struct Frame {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    bool localTable = false;
    bool interlaced = false;
};

// What a walk over the blocks finds (no pixel is decoded).
struct GifScan {
    std::int32_t screenWidth = 0, screenHeight = 0;
    bool globalTable = false;
    std::int32_t globalCount = 0;
    const std::uint8_t* globalColors = nullptr; // R, G, B triples
    std::uint8_t background = 0;
    std::vector<Frame> frames;
    bool hasLoop = false;
    std::int32_t loopCount = 0;
    bool truncated = false;
    bool anyLocalTable = false;
};

bool SniffGif(const std::uint8_t* data, std::size_t size)
{
    return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

int ScanGif(const std::uint8_t* data, std::size_t size, GifScan& s)
{
    if (!SniffGif(data, size))
        return LE_FILE_FORMAT;
    if (size < 13)
        return LE_FILE_READ;
    auto u16 = [&](std::size_t at) { return std::int32_t(data[at] | (data[at + 1] << 8)); };
    s.screenWidth = u16(6);
    s.screenHeight = u16(8);
    const std::uint8_t flags = data[10];
    s.background = data[11];
    std::size_t pos = 13;
    if (flags & 0x80) {
        s.globalTable = true;
        s.globalCount = 2 << (flags & 7);
        if (pos + std::size_t(3 * s.globalCount) > size)
            return LE_FILE_READ;
        s.globalColors = data + pos;
        pos += std::size_t(3 * s.globalCount);
    }
    // Skips a chain of sub-blocks; false when the data ends inside it.
    auto skipBlocks = [&](std::size_t& p) {
        while (p < size) {
            const std::uint8_t n = data[p++];
            if (n == 0)
                return true;
            p += n;
        }
        return false;
    };
    while (true) {
        if (pos >= size) {
            s.truncated = true;
            break;
        }
        const std::uint8_t kind = data[pos++];
        if (kind == 0x3b)
            break;
        if (kind == 0x21) {
            if (pos >= size) {
                s.truncated = true;
                break;
            }
            const std::uint8_t label = data[pos++];
            if (label == 0xff && pos + 12 <= size && data[pos] == 11 &&
                (std::memcmp(data + pos + 1, "NETSCAPE2.0", 11) == 0 ||
                 std::memcmp(data + pos + 1, "ANIMEXTS1.0", 11) == 0)) {
                std::size_t p = pos + 12;
                if (p + 4 <= size && data[p] >= 3 && data[p + 1] == 1) {
                    s.hasLoop = true;
                    s.loopCount = u16(p + 2);
                }
            }
            if (!skipBlocks(pos)) {
                s.truncated = true;
                break;
            }
        } else if (kind == 0x2c) {
            if (pos + 9 > size) {
                s.truncated = true;
                break;
            }
            Frame f;
            f.left = u16(pos);
            f.top = u16(pos + 2);
            f.width = u16(pos + 4);
            f.height = u16(pos + 6);
            const std::uint8_t fl = data[pos + 8];
            f.localTable = (fl & 0x80) != 0;
            f.interlaced = (fl & 0x40) != 0;
            pos += 9;
            if (f.localTable) {
                s.anyLocalTable = true;
                pos += std::size_t(3) * (2u << (fl & 7));
            }
            s.frames.push_back(f);
            pos += 1; // LZW minimum code size
            if (pos > size || !skipBlocks(pos)) {
                s.truncated = true;
                break;
            }
        } else {
            break; // garbage after the last block: what came before stands
        }
    }
    if (s.frames.empty())
        return s.truncated ? LE_FILE_READ : LE_FILE_FORMAT;
    if (s.screenWidth == 0 || s.screenHeight == 0) {
        // Some writers leave the screen size 0: take the first frame's extent.
        s.screenWidth = s.frames[0].left + s.frames[0].width;
        s.screenHeight = s.frames[0].top + s.frames[0].height;
    }
    return LE_SUCCESS;
}

int InfoGif(const std::uint8_t* data, std::size_t size, std::int32_t page, LFileInfo* info)
{
    GifScan s;
    const int rc = ScanGif(data, size, s);
    if (rc != LE_SUCCESS)
        return rc;
    *info = LFileInfo{};
    info->Format = LFMT_GIF;
    info->Width = info->CanvasWidth = s.screenWidth;
    info->Height = info->CanvasHeight = s.screenHeight;
    info->BitsPerPixel = s.anyLocalTable ? 24 : 8;
    info->TotalPages = std::int32_t(s.frames.size());
    info->Compression = "LZW";
    if (page >= 0 && std::size_t(page) < s.frames.size() && s.frames[std::size_t(page)].interlaced)
        info->Flags |= LFI_INTERLACED;
    if (s.globalTable) {
        info->Flags |= LFI_HAS_PALETTE | LFI_HAS_BACKGROUND;
        info->PaletteCount = s.globalCount;
        for (int i = 0; i < s.globalCount; ++i)
            info->Palette[i] = LRgbQuad{s.globalColors[3 * i + 2], s.globalColors[3 * i + 1], s.globalColors[3 * i], 0};
        const std::uint8_t* bg = s.background < s.globalCount ? s.globalColors + 3 * s.background : s.globalColors;
        info->BackgroundColor = LRgb(bg[0], bg[1], bg[2]);
    }
    if (s.hasLoop) {
        info->Flags |= LFI_HAS_LOOP;
        info->LoopCount = s.loopCount;
    }
    return LE_SUCCESS;
}

struct MemoryInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
};

int OnGifRead(GifFileType* gif, GifByteType* out, int n)
{
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const std::size_t take = std::min<std::size_t>(std::size_t(std::max(n, 0)), in->size - in->pos);
    std::memcpy(out, in->data + in->pos, take);
    in->pos += take;
    return int(take);
}

struct GifHolder {
    GifFileType* gif = nullptr;
    ~GifHolder()
    {
        if (gif) {
            int err = 0;
            DGifCloseFile(gif, &err);
        }
    }
};

// The composed screen and what the next frame needs of it.
class Screen {
public:
    Screen(const GifScan& s, bool truecolor) : truecolor_(truecolor)
    {
        w_ = s.screenWidth;
        h_ = s.screenHeight;
        std::fill(std::begin(palette_), std::end(palette_), LRgbQuad{});
        if (s.globalTable)
            for (int i = 0; i < s.globalCount; ++i)
                palette_[i] = LRgbQuad{s.globalColors[3 * i + 2], s.globalColors[3 * i + 1], s.globalColors[3 * i], 0};
        else
            DefaultPalette(8, palette_);
        bgIndex_ = s.globalTable ? s.background : 0;
        bg_ = s.globalTable ? palette_[bgIndex_] : LRgbQuad{};
    }

    int Init(Budget* budget)
    {
        const int rc = AllocatePixels(pixels_, w_, h_, truecolor_ ? 24 : 8, false, budget);
        if (rc != LE_SUCCESS)
            return rc;
        std::copy(std::begin(palette_), std::end(palette_), FreshPalette(pixels_));
        Clear(LRect{0, 0, w_, h_});
        return LE_SUCCESS;
    }

    void Clear(LRect r)
    {
        r = Clip(r);
        std::uint8_t* bits = FreshBits(pixels_);
        for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
            std::uint8_t* p = pixels_.WriteRow(bits, y);
            for (std::int32_t x = r.Left; x < r.Right; ++x) {
                if (truecolor_) {
                    p[3 * x] = bg_.Blue;
                    p[3 * x + 1] = bg_.Green;
                    p[3 * x + 2] = bg_.Red;
                } else {
                    p[x] = bgIndex_;
                }
            }
        }
    }

    // Draws a decoded frame (width x height indices) with its colour table and transparency.
    void Draw(const Frame& f, const std::uint8_t* indices, const GifColorType* colors, int colorCount, int transparent)
    {
        const LRect r = Clip(LRect{f.left, f.top, f.left + f.width, f.top + f.height});
        std::uint8_t* bits = FreshBits(pixels_);
        for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
            const std::uint8_t* src = indices + std::size_t(y - f.top) * std::size_t(f.width);
            std::uint8_t* p = pixels_.WriteRow(bits, y);
            for (std::int32_t x = r.Left; x < r.Right; ++x) {
                const int v = src[x - f.left];
                if (v == transparent)
                    continue;
                if (!truecolor_) {
                    p[x] = std::uint8_t(v);
                } else if (v < colorCount && colors) {
                    p[3 * x] = colors[v].Blue;
                    p[3 * x + 1] = colors[v].Green;
                    p[3 * x + 2] = colors[v].Red;
                } else {
                    p[3 * x] = p[3 * x + 1] = p[3 * x + 2] = 0;
                }
            }
        }
    }

    LBitmap& Pixels() { return pixels_; }
    LRect Clip(const LRect& r) const
    {
        return LRect{std::clamp(r.Left, 0, w_), std::clamp(r.Top, 0, h_), std::clamp(r.Right, 0, w_),
                     std::clamp(r.Bottom, 0, h_)};
    }

private:
    bool truecolor_;
    std::int32_t w_ = 0, h_ = 0;
    LRgbQuad palette_[256];
    std::uint8_t bgIndex_ = 0;
    LRgbQuad bg_;
    LBitmap pixels_;
};

// Reads the rows of the current frame into `indices`; returns the rows read (interlaced frames
// count in file order), or -1 when the data ended or was damaged.
std::int32_t ReadFrameRows(GifFileType* gif, const Frame& f, std::uint8_t* indices)
{
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    std::int32_t rowsRead = 0;
    if (!f.interlaced) {
        for (std::int32_t y = 0; y < f.height; ++y, ++rowsRead)
            if (DGifGetLine(gif, indices + std::size_t(y) * f.width, f.width) != GIF_OK)
                return -1;
        return rowsRead;
    }
    for (int pass = 0; pass < 4; ++pass)
        for (std::int32_t y = kStart[pass]; y < f.height; y += kStep[pass], ++rowsRead)
            if (DGifGetLine(gif, indices + std::size_t(y) * f.width, f.width) != GIF_OK)
                return -1;
    return rowsRead;
}

bool SkipImageData(GifFileType* gif)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) != GIF_OK)
        return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) != GIF_OK)
            return false;
    return true;
}

int DecodeGif(const std::uint8_t* data, std::size_t size, const DecodeContext& ctx, PageSink& sink)
{
    GifScan scan;
    int rc = ScanGif(data, size, scan);
    if (rc != LE_SUCCESS)
        return rc;
    if (std::size_t(ctx.firstPage) >= scan.frames.size())
        return LE_PAGE_NOT_FOUND;
    MemoryInput in{data, size, 0};
    GifHolder holder;
    int err = 0;
    holder.gif = DGifOpen(&in, OnGifRead, &err);
    if (!holder.gif)
        return err == D_GIF_ERR_NOT_ENOUGH_MEM ? LE_NO_MEMORY : LE_FILE_READ;
    GifFileType* gif = holder.gif;
    Screen screen(scan, scan.anyLocalTable);
    rc = screen.Init(ctx.budget);
    if (rc != LE_SUCCESS)
        return rc;

    int disposal = 0, transparent = -1, delay = 0;
    std::int32_t frameIndex = 0;
    std::vector<std::uint8_t> indices;
    LBitmap saved; // the screen before a frame whose disposal restores it
    // The screen is written in place (FreshBits). Pages handed out and the saved screen share its
    // pixels, so it is made private before a write; every such copy counts against the budget.
    auto detach = [&]() {
        if (LBitmapAccess::Store(screen.Pixels()).use_count() <= 1)
            return true;
        const std::uint64_t bytes = screen.Pixels().DataSize();
        if (ctx.budget) {
            if (ctx.budget->used + bytes > MemoryLimit())
                return false;
            ctx.budget->used += bytes;
        }
        return screen.Pixels().BeginWrite() != nullptr;
    };
    while (true) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) != GIF_OK)
            return frameIndex > ctx.firstPage ? LE_SUCCESS : LE_FILE_READ; // data ended between frames
        if (type == TERMINATE_RECORD_TYPE)
            break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
                return frameIndex > ctx.firstPage ? LE_SUCCESS : LE_FILE_READ;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                disposal = (ext[1] >> 2) & 7;
                transparent = (ext[1] & 1) ? ext[4] : -1;
                delay = (ext[2] | (ext[3] << 8)) * 10;
            }
            while (ext)
                if (DGifGetExtensionNext(gif, &ext) != GIF_OK)
                    return frameIndex > ctx.firstPage ? LE_SUCCESS : LE_FILE_READ;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif) != GIF_OK)
            return frameIndex > ctx.firstPage ? LE_SUCCESS : LE_FILE_READ;
        Frame f;
        f.left = gif->Image.Left;
        f.top = gif->Image.Top;
        f.width = gif->Image.Width;
        f.height = gif->Image.Height;
        f.interlaced = gif->Image.Interlace;
        const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
        bool damaged = false;
        if (f.width <= 0 || f.height <= 0) {
            if (!SkipImageData(gif))
                damaged = true;
        } else {
            const std::uint64_t n = std::uint64_t(f.width) * std::uint64_t(f.height);
            if (n > MemoryLimit())
                return LE_NO_MEMORY;
            indices.assign(std::size_t(n), std::uint8_t(transparent >= 0 ? transparent : 0));
            if (ReadFrameRows(gif, f, indices.data()) < 0)
                damaged = true;
        }
        if (damaged && !ctx.tolerant)
            return LE_FILE_READ;
        if (disposal == 3)
            saved = screen.Pixels(); // shares the pixels until the screen is drawn on
        if (!detach())
            return LE_NO_MEMORY;
        if (f.width > 0 && f.height > 0)
            screen.Draw(f, indices.data(), map ? map->Colors : nullptr, map ? map->ColorCount : 0, transparent);
        if (frameIndex >= ctx.firstPage) {
            DecodedPage page;
            page.bitmap = screen.Pixels();
            page.bitmap.Delay = delay;
            rc = sink.Page(page, frameIndex);
            if (rc != LE_SUCCESS)
                return rc;
        }
        if (damaged)
            return LE_FILE_READ;
        if (disposal == 2 && !detach())
            return LE_NO_MEMORY;
        if (disposal == 2)
            screen.Clear(LRect{f.left, f.top, f.left + f.width, f.top + f.height});
        else if (disposal == 3 && saved.IsAllocated())
            screen.Pixels() = saved;
        saved = LBitmap{};
        disposal = 0;
        transparent = -1;
        delay = 0;
        ++frameIndex;
        const int p = ctx.Progress(frameIndex, std::int32_t(scan.frames.size()));
        if (p != LE_SUCCESS)
            return p;
    }
    return LE_SUCCESS;
}

} // namespace

const Codec kGifCodec{"gif", SniffGif, InfoGif, DecodeGif};

} // namespace kvimg
