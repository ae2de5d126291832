#include "platform/mpeg/MpegEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace mpdx {
namespace {

constexpr int kSourceRate = 25;  // the hold list counts frames at 25 per second
constexpr int kAudioRate = 44100;

struct TMode {
    const char* name;
    int width, height;
    bool pal, svcd;
};
constexpr TMode kModes[] = {
    {"PAL VCD", 352, 288, true, false},
    {"NTSC VCD", 352, 240, false, false},
    {"PAL SVCD", 480, 576, true, true},
    {"NTSC SVCD", 480, 480, false, true},
};

const TMode& ModeForSize(int w, int h)
{
    for (const TMode& m : kModes)
        if (m.width == w && m.height == h)
            return m;
    // The nearest mode by size.
    const TMode* best = &kModes[0];
    long long bestDist = -1;
    for (const TMode& m : kModes) {
        const long long d = (long long)(m.width - w) * (m.width - w) + (long long)(m.height - h) * (m.height - h);
        if (bestDist < 0 || d < bestDist) {
            best = &m;
            bestDist = d;
        }
    }
    return *best;
}

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string AvError(int code)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return buf;
}

void Check(int rc, const std::string& what)
{
    if (rc < 0)
        throw Failure(what + ": " + AvError(rc));
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct FrameFile {
    long long number;
    fs::path path;
    long long hold;
};

// "Test_" + digits + ".jpg" (any case), by number; holds from Test_quantity.nno.
std::vector<FrameFile> ListFrames(const fs::path& folder)
{
    std::vector<FrameFile> frames;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        const std::string name = Lower(e.path().filename().string());
        if (name.size() < 10 || name.rfind("test_", 0) != 0 || name.substr(name.size() - 4) != ".jpg")
            continue;
        const std::string digits = name.substr(5, name.size() - 9);
        if (digits.empty() || digits.size() > 12 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        if (!e.is_regular_file(ec))
            continue;
        frames.push_back({std::stoll(digits), e.path(), 1});
    }
    std::sort(frames.begin(), frames.end(), [](const FrameFile& a, const FrameFile& b) { return a.number < b.number; });

    std::map<std::string, long long> holds;
    std::ifstream list(folder / "Test_quantity.nno");
    for (std::string line; std::getline(list, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        const auto star = line.rfind('*');
        if (star == std::string::npos)
            continue;
        try {
            std::size_t used = 0;
            const long long k = std::stoll(line.substr(star + 1), &used);
            if (used == line.size() - star - 1 && k >= 1 && k <= 25LL * 3600 * 24)
                holds[Lower(line.substr(0, star))] = k;
        } catch (...) {
        }
    }
    for (FrameFile& f : frames) {
        auto it = holds.find(Lower(f.path.filename().string()));
        if (it != holds.end())
            f.hold = it->second;
    }
    return frames;
}

struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;

std::vector<std::uint8_t> ReadWholeFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Failure("cannot read " + path.string());
    std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    data.resize(data.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    return data;
}

// Decodes a JPEG file into a frame of the decoder's own format.
FramePtr DecodeJpeg(const fs::path& path)
{
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    if (!codec)
        throw Failure("no JPEG decoder");
    CodecPtr ctx(avcodec_alloc_context3(codec));
    Check(avcodec_open2(ctx.get(), codec, nullptr), "JPEG decoder");
    std::vector<std::uint8_t> data = ReadWholeFile(path);
    PacketPtr pkt(av_packet_alloc());
    pkt->data = data.data();
    pkt->size = int(data.size() - AV_INPUT_BUFFER_PADDING_SIZE);
    FramePtr frame(av_frame_alloc());
    int rc = avcodec_send_packet(ctx.get(), pkt.get());
    if (rc >= 0)
        rc = avcodec_receive_frame(ctx.get(), frame.get());
    if (rc == AVERROR(EAGAIN)) {
        avcodec_send_packet(ctx.get(), nullptr);
        rc = avcodec_receive_frame(ctx.get(), frame.get());
    }
    if (rc < 0 || frame->width <= 0 || frame->height <= 0)
        throw Failure("cannot decode " + path.string());
    return frame;
}

// Turns a decoded picture into a YUV 4:2:0 frame of the mode's size.
FramePtr ToEncoderFrame(const AVFrame* src, int width, int height)
{
    FramePtr out(av_frame_alloc());
    out->format = AV_PIX_FMT_YUV420P;
    out->width = width;
    out->height = height;
    Check(av_frame_get_buffer(out.get(), 0), "frame buffer");
    AVPixelFormat srcFormat = AVPixelFormat(src->format);
    bool fullRange = src->color_range == AVCOL_RANGE_JPEG;
    switch (srcFormat) {  // the JPEG decoder's full-range formats
    case AV_PIX_FMT_YUVJ420P: srcFormat = AV_PIX_FMT_YUV420P; fullRange = true; break;
    case AV_PIX_FMT_YUVJ422P: srcFormat = AV_PIX_FMT_YUV422P; fullRange = true; break;
    case AV_PIX_FMT_YUVJ444P: srcFormat = AV_PIX_FMT_YUV444P; fullRange = true; break;
    case AV_PIX_FMT_YUVJ440P: srcFormat = AV_PIX_FMT_YUV440P; fullRange = true; break;
    case AV_PIX_FMT_YUVJ411P: srcFormat = AV_PIX_FMT_YUV411P; fullRange = true; break;
    default: break;
    }
    SwsContext* sws = sws_getContext(src->width, src->height, srcFormat, width, height, AV_PIX_FMT_YUV420P,
                                     SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!sws)
        throw Failure("cannot convert the frame");
    const int* coeffs = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(sws, coeffs, fullRange ? 1 : 0, coeffs, 0, 0, 1 << 16, 1 << 16);
    sws_scale(sws, src->data, src->linesize, 0, src->height, out->data, out->linesize);
    sws_freeContext(sws);
    return out;
}

// Decodes the frame files in order on a thread of its own, a few ahead of the encoder.
class FramePipeline {
public:
    FramePipeline(const std::vector<FrameFile>& files, int width, int height)
        : m_files(files), m_width(width), m_height(height), m_thread([this] { Run(); })
    {
    }
    ~FramePipeline()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    // The next frame in file order; raises the decoder's failure.
    FramePtr Next()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty() || !m_error.empty(); });
        if (m_ready.empty())
            throw Failure(m_error);
        FramePtr f = std::move(m_ready.front());
        m_ready.pop_front();
        m_changed.notify_all();
        return f;
    }

private:
    void Run()
    {
        for (const FrameFile& file : m_files) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [this] { return m_stop || m_ready.size() < 8; });
                if (m_stop)
                    return;
            }
            try {
                FramePtr decoded = DecodeJpeg(file.path);
                FramePtr frame = ToEncoderFrame(decoded.get(), m_width, m_height);
                std::lock_guard<std::mutex> lock(m_mutex);
                m_ready.push_back(std::move(frame));
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_error = e.what();
                m_changed.notify_all();
                return;
            }
            m_changed.notify_all();
        }
    }

    const std::vector<FrameFile>& m_files;
    int m_width, m_height;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<FramePtr> m_ready;
    std::string m_error;
    bool m_stop = false;
    std::thread m_thread;
};

// The sound track as 16-bit stereo 44.1 kHz samples, silence after its end.
class AudioSource {
public:
    explicit AudioSource(const fs::path& wav)
    {
        m_fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_S16, 2, 4096);
        std::error_code ec;
        if (!fs::exists(wav, ec))
            return;
        if (avformat_open_input(&m_input, wav.string().c_str(), nullptr, nullptr) < 0) {
            m_input = nullptr;
            return;
        }
        if (avformat_find_stream_info(m_input, nullptr) < 0)
            return;
        const AVCodec* codec = nullptr;
        m_stream = av_find_best_stream(m_input, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (m_stream < 0 || !codec)
            return;
        m_decoder.reset(avcodec_alloc_context3(codec));
        if (avcodec_parameters_to_context(m_decoder.get(), m_input->streams[m_stream]->codecpar) < 0 ||
            avcodec_open2(m_decoder.get(), codec, nullptr) < 0) {
            m_decoder.reset();
            return;
        }
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout inLayout{};
        if (m_decoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || m_decoder->ch_layout.nb_channels <= 0)
            av_channel_layout_default(&inLayout, std::max(1, m_decoder->ch_layout.nb_channels));
        else
            av_channel_layout_copy(&inLayout, &m_decoder->ch_layout);
        const int rc = swr_alloc_set_opts2(&m_swr, &stereo, AV_SAMPLE_FMT_S16, kAudioRate, &inLayout,
                                           m_decoder->sample_fmt, m_decoder->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&inLayout);
        if (rc < 0 || swr_init(m_swr) < 0) {
            swr_free(&m_swr);
            m_decoder.reset();
            return;
        }
        m_packet.reset(av_packet_alloc());
        m_frame.reset(av_frame_alloc());
        m_live = true;
    }
    ~AudioSource()
    {
        swr_free(&m_swr);
        avformat_close_input(&m_input);
        av_audio_fifo_free(m_fifo);
    }

    // Fills count samples (interleaved stereo) into out.
    void Pull(std::int16_t* out, int count)
    {
        while (av_audio_fifo_size(m_fifo) < count && m_live)
            DecodeMore();
        const int have = std::min(count, av_audio_fifo_size(m_fifo));
        void* planes[1] = {out};
        if (have > 0)
            av_audio_fifo_read(m_fifo, planes, have);
        std::fill(out + 2 * have, out + 2 * count, std::int16_t(0));
    }

private:
    void Push(const std::uint8_t** in, int samples)
    {
        const int room = swr_get_out_samples(m_swr, samples) + 32;
        std::vector<std::int16_t> buf(std::size_t(room) * 2);
        std::uint8_t* outPlanes[1] = {reinterpret_cast<std::uint8_t*>(buf.data())};
        const int got = swr_convert(m_swr, outPlanes, room, in, samples);
        if (got > 0) {
            void* planes[1] = {buf.data()};
            av_audio_fifo_write(m_fifo, planes, got);
        }
    }
    void DecodeMore()
    {
        int rc = avcodec_receive_frame(m_decoder.get(), m_frame.get());
        if (rc >= 0) {
            Push(const_cast<const std::uint8_t**>(m_frame->extended_data), m_frame->nb_samples);
            av_frame_unref(m_frame.get());
            return;
        }
        if (rc == AVERROR_EOF) {
            Push(nullptr, 0);  // what the resampler still holds
            m_live = false;
            return;
        }
        if (rc != AVERROR(EAGAIN)) {
            m_live = false;
            return;
        }
        for (;;) {
            rc = av_read_frame(m_input, m_packet.get());
            if (rc < 0) {
                avcodec_send_packet(m_decoder.get(), nullptr);
                return;
            }
            const bool mine = m_packet->stream_index == m_stream;
            if (mine)
                rc = avcodec_send_packet(m_decoder.get(), m_packet.get());
            av_packet_unref(m_packet.get());
            if (mine) {
                if (rc < 0 && rc != AVERROR(EAGAIN))
                    m_live = false;
                return;
            }
        }
    }

    AVFormatContext* m_input = nullptr;
    int m_stream = -1;
    CodecPtr m_decoder;
    SwrContext* m_swr = nullptr;
    AVAudioFifo* m_fifo = nullptr;
    PacketPtr m_packet;
    FramePtr m_frame;
    bool m_live = false;
};

// The output: muxer, both encoders and the temporary file.
class Writer {
public:
    // file is written; messages name shownName, the file the user gets.
    Writer(const TMode& mode, const std::string& file, const std::string& shownName)
        : m_mode(mode), m_file(shownName)
    {
        // A failure here leaves no destructor to run: the half-made output goes at once.
        try {
            Check(avformat_alloc_output_context2(&m_out, nullptr, mode.svcd ? "svcd" : "vcd", file.c_str()),
                  "MPEG muxer");
            OpenVideo();
            OpenAudio();
            Check(avio_open(&m_out->pb, file.c_str(), AVIO_FLAG_WRITE), "cannot write " + shownName);
            m_out->max_delay = int(0.7 * AV_TIME_BASE);
            AVDictionary* opts = nullptr;
            av_dict_set(&opts, "packetsize", "2324", 0);
            if (!mode.svcd) {
                av_dict_set(&opts, "muxrate", "1411200", 0);
                av_dict_set_int(&opts, "preload", (36000 + 3 * 1200) * (long long)AV_TIME_BASE / 90000, 0);
            }
            const int rc = avformat_write_header(m_out, &opts);
            av_dict_free(&opts);
            Check(rc, "cannot write " + shownName);
            m_headerWritten = true;
            m_packet.reset(av_packet_alloc());
            m_audioFrame.reset(av_frame_alloc());
            m_audioFrame->format = AV_SAMPLE_FMT_S16;
            m_audioFrame->nb_samples = m_audio->frame_size;
            m_audioFrame->sample_rate = kAudioRate;
            av_channel_layout_copy(&m_audioFrame->ch_layout, &m_audio->ch_layout);
            Check(av_frame_get_buffer(m_audioFrame.get(), 0), "audio buffer");
        } catch (...) {
            Close();
            throw;
        }
    }
    ~Writer() { Close(); }
    void Close()
    {
        StopAudio();
        if (m_out) {
            if (m_out->pb)
                avio_closep(&m_out->pb);
            avformat_free_context(m_out);
            m_out = nullptr;
        }
    }

    AVRational FrameRate() const { return m_video->framerate; }
    int AudioFrameSize() const { return m_audio->frame_size; }

    void SendVideo(AVFrame* frame)
    {
        Check(avcodec_send_frame(m_video.get(), frame), "video encoder");
        Drain(m_video.get(), m_videoStream);
    }
    // Encodes the sound track on a thread of its own, total samples (the last frame padded
    // with silence), ahead of the picture.
    void StartAudio(AudioSource& source, long long total)
    {
        m_audioThread = std::thread([this, &source, total] { EncodeAudio(source, total); });
    }
    // Writes the encoded sound before the given sample (all of it for -1).
    void WriteAudioUpTo(long long due)
    {
        for (;;) {
            PacketPtr packet;
            {
                std::unique_lock<std::mutex> lock(m_audioMutex);
                m_audioChanged.wait(lock, [this] { return !m_audioPackets.empty() || m_audioDone; });
                if (m_audioPackets.empty()) {
                    if (!m_audioError.empty())
                        throw Failure(m_audioError);
                    return;
                }
                if (due >= 0 && m_audioPackets.front()->pts >= due)
                    return;
                packet = std::move(m_audioPackets.front());
                m_audioPackets.pop_front();
            }
            m_audioChanged.notify_all();
            av_packet_rescale_ts(packet.get(), m_audio->time_base, m_audioStream->time_base);
            packet->stream_index = m_audioStream->index;
            Check(av_interleaved_write_frame(m_out, packet.get()), "cannot write " + m_file);
        }
    }

    void Finish()
    {
        Check(avcodec_send_frame(m_video.get(), nullptr), "video encoder");
        Drain(m_video.get(), m_videoStream);
        WriteAudioUpTo(-1);
        StopAudio();
        Check(av_write_trailer(m_out), "cannot write " + m_file);
        Check(avio_closep(&m_out->pb), "cannot write " + m_file);
    }

private:
    void EncodeAudio(AudioSource& source, long long total)
    {
        try {
            PacketPtr packet(av_packet_alloc());
            auto collect = [&] {
                for (;;) {
                    const int rc = avcodec_receive_packet(m_audio.get(), packet.get());
                    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                        return;
                    Check(rc, "audio encoder");
                    PacketPtr copy(av_packet_alloc());
                    av_packet_move_ref(copy.get(), packet.get());
                    std::unique_lock<std::mutex> lock(m_audioMutex);
                    m_audioChanged.wait(lock, [this] { return m_audioPackets.size() < 4096 || m_audioStop; });
                    if (m_audioStop)
                        throw Failure("stopped");
                    m_audioPackets.push_back(std::move(copy));
                    lock.unlock();
                    m_audioChanged.notify_all();
                }
            };
            for (long long samples = 0; samples < total; samples += m_audioFrame->nb_samples) {
                Check(av_frame_make_writable(m_audioFrame.get()), "audio buffer");
                source.Pull(reinterpret_cast<std::int16_t*>(m_audioFrame->data[0]), m_audioFrame->nb_samples);
                m_audioFrame->pts = samples;
                Check(avcodec_send_frame(m_audio.get(), m_audioFrame.get()), "audio encoder");
                collect();
            }
            Check(avcodec_send_frame(m_audio.get(), nullptr), "audio encoder");
            collect();
        } catch (const std::exception& e) {
            std::lock_guard<std::mutex> lock(m_audioMutex);
            m_audioError = e.what();
        }
        {
            std::lock_guard<std::mutex> lock(m_audioMutex);
            m_audioDone = true;
        }
        m_audioChanged.notify_all();
    }
    void StopAudio()
    {
        {
            std::lock_guard<std::mutex> lock(m_audioMutex);
            m_audioStop = true;
        }
        m_audioChanged.notify_all();
        if (m_audioThread.joinable())
            m_audioThread.join();
    }

    void OpenVideo()
    {
        const AVCodec* codec = avcodec_find_encoder(m_mode.svcd ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MPEG1VIDEO);
        if (!codec)
            throw Failure("no MPEG video encoder");
        m_video.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = m_video.get();
        c->width = m_mode.width;
        c->height = m_mode.height;
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->time_base = m_mode.pal ? AVRational{1, 25} : AVRational{1001, 30000};
        c->framerate = av_inv_q(c->time_base);
        c->gop_size = m_mode.pal ? 15 : 18;
        // 4:3 display. MPEG-1 stores a pel aspect code: the CCIR 601 625-line and 525-line
        // codes (0.9157 and 1.0950, height over width) give 4:3 on VCD sizes.
        if (m_mode.svcd)
            av_reduce(&c->sample_aspect_ratio.num, &c->sample_aspect_ratio.den, 4LL * m_mode.height,
                      3LL * m_mode.width, 255);
        else
            c->sample_aspect_ratio = m_mode.pal ? AVRational{10000, 9157} : AVRational{200, 219};
        if (m_mode.svcd) {
            c->bit_rate = 2040000;
            c->rc_max_rate = 2516000;
            c->rc_min_rate = 0;
            c->rc_buffer_size = 1835008;  // 224 * 1024 * 8
            av_opt_set_int(c->priv_data, "scan_offset", 1, 0);
        } else {
            c->bit_rate = 1150000;
            c->rc_max_rate = 1150000;
            c->rc_min_rate = 1150000;
            c->rc_buffer_size = 327680;  // 40 * 1024 * 8
        }
        c->thread_count = int(std::max(1u, std::thread::hardware_concurrency()));
        c->thread_type = FF_THREAD_SLICE;
        if (m_out->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        Check(avcodec_open2(c, codec, nullptr), "video encoder");
        AVStream* st = avformat_new_stream(m_out, nullptr);
        if (!st)
            throw Failure("video stream");
        Check(avcodec_parameters_from_context(st->codecpar, c), "video stream");
        st->time_base = c->time_base;
        st->avg_frame_rate = c->framerate;
        st->sample_aspect_ratio = c->sample_aspect_ratio;
        CopySideData(c, st);
        m_videoStream = st;
    }
    // The encoder's buffer properties, which the muxer needs for the stream's buffer bound.
    static void CopySideData(const AVCodecContext* c, AVStream* st)
    {
        for (int i = 0; i < c->nb_coded_side_data; ++i) {
            const AVPacketSideData& sd = c->coded_side_data[i];
            std::uint8_t* dst = av_stream_new_side_data(st, sd.type, sd.size);
            if (!dst)
                throw Failure("out of memory");
            std::memcpy(dst, sd.data, sd.size);
        }
    }
    void OpenAudio()
    {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
        if (!codec)
            throw Failure("no MP2 encoder");
        m_audio.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = m_audio.get();
        c->sample_fmt = AV_SAMPLE_FMT_S16;
        c->sample_rate = kAudioRate;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        av_channel_layout_copy(&c->ch_layout, &stereo);
        c->bit_rate = 224000;
        c->time_base = {1, kAudioRate};
        if (m_out->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        Check(avcodec_open2(c, codec, nullptr), "audio encoder");
        AVStream* st = avformat_new_stream(m_out, nullptr);
        if (!st)
            throw Failure("audio stream");
        Check(avcodec_parameters_from_context(st->codecpar, c), "audio stream");
        st->time_base = c->time_base;
        m_audioStream = st;
    }
    void Drain(AVCodecContext* c, AVStream* st)
    {
        for (;;) {
            const int rc = avcodec_receive_packet(c, m_packet.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                return;
            Check(rc, "encoder");
            av_packet_rescale_ts(m_packet.get(), c->time_base, st->time_base);
            m_packet->stream_index = st->index;
            Check(av_interleaved_write_frame(m_out, m_packet.get()), "cannot write " + m_file);
        }
    }

    const TMode& m_mode;
    std::string m_file;
    AVFormatContext* m_out = nullptr;
    bool m_headerWritten = false;
    CodecPtr m_video, m_audio;
    AVStream* m_videoStream = nullptr;
    AVStream* m_audioStream = nullptr;
    PacketPtr m_packet;
    FramePtr m_audioFrame;
    std::thread m_audioThread;
    std::mutex m_audioMutex;
    std::condition_variable m_audioChanged;
    std::deque<PacketPtr> m_audioPackets;
    std::string m_audioError;
    bool m_audioDone = false;
    bool m_audioStop = false;
};

} // namespace

TEncodeResult Encode(const TEncodeJob& job)
{
    TEncodeResult result;
    const fs::path folder = fs::path(job.EncoderFolder);
    const fs::path output = fs::path(job.OutputFile);
    const fs::path temp = output.string() + ".part";
    std::error_code ec;
    try {
        if (job.OutputFile.empty())
            throw Failure("no output file");
        const std::vector<FrameFile> files = ListFrames(folder);
        if (files.empty())
            throw Failure("no frame files Test_NNNN.jpg in " + folder.string());
        long long total = 0;
        std::vector<long long> ends;  // source frame where each file's hold ends
        for (const FrameFile& f : files)
            ends.push_back(total += f.hold);
        result.SourceFrames = total;

        FramePtr first = DecodeJpeg(files.front().path);
        const TMode& mode = ModeForSize(first->width, first->height);
        first.reset();
        result.Mode = mode.name;

        // PAL shows the 25-per-second sequence as it is; NTSC picks by time.
        const long long frames =
            mode.pal ? total : (total * 30000 + 25 * 1001 / 2) / (25 * 1001);
        AudioSource audio(folder / "Input.wav");
        Writer writer(mode, temp.string(), output.string());
        const AVRational rate = writer.FrameRate();
        const long long audioTotal = av_rescale_q(frames, av_inv_q(rate), AVRational{1, kAudioRate});
        writer.StartAudio(audio, audioTotal);
        FramePipeline pipeline(files, mode.width, mode.height);
        FramePtr current;
        std::size_t index = 0;
        bool haveFrame = false;
        for (long long n = 0; n < frames; ++n) {
            if (job.Cancel && job.Cancel->load(std::memory_order_relaxed))
                throw Failure("aborted");
            long long s = mode.pal ? n : n * rate.den * kSourceRate / rate.num;
            s = std::min(s, total - 1);
            while (!haveFrame || s >= ends[index]) {
                if (haveFrame)
                    ++index;
                current = pipeline.Next();
                haveFrame = true;
            }
            FramePtr send(av_frame_clone(current.get()));
            if (!send)
                throw Failure("out of memory");
            send->pts = n;
            writer.SendVideo(send.get());
            // Keep the sound up with the picture for the interleaver.
            const long long audioDue = av_rescale_q(n + 1, av_inv_q(rate), AVRational{1, kAudioRate});
            writer.WriteAudioUpTo(audioDue);
            if (job.Progress && n % 25 == 0 && !job.Progress(double(n) / double(frames)))
                throw Failure("aborted");
        }
        writer.Finish();
        result.Frames = frames;
        fs::rename(temp, output, ec);
        if (ec)
            throw Failure("cannot write " + output.string() + ": " + ec.message());
        result.Ok = true;
        if (job.Progress)
            job.Progress(1.0);
    } catch (const std::exception& e) {
        result.Ok = false;
        result.Error = e.what();
        fs::remove(temp, ec);
    }
    return result;
}

} // namespace mpdx
