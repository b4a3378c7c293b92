// The registry kept in files: one file per hive in the user's configuration folder, in the
// plain-text layout of registry export files. Every change rewrites its hive's file through
// a temporary file and a rename, so a crash never leaves a half-written store.
#pragma once

#include "core/platform/registry.h"

#include <filesystem>

namespace mtl {

class FileRegistry final : public Registry {
public:
    // Loads the hive files found in `folder` (created on the first write).
    explicit FileRegistry(std::filesystem::path folder);

    // `$XDG_CONFIG_HOME/Kestrava`, `~/.config/Kestrava` when the variable is unset.
    static std::filesystem::path defaultFolder();

    std::filesystem::path hiveFile(Hive hive) const;

    bool keyExists(Hive hive, std::string_view key) const override;
    void createKey(Hive hive, std::string_view key) override;
    std::optional<std::string> readValue(Hive hive, std::string_view key,
                                         std::string_view name) const override;
    void writeValue(Hive hive, std::string_view key, std::string_view name,
                    std::string_view value) override;
    bool deleteValue(Hive hive, std::string_view key, std::string_view name) override;
    bool deleteKey(Hive hive, std::string_view key) override;

private:
    void load(Hive hive);
    void save(Hive hive);
    template <typename Change>
    auto change(Hive hive, Change&& apply);

    std::filesystem::path m_folder;
    RegistryTree m_tree;
};

// The text of one hive in the export layout, and back.
std::string formatRegistryExport(const RegistryTree& tree, Hive hive);
void parseRegistryExport(std::string_view text, RegistryTree& tree, Hive hive);

} // namespace mtl
