#pragma once
// THTMListBox: the list of mini-HTML items (the source and slideshow lists).
//
//  - Every item is measured once, when it is stored: the engine lays it out in the list's
//    width (4096 pixels with ScrollHorizontal), and the item is that high plus 4, at most
//    251 + 4 = 255 and at most the client height + 4. All items are measured again after a
//    resize (once the burst of resizes is over) and after Images, PictureContainer,
//    Multiline, LineSpacing, ScrollHorizontal or the form's loading changed.
//  - Drawing: the selection in SelectionColors (a plain fill, or a gradient in a frame), the
//    text from 2 pixels right and down, a grey frame around the focused item.
//  - Anchors and hints as THTMLListBase says; a press on an anchor acts on it and leaves the
//    selection alone.
//  - EnableBlink runs window timer 1 every 100 ms: animated pictures step, and every 500 ms
//    BLINK text shows or hides. Without it pictures stay on their first frame.
//  - Incremental search: printable keys build up a search text with IncrLookup (or replace
//    it without) and the first item from ItemIndex on, then from the top, whose plain text
//    starts with it (ignoring case) becomes the selected item, as the user's choice (OnClick).
//    Backspace takes a character back; Escape and the navigation keys clear the text, so does
//    entering the list. With IncrLookup a key without a match starts the text anew.
//  - Sorted set to true sorts the items once, by plain text (raw text with SortWithHTML), in
//    the user's locale, case counting; later items are appended.
#include "controls/HTMLListBase.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Forms.h"

#include <QBasicTimer>
#include <QSize>

class EHTMListBoxError : public Exception {
public:
    using Exception::Exception;
};

class THTMListBox : public THTMLListBase, public ILoaded {
    Q_OBJECT
    Q_PROPERTY(bool EnableBlink READ EnableBlink WRITE setEnableBlink)
    Q_PROPERTY(bool IncrLookup READ IncrLookup WRITE setIncrLookup)
    Q_PROPERTY(bool Multiline READ Multiline WRITE setMultiline)
    Q_PROPERTY(bool ScrollHorizontal READ ScrollHorizontal WRITE setScrollHorizontal)
    Q_PROPERTY(bool SortWithHTML READ SortWithHTML WRITE setSortWithHTML)

public:
    // The fixed id the blink timer has in the framework.
    static constexpr int kBlinkTimerId = 1;
    static constexpr int kBlinkInterval = 100;

    explicit THTMListBox(QWidget* parent = nullptr);
    ~THTMListBox() override;

    bool EnableBlink() const { return m_enableBlink; }
    void setEnableBlink(bool on);
    bool BlinkTimerActive() const { return m_blinkTimer.isActive(); }
    bool IncrLookup() const { return m_incrLookup; }
    void setIncrLookup(bool on) { m_incrLookup = on; }
    bool Multiline() const { return m_multiline; }
    void setMultiline(bool on);
    bool ScrollHorizontal() const { return m_scrollHorizontal; }
    void setScrollHorizontal(bool on);
    bool SortWithHTML() const { return m_sortWithHTML; }
    void setSortWithHTML(bool on) { m_sortWithHTML = on; }
    void setSorted(bool on) override;

    // The height stored for the item when it was added.
    int StoredItemHeight(int index) const { return ItemRect(index).Height(); }
    // The search text typed so far.
    const QString& SearchText() const { return m_search; }

    void Loaded() override;

protected:
    [[noreturn]] void RaiseIndexError() const override;
    TRect TextRectOf(int index, const TRect& itemRect) const override;
    void PicturesChanged() override;
    int MeasureItem(int index) override;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    QString SortKey(const QString& text) const override;
    int CompareItems(const QString& a, const QString& b) const override;
    bool AddKeepsOrder() const override { return false; }
    void ItemsLaidOut() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(int& key, TShiftState shift, const QString& text) override;
    void DoEnter() override;
    void Resized() override;
    void TimerFired(int timerId) override;

private:
    void StartBlink();
    void StopBlink();
    void Blink();
    void UpdateHorizontalExtent();
    int FindByPrefix(int from, const QString& prefix) const;
    void SelectFound(int index);

    bool m_enableBlink = false;
    bool m_incrLookup = false;
    bool m_multiline = false;
    bool m_scrollHorizontal = false;
    bool m_sortWithHTML = false;
    QBasicTimer m_blinkTimer;
    int m_ticks = 0;
    bool m_blinkOn = true;
    QString m_search;
    QSize m_measuredSize;
};
