// The player's music: a title that cannot be played is passed over and logged, a list whose
// every title fails stops trying; Qt Multimedia's ffmpeg backend reports such titles; and the
// player program plays its music through that backend whatever the environment asks for,
// saying on stderr when there is no audio output.
#include "PlayerFixtures.h"
#include "output/AudioFixtures.h"
#include "support/WaitFor.h"

#include "player/PlayerMusic.h"
#include "shell/core/MediaBackend.h"

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <set>

namespace {

// Records the titles it is given; plays nothing.
class RecordingOutput : public TMusicOutput {
public:
    explicit RecordingOutput(QStringList& played) : m_played(played) {}
    void Play(const QString& file) override { m_played.append(file); }
    void Stop() override {}

private:
    QStringList& m_played;
};

// Garbage named .mp3, an empty file: titles that no backend can play.
void Unplayable(const QString& path, bool empty)
{
    kvtest::WriteFile(path, empty ? QByteArray() : QByteArray(5000, '\x33'));
}

} // namespace

TEST(PlayerMusic, BrokenTitlesArePassedOverAndAListOfOnlyBrokenOnesStops)
{
    struct Case {
        const char* What;
        QStringList Titles;
        std::set<QString> Broken;
        QStringList Played;  // the first titles handed to the output, in order
        bool GivesUp;
    };
    const Case cases[] = {
        {"broken first", {"x", "a", "b"}, {"x"}, {"x", "a", "b", "x", "a", "b", "x"}, false},
        {"broken in the middle", {"a", "x", "b"}, {"x"}, {"a", "x", "b", "a", "x", "b", "a"}, false},
        {"broken last", {"a", "b", "x"}, {"x"}, {"a", "b", "x", "a", "b", "x", "a"}, false},
        {"two broken in a row", {"x", "y", "a"}, {"x", "y"}, {"x", "y", "a", "x", "y", "a", "x"}, false},
        {"all broken", {"x", "y", "z"}, {"x", "y", "z"}, {"x", "y", "z"}, true},
        {"one broken title alone", {"x"}, {"x"}, {"x"}, true},
        {"one good title loops", {"a"}, {}, {"a", "a", "a", "a", "a", "a", "a"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        QStringList played;
        TPlayerMusic music;
        music.SetOutput(std::make_unique<RecordingOutput>(played));
        music.Play(c.Titles);
        // The output reports on each title it was given, as a real one would.
        while (played.size() < 7 && !music.GaveUp()) {
            if (c.Broken.count(played.last()))
                music.TitleFailed("unreadable");
            else
                music.TitleEnded();
        }
        EXPECT_EQ(played, c.Played);
        EXPECT_EQ(music.GaveUp(), c.GivesUp);
        if (c.GivesUp) {
            // Given up: late reports start nothing; new titles start afresh.
            EXPECT_EQ(music.Current(), -1);
            music.TitleFailed("late");
            music.TitleEnded();
            EXPECT_EQ(played, c.Played);
            music.Play({"n"});
            EXPECT_EQ(played.last(), "n");
            EXPECT_FALSE(music.GaveUp());
        }
    }
}

TEST(PlayerMusic, TheFfmpegBackendReportsEveryUnplayableTitleOnce)
{
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
    qputenv("PULSE_SERVER", "unix:/nonexistent/korvanta-test/native");
    UseFfmpegMediaBackend();
    const QString music = kvtest::MakeTempFolder("music");
    Unplayable(music + "garbage.mp3", false);
    Unplayable(music + "empty.mp3", true);
    const QString good = kvtest::Tone(music + "good.wav", 44100, 2, 0.3);

    // Every title unplayable: each is tried once, then the music stops.
    {
        TPlayerMusic player;
        QStringList started;
        QObject::connect(&player, &TPlayerMusic::TitleStarted, [&](const QString& f) { started.append(f); });
        const QStringList titles = {music + "garbage.mp3", music + "empty.mp3", music + "missing.mp3"};
        player.Play(titles);
        ASSERT_TRUE(kvtest::WaitFor([&] { return player.GaveUp(); }, 10000)) << started.join(' ').toStdString();
        QTest::qWait(300);
        EXPECT_EQ(started, titles);
    }
    // A broken first title: the second one plays.
    {
        TPlayerMusic player;
        QStringList started;
        QObject::connect(&player, &TPlayerMusic::TitleStarted, [&](const QString& f) { started.append(f); });
        player.Play({music + "garbage.mp3", good});
        EXPECT_TRUE(kvtest::WaitFor([&] { return started.size() >= 2; }, 10000));
        EXPECT_EQ(started.value(1), good);
        EXPECT_FALSE(player.GaveUp());
    }
}

TEST(PlayerProgram, PlaysItsMusicThroughFfmpegWhateverTheEnvironmentSays)
{
    const QString built = kvtest::ProgramFixture::BuildDir() + "diashow/Diashow-Player";
    ASSERT_TRUE(QFileInfo(built).isExecutable()) << built.toStdString();
    kvtest::PlayerShows f;
    f.Settings("");
    f.Show("Archive_0001", "0.3", {Qt::red, Qt::green, Qt::blue});
    Unplayable(f.Path + "Archive_0001/Audio001.mp3", false);
    kvtest::Tone(f.Path + "Archive_0001/Audio002.wav", 44100, 2, 0.3);
    ASSERT_TRUE(QFile::copy(built, f.Path + "Diashow-Player"));
    QFile::setPermissions(f.Path + "Diashow-Player", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_MEDIA_BACKEND", "gstreamer");
    env.insert("PULSE_SERVER", "unix:/nonexistent/korvanta-test/native");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    process.setProcessEnvironment(env);
    process.start(f.Path + "Diashow-Player", {"TEST"});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << errors.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();
    // Without a sound server the music is silent, and says so; the broken title is named.
    EXPECT_TRUE(errors.contains("no audio output")) << errors.toStdString();
    EXPECT_TRUE(errors.contains("cannot play " + f.Path + "Archive_0001/Audio001.mp3")) << errors.toStdString();
}
