#pragma once

#include <cstdint>
#include <string>

namespace corv {

// True when the Simplified-to-Traditional converter is available.
bool TraditionalConverterAvailable();

// Maps Simplified Chinese text to Traditional characters (UTF-8 in and out). Text without
// Chinese characters comes back unchanged. When no converter is installed the text comes
// back unchanged and TraditionalConverterAvailable() is false.
std::string ToTraditional(const std::string& text);

// The Chinese literal for the running language: unchanged unless the language is 2, where
// it is mapped to Traditional characters. Inside the program every text is UTF-8, so the
// legacy code-page step of older systems does not apply.
std::string LocalizeText(const std::string& text, std::uint8_t language);

// The same mapping for texts that only need their glyphs converted.
std::string LocalizeGlyphs(const std::string& text, std::uint8_t language);

}  // namespace corv
