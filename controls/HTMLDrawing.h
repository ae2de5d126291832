#pragma once
// Drawing helpers of the mini-HTML items and the lists: the gradient fill and shell icons.
#include "platform/vcl/CanvasText.h"
#include "platform/vcl/Graphics.h"

#include <QString>

// Fills r with `steps` bands from `from` to `to`, left to right when horizontal, else top
// to bottom. Band i has the colour from + Round(i * (to - from) / steps) per channel and
// starts at Round(i * band size) with the size Trunc(band size) + 1, cut to r (band size =
// r's width or height / steps). With border other than clNone, r is framed in it. The
// canvas brush and pen are left as they were.
void FillGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r,
                  int steps, TColor border = clNone);

// The icon the desktop shows for a file or folder: by its path when it exists, else by the
// extension of the name. Small icons are 16 pixels, large ones 32, times scale. Draws with
// its top-left corner at (x, y) when draw is set. Returns the icon's size; a number instead
// of a name (an index into a system list that does not exist here) is no icon: nothing is
// drawn and the size is 0.
TSize DrawShellIcon(TCanvas& canvas, int x, int y, const QString& fileOrIndex, bool large, bool draw,
                    double scale = 1.0);
