#include "platform/vcl/Application.h"

#include "platform/vcl/AppInternal.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <memory>
#include <vector>

namespace {

TApplication g_application;
TScreen g_screen;

int g_longWorkDepth = 0;
int g_processingDepth = 0;
QPointer<TForm> g_heldClose;
bool g_replayQueued = false;

void ReplayHeldClose()
{
    if (!g_heldClose || g_replayQueued)
        return;
    g_replayQueued = true;
    QPointer<TForm> form = g_heldClose;
    QTimer::singleShot(0, form, [form] {
        g_replayQueued = false;
        if (form && g_heldClose == form) {
            g_heldClose = nullptr;
            form->close();
        }
    });
}


// Holds back the input events that reach the program while ProcessMessages runs (window
// system input stays queued by Qt itself; this catches the posted ones) and posts them again
// afterwards, in their order. A nested event loop (a modal window) gets its input.
class InputHolder : public QObject {
public:
    explicit InputHolder(QObject* parent) : QObject(parent) {}

    int level = -1;

    bool eventFilter(QObject* target, QEvent* e) override
    {
        if (g_processingDepth == 0 || !IsUserInput(e->type()) || QThread::currentThread()->loopLevel() != level)
            return false;
        m_held.push_back({QPointer<QObject>(target), std::unique_ptr<QEvent>(e->clone())});
        return true;
    }

    void Release()
    {
        std::vector<Held> held = std::move(m_held);
        m_held.clear();
        for (Held& h : held)
            if (h.target)
                QCoreApplication::postEvent(h.target, h.event.release());
    }

private:
    struct Held {
        QPointer<QObject> target;
        std::unique_ptr<QEvent> event;
    };
    std::vector<Held> m_held;
};

QPointer<InputHolder>& Holder()
{
    static QPointer<InputHolder> holder;
    return holder;
}

} // namespace

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

TApplication* const Application = &g_application;
TScreen* const Screen = &g_screen;

namespace app_detail {

bool HoldMainClose(TForm* form)
{
    if (!TLongWork::Active())
        return false;
    g_heldClose = form;
    return true;
}

} // namespace app_detail

TLongWork::TLongWork() { ++g_longWorkDepth; }

TLongWork::~TLongWork()
{
    --g_longWorkDepth;
    if (!Active())
        ReplayHeldClose();
}

bool TLongWork::Active() { return g_longWorkDepth > 0 || g_processingDepth > 0; }

QString TApplication::Title() const
{
    if (!m_title.isEmpty() || !QCoreApplication::instance())
        return m_title;
    return QCoreApplication::applicationName();
}

void TApplication::ProcessMessages()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (!Holder()) {
        Holder() = new InputHolder(app);
        app->installEventFilter(Holder());
    }
    if (g_processingDepth == 0)
        Holder()->level = QThread::currentThread()->loopLevel();
    ++g_processingDepth;
    struct Leave {
        ~Leave()
        {
            if (--g_processingDepth == 0 && Holder())
                Holder()->Release();
            if (!TLongWork::Active())
                ReplayHeldClose();
        }
    } leave;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TApplication::Terminate()
{
    m_terminated = true;
    if (QCoreApplication::instance() && QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

Qt::CursorShape CursorShapeOf(TCursor cursor)
{
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

void TScreen::SetCursor(TCursor cursor)
{
    if (cursor == m_cursor)
        return;
    m_cursor = cursor;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (cursor == crDefault) {
        if (m_overridden)
            QGuiApplication::restoreOverrideCursor();
        m_overridden = false;
        return;
    }
    const QCursor shape(CursorShapeOf(cursor));
    if (m_overridden) {
        QGuiApplication::changeOverrideCursor(shape);
    } else {
        QGuiApplication::setOverrideCursor(shape);
        m_overridden = true;
    }
}

namespace {
QSize PrimaryScreenSize()
{
    const QScreen* s = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
    return s ? s->geometry().size() : QSize(0, 0);
}
} // namespace

int TScreen::Width() const { return PrimaryScreenSize().width(); }
int TScreen::Height() const { return PrimaryScreenSize().height(); }

void SetBusyCursor(bool busy) { Screen->SetCursor(busy ? crHourGlass : crDefault); }
