#include "lang/Localize.h"

#include <opencc/opencc.h>

#include <mutex>

#include "lang/Language.h"

namespace corv {

namespace {

class Converter {
public:
    Converter() {
        handle_ = opencc_open("s2t.json");
        if (handle_ == reinterpret_cast<opencc_t>(-1)) {
            handle_ = nullptr;
        }
    }
    ~Converter() {
        if (handle_) {
            opencc_close(handle_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool available() const { return handle_ != nullptr; }

    std::string Convert(const std::string& text) {
        if (!handle_ || text.empty()) {
            return text;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        char* out = opencc_convert_utf8(handle_, text.data(), text.size());
        if (!out) {
            return text;
        }
        std::string result(out);
        opencc_convert_utf8_free(out);
        return result;
    }

private:
    opencc_t handle_ = nullptr;
    std::mutex mutex_;
};

Converter& Instance() {
    static Converter converter;
    return converter;
}

bool HasNonAscii(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x80) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool TraditionalConverterAvailable() { return Instance().available(); }

std::string ToTraditional(const std::string& text) {
    if (!HasNonAscii(text)) {
        return text;
    }
    return Instance().Convert(text);
}

std::string LocalizeText(const std::string& text, std::uint8_t language) {
    return language == kLanguageTraditional ? ToTraditional(text) : text;
}

std::string LocalizeGlyphs(const std::string& text, std::uint8_t language) {
    return language == kLanguageTraditional ? ToTraditional(text) : text;
}

}  // namespace corv
