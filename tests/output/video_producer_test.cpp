// The video producer's ends: failures on the error text with their cause and nothing left
// behind, the abort in every phase keeping the earlier video, the seconds refused before a
// start, a bad effect line as a cut, the free space where the video goes, the sound-track
// window on every way out, and the AVI road's MPEG stream that vcdimager burns.
#include "../shell/WindowTestSupport.h"
#include "support/FullDisk.h"
#include "support/MediaTools.h"
#include "support/ProgramFixture.h"
#include "support/ScriptedUi.h"

#include "output/VideoContext.h"
#include "output/fCheckAudio.h"
#include "output/fDVD.h"
#include "output/fWave.h"
#include "output/fWizardDVD.h"
#include "platform/system/DriveMap.h"
#include "shell/Windows.h"
#include "ui_fDVD.h"
#include "ui_fWizardDVD.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <memory>

using kvtest::MakeTempFolder;
using kvtest::ReadFile;
using kvtest::RunTool;
using kvtest::WriteFile;

namespace {

QByteArray Md5(const QString& file)
{
    return QCryptographicHash::hash(ReadFile(file), QCryptographicHash::Md5).toHex();
}

double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A click as the window system brings it: posted, so that held-back input stays held.
void PostClick(QWidget* button)
{
    const QPointF at(button->width() / 2.0, button->height() / 2.0);
    const QPointF global = button->mapToGlobal(at);
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, at, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, at, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
}

class Producer : public ::testing::Test {
public:
    void SetUp() override
    {
        const QString build = kvtest::ProgramFixture::BuildDir();
        for (const char* name : {"mpdx_dll.so", "empty.wav", "Effects.ini", "video/EndCard_GERMAN.jpg",
                                 "video/EndCard_ENGLISH.jpg"}) {
            QDir().mkpath(QFileInfo(program.Folder + name).absolutePath());
            ASSERT_TRUE(QFile::copy(build + name, program.Folder + name)) << name;
        }
        home = MakeTempFolder("producer");
        ctx.ProgramFolder = program.Folder;
        ctx.ArchiveRoot = home + "archive/";
        ctx.DiashowFolder = "Archive_0001";
        ctx.DiashowTitle = "Mein Urlaub";
        ctx.DiashowTime = "1";
        ctx.VideoFolder = home + "video/";
        ctx.EncoderFolder = home + "video/encoder/";
        ctx.LanguageName = "GERMAN";
        ctx.TextColor = 0xFFFFFF;
        ctx.TransitionsOff = true;
        VideoHooks.Context = [this] { return ctx; };
        VideoHooks.SavePicturesIni = [] {};
        VideoHooks.ShowInstructions = [this](const QString& make, const QString& sub, bool, bool) {
            instructions << make + " / " + sub;
        };
        wizard = std::make_unique<TDVDWizardForm>();
        producer = std::make_unique<TDVDForm>();
        wave = std::make_unique<TWaveForm>();
        check = std::make_unique<TCheckAudioForm>();
        DVDWizardForm = wizard.get();
        DVDForm = producer.get();
        WaveForm = wave.get();
        CheckAudioForm = check.get();
        Folders();
        MakeSlideshow(2);
    }
    void TearDown() override
    {
        DVDForm = nullptr;
        WaveForm = nullptr;
        CheckAudioForm = nullptr;
        DVDWizardForm = nullptr;
        VideoHooks = {};
    }
    void Folders()
    {
        QDir().mkpath(ctx.EncoderFolder);
        WriteFile(ctx.EncoderFolder + "ReadMe.txt", "encoder folder\n");
    }
    void MakeSlideshow(int n)
    {
        const QString folder = ctx.ArchiveRoot + ctx.DiashowFolder + "/";
        QDir().mkpath(folder);
        QByteArray list;
        for (int i = 1; i <= n; ++i) {
            QImage img(320, 240, QImage::Format_RGB32);
            img.fill(QColor(60 * i, 160, 255 - 60 * i));
            const QString name = QString("pic%1.jpg").arg(i);
            ASSERT_TRUE(img.save(folder + name, "JPG", 90));
            list += (name + " | Bild " + QString::number(i) + "\r\n").toUtf8();
        }
        WriteFile(folder + "Pictures.ini", list);
        ctx.PictureCount = n;
    }
    QString Tone(const QString& name, double seconds)
    {
        const QString file = home + name;
        EXPECT_EQ(RunTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", file, "synth", QString::number(seconds),
                                  "sine", "440", "vol", "0.5"})
                      .exitCode,
                  0);
        return file;
    }
    // One production on a road; a failure the window shows is returned as its text.
    QString Make(bool mpeg, const QString& mode = "VCD", bool pal = true)
    {
        (pal ? wizard->ui()->PalRadioButton : wizard->ui()->NTSCRadioButton)->setChecked(true);
        producer->HighQuality = mpeg;
        producer->VideoMode = mode;
        producer->Show();
        try {
            producer->MakeVideo();
        } catch (const Exception& e) {
            return e.Message();
        }
        return {};
    }
    QString Memo() const { return producer->ui()->Memo1->toPlainText(); }
    QStringList Log() const
    {
        return QString::fromUtf8(ReadFile(program.Folder + "Diashow.log")).split("\r\n", Qt::SkipEmptyParts);
    }
    QStringList Videos() const
    {
        return QDir(ctx.VideoFolder).entryList({"*.mpg", "*.avi", "*.part", "*.new", "*.tmp"}, QDir::Files | QDir::Hidden);
    }
    QStringList EncoderFiles() const { return QDir(ctx.EncoderFolder).entryList(QDir::Files); }

    kvtest::TestProgramFolder program;
    QString home;
    TVideoContext ctx;
    QStringList instructions;
    std::unique_ptr<TDVDWizardForm> wizard;
    std::unique_ptr<TDVDForm> producer;
    std::unique_ptr<TWaveForm> wave;
    std::unique_ptr<TCheckAudioForm> check;
};

TEST_F(Producer, FailuresEndOnTheErrorTextWithTheirCauseAndLeaveNoVideo)
{
    kvtest::FullDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "no tmpfs for a full disk";
    const QString blocker = home + "blocker";
    WriteFile(blocker, "a file, not a folder");
    struct Case {
        const char* name;
        std::function<void(Producer&)> setup;
        bool fill;           // the disk full to the last byte from the start
        QString cause;       // in the memo, the log and a box that the failure shows
        bool box;
        bool mpeg = true;    // the road
    } cases[] = {
        {"module missing", [](Producer& t) { QFile::remove(t.program.Folder + "mpdx_dll.so"); }, false,
         "mpdx_dll.so", false},
        {"module failing", [&](Producer& t) { t.ctx.VideoFolder = blocker + "/video/"; }, false, "Not a directory",
         false},
        {"frames on a full disk", [&](Producer& t) { t.ctx.EncoderFolder = disk.Folder() + "encoder/"; }, true,
         disk.Folder() + "encoder/", true},
        {"sound track on a full disk",
         [&](Producer& t) {
             t.ctx.EncoderFolder = disk.Folder() + "encoder/";
             t.ctx.DiashowTime = "3";
             t.ctx.AudioTitles = {t.Tone("kurz.wav", 0.2)};
         },
         false, "Input.wav: No space left on device", false},
        {"encoder on a full disk", [&](Producer& t) { t.ctx.VideoFolder = disk.Folder() + "video/"; }, true,
         "No space left on device", false},
        {"AVI on a full disk", [&](Producer& t) { t.ctx.VideoFolder = disk.Folder() + "video/"; }, true,
         "mein_urlaub_VCD.avi.part\". No space left on device", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.VideoFolder = home + "video/";
        ctx.EncoderFolder = home + "video/encoder/";
        ctx.DiashowTime = "1";
        ctx.AudioTitles.clear();
        QFile::copy(kvtest::ProgramFixture::BuildDir() + "mpdx_dll.so", program.Folder + "mpdx_dll.so");
        c.setup(*this);
        QDir().mkpath(ctx.VideoFolder);
        Folders();
        if (c.fill)
            disk.Fill();
        const QString shown = Make(c.mpeg);
        disk.Release();
        EXPECT_TRUE(producer->ErrorEnd);
        EXPECT_TRUE(producer->Finished);
        EXPECT_TRUE(Memo().endsWith(GetLangText(12008))) << Memo().toStdString();
        EXPECT_TRUE(Memo().contains(c.cause)) << Memo().toStdString();
        EXPECT_TRUE(Log().join('\n').contains(c.cause)) << Log().join('\n').toStdString();
        EXPECT_FALSE(Log().contains("END"));
        EXPECT_EQ(shown.contains(c.cause), c.box) << shown.toStdString();
        EXPECT_EQ(Videos(), QStringList()) << Videos().join(' ').toStdString();
        EXPECT_EQ(EncoderFiles(), QStringList{"ReadMe.txt"});
        EXPECT_FALSE(wave->isVisible());
        QDir(ctx.EncoderFolder).removeRecursively();
    }
}

TEST_F(Producer, AbortStopsEveryPhaseAndKeepsTheEarlierVideo)
{
    // Long holds and a long track, so that every phase lasts long enough to be caught.
    MakeSlideshow(3);
    ctx.DiashowTime = "40";
    ctx.AudioTitles = {Tone("lied.wav", 1)};
    struct Case {
        const char* phase;
        bool mpeg;
        bool transitions;
        std::function<bool(Producer&)> reached;
    } cases[] = {
        {"picture conversion", true, false,
         [](Producer& t) { return t.producer->ui()->StatusLabel->text().startsWith("Convert pictures: Picture 2"); }},
        {"transitions", true, true,
         [](Producer& t) { return t.producer->ui()->StatusLabel->text().startsWith("Calculate slides: Picture 1"); }},
        {"sound track", true, false, [](Producer& t) { return t.wave->isVisible(); }},
        {"MPEG encoding", true, false,
         [](Producer& t) { return t.producer->ui()->StatusLabel->text() == "Encode video"; }},
        {"AVI writing", false, false,
         [](Producer& t) { return t.producer->ui()->StatusLabel->text().startsWith("Bild Nr."); }},
        {"the AVI road's MPEG step", false, false,
         [](Producer& t) { return t.producer->ui()->StatusLabel->text() == "Encode video"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.phase);
        ctx.TransitionsOff = !c.transitions;
        instructions.clear();
        const QString earlier = ctx.VideoFolder + (c.mpeg ? "mein_urlaub_VCD.mpg" : "mein_urlaub_VCD.avi");
        WriteFile(earlier, "the earlier video\n");
        WriteFile(ctx.VideoFolder + "mein_urlaub_VCD.mpg", "the earlier stream\n");
        const QByteArray before = Md5(earlier), beforeMpg = Md5(ctx.VideoFolder + "mein_urlaub_VCD.mpg");
        QElapsedTimer sinceClick;
        QTimer watch;
        watch.setInterval(2);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!sinceClick.isValid() && c.reached(*this)) {
                sinceClick.start();
                PostClick(producer->ui()->AbortBitBtn);
            }
        });
        watch.start();
        Make(c.mpeg);
        watch.stop();
        ASSERT_TRUE(sinceClick.isValid()) << "phase not reached";
        EXPECT_LT(sinceClick.elapsed(), 2000);
        EXPECT_TRUE(producer->Aborted);
        EXPECT_FALSE(producer->ErrorEnd);
        EXPECT_FALSE(producer->isVisible());
        ASSERT_FALSE(instructions.isEmpty());
        EXPECT_TRUE(instructions[0].startsWith(GetLangText(4605)));
        EXPECT_EQ(Md5(earlier), before);
        EXPECT_EQ(Md5(ctx.VideoFolder + "mein_urlaub_VCD.mpg"), beforeMpg);
        EXPECT_EQ(Videos().size(), c.mpeg ? 1 : 2) << Videos().join(' ').toStdString();
        EXPECT_EQ(EncoderFiles(), QStringList{"ReadMe.txt"});
        EXPECT_FALSE(wave->isVisible());
        QFile::remove(earlier);
    }
}

TEST_F(Producer, SecondsThatAreNoNumberAboveZeroAreRefusedBeforeTheStart)
{
    SetFreeSpaceOverride(QDir::cleanPath(kvtest::TestHome()), 100000LL * 1048576);
    for (const char* seconds : {"0", "-1", "abc"}) {
        SCOPED_TRACE(seconds);
        ctx.DiashowTime = seconds;
        wizard->ui()->NanoVCDRadioButton->setChecked(true);
        EXPECT_FALSE(wizard->CheckDiskSpace());
        kvtest::Ui().ExpectMessage(mrOk, GetLangText(12009));
        wizard->ui()->WeiterBitBtn->click();
        kvtest::Ui().ExpectMessage(mrOk, GetLangText(12009));
        Make(false);
        EXPECT_EQ(kvtest::Ui().Pending(), 0u);
        EXPECT_FALSE(QFileInfo::exists(program.Folder + "Diashow.log"));
        EXPECT_EQ(Videos(), QStringList());
        EXPECT_FALSE(producer->isVisible());
    }
    ClearDriveMapOverrides();
}

TEST_F(Producer, FreeSpaceIsThatOfTheFileSystemHoldingTheVideoFolder)
{
    kvtest::FullDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "no tmpfs for a small disk";
    // A 256 KB file system below the home drive: 0 MB, whatever the drive's root has.
    ctx.VideoFolder = disk.Folder() + "video/";
    wizard->ui()->VCDRadioButton->setChecked(true);
    EXPECT_FALSE(wizard->CheckDiskSpace());
    EXPECT_EQ(wizard->ui()->FreeDiskEdit->text(), "0 MB");
    // On the drive's own file system the drive's figure holds.
    ctx.VideoFolder = home + "video/";
    SetFreeSpaceOverride(QDir::cleanPath(kvtest::TestHome()), 5LL * 1048576);
    wizard->CheckDiskSpace();
    EXPECT_EQ(wizard->ui()->FreeDiskEdit->text(), "5 MB");
    ClearDriveMapOverrides();
}

TEST_F(Producer, AnEffectLineThatIsNoEffectGivesACut)
{
    ctx.TransitionsOff = false;
    ctx.EffectNumber = 2;
    for (const char* bad : {"5000;x;1;1;0", "5000;15;0;1;0"}) {
        SCOPED_TRACE(bad);
        WriteFile(program.Folder + "Effects.ini", QByteArray("5000;15;1;1;0\r\n") + bad + "\r\n");
        EXPECT_EQ(Make(true), "");
        EXPECT_FALSE(producer->ErrorEnd) << Memo().toStdString();
        EXPECT_TRUE(QFileInfo::exists(ctx.VideoFolder + "mein_urlaub_VCD.mpg"));
        // Both transitions are cuts: the key frames follow each other.
        EXPECT_EQ(QString::fromUtf8(ReadFile(ctx.EncoderFolder + "Test_quantity.nno")).split("\r\n", Qt::SkipEmptyParts),
                  (QStringList{"Test_0000.jpg*25", "Test_0001.jpg*25", "Test_0002.jpg*100"}));
        EXPECT_EQ(Log().filter(QRegularExpression("^     Effects.ini line 2: .* -> cut$")).size(), 2)
            << Log().join('\n').toStdString();
    }
}

TEST_F(Producer, ABadTitleOrACrashedDecoderEndsWithTheSoundTrackWindowClosed)
{
    // A wave file of 44.1 kHz stereo without its data chunk.
    const QByteArray header = QByteArray::fromHex("52494646" "28000000" "57415645" "666d7420" "10000000" "0100" "0200"
                                                  "44ac0000" "10b10200" "0400" "1000" "6a756e6b" "04000000" "61626364");
    WriteFile(home + "Kaputt.wav", header);
    ctx.AudioTitles = {home + "Kaputt.wav"};
    Make(false);
    EXPECT_TRUE(producer->ErrorEnd);
    EXPECT_FALSE(wave->isVisible());
    EXPECT_TRUE(Memo().contains("Couldn't find 'data' chunk!")) << Memo().toStdString();
    EXPECT_TRUE(Memo().contains("Kaputt.wav")) << Memo().toStdString();
    EXPECT_EQ(Videos(), QStringList());

    // A decoder killed by a signal is a crash, not a start that failed.
    const QString fake = home + "lame";
    WriteFile(fake, "#!/bin/sh\nkill -SEGV $$\n");
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    producer->LameProgram = fake;
    ctx.AudioTitles = {program.Folder + "lied.mp3"};
    ASSERT_EQ(RunTool("lame", {"--quiet", Tone("lied.wav", 0.5), ctx.AudioTitles[0]}).exitCode, 0);
    kvtest::Ui().ExpectMessage(mrOk, "crashed");
    Make(false);
    EXPECT_TRUE(producer->ErrorEnd);
    EXPECT_TRUE(Memo().contains("lied.mp3")) << Memo().toStdString();
    EXPECT_FALSE(wave->isVisible());
}

TEST_F(Producer, WhileTheModuleEncodesTheWindowThreadSleeps)
{
    ctx.DiashowTime = "30";
    double cpu0 = 0, cpu1 = 0;
    QElapsedTimer wall;
    qint64 wallMs = 0;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (producer->ui()->StatusLabel->text() != "Encode video")
            return;
        if (!wall.isValid()) {
            wall.start();
            cpu0 = ThreadCpuSeconds();
        }
        wallMs = wall.elapsed();
        cpu1 = ThreadCpuSeconds();
    });
    watch.start();
    EXPECT_EQ(Make(true), "");
    watch.stop();
    ASSERT_TRUE(QFileInfo::exists(ctx.VideoFolder + "mein_urlaub_VCD.mpg"));
    ASSERT_GT(wallMs, 300) << "the encode was too short to judge";
    EXPECT_LT((cpu1 - cpu0) * 1000 / double(wallMs), 0.3) << "window thread busy while the module encodes";
}

TEST_F(Producer, AviRoadAlsoWritesAStreamThatVcdimagerAccepts)
{
    ctx.AudioTitles = {Tone("lied.wav", 2)};
    const struct {
        const char* mode;
        bool pal;
        const char* size;
        const char* type;
    } cases[] = {
        {"VCD", true, "352\n288", "vcd2"},
        {"VCD", false, "352\n240", "vcd2"},
        {"SVCD", true, "480\n576", "svcd"},
        {"SVCD", false, "480\n480", "svcd"},
    };
    for (const auto& c : cases) {
        const QString name = QString("%1 %2").arg(c.pal ? "PAL" : "NTSC", c.mode);
        SCOPED_TRACE(name.toStdString());
        instructions.clear();
        EXPECT_EQ(Make(false, c.mode, c.pal), "");
        ASSERT_FALSE(producer->ErrorEnd) << Memo().toStdString();
        const QString base = ctx.VideoFolder + "mein_urlaub_" + c.mode;
        EXPECT_EQ(kvtest::Probe(base + ".avi", "v:0", "stream=codec_name"), "rawvideo");
        EXPECT_EQ(kvtest::Probe(base + ".mpg", "v:0", "stream=width,height"), c.size);
        EXPECT_EQ(kvtest::Probe(base + ".mpg", "a:0", "stream=codec_name,sample_rate"), "mp2\n44100");
        // Three frames (two pictures and the end card) of one second each.
        EXPECT_NEAR(kvtest::Probe(base + ".mpg", "", "format=duration").toDouble(), 3.0, 0.15);
        const QString cd = MakeTempFolder("cd");
        const auto image = RunTool("vcdimager", {"-t", c.type, base + ".mpg"}, cd);
        EXPECT_EQ(image.exitCode, 0) << image.err.constData();
        EXPECT_EQ(EncoderFiles(), QStringList{"ReadMe.txt"});
        producer->ui()->CloseBitBtn->click();
        ASSERT_EQ(instructions.size(), 1);
        EXPECT_TRUE(instructions[0].contains(QString("mein_urlaub_%1.mpg").arg(c.mode))) << instructions[0].toStdString();
    }
}

} // namespace
