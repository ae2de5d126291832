// The kernel's GIF and MacPaint saves: every page of a list as a frame, pages appended to,
// replacing or inserted into a GIF's pages (the file written again safely), and MacPaint's one
// black-and-white page of 576 x 720.
#include "ImageFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fixtures;

namespace {

LBitmap Solid(Rgb c, std::int32_t w = 8, std::int32_t h = 6)
{
    return MakeRgb(w, h, [c](std::int32_t, std::int32_t) { return c; });
}

const Rgb kA{200, 0, 0}, kB{0, 200, 0}, kC{0, 0, 200}, kD{200, 200, 0}, kE{0, 200, 200};

LBitmapList* ListOf(const std::vector<Rgb>& colours)
{
    LBitmapList* list = nullptr;
    L_CreateBitmapList(&list);
    for (const Rgb& c : colours) {
        const LBitmap page = Solid(c);
        L_InsertBitmapListItem(list, -1, &page);
    }
    return list;
}

int CountPage(LFileInfo*, LBitmap* bitmap, std::uint8_t*, std::uint32_t flags, std::int32_t, std::int32_t, void* user)
{
    if (flags & LRF_PAGE_FIRST)
        static_cast<std::vector<Rgb>*>(user)->push_back(PixelAt(*bitmap, 1, 1));
    return 1;
}

// The colour at (1, 1) of every page of a file, in order.
std::vector<Rgb> PagesOf(const std::string& path)
{
    std::vector<Rgb> pages;
    LBitmap b;
    LLoadOptions o;
    L_GetDefaultLoadFileOption(&o);
    EXPECT_EQ(L_LoadFile(path.c_str(), &b, 0, LORDER_BGR, 0, &CountPage, &pages, &o, nullptr), LE_SUCCESS);
    L_FreeBitmap(&b);
    return pages;
}

// One MacPaint row unpacked (PackBits), or empty when the data runs out.
std::vector<std::uint8_t> UnpackRow(const Bytes& data, std::size_t& at)
{
    std::vector<std::uint8_t> row;
    while (row.size() < 72 && at < data.size()) {
        const int n = std::int8_t(data[at++]);
        if (n >= 0) {
            for (int i = 0; i <= n && at < data.size(); ++i)
                row.push_back(data[at++]);
        } else if (n != -128 && at < data.size()) {
            row.insert(row.end(), std::size_t(1 - n), data[at++]);
        }
    }
    return row;
}

} // namespace

TEST(SavePages, GifPagesAreWrittenAppendedReplacedOrInsertedInPlace)
{
    enum Start { kNone, kGifABC, kBmp };
    const struct {
        const char* name;
        Start start;
        std::vector<Rgb> pages;
        std::int32_t pageNumber;
        std::uint32_t flags;
        int rc;
        std::vector<Rgb> after;  // the file's pages afterwards (for kBmp: unchanged, not read)
    } cases[] = {
        {"a new file of three pages", kNone, {kA, kB, kC}, 1, 0, LE_SUCCESS, {kA, kB, kC}},
        {"a new file replaces an old one", kGifABC, {kD}, 1, 0, LE_SUCCESS, {kD}},
        {"append one", kGifABC, {kD}, 2, 0, LE_SUCCESS, {kA, kB, kC, kD}},
        {"append two", kGifABC, {kD, kE}, 2, 0, LE_SUCCESS, {kA, kB, kC, kD, kE}},
        {"append to no file starts one", kNone, {kD}, 2, 0, LE_SUCCESS, {kD}},
        {"replace page 2", kGifABC, {kD}, 2, LSO_REPLACE_PAGE, LE_SUCCESS, {kA, kD, kC}},
        {"replace the last page", kGifABC, {kD}, 3, LSO_REPLACE_PAGE, LE_SUCCESS, {kA, kB, kD}},
        {"replace page 4 of 3", kGifABC, {kD}, 4, LSO_REPLACE_PAGE, LE_PAGE_NOT_FOUND, {kA, kB, kC}},
        {"replace in no file", kNone, {kD}, 1, LSO_REPLACE_PAGE, LE_FILE_NOT_FOUND, {}},
        {"insert before page 1", kGifABC, {kD}, 1, LSO_INSERT_PAGE, LE_SUCCESS, {kD, kA, kB, kC}},
        {"insert before page 2", kGifABC, {kD, kE}, 2, LSO_INSERT_PAGE, LE_SUCCESS, {kA, kD, kE, kB, kC}},
        {"insert one past the last appends", kGifABC, {kD}, 4, LSO_INSERT_PAGE, LE_SUCCESS, {kA, kB, kC, kD}},
        {"insert two past the last", kGifABC, {kD}, 5, LSO_INSERT_PAGE, LE_PAGE_NOT_FOUND, {kA, kB, kC}},
        {"append to a file that is no GIF", kBmp, {kD}, 2, 0, LE_FILE_FORMAT, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dir = TempDir();
        const std::string path = dir + "pages.gif";
        if (c.start == kGifABC) {
            LBitmapList* abc = ListOf({kA, kB, kC});
            ASSERT_EQ(L_SaveBitmapList(path.c_str(), abc, LFMT_GIF, 0, 0, nullptr), LE_SUCCESS);
            L_DestroyBitmapList(abc);
        } else if (c.start == kBmp) {
            WriteFile(path, Saved(Solid(kA), LFMT_BMP));
        }
        const Bytes before = c.start == kNone ? Bytes{} : ReadFile(path);
        LSaveOptions o;
        o.PageNumber = c.pageNumber;
        o.Flags |= c.flags;
        LBitmapList* list = ListOf(c.pages);
        EXPECT_EQ(L_SaveBitmapList(path.c_str(), list, LFMT_GIF, 0, 0, &o), c.rc);
        L_DestroyBitmapList(list);
        if (c.rc != LE_SUCCESS) {
            EXPECT_EQ(FileExists(path) ? ReadFile(path) : Bytes{}, before) << "a refused save leaves the file";
        } else {
            EXPECT_EQ(PagesOf(path), c.after);
        }
        EXPECT_EQ(ListDir(dir).size(), c.start == kNone && c.rc != LE_SUCCESS ? 0u : 1u) << "no temporary file";
    }
}

TEST(SavePages, GifFramesKeepPalettesDelaysAndTheLoop)
{
    const std::string dir = TempDir();
    const std::string path = dir + "frames.gif";
    // An 8-bit page keeps its colours exactly; a 24-bit page of few colours too; one of many
    // colours is reduced to 256.
    LBitmap indexed = MakeIndexed(12, 9, 8);
    indexed.Delay = 120;
    LBitmap few = Solid(kB, 12, 9);
    few.Delay = 50;
    LBitmap many = MakeRgb(40, 30);
    LBitmapList* list = nullptr;
    L_CreateBitmapList(&list);
    for (const LBitmap* p : {&indexed, &few, &many})
        L_InsertBitmapListItem(list, -1, p);
    LSaveOptions o;
    o.Flags |= LSO_LOOP;
    o.LoopCount = 0;
    ASSERT_EQ(L_SaveBitmapList(path.c_str(), list, LFMT_GIF, 0, 0, &o), LE_SUCCESS);
    L_DestroyBitmapList(list);

    LFileInfo info;
    ASSERT_EQ(L_FileInfo(path.c_str(), &info, 0, nullptr), LE_SUCCESS);
    EXPECT_EQ(info.Format, LFMT_GIF);
    EXPECT_EQ(info.TotalPages, 3);
    EXPECT_EQ(info.CanvasWidth, 40);
    EXPECT_EQ(info.CanvasHeight, 30);
    EXPECT_TRUE(info.Flags & LFI_HAS_LOOP);
    EXPECT_EQ(info.LoopCount, 0);

    struct Loaded {
        std::vector<LBitmap> pages;
    } loaded;
    LBitmap b;
    LLoadOptions lo;
    L_GetDefaultLoadFileOption(&lo);
    ASSERT_EQ(L_LoadFile(
                  path.c_str(), &b, 24, LORDER_BGR, 0,
                  [](LFileInfo*, LBitmap* page, std::uint8_t*, std::uint32_t flags, std::int32_t, std::int32_t, void* u) {
                      if (flags & LRF_PAGE_FIRST) {
                          static_cast<Loaded*>(u)->pages.emplace_back();
                          L_CopyBitmap(&static_cast<Loaded*>(u)->pages.back(), page);
                      }
                      return 1;
                  },
                  &loaded, &lo, nullptr),
              LE_SUCCESS);
    ASSERT_EQ(loaded.pages.size(), 3u);
    EXPECT_EQ(loaded.pages[0].Delay, 120);
    EXPECT_EQ(loaded.pages[1].Delay, 50);
    for (std::int32_t y = 0; y < 9; ++y)
        for (std::int32_t x = 0; x < 12; ++x) {
            ASSERT_EQ(PixelAt(loaded.pages[0], x, y), PixelAt(indexed, x, y)) << x << ", " << y;
            ASSERT_EQ(PixelAt(loaded.pages[1], x, y), kB) << x << ", " << y;
        }
    EXPECT_LE(MaxDifference(loaded.pages[2], many), 48) << "reduced to 256 colours, close";
}

TEST(SavePages, MacPaintIsOneBlackAndWhitePageOf576By720)
{
    const std::string dir = TempDir();
    const std::string path = dir + "page.mac";
    // Dark on the left half, light on the right, one dark row across at 700.
    const LBitmap page = MakeRgb(576, 720, [](std::int32_t x, std::int32_t y) {
        return (x < 288 || y == 700) ? Rgb{20, 40, 30} : Rgb{230, 220, 240};
    });
    ASSERT_EQ(L_SaveBitmap(path.c_str(), &page, LFMT_MACPAINT, 24, 0, nullptr), LE_SUCCESS);
    const Bytes data = ReadFile(path);
    ASSERT_GT(data.size(), 512u);
    EXPECT_EQ(data[3], 2);
    std::size_t at = 512;
    for (int y = 0; y < 720; ++y) {
        const std::vector<std::uint8_t> row = UnpackRow(data, at);
        ASSERT_EQ(row.size(), 72u) << "row " << y;
        for (int i = 0; i < 72; ++i)
            ASSERT_EQ(row[std::size_t(i)], (i < 36 || y == 700) ? 0xff : 0x00) << "row " << y << ", byte " << i;
    }
    EXPECT_EQ(at, data.size()) << "720 rows and nothing after them";

    const struct {
        const char* name;
        LBitmap bitmap;
        std::int32_t pageNumber;
        int rc;
    } refused[] = {
        {"another size", MakeRgb(640, 480), 1, LE_INVALID_SIZE},
        {"a second page", page, 2, LE_NOT_SUPPORTED},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.name);
        LSaveOptions o;
        o.PageNumber = r.pageNumber;
        EXPECT_EQ(L_SaveBitmap(path.c_str(), &r.bitmap, LFMT_MACPAINT, 0, 0, &o), r.rc);
        EXPECT_EQ(ReadFile(path), data) << "the old file stays";
    }
    EXPECT_EQ(ListDir(dir), std::vector<std::string>{"page.mac"});
}
