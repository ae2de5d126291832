#include "platform/media/PcmConvert.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <cstring>

TPCMConverter::TPCMConverter(const TWaveFormatEx& input, int outChannels, int outRate)
    : m_input(input), m_output(PcmFormat(outChannels, outRate, 16))
{
    const int bits = input.wBitsPerSample;
    if (input.wFormatTag != WAVE_FORMAT_PCM || input.nChannels == 0 || input.nSamplesPerSec == 0 ||
        (bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
        input.nBlockAlign != input.nChannels * (bits / 8))
        throw EWaveError(QStringLiteral("Unsupported wave format."));
    if (bits == 16 && input.nChannels == outChannels && int(input.nSamplesPerSec) == outRate)
        return;

    AVSampleFormat inFormat = bits == 8 ? AV_SAMPLE_FMT_U8 : bits == 16 ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_S32;
    AVChannelLayout inLayout{}, outLayout{};
    av_channel_layout_default(&inLayout, input.nChannels);
    av_channel_layout_default(&outLayout, outChannels);
    const int rc = swr_alloc_set_opts2(&m_swr, &outLayout, AV_SAMPLE_FMT_S16, outRate, &inLayout, inFormat,
                                       int(input.nSamplesPerSec), 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (rc < 0 || swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        throw EWaveError(QStringLiteral("Unsupported wave format."));
    }
}

TPCMConverter::~TPCMConverter()
{
    swr_free(&m_swr);
}

int TPCMConverter::Convert(const void* input, int count, std::vector<std::int16_t>& out)
{
    if (count <= 0) {
        out.clear();
        return 0;
    }
    if (!m_swr) {
        out.resize(std::size_t(count) * m_output.nChannels);
        std::memcpy(out.data(), input, out.size() * 2);
        return count;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(input);
    if (m_input.wBitsPerSample == 24) {
        const std::size_t values = std::size_t(count) * m_input.nChannels;
        m_wide.resize(values);
        for (std::size_t i = 0; i < values; ++i) {
            const std::uint8_t* p = bytes + 3 * i;
            m_wide[i] = std::int32_t(std::uint32_t(p[0]) << 8 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 24);
        }
        bytes = reinterpret_cast<const std::uint8_t*>(m_wide.data());
    }
    const std::uint8_t* planes[1] = {bytes};
    return Run(planes, count, out);
}

int TPCMConverter::Flush(std::vector<std::int16_t>& out)
{
    out.clear();
    return m_swr ? Run(nullptr, 0, out) : 0;
}

int TPCMConverter::Run(const std::uint8_t* const* input, int count, std::vector<std::int16_t>& out)
{
    const int room = swr_get_out_samples(m_swr, count) + 16;
    out.resize(std::size_t(room) * m_output.nChannels);
    std::uint8_t* planes[1] = {reinterpret_cast<std::uint8_t*>(out.data())};
    const int got = swr_convert(m_swr, planes, room, const_cast<const std::uint8_t**>(input), count);
    if (got < 0)
        throw EWaveError(QStringLiteral("Unable to convert sample."));
    out.resize(std::size_t(got) * m_output.nChannels);
    return got;
}
