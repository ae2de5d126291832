// The numbered paint effects of the kernel: which numbers exist, the step contract (a step
// only adds "to" pixels, the last step is the new picture, the steps of one transition agree
// with a composition from scratch), the wand, the transparent colour, clipping, and a crash
// sweep of every number over odd sizes and grains.
#include "platform/imagelib/imagelib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// Every number of the effect number set.
std::vector<std::uint32_t> AllEffects()
{
    static const std::uint32_t kRanges[][2] = {
        {1000, 1001},   {2000, 2554},   {3000, 3005},   {4000, 4029},   {5000, 5263},   {6000, 6525},
        {7000, 7263},   {8000, 8259},   {9000, 9001},   {10000, 10003}, {11000, 11006}, {12000, 12009},
        {13000, 13007}, {14000, 14007}, {15000, 15035}, {16000, 16035}};
    std::vector<std::uint32_t> all;
    for (const auto& r : kRanges)
        for (std::uint32_t n = r[0]; n <= r[1]; ++n)
            all.push_back(n);
    return all;
}

// A B, G, R (or B, G, R, X) buffer with its surface.
struct Picture {
    std::int32_t w, h, bpp;
    std::vector<std::uint8_t> bits;
    Picture(std::int32_t width, std::int32_t height, LColor c, std::int32_t bytesPerPixel = 3)
        : w(width), h(height), bpp(bytesPerPixel), bits(std::size_t(width) * height * bytesPerPixel)
    {
        Fill(c);
    }
    void Fill(LColor c)
    {
        for (std::size_t i = 0; i < bits.size(); i += bpp) {
            bits[i] = LBlueOf(c);
            bits[i + 1] = LGreenOf(c);
            bits[i + 2] = LRedOf(c);
            if (bpp == 4)
                bits[i + 3] = 0xff;
        }
    }
    LEfxSurface Surface() { return LEfxSurface{bits.data(), w, h, w * bpp, bpp}; }
    LColor At(std::int32_t x, std::int32_t y) const
    {
        const std::uint8_t* p = bits.data() + (std::size_t(y) * w + x) * bpp;
        return LRgb(p[2], p[1], p[0]);
    }
    int Count(LColor c) const
    {
        int n = 0;
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                n += At(x, y) == c;
        return n;
    }
};

struct PlanDeleter {
    void operator()(LEfxEffectPlan* p) const { L_EfxDestroyEffectPlan(p); }
};
using Plan = std::unique_ptr<LEfxEffectPlan, PlanDeleter>;

Plan MakePlan(const LEfxEffectParams& p, std::int32_t w, std::int32_t h)
{
    LEfxEffectPlan* plan = nullptr;
    EXPECT_EQ(L_EfxCreateEffectPlan(&p, w, h, &plan), LE_SUCCESS) << p.Effect;
    return Plan(plan);
}

constexpr LColor kFrom = LRgb(10, 20, 30), kTo = LRgb(200, 150, 100), kWand = LRgb(255, 0, 255);

} // namespace

TEST(EffectNumbers, TheSetAndItsEdges)
{
    for (std::uint32_t n : {1000u, 1001u, 2000u, 2554u, 3005u, 4029u, 5263u, 6525u, 7263u, 8259u, 9001u, 10003u,
                            11006u, 12009u, 13007u, 14007u, 15035u, 16035u})
        EXPECT_TRUE(L_EfxIsEffectNumber(n)) << n;
    for (std::uint32_t n : {0u, 999u, 1002u, 1999u, 2555u, 3006u, 9002u, 16036u, 17000u, 0xffffffffu})
        EXPECT_FALSE(L_EfxIsEffectNumber(n)) << n;
    EXPECT_EQ(L_EfxEffectSteps(1000), 1u);
    EXPECT_EQ(L_EfxEffectSteps(2000), LEFX_EFFECT_STEPS);
    EXPECT_STREQ(L_EfxEffectFamily(1000), "plain");
    EXPECT_STREQ(L_EfxEffectFamily(17000), "");

    LEfxEffectPlan* plan = nullptr;
    LEfxEffectParams p;
    p.Effect = 1002;
    EXPECT_EQ(L_EfxCreateEffectPlan(&p, 8, 8, &plan), LE_INVALID_PARAMETER);
    p.Effect = 2000;
    for (std::uint32_t grain : {0u, 257u}) {
        p.Grain = grain;
        EXPECT_EQ(L_EfxCreateEffectPlan(&p, 8, 8, &plan), LE_INVALID_PARAMETER) << grain;
    }
    p.Grain = 5;
    EXPECT_EQ(L_EfxCreateEffectPlan(&p, 0, 8, &plan), LE_INVALID_PARAMETER);
    EXPECT_EQ(plan, nullptr);
}

// For every number: each step only adds pixels of the new picture, half way shows both
// pictures, the last step is the new picture alone, and stepping agrees with composing.
TEST(EffectSweep, EveryNumberRevealsStepByStepAndEndsOnTheNewPicture)
{
    constexpr std::int32_t w = 64, h = 48;
    for (const std::uint32_t effect : AllEffects()) {
        SCOPED_TRACE(effect);
        LEfxEffectParams p;
        p.Effect = effect;
        p.Grain = 2;
        const Plan plan = MakePlan(p, w, h);
        ASSERT_TRUE(plan);
        const std::uint32_t steps = L_EfxEffectSteps(effect);
        Picture screen(w, h, kFrom, 4), to(w, h, kTo), composed(w, h, 0, 4), from(w, h, kFrom);
        LEfxSurface s = screen.Surface(), t = to.Surface(), c = composed.Surface(), f = from.Surface();
        const LRect r{0, 0, w, h};
        int revealed = 0;
        for (std::uint32_t k = 1; k <= steps; ++k) {
            ASSERT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &r, &t, k - 1, k, steps), LE_SUCCESS);
            if (k % 16 != 0 && k != steps)
                continue;
            const int now = screen.Count(kTo);
            ASSERT_GE(now, revealed) << "step " << k;
            ASSERT_EQ(now + screen.Count(kFrom), w * h) << "step " << k;
            revealed = now;
            if (k == steps / 2 && steps > 1) {
                EXPECT_GT(now, 0);
                EXPECT_LT(now, w * h);
            }
            ASSERT_EQ(L_EfxComposeEffectStep(plan.get(), &c, &f, &t, k, steps), LE_SUCCESS);
            ASSERT_EQ(composed.bits, screen.bits) << "step " << k;
        }
        EXPECT_EQ(revealed, w * h);
    }
}

TEST(EffectSweep, NeighbouringNumbersLookDifferent)
{
    constexpr std::int32_t w = 64, h = 48;
    const std::vector<std::uint32_t> all = AllEffects();
    std::vector<std::uint32_t> previousSteps;
    std::uint32_t previous = 0;
    for (const std::uint32_t effect : all) {
        LEfxEffectParams p;
        p.Effect = effect;
        p.Grain = 1;
        const Plan plan = MakePlan(p, w, h);
        ASSERT_TRUE(plan);
        // The step at which each pixel shows the new picture; neighbours differ in at least a
        // tenth of the pixels.
        std::vector<std::uint32_t> steps;
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                steps.push_back(L_EfxEffectRevealAt(plan.get(), x, y) / 1024);
        if (previous + 1 == effect) {
            int differ = 0;
            for (std::size_t i = 0; i < steps.size(); ++i)
                differ += steps[i] != previousSteps[i];
            EXPECT_GT(differ, w * h / 10) << previous << " and " << effect;
        }
        previousSteps = std::move(steps);
        previous = effect;
    }
}

TEST(EffectPaint, TheWandRunsInFrontOfAWipe)
{
    // Effect 5000 wipes from the left; at grain 1 on 64 columns each step reveals one column.
    constexpr std::int32_t w = 64, h = 3;
    LEfxEffectParams p;
    p.Effect = 5000;
    p.Grain = 1;
    p.WandSize = 3;
    p.WandColor = kWand;
    const Plan plan = MakePlan(p, w, h);
    Picture screen(w, h, kFrom), to(w, h, kTo);
    LEfxSurface s = screen.Surface(), t = to.Surface();
    const LRect r{0, 0, w, h};
    for (std::uint32_t k = 1; k <= 32; ++k)
        ASSERT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &r, &t, k - 1, k, 64), LE_SUCCESS);
    for (std::int32_t x = 0; x < w; ++x) {
        const LColor want = x < 32 ? kTo : x < 35 ? kWand : kFrom;
        ASSERT_EQ(screen.At(x, 1), want) << x;
    }
    // Jumping to the end removes the wand.
    ASSERT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &r, &t, 32, 64, 64), LE_SUCCESS);
    EXPECT_EQ(screen.Count(kTo), w * h);
}

TEST(EffectPaint, TransparentPixelsOfTheNewPictureAreLeftOut)
{
    constexpr std::int32_t w = 9, h = 7;
    Picture screen(w, h, kFrom), to(w, h, kTo);
    const LColor key = LRgb(0, 255, 0);
    for (std::int32_t x = 0; x < w; ++x)
        std::memcpy(to.bits.data() + std::size_t(3 * w + x) * 3, "\x00\xff\x00", 3);  // row 3 in the key colour
    for (const std::uint32_t effect : {1000u, 2000u, 8001u}) {
        SCOPED_TRACE(effect);
        screen.Fill(kFrom);
        LEfxEffectParams p;
        p.Effect = effect;
        p.Grain = 1;
        p.UseTransparentColor = true;
        p.TransparentColor = key;
        const Plan plan = MakePlan(p, w, h);
        LEfxSurface s = screen.Surface(), t = to.Surface();
        const LRect r{0, 0, w, h};
        const std::uint32_t steps = L_EfxEffectSteps(effect);
        ASSERT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &r, &t, 0, steps, steps), LE_SUCCESS);
        EXPECT_EQ(screen.Count(kTo), w * (h - 1));
        EXPECT_EQ(screen.Count(kFrom), w);
        EXPECT_EQ(screen.Count(key), 0);
    }
}

TEST(EffectPaint, AnAreaPartlyOffTheSurfaceIsClipped)
{
    Picture screen(10, 10, kFrom, 4), to(8, 8, kTo);
    LEfxEffectParams p;
    p.Effect = 6000;
    p.Grain = 1;
    const Plan plan = MakePlan(p, 8, 8);
    LEfxSurface s = screen.Surface(), t = to.Surface();
    const LRect r{-3, 5, 5, 13};
    ASSERT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &r, &t, 0, 64, 64), LE_SUCCESS);
    EXPECT_EQ(screen.Count(kTo), 5 * 5);
    EXPECT_EQ(screen.At(4, 9), kTo);
    EXPECT_EQ(screen.At(5, 9), kFrom);
    EXPECT_EQ(screen.At(0, 4), kFrom);
    // Arguments that do not fit the plan.
    const LRect wrong{0, 0, 7, 8};
    EXPECT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &wrong, &t, 0, 1, 64), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &r, &t, 2, 1, 64), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &r, &t, 0, 65, 64), LE_INVALID_PARAMETER);
}

// Runs under the sanitizers of the test build: every effect and gradient number over sizes
// that stress the block arithmetic.
TEST(EffectSweep, NoNumberFailsOnOddSizes)
{
    const std::int32_t sizes[][2] = {{1, 1}, {1, 37}, {37, 1}, {3, 5}, {17, 13}};
    for (const std::uint32_t effect : AllEffects())
        for (const auto& sz : sizes)
            for (const std::uint32_t grain : {1u, 7u, 256u}) {
                LEfxEffectParams p;
                p.Effect = effect;
                p.Grain = grain;
                p.WandSize = 2;
                p.WandColor = kWand;
                const Plan plan = MakePlan(p, sz[0], sz[1]);
                ASSERT_TRUE(plan) << effect;
                Picture screen(sz[0], sz[1], kFrom, 4), to(sz[0], sz[1], kTo);
                LEfxSurface s = screen.Surface(), t = to.Surface();
                const LRect r{0, 0, sz[0], sz[1]};
                ASSERT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &r, &t, 0, 1, 64), LE_SUCCESS);
                ASSERT_EQ(L_EfxPaintEffectSteps(plan.get(), &s, &r, &t, 1, 64, 64), LE_SUCCESS);
                ASSERT_EQ(screen.Count(kTo), sz[0] * sz[1]) << effect << " grain " << grain;
            }
    for (std::uint32_t style = 1000; style <= 5007; ++style) {
        if (!L_EfxIsGradientStyle(style))
            continue;
        for (const auto& sz : sizes) {
            Picture screen(sz[0], sz[1], kFrom, 3);
            LEfxSurface s = screen.Surface();
            const LRect r{0, 0, sz[0], sz[1]};
            ASSERT_EQ(L_EfxGradientFillRect(&s, &r, style, kFrom, kTo, 2), LE_SUCCESS) << style;
        }
    }
}

TEST(EffectPaint, PatternFills)
{
    Picture screen(16, 16, kFrom);
    LEfxSurface s = screen.Surface();
    const LRect r{0, 0, 16, 16};
    ASSERT_EQ(L_EfxPatternFillRect(&s, &r, 1, kTo, kWand), LE_SUCCESS);  // transparent: nothing
    EXPECT_EQ(screen.Count(kFrom), 256);
    ASSERT_EQ(L_EfxPatternFillRect(&s, &r, 99, kTo, kWand), LE_SUCCESS);  // out of range: solid
    EXPECT_EQ(screen.Count(kWand), 256);
    ASSERT_EQ(L_EfxPatternFillRect(&s, &r, 6, kTo, kWand), LE_SUCCESS);  // cross: every 8th row and column
    EXPECT_EQ(screen.Count(kWand), 2 * 16 + 2 * 16 - 4);
    EXPECT_EQ(screen.Count(kTo), 256 - (2 * 16 + 2 * 16 - 4));
}

TEST(EffectPlan, ALargeMapIsFilledInEveryRow)
{
    // A map this large is made in bands on several threads: every band must be there.
    constexpr std::int32_t w = 1024, h = 768;
    LEfxEffectParams p;
    p.Effect = 5000;  // from the left
    p.Grain = 1;
    const Plan plan = MakePlan(p, w, h);
    ASSERT_TRUE(plan);
    for (std::int32_t y = 0; y < h; y += 7)
        for (std::int32_t x : {0, 1, 511, 1023})
            ASSERT_EQ(L_EfxEffectRevealAt(plan.get(), x, y), std::uint32_t((2 * x + 1) * 32)) << x << "," << y;
}
