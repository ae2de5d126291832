#pragma once
// Converts integer PCM of any layout (8-bit unsigned, 16, 24 or 32-bit signed, any channel
// count and rate) into 16-bit PCM of a fixed channel count and rate. Matching input passes
// through unchanged; everything else goes through libswresample (channel mix, resampling).
#include "platform/media/WaveIO.h"

#include <cstdint>
#include <vector>

struct SwrContext;

class TPCMConverter {
public:
    // Raises EWaveError for a layout it cannot convert.
    TPCMConverter(const TWaveFormatEx& input, int outChannels, int outRate);
    ~TPCMConverter();
    TPCMConverter(const TPCMConverter&) = delete;
    TPCMConverter& operator=(const TPCMConverter&) = delete;

    // Converts count input samples; out receives the converted samples (interleaved 16-bit);
    // returns the number of output samples.
    int Convert(const void* input, int count, std::vector<std::int16_t>& out);
    // The samples the resampler still holds, at the end of the input.
    int Flush(std::vector<std::int16_t>& out);
    bool PassThrough() const { return m_swr == nullptr; }
    const TWaveFormatEx& Output() const { return m_output; }

private:
    int Run(const std::uint8_t* const* input, int count, std::vector<std::int16_t>& out);

    TWaveFormatEx m_input;
    TWaveFormatEx m_output;
    SwrContext* m_swr = nullptr;
    std::vector<std::int32_t> m_wide;  // 24-bit input widened to 32 bits
};
