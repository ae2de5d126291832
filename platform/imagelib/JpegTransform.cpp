// Turning and mirroring a JPEG file without decoding it (libjpeg-turbo's transform): the
// coefficients are moved, so the picture loses nothing and keeps its size and quality.
#include "platform/imagelib/FileIo.h"
#include "platform/imagelib/ImageInternal.h"
#include "platform/imagelib/ltfil.h"

#include <turbojpeg.h>

#include <array>
#include <cstring>

namespace kvimg {

namespace {

// The eight orientations as 2 x 2 matrices acting on (x, y) with y pointing down, indexed by
// their Exif orientation value (1 to 8): what the stored pixels need to be shown upright.
using Matrix = std::array<int, 4>;  // a b / c d: x' = a x + b y, y' = c x + d y
constexpr Matrix kOrientation[9] = {
    {0, 0, 0, 0},
    {1, 0, 0, 1},    // 1 as stored
    {-1, 0, 0, 1},   // 2 mirrored left to right
    {-1, 0, 0, -1},  // 3 turned 180
    {1, 0, 0, -1},   // 4 mirrored top to bottom
    {0, 1, 1, 0},    // 5 transposed
    {0, -1, 1, 0},   // 6 turned 90 clockwise
    {0, -1, -1, 0},  // 7 transversed
    {0, 1, -1, 0},   // 8 turned 270 clockwise
};
constexpr int kTjOperation[9] = {TJXOP_NONE,      TJXOP_NONE,  TJXOP_HFLIP,     TJXOP_ROT180, TJXOP_VFLIP,
                                 TJXOP_TRANSPOSE, TJXOP_ROT90, TJXOP_TRANSVERSE, TJXOP_ROT270};

Matrix Times(const Matrix& x, const Matrix& o)
{
    return {x[0] * o[0] + x[1] * o[2], x[0] * o[1] + x[1] * o[3], x[2] * o[0] + x[3] * o[2],
            x[2] * o[1] + x[3] * o[3]};
}

int OrientationOf(const Matrix& m)
{
    for (int i = 1; i <= 8; ++i)
        if (kOrientation[i] == m)
            return i;
    return 1;
}

int OrientationOfOperation(std::int32_t operation)
{
    switch (operation) {
    case LJXF_ROTATE90: return 6;
    case LJXF_ROTATE180: return 3;
    case LJXF_ROTATE270: return 8;
    case LJXF_MIRROR: return 2;
    case LJXF_FLIP: return 4;
    default: return 0;
    }
}

// The Exif block of the first APP1 segment of a JPEG: where it starts and how long it is.
bool FindExif(std::uint8_t* jpeg, std::size_t size, std::uint8_t*& data, std::size_t& length)
{
    std::size_t at = 2;
    while (at + 4 <= size && jpeg[at] == 0xFF) {
        const int marker = jpeg[at + 1];
        if (marker == 0xDA || marker == 0xD9)
            break;
        const std::size_t segment = (std::size_t(jpeg[at + 2]) << 8) | jpeg[at + 3];
        if (segment < 2 || at + 2 + segment > size)
            break;
        if (marker == 0xE1 && segment >= 8 && std::memcmp(jpeg + at + 4, "Exif\0\0", 6) == 0) {
            data = jpeg + at + 4;
            length = segment - 2;
            return true;
        }
        at += 2 + segment;
    }
    return false;
}

// Sets the orientation tag of an Exif block to 1 (upright) where it has one.
void SetOrientationUpright(std::uint8_t* data, std::size_t size)
{
    bool little = true;
    const std::size_t at = ExifOrientationValue(data, size, little);
    if (at == 0)
        return;
    data[at] = little ? 1 : 0;
    data[at + 1] = little ? 0 : 1;
}

struct TjHandle {
    tjhandle h = tjInitTransform();
    ~TjHandle()
    {
        if (h)
            tjDestroy(h);
    }
};

} // namespace

} // namespace kvimg

using namespace kvimg;

int L_TransformJpegLossless(const char* fileName, std::int32_t operation)
{
    const int wanted = OrientationOfOperation(operation);
    if (wanted == 0)
        return LE_INVALID_PARAMETER;
    std::vector<std::uint8_t> input;
    const int rc = ReadWholeFile(fileName, input);
    if (rc != LE_SUCCESS)
        return rc;
    if (input.size() < 4 || input[0] != 0xFF || input[1] != 0xD8)
        return LE_NOT_SUPPORTED;

    // What the viewer sees is the stored picture under its Exif orientation: the operation
    // applies to that, and the result is stored upright.
    std::uint8_t* exif = nullptr;
    std::size_t exifLength = 0;
    const bool hasExif = FindExif(input.data(), input.size(), exif, exifLength);
    const int stored = hasExif ? ExifOrientation(exif, exifLength) : 1;
    const int combined = OrientationOf(Times(kOrientation[wanted], kOrientation[stored]));

    TjHandle tj;
    if (!tj.h)
        return LE_NO_MEMORY;
    tjtransform transform {};
    transform.op = kTjOperation[combined];
    // Only a perfect transform: a picture whose size is no whole number of blocks in the
    // turned direction would lose its edge, and is turned the ordinary way instead.
    transform.options = TJXOPT_PERFECT;
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    if (tjTransform(tj.h, input.data(), static_cast<unsigned long>(input.size()), 1, &output, &outputSize,
                    &transform, 0) != 0) {
        if (output)
            tjFree(output);
        return LE_NOT_SUPPORTED;
    }
    std::uint8_t* outExif = nullptr;
    std::size_t outExifLength = 0;
    if (FindExif(output, outputSize, outExif, outExifLength))
        SetOrientationUpright(outExif, outExifLength);

    SafeFileWriter writer;
    int result = writer.Open(fileName);
    if (result == LE_SUCCESS)
        result = writer.Write(output, outputSize) ? writer.Commit() : LE_FILE_WRITE;
    tjFree(output);
    return result;
}
