#pragma once
// Kernel-private pieces shared by the processing calls (Resize.cpp, Transform.cpp,
// Filters.cpp, Compose.cpp, Effects.cpp).
#include "platform/imagelib/ImageInternal.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

namespace kvimg {

// ITU-R BT.601 luma of a colour, rounded (0.299 R + 0.587 G + 0.114 B).
inline std::uint8_t Luma(unsigned r, unsigned g, unsigned b)
{
    return std::uint8_t((19595u * r + 38470u * g + 7471u * b + 32768u) >> 16);
}
inline std::uint8_t ClampByte(int v) { return std::uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// The bitmap stored top-left (re-stored when it has another view perspective).
int MakeUpright(LBitmap& b);
// The bitmap made ready for an operation that computes colours, stored top-left: 24 bits stay;
// an 8-bit grey bitmap keeps 8 bits with the plain grey ramp (index = grey level); anything
// else becomes 24 bits. allowGrey false makes every bitmap 24 bits.
int PrepareColourWork(LBitmap& b, bool allowGrey = true);
// to takes from's resolution and animation delay, with palette its palette (8 bits or fewer),
// with region its region as it stands.
inline void TakeAttributes(const LBitmap& from, LBitmap& to, bool palette, bool region)
{
    to.XResolution = from.XResolution;
    to.YResolution = from.YResolution;
    to.Delay = from.Delay;
    if (palette && from.PaletteSize() > 0 && to.PaletteSize() > 0)
        std::copy(from.Palette(), from.Palette() + 256, FreshPalette(to));
    if (region)
        LBitmapAccess::SetRegion(to, LBitmapAccess::RegionPtr(from));
}
// Bytes per pixel of a bitmap PrepareColourWork made ready: 3 or 1.
inline int ChannelsOf(const LBitmap& b) { return b.BitsPerPixel == 24 ? 3 : 1; }

// Progress of a call over `total` steps through the status callback, at most about a hundred
// reports. Step returns 1 to go on, else the code to stop with.
class StatusSteps {
public:
    explicit StatusSteps(std::int64_t total) : total_(total > 0 ? total : 1) {}
    int Step(std::int64_t done)
    {
        const auto percent = std::int32_t(done * 100 / total_);
        if (percent == last_)
            return LE_SUCCESS;
        last_ = percent;
        return ReportStatus(percent);
    }

private:
    std::int64_t total_;
    std::int32_t last_ = -1;
};

// A region for a new w x h bitmap: pixel (x, y) is inside when source(x, y) names a pixel
// inside old. source returns false for pixels with no source. nullptr when nothing is inside.
// box (new coordinates) bounds where inside pixels can lie.
using RegionSource = std::function<bool(std::int32_t, std::int32_t, std::int32_t&, std::int32_t&)>;
std::shared_ptr<const LRegion> MapRegion(const LRegion& old, std::int32_t w, std::int32_t h, const RegionSource& source,
                                         const LRect& box);
std::shared_ptr<const LRegion> MapRegion(const LRegion& old, std::int32_t w, std::int32_t h, const RegionSource& source);

// Separable resampling of interleaved 8-bit samples (channels 1, 3 or 4 bytes per pixel; with
// 4 the fourth byte is resampled too). filter: LSIZE_RESAMPLE (triangle) or LSIZE_BICUBIC
// (Catmull-Rom); when shrinking the filter widens with the scale. Weights of each output
// pixel sum exactly to one, so a uniform picture stays uniform. status may be null. Returns 1,
// LE_NO_MEMORY or the status callback's code.
int ResamplePixels(const std::uint8_t* src, std::int32_t srcW, std::int32_t srcH, std::int32_t srcLine,
                   int channels, std::uint8_t* dst, std::int32_t dstW, std::int32_t dstH, std::int32_t dstLine,
                   std::uint32_t filter, StatusSteps* status);

} // namespace kvimg
