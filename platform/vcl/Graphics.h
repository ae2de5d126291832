#pragma once
// The canvas, its pen and brush, and TBitmap, with the framework's drawing conventions:
//
//  - Rectangles exclude their right and bottom edges: FillRect(Rect(0, 0, 10, 5)) fills
//    x = 0..9, y = 0..4; Rectangle and Ellipse draw inside the same pixels.
//  - A line from MoveTo(a) to LineTo(b) excludes b; Polyline excludes its last point and
//    Polygon draws every vertex once.
//  - The pen mode (pmCopy, pmNot, pmXor, pmNotXor, ...) combines the pen and the brush of
//    Rectangle, Ellipse, Polygon and friends with the picture, and every pixel of a figure is
//    touched exactly once, so drawing a figure twice in pmNot, pmXor or pmNotXor restores
//    the picture. FillRect and FloodFill always copy the brush.
//  - With the pen style psClear the filled figures shrink by one pixel at the right and the
//    bottom (Rectangle(0, 0, 10, 10) fills 0..8), as the framework's figures do.
//  - Dashed pens are one pixel wide; their gaps take the brush colour while the brush is
//    bsSolid and are left alone otherwise. Wider pens always draw solid, with round ends.
//  - CopyRect, Draw and StretchDraw combine by CopyMode (a raster operation code such as
//    cmSrcCopy or cmSrcInvert) and sample the nearest source pixel. A target rectangle with
//    Right < Left (Bottom < Top) covers the pixels of its normalised rectangle and receives
//    the source mirrored left to right (top to bottom); so does a mirrored source rectangle.
//
// A canvas draws on a QImage (the usual case: a TBitmap's picture) or through an active
// QPainter on any other paint device (a widget's paint event). On a QImage every operation
// is pixel exact; through a painter the same pixels are drawn by the painter, and reading
// (Pixels, FloodFill, a canvas as CopyRect's source) is not possible (Pixels gives -1).
//
// Text (the font, text extents and text drawing) belongs to the text engine, which builds on
// this canvas: TCanvas carries a TFont slot for it and WithPainter() for its drawing.
#include "platform/vcl/Colors.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Types.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QPainter;
class TBitmap;
class TFont;  // defined by the text engine

// Raised for a picture that cannot be read, written or made.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// Writes image as a picture file of the given format ("BMP", "JPG"; quality -1 for the
// format's default) through TSafeFile: a failure leaves an existing file as it was and raises
// EInvalidGraphic naming the file (with the system's reason when the disk refused a write).
void SavePictureFile(const QImage& image, const QString& fileName, const char* format, int quality = -1);

// In the framework's ordinal order (a stored pen mode 15 is pmNotXor).
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TFillStyle { fsSurface, fsBorder };
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

// Raster operation codes for TCanvas::CopyMode (any three-operand code works).
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

struct TPen {
    TColor Color = clBlack;
    int Width = 1;  // 0 draws as 1
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

class TCanvas {
public:
    // A canvas without a target draws nothing until SetTarget.
    TCanvas();
    // Draws on image, which must outlive the canvas or be replaced by SetTarget.
    explicit TCanvas(QImage* image);
    // Draws through an active painter (not owned; its state is restored after each call).
    explicit TCanvas(QPainter* painter);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    void SetTarget(QImage* image);
    void SetTarget(QPainter* painter);
    QImage* Image() const { return m_image; }
    QPainter* Painter() const { return m_painter; }
    bool HasTarget() const { return m_image || m_painter; }

    TPen Pen;
    TBrush Brush;
    TCopyMode CopyMode = cmSrcCopy;
    // The current position: set by MoveTo and LineTo.
    TPoint PenPos;

    void MoveTo(int x, int y);
    // A line from PenPos to (x, y), excluding (x, y); PenPos := (x, y).
    void LineTo(int x, int y);

    void FillRect(const TRect& r);
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Corners rounded by ellipses cornerWidth x cornerHeight.
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Elliptic arcs in the box (x1, y1, x2, y2), counter-clockwise from the ray through
    // (x3, y3) to the ray through (x4, y4); equal rays give the whole ellipse.
    // Arc draws the curve; Chord closes it with a straight line and Pie with two radii, and
    // both fill with the brush.
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // Filled with the brush (alternate fill rule), outlined with the pen.
    void Polygon(std::span<const TPoint> points);
    void Polyline(std::span<const TPoint> points);
    // Cubic Bézier segments: points 0..3, then 3 more per segment (1 + 3n points).
    void PolyBezier(std::span<const TPoint> points);

    // Fills with the brush the 4-connected area around (x, y): with fsSurface the pixels of
    // colour `color`, with fsBorder the pixels up to a border of colour `color`.
    // Nothing happens when (x, y) does not start such an area.
    void FloodFill(int x, int y, TColor color, TFillStyle style);

    // Stretches the part source of src's picture into dest, by CopyMode.
    void CopyRect(const TRect& dest, const TCanvas& src, const TRect& source);
    // Draws the bitmap at (x, y) (StretchDraw into its own size).
    void Draw(int x, int y, const TBitmap& bitmap);
    // Stretches the whole bitmap into r, by CopyMode; a Transparent bitmap leaves the
    // target pixels under its transparent colour alone.
    void StretchDraw(const TRect& r, const TBitmap& bitmap);

    // The pixel at (x, y): -1 outside the picture or the clip rectangle, or when the
    // canvas cannot read its target.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Pixels[x][y] reads and writes one pixel, as Pixel and SetPixel.
    class PixelRef {
    public:
        operator TColor() const { return m_canvas->Pixel(m_x, m_y); }
        PixelRef& operator=(TColor c)
        {
            m_canvas->SetPixel(m_x, m_y, c);
            return *this;
        }
        // A pixel given its own colour stays as it is: self-assignment needs no care.
        PixelRef& operator=(const PixelRef& other) { return *this = TColor(other); } // NOLINT(bugprone-unhandled-self-assignment)

    private:
        friend class TCanvas;
        PixelRef(TCanvas* canvas, int x, int y) : m_canvas(canvas), m_x(x), m_y(y) {}
        TCanvas* m_canvas;
        int m_x, m_y;
    };
    class PixelColumn {
    public:
        PixelRef operator[](int y) const { return PixelRef(m_canvas, m_x, y); }

    private:
        friend class TCanvas;
        PixelColumn(TCanvas* canvas, int x) : m_canvas(canvas), m_x(x) {}
        TCanvas* m_canvas;
        int m_x;
    };
    class PixelGrid {
    public:
        PixelColumn operator[](int x) const { return PixelColumn(m_canvas, x); }

    private:
        friend class TCanvas;
        explicit PixelGrid(TCanvas* canvas) : m_canvas(canvas) {}
        TCanvas* m_canvas;
    };
    const PixelGrid Pixels{this};

    // The part of the target that drawing reaches: the picture (or the painter's device or
    // clip), cut to SetClipRect's rectangle when one is set.
    TRect ClipRect() const;
    void SetClipRect(const TRect& r);
    void ResetClipRect();

    // Kept for the framework's callers; the canvas holds no cached device state.
    void Refresh() {}

    // Runs f with a painter on the target, clipped to ClipRect (for text and other drawing
    // that the canvas itself does not offer). Nothing happens without a target.
    void WithPainter(const std::function<void(QPainter&)>& f);

    // The font slot of the text engine: Font() is null until SetFont is called or a font
    // factory is installed (which then gives every canvas its own font on first use).
    TFont* Font();
    void SetFont(std::shared_ptr<TFont> font) { m_font = std::move(font); }
    using FontFactory = std::shared_ptr<TFont> (*)();
    static void SetFontFactory(FontFactory factory);

private:
    friend class CanvasRaster;
    QImage* m_image = nullptr;
    QPainter* m_painter = nullptr;
    bool m_hasClip = false;
    TRect m_clip;
    std::shared_ptr<TFont> m_font;
};

// A picture in memory: a QImage whose rows are the framework's scanlines. pf24bit (the
// default) holds three bytes per pixel in the order blue, green, red (QImage::Format_BGR888);
// pf32bit four (blue, green, red, unused; QImage::Format_RGB32); pf15bit and pf16bit two
// (5-5-5 and 5-6-5). pfDevice means pf24bit. Other formats raise EInvalidGraphic.
// New pixels (a new bitmap, or the part that a larger size adds) are white.
class TBitmap {
public:
    TBitmap();
    TBitmap(int width, int height);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap();

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Negative sizes count as 0. The content keeps its place at the top left.
    void SetWidth(int w) { SetSize(w, Height()); }
    void SetHeight(int h) { SetSize(Width(), h); }
    void SetSize(int w, int h);
    bool Empty() const { return m_width == 0 || m_height == 0; }

    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat format);

    // Row y from the top; raises EInvalidGraphic for a row outside 0..Height-1.
    std::uint8_t* ScanLine(int y);
    const std::uint8_t* ScanLine(int y) const;

    TCanvas& Canvas() { return *m_canvas; }
    const TCanvas& Canvas() const { return *m_canvas; }

    void Assign(const TBitmap& other) { *this = other; }
    // Reads a BMP file (any bit depth; 32-bit files become pf32bit, all others pf24bit).
    // A missing or unreadable file, or one that is not a BMP picture, raises EInvalidGraphic
    // naming the file.
    void LoadFromFile(const QString& fileName);
    // Writes a BMP file through a temporary file beside it, so a failure leaves an existing
    // file as it was; a failure raises EInvalidGraphic naming the file.
    void SaveToFile(const QString& fileName) const;

    // Draw and StretchDraw leave the pixels of TransparentColor out while Transparent is on.
    bool Transparent = false;
    TTransparentMode TransparentMode = tmAuto;
    // tmAuto: the colour of the bottom-left pixel; tmFixed: the colour last set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c);

    const QImage& Image() const { return m_image; }
    QImage& Image() { return m_image; }
    // Takes a copy of image in the given pixel format (raises EInvalidGraphic for a format
    // this bitmap does not hold).
    void SetImage(const QImage& image, TPixelFormat format = pf24bit);
    // The QImage format that holds a pixel format; raises EInvalidGraphic for the formats
    // this bitmap does not hold.
    static QImage::Format ImageFormatOf(TPixelFormat format);

private:
    QImage m_image;  // null while the bitmap is empty
    int m_width = 0;
    int m_height = 0;
    TPixelFormat m_format = pf24bit;
    std::unique_ptr<TCanvas> m_canvas;
    TColor m_transparentColor = clNone;
};
