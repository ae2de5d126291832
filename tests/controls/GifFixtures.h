#pragma once
// Tiny GIF files made by the tests: a four-colour palette (0 white, 1 red, 2 green, 3 blue)
// and frames of one colour each, every frame with its graphic control block.
#include <QByteArray>

#include <vector>

namespace gif {

enum Color { White = 0, Red = 1, Green = 2, Blue = 3 };

struct FrameShape {
    int left, top, width, height;
    Color color;
    int delay;  // hundredths of a second
};

inline void Put16(QByteArray& b, int v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

// The pixels as 3-bit LZW codes, a clear code before every two, so that the code width
// never grows.
inline QByteArray ImageData(int count, Color color)
{
    const int clear = 4, end = 5;
    std::vector<int> codes;
    for (int i = 0; i < count; i += 2) {
        codes.push_back(clear);
        codes.push_back(color);
        if (i + 1 < count)
            codes.push_back(color);
    }
    codes.push_back(end);
    QByteArray packed;
    unsigned bits = 0;
    int nbits = 0;
    for (int c : codes) {
        bits |= unsigned(c) << nbits;
        nbits += 3;
        while (nbits >= 8) {
            packed.append(char(bits & 0xFF));
            bits >>= 8;
            nbits -= 8;
        }
    }
    if (nbits)
        packed.append(char(bits & 0xFF));
    QByteArray out;
    out.append(char(2));  // LZW minimum code size
    for (qsizetype i = 0; i < packed.size(); i += 255) {
        const QByteArray chunk = packed.mid(i, 255);
        out.append(char(chunk.size()));
        out.append(chunk);
    }
    out.append(char(0));
    return out;
}

inline QByteArray Make(int width, int height, const std::vector<FrameShape>& frames)
{
    QByteArray b("GIF89a");
    Put16(b, width);
    Put16(b, height);
    b.append(char(0xF1));  // global colour table of 4 entries
    b.append(char(0));
    b.append(char(0));
    const unsigned char palette[] = {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    b.append(reinterpret_cast<const char*>(palette), sizeof palette);
    for (const FrameShape& f : frames) {
        b.append("\x21\xF9\x04", 3);
        b.append(char(0x04));  // disposal 1 (keep), not transparent
        Put16(b, f.delay);
        b.append(char(0));
        b.append(char(0));
        b.append(char(0x2C));
        Put16(b, f.left);
        Put16(b, f.top);
        Put16(b, f.width);
        Put16(b, f.height);
        b.append(char(0));
        b.append(ImageData(f.width * f.height, f.color));
    }
    b.append(char(0x3B));
    return b;
}

// Three frames on a 6 x 6 screen: red all over (10), green 2 x 2 at (2, 2) (20), blue 3 x 2
// at (1, 3) (30).
inline QByteArray ThreeFrames()
{
    return Make(6, 6, {{0, 0, 6, 6, Red, 10}, {2, 2, 2, 2, Green, 20}, {1, 3, 3, 2, Blue, 30}});
}

inline QByteArray OneFrame() { return Make(4, 4, {{0, 0, 4, 4, Blue, 0}}); }

} // namespace gif
