// The clipboard blend of TpelDrawImage: the system clipboard's picture mixed into the work
// bitmap.
#include "editing/draw/DrawImage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void TpelDrawImage::BlendWithClipboard(int percent)
{
    if (WorkBitmap.Empty())
        return;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasImage())
        return;
    TBitmap pasted;
    pasted.SetImage(clipboard->image(), pf24bit);
    if (pasted.Width() != WorkBitmap.Width() || pasted.Height() != WorkBitmap.Height())
        return;
    const TFxBitmap work = FxView(WorkBitmap);
    PaintFX.Blend(work, FxView(pasted), work, percent / 100.0);
    ShowWorkBitmap();
}
