#include "editing/brush/ShapeGeometry.h"

#include "platform/vcl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

void Outline(TCanvas& canvas, std::span<const TPoint> points)
{
    canvas.MoveTo(points[0].X, points[0].Y);
    for (std::size_t i = 1; i < points.size(); ++i)
        canvas.LineTo(points[i].X, points[i].Y);
    canvas.LineTo(points[0].X, points[0].Y);
}

void Path(TCanvas& canvas, std::initializer_list<TPoint> points)
{
    auto it = points.begin();
    canvas.MoveTo(it->X, it->Y);
    for (++it; it != points.end(); ++it)
        canvas.LineTo(it->X, it->Y);
}

}  // namespace

int StarPointCount(int starpoints)
{
    return std::clamp(starpoints, 0, kMaxStarPoints);
}

int DragRadius(TPoint start, TPoint mouse)
{
    const double d = std::hypot(double(mouse.X - start.X), double(mouse.Y - start.Y));
    return std::max(10, int(Round(d)));
}

TPoint ScalePoint(TPoint centre, TPoint p, double f)
{
    double dx = p.X - centre.X;
    const double dy = p.Y - centre.Y;
    if (std::abs(dx) <= 0.001)
        dx = dx < 0 ? -0.001 : 0.001;
    const double distance = std::sqrt(dx * dx + dy * dy) * f;
    const double angle = std::atan2(dy, dx);
    return TPoint(int(Round(centre.X + distance * std::cos(angle))),
                  int(Round(centre.Y + distance * std::sin(angle))));
}

TPoint RotatePoint(TPoint centre, TPoint p, double angle)
{
    const double dx = p.X - centre.X;
    const double dy = p.Y - centre.Y;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return TPoint(int(Round(centre.X + dx * c - dy * s)), int(Round(centre.Y + dx * s + dy * c)));
}

std::vector<TPoint> StarVertices(TPoint centre, TPoint first, int starpoints, bool polygon)
{
    const int n = StarPointCount(starpoints);
    std::vector<TPoint> v;
    if (n == 0)
        return v;
    int k = 1;
    if (!polygon) {
        switch (n) {
        case 5: k = 2; break;
        case 7: k = 3; break;
        case 9: k = 4; break;
        case 11: k = 5; break;
        default: k = 1; break;
        }
    }
    const double step = 2 * k * kPi / n;
    v.push_back(first);
    for (int i = 1; i < n; ++i)
        v.push_back(RotatePoint(centre, v.back(), step));
    return v;
}

void DrawStar(TCanvas& canvas, TStarPoints& points, TPoint centre, TPoint first, int starpoints,
              bool polygon)
{
    const std::vector<TPoint> v = StarVertices(centre, first, starpoints, polygon);
    if (v.empty())
        return;
    std::copy(v.begin(), v.end(), points.begin());
    canvas.Polygon(v);
}

std::vector<TPoint> SymmetryPoints(int x, int y, int width, int height, int starpoints)
{
    const int n = StarPointCount(starpoints);
    std::vector<TPoint> v;
    if (n == 0)
        return v;
    const TPoint centre(width / 2, height / 2);
    v.push_back(TPoint(x, y));
    for (int i = 1; i < n; ++i)
        v.push_back(RotatePoint(centre, v.back(), 2 * kPi / n));
    return v;
}

void DrawSymmetry(TCanvas& canvas, TStarPoints& points, int x, int y, int width, int height,
                  int starpoints)
{
    const std::vector<TPoint> turned = SymmetryPoints(x, y, width, height, starpoints);
    for (std::size_t i = 0; i < turned.size(); ++i) {
        canvas.MoveTo(points[i].X, points[i].Y);
        canvas.LineTo(turned[i].X, turned[i].Y);
        points[i] = turned[i];
    }
}

std::vector<TPoint> SpiralPoints(TPoint start, TPoint through, int spirals, int stepAngle, double shrink)
{
    const TPoint centre(start.X * 100, start.Y * 100);
    TPoint p(through.X * 100, through.Y * 100);
    std::vector<TPoint> out;
    for (int i = 0; i < spirals * 36; ++i) {
        p = RotatePoint(centre, p, stepAngle * kPi / 18);
        p = ScalePoint(centre, p, shrink);
        out.push_back(TPoint(p.X / 100, p.Y / 100));
    }
    return out;
}

void DrawSpiral(TCanvas& canvas, TPoint start, TPoint through, int spirals, int stepAngle, double shrink)
{
    for (const TPoint& p : SpiralPoints(start, through, spirals, stepAngle, shrink))
        canvas.LineTo(p.X, p.Y);
}

QString DrawSpirograph(TCanvas& canvas, int width, int height, TPoint p1, TPoint p2, int turns)
{
    const int cx = width / 2;
    const int cy = height / 2;
    if (cx != cy) {
        return QStringLiteral("image must be square for spirographs");
    }
    const int r1 = int(Round(std::hypot(double(p1.X - cx), double(p1.Y - cy))));
    const int r2 = int(Round(std::hypot(double(p2.X - p1.X), double(p2.Y - p1.Y))));
    if (r1 + r2 > cx) {
        return QStringLiteral("sum of radi to large");
    }
    if (r1 < 5 || r2 < 5) {
        return QStringLiteral("both radi must be >5");
    }
    constexpr double s = 0.17453292519943295;  // 10 degrees
    double a = 0;
    double b = 0;
    canvas.MoveTo(cx + r1 + r2, cy);
    for (int i = 0; i < turns * 36; ++i) {
        canvas.LineTo(int(Round(cx + r1 * std::cos(b) + r2 * std::cos(a))),
                      int(Round(cy + r1 * std::sin(b) + r2 * std::sin(a))));
        a += s;
        b += s * r2 / r1;
    }
    return QString();
}

void DrawTriangleOutline(TCanvas& canvas, const std::array<TPoint, 3>& points)
{
    Outline(canvas, points);
}

void DrawSkewRectOutline(TCanvas& canvas, const std::array<TPoint, 4>& points)
{
    Outline(canvas, points);
}

void DrawCubeOutline(TCanvas& canvas, const std::array<TPoint, 5>& p)
{
    Outline(canvas, std::span<const TPoint>(p.data(), 4));
    const int dx = p[4].X - p[2].X;
    const int dy = p[4].Y - p[2].Y;
    auto d = [dx, dy](const TPoint& q) { return TPoint(q.X + dx, q.Y + dy); };
    if (dx >= 0 && dy < 1) {
        Path(canvas, {p[0], d(p[0]), d(p[1]), d(p[2]), p[2]});
        Path(canvas, {p[1], d(p[1])});
    } else if (dx >= 0) {
        Path(canvas, {p[1], d(p[1]), d(p[2]), d(p[3]), p[3]});
        Path(canvas, {p[2], d(p[2])});
    } else if (dy >= 1) {
        Path(canvas, {p[0], d(p[0]), d(p[3]), d(p[2]), p[2]});
        Path(canvas, {p[3], d(p[3])});
    } else if (dy < 0) {
        Path(canvas, {p[1], d(p[1]), d(p[0]), d(p[3]), p[3]});
        Path(canvas, {p[0], d(p[0])});
    }
}

TRect BlockCell(int x, int y, int width, int height, int blocks)
{
    blocks = std::max(blocks, 1);
    const int cw = std::max(width / blocks, 1);
    const int ch = std::max(height / blocks, 1);
    const int left = x / cw * cw;
    const int top = y / ch * ch;
    return TRect(left, top, left + cw, top + ch);
}

void DrawBars(TCanvas& canvas, int clientWidth, int clientHeight, int y1, int y2)
{
    if (y1 < 10)
        y1 = 0;
    if (y2 > clientHeight - 10)
        y2 = clientHeight;
    canvas.FillRect(TRect(0, y1, clientWidth, y2));
}

void DrawBorder(TCanvas& canvas, int clientWidth, int clientHeight, int tx, int ty)
{
    canvas.FillRect(TRect(0, 0, clientWidth, ty));
    canvas.FillRect(TRect(0, clientHeight - ty, clientWidth, clientHeight));
    canvas.FillRect(TRect(0, 0, tx, clientHeight));
    canvas.FillRect(TRect(clientWidth - tx, 0, clientWidth, clientHeight));
}

namespace {

void DecoStrokes(TCanvas& canvas, TPoint p0, TPoint p1, TColor savedBrushColor, bool oval)
{
    const int savedWidth = canvas.Pen.Width;
    const TColor savedPen = canvas.Pen.Color;
    const TBrushStyle savedStyle = canvas.Brush.Style;
    const TColor from = ColorToRGB(savedBrushColor);
    const TColor to = ColorToRGB(savedPen);
    // A pen width of 0 draws as 1 and steps as 1.
    const double steps = std::max(savedWidth, 1) / 3.0;
    const std::array<double, 3> step{(GetRValue(from) - GetRValue(to)) / steps,
                                     (GetGValue(from) - GetGValue(to)) / steps,
                                     (GetBValue(from) - GetBValue(to)) / steps};
    std::array<double, 3> colour{double(GetRValue(from)), double(GetGValue(from)), double(GetBValue(from))};
    if (canvas.Pen.Width < 30)
        canvas.Pen.Width = 30;
    if (oval)
        canvas.Brush.Style = bsClear;
    const int count = canvas.Pen.Width / 3;
    for (int i = 0; i < count; ++i) {
        for (int k = 0; k < 3; ++k)
            colour[std::size_t(k)] -= step[std::size_t(k)];
        // Each channel rounded and taken as its low 8 bits.
        canvas.Pen.Color = RGB(int(Round(colour[0])) & 0xFF, int(Round(colour[1])) & 0xFF,
                               int(Round(colour[2])) & 0xFF);
        if (oval) {
            canvas.Pen.Width -= 2;
            canvas.Ellipse(p0.X, p0.Y, p1.X, p1.Y);
        } else {
            canvas.MoveTo(p0.X, p0.Y);
            canvas.LineTo(p1.X, p1.Y);
            canvas.Pen.Width -= 2;
        }
    }
    canvas.Pen.Width = savedWidth;
    canvas.Pen.Color = savedPen;
    canvas.Brush.Style = savedStyle;
}

}  // namespace

void DecoBar(TCanvas& canvas, TPoint p0, TPoint p1, TColor savedBrushColor)
{
    DecoStrokes(canvas, p0, p1, savedBrushColor, false);
}

void DecoOval(TCanvas& canvas, TPoint p0, TPoint p1, TColor savedBrushColor)
{
    DecoStrokes(canvas, p0, p1, savedBrushColor, true);
}
