#pragma once
// Shared by the painter tests: pixel comparison, the effect tree's numbers, and the golden
// pictures of the paint effects (the photo-like fixture they are made from, where they live,
// tests/data/golden/painter-NN.png, and the comparison with a tolerance;
// KV_REGENERATE_GOLDEN=1 writes the pictures anew into the source tree instead).
#include "editing/draw/fPainterEffects.h"
#include "platform/vcl/Graphics.h"
#include "support/Golden.h"
#include "support/SamePixels.h"
#include "ui_fPainterEffects.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QList>
#include <QPainter>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace painter_test {

using ::SamePixels;

// Sky, a sun, hills and a striped field: smooth areas, edges and fine detail.
inline TBitmap Landscape()
{
    QImage img(64, 48, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, 30);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(190, 220, 250));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(46, 12), 7, 7);
    p.setBrush(QColor(60, 140, 50));
    p.drawEllipse(QPointF(16, 44), 30, 16);
    for (int x = 0; x < 64; x += 4)
        p.fillRect(x, 40, 2, 8, QColor(120 + x, 90, 40));
    p.end();
    TBitmap b;
    b.SetImage(img.convertToFormat(QImage::Format_BGR888), pf24bit);
    return b;
}

// The effect numbers the dialog's tree offers, in tree order.
inline QList<int> TreeEffectNumbers(const TPainterEffectsF& dialog)
{
    QList<int> numbers;
    const QTreeWidget* tree = dialog.ui()->ETree;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        numbers << tree->topLevelItem(i)->data(0, Qt::UserRole).toInt();
    return numbers;
}

// The dialog's preview of effect number against its golden picture painter-NN.
inline void ExpectGolden(const TPainterEffectsF& dialog, int number)
{
    golden::Expect(dialog.ui()->Image->Picture().Image(), QStringLiteral("painter-%1").arg(number, 2, 10, QChar('0')).toStdString());
}

} // namespace painter_test
