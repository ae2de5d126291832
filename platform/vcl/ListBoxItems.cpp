// The list control: its items (the Items facade and the entries behind it).
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
#include <QApplication>
#include <QPainter>
#include <QPaintEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QTimerEvent>

#include <algorithm>
#include <numeric>
using namespace listbox_detail;

namespace {

// The lists' scroll bars: the thumb is the darker block on a light track. The platform style
// (Fusion) draws the thumb lighter than its track, so on a white list the grey track below a
// thumb at the top reads as the thumb at the bottom.
class TListScrollBarStyle : public QProxyStyle {
public:
    explicit TListScrollBarStyle(QStyle* base) : QProxyStyle(base) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || !bar) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionSlider track(*bar);
        track.subControls &= ~SC_ScrollBarSlider;
        track.palette.setColor(QPalette::Button, bar->palette.color(QPalette::Base));
        QProxyStyle::drawComplexControl(control, &track, painter, widget);
        if (!(bar->subControls & SC_ScrollBarSlider))
            return;
        QStyleOptionSlider thumb(*bar);
        thumb.subControls = SC_ScrollBarSlider;
        thumb.palette.setColor(QPalette::Button, bar->palette.color(QPalette::Button).darker(135));
        QProxyStyle::drawComplexControl(control, &thumb, painter, widget);
    }
};

// One style for the scroll bars of every list, over the application's style, living as long
// as the application.
QStyle* ListScrollBarStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        QStyle* base = QStyleFactory::create(QApplication::style()->name());
        style = new TListScrollBarStyle(base);
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

} // namespace

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
    verticalScrollBar()->setStyle(ListScrollBarStyle());
    horizontalScrollBar()->setStyle(ListScrollBarStyle());

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
    // An item appended to a laid-out list extends the layout; any other insert redoes it.
    if (!m_layoutDirty && index + 1 == Count() && m_tops.size() == size_t(index) + 1)
        m_tops.push_back(m_tops.back() + m_entries[size_t(index)].height);
    else
        m_layoutDirty = true;
    ItemStored(index);
    LayoutChanged(index);
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
    std::vector<QString> keys;
    keys.reserve(size_t(n));
    for (const Entry& e : m_entries)
        keys.push_back(SortKey(e.text));
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this, &keys](int a, int b) {
        return CompareItems(keys[size_t(a)], keys[size_t(b)]) < 0;
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
