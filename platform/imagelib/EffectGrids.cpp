// Reveal times of the effect families made of cells: checkerboards, random blocks, dissolves,
// rain, snakes and spirals.
#include "platform/imagelib/EffectInternal.h"

#include <algorithm>
#include <cmath>

namespace kvimg::efx {
namespace {

double Frac(double v) { return v - std::floor(v); }

// A grid of `across` cells over the width, as many rows as keep the cells about square.
struct Grid {
    int nx = 1, ny = 1;
    Grid(int across, std::int32_t w, std::int32_t h)
    {
        nx = std::max(1, std::min(across, int(w)));
        ny = std::max(1, std::min(int(h), int(std::lround(double(nx) * h / std::max(1, w)))));
    }
    int Col(double u) const { return std::clamp(int(u * nx), 0, nx - 1); }
    int Row(double v) const { return std::clamp(int(v * ny), 0, ny - 1); }
};

// The random order of square blocks of `size` pixels (smaller when the area would hold fewer
// than about a hundred, so that every step shows some; never below the grain).
double Scatter(const Spot& s, int size, std::uint32_t seed)
{
    const int most = int(std::sqrt(double(s.width) * s.height / 96.0));
    size = std::max(s.grain, std::min(size, most));
    const auto bx = std::uint32_t(std::max(0.0, s.x) / size), by = std::uint32_t(std::max(0.0, s.y) / size);
    return Hash01(bx, by, seed);
}

double Rain(const Look& l, const Spot& s)
{
    const int dir = l.variant & 3;
    const bool vertical = dir < 2;
    const int width = std::max(2, s.grain * 2 * std::max(1, l.scale));
    const double across = vertical ? s.x : s.y;
    const double along = vertical ? s.y / s.height : s.x / s.width;
    const double lead = Hash01(std::uint32_t(std::max(0.0, across) / width), 77u, l.seed) * 0.5;
    const double p = (dir & 1) ? 1 - along : along;
    return lead + p * 0.5;
}

double Snake(const Look& l, const Spot& s)
{
    const Grid g(std::max(1, l.count), s.width, s.height);
    const bool vertical = (l.variant & 4) != 0;
    double u = s.x / s.width, v = s.y / s.height;
    if (l.variant & 1)
        u = 1 - u;
    if (l.variant & 2)
        v = 1 - v;
    const int lines = vertical ? g.nx : g.ny, cells = vertical ? g.ny : g.nx;
    const double pLine = vertical ? u : v, pCell = vertical ? v : u;
    const int line = std::clamp(int(pLine * lines), 0, lines - 1);
    double pos = pCell * cells;  // forward on even lines, backward on odd ones
    if (line % 2 == 1)
        pos = cells - pos;
    pos = std::clamp(pos, 0.0, cells - 1e-9);
    return (line * cells + pos) / (double(lines) * cells);
}

// The cell's place on a spiral from the outer ring inwards, clockwise from the top left.
long SpiralOrder(int cx, int cy, int nx, int ny)
{
    const int k = std::min(std::min(cx, cy), std::min(nx - 1 - cx, ny - 1 - cy));
    const long before = long(nx) * ny - long(nx - 2 * k) * (ny - 2 * k);
    const int rw = nx - 2 * k, rh = ny - 2 * k, lx = cx - k, ly = cy - k;
    long pos = 0;
    if (rh == 1)
        pos = lx;
    else if (rw == 1)
        pos = ly;
    else if (ly == 0)
        pos = lx;
    else if (lx == rw - 1)
        pos = (rw - 1) + ly;
    else if (ly == rh - 1)
        pos = (rw - 1) + (rh - 1) + (rw - 1 - lx);
    else
        pos = 2L * (rw - 1) + (rh - 1) + (rh - 1 - ly);
    return before + pos;
}

double Spiral(const Look& l, const Spot& s)
{
    const Grid g(std::max(1, l.count), s.width, s.height);
    double u = s.x / s.width;
    const double v = s.y / s.height;
    if (l.variant & 2)
        u = 1 - u;  // counter-clockwise: the mirror image
    const int cx = g.Col(u), cy = g.Row(v);
    const long total = long(g.nx) * g.ny;
    long order = SpiralOrder(cx, cy, g.nx, g.ny);
    if (l.variant & 1)
        order = total - 1 - order;  // from the middle outwards
    const double inside = std::clamp(Frac(u * g.nx), 0.0, 0.999999);
    return (order + inside) / double(total);
}

} // namespace

double GridReveal(const Look& l, const Spot& s)
{
    switch (l.family) {
    case Family::Checker: {
        const Grid g(std::max(1, l.count), s.width, s.height);
        const double u = s.x / s.width, v = s.y / s.height;
        const int cx = g.Col(u), cy = g.Row(v);
        const double inside = (l.variant & 1) ? Frac(v * g.ny) : Frac(u * g.nx);
        return (std::clamp(inside, 0.0, 0.999999) + ((cx + cy) & 1)) / 2;
    }
    case Family::RandomBlocks: return Scatter(s, std::max(8, s.grain * std::max(2, l.scale)), l.seed);
    case Family::Dissolve: return Scatter(s, s.grain * std::max(1, l.scale), l.seed);
    case Family::Rain: return Rain(l, s);
    case Family::Snake: return Snake(l, s);
    case Family::Spiral: return Spiral(l, s);
    default: return 0.0;
    }
}

double GridSpan(const Look& l, std::int32_t width, std::int32_t height)
{
    switch (l.family) {
    case Family::Checker: {
        const Grid g(std::max(1, l.count), width, height);
        return 2.0 * ((l.variant & 1) ? double(height) / g.ny : double(width) / g.nx);
    }
    case Family::Rain: return 2.0 * ((l.variant & 3) < 2 ? height : width);
    case Family::Snake: {
        const Grid g(std::max(1, l.count), width, height);
        return double(width) * g.ny;
    }
    case Family::Spiral: {
        const Grid g(std::max(1, l.count), width, height);
        return double(width) * g.ny;
    }
    default: return 0.0;  // random orders have no front
    }
}

} // namespace kvimg::efx
