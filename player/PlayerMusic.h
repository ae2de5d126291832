#pragma once
// TPlayerMusic: the music of the player's shows. The titles play one after the other, round
// and round. A title that cannot be played (no sound in it, an empty or missing file) is
// logged on stderr and passed over; once every title of the list has failed in turn, the
// music stops trying until it is given titles again, so that a list of broken files never
// keeps the player busy.
//
// The titles go to an output, which reports back when the title it plays ended or failed:
// Qt Multimedia in the program (made at the first title, so that a show without music never
// loads it), a recording output in tests.
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class TMusicOutput {
public:
    virtual ~TMusicOutput() = default;
    // Plays file from its start, replacing what played before.
    virtual void Play(const QString& file) = 0;
    virtual void Stop() = 0;
};

class TPlayerMusic : public QObject {
    Q_OBJECT
public:
    explicit TPlayerMusic(QObject* parent = nullptr);
    ~TPlayerMusic() override;

    // The output to use instead of Qt Multimedia's (tests).
    void SetOutput(std::unique_ptr<TMusicOutput> output);
    // Plays titles (full paths) from the first; no titles: the music stops.
    void Play(const QStringList& titles);
    void Stop();

    // The output's reports on the title it plays.
    void TitleEnded();
    void TitleFailed(const QString& reason);

    const QStringList& Titles() const { return m_titles; }
    // The title playing now (-1: none).
    int Current() const { return m_current; }
    // Every title failed in turn: nothing plays until Play is called again.
    bool GaveUp() const { return m_gaveUp; }

signals:
    // A title was handed to the output.
    void TitleStarted(const QString& file);

private:
    void Next();

    std::unique_ptr<TMusicOutput> m_output;
    QStringList m_titles;
    int m_current = -1;
    int m_failedInTurn = 0;
    bool m_gaveUp = false;
};

// Qt Multimedia's output for music: reports the end of a title, and a title that fails in any
// way (Qt 6.4's ffmpeg backend reports an unreadable file only by errorOccurred, never by the
// InvalidMedia status), once per title and after Qt's own signal has returned. Without an audio
// output (no sound server) it says so once on stderr and the titles play silently.
std::unique_ptr<TMusicOutput> MakeQtMusicOutput(TPlayerMusic& music);
