#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace corv {

// Private, writable mappings of files (a page is read from the file when first looked at; one
// that is written becomes the program's own copy), and which of their pages are still the
// file's own. The mappings know their file (a descriptor kept open while they live), so the
// file's bytes under a changed page can still be read.
//
// MapFilePrivate maps `bytes` of the file `fd` from `offset` (any offset: the mapping starts
// at the page before); the block goes away with its last owner. Nothing when the system
// cannot map the file.
std::shared_ptr<std::uint8_t[]> MapFilePrivate(int fd, std::uint64_t offset, std::size_t bytes);

// Whether [p, p + n) lies in one mapping made by MapFilePrivate and none of its pages has been
// written since (as the system's page table tells it). False when it cannot be told.
bool PagesUnchanged(const std::uint8_t* p, std::size_t n);

// Where such unchanged bytes are in their file: the mapping's own descriptor of it (open while
// the mapping lives) and the offset of p. Nothing when PagesUnchanged would say false.
struct MappedFileRange {
    int fd = -1;
    std::uint64_t offset = 0;
};
std::optional<MappedFileRange> UnchangedFileRange(const std::uint8_t* p, std::size_t n);

// The file's bytes under [p, p + n) of a mapping made by MapFilePrivate, into `out`; false
// when p is not in one or the file cannot be read.
bool ReadMappedFileBytes(const std::uint8_t* p, std::size_t n, std::uint8_t* out);

}  // namespace corv
