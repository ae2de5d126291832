// The picture control's object model: construction, the Bitmap and BitmapList writes, the
// bitmap context, the published properties and their checks.
#include "ImagingFixtures.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QVariant>
#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace imgtest;

namespace {

// A control holding the pages of the given colours, current page index.
void Fill(TLEADImage& image, std::initializer_list<LColor> colors, int index = 0)
{
    LBitmapList* list = MakeList(colors);
    image.setBitmapList(list);
    L_DestroyBitmapList(list);
    if (index != 0)
        image.setBitmapListIndex(index);
}

// ---- construction ------------------------------------------------------------------------

TEST(LEADImageModel, NewControlIsEmptyWithTheDocumentedDefaults)
{
    TLEADImage image;
    EXPECT_FALSE(image.Allocated());
    EXPECT_EQ(image.BitmapList(), nullptr);
    EXPECT_EQ(image.Bitmap(), nullptr);
    EXPECT_EQ(image.LastError(), 1);
    EXPECT_EQ(image.StateFlags(), 0);
    EXPECT_FALSE(image.Busy());
    EXPECT_EQ(image.width(), 150);
    EXPECT_EQ(image.height(), 150);

    const struct {
        const char* name;
        QVariant value;
    } defaults[] = {
        {"RefBitmap", false},
        {"EnableMethodErrors", true},
        {"EnableProgressEvent", false},
        {"DropAutoLoad", true},
        {"DropFilesAllowed", false},
        {"ReadOnly", false},
        {"DataLoadBits", 24},
        {"DataSaveBits", 24},
        {"DataSaveFormat", 5},
        {"DataSaveQuality", -1},
        {"PDFXResolution", 96},
        {"PDFYResolution", 96},
        {"PDFDisplayDepth", 24},
        {"PDFTextAlpha", 4},
        {"PDFGraphicsAlpha", 1},
        {"PDFUseLibFonts", true},
        {"RasterizeViewportWidth", 640},
        {"RasterizeViewportHeight", 480},
        {"RasterizeViewMode", 1},
        {"PaintZoomFactor", 100},
        {"PaintGamma", 100},
        {"PaintContrast", 0},
        {"PaintIntensity", 0},
        {"BackColor", -16777201},
        {"BackErase", false},
        {"AutoRepaint", true},
        {"AutoScroll", true},
        {"AutoSetRects", true},
        {"AutoSize", false},
        {"HScrollStep", 10},
        {"VScrollStep", 10},
        {"EnableScroll", true},
        {"EnableKeyboard", true},
        {"PanWinWidth", 150},
        {"PanWinHeight", 150},
        {"PanWinTitle", QStringLiteral("Pan Window")},
        {"PanWinRectColor", 255},
        {"PanWinSysMenu", true},
        {"AutoFloater", true},
        {"EnableFloater", false},
        {"PaintEffect", 1000},
        {"TransitionEffect", 1000},
        {"EffectGrain", 5},
        {"PaintMaxPasses", 1},
        {"GradientStyle", 1000},
        {"GradientSteps", 16},
        {"GradientStartColor", 16711680},
        {"GradientEndColor", 0},
        {"FrameInnerHiliteColor", 16777215},
        {"FrameOuterHiliteColor", 16777215},
        {"FrameInnerShadowColor", 8421504},
        {"FrameOuterShadowColor", 8421504},
        {"DrawPenWidth", 1},
        {"DrawFillStyle", int(bsClear)},
        {"DrawMode", int(pmCopy)},
        {"AutoAnimate", false},
        {"AutoAnimationLoop", 0},
        {"Visible", true},
        {"Enabled", true},
    };
    for (const auto& d : defaults) {
        const QVariant v = image.property(d.name);
        ASSERT_TRUE(v.isValid()) << d.name;
        EXPECT_EQ(S(v.toString()), S(d.value.toString())) << d.name;
    }
    const struct {
        const char* name;
        int value;
    } enums[] = {{"PaintSizeMode", 0},      {"PaintDither", 0},        {"PaintPalette", 0},
                 {"BitonalScaling", 0},     {"TransitionStyle", 0},    {"PatternStyle", 0},
                 {"FrameInnerStyle", 0},    {"FrameOuterStyle", 0},    {"PanWinPaintScaling", 1},
                 {"MagGlassPaintScaling", 1}, {"PanWinPaintPalette", 0}, {"MagGlassPaintDither", 0}};
    for (const auto& e : enums)
        EXPECT_EQ(image.property(e.name).toInt(), e.value) << e.name;
}

TEST(LEADImageModel, EnumeratedTypesKeepTheirOrdinalOrder)
{
    const struct {
        const char* type;
        const char* keys;
    } cases[] = {
        {"TPaintSizeMode", "smNormal smStretch smFitSides smFit smZoom"},
        {"TPaintDither", "pdOrdered pdDiffusion"},
        {"TPaletteType", "ppAuto ppFixed ppAutoNetscape ppFixedNetscape"},
        {"TPaintScaling", "psNormal psResample psBicubic"},
        {"TBitonalScaling", "btsNormal btsFavorBlack btsScaleToGray"},
        {"TFrameInnerStyle", "fisInset fisRaised"},
        {"TFrameOuterStyle", "fosInset fosRaised"},
        {"TTransitionStyle", "etsNone etsGradient etsPattern"},
        {"TPatternStyle",
         "epsSolid epsTransparent epsHorzLine epsVertLine epsDownwarDiag epsUpwardDiag epsCross epsDiagCross"},
    };
    const QMetaObject& mo = TLEADImage::staticMetaObject;
    for (const auto& c : cases) {
        const int i = mo.indexOfEnumerator(c.type);
        ASSERT_GE(i, 0) << c.type;
        const QMetaEnum e = mo.enumerator(i);
        QStringList keys;
        for (int k = 0; k < e.keyCount(); ++k) {
            EXPECT_EQ(e.value(k), k) << c.type << " " << e.key(k);
            keys << QString::fromLatin1(e.key(k));
        }
        EXPECT_EQ(S(keys.join(' ')), c.keys);
    }
}

TEST(LEADImageModel, EveryPublishedPropertyIsWritableAndReadsBackWhatWasWritten)
{
    // Each property of the control's own meta-object, written with a value it accepts, reads
    // back that value: reader and writer are wired to the same field.
    TLEADImage image;
    const QMetaObject& mo = TLEADImage::staticMetaObject;
    for (int i = mo.propertyOffset(); i < mo.propertyCount(); ++i) {
        const QMetaProperty p = mo.property(i);
        SCOPED_TRACE(p.name());
        ASSERT_TRUE(p.isWritable());
        ASSERT_TRUE(p.isReadable());
        QVariant value;
        const QString name = QString::fromLatin1(p.name());
        if (p.isEnumType())
            value = p.enumerator().value(p.enumerator().keyCount() - 1);
        else if (p.metaType().id() == QMetaType::Bool)
            value = !p.read(&image).toBool();
        else if (p.metaType().id() == QMetaType::Int)
            value = name == "PaintEffect" || name == "TransitionEffect" ? 2001
                    : name == "GradientStyle"                           ? 2003
                    : name == "PDFDisplayDepth"                         ? 8
                    : name.endsWith("Alpha")                            ? 2
                    : name == "RasterizeViewMode"                       ? 3
                                                                        : 7;
        else if (p.metaType().id() == QMetaType::QString)
            value = name == "BitmapDataPath" ? QString() : QStringLiteral("text");  // an address would download
        else
            continue;  // fonts, icons, object links
        if (name == "EnableFloater")
            image.setAutoFloater(true);  // lifting is switched only while AutoFloater is on
        ASSERT_TRUE(p.write(&image, value));
        if (p.isEnumType())
            EXPECT_EQ(p.read(&image).toInt(), value.toInt());
        else
            EXPECT_EQ(S(p.read(&image).toString()), S(value.toString()));
    }
}

// ---- the Bitmap write ----------------------------------------------------------------------

TEST(LEADImageModel, BitmapWriteOnAOnePageControl)
{
    TLEADImage image;
    int changes = 0;
    image.OnChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &image);
        ++changes;
    };

    LBitmap red = MakeBitmap(8, 6, kRed);
    image.setBitmap(&red);
    EXPECT_TRUE(image.Allocated());
    EXPECT_EQ(image.BitmapListCount(), 1);
    EXPECT_EQ(image.BitmapListIndex(), 0);
    EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), kRed);
    EXPECT_TRUE(red.IsAllocated()) << "without RefBitmap the source stays the caller's";
    EXPECT_EQ(changes, 1);

    LBitmap green = MakeBitmap(4, 3, kGreen);
    image.setBitmap(&green);
    EXPECT_EQ(PageColors(image), std::vector<LColor>{kGreen});
    EXPECT_EQ(image.BitmapWidth(), 4);
    EXPECT_EQ(changes, 2);

    // An empty handle removes the page: the control becomes empty and the list goes.
    image.setBitmap(nullptr);
    EXPECT_FALSE(image.Allocated());
    EXPECT_EQ(image.BitmapList(), nullptr);
    EXPECT_EQ(image.Bitmap(), nullptr);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(image.LastError(), 1);
    L_FreeBitmap(&red);
    L_FreeBitmap(&green);
}

TEST(LEADImageModel, BitmapWriteOnAThreePageControlReplacesTheCurrentPage)
{
    const struct {
        int index;
        bool empty;  // write an empty handle
        std::vector<LColor> pages;
        int indexAfter;
        LColor current;
    } cases[] = {
        {0, false, {kWhite, kGreen, kBlue}, 0, kWhite},
        {1, false, {kRed, kWhite, kBlue}, 1, kWhite},
        // The last page: the new page is appended and becomes the current one.
        {2, false, {kRed, kGreen, kWhite}, 2, kWhite},
        {0, true, {kGreen, kBlue}, 0, kGreen},
        {1, true, {kRed, kBlue}, 1, kBlue},
        {2, true, {kRed, kGreen}, 1, kGreen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.index << (c.empty ? " empty" : ""));
        TLEADImage image;
        Fill(image, {kRed, kGreen, kBlue}, c.index);
        LBitmap white = MakeBitmap(8, 6, kWhite);
        image.setBitmap(c.empty ? nullptr : &white);
        EXPECT_EQ(PageColors(image), c.pages);
        EXPECT_EQ(image.BitmapListIndex(), c.indexAfter);
        ASSERT_TRUE(image.Allocated());
        EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), c.current);
        L_FreeBitmap(&white);
    }
}

TEST(LEADImageModel, ASecondWriteAfterReplacingTheLastPageReplacesThatPageAgain)
{
    // The index ends on the page just written, so the next write (or any store into the list)
    // does not overwrite the page before it.
    TLEADImage image;
    Fill(image, {kRed, kGreen, kBlue}, 2);
    LBitmap white = MakeBitmap(8, 6, kWhite);
    LBitmap grey = MakeBitmap(8, 6, kGrey);
    image.setBitmap(&white);
    image.setBitmap(&grey);
    EXPECT_EQ(PageColors(image), (std::vector<LColor>{kRed, kGreen, kGrey}));
    EXPECT_EQ(image.BitmapListIndex(), 2);
    L_FreeBitmap(&white);
    L_FreeBitmap(&grey);
}

TEST(LEADImageModel, RefBitmapTakesTheHandleOverWhileACopyLeavesTheSourceAlone)
{
    for (bool ref : {true, false}) {
        SCOPED_TRACE(ref ? "RefBitmap" : "copy");
        TLEADImage image;
        image.setRefBitmap(ref);
        LBitmap source = MakeBitmap(8, 6, kRed);
        const LBitmap kept = source;  // another handle on the same pixels
        image.setBitmap(&source);
        ASSERT_TRUE(image.Allocated());
        if (ref) {
            EXPECT_FALSE(source.IsAllocated());
            EXPECT_EQ(source.Width, 0);
            EXPECT_EQ(source.Height, 0);
            EXPECT_EQ(source.BitsPerPixel, 0);
            EXPECT_EQ(source.Flags, 0u);
            EXPECT_TRUE(image.Bitmap()->SharesPixelsWith(kept)) << "no pixel copy";
        } else {
            ASSERT_TRUE(source.IsAllocated());
            // Changing the source afterwards leaves the control's picture as it was.
            LeadFillBitmap(source, kBlue);
            EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), kRed);
            EXPECT_EQ(PixelOf(source, 1, 1), kBlue);
        }
        L_FreeBitmap(&source);
    }
}

TEST(LEADImageModel, WritingTheControlsOwnBitmapOrListBackKeepsThePicture)
{
    TLEADImage image;
    Fill(image, {kRed, kGreen});
    image.setBitmap(image.Bitmap());
    EXPECT_EQ(PageColors(image), (std::vector<LColor>{kRed, kGreen}));
    image.setBitmapList(image.BitmapList());
    EXPECT_EQ(PageColors(image), (std::vector<LColor>{kRed, kGreen}));
    EXPECT_TRUE(image.Allocated());
}

TEST(LEADImageModel, BitmapListWriteCopiesEveryPageAndNullEmpties)
{
    TLEADImage image;
    int changes = 0;
    image.OnChange = [&](QObject*) { ++changes; };
    LBitmapList* list = MakeList({kRed, kGreen, kBlue});
    image.setBitmapList(list);
    L_DeleteBitmapListItems(list, 0, -1);  // the control keeps its own copy
    L_DestroyBitmapList(list);
    EXPECT_EQ(image.BitmapListCount(), 3);
    EXPECT_EQ(PageColors(image), (std::vector<LColor>{kRed, kGreen, kBlue}));
    EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), kRed);
    EXPECT_EQ(image.CanvasWidth(), 8);
    EXPECT_EQ(changes, 1);

    image.setBitmapListIndex(2);
    EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), kBlue);

    image.setBitmapList(nullptr);
    EXPECT_FALSE(image.Allocated());
    EXPECT_EQ(image.BitmapList(), nullptr);
    EXPECT_EQ(changes, 3);
}

TEST(LEADImageModel, BitmapListCountWithoutAListRaisesWhateverEnableMethodErrorsSays)
{
    for (bool methodErrors : {true, false}) {
        TLEADImage image;
        image.setObjectName("LEADImage1");
        image.setEnableMethodErrors(methodErrors);
        EXPECT_EQ(RaisedMessage([&] { image.BitmapListCount(); }),
                  "LEADImage1 \nBitmapListCount: No bitmap list.");
        EXPECT_EQ(image.LastError(), -2);
    }
}

TEST(LEADImageModel, ClearImageEmptiesTheControl)
{
    TLEADImage image;
    Fill(image, {kRed, kGreen});
    EXPECT_EQ(image.ClearImage(), 1);
    EXPECT_FALSE(image.Allocated());
    EXPECT_EQ(image.BitmapList(), nullptr);
    EXPECT_EQ(image.BitmapListIndex(), 0);
}

TEST(LEADImageModel, ForceRepaintDropsAPageWhoseBitmapWasFreedBehindTheControlsBack)
{
    TLEADImage image;
    Fill(image, {kRed, kGreen}, 1);
    EXPECT_EQ(image.ForceRepaint(), 1);
    EXPECT_EQ(image.BitmapListCount(), 2) << "nothing to do while the bitmap is there";

    L_FreeBitmap(image.Bitmap());
    EXPECT_EQ(image.ForceRepaint(), 1);
    EXPECT_EQ(PageColors(image), std::vector<LColor>{kRed});
    EXPECT_EQ(image.BitmapListIndex(), 0);
    ASSERT_TRUE(image.Allocated());
    EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), kRed);
}

TEST(LEADImageModel, RestoreFromListTakesThePageAgain)
{
    TLEADImage image;
    Fill(image, {kRed});
    LeadFillBitmap(*image.Bitmap(), kBlue);  // the working bitmap changed, the list did not
    EXPECT_EQ(image.RestoreFromList(), 1);
    EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), kRed);
}

// ---- the bitmap context --------------------------------------------------------------------

TEST(LEADImageModel, BitmapContextDrawsOnThePictureAndPromotesPaletteBitmaps)
{
    TLEADImage image;
    LBitmap grey = MakeBitmap(10, 8, kGrey, 8);
    image.setBitmap(&grey);
    L_FreeBitmap(&grey);
    ASSERT_EQ(image.BitmapBits(), 8);

    TCanvas* canvas = image.GetBitmapDC();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(image.BitmapBits(), 24);
    EXPECT_TRUE(image.StateFlags() & TLEADImage::kStateBitmapLocked);
    canvas->Brush.Color = clRed;
    canvas->FillRect(Rect(0, 0, 5, 8));
    EXPECT_EQ(image.ReleaseBitmapDC(), 1);
    EXPECT_FALSE(image.StateFlags() & TLEADImage::kStateBitmapLocked);

    EXPECT_EQ(image.BitmapBits(), 24) << "the page stays 24 bits";
    EXPECT_EQ(PixelOf(*image.Bitmap(), 2, 2), kRed);
    EXPECT_TRUE(Near(PixelOf(*image.Bitmap(), 7, 2), kGrey, 1));
    // The list holds the drawing too.
    EXPECT_EQ(PageColors(image), std::vector<LColor>{kRed});
    EXPECT_EQ(image.RestoreFromList(), 1);
    EXPECT_EQ(PixelOf(*image.Bitmap(), 2, 2), kRed);
}

TEST(LEADImageModel, ProcessingIsRefusedWhileABitmapContextIsOut)
{
    TLEADImage image;
    image.setObjectName("View");
    Fill(image, {kRed});
    ASSERT_NE(image.GetBitmapDC(), nullptr);
    LBitmap green = MakeBitmap(4, 4, kGreen);
    const std::string refused = "View \nError code: 0\nProcessing not allowed: Function not successful ";
    EXPECT_EQ(RaisedMessage([&] { image.setBitmap(&green); }), refused);
    EXPECT_EQ(RaisedMessage([&] { image.setBitmapList(nullptr); }), refused);
    EXPECT_EQ(RaisedMessage([&] { image.ClearImage(); }), refused);
    EXPECT_EQ(RaisedMessage([&] { image.GetBitmapDC(); }), refused);
    EXPECT_EQ(RaisedMessage([&] { image.Save("unused.jpg", 10, 24, 2, 0); }), refused);
    EXPECT_EQ(RaisedMessage([&] { image.Load("unused.jpg", 0, 1, -1); }), refused);
    image.ReleaseBitmapDC();
    image.setBitmap(&green);
    EXPECT_EQ(PixelOf(*image.Bitmap(), 1, 1), kGreen);
    L_FreeBitmap(&green);
}

TEST(LEADImageModel, GetBitmapDCWithoutAPictureRaisesImageNotAllocated)
{
    TLEADImage image;
    image.setObjectName("View");
    image.setEnableMethodErrors(false);
    EXPECT_EQ(RaisedMessage([&] { image.GetBitmapDC(); }), "View \nGetBitmapDC: Image not allocated.");
    EXPECT_EQ(image.LastError(), -2);
}

TEST(LEADImageModel, ReleaseBitmapDCWithoutAContextLeavesAllocatedAsItWas)
{
    TLEADImage empty;
    empty.setEnableMethodErrors(false);
    EXPECT_EQ(empty.ReleaseBitmapDC(), 0);
    EXPECT_FALSE(empty.Allocated());
    EXPECT_EQ(empty.LastError(), 0);

    TLEADImage full;
    full.setObjectName("View");
    Fill(full, {kRed});
    EXPECT_EQ(RaisedMessage([&] { full.ReleaseBitmapDC(); }),
              "View \nError code: 0\nReleaseBitmapDC: Function not successful ");
    EXPECT_TRUE(full.Allocated());
}

// ---- the control context and painting --------------------------------------------------------

TEST(LEADImagePaint, PaintShowsThePictureScaledToFitOnTheBackColour)
{
    TLEADImage image;
    image.resize(100, 50);
    image.setBackColor(clBlue);
    int paints = 0;
    image.OnPaint = [&](QObject*) { ++paints; };

    QImage shot = image.grab().toImage();
    EXPECT_EQ(shot.pixelColor(50, 25), QColor(Qt::blue)) << "no picture: the back colour";

    LBitmap red = MakeBitmap(40, 40, kRed);
    image.setBitmap(&red);
    L_FreeBitmap(&red);
    shot = image.grab().toImage();
    // A square picture in a 100 x 50 area: 50 x 50 at the left.
    EXPECT_EQ(shot.pixelColor(25, 20), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(75, 20), QColor(Qt::blue));
    EXPECT_GE(paints, 2);
    EXPECT_FALSE(image.ChangedFlags() & TLEADImage::kChangedPicture);
}

TEST(LEADImagePaint, ControlContextDrawingShowsUntilTheControlIsInvalidated)
{
    TLEADImage image;
    image.resize(40, 40);
    image.setBackColor(clWhite);
    TCanvas* canvas = image.GetControlDC();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(image.LastError(), 1);
    EXPECT_EQ(image.GetControlDC(), canvas) << "kept until released";
    canvas->Brush.Color = clGreen;
    canvas->FillRect(Rect(0, 0, 10, 10));
    image.ReleaseControlDC();
    EXPECT_EQ(image.grab().toImage().pixelColor(5, 5), QColor(0, 128, 0));
    image.Invalidate();
    EXPECT_EQ(image.grab().toImage().pixelColor(5, 5), QColor(Qt::white));
}

// ---- property checks -----------------------------------------------------------------------

struct ValueCase {
    const char* property;
    std::vector<int> refused;
    std::vector<int> accepted;
    const char* message;  // after "<name> \n"
    bool lastErrorMinus13;  // the check sets LastError -13 (else it keeps LastError)
};

TEST(LEADImageProperties, OutOfRangeValuesRaiseAndKeepTheOldValue)
{
    const ValueCase cases[] = {
        {"PDFXResolution", {-1}, {0, 300}, " PDFXResolution: Invalid value passed.", true},
        {"PDFYResolution", {-1}, {0, 300}, " PDFYResolution: Invalid value passed.", true},
        {"PDFDisplayDepth", {0, 2, 16, 32}, {1, 4, 8, 24}, " PDFDisplayDepth: Invalid value passed.", true},
        {"PDFTextAlpha", {0, 3, 8}, {1, 2, 4}, " PDFTextAlpha : Invalid value passed.", true},
        {"PDFGraphicsAlpha", {0, 3, 8}, {1, 2, 4}, " PDFGraphicsAlpha: Invalid value passed.", true},
        {"RasterizeViewportWidth", {-1}, {0, 1024}, " RasterizeViewportWidth: Invalid value passed.", true},
        {"RasterizeViewportHeight", {-1}, {0, 768}, " RasterizeViewportHeight: Invalid value passed.", true},
        {"RasterizeViewMode", {-1, 4}, {0, 3}, " RasterizeViewMode: Invalid value passed.", true},
        {"PaintZoomFactor", {-1}, {0, 250}, "PaintZoomFactor: Invalid value passed.", true},
        {"PaintEffect", {999, 1002, 2555, 17000, -1}, {1000, 1001, 2554, 16035}, "PaintEffect: Invalid Property value",
         false},
        {"TransitionEffect", {1002, 9002}, {9001, 15000}, "TransitionEffect: Invalid Property value", false},
        {"GradientStyle", {1016, 2008, 6000}, {1015, 5007}, "GradientStyle: Invalid Property value", false},
        {"GradientSteps", {1, 266}, {2, 265}, "GradientSteps: Invalid Property value.", false},
        {"EffectGrain", {0, 257}, {1, 256}, "EffectGrain: Invalid Property value.", false},
        {"PaintMaxPasses", {0, 65}, {1, 64}, "PaintMaxPasses: Invalid Property value.", false},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.property);
        TLEADImage image;
        image.setObjectName("Img");
        image.setEnableMethodErrors(false);  // the checks raise all the same
        const QVariant before = image.property(c.property);
        for (int v : c.refused) {
            image.SetLastError(7);
            EXPECT_EQ(RaisedMessage([&] { image.setProperty(c.property, v); }), std::string("Img \n") + c.message)
                << v;
            EXPECT_EQ(image.property(c.property), before) << v;
            EXPECT_EQ(image.LastError(), c.lastErrorMinus13 ? -13 : 7) << v;
        }
        for (int v : c.accepted) {
            EXPECT_EQ(RaisedMessage([&] { image.setProperty(c.property, v); }), "") << v;
            EXPECT_EQ(image.property(c.property).toInt(), v);
        }
    }
}

TEST(LEADImageProperties, ScrollStepsBelowOneAreOutOfRange)
{
    TLEADImage image;
    image.setObjectName("Img");
    EXPECT_EQ(RaisedMessage([&] { image.setHScrollStep(0); }), "Img \nHScrollStep: Scroll step out of range.");
    EXPECT_EQ(image.LastError(), 0);
    EXPECT_EQ(RaisedMessage([&] { image.setVScrollStep(-3); }), "Img \nVScrollStep: Scroll step out of range.");
    EXPECT_EQ(image.HScrollStep(), 10);
    EXPECT_EQ(image.VScrollStep(), 10);
    image.setVScrollStep(1);
    EXPECT_EQ(image.VScrollStep(), 1);
    EXPECT_EQ(image.LastError(), 1);
}

TEST(LEADImageProperties, ZoomFactorSwitchesToZoomModeAndFrameWidthIsTheSumOfItsParts)
{
    TLEADImage image;
    image.setPaintSizeMode(TLEADImage::smFit);
    image.setPaintZoomFactor(0);
    EXPECT_EQ(image.PaintSizeMode(), TLEADImage::smZoom);
    image.setFrameThickness(2);
    image.setFrameInnerThickness(3);
    image.setFrameOuterThickness(4);
    EXPECT_EQ(image.FrameWidth(), 9);
}

TEST(LEADImageProperties, PaintFlagsCombineThePaintProperties)
{
    const struct {
        TLEADImage::TPaintDither dither;
        TLEADImage::TBitonalScaling bitonal;
        TLEADImage::TPaletteType palette;
        TLEADImage::TPaintScaling scaling;
        std::uint32_t flags;
    } cases[] = {
        {TLEADImage::pdOrdered, TLEADImage::btsNormal, TLEADImage::ppAuto, TLEADImage::psNormal, 1},
        {TLEADImage::pdDiffusion, TLEADImage::btsFavorBlack, TLEADImage::ppFixed, TLEADImage::psResample,
         64 + 128 + 512},
        {TLEADImage::pdOrdered, TLEADImage::btsScaleToGray, TLEADImage::ppFixedNetscape, TLEADImage::psBicubic,
         1 + 16 + 384 + 1024},
        {TLEADImage::pdDiffusion, TLEADImage::btsNormal, TLEADImage::ppAutoNetscape, TLEADImage::psNormal, 256},
    };
    for (const auto& c : cases) {
        TLEADImage image;
        image.setPaintDither(c.dither);
        image.setBitonalScaling(c.bitonal);
        image.setPaintPalette(c.palette);
        image.setPaintScaling(c.scaling);
        EXPECT_EQ(image.PaintFlags(), c.flags);
    }
}

// ---- hooks ---------------------------------------------------------------------------------

class HookedImage : public TLEADImage {
public:
    int resets = 0;
    int repaints = 0;

protected:
    void ResetHook() override { ++resets; }
    void RepaintHook() override { ++repaints; }
};

TEST(LEADImageModel, HooksRunWhereTheControlPromisesThem)
{
    HookedImage image;
    image.ClearImage();
    EXPECT_EQ(image.resets, 1);
    image.ForceRepaint();
    EXPECT_EQ(image.repaints, 1);
}

} // namespace
