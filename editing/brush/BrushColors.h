#pragma once
// Colour helpers of the drawing tools. System colours are resolved to RGB first.
#include "platform/vcl/Colors.h"

int ClampToRange(int value, int low, int high);
int ClampByte(int value);

// Per channel trunc(c1 * p / 100) + trunc(c2 * (100 - p) / 100), p = min(|percent|, 100).
TColor MixColors(TColor c1, TColor c2, int percent);
// A lighter tint of c: c mixed at 36 % with a colour pulled towards white.
TColor LighterColor(TColor c);
// A darker shade of c: c mixed at 52 % with 82 % of itself.
TColor DarkerColor(TColor c);
// Per channel (c1 + c2) div 2.
TColor AverageColor(TColor c1, TColor c2);
