#include "core/platform/profile.h"

#include "core/common/errors.h"
#include "core/common/fileio.h"
#include "core/common/textcodec.h"
#include "core/platform/registry.h"

namespace mtl {
namespace {

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Cuts to at most `limit` code points without splitting a UTF-8 sequence.
std::string cutToCharacters(std::string_view text, std::size_t limit)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if ((static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) {
            if (count == limit) return std::string(text.substr(0, pos));
            ++count;
        }
    }
    return std::string(text);
}

} // namespace

ProfileFile ProfileFile::load(const std::filesystem::path& file)
{
    try {
        return parse(decodeText(readFileBytes(file)));
    } catch (const FileError&) {
        return {};
    }
}

ProfileFile ProfileFile::parse(std::string_view text)
{
    ProfileFile profile;
    Section* current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty()) continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            const std::string name = foldCase(trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            current = nullptr;
            for (auto& section : profile.m_sections) {
                if (section.name == name) current = &section;  // a repeated section adds to the first
            }
            if (!current) current = &profile.m_sections.emplace_back(Section{name, {}});
            continue;
        }
        if (!current) continue;
        const auto equals = line.find('=');
        const std::string key = foldCase(trim(line.substr(0, equals)));
        std::string_view value = equals == std::string_view::npos ? std::string_view() : trim(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        current->entries.push_back(Entry{key, cutToCharacters(value, kProfileValueLimit)});
    }
    return profile;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const std::string sectionName = foldCase(trim(section));
    const std::string keyName = foldCase(trim(key));
    for (const auto& s : m_sections) {
        if (s.name != sectionName) continue;
        for (const auto& entry : s.entries) {
            if (entry.key == keyName) return entry.value;
        }
        break;
    }
    return std::string(defaultValue);
}

bool ProfileFile::hasSection(std::string_view section) const
{
    const std::string name = foldCase(trim(section));
    for (const auto& s : m_sections) {
        if (s.name == name) return true;
    }
    return false;
}

} // namespace mtl
