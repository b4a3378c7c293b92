// The line list file: one entry a line, used by the mask lists, the ignore lists, the found
// list files and the autosave file.
//
// Reading: CR LF, a lone CR and a lone LF each end a line; an LF followed by a CR makes two
// line ends; the text after the last line end is an entry only when it is not empty; an empty
// line is an entry with empty text; a NUL byte ends the text; nothing is trimmed.
// Writing: every entry followed by CR LF, the last one included; the file is replaced whole.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mtl {

enum class LineText {
    Decoded,  // text lists: UTF-8, or Windows-1250 converted (see textcodec.h)
    Bytes,    // lists of paths: the bytes exactly as stored
};

std::vector<std::string> parseLineList(std::string_view bytes, LineText mode = LineText::Decoded);
// Throws FileError naming the file when it cannot be opened or read.
std::vector<std::string> readLineList(const std::filesystem::path& file, LineText mode = LineText::Decoded);

std::string formatLineList(std::span<const std::string> entries);
// Replaces the file atomically. Throws FileError naming the file when it cannot be written.
void writeLineList(const std::filesystem::path& file, std::span<const std::string> entries);

} // namespace mtl
