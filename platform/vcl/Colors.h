#pragma once
// TColor: the framework's colour value, a signed 32-bit integer.
//
//  - 0x00BBGGRR: a plain colour, red in the lowest byte (as stored in ini files and forms).
//  - clSystemColor | index (high byte 0xFF, e.g. clBtnFace = 0xFF00000F = -16777201): a
//    system colour, resolved through the application palette by ColorToRGB. Values with
//    only the top bit set (0x80000000 | index) are read the same way.
//  - clNone (0x1FFFFFFF) and clDefault (0x20000000): "no colour" and "the control's default".
#include <QColor>
#include <cstdint>

using TColor = std::int32_t;

constexpr TColor RGB(int r, int g, int b)
{
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

// System colours: clSystemColor | the system colour index.
constexpr TColor clSystemColor = TColor(0xFF000000u);
constexpr TColor SystemColorValue(int index) { return TColor(0xFF000000u | unsigned(index & 0xFF)); }
constexpr TColor clScrollBar = SystemColorValue(0);
constexpr TColor clBackground = SystemColorValue(1);
constexpr TColor clActiveCaption = SystemColorValue(2);
constexpr TColor clInactiveCaption = SystemColorValue(3);
constexpr TColor clMenu = SystemColorValue(4);
constexpr TColor clWindow = SystemColorValue(5);
constexpr TColor clWindowFrame = SystemColorValue(6);
constexpr TColor clMenuText = SystemColorValue(7);
constexpr TColor clWindowText = SystemColorValue(8);
constexpr TColor clCaptionText = SystemColorValue(9);
constexpr TColor clActiveBorder = SystemColorValue(10);
constexpr TColor clInactiveBorder = SystemColorValue(11);
constexpr TColor clAppWorkSpace = SystemColorValue(12);
constexpr TColor clHighlight = SystemColorValue(13);
constexpr TColor clHighlightText = SystemColorValue(14);
constexpr TColor clBtnFace = SystemColorValue(15);
constexpr TColor clBtnShadow = SystemColorValue(16);
constexpr TColor clGrayText = SystemColorValue(17);
constexpr TColor clBtnText = SystemColorValue(18);
constexpr TColor clInactiveCaptionText = SystemColorValue(19);
constexpr TColor clBtnHighlight = SystemColorValue(20);
constexpr TColor cl3DDkShadow = SystemColorValue(21);
constexpr TColor cl3DLight = SystemColorValue(22);
constexpr TColor clInfoText = SystemColorValue(23);
constexpr TColor clInfoBk = SystemColorValue(24);
constexpr TColor clHotLight = SystemColorValue(26);
constexpr TColor clGradientActiveCaption = SystemColorValue(27);
constexpr TColor clGradientInactiveCaption = SystemColorValue(28);
constexpr TColor clMenuHighlight = SystemColorValue(29);
constexpr TColor clMenuBar = SystemColorValue(30);

// True for a system colour (any value with the top bit set).
constexpr bool IsSystemColor(TColor c) { return c < 0; }

// A system colour becomes the 0x00BBGGRR value of its role in the application palette
// (QGuiApplication::palette(), e.g. clBtnFace the window background, clWindow the base of
// edit fields, clHighlight the selection); every other value is returned unchanged, clNone
// and clDefault included.
TColor ColorToRGB(TColor c);

// The colour as Qt draws it: clNone is fully transparent; anything else is ColorToRGB of it
// with the high byte dropped (so clDefault gives black: callers resolve it first).
QColor ToQColor(TColor c);
// An opaque TColor of a QColor (its alpha is ignored).
TColor FromQColor(const QColor& c);
