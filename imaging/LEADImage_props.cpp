// TLEADImage: the writers of the published properties. Each stores 1 in LastError unless its
// value is refused; a refused value keeps the old one.
#include "imaging/LEADImage.h"

#include "platform/vcl/Application.h"

#include <QMenu>

#include <algorithm>

namespace {

struct Range {
    unsigned first;
    unsigned last;
};

// The effect numbers of PaintEffect and TransitionEffect (compared as unsigned).
constexpr Range kEffectNumbers[] = {
    {1000, 1001},   {2000, 2554},   {3000, 3005},   {4000, 4029},   {5000, 5263},   {6000, 6525},
    {7000, 7263},   {8000, 8259},   {9000, 9001},   {10000, 10003}, {11000, 11006}, {12000, 12009},
    {13000, 13007}, {14000, 14007}, {15000, 15035}, {16000, 16035},
};
constexpr Range kGradientStyles[] = {{1000, 1015}, {2000, 2007}, {3000, 3001}, {4000, 4001}, {5000, 5007}};

template <std::size_t N>
bool InSet(const Range (&set)[N], int value)
{
    const unsigned v = unsigned(value);
    for (const Range& r : set)
        if (v >= r.first && v <= r.last)
            return true;
    return false;
}

void RequireValue(TLEADImage& control, bool valid, const char* property)
{
    if (!valid)
        control.RaiseInvalidValue(QString::fromLatin1(property));
}

// The effect properties: a value outside its set raises text (LastError stays as it is) and
// keeps the old value; else it is stored.
void StoreChecked(TLEADImage& control, int& field, int value, bool valid, const char* text, bool repaint)
{
    if (!valid)
        control.RaiseText(QString::fromLatin1(text), -13);
    field = value;
    if (repaint && control.AutoRepaint())
        control.Invalidate();
    control.SetLastError(1);
}

} // namespace

// Writers that only store the value.
#define KV_STORE(Name, Type, member)    \
    void TLEADImage::set##Name(Type v)  \
    {                                   \
        member = v;                     \
        SetLastError(1);                \
    }
// Writers whose value shows in the painting.
#define KV_STORE_REPAINT(Name, Type, member) \
    void TLEADImage::set##Name(Type v)       \
    {                                        \
        member = v;                          \
        SetLastError(1);                     \
        if (m_autoRepaint)                   \
            Invalidate();                    \
    }

// ---- image and reporting ---------------------------------------------------------------------

KV_STORE(RefBitmap, bool, m_refBitmap)
KV_STORE(DropAutoLoad, bool, m_dropAutoLoad)

void TLEADImage::setDropFilesAllowed(bool on)
{
    if (on != m_dropFilesAllowed) {
        m_dropFilesAllowed = on;
        setAcceptDrops(on);
    }
    SetLastError(1);
}

// ---- loading, saving, address download, data link -------------------------------------------

KV_STORE(BitmapDataPath, const QString&, m_bitmapDataPath)
KV_STORE(DataField, const QString&, m_dataField)
KV_STORE(DataSource, QObject*, m_dataSource)
KV_STORE(ReadOnly, bool, m_readOnly)
KV_STORE(DataLoadBits, int, m_dataLoadBits)
KV_STORE(DataSaveBits, int, m_dataSaveBits)
KV_STORE(DataSaveFormat, int, m_dataSaveFormat)
KV_STORE(DataSaveQuality, int, m_dataSaveQuality)

// The option sets of the loads: a value out of range raises "Invalid value passed." naming the
// property and keeps the old value.
void TLEADImage::setPDFXResolution(int value)
{
    RequireValue(*this, value >= 0, "PDFXResolution");
    m_pdf.XResolution = value;
}

void TLEADImage::setPDFYResolution(int value)
{
    RequireValue(*this, value >= 0, "PDFYResolution");
    m_pdf.YResolution = value;
}

void TLEADImage::setPDFDisplayDepth(int value)
{
    RequireValue(*this, value == 1 || value == 4 || value == 8 || value == 24, "PDFDisplayDepth");
    m_pdf.DisplayDepth = value;
}

void TLEADImage::setPDFTextAlpha(int value)
{
    RequireValue(*this, value == 1 || value == 2 || value == 4, "PDFTextAlpha ");
    m_pdf.TextAlpha = value;
}

void TLEADImage::setPDFGraphicsAlpha(int value)
{
    RequireValue(*this, value == 1 || value == 2 || value == 4, "PDFGraphicsAlpha");
    m_pdf.GraphicsAlpha = value;
}

void TLEADImage::setPDFUseLibFonts(bool on) { m_pdf.UseLibFonts = on ? 1 : 0; }

void TLEADImage::setRasterizeViewportWidth(int value)
{
    RequireValue(*this, value >= 0, "RasterizeViewportWidth");
    m_raster.ViewportWidth = value;
}

void TLEADImage::setRasterizeViewportHeight(int value)
{
    RequireValue(*this, value >= 0, "RasterizeViewportHeight");
    m_raster.ViewportHeight = value;
}

void TLEADImage::setRasterizeViewMode(int value)
{
    RequireValue(*this, value >= 0 && value <= 3, "RasterizeViewMode");
    m_raster.ViewMode = value;
}

// ---- display -------------------------------------------------------------------------------

// PaintSizeMode, PaintZoomFactor, PaintSizeUseDPI, CenterImage, AutoRepaint, AutoSetRects:
// LEADImage_display.cpp; BackErase, PaintRgnOnly: LEADImage_paint.cpp.
KV_STORE_REPAINT(PaintDither, TPaintDither, m_paintDither)
KV_STORE_REPAINT(PaintPalette, TPaletteType, m_paintPalette)
KV_STORE_REPAINT(PaintScaling, TPaintScaling, m_paintScaling)
KV_STORE(PaintNotificationDelay, int, m_paintNotificationDelay)
KV_STORE_REPAINT(PaintContrast, int, m_paintContrast)
KV_STORE_REPAINT(PaintIntensity, int, m_paintIntensity)
KV_STORE_REPAINT(PaintGamma, int, m_paintGamma)
KV_STORE(PaintWhileLoad, bool, m_paintWhileLoad)
KV_STORE(BackgroundImageLeft, int, m_backgroundImageLeft)
KV_STORE(BackgroundImageTop, int, m_backgroundImageTop)
KV_STORE(BackgroundImageWidth, int, m_backgroundImageWidth)
KV_STORE(BackgroundImageHeight, int, m_backgroundImageHeight)
KV_STORE_REPAINT(BitonalScaling, TBitonalScaling, m_bitonalScaling)
KV_STORE(AutoSize, bool, m_autoSize)

void TLEADImage::setBackColor(TColor color)
{
    m_backColor = color;
    Invalidate();
    SetLastError(1);
}

void TLEADImage::setAutoScroll(bool on)
{
    m_autoScroll = on;
    if (m_allocated) {
        m_scrolling = true;
        if (on) {
            // The positions within the ranges, the destination following them.
            m_geom.HScrollPos = std::min(m_geom.HScrollPos, m_geom.HScrollMax);
            m_geom.VScrollPos = std::min(m_geom.VScrollPos, m_geom.VScrollMax);
            m_geom.Dst.Left = -m_geom.HScrollPos;
            m_geom.Dst.Top = -m_geom.VScrollPos;
            m_geom.DstClip = m_geom.Dst;
        }
        SyncScrollBars(false);
        m_scrolling = false;
    }
    RecalcLayout();
    SetLastError(1);
}

// ---- scrolling, pan window, magnifier --------------------------------------------------------

void TLEADImage::setHScrollStep(int step)
{
    if (step < 1) {
        SetLastError(0);
        RaiseText(QStringLiteral("HScrollStep: Scroll step out of range."), 0);
    }
    // A valid write starts the picture at the top left again.
    MoveChildren(-m_geom.HScrollPos, -m_geom.VScrollPos);
    m_geom.HScrollPos = m_geom.VScrollPos = 0;
    m_hScrollStep = step;
    setPaintSizeMode(m_paintSizeMode);
}

void TLEADImage::setVScrollStep(int step)
{
    if (step < 1) {
        SetLastError(0);
        RaiseText(QStringLiteral("VScrollStep: Scroll step out of range."), 0);
    }
    // A valid write starts the picture at the top left again.
    MoveChildren(-m_geom.HScrollPos, -m_geom.VScrollPos);
    m_geom.HScrollPos = m_geom.VScrollPos = 0;
    m_vScrollStep = step;
    setPaintSizeMode(m_paintSizeMode);
}

KV_STORE(EnableScroll, bool, m_enableScroll)
KV_STORE(EnableKeyboard, bool, m_enableKeyboard)
KV_STORE(PanWinSysMenu, bool, m_panWinSysMenu)
// The other pan window properties: LEADImage_panwin.cpp.
KV_STORE(MagGlassPaintPalette, TPaletteType, m_magGlassPaintPalette)
KV_STORE(MagGlassBitonalScaling, TBitonalScaling, m_magGlassBitonalScaling)
KV_STORE(MagGlassPaintDither, TPaintDither, m_magGlassPaintDither)
KV_STORE(MagGlassPaintScaling, TPaintScaling, m_magGlassPaintScaling)
KV_STORE(MagGlassPointer, int, m_magGlassPointer)

// ---- regions, floater, mouse -------------------------------------------------------------

KV_STORE(AutoFloater, bool, m_autoFloater)
KV_STORE(EnableFloater, bool, m_enableFloater)
KV_STORE(EnableZoomInRect, bool, m_enableZoomInRect)
KV_STORE(WandColor, TColor, m_wandColor)
KV_STORE(WandSize, int, m_wandSize)

// ---- effects, transitions, gradients, patterns -------------------------------------------

void TLEADImage::setPaintEffect(int effect)
{
    StoreChecked(*this, m_paintEffect, effect, InSet(kEffectNumbers, effect), "PaintEffect: Invalid Property value",
                 true);
}

void TLEADImage::setTransitionEffect(int effect)
{
    StoreChecked(*this, m_transitionEffect, effect, InSet(kEffectNumbers, effect),
                 "TransitionEffect: Invalid Property value", true);
}

void TLEADImage::setGradientStyle(int style)
{
    StoreChecked(*this, m_gradientStyle, style, InSet(kGradientStyles, style),
                 "GradientStyle: Invalid Property value", false);
}

void TLEADImage::setEffectGrain(int grain)
{
    StoreChecked(*this, m_effectGrain, grain, grain >= 1 && grain <= 256, "EffectGrain: Invalid Property value.",
                 false);
}

void TLEADImage::setGradientSteps(int steps)
{
    StoreChecked(*this, m_gradientSteps, steps, steps >= 2 && steps <= 265,
                 "GradientSteps: Invalid Property value.", false);
}

void TLEADImage::setPaintMaxPasses(int passes)
{
    StoreChecked(*this, m_paintMaxPasses, passes, passes >= 1 && passes <= 64,
                 "PaintMaxPasses: Invalid Property value.", true);
}

KV_STORE(EffectDelay, int, m_effectDelay)
KV_STORE_REPAINT(TransitionStyle, TTransitionStyle, m_transitionStyle)
KV_STORE(GradientStartColor, TColor, m_gradientStartColor)
KV_STORE(GradientEndColor, TColor, m_gradientEndColor)
KV_STORE(PatternStyle, TPatternStyle, m_patternStyle)
KV_STORE(PatternBackColor, TColor, m_patternBackColor)
KV_STORE(PatternForeColor, TColor, m_patternForeColor)
KV_STORE(TransparentColor, TColor, m_transparentColor)
KV_STORE(UseTransparentColor, bool, m_useTransparentColor)

void TLEADImage::setTransparent(bool on)
{
    if (on != m_transparent) {
        if (on)
            setAutoScroll(false);
        m_transparent = on;
        UpdateOpacity();
        Invalidate();
    }
    SetLastError(1);
}

// ---- shapes and their shadow -------------------------------------------------------------

KV_STORE(ShapeLeft, int, m_shapeLeft)
KV_STORE(ShapeTop, int, m_shapeTop)
KV_STORE(ShapeWidth, int, m_shapeWidth)
KV_STORE(ShapeHeight, int, m_shapeHeight)
KV_STORE(ShapeBackgroundStyle, int, m_shapeBackgroundStyle)
KV_STORE(ShapeBorderStyle, int, m_shapeBorderStyle)
KV_STORE(ShapeBorderColor, TColor, m_shapeBorderColor)
KV_STORE(ShapeBorderThickness, int, m_shapeBorderThickness)
KV_STORE(ShapeInnerBandStyle, int, m_shapeInnerBandStyle)
KV_STORE(ShapeInnerBandThickness, int, m_shapeInnerBandThickness)
KV_STORE(ShapeInnerBandHiliteColor, TColor, m_shapeInnerBandHiliteColor)
KV_STORE(ShapeInnerBandShadowColor, TColor, m_shapeInnerBandShadowColor)
KV_STORE(ShapeOuterBandStyle, int, m_shapeOuterBandStyle)
KV_STORE(ShapeOuterBandThickness, int, m_shapeOuterBandThickness)
KV_STORE(ShapeOuterBandHiliteColor, TColor, m_shapeOuterBandHiliteColor)
KV_STORE(ShapeOuterBandShadowColor, TColor, m_shapeOuterBandShadowColor)
KV_STORE(ShadowColor, TColor, m_shadowColor)
KV_STORE(ShadowXDepth, int, m_shadowXDepth)
KV_STORE(ShadowYDepth, int, m_shadowYDepth)

// ---- text, frame, drawing, animation -----------------------------------------------------

KV_STORE(TextFont, const QFont&, m_textFont)

void TLEADImage::setFrameColor(TColor color)
{
    m_frameColor = color;
    Refresh();
    SetLastError(1);
}

// The frame width is the sum of the three thicknesses; a change moves the picture.
#define KV_STORE_FRAME(Name, member)     \
    void TLEADImage::set##Name(int v)    \
    {                                    \
        member = v;                      \
        RecalcLayout();                  \
        if (m_autoRepaint)               \
            Invalidate();                \
        SetLastError(1);                 \
    }
KV_STORE_FRAME(FrameThickness, m_frameThickness)
KV_STORE_FRAME(FrameInnerThickness, m_frameInnerThickness)
KV_STORE_FRAME(FrameOuterThickness, m_frameOuterThickness)

KV_STORE_REPAINT(FrameInnerStyle, TFrameInnerStyle, m_frameInnerStyle)
KV_STORE_REPAINT(FrameOuterStyle, TFrameOuterStyle, m_frameOuterStyle)
KV_STORE_REPAINT(FrameInnerHiliteColor, TColor, m_frameInnerHiliteColor)
KV_STORE_REPAINT(FrameOuterHiliteColor, TColor, m_frameOuterHiliteColor)
KV_STORE_REPAINT(FrameInnerShadowColor, TColor, m_frameInnerShadowColor)
KV_STORE_REPAINT(FrameOuterShadowColor, TColor, m_frameOuterShadowColor)
KV_STORE(DrawPersistence, bool, m_drawPersistence)
KV_STORE(DrawMode, int, m_drawMode)
KV_STORE(DrawPenColor, TColor, m_drawPenColor)
KV_STORE(DrawPenStyle, int, m_drawPenStyle)
KV_STORE(DrawPenWidth, int, m_drawPenWidth)
KV_STORE(DrawFillColor, TColor, m_drawFillColor)
KV_STORE(DrawFillStyle, int, m_drawFillStyle)
KV_STORE(AutoAnimate, bool, m_autoAnimate)
KV_STORE(AutoAnimationLoop, int, m_autoAnimationLoop)

// ---- from the framework --------------------------------------------------------------------

KV_STORE(Align, int, m_align)
KV_STORE(BorderStyle, int, m_borderStyle)
KV_STORE(Ctl3D, bool, m_ctl3D)
KV_STORE(ParentCtl3D, bool, m_parentCtl3D)
KV_STORE(DragCursor, int, m_dragCursor)
KV_STORE(DragMode, int, m_dragMode)
KV_STORE(PopupMenu, QMenu*, m_popupMenu)
KV_STORE(TabOrder, int, m_tabOrder)

void TLEADImage::setCursor(int cursor)
{
    m_cursor = cursor;
    if (cursor == crDefault)
        unsetCursor();
    else
        QWidget::setCursor(CursorShapeOf(cursor));
}

void TLEADImage::setHint(const QString& hint)
{
    m_hint = hint;
    setToolTip(m_showHint ? hint : QString());
}

void TLEADImage::setShowHint(bool on)
{
    m_showHint = on;
    setToolTip(on ? m_hint : QString());
}

void TLEADImage::setTabStop(bool on)
{
    m_tabStop = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

#undef KV_STORE
#undef KV_STORE_REPAINT
#undef KV_STORE_FRAME
