#pragma once
// The framework's check list box: a list box with a check box in front of every item, and
// the check box drawing that the check lists share.
//
// A left click in an item's check box (on an enabled item) moves its state on, as does Space
// for the current item: unchecked -> checked (or grayed with AllowGrayed), checked ->
// unchecked, grayed -> checked; OnClickCheck follows. Code that sets a state fires nothing.
#include "platform/vcl/ListBox.h"

class QWidget;

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// The state a click gives: unchecked -> grayed with allowGrayed, else checked;
// checked -> unchecked; grayed -> checked.
TCheckBoxState NextCheckState(TCheckBoxState state, bool allowGrayed);
// The size of a check box in widget's style.
QSize CheckBoxSize(const QWidget* widget);
// Draws a check box filling box in widget's style. Flat: the box without its own frame (clipped
// 2 pixels inside) and a one-pixel clBtnShadow frame just inside box instead.
void DrawCheckBox(TCanvas& canvas, const QWidget* widget, const TRect& box, TCheckBoxState state,
                  bool enabled, bool flat);

// The check data of one item of a check list; made on first access, freed with its item.
struct TCheckItemData : TListItemData {
    TCheckBoxState State = cbUnchecked;
    bool Disabled = false;
    int Level = 0;       // indent of the check box (the HTML check list)
    bool Header = false; // no check box (the HTML check list)
};

// Check states per item over a list box class. An index outside the list raises EListError.
// Setting a state repaints the item and fires nothing.
template <class List>
class TCheckItems : public List {
public:
    using List::List;

    bool Checked(int index) const { return State(index) == cbChecked; }
    void setChecked(int index, bool checked) { setState(index, checked ? cbChecked : cbUnchecked); }
    TCheckBoxState State(int index) const
    {
        const TCheckItemData* d = FindCheckData(index);
        return d ? d->State : cbUnchecked;
    }
    void setState(int index, TCheckBoxState state)
    {
        CheckData(index).State = state;
        this->InvalidateItem(index);
    }
    bool ItemEnabled(int index) const
    {
        const TCheckItemData* d = FindCheckData(index);
        return !d || !d->Disabled;
    }
    void setItemEnabled(int index, bool enabled)
    {
        CheckData(index).Disabled = !enabled;
        this->InvalidateItem(index);
    }

protected:
    TCheckItemData& CheckData(int index)
    {
        return *static_cast<TCheckItemData*>(
            this->EnsureItemData(index, [] { return std::make_unique<TCheckItemData>(); }));
    }
    const TCheckItemData* FindCheckData(int index) const
    {
        return static_cast<const TCheckItemData*>(this->ItemData(index));
    }
};

class TCheckListBox : public TCheckItems<TCustomListBox> {
    Q_OBJECT
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE setAllowGrayed)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)

public:
    explicit TCheckListBox(QWidget* parent = nullptr);

    bool AllowGrayed() const { return m_allowGrayed; }
    void setAllowGrayed(bool on) { m_allowGrayed = on; }
    bool Flat() const { return m_flat; }
    void setFlat(bool on);

    // The width of the check column in front of the text.
    int CheckWidth() const;

    TNotifyEvent OnClickCheck;

protected:
    int StandardItemHeight() const override;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(int& key, TShiftState shift, const QString& text) override;

private:
    void Toggle(int index);

    bool m_allowGrayed = false;
    bool m_flat = true;
};
