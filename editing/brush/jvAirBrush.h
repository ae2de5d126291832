#pragma once
// The air brush: paints a soft, semi-transparent dab of a fixed shape onto a canvas, and
// meters how often it may do so.
//
// The dab (BrushBitmap) is a Size x Size picture in Color on white; white is transparent. It
// is built when Size, Color or Shape is assigned, not before: a brush that nothing was
// assigned to has an empty dab and paints nothing. PaintAt blends the dab with what lies
// under it at Intensity percent; IntervalElapsed tells the caller whether the next dab may
// be painted.
#include "platform/vcl/Graphics.h"

#include <cstdint>
#include <functional>

enum TAirBrushShape : std::uint8_t {
    absRound, absSquare, absLeftSlash, absRightSlash, absHorizontal, absVertical, absSpray
};

class TjvAirBrush {
public:
    // Milliseconds from a fixed start; tests pass their own clock.
    using Clock = std::function<std::int64_t()>;
    // The steady clock of the process.
    static std::int64_t SystemTicks();

    explicit TjvAirBrush(Clock clock = {});

    int Size() const { return m_size; }
    TColor Color() const { return m_color; }
    int Intensity() const { return m_intensity; }
    TAirBrushShape Shape() const { return m_shape; }
    int Interval() const { return m_interval; }
    std::int64_t LastPaintTime() const { return m_lastPaintTime; }
    const TBitmap& BrushBitmap() const { return m_brushBitmap; }

    // 10..200; another value, or the current one, is ignored. Rebuilds the dab.
    void SetSize(int value);
    // Always rebuilds the dab.
    void SetColor(TColor value);
    // 1..100; another value, or the current one, is ignored. Applied at paint time.
    void SetIntensity(int value);
    // Always rebuilds the dab.
    void SetShape(TAirBrushShape value);
    // Milliseconds, stored as given.
    void SetInterval(int value) { m_interval = value; }

    // True when more than Interval milliseconds passed since the last time it said so (or
    // since construction); then the clock's time becomes LastPaintTime.
    bool IntervalElapsed();

    // One dab centred on (x, y). Does not consult IntervalElapsed: the caller does.
    void PaintAt(TCanvas& canvas, int x, int y);

private:
    void BuildBrushBitmap();

    Clock m_clock;
    TBitmap m_brushBitmap;
    int m_intensity = 10;
    int m_size = 40;
    TColor m_color = clBlack;
    TAirBrushShape m_shape = absRound;
    int m_interval = 100;
    std::int64_t m_lastPaintTime = 0;
};
