#include "ImageFixtures.h"

#include "support/TestEnv.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

namespace fixtures {

std::string TempDir()
{
    static std::atomic<int> counter{0};
    return kvtest::MakeTempFolder(QString("img%1").arg(counter++)).toStdString();
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> ListDir(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Rgb Pattern(std::int32_t x, std::int32_t y)
{
    return Rgb{std::uint8_t((x * 37 + y * 11) & 255), std::uint8_t((x * 5 + y * 53) & 255),
               std::uint8_t(((x * 17) ^ (y * 29)) & 255)};
}

LBitmap MakeRgb(std::int32_t w, std::int32_t h, const std::function<Rgb(std::int32_t, std::int32_t)>& f)
{
    LBitmap b;
    if (L_CreateBitmap(&b, w, h, 24) != LE_SUCCESS)
        throw std::runtime_error("L_CreateBitmap failed");
    std::uint8_t* bits = b.BeginWrite();
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* row = b.WriteRow(bits, y);
        for (std::int32_t x = 0; x < w; ++x) {
            const Rgb c = f(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    return b;
}

LRgbQuad PaletteColour(std::int32_t bits, std::int32_t index)
{
    const int n = 1 << bits;
    return LRgbQuad{std::uint8_t(index * 255 / (n - 1)), std::uint8_t((index * 97) & 255),
                    std::uint8_t(255 - index * 255 / (n - 1)), 0};
}

LBitmap MakeIndexed(std::int32_t w, std::int32_t h, std::int32_t bits)
{
    LRgbQuad pal[256];
    for (int i = 0; i < (1 << bits); ++i)
        pal[i] = PaletteColour(bits, i);
    LBitmap b;
    if (L_CreateBitmap(&b, w, h, bits, pal, 1 << bits) != LE_SUCCESS)
        throw std::runtime_error("L_CreateBitmap failed");
    std::uint8_t* p = b.BeginWrite();
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* row = b.WriteRow(p, y);
        for (std::int32_t x = 0; x < w; ++x) {
            const auto v = std::uint8_t((x + 3 * y) % (1 << bits));
            if (bits == 8)
                row[x] = v;
            else if (bits == 4)
                row[x / 2] = std::uint8_t((x & 1) ? ((row[x / 2] & 0xf0) | v) : ((row[x / 2] & 0x0f) | (v << 4)));
            else
                row[x / 8] = std::uint8_t(v ? (row[x / 8] | (0x80 >> (x & 7))) : (row[x / 8] & ~(0x80 >> (x & 7))));
        }
    }
    return b;
}

Rgb PixelAt(const LBitmap& b, std::int32_t x, std::int32_t y)
{
    std::vector<std::uint8_t> row(std::size_t(L_BytesPerLine(b.ViewWidth(), b.BitsPerPixel)));
    L_GetBitmapRow(&b, row.data(), y, std::uint32_t(row.size()));
    if (b.BitsPerPixel == 24)
        return Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    std::uint8_t index;
    if (b.BitsPerPixel == 8)
        index = row[x];
    else if (b.BitsPerPixel == 4)
        index = (x & 1) ? (row[x / 2] & 0x0f) : (row[x / 2] >> 4);
    else
        index = (row[x / 8] >> (7 - (x & 7))) & 1;
    const LRgbQuad q = b.Palette()[index];
    return Rgb{q.Red, q.Green, q.Blue};
}

int MaxDifference(const LBitmap& a, const LBitmap& b)
{
    int worst = 0;
    for (std::int32_t y = 0; y < a.ViewHeight(); ++y)
        for (std::int32_t x = 0; x < a.ViewWidth(); ++x) {
            const Rgb p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            worst = std::max({worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
        }
    return worst;
}

Bytes Saved(const LBitmap& b, std::int32_t format, std::int32_t bits, std::int32_t qFactor)
{
    Bytes out;
    if (L_SaveBitmapMemory(&out, &b, format, bits, qFactor, nullptr) != LE_SUCCESS)
        throw std::runtime_error("L_SaveBitmapMemory failed");
    return out;
}

// ---- JPEG ----------------------------------------------------------------------------------

Bytes MakeJpeg(const JpegSpec& recipe)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    jpeg_mem_dest(&c, &mem, &memSize);
    c.image_width = JDIMENSION(recipe.width);
    c.image_height = JDIMENSION(recipe.height);
    c.input_components = recipe.components;
    c.in_color_space = recipe.components == 1 ? JCS_GRAYSCALE : (recipe.components == 4 ? JCS_CMYK : JCS_RGB);
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    if (recipe.components == 4) {
        jpeg_set_colorspace(&c, JCS_CMYK);
        c.write_Adobe_marker = recipe.adobeInverted ? TRUE : FALSE;
    } else if (recipe.components == 3) {
        c.comp_info[0].h_samp_factor = recipe.hSamp;
        c.comp_info[0].v_samp_factor = recipe.vSamp;
    }
    if (recipe.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<std::uint8_t> row(std::size_t(recipe.width) * recipe.components);
    while (c.next_scanline < c.image_height) {
        const std::int32_t y = std::int32_t(c.next_scanline);
        for (std::int32_t x = 0; x < recipe.width; ++x) {
            const Rgb p = Pattern(x, y);
            std::uint8_t* px = row.data() + std::size_t(x) * recipe.components;
            if (recipe.components == 1) {
                px[0] = p.g;
            } else if (recipe.components == 3) {
                px[0] = p.r;
                px[1] = p.g;
                px[2] = p.b;
            } else {
                for (int i = 0; i < 4; ++i)
                    px[i] = recipe.adobeInverted ? std::uint8_t(255 - recipe.cmyk[i]) : recipe.cmyk[i];
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    Bytes out(mem, mem + memSize);
    jpeg_destroy_compress(&c);
    std::free(mem);
    return out;
}

Bytes WithExifOrientation(const Bytes& jpeg, int orientation, bool bigEndian)
{
    Bytes tiff;
    auto u16 = [&](unsigned v) {
        if (bigEndian) {
            tiff.push_back(std::uint8_t(v >> 8));
            tiff.push_back(std::uint8_t(v));
        } else {
            tiff.push_back(std::uint8_t(v));
            tiff.push_back(std::uint8_t(v >> 8));
        }
    };
    auto u32 = [&](unsigned v) {
        if (bigEndian) {
            u16(v >> 16);
            u16(v & 0xffff);
        } else {
            u16(v & 0xffff);
            u16(v >> 16);
        }
    };
    tiff.push_back(bigEndian ? 'M' : 'I');
    tiff.push_back(bigEndian ? 'M' : 'I');
    u16(42);
    u32(8);
    u16(2); // two entries: a resolution unit first, then the orientation
    u16(0x0128);
    u16(3);
    u32(1);
    u16(2);
    u16(0);
    u16(0x0112);
    u16(3);
    u32(1);
    u16(unsigned(orientation));
    u16(0);
    u32(0);
    Bytes app1 = {0xff, 0xe1};
    const std::size_t len = 2 + 6 + tiff.size();
    app1.push_back(std::uint8_t(len >> 8));
    app1.push_back(std::uint8_t(len));
    const char exif[6] = {'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), exif, exif + 6);
    app1.insert(app1.end(), tiff.begin(), tiff.end());
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), app1.begin(), app1.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

// ---- BMP -------------------------------------------------------------------------------------

namespace {
void Put16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v & 0xffff);
    Put16(b, at + 2, v >> 16);
}
} // namespace

Bytes MakeBmp(BmpKind kind, std::int32_t w, std::int32_t h)
{
    const bool os2 = kind == BmpKind::Os2v1_8;
    const std::uint32_t headerSize = os2 ? 12 : 40;
    std::uint32_t bits = 24, compression = 0, paletteCount = 0, maskBytes = 0;
    switch (kind) {
    case BmpKind::Rle8: bits = 8, compression = 1, paletteCount = 256; break;
    case BmpKind::Rle4: bits = 4, compression = 2, paletteCount = 16; break;
    case BmpKind::Os2v1_8: bits = 8, paletteCount = 256; break;
    case BmpKind::Bitfields16_565: bits = 16, compression = 3, maskBytes = 12; break;
    case BmpKind::Bitfields32: bits = 32, compression = 3, maskBytes = 12; break;
    case BmpKind::Plain32: bits = 32; break;
    case BmpKind::Plain16: bits = 16; break;
    case BmpKind::TopDown24: break;
    }
    const std::uint32_t entry = os2 ? 3 : 4;
    const std::size_t dataOffset = 14 + headerSize + maskBytes + paletteCount * entry;
    Bytes b(dataOffset, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, std::uint32_t(dataOffset));
    Put32(b, 14, headerSize);
    if (os2) {
        Put16(b, 18, std::uint32_t(w));
        Put16(b, 20, std::uint32_t(h));
        Put16(b, 22, 1);
        Put16(b, 24, bits);
    } else {
        Put32(b, 18, std::uint32_t(w));
        Put32(b, 22, std::uint32_t(kind == BmpKind::TopDown24 ? -h : h));
        Put16(b, 26, 1);
        Put16(b, 28, bits);
        Put32(b, 30, compression);
        Put32(b, 38, 3780); // 96 dpi
        Put32(b, 42, 3780);
    }
    if (kind == BmpKind::Bitfields16_565) {
        Put32(b, 54, 0xf800);
        Put32(b, 58, 0x07e0);
        Put32(b, 62, 0x001f);
    } else if (kind == BmpKind::Bitfields32) {
        // R, G, B in the order of the bytes in memory (not the usual B, G, R).
        Put32(b, 54, 0x000000ff);
        Put32(b, 58, 0x0000ff00);
        Put32(b, 62, 0x00ff0000);
    }
    const std::size_t paletteAt = 14 + headerSize + maskBytes;
    for (std::uint32_t i = 0; i < paletteCount; ++i) {
        const LRgbQuad q = PaletteColour(bits, std::int32_t(i));
        b[paletteAt + i * entry] = q.Blue;
        b[paletteAt + i * entry + 1] = q.Green;
        b[paletteAt + i * entry + 2] = q.Red;
    }
    auto index = [&](std::int32_t x, std::int32_t y) { return std::uint8_t((x + 3 * y) % (1 << bits)); };
    if (compression == 1 || compression == 2) {
        // Bottom-up rows; the first row in the file uses an absolute run, the others encoded runs.
        for (std::int32_t r = 0; r < h; ++r) {
            const std::int32_t y = h - 1 - r;
            if (r == 0 && w >= 3) {
                b.push_back(0);
                b.push_back(std::uint8_t(w));
                Bytes run;
                for (std::int32_t x = 0; x < w; ++x) {
                    if (bits == 8)
                        run.push_back(index(x, y));
                    else if (x % 2 == 0)
                        run.push_back(std::uint8_t(index(x, y) << 4));
                    else
                        run.back() |= index(x, y);
                }
                if (run.size() & 1)
                    run.push_back(0);
                b.insert(b.end(), run.begin(), run.end());
            } else {
                for (std::int32_t x = 0; x < w; ++x) {
                    b.push_back(1);
                    b.push_back(bits == 8 ? index(x, y) : std::uint8_t(index(x, y) << 4));
                }
            }
            b.push_back(0);
            b.push_back(0);
        }
        b.push_back(0);
        b.push_back(1);
    } else {
        const std::size_t rowBytes = ((std::size_t(w) * bits + 31) / 32) * 4;
        for (std::int32_t r = 0; r < h; ++r) {
            const std::int32_t y = kind == BmpKind::TopDown24 ? r : h - 1 - r;
            Bytes row(rowBytes, 0);
            for (std::int32_t x = 0; x < w; ++x) {
                const Rgb p = Pattern(x, y);
                switch (kind) {
                case BmpKind::Os2v1_8: row[std::size_t(x)] = index(x, y); break;
                case BmpKind::Bitfields16_565:
                    Put16(row, 2 * std::size_t(x), ((p.r >> 3) << 11) | ((p.g >> 2) << 5) | (p.b >> 3));
                    break;
                case BmpKind::Plain16:
                    Put16(row, 2 * std::size_t(x), ((p.r >> 3) << 10) | ((p.g >> 3) << 5) | (p.b >> 3));
                    break;
                case BmpKind::Bitfields32: Put32(row, 4 * std::size_t(x), p.r | (p.g << 8) | (p.b << 16)); break;
                case BmpKind::Plain32: Put32(row, 4 * std::size_t(x), p.b | (p.g << 8) | (p.r << 16)); break;
                default:
                    row[3 * std::size_t(x)] = p.b;
                    row[3 * std::size_t(x) + 1] = p.g;
                    row[3 * std::size_t(x) + 2] = p.r;
                }
            }
            b.insert(b.end(), row.begin(), row.end());
        }
    }
    Put32(b, 2, std::uint32_t(b.size()));
    return b;
}

// ---- TIFF ------------------------------------------------------------------------------------

namespace {
void QuietTiff(const char*, const char*, va_list) {}
} // namespace

Bytes MakeTiff(const std::vector<TiffPageSpec>& pages)
{
    TIFFSetWarningHandler(QuietTiff);
    const std::string path = TempDir() + "make.tif";
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        throw std::runtime_error("TIFFOpen failed");
    for (const TiffPageSpec& p : pages) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(p.width));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(p.height));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(p.bitsPerSample));
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(p.samples));
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, std::uint16_t(p.photometric));
        TIFFSetField(tif, TIFFTAG_COMPRESSION, std::uint16_t(p.compression));
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ORIENTATION, std::uint16_t(p.orientation));
        if (p.compression == COMPRESSION_JPEG)
            TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
        if (p.compression == COMPRESSION_CCITTFAX3)
            TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, p.group3Options);
        if (p.photometric == PHOTOMETRIC_SEPARATED)
            TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
        if (p.photometric == PHOTOMETRIC_YCBCR)
            TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
        std::vector<std::uint16_t> cmap[3];
        if (p.photometric == PHOTOMETRIC_PALETTE) {
            const int n = 1 << p.bitsPerSample;
            for (auto& c : cmap)
                c.resize(std::size_t(n));
            for (int i = 0; i < n; ++i) {
                const LRgbQuad q = PaletteColour(p.bitsPerSample, i);
                cmap[0][std::size_t(i)] = std::uint16_t(q.Red * 257);
                cmap[1][std::size_t(i)] = std::uint16_t(q.Green * 257);
                cmap[2][std::size_t(i)] = std::uint16_t(q.Blue * 257);
            }
            TIFFSetField(tif, TIFFTAG_COLORMAP, cmap[0].data(), cmap[1].data(), cmap[2].data());
        }
        // Sample s of pixel (x, y), as the page's depth stores it.
        auto sample = [&](std::int32_t x, std::int32_t y, int s) -> std::uint32_t {
            const Rgb c = Pattern(x + p.fill, y);
            if (p.photometric == PHOTOMETRIC_YCBCR)
                return s == 0 ? c.g : 128;
            if (p.photometric == PHOTOMETRIC_SEPARATED)
                return s == 3 ? 0 : std::uint32_t(255 - (s == 0 ? c.r : s == 1 ? c.g : c.b));
            if (p.photometric == PHOTOMETRIC_PALETTE || p.bitsPerSample < 8)
                return std::uint32_t((x + 3 * y) % (1 << p.bitsPerSample));
            const std::uint8_t v = s == 0 ? (p.samples == 1 ? c.g : c.r) : (s == 1 ? c.g : c.b);
            return p.bitsPerSample == 16 ? v * 257u : v;
        };
        const std::size_t line = (std::size_t(p.width) * p.samples * p.bitsPerSample + 7) / 8;
        auto packRow = [&](std::int32_t y, std::int32_t x0, std::int32_t count, std::uint8_t* out) {
            std::memset(out, 0, (std::size_t(count) * p.samples * p.bitsPerSample + 7) / 8);
            for (std::int32_t i = 0; i < count; ++i)
                for (int s = 0; s < p.samples; ++s) {
                    const std::int32_t x = x0 + i;
                    const std::uint32_t v = (x < p.width && y < p.height) ? sample(x, y, s) : 0;
                    const std::size_t k = std::size_t(i) * p.samples + std::size_t(s);
                    if (p.bitsPerSample == 16) {
                        std::memcpy(out + 2 * k, &v, 2); // host order, as libtiff expects
                    } else if (p.bitsPerSample == 8) {
                        out[k] = std::uint8_t(v);
                    } else {
                        const std::size_t bit = k * std::size_t(p.bitsPerSample);
                        out[bit / 8] |= std::uint8_t(v << (8 - p.bitsPerSample - bit % 8));
                    }
                }
        };
        if (p.tiled) {
            const std::uint32_t tile = 16;
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, tile);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, tile);
            std::vector<std::uint8_t> buf(std::size_t(TIFFTileSize(tif)));
            const std::size_t tileLine = (tile * p.samples * p.bitsPerSample + 7) / 8;
            for (std::int32_t ty = 0; ty < p.height; ty += tile)
                for (std::int32_t tx = 0; tx < p.width; tx += tile) {
                    for (std::uint32_t r = 0; r < tile; ++r)
                        packRow(ty + std::int32_t(r), tx, std::int32_t(tile), buf.data() + r * tileLine);
                    TIFFWriteTile(tif, buf.data(), std::uint32_t(tx), std::uint32_t(ty), 0, 0);
                }
        } else {
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, p.compression == COMPRESSION_JPEG ? 16u : 4u);
            std::vector<std::uint8_t> row(line);
            for (std::int32_t y = 0; y < p.height; ++y) {
                packRow(y, 0, p.width, row.data());
                TIFFWriteScanline(tif, row.data(), std::uint32_t(y), 0);
            }
        }
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ReadFile(path);
}

// ---- GIF -------------------------------------------------------------------------------------

namespace {
int GifWrite(GifFileType* gif, const GifByteType* data, int n)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}
} // namespace

Bytes MakeGif(std::int32_t w, std::int32_t h, const std::vector<GifFrame>& frames, int loopCount,
              std::uint8_t background)
{
    Bytes out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, GifWrite, &err);
    if (!gif)
        throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);
    GifColorType global[4];
    for (int i = 0; i < 4; ++i)
        global[i] = GifColorType{kGifGlobal[i].r, kGifGlobal[i].g, kGifGlobal[i].b};
    ColorMapObject* map = GifMakeMapObject(4, global);
    EGifPutScreenDesc(gif, w, h, 8, background, map);
    if (loopCount >= 0) {
        const GifByteType app[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        const GifByteType loop[] = {1, GifByteType(loopCount & 0xff), GifByteType(loopCount >> 8)};
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, app);
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const GifFrame& f : frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = f.disposal;
        gcb.DelayTime = f.delay;
        gcb.TransparentColor = f.transparent;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        ColorMapObject* local = nullptr;
        if (f.localTable) {
            GifColorType colors[4] = {};
            colors[f.index & 3] = GifColorType{kGifLocal.r, kGifLocal.g, kGifLocal.b};
            local = GifMakeMapObject(4, colors);
        }
        EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local);
        std::vector<GifPixelType> line(std::size_t(f.width), f.index);
        if (f.interlaced) {
            // Rows go into the file pass by pass: every 8th from 0, every 8th from 4, every 4th
            // from 2, every 2nd from 1.
            static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (std::int32_t y = start[pass]; y < f.height; y += step[pass]) {
                    std::fill(line.begin(), line.end(), GifPixelType(y % 4));
                    EGifPutLine(gif, line.data(), f.width);
                }
        } else {
            for (std::int32_t y = 0; y < f.height; ++y)
                EGifPutLine(gif, line.data(), f.width);
        }
        if (local)
            GifFreeMapObject(local);
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return out;
}

// ---- PNG -------------------------------------------------------------------------------------

namespace {
void PngWrite(png_structp p, png_bytep data, png_size_t n)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(p));
    out->insert(out->end(), data, data + n);
}
void PngFlush(png_structp) {}
} // namespace

Bytes MakePng(const PngSpec& recipe)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, png_uint_32(recipe.width), png_uint_32(recipe.height), recipe.bitDepth, recipe.colorType,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (recipe.colorType == PNG_COLOR_TYPE_PALETTE) {
        png_color colors[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        png_set_PLTE(png, info, colors, 4);
        if (recipe.trns) {
            png_byte alpha[1] = {128};
            png_set_tRNS(png, info, alpha, 1, nullptr);
        }
    } else if (recipe.trns) {
        png_color_16 c{};
        png_set_tRNS(png, info, nullptr, 0, &c);
    }
    png_write_info(png, info);
    const int channels = recipe.colorType == PNG_COLOR_TYPE_RGB ? 3
                         : recipe.colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                         : recipe.colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                       : 1;
    const std::size_t line = (std::size_t(recipe.width) * channels * recipe.bitDepth + 7) / 8;
    std::vector<Bytes> rows(std::size_t(recipe.height), Bytes(line, 0));
    for (std::int32_t y = 0; y < recipe.height; ++y)
        for (std::int32_t x = 0; x < recipe.width; ++x) {
            const Rgb c = Pattern(x, y);
            std::uint8_t* r = rows[std::size_t(y)].data();
            if (recipe.bitDepth < 8) {
                const unsigned levels = recipe.colorType == PNG_COLOR_TYPE_PALETTE ? std::min(4u, 1u << recipe.bitDepth)
                                                                                 : 1u << recipe.bitDepth;
                const unsigned v = unsigned(x + 3 * y) % levels;
                const std::size_t bit = std::size_t(x) * recipe.bitDepth;
                r[bit / 8] |= std::uint8_t(v << (8 - recipe.bitDepth - bit % 8));
                continue;
            }
            const std::uint8_t samples[4] = {channels >= 3 ? c.r : c.g, channels >= 3 ? c.g : recipe.alpha, c.b,
                                             recipe.alpha};
            for (int s = 0; s < channels; ++s) {
                const std::uint8_t v = recipe.colorType == PNG_COLOR_TYPE_PALETTE ? std::uint8_t((x + y) % 4) : samples[s];
                if (recipe.bitDepth == 16) {
                    r[(std::size_t(x) * channels + s) * 2] = v;
                    r[(std::size_t(x) * channels + s) * 2 + 1] = v;
                } else {
                    r[std::size_t(x) * channels + s] = v;
                }
            }
        }
    std::vector<png_bytep> ptrs;
    for (auto& r : rows)
        ptrs.push_back(r.data());
    png_write_image(png, ptrs.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace fixtures
