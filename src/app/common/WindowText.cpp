#include "app/common/WindowText.h"

#include "lang/Language.h"
#include "lang/Localize.h"

namespace corv {

QString SculptText(const char* chinese, const char* english, std::uint8_t language) {
    return UsesChinese(language) ? QString::fromStdString(LocalizeText(chinese, language)) : QString::fromUtf8(english);
}

}  // namespace corv
