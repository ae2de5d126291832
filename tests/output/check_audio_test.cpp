// The audio info dialog on MP3 files made by lame and wave files made by sox, and the four
// results that decide whether a title is taken (44,100 Hz and stereo).
#include "AudioFixtures.h"

#include "support/ScriptedUi.h"

#include "output/fCheckAudio.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/SysUtils.h"
#include "ui_fCheckAudio.h"

#include <QLineEdit>

namespace {

class CheckAudio : public ::testing::Test {
protected:
    void SetUp() override { folder = kvtest::MakeTempFolder(QStringLiteral("audio")); }
    void Read(const QString& file)
    {
        form.AudioFile = file;
        form.ReadAudioInfo();
    }
    QString Box(QLineEdit* box) const { return box->text(); }

    QString folder;
    TCheckAudioForm form;
};

TEST_F(CheckAudio, Mp3FilesMadeByLame)
{
    struct Case {
        const char* name;
        QStringList lameArgs;
        const char* rate;
        const char* stereo;
        const char* bitRate;  // nullptr: not checked
        const char* encoder;  // nullptr: not checked
    } cases[] = {
        {"cbr128.mp3", {"-b", "128"}, "44100", "STEREO", "CBR 128 kbit/s", nullptr},
        {"mono.mp3", {"-b", "128", "-m", "m"}, "44100", "", nullptr, nullptr},
        {"dual.mp3", {"-b", "128", "-m", "d"}, "44100", "", nullptr, nullptr},
        {"vbr.mp3", {"-V", "4"}, "44100", "STEREO", nullptr, "LAME 3.10"},
        {"resampled48.mp3", {"-b", "128", "--resample", "48"}, "48000", "STEREO", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Read(kvtest::Mp3(folder + QString::fromLatin1(c.name), c.lameArgs));
        const auto* ui = form.ui();
        EXPECT_EQ(Box(ui->ValidMPEGText), QStringLiteral("Yes"));
        EXPECT_EQ(Box(ui->MPEGTypeText), QStringLiteral("MPEG 1 Layer III"));
        EXPECT_EQ(form.SampleRateValue, QString::fromLatin1(c.rate));
        EXPECT_EQ(Box(ui->SampleRateText), QString::fromLatin1(c.rate) + QStringLiteral(" Hz"));
        EXPECT_EQ(form.StereoText, QString::fromLatin1(c.stereo));
        EXPECT_EQ(form.VersionText, QStringLiteral("MPEG 1"));
        EXPECT_EQ(form.LayerText, QStringLiteral("Layer III"));
        if (c.bitRate) {
            EXPECT_EQ(Box(ui->BitRateText), QString::fromLatin1(c.bitRate));
        }
        if (c.encoder) {
            EXPECT_TRUE(Box(ui->BitRateText).startsWith(QStringLiteral("VBR ")));
            EXPECT_EQ(Box(ui->EncoderText), QString::fromLatin1(c.encoder));
        }
        EXPECT_TRUE(Box(ui->DurationText).endsWith(QStringLiteral(" sec.")));
        EXPECT_EQ(ui->Label1->text(), QStringLiteral("MP3 File"));
    }
    EXPECT_EQ(Box(form.ui()->FileSizeText),
              QString::number(QFileInfo(folder + QStringLiteral("resampled48.mp3")).size()) + QStringLiteral(" bytes"));
}

TEST_F(CheckAudio, DurationTextHasOneDecimalAndNoLeadingZero)
{
    const QChar sep = LocaleDecimalSeparator();
    EXPECT_EQ(TCheckAudioForm::FormatDuration(2.04), QStringLiteral("2") + sep + QStringLiteral("0"));
    EXPECT_EQ(TCheckAudioForm::FormatDuration(0.46), sep + QStringLiteral("5"));
    EXPECT_EQ(TCheckAudioForm::FormatDuration(125.25), QStringLiteral("125") + sep + QStringLiteral("3"));
}

TEST_F(CheckAudio, WaveFilesMadeBySox)
{
    struct Case {
        int rate;
        int channels;
        const char* mode;
        const char* stereo;
    } cases[] = {
        {44100, 2, "Joint Stereo", "STEREO"},
        {22050, 2, "Joint Stereo", "STEREO"},
        {44100, 1, "Mono", ""},
        {48000, 6, "6 Channels", ""},  // never taken for stereo
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate * 10 + c.channels);
        Read(kvtest::Tone(folder + QStringLiteral("tone_%1_%2.wav").arg(c.rate).arg(c.channels), c.rate, c.channels));
        const auto* ui = form.ui();
        EXPECT_EQ(Box(ui->ChannelModeEdit), QString::fromLatin1(c.mode));
        EXPECT_EQ(form.StereoText, QString::fromLatin1(c.stereo));
        EXPECT_EQ(form.SampleRateValue, QString::number(c.rate));
        EXPECT_EQ(Box(ui->SampleRateEdit), QString::number(c.rate) + QStringLiteral(" Hz"));
        EXPECT_EQ(Box(ui->BitsPerSampleEdit), QStringLiteral("16"));
        EXPECT_EQ(form.LayerText, QStringLiteral("16 Bit"));
        EXPECT_EQ(Box(ui->Edit1), QStringLiteral("Yes"));
        EXPECT_EQ(ui->Label1->text(), QStringLiteral("WAV File"));
    }
}

TEST_F(CheckAudio, WaveHeaderEdgeCases)
{
    // Ten seconds of 16-bit stereo at 44,100 Hz.
    Read(kvtest::WriteBytes(folder + QStringLiteral("ten.wav"), kvtest::WaveHeaderBytes(2, 44100, 16, 1764000)));
    EXPECT_EQ(form.ui()->DurationWAVEdit->text(), QStringLiteral("0:00:10"));
    EXPECT_EQ(form.ui()->FileSizeEdit->text(), QStringLiteral("1764036 bytes"));
    EXPECT_EQ(form.ui()->WavFormatEdit->text(), QStringLiteral("1"));
    EXPECT_EQ(form.VersionText, QStringLiteral("1"));

    // A sample rate of 0: no division by zero, and the title is not taken.
    Read(kvtest::WriteBytes(folder + QStringLiteral("rate0.wav"), kvtest::WaveHeaderBytes(2, 0, 16, 1764000)));
    EXPECT_EQ(form.ui()->DurationWAVEdit->text(), QStringLiteral("0:00:00"));
    EXPECT_EQ(form.SampleRateValue, QStringLiteral("0"));

    // Not a RIFF file at all: the fields as they stand, and "Valid WAV: No".
    Read(kvtest::WriteBytes(folder + QStringLiteral("noise.wav"), QByteArray(64, '\x07')));
    EXPECT_EQ(form.ui()->Edit1->text(), QStringLiteral("No"));
    EXPECT_TRUE(form.StereoText.isEmpty());

    // Shorter than a header: an input/output error, and no results of the file before.
    form.AudioFile = kvtest::WriteBytes(folder + QStringLiteral("short.wav"), QByteArray(20, 'R'));
    EXPECT_THROW(form.ReadAudioInfo(), EInOutError);
    EXPECT_TRUE(form.SampleRateValue.isEmpty());
    EXPECT_TRUE(form.StereoText.isEmpty());
}

TEST_F(CheckAudio, ReadingThatStopsEarlyLeavesNoResultsOfTheTitleBefore)
{
    const QString good = kvtest::Mp3(folder + QStringLiteral("good.mp3"), {"-b", "128"});
    const QString broken = kvtest::WriteBytes(folder + QStringLiteral("broken.mp3"), QByteArray(5000, '\x11'));
    const QString tiny = kvtest::WriteBytes(folder + QStringLiteral("tiny.mp3"), QByteArray(50, '\xFF'));
    struct Step {
        QString file;
        const char* message;  // the box shown, or nullptr
    } steps[] = {
        {broken, nullptr},
        {tiny, "Can not read data from the file: "},
        {folder + QStringLiteral("gone.mp3"), "The file does not exist: "},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.file.toStdString());
        Read(good);
        ASSERT_EQ(form.SampleRateValue, QStringLiteral("44100"));
        ASSERT_EQ(form.StereoText, QStringLiteral("STEREO"));
        if (s.message)
            kvtest::Ui().ExpectMessage(mrOk, QString::fromLatin1(s.message) + s.file);
        Read(s.file);
        EXPECT_TRUE(form.SampleRateValue.isEmpty());
        EXPECT_TRUE(form.StereoText.isEmpty());
        EXPECT_TRUE(form.VersionText.isEmpty());
        EXPECT_TRUE(form.LayerText.isEmpty());
        EXPECT_TRUE(form.ui()->SampleRateText->text().isEmpty());
    }
    Read(broken);
    EXPECT_EQ(form.ui()->ValidMPEGText->text(), QStringLiteral("No"));
}

} // namespace
