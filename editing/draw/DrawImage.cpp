// TpelDrawImage: construction, the published properties and the tool list.
#include "editing/draw/DrawImage.h"

#include "editing/brush/jvAirBrush.h"
#include "editing/draw/fPainterEffects.h"

#include <cmath>

namespace {

const char* const kToolNames[] = {
    "airbrush", "arc", "bars", "bezier", "blocks", "bluebrush", "blurcurves", "blurlines", "blurovals",
    "blurpoly", "blurrects", "border", "brightnessbrush", "chord", "cloneall", "clonenottarget", "cmirror",
    "cone", "contrastbrush", "cube", "darkerbrush", "decobar", "decoval", "dropletsphere", "ellipse",
    "fisheyebrush", "fisheyefixbrush", "floodfill", "freehand", "globe", "gradientbrush", "graybrush",
    "greenbrush", "halfbluebrush", "halfgreenbrush", "halfredbrush", "hmirror", "intercolumn", "interprect",
    "intersphere", "lighterbrush", "line", "maze", "mbBottom", "mbDiamond", "mbHor", "mbHorBox", "mbHorOval",
    "mbRound", "mbRound2", "mbSplitRound", "mbSplitWaste", "mbTop", "mbVerBox", "mbVerOval", "mbWaste",
    "mirror4", "mixbrush", "multisphere", "notbluebrush", "notgreenbrush", "notredbrush", "paintpick", "paste",
    "pastecolor", "pastecolorx", "pie", "polybezier", "polygon", "polyline", "rangemove", "rangesmear",
    "rectangle", "redbrush", "rimplebrush", "risingwavesphere", "rollmixbrush", "rotatebrush", "roundrect",
    "saturationbrush", "skewrect", "sline", "smoothbrush", "snapshot", "spiral", "spiro", "star", "sym",
    "texcurves", "texlines", "texovals", "texpoly", "texrects", "transcopy", "triangle", "twistbrush",
    "vmirror", "wavesphere", "zoombrush", "zoomkeepbrush",
};

} // namespace

TFxBitmap FxView(TBitmap& bitmap)
{
    if (bitmap.Empty())
        return {};
    if (bitmap.PixelFormat() != pf24bit)
        bitmap.SetPixelFormat(pf24bit);
    QImage& img = bitmap.Image();
    return {img.bits(), bitmap.Width(), bitmap.Height(), img.bytesPerLine()};
}

TpelDrawImage::TpelDrawImage(QWidget* owner) : TImage(owner)
{
    resize(256, 256);
    // Moves arrive without a button too: the polygon family keeps its rubber band going
    // between clicks.
    setMouseTracking(true);
    AirBrush = std::make_unique<TjvAirBrush>();
    for (int i = 0; i < 256; ++i)
        SineCurve[i] = std::uint8_t(std::nearbyint(std::sin(i / 255.0 * M_PI / 2) * 255));
    for (const char* name : kToolNames)
        ToolNames << QString::fromLatin1(name);
    m_dialog = std::make_unique<TPainterEffectsF>(this);
    m_dialog->SetDrawImage(this);
}

TpelDrawImage::~TpelDrawImage()
{
    m_dialog.reset();
}

void TpelDrawImage::setShape(const QString& v)
{
    if (v == m_shape)
        return;
    if (Drag.SnapshotBorrowed) {
        Canvas().Brush.Style = Drag.SavedBrushStyle;
        Canvas().Pen.Width = Drag.SavedPenWidth;
        Drag.SnapshotBorrowed = false;
    }
    if (m_shape == QLatin1String("polygon") || m_shape == QLatin1String("polyline") ||
        m_shape == QLatin1String("polybezier")) {
        Drag.MouseIsDown = false;
        Drag.PolyCount = 0;
        Drag.BezierFixed1 = Drag.BezierFixed2 = false;
    }
    m_shape = v;
}

void TpelDrawImage::Loaded()
{
    setAutoSize(true);
    Picture().SetSize(256, 256);
    Canvas().Brush.Color = clWhite;
    Canvas().Brush.Style = bsSolid;
    Canvas().FillRect(TRect{0, 0, 256, 256});
    Canvas().Brush.Style = bsClear;
    Canvas().Pen.Color = clBlack;
    Changed();
}

void TpelDrawImage::DoColorPicked(TColor color)
{
    if (onColorPicked)
        onColorPicked(this, color);
}
