#pragma once

// Movies through FFmpeg: a reader that decodes one picture after the other into frames of a
// chosen size (never the whole movie in memory), and a writer that encodes frames into an
// AVI, MP4, Matroska or animated GIF file. FFmpeg itself is loaded on first use (see
// media/FfmpegBackend.h); where it cannot be, Open fails with the reason.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "project/Frame.h"

namespace corv {

// How a picture of another size fills a frame. Center: scaled to fit inside, keeping its
// proportions, and centred on black. Stretch: scaled to fill the frame exactly.
enum class Fit { Center, Stretch };

struct MovieInfo {
    int width = 0;
    int height = 0;
    double fps = 0;            // frames per second of the video stream (25 when it names none)
    std::int64_t frames = -1;  // as the container states it; -1 when it does not
    std::string codec;         // the decoder's name
};

// The place of a w x h picture inside a frame of fw x fh under a fit.
struct FitRect {
    int x = 0, y = 0, w = 0, h = 0;
};
FitRect FitInside(int w, int h, int fw, int fh, Fit fit);

class MovieReader {
public:
    MovieReader();
    ~MovieReader();
    MovieReader(const MovieReader&) = delete;
    MovieReader& operator=(const MovieReader&) = delete;

    // Opens the first video stream of the file. False with a reason for the user in error().
    bool Open(const std::filesystem::path& path);
    const MovieInfo& info() const;
    // Decodes the next picture into `out`, made width x height (the picture fitted as asked).
    // False at the end of the movie, or on a decoding error (error() then says why).
    bool Next(Frame& out, int width, int height, Fit fit);
    // Back to the first picture.
    bool Rewind();
    // The pictures the movie holds, counted by reading its packets without decoding them;
    // the reader is rewound afterwards. -1 on error.
    std::int64_t CountFrames();
    // Pictures delivered since the start or the last rewind.
    std::int64_t position() const;
    const std::string& error() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// True for a Flash file (signature FWS, CWS or ZWS).
bool IsFlashFile(const std::filesystem::path& path);

// A video encoder of this machine's FFmpeg that the writer can use.
struct VideoEncoder {
    std::string name;         // FFmpeg's encoder name ("mjpeg", "libx264", ...)
    std::string description;  // shown in the option dialog
    std::uint32_t fourcc = 0; // the code stored as the chosen compressor
    bool lossless = false;
};

// The encoders the writer offers that this machine's FFmpeg has, uncompressed first.
std::vector<VideoEncoder> AvailableVideoEncoders();
// The encoder of a stored code; nullptr for 0 or a code this machine has no encoder for.
const VideoEncoder* EncoderForFourcc(std::uint32_t fourcc);
const VideoEncoder* EncoderByName(const std::string& name);
inline std::uint32_t MakeFourcc(const char code[4]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

struct VideoOptions {
    int fps = 20;         // frames per second of the stream
    int keyEvery = 20;    // a key frame every this many frames
    int quality = 65;     // 1..100; the codecs get it as 100 x this on a 0..10000 scale
    std::string encoder;  // FFmpeg encoder name; empty: the container's default
};

// The FFmpeg quantiser (2..31, smaller is better) and x264 rate factor (0..51) a quality
// 1..100 maps to.
inline int QuantiserForQuality(int quality) {
    // 100 -> 2 (best), 1 -> 31 (smallest).
    const int q = std::clamp(quality, 1, 100);
    return 2 + static_cast<int>(std::lround((100 - q) * 29.0 / 99.0));
}
inline int RateFactorForQuality(int quality) {
    // 100 -> 0 (lossless), 65 -> 18, 1 -> 51.
    const int q = std::clamp(quality, 1, 100);
    return static_cast<int>(std::lround((100 - q) * 51.0 / 99.0));
}

// Writes frames into a movie; the container follows the extension (.avi, .mp4, .mkv, .mov,
// .gif). The file is written beside its final name and renamed into place on Close, so a
// failed export leaves nothing half written.
class MovieWriter {
public:
    MovieWriter();
    ~MovieWriter();
    MovieWriter(const MovieWriter&) = delete;
    MovieWriter& operator=(const MovieWriter&) = delete;

    bool Open(const std::filesystem::path& path, int width, int height, const VideoOptions& options);
    bool Write(const Frame& frame);
    // Flushes the encoder and puts the file in place; false (and no file) on any error.
    bool Close();
    // Drops a file being written.
    void Abandon();
    const std::string& error() const;
    // The encoder used (after Open).
    const std::string& encoder() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace corv
