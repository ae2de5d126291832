#include "platform/vcl/Font.h"

#include "platform/vcl/CanvasText.h"

#include <QFontMetrics>

#include <cmath>
#include <cstdlib>

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long num = (long long)a * b;
    const long long q = (std::llabs(num) * 2 + std::llabs(c)) / (2 * std::llabs((long long)c));
    return int((num < 0) != (c < 0) ? -q : q);
}

TFont::TFont() : Name("MS Sans Serif"), Color(clWindowText), m_height(-11)
{
    // The first font made installs the canvas font factory (cheap; no Qt work).
    InitCanvasText();
}

int TFont::Size() const { return -MulDiv(m_height, 72, m_pixelsPerInch); }

void TFont::SetSize(int points) { m_height = -MulDiv(points, m_pixelsPerInch, 72); }

QString TFont::MapFaceName(const QString& name)
{
    const QString n = name.trimmed();
    if (n.isEmpty() || n.compare("MS Sans Serif", Qt::CaseInsensitive) == 0 ||
        n.compare("MS Shell Dlg", Qt::CaseInsensitive) == 0 ||
        n.compare("MS Shell Dlg 2", Qt::CaseInsensitive) == 0)
        return QStringLiteral("Sans Serif");
    return n;
}

QFont TFont::ToQFont() const
{
    QFont f(MapFaceName(Name));
    f.setStyleHint(QFont::SansSerif);
    f.setBold(Style.Contains(fsBold));
    f.setItalic(Style.Contains(fsItalic));
    f.setUnderline(Style.Contains(fsUnderline));
    f.setStrikeOut(Style.Contains(fsStrikeOut));
    int pixels = 11;
    if (m_height < 0) {
        pixels = -m_height;
    } else if (m_height > 0) {
        // A cell height: scale a probe so that ascent + descent comes out at Height.
        QFont probe(f);
        probe.setPixelSize(100);
        const int cell = QFontMetrics(probe).height();
        pixels = cell > 0 ? int(std::lround(m_height * 100.0 / cell)) : m_height;
    }
    f.setPixelSize(pixels < 1 ? 1 : pixels);
    return f;
}
