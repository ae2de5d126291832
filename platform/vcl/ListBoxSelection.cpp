// The list control: item index, selection and the caret.
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
