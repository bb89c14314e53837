#include "content/ColourList.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "base/Binary.h"
#include "base/FileUtil.h"

namespace corv {

ColourList::ColourList(std::vector<ListColour> colours) : colours_(std::move(colours)) {
    if (colours_.size() > kMaxCount) colours_.resize(kMaxCount);
    capacity_ = colours_.size() + 1;  // as a list read from the library
}

void ColourList::Select(int index) {
    selected_ = colours_.empty() ? 0 : std::clamp(index, 0, static_cast<int>(colours_.size()) - 1);
}

void ColourList::Grow() {
    if (colours_.size() > capacity_) capacity_ = (colours_.size() + kBlock - 1) / kBlock * kBlock;
}

void ColourList::AddColour(ListColour c, ColourTransition mode, int value) {
    c &= 0xFFFFFFu;
    if (colours_.empty()) {
        colours_.push_back(c);
        Grow();
        return;
    }
    const ListColour last = colours_.back();
    int k = 0;
    if (mode == ColourTransition::Fixed) {
        k = std::max(value, 0);
    } else {
        const int g = std::max(value, 1);
        const int d = std::max({std::abs(RedOf(c) - RedOf(last)), std::abs(GreenOf(c) - GreenOf(last)),
                                std::abs(BlueOf(c) - BlueOf(last))});
        k = (d + g / 2) / g;
    }
    for (int i = 1; i <= k && colours_.size() < kMaxCount; ++i) {
        auto step = [&](int from, int to) { return from + (to - from) * i / k; };  // truncates toward zero
        colours_.push_back(MakeListColour(step(RedOf(last), RedOf(c)), step(GreenOf(last), GreenOf(c)),
                                          step(BlueOf(last), BlueOf(c))));
    }
    Grow();
}

void ColourList::Clear() {
    colours_.clear();
    selected_ = 0;
}

void ColourList::DeleteLast() {
    if (colours_.empty()) return;
    colours_.pop_back();
    Select(selected_);
}

void ColourList::KeepUpToSelected() {
    if (colours_.empty()) return;
    colours_.resize(static_cast<std::size_t>(selected_) + 1);
    Select(selected_);
}

void ColourList::RemoveSelected() {
    if (colours_.empty()) return;
    colours_.erase(colours_.begin() + selected_);
    Select(selected_);
}

ColourList ColourList::Rainbow(int grade) {
    ColourList list;
    for (ListColour c : {0xFF0000u, 0xFFFF00u, 0x00FF00u, 0x00FFFFu, 0x0000FFu, 0xFF00FFu, 0xFF0000u}) {
        list.AddColour(c, ColourTransition::Grade, grade);
    }
    list.DeleteLast();
    return list;
}

// --- library ------------------------------------------------------------------------------------

std::vector<std::uint8_t> ColourLibrary::Encode(const std::vector<std::vector<ListColour>>& lists) {
    std::size_t total = kTableBytes;
    for (const auto& l : lists) total += 4 * l.size();
    std::vector<std::uint8_t> bytes(total, 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int b = 0; b < 4; ++b) bytes[at + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(v >> (8 * b));
    };
    std::uint32_t offset = kTableBytes;
    put(0, offset);
    for (std::size_t k = 0; k < lists.size(); ++k) {
        for (ListColour c : lists[k]) {
            put(offset, c & 0xFFFFFFu);
            offset += 4;
        }
        put(4 * (k + 1), offset);
    }
    return bytes;
}

Result<std::vector<std::vector<ListColour>>> ColourLibrary::Decode(const std::vector<std::uint8_t>& bytes) {
    auto fail = [&](const std::string& why) -> Result<std::vector<std::vector<ListColour>>> {
        return Failure{0, why, {}, {}};
    };
    if (bytes.size() < kTableBytes) return fail("the file is shorter than its 800-byte table");
    auto get = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int b = 3; b >= 0; --b) v = (v << 8) | bytes[at + static_cast<std::size_t>(b)];
        return v;
    };
    std::vector<std::vector<ListColour>> lists;
    std::uint32_t start = get(0);
    if (start < kTableBytes || start > bytes.size()) return fail("the first list starts outside the file");
    for (std::size_t k = 1; k <= static_cast<std::size_t>(kMaxLists); ++k) {
        const std::uint32_t end = get(4 * k);
        if (end <= start) break;  // the table ends at the first value not above the one before
        if (end > bytes.size()) return fail("list " + std::to_string(k) + " ends past the end of the file");
        if ((end - start) % 4 != 0) return fail("list " + std::to_string(k) + " is not made of whole colours");
        std::vector<ListColour> colours;
        colours.reserve((end - start) / 4);
        for (std::uint32_t at = start; at < end; at += 4) colours.push_back(get(at) & 0xFFFFFFu);
        lists.push_back(std::move(colours));
        start = end;
    }
    return lists;
}

Result<Done> ColourLibrary::Load() {
    std::error_code ec;
    if (!std::filesystem::exists(file_, ec)) {
        // A missing library starts empty, written at once so that later saves have their table.
        if (auto written = Write({}); !written) return written;
        lists_.clear();
        loaded_ = true;
        return Done{};
    }
    loaded_ = false;
    const auto bytes = ReadFileBytes(file_);
    if (!bytes) return Failure{0, bytes.failure().reason, {}, {}};
    auto lists = Decode(*bytes);
    if (!lists) return Failure{0, file_.string() + ": damaged colour library (" + lists.message() + ")", {}, {}};
    lists_ = std::move(*lists);
    loaded_ = true;
    return Done{};
}

Result<Done> ColourLibrary::Loaded() const {
    if (!loaded_) return Failure{0, file_.string() + ": the colour library was not read", {}, {}};
    return Done{};
}

Result<Done> ColourLibrary::Write(const std::vector<std::vector<ListColour>>& lists) {
    if (auto written = WriteFileAtomic(file_, Encode(lists)); !written) return Failure{0, written.failure().reason, {}, {}};
    return Done{};
}

Result<Done> ColourLibrary::Append(const std::vector<ListColour>& colours) {
    if (auto loaded = Loaded(); !loaded) return loaded;
    if (colours.empty()) return Failure{0, "the colour list is empty", {}, {}};
    if (ListCount() >= kMaxLists) return Failure{0, "the library holds 199 lists, the most it can", {}, {}};
    auto lists = lists_;
    lists.push_back(colours);
    if (auto written = Write(lists); !written) return written;
    lists_ = std::move(lists);
    return Done{};
}

Result<Done> ColourLibrary::Remove(int k) {
    if (auto loaded = Loaded(); !loaded) return loaded;
    if (k < 1 || k > ListCount()) return Failure{0, "there is no list " + std::to_string(k), {}, {}};
    auto lists = lists_;
    lists.erase(lists.begin() + (k - 1));
    if (auto written = Write(lists); !written) return written;
    lists_ = std::move(lists);
    return Done{};
}

std::vector<ListColour> ListThumbnail(const std::vector<ListColour>& colours, int width, int height) {
    std::vector<ListColour> pixels(static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0)), 0);
    if (colours.empty() || width <= 0) return pixels;
    for (int x = 0; x < width; ++x) {
        const ListColour c = colours[static_cast<std::size_t>(x) * colours.size() / static_cast<std::size_t>(width)];
        for (int y = 0; y < height; ++y) pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = c;
    }
    return pixels;
}

}  // namespace corv
