#pragma once
// The widget-free arithmetic and pictures of video CD production: the output file name, the
// seconds per picture, the size estimates of the four kinds, the sound track's length, the
// frame sizes, the placement of a picture inside a frame, the frame composition with its text
// band, and the order of the frame files on the MPEG road.
#include <QColor>
#include <QImage>
#include <QString>

namespace video {

// The kinds of the video CD wizard: the AVI road (VCD, SVCD) and the MPEG road with
// transitions (NanoVCD, NanoSVCD).
enum class TVideoKind { VCD, SVCD, NanoVCD, NanoSVCD };

// The first "." of text becomes ",".
QString DotToComma(const QString& text);
// The seconds per picture as the user typed them; "," and "." are both the decimal separator
// in every locale. A text that is no number raises EConvertError.
double SecondsPerPicture(const QString& typed);
// True when the typed seconds are a number above zero (a production needs that).
bool UsableSeconds(const QString& typed);

// The title as a file name: blanks, punctuation and a few accented letters become "_", "&"
// becomes "a", path and shell characters become "x", German umlauts are spelled out, then the
// ASCII letters are lower-cased. Other characters (any Unicode letter) stay.
QString MakeVideoFileName(const QString& title);

// The space a production needs in MB, n being the number of pictures + 1 (the end card).
long long EstimateMB(TVideoKind kind, int n, double seconds, int frameRate, int transitionFrames);
// Free bytes as whole MB (2^20), halves to the even neighbour.
long long FreeMBFromBytes(long long bytes);
// The sound track's length in seconds: P pictures of S seconds, and on the MPEG road the J
// numbered frames beyond the P key frames at frameRate, plus 4 seconds.
long long TrackSeconds(bool mpegRoad, int pictures, double seconds, int jpegFrames, int frameRate);
// Frames of a key frame in the hold list (25 per second, halves to even).
long long HoldFrames(double seconds);

struct TFrameSize {
    int Width = 0;
    int Height = 0;
};
// The composition size of a standard and mode (PAL VCD 352x288, PAL SVCD 576x480, NTSC VCD
// 352x240, NTSC SVCD 480x480).
TFrameSize FrameSizeFor(bool pal, bool svcd);
// The width of a frame pixel over its height when a frame of width x height fills a 4:3
// screen (1.0 for square pixels).
double DisplayPixelAspect(int width, int height);

struct TPlacement {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};
// A picture of pw x ph inside a frame of width x height whose pixels are pixelAspect wide (1
// on the AVI road): a picture larger than the frame is fitted inside it keeping its look, a
// smaller one keeps its size; both are centred (halves cut towards zero).
TPlacement PlacePicture(int pw, int ph, int width, int height, double pixelAspect = 1.0);

// The look of a frame.
struct TFrameStyle {
    QColor Background;
    QColor TextColor;
    bool DrawText = false;
    QString Text;
    int FontPoints = 12;  // 12 for VCD, 18 for SVCD
    int TextOffset = 0;   // pixels between the band and the bottom edge
};
// A frame: the background, the picture (already of the placement's size) at the placement,
// and with DrawText a band in the background colour at the bottom holding the centred text
// (the band is drawn also for an empty text). RGB888.
QImage ComposeFrame(const QImage& picture, const TPlacement& at, int width, int height, const TFrameStyle& style);
// Reads a picture file scaled for the frame (a JPEG is decoded at a reduced size); the
// placement is returned through `at`. A file that cannot be read gives a null image.
QImage LoadPictureForFrame(const QString& path, int width, int height, double pixelAspect, TPlacement& at,
                           QString* error = nullptr);

// The order of the MPEG road's frame files ("inp" + n + "_Key.jpg", "inp" + n + k (3 digits)
// + ".jpg", any folder): by picture number n, its key frame first, then its transition
// frames by k. Other names sort after these, by name.
bool FrameFileLess(const QString& a, const QString& b);
// "Test_" + the number with at least four digits + ".jpg".
QString SequenceFileName(int index);

} // namespace video
