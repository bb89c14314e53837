#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "TestHome.h"
#include "base/MappedPages.h"

using namespace corv;
using corv::test::TestFolder;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> Pattern(std::size_t n, int seed) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + seed + i / 4096);
    return bytes;
}

void Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(MappedPages, WrittenPagesAreTheProgramsOwnAndTheFileStillGivesItsBytes) {
    TestFolder dir;
    const long page = ::sysconf(_SC_PAGESIZE);
    ASSERT_GT(page, 0);
    const auto P = static_cast<std::size_t>(page);
    const fs::path file = dir / "pages.bin";
    const std::vector<std::uint8_t> bytes = Pattern(8 * P, 3);
    Write(file, bytes);
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    // From an offset inside a page: the block starts there, pages are counted from the one before.
    const std::size_t offset = P + 100, n = 6 * P;
    auto block = MapFilePrivate(fd, offset, n);
    ::close(fd);  // the mapping keeps its own
    ASSERT_TRUE(block);
    const std::uint8_t* at = block.get();
    ASSERT_TRUE(std::equal(at, at + n, bytes.begin() + static_cast<std::ptrdiff_t>(offset)));
    // Read (every page now in memory, all still the file's) and never looked at alike.
    EXPECT_TRUE(PagesUnchanged(at, n));
    EXPECT_TRUE(PagesUnchanged(at + 10, 5));
    // Where they are in the file, through the mapping's own descriptor.
    const auto range = UnchangedFileRange(at + 10, 5);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->offset, offset + 10);
    std::uint8_t five[5] = {};
    ASSERT_EQ(::pread(range->fd, five, 5, static_cast<off_t>(range->offset)), 5);
    EXPECT_TRUE(std::equal(five, five + 5, bytes.begin() + static_cast<std::ptrdiff_t>(offset + 10)));

    // One byte written in the third page of the block.
    block[2 * P] = static_cast<std::uint8_t>(block[2 * P] ^ 0xFF);
    EXPECT_FALSE(PagesUnchanged(at, n));
    const std::uintptr_t written = (reinterpret_cast<std::uintptr_t>(at) + 2 * P) / P * P;
    EXPECT_FALSE(PagesUnchanged(reinterpret_cast<const std::uint8_t*>(written), 1));
    EXPECT_TRUE(PagesUnchanged(at, written - reinterpret_cast<std::uintptr_t>(at)));
    EXPECT_TRUE(PagesUnchanged(reinterpret_cast<const std::uint8_t*>(written + P), P));
    // The same byte put back: the page stays the program's own copy.
    block[2 * P] = bytes[offset + 2 * P];
    EXPECT_FALSE(PagesUnchanged(at, n));
    EXPECT_FALSE(UnchangedFileRange(at + 2 * P, 1));

    // The file's bytes, also after the file was replaced by another of the same name.
    block[0] = static_cast<std::uint8_t>(block[0] + 1);
    fs::remove(file);
    Write(file, Pattern(8 * P, 9));
    std::vector<std::uint8_t> original(n);
    ASSERT_TRUE(ReadMappedFileBytes(at, n, original.data()));
    EXPECT_TRUE(std::equal(original.begin(), original.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset)));
    ASSERT_TRUE(ReadMappedFileBytes(at + 5, 3, original.data()));
    EXPECT_EQ(original[0], bytes[offset + 5]);
}

TEST(MappedPages, OnlyLiveMappingsAreKnown) {
    TestFolder dir;
    const fs::path file = dir / "one.bin";
    Write(file, Pattern(100000, 1));
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    auto block = MapFilePrivate(fd, 0, 100000);
    ASSERT_TRUE(block);
    std::vector<std::uint8_t> heap(100000, 1), out(16);
    EXPECT_FALSE(PagesUnchanged(heap.data(), heap.size()));
    EXPECT_FALSE(ReadMappedFileBytes(heap.data(), 16, out.data()));
    // A range running past the mapping's end, or nothing at all, is not the file's.
    EXPECT_FALSE(PagesUnchanged(block.get() + 99990, 1 << 20));
    EXPECT_FALSE(ReadMappedFileBytes(block.get() + 99990, 1 << 20, out.data()));
    EXPECT_FALSE(PagesUnchanged(block.get(), 0));
    EXPECT_FALSE(MapFilePrivate(fd, 0, 0));
    EXPECT_FALSE(MapFilePrivate(-1, 0, 4096));
    const std::uint8_t* at = block.get();
    EXPECT_TRUE(PagesUnchanged(at, 100000));
    block.reset();
    EXPECT_FALSE(PagesUnchanged(at, 100000));
    EXPECT_FALSE(ReadMappedFileBytes(at, 16, out.data()));
    ::close(fd);
}
