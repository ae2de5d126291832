#pragma once
// The imaging kernel: processing of bitmaps (resize, rotate, mirror, grey scale, colour
// balance, sharpen, blur, red eyes, fill, combine) and the screen capture service.
//
// Conventions shared by these calls (besides those of ltkrn.h):
//  - A call changes *bitmap only when it succeeds; a failure or an abort by the status
//    callback (L_SetStatusCallBack, reported 0..100 while the call runs) leaves it as it was.
//  - Operations that compute new colours work on 24-bit B, G, R pixels or on the grey levels
//    of an 8-bit grey bitmap (its palette becomes the plain ramp 0..255 first). Any other
//    bitmap of 8 bits or fewer becomes 24 bits first and stays so. Exact pixel permutations
//    (quarter turns, flips, nearest-neighbour resizing) keep every depth and palette.
//  - Rotations, flips and resizing carry the bitmap's region along with its pixels.
//  - Calls work on the picture as seen through its view perspective and return it stored
//    top-left (LVP_TOP_LEFT).
//  - Callable from any thread on bitmaps that thread alone owns.
#include "platform/imagelib/ltkrn.h"

#include <cstdint>

// ---- resizing -----------------------------------------------------------------------------
// Flags of L_SizeBitmap. 0 picks the nearest pixel; 2 resamples (a triangle filter); 4 is
// bicubic. When shrinking, both filters widen with the scale (each output pixel averages all
// the input pixels under it), so a large picture shrunk to a thumbnail shows no aliasing.
inline constexpr std::uint32_t LSIZE_NORMAL = 0;
inline constexpr std::uint32_t LSIZE_FAVORBLACK = 1;  // taken as LSIZE_NORMAL
inline constexpr std::uint32_t LSIZE_RESAMPLE = 2;
inline constexpr std::uint32_t LSIZE_BICUBIC = 4;

// Resizes the picture as seen to width x height. A width or height below 1 gives
// LE_INVALID_SIZE.
int L_SizeBitmap(LBitmap* bitmap, std::int32_t width, std::int32_t height, std::uint32_t flags);

// ---- rotating and mirroring ---------------------------------------------------------------
inline constexpr std::uint32_t LROTATE_RESIZE = 1;  // the bitmap grows to hold the turned picture

// Turns the picture by angle hundredths of a degree; positive angles turn clockwise (9000 moves
// the top-left corner to the top right). Quarter turns are exact pixel permutations; other
// angles sample bilinearly and fill the uncovered corners with fillColor. With LROTATE_RESIZE
// the bitmap takes the size of the turned picture's bounding box, else it keeps its size and
// the corners of the turned picture are cut off.
int L_RotateBitmap(LBitmap* bitmap, std::int32_t angle, std::uint32_t flags, LColor fillColor);

// A quarter turn (angle a multiple of 9000, positive clockwise) as an exact pixel permutation:
// width and height swap for odd quarters. Other angles give LE_INVALID_PARAMETER.
int L_RotateBitmapViewPerspective(LBitmap* bitmap, std::int32_t angle);

// Top to bottom.
int L_FlipBitmap(LBitmap* bitmap);
// Left to right.
int L_ReverseBitmap(LBitmap* bitmap);

// ---- colour --------------------------------------------------------------------------------
// The picture stored top-left at 24 bits (palette pictures expanded), region kept.
int L_ExpandBitmapTo24(LBitmap* bitmap);

// The bitmap becomes an 8-bit grey bitmap (ITU-R BT.601 luma: 0.299 R + 0.587 G + 0.114 B).
// Only 8 bits are written; other values give LE_INVALID_BITS.
int L_GrayScaleBitmap(LBitmap* bitmap, std::int32_t bitsPerPixel);

// Each new channel is a weighted sum of the old red, green and blue: new red =
// redFactors[0] * R + redFactors[1] * G + redFactors[2] * B, and so on, clamped to 0..255.
// The result is always 24 bits (a grey picture takes a tint). Factors outside -16..16 or not
// finite give LE_INVALID_PARAMETER.
int L_BalanceColors(LBitmap* bitmap, const double* redFactors, const double* greenFactors, const double* blueFactors);

// ---- filters -------------------------------------------------------------------------------
// Unsharp masking over a 3 x 3 neighbourhood: amount 1..1000 sharpens (1000: the difference
// to the blurred picture added twice), -1000..-1 softens towards the blurred picture, 0
// changes nothing. Outside -1000..1000: LE_INVALID_PARAMETER.
int L_SharpenBitmap(LBitmap* bitmap, std::int32_t amount);

// A Gaussian blur with sigma = radius / 2 pixels; radius 0 changes nothing, below 0 gives
// LE_INVALID_PARAMETER. The cost per pixel does not grow with the radius (three box passes per
// axis from sigma 2 on, an exact kernel below). Edges repeat the border pixels.
int L_GaussianFilterBitmap(LBitmap* bitmap, std::int32_t radius);

// Replaces red-eye pixels inside the bitmap's region (the whole picture without one): a
// pixel counts when its red exceeds both green and blue by at least threshold / 2. It takes
// newColor at the pixel's own brightness (the larger of green and blue) times lightness
// percent (100: as bright as the eye was). Lightness below 0 gives LE_INVALID_PARAMETER.
int L_RemoveRedeyeBitmap(LBitmap* bitmap, LColor newColor, std::int32_t threshold, std::int32_t lightness);

// ---- filling and combining -----------------------------------------------------------------
// Fills the bitmap's region (the whole picture without one) with color.
int L_FillBitmap(LBitmap* bitmap, LColor color);

// Copies the source rectangle (xSrc, ySrc, width x height) of src over the destination
// rectangle at (xDst, yDst), clipped to both bitmaps; only pixels inside the destination's
// region change (all of them without one). src's region is not looked at. Flags 0 and
// LCB_COPY are a plain copy; other flags give LE_NOT_SUPPORTED. A negative width or height
// gives LE_INVALID_PARAMETER.
inline constexpr std::uint32_t LCB_COPY = 800;
int L_CombineBitmap(LBitmap* dst, std::int32_t xDst, std::int32_t yDst, std::int32_t width, std::int32_t height,
                    const LBitmap* src, std::int32_t xSrc, std::int32_t ySrc, std::uint32_t flags);

// ---- screen capture ------------------------------------------------------------------------
// The kernel has no screen of its own: the GUI layer installs a service (process-wide). The
// functions return result codes; Capture fills out with a 24-bit picture of the screen
// rectangle.
struct LScreenService {
    int (*ScreenSize)(void* user, std::int32_t* width, std::int32_t* height) = nullptr;
    int (*Capture)(void* user, const LRect* rect, LBitmap* out) = nullptr;
    void* User = nullptr;
};
// Installs a copy of service (null removes it); the previous one comes back through old.
int L_SetScreenService(const LScreenService* service, LScreenService* old = nullptr);
// True when a service is installed.
bool L_HasScreenService();
// Size of the screen in pixels; LE_NOT_SUPPORTED without a service.
int L_GetScreenSize(std::int32_t* width, std::int32_t* height);
// bitmap becomes a 24-bit picture of the screen rectangle; LE_NOT_SUPPORTED without a
// service, LE_INVALID_PARAMETER for an empty rectangle.
int L_ScreenCaptureBitmap(LBitmap* bitmap, const LRect* rect);

// ---- reduced-size decode of the next load ----------------------------------------------------
// A one-shot decode hint for the next load on the calling thread (L_LoadFile,
// L_LoadBitmapMemory or L_StartFeedLoad, whatever the format and whether it succeeds): a JPEG
// is then decoded at the smallest scale that still gives at least minWidth x minHeight
// (upright; 0 = no limit on that side) unless the load's options carry a hint of their own.
// L_FileInfo leaves it armed. 0 x 0 disarms it.
int L_SetNextLoadDecodeHint(std::int32_t minWidth, std::int32_t minHeight);
