// The shape, line, range and fill tools of the drawing component.
//
// Rubber bands are drawn in the pen mode not-xor: drawing the figure for the previous mouse
// position takes it away again, drawing it for the new position shows it. The mouse handlers
// restore the pen mode after every action. Where a release "outlines" a figure, it draws it
// with the current pen and brush unless the pen mode already was not-xor (then the last
// rubber band stands as the figure).
//
// Multi-click tools keep their stage in Shape: "chord" -> "chord1" -> "chord2" -> "chord3"
// (also "arc" and "pie"), "bezier" -> "bezier1" -> "bezier2" -> "bezier", "cube" -> "cube1"
// -> "cube2", "skewrect" -> "skewrect1" -> "skewrect2", "triangle" -> "triangle1" ->
// "triangle2". A press in a final stage starts the tool over.
#include "editing/draw/DrawTools.h"

#include "editing/brush/BrushColors.h"
#include "editing/brush/BrushPixels.h"
#include "editing/brush/ShapeGeometry.h"
#include "editing/draw/DrawImage.h"
#include "platform/vcl/Dialogs.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

namespace {

using Image = TpelDrawImage;
using Event = TToolEvent;

TPoint At(const Event& e) { return TPoint{e.X, e.Y}; }

bool NotXorSaved(const Image& im) { return im.Drag.SavedPenMode == pmNotXor; }

// A figure drawn from the drag's start to a point.
using Figure = std::function<void(TCanvas& canvas, TPoint from, TPoint to)>;

void LineFigure(TCanvas& c, TPoint a, TPoint b)
{
    c.MoveTo(a.X, a.Y);
    c.LineTo(b.X, b.Y);
}
void RectFigure(TCanvas& c, TPoint a, TPoint b) { c.Rectangle(a.X, a.Y, b.X, b.Y); }
void EllipseFigure(TCanvas& c, TPoint a, TPoint b) { c.Ellipse(a.X, a.Y, b.X, b.Y); }
void DottedRectFigure(TCanvas& c, TPoint a, TPoint b)
{
    c.Pen.Style = psDot;
    c.Rectangle(a.X, a.Y, b.X, b.Y);
    c.Pen.Style = psSolid;
}

// Draws in not-xor: the figure at LastPoint away, at the mouse anew.
void Rubber(Image& im, const Event& e, const Figure& figure)
{
    TCanvas& c = im.Canvas();
    c.Pen.Mode = pmNotXor;
    figure(c, im.Drag.StartPoint, im.Drag.LastPoint);
    figure(c, im.Drag.StartPoint, At(e));
}

// Takes the rubber band standing at LastPoint away; the pen mode returns to the saved one.
void Erase(Image& im, const Figure& figure)
{
    TCanvas& c = im.Canvas();
    c.Pen.Mode = pmNotXor;
    figure(c, im.Drag.StartPoint, im.Drag.LastPoint);
    c.Pen.Mode = im.Drag.SavedPenMode;
}

void Outline(Image& im, const Event& e, const Figure& figure)
{
    if (!NotXorSaved(im))
        figure(im.Canvas(), im.Drag.StartPoint, At(e));
}

// The picture's pixel at (x, y); a point off the picture reads the nearest edge pixel.
TColor PictureColor(Image& im, int x, int y)
{
    const TBitmap& p = im.Picture();
    if (p.Empty())
        return clWhite;
    return im.Canvas().Pixel(std::clamp(x, 0, p.Width() - 1), std::clamp(y, 0, p.Height() - 1));
}

// Runs f on WorkBitmap loaded from the picture at 24 bits, then shows the result.
void OnWorkBitmap(Image& im, const std::function<void(TBitmap&)>& f)
{
    if (im.Picture().Empty())
        return;
    im.WorkBitmap = im.Picture();
    im.WorkBitmap.SetPixelFormat(pf24bit);
    f(im.WorkBitmap);
    im.Picture() = im.WorkBitmap;
}

// --- ranges and copies ------------------------------------------------------------------

void RangeDown(Image& im, const Event& e)
{
    im.Drag.RangeCopyMode = cmSrcInvert;
    im.ClearWorkBitmap(clWhite);
    im.CopyRangeToWorkBitmap();
    im.Canvas().CopyMode = cmSrcInvert;
    im.Canvas().Draw(e.X, e.Y, im.WorkBitmap);
}

void RangeMoveMove(Image& im, const Event& e)
{
    TCanvas& c = im.Canvas();
    c.CopyMode = cmSrcInvert;
    c.Draw(im.Drag.LastPoint.X, im.Drag.LastPoint.Y, im.WorkBitmap);
    c.Draw(e.X, e.Y, im.WorkBitmap);
}

void RangeSmearMove(Image& im, const Event& e)
{
    im.Canvas().CopyMode = cmSrcInvert;
    im.Canvas().Draw(e.X, e.Y, im.WorkBitmap);
}

// The side of the clone square at the mouse: the pen width, cut to where the square still
// reaches the picture (what lies further right or down changes nothing), so that a pen far
// wider than the picture copies no more than the picture.
int CloneSide(Image& im, const Event& e)
{
    const TBitmap& p = im.Picture();
    const long long reach = std::max(0LL, std::max(p.Width() - (long long)e.X, p.Height() - (long long)e.Y));
    return int(std::min<long long>(im.Canvas().Pen.Width, reach));
}

// The square of side CloneSide whose offset from the mouse is the one from AnchorPoint to
// StartPoint.
TRect CloneSource(Image& im, const Event& e)
{
    const int w = CloneSide(im, e);
    const int sx = e.X - (im.Drag.StartPoint.X - im.Drag.AnchorPoint.X);
    const int sy = e.Y - (im.Drag.StartPoint.Y - im.Drag.AnchorPoint.Y);
    return TRect{sx, sy, sx + w, sy + w};
}

void CloneAllMove(Image& im, const Event& e)
{
    TCanvas& c = im.Canvas();
    const int w = CloneSide(im, e);
    c.CopyMode = cmSrcCopy;
    c.CopyRect(TRect{e.X, e.Y, e.X + w, e.Y + w}, c, CloneSource(im, e));
}

void CloneNotTargetMove(Image& im, const Event& e)
{
    const TRect s = CloneSource(im, e);
    im.CopyCloneArea(TRect{s.Left, s.Top, s.Right - 1, s.Bottom - 1});
    TBitmap& w = im.WorkBitmap;
    w.Transparent = true;
    w.TransparentMode = tmFixed;
    w.SetTransparentColor(PictureColor(im, im.Drag.AnchorPoint.X, im.Drag.AnchorPoint.Y));
    im.Canvas().Draw(e.X, e.Y, w);
    w.Transparent = false;
    w.TransparentMode = tmAuto;
}

void PasteRange(Image& im, const Event& e)
{
    const TRect& r = im.Drag.RangeRect;
    TCanvas& c = im.Canvas();
    c.CopyRect(TRect{e.X, e.Y, e.X + r.Right - r.Left, e.Y + r.Bottom - r.Top}, c, r);
}

void PasteMove(Image& im, const Event& e)
{
    if (e.Shift & ssShift)
        PasteRange(im, e);
}

// The range with every pixel but (or of) the brush colour masked black, drawn with black
// left out.
void PasteColorUp(Image& im, const Event& e, bool maskTheColor)
{
    im.ClearWorkBitmap(clWhite);
    im.CopyRangeToWorkBitmap();
    const std::uint32_t color = std::uint32_t(ColorToRGB(im.Canvas().Brush.Color));
    if (maskTheColor)
        im.PaintFX.MaskColor(FxView(im.WorkBitmap), color);
    else
        im.PaintFX.MaskOtherColors(FxView(im.WorkBitmap), color);
    TBitmap& w = im.WorkBitmap;
    w.Transparent = true;
    w.TransparentMode = tmFixed;
    w.SetTransparentColor(clBlack);
    im.Canvas().Draw(e.X, e.Y, w);
    w.Transparent = false;
    w.TransparentMode = tmAuto;
}

// The range copied one pixel short on the right and bottom, TransferColor left out.
void TransCopyUp(Image& im, const Event& e)
{
    im.Canvas().CopyMode = cmSrcCopy;
    im.ClearWorkBitmap(clWhite);
    im.CopyRangeToWorkBitmap();
    TBitmap part = im.WorkBitmap;
    part.SetSize(std::max(0, part.Width() - 1), std::max(0, part.Height() - 1));
    part.Transparent = true;
    part.TransparentMode = tmFixed;
    part.SetTransparentColor(im.Drag.TransferColor);
    im.Canvas().Draw(e.X, e.Y, part);
    im.Drag.MouseIsDown = false;
}

// --- strokes ------------------------------------------------------------------------------

void LineToMove(Image& im, const Event& e) { im.Canvas().LineTo(e.X, e.Y); }

void Segment(TCanvas& c, TPoint a, TPoint b)
{
    c.MoveTo(a.X, a.Y);
    c.LineTo(b.X, b.Y);
}

// The stroke from LastPoint to the mouse and its mirrors: each flag pair mirrors across the
// width (x) and the height (y).
void MirroredStroke(Image& im, const Event& e, std::initializer_list<std::pair<bool, bool>> mirrors)
{
    TCanvas& c = im.Canvas();
    const TPoint a = im.Drag.LastPoint, b = At(e);
    const int w = im.width(), h = im.height();
    Segment(c, a, b);
    for (const std::pair<bool, bool>& mirror : mirrors) {
        const auto m = [&](TPoint p) { return TPoint{mirror.first ? w - p.X : p.X, mirror.second ? h - p.Y : p.Y}; };
        Segment(c, m(a), m(b));
    }
}

void VMirrorMove(Image& im, const Event& e) { MirroredStroke(im, e, {{true, false}}); }
void HMirrorMove(Image& im, const Event& e) { MirroredStroke(im, e, {{false, true}}); }
// Mirrored through the centre.
void CMirrorMove(Image& im, const Event& e) { MirroredStroke(im, e, {{true, true}}); }
void Mirror4Move(Image& im, const Event& e) { MirroredStroke(im, e, {{true, true}, {true, false}, {false, true}}); }

// A line in the pen colour, then twice as wide with the screen ANDed with the inverted pen.
void DecoLineMove(Image& im, const Event& e)
{
    TCanvas& c = im.Canvas();
    const int width = c.Pen.Width;
    const TPenMode mode = c.Pen.Mode;
    c.Pen.Color = im.Drag.SavedPenColor;
    c.Pen.Mode = pmCopy;
    Segment(c, im.Drag.LastPoint, At(e));
    c.Pen.Width = width * 2;
    c.Pen.Mode = pmMaskNotPen;
    Segment(c, im.Drag.LastPoint, At(e));
    c.Pen.Width = width;
    c.Pen.Mode = mode;
}

void SprayMove(Image& im, const Event& e)
{
    TCanvas& c = im.Canvas();
    for (int i = 0; i < 10; ++i) {
        const int x = e.X + PaintFXRandom().Random(30) - 15;
        const int y = e.Y + PaintFXRandom().Random(30) - 15;
        c.SetPixel(x, y, c.Brush.Color);
    }
}

// Locks the stroke to the axis it mostly runs along; a cross step above SlineThreshold
// switches the axis.
void SlineMove(Image& im, const Event& e)
{
    auto& d = im.Drag;
    QString& axis = d.SlineAxis;
    if (axis == QLatin1String("none"))
        axis = std::abs(e.Y - d.StartPoint.Y) > std::abs(e.X - d.StartPoint.X) ? QStringLiteral("v") : QStringLiteral("h");
    else if (axis == QLatin1String("h") && std::abs(e.Y - d.LastPoint.Y) > d.SlineThreshold)
        axis = QStringLiteral("v");
    else if (axis == QLatin1String("v") && std::abs(e.X - d.LastPoint.X) > d.SlineThreshold)
        axis = QStringLiteral("h");
    if (axis == QLatin1String("h"))
        im.Canvas().LineTo(e.X, d.LastPoint.Y);
    else
        im.Canvas().LineTo(d.LastPoint.X, e.Y);
}

void SymDown(Image& im, const Event& e)
{
    const std::vector<TPoint> v = SymmetryPoints(e.X, e.Y, im.Picture().Width(), im.Picture().Height(), im.starpoints());
    std::copy(v.begin(), v.end(), im.Drag.StarPoints.begin());
}

void SymMove(Image& im, const Event& e)
{
    DrawSymmetry(im.Canvas(), im.Drag.StarPoints, e.X, e.Y, im.Picture().Width(), im.Picture().Height(), im.starpoints());
}

// --- rubber-band figures ------------------------------------------------------------------

void RubberLineMove(Image& im, const Event& e) { Rubber(im, e, LineFigure); }
void RubberRectMove(Image& im, const Event& e) { Rubber(im, e, RectFigure); }
void RubberEllipseMove(Image& im, const Event& e) { Rubber(im, e, EllipseFigure); }
void DottedRectMove(Image& im, const Event& e) { Rubber(im, e, DottedRectFigure); }
Figure RoundRectFigure(const Image& im)
{
    const int r = im.Drag.RoundRectRadius;
    return [r](TCanvas& c, TPoint a, TPoint b) { c.RoundRect(a.X, a.Y, b.X, b.Y, r, r); };
}
void RoundRectMove(Image& im, const Event& e) { Rubber(im, e, RoundRectFigure(im)); }

void SnapshotDown(Image& im, const Event&)
{
    TCanvas& c = im.Canvas();
    im.Drag.SavedBrushStyle = c.Brush.Style;
    im.Drag.SavedPenWidth = c.Pen.Width;
    im.Drag.SnapshotBorrowed = true;
    c.Brush.Style = bsClear;
    c.Pen.Width = 1;
}

void SnapshotUp(Image& im, const Event& e)
{
    Erase(im, DottedRectFigure);
    im.Drag.RangeRect = TRect{im.Drag.StartPoint.X, im.Drag.StartPoint.Y, e.X, e.Y};
    TCanvas& c = im.Canvas();
    c.Brush.Style = im.Drag.SavedBrushStyle;
    c.Pen.Width = im.Drag.SavedPenWidth;
    im.Drag.SnapshotBorrowed = false;
    im.setShape(QString());
}

void BarsUp(Image& im, const Event& e)
{
    Erase(im, DottedRectFigure);
    DrawBars(im.Canvas(), im.width(), im.height(), im.Drag.StartPoint.Y, e.Y);
}

void BorderUp(Image& im, const Event& e)
{
    Erase(im, DottedRectFigure);
    DrawBorder(im.Canvas(), im.width(), im.height(), e.X - im.Drag.StartPoint.X, e.Y - im.Drag.StartPoint.Y);
}

void LineUp(Image& im, const Event& e) { Outline(im, e, LineFigure); }

void PolyUp(Image& im, const Event& e)
{
    LineUp(im, e);
    auto& d = im.Drag;
    const TPoint p = d.PolyCount == 0 ? d.StartPoint : At(e);
    if (d.PolyCount < 100)
        d.PolyPoints[size_t(d.PolyCount++)] = p;
}

// The curve of "polybezier" from StartPoint to end; control points not fixed lie on the
// corners of the box the ends span.
void PolyBezierPoints(Image& im, TPoint end)
{
    auto& d = im.Drag;
    auto& b = d.BezierPoints;
    b[0] = d.StartPoint;
    b[3] = end;
    if (!d.BezierFixed1)
        b[1] = TPoint{b[0].X, b[3].Y};
    if (!d.BezierFixed2)
        b[2] = TPoint{b[3].X, b[0].Y};
}

void PolyBezierMove(Image& im, const Event& e)
{
    auto& d = im.Drag;
    TCanvas& c = im.Canvas();
    c.Pen.Mode = pmNotXor;
    PolyBezierPoints(im, d.LastPoint);
    c.PolyBezier(d.BezierPoints);
    if (e.Shift & ssCtrl) {
        d.BezierPoints[1] = At(e);
        d.BezierFixed1 = true;
    }
    if (e.Shift & ssShift) {
        d.BezierPoints[2] = At(e);
        d.BezierFixed2 = true;
    }
    PolyBezierPoints(im, At(e));
    c.PolyBezier(d.BezierPoints);
}

// Outlines the figure and, for stars above 1, stars - 1 copies inset step by step.
void NestedUp(Image& im, const Event& e, const Figure& figure)
{
    Outline(im, e, figure);
    const TPoint s = im.Drag.StartPoint;
    const int n = im.stars();
    if (n <= 1)
        return;
    const int ix = (e.X - s.X) / 2 / n, iy = (e.Y - s.Y) / 2 / n;
    for (int k = 1; k < n; ++k)
        figure(im.Canvas(), TPoint{s.X + k * ix, s.Y + k * iy}, TPoint{e.X - k * ix, e.Y - k * iy});
}

void RectangleUp(Image& im, const Event& e) { NestedUp(im, e, RectFigure); }
void EllipseUp(Image& im, const Event& e) { NestedUp(im, e, EllipseFigure); }
void RoundRectUp(Image& im, const Event& e) { NestedUp(im, e, RoundRectFigure(im)); }

void GlobeUp(Image& im, const Event& e)
{
    Outline(im, e, EllipseFigure);
    TCanvas& c = im.Canvas();
    const TPoint s = im.Drag.StartPoint;
    const int sx = (e.X - s.X) / 20, sy = (e.Y - s.Y) / 20;
    for (int k = 1; k <= 10; ++k) {
        c.Ellipse(s.X + k * sx, s.Y, e.X - k * sx, e.Y);
        c.Ellipse(s.X, s.Y + k * sy, e.X, e.Y - k * sy);
    }
}

void MazeUp(Image& im, const Event& e)
{
    Outline(im, e, RectFigure);
    TCanvas& c = im.Canvas();
    const TPoint s = im.Drag.StartPoint;
    const int sx = (e.X - s.X) / 10, sy = (e.Y - s.Y) / 10;
    for (int k = 1; k <= 10; ++k) {
        c.MoveTo(s.X + k * sx, e.Y);
        c.LineTo(e.X, e.Y - k * sy);
        c.LineTo(e.X - k * sx, s.Y);
        c.LineTo(s.X, s.Y + k * sy);
        c.LineTo(s.X + k * sx, e.Y);
    }
}

void BlockMove(Image& im, const Event& e)
{
    im.Canvas().FillRect(BlockCell(e.X, e.Y, im.Picture().Width(), im.Picture().Height(), im.blocks()));
}

TRect DragRect(Image& im, const Event& e) { return TRect{im.Drag.StartPoint.X, im.Drag.StartPoint.Y, e.X, e.Y}; }

void InterRectUp(Image& im, const Event& e)
{
    const TRect r = DragRect(im, e);
    OnWorkBitmap(im, [&](TBitmap& b) { InterRect(b, r); });
}

void InterColumnUp(Image& im, const Event& e)
{
    const TRect r = DragRect(im, e);
    OnWorkBitmap(im, [&](TBitmap& b) { InterColumn(b, r); });
}

// Shaded spheres from the pen colour to the brush colour of the press, or with Alt from the
// picture's colour at the start to the one at the mouse.
void SpheresUp(Image& im, const Event& e, std::optional<TSphereFamily> family)
{
    if (family)
        Erase(im, EllipseFigure);
    const TPoint s = im.Drag.StartPoint;
    if (e.X == s.X || e.Y == s.Y)
        return;
    TColor c1 = im.Drag.SavedPenColor, c2 = im.Drag.SavedBrushColor;
    if (e.Shift & ssAlt) {
        c1 = PictureColor(im, s.X, s.Y);
        c2 = PictureColor(im, e.X, e.Y);
    }
    const TRect r = DragRect(im, e);
    OnWorkBitmap(im, [&](TBitmap& b) {
        if (family)
            DrawSpheres(b, r, *family, c1, c2);
        else
            Sphere(b, r, c1, c2);
    });
}

template <TSphereFamily F>
void FamilyUp(Image& im, const Event& e)
{
    SpheresUp(im, e, F);
}
void InterSphereUp(Image& im, const Event& e) { SpheresUp(im, e, std::nullopt); }

void DecoOvalUp(Image& im, const Event& e)
{
    Erase(im, EllipseFigure);
    im.Picture().SetPixelFormat(pf24bit);
    DecoOval(im.Canvas(), im.Drag.StartPoint, At(e), im.Drag.SavedBrushColor);
}

void DecoBarUp(Image& im, const Event& e)
{
    im.Picture().SetPixelFormat(pf24bit);
    DecoBar(im.Canvas(), im.Drag.StartPoint, At(e), im.Drag.SavedBrushColor);
}

void ConeUp(Image& im, const Event& e)
{
    Erase(im, LineFigure);
    TCanvas& c = im.Canvas();
    const TPoint s = im.Drag.StartPoint;
    const int w = im.Picture().Width();
    const int mid = w / 2, st = (w - 2 * s.X) / 20, sb = (w - 2 * e.X) / 20;
    for (int k = 0; k <= 10; ++k) {
        Segment(c, TPoint{mid + k * st, s.Y}, TPoint{mid + k * sb, e.Y});
        Segment(c, TPoint{mid - k * st, s.Y}, TPoint{mid - k * sb, e.Y});
    }
    Segment(c, TPoint{mid + 10 * st, s.Y}, TPoint{mid - 10 * st, s.Y});
    Segment(c, TPoint{mid + 10 * sb, e.Y}, TPoint{mid - 10 * sb, e.Y});
}

void StarUp(Image& im, const Event& e)
{
    Erase(im, LineFigure);
    const TPoint s = im.Drag.StartPoint;
    const int n = im.stars();
    for (int k = 1; k <= n; ++k)
        DrawStar(im.Canvas(), im.Drag.StarPoints, s, ScalePoint(s, At(e), double(k) / n), im.starpoints(),
                 im.polygonchecked());
}

void SpiralUp(Image& im, const Event& e)
{
    Erase(im, LineFigure);
    auto& d = im.Drag;
    DrawSpiral(im.Canvas(), d.StartPoint, At(e), im.spirals(), d.SpiralStepAngle, d.SpiralShrink);
    // The spiral works in hundredths of a pixel and leaves its centre that way.
    d.StartPoint = TPoint{d.StartPoint.X * 100, d.StartPoint.Y * 100};
}

void SpiroUp(Image& im, const Event& e)
{
    Erase(im, LineFigure);
    const QString refusal = DrawSpirograph(im.Canvas(), im.Picture().Width(), im.Picture().Height(),
                                           im.Drag.StartPoint, At(e), im.Drag.SpiroTurns);
    if (!refusal.isEmpty())
        ShowMessage(refusal);
}

// --- multi-click tools ---------------------------------------------------------------------

// The press in a final stage: the tool starts over.
template <const char* Base>
void RestartDown(Image& im, const Event&)
{
    im.setShape(QLatin1String(Base));
}

constexpr char kChord[] = "chord";
constexpr char kArc[] = "arc";
constexpr char kPie[] = "pie";
constexpr char kCube[] = "cube";
constexpr char kSkewRect[] = "skewrect";
constexpr char kTriangle[] = "triangle";
constexpr char kBezier[] = "bezier";

template <const char* Base>
void ArcBaseUp(Image& im, const Event& e)
{
    im.Drag.ArcPoints[0] = im.Drag.StartPoint;
    im.Drag.ArcPoints[1] = At(e);
    im.setShape(QLatin1String(Base) + QLatin1Char('1'));
}

template <const char* Base>
void ArcStage1Up(Image& im, const Event& e)
{
    im.Drag.ArcPoints[2] = At(e);
    im.setShape(QLatin1String(Base) + QLatin1Char('2'));
}

template <const char* Base>
void ArcStage2Up(Image& im, const Event& e)
{
    auto& a = im.Drag.ArcPoints;
    a[3] = At(e);
    im.setShape(QLatin1String(Base) + QLatin1Char('3'));
    TCanvas& c = im.Canvas();
    c.Pen.Mode = pmNotXor;
    c.Ellipse(a[0].X, a[0].Y, a[1].X, a[1].Y);
    c.Pen.Mode = im.Drag.SavedPenMode;
    const QLatin1String base(Base);
    if (base == QLatin1String("chord"))
        c.Chord(a[0].X, a[0].Y, a[1].X, a[1].Y, a[2].X, a[2].Y, a[3].X, a[3].Y);
    else if (base == QLatin1String("arc"))
        c.Arc(a[0].X, a[0].Y, a[1].X, a[1].Y, a[2].X, a[2].Y, a[3].X, a[3].Y);
    else
        c.Pie(a[0].X, a[0].Y, a[1].X, a[1].Y, a[2].X, a[2].Y, a[3].X, a[3].Y);
}

void CubeUp(Image& im, const Event& e)
{
    auto& p = im.Drag.ShapePoints;
    const TPoint s = im.Drag.StartPoint;
    p = {s, TPoint{e.X, s.Y}, At(e), TPoint{s.X, e.Y}, At(e)};
    DrawCubeOutline(im.Canvas(), p);
    im.setShape(QStringLiteral("cube1"));
}

void Cube1Move(Image& im, const Event& e)
{
    TCanvas& c = im.Canvas();
    c.Pen.Mode = pmNotXor;
    DrawCubeOutline(c, im.Drag.ShapePoints);
    im.Drag.ShapePoints[4] = At(e);
    DrawCubeOutline(c, im.Drag.ShapePoints);
}

void Cube1Up(Image& im, const Event& e)
{
    im.Drag.ShapePoints[4] = At(e);
    if (!NotXorSaved(im))
        DrawCubeOutline(im.Canvas(), im.Drag.ShapePoints);
    im.setShape(QStringLiteral("cube2"));
}

// The first edge of the triangle and the skewed rectangle; the moving corners start on its
// end, so the first move of the next stage takes away only that edge's ends.
template <const char* Base>
void EdgeUp(Image& im, const Event& e)
{
    auto& p = im.Drag.ShapePoints;
    p[0] = im.Drag.StartPoint;
    p[1] = p[2] = At(e);
    p[3] = p[0];
    Outline(im, e, LineFigure);
    im.setShape(QLatin1String(Base) + QLatin1Char('1'));
}

// The parallelogram's third corner at the mouse, its fourth at third - second + first.
void SetSkewCorner(Image& im, TPoint third)
{
    auto& p = im.Drag.ShapePoints;
    p[2] = third;
    p[3] = TPoint{third.X - p[1].X + p[0].X, third.Y - p[1].Y + p[0].Y};
}

std::array<TPoint, 4> SkewCorners(const Image& im)
{
    const auto& p = im.Drag.ShapePoints;
    return {p[0], p[1], p[2], p[3]};
}

std::array<TPoint, 3> TriangleCorners(const Image& im)
{
    const auto& p = im.Drag.ShapePoints;
    return {p[0], p[1], p[2]};
}

void SkewRect1Move(Image& im, const Event& e)
{
    TCanvas& c = im.Canvas();
    c.Pen.Mode = pmNotXor;
    DrawSkewRectOutline(c, SkewCorners(im));
    SetSkewCorner(im, At(e));
    DrawSkewRectOutline(c, SkewCorners(im));
}

void SkewRect1Up(Image& im, const Event& e)
{
    SetSkewCorner(im, At(e));
    if (!NotXorSaved(im))
        DrawSkewRectOutline(im.Canvas(), SkewCorners(im));
    im.setShape(QStringLiteral("skewrect2"));
}

void Triangle1Move(Image& im, const Event& e)
{
    TCanvas& c = im.Canvas();
    c.Pen.Mode = pmNotXor;
    DrawTriangleOutline(c, TriangleCorners(im));
    im.Drag.ShapePoints[2] = At(e);
    DrawTriangleOutline(c, TriangleCorners(im));
}

void Triangle1Up(Image& im, const Event& e)
{
    im.Drag.ShapePoints[2] = At(e);
    if (!NotXorSaved(im))
        DrawTriangleOutline(im.Canvas(), TriangleCorners(im));
    im.setShape(QStringLiteral("triangle2"));
}

// "bezier": the rubber curve from StartPoint (end and first control point) to the mouse
// (second control point and end).
void BezierMove(Image& im, const Event& e)
{
    auto& b = im.Drag.BezierPoints;
    TCanvas& c = im.Canvas();
    c.Pen.Mode = pmNotXor;
    const TPoint s = im.Drag.StartPoint, l = im.Drag.LastPoint;
    b = {s, s, l, l};
    c.PolyBezier(b);
    b = {s, s, At(e), At(e)};
    c.PolyBezier(b);
}

void BezierUp(Image& im, const Event&) { im.setShape(QStringLiteral("bezier1")); }

// Moves control point `index` to the mouse, the curve taken away and drawn anew.
template <int Index>
void BezierControl(Image& im, const Event& e)
{
    auto& b = im.Drag.BezierPoints;
    TCanvas& c = im.Canvas();
    c.Pen.Mode = pmNotXor;
    c.PolyBezier(b);
    b[Index] = At(e);
    c.PolyBezier(b);
}

void Bezier1Up(Image& im, const Event&) { im.setShape(QStringLiteral("bezier2")); }

void Bezier2Up(Image& im, const Event& e)
{
    if (!NotXorSaved(im)) {
        im.Drag.BezierPoints[2] = At(e);
        im.Canvas().PolyBezier(im.Drag.BezierPoints);
    }
    // The curve is complete ("bezier3"); the next one starts at once.
    im.setShape(QStringLiteral("bezier3"));
    if (im.Shape() == QLatin1String("bezier3"))
        im.setShape(QStringLiteral("bezier"));
}

// --- fill and pick ---------------------------------------------------------------------------

void FloodFillUp(Image& im, const Event& e)
{
    TCanvas& c = im.Canvas();
    if (e.Shift & ssAlt)
        c.FloodFill(e.X, e.Y, c.Pen.Color, fsBorder);
    else
        c.FloodFill(e.X, e.Y, c.Pixel(e.X, e.Y), fsSurface);
}

void PaintPickUp(Image& im, const Event& e)
{
    const TColor color = (e.Shift & ssAlt) ? AverageColor(PictureColor(im, e.X - 5, e.Y), PictureColor(im, e.X + 5, e.Y))
                                           : PictureColor(im, e.X, e.Y);
    im.Canvas().Brush.Color = color;
    im.DoColorPicked(color);
    im.setShape(QString());
}

const TToolRow kRows[] = {
    {"rangemove", RangeDown, RangeMoveMove, nullptr},
    {"rangesmear", RangeDown, RangeSmearMove, nullptr},
    {"freehand", nullptr, LineToMove, nullptr},
    {"waveline", nullptr, LineToMove, nullptr},
    {"fastwaveline", nullptr, LineToMove, nullptr},
    {"colorwaveline", nullptr, LineToMove, nullptr},
    {"borderwaveline", nullptr, CMirrorMove, nullptr},
    {"decoline", nullptr, DecoLineMove, nullptr},
    {"spray", nullptr, SprayMove, nullptr},
    {"sline", nullptr, SlineMove, nullptr},
    {"vmirror", nullptr, VMirrorMove, nullptr},
    {"hmirror", nullptr, HMirrorMove, nullptr},
    {"cmirror", nullptr, CMirrorMove, nullptr},
    {"mirror4", nullptr, Mirror4Move, nullptr},
    {"cloneall", nullptr, CloneAllMove, nullptr},
    {"clonenottarget", nullptr, CloneNotTargetMove, nullptr},
    {"paste", nullptr, PasteMove, PasteRange},
    {"pastecolor", nullptr, nullptr, [](Image& im, const Event& e) { PasteColorUp(im, e, false); }},
    {"pastecolorx", nullptr, nullptr, [](Image& im, const Event& e) { PasteColorUp(im, e, true); }},
    {"transcopy", nullptr, nullptr, TransCopyUp},
    {"sym", SymDown, SymMove, nullptr},
    {"snapshot", SnapshotDown, DottedRectMove, SnapshotUp},
    {"bars", nullptr, DottedRectMove, BarsUp},
    {"border", nullptr, DottedRectMove, BorderUp},
    {"line", nullptr, RubberLineMove, LineUp},
    {"polyline", nullptr, RubberLineMove, PolyUp},
    {"polygon", nullptr, RubberLineMove, PolyUp},
    {"polybezier", nullptr, PolyBezierMove, nullptr},
    {"rectangle", nullptr, RubberRectMove, RectangleUp},
    {"roundrect", nullptr, RoundRectMove, RoundRectUp},
    {"ellipse", nullptr, RubberEllipseMove, EllipseUp},
    {"globe", nullptr, RubberEllipseMove, GlobeUp},
    {"maze", nullptr, RubberRectMove, MazeUp},
    {"blocks", nullptr, BlockMove, BlockMove},
    {"interprect", nullptr, RubberRectMove, InterRectUp},
    {"intercolumn", nullptr, RubberRectMove, InterColumnUp},
    {"intersphere", nullptr, RubberEllipseMove, InterSphereUp},
    {"multisphere", nullptr, RubberEllipseMove, FamilyUp<TSphereFamily::Row>},
    {"dropletsphere", nullptr, RubberEllipseMove, FamilyUp<TSphereFamily::Droplets>},
    {"wavesphere", nullptr, RubberEllipseMove, FamilyUp<TSphereFamily::Wave>},
    {"risingwavesphere", nullptr, RubberEllipseMove, FamilyUp<TSphereFamily::RisingWave>},
    {"decooval", nullptr, RubberEllipseMove, DecoOvalUp},
    {"decobar", nullptr, RubberLineMove, DecoBarUp},
    {"cone", nullptr, RubberLineMove, ConeUp},
    {"star", nullptr, RubberLineMove, StarUp},
    {"spiral", nullptr, RubberLineMove, SpiralUp},
    {"spiro", nullptr, RubberLineMove, SpiroUp},
    {"chord", nullptr, RubberEllipseMove, ArcBaseUp<kChord>},
    {"chord1", nullptr, nullptr, ArcStage1Up<kChord>},
    {"chord2", nullptr, nullptr, ArcStage2Up<kChord>},
    {"chord3", RestartDown<kChord>, nullptr, nullptr},
    {"arc", nullptr, RubberEllipseMove, ArcBaseUp<kArc>},
    {"arc1", nullptr, nullptr, ArcStage1Up<kArc>},
    {"arc2", nullptr, nullptr, ArcStage2Up<kArc>},
    {"arc3", RestartDown<kArc>, nullptr, nullptr},
    {"pie", nullptr, RubberEllipseMove, ArcBaseUp<kPie>},
    {"pie1", nullptr, nullptr, ArcStage1Up<kPie>},
    {"pie2", nullptr, nullptr, ArcStage2Up<kPie>},
    {"pie3", RestartDown<kPie>, nullptr, nullptr},
    {"cube", nullptr, RubberRectMove, CubeUp},
    {"cube1", nullptr, Cube1Move, Cube1Up},
    {"cube2", RestartDown<kCube>, nullptr, nullptr},
    {"skewrect", nullptr, RubberLineMove, EdgeUp<kSkewRect>},
    {"skewrect1", nullptr, SkewRect1Move, SkewRect1Up},
    {"skewrect2", RestartDown<kSkewRect>, nullptr, nullptr},
    {"triangle", nullptr, RubberLineMove, EdgeUp<kTriangle>},
    {"triangle1", nullptr, Triangle1Move, Triangle1Up},
    {"triangle2", RestartDown<kTriangle>, nullptr, nullptr},
    {"bezier", nullptr, BezierMove, BezierUp},
    {"bezier1", BezierControl<1>, BezierControl<1>, Bezier1Up},
    {"bezier2", BezierControl<2>, BezierControl<2>, Bezier2Up},
    {"bezier3", RestartDown<kBezier>, nullptr, nullptr},
    {"floodfill", nullptr, nullptr, FloodFillUp},
    {"paintpick", nullptr, nullptr, PaintPickUp},
    {"rotatetext", nullptr, RubberLineMove, nullptr},
};

} // namespace

std::span<const TToolRow> ShapeToolRows()
{
    return kRows;
}
