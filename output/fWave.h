#pragma once
// TWaveForm: the sound-track window of video production. The producer sets SongFiles (the
// titles, already decoded to wave files, in order), OutputFile and TrackSeconds, shows the
// window, calls MakeSoundTrack and closes it again.
//
// MakeSoundTrack joins the titles into one 16-bit stereo 44.1 kHz wave file in blocks of
// 4000 samples, starting again with the first title while the track is short, and stops at
// the first block boundary at or past TrackSeconds. Every title is converted to that layout
// (bit depth, channels, rate), the first included; an empty title is skipped, and a pass
// over all titles that adds nothing ends the track. The output is closed on every path, also
// when a title fails, and the failure then passes on to the caller, naming the title, or the
// output and the system's reason. While it runs the log's
// window is polled now and then; an abort stops the track where it is.
#include "platform/vcl/Forms.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace Ui {
class TWaveForm;
}
class Exception;
class TFileWaveStream;

// The producer window's log file and memo, written while the track is made.
class IProductionLog {
public:
    virtual ~IProductionLog() = default;
    virtual void WriteLog(const QString& line) = 0;
    virtual void AddMemoLine(const QString& line) = 0;
    // Lets the producer's window paint and its abort button answer; false once aborted.
    virtual bool KeepRunning() { return true; }
};

class TWaveForm : public TForm {
    Q_OBJECT
public:
    explicit TWaveForm(QWidget* parent = nullptr);
    ~TWaveForm() override;

    Ui::TWaveForm* ui() const { return m_ui.get(); }

    QStringList SongFiles;
    QString OutputFile;
    int TrackSeconds = 0;
    // Supplied by the producer window; nothing is logged while it is null.
    IProductionLog* Log = nullptr;
    // The names that a failure of a title names, one per entry of SongFiles (the titles as
    // the user chose them); SongFiles themselves when empty.
    QStringList SongTitles;

    void MakeSoundTrack();

protected:
    void FormCreate() override;
    void FormActivate() override;

private:
    // The failure of the output: the text, the file and the system's reason.
    QString OutputFailure(const Exception& e, TFileWaveStream& output) const;
    void WriteLog(const QString& line);
    void AddMemoLine(const QString& line);

    std::unique_ptr<Ui::TWaveForm> m_ui;
};

extern TWaveForm* WaveForm;
