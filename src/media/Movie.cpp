#include "media/Movie.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <optional>
#include <system_error>

#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "media/FfmpegBackend.h"

namespace corv {

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
    std::unique_ptr<ffmpeg::Decoder> decoder;  // only while a movie is open
    std::int64_t position = 0;
    MovieInfo info;
    std::string error;

    bool OpenFile() {
        const ffmpeg::Backend* backend = ffmpeg::Load(&error);
        if (!backend) return false;
        decoder.reset(backend->newDecoder());
        if (!decoder->Open(path.c_str())) {
            error = decoder->error();
            decoder.reset();
            return false;
        }
        info = decoder->info();
        position = 0;
        return true;
    }
};

MovieReader::MovieReader() : d_(std::make_unique<Impl>()) {}
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
        if (IsFlashFile(path) && ffmpeg::Load()) {
            // FFmpeg reads the video streams a Flash file may carry, never its vector drawing.
            d_->error = "This Flash movie holds no video stream: it is drawn with vectors (or damaged), and this system has "
                        "no decoder for vector Flash. Export it as a video (for example MP4) and import that.";
        }
        return false;
    }
    return true;
}

const MovieInfo& MovieReader::info() const { return d_->info; }
const std::string& MovieReader::error() const { return d_->error; }
std::int64_t MovieReader::position() const { return d_->position; }

bool MovieReader::Next(Frame& out, int width, int height, Fit fit) {
    ffmpeg::Decoder* dec = d_->decoder.get();
    if (!dec || width <= 0 || height <= 0) return false;
    if (!dec->Decode()) {
        d_->error = dec->error();
        return false;
    }
    const FitRect r = FitInside(dec->pictureWidth(), dec->pictureHeight(), width, height, fit);
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
    const bool ok = dec->Scale(out.data(), out.stride(), height, r);
    if (!ok) d_->error = dec->error();
    dec->Release();
    if (ok) ++d_->position;
    return ok;
}

bool MovieReader::Rewind() {
    if (!d_->decoder) return false;
    // Seeking is not reliable in every container; opening again is, and cheap.
    const std::filesystem::path path = d_->path;
    d_ = std::make_unique<Impl>();
    d_->path = path;
    return d_->OpenFile();
}

std::int64_t MovieReader::CountFrames() {
    if (!d_->decoder) return -1;
    const std::int64_t n = d_->decoder->CountPackets();
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
    const ffmpeg::Backend* backend = ffmpeg::Load();
    std::vector<VideoEncoder> out;
    for (const Known& k : kKnown) {
        if (backend && backend->hasEncoder(k.name)) out.push_back({k.name, k.description, MakeFourcc(k.fourcc), k.lossless});
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

// ---------------------------------------------------------------------------------------------
// Writer

struct MovieWriter::Impl {
    std::filesystem::path named;   // as the caller named it, for messages
    std::filesystem::path target;  // the regular file replaced (a link is followed)
    std::filesystem::path temp;    // beside the target, renamed over it when the movie is whole
    std::optional<PendingTemporaryFile> pending;  // removed if a signal stops the program
    std::unique_ptr<ffmpeg::Encoder> encoder;
    bool headerWritten = false;
    int width = 0, height = 0;
    std::string encoderName;
    std::string error;

    bool Fail(const std::string& text) {
        error = text;
        return false;
    }
};

MovieWriter::MovieWriter() : d_(std::make_unique<Impl>()) {}
MovieWriter::~MovieWriter() { Abandon(); }

const std::string& MovieWriter::error() const { return d_->error; }
const std::string& MovieWriter::encoder() const { return d_->encoderName; }

bool MovieWriter::Open(const std::filesystem::path& path, int width, int height, const VideoOptions& options) {
    Abandon();  // a movie begun before is not finished
    d_ = std::make_unique<Impl>();
    Impl& d = *d_;
    if (path.empty()) return d.Fail("No file name was given.");
    if (width <= 0 || height <= 0) return d.Fail("The clip has no pictures.");
    d.target = path;
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool gif = ext == ".gif";
    const char* muxer = ext == ".avi" ? "avi" : ext == ".mp4" ? "mp4" : ext == ".mov" ? "mov" : ext == ".mkv" ? "matroska" : gif ? "gif" : nullptr;
    if (!muxer) return d.Fail("Unknown movie type \"" + ext + "\": choose .avi, .mp4, .mov, .mkv or .gif.");
    std::string why;
    const ffmpeg::Backend* backend = ffmpeg::Load(&why);
    if (!backend) return d.Fail(why);
    // The encoder: the one asked for, else the container's natural one.
    std::string name = options.encoder;
    if (gif) name = "gif";
    if (name.empty()) {
        if (ext == ".avi") name = "rawvideo";
        else if (ext == ".mkv") name = "ffv1";
        else name = EncoderByName("libx264") ? "libx264" : "mpeg4";
    }
    if (!backend->hasEncoder(name.c_str())) return d.Fail("This machine's FFmpeg has no encoder \"" + name + "\".");
    d.encoderName = name;
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
    d.encoder.reset(backend->newEncoder());
    if (!d.encoder->Open(d.temp.c_str(), path.string(), muxer, name, width, height, options, gif)) {
        const std::string reason = d.encoder->error();
        Abandon();
        return d.Fail(reason);
    }
    d.headerWritten = true;
    d.width = width;
    d.height = height;
    return true;
}

bool MovieWriter::Write(const Frame& frame) {
    Impl& d = *d_;
    if (!d.headerWritten) return d.Fail(d.error.empty() ? "The movie is not open." : d.error);
    if (frame.width() != d.width || frame.height() != d.height) return d.Fail("A frame of another size cannot go into the movie.");
    if (!d.encoder->Write(frame.data(), frame.stride())) return d.Fail(d.encoder->error());
    return true;
}

bool MovieWriter::Close() {
    Impl& d = *d_;
    if (!d.headerWritten) return false;
    bool ok = d.encoder->Finish();
    if (!ok) d.Fail(d.encoder->error());
    d.headerWritten = false;
    d.encoder.reset();
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
    d_->encoder.reset();
    std::error_code ec;
    std::filesystem::remove(d_->temp, ec);
    d_->pending.reset();
    d_->temp.clear();
}

}  // namespace corv
