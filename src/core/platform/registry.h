// The settings store with the semantics of the Windows registry: three hives of keys, string
// values, key paths and value names compared without regard to letter case, and an absent
// value (or key) reading as the empty text.
//
// `Registry` is the service the program is given; `RegistryTree` is the in-memory model that
// both the file-backed store and the test double build on; `RegistryKey` is a key opened by a
// handler for the span of one operation, as the program's steps describe them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mtl {

enum class Hive { CurrentUser, LocalMachine, ClassesRoot };

// "HKEY_CURRENT_USER" and so on.
std::string_view hiveName(Hive hive);

class Registry {
public:
    virtual ~Registry() = default;

    virtual bool keyExists(Hive hive, std::string_view key) const = 0;
    // Creates the key and any missing parent. Throws RegistryError when it cannot.
    virtual void createKey(Hive hive, std::string_view key) = 0;
    // Nothing when the key or the value is absent.
    virtual std::optional<std::string> readValue(Hive hive, std::string_view key,
                                                 std::string_view name) const = 0;
    // Throws RegistryError when the key does not exist or the store cannot be written.
    virtual void writeValue(Hive hive, std::string_view key, std::string_view name,
                            std::string_view value) = 0;
    // Each returns whether something was there to delete; throws RegistryError when the
    // store cannot be written.
    virtual bool deleteValue(Hive hive, std::string_view key, std::string_view name) = 0;
    virtual bool deleteKey(Hive hive, std::string_view key) = 0;  // subkeys included
};

// Folds ASCII letters to lower case: the comparison rule of key paths and value names.
std::string foldCase(std::string_view text);
// Drops leading, trailing and doubled backslashes of a key path.
std::string normalizeKeyPath(std::string_view key);

// In-memory registry. Keys and values keep the spelling they were created with; lookups
// ignore letter case. Values keep the order in which they were first written.
class RegistryTree : public Registry {
public:
    struct Value {
        std::string name;
        std::string data;
    };
    struct Key {
        std::string path;  // as first created, normalised
        std::vector<Value> values;
    };

    bool keyExists(Hive hive, std::string_view key) const override;
    void createKey(Hive hive, std::string_view key) override;
    std::optional<std::string> readValue(Hive hive, std::string_view key,
                                         std::string_view name) const override;
    void writeValue(Hive hive, std::string_view key, std::string_view name,
                    std::string_view value) override;
    bool deleteValue(Hive hive, std::string_view key, std::string_view name) override;
    bool deleteKey(Hive hive, std::string_view key) override;

    // Every key of a hive in path order (for saving and inspection).
    std::vector<const Key*> keys(Hive hive) const;
    void clear(Hive hive);

private:
    using KeyMap = std::map<std::string, Key>;  // by folded path
    KeyMap& hiveMap(Hive hive) { return m_hives[static_cast<int>(hive)]; }
    const KeyMap& hiveMap(Hive hive) const { return m_hives[static_cast<int>(hive)]; }

    KeyMap m_hives[3];
};

// A key opened for one operation: opened with or without creating it, read, written, then
// dropped. Reading from a key that did not open gives the empty text, as the program's
// steps rely on; writing to it is an error.
class RegistryKey {
public:
    // Opens `key`; with `create`, creates it first (which may throw RegistryError).
    static RegistryKey open(Registry& registry, Hive hive, std::string key, bool create);

    bool isOpen() const { return m_open; }
    const std::string& path() const { return m_key; }

    std::string readString(std::string_view name) const;
    bool valueExists(std::string_view name) const;
    // Throws RegistryError when the key is not open or the write fails.
    void writeString(std::string_view name, std::string_view value);
    bool deleteValue(std::string_view name);

private:
    RegistryKey(Registry& registry, Hive hive, std::string key, bool open)
        : m_registry(&registry), m_hive(hive), m_key(std::move(key)), m_open(open) {}

    Registry* m_registry;
    Hive m_hive;
    std::string m_key;
    bool m_open;
};

// The program's own keys below HKEY_CURRENT_USER.
inline constexpr std::string_view kProgramKey = "SOFTWARE\\Kestrava\\Miotlarz\\";
inline std::string programKey(std::string_view name) { return std::string(kProgramKey) + std::string(name); }

// HKEY_LOCAL_MACHINE key of the programs started with the session.
inline constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

} // namespace mtl
