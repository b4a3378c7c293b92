// Whole-file reading and atomic replacement, with errors that name the file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mtl {

// Throws FileError when the file cannot be opened or read.
std::string readFileBytes(const std::filesystem::path& file);
// Writes a temporary file beside the target, flushes it to disk and renames it over the
// target, so readers see the old or the new file, never a part. Throws FileError.
void writeFileAtomic(const std::filesystem::path& file, std::string_view bytes);

// "Nie można otworzyć pliku "PATH".\n<reason>" and its relatives.
std::string fileErrorText(std::string_view what, const std::filesystem::path& file, int errnoValue);

} // namespace mtl
