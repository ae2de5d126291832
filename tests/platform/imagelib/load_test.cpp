// Loading: every format and depth with its format number, content sniffing, orientation,
// pages, callbacks, feeds, the decode hint and the failure codes.
#include "ImageFixtures.h"

#include "platform/imagelib/ImageInternal.h"

#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <stdexcept>

using namespace fixtures;

namespace {

struct Loaded {
    int rc = 0;
    LBitmap bitmap;
    LFileInfo info;
};

Loaded LoadMemory(const Bytes& data, std::int32_t page = 1, std::int32_t bits = 0)
{
    Loaded l;
    LLoadOptions o;
    o.PageNumber = page;
    l.rc = L_LoadBitmapMemory(data.data(), data.size(), &l.bitmap, bits, LORDER_BGR, &o, &l.info);
    return l;
}

using Expect = std::function<Rgb(std::int32_t, std::int32_t)>;

Rgb Grey(std::uint8_t v) { return Rgb{v, v, v}; }
Rgb FromQuad(const LRgbQuad& q) { return Rgb{q.Red, q.Green, q.Blue}; }
Rgb IndexColour(std::int32_t bits, std::int32_t x, std::int32_t y)
{
    return FromQuad(PaletteColour(bits, (x + 3 * y) % (1 << bits)));
}
Rgb Ramp(std::int32_t bits, std::int32_t x, std::int32_t y)
{
    const int n = 1 << bits;
    return Grey(std::uint8_t(((x + 3 * y) % n) * 255 / (n - 1)));
}
std::uint8_t OnWhite(std::uint8_t c, std::uint8_t a) { return std::uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

struct FormatCase {
    const char* name;
    std::function<Bytes()> make;
    std::int32_t format, width, height, bits, pages;
    const char* compression;
    Expect pixel;        // expected colour, or empty for no pixel check
    int tolerance = 0;
};

TiffPageSpec TiffSpec(int compression, int bps, int samples, int photometric)
{
    TiffPageSpec s;
    s.compression = compression;
    s.bitsPerSample = bps;
    s.samples = samples;
    s.photometric = photometric;
    return s;
}

std::vector<FormatCase> FormatCases()
{
    const Expect pattern = Pattern;
    auto tiff = [](TiffPageSpec s) { return [s] { return MakeTiff({s}); }; };
    auto png = [](int type, int depth, bool interlaced = false, bool trns = false, std::uint8_t alpha = 255) {
        return [=] {
            PngSpec s;
            s.colorType = type;
            s.bitDepth = depth;
            s.interlaced = interlaced;
            s.trns = trns;
            s.alpha = alpha;
            return MakePng(s);
        };
    };
    auto jpeg = [](int components, int h, int v, bool progressive = false, bool adobe = false) {
        return [=] {
            JpegSpec s;
            s.components = components;
            s.hSamp = h;
            s.vSamp = v;
            s.progressive = progressive;
            s.adobeInverted = adobe;
            s.cmyk[0] = 255; // full cyan
            return MakeJpeg(s);
        };
    };
    TiffPageSpec g3_2d = TiffSpec(COMPRESSION_CCITTFAX3, 1, 1, PHOTOMETRIC_MINISWHITE);
    g3_2d.group3Options = GROUP3OPT_2DENCODING;
    TiffPageSpec tiled = TiffSpec(COMPRESSION_NONE, 8, 3, PHOTOMETRIC_RGB);
    tiled.tiled = true;
    tiled.width = 20;
    tiled.height = 18;
    const Expect bilevel = [](std::int32_t x, std::int32_t y) { return Grey((x + 3 * y) % 2 ? 0 : 255); };
    const Expect cyan = [](std::int32_t, std::int32_t) { return Rgb{0, 255, 255}; };

    return {
        // JPEG: the sampling gives the format number.
        {"jpeg 4:4:4", [] { return Saved(MakeRgb(32, 24), LFMT_JFIF); }, 10, 32, 24, 24, 1, "JPEG 4:4:4", pattern, 40},
        {"jpeg 4:2:2", [] { return Saved(MakeRgb(32, 24), LFMT_JPEG_422); }, 23, 32, 24, 24, 1, "JPEG 4:2:2", {}},
        {"jpeg 4:2:0", jpeg(3, 2, 2), 21, 32, 24, 24, 1, "JPEG 4:2:0", {}},
        {"jpeg 4:1:1", jpeg(3, 4, 1), 21, 32, 24, 24, 1, "JPEG 4:1:1", {}},
        {"jpeg grey", jpeg(1, 1, 1), 10, 32, 24, 8, 1, "JPEG grey",
         [](std::int32_t x, std::int32_t y) { return Grey(Pattern(x, y).g); }, 30},
        {"jpeg progressive", jpeg(3, 2, 2, true), 21, 32, 24, 24, 1, "Progressive JPEG 4:2:0", {}},
        {"jpeg cmyk", jpeg(4, 1, 1), 10, 32, 24, 24, 1, "JPEG CMYK", cyan, 4},
        {"jpeg adobe cmyk", jpeg(4, 1, 1, false, true), 10, 32, 24, 24, 1, "JPEG CMYK", cyan, 4},
        // BMP
        {"bmp 1", [] { return Saved(MakeIndexed(13, 5, 1), LFMT_BMP); }, 6, 13, 5, 1, 1, "Uncompressed",
         [](std::int32_t x, std::int32_t y) { return IndexColour(1, x, y); }},
        {"bmp 4", [] { return Saved(MakeIndexed(13, 5, 4), LFMT_BMP); }, 6, 13, 5, 4, 1, "Uncompressed",
         [](std::int32_t x, std::int32_t y) { return IndexColour(4, x, y); }},
        {"bmp 8", [] { return Saved(MakeIndexed(13, 5, 8), LFMT_BMP); }, 6, 13, 5, 8, 1, "Uncompressed",
         [](std::int32_t x, std::int32_t y) { return IndexColour(8, x, y); }},
        {"bmp 24", [] { return Saved(MakeRgb(13, 5), LFMT_BMP); }, 6, 13, 5, 24, 1, "Uncompressed", pattern},
        {"bmp rle8", [] { return MakeBmp(BmpKind::Rle8, 13, 5); }, 84, 13, 5, 8, 1, "RLE8",
         [](std::int32_t x, std::int32_t y) { return IndexColour(8, x, y); }},
        {"bmp rle4", [] { return MakeBmp(BmpKind::Rle4, 13, 5); }, 84, 13, 5, 4, 1, "RLE4",
         [](std::int32_t x, std::int32_t y) { return IndexColour(4, x, y); }},
        {"bmp top-down", [] { return MakeBmp(BmpKind::TopDown24, 13, 5); }, 6, 13, 5, 24, 1, "Uncompressed", pattern},
        {"bmp os/2 1.x", [] { return MakeBmp(BmpKind::Os2v1_8, 13, 5); }, 14, 13, 5, 8, 1, "Uncompressed",
         [](std::int32_t x, std::int32_t y) { return IndexColour(8, x, y); }},
        {"bmp bitfields 565", [] { return MakeBmp(BmpKind::Bitfields16_565, 13, 5); }, 6, 13, 5, 24, 1, "Bitfields",
         pattern, 8},
        {"bmp bitfields 32", [] { return MakeBmp(BmpKind::Bitfields32, 13, 5); }, 6, 13, 5, 24, 1, "Bitfields", pattern},
        {"bmp 32", [] { return MakeBmp(BmpKind::Plain32, 13, 5); }, 6, 13, 5, 24, 1, "Uncompressed", pattern},
        {"bmp 16", [] { return MakeBmp(BmpKind::Plain16, 13, 5); }, 6, 13, 5, 24, 1, "Uncompressed", pattern, 8},
        // GIF
        {"gif", [] { return MakeGif(6, 4, {GifFrame{0, 0, 6, 4, 1}}); }, 2, 6, 4, 8, 1, "LZW",
         [](std::int32_t, std::int32_t) { return kGifGlobal[1]; }},
        // TIFF
        {"tiff rgb", tiff(TiffSpec(COMPRESSION_NONE, 8, 3, PHOTOMETRIC_RGB)), 3, 16, 12, 24, 1, "Uncompressed", pattern},
        {"tiff lzw", tiff(TiffSpec(COMPRESSION_LZW, 8, 3, PHOTOMETRIC_RGB)), 17, 16, 12, 24, 1, "LZW", pattern},
        {"tiff packbits", tiff(TiffSpec(COMPRESSION_PACKBITS, 8, 3, PHOTOMETRIC_RGB)), 87, 16, 12, 24, 1, "PackBits",
         pattern},
        {"tiff deflate", tiff(TiffSpec(COMPRESSION_ADOBE_DEFLATE, 8, 3, PHOTOMETRIC_RGB)), 3, 16, 12, 24, 1, "Deflate",
         pattern},
        {"tiff jpeg", tiff(TiffSpec(COMPRESSION_JPEG, 8, 3, PHOTOMETRIC_RGB)), 11, 16, 12, 24, 1, "JPEG", {}},
        {"tiff ccitt rle", tiff(TiffSpec(COMPRESSION_CCITTRLE, 1, 1, PHOTOMETRIC_MINISWHITE)), 25, 16, 12, 1, 1,
         "CCITT RLE", bilevel},
        {"tiff g3 1d", tiff(TiffSpec(COMPRESSION_CCITTFAX3, 1, 1, PHOTOMETRIC_MINISWHITE)), 27, 16, 12, 1, 1,
         "CCITT G3 1D", bilevel},
        {"tiff g3 2d", tiff(g3_2d), 28, 16, 12, 1, 1, "CCITT G3 2D", bilevel},
        {"tiff g4", tiff(TiffSpec(COMPRESSION_CCITTFAX4, 1, 1, PHOTOMETRIC_MINISWHITE)), 29, 16, 12, 1, 1, "CCITT G4",
         bilevel},
        {"tiff palette 8", tiff(TiffSpec(COMPRESSION_LZW, 8, 1, PHOTOMETRIC_PALETTE)), 17, 16, 12, 8, 1, "LZW",
         [](std::int32_t x, std::int32_t y) { return IndexColour(8, x, y); }},
        {"tiff palette 4", tiff(TiffSpec(COMPRESSION_NONE, 4, 1, PHOTOMETRIC_PALETTE)), 3, 16, 12, 4, 1,
         "Uncompressed", [](std::int32_t x, std::int32_t y) { return IndexColour(4, x, y); }},
        {"tiff grey 2", tiff(TiffSpec(COMPRESSION_NONE, 2, 1, PHOTOMETRIC_MINISBLACK)), 3, 16, 12, 4, 1,
         "Uncompressed", [](std::int32_t x, std::int32_t y) { return Ramp(2, x, y); }},
        {"tiff grey 16", tiff(TiffSpec(COMPRESSION_NONE, 16, 1, PHOTOMETRIC_MINISBLACK)), 3, 16, 12, 8, 1,
         "Uncompressed", [](std::int32_t x, std::int32_t y) { return Grey(Pattern(x, y).g); }},
        {"tiff rgb 16", tiff(TiffSpec(COMPRESSION_LZW, 16, 3, PHOTOMETRIC_RGB)), 17, 16, 12, 24, 1, "LZW", pattern},
        {"tiff cmyk", tiff(TiffSpec(COMPRESSION_NONE, 8, 4, PHOTOMETRIC_SEPARATED)), 85, 16, 12, 24, 1,
         "Uncompressed", pattern, 1},
        {"tiff cmyk lzw", tiff(TiffSpec(COMPRESSION_LZW, 8, 4, PHOTOMETRIC_SEPARATED)), 86, 16, 12, 24, 1, "LZW",
         pattern, 1},
        {"tiff ycbcr", tiff(TiffSpec(COMPRESSION_NONE, 8, 3, PHOTOMETRIC_YCBCR)), 93, 16, 12, 24, 1, "Uncompressed",
         [](std::int32_t x, std::int32_t y) { return Grey(Pattern(x, y).g); }, 3},
        {"tiff tiled", tiff(tiled), 3, 20, 18, 24, 1, "Uncompressed", pattern},
        // PNG: 16 bits reduced to 8, transparency on white.
        {"png rgb", png(PNG_COLOR_TYPE_RGB, 8), 75, 8, 6, 24, 1, "Deflate", pattern},
        {"png rgb 16", png(PNG_COLOR_TYPE_RGB, 16), 75, 8, 6, 24, 1, "Deflate", pattern},
        {"png interlaced", png(PNG_COLOR_TYPE_RGB, 8, true), 75, 8, 6, 24, 1, "Deflate, interlaced", pattern},
        {"png rgba", png(PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false, 100), 75, 8, 6, 24, 1, "Deflate",
         [](std::int32_t x, std::int32_t y) {
             const Rgb p = Pattern(x, y);
             return Rgb{OnWhite(p.r, 100), OnWhite(p.g, 100), OnWhite(p.b, 100)};
         }, 1},
        {"png rgba interlaced", png(PNG_COLOR_TYPE_RGB_ALPHA, 16, true, false, 0), 75, 8, 6, 24, 1,
         "Deflate, interlaced", [](std::int32_t, std::int32_t) { return Grey(255); }},
        {"png grey alpha", png(PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false, 0), 75, 8, 6, 8, 1, "Deflate",
         [](std::int32_t, std::int32_t) { return Grey(255); }},
        {"png grey", png(PNG_COLOR_TYPE_GRAY, 8), 75, 8, 6, 8, 1, "Deflate",
         [](std::int32_t x, std::int32_t y) { return Grey(Pattern(x, y).g); }},
        {"png grey 2", png(PNG_COLOR_TYPE_GRAY, 2), 75, 8, 6, 4, 1, "Deflate",
         [](std::int32_t x, std::int32_t y) { return Ramp(2, x, y); }},
        {"png grey 1", png(PNG_COLOR_TYPE_GRAY, 1), 75, 8, 6, 1, 1, "Deflate",
         [](std::int32_t x, std::int32_t y) { return Ramp(1, x, y); }},
        {"png palette trns", png(PNG_COLOR_TYPE_PALETTE, 8, false, true), 75, 8, 6, 8, 1, "Deflate",
         [](std::int32_t x, std::int32_t y) {
             static const Rgb colours[4] = {{255, 127, 127}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
             return colours[(x + y) % 4]; // entry 0 (red) half transparent, on white
         }, 1},
        {"png palette 4", png(PNG_COLOR_TYPE_PALETTE, 4), 75, 8, 6, 4, 1, "Deflate", {}},
    };
}

void CheckPixels(const FormatCase& c, const LBitmap& b)
{
    if (!c.pixel)
        return;
    for (std::int32_t y = 0; y < b.Height; ++y)
        for (std::int32_t x = 0; x < b.Width; ++x) {
            const Rgb got = PixelAt(b, x, y), want = c.pixel(x, y);
            ASSERT_LE(std::abs(got.r - want.r), c.tolerance) << x << "," << y;
            ASSERT_LE(std::abs(got.g - want.g), c.tolerance) << x << "," << y;
            ASSERT_LE(std::abs(got.b - want.b), c.tolerance) << x << "," << y;
        }
}

} // namespace

TEST(LoadFormats, EveryFormatAndDepthLoadsWithItsFormatNumber)
{
    for (const FormatCase& c : FormatCases()) {
        SCOPED_TRACE(c.name);
        const Bytes data = c.make();
        LFileInfo info;
        ASSERT_EQ(L_FileInfoMemory(data.data(), data.size(), &info, 0, nullptr), LE_SUCCESS);
        EXPECT_EQ(info.Format, c.format);
        EXPECT_EQ(info.Width, c.width);
        EXPECT_EQ(info.Height, c.height);
        EXPECT_EQ(info.BitsPerPixel, c.bits);
        EXPECT_EQ(info.TotalPages, c.pages);
        EXPECT_EQ(info.Compression, c.compression);
        EXPECT_EQ(info.SizeDisk, std::int64_t(data.size()));
        Loaded l = LoadMemory(data);
        ASSERT_EQ(l.rc, LE_SUCCESS);
        EXPECT_EQ(l.bitmap.Width, c.width);
        EXPECT_EQ(l.bitmap.Height, c.height);
        EXPECT_EQ(l.bitmap.BitsPerPixel, c.bits);
        EXPECT_EQ(l.bitmap.ViewPerspective, LVP_TOP_LEFT);
        EXPECT_EQ(l.info.Format, c.format);
        CheckPixels(c, l.bitmap);
    }
}

TEST(LoadFormats, TheContentDecidesNeverTheName)
{
    // Every picture saved under a JPEG name (as prev.jpg may hold a BMP) loads as what it is.
    const std::string dir = TempDir();
    for (const FormatCase& c : FormatCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "prev.jpg";
        WriteFile(path, c.make());
        LFileInfo info;
        ASSERT_EQ(L_FileInfo(path.c_str(), &info, 0, nullptr), LE_SUCCESS);
        EXPECT_EQ(info.Format, c.format);
        LBitmap b;
        ASSERT_EQ(L_LoadFile(path.c_str(), &b, 0, LORDER_BGR_OR_GRAY, LLF_ALLOCATE | LLF_STORE, nullptr, nullptr,
                             nullptr, nullptr),
                  LE_SUCCESS);
        EXPECT_EQ(b.Width, c.width);
        CheckPixels(c, b);
    }
}

TEST(LoadFormats, GreyJpegIsEightBitsWithAGreyPalette)
{
    JpegSpec s;
    s.components = 1;
    Loaded l = LoadMemory(MakeJpeg(s));
    ASSERT_EQ(l.rc, LE_SUCCESS);
    EXPECT_EQ(l.bitmap.BitsPerPixel, 8);
    EXPECT_TRUE(l.bitmap.HasGreyPalette());
}

// ---- failures --------------------------------------------------------------------------------

TEST(LoadFailures, FilesThatAreNotPicturesGiveTheirCodes)
{
    const std::string dir = TempDir();
    WriteFile(dir + "empty.jpg", {});
    const std::string text = "Dies ist kein Bild, nur Text.\n";
    WriteFile(dir + "text.jpg", Bytes(text.begin(), text.end()));
    std::mt19937 rng(7);
    Bytes noise(4096);
    for (auto& b : noise)
        b = std::uint8_t(rng());
    noise[0] = 0x42; // keep clear of a signature by chance
    WriteFile(dir + "noise.jpg", noise);
    WriteFile(dir + "afile", {1, 2, 3});
    struct Case {
        std::string path;
        int rc;
    } cases[] = {
        {dir + "missing.jpg", LE_FILE_NOT_FOUND}, {dir + "afile/inside.jpg", LE_FILE_NOT_FOUND},
        {dir, LE_FILE_OPEN},                      {dir + "empty.jpg", LE_FILE_FORMAT},
        {dir + "text.jpg", LE_FILE_FORMAT},       {dir + "noise.jpg", LE_FILE_FORMAT},
        {"", LE_INVALID_FILENAME},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        LFileInfo info;
        EXPECT_EQ(L_FileInfo(c.path.c_str(), &info, 0, nullptr), c.rc);
        LBitmap b = MakeRgb(2, 2);
        EXPECT_EQ(L_LoadFile(c.path.c_str(), &b, 0, LORDER_BGR, 0, nullptr, nullptr, nullptr, nullptr), c.rc);
        EXPECT_FALSE(b.IsAllocated());
    }
}

namespace {
std::vector<std::pair<const char*, Bytes>> OneOfEach()
{
    TiffPageSpec t = TiffSpec(COMPRESSION_LZW, 8, 3, PHOTOMETRIC_RGB);
    t.width = 64;
    t.height = 64;
    PngSpec p;
    p.width = 64;
    p.height = 64;
    JpegSpec progressive;
    progressive.width = progressive.height = 64;
    progressive.progressive = true;
    return {
        {"jpeg", Saved(MakeRgb(64, 64), LFMT_JFIF)},
        {"progressive jpeg", MakeJpeg(progressive)},
        {"bmp", Saved(MakeRgb(64, 64), LFMT_BMP)},
        {"bmp rle", MakeBmp(BmpKind::Rle8, 64, 64)},
        {"gif", MakeGif(64, 64, {GifFrame{0, 0, 64, 64, 1}})},
        {"tiff", MakeTiff({t})},
        {"png", MakePng(p)},
    };
}
} // namespace

TEST(LoadFailures, TruncatedDataGivesAReadErrorAndNoBitmap)
{
    for (const auto& [name, whole] : OneOfEach()) {
        SCOPED_TRACE(name);
        // The TIFF loses its directory (libtiff writes it last).
        const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() * 6 / 10));
        LBitmap b = MakeRgb(2, 2);
        EXPECT_EQ(L_LoadBitmapMemory(cut.data(), cut.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_FILE_READ);
        EXPECT_FALSE(b.IsAllocated());
        const std::string path = TempDir() + "cut.jpg";
        WriteFile(path, cut);
        b = MakeRgb(2, 2);
        EXPECT_EQ(L_LoadFile(path.c_str(), &b, 0, LORDER_BGR, 0, nullptr, nullptr, nullptr, nullptr), LE_FILE_READ);
        EXPECT_FALSE(b.IsAllocated());
    }
}

TEST(LoadFailures, EveryPrefixOfEveryFormatFailsCleanly)
{
    for (const auto& [name, whole] : OneOfEach()) {
        SCOPED_TRACE(name);
        for (std::size_t n = 0; n < whole.size(); n += 1 + whole.size() / 97) {
            LBitmap b;
            const int rc = L_LoadBitmapMemory(whole.data(), n, &b, 0, LORDER_BGR, nullptr, nullptr);
            // Only the last bytes (end markers, trailing chunks) may go missing unnoticed.
            if (rc == LE_SUCCESS) {
                EXPECT_GE(n + 16, whole.size()) << n;
                continue;
            }
            EXPECT_TRUE(rc == LE_FILE_READ || rc == LE_FILE_FORMAT) << n << ": " << rc;
            EXPECT_FALSE(b.IsAllocated());
        }
    }
}

namespace {
// Patches the width and height fields of a picture to 60000 x 60000 (checksums renewed).
Bytes Huge(const char* kind, Bytes b)
{
    const std::string k = kind;
    if (k == "jpeg") {
        for (std::size_t i = 2; i + 9 < b.size(); ++i)
            if (b[i] == 0xff && (b[i + 1] == 0xc0 || b[i + 1] == 0xc2)) {
                b[i + 5] = b[i + 7] = 60000 >> 8;
                b[i + 6] = b[i + 8] = 60000 & 0xff;
                break;
            }
    } else if (k == "bmp") {
        const std::uint32_t v = 60000;
        std::memcpy(b.data() + 18, &v, 4);
        std::memcpy(b.data() + 22, &v, 4);
    } else if (k == "png") {
        const std::uint8_t v[4] = {0, 0, 60000 >> 8, 60000 & 0xff};
        std::memcpy(b.data() + 16, v, 4);
        std::memcpy(b.data() + 20, v, 4);
        const std::uint32_t crc = std::uint32_t(crc32(0, b.data() + 12, 17));
        const std::uint8_t c[4] = {std::uint8_t(crc >> 24), std::uint8_t(crc >> 16), std::uint8_t(crc >> 8),
                                   std::uint8_t(crc)};
        std::memcpy(b.data() + 29, c, 4);
    } else if (k == "gif") {
        b[6] = b[8] = 60000 & 0xff;
        b[7] = b[9] = 60000 >> 8;
    } else if (k == "tiff") {
        // Little-endian classic TIFF: patch tags 256 and 257 of the first directory.
        std::uint32_t ifd;
        std::memcpy(&ifd, b.data() + 4, 4);
        std::uint16_t count;
        std::memcpy(&count, b.data() + ifd, 2);
        for (std::uint16_t i = 0; i < count; ++i) {
            std::uint8_t* e = b.data() + ifd + 2 + 12 * i;
            std::uint16_t tag, type;
            std::memcpy(&tag, e, 2);
            std::memcpy(&type, e + 2, 2);
            if (tag == 256 || tag == 257) {
                const std::uint32_t v = 60000;
                if (type == 3)
                    std::memcpy(e + 8, &v, 2);
                else
                    std::memcpy(e + 8, &v, 4);
            }
        }
    }
    return b;
}
} // namespace

TEST(LoadFailures, HugeDeclaredSizesAreRefusedBeforeAnythingIsAllocated)
{
    for (const auto& [name, whole] : OneOfEach()) {
        if (std::string(name) == "bmp rle" || std::string(name) == "progressive jpeg")
            continue;
        SCOPED_TRACE(name);
        const Bytes huge = Huge(name, whole);
        LFileInfo info;
        EXPECT_EQ(L_FileInfoMemory(huge.data(), huge.size(), &info, 0, nullptr), LE_NO_MEMORY);
        LBitmap b;
        EXPECT_EQ(L_LoadBitmapMemory(huge.data(), huge.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_NO_MEMORY);
        EXPECT_FALSE(b.IsAllocated());
    }
}

TEST(LoadFailures, BadArgumentsAndDepths)
{
    const Bytes bmp4 = Saved(MakeIndexed(6, 3, 4), LFMT_BMP);
    const Bytes rgb = Saved(MakeRgb(6, 3), LFMT_BMP);
    struct Case {
        const Bytes* data;
        std::int32_t bits, order;
        int rc;
        std::int32_t gotBits;
    } cases[] = {
        {&bmp4, 24, LORDER_BGR, LE_SUCCESS, 24}, {&bmp4, 8, LORDER_BGR, LE_SUCCESS, 8},
        {&bmp4, 4, LORDER_BGR, LE_SUCCESS, 4},   {&bmp4, 1, LORDER_BGR, LE_NOT_SUPPORTED, 0},
        {&rgb, 8, LORDER_BGR, LE_NOT_SUPPORTED, 0}, {&rgb, 16, LORDER_BGR, LE_INVALID_BITS, 0},
        {&rgb, 0, 0, LE_INVALID_PARAMETER, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, order " << c.order);
        LBitmap b;
        EXPECT_EQ(L_LoadBitmapMemory(c.data->data(), c.data->size(), &b, c.bits, c.order, nullptr, nullptr), c.rc);
        EXPECT_EQ(b.BitsPerPixel, c.gotBits);
        if (c.rc == LE_SUCCESS) {
            for (std::int32_t x = 0; x < 6; ++x)
                EXPECT_EQ(PixelAt(b, x, 2), IndexColour(4, x, 2));
        }
    }
}

// ---- orientation -----------------------------------------------------------------------------

namespace {
// An upright picture of four coloured quarters, 48 x 32.
Rgb Quarters(std::int32_t x, std::int32_t y)
{
    static const Rgb q[4] = {{230, 30, 30}, {30, 230, 30}, {30, 30, 230}, {230, 230, 30}};
    return q[(x >= 24 ? 1 : 0) + (y >= 16 ? 2 : 0)];
}

// The stored pixels a camera writes for `orientation` when the upright picture is `upright`.
LBitmap StoredFor(const LBitmap& upright, int orientation)
{
    std::int32_t vp = L_ViewPerspectiveFromOrientation(orientation);
    vp = vp == LVP_RIGHT_TOP ? LVP_LEFT_BOTTOM : (vp == LVP_LEFT_BOTTOM ? LVP_RIGHT_TOP : vp);
    LBitmap stored;
    EXPECT_EQ(kvimg::RenderView(upright, vp, stored), LE_SUCCESS);
    return stored;
}

void ExpectQuarters(const LBitmap& b)
{
    ASSERT_EQ(b.Width, 48);
    ASSERT_EQ(b.Height, 32);
    EXPECT_EQ(b.ViewPerspective, LVP_TOP_LEFT);
    for (auto [x, y] : {std::pair{8, 8}, std::pair{40, 8}, std::pair{8, 24}, std::pair{40, 24}}) {
        const Rgb got = PixelAt(b, x, y), want = Quarters(x, y);
        EXPECT_NEAR(got.r, want.r, 12) << x << "," << y;
        EXPECT_NEAR(got.g, want.g, 12) << x << "," << y;
        EXPECT_NEAR(got.b, want.b, 12) << x << "," << y;
    }
}
} // namespace

TEST(Orientation, ExifOrientationTurnsJpegsUprightInBothByteOrders)
{
    const LBitmap upright = MakeRgb(48, 32, Quarters);
    for (bool bigEndian : {false, true})
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(testing::Message() << "orientation " << orientation << (bigEndian ? " MM" : " II"));
            const LBitmap stored = StoredFor(upright, orientation);
            const Bytes file = WithExifOrientation(Saved(stored, LFMT_JFIF), orientation, bigEndian);
            LFileInfo info;
            ASSERT_EQ(L_FileInfoMemory(file.data(), file.size(), &info, 0, nullptr), LE_SUCCESS);
            EXPECT_EQ(info.Width, 48);
            EXPECT_EQ(info.Height, 32);
            EXPECT_EQ(info.Orientation, orientation);
            Loaded l = LoadMemory(file);
            ASSERT_EQ(l.rc, LE_SUCCESS);
            ExpectQuarters(l.bitmap);
        }
}

TEST(Orientation, PicturesWithoutTheTagLoadAsStored)
{
    const LBitmap stored = MakeRgb(48, 32, Quarters);
    Loaded l = LoadMemory(Saved(stored, LFMT_JFIF));
    ASSERT_EQ(l.rc, LE_SUCCESS);
    EXPECT_EQ(l.info.Orientation, 1);
    ExpectQuarters(l.bitmap);
    // Damaged Exif blocks are ignored, never read past.
    Bytes damaged = WithExifOrientation(Saved(stored, LFMT_JFIF), 6, false);
    damaged[4 + 2 + 6 + 4] = 0xff; // the IFD offset points far outside the block
    l = LoadMemory(damaged);
    ASSERT_EQ(l.rc, LE_SUCCESS);
    ExpectQuarters(l.bitmap);
}

TEST(Orientation, TiffOrientationTagTurnsThePageAndRowsArriveUpright)
{
    TiffPageSpec s = TiffSpec(COMPRESSION_NONE, 8, 3, PHOTOMETRIC_RGB);
    s.width = 10;
    s.height = 4;
    s.orientation = ORIENTATION_RIGHTTOP; // 6
    const Bytes file = MakeTiff({s});
    LFileInfo info;
    ASSERT_EQ(L_FileInfoMemory(file.data(), file.size(), &info, 0, nullptr), LE_SUCCESS);
    EXPECT_EQ(info.Width, 4);
    EXPECT_EQ(info.Height, 10);
    struct Seen {
        std::vector<std::uint8_t> firstRow;
    } seen;
    const std::string path = TempDir() + "turned.tif";
    WriteFile(path, file);
    LBitmap b;
    const int rc = L_LoadFile(
        path.c_str(), &b, 0, LORDER_BGR, 0,
        [](LFileInfo*, LBitmap* bmp, std::uint8_t* buffer, std::uint32_t flags, std::int32_t, std::int32_t,
           void* user) {
            if (flags & LRF_PAGE_FIRST)
                static_cast<Seen*>(user)->firstRow.assign(buffer, buffer + bmp->BytesPerLine);
            return 1;
        },
        &seen, nullptr, nullptr);
    ASSERT_EQ(rc, LE_SUCCESS);
    ASSERT_EQ(b.Width, 4);
    // Upright row 0 is the stored column 0 read from the bottom up.
    for (std::int32_t x = 0; x < 4; ++x) {
        const Rgb want = Pattern(0, 3 - x);
        EXPECT_EQ(PixelAt(b, x, 0), want);
        EXPECT_EQ(seen.firstRow[std::size_t(3 * x + 2)], want.r);
    }
}

// ---- pages -----------------------------------------------------------------------------------

namespace {
Bytes ThreePages()
{
    std::vector<TiffPageSpec> pages;
    for (int i = 0; i < 3; ++i) {
        TiffPageSpec s = TiffSpec(COMPRESSION_LZW, 8, 3, PHOTOMETRIC_RGB);
        s.width = 10 + i;
        s.height = 40 + i;
        s.fill = std::uint8_t(i);
        pages.push_back(s);
    }
    return MakeTiff(pages);
}

struct Band {
    std::int32_t page, width;
    std::uint32_t flags;
    std::int32_t row, lines;
};

struct Recorder {
    std::vector<Band> bands;
    std::int32_t pagesDone = 0;
    std::int32_t wantPages = -1; // -1: all
    std::int32_t abortAtCall = -1;
    int calls = 0;
    std::vector<LBitmap> kept;   // pages taken over as the picture control does
};

int Record(LFileInfo* info, LBitmap* bitmap, std::uint8_t*, std::uint32_t flags, std::int32_t row, std::int32_t lines,
           void* user)
{
    auto* r = static_cast<Recorder*>(user);
    if (r->wantPages >= 0 && r->pagesDone >= r->wantPages)
        return LE_STOP_PAGES;
    if (r->calls++ == r->abortAtCall)
        return 0;
    r->bands.push_back(Band{info->PageNumber, bitmap->Width, flags, row, lines});
    if (flags & LRF_PAGE_FIRST)
        r->kept.push_back(*bitmap);
    if (flags & LRF_PAGE_LAST) {
        ++r->pagesDone;
        r->kept.back() = *bitmap;
        L_FreeBitmap(bitmap); // the library's own copy is no longer needed
    }
    return 1;
}

int LoadPages(const std::string& path, Recorder& r, LBitmap& b, std::int32_t firstPage = 1)
{
    LLoadOptions o;
    o.PageNumber = firstPage;
    return L_LoadFile(path.c_str(), &b, 0, LORDER_BGR_OR_GRAY, LLF_ALLOCATE | LLF_STORE, Record, &r, &o, nullptr);
}
} // namespace

TEST(Pages, PageZeroAndOneBothStartAtTheFirstPage)
{
    const Bytes file = ThreePages();
    LFileInfo info;
    ASSERT_EQ(L_FileInfoMemory(file.data(), file.size(), &info, 0, nullptr), LE_SUCCESS);
    EXPECT_EQ(info.TotalPages, 3);
    struct Case {
        std::int32_t page;
        int rc;
        std::int32_t width;
    } cases[] = {{0, LE_SUCCESS, 10}, {1, LE_SUCCESS, 10}, {2, LE_SUCCESS, 11}, {3, LE_SUCCESS, 12},
                 {4, LE_PAGE_NOT_FOUND, 0}};
    for (const Case& c : cases) {
        Loaded l = LoadMemory(file, c.page);
        EXPECT_EQ(l.rc, c.rc) << c.page;
        EXPECT_EQ(l.bitmap.Width, c.width) << c.page;
        if (c.rc == LE_SUCCESS) {
            EXPECT_EQ(l.info.PageNumber, std::max(c.page, 1));
            EXPECT_EQ(PixelAt(l.bitmap, 0, 0), Pattern(c.width - 10, 0));
        }
    }
}

TEST(Pages, LoadRowCallbackSeesEveryPageWithItsFlags)
{
    const std::string path = TempDir() + "three.tif";
    WriteFile(path, ThreePages());
    Recorder r;
    LBitmap b;
    ASSERT_EQ(LoadPages(path, r, b), LE_SUCCESS);
    ASSERT_EQ(r.pagesDone, 3);
    ASSERT_EQ(r.kept.size(), 3u);
    std::int32_t page = 0, nextRow = 0;
    for (const Band& band : r.bands) {
        if (band.flags & LRF_PAGE_FIRST) {
            ++page;
            nextRow = 0;
            EXPECT_EQ(band.flags & (LRF_PAGE_FIRST | LRF_PASS_FIRST), LRF_PAGE_FIRST | LRF_PASS_FIRST);
        }
        EXPECT_EQ(band.page, page);
        EXPECT_EQ(band.width, 9 + page);
        EXPECT_EQ(band.row, nextRow);
        nextRow += band.lines;
        if (band.flags & LRF_PAGE_LAST) {
            EXPECT_EQ(band.flags & (LRF_PAGE_LAST | LRF_PASS_LAST), LRF_PAGE_LAST | LRF_PASS_LAST);
            EXPECT_EQ(nextRow, 39 + page);
        }
    }
    EXPECT_EQ(page, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r.kept[std::size_t(i)].Width, 10 + i);
        EXPECT_EQ(PixelAt(r.kept[std::size_t(i)], 5, 20), Pattern(5 + i, 20));
    }
    // Starting at page 2 gives pages 2 and 3.
    Recorder from2;
    ASSERT_EQ(LoadPages(path, from2, b, 2), LE_SUCCESS);
    EXPECT_EQ(from2.pagesDone, 2);
    EXPECT_EQ(from2.bands.front().page, 2);
}

TEST(Pages, StopAfterTheWantedPagesAndAbort)
{
    const std::string path = TempDir() + "three.tif";
    WriteFile(path, ThreePages());
    Recorder one;
    one.wantPages = 1;
    LBitmap b;
    EXPECT_EQ(LoadPages(path, one, b), LE_STOP_PAGES);
    EXPECT_EQ(one.pagesDone, 1);
    EXPECT_EQ(one.kept.size(), 1u);
    EXPECT_EQ(one.bands.back().page, 1);

    Recorder aborted;
    aborted.abortAtCall = 1; // the second band of page 1
    b = MakeRgb(2, 2);
    EXPECT_EQ(LoadPages(path, aborted, b), LE_USER_ABORT);
    EXPECT_EQ(aborted.pagesDone, 0);
    EXPECT_FALSE(b.IsAllocated());
}

TEST(Pages, AnExceptionFromACallbackLeavesTheLoadWithoutLeaks)
{
    // The callbacks run outside the codec libraries' frames, so an exception passes through
    // the kernel's own code only (LeakSanitizer checks that nothing stays behind).
    const std::string path = TempDir() + "any.img";
    auto rows = [](LFileInfo*, LBitmap*, std::uint8_t*, std::uint32_t, std::int32_t row, std::int32_t, void*) -> int {
        if (row > 0)
            throw std::runtime_error("from the row callback");
        return 1;
    };
    auto status = [](std::int32_t percent, void*) -> int {
        if (percent > 0)
            throw std::runtime_error("from the status callback");
        return 1;
    };
    auto all = OneOfEach();
    all.emplace_back("three pages", ThreePages());
    for (const auto& [name, data] : all) {
        SCOPED_TRACE(name);
        WriteFile(path, data);
        LBitmap b;
        EXPECT_THROW(L_LoadFile(path.c_str(), &b, 0, LORDER_BGR, 0, rows, nullptr, nullptr, nullptr), std::runtime_error);
        L_SetStatusCallBack(status, nullptr, nullptr, nullptr);
        EXPECT_THROW(L_LoadFile(path.c_str(), &b, 0, LORDER_BGR, 0, nullptr, nullptr, nullptr, nullptr),
                     std::runtime_error);
        L_SetStatusCallBack(nullptr, nullptr, nullptr, nullptr);
    }
}

// ---- GIF pages -------------------------------------------------------------------------------

TEST(GifPages, FramesAreComposedOnTheLogicalScreen)
{
    // Frame 1 fills the screen red; frame 2 puts a green square that is cleared to the background
    // afterwards (disposal 2); frame 3 draws blue into the top-left corner; frame 4 is transparent
    // all over (the page stays as it was); frame 5 draws blue and is undone (disposal 3).
    const Bytes file = MakeGif(8, 8,
                               {GifFrame{0, 0, 8, 8, 1},
                                GifFrame{2, 2, 4, 4, 2, -1, 2},
                                GifFrame{0, 0, 2, 2, 3},
                                GifFrame{0, 0, 8, 8, 2, 2},
                                GifFrame{4, 4, 4, 4, 3, -1, 3},
                                GifFrame{7, 7, 1, 1, 1}},
                               0, 0);
    LFileInfo info;
    ASSERT_EQ(L_FileInfoMemory(file.data(), file.size(), &info, 0, nullptr), LE_SUCCESS);
    EXPECT_EQ(info.TotalPages, 6);
    EXPECT_EQ(info.CanvasWidth, 8);
    EXPECT_EQ(info.CanvasHeight, 8);
    EXPECT_TRUE(info.Flags & LFI_HAS_LOOP);
    EXPECT_EQ(info.LoopCount, 0);
    EXPECT_TRUE(info.Flags & LFI_HAS_BACKGROUND);
    EXPECT_EQ(info.BackgroundColor, LRgb(0, 0, 0));
    EXPECT_EQ(info.BitsPerPixel, 8);
    const Rgb black = kGifGlobal[0], red = kGifGlobal[1], green = kGifGlobal[2], blue = kGifGlobal[3];
    struct Probe {
        std::int32_t page, x, y;
        Rgb colour;
    } probes[] = {
        {1, 3, 3, red},   {2, 3, 3, green}, {2, 0, 0, red},   {3, 3, 3, black}, {3, 0, 0, blue},
        {4, 3, 3, black}, {4, 7, 7, red},   {5, 5, 5, blue},  {5, 6, 6, blue},  {6, 5, 5, black},
        {6, 6, 6, red},   {6, 7, 7, red},   {6, 0, 0, blue},
    };
    for (const Probe& p : probes) {
        Loaded l = LoadMemory(file, p.page);
        ASSERT_EQ(l.rc, LE_SUCCESS) << p.page;
        EXPECT_EQ(l.bitmap.Width, 8);
        EXPECT_EQ(l.bitmap.Delay, 100);
        EXPECT_EQ(PixelAt(l.bitmap, p.x, p.y), p.colour) << "page " << p.page << " at " << p.x << "," << p.y;
    }
}

TEST(GifPages, LocalColourTablesGiveTrueColourPages)
{
    const Bytes file = MakeGif(4, 4, {GifFrame{0, 0, 4, 4, 1}, GifFrame{1, 1, 2, 2, 2, -1, 0, true}}, -1, 1);
    LFileInfo info;
    ASSERT_EQ(L_FileInfoMemory(file.data(), file.size(), &info, 0, nullptr), LE_SUCCESS);
    EXPECT_EQ(info.BitsPerPixel, 24);
    EXPECT_FALSE(info.Flags & LFI_HAS_LOOP);
    EXPECT_EQ(info.BackgroundColor, LRgb(255, 0, 0));
    Loaded l = LoadMemory(file, 2);
    ASSERT_EQ(l.rc, LE_SUCCESS);
    EXPECT_EQ(l.bitmap.BitsPerPixel, 24);
    EXPECT_EQ(PixelAt(l.bitmap, 1, 1), kGifLocal);
    EXPECT_EQ(PixelAt(l.bitmap, 0, 0), kGifGlobal[1]);
}

TEST(GifPages, InterlacedFramesPutTheirRowsInPlace)
{
    GifFrame f{0, 0, 5, 19, 0};
    f.interlaced = true;
    LFileInfo info;
    const Bytes file = MakeGif(5, 19, {f});
    ASSERT_EQ(L_FileInfoMemory(file.data(), file.size(), &info, 0, nullptr), LE_SUCCESS);
    EXPECT_TRUE(info.Flags & LFI_INTERLACED);
    Loaded l = LoadMemory(file);
    ASSERT_EQ(l.rc, LE_SUCCESS);
    for (std::int32_t y = 0; y < 19; ++y)
        EXPECT_EQ(PixelAt(l.bitmap, 2, y), kGifGlobal[y % 4]) << y;
}

TEST(GifPages, AllFramesReachTheCallbackAndPagesStayApart)
{
    const std::string path = TempDir() + "anim.gif";
    WriteFile(path, MakeGif(8, 8, {GifFrame{0, 0, 8, 8, 1}, GifFrame{0, 0, 4, 4, 2}, GifFrame{4, 4, 4, 4, 3}}));
    Recorder r;
    LBitmap b;
    ASSERT_EQ(LoadPages(path, r, b), LE_SUCCESS);
    ASSERT_EQ(r.kept.size(), 3u);
    EXPECT_EQ(PixelAt(r.kept[0], 0, 0), kGifGlobal[1]); // later frames did not draw into page 1
    EXPECT_EQ(PixelAt(r.kept[1], 0, 0), kGifGlobal[2]);
    EXPECT_EQ(PixelAt(r.kept[1], 5, 5), kGifGlobal[1]);
    EXPECT_EQ(PixelAt(r.kept[2], 5, 5), kGifGlobal[3]);
    EXPECT_EQ(PixelAt(r.kept[2], 0, 0), kGifGlobal[2]);
}

// ---- status, feeds, decode hint, raw data -----------------------------------------------------

TEST(LoadProgress, StatusCallbackReportsAndCanStopALoad)
{
    struct Status {
        std::vector<int> seen;
        int stopAt = -1;
    } status;
    auto cb = [](std::int32_t percent, void* user) {
        auto* s = static_cast<Status*>(user);
        s->seen.push_back(percent);
        return (s->stopAt >= 0 && percent >= s->stopAt) ? 0 : 1;
    };
    const Bytes jpeg = Saved(MakeRgb(64, 200), LFMT_JFIF);
    LStatusCallback oldCb = nullptr;
    void* oldData = nullptr;
    ASSERT_EQ(L_SetStatusCallBack(cb, &status, &oldCb, &oldData), LE_SUCCESS);
    LBitmap b;
    EXPECT_EQ(L_LoadBitmapMemory(jpeg.data(), jpeg.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_SUCCESS);
    ASSERT_FALSE(status.seen.empty());
    EXPECT_TRUE(std::is_sorted(status.seen.begin(), status.seen.end()));
    EXPECT_EQ(status.seen.back(), 100);
    status.seen.clear();
    status.stopAt = 50;
    EXPECT_EQ(L_LoadBitmapMemory(jpeg.data(), jpeg.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_USER_ABORT);
    EXPECT_FALSE(b.IsAllocated());
    EXPECT_LT(status.seen.back(), 100);
    L_SetStatusCallBack(oldCb, oldData, nullptr, nullptr);
    LStatusCallback now = cb;
    L_GetStatusCallBack(&now, nullptr);
    EXPECT_EQ(now, nullptr);
}

namespace {
struct FeedResult {
    int start = 0, stop = 0;
    std::vector<int> feeds;
    Recorder rows;
    LBitmap bitmap;
};

FeedResult Feed(const Bytes& data, std::size_t chunk)
{
    FeedResult f;
    LFeedLoad* feed = nullptr;
    f.start = L_StartFeedLoad(&f.bitmap, 0, LORDER_BGR, LLF_ALLOCATE | LLF_STORE, Record, &f.rows, &feed, nullptr);
    if (f.start != LE_SUCCESS)
        return f;
    for (std::size_t i = 0; i < data.size(); i += chunk) {
        f.feeds.push_back(L_FeedLoad(feed, data.data() + i, std::min(chunk, data.size() - i)));
        if (f.feeds.back() < 1)
            break;
    }
    f.stop = L_StopFeedLoad(feed);
    return f;
}
} // namespace

TEST(FeedLoad, BlocksGiveTheSamePictureAsALoad)
{
    for (const auto& [name, data] : OneOfEach()) {
        SCOPED_TRACE(name);
        FeedResult f = Feed(data, 7);
        ASSERT_EQ(f.start, LE_SUCCESS);
        for (int v : f.feeds)
            EXPECT_GE(v, 1);
        EXPECT_EQ(f.stop, LE_SUCCESS);
        Loaded direct = LoadMemory(data);
        ASSERT_FALSE(f.rows.kept.empty());
        EXPECT_EQ(MaxDifference(f.rows.kept[0], direct.bitmap), 0);
    }
}

TEST(FeedLoad, DataEndingEarlyKeepsTheRowsThatArrived)
{
    PngSpec p;
    p.width = 40;
    p.height = 200;
    const Bytes png = MakePng(p);
    const Bytes cut(png.begin(), png.begin() + std::ptrdiff_t(png.size() / 2));
    FeedResult f = Feed(cut, 100);
    EXPECT_EQ(f.stop, LE_FILE_READ);
    ASSERT_FALSE(f.rows.bands.empty());
    EXPECT_TRUE(f.rows.bands.front().flags & LRF_PAGE_FIRST);
    EXPECT_FALSE(f.rows.bands.back().flags & LRF_PAGE_LAST);
    ASSERT_EQ(f.rows.kept.size(), 1u);
    EXPECT_EQ(PixelAt(f.rows.kept[0], 3, 5), Pattern(3, 5));
}

TEST(FeedLoad, DataThatCannotBeAPictureStopsAtOnce)
{
    const std::string text = "<html><body>Not found</body></html>";
    FeedResult f = Feed(Bytes(text.begin(), text.end()), 8);
    ASSERT_GE(f.feeds.size(), 2u);
    EXPECT_EQ(f.feeds[0], LE_SUCCESS);
    EXPECT_EQ(f.feeds.back(), LE_FILE_FORMAT);
    EXPECT_EQ(f.stop, LE_FILE_FORMAT);
    EXPECT_TRUE(f.rows.bands.empty());
}

TEST(DecodeHint, JpegDecodesAtTheSmallestScaleThatKeepsTheWantedSize)
{
    const Bytes jpeg = Saved(MakeRgb(256, 128), LFMT_JFIF);
    struct Case {
        std::int32_t minW, minH, w, h;
    } cases[] = {{0, 0, 256, 128},  {32, 16, 32, 16},  {33, 16, 64, 32},
                 {100, 10, 128, 64}, {200, 10, 256, 128}, {10, 100, 256, 128}};
    for (const Case& c : cases) {
        LLoadOptions o;
        o.DecodeMinWidth = c.minW;
        o.DecodeMinHeight = c.minH;
        LBitmap b;
        LFileInfo info;
        ASSERT_EQ(L_LoadBitmapMemory(jpeg.data(), jpeg.size(), &b, 0, LORDER_BGR, &o, &info), LE_SUCCESS);
        EXPECT_EQ(b.Width, c.w) << c.minW << "x" << c.minH;
        EXPECT_EQ(b.Height, c.h) << c.minW << "x" << c.minH;
        EXPECT_EQ(info.Width, 256); // the information keeps the full size
    }
}

TEST(DecodeHint, DefaultOptionHintIsUsedOnceByTheNextJpegLoad)
{
    const Bytes jpeg = Saved(MakeRgb(256, 128), LFMT_JFIF);
    const Bytes png = MakePng(PngSpec{});
    LLoadOptions o;
    o.DecodeMinWidth = 32;
    o.DecodeMinHeight = 16;
    ASSERT_EQ(L_SetDefaultLoadFileOption(&o), LE_SUCCESS);
    LBitmap b;
    ASSERT_EQ(L_LoadBitmapMemory(png.data(), png.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_SUCCESS);
    ASSERT_EQ(L_LoadBitmapMemory(jpeg.data(), jpeg.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_SUCCESS);
    EXPECT_EQ(b.Width, 32);
    ASSERT_EQ(L_LoadBitmapMemory(jpeg.data(), jpeg.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_SUCCESS);
    EXPECT_EQ(b.Width, 256);
    LLoadOptions now;
    L_GetDefaultLoadFileOption(&now);
    EXPECT_EQ(now.DecodeMinWidth, 0);
    L_SetDefaultLoadFileOption(nullptr);
}

TEST(DecodeHint, TurnedJpegsCompareTheHintWithTheUprightSize)
{
    const Bytes file = WithExifOrientation(Saved(MakeRgb(256, 128), LFMT_JFIF), 6, false);
    LLoadOptions o;
    o.DecodeMinWidth = 16; // upright the picture is 128 wide and 256 high
    o.DecodeMinHeight = 32;
    LBitmap b;
    ASSERT_EQ(L_LoadBitmapMemory(file.data(), file.size(), &b, 0, LORDER_BGR, &o, nullptr), LE_SUCCESS);
    EXPECT_EQ(b.Width, 16);
    EXPECT_EQ(b.Height, 32);
}

TEST(LoadInfo, UnknownDataCanBeDescribedAsRawPixels)
{
    Bytes raw = {'R', 'A', 'W'};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const Rgb p = Pattern(x, y);
            raw.insert(raw.end(), {p.b, p.g, p.r});
        }
    LBitmap b;
    EXPECT_EQ(L_LoadBitmapMemory(raw.data(), raw.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_FILE_FORMAT);
    auto describe = [](const char*, LLoadInfo* info, void*) {
        info->Format = 1234;
        info->Width = 4;
        info->Height = 2;
        info->BitsPerPixel = 24;
        info->Offset = 3;
        return 1;
    };
    L_SetLoadInfoCallBack(describe, nullptr, nullptr, nullptr);
    LFileInfo info;
    EXPECT_EQ(L_LoadBitmapMemory(raw.data(), raw.size(), &b, 0, LORDER_BGR, nullptr, &info), LE_SUCCESS);
    L_SetLoadInfoCallBack(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(info.Format, 1234);
    ASSERT_EQ(b.Width, 4);
    EXPECT_EQ(PixelAt(b, 3, 1), Pattern(3, 1));
}

TEST(Options, RangesAreCheckedAndDefaultsRestored)
{
    LPdfOptions pdf;
    ASSERT_EQ(L_GetPDFOptions(&pdf), LE_SUCCESS);
    EXPECT_EQ(pdf.XResolution, 96);
    EXPECT_EQ(pdf.DisplayDepth, 24);
    for (auto bad : {LPdfOptions{-1, 96, 24, 4, 1, 1}, LPdfOptions{96, 96, 16, 4, 1, 1}, LPdfOptions{96, 96, 24, 3, 1, 1},
                     LPdfOptions{96, 96, 24, 4, 8, 1}})
        EXPECT_EQ(L_SetPDFOptions(&bad), LE_INVALID_PARAMETER);
    LPdfOptions good{300, 300, 8, 2, 4, 0};
    EXPECT_EQ(L_SetPDFOptions(&good), LE_SUCCESS);
    L_GetPDFOptions(&pdf);
    EXPECT_EQ(pdf.XResolution, 300);
    L_SetPDFOptions(nullptr);
    L_GetPDFOptions(&pdf);
    EXPECT_EQ(pdf.XResolution, 96);
    LRasterizeOptions r{4, 640, 480, 0};
    EXPECT_EQ(L_SetRasterizeOptions(&r), LE_INVALID_PARAMETER);
    r.ViewMode = 3;
    EXPECT_EQ(L_SetRasterizeOptions(&r), LE_SUCCESS);
    LJ2KOptions j2k;
    j2k.Words[0] = 112;
    EXPECT_EQ(L_SetJ2KOptions(&j2k), LE_SUCCESS);
    LJ2KOptions back;
    L_GetJ2KOptions(&back);
    EXPECT_EQ(back.Words[0], 112u);
    LVersionInfo v;
    EXPECT_EQ(L_VersionInfo(&v), LE_SUCCESS);
    EXPECT_FALSE(v.Product.empty());
}
