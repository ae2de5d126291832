// What the player shows: "TEST" plays the slideshow written last among exactly the folders the
// archive lists, the text band covers a picture only when there is a text to show, and the
// mouse pointer is hidden over a full screen only.
#include "PlayerFixtures.h"
#include "support/WaitFor.h"

#include "player/Player.h"
#include "player/PlayerFrame.h"
#include "player/PlayerOptions.h"
#include "shell/core/Archive.h"
#include "shell/core/PlayerData.h"

#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

void Age(const QString& file, int secondsAgo)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite)) << file.toStdString();
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo), QFileDevice::FileModificationTime));
}

std::unique_ptr<TPlayer> StartPlayer(const kvtest::PlayerShows& f, const QStringList& args)
{
    auto player = std::make_unique<TPlayer>(
        ParsePlayerOptions(args, f.Path + "Diashow-Player", kvtest::TestHome() + "/Documents", QString()));
    player->SetFrameSize(QSize(160, 120));
    EXPECT_TRUE(player->Start());
    return player;
}

void Escape(TPlayer& player)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&player, &press);
}

} // namespace

TEST(PlayerTest, PlaysTheSlideshowWrittenLastAmongTheFoldersTheArchiveLists)
{
    kvtest::PlayerShows f;
    f.Settings("");
    const QStringList listed = {"Archive_0002", "Urlaub", "Archive_0010", "Fotos_2019", "x"};
    for (const QString& folder : listed + QStringList{"del", "Alt.bak", "Mein Urlaub", "Deleted_1"})
        f.Show(folder, "5", {Qt::red});
    // The player takes the archive's list as it is.
    QStringList archive;
    for (const TArchiveEntry& entry : ArchiveEntries(f.Path))
        archive.append(entry.Folder);
    archive.sort(Qt::CaseInsensitive);
    QStringList slideshows = PlayerSlideshows(f.Path);
    slideshows.sort(Qt::CaseInsensitive);
    EXPECT_EQ(slideshows, archive);
    QStringList expected = listed;
    expected.sort(Qt::CaseInsensitive);
    EXPECT_EQ(slideshows, expected);

    // The file written last decides; folders the archive does not list never count, however
    // new: the listed folder written after them plays.
    struct Case {
        const char* Newest;  // folder/file written last
        const char* Second;  // the one before it
        const char* Plays;
    };
    const Case cases[] = {
        {"Urlaub/Diashow.ini", "Archive_0010/Pictures.ini", "Urlaub"},
        {"Fotos_2019/Pictures.ini", "Urlaub/Diashow.ini", "Fotos_2019"},
        {"x/Pictures.ini", "Archive_0002/Diashow.ini", "x"},
        {"Archive_0002/Diashow.ini", "Urlaub/Pictures.ini", "Archive_0002"},
        {"del/Pictures.ini", "Archive_0010/Diashow.ini", "Archive_0010"},
        {"Alt.bak/Diashow.ini", "Urlaub/Pictures.ini", "Urlaub"},
        {"Mein Urlaub/Pictures.ini", "Fotos_2019/Diashow.ini", "Fotos_2019"},
        {"Deleted_1/Diashow.ini", "x/Diashow.ini", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Newest);
        for (const QString& folder : listed + QStringList{"del", "Alt.bak", "Mein Urlaub", "Deleted_1"}) {
            Age(f.Path + folder + "/Diashow.ini", 1000);
            Age(f.Path + folder + "/Pictures.ini", 1000);
        }
        Age(f.Path + c.Second, 500);
        Age(f.Path + c.Newest, 100);
        EXPECT_EQ(LastWrittenSlideshow(f.Path), c.Plays);
        auto player = StartPlayer(f, {"TEST"});
        ASSERT_EQ(player->Shows().size(), 1);
        EXPECT_EQ(player->Shows()[0].Title, c.Plays);
        Escape(*player);
    }
}

TEST(PlayerFrame, TheTextBandCoversThePictureOnlyWithATextToShow)
{
    const QSize screen(400, 300);
    const QColor green(30, 200, 30);
    QImage fitted(400, 300, QImage::Format_RGB32);
    fitted.fill(green);
    struct Case {
        const char* What;
        bool TextVisible, NameVisible;
        QString Text;
        bool Band;
    };
    const Case cases[] = {
        {"texts on, the picture has none", true, false, "", false},
        {"texts on, the picture has one", true, false, "Am See", true},
        {"file names on", false, true, "", true},
        {"both off, the picture has a text", false, false, "Am See", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TPlayerSettings s;
        s.PictureTextVisible = c.TextVisible;
        s.FileNameVisible = c.NameVisible;
        s.BKGColor = 0x000000;
        s.TextOffset = 10;
        const QImage frame = ComposeFrame(fitted, TShowPicture{"/x/Lago.jpg", "Lago.jpg", c.Text}, s, screen);
        const QRect band = TextBandRect(s, screen);
        // The band's left end, where no letter stands.
        const QColor at = frame.pixelColor(2, band.center().y());
        EXPECT_EQ(at == QColor(Qt::black), c.Band) << at.name().toStdString();
        EXPECT_EQ(at == green, !c.Band);
    }
}

TEST(Player, HidesThePointerOverAFullScreenOnly)
{
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "full screen" : "window");
        kvtest::PlayerShows f;
        f.Settings(full ? "Fullscreen=TRUE\r\n" : "");
        f.Show("Archive_0001", "5", {Qt::red});
        auto player = StartPlayer(f, {"TEST"});
        EXPECT_EQ(player->cursor().shape() == Qt::BlankCursor, full);
        Escape(*player);
    }
}
