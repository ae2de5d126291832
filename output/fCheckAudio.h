#pragma once
// TCheckAudioForm: the audio info dialog. For an MP3 file it shows the data of the first MPEG
// frame, for any other file the fields of its 44-byte wave header. The main window and the
// video producer also use it without showing it: they set AudioFile, call ReadAudioInfo and
// read VersionText, LayerText, SampleRateValue and StereoText; a title fits a slideshow or a
// video only with "44100" and "STEREO".
#include "output/audio/WaveHeader.h"
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TCheckAudioForm;
}

class TCheckAudioForm : public TForm {
    Q_OBJECT
public:
    explicit TCheckAudioForm(QWidget* parent = nullptr);
    ~TCheckAudioForm() override;

    Ui::TCheckAudioForm* ui() const { return m_ui.get(); }

    QString AudioFile;
    // The results of the last ReadAudioInfo; all four are empty when it found nothing.
    QString LayerText;
    QString VersionText;
    QString SampleRateValue;  // Hz as decimal digits
    QString StereoText;       // "STEREO" or empty

    // Fills the dialog and the results for AudioFile. A wave file that cannot be opened or
    // is shorter than 44 bytes raises EInOutError.
    void ReadAudioInfo();

    // The texts of a duration in the MP3 panel: one decimal, no leading zero ("12.3", ".5"),
    // with the locale's decimal separator.
    static QString FormatDuration(double seconds);

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormShow() override;

private:
    void ClearMP3Boxes();
    void ReadMP3Info();
    void ReadWaveInfo();

    TWaveHeader WaveHeader;
    std::unique_ptr<Ui::TCheckAudioForm> m_ui;
};
