#include "editing/brush/jvAirBrush.h"

#include "platform/vcl/SysUtils.h"

#include <array>
#include <chrono>

std::int64_t TjvAirBrush::SystemTicks()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TjvAirBrush::TjvAirBrush(Clock clock) : m_clock(clock ? std::move(clock) : Clock(&SystemTicks))
{
    m_lastPaintTime = m_clock();
}

void TjvAirBrush::SetSize(int value)
{
    if (value < 10 || value > 200 || value == m_size)
        return;
    m_size = value;
    BuildBrushBitmap();
}

void TjvAirBrush::SetColor(TColor value)
{
    m_color = value;
    BuildBrushBitmap();
}

void TjvAirBrush::SetIntensity(int value)
{
    if (value < 1 || value > 100 || value == m_intensity)
        return;
    m_intensity = value;
}

void TjvAirBrush::SetShape(TAirBrushShape value)
{
    m_shape = value;
    BuildBrushBitmap();
}

bool TjvAirBrush::IntervalElapsed()
{
    const std::int64_t now = m_clock();
    if (now - m_lastPaintTime <= std::int64_t(m_interval))
        return false;
    m_lastPaintTime = now;
    return true;
}

void TjvAirBrush::BuildBrushBitmap()
{
    TBitmap& b = m_brushBitmap;
    b.Transparent = false;
    b.SetSize(m_size, m_size);
    TCanvas& c = b.Canvas();
    c.Brush.Style = bsSolid;
    c.Brush.Color = clWhite;
    c.FillRect(TRect(0, 0, b.Width(), b.Height()));
    c.Pen.Style = psClear;
    c.Brush.Color = m_color;
    const int w = b.Width();
    const int h = b.Height();
    switch (m_shape) {
    case absRound:
        c.Ellipse(0, 0, w, h);
        break;
    case absSquare:
        c.Rectangle(0, 0, w, h);
        break;
    case absLeftSlash: {
        const std::array<TPoint, 4> band{TPoint(0, 0), TPoint(w / 4, 0), TPoint(w - 1, h - 1),
                                         TPoint(w - 1 - w / 4, h - 1)};
        c.Polygon(band);
        break;
    }
    case absRightSlash: {
        const std::array<TPoint, 4> band{TPoint(0, h - 1), TPoint(w / 4, h - 1), TPoint(w - 1, 0),
                                         TPoint(w - 1 - w / 4, 0)};
        c.Polygon(band);
        break;
    }
    case absHorizontal:
        c.Rectangle(0, h / 4, w - 1, h - 1 - h / 4);
        break;
    case absVertical:
        c.Rectangle(w / 4, 0, w - 1 - w / 4, h - 1);
        break;
    case absSpray: {
        // A disc of single dots on a 3-pixel grid.
        const int cx = w / 2;
        const int cy = h / 2;
        for (int y = 0; y < h; y += 3)
            for (int x = 0; x < w; x += 3)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < cx * cx)
                    c.SetPixel(x, y, m_color);
        break;
    }
    }
    b.SetTransparentColor(clWhite);
    b.Transparent = true;
}

void TjvAirBrush::PaintAt(TCanvas& canvas, int x, int y)
{
    const int w = m_brushBitmap.Width();
    const int h = m_brushBitmap.Height();
    if (w == 0 || h == 0)
        return;
    const int half = m_size / 2;
    const int left = x - half;
    const int top = y - half;

    TBitmap background(w, h);
    background.Canvas().CopyRect(TRect(0, 0, w, h), canvas,
                                 TRect(left, top, left + m_size, top + m_size));
    background.SetPixelFormat(pf24bit);
    TBitmap dab(m_brushBitmap);
    dab.SetPixelFormat(pf24bit);
    TBitmap out(w, h);
    out.SetPixelFormat(pf24bit);

    const double f = m_intensity / 100.0;
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* bg = background.ScanLine(row);
        const std::uint8_t* d = dab.ScanLine(row);
        std::uint8_t* o = out.ScanLine(row);
        for (int i = 0; i < w * 3; i += 3) {
            if (d[i] == 255 && d[i + 1] == 255 && d[i + 2] == 255) {
                o[i] = o[i + 1] = o[i + 2] = 255;
                continue;
            }
            for (int k = 0; k < 3; ++k)
                o[i + k] = std::uint8_t(Round((1 - f) * bg[i + k] + f * d[i + k]));
        }
    }
    out.SetTransparentColor(clWhite);
    out.Transparent = true;
    canvas.Draw(left, top, out);
}
