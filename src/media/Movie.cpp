#include "media/Movie.h"

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
#include <fstream>
#include <optional>
#include <system_error>

#include "base/FileIO.h"
#include "base/FileUtil.h"

namespace corv {

namespace {

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct FormatCloser {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
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

// FFmpeg's own chatter (encoder banners, deprecation notes) stays off the user's terminal;
// what goes wrong is reported through error().
void QuietLibraries() {
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)quiet;
}

// Decoders and encoders use every core (the import and export wait for them).
void UseThreads(AVCodecContext* c, bool frameThreads) {
    c->thread_count = 0;
    c->thread_type = frameThreads ? (FF_THREAD_FRAME | FF_THREAD_SLICE) : FF_THREAD_SLICE;
}

}  // namespace

FitRect FitInside(int w, int h, int fw, int fh, Fit fit) {
    if (fit == Fit::Stretch || w <= 0 || h <= 0) return {0, 0, fw, fh};
    // The larger of the two fitted sizes that still fits, rounded to whole pixels.
    int dw = fw, dh = static_cast<int>(std::lround(static_cast<double>(h) * fw / w));
    if (dh > fh) {
        dh = fh;
        dw = static_cast<int>(std::lround(static_cast<double>(w) * fh / h));
    }
    dw = std::clamp(dw, 1, fw);
    dh = std::clamp(dh, 1, fh);
    return {(fw - dw) / 2, (fh - dh) / 2, dw, dh};
}

// ---------------------------------------------------------------------------------------------
// Reader

struct MovieReader::Impl {
    std::filesystem::path path;
    std::unique_ptr<AVFormatContext, FormatCloser> format;
    std::unique_ptr<AVCodecContext, CodecFreer> codec;
    std::unique_ptr<AVFrame, FrameFreer> picture{av_frame_alloc()};
    std::unique_ptr<AVPacket, PacketFreer> packet{av_packet_alloc()};
    std::unique_ptr<SwsContext, ScaleFreer> scaler;
    int stream = -1;
    bool draining = false;
    bool ended = false;
    std::int64_t position = 0;
    MovieInfo info;
    std::string error;
    std::vector<std::uint8_t> scratch;
    // The scaler's key: source size and format, target rectangle size.
    int sw = 0, sh = 0, sfmt = -1, dw = 0, dh = 0;

    bool OpenFile() {
        AVFormatContext* f = nullptr;
        const int rc = avformat_open_input(&f, path.c_str(), nullptr, nullptr);
        if (rc < 0) {
            error = "Open file fail! (" + AvError(rc) + ")";
            return false;
        }
        format.reset(f);
        if (avformat_find_stream_info(f, nullptr) < 0) {
            error = "The movie's streams cannot be read.";
            return false;
        }
        const AVCodec* decoder = nullptr;
        stream = av_find_best_stream(f, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
        if (stream == AVERROR_DECODER_NOT_FOUND) {
            error = "There is no decoder on this system for the movie's pictures.";
            return false;
        }
        if (stream < 0 || !decoder) {
            error = "The file holds no video.";
            return false;
        }
        AVStream* s = f->streams[stream];
        codec.reset(avcodec_alloc_context3(decoder));
        if (!codec || avcodec_parameters_to_context(codec.get(), s->codecpar) < 0) {
            error = "The movie's decoder cannot be prepared.";
            return false;
        }
        UseThreads(codec.get(), true);
        if (avcodec_open2(codec.get(), decoder, nullptr) < 0) {
            error = std::string("The decoder \"") + decoder->name + "\" cannot be opened.";
            return false;
        }
        // Other streams are never read.
        for (unsigned i = 0; i < f->nb_streams; ++i) {
            if (static_cast<int>(i) != stream) f->streams[i]->discard = AVDISCARD_ALL;
        }
        info.width = codec->width;
        info.height = codec->height;
        AVRational rate = s->avg_frame_rate.num > 0 ? s->avg_frame_rate : s->r_frame_rate;
        info.fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 25.0;
        info.frames = s->nb_frames > 0 ? s->nb_frames : -1;
        if (info.frames < 0 && s->duration > 0 && s->duration != AV_NOPTS_VALUE) {
            info.frames = static_cast<std::int64_t>(std::llround(static_cast<double>(s->duration) * av_q2d(s->time_base) * info.fps));
        }
        info.codec = decoder->name;
        draining = ended = false;
        position = 0;
        if (info.width <= 0 || info.height <= 0) {
            error = "The movie names no picture size.";
            return false;
        }
        return true;
    }

    // The next decoded picture into `picture`; false at the end or on an error.
    bool Decode() {
        while (!ended) {
            const int got = avcodec_receive_frame(codec.get(), picture.get());
            if (got == 0) return true;
            if (got == AVERROR_EOF) {
                ended = true;
                break;
            }
            if (got != AVERROR(EAGAIN)) {
                error = "The movie cannot be decoded: " + AvError(got);
                ended = true;
                return false;
            }
            if (draining) {
                ended = true;
                break;
            }
            // Feed packets of the video stream until the decoder has a picture.
            for (;;) {
                const int rc = av_read_frame(format.get(), packet.get());
                if (rc < 0) {
                    draining = true;
                    avcodec_send_packet(codec.get(), nullptr);
                    break;
                }
                if (packet->stream_index != stream) {
                    av_packet_unref(packet.get());
                    continue;
                }
                const int sent = avcodec_send_packet(codec.get(), packet.get());
                av_packet_unref(packet.get());
                // A damaged packet is skipped, as players do; the next key frame recovers.
                if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) {
                    error = "The movie cannot be decoded: " + AvError(sent);
                    ended = true;
                    return false;
                }
                break;
            }
        }
        return false;
    }

    bool Scale(Frame& out, int width, int height, Fit fit) {
        const FitRect r = FitInside(picture->width, picture->height, width, height, fit);
        if (!scaler || sw != picture->width || sh != picture->height || sfmt != picture->format || dw != r.w || dh != r.h) {
            scaler.reset(sws_getContext(picture->width, picture->height, static_cast<AVPixelFormat>(picture->format), r.w, r.h,
                                        AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr));
            sw = picture->width, sh = picture->height, sfmt = picture->format, dw = r.w, dh = r.h;
            if (!scaler) {
                error = "The movie's pictures cannot be scaled.";
                return false;
            }
        }
        const bool covers = r.w == width && r.h == height;
        if (out.width() != width || out.height() != height) {
            // A picture that covers the frame writes every pixel; the padding bytes are zeroed below.
            out = covers ? Frame(width, height, Frame::Uninitialized{}) : Frame(width, height);
            if (covers && out.stride() != 3 * static_cast<std::size_t>(width)) {
                for (int y = 0; y < height; ++y) std::memset(out.data() + y * out.stride() + 3 * width, 0, out.stride() - 3 * width);
            }
        } else if (!covers) {
            std::memset(out.data(), 0, out.size());
        }
        // swscale writes whole aligned blocks and may run past a row's end, so it writes into a
        // padded scratch picture; the rows then go into the frame bottom-up.
        const int line = (3 * r.w + 63) / 64 * 64;
        scratch.resize(static_cast<std::size_t>(line) * static_cast<std::size_t>(r.h) + 64);
        std::uint8_t* dst[4] = {scratch.data(), nullptr, nullptr, nullptr};
        int dstStride[4] = {line, 0, 0, 0};
        sws_scale(scaler.get(), picture->data, picture->linesize, 0, picture->height, dst, dstStride);
        const std::size_t stride = out.stride();
        for (int y = 0; y < r.h; ++y) {
            std::memcpy(out.data() + static_cast<std::size_t>(height - 1 - r.y - y) * stride + 3 * static_cast<std::size_t>(r.x),
                        scratch.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(line), 3 * static_cast<std::size_t>(r.w));
        }
        return true;
    }
};

MovieReader::MovieReader() : d_(std::make_unique<Impl>()) { QuietLibraries(); }
MovieReader::~MovieReader() = default;

bool MovieReader::Open(const std::filesystem::path& path) {
    d_ = std::make_unique<Impl>();
    d_->path = path;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        d_->error = "Open file fail! (" + path.string() + " is not a file)";
        return false;
    }
    if (!d_->OpenFile()) {
        if (IsFlashFile(path)) {
            // FFmpeg reads the video streams a Flash file may carry, never its vector drawing.
            d_->error = "This Flash movie holds no video stream: it is drawn with vectors (or damaged), and this system has "
                        "no decoder for vector Flash. Export it as a video (for example MP4) and import that.";
        }
        d_->format.reset();
        d_->codec.reset();
        return false;
    }
    return true;
}

const MovieInfo& MovieReader::info() const { return d_->info; }
const std::string& MovieReader::error() const { return d_->error; }
std::int64_t MovieReader::position() const { return d_->position; }

bool MovieReader::Next(Frame& out, int width, int height, Fit fit) {
    if (!d_->codec || width <= 0 || height <= 0) return false;
    if (!d_->Decode()) return false;
    const bool ok = d_->Scale(out, width, height, fit);
    av_frame_unref(d_->picture.get());
    if (ok) ++d_->position;
    return ok;
}

bool MovieReader::Rewind() {
    if (!d_->format) return false;
    // Seeking is not reliable in every container; opening again is, and cheap.
    const std::filesystem::path path = d_->path;
    d_ = std::make_unique<Impl>();
    d_->path = path;
    return d_->OpenFile();
}

std::int64_t MovieReader::CountFrames() {
    if (!d_->format) return -1;
    std::int64_t n = 0;
    AVPacket* p = d_->packet.get();
    while (av_read_frame(d_->format.get(), p) >= 0) {
        if (p->stream_index == d_->stream) ++n;
        av_packet_unref(p);
    }
    if (!Rewind()) return -1;
    return n;
}

bool IsFlashFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    char sig[3] = {};
    if (!in.read(sig, 3)) return false;
    return (sig[0] == 'F' || sig[0] == 'C' || sig[0] == 'Z') && sig[1] == 'W' && sig[2] == 'S';
}

// ---------------------------------------------------------------------------------------------
// Encoders

std::uint32_t MakeFourcc(const char code[4]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

std::vector<VideoEncoder> AvailableVideoEncoders() {
    struct Known {
        const char* name;
        const char* description;
        const char* fourcc;
        bool lossless;
    };
    static const Known kKnown[] = {
        {"rawvideo", "Uncompressed (24-bit)", "\0\0\0\0", true},
        {"mjpeg", "Motion JPEG", "MJPG", false},
        {"ffv1", "FFV1 (lossless)", "FFV1", true},
        {"huffyuv", "HuffYUV (lossless)", "HFYU", true},
        {"mpeg4", "MPEG-4 part 2", "FMP4", false},
        {"libx264", "H.264 (x264)", "H264", false},
        {"libx264rgb", "H.264 RGB (x264, lossless at best quality)", "X264", false},
    };
    std::vector<VideoEncoder> out;
    for (const Known& k : kKnown) {
        if (avcodec_find_encoder_by_name(k.name)) out.push_back({k.name, k.description, MakeFourcc(k.fourcc), k.lossless});
    }
    return out;
}

const VideoEncoder* EncoderForFourcc(std::uint32_t fourcc) {
    static const std::vector<VideoEncoder> all = AvailableVideoEncoders();
    if (fourcc == 0) return nullptr;
    for (const VideoEncoder& e : all) {
        if (e.fourcc == fourcc) return &e;
    }
    return nullptr;
}

const VideoEncoder* EncoderByName(const std::string& name) {
    static const std::vector<VideoEncoder> all = AvailableVideoEncoders();
    for (const VideoEncoder& e : all) {
        if (e.name == name) return &e;
    }
    return nullptr;
}

int QuantiserForQuality(int quality) {
    // 100 -> 2 (best), 1 -> 31 (smallest).
    const int q = std::clamp(quality, 1, 100);
    return 2 + static_cast<int>(std::lround((100 - q) * 29.0 / 99.0));
}

int RateFactorForQuality(int quality) {
    // 100 -> 0 (lossless), 65 -> 18, 1 -> 51.
    const int q = std::clamp(quality, 1, 100);
    return static_cast<int>(std::lround((100 - q) * 51.0 / 99.0));
}

// ---------------------------------------------------------------------------------------------
// Writer

struct MovieWriter::Impl {
    std::filesystem::path named;   // as the caller named it, for messages
    std::filesystem::path target;  // the regular file replaced (a link is followed)
    std::filesystem::path temp;    // beside the target, renamed over it when the movie is whole
    std::optional<PendingTemporaryFile> pending;  // removed if a signal stops the program
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> format{nullptr, [](AVFormatContext* f) {
                                                                            if (f && !(f->oformat->flags & AVFMT_NOFILE)) avio_closep(&f->pb);
                                                                            avformat_free_context(f);
                                                                        }};
    std::unique_ptr<AVCodecContext, CodecFreer> codec;
    std::unique_ptr<AVFrame, FrameFreer> picture{av_frame_alloc()};
    std::unique_ptr<AVPacket, PacketFreer> packet{av_packet_alloc()};
    std::unique_ptr<SwsContext, ScaleFreer> scaler;
    AVStream* stream = nullptr;
    std::int64_t next = 0;
    std::vector<std::uint8_t> scratch;
    bool gif = false;
    bool headerWritten = false;
    int width = 0, height = 0;
    std::string encoder;
    std::string error;

    bool Fail(const std::string& text) {
        error = text;
        return false;
    }

    bool Drain(bool flush) {
        if (avcodec_send_frame(codec.get(), flush ? nullptr : picture.get()) < 0) return Fail("The encoder refused a picture.");
        for (;;) {
            const int rc = avcodec_receive_packet(codec.get(), packet.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) return Fail("The encoder failed: " + AvError(rc));
            av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int w = av_interleaved_write_frame(format.get(), packet.get());
            if (w < 0) return Fail("The movie cannot be written: " + AvError(w));
        }
    }
};

MovieWriter::MovieWriter() : d_(std::make_unique<Impl>()) { QuietLibraries(); }
MovieWriter::~MovieWriter() { Abandon(); }

const std::string& MovieWriter::error() const { return d_->error; }
const std::string& MovieWriter::encoder() const { return d_->encoder; }

bool MovieWriter::Open(const std::filesystem::path& path, int width, int height, const VideoOptions& options) {
    Abandon();  // a movie begun before is not finished
    d_ = std::make_unique<Impl>();
    Impl& d = *d_;
    if (path.empty()) return d.Fail("No file name was given.");
    if (width <= 0 || height <= 0) return d.Fail("The clip has no pictures.");
    d.target = path;
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    d.gif = ext == ".gif";
    const char* muxer = ext == ".avi" ? "avi" : ext == ".mp4" ? "mp4" : ext == ".mov" ? "mov" : ext == ".mkv" ? "matroska" : d.gif ? "gif" : nullptr;
    if (!muxer) return d.Fail("Unknown movie type \"" + ext + "\": choose .avi, .mp4, .mov, .mkv or .gif.");
    // The encoder: the one asked for, else the container's natural one.
    std::string name = options.encoder;
    if (d.gif) name = "gif";
    if (name.empty()) {
        if (ext == ".avi") name = "rawvideo";
        else if (ext == ".mkv") name = "ffv1";
        else name = EncoderByName("libx264") ? "libx264" : "mpeg4";
    }
    const AVCodec* enc = avcodec_find_encoder_by_name(name.c_str());
    if (!enc) return d.Fail("This machine's FFmpeg has no encoder \"" + name + "\".");
    d.encoder = name;
    // Codecs that need even sizes are refused with a clear reason instead of a cryptic one.
    if ((name == "libx264" || name == "mpeg4") && (width % 2 || height % 2)) {
        return d.Fail("The " + name + " encoder needs an even width and height; this clip is " + std::to_string(width) + " x " +
                      std::to_string(height) + ". Choose another encoder (for example MJPEG or uncompressed).");
    }

    // As every writer of the programs: a link is followed and the file it names replaced (the
    // link stays), through a temporary file in that file's folder; a folder, a device or a pipe
    // in the target's place is refused.
    const auto target = ResolveWriteTarget(path);
    if (!target) return d.Fail("Save file fail! (" + target.failure().reason + ")");
    const auto temp = MakeSiblingTemp(*target);
    if (!temp) return d.Fail("Save file fail! (" + path.string() + ": " + temp.failure().reason.substr(target->string().size() + 2) + ")");
    d.named = path;
    d.target = *target;
    d.temp = *temp;
    d.pending.emplace(d.temp);
    AVFormatContext* f = nullptr;
    if (avformat_alloc_output_context2(&f, nullptr, muxer, d.temp.c_str()) < 0 || !f) return d.Fail("The movie cannot be prepared.");
    d.format.reset(f);
    d.stream = avformat_new_stream(f, nullptr);
    d.codec.reset(avcodec_alloc_context3(enc));
    if (!d.stream || !d.codec) return d.Fail("The movie cannot be prepared.");
    AVCodecContext* c = d.codec.get();
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
    if (name == "mpeg4" && ext == ".avi") c->codec_tag = MakeFourcc("FMP4");
    if (f->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    UseThreads(c, false);
    int rc = avcodec_open2(c, enc, nullptr);
    if (rc < 0) return d.Fail("The encoder \"" + name + "\" cannot be opened: " + AvError(rc));
    if (avcodec_parameters_from_context(d.stream->codecpar, c) < 0) return d.Fail("The movie cannot be prepared.");
    d.stream->time_base = c->time_base;
    d.stream->avg_frame_rate = c->framerate;
    if (!(f->oformat->flags & AVFMT_NOFILE)) {
        rc = avio_open(&f->pb, d.temp.c_str(), AVIO_FLAG_WRITE);
        if (rc < 0) return d.Fail("Save file fail! (" + path.string() + ": " + AvError(rc) + ")");
    }
    AVDictionary* muxOptions = nullptr;
    if (d.gif) av_dict_set(&muxOptions, "loop", "0", 0);
    rc = avformat_write_header(f, &muxOptions);
    av_dict_free(&muxOptions);
    if (rc < 0) {
        Abandon();
        return d.Fail("The movie cannot be written: " + AvError(rc));
    }
    d.headerWritten = true;
    d.picture->format = fmt;
    d.picture->width = width;
    d.picture->height = height;
    if (av_frame_get_buffer(d.picture.get(), 0) < 0) {
        Abandon();
        return d.Fail("Memory insufficiency.");
    }
    d.scaler.reset(sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, fmt,
                                  d.gif ? SWS_POINT | SWS_ERROR_DIFFUSION : SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!d.scaler) {
        Abandon();
        return d.Fail("The pictures cannot be converted for the encoder.");
    }
    d.width = width;
    d.height = height;
    return true;
}

bool MovieWriter::Write(const Frame& frame) {
    Impl& d = *d_;
    if (!d.headerWritten) return d.Fail(d.error.empty() ? "The movie is not open." : d.error);
    if (frame.width() != d.width || frame.height() != d.height) return d.Fail("A frame of another size cannot go into the movie.");
    if (av_frame_make_writable(d.picture.get()) < 0) return d.Fail("Memory insufficiency.");
    // Rows are stored bottom-up; swscale reads whole aligned blocks, so the rows go top-down
    // into a padded scratch picture first.
    const int line = (3 * d.width + 63) / 64 * 64;
    d.scratch.resize(static_cast<std::size_t>(line) * static_cast<std::size_t>(d.height) + 64);
    for (int y = 0; y < d.height; ++y) {
        std::memcpy(d.scratch.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(line),
                    frame.data() + static_cast<std::size_t>(d.height - 1 - y) * frame.stride(), 3 * static_cast<std::size_t>(d.width));
    }
    const std::uint8_t* src[4] = {d.scratch.data(), nullptr, nullptr, nullptr};
    const int srcStride[4] = {line, 0, 0, 0};
    sws_scale(d.scaler.get(), src, srcStride, 0, d.height, d.picture->data, d.picture->linesize);
    d.picture->pts = d.next++;
    // Quantiser-driven encoders read the quality of each picture, not of the stream.
    d.picture->quality = d.codec->global_quality;
    return d.Drain(false);
}

bool MovieWriter::Close() {
    Impl& d = *d_;
    if (!d.headerWritten) return false;
    bool ok = d.Drain(true);
    if (ok) {
        // Buffered bytes reach the file here: a full disk or a size limit shows now.
        const int rc = av_write_trailer(d.format.get());
        if (rc < 0) ok = d.Fail("The movie cannot be finished: " + AvError(rc));
    }
    if (ok && d.format && !(d.format->oformat->flags & AVFMT_NOFILE)) {
        const int rc = avio_closep(&d.format->pb);
        if (rc < 0) ok = d.Fail("The movie cannot be finished: " + AvError(rc));
    }
    d.headerWritten = false;
    d.format.reset();
    d.codec.reset();
    std::error_code ec;
    d.pending.reset();  // before the rename: a signal afterwards must not remove the movie
    if (ok && !ReplaceWithTemp(d.temp, d.target)) {
        ok = d.Fail("Save file fail! (" + FileFailure(d.named, errno).reason + ")");
    }
    if (!ok) std::filesystem::remove(d.temp, ec);
    d.temp.clear();  // renamed or removed: nothing left for Abandon()
    return ok;
}

void MovieWriter::Abandon() {
    if (!d_ || d_->temp.empty()) return;
    d_->headerWritten = false;
    d_->format.reset();
    d_->codec.reset();
    std::error_code ec;
    std::filesystem::remove(d_->temp, ec);
    d_->pending.reset();
    d_->temp.clear();
}

}  // namespace corv
