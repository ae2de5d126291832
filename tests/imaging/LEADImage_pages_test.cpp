// The picture control's pages in files: Save of every page (GIF), the page modes (append,
// replace, insert), MacPaint's fixed size, and which files AutoAnimate plays; a new picture
// from memory or a feed ends the playback of the old one.
#include "ImagingFixtures.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <vector>

using namespace imgtest;

namespace {

constexpr LColor kPurple = LRgb(60, 20, 140);

// The colour at (1, 1) of every page of a file.
std::vector<LColor> FilePages(const QString& path)
{
    TLEADImage reader;
    reader.setEnableMethodErrors(false);
    if (reader.Load(path, 0, 1, -1) != 1)
        return {};
    return PageColors(reader);
}

} // namespace

TEST(LEADImagePages, SaveWritesTheListOrPutsThePageWhereModifySays)
{
    const QString dir = kvtest::MakeTempFolder("pages");
    const QString gif = dir + "pages.gif";
    TLEADImage list;
    list.setEnableMethodErrors(false);
    LBitmapList* rgb = MakeList({kRed, kGreen, kBlue});
    list.setBitmapList(rgb);
    L_DestroyBitmapList(rgb);
    // One after the other on the same file.
    const struct {
        const char* name;
        LColor page;  // 0: the three-page control
        int format, savePage, modify, rc;
        std::vector<LColor> after;
    } steps[] = {
        {"format 2 writes every page of the list", 0, LFMT_GIF, 1, 0, 1, {kRed, kGreen, kBlue}},
        {"Modify 1 appends", kWhite, LFMT_GIF, 1, 1, 1, {kRed, kGreen, kBlue, kWhite}},
        {"Modify -1 appends", kGrey, LFMT_GIF, 1, -1, 1, {kRed, kGreen, kBlue, kWhite, kGrey}},
        {"Modify 2 replaces SavePage", kOrange, LFMT_GIF, 2, 2, 1, {kRed, kOrange, kBlue, kWhite, kGrey}},
        {"Modify 3 inserts before SavePage", kPurple, LFMT_GIF, 1, 3, 1,
         {kPurple, kRed, kOrange, kBlue, kWhite, kGrey}},
        {"Modify 2 past the last page", kWhite, LFMT_GIF, 7, 2, LE_PAGE_NOT_FOUND,
         {kPurple, kRed, kOrange, kBlue, kWhite, kGrey}},
        {"Modify 0 starts the file again", kGreen, LFMT_GIF, 1, 0, 1, {kGreen}},
        {"Modify 1 onto a picture that is no GIF", kWhite, LFMT_BMP, 1, 1, LE_NOT_SUPPORTED, {kGreen}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        TLEADImage one;
        one.setEnableMethodErrors(false);
        Hold(one, 8, 6, s.page);
        TLEADImage& image = s.page == 0 ? list : one;
        image.SavePage = s.savePage;
        EXPECT_EQ(image.Save(gif, s.format, 0, 2, s.modify), s.rc);
        EXPECT_EQ(FilePages(gif), s.after);
    }
    EXPECT_EQ(Entries(dir), QStringList{"pages.gif"});
}

TEST(LEADImagePages, MacPaintIsWrittenAt576By720FromAnySize)
{
    // A dark picture: every row of 576 black pixels packs into a run of 72 bytes (2 bytes)
    // after the 512-byte header.
    for (bool progress : {false, true}) {
        SCOPED_TRACE(progress ? "row by row" : "whole");
        const QString path = kvtest::MakeTempFolder("macpaint") + "page.mac";
        TLEADImage image;
        image.setEnableMethodErrors(false);
        LBitmap dark = MakePicture(640, 480, [](int, int) { return LRgb(10, 10, 10); });
        image.setBitmap(&dark);
        L_FreeBitmap(&dark);
        image.setEnableProgressEvent(progress);
        ASSERT_EQ(image.Save(path, LFMT_MACPAINT, 0, 0, 0), 1);
        const QByteArray data = ReadBytes(path);
        ASSERT_EQ(data.size(), 512 + 720 * 2);
        for (int row : {0, 719})
            EXPECT_EQ(data.mid(512 + row * 2, 2), QByteArray("\xb9\xff", 2)) << row;
        EXPECT_EQ(image.BitmapWidth(), 640) << "the picture keeps its size";
    }
}

TEST(LEADImagePages, AutoAnimatePlaysAnimationsOnly)
{
    const QString dir = kvtest::MakeTempFolder("animate");
    const struct {
        const char* name;
        QString file;
        std::function<bool(const QString&)> write;
        int pages;
        bool plays;
    } cases[] = {
        {"a GIF of three frames", "three.gif", [](const QString& p) { return WriteGif(p, 6, 4, {1, 2, 3}); }, 3, true},
        {"a GIF of one frame", "one.gif", [](const QString& p) { return WriteGif(p, 6, 4, {1}); }, 1, false},
        {"a TIFF of three pages", "three.tif",
         [](const QString& p) { return WriteTiffPages(p, {kRed, kGreen, kBlue}, 6, 4); }, 3, false},
        {"a BMP", "one.bmp", [](const QString& p) { return SaveWithKernel(p, 6, 4, kRed, LFMT_BMP) == 1; }, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.write(dir + c.file));
        TLEADImage image;
        image.setAutoAnimate(true);
        ASSERT_EQ(image.Load(dir + c.file, 0, 1, -1), 1);
        EXPECT_EQ(image.AnimationPlaying(), c.plays);
        if (!c.plays)
            EXPECT_EQ(image.BitmapListCount(), c.pages) << "the pages are in the list";
    }
}

TEST(LEADImagePages, APictureFromMemoryOrAFeedEndsThePlayback)
{
    const QString dir = kvtest::MakeTempFolder("newpicture");
    ASSERT_TRUE(WriteTimedGif(dir + "loop.gif", 6, 4, {{1, 1}, {2, 1}, {3, 1}}, 0));
    const QByteArray bmp = ExistingPicture(dir + "blue.bmp", LFMT_BMP);
    for (bool feed : {false, true}) {
        SCOPED_TRACE(feed ? "StartFeedLoad" : "LoadMemory");
        TLEADImage image;
        image.resize(20, 20);
        image.setAutoAnimate(true);
        std::vector<bool> animate;
        image.OnAnimate = [&](QObject*, bool on) { animate.push_back(on); };
        ASSERT_EQ(image.Load(dir + "loop.gif", 0, 1, -1), 1);
        ASSERT_TRUE(image.AnimationPlaying());
        if (feed) {
            ASSERT_EQ(image.StartFeedLoad(0, 1, -1), 1);
            ASSERT_EQ(image.FeedLoad(bmp.constData(), bmp.size()), 1);
            ASSERT_EQ(image.StopFeedLoad(), 1);
        } else {
            ASSERT_EQ(image.LoadMemory(bmp, 0, 1), 1);
        }
        EXPECT_FALSE(image.AnimationPlaying());
        EXPECT_EQ(animate, (std::vector<bool>{true, false})) << "the playback was ended as a load ends it";
        for (int i = 0; i < 20; ++i) {
            QApplication::processEvents();
            QThread::msleep(2);
        }
        EXPECT_FALSE(image.AnimationPlaying());
        EXPECT_EQ(image.BitmapWidth(), 10);
        EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), LRgb(0, 0, 255)) << "the new picture, not a frame";
    }
}
