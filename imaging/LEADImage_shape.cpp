// TLEADImage: drawing a framed 3D shape, the picture frame on the window, the zoom outline and
// grabbing the screen (with the Qt screen service the kernel's capture goes through).
#include "imaging/LEADImage.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cmath>
#include <cstring>

namespace {

LColor KernelColor(TColor color) { return LColor(ColorToRGB(color)) & 0x00ffffffu; }

// A thickness or shadow depth in bitmap pixels for a picture shown at scale; halves go to the
// even neighbour.
std::int32_t Scaled(int value, double scale) { return std::int32_t(std::nearbyint(value / scale)); }

// ---- the screen service over Qt ------------------------------------------------------------------

int QtScreenSize(void*, std::int32_t* width, std::int32_t* height)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return LE_NOT_SUPPORTED;
    const QSize size = screen->geometry().size() * screen->devicePixelRatio();
    *width = size.width();
    *height = size.height();
    return LE_SUCCESS;
}

int QtCapture(void*, const LRect* rect, LBitmap* out)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return LE_NOT_SUPPORTED;
    const QImage image = screen->grabWindow(0, rect->Left, rect->Top, rect->Width(), rect->Height())
                             .toImage()
                             .convertToFormat(QImage::Format_BGR888);
    if (image.isNull())
        return LE_FAILURE;
    const int code = L_CreateBitmap(out, image.width(), image.height(), 24);
    std::uint8_t* bits = code == LE_SUCCESS ? out->BeginWrite() : nullptr;
    if (!bits)
        return code == LE_SUCCESS ? LE_NO_MEMORY : code;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(out->WriteRow(bits, y), image.constScanLine(y), std::size_t(image.width()) * 3);
    return LE_SUCCESS;
}

// The program's screen service, unless one is installed (tests install their own).
void EnsureScreenService()
{
    if (L_HasScreenService())
        return;
    LScreenService service;
    service.ScreenSize = &QtScreenSize;
    service.Capture = &QtCapture;
    L_SetScreenService(&service);
}

} // namespace

// ---- the drawing surface -----------------------------------------------------------------------

bool TLEADImage::ShapeSurface(LEfxSurface& surface, TPoint& origin)
{
    origin = TPoint();
    if (m_drawPersistence) {
        if (!m_allocated)
            return false;
        CheckProcessingAllowed();
        // The drawing needs 24-bit rows stored top-left; the page stays so.
        if (m_bitmap.BitsPerPixel != 24 || m_bitmap.ViewPerspective != LVP_TOP_LEFT) {
            if (L_ExpandBitmapTo24(&m_bitmap) != LE_SUCCESS)
                return false;
            StoreWorkingBitmap();
        }
        return L_EfxSurfaceOfBitmap(&m_bitmap, &surface) == LE_SUCCESS;
    }
    // On the window: the back buffer, clipped to the inner client area.
    if (m_surface.isNull() || m_surface.depth() != 32)
        return false;
    const QRect inner = InnerClientRect().ToQRect().intersected(m_surface.rect());
    if (inner.isEmpty())
        return false;
    surface.Bits = m_surface.bits() + std::ptrdiff_t(inner.top()) * m_surface.bytesPerLine() + inner.left() * 4;
    surface.Width = inner.width();
    surface.Height = inner.height();
    surface.BytesPerLine = int(m_surface.bytesPerLine());
    surface.BytesPerPixel = 4;
    origin = TPoint(inner.left(), inner.top());
    return true;
}

// ---- shapes ------------------------------------------------------------------------------------

int TLEADImage::DrawShape(int ShapeType, const LBitmap* BackgroundBitmap)
{
    ClearAbortFlags();
    // The background first: it may be this control's own bitmap, which the drawing changes.
    LBitmap background;
    if (IsBitmapAllocated(BackgroundBitmap))
        L_CopyBitmap(&background, BackgroundBitmap);
    LEfxSurface surface;
    TPoint origin;
    int code = -1;
    if (ShapeSurface(surface, origin)) {
        const int zoom = PaintZoomFactor();
        const double scale = m_drawPersistence && zoom > 0 ? zoom / 100.0 : 1.0;
        LEfx3dShape shape;
        shape.Shape = std::uint32_t(ShapeType);
        shape.Rect = LRect{m_shapeLeft - origin.X, m_shapeTop - origin.Y, m_shapeLeft + m_shapeWidth - origin.X,
                           m_shapeTop + m_shapeHeight - origin.Y};
        shape.PatternBackColor = KernelColor(m_patternBackColor);
        shape.PatternForeColor = KernelColor(m_patternForeColor);
        shape.PatternStyle = (m_patternStyle >= 0 && m_patternStyle <= 7) ? int(m_patternStyle) : 0;
        shape.BackgroundRect = LRect{m_backgroundImageLeft, m_backgroundImageTop,
                                     m_backgroundImageLeft + m_backgroundImageWidth,
                                     m_backgroundImageTop + m_backgroundImageHeight};
        shape.BackgroundStyle = (m_shapeBackgroundStyle >= 0 && m_shapeBackgroundStyle <= 4) ? m_shapeBackgroundStyle : -1;
        code = LE_SUCCESS;
        LBitmap gradient;
        if (m_shapeBackgroundStyle == 5 || m_shapeBackgroundStyle == 6) {
            // A gradient of the shape's size, tiled (translucently for 6).
            LEfxSurface g;
            const LRect all{0, 0, m_shapeWidth, m_shapeHeight};
            if (L_CreateBitmap(&gradient, m_shapeWidth, m_shapeHeight, 24) != LE_SUCCESS ||
                L_EfxSurfaceOfBitmap(&gradient, &g) != LE_SUCCESS)
                code = -1;
            else
                code = L_EfxGradientFillRect(&g, &all, std::uint32_t(m_gradientStyle), KernelColor(m_gradientStartColor),
                                             KernelColor(m_gradientEndColor), std::uint32_t(m_gradientSteps));
            shape.Background = &gradient;
            shape.BackgroundRect = LRect{};
            shape.BackgroundStyle = m_shapeBackgroundStyle == 5 ? LEFX_BACK_TILED : LEFX_BACK_TRANSLUCENT_TILED;
        } else if (background.IsAllocated()) {
            shape.Background = &background;
        }
        shape.BorderColor = KernelColor(m_shapeBorderColor);
        shape.BorderStyle = (m_shapeBorderStyle >= 0 && m_shapeBorderStyle <= 5) ? m_shapeBorderStyle : 0;
        shape.BorderThickness = Scaled(m_shapeBorderThickness, scale);
        const auto band = [](int style) { return (style >= 0 && style <= 2) ? style : -1; };
        shape.InnerHiliteColor = KernelColor(m_shapeInnerBandHiliteColor);
        shape.InnerShadowColor = KernelColor(m_shapeInnerBandShadowColor);
        shape.InnerStyle = band(m_shapeInnerBandStyle);
        shape.InnerThickness = Scaled(m_shapeInnerBandThickness, scale);
        shape.OuterHiliteColor = KernelColor(m_shapeOuterBandHiliteColor);
        shape.OuterShadowColor = KernelColor(m_shapeOuterBandShadowColor);
        shape.OuterStyle = band(m_shapeOuterBandStyle);
        shape.OuterThickness = Scaled(m_shapeOuterBandThickness, scale);
        shape.ShadowColor = KernelColor(m_shadowColor);
        shape.ShadowXDepth = Scaled(m_shadowXDepth, scale);
        shape.ShadowYDepth = Scaled(m_shadowYDepth, scale);
        if (code == LE_SUCCESS)
            code = L_EfxDraw3dShape(&surface, &shape);
        L_FreeBitmap(&gradient);
        if (m_drawPersistence) {
            StoreWorkingBitmap();
            MarkDataModified();
            m_changedFlags |= kChangedPicture;
            Invalidate();
        } else {
            viewport()->update();
        }
    }
    L_FreeBitmap(&background);
    return ReportResult(QStringLiteral("DrawShape"), code);
}

int TLEADImage::DrawFrame(const TRect& rect)
{
    if (m_surface.isNull() || m_surface.depth() != 32) {
        SetLastError(-1);
        return -1;
    }
    LEfxSurface surface{m_surface.bits(), m_surface.width(), m_surface.height(), int(m_surface.bytesPerLine()), 4};
    const LRect r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    std::uint32_t flags = m_frameOuterStyle == fosRaised ? LEFX_FRAME_OUTER_RAISED : 0;
    if (m_frameInnerStyle == fisRaised)
        flags |= LEFX_FRAME_INNER_RAISED;
    const int code = L_EfxDrawFrame(&surface, &r, flags, std::uint32_t(std::max(0, m_frameThickness)),
                                    KernelColor(m_frameColor), std::uint32_t(std::max(0, m_frameInnerThickness)),
                                    KernelColor(m_frameInnerShadowColor), KernelColor(m_frameInnerHiliteColor),
                                    std::uint32_t(std::max(0, m_frameOuterThickness)), KernelColor(m_frameOuterShadowColor),
                                    KernelColor(m_frameOuterHiliteColor));
    viewport()->update();
    SetLastError(code);
    return code;
}

// ---- the zoom outline and the screen capture -------------------------------------------------------

void TLEADImage::DrawZoomRect(const TRect& rect, bool fromPaint)
{
    if (!m_enableZoomInRect || rect.Right <= rect.Left || rect.Bottom <= rect.Top)
        return;
    const TRect outline(rect.Left - 1, rect.Top - 1, rect.Right + 1, rect.Bottom + 1);
    // A toggle: the same rectangle again takes it away (the paint event draws it inverted).
    if (m_zoomOutlineShown && m_zoomOutline == outline) {
        m_zoomOutlineShown = false;
    } else {
        m_zoomOutline = outline;
        m_zoomOutlineShown = true;
    }
    if (!fromPaint)
        viewport()->update();
}

int TLEADImage::CaptureScreenAt(const TPoint& screenPoint, bool emptyList)
{
    ClearAbortFlags();
    EnsureScreenService();
    if (m_zoomOutlineShown)
        DrawZoomRect(TRect(m_zoomOutline.Left + 1, m_zoomOutline.Top + 1, m_zoomOutline.Right - 1,
                           m_zoomOutline.Bottom - 1),
                     false);
    if (emptyList)
        setBitmapList(nullptr);
    const int zoom = PaintZoomFactor() > 0 ? PaintZoomFactor() : 100;
    const TRect client = ClientRect();
    const int w = int(std::int64_t(client.Width()) * 100 / zoom);
    const int h = int(std::int64_t(client.Height()) * 100 / zoom);
    TRect r(screenPoint.X - w / 2, screenPoint.Y - h / 2, 0, 0);
    r.Right = r.Left + w;
    r.Bottom = r.Top + h;
    std::int32_t screenWidth = 0, screenHeight = 0;
    if (L_GetScreenSize(&screenWidth, &screenHeight) == LE_SUCCESS) {
        r.Left = std::clamp(r.Left, 0, std::max(0, screenWidth - 1));
        r.Top = std::clamp(r.Top, 0, std::max(0, screenHeight - 1));
        r.Right = std::min(r.Right, screenWidth);
        r.Bottom = std::min(r.Bottom, screenHeight);
    }
    r.Right = std::max(r.Right, r.Left + 1);
    r.Bottom = std::max(r.Bottom, r.Top + 1);
    m_captureRect = r;
    DrawZoomRect(r, false);
    LBitmap captured;
    const LRect rect{r.Left, r.Top, r.Right, r.Bottom};
    const int code = L_ScreenCaptureBitmap(&captured, &rect);
    if (code == LE_SUCCESS) {
        const bool refBitmap = m_refBitmap;
        m_refBitmap = false;
        try {
            setBitmap(&captured);
        } catch (...) {
            m_refBitmap = refBitmap;
            L_FreeBitmap(&captured);
            throw;
        }
        m_refBitmap = refBitmap;
    }
    L_FreeBitmap(&captured);
    return ReportResult(QStringLiteral("CaptureScreenAt"), code);
}
