#include "controls/HTMLCheckList.h"

#include "platform/vcl/CanvasText.h"
#include "platform/vcl/Exceptions.h"

#include <QSet>

THTMLCheckList::THTMLCheckList(QWidget* parent) : TCheckItems<THTMLListBase>(parent) { setStyle(lbOwnerDrawFixed); }

THTMLCheckList::~THTMLCheckList() = default;

void THTMLCheckList::RaiseIndexError() const { throw Exception(QStringLiteral("Item index out of range")); }

// ---- item data ------------------------------------------------------------------------------

int THTMLCheckList::Level(int index) const
{
    const TCheckItemData* w = FindCheckData(index);
    return w ? w->Level : 0;
}

void THTMLCheckList::setLevel(int index, int level)
{
    CheckData(index).Level = std::max(level, 0);
    InvalidateItem(index);
}

bool THTMLCheckList::Header(int index) const
{
    const TCheckItemData* w = FindCheckData(index);
    return w && w->Header;
}

void THTMLCheckList::setHeader(int index, bool header)
{
    CheckData(index).Header = header;
    InvalidateItem(index);
}

void THTMLCheckList::setFlat(bool on)
{
    m_flat = on;
    viewport()->update();
}

int THTMLCheckList::GetCheckedCount() const
{
    int n = 0;
    for (int i = 0; i < Count(); ++i)
        if (!Header(i) && State(i) == cbChecked)
            ++n;
    return n;
}

QString THTMLCheckList::GetCheckedItem(int n) const
{
    for (int i = 0; i < Count(); ++i)
        if (!Header(i) && State(i) == cbChecked && n-- == 0)
            return Items()[i];
    return QString();
}

// ---- duplicates -----------------------------------------------------------------------------

void THTMLCheckList::KeepAside(int index)
{
    KeptItem kept;
    kept.text = Items()[index];
    kept.object = Items().Objects(index);
    if (const TCheckItemData* w = FindCheckData(index))
        kept.data = *w;
    m_kept.push_back(std::move(kept));
    Items().Delete(index);
}

void THTMLCheckList::setDuplicates(bool on)
{
    if (on == m_duplicates)
        return;
    m_duplicates = on;
    Items().BeginUpdate();
    struct End {
        TListBoxItems& items;
        ~End() { items.EndUpdate(); }
    } end{Items()};
    if (!on) {
        QSet<QString> seen;
        for (int i = 0; i < Count();) {
            const QString& text = Items()[i];
            if (seen.contains(text)) {
                KeepAside(i);
            } else {
                seen.insert(text);
                ++i;
            }
        }
        for (int i = 1; i < Count();) {
            if (Items()[i].compare(Items()[i - 1], Qt::CaseInsensitive) == 0)
                KeepAside(i);
            else
                ++i;
        }
        return;
    }
    std::vector<KeptItem> kept = std::move(m_kept);
    m_kept.clear();
    for (const KeptItem& k : kept) {
        const int index = Items().AddObject(k.text, k.object);
        CheckData(index) = k.data;
    }
}

// ---- geometry and drawing -------------------------------------------------------------------

int THTMLCheckList::CheckWidth() const { return CheckBoxSize(this).width(); }

int THTMLCheckList::CheckColumnWidth(int index) const
{
    if (Header(index))
        return 0;
    return (Level(index) + 1) * (CheckWidth() + 2);
}

TRect THTMLCheckList::TextRectOf(int index, const TRect& itemRect) const
{
    return TRect(itemRect.Left + CheckColumnWidth(index) + 2, itemRect.Top + 2, itemRect.Right, itemRect.Bottom);
}

QPoint THTMLCheckList::ItemHintPos(int index) const { return QPoint(CheckColumnWidth(index), ItemRect(index).Top); }

void THTMLCheckList::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    TCanvas& c = Canvas();
    c.SetClipRect(rect);
    const TRect row(0, rect.Top, std::max(rect.Right, viewport()->width()), rect.Bottom);
    const bool selected = (state & odSelected) && ShowSelection();
    const TColor anchorColor = PaintItemBackground(c, row, selected);
    const bool enabled = ItemEnabled(index) && isEnabled();
    if (!Header(index)) {
        const int cell = CheckWidth() + 2;
        const QSize box = CheckBoxSize(this);
        const int left = rect.Left + Level(index) * cell + (cell - box.width()) / 2;
        const int top = rect.Top + (rect.Height() - box.height()) / 2;
        DrawCheckBox(c, this, Bounds(left, top, box.width(), box.height()), State(index), enabled, m_flat);
    }
    if (!enabled)
        CanvasFont(c).Color = clGrayText;
    THTMLRenderRequest req = ItemRequest(c, index, TextRectOf(index, rect));
    req.Selected = selected;
    req.AnchorColor = anchorColor;
    RenderHTMLText(req);
    if ((state & odFocused) && ShowSelection())
        DrawFocusRect(c, row);
}

// ---- mouse ----------------------------------------------------------------------------------

void THTMLCheckList::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCheckItems::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    const int index = ItemAtPos(TPoint(x, y), true);
    if (index >= 0 && index < Count() && ItemEnabled(index) && !Header(index)) {
        const int boxStart = Level(index) * (CheckWidth() + 2);
        if (x >= boxStart && x < CheckColumnWidth(index)) {
            THTMLCheckListDataWrapper& w = CheckData(index);
            w.State = NextCheckState(w.State, m_allowGrayed);
            InvalidateItem(index);
            if (OnCheckClick)
                OnCheckClick(this);
        }
    }
    ClickAnchor(x, y);
}
