#pragma once
// The imaging kernel: bitmaps, bitmap lists, regions.
//
// Conventions shared by every call:
//  - A call returns LE_SUCCESS (1) or a failure code of lterr.h, unless it says otherwise.
//  - Pixels are stored top-down: row 0 is the first row in memory. Rows are padded to a
//    multiple of 4 bytes (BytesPerLine). Depths are 1, 4 and 8 bits per pixel with a palette
//    (grey pictures are 8 bits with a grey palette) and 24 bits in the byte order B, G, R, so
//    that a 24-bit bitmap can be shown through QImage(Bits(), Width, Height, BytesPerLine,
//    QImage::Format_BGR888) without a copy. In 1- and 4-bit rows the leftmost pixel is in the
//    high bits of a byte.
//  - Pixel storage is shared between copies of a handle (copy on write). Copying an LBitmap
//    (by assignment, L_CopyBitmap, L_CopyBitmapHandle, a list insert or get) never copies
//    pixels; the first write through one of the copies does. Every writer calls BeginWrite()
//    first, which makes the pixels private to that handle and gives them a new generation.
//  - Kernel state that calls share (status callback, default options) belongs to the calling
//    thread. A worker thread may use the kernel on bitmaps it alone owns.
#include "platform/imagelib/lterr.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// ---- colours and rectangles --------------------------------------------------------------

// A colour as 0x00BBGGRR (the Windows COLORREF layout).
using LColor = std::uint32_t;
constexpr LColor LRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return LColor(r) | (LColor(g) << 8) | (LColor(b) << 16);
}
constexpr std::uint8_t LRedOf(LColor c) { return std::uint8_t(c & 0xff); }
constexpr std::uint8_t LGreenOf(LColor c) { return std::uint8_t((c >> 8) & 0xff); }
constexpr std::uint8_t LBlueOf(LColor c) { return std::uint8_t((c >> 16) & 0xff); }

// One palette entry, in the byte order of BMP files.
struct LRgbQuad {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
    std::uint8_t Reserved = 0;
    friend bool operator==(const LRgbQuad&, const LRgbQuad&) = default;
};

// A rectangle; right and bottom are exclusive.
struct LRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const LRect&, const LRect&) = default;
};

// ---- view perspective ----------------------------------------------------------------------
// How the stored rows are shown. The name tells where stored row 0 and stored column 0 appear
// in the picture as seen. Perspectives 4, 5, 7 and 8 show width and height swapped.
inline constexpr std::int32_t LVP_TOP_LEFT = 1;     // as stored
inline constexpr std::int32_t LVP_TOP_RIGHT = 2;    // mirrored left to right
inline constexpr std::int32_t LVP_BOTTOM_RIGHT = 3; // turned by 180 degrees
inline constexpr std::int32_t LVP_RIGHT_TOP = 4;    // turned 90 degrees clockwise
inline constexpr std::int32_t LVP_LEFT_TOP = 5;     // transposed (mirrored along the main diagonal)
inline constexpr std::int32_t LVP_BOTTOM_LEFT = 6;  // flipped top to bottom
inline constexpr std::int32_t LVP_LEFT_BOTTOM = 7;  // turned 90 degrees counter-clockwise
inline constexpr std::int32_t LVP_RIGHT_BOTTOM = 8; // transverse (mirrored along the other diagonal)

constexpr bool L_IsViewPerspective(std::int32_t vp) { return vp >= 1 && vp <= 8; }
constexpr bool L_IsViewSwapped(std::int32_t vp) { return vp == 4 || vp == 5 || vp == 7 || vp == 8; }

// The view perspective that shows a picture stored with an EXIF/TIFF orientation value
// (1 to 8) upright. Other values give LVP_TOP_LEFT.
std::int32_t L_ViewPerspectiveFromOrientation(std::int32_t orientation);

// ---- regions -----------------------------------------------------------------------------
// A region is a set of pixels attached to a bitmap, in stored-pixel coordinates. It is kept as
// a mask over its bounding rectangle. Regions are immutable once attached; copies of a bitmap
// share them, and every change attaches a new one.
struct LRegion {
    LRect Bounds;                    // never empty, inside the bitmap
    std::vector<std::uint8_t> Mask;  // Bounds.Width() x Bounds.Height() bytes, non-zero = inside

    bool Contains(std::int32_t x, std::int32_t y) const;
    // The mask row of bitmap row y (Bounds.Top <= y < Bounds.Bottom); index 0 is Bounds.Left.
    const std::uint8_t* MaskRow(std::int32_t y) const
    {
        return Mask.data() + std::size_t(y - Bounds.Top) * std::size_t(Bounds.Width());
    }
};

// How a new shape combines with the region already there.
inline constexpr std::uint32_t LRGN_AND = 0;       // keep what lies in both
inline constexpr std::uint32_t LRGN_SET = 1;       // the shape replaces the region
inline constexpr std::uint32_t LRGN_OR = 2;        // add the shape
inline constexpr std::uint32_t LRGN_XOR = 3;       // pixels in exactly one of them
inline constexpr std::uint32_t LRGN_AND_NOT = 4;   // remove the shape from the region
inline constexpr std::uint32_t LRGN_SET_NOT = 5;   // everything but the shape

// Coordinates handed to the region calls. A point (x, y) of the caller becomes
//   ((x + XOffset) * XNumerator / XDenominator, (y + YOffset) * YNumerator / YDenominator)
// in a picture seen with ViewPerspective (0 means LVP_TOP_LEFT, i.e. stored coordinates),
// which is then turned into stored coordinates. The reverse direction (bounds handed out)
// applies the inverse. A null transform means stored coordinates.
struct LRgnXForm {
    std::int32_t ViewPerspective = 0;
    std::int32_t XNumerator = 1;
    std::int32_t XDenominator = 1;
    std::int32_t YNumerator = 1;
    std::int32_t YDenominator = 1;
    std::int32_t XOffset = 0;
    std::int32_t YOffset = 0;
};

// ---- bitmaps ---------------------------------------------------------------------------------
inline constexpr std::uint32_t LBF_ALLOCATED = 1; // Flags bit 0: the pixels are allocated

struct LPixelStore; // the shared pixel storage (pixels and palette); kernel-private

struct LBitmap {
    std::int32_t Width = 0;         // stored width in pixels
    std::int32_t Height = 0;        // stored height in pixels
    std::int32_t BitsPerPixel = 0;  // 0 (empty), 1, 4, 8 or 24
    std::int32_t BytesPerLine = 0;  // stored row length, a multiple of 4
    std::uint32_t Flags = 0;        // LBF_ALLOCATED
    std::int32_t ViewPerspective = LVP_TOP_LEFT;
    std::int32_t XResolution = 96;  // dots per inch
    std::int32_t YResolution = 96;
    std::int32_t Delay = 0;         // display time of an animation page, milliseconds

    bool IsAllocated() const { return (Flags & LBF_ALLOCATED) != 0 && Bits() != nullptr; }
    bool IsViewSwapped() const { return L_IsViewSwapped(ViewPerspective); }
    // Width and height of the picture as seen through the view perspective.
    std::int32_t ViewWidth() const { return IsViewSwapped() ? Height : Width; }
    std::int32_t ViewHeight() const { return IsViewSwapped() ? Width : Height; }

    // Read access. Bits() is stored row 0; Row(y) is stored row y (0 <= y < Height).
    const std::uint8_t* Bits() const;
    const std::uint8_t* Row(std::int32_t y) const { return Bits() + std::ptrdiff_t(y) * BytesPerLine; }
    std::size_t DataSize() const { return std::size_t(BytesPerLine) * std::size_t(Height > 0 ? Height : 0); }

    // Write access: makes the pixels private to this handle (copying them when another handle
    // shares them) and gives them a new generation. Returns stored row 0, or nullptr when the
    // bitmap is not allocated or the copy could not be made (no memory).
    std::uint8_t* BeginWrite();
    std::uint8_t* WriteRow(std::uint8_t* bits, std::int32_t y) const { return bits + std::ptrdiff_t(y) * BytesPerLine; }

    // Palette of 1-, 4- and 8-bit bitmaps: PaletteSize() = 2^BitsPerPixel entries (0 for 24 bits).
    const LRgbQuad* Palette() const;
    std::int32_t PaletteSize() const;
    // Replaces palette entries 0..count-1 (a write: see BeginWrite). Returns a result code.
    int SetPalette(const LRgbQuad* entries, std::int32_t count);
    // True when every palette entry is a grey (red = green = blue).
    bool HasGreyPalette() const;

    // Changes whenever the pixels or the palette change; equal generations mean equal
    // contents. 0 for a bitmap without pixels. Values are unique within the process.
    std::uint64_t Generation() const;
    bool SharesPixelsWith(const LBitmap& other) const;

    // The region attached to the bitmap, or nullptr.
    const LRegion* Region() const { return region_.get(); }

private:
    std::shared_ptr<LPixelStore> store_;
    std::shared_ptr<const LRegion> region_;
    friend struct LBitmapAccess;
};

// Row length in bytes of a bitmap row (padded to 4 bytes); -1 when it does not fit.
std::int32_t L_BytesPerLine(std::int32_t width, std::int32_t bitsPerPixel);

// Empties the record and sets its geometry without allocating pixels. Width, height and bits 0
// give an empty record. Bits must be 0, 1, 4, 8 or 24.
int L_InitBitmap(LBitmap* bitmap, std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel);

// Allocates a bitmap filled with zeros (palette index 0, or black). palette gives the first
// paletteCount entries (the rest are black); without one, palette bitmaps get a grey ramp from
// black to white. A size beyond the kernel's memory limit gives LE_NO_MEMORY without allocating.
int L_CreateBitmap(LBitmap* bitmap, std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                   const LRgbQuad* palette = nullptr, std::int32_t paletteCount = 0);

// dst becomes a copy of src (its pixels, palette, region, perspective, resolution). The pixels
// are shared until one side writes. src must be allocated (else LE_NO_BITMAP).
int L_CopyBitmap(LBitmap* dst, const LBitmap* src);

// dst becomes the same handle as src, whatever src holds (also an empty record).
int L_CopyBitmapHandle(LBitmap* dst, const LBitmap* src);

// Releases the pixels and the region of this handle and empties the record. Other handles that
// share the pixels keep them.
int L_FreeBitmap(LBitmap* bitmap);

// Copies row `row` of the picture as seen through its view perspective (0 = top) into buffer,
// at most `bytes` bytes, in the bitmap's depth. Returns the number of bytes copied (the row
// length, L_BytesPerLine(ViewWidth(), BitsPerPixel), or less when bytes is smaller), or a
// failure code.
std::int32_t L_GetBitmapRow(const LBitmap* bitmap, std::uint8_t* buffer, std::int32_t row, std::uint32_t bytes);

// Re-stores the pixels so that the picture stays the same but the bitmap has the view
// perspective viewPerspective (0 means LVP_TOP_LEFT). dst null or equal to src changes src in
// place. The region follows the pixels.
int L_ChangeBitmapViewPerspective(LBitmap* dst, LBitmap* src, std::int32_t viewPerspective);

// ---- regions -----------------------------------------------------------------------------
// The shape is combined into the bitmap's region with combineMode (LRGN_*). rect is normalised
// (left <= right, top <= bottom) and clipped to the bitmap. A combination that leaves no pixel
// removes the region.
int L_SetBitmapRgnRect(LBitmap* bitmap, const LRgnXForm* xform, const LRect* rect, std::uint32_t combineMode);
int L_SetBitmapRgnEllipse(LBitmap* bitmap, const LRgnXForm* xform, const LRect* rect, std::uint32_t combineMode);
// A rounded rectangle: its corners are quarters of an ellipse ellipseWidth x ellipseHeight
// (in the caller's coordinates, at most the rectangle's size).
int L_SetBitmapRgnRoundRect(LBitmap* bitmap, const LRgnXForm* xform, const LRect* rect, std::int32_t ellipseWidth,
                            std::int32_t ellipseHeight, std::uint32_t combineMode);
// Polygon fill modes: alternate (even-odd) and winding (non-zero).
inline constexpr std::uint32_t LPOLY_ALTERNATE = 1;
inline constexpr std::uint32_t LPOLY_WINDING = 2;
struct LPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};
// A polygon through count points (closed back to the first); a pixel is inside when its centre
// is, by fillMode.
int L_SetBitmapRgnPolygon(LBitmap* bitmap, const LRgnXForm* xform, const LPoint* points, std::uint32_t count,
                          std::uint32_t fillMode, std::uint32_t combineMode);

// A region on its own, as a value: the pixels of a bitmap's region in its stored coordinates.
// Copies share the mask; nothing is ever to be freed. Empty: no pixels.
struct LRgnHandle {
    std::shared_ptr<const LRegion> Region;
    bool IsEmpty() const { return !Region; }
    LRect Bounds() const { return Region ? Region->Bounds : LRect{}; }
    bool Contains(std::int32_t x, std::int32_t y) const { return Region && Region->Contains(x, y); }
};
// A copy of the bitmap's region (empty without one).
int L_GetBitmapRgnHandle(const LBitmap* bitmap, LRgnHandle* region);
// Combines region into the bitmap's region, its pixel (x, y) landing on stored pixel
// (x + XOffset, y + YOffset) of xform (null: no offset; the scale values must be 1).
int L_SetBitmapRgnHandle(LBitmap* bitmap, const LRgnXForm* xform, const LRgnHandle* region, std::uint32_t combineMode);

// Removes the region (success also when there was none).
int L_FreeBitmapRgn(LBitmap* bitmap);
bool L_BitmapHasRgn(const LBitmap* bitmap);
// Bounds of the region, through xform (null: stored coordinates). No region: an empty
// rectangle and LE_SUCCESS.
int L_GetBitmapRgnBounds(const LBitmap* bitmap, const LRgnXForm* xform, LRect* bounds);
// Whether stored pixel (col, row) lies in the region (false without a region).
bool L_IsPtInBitmapRgn(const LBitmap* bitmap, std::int32_t row, std::int32_t col);

// ---- bitmap lists ------------------------------------------------------------------------
// Items are bitmap handles copied in and out (the pixels are shared, see above); index -1
// appends. A list owns references to its items' pixels until they are deleted or the list is
// destroyed.
struct LBitmapList; // opaque

int L_CreateBitmapList(LBitmapList** list);
int L_DestroyBitmapList(LBitmapList* list);
// Inserts a copy of bitmap before index (-1 or the count: at the end). bitmap must be allocated.
int L_InsertBitmapListItem(LBitmapList* list, std::int32_t index, const LBitmap* bitmap);
// bitmap becomes a copy of item index.
int L_GetBitmapListItem(const LBitmapList* list, std::int32_t index, LBitmap* bitmap);
// Item index becomes a copy of bitmap.
int L_SetBitmapListItem(LBitmapList* list, std::int32_t index, const LBitmap* bitmap);
int L_GetBitmapListCount(const LBitmapList* list, std::uint32_t* count);
// Creates *dst holding copies of count items of src from index (count -1: to the end).
int L_CopyBitmapListItems(LBitmapList** dst, const LBitmapList* src, std::int32_t index, std::int32_t count);
// Deletes count items from index (count -1: to the end).
int L_DeleteBitmapListItems(LBitmapList* list, std::int32_t index, std::int32_t count);
// Takes item index out of the list into bitmap (bitmap may be null to just drop it).
int L_RemoveBitmapListItem(LBitmapList* list, std::int32_t index, LBitmap* bitmap);

// ---- version -----------------------------------------------------------------------------
struct LVersionInfo {
    std::string Product;
    std::int32_t MajorNumber = 0;
    std::int32_t MinorNumber = 0;
    std::string Date; // build date, "YYYY-MM-DD"
    std::string Time; // build time, "HH:MM:SS"
};
int L_VersionInfo(LVersionInfo* info);
