#pragma once
// TpelPaintFX: filters over 24-bit pictures (three bytes per pixel: blue, green, red), each
// working in place on the rows of the bitmap it is given. Plain C++: the drawing component
// hands its bitmaps in as TFxBitmap views.
//
// Conventions: channel values pass through ClampByte; integer divisions cut towards zero;
// "round" rounds halves to the even neighbour. Routines given a size or a step below 1 do
// nothing, so no routine divides by zero or loops without end.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// A view of a 24-bit picture: Width x Height pixels, row y at Bits + y * Stride.
struct TFxBitmap {
    std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t Stride = 0;

    std::uint8_t* Row(int y) const { return Bits + y * Stride; }
    std::uint8_t* Pixel(int x, int y) const { return Row(y) + 3 * x; }
    bool Empty() const { return Width <= 0 || Height <= 0 || !Bits; }
    // The view of rows top .. bottom - 1.
    TFxBitmap Rows(int top, int bottom) const { return {Row(top), Width, bottom - top, Stride}; }
};

// Runs f(top, bottom) over bands of rows that together cover 0 .. height - 1 once: on every
// core for pictures of a megapixel or more, else on the calling thread in one call. For work
// whose rows are independent (each band writes only its own rows).
void RunInRowBands(int width, int height, const std::function<void(int top, int bottom)>& f);

// A picture that owns its pixels (rows packed), for copies and tests.
class TFxImage {
public:
    TFxImage() = default;
    TFxImage(int width, int height, std::uint8_t fill = 0);
    explicit TFxImage(const TFxBitmap& copyOf);
    TFxBitmap View() { return {m_bits.data(), m_width, m_height, std::ptrdiff_t(m_width) * 3}; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::uint8_t* Pixel(int x, int y) { return m_bits.data() + (std::size_t(y) * m_width + x) * 3; }
    const std::uint8_t* Pixel(int x, int y) const { return m_bits.data() + (std::size_t(y) * m_width + x) * 3; }
    const std::vector<std::uint8_t>& Bytes() const { return m_bits; }
    bool operator==(const TFxImage&) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_bits;
};

// The random generator of the noise routines: a 32-bit linear congruential generator, so a
// seed gives the same noise on every run. Random(n) gives 0 .. n - 1; Random(0) (and any
// n below 1) gives 0.
class TFxRandom {
public:
    explicit TFxRandom(std::uint32_t seed = 0) : m_seed(seed) {}
    void SetSeed(std::uint32_t seed) { m_seed = seed; }
    std::uint32_t Seed() const { return m_seed; }
    int Random(int n);

private:
    std::uint32_t m_seed;
};
// The generator that TpelPaintFX uses unless it is given another.
TFxRandom& PaintFXRandom();

class TpelPaintFX {
public:
    explicit TpelPaintFX(TFxRandom* random = nullptr) : m_random(random ? random : &PaintFXRandom()) {}

    static std::uint8_t ClampByte(int value) { return value > 255 ? 255 : value < 0 ? 0 : std::uint8_t(value); }
    static int ClampRange(int value, int low, int high) { return value > high ? high : value < low ? low : value; }
    // Rounds halves to the even neighbour.
    static int RoundEven(double v) { return int(std::nearbyint(v)); }
    // The angle of (x, y): +-pi/2 when x = 0 (minus when y <= 0), atan(y / x) when x > 0,
    // atan(y / x) + pi when x < 0 (so the range is -pi/2 .. 3 pi / 2).
    static double ArcTan2(double y, double x);

    // Colour routines (exact integer arithmetic).
    void AddColorNoise(const TFxBitmap& bmp, int amount);
    void AddMonoNoise(const TFxBitmap& bmp, int amount);
    void Contrast(const TFxBitmap& bmp, int amount);
    void Lightness(const TFxBitmap& bmp, int amount);
    void Saturation(const TFxBitmap& bmp, int amount);
    void Solarize(const TFxBitmap& bmp, int threshold);
    void Posterize(const TFxBitmap& bmp, int level);
    void FilterRed(const TFxBitmap& bmp, int low, int high) { Band(bmp, 2, low, high, false); }
    void FilterGreen(const TFxBitmap& bmp, int low, int high) { Band(bmp, 1, low, high, false); }
    void FilterBlue(const TFxBitmap& bmp, int low, int high) { Band(bmp, 0, low, high, false); }
    void FilterXRed(const TFxBitmap& bmp, int low, int high) { Band(bmp, 2, low, high, true); }
    void FilterXGreen(const TFxBitmap& bmp, int low, int high) { Band(bmp, 1, low, high, true); }
    void FilterXBlue(const TFxBitmap& bmp, int low, int high) { Band(bmp, 0, low, high, true); }
    // color is an RGB value 0x00BBGGRR.
    void MaskOtherColors(const TFxBitmap& bmp, std::uint32_t color);
    void MaskColor(const TFxBitmap& bmp, std::uint32_t color);

    // Neighbourhood and geometry routines.
    void SplitBlur(const TFxBitmap& bmp, int amount);
    void GaussianBlur(const TFxBitmap& bmp, int amount);
    void Mosaic(const TFxBitmap& bmp, int size);
    void Emboss(const TFxBitmap& bmp);
    void EdgeBlend(const TFxBitmap& bmp, int amount);
    // Twist and FishEye read from source (an unchanged copy of the picture, of dest's size)
    // and write into dest: the rows top .. bottom - 1 (bottom < 0: to the last row), so that
    // bands of rows can be done on several threads.
    void Twist(const TFxBitmap& source, const TFxBitmap& dest, int amount, int top = 0, int bottom = -1);
    void FishEye(const TFxBitmap& source, const TFxBitmap& dest, double amount, int top = 0, int bottom = -1);
    void Plasma(const TFxBitmap& source, const TFxBitmap& map, int turbulence, int amount,
                const TFxBitmap& dest);
    void TileSplit(const TFxBitmap& bmp, int amount) { Tiles(bmp, amount, false); }
    void TileOverlap(const TFxBitmap& bmp, int amount) { Tiles(bmp, amount, true); }

private:
    void Band(const TFxBitmap& bmp, int channel, int low, int high, bool keepOthers);
    void Tiles(const TFxBitmap& bmp, int amount, bool overlap);
    TFxRandom* m_random;

    // --- further effects and the distortion brushes' routines (PaintFX_warps.cpp, _patterns.cpp) --
public:
    // Turns source about (cx, cy) by angle degrees into dest: each destination pixel whose
    // source point lies inside source takes the bilinear mix there; the others are not written.
    // When the sizes differ the source is centred on dest.
    void SmoothRotate(const TFxBitmap& source, const TFxBitmap& dest, int cx, int cy, double angle);
    // Row by row (each row copied first, so source may be dest): row y of source is stretched
    // into a span of row y of dest chosen by mode 7..13 (narrowed sides, narrowing towards the
    // top, the bottom, top and bottom, the middle; a centred span of a half or a full sine
    // period). A span whose ends cross receives the row mirrored; pixels outside stay.
    void RowSqueeze(const TFxBitmap& source, const TFxBitmap& dest, int amount, int mode);
    // Row by row: the left half of row y is stretched into (0 .. o) and the right half into
    // (W - 1 - o .. W - 1), o following a sine (mode 14) or a cosine (mode 15) down the picture
    // up to min(amount, W div 2). Amount 0 copies source. The middle and the last column stay.
    void RowSplit(const TFxBitmap& source, const TFxBitmap& dest, int amount, int mode);

    // Does nothing (the effect that shows the picture as it is).
    void EmptyEffect() {}
    // Moves the picture down by amplitude rows with a vertical sine ripple along x (mode 0),
    // a ripple of half the period (1), or one modulated by factor (2). Pictures of fewer than
    // 3 * amplitude + 1 rows, and amplitudes below 1, stay as they are.
    void SineWave(const TFxBitmap& bmp, int amplitude, int factor, int mode);
    // The wave family: dest (of source's size) becomes a copy of source, then every source
    // pixel is also copied to the place its row and column terms move it to (periods and
    // amplitudes below 1 leave only the copy).
    void ShiftWave1(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period) { ShiftWave(source, dest, amplitude, period, 1); }
    void ShiftWave2(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period) { ShiftWave(source, dest, amplitude, period, 2); }
    void ShiftWave3(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period) { ShiftWave(source, dest, amplitude, period, 3); }
    void ShiftWave4(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period) { ShiftWave(source, dest, amplitude, period, 4); }
    void ShiftWave5(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period) { ShiftWave(source, dest, amplitude, period, 5); }
    void ShiftWave6(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period) { ShiftWave(source, dest, amplitude, period, 6); }
    void ShiftWave7(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period) { ShiftWave(source, dest, amplitude, period, 7); }
    void ShiftWave8(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period) { ShiftWave(source, dest, amplitude, period, 8); }
    // The colour of index 0..15 of the 16-colour palette as RGB 0x00BBGGRR; others: white.
    static std::uint32_t IndexToColor(int index);
    // The Mandelbrot set (mandelbrot) or the Julia set of c = i over the window
    // (xMin, yMin) .. (xMax, yMax), coloured by escape count; replaces every pixel.
    void Fractal(const TFxBitmap& bmp, int maxIterations, double xMin, double yMin, double xMax, double yMax,
                 bool mandelbrot);
    // Rows become runs of repeated pixels whose length follows a triangle wave down the picture.
    void ZigZagSmear(const TFxBitmap& bmp, int amount);
    // Column x moves down by x mod (s + 1) rows, s = min(H div 2, amount).
    void SawtoothShift(const TFxBitmap& bmp, int amount);
    // Every pixel but the first of a row drops by a random 0 .. s - 1 rows, s = min(H div 2,
    // amount); the generator is seeded from the clock first.
    void RandomDrip(const TFxBitmap& bmp, int amount);
    // Bright pixels are copied up by up to amount rows in proportion to their brightness.
    void HeightMap(const TFxBitmap& bmp, int amount);
    // dest := round((1 - amount) * first + amount * second) per channel; the three pictures
    // must have one size (otherwise nothing happens). dest may be either source.
    void Blend(const TFxBitmap& first, const TFxBitmap& second, const TFxBitmap& dest, double amount);
    // The seed RandomDrip takes (by default the milliseconds of the wall clock).
    std::function<std::uint32_t()> Clock;

private:
    void ShiftWave(const TFxBitmap& source, const TFxBitmap& dest, double amplitude, int period, int variant);
};
