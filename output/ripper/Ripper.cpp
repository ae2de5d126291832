// Ripper: reads Ripper.ini beside the program ([SETTINGS] DiskPath and DiashowDir; the target
// folder is DiskPath + DiashowDir) and rips every audio track of the CD with cdparanoia into
// it as 44,100 Hz stereo WAV files, showing its progress and a Cancel button. Each track is
// written under a temporary name and renamed when complete, so a cancelled or failed rip
// leaves no half title behind. Exit code 0 when every track was ripped, 1 otherwise.
#include "output/audio/CdToc.h"
#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Language.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

class TRipperWindow : public QDialog {
public:
    TRipperWindow()
    {
        setWindowTitle(GetLangText(3706));
        auto* layout = new QVBoxLayout(this);
        m_label = new QLabel(this);
        m_label->setWordWrap(true);
        m_label->setMinimumWidth(380);
        m_bar = new QProgressBar(this);
        m_button = new QPushButton(GetLangText(3711), this);
        layout->addWidget(m_label);
        layout->addWidget(m_bar);
        layout->addWidget(m_button, 0, Qt::AlignRight);
        connect(m_button, &QPushButton::clicked, this, [this] { Cancel(); });
        connect(&m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
            Finished(status == QProcess::NormalExit ? code : -1);
        });
        connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                Fail(QStringLiteral("cdparanoia: ") + m_process.errorString());
        });
        m_process.setProcessChannelMode(QProcess::MergedChannels);
    }

    void Start()
    {
        TIniFile ini(ProgramFolder() + QStringLiteral("Ripper.ini"));
        const QString disk = ini.ReadString(QStringLiteral("SETTINGS"), QStringLiteral("DiskPath"), QString());
        const QString dir = ini.ReadString(QStringLiteral("SETTINGS"), QStringLiteral("DiashowDir"), QString());
        if (dir.isEmpty()) {
            Fail(GetLangText(3712));
            return;
        }
        m_folder = IncludeTrailingPathDelimiter(IncludeTrailingPathDelimiter(disk) + dir);
        if (!ForceDirectories(m_folder)) {
            Fail(m_folder);
            return;
        }
        m_label->setText(GetLangText(3707));
        m_bar->setRange(0, 0);
        m_step = Step::Toc;
        m_process.start(QStringLiteral("cdparanoia"), {QStringLiteral("-Q")});
    }

protected:
    void reject() override { Cancel(); }

private:
    enum class Step { Idle, Toc, Track, Done };

    void RipNext()
    {
        if (m_next >= m_tracks.size()) {
            m_step = Step::Done;
            done(0);
            QApplication::exit(0);
            return;
        }
        const int track = m_tracks[m_next];
        m_target = RippedTrackPath(m_folder, track);
        m_part = m_target + QStringLiteral(".part");
        m_label->setText(Format(GetLangText(3708), m_next + 1, int(m_tracks.size())));
        m_bar->setRange(0, int(m_tracks.size()));
        m_bar->setValue(m_next);
        m_step = Step::Track;
        m_process.start(QStringLiteral("cdparanoia"),
                        {QStringLiteral("-q"), QStringLiteral("-w"), QString::number(track), m_part});
    }

    void Finished(int code)
    {
        const QString output = QString::fromLocal8Bit(m_process.readAll());
        if (m_step == Step::Toc) {
            m_tracks = ParseCdparanoiaToc(output);
            if (m_tracks.isEmpty()) {
                Fail(GetLangText(3709));
                return;
            }
            m_next = 0;
            RipNext();
        } else if (m_step == Step::Track) {
            if (code != 0 || !QFile::exists(m_part)) {
                QFile::remove(m_part);
                Fail(GetLangText(3710) + QLatin1Char('\n') + output.trimmed());
                return;
            }
            if (!QFile::rename(m_part, m_target)) {
                QFile::remove(m_part);
                Fail(GetLangText(3710) + QLatin1Char('\n') + m_target);
                return;
            }
            ++m_next;
            RipNext();
        }
    }

    void Fail(const QString& message)
    {
        m_step = Step::Idle;
        m_label->setText(message);
        m_bar->setRange(0, 1);
        m_bar->setValue(0);
        m_failed = true;
        m_button->setText(GetLangText(6400));
    }

    void Cancel()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_step = Step::Idle;
            m_process.kill();
            m_process.waitForFinished(5000);
            if (!m_part.isEmpty())
                QFile::remove(m_part);
        }
        QApplication::exit(m_step == Step::Done ? 0 : 1);
    }

    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_button = nullptr;
    QProcess m_process;
    Step m_step = Step::Idle;
    QString m_folder;
    QList<int> m_tracks;
    int m_next = 0;
    QString m_target;
    QString m_part;
    bool m_failed = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    LoadLanguage();
    int code = 1;
    {
        TRipperWindow window;
        window.show();
        window.Start();
        code = app.exec();
    }
    UnloadLanguage();
    return code;
}
