// The editor's view: zoom, "Einpassen", the scroll steps, the mouse pan, and the floater kept
// over the marked region while the view is resized or scrolled.
#include "editing/fBildbearbeitung.h"
#include "editing/EditorInternal.h"

#include "imaging/LEADImage.h"
#include "ui_fBildbearbeitung.h"

#include <QLabel>
#include <QSlider>

void TBildbeaerbeitungForm::ZoomTrackBarChange()
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    const int position = m_ui->ZoomTrackBar->value();
    view->setPaintSizeMode(TLEADImage::smZoom);
    view->setAutoRepaint(false);
    view->setAutoSetRects(true);
    view->setPaintZoomFactor(position);
    view->setAutoRepaint(true);
    m_ui->ZoomLabel->setText(QStringLiteral("Zoom: %1%").arg(position));
}

void TBildbeaerbeitungForm::Button1Click()
{
    const QSignalBlocker quiet(m_ui->ZoomTrackBar);
    m_ui->ZoomTrackBar->setValue(100);
    ZoomTrackBarChange();
}

void TBildbeaerbeitungForm::EinpassenBitBtnClick()
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    view->setPaintSizeMode(TLEADImage::smFit);
    view->ForceRepaint();
    // The track bar keeps the factor within 2..1000; the view ends one percent below the fit.
    const QSignalBlocker quiet(m_ui->ZoomTrackBar);
    m_ui->ZoomTrackBar->setValue(view->PaintZoomFactor() - 1);
    ZoomTrackBarChange();
}

void TBildbeaerbeitungForm::BildbViewLEADImageChange()
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    const int h = view->BitmapWidth() / 5 + 1;
    const int v = view->BitmapHeight() / 5 + 1;
    if (view->HScrollStep() == h && view->VScrollStep() == v)
        return;
    view->setHScrollStep(h);
    view->setVScrollStep(v);
}

void TBildbeaerbeitungForm::BitBtn1Click()
{
    if (ShowPanTip)
        ShowPanTip();
}

void TBildbeaerbeitungForm::ViewMouseDown(int x, int y)
{
    m_panHeld = true;
    m_lastX = x;
    m_lastY = y;
}

void TBildbeaerbeitungForm::ViewMouseUp()
{
    m_panHeld = false;
}

void TBildbeaerbeitungForm::ViewMouseMove(int x, int y)
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    if (view->RgnFrameType() != 0)
        return;
    const int dx = x - m_lastX;
    const int dy = y - m_lastY;
    m_lastX = x;
    m_lastY = y;
    if (!m_panHeld || (dx == 0 && dy == 0))
        return;
    m_panDx = dx;
    m_panDy = dy;
    if (view->AutoScroll()) {
        // The move is a scroll that stops at the edges, in one step and one repaint from the
        // scaled picture the view keeps; its clip follows the destination actually reached,
        // never the mouse, so no part of the picture is cut away.
        view->ScrollBy(-dx, -dy);
        ViewResizeOrScroll(false);
        if (view->DstClipLeft() != view->DstLeft() || view->DstClipTop() != view->DstTop() ||
            view->DstClipWidth() != view->DstWidth() || view->DstClipHeight() != view->DstHeight())
            view->SetDstClipRect(view->DstLeft(), view->DstTop(), view->DstWidth(), view->DstHeight());
    } else {
        view->setAutoRepaint(false);
        view->SetDstRect(view->DstLeft() + dx, view->DstTop() + dy, view->DstWidth(), view->DstHeight());
        view->SetDstClipRect(view->DstLeft(), view->DstTop(), view->DstWidth(), view->DstHeight());
        view->setAutoRepaint(true);
        view->ForceRepaint();
    }
    m_panDst = Bounds(view->DstLeft(), view->DstTop(), view->DstWidth(), view->DstHeight());
    m_panClip = Bounds(view->DstClipLeft(), view->DstClipTop(), view->DstClipWidth(), view->DstClipHeight());
    m_panned = true;
}

void TBildbeaerbeitungForm::ViewResizeOrScroll(bool resized)
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    if (!ViewFloater(*view) || view->BitmapWidth() <= 0 || view->BitmapHeight() <= 0)
        return;
    const double sx = double(view->DstWidth()) / view->BitmapWidth();
    const double sy = double(view->DstHeight()) / view->BitmapHeight();
    const QRect client = view->viewport()->rect();
    view->SetFloaterDstClipRect(client.left(), client.top(), client.width(), client.height());
    const int left = int(view->RgnLeft() * sx) + view->DstLeft();
    const int top = int(view->RgnTop() * sy) + view->DstTop();
    if (resized) {
        view->SetFloaterDstRect(left, top, int(view->RgnWidth() * sx), int(view->RgnHeight() * sy));
    } else {
        view->SetFloaterDstLeft(left);
        view->SetFloaterDstTop(top);
    }
}
