#pragma once
// Golden pictures: tests/data/golden/<name>.png of the source tree, compared with a tolerance
// (at most 1 % of the pixels may differ, none by more than 8 in a channel).
// KV_REGENERATE_GOLDEN=1 writes the pictures anew instead of comparing. A comparison that
// fails leaves the picture made as <name>.actual.png beside the test programs of the build
// tree (build/test/tests/) and names it; one that passes removes a stale one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

inline std::string ActualPath(const std::string& name)
{
    const char* build = std::getenv("KORVANTA_BUILD_DIR");
    return std::string(build ? build : ".") + "/tests/" + name + ".actual.png";
}

// Writes the picture made where ActualPath says (or removes a stale one when it matched) and
// returns the text that a failure message ends with.
inline std::string KeepActual(const QImage& made, const std::string& name, bool matches)
{
    const QString actual = QString::fromStdString(ActualPath(name));
    if (matches) {
        QFile::remove(actual);
        return {};
    }
    QDir().mkpath(QFileInfo(actual).absolutePath());
    if (!made.save(actual))
        return "; the picture made could not be written to " + actual.toStdString();
    return "; the picture made is in " + actual.toStdString();
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
    const bool sameSize = !stored.isNull() && stored.size() == made.size();
    int differing = 0, worst = 0;
    for (int y = 0; sameSize && y < made.height(); ++y)
        for (int x = 0; x < made.width(); ++x) {
            const QRgb a = made.pixel(x, y), b = stored.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            differing += d > 0;
            worst = std::max(worst, d);
        }
    const int allowed = made.width() * made.height() * kDifferingPercent / 100;
    const std::string where = KeepActual(made, name, sameSize && differing <= allowed && worst <= kWorstChannel);
    ASSERT_FALSE(stored.isNull()) << path.toStdString() << " (KV_REGENERATE_GOLDEN=1 writes it)" << where;
    ASSERT_EQ(stored.size(), made.size()) << name << where;
    EXPECT_LE(differing, allowed) << name << where;
    EXPECT_LE(worst, kWorstChannel) << name << where;
}

} // namespace golden
