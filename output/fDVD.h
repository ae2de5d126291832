#pragma once
// TDVDForm: the video producer. MakeVideo turns the open slideshow into one video file in the
// video folder: on the AVI road (HighQuality false) one bitmap frame per picture and the sound
// track go into an AVI file; on the MPEG road (HighQuality true) every picture becomes a key
// frame, the transitions between neighbours are recorded by the capture window, and the MPEG
// module (mpdx_dll.so beside the program) encodes frames and sound track. Every step is
// appended to Diashow.log in the program folder and shown in the memo. The abort button answers
// in every phase: the window is application-modal with only that button enabled, so the
// producer's event processing lets all input through; the work checks Aborted between steps.
#include "output/VideoContext.h"
#include "output/fWave.h"
#include "platform/media/AviWriter.h"
#include "platform/vcl/Forms.h"

#include <QImage>
#include <QStringList>

#include <memory>

namespace Ui {
class TDVDForm;
}
class TBitmap;

class TDVDForm : public TForm, public IProductionLog {
    Q_OBJECT
public:
    explicit TDVDForm(QWidget* parent = nullptr);
    ~TDVDForm() override;

    Ui::TDVDForm* ui() const { return m_ui.get(); }

    QString VideoMode = QStringLiteral("VCD");  // "VCD" or "SVCD"
    bool HighQuality = false;                   // true: the MPEG road

    // The MP3 decoder (Debian's lame) and the media players tried for the preview, in order.
    QString LameProgram = QStringLiteral("/usr/bin/lame");
    QStringList PreviewPlayers = {QStringLiteral("mpv"), QStringLiteral("ffplay"), QStringLiteral("xdg-open")};

    void MakeVideo();

    void WriteLog(const QString& line) override;
    void AddMemoLine(const QString& line) override;
    bool KeepRunning() override;
    void ClearEncoderFolder();
    // Starts program in folder and waits for it while the window paints and the abort button
    // answers; an abort ends the program. Shows "Error starting " + program when it does not
    // start. The exit code, -1 when it did not start, -2 when aborted.
    int RunAndWait(const QString& folder, const QString& program, const QString& parameters);
    void ReadPictureCount();
    void ConvertPictures();
    // One picture into the frame file base + ".bmp" (AVI road) or base + "_Key.jpg".
    void MakeFrame(const QString& picture, const QString& base);
    void MakeAVI();
    void AddBitmapToVideo(const QString& fileName);
    // Loads the MPEG module; false with the reason when it is missing or lacks its entries.
    bool LoadEncoderLibrary(QString& error);
    void EnsureSoundTrack();
    // Runs the MPEG module over the encoder folder into output on a worker thread while the
    // window paints and the abort button answers. False with the module's reason on a
    // failure, or on an abort (which stops the module within a frame).
    bool EncodeMpeg(const QString& output, QString& error);
    // A seconds text that is no number above zero: says so in a box; true when refused.
    static bool RefuseSeconds(const QString& typed);
    int CountJpegFrames() const;
    // VideoFolder + the title's file name + "_" + VideoMode + ext.
    QString OutputFile(const QString& ext) const;

    bool ErrorEnd = false;
    bool Aborted = false;
    bool Finished = true;
    int FrameWidth = 352;
    int FrameHeight = 288;

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormCloseQuery(bool& canClose) override;

private:
    friend class TCaptureForm;
    void VideoBitBtnClick();
    void CloseBitBtnClick();
    void AbortBitBtnClick();
    void AviWriter1Progress(const QString& msg);
    void Progress();
    void SetStatus(const QString& text);
    void Repaint();
    void NormalEnd();
    // The error end; a reason, when given, goes to the memo and the log before text 12008.
    void ErrorEndRun(const QString& reason = QString());
    // The AVI road's burnable stream: the AVI's frames, each held its seconds, and the sound
    // track through the MPEG module into VideoFolder + name + "_" + VideoMode + ".mpg".
    bool MakeAviRoadMpeg(QString& error);
    // False with the reason when a title cannot become a wave file.
    bool ProcessTitles(QString& reason);
    bool WrongAudio(const QString& path, QString& reason);
    void MakeTransitions(int count);
    void NumberFrames();
    bool IsPal() const;
    bool IsNanoSVCD() const;

    TVideoContext m_ctx;
    double m_seconds = 5;
    std::unique_ptr<Ui::TDVDForm> m_ui;
    std::unique_ptr<TAviWriter> AviWriter1;
    QStringList PictureList;
    QStringList AudioList;
    QString PictureText;
    int FramesAdded = 0;
    int SongIndex = 0;
    int ProgressCount = 0;
    int ProgressTotal = 1;
    int PictureCount = 0;
    void* EncoderLibrary = nullptr;
    int (*OpenProc)(const char* const*, const char* const*) = nullptr;
    int (*EncodeProc)() = nullptr;
    void (*AbortProc)() = nullptr;             // optional: stops a running encode
    const char* (*ErrorProc)() = nullptr;      // optional: why the last encode failed
    std::vector<std::unique_ptr<TBitmap>> m_bitmaps;
};

extern TDVDForm* DVDForm;
