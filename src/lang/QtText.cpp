#include "lang/QtText.h"

#include <string>
#include <vector>

#include "lang/Render.h"

namespace corv {

QString RenderQt(const Text& text, std::uint8_t language) {
    return QString::fromStdString(Render(text, language));
}

QString RenderQt(const Text& text, std::uint8_t language, std::initializer_list<QString> values) {
    std::vector<std::string> utf8;
    utf8.reserve(values.size());
    for (const QString& v : values) {
        utf8.push_back(v.toStdString());
    }
    return QString::fromStdString(Render(text, language, utf8));
}

}  // namespace corv
