// The loadable MPEG module "mpdx_dll.so": the two entry points the video producer takes by
// name. OpenMPDX receives the addresses of two variables, each holding a pointer to a
// zero-terminated UTF-8 path: the encoder folder, then the output file. EncodeMPDX encodes
// the encoder folder's frames and sound track into the output file (0 on success, 1 on a
// failure, which leaves no output file). ErrorMPDX gives the last failure's reason (the file
// and the system's words); AbortMPDX, called from another thread, stops a running encode
// before its next frame.
#include "platform/mpeg/MpegEncoder.h"

extern "C" {
#include <libavutil/log.h>
}

#include <atomic>
#include <cstdio>
#include <string>

namespace {
std::string g_encoderFolder;
std::string g_outputFile;
std::string g_error;
std::atomic<bool> g_cancel{false};
} // namespace

extern "C" __attribute__((visibility("default"))) int OpenMPDX(const char* const* encoderFolder,
                                                               const char* const* outputFile)
{
    g_encoderFolder = encoderFolder && *encoderFolder ? *encoderFolder : "";
    g_outputFile = outputFile && *outputFile ? *outputFile : "";
    g_cancel = false;
    return 0;
}

extern "C" __attribute__((visibility("default"))) int EncodeMPDX()
{
    // The encoders' warnings (clipped coefficients and the like) are no news for the user.
    if (av_log_get_level() > AV_LOG_ERROR)
        av_log_set_level(AV_LOG_ERROR);
    mpdx::TEncodeJob job;
    job.EncoderFolder = g_encoderFolder;
    job.OutputFile = g_outputFile;
    job.Cancel = &g_cancel;
    g_error.clear();
    const mpdx::TEncodeResult r = mpdx::Encode(job);
    if (!r.Ok) {
        g_error = r.Error;
        std::fprintf(stderr, "mpdx: %s\n", r.Error.c_str());
        return 1;
    }
    return 0;
}

extern "C" __attribute__((visibility("default"))) void AbortMPDX()
{
    g_cancel = true;
}

extern "C" __attribute__((visibility("default"))) const char* ErrorMPDX()
{
    return g_error.c_str();
}
