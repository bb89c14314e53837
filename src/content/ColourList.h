#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Result.h"
#include "project/Frame.h"

namespace corv {

// A colour as the colour list keeps it: red in bits 16..23, green in 8..15, blue in 0..7, so
// its low byte is the first byte of a frame pixel.
using ListColour = std::uint32_t;
inline constexpr ListColour MakeListColour(int red, int green, int blue) {
    return (static_cast<ListColour>(red & 0xFF) << 16) | (static_cast<ListColour>(green & 0xFF) << 8) |
           static_cast<ListColour>(blue & 0xFF);
}
inline constexpr int RedOf(ListColour c) { return static_cast<int>((c >> 16) & 0xFF); }
inline constexpr int GreenOf(ListColour c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int BlueOf(ListColour c) { return static_cast<int>(c & 0xFF); }
inline constexpr Bgr ToBgr(ListColour c) {
    return Bgr{static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
               static_cast<std::uint8_t>(RedOf(c))};
}
// The colour picker's order (red in the low byte) into the list's.
inline constexpr ListColour FromPickerOrder(std::uint32_t picker) {
    return MakeListColour(static_cast<int>(picker & 0xFF), static_cast<int>((picker >> 8) & 0xFF),
                          static_cast<int>((picker >> 16) & 0xFF));
}

// How AddColour fills in between the last colour and the new one.
enum class ColourTransition {
    Grade,  // "Transition grade:": one step per `value` of the largest channel difference
    Fixed,  // "Transitional colors:": always `value` steps
};
inline constexpr int kGradeChoices[] = {1, 2, 3, 4, 5, 8, 12, 16, 24, 32};
inline constexpr int kFixedChoices[] = {16, 32, 64, 128, 256};

// The colours every generator paints with.
class ColourList {
public:
    static constexpr std::size_t kBlock = 256;
    static constexpr std::size_t kMaxCount = 65535;  // the count is 16-bit

    ColourList() = default;
    explicit ColourList(std::vector<ListColour> colours);

    const std::vector<ListColour>& colours() const { return colours_; }
    std::size_t count() const { return colours_.size(); }
    bool empty() const { return colours_.empty(); }
    ListColour operator[](std::size_t i) const { return colours_[i]; }
    // Room in whole blocks of 256 (a loaded list keeps count + 1).
    std::size_t capacity() const { return capacity_; }
    int selected() const { return selected_; }
    void Select(int index);

    // Appends `c` (list order); after the first colour a run of intermediate colours ends
    // exactly at `c`: entry i of k is last + (c - last) * i / k per channel. Grade mode:
    // k = (d + g/2) / g with d the largest channel difference (k = 0 adds nothing); fixed
    // mode: k = value. Stops at 65535 colours.
    void AddColour(ListColour c, ColourTransition mode, int value);
    // "Clear": no colours, entry 0 selected.
    void Clear();
    // "Delete": the last colour; with Ctrl the ones after the selected entry; with Shift the
    // selected entry. Nothing on an empty list; the selection stays inside the list.
    void DeleteLast();
    void KeepUpToSelected();
    void RemoveSelected();

    // The built-in rainbow: red, yellow, green, cyan, blue, magenta and back to red (the
    // closing red dropped so the list wraps), in grade mode; 192 colours at grade 8.
    static ColourList Rainbow(int grade = 8);

private:
    void Grow();
    std::vector<ListColour> colours_;
    std::size_t capacity_ = kBlock;
    int selected_ = 0;
};

// The colour library "Clrlibnu.clb": a table of 200 little-endian offsets (start of list 1,
// then the end of each list) and the lists' colours from offset 800, 4 bytes each (blue,
// green, red, 0). At most 199 lists.
class ColourLibrary {
public:
    static constexpr const char* kFileName = "Clrlibnu.clb";
    static constexpr std::size_t kTableBytes = 800;
    static constexpr int kMaxLists = 199;

    explicit ColourLibrary(std::filesystem::path file) : file_(std::move(file)) {}
    const std::filesystem::path& file() const { return file_; }

    // Reads the file; a missing one is created empty (800 bytes, 800 in the first four). A
    // damaged file (too short, offsets outside the file or not whole colours) is refused and
    // left as it is. The failure's message is the reason.
    Result<Done> Load();
    int ListCount() const { return static_cast<int>(lists_.size()); }
    // List k (1-based).
    const std::vector<ListColour>& List(int k) const { return lists_[static_cast<std::size_t>(k - 1)]; }
    // Appends a list; a failure (with the reason) when 199 are stored, the list is empty, the
    // library was not read (a damaged file is never written over) or the file cannot be
    // written (the library in memory is then unchanged).
    Result<Done> Append(const std::vector<ListColour>& colours);
    // Removes list k; later lists move down.
    Result<Done> Remove(int k);

    // The file's bytes for the given lists (the table and the colours).
    static std::vector<std::uint8_t> Encode(const std::vector<std::vector<ListColour>>& lists);
    // Reads a library's bytes; a failure (with the reason) when they are damaged.
    static Result<std::vector<std::vector<ListColour>>> Decode(const std::vector<std::uint8_t>& bytes);

private:
    Result<Done> Write(const std::vector<std::vector<ListColour>>& lists);
    Result<Done> Loaded() const;
    std::filesystem::path file_;
    std::vector<std::vector<ListColour>> lists_;
    bool loaded_ = false;  // only a library that was read is written back
};

// A list as a thumbnail's pixels: one row of the colours stretched to width x height (top row
// first, 0xRRGGBB per pixel).
std::vector<ListColour> ListThumbnail(const std::vector<ListColour>& colours, int width = 64, int height = 16);

}  // namespace corv
