#include "output/fCheckAudio.h"

#include "output/audio/MPEGaudio.h"
#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "ui_fCheckAudio.h"

#include <QPixmap>

TCheckAudioForm* CheckAudioForm = nullptr;

namespace {

QString YesNo(bool value) { return value ? QStringLiteral("Yes") : QStringLiteral("No"); }

} // namespace

TCheckAudioForm::TCheckAudioForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TCheckAudioForm>())
{
    Load([this] { m_ui->setupUi(this); });
}

TCheckAudioForm::~TCheckAudioForm() = default;

void TCheckAudioForm::BindEvents()
{
    Bind(m_ui->CloseButton, &QPushButton::clicked, [this] { close(); });
}

void TCheckAudioForm::FormCreate()
{
    m_ui->CloseButton->setText(GetLangText(6400));
    // A missing side picture leaves the place empty; the dialog works without it.
    QPixmap side;
    if (side.load(ProgramFolder() + QStringLiteral("recom/") + ProductInfo.SideImage))
        m_ui->Image1->setPixmap(side);
    m_ui->MP3Panel->setVisible(false);
    m_ui->WavePanel->setVisible(false);
}

void TCheckAudioForm::FormShow() { ReadAudioInfo(); }

QString TCheckAudioForm::FormatDuration(double seconds)
{
    const QChar separator = LocaleDecimalSeparator();
    QString text = Format(separator, QStringLiteral("%.1f"), {seconds});
    if (text.startsWith(QLatin1Char('0')))
        text.remove(0, 1);
    return text;
}

void TCheckAudioForm::ClearMP3Boxes()
{
    for (QLineEdit* box :
         {m_ui->ValidMPEGText, m_ui->FirstFrameAtText, m_ui->BitRateText, m_ui->MPEGTypeText, m_ui->DurationText,
          m_ui->FileSizeText, m_ui->SampleRateText, m_ui->ChannelModeText, m_ui->EmphasisText, m_ui->EncoderText,
          m_ui->CRCProtectionText, m_ui->TotalFramesText, m_ui->CopyrightText, m_ui->OriginalText})
        box->clear();
}

void TCheckAudioForm::ReadAudioInfo()
{
    // A reading that stops early must not leave the last title's results behind: they
    // decide whether a title is taken.
    VersionText.clear();
    LayerText.clear();
    SampleRateValue.clear();
    StereoText.clear();
    ClearMP3Boxes();
    m_ui->MP3Panel->setVisible(false);
    m_ui->WavePanel->setVisible(false);
    m_ui->Label1->clear();
    if (AudioFile.toUpper().contains(QStringLiteral(".MP3")))
        ReadMP3Info();
    else
        ReadWaveInfo();
}

void TCheckAudioForm::ReadMP3Info()
{
    if (AudioFile.isEmpty())
        return;
    if (!FileExists(AudioFile)) {
        ShowMessage(QStringLiteral("The file does not exist: ") + AudioFile);
        return;
    }
    TMPEGaudio mpeg;
    if (!mpeg.ReadFromFile(AudioFile)) {
        ShowMessage(QStringLiteral("Can not read data from the file: ") + AudioFile);
        return;
    }
    m_ui->Label1->setText(QStringLiteral("MP3 File"));
    m_ui->MP3Panel->setVisible(true);
    if (!mpeg.Valid()) {
        m_ui->ValidMPEGText->setText(QStringLiteral("No"));
        return;
    }
    m_ui->ValidMPEGText->setText(QStringLiteral("Yes"));
    m_ui->FileSizeText->setText(IntToStr(mpeg.FileLength) + QStringLiteral(" bytes"));
    m_ui->MPEGTypeText->setText(mpeg.Version() + QLatin1Char(' ') + mpeg.Layer());
    m_ui->BitRateText->setText((mpeg.VBR.Found ? QStringLiteral("VBR ") : QStringLiteral("CBR ")) +
                               IntToStr(mpeg.BitRate()) + QStringLiteral(" kbit/s"));
    m_ui->SampleRateText->setText(IntToStr(mpeg.SampleRate()) + QStringLiteral(" Hz"));
    m_ui->ChannelModeText->setText(mpeg.ChannelMode());
    m_ui->DurationText->setText(FormatDuration(mpeg.Duration()) + QStringLiteral(" sec."));
    m_ui->FirstFrameAtText->setText(IntToStr(mpeg.Frame.Position) + QStringLiteral(" bytes"));
    m_ui->TotalFramesText->setText(IntToStr(mpeg.TotalFrames()));
    m_ui->CRCProtectionText->setText(YesNo(mpeg.Frame.ProtectionBit));
    m_ui->CopyrightText->setText(YesNo(mpeg.Frame.CopyrightBit));
    m_ui->OriginalText->setText(YesNo(mpeg.Frame.OriginalBit));
    m_ui->EmphasisText->setText(mpeg.Emphasis());
    m_ui->EncoderText->setText(mpeg.Encoder());

    VersionText = mpeg.Version();
    LayerText = mpeg.Layer();
    SampleRateValue = IntToStr(mpeg.SampleRate());
    StereoText = mpeg.ChannelMode().toUpper().contains(QStringLiteral("STEREO")) ? QStringLiteral("STEREO") : QString();
}

void TCheckAudioForm::ReadWaveInfo()
{
    m_ui->WavePanel->setVisible(true);
    WaveHeader = TWaveHeader::ReadFromFile(AudioFile);
    const TWaveHeader& h = WaveHeader;
    QString mode;
    if (h.ChannelNumber == 1)
        mode = QStringLiteral("Mono");
    else if (h.IsStereo())
        mode = QStringLiteral("Joint Stereo");
    else
        mode = IntToStr(unsigned(h.ChannelNumber)) + QStringLiteral(" Channels");
    m_ui->ChannelModeEdit->setText(mode);
    m_ui->FileSizeEdit->setText(IntToStr(unsigned(h.FileSize)) + QStringLiteral(" bytes"));
    m_ui->WavFormatEdit->setText(IntToStr(unsigned(h.FormatID)));
    m_ui->BitsPerSampleEdit->setText(IntToStr(unsigned(h.BitsPerSample)));
    m_ui->SampleRateEdit->setText(IntToStr(unsigned(h.SampleRate)) + QStringLiteral(" Hz"));
    m_ui->DurationWAVEdit->setText(FormatHMS(h.Duration()));
    // Shown only: the results below never depend on it.
    m_ui->Edit1->setText(h.RIFFHeader == "RIFF" && h.WAVEHeader == "WAVE" ? QStringLiteral("Yes") : QStringLiteral("No"));
    VersionText = IntToStr(unsigned(h.FormatID));
    LayerText = IntToStr(unsigned(h.BitsPerSample)) + QStringLiteral(" Bit");
    SampleRateValue = IntToStr(unsigned(h.SampleRate));
    StereoText = h.IsStereo() ? QStringLiteral("STEREO") : QString();
    m_ui->Label1->setText(QStringLiteral("WAV File"));
}
