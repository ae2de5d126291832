#pragma once
// The frames of the slideshow player, without a window: a picture decoded at screen size by the
// imaging kernel, fitted and centred on the background colour, with its text band, as a
// full-screen image. Callable from any thread.
#include "shell/core/PlayerData.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

// Where a picture of pictureSize shows on a screen of screenSize: as large as the screen allows
// with its side ratio kept (small pictures are enlarged), centred. Sizes are rounded half to
// even; the offsets truncate.
QRect FitRect(QSize pictureSize, QSize screenSize);

// The picture at path, decoded for a screen of screenSize (a JPEG at the smallest DCT scale
// that still covers its place) and resized to its place on the screen. A null image when the
// file cannot be read. quick decodes at half that detail (a JPEG at the next smaller DCT scale),
// for a first picture that must show at once.
QImage DecodeForScreen(const QString& path, QSize screenSize, bool quick = false);

// The line under a picture: its text and/or its file name, as the settings ask.
QString FrameTextLine(const TShowPicture& picture, const TPlayerSettings& settings);
// Whether the settings draw a text band at all.
bool FrameHasTextBand(const TPlayerSettings& settings);
// The pixel size of the band's font on a screen of that height.
int FrameFontPixelSize(int screenHeight);

// A full frame of screenSize (Format_RGB32): BKGColor, the fitted picture centred (a null
// picture leaves the background), and, when the picture has a line to show (FrameTextLine is
// not empty), the band: a stripe of
// the font's height in BKGColor whose bottom lies TextOffset pixels above the screen's bottom
// edge, with the line centred in it in TextColor.
QImage ComposeFrame(const QImage& fitted, const TShowPicture& picture, const TPlayerSettings& settings,
                    QSize screenSize);
// The band's rectangle on that screen.
QRect TextBandRect(const TPlayerSettings& settings, QSize screenSize);

// A TColor number (0x00BBGGRR) as a QColor.
QColor ColorOfTColor(int color);
