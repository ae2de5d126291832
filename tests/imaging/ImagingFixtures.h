#pragma once
// Pictures for the picture control's tests: bitmaps made in memory, files written by the
// kernel's savers (JPEG, BMP, PNG) or by the codec libraries (TIFF pages, GIF).
#include "imaging/LEADBitmapImage.h"
#include "imaging/LEADImage.h"
#include "platform/imagelib/imagelib.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <gif_lib.h>
#include <tiffio.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace imgtest {

constexpr LColor kRed = LRgb(255, 0, 0);
constexpr LColor kGreen = LRgb(0, 255, 0);
constexpr LColor kBlue = LRgb(0, 0, 255);
constexpr LColor kWhite = LRgb(255, 255, 255);
constexpr LColor kGrey = LRgb(128, 128, 128);
constexpr LColor kOrange = LRgb(240, 120, 30);

inline std::string S(const QString& s) { return s.toStdString(); }

// The message of the program exception that f raises ("" when it raises none).
inline std::string RaisedMessage(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return S(e.Message());
    }
    return "";
}

// A bitmap of one colour, with a small mark (a gradient row) so that compressed files are not
// trivially small.
inline LBitmap MakeBitmap(int width, int height, LColor color, int bits = 24)
{
    LBitmap b;
    L_CreateBitmap(&b, width, height, bits);
    LeadFillBitmap(b, color);
    if (bits == 24 && height > 1) {
        std::uint8_t* p = b.BeginWrite();
        std::uint8_t* row = b.WriteRow(p, height - 1);
        for (int x = 0; x < width; ++x)
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = std::uint8_t(x * 255 / std::max(1, width - 1));
    }
    return b;
}

// A 24-bit picture whose pixel (x, y) has the colour f(x, y).
inline LBitmap MakePicture(int width, int height, const std::function<LColor(int, int)>& f)
{
    LBitmap b;
    L_CreateBitmap(&b, width, height, 24);
    std::uint8_t* bits = b.BeginWrite();
    for (int y = 0; bits && y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = b.WriteRow(bits, y) + 3 * x;
            const LColor c = f(x, y);
            p[0] = LBlueOf(c);
            p[1] = LGreenOf(c);
            p[2] = LRedOf(c);
        }
    return b;
}

// The colour (0x00BBGGRR) of pixel (x, y) of an image.
inline LColor ColorAt(const QImage& image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return LRgb(std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c)));
}

// The colour (0x00BBGGRR) of pixel (x, y) of the picture as seen.
inline LColor PixelOf(const LBitmap& b, int x, int y)
{
    const QImage image = LeadBitmapToImage(b);
    const QRgb c = image.pixel(x, y);
    return LRgb(std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c)));
}

// True when every channel of a and b differs by at most tolerance.
inline bool Near(LColor a, LColor b, int tolerance)
{
    return std::abs(LRedOf(a) - LRedOf(b)) <= tolerance && std::abs(LGreenOf(a) - LGreenOf(b)) <= tolerance &&
           std::abs(LBlueOf(a) - LBlueOf(b)) <= tolerance;
}

// A list of pages of the given colours.
inline LBitmapList* MakeList(std::initializer_list<LColor> colors, int width = 8, int height = 6)
{
    LBitmapList* list = nullptr;
    L_CreateBitmapList(&list);
    for (LColor c : colors) {
        LBitmap b = MakeBitmap(width, height, c);
        L_InsertBitmapListItem(list, -1, &b);
        L_FreeBitmap(&b);
    }
    return list;
}

// The colour at (1, 1) of each page of the control's list, in order.
inline std::vector<LColor> PageColors(TLEADImage& image)
{
    std::vector<LColor> colors;
    std::uint32_t count = 0;
    if (!image.BitmapList() || L_GetBitmapListCount(image.BitmapList(), &count) != LE_SUCCESS)
        return colors;
    for (std::uint32_t i = 0; i < count; ++i) {
        LBitmap page;
        L_GetBitmapListItem(image.BitmapList(), std::int32_t(i), &page);
        colors.push_back(PixelOf(page, 1, 1));
        L_FreeBitmap(&page);
    }
    return colors;
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes a picture with the kernel's saver; returns the kernel's code.
inline int SaveWithKernel(const QString& path, int width, int height, LColor color, int format, int qFactor = 2)
{
    LBitmap b = MakeBitmap(width, height, color);
    const int code = L_SaveBitmap(QFile::encodeName(path).constData(), &b, format, 24, qFactor, nullptr);
    L_FreeBitmap(&b);
    return code;
}

// An existing picture file at path (written by the kernel); returns its bytes.
inline QByteArray ExistingPicture(const QString& path, int format)
{
    return SaveWithKernel(path, 10, 10, LRgb(0, 0, 255), format) == LE_SUCCESS ? ReadBytes(path) : QByteArray();
}

// A TIFF file of one uncompressed 24-bit page per colour.
inline bool WriteTiffPages(const QString& path, std::initializer_list<LColor> colors, int width, int height)
{
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    for (LColor c : colors) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = LRedOf(c);
            row[3 * x + 1] = LGreenOf(c);
            row[3 * x + 2] = LBlueOf(c);
        }
        for (int y = 0; y < height; ++y)
            if (TIFFWriteScanline(tif, row.data(), std::uint32_t(y), 0) < 0) {
                TIFFClose(tif);
                return false;
            }
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return true;
}

// A GIF file of one frame per palette index in frames (global palette: black, red, green,
// blue). Frames given with a delay (hundredths of a second, >= 0) get a control block with
// it; loop >= 0 writes the loop block with that count (0: for ever).
inline bool WriteTimedGif(const QString& path, int width, int height, const std::vector<std::pair<int, int>>& frames,
                          int loop = -1)
{
    int error = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
    if (!gif)
        return false;
    GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colors);
    bool ok = EGifPutScreenDesc(gif, width, height, 2, 0, map) == GIF_OK;
    if (loop >= 0) {
        unsigned char app[] = "NETSCAPE2.0";
        unsigned char sub[] = {1, std::uint8_t(loop & 0xff), std::uint8_t(loop >> 8)};
        ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
             EGifPutExtensionBlock(gif, 11, app) == GIF_OK && EGifPutExtensionBlock(gif, 3, sub) == GIF_OK &&
             EGifPutExtensionTrailer(gif) == GIF_OK;
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (const auto& [index, delay] : frames) {
        if (delay >= 0) {
            unsigned char gce[4] = {0, std::uint8_t(delay & 0xff), std::uint8_t(delay >> 8), 0};
            ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce) == GIF_OK;
        }
        ok = ok && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
        std::fill(line.begin(), line.end(), GifPixelType(index));
        for (int y = 0; ok && y < height; ++y)
            ok = EGifPutLine(gif, line.data(), width) == GIF_OK;
    }
    GifFreeMapObject(map);
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    return ok;
}

inline bool WriteGif(const QString& path, int width, int height, std::initializer_list<int> frames)
{
    std::vector<std::pair<int, int>> plain;
    for (int index : frames)
        plain.emplace_back(index, -1);
    return WriteTimedGif(path, width, height, plain);
}

inline bool WriteBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The names in a folder (files and folders, dot entries and hidden files included).
inline QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// Shows a window and waits until it is on the screen.
inline void ShowExposed(QWidget& w)
{
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::processEvents();
}

// Gives the control a one-page picture of width x height in colour.
inline void Hold(TLEADImage& image, int width, int height, LColor color)
{
    LBitmap picture = MakeBitmap(width, height, color);
    image.setBitmap(&picture);
    L_FreeBitmap(&picture);
}

} // namespace imgtest
