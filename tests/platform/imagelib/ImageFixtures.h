#pragma once
// Fixture pictures for the kernel tests, made in memory: by the kernel's own savers, by hand
// (BMP variants, Exif blocks) or by libjpeg, libpng, libtiff and giflib directly.
#include "platform/imagelib/imagelib.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fixtures {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder for the calling test (with a trailing slash).
std::string TempDir();
void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// Names in a folder (without "." and ".."), sorted.
std::vector<std::string> ListDir(const std::string& dir);

// A 24-bit bitmap whose pixel (x, y) is Pattern(x, y).
struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
Rgb Pattern(std::int32_t x, std::int32_t y);
LBitmap MakeRgb(std::int32_t w, std::int32_t h, const std::function<Rgb(std::int32_t, std::int32_t)>& f = Pattern);
// A palette bitmap with index (x + 3y) mod 2^bits and a palette of distinct colours.
LBitmap MakeIndexed(std::int32_t w, std::int32_t h, std::int32_t bits);
LRgbQuad PaletteColour(std::int32_t bits, std::int32_t index);
// Colour of the picture as seen at (x, y) (palette looked up, view perspective applied).
Rgb PixelAt(const LBitmap& b, std::int32_t x, std::int32_t y);
// Largest channel difference over the picture between two bitmaps of the same view size.
int MaxDifference(const LBitmap& a, const LBitmap& b);

// Saved by the kernel.
Bytes Saved(const LBitmap& b, std::int32_t format, std::int32_t bits = 0, std::int32_t qFactor = 2);

// JPEG written by libjpeg: components 1 (grey), 3 (YCbCr with sampling h x v of the first
// component) or 4 (CMYK; adobeInverted writes an Adobe marker with inverted values).
struct JpegSpec {
    std::int32_t width = 32, height = 24;
    int components = 3;
    int hSamp = 2, vSamp = 2;
    bool progressive = false;
    bool adobeInverted = false;
    std::uint8_t cmyk[4] = {0, 0, 0, 0}; // the one CMYK colour of a 4-component picture (ink amounts)
};
Bytes MakeJpeg(const JpegSpec& recipe);
// The JPEG with an Exif APP1 block carrying the orientation inserted after SOI.
Bytes WithExifOrientation(const Bytes& jpeg, int orientation, bool bigEndian);

// BMP variants written by hand.
enum class BmpKind { Rle8, Rle4, TopDown24, Os2v1_8, Bitfields16_565, Bitfields32, Plain32, Plain16 };
Bytes MakeBmp(BmpKind kind, std::int32_t w, std::int32_t h);

// TIFF through libtiff. Each page is w x h; compression is a libtiff COMPRESSION_* value.
struct TiffPageSpec {
    std::int32_t width = 16, height = 12;
    int compression = 1;
    int bitsPerSample = 8;
    int samples = 3;
    int photometric = 2; // PHOTOMETRIC_RGB
    int orientation = 1;
    bool tiled = false;
    std::uint32_t group3Options = 0; // TIFFTAG_GROUP3OPTIONS for CCITT G3
    std::uint8_t fill = 0; // shifts the pattern, to tell pages apart
};
Bytes MakeTiff(const std::vector<TiffPageSpec>& pages);

// GIF through giflib: frames with their rectangle, colour table, transparency and disposal.
struct GifFrame {
    std::int32_t left = 0, top = 0, width = 4, height = 4;
    std::uint8_t index = 1;         // every pixel of the frame
    int transparent = -1;
    int disposal = 0;
    bool localTable = false;        // a local table with colour `index` = LocalColour
    int delay = 10;                 // hundredths of a second
    bool interlaced = false;        // interlaced rows; row y then has index y % 4
};
inline constexpr Rgb kGifGlobal[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
inline constexpr Rgb kGifLocal{255, 255, 0};
Bytes MakeGif(std::int32_t w, std::int32_t h, const std::vector<GifFrame>& frames, int loopCount = -1,
              std::uint8_t background = 0);

// PNG through libpng.
struct PngSpec {
    std::int32_t width = 8, height = 6;
    int colorType = 2; // PNG_COLOR_TYPE_RGB
    int bitDepth = 8;
    bool interlaced = false;
    bool trns = false;  // palette: entry 0 half transparent; grey/RGB: value 0 transparent
    std::uint8_t alpha = 255; // alpha of every pixel for the alpha types
};
Bytes MakePng(const PngSpec& recipe);

} // namespace fixtures
