// The item engine. Each line is laid out twice by RenderHTMLLine: first measuring (height,
// width, alignment, where the line ends), then drawing or hit testing exactly the text the
// measuring pass took, from the x that the alignment gives. Each pass keeps its own style
// from line to line, so a font opened on one line carries into the next in both.
#include "controls/HTMLRender.h"

#include "controls/HTMLColors.h"
#include "controls/HTMLDrawing.h"
#include "controls/HTMLMarkup.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using htmlmarkup::Tag;
using htmlmarkup::ToInt;

namespace {

constexpr unsigned kRunFlags = DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX;
constexpr int kGradientSteps = 64;
constexpr int kListIndent = 12;

enum class Mode { Measure, Draw, HitTest };
enum class PictureAlign { Bottom, Middle, Top };

// What one pass carries from line to line.
struct Style {
    TFont font;
    TColor background = clNone;  // behind the runs
    bool shadow = false, error = false, hidden = false, sub = false, sup = false;
    int listLevel = 0;
    int align = 0;  // 0 left, 1 right, 2 centre
    int indent = 0;
    TColor paragraphFrom = clNone, paragraphTo = clNone;
    bool inAnchor = false;
    int anchorIndex = -1;
    QString anchorTarget;
    TColor anchorColor = clNone, anchorBackground = clNone;
    bool anchorUnderline = false;
    TColor highlightColor = clNone, highlightBackground = clNone;
    int anchorCount = 0;
    QString plain;
    QString focusTarget;
};

// Where a line lies, as its measuring pass found it.
struct LineGeometry {
    int x = 0;           // start of the line
    int top = 0;
    int height = 0;      // tallest run or picture, plus the line spacing
    int textOffset = 0;  // text raised by this much (IMG ALIGN top or middle)
    int subExtra = 0, supExtra = 0;
    int Total() const { return height + subExtra + supExtra; }
};

struct LineResult {
    qsizetype end = 0;  // where the next line starts
    bool stop = false;  // a tag without ">": the rest of the text is dropped
    int width = 0;
    int height = 0;
    int subExtra = 0, supExtra = 0;
    int fontHeight = 0;  // of the font the line started with
    PictureAlign pictureAlign = PictureAlign::Bottom;
};

struct Context {
    const THTMLRenderRequest& req;
    THTMLRenderResult& res;
    TCanvas& canvas;
    ITextMetrics& metrics;
    QString text;
    TFont startFont;
    TColor callerBackground;
    double ppiScale;
};

// A picture of the item: from the container by name or from the cache by address. A
// cached picture that is not there yet is loaded now; one that cannot be loaded stays in
// the cache empty, so it is neither drawn nor tried again.
THTMLPicture* FindPicture(const Context& c, const QString& src)
{
    if (!src.contains(QLatin1Char(':')))
        return c.req.Container ? c.req.Container->FindPicture(src) : nullptr;
    if (!src.contains(QLatin1String("://")) || !c.req.Pictures)
        return nullptr;
    if (THTMLPicture* p = c.req.Pictures->FindPicture(src))
        return p;
    THTMLPicture* p = c.req.Pictures->AddPicture();
    p->Asynchronous = false;
    try {
        p->LoadFromURL(src);  // remembers the address first, whatever the load gives
    } catch (...) {
        p->Assign(nullptr);
    }
    return p;
}

void DrawPicture(TCanvas& canvas, const THTMLPicture& pic, const TRect& box)
{
    // The current frame at its offset, the whole picture scaled into box.
    const int lw = std::max(1, pic.LayoutWidth()), lh = std::max(1, pic.LayoutHeight());
    const double sx = double(box.Width()) / lw, sy = double(box.Height()) / lh;
    const QRectF target(box.Left + pic.FrameLeft() * sx, box.Top + pic.FrameTop() * sy, pic.Width() * sx,
                        pic.Height() * sy);
    canvas.WithPainter([&](QPainter& p) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(target, pic.Image());
    });
}

class LinePass {
public:
    LinePass(Context& c, Mode mode, Style& st, const LineGeometry& g)
        : m_c(c), m_req(c.req), m_mode(mode), m_st(st), m_g(g), m_x(g.x),
          m_testPoint(mode != Mode::Measure || c.req.MeasureOnly)
    {
    }

    LineResult Run(qsizetype pos, qsizetype end)
    {
        m_out.fontHeight = m_c.metrics.LineHeight(m_st.font);
        m_out.height = m_out.fontHeight;
        m_anchorStart = m_x;
        if (m_mode == Mode::Draw && m_st.paragraphFrom != clNone)
            FillParagraph();
        while (pos < end && !m_ended && !m_out.stop) {
            if (m_c.text[pos] == QLatin1Char('<'))
                HandleTag(pos);
            else
                HandleText(pos, end);
        }
        if (m_st.inAnchor)
            CloseAnchorSegment();
        m_out.end = m_out.stop ? m_c.text.size() : pos;
        m_out.width = m_x - m_g.x;
        if (m_laidOut.endsWith(QLatin1Char(' ')))
            m_out.width -= m_c.metrics.TextWidth(m_lastRunFont, QStringLiteral(" "));
        return m_out;
    }

private:
    bool Measuring() const { return m_mode == Mode::Measure; }
    bool Drawing() const { return m_mode == Mode::Draw; }
    const TRect& Area() const { return m_req.Rect; }
    // The bottom of the text of this line (before subscript and superscript).
    int TextBottom() const { return m_g.top + m_g.supExtra + m_g.height - m_g.textOffset; }
    int RowHeight(int own) const { return Measuring() ? own : m_g.Total(); }
    TPoint Point() const { return TPoint(m_req.X, m_req.Y); }

    void HandleText(qsizetype& pos, qsizetype end)
    {
        qsizetype runEnd = m_c.text.indexOf(QLatin1Char('<'), pos);
        if (runEnd < 0 || runEnd > end)
            runEnd = end;
        if (m_req.WordWrap) {
            const qsizetype blank = m_c.text.indexOf(QLatin1Char(' '), pos);
            if (blank >= 0 && blank < runEnd)
                runEnd = blank + 1;
        }
        const QString run = htmlmarkup::DecodeRun(m_c.text.mid(pos, runEnd - pos));
        if (m_st.hidden) {
            m_st.plain += run;
            pos = runEnd;
            return;
        }
        TRect calc(m_x, 0, m_x, 0);
        DrawText(m_c.metrics, m_c.canvas, m_st.font, clNone, run, calc, kRunFlags | DT_CALCRECT);
        const int w = calc.Width();
        const int h = m_c.metrics.LineHeight(m_st.font);
        if (Measuring() && m_req.WordWrap && m_x + w > Area().Right && w < Area().Width() && m_hasContent &&
            (m_laidOut.isEmpty() || m_laidOut.endsWith(QLatin1Char(' ')))) {
            m_ended = true;  // the run begins the next line
            return;
        }
        pos = runEnd;
        m_hasContent = true;
        m_st.plain += run;
        m_laidOut += run;
        m_lastRunFont = m_st.font;
        m_out.height = std::max(m_out.height, h);
        if (m_st.sub)
            m_out.subExtra = std::max(m_out.subExtra, h / 4);
        if (m_st.sup)
            m_out.supExtra = std::max(m_out.supExtra, h / 4);
        if (Drawing())
            DrawRun(run, w, h);
        if (m_testPoint && m_st.inAnchor && PtInRect(Rect(m_x, m_g.top, m_x + w, m_g.top + RowHeight(h)), Point()))
            HitAnchor();
        m_x += w;
    }

    void DrawRun(const QString& run, int w, int h)
    {
        TRect r(m_x, m_g.top, Area().Right, TextBottom());
        if (m_st.sub)
            OffsetRect(r, 0, h / 4);
        if (m_st.sup)
            OffsetRect(r, 0, -(h / 4));
        const unsigned flags = kRunFlags | (m_req.WordWrap ? 0 : DT_END_ELLIPSIS);
        if (m_st.shadow) {
            TFont shadow = m_st.font;
            shadow.Color = m_req.ShadowColor;
            TRect sr = r;
            OffsetRect(sr, m_req.ShadowOffset, m_req.ShadowOffset);
            DrawText(m_c.metrics, m_c.canvas, shadow, clNone, run, sr, flags);
        }
        DrawText(m_c.metrics, m_c.canvas, m_st.font, m_st.background, run, r, flags);
        if (m_st.error)
            DrawErrorMark(m_x, m_x + w, r.Bottom);
    }

    // A red zigzag with a vertex every 2 pixels, 1 pixel above and below the bottom.
    void DrawErrorMark(int left, int right, int bottom)
    {
        std::vector<TPoint> pts;
        bool up = true;
        for (int x = left & ~1; x <= right; x += 2, up = !up)
            pts.emplace_back(x, up ? bottom - 1 : bottom + 1);
        if (pts.size() < 2)
            return;
        const TPen pen = m_c.canvas.Pen;
        m_c.canvas.Pen = TPen{clRed, 1, psSolid, pmCopy};
        m_c.canvas.Polyline(pts);
        m_c.canvas.Pen = pen;
    }

    void HitAnchor()
    {
        m_c.res.Hit = true;
        m_c.res.Anchor = m_st.anchorTarget;
        m_anchorHit = true;
    }

    void HandleTag(qsizetype& pos)
    {
        const qsizetype close = m_c.text.indexOf(QLatin1Char('>'), pos);
        if (close < 0) {
            m_out.stop = true;
            return;
        }
        const Tag tag(m_c.text.mid(pos, close - pos + 1));
        const qsizetype next = close + 1;
        const QString& n = tag.Name();
        const bool open = !tag.Closing();
        bool consume = true;
        if (n == QLatin1String("A"))
            open ? OpenAnchor(tag) : CloseAnchor();
        else if (n == QLatin1String("B"))
            m_st.font.Style.Set(fsBold, open);
        else if (n == QLatin1String("I"))
            m_st.font.Style.Set(fsItalic, open);
        else if (n == QLatin1String("U"))
            m_st.font.Style.Set(fsUnderline, open);
        else if (n == QLatin1String("S"))
            m_st.font.Style.Set(fsStrikeOut, open);
        else if (n == QLatin1String("E"))
            m_st.error = open;
        else if (n == QLatin1String("Z"))
            m_st.hidden = open;
        else if (n == QLatin1String("SHAD"))
            m_st.shadow = open;
        else if (n == QLatin1String("SUB") || n == QLatin1String("SUP")) {
            m_st.sub = open && n == QLatin1String("SUB");
            m_st.sup = open && n == QLatin1String("SUP");
        } else if (n == QLatin1String("BLINK")) {
            if (!open)
                m_st.font.Color = m_c.startFont.Color;
            else if (!m_req.BlinkOn)
                m_st.font.Color = m_c.callerBackground;
        } else if (n == QLatin1String("BR")) {
            if (open) {
                m_st.plain += QLatin1Char('\r');
                m_ended = true;
            }
        } else if (n == QLatin1String("HR")) {
            if (open) {
                if (Drawing())
                    DrawRule();
                m_ended = true;
            }
        } else if (n == QLatin1String("FONT"))
            open ? OpenFont(tag) : CloseFont();
        else if (n == QLatin1String("HI"))
            Highlight(open);
        else if (n == QLatin1String("BODY")) {
            if (open && Drawing() && !m_req.Selected)
                Body(tag);
        } else if (n == QLatin1String("IMG")) {
            if (open)
                consume = Image(tag);
        } else if (n == QLatin1String("IND")) {
            if (open)
                m_x = std::max(m_x, Area().Left + ToInt(tag.FirstValue()));
        } else if (n == QLatin1String("LI"))
            consume = ListItem(open);
        else if (n == QLatin1String("UL")) {
            if (open) {
                ++m_st.listLevel;
                m_ended = true;
            } else {
                m_st.listLevel = std::max(0, m_st.listLevel - 1);
            }
        } else if (n == QLatin1String("P"))
            Paragraph(tag, open);
        else if (n == QLatin1String("R"))
            m_st.font.Orientation = open ? ToInt(tag.FirstValue()) * 10 : m_c.startFont.Orientation;
        if (consume)
            pos = next;
        else
            m_ended = true;
    }

    void OpenAnchor(const Tag& tag)
    {
        if (m_st.inAnchor)
            CloseAnchor();
        const int index = m_st.anchorCount++;
        m_st.inAnchor = true;
        m_st.anchorIndex = index;
        m_st.anchorTarget = tag.FirstValue();
        m_st.anchorColor = m_st.font.Color;
        m_st.anchorUnderline = m_st.font.Style.Contains(fsUnderline);
        m_st.anchorBackground = m_st.background;
        m_anchorStart = m_x;
        m_anchorHit = false;
        if (index == m_req.FocusAnchor)
            m_st.focusTarget = m_st.anchorTarget;
        const bool hovered = index == m_req.HoverAnchor;
        if (m_req.HoverStyle && !hovered)
            return;
        m_st.font.Style.Include(fsUnderline);
        if (!m_req.Selected)
            m_st.font.Color = m_req.AnchorColor;
        if (hovered && m_req.HoverFontColor != clNone)
            m_st.font.Color = m_req.HoverFontColor;
        if (hovered && m_req.HoverBackground != clNone)
            m_st.background = m_req.HoverBackground;
    }

    // The part of the open anchor on this line: its rectangle when the point is on it, and
    // the focus frame.
    void CloseAnchorSegment()
    {
        const TRect r(m_anchorStart, m_g.top, m_x, m_g.top + RowHeight(m_out.height));
        if (m_anchorHit && m_testPoint) {
            m_c.res.HitAnchorIndex = m_st.anchorIndex;
            m_c.res.HitAnchorRect = r;
        }
        if (Drawing() && m_st.anchorIndex == m_req.FocusAnchor && m_x > m_anchorStart)
            DrawFocusRect(m_c.canvas, Rect(r.Left - 1, r.Top, r.Right + 1, r.Bottom));
        m_anchorHit = false;
    }

    void CloseAnchor()
    {
        if (!m_st.inAnchor)
            return;
        CloseAnchorSegment();
        m_st.inAnchor = false;
        m_st.font.Style.Set(fsUnderline, m_st.anchorUnderline);
        m_st.font.Color = m_st.anchorColor;
        m_st.background = m_st.anchorBackground;
    }

    void OpenFont(const Tag& tag)
    {
        const QString face = tag.Attr("FACE");
        if (!face.isEmpty())
            m_st.font.Name = face;
        const QString color = tag.Attr("COLOR");
        if (!color.isEmpty() && !m_req.Selected)
            m_st.font.Color = HTMLAttributeColor(color);
        const QString bg = tag.Attr("BGCOLOR");
        if (!bg.isEmpty() && !m_req.Selected && !Measuring())
            m_st.background = HTMLAttributeColor(bg);
        const QString size = tag.Attr("SIZE");
        if (!size.isEmpty()) {
            static constexpr int kSizes[] = {8, 10, 12, 14, 16};
            const int v = ToInt(size);
            m_st.font.SetSize(v >= 1 && v <= 5 ? kSizes[v - 1] : v);
        }
    }

    void CloseFont()
    {
        m_st.font.Name = m_c.startFont.Name;
        m_st.font.SetHeight(m_c.startFont.Height());
        if (!m_req.Selected)
            m_st.font.Color = m_c.startFont.Color;
        m_st.background = clNone;
    }

    void Highlight(bool open)
    {
        if (open) {
            m_st.highlightColor = m_st.font.Color;
            m_st.highlightBackground = m_st.background;
            m_st.font.Color = clHighlightText;
            m_st.background = clHighlight;
        } else if (m_st.highlightColor != clNone) {
            m_st.font.Color = m_st.highlightColor;
            m_st.background = m_st.highlightBackground;
            m_st.highlightColor = clNone;
        }
    }

    void DrawRule()
    {
        const int y = m_g.top + m_g.Total();
        const TPen pen = m_c.canvas.Pen;
        m_c.canvas.Pen = TPen{clBlack, 1, psSolid, pmCopy};
        m_c.canvas.MoveTo(Area().Left, y);
        m_c.canvas.LineTo(Area().Right, y);
        m_c.canvas.Pen = pen;
    }

    void Fill(const TRect& r, TColor from, TColor to, bool horizontal)
    {
        if (to != clNone) {
            FillGradient(m_c.canvas, from, to, horizontal, r, kGradientSteps);
            return;
        }
        const TBrush brush = m_c.canvas.Brush;
        m_c.canvas.Brush = TBrush{from, bsSolid};
        m_c.canvas.FillRect(r);
        m_c.canvas.Brush = brush;
    }

    void Body(const Tag& tag)
    {
        const QString background = tag.Attr("BACKGROUND");
        if (!background.isEmpty()) {
            const THTMLPicture* pic = FindPicture(m_c, background);
            const int w = pic ? pic->LayoutWidth() : 0, h = pic ? pic->LayoutHeight() : 0;
            if (!pic || pic->Empty() || w < 1 || h < 1)
                return;
            const TRect area = Area();
            const TRect clip = m_c.canvas.ClipRect();
            TRect cut;
            IntersectRect(cut, clip, area);
            m_c.canvas.SetClipRect(cut);
            for (int y = area.Top; y < area.Bottom; y += h)
                for (int x = area.Left; x < area.Right; x += w)
                    DrawPicture(m_c.canvas, *pic, Bounds(x, y, w, h));
            m_c.canvas.SetClipRect(clip);
            return;
        }
        const QString from = tag.Attr("BGCOLOR");
        if (from.isEmpty())
            return;
        const QString to = tag.Attr("BGCOLORTO");
        const QString dir = tag.Attr("DIR").trimmed().toUpper();
        if (to.isEmpty())
            Fill(Rect(Area().Left - 2, Area().Top, Area().Right, Area().Bottom), HTMLAttributeColor(from), clNone, true);
        else
            Fill(Area(), HTMLAttributeColor(from), HTMLAttributeColor(to), dir.isEmpty() || dir == QLatin1String("H"));
    }

    void FillParagraph()
    {
        Fill(Rect(Area().Left, m_g.top, Area().Right, m_g.top + m_g.Total() + 2), m_st.paragraphFrom,
             m_st.paragraphTo, true);
    }

    void Paragraph(const Tag& tag, bool open)
    {
        if (!open) {
            m_st.paragraphFrom = m_st.paragraphTo = clNone;
            m_ended = true;
            return;
        }
        const QString align = tag.Attr("ALIGN").trimmed().toUpper();
        if (align == QLatin1String("RIGHT"))
            m_st.align = 1;
        else if (align == QLatin1String("LEFT"))
            m_st.align = 0;
        else if (align == QLatin1String("CENTER"))
            m_st.align = 2;
        const QString indent = tag.Attr("INDENT");
        if (!indent.isEmpty())
            m_st.indent = ToInt(indent);
        const QString from = tag.Attr("BGCOLOR");
        if (!from.isEmpty()) {
            const QString to = tag.Attr("BGCOLORTO");
            m_st.paragraphFrom = HTMLAttributeColor(from);
            m_st.paragraphTo = to.isEmpty() ? clNone : HTMLAttributeColor(to);
            if (Drawing())
                FillParagraph();
        }
    }

    // Returns false when the line ends before this item.
    bool ListItem(bool open)
    {
        if (!open) {
            m_ended = true;
            return true;
        }
        if (m_hasListItem && Measuring())
            return false;
        m_hasListItem = true;
        const int level = std::max(1, m_st.listLevel);
        const int bulletX = std::max(m_x, m_g.x + (level - 1) * kListIndent);
        if (Drawing()) {
            TRect r(bulletX, m_g.top, Area().Right, TextBottom());
            const QString bullet = level % 2 == 1 ? QStringLiteral("\u2022") : QStringLiteral("o");
            DrawText(m_c.metrics, m_c.canvas, m_st.font, m_st.background, bullet, r, kRunFlags);
        }
        m_x = bulletX + kListIndent;
        return true;
    }

    // Returns false when the picture does not fit and begins the next line.
    bool Image(const Tag& tag)
    {
        const QString src = tag.Attr("SRC");
        const QString upper = src.toUpper();
        const double scale = m_c.ppiScale * (m_req.HighResolution ? m_req.ScaleFactor : 1.0);
        int w = 0, h = 0;
        int listIndex = -1;
        bool shell = false, large = false;
        THTMLPicture* pic = nullptr;
        if (upper.startsWith(QLatin1String("IDX:"))) {
            listIndex = ToInt(src.mid(4));
            if (m_req.Images && listIndex >= 0 && listIndex < m_req.Images->Count()) {
                w = int(std::lround(m_req.Images->Width() * scale));
                h = int(std::lround(m_req.Images->Height() * scale));
            }
        } else if (upper.startsWith(QLatin1String("SSYS:")) || upper.startsWith(QLatin1String("LSYS:"))) {
            shell = true;
            large = upper.startsWith(QLatin1Char('L'));
            const TSize size = DrawShellIcon(m_c.canvas, 0, 0, src.mid(5), large, false, scale);
            w = size.cx;
            h = size.cy;
        } else {
            pic = FindPicture(m_c, src);
            if (pic && !pic->Empty()) {
                const int tw = ToInt(tag.Attr("WIDTH")), th = ToInt(tag.Attr("HEIGHT"));
                const bool sized = tw >= 1 && th >= 1;
                w = int(std::lround((sized ? tw : pic->LayoutWidth()) * m_c.ppiScale));
                h = int(std::lround((sized ? th : pic->LayoutHeight()) * m_c.ppiScale));
            }
        }
        if (w <= 0 || h <= 0)
            return true;  // no picture: the tag is skipped
        if (Measuring() && m_x + w > Area().Right && Area().Width() > w && m_hasContent)
            return false;
        m_hasContent = true;
        m_out.height = std::max(m_out.height, h);
        const QString align = tag.Attr("ALIGN").trimmed().toUpper();
        if (align.startsWith(QLatin1String("TOP")))
            m_out.pictureAlign = PictureAlign::Top;
        else if (align.startsWith(QLatin1String("MIDDLE")))
            m_out.pictureAlign = PictureAlign::Middle;
        const int y = Measuring() ? m_g.top : m_g.top + m_g.supExtra + m_g.height - h;
        const TRect box = Bounds(m_x, y, w, h);
        if (Drawing()) {
            if (listIndex >= 0)
                m_req.Images->Draw(m_c.canvas, box, listIndex);
            else if (shell)
                DrawShellIcon(m_c.canvas, box.Left, box.Top, src.mid(5), large, true, scale);
            else
                DrawPicture(m_c.canvas, *pic, box);
        }
        if (m_testPoint && PtInRect(box, Point())) {
            m_c.res.ImageAlt = tag.Attr("ALT");
            if (m_st.inAnchor)
                HitAnchor();
        }
        m_x += w;
        return true;
    }

    Context& m_c;
    const THTMLRenderRequest& m_req;
    Mode m_mode;
    Style& m_st;
    const LineGeometry& m_g;
    int m_x;
    bool m_testPoint;
    LineResult m_out;
    bool m_ended = false;
    bool m_hasContent = false;
    bool m_hasListItem = false;
    QString m_laidOut;
    TFont m_lastRunFont;
    int m_anchorStart = 0;
    bool m_anchorHit = false;
};

LineResult RenderHTMLLine(Context& c, Mode mode, Style& st, qsizetype pos, qsizetype end, const LineGeometry& g)
{
    return LinePass(c, mode, st, g).Run(pos, end);
}

} // namespace

THTMLRenderResult RenderHTMLText(const THTMLRenderRequest& req)
{
    THTMLRenderResult res;
    if (!req.Canvas)
        return res;
    TCanvas& canvas = *req.Canvas;
    Context c{req,
              res,
              canvas,
              req.Metrics ? *req.Metrics : CanvasTextMetrics(),
              htmlmarkup::Preprocess(req.Text),
              CanvasFont(canvas),
              canvas.Brush.Color,
              req.PixelsPerInch > 0 ? req.PixelsPerInch / 96.0 : 1.0};
    const TBrush brush = canvas.Brush;
    const TPen pen = canvas.Pen;
    const int fontHeight = c.metrics.LineHeight(c.startFont);

    Style measureStyle;
    measureStyle.font = c.startFont;
    Style drawStyle = measureStyle;
    const TRect& r = req.Rect;
    int top = r.Top;
    qsizetype pos = 0;
    while (pos < c.text.size()) {
        LineGeometry probe;
        probe.x = r.Left + 1 + measureStyle.indent;
        probe.top = top;
        const LineResult line = RenderHTMLLine(c, Mode::Measure, measureStyle, pos, c.text.size(), probe);

        LineGeometry g;
        g.x = r.Left + 1;
        if (measureStyle.align == 1 && r.Right - line.width > g.x)
            g.x = r.Right - line.width;
        else if (measureStyle.align == 2 && (r.Right - r.Left - 1 - line.width) / 2 > 0)
            g.x = r.Left + 1 + (r.Right - r.Left - 1 - line.width) / 2;
        g.x += measureStyle.indent;
        g.top = top;
        g.height = line.height + req.LineSpacing;
        g.subExtra = line.subExtra;
        g.supExtra = line.supExtra;
        if (line.pictureAlign == PictureAlign::Top)
            g.textOffset = line.height - line.fontHeight;
        else if (line.pictureAlign == PictureAlign::Middle)
            g.textOffset = (line.height - line.fontHeight) / 2;

        if (!req.MeasureOnly)
            RenderHTMLLine(c, req.HitTest ? Mode::HitTest : Mode::Draw, drawStyle, pos, line.end, g);

        top += g.Total();
        res.Height += g.Total();
        res.Width = std::max(res.Width, line.width);
        if (line.stop || line.end <= pos)
            break;
        pos = line.end;
        if (!req.MeasureOnly && top + fontHeight > r.Bottom)
            break;
    }
    if (c.text.isEmpty())
        res.Height = fontHeight;

    const Style& last = req.MeasureOnly ? measureStyle : drawStyle;
    res.PlainText = last.plain;
    res.FocusAnchor = last.focusTarget;
    res.AnchorCount = last.anchorCount;
    canvas.Brush = brush;
    canvas.Pen = pen;
    return res;
}
