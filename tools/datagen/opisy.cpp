// opisy SRC OUT: turns the readable descriptions source (UTF-8, one item a line
// "IMAGE<TAB>CAPTION<TAB>DESCRIPTION") into the list view object stream the program ships.
#include "commands.h"

#include "core/common/errors.h"
#include "core/common/fileio.h"
#include "core/filters/objectstream.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

namespace datagen {
namespace {

constexpr int kFirstImage = -1;  // no icon
constexpr int kLastImage = 7;    // the eight category icons

std::optional<int> parseImage(std::string_view text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < kFirstImage || value > kLastImage) return std::nullopt;
    return value;
}

// One source line to an item; an error text (without the line number) when it is malformed.
std::optional<std::string> parseLine(std::string_view line, mtl::DescriptionItem& item)
{
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) return "expected IMAGE<TAB>CAPTION<TAB>DESCRIPTION";
    if (line.find('\t', tab2 + 1) != std::string_view::npos) return "more than three fields";
    const std::string_view image = line.substr(0, tab1);
    const std::string_view caption = line.substr(tab1 + 1, tab2 - tab1 - 1);
    const std::string_view description = line.substr(tab2 + 1);
    const std::optional<int> index = parseImage(image);
    if (!index) return "image index '" + std::string(image) + "' is not a number from -1 to 7";
    if (caption.empty()) return "empty caption";
    if (description.empty()) return "empty description";
    item.imageIndex = *index;
    item.caption = caption;
    item.subItems = {std::string(description)};
    // Catch what the stream cannot hold (a letter outside Windows-1250, a text over 255 bytes)
    // here, where the line number is known.
    try {
        mtl::DescriptionsList single;
        single.items.push_back(item);
        mtl::writeDescriptionsStream(single);
    } catch (const mtl::Error& e) {
        return e.what();
    }
    return std::nullopt;
}

} // namespace

int opisyCommand(Args args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: mtl-datagen opisy SRC OUT\n");
        return 2;
    }
    const std::filesystem::path source(args[0]);
    const std::filesystem::path output(args[1]);
    try {
        const std::string text = mtl::readFileBytes(source);
        mtl::DescriptionsList list;
        int lineNumber = 0;
        for (std::size_t pos = 0; pos < text.size();) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::string_view line(text.data() + pos, end - pos);
            pos = end + 1;
            ++lineNumber;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (line.empty() || line.front() == '#') continue;
            mtl::DescriptionItem item;
            if (const auto error = parseLine(line, item)) {
                std::fprintf(stderr, "mtl-datagen opisy: %s:%d: %s\n", source.c_str(), lineNumber, error->c_str());
                return 1;
            }
            list.items.push_back(std::move(item));
        }
        const std::string bytes = mtl::writeDescriptionsStream(list);
        if (output.has_parent_path()) std::filesystem::create_directories(output.parent_path());
        mtl::writeFileAtomic(output, bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mtl-datagen opisy: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace datagen
