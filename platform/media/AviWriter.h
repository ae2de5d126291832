#pragma once
// TAviWriter: writes an AVI 1.0 file from a list of bitmaps, one bitmap per frame, each
// frame shown FrameTime milliseconds, with an optional sound track copied unchanged from a
// wave file.
//
// The file: one "vids" stream of uncompressed 24-bit bottom-up DIB frames of Width x Height
// (40-byte BITMAPINFOHEADER, rows padded to 4 bytes, every frame a key frame; time scale
// FrameTime, rate 1000), an "auds" stream with the wave file's format and data bytes when
// WavFileName is set (one audio chunk behind each frame, holding that frame's time), and an
// "idx1" index. The frames go first into the work file (EncoderFolder + "AWTemp.avi"), which
// is deleted after the output has been written through a temporary file beside it. A file
// that would pass the AVI 1.0 size limit is refused before anything is written.
//
// Steps are reported through OnProgress with German texts; failures raise EAviError.
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Types.h"

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class TBitmap;

class EAviError : public Exception {
public:
    using Exception::Exception;
};

enum TProgressStage { psStarting, psRunning, psEnding };

class TAviWriter;
using TProgressEvent = std::function<void(TAviWriter* sender, TProgressStage stage, std::uint8_t percentDone,
                                          bool redrawNow, const TRect& r, const QString& msg)>;

class TAviWriter : public QObject {
public:
    // AVI 1.0 readers take the RIFF size and the index offsets as signed 32-bit numbers.
    static constexpr std::int64_t kAviMaxFileSize = 0x7FFFFFFF;

    // encoderFolder (with a trailing "/") holds the work file.
    explicit TAviWriter(const QString& encoderFolder, QObject* parent = nullptr);
    ~TAviWriter() override;

    void Write();

    int Height;
    int Width;
    bool Stretch = true;
    int FrameTime = 1000;  // milliseconds per frame
    QString FileName;
    TProgressEvent OnProgress;
    // The frames, owned by the caller; a null entry is refused by Write.
    QList<TBitmap*> Bitmaps;
    // The size above which Write refuses the file (the AVI 1.0 limit; lower only in tests).
    std::int64_t MaxFileSize = kAviMaxFileSize;

    const QString& WavFileName() const { return m_wavFileName; }
    // The same name ignoring case: nothing; a name whose extension is not ".wav" (in any
    // case) raises "WavFileName must name a file with the .wav extension" and keeps the
    // old one.
    void SetWavFileName(const QString& name);
    const QString& TempFileName() const { return m_tempFileName; }

    // The step being reported.
    TProgressStage Stage = psStarting;
    std::uint8_t PercentDone = 0;
    bool RedrawNow = false;
    TRect R{};
    QString Msg;

private:
    void Progress(const QString& msg);

    QString m_tempFileName;
    QString m_wavFileName;
};
