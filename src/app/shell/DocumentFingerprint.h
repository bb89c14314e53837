#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corv {

class Workspace;

// What a document stores (clips and their frames, grid scales, design canvas, layers and
// music) as it was at one moment. The main window takes one when a document is opened, made
// or saved; a document that no longer matches it has changes that are not saved.
//
// Everything but the frames' pixels is one digest. A frame is marked by a digest of its
// pixels, or, while its pixels are still the unchanged pages of the file they are mapped from,
// by where they are: taking the state of a large document just opened reads none of its frames.
struct DocumentState {
    struct FrameMark {
        const std::uint8_t* at = nullptr;
        std::size_t size = 0;
        bool mapped = false;      // unchanged pages of a mapped file: `digest` is not taken
        std::uint64_t digest = 0;
    };
    std::uint64_t digest = 0;
    std::vector<FrameMark> frames;  // every clip's, one after another
};

DocumentState CaptureDocumentState(const Workspace& ws);
// Whether the document still stores what `state` took. A frame whose mark is a mapping and
// whose pages have changed since is compared by the digest of the file's own bytes.
bool MatchesDocumentState(const DocumentState& state, const Workspace& ws);

}  // namespace corv
