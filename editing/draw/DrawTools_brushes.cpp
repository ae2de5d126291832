// The brush, texture and air-brush tools of the drawing component.
#include "editing/draw/DrawTools.h"

#include "editing/brush/BrushColors.h"
#include "editing/brush/BrushPixels.h"
#include "editing/brush/ShapeGeometry.h"
#include "editing/brush/jvAirBrush.h"
#include "editing/draw/DrawBrushes.h"
#include "editing/draw/DrawImage.h"
#include "platform/vcl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using TEvent = const TToolEvent&;

constexpr double kPi = std::numbers::pi;

TPoint At(TEvent e)
{
    return TPoint(e.X, e.Y);
}

bool AltHeld(TEvent e)
{
    return (e.Shift & ssAlt) != 0;
}

// The angle of the drag from StartPoint to the mouse, a horizontal distance of 0 taken as
// 0.01.
double DragAngle(const TpelDrawImage& d, TEvent e)
{
    const double dx = e.X - d.Drag.StartPoint.X;
    return std::atan2(e.Y - d.Drag.StartPoint.Y, dx == 0 ? 0.01 : dx);
}

double DragDegrees(const TpelDrawImage& d, TEvent e)
{
    return DragAngle(d, e) * 180 / kPi;
}

int DragR(const TpelDrawImage& d, TEvent e)
{
    return DragRadius(d.Drag.StartPoint, At(e));
}

// The zoom and fish-eye brushes' radius: the pen width, 50 when that is below 5.
int LensRadius(TpelDrawImage& d)
{
    const int w = d.Canvas().Pen.Width;
    return w < 5 ? 50 : w;
}

// A colour of the picture, read at the nearest pixel on it.
TColor PictureColor(TpelDrawImage& d, int x, int y)
{
    const TBitmap& p = d.Picture();
    return d.Canvas().Pixel(std::clamp(x, 0, std::max(p.Width() - 1, 0)), std::clamp(y, 0, std::max(p.Height() - 1, 0)));
}

void Snapshot(TpelDrawImage& d, TEvent)
{
    d.SnapshotPicture();
}

// --- air brush and zoom ---------------------------------------------------------------------

void AirBrushMove(TpelDrawImage& d, TEvent e)
{
    if (!d.AirBrush->IntervalElapsed())
        return;
    TSourceCopy copy(d.Canvas());
    d.AirBrush->PaintAt(d.Canvas(), e.X, e.Y);
    d.Changed();
}

void ZoomDown(TpelDrawImage& d, TEvent)
{
    d.CopyPictureToZoomBitmap();
}

void ZoomMove(TpelDrawImage& d, TEvent e)
{
    TSourceCopy copy(d.Canvas());
    const TRect square = ZoomBrush(d.Canvas(), d.ZoomBitmap, e.X, e.Y, LensRadius(d));
    if (square.Right > square.Left)
        d.Drag.ZoomRect = square;
    d.Changed();
}

void ZoomUp(TpelDrawImage& d, TEvent)
{
    TSourceCopy copy(d.Canvas());
    d.Canvas().Draw(0, 0, d.ZoomBitmap);
    d.Changed();
}

// The zoomed view stays; the tool turns into a thin freehand pen.
void ZoomKeepUp(TpelDrawImage& d, TEvent)
{
    d.setShape(QStringLiteral("freehand"));
    d.Canvas().Pen.Width = 2;
}

// --- distortion, shape and adjustment brushes -----------------------------------------------

void FishEyeMove(TpelDrawImage& d, TEvent e)
{
    DistortBrush(d, At(e), dmFishEye, 0.9, LensRadius(d));
}

void FishEyeFixMove(TpelDrawImage& d, TEvent e)
{
    const double amount = std::clamp(DragAngle(d, e) / kPi * 0.5 + 0.5, 0.55, 0.99);
    DistortBrush(d, d.Drag.StartPoint, dmFishEye, amount, DragR(d, e));
}

void TwistMove(TpelDrawImage& d, TEvent e)
{
    const double amount = double(Round(std::abs(DragAngle(d, e) * 25 / kPi) + 1));
    DistortBrush(d, d.Drag.StartPoint, dmTwist, amount, DragR(d, e));
}

void RippleMove(TpelDrawImage& d, TEvent e)
{
    DistortBrush(d, d.Drag.StartPoint, dmRipple, DragAngle(d, e) * 10 / kPi + 1, DragR(d, e));
}

template <int Mode>
void DistortDegreesMove(TpelDrawImage& d, TEvent e)
{
    DistortBrush(d, d.Drag.StartPoint, Mode, DragDegrees(d, e), DragR(d, e));
}

template <int Mode>
void ShapeMove(TpelDrawImage& d, TEvent e)
{
    ShapeBrush(d, d.Drag.StartPoint, Mode, DragDegrees(d, e), DragR(d, e));
}

template <int Kind>
void AdjustMove(TpelDrawImage& d, TEvent e)
{
    AdjustBrush(d, d.Drag.StartPoint, Kind, int(Round(DragAngle(d, e) * 100 / kPi)), DragR(d, e));
}

// --- pixel brushes --------------------------------------------------------------------------

template <int Operation>
void ColorMove(TpelDrawImage& d, TEvent e)
{
    PaintColorBrush(d, e.X, e.Y, Operation);
}

void GradientDown(TpelDrawImage& d, TEvent)
{
    if (!d.Picture().Empty())
        d.Picture().SetPixelFormat(pf24bit);
}

// Three gradient lines between the colours at pen-width distance on either side: down
// columns X, X - 1, X - 2 with Alt, else along rows Y, Y + 1, Y + 2.
void GradientMove(TpelDrawImage& d, TEvent e)
{
    const int w = d.Canvas().Pen.Width;
    if (AltHeld(e)) {
        const TColor c1 = PictureColor(d, e.X, e.Y - w), c2 = PictureColor(d, e.X, e.Y + w);
        for (int k = 0; k < 3; ++k)
            GradientColumn(d, e.Y - w, e.Y + w, e.X - k, c1, c2);
    } else {
        const TColor c1 = PictureColor(d, e.X - w, e.Y), c2 = PictureColor(d, e.X + w, e.Y);
        for (int k = 0; k < 3; ++k)
            GradientRow(d, e.X - w, e.X + w, e.Y + k, c1, c2);
    }
}

// The pen takes the mean of the colours at pen-width distance above and below (Alt) or left
// and right of the press.
void MixDown(TpelDrawImage& d, TEvent e)
{
    const int w = d.Canvas().Pen.Width;
    d.Canvas().Pen.Color = AltHeld(e) ? AverageColor(PictureColor(d, e.X, e.Y - w), PictureColor(d, e.X, e.Y + w))
                                      : AverageColor(PictureColor(d, e.X - w, e.Y), PictureColor(d, e.X + w, e.Y));
}

void LineMove(TpelDrawImage& d, TEvent e)
{
    d.Canvas().LineTo(e.X, e.Y);
    d.Changed();
}

// --- textures -------------------------------------------------------------------------------

template <TTexture Kind, bool Blur>
void TextureUp(TpelDrawImage& d, TEvent e)
{
    PaintTexture(d, Kind, d.Drag.StartPoint, At(e), Blur);
}

const TToolRow kBrushRows[] = {
    // name, down, move, up, Alt moves
    {"airbrush", nullptr, AirBrushMove, nullptr, false},
    {"zoombrush", ZoomDown, ZoomMove, ZoomUp, false},
    {"zoomkeepbrush", ZoomDown, ZoomMove, ZoomKeepUp, false},
    {"fisheyebrush", Snapshot, FishEyeMove, nullptr, false},
    {"fisheyefixbrush", Snapshot, FishEyeFixMove, nullptr, true},
    {"twistbrush", Snapshot, TwistMove, nullptr, true},
    {"rimplebrush", Snapshot, RippleMove, nullptr, true},
    {"rotatebrush", Snapshot, DistortDegreesMove<dmRotate>, nullptr, true},
    {"mbHor", Snapshot, DistortDegreesMove<7>, nullptr, true},
    {"mbTop", Snapshot, DistortDegreesMove<8>, nullptr, true},
    {"mbBottom", Snapshot, DistortDegreesMove<9>, nullptr, true},
    {"mbDiamond", Snapshot, DistortDegreesMove<10>, nullptr, true},
    {"mbWaste", Snapshot, DistortDegreesMove<11>, nullptr, true},
    {"mbRound", Snapshot, DistortDegreesMove<12>, nullptr, true},
    {"mbRound2", Snapshot, DistortDegreesMove<13>, nullptr, true},
    {"mbSplitRound", Snapshot, DistortDegreesMove<14>, nullptr, true},
    {"mbSplitWaste", Snapshot, DistortDegreesMove<15>, nullptr, true},
    {"mbVerBox", Snapshot, ShapeMove<sbVerBox>, nullptr, true},
    {"mbHorBox", Snapshot, ShapeMove<sbHorBox>, nullptr, true},
    {"mbVerOval", Snapshot, ShapeMove<sbVerOval>, nullptr, true},
    {"mbHorOval", Snapshot, ShapeMove<sbHorOval>, nullptr, true},
    {"brightnessbrush", Snapshot, AdjustMove<akLightness>, nullptr, true},
    {"contrastbrush", Snapshot, AdjustMove<akContrast>, nullptr, true},
    {"saturationbrush", Snapshot, AdjustMove<akSaturation>, nullptr, true},
    {"bluebrush", nullptr, ColorMove<0>, nullptr, false},
    {"greenbrush", nullptr, ColorMove<1>, nullptr, false},
    {"redbrush", nullptr, ColorMove<2>, nullptr, false},
    {"notbluebrush", nullptr, ColorMove<3>, nullptr, false},
    {"notgreenbrush", nullptr, ColorMove<4>, nullptr, false},
    {"notredbrush", nullptr, ColorMove<5>, nullptr, false},
    {"halfbluebrush", nullptr, ColorMove<6>, nullptr, false},
    {"halfgreenbrush", nullptr, ColorMove<7>, nullptr, false},
    {"halfredbrush", nullptr, ColorMove<8>, nullptr, false},
    {"darkerbrush", Snapshot, ColorMove<9>, nullptr, false},
    {"lighterbrush", Snapshot, ColorMove<10>, nullptr, false},
    {"graybrush", Snapshot, ColorMove<11>, nullptr, false},
    {"rollmixbrush", Snapshot, ColorMove<12>, nullptr, false},
    {"smoothbrush", Snapshot, ColorMove<13>, nullptr, false},
    {"gradientbrush", GradientDown, GradientMove, nullptr, false},
    {"mixbrush", MixDown, LineMove, nullptr, false},
    {"texlines", nullptr, nullptr, TextureUp<TTexture::Lines, false>, false},
    {"texrects", nullptr, nullptr, TextureUp<TTexture::Rects, false>, false},
    {"texovals", nullptr, nullptr, TextureUp<TTexture::Ovals, false>, false},
    {"texcurves", nullptr, nullptr, TextureUp<TTexture::Curves, false>, false},
    {"texpoly", nullptr, nullptr, TextureUp<TTexture::Poly, false>, false},
    {"blurlines", nullptr, nullptr, TextureUp<TTexture::Lines, true>, false},
    {"blurrects", nullptr, nullptr, TextureUp<TTexture::Rects, true>, false},
    {"blurovals", nullptr, nullptr, TextureUp<TTexture::Ovals, true>, false},
    {"blurcurves", nullptr, nullptr, TextureUp<TTexture::Curves, true>, false},
    {"blurpoly", nullptr, nullptr, TextureUp<TTexture::Poly, true>, false},
};

} // namespace

std::span<const TToolRow> BrushToolRows()
{
    return kBrushRows;
}
