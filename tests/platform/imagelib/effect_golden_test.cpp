// One golden picture per effect family (half way through, on a small two-picture fixture,
// with a wand) and per gradient family, compared with a tolerance. KV_REGENERATE_GOLDEN=1
// writes the pictures anew into tests/data/golden/ of the source tree.
#include "platform/imagelib/imagelib.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr std::int32_t kW = 48, kH = 32;

std::string FileName(std::string family)
{
    for (char& c : family)
        if (c == ' ')
            c = '-';
    return family;
}

// A 24-bit bitmap of kW x kH with pixel (x, y) = f(x, y) as B, G, R.
template <class F>
LBitmap Make(F f)
{
    LBitmap b;
    L_CreateBitmap(&b, kW, kH, 24);
    std::uint8_t* bits = b.BeginWrite();
    for (std::int32_t y = 0; y < kH; ++y)
        for (std::int32_t x = 0; x < kW; ++x)
            f(x, y, b.WriteRow(bits, y) + 3 * x);
    return b;
}

LEfxSurface Surface(LBitmap& b)
{
    LEfxSurface s;
    L_EfxSurfaceOfBitmap(&b, &s);
    return s;
}

// The bitmap as a picture for the golden comparison (its rows are blue, green, red).
void CheckGolden(const std::string& name, const LBitmap& made)
{
    QImage picture(made.Width, made.Height, QImage::Format_BGR888);
    for (std::int32_t y = 0; y < made.Height; ++y)
        std::memcpy(picture.scanLine(y), made.Row(y), std::size_t(3 * made.Width));
    golden::Expect(picture, name);
}

} // namespace

TEST(EffectGolden, EachFamilyHalfWay)
{
    // The first number of each family.
    std::map<std::string, std::uint32_t> families;
    for (std::uint32_t n = 1001; n <= 16035; ++n)
        if (L_EfxIsEffectNumber(n))
            families.emplace(L_EfxEffectFamily(n), n);
    ASSERT_GE(families.size(), 14u);
    for (const auto& [family, effect] : families) {
        SCOPED_TRACE(family);
        LBitmap from = Make([](int x, int y, std::uint8_t* p) {
            p[0] = 200, p[1] = std::uint8_t(x * 5), p[2] = std::uint8_t(y * 7);
        });
        LBitmap to = Make([](int x, int y, std::uint8_t* p) {
            const bool stripe = (x / 4 + y / 4) % 2 == 0;
            p[0] = 40, p[1] = stripe ? 120 : 200, p[2] = 230;
        });
        LEfxEffectParams params;
        params.Effect = effect;
        params.Grain = 2;
        params.WandSize = 2;
        params.WandColor = LRgb(255, 255, 255);
        LEfxEffectPlan* plan = nullptr;
        ASSERT_EQ(L_EfxCreateEffectPlan(&params, kW, kH, &plan), LE_SUCCESS);
        LEfxSurface screen = Surface(from), picture = Surface(to);
        const LRect all{0, 0, kW, kH};
        ASSERT_EQ(L_EfxPaintEffectSteps(plan, &screen, &all, &picture, 0, 32, 64), LE_SUCCESS);
        L_EfxDestroyEffectPlan(plan);
        CheckGolden("effect-" + FileName(family), from);
        L_FreeBitmap(&from);
        L_FreeBitmap(&to);
    }
}

TEST(EffectGolden, EachGradientFamily)
{
    for (const std::uint32_t style : {1000u, 1003u, 2000u, 2003u, 3000u, 4001u, 5001u, 5005u}) {
        SCOPED_TRACE(style);
        LBitmap b = Make([](int, int, std::uint8_t* p) { p[0] = p[1] = p[2] = 0; });
        LEfxSurface s = Surface(b);
        const LRect all{0, 0, kW, kH};
        ASSERT_EQ(L_EfxGradientFillRect(&s, &all, style, LRgb(250, 200, 40), LRgb(20, 40, 160), 12), LE_SUCCESS);
        CheckGolden("gradient-" + std::to_string(style), b);
        L_FreeBitmap(&b);
    }
}
