#include "output/fDVD.h"

#include "output/fCheckAudio.h"
#include "output/video/VideoCore.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Exceptions.h"
#include "shell/Windows.h"
#include "output/fWizardDVD.h"
#include "platform/system/RunAndWait.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/SafeFile.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "ui_fDVD.h"
#include "ui_fWizardDVD.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextStream>

#include <QApplication>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>

TDVDForm* DVDForm = nullptr;

namespace {
// Thrown from a progress report after the abort button: unwinds the running step, whose
// writers discard what they had begun.
struct ProductionAborted {};
} // namespace

TDVDForm::TDVDForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TDVDForm>())
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // While a production runs only this window answers (its abort button).
    setWindowModality(Qt::ApplicationModal);
    setWindowState(Qt::WindowMaximized);
    Load([this] { m_ui->setupUi(this); });
}

TDVDForm::~TDVDForm() = default;

void TDVDForm::BindEvents()
{
    Bind(m_ui->VideoBitBtn, &QPushButton::clicked, &TDVDForm::VideoBitBtnClick);
    Bind(m_ui->CloseBitBtn, &QPushButton::clicked, &TDVDForm::CloseBitBtnClick);
    Bind(m_ui->AbortBitBtn, &QPushButton::clicked, &TDVDForm::AbortBitBtnClick);
}

void TDVDForm::FormCreate()
{
    m_ui->StatusLabel->setText(GetLangText(2400));
    m_ui->ArbeiteLabel->setText(GetLangText(2401));
    m_ui->VideoBitBtn->setText(GetLangText(2402));
    m_ui->CloseBitBtn->setText(GetLangText(2403));
    m_ui->AbortBitBtn->setText(GetLangText(2404));
}

void TDVDForm::FormCloseQuery(bool& canClose)
{
    canClose = Finished;
}

bool TDVDForm::IsPal() const
{
    return !DVDWizardForm || DVDWizardForm->ui()->PalRadioButton->isChecked();
}

bool TDVDForm::IsNanoSVCD() const
{
    return DVDWizardForm && DVDWizardForm->ui()->NanoSVCDRadioButton->isChecked();
}

QString TDVDForm::OutputFile(const QString& ext) const
{
    return m_ctx.VideoFolder + video::MakeVideoFileName(m_ctx.DiashowTitle) + QLatin1Char('_') + VideoMode + ext;
}

// ---- log, memo, progress --------------------------------------------------------------------

void TDVDForm::WriteLog(const QString& line)
{
    // One line appended per call; the log is deleted at the start of each production.
    QFile f(m_ctx.ProgramFolder + QStringLiteral("Diashow.log"));
    if (f.open(QIODevice::WriteOnly | QIODevice::Append))
        f.write((line + QStringLiteral("\r\n")).toUtf8());
}

void TDVDForm::AddMemoLine(const QString& line)
{
    m_ui->Memo1->appendPlainText(line);
}

void TDVDForm::Repaint()
{
    // All input: the window is application-modal and only its abort button is enabled.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool TDVDForm::KeepRunning()
{
    Repaint();
    return !Aborted;
}

void TDVDForm::SetStatus(const QString& text)
{
    m_ui->StatusLabel->setText(text);
}

void TDVDForm::Progress()
{
    ++ProgressCount;
    double p = double(ProgressCount) / std::max(1, ProgressTotal) * 100;
    if (p > 90)
        p = 90;
    m_ui->ProgressBar1->setValue(int(Round(p)));
    m_ui->ProzentLabel->setText(FloatToStr(p).left(4) + QLatin1Char('%'));
    Repaint();
}

void TDVDForm::ClearEncoderFolder()
{
    SetBusyCursor(true);
    QDir dir(m_ctx.EncoderFolder);
    const QStringList masks = {"*.mp3", "*.jpg", "*.mpa", "*.nno", "*.wav", "*.mpg", "*.avi", "*.bmp"};
    if (!m_ctx.EncoderFolder.isEmpty() && dir.exists()) {
        for (const QString& mask : masks) {
            dir.setNameFilters({mask});
            dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
            for (const QString& name : dir.entryList())
                QFile::remove(dir.filePath(name));
        }
    }
    SetBusyCursor(false);
}

// ---- external programs ----------------------------------------------------------------------

int TDVDForm::RunAndWait(const QString& folder, const QString& program, const QString& parameters)
{
    TRunAndWait run;
    run.Folder = folder;
    run.Program = program;
    run.Parameters = parameters;
    // Only the abort button is enabled while a program runs: its click gets through.
    run.ProcessEvents = [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); };
    run.StopWaiting = [this] { return Aborted || Application->Terminated(); };
    const int code = ::RunAndWait(run);
    if (code == -1 && FindProgram(folder, program).isEmpty())
        MessageDlg(QStringLiteral("Error starting ") + program, mtError, {mbOK});
    else if (code == -1)
        // It was there and started, but ended without an exit code: killed by a signal.
        MessageDlg(QStringLiteral("The program crashed: ") + program, mtError, {mbOK});
    return code;
}

// ---- the production -------------------------------------------------------------------------

void TDVDForm::ReadPictureCount()
{
    ProgressCount = 0;
    ProgressTotal = 1;
    TStringList list;
    list.LoadFromFile(m_ctx.ArchiveRoot + AddBackslash(m_ctx.DiashowFolder) + QStringLiteral("Pictures.ini"));
    PictureCount = list.Count();
    ProgressTotal = int(HighQuality ? Round(2 * PictureCount * 1.2) : Round(PictureCount * 1.2));
}

int TDVDForm::CountJpegFrames() const
{
    QDir dir(m_ctx.EncoderFolder);
    return int(dir.entryList({QStringLiteral("*.jpg")}, QDir::Files | QDir::Hidden).size());
}

bool TDVDForm::RefuseSeconds(const QString& typed)
{
    if (video::UsableSeconds(typed))
        return false;
    MessageDlg(GetLangText(12009) + QStringLiteral(" (\"") + typed + QStringLiteral("\")"), mtError, {mbOK});
    return true;
}

void TDVDForm::MakeVideo()
{
    m_ctx = VideoHooks.Context ? VideoHooks.Context() : TVideoContext{};
    // Seconds that are no number above zero would make a video of the end card alone.
    if (RefuseSeconds(m_ctx.DiashowTime)) {
        Finished = true;
        close();
        return;
    }
    m_ui->ProgressBar1->setValue(0);
    m_ui->ProzentLabel->setText(QStringLiteral("0%"));
    SetBusyCursor(true);
    m_ui->VideoBitBtn->setVisible(!IsNanoSVCD());
    ErrorEnd = false;
    m_ui->ArbeiteLabel->show();
    m_ui->CloseBitBtn->setEnabled(false);
    m_ui->VideoBitBtn->setEnabled(false);
    m_ui->AbortBitBtn->setEnabled(true);

    QFile::remove(m_ctx.ProgramFolder + QStringLiteral("Diashow.log"));
    WriteLog(QStringLiteral("BEGIN"));
    const bool svcd = VideoMode == QLatin1String("SVCD");
    const bool pal = IsPal();
    WriteLog(QStringLiteral("MODE: ") + (pal ? QStringLiteral("PAL ") : QStringLiteral("NTSC ")) + VideoMode);
    const video::TFrameSize size = video::FrameSizeFor(pal, svcd);
    FrameWidth = size.Width;
    FrameHeight = size.Height;

    ClearEncoderFolder();
    WriteLog(QStringLiteral("Alle alten *.mp3 *.wav *.mpeg *.avi *.bmp Dateien um Ordner \\encoder\\ wurden gelöscht"));
    Aborted = false;
    m_ui->Memo1->clear();
    Finished = false;
    PictureList.clear();
    AudioList.clear();

    try {
        m_seconds = video::SecondsPerPicture(m_ctx.DiashowTime);
        SetStatus(QStringLiteral("Prepare pictures"));
        Repaint();
        ReadPictureCount();
        ConvertPictures();
        if (Aborted)
            return NormalEnd();
        SetStatus(QStringLiteral("Get number of audiofiles"));
        Repaint();
        AudioList = m_ctx.AudioTitles;
        Repaint();
        if (Aborted)
            return NormalEnd();
        SetBusyCursor(true);
        if (!AudioList.isEmpty()) {
            SetStatus(QStringLiteral("prepare audio"));
            WriteLog(QStringLiteral("START: AUDIO"));
        } else {
            WriteLog(QStringLiteral("KEINE AUDIO DATEI FÜR DIE DIASHOW AUSGEWÄHLT"));
        }
        Repaint();
        QString reason;
        // An abort while lame runs leaves no wave file: the error end, as designed.
        if (!ProcessTitles(reason))
            return ErrorEndRun(Aborted ? QString() : reason);
        if (Aborted)
            return NormalEnd();
        if (!AudioList.isEmpty()) {
            WriteLog(QStringLiteral("     prepare Audio / cut"));
            AddMemoLine(QStringLiteral(" prepare Audio / cut"));
            QStringList songs;
            for (int i = 0; i < AudioList.size(); ++i)
                songs << m_ctx.EncoderFolder + QStringLiteral("Inp") + PadLeft(QString::number(i + 1), '0', 3) +
                             QStringLiteral(".wav");
            const long long seconds =
                video::TrackSeconds(HighQuality, PictureCount, m_seconds, CountJpegFrames(), m_ctx.VideoFrameRate);
            AddMemoLine(QStringLiteral(" Audio: ") + QString::number(seconds) + QStringLiteral(" sec"));
            WriteLog(QStringLiteral("     Audio: ") + QString::number(seconds) + QStringLiteral(" sec"));
            WaveForm->SongFiles = songs;
            WaveForm->SongTitles = AudioList;
            WaveForm->TrackSeconds = int(seconds);
            WaveForm->OutputFile = m_ctx.EncoderFolder + QStringLiteral("Input.wav");
            WaveForm->Log = this;
            WaveForm->Show();
            // The sound-track window goes on every way out, also when a title fails.
            struct CloseWave {
                ~CloseWave() { WaveForm->close(); }
            } closeWave;
            try {
                WaveForm->MakeSoundTrack();
            } catch (const Exception& e) {
                // Names the title that failed, or the track with the system's reason.
                return ErrorEndRun(e.Message());
            }
            for (const QString& song : songs)
                QFile::remove(song);
        }
        if (Aborted)
            return NormalEnd();
        if (!HighQuality) {
            MakeAVI();
            if (Aborted)
                return NormalEnd();
        } else {
            const QString output = OutputFile(QStringLiteral(".mpg"));
            EnsureSoundTrack();
            if (!EncodeMpeg(output, reason))
                return Aborted ? NormalEnd() : ErrorEndRun(reason);
        }
        WriteLog(QStringLiteral("END"));
        NormalEnd();
    } catch (const ProductionAborted&) {
        // The abort button stopped a step from inside its progress report.
        NormalEnd();
    } catch (const Exception& e) {
        // The guard shows the failure; the memo and the log name it too.
        ErrorEndRun(e.Message());
        throw;
    } catch (...) {
        // The failure is shown by the guard; the window must be able to close again.
        ErrorEndRun();
        throw;
    }
}

bool TDVDForm::WrongAudio(const QString& path, QString& reason)
{
    reason = path + QStringLiteral(": wrong Samplerate / or not Stereo");
    AddMemoLine(QStringLiteral("wrong Samplerate / or not Stereo"));
    WriteLog(QStringLiteral("wrong Samplerate / or not Stereo"));
    Repaint();
    MessageDlg(GetLangText(10012) + QLatin1Char(' ') + QFileInfo(path).fileName() + QLatin1Char(' ') +
                   GetLangText(10013) + QStringLiteral("\r\n\r\n") + GetLangText(10014) + QStringLiteral("\r\n\r\n") +
                   GetLangText(10015),
               mtInformation, {mbOK});
    return false;
}

bool TDVDForm::ProcessTitles(QString& reason)
{
    for (int i = 0; i < AudioList.size(); ++i) {
        SongIndex = i;
        // The kind is told by the upper-cased name; the file is named as stored.
        const QString path = AudioList[i];
        const QString upper = path.toUpper();
        const QString nnn = PadLeft(QString::number(i + 1), '0', 3);
        const QString wav = m_ctx.EncoderFolder + QStringLiteral("Inp") + nnn + QStringLiteral(".wav");
        if (upper.contains(QLatin1String(".MP3"))) {
            CheckAudioForm->AudioFile = path;
            CheckAudioForm->ReadAudioInfo();
            const QString info = QStringLiteral("Audio Info: MP3 ") + CheckAudioForm->VersionText + QLatin1Char(' ') +
                                 CheckAudioForm->LayerText + QStringLiteral("   Samplingrate: ") +
                                 CheckAudioForm->SampleRateValue;
            AddMemoLine(info);
            WriteLog(QStringLiteral("   ") + info);
            Repaint();
            if (CheckAudioForm->SampleRateValue != QLatin1String("44100") ||
                CheckAudioForm->StereoText != QLatin1String("STEREO"))
                return WrongAudio(path, reason);
            AddMemoLine(QStringLiteral("Audio Nr.") + QString::number(i + 1) + QStringLiteral(" MP3 to WAV ...please wait!"));
            WriteLog(QStringLiteral("     ---------MP3TOWAV---------"));
            const QString params = QLatin1Char('"') + path + QStringLiteral("\" \"") + wav + QStringLiteral("\" --decode");
            WriteLog(QStringLiteral("        Start: lame ") + params);
            const int code = RunAndWait(m_ctx.EncoderFolder, LameProgram, params);
            if (!QFile::exists(wav)) {
                WriteLog(QStringLiteral("FEHLER: ") + wav + QStringLiteral(" wurde nicht erzeugt!"));
                reason = code == -1 ? QStringLiteral("lame: ") + path + QStringLiteral(": crashed or not started")
                                    : QStringLiteral("lame: ") + path + QStringLiteral(": exit code ") +
                                          QString::number(code);
                return false;
            }
            WriteLog(QStringLiteral("        Fertig: lame"));
            Repaint();
        }
        if (upper.contains(QLatin1String(".WAV"))) {
            CheckAudioForm->AudioFile = path;
            CheckAudioForm->ReadAudioInfo();
            const QString info = QStringLiteral("Audio Info: WAV Version: ") + CheckAudioForm->VersionText +
                                 QStringLiteral("  ") + CheckAudioForm->LayerText + QStringLiteral("  Samplingrate: ") +
                                 CheckAudioForm->SampleRateValue;
            AddMemoLine(info);
            WriteLog(QStringLiteral("     ") + info);
            if (CheckAudioForm->SampleRateValue != QLatin1String("44100") ||
                CheckAudioForm->StereoText != QLatin1String("STEREO"))
                return WrongAudio(path, reason);
            WriteLog(QStringLiteral("     Start: ") + QFileInfo(path).fileName() + QStringLiteral(" kopieren"));
            QFile::remove(wav);
            QFile source(path);
            if (!source.copy(wav)) {
                WriteLog(QStringLiteral("FEHLER: ") + wav + QStringLiteral(" wurde nicht erzeugt!"));
                reason = wav + QStringLiteral(": ") + source.errorString();
                return false;
            }
            WriteLog(QStringLiteral("     Fertig: Inp") + nnn + QStringLiteral(".wav wurde kopiert"));
            AddMemoLine(QStringLiteral("copy Audio Nr.") + QString::number(i + 1));
            Repaint();
        }
        if (Aborted)
            return true;
    }
    return true;
}

void TDVDForm::NormalEnd()
{
    PictureList.clear();
    AudioList.clear();
    // After an abort the steps that ran on until they saw it may have left files.
    if (!HighQuality || Aborted)
        ClearEncoderFolder();
    m_ui->CloseBitBtn->setEnabled(true);
    m_ui->VideoBitBtn->setEnabled(true);
    m_ui->AbortBitBtn->setEnabled(false);
    AddMemoLine(QStringLiteral(" "));
    AddMemoLine(GetLangText(12007));
    SetStatus(GetLangText(12007));
    Repaint();
    WriteLog(GetLangText(12007));
    m_ui->ProgressBar1->setValue(100);
    m_ui->ProzentLabel->clear();
    m_ui->ArbeiteLabel->hide();
    SetBusyCursor(false);
    QApplication::beep();
    Finished = true;
    if (Aborted)
        close();
}

void TDVDForm::ErrorEndRun(const QString& reason)
{
    if (!reason.isEmpty()) {
        AddMemoLine(reason);
        WriteLog(QStringLiteral("FEHLER: ") + reason);
    }
    PictureList.clear();
    AudioList.clear();
    ClearEncoderFolder();
    m_ui->CloseBitBtn->setEnabled(true);
    m_ui->VideoBitBtn->setEnabled(false);
    m_ui->AbortBitBtn->setEnabled(false);
    AddMemoLine(GetLangText(12008));
    WriteLog(GetLangText(12008));
    m_ui->ProgressBar1->setValue(0);
    m_ui->ProzentLabel->setText(QStringLiteral("0%"));
    m_ui->ArbeiteLabel->hide();
    ErrorEnd = true;
    SetBusyCursor(false);
    Finished = true;
}

// ---- the AVI road ---------------------------------------------------------------------------

void TDVDForm::MakeAVI()
{
    WriteLog(QStringLiteral("START: AVI"));
    PictureList.clear();
    QDir dir(m_ctx.EncoderFolder);
    for (const QString& name : dir.entryList({QStringLiteral("*.bmp")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase))
        PictureList << m_ctx.EncoderFolder + name;
    // A fresh writer per run: nothing of an earlier run (its sound track) is carried over.
    AviWriter1 = std::make_unique<TAviWriter>(m_ctx.EncoderFolder);
    AviWriter1->OnProgress = [this](TAviWriter*, TProgressStage, std::uint8_t, bool, const TRect&, const QString& msg) {
        AviWriter1Progress(msg);
    };
    // The AVI takes its name only with its MPEG stream: an abort or a failure before that
    // leaves an earlier video of the same name as it was.
    const QString avi = OutputFile(QStringLiteral(".avi"));
    AviWriter1->FileName = avi + QStringLiteral(".part");
    struct DropPart {
        QString file;
        ~DropPart() { QFile::remove(file); }
    } dropPart{AviWriter1->FileName};
    AviWriter1->Width = FrameWidth;
    AviWriter1->Height = FrameHeight;
    AviWriter1->FrameTime = int(Round(m_seconds * 1000));
    AviWriter1->Stretch = false;
    ProgressTotal = int(Round(3 * PictureCount * 1.4));
    SetStatus(QStringLiteral("Add pictures to video"));
    Repaint();
    FramesAdded = 0;
    for (const QString& file : PictureList) {
        AddBitmapToVideo(file);
        if (Aborted)
            return;
    }
    const QString wav = m_ctx.EncoderFolder + QStringLiteral("Input.wav");
    if (QFile::exists(wav)) {
        AviWriter1->SetWavFileName(wav);
        WriteLog(QStringLiteral("     AviWriter: Audiodatei=Input.wav"));
    } else {
        WriteLog(QStringLiteral("     AviWriter: File not exist Input.wav --> AVI ohne Audio herstellen"));
    }
    WriteLog(QStringLiteral("     Start: AviWriter"));
    struct FreeFrames {
        TDVDForm* form;
        ~FreeFrames()
        {
            form->AviWriter1->Bitmaps.clear();
            form->m_bitmaps.clear();
        }
    } freeFrames{this};
    AviWriter1->Write();
    WriteLog(QStringLiteral("     Fertig: AviWriter"));
    QString error;
    if (!MakeAviRoadMpeg(error)) {
        if (Aborted)
            return;
        throw EInOutError(error);
    }
    if (std::rename(QFile::encodeName(AviWriter1->FileName).constData(), QFile::encodeName(avi).constData()) != 0)
        throw EInOutError(QStringLiteral("Cannot write ") + avi + QStringLiteral(": ") +
                          QString::fromLocal8Bit(std::strerror(errno)));
    ClearEncoderFolder();
    WriteLog(QStringLiteral("FERTIG: AVI"));
}

bool TDVDForm::MakeAviRoadMpeg(QString& error)
{
    // The frames as the MPEG module takes them: the size of the standard's stream, the AVI
    // frame fitted for the 4:3 screen's pixels, each held the seconds per picture.
    const bool svcd = VideoMode == QLatin1String("SVCD");
    const QSize size = svcd ? (IsPal() ? QSize(480, 576) : QSize(480, 480)) : QSize(FrameWidth, FrameHeight);
    const double aspect = video::DisplayPixelAspect(size.width(), size.height());
    video::TFrameStyle style;
    style.Background = ToQColor(m_ctx.BKGColor);
    SetStatus(QStringLiteral("Encode video"));
    QStringList holds;
    for (int i = 0; i < PictureList.size(); ++i) {
        const QImage frame(PictureList[i]);
        if (frame.isNull())
            continue;
        const video::TPlacement at = video::PlacePicture(frame.width(), frame.height(), size.width(), size.height(), aspect);
        const QImage scaled = frame.scaled(at.Width, at.Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QString name = video::SequenceFileName(int(holds.size()));
        const QString file = m_ctx.EncoderFolder + name;
        try {
            SavePictureFile(video::ComposeFrame(scaled, at, size.width(), size.height(), style), file, "JPG", 90);
        } catch (const Exception& e) {
            error = e.Message();
            return false;
        }
        holds << name + QLatin1Char('*') + QString::number(video::HoldFrames(m_seconds));
        if (i % 10 == 0 && !KeepRunning())
            return false;
    }
    try {
        WriteFileSafely(m_ctx.EncoderFolder + QStringLiteral("Test_quantity.nno"),
                        (holds.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    } catch (const Exception& e) {
        error = e.Message();
        return false;
    }
    const QString output = OutputFile(QStringLiteral(".mpg"));
    WriteLog(QStringLiteral("     MPEG: ") + QFileInfo(output).fileName());
    return EncodeMpeg(output, error);
}

void TDVDForm::AddBitmapToVideo(const QString& fileName)
{
    if (!QFile::exists(fileName))
        return;
    auto bitmap = std::make_unique<TBitmap>();
    try {
        bitmap->LoadFromFile(fileName);
    } catch (const Exception& e) {
        MessageDlg(QStringLiteral("Cannot load bitmap because: ") + e.Message(), mtError, {mbOK});
        return;
    }
    AviWriter1->Bitmaps.append(bitmap.get());
    m_bitmaps.push_back(std::move(bitmap));
    WriteLog(QStringLiteral("     AviWriter1.Bitmaps.Add: ") + QFileInfo(fileName).fileName());
    ++FramesAdded;
    Progress();
    AddMemoLine(QLatin1Char(' ') + GetLangText(12002) + QLatin1Char(' ') + QString::number(FramesAdded) +
                QLatin1Char(' ') + GetLangText(12003));
}

void TDVDForm::AviWriter1Progress(const QString& msg)
{
    Progress();
    if (Aborted)
        throw ProductionAborted();
    AddMemoLine(msg);
    WriteLog(QStringLiteral("        AVIWriter: ") + msg);
    SetStatus(msg);
}

// ---- the MPEG road --------------------------------------------------------------------------

bool TDVDForm::LoadEncoderLibrary(QString& error)
{
    const QString file = m_ctx.ProgramFolder + QStringLiteral("mpdx_dll.so");
    if (!QFile::exists(file)) {
        error = QStringLiteral("mpdx_dll.so not found: ") + file;
        return false;
    }
    auto lib = std::make_unique<QLibrary>(file);
    if (lib->load()) {
        OpenProc = reinterpret_cast<int (*)(const char* const*, const char* const*)>(lib->resolve("OpenMPDX"));
        EncodeProc = reinterpret_cast<int (*)()>(lib->resolve("EncodeMPDX"));
        AbortProc = reinterpret_cast<void (*)()>(lib->resolve("AbortMPDX"));
        ErrorProc = reinterpret_cast<const char* (*)()>(lib->resolve("ErrorMPDX"));
    }
    if (!lib->isLoaded() || !OpenProc || !EncodeProc) {
        error = QStringLiteral("mpdx_dll.so not found! Error No: ") + lib->errorString();
        MessageDlg(error, mtError, {mbOK});
        lib->unload();
        return false;
    }
    EncoderLibrary = lib.release();
    return true;
}

bool TDVDForm::EncodeMpeg(const QString& output, QString& error)
{
    if (!LoadEncoderLibrary(error))
        return false;
    struct Unload {
        TDVDForm* form;
        ~Unload()
        {
            auto* lib = static_cast<QLibrary*>(form->EncoderLibrary);
            lib->unload();
            delete lib;
            form->EncoderLibrary = nullptr;
            form->AbortProc = nullptr;
            form->ErrorProc = nullptr;
        }
    } unload{this};
    const QByteArray folder = QFile::encodeName(m_ctx.EncoderFolder);
    const QByteArray target = QFile::encodeName(output);
    const char* folderText = folder.constData();
    const char* outputText = target.constData();
    OpenProc(&folderText, &outputText);
    SetStatus(QStringLiteral("Encode video"));
    WriteLog(QStringLiteral("     Start: MPEG"));
    // The module encodes on a worker thread; this thread sleeps in the wait and wakes to
    // paint and to serve the abort button.
    std::future<int> done = std::async(std::launch::async, EncodeProc);
    bool stopped = false;
    while (done.wait_for(std::chrono::milliseconds(25)) != std::future_status::ready) {
        Repaint();
        if (Aborted && !stopped && AbortProc) {
            AbortProc();
            stopped = true;
        }
    }
    const int result = done.get();
    if (Aborted)
        return false;
    if (result != 0 || !QFile::exists(output)) {
        const QString why = ErrorProc && ErrorProc() && *ErrorProc() ? QString::fromUtf8(ErrorProc())
                                                                      : QStringLiteral("no output");
        error = QStringLiteral("MPEG: ") + why;
        return false;
    }
    WriteLog(QStringLiteral("     Fertig: MPEG"));
    return true;
}

void TDVDForm::EnsureSoundTrack()
{
    const QString track = m_ctx.EncoderFolder + QStringLiteral("Input.wav");
    if (!QFile::exists(track)) {
        QFile::remove(track);
        QFile::copy(m_ctx.ProgramFolder + QStringLiteral("empty.wav"), track);
    }
}

// ---- buttons --------------------------------------------------------------------------------

void TDVDForm::AbortBitBtnClick()
{
    // A running encode stops first, before its frames are taken away.
    if (AbortProc)
        AbortProc();
    AddMemoLine(QStringLiteral(" "));
    AddMemoLine(GetLangText(12001));
    ClearEncoderFolder();
    if (VideoHooks.ShowInstructions)
        VideoHooks.ShowInstructions(GetLangText(4605), GetLangText(4614), false, true);
    Aborted = true;
    Finished = true;
    if (WaveForm)
        WaveForm->close();
    close();
}

void TDVDForm::CloseBitBtnClick()
{
    if (VideoHooks.ShowInstructions) {
        if (ErrorEnd)
            VideoHooks.ShowInstructions(GetLangText(4606), GetLangText(4615), false, true);
        else {
            // The AVI road's burnable file is its MPEG stream: the instructions name it.
            const QString burn =
                HighQuality ? QString() : QStringLiteral(" (") + QFileInfo(OutputFile(QStringLiteral(".mpg"))).fileName() + QLatin1Char(')');
            const bool vcd = VideoMode == QLatin1String("VCD");
            VideoHooks.ShowInstructions(GetLangText(vcd ? 4607 : 4608),
                                        GetLangText(vcd ? 4622 : 4624) + QLatin1Char(' ') + m_ctx.VideoFolder +
                                            QLatin1Char(' ') + GetLangText(vcd ? 4623 : 4625) + burn,
                                        true, true);
        }
    }
    close();
}

void TDVDForm::VideoBitBtnClick()
{
    const QString file = OutputFile(HighQuality ? QStringLiteral(".mpg") : QStringLiteral(".avi"));
    for (const QString& player : PreviewPlayers) {
        if (!FindProgram(QString(), player).isEmpty()) {
            RunAndWait(QString(), player, QLatin1Char('"') + file + QLatin1Char('"'));
            return;
        }
    }
    MessageDlg(QStringLiteral("Error starting ") + PreviewPlayers.join(QStringLiteral(", ")), mtError, {mbOK});
}
