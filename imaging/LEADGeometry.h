#pragma once
// The display geometry of the picture control as plain values: where the source rectangle of
// the picture is drawn in the client area, at which zoom, and how far it is scrolled. No
// widgets here; the control (LEADImage_display.cpp) keeps one TLeadGeometry and adds what
// needs a window (repaints, scroll bars, child controls, its own size).
//
// Conventions:
//  - Boxes are Left, Top, Width, Height. Dst and DstClip are relative to the inner area (the
//    client area less the frame on every side); DstRect is the destination in client pixels,
//    frame included; Src and SrcClip are pixels of the picture as seen (view perspective).
//  - A zoom factor of 1.0 is one screen pixel per picture pixel; a negative factor n shrinks
//    by 1 / (1 - n).
//  - Rounding is to the nearest integer, halves to the even neighbour.
#include "platform/vcl/Types.h"

#include <cstdint>

// A rectangle as Left, Top, Width and Height.
struct TLeadBox {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    constexpr TLeadBox() = default;
    constexpr TLeadBox(int left, int top, int width, int height)
        : Left(left), Top(top), Width(width), Height(height) {}
    constexpr TRect ToRect() const { return TRect(Left, Top, Left + Width, Top + Height); }
    constexpr bool operator==(const TLeadBox&) const = default;
};

// The size modes of PaintSizeMode, in their ordinal order.
enum class TLeadSizeMode { Normal, Stretch, FitSides, Fit, Zoom };

// What the layout reads from the control.
struct TLeadLayoutInput {
    int ClientWidth = 0;      // the client area (less the scroll bars shown)
    int ClientHeight = 0;
    int FrameWidth = 0;
    int PictureWidth = 0;     // the picture as seen; 0 without one
    int PictureHeight = 0;
    int PictureXResolution = 0;  // dots per inch of the picture
    int PictureYResolution = 0;
    int ScreenXDpi = 96;
    int ScreenYDpi = 96;
    TLeadSizeMode SizeMode = TLeadSizeMode::Normal;
    bool UseDPI = false;       // PaintSizeUseDPI
    bool AutoSetRects = true;
    bool AutoScroll = true;
    bool AutoSize = false;     // AutoSize on and a picture held: the control takes the picture's size
    bool CenterImage = false;
    bool Scrolling = false;    // a scroll step runs: the rectangles stay
};

struct TLeadGeometry {
    TLeadBox Dst;
    TLeadBox DstClip;
    TLeadBox Src;
    TLeadBox SrcClip;
    TRect DstRect;
    double ZoomX = 1.0;
    double ZoomY = 1.0;
    int ViewWidth = 0;   // the inner area
    int ViewHeight = 0;
    int HScrollPos = 0;
    int VScrollPos = 0;
    int HScrollMax = 0;
    int VScrollMax = 0;

    // The layout: the inner size; unless Scrolling, the automatic rectangles (AutoSetRects),
    // the scroll maxima and the positions clamped to them, the destination following the
    // positions (AutoScroll without AutoSize), DstClip and DstRect from Dst (AutoSetRects);
    // then the centring (CenterImage, for a picture narrower or shorter than the inner area).
    // Returns how far the scroll positions moved, which child controls follow.
    TPoint Recalc(const TLeadLayoutInput& in);
    // The rectangles of the size mode: zoom factors and destination size from the picture's
    // size (scaled by the resolutions with UseDPI) and the inner area.
    void AutoSizeRects(const TLeadLayoutInput& in);
    // Centres the destination in the inner area along each axis where it is smaller.
    void CenterDstRect(const TLeadLayoutInput& in);
    // Src := the whole picture; SrcClip := Src.
    void ResetSrcRects(int pictureWidth, int pictureHeight);
    // The size mode Normal: scroll positions 0, zoom 1, the destination of the picture's own
    // size. Returns how far the scroll positions moved.
    TPoint ResetToNormal(int pictureWidth, int pictureHeight);
    // The destination width (a negative value counts as 0) or height (stored as given) with the
    // zoom factor that gives it; a picture of width (height) 0 gives the factor 1.
    void SetDstWidth(int width, int pictureWidth);
    void SetDstHeight(int height, int pictureHeight);
    // PaintZoomFactor as read: in Stretch the smaller factor, otherwise ZoomX, in percent.
    int ZoomPercent(TLeadSizeMode mode) const;
    // The picture pixel (as seen) under a client pixel; false (and 0, 0) while the
    // destination is empty. Products in 64 bits, divisions truncate.
    bool ClientToView(int x, int y, int frameWidth, int& viewX, int& viewY) const;

    bool Narrower() const { return Dst.Width < ViewWidth; }
    bool Shorter() const { return Dst.Height < ViewHeight; }
};

// The extent of size picture pixels at zoom: zoom > 0 gives round(zoom x size), zoom < 0
// round(size / (1 - zoom)), zoom 0 gives 1. Results are kept within 0 .. 2^30.
int LeadScaledExtent(int size, double zoom);

// a x b / c rounded to the nearest integer (halves away from zero), in 64 bits; c 0 gives -1.
int LeadMulDiv(int a, int b, int c);

// The stored pixel of a picture stored width x height with view perspective viewPerspective
// (1 to 8; others count as 1) that shows at (x, y) of the view.
TPoint LeadViewToStored(int x, int y, int viewPerspective, int storedWidth, int storedHeight);
