// Sound output of the main window: Qt Multimedia's ffmpeg backend whatever the environment
// asks for, and "Abspielen" without an audio output (no sound server) saying so.
#include "MainWindowTestSupport.h"

#include "output/AudioFixtures.h"
#include "shell/MediaPlayer.h"
#include "shell/core/MediaBackend.h"

#include <QMediaPlayer>
#include <QPushButton>
#include <QUrl>
#include "support/WaitFor.h"
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

// No sound server can be reached: the state of a machine without one.
void NoSoundServer()
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/korvanta-test/native");
}

} // namespace

TEST(AudioOutput, TheFfmpegBackendPlaysWhateverTheEnvironmentAsksFor)
{
    // Debian's default for Qt 6.4; without GStreamer's plugins its player crashes.
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
    NoSoundServer();
    UseFfmpegMediaBackend();  // as both programs do before their application object
    EXPECT_EQ(qgetenv("QT_MEDIA_BACKEND"), "ffmpeg");

    const QString garbage = kvtest::MakeTempFolder("music") + "garbage.mp3";
    kvtest::WriteFile(garbage, QByteArray(4000, '\x5a'));
    QMediaPlayer player;
    bool failed = false;
    QObject::connect(&player, &QMediaPlayer::errorOccurred, [&] { failed = true; });
    player.setSource(QUrl::fromLocalFile(garbage));
    player.play();
    EXPECT_TRUE(kvtest::WaitFor([&] { return failed; })) << "an unreadable title is reported";
}

TEST(AudioOutput, AbspielenWithoutAnAudioOutputSaysSo)
{
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
    NoSoundServer();
    UseFfmpegMediaBackend();
    ProgramFixture program;
    ASSERT_TRUE(program.Ready());
    kvtest::WriteFile(program.Folder + "NoWer.ini", "");
    ASSERT_TRUE(Start());
    kvtest::OpenNewSlideshow();
    const QString folder = MainForm->DiashowPath();
    kvtest::Tone(folder + "Audio001.wav", 44100, 2, 0.3);
    MainForm->ListAudioTitles();
    TListBox& list = *MainForm->ui()->AudioListBox;
    ASSERT_EQ(list.Count(), 1);
    list.setSelected(0, true);
    MainForm->AudioListBoxClick();

    // The real playback service answers.
    kvtest::Ui().Allow(TAskKind::AudioPlayback, &TMediaPlayer::Playback);
    kvtest::Ui().ExpectMessage(mrOk, TMediaPlayer::NoAudioOutputText());
    MainForm->ui()->PlayBitBtn->click();
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    // Pause and Stop have nothing to say.
    MainForm->ui()->PauseBitBtn->click();
    MainForm->ui()->StopBitBtn->click();
    CloseAndEnd();
}
