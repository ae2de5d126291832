// The slideshow player: frames, the order of its pictures, its keys and its end; and the
// program itself started from an unrelated folder.
#include "support/ProgramFixture.h"
#include "support/TestEnv.h"

#include "player/Player.h"
#include "player/PlayerFrame.h"
#include "player/PlayerOptions.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using kvtest::WriteFile;

QImage Solid(int w, int h, QColor c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

void Picture(const QString& path, QColor c, int w = 320, int h = 240)
{
    QDir().mkpath(QFileInfo(path).path());
    ASSERT_TRUE(Solid(w, h, c).save(path, "JPEG", 95));
}

bool Near(QRgb a, QColor b, int tolerance = 12)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}

// A player folder: settings, texts, effects and one slideshow per entry of shows.
struct PlayerFolder {
    QString path = kvtest::MakeTempFolder("player");

    void Settings(const QByteArray& extra) const
    {
        // The first of two equal keys counts: the case's keys come first.
        WriteFile(path + "Settings.ini", "[SETTINGS]\r\n" + extra + "Fullscreen=FALSE\r\nPictureTextVisible=TRUE\r\n"
                                         "BKGColor=0\r\nTextColor=16777215\r\nEffectMode=OFF\r\n");
        WriteFile(path + "Language.ini", "[PLAYER]\r\n100001=Laden\r\n100002=Pause\r\n100003=Ende\r\n100004=Esc\r\n");
        WriteFile(path + "Effects.ini", "2000;1;5;1;0\r\n2027;1;5;1;0\r\n");
    }
    void Show(const QString& folder, const QByteArray& time, const QList<std::pair<QString, QColor>>& pictures) const
    {
        QByteArray lines;
        for (const auto& [name, color] : pictures) {
            if (color.isValid())
                Picture(path + folder + "/" + name, color);
            else
                WriteFile(path + folder + "/" + name, "not a picture");
            lines += name.toUtf8() + " | Text " + name.toUtf8() + "\r\n";
        }
        WriteFile(path + folder + "/Diashow.ini", "[DIASHOW]\r\nTitel=" + folder.toUtf8() + "\r\nTime=" + time + "\r\n");
        WriteFile(path + folder + "/Pictures.ini", lines);
    }
};

std::unique_ptr<TPlayer> StartPlayer(const PlayerFolder& folder, const QStringList& args,
                                     const QString& program = "Diashow-Player")
{
    auto player = std::make_unique<TPlayer>(
        ParsePlayerOptions(args, folder.path + program, kvtest::TestHome() + "/Documents", QString()));
    player->SetFrameSize(QSize(320, 240));
    EXPECT_TRUE(player->Start());
    return player;
}

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(10);
    return done();
}

void Key(TPlayer& player, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&player, &press);
}

TEST(PlayerFrame, FitAndCentre)
{
    struct Case {
        QSize picture, screen;
        QRect expected;
    };
    const Case cases[] = {
        {{4000, 3000}, {1920, 1080}, {240, 0, 1440, 1080}},
        {{200, 150}, {800, 600}, {0, 0, 800, 600}},      // small pictures are enlarged
        {{1000, 2000}, {800, 600}, {250, 0, 300, 600}},
        {{3000, 1000}, {800, 600}, {0, 166, 800, 267}},  // 266.67 rounds to 267
        {{1920, 1080}, {1920, 1080}, {0, 0, 1920, 1080}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitRect(c.picture, c.screen), c.expected) << c.picture.width() << "x" << c.picture.height();
}

TEST(PlayerFrame, SettingsToFrame)
{
    const QSize screen(400, 300);
    const QColor red(200, 30, 30);
    const QImage fitted = Solid(200, 300, red);  // fitted: centred at x 100..299
    const TShowPicture picture{"/x/Lago.jpg", "Lago.jpg", "Am See"};
    struct Case {
        const char* what;
        bool text, name;
        int bkg, textColor, offset;
    };
    const Case cases[] = {
        {"text band", true, false, 0x00FF00, 0xFFFFFF, 10},
        {"file name only", false, true, 0x000080, 0x00FFFF, 0},
        {"no band", false, false, 0xFFFFFF, 0, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPlayerSettings s;
        s.PictureTextVisible = c.text;
        s.FileNameVisible = c.name;
        s.BKGColor = c.bkg;
        s.TextColor = c.textColor;
        s.TextOffset = c.offset;
        const QImage frame = ComposeFrame(fitted, picture, s, screen);
        ASSERT_EQ(frame.size(), screen);
        const QColor bkg = ColorOfTColor(c.bkg);
        EXPECT_TRUE(Near(frame.pixel(50, 20), bkg)) << "background beside the picture";
        EXPECT_TRUE(Near(frame.pixel(200, 20), red)) << "the picture centred";
        const QRect band = TextBandRect(s, screen);
        EXPECT_EQ(band.bottom() + 1, screen.height() - c.offset);
        const int rowBelow = band.bottom() + 1 < screen.height() ? band.bottom() + 1 : band.top() - 1;
        EXPECT_TRUE(Near(frame.pixel(200, rowBelow), red)) << "the picture outside the band";
        int textPixels = 0;
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = 100; x < 300; ++x)
                textPixels += Near(frame.pixel(x, y), ColorOfTColor(c.textColor), 40);
        if (c.text || c.name) {
            EXPECT_TRUE(Near(frame.pixel(110, band.top() + 1), bkg)) << "the band over the picture";
            EXPECT_GT(textPixels, 20);
        } else {
            EXPECT_TRUE(Near(frame.pixel(110, band.top() + 1), red));
        }
    }
    TPlayerSettings both;
    both.FileNameVisible = true;
    EXPECT_EQ(FrameTextLine(picture, both), "Lago.jpg  –  Am See");
}

TEST(PlayerOptions, ArgumentsAndProgramName)
{
    const QString docs = "/home/u/Documents";
    struct Case {
        QStringList args;
        QString program, window;
        TPlayerOptions::TMode mode;
        QString folder;
        bool hack;
        unsigned long long id;
    };
    using M = TPlayerOptions::TMode;
    const Case cases[] = {
        {{"TEST"}, "/a/Korvanta/Diashow-Player", "", M::Test, "/a/Korvanta/", false, 0},
        {{}, "/cd/Slideshow-Player", "0x42", M::PlayList, "/cd/", false, 0},
        {{}, "/d/system/Diashow.scr", "", M::Screensaver, docs + "/Diashow_Screensaver/", false, 0},
        {{"-root"}, "/d/system32/Slideshow.scr", "0x2a", M::Screensaver, docs + "/Slideshow_Screensaver/", true, 42},
        {{"-window-id", "123"}, "/d/system/Diashow.scr", "", M::Screensaver, docs + "/Diashow_Screensaver/", true, 123},
    };
    for (const Case& c : cases) {
        const TPlayerOptions o = ParsePlayerOptions(c.args, c.program, docs, c.window);
        EXPECT_EQ(o.Mode, c.mode) << c.program.toStdString();
        EXPECT_EQ(o.Folder, c.folder);
        EXPECT_EQ(o.HackProtocol, c.hack);
        EXPECT_EQ(o.WindowId, c.id);
    }
}

TEST(Player, TestPlaysTheLastWrittenShowSkipsBrokenPicturesAndEnds)
{
    PlayerFolder f;
    f.Settings("StopDiashowAtEnd=TRUE\r\n");
    f.Show("Archive_0001", "5", {{"old.jpg", Qt::green}});
    f.Show("Archive_0002", "0,2", {{"a.jpg", Qt::red}, {"broken.jpg", QColor()}, {"c.jpg", Qt::blue}});
    QFile(f.path + "Archive_0001/Pictures.ini").setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                                             QFileDevice::FileModificationTime);
    QFile(f.path + "Archive_0001/Diashow.ini").setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                                           QFileDevice::FileModificationTime);
    auto player = StartPlayer(f, {"TEST"});
    ASSERT_EQ(player->Shows().size(), 1);
    EXPECT_EQ(player->Shows()[0].Title, "Archive_0002");
    QList<int> shown;
    bool ended = false;
    QObject::connect(player.get(), &TPlayer::PictureShown, [&](int i) { shown.append(i); });
    QObject::connect(player.get(), &TPlayer::Ended, [&] { ended = true; });
    ASSERT_TRUE(WaitFor([&] { return ended; }, 8000));
    EXPECT_EQ(shown, QList<int>({0, 2})) << "the broken picture is passed over";
    EXPECT_TRUE(Near(player->Screen().pixel(160, 60), Qt::blue));
    EXPECT_EQ(player->TurnWaitMs(), 0);
}

TEST(Player, PlayListAndEndlessLoop)
{
    PlayerFolder f;
    f.Settings("StopDiashowAtEnd=FALSE\r\n");
    f.Show("Archive_0002", "0.2", {{"b.jpg", Qt::red}});
    f.Show("Archive_0001", "0.2", {{"a.jpg", Qt::green}});
    f.Show("del", "0.2", {{"d.jpg", Qt::white}});
    auto player = StartPlayer(f, {});
    ASSERT_EQ(player->Shows().size(), 2);
    EXPECT_EQ(player->Shows()[0].Title, "Archive_0001");
    QList<int> shown;
    QObject::connect(player.get(), &TPlayer::PictureShown, [&](int i) { shown.append(i); });
    ASSERT_TRUE(WaitFor([&] { return shown.size() >= 3; }, 8000));
    EXPECT_EQ(shown.mid(0, 3), QList<int>({0, 1, 0})) << "loops";
    Key(*player, Qt::Key_Escape);
}

TEST(Player, ManualStepsByKeysNeverByTime)
{
    PlayerFolder f;
    f.Settings("Fullscreen=TRUE\r\nManuell=TRUE\r\nStopDiashowAtEnd=TRUE\r\n");
    f.Show("Archive_0001", "0.2", {{"a.jpg", Qt::red}, {"b.jpg", Qt::green}, {"c.jpg", Qt::blue}});
    auto player = StartPlayer(f, {});
    bool ended = false;
    QObject::connect(player.get(), &TPlayer::Ended, [&] { ended = true; });
    ASSERT_TRUE(WaitFor([&] { return player->CurrentIndex() == 0; }, 5000));
    QTest::qWait(600);
    EXPECT_EQ(player->CurrentIndex(), 0) << "no timer runs";
    struct Step {
        int key, expected;
    };
    for (const Step s : {Step{Qt::Key_Right, 1}, Step{Qt::Key_PageDown, 2}, Step{Qt::Key_Up, 1}, Step{Qt::Key_PageUp, 0},
                         Step{Qt::Key_Left, 0}, Step{Qt::Key_Down, 1}}) {
        Key(*player, s.key);
        EXPECT_TRUE(WaitFor([&] { return player->CurrentIndex() == s.expected && !player->InTransition(); }, 3000))
            << s.key << " -> " << player->CurrentIndex();
    }
    Key(*player, Qt::Key_Space);
    EXPECT_FALSE(player->Paused());
    Key(*player, Qt::Key_Escape);
    EXPECT_TRUE(ended);
}

TEST(Player, SpacePausesAndEffectsPaintSteps)
{
    PlayerFolder f;
    f.Settings("StopDiashowAtEnd=FALSE\r\nEffectMode=ON\r\nEffect=1\r\n");
    f.Show("Archive_0001", "0.3", {{"a.jpg", Qt::red}, {"b.jpg", Qt::blue}});
    auto player = StartPlayer(f, {});
    ASSERT_TRUE(WaitFor([&] { return player->CurrentIndex() == 0; }, 5000));
    Key(*player, Qt::Key_Space);
    EXPECT_TRUE(player->Paused());
    QTest::qWait(700);
    EXPECT_EQ(player->CurrentIndex(), 0);
    Key(*player, Qt::Key_Space);
    ASSERT_TRUE(WaitFor([&] { return player->InTransition(); }, 3000));
    // A step of the effect shows both pictures at once.
    ASSERT_TRUE(WaitFor(
        [&] {
            const QImage s = player->Screen();
            bool red = false, blue = false;
            for (int x = 0; x < s.width(); x += 4)
                for (int y = 0; y < 200; y += 4) {
                    red = red || Near(s.pixel(x, y), Qt::red);
                    blue = blue || Near(s.pixel(x, y), Qt::blue);
                }
            return red && blue;
        },
        3000));
    ASSERT_TRUE(WaitFor([&] { return player->CurrentIndex() == 1 && !player->InTransition(); }, 5000));
    EXPECT_TRUE(Near(player->Screen().pixel(160, 60), Qt::blue));
}

TEST(Player, TheQuickFirstPictureIsReplacedByItsFullDetail)
{
    PlayerFolder f;
    f.Settings("StopDiashowAtEnd=FALSE\r\n");
    f.Show("Archive_0001", "5", {{"a.jpg", Qt::red}});
    // Fine detail that a decode at half the detail loses.
    QImage stripes(1280, 960, QImage::Format_RGB32);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, ((x / 2 + y / 2) & 1) ? qRgb(250, 250, 250) : qRgb(10, 10, 10));
    ASSERT_TRUE(stripes.save(f.path + "Archive_0001/a.jpg", "JPEG", 100));
    auto player = StartPlayer(f, {});
    ASSERT_TRUE(WaitFor([&] { return player->CurrentIndex() == 0; }, 5000));
    const TShowPicture& picture = player->Shows()[0].Pictures[0];
    const QImage full = ComposeFrame(DecodeForScreen(picture.Path, QSize(320, 240)), picture, player->Settings(),
                                     QSize(320, 240));
    EXPECT_TRUE(WaitFor([&] { return player->Screen() == full; }, 5000));
    Key(*player, Qt::Key_Escape);
}

TEST(Player, ScreensaverPlaysItsFolderEndlesslyUntilInput)
{
    // The screensaver copy lies elsewhere; its shows are in the documents' screensaver folder.
    PlayerFolder saver;
    saver.path = kvtest::TestHome() + "/Documents/Diashow_Screensaver/";
    saver.Settings("StopDiashowAtEnd=TRUE\r\nManuell=TRUE\r\n");
    saver.Show("Archive_0001", "0,2", {{"a.jpg", Qt::red}, {"b.jpg", Qt::green}});
    const PlayerFolder system;
    for (const QStringList& args : {QStringList(), QStringList({"-root"})}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        auto player = StartPlayer(system, args, "Diashow.scr");
        ASSERT_EQ(player->Shows().size(), 1);
        bool ended = false;
        QObject::connect(player.get(), &TPlayer::Ended, [&] { ended = true; });
        QList<int> shown;
        QObject::connect(player.get(), &TPlayer::PictureShown, [&](int i) { shown.append(i); });
        ASSERT_TRUE(WaitFor([&] { return shown.size() >= 3; }, 8000)) << "loops by time";
        EXPECT_FALSE(ended);
        Key(*player, Qt::Key_A);
        EXPECT_EQ(ended, args.isEmpty()) << "a key ends it unless xscreensaver runs it";
    }
}

TEST(PlayerProgram, EndsByItselfWhenStartedFromAnUnrelatedFolder)
{
    const QString built = kvtest::ProgramFixture::BuildDir() + "diashow/Diashow-Player";
    ASSERT_TRUE(QFileInfo(built).isExecutable()) << built.toStdString();
    PlayerFolder f;
    f.Settings("Fullscreen=TRUE\r\nStopDiashowAtEnd=TRUE\r\n");
    f.Show("Archive_0003", "0.2", {{"a.jpg", Qt::red}, {"b.jpg", Qt::green}, {"c.jpg", Qt::blue}});
    ASSERT_TRUE(QFile::copy(built, f.path + "Diashow-Player"));
    QFile::setPermissions(f.path + "Diashow-Player", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess process;
    process.setWorkingDirectory(kvtest::MakeTempFolder("elsewhere"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(f.path + "Diashow-Player", {"TEST"});
    ASSERT_TRUE(process.waitForFinished(30000)) << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_GE(timer.elapsed(), 600) << "three pictures of 0.2 s were shown";

    // Without a slideshow it says so and ends.
    QDir(f.path + "Archive_0003").removeRecursively();
    process.start(f.path + "Diashow-Player", {"TEST"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_NE(process.exitCode(), 0);
}

} // namespace
