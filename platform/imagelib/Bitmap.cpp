// Bitmap life: storage, copy on write, palettes, depth conversion, version.
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace kvimg {
namespace {
std::atomic<std::uint64_t> g_generation{0};
std::atomic<std::size_t> g_memoryLimit{std::size_t(1) << 30};
std::atomic<bool> g_ignoreChecksums{false};

bool ValidDepth(std::int32_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }
} // namespace

std::uint8_t* AllocateBytes(std::size_t size, bool zero) noexcept
{
    constexpr std::size_t kHuge = std::size_t(2) << 20;
    void* p;
    if (size >= 2 * kHuge) {
        p = std::aligned_alloc(kHuge, (size + kHuge - 1) / kHuge * kHuge);
        if (p)
            ::madvise(p, size, MADV_HUGEPAGE);
        if (p && zero)
            std::memset(p, 0, size);
    } else {
        p = zero ? std::calloc(size ? size : 1, 1) : std::malloc(size ? size : 1);
    }
    return static_cast<std::uint8_t*>(p);
}

std::uint64_t NextGeneration() { return g_generation.fetch_add(1, std::memory_order_relaxed) + 1; }
std::size_t MemoryLimit() { return g_memoryLimit.load(std::memory_order_relaxed); }
void SetMemoryLimit(std::size_t bytes) { g_memoryLimit.store(bytes, std::memory_order_relaxed); }
void SetIgnoreChecksums(bool on) { g_ignoreChecksums.store(on, std::memory_order_relaxed); }
bool IgnoreChecksums() { return g_ignoreChecksums.load(std::memory_order_relaxed); }

std::uint64_t PixelBytes(std::int32_t width, std::int32_t height, std::int32_t bits)
{
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension || !ValidDepth(bits))
        return 0;
    const std::uint64_t line = ((std::uint64_t(width) * std::uint64_t(bits) + 31) / 32) * 4;
    return line * std::uint64_t(height);
}

int CheckSize(std::int32_t width, std::int32_t height, std::int32_t bits)
{
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension)
        return LE_INVALID_SIZE;
    if (!ValidDepth(bits))
        return LE_INVALID_BITS;
    if (PixelBytes(width, height, bits) > MemoryLimit())
        return LE_NO_MEMORY;
    return LE_SUCCESS;
}

void DefaultPalette(std::int32_t bits, LRgbQuad* palette)
{
    if (bits > 8)
        return;
    const int n = 1 << bits;
    for (int i = 0; i < n; ++i) {
        const auto v = std::uint8_t(i * 255 / (n - 1));
        palette[i] = LRgbQuad{v, v, v, 0};
    }
}

int AllocatePixels(LBitmap& b, std::int32_t width, std::int32_t height, std::int32_t bits, bool zero,
                   Budget* budget)
{
    L_FreeBitmap(&b);
    const int check = CheckSize(width, height, bits);
    if (check != LE_SUCCESS)
        return check;
    const std::uint64_t bytes = PixelBytes(width, height, bits);
    if (budget) {
        if (budget->used + bytes > MemoryLimit())
            return LE_NO_MEMORY;
        budget->used += bytes;
    }
    auto store = std::shared_ptr<LPixelStore>(new (std::nothrow) LPixelStore);
    if (!store)
        return LE_NO_MEMORY;
    store->bytes.reset(AllocateBytes(std::size_t(bytes), zero));
    if (!store->bytes)
        return LE_NO_MEMORY;
    store->size = std::size_t(bytes);
    store->generation = NextGeneration();
    const std::int32_t line = L_BytesPerLine(width, bits);
    const std::int32_t used = std::int32_t((std::int64_t(width) * bits + 7) / 8);
    if (!zero && used < line) {
        // Decoders write every pixel; the padding at the end of each row is cleared here so
        // that saved files and copies never carry stale memory.
        for (std::int32_t y = 0; y < height; ++y)
            std::memset(store->bytes.get() + std::size_t(y) * std::size_t(line) + std::size_t(used), 0,
                        std::size_t(line - used));
    }
    DefaultPalette(bits, store->palette);
    b.Width = width;
    b.Height = height;
    b.BitsPerPixel = bits;
    b.BytesPerLine = L_BytesPerLine(width, bits);
    b.Flags = LBF_ALLOCATED;
    b.ViewPerspective = LVP_TOP_LEFT;
    LBitmapAccess::SetStore(b, std::move(store));
    return LE_SUCCESS;
}

std::uint8_t* FreshBits(LBitmap& b)
{
    const auto& s = LBitmapAccess::Store(b);
    return s ? s->bytes.get() : nullptr;
}

LRgbQuad* FreshPalette(LBitmap& b)
{
    const auto& s = LBitmapAccess::Store(b);
    return s ? s->palette : nullptr;
}

void ExpandRowToBgr(const std::uint8_t* src, std::int32_t bits, const LRgbQuad* palette, std::int32_t width,
                    std::uint8_t* dst)
{
    for (std::int32_t x = 0; x < width; ++x) {
        const LRgbQuad& q = palette[PixelIndex(src, x, bits)];
        dst[0] = q.Blue;
        dst[1] = q.Green;
        dst[2] = q.Red;
        dst += 3;
    }
}

void RepackIndices(const std::uint8_t* src, std::int32_t srcBits, std::int32_t width, std::uint8_t* dst,
                   std::int32_t dstBits)
{
    for (std::int32_t x = 0; x < width; ++x) {
        std::uint8_t v;
        if (srcBits == 2)
            v = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3;
        else
            v = PixelIndex(src, x, srcBits);
        SetPixelIndex(dst, x, dstBits, v);
    }
}

int ConvertDepth(LBitmap& b, std::int32_t bits, Budget* budget)
{
    if (bits == 0 || bits == b.BitsPerPixel)
        return LE_SUCCESS;
    if (!ValidDepth(bits))
        return LE_INVALID_BITS;
    if (bits < b.BitsPerPixel)
        return LE_NOT_SUPPORTED;
    LBitmap out;
    int rc = AllocatePixels(out, b.Width, b.Height, bits, bits != 24, budget);
    if (rc != LE_SUCCESS)
        return rc;
    std::uint8_t* dst = FreshBits(out);
    const LRgbQuad* palette = b.Palette();
    for (std::int32_t y = 0; y < b.Height; ++y) {
        if (bits == 24)
            ExpandRowToBgr(b.Row(y), b.BitsPerPixel, palette, b.Width, out.WriteRow(dst, y));
        else
            RepackIndices(b.Row(y), b.BitsPerPixel, b.Width, out.WriteRow(dst, y), bits);
    }
    if (bits <= 8) {
        LRgbQuad* pal = FreshPalette(out);
        std::fill(pal, pal + 256, LRgbQuad{});
        std::copy(palette, palette + b.PaletteSize(), pal);
    }
    out.XResolution = b.XResolution;
    out.YResolution = b.YResolution;
    out.Delay = b.Delay;
    LBitmapAccess::SetRegion(out, LBitmapAccess::RegionPtr(b));
    b = std::move(out);
    return LE_SUCCESS;
}

} // namespace kvimg

// ---- LBitmap members -------------------------------------------------------------------------

void LPixelFree::operator()(std::uint8_t* p) const noexcept { std::free(p); }

const std::uint8_t* LBitmap::Bits() const { return store_ ? store_->bytes.get() : nullptr; }

std::uint8_t* LBitmap::BeginWrite()
{
    if (!IsAllocated())
        return nullptr;
    if (store_.use_count() > 1) {
        auto copy = std::shared_ptr<LPixelStore>(new (std::nothrow) LPixelStore);
        if (!copy)
            return nullptr;
        copy->bytes.reset(kvimg::AllocateBytes(store_->size, false));
        if (!copy->bytes)
            return nullptr;
        std::memcpy(copy->bytes.get(), store_->bytes.get(), store_->size);
        std::memcpy(copy->palette, store_->palette, sizeof copy->palette);
        copy->size = store_->size;
        store_ = std::move(copy);
    }
    store_->generation = kvimg::NextGeneration();
    return store_->bytes.get();
}

const LRgbQuad* LBitmap::Palette() const { return store_ ? store_->palette : nullptr; }

std::int32_t LBitmap::PaletteSize() const
{
    return (BitsPerPixel >= 1 && BitsPerPixel <= 8) ? (1 << BitsPerPixel) : 0;
}

int LBitmap::SetPalette(const LRgbQuad* entries, std::int32_t count)
{
    if (!IsAllocated())
        return LE_NO_BITMAP;
    if (!entries || count < 0 || count > PaletteSize())
        return LE_INVALID_PARAMETER;
    if (!BeginWrite())
        return LE_NO_MEMORY;
    std::copy(entries, entries + count, store_->palette);
    return LE_SUCCESS;
}

bool LBitmap::HasGreyPalette() const
{
    const LRgbQuad* p = Palette();
    if (!p || PaletteSize() == 0)
        return false;
    return std::all_of(p, p + PaletteSize(), [](const LRgbQuad& q) { return q.Red == q.Green && q.Green == q.Blue; });
}

std::uint64_t LBitmap::Generation() const { return store_ ? store_->generation : 0; }

bool LBitmap::SharesPixelsWith(const LBitmap& other) const { return store_ && store_ == other.store_; }

// ---- L_ functions ----------------------------------------------------------------------------

std::int32_t L_BytesPerLine(std::int32_t width, std::int32_t bitsPerPixel)
{
    if (width < 0 || bitsPerPixel < 0)
        return -1;
    const std::uint64_t line = ((std::uint64_t(width) * std::uint64_t(bitsPerPixel) + 31) / 32) * 4;
    return line > 0x7fffffffu ? -1 : std::int32_t(line);
}

int L_InitBitmap(LBitmap* bitmap, std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel)
{
    if (!bitmap)
        return LE_NO_BITMAP;
    if (bitsPerPixel != 0 && bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24)
        return LE_INVALID_BITS;
    if (width < 0 || height < 0 || width > kvimg::kMaxDimension || height > kvimg::kMaxDimension)
        return LE_INVALID_SIZE;
    *bitmap = LBitmap{};
    bitmap->Width = width;
    bitmap->Height = height;
    bitmap->BitsPerPixel = bitsPerPixel;
    bitmap->BytesPerLine = L_BytesPerLine(width, bitsPerPixel);
    return LE_SUCCESS;
}

int L_CreateBitmap(LBitmap* bitmap, std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                   const LRgbQuad* palette, std::int32_t paletteCount)
{
    if (!bitmap)
        return LE_NO_BITMAP;
    const int rc = kvimg::AllocatePixels(*bitmap, width, height, bitsPerPixel, true);
    if (rc != LE_SUCCESS)
        return rc;
    if (palette && bitsPerPixel <= 8) {
        LRgbQuad* pal = kvimg::FreshPalette(*bitmap);
        std::fill(pal, pal + 256, LRgbQuad{});
        std::copy(palette, palette + std::clamp(paletteCount, 0, 1 << bitsPerPixel), pal);
    }
    return LE_SUCCESS;
}

int L_CopyBitmap(LBitmap* dst, const LBitmap* src)
{
    if (!dst || !src || !src->IsAllocated())
        return LE_NO_BITMAP;
    if (dst != src)
        *dst = *src;
    return LE_SUCCESS;
}

int L_CopyBitmapHandle(LBitmap* dst, const LBitmap* src)
{
    if (!dst || !src)
        return LE_NO_BITMAP;
    if (dst != src)
        *dst = *src;
    return LE_SUCCESS;
}

int L_FreeBitmap(LBitmap* bitmap)
{
    if (!bitmap)
        return LE_NO_BITMAP;
    *bitmap = LBitmap{};
    return LE_SUCCESS;
}

int L_VersionInfo(LVersionInfo* info)
{
    if (!info)
        return LE_INVALID_PARAMETER;
    info->Product = "Korvanta imaging kernel";
    info->MajorNumber = 1;
    info->MinorNumber = 0;
    info->Date = "2024-06-01";
    info->Time = "00:00:00";
    return LE_SUCCESS;
}
