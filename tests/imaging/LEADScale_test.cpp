// Scaling the picture for the screen: the box average when shrinking, repeated or
// interpolated pixels when enlarging, pieces that match the whole, and pictures of every depth
// and view perspective.
#include "ImagingFixtures.h"
#include "imaging/LEADScale.h"

#include <gtest/gtest.h>

#include <functional>

using namespace imgtest;

namespace {

QImage Scale(const LBitmap& b, TLeadBox source, int dw, int dh, QRect part = QRect(), bool smooth = false)
{
    if (part.isNull())
        part = QRect(0, 0, dw, dh);
    return LeadScalePicture(b, TLeadScaleRequest{source, dw, dh, part, smooth});
}

// The largest difference of a channel between two images of one size.
int MaxDifference(const QImage& a, const QImage& b)
{
    int d = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            d = std::max({d, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
        }
    return d;
}

TEST(LeadScale, ShrinkingAveragesTheWholePixelsEachDestinationPixelCovers)
{
    // Red carries x, green y, blue a value per pixel.
    const int blue[2][5] = {{10, 20, 30, 40, 50}, {41, 0, 90, 60, 30}};
    LBitmap b = MakePicture(5, 2, [&](int x, int y) { return LRgb(std::uint8_t(x * 50), std::uint8_t(y * 100), std::uint8_t(blue[y][x])); });
    // 5 columns into 2: columns 0-1 and 2-4; 2 rows into 1.
    const QImage out = Scale(b, TLeadBox(0, 0, 5, 2), 2, 1);
    ASSERT_EQ(out.size(), QSize(2, 1));
    EXPECT_EQ(out.format(), QImage::Format_RGB32);
    EXPECT_EQ(ColorAt(out, 0, 0), LRgb(25, 50, 18)) << "(10 + 20 + 41 + 0) / 4 = 17.75";
    EXPECT_EQ(ColorAt(out, 1, 0), LRgb(150, 50, 50)) << "(30 + 40 + 50 + 90 + 60 + 30) / 6";

    // More than 257 rows into one pixel (the sums no longer fit 16 bits).
    LBitmap tall = MakePicture(1, 300, [](int, int y) { return LRgb(255, y < 150 ? 255 : 0, 1); });
    EXPECT_EQ(ColorAt(Scale(tall, TLeadBox(0, 0, 1, 300), 1, 1), 0, 0), LRgb(255, 128, 1));
    L_FreeBitmap(&b);
    L_FreeBitmap(&tall);
}

TEST(LeadScale, EnlargingRepeatsThePixelUnderEachDestinationPixelsCentre)
{
    LBitmap b = MakePicture(2, 2, [](int x, int y) { return x ? kRed : (y ? kGreen : kBlue); });
    const QImage out = Scale(b, TLeadBox(0, 0, 2, 2), 5, 5);
    // Centres at 0.2, 0.6, 1.0, 1.4, 1.8 source pixels.
    const int column[5] = {0, 0, 1, 1, 1};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(ColorAt(out, x, y), column[x] ? kRed : (column[y] ? kGreen : kBlue)) << x << ", " << y;

    // Smooth enlarging blends neighbours; without it only the two colours appear.
    LBitmap pair = MakePicture(2, 1, [](int x, int) { return x ? kWhite : LRgb(0, 0, 0); });
    const QImage sharp = Scale(pair, TLeadBox(0, 0, 2, 1), 16, 2);
    const QImage smooth = Scale(pair, TLeadBox(0, 0, 2, 1), 16, 2, QRect(), true);
    EXPECT_EQ(ColorAt(sharp, 7, 0), LRgb(0, 0, 0));
    EXPECT_EQ(ColorAt(sharp, 8, 0), kWhite);
    const int middle = LRedOf(ColorAt(smooth, 8, 0));
    EXPECT_GT(middle, 40);
    EXPECT_LT(middle, 215);
    EXPECT_LT(LRedOf(ColorAt(smooth, 0, 0)), 20);
    EXPECT_GT(LRedOf(ColorAt(smooth, 15, 0)), 235);
    L_FreeBitmap(&b);
    L_FreeBitmap(&pair);
}

TEST(LeadScale, APieceIsThatPartOfTheWholeDestination)
{
    LBitmap b = MakePicture(97, 61, [](int x, int y) {
        return LRgb(std::uint8_t(x * 7 + y), std::uint8_t(y * 11 ^ x), std::uint8_t((x * y) & 255));
    });
    const struct {
        const char* name;
        TLeadBox source;
        int dw, dh;
        bool smooth;
        int tolerance;
    } cases[] = {
        {"shrunk by 0.3", TLeadBox(0, 0, 97, 61), 29, 18, false, 0},
        {"enlarged by 2.5", TLeadBox(0, 0, 97, 61), 242, 152, false, 0},
        {"stretched: wider, lower", TLeadBox(0, 0, 97, 61), 200, 20, false, 0},
        {"a source inside the picture", TLeadBox(13, 9, 40, 30), 100, 15, false, 0},
        {"smoothly enlarged", TLeadBox(0, 0, 97, 61), 242, 152, true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage whole = Scale(b, c.source, c.dw, c.dh, QRect(), c.smooth);
        ASSERT_EQ(whole.size(), QSize(c.dw, c.dh));
        for (const QRect part : {QRect(0, 0, 5, 5), QRect(c.dw / 3, c.dh / 2, c.dw / 2, 3),
                                 QRect(c.dw - 4, c.dh - 3, 10, 10)}) {
            const QImage piece = Scale(b, c.source, c.dw, c.dh, part, c.smooth);
            const QRect inside = part & whole.rect();
            ASSERT_EQ(piece.size(), inside.size()) << "cut to the destination";
            EXPECT_LE(MaxDifference(piece, whole.copy(inside)), c.tolerance)
                << inside.x() << ", " << inside.y() << " " << inside.width() << " x " << inside.height();
        }
    }
    L_FreeBitmap(&b);
}

TEST(LeadScale, PaletteAndTurnedPicturesScaleLikeTheirUprightTrueColourCopies)
{
    LBitmap grey;
    ASSERT_EQ(L_CreateBitmap(&grey, 30, 20, 8), LE_SUCCESS);  // a grey ramp palette
    std::uint8_t* bits = grey.BeginWrite();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            grey.WriteRow(bits, y)[x] = std::uint8_t(x * 8 + y);
    LBitmap colour = MakePicture(30, 20, [](int x, int y) { return LRgb(std::uint8_t(x * 8), std::uint8_t(y * 12), 77); });

    for (const LBitmap* original : {&grey, &colour}) {
        for (int vp : {2, 4, 7}) {
            SCOPED_TRACE(testing::Message() << original->BitsPerPixel << " bits, perspective " << vp);
            LBitmap turned;
            ASSERT_EQ(L_CopyBitmap(&turned, original), LE_SUCCESS);
            turned.ViewPerspective = vp;
            // The same picture as seen, stored upright in 24 bits.
            LBitmap upright;
            ASSERT_EQ(L_ChangeBitmapViewPerspective(&upright, &turned, LVP_TOP_LEFT), LE_SUCCESS);
            LBitmap reference;
            ASSERT_EQ(LeadExpandTo24(upright, reference), LE_SUCCESS);
            const TLeadBox all(0, 0, turned.ViewWidth(), turned.ViewHeight());
            for (const QSize size : {QSize(7, 9), QSize(45, 61)}) {
                const QImage a = Scale(turned, all, size.width(), size.height());
                const QImage b = Scale(reference, all, size.width(), size.height());
                ASSERT_FALSE(a.isNull());
                EXPECT_EQ(MaxDifference(a, b), 0) << size.width() << " x " << size.height();
            }
            L_FreeBitmap(&turned);
            L_FreeBitmap(&upright);
            L_FreeBitmap(&reference);
        }
    }
    L_FreeBitmap(&grey);
    L_FreeBitmap(&colour);
}

TEST(LeadScale, SourcesBeyondThePictureRepeatItsEdgeAndEmptyRequestsGiveNothing)
{
    LBitmap b = MakePicture(4, 1, [](int x, int) { return x == 0 ? kRed : (x == 3 ? kBlue : kGreen); });
    const QImage out = Scale(b, TLeadBox(-2, 0, 8, 1), 8, 1);
    ASSERT_EQ(out.width(), 8);
    EXPECT_EQ(ColorAt(out, 0, 0), kRed);
    EXPECT_EQ(ColorAt(out, 2, 0), kRed);
    EXPECT_EQ(ColorAt(out, 3, 0), kGreen);
    EXPECT_EQ(ColorAt(out, 7, 0), kBlue);

    EXPECT_TRUE(Scale(b, TLeadBox(0, 0, 4, 1), 8, 1, QRect(8, 0, 4, 1)).isNull()) << "piece outside";
    EXPECT_TRUE(Scale(b, TLeadBox(0, 0, 0, 1), 8, 1).isNull()) << "empty source";
    EXPECT_TRUE(Scale(b, TLeadBox(0, 0, 4, 1), 0, 0).isNull()) << "empty destination";
    LBitmap none;
    EXPECT_TRUE(Scale(none, TLeadBox(0, 0, 4, 1), 8, 1).isNull()) << "no pixels";
    L_FreeBitmap(&b);
}

} // namespace
