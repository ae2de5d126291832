#include "controls/HTMListBox.h"

#include <QCursor>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kMaxTextHeight = 251;  // + 4 = the largest item of the list
constexpr int kScrollLayoutWidth = 4096;

bool ClearsSearch(int key)
{
    switch (key) {
    case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
        return true;
    default:
        return false;
    }
}

// The character a key types, when it types one.
QString TypedCharacter(const QString& text)
{
    if (text.size() != 1 || !text.at(0).isPrint())
        return QString();
    return text;
}

} // namespace

THTMListBox::THTMListBox(QWidget* parent) : THTMLListBase(parent)
{
    setStyle(lbOwnerDrawVariable);
    m_measuredSize = contentsRect().size();
}

THTMListBox::~THTMListBox() = default;

void THTMListBox::RaiseIndexError() const { throw EHTMListBoxError(QStringLiteral("Item index out of range")); }

// ---- properties -----------------------------------------------------------------------------

void THTMListBox::setEnableBlink(bool on)
{
    m_enableBlink = on;
    if (IsLoading(this))
        return;
    if (on)
        StartBlink();
    else
        StopBlink();
}

void THTMListBox::setMultiline(bool on)
{
    m_multiline = on;
    RemeasureItems();
}

void THTMListBox::setScrollHorizontal(bool on)
{
    m_scrollHorizontal = on;
    RemeasureItems();
}

void THTMListBox::setSorted(bool on)
{
    const bool was = Sorted();
    TCustomListBox::setSorted(on);
    if (on && was)
        SortItems();
}

void THTMListBox::PicturesChanged() { RemeasureItems(); }

void THTMListBox::Loaded()
{
    if (m_enableBlink)
        StartBlink();
    else
        StopBlink();
    m_savedCursor = viewport()->cursor();
    RemeasureItems();
}

// ---- layout ---------------------------------------------------------------------------------

int THTMListBox::MeasureItem(int index)
{
    const QRect inner = contentsRect();
    const bool scrolls = qint64(Count()) * ItemHeight() > height();
    const int lowered = scrolls ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar()) : 4;
    TRect r(0, 0, inner.width() - lowered, height());
    if (m_scrollHorizontal)
        r.Right = r.Left + kScrollLayoutWidth;
    THTMLRenderRequest req = ItemRequest(MeasureCanvas(), index, r);
    req.MeasureOnly = true;
    const THTMLRenderResult res = RenderHTMLText(req);
    SetItemExtent(index, res.Width + 6);
    m_measuredSize = inner.size();
    return std::max(0, std::min({res.Height, ClientHeight(), kMaxTextHeight})) + 4;
}

void THTMListBox::Resized()
{
    if (contentsRect().size() != m_measuredSize && Count() > 0)
        ScheduleRemeasure();
}

void THTMListBox::ItemsLaidOut() { UpdateHorizontalExtent(); }

void THTMListBox::UpdateHorizontalExtent()
{
    int widest = 0;
    if (m_scrollHorizontal)
        for (int i = 0; i < Count(); ++i)
            widest = std::max(widest, ItemExtent(i));
    if (widest <= ClientWidth()) {
        setScrollWidth(0);
        setHorzScrollPos(0);
    } else {
        setScrollWidth(widest);
    }
}

TRect THTMListBox::TextRectOf(int, const TRect& itemRect) const
{
    const int left = itemRect.Left + 2 - HorzScrollPos();
    return TRect(left, itemRect.Top + 2, m_scrollHorizontal ? left + kScrollLayoutWidth : itemRect.Right,
                 itemRect.Bottom);
}

QString THTMListBox::SortKey(const QString& text) const { return m_sortWithHTML ? text : HTMLToPlainText(text); }

int THTMListBox::CompareItems(const QString& a, const QString& b) const { return QString::localeAwareCompare(a, b); }

// ---- drawing --------------------------------------------------------------------------------

void THTMListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    TCanvas& c = Canvas();
    c.SetClipRect(rect);
    const bool selected = (state & odSelected) && ShowSelection();
    const TColor anchorColor = PaintItemBackground(c, rect, selected);
    THTMLRenderRequest req = ItemRequest(c, index, TextRectOf(index, rect));
    req.X = m_mousePos.x();
    req.Y = m_mousePos.y();
    req.Selected = selected;
    req.AnchorColor = anchorColor;
    req.BlinkOn = m_blinkOn;
    RenderHTMLText(req);
    if ((state & odFocused) && ShowSelection()) {
        c.Pen = TPen{RGB(128, 128, 128), 1, psSolid, pmCopy};
        c.Brush.Style = bsClear;
        c.Rectangle(rect.Left - 2, rect.Top, rect.Right, rect.Bottom);
    }
}

// ---- blinking and animation -----------------------------------------------------------------

void THTMListBox::StartBlink()
{
    if (!m_blinkTimer.isActive())
        m_blinkTimer.start(kBlinkInterval, this);
}

void THTMListBox::StopBlink()
{
    m_blinkTimer.stop();
    m_blinkOn = true;
    viewport()->update();
}

void THTMListBox::TimerFired(int timerId)
{
    if (timerId == m_blinkTimer.timerId())
        Blink();
}

void THTMListBox::Blink()
{
    if (!m_enableBlink || Count() == 0)
        return;
    bool changed = PictureCache().Animate();
    if (PictureContainer())
        changed = PictureContainer()->Animate() || changed;
    if (changed)
        viewport()->update();
    if (++m_ticks % 5 != 0)
        return;
    m_blinkOn = !m_blinkOn;
    const int first = TopIndex();
    const int below = ItemAtPos(TPoint(0, std::max(0, ClientHeight() - 1)), false);
    const int last = std::min(below, Count() - 1);
    for (int i = first; i <= last; ++i)
        if (Items()[i].toUpper().contains(QLatin1String("<BLINK")))
            InvalidateItem(i);
}

// ---- mouse and keys -------------------------------------------------------------------------

void THTMListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && ClickAnchor(x, y))
        return;
    THTMLListBase::MouseDown(button, shift, x, y);
}

void THTMListBox::DoEnter()
{
    m_search.clear();
    THTMLListBase::DoEnter();
}

int THTMListBox::FindByPrefix(int from, const QString& prefix) const
{
    const QString wanted = prefix.toUpper();
    const auto matches = [&](int i) { return TextItem(i).toUpper().startsWith(wanted); };
    for (int i = std::max(from, 0); i < Count(); ++i)
        if (matches(i))
            return i;
    for (int i = 0; i < Count(); ++i)
        if (matches(i))
            return i;
    return -1;
}

void THTMListBox::SelectFound(int index)
{
    if (index == ItemIndex() && Selected(index) && (!MultiSelect() || SelCount() == 1))
        return;
    if (MultiSelect()) {
        ClearSelection();
        setSelected(index, true);
    }
    setItemIndex(index);
    Click();
}

void THTMListBox::KeyDown(int& key, TShiftState shift, const QString& text)
{
    THTMLListBase::KeyDown(key, shift, text);
    if (key == 0)
        return;
    if (ClearsSearch(key)) {
        m_search.clear();
        return;
    }
    QString typed;
    if (key == VK_BACK) {
        m_search.chop(1);
    } else {
        // The typed character, not the key code: "." or "ä" search for themselves.
        typed = TypedCharacter(text);
        if (typed.isEmpty())
            return;
        m_search = m_incrLookup ? m_search + typed : typed;
    }
    if (ItemIndex() < 0 && !m_incrLookup)
        return;
    int found = FindByPrefix(ItemIndex(), m_search);
    if (found < 0 && m_incrLookup && !typed.isEmpty()) {
        m_search = typed;
        found = FindByPrefix(0, m_search);
    }
    if (found >= 0)
        SelectFound(found);
}
