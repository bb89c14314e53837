#include "lang/Render.h"

#include "lang/Language.h"
#include "lang/Localize.h"

namespace corv {

std::string Render(const Text& text, std::uint8_t language) {
    if (!UsesChinese(language)) {
        return text.english;
    }
    switch (text.traditional) {
    case Traditional::Glyphs:
        return LocalizeGlyphs(text.chinese, language);
    case Traditional::None:
        return text.chinese;
    case Traditional::Full:
        break;
    }
    return LocalizeText(text.chinese, language);
}

std::string FillPlaceholders(const std::string& text, const std::string* values, std::size_t count) {
    std::string out;
    out.reserve(text.size() + 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            const char c = text[i + 1];
            if (c == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (c >= '1' && c <= '9' && static_cast<std::size_t>(c - '1') < count) {
                out += values[c - '1'];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string Render(const Text& text, std::uint8_t language, std::initializer_list<std::string> values) {
    return FillPlaceholders(Render(text, language), values.begin(), values.size());
}

std::string Render(const Text& text, std::uint8_t language, const std::vector<std::string>& values) {
    return FillPlaceholders(Render(text, language), values.data(), values.size());
}

std::string Render(const Failure& failure, std::uint8_t language) {
    if (!failure.message.empty()) {
        return failure.message;
    }
    if (failure.text != nullptr) {
        return Render(*failure.text, language, failure.args);
    }
    return failure.reason;
}

}  // namespace corv
