#pragma once

// The import window's frame sources: a movie or a project document delivered one frame at a
// time at the project's frame size, for the controller output. Nothing is held whole in
// memory: a movie is decoded picture after picture, a document read frame after frame.

#include <filesystem>
#include <memory>
#include <string>

#include "controller/LedFile.h"
#include "media/Movie.h"
#include "project/Document.h"

namespace corv {

enum class ImportKind { Movie, Flash, Document };

// The kind a file is imported as, by its extension in any case: ".cvn" a document, ".swf"
// a Flash movie, everything else a movie.
ImportKind ImportKindOf(const std::filesystem::path& path);

// The extensions of the import window's filter, in its order ("*.cvn;*.swf;...").
const char* ImportFilterPatterns();

// Frames from a movie (a Flash file too when FFmpeg finds a video stream in it).
class MovieFrameSource : public FrameSource {
public:
    // Opens the movie and counts its pictures (packets only, no decoding). A failure with the
    // reason as its message: the file cannot be opened, holds no video, or is a Flash movie
    // drawn with vectors (no decoder for those on this system).
    Result<Done> Open(const std::filesystem::path& path, int width, int height, Fit fit);
    // Samples the movie `perSecond` times a second of its playing time instead of taking
    // every picture (a Flash movie sampled while it plays); 0 takes every picture.
    void SampleAt(double perSecond);
    std::size_t Count() const override;
    // Frames are decoded in order; asking for an earlier one starts the movie again.
    const Frame* Get(std::size_t i) override;
    const MovieInfo& info() const { return reader_.info(); }
    const std::string& error() const { return reader_.error(); }

private:
    MovieReader reader_;
    Frame frame_;
    int width_ = 0, height_ = 0;
    Fit fit_ = Fit::Center;
    std::size_t count_ = 0;  // pictures in the movie
    std::size_t next_ = 0;   // index of the picture the reader delivers next
    double step_ = 1;        // pictures per delivered frame
};

// Frames of the first clip of a project document, read from the file as needed.
class DocumentFrameSource : public FrameSource {
public:
    DocumentFrameSource() : reader_(std::make_unique<ClipFrameReader>()) {}
    explicit DocumentFrameSource(std::unique_ptr<ClipFrameReader> reader) : reader_(std::move(reader)) {}
    // Opens a plain or compressed document. Refuses a file that cannot be opened
    // (DocError::OpenFailed), and one that is not a version-0 document or whose frame size is
    // not width x height (DocError::Unsupported).
    Result<Done> Open(const std::filesystem::path& path, int width, int height, const std::filesystem::path& tempDir);
    std::size_t Count() const override { return reader_->count(); }
    const Frame* Get(std::size_t i) override { return reader_->Next(i); }
    std::unique_ptr<FrameSource> Fork() const override;

private:
    std::unique_ptr<ClipFrameReader> reader_;
};

// Opens any import source at width x height; a failure with the user's message.
// `highSpeed` false: a Flash movie is sampled 12 times a second of its playing time, as it
// would be while it plays; true (and every other movie): every picture.
Result<std::unique_ptr<FrameSource>> OpenImportSource(const std::filesystem::path& path, int width, int height, Fit fit,
                                                      const std::filesystem::path& tempDir, bool highSpeed = true);

// What the import window shows of a file: its first picture at width x height and the
// frames it offers. A failure with the reason when the file cannot be read.
struct ImportPreview {
    Frame first;
    std::size_t frames = 0;
    int sourceWidth = 0, sourceHeight = 0;
};
Result<ImportPreview> PreviewImport(const std::filesystem::path& path, int width, int height, Fit fit,
                                    const std::filesystem::path& tempDir);

}  // namespace corv
