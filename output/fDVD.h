#pragma once
// TDVDForm: the video producer. MakeVideo turns the open slideshow into one video file in the
// video folder: on the AVI road (HighQuality false) one bitmap frame per picture and the sound
// track go into an AVI file; on the MPEG road (HighQuality true) every picture becomes a key
// frame, the transitions between neighbours are recorded by the capture window, and the MPEG
// module (mpdx_dll.so beside the program) encodes frames and sound track. Every step is
// appended to Diashow.log in the program folder and shown in the memo; the abort button works
// while external programs run.
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
    bool LoadEncoderLibrary();
    void EnsureSoundTrack();
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
    void ErrorEndRun();
    bool ProcessTitles();
    bool WrongAudio(const QString& path);
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
    std::vector<std::unique_ptr<TBitmap>> m_bitmaps;
};

extern TDVDForm* DVDForm;
