// The work bitmaps of the drawing tools: the snapshot of the picture, a copied range, the
// zoom copy and the clone area.
#include "editing/draw/DrawImage.h"

namespace {

// A rectangle with inclusive corners as the half-open rectangle the canvas copies.
TRect InclusiveToCopy(const TRect& r)
{
    return TRect{r.Left, r.Top, r.Right + 1, r.Bottom + 1};
}

void SizeToInclusive(TBitmap& bitmap, const TRect& r)
{
    bitmap.SetSize(std::max(0, r.Right - r.Left + 1), std::max(0, r.Bottom - r.Top + 1));
}

} // namespace

void TpelDrawImage::SnapshotPicture()
{
    Drag.RangeRect = TRect{0, 0, Picture().Width() - 1, Picture().Height() - 1};
    Drag.RangeCopyMode = cmSrcCopy;
    ClearWorkBitmap(clWhite);
    CopyRangeToWorkBitmap();
}

void TpelDrawImage::ClearWorkBitmap(TColor color)
{
    SizeToInclusive(WorkBitmap, Drag.RangeRect);
    if (WorkBitmap.Empty())
        return;
    TCanvas& c = WorkBitmap.Canvas();
    c.Brush.Color = color;
    c.Brush.Style = bsSolid;
    c.FillRect(TRect{0, 0, WorkBitmap.Width(), WorkBitmap.Height()});
}

void TpelDrawImage::CopyRangeToWorkBitmap()
{
    SizeToInclusive(WorkBitmap, Drag.RangeRect);
    WorkBitmap.SetPixelFormat(pf24bit);
    if (WorkBitmap.Empty())
        return;
    TCanvas& c = WorkBitmap.Canvas();
    const TCopyMode saved = c.CopyMode;
    c.CopyMode = Drag.RangeCopyMode;
    c.CopyRect(TRect{0, 0, WorkBitmap.Width(), WorkBitmap.Height()}, Canvas(), InclusiveToCopy(Drag.RangeRect));
    c.CopyMode = saved;
}

void TpelDrawImage::CopyPictureToZoomBitmap()
{
    ZoomBitmap = Picture();
    if (!ZoomBitmap.Empty())
        ZoomBitmap.SetPixelFormat(pf24bit);
}

void TpelDrawImage::CopyCloneArea(const TRect& r)
{
    SizeToInclusive(WorkBitmap, r);
    if (!Picture().Empty())
        WorkBitmap.SetPixelFormat(Picture().PixelFormat());
    if (WorkBitmap.Empty())
        return;
    TCanvas& c = WorkBitmap.Canvas();
    const TCopyMode saved = c.CopyMode;
    c.CopyMode = cmSrcCopy;
    c.CopyRect(TRect{0, 0, WorkBitmap.Width(), WorkBitmap.Height()}, Canvas(), InclusiveToCopy(r));
    c.CopyMode = saved;
}

void TpelDrawImage::MoveStartPoint(int x, int y)
{
    Drag.StartPoint.X += x - Drag.LastPoint.X;
    Drag.StartPoint.Y += y - Drag.LastPoint.Y;
}
