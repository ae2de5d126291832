// Lossless turns of JPEG files: the picture turns as shown, nothing else of the file changes.
#include "ImageFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace fixtures;

namespace {

Rgb Smooth(std::int32_t x, std::int32_t y) { return Rgb{std::uint8_t(x * 3), std::uint8_t(y * 4), std::uint8_t(128 + x - y)}; }

LBitmap Load(const std::string& path)
{
    LBitmap b;
    EXPECT_EQ(L_LoadFile(path.c_str(), &b, 0, LORDER_BGR, LLF_ALLOCATE | LLF_STORE, nullptr, nullptr, nullptr, nullptr),
              LE_SUCCESS);
    return b;
}

// The segments in front of the picture data that hold its coding: quantisation tables.
Bytes Segments(const Bytes& jpeg, int marker)
{
    Bytes out;
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA) {
        const std::size_t length = (std::size_t(jpeg[at + 2]) << 8) | jpeg[at + 3];
        if (jpeg[at + 1] == marker)
            out.insert(out.end(), jpeg.begin() + long(at), jpeg.begin() + long(at + 2 + length));
        at += 2 + length;
    }
    return out;
}

// Where pixel (x, y) of the picture shown before the operation lands.
std::pair<int, int> Moved(std::int32_t op, int x, int y, int w, int h)
{
    switch (op) {
    case LJXF_ROTATE90: return {h - 1 - y, x};
    case LJXF_ROTATE180: return {w - 1 - x, h - 1 - y};
    case LJXF_ROTATE270: return {y, w - 1 - x};
    case LJXF_MIRROR: return {w - 1 - x, y};
    default: return {x, h - 1 - y};
    }
}

int Difference(Rgb a, Rgb b)
{
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

} // namespace

TEST(LosslessTurn, EveryOperationMovesThePixelsAndKeepsTheCoding)
{
    const std::string dir = TempDir();
    const Bytes original = Saved(MakeRgb(64, 48, Smooth), LFMT_JFIF, 24, 2);
    for (std::int32_t op : {LJXF_ROTATE90, LJXF_ROTATE180, LJXF_ROTATE270, LJXF_MIRROR, LJXF_FLIP}) {
        SCOPED_TRACE(op);
        const std::string path = dir + "turn.jpg";
        WriteFile(path, original);
        const LBitmap before = Load(path);
        ASSERT_EQ(L_TransformJpegLossless(path.c_str(), op), LE_SUCCESS);
        const Bytes turned = ReadFile(path);
        // The same quantisation tables, so the same quality; the size within a few per cent.
        EXPECT_EQ(Segments(turned, 0xDB), Segments(original, 0xDB));
        EXPECT_LT(std::abs(double(turned.size()) - double(original.size())), original.size() * 0.05);
        const LBitmap after = Load(path);
        const bool swapped = op == LJXF_ROTATE90 || op == LJXF_ROTATE270;
        ASSERT_EQ(after.Width, swapped ? 48 : 64);
        ASSERT_EQ(after.Height, swapped ? 64 : 48);
        int worst = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const auto [nx, ny] = Moved(op, x, y, 64, 48);
                worst = std::max(worst, Difference(PixelAt(before, x, y), PixelAt(after, nx, ny)));
            }
        EXPECT_LE(worst, 2);
        EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"turn.jpg"}));
    }
}

TEST(LosslessTurn, TheExifOrientationCountsAndIsSetUpright)
{
    const std::string path = TempDir() + "camera.jpg";
    // Stored lying on its side, shown upright through orientation 6.
    WriteFile(path, WithExifOrientation(Saved(MakeRgb(64, 48, Smooth), LFMT_JFIF, 24, 2), 6, false));
    const LBitmap shown = Load(path);
    ASSERT_EQ(shown.Width, 48);
    ASSERT_EQ(L_TransformJpegLossless(path.c_str(), LJXF_ROTATE90), LE_SUCCESS);
    LFileInfo info;
    ASSERT_EQ(L_FileInfo(path.c_str(), &info, 0, nullptr), LE_SUCCESS);
    EXPECT_EQ(info.Orientation, 1);
    const LBitmap after = Load(path);
    ASSERT_EQ(after.Width, 64);
    ASSERT_EQ(after.Height, 48);
    int worst = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 48; ++x) {
            const auto [nx, ny] = Moved(LJXF_ROTATE90, x, y, 48, 64);
            worst = std::max(worst, Difference(PixelAt(shown, x, y), PixelAt(after, nx, ny)));
        }
    EXPECT_LE(worst, 2);
}

TEST(LosslessTurn, WhatCannotBeTurnedLosslesslyIsLeftAsItWas)
{
    const std::string dir = TempDir();
    struct Case {
        std::string name;
        Bytes bytes;
        std::int32_t op;
        int rc;
    };
    const Case cases[] = {
        {"odd.jpg", Saved(MakeRgb(61, 45, Smooth), LFMT_JFIF, 24, 2), LJXF_ROTATE90, LE_NOT_SUPPORTED},
        {"bmp.jpg", Saved(MakeRgb(16, 16, Smooth), LFMT_BMP), LJXF_ROTATE180, LE_NOT_SUPPORTED},
        {"empty.jpg", {}, LJXF_MIRROR, LE_NOT_SUPPORTED},
        {"op.jpg", Saved(MakeRgb(16, 16, Smooth), LFMT_JFIF), 99, LE_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        WriteFile(dir + c.name, c.bytes);
        EXPECT_EQ(L_TransformJpegLossless((dir + c.name).c_str(), c.op), c.rc) << c.name;
        EXPECT_EQ(ReadFile(dir + c.name), c.bytes) << c.name;
    }
    EXPECT_EQ(L_TransformJpegLossless((dir + "missing.jpg").c_str(), LJXF_FLIP), LE_FILE_NOT_FOUND);
    // A write-protected picture stays, also for root.
    const Bytes kept = Saved(MakeRgb(16, 16, Smooth), LFMT_JFIF);
    WriteFile(dir + "kept.jpg", kept);
    ::chmod((dir + "kept.jpg").c_str(), 0444);
    EXPECT_EQ(L_TransformJpegLossless((dir + "kept.jpg").c_str(), LJXF_ROTATE90), LE_FILE_WRITE);
    EXPECT_EQ(ReadFile(dir + "kept.jpg"), kept);
}
