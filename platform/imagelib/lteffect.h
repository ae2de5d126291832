#pragma once
// The imaging kernel: numbered paint effects. An effect paints a new picture ("to") over what
// a surface shows ("from"), step by step: every pixel has a reveal time t in [0, 1), the same
// for all pixels of one grain block, and step k of N shows "to" where t < k / N. A wand of
// WandSize pixels in WandColor runs in front of the revealed part. Step N shows "to" alone.
//
// Use: make a plan once per transition (it holds the reveal map for the effect, the size and
// the grain), then paint the steps. A plan is immutable: several threads may paint with one.
// Plain C++, no Qt. Surfaces are those of ltefx.h (B, G, R or B, G, R, X pixels).
//
//   LEfxEffectPlan* plan = nullptr;
//   LEfxEffectParams p;  p.Effect = 2003;  p.Grain = 5;
//   L_EfxCreateEffectPlan(&p, width, height, &plan);
//   for (std::uint32_t k = 1; k <= LEFX_EFFECT_STEPS; ++k)
//       L_EfxPaintEffectSteps(plan, &screen, &rect, &to, k - 1, k, LEFX_EFFECT_STEPS);
//   L_EfxDestroyEffectPlan(plan);
#include "platform/imagelib/ltefx.h"

#include <cstdint>

// The number of steps a transition is painted in (the picture control reports one progress
// event per step).
inline constexpr std::uint32_t LEFX_EFFECT_STEPS = 64;

// The plain paint: no effect, the picture at once in one step.
inline constexpr std::uint32_t LEFX_EFFECT_NONE = 1000;

// The effect number set: 1000-1001, 2000-2554, 3000-3005, 4000-4029, 5000-5263, 6000-6525,
// 7000-7263, 8000-8259, 9000-9001, 10000-10003, 11000-11006, 12000-12009, 13000-13007,
// 14000-14007, 15000-15035, 16000-16035. docs/effects.md tables what each number looks like.
bool L_EfxIsEffectNumber(std::uint32_t effect);

// The number of steps an effect is painted in: 1 for LEFX_EFFECT_NONE, else
// LEFX_EFFECT_STEPS.
std::uint32_t L_EfxEffectSteps(std::uint32_t effect);

// The family name of an effect number ("wipe", "blinds", ...), or "" for a number outside
// the set. For tables and tests.
const char* L_EfxEffectFamily(std::uint32_t effect);

struct LEfxEffectParams {
    std::uint32_t Effect = LEFX_EFFECT_NONE;
    std::uint32_t Grain = 5;            // block size of the reveal, 1..256 pixels
    LColor WandColor = 0;
    std::uint32_t WandSize = 0;         // pixels; 0 draws no wand
    bool UseTransparentColor = false;   // pixels of "to" in TransparentColor are left out
    LColor TransparentColor = 0;
};

struct LEfxEffectPlan; // opaque

// A plan for painting params->Effect over a width x height area. Numbers outside the set, a
// grain outside 1..256 or a size below 1 give LE_INVALID_PARAMETER; LE_NO_MEMORY when the
// map does not fit.
int L_EfxCreateEffectPlan(const LEfxEffectParams* params, std::int32_t width, std::int32_t height,
                          LEfxEffectPlan** plan);
int L_EfxDestroyEffectPlan(LEfxEffectPlan* plan);

// Advances the picture on surface from step fromStep to step `step` of `steps`: rect (the
// plan's size; clipped to the surface) shows step fromStep before the call (0: it shows the
// "from" picture) and step `step` after it. Only the pixels that change are written, so a
// whole transition costs about one copy of the picture. `to` is the new picture at the plan's
// size. fromStep <= step <= steps, steps >= 1; else LE_INVALID_PARAMETER.
int L_EfxPaintEffectSteps(const LEfxEffectPlan* plan, LEfxSurface* surface, const LRect* rect, const LEfxSurface* to,
                          std::uint32_t fromStep, std::uint32_t step, std::uint32_t steps);

// Composes step `step` of `steps` into out (the plan's size) from the two pictures, without
// a state between calls: out := from, then the steps 0 .. step. out must not share pixels
// with from or to.
int L_EfxComposeEffectStep(const LEfxEffectPlan* plan, LEfxSurface* out, const LEfxSurface* from,
                           const LEfxSurface* to, std::uint32_t step, std::uint32_t steps);

// The reveal time of pixel (x, y) of the plan's area as a fraction of 65536 (0 .. 65535).
// For tests and benchmarks.
std::uint32_t L_EfxEffectRevealAt(const LEfxEffectPlan* plan, std::int32_t x, std::int32_t y);

// ---- patterns ------------------------------------------------------------------------------
// Fills rect with pattern style 0..7 (anything else counts as 0): 0 solid in foreColor,
// 1 transparent (nothing is painted), 2..7 lines in foreColor over backColor (horizontal,
// vertical, downward diagonal, upward diagonal, cross, diagonal cross, every 8 pixels).
int L_EfxPatternFillRect(LEfxSurface* surface, const LRect* rect, std::int32_t pattern, LColor backColor,
                         LColor foreColor);
