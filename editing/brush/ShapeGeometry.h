#pragma once
// Point geometry and outlines of the drawing tools: stars, symmetry strokes, spirals,
// spirographs, the triangle, the skewed rectangle and the cube, and block cells.
#include "platform/vcl/Graphics.h"

#include <QString>

#include <array>
#include <vector>

// The star and symmetry figures hold at most this many vertices.
constexpr int kMaxStarPoints = 13;
using TStarPoints = std::array<TPoint, kMaxStarPoints>;
// starpoints limited to what the vertex array holds (a larger count draws the figure with
// that many points); below 1 gives 0 (no figure).
int StarPointCount(int starpoints);

// round(distance from start to mouse), at least 10.
int DragRadius(TPoint start, TPoint mouse);
// centre + f * (p - centre), computed in polar form, rounded.
TPoint ScalePoint(TPoint centre, TPoint p, double f);
// p turned about centre by angle (radians; positive turns from +x towards +y), rounded.
TPoint RotatePoint(TPoint centre, TPoint p, double angle);

// The star's vertices: first, then each the previous one turned about centre by
// 2k * pi / starpoints (k = 1 for a polygon, else 2, 3, 4, 5 for 5, 7, 9, 11 points).
std::vector<TPoint> StarVertices(TPoint centre, TPoint first, int starpoints, bool polygon);
// Stores the vertices in points and draws them as one filled polygon.
void DrawStar(TCanvas& canvas, TStarPoints& points, TPoint centre, TPoint first, int starpoints,
              bool polygon);

// (x, y) and its turns about (width div 2, height div 2) by 2 pi / starpoints each.
std::vector<TPoint> SymmetryPoints(int x, int y, int width, int height, int starpoints);
// One stroke repeated rotationally: a line from each stored point to its turned (x, y),
// which then replaces the stored point.
void DrawSymmetry(TCanvas& canvas, TStarPoints& points, int x, int y, int width, int height,
                  int starpoints);

// The spiral's pixel points: through is turned about start by stepAngle * pi / 18 and pulled
// towards it by shrink, spirals * 36 times, in hundredths of a pixel.
std::vector<TPoint> SpiralPoints(TPoint start, TPoint through, int spirals, int stepAngle, double shrink);
// Lines from the pen position through the spiral's points.
void DrawSpiral(TCanvas& canvas, TPoint start, TPoint through, int spirals, int stepAngle, double shrink);

// A spirograph about the centre of a square picture: the first wheel's radius reaches p1,
// the second's from p1 to p2; turns * 36 segments. A picture that is not square, radii whose
// sum exceeds half the side, or a radius below 5 draw nothing. Returns the refusal, the text
// for the user ("image must be square for spirographs"), or an empty text when it drew.
QString DrawSpirograph(TCanvas& canvas, int width, int height, TPoint p1, TPoint p2, int turns);

// Closed outlines through points 0, 1, 2 (and 3).
void DrawTriangleOutline(TCanvas& canvas, const std::array<TPoint, 3>& points);
void DrawSkewRectOutline(TCanvas& canvas, const std::array<TPoint, 4>& points);
// The front parallelogram 0..3 and, with depth point 4 - point 2, the side faces that show.
void DrawCubeOutline(TCanvas& canvas, const std::array<TPoint, 5>& points);

// The block cell holding (x, y) when the picture is cut into blocks x blocks cells; a cell is
// at least one pixel wide and high, and blocks counts as at least 1.
TRect BlockCell(int x, int y, int width, int height, int blocks);

// Fills with the brush the full-width band from y1 to y2 of a client area; y1 below 10
// snaps to the top and y2 within 10 pixels of the bottom snaps to the bottom.
void DrawBars(TCanvas& canvas, int clientWidth, int clientHeight, int y1, int y2);
// Fills with the brush bands of height ty at the top and bottom and of width tx at the left
// and right of the client area.
void DrawBorder(TCanvas& canvas, int clientWidth, int clientHeight, int tx, int ty);

// Decorated strokes: from the saved brush colour towards the pen colour in (width div 3)
// steps (the pen width raised to at least 30), each a line p0 -> p1 (DecoBar) or an ellipse
// over (p0, p1) with a clear brush (DecoOval) two pixels narrower than the one before. The
// pen's width and colour are restored.
void DecoBar(TCanvas& canvas, TPoint p0, TPoint p1, TColor savedBrushColor);
void DecoOval(TCanvas& canvas, TPoint p0, TPoint p1, TColor savedBrushColor);
