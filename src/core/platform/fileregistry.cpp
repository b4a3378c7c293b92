#include "core/platform/fileregistry.h"

#include "core/common/errors.h"
#include "core/common/fileio.h"

#include <cstdlib>
#include <system_error>

namespace mtl {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

std::string exportQuoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    out += '"';
    return out;
}

// Reads a quoted string starting at `pos` (on the opening quote); advances past it.
std::optional<std::string> unquote(std::string_view line, std::size_t& pos)
{
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\' && pos + 1 < line.size()) {
            const char next = line[++pos];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

Hive hiveOf(std::string_view name, bool& known)
{
    known = true;
    for (Hive hive : {Hive::CurrentUser, Hive::LocalMachine, Hive::ClassesRoot}) {
        if (foldCase(name) == foldCase(hiveName(hive))) return hive;
    }
    known = false;
    return Hive::CurrentUser;
}

} // namespace

std::string formatRegistryExport(const RegistryTree& tree, Hive hive)
{
    std::string text(kHeader);
    text += "\n";
    for (const auto* key : tree.keys(hive)) {
        text += "\n[";
        text += hiveName(hive);
        text += '\\';
        text += key->path;
        text += "]\n";
        for (const auto& value : key->values) {
            text += exportQuoted(value.name);
            text += '=';
            text += exportQuoted(value.data);
            text += '\n';
        }
    }
    return text;
}

void parseRegistryExport(std::string_view text, RegistryTree& tree, Hive hive)
{
    std::string currentKey;
    bool inKey = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line == kHeader) continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view full = line.substr(1, line.size() - 2);
            const auto slash = full.find('\\');
            bool known = false;
            const Hive named = hiveOf(full.substr(0, slash), known);
            inKey = known && named == hive && slash != std::string_view::npos;
            if (inKey) {
                currentKey = normalizeKeyPath(full.substr(slash + 1));
                tree.createKey(hive, currentKey);
            }
            continue;
        }
        if (!inKey) continue;
        std::size_t pos = 0;
        const auto name = unquote(line, pos);
        if (!name || pos >= line.size() || line[pos] != '=') continue;
        ++pos;
        const auto data = unquote(line, pos);
        if (data) tree.writeValue(hive, currentKey, *name, *data);
    }
}

FileRegistry::FileRegistry(std::filesystem::path folder) : m_folder(std::move(folder))
{
    for (Hive hive : {Hive::CurrentUser, Hive::LocalMachine, Hive::ClassesRoot}) load(hive);
}

std::filesystem::path FileRegistry::defaultFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config) return std::filesystem::path(config) / "Kestrava";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/tmp") / ".config" / "Kestrava";
}

std::filesystem::path FileRegistry::hiveFile(Hive hive) const
{
    return m_folder / (std::string(hiveName(hive)) + ".reg");
}

void FileRegistry::load(Hive hive)
{
    std::error_code ec;
    if (!std::filesystem::exists(hiveFile(hive), ec)) return;
    parseRegistryExport(readFileBytes(hiveFile(hive)), m_tree, hive);
}

void FileRegistry::save(Hive hive)
{
    std::error_code ec;
    std::filesystem::create_directories(m_folder, ec);
    try {
        writeFileAtomic(hiveFile(hive), formatRegistryExport(m_tree, hive));
    } catch (const FileError& error) {
        throw RegistryError(std::string("Nie można zapisać rejestru programu: ") + error.what());
    }
}

bool FileRegistry::keyExists(Hive hive, std::string_view key) const { return m_tree.keyExists(hive, key); }

template <typename Change>
auto FileRegistry::change(Hive hive, Change&& apply)
{
    // What is in memory must stay what is on disk: a change whose file could not be written
    // did not happen.
    RegistryTree before = m_tree;
    auto result = apply();
    try {
        save(hive);
    } catch (...) {
        m_tree = std::move(before);
        throw;
    }
    return result;
}

void FileRegistry::createKey(Hive hive, std::string_view key)
{
    if (m_tree.keyExists(hive, key)) return;
    change(hive, [&] { m_tree.createKey(hive, key); return true; });
}

std::optional<std::string> FileRegistry::readValue(Hive hive, std::string_view key, std::string_view name) const
{
    return m_tree.readValue(hive, key, name);
}

void FileRegistry::writeValue(Hive hive, std::string_view key, std::string_view name, std::string_view value)
{
    if (m_tree.readValue(hive, key, name) == std::optional<std::string>(std::string(value))) return;
    change(hive, [&] { m_tree.writeValue(hive, key, name, value); return true; });
}

bool FileRegistry::deleteValue(Hive hive, std::string_view key, std::string_view name)
{
    if (!m_tree.readValue(hive, key, name)) return false;
    return change(hive, [&] { return m_tree.deleteValue(hive, key, name); });
}

bool FileRegistry::deleteKey(Hive hive, std::string_view key)
{
    if (!m_tree.keyExists(hive, key)) return false;
    return change(hive, [&] { return m_tree.deleteKey(hive, key); });
}

} // namespace mtl
