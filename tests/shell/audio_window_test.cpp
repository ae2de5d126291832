// The music of a slideshow on the slideshow settings tab: listing and refusing titles, adding
// them from the disk, reordering and renumbering, playing, the info dialog, the CD ripper, and
// running a program while the window keeps answering.
#include "MainWindowTestSupport.h"

#include "output/AudioFixtures.h"

#include "output/fCheckAudio.h"
#include "platform/vcl/IniFiles.h"
#include "shell/RunProgram.h"
#include "shell/fWizardMake.h"
#include "ui_fWizardMake.h"
#include "ui_fCheckAudio.h"

#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>

#include <ctime>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

// Sound fixtures are made once per test process in its own folder and copied where needed.
QString Stock(const QString& name)
{
    static const QString stock = kvtest::MakeTempFolder(QStringLiteral("stock"));
    const QString path = stock + name;
    if (!QFile::exists(path)) {
        if (name.startsWith(QLatin1String("stereo")) && name.endsWith(QLatin1String(".mp3")))
            kvtest::Mp3(path, {"-b", "128"}, 1.0);
        else if (name == QLatin1String("stereo.wav"))
            kvtest::Tone(path, 44100, 2, 0.5);
        else if (name == QLatin1String("low.wav"))
            kvtest::Tone(path, 22050, 2, 0.5);
        else if (name == QLatin1String("mono.wav"))
            kvtest::Tone(path, 44100, 1, 0.5);
    }
    return path;
}

class AudioTitles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        ASSERT_TRUE(Start());
        MainForm->OpenDiashowFolder("del");
        folder = MainForm->DiashowPath();
        ASSERT_FALSE(folder.isEmpty());
        QDir().mkpath(folder);
        // Room for a few titles (the window is not shown in the tests).
        List().resize(400, 300);
    }
    void TearDown() override { CloseAndEnd(); }

    // Copies a stock sound into the slideshow folder as name.
    QString Put(const QString& stock, const QString& name)
    {
        const QString target = folder + name;
        QFile::remove(target);
        EXPECT_TRUE(QFile::copy(Stock(stock), target));
        return target;
    }
    TListBox& List() const { return *MainForm->ui()->AudioListBox; }
    QStringList Listed() const { return kvtest::Lines(List()); }
    QStringList AudioFiles() const
    {
        QStringList files = kvtest::FilesIn(folder).filter(QRegularExpression(QStringLiteral("\\.(mp3|wav)$"),
                                                                              QRegularExpression::CaseInsensitiveOption));
        return files;
    }
    void Click(QPushButton* button) { button->click(); }

    ProgramFixture program{QStringLiteral("ENGLISH")};
    QString folder;
};

TEST_F(AudioTitles, ListingSortsByPathIgnoringCaseAndReportsUnfitTitlesExactly)
{
    Put(QStringLiteral("stereo.mp3"), QStringLiteral("b.mp3"));
    Put(QStringLiteral("stereo.wav"), QStringLiteral("A.wav"));
    const QString low = Put(QStringLiteral("low.wav"), QStringLiteral("c.WAV"));
    Put(QStringLiteral("stereo.mp3"), QStringLiteral("D.mp3"));
    const QString cr2 = QStringLiteral("\r\r");
    const QString expected = GetLangText(10012) + QLatin1Char(' ') + low + QLatin1Char(' ') + GetLangText(10013) + cr2 +
                             GetLangText(10014) + cr2 + GetLangText(10015);
    ASSERT_FALSE(GetLangText(10012).isEmpty());
    kvtest::Ui().ExpectMessage(mrOk, expected);
    MainForm->AudioTabVisited = false;
    MainForm->ListAudioTitles();
    EXPECT_EQ(Listed(), (QStringList{folder + "A.wav", folder + "b.mp3", low, folder + "D.mp3"}));
    ASSERT_EQ(kvtest::Ui().Asked().size(), 1u);
    EXPECT_EQ(kvtest::Ui().Asked()[0].Text, expected);
    EXPECT_FALSE(expected.contains(QLatin1Char('\n')));
    EXPECT_TRUE(MainForm->AudioTabVisited);
}

TEST_F(AudioTitles, AnUnreadableTitleIsReportedListedAndTheListingGoesOn)
{
    const QString broken = folder + "a.wav";
    kvtest::WriteFile(broken, "RIFF");
    const QString good = Put(QStringLiteral("stereo.wav"), QStringLiteral("b.wav"));
    kvtest::Ui().ExpectMessage(mrOk, broken).ExpectMessage(mrOk, GetLangText(10012) + QLatin1Char(' ') + broken);
    MainForm->ListAudioTitles();
    EXPECT_EQ(Listed(), (QStringList{broken, good}));
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(AudioTitles, AddingAnExistingNameAsksAndKeepsOrReplaces)
{
    const QString source = kvtest::MakeTempFolder(QStringLiteral("music")) + QStringLiteral("song.mp3");
    QFile::copy(Stock(QStringLiteral("stereo.mp3")), source);
    // A first title of that name, different from the one added.
    const QString existing = Put(QStringLiteral("stereo2.mp3"), QStringLiteral("song.mp3"));
    kvtest::Mp3(existing, {"-b", "192"}, 0.5);
    const QByteArray before = kvtest::ReadFile(existing);
    MainForm->ListAudioTitles();
    ASSERT_EQ(Listed(), QStringList{existing});

    // No: a second, randomly prefixed file beside the first; both listed.
    kvtest::Ui().ExpectOpenFile({source}).ExpectMessage(mrNo, GetLangText(10016));
    Click(MainForm->ui()->OpenAudioBitBtn);
    ASSERT_EQ(Listed().size(), 2);
    const QString second = Listed()[1];
    EXPECT_TRUE(QFileInfo(second).fileName().contains(QRegularExpression(QStringLiteral("^\\d{1,8}_song\\.mp3$"))))
        << second.toStdString();
    EXPECT_EQ(kvtest::ReadFile(second), kvtest::ReadFile(source));
    EXPECT_EQ(kvtest::ReadFile(existing), before);
    EXPECT_EQ(AudioFiles().size(), 2);

    // Yes: the file of that name is replaced, and the list stays as it was.
    kvtest::Ui().ExpectOpenFile({source}).ExpectMessage(mrYes, GetLangText(10016));
    Click(MainForm->ui()->OpenAudioBitBtn);
    EXPECT_EQ(Listed().size(), 2);
    EXPECT_EQ(kvtest::ReadFile(existing), kvtest::ReadFile(source));
    EXPECT_EQ(AudioFiles().size(), 2);

    // A new name is copied and listed; a cancelled dialog does nothing.
    const QString other = QFileInfo(source).path() + QStringLiteral("/other.wav");
    QFile::copy(Stock(QStringLiteral("stereo.wav")), other);
    kvtest::Ui().ExpectOpenFile({other}).ExpectOpenFile({});
    Click(MainForm->ui()->OpenAudioBitBtn);
    Click(MainForm->ui()->OpenAudioBitBtn);
    EXPECT_EQ(Listed().size(), 3);
    EXPECT_EQ(Listed()[2], folder + QStringLiteral("other.wav"));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("other.wav")));
}

TEST_F(AudioTitles, UnfitTitlesAreRefusedAndNothingIsCopied)
{
    const QString music = kvtest::MakeTempFolder(QStringLiteral("music"));
    for (const QString& name : {QStringLiteral("low.wav"), QStringLiteral("mono.wav")}) {
        SCOPED_TRACE(name.toStdString());
        const QString source = music + name;
        QFile::copy(Stock(name), source);
        kvtest::Ui().ExpectOpenFile({source}).ExpectMessage(mrOk, GetLangText(10012) + QLatin1Char(' ') + source);
        Click(MainForm->ui()->OpenAudioBitBtn);
        EXPECT_TRUE(Listed().isEmpty());
        EXPECT_TRUE(AudioFiles().isEmpty());
    }
}

TEST_F(AudioTitles, AddedTitlesKeepTheirDraggedOrderAfterAbbrechen)
{
    // Two MP3s and a WAV added from the disk; a 22,050 Hz title is refused with its name.
    const QString music = kvtest::MakeTempFolder(QStringLiteral("music"));
    const QString sources[] = {music + "a.mp3", music + "b.mp3", music + "c.wav", music + "low.wav"};
    QFile::copy(Stock(QStringLiteral("stereo.mp3")), sources[0]);
    kvtest::Mp3(sources[1], {"-b", "160"}, 0.7);
    QFile::copy(Stock(QStringLiteral("stereo.wav")), sources[2]);
    QFile::copy(Stock(QStringLiteral("low.wav")), sources[3]);
    MainForm->ListAudioTitles();  // the tab is shown
    for (const QString& source : sources) {
        kvtest::Ui().ExpectOpenFile({source});
        if (source.endsWith(QLatin1String("low.wav")))
            kvtest::Ui().ExpectMessage(mrOk, GetLangText(10012) + QLatin1Char(' ') + source);
        Click(MainForm->ui()->OpenAudioBitBtn);
    }
    const QString a = folder + "a.mp3", b = folder + "b.mp3", c = folder + "c.wav";
    ASSERT_EQ(Listed(), (QStringList{a, b, c}));
    EXPECT_FALSE(QFile::exists(folder + "low.wav"));

    // The third title dragged onto the first.
    TListBox& list = List();
    const TRect third = list.ItemRect(2);
    const TRect first = list.ItemRect(0);
    MainForm->AudioListBoxMouseDown(third.Left + 2, third.Top + 2);
    bool accept = false;
    MainForm->AudioListBoxDragOver(&list, accept);
    EXPECT_TRUE(accept);
    MainForm->AudioListBoxDragOver(MainForm->ui()->FileListBox, accept);
    EXPECT_FALSE(accept);
    MainForm->AudioListBoxDragDrop(&list, first.Left + 2, first.Top + 2);
    ASSERT_EQ(Listed(), (QStringList{c, a, b})) << Listed().join(' ').toStdString();
    EXPECT_TRUE(QFile::exists(c));  // only the list changed so far

    // The info dialog on one of them.
    list.setSelected(1, true);
    Click(MainForm->ui()->InfoBitBtn);
    EXPECT_TRUE(CheckAudioForm->isVisible());
    EXPECT_EQ(CheckAudioForm->AudioFile, a);
    CheckAudioForm->close();

    // Leaving the tab by "Abbrechen" (no tab click) renumbers in the dragged order.
    Click(MainForm->ui()->AbbrechenBitBtn);
    EXPECT_EQ(AudioFiles(), (QStringList{"Audio001.wav", "Audio002.mp3", "Audio003.mp3"}));
    EXPECT_EQ(kvtest::ReadFile(folder + "Audio001.wav"), kvtest::ReadFile(sources[2]));
    EXPECT_EQ(kvtest::ReadFile(folder + "Audio002.mp3"), kvtest::ReadFile(sources[0]));
    EXPECT_EQ(kvtest::ReadFile(folder + "Audio003.mp3"), kvtest::ReadFile(sources[1]));
    EXPECT_TRUE(kvtest::FilesIn(folder).filter(QStringLiteral("_F_")).isEmpty());
    EXPECT_FALSE(MainForm->AudioTabVisited);
    EXPECT_EQ(Listed(), (QStringList{folder + "Audio001.wav", folder + "Audio002.mp3", folder + "Audio003.mp3"}));

    // Leaving again without a listing in between renames nothing.
    list.Items().Move(2, 0);
    MainForm->LeaveAudioTab();
    EXPECT_EQ(kvtest::ReadFile(folder + "Audio001.wav"), kvtest::ReadFile(sources[2]));
}

TEST_F(AudioTitles, EveryWayOffTheSettingsTabKeepsTheDraggedOrder)
{
    QStringList seenByVideo;
    MainForm->ShowVideoWizard = [&] { seenByVideo = AudioFiles(); };
    struct Way {
        const char* what;
        std::function<void()> leave;
    } ways[] = {
        {"a tab click", [] { MainForm->PageControl1Change(1); }},
        {"Abbrechen", [] { MainForm->ui()->AbbrechenBitBtn->click(); }},
        {"making the video CD",
         [] {
             MakeWizzard->ui()->DVDRadioButton->setChecked(true);
             MainForm->ui()->MakeDiashowBitBtn->click();
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        for (const QString& f : AudioFiles())
            QFile::remove(folder + f);
        const QByteArray first = kvtest::ReadFile(Put(QStringLiteral("stereo.mp3"), QStringLiteral("a.mp3")));
        const QByteArray third = kvtest::ReadFile(Put(QStringLiteral("stereo.wav"), QStringLiteral("c.wav")));
        Put(QStringLiteral("stereo.mp3"), QStringLiteral("b.mp3"));
        MainForm->ListAudioTitles();  // the tab is entered
        List().Items().Move(2, 0);  // c.wav first
        way.leave();
        EXPECT_EQ(AudioFiles(), (QStringList{"Audio001.wav", "Audio002.mp3", "Audio003.mp3"}));
        EXPECT_EQ(kvtest::ReadFile(folder + "Audio001.wav"), third);
        EXPECT_EQ(kvtest::ReadFile(folder + "Audio002.mp3"), first);
        EXPECT_FALSE(MainForm->AudioTabVisited);
    }
    // The video was made from the titles already in their new order.
    EXPECT_EQ(seenByVideo, (QStringList{"Audio001.wav", "Audio002.mp3", "Audio003.mp3"}));
}

TEST_F(AudioTitles, RenumberingSwapsNumbersWithoutAClash)
{
    const QString one = Put(QStringLiteral("stereo.mp3"), QStringLiteral("Audio001.mp3"));
    const QString two = Put(QStringLiteral("stereo.wav"), QStringLiteral("Audio002.wav"));
    MainForm->ListAudioTitles();
    List().Items().Move(1, 0);
    MainForm->LeaveAudioTab();
    EXPECT_EQ(AudioFiles(), (QStringList{"Audio001.wav", "Audio002.mp3"}));
}

TEST_F(AudioTitles, ButtonsWithNothingSelectedSayWhatIsMissing)
{
    Put(QStringLiteral("stereo.mp3"), QStringLiteral("a.mp3"));
    MainForm->ListAudioTitles();
    struct Case {
        QPushButton* button;
        int text;
    } cases[] = {{MainForm->ui()->PlayBitBtn, 10023},
                 {MainForm->ui()->PauseBitBtn, 10023},
                 {MainForm->ui()->StopBitBtn, 10023},
                 {MainForm->ui()->InfoBitBtn, 10023},
                 {MainForm->ui()->DeleteAudioBitBtn, 10018}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button->objectName().toStdString());
        kvtest::Ui().ExpectMessage(mrOk, GetLangText(c.text));
        Click(c.button);
        EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    }
    kvtest::Ui().ExpectMessage(mrOk, GetLangText(10020));
    MainForm->AudioListBoxClick();
    EXPECT_TRUE(kvtest::Ui().AskedOf(TAskKind::AudioPlayback).empty());
    EXPECT_EQ(Listed().size(), 1);
}

TEST_F(AudioTitles, PlayingAndRemovingTheChosenTitle)
{
    const QString a = Put(QStringLiteral("stereo.mp3"), QStringLiteral("a.mp3"));
    const QString b = Put(QStringLiteral("stereo.wav"), QStringLiteral("b.wav"));
    MainForm->ListAudioTitles();
    std::vector<QString> calls;
    kvtest::Ui().Allow(TAskKind::AudioPlayback, [&](TAskRequest& r) {
        calls.push_back(r.Text + QLatin1Char(' ') + QFileInfo(r.Data.value("FileName").toString()).fileName());
        return TAskAnswer{1};
    });
    List().setSelected(1, true);
    MainForm->AudioListBoxClick();
    Click(MainForm->ui()->PlayBitBtn);
    Click(MainForm->ui()->PauseBitBtn);
    Click(MainForm->ui()->StopBitBtn);
    EXPECT_EQ(calls, (std::vector<QString>{"Open b.wav", "Play b.wav", "Pause b.wav", "Stop b.wav"}));

    // Removing: No keeps it; Yes closes the player, then the item and the file go.
    calls.clear();
    kvtest::Ui().ExpectMessage(mrNo, GetLangText(10017));
    Click(MainForm->ui()->DeleteAudioBitBtn);
    EXPECT_TRUE(QFile::exists(b));
    EXPECT_TRUE(calls.empty());
    kvtest::Ui().ExpectMessage(mrYes, GetLangText(10017));
    Click(MainForm->ui()->DeleteAudioBitBtn);
    EXPECT_EQ(calls, (std::vector<QString>{"Close b.wav"}));
    EXPECT_FALSE(QFile::exists(b));
    EXPECT_EQ(Listed(), QStringList{a});
}

TEST_F(AudioTitles, InfoShowsTheDialogOnTheChosenTitle)
{
    const QString a = Put(QStringLiteral("stereo.mp3"), QStringLiteral("a.mp3"));
    MainForm->ListAudioTitles();
    List().setSelected(0, true);
    Click(MainForm->ui()->InfoBitBtn);
    ASSERT_TRUE(CheckAudioForm->isVisible());
    EXPECT_FALSE(CheckAudioForm->isModal());
    EXPECT_EQ(CheckAudioForm->AudioFile, a);
    EXPECT_EQ(CheckAudioForm->ui()->ValidMPEGText->text(), QStringLiteral("Yes"));
    EXPECT_EQ(CheckAudioForm->ui()->BitRateText->text(), QStringLiteral("CBR 128 kbit/s"));
    CheckAudioForm->close();
}

// A stand-in for cdparanoia: "-Q" prints a table of two tracks, a rip copies a stock tone.
void InstallFakeCdparanoia(const QString& bin, const QString& tone)
{
    kvtest::WriteFile(bin + "cdparanoia",
                      QStringLiteral("#!/bin/sh\n"
                                     "if [ \"$1\" = \"-Q\" ]; then\n"
                                     "  echo 'Table of contents (audio tracks only):' >&2\n"
                                     "  echo 'track        length               begin        copy pre ch' >&2\n"
                                     "  echo '  1.     3000 [00:40.00]        0 [00:00.00]    no   no  2' >&2\n"
                                     "  echo '  2.     2000 [00:26.50]     3000 [00:40.00]    no   no  2' >&2\n"
                                     "  echo 'TOTAL    5000 [01:06.50]    (audio only)' >&2\n"
                                     "  exit 0\n"
                                     "fi\n"
                                     "for last; do :; done\n"
                                     "cp '%1' \"$last\"\n")
                          .arg(tone)
                          .toUtf8());
    QFile::setPermissions(bin + "cdparanoia", QFile::permissions(bin + "cdparanoia") | QFile::ExeOwner);
}

class CDRipper : public AudioTitles {
protected:
    void SetUp() override
    {
        AudioTitles::SetUp();
        savedPath = qgetenv("PATH");
        bin = kvtest::MakeTempFolder(QStringLiteral("bin"));
    }
    void TearDown() override
    {
        qputenv("PATH", savedPath);
        AudioTitles::TearDown();
    }
    QByteArray savedPath;
    QString bin;
};

TEST_F(CDRipper, WithoutCdparanoiaTheWindowNamingThePackageShows)
{
    qputenv("PATH", bin.toLocal8Bit());
    kvtest::Ui().ExpectModal(QStringLiteral("TNoDriverForm"), mrCancel);
    Click(MainForm->ui()->StartRipperBitBtn);
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    EXPECT_TRUE(kvtest::Ui().AskedOf(TAskKind::StartProgram).empty());
}

TEST_F(CDRipper, RippedTracksAreListed)
{
    InstallFakeCdparanoia(bin, Stock(QStringLiteral("stereo.wav")));
    qputenv("PATH", (bin + QLatin1Char(':')).toLocal8Bit() + savedPath);
    // The ripper program beside the program, as the build puts it there.
    ASSERT_TRUE(QFile::copy(ProgramFixture::BuildDir() + "Ripper", program.Folder + "Ripper"));
    QFile::setPermissions(program.Folder + "Ripper", QFile::permissions(ProgramFixture::BuildDir() + "Ripper"));
    qputenv("ASAN_OPTIONS", "detect_leaks=0");
    int exitCode = -100;
    kvtest::Ui().Expect(TAskKind::StartProgram, [&](TAskRequest& r) {
        EXPECT_EQ(r.Data.value("Program").toString(), QStringLiteral("Ripper"));
        EXPECT_EQ(r.Data.value("Folder").toString(), program.Folder);
        const TAskAnswer answer = RunProgramRequest(r);
        exitCode = answer.Result;
        return answer;
    });
    Click(MainForm->ui()->StartRipperBitBtn);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(Listed(), (QStringList{folder + "Track01.wav", folder + "Track02.wav"}));

    TIniFile ini(program.Folder + "Ripper.ini");
    EXPECT_EQ(ini.ReadString("SETTINGS", "DiskPath", "?"), MainForm->ArchiveRoot);
    EXPECT_EQ(ini.ReadString("SETTINGS", "DiashowDir", "?"), MainForm->DiashowFolder);
    EXPECT_EQ(MainForm->ArchiveRoot + MainForm->DiashowFolder + QLatin1Char('/'), folder);

    // A second rip keeps the first titles and adds two more.
    kvtest::Ui().Expect(TAskKind::StartProgram, [](TAskRequest& r) { return RunProgramRequest(r); });
    Click(MainForm->ui()->StartRipperBitBtn);
    EXPECT_EQ(Listed().size(), 4);
}

TEST_F(AudioTitles, RunProgramAndWaitReportsAProgramThatCannotStart)
{
    kvtest::Ui().Expect(TAskKind::StartProgram, [](TAskRequest& r) { return RunProgramRequest(r); });
    kvtest::Ui().ExpectMessage(mrOk, QStringLiteral("Error starting Ripper"));
    EXPECT_EQ(MainForm->RunProgramAndWait(program.Folder, QStringLiteral("Ripper"), QString()), -1);
}

TEST_F(AudioTitles, RunProgramAndWaitSleepsWhileItWaits)
{
    // A busy loop would burn about a second of processor time here.
    const std::clock_t before = std::clock();
    kvtest::Ui().Expect(TAskKind::StartProgram, [](TAskRequest& r) { return RunProgramRequest(r); });
    EXPECT_EQ(MainForm->RunProgramAndWait(QString(), QStringLiteral("sh"), QStringLiteral("-c \"sleep 1; exit 3\"")), 3);
    const double cpuSeconds = double(std::clock() - before) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuSeconds, 0.5);
}

} // namespace
