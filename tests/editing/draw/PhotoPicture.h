#pragma once
// A photo-like test picture for the drawing tools (no test framework needed, so the tool
// window of tests/tools uses it too).
#include "platform/vcl/Graphics.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace tooltest {

// Sky, a sun, hills, a flat roof and a striped field: smooth areas, flat areas, edges and
// fine detail (white pictures hide what colour and distortion brushes do).
inline TBitmap PhotoPicture(int w = 64, int h = 64)
{
    QImage img(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    QPainter p(&img);
    const double sx = w / 64.0, sy = h / 64.0;
    QLinearGradient sky(0, 0, 0, 36 * sy);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(190, 220, 250));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(46 * sx, 12 * sy), 7 * sx, 7 * sy);
    p.setBrush(QColor(60, 140, 50));
    p.drawEllipse(QPointF(16 * sx, 58 * sy), 34 * sx, 24 * sy);
    p.fillRect(QRectF(36 * sx, 28 * sy, 20 * sx, 10 * sy), QColor(170, 40, 30));
    for (int x = 0; x < w; x += 4)
        p.fillRect(QRectF(x, 50 * sy, 2, 14 * sy), QColor(120 + (x * 2) % 120, 90, 40));
    p.end();
    TBitmap b;
    b.SetImage(img.convertToFormat(QImage::Format_BGR888).copy(0, 0, w, h), pf24bit);
    return b;
}

} // namespace tooltest
