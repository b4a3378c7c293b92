#include "core/common/linelist.h"

#include "core/common/fileio.h"
#include "core/common/textcodec.h"

namespace mtl {

std::vector<std::string> parseLineList(std::string_view bytes, LineText mode)
{
    // A NUL byte ends the text.
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    const bool convert = mode == LineText::Decoded && !isValidUtf8(bytes);

    std::vector<std::string> entries;
    auto add = [&](std::string_view entry) {
        entries.push_back(convert ? cp1250ToUtf8(entry) : std::string(entry));
    };
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            add(bytes.substr(start, i - start));
            start = i + 1;
        } else if (c == '\r') {
            add(bytes.substr(start, i - start));
            // CR LF is one line end; LF CR stays two, because the LF was taken above.
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < bytes.size()) add(bytes.substr(start));
    return entries;
}

std::vector<std::string> readLineList(const std::filesystem::path& file, LineText mode)
{
    return parseLineList(readFileBytes(file), mode);
}

std::string formatLineList(std::span<const std::string> entries)
{
    std::size_t size = 0;
    for (const auto& entry : entries) size += entry.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& entry : entries) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

void writeLineList(const std::filesystem::path& file, std::span<const std::string> entries)
{
    writeFileAtomic(file, formatLineList(entries));
}

} // namespace mtl
