#pragma once
// Kernel-private pieces of the numbered paint effects: what a number looks like (a family and
// its variant, EffectTable.cpp) and the reveal time of a pixel for each family
// (EffectLines.cpp for the fronts that sweep across the picture, EffectGrids.cpp for the
// families made of cells and random blocks).
#include <cstdint>

namespace kvimg::efx {

enum class Family : std::uint8_t {
    None,         // the plain paint
    Wipe,         // a straight (or toothed) front from one of 8 directions
    BarnDoor,     // two doors opening from the middle or closing to it
    Split,        // a cross or diagonal opening from the middle or closing to it
    Blinds,       // slats turning at once
    Stripes,      // diagonal stripes wiped in turns from opposite ends
    Comb,         // rows or columns wiped in turns from opposite sides
    Iris,         // a rectangle, circle or diamond growing from a point or shrinking to it
    Clock,        // a hand (or several) sweeping round the middle
    Checker,      // a checkerboard: one colour of cells, then the other
    RandomBlocks, // blocks of several grains in a random order
    Dissolve,     // grain blocks (pixels at grain 1) in a random order
    Rain,         // columns falling at random speeds
    Snake,        // cells row by row, turning at each end
    Spiral,       // cells round a rectangular spiral
};

// One look: a family and its variant. The fields a family does not use stay 0.
struct Look {
    Family family = Family::None;
    int variant = 0;     // direction, start, shape: the family's own meaning
    int count = 1;       // blinds, stripes, rows, rings, hands, cells across
    int teeth = 0;       // toothed front of a wipe
    int twist = 0;       // spiral arms of the clock
    int centre = 0;      // where an iris starts: 0 middle, 1..4 corners, 5..8 edge middles
    int scale = 1;       // block size in grains
    bool reverse = false;
    std::uint32_t seed = 0;
};

// The look of an effect number; Family::None for 1000 and for numbers outside the set.
Look LookOf(std::uint32_t effect, bool* valid = nullptr);
const char* FamilyName(Family family);

// Where a reveal time is asked: the area's size and grain, and the centre of the pixel (or
// grain block) in area coordinates.
struct Spot {
    double x = 0, y = 0;
    std::int32_t width = 1, height = 1, grain = 1;
};

// The reveal time in [0, 1] of a spot.
double RevealTime(const Look& look, const Spot& spot);
// How many pixels the front crosses while the reveal time runs from 0 to 1 (for the wand's
// width); 0 for families without a front (random orders), whose wand marks the next step.
double FrontSpan(const Look& look, std::int32_t width, std::int32_t height);

// The families' own parts.
double LineReveal(const Look& look, const Spot& s);
double LineSpan(const Look& look, std::int32_t width, std::int32_t height);
double GridReveal(const Look& look, const Spot& s);
double GridSpan(const Look& look, std::int32_t width, std::int32_t height);

// A value in [0, 1) from two cell coordinates and a seed.
double Hash01(std::uint32_t a, std::uint32_t b, std::uint32_t seed);

} // namespace kvimg::efx
