// The list control: construction, properties, geometry and drawing.
#include "platform/vcl/ListBox.h"
#include "platform/vcl/ListBoxInternal.h"

#include "platform/vcl/CanvasText.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Guard.h"
#include "platform/vcl/StringList.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimerEvent>

#include <algorithm>
#include <numeric>
using namespace listbox_detail;


void FillSolid(TCanvas& canvas, const TRect& r, TColor color)
{
    if (r.IsEmpty())
        return;
    const QColor c = ToQColor(ColorToRGB(color));
    canvas.WithPainter([&](QPainter& p) { p.fillRect(r.ToQRect(), c); });
}

// ---- properties -----------------------------------------------------------------------------

void TCustomListBox::setStyle(TListBoxStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    RemeasureItems();
}

int TCustomListBox::StandardItemHeight() const { return std::max(1, CanvasTextMetrics().LineHeight(m_font)); }

int TCustomListBox::ItemHeight() const { return m_style == lbStandard ? StandardItemHeight() : m_itemHeight; }

void TCustomListBox::setItemHeight(int height)
{
    if (height <= 0 || height == m_itemHeight)
        return;
    m_itemHeight = height;
    if (m_style == lbOwnerDrawFixed)
        RemeasureItems();
}

void TCustomListBox::setMultiSelect(bool on)
{
    if (on == m_multiSelect)
        return;
    if (on) {
        for (int i = 0; i < Count(); ++i)
            m_entries[size_t(i)].selected = i == m_itemIndex;
    } else {
        int keep = -1;
        if (m_itemIndex >= 0 && m_entries[size_t(m_itemIndex)].selected)
            keep = m_itemIndex;
        for (int i = 0; i < Count() && keep < 0; ++i)
            if (m_entries[size_t(i)].selected)
                keep = i;
        for (auto& e : m_entries)
            e.selected = false;
        m_itemIndex = keep;
    }
    m_multiSelect = on;
    viewport()->update();
}

void TCustomListBox::setColor(TColor color)
{
    m_color = color;
    viewport()->update();
}

void TCustomListBox::setFontOf(const TFont& font)
{
    m_font = font;
    FontChanged();
}

void TCustomListBox::FontChanged()
{
    if (m_style == lbOwnerDrawFixed)
        viewport()->update();
    else
        RemeasureItems();
}

void TCustomListBox::setSorted(bool on)
{
    if (on == m_sorted)
        return;
    m_sorted = on;
    if (on)
        SortItems();
}

// ---- geometry -------------------------------------------------------------------------------

void TCustomListBox::EnsureLayout() const
{
    if (!m_layoutDirty && m_tops.size() == m_entries.size() + 1)
        return;
    m_tops.resize(m_entries.size() + 1);
    int y = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        m_tops[i] = y;
        y += m_entries[i].height;
    }
    m_tops.back() = y;
    m_layoutDirty = false;
}

int TCustomListBox::ItemTop(int index) const
{
    EnsureLayout();
    return m_tops[size_t(std::clamp(index, 0, Count()))];
}

int TCustomListBox::ClientWidth() const
{
    int w = contentsRect().width();
    if (verticalScrollBar()->maximum() > 0 && verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        w -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    return std::max(w, 0);
}

int TCustomListBox::ClientHeight() const
{
    int h = contentsRect().height();
    if (horizontalScrollBar()->maximum() > 0 && horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        h -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, horizontalScrollBar());
    return std::max(h, 0);
}

int TCustomListBox::MaxTopIndex() const
{
    const int n = Count();
    if (n == 0)
        return 0;
    EnsureLayout();
    const int total = m_tops.back();
    const int ch = ClientHeight();
    if (total <= ch)
        return 0;
    const auto it = std::lower_bound(m_tops.begin(), m_tops.begin() + n, total - ch);
    return std::min(int(it - m_tops.begin()), n - 1);
}

int TCustomListBox::VisibleCount() const
{
    const int n = Count();
    const int top = TopIndex();
    const int ch = ClientHeight();
    int count = 0;
    for (int i = top, used = 0; i < n; ++i) {
        used += m_entries[size_t(i)].height;
        if (used > ch)
            break;
        ++count;
    }
    return std::max(count, 1);
}

int TCustomListBox::TopIndex() const
{
    // The bar may still hold a place from before items went during an update.
    return std::clamp(verticalScrollBar()->value(), 0, std::max(0, Count() - 1));
}

void TCustomListBox::setTopIndex(int index)
{
    UpdateScrollBars();
    verticalScrollBar()->setValue(std::clamp(index, 0, verticalScrollBar()->maximum()));
}

void TCustomListBox::ScrollLines(int lines) { setTopIndex(TopIndex() + lines); }

void TCustomListBox::ScrollIntoView(int index)
{
    if (index < 0 || index >= Count())
        return;
    EnsureLayout();
    const int top = TopIndex();
    if (index < top) {
        setTopIndex(index);
        return;
    }
    const int bottom = m_tops[size_t(index) + 1];
    if (bottom - m_tops[size_t(top)] <= ClientHeight())
        return;
    const auto it = std::lower_bound(m_tops.begin(), m_tops.begin() + index, bottom - ClientHeight());
    setTopIndex(std::min(int(it - m_tops.begin()), index));
}

void TCustomListBox::setScrollWidth(int width)
{
    width = std::max(width, 0);
    if (width == m_scrollWidth)
        return;
    m_scrollWidth = width;
    UpdateScrollBars();
    viewport()->update();
}

int TCustomListBox::HorzScrollPos() const { return horizontalScrollBar()->value(); }

void TCustomListBox::setHorzScrollPos(int pos) { horizontalScrollBar()->setValue(pos); }

TRect TCustomListBox::ItemRect(int index) const
{
    if (index < 0 || index >= Count())
        return TRect();
    EnsureLayout();
    const int top = m_tops[size_t(index)] - m_tops[size_t(TopIndex())];
    return TRect(0, top, ClientWidth(), top + m_entries[size_t(index)].height);
}

int TCustomListBox::ItemAtPos(const TPoint& p, bool existing) const
{
    const int n = Count();
    const bool inside = p.X >= 0 && p.X < ClientWidth() && p.Y >= 0 && p.Y < ClientHeight();
    if (existing && !inside)
        return -1;
    if (n == 0)
        return existing ? -1 : 0;
    EnsureLayout();
    const int y = p.Y + m_tops[size_t(TopIndex())];
    if (y >= m_tops.back())
        return existing ? -1 : n;
    if (y < 0)
        return 0;
    const auto it = std::upper_bound(m_tops.begin(), m_tops.end(), y);
    return int(it - m_tops.begin()) - 1;
}

void TCustomListBox::UpdateScrollBars()
{
    EnsureLayout();
    // Twice: each bar's range decides whether the other bar leaves room for it.
    for (int pass = 0; pass < 2; ++pass) {
        QScrollBar* h = horizontalScrollBar();
        const int cw = ClientWidth();
        h->setRange(0, std::max(0, m_scrollWidth - cw));
        h->setPageStep(std::max(1, cw));
        QScrollBar* v = verticalScrollBar();
        v->setRange(0, MaxTopIndex());
        v->setPageStep(VisibleCount());
    }
}

void TCustomListBox::LayoutChanged(int from)
{
    if (Updating())
        return;
    ItemsLaidOut();
    UpdateScrollBars();
    // Items below the view change nothing that shows but the scroll bar.
    const int top = from > 0 && from < Count() ? ItemRect(from).Top : 0;
    if (top < viewport()->height())
        viewport()->update(QRect(0, std::max(top, 0), viewport()->width(), viewport()->height()));
}

void TCustomListBox::InvalidateItem(int index)
{
    if (index < 0 || index >= Count() || Updating())
        return;
    const TRect r = ItemRect(index);
    viewport()->update(QRect(0, r.Top, viewport()->width(), r.Height()));
}

// ---- drawing --------------------------------------------------------------------------------

TCanvas& TCustomListBox::Canvas()
{
    if (!m_paintCanvas)
        throw Exception(QStringLiteral("The list's canvas is used outside of its drawing"));
    return *m_paintCanvas;
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    TCanvas& c = Canvas();
    const bool selected = state & odSelected;
    c.Brush.Color = selected ? clHighlight : m_color;
    c.Brush.Style = bsSolid;
    FillSolid(c, rect, c.Brush.Color);
    TFont& font = CanvasFont(c);
    font = m_font;
    if (state & odDisabled)
        font.Color = clGrayText;
    else if (selected)
        font.Color = clHighlightText;
    TextRect(c, rect, rect.Left + 2 - HorzScrollPos(), rect.Top, m_entries[size_t(index)].text);
    if (state & odFocused)
        DrawFocusRect(c, rect);
}

void TCustomListBox::paintEvent(QPaintEvent* event)
{
    Guard([&] {
        FlushRemeasure();
        QPainter painter(viewport());
        TCanvas canvas(&painter);
        const QRect dirty = event->rect();
        painter.fillRect(dirty, ToQColor(ColorToRGB(m_color)));
        struct Scope {
            TCanvas*& slot;
            ~Scope() { slot = nullptr; }
        } scope{m_paintCanvas};
        m_paintCanvas = &canvas;
        const int height = viewport()->height();
        for (int i = TopIndex(); i < Count(); ++i) {
            const TRect r = ItemRect(i);
            if (r.Top >= height)
                break;
            if (r.Bottom <= dirty.top() || r.Top > dirty.bottom())
                continue;
            canvas.Pen = TPen();
            canvas.Brush = TBrush{m_color, bsSolid};
            canvas.ResetClipRect();
            CanvasFont(canvas) = m_font;
            DrawItem(i, r, ItemState(i));
        }
    }, TGuardMode::Queue);
}

QSize TCustomListBox::sizeHint() const { return QSize(121, 97); }
