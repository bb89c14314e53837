#pragma once

// The part of the movie and sound code that calls FFmpeg lives in a module of its own
// (libcorvantine-ffmpeg.so), loaded the first time a movie or a sound file is touched. FFmpeg
// and the hundred-odd libraries it brings are then loaded only by the runs that use them: a
// command that writes controller files or a sequence starts without them.
//
// This header is shared by the module and the programs; both are built from the same tree, so
// C++ classes and std::string pass between them. kBackendVersion guards against a module of
// another build.

#include <cstddef>
#include <cstdint>
#include <string>

#include "media/Movie.h"

namespace corv::ffmpeg {

inline constexpr int kBackendVersion = 1;

// Decodes the pictures of a movie's first video stream.
class Decoder {
public:
    virtual ~Decoder() = default;
    // False with a reason for the user in error().
    virtual bool Open(const char* path) = 0;
    virtual const MovieInfo& info() const = 0;
    // The next picture, decoded and held until Release(); false at the end of the movie or on a
    // decoding error (error() then says why).
    virtual bool Decode() = 0;
    virtual int pictureWidth() const = 0;
    virtual int pictureHeight() const = 0;
    // The held picture scaled into the rectangle `r` of a frame whose rows (`stride` bytes, BGR)
    // are stored bottom-up; `frameHeight` rows in all.
    virtual bool Scale(std::uint8_t* frame, std::size_t stride, int frameHeight, const FitRect& r) = 0;
    virtual void Release() = 0;
    // The packets of the video stream from here to the end, read without decoding; -1 on error.
    virtual std::int64_t CountPackets() = 0;
    virtual const std::string& error() const = 0;
};

// Encodes pictures into a movie file.
class Encoder {
public:
    virtual ~Encoder() = default;
    // Opens `file` (shown to the user as `named`) with the muxer and encoder named for pictures
    // of width x height. False with a reason in error().
    virtual bool Open(const char* file, const std::string& named, const char* muxer, const std::string& encoder, int width,
                      int height, const VideoOptions& options, bool gif) = 0;
    // One picture, its rows (`stride` bytes, BGR) bottom-up.
    virtual bool Write(const std::uint8_t* frame, std::size_t stride) = 0;
    // Flushes the encoder, writes the trailer and closes the file; false with a reason.
    virtual bool Finish() = 0;
    virtual const std::string& error() const = 0;
};

// What a probe of a sound file found.
enum class SoundProbe { Playable, Unreadable, NoSound, NoDecoder };

struct Backend {
    int version = 0;
    Decoder* (*newDecoder)() = nullptr;
    Encoder* (*newEncoder)() = nullptr;
    bool (*hasEncoder)(const char* name) = nullptr;
    SoundProbe (*probeSound)(const char* path) = nullptr;
};

// The module's one entry point.
using EntryPoint = const Backend* (*)();
inline constexpr const char* kEntryPoint = "corvantine_ffmpeg_backend";
inline constexpr const char* kModuleName = "libcorvantine-ffmpeg.so";

// The loaded module, or nullptr with the reason for the user in `why`. Loaded once; safe from
// any thread.
const Backend* Load(std::string* why = nullptr);

}  // namespace corv::ffmpeg
