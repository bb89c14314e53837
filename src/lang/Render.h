#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/Result.h"
#include "base/Text.h"

namespace corv {

// A catalogue message in a language: the Chinese text for 1 and, in Traditional characters,
// for 2; the English text for any other code. The text comes back as it stands (printf forms
// such as %d stay for the caller to format).
std::string Render(const Text& text, std::uint8_t language);

// The same with values: %1, %2, ... stand for values[0], values[1], ... wherever each
// language's sentence wants them (the values are put in as they are, never converted); %% is a
// percent sign; a placeholder without a value stays as it is.
std::string Render(const Text& text, std::uint8_t language, std::initializer_list<std::string> values);
std::string Render(const Text& text, std::uint8_t language, const std::vector<std::string>& values);

// A failure in a language: its rendered message if it has one, else its catalogue message
// with its values, else its reason.
std::string Render(const Failure& failure, std::uint8_t language);

// Puts values into the %1..%9 placeholders of an already rendered text.
std::string FillPlaceholders(const std::string& text, const std::string* values, std::size_t count);

}  // namespace corv
