#include "core/backup/filespec.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

namespace mtl::backup {
namespace fs = std::filesystem;
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The length of the character starting at `text[i]`: a whole UTF-8 sequence, or one byte
// when the sequence is invalid.
std::size_t charLength(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    if (length == 1 || i + length > text.size()) return 1;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

std::vector<std::string_view> characters(std::string_view text)
{
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = charLength(text, i);
        chars.push_back(text.substr(i, n));
        i += n;
    }
    return chars;
}

bool sameChar(std::string_view a, std::string_view b)
{
    if (a.size() != 1 || b.size() != 1) return a == b;
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return fold(a[0]) == fold(b[0]);
}

bool matchChars(const std::vector<std::string_view>& mask, const std::vector<std::string_view>& name)
{
    // Greedy matching that backs up to the last "*": linear for the usual masks.
    std::size_t m = 0, n = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == "*") {
            starM = m++;
            starN = n;
        } else if (m < mask.size() && (mask[m] == "?" || sameChar(mask[m], name[n]))) {
            ++m, ++n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == "*") ++m;
    return m == mask.size();
}

bool hasWildcard(std::string_view text)
{
    return text.find_first_of("*?") != std::string_view::npos;
}

class Collector {
public:
    Collector(BackupFileSystem& files, const CollectOptions& options) : m_files(files), m_options(options)
    {
        m_excluded.insert(options.excluded.begin(), options.excluded.end());
        for (const auto& path : options.excluded) {
            const EntryStatus st = m_files.status(path);
            if (st.kind == EntryKind::File) m_excludedIds.push_back({st.device, st.inode});
        }
    }

    void collect(std::string_view path, bool recursive)
    {
        const std::size_t slash = path.rfind('/');
        const std::string folder(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1));
        const std::string_view filePart = slash == std::string_view::npos ? path : path.substr(slash + 1);

        if (recursive) {
            for (const auto& entry : sortedEntries(folder)) {
                if (entry.kind != EntryKind::Directory || entry.name.starts_with('.')) continue;  // hidden
                collect(expandPath(folder + entry.name + "/" + std::string(filePart)), true);
            }
        }

        if (filePart.empty()) return;
        if (!hasWildcard(filePart)) {
            consider(folder + std::string(filePart), EntryKind::Missing);
            return;
        }
        for (const auto& entry : sortedEntries(folder)) {
            if (entry.kind == EntryKind::Directory || !maskMatches(filePart, entry.name)) continue;
            consider(folder + entry.name, entry.kind);
        }
    }

    std::vector<std::string> take() { return std::move(m_list); }

private:
    std::vector<FolderEntry> sortedEntries(const std::string& folder)
    {
        auto entries = m_files.listFolder(folder.empty() ? fs::path(".") : fs::path(folder));
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
        return entries;
    }

    // `listed` is the kind the folder listing gave, or Missing when unknown.
    void consider(const std::string& candidate, EntryKind listed)
    {
        // A link counts as the file it leads to; a link to a folder is never a file. A plain
        // file of a listing needs no second look unless it might be the archive itself.
        if (listed != EntryKind::File || !m_excludedIds.empty()) {
            const EntryStatus st = m_files.status(candidate);
            if (st.kind != EntryKind::File) return;
            for (const auto& [device, inode] : m_excludedIds) {
                if (st.device == device && st.inode == inode) return;
            }
        }
        std::string path = expandPath(candidate);
        if (m_seen.contains(path) || m_excluded.contains(path)) return;
        if (m_options.incremental && !m_files.archiveAttribute(path)) return;
        m_seen.insert(path);
        m_list.push_back(std::move(path));
    }

    BackupFileSystem& m_files;
    const CollectOptions& m_options;
    std::unordered_set<std::string> m_excluded;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_excludedIds;
    std::unordered_set<std::string> m_seen;
    std::vector<std::string> m_list;
};

} // namespace

ParsedSpec parseFileSpec(std::string_view spec)
{
    std::string_view text = spec;
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.size() >= 3 && text[text.size() - 2] == '/' && (text.back() == 's' || text.back() == 'S')
        && isBlank(text[text.size() - 3])) {
        return {std::string(trim(text.substr(0, text.size() - 2))), true};
    }
    return {std::string(spec), false};
}

std::string expandPath(std::string_view path)
{
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(path), ec);
    if (ec) absolute = fs::path(path);
    return absolute.lexically_normal().string();
}

bool maskMatches(std::string_view mask, std::string_view name)
{
    const auto nameChars = characters(name);
    if (matchChars(characters(mask), nameChars)) return true;
    return mask.ends_with(".*") && matchChars(characters(mask.substr(0, mask.size() - 2)), nameChars);
}

std::vector<std::string> collectFiles(std::span<const std::string> specs, BackupFileSystem& files,
                                      const CollectOptions& options)
{
    Collector collector(files, options);
    for (const auto& spec : specs) {
        const ParsedSpec parsed = parseFileSpec(spec);
        collector.collect(parsed.path, parsed.recursive);
    }
    return collector.take();
}

} // namespace mtl::backup
