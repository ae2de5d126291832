#pragma once
// The mini-HTML engine of the list items: it draws an item text into a rectangle, measures
// it, finds the anchor under a point, and gives the text without tags.
//
// The item language: B, I, U, S (strike-out), FONT (FACE, COLOR, BGCOLOR, SIZE), A (anchor;
// its first quoted value is the target), BR, HR, P (ALIGN, INDENT, BGCOLOR, BGCOLORTO), UL
// and LI (bullets), IND (x position), IMG (SRC, ALT, WIDTH, HEIGHT, ALIGN), SUB, SUP, SHAD
// (shadow), E (red wavy underline), Z (hidden), HI (highlight), BLINK, R (rotated text) and
// BODY (BACKGROUND, BGCOLOR, BGCOLORTO, DIR). Named entities: &amp; &lt; &gt; &nbsp; &quot;
// &sect; &permil; &reg; &copy; &para; &trade; &euro; (names ignore case). Attribute values
// are unescaped as well, so a path written with HTMLEscape is read back as it was.
//
// Text is drawn without prefix processing: "Tom&Jerry" shows its "&" and underlines
// nothing. A picture that cannot be loaded stays empty and is skipped.
#include "controls/ImageList.h"
#include "controls/PictureContainer.h"
#include "platform/vcl/CanvasText.h"
#include "platform/vcl/Graphics.h"

#include <QString>
#include <QStringList>

struct THTMLRenderRequest {
    // Where to draw or measure; its font is the starting style and its brush colour the
    // background that BLINK hides text in. Neither is changed.
    TCanvas* Canvas = nullptr;
    // How text is measured and drawn; null: the machine's fonts.
    ITextMetrics* Metrics = nullptr;
    QString Text;
    // The area; text starts at Left + 1.
    TRect Rect;
    const TImageList* Images = nullptr;     // "IDX:" pictures
    int X = -1, Y = -1;                     // the point for the hit test
    int FocusAnchor = -1;                   // anchor (from 0) framed by a focus rectangle
    int HoverAnchor = -1;                   // anchor under the mouse
    int ShadowOffset = 1;                   // of SHAD, right and down
    bool HitTest = false;                   // lay out and test the point; draw nothing
    bool MeasureOnly = false;               // lay out once; draw nothing, the bottom cuts nothing
    bool HighResolution = false;            // image-list and shell pictures times ScaleFactor
    bool Selected = false;                  // anchor, FONT and BODY colours are not applied
    bool BlinkOn = true;                    // false: BLINK text in the background colour
    bool HoverStyle = false;                // only the hover anchor is underlined and coloured
    bool WordWrap = true;                   // false: one line per line, ending in an ellipsis
    double ScaleFactor = 1.0;
    TColor AnchorColor = clBlue;
    TColor HoverBackground = clNone;        // clNone: unchanged
    TColor HoverFontColor = clNone;
    TColor ShadowColor = clGray;
    THTMLPictureCache* Pictures = nullptr;  // pictures by address ("file://...")
    TPictureContainer* Container = nullptr; // pictures by name
    int LineSpacing = 0;                    // pixels added to every line
    int PixelsPerInch = 96;                 // of the device; pictures scale by it / 96
};

struct THTMLRenderResult {
    bool Hit = false;       // the point lies on an anchor, or on a picture inside one
    QString Anchor;         // the target of the anchor under the point
    QString PlainText;      // the runs laid out (hidden ones too), "\r" for every BR
    QString FocusAnchor;    // the target of the focus anchor
    int Width = 0;          // of the widest line
    int Height = 0;         // sum of the line heights; one line of the font for no text
    int AnchorCount = 0;
    int HitAnchorIndex = -1;
    TRect HitAnchorRect;    // of the anchor under the point, on its line
    QString ImageAlt;       // ALT of the picture under the point
};

THTMLRenderResult RenderHTMLText(const THTMLRenderRequest& request);

// The text without markup: BR and HR become "\r\n", hidden runs (Z) are dropped (to the end
// when not closed), every other tag is removed (a "<" without ">" ends the text). Entities
// stay as written.
QString HTMLToPlainText(const QString& text);

// The addresses of the item's cached pictures (IMG sources containing "://"), as the engine
// looks them up; for dropping cache entries that no item uses any more.
QStringList HTMLPictureSources(const QString& text);
