#include "player/PlayerMusic.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>

#include <cstdio>

TPlayerMusic::TPlayerMusic(QObject* parent) : QObject(parent) {}

TPlayerMusic::~TPlayerMusic() = default;

void TPlayerMusic::SetOutput(std::unique_ptr<TMusicOutput> output)
{
    m_output = std::move(output);
}

void TPlayerMusic::Play(const QStringList& titles)
{
    Stop();
    m_titles = titles;
    m_gaveUp = false;
    m_failedInTurn = 0;
    if (m_titles.isEmpty())
        return;
    if (!m_output)
        m_output = MakeQtMusicOutput(*this);
    Next();
}

void TPlayerMusic::Stop()
{
    if (m_output && m_current >= 0)
        m_output->Stop();
    m_current = -1;
}

void TPlayerMusic::Next()
{
    if (m_titles.isEmpty() || m_gaveUp || !m_output)
        return;
    m_current = (m_current + 1) % int(m_titles.size());
    const QString file = m_titles[m_current];
    emit TitleStarted(file);
    m_output->Play(file);
}

void TPlayerMusic::TitleEnded()
{
    if (m_current < 0)
        return;
    m_failedInTurn = 0;
    Next();
}

void TPlayerMusic::TitleFailed(const QString& reason)
{
    if (m_current < 0)
        return;
    std::fprintf(stderr, "Music: cannot play %s (%s)\n", qPrintable(m_titles[m_current]), qPrintable(reason));
    if (++m_failedInTurn >= m_titles.size()) {
        std::fprintf(stderr, "Music: no title of the show can be played; the show goes on without music\n");
        Stop();
        m_gaveUp = true;
        return;
    }
    Next();
}

namespace {

class TQtMusicOutput : public TMusicOutput {
public:
    explicit TQtMusicOutput(TPlayerMusic& music) : m_music(&music)
    {
        m_player = new QMediaPlayer(&music);
        if (QMediaDevices::audioOutputs().isEmpty())
            std::fprintf(stderr, "Music: no audio output (no sound device or sound server); the show is silent\n");
        else
            m_player->setAudioOutput(new QAudioOutput(m_player));
        QObject::connect(m_player, &QMediaPlayer::mediaStatusChanged, m_player, [this](QMediaPlayer::MediaStatus status) {
            if (status == QMediaPlayer::EndOfMedia)
                Report(false, QString());
            else if (status == QMediaPlayer::InvalidMedia)
                Report(true, QStringLiteral("not a playable file"));
        });
        QObject::connect(m_player, &QMediaPlayer::errorOccurred, m_player,
                         [this](QMediaPlayer::Error, const QString& text) { Report(true, text); });
    }
    // The player goes with the output, and with it every report still queued.
    ~TQtMusicOutput() override { delete m_player; }
    TQtMusicOutput(const TQtMusicOutput&) = delete;
    TQtMusicOutput& operator=(const TQtMusicOutput&) = delete;

    void Play(const QString& file) override
    {
        ++m_title;
        m_reported = false;
        m_player->setSource(QUrl::fromLocalFile(file));
        m_player->play();
    }
    void Stop() override
    {
        ++m_title;
        m_reported = true;
        m_player->stop();
    }

private:
    // One report per title, handed over once Qt's signal has returned: the next title is never
    // set from inside the player's own signal.
    void Report(bool failed, const QString& reason)
    {
        if (m_reported)
            return;
        m_reported = true;
        const unsigned title = m_title;
        QMetaObject::invokeMethod(
            m_player,
            [this, title, failed, reason] {
                if (title != m_title || !m_music)
                    return;
                if (failed)
                    m_music->TitleFailed(reason.isEmpty() ? QStringLiteral("error") : reason);
                else
                    m_music->TitleEnded();
            },
            Qt::QueuedConnection);
    }

    QPointer<TPlayerMusic> m_music;
    QPointer<QMediaPlayer> m_player;
    unsigned m_title = 0;
    bool m_reported = true;
};

} // namespace

std::unique_ptr<TMusicOutput> MakeQtMusicOutput(TPlayerMusic& music)
{
    return std::make_unique<TQtMusicOutput>(music);
}
