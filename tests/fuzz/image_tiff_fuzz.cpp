// The TIFF decoder on arbitrary data.
#include "ImageFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return imagefuzz::FuzzCodec(kvimg::kTiffCodec, data, size);
}
