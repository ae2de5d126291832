#pragma once
// Text on the canvas: extents, TextOut, TextRect, DrawText and DrawFocusRect.
//
// Every canvas gets a TFont on first use (InitCanvasText installs the factory; the first
// TFont made or the first text call does it too). Text is drawn without prefix processing:
// an "&" is an ampersand, never the underline mark of the next letter.
//
// The layout of DrawText (lines, word breaks, alignment, tabs, the end ellipsis) is one
// piece of code over ITextMetrics, the measuring and drawing of a single line. The canvas
// functions use the machine's fonts (CanvasTextMetrics); code whose layout must not depend
// on them, such as tests, passes metrics of its own.
#include "platform/vcl/Font.h"
#include "platform/vcl/Graphics.h"

#include <QFont>
#include <QString>

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr bool operator==(const TSize&) const = default;
};

// DrawText flags (the framework's values).
constexpr unsigned DT_TOP = 0x0000;
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;  // single line only
constexpr unsigned DT_BOTTOM = 0x0008;   // single line only
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_EXPANDTABS = 0x0040;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_EXTERNALLEADING = 0x0200;  // accepted; lines are ascent + descent high
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;  // accepted; prefixes are never processed
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// The ellipsis that DT_END_ELLIPSIS puts at the end of a cut line.
inline const QString kTextEllipsis = QStringLiteral("\u2026");

// Measuring and drawing one line of text in a font.
class ITextMetrics {
public:
    virtual ~ITextMetrics() = default;
    // Width in pixels of text drawn on one line (tabs and line ends are not interpreted).
    virtual int TextWidth(const TFont& font, const QString& text) = 0;
    // Height of a line of the font (ascent + descent).
    virtual int LineHeight(const TFont& font) = 0;
    // Draws text with the top-left corner of its first cell at (x, y), rotated about that
    // corner by font.Orientation, clipped to clip and to the canvas clip. With background
    // other than clNone the cells of the text are filled with it first.
    virtual void DrawLine(TCanvas& canvas, const TFont& font, int x, int y, const QString& text,
                          const TRect& clip, TColor background) = 0;
};

// The machine's fonts, through QFontMetrics and QPainter.
ITextMetrics& CanvasTextMetrics();

// The drawing of ITextMetrics::DrawLine with the font already resolved to qfont, whose ascent,
// the text's width and the line height are given; for metrics that keep resolved fonts.
void DrawResolvedLine(TCanvas& canvas, const TFont& font, const QFont& qfont, int ascent, int width, int height,
                      int x, int y, const QString& text, const TRect& clip, TColor background);

// Installs the canvas font factory (idempotent, no Qt work).
void InitCanvasText();
// The canvas font, made on first use.
TFont& CanvasFont(TCanvas& canvas);

// DrawText over any metrics in the given font and text background (clNone: transparent).
// With DT_CALCRECT nothing is drawn: r's right and bottom become those of the text (width of
// the widest line before any ellipsis, height of all lines). Returns the text height.
// DT_SINGLELINE draws one line (line ends become blanks); otherwise the text breaks at line
// ends and, with DT_WORDBREAK, between words that would pass r's right edge. Drawing is
// clipped to r unless DT_NOCLIP.
int DrawText(ITextMetrics& metrics, TCanvas& canvas, const TFont& font, TColor background,
             const QString& text, TRect& r, unsigned flags);

// The text background of a canvas: its brush colour while the brush is solid, else clNone.
TColor TextBackground(const TCanvas& canvas);

// The same with the canvas font and text background and the machine's fonts.
int DrawText(TCanvas& canvas, const QString& text, TRect& r, unsigned flags);
TSize TextExtent(TCanvas& canvas, const QString& text);
int TextWidth(TCanvas& canvas, const QString& text);
int TextHeight(TCanvas& canvas, const QString& text);
// Draws text with its top-left corner at (x, y); PenPos moves to the end of the text.
void TextOut(TCanvas& canvas, int x, int y, const QString& text);
// Draws text at (x, y) clipped to r; with a solid brush r is filled with it first.
void TextRect(TCanvas& canvas, const TRect& r, int x, int y, const QString& text);
// The dotted focus frame inside r: every other pixel of its edge inverted, so drawing it
// twice restores the picture.
void DrawFocusRect(TCanvas& canvas, const TRect& r);
