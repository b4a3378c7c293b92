#include "core/app/firststart.h"

#include "core/app/settingslayout.h"
#include "core/platform/programfolder.h"
#include "core/platform/registry.h"

#include <system_error>

namespace mtl {

bool isFirstStart(const Registry& registry)
{
    return !registry.keyExists(Hive::CurrentUser, programKey(kKeyUstawienia));
}

void writeFirstStartSettings(Registry& registry, const std::filesystem::path& dataFolder)
{
    const std::filesystem::path backupFolder = dataFolder / "Kopie";
    const std::filesystem::path logFolder = dataFolder / "Logi";
    std::error_code ec;
    std::filesystem::create_directories(backupFolder, ec);
    std::filesystem::create_directories(logFolder, ec);

    // Statistics first and settings last: the settings key is what marks the account as set
    // up, so an interrupted first start is simply repeated.
    auto stats = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeySkanowan), true);
    for (const char* name : {"Liczba", "Skasowano", "Data", "SkasowanoMB"}) stats.writeString(name, "0");
    stats.writeString("BAKKatalog", withTrailingSlash(backupFolder.string()));
    stats.writeString("LOGKatalog", withTrailingSlash(logFolder.string()));
    stats.writeString("RozmiarIgnoral", kDefaultIgnoreThreshold);

    auto deleted = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeyUsunieto), true);
    deleted.writeString("ListBox", "0");

    auto settings = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeyUstawienia), true);
    for (const auto& value : settingsValues()) settings.writeString(value.name, value.designValue);
}

} // namespace mtl
