// Pictures of the items: the GIF frame scan, THTMLPicture, the cache and the container, and
// pictures that cannot be loaded.
#include "GifFixtures.h"
#include "ItemFixture.h"

#include "support/TestEnv.h"
#include "controls/HTMLEscape.h"
#include "controls/HTMLRender.h"
#include "controls/PictureContainer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QString WriteFile(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QFile f(folder + name);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return folder + name;
}

QByteArray Jpeg(int w, int h, QColor color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "JPEG");
    return bytes;
}

std::vector<int> Frames(THTMLPicture& p, int steps)
{
    std::vector<int> out;
    for (int i = 0; i < steps; ++i) {
        p.Step();
        out.push_back(p.Frame());
    }
    return out;
}

} // namespace

TEST(GifFrames, ScanFindsEachFrameWithItsDelayAndPlace)
{
    const TGifScan scan = ScanGifFrames(gif::ThreeFrames());
    EXPECT_TRUE(scan.IsGif);
    EXPECT_EQ(scan.ScreenWidth, 6);
    EXPECT_EQ(scan.ScreenHeight, 6);
    ASSERT_EQ(scan.Frames.size(), 3u);
    const int delays[] = {10, 20, 30};
    const TRect rects[] = {Rect(0, 0, 6, 6), Bounds(2, 2, 2, 2), Bounds(1, 3, 3, 2)};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(scan.Frames[i].Delay, delays[i]);
        EXPECT_EQ(Bounds(scan.Frames[i].Left, scan.Frames[i].Top, scan.Frames[i].Width, scan.Frames[i].Height),
                  rects[i]);
        EXPECT_EQ(scan.Frames[i].Disposal, 1);
        EXPECT_FALSE(scan.Frames[i].Transparent);
    }
    EXPECT_EQ(ScanGifFrames(gif::OneFrame()).Frames.size(), 1u);
    EXPECT_FALSE(ScanGifFrames(Jpeg(4, 4, Qt::red)).IsGif);
    EXPECT_FALSE(ScanGifFrames("GIF8").IsGif);
    EXPECT_TRUE(ScanGifFrames("GIF89").IsGif);
    EXPECT_TRUE(ScanGifFrames("GIF89").Frames.empty());
}

TEST(GifFrames, TruncatedFramesAreAbsent)
{
    const QByteArray full = gif::ThreeFrames();
    const TGifScan whole = ScanGifFrames(full);
    ASSERT_EQ(whole.Frames.size(), 3u);
    for (qsizetype n = 0; n <= full.size(); ++n) {
        // An exact-size copy, so that reading past the end shows under the sanitizer.
        const QByteArray cut(full.constData(), n);
        size_t complete = 0;
        for (const TGifFrameInfo& f : whole.Frames)
            complete += f.End <= n;
        EXPECT_EQ(ScanGifFrames(cut).Frames.size(), complete) << "length " << n;
    }
}

TEST(HTMLPicture, FramesOfAnAnimatedGif)
{
    THTMLPicture p;
    int frameChanges = 0, changes = 0;
    p.OnFrameChange = [&](THTMLPicture*) { ++frameChanges; };
    p.OnChange = [&](THTMLPicture*) { ++changes; };
    p.LoadFromData(gif::ThreeFrames());
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.FrameCount(), 3);
    EXPECT_EQ(p.Frame(), 1);
    EXPECT_EQ(p.Width(), 6);
    EXPECT_EQ(p.Image().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(p.FrameDelay(2), 20);
    EXPECT_EQ(p.FrameDelay(0), -1);
    EXPECT_EQ(p.FrameDelay(4), -1);

    p.SetFrame(2);
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(p.Image().size(), QSize(2, 2)) << "the frame alone";
    EXPECT_EQ(p.Image().pixelColor(1, 1), QColor(Qt::green));
    EXPECT_EQ(p.FrameLeft(), 2);
    EXPECT_EQ(p.FrameTop(), 2);
    EXPECT_EQ(p.LayoutWidth(), 6) << "the layout keeps the logical screen";
    EXPECT_EQ(p.LayoutHeight(), 6);
    p.SetFrame(3);
    EXPECT_EQ(p.Image().size(), QSize(3, 2));
    EXPECT_EQ(p.Image().pixelColor(0, 0), QColor(Qt::blue));
}

TEST(HTMLPicture, AnimationFollowsTheDelaysAndWrapsToTheFirstFrame)
{
    THTMLPicture p;
    p.LoadFromData(gif::ThreeFrames());
    // 100 ms a step; frame 2 stays 20/100 s, frame 3 30/100 s, then frame 1 again.
    EXPECT_EQ(Frames(p, 8), std::vector<int>({1, 2, 2, 3, 3, 3, 1, 2}));

    for (const QByteArray& still : {gif::OneFrame(), Jpeg(5, 5, Qt::red)}) {
        THTMLPicture s;
        s.LoadFromData(still);
        for (int i = 0; i < 30; ++i)
            EXPECT_FALSE(s.Step());
        EXPECT_EQ(s.Frame(), 1);
    }
    THTMLPicture empty;
    EXPECT_FALSE(empty.Step());
}

TEST(HTMLPicture, EngineDrawsTheFrameAtItsOffset)
{
    TPictureContainer container;
    TPictureItem* anim = container.Items().Add();
    anim->Name = "Anim";
    anim->Picture().LoadFromData(gif::ThreeFrames());
    anim->Picture().SetFrame(2);

    Item item("<IMG src=\"anim\">", Rect(0, 0, 40, 20));
    item.req.Container = &container;
    EXPECT_EQ(item.Draw().Width, 6);
    // The picture's box is (1, 4) to (7, 10) (bottom of the 10-pixel line); the frame lies
    // 2 pixels in.
    EXPECT_EQ(item.Pixel(3, 6), QColor(Qt::green));
    EXPECT_EQ(item.Pixel(4, 7), QColor(Qt::green));
    EXPECT_EQ(item.Pixel(1, 4), QColor(Qt::white));
    EXPECT_EQ(item.Pixel(5, 6), QColor(Qt::white));
}

TEST(HTMLPicture, LoadingByAddress)
{
    const QString folder = kvtest::MakeTempFolder("url");
    const QString path = WriteFile(folder, "a.gif", gif::OneFrame());
    THTMLPicture file;
    file.LoadFromURL("FILE://" + path);
    EXPECT_FALSE(file.Empty());
    EXPECT_EQ(file.URL(), "FILE://" + path);
    EXPECT_EQ(file.Width(), 4);

    THTMLPicture res;
    res.LoadFromURL("res://no-such-picture");
    EXPECT_TRUE(res.Empty());
    EXPECT_EQ(res.URL(), "res://no-such-picture");

    THTMLPicture remote;
    remote.Asynchronous = false;
    remote.LoadFromURL("http://example.invalid/a.jpg");
    EXPECT_TRUE(remote.Empty());
    EXPECT_EQ(remote.URL(), "http://example.invalid/a.jpg");
    EXPECT_FALSE(remote.Downloading());

    THTMLPicture async;
    async.LoadFromURL("http://example.invalid/b.jpg");
    EXPECT_TRUE(async.Empty());
    EXPECT_TRUE(async.Downloading());
    EXPECT_EQ(async.DownloadURL(), "http://example.invalid/b.jpg");
}

TEST(HTMLPicture, BytesThatDoNotDecodeLeaveThePictureEmpty)
{
    const QString folder = kvtest::MakeTempFolder("bad");
    const QByteArray truncatedGif = gif::ThreeFrames().left(30);  // inside the first frame
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {{"garbage.jpg", "this is no picture at all"},
                 {"empty.jpg", ""},
                 {"truncated.jpg", Jpeg(20, 20, Qt::red).left(20)},
                 {"truncated.gif", truncatedGif}};
    for (const Case& c : cases) {
        const QString path = WriteFile(folder, c.name, c.bytes);
        THTMLPicture p;
        p.LoadFromData(gif::OneFrame());
        try {
            p.LoadFromFile(path);
            EXPECT_FALSE(p.Empty()) << c.name << " loaded: then it has a picture";
            EXPECT_GT(p.Width(), 0) << c.name;
        } catch (const Exception& e) {
            EXPECT_TRUE(p.Empty()) << c.name;
            EXPECT_EQ(p.Width(), 0) << c.name;
            EXPECT_TRUE(e.Message().startsWith("Could not load image")) << c.name;
        }
    }
    THTMLPicture p;
    EXPECT_THROW(p.LoadFromData("garbage"), Exception);
    EXPECT_THROW(p.LoadFromFile(folder + "missing.jpg"), EInOutError);
    EXPECT_TRUE(p.Empty());
}

TEST(HTMLPicture, ItemWithAPictureThatCannotBeLoadedIsDrawnWithoutIt)
{
    const QString folder = kvtest::MakeTempFolder("broken");
    WriteFile(folder, "broken.jpg", "not a picture");
    WriteFile(folder, "cut.gif", gif::ThreeFrames().left(30));
    for (const char* name : {"broken.jpg", "missing.jpg", "cut.gif"}) {
        Item item(QString("<IMG src=\"file://%1%2\" align=\"top\">%2").arg(folder, name));
        for (bool measure : {true, false, false}) {
            item.req.MeasureOnly = measure;
            THTMLRenderResult r;
            EXPECT_NO_THROW(r = item.Draw()) << name;
            EXPECT_EQ(r.Height, 10) << name;
        }
        EXPECT_EQ(item.metrics.Texts(), QStringList({name, name}));
        ASSERT_EQ(item.cache.Count(), 1) << name << ": one entry, not one per paint";
        EXPECT_TRUE(item.cache.Picture(0)->Empty());
    }
}

TEST(HTMLPicture, AssignCopiesTheBytesAndNullEmpties)
{
    THTMLPicture a, b;
    a.LoadFromData(gif::ThreeFrames());
    a.SetFrame(3);
    int changes = 0;
    b.OnChange = [&](THTMLPicture*) { ++changes; };
    b.Assign(&a);
    EXPECT_EQ(b.Data(), a.Data());
    EXPECT_EQ(b.Frame(), 1);
    EXPECT_EQ(b.FrameCount(), 3);
    EXPECT_EQ(changes, 1);
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    EXPECT_TRUE(b.Data().isEmpty());
    EXPECT_EQ(changes, 2);

    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    a.SaveToStream(out);
    EXPECT_EQ(saved, gif::ThreeFrames());
    QBuffer in(&saved);
    in.open(QIODevice::ReadOnly);
    THTMLPicture c;
    c.ReadData(in);
    EXPECT_EQ(c.FrameCount(), 3);
}

TEST(PictureCache, LookupIsExactAndUnusedEntriesCanBeDropped)
{
    const QString folder = kvtest::MakeTempFolder("cache");
    const QString lower = WriteFile(folder, "a.jpg", Jpeg(8, 8, Qt::red));
    const QString upper = WriteFile(folder, "A.JPG", Jpeg(8, 8, Qt::blue));
    Item item("");
    THTMLPictureCache& cache = item.cache;
    const QString items[] = {"<IMG src=\"file://" + lower + "\">", "<IMG src=\"file://" + upper + "\">",
                             "<IMG src=\"FILE://" + lower + "\">", "<IMG src=\"file://" + lower + "\">x"};
    for (const QString& text : items) {
        item.req.Text = text;
        item.Measure();
    }
    ASSERT_EQ(cache.Count(), 3) << "addresses that differ in case are different entries";
    EXPECT_NE(cache.FindPicture("file://" + lower), nullptr);
    EXPECT_EQ(cache.FindPicture("file://" + folder + "A.jpg"), nullptr);

    THTMLPicture* kept = cache.FindPicture("file://" + upper);
    QSet<QString> inUse;
    for (const QString& s : HTMLPictureSources(items[1]))
        inUse.insert(s);
    EXPECT_EQ(cache.RemoveUnused(inUse), 2);
    ASSERT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.FindPicture("file://" + upper), kept);
    EXPECT_FALSE(kept->Empty());
}

TEST(PictureCache, EscapedPathsLoadTheFileTheyName)
{
    const QString folder = kvtest::MakeTempFolder("Tom&Jerry <1>");
    const QString path = WriteFile(folder, "_THUMB_a&b.jpg", Jpeg(10, 70, Qt::red));
    Item item("<IMG src=\"file://" + HTMLEscape(path) + "\" align=\"top\">" + HTMLEscape("a&b.jpg"));
    const THTMLRenderResult r = item.Draw();
    EXPECT_EQ(r.Height, 70);
    ASSERT_EQ(item.cache.Count(), 1);
    EXPECT_EQ(item.cache.Picture(0)->URL(), "file://" + path);
    EXPECT_EQ(item.metrics.Texts(), QStringList({"a&b.jpg"}));
}

TEST(PictureContainer, NamesIgnoreCaseAndAnimationSteps)
{
    TPictureContainer container;
    TPictureItem* still = container.Items().Add();
    still->Name = "Still";
    still->Tag = 7;
    still->Picture().LoadFromData(gif::OneFrame());
    TPictureItem* anim = container.Items().Add();
    anim->Name = "anim";
    anim->Picture().LoadFromData(gif::ThreeFrames());
    EXPECT_EQ(container.Items().Owner(), &container);
    EXPECT_EQ(still->Collection(), &container.Items());

    EXPECT_EQ(container.FindPicture("STILL"), &still->Picture());
    EXPECT_EQ(container.FindPicture("Anim"), &anim->Picture());
    EXPECT_EQ(container.FindPicture("none"), nullptr);
    EXPECT_FALSE(container.Animate());
    EXPECT_TRUE(container.Animate());
    EXPECT_EQ(anim->Picture().Frame(), 2);

    TPictureItem copy;
    copy.Assign(*still);
    EXPECT_EQ(copy.Name, "Still");
    EXPECT_EQ(copy.Tag, 7);
    EXPECT_EQ(copy.Picture().Data(), still->Picture().Data());
    copy.SetPicture(anim->Picture());
    EXPECT_EQ(copy.Picture().FrameCount(), 3);

    container.Items().Delete(0);
    EXPECT_EQ(container.FindPicture("still"), nullptr);
    EXPECT_THROW(container.Items().Delete(5), EListError);
}

TEST(HTMLPictureCache, KeepsTheLeastRecentlyUsedFramesDecodedUpToItsLimit)
{
    THTMLPictureCache cache;
    cache.SetDecodedLimit(2);
    std::vector<THTMLPicture*> pictures;
    for (const QColor color : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(color);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        pictures.push_back(cache.AddPicture());
        pictures.back()->LoadFromData(bytes);
    }
    EXPECT_EQ(cache.DecodedCount(), 2);
    EXPECT_FALSE(pictures[0]->Decoded()) << "the oldest goes first";
    EXPECT_EQ(pictures[0]->Width(), 4);
    EXPECT_EQ(pictures[0]->Height(), 3);

    EXPECT_EQ(pictures[0]->Image().pixelColor(0, 0), QColor(Qt::red)) << "decoded again from its bytes";
    EXPECT_FALSE(pictures[1]->Decoded());
    (void)pictures[2]->Image();  // used again: now the most recent
    cache.SetDecodedLimit(1);
    EXPECT_TRUE(pictures[2]->Decoded());
    EXPECT_FALSE(pictures[0]->Decoded());

    cache.RemoveUnused({});
    EXPECT_EQ(cache.DecodedCount(), 0) << "removed pictures leave the decoded list";
}
