// The MPEG audio reader (frame search, VBR headers, tags) and the wave header on arbitrary
// data; every derived value is computed as the audio info dialog would.
#include "output/audio/ByteSource.h"
#include "output/audio/MPEGaudio.h"
#include "output/audio/WaveHeader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    auto source = TByteSource::OfData(bytes);
    TMPEGaudio mpeg;
    if (mpeg.Read(*source)) {
        (void)mpeg.Valid();
        (void)mpeg.TotalFrames();
        (void)mpeg.Encoder();
        (void)mpeg.Version();
        (void)mpeg.Layer();
        (void)mpeg.ChannelMode();
        (void)mpeg.Emphasis();
    }
    // The search alone over the exact bytes, so that a read past them shows.
    TMPEGaudio search;
    search.FindFrame(data, int(std::min<std::size_t>(size, TMPEGaudio::BlockSize)));
    TWaveHeader wave;
    if (wave.Parse(bytes))
        (void)FormatHMS(wave.Duration());
    return 0;
}
