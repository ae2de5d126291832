#include "output/fWave.h"

#include "platform/media/PcmConvert.h"
#include "platform/media/WaveIO.h"
#include "platform/system/ProgramFolder.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "ui_fWave.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>

#include <vector>

TWaveForm* WaveForm = nullptr;

namespace {

constexpr int kTrackRate = 44100;
constexpr int kTrackChannels = 2;
constexpr int kBlockSamples = 4000;

} // namespace

TWaveForm::TWaveForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TWaveForm>())
{
    Load([this] { m_ui->setupUi(this); });
}

TWaveForm::~TWaveForm() = default;

void TWaveForm::FormCreate()
{
    m_ui->Label2->setText(GetLangText(5000));
    // A missing side picture leaves the place empty; the track is made all the same.
    QPixmap side;
    if (side.load(ProgramFolder() + QStringLiteral("recom/") + ProductInfo.SideImage))
        m_ui->Image1->setPixmap(side);
}

void TWaveForm::FormActivate()
{
    m_ui->Label1->clear();
    m_ui->Label3->clear();
    m_ui->Label4->clear();
    m_ui->ProgressBar1->setValue(0);
}

void TWaveForm::WriteLog(const QString& line)
{
    if (Log)
        Log->WriteLog(line);
}

void TWaveForm::AddMemoLine(const QString& line)
{
    if (Log)
        Log->AddMemoLine(line);
}

void TWaveForm::MakeSoundTrack()
{
    const std::int64_t target = std::int64_t(TrackSeconds) * kTrackRate;
    const TWaveFormatEx trackFormat = PcmFormat(kTrackChannels, kTrackRate, 16);
    const QString outputName = QFileInfo(OutputFile).fileName();
    std::int64_t written = 0;
    std::unique_ptr<TFileWaveStream> output;

    // The output is completed and reported on every path.
    struct Finish {
        TWaveForm* form;
        std::unique_ptr<TFileWaveStream>& output;
        const QString& name;
        ~Finish() noexcept(false)
        {
            std::exception_ptr failure;
            try {
                if (output)
                    output->Close();
            } catch (const Exception& e) {
                failure = std::make_exception_ptr(EWaveError(form->OutputFailure(e, *output)));
            } catch (...) {
                failure = std::current_exception();
            }
            output.reset();
            form->WriteLog(QStringLiteral("     Audio created ") + name);
            form->AddMemoLine(QStringLiteral("Audio created") + name);
            form->m_ui->ProgressBar1->setValue(0);
            if (failure && !std::uncaught_exceptions())
                std::rethrow_exception(failure);
        }
    } finish{this, output, outputName};

    std::vector<std::uint8_t> block;
    std::vector<std::int16_t> converted;
    std::int64_t writtenThisPass = 0;
    QElapsedTimer sincePoll;
    sincePoll.start();
    bool aborted = false;
    bool writing = false;  // a failure now is the output's, not the title's
    for (int i = 0; i <= SongFiles.size() - 1 && !aborted; ++i) try {
        const QString song = SongFiles[i];
        const QString songName = QFileInfo(song).fileName();
        TFileWaveStream input(song);
        m_ui->Label3->setText(QStringLiteral("Aktuelle Datei: ") + songName);
        WriteLog(QStringLiteral("     read audio ") + songName);
        AddMemoLine(QStringLiteral("read audio ") + songName);
        TPCMWaveReader reader(&input);
        TPCMConverter converter(reader.PCMFormat(), kTrackChannels, kTrackRate);

        if (!output) {
            WriteLog(QStringLiteral("     open audio ") + outputName);
            AddMemoLine(QStringLiteral("open audio ") + outputName);
            writing = true;
            try {
                output = std::make_unique<TFileWaveStream>(OutputFile, &trackFormat);
            } catch (const Exception& e) {
                throw EWaveError(e.Message() + QLatin1Char(' ') + OutputFile);
            }
            writing = false;
        }

        if (reader.Size() > 0) {
            block.resize(std::size_t(kBlockSamples) * reader.PCMFormat().nBlockAlign);
            reader.SetPosition(0);
            int got = reader.Read(block.data(), kBlockSamples);
            while (got > 0 && written < target) {
                const int samples = converter.Convert(block.data(), got, converted);
                writing = true;
                output->Write(converted.data(), samples);
                writing = false;
                written += samples;
                writtenThisPass += samples;
                const int percent = int(written * 100 / target);
                m_ui->ProgressBar1->setValue(percent);
                m_ui->Label1->setText(QString::number(percent) + QStringLiteral("%"));
                m_ui->Label1->repaint();
                m_ui->Label4->setText(QStringLiteral("Position: %1 Sekunden").arg(Round(double(written) / kTrackRate)));
                got = reader.Read(block.data(), kBlockSamples);
                if (Log && sincePoll.elapsed() >= 50) {
                    sincePoll.restart();
                    if (!Log->KeepRunning()) {
                        aborted = true;
                        break;
                    }
                }
            }
        }
        if (aborted)
            break;
        WriteLog(QStringLiteral("     write audio ") + songName);
        AddMemoLine(QStringLiteral("write audio ") + songName);

        if (written >= target)
            break;  // the titles behind are not needed
        if (i == SongFiles.size() - 1) {
            // Start again with the first title, unless this whole pass added nothing.
            if (writtenThisPass == 0)
                break;
            writtenThisPass = 0;
            i = -1;
        }
    } catch (const EWaveError& e) {
        if (writing && output)
            throw EWaveError(OutputFailure(e, *output));
        if (writing)
            throw;
        const QString title = i < SongTitles.size() ? SongTitles[i] : SongFiles[i];
        throw EWaveError(e.Message() + QLatin1Char(' ') + title);
    }
}

QString TWaveForm::OutputFailure(const Exception& e, TFileWaveStream& output) const
{
    return e.Message() + QLatin1Char(' ') + OutputFile + QStringLiteral(": ") + output.File().ErrorString();
}
