#include "player/Player.h"

#include "platform/imagelib/imagelib.h"
#include "platform/imagelib/lteffect.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/StringList.h"
#include "player/PlayerFrame.h"
#include "shell/core/Settings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Steps of a transition are painted at the display's rate.
constexpr int kStepIntervalMs = 8;
// How long the end text stays before the player closes.
constexpr int kEndTextMs = 1500;
// How long the hint on how to quit stays at the start.
constexpr int kQuitHintMs = 3000;

void DestroyPlan(LEfxEffectPlan* plan)
{
    if (plan)
        L_EfxDestroyEffectPlan(plan);
}

LEfxSurface SurfaceOf(QImage& image)
{
    LEfxSurface s;
    s.Bits = image.bits();
    s.Width = image.width();
    s.Height = image.height();
    s.BytesPerLine = int(image.bytesPerLine());
    s.BytesPerPixel = 4;
    return s;
}

// The size of another program's window (xscreensaver's), asked of the X server: Qt knows
// nothing of a foreign window's geometry.
QSize NativeWindowSize(WId id)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return QSize();
    xcb_connection_t* connection = x11->connection();
    xcb_get_geometry_reply_t* reply =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, xcb_drawable_t(id)), nullptr);
    if (!reply)
        return QSize();
    const QSize size(reply->width, reply->height);
    std::free(reply);
    return size;
}

} // namespace

TPlayer::TPlayer(TPlayerOptions options, QWindow* parent) : QRasterWindow(parent), m_options(std::move(options))
{
    m_holdTimer.setSingleShot(true);
    connect(&m_holdTimer, &QTimer::timeout, this, &TPlayer::HoldTimeout);
    m_pollTimer.setInterval(2);
    connect(&m_pollTimer, &QTimer::timeout, this, &TPlayer::PollTurn);
    m_stepTimer.setInterval(kStepIntervalMs);
    m_stepTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_stepTimer, &QTimer::timeout, this, &TPlayer::TransitionStep);
    m_overlayTimer.setSingleShot(true);
    connect(&m_overlayTimer, &QTimer::timeout, this, [this] {
        m_overlay.clear();
        update();
    });
    m_endTimer.setSingleShot(true);
    connect(&m_endTimer, &QTimer::timeout, this, &TPlayer::End);
    m_refineTimer.setInterval(5);
    connect(&m_refineTimer, &QTimer::timeout, this, &TPlayer::RefineFirst);
}

TPlayer::~TPlayer()
{
    // A decode still running finishes before its frame goes.
    if (m_pending.valid())
        m_pending.wait();
    if (m_refine.valid())
        m_refine.wait();
    InhibitScreensaver(false);
}

QString TPlayer::Text(int number) const
{
    return TIniFile(m_options.Folder + QStringLiteral("Language.ini"))
        .ReadString(QStringLiteral("PLAYER"), QString::number(number), QString());
}

void TPlayer::LoadShows()
{
    m_settings = ReadPlayerSettings(m_options.Folder + QStringLiteral("Settings.ini"));
    TStringList effects;
    try {
        LoadEffectList(effects, m_options.Folder + QStringLiteral("Effects.ini"));
    } catch (...) {
        // Without an effect list every turn is a cut.
    }
    m_effectLines = effects.List();

    QStringList folders;
    switch (m_options.Mode) {
    case TPlayerOptions::TMode::Test:
        if (const QString last = LastWrittenSlideshow(m_options.Folder); !last.isEmpty())
            folders.append(last);
        break;
    case TPlayerOptions::TMode::PlayList:
        folders = PlayerPlayList(m_options.Folder);
        break;
    case TPlayerOptions::TMode::Screensaver:
        folders = PlayerSlideshows(m_options.Folder);
        // A screensaver always runs full screen and never ends by itself.
        m_settings.StopDiashowAtEnd = false;
        m_settings.Manuell = false;
        break;
    }
    for (const QString& folder : folders) {
        TShow show = ReadShow(m_options.Folder + folder);
        if (show.Pictures.isEmpty())
            continue;
        const int s = int(m_shows.size());
        m_shows.append(show);
        for (int p = 0; p < show.Pictures.size(); ++p)
            m_items.append({s, p});
    }
}

bool TPlayer::Start()
{
    LoadShows();
    if (m_items.isEmpty())
        return false;
    setTitle(m_shows.first().Title);
    if (m_options.HackProtocol && m_options.WindowId != 0) {
        if (QWindow* host = QWindow::fromWinId(WId(m_options.WindowId))) {
            setParent(host);
            const QSize hostSize = NativeWindowSize(WId(m_options.WindowId));
            setGeometry(QRect(QPoint(0, 0), hostSize.isEmpty() ? host->size() : hostSize));
            show();
        } else {
            ShowFullScreen();
        }
    } else if (m_settings.Fullscreen || m_options.Mode == TPlayerOptions::TMode::Screensaver) {
        ShowFullScreen();
    } else {
        const QSize available = screen() ? screen()->availableSize() : QSize(1024, 768);
        resize(available * 3 / 4);
        show();
    }
    BeginShow();
    // After the first decode has started.
    if (m_options.Mode != TPlayerOptions::TMode::Screensaver)
        InhibitScreensaver(true);
    return true;
}

void TPlayer::ShowFullScreen()
{
    // Without a window manager nobody resizes a full-screen window: it is given the screen.
    if (const QScreen* s = screen())
        setGeometry(s->geometry());
    // The pointer is hidden over a full screen only; a show in a window keeps it.
    setCursor(Qt::BlankCursor);
    showFullScreen();
}

QSize TPlayer::TargetFrameSize() const
{
    if (!m_fixedFrameSize.isEmpty())
        return m_fixedFrameSize;
    if (m_options.HackProtocol || m_settings.Fullscreen || m_options.Mode == TPlayerOptions::TMode::Screensaver) {
        if (const QScreen* s = screen(); s && !m_options.HackProtocol)
            return s->size();
    }
    return size().isEmpty() ? QSize(1024, 768) : size();
}

void TPlayer::BeginShow()
{
    m_frameSize = TargetFrameSize();
    if (m_sinceStart)
        std::fprintf(stderr, "show-begin-ms %lld\n", static_cast<long long>(m_sinceStart->elapsed()));
    m_screen = QImage(m_frameSize, QImage::Format_RGB32);
    m_screen.fill(ColorOfTColor(m_settings.BKGColor));
    if (m_options.Mode != TPlayerOptions::TMode::Screensaver)
        SetOverlay(Text(100001), 0);
    update();
    Prepare(0, 1);
    TurnTo(0, 1);
}

int TPlayer::NextIndex(int index, int step) const
{
    const int n = int(m_items.size());
    return ((index + step) % n + n) % n;
}

bool TPlayer::IsLast(int index) const
{
    return index == int(m_items.size()) - 1;
}

TPreparedFrame TPlayer::PrepareSync(int index, int direction, QSize size, bool quick) const
{
    // A picture that cannot be read is passed over: the one after it is tried, once round.
    TPreparedFrame out;
    const int n = int(m_items.size());
    for (int tries = 0; tries < n; ++tries, index = NextIndex(index, direction)) {
        const TItem item = m_items[index];
        const TShowPicture& picture = m_shows[item.Show].Pictures[item.Picture];
        QElapsedTimer decodeClock;
        decodeClock.start();
        const QImage fitted = DecodeForScreen(picture.Path, size, quick);
        if (m_sinceStart)
            std::fprintf(stderr, "decode-ms %lld (at %lld)\n", static_cast<long long>(decodeClock.elapsed()),
                         static_cast<long long>(m_sinceStart->elapsed()));
        if (fitted.isNull())
            continue;
        out.Index = index;
        out.Quick = quick;
        out.Frame = ComposeFrame(fitted, picture, m_settings, size);
        break;
    }
    if (out.Index < 0 || m_settings.EffectMode == TEffectMode::Off || m_effectLines.isEmpty())
        return out;
    // The effect: line Effect of Effects.ini, or any line at random.
    const int line = m_settings.EffectMode == TEffectMode::Random
                         ? int(QRandomGenerator::global()->bounded(quint32(m_effectLines.size())))
                         : m_settings.Effect - 1;
    if (line < 0 || line >= m_effectLines.size())
        return out;
    TEffectLine effect;
    try {
        effect = ParseEffectLine(m_effectLines[line]);
    } catch (...) {
        return out;  // a line that is no effect: a cut
    }
    LEfxEffectParams params;
    params.Effect = std::uint32_t(effect.PaintEffect);
    params.Grain = std::uint32_t(std::clamp(effect.EffectGrain, 1, 256));
    params.WandSize = std::uint32_t(std::max(0, effect.WandSize));
    params.WandColor = 0;
    if (!L_EfxIsEffectNumber(params.Effect) || L_EfxEffectSteps(params.Effect) <= 1)
        return out;
    LEfxEffectPlan* plan = nullptr;
    if (L_EfxCreateEffectPlan(&params, size.width(), size.height(), &plan) != LE_SUCCESS)
        return out;
    out.Plan = std::shared_ptr<LEfxEffectPlan>(plan, DestroyPlan);
    out.TransitionMs = 600 + 150 * std::clamp(effect.EffectDelay, 0, 10);
    return out;
}

void TPlayer::Prepare(int index, int direction)
{
    if (m_pending.valid() && m_pendingIndex == index && m_pendingDirection == direction)
        return;
    if (m_pending.valid())
        m_pending.wait();
    m_pendingIndex = index;
    m_pendingDirection = direction;
    const QSize size = m_frameSize;
    // The first picture shows at once at half the detail; its full frame follows.
    const bool quick = m_index < 0;
    m_pending = std::async(std::launch::async,
                           [this, index, direction, size, quick] { return PrepareSync(index, direction, size, quick); });
}

void TPlayer::TurnTo(int index, int direction)
{
    if (m_ended)
        return;
    m_holdTimer.stop();
    Prepare(index, direction);
    m_turnTarget = index;
    m_turnClock.start();
    PollTurn();
    if (m_turnTarget >= 0)
        m_pollTimer.start();
}

void TPlayer::PollTurn()
{
    if (m_turnTarget < 0 || !m_pending.valid())
        return;
    if (m_pending.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    m_pollTimer.stop();
    const qint64 waited = m_turnClock.elapsed();
    if (m_index >= 0) {
        m_turnWaitMs += waited;
        if (m_sinceStart)
            std::fprintf(stderr, "turn-wait-ms %lld\n", static_cast<long long>(waited));
    }
    m_turnTarget = -1;
    TPreparedFrame prepared = m_pending.get();
    m_pendingIndex = -1;
    if (prepared.Index < 0) {
        // Not one picture can be read.
        End();
        return;
    }
    StartTransition(std::move(prepared));
}

void TPlayer::StartTransition(TPreparedFrame prepared)
{
    const bool first = m_index < 0;
    if (first && m_options.Mode != TPlayerOptions::TMode::Screensaver)
        SetOverlay(Text(100004), kQuitHintMs);
    if (!prepared.Plan || first) {
        m_transition.To = std::move(prepared);
        FinishTransition();
        return;
    }
    m_transition.Active = true;
    m_transition.To = std::move(prepared);
    m_transition.Step = 0;
    m_transition.Steps = LEFX_EFFECT_STEPS;
    m_transition.Clock.start();
    TransitionStep();
    m_stepTimer.start();
}

void TPlayer::TransitionStep()
{
    if (!m_transition.Active)
        return;
    TTransition& t = m_transition;
    const qint64 elapsed = t.Clock.elapsed();
    unsigned step = t.To.TransitionMs > 0 ? unsigned(elapsed * t.Steps / t.To.TransitionMs) : t.Steps;
    step = std::clamp(step, std::min(t.Step + 1, t.Steps), t.Steps);
    LEfxSurface screen = SurfaceOf(m_screen);
    LEfxSurface to = SurfaceOf(t.To.Frame);
    const LRect rect{0, 0, m_screen.width(), m_screen.height()};
    if (t.Step == 0 && m_sinceStart)
        std::fprintf(stderr, "turn-first-step-ms %lld\n", static_cast<long long>(m_turnClock.elapsed()));
    L_EfxPaintEffectSteps(t.To.Plan.get(), &screen, &rect, &to, t.Step, step, t.Steps);
    t.Step = step;
    update();
    if (t.Step >= t.Steps)
        FinishTransition();
}

void TPlayer::FinishTransition()
{
    m_stepTimer.stop();
    m_transition.Active = false;
    m_screen = m_transition.To.Frame;
    m_index = m_transition.To.Index;
    if (m_transition.To.Quick) {
        const int index = m_index;
        const QSize size = m_frameSize;
        m_refine = std::async(std::launch::async, [this, index, size] { return PrepareSync(index, 1, size, false); });
        m_refineTimer.start();
    }
    m_transition.To = TPreparedFrame();
    if (m_overlay == Text(100001))
        m_overlay.clear();
    update();
    MusicForShow(m_items[m_index].Show);
    emit PictureShown(m_index);
    // The next picture is made while this one shows.
    const bool stops = m_settings.StopDiashowAtEnd && IsLast(m_index);
    if (!stops)
        Prepare(NextIndex(m_index, 1), 1);
    if (!m_settings.Manuell && !m_paused)
        m_holdTimer.start(int(m_shows[m_items[m_index].Show].Seconds * 1000));
}

void TPlayer::RefineFirst()
{
    if (!m_refine.valid() || m_refine.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    m_refineTimer.stop();
    const TPreparedFrame full = m_refine.get();
    // Only while the quick frame is still what the screen shows.
    if (full.Index == m_index && !m_transition.Active && !m_ended) {
        m_screen = full.Frame;
        update();
    }
}

void TPlayer::HoldTimeout()
{
    if (m_paused || m_ended)
        return;
    if (m_settings.StopDiashowAtEnd && IsLast(m_index)) {
        ShowEnd();
        return;
    }
    TurnTo(NextIndex(m_index, 1), 1);
}

void TPlayer::ShowEnd()
{
    if (m_endShown)
        return;
    m_endShown = true;
    m_holdTimer.stop();
    SetOverlay(Text(100003), 0);
    m_endTimer.start(kEndTextMs);
}

void TPlayer::End()
{
    if (m_ended)
        return;
    m_ended = true;
    m_holdTimer.stop();
    m_pollTimer.stop();
    m_stepTimer.stop();
    m_music.Stop();
    InhibitScreensaver(false);
    emit Ended();
}

void TPlayer::SetOverlay(const QString& text, int ms)
{
    m_overlay = text;
    if (ms > 0)
        m_overlayTimer.start(ms);
    else
        m_overlayTimer.stop();
    update();
}

void TPlayer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect target(QPoint(0, 0), size());
    if (m_screen.size() == size())
        painter.drawImage(0, 0, m_screen);
    else if (!m_screen.isNull())
        painter.drawImage(target, m_screen);
    if (!m_overlay.isEmpty()) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(std::max(12, height() / 40));
        painter.setFont(font);
        const QFontMetrics metrics(font);
        const QRect box(10, 10, metrics.horizontalAdvance(m_overlay) + 20, metrics.height() + 10);
        painter.fillRect(box, ColorOfTColor(m_settings.BKGColor));
        painter.setPen(ColorOfTColor(m_settings.TextColor));
        painter.drawText(box, Qt::AlignCenter, m_overlay);
    }
    if (m_index >= 0 && !m_firstPictureReported && m_sinceStart) {
        m_firstPictureReported = true;
        std::fprintf(stderr, "first-picture-ms %lld\n", static_cast<long long>(m_sinceStart->elapsed()));
    }
}

void TPlayer::resizeEvent(QResizeEvent* event)
{
    QRasterWindow::resizeEvent(event);
    update();
}

void TPlayer::keyPressEvent(QKeyEvent* event)
{
    if (m_options.Mode == TPlayerOptions::TMode::Screensaver && !m_options.HackProtocol) {
        End();
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        End();
        return;
    }
    if (m_index < 0 || m_endShown || m_transition.Active || m_turnTarget >= 0)
        return;
    if (m_settings.Manuell) {
        const bool forward = key == Qt::Key_Right || key == Qt::Key_Down || key == Qt::Key_PageDown;
        const bool back = key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_PageUp;
        if (forward) {
            if (m_settings.StopDiashowAtEnd && IsLast(m_index))
                ShowEnd();
            else
                TurnTo(NextIndex(m_index, 1), 1);
        } else if (back && (!m_settings.StopDiashowAtEnd || m_index > 0)) {
            TurnTo(NextIndex(m_index, -1), -1);
        }
        return;
    }
    if (key == Qt::Key_Space) {
        m_paused = !m_paused;
        if (m_paused) {
            m_holdTimer.stop();
            SetOverlay(Text(100002), 0);
        } else {
            SetOverlay(QString(), 0);
            HoldTimeout();
        }
    }
}

void TPlayer::mouseMoveEvent(QMouseEvent* event)
{
    // A screensaver started by its name ends when the mouse moves (not at the first event,
    // which only tells where the pointer stands).
    if (m_options.Mode != TPlayerOptions::TMode::Screensaver || m_options.HackProtocol)
        return;
    const QPoint pos = event->position().toPoint();
    if (!m_mouseSeen) {
        m_mouseSeen = true;
        m_firstMouse = pos;
    } else if ((pos - m_firstMouse).manhattanLength() > 4) {
        End();
    }
}

void TPlayer::mousePressEvent(QMouseEvent*)
{
    if (m_options.Mode == TPlayerOptions::TMode::Screensaver && !m_options.HackProtocol)
        End();
}

// ---- music --------------------------------------------------------------------------------------

void TPlayer::MusicForShow(int show)
{
    if (show == m_musicShow)
        return;
    m_musicShow = show;
    m_music.Play(m_shows[show].AudioTitles);
}

// ---- the desktop's screensaver ------------------------------------------------------------------

void TPlayer::InhibitScreensaver(bool inhibit)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (inhibit == m_inhibited || !bus.isConnected())
        return;
    const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
    const QString path = QStringLiteral("/org/freedesktop/ScreenSaver");
    if (inhibit) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Inhibit"));
        call << QStringLiteral("Korvanta") << QStringLiteral("Slideshow");
        const QDBusMessage reply = bus.call(call, QDBus::Block, 1000);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            m_inhibitCookie = reply.arguments().first().toUInt();
            m_inhibited = true;
        }
    } else {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("UnInhibit"));
        call << m_inhibitCookie;
        bus.call(call, QDBus::Block, 1000);
        m_inhibited = false;
    }
}
