// Text encodings of the program's files: its own files are UTF-8, and files written by the
// Windows program (Windows-1250) still load, because a file that is not valid UTF-8 as a
// whole is read as Windows-1250.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mtl {

bool isValidUtf8(std::string_view bytes);
// Length of the valid UTF-8 sequence that starts at `pos`, 0 when none starts there.
std::size_t utf8SequenceLength(std::string_view bytes, std::size_t pos);
// Every byte of Windows-1250 text as UTF-8 (unassigned bytes become the C1 code point of
// the same value, so nothing is lost).
std::string cp1250ToUtf8(std::string_view bytes);
// The reading rule: unchanged when valid UTF-8, otherwise converted from Windows-1250.
std::string decodeText(std::string_view bytes);
// UTF-8 text to Windows-1250; a character the code page lacks is written as an HTML numeric
// character reference ("&#263;"). Invalid UTF-8 bytes are passed through.
std::string utf8ToCp1250Html(std::string_view text);
// UTF-8 text to Windows-1250 with nothing substituted, for files whose text must read back
// as written: std::nullopt when the text is not valid UTF-8 (`missing` is then 0) or holds a
// character the code page lacks (its code point goes into `missing`).
std::optional<std::string> utf8ToCp1250Exact(std::string_view text, char32_t& missing);

} // namespace mtl
