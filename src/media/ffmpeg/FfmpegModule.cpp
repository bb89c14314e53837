// The module that holds every call into FFmpeg: movie decoding and encoding, and the probe of
// sound files. Loaded by the programs on first use (see media/FfmpegBackend.h).

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "media/FfmpegBackend.h"

namespace corv::ffmpeg {

namespace {

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct FormatCloser {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct OutputCloser {
    void operator()(AVFormatContext* f) const {
        if (f && !(f->oformat->flags & AVFMT_NOFILE)) avio_closep(&f->pb);
        avformat_free_context(f);
    }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleFreer {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

// Decoders and encoders use every core (the import and export wait for them).
void UseThreads(AVCodecContext* c, bool frameThreads) {
    c->thread_count = 0;
    c->thread_type = frameThreads ? (FF_THREAD_FRAME | FF_THREAD_SLICE) : FF_THREAD_SLICE;
}

// ---------------------------------------------------------------------------------------------
// Reader

class MovieDecoder final : public Decoder {
public:
    bool Open(const char* path) override {
        AVFormatContext* f = nullptr;
        const int rc = avformat_open_input(&f, path, nullptr, nullptr);
        if (rc < 0) return Fail("Open file fail! (" + AvError(rc) + ")");
        format_.reset(f);
        if (avformat_find_stream_info(f, nullptr) < 0) return Fail("The movie's streams cannot be read.");
        const AVCodec* decoder = nullptr;
        stream_ = av_find_best_stream(f, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
        if (stream_ == AVERROR_DECODER_NOT_FOUND) return Fail("There is no decoder on this system for the movie's pictures.");
        if (stream_ < 0 || !decoder) return Fail("The file holds no video.");
        AVStream* s = f->streams[stream_];
        codec_.reset(avcodec_alloc_context3(decoder));
        if (!codec_ || avcodec_parameters_to_context(codec_.get(), s->codecpar) < 0) {
            return Fail("The movie's decoder cannot be prepared.");
        }
        UseThreads(codec_.get(), true);
        if (avcodec_open2(codec_.get(), decoder, nullptr) < 0) {
            return Fail(std::string("The decoder \"") + decoder->name + "\" cannot be opened.");
        }
        // Other streams are never read.
        for (unsigned i = 0; i < f->nb_streams; ++i) {
            if (static_cast<int>(i) != stream_) f->streams[i]->discard = AVDISCARD_ALL;
        }
        info_.width = codec_->width;
        info_.height = codec_->height;
        AVRational rate = s->avg_frame_rate.num > 0 ? s->avg_frame_rate : s->r_frame_rate;
        info_.fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 25.0;
        info_.frames = s->nb_frames > 0 ? s->nb_frames : -1;
        if (info_.frames < 0 && s->duration > 0 && s->duration != AV_NOPTS_VALUE) {
            info_.frames =
                static_cast<std::int64_t>(std::llround(static_cast<double>(s->duration) * av_q2d(s->time_base) * info_.fps));
        }
        info_.codec = decoder->name;
        if (info_.width <= 0 || info_.height <= 0) return Fail("The movie names no picture size.");
        return true;
    }

    const MovieInfo& info() const override { return info_; }
    const std::string& error() const override { return error_; }
    int pictureWidth() const override { return picture_->width; }
    int pictureHeight() const override { return picture_->height; }
    void Release() override { av_frame_unref(picture_.get()); }

    bool Decode() override {
        if (!codec_) return false;
        while (!ended_) {
            const int got = avcodec_receive_frame(codec_.get(), picture_.get());
            if (got == 0) return true;
            if (got == AVERROR_EOF) {
                ended_ = true;
                break;
            }
            if (got != AVERROR(EAGAIN)) {
                ended_ = true;
                return Fail("The movie cannot be decoded: " + AvError(got));
            }
            if (draining_) {
                ended_ = true;
                break;
            }
            // Feed packets of the video stream until the decoder has a picture.
            for (;;) {
                const int rc = av_read_frame(format_.get(), packet_.get());
                if (rc < 0) {
                    draining_ = true;
                    avcodec_send_packet(codec_.get(), nullptr);
                    break;
                }
                if (packet_->stream_index != stream_) {
                    av_packet_unref(packet_.get());
                    continue;
                }
                const int sent = avcodec_send_packet(codec_.get(), packet_.get());
                av_packet_unref(packet_.get());
                // A damaged packet is skipped, as players do; the next key frame recovers.
                if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) {
                    ended_ = true;
                    return Fail("The movie cannot be decoded: " + AvError(sent));
                }
                break;
            }
        }
        return false;
    }

    bool Scale(std::uint8_t* frame, std::size_t stride, int frameHeight, const FitRect& r) override {
        AVFrame* p = picture_.get();
        if (!scaler_ || sw_ != p->width || sh_ != p->height || sfmt_ != p->format || dw_ != r.w || dh_ != r.h) {
            scaler_.reset(sws_getContext(p->width, p->height, static_cast<AVPixelFormat>(p->format), r.w, r.h, AV_PIX_FMT_BGR24,
                                         SWS_BICUBIC, nullptr, nullptr, nullptr));
            sw_ = p->width, sh_ = p->height, sfmt_ = p->format, dw_ = r.w, dh_ = r.h;
            if (!scaler_) return Fail("The movie's pictures cannot be scaled.");
        }
        // swscale writes whole aligned blocks and may run past a row's end, so it writes into a
        // padded scratch picture; the rows then go into the frame bottom-up.
        const int line = (3 * r.w + 63) / 64 * 64;
        scratch_.resize(static_cast<std::size_t>(line) * static_cast<std::size_t>(r.h) + 64);
        std::uint8_t* dst[4] = {scratch_.data(), nullptr, nullptr, nullptr};
        int dstStride[4] = {line, 0, 0, 0};
        sws_scale(scaler_.get(), p->data, p->linesize, 0, p->height, dst, dstStride);
        for (int y = 0; y < r.h; ++y) {
            std::memcpy(frame + static_cast<std::size_t>(frameHeight - 1 - r.y - y) * stride + 3 * static_cast<std::size_t>(r.x),
                        scratch_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(line),
                        3 * static_cast<std::size_t>(r.w));
        }
        return true;
    }

    std::int64_t CountPackets() override {
        if (!format_) return -1;
        std::int64_t n = 0;
        while (av_read_frame(format_.get(), packet_.get()) >= 0) {
            if (packet_->stream_index == stream_) ++n;
            av_packet_unref(packet_.get());
        }
        return n;
    }

private:
    bool Fail(std::string text) {
        error_ = std::move(text);
        return false;
    }

    std::unique_ptr<AVFormatContext, FormatCloser> format_;
    std::unique_ptr<AVCodecContext, CodecFreer> codec_;
    std::unique_ptr<AVFrame, FrameFreer> picture_{av_frame_alloc()};
    std::unique_ptr<AVPacket, PacketFreer> packet_{av_packet_alloc()};
    std::unique_ptr<SwsContext, ScaleFreer> scaler_;
    int stream_ = -1;
    bool draining_ = false;
    bool ended_ = false;
    MovieInfo info_;
    std::string error_;
    std::vector<std::uint8_t> scratch_;
    // The scaler's key: source size and format, target rectangle size.
    int sw_ = 0, sh_ = 0, sfmt_ = -1, dw_ = 0, dh_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Writer

class MovieEncoder final : public Encoder {
public:
    bool Open(const char* file, const std::string& named, const char* muxer, const std::string& name, int width, int height,
              const VideoOptions& options, bool gif) override {
        const AVCodec* enc = avcodec_find_encoder_by_name(name.c_str());
        if (!enc) return Fail("This machine's FFmpeg has no encoder \"" + name + "\".");
        AVFormatContext* f = nullptr;
        if (avformat_alloc_output_context2(&f, nullptr, muxer, file) < 0 || !f) return Fail("The movie cannot be prepared.");
        format_.reset(f);
        stream_ = avformat_new_stream(f, nullptr);
        codec_.reset(avcodec_alloc_context3(enc));
        if (!stream_ || !codec_) return Fail("The movie cannot be prepared.");
        AVCodecContext* c = codec_.get();
        const int fps = std::clamp(options.fps, 1, 1000);
        c->width = width;
        c->height = height;
        c->time_base = AVRational{1, fps};
        c->framerate = AVRational{fps, 1};
        c->gop_size = std::max(1, options.keyEvery);
        // The pixel format: the encoder's first one that keeps the most of 24-bit colour.
        AVPixelFormat fmt = AV_PIX_FMT_NONE;
        if (name == "rawvideo") fmt = AV_PIX_FMT_BGR24;
        else if (name == "gif") fmt = AV_PIX_FMT_RGB8;
        else if (name == "ffv1" || name == "libx264rgb") fmt = name == "ffv1" ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_BGR24;
        else if (name == "huffyuv") fmt = AV_PIX_FMT_RGB24;
        else if (name == "mjpeg") fmt = AV_PIX_FMT_YUVJ420P;
        else fmt = AV_PIX_FMT_YUV420P;
        c->pix_fmt = fmt;
        const int quality = std::clamp(options.quality, 1, 100);
        if (name == "mjpeg" || name == "mpeg4") {
            c->flags |= AV_CODEC_FLAG_QSCALE;
            c->global_quality = FF_QP2LAMBDA * QuantiserForQuality(quality);
            if (name == "mjpeg") c->color_range = AVCOL_RANGE_JPEG;
        }
        if (name == "libx264" || name == "libx264rgb") {
            av_opt_set_int(c->priv_data, "crf", RateFactorForQuality(quality), 0);
            av_opt_set(c->priv_data, "preset", "veryfast", 0);
        }
        if (name == "mpeg4" && std::strcmp(muxer, "avi") == 0) c->codec_tag = MakeFourcc("FMP4");
        if (f->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        UseThreads(c, false);
        int rc = avcodec_open2(c, enc, nullptr);
        if (rc < 0) return Fail("The encoder \"" + name + "\" cannot be opened: " + AvError(rc));
        if (avcodec_parameters_from_context(stream_->codecpar, c) < 0) return Fail("The movie cannot be prepared.");
        stream_->time_base = c->time_base;
        stream_->avg_frame_rate = c->framerate;
        if (!(f->oformat->flags & AVFMT_NOFILE)) {
            rc = avio_open(&f->pb, file, AVIO_FLAG_WRITE);
            if (rc < 0) return Fail("Save file fail! (" + named + ": " + AvError(rc) + ")");
        }
        AVDictionary* muxOptions = nullptr;
        if (gif) av_dict_set(&muxOptions, "loop", "0", 0);
        rc = avformat_write_header(f, &muxOptions);
        av_dict_free(&muxOptions);
        if (rc < 0) return Fail("The movie cannot be written: " + AvError(rc));
        picture_->format = fmt;
        picture_->width = width;
        picture_->height = height;
        if (av_frame_get_buffer(picture_.get(), 0) < 0) return Fail("Memory insufficiency.");
        scaler_.reset(sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, fmt,
                                     gif ? SWS_POINT | SWS_ERROR_DIFFUSION : SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (!scaler_) return Fail("The pictures cannot be converted for the encoder.");
        width_ = width;
        height_ = height;
        return true;
    }

    bool Write(const std::uint8_t* frame, std::size_t stride) override {
        if (av_frame_make_writable(picture_.get()) < 0) return Fail("Memory insufficiency.");
        // Rows are stored bottom-up; swscale reads whole aligned blocks, so the rows go top-down
        // into a padded scratch picture first.
        const int line = (3 * width_ + 63) / 64 * 64;
        scratch_.resize(static_cast<std::size_t>(line) * static_cast<std::size_t>(height_) + 64);
        for (int y = 0; y < height_; ++y) {
            std::memcpy(scratch_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(line),
                        frame + static_cast<std::size_t>(height_ - 1 - y) * stride, 3 * static_cast<std::size_t>(width_));
        }
        const std::uint8_t* src[4] = {scratch_.data(), nullptr, nullptr, nullptr};
        const int srcStride[4] = {line, 0, 0, 0};
        sws_scale(scaler_.get(), src, srcStride, 0, height_, picture_->data, picture_->linesize);
        picture_->pts = next_++;
        // Quantiser-driven encoders read the quality of each picture, not of the stream.
        picture_->quality = codec_->global_quality;
        return Drain(false);
    }

    bool Finish() override {
        bool ok = Drain(true);
        if (ok) {
            // Buffered bytes reach the file here: a full disk or a size limit shows now.
            const int rc = av_write_trailer(format_.get());
            if (rc < 0) ok = Fail("The movie cannot be finished: " + AvError(rc));
        }
        if (ok && format_ && !(format_->oformat->flags & AVFMT_NOFILE)) {
            const int rc = avio_closep(&format_->pb);
            if (rc < 0) ok = Fail("The movie cannot be finished: " + AvError(rc));
        }
        format_.reset();
        codec_.reset();
        return ok;
    }

    const std::string& error() const override { return error_; }

private:
    bool Fail(std::string text) {
        error_ = std::move(text);
        return false;
    }

    bool Drain(bool flush) {
        if (avcodec_send_frame(codec_.get(), flush ? nullptr : picture_.get()) < 0) return Fail("The encoder refused a picture.");
        for (;;) {
            const int rc = avcodec_receive_packet(codec_.get(), packet_.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) return Fail("The encoder failed: " + AvError(rc));
            av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            const int w = av_interleaved_write_frame(format_.get(), packet_.get());
            if (w < 0) return Fail("The movie cannot be written: " + AvError(w));
        }
    }

    // The codec goes before the file it writes into.
    std::unique_ptr<AVFormatContext, OutputCloser> format_;
    std::unique_ptr<AVCodecContext, CodecFreer> codec_;
    std::unique_ptr<AVFrame, FrameFreer> picture_{av_frame_alloc()};
    std::unique_ptr<AVPacket, PacketFreer> packet_{av_packet_alloc()};
    std::unique_ptr<SwsContext, ScaleFreer> scaler_;
    AVStream* stream_ = nullptr;
    std::int64_t next_ = 0;
    std::vector<std::uint8_t> scratch_;
    int width_ = 0, height_ = 0;
    std::string error_;
};

bool HasEncoder(const char* name) { return avcodec_find_encoder_by_name(name) != nullptr; }

SoundProbe ProbeSound(const char* path) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path, nullptr, nullptr) < 0) return SoundProbe::Unreadable;
    const bool ok = avformat_find_stream_info(format, nullptr) >= 0;
    const AVCodec* codec = nullptr;
    const int stream = ok ? av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0) : -1;
    avformat_close_input(&format);
    if (!ok || stream < 0) return SoundProbe::NoSound;
    if (!codec) return SoundProbe::NoDecoder;
    return SoundProbe::Playable;
}

}  // namespace

}  // namespace corv::ffmpeg

extern "C" __attribute__((visibility("default"))) const corv::ffmpeg::Backend* corvantine_ffmpeg_backend() {
    using namespace corv::ffmpeg;
    static const Backend backend = [] {
        // FFmpeg's own chatter (encoder banners, deprecation notes) stays off the user's
        // terminal; what goes wrong is reported through error().
        av_log_set_level(AV_LOG_QUIET);
        Backend b;
        b.version = kBackendVersion;
        b.newDecoder = []() -> Decoder* { return new MovieDecoder; };
        b.newEncoder = []() -> Encoder* { return new MovieEncoder; };
        b.hasEncoder = HasEncoder;
        b.probeSound = ProbeSound;
        return b;
    }();
    return &backend;
}
