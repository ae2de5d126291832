// Thumbnails of picture files through the imaging kernel alone: no widget, no picture control,
// callable from any thread on its own files.
#pragma once

#include <QString>

#include <cstdint>

// The frame and shadow drawn round a thumbnail, as plain values (colours as TColor numbers,
// styles as the picture control numbers them). The defaults are the main window's thumbnail
// frame: silver border, 5-pixel white inner band, 5-pixel blue outer band, light grey shadow
// 2 pixels deep, transparent pattern and background.
struct ThumbnailFrame {
    int shape = 2000;
    std::uint32_t borderColor = 12632256;
    int borderStyle = 0;
    int borderThickness = 1;
    int innerStyle = 0;
    int innerThickness = 5;
    std::uint32_t innerHiliteColor = 16777215;
    std::uint32_t innerShadowColor = 16777215;
    int outerStyle = 0;
    int outerThickness = 5;
    std::uint32_t outerHiliteColor = 16777215;
    std::uint32_t outerShadowColor = 16711680;
    std::uint32_t shadowColor = 15395562;
    int shadowXDepth = 2;
    int shadowYDepth = 2;
    int patternStyle = 1;  // transparent
    std::uint32_t patternBackColor = 0;
    std::uint32_t patternForeColor = 0;
    int backgroundStyle = 0;
};

struct LBitmap;

// Draws the frame round the whole of a 24-bit top-left bitmap, over a copy of the picture
// itself as its background. False when the kernel refuses. Thread-safe.
bool DrawThumbnailFrame(LBitmap& bitmap, const ThumbnailFrame& frame);

// Writes the thumbnail of file to target: height pixels high, the width following the picture
// (rounded half to even), framed, the bottom-left and top-right 2 x 2 corners white, saved as
// JPEG 4:2:2 with quality factor 2 through a temporary file. False when the picture cannot be
// read or the thumbnail cannot be written; nothing is written then. readable, when given,
// tells whether the picture itself could be read. Thread-safe.
bool MakeThumbnailFile(const QString& file, const QString& target, int height, const ThumbnailFrame& frame = {},
                       bool* readable = nullptr);
