#include "imaging/LEADBitmapImage.h"

#include <QList>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Palette index of pixel x in a packed row (1, 4 or 8 bits, leftmost pixel in the high bits).
std::uint8_t IndexAt(const std::uint8_t* row, int x, int bits)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default: return row[x];
    }
}

QList<QRgb> ColorTable(const LBitmap& bitmap)
{
    QList<QRgb> table;
    const LRgbQuad* pal = bitmap.Palette();
    const int n = bitmap.PaletteSize();
    table.reserve(n);
    for (int i = 0; i < n; ++i)
        table.append(pal ? qRgb(pal[i].Red, pal[i].Green, pal[i].Blue) : qRgb(i, i, i));
    return table;
}

} // namespace

QImage LeadBitmapToImage(const LBitmap& bitmap)
{
    if (!bitmap.IsAllocated() || bitmap.Width <= 0 || bitmap.Height <= 0)
        return QImage();
    const int w = bitmap.ViewWidth();
    const int h = bitmap.ViewHeight();
    const int bits = bitmap.BitsPerPixel;
    if (bits == 24 && bitmap.ViewPerspective == LVP_TOP_LEFT)
        return QImage(bitmap.Bits(), w, h, bitmap.BytesPerLine, QImage::Format_BGR888);

    const int line = L_BytesPerLine(w, bits);
    if (line <= 0)
        return QImage();
    std::vector<std::uint8_t> row(std::size_t(line), 0);
    QImage image(w, h, bits == 24 ? QImage::Format_BGR888 : QImage::Format_Indexed8);
    if (image.isNull())
        return QImage();
    if (bits != 24)
        image.setColorTable(ColorTable(bitmap));
    for (int y = 0; y < h; ++y) {
        if (L_GetBitmapRow(&bitmap, row.data(), y, std::uint32_t(line)) != line)
            return QImage();
        std::uint8_t* out = image.scanLine(y);
        if (bits == 24 || bits == 8)
            std::memcpy(out, row.data(), std::size_t(bits == 24 ? 3 * w : w));
        else
            for (int x = 0; x < w; ++x)
                out[x] = IndexAt(row.data(), x, bits);
    }
    return image;
}

void LeadRowToBgr(const std::uint8_t* row, int width, int bits, const LRgbQuad* palette, int paletteCount,
                  std::uint8_t* out)
{
    if (bits == 24) {
        std::memcpy(out, row, std::size_t(width) * 3);
        return;
    }
    for (int x = 0; x < width; ++x) {
        const int i = IndexAt(row, x, bits);
        const LRgbQuad q = (palette && i < paletteCount) ? palette[i] : LRgbQuad{};
        out[3 * x] = q.Blue;
        out[3 * x + 1] = q.Green;
        out[3 * x + 2] = q.Red;
    }
}

int LeadExpandTo24(const LBitmap& src, LBitmap& dst)
{
    if (!src.IsAllocated())
        return LE_NO_BITMAP;
    if (src.BitsPerPixel == 24)
        return L_CopyBitmap(&dst, &src);
    LBitmap out;
    int code = L_CreateBitmap(&out, src.Width, src.Height, 24);
    if (code != LE_SUCCESS)
        return code;
    std::uint8_t* bits = out.BeginWrite();
    if (!bits)
        return LE_NO_MEMORY;
    for (int y = 0; y < src.Height; ++y)
        LeadRowToBgr(src.Row(y), src.Width, src.BitsPerPixel, src.Palette(), src.PaletteSize(), out.WriteRow(bits, y));
    out.ViewPerspective = src.ViewPerspective;
    out.XResolution = src.XResolution;
    out.YResolution = src.YResolution;
    out.Delay = src.Delay;
    dst = out;
    return LE_SUCCESS;
}

int LeadFillBitmap(LBitmap& bitmap, LColor color)
{
    if (!bitmap.IsAllocated())
        return LE_NO_BITMAP;
    const std::uint8_t r = LRedOf(color), g = LGreenOf(color), b = LBlueOf(color);
    int index = 0;
    if (bitmap.BitsPerPixel != 24) {
        const LRgbQuad* pal = bitmap.Palette();
        int best = -1;
        for (int i = 0; pal && i < bitmap.PaletteSize(); ++i) {
            const int d = std::abs(pal[i].Red - r) + std::abs(pal[i].Green - g) + std::abs(pal[i].Blue - b);
            if (best < 0 || d < best) {
                best = d;
                index = i;
            }
        }
    }
    std::uint8_t* bits = bitmap.BeginWrite();
    if (!bits)
        return LE_NO_MEMORY;
    for (int y = 0; y < bitmap.Height; ++y) {
        std::uint8_t* row = bitmap.WriteRow(bits, y);
        switch (bitmap.BitsPerPixel) {
        case 24:
            for (int x = 0; x < bitmap.Width; ++x) {
                row[3 * x] = b;
                row[3 * x + 1] = g;
                row[3 * x + 2] = r;
            }
            break;
        case 8: std::memset(row, index, std::size_t(bitmap.BytesPerLine)); break;
        case 4: std::memset(row, index * 0x11, std::size_t(bitmap.BytesPerLine)); break;
        default: std::memset(row, index ? 0xFF : 0x00, std::size_t(bitmap.BytesPerLine)); break;
        }
    }
    return LE_SUCCESS;
}
