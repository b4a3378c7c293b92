#include "core/platform/registry.h"

#include "core/common/errors.h"

#include <algorithm>

namespace mtl {

std::string_view hiveName(Hive hive)
{
    switch (hive) {
    case Hive::CurrentUser: return "HKEY_CURRENT_USER";
    case Hive::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case Hive::ClassesRoot: return "HKEY_CLASSES_ROOT";
    }
    return {};
}

std::string foldCase(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return folded;
}

std::string normalizeKeyPath(std::string_view key)
{
    std::string path;
    path.reserve(key.size());
    for (const char c : key) {
        if (c == '\\' && (path.empty() || path.back() == '\\')) continue;
        path += c;
    }
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool RegistryTree::keyExists(Hive hive, std::string_view key) const
{
    const std::string path = normalizeKeyPath(key);
    return path.empty() || hiveMap(hive).contains(foldCase(path));
}

void RegistryTree::createKey(Hive hive, std::string_view key)
{
    const std::string path = normalizeKeyPath(key);
    if (path.empty()) return;
    // Parents first, so every prefix of an existing key exists too.
    auto& map = hiveMap(hive);
    for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        const std::string prefix = path.substr(0, end);
        map.try_emplace(foldCase(prefix), Key{prefix, {}});
        if (end == std::string::npos) break;
    }
}

std::optional<std::string> RegistryTree::readValue(Hive hive, std::string_view key, std::string_view name) const
{
    const auto& map = hiveMap(hive);
    const auto it = map.find(foldCase(normalizeKeyPath(key)));
    if (it == map.end()) return std::nullopt;
    const std::string folded = foldCase(name);
    for (const auto& value : it->second.values) {
        if (foldCase(value.name) == folded) return value.data;
    }
    return std::nullopt;
}

void RegistryTree::writeValue(Hive hive, std::string_view key, std::string_view name, std::string_view data)
{
    auto& map = hiveMap(hive);
    const auto it = map.find(foldCase(normalizeKeyPath(key)));
    if (it == map.end()) {
        throw RegistryError("Nie można zapisać wartości \"" + std::string(name) + "\": klucz rejestru \"" +
                            std::string(key) + "\" nie istnieje.");
    }
    const std::string folded = foldCase(name);
    for (auto& value : it->second.values) {
        if (foldCase(value.name) == folded) {
            value.data = data;
            return;
        }
    }
    it->second.values.push_back({std::string(name), std::string(data)});
}

bool RegistryTree::deleteValue(Hive hive, std::string_view key, std::string_view name)
{
    auto& map = hiveMap(hive);
    const auto it = map.find(foldCase(normalizeKeyPath(key)));
    if (it == map.end()) return false;
    const std::string folded = foldCase(name);
    auto& values = it->second.values;
    const auto found = std::find_if(values.begin(), values.end(),
                                    [&](const Value& v) { return foldCase(v.name) == folded; });
    if (found == values.end()) return false;
    values.erase(found);
    return true;
}

bool RegistryTree::deleteKey(Hive hive, std::string_view key)
{
    const std::string folded = foldCase(normalizeKeyPath(key));
    if (folded.empty()) return false;
    auto& map = hiveMap(hive);
    bool removed = false;
    for (auto it = map.begin(); it != map.end();) {
        const std::string& k = it->first;
        if (k == folded || (k.size() > folded.size() && k.starts_with(folded) && k[folded.size()] == '\\')) {
            it = map.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

std::vector<const RegistryTree::Key*> RegistryTree::keys(Hive hive) const
{
    std::vector<const Key*> result;
    for (const auto& [folded, key] : hiveMap(hive)) result.push_back(&key);
    return result;
}

void RegistryTree::clear(Hive hive) { hiveMap(hive).clear(); }

RegistryKey RegistryKey::open(Registry& registry, Hive hive, std::string key, bool create)
{
    if (create) registry.createKey(hive, key);
    const bool exists = registry.keyExists(hive, key);
    return RegistryKey(registry, hive, std::move(key), exists);
}

std::string RegistryKey::readString(std::string_view name) const
{
    if (!m_open) return {};
    return m_registry->readValue(m_hive, m_key, name).value_or(std::string());
}

bool RegistryKey::valueExists(std::string_view name) const
{
    return m_open && m_registry->readValue(m_hive, m_key, name).has_value();
}

void RegistryKey::writeString(std::string_view name, std::string_view value)
{
    if (!m_open) {
        throw RegistryError("Nie można zapisać wartości \"" + std::string(name) + "\": klucz rejestru \"" +
                            m_key + "\" nie jest otwarty.");
    }
    m_registry->writeValue(m_hive, m_key, name, value);
}

bool RegistryKey::deleteValue(std::string_view name)
{
    return m_open && m_registry->deleteValue(m_hive, m_key, name);
}

} // namespace mtl
