// The picture control's loading and saving: formats, pages, failures, progress and aborts,
// the safe replace of an existing file, memory and feed loads.
#include "ImagingFixtures.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace imgtest;

namespace {

struct FormatCase {
    const char* name;
    std::function<bool(const QString&)> write;
    int format;
    int bits;
};

TEST(LEADImageLoad, EachFormatLoadsWithItsFormatNumberSizeAndDepth)
{
    const QString dir = kvtest::MakeTempFolder("formats");
    const FormatCase cases[] = {
        {"jfif.jpg", [](const QString& p) { return SaveWithKernel(p, 33, 21, kOrange, LFMT_JFIF) == 1; }, 10, 24},
        {"jpeg422.jpg", [](const QString& p) { return SaveWithKernel(p, 33, 21, kOrange, LFMT_JPEG_422) == 1; }, 23,
         24},
        {"plain.bmp", [](const QString& p) { return SaveWithKernel(p, 33, 21, kOrange, LFMT_BMP) == 1; }, 6, 24},
        {"plain.png", [](const QString& p) { return SaveWithKernel(p, 33, 21, kOrange, LFMT_PNG) == 1; }, 75, 24},
        {"one.tif", [](const QString& p) { return WriteTiffPages(p, {kOrange}, 33, 21); }, 3, 24},
        {"one.gif", [](const QString& p) { return WriteGif(p, 33, 21, {1}); }, 2, 8},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir + c.name;
        ASSERT_TRUE(c.write(path));
        TLEADImage image;
        int changes = 0;
        image.OnChange = [&](QObject*) { ++changes; };
        EXPECT_EQ(image.Load(path, 0, 1, -1), 1);
        EXPECT_EQ(image.LastError(), 1);
        EXPECT_EQ(changes, 1);
        ASSERT_TRUE(image.Allocated());
        EXPECT_EQ(image.InfoFormat(), c.format);
        EXPECT_EQ(image.InfoWidth(), 33);
        EXPECT_EQ(image.InfoHeight(), 21);
        EXPECT_EQ(image.InfoBits(), c.bits);
        EXPECT_EQ(image.InfoTotalPages(), 1);
        EXPECT_FALSE(image.InfoCompress().isEmpty());
        EXPECT_EQ(image.InfoSizeDisk(), QFileInfo(path).size());
        EXPECT_EQ(image.BitmapWidth(), 33);
        EXPECT_EQ(image.BitmapHeight(), 21);
        EXPECT_EQ(image.BitmapBits(), c.bits);
        EXPECT_EQ(image.BitmapListCount(), 1);
        EXPECT_EQ(image.LoadedFileName(), path);
        EXPECT_FALSE(image.Busy());
        EXPECT_FALSE(image.LoadGuard());
        EXPECT_EQ(image.StateFlags(), 0);
        const LColor expected = c.format == 2 ? kRed : kOrange;
        EXPECT_TRUE(Near(PixelOf(*image.Bitmap(), 5, 5), expected, 6));
    }
}

TEST(LEADImageLoad, BitsPerPixelTwentyFourExpandsAPalettePicture)
{
    const QString path = kvtest::MakeTempFolder("bits") + "red.gif";
    ASSERT_TRUE(WriteGif(path, 9, 7, {1}));
    TLEADImage image;
    EXPECT_EQ(image.Load(path, 24, 1, -1), 1);
    EXPECT_EQ(image.BitmapBits(), 24);
    EXPECT_EQ(PixelOf(*image.Bitmap(), 3, 3), kRed);
}

TEST(LEADImageLoad, FailuresLeaveTheControlEmptyAndReportTheCode)
{
    const QString dir = kvtest::MakeTempFolder("failures");
    ASSERT_EQ(SaveWithKernel(dir + "good.jpg", 64, 48, kOrange, LFMT_JFIF), 1);
    const QByteArray good = ReadBytes(dir + "good.jpg");
    ASSERT_TRUE(WriteBytes(dir + "truncated.jpg", good.left(good.size() / 3)));
    ASSERT_TRUE(WriteBytes(dir + "notes.txt", "these are not pixels\n"));

    const struct {
        const char* file;
        int code;  // 0: any failure code
        const char* text;  // part of the message
    } cases[] = {
        {"missing.jpg", -10, "\nLoad: File not found "},
        {"truncated.jpg", 0, "\nLoad: "},
        {"notes.txt", -9, "\nLoad: Invalid file format "},
    };
    for (const auto& c : cases) {
        for (bool methodErrors : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.file << (methodErrors ? " raising" : " quiet"));
            TLEADImage image;
            image.setObjectName("View");
            ASSERT_EQ(image.Load(dir + "good.jpg", 0, 1, -1), 1);
            image.setEnableMethodErrors(methodErrors);
            int changes = 0;
            image.OnChange = [&](QObject*) { ++changes; };
            int result = 1;
            const std::string message = RaisedMessage([&] { result = image.Load(dir + c.file, 0, 1, -1); });
            if (methodErrors) {
                EXPECT_NE(message.find(c.text), std::string::npos) << message;
                EXPECT_EQ(message.rfind("View \nError code: ", 0), 0u) << message;
            } else {
                EXPECT_EQ(message, "");
                EXPECT_EQ(result, image.LastError());
            }
            EXPECT_LT(image.LastError(), 1);
            if (c.code) {
                EXPECT_EQ(image.LastError(), c.code);
            }
            EXPECT_EQ(changes, 1) << "the change update runs on failure too";
            EXPECT_FALSE(image.Allocated());
            EXPECT_EQ(image.BitmapList(), nullptr);
            EXPECT_EQ(image.Bitmap(), nullptr);
            EXPECT_FALSE(image.Busy());
            EXPECT_EQ(image.StateFlags(), 0);
        }
    }
}

TEST(LEADImageLoad, PageCountZeroOnlyEmptiesTheControl)
{
    const QString path = kvtest::MakeTempFolder("zero") + "a.png";
    ASSERT_EQ(SaveWithKernel(path, 8, 8, kRed, LFMT_PNG), 1);
    TLEADImage image;
    ASSERT_EQ(image.Load(path, 0, 1, -1), 1);
    int changes = 0;
    image.OnChange = [&](QObject*) { ++changes; };
    EXPECT_EQ(image.Load(path + ".does-not-exist", 0, 1, 0), 1);
    EXPECT_FALSE(image.Allocated());
    EXPECT_EQ(changes, 1);
}

TEST(LEADImageLoad, PageCountsOnAThreePageTiff)
{
    const QString path = kvtest::MakeTempFolder("pages") + "three.tif";
    ASSERT_TRUE(WriteTiffPages(path, {kRed, kGreen, kBlue}, 12, 10));
    const struct {
        int pageNumber;
        int pageCount;
        std::vector<LColor> pages;
    } cases[] = {
        {1, 1, {kRed}},
        {1, -1, {kRed, kGreen, kBlue}},
        {1, 2, {kRed, kGreen}},
        {0, -1, {kRed, kGreen, kBlue}},
        {2, -1, {kGreen, kBlue}},
        {3, 1, {kBlue}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << c.pageNumber << " count " << c.pageCount);
        TLEADImage image;
        int filePages = 0;
        image.OnFilePage = [&](QObject*) { ++filePages; };
        EXPECT_EQ(image.Load(path, 0, c.pageNumber, c.pageCount), 1);
        EXPECT_EQ(image.LastError(), 1);
        EXPECT_EQ(PageColors(image), c.pages);
        EXPECT_EQ(filePages, int(c.pages.size()));
        EXPECT_EQ(image.BitmapListIndex(), 0);
        EXPECT_EQ(PixelOf(*image.Bitmap(), 2, 2), c.pages.front());
        EXPECT_EQ(image.InfoTotalPages(), 3);
    }
}

TEST(LEADImageLoad, ProgressReachesOnStatusAndSwitchingItOffAbortsTheLoad)
{
    const QString path = kvtest::MakeTempFolder("progress") + "three.tif";
    ASSERT_TRUE(WriteTiffPages(path, {kRed, kGreen, kBlue}, 40, 300));

    TLEADImage image;
    std::vector<int> percents;
    image.OnStatus = [&](QObject* sender, int percent) {
        EXPECT_EQ(sender, &image);
        percents.push_back(percent);
    };
    EXPECT_EQ(image.Load(path, 0, 1, -1), 1);
    EXPECT_TRUE(percents.empty()) << "no events while EnableProgressEvent is off";

    image.setEnableProgressEvent(true);
    EXPECT_EQ(image.Load(path, 0, 1, -1), 1);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(std::count(percents.begin(), percents.end(), 100), 3) << "one full run per page";

    // Switching the events off from the handler stops the load: the control ends empty.
    image.setEnableMethodErrors(false);
    int changes = 0;
    image.OnChange = [&](QObject*) { ++changes; };
    image.OnStatus = [&](QObject*, int percent) {
        if (percent >= 50)
            image.setEnableProgressEvent(false);
    };
    EXPECT_EQ(image.Load(path, 0, 1, -1), LE_USER_ABORT);
    EXPECT_FALSE(image.Allocated());
    EXPECT_EQ(image.BitmapList(), nullptr);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(image.Busy());
}

// ---- saving --------------------------------------------------------------------------------

TEST(LEADImageSave, JpegSavesReadBackWithTheirFormat)
{
    const QString dir = kvtest::MakeTempFolder("jpeg");
    for (int format : {10, 23}) {
        for (int qFactor : {2, 4, 22}) {
            SCOPED_TRACE(testing::Message() << "format " << format << " q " << qFactor);
            TLEADImage image;
            Hold(image, 64, 40, kOrange);
            const QString path = dir + QString("out_%1_%2.jpg").arg(format).arg(qFactor);
            EXPECT_EQ(image.Save(path, format, 24, qFactor, 0), 1);
            EXPECT_EQ(image.LastError(), 1);

            TLEADImage back;
            ASSERT_EQ(back.Load(path, 0, 1, -1), 1);
            EXPECT_EQ(back.InfoFormat(), format);
            EXPECT_EQ(back.BitmapWidth(), 64);
            EXPECT_EQ(back.BitmapHeight(), 40);
            EXPECT_TRUE(Near(PixelOf(*back.Bitmap(), 20, 10), kOrange, 12));
        }
    }
}

TEST(LEADImageSave, SavingAnEmptyControlRaisesImageNotAllocated)
{
    TLEADImage image;
    image.setObjectName("View");
    image.setEnableMethodErrors(false);
    EXPECT_EQ(RaisedMessage([&] { image.Save("never.jpg", 10, 24, 2, 0); }), "View \nSave: Image not allocated.");
    EXPECT_EQ(image.LastError(), -2);
    EXPECT_FALSE(QFile::exists("never.jpg"));
}

TEST(LEADImageSave, AnAbortFromOnStatusLeavesAnExistingTargetAsItWas)
{
    const QString dir = kvtest::MakeTempFolder("abort");
    const QString target = dir + "picture.jpg";
    const QByteArray before = ExistingPicture(target, LFMT_JFIF);
    ASSERT_FALSE(before.isEmpty());

    for (bool methodErrors : {false, true}) {
        SCOPED_TRACE(methodErrors ? "raising" : "quiet");
        TLEADImage image;
        image.setObjectName("View");
        Hold(image, 200, 200, kOrange);
        image.setEnableMethodErrors(methodErrors);
        image.setEnableProgressEvent(true);
        int reports = 0;
        image.OnStatus = [&](QObject*, int percent) {
            ++reports;
            if (percent >= 50)
                image.setEnableProgressEvent(false);
        };
        int result = 1;
        const std::string message = RaisedMessage([&] { result = image.Save(target, LFMT_JFIF, 24, 2, 0); });
        EXPECT_EQ(image.LastError(), LE_USER_ABORT);
        if (methodErrors) {
            EXPECT_EQ(message, "View \nError code: -100\nSave: User has aborted operation ");
        } else {
            EXPECT_EQ(result, LE_USER_ABORT);
        }
        EXPECT_GT(reports, 0);
        EXPECT_EQ(ReadBytes(target), before) << "the old picture is kept";
        EXPECT_EQ(Entries(dir), QStringList{"picture.jpg"}) << "no temporary file";
        EXPECT_FALSE(image.Busy());
        EXPECT_TRUE(image.Allocated());

        // Nothing stays pending: the next save goes through.
        image.OnStatus = nullptr;
        image.setEnableProgressEvent(false);
        EXPECT_EQ(image.Save(dir + "second.jpg", LFMT_JFIF, 24, 2, 0), 1);
        QFile::remove(dir + "second.jpg");
    }
}

TEST(LEADImageSave, AnExceptionOfTheStatusHandlerComesOutOfSaveAfterTheCleanUp)
{
    const QString dir = kvtest::MakeTempFolder("throwing");
    const QString target = dir + "picture.png";
    const QByteArray before = ExistingPicture(target, LFMT_PNG);
    ASSERT_FALSE(before.isEmpty());

    TLEADImage image;
    Hold(image, 50, 50, kOrange);
    image.setEnableProgressEvent(true);
    image.OnStatus = [](QObject*, int percent) {
        if (percent > 10)
            throw Exception("handler failed");
    };
    EXPECT_EQ(RaisedMessage([&] { image.Save(target, LFMT_PNG, 24, 0, 0); }), "handler failed");
    EXPECT_EQ(ReadBytes(target), before);
    EXPECT_EQ(Entries(dir), QStringList{"picture.png"});
    EXPECT_FALSE(image.Busy());
    image.OnStatus = nullptr;
    EXPECT_EQ(image.Save(target, LFMT_PNG, 24, 0, 0), 1);
}

TEST(LEADImageSave, ATargetInAMissingFolderOrBelowAFileFailsWithWriteError)
{
    const QString dir = kvtest::MakeTempFolder("targets");
    ASSERT_TRUE(WriteBytes(dir + "plainfile", "x"));
    TLEADImage image;
    image.setEnableMethodErrors(false);
    Hold(image, 16, 16, kRed);
    for (const QString& target : {dir + "missing/out.jpg", dir + "plainfile/out.jpg"}) {
        SCOPED_TRACE(S(target));
        for (bool progress : {false, true}) {
            image.setEnableProgressEvent(progress);
            EXPECT_EQ(image.Save(target, LFMT_JFIF, 24, 2, 0), LE_FILE_WRITE);
            EXPECT_EQ(image.LastError(), LE_FILE_WRITE);
            EXPECT_FALSE(QFileInfo::exists(target));
        }
    }
    EXPECT_EQ(ReadBytes(dir + "plainfile"), "x");
    EXPECT_EQ(Entries(dir), QStringList{"plainfile"});
}

TEST(LEADImageSave, FormatsTheKernelDoesNotWriteAndPagesOfOnePageFormatsAreRefused)
{
    const QString dir = kvtest::MakeTempFolder("refused");
    const QString target = dir + "keep.bmp";
    const QByteArray before = ExistingPicture(target, LFMT_BMP);
    ASSERT_FALSE(before.isEmpty());
    TLEADImage image;
    image.setEnableMethodErrors(false);
    Hold(image, 16, 16, kRed);
    const struct {
        int format;
        int modify;
    } cases[] = {{LFMT_BMP, 1}, {LFMT_BMP, -1}, {LFMT_BMP, 2}, {LFMT_BMP, 3}, {9999, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(image.Save(target, c.format, 24, 0, c.modify), LE_NOT_SUPPORTED) << c.format << " " << c.modify;
        EXPECT_EQ(ReadBytes(target), before);
    }
    EXPECT_EQ(Entries(dir), QStringList{"keep.bmp"});
}

// ---- the status chain and the abort flags --------------------------------------------------

class ChainedImage : public TLEADImage {
public:
    using TLEADImage::PopStatusChain;
    using TLEADImage::PushStatusChain;
};

TEST(LEADImageProgress, AnAbortAskedForAfterTheLastReportDoesNotStopTheNextOperation)
{
    const QString dir = kvtest::MakeTempFolder("pending");
    const QString path = dir + "a.bmp";
    ASSERT_EQ(SaveWithKernel(path, 20, 20, kGreen, LFMT_BMP), 1);

    // An operation that is Busy gets its abort request after its last report...
    ChainedImage first;
    first.setEnableProgressEvent(true);
    first.PushStatusChain();
    first.setEnableProgressEvent(false);
    first.PopStatusChain();

    // ...which must not stop the next load or save of any control.
    TLEADImage other;
    EXPECT_EQ(other.Load(path, 0, 1, -1), 1);
    EXPECT_TRUE(other.Allocated());

    first.PushStatusChain();
    first.setEnableProgressEvent(false);
    first.PopStatusChain();
    EXPECT_EQ(other.Save(dir + "b.bmp", LFMT_BMP, 24, 0, 0), 1);

    first.PushStatusChain();
    first.setEnableProgressEvent(false);
    first.PopStatusChain();
    EXPECT_EQ(other.LoadMemory(ReadBytes(path), 0, 1), 1);
}

TEST(LEADImageProgress, NestedOperationsOfTwoControlsReportToTheRightOne)
{
    const QString dir = kvtest::MakeTempFolder("nested");
    const QString source = dir + "inner.tif";
    ASSERT_TRUE(WriteTiffPages(source, {kRed, kGreen}, 20, 200));

    TLEADImage outer;
    TLEADImage inner;
    Hold(outer, 100, 100, kOrange);
    outer.setEnableProgressEvent(true);
    inner.setEnableProgressEvent(true);
    int outerReports = 0;
    int innerReports = 0;
    bool loaded = false;
    inner.OnStatus = [&](QObject* sender, int) {
        EXPECT_EQ(sender, &inner);
        ++innerReports;
    };
    outer.OnStatus = [&](QObject* sender, int percent) {
        EXPECT_EQ(sender, &outer);
        ++outerReports;
        if (percent >= 50 && !loaded) {
            loaded = true;
            EXPECT_EQ(inner.Load(source, 0, 1, -1), 1);
            EXPECT_TRUE(outer.Busy());
        }
    };
    EXPECT_EQ(outer.Save(dir + "outer.png", LFMT_PNG, 24, 0, 0), 1);
    EXPECT_TRUE(loaded);
    EXPECT_GT(innerReports, 0);
    EXPECT_GT(outerReports, 50) << "the outer save went on reporting to its own control";
    EXPECT_EQ(PageColors(inner), (std::vector<LColor>{kRed, kGreen}));
}

TEST(LEADImageProgress, ALoadOfTheSameControlFromItsOwnStatusHandlerIsRefused)
{
    const QString path = kvtest::MakeTempFolder("reentry") + "a.tif";
    ASSERT_TRUE(WriteTiffPages(path, {kRed}, 10, 100));
    TLEADImage image;
    image.setObjectName("View");
    image.setEnableProgressEvent(true);
    image.OnStatus = [&](QObject*, int) { image.Load(path, 0, 1, -1); };
    const std::string message = RaisedMessage([&] { image.Load(path, 0, 1, -1); });
    EXPECT_EQ(message, "View \nError code: 0\nProcessing not allowed: Function not successful ");
    EXPECT_FALSE(image.Busy());
    EXPECT_FALSE(image.Allocated());
    image.OnStatus = nullptr;
    EXPECT_EQ(image.Load(path, 0, 1, -1), 1);
}

// ---- memory, feed and raw loads ------------------------------------------------------------

TEST(LEADImageLoad, LoadMemoryReadsOnePageFromABlock)
{
    const QString dir = kvtest::MakeTempFolder("memory");
    ASSERT_EQ(SaveWithKernel(dir + "a.jpg", 24, 16, kOrange, LFMT_JPEG_422), 1);
    const QByteArray bytes = ReadBytes(dir + "a.jpg");

    TLEADImage image;
    image.setObjectName("View");
    int changes = 0;
    image.OnChange = [&](QObject*) { ++changes; };
    EXPECT_EQ(image.LoadMemory(bytes, 0, 1), 1);
    EXPECT_EQ(image.InfoFormat(), 23);
    EXPECT_EQ(image.BitmapWidth(), 24);
    EXPECT_EQ(image.BitmapListCount(), 1);
    EXPECT_EQ(changes, 1);

    EXPECT_NE(RaisedMessage([&] { image.LoadMemory(QByteArray("garbage"), 0, 1); }).find("\nLoadMemory: "),
              std::string::npos);
    EXPECT_FALSE(image.Allocated());
    EXPECT_EQ(changes, 2);
}

TEST(LEADImageLoad, AFeedLoadTakesThePictureInBlocks)
{
    const QString dir = kvtest::MakeTempFolder("feed");
    ASSERT_TRUE(WriteTiffPages(dir + "two.tif", {kGreen, kBlue}, 16, 12));
    const QByteArray bytes = ReadBytes(dir + "two.tif");

    TLEADImage image;
    EXPECT_EQ(image.StartFeedLoad(0, 1, -1), 1);
    EXPECT_TRUE(image.FeedLoadRunning());
    EXPECT_TRUE(image.Busy());
    for (qsizetype at = 0; at < bytes.size(); at += 100)
        EXPECT_EQ(image.FeedLoad(bytes.constData() + at, std::min<qsizetype>(100, bytes.size() - at)), 1);
    EXPECT_EQ(image.StopFeedLoad(), 1);
    EXPECT_FALSE(image.Busy());
    EXPECT_FALSE(image.FeedLoadRunning());
    EXPECT_EQ(PageColors(image), (std::vector<LColor>{kGreen, kBlue}));
    EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), kGreen);
}

TEST(LEADImageLoad, AFeedThatEndsEarlyKeepsTheRowsThatArrived)
{
    const QString dir = kvtest::MakeTempFolder("feedshort");
    ASSERT_EQ(SaveWithKernel(dir + "a.jpg", 64, 256, kOrange, LFMT_JFIF), 1);
    const QByteArray bytes = ReadBytes(dir + "a.jpg");

    TLEADImage image;
    image.setEnableMethodErrors(false);
    ASSERT_EQ(image.StartFeedLoad(0, 1, -1), 1);
    EXPECT_EQ(image.FeedLoad(bytes.constData(), bytes.size() * 2 / 3), 1);
    EXPECT_EQ(image.StopFeedLoad(), LE_FILE_READ);
    ASSERT_TRUE(image.Allocated());
    EXPECT_EQ(image.BitmapHeight(), 256);
    EXPECT_TRUE(Near(PixelOf(*image.Bitmap(), 10, 10), kOrange, 12));
    EXPECT_FALSE(image.Busy());

    // Nothing that can be a picture: the feed stops at once and the control stays empty.
    ASSERT_EQ(image.StartFeedLoad(0, 1, -1), 1);
    static const char words[] = "no picture at all, only words and nothing else";
    EXPECT_LT(image.FeedLoad(words, sizeof words - 1), 1);
    EXPECT_FALSE(image.FeedLoadRunning());
    EXPECT_FALSE(image.Busy());
    EXPECT_FALSE(image.Allocated());
}

TEST(LEADImageLoad, AnAnimatedGifWithoutAutoAnimateLoadsEveryFrameAndGivesItsCanvas)
{
    const QString path = kvtest::MakeTempFolder("gif") + "frames.gif";
    ASSERT_TRUE(WriteGif(path, 14, 9, {1, 2, 3}));
    TLEADImage image;
    EXPECT_EQ(image.Load(path, 0, 1, -1), 1);
    EXPECT_EQ(image.InfoFormat(), LFMT_GIF);
    EXPECT_EQ(PageColors(image), (std::vector<LColor>{kRed, kGreen, kBlue}));
    EXPECT_FALSE(image.AnimationPlaying());
    EXPECT_EQ(image.CanvasWidth(), 14);
    EXPECT_EQ(image.CanvasHeight(), 9);

    // The first frame of a playback: a blank page of the canvas in its background colour.
    EXPECT_EQ(image.PrepareFirstFrame(), 1);
    ASSERT_TRUE(image.Allocated());
    EXPECT_EQ(image.BitmapWidth(), 14);
    EXPECT_EQ(image.BitmapHeight(), 9);
    EXPECT_EQ(PixelOf(*image.Bitmap(), 4, 4), image.CanvasBackground());
    EXPECT_EQ(image.BitmapListCount(), 3) << "the list keeps the frames";
}

TEST(LEADImageLoad, FeedLoadCallsWithoutAStartedFeedRaiseInvalidOperation)
{
    TLEADImage image;
    image.setObjectName("View");
    image.setEnableMethodErrors(false);
    const char data[] = "abc";
    for (const auto& call : std::vector<std::function<void()>>{[&] { image.FeedLoad(data, 3); },
                                                               [&] { image.StopFeedLoad(); }}) {
        image.SetLastError(5);
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidOperation& e) {
            EXPECT_EQ(S(e.Message()), "View \nFeedLoad: Feed Load not Started.");
        }
        EXPECT_EQ(image.LastError(), 0);
    }
}

TEST(LEADImageLoad, OnLoadInfoDescribesRawPixels)
{
    // 4 x 2 pixels of 24 bits, rows padded to 12 bytes, after a 6-byte header.
    QByteArray raw("HEADER");
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            raw.append(char(0)).append(char(0)).append(char(255));  // blue, green, red
    const QString path = kvtest::MakeTempFolder("raw") + "pixels.raw";
    ASSERT_TRUE(WriteBytes(path, raw));

    TLEADImage image;
    image.setEnableMethodErrors(false);
    EXPECT_EQ(image.Load(path, 0, 1, -1), LE_FILE_FORMAT) << "nobody describes the data";

    int asked = 0;
    image.OnLoadInfo = [&](QObject* sender) {
        ++asked;
        auto* control = static_cast<TLEADImage*>(sender);
        control->LoadInfo.Format = LFMT_BMP;
        control->LoadInfo.Width = 4;
        control->LoadInfo.Height = 2;
        control->LoadInfo.BitsPerPixel = 24;
        control->LoadInfo.Offset = 6;
    };
    EXPECT_EQ(image.Load(path, 0, 1, -1), 1);
    EXPECT_GE(asked, 1);
    EXPECT_EQ(image.BitmapWidth(), 4);
    EXPECT_EQ(image.BitmapHeight(), 2);
    EXPECT_EQ(PixelOf(*image.Bitmap(), 3, 1), kRed);
}

} // namespace
