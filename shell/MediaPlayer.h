#pragma once
// TMediaPlayer: the player of the audio titles (the main window's MediaPlayer1). Every
// operation goes through the interaction service as an AudioPlayback request (Text: "Open",
// "Play", "Pause", "Stop" or "Close"; Data "FileName"), so that tests record the calls instead
// of playing. Errors are swallowed: a title that cannot be played plays nothing and says
// nothing. A machine without an audio output (no sound device or sound server) plays nothing
// either; Play tells its caller so.
//
// As with the device it stands for, Play, Pause and Stop do nothing until a title is open,
// and Close does nothing while none is.
#include "platform/vcl/Interaction.h"

#include <QString>

class TMediaPlayer {
public:
    QString FileName;

    // The answer of the playback service when there is no audio output.
    static constexpr int kNoAudioOutput = -1;
    // The text the window shows then.
    static QString NoAudioOutputText();

    void Open();
    // False when there is no audio output to play to.
    bool Play();
    void Pause();
    void Stop();
    void Close();
    bool IsOpen() const { return m_open; }

    // Serves AudioPlayback requests with Qt Multimedia in the production service (once).
    static void RegisterPlayback();
    // The production answer to one AudioPlayback request.
    static TAskAnswer Playback(TAskRequest& request);

private:
    int Send(const QString& operation);
    bool m_open = false;
};
