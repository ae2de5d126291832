#pragma once
// Shared by the benchmarks: camera-like pictures made by the benchmark itself, timing, and
// running a peer tool.
#include "platform/imagelib/imagelib.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <functional>
#include <vector>

namespace benchsupport {

constexpr int kLong = 6000, kShort = 4000;  // 24 megapixels
constexpr int kQFactor = 15;                // quality 91, as a camera writes

using Clock = std::chrono::steady_clock;

inline double BestOf(int runs, const std::function<bool()>& once)
{
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        if (!once())
            return -1;
        const double t = std::chrono::duration<double>(Clock::now() - t0).count();
        best = best < 0 ? t : std::min(best, t);
    }
    return best;
}

// Runs a program with VIPS_CONCURRENCY=1, output discarded; true on exit code 0.
inline bool RunOneThreaded(const QString& program, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VIPS_CONCURRENCY"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    const bool ok = process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok)
        std::fprintf(stderr, "%s failed (exit code %d): %s\n", qPrintable(program), process.exitCode(),
                     process.readAllStandardError().constData());
    return ok;
}

// A camera-like picture: broad light falling off to the corners, structure at several scales,
// hard edges and per-pixel sensor noise. Every fourth picture is portrait.
inline LBitmap CameraPicture(int seed)
{
    const bool portrait = seed % 4 == 3;
    const int w = portrait ? kShort : kLong, h = portrait ? kLong : kShort;
    LBitmap b;
    if (L_CreateBitmap(&b, w, h, 24) != LE_SUCCESS)
        return b;
    std::uint8_t* bits = b.BeginWrite();
    std::uint32_t rng = 0x9e3779b9u * std::uint32_t(seed + 7);
    std::vector<float> columns(std::size_t(w) * 3);
    for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c)
            columns[std::size_t(x) * 3 + c] = float(std::cos(x * (0.0021 + 0.0004 * c) + seed) * 45.0 +
                                                    std::sin(x * (0.19 + 0.01 * (seed % 3)) + c) * 12.0);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b.WriteRow(bits, y);
        const float light = float(std::sin(y * 0.0011 + seed * 0.3) * 35.0);
        const float band = ((y / 280 + seed) % 4 == 0) ? 30.0f : 0.0f;
        for (int x = 0; x < w; ++x) {
            const float edge = band != 0.0f && ((x / 310) & 1) ? band : 0.0f;
            for (int c = 0; c < 3; ++c) {
                rng ^= rng << 13;
                rng ^= rng >> 17;
                rng ^= rng << 5;
                const float v = 120.0f + columns[std::size_t(x) * 3 + c] + light + edge +
                                float(int(rng & 31) - 16) * 0.5f;
                row[3 * x + c] = std::uint8_t(std::clamp(v, 0.0f, 255.0f));
            }
        }
    }
    return b;
}

// count camera pictures IMG_1000.jpg ... in folder, made when missing (kept between runs);
// their paths, and their average size in megabytes in *megabytes. Empty on a write failure.
inline std::vector<std::string> CameraPictures(const std::string& folder, int count, double* megabytes)
{
    std::filesystem::create_directories(folder);
    std::vector<std::string> files;
    double total = 0;
    for (int i = 0; i < count; ++i) {
        const std::string name = folder + "/IMG_" + std::to_string(1000 + i) + ".jpg";
        if (!std::filesystem::exists(name)) {
            LBitmap b = CameraPicture(i);
            const int rc = L_SaveBitmap(name.c_str(), &b, LFMT_JPEG_422, 24, kQFactor, nullptr);
            L_FreeBitmap(&b);
            if (rc != LE_SUCCESS) {
                std::fprintf(stderr, "cannot write %s\n", name.c_str());
                return {};
            }
        }
        total += double(std::filesystem::file_size(name)) / 1e6;
        files.push_back(name);
    }
    if (megabytes)
        *megabytes = count > 0 ? total / count : 0;
    return files;
}

} // namespace benchsupport
