#include "platform/vcl/ListBox.h"

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

namespace {

QString OutOfBounds(int index)
{
    return QStringLiteral("List index out of bounds (%1)").arg(index);
}

bool MouseButtonOf(Qt::MouseButton b, TMouseButton& out)
{
    switch (b) {
    case Qt::LeftButton: out = mbLeft; return true;
    case Qt::RightButton: out = mbRight; return true;
    case Qt::MiddleButton: out = mbMiddle; return true;
    default: return false;
    }
}

bool IsNavigationKey(int key)
{
    switch (key) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
    case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
        return true;
    default:
        return false;
    }
}

// Where an index lands after the item at `from` moved to `to`.
int MovedIndex(int i, int from, int to)
{
    if (i < 0)
        return i;
    if (i == from)
        return to;
    if (from < to && i > from && i <= to)
        return i - 1;
    if (from > to && i >= to && i < from)
        return i + 1;
    return i;
}

} // namespace

void FillSolid(TCanvas& canvas, const TRect& r, TColor color)
{
    if (r.IsEmpty())
        return;
    const QColor c = ToQColor(ColorToRGB(color));
    canvas.WithPainter([&](QPainter& p) { p.fillRect(r.ToQRect(), c); });
}

// ---- TListBoxItems --------------------------------------------------------------------------

int TListBoxItems::Count() const { return m_owner->Count(); }

const QString& TListBoxItems::operator[](int index) const
{
    if (index < 0 || index >= Count())
        throw EStringListError(OutOfBounds(index));
    return m_owner->m_entries[size_t(index)].text;
}

void TListBoxItems::SetString(int index, const QString& s)
{
    (void)(*this)[index];
    m_owner->ChangeText(index, s);
}

void* TListBoxItems::Objects(int index) const
{
    (void)(*this)[index];
    return m_owner->m_entries[size_t(index)].object;
}

void TListBoxItems::SetObject(int index, void* object)
{
    (void)(*this)[index];
    m_owner->m_entries[size_t(index)].object = object;
}

int TListBoxItems::AddObject(const QString& s, void* object)
{
    int index = Count();
    if (m_owner->AddKeepsOrder()) {
        const auto& entries = m_owner->m_entries;
        const auto it = std::upper_bound(entries.begin(), entries.end(), s, [this](const QString& v, const auto& e) {
            return m_owner->CompareItems(v, e.text) < 0;
        });
        index = int(it - entries.begin());
    }
    return m_owner->InsertEntry(index, s, object);
}

void TListBoxItems::InsertObject(int index, const QString& s, void* object)
{
    if (index < 0 || index > Count())
        throw EStringListError(OutOfBounds(index));
    m_owner->InsertEntry(index, s, object);
}

void TListBoxItems::Delete(int index)
{
    (void)(*this)[index];
    m_owner->RemoveEntry(index);
}

void TListBoxItems::Move(int from, int to)
{
    if (from == to)
        return;
    (void)(*this)[from];
    (void)(*this)[to];
    m_owner->MoveEntry(from, to);
}

void TListBoxItems::Exchange(int a, int b)
{
    (void)(*this)[a];
    (void)(*this)[b];
    if (a == b)
        return;
    auto& entries = m_owner->m_entries;
    std::swap(entries[size_t(a)], entries[size_t(b)]);
    const auto swapIndex = [a, b](int& i) { i = i == a ? b : i == b ? a : i; };
    swapIndex(m_owner->m_itemIndex);
    swapIndex(m_owner->m_anchor);
    m_owner->m_pressIndex = -1;
    m_owner->m_layoutDirty = true;
    m_owner->LayoutChanged();
}

void TListBoxItems::Clear() { m_owner->ClearEntries(); }

int TListBoxItems::IndexOf(const QString& s) const
{
    const auto& entries = m_owner->m_entries;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].text.compare(s, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void TListBoxItems::BeginUpdate() { m_owner->BeginItemsUpdate(); }

void TListBoxItems::EndUpdate() { m_owner->EndItemsUpdate(); }

int TListBoxItems::UpdateCount() const { return m_owner->m_updateCount; }

QString TListBoxItems::Text() const
{
    QString out;
    for (const auto& e : m_owner->m_entries)
        out += e.text + QStringLiteral("\r\n");
    return out;
}

void TListBoxItems::SetText(const QString& text)
{
    TStringList lines;
    lines.SetText(text);
    Assign(lines.List());
}

void TListBoxItems::Assign(const QStringList& lines)
{
    BeginUpdate();
    struct End {
        TListBoxItems* items;
        ~End() { items->EndUpdate(); }
    } end{this};
    Clear();
    AddStrings(lines);
}

void TListBoxItems::Assign(const TStringList& lines) { Assign(lines.List()); }

void TListBoxItems::AddStrings(const QStringList& lines)
{
    BeginUpdate();
    struct End {
        TListBoxItems* items;
        ~End() { items->EndUpdate(); }
    } end{this};
    for (const QString& line : lines)
        Add(line);
}

QStringList TListBoxItems::ToStringList() const
{
    QStringList out;
    out.reserve(Count());
    for (const auto& e : m_owner->m_entries)
        out << e.text;
    return out;
}

// ---- TCustomListBox: items ------------------------------------------------------------------

TCustomListBox::TCustomListBox(QWidget* parent) : QAbstractScrollArea(parent), m_color(clWindow)
{
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(8);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(OutOfBounds(index));
}

int TCustomListBox::HeightFor(int index)
{
    int h = m_itemHeight;
    switch (m_style) {
    case lbStandard: h = ItemHeight(); break;
    case lbOwnerDrawFixed: h = m_itemHeight; break;
    case lbOwnerDrawVariable: h = MeasureItem(index); break;
    }
    return std::max(h, 1);
}

int TCustomListBox::MeasureItem(int index)
{
    int h = m_itemHeight;
    if (OnMeasureItem)
        OnMeasureItem(this, index, h);
    return h;
}

int TCustomListBox::InsertEntry(int index, const QString& text, void* object)
{
    Entry e;
    e.text = text;
    e.object = object;
    m_entries.insert(m_entries.begin() + index, std::move(e));
    if (m_itemIndex >= index)
        ++m_itemIndex;
    if (m_anchor >= index)
        ++m_anchor;
    m_pressIndex = -1;
    m_entries[size_t(index)].height = HeightFor(index);
    m_layoutDirty = true;
    ItemStored(index);
    LayoutChanged();
    return index;
}

void TCustomListBox::RemoveEntry(int index)
{
    const QString text = std::move(m_entries[size_t(index)].text);
    m_entries.erase(m_entries.begin() + index);
    const int count = Count();
    if (m_multiSelect) {
        if (m_itemIndex > index || m_itemIndex >= count)
            --m_itemIndex;
    } else if (m_itemIndex == index) {
        m_itemIndex = -1;
    } else if (m_itemIndex > index) {
        --m_itemIndex;
    }
    if (m_anchor > index || m_anchor >= count)
        --m_anchor;
    m_pressIndex = -1;
    m_layoutDirty = true;
    ItemRemoved(text);
    LayoutChanged();
}

void TCustomListBox::ChangeText(int index, const QString& text)
{
    Entry& e = m_entries[size_t(index)];
    const QString old = e.text;
    e.text = text;
    if (m_style == lbOwnerDrawVariable) {
        e.height = HeightFor(index);
        m_layoutDirty = true;
    }
    ItemStored(index);
    ItemRemoved(old);
    LayoutChanged();
}

void TCustomListBox::MoveEntry(int from, int to)
{
    Entry moving = std::move(m_entries[size_t(from)]);
    m_entries.erase(m_entries.begin() + from);
    m_entries.insert(m_entries.begin() + to, std::move(moving));
    m_itemIndex = MovedIndex(m_itemIndex, from, to);
    m_anchor = MovedIndex(m_anchor, from, to);
    m_pressIndex = -1;
    m_layoutDirty = true;
    LayoutChanged();
}

void TCustomListBox::ClearEntries()
{
    m_entries.clear();
    m_itemIndex = -1;
    m_anchor = -1;
    m_pressIndex = -1;
    m_clickOnRelease = false;
    m_layoutDirty = true;
    ItemsCleared();
    verticalScrollBar()->setValue(0);
    LayoutChanged();
}

int TCustomListBox::CompareItems(const QString& a, const QString& b) const
{
    const int c = QString::localeAwareCompare(a.toLower(), b.toLower());
    return c != 0 ? c : QString::compare(a, b, Qt::CaseInsensitive);
}

void TCustomListBox::SortItems()
{
    const int n = Count();
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return CompareItems(m_entries[size_t(a)].text, m_entries[size_t(b)].text) < 0;
    });
    std::vector<Entry> sorted;
    sorted.reserve(size_t(n));
    std::vector<int> newIndex(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        newIndex[size_t(order[size_t(i)])] = i;
        sorted.push_back(std::move(m_entries[size_t(order[size_t(i)])]));
    }
    m_entries = std::move(sorted);
    if (m_itemIndex >= 0)
        m_itemIndex = newIndex[size_t(m_itemIndex)];
    if (m_anchor >= 0)
        m_anchor = newIndex[size_t(m_anchor)];
    m_pressIndex = -1;
    m_layoutDirty = true;
    LayoutChanged();
}

void TCustomListBox::BeginItemsUpdate() { ++m_updateCount; }

void TCustomListBox::EndItemsUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0) {
        UpdateEnded();
        LayoutChanged();
    }
}

TListItemData* TCustomListBox::ItemData(int index) const
{
    CheckIndex(index);
    return m_entries[size_t(index)].data.get();
}

TListItemData* TCustomListBox::EnsureItemData(int index, const std::function<std::unique_ptr<TListItemData>()>& make)
{
    CheckIndex(index);
    auto& data = m_entries[size_t(index)].data;
    if (!data)
        data = make();
    return data.get();
}

int TCustomListBox::ItemExtent(int index) const
{
    CheckIndex(index);
    return m_entries[size_t(index)].extent;
}

void TCustomListBox::SetItemExtent(int index, int width)
{
    CheckIndex(index);
    m_entries[size_t(index)].extent = width;
}

void TCustomListBox::RemeasureItems()
{
    m_remeasureTimer.stop();
    for (int i = 0; i < Count(); ++i)
        m_entries[size_t(i)].height = HeightFor(i);
    m_layoutDirty = true;
    LayoutChanged();
}

void TCustomListBox::ScheduleRemeasure()
{
    if (!m_remeasureTimer.isActive())
        m_remeasureTimer.start(0, this);
}

void TCustomListBox::FlushRemeasure()
{
    if (m_remeasureTimer.isActive())
        RemeasureItems();
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

// ---- selection ------------------------------------------------------------------------------

void TCustomListBox::setItemIndex(int index)
{
    if (index < 0 || index >= Count())
        index = -1;
    m_anchor = index;
    if (index != m_itemIndex) {
        InvalidateItem(m_itemIndex);
        m_itemIndex = index;
        InvalidateItem(index);
    }
    if (index >= 0)
        ScrollIntoView(index);
}

bool TCustomListBox::Selected(int index) const
{
    CheckIndex(index);
    return m_multiSelect ? m_entries[size_t(index)].selected : index == m_itemIndex;
}

void TCustomListBox::setSelected(int index, bool selected)
{
    CheckIndex(index);
    if (m_multiSelect) {
        m_entries[size_t(index)].selected = selected;
        InvalidateItem(index);
    } else if (selected) {
        setItemIndex(index);
    } else if (m_itemIndex == index) {
        setItemIndex(-1);
    }
}

int TCustomListBox::SelCount() const
{
    if (!m_multiSelect)
        return m_itemIndex >= 0 ? 1 : 0;
    return int(std::count_if(m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.selected; }));
}

void TCustomListBox::SelectAll()
{
    if (!m_multiSelect)
        return;
    for (auto& e : m_entries)
        e.selected = true;
    viewport()->update();
}

void TCustomListBox::ClearSelection()
{
    if (!m_multiSelect) {
        setItemIndex(-1);
        return;
    }
    for (auto& e : m_entries)
        e.selected = false;
    viewport()->update();
}

void TCustomListBox::SelectRange(int from, int to, bool keepOthers)
{
    if (!keepOthers)
        for (auto& e : m_entries)
            e.selected = false;
    for (int i = std::min(from, to); i <= std::max(from, to); ++i)
        if (i >= 0 && i < Count())
            m_entries[size_t(i)].selected = true;
    viewport()->update();
}

void TCustomListBox::SetCaret(int index)
{
    InvalidateItem(m_itemIndex);
    m_itemIndex = index;
    InvalidateItem(index);
    if (index >= 0)
        ScrollIntoView(index);
}

TOwnerDrawState TCustomListBox::ItemState(int index) const
{
    TOwnerDrawState s = 0;
    if (m_multiSelect ? m_entries[size_t(index)].selected : index == m_itemIndex)
        s |= odSelected;
    if (index == m_itemIndex && hasFocus())
        s |= odFocused;
    if (!isEnabled())
        s |= odDisabled;
    return s;
}

void TCustomListBox::Click()
{
    if (OnClick)
        OnClick(this);
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

void TCustomListBox::LayoutChanged()
{
    if (Updating())
        return;
    ItemsLaidOut();
    UpdateScrollBars();
    viewport()->update();
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

// ---- events ---------------------------------------------------------------------------------

void TCustomListBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    Guard([&] {
        UpdateScrollBars();
        Resized();
    }, TGuardMode::Queue);
}

void TCustomListBox::scrollContentsBy(int, int) { viewport()->update(); }

void TCustomListBox::timerEvent(QTimerEvent* event)
{
    Guard([&] {
        if (event->timerId() == m_remeasureTimer.timerId())
            RemeasureItems();
        else
            TimerFired(event->timerId());
    }, TGuardMode::Queue);
}

bool TCustomListBox::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        bool handled = false;
        Guard([&] { handled = ShowHintAt(help->pos(), help->globalPos()); }, TGuardMode::Queue);
        if (handled)
            return true;
    } else if (event->type() == QEvent::Leave) {
        Guard([&] { MouseLeave(); }, TGuardMode::Queue);
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TCustomListBox::mousePressEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonOf(event->button(), button))
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    m_pressGlobal = event->globalPosition().toPoint();
    Guard([&] {
        FlushRemeasure();
        MouseDown(button, shift, p.x(), p.y());
    });
}

void TCustomListBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    Guard([&] { MouseMove(shift, p.x(), p.y()); }, TGuardMode::Queue);
}

void TCustomListBox::mouseReleaseEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonOf(event->button(), button))
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    Guard([&] { MouseUp(button, shift, p.x(), p.y()); });
}

void TCustomListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons()) | ssDouble;
    Guard([&] { DblClick(shift, p.x(), p.y()); });
}

void TCustomListBox::keyPressEvent(QKeyEvent* event)
{
    int key = VirtualKeyCode(*event);
    const TShiftState shift = ShiftStateOf(event->modifiers());
    const QString text = event->text();
    Guard([&] {
        FlushRemeasure();
        KeyDown(key, shift, text);
    });
    // Keys a dialog acts on go on to the window.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->ignore();
        break;
    default:
        event->accept();
    }
}

void TCustomListBox::keyReleaseEvent(QKeyEvent* event)
{
    int key = VirtualKeyCode(*event);
    const TShiftState shift = ShiftStateOf(event->modifiers());
    Guard([&] { KeyUp(key, shift); });
    event->accept();
}

void TCustomListBox::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    InvalidateItem(m_itemIndex);
    Guard([&] { DoEnter(); });
}

void TCustomListBox::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    InvalidateItem(m_itemIndex);
    Guard([&] { DoExit(); });
}

void TCustomListBox::contextMenuEvent(QContextMenuEvent* event)
{
    bool handled = false;
    Guard([&] {
        if (OnContextPopup)
            OnContextPopup(this, TPoint::FromQPoint(event->pos()), handled);
    });
    if (handled)
        event->accept();
    else
        event->ignore();
}

// ---- the list's own handling ----------------------------------------------------------------

void TCustomListBox::SelectByMouse(int index, TShiftState shift)
{
    if (index < 0 || index >= Count())
        return;
    if (!m_multiSelect) {
        setItemIndex(index);
    } else if (m_extendedSelect) {
        if (shift & ssShift) {
            SelectRange(m_anchor >= 0 ? m_anchor : index, index, shift & ssCtrl);
        } else if (shift & ssCtrl) {
            m_entries[size_t(index)].selected = !m_entries[size_t(index)].selected;
            m_anchor = index;
        } else {
            SelectRange(index, index, false);
            m_anchor = index;
        }
        SetCaret(index);
    } else {
        m_entries[size_t(index)].selected = !m_entries[size_t(index)].selected;
        m_anchor = index;
        SetCaret(index);
    }
    viewport()->update();
    Click();
}

void TCustomListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    bool startDrag = false;
    if (button == mbLeft) {
        const int index = ItemAtPos(TPoint(x, y), true);
        m_pressIndex = index;
        m_pressShift = shift;
        m_clickOnRelease = false;
        m_tracking = false;
        const bool automatic = m_dragMode == dmAutomatic && index >= 0;
        // A press on an item of the selection keeps the selection for dragging it; the
        // click takes effect on release when no drag followed.
        const bool keepForDrag = automatic && m_multiSelect && m_entries[size_t(index)].selected &&
                                 (!(shift & ssShift) || (shift & ssCtrl));
        if (keepForDrag) {
            m_clickOnRelease = true;
            startDrag = true;
        } else if (index >= 0) {
            SelectByMouse(index, shift);
            m_tracking = !automatic;
            startDrag = automatic && !(m_multiSelect && (shift & (ssCtrl | ssShift)));
        }
    }
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
    if (startDrag && m_pressIndex >= 0 && m_pressIndex < Count())
        BeginDrag(false);
}

void TCustomListBox::MouseMove(TShiftState shift, int x, int y)
{
    if (m_tracking && (shift & ssLeft) && !DragActive()) {
        const int index = ItemAtPos(TPoint(x, y), true);
        if (index >= 0 && index != m_itemIndex) {
            if (!m_multiSelect) {
                setItemIndex(index);
                Click();
            } else if (m_extendedSelect) {
                SelectRange(m_anchor >= 0 ? m_anchor : index, index, m_pressShift & ssCtrl);
                SetCaret(index);
                Click();
            }
        }
    }
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TCustomListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        m_tracking = false;
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TCustomListBox::DblClick(TShiftState shift, int x, int y)
{
    if (OnDblClick)
        OnDblClick(this);
    if (OnMouseDown)
        OnMouseDown(this, mbLeft, shift, x, y);
}

void TCustomListBox::KeyDown(int& key, TShiftState shift, const QString&)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    if (key == 0 || Count() == 0)
        return;
    if (IsNavigationKey(key)) {
        MoveCaretByKey(key, shift);
    } else if (key == VK_SPACE && m_multiSelect && !m_extendedSelect && m_itemIndex >= 0) {
        m_entries[size_t(m_itemIndex)].selected = !m_entries[size_t(m_itemIndex)].selected;
        InvalidateItem(m_itemIndex);
        Click();
    }
}

void TCustomListBox::MoveCaretByKey(int key, TShiftState shift)
{
    const int n = Count();
    const int cur = m_itemIndex;
    const int page = std::max(1, VisibleCount() - 1);
    int target = cur;
    switch (key) {
    case VK_UP:
    case VK_LEFT: target = cur < 0 ? 0 : cur - 1; break;
    case VK_DOWN:
    case VK_RIGHT: target = cur < 0 ? 0 : cur + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = n - 1; break;
    case VK_PRIOR: target = cur < 0 ? 0 : cur - page; break;
    case VK_NEXT: target = cur < 0 ? 0 : cur + page; break;
    default: return;
    }
    target = std::clamp(target, 0, n - 1);
    if (!m_multiSelect) {
        if (target != cur) {
            setItemIndex(target);
            Click();
        }
        return;
    }
    if (m_extendedSelect) {
        if (shift & ssShift) {
            SelectRange(m_anchor >= 0 ? m_anchor : target, target, false);
        } else if (!(shift & ssCtrl)) {
            SelectRange(target, target, false);
            m_anchor = target;
        }
    }
    SetCaret(target);
    viewport()->update();
    Click();
}

void TCustomListBox::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TCustomListBox::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TCustomListBox::DoExit()
{
    if (OnExit)
        OnExit(this);
}

// ---- drag and drop --------------------------------------------------------------------------

void TCustomListBox::BeginDrag(bool immediate, int threshold)
{
    // From the press that started it (the cursor may have moved since).
    ::BeginDrag(this, immediate, threshold, m_pressGlobal);
}

void TCustomListBox::DoDragOver(QObject* source, int x, int y, TDragState state, bool& accept)
{
    accept = false;
    if (OnDragOver) {
        accept = true;
        OnDragOver(this, source, x, y, state, accept);
    }
}

void TCustomListBox::DoDragDrop(QObject* source, int x, int y)
{
    if (OnDragDrop)
        OnDragDrop(this, source, x, y);
}

void TCustomListBox::DoEndDrag(QObject* target, int x, int y, bool moved)
{
    m_tracking = false;
    const bool click = !moved && m_clickOnRelease;
    const int index = m_pressIndex;
    const TShiftState shift = m_pressShift;
    m_clickOnRelease = false;
    m_pressIndex = -1;
    if (click)
        SelectByMouse(index, shift);
    if (OnEndDrag)
        OnEndDrag(this, target, x, y);
}
