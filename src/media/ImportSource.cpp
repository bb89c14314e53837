#include "media/ImportSource.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace corv {

namespace {

std::string LowerExtension(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

}  // namespace

ImportKind ImportKindOf(const std::filesystem::path& path) {
    const std::string ext = LowerExtension(path);
    if (ext == ".cvn") return ImportKind::Document;
    if (ext == ".swf") return ImportKind::Flash;
    return ImportKind::Movie;
}

const char* ImportFilterPatterns() {
    return "*.cvn;*.swf;*.avi;*.wmv;*.mpg;*.mpeg;*.mpv;*.mpa;*.rm;*.dat;*.vob;*.m2v;*.mov;*.rmvb;*.3gp;*.flv;*.mp4;";
}

Result<Done> MovieFrameSource::Open(const std::filesystem::path& path, int width, int height, Fit fit) {
    width_ = width;
    height_ = height;
    fit_ = fit;
    next_ = 0;
    count_ = 0;
    if (!reader_.Open(path)) return Failure{0, reader_.error(), {}, {}};
    const std::int64_t n = reader_.CountFrames();
    if (n <= 0) return Failure{0, n < 0 ? reader_.error() : "The movie holds no pictures.", {}, {}};
    count_ = static_cast<std::size_t>(n);
    return Done{};
}

void MovieFrameSource::SampleAt(double perSecond) {
    const double fps = reader_.info().fps;
    step_ = perSecond > 0 && fps > perSecond ? fps / perSecond : 1;
}

std::size_t MovieFrameSource::Count() const {
    return step_ <= 1 ? count_ : static_cast<std::size_t>(std::ceil(static_cast<double>(count_) / step_));
}

const Frame* MovieFrameSource::Get(std::size_t frame) {
    if (frame >= Count()) return nullptr;
    // The picture shown at the frame's time.
    const auto i = std::min(count_ - 1, static_cast<std::size_t>(std::floor(static_cast<double>(frame) * step_)));
    if (i + 1 == next_ && frame_.width() == width_) return &frame_;  // the same picture again
    if (i < next_) {
        if (!reader_.Rewind()) return nullptr;
        next_ = 0;
    }
    // Pictures before the one asked for are decoded and dropped (requests come in order).
    while (next_ <= i) {
        if (!reader_.Next(frame_, width_, height_, fit_)) {
            // A movie that ends early (a packet that held no picture) repeats its last picture,
            // so the output keeps the frame count it announced.
            if (frame_.width() == width_ && frame_.height() == height_ && reader_.error().empty()) {
                next_ = i + 1;
                return &frame_;
            }
            return nullptr;
        }
        ++next_;
    }
    return &frame_;
}

Result<Done> DocumentFrameSource::Open(const std::filesystem::path& path, int width, int height, const std::filesystem::path& tempDir) {
    reader_ = std::make_unique<ClipFrameReader>();
    if (auto opened = reader_->Open(path, 0, tempDir); !opened) return opened;
    if (reader_->width() != static_cast<std::uint32_t>(width) || reader_->height() != static_cast<std::uint32_t>(height)) {
        reader_ = std::make_unique<ClipFrameReader>();
        return DocumentFailure(DocError::Unsupported);
    }
    return Done{};
}

std::unique_ptr<FrameSource> DocumentFrameSource::Fork() const {
    auto fork = reader_->Fork();
    return fork ? std::make_unique<DocumentFrameSource>(std::move(fork)) : nullptr;
}

namespace {

std::string DocumentMessage(DocError e) {
    return e == DocError::OpenFailed ? "Open file fail!" : "The file or the file version is not supported!";
}

}  // namespace

Result<std::unique_ptr<FrameSource>> OpenImportSource(const std::filesystem::path& path, int width, int height, Fit fit,
                                                      const std::filesystem::path& tempDir, bool highSpeed) {
    if (ImportKindOf(path) == ImportKind::Document) {
        auto source = std::make_unique<DocumentFrameSource>();
        if (auto opened = source->Open(path, width, height, tempDir); !opened) {
            return Failure{0, DocumentMessage(DocErrorOf(opened)), {}, {}};
        }
        return std::unique_ptr<FrameSource>(std::move(source));
    }
    auto source = std::make_unique<MovieFrameSource>();
    if (auto opened = source->Open(path, width, height, fit); !opened) return opened.failure();
    if (!highSpeed && ImportKindOf(path) == ImportKind::Flash) source->SampleAt(12);
    return std::unique_ptr<FrameSource>(std::move(source));
}

Result<ImportPreview> PreviewImport(const std::filesystem::path& path, int width, int height, Fit fit,
                                    const std::filesystem::path& tempDir) {
    ImportPreview out;
    if (ImportKindOf(path) == ImportKind::Document) {
        ClipFrameReader reader;
        if (auto opened = reader.Open(path, 0, tempDir); !opened) {
            return Failure{0, DocumentMessage(DocErrorOf(opened)), {}, {}};
        }
        out.frames = reader.count();
        out.sourceWidth = static_cast<int>(reader.width());
        out.sourceHeight = static_cast<int>(reader.height());
        if (const Frame* f = out.frames ? reader.Next(0) : nullptr) out.first = *f;
        return out;
    }
    MovieReader reader;
    if (!reader.Open(path)) return Failure{0, reader.error(), {}, {}};
    out.sourceWidth = reader.info().width;
    out.sourceHeight = reader.info().height;
    const std::int64_t n = reader.CountFrames();  // rewinds
    out.frames = n > 0 ? static_cast<std::size_t>(n) : 0;
    if (!reader.Next(out.first, width, height, fit)) {
        return Failure{0, reader.error().empty() ? "The movie holds no pictures." : reader.error(), {}, {}};
    }
    return out;
}

}  // namespace corv
