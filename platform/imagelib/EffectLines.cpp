// Reveal times of the effect families whose front sweeps across the picture: wipes, barn
// doors, splits, blinds, diagonal stripes, combs, irises and clocks.
#include "platform/imagelib/EffectInternal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvimg::efx {
namespace {

double Frac(double v) { return v - std::floor(v); }

// A triangle wave in [0, 1] with `teeth` periods over p in [0, 1].
double Teeth(double p, int teeth) { return std::fabs(Frac(p * teeth) - 0.5) * 2.0; }

constexpr double kToothDepth = 0.2;

// The number of blinds or comb teeth over `extent` pixels: at most one per 4 pixels.
int Slats(int count, std::int32_t extent) { return std::max(1, std::min(count, int(extent / 4))); }

double Wipe(const Look& l, double u, double v)
{
    double t = 0, across = 0;
    switch (l.variant & 7) {
    case 0: t = u; across = v; break;                      // from the left
    case 1: t = 1 - u; across = v; break;                  // from the right
    case 2: t = v; across = u; break;                      // from the top
    case 3: t = 1 - v; across = u; break;                  // from the bottom
    case 4: t = (u + v) / 2; across = (u - v + 1) / 2; break;      // from the top left
    case 5: t = 1 - (u + v) / 2; across = (u - v + 1) / 2; break;  // from the bottom right
    case 6: t = (1 - u + v) / 2; across = (u + v) / 2; break;      // from the top right
    default: t = (u + 1 - v) / 2; across = (u + v) / 2; break;     // from the bottom left
    }
    if (l.teeth > 0)
        t = t * (1 - kToothDepth) + kToothDepth * Teeth(across, l.teeth);
    return t;
}

double Split(int variant, double u, double v)
{
    const double du = std::fabs(u - 0.5) * 2, dv = std::fabs(v - 0.5) * 2;
    const double d1 = std::fabs(u - v), d2 = std::fabs(u + v - 1);
    switch (variant & 7) {
    case 0: return std::min(du, dv);            // a cross opening from the middle
    case 1: return 1 - std::min(du, dv);        // closing to it
    case 2: return d1;                          // along the falling diagonal
    case 3: return 1 - d1;
    case 4: return d2;                          // along the rising diagonal
    case 5: return 1 - d2;
    case 6: return std::min(d1, d2) * 2;        // an X opening
    default: return 1 - std::min(d1, d2) * 2;   // an X closing
    }
}

// The start point of an iris in area fractions.
void IrisCentre(int centre, double& cx, double& cy)
{
    static constexpr double kX[9] = {0.5, 0, 1, 0, 1, 0.5, 0.5, 0, 1};
    static constexpr double kY[9] = {0.5, 0, 0, 1, 1, 0, 1, 0.5, 0.5};
    const int c = std::clamp(centre, 0, 8);
    cx = kX[c];
    cy = kY[c];
}

double Iris(const Look& l, const Spot& s)
{
    double cx = 0, cy = 0;
    IrisCentre(l.centre, cx, cy);
    const double reachX = std::max(cx, 1 - cx) * s.width, reachY = std::max(cy, 1 - cy) * s.height;
    const double ax = std::fabs(s.x - cx * s.width) / reachX, ay = std::fabs(s.y - cy * s.height) / reachY;
    double r = 0;
    switch (l.variant % 3) {
    case 0: r = std::max(ax, ay); break;                       // rectangle
    case 1: r = std::sqrt(ax * ax + ay * ay) / std::numbers::sqrt2; break;  // circle (an ellipse of the area's shape)
    default: r = (ax + ay) / 2; break;                         // diamond
    }
    const double t = std::max(1, l.count) > 1 ? Frac(std::min(r, 0.999999) * l.count) : r;
    return l.reverse ? 1 - t : t;
}

// atan2(y, x) in turns (-0.5 .. 0.5], to within 1e-5 of a turn (a polynomial; the reveal map
// holds 1/65536 steps).
double Turns(double y, double x)
{
    const double ax = std::fabs(x), ay = std::fabs(y);
    if (ax == 0 && ay == 0)
        return 0.0;
    const double a = std::min(ax, ay) / std::max(ax, ay), s = a * a;
    double r = ((-0.0464964749 * s + 0.15931422) * s - 0.327622764) * s * a + a;  // atan(a), a in [0, 1]
    if (ay > ax)
        r = std::numbers::pi / 2 - r;
    if (x < 0)
        r = std::numbers::pi - r;
    if (y < 0)
        r = -r;
    return r / (2 * std::numbers::pi);
}

double Clock(const Look& l, const Spot& s)
{
    const double dx = s.x - s.width / 2.0, dy = s.y - s.height / 2.0;
    // 0 at twelve o'clock, growing clockwise, in turns.
    double a = Turns(dx, -dy);
    // The start turns by quarters of one hand's sweep, so that starts differ with any count.
    a = Frac(a - (l.variant & 3) * 0.25 / std::max(1, l.count));
    if (l.variant & 4)
        a = Frac(1 - a);
    if (l.twist > 0) {
        const double nx = dx / (s.width / 2.0), ny = dy / (s.height / 2.0);
        const double r = std::sqrt(nx * nx + ny * ny) / std::numbers::sqrt2;
        a = Frac(a + r * 0.5 * l.twist / std::max(1, l.count));
    }
    return std::max(1, l.count) > 1 ? Frac(a * l.count) : a;
}

} // namespace

double LineReveal(const Look& l, const Spot& s)
{
    const double u = s.x / s.width, v = s.y / s.height;
    switch (l.family) {
    case Family::Wipe: return Wipe(l, u, v);
    case Family::BarnDoor: {
        const double d = (l.variant & 2) ? std::fabs(v - 0.5) * 2 : std::fabs(u - 0.5) * 2;
        return (l.variant & 1) ? 1 - d : d;
    }
    case Family::Split: return Split(l.variant, u, v);
    case Family::Blinds: {
        const double f = Frac(((l.variant & 1) ? u : v) * Slats(l.count, (l.variant & 1) ? s.width : s.height));
        return l.reverse ? 1 - f : f;
    }
    case Family::Stripes: {
        const int n = std::max(1, l.count);
        const int index = int(std::min((u + v) / 2 * n, n - 1.0));
        const double along = (u - v + 1) / 2;
        return ((index + l.variant) % 2 == 0) ? along : 1 - along;
    }
    case Family::Comb: {
        const bool columns = (l.variant & 1) != 0;
        const int n = Slats(l.count, columns ? s.width : s.height);
        const int index = int(std::min((columns ? u : v) * n, n - 1.0));
        const double along = columns ? v : u;
        return index % 2 == 0 ? along : 1 - along;
    }
    case Family::Iris: return Iris(l, s);
    case Family::Clock: return Clock(l, s);
    default: return 0.0;
    }
}

double LineSpan(const Look& l, std::int32_t width, std::int32_t height)
{
    const double w = width, h = height, n = std::max(1, l.count);
    switch (l.family) {
    case Family::Wipe: {
        const double along = (l.variant & 7) < 2 ? w : (l.variant & 7) < 4 ? h : (w + h) / 2;
        return along * (l.teeth > 0 ? 1 - kToothDepth : 1.0);
    }
    case Family::BarnDoor: return ((l.variant & 2) ? h : w) / 2;
    case Family::Split: return std::min(w, h) / 2;
    case Family::Blinds: return ((l.variant & 1) ? w : h) / Slats(l.count, (l.variant & 1) ? width : height);
    case Family::Stripes: return (w + h) / 2;
    case Family::Comb: return (l.variant & 1) ? h : w;
    case Family::Iris: {
        double cx = 0, cy = 0;
        IrisCentre(l.centre, cx, cy);
        return std::max(std::max(cx, 1 - cx) * w, std::max(cy, 1 - cy) * h) / n;
    }
    case Family::Clock: return 2 * std::numbers::pi * std::min(w, h) / 4 / n;
    default: return 0.0;
    }
}

} // namespace kvimg::efx
