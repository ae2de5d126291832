#include "platform/vcl/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QColor PaletteColor(int index)
{
    const QPalette pal = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                             ? QGuiApplication::palette()
                             : QPalette();
    using R = QPalette::ColorRole;
    const auto active = [&](R role) { return pal.color(QPalette::Active, role); };
    const auto inactive = [&](R role) { return pal.color(QPalette::Inactive, role); };
    switch (index) {
    case 0: return active(R::Mid);                           // scroll bar
    case 1: return active(R::Dark);                          // desktop
    case 2: return active(R::Highlight);                     // active caption
    case 3: return inactive(R::Mid);                         // inactive caption
    case 4: return active(R::Window);                        // menu
    case 5: return active(R::Base);                          // window
    case 6: return active(R::Shadow);                        // window frame
    case 7: return active(R::WindowText);                    // menu text
    case 8: return active(R::Text);                          // window text
    case 9: return active(R::HighlightedText);               // caption text
    case 10: return active(R::Window);                       // active border
    case 11: return inactive(R::Window);                     // inactive border
    case 12: return active(R::Dark);                         // application work space
    case 13: return active(R::Highlight);
    case 14: return active(R::HighlightedText);
    case 15: return active(R::Window);                       // button face
    case 16: return active(R::Dark);                         // button shadow
    case 17: return pal.color(QPalette::Disabled, R::Text);  // grey text
    case 18: return active(R::ButtonText);
    case 19: return inactive(R::WindowText);                 // inactive caption text
    case 20: return active(R::Light);                        // button highlight
    case 21: return active(R::Shadow);                       // 3D dark shadow
    case 22: return active(R::Midlight);                     // 3D light
    case 23: return active(R::ToolTipText);
    case 24: return active(R::ToolTipBase);
    case 26: return active(R::Link);                         // hot light
    case 27: return active(R::Highlight);                    // gradient of active caption
    case 28: return inactive(R::Mid);                        // gradient of inactive caption
    case 29: return active(R::Highlight);                    // menu highlight
    case 30: return active(R::Window);                       // menu bar
    default: return QColor(Qt::black);
    }
}

} // namespace

TColor ColorToRGB(TColor c)
{
    if (!IsSystemColor(c))
        return c;
    return FromQColor(PaletteColor(c & 0xFF));
}

QColor ToQColor(TColor c)
{
    if (c == clNone)
        return QColor(Qt::transparent);
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return RGB(rgb.red(), rgb.green(), rgb.blue());
}
