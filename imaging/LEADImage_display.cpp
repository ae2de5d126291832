// TLEADImage: the display geometry (layout, zoom, centring, scroll positions and bars), its
// writers, client to bitmap coordinates, and the resize, key and timer events of the window.
// The arithmetic is TLeadGeometry's (LEADGeometry.cpp); this file adds the window's part.
#include "imaging/LEADImage.h"

#include "platform/vcl/Forms.h"
#include "platform/vcl/Guard.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>

// ---- layout --------------------------------------------------------------------------------

QSize TLEADImage::ClientSize() const
{
    // The scroll bars are shown by policy alone (SyncScrollBars), so the client area follows
    // from the policies without waiting for the scroll area to lay out its children.
    const QRect contents = contentsRect();
    int w = contents.width();
    int h = contents.height();
    if (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        w -= verticalScrollBar()->sizeHint().width();
    if (horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        h -= horizontalScrollBar()->sizeHint().height();
    return QSize(std::max(0, w), std::max(0, h));
}

TLeadLayoutInput TLEADImage::LayoutInput() const
{
    TLeadLayoutInput in;
    const QSize client = ClientSize();
    in.ClientWidth = client.width();
    in.ClientHeight = client.height();
    in.FrameWidth = FrameWidth();
    in.PictureWidth = m_infoWidth;
    in.PictureHeight = m_infoHeight;
    in.PictureXResolution = m_infoXResolution;
    in.PictureYResolution = m_infoYResolution;
    in.ScreenXDpi = logicalDpiX();
    in.ScreenYDpi = logicalDpiY();
    in.SizeMode = TLeadSizeMode(m_paintSizeMode);
    in.UseDPI = m_paintSizeUseDPI;
    in.AutoSetRects = m_autoSetRects;
    in.AutoScroll = m_autoScroll;
    in.AutoSize = m_autoSize && m_allocated;
    in.CenterImage = m_centerImage;
    in.Scrolling = m_scrolling;
    return in;
}

void TLEADImage::RecalcLayout()
{
    if (m_stateFlags & (kStateDestroying | kStateLayout))
        return;
    m_stateFlags |= kStateLayout;
    TPoint moved;
    // A scroll bar that appears or goes changes the client area, so the layout runs again.
    // After two rounds bars may only appear: a picture fitted to the width alone could
    // otherwise make the vertical bar come and go for ever.
    for (int round = 0; round < 4; ++round) {
        const TPoint m = m_geom.Recalc(LayoutInput());
        moved.X += m.X;
        moved.Y += m.Y;
        if (!SyncScrollBars(true, round < 2))
            break;
    }
    MoveChildren(moved.X, moved.Y);
    if (m_autoSize && m_allocated) {
        const int f = FrameWidth();
        const QSize wanted(std::max(0, m_geom.Dst.Width + 2 * f), std::max(0, m_geom.Dst.Height + 2 * f));
        if (wanted != size()) {
            resize(wanted);
            m_geom.Recalc(LayoutInput());
        }
    }
    m_stateFlags &= ~kStateLayout;
    UpdatePanWindow();
    UpdateMagGlass();
}

bool TLEADImage::SyncScrollBars(bool showBars, bool mayHide)
{
    const bool bars = m_autoScroll && !(m_autoSize && m_allocated);
    bool changed = false;
    if (showBars) {
        const auto policy = [&](int maximum, Qt::ScrollBarPolicy now) {
            if (bars && maximum > 0)
                return Qt::ScrollBarAlwaysOn;
            return mayHide || !bars ? Qt::ScrollBarAlwaysOff : now;
        };
        const Qt::ScrollBarPolicy h = policy(m_geom.HScrollMax, horizontalScrollBarPolicy());
        const Qt::ScrollBarPolicy v = policy(m_geom.VScrollMax, verticalScrollBarPolicy());
        changed = h != horizontalScrollBarPolicy() || v != verticalScrollBarPolicy();
        setHorizontalScrollBarPolicy(h);
        setVerticalScrollBarPolicy(v);
    }
    SetScrollBar(0, true, bars ? m_geom.HScrollMax : 0, 0);
    SetScrollBar(1, true, bars ? m_geom.VScrollMax : 0, 0);
    horizontalScrollBar()->setValue(m_geom.HScrollPos);
    verticalScrollBar()->setValue(m_geom.VScrollPos);
    return changed;
}

void TLEADImage::MoveChildren(int dx, int dy)
{
    if ((m_stateFlags & kStateDestroying) || (dx == 0 && dy == 0))
        return;
    const QWidget* hbar = horizontalScrollBar()->parentWidget();
    const QWidget* vbar = verticalScrollBar()->parentWidget();
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || child == viewport() || child == hbar || child == vbar ||
            child == cornerWidget())
            continue;
        child->move(child->x() - dx, child->y() - dy);
    }
}

void TLEADImage::scrollContentsBy(int, int)
{
    // The control keeps the scroll positions; its scroll bars only show them.
}

void TLEADImage::RefreshBitmapInfo()
{
    // The record's geometry counts while a load fills its pixels.
    m_infoWidth = m_bitmap.ViewWidth();
    m_infoHeight = m_bitmap.ViewHeight();
    m_infoBits = m_bitmap.BitsPerPixel;
    m_infoXResolution = m_bitmap.XResolution;
    m_infoYResolution = m_bitmap.YResolution;
    m_transparentPaint = m_bitmap.Flags >= 128;
}

void TLEADImage::ResetSrcRects() { m_geom.ResetSrcRects(m_infoWidth, m_infoHeight); }

void TLEADImage::ResetRectsForBitmap()
{
    RefreshBitmapInfo();
    if (!m_autoSetRects)
        return;
    MoveChildren(-m_geom.HScrollPos, -m_geom.VScrollPos);
    m_geom.HScrollPos = m_geom.VScrollPos = 0;
    ResetSrcRects();
    RecalcLayout();
}

void TLEADImage::CenterDstRect()
{
    m_geom.CenterDstRect(LayoutInput());
    if (m_autoRepaint)
        Invalidate();
}

// ---- writers ---------------------------------------------------------------------------------

void TLEADImage::LayoutChanged()
{
    RecalcLayout();
    if (m_autoRepaint)
        Invalidate();
    SetLastError(1);
}

void TLEADImage::setPaintSizeMode(TPaintSizeMode mode)
{
    m_paintSizeMode = mode;
    if (mode == smNormal) {
        const TPoint moved = m_geom.ResetToNormal(m_infoWidth, m_infoHeight);
        MoveChildren(moved.X, moved.Y);
    }
    LayoutChanged();
}

void TLEADImage::setPaintZoomFactor(int percent)
{
    if (percent < 0)
        RaiseOperationError(QStringLiteral("PaintZoomFactor"), QStringLiteral("Invalid value passed."), -13);
    // A form description sets the mode itself.
    if (!IsLoading(this))
        m_paintSizeMode = smZoom;
    m_geom.ZoomX = m_geom.ZoomY = percent / 100.0;
    setPaintSizeMode(m_paintSizeMode);
}

int TLEADImage::PaintZoomFactor() const
{
    // A read leaves LastError alone, so that a refused write's code can still be read after it.
    return m_geom.ZoomPercent(TLeadSizeMode(m_paintSizeMode));
}

void TLEADImage::setPaintSizeUseDPI(bool on)
{
    m_paintSizeUseDPI = on;
    LayoutChanged();
}

void TLEADImage::setCenterImage(bool on)
{
    m_centerImage = on;
    LayoutChanged();
}

void TLEADImage::setAutoSetRects(bool on)
{
    m_autoSetRects = on;
    if (on) {
        ResetSrcRects();
        RecalcLayout();
    }
    if (m_autoRepaint)
        Invalidate();
    SetLastError(1);
}

void TLEADImage::setAutoRepaint(bool on)
{
    m_autoRepaint = on;
    if (on)
        Invalidate();
    SetLastError(1);
}

void TLEADImage::SetDstEdge(int& edge, int value, bool horizontal)
{
    if (!m_autoScroll) {
        edge = value;
        LayoutChanged();
        return;
    }
    if (value < 1) {
        const int delta = edge - value;
        if (horizontal)
            ScrollHorz(delta);
        else
            ScrollVert(delta);
    }
    SetLastError(1);
}

void TLEADImage::setDstLeft(int value) { SetDstEdge(m_geom.Dst.Left, value, true); }
void TLEADImage::setDstTop(int value) { SetDstEdge(m_geom.Dst.Top, value, false); }

void TLEADImage::setDstWidth(int value)
{
    m_geom.SetDstWidth(value, m_infoWidth);
    LayoutChanged();
}

void TLEADImage::setDstHeight(int value)
{
    m_geom.SetDstHeight(value, m_infoHeight);
    LayoutChanged();
}

int TLEADImage::SetDstRect(int Left, int Top, int Width, int Height)
{
    setDstLeft(Left);
    setDstTop(Top);
    setDstWidth(Width);
    setDstHeight(Height);
    m_geom.DstRect = Bounds(Left + FrameWidth(), Top + FrameWidth(), Width, Height);
    if (m_autoRepaint)
        Invalidate();
    SetLastError(1);
    return 1;
}

int TLEADImage::SetDstClipRect(int Left, int Top, int Width, int Height)
{
    m_geom.DstClip = TLeadBox(Left, Top, Width, Height);
    if (m_autoRepaint)
        Invalidate();
    SetLastError(1);
    return 1;
}

int TLEADImage::ClientToBitmapX(int X, int Y) const
{
    int x = 0, y = 0;
    if (!m_geom.ClientToView(X, Y, FrameWidth(), x, y))
        return 0;
    return LeadViewToStored(x, y, m_bitmap.ViewPerspective, m_bitmap.Width, m_bitmap.Height).X;
}

int TLEADImage::ClientToBitmapY(int X, int Y) const
{
    int x = 0, y = 0;
    if (!m_geom.ClientToView(X, Y, FrameWidth(), x, y))
        return 0;
    return LeadViewToStored(x, y, m_bitmap.ViewPerspective, m_bitmap.Width, m_bitmap.Height).Y;
}

// ---- window events ---------------------------------------------------------------------------

void TLEADImage::resizeEvent(QResizeEvent*)
{
    Guard([this] {
        m_vScrollBarWidth = verticalScrollBar()->sizeHint().width();
        m_hScrollBarHeight = horizontalScrollBar()->sizeHint().height();
        RecalcLayout();
        if (OnResize)
            OnResize(this);
    });
}

void TLEADImage::keyPressEvent(QKeyEvent* event)
{
    int key = VirtualKeyCode(event->key());
    Guard([&] {
        // The paging and arrow keys scroll first (Home and End do not), then OnKeyDown.
        if (m_enableKeyboard) {
            static constexpr struct {
                int vk, bar, code;
            } kScrollKeys[] = {{VK_PRIOR, 1, scPageUp}, {VK_NEXT, 1, scPageDown}, {VK_UP, 1, scLineUp},
                               {VK_DOWN, 1, scLineDown}, {VK_LEFT, 0, scLineUp}, {VK_RIGHT, 0, scLineDown}};
            for (const auto& k : kScrollKeys)
                if (k.vk == key)
                    ScrollMessage(k.bar, k.code);
        }
        if (hasFocus() && OnKeyDown) {
            TShiftState shift = 0;
            if (event->modifiers() & Qt::ShiftModifier)
                shift |= ssShift;
            if (event->modifiers() & Qt::ControlModifier)
                shift |= ssCtrl;
            if (event->modifiers() & Qt::AltModifier)
                shift |= ssAlt;
            OnKeyDown(this, key, shift);
        }
        // The character the key types, unless the handler took the key.
        const QString text = event->text();
        if (key != 0 && OnKeyPress && text.size() == 1 && !event->modifiers().testFlag(Qt::ControlModifier)) {
            QChar c = text.at(0);
            OnKeyPress(this, c);
        }
    });
    // The control keeps its keys; Return and Escape still reach the window (its default and
    // cancel buttons) unless the handler took them.
    const bool windowKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                           event->key() == Qt::Key_Escape;
    event->setAccepted(!windowKey || key == 0);
}

void TLEADImage::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_outlineTimer.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    Guard([this] { StepRegionOutline(); }, TGuardMode::Queue);
}

void TLEADImage::StepRegionOutline()
{
    ++m_outlinePhase;
    viewport()->update();  // the outline is an overlay: the back buffer stays
}

namespace {

// The local file of the first dropped item, or "" when it is none.
QString FirstDroppedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return !urls.isEmpty() && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

} // namespace

void TLEADImage::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_dropFilesAllowed && !FirstDroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TLEADImage::dropEvent(QDropEvent* event)
{
    const QString path = FirstDroppedFile(event->mimeData());
    if (!m_dropFilesAllowed || path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Guard([&] {
        if (OnDropFile)
            OnDropFile(this, path);
        if (m_dropAutoLoad)
            SetLastError(Load(path, 0, 1, -1));
    });
}

int TLEADImage::VirtualKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;  // the same codes as upper-case letters and digits
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    static constexpr struct {
        int qt;
        int vk;
    } kKeys[] = {
        {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},         {Qt::Key_Backtab, 9},    {Qt::Key_Return, 13},
        {Qt::Key_Enter, 13},     {Qt::Key_Shift, 16},      {Qt::Key_Control, 17},   {Qt::Key_Alt, 18},
        {Qt::Key_Pause, 19},     {Qt::Key_CapsLock, 20},   {Qt::Key_Escape, 27},    {Qt::Key_Space, 32},
        {Qt::Key_PageUp, 33},    {Qt::Key_PageDown, 34},   {Qt::Key_End, 35},       {Qt::Key_Home, 36},
        {Qt::Key_Left, 37},      {Qt::Key_Up, 38},         {Qt::Key_Right, 39},     {Qt::Key_Down, 40},
        {Qt::Key_Print, 44},     {Qt::Key_Insert, 45},     {Qt::Key_Delete, 46},    {Qt::Key_Meta, 91},
        {Qt::Key_Menu, 93},      {Qt::Key_NumLock, 144},   {Qt::Key_ScrollLock, 145}, {Qt::Key_Semicolon, 186},
        {Qt::Key_Plus, 187},     {Qt::Key_Equal, 187},     {Qt::Key_Comma, 188},    {Qt::Key_Minus, 189},
        {Qt::Key_Period, 190},   {Qt::Key_Slash, 191},     {Qt::Key_QuoteLeft, 192}, {Qt::Key_BracketLeft, 219},
        {Qt::Key_Backslash, 220}, {Qt::Key_BracketRight, 221}, {Qt::Key_Apostrophe, 222},
    };
    for (const auto& k : kKeys)
        if (k.qt == qtKey)
            return k.vk;
    return 0;
}
