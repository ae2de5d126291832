#include "controls/GifFrames.h"

namespace {

int Byte(const QByteArray& d, qsizetype i) { return (unsigned char)d[i]; }
int Word(const QByteArray& d, qsizetype i) { return Byte(d, i) | (Byte(d, i + 1) << 8); }

// The end of the image data starting with the LZW code size byte at i, or -1 when it runs
// past the end of the data.
qsizetype SkipImageData(const QByteArray& d, qsizetype i)
{
    const qsizetype n = d.size();
    if (i >= n)
        return -1;
    ++i;  // code size
    while (true) {
        if (i >= n)
            return -1;
        const int len = Byte(d, i);
        ++i;
        if (len == 0)
            return i;
        i += len;
    }
}

} // namespace

TGifScan ScanGifFrames(const QByteArray& data)
{
    TGifScan scan;
    const qsizetype n = data.size();
    if (n < 5 || !data.startsWith("GIF8"))
        return scan;
    scan.IsGif = true;
    if (n >= 10) {
        scan.ScreenWidth = Word(data, 6);
        scan.ScreenHeight = Word(data, 8);
    }
    qsizetype i = 13;
    if (n > 10 && (Byte(data, 10) & 0x80))
        i += 3 * (qsizetype(1) << ((Byte(data, 10) & 7) + 1));
    // Control block (8 bytes) and image descriptor (10 bytes).
    while (i + 18 <= n) {
        if (Byte(data, i) != 0x21 || Byte(data, i + 1) != 0xF9 || Byte(data, i + 2) != 0x04 ||
            Byte(data, i + 8) != 0x2C) {
            ++i;
            continue;
        }
        TGifFrameInfo f;
        f.Offset = i;
        const int flags = Byte(data, i + 3);
        f.Transparent = flags & 1;
        f.Disposal = (flags >> 2) & 7;  // the disposal method: bits 2-4 of the flags
        f.Delay = Word(data, i + 4);
        f.Left = Word(data, i + 9);
        f.Top = Word(data, i + 11);
        f.Width = Word(data, i + 13);
        f.Height = Word(data, i + 15);
        const int imageFlags = Byte(data, i + 17);
        qsizetype j = i + 18;
        if (imageFlags & 0x80)
            j += 3 * (qsizetype(1) << ((imageFlags & 7) + 1));
        const qsizetype end = SkipImageData(data, j);
        if (end < 0)
            break;
        f.End = end;
        scan.Frames.push_back(f);
        i = end;
    }
    return scan;
}

QByteArray GifFrameBytes(const QByteArray& data, const TGifScan& scan, int frame)
{
    if (frame < 1 || frame > int(scan.Frames.size()))
        return data;
    const qsizetype first = scan.Frames.front().Offset;
    return data.left(first) + data.mid(scan.Frames[size_t(frame - 1)].Offset);
}
