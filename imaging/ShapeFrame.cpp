#include "imaging/ShapeFrame.h"

#include "imaging/LEADImage.h"

ThumbnailFrame ShapeFrameOf(const TLEADImage& image)
{
    const auto rgb = [](TColor c) { return std::uint32_t(ColorToRGB(c)); };
    ThumbnailFrame f;
    f.borderColor = rgb(image.ShapeBorderColor());
    f.borderStyle = image.ShapeBorderStyle();
    f.borderThickness = image.ShapeBorderThickness();
    f.innerStyle = image.ShapeInnerBandStyle();
    f.innerThickness = image.ShapeInnerBandThickness();
    f.innerHiliteColor = rgb(image.ShapeInnerBandHiliteColor());
    f.innerShadowColor = rgb(image.ShapeInnerBandShadowColor());
    f.outerStyle = image.ShapeOuterBandStyle();
    f.outerThickness = image.ShapeOuterBandThickness();
    f.outerHiliteColor = rgb(image.ShapeOuterBandHiliteColor());
    f.outerShadowColor = rgb(image.ShapeOuterBandShadowColor());
    f.shadowColor = rgb(image.ShadowColor());
    f.shadowXDepth = image.ShadowXDepth();
    f.shadowYDepth = image.ShadowYDepth();
    f.patternStyle = int(image.PatternStyle());
    f.patternBackColor = rgb(image.PatternBackColor());
    f.patternForeColor = rgb(image.PatternForeColor());
    f.backgroundStyle = image.ShapeBackgroundStyle();
    return f;
}
