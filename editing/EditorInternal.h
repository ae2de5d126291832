#pragma once
// Shared by the editor's units: the hourglass of one handler, reset on every way out.
#include "platform/vcl/Application.h"

class TEditorBusy {
public:
    TEditorBusy() { Screen->SetCursor(crHourGlass); }
    ~TEditorBusy() { Screen->SetCursor(crDefault); }
    TEditorBusy(const TEditorBusy&) = delete;
    TEditorBusy& operator=(const TEditorBusy&) = delete;
};

#include "imaging/LEADImage.h"

// The view's floater, or null without one (asking the control raises when it has no picture).
inline LBitmap* ViewFloater(TLEADImage& view)
{
    if (view.BitmapWidth() <= 0 || (view.AutoFloater() && !view.HasRgn()))
        return nullptr;
    return view.Floater();
}
