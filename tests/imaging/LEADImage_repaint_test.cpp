// The picture control's repaint of an unchanged picture: it reuses the scaled copy and gives
// the pixels of the first paint again, whatever the paint settings (display adjustments, the
// transparent colour, an effect, region-only, a transparent control), replacing what was drawn
// on the back buffer meanwhile; and the plain copy paints what the kernel's plain effect paints.
#include "ImagingFixtures.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace imgtest;

namespace {

constexpr LColor kMagenta = LRgb(255, 0, 255);

// Stripes of four colours with a gradient, so that scaling mixes neighbours.
LColor Stripes(int x, int y)
{
    static constexpr LColor kColors[] = {kRed, kGreen, kBlue, kOrange};
    const LColor c = kColors[(x / 7) % 4];
    return LRgb(std::uint8_t(std::min(255, LRedOf(c) + y)), LGreenOf(c), LBlueOf(c));
}

// A 70 x 50 control showing the stripes fitted and centred.
void FitStripes(TLEADImage& image)
{
    image.resize(70, 50);
    image.setPaintSizeMode(TLEADImage::smFit);
    image.setCenterImage(true);
    LBitmap b = MakePicture(90, 60, Stripes);
    image.setBitmap(&b);
    L_FreeBitmap(&b);
}

bool HasColor(const QImage& image, LColor c)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ColorAt(image, x, y) == c)
                return true;
    return false;
}

} // namespace

TEST(LEADImageRepaint, ARepaintGivesThePixelsOfTheFirstPaintAgain)
{
    const struct {
        const char* name;
        std::function<void(TLEADImage&)> set;
    } cases[] = {
        {"plain", [](TLEADImage&) {}},
        {"display adjusted", [](TLEADImage& i) { i.setPaintIntensity(300); i.setPaintGamma(150); }},
        {"transparent colour",
         [](TLEADImage& i) {
             i.setUseTransparentColor(true);
             i.setTransparentColor(TColor(kGreen));
         }},
        {"an effect", [](TLEADImage& i) { i.setPaintEffect(2000); }},
        {"region only", [](TLEADImage& i) { i.SetRgnRect(10, 10, 40, 30, LRGN_SET); i.setPaintRgnOnly(true); }},
        {"transparent control", [](TLEADImage& i) { i.setTransparent(true); }},
        {"smooth enlarging",
         [](TLEADImage& i) {
             i.setPaintZoomFactor(250);
             i.setPaintScaling(TLEADImage::psResample);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        image.setBackColor(clWhite);
        FitStripes(image);
        c.set(image);
        image.Refresh();
        const QImage first = image.BackBuffer().copy();
        ASSERT_FALSE(first.isNull());
        EXPECT_FALSE(HasColor(first, kMagenta));

        // Drawing on the back buffer (over the picture, inside the region) shows until the
        // next paint.
        TCanvas* canvas = image.GetControlDC();
        ASSERT_NE(canvas, nullptr);
        canvas->Brush.Color = TColor(kMagenta);
        canvas->FillRect(Rect(20, 15, 30, 25));
        image.ReleaseControlDC();
        ASSERT_TRUE(HasColor(image.BackBuffer(), kMagenta));

        image.Refresh();
        EXPECT_TRUE(image.BackBuffer() == first);
        image.Refresh();
        EXPECT_TRUE(image.BackBuffer() == first);
    }
}

// With a transparent colour that the picture does not hold, the plain paint goes through the
// kernel's plain effect; without one it is a copy of the scaled picture: the two agree.
TEST(LEADImageRepaint, ThePlainCopyPaintsWhatTheKernelsPlainEffectPaints)
{
    for (const bool transparentControl : {false, true})
        for (const bool adjusted : {false, true}) {
            SCOPED_TRACE(testing::Message() << "transparent control " << transparentControl << ", adjusted "
                                            << adjusted);
            QImage painted[2];
            for (const bool kernel : {false, true}) {
                TLEADImage image;
                image.setTransparent(transparentControl);
                FitStripes(image);
                if (adjusted)
                    image.setPaintContrast(400);
                image.setUseTransparentColor(kernel);
                image.setTransparentColor(TColor(kMagenta));
                image.Refresh();
                painted[kernel] = image.BackBuffer().copy();
            }
            EXPECT_TRUE(painted[0] == painted[1]);
        }
}
