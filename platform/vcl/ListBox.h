#pragma once
// The framework's list box: TCustomListBox, the plain TListBox, and their Items.
//
// A scroll area that paints its items itself, with the framework's meaning of everything:
//  - Items holds strings with an object pointer each. Standard lists draw the string;
//    owner-drawn lists (lbOwnerDrawFixed: every item ItemHeight high; lbOwnerDrawVariable:
//    each item as high as MeasureItem said when it was stored) draw in DrawItem.
//  - The vertical scroll position is an item index (TopIndex), and the list scrolls by
//    items; ScrollWidth is the horizontal extent in pixels (0: no horizontal scrolling).
//  - ItemIndex is the caret. In a single-select list it is also the selection; in a
//    MultiSelect list the selection is Selected[i], and setting ItemIndex only moves the
//    caret. Setting ItemIndex scrolls the item into view.
//  - Selection by mouse (press, Ctrl, Shift with ExtendedSelect; toggling without it) and by
//    keys (arrows, Page Up/Down, Home, End; Left and Right as Up and Down; Space toggles in a
//    MultiSelect list without ExtendedSelect). OnClick runs for every such change by the user
//    (in a MultiSelect list for every arrow key, as the framework's list did), never when
//    code sets ItemIndex or Selected.
//  - Framework events: OnClick, OnDblClick, OnMouseDown/Move/Up, OnKeyDown/Up, OnEnter,
//    OnExit, OnContextPopup, OnDrawItem, OnMeasureItem, and the drag events (Controls.h).
//    With DragMode dmAutomatic a press on an item starts a drag once the mouse moves (not
//    with Ctrl or Shift held in a MultiSelect list); pressing on an item of a multiple
//    selection keeps the selection for the drag, and a release without a drag then selects
//    that item alone.
//  - Every entry from Qt (paint, mouse, keys, timers, hints) runs inside the handler guard,
//    so an exception of a handler or of the drawing never leaves the event.
//  - Published properties are Q_PROPERTYs with a setter named set + the property name.
#include "platform/vcl/Controls.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Graphics.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TStringList;
class TCustomListBox;

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

// Owner-draw state bits.
using TOwnerDrawState = unsigned;
constexpr TOwnerDrawState odSelected = 0x01;
constexpr TOwnerDrawState odGrayed = 0x02;
constexpr TOwnerDrawState odDisabled = 0x04;
constexpr TOwnerDrawState odChecked = 0x08;
constexpr TOwnerDrawState odFocused = 0x10;

using TDrawItemEvent = std::function<void(QObject* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(QObject* Control, int Index, int& Height)>;

// Fills r with a solid colour, as FillRect with a solid brush in pmCopy does, in one call of
// the canvas's painter (item backgrounds are the bulk of a list's painting).
void FillSolid(TCanvas& canvas, const TRect& r, TColor color);

// Data a list keeps with an item for itself (check states and the like); freed with the item.
class TListItemData {
public:
    virtual ~TListItemData() = default;
};

// The Items of a list box: the framework's TStrings over the list's entries. An index
// outside the list raises EStringListError ("List index out of bounds (n)").
class TListBoxItems {
public:
    TListBoxItems(const TListBoxItems&) = delete;
    TListBoxItems& operator=(const TListBoxItems&) = delete;

    int Count() const;
    const QString& operator[](int index) const;
    QString Strings(int index) const { return (*this)[index]; }
    // Replaces the text; the item keeps its object, selection and data.
    void SetString(int index, const QString& s);
    void* Objects(int index) const;
    void SetObject(int index, void* object);

    // Appends, or in a sorted list inserts in order; returns the index.
    int Add(const QString& s) { return AddObject(s, nullptr); }
    int AddObject(const QString& s, void* object);
    // At index 0 .. Count, sorted or not.
    void Insert(int index, const QString& s) { InsertObject(index, s, nullptr); }
    void InsertObject(int index, const QString& s, void* object);
    void Delete(int index);
    // The item moves with its object, selection and data.
    void Move(int from, int to);
    void Exchange(int a, int b);
    void Clear();
    // Ignoring case, as the framework compares; -1 when absent.
    int IndexOf(const QString& s) const;

    // Nested; while updating the list neither repaints nor lays out its scroll bars.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const;

    // Lines joined with CRLF after each line; SetText replaces every item.
    QString Text() const;
    void SetText(const QString& text);
    void Assign(const QStringList& lines);
    void Assign(const TStringList& lines);
    void AddStrings(const QStringList& lines);
    QStringList ToStringList() const;

private:
    friend class TCustomListBox;
    explicit TListBoxItems(TCustomListBox* owner) : m_owner(owner) {}
    TCustomListBox* m_owner;
};

class TCustomListBox : public QAbstractScrollArea, public TDragControl {
    Q_OBJECT
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE setItemHeight)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE setMultiSelect)
    Q_PROPERTY(bool ExtendedSelect READ ExtendedSelect WRITE setExtendedSelect)
    Q_PROPERTY(int Columns READ Columns WRITE setColumns)
    Q_PROPERTY(int Color READ Color WRITE setColor)
    Q_PROPERTY(bool Sorted READ Sorted WRITE setSorted)
    Q_PROPERTY(int DragMode READ DragModeValue WRITE setDragMode)
    Q_PROPERTY(bool IntegralHeight READ IntegralHeight WRITE setIntegralHeight)
    Q_PROPERTY(int TabWidth READ TabWidth WRITE setTabWidth)
    Q_PROPERTY(int ScrollWidth READ ScrollWidth WRITE setScrollWidth)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE setItemIndex)
    Q_PROPERTY(int TopIndex READ TopIndex WRITE setTopIndex)

public:
    explicit TCustomListBox(QWidget* parent = nullptr);
    ~TCustomListBox() override;

    TListBoxItems& Items() { return m_items; }
    const TListBoxItems& Items() const { return m_items; }
    int Count() const { return int(m_entries.size()); }
    void Clear() { m_items.Clear(); }

    TListBoxStyle Style() const { return m_style; }
    void setStyle(TListBoxStyle style);
    // Standard lists: the height of a line of the font; owner-drawn: the property.
    int ItemHeight() const;
    void setItemHeight(int height);
    bool MultiSelect() const { return m_multiSelect; }
    void setMultiSelect(bool on);
    bool ExtendedSelect() const { return m_extendedSelect; }
    void setExtendedSelect(bool on) { m_extendedSelect = on; }
    // Stored for the forms; the items are laid out in one column.
    int Columns() const { return m_columns; }
    void setColumns(int columns) { m_columns = columns; }
    bool IntegralHeight() const { return m_integralHeight; }
    void setIntegralHeight(bool on) { m_integralHeight = on; }
    int TabWidth() const { return m_tabWidth; }
    void setTabWidth(int width) { m_tabWidth = width; }
    TColor Color() const { return m_color; }
    void setColor(TColor color);
    // The items' font; after changing it in place call FontChanged (which measures standard
    // and variable items again).
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    void setFontOf(const TFont& font);
    void FontChanged();
    // True: Add places items in order (ignoring case), and setting it sorts the items.
    bool Sorted() const { return m_sorted; }
    virtual void setSorted(bool on);
    TDragMode DragMode() const { return m_dragMode; }
    int DragModeValue() const { return int(m_dragMode); }
    void setDragMode(int mode) { m_dragMode = mode == dmAutomatic ? dmAutomatic : dmManual; }

    // The caret (see above); -1 for none. A value outside the list sets -1.
    int ItemIndex() const { return m_itemIndex; }
    void setItemIndex(int index);
    // An index outside the list raises EListError.
    bool Selected(int index) const;
    void setSelected(int index, bool selected);
    int SelCount() const;
    void SelectAll();
    void ClearSelection();

    // The item under p (client coordinates); -1 when none, or with existing false the
    // item count for a point below the last item.
    int ItemAtPos(const TPoint& p, bool existing) const;
    // The item's rectangle in client coordinates (above or below the client area for items
    // out of view); the horizontal scroll position is not subtracted.
    TRect ItemRect(int index) const;
    int TopIndex() const;
    void setTopIndex(int index);
    // Scrolls by lines items (down for positive values), as the scroll bar's arrows do.
    void ScrollLines(int lines);
    void ScrollToTop() { setTopIndex(0); }
    // The horizontal extent in pixels and the horizontal scroll position.
    int ScrollWidth() const { return m_scrollWidth; }
    void setScrollWidth(int width);
    int HorzScrollPos() const;
    void setHorzScrollPos(int pos);
    // The client area without the frame and the scroll bars that show.
    int ClientWidth() const;
    int ClientHeight() const;
    void ScrollIntoView(int index);

    // The canvas of DrawItem and OnDrawItem; valid only while an item is drawn.
    TCanvas& Canvas();

    // Starts a drag of this list (Controls.h).
    void BeginDrag(bool immediate, int threshold = -1);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TContextPopupEvent OnContextPopup;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    // TDragControl
    QObject* DragSender() override { return this; }
    QWidget* DragClient() override { return viewport(); }
    void DoDragOver(QObject* source, int x, int y, TDragState state, bool& accept) override;
    void DoDragDrop(QObject* source, int x, int y) override;
    void DoEndDrag(QObject* target, int x, int y, bool moved) override;

protected:
    // ---- for the lists built on this one ----
    // The height of a new or changed item of an lbOwnerDrawVariable list: ItemHeight, then
    // OnMeasureItem.
    virtual int MeasureItem(int index);
    // Draws an item on Canvas(): OnDrawItem when set, else the text with the selection
    // colours and the focus frame.
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    // The height of a standard item: a line of the font.
    virtual int StandardItemHeight() const;
    // Sort order of setSorted and of a sorted Add: ignoring case, in the user's locale.
    // setSorted compares the items' SortKeys, each made once.
    virtual int CompareItems(const QString& a, const QString& b) const;
    virtual QString SortKey(const QString& text) const { return text; }
    // False keeps Add at the end while Sorted is set.
    virtual bool AddKeepsOrder() const { return m_sorted; }
    // After an item was stored (added, inserted or given a new text).
    virtual void ItemStored(int index) {}
    // After an item was taken out (deleted, or its old text after SetString).
    virtual void ItemRemoved(const QString& text) {}
    virtual void ItemsCleared() {}
    // After the last EndUpdate.
    virtual void UpdateEnded() {}
    // Before the scroll bars follow a change of the items (not while updating).
    virtual void ItemsLaidOut() {}

    // Framework handlers, each called inside the guard. The defaults do the list's own work
    // and fire the events; overrides call them where the framework's inherited call was.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick(TShiftState shift, int x, int y);
    // key is the framework's code (0 once a handler took it); text what the key types.
    virtual void KeyDown(int& key, TShiftState shift, const QString& text);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void DoEnter();
    virtual void DoExit();
    // The mouse left the client area.
    virtual void MouseLeave() {}
    // A hint is asked for at p (client coordinates): true when it was handled.
    virtual bool ShowHintAt(const QPoint& p, const QPoint& globalPos) { return false; }
    virtual void Resized() {}
    // Timers other than the list's own.
    virtual void TimerFired(int timerId) {}

    // Sorts the items by CompareItems (equal items keep their order).
    void SortItems();
    // Runs MeasureItem again for every item (keeping selections) and lays the list out.
    void RemeasureItems();
    // The same once the current events have run (resizes come in bursts).
    void ScheduleRemeasure();
    // True while BeginUpdate is in force.
    bool Updating() const { return m_updateCount > 0; }
    // The owner's data of an item, made by make on first access.
    TListItemData* ItemData(int index) const;
    TListItemData* EnsureItemData(int index, const std::function<std::unique_ptr<TListItemData>()>& make);
    // Per-item width kept by owners that measure it (for a horizontal extent).
    int ItemExtent(int index) const;
    void SetItemExtent(int index, int width);
    // The state DrawItem gets for an item.
    TOwnerDrawState ItemState(int index) const;
    // The item's area in the client area, repainted.
    void InvalidateItem(int index);
    // Fires OnClick (the user changed the selection).
    void Click();
    // The press of a selection at an item (the list's own mouse handling).
    void SelectByMouse(int index, TShiftState shift);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    QSize sizeHint() const override;

private:
    friend class TListBoxItems;
    struct Entry {
        QString text;
        void* object = nullptr;
        int height = 0;
        int extent = 0;
        bool selected = false;
        std::unique_ptr<TListItemData> data;
    };

    void CheckIndex(int index) const;
    int InsertEntry(int index, const QString& text, void* object);
    void RemoveEntry(int index);
    void ChangeText(int index, const QString& text);
    void MoveEntry(int from, int to);
    void ClearEntries();
    int HeightFor(int index);
    void BeginItemsUpdate();
    void EndItemsUpdate();
    // Item tops, rebuilt when heights changed.
    void EnsureLayout() const;
    int ItemTop(int index) const;  // from the first item
    int MaxTopIndex() const;
    int VisibleCount() const;
    // The items from `from` on moved or changed: scroll bars follow, the view repaints from there.
    void LayoutChanged(int from = 0);
    void UpdateScrollBars();
    void FlushRemeasure();
    void MoveCaretByKey(int key, TShiftState shift);
    void SetCaret(int index);
    void SelectRange(int from, int to, bool keepOthers);

    TListBoxItems m_items{this};
    std::vector<Entry> m_entries;
    mutable std::vector<int> m_tops;  // m_tops[i] = top of item i; back() = total height
    mutable bool m_layoutDirty = true;
    TListBoxStyle m_style = lbStandard;
    int m_itemHeight = 16;
    bool m_multiSelect = false;
    bool m_extendedSelect = true;
    int m_columns = 0;
    bool m_integralHeight = false;
    int m_tabWidth = 0;
    TColor m_color;
    TFont m_font;
    bool m_sorted = false;
    TDragMode m_dragMode = dmManual;
    int m_itemIndex = -1;
    int m_anchor = -1;
    int m_scrollWidth = 0;
    int m_updateCount = 0;
    TCanvas* m_paintCanvas = nullptr;
    QBasicTimer m_remeasureTimer;
    // Mouse state of a press on the list.
    bool m_tracking = false;
    int m_pressIndex = -1;
    bool m_clickOnRelease = false;
    TShiftState m_pressShift = 0;
    QPoint m_pressGlobal;
};

// The plain list box of the windows (lbStandard unless Style is changed).
class TListBox : public TCustomListBox {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent = nullptr) : TCustomListBox(parent) {}
};
