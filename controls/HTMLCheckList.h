#pragma once
// THTMLCheckList: mini-HTML items, each ItemHeight high, with a check box in front.
//
//  - Per item: the check state (cbUnchecked, cbChecked, cbGrayed), enabled, an indent level
//    and a header flag. A header has no check box and never counts as checked. The check
//    column of an item is (level + 1) x (check width + 2) pixels wide (0 for a header).
//  - A left press selects as in any list; when it lies in the check box part of the column of
//    an enabled item (not a header), the state moves on (NextCheckState, with AllowGrayed),
//    the item is repainted and OnCheckClick fires. Anchors act after that (THTMLListBase).
//  - Drawing: with ShowSelection the whole row shows the selection colours; the check box is
//    drawn by the style (flat: without its frame, in a clBtnShadow frame); a disabled item or
//    list draws its box inactive and its text in clGrayText; the focused row gets a focus
//    frame.
//  - Duplicates set to false takes out every item whose exact text came before, then every
//    item equal to the one before it ignoring case, and keeps them aside with their state and
//    level; set to true again, they are added back at the end with them.
//  - The check boxes always follow the style in use, which is the themed look; ThemesActive
//    says so.
#include "controls/HTMLListBase.h"
#include "platform/vcl/CheckListBox.h"

#include <vector>

// The check list's data of one item: state, disabled, level, header; made on first access and
// freed with its item. The item's user data is Items().Objects(i).
using THTMLCheckListDataWrapper = TCheckItemData;

class THTMLCheckList : public TCheckItems<THTMLListBase> {
    Q_OBJECT
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE setAllowGrayed)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(bool Duplicates READ Duplicates WRITE setDuplicates)

public:
    explicit THTMLCheckList(QWidget* parent = nullptr);
    ~THTMLCheckList() override;

    bool AllowGrayed() const { return m_allowGrayed; }
    void setAllowGrayed(bool on) { m_allowGrayed = on; }
    bool Flat() const { return m_flat; }
    void setFlat(bool on);
    bool Duplicates() const { return m_duplicates; }
    void setDuplicates(bool on);

    // Per item besides State, Checked and ItemEnabled; an index outside the list raises
    // EListError.
    int Level(int index) const;
    void setLevel(int index, int level);
    bool Header(int index) const;
    void setHeader(int index, bool header);

    // Items in state checked (headers and grayed items do not count).
    int GetCheckedCount() const;
    // The raw text of the n-th checked item from 0; empty when fewer are checked.
    QString GetCheckedItem(int n) const;

    // The width of a check box and of the item's check column.
    int CheckWidth() const;
    int CheckColumnWidth(int index) const;
    // True: the check boxes are drawn in the current style's look.
    bool ThemesActive() const { return m_canTheme; }

    TNotifyEvent OnCheckClick;

protected:
    [[noreturn]] void RaiseIndexError() const override;
    TRect TextRectOf(int index, const TRect& itemRect) const override;
    QPoint ItemHintPos(int index) const override;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    struct KeptItem {
        QString text;
        void* object = nullptr;
        THTMLCheckListDataWrapper data;
    };
    void KeepAside(int index);

    bool m_allowGrayed = false;
    bool m_flat = true;
    bool m_duplicates = true;
    bool m_canTheme = true;
    std::vector<KeptItem> m_kept;
};
