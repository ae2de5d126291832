// The numbered paint effects: which look each number of the effect number set has. Every range
// maps onto one or more families; neighbouring numbers differ in family, direction or variant.
// docs/effects.md gives the same table in words.
#include "platform/imagelib/EffectInternal.h"
#include "platform/imagelib/lteffect.h"

#include <array>

namespace kvimg::efx {
namespace {

// The mixed range: a round of looks of every family, repeated with more blinds, rings,
// hands, teeth and another random order in each later round.
Look Mixed(std::uint32_t o)
{
    static const std::array<Look, 39> kRound = {{
        {Family::Wipe, 0},       {Family::Iris, 1},        {Family::Blinds, 0, 8},  {Family::BarnDoor, 0},
        {Family::Dissolve, 0},   {Family::Wipe, 2},        {Family::Clock, 0, 1},   {Family::Checker, 0, 8},
        {Family::Iris, 0},       {Family::Wipe, 1},        {Family::Spiral, 0, 8},  {Family::Stripes, 0, 6},
        {Family::BarnDoor, 2},   {Family::Wipe, 3},        {Family::RandomBlocks, 0, 1, 0, 0, 0, 4},
        {Family::Comb, 0, 10},   {Family::Iris, 2},        {Family::Wipe, 4},       {Family::Split, 0},
        {Family::Blinds, 1, 8},  {Family::Rain, 0},        {Family::Wipe, 5},       {Family::Snake, 0, 10},
        {Family::Iris, 1, 1, 0, 0, 0, 1, true},            {Family::Clock, 1, 1},   {Family::Wipe, 6},
        {Family::BarnDoor, 1},   {Family::Checker, 1, 8},  {Family::Iris, 0, 1, 0, 0, 0, 1, true},
        {Family::Wipe, 7},       {Family::Spiral, 1, 8},   {Family::Comb, 1, 10},   {Family::Split, 2},
        {Family::Iris, 2, 1, 0, 0, 0, 1, true},            {Family::Stripes, 1, 6}, {Family::BarnDoor, 3},
        {Family::Split, 1},      {Family::Snake, 5, 10},   {Family::Split, 3},
    }};
    Look l = kRound[o % kRound.size()];
    const int round = int(o / kRound.size());
    l.seed = std::uint32_t(round) * 7919u + 1u;
    switch (l.family) {
    case Family::Wipe: l.teeth = round; break;
    case Family::Iris: l.count = 1 + round % 5; l.centre = (round / 5) % 9; break;
    case Family::Clock: l.count = 1 + round; break;
    case Family::Blinds: case Family::Comb: case Family::Stripes: l.count += 2 * round; break;
    case Family::Checker: case Family::Spiral: case Family::Snake: l.count += round; break;
    case Family::RandomBlocks: l.scale = 2 + round % 8; break;
    case Family::Rain: l.scale = 1 + round % 6; l.variant = round % 4; break;
    default: break;
    }
    return l;
}

Look Barn(std::uint32_t o)
{
    // Doors opening and closing, then the two diagonal splits.
    return o < 4 ? Look{Family::BarnDoor, int(o)} : Look{Family::Split, int(o - 4) + 2};
}

Look BlindsRange(std::uint32_t o)
{
    Look l{Family::Blinds, int(o % 2), 4 + 2 * int(o / 4)};
    l.reverse = (o / 2) % 2 == 1;
    return l;
}

Look WipesRange(std::uint32_t o)
{
    Look l{Family::Wipe, int(o % 8)};
    l.teeth = int(o / 8);
    return l;
}

Look IrisRange(std::uint32_t o)
{
    Look l{Family::Iris, int(o % 3)};
    l.reverse = (o / 3) % 2 == 1;
    l.centre = int(o / 6) % 9;
    l.count = 1 + int(o / 54);
    return l;
}

Look ClockRange(std::uint32_t o)
{
    Look l{Family::Clock, int(o % 8)};  // start (o % 4) and direction
    l.count = 1 + int(o / 8) % 8;
    l.twist = int(o / 64);              // 0..4: straight hands, then spiral arms
    return l;
}

Look ScatterRange(std::uint32_t o)
{
    Look l{o % 2 == 0 ? Family::RandomBlocks : Family::Dissolve};
    l.scale = o % 2 == 0 ? 2 + int(o / 2) % 8 : 1 + int(o / 2) % 3;
    l.seed = o / 16 + 101u;
    return l;
}

Look SpiralPair(std::uint32_t o) { return Look{Family::Spiral, int(o), 8}; }

Look CheckerRange(std::uint32_t o) { return Look{Family::Checker, int(o % 2), o < 2 ? 8 : 16}; }

Look StripesRange(std::uint32_t o) { return Look{Family::Stripes, int(o % 2), 4 + 2 * int(o)}; }

Look CombRange(std::uint32_t o) { return Look{Family::Comb, int(o % 2), 6 + 4 * int(o / 2)}; }

Look SnakeRange(std::uint32_t o) { return Look{Family::Snake, int(o), 10}; }

Look SplitRange(std::uint32_t o) { return Look{Family::Split, int(o)}; }

Look RainRange(std::uint32_t o)
{
    Look l{Family::Rain, int(o % 4)};
    l.scale = 1 + int(o / 4);
    l.seed = o + 31u;
    return l;
}

Look SpiralRange(std::uint32_t o)
{
    // Inward and outward, clockwise and counter-clockwise, 4 to 20 cells across.
    return Look{Family::Spiral, int(o % 4), 4 + 2 * int(o / 4)};
}

Look Plain(std::uint32_t o)
{
    if (o == 0)
        return Look{};
    Look l{Family::Dissolve};
    l.seed = 1;
    return l;
}

struct Range {
    std::uint32_t first, last;
    Look (*look)(std::uint32_t offset);
};

constexpr Range kRanges[] = {
    {1000, 1001, Plain},          {2000, 2554, Mixed},         {3000, 3005, Barn},
    {4000, 4029, BlindsRange},    {5000, 5263, WipesRange},    {6000, 6525, IrisRange},
    {7000, 7263, ClockRange},     {8000, 8259, ScatterRange},  {9000, 9001, SpiralPair},
    {10000, 10003, CheckerRange}, {11000, 11006, StripesRange}, {12000, 12009, CombRange},
    {13000, 13007, SnakeRange},   {14000, 14007, SplitRange},  {15000, 15035, RainRange},
    {16000, 16035, SpiralRange},
};

} // namespace

Look LookOf(std::uint32_t effect, bool* valid)
{
    for (const Range& r : kRanges)
        if (effect >= r.first && effect <= r.last) {
            if (valid)
                *valid = true;
            return r.look(effect - r.first);
        }
    if (valid)
        *valid = false;
    return Look{};
}

const char* FamilyName(Family family)
{
    switch (family) {
    case Family::None: return "plain";
    case Family::Wipe: return "wipe";
    case Family::BarnDoor: return "barn doors";
    case Family::Split: return "split";
    case Family::Blinds: return "blinds";
    case Family::Stripes: return "diagonal stripes";
    case Family::Comb: return "comb";
    case Family::Iris: return "iris";
    case Family::Clock: return "clock";
    case Family::Checker: return "checkerboard";
    case Family::RandomBlocks: return "random blocks";
    case Family::Dissolve: return "dissolve";
    case Family::Rain: return "rain";
    case Family::Snake: return "snake";
    case Family::Spiral: return "spiral";
    }
    return "";
}

double RevealTime(const Look& look, const Spot& spot)
{
    switch (look.family) {
    case Family::None: return 0.0;
    case Family::Checker: case Family::RandomBlocks: case Family::Dissolve: case Family::Rain:
    case Family::Snake: case Family::Spiral:
        return GridReveal(look, spot);
    default: return LineReveal(look, spot);
    }
}

double FrontSpan(const Look& look, std::int32_t width, std::int32_t height)
{
    switch (look.family) {
    case Family::None: return 0.0;
    case Family::Checker: case Family::RandomBlocks: case Family::Dissolve: case Family::Rain:
    case Family::Snake: case Family::Spiral:
        return GridSpan(look, width, height);
    default: return LineSpan(look, width, height);
    }
}

double Hash01(std::uint32_t a, std::uint32_t b, std::uint32_t seed)
{
    std::uint64_t z = (std::uint64_t(a) << 32 | b) + std::uint64_t(seed) * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) * (1.0 / 9007199254740992.0);
}

} // namespace kvimg::efx

bool L_EfxIsEffectNumber(std::uint32_t effect)
{
    bool valid = false;
    kvimg::efx::LookOf(effect, &valid);
    return valid;
}

std::uint32_t L_EfxEffectSteps(std::uint32_t effect)
{
    return effect == LEFX_EFFECT_NONE ? 1u : LEFX_EFFECT_STEPS;
}

const char* L_EfxEffectFamily(std::uint32_t effect)
{
    bool valid = false;
    const kvimg::efx::Look look = kvimg::efx::LookOf(effect, &valid);
    return valid ? kvimg::efx::FamilyName(look.family) : "";
}
