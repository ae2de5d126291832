// The gradient fill and shell icons.
#include "support/TestEnv.h"
#include "controls/HTMLDrawing.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QImage White(int w, int h)
{
    QImage img(w, h, QImage::Format_BGR888);
    img.fill(Qt::white);
    return img;
}

QColor Q(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

} // namespace

TEST(FillGradient, BandColoursAndPlaces)
{
    // 4 steps from (0, 0, 0) to (64, 128, 255): 16, 32 and 63.75 per step and channel.
    const TColor bands[] = {RGB(0, 0, 0), RGB(16, 32, 64), RGB(32, 64, 128), RGB(48, 96, 191)};
    for (bool horizontal : {true, false}) {
        QImage img = horizontal ? White(64, 4) : White(4, 64);
        TCanvas canvas(&img);
        FillGradient(canvas, RGB(0, 0, 0), RGB(64, 128, 255), horizontal, horizontal ? Rect(0, 0, 64, 4) : Rect(0, 0, 4, 64), 4);
        for (int pos : {0, 15, 16, 31, 32, 47, 48, 63}) {
            const QColor c = horizontal ? img.pixelColor(pos, 2) : img.pixelColor(2, pos);
            EXPECT_EQ(c, Q(bands[pos / 16])) << (horizontal ? "x " : "y ") << pos;
        }
    }
}

TEST(FillGradient, FractionalBandsRoundTheirStartsAndOverlapByOne)
{
    // Band size 2.5: bands start at 0, 2, 5 and 8 (halves to even) and are 3 wide.
    QImage img = White(12, 2);
    TCanvas canvas(&img);
    FillGradient(canvas, RGB(0, 0, 0), RGB(40, 40, 40), true, Rect(0, 0, 10, 2), 4);
    const int band[] = {0, 0, 1, 1, 1, 2, 2, 2, 3, 3};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(img.pixelColor(x, 0), QColor(10 * band[x], 10 * band[x], 10 * band[x])) << x;
    EXPECT_EQ(img.pixelColor(10, 0), QColor(Qt::white)) << "cut to the rectangle";
}

TEST(FillGradient, BorderAndCanvasStateAfterwards)
{
    QImage img = White(20, 10);
    TCanvas canvas(&img);
    canvas.Brush = TBrush{clYellow, bsSolid};
    canvas.Pen.Color = clGreen;
    FillGradient(canvas, clBlue, clBlue, true, Rect(2, 2, 18, 9), 64, clRed);
    EXPECT_EQ(img.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(17, 8), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(10, 5), QColor(Qt::blue));
    EXPECT_EQ(img.pixelColor(1, 1), QColor(Qt::white));
    EXPECT_EQ(canvas.Brush.Color, clYellow);
    EXPECT_EQ(canvas.Brush.Style, bsSolid);
    EXPECT_EQ(canvas.Pen.Color, clGreen);
}

TEST(ShellIcon, SizesAndNumbers)
{
    QImage img = White(64, 64);
    TCanvas canvas(&img);
    const QString file = kvtest::MakeTempFolder("icon") + "a.txt";
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_EQ(DrawShellIcon(canvas, 0, 0, file, false, false), TSize({16, 16}));
    EXPECT_EQ(DrawShellIcon(canvas, 0, 0, "no/such/file.pdf", true, false), TSize({32, 32}));
    EXPECT_EQ(DrawShellIcon(canvas, 0, 0, file, true, false, 2.0), TSize({64, 64}));
    EXPECT_EQ(img, White(64, 64)) << "nothing drawn without draw";
    EXPECT_EQ(DrawShellIcon(canvas, 0, 0, "12", true, true), TSize());
    EXPECT_EQ(img, White(64, 64)) << "a system list index draws nothing";
    EXPECT_NO_THROW(DrawShellIcon(canvas, 4, 4, file, true, true));
}
