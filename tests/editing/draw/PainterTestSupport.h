#pragma once
// Shared by the painter tests: pixel comparison, the effect tree's numbers, and the golden
// pictures of the paint effects (the photo-like fixture they are made from, where they live,
// tests/data/golden/painter-NN.png, and the comparison with a tolerance;
// KV_REGENERATE_GOLDEN=1 writes the pictures anew into the source tree instead).
#include "editing/draw/fPainterEffects.h"
#include "platform/vcl/Graphics.h"
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

// Same size and the same bytes in every row.
inline bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), std::size_t(a.Width()) * 3) != 0)
            return false;
    return true;
}

inline QString GoldenPath(int number)
{
    const char* source = std::getenv("KORVANTA_SOURCE_DIR");
    return QString::fromUtf8(source ? source : ".") +
           QStringLiteral("/tests/data/golden/painter-%1.png").arg(number, 2, 10, QChar('0'));
}

inline bool Regenerate()
{
    const char* v = std::getenv("KV_REGENERATE_GOLDEN");
    return v && std::strcmp(v, "1") == 0;
}

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

// The dialog's preview of effect number against its golden picture (or written as it).
// At most 1 % of the pixels may differ, none by more than 8 in a channel.
inline void ExpectGolden(const TPainterEffectsF& dialog, int number)
{
    const QImage made = dialog.ui()->Image->Picture().Image().convertToFormat(QImage::Format_RGB32);
    const QString path = GoldenPath(number);
    if (Regenerate()) {
        ASSERT_TRUE(made.save(path)) << path.toStdString();
        return;
    }
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(golden.isNull()) << path.toStdString() << " (KV_REGENERATE_GOLDEN=1 writes it)";
    ASSERT_EQ(golden.size(), made.size()) << number;
    int differing = 0, worst = 0;
    for (int y = 0; y < made.height(); ++y)
        for (int x = 0; x < made.width(); ++x) {
            const QRgb a = made.pixel(x, y), b = golden.pixel(x, y);
            const int d =
                std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            differing += d > 0;
            worst = std::max(worst, d);
        }
    EXPECT_LE(differing, made.width() * made.height() / 100) << "effect " << number;
    EXPECT_LE(worst, 8) << "effect " << number;
}

} // namespace painter_test
