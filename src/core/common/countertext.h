// Counters shown to the user are label texts, parsed back when their values are needed:
// a count followed by " plików", a size followed by " KB", or a plain decimal number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mtl {

std::string filesText(std::int64_t count);  // "12 plików"
std::string kbText(std::int64_t kilobytes);  // "12 KB"

// Reads the leading whole number of a counter text ("12 plików", "12 KB", "12").
// Throws ConversionError with the text when it holds no such number.
std::int64_t parseCounter(std::string_view text);
// A plain decimal whole number, blanks around it allowed; anything else throws
// ConversionError ("'abc' nie jest poprawną liczbą całkowitą").
std::int64_t parseInteger(std::string_view text);

} // namespace mtl
