#include "platform/vcl/CanvasText.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <memory>
#include <mutex>

namespace {

constexpr TRect kNoClip(INT_MIN / 4, INT_MIN / 4, INT_MAX / 4, INT_MAX / 4);

std::shared_ptr<TFont> MakeCanvasFont() { return std::make_shared<TFont>(); }

class QtTextMetrics final : public ITextMetrics {
public:
    int TextWidth(const TFont& font, const QString& text) override
    {
        return QFontMetrics(font.ToQFont()).horizontalAdvance(text);
    }
    int LineHeight(const TFont& font) override { return QFontMetrics(font.ToQFont()).height(); }
    void DrawLine(TCanvas& canvas, const TFont& font, int x, int y, const QString& text,
                  const TRect& clip, TColor background) override
    {
        if (text.isEmpty())
            return;
        const QFont qf = font.ToQFont();
        const QFontMetrics fm(qf);
        DrawResolvedLine(canvas, font, qf, fm.ascent(), fm.horizontalAdvance(text), fm.height(), x, y, text, clip,
                         background);
    }
};

// One line of DrawText: the measuring of tab stops and the end ellipsis.
class LineLayout {
public:
    LineLayout(ITextMetrics& m, const TFont& font, unsigned flags)
        : m_metrics(m), m_font(font), m_expandTabs(flags & DT_EXPANDTABS)
    {
        if (m_expandTabs)
            m_tabWidth = std::max(1, 8 * m.TextWidth(font, QStringLiteral("x")));
    }

    // Calls f(offset, segment) for every piece of the line between tab stops.
    template <class F>
    int Walk(const QString& line, F&& f) const
    {
        if (!m_expandTabs) {
            f(0, line);
            return m_metrics.TextWidth(m_font, line);
        }
        int pos = 0;
        qsizetype start = 0;
        while (true) {
            const qsizetype tab = line.indexOf(QLatin1Char('\t'), start);
            const QString seg = line.mid(start, tab < 0 ? -1 : tab - start);
            f(pos, seg);
            pos += m_metrics.TextWidth(m_font, seg);
            if (tab < 0)
                return pos;
            pos = (pos / m_tabWidth + 1) * m_tabWidth;
            start = tab + 1;
        }
    }

    int Width(const QString& line) const
    {
        return Walk(line, [](int, const QString&) {});
    }

    // The longest beginning of line that fits width with the ellipsis after it.
    QString Ellipsize(const QString& line, int width) const
    {
        if (Width(line) <= width)
            return line;
        qsizetype lo = 0, hi = line.size();  // the answer lies in [lo, hi)
        while (hi - lo > 1) {
            const qsizetype mid = (lo + hi) / 2;
            if (Width(line.left(mid) + kTextEllipsis) <= width)
                lo = mid;
            else
                hi = mid;
        }
        return line.left(lo) + kTextEllipsis;
    }

private:
    ITextMetrics& m_metrics;
    const TFont& m_font;
    bool m_expandTabs;
    int m_tabWidth = 1;
};

QStringList SplitLines(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.split(QLatin1Char('\n'));
}

QString ChopBlanks(QString s)
{
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

// Greedy breaking between words; a word wider than the line stays whole on its own line.
QStringList WrapParagraph(const LineLayout& layout, const QString& para, int width)
{
    QStringList out;
    QString line;
    qsizetype i = 0;
    while (i < para.size()) {
        qsizetype j = i;
        while (j < para.size() && para[j] != QLatin1Char(' '))
            ++j;
        while (j < para.size() && para[j] == QLatin1Char(' '))
            ++j;
        const QString word = para.mid(i, j - i);
        const QString candidate = line + word;
        i = j;
        if (!line.isEmpty() && layout.Width(ChopBlanks(candidate)) > width) {
            out << ChopBlanks(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    out << ChopBlanks(line);
    return out;
}

} // namespace

void DrawResolvedLine(TCanvas& canvas, const TFont& font, const QFont& qfont, int ascent, int width, int height,
                      int x, int y, const QString& text, const TRect& clip, TColor background)
{
    canvas.WithPainter([&](QPainter& p) {
        if (clip != kNoClip)
            p.setClipRect(clip.ToQRect(), Qt::IntersectClip);
        p.translate(x, y);
        if (font.Orientation != 0)
            p.rotate(-font.Orientation / 10.0);
        if (background != clNone)
            p.fillRect(QRect(0, 0, width, height), ToQColor(background));
        p.setFont(qfont);
        p.setPen(ToQColor(font.Color));
        p.drawText(QPoint(0, ascent), text);
    });
}

ITextMetrics& CanvasTextMetrics()
{
    static QtTextMetrics metrics;
    return metrics;
}

void InitCanvasText()
{
    static std::once_flag once;
    std::call_once(once, [] { TCanvas::SetFontFactory(&MakeCanvasFont); });
}

TFont& CanvasFont(TCanvas& canvas)
{
    if (!canvas.Font())
        InitCanvasText();
    if (!canvas.Font())
        canvas.SetFont(MakeCanvasFont());
    return *canvas.Font();
}

TColor TextBackground(const TCanvas& canvas)
{
    return canvas.Brush.Style == bsSolid ? canvas.Brush.Color : clNone;
}

int DrawText(ITextMetrics& metrics, TCanvas& canvas, const TFont& font, TColor background,
             const QString& text, TRect& r, unsigned flags)
{
    const LineLayout layout(metrics, font, flags);
    const int lineHeight = metrics.LineHeight(font);
    QStringList lines;
    if (flags & DT_SINGLELINE) {
        QString t = text;
        t.replace(QLatin1Char('\r'), QLatin1Char(' '));
        t.replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines << t;
    } else {
        for (const QString& para : SplitLines(text)) {
            if (flags & DT_WORDBREAK)
                lines << WrapParagraph(layout, para, r.Width());
            else
                lines << para;
        }
    }
    const int height = int(lines.size()) * lineHeight;
    if (flags & DT_CALCRECT) {
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, layout.Width(line));
        r.Right = r.Left + widest;
        r.Bottom = r.Top + height;
        return height;
    }

    int y = r.Top;
    if (flags & DT_SINGLELINE) {
        if (flags & DT_BOTTOM)
            y = r.Bottom - lineHeight;
        else if (flags & DT_VCENTER)
            y = r.Top + (r.Height() - lineHeight) / 2;
    }
    const TRect clip = (flags & DT_NOCLIP) ? kNoClip : r;
    for (const QString& raw : lines) {
        const QString line = (flags & DT_END_ELLIPSIS) ? layout.Ellipsize(raw, r.Width()) : raw;
        const int w = layout.Width(line);
        int x = r.Left;
        if (flags & DT_RIGHT)
            x = r.Right - w;
        else if (flags & DT_CENTER)
            x = r.Left + (r.Width() - w) / 2;
        layout.Walk(line, [&](int offset, const QString& seg) {
            metrics.DrawLine(canvas, font, x + offset, y, seg, clip, background);
        });
        y += lineHeight;
    }
    return height;
}

int DrawText(TCanvas& canvas, const QString& text, TRect& r, unsigned flags)
{
    return DrawText(CanvasTextMetrics(), canvas, CanvasFont(canvas), TextBackground(canvas), text, r, flags);
}

TSize TextExtent(TCanvas& canvas, const QString& text)
{
    const TFont& font = CanvasFont(canvas);
    return TSize{CanvasTextMetrics().TextWidth(font, text), CanvasTextMetrics().LineHeight(font)};
}

int TextWidth(TCanvas& canvas, const QString& text) { return TextExtent(canvas, text).cx; }

int TextHeight(TCanvas& canvas, const QString& text) { return TextExtent(canvas, text).cy; }

void TextOut(TCanvas& canvas, int x, int y, const QString& text)
{
    const TFont& font = CanvasFont(canvas);
    CanvasTextMetrics().DrawLine(canvas, font, x, y, text, kNoClip, TextBackground(canvas));
    canvas.PenPos = TPoint(x + CanvasTextMetrics().TextWidth(font, text), y);
}

void TextRect(TCanvas& canvas, const TRect& r, int x, int y, const QString& text)
{
    if (TextBackground(canvas) != clNone)
        canvas.FillRect(r);
    CanvasTextMetrics().DrawLine(canvas, CanvasFont(canvas), x, y, text, r, clNone);
}

void DrawFocusRect(TCanvas& canvas, const TRect& rect)
{
    const TRect r = rect.Normalized();
    if (r.IsEmpty())
        return;
    // The edge pixels, each once, every other one from the top-left corner on.
    std::vector<TPoint> dots;
    const auto add = [&](int x, int y) {
        if ((((x - r.Left) + (y - r.Top)) & 1) == 0)
            dots.emplace_back(x, y);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        add(x, r.Top);
        if (r.Bottom - 1 > r.Top)
            add(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        add(r.Left, y);
        if (r.Right - 1 > r.Left)
            add(r.Right - 1, y);
    }
    if (canvas.Image()) {
        for (const TPoint& p : dots) {
            const TColor c = canvas.Pixel(p.X, p.Y);
            if (c != -1)
                canvas.SetPixel(p.X, p.Y, c ^ 0xFFFFFF);
        }
        return;
    }
    canvas.WithPainter([&](QPainter& p) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(Qt::white);
        for (const TPoint& d : dots)
            p.drawPoint(d.X, d.Y);
    });
}
