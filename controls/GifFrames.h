#pragma once
// The frames of an animated GIF, found in its bytes.
//
// A frame starts with a graphic control block (0x21 0xF9 0x04, four bytes of flags, delay
// and transparent index, a terminator) directly followed by an image separator (0x2C). The
// scan starts after the header and the global colour table and, after each frame, goes on
// behind its image data. A frame whose descriptor, colour table or image data run past the
// end of the bytes (a truncated file) is no frame, and nothing after it is looked at.
#include <QByteArray>

#include <vector>

struct TGifFrameInfo {
    qsizetype Offset = 0;  // of the control block's 0x21
    qsizetype End = 0;     // behind the frame's image data
    int Delay = 0;         // hundredths of a second
    bool Transparent = false;
    int Disposal = 0;      // 0..7
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

struct TGifScan {
    bool IsGif = false;  // the bytes start with "GIF8" (and hold at least 5 bytes)
    int ScreenWidth = 0, ScreenHeight = 0;  // the logical screen; 0 when not a GIF
    std::vector<TGifFrameInfo> Frames;
};

TGifScan ScanGifFrames(const QByteArray& data);

// The bytes of a GIF holding only frame `frame` (1-based): the header up to the first frame
// and everything from that frame on. The whole data when the scan has no such frame.
QByteArray GifFrameBytes(const QByteArray& data, const TGifScan& scan, int frame);
