#pragma once
// Shared helpers of the drawing-tool tests: a photo-like picture, a drawing component set up
// for a tool, mouse scripts run through the component's handlers, and the golden picture
// compare (KV_REGENERATE_GOLDEN=1 writes the pictures anew into tests/data/golden/).
#include "PhotoPicture.h"

#include "editing/draw/DrawImage.h"
#include "support/Golden.h"
#include "support/SamePixels.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tooltest {

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


// Compares made with the golden picture `name`, or writes it under KV_REGENERATE_GOLDEN=1.
inline void ExpectGolden(const TBitmap& made, const QString& name)
{
    golden::Expect(ToRgb32(made), name.toStdString());
}

} // namespace tooltest
