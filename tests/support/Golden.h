#pragma once
// Golden pictures: tests/data/golden/<name>.png of the source tree, compared with a tolerance
// (at most 1 % of the pixels may differ, none by more than 8 in a channel).
// KV_REGENERATE_GOLDEN=1 writes the pictures anew instead of comparing.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace golden {

inline bool Regenerate()
{
    const char* v = std::getenv("KV_REGENERATE_GOLDEN");
    return v && std::strcmp(v, "1") == 0;
}

inline std::string Path(const std::string& name)
{
    const char* source = std::getenv("KORVANTA_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/data/golden/" + name + ".png";
}

// The largest difference of one channel allowed, and the share of pixels that may differ.
constexpr int kWorstChannel = 8;
constexpr int kDifferingPercent = 1;

inline void Expect(const QImage& picture, const std::string& name)
{
    const QImage made = picture.convertToFormat(QImage::Format_RGB32);
    const QString path = QString::fromStdString(Path(name));
    if (Regenerate()) {
        EXPECT_TRUE(made.save(path)) << path.toStdString();
        return;
    }
    const QImage stored = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(stored.isNull()) << path.toStdString() << " (KV_REGENERATE_GOLDEN=1 writes it)";
    ASSERT_EQ(stored.size(), made.size()) << name;
    int differing = 0, worst = 0;
    for (int y = 0; y < made.height(); ++y)
        for (int x = 0; x < made.width(); ++x) {
            const QRgb a = made.pixel(x, y), b = stored.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            differing += d > 0;
            worst = std::max(worst, d);
        }
    EXPECT_LE(differing, made.width() * made.height() * kDifferingPercent / 100) << name;
    EXPECT_LE(worst, kWorstChannel) << name;
}

} // namespace golden
