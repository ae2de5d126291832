// The data of the first start, as the build leaves it in the program folder
// (KORVANTA_BUILD_DIR): the player kit's templates, the two sample slideshows with their
// pictures and thumbnails, the sample tune and the pictures of the advertisement window.
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"
#include "shell/core/Settings.h"

#include "platform/vcl/IniFiles.h"
#include "platform/vcl/StringList.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {

QString ProgramDir() { return kvtest::ProgramFixture::BuildDir(); }

::testing::AssertionResult DataBuilt()
{
    if (QFileInfo(ProgramDir() + "diashow/Archive_0001/Pictures.ini").isFile())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no generated data in \"" << ProgramDir().toStdString()
                                         << "\": build the target kv_data";
}

// Sample rate, channel mode (0 stereo, 1 joint stereo, 2 dual, 3 mono) and layer of the
// first MPEG audio frame after an ID3v2 tag; all -1 when there is none.
struct TMp3Frame {
    int SampleRate = -1;
    int ChannelMode = -1;
    int Layer = -1;
    int Version = -1;  // 3 for MPEG-1
};

TMp3Frame FirstFrame(const QByteArray& mp3)
{
    qsizetype pos = 0;
    if (mp3.startsWith("ID3") && mp3.size() > 10) {
        const auto b = [&](int i) { return int(uchar(mp3[i])) & 0x7F; };
        pos = 10 + ((b(6) << 21) | (b(7) << 14) | (b(8) << 7) | b(9));
    }
    for (; pos + 4 <= mp3.size(); ++pos) {
        const uchar h1 = uchar(mp3[pos]), h2 = uchar(mp3[pos + 1]), h3 = uchar(mp3[pos + 2]), h4 = uchar(mp3[pos + 3]);
        if (h1 != 0xFF || (h2 & 0xE0) != 0xE0)
            continue;
        TMp3Frame f;
        f.Version = (h2 >> 3) & 3;
        f.Layer = 4 - ((h2 >> 1) & 3);
        const int rates[] = {44100, 48000, 32000, -1};
        f.SampleRate = f.Version == 3 ? rates[(h3 >> 2) & 3] : -1;
        f.ChannelMode = (h4 >> 6) & 3;
        return f;
    }
    return {};
}

} // namespace

TEST(SampleData, PlayerKitTemplates)
{
    ASSERT_TRUE(DataBuilt());
    const QString kit = ProgramDir() + "diashow/";
    // The player's settings: every key the slideshow's save writes, readable as settings.
    const TIniFile settings(kit + "Settings.ini");
    EXPECT_EQ(settings.ReadSection("SETTINGS"),
              (QStringList{"StopDiashowAtEnd", "Fullscreen", "Manuell", "PictureTextVisible", "FileNameVisible",
                           "BKGColor", "TextColor", "EffectMode", "Effect", "TextOffset"}));
    EXPECT_EQ(LoadSettings(kit + "Settings.ini").EffectMode, TEffectMode::Off);
    EXPECT_EQ(TIniFile(kit + "del/Diashow.ini").ReadString("DIASHOW", "Titel", ""), "SPECIALDUMMY");
    EXPECT_EQ(QFileInfo(kit + "del/Pictures.ini").size(), 0);
    EXPECT_EQ(TIniFile(kit + "Autorun.inf").ReadString("autorun", "open", ""), "Diashow-Player");
    EXPECT_EQ(TIniFile(kit + "Slideshow-Autorun.inf").ReadString("autorun", "open", ""), "Slideshow-Player");
    for (const char* name : {"play.ply", "intro.ply"})
        EXPECT_TRUE(QFileInfo(kit + name).isFile()) << name;
    EXPECT_FALSE(QDir(ProgramDir() + "encoder").entryList(QDir::Files).isEmpty());
}

TEST(SampleData, TwoSlideshowsWhosePicturesAndThumbnailsAreAllThere)
{
    ASSERT_TRUE(DataBuilt());
    const QString samples = ProgramDir() + "diashow/";
    EXPECT_EQ(ListDiashows(samples), (QStringList{"Archive_0001 Panorama", "Archive_0002 Aurora"}));
    for (const TArchiveEntry& entry : ArchiveEntries(samples)) {
        SCOPED_TRACE(entry.Folder.toStdString());
        const QString folder = samples + entry.Folder + "/";
        EXPECT_EQ(TIniFile(folder + "Diashow.ini").ReadString("DIASHOW", "Time", ""), "5");
        TStringList lines;
        lines.LoadFromFile(folder + "Pictures.ini");
        EXPECT_GE(lines.Count(), 4);
        QStringList expected = {"Diashow.ini", "Pictures.ini"};
        for (int i = 0; i < lines.Count(); ++i) {
            // The format the archive reads: file name, " | ", text.
            const QString name = Trim(ExtractWord(1, lines[i], "|"));
            const QString text = Trim(ExtractWord(2, lines[i], "|"));
            SCOPED_TRACE(name.toStdString());
            EXPECT_FALSE(text.isEmpty());
            EXPECT_FALSE(text.contains('>'));
            QImageReader picture(folder + name);
            EXPECT_EQ(picture.format(), "jpeg");
            EXPECT_EQ(picture.size(), QSize(1024, 768));
            QImageReader thumb(folder + "_THUMB_" + name);
            EXPECT_EQ(thumb.format(), "jpeg");
            EXPECT_EQ(thumb.size(), QSize(93, 70));  // 70 high, 70 * 1024 / 768 = 93.3 wide
            expected << name << "_THUMB_" + name;
        }
        expected.sort();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
    }
}

TEST(SampleData, TheTuneIsFitForASlideshow)
{
    ASSERT_TRUE(DataBuilt());
    const QByteArray mp3 = kvtest::ReadFile(ProgramDir() + "Bumble Bee - Tessmark.mp3");
    ASSERT_GT(mp3.size(), 20000);
    const TMp3Frame frame = FirstFrame(mp3);
    EXPECT_EQ(frame.Version, 3);
    EXPECT_EQ(frame.Layer, 3);
    EXPECT_EQ(frame.SampleRate, 44100);
    EXPECT_EQ(frame.ChannelMode, 0) << "plain stereo";
}

TEST(SampleData, TheAdvertisementPictures)
{
    ASSERT_TRUE(DataBuilt());
    for (const char* name : {"wer_banner.png", "wer_postvane.png", "wer_tavelo.png", "wer_korvanta.png",
                             "wer_vintrel.png", "wer_lumagraft.png"}) {
        QImageReader picture(ProgramDir() + "recom/" + name);
        EXPECT_EQ(picture.format(), "png") << name;
        EXPECT_TRUE(picture.size().isValid()) << name;
    }
}
