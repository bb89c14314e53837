#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "TestHome.h"
#include "base/Binary.h"
#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "controller/LedFile.h"
#include "formats/Archive.h"
#include "formats/FrameCountScramble.h"
#include "formats/Spread.h"
#include "fusebind/CommandLine.h"
#include "fusebind/Merge.h"
#include "base/TerminalProgress.h"
#include "lang/Language.h"

using namespace corv;
using namespace corv::fuse;
using corv::test::TestFolder;
namespace fs = std::filesystem;

namespace {

const Messages kEn = LoadMessages(kLanguageEnglish);

// A master-slave controller data file of `slaves` slaves (one LED each) and `frames` frames,
// written by the program's own writer. Frame f's pixels are all f + base.
fs::path MakeDat(const TestFolder& dir, const std::string& name, int slaves, int frames, int base, int family = 0) {
    Layout layout;
    layout.New(1, slaves, false, 3);
    for (int k = 0; k < slaves; ++k) layout.lines[static_cast<std::size_t>(k)] = {MakePoint(0, k)};
    layout.setting.controllerType = static_cast<std::uint8_t>(family);
    layout.setting.icType.fill(20);
    layout.RecomputeLineCount();
    std::vector<Frame> clip;
    for (int f = 0; f < frames; ++f) {
        clip.push_back(Frame::Filled(slaves, 1, static_cast<std::uint8_t>(base + f), 0, 0));
    }
    auto lamps = BuiltInLightTypes();
    ChipCatalogue catalogue;
    WriterInput in;
    in.layout = &layout;
    in.lamps = &lamps;
    in.catalogue = &catalogue;
    in.frame = FrameShape{1, slaves};
    ClipFrameSource src(clip);
    Random rng(static_cast<std::uint64_t>(base + 1));
    const fs::path path = dir / name;
    EXPECT_TRUE(WriteLedFile(path, in, 0, family == 0 ? slaves : 1, src, 0, clip.size(), rng));
    return path;
}

// A video project file: "velt", one clip of w x h, `frames` frames, frame f filled with f + base.
fs::path MakeVid(const TestFolder& dir, const std::string& name, int w, int h, int frames, int base,
                 std::uint8_t version = 0) {
    ByteWriter out;
    out.Bytes("velt", 4);
    out.U8(version);
    out.Zeros(5);
    out.U16(static_cast<std::uint16_t>(h));
    out.U16(static_cast<std::uint16_t>(w));
    out.U16(1);
    out.U16(1);
    out.U32(1);
    out.U32(static_cast<std::uint32_t>(w));
    out.U32(static_cast<std::uint32_t>(h));
    out.Zeros(260);
    out.U32(ScrambleFrameCount(static_cast<std::uint32_t>(frames)));
    const std::size_t stride = 3 * static_cast<std::size_t>(w) + static_cast<std::size_t>(w % 4);
    for (int f = 0; f < frames; ++f) {
        for (int r = 0; r < h; ++r) {
            std::vector<std::uint8_t> row(stride, 0);
            std::fill(row.begin(), row.begin() + 3 * w, static_cast<std::uint8_t>(base + f));
            out.Bytes(row);
        }
    }
    const fs::path path = dir / name;
    EXPECT_TRUE(WriteFileAtomic(path, out.bytes()));
    return path;
}

ChooseOutputFn To(const fs::path& p) {
    return [p]() -> std::optional<fs::path> { return p; };
}

AskFn Reply(bool yes, std::string* asked) {
    return [yes, asked](const std::string& text) {
        if (asked) *asked = text;
        return yes;
    };
}

std::uint32_t DatH(const std::vector<std::uint8_t>& f) {
    return static_cast<std::uint32_t>(UnspreadByte(f[4], f[5]) << 8 | UnspreadByte(f[6], f[7]));
}
std::uint32_t DatD(const std::vector<std::uint8_t>& f) { return LoadU32(&f[8]) ^ LoadU32(&f[4]); }

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int Files(const fs::path& dir) {
    int n = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

// A copy of `from` cut to `size` bytes.
fs::path CutCopy(const TestFolder& dir, const fs::path& from, const std::string& name, std::size_t size) {
    auto bytes = *ReadFileBytes(from);
    bytes.resize(size);
    EXPECT_TRUE(WriteFileAtomic(dir / name, bytes));
    return dir / name;
}

// A copy of a master-slave file whose record of `slave` (0-based) has a wrong checksum byte.
fs::path BreakChecksum(const TestFolder& dir, const fs::path& from, const std::string& name,
                       std::vector<std::size_t> slaves) {
    auto bytes = *ReadFileBytes(from);
    for (std::size_t slave : slaves) {
        bytes[SlaveRecordOffset(slave) + 24] ^= 0x80;  // a bit of the 13th record byte
    }
    EXPECT_TRUE(WriteFileAtomic(dir / name, bytes));
    return dir / name;
}

std::size_t DatDataStart(const std::vector<std::uint8_t>& f) {
    const std::size_t n = LoadU16(&f[16]);
    return (SlaveRecordOffset(n - 1) + kSpreadRecordBytes + 511) / 512 * 512;
}

// What a child process told: its exit status (-1 when it did not exit) and what it wrote.
struct ChildResult {
    int status = -1;
    std::string text;
};

// Runs `body` in a child process with the given address-space and file-size limits (0: none);
// what it returns comes back through a pipe, so that a crash or a limit shows as a status.
ChildResult InChild(rlim_t addressSpace, rlim_t fileSize, const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return {};
    }
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
#if !defined(__SANITIZE_ADDRESS__)
        // The sanitizer build reserves far more address space than any such limit: there it
        // runs without one (its allocation checks still see a huge allocation).
        if (addressSpace) {
            const rlimit as{addressSpace, addressSpace};
            ::setrlimit(RLIMIT_AS, &as);
        }
#else
        (void)addressSpace;
#endif
        if (fileSize) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit fs{fileSize, fileSize};
            ::setrlimit(RLIMIT_FSIZE, &fs);
        }
        const std::string text = body();
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(fds[1], text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    ChildResult r;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        r.text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        r.status = WEXITSTATUS(status);
    }
    return r;
}

// Peak resident memory of this process in KiB from now on; false when the system cannot reset it.
bool ResetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}
long PeakMemoryKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

constexpr rlim_t kSmallAddressSpace = 512u << 20;

}  // namespace

TEST(MergeDat, FramesAppended) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 10, 0);
    auto b = MakeDat(dir, "b.dat", 2, 20, 100);
    MergeResult r = MergeDat({a, b}, DatMode::Frames, To(dir / "out.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.message, "Merge file is successfully!");
    const auto out = *ReadFileBytes(dir / "out.dat");
    const auto first = *ReadFileBytes(a);
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 512, out.begin()));  // the first file's header
    EXPECT_EQ((out.size() - DatH(out)) / DatD(out), 30u);
    // Block 10 is the second file's first frame (red 100 on both slaves).
    EXPECT_EQ(out[DatH(out) + 10 * DatD(out)], 100);
}

TEST(MergeDat, FramesAppendedRefusesOtherShapesAndLeavesNothing) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 3, 0);
    auto b = MakeDat(dir, "b.dat", 3, 3, 0);
    const int before = Files(dir.path());
    MergeResult r = MergeDat({a, b}, DatMode::Frames, To(dir / "out.dat"), kEn, nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(StartsWith(r.message, "Merge file failed! " + b.string() + ": ")) << r.message;
    EXPECT_EQ(Files(dir.path()), before);
    // List checks come first.
    EXPECT_EQ(MergeDat({a}, DatMode::Frames, To(dir / "o.dat"), kEn, nullptr).message, "File number is too small!");
    dir.Write("c.led", "x");
    EXPECT_EQ(MergeDat({a, dir / "c.led"}, DatMode::Frames, To(dir / "o.dat"), kEn, nullptr).message,
              "File type is not consistent!");
    dir.Write("junk.dat", std::string(600, 'j'));
    EXPECT_EQ(MergeDat({a, dir / "junk.dat"}, DatMode::Frames, To(dir / "o.dat"), kEn, nullptr).message,
              " Not Veltranix format files! " + (dir / "junk.dat").string());
    // Failures name the file and the system's reason.
    EXPECT_EQ(MergeDat({a, dir / "none.dat"}, DatMode::Frames, To(dir / "o.dat"), kEn, nullptr).message,
              "Open file fail! " + (dir / "none.dat").string() + ": No such file or directory");
    // An output that cannot be created.
    EXPECT_EQ(MergeDat({a, a}, DatMode::Frames, To(dir / "no" / "o.dat"), kEn, nullptr).message,
              "Open file fail! " + (dir / "no" / "o.dat").string() + ": No such file or directory");
    // Cancel at the output dialog: nothing shown.
    EXPECT_TRUE(MergeDat({a, a}, DatMode::Frames, [] { return std::optional<fs::path>(); }, kEn, nullptr).cancelled);
}

namespace {

// A controller data file: the header of `like` (its first H bytes), `frames` frame blocks whose
// every byte follows from its place and `seed`, then `tail` bytes of a partial block. Written
// a piece at a time: such files are larger than one copy piece.
fs::path MakeLargeDat(const fs::path& path, const std::vector<std::uint8_t>& like, std::uint64_t frames,
                      std::size_t tail, unsigned seed) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(like.data()), static_cast<std::streamsize>(DatH(like)));
    std::vector<char> piece(1u << 20);
    std::uint64_t at = 0;
    for (std::uint64_t left = frames * DatD(like) + tail; left > 0;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, piece.size()));
        for (std::size_t i = 0; i < n; ++i) {
            piece[i] = static_cast<char>((at + i) * 131 % 251 + seed);
        }
        out.write(piece.data(), static_cast<std::streamsize>(n));
        at += n;
        left -= n;
    }
    EXPECT_TRUE(out.good()) << path;
    return path;
}

// A run of bytes of a file.
struct Run {
    fs::path file;
    std::uint64_t from = 0, bytes = 0;
};

// Whether `path` holds exactly `runs`, one after the other; compared a piece at a time.
::testing::AssertionResult HoldsRuns(const fs::path& path, const std::vector<Run>& runs) {
    std::ifstream got(path, std::ios::binary);
    std::vector<char> want(1u << 20), have(1u << 20);
    std::uint64_t at = 0;
    for (const Run& r : runs) {
        std::ifstream in(r.file, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(r.from));
        for (std::uint64_t left = r.bytes; left > 0;) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, want.size()));
            in.read(want.data(), static_cast<std::streamsize>(n));
            got.read(have.data(), static_cast<std::streamsize>(n));
            if (!in || !got) {
                return ::testing::AssertionFailure() << path << " or " << r.file << " ends before byte " << at + n;
            }
            if (!std::equal(want.begin(), want.begin() + static_cast<std::ptrdiff_t>(n), have.begin())) {
                return ::testing::AssertionFailure() << path << " differs in the " << n << " bytes from " << at;
            }
            at += n;
            left -= n;
        }
    }
    if (got.peek() != std::char_traits<char>::eof()) {
        return ::testing::AssertionFailure() << path << " goes on past byte " << at;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(MergeDat, LargeFramesAreTheInputsBytesOneAfterTheOther) {
    TestFolder dir;
    const auto like = *ReadFileBytes(MakeDat(dir, "like.dat", 2, 1, 0));
    const std::uint64_t H = DatH(like), D = DatD(like);
    // Each input holds more than one copy piece (64 MiB) and no whole number of them; the
    // second ends inside a frame block, which is left out.
    const std::uint64_t framesA = (64u << 20) / D + 3, framesB = framesA + 7;
    const fs::path a = MakeLargeDat(dir / "a.dat", like, framesA, 0, 1);
    const fs::path b = MakeLargeDat(dir / "b.dat", like, framesB, 100, 2);
    int last = -1;
    MergeResult r = MergeDat({a, b}, DatMode::Frames, To(dir / "out.dat"), kEn, nullptr,
                             [&](int percent) { last = std::max(last, percent); });
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.warnings, std::vector<std::string>{FillIn(kEn.partialBlock, {b.string(), std::to_string(framesB)})});
    EXPECT_EQ(last, 100);
    // The first file whole, then the second's frame blocks: its bytes past its header.
    EXPECT_EQ(fs::file_size(dir / "out.dat"), H + (framesA + framesB) * D);
    EXPECT_TRUE(HoldsRuns(dir / "out.dat", {{a, 0, H + framesA * D}, {b, H, framesB * D}}));
}

TEST(MergeDat, FramesFromAndToAnotherFilesystemAreTheSameBytes) {
    TestFolder dir;
    struct stat here {}, shm {};
    if (::stat(dir.path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev) {
        GTEST_SKIP() << "no second filesystem at /dev/shm";
    }
    const fs::path other = fs::path("/dev/shm") / ("corvantine-test-" + std::to_string(::getpid()));
    ASSERT_TRUE(fs::create_directory(other));
    struct Removed {
        fs::path folder;
        ~Removed() {
            std::error_code ec;
            fs::remove_all(folder, ec);
        }
    } removed{other};
    const auto like = *ReadFileBytes(MakeDat(dir, "like.dat", 2, 1, 0));
    const std::uint64_t H = DatH(like), D = DatD(like);
    const std::uint64_t frames = (3u << 20) / D + 1;  // several pieces of 1 MiB
    const fs::path a = MakeLargeDat(dir / "a.dat", like, frames, 0, 3);
    const fs::path b = MakeLargeDat(other / "b.dat", like, frames + 2, 0, 4);
    for (const fs::path& out : {dir / "out.dat", other / "out.dat"}) {
        MergeResult r = MergeDat({a, b}, DatMode::Frames, To(out), kEn, nullptr);
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_TRUE(HoldsRuns(out, {{a, 0, H + frames * D}, {b, H, (frames + 2) * D}}));
    }
}

TEST(FileWriterCopyRange, CopiesFromAnOffsetAndFailsWhereTheInputEnds) {
    TestFolder dir;
    std::string text(3u << 20, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>(i * 7 % 253);
    }
    const fs::path in = dir.Write("in.bin", text);
    FileReader reader;
    ASSERT_TRUE(reader.Open(in));
    {
        FileWriter w;
        ASSERT_TRUE(w.Open(dir / "out.bin"));
        w.Bytes("ab", 2);
        EXPECT_TRUE(w.CopyRange(reader.fd(), 5, text.size() - 10));
        w.Bytes("cd", 2);
        EXPECT_EQ(w.pos(), text.size() - 6);
        EXPECT_TRUE(w.Close());
    }
    EXPECT_EQ(dir.Read("out.bin"), "ab" + text.substr(5, text.size() - 10) + "cd");
    EXPECT_EQ(::lseek(reader.fd(), 0, SEEK_CUR), 0);  // the input's own position stays
    // An input that ends before the bytes asked for: what is there is copied, then EIO.
    FileWriter w;
    ASSERT_TRUE(w.Open(dir / "short.bin"));
    EXPECT_FALSE(w.CopyRange(reader.fd(), text.size() - 100, 200));
    EXPECT_FALSE(w.ok());
    EXPECT_EQ(w.error(), EIO);
}

TEST(MergeDat, TheProgramsOwnLedFilesAreMerged) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.led", 2, 10, 0);
    auto b = MakeDat(dir, "B.LED", 2, 20, 100);
    MergeResult r = MergeDat({a, b}, DatMode::Frames, To(dir / "out.led"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    const auto out = *ReadFileBytes(dir / "out.led");
    EXPECT_EQ((out.size() - DatH(out)) / DatD(out), 30u);
    EXPECT_EQ(out[DatH(out) + 10 * DatD(out)], 100);
    r = MergeDat({a, b}, DatMode::Slaves, To(dir / "slaves.led"), kEn, Reply(true, nullptr));
    ASSERT_TRUE(r.ok) << r.message;
    // One merge takes one kind: .led with .dat is refused before anything is asked or written.
    auto c = MakeDat(dir, "c.dat", 2, 10, 0);
    bool asked = false;
    r = MergeDat({a, c}, DatMode::Frames, [&] { asked = true; return std::optional<fs::path>(dir / "mixed.led"); }, kEn,
                 nullptr);
    EXPECT_EQ(r.message, "File type is not consistent!");
    EXPECT_FALSE(asked);
    EXPECT_FALSE(fs::exists(dir / "mixed.led"));
    dir.Write("notes.txt", "x");
    EXPECT_EQ(MergeDat({a, dir / "notes.txt"}, DatMode::Frames, To(dir / "o.led"), kEn, nullptr).message,
              "File type is not consistent!");
    // The merged file's extension by default is the inputs'.
    EXPECT_EQ(DatExtension({a, b}), "led");
    EXPECT_EQ(DatExtension({c, c}), "dat");
    EXPECT_EQ(DatExtension({a, c}), "dat");
    EXPECT_EQ(DatExtension({}), "dat");
}

TEST(MergeDat, AnOutputThatIsAnInputIsRefusedBeforeWriting) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 3, 0);
    auto b = MakeDat(dir, "b.dat", 2, 4, 50);
    const auto before = *ReadFileBytes(b);
    fs::create_directory(dir / "sub");
    fs::create_symlink(b, dir / "link.dat");
    fs::create_hard_link(b, dir / "hard.dat");
    // The same file by its name, through a link, by another spelling, as a hard link.
    for (const fs::path& out : {b, dir / "link.dat", dir / "sub" / ".." / "b.dat", dir / "hard.dat"}) {
        for (DatMode mode : {DatMode::Frames, DatMode::Slaves}) {
            const MergeResult r = MergeDat({a, b}, mode, To(out), kEn, Reply(true, nullptr));
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.message, "Merge file failed! " + out.string() + ": the output is the input " + b.string() +
                                     ", which the merge would overwrite; choose another output.");
            EXPECT_EQ(*ReadFileBytes(b), before) << out;
        }
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.dat"));
    const MergeResult zh = MergeDat({a, b}, DatMode::Frames, To(b), LoadMessages(kLanguageSimplified), nullptr);
    EXPECT_TRUE(Contains(zh.message, "输出文件就是输入文件" + b.string())) << zh.message;
    // Video project files alike.
    auto v = MakeVid(dir, "v.vid", 2, 2, 1, 5);
    auto w = MakeVid(dir, "w.vid", 2, 2, 1, 9);
    const auto vBefore = *ReadFileBytes(v);
    const MergeResult r = MergeVid({v, w}, VidMode::Horizontal, To(v), kEn, nullptr);
    EXPECT_EQ(r.message, "Merge file failed! " + v.string() + ": the output is the input " + v.string() +
                             ", which the merge would overwrite; choose another output.");
    EXPECT_EQ(*ReadFileBytes(v), vBefore);
    // A new file beside them is written as before.
    EXPECT_TRUE(MergeDat({a, b}, DatMode::Frames, To(dir / "new.dat"), kEn, nullptr).ok);
}

TEST(MergeDat, SlavesAdded) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 4, 10);
    auto b = MakeDat(dir, "b.dat", 3, 2, 50);
    std::string asked;
    MergeResult r = MergeDat({a, b}, DatMode::Slaves, To(dir / "out.dat"), kEn, Reply(true, &asked));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(asked, "Frame number vary!\r\nContinue?");
    const auto out = *ReadFileBytes(dir / "out.dat");
    EXPECT_EQ(LoadU16(&out[16]), 5);
    const std::uint32_t H = DatH(out), D = DatD(out);
    EXPECT_EQ(H, 512u);
    EXPECT_EQ(D, 512u);
    EXPECT_EQ((out.size() - H) / D, 4u);
    // Slave records are the inputs' records, verbatim, in list order.
    const auto fa = *ReadFileBytes(a);
    const auto fb = *ReadFileBytes(b);
    EXPECT_TRUE(std::equal(fa.begin() + 18, fa.begin() + 18 + 52, out.begin() + 18));
    EXPECT_TRUE(std::equal(fb.begin() + 18, fb.begin() + 18 + 78, out.begin() + 18 + 52));
    // Block 0: a's 2 slaves (12 channels each, 48 bytes) then b's data.
    EXPECT_EQ(out[H], 10);
    EXPECT_EQ(out[H + 24], 50);
    // Block 3: b has no frame 3, its part is zero.
    EXPECT_EQ(out[H + 3 * D], 13);
    EXPECT_EQ(out[H + 3 * D + 24], 0);
    // Answering No stops without writing.
    r = MergeDat({a, b}, DatMode::Slaves, To(dir / "no.dat"), kEn, Reply(false, nullptr));
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(fs::exists(dir / "no.dat"));
}

TEST(MergeDat, SlavesAddedRefusesSingleFamilyAndKeepsTheTwentiethRecord) {
    TestFolder dir;
    auto single = MakeDat(dir, "s.dat", 2, 2, 0, 1);
    auto a = MakeDat(dir, "a.dat", 2, 2, 0);
    EXPECT_EQ(MergeDat({a, single}, DatMode::Slaves, To(dir / "o.dat"), kEn, nullptr).message,
              "File type is not consistent! " + single.string());
    auto twenty = MakeDat(dir, "t.dat", 20, 2, 5);
    ASSERT_TRUE(MergeDat({twenty, a}, DatMode::Slaves, To(dir / "o.dat"), kEn, nullptr).ok);
    const auto out = *ReadFileBytes(dir / "o.dat");
    const auto t = *ReadFileBytes(twenty);
    EXPECT_EQ(LoadU16(&out[16]), 22);
    // The 20th record of the input (second sector) is the 20th of the output, intact.
    EXPECT_TRUE(std::equal(t.begin() + 512, t.begin() + 512 + 26, out.begin() + 512));
    EXPECT_EQ(DatH(out), 1024u);
    EXPECT_EQ(out[1024], 5);
}

TEST(MergeDat, SlavesAddedReadsTheWholeSixteenBitCount) {
    // 256 slaves: the low byte of the count alone would read as none.
    TestFolder dir;
    auto full = MakeDat(dir, "full.dat", 256, 1, 7);
    auto a = MakeDat(dir, "a.dat", 2, 1, 9);
    MergeResult r = MergeDat({full, a}, DatMode::Slaves, To(dir / "o.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    const auto out = *ReadFileBytes(dir / "o.dat");
    EXPECT_EQ(LoadU16(&out[16]), 258);
    EXPECT_EQ(out[DatH(out)], 7);
}

TEST(MergeVid, HorizontalAndVertical) {
    TestFolder dir;
    auto a = MakeVid(dir, "a.vid", 32, 16, 2, 10);
    auto b = MakeVid(dir, "b.vid", 16, 16, 2, 20);
    ASSERT_TRUE(MergeVid({a, b}, VidMode::Horizontal, To(dir / "h.vid"), kEn, nullptr).ok);
    auto h = *ReadFileBytes(dir / "h.vid");
    EXPECT_EQ(LoadU16(&h[10]), 16);
    EXPECT_EQ(LoadU16(&h[12]), 48);
    EXPECT_EQ(LoadU32(&h[22]), 48u);
    EXPECT_EQ(UnscrambleFrameCount(LoadU32(&h[22 + 8 + 260])), 2u);
    const std::size_t frame0 = 22 + 8 + 260 + 4;
    EXPECT_EQ(h[frame0], 10);
    EXPECT_EQ(h[frame0 + 3 * 32], 20);  // b starts after a's 32 pixels

    std::string asked;
    ASSERT_TRUE(MergeVid({a, b}, VidMode::Vertical, To(dir / "v.vid"), kEn, Reply(true, &asked)).ok);
    EXPECT_EQ(asked, "Size vary!\r\nContinue?");
    auto v = *ReadFileBytes(dir / "v.vid");
    EXPECT_EQ(LoadU16(&v[10]), 32);
    EXPECT_EQ(LoadU16(&v[12]), 32);
    const std::size_t stride = 96;
    // Stored bottom-up: the bottom half (stored rows 0..15) is b, at the left; a is on top.
    EXPECT_EQ(v[frame0], 20);
    EXPECT_EQ(v[frame0 + 3 * 16], 0);  // right of the narrower file
    EXPECT_EQ(v[frame0 + 16 * stride + 3 * 31], 10);
    EXPECT_FALSE(MergeVid({a, b}, VidMode::Vertical, To(dir / "x.vid"), kEn, Reply(false, nullptr)).ok);
    EXPECT_FALSE(fs::exists(dir / "x.vid"));
}

TEST(MergeVid, RefusedInputsAndArchives) {
    TestFolder dir;
    auto a = MakeVid(dir, "a.vid", 4, 2, 3, 1);
    auto one = MakeVid(dir, "one.vid", 4, 2, 1, 1, '1');
    EXPECT_EQ(MergeVid({a, one}, VidMode::Horizontal, To(dir / "o.vid"), kEn, nullptr).message,
              "File type is not consistent! " + one.string());
    // A truncated input is refused and no output is left.
    auto cut = *ReadFileBytes(a);
    cut.resize(cut.size() - 5);
    ASSERT_TRUE(WriteFileAtomic(dir / "cut.vid", cut));
    const int before = Files(dir.path());
    EXPECT_EQ(MergeVid({a, dir / "cut.vid"}, VidMode::Horizontal, To(dir / "o.vid"), kEn, nullptr).message,
              "File type is not consistent! " + (dir / "cut.vid").string() +
                  ": claims 3 frames of 4 x 2 pixels, but holds only 67 bytes of frames.");
    EXPECT_EQ(Files(dir.path()), before);
    EXPECT_EQ(MergeVid({a}, VidMode::Horizontal, To(dir / "o.vid"), kEn, nullptr).message, "File number is too small!");
    // A RAR-packed input is read through the archive.
    auto b = MakeVid(dir, "b.vid", 4, 2, 3, 7);
    ASSERT_TRUE(WriteStoredRar(dir / "packed.vid", b, kVidEntryName));
    ASSERT_TRUE(MergeVid({a, dir / "packed.vid"}, VidMode::Horizontal, To(dir / "o.vid"), kEn, nullptr).ok);
    auto o = *ReadFileBytes(dir / "o.vid");
    EXPECT_EQ(o[22 + 8 + 260 + 4 + 12], 7);
    // An archive without the entry.
    ASSERT_TRUE(WriteStoredRar(dir / "other.vid", b, "Something.vid"));
    EXPECT_EQ(MergeVid({a, dir / "other.vid"}, VidMode::Horizontal, To(dir / "p.vid"), kEn, nullptr).message,
              "Open file fail! " + (dir / "other.vid").string() + ": the archive holds no VorlaneDoc.vid.");
}

TEST(MergeMessages, LanguagesAndIni) {
    EXPECT_EQ(LoadMessages(kLanguageSimplified).success, "合并文件成功!");
    EXPECT_EQ(LoadMessages(kLanguageTraditional).caption, "文件合併");
    EXPECT_EQ(LoadMessages(kLanguageFrench).caption, "File Merge");
    TestFolder dir;
    dir.Write("Vorlane.ini", "[Main]\r\nLanguage=1\r\n");
    EXPECT_EQ(LanguageFromIni(dir / "Vorlane.ini", "en_US.UTF-8"), kLanguageSimplified);
    EXPECT_EQ(LanguageFromIni(dir / "none.ini", "zh_TW.UTF-8"), kLanguageTraditional);
}

TEST(MergeDat, FramesLeaveOutAPartialBlockAndSaySo) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 10, 0);
    auto b = MakeDat(dir, "b.dat", 2, 20, 100);
    const auto fb = *ReadFileBytes(b);
    const std::size_t H = DatH(fb), D = DatD(fb);
    // 12 whole frame blocks and a part of the 13th.
    auto cut = CutCopy(dir, b, "cut.dat", H + 12 * D + D / 2);
    MergeResult r = MergeDat({a, cut}, DatMode::Frames, To(dir / "out.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], cut.string() +
                                 ": the data ends inside a frame block; the partial block is left out and 12 whole "
                                 "frames are kept.");
    EXPECT_EQ(fs::file_size(dir / "out.dat"), H + 22 * D);
    // The first file cut as well: its header stays, its partial block goes.
    auto cutFirst = CutCopy(dir, a, "cutfirst.dat", H + 3 * D + 7);
    r = MergeDat({cutFirst, b}, DatMode::Frames, To(dir / "out2.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_TRUE(StartsWith(r.warnings[0], cutFirst.string() + ": ")) << r.warnings[0];
    EXPECT_TRUE(Contains(r.warnings[0], " 3 whole frames"));
    const auto out2 = *ReadFileBytes(dir / "out2.dat");
    EXPECT_EQ(out2.size(), H + 23 * D);
    EXPECT_EQ(out2[H + 3 * D], 100);  // b's first frame right after a's three
    // Not one whole block: the file is refused and nothing is written.
    auto stub = CutCopy(dir, b, "stub.dat", H + D - 1);
    const int before = Files(dir.path());
    r = MergeDat({a, stub}, DatMode::Frames, To(dir / "out3.dat"), kEn, nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Merge file failed! " + stub.string() +
                             ": the data ends inside the first frame block; no whole frame is left.");
    EXPECT_EQ(Files(dir.path()), before);
}

TEST(MergeDat, SlavesLeaveOutAPartialBlockAndSaySo) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 4, 10);
    auto b = MakeDat(dir, "b.dat", 3, 4, 50);
    const auto fb = *ReadFileBytes(b);
    const std::size_t start = DatDataStart(fb), block = DatD(fb);
    auto cut = CutCopy(dir, b, "cut.dat", start + 2 * block + 5);
    std::string asked;
    MergeResult r = MergeDat({a, cut}, DatMode::Slaves, To(dir / "out.dat"), kEn, Reply(true, &asked));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(asked, "Frame number vary!\r\nContinue?");
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_TRUE(StartsWith(r.warnings[0], cut.string() + ": ")) << r.warnings[0];
    EXPECT_TRUE(Contains(r.warnings[0], " 2 whole frames"));
    const auto out = *ReadFileBytes(dir / "out.dat");
    const std::size_t H = DatH(out), D = DatD(out);
    EXPECT_EQ(out.size(), H + 4 * D);
    EXPECT_EQ(out[H + D + 24], 51);    // b's frame 1 is there
    EXPECT_EQ(out[H + 2 * D + 24], 0);  // its partial frame 2 is not
    auto stub = CutCopy(dir, b, "stub.dat", start + 3);
    r = MergeDat({a, stub}, DatMode::Slaves, To(dir / "out2.dat"), kEn, Reply(true, nullptr));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(StartsWith(r.message, "Merge file failed! " + stub.string() + ": ")) << r.message;
    EXPECT_FALSE(fs::exists(dir / "out2.dat"));
}

TEST(MergeDat, WrongSlaveChecksumsAreMergedWithAWarning) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 2, 10);
    auto b = MakeDat(dir, "b.dat", 3, 2, 50);
    auto broken = BreakChecksum(dir, b, "broken.dat", {1});
    MergeResult r = MergeDat({a, broken}, DatMode::Slaves, To(dir / "out.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], broken.string() + ": the checksum of slave 2 is wrong; its record is kept as it is.");
    // The record goes into the output as it was.
    const auto out = *ReadFileBytes(dir / "out.dat");
    const auto fbroken = *ReadFileBytes(broken);
    EXPECT_TRUE(std::equal(fbroken.begin() + 18 + 26, fbroken.begin() + 18 + 52, out.begin() + 18 + 3 * 26));
    // Good files say nothing.
    r = MergeDat({a, b}, DatMode::Slaves, To(dir / "good.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.warnings.empty());
    // Appending frames: the first file's records are the ones kept.
    auto brokenA = BreakChecksum(dir, a, "brokenA.dat", {0});
    r = MergeDat({brokenA, a}, DatMode::Frames, To(dir / "frames.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], brokenA.string() + ": the checksum of slave 1 is wrong; its record is kept as it is.");
    // Many wrong records: the first twenty are named, the rest counted.
    auto many = MakeDat(dir, "many.dat", 25, 2, 0);
    std::vector<std::size_t> all(25);
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    auto manyBroken = BreakChecksum(dir, many, "manybroken.dat", all);
    r = MergeDat({manyBroken, a}, DatMode::Slaves, To(dir / "many-out.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.warnings.size(), 21u);
    EXPECT_TRUE(Contains(r.warnings[19], "slave 20 is wrong"));
    EXPECT_EQ(r.warnings[20], manyBroken.string() + ": 5 more slaves have a wrong checksum.");
    // In Chinese too.
    r = MergeDat({a, broken}, DatMode::Slaves, To(dir / "zh.dat"), LoadMessages(kLanguageSimplified), nullptr);
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], broken.string() + ": 第2个分控的校验和错误, 该记录按原样保留。");
}

TEST(MergeDat, MoreSlavesThanAFileHoldsAreRefused) {
    TestFolder dir;
    // 1300 copies of one slave's record, no frame.
    const auto one = *ReadFileBytes(MakeDat(dir, "one.dat", 1, 1, 0));
    std::vector<std::uint8_t> many(one.begin(), one.begin() + 512);
    StoreU16(&many[16], 1300);
    for (std::size_t i = 1; i < 1300; ++i) {
        const std::size_t at = SlaveRecordOffset(i);
        many.resize(std::max(many.size(), (at + kSpreadRecordBytes + 511) / 512 * 512));
        std::copy(one.begin() + 18, one.begin() + 18 + 26, many.begin() + static_cast<std::ptrdiff_t>(at));
    }
    ASSERT_TRUE(WriteFileAtomic(dir / "a.dat", many));
    const fs::path a = dir / "a.dat";
    MergeResult r = MergeDat({a, a}, DatMode::Slaves, To(dir / "out.dat"), kEn, nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message,
              "Merge file failed! the merged file would have 2600 slaves; a controller data file holds at most 2413.");
    EXPECT_FALSE(fs::exists(dir / "out.dat"));
}

TEST(MergeDat, OutputsThatAreNoFileAreRefused) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 2, 0);
    fs::create_directory(dir / "folder.dat");
    const int before = Files(dir.path());
    MergeResult r = MergeDat({a, a}, DatMode::Frames, To(dir / "folder.dat"), kEn, nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Open file fail! " + (dir / "folder.dat").string() + ": is a folder, not a file");
    EXPECT_EQ(Files(dir.path()), before);
    EXPECT_TRUE(fs::is_empty(dir / "folder.dat"));
    if (fs::exists("/dev/full")) {
        r = MergeDat({a, a}, DatMode::Slaves, To("/dev/full"), kEn, nullptr);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(StartsWith(r.message, "Open file fail! /dev/full: is not a regular file")) << r.message;
    }
    // An input that is a folder.
    r = MergeDat({a, dir / "folder.dat"}, DatMode::Frames, To(dir / "o.dat"), kEn, nullptr);
    EXPECT_EQ(r.message, "Open file fail! " + (dir / "folder.dat").string() + ": is a folder, not a file");
}

TEST(MergeDat, AFailedWriteNamesTheOutputAndTheReason) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 10, 0);
    const fs::path out = dir / "out.dat";
    const int before = Files(dir.path());
    // Files may not grow past 2 KiB in the child: the write fails with the system's reason.
    for (DatMode mode : {DatMode::Frames, DatMode::Slaves}) {
        ChildResult c = InChild(0, 2048, [&] { return MergeDat({a, a}, mode, To(out), kEn, nullptr).message; });
        EXPECT_EQ(c.status, 0);
        EXPECT_EQ(c.text, "Merge file failed! " + out.string() + ": File too large");
        EXPECT_EQ(Files(dir.path()), before);  // no temporary file left
    }
}

TEST(MergeDat, TheFreeSpaceIsCheckedBeforeWriting) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 10, 0);
    const auto fa = *ReadFileBytes(a);
    fs::path asked;
    auto tight = [&](const fs::path& folder) -> std::optional<std::uint64_t> {
        asked = folder;
        return 1000;
    };
    MergeResult r = MergeDat({a, a}, DatMode::Frames, To(dir / "out.dat"), kEn, nullptr, {}, 0, tight);
    EXPECT_FALSE(r.ok);
    const std::size_t need = fa.size() + (fa.size() - DatH(fa));
    EXPECT_EQ(r.message, "Merge file failed! " + (dir / "out.dat").string() + ": not enough free space: the merged " +
                             "file needs " + SizeText(need) + ", only 1000 bytes are free there.");
    EXPECT_EQ(asked, dir.path());
    EXPECT_FALSE(fs::exists(dir / "out.dat"));
    auto roomy = [&](const fs::path&) -> std::optional<std::uint64_t> { return need; };
    EXPECT_TRUE(MergeDat({a, a}, DatMode::Frames, To(dir / "out.dat"), kEn, nullptr, {}, 0, roomy).ok);
    EXPECT_EQ(fs::file_size(dir / "out.dat"), need);
}

TEST(MergeVid, AHugePictureWithoutFramesIsRefusedWithoutTheMemory) {
    TestFolder dir;
    auto a = MakeVid(dir, "a.vid", 4, 4, 5, 10);
    // 294 bytes that claim 32767 x 32761 pixels and no frame: beside five small frames, 16 GB.
    auto huge = MakeVid(dir, "huge.vid", 32767, 32761, 0, 0);
    ASSERT_EQ(fs::file_size(huge), 294u);
    const fs::path out = dir / "out.vid";
    const int before = Files(dir.path());
    // (Files are limited to 100 MiB in the child, so that a regression cannot fill the disk.)
    ChildResult c = InChild(kSmallAddressSpace, 100u << 20, [&] {
        auto plenty = [](const fs::path&) -> std::optional<std::uint64_t> { return std::uint64_t{1} << 40; };
        return MergeVid({a, huge}, VidMode::Vertical, To(out), kEn, Reply(true, nullptr), {}, plenty).message;
    });
    EXPECT_EQ(c.status, 0);  // no crash, no allocation failure
    // Refused by the picture's size, whatever room there is: the program would not open it.
    EXPECT_EQ(c.text, "Merge file failed! the merged picture would be 32767 x 32765 pixels, 1073610755 cells; the "
                      "program opens pictures of at most 16777216 cells.");
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(Files(dir.path()), before);
    // Within the limit, the free space still decides.
    auto tall = MakeVid(dir, "tall.vid", 4096, 4092, 0, 0);
    ChildResult d = InChild(kSmallAddressSpace, 100u << 20, [&] {
        auto oneMiB = [](const fs::path&) -> std::optional<std::uint64_t> { return std::uint64_t{1} << 20; };
        return MergeVid({a, tall}, VidMode::Vertical, To(out), kEn, Reply(true, nullptr), {}, oneMiB).message;
    });
    EXPECT_EQ(d.status, 0);
    const std::uint64_t need = 294 + 5ull * (3 * 4096) * 4096;
    EXPECT_EQ(d.text, "Merge file failed! " + out.string() + ": not enough free space: the merged file needs " +
                          SizeText(need) + ", only 1.0 MiB are free there.");
    EXPECT_FALSE(fs::exists(out));
    // A side past 32767 is refused by its size alone.
    MergeResult r = MergeVid({huge, huge}, VidMode::Vertical, To(out), kEn, Reply(true, nullptr));
    EXPECT_EQ(r.message,
              "Merge file failed! the merged picture would be 32767 x 65522 pixels; a side holds at most 32767.");
}

TEST(MergeVid, ThePictureLimitIsTheCellsTheProgramOpens) {
    TestFolder dir;
    // 4096 x 4096 is the largest; one row more is refused. No frames: only the header is written.
    auto top = MakeVid(dir, "top.vid", 4096, 4092, 0, 0);
    auto four = MakeVid(dir, "four.vid", 4096, 4, 0, 0);
    auto five = MakeVid(dir, "five.vid", 4096, 5, 0, 0);
    MergeResult r = MergeVid({top, four}, VidMode::Vertical, To(dir / "at.vid"), kEn, Reply(true, nullptr));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(fs::file_size(dir / "at.vid"), 294u);
    r = MergeVid({top, five}, VidMode::Vertical, To(dir / "past.vid"), kEn, Reply(true, nullptr));
    EXPECT_EQ(r.message, "Merge file failed! the merged picture would be 4096 x 4097 pixels, 16781312 cells; the "
                         "program opens pictures of at most 16777216 cells.");
    EXPECT_FALSE(fs::exists(dir / "past.vid"));
    // Side by side alike, in the running language.
    auto left = MakeVid(dir, "left.vid", 4000, 4096, 0, 0);
    auto right = MakeVid(dir, "right.vid", 97, 4096, 0, 0);
    r = MergeVid({left, right}, VidMode::Horizontal, To(dir / "wide.vid"), LoadMessages(kLanguageSimplified),
                 Reply(true, nullptr));
    EXPECT_EQ(r.message, "合并文件失败! 合并后的画面将是4097 x 4096像素, 共16781312个点; 程序最多打开16777216个点的画面。");
    EXPECT_EQ(kMaxPictureCells, 16777216u);
}

TEST(MergeVid, MemoryDoesNotFollowThePictureSize) {
    TestFolder dir;
    auto a = MakeVid(dir, "a.vid", 4, 4, 1, 10);
    // A 50 MB frame, none stored: 32767 x 512 is just within the cells the program opens.
    auto wide = MakeVid(dir, "wide.vid", 32767, 508, 0, 0);
    const fs::path out = dir / "out.vid";
    ChildResult c = InChild(kSmallAddressSpace, 0, [&] {
        const bool measured = ResetPeakMemory();
        const MergeResult r = MergeVid({a, wide}, VidMode::Vertical, To(out), kEn, Reply(true, nullptr));
        return r.message + "\n" + std::to_string(measured ? PeakMemoryKiB() : -1);
    });
    EXPECT_EQ(c.status, 0);
    std::istringstream lines(c.text);
    std::string message, peak;
    std::getline(lines, message);
    std::getline(lines, peak);
    EXPECT_EQ(message, "Merge file is successfully!");
    if (peak != "-1") {
        EXPECT_LT(std::stol(peak), 48 * 1024) << "peak resident memory in KiB";
    }
    const std::uint64_t stride = 3 * 32767 + 3;
    ASSERT_EQ(fs::file_size(out), 294 + stride * 512);
    // a is on top: stored bottom-up, its rows are the last four.
    std::ifstream in(out, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(294 + stride * 508));
    EXPECT_EQ(in.get(), 10);
    in.seekg(static_cast<std::streamoff>(294 + stride * 507));
    EXPECT_EQ(in.get(), 0);
}

TEST(MergeVid, FramesOfFilesWithoutFramesAreNeverRead) {
    TestFolder dir;
    auto a = MakeVid(dir, "a.vid", 4, 2, 3, 10);
    auto z = MakeVid(dir, "z.vid", 4, 2, 0, 0);
    // Bytes after a file that claims no frame are not frames.
    {
        std::ofstream tail(z, std::ios::binary | std::ios::app);
        tail << std::string(200, '\xff');
    }
    std::string asked;
    MergeResult r = MergeVid({a, z}, VidMode::Horizontal, To(dir / "o.vid"), kEn, Reply(true, &asked));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(asked, "Frame number vary!\r\nContinue?");
    const auto o = *ReadFileBytes(dir / "o.vid");
    const std::size_t stride = 24;
    ASSERT_EQ(o.size(), 294 + 3 * stride * 2);
    for (std::size_t f = 0; f < 3; ++f) {
        for (std::size_t row = 0; row < 2; ++row) {
            const std::size_t at = 294 + f * 2 * stride + row * stride;
            EXPECT_EQ(o[at], 10 + f);
            EXPECT_EQ(o[at + 12], 0);  // z's part
        }
    }
}

TEST(FusebindCommandLine, HelpAndUsageMistakes) {
    auto run = [](const std::vector<std::string>& args, std::string* out, std::string* err,
                  std::uint8_t language = kLanguageEnglish) {
        std::ostringstream o, e;
        const CommandLine c = ParseCommandLine(args);
        const int status =
            RunCommandLine(c, LoadMessages(c.language.value_or(language)),
                           LoadCommandTexts(c.language.value_or(language)), o, e);
        *out = o.str();
        *err = e.str();
        return status;
    };
    std::string out, err;
    EXPECT_EQ(run({"--help"}, &out, &err), 0);
    EXPECT_TRUE(Contains(out, "1 Simplified Chinese,\n2 Traditional Chinese, 3 English")) << out;
    EXPECT_TRUE(err.empty());
    EXPECT_EQ(run({"merge-dat", "--help"}, &out, &err), 0);
    EXPECT_TRUE(StartsWith(out, "Usage: fusebind [--lang 1|2|3] merge-dat --mode frames|slaves")) << out;
    EXPECT_EQ(run({"merge-vid", "-o", "x.vid", "--help"}, &out, &err), 0);
    EXPECT_TRUE(StartsWith(out, "Usage: fusebind [--lang 1|2|3] merge-vid --mode horizontal|vertical")) << out;

    EXPECT_EQ(run({"merge-dat", "--mode", "frames", "--foo", "-o", "o.dat", "a.dat", "b.dat"}, &out, &err), 2);
    EXPECT_EQ(err, "fusebind merge-dat: unknown option --foo\nRun \"fusebind merge-dat --help\" for the options.\n");
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(run({"merge-dat", "--mode", "frames", "a.dat", "b.dat", "-o"}, &out, &err), 2);
    EXPECT_TRUE(StartsWith(err, "fusebind merge-dat: -o needs a file name\n")) << err;
    EXPECT_EQ(run({"merge-dat", "--mode", "time", "-o", "o.dat", "a.dat", "b.dat"}, &out, &err), 2);
    EXPECT_TRUE(StartsWith(err, "fusebind merge-dat: --mode takes frames or slaves\n")) << err;
    EXPECT_EQ(run({"merge-dat", "-o", "o.dat", "a.dat", "b.dat"}, &out, &err), 2);
    EXPECT_TRUE(StartsWith(err, "fusebind merge-dat: --mode takes frames or slaves\n")) << err;
    EXPECT_EQ(run({"merge-vid", "--mode", "slaves", "-o", "o.vid", "a.vid", "b.vid"}, &out, &err), 2);
    EXPECT_TRUE(StartsWith(err, "fusebind merge-vid: --mode takes horizontal or vertical\n")) << err;
    EXPECT_EQ(run({"merge-vid", "--mode=vertical", "a.vid", "b.vid"}, &out, &err), 2);
    EXPECT_TRUE(StartsWith(err, "fusebind merge-vid: no output file: name it with -o\n")) << err;
    EXPECT_EQ(run({"join", "a.dat"}, &out, &err), 2);
    EXPECT_TRUE(StartsWith(err, "fusebind: unknown command \"join\"\n")) << err;
    EXPECT_EQ(run({"--lang", "4"}, &out, &err), 2);
    EXPECT_TRUE(StartsWith(err, "fusebind: --lang takes 1 (Simplified Chinese), 2 (Traditional Chinese) or 3")) << err;
    // The language chosen on the command line is the one of every message.
    EXPECT_EQ(run({"--lang", "1", "merge-dat", "--bogus"}, &out, &err), 2);
    EXPECT_EQ(err, "fusebind merge-dat: 未知选项 --bogus\n运行 \"fusebind merge-dat --help\" 查看选项。\n");
    EXPECT_EQ(run({"--lang", "1", "merge-dat", "--mode", "frames", "-o", "o.dat", "/nonexistent/a.dat",
                   "/nonexistent/b.dat"},
                  &out, &err),
              1);
    EXPECT_EQ(err, "打开文件失败! /nonexistent/a.dat: No such file or directory\n");
    EXPECT_EQ(run({"--lang", "1", "--help"}, &out, &err), 0);
    EXPECT_TRUE(Contains(out, "1 简体中文, 2 繁体中文, 3 英文")) << out;
}

TEST(FusebindCommandLine, LanguageBeforeTheCommandOrAlone) {
    CommandLine c = ParseCommandLine({"--lang", "2"});
    EXPECT_EQ(c.action, CommandLine::Action::Dialog);
    EXPECT_EQ(c.language, std::optional<std::uint8_t>(kLanguageTraditional));
    c = ParseCommandLine({});
    EXPECT_EQ(c.action, CommandLine::Action::Dialog);
    EXPECT_FALSE(c.language);
    c = ParseCommandLine({"--lang=3", "merge-vid", "--mode", "horizontal", "-o", "o.vid", "a.vid", "--", "-b.vid",
                          "--yes"});
    EXPECT_EQ(c.action, CommandLine::Action::Merge);
    EXPECT_EQ(c.language, std::optional<std::uint8_t>(kLanguageEnglish));
    EXPECT_EQ(c.output, "o.vid");
    EXPECT_EQ(c.inputs, (std::vector<fs::path>{"a.vid", "-b.vid", "--yes"}));
    EXPECT_FALSE(c.yes);
    c = ParseCommandLine({"merge-dat", "--yes", "--mode", "slaves", "-o", "o.dat", "a.dat", "b.dat", "--lang", "1"});
    EXPECT_EQ(c.action, CommandLine::Action::Merge);
    EXPECT_TRUE(c.yes);
    EXPECT_EQ(c.language, std::optional<std::uint8_t>(kLanguageSimplified));
    EXPECT_EQ(ParseCommandLine({"--lang"}).action, CommandLine::Action::UsageError);
    EXPECT_EQ(ParseCommandLine({"--lang", "1", "--version"}).action, CommandLine::Action::Version);
    // Traditional texts are the Simplified ones in Traditional characters.
    EXPECT_EQ(LoadCommandTexts(kLanguageTraditional).unknownOption, "未知選項 %1");
}

TEST(FusebindProgress, ABarOnATerminalOnly) {
    EXPECT_FALSE(TerminalProgress(stderr, false));
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ProgressFn bar = TerminalProgress(file, true);
    ASSERT_TRUE(bar);
    bar(50);
    bar(50);  // the same percentage is not drawn twice
    bar(100);
    bar(0);
    std::rewind(file);
    std::string text;
    for (int ch = std::fgetc(file); ch != EOF; ch = std::fgetc(file)) text += static_cast<char>(ch);
    std::fclose(file);
    EXPECT_EQ(text, "\r[" + std::string(20, '#') + std::string(20, ' ') + "]  50%" + "\r[" + std::string(40, '#') +
                        "] 100%" + "\r" + std::string(60, ' ') + "\r");
}

TEST(MergeMessages, EveryLanguageHasTheNewTexts) {
    for (std::uint8_t language : {kLanguageSimplified, kLanguageTraditional, kLanguageEnglish}) {
        const Messages m = LoadMessages(language);
        for (const std::string* text : {&m.partialBlock, &m.noWholeFrame, &m.badChecksum, &m.moreBadChecksums,
                                        &m.framesTooLong, &m.noSpace, &m.pictureTooBig, &m.tooManySlaves,
                                        &m.shapeDiffers, &m.entryMissing, &m.tooManyCells, &m.outputIsInput}) {
            EXPECT_TRUE(Contains(*text, "%1")) << *text;
        }
    }
    EXPECT_EQ(LoadMessages(kLanguageTraditional).moreBadChecksums, "%1: 另有%2個分控的校驗和錯誤。");
    EXPECT_EQ(FillIn("%2 before %1, %3 stays", {"a", "b"}), "b before a, %3 stays");
    EXPECT_EQ(SizeText(1000), "1000 bytes");
    EXPECT_EQ(SizeText(3u << 20), "3.0 MiB");
}
