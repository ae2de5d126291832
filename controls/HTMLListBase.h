#pragma once
// What the HTML list box and the HTML check list share: the item pictures and their cache,
// the selection colours, anchors (hand cursor, enter and exit, clicks), item and anchor
// hints, and the plain text of an item.
//
// Anchors: a click on an "http://", "https://" or "mailto:" target opens it through the shell
// open service; a target without "://" fires OnAnchorClick; any other "://" target (ftp://,
// file://, ...) does nothing.
//
// The picture cache holds the pictures of the items' IMG addresses. When the last item that
// uses an address goes (deleted, or given a text without it) its picture is dropped, and
// clearing the items empties the cache; during BeginUpdate this waits for EndUpdate.
#include "controls/Gradient.h"
#include "controls/HTMLRender.h"
#include "controls/ImageList.h"
#include "controls/ListTextMetrics.h"
#include "controls/PictureContainer.h"
#include "platform/vcl/ListBox.h"

#include <QCursor>
#include <QHash>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>

class THTMLListBase : public TCustomListBox {
    Q_OBJECT
    Q_PROPERTY(bool AnchorHint READ AnchorHint WRITE setAnchorHint)
    Q_PROPERTY(bool Ellipsis READ Ellipsis WRITE setEllipsis)
    Q_PROPERTY(bool HTMLHint READ HTMLHint WRITE setHTMLHint)
    Q_PROPERTY(bool ItemHint READ ItemHint WRITE setItemHint)
    Q_PROPERTY(int LineSpacing READ LineSpacing WRITE setLineSpacing)
    Q_PROPERTY(int SelectionFontColor READ SelectionFontColor WRITE setSelectionFontColor)
    Q_PROPERTY(int ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE setShadowOffset)
    Q_PROPERTY(bool ShowSelection READ ShowSelection WRITE setShowSelection)
    Q_PROPERTY(int URLColor READ URLColor WRITE setURLColor)

public:
    using TAnchorClick = std::function<void(QObject* Sender, int Index, const QString& Anchor)>;
    using TAnchorHintEvent = std::function<void(QObject* Sender, int Index, QString& Anchor)>;

    explicit THTMLListBase(QWidget* parent = nullptr);
    ~THTMLListBase() override;

    bool AnchorHint() const { return m_anchorHint; }
    void setAnchorHint(bool on) { m_anchorHint = on; }
    bool Ellipsis() const { return m_ellipsis; }
    virtual void setEllipsis(bool on);
    bool HTMLHint() const { return m_htmlHint; }
    void setHTMLHint(bool on) { m_htmlHint = on; }
    bool ItemHint() const { return m_itemHint; }
    void setItemHint(bool on) { m_itemHint = on; }
    int LineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(int pixels);
    TColor SelectionFontColor() const { return m_selectionFontColor; }
    void setSelectionFontColor(TColor c);
    TColor ShadowColor() const { return m_shadowColor; }
    void setShadowColor(TColor c);
    int ShadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(int offset);
    bool ShowSelection() const { return m_showSelection; }
    void setShowSelection(bool on);
    TColor URLColor() const { return m_urlColor; }
    void setURLColor(TColor c);

    // Pictures for "IDX:" and named pictures; shared, so they live as long as a list uses them.
    const std::shared_ptr<const TImageList>& Images() const { return m_images; }
    void setImages(std::shared_ptr<const TImageList> images);
    const std::shared_ptr<TPictureContainer>& PictureContainer() const { return m_container; }
    void setPictureContainer(std::shared_ptr<TPictureContainer> container);

    TGradientStyle& SelectionColors() { return m_selectionColors; }
    const TGradientStyle& SelectionColors() const { return m_selectionColors; }
    // Assigns into the owned style.
    void setSelectionColors(const TGradientStyle& style) { m_selectionColors.Assign(style); }

    // The item's text without tags; an index outside the list raises (see RaiseIndexError).
    QString TextItem(int index) const;

    struct TAnchorHit {
        int Index = -1;  // the item under the point, -1 when none
        bool Hit = false;
        QString Anchor;  // the target of the anchor under the point
    };
    // The anchor under p (client coordinates).
    TAnchorHit AnchorAt(const TPoint& p) const;

    THTMLPictureCache& PictureCache() { return m_cache; }

    TAnchorClick OnAnchorClick;
    TAnchorClick OnAnchorEnter;
    TAnchorClick OnAnchorExit;
    TAnchorHintEvent OnAnchorHint;

protected:
    // "Item index out of range" in the list's exception class.
    [[noreturn]] virtual void RaiseIndexError() const = 0;
    // Where the item's text is laid out, from its item rectangle.
    virtual TRect TextRectOf(int index, const TRect& itemRect) const = 0;
    // Where the item hint shows, in client coordinates.
    virtual QPoint ItemHintPos(int index) const;
    // After Images, PictureContainer or LineSpacing changed: repaints.
    virtual void PicturesChanged();

    // The request that draws, measures and hit-tests an item's text, with the list's fonts,
    // pictures and colours (anchor colour URLColor, not selected).
    THTMLRenderRequest ItemRequest(TCanvas& canvas, int index, const TRect& textRect) const;
    // A canvas for measuring and hit tests, with the list's font.
    TCanvas& MeasureCanvas() const;
    // Fills r as a selected or unselected item (brush, pen and font colour set) and returns
    // the anchor colour.
    TColor PaintItemBackground(TCanvas& canvas, const TRect& r, bool selected);
    // Acts on the anchor under (x, y); false when there is none.
    bool ClickAnchor(int x, int y);

    void ItemStored(int index) override;
    void ItemRemoved(const QString& text) override;
    void ItemsCleared() override;
    void UpdateEnded() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void DoExit() override;
    bool ShowHintAt(const QPoint& p, const QPoint& globalPos) override;

    QCursor m_savedCursor;
    // Where the mouse was last seen over the items (client coordinates), (-1, -1) once it left.
    QPoint m_mousePos{-1, -1};

private:
    void OpenAnchor(int index, const QString& anchor);
    void LeaveAnchor();
    void DropUnusedPictures();

    bool m_anchorHint = false;
    bool m_ellipsis = false;
    bool m_htmlHint = false;
    bool m_itemHint = false;
    int m_lineSpacing = 0;
    TColor m_selectionFontColor = clHighlightText;
    TColor m_shadowColor = clGray;
    int m_shadowOffset = 1;
    bool m_showSelection = true;
    TColor m_urlColor = clBlue;
    std::shared_ptr<const TImageList> m_images;
    std::shared_ptr<TPictureContainer> m_container;
    TGradientStyle m_selectionColors;
    THTMLPictureCache m_cache;
    // How many items use each picture address.
    QHash<QString, int> m_sourceUse;
    bool m_dropPending = false;
    mutable TListTextMetrics m_textMetrics;
    mutable QImage m_measureImage;
    mutable TCanvas m_measureCanvas;
    // Hover state.
    int m_lastHintItem = -1;
    bool m_onAnchor = false;
    bool m_handCursor = false;
    int m_anchorIndex = -1;
    QString m_anchor;
};
