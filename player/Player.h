#pragma once
// TPlayer: the slideshow player's window. It shows the pictures of its shows one after the
// other at screen size, with their texts, changes them by a cut or by a numbered effect of the
// imaging kernel (painted step by step at display rate), plays the shows' audio titles, and
// answers the keys: Escape ends the show, Space pauses (unless stepped by hand), the arrow keys
// and Page Up/Down step by hand.
//
// The next picture is decoded and composed on a worker thread while the current one shows, so
// that a turn never waits for a decode; at most the current and the next frame are held.
#include "player/PlayerMusic.h"
#include "player/PlayerOptions.h"
#include "shell/core/PlayerData.h"

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QRasterWindow>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <future>
#include <memory>

struct LEfxEffectPlan;

// One prepared turn: the frame of item Index and the effect plan that paints it in (none: a
// cut). Index -1 when no picture from the asked one on could be read.
struct TPreparedFrame {
    int Index = -1;
    QImage Frame;
    bool Quick = false;  // decoded at half the detail: a full one follows
    std::shared_ptr<LEfxEffectPlan> Plan;
    int TransitionMs = 0;
};

class TPlayer : public QRasterWindow {
    Q_OBJECT
public:
    explicit TPlayer(TPlayerOptions options, QWindow* parent = nullptr);
    ~TPlayer() override;

    // Reads the settings, texts and shows and shows the window; false (and nothing shown) when
    // there is nothing to play.
    bool Start();

    const TPlayerSettings& Settings() const { return m_settings; }
    // The pictures in play order (every show's pictures one after the other).
    struct TItem {
        int Show = 0;
        int Picture = 0;
    };
    const QList<TShow>& Shows() const { return m_shows; }
    const QList<TItem>& Items() const { return m_items; }
    // The item on the screen (-1 while loading) and the picture on the screen now.
    int CurrentIndex() const { return m_index; }
    const QImage& Screen() const { return m_screen; }
    bool InTransition() const { return m_transition.Active; }
    bool Paused() const { return m_paused; }
    // The frame size the pictures are composed at.
    QSize FrameSize() const { return m_frameSize; }
    // Milliseconds the turns waited for a decode, in all.
    qint64 TurnWaitMs() const { return m_turnWaitMs; }

    // For the benchmark: prints the start-to-first-picture time and each turn's wait to stderr.
    void SetTiming(const QElapsedTimer* sinceStart) { m_sinceStart = sinceStart; }
    // The frame size to use instead of the window's (tests).
    void SetFrameSize(QSize size) { m_fixedFrameSize = size; }
    // The music of the show on the screen.
    TPlayerMusic& Music() { return m_music; }

signals:
    // The show is over (Escape, the end of the last picture, or a screensaver's input).
    void Ended();
    // An item is fully on the screen.
    void PictureShown(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadShows();
    QString Text(int number) const;
    void BeginShow();
    int NextIndex(int index, int step) const;
    bool IsLast(int index) const;
    // Starts preparing item index (and the pictures after it when it cannot be read).
    void Prepare(int index, int direction);
    TPreparedFrame PrepareSync(int index, int direction, QSize size, bool quick = false) const;
    // The first picture at full detail, replacing its quick frame.
    void RefineFirst();
    // Turns to item index as soon as it is prepared.
    void TurnTo(int index, int direction);
    void PollTurn();
    void StartTransition(TPreparedFrame prepared);
    void TransitionStep();
    void FinishTransition();
    void HoldTimeout();
    void ShowEnd();
    void End();
    void SetOverlay(const QString& text, int ms);
    void MusicForShow(int show);
    void InhibitScreensaver(bool inhibit);
    QSize TargetFrameSize() const;
    void ShowFullScreen();

    TPlayerOptions m_options;
    TPlayerSettings m_settings;
    QStringList m_effectLines;
    QList<TShow> m_shows;
    QList<TItem> m_items;
    QSize m_frameSize;
    QSize m_fixedFrameSize;

    int m_index = -1;
    QImage m_screen;
    bool m_paused = false;
    bool m_ended = false;
    bool m_endShown = false;

    // The turn being prepared (one at a time).
    std::future<TPreparedFrame> m_pending;
    std::future<TPreparedFrame> m_refine;
    QTimer m_refineTimer;
    int m_pendingIndex = -1;
    int m_pendingDirection = 1;
    int m_turnTarget = -1;  // the turn waiting for m_pending, -1 when none
    QElapsedTimer m_turnClock;
    qint64 m_turnWaitMs = 0;

    struct TTransition {
        bool Active = false;
        TPreparedFrame To;
        QElapsedTimer Clock;
        unsigned Step = 0;
        unsigned Steps = 1;
    } m_transition;

    QTimer m_holdTimer;
    QTimer m_pollTimer;
    QTimer m_stepTimer;
    QTimer m_overlayTimer;
    QTimer m_endTimer;
    QString m_overlay;

    TPlayerMusic m_music;
    int m_musicShow = -1;
    unsigned m_inhibitCookie = 0;
    bool m_inhibited = false;
    QPoint m_firstMouse;
    bool m_mouseSeen = false;

    const QElapsedTimer* m_sinceStart = nullptr;
    bool m_firstPictureReported = false;
};
