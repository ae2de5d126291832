// TpelDrawImage: the mouse handlers. They run the steps common to every tool around the
// press, move and release actions of the tool that Shape names (DrawTools.h).
#include "editing/draw/DrawImage.h"
#include "editing/draw/DrawTools.h"
#include "platform/vcl/Guard.h"

#include <QCursor>
#include <QMouseEvent>

namespace {

bool Held(TShiftState shift, TShiftState keys) { return (shift & keys) == keys; }

} // namespace

void TpelDrawImage::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCanvas& canvas = Canvas();
    Drag.SavedPenColor = canvas.Pen.Color;
    Drag.SavedBrushColor = canvas.Brush.Color;
    if (button == mbRight) {
        RightClick(x, y, shift);
        update();
        return;
    }
    if (Held(shift, ssCtrl | ssShift)) {
        // Snap to the anchor of the last right click, the mouse cursor with it.
        x = Drag.AnchorPoint.X;
        y = Drag.AnchorPoint.Y;
        QCursor::setPos(mapToGlobal(QPoint(x, y)));
    }
    canvas.MoveTo(x, y);
    Drag.StartPoint = Drag.LastPoint = TPoint{x, y};
    Drag.SlineAxis = QStringLiteral("none");
    Drag.MouseIsDown = true;
    Drag.SavedPenMode = canvas.Pen.Mode;
    if (const TToolRow* row = FindToolRow(Shape()); row && row->Down)
        row->Down(*this, TToolEvent{button, shift, x, y});
    canvas.Pen.Mode = Drag.SavedPenMode;
    update();
}

void TpelDrawImage::RightClick(int x, int y, TShiftState shift)
{
    TCanvas& canvas = Canvas();
    const QString shape = Shape();
    if (shape == QLatin1String("polygon")) {
        if (Drag.PolyCount > 2)
            canvas.Polygon(std::span<const TPoint>(Drag.PolyPoints.data(), size_t(Drag.PolyCount)));
        Drag.PolyCount = 0;
        Drag.MouseIsDown = false;
    } else if (shape == QLatin1String("polyline")) {
        Drag.PolyCount = 0;
        Drag.MouseIsDown = false;
    } else if (shape == QLatin1String("polybezier")) {
        Drag.BezierFixed1 = Drag.BezierFixed2 = false;
        Drag.StartPoint = Drag.LastPoint = TPoint{x, y};
        if (shift & ssAlt)
            Drag.MouseIsDown = false;
    }
    canvas.Pen.Mode = Drag.SavedPenMode;
    Drag.AnchorPoint = TPoint{x, y};
}

void TpelDrawImage::MouseMove(TShiftState shift, int x, int y)
{
    if (Held(shift, ssCtrl | ssAlt))
        return;
    TCanvas& canvas = Canvas();
    Drag.SavedPenMode = canvas.Pen.Mode;
    if (Drag.MouseIsDown) {
        if (const TToolRow* row = FindToolRow(Shape())) {
            if (row->AltMoves && (shift & ssAlt))
                MoveStartPoint(x, y);
            if (row->Move)
                row->Move(*this, TToolEvent{mbLeft, shift, x, y});
        }
        update();
    }
    canvas.Pen.Mode = Drag.SavedPenMode;
    Drag.LastPoint = TPoint{x, y};
}

void TpelDrawImage::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (Held(shift, ssCtrl | ssAlt) || button == mbRight)
        return;
    TCanvas& canvas = Canvas();
    Drag.SavedPenMode = canvas.Pen.Mode;
    // The row is looked up once: a stage the release moves Shape to answers from the next
    // event on.
    const QString shape = Shape();
    if (const TToolRow* row = FindToolRow(shape); row && row->Up)
        row->Up(*this, TToolEvent{button, shift, x, y});
    canvas.Pen.Mode = Drag.SavedPenMode;
    if (shape != QLatin1String("polygon") && shape != QLatin1String("polyline") && shape != QLatin1String("polybezier"))
        Drag.MouseIsDown = false;
    update();
}

void TpelDrawImage::mousePressEvent(QMouseEvent* e)
{
    TMouseButton button;
    if (!MouseButtonOf(e->button(), button))
        return;
    Guard([&] {
        const QPoint p = e->position().toPoint();
        MouseDown(button, ShiftStateOf(e->modifiers(), e->buttons()), p.x(), p.y());
    });
}

void TpelDrawImage::mouseMoveEvent(QMouseEvent* e)
{
    Guard(
        [&] {
            const QPoint p = e->position().toPoint();
            MouseMove(ShiftStateOf(e->modifiers(), e->buttons()), p.x(), p.y());
        },
        TGuardMode::Queue);
}

void TpelDrawImage::mouseReleaseEvent(QMouseEvent* e)
{
    TMouseButton button;
    if (!MouseButtonOf(e->button(), button))
        return;
    Guard([&] {
        const QPoint p = e->position().toPoint();
        MouseUp(button, ShiftStateOf(e->modifiers(), e->buttons()), p.x(), p.y());
    });
}
