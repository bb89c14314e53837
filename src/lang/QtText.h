#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>

#include "base/Text.h"

namespace corv {

// A catalogue message in a language for a window, as `Render` gives it for the terminal (the
// same words, the same placeholders).
QString RenderQt(const Text& text, std::uint8_t language);
QString RenderQt(const Text& text, std::uint8_t language, std::initializer_list<QString> values);

}  // namespace corv
