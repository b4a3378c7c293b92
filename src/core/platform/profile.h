// The profile (INI) file reader with the rules of the system's own reader: section and key
// names compare without regard to letter case, blanks around a value are dropped, a value in
// quotation marks loses them, a value is cut to 2047 characters, and a missing file, section
// or key reads as the default. The first of repeated sections or keys counts.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mtl {

class ProfileFile {
public:
    ProfileFile() = default;
    // A file that does not exist or cannot be read gives an empty profile.
    static ProfileFile load(const std::filesystem::path& file);
    static ProfileFile parse(std::string_view text);

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const;
    bool hasSection(std::string_view section) const;

private:
    struct Entry {
        std::string key;  // folded
        std::string value;
    };
    struct Section {
        std::string name;  // folded
        std::vector<Entry> entries;
    };
    std::vector<Section> m_sections;
};

inline constexpr std::size_t kProfileValueLimit = 2047;

} // namespace mtl
