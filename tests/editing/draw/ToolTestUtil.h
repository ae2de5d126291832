#pragma once
// Shared helpers of the drawing-tool tests: a photo-like picture, a drawing component set up
// for a tool, mouse scripts run through the component's handlers, and the golden picture
// compare (KV_REGENERATE_GOLDEN=1 writes the pictures anew into tests/data/golden/).
#include "editing/draw/DrawImage.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tooltest {

// Sky, a sun, hills, a flat roof and a striped field: smooth areas, flat areas, edges and
// fine detail (white pictures hide what colour and distortion brushes do).
inline TBitmap PhotoPicture(int w = 64, int h = 64)
{
    QImage img(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    QPainter p(&img);
    const double sx = w / 64.0, sy = h / 64.0;
    QLinearGradient sky(0, 0, 0, 36 * sy);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(190, 220, 250));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(46 * sx, 12 * sy), 7 * sx, 7 * sy);
    p.setBrush(QColor(60, 140, 50));
    p.drawEllipse(QPointF(16 * sx, 58 * sy), 34 * sx, 24 * sy);
    p.fillRect(QRectF(36 * sx, 28 * sy, 20 * sx, 10 * sy), QColor(170, 40, 30));
    for (int x = 0; x < w; x += 4)
        p.fillRect(QRectF(x, 50 * sy, 2, 14 * sy), QColor(120 + (x * 2) % 120, 90, 40));
    p.end();
    TBitmap b;
    b.SetImage(img.convertToFormat(QImage::Format_BGR888).copy(0, 0, w, h), pf24bit);
    return b;
}

// A component showing picture at its size, pen dark red 2 pixels wide, brush solid yellow.
inline std::unique_ptr<TpelDrawImage> MakeToolImage(const TBitmap& picture)
{
    auto im = std::make_unique<TpelDrawImage>();
    im->setAutoSize(true);
    im->SetPicture(picture);
    TCanvas& c = im->Canvas();
    c.Pen.Color = TColor(0x1010B0);
    c.Pen.Width = 2;
    c.Pen.Mode = pmCopy;
    c.Brush.Color = clYellow;
    c.Brush.Style = bsSolid;
    return im;
}

// One mouse event of a script.
struct Step {
    enum Kind { Down, Move, Up, Right } What;
    int X, Y;
    TShiftState Shift = 0;
};
using Script = std::vector<Step>;

// Press at a, moves in `moves` even steps to b, release at b.
inline Script DragScript(int ax, int ay, int bx, int by, TShiftState shift = 0, int moves = 4)
{
    Script s{{Step::Down, ax, ay, shift}};
    for (int i = 1; i <= moves; ++i)
        s.push_back({Step::Move, ax + (bx - ax) * i / moves, ay + (by - ay) * i / moves, shift});
    s.push_back({Step::Up, bx, by, shift});
    return s;
}

// Press and release at one point.
inline Script ClickScript(int x, int y, TShiftState shift = 0) { return {{Step::Down, x, y, shift}, {Step::Up, x, y, shift}}; }

inline Script Then(Script a, const Script& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Runs the script through the component's mouse handlers (left button, right for Right).
inline void RunMouse(TpelDrawImage& im, const Script& script)
{
    for (const Step& s : script) {
        switch (s.What) {
        case Step::Down:
            im.MouseDown(mbLeft, s.Shift | ssLeft, s.X, s.Y);
            break;
        case Step::Move:
            im.MouseMove(s.Shift | (im.Drag.MouseIsDown ? ssLeft : 0), s.X, s.Y);
            break;
        case Step::Up:
            im.MouseUp(mbLeft, s.Shift, s.X, s.Y);
            break;
        case Step::Right:
            im.MouseDown(mbRight, s.Shift | ssRight, s.X, s.Y);
            im.MouseUp(mbRight, s.Shift, s.X, s.Y);
            break;
        }
    }
}

inline QImage ToRgb32(const TBitmap& b) { return b.Image().convertToFormat(QImage::Format_RGB32); }

inline bool SamePicture(const TBitmap& a, const TBitmap& b) { return ToRgb32(a) == ToRgb32(b); }

inline bool RegenerateGolden()
{
    const char* v = std::getenv("KV_REGENERATE_GOLDEN");
    return v && std::strcmp(v, "1") == 0;
}

inline QString GoldenPath(const QString& name)
{
    const char* source = std::getenv("KORVANTA_SOURCE_DIR");
    return QString::fromUtf8(source ? source : ".") + QStringLiteral("/tests/data/golden/") + name + QStringLiteral(".png");
}

// Compares made with the golden picture `name` (at most 1 % of the pixels may differ, none
// by more than 8 in a channel), or writes it under KV_REGENERATE_GOLDEN=1.
inline void ExpectGolden(const TBitmap& made, const QString& name)
{
    const QImage img = ToRgb32(made);
    const QString path = GoldenPath(name);
    if (RegenerateGolden()) {
        EXPECT_TRUE(img.save(path)) << path.toStdString();
        return;
    }
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(golden.isNull()) << path.toStdString() << " (KV_REGENERATE_GOLDEN=1 writes it)";
    ASSERT_EQ(golden.size(), img.size()) << name.toStdString();
    int differing = 0, worst = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb a = img.pixel(x, y), b = golden.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            differing += d > 0;
            worst = std::max(worst, d);
        }
    EXPECT_LE(differing, img.width() * img.height() / 100) << name.toStdString();
    EXPECT_LE(worst, 8) << name.toStdString();
}

} // namespace tooltest
