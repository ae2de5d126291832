// Video CD production end to end: the wizard's estimates against the free space, the AVI road
// (ffprobe), the MPEG road with transitions (vcdimager), titles of the wrong rate, the abort
// while the MP3 decoder runs, and a second production in the same run.
#include "MainWindowTestSupport.h"

#include "output/VideoContext.h"
#include "output/fCapture.h"
#include "output/fDVD.h"
#include "output/fWizardDVD.h"
#include "shell/VideoHooks.h"
#include "shell/fWizardMake.h"
#include "ui_fMain.h"
#include "ui_fWizardMake.h"
#include "platform/system/DriveMap.h"
#include "support/MediaTools.h"
#include "support/TestEnv.h"
#include "ui_fDVD.h"
#include "ui_fWizardDVD.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::ReadFile;
using kvtest::RunTool;
using kvtest::Start;
using kvtest::WriteFile;

class VideoProduction : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        const QString build = ProgramFixture::BuildDir();
        for (const char* name : {"mpdx_dll.so", "empty.wav", "video/EndCard_GERMAN.jpg", "video/EndCard_ENGLISH.jpg",
                                 "video/EndCard_SWEDISH.jpg"}) {
            QDir().mkpath(QFileInfo(program.Folder + name).absolutePath());
            ASSERT_TRUE(QFile::copy(build + name, program.Folder + name)) << name;
        }
        WriteFile(program.Folder + "NoWer.ini", "");
        ASSERT_TRUE(Start());
        ctx.ProgramFolder = program.Folder;
        ctx.ArchiveRoot = program.Home + "archive/";
        ctx.DiashowFolder = "Archive_0001";
        ctx.DiashowTitle = "Mein Urlaub";
        ctx.DiashowTime = "2";
        ctx.VideoFolder = program.Home + "video/";
        ctx.EncoderFolder = program.Home + "video/encoder/";
        ctx.LanguageName = "GERMAN";
        ctx.BKGColor = 0x000000;
        ctx.TextColor = 0xFFFFFF;
        ctx.DrawText = true;
        ctx.TextOffset = 4;
        QDir().mkpath(ctx.EncoderFolder);
        WriteFile(ctx.EncoderFolder + "ReadMe.txt", "encoder folder\n");
        VideoHooks.Context = [this] { return ctx; };
        VideoHooks.ShowInstructions = [this](const QString& make, const QString& sub, bool, bool) {
            instructions << make + " / " + sub;
        };
        VideoHooks.SavePicturesIni = [] {};
    }
    void TearDown() override
    {
        ClearDriveMapOverrides();
        CloseAndEnd();
    }

    // n pictures of 640x480 with a coloured disc, listed in Pictures.ini with a text.
    void MakeSlideshow(int n)
    {
        const QString folder = ctx.ArchiveRoot + ctx.DiashowFolder + "/";
        QDir().mkpath(folder);
        QByteArray list;
        for (int i = 1; i <= n; ++i) {
            QImage img(640, 480, QImage::Format_RGB32);
            img.fill(QColor(40 * i, 200, 255 - 40 * i));
            QPainter p(&img);
            p.setBrush(Qt::red);
            p.drawEllipse(QPoint(320, 240), 150, 150);
            p.end();
            const QString name = QString("pic%1.jpg").arg(i);
            ASSERT_TRUE(img.save(folder + name, "JPG", 90));
            list += (name + " | Bild " + QString::number(i) + "\r\n").toUtf8();
        }
        WriteFile(folder + "Pictures.ini", list);
        ctx.PictureCount = n;
    }
    QString Tone(const QString& name, double seconds, int rate = 44100, int channels = 2)
    {
        const QString file = program.Home + name;
        EXPECT_EQ(RunTool("sox", {"-n", "-r", QString::number(rate), "-c", QString::number(channels), "-b", "16",
                                  file, "synth", QString::number(seconds), "sine", "440", "vol", "0.5"})
                      .exitCode,
                  0);
        return file;
    }
    QStringList Log() const
    {
        return QString::fromUtf8(ReadFile(program.Folder + "Diashow.log")).split("\r\n", Qt::SkipEmptyParts);
    }
    QStringList EncoderFiles() const { return QDir(ctx.EncoderFolder).entryList(QDir::Files); }
    void Choose(QRadioButton* kind, bool pal)
    {
        kind->setChecked(true);
        (pal ? DVDWizardForm->ui()->PalRadioButton : DVDWizardForm->ui()->NTSCRadioButton)->setChecked(true);
    }
    // The wizard's Weiter with enough free space.
    void Make()
    {
        SetFreeSpaceOverride(QDir::cleanPath(program.Home), 100000LL * 1048576);
        DVDWizardForm->ui()->WeiterBitBtn->click();
    }

    ProgramFixture program;
    TVideoContext ctx;
    QStringList instructions;
};

TEST_F(VideoProduction, WizardEstimatesAgainstTheFreeSpace)
{
    ctx.PictureCount = 20;
    ctx.DiashowTime = "5";
    Ui::TDVDWizardForm& w = *DVDWizardForm->ui();
    const QString home = QDir::cleanPath(program.Home);
    SetFreeSpaceOverride(home, 82LL * 1048576);
    w.VCDRadioButton->setChecked(true);
    EXPECT_TRUE(DVDWizardForm->CheckDiskSpace());  // equal passes
    EXPECT_EQ(w.DiashowSizeEdit->text(), "82 MB");
    EXPECT_EQ(w.FreeDiskEdit->text(), "82 MB");
    w.NanoVCDRadioButton->click();
    EXPECT_EQ(w.DiashowSizeEdit->text(), "62 MB");
    // The standards do not recompute.
    ctx.PictureCount = 40;
    w.NTSCRadioButton->click();
    w.PalRadioButton->click();
    EXPECT_EQ(w.DiashowSizeEdit->text(), "62 MB");

    // One MB short: the instructions say so and nothing is made.
    ctx.PictureCount = 20;
    w.VCDRadioButton->setChecked(true);
    SetFreeSpaceOverride(home, 81LL * 1048576 + 1048576 / 2);  // 81.5 MB rounds to the even 82
    EXPECT_TRUE(DVDWizardForm->CheckDiskSpace());
    SetFreeSpaceOverride(home, 81LL * 1048576);
    EXPECT_FALSE(DVDWizardForm->CheckDiskSpace());
    DVDWizardForm->StartVideo("VCD");
    ASSERT_EQ(instructions.size(), 1);
    EXPECT_TRUE(instructions[0].startsWith(GetLangText(4609))) << instructions[0].toStdString();
    EXPECT_TRUE(instructions[0].endsWith(GetLangText(4618))) << instructions[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(program.Folder + "Diashow.log"));
}

TEST_F(VideoProduction, AviRoadWithSoundThenASilentSecondRun)
{
    MakeSlideshow(2);
    ctx.AudioTitles = {Tone("Titel eins.wav", 3)};
    Choose(DVDWizardForm->ui()->VCDRadioButton, true);
    Make();
    const QString avi = ctx.VideoFolder + "mein_urlaub_VCD.avi";
    ASSERT_TRUE(QFileInfo::exists(avi));
    EXPECT_EQ(kvtest::Probe(avi, "v:0", "stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_frames"),
              "rawvideo\n352\n288\nbgr24\n1/2\n3");
    EXPECT_EQ(kvtest::Probe(avi, "a:0", "stream=codec_name,sample_rate,channels"), "pcm_s16le\n44100\n2");
    const QStringList log = Log();
    ASSERT_GE(log.size(), 3);
    EXPECT_EQ(log[0], "BEGIN");
    EXPECT_EQ(log[1], "MODE: PAL VCD");
    EXPECT_TRUE(log.contains("END"));
    EXPECT_TRUE(log.contains("     Audio: 8 sec"));
    EXPECT_EQ(EncoderFiles(), QStringList{"ReadMe.txt"});
    EXPECT_TRUE(DVDForm->Finished);
    EXPECT_FALSE(DVDForm->ErrorEnd);

    // The same run again without titles: no sound in the AVI.
    ctx.AudioTitles.clear();
    ctx.DiashowTitle = "Zweiter";
    Make();
    const QString second = ctx.VideoFolder + "zweiter_VCD.avi";
    ASSERT_TRUE(QFileInfo::exists(second));
    EXPECT_EQ(kvtest::Probe(second, "a", "stream=codec_type"), "");
    EXPECT_TRUE(Log().contains("KEINE AUDIO DATEI FÜR DIE DIASHOW AUSGEWÄHLT"));
}

TEST_F(VideoProduction, PalSvcdOnTheAviRoadIs576Wide)
{
    MakeSlideshow(1);
    Choose(DVDWizardForm->ui()->SVCDRadioButton, true);
    Make();
    EXPECT_EQ(kvtest::Probe(ctx.VideoFolder + "mein_urlaub_SVCD.avi", "v:0", "stream=width,height"), "576\n480");
}

TEST_F(VideoProduction, MpegRoadWithTransitionsIsAcceptedByVcdimager)
{
    MakeSlideshow(2);
    ctx.DiashowTime = "1";
    ctx.EffectNumber = 1;
    // An MP3 title named in mixed case: decoded by lame under the name as stored.
    const QString song = program.Home + "Musik/Bumble Bee.mp3";
    QDir().mkpath(program.Home + "Musik");
    ASSERT_TRUE(QFile::copy(program.Folder + "Bumble Bee - Tessmark.mp3", song));
    ctx.AudioTitles = {song};
    Choose(DVDWizardForm->ui()->NanoVCDRadioButton, true);
    Make();
    const QString mpg = ctx.VideoFolder + "mein_urlaub_VCD.mpg";
    ASSERT_TRUE(QFileInfo::exists(mpg)) << Log().join("\n").toStdString();
    // Two transitions of 12 frames between three key frames; the end card holds 100 frames.
    const QStringList nno = QString::fromUtf8(ReadFile(ctx.EncoderFolder + "Test_quantity.nno")).split("\r\n", Qt::SkipEmptyParts);
    EXPECT_EQ(nno, (QStringList{"Test_0000.jpg*25", "Test_0013.jpg*25", "Test_0026.jpg*100"}));
    EXPECT_TRUE(QFileInfo::exists(ctx.EncoderFolder + "Test_0026.jpg"));
    EXPECT_FALSE(QFileInfo::exists(ctx.EncoderFolder + "Test_0027.jpg"));
    EXPECT_TRUE(Log().contains("        Fertig: lame")) << Log().join("\n").toStdString();
    EXPECT_EQ(kvtest::Probe(mpg, "a:0", "stream=codec_name,sample_rate"), "mp2\n44100");
    const QString cd = program.Home + "cd/";
    QDir().mkpath(cd);
    EXPECT_EQ(RunTool("vcdimager", {"-t", "vcd2", mpg}, cd).exitCode, 0);
    // A transition frame differs from both key frames.
    const QImage a(ctx.EncoderFolder + "Test_0000.jpg"), mid(ctx.EncoderFolder + "Test_0006.jpg"),
        b(ctx.EncoderFolder + "Test_0013.jpg");
    ASSERT_FALSE(mid.isNull());
    EXPECT_EQ(mid.size(), QSize(352, 288));  // the whole control, no scroll bars
    EXPECT_NE(mid, a);
    EXPECT_NE(mid, b);
}

TEST_F(VideoProduction, NtscSvcdOnTheMpegRoadIsAcceptedByVcdimager)
{
    MakeSlideshow(1);
    ctx.DiashowTime = "1";
    ctx.TransitionsOff = true;
    Choose(DVDWizardForm->ui()->NanoSVCDRadioButton, false);
    Make();
    const QString mpg = ctx.VideoFolder + "mein_urlaub_SVCD.mpg";
    ASSERT_TRUE(QFileInfo::exists(mpg));
    EXPECT_EQ(QImage(ctx.EncoderFolder + "Test_0000.jpg").size(), QSize(480, 480));
    // No titles: the module got the silent track shipped with the program.
    EXPECT_EQ(ReadFile(ctx.EncoderFolder + "Input.wav"), ReadFile(program.Folder + "empty.wav"));
    const QString cd = program.Home + "cd/";
    QDir().mkpath(cd);
    EXPECT_EQ(RunTool("vcdimager", {"-t", "svcd", mpg}, cd).exitCode, 0);
}

TEST_F(VideoProduction, TitleOf48kHzStopsWithoutVideo)
{
    MakeSlideshow(1);
    const QString wav = Tone("loud.wav", 1, 48000);
    const QString mp3 = program.Home + "Lied.MP3";
    ASSERT_EQ(RunTool("lame", {"--quiet", wav, mp3}).exitCode, 0);
    ctx.AudioTitles = {mp3};
    Choose(DVDWizardForm->ui()->VCDRadioButton, true);
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10014));
    Make();
    EXPECT_TRUE(DVDForm->ErrorEnd);
    EXPECT_FALSE(QFileInfo::exists(ctx.VideoFolder + "mein_urlaub_VCD.avi"));
    EXPECT_EQ(EncoderFiles(), QStringList{"ReadMe.txt"});
    EXPECT_TRUE(Log().contains("wrong Samplerate / or not Stereo"));
}

TEST_F(VideoProduction, AbortWhileTheDecoderRunsEndsItAndClosesTheWindow)
{
    MakeSlideshow(1);
    ctx.AudioTitles = {program.Folder + "Bumble Bee - Tessmark.mp3"};
    const QString fake = program.Home + "slowlame";
    WriteFile(fake, "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    DVDForm->LameProgram = fake;
    Choose(DVDWizardForm->ui()->VCDRadioButton, true);
    QElapsedTimer timer;
    timer.start();
    QTimer::singleShot(1500, DVDForm, [] { DVDForm->ui()->AbortBitBtn->click(); });
    Make();
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_TRUE(DVDForm->Aborted);
    EXPECT_FALSE(DVDForm->isVisible());
    ASSERT_FALSE(instructions.isEmpty());
    EXPECT_TRUE(instructions[0].startsWith(GetLangText(4605)));
    EXPECT_FALSE(QFileInfo::exists(ctx.VideoFolder + "mein_urlaub_VCD.avi"));
    EXPECT_EQ(EncoderFiles(), QStringList{"ReadMe.txt"});
}

TEST_F(VideoProduction, FromTheMakeTabThroughTheMainWindow)
{
    InstallVideoHooks();
    MainForm->OpenDiashowFolder("Archive_0001");
    ASSERT_GT(MainForm->DiashowListBox->Count(), 0);
    SetFreeSpaceOverride(QDir::cleanPath(program.Home), 100000LL * 1048576);
    kvtest::Ui().ExpectModal("TMakeWizzard", mrNone, [](TForm& form) {
        static_cast<TMakeWizzard&>(form).ui()->DVDRadioButton->setChecked(true);
        static_cast<TMakeWizzard&>(form).ui()->WeiterBitBtn->click();
    });
    MainForm->StopAudioAndRunMakeWizard(true);
    EXPECT_EQ(MainForm->ui()->PageControl1->currentWidget(), MainForm->ui()->TabSheet3);
    kvtest::Ui().ExpectModal("TDVDWizardForm", mrNone, [](TForm& form) {
        static_cast<TDVDWizardForm&>(form).ui()->VCDRadioButton->setChecked(true);
        static_cast<TDVDWizardForm&>(form).ui()->WeiterBitBtn->click();
    });
    MainForm->ui()->MakeDiashowBitBtn->click();
    const QString avi = MainForm->VideoFolder + video::MakeVideoFileName(MainForm->DiashowTitle) + "_VCD.avi";
    EXPECT_TRUE(QFileInfo::exists(avi)) << avi.toStdString();
    EXPECT_EQ(kvtest::Probe(avi, "v:0", "stream=width,height"), "352\n288");
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
}

TEST(CaptureWindow, EndsAfterTheLastReportWhateverItsPercentages)
{
    const QString dir = kvtest::MakeTempFolder("capture");
    for (const char* name : {"a.jpg", "b.jpg"}) {
        QImage img(64, 48, QImage::Format_RGB32);
        img.fill(name[0] == 'a' ? Qt::red : Qt::blue);
        ASSERT_TRUE(img.save(dir + name, "JPG", 90));
    }
    // A wipe in 64 steps gives 12 frames; the plain paint reports 100 once and gives none,
    // and the recording still ends.
    const struct {
        const char* line;
        int frames;
    } cases[] = {{"5000;15;1;1;0", 12}, {"1000;0;1;1;0", 0}};
    for (const auto& c : cases) {
        WriteFile(dir + "Effects.ini", QByteArray(c.line) + "\r\n");
        TCaptureForm capture;
        capture.SourceFrame = dir + "a.jpg";
        capture.TargetFrame = dir + "b.jpg";
        capture.EffectsFile = dir + "Effects.ini";
        capture.FramePrefix = dir + "t";
        EXPECT_EQ(capture.Record(), c.frames) << c.line;
        EXPECT_EQ(QFileInfo::exists(dir + "t012.jpg"), c.frames == 12) << c.line;
        QFile::remove(dir + "t012.jpg");
    }
}

} // namespace
