// The orientation tag of an Exif block, read with every offset checked.
#include "platform/imagelib/ImageInternal.h"

#include <cstring>

namespace kvimg {

std::size_t ExifOrientationValue(const std::uint8_t* data, std::size_t size, bool& little)
{
    if (!data || size < 6 + 8 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return 0;
    const std::uint8_t* t = data + 6; // the TIFF header; offsets count from here
    const std::uint64_t n = size - 6;
    if (t[0] == 'I' && t[1] == 'I')
        little = true;
    else if (t[0] == 'M' && t[1] == 'M')
        little = false;
    else
        return 0;
    auto u16 = [&](std::uint64_t at) -> std::uint32_t {
        return little ? std::uint32_t(t[at] | (t[at + 1] << 8)) : std::uint32_t((t[at] << 8) | t[at + 1]);
    };
    auto u32 = [&](std::uint64_t at) -> std::uint64_t {
        return little ? (std::uint64_t(u16(at)) | (std::uint64_t(u16(at + 2)) << 16))
                      : ((std::uint64_t(u16(at)) << 16) | std::uint64_t(u16(at + 2)));
    };
    if (u16(2) != 42)
        return 0;
    const std::uint64_t ifd = u32(4);
    if (ifd + 2 > n)
        return 0;
    const std::uint32_t count = u16(ifd);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t e = ifd + 2 + 12 * std::uint64_t(i);
        if (e + 12 > n)
            break;
        if (u16(e) != 0x0112)
            continue;
        if (u16(e + 2) != 3 || u32(e + 4) < 1)
            return 0;
        return std::size_t(6 + e + 8); // a SHORT sits in the first half of the value field
    }
    return 0;
}

std::int32_t ExifOrientation(const std::uint8_t* data, std::size_t size)
{
    bool little = true;
    const std::size_t at = ExifOrientationValue(data, size, little);
    if (at == 0)
        return 1;
    const std::uint32_t v = little ? std::uint32_t(data[at] | (data[at + 1] << 8))
                                   : std::uint32_t((data[at] << 8) | data[at + 1]);
    return (v >= 1 && v <= 8) ? std::int32_t(v) : 1;
}

} // namespace kvimg
