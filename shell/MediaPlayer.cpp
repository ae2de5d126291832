#include "shell/MediaPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>

namespace {

QPointer<QMediaPlayer> g_player;

// The one player of the program, made at the first title; nullptr without an audio device.
QMediaPlayer* Player()
{
    if (!g_player) {
        if (QMediaDevices::audioOutputs().isEmpty())
            return nullptr;
        g_player = new QMediaPlayer(QCoreApplication::instance());
        g_player->setAudioOutput(new QAudioOutput(g_player));
    }
    return g_player;
}

} // namespace

int TMediaPlayer::Send(const QString& operation)
{
    TAskRequest request;
    request.Kind = TAskKind::AudioPlayback;
    request.Text = operation;
    request.Data.insert(QStringLiteral("FileName"), FileName);
    try {
        return Interaction().Ask(request).Result;
    } catch (...) {
        // A player error is not the user's concern: the title just does not play.
        return 0;
    }
}

QString TMediaPlayer::NoAudioOutputText()
{
    return QStringLiteral("No audio output is available (no sound device or sound server is running): the title "
                          "cannot be played.");
}

void TMediaPlayer::Open()
{
    if (m_open)
        Close();
    if (FileName.isEmpty())
        return;
    Send(QStringLiteral("Open"));
    m_open = true;
}

bool TMediaPlayer::Play()
{
    return !m_open || Send(QStringLiteral("Play")) != kNoAudioOutput;
}

void TMediaPlayer::Pause()
{
    if (m_open)
        Send(QStringLiteral("Pause"));
}

void TMediaPlayer::Stop()
{
    if (m_open)
        Send(QStringLiteral("Stop"));
}

void TMediaPlayer::Close()
{
    if (!m_open)
        return;
    Send(QStringLiteral("Close"));
    m_open = false;
}

void TMediaPlayer::RegisterPlayback()
{
    static bool registered = false;
    if (!registered) {
        TQtInteraction::SetHandler(TAskKind::AudioPlayback, &TMediaPlayer::Playback);
        registered = true;
    }
}

TAskAnswer TMediaPlayer::Playback(TAskRequest& request)
{
    QMediaPlayer* player = Player();
    if (!player)
        return TAskAnswer{kNoAudioOutput};
    const QString& op = request.Text;
    if (op == QLatin1String("Open")) {
        player->stop();
        player->setSource(QUrl::fromLocalFile(request.Data.value(QStringLiteral("FileName")).toString()));
    } else if (op == QLatin1String("Play")) {
        player->play();
    } else if (op == QLatin1String("Pause")) {
        player->pause();
    } else if (op == QLatin1String("Stop")) {
        player->stop();
    } else if (op == QLatin1String("Close")) {
        player->stop();
        player->setSource(QUrl());
    }
    return TAskAnswer{1};
}
