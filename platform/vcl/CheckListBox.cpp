#include "platform/vcl/CheckListBox.h"

#include "platform/vcl/CanvasText.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

TCheckBoxState NextCheckState(TCheckBoxState state, bool allowGrayed)
{
    switch (state) {
    case cbUnchecked: return allowGrayed ? cbGrayed : cbChecked;
    case cbChecked: return cbUnchecked;
    case cbGrayed: return cbChecked;
    }
    return cbUnchecked;
}

QSize CheckBoxSize(const QWidget* widget)
{
    const QStyle* style = widget ? widget->style() : nullptr;
    if (!style)
        return QSize(13, 13);
    return QSize(style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget),
                 style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget));
}

void DrawCheckBox(TCanvas& canvas, const QWidget* widget, const TRect& box, TCheckBoxState state,
                  bool enabled, bool flat)
{
    canvas.WithPainter([&](QPainter& p) {
        QStyleOptionButton option;
        if (widget)
            option.initFrom(widget);
        option.rect = box.ToQRect();
        option.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_NoChange |
                          QStyle::State_HasFocus | QStyle::State_MouseOver | QStyle::State_Enabled);
        option.state |= state == cbChecked ? QStyle::State_On
                        : state == cbGrayed ? QStyle::State_NoChange
                                            : QStyle::State_Off;
        if (enabled)
            option.state |= QStyle::State_Enabled;
        if (flat)
            p.setClipRect(box.ToQRect().adjusted(2, 2, -2, -2), Qt::IntersectClip);
        const QStyle* style = widget ? widget->style() : nullptr;
        if (style)
            style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, widget);
    });
    if (flat) {
        const TPen pen = canvas.Pen;
        const TBrush brush = canvas.Brush;
        canvas.Pen = TPen{clBtnShadow, 1, psSolid, pmCopy};
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1);
        canvas.Pen = pen;
        canvas.Brush = brush;
    }
}

TCheckListBox::TCheckListBox(QWidget* parent) : TCheckItems<TCustomListBox>(parent) {}

void TCheckListBox::setFlat(bool on)
{
    m_flat = on;
    viewport()->update();
}

int TCheckListBox::CheckWidth() const { return CheckBoxSize(this).width() + 2; }

int TCheckListBox::StandardItemHeight() const
{
    return std::max(TCheckItems::StandardItemHeight(), CheckBoxSize(this).height() + 2);
}

void TCheckListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    TCanvas& c = Canvas();
    const bool enabled = ItemEnabled(index) && isEnabled();
    FillSolid(c, TRect(rect.Left, rect.Top, rect.Left + CheckWidth(), rect.Bottom), Color());
    const QSize box = CheckBoxSize(this);
    const int left = rect.Left + 1 - HorzScrollPos();
    const int top = rect.Top + (rect.Height() - box.height()) / 2;
    DrawCheckBox(c, this, Bounds(left, top, box.width(), box.height()), State(index), enabled, m_flat);
    TRect text = rect;
    text.Left += CheckWidth();
    if (!enabled)
        state |= odDisabled;
    TCheckItems::DrawItem(index, text, state);
}

void TCheckListBox::Toggle(int index)
{
    TCheckItemData& d = CheckData(index);
    d.State = NextCheckState(d.State, m_allowGrayed);
    InvalidateItem(index);
    if (OnClickCheck)
        OnClickCheck(this);
}

void TCheckListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCheckItems::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    const int index = ItemAtPos(TPoint(x, y), true);
    if (index >= 0 && index < Count() && ItemEnabled(index) && x + HorzScrollPos() < CheckWidth())
        Toggle(index);
}

void TCheckListBox::KeyDown(int& key, TShiftState shift, const QString& text)
{
    TCheckItems::KeyDown(key, shift, text);
    if (key == VK_SPACE && ItemIndex() >= 0 && ItemEnabled(ItemIndex()))
        Toggle(ItemIndex());
}
