#include "app/net/LiveOutput.h"

#include <utility>

#include "lang/Render.h"
#include "lang/messages/NetMessages.h"
#include "net/ChannelLayout.h"
#include "project/Frame.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

// A refusal with its message rendered in the language (the reason kept beside it).
Failure Rendered(const Failure& why, std::uint8_t language) {
    Failure failure = why;
    failure.message = Render(why, language);
    if (!why.reason.empty() && failure.message.find(why.reason) == std::string::npos) {
        failure.message += " (" + why.reason + ")";
    }
    return failure;
}

}  // namespace

LiveOutput::LiveOutput(Workspace& ws) : ws_(ws) {}

LiveOutput::~LiveOutput() { Stop(); }

Result<Done> LiveOutput::Start(const std::filesystem::path& file, FrameShape shape) {
    Stop();
    file_ = file;
    std::error_code ec;
    if (file_.empty() || !std::filesystem::is_regular_file(file_, ec)) {
        return Failure{net::kNetCannotRead, Render(msg::net::kNoNetworkFile, ws_.app.language, {file_.string()}), {}, {},
                       nullptr};
    }
    auto read = net::ReadNetworkFile(file_, ws_.app.language);
    if (!read) return Rendered(read.failure(), ws_.app.language);
    description_ = std::move(*read);
    warnings_ = net::DescriptionWarnings(description_, ws_.app.language);
    return Open(shape);
}

Result<Done> LiveOutput::Open(FrameShape shape) {
    shape_ = shape;
    const net::OutputLevels levels = net::BuildOutputLevels(ws_.layout.setting);
    std::vector<net::ChannelLayout> layouts;
    layouts.reserve(description_.controllers.size());
    for (const net::NetController& controller : description_.controllers) {
        auto built = net::ChannelLayout::Build(ws_.layout, ws_.lampTypes, levels, controller, shape);
        if (!built) return Rendered(built.failure(), ws_.app.language);
        layouts.push_back(std::move(*built));
    }
    auto started = net::LiveSender::Start(description_, std::move(layouts), ws_.random);
    if (!started) return Rendered(started.failure(), ws_.app.language);
    sender_ = std::move(*started);
    return Done{};
}

Result<Done> LiveOutput::Offer(const Frame& frame) {
    if (!sender_) return Done{};
    if (frame.height() != shape_.rows || frame.width() != shape_.cols) {
        // Another clip or document: the channels read other bytes of the frame.
        Stop();
        if (auto opened = Open(FrameShape{frame.height(), frame.width()}); !opened) return opened;
    }
    sender_->Offer(frame);
    if (&frame != &last_) {
        last_ = frame;
        haveLast_ = true;
    }
    return Done{};
}

Result<Done> LiveOutput::Resend() {
    if (!sender_ || !haveLast_) return Done{};
    return Offer(last_);
}

net::LiveSender::Stats LiveOutput::Stop() {
    if (!sender_) return {};
    sender_->Stop();
    net::LiveSender::Stats stats = sender_->stats();
    sender_.reset();
    haveLast_ = false;
    return stats;
}

}  // namespace corv
