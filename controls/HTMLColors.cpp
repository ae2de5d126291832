#include "controls/HTMLColors.h"

#include "platform/vcl/SysUtils.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, TColor>, 40> kColorNames{{
    {"clred", clRed},
    {"clblack", clBlack},
    {"clblue", clBlue},
    {"clgreen", clGreen},
    {"claqua", clAqua},
    {"clyellow", clYellow},
    {"clfuchsia", clFuchsia},
    {"clwhite", clWhite},
    {"cllime", clLime},
    {"clsilver", clSilver},
    {"clgray", clGray},
    {"clolive", clOlive},
    {"clnavy", clNavy},
    {"clpurple", clPurple},
    {"clteal", clTeal},
    {"clmaroon", clMaroon},
    {"clbackground", clBackground},
    {"clactivecaption", clActiveCaption},
    {"clinactivecaption", clInactiveCaption},
    {"clmenu", clMenu},
    {"clwindow", clWindow},
    {"clwindowframe", clWindowFrame},
    {"clmenutext", clMenuText},
    {"clwindowtext", clWindowText},
    {"clcaptiontext", clCaptionText},
    {"clactiveborder", clActiveBorder},
    {"clinactiveborder", clInactiveBorder},
    {"clappworkspace", clAppWorkSpace},
    {"clhighlight", clHighlight},
    {"clhighlighttext", clHighlightText},
    {"clbtnface", clBtnFace},
    {"clbtnshadow", clBtnShadow},
    {"clgraytext", clGrayText},
    {"clbtntext", clBtnText},
    {"clinactivecaptiontext", clInactiveCaptionText},
    {"clbtnhighlight", clBtnHighlight},
    {"cl3ddkshadow", cl3DDkShadow},
    {"cl3dlight", cl3DLight},
    {"clinfotext", clInfoText},
    {"clinfobk", clInfoBk},
}};

int HexPair(const QString& text, int at)
{
    return at + 2 <= text.size() ? StrToIntDef(QLatin1Char('$') + text.mid(at, 2), 0) : 0;
}

} // namespace

TColor HTMLColorValue(const QString& name)
{
    const QString lower = name.trimmed().toLower();
    for (const auto& [n, c] : kColorNames)
        if (lower == QLatin1String(n))
            return c;
    return clBlack;
}

TColor HexColorValue(const QString& text)
{
    const QString t = text.trimmed();
    const int start = t.startsWith(QLatin1Char('#')) ? 1 : 0;
    return RGB(HexPair(t, start), HexPair(t, start + 2), HexPair(t, start + 4));
}

TColor HTMLAttributeColor(const QString& value)
{
    return value.trimmed().startsWith(QLatin1Char('#')) ? HexColorValue(value) : HTMLColorValue(value);
}
