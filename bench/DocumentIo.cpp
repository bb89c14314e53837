// Times opening and saving one project document: `corvantine-docio IN.cvn OUT.cvn`.
// Prints "open SECONDS" and "save SECONDS"; bench/document_throughput.sh compares them with cp.
// Written data is flushed to disk (sync) before each timed step, so that no step pays for the
// write-back of the one before.
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "base/TempDir.h"
#include "project/Document.h"

using namespace corv;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvantine-docio IN.cvn OUT.cvn\n");
        return 2;
    }
    TempDir temp;
    LoadedDocument doc;
    ReadOptions options;
    options.tempDir = temp.path();
    auto t0 = std::chrono::steady_clock::now();
    if (!ReadDocument(argv[1], options, doc)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    auto t1 = std::chrono::steady_clock::now();
    AppState app;
    FrameStore store(app);
    store.ReplaceAll(std::move(doc.clips));
    DocumentSource source;
    source.frames = &store;
    // Start the save as the script starts cp: nothing dirty pending and, where allowed (root),
    // the page cache emptied so that leftovers of earlier runs do not decide the time.
    ::sync();
    if (std::FILE* drop = std::fopen("/proc/sys/vm/drop_caches", "w")) {
        std::fputs("3", drop);
        std::fclose(drop);
    }
    auto t2 = std::chrono::steady_clock::now();
    if (!WriteDocument(argv[2], source)) {
        std::fprintf(stderr, "cannot save %s\n", argv[2]);
        return 1;
    }
    auto t3 = std::chrono::steady_clock::now();
    std::printf("open %.3f\nsave %.3f\n", std::chrono::duration<double>(t1 - t0).count(),
                std::chrono::duration<double>(t3 - t2).count());
    return 0;
}
