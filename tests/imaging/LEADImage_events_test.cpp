// The picture control's framework events (mouse, click, double click, keys, focus, dragging
// between controls), the pan window and the magnifying glass.
#include "ImagingFixtures.h"

#include "imaging/LEADPanWindow.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace imgtest;

namespace {

QString ButtonName(TMouseButton b) { return b == mbLeft ? "left" : b == mbRight ? "right" : "middle"; }

// A control whose mouse tool hooks write into the log of its events.
class LoggingImage : public TLEADImage {
public:
    QStringList log;
    LoggingImage()
    {
        OnMouseDown = [this](QObject*, TMouseButton b, TShiftState shift, int x, int y) {
            log << QString("down %1 %2,%3%4").arg(ButtonName(b)).arg(x).arg(y).arg(shift & ssDouble ? " double" : "");
        };
        OnMouseMove = [this](QObject*, TShiftState, int x, int y) { log << QString("move %1,%2").arg(x).arg(y); };
        OnMouseUp = [this](QObject*, TMouseButton b, TShiftState, int x, int y) {
            log << QString("up %1 %2,%3").arg(ButtonName(b)).arg(x).arg(y);
        };
        OnClick = [this](QObject*) { log << "click"; };
        OnDblClick = [this](QObject*) { log << "double click"; };
        OnEnter = [this](QObject*) { log << "enter"; };
        OnKeyPress = [this](QObject*, QChar& c) { log << QString("key press %1").arg(c); };
        OnKeyUp = [this](QObject*, int& key, TShiftState) { log << QString("key up %1").arg(key); };
    }

protected:
    void ToolMouseDown(TMouseButton, TShiftState, int, int) override { log << "tool down"; }
    void ToolMouseMove(TShiftState, int&, int&) override { log << "tool move"; }
    void ToolMouseUp(TMouseButton, TShiftState, int&, int&) override { log << "tool up"; }
};

} // namespace

TEST(LEADImageEvents, RealMousePressesFireTheFrameworksEventsAroundTheTools)
{
    LoggingImage image;
    image.resize(200, 150);
    Hold(image, 100, 100, kRed);
    ShowExposed(image);
    image.log.clear();
    QWidget* client = image.viewport();

    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(10, 20));
    EXPECT_EQ(image.log, (QStringList{"down left 10,20", "tool down", "tool up", "click", "up left 10,20"}))
        << image.log.join(" | ").toStdString();

    image.log.clear();
    QTest::mouseClick(client, Qt::RightButton, {}, QPoint(30, 40));
    EXPECT_EQ(image.log, (QStringList{"down right 30,40", "tool down", "tool up", "up right 30,40"}))
        << "no click for the right button";

    image.log.clear();
    QTest::mouseMove(client, QPoint(50, 60));
    EXPECT_EQ(image.log, (QStringList{"tool move", "move 50,60"})) << "moves without a button count";

    image.log.clear();
    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseDClick(client, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(5, 6));
    EXPECT_EQ(image.log, (QStringList{"down left 5,6", "tool down", "tool up", "click", "up left 5,6", "double click",
                                      "down left 5,6 double", "tool down", "tool up", "up left 5,6"}))
        << image.log.join(" | ").toStdString();

    image.clearFocus();
    QApplication::setActiveWindow(&image);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&image));
    image.log.clear();
    image.setFocus();
    ASSERT_TRUE(image.hasFocus());
    EXPECT_EQ(image.log, QStringList{"enter"});
    image.log.clear();
    QTest::keyClick(&image, Qt::Key_Q);
    EXPECT_EQ(image.log, (QStringList{"key press q", "key up 81"}));
}

TEST(LEADImageEvents, AnAutomaticDragCarriesTheControlToAnotherThatAcceptsIt)
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* a = new TLEADImage;
    auto* b = new TLEADImage;
    a->setObjectName("a");
    b->setObjectName("b");
    layout->addWidget(a);
    layout->addWidget(b);
    window.resize(400, 200);
    ShowExposed(window);
    QStringList log;
    a->setDragMode(dmAutomatic);
    a->OnStartDrag = [&](QObject*, QObject*&) { log << "start"; };
    a->OnMouseDown = [&](QObject*, TMouseButton, TShiftState, int, int) { log << "a down"; };
    b->OnDragOver = [&](QObject*, QObject* source, int, int, TDragState state, bool& accept) {
        if (state != dsDragMove)
            log << QString("over %1 from %2").arg(state == dsDragEnter ? "enter" : "leave", source->objectName());
        accept = true;
    };
    b->OnDragDrop = [&](QObject*, QObject* source, int x, int y) {
        log << QString("drop from %1 at %2,%3").arg(source->objectName()).arg(x).arg(y);
    };
    a->OnEndDrag = [&](QObject*, QObject* target, int, int) { log << "end on " + (target ? target->objectName() : ""); };

    QTest::mousePress(a->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(a->viewport(), QPoint(30, 20));
    QTest::mouseMove(b->viewport(), QPoint(40, 30));
    QTest::mouseMove(b->viewport(), QPoint(41, 30));
    QTest::mouseRelease(b->viewport(), Qt::LeftButton, {}, QPoint(41, 30));
    EXPECT_EQ(log, (QStringList{"start", "over enter from a", "drop from a at 41,30", "end on b"}))
        << log.join(" | ").toStdString();
}

TEST(LEADImagePanWindow, TheRectangleFollowsScrollingAndDraggingItScrollsTheControl)
{
    TLEADImage image;
    image.resize(200, 150);
    image.setPaintZoomFactor(300);
    Hold(image, 200, 200, kRed);  // 600 x 600 on the screen
    ShowExposed(image);
    std::vector<int> flags;
    image.OnPanWin = [&](QObject*, QWidget* w, int flag) {
        flags.push_back(flag);
        EXPECT_NE(w, nullptr);
    };
    EXPECT_EQ(image.ShowPanWindow(true), 1);
    auto* pan = dynamic_cast<TLeadPanWindow*>(image.PanWindowHandle());
    ASSERT_NE(pan, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pan));
    EXPECT_EQ(flags, std::vector<int>{0});
    EXPECT_EQ(pan->windowTitle(), "Pan Window");
    EXPECT_EQ(pan->size(), QSize(150, 150));

    // The visible part at the top left: a third of the picture's width.
    const QRect visible = image.VisiblePictureRect();
    EXPECT_EQ(visible.topLeft(), QPoint(0, 0));
    EXPECT_NEAR(visible.width(), image.ViewWidth() / 3, 1);
    const QRect frame0 = pan->FrameOnWindow();

    image.ScrollMessage(0, TLEADImage::scThumbPosition, 150);  // 50 picture pixels
    EXPECT_EQ(image.VisiblePictureRect().left(), 50);
    EXPECT_NEAR(pan->FrameOnWindow().left() - frame0.left(), 50 * 150 / 200, 1) << "the rectangle follows";

    // Dragging the rectangle 30 window pixels right and 15 down: 40 and 20 picture pixels.
    const QPoint grab = pan->FrameOnWindow().center();
    QTest::mousePress(pan, Qt::LeftButton, {}, grab);
    QTest::mouseMove(pan, grab + QPoint(15, 5));
    QTest::mouseMove(pan, grab + QPoint(30, 15));
    QTest::mouseRelease(pan, Qt::LeftButton, {}, grab + QPoint(30, 15));
    EXPECT_EQ(image.HScrollPos(), 270);
    EXPECT_EQ(image.VScrollPos(), 60);
    EXPECT_EQ(image.DstLeft(), -270);
    EXPECT_EQ(image.VisiblePictureRect().topLeft(), QPoint(90, 20));
    ASSERT_GE(flags.size(), 2u);
    EXPECT_EQ(flags.back(), 1);

    // Closed by the user.
    pan->close();
    EXPECT_EQ(flags.back(), 2);
    EXPECT_EQ(image.PanWindowHandle(), nullptr);
    EXPECT_FALSE(image.PanWindowWanted());
    QApplication::processEvents();

    // Without a picture nothing is made; a new picture closes a shown window.
    TLEADImage empty;
    EXPECT_EQ(empty.ShowPanWindow(true), 1);
    EXPECT_EQ(empty.PanWindowHandle(), nullptr);
    image.ShowPanWindow(true);
    ASSERT_NE(image.PanWindowHandle(), nullptr);
    Hold(image, 50, 50, kBlue);
    EXPECT_EQ(image.PanWindowHandle(), nullptr);
}

TEST(LEADImagePanWindow, PropertyWritesSetTheDisplayFlagsAndPlaceTheWindow)
{
    TLEADImage image;
    EXPECT_EQ(image.PanWinFlags(), 1u);
    image.setPanWinPaintPalette(TLEADImage::ppFixedNetscape);
    EXPECT_EQ(image.PanWinFlags(), 1u | 128 | 256);
    image.setPanWinPaintPalette(TLEADImage::ppAutoNetscape);
    EXPECT_EQ(image.PanWinFlags(), 1u | 256);
    image.setPanWinPaintDither(TLEADImage::pdDiffusion);
    EXPECT_EQ(image.PanWinFlags(), 256u);
    image.setPanWinBitonalScaling(TLEADImage::btsScaleToGray);
    image.setPanWinPaintScaling(TLEADImage::psBicubic);
    EXPECT_EQ(image.PanWinFlags(), 256u | 16 | 1024);
    image.setPanWinBitonalScaling(TLEADImage::btsFavorBlack);
    image.setPanWinPaintScaling(TLEADImage::psResample);
    EXPECT_EQ(image.PanWinFlags(), 256u | 64 | 512);

    image.resize(100, 100);
    Hold(image, 300, 300, kRed);
    image.ShowPanWindow(true);
    ASSERT_NE(image.PanWindowHandle(), nullptr);
    image.setPanWinWidth(120);
    image.setPanWinTitle("Overview");
    EXPECT_EQ(image.PanWindowHandle()->width(), 120);
    EXPECT_EQ(image.PanWindowHandle()->windowTitle(), "Overview");
    image.PanWindowHandle()->resize(90, 80);  // the user resizes it
    EXPECT_EQ(image.PanWinWidth(), 90);
    EXPECT_EQ(image.PanWinHeight(), 80);
    image.ShowPanWindow(false);
    EXPECT_EQ(image.PanWindowHandle(), nullptr);
}

TEST(LEADImageMagGlass, TheLoupeShowsThePixelsUnderThePointerEnlarged)
{
    TLEADImage image;
    image.setObjectName("Img");
    EXPECT_EQ(RaisedMessage([&] { image.StartMagGlass(60, 60, 400, 0, 0, false, 0, false, 0, false, true); }),
              "Img \nStartMagGlass: Image not allocated.");
    EXPECT_EQ(image.LastError(), -2);

    image.resize(200, 150);
    image.setBackColor(clGreen);
    image.setCenterImage(true);  // the picture at 80, 55
    // Every picture pixel its own colour.
    const auto colour = [](int x, int y) { return LRgb(std::uint8_t(x * 6), std::uint8_t(y * 6), 77); };
    LBitmap picture = MakePicture(40, 40, colour);
    image.setBitmap(&picture);
    L_FreeBitmap(&picture);
    ShowExposed(image);
    ASSERT_EQ(image.DstRect(), TRect(80, 55, 120, 95));
    EXPECT_EQ(image.StartMagGlass(60, 60, 400, clBlack, clWhite, false, 0, false, 0, false, true), 1);
    EXPECT_TRUE(image.MagGlassActive());
    EXPECT_EQ(RaisedMessage([&] { image.StartMagGlass(60, 60, 400, 0, 0, false, 0, false, 0, false, true); }),
              "Img \nError code: -13\nStartMagGlass: " + S(LeadErrorText(-13)) + " ");

    // The pointer over picture pixel (20, 25): it fills the middle four by four pixels, its
    // neighbours lie four pixels further.
    QTest::mouseMove(image.viewport(), QPoint(100, 80));
    QImage grab = image.viewport()->grab().toImage();
    const auto at = [&](int x, int y) { return ColorAt(grab, x, y); };
    for (const QPoint p : {QPoint(100, 80), QPoint(99, 79), QPoint(101, 81)})
        EXPECT_EQ(at(p.x(), p.y()), colour(20, 25)) << p.x() << ", " << p.y();
    EXPECT_EQ(at(103, 80), colour(21, 25));
    EXPECT_EQ(at(96, 80), colour(19, 25));
    EXPECT_EQ(at(100, 83), colour(20, 26));

    // Near the picture's corner the loupe shows its back colour beyond the picture; outside
    // the loupe the picture shows as it is.
    QTest::mouseMove(image.viewport(), QPoint(82, 57));
    grab = image.viewport()->grab().toImage();
    EXPECT_EQ(at(70, 57), kWhite);
    EXPECT_EQ(at(115, 90), colour(35, 35));

    EXPECT_EQ(image.StopMagGlass(), 1);
    EXPECT_FALSE(image.MagGlassActive());
    QTest::mouseMove(image.viewport(), QPoint(100, 80));
    const QImage after = image.viewport()->grab().toImage();
    EXPECT_EQ(ColorAt(after, 103, 80), colour(23, 25)) << "the picture at its own scale again";
    EXPECT_EQ(RaisedMessage([&] { image.StopMagGlass(); }),
              "Img \nError code: 0\nStopMagGlass: " + S(LeadErrorText(0)) + " ");
}
