#include "controls/ListTextMetrics.h"

#include <QPainter>

#include <algorithm>
#include <climits>

namespace {

// Fonts and widths kept; beyond them the least used font goes, and a font's widths start anew.
constexpr size_t kFonts = 16;
constexpr qsizetype kWidths = 8192;

} // namespace

TListTextMetrics::Resolved& TListTextMetrics::Resolve(const TFont& font)
{
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        Resolved& r = *m_fonts[i];
        if (r.height == font.Height() && r.style == font.Style && r.name == font.Name) {
            if (i > 0)
                std::rotate(m_fonts.begin(), m_fonts.begin() + std::ptrdiff_t(i), m_fonts.begin() + std::ptrdiff_t(i) + 1);
            return *m_fonts.front();
        }
    }
    auto r = std::make_unique<Resolved>();
    r->name = font.Name;
    r->style = font.Style;
    r->height = font.Height();
    r->font = font.ToQFont();
    r->metrics = QFontMetrics(r->font);
    r->lineHeight = r->metrics.height();
    if (m_fonts.size() >= kFonts)
        m_fonts.pop_back();
    m_fonts.insert(m_fonts.begin(), std::move(r));
    return *m_fonts.front();
}

int TListTextMetrics::TextWidth(const TFont& font, const QString& text)
{
    Resolved& r = Resolve(font);
    const auto it = r.widths.constFind(text);
    if (it != r.widths.constEnd())
        return *it;
    if (r.widths.size() >= kWidths)
        r.widths.clear();
    const int width = r.metrics.horizontalAdvance(text);
    r.widths.insert(text, width);
    return width;
}

int TListTextMetrics::LineHeight(const TFont& font) { return Resolve(font).lineHeight; }

void TListTextMetrics::DrawLine(TCanvas& canvas, const TFont& font, int x, int y, const QString& text,
                                const TRect& clip, TColor background)
{
    if (text.isEmpty())
        return;
    // As CanvasTextMetrics draws a line, with the resolved font.
    const Resolved& r = Resolve(font);
    const int width = background != clNone ? TextWidth(font, text) : 0;
    DrawResolvedLine(canvas, font, r.font, r.metrics.ascent(), width, r.lineHeight, x, y, text, clip, background);
}
