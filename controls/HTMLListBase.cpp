#include "controls/HTMLListBase.h"

#include "controls/HTMLDrawing.h"
#include "platform/vcl/Dialogs.h"

#include <QSet>
#include <QToolTip>

namespace {

// The targets the shell opens: web pages and mail.
bool IsWebOrMailTarget(const QString& target)
{
    const QString t = target.trimmed();
    return t.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("https://"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive);
}

} // namespace

THTMLListBase::THTMLListBase(QWidget* parent)
    : TCustomListBox(parent), m_measureImage(1, 1, QImage::Format_RGB32), m_measureCanvas(&m_measureImage)
{
    m_selectionColors.OnChange = [this](TGradientStyle*) { viewport()->update(); };
    m_savedCursor = viewport()->cursor();
}

THTMLListBase::~THTMLListBase() = default;

// ---- properties -----------------------------------------------------------------------------

void THTMLListBase::setEllipsis(bool on)
{
    m_ellipsis = on;
    viewport()->update();
}

void THTMLListBase::setLineSpacing(int pixels)
{
    m_lineSpacing = pixels;
    PicturesChanged();
}

void THTMLListBase::setSelectionFontColor(TColor c)
{
    m_selectionFontColor = c;
    viewport()->update();
}

void THTMLListBase::setShadowColor(TColor c)
{
    m_shadowColor = c;
    viewport()->update();
}

void THTMLListBase::setShadowOffset(int offset)
{
    m_shadowOffset = offset;
    viewport()->update();
}

void THTMLListBase::setShowSelection(bool on)
{
    m_showSelection = on;
    viewport()->update();
}

void THTMLListBase::setURLColor(TColor c)
{
    m_urlColor = c;
    viewport()->update();
}

void THTMLListBase::setImages(std::shared_ptr<const TImageList> images)
{
    m_images = std::move(images);
    PicturesChanged();
}

void THTMLListBase::setPictureContainer(std::shared_ptr<TPictureContainer> container)
{
    m_container = std::move(container);
    PicturesChanged();
}

void THTMLListBase::PicturesChanged() { viewport()->update(); }

// ---- items ----------------------------------------------------------------------------------

QString THTMLListBase::TextItem(int index) const
{
    if (index < 0 || index >= Count())
        RaiseIndexError();
    return HTMLToPlainText(Items()[index]);
}

THTMLRenderRequest THTMLListBase::ItemRequest(TCanvas& canvas, int index, const TRect& textRect) const
{
    THTMLRenderRequest req;
    req.Canvas = &canvas;
    req.Text = Items()[index];
    req.Rect = textRect;
    req.Metrics = &m_textMetrics;
    req.Images = m_images.get();
    req.ShadowOffset = m_shadowOffset;
    req.WordWrap = !m_ellipsis;
    req.AnchorColor = m_urlColor;
    req.ShadowColor = m_shadowColor;
    req.Pictures = const_cast<THTMLPictureCache*>(&m_cache);
    req.Container = m_container.get();
    req.LineSpacing = m_lineSpacing;
    return req;
}

TCanvas& THTMLListBase::MeasureCanvas() const
{
    CanvasFont(m_measureCanvas) = Font();
    m_measureCanvas.Brush = TBrush{Color(), bsSolid};
    return m_measureCanvas;
}

void THTMLListBase::ItemStored(int index)
{
    for (const QString& source : HTMLPictureSources(Items()[index]))
        ++m_sourceUse[source];
}

void THTMLListBase::ItemRemoved(const QString& text)
{
    bool unused = false;
    for (const QString& source : HTMLPictureSources(text)) {
        const auto it = m_sourceUse.find(source);
        if (it == m_sourceUse.end())
            continue;
        if (--it.value() <= 0) {
            m_sourceUse.erase(it);
            unused = true;
        }
    }
    if (!unused)
        return;
    if (Updating())
        m_dropPending = true;
    else
        DropUnusedPictures();
}

void THTMLListBase::ItemsCleared()
{
    m_sourceUse.clear();
    m_cache.Clear();
    m_dropPending = false;
    LeaveAnchor();
    m_lastHintItem = -1;
}

void THTMLListBase::UpdateEnded()
{
    if (m_dropPending)
        DropUnusedPictures();
}

void THTMLListBase::DropUnusedPictures()
{
    m_dropPending = false;
    QSet<QString> inUse;
    inUse.reserve(m_sourceUse.size());
    for (auto it = m_sourceUse.cbegin(); it != m_sourceUse.cend(); ++it)
        inUse.insert(it.key());
    m_cache.RemoveUnused(inUse);
}

// ---- drawing --------------------------------------------------------------------------------

TColor THTMLListBase::PaintItemBackground(TCanvas& canvas, const TRect& r, bool selected)
{
    TFont& font = CanvasFont(canvas);
    canvas.Brush.Style = bsSolid;
    if (!selected) {
        canvas.Brush.Color = Color();
        canvas.Pen.Color = Color();
        font.Color = Font().Color;
        FillSolid(canvas, r, Color());
        return m_urlColor;
    }
    canvas.Brush.Color = m_selectionColors.ColorFrom();
    font.Color = m_selectionFontColor;
    if (m_selectionColors.ColorTo() == clNone) {
        canvas.Pen.Color = canvas.Brush.Color;
        FillSolid(canvas, r, canvas.Brush.Color);
    } else {
        canvas.Pen.Color = m_selectionColors.BorderColor();
        FillGradient(canvas, m_selectionColors.ColorFrom(), m_selectionColors.ColorTo(),
                     m_selectionColors.Direction(), r, 64, m_selectionColors.BorderColor());
    }
    return m_selectionFontColor;
}

// ---- anchors and hints ----------------------------------------------------------------------

THTMLListBase::TAnchorHit THTMLListBase::AnchorAt(const TPoint& p) const
{
    TAnchorHit hit;
    hit.Index = ItemAtPos(p, true);
    if (hit.Index < 0)
        return hit;
    THTMLRenderRequest req = ItemRequest(MeasureCanvas(), hit.Index, TextRectOf(hit.Index, ItemRect(hit.Index)));
    req.HitTest = true;
    req.X = p.X;
    req.Y = p.Y;
    const THTMLRenderResult res = RenderHTMLText(req);
    hit.Hit = res.Hit;
    hit.Anchor = res.Anchor;
    return hit;
}

void THTMLListBase::OpenAnchor(int index, const QString& anchor)
{
    if (IsWebOrMailTarget(anchor)) {
        ShellOpen(anchor.trimmed());  // a failing open is not reported
    } else if (!anchor.contains(QLatin1String("://"))) {
        if (OnAnchorClick)
            OnAnchorClick(this, index, anchor);
    }
}

bool THTMLListBase::ClickAnchor(int x, int y)
{
    const TAnchorHit hit = AnchorAt(TPoint(x, y));
    if (!hit.Hit)
        return false;
    OpenAnchor(hit.Index, hit.Anchor);
    return true;
}

void THTMLListBase::LeaveAnchor()
{
    if (m_handCursor) {
        viewport()->setCursor(m_savedCursor);
        m_handCursor = false;
    }
    if (!m_onAnchor)
        return;
    m_onAnchor = false;
    const int index = m_anchorIndex;
    const QString anchor = m_anchor;
    m_anchorIndex = -1;
    m_anchor.clear();
    QToolTip::hideText();
    if (OnAnchorExit)
        OnAnchorExit(this, index, anchor);
}

void THTMLListBase::MouseMove(TShiftState shift, int x, int y)
{
    m_mousePos = QPoint(x, y);
    TCustomListBox::MouseMove(shift, x, y);
    if (m_itemHint) {
        const int index = ItemAtPos(TPoint(x, y), true);
        if (index != m_lastHintItem)
            QToolTip::hideText();
        m_lastHintItem = index;
    }
    const TAnchorHit hit = AnchorAt(TPoint(x, y));
    if (!hit.Hit) {
        LeaveAnchor();
        return;
    }
    const bool changed = !m_onAnchor || hit.Anchor != m_anchor || hit.Index != m_anchorIndex;
    if (changed && m_onAnchor)
        LeaveAnchor();
    if (!m_handCursor) {
        m_savedCursor = viewport()->cursor();
        viewport()->setCursor(Qt::PointingHandCursor);
        m_handCursor = true;
    }
    if (changed) {
        m_onAnchor = true;
        m_anchorIndex = hit.Index;
        m_anchor = hit.Anchor;
        if (OnAnchorEnter)
            OnAnchorEnter(this, hit.Index, hit.Anchor);
    }
}

void THTMLListBase::MouseLeave()
{
    m_mousePos = QPoint(-1, -1);
    LeaveAnchor();
    m_lastHintItem = -1;
}

void THTMLListBase::DoExit()
{
    if (m_handCursor) {
        viewport()->setCursor(m_savedCursor);
        m_handCursor = false;
    }
    TCustomListBox::DoExit();
}

QPoint THTMLListBase::ItemHintPos(int index) const { return QPoint(0, ItemRect(index).Top); }

bool THTMLListBase::ShowHintAt(const QPoint& p, const QPoint& globalPos)
{
    if (m_anchorHint) {
        const TAnchorHit hit = AnchorAt(TPoint::FromQPoint(p));
        if (hit.Hit) {
            QString text = hit.Anchor;
            if (OnAnchorHint)
                OnAnchorHint(this, hit.Index, text);
            QToolTip::showText(globalPos + QPoint(10, -10), text, viewport());
            return true;
        }
    }
    if (m_itemHint) {
        const int index = ItemAtPos(TPoint::FromQPoint(p), true);
        if (index >= 0) {
            QString text = m_htmlHint ? Items()[index] : TextItem(index);
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            const TRect r = ItemRect(index);
            QToolTip::showText(viewport()->mapToGlobal(ItemHintPos(index)), text, viewport(), r.ToQRect());
            return true;
        }
    }
    return false;
}
