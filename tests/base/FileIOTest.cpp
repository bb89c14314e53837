#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iostream>
#include <thread>
#include <vector>

#include "TestHome.h"
#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "base/Random.h"
#include "base/Signals.h"
#include "base/TempDir.h"

using namespace corv;
using corv::test::TestFolder;
namespace fs = std::filesystem;

namespace {

int EntryCount(const TestFolder& dir) {
    int n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++n;
    return n;
}

// Runs `body` in a child process; its return value is the child's exit code (-1 when the child
// did not exit normally).
template <typename Body>
int InChildExits(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(FileIO, CopiedAndReferencedBlocksKeepTheirOrder) {
    TestFolder dir;
    Random rng(5);
    std::vector<std::vector<std::uint8_t>> blocks;
    std::string expected;
    {
        FileWriter w;
        ASSERT_TRUE(w.Open(dir / "out.bin"));
        for (int i = 0; i < 300; ++i) {
            // Sizes from a few bytes to past the direct-write threshold, copied or referenced.
            const std::size_t n = rng.Below(4) == 0 ? 300000 + rng.Below(70000) : 1 + rng.Below(5000);
            blocks.emplace_back(n);
            rng.Fill(blocks.back());
            expected.append(blocks.back().begin(), blocks.back().end());
            if (rng.Below(2) == 0) {
                w.Reference(blocks.back().data(), n);
            } else {
                w.Bytes(blocks.back().data(), n);
            }
            if (i % 50 == 0) {
                w.U16(0x0A0B);
                w.U32(0x01020304);
                expected += std::string("\x0B\x0A\x04\x03\x02\x01", 6);
            }
        }
        EXPECT_EQ(w.pos(), expected.size());
        ASSERT_TRUE(w.Close());
    }
    EXPECT_EQ(dir.Read("out.bin"), expected);
}

TEST(FileIO, ReaderChecksTheRealSizeAndCrossesBufferBoundaries) {
    TestFolder dir;
    std::string content(200000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i % 251);
    dir.Write("in.bin", content);
    FileReader r;
    ASSERT_TRUE(r.Open(dir / "in.bin"));
    EXPECT_EQ(r.size(), content.size());
    std::vector<std::uint8_t> buf(70000);
    ASSERT_TRUE(r.Bytes(buf.data(), 10));
    ASSERT_TRUE(r.Bytes(buf.data(), buf.size()));  // past the internal buffer
    EXPECT_EQ(buf[0], static_cast<std::uint8_t>(10 % 251));
    EXPECT_TRUE(r.Skip(5));
    std::uint8_t b = 0;
    ASSERT_TRUE(r.U8(b));
    EXPECT_EQ(b, static_cast<std::uint8_t>((10 + 70000 + 5) % 251));
    ASSERT_TRUE(r.Seek(199998));
    std::uint16_t u = 0;
    ASSERT_TRUE(r.U16(u));
    EXPECT_TRUE(r.atEnd());
    std::uint32_t v = 0;
    EXPECT_FALSE(r.U32(v));
    EXPECT_FALSE(r.ok());

    FileReader big;
    ASSERT_TRUE(big.Open(dir / "in.bin"));
    EXPECT_FALSE(big.Skip(content.size() + 1));  // more than there is
    FileReader rest;
    ASSERT_TRUE(rest.Open(dir / "in.bin"));
    ASSERT_TRUE(rest.Skip(199990));
    std::vector<std::uint8_t> tail;
    ASSERT_TRUE(rest.Rest(tail));
    EXPECT_EQ(tail.size(), 10u);
    FileReader folder;
    EXPECT_FALSE(folder.Open(dir.path()));  // not a regular file
}

TEST(FileIO, CopyFromAndTruncate) {
    TestFolder dir;
    dir.Write("src.bin", std::string(3000000, 'q') + "END");
    int fd = ::open((dir / "src.bin").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::lseek(fd, 2999999, SEEK_SET), 2999999);
    FileWriter w;
    ASSERT_TRUE(w.Open(dir / "dst.bin"));
    w.Bytes("ab", 2);
    ASSERT_TRUE(w.CopyFrom(fd, 4));
    EXPECT_FALSE(w.CopyFrom(fd, 10));  // the source ends first
    ::close(fd);
    FileWriter t;
    ASSERT_TRUE(t.OpenExisting(dir / "src.bin", 5));
    ASSERT_TRUE(t.TruncateHere());
    ASSERT_TRUE(t.Close());
    EXPECT_EQ(dir.Read("src.bin"), "qqqqq");
}

TEST(FileIO, ReplacingFileTakesTheTargetsPlaceOnlyWhenCommitted) {
    TestFolder dir;
    dir.Write("t.bin", "old");
    {
        ReplacingFile f(dir / "t.bin");
        ASSERT_TRUE(f.ok());
        f.writer.Bytes("abandoned", 9);
        EXPECT_EQ(EntryCount(dir), 2);  // the temporary sits beside the target while it is written
    }
    EXPECT_EQ(dir.Read("t.bin"), "old");
    EXPECT_EQ(EntryCount(dir), 1);
    {
        ReplacingFile f(dir / "t.bin");
        f.writer.Bytes("new", 3);
        EXPECT_TRUE(f.Commit());
    }
    EXPECT_EQ(dir.Read("t.bin"), "new");
    EXPECT_EQ(EntryCount(dir), 1);
    // A folder that does not exist: nothing to write to, nothing committed.
    ReplacingFile missing(dir / "no" / "t.bin");
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.Commit());
}

TEST(FileIO, WritesFollowLinksAndRefuseWhatIsNoRegularFile) {
    TestFolder dir;
    fs::create_directories(dir / "real");
    dir.Write("real/doc.cvn", "old");
    // A link (relative, in a chain of two) is followed: the file it names is replaced, the
    // links stay links.
    fs::create_symlink("real/doc.cvn", dir / "link1");
    fs::create_symlink("link1", dir / "link2");
    {
        ReplacingFile f(dir / "link2");
        ASSERT_TRUE(f.ok());
        f.writer.Bytes("new", 3);
        EXPECT_TRUE(f.Commit());
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link1"));
    EXPECT_TRUE(fs::is_symlink(dir / "link2"));
    EXPECT_EQ(dir.Read("real/doc.cvn"), "new");
    EXPECT_EQ(EntryCount(dir), 3);  // no temporary left beside the links
    ASSERT_TRUE(WriteFileAtomic(dir / "link1", std::string("again")));
    EXPECT_EQ(dir.Read("real/doc.cvn"), "again");
    EXPECT_TRUE(fs::is_symlink(dir / "link1"));
    // A dangling link names the file to make.
    fs::create_symlink("real/fresh.bin", dir / "dangling");
    ASSERT_TRUE(WriteFileAtomic(dir / "dangling", std::string("made")));
    EXPECT_EQ(dir.Read("real/fresh.bin"), "made");
    // A pipe, a folder and a link loop are refused with the path named; the pipe stays a pipe.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const auto toPipe = WriteFileAtomic(dir / "pipe", std::string("x"));
    EXPECT_FALSE(toPipe);
    EXPECT_NE(toPipe.failure().reason.find((dir / "pipe").string() + ": is not a regular file"), std::string::npos)
        << toPipe.failure().reason;
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    ReplacingFile toFolder(dir / "real");
    EXPECT_FALSE(toFolder.ok());
    const auto committed = toFolder.Commit();
    EXPECT_FALSE(committed);
    EXPECT_NE(committed.failure().reason.find("is a folder"), std::string::npos) << committed.failure().reason;
    EXPECT_EQ(toFolder.error(), committed.failure().reason);
    EXPECT_TRUE(fs::is_directory(dir / "real"));
    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    EXPECT_FALSE(WriteFileAtomic(dir / "loop1", std::string("x")));
    // A character device (as root the rename would have replaced it): refused, untouched.
    if (fs::exists("/dev/null")) {
        EXPECT_FALSE(WriteFileAtomic("/dev/null", std::string("x")));
        EXPECT_TRUE(fs::is_character_file("/dev/null"));
    }
    // The reason of a missing folder is the system's.
    const auto toMissing = WriteFileAtomic(dir / "no" / "x.bin", std::string("x"));
    EXPECT_FALSE(toMissing);
    EXPECT_EQ(toMissing.failure().reason, (dir / "no" / "x.bin").string() + ": No such file or directory");
}

TEST(FileIO, AnOutputThatIsAnInputIsFoundThroughLinksAndSpellings) {
    TestFolder dir;
    fs::create_directories(dir / "sub");
    const fs::path doc = dir.Write("doc.cvn", "doc");
    const fs::path other = dir.Write("other.cvn", "other");
    fs::create_symlink("doc.cvn", dir / "link.cvn");
    fs::create_symlink("link.cvn", dir / "link2.cvn");
    fs::create_hard_link(doc, dir / "hard.cvn");
    EXPECT_TRUE(SameFile(doc, doc));
    EXPECT_TRUE(SameFile(dir / "link2.cvn", doc));
    EXPECT_TRUE(SameFile(dir / "sub" / ".." / "doc.cvn", doc));
    EXPECT_TRUE(SameFile(dir / "hard.cvn", doc));
    EXPECT_FALSE(SameFile(other, doc));
    // A file that does not exist is no input, whatever its name.
    EXPECT_FALSE(SameFile(dir / "new.cvn", dir / "new.cvn"));
    fs::create_symlink("missing.cvn", dir / "dangling.cvn");
    EXPECT_FALSE(SameFile(dir / "dangling.cvn", dir / "missing.cvn"));
    EXPECT_EQ(OutputAmongInputs(dir / "link.cvn", {other, doc}), std::optional<fs::path>(doc));
    EXPECT_EQ(OutputAmongInputs(dir / "new.cvn", {other, doc}), std::nullopt);
    EXPECT_EQ(OutputAmongInputs(other, {}), std::nullopt);
}

TEST(FileIO, AFailedWriteIsToldUnderTheTargetsName) {
    TestFolder dir;
    dir.Write("keep.bin", "old");
    // A file size limit of 1 KiB in a child: the write fails with EFBIG, not the signal.
    const int status = InChildExits([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ReplacingFile f(dir / "keep.bin");
        std::vector<std::uint8_t> big(1 << 20, 7);
        f.writer.Bytes(big);
        if (f.writer.Flush()) return 1;
        const Failure failed = f.WriteFailed();
        return failed.reason == (dir / "keep.bin").string() + ": File too large" && f.error() == failed.reason ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(dir.Read("keep.bin"), "old");
    EXPECT_EQ(EntryCount(dir), 1);
}

TEST(FileIO, ATemporaryFilledByAnotherWriterIsRemovedOnASignalWhileListed) {
    TestFolder dir;
    const fs::path listed = dir.Write(".movie.avi.listed", "half");
    const fs::path released = dir.Write(".movie.avi.done", "whole");
    // In a child of its own: the clean-up also takes the process's working folders, and the
    // test's folder is one.
    EXPECT_EQ(InChildExits([&] {
                  { PendingTemporaryFile gone(released); }
                  PendingTemporaryFile pending(listed);
                  RemovePendingTemporaryFiles();  // what the signal handler does
                  return 0;
              }),
              0);
    EXPECT_FALSE(fs::exists(listed));
    EXPECT_TRUE(fs::exists(released));
}

TEST(FileIO, ExtractionReplacesLinksInsteadOfFollowingThem) {
    TestFolder dir;
    dir.Write("victim.txt", "untouched");
    fs::create_symlink(dir / "victim.txt", dir / "entry");
    {
        ReplacingFile f(dir / "entry", ReplacingFile::Links::Replace);
        f.writer.Bytes("extracted", 9);
        ASSERT_TRUE(f.Commit());
    }
    EXPECT_EQ(dir.Read("victim.txt"), "untouched");
    EXPECT_FALSE(fs::is_symlink(dir / "entry"));
    EXPECT_EQ(dir.Read("entry"), "extracted");
}

namespace {

// Runs `body` in a child process and returns its wait status.
template <typename Body>
int InChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(99);  // the body was meant to end the child by a signal
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

}  // namespace

TEST(FileIO, StoppedProgramLeavesNoTemporaryFile) {
    // A program stopped while it writes (SIGTERM, SIGINT) removes its half-written temporaries
    // and leaves the targets as they were. A committed file stays.
    TestFolder dir;
    dir.Write("t.bin", "old");
    for (int sig : {SIGTERM, SIGINT}) {
        const int status = InChild([&] {
            CleanUpOnSignals();
            ReplacingFile done(dir / "done.bin");
            done.writer.Bytes("kept", 4);
            if (!done.Commit()) ::_exit(98);
            ReplacingFile a(dir / "t.bin"), b(dir / "u.bin");
            a.writer.Bytes("half", 4);
            if (!a.writer.Flush() || !b.ok()) ::_exit(98);
            ::raise(sig);
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), sig);
        EXPECT_EQ(dir.Read("t.bin"), "old");
        EXPECT_EQ(dir.Read("done.bin"), "kept");
        EXPECT_EQ(EntryCount(dir), 2);
    }
}

TEST(FileIO, StoppedProgramLeavesNoWorkingFolder) {
    // The per-run folder (music pulled out of a document, unpacked archives, sub-folders) goes
    // with the program on SIGTERM, SIGINT and SIGHUP; a folder that was removed already stays
    // removed without harm.
    TestFolder dir;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        const std::filesystem::path mark = dir / "folder.txt";
        const int status = InChild([&] {
            CleanUpOnSignals();
            TempDir gone("corvantine-test-");
            TempDir run("corvantine-test-");
            if (!run.valid() || !gone.valid()) ::_exit(98);
            std::filesystem::remove_all(gone.path());
            WriteFileAtomic(mark, run.path().string());
            WriteFileAtomic(run.File("EffectMusic.mp3"), std::string(100000, 'm'));
            std::filesystem::create_directories(run.File("unpacked/deeper"));
            WriteFileAtomic(run.File("unpacked/Corvantinev.cvn"), std::string("doc"));
            WriteFileAtomic(run.File("unpacked/deeper/x"), std::string("x"));
            ::raise(sig);
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), sig);
        const std::string folder = dir.Read("folder.txt");
        ASSERT_FALSE(folder.empty());
        EXPECT_FALSE(std::filesystem::exists(folder)) << folder;
    }
}

TEST(FileIO, ParallelReadGivesTheBytesOfOneRead) {
    // More than two 16 MiB pieces and a short last one, read from an odd offset into memory
    // that is not page-aligned, on one to three threads; a file that ends early fails.
    TestFolder dir;
    const std::size_t n = (33u << 20) + 12345;
    std::vector<std::uint8_t> bytes(n + 777);
    Random rng(11);
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t v = rng.Next64();
        std::memcpy(bytes.data() + i, &v, std::min<std::size_t>(8, bytes.size() - i));
    }
    {
        FileWriter w;
        ASSERT_TRUE(w.Open(dir / "big.bin"));
        w.Bytes(bytes.data(), bytes.size());
        ASSERT_TRUE(w.Close());
    }
    const int fd = ::open((dir / "big.bin").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (unsigned threads : {1u, 2u, 3u}) {
        std::vector<std::uint8_t> got(n + 1);
        std::vector<std::size_t> reports;
        ASSERT_TRUE(ReadAtParallel(fd, got.data() + 1, n, 777, threads, [&](std::size_t d) { reports.push_back(d); }));
        EXPECT_TRUE(std::equal(got.begin() + 1, got.end(), bytes.begin() + 777)) << threads;
        ASSERT_FALSE(reports.empty());
        EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
        EXPECT_LE(reports.back(), n);
        if (threads == 1) {
            EXPECT_EQ(reports.back(), n);
        }
    }
    std::vector<std::uint8_t> tooFar(n);
    EXPECT_FALSE(ReadAtParallel(fd, tooFar.data(), n, 1000, 2));
    ::close(fd);
}

TEST(FileWriter, WrittenOutWhileWrittenTheFileIsTheSame) {
    // A file replacing another, written in pieces while a write-behind thread has the system
    // write out what is there: the same bytes, and the thread gone before the file closes.
    TestFolder dir;
    const fs::path target = dir / "big.bin";
    dir.Write("big.bin", "old");
    std::vector<std::uint8_t> expected;
    {
        ReplacingFile file(target);
        ASSERT_TRUE(file.ok());
        EXPECT_TRUE(file.replacesFile());
        {
            WriteBehind behind(file.writer.fd());
            std::vector<std::uint8_t> piece(3 << 20);
            for (int k = 0; k < 12; ++k) {
                for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<std::uint8_t>(i * 13 + k);
                file.writer.Bytes(piece);
                ASSERT_TRUE(file.writer.Flush());
                expected.insert(expected.end(), piece.begin(), piece.end());
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(*ReadFileBytes(target), expected);
    ReplacingFile fresh(dir / "new.bin");
    EXPECT_FALSE(fresh.replacesFile());
    WriteBehind none(-1);  // nothing to write out: nothing happens
}

TEST(FileWriter, ReservedRoomKeepsTheSizeWrittenAndIsGivenBackOnClose) {
    // Room for 64 MiB reserved, 6 MiB written (the last piece beside the stream, at its place,
    // as the workers of the writers write): the file holds exactly the bytes written, its size
    // is the end of the last piece, and the room past it is free again once the file is closed.
    TestFolder dir;
    const fs::path target = dir / "reserved.bin";
    std::vector<std::uint8_t> expected(6u << 20);
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<std::uint8_t>(i * 7 + (i >> 20));
    {
        ReplacingFile file(target);
        ASSERT_TRUE(file.ok());
        file.writer.Reserve(64u << 20);
        struct stat st {};
        ASSERT_EQ(::fstat(file.writer.fd(), &st), 0);
        EXPECT_EQ(st.st_size, 0);
        const bool reserved = static_cast<std::uint64_t>(st.st_blocks) * 512 >= (64u << 20);
        if (!reserved) std::cout << "note: this file system reserves no room\n";
        file.writer.Bytes(expected.data(), 3u << 20);
        ASSERT_TRUE(file.writer.Flush());
        ASSERT_TRUE(file.writer.WriteAt(expected.data() + (5u << 20), 1u << 20, 5u << 20));
        ASSERT_TRUE(file.writer.WriteAt(expected.data() + (3u << 20), 2u << 20, 3u << 20));
        ASSERT_EQ(::fstat(file.writer.fd(), &st), 0);
        EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), expected.size());
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(*ReadFileBytes(target), expected);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), expected.size());
    EXPECT_LT(static_cast<std::uint64_t>(st.st_blocks) * 512, expected.size() + (1u << 20));

    // More room than the disk has free is not reserved; the file is written as any other.
    {
        ReplacingFile file(dir / "huge.bin");
        file.writer.Reserve(std::uint64_t{1} << 62);
        ASSERT_EQ(::fstat(file.writer.fd(), &st), 0);
        EXPECT_EQ(st.st_blocks, 0);
        file.writer.Bytes("abc", 3);
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(fs::file_size(dir / "huge.bin"), 3u);

    // A file that comes out empty gives all of it back; small reservations are not made.
    {
        ReplacingFile file(dir / "empty.bin");
        file.writer.Reserve(8u << 20);
        ASSERT_TRUE(file.Commit());
    }
    ASSERT_EQ(::stat((dir / "empty.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(st.st_blocks, 0);
    {
        FileWriter small;
        ASSERT_TRUE(small.Open(dir / "small.bin"));
        small.Reserve(100000);
        ASSERT_EQ(::fstat(small.fd(), &st), 0);
        EXPECT_EQ(st.st_blocks, 0);
        small.Bytes("abc", 3);
        ASSERT_TRUE(small.Close());
    }
    EXPECT_EQ(fs::file_size(dir / "small.bin"), 3u);
}
