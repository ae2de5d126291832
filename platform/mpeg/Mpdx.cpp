// The loadable MPEG module "mpdx_dll.so": the two entry points the video producer takes by
// name. OpenMPDX receives the addresses of two variables, each holding a pointer to a
// zero-terminated UTF-8 path: the encoder folder, then the output file. EncodeMPDX encodes
// the encoder folder's frames and sound track into the output file (0 on success; a failure
// is written to standard error and leaves no output file).
#include "platform/mpeg/MpegEncoder.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <string>

namespace {
std::string g_encoderFolder;
std::string g_outputFile;
} // namespace

extern "C" __attribute__((visibility("default"))) int OpenMPDX(const char* const* encoderFolder,
                                                               const char* const* outputFile)
{
    g_encoderFolder = encoderFolder && *encoderFolder ? *encoderFolder : "";
    g_outputFile = outputFile && *outputFile ? *outputFile : "";
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
    const mpdx::TEncodeResult r = mpdx::Encode(job);
    if (!r.Ok) {
        std::fprintf(stderr, "mpdx: %s\n", r.Error.c_str());
        return 1;
    }
    return 0;
}
