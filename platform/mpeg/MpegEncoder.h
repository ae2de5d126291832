#pragma once
// The MPEG encoder behind the loadable module: turns a folder of numbered frame files
// ("Test_" + digits + ".jpg", in numeric order) with their hold list ("Test_quantity.nno":
// lines "Test_0000.jpg*125", a hold of k = k frames at 25 per second, an unlisted frame = 1
// frame) and the sound track "Input.wav" into a video CD or Super Video CD MPEG stream.
//
// The mode follows the frame size of the first frame: 352x288 PAL VCD, 352x240 NTSC VCD,
// 480x576 PAL SVCD, 480x480 NTSC SVCD (other sizes: the nearest of these; frames of another
// size are scaled). The streams use the constants of ffmpeg's -target presets, so that
// vcdimager accepts them: VCD = MPEG-1 at 1150 kbit/s constant rate, SVCD = MPEG-2 at most
// 2516 kbit/s, both with MP2 224 kbit/s 44.1 kHz stereo, GOP 15 (PAL) or 18 (NTSC), 4:3.
// NTSC runs at 30000/1001 frames per second; its frames are picked by time. The sound track
// is resampled and padded with silence or cut to the video's length; no sound track means
// silence.
//
// Plain C++ over libavcodec/libavformat/libswscale/libswresample; no Qt.
#include <atomic>
#include <functional>
#include <string>

namespace mpdx {

struct TEncodeJob {
    std::string EncoderFolder;  // with or without a trailing "/"
    std::string OutputFile;     // written through a temporary file beside it
    // Called now and then with the share done (0..1); returning false aborts.
    std::function<bool(double)> Progress;
    // Looked at before every frame: true stops the encode (nothing is written).
    const std::atomic<bool>* Cancel = nullptr;
};

struct TEncodeResult {
    bool Ok = false;
    std::string Error;       // why nothing was written (the file and the system's reason)
    std::string Mode;        // "PAL VCD", "NTSC SVCD", ...
    long long Frames = 0;    // video frames written
    long long SourceFrames = 0;  // frames at 25 per second (the holds' sum)
};

TEncodeResult Encode(const TEncodeJob& job);

} // namespace mpdx
