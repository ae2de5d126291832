#pragma once
// The imaging kernel: drawing effects (gradients, bevel frames, framed 3D shapes) on a drawing
// surface. A surface is any block of B, G, R (3 bytes) or B, G, R, X (4 bytes, such as a
// 32-bit screen buffer) pixels; drawing is clipped to it. Plain C++, no Qt.
#include "platform/imagelib/ltkrn.h"

#include <cstdint>

struct LEfxSurface {
    std::uint8_t* Bits = nullptr;   // row 0
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t BytesPerLine = 0;
    std::int32_t BytesPerPixel = 3; // 3 or 4
};

// A surface on the pixels of a 24-bit bitmap stored top-left (a write: see BeginWrite). Other
// depths or perspectives give LE_INVALID_BITS / LE_NOT_SUPPORTED.
int L_EfxSurfaceOfBitmap(LBitmap* bitmap, LEfxSurface* surface);

// ---- gradients -------------------------------------------------------------------------------
// Styles: 1000-1015 linear, the colour running from start to end in the direction
// (style - 1000) x 22.5 degrees clockwise from left-to-right; 2000-2007 from the middle out
// (even: start colour in the middle, odd: at the edge) as rectangles (2000, 2001), from the
// middle row (2002, 2003), from the middle column (2004, 2005) or as a cross (2006, 2007);
// 3000-3001 ellipses and 4000-4001 diamonds (3000 and 4000: start colour in the centre);
// 5000-5003 mirrored linear (start colour at both ends, end colour in the middle, in the
// directions (style - 5000) x 45 degrees); 5004-5007 out of a corner (start colour in the
// top left, top right, bottom right, bottom left corner). steps (2..265) colour bands; other
// styles or step counts give LE_INVALID_PARAMETER.
int L_EfxGradientFillRect(LEfxSurface* surface, const LRect* rect, std::uint32_t style, LColor startColor,
                          LColor endColor, std::uint32_t steps);
bool L_EfxIsGradientStyle(std::uint32_t style);

// ---- bevel frame -------------------------------------------------------------------------------
// Drawn inside rect from the outside in: the outer bevel (outerWidth), the frame band
// (thickness, color), the inner bevel (innerWidth). A raised bevel has its highlight on the top
// and left edges, an inset one on the bottom and right.
inline constexpr std::uint32_t LEFX_FRAME_OUTER_RAISED = 16;
inline constexpr std::uint32_t LEFX_FRAME_INNER_RAISED = 32;
int L_EfxDrawFrame(LEfxSurface* surface, const LRect* rect, std::uint32_t flags, std::uint32_t thickness, LColor color,
                   std::uint32_t innerWidth, LColor innerShadow, LColor innerHilite, std::uint32_t outerWidth,
                   LColor outerShadow, LColor outerHilite);

// ---- 3D shapes ---------------------------------------------------------------------------------
inline constexpr std::uint32_t LEFX_SHAPE_RECTANGLE = 2000;

// Background of the shape's inside.
inline constexpr std::int32_t LEFX_BACK_OPAQUE = 0;            // pattern back colour, then the image
inline constexpr std::int32_t LEFX_BACK_TRANSPARENT = 1;       // the image over what is there
inline constexpr std::int32_t LEFX_BACK_TRANSLUCENT = 2;       // the image (or back colour) at half strength
inline constexpr std::int32_t LEFX_BACK_TILED = 3;             // the image tiled at its own size
inline constexpr std::int32_t LEFX_BACK_TRANSLUCENT_TILED = 4; // tiled at half strength

// Pattern lines over the inside (PatternForeColor): 0 solid and 1 transparent draw none;
// 2 horizontal, 3 vertical, 4 downward diagonal, 5 upward diagonal, 6 cross, 7 diagonal cross.
inline constexpr std::int32_t LEFX_PATTERN_SOLID = 0;
inline constexpr std::int32_t LEFX_PATTERN_TRANSPARENT = 1;

// Border line styles (as pen styles): 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none.
// Band styles: 0 none, 1 raised, 2 inset.
inline constexpr std::int32_t LEFX_BAND_NONE = 0;
inline constexpr std::int32_t LEFX_BAND_RAISED = 1;
inline constexpr std::int32_t LEFX_BAND_INSET = 2;

struct LEfx3dShape {
    std::uint32_t Shape = LEFX_SHAPE_RECTANGLE;
    // The shape with its shadow: the body takes the rectangle less the shadow depths, the
    // shadow the body's place moved by the depths (down and right for positive depths).
    LRect Rect;
    LColor PatternBackColor = 0;
    LColor PatternForeColor = 0;
    std::int32_t PatternStyle = LEFX_PATTERN_TRANSPARENT;
    // The picture of the inside, or null; BackgroundRect is the part of it that is used
    // (empty: all of it), stretched to the inside (tiled styles: drawn at its own size).
    const LBitmap* Background = nullptr;
    LRect BackgroundRect;
    std::int32_t BackgroundStyle = LEFX_BACK_TRANSPARENT;
    // From the outside in: outer band, border, inner band, the inside.
    LColor BorderColor = 0;
    std::int32_t BorderStyle = 0;
    std::int32_t BorderThickness = 0;
    LColor InnerHiliteColor = 0xffffff;
    LColor InnerShadowColor = 0x808080;
    std::int32_t InnerStyle = LEFX_BAND_NONE;
    std::int32_t InnerThickness = 0;
    LColor OuterHiliteColor = 0xffffff;
    LColor OuterShadowColor = 0x808080;
    std::int32_t OuterStyle = LEFX_BAND_NONE;
    std::int32_t OuterThickness = 0;
    LColor ShadowColor = 0;
    std::int32_t ShadowXDepth = 0;
    std::int32_t ShadowYDepth = 0;
};

// Draws the shape. Unknown shapes give LE_NOT_SUPPORTED; styles out of range, negative
// thicknesses and an unallocated background give LE_INVALID_PARAMETER.
int L_EfxDraw3dShape(LEfxSurface* surface, const LEfx3dShape* shape);
