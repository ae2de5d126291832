// Saving: formats, depths, quality factors, row and status callbacks, the safe replace.
#include "ImageFixtures.h"
#include "platform/imagelib/FileIo.h"
#include "support/FullDisk.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace fixtures;

namespace {

// A smooth picture, kind to JPEG.
Rgb Smooth(std::int32_t x, std::int32_t y) { return Rgb{std::uint8_t(x * 3), std::uint8_t(y * 4), std::uint8_t(128 + x - y)}; }

LBitmap Reload(const Bytes& data)
{
    LBitmap b;
    EXPECT_EQ(L_LoadBitmapMemory(data.data(), data.size(), &b, 0, LORDER_BGR, nullptr, nullptr), LE_SUCCESS);
    return b;
}

// Sampling factors of the first component, read by libjpeg itself.
std::pair<int, int> Sampling(const Bytes& jpeg)
{
    jpeg_decompress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, jpeg.data(), (unsigned long)jpeg.size());
    jpeg_read_header(&c, TRUE);
    const std::pair<int, int> s{c.comp_info[0].h_samp_factor, c.comp_info[0].v_samp_factor};
    jpeg_destroy_decompress(&c);
    return s;
}

int Save(const std::string& path, const LBitmap& b, std::int32_t format, std::int32_t bits = 0, std::int32_t qf = 2)
{
    return L_SaveBitmap(path.c_str(), &b, format, bits, qf, nullptr);
}

} // namespace

TEST(SaveJpeg, FormatsTenAndTwentyThreeReadBackWithTheirSampling)
{
    const LBitmap b = MakeRgb(64, 48, Smooth);
    struct Case {
        std::int32_t format;
        std::pair<int, int> sampling;
        const char* compression;
    } cases[] = {{LFMT_JFIF, {1, 1}, "JPEG 4:4:4"}, {LFMT_JPEG_422, {2, 1}, "JPEG 4:2:2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const Bytes jpeg = Saved(b, c.format, 24, 2);
        EXPECT_EQ(Sampling(jpeg), c.sampling);
        LFileInfo info;
        ASSERT_EQ(L_FileInfoMemory(jpeg.data(), jpeg.size(), &info, 0, nullptr), LE_SUCCESS);
        EXPECT_EQ(info.Format, c.format);
        EXPECT_EQ(info.Compression, c.compression);
        EXPECT_EQ(info.Orientation, 1);
        const LBitmap back = Reload(jpeg);
        EXPECT_LE(MaxDifference(back, b), 8);
    }
}

TEST(SaveJpeg, QualityFactorTwoKeepsMoreThanTwentyTwo)
{
    const LBitmap noisy = MakeRgb(96, 64);
    std::size_t previous = SIZE_MAX;
    for (std::int32_t qf : {2, 4, 22, 60, 120, 255}) {
        const std::size_t size = Saved(noisy, LFMT_JPEG_422, 24, qf).size();
        EXPECT_LT(size, previous) << qf;
        previous = size;
    }
    const LBitmap smooth = MakeRgb(96, 64, Smooth);
    EXPECT_LT(MaxDifference(Reload(Saved(smooth, LFMT_JFIF, 24, 2)), smooth),
              MaxDifference(Reload(Saved(smooth, LFMT_JFIF, 24, 22)), smooth) + 1);
    EXPECT_EQ(L_JpegQualityOfQFactor(2), 100);
    EXPECT_EQ(L_JpegQualityOfQFactor(22), 85);
    EXPECT_EQ(L_JpegQualityOfQFactor(255), 1);
    for (std::int32_t qf = 3; qf <= 255; ++qf)
        ASSERT_LE(L_JpegQualityOfQFactor(qf), L_JpegQualityOfQFactor(qf - 1)) << qf;
}

TEST(SaveJpeg, QualityFactorsOutsideTheRangeAreRefused)
{
    const std::string dir = TempDir();
    const LBitmap b = MakeRgb(8, 8);
    for (std::int32_t qf : {-5, 0, 1, 256, 1000}) {
        EXPECT_EQ(Save(dir + "q.jpg", b, LFMT_JFIF, 24, qf), LE_INVALID_QFACTOR) << qf;
        EXPECT_EQ(L_JpegQualityOfQFactor(qf), 0);
    }
    EXPECT_TRUE(ListDir(dir).empty());
    // BMP and PNG do not use the quality factor.
    EXPECT_EQ(Save(dir + "q.bmp", b, LFMT_BMP, 24, 0), LE_SUCCESS);
}

TEST(SaveJpeg, GreyBitmapsAndEightBitsWriteGreyJpegs)
{
    LBitmap grey;
    ASSERT_EQ(L_CreateBitmap(&grey, 16, 16, 8), LE_SUCCESS);
    std::uint8_t* p = grey.BeginWrite();
    for (int i = 0; i < 16 * 16; ++i)
        p[i] = std::uint8_t(i);
    struct Case {
        LBitmap source;
        std::int32_t bits;
        int rc;
    } cases[] = {{grey, 0, LE_SUCCESS}, {MakeRgb(16, 16, Smooth), 8, LE_SUCCESS}, {grey, 24, LE_SUCCESS},
                 {grey, 4, LE_INVALID_BITS}, {grey, 1, LE_INVALID_BITS}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        Bytes out;
        EXPECT_EQ(L_SaveBitmapMemory(&out, &c.source, LFMT_JFIF, c.bits, 2, nullptr), c.rc);
        if (c.rc != LE_SUCCESS)
            continue;
        const LBitmap back = Reload(out);
        EXPECT_EQ(back.BitsPerPixel, c.bits == 24 ? 24 : 8);
        if (c.source.BitsPerPixel == 8) {
            EXPECT_LE(MaxDifference(back, c.source), 3);
        }
    }
}

TEST(SaveFormats, FormatsTheKernelDoesNotWriteAreRefused)
{
    const std::string dir = TempDir();
    const LBitmap b = MakeRgb(8, 8);
    for (std::int32_t format : {0, -1, LFMT_TIF, 4, LFMT_OS2, LFMT_TIF_LZW, LFMT_JPEG_411, LFMT_BMP_RLE, 999}) {
        EXPECT_EQ(Save(dir + "x.img", b, format), LE_NOT_SUPPORTED) << format;
    }
    EXPECT_TRUE(ListDir(dir).empty());
    LBitmap empty;
    EXPECT_EQ(Save(dir + "x.bmp", empty, LFMT_BMP), LE_NO_BITMAP);
    LSaveOptions second;
    second.PageNumber = 2;
    EXPECT_EQ(L_SaveBitmap((dir + "x.bmp").c_str(), &b, LFMT_BMP, 0, 0, &second), LE_NOT_SUPPORTED);
}

TEST(SaveFormats, BmpAndPngKeepOrExpandTheDepthExactly)
{
    struct Case {
        std::int32_t srcBits, bits;
        int rc;
        std::int32_t loadedBits;
    } cases[] = {
        {1, 0, LE_SUCCESS, 1},   {4, 0, LE_SUCCESS, 4},   {8, 0, LE_SUCCESS, 8},        {24, 0, LE_SUCCESS, 24},
        {1, 4, LE_SUCCESS, 4},   {4, 8, LE_SUCCESS, 8},   {4, 24, LE_SUCCESS, 24},      {8, 24, LE_SUCCESS, 24},
        {8, 4, LE_NOT_SUPPORTED, 0}, {24, 8, LE_NOT_SUPPORTED, 0}, {24, 16, LE_INVALID_BITS, 0},
        {24, 32, LE_INVALID_BITS, 0},
    };
    for (std::int32_t format : {LFMT_BMP, LFMT_PNG})
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "format " << format << ": " << c.srcBits << " -> " << c.bits);
            const LBitmap src = c.srcBits == 24 ? MakeRgb(13, 7) : MakeIndexed(13, 7, c.srcBits);
            Bytes out;
            ASSERT_EQ(L_SaveBitmapMemory(&out, &src, format, c.bits, 0, nullptr), c.rc);
            if (c.rc != LE_SUCCESS)
                continue;
            LFileInfo info;
            ASSERT_EQ(L_FileInfoMemory(out.data(), out.size(), &info, 0, nullptr), LE_SUCCESS);
            EXPECT_EQ(info.Format, format);
            const LBitmap back = Reload(out);
            EXPECT_EQ(back.BitsPerPixel, c.loadedBits);
            EXPECT_EQ(MaxDifference(back, src), 0);
        }
}

TEST(SaveFormats, PicturesAreWrittenAsSeenThroughTheirPerspective)
{
    LBitmap b = MakeRgb(9, 4);
    b.ViewPerspective = LVP_RIGHT_TOP;
    b.XResolution = 300;
    b.YResolution = 150;
    for (std::int32_t format : {LFMT_BMP, LFMT_PNG}) {
        const LBitmap back = Reload(Saved(b, format));
        EXPECT_EQ(back.Width, 4);
        EXPECT_EQ(back.Height, 9);
        EXPECT_EQ(back.ViewPerspective, LVP_TOP_LEFT);
        EXPECT_EQ(back.XResolution, 150);
        EXPECT_EQ(back.YResolution, 300);
        EXPECT_EQ(MaxDifference(back, b), 0);
    }
}

TEST(SaveFormats, ListSavesTakeOnePageExceptInGif)
{
    const std::string dir = TempDir();
    LBitmapList* list = nullptr;
    L_CreateBitmapList(&list);
    EXPECT_EQ(L_SaveBitmapList((dir + "l.bmp").c_str(), list, LFMT_BMP, 0, 0, nullptr), LE_NO_BITMAP);
    const LBitmap page = MakeRgb(5, 5);
    L_InsertBitmapListItem(list, -1, &page);
    EXPECT_EQ(L_SaveBitmapList((dir + "l.bmp").c_str(), list, LFMT_BMP, 0, 0, nullptr), LE_SUCCESS);
    EXPECT_EQ(L_SaveBitmapList((dir + "l.gif").c_str(), list, LFMT_GIF, 8, 0, nullptr), LE_SUCCESS) << "GIF holds pages";
    L_InsertBitmapListItem(list, -1, &page);
    EXPECT_EQ(L_SaveBitmapList((dir + "two.bmp").c_str(), list, LFMT_BMP, 0, 0, nullptr), LE_NOT_SUPPORTED);
    L_DestroyBitmapList(list);
    EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"l.bmp", "l.gif"}));
    EXPECT_EQ(ReadFile(dir + "l.bmp"), Saved(page, LFMT_BMP));
}

// ---- callbacks and the safe replace -----------------------------------------------------------

namespace {
struct RowFeed {
    std::int32_t stopAtRow = -1;
    int stopWith = 0;
    std::int32_t rowsAsked = 0;
};

// Fills rows with the Smooth picture instead of the bitmap's own pixels.
int FeedRows(LBitmap* bitmap, std::uint8_t* buffer, std::int32_t row, std::int32_t lines, void* user)
{
    auto* f = static_cast<RowFeed*>(user);
    const std::int32_t line = L_BytesPerLine(bitmap->ViewWidth(), bitmap->BitsPerPixel);
    for (std::int32_t i = 0; i < lines; ++i) {
        if (f->stopAtRow >= 0 && row + i >= f->stopAtRow)
            return f->stopWith;
        for (std::int32_t x = 0; x < bitmap->ViewWidth(); ++x) {
            const Rgb c = Smooth(x, row + i);
            std::uint8_t* p = buffer + std::size_t(i) * line + 3 * x;
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
        ++f->rowsAsked;
    }
    return 1;
}
} // namespace

TEST(SaveCallbacks, SaveRowCallbackSuppliesTheRows)
{
    const std::string path = TempDir() + "rows.png";
    LBitmap b = MakeRgb(20, 40);
    RowFeed feed;
    ASSERT_EQ(L_SaveFile(path.c_str(), &b, LFMT_PNG, 0, 0, LSF_OPTIMIZED_PALETTE, FeedRows, &feed, nullptr), LE_SUCCESS);
    EXPECT_EQ(feed.rowsAsked, 40);
    LBitmap back;
    ASSERT_EQ(L_LoadFile(path.c_str(), &back, 0, LORDER_BGR, 0, nullptr, nullptr, nullptr, nullptr), LE_SUCCESS);
    EXPECT_EQ(MaxDifference(back, MakeRgb(20, 40, Smooth)), 0);
}

TEST(SaveCallbacks, AStoppedSaveLeavesTheOldFileAndNoTemporaryFile)
{
    const std::string dir = TempDir();
    const std::string target = dir + "picture.jpg";
    const Bytes old = Saved(MakeRgb(6, 6), LFMT_JFIF);
    WriteFile(target, old);
    LBitmap b = MakeRgb(64, 200);
    struct Case {
        const char* name;
        int stopWith;
        int rc;
    } cases[] = {{"abort", 0, LE_USER_ABORT}, {"failure code", LE_FILE_READ, LE_FILE_READ}};
    for (std::int32_t format : {LFMT_JFIF, LFMT_BMP, LFMT_PNG})
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", format " << format);
            RowFeed feed;
            feed.stopAtRow = 100;
            feed.stopWith = c.stopWith;
            EXPECT_EQ(L_SaveFile(target.c_str(), &b, format, 0, 2, 0, FeedRows, &feed, nullptr), c.rc);
            EXPECT_EQ(ReadFile(target), old);
            EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"picture.jpg"}));
        }
}

TEST(SaveCallbacks, AnExceptionFromTheRowCallbackKeepsTheOldFile)
{
    const std::string dir = TempDir();
    const std::string target = dir + "keep.png";
    const Bytes old = Saved(MakeRgb(3, 3), LFMT_PNG);
    WriteFile(target, old);
    LBitmap b = MakeRgb(30, 100);
    auto throwing = [](LBitmap*, std::uint8_t*, std::int32_t row, std::int32_t, void*) -> int {
        if (row > 40)
            throw std::runtime_error("from the save-row callback");
        return 1;
    };
    for (std::int32_t format : {LFMT_JFIF, LFMT_BMP, LFMT_PNG}) {
        EXPECT_THROW(L_SaveFile(target.c_str(), &b, format, 0, 2, 0, throwing, nullptr, nullptr), std::runtime_error);
        EXPECT_EQ(ReadFile(target), old);
        EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"keep.png"}));
    }
}

TEST(SaveCallbacks, StatusCallbackStopsASaveTheSameWay)
{
    const std::string dir = TempDir();
    const std::string target = dir + "Temp.jpg";
    const Bytes old = Saved(MakeRgb(6, 6), LFMT_JFIF);
    WriteFile(target, old);
    struct Status {
        int calls = 0;
        std::vector<int> percents;
    } status;
    L_SetStatusCallBack(
        [](std::int32_t percent, void* user) {
            auto* s = static_cast<Status*>(user);
            s->percents.push_back(percent);
            return ++s->calls < 5 ? 1 : 0;
        },
        &status, nullptr, nullptr);
    const LBitmap b = MakeRgb(64, 400);
    EXPECT_EQ(Save(target, b, LFMT_JPEG_422), LE_USER_ABORT);
    L_SetStatusCallBack(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(status.calls, 5);
    EXPECT_TRUE(std::is_sorted(status.percents.begin(), status.percents.end()));
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"Temp.jpg"}));
    // Without the callback the same save replaces the file.
    EXPECT_EQ(Save(target, b, LFMT_JPEG_422), LE_SUCCESS);
    EXPECT_EQ(ReadFile(target), Saved(b, LFMT_JPEG_422));
    EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"Temp.jpg"}));
}

TEST(SafeReplace, WriteFailuresGiveTheWriteError)
{
    const std::string dir = TempDir();
    WriteFile(dir + "plain", {1});
    std::filesystem::create_directory(dir + "folder");
    const LBitmap b = MakeRgb(32, 32);
    struct Case {
        std::string path;
        int rc;
    } cases[] = {{dir + "plain/inside.jpg", LE_FILE_WRITE},
                 {dir + "missing/x.jpg", LE_FILE_WRITE},
                 {dir + "folder", LE_FILE_WRITE},
                 {"", LE_INVALID_FILENAME}};
    for (const Case& c : cases)
        EXPECT_EQ(Save(c.path, b, LFMT_JFIF), c.rc) << c.path;
    EXPECT_EQ(ReadFile(dir + "plain"), Bytes{1});
    if (std::filesystem::exists("/dev/full")) {
        for (std::int32_t format : {LFMT_JFIF, LFMT_BMP, LFMT_PNG})
            EXPECT_EQ(Save("/dev/full", b, format), LE_FILE_WRITE) << format;
        EXPECT_TRUE(std::filesystem::is_character_file("/dev/full")); // written, never replaced
    }
}

TEST(SafeReplace, ReplacingKeepsTheModeAndTheLink)
{
    const std::string dir = TempDir();
    const std::string real = dir + "real.bmp", link = dir + "link.bmp";
    WriteFile(real, {1, 2, 3});
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_symlink(real, link);
    const LBitmap b = MakeRgb(4, 4);
    ASSERT_EQ(Save(link, b, LFMT_BMP), LE_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(real), Saved(b, LFMT_BMP));
    struct stat st {};
    ::stat(real.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"link.bmp", "real.bmp"}));
}

TEST(SafeReplace, MemoryAndFileSavesGiveTheSameBytes)
{
    const std::string path = TempDir() + "same.jpg";
    const LBitmap b = MakeRgb(40, 30);
    for (std::int32_t format : {LFMT_JFIF, LFMT_JPEG_422, LFMT_BMP, LFMT_PNG}) {
        ASSERT_EQ(Save(path, b, format, 0, 4), LE_SUCCESS);
        Bytes mem;
        ASSERT_EQ(L_SaveBitmapMemory(&mem, &b, format, 0, 4, nullptr), LE_SUCCESS);
        EXPECT_EQ(ReadFile(path), mem) << format;
    }
}

TEST(SafeReplace, AFullDiskOrAWriteProtectedPictureKeepsTheOldFile)
{
    const LBitmap b = MakeRgb(64, 48, Smooth);
    const Bytes old = Saved(MakeRgb(8, 8), LFMT_JFIF);
    {
        kvtest::FullDisk disk;
        const std::string dir = disk.Folder().toStdString();
        WriteFile(dir + "photo.jpg", old);
        disk.Fill();
        for (std::int32_t format : {LFMT_JFIF, LFMT_JPEG_422, LFMT_BMP, LFMT_PNG})
            EXPECT_EQ(Save(dir + "photo.jpg", b, format), LE_FILE_WRITE) << format;
        EXPECT_EQ(ReadFile(dir + "photo.jpg"), old);
        disk.Release();
        std::vector<std::string> left = ListDir(dir);
        EXPECT_EQ(left, (std::vector<std::string>{"photo.jpg"}));
    }
    // Mode 0444: refused also for root, who could write it.
    const std::string dir = TempDir();
    WriteFile(dir + "kept.jpg", old);
    ::chmod((dir + "kept.jpg").c_str(), 0444);
    EXPECT_EQ(Save(dir + "kept.jpg", b, LFMT_JFIF), LE_FILE_WRITE);
    EXPECT_EQ(ReadFile(dir + "kept.jpg"), old);
    EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"kept.jpg"}));
}

TEST(SafeReplace, AWriterKilledBeforeItsCommitLeavesNothing)
{
    const std::string dir = TempDir();
    WriteFile(dir + "photo.jpg", {1, 2, 3});
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Half a picture written, then the process ends without a word: as a kill does.
        kvimg::SafeFileWriter writer;
        if (writer.Open((dir + "photo.jpg").c_str()) != LE_SUCCESS)
            ::_exit(2);
        const std::vector<std::uint8_t> half(3 << 20, 0x55);
        writer.Write(half.data(), half.size());
        writer.WriteAt(0, half.data(), 16);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ListDir(dir), (std::vector<std::string>{"photo.jpg"}));
    EXPECT_EQ(ReadFile(dir + "photo.jpg"), (Bytes{1, 2, 3}));
}
