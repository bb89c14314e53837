#pragma once

#include <QString>
#include <cstdint>

namespace corv {

// A window's own text in the running language: the Chinese text (converted for Traditional)
// for the Chinese languages, else the English one.
QString SculptText(const char* chinese, const char* english, std::uint8_t language);

}  // namespace corv
