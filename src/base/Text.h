#pragma once

namespace corv {

// How a message's Traditional Chinese text comes from its Simplified one: by the full
// conversion, by converting the glyphs only, or not at all (the text stays as it stands).
enum class Traditional : unsigned char { Full, Glyphs, None };

// One message of the catalogue (`src/lang/messages`): its Simplified Chinese text (the
// Traditional text comes from it as `traditional` says) and its English text. Texts with
// values use %1, %2, ... where each language's sentence wants them (or the printf forms a
// caller formats itself); render them with `Render` (terminal) or `RenderQt` (windows).
struct Text {
    const char* chinese;
    const char* english;
    Traditional traditional = Traditional::Full;
};

}  // namespace corv
